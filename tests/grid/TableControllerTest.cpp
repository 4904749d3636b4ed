// The table controller: walking indexes, the keyboard map, paging, incremental search,
// refused focus moves, deleting with confirmation, failures and freed views.
#include <gtest/gtest.h>

#include "tests/grid/RecordViewTestSupport.h"
#include "rtl/SysUtils.h"
#include "vcl/Clipbrd.h"

namespace gridtest {
namespace {

// FindNextIndex (start, count, forward, cycle; accepted indexes) -> result, cycled.
TEST(FindNextIndex, WalksEachIndexAtMostOnce) {
  struct {
    Integer start, count;
    bool forward, cycle;
    std::vector<Integer> accepted;
    Integer result;
    bool cycled;
  } cases[] = {
      {-1, 0, true, true, {}, -1, false},           // nothing to walk
      {-1, 5, true, false, {0, 1}, 0, false},       // from the start
      {-1, 5, false, false, {0, 4}, -1, false},     // backward from nowhere without cycling
      {-1, 5, false, true, {0, 4}, 4, false},       // backward from the end with cycling
      {2, 5, true, false, {1, 4}, 4, false},        // skips refused ones
      {2, 5, false, false, {3, 4}, -1, false},      // runs off the start
      {3, 5, true, true, {1}, 1, true},             // wraps forward
      {1, 5, false, true, {3}, 3, true},            // wraps backward
      {2, 5, true, true, {2}, -1, true},            // back at the start: not itself
      {-1, 4, true, true, {}, -1, false},           // one full pass, nothing taken
  };
  for (auto& c : cases) {
    Integer asked = 0;
    bool cycled = false;
    Integer result = FindNextIndex(c.start, c.count, c.forward, c.cycle,
                                   [&](Integer i) {
                                     ++asked;
                                     return std::find(c.accepted.begin(), c.accepted.end(), i) != c.accepted.end();
                                   },
                                   cycled);
    EXPECT_EQ(result, c.result) << c.start << " " << c.count << c.forward << c.cycle;
    EXPECT_EQ(cycled, c.cycled) << c.start << " " << c.count << c.forward << c.cycle;
    EXPECT_LE(asked, c.count);
  }
}

class TableControllerTest : public RecordViewFixture {
 protected:
  Integer Item() { return Ctrl()->GetFocusedItemIndex(); }
  Word Key(Word key, TShiftState shift = {}) {
    Ctrl()->KeyDown(key, shift);
    Pump();
    return key;
  }
  bool SiteFocused() { return view_->Site()->Focused(); }
};

TEST_F(TableControllerTest, TheKeyboardMap) {
  struct {
    const char* name;
    Word key;
    TShiftState shift;
    bool focusCellOnTab, goToNextCellOnEnter;
    Integer row0, item0;  // focus before
    Integer row, item;    // focus after
    bool siteKeepsFocus;
  } cases[] = {
      {"Tab without the option", VK_TAB, {}, false, false, 0, 0, 0, 0, true},
      {"Tab", VK_TAB, {}, true, false, 0, 0, 0, 1, true},
      {"Shift+Tab", VK_TAB, {ssShift}, true, false, 0, 1, 0, 0, true},
      {"Tab on the last cell leaves the grid", VK_TAB, {}, true, false, 0, 2, 0, 2, false},
      {"Ctrl+Tab leaves the grid", VK_TAB, {ssCtrl}, true, false, 0, 0, 0, 0, false},
      {"Enter with the option", VK_RETURN, {}, false, true, 3, 1, 3, 2, true},
      {"PageDown", VK_NEXT, {}, false, false, 0, 1, -1, 1, true},
      {"PageUp", VK_PRIOR, {}, false, false, 4, 1, 0, 1, true},
  };
  Start();
  Integer page = view_->Info()->Rows()->VisibleCount;
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    view_->Site()->SetFocus();
    view_->TableOptionsBehavior()->SetFocusCellOnTab(c.focusCellOnTab);
    view_->TableOptionsBehavior()->SetGoToNextCellOnEnter(c.goToNextCellOnEnter);
    Ctrl()->SetTopRecordIndexChecked(0);
    Ctrl()->FocusRowAtIndex(c.row0);
    Ctrl()->SetFocusedItem(view_->Items(c.item0));
    Pump();
    ASSERT_TRUE(SiteFocused());
    Key(c.key, c.shift);
    EXPECT_EQ(Row(), c.row == -1 ? page - 1 : c.row);
    EXPECT_EQ(Item(), c.item);
    EXPECT_EQ(SiteFocused(), c.siteKeepsFocus);
    if (!c.siteKeepsFocus) {
      EXPECT_TRUE(other_->Focused());
    }
  }
}

TEST_F(TableControllerTest, PageKeysFocusThePageEndThenScroll) {
  Start(100);
  Integer page = view_->Info()->Rows()->VisibleCount;
  Ctrl()->FocusRowAtIndex(2);
  Key(VK_NEXT);
  EXPECT_EQ(Row(), page - 1);
  EXPECT_EQ(Ctrl()->TopRecordIndex(), 0);
  Key(VK_NEXT);
  EXPECT_EQ(Ctrl()->TopRecordIndex(), page);
  EXPECT_EQ(Row(), 2 * page - 1);
  Key(VK_PRIOR);
  EXPECT_EQ(Row(), page);
  Key(VK_PRIOR);
  EXPECT_EQ(Ctrl()->TopRecordIndex(), 0);
  EXPECT_EQ(Row(), 0);
}

TEST_F(TableControllerTest, InsertCopyDeleteAndSelectAll) {
  Start(5, 2);
  view_->TableOptionsSelection()->SetMultiSelect(true);
  view_->TableOptionsData()->SetDeletingConfirmation(false);
  view_->TableOptionsBehavior()->SetCopyCaptionsToClipboard(false);
  // Ctrl+A selects every record; Ctrl+C and Ctrl+Insert copy the selected ones.
  Key('A', {ssCtrl});
  EXPECT_EQ(dc_->CountSelectedRows(), 5);
  Ctrl()->ClearSelection();
  dc_->ChangeRowSelection(1, true);
  Clipboard()->SetAsText("");
  Key('C', {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), "r1c0\tr1c1");
  Clipboard()->SetAsText("");
  Key(VK_INSERT, {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), "r1c0\tr1c1");
  // Delete removes the selected record (one row selected, not the focused one: several).
  EXPECT_EQ(Key(VK_DELETE), 0);
  EXPECT_EQ(dc_->GetRecordCount(), 4);
  EXPECT_EQ(dc_->GetValue(1, 0).AsString(), "r2c0");
  // Insert starts a new record before the focused one; Esc cancels it.
  Key(VK_INSERT);
  EXPECT_TRUE(dc_->IsEditing());
  Key(VK_ESCAPE);
  EXPECT_FALSE(dc_->IsEditing());
  EXPECT_EQ(dc_->GetRecordCount(), 4);
  // Nothing happens without the options.
  view_->TableOptionsData()->SetDeleting(false);
  view_->TableOptionsData()->SetInserting(false);
  EXPECT_EQ(Key(VK_DELETE), VK_DELETE);
  Key(VK_INSERT);
  EXPECT_FALSE(dc_->IsEditing());
  EXPECT_EQ(dc_->GetRecordCount(), 4);
}

TEST_F(TableControllerTest, DeletingAsksThroughTheMessageBox) {
  Start(6, 2);
  view_->TableOptionsSelection()->SetMultiSelect(true);
  struct Asked {
    String text, caption;
    UINT flags;
  };
  std::vector<Asked> asked;
  Integer answer = IDCANCEL;
  Application->SetMessageBoxHook([&](const String& text, const String& caption, UINT flags) {
    asked.push_back({text, caption, flags});
    return answer;
  });
  struct TUnhook {
    ~TUnhook() { Application->SetMessageBoxHook(nullptr); }
  } unhook;
  // One record: the focused row selected alone.
  Ctrl()->FocusRowAtIndex(2);
  Ctrl()->SelectAtAnchor(true);
  for (Integer a : {IDCANCEL, IDNO, IDABORT}) {
    answer = a;
    Key(VK_DELETE);
    EXPECT_EQ(dc_->GetRecordCount(), 6);
  }
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0].text, "Delete record?");
  EXPECT_EQ(asked[0].caption, "Confirm");
  EXPECT_EQ(asked[0].flags, 33u);
  answer = IDOK;
  Key(VK_DELETE);
  EXPECT_EQ(dc_->GetRecordCount(), 5);
  // Several records.
  dc_->ChangeRowSelection(0, true);
  dc_->ChangeRowSelection(1, true);
  Key(VK_DELETE);
  EXPECT_EQ(asked.back().text, "Delete all selected records?");
  EXPECT_EQ(dc_->GetRecordCount(), 3);
}

TEST_F(TableControllerTest, RecordsMayRefuseTheFocus) {
  Start(6, 2);
  view_->OnCanFocusRecord = [](TcxCustomGridTableView*, TcxCustomGridRecord* r, bool& allow) { allow = r->Index() != 2; };
  EXPECT_FALSE(Ctrl()->FocusRowAtIndex(2));
  EXPECT_EQ(Row(), 0);
  Ctrl()->FocusRowAtIndex(1);
  EXPECT_TRUE(Ctrl()->GoToNextRecord(false, false));
  EXPECT_EQ(Row(), 3);
  EXPECT_TRUE(Ctrl()->GoToPrevRecord(false, false));
  EXPECT_EQ(Row(), 1);
  EXPECT_TRUE(Ctrl()->GoToLastRecord(false));
  EXPECT_EQ(Row(), 5);
  EXPECT_TRUE(Ctrl()->IsAtLastRecord());
}

TEST_F(TableControllerTest, IncrementalSearchLocatesByTheTypedText) {
  Start(30, 2);
  view_->TableOptionsBehavior()->SetIncSearch(true);
  auto type = [&](char32_t c) {
    Ctrl()->KeyPress(c);
    Pump();
  };
  type(U'r');
  EXPECT_TRUE(Ctrl()->IsIncSearching());
  EXPECT_EQ(Ctrl()->GetIncSearchText(), "r");
  type(U'2');
  type(U'5');
  EXPECT_EQ(Ctrl()->GetIncSearchText(), "r25");
  EXPECT_EQ(Row(), 25);
  EXPECT_EQ(Key(VK_BACK), 0);
  EXPECT_EQ(Ctrl()->GetIncSearchText(), "r2");
  Key(VK_DOWN, {ssCtrl});
  EXPECT_EQ(Row(), 26);
  Key(VK_BACK);
  Key(VK_BACK);
  EXPECT_FALSE(Ctrl()->IsIncSearching());
  // Esc ends it; switching the option off ends it too.
  type(U'r');
  Key(VK_ESCAPE);
  EXPECT_FALSE(Ctrl()->IsIncSearching());
  type(U'r');
  view_->TableOptionsBehavior()->SetIncSearch(false);
  EXPECT_FALSE(Ctrl()->IsIncSearching());
}

TEST_F(TableControllerTest, KeysOnAnEmptyViewDoNothing) {
  Start(0, 2);
  for (Word key : {Word(VK_NEXT), Word(VK_PRIOR), Word(VK_TAB), Word(VK_RETURN), Word(VK_DELETE), Word(VK_ESCAPE)})
    Key(key);
  char32_t c = U'x';
  Ctrl()->KeyPress(c);
  EXPECT_EQ(Row(), -1);
  EXPECT_EQ(dc_->GetRecordCount(), 0);
  EXPECT_FALSE(Ctrl()->IsEditing());
}

TEST_F(TableControllerTest, AHandlerThatFreesTheViewStopsTheKey) {
  Start(30, 2);
  view_->OnFocusedRecordChanged = [this](TcxCustomGridTableView* v, TcxCustomGridRecord*, TcxCustomGridRecord*, bool) {
    // The handler lives in the view: nothing of it is read after the view is freed.
    view_ = nullptr;
    v->Free();
  };
  TRowsController* controller = Ctrl();
  Word key = VK_NEXT;
  controller->KeyDown(key, {});
  EXPECT_EQ(key, 0);
  EXPECT_EQ(view_, nullptr);
  Pump();
}

TEST_F(TableControllerTest, AHandlerThatFreesTheViewStopsTheClick) {
  Start(30, 2);
  view_->OnFocusedRecordChanged = [this](TcxCustomGridTableView* v, TcxCustomGridRecord*, TcxCustomGridRecord*, bool) {
    // The handler lives in the view: nothing of it is read after the view is freed.
    view_ = nullptr;
    v->Free();
  };
  TRect b = view_->Info()->Rows()->Items(3)->Bounds;
  HWND site = view_->Site()->Handle();
  S().MouseDown(site, POINT{b.Left + 5, b.Top + 5});
  EXPECT_EQ(view_, nullptr);
  S().MouseUp(site, POINT{b.Left + 5, b.Top + 5});
  Pump();
}

TEST_F(TableControllerTest, APostThatFailsLeavesTheFocus) {
  Start(6, 2);
  dc_->OnBeforePost = [](TcxCustomDataController*) { throw Exception("no posting"); };
  dc_->Edit();
  dc_->SetEditValue(0, Variant(String("changed")), 0);
  EXPECT_THROW(Key(VK_NEXT), Exception);
  EXPECT_EQ(Row(), 0);
  EXPECT_THROW(Ctrl()->GoToNextRecord(false, false), Exception);
  EXPECT_EQ(Row(), 0);
}

}  // namespace
}  // namespace gridtest

namespace gridtest {
namespace {

// The text a drag carries is the focused cell's display text, which OnGetDragDropText may change;
// a cell's editor properties are those OnGetProperties hands for its record.
TEST_F(TableControllerTest, DragTextAndPropertiesComeThroughTheirEvents) {
  Start(3, 2);
  view_->TableOptionsBehavior()->SetDragDropText(true);
  Ctrl()->FocusRowAtIndex(1);
  String text;
  Ctrl()->GetDragDropText(text);
  EXPECT_EQ(text, "r1c0");
  view_->OnGetDragDropText = [](TcxCustomGridTableView*, TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                String& t) { t += "/" + IntToStr(record->Index()) + "/" + IntToStr(item->Index()); };
  Ctrl()->GetDragDropText(text);
  EXPECT_EQ(text, "r1c0/1/0");
  TcxCustomGridTableItem* item = view_->Items(1);
  TcxCustomEditProperties* own = item->GetProperties();
  TcxCustomEditProperties* other = view_->Items(0)->GetProperties();
  item->OnGetProperties = [other](TcxCustomGridTableItem*, TcxCustomGridRecord* record, TcxCustomEditProperties*& p) {
    if (record && record->Index() == 2) p = other;
  };
  EXPECT_EQ(item->GetPropertiesForRecord(Ctrl()->FocusedRecord()), own);
  EXPECT_EQ(item->GetPropertiesForRecord(view_->TableViewData()->FetchRecord(2)), other);
}

}  // namespace
}  // namespace gridtest
