// The banded layout: band header rows per nesting level, line counts and data rows that repeat
// the band structure, band widths under the distributions, fixed bands under a horizontal
// scroll with their separators, best fit, painters made per paint call, and sheets.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <utility>

#include "BandedTestSupport.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "gridviews/cxGridRows.h"

namespace {

using bandedtest::BandedFixture;

class BandedLayoutTest : public BandedFixture {
 protected:
  // One band header as the layout measures it (the band header style's font).
  Integer OneBandHeader() {
    TcxStyleParams params;
    view_->GetStyles()->GetBandHeaderParams(nullptr, params);
    TcxCanvas* canvas = LazyScreenCanvas();
    canvas->ApplyFont(params.Font);
    return TcxGridColumnHeaderViewInfo::HeightForText(canvas->MeasureTextHeight("Qq"),
                                                      Info()->GetLookAndFeelPainter()->HeaderFrameWidth());
  }
  TcxGridDataRowViewInfo* Row(Integer i) {
    return dynamic_cast<TcxGridDataRowViewInfo*>(Info()->RecordsViewInfo()->Items(i));
  }
  // Bands L (left-fixed, column l), M (six scrollable columns m0..m5, wider than the view) and
  // R (right-fixed, column r); answers L and R.
  std::pair<TcxGridBand*, TcxGridBand*> AddFixedAndScrollableBands() {
    TcxGridBand* left = AddBand("L");
    AddBand("M");
    TcxGridBand* right = AddBand("R");
    left->SetFixedKind(fkLeft);
    right->SetFixedKind(fkRight);
    AddColumn("l", 0)->SetWidth(100);
    for (Integer i = 0; i < 6; ++i) AddColumn("m" + IntToStr(i), 1)->SetWidth(120);
    AddColumn("r", 2)->SetWidth(80);
    return {left, right};
  }
};

TEST_F(BandedLayoutTest, BandHeaderRowsPerLevel) {
  AddBand("A");
  AddBand("B", 0);
  AddBand("C", 0);
  AddBand("D");
  AddColumn("b", 1);
  AddColumn("c", 2);
  AddColumn("d", 3);
  Fill(3);
  Show();
  const Integer h = OneBandHeader();
  TcxGridBandsViewInfo* bands = BandsInfo();
  ASSERT_EQ(bands->GetBandHeaderRowCount(), 2);
  EXPECT_EQ(bands->GetBandHeaderRowHeight(0), h);
  EXPECT_EQ(bands->GetBandHeaderRowHeight(1), h);
  EXPECT_EQ(bands->GetBandHeadersAreaHeight(), 2 * h);
  TcxGridBands* b = view_->Bands();
  EXPECT_EQ(BandInfo(b->GetBand(0))->GetHeaderViewInfo()->Bounds.Height(), h);
  EXPECT_EQ(BandInfo(b->GetBand(1))->GetHeaderViewInfo()->Bounds.Top, BandInfo(b->GetBand(0))->Bounds.Top + h);
  // A leaf at level 0 reaches down to the column headers.
  EXPECT_EQ(BandInfo(b->GetBand(3))->GetHeaderViewInfo()->Bounds.Height(), 2 * h);
  EXPECT_EQ(BandInfo(b->GetBand(3))->GetHeaderViewInfo()->GetRowCount(), 2);
  // Column headers start below the band headers.
  const Integer top = Info()->HeaderViewInfo()->Bounds.Top + 2 * h;
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(Header(view_->GetColumn(i))->Bounds.Top, top);
  EXPECT_EQ(Info()->HeaderViewInfo()->Bounds.Height(), 2 * h + Info()->HeaderViewInfo()->GetItemHeight());
  // A fixed band header height: every level takes it, the level-0 leaf both.
  view_->GetOptionsView()->SetBandHeaderHeight(30);
  Relayout();
  EXPECT_EQ(BandsInfo()->GetBandHeaderRowHeight(0), 30);
  EXPECT_EQ(BandsInfo()->GetBandHeaderRowHeight(1), 30);
  EXPECT_EQ(BandInfo(b->GetBand(3))->GetHeaderViewInfo()->Bounds.Height(), 60);
  // Two text lines per header without the fixed height.
  view_->GetOptionsView()->SetBandHeaderHeight(0);
  view_->GetOptionsView()->SetBandHeaderLineCount(2);
  Relayout();
  EXPECT_GT(BandsInfo()->GetBandHeaderRowHeight(0), h);
  // Without band headers the area has no height.
  view_->GetOptionsView()->SetBandHeaders(false);
  Relayout();
  EXPECT_EQ(BandsInfo()->GetBandHeadersAreaHeight(), 0);
}

// A set HeaderHeight fixes the header's height only while the column headers take one line.
TEST_F(BandedLayoutTest, ASetHeaderHeightIsFixedOnlyOnOneLine) {
  AddBand("A");
  TcxGridBandedColumn* x = AddColumn("x", 0);
  Fill(2);
  Show();
  struct {
    Integer headerHeight, lines;
    bool fixed;
  } cases[] = {{0, 1, false}, {30, 1, true}, {30, 2, false}, {0, 2, false}};
  for (const auto& c : cases) {
    view_->GetOptionsView()->SetHeaderHeight(c.headerHeight);
    x->Position()->SetLineCount(c.lines);
    Relayout();
    EXPECT_EQ(Info()->GetHeaderViewInfo()->HasFixedHeight(), c.fixed) << c.headerHeight << " " << c.lines;
    EXPECT_EQ(BandsInfo()->GetColumnHeadersAreaHeight(), Info()->HeaderViewInfo()->GetItemHeight() * c.lines);
  }
}

TEST_F(BandedLayoutTest, EmptyViewKeepsOneBandHeaderArea) {
  Show();
  EXPECT_EQ(BandsInfo()->GetBandHeadersAreaHeight(), OneBandHeader());
}

// Rows of 1 and 3 lines make a band of 4; another band has 2; data rows are 4 lines high and
// a cell sits at its band row's line offset with its own line count.
TEST_F(BandedLayoutTest, LinesOfBandRowsAndDataCells) {
  AddBand("A");
  AddBand("B");
  TcxGridBandedColumn* x = AddColumn("x", 0);
  TcxGridBandedColumn* y = AddColumn("y", 0, 1);
  TcxGridBandedColumn* z = AddColumn("z", 0, 1);
  TcxGridBandedColumn* w = AddColumn("w", 1);
  y->Position()->SetLineCount(3);
  w->Position()->SetLineCount(2);
  Fill(4);
  Show();
  EXPECT_EQ(BandsInfo()->GetLineCount(), 4);
  EXPECT_EQ(BandsInfo()->GetRowCount(), 2);
  EXPECT_EQ(Info()->GetHeaderViewInfo()->GetLineCount(), 4);
  const Integer line = Info()->HeaderViewInfo()->GetItemHeight();
  EXPECT_EQ(Header(y)->Bounds.Top, Header(x)->Bounds.Top + line);
  EXPECT_EQ(Header(y)->Bounds.Height(), 3 * line);
  EXPECT_EQ(Header(z)->Bounds.Height(), line);  // leaves room below it in a 3-line row
  EXPECT_EQ(Header(w)->Bounds.Height(), 2 * line);
  auto* rows = static_cast<TcxGridBandedRowsViewInfo*>(Info()->RecordsViewInfo());
  const Integer single = rows->LineHeight();
  EXPECT_EQ(rows->DataRowHeight(), 4 * single);
  TcxGridDataRowViewInfo* row = Row(1);
  ASSERT_NE(row, nullptr);
  const TRect cells = row->CellsAreaBounds();
  struct Cell {
    TcxGridBandedColumn* column;
    Integer lineOffset, lines;
  };
  for (const Cell& c : {Cell{x, 0, 1}, Cell{y, 1, 3}, Cell{z, 1, 1}, Cell{w, 0, 2}}) {
    SCOPED_TRACE(std::string(c.column->Caption()));
    TcxGridDataCellViewInfo* cell = row->ExistingCell(c.column->VisibleIndex());
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Bounds.Top, cells.Top + c.lineOffset * single);
    EXPECT_EQ(cell->Bounds.Height(), c.lines * single);
    EXPECT_EQ(cell->Bounds.Left, Header(c.column)->GetRealLeft());
  }
  // A column merges cells only when it spans all the lines.
  EXPECT_FALSE(y->CanCellMerging());
  // Below z (one line in a three-line band row) the band's content colour shows.
  TcxStyleParams content;
  view_->Bands()->GetBand(0)->Styles()->GetContentParams(row->GridRecord(), nullptr, content);
  form_->Repaint();
  Pump();
  const TRect zCell = row->ExistingCell(z->VisibleIndex())->Bounds;
  HDC dc = GetDC(view_->Site()->Handle());
  EXPECT_EQ(GetPixel(dc, zCell.Left + 5, zCell.Bottom + single), ColorToRGB(content.Color));
  ReleaseDC(view_->Site()->Handle(), dc);
}

TEST_F(BandedLayoutTest, BandCellsOnlyWhereRecordsNeedThem) {
  struct Case {
    const char* name;
    std::function<void(BandedLayoutTest&)> build;
    bool needs;
  };
  const Case cases[] = {
      {"one line, two plain bands",
       [](BandedLayoutTest& t) {
         t.AddBand("A");
         t.AddBand("B");
         t.AddColumn("x", 0);
         t.AddColumn("y", 1);
       },
       false},
      {"no visible bands", [](BandedLayoutTest& t) { t.AddBand("A")->SetVisible(false); }, true},
      {"two lines",
       [](BandedLayoutTest& t) {
         t.AddBand("A");
         t.AddColumn("x", 0)->Position()->SetLineCount(2);
       },
       true},
      {"a fixed band",
       [](BandedLayoutTest& t) {
         t.AddBand("A")->SetFixedKind(fkLeft);
         t.AddBand("B");
         t.AddColumn("x", 0);
         t.AddColumn("y", 1);
       },
       true},
      {"a nested band",
       [](BandedLayoutTest& t) {
         t.AddBand("A");
         t.AddBand("B", 0);
         t.AddColumn("x", 1);
       },
       true},
      {"an empty band",
       [](BandedLayoutTest& t) {
         t.AddBand("A");
         t.AddBand("B");
         t.AddColumn("x", 0);
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view_->ClearItems();
    view_->Bands()->Clear();
    c.build(*this);
    Fill(3);
    Show();
    Relayout();
    auto* rows = static_cast<TcxGridBandedRowsViewInfo*>(Info()->RecordsViewInfo());
    EXPECT_EQ(rows->NeedsBandCells(), c.needs);
    EXPECT_EQ(rows->CreateCellsArea(Row(0)) != nullptr, c.needs && Row(0));
  }
}

TEST_F(BandedLayoutTest, BandCellsCarryTheLinesInsideARecord) {
  AddBand("A");
  AddBand("B")->SetFixedKind(fkRight);
  AddColumn("x", 0);
  TcxGridBandedColumn* y = AddColumn("y", 0);
  TcxGridBandedColumn* z = AddColumn("z", 0, 1);
  // Three lines in band B leave band A a free line below its two band rows.
  AddColumn("w", 1)->Position()->SetLineCount(3);
  Fill(6);
  Show();
  auto* rows = static_cast<TcxGridBandedRowsViewInfo*>(Info()->RecordsViewInfo());
  ASSERT_TRUE(rows->NeedsBandCells());
  TcxGridDataRowViewInfo* row = Row(1);
  ASSERT_NE(row, nullptr);
  auto cell = [&](TcxGridBandedColumn* c) { return row->ExistingCell(c->VisibleIndex())->Bounds; };
  struct Lines {
    TcxGridLines setting;
    bool vert, horz;
  };
  for (const Lines& c : {Lines{glBoth, true, true}, Lines{glVertical, true, false}, Lines{glHorizontal, false, false},
                         Lines{glNone, false, false}}) {
    SCOPED_TRACE(Integer(c.setting));
    view_->GetOptionsView()->SetGridLines(c.setting);
    Relayout();
    rows = static_cast<TcxGridBandedRowsViewInfo*>(Info()->RecordsViewInfo());  // made anew by the layout
    row = Row(1);
    const TRect by = cell(y), bz = cell(z);
    std::vector<TRect> a;  // band B's single column has no neighbours
    if (c.vert) a.push_back(TRect(by.Left - 1, by.Top, by.Left, by.Bottom));
    if (c.horz) a.push_back(TRect(bz.Left, bz.Top - 1, bz.Right, bz.Top));
    std::unique_ptr<TcxGridBandedDataRowCellsAreaViewInfo> area = rows->CreateCellsArea(row);
    ASSERT_NE(area, nullptr);
    ASSERT_EQ(area->Count(), 2);
    EXPECT_EQ(area->Items(0)->LineBounds(), a);
    EXPECT_TRUE(area->Items(1)->LineBounds().empty());
    // Band A's cell starts at the cells area's left edge; band B's carries the separator.
    EXPECT_EQ(area->Items(0)->Bounds.Left, row->CellsAreaBounds().Left);
    EXPECT_FALSE(area->Items(0)->HasSeparator());
    EXPECT_TRUE(area->Items(1)->HasSeparator());
    EXPECT_EQ(area->Items(1)->SeparatorSide(), bLeft);
  }
  // The part background custom draw sees every band cell of every painted record.
  view_->GetOptionsView()->SetGridLines(glBoth);
  Relayout();
  rows = static_cast<TcxGridBandedRowsViewInfo*>(Info()->RecordsViewInfo());
  Integer bandCells = 0;
  view_->OnCustomDrawPartBackground = [&](TcxCustomGridTableView*, TcxCanvas*, TcxCustomGridCellViewInfo* cell,
                                          bool&) {
    if (auto* item = dynamic_cast<TcxGridBandedDataRowCellsAreaItemViewInfo*>(cell))
      bandCells += item->BandViewInfo()->BottomIndex() + 1;
  };
  form_->Repaint();
  Pump();
  // Both bands' cells in each record on screen.
  EXPECT_EQ(bandCells, (1 + 2) * std::min(rows->Count(), rows->CalculatedRowCount()));
  view_->OnCustomDrawPartBackground = nullptr;
  form_->Repaint();
  Pump();
  // The line between x and y, in the grid line colour, and the free space below z's neighbours.
  row = Row(1);
  HDC dc = GetDC(view_->Site()->Handle());
  const TRect y1 = row->ExistingCell(y->VisibleIndex())->Bounds;
  EXPECT_EQ(GetPixel(dc, y1.Left - 1, y1.Top + 3), ColorToRGB(Info()->GetGridLineColor()));
  ReleaseDC(view_->Site()->Handle(), dc);
  S().Snapshot(form_->Handle(), "gridviews_banded_band_cells.png");
}

TEST_F(BandedLayoutTest, BandWidthsUnderTheDistributions) {
  TcxGridBand* p = AddBand("P");
  AddBand("Q", 0);
  AddBand("R", 0);
  AddBand("S");
  TcxGridBandedColumn* q = AddColumn("q", 1);
  AddColumn("r", 2);
  TcxGridBandedColumn* s1 = AddColumn("s1", 3);
  TcxGridBandedColumn* s2 = AddColumn("s2", 3);
  TcxGridBandedColumn* s3 = AddColumn("s3", 3, 1);
  s1->SetWidth(70);
  s2->SetWidth(50);
  s3->SetWidth(40);
  Fill(2);
  Show();
  TcxGridBands* b = view_->Bands();
  // Natural widths: the widest band row sets a leaf's width, the children their parent's.
  EXPECT_EQ(BandInfo(b->GetBand(3))->CalculateWidth(), 120);
  EXPECT_EQ(BandInfo(p)->CalculateWidth(), 120);
  // The narrower row is widened to the band's width.
  EXPECT_EQ(Header(s3)->Bounds.Width(), 120);
  // A parent with a Width imposes it on its children, shared in proportion.
  p->SetWidth(200);
  Relayout();
  EXPECT_EQ(BandInfo(p)->CalculateWidth(), 200);
  EXPECT_EQ(BandInfo(b->GetBand(1))->CalculateWidth(), 100);
  EXPECT_EQ(BandInfo(b->GetBand(2))->CalculateWidth(), 100);
  EXPECT_EQ(Header(q)->Bounds.Width(), 100);
  // A child's maximum width leaves its siblings their minimum widths.
  EXPECT_EQ(BandInfo(b->GetBand(2))->GetMaxWidth(), 200 - BandInfo(b->GetBand(1))->GetMinWidth());
  Integer wide = 5000, narrow = 1;
  BandInfo(b->GetBand(2))->ClampSizingWidth(wide);
  BandInfo(b->GetBand(2))->ClampSizingWidth(narrow);
  EXPECT_EQ(wide, BandInfo(b->GetBand(2))->GetMaxContentWidth());
  EXPECT_EQ(narrow, BandInfo(b->GetBand(2))->GetMinContentWidth());
  // Root bands share the client width with ColumnAutoWidth.
  view_->GetOptionsView()->SetColumnAutoWidth(true);
  Relayout();
  EXPECT_EQ(BandInfo(p)->CalculateWidth() + BandInfo(b->GetBand(3))->CalculateWidth(), Info()->ClientWidth());
  EXPECT_EQ(Info()->GetDataWidth(), Info()->ClientWidth());
}

TEST_F(BandedLayoutTest, FixedBandsStayWhileScrollableOnesMove) {
  auto [left, right] = AddFixedAndScrollableBands();
  view_->GetOptionsView()->SetFooter(true);
  Fill(5);
  Show();
  const TRect client = Info()->ClientBounds();
  const Integer sep = view_->GetOptionsView()->FixedBandSeparatorWidth();
  TcxGridBandViewInfo* l = BandInfo(left);
  TcxGridBandViewInfo* r = BandInfo(right);
  EXPECT_EQ(l->Bounds.Left, client.Left);
  EXPECT_EQ(l->Bounds.Width(), 100 + sep);
  EXPECT_EQ(r->Bounds.Right, client.Right);
  EXPECT_EQ(r->Bounds.Width(), 80 + sep);
  // The separators: right border of the left band, left border of the right one.
  EXPECT_TRUE(l->GetBorders().Contains(bRight));
  EXPECT_TRUE(r->GetBorders().Contains(bLeft));
  EXPECT_FALSE(BandInfo(view_->Bands()->GetBand(1))->GetBorders().Contains(bLeft));
  TRect scroll = Info()->HorzScrollArea();
  EXPECT_EQ(scroll.Left, l->Bounds.Right);
  EXPECT_EQ(scroll.Right, r->Bounds.Left);
  const Integer mLeft = BandInfo(view_->Bands()->GetBand(1))->Bounds.Left;
  const Integer lCell = Row(0)->ExistingCell(view_->GetColumn(0)->VisibleIndex())->Bounds.Left;
  view_->GetController()->SetLeftPos(50);
  Pump();
  EXPECT_EQ(view_->GetController()->LeftPos(), 50);
  EXPECT_EQ(BandInfo(left)->Bounds.Left, client.Left);
  EXPECT_EQ(BandInfo(right)->Bounds.Right, client.Right);
  EXPECT_EQ(BandInfo(view_->Bands()->GetBand(1))->Bounds.Left, mLeft - 50);
  EXPECT_EQ(Row(0)->ExistingCell(view_->GetColumn(0)->VisibleIndex())->Bounds.Left, lCell);
  // The footer keeps its fixed cells in place too, the right-fixed one inside the footer.
  TcxGridFooterViewInfo* footer = Info()->FooterViewInfo();
  const TRect rFooter = footer->ExistingItemViewInfo(view_->GetColumn(7)->VisibleIndex())->Bounds;
  EXPECT_LE(rFooter.Right, footer->Bounds.Right);
  EXPECT_GE(rFooter.Left, BandInfo(right)->Bounds.Left);
  EXPECT_LT(footer->ExistingItemViewInfo(view_->GetColumn(0)->VisibleIndex())->Bounds.Left, client.Left + 10);
  // A scrollable column's header is clipped at the separators; a fixed one at its band.
  EXPECT_EQ(Header(view_->GetColumn(1))->GetAreaClipBounds().Left, BandInfo(left)->Bounds.Right);
  EXPECT_EQ(Header(view_->GetColumn(0))->GetAreaClipBounds().Right, BandInfo(left)->Bounds.Right);
  S().Snapshot(form_->Handle(), "gridviews_banded_fixed_scrolled.png");
}

// The footer repeats the band rows: each cell sits at its band row's line offset and spans its
// column's lines, under its own header; group footers follow the same lines. Headers and footer
// cells of several lines wrap their text, one-line ones do not.
TEST_F(BandedLayoutTest, FooterCellsTakeTheLinesOfTheirBandRows) {
  AddBand("A");
  AddBand("B");
  TcxGridBandedColumn* a = AddColumn("a", 0);
  TcxGridBandedColumn* b = AddColumn("b", 0);
  b->Position()->SetLineCount(3);
  TcxGridBandedColumn* c = AddColumn("c", 0, 1);
  TcxGridBandedColumn* d = AddColumn("d", 1);
  d->Position()->SetLineCount(2);
  TcxGridBandedColumn* g = AddColumn("g", 1, 1);
  for (TcxGridBandedColumn* column : {a, b, c, d}) {
    column->Summary()->SetFooterKind(skCount);
    column->Summary()->SetGroupFooterKind(skCount);
  }
  view_->GetOptionsView()->SetFooter(true);
  view_->GetOptionsView()->SetIndicator(true);
  Fill(4);
  Show();
  ASSERT_EQ(BandsInfo()->GetLineCount(), 4);
  TcxGridFooterViewInfo* footer = Info()->FooterViewInfo();
  const Integer line = footer->GetItemHeight();
  const Integer spacing = Info()->GetLookAndFeelPainter()->FooterCellSpacing();
  EXPECT_EQ(footer->ContentBounds().Height(), 4 * line);
  EXPECT_EQ(Info()->IndicatorViewInfo()->FooterItem()->Bounds.Height(), footer->Height());
  struct Cell {
    TcxGridBandedColumn* column;
    Integer lineOffset, lines;
  };
  const Cell cells[] = {{a, 0, 1}, {b, 0, 3}, {c, 3, 1}, {d, 0, 2}};
  auto checkLines = [&](TcxGridFooterViewInfo* f) {
    for (const Cell& cell : cells) {
      SCOPED_TRACE(std::string(cell.column->Caption()));
      const TRect r = f->GetItemViewInfo(cell.column->VisibleIndex())->Bounds;
      EXPECT_EQ(r.Top, f->GetItemsAreaBounds().Top + cell.lineOffset * line + spacing);
      EXPECT_EQ(r.Height(), cell.lines * line - 2 * spacing);
      EXPECT_GE(r.Left, Header(cell.column)->Bounds.Left);
      EXPECT_LE(r.Right, Header(cell.column)->Bounds.Right);
    }
  };
  checkLines(footer);
  ASSERT_NE(Header(c)->GetRowViewInfo(), nullptr);
  EXPECT_EQ(Header(c)->GetRowViewInfo()->VisibleIndex(), 1);
  EXPECT_EQ(Header(c)->GetRowViewInfo()->GetItem(0), Header(c));
  auto cellOf = [&](TcxGridBandedColumn* column) {
    return static_cast<TcxGridFooterCellViewInfo*>(footer->GetItemViewInfo(column->VisibleIndex()));
  };
  EXPECT_TRUE(cellOf(b)->MultiLinePainting());
  EXPECT_FALSE(cellOf(a)->MultiLinePainting());
  EXPECT_TRUE(Header(b)->MultiLinePainting());
  EXPECT_FALSE(Header(a)->MultiLinePainting());
  EXPECT_EQ(cellOf(c)->GetText(), "4");
  form_->Repaint();
  Pump();
  // The last record, cut by the footer, leaves the footer alone (below a's one-line cell).
  TRect last = Info()->RecordsViewInfo()->Items(Info()->RecordsViewInfo()->Count() - 1)->Bounds;
  const TRect below(cellOf(a)->Bounds.Left + 2, cellOf(a)->Bounds.Bottom + spacing + 2, cellOf(a)->Bounds.Right - 2,
                    std::min(cellOf(c)->Bounds.Top - spacing, last.Bottom) - 2);
  ASSERT_GT(below.Bottom, below.Top);
  HDC dc = GetDC(view_->Site()->Handle());
  EXPECT_EQ(GetPixel(dc, below.Left, below.Top), ColorToRGB(footer->Params.Color));
  EXPECT_EQ(GetPixel(dc, below.Right, below.Bottom), ColorToRGB(footer->Params.Color));
  ReleaseDC(view_->Site()->Handle(), dc);
  S().Snapshot(form_->Handle(), "gridviews_banded_footer_lines.png");
  // Group footers under the rows of each group.
  g->SetGroupIndex(0);
  view_->GetOptionsView()->SetGroupFooters(gfVisibleWhenExpanded);
  view_->DataController()->Groups()->FullExpand();
  Relayout();
  TcxGridRowFooterViewInfo* groupFooter = nullptr;
  TcxCustomGridRecordsViewInfo* rows = Info()->RecordsViewInfo();
  for (Integer i = 0; i < rows->Count() && !groupFooter; ++i)
    if (auto* row = dynamic_cast<TcxCustomGridRowViewInfo*>(rows->Items(i)))
      if (row->RowFooters() && row->RowFooters()->Count() > 0) groupFooter = row->RowFooters()->Items(0);
  ASSERT_NE(groupFooter, nullptr);
  EXPECT_EQ(groupFooter->GetPainterClass(), TcxGridBandedFooterPainter::StaticClass());
  checkLines(groupFooter);
}

// Under a horizontal scroll, a scrollable footer cell is clipped off both fixed bands' footer
// areas (up to and from their separators), a right-fixed one off the left-fixed area only.
TEST_F(BandedLayoutTest, FooterCellsAreClippedByTheKindOfTheirBand) {
  auto [left, right] = AddFixedAndScrollableBands();
  auto* repository = new TcxStyleRepository(form_);
  auto* yellow = new TcxStyle(repository);
  yellow->SetColor(clYellow);
  for (Integer i = 0; i < view_->GetColumnCount(); ++i) {
    view_->GetColumn(i)->Summary()->SetFooterKind(skCount);
    if (view_->GetColumn(i)->Position()->Band()->FixedKind() == fkNone) view_->GetColumn(i)->GetStyles()->SetFooter(yellow);
  }
  view_->GetOptionsView()->SetFooter(true);
  Fill(5);
  Show();
  view_->GetController()->SetLeftPos(50);
  Pump();
  const TRect f = Info()->FooterViewInfo()->Bounds;
  const Integer sep = view_->GetOptionsView()->FixedBandSeparatorWidth();
  const TRect leftStrip(BandInfo(left)->Bounds.Right - sep, f.Top, BandInfo(left)->Bounds.Right, f.Bottom);
  const TRect rightStrip(BandInfo(right)->Bounds.Left, f.Top, BandInfo(right)->Bounds.Left + sep, f.Bottom);
  // What each cell may paint on: the separator strips of the footer (no cell covers them).
  std::map<std::string, std::pair<bool, bool>> seen;
  view_->OnCustomDrawFooterCell = [&](TcxGridTableView*, TcxCanvas* canvas, TcxCustomGridCellViewInfo* cell, bool&) {
    seen[std::string(static_cast<TcxGridFooterCellViewInfo*>(cell)->Column()->Caption())] = {
        canvas->IsRectPartlyVisible(leftStrip), canvas->IsRectPartlyVisible(rightStrip)};
  };
  const TRect m0 = Info()->FooterViewInfo()->GetItemViewInfo(view_->GetColumn(1)->VisibleIndex())->Bounds;
  ASSERT_LT(m0.Left, leftStrip.Left);  // scrolled in under the left-fixed band
  form_->Repaint();
  Pump();
  EXPECT_EQ(seen["l"], std::make_pair(true, true));
  EXPECT_EQ(seen["r"], std::make_pair(false, true));
  EXPECT_EQ(seen["m0"], std::make_pair(false, false));
  EXPECT_EQ(seen["m5"], std::make_pair(false, false));
  HDC dc = GetDC(view_->Site()->Handle());
  const Integer y = (f.Top + f.Bottom) / 2;
  EXPECT_NE(GetPixel(dc, leftStrip.Left, y), ColorToRGB(clYellow));
  EXPECT_EQ(GetPixel(dc, leftStrip.Right + 10, y), ColorToRGB(clYellow));
  ReleaseDC(view_->Site()->Handle(), dc);
  S().Snapshot(form_->Handle(), "gridviews_banded_footer_fixed.png");
}

// A band caption cut by its header shows as a hint while the mouse is over the header
// (BandHeaderHints); a caption that fits shows none.
TEST_F(BandedLayoutTest, CutBandCaptionsShowHints) {
  TcxGridBand* cut = AddBand("A band caption far wider than its one narrow column");
  TcxGridBand* fits = AddBand("B");
  AddColumn("a", 0)->SetWidth(60);
  AddColumn("b", 1)->SetWidth(60);
  Fill(2);
  Show();
  ASSERT_TRUE(form_->Active());
  TcxCustomGridController* controller = view_->Controller();
  HWND site = view_->Site()->Handle();
  auto hover = [&](TcxGridBand* band) {
    const TRect r = BandInfo(band)->GetHeaderViewInfo()->Bounds;
    S().MoveMouse(site, POINT{r.Left + 8, (r.Top + r.Bottom) / 2});
    Pump();
  };
  hover(cut);
  EXPECT_EQ(controller->HintCell(), BandInfo(cut)->GetHeaderViewInfo());
  ASSERT_NE(controller->HintWindow(), nullptr);
  EXPECT_TRUE(IsWindowVisible(controller->HintWindow()->Handle()));
  EXPECT_EQ(controller->HintWindow()->Caption(), cut->Caption());
  hover(fits);
  EXPECT_EQ(controller->HintCell(), nullptr);
  view_->GetOptionsBehavior()->SetBandHeaderHints(false);
  hover(cut);
  EXPECT_EQ(controller->HintCell(), nullptr);
}

// DataRowHeight, DataRowSizing and automatic cell heights apply to records of one line only; a
// record of several lines keeps whole lines.
TEST_F(BandedLayoutTest, RowHeightOptionsOnlyForOneLineRecords) {
  AddBand("A");
  AddColumn("x", 0);
  TcxGridBandedColumn* y = AddColumn("y", 0);
  view_->GetOptionsCustomize()->SetDataRowSizing(true);
  view_->GetOptionsView()->SetCellAutoHeight(true);
  Fill(3);
  view_->DataController()->SetValue(0, 0, Variant("one two three four five six seven eight"));
  Show();
  const Integer single = static_cast<TcxGridBandedRowsViewInfo*>(Info()->RecordsViewInfo())->LineHeight();
  EXPECT_TRUE(Info()->SupportsRowHeightOptions());
  EXPECT_TRUE(Row(1)->CanSize());
  EXPECT_GT(Row(0)->Bounds.Height(), Row(1)->Bounds.Height());  // the long text wraps
  y->Position()->SetRowIndex(1);
  Relayout();
  EXPECT_FALSE(Info()->SupportsRowHeightOptions());
  EXPECT_FALSE(Row(1)->CanSize());
  EXPECT_EQ(Row(0)->Bounds.Height(), Row(1)->Bounds.Height());
  view_->GetOptionsView()->SetDataRowHeight(3 * single);
  Relayout();
  EXPECT_EQ(static_cast<TcxGridBandedRowsViewInfo*>(Info()->RecordsViewInfo())->DataRowHeight(), 2 * single);
}

TEST_F(BandedLayoutTest, BestFitWidensToTheHeaderText) {
  TcxGridBand* a = AddBand("A band caption much wider than its narrow column");
  TcxGridBandedColumn* c = AddColumn("c", 0);
  c->SetWidth(30);
  Fill(2);
  Show();
  a->ApplyBestFit();
  Relayout();
  TcxGridBandViewInfo* info = BandInfo(a);
  EXPECT_GE(info->GetContentWidth(), info->GetHeaderViewInfo()->GetPreferredWidth());
  EXPECT_EQ(a->Width(), info->GetHeaderViewInfo()->GetPreferredWidth());
}

TEST_F(BandedLayoutTest, SheetsInEachLookAndFeel) {
  AddBand("Person");
  AddBand("Name", 0);
  AddBand("Contact", 0);
  AddBand("Totals")->SetFixedKind(fkRight);
  AddColumn("First", 1);
  AddColumn("Last", 1);
  AddColumn("Title", 1, 1);
  AddColumn("Phone", 2);
  AddColumn("Mail", 2, 1)->Position()->SetLineCount(2);
  AddColumn("Sum", 3);
  view_->GetOptionsView()->SetIndicator(true);
  view_->GetOptionsView()->SetFooter(true);
  Fill(8);
  Show();
  struct Look {
    TcxLookAndFeelKind kind;
    const char* file;
  };
  for (const Look& look :
       {Look{lfStandard, "gridviews_banded_standard.png"}, Look{lfFlat, "gridviews_banded_flat.png"},
        Look{lfUltraFlat, "gridviews_banded_ultraflat.png"}, Look{lfOffice11, "gridviews_banded_office11.png"}}) {
    grid_->LookAndFeel()->SetKind(look.kind);
    Relayout();
    form_->Repaint();
    Pump();
    EXPECT_EQ(BandsInfo()->GetLineCount(), 3) << look.file;
    EXPECT_EQ(BandsInfo()->GetBandHeaderRowCount(), 2) << look.file;
    S().Snapshot(form_->Handle(), look.file);
  }
  // Each banded cell names a painter class made for one paint call (and freed after it).
  TcxGridBandViewInfo* band = BandInfo(view_->Bands()->GetBand(0));
  for (TcxCustomGridCellViewInfo* cell : {static_cast<TcxCustomGridCellViewInfo*>(band),
                                          static_cast<TcxCustomGridCellViewInfo*>(band->GetHeaderViewInfo()),
                                          static_cast<TcxCustomGridCellViewInfo*>(Info()->HeaderViewInfo())}) {
    std::unique_ptr<TcxCustomGridCellPainter> painter(
        CreateGridCellPainter(cell->GetPainterClass(), LazyScreenCanvas(), cell));
    EXPECT_EQ(painter->ClassType(), cell->GetPainterClass());
  }
}

}  // namespace
