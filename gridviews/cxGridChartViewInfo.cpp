// The chart view's value scale, layout, painting, hit tests, the view info class getter, the
// image rendering and the unit start.
#include "gridviews/cxGridChartViewInfo.h"

#include <algorithm>
#include <cmath>

#include "data/cxCustomDataInternal.h"
#include "rtl/Math.h"
#include "rtl/Variants.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxGridChartTitleHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridChartLegendHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridChartLegendItemHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridChartValueHitTest)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridChartDiagramHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridChartHistogramPlotHitTest)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridChartHistogramAxisHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridChartHistogramCategoryAxisTitleHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridChartHistogramValueAxisTitleHitTest)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridChartPartViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridChartTitleViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridChartTitleViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridChartColumnDiagramAxisTitleViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridChartLegendItemViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridChartLegendViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridChartColumnDiagramTickMarkLabelsViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridChartDiagramValueViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridChartDiagramValueCaptionViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridChartColumnDiagramViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridChartViewInfo)

// ---- value scale ---------------------------------------------------------------------------------

namespace {

// Relative tolerance of the step search and of whole-number tests.
constexpr double kRelTol = 1e-9;

bool NearlyWhole(double x) { return std::fabs(x - std::round(x)) <= kRelTol * std::max(1.0, std::fabs(x)); }

double Pow10(Integer e) {
  double p = 1;
  for (Integer i = 0; i < std::abs(e); ++i) p *= 10;
  return p;
}

// m x 10^e, divided for negative e so that 5 x 10^-2 is the double nearest 0.05.
double StepValue(Integer m, Integer e) { return e >= 0 ? m * Pow10(e) : m / Pow10(-e); }

}  // namespace

double GridChartValueStep(double min, double max, bool integerOnly) {
  double a = (max - min) / 10;
  if (!(a > 0)) return 0;
  Integer e = Integer(std::floor(std::log10(a)));
  if (StepValue(1, e) > a * (1 + kRelTol)) --e;  // log10 rounded up at a power of ten
  if (e < 0 && integerOnly) e = 0;
  static const Integer multipliers[3] = {1, 2, 5};
  for (;; ++e)
    for (Integer m : multipliers) {
      double step = StepValue(m, e);
      if (step > a * (1 + kRelTol)) return step;
    }
}

TcxGridChartValueScale GridChartValueScale(double min, double max, bool integerOnly) {
  TcxGridChartValueScale s;
  s.Min = std::min(min, 0.0);
  s.Max = std::max(max, 0.0);
  s.Step = GridChartValueStep(s.Min, s.Max, integerOnly);
  if (s.Step > 0) {
    double lo = s.Min / s.Step, hi = s.Max / s.Step;
    double kLo = NearlyWhole(lo) ? std::round(lo) - (s.Min != 0 ? 1 : 0) : std::floor(lo);
    double kHi = NearlyWhole(hi) ? std::round(hi) + (s.Max != 0 ? 1 : 0) : std::ceil(hi);
    s.AxisMin = kLo * s.Step;
    s.AxisMax = kHi * s.Step;
  } else {
    s.AxisMin = s.Min;
    s.AxisMax = s.Max;
  }
  if (s.AxisMax - s.AxisMin <= 0) s.AxisMax = s.AxisMin + 1;
  return s;
}

Integer TcxGridChartValueScale::MarkCount() const {
  if (Step <= 0) return 0;
  return Integer(std::llround((AxisMax - AxisMin) / Step)) + 1;
}

// ---- helpers ----------------------------------------------------------------------------------------

namespace {

TFont* FontOf(const TcxStyleParams& params) { return params.Font ? params.Font : LazyScreenCanvas()->CurrentFont(); }
Integer TextWidth(const TcxStyleParams& params, const String& s) {
  return s.empty() ? 0 : MeasureTextWidthInFont(FontOf(params), s);
}
Integer LineHeight(const TcxStyleParams& params) { return MeasureTextHeightInFont(FontOf(params), "Qq"); }

// A line or tick as a one-pixel-wide rectangle: filled, then kept out of later fills.
void PaintLine(TcxCanvas* canvas, const TRect& r, TColor color) {
  if (r.IsEmpty()) return;
  canvas->FillRectColor(r, color);
  canvas->ExcludeFromClip(r);
}

// Aligns a part of the given size inside [a, b).
Integer AlignIn(Integer a, Integer b, Integer size, TcxGridChartPartAlignment alignment) {
  switch (alignment) {
    case cpaStart: return a;
    case cpaEnd: return b - size;
    default: return (a + b - size) / 2;
  }
}

// Draws a title's text, rotated upwards when vertical.
void DrawTitleText(TcxCanvas* canvas, TcxCustomGridChartTitleViewInfo* info) {
  String text = info->Text;
  if (text.empty()) return;
  canvas->ApplyFont(FontOf(info->Params));
  canvas->CurrentFont()->SetColor(info->Params.TextColor);
  canvas->CurrentBrush()->SetStyle(bsClear);
  TRect r = info->Bounds;
  if (info->IsVertical()) {
    Integer w = TextWidth(info->Params, text), h = LineHeight(info->Params);
    Integer x = (r.Left + r.Right - h) / 2;
    // Along the axis: start at the top, the text running upwards from its bottom end.
    Integer y = info->GetAlignment() == cpaStart ? r.Top + w
                : info->GetAlignment() == cpaEnd  ? r.Bottom
                                                  : (r.Top + r.Bottom + w) / 2;
    canvas->RotateFont(90);
    canvas->OutputText(text, TRect(x, y, x + w, y + h), ctfLeft | ctfTop | ctfSingleLine | ctfNoClip);
    canvas->RotateFont(0);
  } else {
    TcxTextFlags horz = info->GetAlignment() == cpaStart ? ctfLeft : info->GetAlignment() == cpaEnd ? ctfRight : ctfHCenter;
    canvas->OutputText(text, r, horz | ctfVCenter | ctfSingleLine | ctfNoClip);
  }
  canvas->CurrentBrush()->SetStyle(bsSolid);
}

}  // namespace

// ---- painters ----------------------------------------------------------------------------------------

class TcxGridChartTitlePainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridChartTitlePainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override {
    auto* info = static_cast<TcxCustomGridChartTitleViewInfo*>(ViewInfo());
    if (info->Params.Color != clDefault && info->Params.Color != clNone) Canvas()->FillRectColor(info->Bounds, info->Params.Color);
    DrawTitleText(Canvas(), info);
  }
};

class TcxGridChartLegendPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridChartLegendPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override {
    auto* info = static_cast<TcxGridChartLegendViewInfo*>(ViewInfo());
    DrawBackground(info->ContentBounds());
    for (Integer i = 0; i < info->ItemCount(); ++i) info->Items(i)->Paint(Canvas());
  }
};

class TcxGridChartLegendItemPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridChartLegendItemPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override {
    auto* info = static_cast<TcxGridChartLegendItemViewInfo*>(ViewInfo());
    TRect key = info->KeyBounds();
    Canvas()->FillRectColor(key, info->KeyParams.Color);
    if (info->Legend()->LegendOptions()->GetKeyBorder() == lbSingle) Canvas()->DrawFrameSides(key, info->Params.TextColor);
    Canvas()->ApplyFont(FontOf(info->Params));
    Canvas()->CurrentFont()->SetColor(info->Params.TextColor);
    Canvas()->CurrentBrush()->SetStyle(bsClear);
    Canvas()->OutputText(info->Text, info->TextBounds(), ctfLeft | ctfVCenter | ctfSingleLine | ctfNoClip);
    Canvas()->CurrentBrush()->SetStyle(bsSolid);
  }
};

class TcxGridChartColumnDiagramValuePainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridChartColumnDiagramValuePainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override { DrawBackground(ViewInfo()->ContentBounds()); }
  bool ExcludeFromClipping() override { return true; }
};

class TcxGridChartColumnDiagramTickMarkLabelsPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridChartColumnDiagramTickMarkLabelsPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  bool IsVisible() override { return true; }
  void DrawContent() override {
    auto* info = static_cast<TcxGridChartColumnDiagramTickMarkLabelsViewInfo*>(ViewInfo());
    if (info->LabelsShown()) {
      TcxTextFlags horz = !info->IsVertical() ? ctfHCenter : info->Position() == cppLeft ? ctfRight : ctfLeft;
      Canvas()->ApplyFont(FontOf(info->Params));
      Canvas()->CurrentFont()->SetColor(info->Params.TextColor);
      Canvas()->CurrentBrush()->SetStyle(bsClear);
      for (Integer i = 0; i < info->LabelCount(); ++i) {
        TRect r = info->LabelBounds(i);
        if (info->IsVertical() && !Canvas()->IsRectFullyVisible(r)) continue;
        Canvas()->OutputText(info->LabelText(i), r, horz | ctfVCenter | ctfSingleLine | ctfEndEllipsis | ctfNoClip);
        if (info->IsVertical()) Canvas()->ExcludeFromClip(r);
      }
      Canvas()->CurrentBrush()->SetStyle(bsSolid);
    }
    info->AxisTitle()->Paint(Canvas());
  }
};

class TcxGridChartColumnDiagramPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridChartColumnDiagramPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  TcxGridChartColumnDiagramViewInfo* Info() const { return static_cast<TcxGridChartColumnDiagramViewInfo*>(ViewInfo()); }

  void DrawContent() override {
    TcxGridChartColumnDiagramViewInfo* info = Info();
    TcxGridChartColumnDiagram* diagram = info->Diagram();
    TcxGridChartColumnDiagramStyles* styles = diagram->ColumnStyles();
    TcxCanvas* canvas = Canvas();
    TcxRegion* saved = canvas->CopyClipRegion();
    {
      Finally restore{[&] { canvas->ApplyClipRegion(saved, roSet, true); }};
      TRect plot = info->PlotBounds();
      bool columns = info->IsCategoryAxisHorizontal();
      bool hasValues = info->ValueCount() > 0;
      TcxStyleParams p;
      if (diagram->AxisCategory()->Visible() && hasValues) {
        styles->GetParams(TcxGridChartColumnDiagramStyles::dsCategoryAxis, p);
        TRect line = info->CategoryAxisLine();
        PaintLine(canvas, line, p.Color);
        Integer len = info->CategoryTickMarkLength();
        TcxGridChartHistogramTickMarkKind kind = diagram->AxisCategory()->TickMarkKind();
        bool in = kind == tmkInside || kind == tmkCross, out = kind == tmkOutside || kind == tmkCross;
        for (const auto& m : info->CategoryMarks()) {
          if (columns) {
            Integer y = line.Top, x = m.Position;
            PaintLine(canvas, TRect(x, in ? y - len : y, x + 1, out ? y + 1 + len : y + 1), p.Color);
          } else {
            Integer x = line.Left, y = m.Position;
            PaintLine(canvas, TRect(out ? x - len : x, y, in ? x + 1 + len : x + 1, y + 1), p.Color);
          }
        }
      }
      if (diagram->AxisValue()->Visible() && hasValues) {
        styles->GetParams(TcxGridChartColumnDiagramStyles::dsValueAxis, p);
        TRect line = info->ValueAxisLine();
        PaintLine(canvas, line, p.Color);
        Integer len = info->ValueTickMarkLength();
        TcxGridChartHistogramTickMarkKind kind = diagram->AxisValue()->TickMarkKind();
        TcxGridChartPartPosition pos = diagram->GetValueAxisPosition();
        // Outside is away from the plot: left, right, down or up.
        bool awayNegative = pos == cppLeft || pos == cppTop;
        bool out = kind == tmkOutside || kind == tmkCross, in = kind == tmkInside || kind == tmkCross;
        Integer before = (awayNegative ? out : in) ? len : 0, after = (awayNegative ? in : out) ? len : 0;
        for (const auto& m : info->ValueMarks()) {
          if (columns)
            PaintLine(canvas, TRect(line.Left - before, m.Position, line.Right + after, m.Position + 1), p.Color);
          else
            PaintLine(canvas, TRect(m.Position, line.Top - after, m.Position + 1, line.Bottom + before), p.Color);
        }
      }
      for (Integer i = 0; i < info->ValueViewInfoCount(); ++i) info->ValueViewInfo(i)->Paint(canvas);
      if (diagram->AxisCategory()->GridLines()) {
        styles->GetParams(TcxGridChartColumnDiagramStyles::dsCategoryGridLines, p);
        for (const auto& m : info->CategoryMarks())
          PaintLine(canvas, columns ? TRect(m.Position, plot.Top, m.Position + 1, plot.Bottom)
                                    : TRect(plot.Left, m.Position, plot.Right, m.Position + 1), p.Color);
      }
      if (diagram->AxisValue()->GridLines()) {
        styles->GetParams(TcxGridChartColumnDiagramStyles::dsValueGridLines, p);
        for (const auto& m : info->ValueMarks())
          PaintLine(canvas, columns ? TRect(plot.Left, m.Position, plot.Right, m.Position + 1)
                                    : TRect(m.Position, plot.Top, m.Position + 1, plot.Bottom), p.Color);
      }
      bool done = false;
      if (diagram->HasCustomDrawPlot()) {
        canvas->RestoreViewParams(info->PlotParams);
        done = diagram->DoCustomDrawPlot(canvas, info, plot);
        if (!done) canvas->CaptureViewParams(info->PlotParams);
      }
      if (!done) canvas->FillRectColor(plot, info->PlotParams.Color);
      canvas->ExcludeFromClip(plot);
      DrawBackground(info->Bounds);
    }
    Info()->CategoryLabels()->Paint(canvas);
    Info()->ValueLabels()->Paint(canvas);
  }

  void Paint() override {
    TcxCustomGridCellPainter::Paint();
    TcxGridChartColumnDiagramViewInfo* info = Info();
    for (Integer i = 0; i < info->ValueViewInfoCount(); ++i) {
      TcxGridChartDiagramValueCaptionViewInfo* caption = info->ValueViewInfo(i)->Caption();
      if (!caption->IsCellVisible() || !Canvas()->IsRectPartlyVisible(caption->Bounds)) continue;
      caption->Paint(Canvas());
      Canvas()->ExcludeFromClip(caption->Bounds);
    }
  }
};

KORVAN_IMPLEMENT_CLASS(TcxGridChartTitlePainter)
KORVAN_IMPLEMENT_CLASS(TcxGridChartLegendPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridChartLegendItemPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridChartColumnDiagramValuePainter)
KORVAN_IMPLEMENT_CLASS(TcxGridChartColumnDiagramTickMarkLabelsPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridChartColumnDiagramPainter)

template <class P>
static void RegisterChartPainter() {
  RegisterGridCellPainterFactory(P::StaticClass(), [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) { return new P(c, v); });
}

void RegisterGridChartPainters() {
  RegisterChartPainter<TcxGridChartTitlePainter>();
  RegisterChartPainter<TcxGridChartLegendPainter>();
  RegisterChartPainter<TcxGridChartLegendItemPainter>();
  RegisterChartPainter<TcxGridChartColumnDiagramValuePainter>();
  RegisterChartPainter<TcxGridChartColumnDiagramTickMarkLabelsPainter>();
  RegisterChartPainter<TcxGridChartColumnDiagramPainter>();
}

// ---- parts ---------------------------------------------------------------------------------------------

TRect TcxCustomGridChartPartViewInfo::CutFrom(TRect& area) {
  EnsureTextAndParams();
  if (!IsCellVisible()) return TRect();
  Integer w = PartWidth(), h = PartHeight();
  TcxGridChartPartAlignment a = GetAlignment();
  switch (GetPosition()) {
    case cppLeft: case cppRight: {
      bool left = GetPosition() == cppLeft;
      Integer x = left ? area.Left : area.Right - w;
      if (left) area.Left += w + 10; else area.Right -= w + 10;
      Integer y = AlignIn(area.Top, area.Bottom, h, a);
      return TRect(x, y, x + w, y + h);
    }
    case cppTop: case cppBottom: {
      bool top = GetPosition() == cppTop;
      Integer y = top ? area.Top : area.Bottom - h;
      if (top) area.Top += h + 10; else area.Bottom -= h + 10;
      Integer x = AlignIn(area.Left, area.Right, w, a);
      return TRect(x, y, x + w, y + h);
    }
    default:
      return TRect();
  }
}

TSize TcxCustomGridChartTitleViewInfo::TextSize() {
  EnsureTextAndParams();
  String text = title_->Text();
  return TSize(TextWidth(Params, text), text.empty() ? 0 : LineHeight(Params));
}

Integer TcxCustomGridChartTitleViewInfo::PartWidth() { return IsVertical() ? TextSize().cy : TextSize().cx; }
Integer TcxCustomGridChartTitleViewInfo::PartHeight() { return IsVertical() ? TextSize().cx : TextSize().cy; }

TcxCustomGridCellPainterClass TcxCustomGridChartTitleViewInfo::GetPainterClass() {
  return TcxGridChartTitlePainter::StaticClass();
}

void TcxGridChartTitleViewInfo::GetViewParams(TcxStyleParams& params) {
  TcxStyleParams bg;
  ChartView()->GetStyles()->GetBackgroundParams(bg);
  ChartView()->GetStyles()->GetParams(TcxGridChartViewStyles::vsTitle, params);
  if (params.Color == clDefault) params.Color = bg.Color;
}

TcxGridChartColumnDiagramAxisTitleViewInfo::TcxGridChartColumnDiagramAxisTitleViewInfo(
    TcxGridChartColumnDiagramViewInfo* diagram, bool isCategory)
    : TcxCustomGridChartTitleViewInfo(diagram->GridViewInfo(),
                                      (isCategory ? diagram->Diagram()->AxisCategory() : diagram->Diagram()->AxisValue())->Title()),
      diagram_(diagram),
      isCategory_(isCategory) {}

TClass TcxGridChartColumnDiagramAxisTitleViewInfo::GetHitTestClass() {
  return isCategory_ ? TcxGridChartHistogramCategoryAxisTitleHitTest::StaticClass()
                     : TcxGridChartHistogramValueAxisTitleHitTest::StaticClass();
}

void TcxGridChartColumnDiagramAxisTitleViewInfo::GetViewParams(TcxStyleParams& params) {
  diagram_->Diagram()->ColumnStyles()->GetParams(
      isCategory_ ? TcxGridChartColumnDiagramStyles::dsCategoryAxisTitle : TcxGridChartColumnDiagramStyles::dsValueAxisTitle,
      params);
  params.Color = clNone;
}

void TcxGridChartColumnDiagramAxisTitleViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridChartTitleViewInfo::InitHitTest(hitTest);
  static_cast<TcxCustomGridChartDiagramHitTest*>(hitTest)->Diagram = diagram_->Diagram();
}

// ---- legend -------------------------------------------------------------------------------------------------

TcxGridChartLegendItemViewInfo::TcxGridChartLegendItemViewInfo(TcxGridChartLegendViewInfo* legend, Integer index)
    : TcxCustomGridViewCellViewInfo(legend->GridViewInfo()), legend_(legend), index_(index) {}

Integer TcxGridChartLegendItemViewInfo::ObjectIndex() const {
  return legend_->IsReversed() ? legend_->ItemCount() - 1 - index_ : index_;
}

String TcxGridChartLegendItemViewInfo::GetText() {
  TcxGridChartView* view = legend_->ChartView();
  if (legend_->ShowsCategories()) return view->GetViewData()->GetCategory(ObjectIndex());
  return view->GetVisibleSeries(ObjectIndex())->GetDisplayText();
}

void TcxGridChartLegendItemViewInfo::GetViewParams(TcxStyleParams& params) {
  legend_->Diagram()->Styles()->ResolveViewParams(TcxGridChartDiagramStyles::dsLegend, nullptr, nullptr, params);
  TcxGridChartView* view = legend_->ChartView();
  if (legend_->ShowsCategories())
    legend_->Diagram()->Styles()->GetValueParams(view->GetVisibleSeriesCount() == 1 ? 0 : -1, ObjectIndex(), KeyParams);
  else
    legend_->Diagram()->Styles()->GetValueParams(ObjectIndex(), -1, KeyParams);
  KeyParams.TextColor = params.TextColor;
}

void TcxGridChartLegendItemViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridViewCellViewInfo::InitHitTest(hitTest);
  auto* h = static_cast<TcxGridChartLegendItemHitTest*>(hitTest);
  TcxGridChartView* view = legend_->ChartView();
  h->Index = index_;
  if (legend_->ShowsCategories()) {
    h->Series = view->GetVisibleSeriesCount() == 1 ? view->GetVisibleSeries(0) : nullptr;
    h->ValueIndex = ObjectIndex();
  } else {
    h->Series = view->GetVisibleSeries(ObjectIndex());
    h->ValueIndex = -1;
  }
}

TcxCustomGridCellPainterClass TcxGridChartLegendItemViewInfo::GetPainterClass() {
  return TcxGridChartLegendItemPainter::StaticClass();
}

bool TcxGridChartLegendItemViewInfo::CustomDraw(TcxCanvas* canvas) {
  return legend_->Diagram()->DoCustomDrawLegendItem(canvas, this) ||
         legend_->ChartView()->DoCustomDrawLegendItem(canvas, this);
}

Integer TcxGridChartLegendItemViewInfo::KeySize() {
  EnsureTextAndParams();
  if (keySize_ < 0) keySize_ = MulDiv(LineHeight(Params), 3, 4);
  return keySize_;
}

Integer TcxGridChartLegendItemViewInfo::ItemWidth() {
  Integer k = KeySize(), g = k / 2;
  return TextWidth(Params, Text) + k + g + 2 * (g / 2);
}

Integer TcxGridChartLegendItemViewInfo::ItemHeight() {
  EnsureTextAndParams();
  return MeasureTextHeightInFont(FontOf(Params), Text.empty() ? String("Qq") : Text);
}

TRect TcxGridChartLegendItemViewInfo::KeyBounds() {
  Integer k = KeySize(), g = k / 2;
  Integer left = Bounds.Left + g / 2;
  Integer top = MulDiv(Bounds.Top + Bounds.Bottom - k, 1, 2);
  return TRect(left, top, left + k, top + k);
}

TRect TcxGridChartLegendItemViewInfo::TextBounds() {
  Integer k = KeySize(), g = k / 2;
  return TRect(Bounds.Left + g / 2 + g + k, Bounds.Top, Bounds.Right - g / 2, Bounds.Bottom);
}

TcxGridChartLegendViewInfo::TcxGridChartLegendViewInfo(TcxCustomGridViewInfo* info, TcxGridChartDiagram* diagram)
    : TcxCustomGridChartPartViewInfo(info), diagram_(diagram) {
  CreateItems();
}

bool TcxGridChartLegendViewInfo::ShowsCategories() { return diagram_->IsCategoriesColored(); }

bool TcxGridChartLegendViewInfo::IsReversed() {
  auto* column = dynamic_cast<TcxGridChartColumnDiagram*>(diagram_);
  bool reverse = column && column->AxisCategory()->CategoriesInReverseOrder();
  TcxGridChartPartPosition p = LegendOptions()->GetPosition();
  return p == cppTop || p == cppBottom ? reverse : !reverse;
}

void TcxGridChartLegendViewInfo::CreateItems() {
  TcxGridChartView* view = ChartView();
  Integer n = ShowsCategories() ? view->GetViewData()->GetValueCount() : view->GetVisibleSeriesCount();
  for (Integer i = 0; i < n; ++i) items_.push_back(std::make_unique<TcxGridChartLegendItemViewInfo>(this, i));
}

TcxGridChartPartPosition TcxGridChartLegendViewInfo::GetPosition() {
  return items_.empty() ? cppNone : LegendOptions()->GetPosition();
}

void TcxGridChartLegendViewInfo::GetViewParams(TcxStyleParams& params) {
  diagram_->Styles()->ResolveViewParams(TcxGridChartDiagramStyles::dsLegend, nullptr, nullptr, params);
}

TcxCustomGridCellPainterClass TcxGridChartLegendViewInfo::GetPainterClass() { return TcxGridChartLegendPainter::StaticClass(); }

TcxBorders TcxGridChartLegendViewInfo::GetBorders() {
  return LegendOptions()->GetBorder() == lbSingle ? cxBordersAll : TcxBorders();
}

bool TcxGridChartLegendViewInfo::CustomDraw(TcxCanvas* canvas) {
  return diagram_->DoCustomDrawLegend(canvas, this) || ChartView()->DoCustomDrawLegend(canvas, this);
}

Integer TcxGridChartLegendViewInfo::Spacing() {
  EnsureTextAndParams();
  if (spacing_ < 0) spacing_ = MulDiv(LineHeight(Params), 1, 4);
  return spacing_;
}

Integer TcxGridChartLegendViewInfo::PartWidth() {
  Integer s = Spacing(), w = 0;
  bool horizontal = GetOrientation() == cpoHorizontal;
  for (auto& item : items_) {
    item->EnsureTextAndParams();
    w = horizontal ? w + item->ItemWidth() : std::max(w, item->ItemWidth());
  }
  if (horizontal && !items_.empty()) w += s * (ItemCount() - 1);
  return w + EffectiveBorderWidth(bLeft) + EffectiveBorderWidth(bRight) + 2 * s;
}

Integer TcxGridChartLegendViewInfo::PartHeight() {
  Integer s = Spacing(), h = 0;
  bool horizontal = GetOrientation() == cpoHorizontal;
  for (auto& item : items_) {
    item->EnsureTextAndParams();
    h = horizontal ? std::max(h, item->ItemHeight()) : h + item->ItemHeight();
  }
  if (!horizontal && !items_.empty()) h += s * (ItemCount() - 1);
  return h + EffectiveBorderWidth(bTop) + EffectiveBorderWidth(bBottom) + 2 * s;
}

void TcxGridChartLegendViewInfo::AfterCalculateBounds() {
  TcxCustomGridChartPartViewInfo::AfterCalculateBounds();
  Integer s = Spacing();
  TRect content = ContentBounds();
  Integer x = content.Left + s, y = content.Top + s;
  bool horizontal = GetOrientation() == cpoHorizontal;
  for (auto& item : items_) {
    Integer w = item->ItemWidth(), h = item->ItemHeight();
    item->CalculateInRect(TRect(x, y, x + w, y + h));
    if (horizontal) x += w + s; else y += h + s;
  }
}

TcxCustomGridHitTest* TcxGridChartLegendViewInfo::GetHitTest(const TPoint& p) {
  if (!IsVisibleForHitTest() || !HasPoint(p)) return nullptr;
  for (auto& item : items_)
    if (TcxCustomGridHitTest* h = item->GetHitTest(p)) return h;
  return TcxCustomGridChartPartViewInfo::GetHitTest(p);
}

// ---- tick-mark labels ------------------------------------------------------------------------------------------

TcxGridChartColumnDiagramTickMarkLabelsViewInfo::TcxGridChartColumnDiagramTickMarkLabelsViewInfo(
    TcxGridChartColumnDiagramViewInfo* diagram, bool isCategory)
    : TcxCustomGridViewCellViewInfo(diagram->GridViewInfo()),
      diagram_(diagram),
      isCategory_(isCategory),
      title_(std::make_unique<TcxGridChartColumnDiagramAxisTitleViewInfo>(diagram, isCategory)) {}

TcxGridChartColumnDiagramTickMarkLabelsViewInfo::~TcxGridChartColumnDiagramTickMarkLabelsViewInfo() = default;

TcxGridChartColumnDiagramAxis* TcxGridChartColumnDiagramTickMarkLabelsViewInfo::Axis() const {
  return isCategory_ ? diagram_->Diagram()->AxisCategory() : diagram_->Diagram()->AxisValue();
}

bool TcxGridChartColumnDiagramTickMarkLabelsViewInfo::LabelsShown() const {
  return Axis()->Visible() && Axis()->TickMarkLabels();
}

void TcxGridChartColumnDiagramTickMarkLabelsViewInfo::GetViewParams(TcxStyleParams& params) {
  diagram_->Diagram()->ColumnStyles()->GetParams(
      isCategory_ ? TcxGridChartColumnDiagramStyles::dsCategoryAxis : TcxGridChartColumnDiagramStyles::dsValueAxis, params);
}

TcxCustomGridCellPainterClass TcxGridChartColumnDiagramTickMarkLabelsViewInfo::GetPainterClass() {
  return TcxGridChartColumnDiagramTickMarkLabelsPainter::StaticClass();
}

Integer TcxGridChartColumnDiagramTickMarkLabelsViewInfo::LineHeight() {
  EnsureTextAndParams();
  if (lineHeight_ < 0) lineHeight_ = ::LineHeight(Params);
  return lineHeight_;
}

Integer TcxGridChartColumnDiagramTickMarkLabelsViewInfo::LabelWidth(Integer i) {
  EnsureTextAndParams();
  if (widths_[size_t(i)] < 0) widths_[size_t(i)] = TextWidth(Params, texts_[size_t(i)]);
  return widths_[size_t(i)];
}

void TcxGridChartColumnDiagramTickMarkLabelsViewInfo::SetTexts(std::vector<String> texts) {
  texts_ = std::move(texts);
  widths_.assign(texts_.size(), -1);
  rects_.assign(texts_.size(), TRect());
  twoLines_ = false;
}

Integer TcxGridChartColumnDiagramTickMarkLabelsViewInfo::LabelsWidth() {
  Integer w = 0;
  bool titleVisible = title_->IsCellVisible();
  if (LabelsShown()) {
    for (Integer i = 0; i < LabelCount(); ++i) w = std::max(w, LabelWidth(i));
    if (titleVisible) w += 10;
  }
  if (titleVisible) w += title_->PartWidth();
  return w;
}

Integer TcxGridChartColumnDiagramTickMarkLabelsViewInfo::LabelsHeight() {
  Integer h = 0;
  bool titleVisible = title_->IsCellVisible();
  if (LabelsShown()) {
    h = twoLines_ ? 2 * LineHeight() + 4 : LineHeight();
    if (titleVisible) h += 10;
  }
  if (titleVisible) h += title_->PartHeight();
  return h;
}

void TcxGridChartColumnDiagramTickMarkLabelsViewInfo::CalculateTwoLines(Integer availableLength) {
  twoLines_ = false;
  Integer n = LabelCount();
  if (!LabelsShown() || n < 2) return;
  Integer per = availableLength / (isCategory_ ? n : n - 1);
  for (Integer i = 0; i < n; ++i)
    if (LabelWidth(i) > per) {
      twoLines_ = true;
      return;
    }
}

void TcxGridChartColumnDiagramTickMarkLabelsViewInfo::CalculateLabels(const std::vector<Integer>& positions,
                                                                        const TRect& area, const TRect& plot) {
  CalculateInRect(area);
  Integer lh = LineHeight();
  TcxGridChartPartPosition pos = Position();
  bool titleVisible = title_->IsCellVisible();
  Integer n = LabelCount();
  if (IsVertical()) {
    Integer tw = titleVisible ? title_->PartWidth() : 0;
    TRect labelArea = area;
    TRect titleRect;
    if (pos == cppLeft) {
      titleRect = TRect(area.Left, plot.Top, area.Left + tw, plot.Bottom);
      if (titleVisible) labelArea.Left = titleRect.Right + 10;
    } else {
      titleRect = TRect(area.Right - tw, plot.Top, area.Right, plot.Bottom);
      if (titleVisible) labelArea.Right = titleRect.Left - 10;
    }
    for (Integer i = 0; i < n; ++i) {
      Integer top = positions[size_t(i)] - lh / 2;
      rects_[size_t(i)] = TRect(labelArea.Left, top, labelArea.Right, top + lh);
    }
    title_->CalculateInRect(titleVisible ? titleRect : TRect());
  } else {
    Integer labelsH = LabelsShown() ? (twoLines_ ? 2 * lh + 4 : lh) : 0;
    Integer th = titleVisible ? title_->PartHeight() : 0;
    bool bottom = pos == cppBottom;
    Integer labelsTop = bottom ? area.Top : area.Bottom - labelsH;
    for (Integer i = 0; i < n; ++i) {
      Integer w = LabelWidth(i), x = positions[size_t(i)];
      Integer top = labelsTop + (twoLines_ && i % 2 == 1 ? lh + 4 : 0);
      TRect r(x - w / 2, top, x - w / 2 + w, top + lh);
      if (twoLines_) {
        // Display order: left to right along the pixels.
        if (i > 0) {
          Integer neighbour = positions[size_t(i - 1)];
          if (neighbour < x) r.Left = std::max(r.Left, neighbour + 2); else r.Right = std::min(r.Right, neighbour - 2);
        }
        if (i + 1 < n) {
          Integer neighbour = positions[size_t(i + 1)];
          if (neighbour > x) r.Right = std::min(r.Right, neighbour - 2); else r.Left = std::max(r.Left, neighbour + 2);
        }
      }
      rects_[size_t(i)] = r;
    }
    Integer gap = LabelsShown() && titleVisible ? 10 : 0;
    TRect titleRect = bottom ? TRect(plot.Left, labelsTop + labelsH + gap, plot.Right, labelsTop + labelsH + gap + th)
                             : TRect(plot.Left, labelsTop - gap - th, plot.Right, labelsTop - gap);
    title_->CalculateInRect(titleVisible ? titleRect : TRect());
  }
}

// ---- values ------------------------------------------------------------------------------------------------------

TcxGridChartDiagramValueViewInfo::TcxGridChartDiagramValueViewInfo(TcxGridChartColumnDiagramViewInfo* diagram,
                                                                   Integer visibleSeriesIndex, Integer valueIndex)
    : TcxCustomGridViewCellViewInfo(diagram->GridViewInfo()),
      diagram_(diagram),
      visibleSeriesIndex_(visibleSeriesIndex),
      valueIndex_(valueIndex),
      caption_(std::make_unique<TcxGridChartDiagramValueCaptionViewInfo>(this)) {}

TcxGridChartDiagramValueViewInfo::~TcxGridChartDiagramValueViewInfo() = default;

TcxGridChartSeries* TcxGridChartDiagramValueViewInfo::Series() const {
  return diagram_->ChartView()->GetVisibleSeries(visibleSeriesIndex_);
}

double TcxGridChartDiagramValueViewInfo::Value() const { return diagram_->GetValue(visibleSeriesIndex_, valueIndex_); }

void TcxGridChartDiagramValueViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridViewCellViewInfo::InitHitTest(hitTest);
  auto* h = static_cast<TcxGridChartValueHitTest*>(hitTest);
  h->Series = Series();
  h->ValueIndex = valueIndex_;
}

void TcxGridChartDiagramValueViewInfo::GetViewParams(TcxStyleParams& params) {
  diagram_->Diagram()->Styles()->GetValueParams(visibleSeriesIndex_, valueIndex_, params);
}

Integer TcxGridChartDiagramValueViewInfo::GetBorderWidth(TcxBorder) { return diagram_->Diagram()->Values()->BorderWidth(); }

bool TcxGridChartDiagramValueViewInfo::CustomDraw(TcxCanvas* canvas) {
  return Series()->DoCustomDrawValue(canvas, this) || diagram_->Diagram()->DoCustomDrawValue(canvas, this);
}

TcxCustomGridCellPainterClass TcxGridChartDiagramValueViewInfo::GetPainterClass() {
  return TcxGridChartColumnDiagramValuePainter::StaticClass();
}

bool TcxGridChartDiagramValueViewInfo::HasHint() { return diagram_->ChartView()->GetOptionsBehavior()->ValueHints(); }

String TcxGridChartDiagramValueViewInfo::GetHintText() {
  String text;
  diagram_->ChartView()->GetController()->GetValueHintText(Series(), valueIndex_, text);
  return text;
}

bool TcxGridChartDiagramValueViewInfo::NeedsHint(const TPoint& p, String& text, TRect& textRect, bool& isMultiLine) {
  if (!HasHint() || !HasPoint(p)) return false;
  text = GetHintText();
  if (text.empty()) return false;
  // Placed below the mouse pointer.
  Integer w = TextWidth(Params, text), h = ::LineHeight(Params);
  textRect = TRect(p.X, p.Y + 27, p.X + w, p.Y + 27 + h);
  isMultiLine = false;
  return true;
}

void TcxGridChartDiagramValueViewInfo::AfterCalculateBounds() {
  TcxCustomGridViewCellViewInfo::AfterCalculateBounds();
  if (caption_->IsCellVisible()) caption_->Place();
}

TcxGridChartDiagramValueCaptionViewInfo::TcxGridChartDiagramValueCaptionViewInfo(TcxGridChartDiagramValueViewInfo* value)
    : TcxCustomGridViewCellViewInfo(value->GridViewInfo()), value_(value) {}

String TcxGridChartDiagramValueCaptionViewInfo::GetText() {
  String text;
  value_->DiagramInfo()->Diagram()->GetValueDisplayText(value_->Series(), value_->ValueIndex(), text);
  return text;
}

void TcxGridChartDiagramValueCaptionViewInfo::GetViewParams(TcxStyleParams& params) {
  value_->DiagramInfo()->Diagram()->Styles()->ResolveViewParams(TcxGridChartDiagramStyles::dsValueCaptions, nullptr,
                                                                nullptr, params);
}

bool TcxGridChartDiagramValueCaptionViewInfo::IsCellVisible() {
  return value_->DiagramInfo()->Diagram()->Values()->CaptionPosition() != cdvcpNone;
}

void TcxGridChartDiagramValueCaptionViewInfo::Place() {
  EnsureTextAndParams();
  TRect r = value_->Bounds;
  Integer w = TextWidth(Params, Text) + 4, h = ::LineHeight(Params);
  bool columns = value_->DiagramInfo()->IsCategoryAxisHorizontal();
  bool negative = value_->Value() < 0;
  TcxGridChartColumnDiagramValueCaptionPosition pos = value_->DiagramInfo()->Diagram()->Values()->CaptionPosition();
  TRect c;
  if (columns) {
    Integer left = (r.Left + r.Right - w) / 2;
    // Base at value 0: the bottom for positive values, the top for negative ones.
    Integer base = negative ? r.Top : r.Bottom, end = negative ? r.Bottom : r.Top, dir = negative ? 1 : -1;
    switch (pos) {
      case cdvcpInsideBase: c = TRect(left, std::min(base, base + dir * h), left + w, std::max(base, base + dir * h)); break;
      case cdvcpCenter: c = TRect(left, r.Top, left + w, r.Bottom); break;
      case cdvcpInsideEnd: c = TRect(left, std::min(end, end - dir * h), left + w, std::max(end, end - dir * h)); break;
      default: c = TRect(left, std::min(end, end + dir * h), left + w, std::max(end, end + dir * h)); break;
    }
  } else {
    Integer top = (r.Top + r.Bottom - h) / 2;
    Integer base = negative ? r.Right : r.Left, end = negative ? r.Left : r.Right, dir = negative ? -1 : 1;
    switch (pos) {
      case cdvcpInsideBase: c = TRect(std::min(base, base + dir * w), top, std::max(base, base + dir * w), top + h); break;
      case cdvcpCenter: c = TRect(r.Left, top, r.Right, top + h); break;
      case cdvcpInsideEnd: c = TRect(std::min(end, end - dir * w), top, std::max(end, end - dir * w), top + h); break;
      default: c = TRect(std::min(end, end + dir * w), top, std::max(end, end + dir * w), top + h); break;
    }
  }
  CalculateInRect(c);
}

// ---- diagram -------------------------------------------------------------------------------------------------------

TcxGridChartColumnDiagramViewInfo::TcxGridChartColumnDiagramViewInfo(TcxCustomGridViewInfo* info,
                                                                     TcxGridChartColumnDiagram* diagram)
    : TcxCustomGridViewCellViewInfo(info), diagram_(diagram) {
  categoryLabels_ = std::make_unique<TcxGridChartColumnDiagramTickMarkLabelsViewInfo>(this, true);
  valueLabels_ = std::make_unique<TcxGridChartColumnDiagramTickMarkLabelsViewInfo>(this, false);
}

TcxGridChartColumnDiagramViewInfo::~TcxGridChartColumnDiagramViewInfo() = default;

void TcxGridChartColumnDiagramViewInfo::GetViewParams(TcxStyleParams& params) {
  ChartView()->GetStyles()->GetBackgroundParams(params);
  diagram_->ColumnStyles()->GetParams(TcxGridChartColumnDiagramStyles::dsPlot, PlotParams);
}

TcxCustomGridCellPainterClass TcxGridChartColumnDiagramViewInfo::GetPainterClass() {
  return TcxGridChartColumnDiagramPainter::StaticClass();
}

double TcxGridChartColumnDiagramViewInfo::GetValue(Integer visibleSeriesIndex, Integer valueIndex) const {
  return values_cache_[size_t(valueIndex) * size_t(seriesCount_) + size_t(visibleSeriesIndex)];
}

void TcxGridChartColumnDiagramViewInfo::CalculateValues() {
  TcxGridChartView* view = ChartView();
  TcxGridChartViewData* data = view->GetViewData();
  seriesCount_ = view->GetVisibleSeriesCount();
  valueCount_ = data->GetValueCount();
  values_cache_.assign(size_t(seriesCount_) * size_t(valueCount_), 0.0);
  double min = 0, max = 0;
  bool integerOnly = true;
  std::vector<Integer> seriesIndexes;
  for (Integer s = 0; s < seriesCount_; ++s) {
    TcxGridChartSeries* series = view->GetVisibleSeries(s);
    seriesIndexes.push_back(series->Index());
    integerOnly = integerOnly && series->DataBinding()->IsValueTypeInteger();
  }
  for (Integer v = 0; v < valueCount_; ++v)
    for (Integer s = 0; s < seriesCount_; ++s) {
      double x = data->GetValue(seriesIndexes[size_t(s)], v).AsDouble();
      values_cache_[size_t(v) * size_t(seriesCount_) + size_t(s)] = x;
      min = std::min(min, x);
      max = std::max(max, x);
    }
  scale_ = GridChartValueScale(min, max, integerOnly);
}

void TcxGridChartColumnDiagramViewInfo::CalculateMarks() {
  Integer u = CategoryUnits();
  categoryMarks_.clear();
  if (diagram_->AxisCategory()->ValueAxisBetweenCategories()) {
    for (Integer i = 0; i <= valueCount_; ++i) categoryMarks_.push_back({double(u * i), 0});
  } else {
    for (Integer i = 0; i < valueCount_; ++i) categoryMarks_.push_back({double(u * (2 * i + 1) / 2), 0});
  }
  valueMarks_.clear();
  for (Integer k = 0; k < scale_.MarkCount(); ++k) valueMarks_.push_back({scale_.Mark(k), 0});
}

Integer TcxGridChartColumnDiagramViewInfo::CategoryUnitToPixel(Integer units) const {
  Integer total = CategoryUnits() * valueCount_;
  bool reverse = diagram_->AxisCategory()->CategoriesInReverseOrder();
  if (IsCategoryAxisHorizontal()) {
    Integer d = total > 0 ? MulDiv(plot_.Width(), units, total) : 0;
    return reverse ? plot_.Right - d : plot_.Left + d;
  }
  Integer d = total > 0 ? MulDiv(plot_.Height(), units, total) : 0;
  return reverse ? plot_.Top + d : plot_.Bottom - d;
}

Integer TcxGridChartColumnDiagramViewInfo::ValueToPixel(double value) const {
  bool vertical = IsCategoryAxisHorizontal();
  Integer length = (vertical ? plot_.Height() : plot_.Width()) - 1;
  double range = scale_.AxisMax - scale_.AxisMin;
  Integer d = Integer(std::lround((value - scale_.AxisMin) * length / range));
  return vertical ? plot_.Bottom - d - 1 : plot_.Left + d;
}

TRect TcxGridChartColumnDiagramViewInfo::CalculateValueBounds(Integer s, Integer v) const {
  Integer o = v * CategoryUnits() + 4 * s + 3;
  Integer c1 = CategoryUnitToPixel(o), c2 = CategoryUnitToPixel(o + 4);
  Integer v1 = ValueToPixel(0), v2 = ValueToPixel(GetValue(s, v));
  TRect r = IsCategoryAxisHorizontal() ? TRect(std::min(c1, c2), std::min(v1, v2), std::max(c1, c2), std::max(v1, v2))
                                       : TRect(std::min(v1, v2), std::min(c1, c2), std::max(v1, v2), std::max(c1, c2));
  if (IsCategoryAxisHorizontal()) ++r.Bottom; else ++r.Right;
  return r;
}

TRect TcxGridChartColumnDiagramViewInfo::CategoryAxisLine() const {
  Integer p = ValueToPixel(0);
  return IsCategoryAxisHorizontal() ? TRect(plot_.Left, p, plot_.Right, p + 1) : TRect(p, plot_.Top, p + 1, plot_.Bottom);
}

TRect TcxGridChartColumnDiagramViewInfo::ValueAxisLine() const {
  if (categoryMarks_.empty()) return TRect();
  TcxGridChartPartPosition pos = diagram_->GetValueAxisPosition();
  bool atFirst = (pos == cppLeft || pos == cppBottom) != diagram_->AxisCategory()->CategoriesInReverseOrder();
  Integer p = (atFirst ? categoryMarks_.front() : categoryMarks_.back()).Position;
  return IsCategoryAxisHorizontal() ? TRect(p, plot_.Top, p + 1, plot_.Bottom) : TRect(plot_.Left, p, plot_.Right, p + 1);
}

void TcxGridChartColumnDiagramViewInfo::CalculatePlot() {
  TcxGridChartColumnDiagramTickMarkLabelsViewInfo* vert = IsCategoryAxisHorizontal() ? valueLabels_.get() : categoryLabels_.get();
  TcxGridChartColumnDiagramTickMarkLabelsViewInfo* horz = IsCategoryAxisHorizontal() ? categoryLabels_.get() : valueLabels_.get();
  Integer mL = 0, mT = 0, mR = 0, mB = 0;
  if (vert->IsCellVisible()) (vert->Position() == cppLeft ? mL : mR) = vert->LabelsWidth() + 10;
  // Ends of the value axis, so that its end labels fit.
  if (vert == valueLabels_.get() && vert->LabelsShown()) {
    mT = std::max(mT, vert->LineHeight() / 2);
    mB = std::max(mB, vert->LineHeight() / 2);
  }
  if (horz == valueLabels_.get() && horz->LabelsShown() && horz->LabelCount() > 0) {
    mL = std::max(mL, horz->LabelWidth(0) / 2);
    mR = std::max(mR, horz->LabelWidth(horz->LabelCount() - 1) / 2);
  }
  Integer length = Bounds.Width() - mL - mR;
  horz->CalculateTwoLines(length);
  Integer n = horz->LabelCount();
  if (horz == categoryLabels_.get() && horz->TwoLines() && n >= 2) {
    Integer w = length / n;
    Integer b = std::max<Integer>(0, (horz->LabelWidth(0) - w) / 2 - mL);
    Integer c = std::max<Integer>(0, (horz->LabelWidth(n - 1) - w) / 2 - mR);
    mL += MulDiv(b * (4 * n - 2) + 2 * c, 1, 4 * n - 4);
    mR += MulDiv(c * (4 * n - 2) + 2 * b, 1, 4 * n - 4);
  }
  if (horz->IsCellVisible()) {
    Integer& m = horz->Position() == cppTop ? mT : mB;
    m = std::max(m, horz->LabelsHeight() + 10);
  }
  plot_ = TRect(Bounds.Left + mL, Bounds.Top + mT, Bounds.Right - mR, Bounds.Bottom - mB);
  if (plot_.Right < plot_.Left) plot_.Left = plot_.Right;
  if (plot_.Bottom < plot_.Top) plot_.Top = plot_.Bottom;
}

void TcxGridChartColumnDiagramViewInfo::AfterCalculateBounds() {
  TcxCustomGridViewCellViewInfo::AfterCalculateBounds();
  values_.clear();
  CalculateValues();
  CalculateMarks();
  TcxGridChartViewData* data = ChartView()->GetViewData();
  std::vector<String> categories;
  for (Integer i = 0; i < valueCount_; ++i) categories.push_back(data->GetCategory(i));
  categoryLabels_->SetTexts(std::move(categories));
  std::vector<String> marks;
  for (const auto& m : valueMarks_) marks.push_back(diagram_->AxisValue()->GetTickMarkLabelText(m.Value));
  valueLabels_->SetTexts(std::move(marks));
  categoryTickLength_ = MulDiv(categoryLabels_->LineHeight(), 1, 4);
  valueTickLength_ = MulDiv(valueLabels_->LineHeight(), 1, 4);
  CalculatePlot();

  Integer total = CategoryUnits() * valueCount_;
  bool horizontalCategories = IsCategoryAxisHorizontal();
  for (auto& m : categoryMarks_) {
    m.Position = CategoryUnitToPixel(Integer(m.Value));
    if ((horizontalCategories && Integer(m.Value) == total) || (!horizontalCategories && Integer(m.Value) == 0)) --m.Position;
  }
  for (auto& m : valueMarks_) m.Position = ValueToPixel(m.Value);

  // Labels in their areas: between the diagram's edge and the plot less 10.
  auto area = [this](TcxGridChartPartPosition p) {
    switch (p) {
      case cppLeft: return TRect(Bounds.Left, Bounds.Top, plot_.Left - 10, Bounds.Bottom);
      case cppRight: return TRect(plot_.Right + 10, Bounds.Top, Bounds.Right, Bounds.Bottom);
      case cppTop: return TRect(Bounds.Left, Bounds.Top, Bounds.Right, plot_.Top - 10);
      default: return TRect(Bounds.Left, plot_.Bottom + 10, Bounds.Right, Bounds.Bottom);
    }
  };
  std::vector<Integer> categoryPositions;
  for (Integer i = 0; i < valueCount_; ++i) categoryPositions.push_back(CategoryUnitToPixel(CategoryUnits() * (2 * i + 1) / 2));
  categoryLabels_->CalculateLabels(categoryPositions, area(diagram_->GetCategoryAxisPosition()), plot_);
  std::vector<Integer> valuePositions;
  for (const auto& m : valueMarks_) valuePositions.push_back(m.Position);
  valueLabels_->CalculateLabels(valuePositions, area(diagram_->GetValueAxisPosition()), plot_);

  values_.reserve(size_t(valueCount_) * size_t(seriesCount_));
  for (Integer v = 0; v < valueCount_; ++v)
    for (Integer s = 0; s < seriesCount_; ++s) {
      values_.push_back(std::make_unique<TcxGridChartDiagramValueViewInfo>(this, s, v));
      values_.back()->CalculateInRect(CalculateValueBounds(s, v));
    }
}

TcxGridChartDiagramValueViewInfo* TcxGridChartColumnDiagramViewInfo::FindValueViewInfo(Integer s, Integer v) const {
  if (s < 0 || s >= seriesCount_ || v < 0 || v >= valueCount_) return nullptr;
  return values_[size_t(v) * size_t(seriesCount_) + size_t(s)].get();
}

TcxCustomGridHitTest* TcxGridChartColumnDiagramViewInfo::GetHitTest(const TPoint& p) {
  if (!HasPoint(p)) return nullptr;
  for (auto& value : values_)
    if (TcxCustomGridHitTest* h = value->GetHitTest(p)) return h;
  for (auto* labels : {categoryLabels_.get(), valueLabels_.get()})
    if (labels->AxisTitle()->IsCellVisible())
      if (TcxCustomGridHitTest* h = labels->AxisTitle()->GetHitTest(p)) return h;
  if (!plot_.Contains(p)) return nullptr;
  return TcxCustomGridViewCellViewInfo::GetHitTest(p);
}

void TcxGridChartColumnDiagramViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridViewCellViewInfo::InitHitTest(hitTest);
  if (auto* h = dynamic_cast<TcxCustomGridChartDiagramHitTest*>(hitTest)) h->Diagram = diagram_;
}

// ---- the chart ----------------------------------------------------------------------------------------------------

TcxGridChartViewInfo::~TcxGridChartViewInfo() { DestroyPartViewInfos(false); }

void TcxGridChartViewInfo::CreatePartViewInfos() {
  TcxGridChartView* view = ChartView();
  title_ = std::make_unique<TcxGridChartTitleViewInfo>(this, view->Title());
  if (auto* diagram = dynamic_cast<TcxGridChartColumnDiagram*>(view->ActiveDiagram())) {
    diagram_ = std::make_unique<TcxGridChartColumnDiagramViewInfo>(this, diagram);
    legend_ = std::make_unique<TcxGridChartLegendViewInfo>(this, diagram);
  }
}

void TcxGridChartViewInfo::DestroyPartViewInfos(bool) {
  legend_.reset();
  diagram_.reset();
  title_.reset();
}

void TcxGridChartViewInfo::Calculate() {
  // The parts are made anew on every calculation: series, values and the active diagram may
  // have changed since the last one.
  DestroyPartViewInfos(true);
  CreatePartViewInfos();
  TRect area = ClientBounds();
  area.Left += 10;
  area.Top += 10;
  area.Right -= 10;
  area.Bottom -= 10;
  TRect titleRect = title_->CutFrom(area);
  TRect legendRect = legend_ ? legend_->CutFrom(area) : TRect();
  if (diagram_) diagram_->CalculateInRect(area);
  if (legend_) legend_->CalculateInRect(legendRect);
  title_->CalculateInRect(titleRect);
}

TcxCustomGridHitTest* TcxGridChartViewInfo::GetContentHitTest(const TPoint& p) {
  if (diagram_)
    if (TcxCustomGridHitTest* h = diagram_->GetHitTest(p)) return h;
  if (legend_)
    if (TcxCustomGridHitTest* h = legend_->GetHitTest(p)) return h;
  if (title_ && title_->IsCellVisible())
    if (TcxCustomGridHitTest* h = title_->GetHitTest(p)) return h;
  return TcxCustomGridViewInfo::GetContentHitTest(p);
}

void TcxGridChartViewInfo::GetHeight(const TPoint& maxSize, Integer& height, bool& fullyVisible) {
  TcxCustomGridViewInfo::GetHeight(TPoint(maxSize.X, std::min<Integer>(maxSize.Y, 1073741823)), height, fullyVisible);
  fullyVisible = false;
}

void TcxGridChartPainter::PaintViewContent() {
  auto* info = static_cast<TcxGridChartViewInfo*>(PaintViewInfo());
  if (TcxGridChartLegendViewInfo* legend = info->LegendViewInfo(); legend && legend->IsCellVisible()) {
    legend->Paint(Canvas());
    ExcludeFromBackground(legend->Bounds);
  }
  if (TcxGridChartTitleViewInfo* title = info->TitleViewInfo(); title && title->IsCellVisible()) {
    title->Paint(Canvas());
    ExcludeFromBackground(title->Bounds);
  }
  if (TcxGridChartColumnDiagramViewInfo* diagram = info->DiagramViewInfo()) {
    diagram->Paint(Canvas());
    ExcludeFromBackground(diagram->Bounds);
  }
}

TClass TcxGridChartView::GetViewInfoClass() { return TcxGridChartViewInfo::StaticClass(); }

// ---- image ------------------------------------------------------------------------------------------------------------

TGraphic* CreateImage(TcxGridChartView* view, TClass graphicClass, Integer width, Integer height) {
  if (!view || !graphicClass) return nullptr;
  TcxCustomDataController* dc = view->DataController();
  if (dc && dc->DetailMode() == 1) return nullptr;
  bool metafile = graphicClass->InheritsFrom(TMetafile::StaticClass());
  if (!metafile && !graphicClass->InheritsFrom(TBitmap::StaticClass())) return nullptr;
  width = view->GetDefaultWidth(width);
  height = view->GetDefaultHeight(height);
  std::unique_ptr<TGraphic> graphic(static_cast<TGraphic*>(graphicClass->Create(nullptr)));
  graphic->SetWidth(width);
  graphic->SetHeight(height);
  // The library's canvas draws on the device context (clip regions, rotated fonts), which a
  // metafile canvas does not record: a metafile receives the chart drawn on a bitmap of its
  // size through its metafile canvas.
  std::unique_ptr<TBitmap> picture;
  TBitmap* target;
  if (metafile) {
    graphic->SetTransparent(true);
    picture = std::make_unique<TBitmap>();
    picture->SetSize(width, height);
    target = picture.get();
  } else {
    target = static_cast<TBitmap*>(graphic.get());
  }
  {
    std::unique_ptr<TcxCustomGridViewInfo> info(view->CreateViewInfo());
    info->SetInternal(true);
    info->SetClientBounds(TRect(0, 0, width, height));
    info->PlaceAndCalculate(TRect(0, 0, width, height));
    std::unique_ptr<TcxCanvas> canvas(new TcxCanvas(target->Canvas()));
    view->Painter()->Paint(canvas.get(), info.get());
  }
  if (metafile) {
    TMetafileCanvas metafileCanvas(static_cast<TMetafile*>(graphic.get()));
    metafileCanvas.Draw(0, 0, picture.get());
  }
  return graphic.release();
}

// ---- unit start --------------------------------------------------------------------------------------------------------

void InitializeCxGridChartView() {
  static bool done = false;
  if (done) return;
  done = true;
  InitializeCxGrid();
  GridRegisteredViews()->Register(TcxGridChartView::StaticClass(), "Chart");
  RegisterClass(TcxGridChartView::StaticClass());
  RegisterClass(TcxGridChartSeries::StaticClass());
  RegisterGridChartPainters();
}
