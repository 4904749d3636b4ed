// The data-set lookup grid: columns by field name (found ignoring case, a name without a field),
// the key fields, and the scroll range and thumb release of grid mode.
#include <gtest/gtest.h>

#include "db/MemDataSet.h"
#include "editors-extra/cxLookupDBGrid.h"
#include "rtl/SysUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace {

// Exposes the scroll margins.
class TMarginGrid : public TcxLookupDBGrid {
 public:
  using TcxLookupDBGrid::TcxLookupDBGrid;
  using TcxLookupDBGrid::GetBottomScrollMargin;
  using TcxLookupDBGrid::GetTopScrollMargin;
};

class LookupDBGridTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxLookupGrid();
    form_ = new TForm(Application);
    form_->SetBounds(50, 50, 500, 400);
    form_->Show();
    ds_.AddFieldDef("id", ftInteger);
    ds_.AddFieldDef("name", ftString, 20);
    for (int i = 1; i <= 1000; ++i) ds_.AppendRow({Variant(i), Variant("N" + IntToStr(i))});
    ds_.Open();
    source_.SetDataSet(&ds_);
    grid_ = new TMarginGrid(form_);
    grid_->SetParent(form_);
    grid_->SetPopupMode(true);
    grid_->SetDataSource(&source_);
    grid_->SetKeyFieldNames("id");
    Pump();
  }
  void TearDown() override {
    form_->Free();
    THeadlessFixture::TearDown();
  }
  TMemDataSet ds_{nullptr};
  TDataSource source_{nullptr};
  TForm* form_ = nullptr;
  TMarginGrid* grid_ = nullptr;
};

TEST_F(LookupDBGridTest, ColumnsByFieldName) {
  grid_->SetFieldNames("name; id");
  ASSERT_EQ(grid_->Columns()->Count(), 2);
  EXPECT_EQ(grid_->DBColumns()->Column(0)->FieldName(), "name");
  EXPECT_EQ(grid_->DBColumns()->Column(1)->FieldName(), "id");
  EXPECT_EQ(grid_->DBColumns()->FindByFieldName("NAME"), grid_->DBColumns()->Column(0));
  EXPECT_EQ(grid_->DBColumns()->FindByFieldName("other"), nullptr);
  EXPECT_EQ(grid_->DBColumns()->Column(0)->Field(), ds_.FieldByName("name"));
  EXPECT_EQ(grid_->KeyFieldNames(), "id");
  EXPECT_EQ(grid_->DataController()->RowCount(), 1000);
  EXPECT_EQ(grid_->DataController()->GetDisplayText(0, 0), "N1");

  // A column naming no field: its name as caption, width 64 (at least MinWidth).
  grid_->SetFieldNames("missing");
  TcxLookupDBGridColumn* c = grid_->DBColumns()->Column(0);
  EXPECT_EQ(c->Field(), nullptr);
  EXPECT_EQ(c->Caption(), "missing");
  EXPECT_EQ(c->Width(), 64);
  c->SetMinWidth(80);
  EXPECT_EQ(c->Width(), 80);
  EXPECT_NE(c->GetDefaultRepositoryItem(), nullptr);

  grid_->SetFieldNames("");
  EXPECT_EQ(grid_->Columns()->Count(), 0);
}

TEST_F(LookupDBGridTest, GridModeScrollRangeAndThumbRelease) {
  grid_->SetFieldNames("id;name");
  grid_->DBDataController()->DataModeController()->SetGridMode(true);
  grid_->SetHeight(grid_->GetHeightForRows(8));
  Pump();
  ASSERT_EQ(grid_->ViewInfo()->VisibleRowCount, 8);
  ASSERT_TRUE(grid_->DBDataController()->IsDataSetSequenced());
  grid_->ComputeScrollBarData();
  TcxControlScrollBar* bar = grid_->VerticalBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Min(), 0);
  EXPECT_EQ(bar->Max(), 1006);
  EXPECT_EQ(bar->PageSize(), 8);
  Integer position = 500;
  grid_->PanScroll(sbVertical, scPosition, position);
  EXPECT_EQ(ds_.RecNo(), 501);
  EXPECT_EQ(position, 500);
}

TEST_F(LookupDBGridTest, GridModeRowMovesScrollTheWindow) {
  grid_->SetFieldNames("id;name");
  grid_->DBDataController()->DataModeController()->SetGridModeBufferCount(20);
  grid_->DBDataController()->DataModeController()->SetGridMode(true);
  Pump();
  ASSERT_EQ(grid_->RowCount(), 20);
  TcxCustomDataController* dc = grid_->DataController();
  auto focusedId = [&] { return dc->GetRecordId(dc->FocusedRecordIndex()).AsInteger(); };
  grid_->SetFocus();
  grid_->SetFocusedRowIndex(19);
  Pump();
  ASSERT_EQ(focusedId(), 20);
  S().PressKey(VK_DOWN);
  EXPECT_EQ(focusedId(), 21);
  EXPECT_EQ(grid_->FocusedRowIndex(), 19);
  grid_->SetFocusedRowIndex(0);
  const int first = focusedId();
  S().PressKey(VK_UP);
  EXPECT_EQ(focusedId(), first - 1);
}

// Grid mode: a top row outside the buffered window scrolls the window; one row of margin stays
// on each side while records lie beyond it.
TEST_F(LookupDBGridTest, GridModeTopRowScrollsTheWindowAndMargins) {
  grid_->SetFieldNames("id;name");
  grid_->DBDataController()->DataModeController()->SetGridModeBufferCount(20);
  grid_->DBDataController()->DataModeController()->SetGridMode(true);
  grid_->SetHeight(grid_->GetHeightForRows(8));
  Pump();
  TcxCustomDataController* dc = grid_->DataController();
  auto firstId = [&] { return dc->GetRecordId(dc->RowInfoAt(0).RecordIndex).AsInteger(); };
  ASSERT_EQ(grid_->ViewInfo()->VisibleRowCount, 8);
  EXPECT_EQ(firstId(), 1);
  EXPECT_EQ(grid_->GetTopScrollMargin(), 0);
  EXPECT_EQ(grid_->GetBottomScrollMargin(), 1);
  grid_->SetTopRowIndex(-3);  // at the beginning: nothing to scroll
  EXPECT_EQ(firstId(), 1);
  EXPECT_EQ(grid_->TopRowIndex(), 0);

  grid_->SetTopRowIndex(15);  // 3 rows beyond the last full page: the window moves 3 records
  EXPECT_EQ(firstId(), 4);
  EXPECT_EQ(grid_->TopRowIndex(), 12);
  EXPECT_EQ(grid_->GetTopScrollMargin(), 1);
  grid_->SetTopRowIndex(-2);
  EXPECT_EQ(firstId(), 2);
  EXPECT_EQ(grid_->TopRowIndex(), 0);

  grid_->DBDataController()->MoveDataSetToRecNo(1000);
  Pump();
  grid_->SetTopRowIndex(grid_->RowCount() + 5);  // at the end: no scrolling, the last page
  EXPECT_EQ(dc->GetRecordId(dc->RowInfoAt(grid_->RowCount() - 1).RecordIndex).AsInteger(), 1000);
  EXPECT_EQ(grid_->TopRowIndex(), grid_->RowCount() - 8);
  EXPECT_EQ(grid_->GetBottomScrollMargin(), 0);
}

}  // namespace
