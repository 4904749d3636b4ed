// Master rows over a master and a detail in-memory data set: the expand button column, the
// details site under the row's cells with its tabs, its limits, the detail of the last row, tab
// changes by mouse, key and drag, and keys between master and detail records.
#include <gtest/gtest.h>

#include "TableViewTestSupport.h"
#include "gridviews/cxGridRows.h"
#include "user/Windows.h"
#include "vcl/ControlMessages.h"

namespace {

class MasterRowsFixture : public gridviewstest::GridFormFixture {
 protected:
  void SetUp() override {
    GridFormFixture::SetUp();
    grid_->SetBounds(10, 10, 380, 290);
    master_ = AddView("master", &level_);
    countries_.AddFieldDef("Country", ftString, 20);
    countries_.AddFieldDef("Capital", ftString, 20);
    const char* names[][2] = {{"Japan", "Tokyo"}, {"Peru", "Lima"}, {"France", "Paris"}, {"Chile", "Santiago"},
                              {"Kenya", "Nairobi"}, {"Spain", "Madrid"}, {"Italy", "Rome"}, {"Egypt", "Cairo"}};
    for (auto& n : names) countries_.AppendRow({Variant(n[0]), Variant(n[1])});
    countries_.Open();
    countrySource_.SetDataSet(&countries_);
    master_->GetDataController()->SetDataSource(&countrySource_);
    master_->GetDataController()->CreateAllItems();
    master_->GetDataController()->SetKeyFieldNames("Country");
    detailLevel_ = level_->Add();
    detailLevel_->SetCaption("&Cities");
    detail_ = static_cast<TcxGridDBTableView*>(grid_->CreateView(TcxGridDBTableView::StaticClass()));
    detail_->SetName("cities");
    detailLevel_->SetGridView(detail_);
    Bind(detail_, {{Variant("Japan"), Variant("Osaka"), Variant(40)},
                   {Variant("Japan"), Variant("Kyoto"), Variant(60)},
                   {Variant("Japan"), Variant("Nara"), Variant(3)},
                   {Variant("Peru"), Variant("Cusco"), Variant(5)}});
    detail_->GetDataController()->SetDetailKeyFieldNames("Country");
    detail_->GetDataController()->SetMasterKeyFieldNames("Country");
    ShowWithColumnWidth(master_, 100);
    for (Integer i = 0; i < detail_->GetColumnCount(); ++i) detail_->GetColumn(i)->SetWidth(70);
  }
  TcxGridMasterDataRow* Row(Integer i) { return dynamic_cast<TcxGridMasterDataRow*>(master_->GetViewData()->GetRow(i)); }
  TcxGridMasterDataRowViewInfo* RowInfo(Integer i) {
    auto* rows = static_cast<TcxGridRowsViewInfo*>(master_->GetViewInfo()->RecordsViewInfo());
    for (Integer k = 0; k < rows->Count(); ++k)
      if (rows->Row(k)->GridRecord() && rows->Row(k)->GridRecord()->Index() == i)
        return dynamic_cast<TcxGridMasterDataRowViewInfo*>(rows->Row(k));
    return nullptr;
  }
  void Expand(Integer i) {
    Row(i)->SetExpanded(true);
    Relayout(master_);
  }
  // The detail clone shown for master row i (null when none).
  TcxCustomGridView* DetailOf(Integer i) { return Row(i) ? Row(i)->GetActiveDetailGridView() : nullptr; }

  TcxGridLevel* level_ = nullptr;
  TcxGridLevel* detailLevel_ = nullptr;
  TcxGridDBTableView* master_ = nullptr;
  TcxGridDBTableView* detail_ = nullptr;
  TMemDataSet countries_{nullptr};
  TDataSource countrySource_{nullptr};
};

TEST_F(MasterRowsFixture, ExpandingShowsTheDetailUnderTheCellsAndCollapsingRemovesIt) {
  TcxGridMasterDataRowViewInfo* row = RowInfo(0);
  ASSERT_NE(row, nullptr);
  EXPECT_FALSE(row->IsDetailsSiteVisible());
  // The expand button column is one level indent wide, left of the cells.
  const Integer indent = master_->GetViewInfo()->LevelIndent();
  EXPECT_EQ(row->ExpandButtonCellViewInfo()->Bounds.Width(), indent);
  EXPECT_EQ(row->GetFocusAreaLeft(), row->GetContentLeft() + indent);
  EXPECT_TRUE(row->ExpandButtonCellViewInfo()->Bounds.Contains(TPoint(row->ExpandButtonBounds.Left + 2, row->ExpandButtonBounds.Top + 2)));
  const Integer collapsedHeight = row->Bounds.Height();

  Expand(0);
  row = RowInfo(0);
  ASSERT_NE(row, nullptr);
  ASSERT_TRUE(row->IsDetailsSiteVisible());
  TcxCustomGridView* detail = DetailOf(0);
  ASSERT_NE(detail, nullptr);
  EXPECT_NE(detail, detail_);  // a clone of the pattern
  TcxGridDetailsSiteViewInfo* site = row->DetailsSiteViewInfo();
  EXPECT_EQ(site->GetActiveGridView(), detail);
  // The site starts at the expand cell's right edge below the data part; the clone's window
  // is a child of the master's site inside the site's frame.
  EXPECT_EQ(site->Bounds.Left, row->ExpandButtonCellViewInfo()->Bounds.Right);
  EXPECT_EQ(site->Bounds.Top, row->Bounds.Top + row->GetRowContentHeight());
  EXPECT_EQ(row->Bounds.Height(), collapsedHeight + site->Bounds.Height());
  ASSERT_NE(detail->Site(), nullptr);
  EXPECT_EQ(detail->Site()->Parent(), master_->Site());
  EXPECT_TRUE(detail->Site()->Visible());
  EXPECT_EQ(detail->Site()->BoundsRect(), site->ClientBounds());
  EXPECT_TRUE(site->GetViewFits());
  // Three cities of Japan: the detail shows them all, its rows inside the site.
  auto* detailRows = static_cast<TcxGridTableView*>(detail)->GetViewData();
  EXPECT_EQ(detailRows->GetRowCount(), 3);
  EXPECT_TRUE(master_->IsDetailVisible(detail));

  Row(0)->SetExpanded(false);
  Relayout(master_);
  row = RowInfo(0);
  EXPECT_FALSE(row->IsDetailsSiteVisible());
  EXPECT_EQ(row->Bounds.Height(), collapsedHeight);
  EXPECT_TRUE(detail->Site() == nullptr || detail->Site()->Parent() == nullptr || detail->Site()->Left() == 30000);
}

}  // namespace
