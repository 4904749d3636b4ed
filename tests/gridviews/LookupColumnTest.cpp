// Lookup fields in a data-set table view take the lookup combo box: cells show the list texts
// (the properties follow the lookup field the column attaches quietly), the in-place editor
// edits the key (one key field or two, the null key, a key missing from the list) and writes the
// picked key into the data set's key fields; typing searches and filters the drop-down, a
// mouse release over a row picks it and one outside the list cancels.
#include <gtest/gtest.h>

#include "TableViewTestSupport.h"
#include "editors-extra/cxDBLookupComboBox.h"
#include "gridviews/cxGridRows.h"
#include "gridviews/cxGridTableViewInfo.h"
#include "rtl/Variants.h"

namespace {

// Columns of the view: the key fields, then the lookup fields over one and over two keys.
constexpr int kCity = 0, kPart = 1, kCityName = 2, kPlaceName = 3;

Variant Key2(const Variant& part, const Variant& city) { return VarArrayOf({part, city}); }

class LookupColumnTest : public gridviewstest::GridFormFixture {
 protected:
  void SetUp() override {
    GridFormFixture::SetUp();
    InitializeCxDBLookupComboBox();
    form_->SetBounds(100, 100, 520, 320);
    grid_->SetBounds(10, 10, 480, 220);
    // The list: id, part (0 for odd ids, 1 for even ones), name.
    cities_.AddFieldDef("id", ftInteger);
    cities_.AddFieldDef("part", ftInteger);
    cities_.AddFieldDef("name", ftString, 20);
    const char* names[] = {"Oslo", "Bergen", "Tromso", "Bodo", "Alta", "Narvik", "Hamar", "Molde", "Roros", "Skien"};
    for (int i = 0; i < 10; ++i) cities_.AppendRow({Variant(i + 1), Variant(i % 2), Variant(names[i])});
    cities_.Open();
    for (const char* name : {"city", "part"}) {
      ds_.AddFieldDef(name, ftInteger);
      auto* f = new TIntegerField(&ds_);
      f->SetFieldName(name);
      f->SetDataSet(&ds_);
    }
    AddLookup("cityName", "city", "id");
    AddLookup("placeName", "part;city", "part;id");
    // Rows: three listed keys, the null key, a key missing from the list.
    for (int id : {1, 3, 5}) ds_.AppendRow({Variant(id), Variant(0)});
    ds_.AppendRow({Null(), Null()});
    ds_.AppendRow({Variant(42), Variant(0)});
    ds_.Open();
    source_.SetDataSet(&ds_);
    view_ = AddView();
    view_->GetDataController()->SetDataSource(&source_);
    view_->GetDataController()->CreateAllItems();
    ShowWithColumnWidth(view_, 100);
  }
  void AddLookup(const char* name, const char* keys, const char* listKeys) {
    auto* lookup = new TStringField(&ds_);
    lookup->SetFieldName(name);
    lookup->SetFieldKind(fkLookup);
    lookup->SetLookupDataSet(&cities_);
    lookup->SetKeyFields(keys);
    lookup->SetLookupKeyFields(listKeys);
    lookup->SetLookupResultField("name");
    lookup->SetDataSet(&ds_);
  }
  TcxGridDBDataController* DC() { return view_->GetDataController(); }
  TcxGridEditingController* Editing() { return view_->GetController()->EditingController(); }
  TcxCustomGridRecord* FocusedRecord() { return view_->GetController()->FocusedRecord(); }
  // Focuses a cell of a row without opening its editor; the grid site takes the focus.
  void FocusCell(int row, int column) {
    DC()->ChangeFocusedRowIndex(row);
    view_->GetColumn(column)->SetFocused(true);
    grid_->SetFocus();
    Pump();
  }
  // Opens the editor on a lookup cell of a row.
  TcxLookupComboBox* StartEdit(int row, int column = kCityName) {
    FocusCell(row, column);
    view_->GetColumn(column)->SetEditing(true);
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
  // The list texts of the rows the drop-down shows.
  static std::vector<String> ListTexts(TcxLookupComboBox* edit) {
    TcxCustomLookupDBGrid* list = List(edit);
    std::vector<String> out;
    for (const auto& row : list->ViewInfo()->Rows) out.push_back(list->DataController()->GetDisplayText(row.RecordIndex, 0));
    return out;
  }
  // The centre of the drop-down's row showing a text, in the list's client coordinates.
  static POINT ListRowCenter(TcxLookupComboBox* edit, const String& text) {
    TcxCustomLookupDBGrid* list = List(edit);
    for (const auto& row : list->ViewInfo()->Rows)
      if (list->DataController()->GetDisplayText(row.RecordIndex, 0) == text)
        return POINT{(row.Bounds.Left + row.Bounds.Right) / 2, (row.Bounds.Top + row.Bounds.Bottom) / 2};
    ADD_FAILURE() << "no row " << text;
    return POINT{0, 0};
  }
  String CellText(int row, int column = kCityName) {
    auto* rows = static_cast<TcxGridRowsViewInfo*>(view_->GetViewInfo()->RecordsViewInfo());
    return static_cast<TcxGridDataRowViewInfo*>(rows->Items(row))->ExistingCell(column)->Text;
  }
  // A key field's value of a row as the view holds it (rows are records in data-set order).
  Variant KeyOfRow(int row, const char* field) {
    return DC()->GetValue(DC()->RowInfoAt(row).RecordIndex, String(field) == "city" ? kCity : kPart);
  }
  TMemDataSet cities_{nullptr};
  TcxGridDBTableView* view_ = nullptr;
};

bool SameKey(const Variant& a, const Variant& b) {
  if (a.IsArray() != b.IsArray()) return false;
  if (!a.IsArray()) return a.IsNull() ? b.IsNull() : !b.IsNull() && VarToStr(a) == VarToStr(b);
  if (VarArrayHighBound(a, 1) != VarArrayHighBound(b, 1)) return false;
  for (Integer i = 0; i <= VarArrayHighBound(a, 1); ++i)
    if (!SameKey(VarArrayGet(a, {i}), VarArrayGet(b, {i}))) return false;
  return true;
}

TEST_F(LookupColumnTest, CellsShowListTextsAndTheEditorDropsDown) {
  ASSERT_EQ(view_->GetColumnCount(), 4);
  ds_.First();
  EXPECT_EQ(ds_.FieldByName("cityName")->AsString(), "Oslo");
  EXPECT_EQ(DC()->GetDisplayText(0, kCityName), "Oslo");
  ASSERT_NE(dynamic_cast<TcxLookupComboBoxProperties*>(view_->GetColumn(kCityName)->GetProperties()), nullptr);
  EXPECT_EQ(CellText(0), "Oslo");
  EXPECT_EQ(CellText(1), "Tromso");
  EXPECT_EQ(CellText(2), "Alta");

  TcxLookupComboBox* edit = StartEdit(0);
  ASSERT_NE(edit, nullptr);
  S().PressKey(VK_DOWN, false, false, true);  // Alt+Down drops the list down
  ASSERT_TRUE(edit->DroppedDown());
  TcxCustomLookupDBGrid* list = List(edit);
  ASSERT_TRUE(list->HandleAllocated());
  ASSERT_GE(list->ViewInfo()->Rows.size(), 4u);
  S().PressKey(VK_ESCAPE);
  EXPECT_FALSE(edit->DroppedDown());
}

// The edit value of a lookup cell is the key (one value, or an array for two key fields), its
// text the list text (empty for the null key and for a key the list lacks); a focused cell shows
// the same text. Writing a key writes the key fields.
TEST_F(LookupColumnTest, KeysAndTextsOfLookupCells) {
  struct ReadCase {
    int Row, Column;
    Variant Key;
    const char* Text;
  };
  const ReadCase reads[] = {
      {0, kCityName, Variant(1), "Oslo"},      {0, kPlaceName, Key2(Variant(0), Variant(1)), "Oslo"},
      {1, kCityName, Variant(3), "Tromso"},    {1, kPlaceName, Key2(Variant(0), Variant(3)), "Tromso"},
      {3, kCityName, Null(), ""},              {3, kPlaceName, Key2(Null(), Null()), ""},
      {4, kCityName, Variant(42), ""},         {4, kPlaceName, Key2(Variant(0), Variant(42)), ""},
  };
  for (const ReadCase& c : reads) {
    SCOPED_TRACE(testing::Message() << "row " << c.Row << " column " << c.Column);
    FocusCell(c.Row, c.Column);
    const int record = DC()->FocusedRecordIndex();
    EXPECT_EQ(DC()->GetDisplayText(record, c.Column), c.Text);
    EXPECT_TRUE(SameKey(view_->GetColumn(c.Column)->GetEditValue(FocusedRecord()), c.Key));
    EXPECT_EQ(CellText(c.Row, c.Column), c.Text);  // the focused cell
    EXPECT_EQ(CellText(c.Row, c.Column == kCityName ? kPlaceName : kCityName), c.Text);
  }

  struct WriteCase {
    int Row, Column;
    Variant Key;
    Variant City, Part;
    const char* Text;
  };
  const WriteCase writes[] = {
      {0, kCityName, Variant(4), Variant(4), Variant(0), "Bodo"},
      {1, kPlaceName, Key2(Variant(1), Variant(2)), Variant(2), Variant(1), "Bergen"},
      {2, kCityName, Null(), Null(), Variant(0), ""},
      {3, kPlaceName, Key2(Variant(0), Variant(7)), Variant(7), Variant(0), "Hamar"},
      {4, kCityName, Variant(99), Variant(99), Variant(0), ""},
  };
  for (const WriteCase& c : writes) {
    SCOPED_TRACE(testing::Message() << "row " << c.Row << " column " << c.Column);
    FocusCell(c.Row, c.Column);
    DC()->Edit();
    view_->GetColumn(c.Column)->SetEditValue(FocusedRecord(), c.Key);
    DC()->Post();
    Pump();
    EXPECT_TRUE(SameKey(KeyOfRow(c.Row, "city"), c.City));
    EXPECT_TRUE(SameKey(KeyOfRow(c.Row, "part"), c.Part));
    EXPECT_EQ(DC()->GetDisplayText(DC()->FocusedRecordIndex(), c.Column), c.Text);
    EXPECT_EQ(CellText(c.Row, c.Column), c.Text);
  }
}

// Typing into the cell's editor opens the list, which the typed prefix filters; Enter takes the
// found record and its key goes into the key field.
TEST_F(LookupColumnTest, TypingSearchesAndFiltersTheList) {
  TcxLookupComboBox* edit = StartEdit(0);
  ASSERT_NE(edit, nullptr);
  S().TypeText("b");
  ASSERT_TRUE(edit->DroppedDown());
  EXPECT_EQ(ListTexts(edit), (std::vector<String>{"Bergen", "Bodo"}));
  EXPECT_EQ(edit->Text(), "Bergen");
  S().TypeText("o");
  EXPECT_EQ(ListTexts(edit), (std::vector<String>{"Bodo"}));
  EXPECT_EQ(edit->Text(), "Bodo");
  S().PressKey(VK_RETURN);  // closes the list with the record
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_EQ(edit->EditValue().AsInteger(), 4);
  S().PressKey(VK_DOWN);  // another row: the editor's value is written and posted
  Pump();
  EXPECT_EQ(DC()->FocusedRowIndex(), 1);
  EXPECT_EQ(ds_.State(), dsBrowse);
  EXPECT_EQ(KeyOfRow(0, "city").AsInteger(), 4);
  EXPECT_EQ(CellText(0), "Bodo");
}

// A press and release over a row of the open list picks its record; a release outside the list
// closes it and keeps the value.
TEST_F(LookupColumnTest, MousePickAndReleaseOutsideTheList) {
  TcxLookupComboBox* edit = StartEdit(1);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->EditValue().AsInteger(), 3);
  S().PressKey(VK_DOWN, false, false, true);
  ASSERT_TRUE(edit->DroppedDown());
  HWND list = List(edit)->Handle();
  POINT at = ListRowCenter(edit, "Alta");
  S().MoveMouse(list, at);
  S().MouseDown(list, at);
  S().MouseUp(list, at);
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_EQ(edit->Text(), "Alta");
  EXPECT_EQ(edit->EditValue().AsInteger(), 5);

  S().PressKey(VK_DOWN, false, false, true);
  ASSERT_TRUE(edit->DroppedDown());
  at = ListRowCenter(edit, "Bodo");
  S().MoveMouse(list, at);
  S().MouseDown(list, at);
  const POINT outside = S().ScreenPoint(form_->Handle(), POINT{5, 300});
  S().MoveMouseTo(outside);
  S().MouseUpAt(outside);
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_EQ(edit->EditValue().AsInteger(), 5);
  EXPECT_EQ(edit->Text(), "Alta");

  S().PressKey(VK_RETURN);  // ends editing with the value
  DC()->Post();
  EXPECT_EQ(KeyOfRow(1, "city").AsInteger(), 5);
  EXPECT_EQ(CellText(1), "Alta");
}

// Keys of the open list: Alt+Down opens it on the cell's record, Down and Up move, Enter takes
// the row and ends the editing with its key; Esc in the grid then cancels the record's edit.
// Esc in the open list closes it and the editor without writing the row it moved to.
TEST_F(LookupColumnTest, KeysInTheCellEditor) {
  TcxLookupComboBox* edit = StartEdit(2);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->Text(), "Alta");
  S().PressKey(VK_DOWN, false, false, true);
  ASSERT_TRUE(edit->DroppedDown());
  S().PressKey(VK_DOWN);
  S().PressKey(VK_DOWN);
  S().PressKey(VK_UP);
  EXPECT_EQ(edit->Text(), "Narvik");
  S().PressKey(VK_RETURN);
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_FALSE(Editing()->IsEditing());
  EXPECT_EQ(ds_.State(), dsEdit);
  EXPECT_EQ(KeyOfRow(2, "city").AsInteger(), 6);
  EXPECT_EQ(CellText(2), "Narvik");
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(ds_.State(), dsBrowse);
  EXPECT_EQ(KeyOfRow(2, "city").AsInteger(), 5);
  EXPECT_EQ(CellText(2), "Alta");

  edit = StartEdit(2);
  ASSERT_NE(edit, nullptr);
  S().PressKey(VK_DOWN, false, false, true);
  S().PressKey(VK_DOWN);
  S().PressKey(VK_ESCAPE);
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_FALSE(Editing()->IsEditing());
  EXPECT_EQ(KeyOfRow(2, "city").AsInteger(), 5);
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(ds_.State(), dsBrowse);
  EXPECT_EQ(CellText(2), "Alta");
}

// A lookup over two key fields edited from the null key: the picked record's key goes into
// both key fields.
TEST_F(LookupColumnTest, TwoKeyFieldsFromTheNullKey) {
  TcxLookupComboBox* edit = StartEdit(3, kPlaceName);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->Text(), "");
  EXPECT_TRUE(SameKey(edit->EditValue(), Key2(Null(), Null())));
  S().TypeText("mo");
  EXPECT_EQ(edit->Text(), "Molde");
  S().PressKey(VK_RETURN);
  EXPECT_TRUE(SameKey(edit->EditValue(), Key2(Variant(1), Variant(8))));
  S().PressKey(VK_UP);  // another row: written and posted
  Pump();
  EXPECT_EQ(ds_.State(), dsBrowse);
  EXPECT_EQ(KeyOfRow(3, "part").AsInteger(), 1);
  EXPECT_EQ(KeyOfRow(3, "city").AsInteger(), 8);
  EXPECT_EQ(CellText(3, kPlaceName), "Molde");
  EXPECT_EQ(CellText(3, kCityName), "Molde");
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
namespace {
// A letter typed into a cell whose editor is not open opens it and types once: the lookup cell
// searches with it, a plain cell takes it as its text.
TEST_F(LookupColumnTest, ALetterTypedIntoAClosedCellTypesOnce) {
  FocusCell(0, kCityName);
  S().TypeText("b");
  Pump();
  auto* edit = dynamic_cast<TcxLookupComboBox*>(Editing()->Edit());
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->DroppedDown());
  EXPECT_EQ(edit->Text(), "Bergen");
  EXPECT_EQ(ListTexts(edit), (std::vector<String>{"Bergen", "Bodo"}));
  S().PressKey(VK_ESCAPE);
  Pump();
  FocusCell(1, kCity);
  S().TypeText("7");
  Pump();
  auto* plain = dynamic_cast<TcxCustomTextEdit*>(Editing()->Edit());
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->Text(), "7");
}
}  // namespace
