// Layout of the table view: column headers with their areas, widths and limits, auto width,
// the group-by box staircase and its drop zones, header presses, best fit, hints; a sheet.
#include <gtest/gtest.h>

#include <memory>

#include "TableViewTestSupport.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "gridviews/cxGridTableViewInfo.h"

namespace {

class TableLayoutFixture : public gridviewstest::GridFormFixture {
 protected:
  TcxGridDBTableView* Shown(TcxLookAndFeelKind kind = lfUltraFlat) {
    grid_->LookAndFeel()->SetKind(kind);
    TcxGridDBTableView* v = AddView();
    Bind(v, {{Variant("Japan"), Variant("Tokyo"), Variant(10)},
             {Variant("Japan"), Variant("Osaka"), Variant(5)},
             {Variant("France"), Variant("Paris"), Variant(7)},
             {Variant("France"), Variant("Lyon"), Variant(1)}});
    ShowWithColumnWidth(v, 60);
    return v;
  }
  TcxGridTableViewInfo* Info(TcxGridTableView* v) { return v->GetViewInfo(); }
  TcxGridColumnHeaderViewInfo* Header(TcxGridTableView* v, Integer i) {
    return Info(v)->HeaderViewInfo()->GetItemViewInfo(i);
  }
  // The natural header height for a font, measured as the layout measures it.
  Integer HeaderHeightFor(TcxGridTableView* v, TFont* font) {
    TcxCanvas* canvas = LazyScreenCanvas();
    canvas->ApplyFont(font);
    return TcxGridColumnHeaderViewInfo::HeightForText(canvas->MeasureTextHeight("Qq"),
                                                      v->ViewInfo()->GetLookAndFeelPainter()->HeaderFrameWidth());
  }
  TFont* HeaderFont(TcxGridColumn* c) {
    c->GetStyles()->GetHeaderParams(params_);
    return params_.Font;
  }
  TcxStyleParams params_;
};

// The group-by box: empty with its text, then a staircase of 1 to 3 grouped columns.
TEST_F(TableLayoutFixture, GroupByBoxStaircaseWithZeroToThreeGroupedColumns) {
  TcxGridDBTableView* v = Shown();
  TcxGridGroupByBoxViewInfo* box = Info(v)->GroupByBoxViewInfo();
  TcxStyleParams boxParams;
  v->GetStyles()->ResolveViewParams(TcxGridTableViewStyles::vsGroupByBox, nullptr, nullptr, boxParams);
  LazyScreenCanvas()->ApplyFont(boxParams.Font);
  const Integer textHeight = LazyScreenCanvas()->MeasureTextHeight("Qq");
  EXPECT_EQ(box->Bounds.Height(), textHeight + 22);
  EXPECT_EQ(box->Text, "Drag a column header here to group by that column");
  EXPECT_EQ(box->GetTextAreaBounds().Left, box->ContentBounds().Left + 2 + 6);

  const Integer h = HeaderHeightFor(v, HeaderFont(v->GetColumn(0)));
  v->GetColumn(0)->SetVisible(true);
  v->GetOptionsCustomize()->SetColumnHidingOnGrouping(false);
  for (Integer n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    v->GetColumn(n - 1)->SetGroupIndex(n - 1);
    Relayout(v);
    box = Info(v)->GroupByBoxViewInfo();
    ASSERT_EQ(box->GetItemViewInfoCount(), n);
    EXPECT_EQ(box->Bounds.Height(), (h / 2) * (n + 1) + h % 2 + 16);
    EXPECT_TRUE(box->Text.empty());
    for (Integer i = 0; i < n; ++i) {
      TcxGridColumnHeaderViewInfo* item = box->GetItemViewInfo(i);
      EXPECT_EQ(item->Bounds.Top, box->Bounds.Top + 8 + i * (h / 2));
      EXPECT_EQ(item->Bounds.Height(), h);
      EXPECT_EQ(item->Bounds.Width(), item->GetPreferredWidth());
      const Integer expectedLeft = i == 0 ? box->Bounds.Left + 6 : box->GetItemViewInfo(i - 1)->Bounds.Right + 4;
      EXPECT_EQ(item->Bounds.Left, expectedLeft);
      EXPECT_EQ(item->Column(), v->GetGroupedColumn(i));
    }
  }
  // The header below starts where the box ends.
  EXPECT_EQ(Info(v)->HeaderViewInfo()->Bounds.Top, box->Bounds.Bottom);
}

TEST_F(TableLayoutFixture, DropZonesCutTheContainersAtTheMiddleOfEachItem) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsCustomize()->SetColumnHidingOnGrouping(false);
  v->GetColumn(0)->SetGroupIndex(0);
  v->GetColumn(1)->SetGroupIndex(1);
  Relayout(v);
  TcxGridGroupByBoxViewInfo* box = Info(v)->GroupByBoxViewInfo();
  const TRect a = box->GetItemViewInfo(0)->Bounds, b = box->GetItemViewInfo(1)->Bounds;
  const Integer y = box->Bounds.Top + 2;
  struct Case {
    Integer x, y, zone;  // -1: none
  } cases[] = {
      {box->Bounds.Left, y, 0},
      {(a.Left + a.Right) / 2 - 1, y, 0},
      {(a.Left + a.Right) / 2, y, 1},
      {(b.Left + b.Right) / 2, y, 2},
      {box->Bounds.Right - 1, y, 2},
      {box->Bounds.Left, box->Bounds.Bottom, -1},  // below the box
  };
  for (const Case& c : cases) {
    std::unique_ptr<TcxGridItemContainerZone> zone(box->GetDropZone(TPoint(c.x, c.y)));
    SCOPED_TRACE(c.x);
    if (c.zone < 0) {
      EXPECT_EQ(zone, nullptr);
    } else {
      ASSERT_NE(zone, nullptr);
      EXPECT_EQ(zone->ItemIndex, c.zone);
    }
  }
  // The header's zones reach 15 pixels above and below it.
  TcxGridHeaderViewInfo* header = Info(v)->HeaderViewInfo();
  std::unique_ptr<TcxGridItemContainerZone> above(header->GetDropZone(TPoint(header->Bounds.Left + 1, header->Bounds.Top - 15)));
  ASSERT_NE(above, nullptr);
  EXPECT_EQ(above->ItemIndex, 0);
  std::unique_ptr<TcxGridItemContainerZone> far(header->GetDropZone(TPoint(header->Bounds.Left + 1, header->Bounds.Top - 16)));
  EXPECT_EQ(far, nullptr);
}

// Areas of a header: the sizing edge straddles the right edge, the sorting mark takes its
// room from the caption, and the natural width counts both.
TEST_F(TableLayoutFixture, HeaderAreasAndPreferredWidths) {
  TcxGridDBTableView* v = Shown();
  ASSERT_EQ(Header(v, 1)->AreaViewInfoCount(), 2);  // the sizing edge and the filter button
  const TPoint buttonSize = v->ViewInfo()->GetLookAndFeelPainter()->FilterDropDownButtonExtent();
  TcxGridColumnHeaderAreaViewInfo* button = Header(v, 1)->AreaViewInfo(1);
  EXPECT_EQ(button->Bounds.Right, GrowRect(Header(v, 1)->ContentBounds(), -2, -2).Right);
  EXPECT_EQ(button->Bounds.Width(), buttonSize.X);
  EXPECT_EQ(button->Bounds.Height(), GrowRect(Header(v, 1)->ContentBounds(), -2, -2).Height());
  v->GetOptionsCustomize()->SetItemFiltering(false);
  Relayout(v);
  TcxGridColumnHeaderViewInfo* plain = Header(v, 1);
  ASSERT_EQ(plain->AreaViewInfoCount(), 1);  // the sizing edge
  const TRect edge = plain->AreaViewInfo(0)->Bounds;
  EXPECT_EQ(edge.Left, plain->Bounds.Right - 4);
  EXPECT_EQ(edge.Right, plain->Bounds.Right + 4);
  EXPECT_EQ(edge.Height(), plain->Bounds.Height());
  EXPECT_EQ(plain->TextArea(), GrowRect(plain->ContentBounds(), -2, -2));
  const Integer plainPreferred = plain->GetPreferredWidth();

  v->GetColumn(1)->SetSortOrder(soAscending);
  Relayout(v);
  TcxGridColumnHeaderViewInfo* sorted = Header(v, 1);
  ASSERT_EQ(sorted->AreaViewInfoCount(), 2);
  TcxGridColumnHeaderAreaViewInfo* mark = sorted->AreaViewInfo(1);
  const TPoint markSize = v->ViewInfo()->GetLookAndFeelPainter()->SortMarkAreaSize();
  const TRect content = GrowRect(sorted->ContentBounds(), -2, -2);
  EXPECT_EQ(mark->Bounds.Right, content.Right);
  EXPECT_EQ(mark->Bounds.Width(), markSize.X);
  EXPECT_EQ(sorted->TextArea().Right, mark->Bounds.Left - 2);
  EXPECT_TRUE(sorted->HasRightArea());
  EXPECT_EQ(sorted->GetPreferredWidth(), plainPreferred + markSize.X + 2);
  // The leftmost column carries the rows' level indent: none without grouping.
  EXPECT_EQ(Header(v, 0)->RealWidth(), Header(v, 0)->GetDisplayWidth());
  // Headers share borders: a header without a left border grows over its neighbour's.
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(Header(v, i)->Borders, cxBordersAll);
  EXPECT_EQ(Header(v, 1)->GetDisplayWidth(), 60);
  EXPECT_EQ(Header(v, 1)->Bounds.Left + Header(v, 1)->Overlap(), Header(v, 0)->Bounds.Right);
}

// Auto width: the columns share the client width; one that cannot be sized keeps its width.
TEST_F(TableLayoutFixture, AutoWidthWithAColumnThatKeepsItsWidth) {
  TcxGridDBTableView* v = Shown();
  v->GetColumn(1)->GetOptions()->SetHorzSizing(false);
  v->GetColumn(1)->SetWidth(50);
  v->GetOptionsView()->SetColumnAutoWidth(true);
  Relayout(v);
  const Integer client = Info(v)->ClientWidth();
  Integer sum = 0;
  for (Integer i = 0; i < 3; ++i) sum += Header(v, i)->CalculateWidth();
  EXPECT_EQ(sum, client);
  EXPECT_EQ(Header(v, 1)->CalculateWidth(), 50);
  EXPECT_EQ(Header(v, 0)->CalculateWidth() + Header(v, 2)->CalculateWidth(), client - 50);
  EXPECT_EQ(Info(v)->GetDataWidth(), client);
}

// Width limits under auto width: client width less the columns before (current widths) and
// after (minimum widths); the last column less the minimum widths before it.
TEST_F(TableLayoutFixture, HeaderWidthLimits) {
  TcxGridDBTableView* v = Shown();
  for (Integer i = 0; i < 3; ++i) v->GetColumn(i)->SetMinWidth(20 + 10 * i);
  Relayout(v);
  EXPECT_EQ(Header(v, 0)->GetMaxWidth(), cxGridMaxColumnWidth);  // no auto width: no limit
  v->GetOptionsView()->SetColumnAutoWidth(true);
  Relayout(v);
  const Integer client = Info(v)->ClientWidth();
  Integer w[3];
  for (Integer i = 0; i < 3; ++i) w[i] = Header(v, i)->CalculateWidth();
  struct Case {
    Integer index, min, max;
  } cases[] = {
      {0, 20, client - 30 - 40},
      {1, 30, client - w[0] - 40},
      {2, 40, client - 20 - 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(Header(v, c.index)->GetMinWidth(), c.min);
    EXPECT_EQ(Header(v, c.index)->GetMaxWidth(), c.max);
    Integer requested = 5;
    Header(v, c.index)->CheckWidth(requested);
    EXPECT_EQ(requested, c.min);
    requested = 100000;
    Header(v, c.index)->CheckWidth(requested);
    EXPECT_EQ(requested, c.max);
  }
}

// A press on a header makes its column the pressed column and fires the header click; a
// double click on the sizing edge best-fits the column; a cut caption gets a hint.
TEST_F(TableLayoutFixture, HeaderPressesBestFitAndHints) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsCustomize()->SetItemFiltering(false);
  Relayout(v);
  std::vector<TcxGridColumn*> clicked;
  v->OnColumnHeaderClick = [&](TcxGridTableView*, TcxGridColumn* c) { clicked.push_back(c); };
  HWND site = v->Site()->Handle();
  const TRect b = Header(v, 1)->Bounds;
  S().MouseDown(site, POINT{b.Left + 10, b.Top + 3});
  EXPECT_EQ(v->GetController()->PressedColumn(), v->GetColumn(1));
  EXPECT_TRUE(Header(v, 1)->IsPressed());
  EXPECT_EQ(clicked, std::vector<TcxGridColumn*>{v->GetColumn(1)});
  v->GetController()->CancelMode();
  EXPECT_EQ(v->GetController()->PressedColumn(), nullptr);
  S().MouseUp(site, POINT{b.Left + 10, b.Top + 3});

  v->GetColumn(1)->SetCaption("A caption much longer than sixty pixels");
  Relayout(v);
  String text;
  TRect textRect;
  bool multiLine = false;
  const TRect h = Header(v, 1)->Bounds;
  EXPECT_TRUE(Header(v, 1)->NeedsHint(TPoint(h.Left + 10, h.Top + 3), text, textRect, multiLine));
  EXPECT_EQ(text, "A caption much longer than sixty pixels");
  EXPECT_FALSE(Header(v, 0)->NeedsHint(TPoint(Header(v, 0)->Bounds.Left + 5, h.Top + 3), text, textRect, multiLine));

  const Integer preferred = Header(v, 1)->GetPreferredWidth();
  S().DoubleClick(site, POINT{h.Right - 1, h.Top + 3});
  Pump();
  EXPECT_GE(v->GetColumn(1)->Width(), preferred);
  EXPECT_EQ(Header(v, 1)->GetDisplayWidth(), v->GetColumn(1)->Width());
}

// Best fit before the view is laid out still counts the header's caption and areas.
TEST_F(TableLayoutFixture, BestFitBeforeTheFirstLayoutCountsTheCaption) {
  TcxGridDBTableView* v = AddView();
  Bind(v, {{Variant("Japan"), Variant("Tokyo"), Variant(10)}});
  v->GetColumn(2)->SetCaption("A long caption for a small number");
  EXPECT_EQ(v->DataController()->RowCount(), 1);
  v->ApplyBestFit();
  TcxStyleParams params;
  v->GetColumn(2)->GetStyles()->GetHeaderParams(params);
  LazyScreenCanvas()->ApplyFont(params.Font);
  EXPECT_GT(v->GetColumn(2)->Width(), LazyScreenCanvas()->MeasureTextWidth("A long caption for a small number"));
  form_->Show();
  Pump();
  String text;
  TRect textRect;
  bool multiLine = false;
  const TRect b = Header(v, 2)->Bounds;
  EXPECT_FALSE(Header(v, 2)->NeedsHint(TPoint(b.Left + 5, b.Top + 3), text, textRect, multiLine));
}

// Bad input: no visible columns, no site room, a site narrower than one column.
TEST_F(TableLayoutFixture, EmptyAndNarrowViewsLayOutAndPaint) {
  TcxGridDBTableView* v = Shown();
  grid_->SetBounds(10, 10, 30, 200);
  Pump();
  EXPECT_EQ(Info(v)->HeaderViewInfo()->GetItemViewInfoCount(), 3);
  EXPECT_FALSE(Header(v, 2)->Visible);  // scrolled out of the client area
  for (Integer i = 0; i < v->GetColumnCount(); ++i) v->GetColumn(i)->SetVisible(false);
  v->GetOptionsView()->SetColumnAutoWidth(true);
  Relayout(v);
  EXPECT_EQ(Info(v)->HeaderViewInfo()->GetItemViewInfoCount(), 0);
  EXPECT_EQ(Info(v)->GetDataWidth(), Info(v)->ClientWidth());
  grid_->SetBounds(10, 10, 0, 0);
  Pump();
  form_->Repaint();
  Pump();
  // A view without records.
  ds_.Close();
  grid_->SetBounds(10, 10, 300, 200);
  for (Integer i = 0; i < v->GetColumnCount(); ++i) v->GetColumn(i)->SetVisible(true);
  Relayout(v);
  form_->Repaint();
  Pump();
  EXPECT_TRUE(Info(v)->IsRecordsEmpty());
}

}  // namespace

namespace {

// The application's look (ultra flat, the sheet's odd-row and group-by box styles, the
// "ＭＳ Ｐゴシック" font) grouped by two columns with one group collapsed; the same ungrouped
// with a preview and a new item row; then every look and feel (Office 11 with its group rows).
TEST(TableLayoutSheet, TheApplicationsLookAndEveryLookAndFeel) {
  testing_support::THeadlessSession session;
  InitializeADODB();
  InitializeCxGridDBTableView();
  auto* form = new TForm(Application);
  form->SetBounds(0, 0, 520, 6 * 150 + 40);
  form->Font()->SetName("ＭＳ Ｐゴシック");
  form->Font()->SetSize(9);
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("Country", ftString, 20);
  ds.AddFieldDef("City", ftString, 20);
  ds.AddFieldDef("Amount", ftInteger);
  ds.AddFieldDef("区分", ftString, 10);
  ds.AppendRow({Variant("Japan"), Variant("Tokyo"), Variant(10), Variant("東")});
  ds.AppendRow({Variant("France"), Variant("Paris"), Variant(7), Variant("西")});
  ds.Open();
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  auto* repository = new TcxStyleRepository(form);
  auto* odd = new TcxStyle(repository);
  odd->SetColor(0xEEEEEE);
  auto* box = new TcxStyle(repository);
  box->SetColor(0xC0C0C0);
  box->SetTextColor(clBlue);
  auto* sheet = new TcxGridTableViewStyleSheet(repository);
  sheet->Styles()->SetContentOdd(odd);
  sheet->Styles()->SetGroupByBox(box);
  struct {
    TcxLookAndFeelKind kind;
    bool native;
    Integer grouped;
  } looks[] = {{lfUltraFlat, false, 2}, {lfUltraFlat, false, 0}, {lfStandard, false, 1},
               {lfFlat, false, 1},      {lfOffice11, false, 1}, {lfStandard, true, 1}};
  for (int i = 0; i < 6; ++i) {
    auto* grid = new TcxGrid(form);
    grid->SetBounds(8, 8 + i * 150, 490, 140);
    grid->SetParent(form);
    grid->LookAndFeel()->SetKind(looks[i].kind);
    grid->LookAndFeel()->SetNativeStyle(looks[i].native);
    auto* view = static_cast<TcxGridDBTableView*>(grid->CreateView(TcxGridDBTableView::StaticClass()));
    grid->Levels()->Add()->SetGridView(view);
    view->GetStyles()->SetStyleSheet(sheet);
    view->GetDataController()->SetDataSource(&source);
    view->GetDataController()->CreateAllItems();
    view->GetColumn(2)->SetSortOrder(soDescending);
    for (Integer g = 0; g < looks[i].grouped; ++g) view->GetColumn(g)->ChangeGroupIndex(g);
    if (i == 1) {
      view->GetOptionsView()->SetNewItemRow(true);
      view->Preview()->SetColumn(view->GetColumn(1));
      view->Preview()->SetVisible(true);
    }
    if (looks[i].kind == lfOffice11) view->GetOptionsView()->SetGroupRowStyle(grsOffice11);
  }
  form->Show();
  session.Pump();
  // The first view: the group of Japan expanded (down to its data rows), France collapsed.
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* grid = dynamic_cast<TcxGrid*>(form->Components(i))) {
      auto* view = static_cast<TcxGridTableView*>(grid->ActiveView());
      if (view->GetGroupedColumnCount() > 0) view->DataController()->Groups()->ChangeRowExpanding(1, true, true);
    }
  session.Pump();
  session.Snapshot(form->Handle(), "gridviews_table_looks.png");
  form->Free();
}

}  // namespace
