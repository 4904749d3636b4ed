// The chart view's model: data binding, categories, series, palette, titles, legends,
// diagrams with their axes, values and styles, the data controller, view data, options and the
// view itself.
#include "gridviews/cxGridChartView.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "foundation/cxLookAndFeelPainters.h"
#include "data/cxCustomDataInternal.h"
#include "rtl/SysUtils.h"
#include "rtl/Variants.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxGridChartItemDataBinding)
KORVAN_IMPLEMENT_CLASS(TcxGridChartCategories)
KORVAN_IMPLEMENT_CLASS(TcxGridChartSeriesStyles)
KORVAN_IMPLEMENT_CLASS(TcxGridChartSeries)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridChartTitle)
KORVAN_IMPLEMENT_CLASS(TcxGridChartTitle)
KORVAN_IMPLEMENT_CLASS(TcxGridChartColumnDiagramAxisTitle)
KORVAN_IMPLEMENT_CLASS(TcxGridChartLegend)
KORVAN_IMPLEMENT_CLASS(TcxGridChartDiagramStyles)
KORVAN_IMPLEMENT_CLASS(TcxGridChartColumnDiagramStyles)
KORVAN_IMPLEMENT_CLASS(TcxGridChartDiagram)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridChartDiagramOptions)
KORVAN_IMPLEMENT_CLASS(TcxGridChartColumnDiagramAxis)
KORVAN_IMPLEMENT_CLASS(TcxGridChartColumnDiagramValues)
KORVAN_IMPLEMENT_CLASS(TcxGridChartColumnDiagram)
KORVAN_IMPLEMENT_CLASS(TcxGridChartBarDiagram)
KORVAN_IMPLEMENT_CLASS(TcxGridChartViewData)
KORVAN_IMPLEMENT_CLASS(TcxGridChartOptionsBehavior)
KORVAN_IMPLEMENT_CLASS(TcxGridChartViewStyles)
KORVAN_IMPLEMENT_CLASS(TcxGridChartController)
KORVAN_IMPLEMENT_CLASS(TcxGridChartPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridChartView)

namespace {

// Numeric values: integers of any width and single, double, currency (Booleans are not).
bool IsNumericValue(const Variant& v) { return VarIsFloat(v) || (VarIsOrdinal(v) && !VarIsType(v, varBoolean)); }

// The same for the values a value type holds (a sample value of the type's variant code).
Variant SampleOfType(TVarType t) {
  if (t == varVariant) return Variant();
  try {
    return VarAsType(Variant(0), t);
  } catch (const Exception&) {
    return Variant();
  }
}
bool IsIntegerVarType(TVarType t) { return t != varBoolean && VarIsOrdinal(SampleOfType(t)); }
bool IsNumericVarType(TVarType t) { return IsNumericValue(SampleOfType(t)); }

TcxCustomLookAndFeelPainterClass PainterOf(TcxCustomGridView* view) {
  TcxCustomGrid* grid = view ? view->Control() : nullptr;
  return grid ? grid->CurrentPainter() : TcxStandardLookAndFeelPainter::Class();
}

}  // namespace

TColor GridChartPaletteColor(Integer k) {
  static const Byte rgb[24][3] = {
      {255, 193, 96}, {92, 131, 180}, {165, 88, 124}, {108, 124, 101}, {230, 121, 99}, {91, 160, 154},
      {207, 93, 96},  {70, 136, 106}, {245, 163, 97}, {158, 153, 88},  {255, 140, 90}, {122, 151, 173},
      {84, 142, 128}, {185, 201, 149}, {165, 99, 103}, {77, 140, 172}, {251, 228, 128}, {73, 99, 149},
      {192, 80, 77},  {139, 180, 103}, {132, 165, 214}, {221, 216, 115}, {77, 103, 137}, {165, 181, 156}};
  Integer i = ((k % 24) + 24) % 24;
  return TColor(rgb[i][0] | (rgb[i][1] << 8) | (rgb[i][2] << 16));
}

// ---- data binding ------------------------------------------------------------------------------------

TcxGridChartItemDataBinding::TcxGridChartItemDataBinding(TcxGridChartView* view, bool isSeries,
                                                         TcxValueTypeClass defaultValueTypeClass)
    : view_(view), isSeries_(isSeries), defaultValueTypeClass_(defaultValueTypeClass) {}

TcxGridChartItemDataBinding::~TcxGridChartItemDataBinding() = default;

Integer TcxGridChartItemDataBinding::ItemIndex() const {
  if (!field_) return -1;
  // The field's own index is a search over all fields; a view's series ask for theirs once
  // per series in every assignment and sort, so the last answer is kept while it holds.
  TcxCustomDataController* dc = view_->DataController();
  if (!dc) return field_->Index();
  if (indexHint_ < 0 || indexHint_ >= dc->GetItemCount() || dc->FieldOfItem(indexHint_) != field_)
    indexHint_ = field_->Index();
  return indexHint_;
}

TcxValueTypeClass TcxGridChartItemDataBinding::ValueTypeClass() const {
  if (!field_ || !view_->DataController()) return defaultValueTypeClass_;
  TcxValueTypeClass cls = view_->DataController()->ItemValueTypeClass(ItemIndex());
  return cls ? cls : defaultValueTypeClass_;
}

String TcxGridChartItemDataBinding::ValueType() const {
  TcxValueTypeClass cls = ValueTypeClass();
  return cls ? cls->Caption() : String();
}

void TcxGridChartItemDataBinding::SetValueType(const String& caption) {
  if (caption == ValueType()) return;
  TcxValueTypeClass cls = GetValueTypeClassList().ItemByCaption(caption);
  if (!cls || !IsValueTypeClassValid(cls) || !field_) return;
  view_->DataController()->ChangeValueTypeClass(ItemIndex(), cls);
}

bool TcxGridChartItemDataBinding::IsValueTypeClassValid(TcxValueTypeClass cls) const {
  return !isSeries_ || (cls && IsNumericVarType(cls->VariantTypeCode()));
}

bool TcxGridChartItemDataBinding::IsValueTypeInteger() const {
  TcxValueTypeClass cls = ValueTypeClass();
  return cls && IsIntegerVarType(cls->VariantTypeCode());
}

TcxDataSortOrder TcxGridChartItemDataBinding::SortOrder() const {
  return field_ ? view_->DataController()->ItemSortOrder(ItemIndex()) : soNone;
}

void TcxGridChartItemDataBinding::SetSortOrder(TcxDataSortOrder v) {
  if (!field_ || v == SortOrder()) return;
  view_->BeginUpdate();
  Finally end{[this] { view_->EndUpdate(); }};
  TcxCustomDataController* dc = view_->DataController();
  if (dc->ItemSortOrder(ItemIndex()) == soNone) dc->ClearSorting(false);
  dc->ChangeItemSortOrder(ItemIndex(), v);
}

void TcxGridChartItemDataBinding::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxGridChartItemDataBinding*>(source);
  if (!s) return TPersistent::Assign(source);
  if (field_ && s->ValueTypeClass() != ValueTypeClass() && IsValueTypeClassValid(s->ValueTypeClass()))
    view_->DataController()->ChangeValueTypeClass(ItemIndex(), s->ValueTypeClass());
}

void TcxGridChartItemDataBinding::Link(TObject* item) {
  TcxCustomDataController* dc = view_->DataController();
  field_ = dc->AddItem(item);
  id_ = view_->GetNextID();
  dc->ChangeValueTypeClass(ItemIndex(), defaultValueTypeClass_);
}

void TcxGridChartItemDataBinding::Unlink(TObject* item) {
  if (!field_) return;
  view_->ReleaseID(id_);
  id_ = -1;
  field_ = nullptr;
  if (TcxCustomDataController* dc = view_->DataController()) dc->RemoveItem(item);
}

// ---- categories ----------------------------------------------------------------------------------------

TcxGridChartCategories::TcxGridChartCategories(TcxCustomGridView* view)
    : TcxCustomGridOptions(view),
      binding_(std::make_unique<TcxGridChartItemDataBinding>(static_cast<TcxGridChartView*>(view), false,
                                                             TcxStringValueType::Class())) {}

TcxGridChartCategories::~TcxGridChartCategories() = default;

TcxGridChartView* TcxGridChartCategories::ChartView() const { return static_cast<TcxGridChartView*>(GridView()); }

String TcxGridChartCategories::GetValue(Integer index) const { return ChartView()->GetViewData()->GetCategory(index); }

Integer TcxGridChartCategories::GetValueCount() const { return ChartView()->GetViewData()->GetValueCount(); }

void TcxGridChartCategories::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridChartCategories*>(source)) {
    binding_->Assign(s->binding_.get());
    SetSortOrder(s->SortOrder());
  }
}

// ---- series styles ------------------------------------------------------------------------------------

TcxGridChartSeriesStyles::TcxGridChartSeriesStyles(TPersistent* owner) : TcxCustomGridStyles(owner) {}

TcxGridChartSeries* TcxGridChartSeriesStyles::Series() const { return dynamic_cast<TcxGridChartSeries*>(Owner()); }

TcxCustomGridView* TcxGridChartSeriesStyles::GridView() const {
  TcxGridChartSeries* s = Series();
  return s ? s->GridView() : nullptr;
}

void TcxGridChartSeriesStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxCustomGridStyles::DefaultViewParams(index, data, params);
  if (index != sValues) return;
  auto* valueData = dynamic_cast<TcxGridChartDiagramValueData*>(data);
  Integer valueIndex = valueData ? valueData->ValueIndex : -1;
  TcxGridChartSeries* series = Series();
  params.Color = GridChartPaletteColor(valueIndex >= 0 ? valueIndex : (series ? series->Index() : 0));
}

void TcxGridChartSeriesStyles::GetValueParams(Integer valueIndex, bool varyByCategory, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (valueIndex != -1 && OnGetValueStyle) OnGetValueStyle(Series(), valueIndex, style);
  TcxGridChartDiagramValueData data(-1, varyByCategory ? valueIndex : -1);
  ResolveViewParams(sValues, &data, style, params);
}

// ---- series ------------------------------------------------------------------------------------------------

TcxGridChartSeries::TcxGridChartSeries(TComponent* owner) : TcxComponent(owner) {}

TcxGridChartSeries::~TcxGridChartSeries() {
  if (view_) view_->RemoveSeries(this);
  styles_.reset();
  binding_.reset();
}

void TcxGridChartSeries::JoinView(TcxGridChartView* view) {
  view_ = view;
  if (view && !binding_) {
    binding_ = std::make_unique<TcxGridChartItemDataBinding>(view, true, GetDefaultValueTypeClass());
    styles_ = std::make_unique<TcxGridChartSeriesStyles>(this);
  }
}

Integer TcxGridChartSeries::Index() const { return view_ ? view_->IndexOfSeries(this) : -1; }

void TcxGridChartSeries::Changed(Integer kind) {
  if (view_) view_->Changed(kind);
}

void TcxGridChartSeries::SetDisplayText(const String& v) {
  if (v == displayText_) return;
  displayText_ = v;
  Changed(1);
}

void TcxGridChartSeries::SetTag(Integer v) {
  if (v == Tag()) return;
  TComponent::SetTag(v);
  Changed(0);
}

void TcxGridChartSeries::SetValueCaptionFormat(const String& v) {
  if (v == valueCaptionFormat_) return;
  valueCaptionFormat_ = v;
  Changed(1);
}

void TcxGridChartSeries::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (view_) view_->RefreshVisibleSeriesList();
  Changed(1);
}

String TcxGridChartSeries::GetDisplayName() const { return Name().empty() ? String("<no display text>") : Name(); }

TcxValueTypeClass TcxGridChartSeries::GetDefaultValueTypeClass() const { return TcxFloatValueType::Class(); }

bool TcxGridChartSeries::DoCustomDrawValue(TcxCanvas* canvas, TcxGridChartDiagramValueViewInfo* viewInfo) {
  bool done = false;
  if (HasCustomDrawValue()) OnCustomDrawValue(this, canvas, viewInfo, done);
  return done;
}

String TcxGridChartSeries::GetDisplayText() const { return displayText_.empty() ? GetDisplayName() : displayText_; }

Variant TcxGridChartSeries::GetValue(Integer valueIndex) const {
  if (!view_) return Variant(0);
  return view_->GetViewData()->GetValue(Index(), valueIndex);
}

String TcxGridChartSeries::GetValueDisplayText(Integer valueIndex) const {
  Variant v = GetValue(valueIndex);
  if (!valueCaptionFormat_.empty()) return FormatFloat(valueCaptionFormat_, v.AsDouble());
  return VarToStr(v);
}

void TcxGridChartSeries::SetName(const String& v) {
  TcxComponent::SetName(v);
  Changed(1);
}

TComponent* TcxGridChartSeries::GetParentComponent() const { return view_; }

void TcxGridChartSeries::SetParentComponent(TComponent* value) {
  if (auto* view = dynamic_cast<TcxGridChartView*>(value)) view->AddSeries(this);
}

void TcxGridChartSeries::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxGridChartSeries*>(source);
  if (!s) return TcxComponent::Assign(source);
  if (binding_ && s->binding_) binding_->Assign(s->binding_.get());
  SetDisplayText(s->displayText_);
  SetSortOrder(s->SortOrder());
  if (styles_ && s->styles_) {
    styles_->AssignFrom(s->styles_.get());
    styles_->OnGetValueStyle = s->styles_->OnGetValueStyle;
  }
  SetTag(Integer(s->Tag()));
  SetValueCaptionFormat(s->valueCaptionFormat_);
  SetVisible(s->visible_);
  OnCustomDrawValue = s->OnCustomDrawValue;
}

// ---- titles ------------------------------------------------------------------------------------------

void TcxCustomGridChartTitle::SetAlignment(TcxGridChartPartAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Changed(1);
}

void TcxCustomGridChartTitle::SetText(const String& v) {
  if (v == text_) return;
  text_ = v;
  Changed(1);
}

TcxGridChartPartPosition TcxCustomGridChartTitle::GetPosition() const {
  if (text_.empty()) return cppNone;
  TcxGridChartPartPosition p = OwnPosition();
  return p == cppDefault ? DefaultPosition() : p;
}

TcxGridChartPartOrientation TcxCustomGridChartTitle::GetOrientation() const {
  TcxGridChartPartPosition p = GetPosition();
  return p == cppTop || p == cppBottom ? cpoHorizontal : cpoVertical;
}

void TcxCustomGridChartTitle::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomGridChartTitle*>(source)) {
    SetAlignment(s->alignment_);
    SetText(s->text_);
  }
}

void TcxGridChartTitle::SetPosition(TcxGridChartPartPosition v) {
  if (v == position_) return;
  position_ = v;
  Changed(1);
}

void TcxGridChartTitle::AssignFrom(TPersistent* source) {
  TcxCustomGridChartTitle::AssignFrom(source);
  if (auto* s = dynamic_cast<TcxGridChartTitle*>(source)) SetPosition(s->position_);
}

TcxGridChartPartPosition TcxGridChartColumnDiagramAxisTitle::DefaultPosition() const { return axis_->GetPosition(); }

// ---- legend --------------------------------------------------------------------------------------------

TcxGridChartPartAlignment TcxGridChartLegend::GetAlignment() const {
  if (alignment_ != cpaDefault) return alignment_;
  return parent_ ? parent_->GetAlignment() : cpaCenter;
}

TcxGridChartLegendBorder TcxGridChartLegend::GetBorder() const {
  if (border_ != lbDefault) return border_;
  return parent_ ? parent_->GetBorder() : lbNone;
}

TcxGridChartLegendBorder TcxGridChartLegend::GetKeyBorder() const {
  if (keyBorder_ != lbDefault) return keyBorder_;
  return parent_ ? parent_->GetKeyBorder() : lbSingle;
}

TcxGridChartPartPosition TcxGridChartLegend::GetPosition() const {
  if (position_ != cppDefault) return position_;
  return parent_ ? parent_->GetPosition() : cppRight;
}

TcxGridChartPartOrientation TcxGridChartLegend::GetOrientationFor(TcxGridChartPartPosition position) const {
  if (orientation_ != cpoDefault) return orientation_;
  if (parent_) return parent_->GetOrientationFor(position);
  return position == cppTop || position == cppBottom ? cpoHorizontal : cpoVertical;
}

void TcxGridChartLegend::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridChartLegend*>(source)) {
    SetAlignment(s->alignment_);
    SetBorder(s->border_);
    SetKeyBorder(s->keyBorder_);
    SetOrientation(s->orientation_);
    SetPosition(s->position_);
  }
}

// ---- diagram styles ----------------------------------------------------------------------------------------

TcxGridChartDiagramStyles::TcxGridChartDiagramStyles(TPersistent* owner) : TcxCustomGridStyles(owner) {}

TcxGridChartDiagram* TcxGridChartDiagramStyles::Diagram() const { return dynamic_cast<TcxGridChartDiagram*>(Owner()); }

TcxCustomGridView* TcxGridChartDiagramStyles::GridView() const {
  TcxGridChartDiagram* d = Diagram();
  return d ? d->GridView() : nullptr;
}

void TcxGridChartDiagramStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxGridChartDiagram* diagram = Diagram();
  TcxGridChartView* view = diagram ? diagram->GridView() : nullptr;
  switch (index) {
    case dsLegend:
      view->GetStyles()->GetParams(TcxGridChartViewStyles::vsLegend, params);
      return;
    case dsValueCaptions:
      TcxCustomGridStyles::DefaultViewParams(index, data, params);
      params.TextColor = PainterOf(view)->ChartValueCaptionTextColor();
      return;
    case dsValues: {
      auto* valueData = dynamic_cast<TcxGridChartDiagramValueData*>(data);
      Integer s = valueData ? valueData->VisibleSeriesIndex : -1;
      Integer v = valueData ? valueData->ValueIndex : -1;
      if (s < 0 || s >= view->GetVisibleSeriesCount()) {
        TcxCustomGridStyles::DefaultViewParams(index, data, params);
        params.Color = GridChartPaletteColor(std::max<Integer>(v, 0));
      } else {
        view->GetVisibleSeries(s)->Styles()->GetValueParams(v, diagram->IsCategoriesColored(), params);
      }
      params.TextColor = PainterOf(view)->ChartValueTextColor();
      return;
    }
    default:
      TcxCustomGridStyles::DefaultViewParams(index, data, params);
  }
}

void TcxGridChartDiagramStyles::GetValueParams(Integer visibleSeriesIndex, Integer valueIndex, TcxStyleParams& params) {
  TcxGridChartDiagramValueData data(visibleSeriesIndex, valueIndex);
  ResolveViewParams(dsValues, &data, nullptr, params);
}

void TcxGridChartColumnDiagramStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxCustomLookAndFeelPainterClass painter = PainterOf(GridView());
  switch (index) {
    case dsAxis:
      TcxCustomGridStyles::DefaultViewParams(index, data, params);
      params.Color = painter->ChartAxisColor();
      params.TextColor = painter->ContentTextColor();
      return;
    case dsCategoryAxis: case dsValueAxis:
      ResolveViewParams(dsAxis, data, nullptr, params);
      return;
    case dsAxisTitle:
      TcxCustomGridStyles::DefaultViewParams(index, data, params);
      params.TextColor = painter->ContentTextColor();
      return;
    case dsCategoryAxisTitle: case dsValueAxisTitle:
      ResolveViewParams(dsAxisTitle, data, nullptr, params);
      return;
    case dsGridLines:
      TcxCustomGridStyles::DefaultViewParams(index, data, params);
      params.Color = painter->ChartGridLinesColor();
      return;
    case dsCategoryGridLines: case dsValueGridLines:
      ResolveViewParams(dsGridLines, data, nullptr, params);
      return;
    case dsPlot:
      TcxCustomGridStyles::DefaultViewParams(index, data, params);
      params.Color = painter->ChartPlotColor();
      return;
    default:
      TcxGridChartDiagramStyles::DefaultViewParams(index, data, params);
  }
}

// ---- diagrams ----------------------------------------------------------------------------------------------

TcxGridChartDiagram::TcxGridChartDiagram(TcxGridChartView* view) : view_(view) {}

TcxGridChartDiagram::~TcxGridChartDiagram() = default;

void TcxGridChartDiagram::CreateSubobjects() {
  legend_ = std::make_unique<TcxGridChartLegend>(view_, view_->Legend());
  styles_.reset(static_cast<TcxGridChartDiagramStyles*>(GetStylesClass()->Create(this)));
}

bool TcxGridChartDiagram::Active() const { return view_->ActiveDiagram() == this; }

void TcxGridChartDiagram::SetActive(bool v) {
  if (v) view_->SetActiveDiagram(this);
}

void TcxGridChartDiagram::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  if (v) {
    if (!view_->ActiveDiagram()) view_->SetActiveDiagram(this);
  } else if (Active()) {
    view_->SetActiveDiagram(nullptr);
  }
  Changed(1);
}

void TcxGridChartDiagram::Changed(Integer kind) { view_->Changed(kind); }

String TcxGridChartDiagram::GetDisplayText() const {
  String name = ClassType()->ClassName();
  String s = name.size() > 12 ? name.substr(12) : String();
  size_t p = s.find("Diagram");
  if (p == String::npos || p == 0) return s;
  return s.substr(0, p) + " " + s.substr(p);
}

bool TcxGridChartDiagram::DoCustomDrawLegend(TcxCanvas* canvas, TcxGridChartLegendViewInfo* viewInfo) {
  bool done = false;
  if (OnCustomDrawLegend) OnCustomDrawLegend(this, canvas, viewInfo, done);
  return done;
}

bool TcxGridChartDiagram::DoCustomDrawLegendItem(TcxCanvas* canvas, TcxGridChartLegendItemViewInfo* viewInfo) {
  bool done = false;
  if (OnCustomDrawLegendItem) OnCustomDrawLegendItem(this, canvas, viewInfo, done);
  return done;
}

bool TcxGridChartDiagram::DoCustomDrawValue(TcxCanvas* canvas, TcxGridChartDiagramValueViewInfo* viewInfo) {
  bool done = false;
  if (OnCustomDrawValue) OnCustomDrawValue(this, canvas, viewInfo, done);
  return done;
}

void TcxGridChartDiagram::GetValueDisplayText(TcxGridChartSeries* series, Integer valueIndex, String& text) {
  text = series->GetValueDisplayText(valueIndex);
}

void TcxGridChartDiagram::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxGridChartDiagram*>(source);
  if (!s) return TPersistent::Assign(source);
  SetEnabled(s->enabled_);
  if (s->Active()) SetActive(true);
  legend_->AssignFrom(s->legend_.get());
  styles_->AssignFrom(s->styles_.get());
  OnCustomDrawLegend = s->OnCustomDrawLegend;
  OnCustomDrawLegendItem = s->OnCustomDrawLegendItem;
  OnCustomDrawValue = s->OnCustomDrawValue;
}

void TcxCustomGridChartDiagramOptions::Changed(Integer kind) { diagram_->Changed(kind); }

TcxGridChartColumnDiagramAxis::TcxGridChartColumnDiagramAxis(TcxGridChartColumnDiagram* diagram, bool isCategory)
    : TcxCustomGridChartDiagramOptions(diagram),
      isCategory_(isCategory),
      title_(std::make_unique<TcxGridChartColumnDiagramAxisTitle>(diagram->GridView(), this)) {}

TcxGridChartColumnDiagramAxis::~TcxGridChartColumnDiagramAxis() = default;

TcxGridChartPartPosition TcxGridChartColumnDiagramAxis::GetPosition() const {
  return isCategory_ ? Diagram()->GetCategoryAxisPosition() : Diagram()->GetValueAxisPosition();
}

String TcxGridChartColumnDiagramAxis::GetTickMarkLabelFormat() const {
  if (!tickMarkLabelFormat_.empty()) return tickMarkLabelFormat_;
  TcxGridChartView* view = Diagram()->GridView();
  if (view->GetVisibleSeriesCount() == 0) return String();
  String format = view->GetVisibleSeries(0)->ValueCaptionFormat();
  for (Integer i = 1; i < view->GetVisibleSeriesCount(); ++i)
    if (view->GetVisibleSeries(i)->ValueCaptionFormat() != format) return String();
  return format;
}

String TcxGridChartColumnDiagramAxis::GetTickMarkLabelText(double value) const {
  String format = GetTickMarkLabelFormat();
  if (!format.empty()) return FormatFloat(format, value);
  return FloatToStr(value);
}

void TcxGridChartColumnDiagramAxis::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxGridChartColumnDiagramAxis*>(source);
  if (!s) return TPersistent::Assign(source);
  SetGridLines(s->gridLines_);
  SetTickMarkKind(s->tickMarkKind_);
  SetTickMarkLabels(s->tickMarkLabels_);
  title_->AssignFrom(s->title_.get());
  SetVisible(s->visible_);
  SetCategoriesInReverseOrder(s->categoriesInReverseOrder_);
  SetValueAxisAtMaxCategory(s->valueAxisAtMaxCategory_);
  SetValueAxisBetweenCategories(s->valueAxisBetweenCategories_);
  SetTickMarkLabelFormat(s->tickMarkLabelFormat_);
}

void TcxGridChartColumnDiagramValues::SetBorderWidth(Integer v) {
  v = std::max<Integer>(v, 0);
  if (v == borderWidth_) return;
  borderWidth_ = v;
  Changed(1);
}

void TcxGridChartColumnDiagramValues::SetCaptionPosition(TcxGridChartColumnDiagramValueCaptionPosition v) {
  if (v == captionPosition_) return;
  captionPosition_ = v;
  Changed(1);
}

void TcxGridChartColumnDiagramValues::SetVaryColorsByCategory(bool v) {
  if (v == varyColorsByCategory_) return;
  varyColorsByCategory_ = v;
  Changed(1);
}

void TcxGridChartColumnDiagramValues::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxGridChartColumnDiagramValues*>(source);
  if (!s) return TPersistent::Assign(source);
  SetBorderWidth(s->borderWidth_);
  SetCaptionPosition(s->captionPosition_);
  SetVaryColorsByCategory(s->varyColorsByCategory_);
}

TcxGridChartColumnDiagram::TcxGridChartColumnDiagram(TcxGridChartView* view)
    : TcxGridChartDiagram(view),
      axisCategory_(std::make_unique<TcxGridChartColumnDiagramAxis>(this, true)),
      axisValue_(std::make_unique<TcxGridChartColumnDiagramAxis>(this, false)),
      values_(std::make_unique<TcxGridChartColumnDiagramValues>(this)) {}

TcxGridChartColumnDiagram::~TcxGridChartColumnDiagram() = default;

bool TcxGridChartColumnDiagram::DoCustomDrawPlot(TcxCanvas* canvas, TcxGridChartColumnDiagramViewInfo* viewInfo,
                                                 const TRect& r) {
  bool done = false;
  if (HasCustomDrawPlot()) OnCustomDrawPlot(this, canvas, viewInfo, r, done);
  return done;
}

TcxGridChartPartPosition TcxGridChartColumnDiagram::GetValueAxisPosition() const {
  return axisCategory_->ValueAxisAtMaxCategory() == axisCategory_->CategoriesInReverseOrder() ? cppLeft : cppRight;
}

TcxGridChartPartPosition TcxGridChartBarDiagram::GetValueAxisPosition() const {
  return AxisCategory()->ValueAxisAtMaxCategory() == AxisCategory()->CategoriesInReverseOrder() ? cppBottom : cppTop;
}

bool TcxGridChartColumnDiagram::IsCategoriesColored() const {
  return GridView()->GetVisibleSeriesCount() == 1 && values_->VaryColorsByCategory();
}

void TcxGridChartColumnDiagram::Assign(TPersistent* source) {
  TcxGridChartDiagram::Assign(source);
  if (auto* s = dynamic_cast<TcxGridChartColumnDiagram*>(source)) {
    axisCategory_->Assign(s->axisCategory_.get());
    axisValue_->Assign(s->axisValue_.get());
    values_->Assign(s->values_.get());
    OnCustomDrawPlot = s->OnCustomDrawPlot;
  }
}

// ---- data controller and view data ----------------------------------------------------------------------

TcxGridChartDataController::TcxGridChartDataController(TComponent* owner) : TcxDataController(owner) {}

TcxGridChartView* TcxGridChartDataController::GridView() const { return dynamic_cast<TcxGridChartView*>(GetOwner()); }

int TcxGridChartDataController::GetItemID(TObject* item) {
  if (auto* c = dynamic_cast<TcxGridChartCategories*>(item)) return c->DataBinding()->ID();
  if (auto* s = dynamic_cast<TcxGridChartSeries*>(item)) return s->ID();
  return -1;
}

TObject* TcxGridChartDataController::GetItem(int index) {
  TcxGridChartView* view = GridView();
  if (!view) return TcxDataController::GetItem(index);
  if (index == 0) return view->Categories();
  if (index >= 1 && index <= view->GetSeriesCount()) return view->GetSeries(index - 1);
  return nullptr;
}

void TcxGridChartDataController::BeginUpdate() {
  if (TcxGridChartView* view = GridView()) view->BeginUpdate();
  TcxDataController::BeginUpdate();
}

void TcxGridChartDataController::EndUpdate() {
  TcxDataController::EndUpdate();
  if (TcxGridChartView* view = GridView()) view->EndUpdate();
}

TcxGridChartView* TcxGridChartViewData::ChartView() const { return static_cast<TcxGridChartView*>(GridView()); }

Integer TcxGridChartViewData::GetValueCount() const { return DataController()->RowCount(); }

Integer TcxGridChartViewData::GetRecordIndex(Integer valueIndex) const {
  if (valueIndex < 0 || valueIndex >= DataController()->RowCount()) return -1;
  return DataController()->RowInfoAt(valueIndex).RecordIndex;
}

String TcxGridChartViewData::GetCategory(Integer valueIndex) const {
  Integer record = GetRecordIndex(valueIndex);
  TcxGridChartItemDataBinding* b = ChartView()->Categories()->DataBinding();
  if (record < 0 || b->ItemIndex() < 0) return String();
  Variant v = DataController()->GetValue(record, b->ItemIndex());
  return VarIsNull(v) || VarIsEmpty(v) ? String() : VarToStr(v);
}

Variant TcxGridChartViewData::GetValue(Integer seriesIndex, Integer valueIndex) const {
  Integer record = GetRecordIndex(valueIndex);
  TcxGridChartView* view = ChartView();
  if (record < 0 || seriesIndex < 0 || seriesIndex >= view->GetSeriesCount()) return Variant(0);
  Integer item = view->GetSeries(seriesIndex)->DataBinding()->ItemIndex();
  if (item < 0) return Variant(0);
  Variant v = DataController()->GetValue(record, item);
  if (!IsNumericValue(v)) return Variant(0);
  return v;
}

// ---- options and styles ----------------------------------------------------------------------------------

void TcxGridChartOptionsBehavior::SetValueHints(bool v) {
  if (v == valueHints_) return;
  valueHints_ = v;
  Changed(0);
}

void TcxGridChartOptionsBehavior::AssignFrom(TPersistent* source) {
  TcxCustomGridOptionsBehavior::AssignFrom(source);
  if (auto* s = dynamic_cast<TcxGridChartOptionsBehavior*>(source)) SetValueHints(s->valueHints_);
}

void TcxGridChartViewStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxCustomGridViewStyles::DefaultViewParams(index, data, params);
  TcxCustomLookAndFeelPainterClass painter = PainterOf(GridView());
  if (index == vsTitle) {
    params.TextColor = painter->ContentTextColor();
  } else if (index == vsLegend) {
    params.Color = painter->ContentColor();
    params.TextColor = painter->ContentTextColor();
  }
}

// ---- controller --------------------------------------------------------------------------------------------

TcxGridChartView* TcxGridChartController::ChartView() const { return static_cast<TcxGridChartView*>(GridView()); }

bool TcxGridChartController::HandlesDesignTimeMouse(TcxCustomGridHitTest* hitTest) {
  if (TcxCustomGridController::HandlesDesignTimeMouse(hitTest)) return true;
  Integer code = hitTest ? hitTest->GetHitTestCode() : -1;
  return code == 53 || code == 54;
}

TObject* TcxGridChartController::GetPatternObject(TObject* object) {
  if (auto* s = dynamic_cast<TcxGridChartSeries*>(object)) {
    auto* pattern = static_cast<TcxGridChartView*>(GridView()->PatternOrSelf());
    return pattern->FindSeriesByID(s->ID());
  }
  return TcxCustomGridController::GetPatternObject(object);
}

void TcxGridChartController::GetValueHintText(TcxGridChartSeries* series, Integer valueIndex, String& text) {
  text = Format(ReplaceResourceText("%s for %s is %s"),
                {series->GetDisplayText(), ChartView()->GetViewData()->GetCategory(valueIndex),
                 series->GetValueDisplayText(valueIndex)});
  ChartView()->DoGetValueHint(series, valueIndex, text);
}

// ---- the view ------------------------------------------------------------------------------------------------

TcxGridChartView::TcxGridChartView(TComponent* owner) : TcxCustomGridView(owner) {}

TcxGridChartView::~TcxGridChartView() = default;

void TcxGridChartView::CreateOptions() {
  TcxCustomGridView::CreateOptions();
  legend_ = new TcxGridChartLegend(this);
  title_ = new TcxGridChartTitle(this);
}

void TcxGridChartView::DestroyOptions() {
  FreeAndNil(title_);
  FreeAndNil(legend_);
  TcxCustomGridView::DestroyOptions();
}

void TcxGridChartView::CreateHandlers() {
  categories_ = new TcxGridChartCategories(this);
  diagramColumn_ = new TcxGridChartColumnDiagram(this);
  diagramColumn_->CreateSubobjects();
  AddDiagram(diagramColumn_);
  diagramBar_ = new TcxGridChartBarDiagram(this);
  diagramBar_->CreateSubobjects();
  AddDiagram(diagramBar_);
  TcxCustomGridView::CreateHandlers();
  categories_->DataBinding()->Link(categories_);
}

void TcxGridChartView::DestroyHandlers() {
  activeDiagram_ = nullptr;
  for (TcxGridChartDiagram* d : diagrams_) delete d;
  diagrams_.clear();
  diagramColumn_ = nullptr;
  diagramBar_ = nullptr;
  while (!series_.empty()) delete series_.back();
  if (categories_) categories_->DataBinding()->Unlink(categories_);
  TcxCustomGridView::DestroyHandlers();
  visibleSeries_.clear();
  FreeAndNil(categories_);
}

TcxGridChartViewInfo* TcxGridChartView::GetViewInfo() const {
  return reinterpret_cast<TcxGridChartViewInfo*>(ViewInfo());
}

void TcxGridChartView::SetName(const String& newName) {
  String old = Name();
  TcxCustomGridView::SetName(newName);
  if (old == Name() || !Owner()) return;
  std::vector<TcxGridChartSeries*> own;
  for (TcxGridChartSeries* s : series_)
    if (s->Owner() == Owner()) own.push_back(s);
  RenameChildrenByPrefix(this, Owner(), Name(), old, Integer(own.size()),
                         [own](TComponent*, int i) -> TComponent* { return own[size_t(i)]; });
}

void TcxGridChartView::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TcxCustomGridView::GetChildren(proc, root);
  for (TcxGridChartSeries* s : series_)
    if (s->Owner() == root) proc(s);
}

void TcxGridChartView::UpdateControl(TcxUpdateControlInfo* info) {
  if (!IsDestroying() && !BeingLoaded() && !dynamic_cast<TcxFocusedRowChangedInfo*>(info)) {
    Changed(1);
    if (dynamic_cast<TcxDataChangedInfo*>(info) || dynamic_cast<TcxLayoutChangedInfo*>(info))
      SynchronizeWithPattern(true);
  }
  TcxCustomGridView::UpdateControl(info);
}

// Diagrams.

TcxGridChartDiagram* TcxGridChartView::FirstEnabledDiagram() const {
  for (TcxGridChartDiagram* d : diagrams_)
    if (d->Enabled()) return d;
  return nullptr;
}

void TcxGridChartView::AddDiagram(TcxGridChartDiagram* diagram) {
  diagrams_.push_back(diagram);
  if (!activeDiagram_) SetActiveDiagram(nullptr);
}

void TcxGridChartView::RemoveDiagram(TcxGridChartDiagram* diagram) {
  auto it = std::find(diagrams_.begin(), diagrams_.end(), diagram);
  if (it == diagrams_.end()) return;
  diagrams_.erase(it);
  if (diagram == diagramColumn_) diagramColumn_ = nullptr;
  if (diagram == diagramBar_) diagramBar_ = nullptr;
  if (diagram == activeDiagram_) {
    activeDiagram_ = nullptr;
    SetActiveDiagram(nullptr);
  }
}

void TcxGridChartView::SetActiveDiagram(TcxGridChartDiagram* diagram) {
  if (!diagram) diagram = FirstEnabledDiagram();
  if (diagram == activeDiagram_ || (diagram && !diagram->Enabled())) return;
  activeDiagram_ = diagram;
  Changed(1);
  DoActiveDiagramChanged(diagram);
}

String TcxGridChartView::GetPresentationCaption(Integer i) const { return Diagrams(i)->GetDisplayText(); }

void TcxGridChartView::ExecutePresentation(Integer i) {
  TcxGridChartDiagram* d = Diagrams(i);
  if (d->Active()) return;
  d->SetActive(true);
  if (Control() && d->Active()) Control()->NotifyDesignerModified();
  if (Level() && Level()->IsTop()) Level()->SetActive(true);
}

// Series.

TcxGridChartSeries* TcxGridChartView::CreateSeries() {
  auto* series = new TcxGridChartSeries(Owner());
  AddSeries(series);
  return series;
}

void TcxGridChartView::AddSeries(TcxGridChartSeries* series) {
  if (std::find(series_.begin(), series_.end(), series) != series_.end()) return;
  series_.push_back(series);
  series->JoinView(this);
  RefreshVisibleSeriesList();
  series->DataBinding()->Link(series);
  Changed(1);
}

void TcxGridChartView::RemoveSeries(TcxGridChartSeries* series) {
  auto it = std::find(series_.begin(), series_.end(), series);
  if (it == series_.end()) return;
  series->DataBinding()->Unlink(series);
  series_.erase(std::find(series_.begin(), series_.end(), series));
  series->view_ = nullptr;
  RefreshVisibleSeriesList();
  if (!IsDestroying()) Changed(1);
}

void TcxGridChartView::ClearSeries() {
  BeginUpdate();
  Finally end{[this] { EndUpdate(); }};
  // Every series goes: the visible list is emptied first (it never points at a freed one) and
  // rebuilt once at the end, not once per series freed.
  visibleSeries_.clear();
  holdVisibleList_ = true;
  {
    Finally release{[this] {
      holdVisibleList_ = false;
      RefreshVisibleSeriesList();
    }};
    while (!series_.empty()) delete series_.back();
  }
}

void TcxGridChartView::ChangeSeriesIndex(TcxGridChartSeries* series, Integer index) {
  auto it = std::find(series_.begin(), series_.end(), series);
  if (it == series_.end()) return;
  index = std::clamp<Integer>(index, 0, GetSeriesCount() - 1);
  if (it - series_.begin() == index) return;
  series_.erase(it);
  series_.insert(series_.begin() + index, series);
  RefreshVisibleSeriesList();
  Changed(1);
}

TcxGridChartSeries* TcxGridChartView::FindSeriesByID(Integer id) const {
  for (TcxGridChartSeries* s : series_)
    if (s->ID() == id) return s;
  return nullptr;
}

Integer TcxGridChartView::IndexOfSeries(const TcxGridChartSeries* series) const {
  auto it = std::find(series_.begin(), series_.end(), series);
  return it == series_.end() ? -1 : Integer(it - series_.begin());
}

void TcxGridChartView::RefreshVisibleSeriesList() {
  if (holdVisibleList_) return;
  visibleSeries_.clear();
  for (TcxGridChartSeries* s : series_) {
    s->visibleIndex_ = s->Visible() ? Integer(visibleSeries_.size()) : -1;
    if (s->Visible()) visibleSeries_.push_back(s);
  }
}

Integer TcxGridChartView::GetDefaultWidth(Integer width) const {
  if (width != 0) return width;
  Integer w = Control() ? Control()->Width() : 0;
  return w != 0 ? w : 700;
}

Integer TcxGridChartView::GetDefaultHeight(Integer height) const {
  if (height != 0) return height;
  if (Level() && Level()->Parent() && Level()->Parent()->MaxDetailHeight() != 0)
    return Level()->Parent()->MaxDetailHeight();
  Integer h = Control() ? Control()->Height() : 0;
  return h != 0 ? h : 500;
}

// Events.

void TcxGridChartView::DoActiveDiagramChanged(TcxGridChartDiagram* diagram) {
  if (diagram && OnActiveDiagramChanged) OnActiveDiagramChanged(this, diagram);
}

bool TcxGridChartView::DoCustomDrawLegend(TcxCanvas* canvas, TcxGridChartLegendViewInfo* viewInfo) {
  bool done = false;
  if (OnCustomDrawLegend) OnCustomDrawLegend(this, canvas, viewInfo, done);
  return done;
}

bool TcxGridChartView::DoCustomDrawLegendItem(TcxCanvas* canvas, TcxGridChartLegendItemViewInfo* viewInfo) {
  bool done = false;
  if (OnCustomDrawLegendItem) OnCustomDrawLegendItem(this, canvas, viewInfo, done);
  return done;
}

void TcxGridChartView::DoGetValueHint(TcxGridChartSeries* series, Integer valueIndex, String& text) {
  if (OnGetValueHint) OnGetValueHint(this, series, valueIndex, text);
}

void TcxGridChartView::AssignSeries(TcxGridChartView* source) {
  // A series of the source's ID is kept, else one is made; they take the source's order; the
  // rest are freed. Every step is done once for all series (the visible list too), so that
  // the whole is linear in the series.
  std::unordered_map<Integer, TcxGridChartSeries*> byID;
  byID.reserve(series_.size());
  for (TcxGridChartSeries* own : series_) byID.emplace(own->ID(), own);
  std::vector<TcxGridChartSeries*> order;
  order.reserve(source->series_.size());
  for (TcxGridChartSeries* from : source->series_) {
    auto it = byID.find(from->ID());
    TcxGridChartSeries* to = nullptr;
    if (it != byID.end()) {
      to = it->second;
      byID.erase(it);
    } else {
      to = new TcxGridChartSeries(Owner());
      series_.push_back(to);
      to->JoinView(this);
      to->DataBinding()->Link(to);
      to->DataBinding()->SetID(from->ID());
    }
    order.push_back(to);
  }
  std::unordered_set<TcxGridChartSeries*> kept(order.begin(), order.end());
  std::vector<TcxGridChartSeries*> rest;
  for (TcxGridChartSeries* own : series_)
    if (!kept.count(own)) rest.push_back(own);
  series_ = std::move(order);
  // Freed last first, as their IDs are given back.
  for (auto it = rest.rbegin(); it != rest.rend(); ++it) {
    TcxGridChartSeries* gone = *it;
    gone->DataBinding()->Unlink(gone);
    gone->view_ = nullptr;
    gone->Free();
  }
  holdVisibleList_ = true;
  {
    Finally release{[this] { holdVisibleList_ = false; }};
    for (size_t i = 0; i < series_.size(); ++i) series_[i]->Assign(source->series_[i]);
  }
  RefreshVisibleSeriesList();
  Changed(1);
}

void TcxGridChartView::DoAssign(TcxCustomGridView* source) {
  if (auto* s = dynamic_cast<TcxGridChartView*>(source)) {
    // One bracket of the view and one of its data controller: the series' fields made,
    // retyped and resorted are taken in once at the end.
    BeginUpdate();
    TcxCustomDataController* dc = DataController();
    dc->BeginUpdate();
    Finally end{[this, dc] {
      dc->EndUpdate();
      EndUpdate();
    }};
    categories_->AssignFrom(s->categories_);
    categories_->DataBinding()->SetID(s->categories_->DataBinding()->ID());
    AssignSeries(s);
    nextID_ = s->nextID_;
    diagramBar_->Assign(s->diagramBar_);
    diagramColumn_->Assign(s->diagramColumn_);
    legend_->AssignFrom(s->legend_);
    title_->AssignFrom(s->title_);
    OnActiveDiagramChanged = s->OnActiveDiagramChanged;
    OnCustomDrawLegend = s->OnCustomDrawLegend;
    OnCustomDrawLegendItem = s->OnCustomDrawLegendItem;
    OnGetValueHint = s->OnGetValueHint;
  }
  TcxCustomGridView::DoAssign(source);
}
