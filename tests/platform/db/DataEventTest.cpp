// The data events a data set sends to its links: which operation sends which event, in which
// order, with controls enabled and disabled; and the buffer window a link sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "db/MemDataSet.h"

namespace {

const char* EventName(TDataEvent e) {
  static const char* const names[] = {
      "FieldChange", "RecordChange", "DataSetChange", "DataSetScroll", "LayoutChange",
      "UpdateRecord", "UpdateState", "CheckBrowseMode", "PropertyChange", "FieldListChange",
      "FocusControl", "ParentScroll", "ConnectChange", "ReconcileError", "DisabledStateChange"};
  return names[int(e)];
}

// Records every event that reaches it, and what the link makes of it.
class LogLink : public TDataLink {
 public:
  LogLink(TDataSource* ds, std::vector<String>* log, const String& name = "", Integer buffers = 1, bool visual = true)
      : log_(log), name_(name) {
    SetVisualControl(visual);
    SetBufferCount(buffers);
    SetDataSource(ds);
  }
  void DataEvent(TDataEvent event, NativeInt info) override {
    String s = name_ + EventName(event);
    if (event == deDataSetScroll || event == deDisabledStateChange) s += "(" + std::to_string(info) + ")";
    log_->push_back(s);
    TDataLink::DataEvent(event, info);
  }
  std::vector<Integer> scrolls;

 protected:
  void ActiveChanged() override { log_->push_back(name_ + (Active() ? "active" : "inactive")); }
  void EditingChanged() override { log_->push_back(name_ + (Editing() ? "editing" : "browsing")); }
  void DataSetScrolled(Integer distance) override { scrolls.push_back(distance); }

 private:
  std::vector<String>* log_;
  String name_;
};

struct Fixture {
  TMemDataSet ds{nullptr};
  TDataSource src{nullptr};
  Fixture(int records = 5) {
    ds.AddFieldDef("id", ftInteger);
    ds.AddFieldDef("name", ftString, 20);
    for (int i = 1; i <= records; ++i) ds.AppendRow({i, "n" + std::to_string(i)});
    src.SetDataSet(&ds);
  }
  Integer Id() { return ds.FieldByName("id")->AsInteger(); }
};

using Log = std::vector<String>;

String gSaved;  // a bookmark taken by a case's set-up

struct EventCase {
  const char* name;
  std::function<void(TMemDataSet&)> setup;  // runs on the open data set before logging
  std::function<void(TMemDataSet&)> action;
  Log expected;
};

const EventCase kEventCases[] = {
    {"open", [](TMemDataSet& d) { d.Close(); }, [](TMemDataSet& d) { d.Open(); }, {"UpdateState", "active"}},
    {"close", nullptr, [](TMemDataSet& d) { d.Close(); }, {"UpdateState", "inactive"}},
    {"next", nullptr, [](TMemDataSet& d) { d.Next(); }, {"CheckBrowseMode", "DataSetScroll(1)"}},
    {"prior at the first record", nullptr, [](TMemDataSet& d) { d.Prior(); }, {"CheckBrowseMode"}},
    {"next at the end", [](TMemDataSet& d) { d.Last(); }, [](TMemDataSet& d) { d.Next(); }, {"CheckBrowseMode"}},
    {"move by 3", nullptr, [](TMemDataSet& d) { d.MoveBy(3); }, {"CheckBrowseMode", "DataSetScroll(3)"}},
    {"move back by 2", [](TMemDataSet& d) { d.Last(); }, [](TMemDataSet& d) { d.MoveBy(-2); },
     {"CheckBrowseMode", "DataSetScroll(-2)"}},
    {"first", [](TMemDataSet& d) { d.Last(); }, [](TMemDataSet& d) { d.First(); }, {"CheckBrowseMode", "DataSetChange"}},
    {"last", nullptr, [](TMemDataSet& d) { d.Last(); }, {"CheckBrowseMode", "DataSetChange"}},
    {"locate found", nullptr, [](TMemDataSet& d) { d.Locate("id", 4, {}); }, {"CheckBrowseMode", "DataSetChange"}},
    {"locate not found", nullptr, [](TMemDataSet& d) { d.Locate("id", 99, {}); }, {"CheckBrowseMode"}},
    {"set bookmark", [](TMemDataSet& d) { d.Last(); gSaved = d.Bookmark(); d.First(); },
     [](TMemDataSet& d) { d.SetBookmark(gSaved); }, {"CheckBrowseMode", "DataSetChange"}},
    {"record number", nullptr, [](TMemDataSet& d) { d.SetRecNo(3); }, {"CheckBrowseMode", "DataSetChange"}},
    {"edit", nullptr, [](TMemDataSet& d) { d.Edit(); }, {"CheckBrowseMode", "UpdateState", "editing", "RecordChange"}},
    {"set a value", [](TMemDataSet& d) { d.Edit(); }, [](TMemDataSet& d) { d.FieldByName("name")->SetAsString("x"); },
     {"FieldChange"}},
    {"post", [](TMemDataSet& d) { d.Edit(); d.FieldByName("name")->SetAsString("x"); },
     [](TMemDataSet& d) { d.Post(); },
     {"UpdateRecord", "CheckBrowseMode", "UpdateState", "browsing", "DataSetChange"}},
    {"cancel", [](TMemDataSet& d) { d.Edit(); }, [](TMemDataSet& d) { d.Cancel(); },
     {"CheckBrowseMode", "UpdateState", "browsing", "DataSetChange"}},
    {"browse mode check posts a modified record", [](TMemDataSet& d) { d.Edit(); d.FieldByName("name")->SetAsString("x"); },
     [](TMemDataSet& d) { d.CheckBrowseMode(); },
     {"CheckBrowseMode", "UpdateRecord", "UpdateRecord", "CheckBrowseMode", "UpdateState", "browsing", "DataSetChange"}},
    {"insert", nullptr, [](TMemDataSet& d) { d.Insert(); },
     {"CheckBrowseMode", "UpdateState", "editing", "DataSetChange"}},
    {"append", nullptr, [](TMemDataSet& d) { d.Append(); },
     {"CheckBrowseMode", "UpdateState", "editing", "DataSetChange"}},
    {"cancel an insert", [](TMemDataSet& d) { d.Insert(); }, [](TMemDataSet& d) { d.Cancel(); },
     {"CheckBrowseMode", "UpdateState", "browsing", "DataSetChange"}},
    {"delete", nullptr, [](TMemDataSet& d) { d.Delete(); }, {"CheckBrowseMode", "DataSetChange"}},
    {"refresh", nullptr, [](TMemDataSet& d) { d.Refresh(); }, {"CheckBrowseMode", "DataSetChange"}},
    {"disable and enable", nullptr, [](TMemDataSet& d) { d.DisableControls(); d.EnableControls(); }, {"DataSetChange"}},
    {"scroll while disabled", nullptr,
     [](TMemDataSet& d) {
       d.DisableControls();
       d.Next();
       d.Last();
       d.EnableControls();
     },
     {"DataSetChange"}},
    {"nested disable", nullptr,
     [](TMemDataSet& d) {
       d.DisableControls();
       d.DisableControls();
       d.Next();
       d.EnableControls();
       d.Next();
       d.EnableControls();
     },
     {"DataSetChange"}},
    {"edit and post while disabled", nullptr,
     [](TMemDataSet& d) {
       d.DisableControls();
       d.Edit();
       d.FieldByName("name")->SetAsString("x");
       d.Post();
       d.EnableControls();
     },
     {"DisabledStateChange(1)", "DisabledStateChange(1)", "DataSetChange"}},
    {"close and reopen while disabled", nullptr,
     [](TMemDataSet& d) {
       d.DisableControls();
       d.Close();
       d.Open();
       d.EnableControls();
     },
     {"DisabledStateChange(0)", "DisabledStateChange(1)", "LayoutChange"}},
    {"close while disabled", nullptr,
     [](TMemDataSet& d) {
       d.DisableControls();
       d.Close();
       d.EnableControls();
     },
     {"DisabledStateChange(0)", "UpdateState", "inactive"}},
    {"open while disabled", [](TMemDataSet& d) { d.Close(); },
     [](TMemDataSet& d) {
       d.DisableControls();
       d.Open();
       d.EnableControls();
     },
     {"DisabledStateChange(1)", "UpdateState", "active"}},
    {"field layout change while disabled", nullptr,
     [](TMemDataSet& d) {
       d.DisableControls();
       d.FieldByName("name")->SetDisplayLabel("Name");
       d.EnableControls();
     },
     {"LayoutChange"}},
    {"field layout change", nullptr, [](TMemDataSet& d) { d.FieldByName("name")->SetVisible(false); }, {"LayoutChange"}},
    {"focus a field", nullptr, [](TMemDataSet& d) { d.FieldByName("name")->FocusControl(); }, {"FocusControl"}},
};

void PrintTo(const EventCase& c, std::ostream* os) { *os << c.name; }

class DataEvents : public testing::TestWithParam<EventCase> {};

TEST_P(DataEvents, OperationSendsTheEventsOfTheContract) {
  const EventCase& c = GetParam();
  Fixture f;
  Log log;
  LogLink link(&f.src, &log);
  f.ds.Open();
  if (c.setup) c.setup(f.ds);
  log.clear();
  c.action(f.ds);
  EXPECT_EQ(log, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Operations, DataEvents, testing::ValuesIn(kEventCases), [](const auto& info) {
  String n;
  for (char ch : String(info.param.name)) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return n;
});

TEST(DataEventOrder, WindowLinksFirstThenSingleRecordLinksNewestFirst) {
  Fixture f;
  Log log;
  LogLink a(&f.src, &log, "a:");
  LogLink b(&f.src, &log, "b:", 5);
  LogLink c(&f.src, &log, "c:");
  f.ds.Open();
  log.clear();
  f.ds.Last();
  EXPECT_EQ(log, (Log{"b:CheckBrowseMode", "c:CheckBrowseMode", "a:CheckBrowseMode", "b:DataSetChange",
                      "c:DataSetChange", "a:DataSetChange"}));
}

TEST(DataEventOrder, NonVisualLinksHearEverythingWhileControlsAreDisabled) {
  Fixture f;
  Log visual, plain;
  LogLink v(&f.src, &visual, "", 1, true);
  LogLink p(&f.src, &plain, "", 1, false);
  f.ds.Open();
  visual.clear();
  plain.clear();
  f.ds.DisableControls();
  f.ds.Next();
  f.ds.Close();
  f.ds.Open();
  f.ds.EnableControls();
  EXPECT_EQ(visual, (Log{"DisabledStateChange(0)", "DisabledStateChange(1)", "LayoutChange"}));
  EXPECT_EQ(plain, (Log{"CheckBrowseMode", "DataSetScroll(1)", "DisabledStateChange(0)", "inactive",
                        "DisabledStateChange(1)", "active", "LayoutChange"}));
}

// The window a link sees: BufferCount records of the data set, the active record's row in it,
// and how far the window moved with each scroll.
TEST(DataLinkWindow, GridWindowMovesOnlyAtItsEdges) {
  Fixture f(10);
  Log log;
  LogLink grid(&f.src, &log, "", 3);
  f.ds.Open();
  auto window = [&] {
    std::vector<Integer> ids;
    Integer active = grid.ActiveRecord();
    for (Integer i = 0; i < grid.RecordCount(); ++i) {
      grid.SetActiveRecord(i);
      ids.push_back(f.Id());
    }
    grid.SetActiveRecord(active);
    return ids;
  };
  struct Step {
    std::function<void()> op;
    std::vector<Integer> ids;
    Integer active;
    std::vector<Integer> scrolls;
  } steps[] = {
      {[] {}, {1, 2, 3}, 0, {}},
      {[&] { f.ds.MoveBy(2); }, {1, 2, 3}, 2, {0}},
      {[&] { f.ds.Next(); }, {2, 3, 4}, 2, {1}},
      {[&] { f.ds.MoveBy(4); }, {6, 7, 8}, 2, {4}},
      {[&] { f.ds.Prior(); }, {6, 7, 8}, 1, {0}},
      {[&] { f.ds.MoveBy(-3); }, {4, 5, 6}, 0, {-2}},
      {[&] { f.ds.Last(); }, {8, 9, 10}, 2, {}},
      {[&] { f.ds.MoveBy(-20); }, {1, 2, 3}, 0, {-7}},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    grid.scrolls.clear();
    steps[i].op();
    EXPECT_EQ(window(), steps[i].ids) << "step " << i;
    EXPECT_EQ(grid.ActiveRecord(), steps[i].active) << "step " << i;
    EXPECT_EQ(grid.scrolls, steps[i].scrolls) << "step " << i;
    EXPECT_EQ(f.Id(), steps[i].ids[std::size_t(steps[i].active)]) << "step " << i;
  }
}

TEST(DataLinkWindow, SingleRecordLinkScrollsByTheCursorsMoveBesideAGrid) {
  Fixture f(10);
  Log log;
  LogLink grid(&f.src, &log, "", 4);
  LogLink single(&f.src, &log);
  f.ds.Open();
  f.ds.MoveBy(2);
  f.ds.MoveBy(3);
  f.ds.Prior();
  EXPECT_EQ(single.scrolls, (std::vector<Integer>{2, 3, -1}));
  EXPECT_EQ(grid.scrolls, (std::vector<Integer>{0, 2, 0}));
  EXPECT_EQ(single.ActiveRecord(), 0);
  EXPECT_EQ(single.RecordCount(), 1);
  EXPECT_EQ(f.Id(), 5);
}

TEST(DataLinkWindow, GrowingAndShrinkingTheWindowKeepsTheCurrentRecord) {
  Fixture f(10);
  Log log;
  LogLink link(&f.src, &log);
  f.ds.Open();
  f.ds.MoveBy(5);  // record 6
  struct Step {
    Integer buffers;
    Integer recordCount;
  } steps[] = {{20, 10}, {4, 4}, {1, 1}, {6, 6}};
  for (const Step& s : steps) {
    link.SetBufferCount(s.buffers);
    EXPECT_EQ(link.RecordCount(), s.recordCount) << s.buffers;
    EXPECT_EQ(f.Id(), 6) << s.buffers;
    link.SetActiveRecord(link.ActiveRecord());
    EXPECT_EQ(f.Id(), 6) << s.buffers;
  }
  // Records read through the window are consecutive, in data-set order.
  Integer active = link.ActiveRecord();
  link.SetActiveRecord(0);
  Integer first = f.Id();
  link.SetActiveRecord(link.RecordCount() - 1);
  EXPECT_EQ(f.Id(), first + link.RecordCount() - 1);
  link.SetActiveRecord(active);
}

TEST(DataLinkWindow, EmptyAndClosedDataSetsShowNoRecords) {
  Fixture f(0);
  Log log;
  LogLink link(&f.src, &log, "", 10);
  EXPECT_EQ(link.RecordCount(), 0);
  f.ds.Open();
  EXPECT_TRUE(link.Active());
  EXPECT_EQ(link.RecordCount(), 0);
  EXPECT_TRUE(f.ds.Bof());
  EXPECT_TRUE(f.ds.Eof());
  EXPECT_TRUE(f.ds.IsEmpty());
  EXPECT_TRUE(f.ds.FieldByName("id")->IsNull());
}

}  // namespace

namespace {

// A long fixed sequence of moves and edits, checked after every step against a plain list:
// the current record, its number, and every link's window (consecutive records, the current
// one at ActiveRecord, as many as the link asks for while the data set has them).
TEST(DataLinkWindow, WindowsStayConsistentThroughMovesAndEdits) {
  Fixture f(12);
  Log log;
  LogLink small(&f.src, &log, "", 1);
  LogLink mid(&f.src, &log, "", 4);
  LogLink big(&f.src, &log, "", 7);
  f.ds.Open();
  std::vector<Integer> model;
  for (Integer i = 1; i <= 12; ++i) model.push_back(i);
  std::size_t pos = 0;
  Integer nextId = 100;
  uint32_t seed = 7;
  auto rnd = [&](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  LogLink* links[] = {&small, &mid, &big};
  for (int step = 0; step < 400; ++step) {
    uint32_t op = rnd(11);
    std::size_t n = model.size();
    switch (op) {
      case 0: f.ds.Next(); if (n > 0 && pos + 1 < n) ++pos; break;
      case 1: f.ds.Prior(); if (pos > 0) --pos; break;
      case 2: {
        Integer d = Integer(rnd(9)) - 4;
        f.ds.MoveBy(d);
        if (n > 0) pos = std::size_t(std::clamp<Integer>(Integer(pos) + d, 0, Integer(n) - 1));
        break;
      }
      case 3: f.ds.First(); pos = 0; break;
      case 4: f.ds.Last(); pos = n > 0 ? n - 1 : 0; break;
      case 5:
        if (n > 0) {
          pos = rnd(uint32_t(n));
          f.ds.SetRecNo(Integer(pos) + 1);
        }
        break;
      case 6:
        f.ds.Insert();
        f.ds.FieldByName("id")->SetAsInteger(nextId);
        f.ds.Post();
        model.insert(model.begin() + std::ptrdiff_t(n > 0 ? pos : 0), nextId++);
        if (n == 0) pos = 0;
        break;
      case 7:
        f.ds.Append();
        f.ds.FieldByName("id")->SetAsInteger(nextId);
        f.ds.Post();
        model.push_back(nextId++);
        pos = model.size() - 1;
        break;
      case 8:
        if (n > 0) {
          f.ds.Delete();
          model.erase(model.begin() + std::ptrdiff_t(pos));
          if (pos >= model.size() && pos > 0) --pos;
        }
        break;
      case 9:
        if (n > 0) {
          pos = rnd(uint32_t(n));
          ASSERT_TRUE(f.ds.Locate("id", model[pos], {}));
        }
        break;
      case 10:
        links[rnd(3)]->SetBufferCount(Integer(rnd(8)) + 1);
        break;
    }
    SCOPED_TRACE("step " + std::to_string(step) + ", operation " + std::to_string(op));
    ASSERT_EQ(f.ds.RecordCount(), Integer(model.size()));
    if (model.empty()) {
      ASSERT_TRUE(f.ds.IsEmpty());
      continue;
    }
    ASSERT_EQ(f.Id(), model[pos]);
    ASSERT_EQ(f.ds.RecNo(), Integer(pos) + 1);
    for (LogLink* l : links) {
      Integer count = l->RecordCount();
      ASSERT_EQ(count, std::min<Integer>(l->BufferCount(), Integer(model.size())));
      Integer active = l->ActiveRecord();
      ASSERT_TRUE(active >= 0 && active < count);
      l->SetActiveRecord(0);
      Integer first = f.Id();
      auto at = std::find(model.begin(), model.end(), first) - model.begin();
      for (Integer r = 0; r < count; ++r) {
        l->SetActiveRecord(r);
        ASSERT_LT(std::size_t(at + r), model.size());
        ASSERT_EQ(f.Id(), model[std::size_t(at + r)]) << "row " << r;
      }
      l->SetActiveRecord(active);
      ASSERT_EQ(f.Id(), model[pos]);
    }
  }
}

}  // namespace

namespace {

// A link that writes a pending value when asked (as an edit control does) and counts the
// record changes it hears.
class WriterLink : public TDataLink {
 public:
  bool writes = true;
  String pending;
  int recordChanges = 0;
  int updates = 0;

 protected:
  void UpdateData() override {
    ++updates;
    if (writes) DataSet()->FieldByName("name")->SetAsString(pending);
  }
  void RecordChanged(TField*) override { ++recordChanges; }
};

TEST(DataLinkEditing, EditFollowsAutoEditAndUpdateDataWritesWithoutEchoes) {
  Fixture f;
  WriterLink writer, other;
  other.writes = false;
  writer.SetDataSource(&f.src);
  other.SetDataSource(&f.src);
  f.ds.Open();

  f.src.SetAutoEdit(false);
  EXPECT_FALSE(writer.Edit());
  EXPECT_EQ(f.ds.State(), dsBrowse);
  f.src.SetAutoEdit(true);
  writer.SetReadOnly(true);
  EXPECT_FALSE(writer.Edit());
  writer.SetReadOnly(false);
  EXPECT_TRUE(writer.Edit());
  EXPECT_TRUE(other.Editing());

  // Post asks every link for its value; the writer's own write does not come back to it.
  writer.pending = "written";
  writer.recordChanges = other.recordChanges = 0;
  f.ds.Post();
  EXPECT_EQ(writer.updates, 1);
  EXPECT_EQ(other.updates, 1);
  EXPECT_EQ(writer.recordChanges, 1);  // the data-set change after the post
  EXPECT_EQ(other.recordChanges, 2);   // the field change, then the data-set change
  EXPECT_FALSE(writer.Editing());
  EXPECT_EQ(f.ds.FieldByName("name")->AsString(), "written");
}

}  // namespace
