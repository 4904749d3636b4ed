// The button group and radio group: value and index mapping, column counts, the button
// layout, one child button per item through item changes, arrows across columns, Tab into
// the checked button, a read-only group, cells painted by the view info, auto size, a dialog
// read from form text; and the painted radio button's states, caption rectangles and menus.
#include <gtest/gtest.h>

#include "editors/cxRadioGroup.h"
#include "gdi/Gdi.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/ControlMessages.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"
#include "user/Windows.h"

namespace {

void AddItems(TcxCustomRadioGroupProperties* p, std::initializer_list<const char*> captions) {
  for (const char* c : captions) p->Items()->AddItem()->SetCaption(c);
}

TEST(RadioGroupProperties, ValueAndIndexMapping) {
  InitializeCxRadioGroup();
  TcxRadioGroupProperties p(nullptr);
  AddItems(&p, {"A", "B", "C", "D"});
  p.Items()->Item(2)->SetValue(7);
  p.Items()->Item(3)->SetValue(7);  // two items of one value: the first wins
  p.SetDefaultCaption("(none)");
  p.SetDefaultValue(-1);
  struct Case {
    Variant value;
    Integer index;
    String text;
  } cases[] = {
      {"B", 1, "B"}, {"b", -1, "(none)"}, {7, 2, "C"}, {"7", 2, "C"}, {Null(), -1, "(none)"}, {99, -1, "(none)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(p.IndexOfValue(c.value), c.index) << VarToStr(c.value);
    EXPECT_EQ(p.ValueToDisplayText(c.value, true, true), c.text);
  }
  EXPECT_EQ(p.ValueOfIndex(0).AsString(), "A");  // no value: the caption
  EXPECT_EQ(p.ValueOfIndex(2).AsInteger(), 7);
  EXPECT_EQ(p.ValueOfIndex(-1).AsInteger(), -1);  // DefaultValue
  EXPECT_TRUE(p.DisplayValuesEqual(7, "7"));
}

TEST(RadioGroupProperties, ColumnAndRowCountsOfBothKinds) {
  struct Case {
    Integer items, columns, buttonCols, radioCols, rows;
  } cases[] = {
      {4, 3, 2, 3, 2}, {7, 3, 3, 3, 3}, {0, 3, 0, 1, 0}, {2, 5, 2, 2, 1}, {5, 1, 1, 1, 5},
  };
  for (const auto& c : cases) {
    TcxRadioGroupProperties radio(nullptr);
    TcxCustomButtonGroupProperties group(nullptr);
    for (Integer i = 0; i < c.items; ++i) {
      radio.Items()->AddItem()->SetCaption("x");
      group.Items()->AddItem()->SetCaption("x");
    }
    radio.SetColumns(c.columns);
    group.SetColumns(c.columns);
    EXPECT_EQ(group.GetColumnCount(), c.buttonCols) << c.items << "/" << c.columns;
    EXPECT_EQ(radio.GetColumnCount(), c.radioCols) << c.items << "/" << c.columns;
    EXPECT_EQ(radio.RowCount(), c.rows);
    // Without items no division by a zero column count: no rows.
    if (c.items == 0) {
      EXPECT_EQ(group.RowCount(), 0);
    }
  }
  TcxRadioGroupProperties p(nullptr);
  p.SetColumns(0);
  EXPECT_EQ(p.Columns(), 1);
}

TEST(RadioGroupProperties, ItemChangesNotifyOnce) {
  TcxRadioGroupProperties p(nullptr);
  std::vector<String> log;
  p.PropertiesChangedHandler = [&](TObject*) {
    auto* items = p.Items();
    log.push_back(items->Changing() ? IntToStr(items->ChangeAction()) + ":" + IntToStr(items->ChangedItemIndex())
                                    : String("whole"));
  };
  AddItems(&p, {"A", "B"});
  p.Items()->Item(1)->SetCaption("b");
  p.Items()->Item(1)->SetCaption("b");  // no change
  p.Items()->Item(1)->SetTag(5);        // not reported
  p.Items()->Delete(0);
  EXPECT_EQ(log, (std::vector<String>{"0:0", "2:0", "0:1", "2:1", "2:1", "1:0"}));
}

// ---- layout and cells ----------------------------------------------------------------------------

class RadioGroupCellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeCxRadioGroup();
    bitmap_.SetPixelFormat(pf32bit);
    bitmap_.SetSize(520, 200);
    canvas_ = std::make_unique<TcxCanvas>(bitmap_.Canvas());
    canvas_->FillRectColor(TRect(0, 0, 520, 200), clWhite);
  }
  std::unique_ptr<TcxCustomRadioGroupViewInfo> Calc(const TRect& bounds, const Variant& value,
                                                    TPoint p = TPoint(-1, -1), TShiftState shift = {}) {
    std::unique_ptr<TcxCustomEditViewData> data(props_.CreateViewData(&style_, true));
    std::unique_ptr<TcxCustomRadioGroupViewInfo> vi(static_cast<TcxCustomRadioGroupViewInfo*>(props_.CreateViewInfo()));
    data->CalculateViewInfo(canvas_.get(), bounds, p, shift.Contains(ssLeft) ? 1 : 0, shift, vi.get(), false);
    data->FillDisplayText(canvas_.get(), value, vi.get());
    return vi;
  }
  TBitmap bitmap_;
  std::unique_ptr<TcxCanvas> canvas_;
  TcxRadioGroupProperties props_{nullptr};
  TcxEditStyle style_{nullptr, false};
};

TEST_F(RadioGroupCellTest, ButtonsFillColumnsTopToBottomAndShareTheHeight) {
  AddItems(&props_, {"a", "b", "c", "d", "e", "f", "g"});
  props_.SetColumns(3);
  auto vi = Calc(TRect(0, 0, 301, 100), "a");
  ASSERT_EQ(vi->Buttons.size(), 7u);
  // In place: no frame; 3 rows of 33 (100 mod 3 = 1: the first starts 0 lower).
  EXPECT_EQ(vi->GroupButton(0)->Bounds, TRect(1, 0, 100, 33));
  EXPECT_EQ(vi->GroupButton(2)->Bounds.Top, 66);
  EXPECT_EQ(vi->GroupButton(3)->Column, 1);
  EXPECT_EQ(vi->GroupButton(6)->Column, 2);
  EXPECT_EQ(vi->GroupButton(6)->Row, 0);
  EXPECT_EQ(Calc(TRect(0, 0, 301, 101), "a")->GroupButton(0)->Bounds.Top, 1);
  EXPECT_EQ(vi->ItemIndex, 0);
  // Hot and pressed from the mouse.
  const TPoint over(vi->GroupButton(4)->Bounds.Left + 3, vi->GroupButton(4)->Bounds.Top + 3);
  EXPECT_EQ(Calc(TRect(0, 0, 301, 100), "a", over)->HotButton, 4);
  EXPECT_EQ(Calc(TRect(0, 0, 301, 100), "a", over, {ssLeft})->PressedButton, 4);
}

TEST_F(RadioGroupCellTest, AutoSizeByCaptionsAndByWidth) {
  canvas_->ApplyFont(style_.Font());
  TSize empty;
  TSize min_size;
  std::unique_ptr<TcxCustomEditViewData> data(props_.CreateViewData(&style_, true));
  data->CalculateEditSizeForValue(canvas_.get(), {-1, 1, -1}, min_size, nullptr, empty);
  EXPECT_EQ(empty.cx, 0);
  EXPECT_GT(empty.cy, 0);
  AddItems(&props_, {"Short", "A much longer caption"});
  TSize size;
  data->CalculateEditSizeForValue(canvas_.get(), {-1, 1, -1}, min_size, nullptr, size);
  const Integer widest = canvas_->MeasureTextWidth("A much longer caption");
  EXPECT_GE(size.cx, widest + 13);
  EXPECT_EQ(size.cy % 2, 0);  // two rows of equal height
  props_.SetWordWrap(true);
  TSize wrapped;
  data.reset(props_.CreateViewData(&style_, true));
  data->PaintOptions |= 2;
  data->CalculateEditSizeForValue(canvas_.get(), {-1, 0, 60}, min_size, nullptr, wrapped);
  EXPECT_EQ(wrapped.cx, 60);
  EXPECT_GT(wrapped.cy, size.cy);
}

TEST_F(RadioGroupCellTest, CellSheet) {
  AddItems(&props_, {"One", "Two", "Three", "Four"});
  props_.SetColumns(2);
  Integer y = 4;
  for (TcxLookAndFeelKind kind : {lfStandard, lfFlat, lfUltraFlat, lfOffice11}) {
    style_.LookAndFeel()->SetKind(kind);
    Calc(Bounds(4, y, 240, 40), "Two")->PaintTo(canvas_.get());
    Calc(Bounds(260, y, 240, 40), "Four", TPoint(270, y + 5))->PaintTo(canvas_.get());
    y += 48;
  }
  bitmap_.SaveToPngFile(testing_support::SheetPath("editors_radio_group_cells.png"));
}

// ---- the control ----------------------------------------------------------------------------------

class RadioGroupControlTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxRadioGroup();
    form_ = new TForm(Application);
    form_->SetBounds(0, 0, 500, 400);
    before_ = new TEdit(form_);
    before_->SetBounds(10, 5, 100, 21);
    before_->SetParent(form_);
    group_ = new TcxRadioGroup(form_);
    group_->SetBounds(10, 40, 300, 120);
    group_->SetCaption("&Summary");
    group_->SetParent(form_);
    AddItems(group_->Properties(), {"Sum", "Count", "Min", "Max", "Average", "Variance", "Deviation"});
    group_->Properties()->SetColumns(3);
    group_->OnClick = [this](TObject*) { log_.push_back("click " + IntToStr(group_->ItemIndex())); };
    group_->Properties()->OnChange = [this](TObject*) { log_.push_back("change"); };
    form_->Show();
    Pump();
  }
  void TearDown() override {
    form_->Free();
    THeadlessFixture::TearDown();
  }
  TForm* form_ = nullptr;
  TEdit* before_ = nullptr;
  TcxRadioGroup* group_ = nullptr;
  std::vector<String> log_;
};

TEST_F(RadioGroupControlTest, OneChildButtonPerItemThroughItemChanges) {
  ASSERT_EQ(group_->ButtonCount(), 7);
  EXPECT_EQ(group_->Button(4)->Caption(), "Average");
  TcxRadioButton* third = group_->Button(3);
  group_->Properties()->Items()->Delete(2);
  ASSERT_EQ(group_->ButtonCount(), 6);
  EXPECT_EQ(group_->Button(2), third);  // exactly the button at the deleted index went
  group_->Properties()->Items()->AddItem()->SetCaption("Median");
  ASSERT_EQ(group_->ButtonCount(), 7);
  EXPECT_EQ(group_->Button(6)->Caption(), "Median");
  // Laid out by the view info: the first column 6 pixels in from the frame.
  const TRect b0 = group_->Button(0)->BoundsRect();
  EXPECT_EQ(b0, group_->ButtonsViewInfo()->Buttons[0]->Bounds);
  EXPECT_GT(group_->Button(3)->Left(), b0.Right - 1);
  group_->Properties()->Items()->Clear();
  EXPECT_EQ(group_->ButtonCount(), 0);
}

TEST_F(RadioGroupControlTest, ItemIndexClampedAndValueMapped) {
  group_->SetItemIndex(10);
  EXPECT_EQ(group_->ItemIndex(), 6);
  EXPECT_TRUE(group_->Button(6)->Checked());
  EXPECT_EQ(group_->EditValue().AsString(), "Deviation");
  group_->SetItemIndex(-5);
  EXPECT_EQ(group_->ItemIndex(), -1);
  EXPECT_TRUE(group_->EditValue().IsNull());  // DefaultValue
  group_->Properties()->SetDefaultValue("none");
  group_->SetEditValue("Min");
  EXPECT_EQ(group_->ItemIndex(), 2);
  group_->SetEditValue("min");
  EXPECT_EQ(group_->ItemIndex(), -1);
  group_->ClearValue();
  EXPECT_EQ(group_->EditValue().AsString(), "none");
}

TEST_F(RadioGroupControlTest, WindowlessGroupAnswersItsIndexFromTheValue) {
  auto* loose = new TcxRadioGroup(form_);  // no parent: no window, no buttons
  AddItems(loose->Properties(), {"x", "y", "z"});
  loose->SetItemIndex(2);
  EXPECT_EQ(loose->ButtonCount(), 0);
  EXPECT_EQ(loose->ItemIndex(), 2);
  EXPECT_EQ(loose->EditValue().AsString(), "z");
  loose->SetParent(form_);
  Pump();
  EXPECT_EQ(loose->ButtonCount(), 3);
  EXPECT_TRUE(loose->Button(2)->Checked());
}

TEST_F(RadioGroupControlTest, ClicksSelectAndArrowsMoveAcrossColumns) {
  const TRect b = group_->Button(1)->BoundsRect();
  S().Click(group_->Button(1)->Handle(), POINT{8, b.Height() / 2});
  Pump();
  EXPECT_EQ(group_->ItemIndex(), 1);
  EXPECT_TRUE(group_->Button(1)->Focused());
  // Rows 3: Right from 1 to 4, Down to 5, Left back to 2, Up to 1.
  struct Step {
    int vk;
    Integer index;
  } steps[] = {{VK_RIGHT, 4}, {VK_DOWN, 5}, {VK_LEFT, 2}, {VK_UP, 1}, {VK_UP, 0}, {VK_LEFT, 0}};
  for (const auto& s : steps) {
    S().PressKey(s.vk);
    Pump();
    EXPECT_EQ(group_->ItemIndex(), s.index) << s.vk;
  }
  // From item 6 (the last column holds one) Down does nothing; from 4 Right does nothing.
  group_->Button(6)->SetFocus();
  Pump();
  EXPECT_EQ(group_->ItemIndex(), 6);
  S().PressKey(VK_DOWN);
  Pump();
  EXPECT_EQ(group_->ItemIndex(), 6);
  group_->Button(4)->SetFocus();
  Pump();
  S().PressKey(VK_RIGHT);
  Pump();
  EXPECT_EQ(group_->ItemIndex(), 4);
}

TEST_F(RadioGroupControlTest, TabGoesIntoTheCheckedButton) {
  group_->SetItemIndex(3);
  before_->SetFocus();
  Pump();
  S().PressKey(VK_TAB);
  Pump();
  EXPECT_TRUE(group_->Button(3)->Focused());
  EXPECT_EQ(group_->ItemIndex(), 3);
  // The accelerator goes to the checked button too.
  before_->SetFocus();
  Pump();
  EXPECT_EQ(SendMessage(group_->Handle(), CM_DIALOGCHAR, 's', 0), 1);
  EXPECT_TRUE(group_->Button(3)->Focused());
}

TEST_F(RadioGroupControlTest, ReadOnlyGroupRefusesSpaceAndClicks) {
  group_->SetItemIndex(0);
  group_->Properties()->SetReadOnly(true);
  group_->Button(0)->SetFocus();
  Pump();
  S().Click(group_->Button(2)->Handle(), POINT{8, 8});
  Pump();
  EXPECT_EQ(group_->ItemIndex(), 0);
  S().PressKey(VK_SPACE);
  Pump();
  EXPECT_EQ(group_->ItemIndex(), 0);
  // Code still sets it.
  group_->SetItemIndex(2);
  EXPECT_EQ(group_->ItemIndex(), 2);
}

TEST_F(RadioGroupControlTest, ButtonMouseEventsReachTheGroupInItsCoordinates) {
  std::vector<TPoint> downs, ups;
  group_->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer x, Integer y) { downs.emplace_back(x, y); };
  group_->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer x, Integer y) { ups.emplace_back(x, y); };
  TcxRadioButton* b = group_->Button(4);
  S().Click(b->Handle(), POINT{7, 5});
  Pump();
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0], TPoint(b->Left() + 7, b->Top() + 5));
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(ups[0], TPoint(b->Left() + 7, b->Top() + 5));
}

TEST_F(RadioGroupControlTest, ChangeAndClickEvents) {
  group_->SetItemIndex(1);
  S().Click(group_->Button(2)->Handle(), POINT{8, 8});
  Pump();
  EXPECT_EQ(group_->ItemIndex(), 2);
  EXPECT_NE(std::find(log_.begin(), log_.end(), "click 2"), log_.end());
  EXPECT_NE(std::find(log_.begin(), log_.end(), "change"), log_.end());
  S().Snapshot(form_->Handle(), "editors_radio_group.png", true);
}

TEST_F(RadioGroupControlTest, SummaryDialogReadFromFormText) {
  auto* root = new TForm(Application);
  ReadComponentFromText(root,
                        "object SummaryForm: TForm\n"
                        "  object Kind: TcxRadioGroup\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "    Caption = 'Summary type'\n"
                        "    Properties.Columns = 2\n"
                        "    Properties.Items = <\n"
                        "      item\n"
                        "        Caption = 'Sum'\n"
                        "      end\n"
                        "      item\n"
                        "        Caption = 'Count'\n"
                        "        Value = 2\n"
                        "      end\n"
                        "      item\n"
                        "        Caption = 'Average'\n"
                        "      end>\n"
                        "    ItemIndex = 1\n"
                        "  end\n"
                        "  object Frame: TcxGroupBox\n"
                        "    Left = 8\n"
                        "    Top = 140\n"
                        "    Width = 300\n"
                        "    Height = 80\n"
                        "    Caption = '&Display format'\n"
                        "    Alignment = alTopCenter\n"
                        "    object FormatLabel: TLabel\n"
                        "      Left = 8\n"
                        "      Top = 24\n"
                        "      Caption = 'Format'\n"
                        "    end\n"
                        "    object FormatEdit: TEdit\n"
                        "      Left = 60\n"
                        "      Top = 22\n"
                        "      Width = 120\n"
                        "      Text = '#,##0.00'\n"
                        "    end\n"
                        "  end\n"
                        "end\n");
  root->SetBounds(0, 0, 400, 300);
  root->Show();
  Pump();
  auto* kind = dynamic_cast<TcxRadioGroup*>(root->FindComponent("Kind"));
  ASSERT_NE(kind, nullptr);
  EXPECT_EQ(kind->Properties()->Items()->Count(), 3);
  EXPECT_EQ(kind->ItemIndex(), 1);
  EXPECT_EQ(kind->EditValue().AsInteger(), 2);
  EXPECT_EQ(kind->ButtonCount(), 3);
  auto* frame = dynamic_cast<TcxGroupBox*>(root->FindComponent("Frame"));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->Alignment(), alTopCenter);
  // The label and the edit sit in the frame; the caption's accelerator focuses the edit.
  auto* edit = dynamic_cast<TEdit*>(root->FindComponent("FormatEdit"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->Parent(), frame);
  EXPECT_EQ(dynamic_cast<TLabel*>(root->FindComponent("FormatLabel"))->Parent(), frame);
  EXPECT_EQ(SendMessage(frame->Handle(), CM_DIALOGCHAR, 'd', 0), 1);
  Pump();
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->Text(), "#,##0.00");
  // A button taking the focus selects its item.
  kind->RadioButton(0)->SetFocus();
  Pump();
  EXPECT_EQ(kind->ItemIndex(), 0);
  root->Free();
}

// ---- the painted radio button ---------------------------------------------------------------------

class RadioButtonControlTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxRadioGroup();
    form_ = new TForm(Application);
    form_->SetBounds(0, 0, 300, 200);
    button_ = new TcxRadioButton(form_);
    button_->SetBounds(10, 10, 150, 21);
    button_->SetCaption("&Option");
    button_->SetParent(form_);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    form_->Free();
    THeadlessFixture::TearDown();
  }
  TForm* form_ = nullptr;
  TcxRadioButton* button_ = nullptr;
};

TEST_F(RadioButtonControlTest, StatesFromTheMouse) {
  EXPECT_EQ(button_->ButtonState(), cxrbsNormal);
  S().MoveMouse(button_->Handle(), POINT{5, 5});
  Pump();
  EXPECT_EQ(button_->ButtonState(), cxrbsHot);
  S().MouseDown(button_->Handle(), POINT{5, 5});
  Pump();
  EXPECT_EQ(button_->ButtonState(), cxrbsPressed);
  // Moving out while pressed shows hot until the mouse comes back.
  S().MoveMouse(button_->Handle(), POINT{200, 5});
  Pump();
  EXPECT_EQ(button_->ButtonState(), cxrbsHot);
  S().MoveMouse(button_->Handle(), POINT{5, 5});
  Pump();
  EXPECT_EQ(button_->ButtonState(), cxrbsPressed);
  S().MouseUp(button_->Handle(), POINT{5, 5});
  Pump();
  EXPECT_TRUE(button_->Checked());
  button_->SetEnabled(false);
  Pump();
  EXPECT_EQ(button_->ButtonState(), cxrbsDisabled);
}

TEST_F(RadioButtonControlTest, CaptionRectanglePerAlignmentAndWordWrap) {
  struct Case {
    TAlignment alignment;
    bool wrap;
    TRect adjusted;
  } cases[] = {
      {taLeftJustify, false, TRect(2, -1, 99, 20)},
      {taLeftJustify, true, TRect(5, -1, 100, 20)},
      {taRightJustify, false, TRect(2, -1, 94, 20)},
      {taRightJustify, true, TRect(5, -1, 98, 20)},
  };
  for (const auto& c : cases) {
    button_->SetAlignment(c.alignment);
    button_->SetWordWrap(c.wrap);
    TRect r(0, 0, 100, 20);
    button_->AdjustCaptionRect(r, false);
    EXPECT_EQ(r, c.adjusted) << int(c.alignment) << c.wrap;
  }
  // The glyph sits at the left for a caption on its right, at the right edge otherwise.
  button_->SetAlignment(taRightJustify);
  button_->Repaint();
  Pump();
  EXPECT_EQ(button_->ButtonRect().Left, 1);
  button_->SetAlignment(taLeftJustify);
  button_->Repaint();
  Pump();
  EXPECT_EQ(button_->ButtonRect().Right, 150);
}

TEST_F(RadioButtonControlTest, FocusFrameAroundTheCaptionOnlyWhenFocused) {
  // The pixels of the caption area that are not the button's colour: text, plus the dotted
  // frame when focused.
  auto inked = [&] {
    button_->Repaint();
    Pump();
    HDC dc = GetDC(button_->Handle());
    Integer n = 0;
    for (Integer y = 0; y < button_->Height(); ++y)
      for (Integer x = button_->ButtonRect().Right; x < button_->Width(); ++x)
        n += GetPixel(dc, x, y) != ColorToRGB(button_->Color());
    ReleaseDC(button_->Handle(), dc);
    return n;
  };
  const Integer plain = inked();
  button_->SetFocus();
  Pump();
  EXPECT_GT(inked(), plain + 20);
}

TEST_F(RadioButtonControlTest, PopupMenuKindsAndTheContextMenu) {
  auto* menu = new TPopupMenu(form_);
  auto* item = new TMenuItem(menu);
  item->SetCaption("Item");
  menu->Items()->Add(item);
  button_->SetCxPopupMenu(menu);
  EXPECT_EQ(button_->CxPopupMenu(), menu);
  button_->SetCxPopupMenu(form_);  // not a menu: refused
  EXPECT_EQ(button_->CxPopupMenu(), nullptr);
  button_->SetCxPopupMenu(menu);
  // The keyboard's context menu opens the menu at the button; Down and Enter choose the item.
  bool chosen = false;
  item->OnClick = [&](TObject*) { chosen = true; };
  S().Backend().OnIdle([] {
    InputKey(VK_DOWN, true);
    InputKey(VK_DOWN, false);
    InputKey(VK_RETURN, true);
    InputKey(VK_RETURN, false);
  });
  SendMessage(button_->Handle(), WM_CONTEXTMENU, WPARAM(button_->Handle()), MAKELPARAM(0xFFFF, 0xFFFF));
  Pump();
  EXPECT_TRUE(chosen);
  menu->Free();
  EXPECT_EQ(button_->CxPopupMenu(), nullptr);  // a freed menu is dropped
}

}  // namespace
