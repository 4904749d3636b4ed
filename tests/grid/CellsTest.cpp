// Cells, their painters and hit tests: the pool and its back references, text rectangles for
// every alignment, sizes, states with and without popups, custom draw, the background the view
// painter fills, the parked site, and a sheet of the test view in each look and feel.
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"
#include "user/Windows.h"
#include "vcl/StdCtrls.h"

using namespace gridtest;

namespace {

class CellsTest : public GridFixture {
 protected:
  void SetUp() override {
    GridFixture::SetUp();
    view_ = AddView();
    ShowForm();
  }
  TTestCell* Cell(size_t i) { return view_->TestViewInfo()->Cells[i].get(); }
  TTestView* view_ = nullptr;
};

TEST_F(CellsTest, PooledHitTestsAreSharedAndNeverPointToAFreedCell) {
  TcxCustomGridHitTest* h1 = GetPooledHitTest<TTestCellHitTest>(TPoint(1, 2));
  TcxCustomGridHitTest* h2 = GetPooledHitTest<TTestCellHitTest>(TPoint(3, 4));
  EXPECT_EQ(h1, h2);
  EXPECT_EQ(h2->Pos(), TPoint(3, 4));
  EXPECT_EQ(GetPooledHitTest<TcxGridNoneHitTest>(TPoint())->GetHitTestCode(), 0);
  EXPECT_EQ(GetPooledHitTest<TcxGridDetailsSiteTabHitTest>(TPoint())->GetHitTestCode(), 50);
  EXPECT_EQ(GetPooledHitTest<TcxGridViewNoneHitTest>(TPoint())->GetHitTestCode(), 0);

  auto* loose = new TTestCell(view_->ViewInfo());
  loose->CalculateAt(0, 0, 50, 20);
  TcxCustomGridHitTest* h = loose->GetHitTest(TPoint(5, 5));
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->ViewInfo(), loose);
  EXPECT_EQ(loose->HitTest(), h);
  EXPECT_EQ(static_cast<TcxCustomGridViewHitTest*>(h)->GridView(), view_);
  // Another cell takes the pooled object: the first cell lets it go.
  TcxCustomGridHitTest* h3 = Cell(0)->GetHitTest(TPoint(Cell(0)->Bounds.Left + 1, Cell(0)->Bounds.Top + 1));
  EXPECT_EQ(h3, h);
  EXPECT_EQ(loose->HitTest(), nullptr);
  h = loose->GetHitTest(TPoint(5, 5));
  loose->Free();
  EXPECT_EQ(h->ViewInfo(), nullptr);
  EXPECT_EQ(Cell(0)->HitTest(), nullptr);
  // Outside the cell, or an invisible cell: no hit test.
  EXPECT_EQ(Cell(0)->GetHitTest(TPoint(-5, -5)), nullptr);
  Cell(0)->Visible = false;
  EXPECT_EQ(Cell(0)->GetHitTest(TPoint(Cell(0)->Bounds.Left + 1, Cell(0)->Bounds.Top + 1)), nullptr);
  Cell(0)->Visible = true;
}

TEST_F(CellsTest, TextRectanglesFollowTheAlignment) {
  TTestCell* cell = Cell(0);
  cell->CellText = "Wide";
  cell->ResetCalculated();
  cell->CalculateAt(0, 0, 100, 30);
  Integer w = cell->CalculateTextWidth(), h = cell->CalculateTextHeight();
  ASSERT_GT(w, 0);
  const TRect area(2, 2, 98, 28);
  EXPECT_EQ(cell->GetTextAreaBounds(), area);
  struct {
    TAlignment horz;
    TcxAlignmentVert vert;
    TRect expected;
  } cases[] = {
      {taLeftJustify, vaTop, TRect(2, 2, 2 + w, 2 + h)},
      {taRightJustify, vaBottom, TRect(98 - w, 28 - h, 98, 28)},
      {taCenter, vaCenter, TRect((100 - w) / 2, (30 - h) / 2, (100 - w) / 2 + w, (30 - h) / 2 + h)},
  };
  for (auto& c : cases) {
    cell->AlignmentHorz = c.horz;
    cell->AlignmentVert = c.vert;
    EXPECT_EQ(cell->GetTextBounds(), c.expected) << int(c.horz) << " " << int(c.vert);
  }
  // A single-line centred text wider than its area keeps its width, starting left of it.
  cell->CellText = "A text far wider than the ninety-six pixels of the area";
  cell->Text = cell->CellText;
  cell->AlignmentHorz = taCenter;
  Integer wide = cell->CalculateTextWidth();
  ASSERT_GT(wide, 96);
  TRect r = cell->GetTextBounds(true, false);
  EXPECT_EQ(r.Width(), wide);
  EXPECT_EQ(r.Left, (100 - wide) / 2);
  EXPECT_LT(r.Left, 0);
  // The flags: alignment, single line, end ellipsis when asked.
  EXPECT_EQ(cell->GetTextAttributes(true), ctfHCenter | ctfVCenter | ctfSingleLine);
}

TEST_F(CellsTest, SizesBordersAndTheirRectangles) {
  auto* cell = new TTestCell(view_->ViewInfo());
  cell->FixedWidth = 77;
  cell->CalculateAt(10, 10, -1, 20);
  EXPECT_EQ(cell->Bounds, TRect(10, 10, 87, 30));
  cell->ResetCalculated();
  cell->CalculateInRect(TRect(50, 5, 40, 25));
  EXPECT_EQ(cell->Bounds.Width(), 0);
  EXPECT_EQ(cell->Bounds.Height(), 20);
  cell->CellBorders = TcxBorders{bLeft, bBottom};
  cell->ResetCalculated();
  cell->CalculateAt(0, 0, 40, 20);
  EXPECT_EQ(cell->InnerBounds(), TRect(1, 0, 40, 19));
  EXPECT_EQ(cell->GetSideBorderRect(bLeft), TRect(0, 0, 1, 20));  // covers the bottom border too
  EXPECT_EQ(cell->GetSideBorderRect(bBottom), TRect(1, 19, 40, 20));
  cell->OffsetBounds(5, 5);
  EXPECT_EQ(cell->InnerBounds(), TRect(6, 5, 45, 24));
  cell->Free();
}

class TFakePopup : public IcxCustomGridPopup {
 public:
  TcxCustomGridCellViewInfo* PopupOwner() override { return owner; }
  void SetPopupOwner(TcxCustomGridCellViewInfo* o) override { owner = o; }
  bool PopupVisible() override { return visible; }
  void PopupShow() override {
    visible = true;
    ++shows;
  }
  TcxCustomGridCellViewInfo* owner = nullptr;
  bool visible = false;
  int shows = 0;
};

TEST_F(CellsTest, StatesWithAndWithoutAPopup) {
  TTestCell* cell = Cell(1);
  TPoint p(cell->Bounds.Left + 3, cell->Bounds.Top + 3);
  auto own = [&] { return cell->GetHitTest(p); };
  TcxCustomGridHitTest* elsewhere = GetPooledHitTest<TcxGridViewNoneHitTest>(TPoint());
  // A plain cell: pressed on press, with the mouse captured; hot when the mouse leaves it
  // captured; clicked on release when pressed.
  EXPECT_TRUE(cell->MouseDown(own(), mbLeft, TShiftState()));
  EXPECT_EQ(cell->State(), gcsPressed);
  EXPECT_TRUE(cell->IsCapturingMouse());
  cell->MouseMove(elsewhere, TShiftState());
  EXPECT_EQ(cell->State(), gcsHot);
  cell->MouseMove(own(), TShiftState());
  EXPECT_EQ(cell->State(), gcsPressed);
  EXPECT_TRUE(cell->MouseUp(own(), mbLeft, TShiftState()));
  EXPECT_EQ(cell->State(), gcsNone);
  EXPECT_EQ(cell->Clicks, 1);
  EXPECT_FALSE(cell->MouseDown(own(), mbRight, TShiftState()));
  // A popup cell: hot while over it, press toggles hot and pressed, pressed shows the popup
  // and stays pressed while the mouse moves; no click on release.
  TFakePopup popup;
  cell->Popup = &popup;
  cell->MouseMove(own(), TShiftState());
  EXPECT_EQ(cell->State(), gcsHot);
  cell->MouseDown(own(), mbLeft, TShiftState());
  EXPECT_EQ(cell->State(), gcsPressed);
  EXPECT_EQ(popup.shows, 1);
  EXPECT_EQ(popup.owner, cell);
  EXPECT_FALSE(cell->MouseMove(elsewhere, TShiftState()));
  EXPECT_EQ(cell->State(), gcsPressed);
  EXPECT_FALSE(cell->MouseUp(own(), mbLeft, TShiftState()));
  cell->MouseDown(own(), mbLeft, TShiftState());
  EXPECT_EQ(cell->State(), gcsHot);
  cell->PopupClosed();
  EXPECT_EQ(cell->State(), gcsNone);
  cell->Popup = nullptr;
  // A cell that does not hot-track ignores the mouse.
  cell->HotTrack = false;
  EXPECT_FALSE(cell->MouseDown(own(), mbLeft, TShiftState()));
  EXPECT_EQ(cell->State(), gcsNone);
  EXPECT_EQ(GridCellStateToButtonState(gcsHot), cxbsHot);
  EXPECT_EQ(GridCellStateToButtonState(gcsNone), cxbsNormal);
}

// Paints the view onto a bitmap and answers its pixels.
struct TPaintedView {
  TBitmap bitmap;
  std::unique_ptr<TcxCanvas> canvas;
  explicit TPaintedView(TTestView* view) {
    TRect r = view->ViewInfo()->ClientBounds();
    bitmap.SetSize(r.Right, r.Bottom);
    canvas = std::make_unique<TcxCanvas>(bitmap.Canvas());
    canvas->FillRectColor(TRect(0, 0, r.Right, r.Bottom), TColor(0x123456));
    view->Painter()->Paint(canvas.get(), view->ViewInfo());
  }
  TColor At(Integer x, Integer y) { return bitmap.Canvas()->Pixels(x, y); }
};

TEST_F(CellsTest, CustomDrawTheBackgroundLeftAndTheBorders) {
  TTestCell* cell = Cell(0);
  cell->CellBorders = TcxBorders{bBottom};
  cell->CellText = "";
  view_->Cells[0] = "";
  cell->ResetCalculated();
  view_->ViewInfo()->PlaceAndCalculate(view_->Site()->BoundsRect());
  TRect b = Cell(0)->Bounds;
  // A handler that reports the cell drawn: no background, the border still.
  Cell(0)->OnCustomDraw = [](TTestCell*, TcxCanvas*) { return true; };
  {
    TPaintedView painted(view_);
    EXPECT_EQ(painted.At(b.Left + 4, b.Top + 4), TColor(0x123456));
    EXPECT_EQ(painted.At(b.Left + 4, b.Bottom - 1), ColorToRGB(clBtnShadow));
    // Below the cells the view painter fills what they left with the background colour.
    EXPECT_EQ(painted.At(b.Left + 4, b.Bottom + 10), ColorToRGB(clWindow));
  }
  // A handler that only changes the brush colour changes the default background.
  Cell(0)->OnCustomDraw = [](TTestCell*, TcxCanvas* c) {
    c->SetBrushColor(clRed);
    return false;
  };
  {
    TPaintedView painted(view_);
    EXPECT_EQ(painted.At(b.Left + 4, b.Top + 4), ColorToRGB(clRed));
  }
  EXPECT_EQ(Cell(0)->Params.Color, clWindow);  // the cell's own parameters come back after painting
}

TEST_F(CellsTest, AHiddenViewParksAFocusedSiteAndDropsAnUnfocusedOne) {
  TcxGridSite* site = view_->Site();
  site->SetFocus();
  Pump();
  ASSERT_TRUE(site->Focused());
  view_->ViewInfo()->SetSiteVisible(false);
  EXPECT_EQ(site->Left(), 30000);
  EXPECT_EQ(site->Parent(), grid_);
  Integer paints = static_cast<TTestPainter*>(view_->Painter())->PaintCount;
  InvalidateRect(site->Handle(), nullptr, FALSE);
  Pump();
  EXPECT_EQ(static_cast<TTestPainter*>(view_->Painter())->PaintCount, paints);
  // The site of a view without the focus leaves its parent.
  TTestView* other = AddView();
  other->ViewInfo()->SetSiteVisible(true);
  ASSERT_EQ(other->Site()->Parent(), grid_);
  other->ViewInfo()->SetSiteVisible(false);
  EXPECT_EQ(other->Site()->Parent(), nullptr);
}

// One grid per look and feel, each with the test view (the middle cell painted as a button).
TEST(CellsSheet, TheTestViewInEachLookAndFeel) {
  testing_support::THeadlessSession session;
  RegisterTestViewClasses();
  ResetSysColors();
  auto* form = new TForm(Application);
  form->SetBounds(0, 0, 360, 5 * 90 + 40);
  struct {
    TcxLookAndFeelKind kind;
    bool native;
  } looks[] = {{lfStandard, false}, {lfFlat, false}, {lfUltraFlat, false}, {lfOffice11, false}, {lfStandard, true}};
  for (int i = 0; i < 5; ++i) {
    auto* grid = new TcxGrid(form);
    grid->SetBounds(8, 8 + i * 90, 330, 80);
    grid->SetParent(form);
    grid->LookAndFeel()->SetKind(looks[i].kind);
    grid->LookAndFeel()->SetNativeStyle(looks[i].native);
    auto* view = static_cast<TTestView*>(grid->CreateView(TTestView::StaticClass()));
    grid->Levels()->Add()->SetGridView(view);
    view->Cells = {"Name", "Button", "Right"};
    view->TestViewInfo()->OnCalculate = [view] {
      if (view->TestViewInfo()->Cells.size() == 3) {
        view->TestViewInfo()->Cells[1]->AsButton = true;
        view->TestViewInfo()->Cells[2]->Horz = taRightJustify;
        view->TestViewInfo()->Cells[0]->CellBorders = TcxBorders{bRight, bBottom};
      }
    };
    view->QueueLayoutChange();
  }
  form->Show();
  session.Pump();
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* grid = dynamic_cast<TcxGrid*>(form->Components(i))) grid->ActiveView()->QueueLayoutChange();
  session.Pump();
  session.Snapshot(form->Handle(), "grid_cells_lookandfeels.png");
  form->Free();
}

}  // namespace
