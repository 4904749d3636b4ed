// The chart view: the rows of its own unbound data controller drawn as a column or a bar
// diagram (item 0 of the data controller is the categories, items 1..n the series), with a
// title, a legend, two axes, tick marks, grid lines and value captions; value hints; and the
// rendering into a bitmap or a metafile for the export link (CreateImage).
// Sources: cxGridChartView.cpp (model, diagrams, options), cxGridChartViewInfo.cpp (value
// scale, layout, painting, hit tests, controller, image).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "data/cxCustomData.h"
#include "grid/cxGrid.h"
#include "grid/cxGridLevel.h"

class TcxGridChartView;
class TcxGridChartSeries;
class TcxGridChartDiagram;
class TcxGridChartColumnDiagram;
class TcxGridChartBarDiagram;
class TcxGridChartViewInfo;
class TcxGridChartLegendViewInfo;
class TcxGridChartLegendItemViewInfo;
class TcxGridChartDiagramValueViewInfo;
class TcxGridChartColumnDiagramViewInfo;

enum TcxGridChartPartAlignment { cpaDefault, cpaStart, cpaCenter, cpaEnd };
enum TcxGridChartPartPosition { cppDefault, cppNone, cppLeft, cppTop, cppRight, cppBottom };
enum TcxGridChartPartOrientation { cpoDefault, cpoHorizontal, cpoVertical };
enum TcxGridChartLegendBorder { lbDefault, lbNone, lbSingle };
enum TcxGridChartHistogramTickMarkKind { tmkNone, tmkCross, tmkInside, tmkOutside };
enum TcxGridChartColumnDiagramValueCaptionPosition {
  cdvcpNone, cdvcpInsideBase, cdvcpCenter, cdvcpInsideEnd, cdvcpOutsideEnd
};

// Colour number k of the 24-entry palette (k mod 24).
TColor GridChartPaletteColor(Integer k);

// ---- value scale --------------------------------------------------------------------------------

// The value range, step and axis range of a column or bar diagram, in double with relative
// tolerances so that results do not hang on floating noise.
struct TcxGridChartValueScale {
  double Min = 0, Max = 0;          // value range (always contains 0)
  double Step = 0;                  // 0 when the range is empty
  double AxisMin = 0, AxisMax = 1;  // axis range
  // Mark k is AxisMin + k x Step (never an accumulated sum, which loses the last mark).
  Integer MarkCount() const;
  double Mark(Integer k) const { return AxisMin + k * Step; }
};
// The first of 1, 2, 5 x 10^e, 1 x 10^(e+1), ... clearly greater than a tenth of the range;
// integerOnly keeps steps at 1 or more.
double GridChartValueStep(double min, double max, bool integerOnly);
TcxGridChartValueScale GridChartValueScale(double min, double max, bool integerOnly);

// ---- data binding, categories, series -------------------------------------------------------

class TcxGridChartItemDataBinding : public TPersistent {
  KORVAN_CLASS(TcxGridChartItemDataBinding, TPersistent)

 public:
  TcxGridChartItemDataBinding(TcxGridChartView* view, bool isSeries, TcxValueTypeClass defaultValueTypeClass);
  ~TcxGridChartItemDataBinding() override;
  TcxGridChartView* GridView() const { return view_; }
  TcxCustomDataField* DataField() const { return field_; }
  Integer ID() const { return id_; }
  void SetID(Integer id) { id_ = id; }
  bool IsSeries() const { return isSeries_; }
  Integer ItemIndex() const;
  // The caption of the item's value type (e.g. "Float", "Integer", "String").
  String ValueType() const;
  void SetValueType(const String& caption);
  TcxValueTypeClass ValueTypeClass() const;
  bool IsValueTypeClassValid(TcxValueTypeClass cls) const;
  bool IsValueTypeInteger() const;
  TcxDataSortOrder SortOrder() const;
  void SetSortOrder(TcxDataSortOrder v);
  void Assign(TPersistent* source) override;

  // Linking to the data controller (adds or removes the item, takes or gives back the ID).
  void Link(TObject* item);
  void Unlink(TObject* item);

 private:
  TcxGridChartView* view_;
  bool isSeries_;
  TcxValueTypeClass defaultValueTypeClass_;
  TcxCustomDataField* field_ = nullptr;
  Integer id_ = -1;
  // Where the field stood when last looked up: checked before use, searched for again only
  // when fields before it came or went.
  mutable Integer indexHint_ = -1;
};

class TcxGridChartCategories : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxGridChartCategories, TcxCustomGridOptions)

 public:
  explicit TcxGridChartCategories(TcxCustomGridView* view);
  ~TcxGridChartCategories() override;
  TcxGridChartItemDataBinding* DataBinding() const { return binding_.get(); }
  TcxDataSortOrder SortOrder() const { return binding_->SortOrder(); }
  void SetSortOrder(TcxDataSortOrder v) { binding_->SetSortOrder(v); }
  String GetValue(Integer index) const;
  Integer GetValueCount() const;
  void AssignFrom(TPersistent* source) override;
  TcxGridChartView* ChartView() const;

 private:
  std::unique_ptr<TcxGridChartItemDataBinding> binding_;
};

// The value parameters' data: (visible series index or -1, value index or -1).
class TcxGridChartDiagramValueData : public TObject {
 public:
  TcxGridChartDiagramValueData(Integer visibleSeriesIndex, Integer valueIndex)
      : VisibleSeriesIndex(visibleSeriesIndex), ValueIndex(valueIndex) {}
  Integer VisibleSeriesIndex, ValueIndex;
};

using TcxGridChartSeriesGetValueStyleEvent =
    std::function<void(TcxGridChartSeries* sender, Integer valueIndex, TcxStyle*& style)>;
using TcxGridChartDiagramEvent = std::function<void(TcxGridChartView* sender, TcxGridChartDiagram* diagram)>;
using TcxGridChartLegendCustomDrawEvent =
    std::function<void(TcxGridChartView* sender, TcxCanvas* canvas, TcxGridChartLegendViewInfo* viewInfo, bool& done)>;
using TcxGridChartLegendItemCustomDrawEvent = std::function<void(
    TcxGridChartView* sender, TcxCanvas* canvas, TcxGridChartLegendItemViewInfo* viewInfo, bool& done)>;
using TcxGridChartGetValueHintEvent =
    std::function<void(TcxGridChartView* sender, TcxGridChartSeries* series, Integer valueIndex, String& hint)>;

class TcxGridChartSeriesStyles : public TcxCustomGridStyles {
  KORVAN_CLASS(TcxGridChartSeriesStyles, TcxCustomGridStyles)

 public:
  static constexpr Integer sValues = 0;
  explicit TcxGridChartSeriesStyles(TPersistent* owner);
  TcxCustomGridView* GridView() const override;
  TcxGridChartSeries* Series() const;
  TcxStyle* Values() { return GetIndexedStyle(sValues); }
  void SetValues(TcxStyle* v) { SetIndexedStyle(sValues, v); }
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  // Fires OnGetValueStyle for a real value index, then resolves Values with the value index
  // when colours vary by category, else with -1 (the series' own colour).
  void GetValueParams(Integer valueIndex, bool varyByCategory, TcxStyleParams& params);
  TcxGridChartSeriesGetValueStyleEvent OnGetValueStyle;
};

class TcxGridChartDiagramValueViewInfo;
using TcxGridChartSeriesValueCustomDrawEvent =
    std::function<void(TcxGridChartSeries*, TcxCanvas*, TcxGridChartDiagramValueViewInfo*, bool&)>;

class TcxGridChartSeries : public TcxComponent {
  KORVAN_CLASS(TcxGridChartSeries, TcxComponent)

 public:
  explicit TcxGridChartSeries(TComponent* owner);
  ~TcxGridChartSeries() override;

  TcxGridChartView* GridView() const { return view_; }
  TcxGridChartItemDataBinding* DataBinding() const { return binding_.get(); }
  TcxGridChartSeriesStyles* Styles() const { return styles_.get(); }
  Integer ID() const { return binding_ ? binding_->ID() : -1; }
  Integer Index() const;
  Integer VisibleIndex() const { return visibleIndex_; }

  String DisplayText() const { return displayText_; }
  void SetDisplayText(const String& v);
  TcxDataSortOrder SortOrder() const { return binding_ ? binding_->SortOrder() : soNone; }
  void SetSortOrder(TcxDataSortOrder v) {
    if (binding_) binding_->SetSortOrder(v);
  }
  Integer Tag() const { return TComponent::Tag(); }
  void SetTag(Integer v);
  String ValueCaptionFormat() const { return valueCaptionFormat_; }
  void SetValueCaptionFormat(const String& v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  TcxGridChartSeriesValueCustomDrawEvent OnCustomDrawValue;

  virtual void Changed(Integer kind = 1);
  virtual String GetDisplayName() const;
  virtual TcxValueTypeClass GetDefaultValueTypeClass() const;
  virtual bool DoCustomDrawValue(TcxCanvas* canvas, TcxGridChartDiagramValueViewInfo* viewInfo);
  virtual bool HasCustomDrawValue() const { return bool(OnCustomDrawValue); }
  virtual String GetDisplayText() const;
  virtual String GetValueDisplayText(Integer valueIndex) const;
  Variant GetValue(Integer valueIndex) const;

  void SetName(const String& v) override;
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* value) override;
  void Assign(TPersistent* source) override;

 private:
  friend class TcxGridChartView;
  void JoinView(TcxGridChartView* view);
  TcxGridChartView* view_ = nullptr;
  std::unique_ptr<TcxGridChartItemDataBinding> binding_;
  std::unique_ptr<TcxGridChartSeriesStyles> styles_;
  String displayText_, valueCaptionFormat_;
  bool visible_ = true;
  Integer visibleIndex_ = -1;
};

// ---- titles and legends -----------------------------------------------------------------------

class TcxCustomGridChartTitle : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxCustomGridChartTitle, TcxCustomGridOptions)

 public:
  explicit TcxCustomGridChartTitle(TcxCustomGridView* view) : TcxCustomGridOptions(view) {}
  TcxGridChartPartAlignment Alignment() const { return alignment_; }
  void SetAlignment(TcxGridChartPartAlignment v);
  String Text() const { return text_; }
  void SetText(const String& v);
  TcxGridChartPartAlignment GetAlignment() const { return alignment_ == cpaDefault ? cpaCenter : alignment_; }
  TcxGridChartPartPosition GetPosition() const;
  TcxGridChartPartOrientation GetOrientation() const;
  void AssignFrom(TPersistent* source) override;

 protected:
  virtual TcxGridChartPartPosition OwnPosition() const { return cppDefault; }
  virtual TcxGridChartPartPosition DefaultPosition() const = 0;

 private:
  TcxGridChartPartAlignment alignment_ = cpaDefault;
  String text_;
};

class TcxGridChartTitle : public TcxCustomGridChartTitle {
  KORVAN_CLASS(TcxGridChartTitle, TcxCustomGridChartTitle)

 public:
  explicit TcxGridChartTitle(TcxCustomGridView* view) : TcxCustomGridChartTitle(view) {}
  TcxGridChartPartPosition Position() const { return position_; }
  void SetPosition(TcxGridChartPartPosition v);
  void AssignFrom(TPersistent* source) override;

 protected:
  TcxGridChartPartPosition OwnPosition() const override { return position_; }
  TcxGridChartPartPosition DefaultPosition() const override { return cppTop; }

 private:
  TcxGridChartPartPosition position_ = cppDefault;
};

class TcxGridChartColumnDiagramAxis;

class TcxGridChartColumnDiagramAxisTitle : public TcxCustomGridChartTitle {
  KORVAN_CLASS(TcxGridChartColumnDiagramAxisTitle, TcxCustomGridChartTitle)

 public:
  TcxGridChartColumnDiagramAxisTitle(TcxCustomGridView* view, TcxGridChartColumnDiagramAxis* axis)
      : TcxCustomGridChartTitle(view), axis_(axis) {}

 protected:
  TcxGridChartPartPosition DefaultPosition() const override;

 private:
  TcxGridChartColumnDiagramAxis* axis_;
};

class TcxGridChartLegend : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxGridChartLegend, TcxCustomGridOptions)

 public:
  TcxGridChartLegend(TcxCustomGridView* view, TcxGridChartLegend* parent = nullptr)
      : TcxCustomGridOptions(view), parent_(parent) {}
  TcxGridChartLegend* Parent() const { return parent_; }
  TcxGridChartPartAlignment Alignment() const { return alignment_; }
  void SetAlignment(TcxGridChartPartAlignment v) { Set(alignment_, v); }
  TcxGridChartLegendBorder Border() const { return border_; }
  void SetBorder(TcxGridChartLegendBorder v) { Set(border_, v); }
  TcxGridChartLegendBorder KeyBorder() const { return keyBorder_; }
  void SetKeyBorder(TcxGridChartLegendBorder v) { Set(keyBorder_, v); }
  TcxGridChartPartOrientation Orientation() const { return orientation_; }
  void SetOrientation(TcxGridChartPartOrientation v) { Set(orientation_, v); }
  TcxGridChartPartPosition Position() const { return position_; }
  void SetPosition(TcxGridChartPartPosition v) { Set(position_, v); }
  // Effective values: own, else the parent's, else the built-in default.
  TcxGridChartPartAlignment GetAlignment() const;
  TcxGridChartLegendBorder GetBorder() const;
  TcxGridChartLegendBorder GetKeyBorder() const;
  TcxGridChartPartPosition GetPosition() const;
  TcxGridChartPartOrientation GetOrientation() const { return GetOrientationFor(GetPosition()); }
  TcxGridChartPartOrientation GetOrientationFor(TcxGridChartPartPosition position) const;
  void AssignFrom(TPersistent* source) override;

 private:
  template <class T>
  void Set(T& field, T v) {
    if (field == v) return;
    field = v;
    Changed(1);
  }
  TcxGridChartLegend* parent_;
  TcxGridChartPartAlignment alignment_ = cpaDefault;
  TcxGridChartLegendBorder border_ = lbDefault, keyBorder_ = lbDefault;
  TcxGridChartPartOrientation orientation_ = cpoDefault;
  TcxGridChartPartPosition position_ = cppDefault;
};

// ---- diagrams ----------------------------------------------------------------------------------

class TcxGridChartDiagramStyles : public TcxCustomGridStyles {
  KORVAN_CLASS(TcxGridChartDiagramStyles, TcxCustomGridStyles)

 public:
  static constexpr Integer dsLegend = 0, dsValueCaptions = 1, dsValues = 2;
  explicit TcxGridChartDiagramStyles(TPersistent* owner);
  TcxGridChartDiagram* Diagram() const;
  TcxCustomGridView* GridView() const override;
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  void GetValueParams(Integer visibleSeriesIndex, Integer valueIndex, TcxStyleParams& params);
};

class TcxGridChartColumnDiagramStyles : public TcxGridChartDiagramStyles {
  KORVAN_CLASS(TcxGridChartColumnDiagramStyles, TcxGridChartDiagramStyles)

 public:
  static constexpr Integer dsAxis = 3, dsCategoryAxis = 4, dsValueAxis = 5, dsAxisTitle = 6,
                           dsCategoryAxisTitle = 7, dsValueAxisTitle = 8, dsGridLines = 9,
                           dsCategoryGridLines = 10, dsValueGridLines = 11, dsPlot = 12;
  explicit TcxGridChartColumnDiagramStyles(TPersistent* owner) : TcxGridChartDiagramStyles(owner) {}
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  void GetParams(Integer index, TcxStyleParams& params) { ResolveViewParams(index, nullptr, nullptr, params); }
};

using TcxGridChartDiagramLegendCustomDrawEvent =
    std::function<void(TcxGridChartDiagram*, TcxCanvas*, TcxGridChartLegendViewInfo*, bool&)>;
using TcxGridChartDiagramLegendItemCustomDrawEvent =
    std::function<void(TcxGridChartDiagram*, TcxCanvas*, TcxGridChartLegendItemViewInfo*, bool&)>;
using TcxGridChartDiagramValueCustomDrawEvent =
    std::function<void(TcxGridChartDiagram*, TcxCanvas*, TcxGridChartDiagramValueViewInfo*, bool&)>;

class TcxGridChartDiagram : public TPersistent {
  KORVAN_CLASS(TcxGridChartDiagram, TPersistent)

 public:
  explicit TcxGridChartDiagram(TcxGridChartView* view);
  ~TcxGridChartDiagram() override;
  void CreateSubobjects();
  TcxGridChartView* GridView() const { return view_; }
  bool Active() const;
  void SetActive(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  TcxGridChartLegend* Legend() const { return legend_.get(); }
  TcxGridChartDiagramStyles* Styles() const { return styles_.get(); }
  TcxGridChartDiagramLegendCustomDrawEvent OnCustomDrawLegend;
  TcxGridChartDiagramLegendItemCustomDrawEvent OnCustomDrawLegendItem;
  TcxGridChartDiagramValueCustomDrawEvent OnCustomDrawValue;

  virtual TClass GetStylesClass() { return TcxGridChartDiagramStyles::StaticClass(); }
  virtual void Changed(Integer kind = 1);
  // The class name without "TcxGridChart", a blank before "Diagram": "Column Diagram".
  virtual String GetDisplayText() const;
  virtual bool DoCustomDrawLegend(TcxCanvas* canvas, TcxGridChartLegendViewInfo* viewInfo);
  virtual bool DoCustomDrawLegendItem(TcxCanvas* canvas, TcxGridChartLegendItemViewInfo* viewInfo);
  virtual bool DoCustomDrawValue(TcxCanvas* canvas, TcxGridChartDiagramValueViewInfo* viewInfo);
  virtual void GetValueDisplayText(TcxGridChartSeries* series, Integer valueIndex, String& text);
  // Colours vary by category: exactly one visible series and VaryColorsByCategory on.
  virtual bool IsCategoriesColored() const { return false; }
  void Assign(TPersistent* source) override;

 private:
  TcxGridChartView* view_;
  bool enabled_ = true;
  std::unique_ptr<TcxGridChartLegend> legend_;
  std::unique_ptr<TcxGridChartDiagramStyles> styles_;
};

class TcxCustomGridChartDiagramOptions : public TPersistent {
  KORVAN_CLASS(TcxCustomGridChartDiagramOptions, TPersistent)

 public:
  explicit TcxCustomGridChartDiagramOptions(TcxGridChartColumnDiagram* diagram) : diagram_(diagram) {}
  TcxGridChartColumnDiagram* Diagram() const { return diagram_; }
  void Changed(Integer kind = 1);

 private:
  TcxGridChartColumnDiagram* diagram_;
};

class TcxGridChartColumnDiagramAxis : public TcxCustomGridChartDiagramOptions {
  KORVAN_CLASS(TcxGridChartColumnDiagramAxis, TcxCustomGridChartDiagramOptions)

 public:
  TcxGridChartColumnDiagramAxis(TcxGridChartColumnDiagram* diagram, bool isCategory);
  ~TcxGridChartColumnDiagramAxis() override;
  bool IsCategoryAxis() const { return isCategory_; }
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool v) { Set(gridLines_, v); }
  TcxGridChartHistogramTickMarkKind TickMarkKind() const { return tickMarkKind_; }
  void SetTickMarkKind(TcxGridChartHistogramTickMarkKind v) { Set(tickMarkKind_, v); }
  bool TickMarkLabels() const { return tickMarkLabels_; }
  void SetTickMarkLabels(bool v) { Set(tickMarkLabels_, v); }
  TcxGridChartColumnDiagramAxisTitle* Title() const { return title_.get(); }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { Set(visible_, v); }
  // Category axis.
  bool CategoriesInReverseOrder() const { return categoriesInReverseOrder_; }
  void SetCategoriesInReverseOrder(bool v) { Set(categoriesInReverseOrder_, v); }
  bool ValueAxisAtMaxCategory() const { return valueAxisAtMaxCategory_; }
  void SetValueAxisAtMaxCategory(bool v) { Set(valueAxisAtMaxCategory_, v); }
  bool ValueAxisBetweenCategories() const { return valueAxisBetweenCategories_; }
  void SetValueAxisBetweenCategories(bool v) { Set(valueAxisBetweenCategories_, v); }
  // Value axis.
  String TickMarkLabelFormat() const { return tickMarkLabelFormat_; }
  void SetTickMarkLabelFormat(const String& v) { Set(tickMarkLabelFormat_, v); }
  TcxGridChartPartPosition GetPosition() const;
  // The value axis' label format: TickMarkLabelFormat, else the ValueCaptionFormat shared by
  // all visible series, else empty.
  String GetTickMarkLabelFormat() const;
  String GetTickMarkLabelText(double value) const;
  void Assign(TPersistent* source) override;

 private:
  template <class T>
  void Set(T& field, const T& v) {
    if (field == v) return;
    field = v;
    Changed(1);
  }
  bool isCategory_;
  bool gridLines_ = true, tickMarkLabels_ = true, visible_ = true;
  TcxGridChartHistogramTickMarkKind tickMarkKind_ = tmkOutside;
  std::unique_ptr<TcxGridChartColumnDiagramAxisTitle> title_;
  bool categoriesInReverseOrder_ = false, valueAxisAtMaxCategory_ = false, valueAxisBetweenCategories_ = true;
  String tickMarkLabelFormat_;
};

class TcxGridChartColumnDiagramValues : public TcxCustomGridChartDiagramOptions {
  KORVAN_CLASS(TcxGridChartColumnDiagramValues, TcxCustomGridChartDiagramOptions)

 public:
  using TcxCustomGridChartDiagramOptions::TcxCustomGridChartDiagramOptions;
  Integer BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(Integer v);
  TcxGridChartColumnDiagramValueCaptionPosition CaptionPosition() const { return captionPosition_; }
  void SetCaptionPosition(TcxGridChartColumnDiagramValueCaptionPosition v);
  bool VaryColorsByCategory() const { return varyColorsByCategory_; }
  void SetVaryColorsByCategory(bool v);
  void Assign(TPersistent* source) override;

 private:
  Integer borderWidth_ = 1;
  TcxGridChartColumnDiagramValueCaptionPosition captionPosition_ = cdvcpNone;
  bool varyColorsByCategory_ = false;
};

using TcxGridChartColumnDiagramPlotCustomDrawEvent = std::function<void(
    TcxGridChartColumnDiagram*, TcxCanvas*, TcxGridChartColumnDiagramViewInfo*, const TRect&, bool&)>;

class TcxGridChartColumnDiagram : public TcxGridChartDiagram {
  KORVAN_CLASS(TcxGridChartColumnDiagram, TcxGridChartDiagram)

 public:
  explicit TcxGridChartColumnDiagram(TcxGridChartView* view);
  ~TcxGridChartColumnDiagram() override;
  TcxGridChartColumnDiagramAxis* AxisCategory() const { return axisCategory_.get(); }
  TcxGridChartColumnDiagramAxis* AxisValue() const { return axisValue_.get(); }
  TcxGridChartColumnDiagramValues* Values() const { return values_.get(); }
  TcxGridChartColumnDiagramStyles* ColumnStyles() const {
    return static_cast<TcxGridChartColumnDiagramStyles*>(Styles());
  }
  TcxGridChartColumnDiagramPlotCustomDrawEvent OnCustomDrawPlot;

  TClass GetStylesClass() override { return TcxGridChartColumnDiagramStyles::StaticClass(); }
  virtual bool DoCustomDrawPlot(TcxCanvas* canvas, TcxGridChartColumnDiagramViewInfo* viewInfo, const TRect& r);
  virtual bool HasCustomDrawPlot() const { return bool(OnCustomDrawPlot); }
  virtual TcxGridChartPartPosition GetCategoryAxisPosition() const { return cppBottom; }
  virtual TcxGridChartPartPosition GetValueAxisPosition() const;
  bool IsCategoriesColored() const override;
  bool IsHorizontal() const { return GetCategoryAxisPosition() == cppLeft; }
  void Assign(TPersistent* source) override;

 private:
  std::unique_ptr<TcxGridChartColumnDiagramAxis> axisCategory_, axisValue_;
  std::unique_ptr<TcxGridChartColumnDiagramValues> values_;
};

class TcxGridChartBarDiagram : public TcxGridChartColumnDiagram {
  KORVAN_CLASS(TcxGridChartBarDiagram, TcxGridChartColumnDiagram)

 public:
  explicit TcxGridChartBarDiagram(TcxGridChartView* view) : TcxGridChartColumnDiagram(view) {}
  TcxGridChartPartPosition GetCategoryAxisPosition() const override { return cppLeft; }
  TcxGridChartPartPosition GetValueAxisPosition() const override;
};

// ---- view companions -------------------------------------------------------------------------------

class TcxGridChartDataController : public TcxDataController {
 public:
  explicit TcxGridChartDataController(TComponent* owner);
  TcxGridChartView* GridView() const;
  int GetItemID(TObject* item) override;
  TObject* GetItem(int index) override;
  void BeginUpdate() override;
  void EndUpdate() override;
};

class TcxGridChartViewData : public TcxCustomGridViewData {
  KORVAN_CLASS(TcxGridChartViewData, TcxCustomGridViewData)

 public:
  explicit TcxGridChartViewData(TcxCustomGridView* v) : TcxCustomGridViewData(v) {}
  TcxGridChartView* ChartView() const;
  // The number of charted values: the data controller's rows (records a filter removes are
  // not charted).
  Integer GetValueCount() const;
  // The record of row valueIndex, -1 past the rows.
  Integer GetRecordIndex(Integer valueIndex) const;
  // The category of a value; Null reads as the empty string.
  String GetCategory(Integer valueIndex) const;
  // A value of the series at seriesIndex of the series list; non-numeric values read as 0.
  Variant GetValue(Integer seriesIndex, Integer valueIndex) const;
};

class TcxGridChartOptionsBehavior : public TcxCustomGridOptionsBehavior {
  KORVAN_CLASS(TcxGridChartOptionsBehavior, TcxCustomGridOptionsBehavior)

 public:
  explicit TcxGridChartOptionsBehavior(TcxCustomGridView* v) : TcxCustomGridOptionsBehavior(v) {}
  bool ValueHints() const { return valueHints_; }
  void SetValueHints(bool v);
  void AssignFrom(TPersistent* source) override;

 private:
  bool valueHints_ = true;
};

class TcxGridChartViewStyles : public TcxCustomGridViewStyles {
  KORVAN_CLASS(TcxGridChartViewStyles, TcxCustomGridViewStyles)

 public:
  static constexpr Integer vsTitle = 1, vsLegend = 2;
  explicit TcxGridChartViewStyles(TPersistent* owner) : TcxCustomGridViewStyles(owner) {}
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  void GetParams(Integer index, TcxStyleParams& params) { ResolveViewParams(index, nullptr, nullptr, params); }
};

class TcxGridChartController : public TcxCustomGridController {
  KORVAN_CLASS(TcxGridChartController, TcxCustomGridController)

 public:
  explicit TcxGridChartController(TcxCustomGridView* v) : TcxCustomGridController(v) {}
  TcxGridChartView* ChartView() const;
  bool HandlesDesignTimeMouse(TcxCustomGridHitTest* hitTest) override;
  TObject* GetPatternObject(TObject* object) override;
  // "<series> for <category> is <value>", then the view's OnGetValueHint.
  virtual void GetValueHintText(TcxGridChartSeries* series, Integer valueIndex, String& text);
};

class TcxGridChartPainter : public TcxCustomGridPainter {
  KORVAN_CLASS(TcxGridChartPainter, TcxCustomGridPainter)

 public:
  explicit TcxGridChartPainter(TcxCustomGridView* v) : TcxCustomGridPainter(v) {}
  void PaintViewContent() override;
};

// ---- the view ----------------------------------------------------------------------------------

class TcxGridChartView : public TcxCustomGridView {
  KORVAN_CLASS(TcxGridChartView, TcxCustomGridView)

 public:
  explicit TcxGridChartView(TComponent* owner);
  ~TcxGridChartView() override;

  TClass GetControllerClass() override { return TcxGridChartController::StaticClass(); }
  TcxDataControllerClass GetDataControllerClass() override {
    return DataControllerClassOf<TcxGridChartDataController>();
  }
  TClass GetPainterClass() override { return TcxGridChartPainter::StaticClass(); }
  TClass GetViewDataClass() override { return TcxGridChartViewData::StaticClass(); }
  TClass GetViewInfoClass() override;
  TClass GetOptionsBehaviorClass() override { return TcxGridChartOptionsBehavior::StaticClass(); }
  TClass GetStylesClass() override { return TcxGridChartViewStyles::StaticClass(); }
  bool CanChangeLayout() override { return false; }
  void DoAssign(TcxCustomGridView* source) override;
  void UpdateControl(TcxUpdateControlInfo* info) override;
  void SetName(const String& newName) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  // Companions and parts.
  TcxGridChartDataController* GetDataController() const {
    return static_cast<TcxGridChartDataController*>(DataController());
  }
  TcxGridChartViewData* GetViewData() const { return static_cast<TcxGridChartViewData*>(ViewData()); }
  TcxGridChartController* GetController() const { return static_cast<TcxGridChartController*>(Controller()); }
  TcxGridChartViewInfo* GetViewInfo() const;
  TcxGridChartOptionsBehavior* GetOptionsBehavior() const {
    return static_cast<TcxGridChartOptionsBehavior*>(OptionsBehavior());
  }
  TcxGridChartViewStyles* GetStyles() const { return static_cast<TcxGridChartViewStyles*>(Styles()); }
  TcxGridChartCategories* Categories() const { return categories_; }
  TcxGridChartLegend* Legend() const { return legend_; }
  TcxGridChartTitle* Title() const { return title_; }
  TcxGridChartColumnDiagram* DiagramColumn() const { return diagramColumn_; }
  TcxGridChartBarDiagram* DiagramBar() const { return diagramBar_; }

  // Diagrams.
  TcxGridChartDiagram* ActiveDiagram() const { return activeDiagram_; }
  void SetActiveDiagram(TcxGridChartDiagram* diagram);
  Integer DiagramCount() const { return Integer(diagrams_.size()); }
  TcxGridChartDiagram* Diagrams(Integer i) const { return diagrams_.at(size_t(i)); }
  TcxGridChartDiagram* FirstEnabledDiagram() const;
  void AddDiagram(TcxGridChartDiagram* diagram);
  void RemoveDiagram(TcxGridChartDiagram* diagram);
  // The alternative presentations: one menu item per diagram.
  Integer GetPresentationCount() const { return DiagramCount(); }
  String GetPresentationCaption(Integer i) const;
  bool IsPresentationChecked(Integer i) const { return Diagrams(i)->Active(); }
  void ExecutePresentation(Integer i);

  // Series.
  TcxGridChartSeries* CreateSeries();
  void AddSeries(TcxGridChartSeries* series);
  void RemoveSeries(TcxGridChartSeries* series);
  void ClearSeries();
  void ChangeSeriesIndex(TcxGridChartSeries* series, Integer index);
  TcxGridChartSeries* FindSeriesByID(Integer id) const;
  Integer GetSeriesCount() const { return Integer(series_.size()); }
  TcxGridChartSeries* GetSeries(Integer i) const { return series_.at(size_t(i)); }
  Integer GetVisibleSeriesCount() const { return Integer(visibleSeries_.size()); }
  TcxGridChartSeries* GetVisibleSeries(Integer i) const { return visibleSeries_.at(size_t(i)); }
  Integer IndexOfSeries(const TcxGridChartSeries* series) const;
  // Remade from the series (not while the series are assigned: once after).
  void RefreshVisibleSeriesList();

  // Identifiers handed to the categories and the series.
  Integer GetNextID() { return nextID_++; }
  void ReleaseID(Integer id) {
    if (id == nextID_ - 1) --nextID_;
  }
  Integer NextID() const { return nextID_; }

  Integer GetDefaultWidth(Integer width) const;
  Integer GetDefaultHeight(Integer height) const;

  // Events.
  TcxGridChartDiagramEvent OnActiveDiagramChanged;
  TcxGridChartLegendCustomDrawEvent OnCustomDrawLegend;
  TcxGridChartLegendItemCustomDrawEvent OnCustomDrawLegendItem;
  TcxGridChartGetValueHintEvent OnGetValueHint;
  virtual void DoActiveDiagramChanged(TcxGridChartDiagram* diagram);
  virtual bool DoCustomDrawLegend(TcxCanvas* canvas, TcxGridChartLegendViewInfo* viewInfo);
  virtual bool DoCustomDrawLegendItem(TcxCanvas* canvas, TcxGridChartLegendItemViewInfo* viewInfo);
  virtual void DoGetValueHint(TcxGridChartSeries* series, Integer valueIndex, String& text);

 protected:
  void CreateHandlers() override;
  void DestroyHandlers() override;
  void CreateOptions() override;
  void DestroyOptions() override;

 private:
  // DoAssign's series part: the source's series and order, linear in the series.
  void AssignSeries(TcxGridChartView* source);
  TcxGridChartCategories* categories_ = nullptr;
  TcxGridChartLegend* legend_ = nullptr;
  TcxGridChartTitle* title_ = nullptr;
  TcxGridChartColumnDiagram* diagramColumn_ = nullptr;
  TcxGridChartBarDiagram* diagramBar_ = nullptr;
  TcxGridChartDiagram* activeDiagram_ = nullptr;
  std::vector<TcxGridChartDiagram*> diagrams_;
  std::vector<TcxGridChartSeries*> series_, visibleSeries_;
  Integer nextID_ = 0;
  bool holdVisibleList_ = false;
};

// ---- image for the export link ----------------------------------------------------------------------

// The chart drawn into a new bitmap or metafile of the class (width or height 0: the view's
// default size); null for a detail pattern view or a class that is neither. The caller owns it.
TGraphic* CreateImage(TcxGridChartView* view, TClass graphicClass, Integer width = 0, Integer height = 0);

// Unit start: registers "Chart", the series class and the painters.
void InitializeCxGridChartView();
