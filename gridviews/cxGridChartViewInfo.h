// Layout, painting and hit tests of the chart view (cxGridChartView.h): the chart view info
// with its title, legend and diagram, the column/bar diagram's plot, marks, labels, axis titles,
// values and value captions, and their hit tests (codes 51 to 57).
#pragma once

#include <memory>
#include <vector>

#include "gridviews/cxGridChartView.h"

// ---- hit tests ------------------------------------------------------------------------------------

class TcxGridChartTitleHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridChartTitleHitTest, TcxCustomGridViewHitTest)
 public:
  Integer GetHitTestCode() override { return 51; }
};

class TcxGridChartLegendHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridChartLegendHitTest, TcxCustomGridViewHitTest)
 public:
  Integer GetHitTestCode() override { return 52; }
};

class TcxGridChartLegendItemHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridChartLegendItemHitTest, TcxCustomGridViewHitTest)
 public:
  Integer GetHitTestCode() override { return 53; }
  Integer Index = -1;
  TcxGridChartSeries* Series = nullptr;
  Integer ValueIndex = -1;
};

class TcxGridChartValueHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridChartValueHitTest, TcxCustomGridViewHitTest)
 public:
  Integer GetHitTestCode() override { return 54; }
  TcxGridChartSeries* Series = nullptr;
  Integer ValueIndex = -1;
};

class TcxCustomGridChartDiagramHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxCustomGridChartDiagramHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridChartDiagram* Diagram = nullptr;
};

class TcxGridChartHistogramPlotHitTest : public TcxCustomGridChartDiagramHitTest {
  KORVAN_CLASS(TcxGridChartHistogramPlotHitTest, TcxCustomGridChartDiagramHitTest)
 public:
  Integer GetHitTestCode() override { return 55; }
};

class TcxCustomGridChartHistogramAxisHitTest : public TcxCustomGridChartDiagramHitTest {
  KORVAN_CLASS(TcxCustomGridChartHistogramAxisHitTest, TcxCustomGridChartDiagramHitTest)
};

class TcxGridChartHistogramCategoryAxisTitleHitTest : public TcxCustomGridChartHistogramAxisHitTest {
  KORVAN_CLASS(TcxGridChartHistogramCategoryAxisTitleHitTest, TcxCustomGridChartHistogramAxisHitTest)
 public:
  Integer GetHitTestCode() override { return 56; }
};

class TcxGridChartHistogramValueAxisTitleHitTest : public TcxCustomGridChartHistogramAxisHitTest {
  KORVAN_CLASS(TcxGridChartHistogramValueAxisTitleHitTest, TcxCustomGridChartHistogramAxisHitTest)
 public:
  Integer GetHitTestCode() override { return 57; }
};

// ---- parts -------------------------------------------------------------------------------------------

// A title or legend: a strip along one side of the chart, cut from the client area.
class TcxCustomGridChartPartViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxCustomGridChartPartViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  using TcxCustomGridViewCellViewInfo::TcxCustomGridViewCellViewInfo;
  TcxGridChartView* ChartView() const { return static_cast<TcxGridChartView*>(GridView()); }
  virtual TcxGridChartPartPosition GetPosition() = 0;
  virtual TcxGridChartPartAlignment GetAlignment() = 0;
  virtual TcxGridChartPartOrientation GetOrientation() = 0;
  bool IsCellVisible() override { return GetPosition() != cppNone; }
  // Natural size (cached per calculation).
  virtual Integer PartWidth() = 0;
  virtual Integer PartHeight() = 0;
  // Cuts the part's strip from area (an invisible part gets an empty rectangle).
  TRect CutFrom(TRect& area);
};

// The chart title and the axis titles: vertical when at the left or right.
class TcxCustomGridChartTitleViewInfo : public TcxCustomGridChartPartViewInfo {
  KORVAN_CLASS(TcxCustomGridChartTitleViewInfo, TcxCustomGridChartPartViewInfo)

 public:
  TcxCustomGridChartTitleViewInfo(TcxCustomGridViewInfo* info, TcxCustomGridChartTitle* title)
      : TcxCustomGridChartPartViewInfo(info), title_(title) {}
  TcxCustomGridChartTitle* Title() const { return title_; }
  TcxGridChartPartPosition GetPosition() override { return title_->GetPosition(); }
  TcxGridChartPartAlignment GetAlignment() override { return title_->GetAlignment(); }
  TcxGridChartPartOrientation GetOrientation() override { return title_->GetOrientation(); }
  bool IsVertical() { return GetOrientation() == cpoVertical; }
  String GetText() override { return title_->Text(); }
  TAlignment GetAlignmentHorz() override { return taCenter; }
  TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
  Integer PartWidth() override;
  Integer PartHeight() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool HasBackground() override { return false; }

 private:
  TSize TextSize();
  TcxCustomGridChartTitle* title_;
};

class TcxGridChartTitleViewInfo : public TcxCustomGridChartTitleViewInfo {
  KORVAN_CLASS(TcxGridChartTitleViewInfo, TcxCustomGridChartTitleViewInfo)

 public:
  TcxGridChartTitleViewInfo(TcxCustomGridViewInfo* info, TcxCustomGridChartTitle* title)
      : TcxCustomGridChartTitleViewInfo(info, title) {}
  TClass GetHitTestClass() override { return TcxGridChartTitleHitTest::StaticClass(); }
  void GetViewParams(TcxStyleParams& params) override;
};

class TcxGridChartColumnDiagramViewInfo;

class TcxGridChartColumnDiagramAxisTitleViewInfo : public TcxCustomGridChartTitleViewInfo {
  KORVAN_CLASS(TcxGridChartColumnDiagramAxisTitleViewInfo, TcxCustomGridChartTitleViewInfo)

 public:
  TcxGridChartColumnDiagramAxisTitleViewInfo(TcxGridChartColumnDiagramViewInfo* diagram, bool isCategory);
  TClass GetHitTestClass() override;
  void GetViewParams(TcxStyleParams& params) override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;

 private:
  TcxGridChartColumnDiagramViewInfo* diagram_;
  bool isCategory_;
};

class TcxGridChartLegendViewInfo;

class TcxGridChartLegendItemViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridChartLegendItemViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  TcxGridChartLegendItemViewInfo(TcxGridChartLegendViewInfo* legend, Integer index);
  TcxGridChartLegendViewInfo* Legend() const { return legend_; }
  Integer Index() const { return index_; }
  // The category or series number the item shows.
  Integer ObjectIndex() const;
  String GetText() override;
  TClass GetHitTestClass() override { return TcxGridChartLegendItemHitTest::StaticClass(); }
  void GetViewParams(TcxStyleParams& params) override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool HasCustomDraw() override { return true; }
  bool CustomDraw(TcxCanvas* canvas) override;
  bool HasBackground() override { return false; }
  Integer KeySize();
  Integer ItemWidth();
  Integer ItemHeight();
  TRect KeyBounds();
  TRect TextBounds();
  TcxStyleParams KeyParams;

 private:
  TcxGridChartLegendViewInfo* legend_;
  Integer index_;
  Integer keySize_ = -1;
};

class TcxGridChartLegendViewInfo : public TcxCustomGridChartPartViewInfo {
  KORVAN_CLASS(TcxGridChartLegendViewInfo, TcxCustomGridChartPartViewInfo)

 public:
  TcxGridChartLegendViewInfo(TcxCustomGridViewInfo* info, TcxGridChartDiagram* diagram);
  TcxGridChartDiagram* Diagram() const { return diagram_; }
  TcxGridChartLegend* LegendOptions() const { return diagram_->Legend(); }
  TcxGridChartPartPosition GetPosition() override;
  TcxGridChartPartAlignment GetAlignment() override { return LegendOptions()->GetAlignment(); }
  TcxGridChartPartOrientation GetOrientation() override { return LegendOptions()->GetOrientation(); }
  TClass GetHitTestClass() override { return TcxGridChartLegendHitTest::StaticClass(); }
  void GetViewParams(TcxStyleParams& params) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  TcxBorders GetBorders() override;
  Integer GetBorderWidth(TcxBorder) override { return 1; }
  TColor GetBorderColor(TcxBorder) override { return Params.TextColor; }
  bool HasCustomDraw() override { return true; }
  bool CustomDraw(TcxCanvas* canvas) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  Integer PartWidth() override;
  Integer PartHeight() override;
  void AfterCalculateBounds() override;
  // Items show categories (colours vary by category) or visible series.
  bool ShowsCategories();
  bool IsReversed();
  Integer Spacing();
  Integer ItemCount() const { return Integer(items_.size()); }
  TcxGridChartLegendItemViewInfo* Items(Integer i) const { return items_.at(size_t(i)).get(); }

 private:
  void CreateItems();
  TcxGridChartDiagram* diagram_;
  std::vector<std::unique_ptr<TcxGridChartLegendItemViewInfo>> items_;
  Integer spacing_ = -1;
};

// ---- column and bar diagram ---------------------------------------------------------------------------------

struct TcxGridChartColumnDiagramMark {
  double Value = 0;  // category units or axis value
  Integer Position = 0;
};
using TcxGridChartColumnDiagramMarks = std::vector<TcxGridChartColumnDiagramMark>;

class TcxGridChartColumnDiagramTickMarkLabelsViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridChartColumnDiagramTickMarkLabelsViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  TcxGridChartColumnDiagramTickMarkLabelsViewInfo(TcxGridChartColumnDiagramViewInfo* diagram, bool isCategory);
  ~TcxGridChartColumnDiagramTickMarkLabelsViewInfo() override;
  TcxGridChartColumnDiagramViewInfo* DiagramInfo() const { return diagram_; }
  bool IsCategory() const { return isCategory_; }
  TcxGridChartColumnDiagramAxis* Axis() const;
  TcxGridChartPartPosition Position() const { return Axis()->GetPosition(); }
  bool IsVertical() const { return Position() == cppLeft || Position() == cppRight; }
  bool LabelsShown() const;
  bool IsCellVisible() override { return LabelsShown() || AxisTitle()->IsCellVisible(); }
  TClass GetHitTestClass() override { return nullptr; }
  void GetViewParams(TcxStyleParams& params) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool HasBackground() override { return false; }
  TcxGridChartColumnDiagramAxisTitleViewInfo* AxisTitle() const { return title_.get(); }

  Integer LineHeight();
  Integer LabelCount() const { return Integer(texts_.size()); }
  String LabelText(Integer i) const { return texts_.at(size_t(i)); }
  Integer LabelWidth(Integer i);
  TRect LabelBounds(Integer i) const { return rects_.at(size_t(i)); }
  bool TwoLines() const { return twoLines_; }
  // Width (vertical axis) or height (horizontal axis) the labels and the axis title take.
  Integer LabelsWidth();
  Integer LabelsHeight();
  // Decides the line count of a horizontal axis from the width available per label.
  void CalculateTwoLines(Integer availableLength);
  void SetTexts(std::vector<String> texts);
  void CalculateLabels(const std::vector<Integer>& positions, const TRect& area, const TRect& plot);

 private:
  TcxGridChartColumnDiagramViewInfo* diagram_;
  bool isCategory_;
  std::unique_ptr<TcxGridChartColumnDiagramAxisTitleViewInfo> title_;
  std::vector<String> texts_;
  std::vector<Integer> widths_;
  std::vector<TRect> rects_;
  Integer lineHeight_ = -1;
  bool twoLines_ = false;
};

class TcxGridChartDiagramValueCaptionViewInfo;

class TcxGridChartDiagramValueViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridChartDiagramValueViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  TcxGridChartDiagramValueViewInfo(TcxGridChartColumnDiagramViewInfo* diagram, Integer visibleSeriesIndex,
                                   Integer valueIndex);
  ~TcxGridChartDiagramValueViewInfo() override;
  TcxGridChartColumnDiagramViewInfo* DiagramInfo() const { return diagram_; }
  Integer VisibleSeriesIndex() const { return visibleSeriesIndex_; }
  Integer ValueIndex() const { return valueIndex_; }
  TcxGridChartSeries* Series() const;
  double Value() const;
  TClass GetHitTestClass() override { return TcxGridChartValueHitTest::StaticClass(); }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  void GetViewParams(TcxStyleParams& params) override;
  TcxBorders GetBorders() override { return cxBordersAll; }
  Integer GetBorderWidth(TcxBorder) override;
  TColor GetBorderColor(TcxBorder) override { return Params.TextColor; }
  bool HasCustomDraw() override { return true; }
  bool CustomDraw(TcxCanvas* canvas) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  bool HasHint() override;
  String GetHintText() override;
  bool NeedsHint(const TPoint& p, String& text, TRect& textRect, bool& isMultiLine) override;
  void AfterCalculateBounds() override;
  TcxGridChartDiagramValueCaptionViewInfo* Caption() const { return caption_.get(); }

 private:
  TcxGridChartColumnDiagramViewInfo* diagram_;
  Integer visibleSeriesIndex_, valueIndex_;
  std::unique_ptr<TcxGridChartDiagramValueCaptionViewInfo> caption_;
};

class TcxGridChartDiagramValueCaptionViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridChartDiagramValueCaptionViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  explicit TcxGridChartDiagramValueCaptionViewInfo(TcxGridChartDiagramValueViewInfo* value);
  TcxGridChartDiagramValueViewInfo* ValueInfo() const { return value_; }
  String GetText() override;
  TAlignment GetAlignmentHorz() override { return taCenter; }
  TcxAlignmentVert GetAlignmentVert() override { return vaCenter; }
  TcxTextFlags GetTextAttributes(bool forPainting) override {
    return TcxCustomGridViewCellViewInfo::GetTextAttributes(forPainting) | ctfNoClip;
  }
  TClass GetHitTestClass() override { return nullptr; }
  void GetViewParams(TcxStyleParams& params) override;
  bool IsCellVisible() override;
  bool HasBackground() override { return false; }
  // Places the caption against its value's rectangle.
  void Place();

 private:
  TcxGridChartDiagramValueViewInfo* value_;
};

class TcxGridChartColumnDiagramViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxGridChartColumnDiagramViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  TcxGridChartColumnDiagramViewInfo(TcxCustomGridViewInfo* info, TcxGridChartColumnDiagram* diagram);
  ~TcxGridChartColumnDiagramViewInfo() override;
  TcxGridChartColumnDiagram* Diagram() const { return diagram_; }
  TcxGridChartView* ChartView() const { return static_cast<TcxGridChartView*>(GridView()); }
  TClass GetHitTestClass() override { return TcxGridChartHistogramPlotHitTest::StaticClass(); }
  void GetViewParams(TcxStyleParams& params) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void AfterCalculateBounds() override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;

  // Results of the calculation.
  const TcxGridChartValueScale& Scale() const { return scale_; }
  Integer ValueCount() const { return valueCount_; }
  Integer VisibleSeriesCount() const { return seriesCount_; }
  Integer CategoryUnits() const { return 4 * seriesCount_ + 6; }
  const TcxGridChartColumnDiagramMarks& CategoryMarks() const { return categoryMarks_; }
  const TcxGridChartColumnDiagramMarks& ValueMarks() const { return valueMarks_; }
  TRect PlotBounds() const { return plot_; }
  Integer CategoryTickMarkLength() const { return categoryTickLength_; }
  Integer ValueTickMarkLength() const { return valueTickLength_; }
  Integer ValueViewInfoCount() const { return Integer(values_.size()); }
  TcxGridChartDiagramValueViewInfo* ValueViewInfo(Integer i) const { return values_.at(size_t(i)).get(); }
  TcxGridChartDiagramValueViewInfo* FindValueViewInfo(Integer visibleSeriesIndex, Integer valueIndex) const;
  TcxGridChartColumnDiagramTickMarkLabelsViewInfo* CategoryLabels() const { return categoryLabels_.get(); }
  TcxGridChartColumnDiagramTickMarkLabelsViewInfo* ValueLabels() const { return valueLabels_.get(); }
  TcxStyleParams PlotParams;

  // Mapping.
  bool IsCategoryAxisHorizontal() const { return !diagram_->IsHorizontal(); }
  Integer CategoryUnitToPixel(Integer units) const;
  Integer ValueToPixel(double value) const;
  TRect CalculateValueBounds(Integer visibleSeriesIndex, Integer valueIndex) const;
  double GetValue(Integer visibleSeriesIndex, Integer valueIndex) const;
  // The category axis line (at value 0) and the value axis line (at the first or last
  // category mark) as one-pixel rectangles.
  TRect CategoryAxisLine() const;
  TRect ValueAxisLine() const;

 private:
  void CalculateValues();
  void CalculatePlot();
  void CalculateMarks();
  TcxGridChartColumnDiagram* diagram_;
  TcxGridChartValueScale scale_;
  Integer valueCount_ = 0, seriesCount_ = 0;
  std::vector<double> values_cache_;
  TcxGridChartColumnDiagramMarks categoryMarks_, valueMarks_;
  TRect plot_;
  Integer categoryTickLength_ = 0, valueTickLength_ = 0;
  std::unique_ptr<TcxGridChartColumnDiagramTickMarkLabelsViewInfo> categoryLabels_, valueLabels_;
  std::vector<std::unique_ptr<TcxGridChartDiagramValueViewInfo>> values_;
};

// ---- the chart -----------------------------------------------------------------------------------------------------

class TcxGridChartViewInfo : public TcxCustomGridViewInfo {
  KORVAN_CLASS(TcxGridChartViewInfo, TcxCustomGridViewInfo)

 public:
  explicit TcxGridChartViewInfo(TcxCustomGridView* v) : TcxCustomGridViewInfo(v) {}
  ~TcxGridChartViewInfo() override;
  TcxGridChartView* ChartView() const { return static_cast<TcxGridChartView*>(GridView()); }
  void CreatePartViewInfos() override;
  void DestroyPartViewInfos(bool isRecreating) override;
  void Calculate() override;
  TcxCustomGridHitTest* GetContentHitTest(const TPoint& p) override;
  void GetHeight(const TPoint& maxSize, Integer& height, bool& fullyVisible) override;

  TcxGridChartTitleViewInfo* TitleViewInfo() const { return title_.get(); }
  // Null while the view has no active diagram.
  TcxGridChartLegendViewInfo* LegendViewInfo() const { return legend_.get(); }
  TcxGridChartColumnDiagramViewInfo* DiagramViewInfo() const { return diagram_.get(); }

 private:
  std::unique_ptr<TcxGridChartTitleViewInfo> title_;
  std::unique_ptr<TcxGridChartLegendViewInfo> legend_;
  std::unique_ptr<TcxGridChartColumnDiagramViewInfo> diagram_;
};

void RegisterGridChartPainters();
