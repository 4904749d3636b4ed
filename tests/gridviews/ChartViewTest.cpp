// The chart view: value scale, data reading, diagrams and their rules, layout of plot, values,
// legend, titles and captions, hints, palette, hit tests, the image for the export link and
// the sheet of column and bar diagrams.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "gridviews/cxGridChartViewInfo.h"
#include "rtl/Math.h"
#include "rtl/SysUtils.h"
#include "rtl/Variants.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/Forms.h"

namespace {

TPoint Center(const TRect& r) { return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }

// ---- value scale ---------------------------------------------------------------------------------

struct ScaleCase {
  const char* name;
  double min, max;
  bool integerOnly;
  double step, axisMin, axisMax;
  Integer marks;
};

TEST(ChartValueScale, RangesStepsAndAxisRanges) {
  const ScaleCase cases[] = {
      {"0 to 95, integers", 0, 95, true, 10, 0, 100, 11},
      {"0 to 100: a multiple gets one step more", 0, 100, true, 20, 0, 120, 7},
      {"-7 to 3", -7, 3, true, 2, -8, 4, 7},
      {"all zero", 0, 0, true, 0, 0, 1, 0},
      {"float 0 to 0.4", 0, 0.4, false, 0.05, 0, 0.45, 10},
      {"integer 0 to 0.4", 0, 0.4, true, 1, 0, 1, 2},
      {"only negative values", -40, -5, false, 5, -45, 0, 10},
      // The tenth of the range is 0.019999999999999997 here: a step of 0.02 would be chosen
      // by floating noise alone where the exact tenth (0.02) asks for the next step.
      {"tenth of the range is a step value", -0.18, 0.02, false, 0.05, -0.2, 0.05, 6},
      // Marks made by adding 0.02 six times stop at 0.1 and lose 0.12.
      {"last mark at 0.12", 0, 0.11, false, 0.02, 0, 0.12, 7},
      {"large values", 0, 2500000, false, 500000, 0, 3000000, 7},
  };
  for (const ScaleCase& c : cases) {
    SCOPED_TRACE(c.name);
    TcxGridChartValueScale s = GridChartValueScale(c.min, c.max, c.integerOnly);
    EXPECT_NEAR(s.Step, c.step, 1e-12);
    EXPECT_NEAR(s.AxisMin, c.axisMin, 1e-12);
    EXPECT_NEAR(s.AxisMax, c.axisMax, 1e-12);
    ASSERT_EQ(s.MarkCount(), c.marks);
    if (c.marks > 0) {
      EXPECT_NEAR(s.Mark(0), c.axisMin, 1e-12);
      EXPECT_NEAR(s.Mark(c.marks - 1), c.axisMax, 1e-12);
    }
  }
}

TEST(ChartValueScale, StepIsCheckedAgainstTheExactTenth) {
  // Ranges whose tenth is a step value choose the next step whatever the rounding.
  for (double range : {1.0, 2.0, 5.0, 0.1, 0.2, 0.5, 10.0, 20.0, 50.0}) {
    double step = GridChartValueStep(0, range, false);
    EXPECT_GT(step, range / 10 * 1.5) << range;
  }
}

TEST(ChartPalette, TwentyFourColoursRepeat) {
  EXPECT_EQ(GridChartPaletteColor(0), TColor(255 | (193 << 8) | (96 << 16)));
  EXPECT_EQ(GridChartPaletteColor(23), TColor(165 | (181 << 8) | (156 << 16)));
  EXPECT_EQ(GridChartPaletteColor(24), GridChartPaletteColor(0));
  EXPECT_EQ(GridChartPaletteColor(49), GridChartPaletteColor(1));
}

// ---- fixture -----------------------------------------------------------------------------------------

class ChartViewTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxGridChartView();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 640, 480);
    grid_ = new TcxGrid(form_);
    grid_->SetName("Grid1");
    grid_->SetBounds(10, 10, 600, 400);
    grid_->SetParent(form_);
    level_ = grid_->Levels()->Add();
    view_ = static_cast<TcxGridChartView*>(grid_->CreateView(TcxGridChartView::StaticClass()));
    view_->SetName("Chart1");
    level_->SetGridView(view_);
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }

  TcxGridChartSeries* AddSeries(const String& name, const String& valueType = "Float") {
    TcxGridChartSeries* s = view_->CreateSeries();
    s->SetName(name);
    s->DataBinding()->SetValueType(valueType);
    return s;
  }

  // Rows of (category, value of series 0, value of series 1, ...).
  void Fill(const std::vector<std::vector<Variant>>& rows) {
    TcxCustomDataController* dc = view_->DataController();
    dc->BeginUpdate();
    dc->SetRecordCount(Integer(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t i = 0; i < rows[r].size(); ++i) dc->SetValue(Integer(r), Integer(i), rows[r][i]);
    dc->EndUpdate();
  }

  // A view info of its own, laid out in (0, 0, w, h).
  std::unique_ptr<TcxGridChartViewInfo> Layout(Integer w = 600, Integer h = 400) {
    std::unique_ptr<TcxGridChartViewInfo> info(static_cast<TcxGridChartViewInfo*>(view_->CreateViewInfo()));
    info->SetInternal(true);
    info->SetClientBounds(TRect(0, 0, w, h));
    info->PlaceAndCalculate(TRect(0, 0, w, h));
    return info;
  }

  TForm* form_ = nullptr;
  TcxGrid* grid_ = nullptr;
  TcxGridLevel* level_ = nullptr;
  TcxGridChartView* view_ = nullptr;
};

// ---- model -----------------------------------------------------------------------------------------------

TEST_F(ChartViewTest, RegisteredAsChartAndNewViewHasTheColumnDiagramActive) {
  EXPECT_GE(GridRegisteredViews()->IndexOfClass(TcxGridChartView::StaticClass()), 0);
  EXPECT_EQ(view_->ActiveDiagram(), view_->DiagramColumn());
  EXPECT_EQ(view_->DiagramColumn()->GetDisplayText(), "Column Diagram");
  EXPECT_EQ(view_->DiagramBar()->GetDisplayText(), "Bar Diagram");
  ASSERT_EQ(view_->GetPresentationCount(), 2);
  EXPECT_TRUE(view_->IsPresentationChecked(0));
  EXPECT_FALSE(view_->CanChangeLayout());
  // As a detail it takes all the height it may have and never counts as completely shown.
  Integer height = 0;
  bool fully = true;
  view_->ViewInfo()->GetHeight(TPoint(600, 333), height, fully);
  EXPECT_EQ(height, 333);
  EXPECT_FALSE(fully);
  // An empty chart: an empty plot, no legend items.
  auto info = Layout();
  ASSERT_NE(info->DiagramViewInfo(), nullptr);
  EXPECT_EQ(info->DiagramViewInfo()->ValueViewInfoCount(), 0);
  EXPECT_FALSE(info->LegendViewInfo()->IsCellVisible());
}

TEST_F(ChartViewTest, ActiveDiagramRules) {
  std::vector<TcxGridChartDiagram*> fired;
  view_->OnActiveDiagramChanged = [&](TcxGridChartView*, TcxGridChartDiagram* d) { fired.push_back(d); };
  view_->DiagramColumn()->SetActive(false);  // does nothing
  EXPECT_EQ(view_->ActiveDiagram(), view_->DiagramColumn());
  view_->ExecutePresentation(1);
  EXPECT_EQ(view_->ActiveDiagram(), view_->DiagramBar());
  // Disabling both leaves none, without error; the chart then shows only its title.
  view_->DiagramBar()->SetEnabled(false);
  EXPECT_EQ(view_->ActiveDiagram(), view_->DiagramColumn());
  view_->DiagramColumn()->SetEnabled(false);
  EXPECT_EQ(view_->ActiveDiagram(), nullptr);
  view_->Title()->SetText("Only the title");
  auto info = Layout();
  EXPECT_EQ(info->DiagramViewInfo(), nullptr);
  EXPECT_EQ(info->LegendViewInfo(), nullptr);
  EXPECT_TRUE(info->TitleViewInfo()->IsCellVisible());
  // A disabled diagram cannot be made active; enabling the bar diagram makes it active.
  view_->SetActiveDiagram(view_->DiagramColumn());
  EXPECT_EQ(view_->ActiveDiagram(), nullptr);
  view_->DiagramBar()->SetEnabled(true);
  EXPECT_EQ(view_->ActiveDiagram(), view_->DiagramBar());
  EXPECT_EQ(fired, (std::vector<TcxGridChartDiagram*>{view_->DiagramBar(), view_->DiagramColumn(), view_->DiagramBar()}));
}

TEST_F(ChartViewTest, ItemsIdentifiersAndSeriesOrder) {
  TcxGridChartSeries* a = AddSeries("Sales");
  TcxGridChartSeries* b = AddSeries("Costs", "Integer");
  EXPECT_EQ(view_->Categories()->DataBinding()->ID(), 0);
  EXPECT_EQ(a->ID(), 1);
  EXPECT_EQ(b->ID(), 2);
  EXPECT_EQ(view_->DataController()->GetItem(0), view_->Categories());
  EXPECT_EQ(view_->DataController()->GetItem(2), b);
  EXPECT_EQ(view_->DataController()->GetItemID(b), 2);
  EXPECT_EQ(b->DataBinding()->ValueType(), "Integer");
  EXPECT_TRUE(b->DataBinding()->IsValueTypeInteger());
  // A series takes only numeric value types.
  b->DataBinding()->SetValueType("String");
  EXPECT_EQ(b->DataBinding()->ValueType(), "Integer");
  view_->ChangeSeriesIndex(b, 0);
  EXPECT_EQ(view_->GetSeries(0), b);
  EXPECT_EQ(view_->FindSeriesByID(1), a);
  // Only the last identifier issued is given back.
  delete a;
  EXPECT_EQ(view_->GetSeriesCount(), 1);
  EXPECT_EQ(view_->NextID(), 3);
  TcxGridChartSeries* last = view_->CreateSeries();
  EXPECT_EQ(last->ID(), 3);
  delete last;
  EXPECT_EQ(view_->NextID(), 3);
  // Display texts: DisplayText, else the name, else "<no display text>".
  b->SetDisplayText("Cost of goods");
  EXPECT_EQ(b->GetDisplayText(), "Cost of goods");
  TcxGridChartSeries* c = view_->CreateSeries();
  EXPECT_EQ(c->GetDisplayText(), "<no display text>");
  // The items after a series that goes move up, and their series find them there.
  TcxGridChartSeries* d = view_->CreateSeries();
  EXPECT_EQ(c->DataBinding()->ItemIndex(), 2);
  delete b;
  EXPECT_EQ(c->DataBinding()->ItemIndex(), 1);
  EXPECT_EQ(d->DataBinding()->ItemIndex(), 2);
  EXPECT_EQ(view_->DataController()->GetItem(1), c);
  // Clearing frees every series and leaves an empty visible list; the next series made is the
  // first visible one again.
  d->SetVisible(false);
  view_->ClearSeries();
  EXPECT_EQ(view_->GetSeriesCount(), 0);
  EXPECT_EQ(view_->GetVisibleSeriesCount(), 0);
  TcxGridChartSeries* again = view_->CreateSeries();
  EXPECT_EQ(view_->GetVisibleSeriesCount(), 1);
  EXPECT_EQ(again->VisibleIndex(), 0);
}

TEST_F(ChartViewTest, BadValuesReadAsZeroAndNullCategoriesAsEmptyText) {
  AddSeries("S");
  // A stored form may give the series' item a text type.
  view_->DataController()->ChangeValueTypeClass(1, TcxStringValueType::Class());
  Fill({{Variant("Jan"), Variant(3.5)}, {Null(), Null()}, {Variant("Mar"), Variant("not a number")}, {Variant("Apr"), Variant(Integer(7))}});
  TcxGridChartViewData* data = view_->GetViewData();
  ASSERT_EQ(data->GetValueCount(), 4);
  EXPECT_EQ(data->GetCategory(1), "");
  EXPECT_EQ(data->GetValue(0, 1).AsDouble(), 0);
  EXPECT_EQ(data->GetValue(0, 2).AsDouble(), 0);
  EXPECT_EQ(data->GetValue(0, 3).AsDouble(), 0);  // text, though it looks like a number
  // A numeric item reads its values.
  view_->DataController()->ChangeValueTypeClass(1, TcxFloatValueType::Class());
  view_->DataController()->SetValue(3, 1, Variant(7.5));
  EXPECT_EQ(data->GetValue(0, 3).AsDouble(), 7.5);
  EXPECT_EQ(data->GetValue(0, 1).AsDouble(), 0);  // Null
  // Past the rows: no record, a zero value, an empty category.
  EXPECT_EQ(data->GetRecordIndex(4), -1);
  EXPECT_EQ(data->GetValue(0, 9).AsDouble(), 0);
  EXPECT_EQ(data->GetCategory(-1), "");
}

TEST_F(ChartViewTest, ValueCountIsTheRowCountSoFilteredRecordsAreNotCharted) {
  AddSeries("S");
  Fill({{Variant("A"), Variant(1)}, {Variant("B"), Variant(2)}, {Variant("C"), Variant(3)}});
  view_->DataController()->SetOnFilterRecord([](TcxCustomDataController*, int record, bool& accept) { accept = record != 1; });
  view_->DataController()->Refresh();
  TcxGridChartViewData* data = view_->GetViewData();
  ASSERT_EQ(data->GetValueCount(), 2);
  EXPECT_EQ(data->GetCategory(1), "C");
  EXPECT_EQ(data->GetValue(0, 1).AsDouble(), 3);
  auto info = Layout();
  EXPECT_EQ(info->DiagramViewInfo()->ValueViewInfoCount(), 2);
  EXPECT_EQ(info->LegendViewInfo()->ItemCount(), 1);
}

TEST_F(ChartViewTest, SortingACategoryOrSeriesOrdersTheValues) {
  TcxGridChartSeries* s = AddSeries("S");
  Fill({{Variant("B"), Variant(2)}, {Variant("C"), Variant(1)}, {Variant("A"), Variant(3)}});
  view_->Categories()->SetSortOrder(soAscending);
  EXPECT_EQ(view_->GetViewData()->GetCategory(0), "A");
  s->SetSortOrder(soAscending);
  EXPECT_EQ(view_->Categories()->SortOrder(), soNone);
  EXPECT_EQ(view_->GetViewData()->GetCategory(0), "C");
}

TEST_F(ChartViewTest, OptionClampsAndEffectiveTitleAndLegendValues) {
  TcxGridChartColumnDiagram* d = view_->DiagramColumn();
  d->Values()->SetBorderWidth(-3);
  EXPECT_EQ(d->Values()->BorderWidth(), 0);
  // Titles: no text, no position.
  view_->Title()->SetPosition(cppLeft);
  EXPECT_EQ(view_->Title()->GetPosition(), cppNone);
  view_->Title()->SetText("T");
  EXPECT_EQ(view_->Title()->GetPosition(), cppLeft);
  EXPECT_EQ(view_->Title()->GetOrientation(), cpoVertical);
  EXPECT_EQ(view_->Title()->GetAlignment(), cpaCenter);
  d->AxisValue()->Title()->SetText("Amount");
  EXPECT_EQ(d->AxisValue()->Title()->GetPosition(), cppLeft);
  EXPECT_EQ(view_->DiagramBar()->AxisValue()->Title()->GetPosition(), cppNone);
  // Diagram legends inherit the view's legend.
  TcxGridChartLegend* l = d->Legend();
  EXPECT_EQ(l->GetPosition(), cppRight);
  EXPECT_EQ(l->GetOrientation(), cpoVertical);
  EXPECT_EQ(l->GetAlignment(), cpaCenter);
  EXPECT_EQ(l->GetBorder(), lbNone);
  EXPECT_EQ(l->GetKeyBorder(), lbSingle);
  view_->Legend()->SetPosition(cppBottom);
  EXPECT_EQ(l->GetPosition(), cppBottom);
  EXPECT_EQ(l->GetOrientation(), cpoHorizontal);
  EXPECT_EQ(view_->DiagramBar()->Legend()->GetOrientation(), cpoHorizontal);
  l->SetOrientation(cpoVertical);
  EXPECT_EQ(l->GetOrientation(), cpoVertical);
}

struct AxisCase {
  bool bar, atMax, reverse;
  TcxGridChartPartPosition category, value;
};

TEST_F(ChartViewTest, AxisPositions) {
  const AxisCase cases[] = {
      {false, false, false, cppBottom, cppLeft}, {false, true, false, cppBottom, cppRight},
      {false, true, true, cppBottom, cppLeft},   {false, false, true, cppBottom, cppRight},
      {true, false, false, cppLeft, cppBottom},  {true, true, false, cppLeft, cppTop},
      {true, true, true, cppLeft, cppBottom},
  };
  for (const AxisCase& c : cases) {
    TcxGridChartColumnDiagram* d = c.bar ? view_->DiagramBar() : view_->DiagramColumn();
    d->AxisCategory()->SetValueAxisAtMaxCategory(c.atMax);
    d->AxisCategory()->SetCategoriesInReverseOrder(c.reverse);
    SCOPED_TRACE(testing::Message() << c.bar << c.atMax << c.reverse);
    EXPECT_EQ(d->GetCategoryAxisPosition(), c.category);
    EXPECT_EQ(d->GetValueAxisPosition(), c.value);
  }
}

TEST_F(ChartViewTest, ValueAxisLabelFormat) {
  TcxGridChartSeries* a = AddSeries("A");
  TcxGridChartSeries* b = AddSeries("B");
  TcxGridChartColumnDiagramAxis* axis = view_->DiagramColumn()->AxisValue();
  a->SetValueCaptionFormat("0.00");
  b->SetValueCaptionFormat("0.0");
  EXPECT_EQ(axis->GetTickMarkLabelText(2.5), "2.5");
  b->SetValueCaptionFormat("0.00");
  EXPECT_EQ(axis->GetTickMarkLabelText(2.5), "2.50");
  axis->SetTickMarkLabelFormat("0");
  EXPECT_EQ(axis->GetTickMarkLabelText(7), "7");
  EXPECT_EQ(a->GetValueDisplayText(0), "0.00");
}

// ---- layout ----------------------------------------------------------------------------------------------

TEST_F(ChartViewTest, ColumnsOfTwoSeriesTakeTheirUnitsOfEachCategory) {
  AddSeries("A", "Integer");
  AddSeries("B", "Integer");
  Fill({{Variant("Jan"), Variant(Integer(40)), Variant(Integer(95))}, {Variant("Feb"), Variant(Integer(-7)), Variant(Integer(0))}});
  auto info = Layout();
  TcxGridChartColumnDiagramViewInfo* d = info->DiagramViewInfo();
  EXPECT_EQ(d->CategoryUnits(), 14);
  EXPECT_DOUBLE_EQ(d->Scale().Step, 20);
  EXPECT_DOUBLE_EQ(d->Scale().AxisMin, -20);
  EXPECT_DOUBLE_EQ(d->Scale().AxisMax, 100);
  ASSERT_EQ(d->ValueViewInfoCount(), 4);
  TRect plot = d->PlotBounds();
  Integer zero = d->ValueToPixel(0);
  // Series 0 of Jan: units 3 to 7; series 1: units 7 to 11.
  TRect a = d->FindValueViewInfo(0, 0)->Bounds, b = d->FindValueViewInfo(1, 0)->Bounds;
  EXPECT_EQ(a.Left, plot.Left + MulDiv(plot.Width(), 3, 28));
  EXPECT_EQ(a.Right, plot.Left + MulDiv(plot.Width(), 7, 28));
  EXPECT_EQ(b.Left, a.Right);
  EXPECT_EQ(b.Right, plot.Left + MulDiv(plot.Width(), 11, 28));
  EXPECT_EQ(a.Bottom, zero + 1);
  EXPECT_EQ(a.Top, d->ValueToPixel(40));
  // A negative value hangs below the line of 0.
  TRect neg = d->FindValueViewInfo(0, 1)->Bounds;
  EXPECT_EQ(neg.Top, zero);
  EXPECT_EQ(neg.Bottom, d->ValueToPixel(-7) + 1);
  // Marks: category boundaries 0, 14, 28 (the last one on the plot's last column); value
  // marks -20 to 100 by 20, the axis minimum on the plot's bottom row.
  ASSERT_EQ(d->CategoryMarks().size(), 3u);
  EXPECT_EQ(d->CategoryMarks()[0].Position, plot.Left);
  EXPECT_EQ(d->CategoryMarks()[2].Position, plot.Right - 1);
  ASSERT_EQ(d->ValueMarks().size(), 7u);
  EXPECT_EQ(d->ValueMarks()[0].Position, plot.Bottom - 1);
  EXPECT_EQ(d->ValueMarks()[6].Position, plot.Top);
  // Labels: the value axis on the left of the plot, the categories under it.
  EXPECT_LE(d->ValueLabels()->LabelBounds(6).Right, plot.Left - 10);
  EXPECT_GE(d->CategoryLabels()->LabelBounds(0).Top, plot.Bottom + 10);
  EXPECT_EQ(d->ValueAxisLine(), TRect(plot.Left, plot.Top, plot.Left + 1, plot.Bottom));
  EXPECT_EQ(d->CategoryAxisLine(), TRect(plot.Left, zero, plot.Right, zero + 1));
  // Without boundaries between categories the marks sit at the category centres.
  view_->DiagramColumn()->AxisCategory()->SetValueAxisBetweenCategories(false);
  info = Layout();
  ASSERT_EQ(info->DiagramViewInfo()->CategoryMarks().size(), 2u);
  EXPECT_EQ(info->DiagramViewInfo()->CategoryMarks()[1].Value, 21);
}

TEST_F(ChartViewTest, BarsRunFromTheBottomAndReverse) {
  AddSeries("A");
  Fill({{Variant("One"), Variant(1.0)}, {Variant("Two"), Variant(2.0)}});
  view_->SetActiveDiagram(view_->DiagramBar());
  auto info = Layout();
  TcxGridChartColumnDiagramViewInfo* d = info->DiagramViewInfo();
  TRect plot = d->PlotBounds();
  TRect first = d->FindValueViewInfo(0, 0)->Bounds, second = d->FindValueViewInfo(0, 1)->Bounds;
  EXPECT_GT(first.Top, second.Top);  // the first category at the bottom
  EXPECT_EQ(first.Left, d->ValueToPixel(0));
  EXPECT_EQ(first.Right, d->ValueToPixel(1.0) + 1);
  EXPECT_EQ(d->CategoryMarks()[0].Position, plot.Bottom - 1);
  EXPECT_GE(d->ValueLabels()->LabelBounds(0).Top, plot.Bottom + 10);
  view_->DiagramBar()->AxisCategory()->SetCategoriesInReverseOrder(true);
  info = Layout();
  d = info->DiagramViewInfo();
  EXPECT_LT(d->FindValueViewInfo(0, 0)->Bounds.Top, d->FindValueViewInfo(0, 1)->Bounds.Top);
}

TEST_F(ChartViewTest, LegendSizesOrderAndKeys) {
  AddSeries("Alpha");
  AddSeries("Beta");
  TcxGridChartSeries* hidden = AddSeries("Gamma");
  hidden->SetVisible(false);
  AddSeries("Delta");
  Fill({{Variant("X"), Variant(1), Variant(2), Variant(3), Variant(4)}});
  auto info = Layout();
  TcxGridChartLegendViewInfo* legend = info->LegendViewInfo();
  ASSERT_EQ(legend->ItemCount(), 3);
  // At the right the list is reversed: the last series first.
  EXPECT_EQ(legend->Items(0)->Text, "Delta");
  EXPECT_EQ(legend->Items(2)->Text, "Alpha");
  // Series colours by series index (hidden series counted).
  EXPECT_EQ(legend->Items(0)->KeyParams.Color, GridChartPaletteColor(3));
  EXPECT_EQ(legend->Items(2)->KeyParams.Color, GridChartPaletteColor(0));
  // Sizes: vertical list, spacing s = h / 4, key K = 3h / 4.
  TcxGridChartLegendItemViewInfo* item = legend->Items(1);
  Integer h = MeasureTextHeightInFont(item->Params.Font, "Qq");
  Integer s = MulDiv(h, 1, 4), k = MulDiv(h, 3, 4), g = k / 2;
  EXPECT_EQ(legend->Spacing(), s);
  EXPECT_EQ(item->KeyBounds().Width(), k);
  EXPECT_EQ(item->Bounds.Width(), MeasureTextWidthInFont(item->Params.Font, "Beta") + k + g + 2 * (g / 2));
  Integer widest = 0, heights = 0;
  for (Integer i = 0; i < 3; ++i) {
    widest = std::max(widest, legend->Items(i)->Bounds.Width());
    heights += legend->Items(i)->Bounds.Height();
  }
  EXPECT_EQ(legend->Bounds.Width(), widest + 2 * s);
  EXPECT_EQ(legend->Bounds.Height(), heights + 2 * s + 2 * s);
  EXPECT_EQ(legend->Items(0)->Bounds.TopLeft(), TPoint(legend->Bounds.Left + s, legend->Bounds.Top + s));
  EXPECT_EQ(legend->Items(1)->Bounds.Top, legend->Items(0)->Bounds.Bottom + s);
  // At the right edge, 10 in, centred vertically.
  EXPECT_EQ(legend->Bounds.Right, 590);
  EXPECT_EQ(legend->Bounds.Top, (10 + 390 - legend->Bounds.Height()) / 2);
  // At the bottom: horizontal, in series order, with a border.
  view_->Legend()->SetPosition(cppBottom);
  view_->Legend()->SetBorder(lbSingle);
  info = Layout();
  legend = info->LegendViewInfo();
  EXPECT_EQ(legend->Items(0)->Text, "Alpha");
  EXPECT_EQ(legend->Items(1)->Bounds.Left, legend->Items(0)->Bounds.Right + s);
  EXPECT_EQ(legend->Bounds.Bottom, 390);
  EXPECT_EQ(legend->Bounds.Height(), h + 2 * s + 2);
  EXPECT_LE(info->DiagramViewInfo()->Bounds.Bottom, legend->Bounds.Top - 10);
  // Reversed categories reverse a top or bottom list.
  view_->DiagramColumn()->AxisCategory()->SetCategoriesInReverseOrder(true);
  EXPECT_EQ(Layout()->LegendViewInfo()->Items(0)->Text, "Delta");
}

TEST_F(ChartViewTest, ColoursVaryByCategoryOnlyWithOneVisibleSeries) {
  TcxGridChartSeries* a = AddSeries("A");
  TcxGridChartSeries* b = AddSeries("B");
  Fill({{Variant("P"), Variant(1), Variant(2)}, {Variant("Q"), Variant(3), Variant(4)}, {Variant("R"), Variant(5), Variant(6)}});
  view_->DiagramColumn()->Values()->SetVaryColorsByCategory(true);
  auto info = Layout();
  EXPECT_EQ(info->DiagramViewInfo()->FindValueViewInfo(1, 2)->Params.Color, GridChartPaletteColor(1));
  EXPECT_EQ(info->LegendViewInfo()->ItemCount(), 2);
  a->SetVisible(false);
  info = Layout();
  TcxGridChartColumnDiagramViewInfo* d = info->DiagramViewInfo();
  EXPECT_EQ(d->FindValueViewInfo(0, 0)->Params.Color, GridChartPaletteColor(0));
  EXPECT_EQ(d->FindValueViewInfo(0, 2)->Params.Color, GridChartPaletteColor(2));
  TcxGridChartLegendViewInfo* legend = info->LegendViewInfo();
  ASSERT_EQ(legend->ItemCount(), 3);  // one per category, reversed at the right
  EXPECT_EQ(legend->Items(0)->Text, "R");
  EXPECT_EQ(legend->Items(0)->KeyParams.Color, GridChartPaletteColor(2));
  // The legend item's hit test carries the only visible series and the value index.
  auto* hit = dynamic_cast<TcxGridChartLegendItemHitTest*>(info->GetHitTest(Center(legend->Items(0)->Bounds)));
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit->Series, b);
  EXPECT_EQ(hit->ValueIndex, 2);
  // Without colouring by category, hiding a series does not change the others' colours.
  view_->DiagramColumn()->Values()->SetVaryColorsByCategory(false);
  EXPECT_EQ(Layout()->DiagramViewInfo()->FindValueViewInfo(0, 0)->Params.Color, GridChartPaletteColor(1));
}

TEST_F(ChartViewTest, TitlesAndAxisTitlesWithVerticalText) {
  AddSeries("A");
  Fill({{Variant("X"), Variant(5)}});
  view_->Title()->SetText("Turnover");
  TcxGridChartColumnDiagram* d = view_->DiagramColumn();
  d->AxisValue()->Title()->SetText("Euro");
  d->AxisCategory()->Title()->SetText("Month");
  auto info = Layout();
  TcxGridChartTitleViewInfo* title = info->TitleViewInfo();
  Integer tw = MeasureTextWidthInFont(title->Params.Font, "Turnover");
  Integer th = MeasureTextHeightInFont(title->Params.Font, "Qq");
  EXPECT_EQ(title->Bounds, TRect((10 + 590 - tw) / 2, 10, (10 + 590 - tw) / 2 + tw, 10 + th));
  TcxGridChartColumnDiagramViewInfo* diagram = info->DiagramViewInfo();
  EXPECT_EQ(diagram->Bounds.Top, 10 + th + 10);
  // The value axis title at the left is vertical: as wide as a line, as high as the text.
  TcxGridChartColumnDiagramAxisTitleViewInfo* vt = diagram->ValueLabels()->AxisTitle();
  EXPECT_TRUE(vt->IsVertical());
  EXPECT_EQ(vt->Bounds.Width(), MeasureTextHeightInFont(vt->Params.Font, "Qq"));
  EXPECT_EQ(vt->Bounds.Left, diagram->Bounds.Left);
  TcxGridChartColumnDiagramAxisTitleViewInfo* ct = diagram->CategoryLabels()->AxisTitle();
  EXPECT_FALSE(ct->IsVertical());
  EXPECT_GE(ct->Bounds.Top, diagram->CategoryLabels()->LabelBounds(0).Bottom + 10);
  EXPECT_EQ(dynamic_cast<TcxGridChartHistogramValueAxisTitleHitTest*>(info->GetHitTest(Center(vt->Bounds)))->Diagram, d);
  EXPECT_NE(dynamic_cast<TcxGridChartHistogramCategoryAxisTitleHitTest*>(info->GetHitTest(Center(ct->Bounds))), nullptr);
  EXPECT_EQ(info->GetHitTest(Center(title->Bounds))->GetHitTestCode(), 51);
  // A vertical chart title at the left.
  view_->Title()->SetPosition(cppLeft);
  info = Layout();
  EXPECT_EQ(info->TitleViewInfo()->Bounds.Width(), th);
  EXPECT_EQ(info->TitleViewInfo()->Bounds.Height(), tw);
  EXPECT_EQ(info->DiagramViewInfo()->Bounds.Left, 10 + th + 10);
}

TEST_F(ChartViewTest, LongCategoryLabelsGoOnTwoLinesWithinTheirNeighbours) {
  AddSeries("A");
  std::vector<std::vector<Variant>> rows;
  for (Integer i = 0; i < 8; ++i) rows.push_back({Variant("A rather long category " + IntToStr(i)), Variant(i + 1)});
  Fill(rows);
  auto wide = Layout(2400, 400);
  EXPECT_FALSE(wide->DiagramViewInfo()->CategoryLabels()->TwoLines());
  auto info = Layout(500, 300);
  TcxGridChartColumnDiagramViewInfo* d = info->DiagramViewInfo();
  TcxGridChartColumnDiagramTickMarkLabelsViewInfo* labels = d->CategoryLabels();
  ASSERT_TRUE(labels->TwoLines());
  Integer lh = labels->LineHeight();
  EXPECT_EQ(labels->LabelBounds(1).Top, labels->LabelBounds(0).Top + lh + 4);
  EXPECT_EQ(labels->LabelBounds(2).Top, labels->LabelBounds(0).Top);
  // Each label ends 2 pixels inside its neighbours' positions.
  Integer u = d->CategoryUnits();
  for (Integer i = 1; i + 1 < 8; ++i) {
    EXPECT_GE(labels->LabelBounds(i).Left, d->CategoryUnitToPixel(u * (2 * (i - 1) + 1) / 2) + 2) << i;
    EXPECT_LE(labels->LabelBounds(i).Right, d->CategoryUnitToPixel(u * (2 * (i + 1) + 1) / 2) - 2) << i;
  }
  // The plot leaves room for the two lines below it.
  EXPECT_GE(d->Bounds.Bottom - d->PlotBounds().Bottom, 2 * lh + 4 + 10);
}

TEST_F(ChartViewTest, PlotCustomDrawGetsThePlotParameters) {
  AddSeries("A");
  Fill({{Variant("X"), Variant(2)}});
  TRect seen;
  view_->DiagramColumn()->OnCustomDrawPlot = [&](TcxGridChartColumnDiagram*, TcxCanvas* canvas,
                                                 TcxGridChartColumnDiagramViewInfo*, const TRect& r, bool& done) {
    seen = r;
    EXPECT_EQ(canvas->CurrentBrush()->Color(), clWhite);
    canvas->FillRectColor(r, clYellow);
    done = true;
  };
  std::unique_ptr<TGraphic> image(CreateImage(view_, TBitmap::StaticClass(), 300, 200));
  auto info = Layout(300, 200);
  EXPECT_EQ(seen, info->DiagramViewInfo()->PlotBounds());
  TPoint corner(seen.Left + 2, seen.Top + 2);
  EXPECT_EQ(static_cast<TBitmap*>(image.get())->Canvas()->Pixels(corner.X, corner.Y), clYellow);
}

struct CaptionCase {
  TcxGridChartColumnDiagramValueCaptionPosition position;
  bool bar;
};

TEST_F(ChartViewTest, ValueCaptionsInEveryPosition) {
  AddSeries("A");
  Fill({{Variant("Up"), Variant(80)}, {Variant("Down"), Variant(-60)}});
  const CaptionCase cases[] = {{cdvcpInsideBase, false}, {cdvcpCenter, false}, {cdvcpInsideEnd, false},
                               {cdvcpOutsideEnd, false}, {cdvcpInsideBase, true}, {cdvcpOutsideEnd, true}};
  for (const CaptionCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.position << " bar " << c.bar);
    view_->SetActiveDiagram(c.bar ? static_cast<TcxGridChartDiagram*>(view_->DiagramBar()) : view_->DiagramColumn());
    (c.bar ? view_->DiagramBar() : view_->DiagramColumn())->Values()->SetCaptionPosition(c.position);
    auto info = Layout();
    for (Integer v = 0; v < 2; ++v) {
      TcxGridChartDiagramValueViewInfo* value = info->DiagramViewInfo()->FindValueViewInfo(0, v);
      TRect r = value->Bounds, cap = value->Caption()->Bounds;
      EXPECT_EQ(value->Caption()->Text, v == 0 ? "80" : "-60");
      bool positive = v == 0;
      // Along the value direction: base = the end at 0, end = the value's end.
      Integer rBase, rEnd, cBase, cEnd;
      if (!c.bar) {
        rBase = positive ? r.Bottom : r.Top, rEnd = positive ? r.Top : r.Bottom;
        cBase = positive ? cap.Bottom : cap.Top, cEnd = positive ? cap.Top : cap.Bottom;
        EXPECT_LE(std::abs((cap.Left + cap.Right) - (r.Left + r.Right)), 1);  // centred across
      } else {
        rBase = positive ? r.Left : r.Right, rEnd = positive ? r.Right : r.Left;
        cBase = positive ? cap.Left : cap.Right, cEnd = positive ? cap.Right : cap.Left;
      }
      switch (c.position) {
        case cdvcpInsideBase: EXPECT_EQ(cBase, rBase); break;
        case cdvcpCenter: EXPECT_EQ(cap.Top, r.Top); EXPECT_EQ(cap.Bottom, r.Bottom); break;
        case cdvcpInsideEnd: EXPECT_EQ(cEnd, rEnd); break;
        default: EXPECT_EQ(cBase, rEnd); break;  // just beyond the value's end
      }
    }
  }
}

TEST_F(ChartViewTest, ValueHintsAndHitTests) {
  TcxGridChartSeries* s = AddSeries("Sales");
  Fill({{Variant("May"), Variant(Integer(12))}});
  auto info = Layout();
  TcxGridChartDiagramValueViewInfo* value = info->DiagramViewInfo()->FindValueViewInfo(0, 0);
  EXPECT_EQ(value->GetHintText(), "Sales for May is 12");
  auto* hit = dynamic_cast<TcxGridChartValueHitTest*>(info->GetHitTest(Center(value->Bounds)));
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit->Series, s);
  EXPECT_EQ(hit->ValueIndex, 0);
  EXPECT_TRUE(view_->GetController()->HandlesDesignTimeMouse(hit));
  TPoint inPlot(info->DiagramViewInfo()->PlotBounds().Left + 2, info->DiagramViewInfo()->PlotBounds().Top + 2);
  EXPECT_EQ(info->GetHitTest(inPlot)->GetHitTestCode(), 55);
  String text;
  TRect textRect;
  bool multi = true;
  TPoint p = Center(value->Bounds);
  ASSERT_TRUE(value->NeedsHint(p, text, textRect, multi));
  EXPECT_EQ(textRect.Top, p.Y + 27);
  view_->OnGetValueHint = [](TcxGridChartView*, TcxGridChartSeries*, Integer index, String& t) { t += " (" + IntToStr(index) + ")"; };
  EXPECT_EQ(value->GetHintText(), "Sales for May is 12 (0)");
  view_->GetOptionsBehavior()->SetValueHints(false);
  EXPECT_FALSE(value->NeedsHint(p, text, textRect, multi));
}

TEST_F(ChartViewTest, AssignCopiesSeriesByIdentifier) {
  TcxGridChartSeries* a = AddSeries("A");
  AddSeries("B")->SetDisplayText("Bee");
  a->SetVisible(false);
  view_->DiagramBar()->SetActive(true);
  view_->Title()->SetText("Copied");
  auto* copy = static_cast<TcxGridChartView*>(grid_->CreateView(TcxGridChartView::StaticClass()));
  copy->CreateSeries();
  copy->CreateSeries();
  copy->CreateSeries();
  copy->Assign(view_);
  ASSERT_EQ(copy->GetSeriesCount(), 2);
  EXPECT_EQ(copy->GetSeries(1)->GetDisplayText(), "Bee");
  EXPECT_FALSE(copy->GetSeries(0)->Visible());
  EXPECT_EQ(copy->GetVisibleSeriesCount(), 1);
  EXPECT_EQ(copy->ActiveDiagram(), copy->DiagramBar());
  EXPECT_EQ(copy->Title()->Text(), "Copied");
  EXPECT_EQ(copy->NextID(), view_->NextID());
  // Series of the same identifiers are kept and take the source's order.
  TcxGridChartSeries* first = copy->GetSeries(0);
  view_->ChangeSeriesIndex(a, 1);
  copy->Assign(view_);
  ASSERT_EQ(copy->GetSeriesCount(), 2);
  EXPECT_EQ(copy->GetSeries(1), first);
  EXPECT_EQ(copy->GetSeries(0)->GetDisplayText(), "Bee");
  ASSERT_EQ(copy->GetVisibleSeriesCount(), 1);
  EXPECT_EQ(copy->GetVisibleSeries(0), copy->GetSeries(0));
  EXPECT_EQ(copy->GetSeries(0)->VisibleIndex(), 0);
  copy->Free();
}

TEST_F(ChartViewTest, OnTheGridSiteDataChangesRelayoutAndCustomDrawAsksTheDiagramFirst) {
  AddSeries("A");
  Fill({{Variant("X"), Variant(3)}});
  std::vector<std::string> calls;
  view_->DiagramColumn()->OnCustomDrawLegend = [&](TcxGridChartDiagram*, TcxCanvas*, TcxGridChartLegendViewInfo*, bool&) {
    calls.push_back("diagram");
  };
  view_->OnCustomDrawLegend = [&](TcxGridChartView*, TcxCanvas*, TcxGridChartLegendViewInfo*, bool& done) {
    calls.push_back("view");
    done = false;
  };
  form_->Show();
  Pump();
  auto* info = static_cast<TcxGridChartViewInfo*>(view_->ViewInfo());
  ASSERT_NE(info->DiagramViewInfo(), nullptr);
  EXPECT_EQ(info->DiagramViewInfo()->ValueViewInfoCount(), 1);
  form_->Repaint();
  Pump();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0], "diagram");
  EXPECT_EQ(calls[1], "view");
  EXPECT_EQ(info->GetHitTest(info->LegendViewInfo()->Bounds.Left + 1, info->LegendViewInfo()->Bounds.Top + 1)->GetHitTestCode(), 52);
  // A new record reaches the layout through the data controller's notification.
  TcxCustomDataController* dc = view_->DataController();
  Integer r = dc->AppendRecord();
  dc->SetValue(r, 0, Variant("Y"));
  dc->SetValue(r, 1, Variant(8));
  Pump();
  info = static_cast<TcxGridChartViewInfo*>(view_->ViewInfo());
  EXPECT_EQ(info->DiagramViewInfo()->ValueViewInfoCount(), 2);
  S().Snapshot(form_->Handle(), "gridviews_chart_grid.png");
}

// ---- image -------------------------------------------------------------------------------------------------

TEST_F(ChartViewTest, CreateImageIntoBitmapAndMetafile) {
  AddSeries("A");
  Fill({{Variant("X"), Variant(3)}, {Variant("Y"), Variant(5)}});
  std::unique_ptr<TGraphic> bitmap(CreateImage(view_, TBitmap::StaticClass(), 320, 200));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 320);
  EXPECT_EQ(bitmap->Height(), 200);
  // The plot's white and the first series' colour are in the picture, also when the metafile
  // is played back.
  auto hasChartColours = [](TBitmap* bmp) {
    bool plot = false, column = false;
    for (Integer y = 0; y < bmp->Height(); y += 2)
      for (Integer x = 0; x < bmp->Width(); x += 2) {
        TColor c = bmp->Canvas()->Pixels(x, y);
        plot = plot || c == clWhite;
        column = column || c == GridChartPaletteColor(0);
      }
    return plot && column;
  };
  EXPECT_TRUE(hasChartColours(static_cast<TBitmap*>(bitmap.get())));
  std::unique_ptr<TGraphic> metafile(CreateImage(view_, TMetafile::StaticClass(), 320, 200));
  ASSERT_NE(metafile, nullptr);
  EXPECT_TRUE(metafile->Transparent());
  EXPECT_EQ(metafile->Width(), 320);
  EXPECT_FALSE(metafile->Empty());
  TBitmap played;
  played.SetSize(320, 200);
  played.Canvas()->StretchDraw(TRect(0, 0, 320, 200), metafile.get());
  EXPECT_TRUE(hasChartColours(&played));
  // Default sizes: the grid's size.
  std::unique_ptr<TGraphic> sized(CreateImage(view_, TBitmap::StaticClass()));
  EXPECT_EQ(sized->Width(), 600);
  EXPECT_EQ(sized->Height(), 400);
  // A class that is neither answers null.
  EXPECT_EQ(CreateImage(view_, TIcon::StaticClass(), 10, 10), nullptr);
  // The screen's view info is not touched.
  EXPECT_FALSE(view_->ViewInfo()->IsInternal());
}

TEST_F(ChartViewTest, CreateImageWithoutAControlSizeIs700By500AndNullForADetailPattern) {
  auto* lone = static_cast<TcxGridChartView*>(TcxCustomGridView::CreateForGrid(TcxGridChartView::StaticClass(), nullptr));
  std::unique_ptr<TGraphic> image(CreateImage(lone, TBitmap::StaticClass()));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Width(), 700);
  EXPECT_EQ(image->Height(), 500);
  lone->Free();
  // A chart on a detail level is a pattern: no image of it.
  TcxGridLevel* detail = level_->Add();
  auto* master = static_cast<TcxGridChartView*>(grid_->CreateView(TcxGridChartView::StaticClass()));
  level_->SetGridView(nullptr);
  view_->Free();
  view_ = nullptr;
  level_->SetGridView(master);
  auto* pattern = static_cast<TcxGridChartView*>(grid_->CreateView(TcxGridChartView::StaticClass()));
  detail->SetGridView(pattern);
  ASSERT_EQ(pattern->DataController()->DetailMode(), 1);
  EXPECT_EQ(CreateImage(pattern, TBitmap::StaticClass()), nullptr);
}

TEST_F(ChartViewTest, SheetOfColumnAndBarDiagrams) {
  AddSeries("North")->SetDisplayText("North");
  AddSeries("South")->SetDisplayText("South");
  AddSeries("West")->SetDisplayText("West");
  Fill({{Variant("January"), Variant(34.5), Variant(12.0), Variant(-8.25)},
        {Variant("February"), Variant(28.0), Variant(19.5), Variant(4.0)},
        {Variant("March"), Variant(41.0), Variant(-6.0), Variant(15.5)},
        {Variant("April"), Variant(22.0), Variant(25.0), Variant(9.0)}});
  view_->Title()->SetText("Sales by region");
  view_->DiagramColumn()->AxisValue()->Title()->SetText("Thousands");
  view_->DiagramColumn()->AxisCategory()->Title()->SetText("Month");
  view_->DiagramColumn()->Values()->SetCaptionPosition(cdvcpOutsideEnd);
  view_->DiagramBar()->AxisValue()->Title()->SetText("Thousands");
  view_->DiagramBar()->Values()->SetCaptionPosition(cdvcpInsideEnd);
  view_->DiagramBar()->Legend()->SetPosition(cppBottom);
  view_->DiagramBar()->Legend()->SetBorder(lbSingle);
  std::unique_ptr<TBitmap> sheet(new TBitmap());
  sheet->SetSize(1000, 420);
  sheet->Canvas()->Brush()->SetColor(clWhite);
  sheet->Canvas()->FillRect(TRect(0, 0, 1000, 420));
  std::unique_ptr<TGraphic> column(CreateImage(view_, TBitmap::StaticClass(), 500, 420));
  view_->SetActiveDiagram(view_->DiagramBar());
  std::unique_ptr<TGraphic> bar(CreateImage(view_, TBitmap::StaticClass(), 500, 420));
  sheet->Canvas()->Draw(0, 0, column.get());
  sheet->Canvas()->Draw(500, 0, bar.get());
  sheet->SaveToPngFile(testing_support::SheetPath("gridviews_chart_diagrams.png"));
}

}  // namespace
