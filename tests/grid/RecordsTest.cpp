// Records: wrappers made on demand, found by record index on every path, parents and the
// last-of-ancestor rule, collapsing and expanding all rows.
#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "grid/cxGrid.h"
#include "grid/cxGridCustomTableView.h"
#include "vcl/Clipbrd.h"

namespace gridtest {
namespace {

std::vector<std::pair<Integer, bool>>* expandLog = nullptr;

// A data row, and a group row that expands through the data controller and logs the calls.
class TTestDataRecord : public TcxCustomGridRecord {
 public:
  using TcxCustomGridRecord::TcxCustomGridRecord;
};
class TTestGroupRecord : public TcxCustomGridRecord {
 public:
  using TcxCustomGridRecord::TcxCustomGridRecord;
  bool IsDataRecord() override { return false; }
  bool GetExpandable() override { return true; }
  bool GetExpanded() override { return RowInfo().Expanded; }
  void ExpandRecord(bool recursive) override { Log(true, recursive); }
  void CollapseRecord(bool recursive) override { Log(false, recursive); }

 private:
  void Log(bool expand, bool recursive) {
    if (expandLog) expandLog->push_back({Index(), expand});
    DataController()->Groups()->ChangeRowExpanding(Index(), expand, recursive);
  }
};

class TRecordsViewData : public TcxCustomGridTableViewData {
  KORVAN_CLASS(TRecordsViewData, TcxCustomGridTableViewData)
 public:
  using TcxCustomGridTableViewData::TcxCustomGridTableViewData;
  TcxGridRecordClass GetRecordClass(const TcxRowInfo& info) override {
    return info.Level < DataController()->Groups()->GroupingLevelCount() ? GridRecordClassOf<TTestGroupRecord>()
                                                                          : GridRecordClassOf<TTestDataRecord>();
  }
  bool HasNewItemRecord() override { return WithNewItemRow; }
  TcxGridRecordClass GetNewItemRecordClass() override { return GridRecordClassOf<TTestDataRecord>(); }
  bool WithNewItemRow = false;
};
KORVAN_IMPLEMENT_CLASS(TRecordsViewData)

class TRecordsItem : public TcxCustomGridTableItem {
  KORVAN_CLASS(TRecordsItem, TcxCustomGridTableItem)
 public:
  using TcxCustomGridTableItem::TcxCustomGridTableItem;
};
KORVAN_IMPLEMENT_CLASS(TRecordsItem)

class TRecordsView : public TcxCustomGridTableView {
  KORVAN_CLASS(TRecordsView, TcxCustomGridTableView)
 public:
  using TcxCustomGridTableView::TcxCustomGridTableView;
  TClass GetControllerClass() override { return TTestController::StaticClass(); }
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<TcxGridDataController>(); }
  TClass GetPainterClass() override { return TTestPainter::StaticClass(); }
  TClass GetViewDataClass() override { return TRecordsViewData::StaticClass(); }
  TClass GetViewInfoClass() override { return TPlainViewInfo::StaticClass(); }
  TClass GetItemClass() override { return TRecordsItem::StaticClass(); }
  TRecordsViewData* Data() const { return static_cast<TRecordsViewData*>(ViewData()); }
};
KORVAN_IMPLEMENT_CLASS(TRecordsView)

class RecordsFixture : public GridFixture {
 protected:
  // Records: group "a" holds 0 and 2, group "b" holds 1 (grouped by item 0, then sorted).
  void SetUp() override {
    GridFixture::SetUp();
    TcxGridLevel* level = grid_->Levels()->Add();
    view_ = static_cast<TRecordsView*>(grid_->CreateView(TRecordsView::StaticClass()));
    level->SetGridView(view_);
    view_->CreateItem();
    view_->CreateItem();
    dc_ = view_->DataController();
    dc_->SetRecordCount(3);
    const char* groups[] = {"a", "b", "a"};
    for (int i = 0; i < 3; ++i) {
      dc_->SetValue(i, 0, groups[i]);
      dc_->SetValue(i, 1, "r" + std::to_string(i));
    }
  }
  void Reset() { view_->Data()->ResetRecords(dc_->RowCount()); }
  TRecordsView* view_ = nullptr;
  TcxCustomDataController* dc_ = nullptr;
};

TEST_F(RecordsFixture, WrappersAreMadeOnlyForRowsAskedFor) {
  Reset();
  TRecordsViewData* data = view_->Data();
  EXPECT_EQ(data->CountRecords(), 3);
  EXPECT_EQ(data->WrapperCount(), 0);
  TcxCustomGridRecord* r = data->RecordAtRowIndex(2);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(data->WrapperCount(), 1);
  EXPECT_EQ(data->FetchRecord(2), r);
  EXPECT_EQ(data->WrapperCount(), 1);
  EXPECT_EQ(r->GetDisplayText(1), "r2");
  EXPECT_TRUE(r->GetIsLast());
  EXPECT_EQ(data->RecordAtRowIndex(3), nullptr);
  EXPECT_EQ(data->RecordAtRowIndex(-1), nullptr);
  EXPECT_EQ(data->FindRecordOfKind(0, 2), r);
  EXPECT_EQ(data->FindRecordOfKind(1, 0), nullptr);
  EXPECT_EQ(data->FindRecordOfKind(7, 0), nullptr);
  EXPECT_EQ(data->KindOfRecord(r), 0);
  // The new-item record: kind 1, found by its (negative) record index.
  data->WithNewItemRow = true;
  Reset();
  TcxCustomGridRecord* newItem = data->NewItemRecord();
  ASSERT_NE(newItem, nullptr);
  EXPECT_TRUE(newItem->IsNewItemRecord());
  EXPECT_EQ(newItem->Index(), -1);
  EXPECT_EQ(newItem->RecordIndex(), dc_->GetNewItemRecordIndex());
  EXPECT_EQ(data->RecordByRecordIndex(dc_->GetNewItemRecordIndex()), newItem);
  EXPECT_EQ(data->FindRecordOfKind(1, 0), newItem);
  EXPECT_EQ(data->KindOfRecord(newItem), 1);
}

TEST_F(RecordsFixture, RecordByRecordIndexOnEveryPath) {
  Reset();
  TRecordsViewData* data = view_->Data();
  // Out of range.
  EXPECT_EQ(data->RecordByRecordIndex(-1), nullptr);
  EXPECT_EQ(data->RecordByRecordIndex(3), nullptr);
  // Outside a bracket: through the row of the record.
  TcxCustomGridRecord* r1 = data->RecordByRecordIndex(1);
  ASSERT_NE(r1, nullptr);
  EXPECT_EQ(r1->RecordIndex(), 1);
  // Inside a bracket only the wrappers that exist are searched.
  view_->BeginUpdate();
  EXPECT_EQ(data->RecordByRecordIndex(1), r1);
  EXPECT_EQ(data->RecordByRecordIndex(2), nullptr);
  EXPECT_EQ(data->WrapperCount(), 1);
  view_->EndUpdate();
  // A record inside a collapsed group has no row.
  dc_->Groups()->ChangeItemGroupIndex(0, 0);
  dc_->Groups()->FullCollapse();
  Reset();
  EXPECT_EQ(data->CountRecords(), 2);
  EXPECT_EQ(data->RecordByRecordIndex(2), nullptr);
  // Group rows are not data records: a bracket search skips them.
  TcxCustomGridRecord* group = data->FetchRecord(0);
  view_->BeginUpdate();
  EXPECT_EQ(data->RecordByRecordIndex(group->RecordIndex()), nullptr);
  view_->EndUpdate();
}

TEST_F(RecordsFixture, ParentsLastOfAncestorAndCollapseExpandAll) {
  dc_->Groups()->ChangeItemGroupIndex(0, 0);
  dc_->Groups()->FullExpand();
  Reset();
  TRecordsViewData* data = view_->Data();
  // Rows: group a, r0, r2, group b, r1.
  ASSERT_EQ(data->CountRecords(), 5);
  TcxCustomGridRecord* groupA = data->FetchRecord(0);
  TcxCustomGridRecord* lastOfA = data->FetchRecord(2);
  TcxCustomGridRecord* last = data->FetchRecord(4);
  EXPECT_TRUE(groupA->IsDataRecord() == false);
  EXPECT_EQ(groupA->GetParentRecord(), nullptr);
  EXPECT_EQ(lastOfA->GetParentRecord(), groupA);
  EXPECT_EQ(last->GetParentRecord(), data->FetchRecord(3));
  EXPECT_FALSE(data->FetchRecord(1)->IsLastOfAncestor(0));
  EXPECT_TRUE(lastOfA->IsLastOfAncestor(0));
  EXPECT_EQ(lastOfA->GetLastOfAncestorsCount(), 1);
  EXPECT_EQ(groupA->GetLastOfAncestorsCount(), 0);
  EXPECT_TRUE(last->IsLastOfAncestor(0));
  // Collapsing runs from the last row to the first, over the rows counted at the start.
  std::vector<std::pair<Integer, bool>> log;
  expandLog = &log;
  data->CollapseAll(false);
  EXPECT_EQ(log, (std::vector<std::pair<Integer, bool>>{{3, false}, {0, false}}));
  Reset();
  ASSERT_EQ(data->CountRecords(), 2);
  log.clear();
  data->ExpandAll(false);
  expandLog = nullptr;
  // Expanding from the first row: once group a opens, row 1 is its first data row.
  EXPECT_EQ(log, (std::vector<std::pair<Integer, bool>>{{0, true}}));
  EXPECT_EQ(view_->UpdateLockCount(), 0);
}

// The clipboard text: captions, then one row a line; one-character rows stay apart; a group
// row gives its value once; only the selected rows unless all are asked for.
TEST_F(RecordsFixture, ClipboardText) {
  view_->Items(0)->SetCaption("G");
  view_->Items(1)->SetCaption("V");
  EXPECT_EQ(view_->GetTextForCopy(true), "G\tV\r\na\tr0\r\nb\tr1\r\na\tr2");
  view_->TableOptionsBehavior()->SetCopyCaptionsToClipboard(false);
  view_->Items(1)->SetVisible(false);
  EXPECT_EQ(view_->GetTextForCopy(true), "a\r\nb\r\na");
  view_->Items(1)->SetVisible(true);
  dc_->SetMultiSelect(true);
  dc_->ChangeRowSelection(0, true);
  dc_->ChangeRowSelection(2, true);
  EXPECT_EQ(view_->GetTextForCopy(false), "a\tr0\r\na\tr2");
  dc_->ClearSelection();
  EXPECT_EQ(view_->GetTextForCopy(false), "");
  dc_->Groups()->ChangeItemGroupIndex(0, 0);
  dc_->Groups()->FullCollapse();
  EXPECT_EQ(view_->GetTextForCopy(true), "a\r\nb");
  view_->CopyToClipboard(true);
  EXPECT_EQ(Clipboard()->AsText(), "a\r\nb");
}

TEST_F(RecordsFixture, ItemsByStoredName) {
  TcxCustomGridTableItem* second = view_->Items(1);
  second->SetName("ValueItem");
  view_->SetName("");
  view_->SetStoringName("");
  EXPECT_EQ(second->GetStoredName(), "ValueItem");
  EXPECT_EQ(view_->FindItemByStoredName("ValueItem"), second);
  view_->SetStoringName("Layout");
  EXPECT_EQ(second->GetStoredName(), "1");
  EXPECT_EQ(view_->FindItemByStoredName("1"), second);
  EXPECT_EQ(view_->FindItemByStoredName(""), nullptr);
  EXPECT_EQ(view_->FindItemByStoredName("7"), nullptr);
  EXPECT_THROW(view_->FindItemByStoredName("one"), EConvertError);
}

}  // namespace
}  // namespace gridtest
