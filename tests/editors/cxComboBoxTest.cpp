// The combo box: its list in the popup, selection by keys and mouse, incremental search, the
// list styles, popup content size and the filter helper.
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "editors/cxCheckBox.h"
#include "editors/cxComboBox.h"
#include "editors/cxRadioGroup.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

class ComboBoxTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxComboBox();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 500, 400);
    other_ = new TEdit(form_);
    other_->SetBounds(300, 10, 100, 21);
    other_->SetParent(form_);
    form_->Show();
    Application->OnException = [this](TObject*, const Exception& e) { errors_.push_back(e.Message()); };
    Pump();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  TcxComboBox* MakeCombo(Integer items, TcxEditDropDownListStyle style = lsEditList) {
    auto* e = new TcxComboBox(form_);
    e->SetBounds(10, 10, 150, 21);
    e->SetParent(form_);
    if (e->PopupWindow()) e->PopupWindow()->SetRunsModalLoop(false);
    TcxComboBoxProperties* p = e->ActiveProperties();
    p->SetDropDownListStyle(style);
    const char* names[] = {"apple", "Apricot", "banana", "cherry"};
    for (Integer i = 0; i < items; ++i) p->Items()->Add(i < 4 ? String(names[i]) : "item " + IntToStr(i));
    Pump();
    return e;
  }
  void Open(TcxComboBox* e) {
    e->SetFocus();
    Pump();
    S().PressKey(VK_DOWN, false, false, true);
    Pump();
  }
  TcxComboBoxListBox* List(TcxComboBox* e) {
    return static_cast<TcxComboBoxListBox*>(e->GetComboLookupData()->GetListControl());
  }

  TForm* form_ = nullptr;
  TEdit* other_ = nullptr;
  std::vector<String> errors_;
};

TEST_F(ComboBoxTest, PropertiesListStylesAndBadRows) {
  auto* e = MakeCombo(0);
  TcxComboBoxProperties* p = e->ActiveProperties();
  struct Case {
    TcxEditDropDownListStyle Style;
    TcxTextEditingStyle Editing;
    bool OnClick;
  };
  for (const Case& c : {Case{lsEditList, tesFreeText, false}, Case{lsEditFixedList, tesListOrText, false},
                        Case{lsFixedList, tesListOnly, true}}) {
    p->SetDropDownListStyle(c.Style);
    EXPECT_EQ(p->GetEditingStyle(), c.Editing);
    EXPECT_EQ(p->DropDownOnClick(), c.OnClick);
  }
  EXPECT_EQ(p->DropDownRows(), 8);
  p->SetDropDownRows(0);
  p->SetDropDownRows(-3);
  EXPECT_EQ(p->DropDownRows(), 8);
  p->SetDropDownRows(5);
  EXPECT_EQ(p->GetLookupPageSize(), 5);
  TcxComboBoxProperties copy(nullptr);
  copy.Assign(p);
  EXPECT_EQ(copy.DropDownRows(), 5);
  EXPECT_EQ(copy.DropDownListStyle(), lsFixedList);
}

TEST_F(ComboBoxTest, NoItemsNeverOpens) {
  auto* e = MakeCombo(0);
  Open(e);
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBoxTest, OpensWithTheItemsAndKeysMoveTheHighlightThenEnterTakesIt) {
  auto* e = MakeCombo(20);
  e->ActiveProperties()->SetDropDownRows(5);
  Open(e);
  ASSERT_TRUE(e->DroppedDown());
  TcxComboBoxListBox* list = List(e);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Count(), 20);
  EXPECT_TRUE(list->HandleAllocated() && IsWindowVisible(list->Handle()));
  // Five rows of the font's height fill the content.
  const Integer row = list->ItemHeightFor(0);
  EXPECT_GT(row, 0);
  EXPECT_EQ(list->VisibleCount(), 5);
  EXPECT_EQ(list->ClientHeight(), 5 * row + 4);  // the list's 2-pixel frame
  // Down highlights only, page down steps by the rows, Enter takes the highlighted item.
  S().PressKey(VK_DOWN);
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_EQ(e->Text(), "");
  S().PressKey(VK_NEXT);
  EXPECT_EQ(list->ItemIndex(), 4);
  S().PressKey(VK_RETURN);
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(e->Text(), "item 4");
  EXPECT_EQ(e->ItemIndex(), 4);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBoxTest, ReleaseOnAnItemTakesItAndHotTrackingFollowsThePointer) {
  auto* e = MakeCombo(4);
  Open(e);
  ASSERT_TRUE(e->DroppedDown());
  TcxComboBoxListBox* list = List(e);
  const Integer row = list->ItemHeightFor(0);
  S().MoveMouse(list->Handle(), POINT{5, row * 2 + row / 2});
  S().MoveMouse(list->Handle(), POINT{6, row * 2 + row / 2});
  EXPECT_EQ(list->ItemIndex(), 2);
  S().Click(list->Handle(), POINT{6, row * 3 + row / 2});
  Pump();
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(e->Text(), "cherry");
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBoxTest, IncrementalSearchCompletesFromTheItems) {
  auto* e = MakeCombo(4);
  e->SetFocus();
  Pump();
  S().TypeText("apr");
  EXPECT_EQ(e->Text(), "Apricot");
  EXPECT_EQ(e->ItemIndex(), 1);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBoxTest, FixedListOpensOnAClickInTheTextAreaOthersDoNot) {
  for (TcxEditDropDownListStyle style : {lsEditList, lsFixedList}) {
    auto* e = MakeCombo(4, style);
    e->SetFocus();
    Pump();
    S().Click(e->Handle(), POINT{20, 10});
    Pump();
    EXPECT_EQ(e->DroppedDown(), style == lsFixedList) << int(style);
    e->CloseUp(crCancel);
    e->Free();
    Pump();
  }
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBoxTest, ArrowsOnAClosedComboChangeTheValueAndTheWheelScrollsAnOpenList) {
  auto* e = MakeCombo(20);
  e->SetFocus();
  Pump();
  // Closed, the list exists but does not show: a key takes the item at once.
  S().PressKey(VK_DOWN);
  S().PressKey(VK_DOWN);
  EXPECT_EQ(e->ItemIndex(), 1);
  EXPECT_EQ(e->Text(), "Apricot");
  Open(e);
  ASSERT_TRUE(e->DroppedDown());
  TcxComboBoxListBox* list = List(e);
  EXPECT_EQ(list->TopIndex(), 0);
  S().Wheel(list->Handle(), POINT{5, 5}, -WHEEL_DELTA);
  EXPECT_EQ(list->TopIndex(), Mouse()->WheelScrollLines());
  e->CloseUp(crCancel);
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(e->Text(), "Apricot");
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBoxTest, FewerItemsThanRowsShrinkTheList) {
  auto* e = MakeCombo(3);
  Open(e);
  ASSERT_TRUE(e->DroppedDown());
  TcxComboBoxListBox* list = List(e);
  EXPECT_EQ(list->ClientHeight(), 3 * list->ItemHeightFor(0) + 4);
}

TEST_F(ComboBoxTest, AUserResizeSnapsToWholeRows) {
  auto* e = MakeCombo(20);
  e->ActiveProperties()->SetPopupSizeable(true);
  Open(e);
  ASSERT_TRUE(e->DroppedDown());
  TcxComboBoxListBox* list = List(e);
  const Integer row = list->ItemHeightFor(0);
  TcxCustomEditPopupWindow* w = e->PopupWindow();
  const Integer chrome = w->Height() - list->Height();
  struct Case {
    Integer Rows2;  // the requested content in half rows
    Integer Rows;   // the rows it snaps to: up while shrinking, down while enlarging
  };
  for (const Case& c : {Case{5, 3}, Case{6, 3}, Case{21, 10}}) {
    Integer width = w->Width(), height = chrome + 4 + c.Rows2 * row / 2;
    ASSERT_TRUE(w->CanResize(width, height));
    EXPECT_EQ(height, chrome + 4 + c.Rows * row) << c.Rows2;
  }
}

TEST_F(ComboBoxTest, ItemIndexBeyondTheItemsChangesNothing) {
  auto* e = MakeCombo(4);
  e->SetItemIndex(2);
  EXPECT_EQ(e->Text(), "banana");
  e->SetItemIndex(7);
  EXPECT_EQ(e->ItemIndex(), 2);
  EXPECT_EQ(e->Text(), "banana");
}

TEST_F(ComboBoxTest, RevertableDoubleClickCyclesToTheFirstItem) {
  auto* e = MakeCombo(4, lsEditFixedList);
  e->ActiveProperties()->SetRevertable(true);
  e->SetItemIndex(3);
  e->SetFocus();
  Pump();
  S().DoubleClick(e->Handle(), POINT{20, 10});
  Pump();
  if (e->DroppedDown()) e->CloseUp(crCancel);
  EXPECT_EQ(e->ItemIndex(), 0);
}

TEST(FilterComboBoxHelperTest, MakesAFreeTypingComboBox) {
  InitializeCxComboBox();
  TClass helper = FilterEditsController()->LookupHelper(TcxComboBoxProperties::StaticClass());
  ASSERT_EQ(helper, TcxFilterComboBoxHelper::StaticClass());
  const TcxCustomFilterEditHelper* h = FilterEditHelper(helper);
  EXPECT_EQ(h->ValueEditClass(), TcxComboBox::StaticClass());
  TcxComboBoxProperties source(nullptr), p(nullptr);
  source.SetDropDownListStyle(lsFixedList);
  source.SetDropDownRows(3);
  source.SetRevertable(true);
  source.Items()->Add("x");
  p.Assign(&source);
  h->PrepareFilterProperties(&p, &source, true);
  EXPECT_EQ(p.DropDownListStyle(), lsEditList);
  EXPECT_EQ(p.DropDownRows(), 8);
  EXPECT_FALSE(p.Revertable());
  EXPECT_FALSE(p.ImmediateDropDown());
  EXPECT_EQ(p.Items()->Count(), 1);
}

TEST_F(ComboBoxTest, SheetOfOpenComboBoxesPerLookAndFeel) {
  struct Look {
    TcxLookAndFeelKind Kind;
    const char* Name;
  };
  for (const Look& look : {Look{lfFlat, "flat"}, Look{lfStandard, "standard"}, Look{lfUltraFlat, "ultraflat"},
                           Look{lfOffice11, "office11"}}) {
    auto* e = MakeCombo(12);
    e->Style()->LookAndFeel()->SetKind(look.Kind);
    e->SetItemIndex(2);
    Open(e);
    ASSERT_TRUE(e->DroppedDown()) << look.Name;
    S().PressKey(VK_DOWN);
    S().SnapshotScreen(String("editors_combo_box_open_") + look.Name + ".png");
    e->CloseUp(crCancel);
    e->Free();
    Pump();
  }
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBoxTest, CheckBoxFilterHelperOffersCheckedAndUnchecked) {
  TClass helper = FilterEditsController()->LookupHelper(TcxCheckBoxProperties::StaticClass());
  ASSERT_EQ(helper, TcxFilterCheckBoxHelper::StaticClass());
  const TcxCustomFilterEditHelper* h = FilterEditHelper(helper);
  TcxCheckBoxProperties check(nullptr);
  check.SetValueChecked(Variant(String("yes")));
  check.SetValueUnchecked(Variant(String("no")));
  check.SetDisplayChecked("Yes");
  check.SetDisplayUnchecked("No");
  auto* e = MakeCombo(0);
  h->PrepareFilterProperties(e->GetEffectiveProperties(), &check, true);
  TcxComboBoxProperties* p = e->ActiveProperties();
  EXPECT_EQ(p->DropDownListStyle(), lsFixedList);
  ASSERT_EQ(p->Items()->Count(), 2);
  EXPECT_EQ(p->Items()->Strings(0), "Yes");
  EXPECT_EQ(p->Items()->Strings(1), "No");
  struct Case {
    Variant Value;
    Integer Index;
    const char* Read;
  };
  for (const Case& c : {Case{Variant(String("yes")), 0, "yes"}, Case{Variant(String("no")), 1, "no"},
                        Case{Null(), -1, ""}}) {
    h->ApplyFilterValue(e, &check, c.Value);
    EXPECT_EQ(e->ItemIndex(), c.Index);
    Variant value;
    String text;
    h->GetFilterValue(e, &check, value, text);
    EXPECT_EQ(VarToStr(value), c.Read);
    EXPECT_EQ(text, c.Index == 0 ? "Yes" : c.Index == 1 ? "No" : "");
  }
  TcxFilterControlOperators ops;
  h->SupportedOperators(&check, nullptr, ops, true);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 9, 10}));
  EXPECT_TRUE(h->FilterUsesDisplayText());
}

TEST_F(ComboBoxTest, RadioGroupFilterHelperOffersTheCaptions) {
  TClass helper = FilterEditsController()->LookupHelper(TcxRadioGroupProperties::StaticClass());
  ASSERT_EQ(helper, TcxFilterRadioGroupHelper::StaticClass());
  const TcxCustomFilterEditHelper* h = FilterEditHelper(helper);
  TcxRadioGroupProperties radio(nullptr);
  radio.SetDefaultCaption("none");
  TcxRadioGroupItem* a = radio.Items()->AddItem();
  a->SetCaption("Red");
  a->SetValue(Variant(Integer(10)));
  radio.Items()->AddItem()->SetCaption("Blue");  // no value: its caption stands for it
  auto* e = MakeCombo(0);
  h->PrepareFilterProperties(e->GetEffectiveProperties(), &radio, true);
  TcxComboBoxProperties* p = e->ActiveProperties();
  EXPECT_EQ(p->DropDownListStyle(), lsFixedList);
  ASSERT_EQ(p->Items()->Count(), 2);
  EXPECT_EQ(p->Items()->Strings(1), "Blue");
  Variant value;
  String text;
  h->ApplyFilterValue(e, &radio, Variant(Integer(10)));
  EXPECT_EQ(e->ItemIndex(), 0);
  h->GetFilterValue(e, &radio, value, text);
  EXPECT_EQ(VarToStr(value), "10");
  EXPECT_EQ(text, "Red");
  h->ApplyFilterValue(e, &radio, Variant(String("Blue")));
  EXPECT_EQ(e->ItemIndex(), 1);
  h->ApplyFilterValue(e, &radio, Variant(Integer(99)));
  EXPECT_EQ(e->ItemIndex(), -1);
  h->GetFilterValue(e, &radio, value, text);
  EXPECT_EQ(text, "none");
  TcxFilterControlOperators ops;
  h->SupportedOperators(&radio, nullptr, ops, false);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 9, 10}));
  h->SupportedOperators(&radio, nullptr, ops, true);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 9, 10, 13, 14}));
}

}  // namespace
