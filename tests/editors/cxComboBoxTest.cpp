// The combo box: its list in the popup, selection by keys and mouse, incremental search, the
// list styles, popup content size and the filter helper.
#include <gtest/gtest.h>

#include <random>

#include "backend/Headless.h"
#include "editors/cxCheckBox.h"
#include "editors/cxComboBox.h"
#include "editors/cxRadioGroup.h"
#include "editors/cxEditPaintUtils.h"
#include "rtl/Classes.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/FormReader.h"
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
  e->ActiveProperties()->Items()->SetStrings(5, "the widest item of the list");
  e->ActiveProperties()->SetPopupSizeable(true);
  Open(e);
  ASSERT_TRUE(e->DroppedDown());
  TcxComboBoxListBox* list = List(e);
  const Integer row = list->ItemHeightFor(0);
  TcxCustomEditPopupWindow* w = e->PopupWindow();
  const Integer chrome = w->Height() - list->Height();
  const Integer hbar = GetSystemMetrics(SM_CYHSCROLL);
  struct Case {
    Integer Rows2;     // the requested content in half rows
    Integer Narrower;  // the requested width less the popup's
    Integer Rows;      // the rows it snaps to: up while shrinking, down while enlarging
    bool HBar;         // the items no longer fit across: a horizontal scroll bar's room
  };
  for (const Case& c : {Case{5, 0, 3, false}, Case{6, 0, 3, false}, Case{21, 0, 10, false},
                        Case{60, 0, 20, false}, Case{5, 20, 2, true}, Case{21, 20, 9, true}}) {
    Integer width = w->Width() - c.Narrower, height = chrome + 4 + c.Rows2 * row / 2;
    ASSERT_TRUE(w->CanResize(width, height));
    EXPECT_EQ(height, chrome + 4 + c.Rows * row + (c.HBar ? hbar : 0)) << c.Rows2 << " " << c.Narrower;
  }
  // Not beyond the work area below the editor.
  Integer width = w->Width(), height = 2000;
  form_->SetBounds(100, GetSystemMetrics(SM_CYSCREEN) - 200, 500, 190);
  e->CloseUp(crCancel);
  Open(e);
  ASSERT_TRUE(e->DroppedDown());
  ASSERT_TRUE(w->CanResize(width, height));
  EXPECT_LE(w->Top() + height, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ((height - chrome - 4) % row, 0);
}

TEST_F(ComboBoxTest, AResizedPopupSnapsIsRememberedAndResetToItsContent) {
  auto* e = MakeCombo(20);
  TcxComboBoxProperties* p = e->ActiveProperties();
  p->SetPopupSizeable(true);
  Open(e);
  ASSERT_TRUE(e->DroppedDown());
  TcxCustomEditPopupWindow* w = e->PopupWindow();
  EXPECT_TRUE(w->SysPanelStyle());  // the grip's panel comes with a sizeable combo popup
  TcxComboBoxListBox* list = List(e);
  const Integer row = list->ItemHeightFor(0);
  const Integer content_height = w->Height();
  // Dragging the grip down by one and a half rows gives one more row.
  const TRect g = w->GetPopupViewInfo()->SizeGripRect;
  const POINT grip{(g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2};
  SetCapture(w->Handle());
  S().MouseDown(w->Handle(), grip);
  S().MoveMouse(w->Handle(), POINT{grip.X, grip.Y + row * 3 / 2});
  S().MouseUp(w->Handle(), POINT{grip.X, grip.Y + row * 3 / 2});
  EXPECT_EQ(w->Height(), content_height + row);
  EXPECT_EQ(list->ClientHeight(), 9 * row + 4);
  e->CloseUp(crCancel);
  EXPECT_EQ(p->PopupHeight(), content_height + row);
  Open(e);
  EXPECT_EQ(w->Height(), content_height + row);
  e->CloseUp(crCancel);
  // Reset: the content's height again.
  e->ResetPopupHeight();
  EXPECT_EQ(p->PopupHeight(), 0);
  Open(e);
  EXPECT_EQ(w->Height(), content_height);
  e->CloseUp(crCancel);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBoxTest, InPlaceResizedHeightIsRememberedPerCellAndResetForTheCell) {
  auto* e = static_cast<TcxComboBox*>(TcxCustomEdit::CreateInplace(TcxComboBox::StaticClass(), form_));
  e->SetParent(form_);
  e->SetBounds(10, 10, 150, 20);
  e->PopupWindow()->SetRunsModalLoop(false);
  for (Integer i = 0; i < 20; ++i) e->ActiveProperties()->Items()->Add("item " + IntToStr(i));
  e->ActiveProperties()->SetPopupSizeable(true);
  TcxCustomEditData* cell = nullptr;
  e->ActivateInPlace(cell);
  e->SetDroppedDown(true);
  Pump();
  ASSERT_TRUE(e->DroppedDown());
  TcxCustomEditPopupWindow* w = e->PopupWindow();
  const Integer content_height = w->Height();
  const Integer row = List(e)->ItemHeightFor(0);
  Integer width = w->Width(), height = content_height + 2 * row + row / 2;
  ASSERT_TRUE(w->CanResize(width, height));
  w->SetBounds(w->Left(), w->Top(), width, height);
  e->SetPopupSizeChanged(true);
  e->SetSizeRemembered(true);
  e->CloseUp(crCancel);
  e->SetDroppedDown(true);
  Pump();
  EXPECT_EQ(w->Height(), content_height + 2 * row);
  e->CloseUp(crCancel);
  e->ResetPopupHeight();
  e->SetDroppedDown(true);
  Pump();
  EXPECT_EQ(w->Height(), content_height);
  EXPECT_EQ(e->ActiveProperties()->PopupHeight(), 0);  // the cell's, not the properties'
  e->DeactivateInPlace();
  e->Free();
  delete cell;
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBoxTest, APressOnTheEditorDraggedIntoTheListAndReleasedOnAnItemTakesIt) {
  auto* e = MakeCombo(4, lsFixedList);
  e->SetFocus();
  Pump();
  S().MouseDown(e->Handle(), POINT{20, 10});  // a fixed list opens on the press
  ASSERT_TRUE(e->DroppedDown());
  TcxComboBoxListBox* list = List(e);
  const Integer row = list->ItemHeightFor(0);
  const POINT over_item = S().ScreenPoint(list->Handle(), POINT{10, row * 2 + row / 2});
  S().MoveMouseTo(over_item);
  EXPECT_EQ(list->ItemIndex(), 2);
  S().MouseUpAt(over_item);
  Pump();
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(e->Text(), "banana");
  EXPECT_EQ(GetCapture(), HWND(nullptr));
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBoxTest, TheListFollowsAPasteAndInPlaceActivation) {
  auto* e = MakeCombo(4, lsEditFixedList);
  e->SetFocus();
  Pump();
  S().Backend().SetClipboardText("cherry");
  // A paste that changes the text opens the list (ImmediateDropDown) on the pasted item.
  S().PressKey('V', false, true);
  Pump();
  EXPECT_EQ(e->Text(), "cherry");
  EXPECT_EQ(e->ItemIndex(), 3);
  ASSERT_TRUE(e->DroppedDown());
  EXPECT_EQ(List(e)->ItemIndex(), 3);
  e->CloseUp(crCancel);
  // In place: the editor comes up on the cell's text with the item chosen.
  auto* inplace = static_cast<TcxComboBox*>(TcxCustomEdit::CreateInplace(TcxComboBox::StaticClass(), form_));
  inplace->SetParent(form_);
  inplace->SetBounds(10, 60, 150, 20);
  inplace->ActiveProperties()->Assign(e->ActiveProperties());
  inplace->SetText("banana");
  TcxCustomEditData* cell = nullptr;
  inplace->ActivateInPlace(cell);
  EXPECT_EQ(inplace->ItemIndex(), 2);
  inplace->DeactivateInPlace();
  inplace->Free();
  delete cell;
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ComboBoxTest, ItemIndexAndTextReadFromFormText) {
  auto* root = new TForm(Application);
  ReadComponentFromText(root,
                        "object Form2: TForm\n"
                        "  object ByIndex: TcxComboBox\n"
                        "    Properties.DropDownListStyle = lsFixedList\n"
                        "    Properties.DropDownRows = 3\n"
                        "    Properties.Items.Strings = (\n"
                        "      'red'\n"
                        "      'green'\n"
                        "      'blue')\n"
                        "    ItemIndex = 1\n"
                        "  end\n"
                        "  object ByText: TcxComboBox\n"
                        "    Properties.Items.Strings = (\n"
                        "      'red'\n"
                        "      'green')\n"
                        "    Properties.Revertable = True\n"
                        "    Text = 'red'\n"
                        "  end\n"
                        "end\n");
  auto* by_index = dynamic_cast<TcxComboBox*>(root->FindComponent("ByIndex"));
  ASSERT_NE(by_index, nullptr);
  EXPECT_EQ(by_index->ActiveProperties()->DropDownListStyle(), lsFixedList);
  EXPECT_EQ(by_index->ActiveProperties()->DropDownRows(), 3);
  EXPECT_EQ(by_index->ItemIndex(), 1);
  EXPECT_EQ(by_index->Text(), "green");
  auto* by_text = dynamic_cast<TcxComboBox*>(root->FindComponent("ByText"));
  ASSERT_NE(by_text, nullptr);
  EXPECT_TRUE(by_text->ActiveProperties()->Revertable());
  EXPECT_EQ(by_text->Text(), "red");
  EXPECT_EQ(by_text->ItemIndex(), 0);
  root->Free();
}

// Owner-drawn items: measured rows in the list, and in a fixed list's text area the chosen item
// drawn by the handler (with the editor, and for a cell drawn from its value).
TEST_F(ComboBoxTest, OwnerDrawnItemsInTheListAndInTheTextArea) {
  auto* e = MakeCombo(4, lsFixedList);
  TcxComboBoxProperties* p = e->ActiveProperties();
  struct Drawn {
    TcxCustomComboBox* Control;
    Integer Index;
    TOwnerDrawState State;
  };
  std::vector<Drawn> drawn;
  const TColor colours[] = {clRed, clLime, clBlue, clYellow};
  p->OnDrawItem = [&](TcxCustomComboBox* control, TcxCanvas* canvas, Integer index, const TRect& r,
                      TOwnerDrawState state) {
    drawn.push_back({control, index, state});
    FillRectWithColor(canvas, r, colours[index & 3]);
  };
  p->OnMeasureItem = [](TWinControl*, Integer index, Integer& height) { height = 14 + 4 * index; };
  e->SetItemIndex(2);
  e->SetFocus();
  Pump();
  e->RefreshStateAtCursor(false);
  auto* vi = static_cast<TcxCustomComboBoxViewInfo*>(e->GetEditViewInfo());
  EXPECT_EQ(vi->ItemIndex, 2);
  EXPECT_TRUE(vi->IsOwnerDrawn);
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(e->Width(), e->Height());
  TcxCanvas canvas(bitmap.Canvas());
  drawn.clear();
  vi->DrawEditor(&canvas);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].Control, e);
  EXPECT_EQ(drawn[0].Index, 2);
  EXPECT_TRUE(drawn[0].State.Contains(odComboBoxEdit));
  EXPECT_TRUE(drawn[0].State.Contains(odFocused));
  EXPECT_EQ(GetPixel(canvas.DeviceContext(), 20, e->Height() / 2), ColorToRGB(clBlue));
  // The free-text style draws the text.
  p->SetDropDownListStyle(lsEditList);
  e->RefreshStateAtCursor(false);
  EXPECT_EQ(vi->ItemIndex, -1);
  EXPECT_FALSE(vi->IsOwnerDrawn);
  p->SetDropDownListStyle(lsFixedList);
  // A cell: the item of the value's text, the handler without a control.
  TcxCustomEditStyle style(nullptr, true);
  std::unique_ptr<TcxCustomEditViewData> data(p->CreateViewData(&style, true));
  std::unique_ptr<TcxCustomEditViewInfo> cell(p->CreateViewInfo());
  data->CalculateViewInfo(&canvas, TRect(0, 0, 100, 20), TPoint(-1, -1), -1, TShiftState(), cell.get(), false);
  data->FillDisplayText(&canvas, Variant(String("Apricot")), cell.get());
  EXPECT_EQ(static_cast<TcxCustomComboBoxViewInfo*>(cell.get())->ItemIndex, 1);
  drawn.clear();
  cell->DrawEditor(&canvas);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].Control, nullptr);
  EXPECT_EQ(drawn[0].Index, 1);
  EXPECT_EQ(GetPixel(canvas.DeviceContext(), 50, 10), ColorToRGB(clLime));
  data->FillDisplayText(&canvas, Variant(String("none of them")), cell.get());
  EXPECT_FALSE(static_cast<TcxCustomComboBoxViewInfo*>(cell.get())->IsOwnerDrawn);
  // The open list: rows of the measured heights, each drawn by the handler.
  Open(e);
  ASSERT_TRUE(e->DroppedDown());
  TcxComboBoxListBox* list = List(e);
  EXPECT_EQ(list->ClientHeight(), 14 + 18 + 22 + 26 + 4);
  S().SnapshotScreen("editors_combo_box_owner_drawn.png");
  e->CloseUp(crCancel);
  EXPECT_TRUE(errors_.empty());
}

// Random keys, clicks and wheel turns on combo boxes of each list style, with the editor freed
// at random: the popup never stays open without its editor, the chosen item stays in range and
// a fixed list's text is always one of its items.
TEST_F(ComboBoxTest, RandomInputNeverLeavesThePopupWithoutItsEditor) {
  std::mt19937 random(40);
  const int keys[] = {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_HOME, VK_END, VK_RETURN, VK_ESCAPE, VK_F4, 'A', 'C', VK_BACK};
  for (int round = 0; round < 30; ++round) {
    const auto style = TcxEditDropDownListStyle(random() % 3);
    auto* e = MakeCombo(Integer(random() % 12), style);
    e->ActiveProperties()->SetPopupSizeable(random() % 2 == 0);
    e->SetFocus();
    Pump();
    TWeakRef<TcxCustomEditPopupWindow> popup(e->PopupWindow());
    String script;
    for (int step = 0; step < 40; ++step) {
      const int pick = int(random() % 20);
      if (pick < 12) {
        const int key = keys[pick];
        const bool alt = (key == VK_DOWN || key == VK_UP) && random() % 3 == 0;
        script += "k" + IntToStr(key) + (alt ? "a " : " ");
        S().PressKey(key, false, false, alt);
      } else if (pick < 15) {
        const POINT at{Integer(random() % 150), Integer(random() % 21)};
        script += "c" + IntToStr(at.X) + " ";
        S().Click(e->Handle(), at);
      } else if (pick < 17 && e->DroppedDown() && List(e)) {
        const POINT at{Integer(random() % 100), Integer(random() % 120)};
        script += "l" + IntToStr(at.Y) + " ";
        S().Click(List(e)->Handle(), at);
      } else if (pick < 19) {
        script += "w ";
        S().Wheel(e->Handle(), POINT{20, 10}, random() % 2 ? WHEEL_DELTA : -WHEEL_DELTA);
      } else {
        script += "outside ";
        S().Click(other_->Handle(), POINT{5, 5});
        e->SetFocus();
      }
      Pump();
      ASSERT_TRUE(errors_.empty()) << script << errors_.front();
      const Integer count = e->ActiveProperties()->Items()->Count();
      ASSERT_GE(e->ItemIndex(), -1) << script;
      ASSERT_LT(e->ItemIndex(), std::max<Integer>(count, 1)) << script;
      if (style == lsFixedList && !e->Text().empty()) {
        ASSERT_GE(e->ActiveProperties()->Items()->IndexOf(e->Text()), 0) << script << e->Text();
      }
      if (!e->DroppedDown() && popup) {
        ASSERT_FALSE(IsWindowVisible(popup->Handle())) << script;
      }
    }
    const bool was_open = e->DroppedDown();
    e->Free();
    Pump();
    if (popup) {
      EXPECT_FALSE(popup->HandleAllocated() && IsWindowVisible(popup->Handle())) << was_open;
    }
  }
}

TEST_F(ComboBoxTest, MouseClicksFireNoClickEventTheValueDoes) {
  auto* e = MakeCombo(4);
  int clicks = 0;
  e->OnClick = [&](TObject*) { ++clicks; };
  e->SetFocus();
  Pump();
  S().Click(e->Handle(), POINT{20, 10});  // on the inner edit
  S().Click(e->Handle(), POINT{1, 1});    // on the editor's own border
  Pump();
  EXPECT_EQ(clicks, 0);
  e->SetItemIndex(2);
  EXPECT_EQ(clicks, 1);
  // A double click still reaches the editor (Revertable cycling).
  e->ActiveProperties()->SetRevertable(true);
  S().DoubleClick(e->Handle(), POINT{20, 10});
  Pump();
  if (e->DroppedDown()) e->CloseUp(crCancel);
  EXPECT_EQ(e->ItemIndex(), 3);
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
