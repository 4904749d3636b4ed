// The table view model: the application's view read from a form description, the option
// defaults and clamps, style resolution, column summaries, the stored layout, grouping with
// hiding and showing, abilities, editor properties and the deferred writes of a layout.
#include <gtest/gtest.h>

#include "TableViewTestSupport.h"
#include "editors/cxEdit.h"
#include "editors/cxEditRepositoryItems.h"
#include "foundation/dxOffice11.h"
#include "gridviews/cxGridRows.h"
#include "rtl/SysUtils.h"
#include "vcl/FormReader.h"

namespace {

class TableViewFixture : public gridviewstest::GridFormFixture {
 protected:
  void Bind(TcxGridDBTableView* view) {
    GridFormFixture::Bind(view, {{Variant("Japan"), Variant("Tokyo"), Variant(10)},
                                 {Variant("Japan"), Variant("Osaka"), Variant(5)},
                                 {Variant("France"), Variant("Paris"), Variant(7)},
                                 {Variant("France"), Variant("Lyon"), Variant(1)}});
  }
};

TcxStyle* NewStyle(TComponent* owner, TColor color) {
  auto* style = new TcxStyle(owner);
  style->SetColor(color);
  return style;
}

TColor HeaderColor(TcxGridColumn* column) {
  TcxStyleParams params;
  column->GetStyles()->GetHeaderParams(params);
  return params.Color;
}

// ---- the application's view ---------------------------------------------------------------------

const char* kAppForm = R"(object AppForm: TForm
  Left = 0
  Top = 0
  Width = 400
  Height = 300
  object DataSource1: TDataSource
  end
  object Grid: TcxGrid
    Left = 8
    Top = 8
    Width = 360
    Height = 240
    object GridView: TcxGridDBTableView
      DataController.DataSource = DataSource1
      OptionsView.Indicator = True
      Styles.StyleSheet = GridSheet
    end
    object GridLevel: TcxGridLevel
      GridView = GridView
    end
  end
  object Repository: TcxStyleRepository
    object OddStyle: TcxStyle
      Color = 15658734
    end
    object BoxStyle: TcxStyle
      Color = 12632256
      TextColor = 255
    end
    object GridSheet: TcxGridTableViewStyleSheet
      Styles.ContentOdd = OddStyle
      Styles.GroupByBox = BoxStyle
    end
  end
end
)";

TEST_F(TableViewFixture, TheApplicationsViewReadsFromAFormAndTakesTheSheetsStyles) {
  auto* form = new TForm(Application);
  ReadComponentFromText(form, kAppForm);
  auto* view = dynamic_cast<TcxGridDBTableView*>(form->FindComponent("GridView"));
  auto* source = dynamic_cast<TDataSource*>(form->FindComponent("DataSource1"));
  ASSERT_NE(view, nullptr);
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(view->GetDataController()->DataSource(), source);
  EXPECT_TRUE(view->GetOptionsView()->Indicator());
  auto* sheet = dynamic_cast<TcxGridTableViewStyleSheet*>(form->FindComponent("GridSheet"));
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(view->GetStyles()->StyleSheet(), sheet);

  TMemDataSet ds(nullptr);
  ds.AddFieldDef("Name", ftString, 10);
  ds.AddFieldDef("Total", ftInteger);
  ds.AppendRow({Variant("a"), Variant(1)});
  ds.AppendRow({Variant("b"), Variant(2)});
  ds.Open();
  source->SetDataSet(&ds);
  view->ClearItems();
  view->GetDataController()->CreateAllItems();
  ASSERT_EQ(view->GetColumnCount(), 2);
  EXPECT_EQ(view->GetColumn(0)->Name(), "GridViewName");
  EXPECT_EQ(view->GetColumn(1)->Caption(), "Total");
  EXPECT_EQ(view->GetVisibleColumnCount(), 2);
  EXPECT_NE(dynamic_cast<TcxGridDBColumn*>(view->GetColumn(0)), nullptr);

  // ContentOdd paints odd rows; even rows keep the content default.
  TcxCustomGridRecord* even = view->GetViewData()->GetRow(0);
  TcxCustomGridRecord* odd = view->GetViewData()->GetRow(1);
  TcxStyleParams p;
  view->GetStyles()->GetCellContentParams(odd, view->GetColumn(0), p);
  EXPECT_EQ(p.Color, TColor(15658734));
  view->GetStyles()->GetCellContentParams(even, view->GetColumn(0), p);
  EXPECT_EQ(p.Color, grid_->CurrentPainter()->ContentColor());
  TcxStyleParams box;
  view->GetStyles()->ResolveViewParams(TcxGridTableViewStyles::vsGroupByBox, nullptr, nullptr, box);
  EXPECT_EQ(box.Color, TColor(12632256));
  EXPECT_EQ(box.TextColor, TColor(255));
  source->SetDataSet(nullptr);
  form->Free();
}

// ---- options: defaults and clamps ------------------------------------------------------------------

TEST_F(TableViewFixture, OptionDefaultsOfANewTableView) {
  TcxGridDBTableView* v = AddView();
  TcxGridTableOptionsView* ov = v->GetOptionsView();
  struct Case {
    const char* name;
    Integer actual, expected;
  } cases[] = {
      {"GroupByBox", ov->GroupByBox(), 1},
      {"Header", ov->Header(), 1},
      {"Footer", ov->Footer(), 0},
      {"Indicator", ov->Indicator(), 0},
      {"NewItemRow", ov->NewItemRow(), 0},
      {"IndicatorWidth", ov->IndicatorWidth(), 12},
      {"NewItemRowSeparatorWidth", ov->NewItemRowSeparatorWidth(), 6},
      {"GroupFooters", ov->GroupFooters(), gfInvisible},
      {"GroupRowStyle", ov->GroupRowStyle(), grsStandard},
      {"GridLines", ov->GridLines(), glBoth},
      {"ExpandButtonsForEmptyDetails", ov->ExpandButtonsForEmptyDetails(), 1},
      {"GridLineColor", ov->GridLineColor(), clDefault},
      {"RowSeparatorColor", ov->RowSeparatorColor(), clDefault},
      {"NewItemRowSeparatorColor", ov->NewItemRowSeparatorColor(), clDefault},
      {"DataRowHeight", ov->DataRowHeight(), 0},
      {"NavigatorOffset", ov->NavigatorOffset(), 50},
      {"ColumnHeaderHints", v->GetOptionsBehavior()->ColumnHeaderHints(), 1},
      {"CopyPreviewToClipboard", v->GetOptionsBehavior()->CopyPreviewToClipboard(), 1},
      {"ExpandMasterRowOnDblClick", v->GetOptionsBehavior()->ExpandMasterRowOnDblClick(), 1},
      {"ColumnHidingOnGrouping", v->GetOptionsCustomize()->ColumnHidingOnGrouping(), 1},
      {"ColumnHorzSizing", v->GetOptionsCustomize()->ColumnHorzSizing(), 1},
      {"ColumnHiding", v->GetOptionsCustomize()->ItemHiding(), 0},
      {"GroupBySorting", v->GetOptionsCustomize()->GroupBySorting(), 0},
      {"CellSelect", v->GetOptionsSelection()->CellSelect(), 1},
      {"CellMultiSelect", v->GetOptionsSelection()->CellMultiSelect(), 0},
      {"InvertSelect", v->GetOptionsSelection()->InvertSelect(), 1},
      {"Preview.AutoHeight", v->Preview()->AutoHeight(), 1},
      {"Preview.LeftIndent", v->Preview()->LeftIndent(), 20},
      {"Preview.MaxLineCount", v->Preview()->MaxLineCount(), 3},
      {"Preview.RightIndent", v->Preview()->RightIndent(), 5},
      {"Preview.Visible", v->Preview()->Visible(), 0},
      {"Preview.Place", v->Preview()->Place(), ppBottom},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
  EXPECT_EQ(ov->NewItemRowInfoText(), "Click here to add a new row");
  EXPECT_FALSE(ov->IsNewItemRowInfoTextStored());
  ov->SetNewItemRowInfoText("Add");
  EXPECT_TRUE(ov->IsNewItemRowInfoTextStored());
  EXPECT_EQ(v->GetCustomizationCaption(), "Columns customization");
  EXPECT_EQ(v->Preview()->Column(), nullptr);
}

TEST_F(TableViewFixture, OutOfRangeOptionValuesClamp) {
  TcxGridDBTableView* v = AddView();
  TcxGridTableOptionsView* ov = v->GetOptionsView();
  TcxGridPreview* pv = v->Preview();
  struct Case {
    const char* name;
    std::function<void(Integer)> set;
    std::function<Integer()> get;
    Integer value, expected;
  } cases[] = {
      {"NewItemRowSeparatorWidth", [&](Integer x) { ov->SetNewItemRowSeparatorWidth(x); },
       [&] { return ov->NewItemRowSeparatorWidth(); }, 1, 2},
      {"NewItemRowSeparatorWidth -3", [&](Integer x) { ov->SetNewItemRowSeparatorWidth(x); },
       [&] { return ov->NewItemRowSeparatorWidth(); }, -3, 2},
      {"HeaderHeight", [&](Integer x) { ov->SetHeaderHeight(x); }, [&] { return ov->HeaderHeight(); }, -5, 0},
      {"IndicatorWidth", [&](Integer x) { ov->SetIndicatorWidth(x); }, [&] { return ov->IndicatorWidth(); }, -1, 0},
      {"RowSeparatorWidth", [&](Integer x) { ov->SetRowSeparatorWidth(x); }, [&] { return ov->RowSeparatorWidth(); },
       -2, 0},
      {"CellTextMaxLineCount", [&](Integer x) { ov->SetCellTextMaxLineCount(x); },
       [&] { return ov->CellTextMaxLineCount(); }, -2, 0},
      {"NavigatorOffset", [&](Integer x) { ov->SetNavigatorOffset(x); }, [&] { return ov->NavigatorOffset(); }, -9, 0},
      {"DataRowHeight negative", [&](Integer x) { ov->SetDataRowHeight(x); }, [&] { return ov->DataRowHeight(); }, -4,
       0},
      {"GroupRowHeight negative", [&](Integer x) { ov->SetGroupRowHeight(x); }, [&] { return ov->GroupRowHeight(); },
       -4, 0},
      {"Preview.LeftIndent", [&](Integer x) { pv->SetLeftIndent(x); }, [&] { return pv->LeftIndent(); }, -1, 0},
      {"Preview.RightIndent", [&](Integer x) { pv->SetRightIndent(x); }, [&] { return pv->RightIndent(); }, -1, 0},
      {"Preview.MaxLineCount", [&](Integer x) { pv->SetMaxLineCount(x); }, [&] { return pv->MaxLineCount(); }, -1, 0},
      {"BestFitMaxRecordCount", [&](Integer x) { v->GetOptionsBehavior()->SetBestFitMaxRecordCount(x); },
       [&] { return v->GetOptionsBehavior()->BestFitMaxRecordCount(); }, -1, 0},
      {"ColumnsQuickCustomizationMaxDropDownCount",
       [&](Integer x) { v->GetOptionsCustomize()->SetItemsQuickCustomizationMaxDropDownCount(x); },
       [&] { return v->GetOptionsCustomize()->ItemsQuickCustomizationMaxDropDownCount(); }, -1, 0},
  };
  for (const Case& c : cases) {
    c.set(c.value);
    EXPECT_EQ(c.get(), c.expected) << c.name;
  }
}

TEST_F(TableViewFixture, PositiveRowHeightsBelowTheMinimumTakeIt) {
  TcxGridDBTableView* v = AddView();
  TcxGridTableOptionsView* ov = v->GetOptionsView();
  ov->SetDataRowHeight(1);
  const Integer minimum = ov->DataRowHeight();
  EXPECT_GT(minimum, 4);  // a text line plus the cell indents
  ov->SetDataRowHeight(minimum + 30);
  EXPECT_EQ(ov->DataRowHeight(), minimum + 30);
  ov->SetDataRowHeight(0);
  EXPECT_EQ(ov->DataRowHeight(), 0);  // automatic again
  // The minimum is the rows' default data row height: a content line, its indents and the
  // horizontal grid line.
  TcxStyleParams content;
  v->GetStyles()->GetContentParams(nullptr, nullptr, content);
  LazyScreenCanvas()->ApplyFont(content.Font);
  EXPECT_EQ(minimum, LazyScreenCanvas()->MeasureTextHeight("Qq") + 4 + 1);
  // The rows' layout supplies the measured minimum once it exists.
  ov->MinGroupRowHeight = [] { return 23; };
  ov->SetGroupRowHeight(5);
  EXPECT_EQ(ov->GroupRowHeight(), 23);
}

TEST_F(TableViewFixture, GroupFootersKeepThePreviousModeAndNewItemRowReachesTheData) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  TcxGridTableOptionsView* ov = v->GetOptionsView();
  ov->SetGroupFooters(gfAlwaysVisible);
  EXPECT_EQ(ov->PrevGroupFooters(), gfInvisible);
  ov->SetGroupFooters(gfVisibleWhenExpanded);
  EXPECT_EQ(ov->PrevGroupFooters(), gfAlwaysVisible);
  EXPECT_EQ(v->GetViewData()->GetNewItemRow(), nullptr);
  ov->SetNewItemRow(true);
  EXPECT_TRUE(v->DataController()->UseNewItemRowForEditing());
  EXPECT_NE(v->GetViewData()->GetNewItemRow(), nullptr);
  ov->SetNewItemRow(false);
  EXPECT_FALSE(v->DataController()->UseNewItemRowForEditing());
  EXPECT_EQ(v->GetViewData()->GetNewItemRow(), nullptr);
}

TEST_F(TableViewFixture, CellMultiSelectForcesItsThreeCompanions) {
  TcxGridDBTableView* v = AddView();
  TcxGridTableOptionsSelection* os = v->GetOptionsSelection();
  os->SetCellSelect(false);
  os->SetCellMultiSelect(true);
  EXPECT_TRUE(os->CellSelect());
  EXPECT_FALSE(os->InvertSelect());
  EXPECT_TRUE(os->MultiSelect());
  // While it is set the companions refuse the contrary values and are not stored.
  os->SetMultiSelect(false);
  os->SetCellSelect(false);
  os->SetInvertSelect(true);
  EXPECT_TRUE(os->MultiSelect());
  EXPECT_TRUE(os->CellSelect());
  EXPECT_FALSE(os->InvertSelect());
  EXPECT_FALSE(os->IsMultiSelectStored());
  EXPECT_FALSE(os->IsInvertSelectStored());
  EXPECT_FALSE(os->IsCellSelectStored());
  os->SetCellMultiSelect(false);
  EXPECT_TRUE(os->InvertSelect());
  EXPECT_FALSE(os->MultiSelect());
  EXPECT_TRUE(os->CellSelect());
  // Assignment copies CellMultiSelect first, so the companions follow it.
  TcxGridDBTableView* w = AddView("tw");
  os->SetCellMultiSelect(true);
  w->GetOptionsSelection()->AssignFrom(os);
  EXPECT_TRUE(w->GetOptionsSelection()->CellMultiSelect());
  EXPECT_TRUE(w->GetOptionsSelection()->MultiSelect());
}

// ---- styles -------------------------------------------------------------------------------------------

TEST_F(TableViewFixture, HeaderStylesResolveColumnFirstThenViewThenSheetThenPainter) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  TcxGridColumn* c = v->GetColumn(0);
  auto* sheet = new TcxGridTableViewStyleSheet(form_);
  TcxStyle* sheetStyle = NewStyle(form_, 0x000001);
  TcxStyle* viewStyle = NewStyle(form_, 0x000002);
  TcxStyle* viewEventStyle = NewStyle(form_, 0x000003);
  TcxStyle* columnStyle = NewStyle(form_, 0x000004);
  TcxStyle* columnEventStyle = NewStyle(form_, 0x000005);
  sheet->Styles()->SetHeader(sheetStyle);

  EXPECT_EQ(HeaderColor(c), grid_->CurrentPainter()->HeaderColor());
  v->GetStyles()->SetStyleSheet(sheet);
  EXPECT_EQ(HeaderColor(c), TColor(0x000001));
  v->GetStyles()->SetHeader(viewStyle);
  EXPECT_EQ(HeaderColor(c), TColor(0x000002));
  v->GetStyles()->OnGetHeaderStyle = [&](TcxGridTableView*, TcxGridColumn*, TcxStyle*& s) { s = viewEventStyle; };
  EXPECT_EQ(HeaderColor(c), TColor(0x000003));
  EXPECT_EQ(HeaderColor(v->GetColumn(1)), TColor(0x000003));  // every header
  c->GetStyles()->SetHeader(columnStyle);
  EXPECT_EQ(HeaderColor(c), TColor(0x000004));
  c->GetStyles()->OnGetHeaderStyle = [&](TcxGridTableView*, TcxGridColumn*, TcxStyle*& s) { s = columnEventStyle; };
  EXPECT_EQ(HeaderColor(c), TColor(0x000005));
  EXPECT_EQ(HeaderColor(v->GetColumn(1)), TColor(0x000003));
  v->GetStyles()->SetStyleSheet(nullptr);
}

TEST_F(TableViewFixture, ContentFooterAndPreviewStylesResolveInOrder) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  TcxGridColumn* c = v->GetColumn(2);
  TcxCustomGridRecord* row0 = v->GetViewData()->GetRow(0);
  TcxCustomGridRecord* row1 = v->GetViewData()->GetRow(1);
  auto content = [&](TcxCustomGridRecord* r, TcxGridColumn* col) {
    TcxStyleParams p;
    v->GetStyles()->GetCellContentParams(r, col, p);
    return p.Color;
  };
  EXPECT_EQ(content(row0, c), grid_->CurrentPainter()->ContentColor());
  v->GetStyles()->SetContent(NewStyle(form_, 0x10));
  EXPECT_EQ(content(row0, c), TColor(0x10));
  v->GetStyles()->SetContentEven(NewStyle(form_, 0x11));
  EXPECT_EQ(content(row0, c), TColor(0x11));
  EXPECT_EQ(content(row1, c), TColor(0x10));  // no ContentOdd: Content
  TcxStyle* viewEvent = NewStyle(form_, 0x12);
  v->GetStyles()->OnGetContentStyle = [&](TcxCustomGridTableView*, TcxCustomGridRecord*, TcxCustomGridTableItem*,
                                          TcxStyle*& s) { s = viewEvent; };
  EXPECT_EQ(content(row1, c), TColor(0x12));
  c->GetStyles()->SetContent(NewStyle(form_, 0x13));
  EXPECT_EQ(content(row1, c), TColor(0x13));
  TcxStyle* columnEvent = NewStyle(form_, 0x14);
  c->GetStyles()->OnGetContentStyle = [&](TcxCustomGridTableView*, TcxCustomGridRecord*, TcxCustomGridTableItem*,
                                          TcxStyle*& s) { s = columnEvent; };
  EXPECT_EQ(content(row1, c), TColor(0x14));

  // Footer: column event, column style, view event, view style, painter.
  auto footer = [&] {
    TcxStyleParams p;
    c->GetStyles()->GetFooterParams(nullptr, -1, p);
    return p.Color;
  };
  EXPECT_EQ(footer(), grid_->CurrentPainter()->FooterColor());
  v->GetStyles()->SetFooter(NewStyle(form_, 0x20));
  EXPECT_EQ(footer(), TColor(0x20));
  TcxStyle* viewFooterEvent = NewStyle(form_, 0x21);
  v->GetStyles()->OnGetFooterStyleEx = [&](TcxGridTableView*, TcxCustomGridRow*, TcxGridColumn*, Integer,
                                           TcxStyle*& s) { s = viewFooterEvent; };
  EXPECT_EQ(footer(), TColor(0x21));
  c->GetStyles()->SetFooter(NewStyle(form_, 0x22));
  EXPECT_EQ(footer(), TColor(0x22));
  TcxStyle* columnFooterEvent = NewStyle(form_, 0x23);
  c->GetStyles()->OnGetFooterStyle = [&](TcxCustomGridTableView*, TcxCustomGridRecord*, TcxCustomGridTableItem*,
                                         TcxStyle*& s) { s = columnFooterEvent; };
  EXPECT_EQ(footer(), TColor(0x23));

  // Preview: the preview column's content takes the preview style, text colour from the painter.
  v->Preview()->SetColumn(v->GetColumn(1));
  TcxStyleParams p;
  v->GetStyles()->GetContentParams(row0, v->GetColumn(1), p);
  EXPECT_EQ(p.TextColor, grid_->CurrentPainter()->PreviewTextColor());
  v->GetStyles()->SetPreview(NewStyle(form_, 0x30));
  v->GetStyles()->GetContentParams(row0, v->GetColumn(1), p);
  EXPECT_EQ(p.Color, TColor(0x30));
  TcxStyle* previewEvent = NewStyle(form_, 0x31);
  v->GetStyles()->OnGetPreviewStyle = [&](TcxCustomGridTableView*, TcxCustomGridRecord*, TcxCustomGridTableItem*,
                                          TcxStyle*& s) { s = previewEvent; };
  v->GetStyles()->GetContentParams(row0, v->GetColumn(1), p);
  EXPECT_EQ(p.Color, TColor(0x31));
}

TEST_F(TableViewFixture, GroupRowColoursOfBothGroupRowStyles) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  v->GetColumn(0)->SetGroupIndex(0);
  TcxCustomGridRecord* group = v->GetViewData()->GetRow(0);
  ASSERT_NE(dynamic_cast<TcxGridGroupRow*>(group), nullptr);
  TcxStyleParams p;
  v->GetStyles()->GetGroupParams(group, -1, p);
  EXPECT_EQ(p.Color, grid_->CurrentPainter()->GroupColor());
  EXPECT_EQ(p.TextColor, grid_->CurrentPainter()->GroupTextColor());
  v->GetOptionsView()->SetGroupRowStyle(grsOffice11);
  v->GetStyles()->GetGroupParams(group, -1, p);
  EXPECT_EQ(p.Color, clWindow);
  v->GetStyles()->GetGroupParams(nullptr, 0, p);
  EXPECT_EQ(p.Color, Office11GroupRowColor);
  EXPECT_EQ(p.TextColor, grid_->CurrentPainter()->ContentTextColor());
  // A group row's record content is its group style; the event gets the record's level.
  Integer level = -2;
  v->GetStyles()->OnGetGroupStyle = [&](TcxGridTableView*, TcxCustomGridRecord*, Integer l, TcxStyle*&) { level = l; };
  v->GetStyles()->GetRecordContentParams(group, nullptr, p);
  EXPECT_EQ(level, 0);
  EXPECT_EQ(p.Color, clWindow);
}

// ---- summaries ----------------------------------------------------------------------------------------

TEST_F(TableViewFixture, ColumnSummariesAreTheDataControllersSummaryItems) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  TcxGridColumn* amount = v->GetColumn(2);
  TcxDataSummary* summary = v->DataController()->Summary();
  TcxGridColumnSummary* s = amount->Summary();
  struct Step {
    const char* what;
    std::function<void()> act;
    Integer footerItems, groupItems;
    TcxSummaryKind footerKind, groupFooterKind, groupKind;
  } steps[] = {
      {"footer sum", [&] { s->SetFooterKind(skSum); }, 1, 0, skSum, skNone, skNone},
      {"group kind", [&] { s->SetGroupKind(skSum); }, 1, 1, skSum, skNone, skSum},
      {"group footer", [&] { s->SetGroupFooterKind(skCount); }, 1, 2, skSum, skCount, skSum},
      {"footer to max", [&] { s->SetFooterKind(skMax); }, 1, 2, skMax, skCount, skSum},
      {"group format keeps item", [&] { s->SetGroupFormat("n=0"); }, 1, 2, skMax, skCount, skSum},
      {"group kind none keeps (format)", [&] { s->SetGroupKind(skNone); }, 1, 2, skMax, skCount, skNone},
      {"group format cleared removes", [&] { s->SetGroupFormat(""); }, 1, 1, skMax, skCount, skNone},
      {"footer cleared", [&] { s->SetFooterKind(skNone); }, 0, 1, skNone, skCount, skNone},
      {"group footer cleared", [&] { s->SetGroupFooterKind(skNone); }, 0, 0, skNone, skNone, skNone},
  };
  for (const Step& st : steps) {
    st.act();
    EXPECT_EQ(summary->FooterSummaryItems()->Count(), st.footerItems) << st.what;
    EXPECT_EQ(summary->DefaultGroupSummaryItems()->Count(), st.groupItems) << st.what;
    EXPECT_EQ(s->FooterKind(), st.footerKind) << st.what;
    EXPECT_EQ(s->GroupFooterKind(), st.groupFooterKind) << st.what;
    EXPECT_EQ(s->GroupKind(), st.groupKind) << st.what;
  }
  s->SetGroupKind(skSum);
  TcxDataSummaryItem* item = summary->DefaultGroupSummaryItems()->Items(0);
  EXPECT_EQ(item->Position(), spGroup);
  auto* linked = dynamic_cast<TcxGridDBTableSummaryItem*>(item);
  ASSERT_NE(linked, nullptr);  // the view's summary item class
  EXPECT_EQ(linked->Column(), amount);
  Variant stored;
  linked->GetPropertyValue("Column", stored);
  EXPECT_EQ(stored.AsString(), amount->GetStoredName());
  linked->SetPropertyValue("Column", Variant(v->GetColumn(1)->GetStoredName()));
  EXPECT_EQ(linked->Column(), v->GetColumn(1));
  // Assignment copies the six settings.
  s->SetFooterKind(skAverage);
  s->SetFooterFormat("avg 0");
  v->GetColumn(0)->Summary()->AssignFrom(s);
  EXPECT_EQ(v->GetColumn(0)->Summary()->FooterKind(), skAverage);
  EXPECT_EQ(v->GetColumn(0)->Summary()->FooterFormat(), "avg 0");
}

// ---- stored layout --------------------------------------------------------------------------------------

TEST_F(TableViewFixture, StoredLayoutNamesOfViewAndColumn) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  TStringList names;
  v->GetStoredProperties(&names);
  ASSERT_GE(names.Count(), 5);
  EXPECT_EQ(names.Strings(0), "Footer");
  EXPECT_EQ(names.Strings(1), "GroupByBox");
  EXPECT_EQ(names.Strings(2), "GroupFooters");
  EXPECT_EQ(names.Strings(3), "NewItemRow");
  EXPECT_EQ(names.Strings(4), "Version");
  TStringList columnNames;
  v->GetColumn(0)->GetStoredProperties(&columnNames);
  const char* expected[] = {"GroupIndex", "Width", "AlignmentHorz", "Index", "Visible", "SortOrder", "SortIndex",
                            "WasVisibleBeforeGrouping"};
  ASSERT_EQ(columnNames.Count(), 8);
  for (Integer i = 0; i < 8; ++i) EXPECT_EQ(columnNames.Strings(i), expected[i]);

  struct Case {
    Variant value;
    TcxGridGroupFootersMode mode;
  } cases[] = {{Variant("True"), gfVisibleWhenExpanded},
               {Variant("False"), gfInvisible},
               {Variant(2), gfAlwaysVisible},
               {Variant(1), gfVisibleWhenExpanded},
               {Variant(0), gfInvisible}};
  for (const Case& c : cases) {
    v->SetStoredPropertyValue("GroupFooters", c.value);
    EXPECT_EQ(v->GetOptionsView()->GroupFooters(), c.mode) << c.value.AsString();
  }
  v->SetStoredPropertyValue("Footer", Variant(true));
  EXPECT_TRUE(v->GetOptionsView()->Footer());
  Variant value;
  v->GetStoredPropertyValue("GroupFooters", value);
  EXPECT_EQ(value.AsInteger(), Integer(gfInvisible));
  v->GetColumn(1)->SetStoredPropertyValue("Width", Variant(77));
  v->GetColumn(1)->GetStoredPropertyValue("Width", value);
  EXPECT_EQ(value.AsInteger(), 77);
}

TEST_F(TableViewFixture, GroupAndSortWritesWaitForTheEndOfLayoutLoading) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  v->BeginLoadingLayout();
  v->GetColumn(1)->SetStoredPropertyValue("GroupIndex", Variant(1));
  v->GetColumn(0)->SetStoredPropertyValue("GroupIndex", Variant(0));
  // The sort orders apply at once (in the order written); the sort positions wait.
  TcxGridColumn* amount = v->GetColumn(2);
  TcxGridColumn* city = v->GetColumn(1);
  amount->SetStoredPropertyValue("SortOrder", Variant(Integer(soAscending)));
  amount->SetStoredPropertyValue("SortIndex", Variant(1));
  city->SetStoredPropertyValue("SortOrder", Variant(Integer(soDescending)));
  city->SetStoredPropertyValue("SortIndex", Variant(0));
  amount->SetStoredPropertyValue("Index", Variant(0));
  EXPECT_EQ(v->GetGroupedColumnCount(), 0);
  EXPECT_EQ(amount->SortIndex(), 0);
  EXPECT_EQ(v->GetColumn(0)->Caption(), "Country");
  v->EndLoadingLayout();
  ASSERT_EQ(v->GetGroupedColumnCount(), 2);
  EXPECT_EQ(v->GetGroupedColumn(0)->Caption(), "Country");
  EXPECT_EQ(v->GetGroupedColumn(1)->Caption(), "City");
  EXPECT_EQ(v->GetColumn(0), amount);  // moved to index 0
  EXPECT_EQ(city->SortIndex(), 0);
  EXPECT_EQ(amount->SortIndex(), 1);
  EXPECT_EQ(amount->SortOrder(), soAscending);
  // Grouping applied from a layout keeps the stored WasVisibleBeforeGrouping.
  EXPECT_FALSE(v->GetGroupedColumn(0)->WasVisibleBeforeGrouping());
}

TEST_F(TableViewFixture, AFormDescriptionGroupsAfterItIsRead) {
  const char* text = R"(object F: TForm
  object G: TcxGrid
    object GV: TcxGridDBTableView
      object GVCity: TcxGridDBColumn
        DataBinding.FieldName = 'City'
        GroupIndex = 1
      end
      object GVCountry: TcxGridDBColumn
        Caption = ''
        DataBinding.FieldName = 'Country'
        GroupIndex = 0
        Options.HorzSizing = False
      end
    end
    object GL: TcxGridLevel
      GridView = GV
    end
  end
end
)";
  auto* form = new TForm(Application);
  ReadComponentFromText(form, text);
  auto* view = dynamic_cast<TcxGridDBTableView*>(form->FindComponent("GV"));
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->GetGroupedColumnCount(), 2);
  EXPECT_EQ(view->GetGroupedColumn(0)->Name(), "GVCountry");
  EXPECT_EQ(view->GetGroupedColumn(1)->Name(), "GVCity");
  auto* country = static_cast<TcxGridDBColumn*>(view->GetGroupedColumn(0));
  EXPECT_EQ(country->DataBinding()->FieldName(), "Country");
  EXPECT_FALSE(country->GetOptions()->HorzSizing());
  EXPECT_TRUE(country->HasFixedWidth());
  EXPECT_TRUE(country->IsCaptionAssigned());
  EXPECT_EQ(country->Caption(), "");
  form->Free();
}

TEST_F(TableViewFixture, AWrittenViewReadsBackAndKeepsItsStoredRules) {
  TcxGridDBTableView* v = AddView("tv");
  Bind(v);
  v->GetColumn(1)->ChangeGroupIndex(0);
  v->GetColumn(2)->SetWidth(90);
  v->GetOptionsView()->SetFooter(true);
  v->GetOptionsSelection()->SetCellMultiSelect(true);
  const String text = WriteComponentToText(form_);
  // What a stored rule leaves out: the untouched resource text, the selection flags that
  // CellMultiSelect forces, the preview column's visibility.
  for (const char* absent : {"NewItemRowInfoText", "OptionsSelection.MultiSelect", "InvertSelect", "CellSelect ="})
    EXPECT_EQ(text.find(absent), String::npos) << absent << "\n" << text;
  for (const char* present : {"OptionsView.Footer = True", "GroupIndex = 0", "Width = 90", "CellMultiSelect = True",
                              "DataBinding.FieldName = 'City'"})
    EXPECT_NE(text.find(present), String::npos) << present << "\n" << text;

  auto* copy = new TForm(Application);
  ReadComponentFromText(copy, text);
  auto* view = dynamic_cast<TcxGridDBTableView*>(copy->FindComponent("tv"));
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->GetColumnCount(), 3);
  ASSERT_EQ(view->GetGroupedColumnCount(), 1);
  EXPECT_EQ(view->GetGroupedColumn(0)->Name(), v->GetColumn(1)->Name());
  EXPECT_FALSE(view->GetGroupedColumn(0)->Visible());
  EXPECT_EQ(view->GetColumn(2)->Width(), 90);
  EXPECT_TRUE(view->GetOptionsView()->Footer());
  EXPECT_TRUE(view->GetOptionsSelection()->MultiSelect());
  copy->Free();
}

TEST_F(TableViewFixture, AssigningAViewCopiesItsColumnsByID) {
  TcxGridDBTableView* v = AddView("tv");
  Bind(v);
  v->GetColumn(1)->ChangeGroupIndex(0);
  v->GetColumn(2)->SetWidth(90);
  v->GetColumn(2)->SetCaption("Sum");
  v->GetColumn(2)->Summary()->SetFooterKind(skSum);
  v->GetColumn(0)->GetOptions()->SetCellMerging(true);
  v->Preview()->SetColumn(v->GetColumn(0));
  v->GetOptionsView()->SetFooter(true);
  TcxGridDBTableView* w = AddView("tw");
  w->GetDataController()->SetDataSource(&source_);
  w->Assign(v);
  ASSERT_EQ(w->GetColumnCount(), 3);
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(w->GetColumn(i)->ID(), v->GetColumn(i)->ID());
  EXPECT_EQ(w->GetColumn(2)->Width(), 90);
  EXPECT_EQ(w->GetColumn(2)->Caption(), "Sum");
  EXPECT_EQ(w->GetColumn(2)->Summary()->FooterKind(), skSum);
  EXPECT_TRUE(w->GetColumn(0)->GetOptions()->CellMerging());
  ASSERT_EQ(w->GetGroupedColumnCount(), 1);
  EXPECT_EQ(w->GetGroupedColumn(0)->ID(), v->GetColumn(1)->ID());
  EXPECT_EQ(w->Preview()->Column(), w->GetColumn(0));
  EXPECT_TRUE(w->GetOptionsView()->Footer());
  EXPECT_EQ(w->NextID(), v->NextID());
  // Assigning a view with fewer items frees the rest.
  v->GetColumn(2)->Free();
  w->Assign(v);
  EXPECT_EQ(w->GetColumnCount(), 2);
  w->GetDataController()->SetDataSource(nullptr);
}

// ---- grouping and visibility ------------------------------------------------------------------------------

TEST_F(TableViewFixture, ChangeGroupIndexHidesOnGroupingAndShowsOnUngrouping) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  TcxGridColumn* country = v->GetColumn(0);
  EXPECT_TRUE(country->ChangeGroupIndex(0));
  EXPECT_EQ(country->GroupIndex(), 0);
  EXPECT_FALSE(country->Visible());
  EXPECT_TRUE(country->WasVisibleBeforeGrouping());
  EXPECT_EQ(v->GetVisibleColumnCount(), 2);
  EXPECT_TRUE(country->ChangeGroupIndex(-1));
  EXPECT_TRUE(country->Visible());
  EXPECT_EQ(v->GetVisibleColumn(0), country);
  // Without ShowOnUngroup the column stays hidden.
  country->ChangeGroupIndex(0);
  country->ChangeGroupIndex(-1, false);
  EXPECT_FALSE(country->Visible());
  country->SetVisible(true);
  // Not hiding on grouping.
  v->GetOptionsCustomize()->SetColumnHidingOnGrouping(false);
  country->ChangeGroupIndex(0);
  EXPECT_TRUE(country->Visible());
  country->ChangeGroupIndex(-1);
  // A column that cannot be grouped answers False and stays as it is.
  country->GetOptions()->SetGrouping(false);
  EXPECT_FALSE(country->ChangeGroupIndex(0));
  EXPECT_EQ(country->GroupIndex(), -1);
  // A column hidden before grouping is not shown on ungrouping.
  v->GetOptionsCustomize()->SetColumnHidingOnGrouping(true);
  TcxGridColumn* city = v->GetColumn(1);
  city->SetVisible(false);
  city->ChangeGroupIndex(0);
  city->ChangeGroupIndex(-1);
  EXPECT_FALSE(city->Visible());
}

TEST_F(TableViewFixture, GroupBySortingUngroupsShowsAndClearsSorting) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  v->GetColumn(0)->ChangeGroupIndex(0);
  v->GetColumn(2)->SetSortOrder(soDescending);
  ASSERT_FALSE(v->GetColumn(0)->Visible());
  for (bool value : {true, false}) {
    v->GetOptionsCustomize()->SetGroupBySorting(value);
    EXPECT_EQ(v->GetGroupedColumnCount(), 0);
    EXPECT_TRUE(v->GetColumn(0)->Visible());
    EXPECT_EQ(v->GetColumn(2)->SortOrder(), soNone);
    v->GetColumn(1)->ChangeGroupIndex(0);
    v->GetColumn(2)->SetSortOrder(soAscending);
  }
}

// ---- abilities and editor properties ------------------------------------------------------------------

TEST_F(TableViewFixture, AbilitiesFollowTheViewAndColumnOptions) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  TcxGridColumn* c = v->GetColumn(0);
  TcxGridTableOptionsCustomize* oc = v->GetOptionsCustomize();
  struct Case {
    const char* what;
    std::function<void(bool)> set;
    std::function<bool()> ability;
  } cases[] = {
      {"sort by view", [&](bool b) { oc->SetItemSorting(b); }, [&] { return c->CanSort(); }},
      {"sort by column", [&](bool b) { c->GetOptions()->SetSorting(b); }, [&] { return c->CanSort(); }},
      {"group by view", [&](bool b) { oc->SetItemGrouping(b); }, [&] { return c->CanGroup(); }},
      {"group by column", [&](bool b) { c->GetOptions()->SetGrouping(b); }, [&] { return c->CanGroup(); }},
      {"filter by view", [&](bool b) { oc->SetItemFiltering(b); }, [&] { return c->CanFilter(true); }},
      {"filter by column", [&](bool b) { c->GetOptions()->SetFiltering(b); }, [&] { return c->CanFilter(false); }},
      {"move by view", [&](bool b) { oc->SetItemMoving(b); }, [&] { return c->CanMove(); }},
      {"move by column", [&](bool b) { c->GetOptions()->SetMoving(b); }, [&] { return c->CanMove(); }},
      {"size by view", [&](bool b) { oc->SetColumnHorzSizing(b); }, [&] { return c->CanHorzSize(); }},
      {"size by column", [&](bool b) { c->GetOptions()->SetHorzSizing(b); }, [&] { return c->CanHorzSize(); }},
  };
  for (const Case& k : cases) {
    EXPECT_TRUE(k.ability()) << k.what;
    k.set(false);
    EXPECT_FALSE(k.ability()) << k.what;
    k.set(true);
  }
  // The only visible column cannot be hidden.
  v->GetColumn(1)->SetVisible(false);
  v->GetColumn(2)->SetVisible(false);
  EXPECT_FALSE(c->CanHide());
  v->GetColumn(2)->SetVisible(true);
  EXPECT_TRUE(c->CanHide());
}

TEST_F(TableViewFixture, CurrentPropertiesComeFromOwnRepositoryOrDefault) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  TcxGridColumn* c = v->GetColumn(0);
  TcxCustomEditProperties* byDefault = c->GetProperties();
  ASSERT_NE(byDefault, nullptr);  // the field's default editor
  c->SetPropertiesClassName(byDefault->ClassType()->ClassName());
  ASSERT_NE(c->Properties(), nullptr);
  EXPECT_EQ(c->GetProperties(), c->Properties());
  auto* repository = new TcxEditRepository(form_);
  TcxEditRepositoryItem* item = repository->CreateItem(TcxEditRepositoryItem::StaticClass());
  c->SetRepositoryItem(item);
  EXPECT_EQ(c->GetProperties(), item->Properties());
  item->Free();  // the column forgets it
  EXPECT_EQ(c->RepositoryItem(), nullptr);
  EXPECT_EQ(c->GetProperties(), c->Properties());
  c->SetPropertiesClassName("TNoSuchProperties");
  EXPECT_EQ(c->Properties(), nullptr);
  EXPECT_EQ(c->PropertiesClassName(), "");
  EXPECT_EQ(c->GetProperties(), byDefault);
}

TEST_F(TableViewFixture, CellMergingComparisonAndHeaderClicks) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  TcxGridColumn* c = v->GetColumn(0);
  TcxCustomEditProperties* p = c->GetProperties();
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(c->DoCompareValuesForCellMerging(nullptr, p, Variant("Japan"), nullptr, p, Variant("Japan")));
  EXPECT_FALSE(c->DoCompareValuesForCellMerging(nullptr, p, Variant("Japan"), nullptr, p, Variant("France")));
  EXPECT_FALSE(c->DoCompareValuesForCellMerging(nullptr, p, Variant("Japan"), nullptr, nullptr, Variant("Japan")));
  // The value event answers first, the row event last.
  std::vector<std::string> calls;
  c->OnCompareValuesForCellMerging = [&](TcxGridColumn*, TcxCustomEditProperties*, const Variant&,
                                         TcxCustomEditProperties*, const Variant&, bool& equal) {
    calls.push_back("values");
    equal = true;
  };
  c->OnCompareRowValuesForCellMerging = [&](TcxGridColumn*, TcxCustomGridRow*, TcxCustomEditProperties*,
                                            const Variant&, TcxCustomGridRow*, TcxCustomEditProperties*,
                                            const Variant&, bool& equal) {
    calls.push_back(equal ? "rows:equal" : "rows:different");
    equal = false;
  };
  EXPECT_FALSE(c->DoCompareValuesForCellMerging(nullptr, p, Variant("a"), nullptr, p, Variant("b")));
  EXPECT_EQ(calls, (std::vector<std::string>{"values", "rows:equal"}));
  // Merging needs the option, no preview and no row separators.
  EXPECT_FALSE(v->HasCellMergingColumns());
  c->GetOptions()->SetCellMerging(true);
  EXPECT_TRUE(v->HasCellMergingColumns());
  v->GetOptionsView()->SetRowSeparatorWidth(1);
  EXPECT_FALSE(v->HasCellMergingColumns());

  calls.clear();
  c->OnHeaderClick = [&](TObject*) { calls.push_back("column"); };
  v->OnColumnHeaderClick = [&](TcxGridTableView*, TcxGridColumn* column) {
    calls.push_back(column == c ? "view" : "view:other");
  };
  c->DoHeaderClick();
  EXPECT_EQ(calls, (std::vector<std::string>{"column", "view"}));
  // Border positions: leftmost first, rightmost last, always topmost and bottommost.
  EXPECT_TRUE(v->GetColumn(0)->IsLeftmost());
  EXPECT_FALSE(v->GetColumn(0)->IsRightmost());
  EXPECT_TRUE(v->GetColumn(2)->IsRightmost());
  EXPECT_TRUE(v->GetColumn(1)->IsTopmost() && v->GetColumn(1)->IsBottommost());
  // The layout depends on the width with auto width or an active preview.
  EXPECT_FALSE(v->IsLayoutWidthDependent());
  v->GetOptionsView()->SetColumnAutoWidth(true);
  EXPECT_TRUE(v->IsLayoutWidthDependent());
}

// ---- bad input --------------------------------------------------------------------------------------------

TEST_F(TableViewFixture, IndexesOutsideTheirCountRaiseTheListIndexError) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  v->GetColumn(0)->SetGroupIndex(0);
  EXPECT_THROW(v->GetColumn(3), EListError);
  EXPECT_THROW(v->GetColumn(-1), EListError);
  EXPECT_THROW(v->GetVisibleColumn(3), EListError);
  EXPECT_THROW(v->GetGroupedColumn(1), EListError);
  EXPECT_NO_THROW(v->GetGroupedColumn(0));
}

TEST_F(TableViewFixture, FreeingThePreviewColumnLeavesTheViewUsable) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  TcxGridColumn* notes = v->GetColumn(1);
  v->Preview()->SetColumn(notes);
  v->Preview()->SetVisible(true);
  EXPECT_TRUE(v->Preview()->Active());
  EXPECT_FALSE(notes->Visible());
  EXPECT_TRUE(notes->Hidden());
  EXPECT_TRUE(notes->IsPreview());
  EXPECT_FALSE(notes->IsVisibleStored());
  EXPECT_EQ(v->GetVisibleColumnCount(), 2);
  EXPECT_FALSE(v->CanCellMerging());
  v->GetColumn(0)->GetOptions()->SetCellMerging(true);
  EXPECT_FALSE(v->GetColumn(0)->CanCellMerging());
  // Copying ends with the preview column.
  std::vector<TcxCustomGridTableItem*> items;
  v->GetItemsForCopy(items, true);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items.back(), notes);

  notes->Free();
  EXPECT_EQ(v->Preview()->Column(), nullptr);
  EXPECT_FALSE(v->Preview()->Active());
  EXPECT_TRUE(v->CanCellMerging());
  EXPECT_EQ(v->GetColumnCount(), 2);
  EXPECT_EQ(v->GetVisibleColumnCount(), 2);
  // A column of another view is no preview column.
  TcxGridDBTableView* w = AddView("tw");
  TcxGridColumn* foreign = static_cast<TcxGridColumn*>(w->CreateItem());
  v->Preview()->SetColumn(foreign);
  EXPECT_EQ(v->Preview()->Column(), nullptr);
}

TEST_F(TableViewFixture, CopyWithCellMultiSelectTakesOnlySelectedColumns) {
  TcxGridDBTableView* v = AddView();
  Bind(v);
  v->GetOptionsSelection()->SetCellMultiSelect(true);
  v->GetColumn(2)->SetSelected(true);
  std::vector<TcxCustomGridTableItem*> items;
  v->GetItemsForCopy(items, false);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0], v->GetColumn(2));
  items.clear();
  v->GetItemsForCopy(items, true);
  EXPECT_EQ(items.size(), 3u);
}

}  // namespace
