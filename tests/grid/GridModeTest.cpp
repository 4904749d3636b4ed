// Grid mode: the data set's buffer scrolls when the focus or the top record goes past its
// edges.
#include <gtest/gtest.h>

#include "db/MemDataSet.h"
#include "grid/cxGridDBDataDefinitions.h"
#include "tests/grid/RecordViewTestSupport.h"

namespace gridtest {
namespace {

class TRowsDBView : public TRowsView {
  KORVAN_CLASS(TRowsDBView, TRowsView)

 public:
  using TRowsView::TRowsView;
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<TcxGridDBDataController>(); }
};
KORVAN_IMPLEMENT_CLASS(TRowsDBView)

class GridModeTest : public GridFixture {
 protected:
  void SetUp() override {
    GridFixture::SetUp();
    ds_.AddFieldDef("id", ftInteger);
    for (int i = 1; i <= 200; ++i) ds_.AppendRow({i});
    ds_.Open();
    source_.SetDataSet(&ds_);
    view_ = static_cast<TRowsDBView*>(grid_->CreateView(TRowsDBView::StaticClass()));
    grid_->Levels()->Add()->SetGridView(view_);
    dc_ = static_cast<TcxGridDBDataController*>(view_->DataController());
    dc_->SetDataSource(&source_);
    dc_->CreateAllItems();
    dc_->DataModeController()->SetGridModeBufferCount(20);
    dc_->DataModeController()->SetGridMode(true);
    ShowForm();
    view_->Site()->SetFocus();
    view_->QueueLayoutChange();
    Pump();
  }
  Integer Id() { return ds_.FieldByName("id")->AsInteger(); }
  TMemDataSet ds_{nullptr};
  TDataSource source_{nullptr};
  TRowsDBView* view_ = nullptr;
  TcxGridDBDataController* dc_ = nullptr;
};

TEST_F(GridModeTest, MovingPastTheBufferScrollsIt) {
  ASSERT_TRUE(dc_->IsGridMode());
  TcxCustomGridTableController* c = view_->Ctrl();
  ASSERT_EQ(view_->TableViewData()->CountRecords(), 20);
  // Down from the last buffered record: the buffer moves by one, the next record is focused.
  c->FocusRowAtIndex(19);
  EXPECT_EQ(Id(), 20);
  EXPECT_TRUE(c->GoToNextRecord(false, false));
  EXPECT_EQ(Id(), 21);
  EXPECT_EQ(view_->TableViewData()->CountRecords(), 20);
  EXPECT_EQ(c->FocusedRowIndex(), 19);
  // Up from the first buffered record while the data set is not at its beginning.
  c->FocusRowAtIndex(0);
  Integer first = Id();
  ASSERT_GT(first, 1);
  EXPECT_TRUE(c->GoToPrevRecord(false, false));
  EXPECT_EQ(Id(), first - 1);
  EXPECT_EQ(c->FocusedRowIndex(), 0);
  // A top record before the buffer scrolls it back by as much.
  dc_->ScrollInGridMode(100);
  c->FocusRowAtIndex(0);
  Integer before = Id();
  ASSERT_GT(before, 3);
  c->SetTopRecordIndexChecked(-3);
  EXPECT_EQ(c->TopRecordIndex(), 0);
  c->FocusRowAtIndex(0);
  EXPECT_EQ(Id(), before - 3);
  // The first and last record answers of grid mode.
  c->GoToFirstRecord();
  EXPECT_EQ(Id(), 1);
  EXPECT_TRUE(c->IsAtFirstRecord());
  c->GoToLastRecord(false);
  EXPECT_EQ(Id(), 200);
  EXPECT_TRUE(c->IsAtLastRecord());
}

}  // namespace
}  // namespace gridtest
