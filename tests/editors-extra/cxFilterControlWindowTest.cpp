// The filter control window: layout metrics and hit codes, scroll clamps, focus walks with and
// without WantTabs, a filter of two groups built with the mouse and with the keyboard, values
// edited in place ("Invalid value" keeps the editor), rows removed, filter files, and sheets.
#include <gtest/gtest.h>

#include <cstdio>

#include "data/cxFilterConsts.h"
#include "editors-extra/cxCalendar.h"
#include "editors-extra/cxFilterControl.h"
#include "tests/editors-extra/FilterControlTestLink.h"
#include "editors-extra/cxFilterControlStrs.h"
#include "editors-extra/cxSpinEdit.h"
#include "editors/cxComboBox.h"
#include "editors/cxTextEdit.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

namespace {

class FilterControlWindowTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeMenus();
    InitializeCxFilterControl();
    InitializeCxSpinEdit();
    InitializeCxCalendar();
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 560, 360);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  TcxFilterControl* MakeControl(bool linked = true, Integer width = 480, Integer height = 240) {
    auto* c = new TcxFilterControl(form_);
    c->SetParent(form_);
    c->SetBounds(10, 10, width, height);
    if (linked) c->SetLink(&link_);
    Pump();
    return c;
  }
  // Two conditions and a nested group: Product like "a%", group (OR) of Quantity between 5 and
  // 10 and Shipped is blank.
  void FillCriteria(TcxFilterCriteria* criteria) {
    TcxFilterCriteriaItemList* root = criteria->Root();
    root->AddItem(&link_.items[0], foLike, "a%", "a%");
    TcxFilterCriteriaItemList* group = root->AddItemList(fboOr);
    group->AddItem(&link_.items[1], foBetween, VarArrayOf({5, 10}), "5;10");
    group->AddItem(&link_.items[2], foEqual, Null(), "");
    root->AddItem(&link_.items[1], foInList, VarArrayOf({1, 2, 3}), "1;2;3");
  }
  static POINT Center(const TRect& r) { return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  TcxConditionViewInfo* Condition(TcxCustomFilterControl* c, Integer index) {
    return static_cast<TcxConditionViewInfo*>(c->RowList().at(std::size_t(index)));
  }
  filtercontrol_test::TWindowLink link_;
  TForm* form_ = nullptr;
};

TEST_F(FilterControlWindowTest, LayoutMetricsOnAnOffScreenCanvas) {
  // No window: the view info measures and lays out on its own bitmap's canvas.
  TcxFilterControl c(nullptr);
  c.SetBounds(0, 0, 600, 300);
  c.SetLink(&link_);
  FillCriteria(c.Criteria());
  c.BuildViewFromCriteria();
  TcxFilterControlViewInfo* vi = c.ViewInfo();
  vi->Calculate();
  EXPECT_EQ(vi->Bitmap()->Width(), 600);
  EXPECT_EQ(vi->Bitmap()->Height(), 300);

  Integer text = vi->TextSize(c.Font(), "Qq").cy;
  for (TFont* f : {c.FontBoolOperator(), c.FontItem(), c.FontCondition()}) text = std::max(text, vi->TextSize(f, "Qq").cy);
  const Integer rowHeight = vi->RowHeight();
  EXPECT_GE(rowHeight, (text * 3 + 1) / 2);
  EXPECT_EQ(vi->MinValueWidth(), 12 * vi->TextSize(c.Font(), "0").cx);

  const TRect content = vi->ContentRect();
  const auto& rows = c.RowList();
  ASSERT_EQ(rows.size(), 6u);
  Integer widest = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    TcxCustomRowViewInfo* row = rows[i];
    EXPECT_EQ(row->RowRect, Bounds(content.Left, content.Top + Integer(i) * rowHeight, content.Width(), rowHeight));
    EXPECT_EQ(row->Indent, rowHeight * row->Level());
    EXPECT_EQ(row->ButtonRect.Left, content.Left + row->Indent + 4);
    EXPECT_EQ(row->ButtonRect.Height(), rowHeight - 4);
    EXPECT_EQ(row->ButtonRect.Width(), row->Parent() ? 3 * vi->TextSize(c.Font(), "0").cx
                                                     : vi->TextSize(c.Font(), "Filter00").cx);
    widest = std::max(widest, row->RowWidth());
  }
  auto* root = c.Root();
  EXPECT_EQ(root->BoolOperatorRect.Left, root->ButtonRect.Right + 8);
  EXPECT_EQ(root->BoolOperatorRect.Width(), vi->TextSize(c.FontBoolOperator(), "AND").cx + 2);
  EXPECT_EQ(root->CaptionRect.Left, root->BoolOperatorRect.Right + 8);
  EXPECT_EQ(root->RowWidth(), root->ButtonRect.Width() + 5 + root->BoolOperatorRect.Width() + root->CaptionRect.Width() + 16);

  TcxConditionViewInfo* between = Condition(&c, 3);
  EXPECT_EQ(between->ItemRect.Left, between->ButtonRect.Right + 8);
  EXPECT_EQ(between->OperatorRect.Left, between->ItemRect.Right + 8);
  EXPECT_EQ(between->OperatorRect.Width(), vi->TextSize(c.FontCondition(), "between").cx + 2);
  EXPECT_EQ(between->Values()[0].ValueRect.Left, between->OperatorRect.Right + 8);
  const Integer andWidth = vi->TextSize(c.FontValue(), "and").cx;
  EXPECT_EQ(between->Values()[1].ValueRect.Left, between->Values()[0].ValueRect.Right + andWidth + 8);
  EXPECT_TRUE(between->AddValueRect.IsEmpty());

  TcxConditionViewInfo* list = Condition(&c, 5);
  EXPECT_EQ(list->Values()[0].ValueRect.Left, list->OperatorRect.Right + 8 + vi->TextSize(c.FontValue(), "(").cx);
  EXPECT_EQ(list->AddValueRect.Left, list->Values()[2].ValueRect.Right + vi->TextSize(c.FontValue(), ")0").cx);
  EXPECT_EQ(list->AddValueRect.Width(), vi->TextSize(c.FontValue(), "000").cx);
  EXPECT_EQ(list->RowWidth(), list->ButtonRect.Width() + list->Indent + 5 + list->ItemRect.Width() +
                                  list->OperatorRect.Width() + (list->AddValueRect.Right - list->OperatorRect.Right) + 16);
  // Is blank has no values laid out.
  TcxConditionViewInfo* blank = Condition(&c, 4);
  EXPECT_FALSE(blank->HasValues());
  EXPECT_TRUE(blank->Values()[0].ValueRect.IsEmpty());
  EXPECT_EQ(blank->RowWidth(), blank->ButtonRect.Width() + blank->Indent + 5 + blank->ItemRect.Width() +
                                   blank->OperatorRect.Width() + 16);

  // The add-condition button sits in the slot after the last row, behind its indent.
  const TRect& add = vi->AddConditionRect();
  EXPECT_EQ(add.Left, content.Left + rows.back()->Indent + 4);
  EXPECT_EQ(add.Top, content.Top + 6 * rowHeight + 2);
  EXPECT_EQ(add.Width(), vi->TextSize(c.Font(), String("press the button to add a new condition") + "00").cx);
  EXPECT_EQ(vi->MaxRowWidth(), std::max(widest, add.Width() + rows.back()->Indent + 4));
}

TEST_F(FilterControlWindowTest, HitCodes) {
  TcxFilterControl c(nullptr);
  c.SetBounds(0, 0, 600, 300);
  c.SetLink(&link_);
  FillCriteria(c.Criteria());
  c.BuildViewFromCriteria();
  TcxFilterControlViewInfo* vi = c.ViewInfo();
  vi->Calculate();
  const auto& rows = c.RowList();
  auto* group = static_cast<TcxGroupViewInfo*>(rows[2]);
  TcxConditionViewInfo* list = Condition(&c, 5);
  auto centre = [](const TRect& r) { return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); };
  struct Case {
    const char* name;
    TPoint p;
    TcxFilterControlHitTest code;
    TcxCustomRowViewInfo* row;
    Integer value;
  };
  const Case cases[] = {
      {"root button", centre(c.Root()->ButtonRect), fchRowButton, c.Root(), -1},
      {"root bool operator", centre(c.Root()->BoolOperatorRect), fchBoolOperator, c.Root(), -1},
      {"root caption", centre(c.Root()->CaptionRect), fchNone, c.Root(), -1},
      {"group bool operator", centre(group->BoolOperatorRect), fchBoolOperator, group, -1},
      {"item", centre(list->ItemRect), fchItem, list, -1},
      {"operator", centre(list->OperatorRect), fchOperator, list, -1},
      {"second value", centre(list->Values()[1].ValueRect), fchValue, list, 1},
      {"add value", centre(list->AddValueRect), fchAddValue, list, -1},
      {"add condition", centre(vi->AddConditionRect()), fchAddCondition, c.Root(), -1},
      {"right of a row", TPoint(590, centre(list->RowRect).Y), fchNone, list, -1},
      {"outside the content", TPoint(-5, 5), fchNone, c.Root(), -1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TcxFilterControlHitInfo info;
    vi->GetHitInfo(k.p, TShiftState{ssShift}, info);
    EXPECT_EQ(info.Code, k.code);
    EXPECT_EQ(info.RowInfo, k.row);
    EXPECT_EQ(info.ValueNumber, k.value);
    EXPECT_EQ(info.Pos, k.p);
    EXPECT_EQ(info.ShiftState, TShiftState{ssShift});
  }
}

TEST_F(FilterControlWindowTest, WithoutALinkOnlyTheRootAndADisabledAddButton) {
  TcxFilterControl* c = MakeControl(false);
  c->SetFocus();
  Pump();
  TcxFilterControlViewInfo* vi = c->ViewInfo();
  EXPECT_EQ(c->RowCount(), 1);
  EXPECT_FALSE(vi->Enabled());
  EXPECT_EQ(vi->AddConditionState(), cxbsDisabled);
  EXPECT_EQ(c->Root()->ButtonState, cxbsDisabled);
  TRect content = vi->ContentRect();
  EXPECT_EQ(vi->FocusRect(), TRect(content.Left + 2, content.Top + 2, content.Right - 2, content.Bottom - 2));
  // Commands do nothing; Clear only empties.
  c->AddCondition();
  c->AddGroup();
  S().PressKey(VK_INSERT);
  EXPECT_EQ(c->RowCount(), 1);
  c->ApplyFilter();
  c->Clear();
  EXPECT_EQ(c->RowCount(), 1);
}

TEST_F(FilterControlWindowTest, ScrollClamps) {
  TcxFilterControl* c = MakeControl(true, 200, 160);
  for (int i = 0; i < 30; ++i) c->Criteria()->Root()->AddItem(&link_.items[i % 4], foEqual, i, IntToStr(i));
  c->BuildViewFromCriteria();
  c->RefreshLayout();
  TcxFilterControlViewInfo* vi = c->ViewInfo();
  const TRect content = vi->ContentRect();
  const Integer rowHeight = vi->RowHeight();
  const Integer page = content.Height() / rowHeight - 1;
  const Integer maxTop = c->RowCount() - content.Height() / rowHeight + 1;
  const Integer maxLeft = vi->MaxRowWidth() - content.Width() + 1;
  ASSERT_GT(maxLeft, 0);
  EXPECT_EQ(c->MaxTopRow(), maxTop);
  EXPECT_EQ(c->MaxLeftOffset(), maxLeft);
  struct Case {
    TScrollBarKind kind;
    TScrollCode code;
    Integer position;
    Integer expected;
  };
  const Case cases[] = {
      {sbVertical, scLineDown, 0, 1},        {sbVertical, scPageDown, 0, 1 + page},
      {sbVertical, scLineUp, 0, page},       {sbVertical, scPageUp, 0, 0},
      {sbVertical, scLineUp, 0, 0},          {sbVertical, scTrack, 1000, maxTop},
      {sbVertical, scEndScroll, 3, maxTop},  {sbVertical, scTrack, -4, 0},
      {sbHorizontal, scLineDown, 0, 8},      {sbHorizontal, scLineUp, 0, 0},
      {sbHorizontal, scLineUp, 0, 0},        {sbHorizontal, scTrack, 100000, maxLeft},
      {sbHorizontal, scPageUp, 0, std::max(0, maxLeft - content.Width())},
  };
  for (const Case& k : cases) {
    if (k.kind == sbVertical)
      c->ScrollVertical(k.code, k.position);
    else
      c->ScrollHorizontal(k.code, k.position);
    EXPECT_EQ(k.kind == sbVertical ? c->TopRow() : c->LeftOffset(), k.expected) << int(k.kind) << " " << int(k.code);
  }
  // A scroll moves the rows' bounds.
  c->ScrollHorizontal(scTrack, 0);
  c->ScrollVertical(scTrack, 3);
  EXPECT_EQ(c->RowList()[3]->RowRect.Top, content.Top);
  EXPECT_TRUE(c->IsVScrollBarShown());
  EXPECT_EQ(c->VerticalBar()->Position(), 3);
  Pump();
  S().Snapshot(c->Handle(), "filter_control_scrolled.png");

  // Removing rows while scrolled down brings the rows back so that at most one empty slot
  // is left below the add-condition button.
  c->ScrollVertical(scTrack, 1000);
  for (int i = 0; i < 25; ++i) {
    c->FocusRow(c->RowList().back());
    c->Remove();
  }
  EXPECT_EQ(c->RowCount(), 6);
  EXPECT_LT(content.Bottom - vi->AddConditionRect().Bottom, rowHeight + 2);
  EXPECT_EQ(c->TopRow(), std::max(0, 7 - content.Height() / rowHeight));
}

struct TWalkStep {
  int key;
  bool shift;
  Integer row;
  TcxFilterControlHitTest code;
  Integer value;
};

TEST_F(FilterControlWindowTest, FocusWalks) {
  TcxFilterControl* c = MakeControl();
  FillCriteria(c->Criteria());
  c->BuildViewFromCriteria();
  auto* other = new TButton(form_);
  other->SetParent(form_);
  other->SetBounds(10, 300, 80, 24);
  c->SetTabStop(true);
  c->SetFocus();
  Pump();
  ASSERT_TRUE(c->Focused());
  EXPECT_EQ(c->FocusInfo().RowInfo, c->Root());
  EXPECT_EQ(c->FocusInfo().Code, fchBoolOperator);

  // Without WantTabs the Tab key leaves the control.
  S().PressKey(VK_TAB);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(c->FocusInfo().Code, fchBoolOperator);
  c->SetFocus();
  Pump();

  auto walk = [&](const std::vector<TWalkStep>& steps) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
      const TWalkStep& s = steps[i];
      S().PressKey(s.key, s.shift);
      SCOPED_TRACE(i);
      ASSERT_TRUE(c->Focused());
      EXPECT_EQ(c->RowIndex(c->FocusInfo().RowInfo), s.row);
      EXPECT_EQ(c->FocusInfo().Code, s.code);
      if (s.code == fchValue) {
        EXPECT_EQ(c->FocusInfo().ValueNumber, s.value);
      }
    }
  };
  // With WantTabs: row button, bool operator or item, operator, values, add-value button,
  // the next row, and finally the add-condition button, where Tab stays.
  c->SetWantTabs(true);
  walk({{VK_TAB, false, 1, fchRowButton, -1}, {VK_TAB, false, 1, fchItem, -1},
        {VK_TAB, false, 1, fchOperator, -1},  {VK_TAB, false, 1, fchValue, 0},
        {VK_TAB, false, 2, fchRowButton, -1}, {VK_TAB, false, 2, fchBoolOperator, -1},
        {VK_TAB, false, 3, fchRowButton, -1}, {VK_TAB, false, 3, fchItem, -1},
        {VK_TAB, false, 3, fchOperator, -1},  {VK_TAB, false, 3, fchValue, 0},
        {VK_TAB, false, 3, fchValue, 1},      {VK_TAB, false, 4, fchRowButton, -1},
        {VK_TAB, false, 4, fchItem, -1},      {VK_TAB, false, 4, fchOperator, -1},
        {VK_TAB, false, 5, fchRowButton, -1}, {VK_TAB, false, 5, fchItem, -1},
        {VK_TAB, false, 5, fchOperator, -1},  {VK_TAB, false, 5, fchValue, 0},
        {VK_TAB, false, 5, fchValue, 1},      {VK_TAB, false, 5, fchValue, 2},
        {VK_TAB, false, 5, fchAddValue, -1},  {VK_TAB, false, 5, fchAddCondition, -1},
        {VK_TAB, false, 5, fchAddCondition, -1},
        // Shift+Tab walks back: into the last part of the previous row.
        {VK_TAB, true, 5, fchAddValue, -1},   {VK_TAB, true, 5, fchValue, 2},
        {VK_TAB, true, 5, fchValue, 1},       {VK_TAB, true, 5, fchValue, 0},
        {VK_TAB, true, 5, fchOperator, -1},   {VK_TAB, true, 5, fchItem, -1},
        {VK_TAB, true, 5, fchRowButton, -1},  {VK_TAB, true, 4, fchOperator, -1},
        {VK_TAB, true, 4, fchItem, -1},       {VK_TAB, true, 4, fchRowButton, -1},
        {VK_TAB, true, 3, fchValue, 1},       {VK_TAB, true, 3, fchValue, 0},
        {VK_TAB, true, 3, fchOperator, -1},   {VK_TAB, true, 3, fchItem, -1},
        {VK_TAB, true, 3, fchRowButton, -1},  {VK_TAB, true, 2, fchBoolOperator, -1}});
  // Arrows never jump rows sideways; Up and Down move between rows.
  walk({{VK_RIGHT, false, 2, fchBoolOperator, -1}, {VK_LEFT, false, 2, fchRowButton, -1},
        {VK_LEFT, false, 2, fchRowButton, -1},     {VK_UP, false, 1, fchItem, -1},
        {VK_RIGHT, false, 1, fchOperator, -1},     {VK_RIGHT, false, 1, fchValue, 0},
        {VK_RIGHT, false, 1, fchValue, 0},         {VK_UP, false, 0, fchBoolOperator, -1},
        {VK_UP, false, 0, fchBoolOperator, -1},    {VK_DOWN, false, 1, fchItem, -1},
        {VK_DOWN, false, 2, fchBoolOperator, -1},  {VK_DOWN, false, 3, fchItem, -1},
        {VK_DOWN, false, 4, fchItem, -1},          {VK_DOWN, false, 5, fchItem, -1},
        {VK_DOWN, false, 5, fchAddCondition, -1},  {VK_RIGHT, false, 5, fchItem, -1},
        {VK_DOWN, false, 5, fchAddCondition, -1},  {VK_LEFT, false, 5, fchItem, -1}});
  // Ctrl+Tab leaves the control even with WantTabs.
  S().PressKey(VK_TAB, false, true);
  EXPECT_TRUE(other->Focused());
}

// Input helpers: clicks on laid-out parts, a menu item chosen by its hotkey while the menu
// tracks, and a combo box entry chosen with the arrows.
class FilterControlInputTest : public FilterControlWindowTest {
 protected:
  void ClickAt(const TRect& r) {
    S().Click(c_->Handle(), Center(r));
    Pump();
  }
  void ChooseInMenu(char hotkey) {
    // Input for the menu's own loop: no pumping here.
    S().Backend().OnIdle([hotkey] {
      InputKey(std::toupper(hotkey), true);
      InputKey(std::toupper(hotkey), false);
    });
  }
  void ChooseInCombo(int downs) {
    ASSERT_TRUE(c_->ComboBox()->Visible());
    for (int i = 0; i < downs; ++i) S().PressKey(VK_DOWN);
    S().PressKey(VK_RETURN);
    Pump();
    EXPECT_FALSE(c_->ComboBox()->Visible());
    EXPECT_EQ(c_->EditMode(), fcemNone);
  }
  TcxGroupViewInfo* Group(Integer index) { return static_cast<TcxGroupViewInfo*>(c_->RowList().at(std::size_t(index))); }
  TcxConditionViewInfo* Cond(Integer index) { return Condition(c_, index); }
  String Caption() { return c_->FilterCaptionText(); }
  TcxFilterControl* c_ = nullptr;
};

TEST_F(FilterControlInputTest, TwoGroupsBuiltWithTheMouse) {
  c_ = MakeControl();
  ClickAt(c_->ViewInfo()->AddConditionRect());
  ASSERT_EQ(c_->RowCount(), 2);
  EXPECT_EQ(Cond(1)->ItemText(), "Product");
  EXPECT_EQ(Cond(1)->Operator(), 7);
  EXPECT_EQ(c_->FocusInfo().Code, fchItem);

  // The root's menu: Add Group puts a group with one condition under the root.
  ChooseInMenu('g');
  ClickAt(c_->Root()->ButtonRect);
  ASSERT_EQ(c_->RowCount(), 4);
  ASSERT_TRUE(c_->RowList()[2]->IsGroup());
  // Its bool operator becomes OR through the combo box.
  ClickAt(Group(2)->BoolOperatorRect);
  EXPECT_EQ(c_->EditMode(), fcemBoolOperator);
  ChooseInCombo(1);
  EXPECT_EQ(Group(2)->BoolOperator(), fboOr);
  // Its condition takes Quantity, then "is greater than".
  ClickAt(Cond(3)->ItemRect);
  EXPECT_EQ(c_->EditMode(), fcemItem);
  TcxCustomEditListBox* list = c_->ComboBox()->GetComboLookupData()->List();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->Font()->Style().Empty());
  EXPECT_EQ(list->Font()->Color(), clGreen);
  S().SnapshotScreen("filter_control_combo.png");
  ChooseInCombo(1);
  EXPECT_EQ(Cond(3)->ItemText(), "Quantity");
  EXPECT_EQ(Cond(3)->Operator(), 1);
  EXPECT_EQ(c_->FocusInfo().Code, fchOperator);
  ClickAt(Cond(3)->OperatorRect);
  ChooseInCombo(4);
  EXPECT_EQ(Cond(3)->Operator(), 5);
  EXPECT_EQ(c_->FocusInfo().Code, fchValue);
  // The group's own menu adds a second condition into it.
  ChooseInMenu('c');
  ClickAt(Group(2)->ButtonRect);
  ASSERT_EQ(c_->RowCount(), 5);
  EXPECT_EQ(c_->RowList()[4]->Parent(), Group(2));
  // A second group, from the root's menu again.
  ChooseInMenu('g');
  ClickAt(c_->Root()->ButtonRect);
  ASSERT_EQ(c_->RowCount(), 7);
  EXPECT_EQ(c_->RowList()[5]->Parent(), c_->Root());
  EXPECT_TRUE(c_->RowList()[5]->IsGroup());
  // Values are edited in place: a click opens the item's own editor over the value.
  ClickAt(Cond(3)->Values()[0].ValueRect);
  ASSERT_NE(c_->ValueEditor(), nullptr);
  EXPECT_EQ(c_->EditMode(), fcemValue);
  EXPECT_TRUE(c_->ValueEditor()->Focused());
  EXPECT_EQ(c_->ValueEditor()->BoundsRect(), Cond(3)->Values()[0].ValueRect);
  S().TypeText("12");
  S().PressKey(VK_RETURN);
  EXPECT_EQ(c_->ValueEditor(), nullptr);
  EXPECT_TRUE(c_->Focused());
  EXPECT_EQ(CompareVariantValues(Cond(3)->Values()[0].Value, 12), 0);
  EXPECT_EQ(Cond(3)->Values()[0].ValueText, "12");
  ClickAt(Cond(1)->Values()[0].ValueRect);
  S().TypeText("a%");
  S().PressKey(VK_RETURN);
  EXPECT_EQ(Cond(1)->Values()[0].ValueText, "a%");
  S().Snapshot(form_->Handle(), "filter_control_mouse.png", true);
  EXPECT_EQ(Caption(), "(Product LIKE a%) and ((Quantity > 12) or (Product = blank)) and ((Product = blank))");
}

TEST_F(FilterControlInputTest, TwoGroupsBuiltWithTheKeyboard) {
  c_ = MakeControl();
  c_->SetFocus();
  Pump();
  auto press = [this](std::initializer_list<int> keys) {
    for (int k : keys) S().PressKey(k);
  };
  // Insert adds a condition; Space opens the item combo, where Space chooses like Enter.
  press({VK_INSERT});
  ASSERT_EQ(c_->RowCount(), 2);
  press({VK_SPACE});
  EXPECT_EQ(c_->EditMode(), fcemItem);
  ASSERT_TRUE(c_->ComboBox()->Visible());
  EXPECT_EQ(c_->ComboBox()->ComboProperties()->Items()->Count(), 4);
  press({VK_DOWN, VK_SPACE});
  Pump();
  EXPECT_EQ(Cond(1)->ItemText(), "Quantity");
  EXPECT_EQ(c_->FocusInfo().Code, fchOperator);
  // Between is the ninth operator of an integer item (no like).
  press({VK_SPACE});
  EXPECT_EQ(c_->ComboBox()->ComboProperties()->Items()->Count(), 12);
  ChooseInCombo(8);
  EXPECT_EQ(Cond(1)->Operator(), 11);
  ASSERT_EQ(Cond(1)->Values().size(), 2u);
  EXPECT_EQ(c_->FocusInfo().Code, fchValue);
  // Typing a digit on a focused value opens its editor with that digit.
  S().TypeText("10");
  ASSERT_NE(c_->ValueEditor(), nullptr);
  press({VK_RETURN, VK_RIGHT});
  EXPECT_EQ(c_->FocusInfo().ValueNumber, 1);
  S().TypeText("5");
  press({VK_RETURN});
  EXPECT_EQ(Cond(1)->Values()[0].ValueText, "10");
  EXPECT_EQ(Cond(1)->Values()[1].ValueText, "5");

  // The root's menu from its button: Add Group.
  press({VK_UP, VK_LEFT});
  EXPECT_EQ(c_->FocusInfo().Code, fchRowButton);
  ChooseInMenu('g');
  press({VK_RETURN});
  Pump();
  ASSERT_EQ(c_->RowCount(), 4);
  EXPECT_EQ(c_->RowIndex(c_->FocusInfo().RowInfo), 3);
  // The group's bool operator becomes NOT AND; its condition "is blank".
  press({VK_UP, VK_SPACE});
  ChooseInCombo(2);
  EXPECT_EQ(Group(2)->BoolOperator(), fboNotAnd);
  press({VK_DOWN, VK_RIGHT, VK_SPACE});
  ChooseInCombo(2);
  EXPECT_EQ(Cond(3)->Operator(), 9);
  // A second group, again through the root's menu.
  press({VK_UP, VK_UP, VK_UP, VK_LEFT});
  ChooseInMenu('g');
  press({VK_RETURN});
  Pump();
  ASSERT_EQ(c_->RowCount(), 6);
  S().Snapshot(form_->Handle(), "filter_control_keyboard.png", true);
  EXPECT_EQ(Caption(), "(Quantity between 5 and 10) and (not ((Product = blank))) and ((Product = blank))");
}

TEST_F(FilterControlInputTest, RowsAndValuesRemoved) {
  c_ = MakeControl();
  FillCriteria(c_->Criteria());
  c_->BuildViewFromCriteria();
  c_->SetFocus();
  Pump();
  auto focus = [this](Integer row, TcxFilterControlHitTest code, Integer value = -1) {
    c_->FocusRow(c_->RowList()[std::size_t(row)]);
    c_->SetFocusedPart(code, value);
  };
  auto ctrlDelete = [this] { S().PressKey(VK_DELETE, false, true); };
  auto texts = [this](Integer row) {
    String out;
    for (const TcxValueInfo& v : Cond(row)->Values()) out += v.ValueText + ";";
    return out;
  };
  // In a list, Ctrl+Delete takes the focused value while more than one is left.
  focus(5, fchValue, 1);
  ctrlDelete();
  EXPECT_EQ(texts(5), "1;3;");
  EXPECT_EQ(c_->FocusInfo().ValueNumber, 0);
  ctrlDelete();
  EXPECT_EQ(texts(5), "3;");
  // The last value goes with its row; the focus moves to the row before.
  ctrlDelete();
  ASSERT_EQ(c_->RowCount(), 5);
  EXPECT_EQ(c_->RowIndex(c_->FocusInfo().RowInfo), 4);
  EXPECT_EQ(c_->FocusInfo().Code, fchItem);
  ctrlDelete();
  ASSERT_EQ(c_->RowCount(), 4);
  EXPECT_EQ(Group(2)->RowCount(), 1);
  // The only condition of a group takes the group with it.
  ctrlDelete();
  ASSERT_EQ(c_->RowCount(), 2);
  EXPECT_EQ(c_->RowIndex(c_->FocusInfo().RowInfo), 1);
  // Nothing happens on the root.
  focus(0, fchBoolOperator);
  ctrlDelete();
  EXPECT_EQ(c_->RowCount(), 2);
  // The menu: "&Remove Row" for a row; "Clear &All" for the root, only while it has rows.
  focus(1, fchItem);
  ChooseInMenu('r');
  ClickAt(Cond(1)->ButtonRect);
  ASSERT_EQ(c_->RowCount(), 1);
  TMenuItem* items = c_->RowMenu()->Items();
  S().Backend().OnIdle([&] { c_->RowMenu()->CloseMenu(); });
  ClickAt(c_->Root()->ButtonRect);
  EXPECT_FALSE(items->Items(2)->Visible());
  EXPECT_FALSE(items->Items(3)->Visible());
  EXPECT_EQ(c_->EditMode(), fcemNone);
  c_->Criteria()->RemoveAllItems();
  FillCriteria(c_->Criteria());
  c_->BuildViewFromCriteria();
  ASSERT_EQ(c_->RowCount(), 6);
  ChooseInMenu('a');
  ClickAt(c_->Root()->ButtonRect);
  EXPECT_EQ(items->Items(3)->Caption(), "Clear &All");
  EXPECT_EQ(c_->RowCount(), 1);
  EXPECT_TRUE(c_->Criteria()->IsEmpty());
}

TEST_F(FilterControlInputTest, InvalidValueKeepsTheEditorAndIgnoresClicks) {
  c_ = MakeControl();
  String shown;
  Application->OnException = [&](TObject*, const Exception& e) { shown = e.Message(); };
  ClickAt(c_->ViewInfo()->AddConditionRect());
  ClickAt(Cond(1)->ItemRect);
  ChooseInCombo(3);
  ASSERT_EQ(Cond(1)->ItemText(), "Code");
  ClickAt(Cond(1)->Values()[0].ValueRect);
  ASSERT_NE(c_->ValueEditor(), nullptr);
  S().TypeText("x1");
  S().PressKey(VK_RETURN);
  EXPECT_EQ(shown, "Invalid value");
  EXPECT_NE(c_->ValueEditor(), nullptr);
  EXPECT_TRUE(c_->ValueError());
  EXPECT_EQ(c_->EditMode(), fcemValue);
  EXPECT_TRUE(VarIsNull(Cond(1)->Values()[0].Value));
  // Clicks on the control are ignored until editing ends.
  S().Click(c_->Handle(), Center(c_->ViewInfo()->AddConditionRect()));
  Pump();
  EXPECT_EQ(c_->RowCount(), 2);
  // Applying and saving stop at the same check with the criteria unchanged, and an existing
  // filter file is not emptied by the failed save.
  EXPECT_THROW(c_->FilterCaptionText(), EcxFilterControlError);
  EXPECT_TRUE(c_->Criteria()->IsEmpty());
  const String path = String(::testing::TempDir()) + "korvan_filter_invalid.flt";
  {
    TFileStream old(path, fmCreate);
    old.WriteBuffer("old!", 4);
  }
  EXPECT_THROW(c_->SaveToFile(path), EcxFilterControlError);
  {
    TFileStream old(path, fmOpenRead);
    EXPECT_EQ(old.Size(), 4);
  }
  std::remove(path.c_str());
  // Esc drops the typed value and ends editing; clicks work again.
  c_->ValueEditor()->SetFocus();
  S().PressKey(VK_ESCAPE);
  EXPECT_EQ(c_->ValueEditor(), nullptr);
  EXPECT_FALSE(c_->ValueError());
  ClickAt(c_->ViewInfo()->AddConditionRect());
  EXPECT_EQ(c_->RowCount(), 3);
  // A valid number is stored with its text.
  ClickAt(Cond(1)->Values()[0].ValueRect);
  S().TypeText("42");
  S().PressKey(VK_RETURN);
  EXPECT_EQ(CompareVariantValues(Cond(1)->Values()[0].Value, 42), 0);
  // Down in the editor keeps the value and moves the focus to the next row.
  ClickAt(Cond(1)->Values()[0].ValueRect);
  S().TypeText("7");
  S().PressKey(VK_DOWN);
  EXPECT_EQ(c_->ValueEditor(), nullptr);
  EXPECT_TRUE(c_->Focused());
  EXPECT_EQ(Cond(1)->Values()[0].ValueText, "427");
  EXPECT_EQ(c_->RowIndex(c_->FocusInfo().RowInfo), 2);
  // With WantTabs, Tab in the editor keeps the value and walks on.
  c_->SetWantTabs(true);
  ClickAt(Cond(1)->Values()[0].ValueRect);
  S().TypeText("1");
  S().PressKey(VK_TAB);
  EXPECT_EQ(c_->ValueEditor(), nullptr);
  EXPECT_EQ(Cond(1)->Values()[0].ValueText, "4271");
  EXPECT_EQ(c_->RowIndex(c_->FocusInfo().RowInfo), 2);
  EXPECT_EQ(c_->FocusInfo().Code, fchRowButton);
  EXPECT_EQ(shown, "Invalid value");
  Application->OnException = nullptr;
}

TEST_F(FilterControlInputTest, ApplyEndsValueEditingAndFiresWithTheControl) {
  TcxFilterControlModel keeper(&link_);  // whose criteria stands for the link's
  link_.criteria = keeper.Criteria();
  c_ = MakeControl();
  ClickAt(c_->ViewInfo()->AddConditionRect());
  ClickAt(Cond(1)->Values()[0].ValueRect);
  S().TypeText("ab");
  TObject* sender = nullptr;
  c_->OnApplyFilter = [&](TObject* s) {
    sender = s;
    EXPECT_EQ(keeper.Criteria()->Root()->ItemCount(), 1);
  };
  c_->ApplyFilter();
  EXPECT_EQ(sender, c_);
  EXPECT_EQ(c_->ValueEditor(), nullptr);
  auto* item = static_cast<TcxFilterCriteriaItem*>(keeper.Criteria()->Root()->Items(0));
  EXPECT_EQ(item->DisplayValue(), "ab");
  // The rows were rebuilt from what the link keeps, and laid out.
  ASSERT_EQ(c_->RowCount(), 2);
  EXPECT_FALSE(c_->RowList()[1]->RowRect.IsEmpty());
  EXPECT_EQ(Cond(1)->Values()[0].ValueText, "ab");
  link_.criteria = nullptr;
}

TEST_F(FilterControlInputTest, FilterFiles) {
  c_ = MakeControl();
  FillCriteria(c_->Criteria());
  c_->BuildViewFromCriteria();
  const String path = String(::testing::TempDir()) + "korvan_filter_control.flt";
  c_->SaveToFile(path);
  const String before = c_->FilterCaptionText();
  c_->Clear();
  EXPECT_EQ(c_->RowCount(), 1);
  c_->LoadFromFile(path);
  EXPECT_EQ(c_->RowCount(), 6);
  EXPECT_EQ(c_->FilterCaptionText(), before);
  EXPECT_EQ(c_->Criteria()->LoadedVersion(), 3);
  // A file that cannot be opened raises the platform's error, with nothing changed; so does
  // a file that holds no filter.
  EXPECT_THROW(c_->LoadFromFile(path + ".missing"), EFOpenError);
  {
    TFileStream junk(path, fmCreate);
    junk.WriteBuffer("junk", 4);
  }
  EXPECT_ANY_THROW(c_->LoadFromFile(path));
  EXPECT_EQ(c_->RowCount(), 6);
  EXPECT_EQ(c_->FilterCaptionText(), before);
  EXPECT_THROW(c_->SaveToFile("/nonexistent-dir/x.flt"), EFCreateError);
  // A link without items cannot take a filter.
  link_.count = 0;
  c_->SaveToFile(path + ".2");
  EXPECT_THROW(c_->LoadFromFile(path), EcxFilterControlError);
  link_.count = 4;
  std::remove(path.c_str());
  std::remove((path + ".2").c_str());
}

TEST_F(FilterControlInputTest, RowMenuShowsImagesOnlyWithAnImageList) {
  c_ = MakeControl();
  TMenuItem* items = c_->RowMenu()->Items();
  EXPECT_EQ(c_->MenuImages(), nullptr);
  EXPECT_EQ(items->Items(0)->ImageIndex(), 0);
  EXPECT_EQ(items->Items(3)->ImageIndex(), 3);
  auto* images = new TImageList(form_);
  images->SetWidth(16);
  images->SetHeight(16);
  const TColor colors[] = {clGreen, clBlue, clWhite, clRed};
  for (TColor color : colors) {
    TBitmap b;
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(color);
    b.Canvas()->FillRect(TRect(2, 2, 14, 14));
    images->AddMasked(&b, clWhite);
  }
  String plain, withImages;
  S().Backend().OnIdle([&] {
    plain = S().Snapshot(c_->RowMenu()->MenuWindows()[0]->Handle(), "filter_control_menu.png");
    c_->RowMenu()->CloseMenu();
  });
  ClickAt(c_->Root()->ButtonRect);
  c_->SetMenuImages(images);
  EXPECT_EQ(c_->RowMenu()->Images(), images);
  S().Backend().OnIdle([&] {
    withImages = S().Snapshot(c_->RowMenu()->MenuWindows()[0]->Handle(), "filter_control_menu_images.png");
    c_->RowMenu()->CloseMenu();
  });
  ClickAt(c_->Root()->ButtonRect);
  EXPECT_FALSE(plain.empty());
  EXPECT_FALSE(withImages.empty());
}

TEST_F(FilterControlWindowTest, LevelLinesAndDisabledPainting) {
  TcxFilterControl* c = MakeControl();
  FillCriteria(c->Criteria());
  c->BuildViewFromCriteria();
  Pump();
  TcxCustomRowViewInfo* row = c->RowList()[3];  // the first condition of the group
  const Integer x = row->Parent()->ButtonRect.Left + row->ButtonRect.Width() / 2;
  const Integer y = row->RowRect.Top + ((x + row->RowRect.Top) % 2 == 0 ? 1 : 0);  // an odd pixel of the pattern
  TCanvas* bitmap = c->ViewInfo()->Bitmap()->Canvas();
  EXPECT_EQ(ColorToRGB(bitmap->Pixels(x, y)), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(ColorToRGB(bitmap->Pixels(x, y + 1)), ColorToRGB(c->Color()));
  // The ancestors' lines continue only while the ancestor has later siblings: the group has
  // one (the in-list condition), so its line runs through the rows of its children.
  const Integer groupX = c->Root()->ButtonRect.Left + row->ButtonRect.Width() / 2;
  const Integer y2 = row->RowRect.Bottom - 2 + ((groupX + row->RowRect.Bottom) % 2 == 0 ? 1 : 0);
  EXPECT_EQ(ColorToRGB(bitmap->Pixels(groupX, y2)), ColorToRGB(cl3DDkShadow));
  // The last child's line stops at the middle of its row.
  TcxCustomRowViewInfo* last = c->RowList()[5];
  const Integer lastY = last->RowRect.Bottom - 2;
  EXPECT_EQ(ColorToRGB(bitmap->Pixels(groupX, lastY)), ColorToRGB(c->Color()));
  EXPECT_EQ(ColorToRGB(bitmap->Pixels(groupX, lastY + 1)), ColorToRGB(c->Color()));

  c->SetShowLevelLines(false);
  Pump();
  EXPECT_EQ(ColorToRGB(bitmap->Pixels(x, y)), ColorToRGB(c->Color()));

  // Disabled: every button disabled.
  c->SetEnabled(false);
  Pump();
  EXPECT_FALSE(c->ViewInfo()->Enabled());
  for (TcxCustomRowViewInfo* r : c->RowList()) EXPECT_EQ(r->ButtonState, cxbsDisabled);
  EXPECT_EQ(Condition(c, 5)->AddValueState, cxbsDisabled);
  EXPECT_EQ(c->ViewInfo()->AddConditionState(), cxbsDisabled);
}

TEST_F(FilterControlWindowTest, APaintTouchesOnlyTheVisibleRows) {
  TcxFilterControl* c = MakeControl(true, 400, 150);
  for (int i = 0; i < 200; ++i) c->Criteria()->Root()->AddItem(&link_.items[1], foEqual, i, IntToStr(i));
  c->BuildViewFromCriteria();
  Pump();
  const TRect content = c->ViewInfo()->ContentRect();
  const Integer visible = (content.Height() + c->ViewInfo()->RowHeight() - 1) / c->ViewInfo()->RowHeight();
  c->Invalidate();
  Pump();
  EXPECT_LE(c->ViewInfo()->PaintedRowCount(), visible + 1);
  c->ScrollVertical(scTrack, 120);
  Pump();
  EXPECT_LE(c->ViewInfo()->PaintedRowCount(), visible + 1);
  EXPECT_GT(c->ViewInfo()->PaintedRowCount(), 0);
  // A hover repaints the hovered row only.
  S().MoveMouse(c->Handle(), Center(c->RowList()[122]->ButtonRect));
  Pump();
  EXPECT_EQ(c->HotInfo().Code, fchRowButton);
  EXPECT_EQ(c->RowList()[122]->ButtonState, cxbsHot);
  EXPECT_EQ(c->ViewInfo()->PaintedRowCount(), 1);
}

TEST_F(FilterControlWindowTest, HotTracking) {
  TcxFilterControl* c = MakeControl();
  FillCriteria(c->Criteria());
  c->BuildViewFromCriteria();
  Pump();
  TcxConditionViewInfo* list = Condition(c, 5);
  S().MoveMouse(c->Handle(), Center(list->AddValueRect));
  Pump();
  EXPECT_EQ(list->AddValueState, cxbsHot);
  EXPECT_EQ(c->GetCursorAt(0, 0), crHandPoint);
  S().MoveMouse(c->Handle(), Center(list->Values()[1].ValueRect));
  Pump();
  EXPECT_EQ(list->AddValueState, cxbsNormal);
  EXPECT_EQ(c->HotInfo().ValueNumber, 1);
  // The hot value is laid out active: at least the minimum active width.
  EXPECT_GE(list->Values()[1].ValueRect.Width(), c->ViewInfo()->MinValueWidth());
  S().MoveMouse(c->Handle(), Center(c->ViewInfo()->AddConditionRect()));
  Pump();
  EXPECT_EQ(c->ViewInfo()->AddConditionState(), cxbsHot);
  EXPECT_LT(list->Values()[1].ValueRect.Width(), c->ViewInfo()->MinValueWidth());
  // Leaving the control forgets the hot part.
  S().MoveMouse(form_->Handle(), POINT{5, 300});
  Advance(200);
  EXPECT_EQ(c->HotInfo().Code, fchNone);
  EXPECT_EQ(c->ViewInfo()->AddConditionState(), cxbsNormal);
  // Unfocused controls track only with HotTrackOnUnfocused.
  c->SetHotTrackOnUnfocused(false);
  S().MoveMouse(c->Handle(), Center(c->Root()->ButtonRect));
  Pump();
  EXPECT_EQ(c->Root()->ButtonState, cxbsNormal);
  EXPECT_NE(c->GetCursorAt(0, 0), crHandPoint);
}

// A component that offers the filter link, as a grid view does.
class TLinkComponent : public TComponent, public filtercontrol_test::TWindowLink {
 public:
  explicit TLinkComponent(TComponent* owner) : TComponent(owner) {}
};

TEST_F(FilterControlWindowTest, LinkComponentAndPartFonts) {
  TcxFilterControl* c = MakeControl(false);
  auto* plain = new TComponent(form_);
  c->SetLinkComponent(plain);
  EXPECT_EQ(c->LinkComponent(), nullptr);
  auto* linked = new TLinkComponent(form_);
  TcxFilterControlModel keeper(linked);  // whose criteria stands for the link's
  linked->criteria = keeper.Criteria();
  keeper.Criteria()->Root()->AddItem(&linked->items[0], foEqual, "x", "x");
  c->SetLinkComponent(linked);
  EXPECT_EQ(c->LinkComponent(), linked);
  EXPECT_EQ(c->RowCount(), 2);
  // Freeing the link component leaves the control without a link.
  delete linked;
  EXPECT_EQ(c->LinkComponent(), nullptr);
  EXPECT_EQ(c->Link(), nullptr);
  EXPECT_EQ(c->RowCount(), 1);
  Pump();

  // The part fonts take the control font's name and height; their colours and styles stay.
  c->Font()->SetName("Arial");
  c->Font()->SetHeight(-16);
  for (TFont* f : {c->FontBoolOperator(), c->FontItem(), c->FontCondition(), c->FontValue()}) {
    EXPECT_EQ(f->Name(), "Arial");
    EXPECT_EQ(f->Height(), -16);
  }
  EXPECT_EQ(c->FontBoolOperator()->Color(), clRed);
  EXPECT_EQ(c->FontItem()->Color(), clGreen);
  EXPECT_EQ(c->FontCondition()->Color(), clMaroon);
  EXPECT_EQ(c->FontValue()->Color(), clBlue);
  EXPECT_TRUE(c->FontItem()->Style().Contains(fsUnderline));
  EXPECT_FALSE(c->FontValue()->Style().Contains(fsUnderline));
  // Part fonts that follow the control's font and keep their defaults are not stored.
  const char* parts[] = {"FontBoolOperator", "FontCondition", "FontItem", "FontValue"};
  for (const char* part : parts) EXPECT_FALSE(IsStoredProp(c, part)) << part;
  c->FontItem()->SetColor(clPurple);
  c->FontValue()->SetStyle(TFontStyles{fsBold});
  c->FontCondition()->SetName("Courier New");
  EXPECT_TRUE(IsStoredProp(c, "FontItem"));
  EXPECT_TRUE(IsStoredProp(c, "FontValue"));
  EXPECT_TRUE(IsStoredProp(c, "FontCondition"));
  EXPECT_FALSE(IsStoredProp(c, "FontBoolOperator"));
  EXPECT_EQ(c->NullString(), "<empty>");
  EXPECT_FALSE(c->IsNullStringStored());
  c->SetNullString("(none)");
  EXPECT_TRUE(c->IsNullStringStored());
}

TEST_F(FilterControlWindowTest, SheetsInEachLookAndFeel) {
  const TcxLookAndFeelKind kinds[] = {lfStandard, lfFlat, lfUltraFlat, lfOffice11};
  form_->SetBounds(0, 0, 1270, 760);
  Pump();
  for (int k = 0; k < 4; ++k)
    for (int state = 0; state < 3; ++state) {
      auto* c = new TcxFilterControl(form_);
      c->SetParent(form_);
      c->SetBounds(5 + k * 315, 5 + state * 245, 310, 240);
      c->LookAndFeel()->SetKind(kinds[k]);
      c->SetLink(&link_);
      c->Criteria()->RemoveAllItems();
      FillCriteria(c->Criteria());
      c->BuildViewFromCriteria();
      if (state == 1) c->SetEnabled(false);
      if (state == 2) c->SetShowLevelLines(false);
      if (state == 0 && k == 0) {
        c->SetFocus();
        c->FocusRow(c->RowList()[3]);
        c->SetFocusedPart(fchValue, 1);
      }
      Pump();
    }
  Pump();
  S().Snapshot(form_->Handle(), "filter_control.png", true);
}

}  // namespace
