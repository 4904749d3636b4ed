// The lookup edit layer over a lookup grid whose keys are record indexes: incremental search
// and filtering in both list styles, list navigation with and without wrapping, list size,
// list index clamping, and text to key (a text that no record has gives the null key).
#include <gtest/gtest.h>

#include "data/cxDataStorage.h"
#include "editors-extra/cxLookupEdit.h"
#include "rtl/SysUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace {

// Properties whose list is a lookup grid they own: key = record index, text = list column.
class TGridLookupProperties : public TcxCustomLookupEditProperties {
  KORVAN_CLASS(TGridLookupProperties, TcxCustomLookupEditProperties)

 public:
  explicit TGridLookupProperties(TPersistent* owner) : TcxCustomLookupEditProperties(owner) {
    grid_ = new TcxLookupGrid(nullptr);
    grid_->SetPopupMode(true);
  }
  ~TGridLookupProperties() override { delete grid_; }
  Integer GetListColumnCount() override { return grid_->Columns()->Count(); }
  TcxCustomLookupGrid* GetListGrid() override { return grid_; }
  TcxCustomDataController* GetListDataController() override { return grid_->DataController(); }
  Integer GetListHeightForRows(Integer rows) override { return grid_->GetHeightForRows(rows); }
  String GetDisplayTextByKey(const Variant& key) override {
    const Integer column = GetEffectiveListIndex();
    if (key.IsNull() || column < 0) return String();
    const int record = key.AsInteger();
    if (record < 0 || record >= grid_->DataController()->GetRecordCount()) return String();
    return grid_->DataController()->GetDisplayText(record, column);
  }
  void Fill(const std::vector<String>& names) {
    grid_->BeginUpdate();
    grid_->Columns()->AddColumn();
    grid_->Columns()->AddColumn();
    TcxCustomDataController* dc = grid_->DataController();
    for (int i = 0; i < 2; ++i) dc->ChangeValueTypeClass(i, TcxStringValueType::Class());
    dc->SetRecordCount(int(names.size()));
    for (int r = 0; r < int(names.size()); ++r) {
      dc->SetValue(r, 0, names[size_t(r)]);
      dc->SetValue(r, 1, "C" + IntToStr(r));
    }
    grid_->EndUpdate();
  }

 private:
  TcxLookupGrid* grid_;
};

}  // namespace

KORVAN_IMPLEMENT_CLASS(TGridLookupProperties)

namespace {

class LookupEditTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxLookupEdit();
    form_ = new TForm(Application);
    form_->SetBounds(50, 50, 400, 300);
    form_->Show();
    edit_ = new TcxCustomLookupEdit(form_, false, TGridLookupProperties::StaticClass());
    edit_->SetParent(form_);
    Props()->Fill({"ALPHA", "Beta", "alpine", "Gamma", ""});
    Pump();
  }
  void TearDown() override {
    form_->Free();
    THeadlessFixture::TearDown();
  }
  TGridLookupProperties* Props() { return static_cast<TGridLookupProperties*>(edit_->LookupProperties()); }
  TcxCustomLookupEditLookupData* Data() { return edit_->LookupEditData(); }
  TcxCustomDataController* DC() { return Props()->GetListDataController(); }
  TForm* form_ = nullptr;
  TcxCustomLookupEdit* edit_ = nullptr;
};

TEST_F(LookupEditTest, LocateTextWithoutFiltering) {
  struct Case {
    const char* Typed;
    bool Found;
    const char* Text;
    const char* Tail;
    int Record;
  };
  const Case cases[] = {
      {"al", true, "AL", "PHA", 0},  // the typed part takes the record's letter case
      {"alpi", true, "alpi", "ne", 2},
      {"be", true, "Be", "ta", 1},
      {"x", false, "x", "", -1},
      {"", true, "", "", 4},  // an empty text finds only the record with an empty list text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Typed);
    String text = c.Typed, tail;
    EXPECT_EQ(Data()->LocateText(text, tail), c.Found);
    if (!c.Found) {
      EXPECT_FALSE(DC()->FocusedRowSelected());
      continue;
    }
    EXPECT_EQ(text, c.Text);
    EXPECT_EQ(tail, c.Tail);
    EXPECT_EQ(Data()->ReadCurrentKey().AsInteger(), c.Record);
    EXPECT_TRUE(DC()->FocusedRowSelected());
  }
}

TEST_F(LookupEditTest, IncrementalFilteringInBothListStyles) {
  struct Case {
    TcxEditDropDownListStyle Style;
    const char* First;
    const char* Second;
    int RowsAfterSecond;
  };
  // "al" leaves two rows; "alz" matches nothing: the fixed list keeps the previous filter,
  // the edit list shows an empty list.
  const Case cases[] = {{lsEditFixedList, "al", "alz", 2}, {lsEditList, "al", "alz", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Style));
    Props()->SetDropDownListStyle(c.Style);
    Data()->InitPopup();
    String text = c.First, tail;
    ASSERT_TRUE(Data()->LocateText(text, tail));
    EXPECT_EQ(DC()->RowCount(), 2);
    text = c.Second;
    EXPECT_FALSE(Data()->LocateText(text, tail));
    EXPECT_EQ(DC()->RowCount(), c.RowsAfterSecond);
    EXPECT_FALSE(DC()->FocusedRowSelected());
    // An empty text resets the filter.
    text = "";
    EXPECT_TRUE(Data()->LocateText(text, tail));  // the record with an empty text
    EXPECT_EQ(DC()->RowCount(), 5);
    Data()->FinalizeList();
  }
}

TEST_F(LookupEditTest, MoveFocusKinds) {
  struct Case {
    int StartRecord;
    int Kind;
    bool Circular;
    int Expected;
  };
  const Case cases[] = {
      {2, 0, false, 0}, {2, 1, false, 4}, {2, 2, false, 3}, {2, 3, false, 1},
      {4, 2, true, 0},   // the last row wraps to the first
      {4, 2, false, 4},  // without wrapping it stays
      {0, 3, true, 4},  {0, 4, false, 0}, {0, 5, false, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.StartRecord << " kind " << c.Kind << " circular " << c.Circular);
    Data()->WriteCurrentKey(Variant(c.StartRecord));
    int chosen = 0;
    Data()->SetSelectItemEvent([&](TObject*) { ++chosen; });
    Data()->MoveItem(c.Kind, c.Circular);
    EXPECT_EQ(Data()->ReadCurrentKey().AsInteger(), c.Expected);
    EXPECT_EQ(chosen, 1);
  }
}

TEST_F(LookupEditTest, ListPreferredSizeAndListIndex) {
  TSize size;
  Props()->SetDropDownRows(8);
  Data()->GetListContentSize(size);
  EXPECT_EQ(size.cy, Props()->GetListGrid()->GetHeightForRows(5));
  Props()->SetDropDownRows(3);
  Data()->GetListContentSize(size);
  EXPECT_EQ(size.cy, Props()->GetListGrid()->GetHeightForRows(3));
  DC()->SetRecordCount(0);
  Data()->GetListContentSize(size);
  EXPECT_EQ(size.cy, Props()->GetListGrid()->GetHeightForRows(1));
  EXPECT_TRUE(Data()->HasNoItems());

  struct Case {
    Integer Set, Stored;
  };
  for (const Case& c : {Case{1, 1}, Case{7, 1}, Case{-3, 0}}) {
    Props()->SetListIndex(c.Set);
    EXPECT_EQ(Props()->GetListIndex(), c.Stored) << c.Set;
  }
}

TEST_F(LookupEditTest, WithoutColumnsNothingIsFound) {
  auto* bare = new TcxCustomLookupEdit(form_);
  bare->SetParent(form_);
  String text = "a", tail;
  EXPECT_EQ(bare->LookupProperties()->GetEffectiveListIndex(), -1);
  EXPECT_FALSE(bare->LookupEditData()->LocateText(text, tail));
  EXPECT_FALSE(bare->LookupEditData()->LocateTextExactly("a"));
  EXPECT_TRUE(bare->LookupEditData()->HasNoItems());
  EXPECT_EQ(bare->LookupEditData()->ItemTextForKey(Variant(0)), "");
}

TEST_F(LookupEditTest, TextToKeyAndKeyToText) {
  Variant key;
  edit_->DisplayToEditValue(Variant(String("Gamma")), key, true);
  EXPECT_EQ(key.AsInteger(), 3);
  edit_->DisplayToEditValue(Variant(String("gamma")), key, true);  // case-insensitive
  EXPECT_EQ(key.AsInteger(), 3);
  edit_->DisplayToEditValue(Variant(String("Delta")), key, true);
  EXPECT_TRUE(key.IsNull());
  Variant display;
  Props()->PrepareDisplayValue(Variant(1), display, false);
  EXPECT_EQ(display.AsString(), "Beta");
  Props()->PrepareDisplayValue(Variant(99), display, false);  // a key missing from the list
  EXPECT_EQ(display.AsString(), "");
  Props()->PrepareDisplayValue(Null(), display, false);
  EXPECT_EQ(display.AsString(), "");
}

}  // namespace
