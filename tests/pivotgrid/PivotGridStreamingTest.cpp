// The data-set pivot grid read from form text: its fields, field groups and options objects,
// written back unchanged, and bad values refused with the reader's errors.
#include <gtest/gtest.h>

#include "db/MemDataSet.h"
#include "pivotgrid/cxDBPivotGrid.h"
#include "pivotgrid/cxPivotGridPopupMenus.h"
#include "rtl/SysUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"

namespace {

class TPivotTestForm : public TForm {
  KORVAN_CLASS(TPivotTestForm, TForm)

 public:
  explicit TPivotTestForm(TComponent* owner) : TForm(owner) {
    PublishField("Pivot", &Pivot);
    PublishField("DataSource1", &DataSource1);
    PublishMethod("PivotFieldPosChanged",
                  std::function<void(TcxCustomPivotGrid*, TcxPivotGridField*)>(
                      [this](TcxCustomPivotGrid*, TcxPivotGridField* f) { Moved.push_back(f ? f->Name() : "Data"); }));
  }
  TcxDBPivotGrid* Pivot = nullptr;
  TDataSource* DataSource1 = nullptr;
  std::vector<String> Moved;
};
KORVAN_IMPLEMENT_CLASS(TPivotTestForm)

// Two row levels in a group, a column field, a data field sorted by, custom totals, options.
const char* const kPivotForm =
    "object Form1: TPivotTestForm\n"
    "  object DataSource1: TDataSource\n"
    "  end\n"
    "  object Pivot: TcxDBPivotGrid\n"
    "    DataSource = DataSource1\n"
    "    Groups = <\n"
    "      item\n"
    "        IsCaptionAssigned = True\n"
    "        Caption = 'Where'\n"
    "      end>\n"
    "    OptionsBehavior.CellHints = True\n"
    "    OptionsCustomize.Hiding = False\n"
    "    OptionsData.SaveExpanding = False\n"
    "    OptionsData.SummaryNullIgnore = True\n"
    "    OptionsDataField.Caption = 'Values'\n"
    "    OptionsDataField.Width = 5\n"
    "    OptionsSelection.MultiSelect = True\n"
    "    OptionsView.DropArrowColor = clRed\n"
    "    OptionsView.FilterDropDownWidth = 100\n"
    "    OptionsView.GrandTotalWidth = 5\n"
    "    OptionsView.GridLines = pglHorz\n"
    "    OptionsView.ScrollBars = ssVertical\n"
    "    OptionsView.TotalsLocation = tlNear\n"
    "    Styles.StyleSheet = PivotSheet\n"
    "    Styles.Total = TotalStyle\n"
    "    OnFieldPosChanged = PivotFieldPosChanged\n"
    "    object PivotRegion: TcxDBPivotGridField\n"
    "      Area = faRow\n"
    "      AreaIndex = 0\n"
    "      DataBinding.FieldName = 'Region'\n"
    "      GroupIndex = 0\n"
    "      SortBySummaryInfo.Field = PivotAmount\n"
    "      SortOrder = soDescending\n"
    "      Visible = True\n"
    "    end\n"
    "    object PivotCity: TcxDBPivotGridField\n"
    "      Area = faRow\n"
    "      AreaIndex = 1\n"
    "      AllowedAreas = [faRow, faFilter]\n"
    "      CustomTotals = <\n"
    "        item\n"
    "          SummaryType = stMax\n"
    "        end\n"
    "        item\n"
    "          DisplayFormat = '0.0'\n"
    "        end>\n"
    "      DataBinding.FieldName = 'City'\n"
    "      GroupIndex = 0\n"
    "      Options.Sorting = False\n"
    "      ImageAlign = taCenter\n"
    "      TotalsVisibility = tvCustom\n"
    "      Visible = True\n"
    "    end\n"
    "    object PivotYear: TcxDBPivotGridField\n"
    "      Area = faColumn\n"
    "      AreaIndex = 0\n"
    "      DataBinding.FieldName = 'Year'\n"
    "      GroupIntervalRange = 0\n"
    "      MinWidth = 150\n"
    "      Visible = True\n"
    "      Width = 100\n"
    "    end\n"
    "    object PivotAmount: TcxDBPivotGridField\n"
    "      Area = faData\n"
    "      AreaIndex = 0\n"
    "      IsCaptionAssigned = True\n"
    "      Caption = 'Amount (Sum)'\n"
    "      DataBinding.FieldName = 'Amount'\n"
    "      DisplayFormat = '0.0'\n"
    "      Visible = True\n"
    "    end\n"
    "    object PivotNote: TcxDBPivotGridField\n"
    "      DataBinding.FieldName = 'Note'\n"
    "    end\n"
    "  end\n"
    "  object StyleRepository1: TcxStyleRepository\n"
    "    object TotalStyle: TcxStyle\n"
    "      AssignedValues = [svColor]\n"
    "      Color = clYellow\n"
    "    end\n"
    "    object PivotSheet: TcxPivotGridStyleSheet\n"
    "      Styles.Content = TotalStyle\n"
    "    end\n"
    "  end\n"
    "end\n";

class PivotGridStreaming : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    testing_support::THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxDBPivotGrid();
    RegisterClass(TPivotTestForm::StaticClass());
    ds.AddFieldDef("Region", ftString, 10);
    ds.AddFieldDef("City", ftString, 10);
    ds.AddFieldDef("Year", ftInteger);
    ds.AddFieldDef("Amount", ftFloat);
    ds.AddFieldDef("Note", ftString, 10);
    ds.AppendRow({"N", "a", 2020, 1.0, "x"});
    ds.AppendRow({"N", "b", 2021, 2.0, "x"});
    ds.AppendRow({"S", "c", 2020, 10.0, "y"});
    ds.Open();
  }
  TPivotTestForm* Read(const String& text) {
    auto* form = new TPivotTestForm(Application);
    forms.push_back(form);
    ReadComponentFromText(form, text);
    return form;
  }
  void TearDown() override {
    for (auto* f : forms) f->Free();
    testing_support::THeadlessFixture::TearDown();
  }
  TMemDataSet ds{nullptr};
  std::vector<TPivotTestForm*> forms;
};

TEST_F(PivotGridStreaming, FormTextRoundTrip) {
  TPivotTestForm* form = Read(kPivotForm);
  TcxDBPivotGrid* g = form->Pivot;
  ASSERT_NE(g, nullptr);
  ASSERT_EQ(g->FieldCount(), 5);
  EXPECT_EQ(g->DataSource(), form->DataSource1);
  // Setters' rules applied while reading.
  EXPECT_EQ(g->OptionsView()->GrandTotalWidth(), 20);
  EXPECT_EQ(g->OptionsView()->FilterDropDownWidth(), 150);
  EXPECT_EQ(g->OptionsView()->DropArrowColor(), TColor(clRed));
  EXPECT_EQ(g->OptionsView()->ScrollBars(), ssVertical);
  EXPECT_EQ(g->OptionsDataField()->Width(), 20);
  EXPECT_TRUE(g->OptionsDataField()->IsCaptionAssigned());
  EXPECT_FALSE(g->OptionsData()->SaveExpanding());
  EXPECT_TRUE(g->OptionsBehavior()->CellHints());
  TcxPivotGridField* region = g->Fields(0);
  TcxPivotGridField* city = g->Fields(1);
  TcxPivotGridField* year = g->Fields(2);
  TcxPivotGridField* amount = g->Fields(3);
  EXPECT_EQ(year->Width(), 150);
  EXPECT_EQ(year->GroupIntervalRange(), 1);
  EXPECT_EQ(region->SortBySummaryInfo()->Field(), amount);
  EXPECT_EQ(city->CustomTotals()->Count(), 2);
  EXPECT_EQ(city->CustomTotals()->Items(0)->SummaryType(), stMax);
  EXPECT_EQ(city->AllowedAreas(), (TcxPivotGridFieldAreas{faRow, faFilter}));
  EXPECT_FALSE(city->Options()->Sorting());
  ASSERT_EQ(g->Groups()->Count(), 1);
  EXPECT_EQ(g->Groups()->Items(0)->FieldCount(), 2);
  EXPECT_EQ(g->Groups()->Items(0)->Caption(), "Where");
  EXPECT_EQ(g->Fields(4)->Caption(), "Note");  // the data-set field's name, no caption stored
  EXPECT_FALSE(g->Fields(4)->Visible());
  auto* sheet = dynamic_cast<TcxPivotGridStyleSheet*>(form->FindComponent("PivotSheet"));
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(g->Styles()->StyleSheet(), sheet);
  EXPECT_EQ(sheet->Styles()->Content(), form->FindComponent("TotalStyle"));
  EXPECT_EQ(g->Styles()->Total(), form->FindComponent("TotalStyle"));
  // The handler was bound by name.
  g->OptionsDataField()->SetAreaPosition(faRow, 0);
  EXPECT_EQ(form->Moved, std::vector<String>{"Data"});

  // Bound to records, the grid built from the form computes its table.
  form->DataSource1->SetDataSet(&ds);
  // Grand totals and totals near; the regions by their amounts, descending; S has one city.
  EXPECT_EQ(g->ClipboardText(true), "13.0\t11.0\t2.0\r\n10.0\t10.0\t\r\n3.0\t1.0\t2.0\r\n1.0\t1.0\t\r\n2.0\t\t2.0");

  // Written back: only what differs from the defaults; read again, written the same.
  const String written = WriteComponentToText(form);
  for (const char* line : {"OptionsView.GrandTotalWidth = 20", "OptionsView.FilterDropDownWidth = 150",
                           "OptionsView.GridLines = pglHorz", "OptionsDataField.Caption = 'Values'",
                           "SortBySummaryInfo.Field = PivotAmount", "AllowedAreas = [faRow, faFilter]",
                           "Caption = 'Where'", "DataBinding.FieldName = 'Note'", "Options.Sorting = False",
                           "GroupIntervalRange = 1", "ImageAlign = taCenter", "DataSource = DataSource1",
                           "Styles.StyleSheet = PivotSheet", "Styles.Content = TotalStyle"})
    EXPECT_NE(written.find(line), String::npos) << line << "\n" << written;
  // The default data header caption, captions taken from the data set and the default allowed
  // areas are not stored.
  for (const char* absent : {"Caption = 'Data'", "Caption = 'Note'", "Caption = 'Region'", "AllowedAreas = [faColumn"})
    EXPECT_EQ(written.find(absent), String::npos) << absent << "\n" << written;
  form->SetName("Original");
  TPivotTestForm* copy = Read(written);
  EXPECT_EQ(WriteComponentToText(copy), written);
  copy->DataSource1->SetDataSet(&ds);
  EXPECT_EQ(copy->Pivot->ClipboardText(true), g->ClipboardText(true));
}

TEST_F(PivotGridStreaming, PopupMenusRoundTrip) {
  TPivotTestForm* form = Read(
      "object Form1: TPivotTestForm\n"
      "  object UserMenu: TPopupMenu\n"
      "  end\n"
      "  object Pivot: TcxDBPivotGrid\n"
      "    PopupMenus.FieldHeaderMenu.Items = [fpmiHide, fpmiFieldList]\n"
      "    PopupMenus.HeaderAreaMenu.PopupMenu = UserMenu\n"
      "    PopupMenus.HeaderAreaMenu.UseBuiltInMenu = False\n"
      "  end\n"
      "end\n");
  TcxPivotGridPopupMenus* menus = form->Pivot->PopupMenus();
  EXPECT_EQ(menus->FieldHeaderMenu()->Items(), (TcxPivotGridFieldHeaderPopupMenuItems{fpmiHide, fpmiFieldList}));
  EXPECT_EQ(menus->HeaderAreaMenu()->PopupMenu(), form->FindComponent("UserMenu"));
  EXPECT_FALSE(menus->HeaderAreaMenu()->UseBuiltInMenu());
  const String written = WriteComponentToText(form);
  for (const char* line : {"PopupMenus.FieldHeaderMenu.Items = [fpmiHide, fpmiFieldList]",
                           "PopupMenus.HeaderAreaMenu.PopupMenu = UserMenu"})
    EXPECT_NE(written.find(line), String::npos) << line << "\n" << written;
  EXPECT_EQ(written.find("GroupValueMenu.Items"), String::npos) << "the default items are not stored";
  form->SetName("Original");
  TPivotTestForm* copy = Read(written);
  TcxPivotGridPopupMenus* read = copy->Pivot->PopupMenus();
  EXPECT_EQ(read->FieldHeaderMenu()->Items(), menus->FieldHeaderMenu()->Items());
  EXPECT_EQ(read->HeaderAreaMenu()->PopupMenu(), copy->FindComponent("UserMenu"));
  EXPECT_FALSE(read->HeaderAreaMenu()->UseBuiltInMenu());
}

TEST_F(PivotGridStreaming, BadValuesGiveTheReadersErrors) {
  struct Case {
    const char* find;
    const char* replace;
    const char* message;
  };
  const Case cases[] = {
      {"      Area = faColumn\n", "      Area = faNowhere\n",
       "Error reading PivotYear.Area on line 55: Invalid property value"},
      {"    OptionsView.GridLines = pglHorz\n", "    OptionsView.GridLines = 2\n",
       "Error reading Pivot.OptionsView.GridLines on line 21: Invalid property value"},
      {"      AllowedAreas = [faRow, faFilter]\n", "      AllowedAreas = [faRow, faSide]\n",
       "Error reading PivotCity.AllowedAreas on line 39: Invalid property value"},
      {"    OptionsData.SaveExpanding = False\n", "    OptionsData.SaveExpanding = 'no'\n",
       "Error reading Pivot.OptionsData.SaveExpanding on line 13: Invalid property value"},
      {"      SummaryType = stMax\n", "      SummaryType = stMedian\n",
       "Error reading PivotCity.CustomTotals[0].SummaryType on line 42: Invalid property value"},
      {"    OptionsSelection.MultiSelect = True\n", "    OptionsSelection.Multi = True\n",
       "Error reading Pivot.OptionsSelection.Multi on line 17: Property Multi does not exist"},
      {"      SortBySummaryInfo.Field = PivotAmount\n", "      SortBySummaryInfo.Field = PivotMissing\n",
       "Error reading PivotRegion.SortBySummaryInfo.Field on line 32: "},
      {"      AreaIndex = 1\n", "      AreaIndex = 'one'\n",
       "Error reading PivotCity.AreaIndex on line 38: Invalid property value"},
  };
  for (const Case& c : cases) {
    String text = kPivotForm;
    const size_t at = text.find(c.find);
    ASSERT_NE(at, String::npos) << c.find;
    text.replace(at, strlen(c.find), c.replace);
    String message;
    try {
      Read(text);
    } catch (const EReadError& e) {
      message = e.Message();
    }
    EXPECT_EQ(message.substr(0, strlen(c.message)), String(c.message)) << message;
  }
}

// A form like the application's: the data-set grid in the ultra-flat look with the area styles
// of a style sheet, a popup menu and the field-moved handler, read, shown and dropped on.
TEST_F(PivotGridStreaming, AFormLikeTheApplicationsShowsItsData) {
  const char* text =
      "object Form1: TPivotTestForm\n"
      "  Left = 0\n"
      "  Top = 0\n"
      "  Width = 700\n"
      "  Height = 400\n"
      "  object DataSource1: TDataSource\n"
      "  end\n"
      "  object PopupMenu1: TPopupMenu\n"
      "    object Copy1: TMenuItem\n"
      "      Caption = 'Copy'\n"
      "    end\n"
      "  end\n"
      "  object Pivot: TcxDBPivotGrid\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 660\n"
      "    Height = 340\n"
      "    DataSource = DataSource1\n"
      "    LookAndFeel.Kind = lfUltraFlat\n"
      "    PopupMenu = PopupMenu1\n"
      "    Styles.StyleSheet = cxPivotGridStyleSheet1\n"
      "    OnFieldPosChanged = PivotFieldPosChanged\n"
      "    object PivotRegion: TcxDBPivotGridField\n"
      "      Area = faRow\n"
      "      AreaIndex = 0\n"
      "      DataBinding.FieldName = 'Region'\n"
      "      Visible = True\n"
      "    end\n"
      "    object PivotYear: TcxDBPivotGridField\n"
      "      Area = faColumn\n"
      "      AreaIndex = 0\n"
      "      DataBinding.FieldName = 'Year'\n"
      "      Visible = True\n"
      "    end\n"
      "    object PivotAmount: TcxDBPivotGridField\n"
      "      Area = faData\n"
      "      AreaIndex = 0\n"
      "      DataBinding.FieldName = 'Amount'\n"
      "      Visible = True\n"
      "    end\n"
      "    object PivotCity: TcxDBPivotGridField\n"
      "      Area = faFilter\n"
      "      AreaIndex = 0\n"
      "      DataBinding.FieldName = 'City'\n"
      "      Visible = True\n"
      "    end\n"
      "  end\n"
      "  object StyleRepository1: TcxStyleRepository\n"
      "    object AreaStyle: TcxStyle\n"
      "      AssignedValues = [svColor, svTextColor]\n"
      "      Color = 15451300\n"
      "      TextColor = clNavy\n"
      "    end\n"
      "    object cxPivotGridStyleSheet1: TcxPivotGridStyleSheet\n"
      "      Styles.ColumnHeaderArea = AreaStyle\n"
      "      Styles.DataHeaderArea = AreaStyle\n"
      "      Styles.FilterHeaderArea = AreaStyle\n"
      "      Styles.RowHeaderArea = AreaStyle\n"
      "    end\n"
      "  end\n"
      "end\n";
  TPivotTestForm* form = Read(text);
  TcxDBPivotGrid* g = form->Pivot;
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->LookAndFeel()->Kind(), lfUltraFlat);
  EXPECT_EQ(g->PopupMenu(), form->FindComponent("PopupMenu1"));
  form->DataSource1->SetDataSet(&ds);
  form->Show();
  Pump();
  TcxPivotGridViewInfo* vi = g->ViewInfo();
  std::vector<String> texts;
  for (int i = 0; i < vi->DataCells.Count(); ++i) texts.push_back(vi->DataCells[i]->DisplayText);
  EXPECT_EQ(texts, (std::vector<String>{"1.00", "2.00", "3.00", "10.00", "", "10.00", "11.00", "2.00", "13.00"}));
  for (int i = 0; i < vi->Parts.Count(); ++i)
    if (auto* bg = dynamic_cast<TcxPivotGridHeaderBackgroundCellViewInfo*>(vi->Parts[i])) {
      EXPECT_EQ(ColorToRGB(bg->ViewParams.Color), TColor(15451300));
    }
  S().Snapshot(form->Handle(), "pivotgrid_form.png");
  // A drop reports through the handler bound by name.
  TRect city = g->Fields(3)->GetHeaderViewInfo()->Bounds, year = g->Fields(1)->GetHeaderViewInfo()->Bounds;
  POINT from{(city.Left + city.Right) / 2, (city.Top + city.Bottom) / 2};
  S().MouseDown(g->Handle(), from);
  S().MoveMouse(g->Handle(), POINT{from.X + 10, from.Y + 10});
  S().MoveMouse(g->Handle(), POINT{year.Right - 3, (year.Top + year.Bottom) / 2});
  S().MouseUp(g->Handle(), POINT{year.Right - 3, (year.Top + year.Bottom) / 2});
  Pump();
  EXPECT_EQ(form->Moved, std::vector<String>{"PivotCity"});
  EXPECT_EQ(g->Fields(3)->Area(), faColumn);
}

}  // namespace
