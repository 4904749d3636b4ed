// A lookup field in a data-set table view takes the lookup combo box: its cells show the list
// texts (the properties follow the lookup field the column attaches quietly), and its in-place
// editor drops the list down.
#include <gtest/gtest.h>

#include "TableViewTestSupport.h"
#include "editors-extra/cxDBLookupComboBox.h"
#include "gridviews/cxGridRows.h"
#include "gridviews/cxGridTableViewInfo.h"
#include "rtl/Variants.h"

namespace {

class LookupColumnTest : public gridviewstest::GridFormFixture {
 protected:
  void SetUp() override {
    GridFormFixture::SetUp();
    InitializeCxDBLookupComboBox();
    cities_.AddFieldDef("id", ftInteger);
    cities_.AddFieldDef("name", ftString, 20);
    const char* names[] = {"Oslo", "Bergen", "Tromso", "Bodo", "Alta", "Narvik", "Hamar", "Molde", "Roros", "Skien"};
    for (int i = 0; i < 10; ++i) cities_.AppendRow({Variant(i + 1), Variant(names[i])});
    cities_.Open();
    ds_.AddFieldDef("city", ftInteger);
    auto* city = new TIntegerField(&ds_);
    city->SetFieldName("city");
    city->SetDataSet(&ds_);
    auto* lookup = new TStringField(&ds_);
    lookup->SetFieldName("cityName");
    lookup->SetFieldKind(fkLookup);
    lookup->SetLookupDataSet(&cities_);
    lookup->SetKeyFields("city");
    lookup->SetLookupKeyFields("id");
    lookup->SetLookupResultField("name");
    lookup->SetDataSet(&ds_);
    for (int id : {1, 3, 5}) ds_.AppendRow({Variant(id)});
    ds_.Open();
    source_.SetDataSet(&ds_);
    view_ = AddView();
    view_->GetDataController()->SetDataSource(&source_);
    view_->GetDataController()->CreateAllItems();
    ShowWithColumnWidth(view_, 120);
  }
  TcxGridEditingController* Editing() { return view_->GetController()->EditingController(); }
  // Opens the editor on the lookup cell of a row.
  TcxLookupComboBox* StartEdit(int row) {
    view_->GetDataController()->ChangeFocusedRowIndex(row);
    view_->GetColumn(1)->SetFocused(true);
    view_->GetColumn(1)->SetEditing(true);
    Pump();
    auto* edit = dynamic_cast<TcxLookupComboBox*>(Editing()->Edit());
    if (edit) {
      edit->SetFocus();
      Pump();
    }
    return edit;
  }
  static TcxCustomLookupDBGrid* List(TcxLookupComboBox* edit) {
    return static_cast<TcxLookupComboBoxProperties*>(edit->GetEffectiveProperties())->Grid();
  }
  String CellText(int row) {
    auto* rows = static_cast<TcxGridRowsViewInfo*>(view_->GetViewInfo()->RecordsViewInfo());
    return static_cast<TcxGridDataRowViewInfo*>(rows->Items(row))->ExistingCell(1)->Text;
  }
  TMemDataSet cities_{nullptr};
  TcxGridDBTableView* view_ = nullptr;
};

TEST_F(LookupColumnTest, CellsShowListTextsAndTheEditorDropsDown) {
  ASSERT_EQ(view_->GetColumnCount(), 2);
  ds_.First();
  EXPECT_EQ(ds_.FieldByName("cityName")->AsString(), "Oslo");
  EXPECT_EQ(view_->GetDataController()->GetDisplayText(0, 1), "Oslo");
  ASSERT_NE(dynamic_cast<TcxLookupComboBoxProperties*>(view_->GetColumn(1)->GetProperties()), nullptr);
  EXPECT_EQ(CellText(0), "Oslo");
  EXPECT_EQ(CellText(1), "Tromso");
  EXPECT_EQ(CellText(2), "Alta");

  TcxLookupComboBox* edit = StartEdit(0);
  ASSERT_NE(edit, nullptr);
  S().PressKey(VK_DOWN, false, false, true);   // Alt+Down drops the list down
  ASSERT_TRUE(edit->DroppedDown());
  TcxCustomLookupDBGrid* list = List(edit);
  ASSERT_TRUE(list->HandleAllocated());
  ASSERT_GE(list->ViewInfo()->Rows.size(), 4u);
  S().PressKey(VK_ESCAPE);
  EXPECT_FALSE(edit->DroppedDown());
}

TEST_F(LookupColumnTest, SheetOfTheDropDownInEachLookAndFeel) {
  struct Look {
    TcxLookAndFeelKind Kind;
    const char* Name;
  };
  for (const Look& look : {Look{lfFlat, "flat"}, Look{lfStandard, "standard"}, Look{lfUltraFlat, "ultraflat"},
                           Look{lfOffice11, "office11"}}) {
    grid_->LookAndFeel()->SetKind(look.Kind);
    Pump();
    TcxLookupComboBox* edit = StartEdit(1);
    ASSERT_NE(edit, nullptr) << look.Name;
    S().PressKey(VK_DOWN, false, false, true);
    ASSERT_TRUE(edit->DroppedDown()) << look.Name;
    S().PressKey(VK_DOWN);
    S().SnapshotScreen(String("lookup_combo_in_grid_") + look.Name + ".png");
    S().PressKey(VK_ESCAPE);
    S().PressKey(VK_ESCAPE);
    Pump();
  }
}

}  // namespace
