#include "tests/grid/GridTestSupport.h"

#include "rtl/TypInfo.h"
#include "user/Windows.h"

namespace gridtest {

KORVAN_IMPLEMENT_CLASS(TTestCellHitTest)
bool TTestCellHitTest::Draggable = false;
KORVAN_IMPLEMENT_CLASS(TTestCell)
KORVAN_IMPLEMENT_CLASS(TTestViewInfo)
KORVAN_IMPLEMENT_CLASS(TTestPainter)
KORVAN_IMPLEMENT_CLASS(TTestController)
KORVAN_IMPLEMENT_CLASS(TTestViewData)
KORVAN_IMPLEMENT_CLASS(TTestButtonCellPainter)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TTestOptionsView) {
  p.Int("CellCount", &TTestOptionsView::CellCount, &TTestOptionsView::SetCellCount).Default(3);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TTestView) {
  p.Object("OptionsView", &TTestView::OptionsViewObject, nullptr, TTestOptionsView::StaticClass());
}


void TTestCell::GetViewParams(TcxStyleParams& params) {
  params.Color = clWindow;
  params.TextColor = clWindowText;
  params.Font = GridView()->Control() ? GridView()->Control()->Font() : nullptr;
}

TcxCustomGridCellPainterClass TTestCell::GetPainterClass() {
  return AsButton ? TTestButtonCellPainter::StaticClass() : TcxCustomGridViewCellViewInfo::GetPainterClass();
}

void TTestButtonCellPainter::DrawContent() {
  auto* cell = static_cast<TTestCell*>(ViewInfo());
  TcxCustomLookAndFeelPainterClass painter = cell->GridView()->Controller()->GetLookAndFeelPainter();
  painter->PaintButton(Canvas(), cell->ContentBounds(), cell->GetDisplayText(), GridCellStateToButtonState(cell->State()));
}

KORVAN_IMPLEMENT_CLASS(TPlainViewInfo)

TTestView* TTestViewInfo::View() const { return static_cast<TTestView*>(GridView()); }

void TTestViewInfo::Calculate() {
  ++CalculateCount;
  if (OnCalculate) OnCalculate();
  // Keep the cells while their number holds, so that hover and press states survive.
  Integer count = View()->TestOptionsView()->CellCount();
  if (Integer(Cells.size()) != count) {
    Cells.clear();
    for (Integer i = 0; i < count; ++i) {
      Cells.push_back(std::make_unique<TTestCell>(this));
      AddCell(Cells.back().get());
    }
  }
  TRect r = ClientBounds();
  Integer width = count ? r.Width() / count : 0;
  for (Integer i = 0; i < count; ++i) {
    TTestCell* cell = Cells[size_t(i)].get();
    cell->CellText = i < Integer(View()->Cells.size()) ? String(View()->Cells[size_t(i)]) : String();
    cell->ResetCalculated();
    cell->CalculateAt(r.Left + i * width, r.Top, width, std::min(r.Height(), Integer(24)));
  }
}

TcxCustomGridHitTest* TTestViewInfo::GetContentHitTest(const TPoint& p) {
  for (auto& cell : Cells)
    if (TcxCustomGridHitTest* h = cell->GetHitTest(p)) return h;
  return TcxCustomGridViewInfo::GetContentHitTest(p);
}

void TTestPainter::PaintViewContent() {
  ++PaintCount;
  auto* info = static_cast<TTestViewInfo*>(PaintViewInfo());
  for (auto& cell : info->Cells) {
    cell->Paint(Canvas());
    ExcludeFromBackground(cell->Bounds);
  }
}

void TTestController::HandleKeyDown(Word& key, TShiftState shift) {
  Log.push_back("KeyDown " + std::to_string(key));
  if (key == VK_TAB && GridView()->Control()) GridView()->Control()->FocusNextControl(!shift.Contains(ssShift));
}

void TTestOptionsView::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TTestOptionsView*>(source)) SetCellCount(s->cellCount_);
  TcxCustomGridOptionsView::AssignFrom(source);
}

void TTestView::FocusChanged(bool focused) {
  if (OnFocusChangedHook) OnFocusChangedHook(focused);
  if (!focused && FailFocusLoss) throw Exception("focus loss refused");
  TcxCustomGridView::FocusChanged(focused);
}

void RegisterTestViewClasses() {
  InitializeCxGrid();
  RegisterGridCellPainterFactory(TTestButtonCellPainter::StaticClass(), [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) {
    return new TTestButtonCellPainter(c, v);
  });
  RegisterClass(TTestView::StaticClass());
}

}  // namespace gridtest

namespace gridtest {

void GridFixture::SetUp() {
  THeadlessFixture::SetUp();
  RegisterTestViewClasses();
  ResetSysColors();
  form_ = new TForm(Application);
  form_->SetBounds(100, 100, 420, 320);
  grid_ = new TcxGrid(form_);
  grid_->SetName("Grid1");
  grid_->SetBounds(10, 10, 300, 200);
  grid_->SetParent(form_);
}

void GridFixture::TearDown() {
  Screen->SetCursor(crDefault);
  if (form_) form_->Free();
  THeadlessFixture::TearDown();
}

TTestView* GridFixture::AddView(TcxGridLevel* parent, const String& name) {
  TcxGridLevel* level = (parent ? parent : grid_->Levels())->Add();
  auto* view = static_cast<TTestView*>(grid_->CreateView(TTestView::StaticClass()));
  if (!name.empty()) {
    view->SetName(name);
    level->SetName("Level" + name);
  }
  level->SetGridView(view);
  return view;
}

void GridFixture::ShowForm() {
  form_->Show();
  Pump();
}

}  // namespace gridtest
