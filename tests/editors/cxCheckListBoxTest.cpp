// The list box container (read-only binding, integral height, the binding hooks, messages)
// and the check list box (states and EditValue in every format, toggling by keys and mouse,
// geometry, sorting, owner-drawn items on a sheet).
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "editors/cxCheckListBox.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

// A binding that stands for a value, as a data-aware binding does.
class TValueBinding : public TcxListDataBinding {
 public:
  using TcxListDataBinding::TcxListDataBinding;
  Variant Value = Null();
  std::vector<Variant> Stored;
  bool HasData() const override { return !Value.IsNull(); }
  Variant DisplayValue(bool) const override { return Value; }
  void StoreValue(const Variant& v) override { Stored.push_back(v); }
};

class TBoundListBox : public TcxListBox {
 public:
  using TcxListBox::TcxListBox;
  TcxListDataBinding* CreateDataBinding() override { return new TValueBinding(this, this); }
};

class ListBoxTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxCheckListBox();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 420, 320);
    other_ = new TEdit(form_);
    other_->SetBounds(300, 10, 100, 21);
    other_->SetParent(form_);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  template <class T>
  T* Make(Integer x, Integer y, Integer w, Integer h) {
    auto* c = new T(form_);
    c->SetBounds(x, y, w, h);
    c->SetParent(form_);
    Pump();
    return c;
  }
  // A point on an item of the inner list, in the inner list's coordinates.
  POINT ItemPoint(TcxListBox* box, Integer index, Integer dx = 30) {
    const TRect r = box->InnerListBox()->ItemRect(index);
    return POINT{r.Left + dx, (r.Top + r.Bottom) / 2};
  }

  TForm* form_ = nullptr;
  TEdit* other_ = nullptr;
};

TEST_F(ListBoxTest, ReadOnlyKeepsTheSelectionWhileFocusAndMouseEventsArrive) {
  auto* box = Make<TcxListBox>(10, 10, 150, 120);
  for (const char* s : {"one", "two", "three", "four"}) box->Items()->Add(s);
  box->SetItemIndex(1);
  box->SetReadOnly(true);
  std::vector<String> log;
  box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { log.push_back("down"); };
  box->OnKeyDown = [&](TObject*, Word& key, TShiftState) { log.push_back("key " + IntToStr(key)); };
  box->OnClick = [&](TObject*) { log.push_back("click"); };
  S().Click(box->InnerListBox()->Handle(), ItemPoint(box, 3));
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_TRUE(box->Focused());
  S().PressKey(VK_DOWN);
  S().PressKey(VK_END);
  S().TypeText("f");
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(log, (std::vector<String>{"down", "key 40", "key 35", "key 70"}));
  // Writable again: the same input moves the selection.
  box->SetReadOnly(false);
  S().Click(box->InnerListBox()->Handle(), ItemPoint(box, 3));
  EXPECT_EQ(box->ItemIndex(), 3);
  S().PressKey(VK_HOME);
  EXPECT_EQ(box->ItemIndex(), 0);
}

TEST_F(ListBoxTest, BindingHooksSelectTheValuesItemAndHandItsTextOn) {
  auto* box = Make<TBoundListBox>(10, 10, 150, 120);
  auto* binding = static_cast<TValueBinding*>(box->DataBinding());
  for (const char* s : {"red", "green", "blue"}) box->Items()->Add(s);
  struct Case {
    Variant Value;
    Integer Index;
  };
  const Case cases[] = {{Variant(String("green")), 1}, {Variant(String("pink")), -1}, {Null(), -1},
                        {Variant(String("blue")), 2}};
  for (const Case& c : cases) {
    binding->Value = c.Value;
    binding->DoDataChanged();
    EXPECT_EQ(box->ItemIndex(), c.Index) << VarToStr(c.Value);
  }
  // Leaving the list hands the selected item's text to the binding.
  box->SetFocus();
  Pump();
  box->SetItemIndex(0);
  other_->SetFocus();
  Pump();
  ASSERT_FALSE(binding->Stored.empty());
  EXPECT_EQ(VarToStr(binding->Stored.back()), "red");
  // Esc shows the stored value again.
  box->SetFocus();
  Pump();
  box->SetItemIndex(0);
  S().PressKey(VK_ESCAPE);
  EXPECT_EQ(box->ItemIndex(), 2);
}

TEST_F(ListBoxTest, IntegralHeightSnapsToWholeRowsExceptWhenAlignedToFill) {
  auto* box = Make<TcxListBox>(10, 10, 150, 100);
  for (int i = 0; i < 20; ++i) box->Items()->Add(IntToStr(i));
  box->SetListStyle(lbOwnerDrawFixed);
  box->SetItemHeight(16);
  TRect extent;
  box->FrameExtent(extent);
  const Integer frame = extent.Top + extent.Bottom;
  box->SetIntegralHeight(true);
  EXPECT_EQ((box->Height() - frame) % 16, 0);
  struct Case {
    Integer Requested, Result;
  };
  const Case cases[] = {{frame + 16 * 5, frame + 16 * 5}, {frame + 16 * 5 + 7, frame + 16 * 5},
                        {frame + 3, frame + 16}, {frame + 16 * 30 + 1, frame + 16 * 30}};
  for (const Case& c : cases) {
    box->SetBounds(10, 10, 150, c.Requested);
    EXPECT_EQ(box->Height(), c.Result) << c.Requested;
  }
  // With a wide ScrollWidth the horizontal bar is part of the height.
  box->SetScrollWidth(1000);
  box->SetBounds(10, 10, 150, frame + 16 * 5 + GetSystemMetrics(SM_CYHSCROLL));
  EXPECT_EQ(box->Height(), frame + 16 * 5 + GetSystemMetrics(SM_CYHSCROLL));
  box->SetScrollWidth(0);
  box->SetAlign(alClient);
  EXPECT_EQ(box->Height(), form_->ClientHeight());
}

TEST_F(ListBoxTest, StylesMessagesAndPaintedScrollBars) {
  auto* box = Make<TcxListBox>(10, 10, 150, 100);
  for (int i = 0; i < 30; ++i) box->Items()->Add("item " + IntToStr(i));
  // The list box messages sent to the control act on the inner list.
  EXPECT_EQ(SendMessage(box->Handle(), LB_GETCOUNT, 0, 0), 30);
  SendMessage(box->Handle(), LB_SETCURSEL, 25, 0);
  EXPECT_EQ(box->ItemIndex(), 25);
  Pump();
  ASSERT_NE(box->VerticalBar(), nullptr);
  EXPECT_TRUE(box->VerticalBar()->Visible());  // the painted bar mirrors the list's bar
  EXPECT_GT(box->InnerListBox()->TopIndex(), 0);
  // Item rectangles and points in the control's coordinates.
  const TRect r = box->ItemRect(26);
  EXPECT_EQ(box->ItemAtPoint(TPoint(r.Left + 2, r.Top + 1)), 26);
  EXPECT_EQ(box->ItemAtPoint(TPoint(-5, -5)), -1);
  // Owner drawing and measuring go to the control's events.
  std::vector<Integer> drawn;
  box->SetListStyle(lbOwnerDrawVariable);
  box->SetOnMeasureItem([](TcxListBox*, Integer index, Integer& h) { h = index % 2 ? 30 : 15; });
  box->OnDrawItem = [&](TcxListBox* control, TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState) {
    EXPECT_EQ(control, box);
    canvas->FillRectColor(rect, index % 2 ? clYellow : clAqua);
    drawn.push_back(index);
  };
  SendMessage(box->Handle(), LB_SETTOPINDEX, 0, 0);
  box->InnerListBox()->Repaint();
  Pump();
  EXPECT_EQ(box->InnerListBox()->ItemRect(2).Top - box->InnerListBox()->ItemRect(1).Top, 30);
  EXPECT_FALSE(drawn.empty());
  S().Snapshot(form_->Handle(), "editors_list_box.png", true);
}

// ---- check list box ----------------------------------------------------------------------------

class CheckListBoxTest : public ListBoxTest {
 protected:
  TcxCheckListBox* MakeList(std::initializer_list<const char*> texts, Integer h = 150) {
    auto* box = Make<TcxCheckListBox>(10, 10, 200, h);
    box->CheckItems()->BeginUpdate();
    for (const char* t : texts) box->CheckItems()->AddCheckItem(t);
    box->CheckItems()->EndUpdate();
    return box;
  }
  String States(TcxCheckListBox* box) {
    String s;
    for (Integer i = 0; i < box->CheckItems()->Count(); ++i) s += char('0' + box->CheckItems()->Item(i)->State());
    return s;
  }
  POINT CheckPoint(TcxCheckListBox* box, Integer index) {
    const TRect r = box->InnerCheckListBox()->CheckHitRect(index);
    return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
};

TEST_F(CheckListBoxTest, EditValueInEveryFormatFollowsTheStates) {
  auto* box = MakeList({"Apple", "Pear", "Fig"});
  box->SetAllowGrayed(true);
  struct Case {
    TcxCheckStatesValueFormat Format;
    const char* States;  // after setting them
    Variant Value;
  };
  const Case cases[] = {
      {cvfStatesString, "120", Variant(String("120"))},
      {cvfIndices, "120", Variant(String("1;0"))},
      {cvfCaptions, "100", Variant(String(";5:Apple"))},
      {cvfInteger, "101", Variant(int64_t(5))},
  };
  for (const Case& c : cases) {
    box->SetEditValueFormat(c.Format);
    for (Integer i = 0; i < 3; ++i) box->CheckItems()->Item(i)->SetState(TcxCheckBoxState(c.States[i] - '0'));
    EXPECT_TRUE(box->StatesDerived());
    EXPECT_EQ(States(box), c.States) << c.Format;
    EXPECT_EQ(VarToStr(box->EditValue()), VarToStr(c.Value)) << c.Format;
    // And back: the value decodes into the states.
    for (Integer i = 0; i < 3; ++i) box->CheckItems()->Item(i)->SetState(cbsUnchecked);
    box->SetEditValue(c.Value);
    EXPECT_FALSE(box->StatesDerived());
    EXPECT_EQ(States(box), c.States) << c.Format;
  }
  // A states-derived value switched to the integer format loses its grayed items.
  box->SetEditValueFormat(cvfStatesString);
  EXPECT_EQ(States(box), "000");  // the outside value 5 read again as a states string
  box->SetEditValue(Variant(String("100")));
  box->CheckItems()->Item(1)->SetState(cbsGrayed);  // derived from the states now
  box->CheckItems()->Item(2)->SetState(cbsChecked);
  box->SetEditValueFormat(cvfInteger);
  EXPECT_EQ(States(box), "101");
  EXPECT_EQ(VarToStr(box->EditValue()), "5");
  box->CheckItems()->Item(1)->SetState(cbsGrayed);  // no grayed state in the integer format
  EXPECT_EQ(States(box), "101");
  // An outside value is decoded again in the new format.
  box->SetEditValue(Variant(String("212")));
  box->SetEditValueFormat(cvfStatesString);
  EXPECT_EQ(States(box), "212");
}

TEST_F(CheckListBoxTest, MalformedValuesUncheckEveryItemAndEventsReplaceTheCoding) {
  auto* box = MakeList({"a", "b", "c"});
  box->SetEditValueFormat(cvfStatesString);
  box->SetEditValue(Variant(String("111")));
  int changes = 0;
  box->OnEditValueChanged = [&](TObject*) { ++changes; };
  for (const Variant& bad : {Variant(String("1x1")), Variant(String("13")), Variant(3.5), Null()}) {
    box->SetEditValue(Variant(String("111")));
    box->SetEditValue(bad);
    EXPECT_EQ(States(box), "000") << VarToStr(bad);
  }
  EXPECT_EQ(changes, 7);  // the first "111" equals the value before
  box->SetEditValue(Null());  // the same value again: no event
  EXPECT_EQ(changes, 7);
  box->OnEditValueToCheckStates = [](TObject*, const Variant& v, TcxCheckStates& s) {
    s.assign(s.size(), VarToStr(v) == "all" ? cbsChecked : cbsUnchecked);
  };
  box->OnCheckStatesToEditValue = [](TObject*, const TcxCheckStates& s, Variant& v) {
    v = Variant(String(std::count(s.begin(), s.end(), cbsChecked) == Integer(s.size()) ? "all" : "some"));
  };
  box->SetEditValue(Variant(String("all")));
  EXPECT_EQ(States(box), "111");
  box->CheckItems()->Item(0)->SetChecked(false);
  EXPECT_EQ(VarToStr(box->EditValue()), "some");
  // Item updates of an outside value decode it again; of a derived one encode anew.
  box->OnEditValueToCheckStates = nullptr;
  box->OnCheckStatesToEditValue = nullptr;
  box->SetEditValue(Variant(String("010")));
  box->CheckItems()->AddCheckItem("d");
  EXPECT_EQ(States(box), "0100");  // the outside value read again: the new item unchecked
  box->CheckItems()->Item(3)->SetChecked(true);
  box->CheckItems()->AddCheckItem("e");
  EXPECT_EQ(VarToStr(box->EditValue()), "01010");
}

TEST_F(CheckListBoxTest, SpaceClicksAndDoubleClicksToggleEnabledItems) {
  auto* box = MakeList({"one", "two", "three"});
  box->SetEditValueFormat(cvfStatesString);
  std::vector<String> clicks;
  box->OnClickCheck() = [&](TObject* sender, Integer index, TcxCheckBoxState prev, TcxCheckBoxState next) {
    EXPECT_EQ(sender, box);
    clicks.push_back(IntToStr(index) + ":" + IntToStr(prev) + ">" + IntToStr(next));
  };
  const HWND list = box->InnerListBox()->Handle();
  box->SetFocus();
  box->SetItemIndex(0);
  Pump();
  S().PressKey(VK_SPACE);
  EXPECT_EQ(States(box), "100");
  // A press on the check is drawn pressed while tracked and toggles on release over it.
  S().MouseDown(list, CheckPoint(box, 1));
  EXPECT_EQ(box->InnerCheckListBox()->PressedCheck(), 1);
  EXPECT_EQ(States(box), "100");
  S().MoveMouse(list, ItemPoint(box, 1, 120));
  EXPECT_EQ(box->InnerCheckListBox()->PressedCheck(), -1);
  S().MoveMouse(list, CheckPoint(box, 1));
  EXPECT_EQ(box->InnerCheckListBox()->PressedCheck(), 1);
  S().MouseUp(list, CheckPoint(box, 1));
  EXPECT_EQ(States(box), "110");
  // Released off the check: no toggle.
  S().MouseDown(list, CheckPoint(box, 2));
  S().MoveMouse(list, ItemPoint(box, 2, 120));
  S().MouseUp(list, ItemPoint(box, 2, 120));
  EXPECT_EQ(States(box), "110");
  // A click on the text selects without toggling; a double click toggles.
  S().Click(list, ItemPoint(box, 2, 120));
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_EQ(States(box), "110");
  S().DoubleClick(list, ItemPoint(box, 2, 120));
  EXPECT_EQ(States(box), "111");
  box->SetAllowDblClickToggle(false);
  S().DoubleClick(list, ItemPoint(box, 2, 120));
  EXPECT_EQ(States(box), "111");
  // Disabled items toggle by nothing.
  box->CheckItems()->Item(0)->SetEnabled(false);
  box->SetItemIndex(0);
  S().PressKey(VK_SPACE);
  S().Click(list, CheckPoint(box, 0));
  box->SetAllowDblClickToggle(true);
  S().DoubleClick(list, ItemPoint(box, 0, 120));
  EXPECT_EQ(States(box), "111");
  EXPECT_EQ(clicks, (std::vector<String>{"0:0>1", "1:0>1", "2:0>1"}));
  // Read-only with checks: selection works, toggling of the focused control does not.
  box->SetReadOnly(true);
  box->SetItemIndex(1);
  S().PressKey(VK_DOWN);
  EXPECT_EQ(box->ItemIndex(), 2);
  S().PressKey(VK_SPACE);
  S().Click(list, CheckPoint(box, 2));
  EXPECT_EQ(States(box), "111");
}

TEST_F(CheckListBoxTest, GrayedCycleAndItsAbsenceInTheIntegerFormat) {
  auto* box = MakeList({"x"});
  box->SetAllowGrayed(true);
  auto cycle = [&] {
    String seq;
    for (int i = 0; i < 4; ++i) {
      box->InnerCheckListBox()->ToggleItem(0);
      seq += States(box);
    }
    return seq;
  };
  box->SetEditValueFormat(cvfStatesString);
  EXPECT_EQ(cycle(), "2102");
  box->CheckItems()->Item(0)->SetState(cbsUnchecked);
  box->SetEditValueFormat(cvfInteger);
  EXPECT_EQ(cycle(), "1010");
}

TEST_F(CheckListBoxTest, GeometrySortingAndIndexOfText) {
  auto* box = MakeList({"pear", "Apple", "fig"});
  TcxCustomInnerCheckListBox* list = box->InnerCheckListBox();
  const TSize check = box->CheckSize();
  const TRect item = list->ItemRect(0);
  EXPECT_EQ(list->CheckRect(0).Left, item.Left + 1);
  EXPECT_EQ(list->GetContentIndent(), 1 + 2 + check.cx);
  EXPECT_GE(box->CheckItemHeight(), check.cy + 2);
  EXPECT_EQ(list->ItemHeight(), box->CheckItemHeight());
  TRect extent;
  box->FrameExtent(extent);
  EXPECT_EQ(box->GetHeightForRows(4), 4 * box->CheckItemHeight() + extent.Top + extent.Bottom);
  EXPECT_GT(box->GetMaxItemWidth(), box->GetItemWidth(2));
  // Without checks nothing is reserved for them.
  box->SetShowChecks(false);
  EXPECT_EQ(list->GetContentIndent(), 0);
  EXPECT_TRUE(list->CheckRect(0).IsEmpty());
  box->SetShowChecks(true);
  // Images before and after the checks.
  auto* images = new TImageList(form_);
  images->SetWidth(16);
  images->SetHeight(20);
  TBitmap picture;
  picture.SetSize(16, 20);
  images->Add(&picture, nullptr);
  box->SetImages(images);
  box->CheckItems()->Item(0)->SetImageIndex(0);
  EXPECT_GE(box->CheckItemHeight(), 22);
  EXPECT_EQ(list->CheckRect(0).Left, list->ItemRect(0).Left + 1 + 16 + 2);
  EXPECT_EQ(list->ImageRect(0).Left, list->ItemRect(0).Left + 1);
  box->SetImageLayout(ilAfterChecks);
  EXPECT_EQ(list->CheckRect(0).Left, list->ItemRect(0).Left + 1);
  EXPECT_EQ(list->ImageRect(0).Left, list->ItemRect(0).Left + 1 + 2 + check.cx);
  images->Free();
  EXPECT_EQ(box->Images(), nullptr);
  // Sorting, and a changed text moving to its place.
  box->SetEditValueFormat(cvfStatesString);
  box->CheckItems()->Item(0)->SetChecked(true);  // pear
  box->SetCheckSorted(true);
  EXPECT_EQ(box->CheckItems()->Item(0)->Text(), "Apple");
  EXPECT_EQ(box->CheckItems()->Item(2)->Text(), "pear");
  EXPECT_EQ(States(box), "001");
  EXPECT_EQ(VarToStr(box->EditValue()), "001");
  EXPECT_EQ(box->InnerListBox()->Items()->Strings(2), "pear");
  box->CheckItems()->Item(2)->SetText("banana");
  EXPECT_EQ(box->CheckItems()->Item(1)->Text(), "banana");
  EXPECT_EQ(box->CheckItems()->IndexOfText("BANANA"), 1);
  EXPECT_EQ(box->CheckItems()->IndexOfText("kiwi"), -1);
}

TEST_F(CheckListBoxTest, OwnerDrawnItemsSheet) {
  form_->SetBounds(100, 100, 460, 240);
  auto* box = MakeList({"Checked", "Unchecked", "Grayed", "Disabled", "Selected", "Tab\tstop"}, 170);
  box->SetAllowGrayed(true);
  box->SetEditValueFormat(cvfStatesString);
  box->SetEditValue(Variant(String("102110")));
  EXPECT_EQ(States(box), "102110");
  box->CheckItems()->Item(3)->SetEnabled(false);
  box->SetTabWidth(6);  // characters, as the text drawing's tab stops count
  box->SetItemIndex(4);
  // The control's draw event runs after the default drawing.
  std::vector<Integer> drawn;
  box->OnDrawCheckItem = [&](TWinControl*, Integer index, TRect rect, TOwnerDrawState) {
    drawn.push_back(index);
    if (index == 1) box->InnerCheckListBox()->CxCanvas()->FillRectColor(TRect(rect.Right - 12, rect.Top + 2, rect.Right - 2, rect.Bottom - 2), clRed);
  };
  auto* flat = Make<TcxCheckListBox>(230, 10, 200, 170);
  flat->Style()->LookAndFeel()->SetKind(lfFlat);
  for (const char* t : {"Flat one", "Flat two"}) flat->CheckItems()->AddCheckItem(t, cbsChecked);
  Pump();
  box->InnerListBox()->Repaint();
  Pump();
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
  // The hot check follows the mouse.
  S().MoveMouse(box->InnerListBox()->Handle(), CheckPoint(box, 0));
  EXPECT_EQ(box->InnerCheckListBox()->HotCheck(), 0);
  S().Snapshot(form_->Handle(), "editors_check_list_box.png", true);
}

}  // namespace
