// Input of the pivot view with injected mouse and keys: hit codes, header clicks, expand
// buttons, cell selection, the clipboard keys, auto-scroll and hints on the manual clock, hot
// tracking, resizing and best fit, and field drag and drop between and inside the areas.
#include <map>

#include "PivotGridViewFixture.h"
#include "pivotgrid/cxPivotGridCustomization.h"
#include "user/Backend.h"
#include "vcl/Clipbrd.h"

using namespace pivot_fixture;

namespace {

std::vector<int> Codes(TcxCustomPivotGrid* grid, POINT p) {
  grid->HitTest()->SetHitPoint(p);
  std::vector<int> codes;
  for (int c = 1; c <= 8; ++c)
    if (grid->HitTest()->HasCode(c)) codes.push_back(c);
  return codes;
}

POINT RightHalf(const TRect& r) { return POINT{r.Right - 3, (r.Top + r.Bottom) / 2}; }
POINT LeftHalf(const TRect& r) { return POINT{r.Left + 3, (r.Top + r.Bottom) / 2}; }

}  // namespace

TEST(PivotGridViewInput, HitCodesAtPoints) {
  TShownPivot s;
  s.grid->LookAndFeel()->SetKind(lfStandard);
  TcxPivotGridViewInfo* vi = s.VI();
  TcxPivotGridFieldHeaderCellViewInfo* year = s.year->GetHeaderViewInfo();
  year->CheckCalculated();
  TcxPivotGridHeaderCellViewInfo* north = s.Header(true, "North");
  north->CheckCalculated();
  TcxPivotGridHeaderCellViewInfo* amount = s.Header(false, "Amount");
  TRect area = year->Bounds;
  struct {
    const char* name;
    POINT p;
    std::vector<int> codes;
  } cases[] = {
      {"data cell", TShownPivot::Center(s.Cell(0, 0)->Bounds), {HitDataCell}},
      {"field header", POINT{year->TextRect.Left + 2, (area.Top + area.Bottom) / 2}, {HitFieldHeader}},
      {"filter button", TShownPivot::Center(year->FilterButtonRect), {HitFieldHeader, HitFilterButton}},
      {"expand button", TShownPivot::Center(north->ExpandButtonRect), {HitExpandButton, HitGroupHeader}},
      {"group header", POINT{north->TextRect.Left + 10, north->Bounds.Top + 3}, {HitGroupHeader}},
      {"resize edge", POINT{amount->Bounds.Right - 1, amount->Bounds.Top + 3}, {HitGroupHeader, HitResizeEdge}},
      {"resize band reaches into the next header", POINT{amount->Bounds.Right + 2, amount->Bounds.Top + 3},
       {HitGroupHeader, HitResizeEdge}},
      {"header area", POINT{area.Right + 40, area.Top + 3}, {HitHeaderArea}},
      {"filler", POINT{vi->Bounds.Left + 20, vi->DataBounds.Bottom + 10}, {}},
  };
  for (auto& c : cases) EXPECT_EQ(Codes(s.grid, c.p), c.codes) << c.name;
  s.grid->HitTest()->SetHitPoint(cases[5].p);
  EXPECT_EQ(s.grid->HitTest()->ResizeObject, static_cast<IcxPivotGridSizableObject*>(s.amount));
  EXPECT_EQ(s.grid->HitTest()->ResizeStart, amount->Bounds.Right);
}

TEST(PivotGridViewInput, HeaderClickSortsAndTheFilterButtonOpensTheDropDown) {
  TShownPivot s;
  TRect region = s.FieldRect(s.region);
  s.session.Click(s.Wnd(), POINT{region.Left + 5, (region.Top + region.Bottom) / 2});
  s.session.Pump();
  EXPECT_EQ(s.region->SortOrder(), soDescending);
  EXPECT_EQ(s.Leaves(true).front(), "South/Lima");
  region = s.FieldRect(s.region);
  s.session.Click(s.Wnd(), POINT{region.Left + 5, (region.Top + region.Bottom) / 2});
  EXPECT_EQ(s.region->SortOrder(), soAscending);
  EXPECT_EQ(s.region->GetHeaderViewInfo()->State, cxbsNormal);
  // A click on the filter button opens the filter drop-down and does not sort.
  TcxPivotGridFieldHeaderCellViewInfo* h = s.region->GetHeaderViewInfo();
  h->CheckCalculated();
  bool opened = false;
  s.session.Backend().OnIdle([&] {
    opened = true;
    InputKey(VK_ESCAPE, true);
    InputKey(VK_ESCAPE, false);
  });
  s.session.Advance(1000);
  s.session.Click(s.Wnd(), TShownPivot::Center(h->FilterButtonRect));
  EXPECT_TRUE(opened);
  EXPECT_EQ(s.region->SortOrder(), soAscending);
}

TEST(PivotGridViewInput, ExpandButtonsCollapseAndExpand) {
  TShownPivot s;
  int rows = s.grid->ViewData()->RowCount();
  TcxPivotGridHeaderCellViewInfo* north = s.Header(true, "North");
  north->CheckCalculated();
  s.session.Click(s.Wnd(), TShownPivot::Center(north->ExpandButtonRect));
  EXPECT_EQ(s.grid->ViewData()->RowCount(), rows - 2);
  north = s.Header(true, "North");
  EXPECT_FALSE(north->Expanded);
  north->CheckCalculated();
  s.session.Click(s.Wnd(), TShownPivot::Center(north->ExpandButtonRect));
  EXPECT_EQ(s.grid->ViewData()->RowCount(), rows);
}

TEST(PivotGridViewInput, CellSelectionByMouseAndKeys) {
  for (bool multi : {true, false}) {
    TShownPivot s;
    s.grid->OptionsSelection()->SetMultiSelect(multi);
    TcxPivotGridViewData* vd = s.grid->ViewData();
    s.session.Click(s.Wnd(), TShownPivot::Center(s.Cell(1, 1)->Bounds));
    EXPECT_EQ(RectText(vd->NormalizedSelection()), "1,1,1,1");
    s.session.PressKey(VK_RIGHT, true);
    EXPECT_EQ(RectText(vd->NormalizedSelection()), multi ? "1,1,2,1" : "2,1,2,1") << multi;
    s.session.PressKey(VK_DOWN);
    EXPECT_EQ(RectText(vd->NormalizedSelection()), multi ? "2,2,2,2" : "2,2,2,2");
    s.session.PressKey(VK_HOME, false, true);
    EXPECT_EQ(RectText(vd->NormalizedSelection()), "0,0,0,0");
    s.session.PressKey(VK_END);
    EXPECT_EQ(vd->Selection().Left, vd->ColumnCount() - 1);
    s.session.PressKey(VK_HOME, false, true);
    // Dragging over cells extends the selection from the anchor.
    s.Drag(TShownPivot::Center(s.Cell(0, 0)->Bounds), TShownPivot::Center(s.Cell(2, 1)->Bounds));
    EXPECT_EQ(RectText(vd->NormalizedSelection()), multi ? "0,0,2,1" : "2,1,2,1") << multi;
    TcxPivotGridDataCellViewInfo* focused = s.Cell(vd->Selection().Left, vd->Selection().Top);
    ASSERT_NE(focused, nullptr);
    EXPECT_TRUE(focused->Selected);
    EXPECT_EQ(focused->FocusMark, 1);
  }
}

TEST(PivotGridViewInput, ClipboardKeys) {
  TShownPivot s;
  s.grid->OptionsSelection()->SetMultiSelect(true);
  s.session.Click(s.Wnd(), TShownPivot::Center(s.Cell(0, 1)->Bounds));
  s.session.PressKey('C', false, true);
  EXPECT_EQ(Clipboard()->AsText(), s.grid->ViewData()->CellText(1, 0));
  s.session.PressKey('A', false, true);
  EXPECT_EQ(RectText(s.grid->ViewData()->NormalizedSelection()),
            "0,0," + IntToStr(s.grid->ViewData()->ColumnCount() - 1) + "," + IntToStr(s.grid->ViewData()->RowCount() - 1));
  s.session.PressKey(VK_INSERT, false, true);
  EXPECT_EQ(Clipboard()->AsText(), s.grid->ClipboardText(true));
  // Without MultiSelect Ctrl+A selects the first cell only.
  s.grid->OptionsSelection()->SetMultiSelect(false);
  s.session.PressKey('A', false, true);
  EXPECT_EQ(RectText(s.grid->ViewData()->NormalizedSelection()), "0,0,0,0");
}

TEST(PivotGridViewInput, AutoScrollWhileSelectingBelowTheDataArea) {
  TShownPivot s(640, 180);
  TcxPivotGridViewData* vd = s.grid->ViewData();
  ASSERT_LT(vd->VisibleRowCount, vd->RowCount());
  TcxPivotGridViewInfo* vi = s.VI();
  s.session.MouseDown(s.Wnd(), TShownPivot::Center(s.Cell(0, 0)->Bounds));
  s.session.MoveMouse(s.Wnd(), POINT{vi->DataBounds.Left + 20, vi->DataBounds.Bottom + 5});
  int top = vd->TopRow();
  s.session.Advance(400);
  EXPECT_GT(vd->TopRow(), top);
  EXPECT_GT(vd->Selection().Top, 0);
  s.session.MouseUp(s.Wnd(), POINT{vi->DataBounds.Left + 20, vi->DataBounds.Bottom + 5});
  int after = vd->TopRow();
  s.session.Advance(200);
  EXPECT_EQ(vd->TopRow(), after);
}

TEST(PivotGridViewInput, ScrollBarsFollowTheViewAndScrollIt) {
  TShownPivot s(640, 180);
  TcxPivotGridViewData* vd = s.grid->ViewData();
  TcxControlScrollBar* bar = s.grid->VerticalBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Max(), vd->RowCount() - 1);
  EXPECT_EQ(bar->PageSize(), vd->VisibleRowCount);
  int pos = 0;
  s.grid->PanScroll(sbVertical, scLineDown, pos);
  EXPECT_EQ(vd->TopRow(), 1);
  EXPECT_EQ(pos, 1);
  s.grid->Invalidate();
  s.session.Pump();
  EXPECT_EQ(bar->Position(), 1);
  pos = 0;
  s.grid->PanScroll(sbVertical, scTrack, pos);
  EXPECT_EQ(vd->TopRow(), 0);
  // The end-of-scroll code changes nothing.
  pos = 3;
  s.grid->PanScroll(sbVertical, scEndScroll, pos);
  EXPECT_EQ(vd->TopRow(), 0);
}

TEST(PivotGridViewInput, HintsForTruncatedTextsOnly) {
  TShownPivot s;
  s.grid->OptionsBehavior()->SetCellHints(true);
  // As wide as "10.00": the grid line leaves it a pixel short; "1" in the quantity column fits.
  s.amount->SetWidth(MeasureTextWidthInFont(s.grid->Font(), "10.00"));
  TcxPivotGridHintController* hints = s.grid->Controller()->HintController.get();
  TcxPivotGridDataCellViewInfo* narrow = s.Cell(0, 1);
  ASSERT_EQ(narrow->DisplayText, "10.00");
  s.session.MoveMouse(s.Wnd(), TShownPivot::Center(narrow->Bounds));
  s.session.Pump();
  EXPECT_TRUE(hints->Shown);
  EXPECT_EQ(hints->HintText, "10.00");
  s.session.MoveMouse(s.Wnd(), TShownPivot::Center(s.Cell(1, 1)->Bounds));
  s.session.Advance(50);
  EXPECT_FALSE(hints->Shown);
  s.session.MoveMouse(s.Wnd(), TShownPivot::Center(s.Cell(1, 2)->Bounds));
  EXPECT_FALSE(hints->Shown);
}

TEST(PivotGridViewInput, HotTrackingOfFieldHeadersAndFilterButtons) {
  TShownPivot s;
  TcxPivotGridFieldHeaderCellViewInfo* h = s.year->GetHeaderViewInfo();
  h->CheckCalculated();
  s.session.MoveMouse(s.Wnd(), POINT{h->TextRect.Left + 2, h->Bounds.Top + 4});
  EXPECT_EQ(h->State, cxbsHot);
  EXPECT_EQ(h->FilterState, cxbsNormal);
  s.session.MoveMouse(s.Wnd(), TShownPivot::Center(h->FilterButtonRect));
  EXPECT_EQ(h->FilterState, cxbsHot);
  s.session.MoveMouse(s.Wnd(), TShownPivot::Center(s.Cell(0, 0)->Bounds));
  EXPECT_EQ(h->State, cxbsNormal);
  EXPECT_EQ(h->FilterState, cxbsNormal);
}

TEST(PivotGridViewInput, ResizingByHeaderEdges) {
  TShownPivot s;
  TcxPivotGridHeaderCellViewInfo* amount = s.Header(false, "Amount");
  POINT edge{amount->Bounds.Right - 1, amount->Bounds.Top + 3};
  s.Drag(edge, POINT{edge.X + 30, edge.Y});
  EXPECT_EQ(s.amount->Width(), 135);
  // Released at the start point: nothing changes.
  amount = s.Header(false, "Amount");
  edge = POINT{amount->Bounds.Right - 1, amount->Bounds.Top + 3};
  s.Drag(edge, edge);
  EXPECT_EQ(s.amount->Width(), 135);
  // Past the minimum: the minimum, never 0 (the automatic width).
  s.Drag(edge, POINT{edge.X - 300, edge.Y});
  EXPECT_EQ(s.amount->Width(), s.amount->MinWidth());
  // The grand total of a single data field: its width stays at least the minimum too.
  s.qty->SetVisible(false);
  TcxPivotGridHeaderCellViewInfo* total = s.Header(false, "Grand Total");
  ASSERT_EQ(total->SizableObject, static_cast<IcxPivotGridSizableObject*>(s.grid->OptionsView()));
  POINT totalEdge{total->Bounds.Right - 1, total->Bounds.Top + 3};
  s.Drag(totalEdge, POINT{totalEdge.X - 300, totalEdge.Y});
  EXPECT_EQ(s.grid->OptionsView()->GrandTotalWidth(), 20);
  EXPECT_EQ(s.Header(false, "Grand Total")->Bounds.Width(), 20);
}

TEST(PivotGridViewInput, BestFitByDoubleClickOnAnEdge) {
  TShownPivot s;
  s.city->SetWidth(200);
  TcxPivotGridHeaderCellViewInfo* bergen = s.Header(true, "Bergen");
  s.session.DoubleClick(s.Wnd(), POINT{bergen->Bounds.Right - 1, bergen->Bounds.Top + 3});
  s.session.Pump();
  TcxPivotGridFieldHeaderCellViewInfo* h = s.city->GetHeaderViewInfo();
  int expected = std::max(h->BestWidth() + 4, 4 + MeasureTextWidthInFont(s.grid->Font(), "Bergen") + 2);
  EXPECT_EQ(s.city->Width(), expected);
  // The grand-total width has no best fit.
  s.qty->SetVisible(false);
  s.grid->OptionsView()->SetGrandTotalWidth(150);
  TcxPivotGridHeaderCellViewInfo* total = s.Header(false, "Grand Total");
  s.session.DoubleClick(s.Wnd(), POINT{total->Bounds.Right - 1, total->Bounds.Top + 3});
  EXPECT_EQ(s.grid->OptionsView()->GrandTotalWidth(), 150);
}

// Best fit of the grid, of a field and of the "Data" pseudo field. The grid's run measures the
// data cells once for all its fields (each cell's text asked for once), and gives the widths
// each field's own best fit gives.
TEST(PivotGridViewInput, BestFitOfTheGridAFieldAndTheDataHeader) {
  TShownPivot s;
  s.grid->BeginUpdate();
  s.Place(s.region, faColumn);
  s.grid->EndUpdate();
  int texts = 0;
  for (TcxPivotGridField* f : {s.amount, s.qty})
    f->OnGetDisplayText = [&](TcxPivotGridField*, TcxPivotGridDataCellViewInfo*, String&) { ++texts; };
  TcxPivotGridViewData* vd = s.grid->ViewData();
  s.grid->CheckChanges();
  int cells = vd->RowCount() * vd->ColumnCount();
  s.country->SetWidth(77);
  // Inside an outer bracket: the relayout afterwards (which asks the visible cells) is left out.
  s.grid->BeginUpdate();
  texts = 0;
  s.grid->ApplyBestFit();
  EXPECT_EQ(texts, cells);
  s.grid->EndUpdate();
  std::map<TcxPivotGridField*, int> byGrid;
  for (TcxPivotGridField* f : {s.city, s.year, s.region, s.amount, s.qty}) byGrid[f] = f->Width();
  EXPECT_EQ(s.country->Width(), 77);
  auto text = [&](const String& t) { return MeasureTextWidthInFont(s.grid->Font(), t); };
  // The row field: its header or its widest value (no totals); the data cells do not count.
  EXPECT_EQ(s.city->Width(),
            std::max(s.city->GetHeaderViewInfo()->BestWidth() + 4, 4 + std::max(text("Bergen"), text("Rome")) + 2));
  // A column field: at least the widest data cell of every data field.
  int widestCell = 0;
  for (int r = 0; r < vd->RowCount(); ++r)
    for (int c = 0; c < vd->ColumnCount(); ++c) widestCell = std::max(widestCell, text(vd->CellText(c, r)));
  EXPECT_GE(s.year->Width(), widestCell + 2);
  EXPECT_GE(s.region->Width(), widestCell + 2);
  // One field at a time gives the same widths.
  for (auto& [f, w] : byGrid) {
    f->SetWidth(300);
    f->ApplyBestFit();
    EXPECT_EQ(f->Width(), w) << f->Caption();
  }
  // The "Data" pseudo field in the rows: the widest header of itself and the data fields.
  s.grid->OptionsDataField()->SetArea(dfaRow);
  s.grid->CheckChanges();
  s.grid->OptionsDataField()->ApplyBestFit();
  EXPECT_EQ(s.grid->OptionsDataField()->Width(),
            std::max({s.grid->OptionsDataField()->GetHeaderViewInfo()->BestWidth(), s.amount->GetHeaderViewInfo()->BestWidth(),
                      s.qty->GetHeaderViewInfo()->BestWidth()}));
}

// ---- field drag and drop ------------------------------------------------------------------------------

TEST(PivotGridViewDrag, FieldsMoveBetweenAndInsideAreas) {
  TShownPivot s;
  std::vector<String> moved;
  s.grid->OnFieldPosChanged = [&](TcxCustomPivotGrid*, TcxPivotGridField* f) {
    moved.push_back(f ? f->Caption() : String("Data"));
  };
  // The filter field into the data area, after the last data header.
  s.Drag(TShownPivot::Center(s.FieldRect(s.country)), RightHalf(s.FieldRect(s.qty)));
  EXPECT_EQ(s.country->Area(), faData);
  EXPECT_EQ(s.country->AreaIndex(), 2);
  EXPECT_EQ(moved, Texts({"Country"}));
  // Inside the rows: the city before the region.
  s.Drag(TShownPivot::Center(s.FieldRect(s.city)), LeftHalf(s.FieldRect(s.region)));
  EXPECT_EQ(s.city->AreaIndex(), 0);
  EXPECT_EQ(s.region->AreaIndex(), 1);
  EXPECT_EQ(moved.size(), 2u);
  EXPECT_EQ(s.Leaves(true).front(), "Bergen/North");
  // Dropped on its own right half: nothing changes, but the drop is reported.
  s.Drag(TShownPivot::Center(s.FieldRect(s.region)), RightHalf(s.FieldRect(s.region)));
  EXPECT_EQ(s.region->AreaIndex(), 1);
  EXPECT_EQ(s.city->AreaIndex(), 0);
  EXPECT_EQ(moved, Texts({"Country", "City", "Region"}));
  // A data field may go back to the filter area.
  s.Drag(TShownPivot::Center(s.FieldRect(s.country)), TShownPivot::Center(s.VI()->Parts[0]->Bounds));
  EXPECT_EQ(s.country->Area(), faFilter);
  EXPECT_EQ(moved.size(), 4u);
}

// A handler of the move like the application's: a field dropped in the data area gets a
// summary type, a display format (here one the number formatting rejects) and a suffix to its
// caption; a field leaving the data area loses the suffixes. The handler sees the field in its
// new area after the rebuild, its changes are built at once, and the cells paint.
TEST(PivotGridViewDrag, TheMoveHandlerSeesTheNewAreaAndItsChangesShow) {
  TShownPivot s;
  int reported = 0;
  Application->OnException = [&](TObject*, const Exception&) { ++reported; };
  std::vector<TcxPivotGridFieldArea> seen;
  s.grid->OnFieldPosChanged = [&](TcxCustomPivotGrid* grid, TcxPivotGridField* f) {
    EXPECT_FALSE(grid->IsLocked());
    EXPECT_EQ(Screen->Cursor(), crDefault);
    if (!f) return;
    seen.push_back(f->Area());
    String caption = f->Caption();
    if (f->Area() == faData) {
      f->SetSummaryType(stMax);
      f->SetDisplayFormat("0.0E+");
      f->SetCaption(caption + "(Max)");
    } else {
      for (const char* suffix : {"(Average)", "(Sum)", "(Count)", "(Min)", "(Max)"})
        caption = StringReplace(caption, suffix, "", TReplaceFlags{rfReplaceAll});
      f->SetCaption(caption);
    }
  };
  s.Drag(TShownPivot::Center(s.FieldRect(s.year)), RightHalf(s.FieldRect(s.qty)));
  ASSERT_EQ(s.year->Area(), faData);
  EXPECT_EQ(s.year->SummaryType(), stMax);
  EXPECT_EQ(s.year->Caption(), "Year(Max)");
  // The rejected format shows the values as without a format; painting reports nothing.
  TcxPivotGridDataCellViewInfo* cell = nullptr;
  for (int i = 0; i < s.VI()->DataCells.Count(); ++i) {
    auto* c = static_cast<TcxPivotGridDataCellViewInfo*>(s.VI()->DataCells[i]);
    if (c->DataField() == s.year && c->RowIndex == s.grid->ViewData()->RowCount() - 1) cell = c;
  }
  ASSERT_NE(cell, nullptr);
  s.grid->Invalidate();
  s.session.Pump();
  EXPECT_EQ(cell->DisplayText, "2024");
  EXPECT_EQ(s.grid->ClipboardText(true).find("E+"), String::npos);
  // Dropped again at its own place: reported again; then into the rows without its suffix.
  s.Drag(TShownPivot::Center(s.FieldRect(s.year)), LeftHalf(s.FieldRect(s.year)));
  EXPECT_EQ(s.year->Caption(), "Year(Max)(Max)");
  s.Drag(TShownPivot::Center(s.FieldRect(s.year)), RightHalf(s.FieldRect(s.city)));
  EXPECT_EQ(s.year->Area(), faRow);
  EXPECT_EQ(s.year->Caption(), "Year");
  EXPECT_EQ(seen, (std::vector<TcxPivotGridFieldArea>{faData, faData, faRow}));
  EXPECT_EQ(reported, 0);
  Application->OnException = nullptr;
}

// A handler of the move that frees the grid: the drag ends without touching it again.
TEST(PivotGridViewDrag, TheMoveHandlerFreesTheGrid) {
  TShownPivot s;
  s.grid->OnFieldPosChanged = [&](TcxCustomPivotGrid* grid, TcxPivotGridField*) { grid->Free(); };
  TcxObjectLinkGuard link(s.grid);
  s.Drag(TShownPivot::Center(s.FieldRect(s.city)), LeftHalf(s.FieldRect(s.region)));
  EXPECT_FALSE(link.Alive());
  s.session.Pump();
}

// Dragged out of every drop area, a field is hidden while the field list shows: anywhere
// with OptionsCustomize.Hiding (the remove cursor), else only over the field list (the arrow
// cursor there). The "Data" header is never hidden; a field group goes as a whole.
TEST(PivotGridViewDrag, DraggedOutWhileTheFieldListShowsHides) {
  TShownPivot s;
  int moved = 0;
  s.grid->OnFieldPosChanged = [&](TcxCustomPivotGrid*, TcxPivotGridField*) { ++moved; };
  POINT outside = TShownPivot::Center(s.Cell(1, 2)->Bounds);
  auto dragOut = [&](TcxPivotGridField* f, POINT to, TCursor& cursor) {
    POINT from = TShownPivot::Center(s.FieldRect(f));
    s.session.Advance(1000);
    s.session.MouseDown(s.Wnd(), from);
    s.session.MoveMouse(s.Wnd(), POINT{from.X + 10, from.Y + 10});
    s.session.MoveMouse(s.Wnd(), to);
    cursor = Screen->Cursor();
    s.session.MouseUp(s.Wnd(), to);
    s.session.Pump();
  };
  TCursor cursor;
  // Without the field list nothing is hidden.
  dragOut(s.city, outside, cursor);
  EXPECT_EQ(cursor, crcxNoDrop);
  EXPECT_TRUE(s.city->Visible());
  s.grid->Customization()->SetVisible(true);
  s.session.Pump();
  TcxPivotGridCustomCustomizationForm* list = s.grid->Customization()->FormIfCreated();
  ASSERT_TRUE(list && list->Visible());
  TPoint overList = s.grid->ScreenToClient(TPoint(list->Left() + 20, list->Top() + 40));
  ASSERT_TRUE(s.grid->OptionsCustomize()->Hiding());
  dragOut(s.city, outside, cursor);
  EXPECT_EQ(cursor, crcxRemove);
  EXPECT_FALSE(s.city->Visible());
  s.grid->OptionsDataField()->SetArea(dfaColumn);
  dragOut(nullptr, outside, cursor);
  EXPECT_EQ(cursor, crcxNoDrop);
  EXPECT_TRUE(s.grid->OptionsDataField()->GetVisible());
  s.grid->OptionsCustomize()->SetHiding(false);
  dragOut(s.qty, outside, cursor);
  EXPECT_EQ(cursor, crcxNoDrop);
  EXPECT_TRUE(s.qty->Visible());
  dragOut(s.qty, POINT{overList.X, overList.Y}, cursor);
  EXPECT_EQ(cursor, crArrow);
  EXPECT_FALSE(s.qty->Visible());
  s.grid->BeginUpdate();
  TcxPivotGridFieldGroup* group = s.grid->Groups()->Add();
  group->AddField(s.year);
  group->AddField(s.region);
  s.grid->EndUpdate();
  dragOut(s.year, POINT{overList.X, overList.Y}, cursor);
  EXPECT_FALSE(group->Visible());
  EXPECT_FALSE(s.region->IsShownInView());
  EXPECT_EQ(moved, 0);
}

TEST(PivotGridViewDrag, AnExpandedFieldGroupMovesAsOne) {
  TShownPivot s;
  s.grid->BeginUpdate();
  TcxPivotGridFieldGroup* group = s.grid->Groups()->Add();
  group->AddField(s.region);
  group->AddField(s.city);
  s.grid->EndUpdate();
  int rowAreas = 0;
  for (auto& a : s.VI()->DropAreas)
    if (a->Area == faRow) ++rowAreas;
  EXPECT_EQ(rowAreas, 2);
  EXPECT_TRUE(s.region->GetHeaderViewInfo()->HasExpandButton);
  POINT from{s.FieldRect(s.region).Left + 25, (s.FieldRect(s.region).Top + s.FieldRect(s.region).Bottom) / 2};
  s.Drag(from, RightHalf(s.FieldRect(s.year)));
  EXPECT_EQ(s.region->Area(), faColumn);
  EXPECT_EQ(s.city->Area(), faColumn);
  EXPECT_EQ(s.region->AreaIndex(), 1);
  EXPECT_EQ(s.city->AreaIndex(), 2);
}

TEST(PivotGridViewDrag, RefusedAreasChangeNothingAndShowTheNoDropCursor) {
  TShownPivot s;
  int moved = 0;
  s.grid->OnFieldPosChanged = [&](TcxCustomPivotGrid*, TcxPivotGridField*) { ++moved; };
  s.year->SetAllowedAreas(TcxPivotGridFieldAreas{faColumn, faRow});
  TRect filter = s.FieldRect(s.country);
  POINT from = TShownPivot::Center(s.FieldRect(s.year));
  s.session.MouseDown(s.Wnd(), from);
  s.session.MoveMouse(s.Wnd(), POINT{from.X + 10, from.Y + 10});
  s.session.MoveMouse(s.Wnd(), RightHalf(filter));
  EXPECT_EQ(Screen->Cursor(), crcxNoDrop);
  s.session.MouseUp(s.Wnd(), RightHalf(filter));
  EXPECT_EQ(s.year->Area(), faColumn);
  EXPECT_EQ(moved, 0);
  EXPECT_EQ(s.year->GetHeaderViewInfo()->State, cxbsNormal);
}

TEST(PivotGridViewDrag, TheDataHeaderGoesToRowsAndColumnsOnly) {
  TShownPivot s;
  std::vector<String> moved;
  s.grid->OnFieldPosChanged = [&](TcxCustomPivotGrid*, TcxPivotGridField* f) {
    moved.push_back(f ? f->Caption() : String("Data"));
  };
  s.grid->OptionsDataField()->SetArea(dfaColumn);
  TRect data = s.FieldRect(nullptr);
  ASSERT_FALSE(data.IsEmpty());
  s.Drag(TShownPivot::Center(data), RightHalf(s.FieldRect(s.country)));
  EXPECT_EQ(s.grid->OptionsDataField()->Area(), dfaColumn);
  EXPECT_TRUE(moved.empty());
  s.Drag(TShownPivot::Center(s.FieldRect(nullptr)), RightHalf(s.FieldRect(s.city)));
  EXPECT_EQ(s.grid->OptionsDataField()->Area(), dfaRow);
  EXPECT_EQ(moved, Texts({"Data"}));
  // At its own place: reported once more with no field, nothing moves.
  s.Drag(TShownPivot::Center(s.FieldRect(nullptr)), LeftHalf(s.FieldRect(nullptr)));
  EXPECT_EQ(s.grid->OptionsDataField()->Area(), dfaRow);
  EXPECT_EQ(moved, Texts({"Data", "Data"}));
  EXPECT_EQ(s.VI()->RowFieldHeaderCount(), 3);
}

TEST(PivotGridViewDrag, ACancelledDragLeavesTheScreenAsItWas) {
  TShownPivot s;
  s.session.Pump();
  String before = s.session.SnapshotScreen("pivotgrid_drag_before.png");
  POINT from = TShownPivot::Center(s.FieldRect(s.city));
  s.session.MouseDown(s.Wnd(), from);
  s.session.MoveMouse(s.Wnd(), POINT{from.X + 20, from.Y});
  auto* drag = dynamic_cast<TcxPivotGridDragAndDropObject*>(s.grid->DragOperation());
  ASSERT_NE(drag, nullptr);
  s.session.MoveMouse(s.Wnd(), LeftHalf(s.FieldRect(s.region)));
  EXPECT_TRUE(drag->ImageShown);
  EXPECT_TRUE(drag->ArrowsShown);
  s.session.SnapshotScreen("pivotgrid_drag_during.png");
  s.session.MoveMouse(s.Wnd(), TShownPivot::Center(s.FieldRect(s.year)));
  s.session.PressKey(VK_ESCAPE);
  s.session.MouseUp(s.Wnd(), TShownPivot::Center(s.FieldRect(s.year)));
  s.session.Pump();
  EXPECT_EQ(s.city->AreaIndex(), 1);
  String after = s.session.SnapshotScreen("pivotgrid_drag_after.png");
  auto read = [](const String& path) {
    FILE* f = fopen(path.c_str(), "rb");
    std::string data;
    if (!f) return data;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
    fclose(f);
    return data;
  };
  EXPECT_EQ(read(before), read(after));
}

TEST(PivotGridViewDrag, AFieldFreedDuringItsDrag) {
  TShownPivot s;
  int moved = 0;
  s.grid->OnFieldPosChanged = [&](TcxCustomPivotGrid*, TcxPivotGridField*) { ++moved; };
  POINT from = TShownPivot::Center(s.FieldRect(s.city));
  TRect target = s.FieldRect(s.year);
  s.session.MouseDown(s.Wnd(), from);
  s.session.MoveMouse(s.Wnd(), POINT{from.X + 20, from.Y});
  s.session.MoveMouse(s.Wnd(), RightHalf(target));
  s.city->Free();
  s.session.MoveMouse(s.Wnd(), LeftHalf(target));
  s.session.MouseUp(s.Wnd(), LeftHalf(target));
  s.session.Pump();
  EXPECT_EQ(moved, 0);
  EXPECT_EQ(s.grid->FieldCount(), 5);
  EXPECT_EQ(s.year->Area(), faColumn);
}

// ---- export controller ----------------------------------------------------------------------------------

TEST(PivotGridViewExport, WholeTableExpandedThenEverythingComesBack) {
  TShownPivot s(400, 200);
  TComponent owner(nullptr);
  auto* content = new TcxStyle(&owner);
  s.grid->DataBuilder()->RowRoot()->Items(0)->SetExpanded(false);
  s.grid->LayoutChanged();
  int rows = s.grid->ViewData()->RowCount();
  s.grid->OptionsView()->SetGridLines(pglHorz);
  {
    TcxPivotGridExportController exporter(s.grid);
    TcxPivotGridViewInfo* vi = exporter.CalculateViewInfo();
    EXPECT_EQ(s.grid->ViewData()->RowCount(), rows + 2);
    EXPECT_EQ(int(vi->RowItems.size()), s.grid->ViewData()->RowCount());
    EXPECT_EQ(int(vi->ColumnItems.size()), s.grid->ViewData()->ColumnCount());
    EXPECT_EQ(vi->DataCells.Count(), s.grid->ViewData()->RowCount() * s.grid->ViewData()->ColumnCount());
    // The last row and column close the table; nothing is selected.
    auto* last = static_cast<TcxPivotGridDataCellViewInfo*>(vi->DataCells[vi->DataCells.Count() - 1]);
    EXPECT_TRUE(last->Borders.Contains(bRight));
    EXPECT_FALSE(static_cast<TcxPivotGridDataCellViewInfo*>(vi->DataCells[0])->Selected);
    // Changes while exporting do not last.
    s.grid->OptionsView()->SetGridLines(pglNone);
    s.grid->Styles()->SetContent(content);
    exporter.ReplaceStyles(nullptr);
    EXPECT_TRUE(s.grid->IsLocked());
  }
  EXPECT_FALSE(s.grid->IsLocked());
  EXPECT_EQ(s.grid->OptionsView()->GridLines(), pglHorz);
  EXPECT_EQ(s.grid->Styles()->Content(), nullptr);
  EXPECT_EQ(s.grid->ViewInfo()->Styles(), static_cast<IcxPivotGridBaseStyles*>(s.grid->Styles()));
  EXPECT_EQ(s.grid->ViewData()->RowCount(), rows);
  EXPECT_FALSE(s.VI()->ExportMode);
}

// A change made before the export (pending while the grid was locked) is built before the
// export locks the grid: the export never walks stale trees.
TEST(PivotGridViewExport, APendingRebuildIsCarriedOutFirst) {
  TShownPivot s;
  s.grid->BeginUpdate();
  s.city->SetVisible(false);
  s.grid->SetLockCount(0);
  ASSERT_TRUE(s.grid->ChangeFlags() & 2);
  {
    TcxPivotGridExportController exporter(s.grid);
    exporter.ExpandRows(false);
    exporter.ExpandColumns(false);
    TcxPivotGridViewInfo* vi = exporter.CalculateViewInfo();
    for (auto* row : vi->RowItems) EXPECT_NE(row->GetField(), s.city);
    EXPECT_EQ(s.Leaves(true), Texts({"North", "South", "Grand Total"}));
  }
}

// A style handler that raises while the export lays out: the export fails, and the relayout
// when the controller is freed (the handler raising again) is reported instead of ending the
// program; the grid is unlocked with its options back.
TEST(PivotGridViewExport, AHandlerRaisingDuringTheExportIsReportedAndTheGridComesBack) {
  TShownPivot s;
  int reported = 0;
  Application->OnException = [&](TObject*, const Exception&) { ++reported; };
  s.grid->OptionsView()->SetGridLines(pglHorz);
  s.grid->Styles()->OnGetContentStyle = [&](TcxCustomPivotGrid*, TcxPivotGridDataCellViewInfo*, TcxStyle*&) {
    throw Exception("style failed");
  };
  EXPECT_THROW(
      {
        TcxPivotGridExportController exporter(s.grid);
        s.grid->OptionsView()->SetGridLines(pglNone);
        exporter.CalculateViewInfo();
      },
      Exception);
  EXPECT_EQ(reported, 1);
  EXPECT_FALSE(s.grid->IsLocked());
  EXPECT_FALSE(s.grid->ViewInfo()->ExportMode);
  EXPECT_EQ(s.grid->OptionsView()->GridLines(), pglHorz);
  s.grid->Styles()->OnGetContentStyle = nullptr;
  s.grid->LayoutChanged();
  EXPECT_GT(s.VI()->DataCells.Count(), 0);
  Application->OnException = nullptr;
}
