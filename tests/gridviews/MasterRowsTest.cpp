// Master rows over a master and a detail in-memory data set: the expand button column, the
// details site under the row's cells with its tabs, its limits, the detail of the last row, tab
// changes by mouse, key and drag, and keys between master and detail records.
#include <gtest/gtest.h>

#include "TableViewTestSupport.h"
#include "gridviews/cxGridRows.h"
#include "user/Windows.h"
#include "vcl/ExtCtrls.h"
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
                   {Variant("Peru"), Variant("Cusco"), Variant(5)},
                   {Variant("Egypt"), Variant("Giza"), Variant(1)},
                   {Variant("Egypt"), Variant("Luxor"), Variant(2)},
                   {Variant("Egypt"), Variant("Aswan"), Variant(3)},
                   {Variant("Egypt"), Variant("Suez"), Variant(4)},
                   {Variant("Egypt"), Variant("Tanta"), Variant(5)},
                   {Variant("Egypt"), Variant("Minya"), Variant(6)}});
    detail_->GetDataController()->SetDetailKeyFieldNames("Country");
    detail_->GetDataController()->SetMasterKeyFieldNames("Country");
    ShowWithColumnWidth(master_, 100);
    for (Integer i = 0; i < detail_->GetColumnCount(); ++i) detail_->GetColumn(i)->SetWidth(70);
  }
  // A second child level "&Notes" beside the cities, over the same rows.
  TcxGridLevel* AddNotesLevel() {
    TcxGridLevel* notes = level_->Add();
    notes->SetCaption("&Notes");
    auto* notesView = static_cast<TcxGridDBTableView*>(grid_->CreateView(TcxGridDBTableView::StaticClass()));
    notesView->SetName("notes");
    notes->SetGridView(notesView);
    notesView->GetDataController()->SetDataSource(&source_);
    notesView->GetDataController()->CreateAllItems();
    notesView->GetDataController()->SetDetailKeyFieldNames("Country");
    notesView->GetDataController()->SetMasterKeyFieldNames("Country");
    return notes;
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

  // A click on the expand button collapses the row.
  Advance(1000);
  const TRect button = row->ExpandButtonBounds;
  S().Click(master_->Site()->Handle(), POINT{button.Left + 3, button.Top + 3});
  Pump();
  EXPECT_FALSE(Row(0)->GetExpanded());
  Relayout(master_);
  row = RowInfo(0);
  EXPECT_FALSE(row->IsDetailsSiteVisible());
  EXPECT_EQ(row->Bounds.Height(), collapsedHeight);
  EXPECT_TRUE(detail->Site() == nullptr || detail->Site()->Parent() == nullptr || detail->Site()->Left() == 30000);
}


// The site takes at most the rest height below the row's data part and at most the level's
// MaxDetailHeight; a detail cut off that way does not fit.
TEST_F(MasterRowsFixture, TheSiteIsLimitedByTheRestHeightAndMaxDetailHeight) {
  Expand(0);
  TcxGridDetailsSiteViewInfo* site = RowInfo(0)->DetailsSiteViewInfo();
  const Integer natural = site->Bounds.Height();
  ASSERT_TRUE(site->GetViewFits());
  level_->SetMaxDetailHeight(natural - 20);
  Relayout(master_);
  site = RowInfo(0)->DetailsSiteViewInfo();
  EXPECT_EQ(site->Bounds.Height(), natural - 20);
  EXPECT_FALSE(site->GetViewFits());
  EXPECT_GE(site->GetNaturalHeight(), natural - 20);
  level_->SetMaxDetailHeight(0);
  // A low grid: the row's site ends at the bottom of the rows area.
  grid_->SetBounds(10, 10, 380, 90);
  Relayout(master_);
  TcxGridMasterDataRowViewInfo* row = RowInfo(0);
  site = row->DetailsSiteViewInfo();
  auto* rows = static_cast<TcxGridRowsViewInfo*>(master_->GetViewInfo()->RecordsViewInfo());
  EXPECT_EQ(row->DetailsSiteMaxHeight(), rows->ContentBounds.Bottom - (row->Bounds.Top + row->GetRowContentHeight()));
  EXPECT_LE(site->Bounds.Bottom, rows->ContentBounds.Bottom);
  EXPECT_LT(site->Bounds.Height(), natural);
  EXPECT_FALSE(site->GetViewFits());
}

// The last master row's detail cut off at the bottom: the view may scroll one record further,
// and doing so shows more of the detail.
TEST_F(MasterRowsFixture, TheLastMasterRowsDetailScrollsIntoView) {
  grid_->SetBounds(10, 10, 380, 170);
  auto* controller = static_cast<TcxGridTableController*>(master_->Controller());
  Row(7)->SetExpanded(true);  // Egypt, six cities
  Relayout(master_);
  auto* rows = static_cast<TcxGridRowsViewInfo*>(master_->GetViewInfo()->RecordsViewInfo());
  // The first top record at which Egypt is the last visible row.
  Integer top = 0;
  for (; top < 8; ++top) {
    controller->SetTopRecordIndex(top);
    Relayout(master_);
    rows = static_cast<TcxGridRowsViewInfo*>(master_->GetViewInfo()->RecordsViewInfo());
    TcxCustomGridRecord* last = rows->VisibleCount > 1 ? rows->Row(rows->VisibleCount - 1)->GridRecord() : nullptr;
    if (last && last->Index() == 7) break;
  }
  rows = static_cast<TcxGridRowsViewInfo*>(master_->GetViewInfo()->RecordsViewInfo());
  ASSERT_LT(top, 8);
  TcxGridMasterDataRowViewInfo* row = RowInfo(7);
  ASSERT_NE(row, nullptr);
  ASSERT_TRUE(row->IsDetailsSiteVisible());
  EXPECT_FALSE(row->IsDetailsAreaFullyVisible());
  EXPECT_TRUE(controller->IsLastDetailPartlyVisible(false));
  EXPECT_EQ(controller->GetMaxTopRecordIndex(), top + 1);
  EXPECT_EQ(controller->GetScrollBarRecordCount(), 8 - rows->VisibleCount + 1 + rows->VisibleCount);
  const Integer siteHeight = row->DetailsSiteViewInfo()->Bounds.Height();
  controller->SetTopRecordIndexChecked(top + 1);
  Relayout(master_);
  EXPECT_EQ(controller->TopRecordIndex(), top + 1);
  row = RowInfo(7);
  ASSERT_NE(row, nullptr);
  EXPECT_GT(row->DetailsSiteViewInfo()->Bounds.Height(), siteHeight);
}

// A master row whose detail is cut off at the bottom is built and painted but is not a visible
// row; focusing it scrolls its whole detail into view.
TEST_F(MasterRowsFixture, ARowWhoseDetailIsCutOffAtTheBottomIsNotVisible) {
  auto* controller = static_cast<TcxGridTableController*>(master_->Controller());
  Expand(7);  // Egypt, six cities
  controller->SetTopRecordIndex(3);
  Relayout(master_);
  auto* rows = static_cast<TcxGridRowsViewInfo*>(master_->GetViewInfo()->RecordsViewInfo());
  TcxGridMasterDataRowViewInfo* row = RowInfo(7);
  ASSERT_NE(row, nullptr);
  TcxGridDetailsSiteViewInfo* site = row->DetailsSiteViewInfo();
  ASSERT_TRUE(row->IsDetailsSiteVisible());
  ASSERT_LT(site->GetHeight(), site->GetNaturalHeight());
  EXPECT_EQ(row->Bounds.Bottom, rows->ContentBounds.Bottom);
  EXPECT_EQ(rows->CalculatedRowCount(), 5);
  EXPECT_EQ(rows->VisibleCount, 4);
  EXPECT_EQ(controller->VisibleRecordCount(), 4);
  EXPECT_FALSE(controller->IsLastDetailPartlyVisible(false));
  Row(7)->SetFocused(true);
  Pump();
  Relayout(master_);
  row = RowInfo(7);
  ASSERT_NE(row, nullptr);
  EXPECT_GT(controller->TopRecordIndex(), 3);
  EXPECT_TRUE(row->DetailsSiteViewInfo()->GetViewFits());
  EXPECT_TRUE(row->IsDetailsAreaFullyVisible());
}

// Measured upwards (a page back), an expanded row whose detail does not fit in the height left
// above the page is not counted: laid out from the top it would take its whole height and push
// the old top record out. A site held at the level's MaxDetailHeight keeps its height anywhere
// and counts.
TEST_F(MasterRowsFixture, APageBackSkipsARowWhoseDetailWouldBeCutOff) {
  grid_->SetBounds(10, 10, 380, 190);
  auto* controller = static_cast<TcxGridTableController*>(master_->Controller());
  Expand(0);  // Japan, three cities
  struct Case {
    Integer maxDetailHeight, top;
  } cases[] = {{0, 1}, {40, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.maxDetailHeight);
    level_->SetMaxDetailHeight(c.maxDetailHeight);
    controller->SetTopRecordIndex(2);
    Relayout(master_);
    ASSERT_EQ(controller->TopRecordIndex(), 2);
    controller->ShowPrevPage();
    Relayout(master_);
    EXPECT_EQ(controller->TopRecordIndex(), c.top);
    // France, the old top record, is still visible.
    EXPECT_GT(controller->TopRecordIndex() + controller->VisibleRecordCount(), 2);
  }
}

// Tabs of a master row's site: a click on a tab makes its level the row's active detail; an
// accelerator does the same only while the row's record is focused.
TEST_F(MasterRowsFixture, DetailTabsByMouseAndAccelerator) {
  TcxGridLevel* notes = AddNotesLevel();
  level_->Options()->SetDetailTabsPosition(dtpTop);
  // Tall enough for both expanded rows: a row whose detail is cut off is scrolled into view
  // when it is focused.
  form_->SetBounds(100, 100, 420, 520);
  grid_->SetBounds(10, 10, 380, 490);
  Expand(0);
  Expand(1);
  TcxGridMasterDataRowViewInfo* row = RowInfo(0);
  TcxGridDetailsSiteViewInfo* site = row->DetailsSiteViewInfo();
  ASSERT_NE(site->TabsViewInfo(), nullptr);
  ASSERT_EQ(site->TabsViewInfo()->GetTabCount(), 2);
  EXPECT_EQ(site->GetActiveLevel(), detailLevel_);
  EXPECT_EQ(DetailOf(0)->Level(), detailLevel_);
  // The detail's window is under the strip.
  EXPECT_EQ(DetailOf(0)->Site()->Top(), site->TabsViewInfo()->Bounds.Bottom + site->GetFrameWidth());
  // A click on the second tab.
  TRect tab = site->TabsViewInfo()->GetTab(1)->Bounds;
  S().Click(master_->Site()->Handle(), POINT{tab.Left + 4, tab.Top + 4});
  Pump();
  EXPECT_EQ(Row(0)->GetActiveDetailLevel(), notes);
  EXPECT_EQ(Row(1)->GetActiveDetailLevel(), detailLevel_);
  Relayout(master_);
  EXPECT_EQ(RowInfo(0)->DetailsSiteViewInfo()->GetActiveGridView()->Level(), notes);
  // Accelerators: the focused row's site only.
  Row(1)->SetFocused(true);
  Relayout(master_);
  EXPECT_FALSE(RowInfo(0)->DetailsSiteViewInfo()->SupportsTabAccelerators());
  EXPECT_TRUE(RowInfo(1)->DetailsSiteViewInfo()->SupportsTabAccelerators());
  EXPECT_EQ(RowInfo(0)->DetailsSiteViewInfo()->TabsViewInfo()->GetTab(0)->GetDisplayText(), "Cities");
  EXPECT_TRUE(master_->Controller()->ProcessDialogChar('n'));
  Pump();
  EXPECT_EQ(Row(1)->GetActiveDetailLevel(), notes);
  EXPECT_EQ(Row(0)->GetActiveDetailLevel(), notes);
  EXPECT_FALSE(master_->Controller()->ProcessDialogChar('q'));
}

// Real drags from a panel through the drag manager, on the test clock: held over a detail tab,
// the drag opens it after the drag-open wait (moves over the same tab keep the wait going);
// held over a collapsed master row's expand button, it expands the row. Moving on to another
// button restarts the wait, leaving the view or the view's DragOpening off opens nothing; a
// top-level tab opens the same way.
TEST_F(MasterRowsFixture, ADragHeldOverATabOrAnExpandButtonOpensItAfterTheWait) {
  TcxGridLevel* notes = AddNotesLevel();
  level_->Options()->SetDetailTabsPosition(dtpTop);
  TcxGridLevel* otherLevel = grid_->Levels()->Add();
  otherLevel->SetCaption("Other");
  otherLevel->SetGridView(grid_->CreateView(TcxGridDBTableView::StaticClass()));
  grid_->RootLevel()->Options()->SetDetailTabsPosition(dtpTop);
  form_->SetBounds(100, 100, 520, 520);
  grid_->SetBounds(10, 10, 380, 490);
  auto* source = new TPanel(form_);
  source->SetBounds(400, 10, 60, 60);
  source->SetParent(form_);
  source->SetDragMode(dmAutomatic);
  Expand(0);
  const Integer wait = grid_->DragOpeningWaitTime();
  TcxGridController* opener = grid_->Controller();
  auto over = [&](const TRect& r, Integer dx = 0) {
    S().MoveMouseTo(S().ScreenPoint(master_->Site()->Handle(), POINT{r.Left + 3 + dx, r.Top + 3}));
  };
  auto button = [&](Integer i) { return RowInfo(i)->ExpandButtonBounds; };
  S().MouseDown(source->Handle(), POINT{20, 20});
  over(RowInfo(0)->DetailsSiteViewInfo()->TabsViewInfo()->GetTab(1)->Bounds);
  ASSERT_TRUE(source->Dragging());
  auto* tab = dynamic_cast<TcxGridDragOpenInfoMasterDataRowTab*>(opener->DragOpenInfo());
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(tab->Level(), notes);
  EXPECT_EQ(tab->MasterRow(), Row(0));
  Advance(wait / 2);
  over(RowInfo(0)->DetailsSiteViewInfo()->TabsViewInfo()->GetTab(1)->Bounds, 1);
  EXPECT_EQ(Row(0)->GetActiveDetailLevel(), detailLevel_);
  Advance(wait - wait / 2);
  EXPECT_EQ(Row(0)->GetActiveDetailLevel(), notes);
  EXPECT_EQ(opener->DragOpenInfo(), nullptr);
  // Peru's expand button.
  over(button(1));
  auto* expand = dynamic_cast<TcxGridDragOpenInfoExpand*>(opener->DragOpenInfo());
  ASSERT_NE(expand, nullptr);
  EXPECT_EQ(expand->GridRecord(), Row(1));
  Advance(wait - 1);
  EXPECT_FALSE(Row(1)->GetExpanded());
  Advance(1);
  EXPECT_TRUE(Row(1)->GetExpanded());
  // Chile's button, then France's before the wait ends, then out of the view.
  over(button(3));
  Advance(wait / 2);
  over(button(2));
  Advance(wait / 2 + 1);
  EXPECT_FALSE(Row(3)->GetExpanded());
  EXPECT_FALSE(Row(2)->GetExpanded());
  S().MoveMouseTo(S().ScreenPoint(source->Handle(), POINT{30, 30}));
  EXPECT_EQ(opener->DragOpenInfo(), nullptr);
  Advance(wait);
  EXPECT_FALSE(Row(2)->GetExpanded());
  // The view's DragOpening off.
  master_->TableOptionsBehavior()->SetDragOpening(false);
  over(button(3));
  EXPECT_EQ(opener->DragOpenInfo(), nullptr);
  Advance(wait);
  EXPECT_FALSE(Row(3)->GetExpanded());
  // A top-level tab on the grid's own surface, through the grid's controller.
  TcxGridTopDetailsSiteViewInfo* top = grid_->ViewInfo()->DetailsSiteViewInfo();
  ASSERT_NE(top->TabsViewInfo(), nullptr);
  const TRect other = top->TabsViewInfo()->GetTab(1)->Bounds;
  S().MoveMouseTo(S().ScreenPoint(grid_->Handle(), POINT{other.Left + 4, other.Top + 4}));
  ASSERT_NE(opener->DragOpenInfo(), nullptr);
  Advance(wait);
  EXPECT_EQ(grid_->ActiveLevel(), otherLevel);
  S().MouseUpAt(S().ScreenPoint(source->Handle(), POINT{30, 30}));
  EXPECT_FALSE(source->Dragging());
}

// Down from an expanded master row enters its detail; Down from the detail's last record
// leaves it for the next master row; Up goes back through the detail to the master row.
TEST_F(MasterRowsFixture, KeysMoveBetweenMasterAndDetailRecords) {
  Expand(0);
  Row(0)->SetFocused(true);
  master_->Site()->SetFocus();
  Pump();
  TcxCustomGridView* detail = DetailOf(0);
  ASSERT_NE(detail, nullptr);
  auto* detailController = static_cast<TcxCustomGridTableController*>(detail->Controller());
  auto* masterController = static_cast<TcxCustomGridTableController*>(master_->Controller());
  auto press = [&](Word key) {
    TcxCustomGridView* focused = grid_->FocusedView();
    ASSERT_NE(focused, nullptr);
    Word k = key;
    focused->Controller()->KeyDown(k, TShiftState());
    Pump();
  };
  press(VK_DOWN);
  EXPECT_EQ(grid_->FocusedView(), detail);
  EXPECT_EQ(detailController->FocusedRowIndex(), 0);
  press(VK_DOWN);
  press(VK_DOWN);
  EXPECT_EQ(detailController->FocusedRowIndex(), 2);
  press(VK_DOWN);
  EXPECT_EQ(grid_->FocusedView(), master_);
  EXPECT_EQ(masterController->FocusedRowIndex(), 1);
  press(VK_UP);
  EXPECT_EQ(grid_->FocusedView(), detail);
  EXPECT_EQ(detailController->FocusedRowIndex(), 2);
  press(VK_UP);
  press(VK_UP);
  press(VK_UP);
  EXPECT_EQ(grid_->FocusedView(), master_);
  EXPECT_EQ(masterController->FocusedRowIndex(), 0);
}

// A hidden child level never stays the active tab; a level whose OnGetGridView answers null
// shows no detail for that master record (the site stays empty).
TEST_F(MasterRowsFixture, HiddenLevelsAndLevelsWithoutAView) {
  TcxGridLevel* notes = level_->Add();
  notes->SetCaption("Notes");
  notes->SetGridView(grid_->CreateView(TcxGridDBTableView::StaticClass()));
  level_->Options()->SetDetailTabsPosition(dtpLeft);
  Expand(0);
  EXPECT_EQ(RowInfo(0)->DetailsSiteViewInfo()->GetActiveLevel(), detailLevel_);
  detailLevel_->SetVisible(false);
  Relayout(master_);
  TcxGridDetailsSiteViewInfo* site = RowInfo(0)->DetailsSiteViewInfo();
  EXPECT_EQ(site->GetActiveLevel(), notes);
  ASSERT_NE(site->TabsViewInfo(), nullptr);
  EXPECT_EQ(site->TabsViewInfo()->GetTabCount(), 1);
  detailLevel_->SetVisible(true);
  notes->SetVisible(false);
  // OnGetGridView answering null for Peru's cities.
  TcxCustomGridRecord* asked = nullptr;
  detailLevel_->OnGetGridView = [&](TcxGridLevel*, TcxCustomGridRecord* masterRecord, TcxCustomGridView*& view) {
    asked = masterRecord;
    if (masterRecord && masterRecord->GetDisplayText(0) == "Peru") view = nullptr;
  };
  Expand(1);
  ASSERT_NE(asked, nullptr);
  EXPECT_EQ(DetailOf(1), nullptr);
  site = RowInfo(1)->DetailsSiteViewInfo();
  EXPECT_TRUE(RowInfo(1)->IsDetailsSiteVisible());
  EXPECT_FALSE(site->HasActiveGridView());
  EXPECT_LE(site->ClientBounds().Height(), 100);
}

// Sheets: master rows with detail tabs (at the top and on the left) under top-level tabs on
// the grid's surface.
TEST_F(MasterRowsFixture, SheetsOfDetailTabsAndTopLevelTabs) {
  TcxGridLevel* notes = level_->Add();
  notes->SetCaption("&Notes");
  auto* notesView = static_cast<TcxGridDBTableView*>(grid_->CreateView(TcxGridDBTableView::StaticClass()));
  notesView->SetName("notes");
  notes->SetGridView(notesView);
  level_->SetCaption("&Countries");
  TcxGridLevel* other = grid_->Levels()->Add();
  other->SetCaption("&Other");
  other->SetGridView(grid_->CreateView(TcxGridDBTableView::StaticClass()));
  grid_->RootLevel()->Options()->SetDetailTabsPosition(dtpTop);
  form_->SetBounds(100, 100, 460, 420);
  grid_->SetBounds(10, 10, 430, 380);
  Pump();
  struct Case {
    TcxGridDetailTabsPosition position;
    const char* sheet;
  } cases[] = {{dtpTop, "gridviews_master_rows_top_tabs.png"}, {dtpLeft, "gridviews_master_rows_left_tabs.png"}};
  for (const Case& c : cases) {
    level_->Options()->SetDetailTabsPosition(c.position);
    Row(0)->SetExpanded(true);
    Row(1)->SetExpanded(true);
    Relayout(master_);
    grid_->ViewInfo()->Calculate();
    grid_->Invalidate();
    Pump();
    TcxGridTopDetailsSiteViewInfo* top = grid_->ViewInfo()->DetailsSiteViewInfo();
    ASSERT_NE(top->TabsViewInfo(), nullptr);
    EXPECT_EQ(top->TabsViewInfo()->GetTabCount(), 2);
    EXPECT_EQ(top->TabsViewInfo()->GetTab(0)->State(), gcsPressed);
    TcxGridMasterDataRowViewInfo* row = RowInfo(0);
    ASSERT_NE(row, nullptr);
    ASSERT_NE(row->DetailsSiteViewInfo()->TabsViewInfo(), nullptr);
    EXPECT_EQ(row->DetailsSiteViewInfo()->TabsViewInfo()->IsVertical(), c.position == dtpLeft);
    EXPECT_TRUE(DetailOf(0)->Site()->Visible());
    S().Snapshot(form_->Handle(), c.sheet, true);
  }
}

}  // namespace

namespace {
// Real keys at the focused window: Down and Up walk through an expanded detail (also from a
// detail cell's editor), Shift+Down passes it by, and Tab moves between cells of one view only:
// it never enters a detail nor leaves one.
TEST_F(MasterRowsFixture, TypedKeysAndTabBetweenMasterAndDetailRecords) {
  for (TcxGridDBTableView* v : {master_, detail_}) {
    v->GetOptionsBehavior()->SetFocusCellOnTab(true);
    v->GetOptionsBehavior()->SetFocusCellOnCycle(true);
  }
  Expand(0);
  Row(0)->SetFocused(true);
  master_->Site()->SetFocus();
  Pump();
  auto* detail = dynamic_cast<TcxGridTableView*>(DetailOf(0));
  ASSERT_NE(detail, nullptr);
  auto* masterController = master_->GetController();
  auto* detailController = detail->GetController();
  auto at = [&](TcxCustomGridView* view, Integer row) {
    auto* c = static_cast<TcxCustomGridTableController*>(view->Controller());
    return grid_->FocusedView() == view && c->FocusedRowIndex() == row && HoldsInputFocus(view->Site());
  };
  // Shift+Down passes the detail by; Up from the next master row enters its last record.
  S().PressKey(VK_DOWN, true);
  EXPECT_TRUE(at(master_, 1));
  S().PressKey(VK_UP);
  EXPECT_TRUE(at(detail, 2));
  S().PressKey(VK_UP);
  S().PressKey(VK_UP);
  S().PressKey(VK_UP);
  EXPECT_TRUE(at(master_, 0));
  // Tab from the master row's last cell goes to the next master row, not into the detail.
  masterController->SetFocusedItem(master_->GetColumn(master_->GetColumnCount() - 1));
  S().PressKey(VK_TAB);
  EXPECT_TRUE(at(master_, 1));
  EXPECT_EQ(masterController->FocusedItem(), master_->GetColumn(0));
  // Tab on the detail's last cell of its last record stays in the detail.
  S().PressKey(VK_UP);
  ASSERT_TRUE(at(detail, 2));
  detailController->SetFocusedItem(detail->GetColumn(detail->GetColumnCount() - 2));
  S().PressKey(VK_TAB);
  EXPECT_EQ(detailController->FocusedItem(), detail->GetColumn(detail->GetColumnCount() - 1));
  S().PressKey(VK_TAB);
  EXPECT_EQ(detailController->FocusedItem(), detail->GetColumn(detail->GetColumnCount() - 1));
  EXPECT_EQ(grid_->FocusedView(), detail);
  EXPECT_EQ(detailController->FocusedRowIndex(), 2);
  EXPECT_EQ(masterController->FocusedRowIndex(), 0);
  // Down typed into an editor of the master row goes into its detail.
  S().PressKey(VK_UP);
  S().PressKey(VK_UP);
  S().PressKey(VK_UP);
  ASSERT_TRUE(at(master_, 0));
  master_->GetColumn(1)->SetEditing(true);
  Pump();
  ASSERT_TRUE(masterController->EditingController()->IsEditing());
  S().PressKey(VK_DOWN);
  EXPECT_FALSE(masterController->EditingController()->IsEditing());
  EXPECT_TRUE(at(detail, 0));
}
}  // namespace
