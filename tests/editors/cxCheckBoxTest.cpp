// The check box: states from values, refused value setters, the cell layout per alignment,
// PaintCheckMark per border style, state and glyph strip, the mark mask, the control's
// toggling by keys, mouse and accelerator, ImmediatePost, the action link, form text, and a
// PNG sheet.
#include <gtest/gtest.h>

#include "editors/cxCheckBox.h"
#include "editors/cxEditPaintUtils.h"
#include "gdi/Gdi.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/ActnList.h"
#include "vcl/ControlMessages.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

TEST(CheckBoxProperties, StatesFromValuesAndDisplayTexts) {
  InitializeCxCheckBox();
  TcxCheckBoxProperties p(nullptr);
  p.SetDisplayGrayed("?");
  struct Case {
    Variant value;
    TcxCheckBoxState state;
    String text;
  } cases[] = {
      {true, cbsChecked, "True"},   {false, cbsUnchecked, "False"}, {Null(), cbsGrayed, "?"},
      {5, cbsGrayed, "?"},          {"True", cbsChecked, "True"},   {Variant(), cbsGrayed, "?"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(p.StateOfValue(c.value), c.state) << VarToStr(c.value);
    EXPECT_EQ(p.ValueToDisplayText(c.value, true, true), c.text);
    Variant display;
    p.PrepareDisplayValue(c.value, display, false);
    EXPECT_EQ(display.AsInteger(), Integer(c.state));
  }
  EXPECT_TRUE(p.DisplayValuesEqual(5, Null()));
  EXPECT_FALSE(p.DisplayValuesEqual(true, false));
  Variant v = 5;
  EXPECT_FALSE(p.IsEditValueValid(v, false));
  v = Null();
  EXPECT_TRUE(p.IsEditValueValid(v, false));
  EXPECT_TRUE(p.IsActivationChar(U' '));
  EXPECT_FALSE(p.IsActivationChar(U'x'));
}

TEST(CheckBoxProperties, ValueSettersRefuseTakenValuesOutsideLoading) {
  TcxCheckBoxProperties p(nullptr);
  Integer notified = 0;
  p.PropertiesChangedHandler = [&](TObject*) { ++notified; };
  p.SetValueChecked(false);  // equals ValueUnchecked
  p.SetValueChecked(Null());
  p.SetValueUnchecked(true);
  EXPECT_TRUE(p.ValueChecked().AsBoolean());
  EXPECT_FALSE(p.ValueUnchecked().AsBoolean());
  EXPECT_EQ(notified, 0);
  p.SetValueChecked("Y");
  p.SetValueUnchecked("N");
  p.SetValueGrayed("?");
  EXPECT_EQ(notified, 3);
  EXPECT_EQ(p.StateOfValue("Y"), cbsChecked);
  EXPECT_EQ(p.StateOfValue(true), cbsGrayed);
  p.SetValueGrayed(Null());  // the grayed value may be Null
  EXPECT_TRUE(p.ValueGrayed().IsNull());
  // Assign copies the values only as a group of distinct, non-Null checked and unchecked.
  TcxCheckBoxProperties q(nullptr);
  q.Assign(&p);
  EXPECT_EQ(q.ValueChecked().AsString(), "Y");
  EXPECT_EQ(q.ValueUnchecked().AsString(), "N");
}

// ---- layout and painting ------------------------------------------------------------------------

class CheckBoxViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeCxCheckBox();
    bitmap_.SetPixelFormat(pf32bit);
    bitmap_.SetSize(640, 480);
    canvas_ = std::make_unique<TcxCanvas>(bitmap_.Canvas());
    FillRectWithColor(canvas_.get(), TRect(0, 0, 640, 480), clWhite);
  }
  std::unique_ptr<TcxCustomCheckBoxViewInfo> Calc(bool inplace, const TRect& bounds, const Variant& value,
                                                  const String& caption = "",
                                                  TPoint p = TPoint(-1, -1), Integer button = 0,
                                                  TShiftState shift = {}) {
    std::unique_ptr<TcxCustomEditViewData> data(props_.CreateViewData(&style_, inplace));
    std::unique_ptr<TcxCustomCheckBoxViewInfo> vi(
        static_cast<TcxCustomCheckBoxViewInfo*>(props_.CreateViewInfo()));
    vi->Text = caption;
    data->CalculateViewInfo(canvas_.get(), bounds, p, button, shift, vi.get(), false);
    if (!caption.empty()) vi->Text = caption;
    data->FillDisplayText(canvas_.get(), value, vi.get());
    return vi;
  }
  COLORREF Px(Integer x, Integer y) { return GetPixel(canvas_->DeviceContext(), x, y); }

  TBitmap bitmap_;
  std::unique_ptr<TcxCanvas> canvas_;
  TcxCheckBoxProperties props_{nullptr};
  TcxEditStyle style_{nullptr, false};
};

TEST_F(CheckBoxViewTest, SquareLayoutPerAlignmentStandaloneInPlaceAndNarrow) {
  const TSize check = GetEditCheckSize(canvas_.get(), false, nullptr, 0);
  ASSERT_EQ(check, TSize(13, 13));
  struct Case {
    bool inplace;
    TAlignment alignment;
    bool useAlignment;
    TRect bounds;
    TRect mark;
  } cases[] = {
      // In a cell without caption the square is centred whatever the alignment says.
      {true, taLeftJustify, false, TRect(0, 0, 60, 21), TRect(23, 4, 36, 17)},
      {true, taRightJustify, false, TRect(0, 0, 60, 21), TRect(23, 4, 36, 17)},
      {true, taLeftJustify, true, TRect(0, 0, 60, 21), TRect(2, 4, 15, 17)},
      {true, taRightJustify, true, TRect(0, 0, 60, 21), TRect(45, 4, 58, 17)},
      // Standalone: the transparent border's 2 pixels, then 2 more around the square.
      {false, taLeftJustify, false, TRect(0, 0, 100, 21), TRect(4, 4, 17, 17)},
      {false, taRightJustify, false, TRect(0, 0, 100, 21), TRect(83, 4, 96, 17)},
      {false, taCenter, false, TRect(0, 0, 100, 21), TRect(43, 4, 56, 17)},
      // Narrower than the square: the square keeps the whole width.
      {false, taLeftJustify, false, TRect(0, 0, 12, 21), TRect(4, 4, 8, 17)},
  };
  for (const auto& c : cases) {
    props_.SetAlignment(c.alignment);
    props_.SetUseAlignmentWhenInplace(c.useAlignment);
    auto vi = Calc(c.inplace, c.bounds, true);
    EXPECT_EQ(vi->MarkRect, c.mark) << c.inplace << " " << int(c.alignment);
    EXPECT_EQ(vi->CheckedState, cbsChecked);
  }
  // The caption sits 3 pixels beside the square; a narrow box has no text room.
  props_.SetAlignment(taLeftJustify);
  auto vi = Calc(false, TRect(0, 0, 100, 21), false, "Caption");
  EXPECT_EQ(vi->TextRect.Left, vi->MarkRect.Right + 3);
  props_.SetAlignment(taRightJustify);
  vi = Calc(false, TRect(0, 0, 100, 21), false, "Caption");
  EXPECT_EQ(vi->TextRect.Right, vi->MarkRect.Left - 3);
  vi = Calc(false, TRect(0, 0, 12, 21), false, "Caption");
  EXPECT_EQ(vi->TextRect.Width(), 0);
}

TEST_F(CheckBoxViewTest, MarkButtonStateFromTheMouse) {
  struct Case {
    TPoint p;
    Integer button;
    TShiftState shift;
    Byte state;
  } cases[] = {
      {TPoint(5, 5), 0, {}, 1},                    // hot
      {TPoint(5, 5), 1, {ssLeft}, 2},              // pressed with the left button
      {TPoint(5, 5), 2, {ssRight}, 0},             // another button
      {TPoint(500, 5), 0, {}, 0},                  // off the box
      {TPoint(5, 5), 0, {ssShift}, 0},             // a shift key held
  };
  for (const auto& c : cases)
    EXPECT_EQ(Calc(false, TRect(0, 0, 100, 21), false, "", c.p, c.button, c.shift)->MarkButtonState, c.state)
        << c.p.X << " " << c.button;
  // Hot tracking raises the square's border while the mouse is over a standalone box.
  struct Border {
    TcxEditBorderStyle style, hot;
  } borders[] = {{ebsNone, ebsFlat}, {ebsSingle, ebsThick}, {ebsFlat, ebs3D}, {ebs3D, ebs3D}, {ebsUltraFlat, ebsUltraFlat}};
  for (const auto& b : borders) {
    style_.SetBorderStyle(b.style);
    EXPECT_EQ(Calc(false, TRect(0, 0, 100, 21), false, "", TPoint(5, 5))->MarkBorderStyle, b.hot) << int(b.style);
    EXPECT_EQ(Calc(false, TRect(0, 0, 100, 21), false)->MarkBorderStyle, b.style);
    EXPECT_EQ(Calc(true, TRect(0, 0, 100, 21), false, "", TPoint(5, 5))->MarkBorderStyle, b.style);
  }
}

TEST_F(CheckBoxViewTest, PaintCheckMarkPerBorderStyleAndState) {
  const TRect r(10, 10, 23, 23);
  struct Case {
    TcxEditBorderStyle style;
    TcxCheckBoxState state;
    Byte button;
    COLORREF corner;  // the outer pixel of the border
  } cases[] = {
      {ebsSingle, cbsUnchecked, 0, ColorToRGB(clRed)},
      {ebsThick, cbsChecked, 0, ColorToRGB(clRed)},
      {ebsUltraFlat, cbsChecked, 0, ColorToRGB(clBtnShadow)},
      {ebsUltraFlat, cbsChecked, 1, ColorToRGB(clHighlight)},
      {ebsOffice11, cbsChecked, 0, ColorToRGB(clBtnText)},
  };
  for (const auto& c : cases) {
    FillRectWithColor(canvas_.get(), TRect(0, 0, 40, 40), clWhite);
    PaintCheckMark(canvas_.get(), r, c.state, c.button, nullptr, 0, c.style, false, clRed, clWindow, true,
                   false, false, nullptr, nssGrayedChecked);
    const Integer inset = GetEditCheckBorderOffset(c.style, false, false);
    EXPECT_EQ(Px(r.Left + inset, r.Top + inset + 3), c.corner) << int(c.style);
  }
  // Ultra-flat: the mark is stamped in clBtnText when checked, not at all when unchecked, and
  // the grayed state with nssUnchecked is drawn as unchecked.
  auto markPixels = [&](TcxCheckBoxState state, TcxCheckBoxNullValueShowingStyle null_style, Byte button) {
    FillRectWithColor(canvas_.get(), TRect(0, 0, 40, 40), clWhite);
    PaintCheckMark(canvas_.get(), r, state, button, nullptr, 0, ebsUltraFlat, false, clRed, clWindow, true, false,
                   false, nullptr, null_style);
    Integer text = 0, shadow = 0;
    for (Integer y = r.Top + 3; y < r.Bottom - 3; ++y)
      for (Integer x = r.Left + 3; x < r.Right - 3; ++x) {
        if (Px(x, y) == ColorToRGB(clBtnText)) ++text;
        if (Px(x, y) == ColorToRGB(clBtnShadow)) ++shadow;
      }
    return std::pair(text, shadow);
  };
  EXPECT_GT(markPixels(cbsChecked, nssGrayedChecked, 0).first, 5);
  EXPECT_EQ(markPixels(cbsUnchecked, nssGrayedChecked, 0).first, 0);
  EXPECT_GT(markPixels(cbsGrayed, nssGrayedChecked, 0).second, 5);
  EXPECT_EQ(markPixels(cbsGrayed, nssUnchecked, 0), std::pair(0, 0));
  EXPECT_GT(markPixels(cbsChecked, nssGrayedChecked, 3).second, 5);  // disabled
}

TEST_F(CheckBoxViewTest, GlyphStripFrameRule) {
  // A strip of 6 frames of 10 x 10, frame i filled with a colour of its own.
  const TColor colors[6] = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia};
  TBitmap strip;
  strip.SetPixelFormat(pf32bit);
  strip.SetSize(60, 10);
  for (Integer i = 0; i < 6; ++i) {
    strip.Canvas()->Brush()->SetColor(colors[i]);
    strip.Canvas()->FillRect(TRect(i * 10, 0, i * 10 + 10, 10));
  }
  // The bottom row is the transparent key (the bottom-left pixel of each copied frame).
  strip.Canvas()->Brush()->SetColor(clSilver);
  strip.Canvas()->FillRect(TRect(0, 9, 60, 10));
  EXPECT_EQ(GetEditCheckSize(canvas_.get(), false, &strip, 6), TSize(10, 10));
  EXPECT_EQ(GetEditCheckBorderOffset(ebsSingle, false, true), 0);
  struct Case {
    Integer count;
    TcxCheckBoxState state;
    Byte button;
    Integer frame;
  } cases[] = {
      {6, cbsUnchecked, 0, 0}, {6, cbsGrayed, 0, 2}, {6, cbsChecked, 2, 4},
      {4, cbsGrayed, 2, 2},  // index 5 is not below 4: 5 mod 3
      {4, cbsUnchecked, 2, 3},
  };
  for (const auto& c : cases) {
    FillRectWithColor(canvas_.get(), TRect(0, 0, 40, 40), clWhite);
    PaintCheckMark(canvas_.get(), TRect(5, 5, 15, 15), c.state, c.button, &strip, c.count,
                   ebsSingle, false, clBlack, clWhite, true, false, false, nullptr, nssGrayedChecked);
    // Frames are strip width div count wide; with count 4 a frame is 15 wide, so pick by
    // the colour at the frame's left edge.
    const Integer frameWidth = 60 / c.count;
    const TColor expected = colors[std::min<Integer>(5, (c.frame * frameWidth) / 10)];
    EXPECT_EQ(Px(6, 6), ColorToRGB(expected)) << c.count << " " << int(c.state) << " " << int(c.button);
  }
}

TEST_F(CheckBoxViewTest, MarkMaskIsTheDifferenceOfTheSystemCells) {
  TBitmap* mask = CheckMarkMask();
  ASSERT_EQ(mask->Width(), 13);
  Integer black = 0;
  for (Integer y = 0; y < 13; ++y)
    for (Integer x = 0; x < 13; ++x)
      if (mask->Canvas()->Pixels(x, y) == clBlack) ++black;
  EXPECT_GT(black, 5);
  EXPECT_LT(black, 60);
  // The frame is the same in both cells: the border ring is white.
  for (Integer x = 0; x < 13; ++x) EXPECT_EQ(mask->Canvas()->Pixels(x, 0), clWhite);
}

TEST_F(CheckBoxViewTest, Sheet) {
  const TcxEditBorderStyle styles[] = {ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11};
  const TcxCheckBoxState states[] = {cbsUnchecked, cbsChecked, cbsGrayed};
  Integer y = 8;
  for (auto style : styles) {
    Integer x = 8;
    for (auto state : states)
      for (Byte button = 0; button < 4; ++button) {
        PaintCheckMark(canvas_.get(), TRect(x, y, x + 13, y + 13), state, button, nullptr, 0, style, false, clNavy,
                       clWindow, true, false, false, nullptr, nssGrayedChecked);
        x += 20;
      }
    // The null styles of the grayed state.
    for (auto ns : {nssUnchecked, nssInactive, nssGrayedChecked}) {
      PaintCheckMark(canvas_.get(), TRect(x, y, x + 13, y + 13), cbsGrayed, 0, nullptr, 0, style, false, clNavy,
                     clWindow, true, false, false, nullptr, ns);
      x += 20;
    }
    y += 22;
  }
  // Cells and standalone boxes with captions per alignment.
  TFont font;
  font.SetName("Tahoma");
  style_.SetFont(&font);
  const TAlignment aligns[] = {taLeftJustify, taRightJustify, taCenter};
  for (Integer i = 0; i < 3; ++i) {
    props_.SetAlignment(aligns[i]);
    for (Integer s = 0; s < 3; ++s) {
      const TRect b(8 + s * 130, y, 8 + s * 130 + 120, y + 21);
      auto vi = Calc(false, b, s == 0 ? Variant(false) : s == 1 ? Variant(true) : Null(), "Check &box");
      vi->PaintTo(canvas_.get());
      const TRect cell(400 + s * 60, y, 400 + s * 60 + 50, y + 19);
      Calc(true, cell, s == 1)->PaintTo(canvas_.get());
    }
    y += 26;
  }
  bitmap_.SaveToPngFile(testing_support::SheetPath("editors_check_box.png"));
}

// ---- the control ------------------------------------------------------------------------------------------

class CheckBoxControlTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxCheckBox();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 400, 300);
    box_ = new TcxCheckBox(form_);
    box_->SetBounds(10, 10, 150, 21);
    box_->SetCaption("&Remember");
    box_->SetParent(form_);
    box_->OnClick = [this](TObject*) { log_.push_back("click " + IntToStr(Integer(box_->State()))); };
    other_ = new TEdit(form_);
    other_->SetBounds(10, 60, 120, 21);
    other_->SetParent(form_);
    form_->Show();
    other_->SetFocus();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  POINT MarkCentre() {
    const TRect m = box_->CheckViewInfo()->MarkRect;
    return POINT{(m.Left + m.Right) / 2, (m.Top + m.Bottom) / 2};
  }

  TForm* form_ = nullptr;
  TcxCheckBox* box_ = nullptr;
  TEdit* other_ = nullptr;
  std::vector<String> log_;
};

TEST_F(CheckBoxControlTest, ToggleCyclesWithAndWithoutAllowGrayed) {
  auto cycle = [&](bool allow) {
    box_->Properties()->SetAllowGrayed(allow);
    box_->SetState(cbsUnchecked);
    String seq;
    for (Integer i = 0; i < 3; ++i) {
      box_->Toggle();
      seq += IntToStr(Integer(box_->State()));
    }
    return seq;
  };
  EXPECT_EQ(cycle(true), "210");
  EXPECT_EQ(cycle(false), "101");
  box_->SetEditValue(Null());
  EXPECT_EQ(box_->State(), cbsGrayed);
  box_->Toggle();
  EXPECT_EQ(box_->State(), cbsChecked);
  // A state set by code clicks; an edit value assigned by code does not.
  log_.clear();
  box_->SetChecked(false);
  box_->SetEditValue(true);
  EXPECT_EQ(log_, (std::vector<String>{"click 0"}));
  // ClearValue unchecks.
  box_->ClearValue();
  EXPECT_FALSE(box_->Checked());
}

TEST_F(CheckBoxControlTest, SpaceShowsThePressedLookWhileHeldAndTogglesOnRelease) {
  box_->SetFocus();
  Pump();
  S().KeyDown(VK_SPACE);
  Pump();
  EXPECT_EQ(box_->CheckViewInfo()->MarkButtonState, 2);
  EXPECT_FALSE(box_->Checked());
  S().KeyUp(VK_SPACE);
  Pump();
  EXPECT_TRUE(box_->Checked());
  EXPECT_NE(box_->CheckViewInfo()->MarkButtonState, 2);
  EXPECT_EQ(log_, (std::vector<String>{"click 1"}));
}

TEST_F(CheckBoxControlTest, MouseReleaseOverTheBoxTogglesOffItDoesNot) {
  const POINT p = MarkCentre();
  S().MouseDown(box_->Handle(), p);
  Pump();
  EXPECT_EQ(box_->CheckViewInfo()->MarkButtonState, 2);
  S().MouseUp(box_->Handle(), p);
  Pump();
  EXPECT_TRUE(box_->Checked());
  EXPECT_EQ(log_.size(), 1u);  // one click: the platform adds none of its own
  // Pressed, moved off and released there: nothing.
  S().MouseDown(box_->Handle(), p);
  S().MoveMouse(box_->Handle(), POINT{300, 5});
  S().MouseUp(box_->Handle(), POINT{300, 5});
  Pump();
  EXPECT_TRUE(box_->Checked());
  // A double click is two toggles.
  S().DoubleClick(box_->Handle(), p);
  Pump();
  EXPECT_TRUE(box_->Checked());
  EXPECT_EQ(log_.size(), 3u);
}

TEST_F(CheckBoxControlTest, AcceleratorFocusesAndToggles) {
  EXPECT_EQ(SendMessage(box_->Handle(), CM_DIALOGCHAR, 'r', 0), 1);
  Pump();
  EXPECT_TRUE(box_->Focused());
  EXPECT_TRUE(box_->Checked());
  EXPECT_EQ(SendMessage(box_->Handle(), CM_DIALOGCHAR, 'x', 0), 0);
}

TEST_F(CheckBoxControlTest, ReadOnlyRefusesTheUserButNotCode) {
  box_->Properties()->SetReadOnly(true);
  box_->Toggle();
  EXPECT_FALSE(box_->Checked());
  box_->SetChecked(true);
  EXPECT_TRUE(box_->Checked());
}

TEST_F(CheckBoxControlTest, ImmediatePostPostsEachToggleInPlace) {
  auto* edit = static_cast<TcxCheckBox*>(TcxCustomEdit::CreateInplace(TcxCheckBox::StaticClass(), form_));
  edit->SetBounds(10, 100, 60, 19);
  edit->SetParent(form_);
  Integer posted = 0;
  edit->OnPostEditValue = [&](TObject*) { ++posted; };
  edit->Toggle();
  EXPECT_EQ(posted, 0);  // without ImmediatePost the host posts
  edit->Properties()->SetImmediatePost(true);
  edit->Toggle();
  EXPECT_EQ(posted, 1);
  EXPECT_TRUE(edit->Checked() == false);
}

TEST_F(CheckBoxControlTest, ActionLinkCarriesChecked) {
  auto* action = new TAction(form_);
  action->SetCaption("&Remember");
  action->SetChecked(true);
  box_->SetAction(action);
  EXPECT_TRUE(box_->Checked());
  EXPECT_TRUE(log_.empty());  // the action's state arrives without Click
  action->SetChecked(false);
  EXPECT_FALSE(box_->Checked());
  EXPECT_FALSE(box_->IsStateStored());
  // Every change of the action passes its Checked on, a grayed box included.
  box_->SetState(cbsGrayed);
  EXPECT_TRUE(box_->IsStateStored());
  action->SetChecked(true);
  EXPECT_EQ(box_->State(), cbsChecked);
  // Executing the box runs the action.
  Integer executed = 0;
  action->OnExecute = [&](TObject*) { ++executed; };
  box_->OnClick = nullptr;
  box_->Toggle();
  EXPECT_EQ(executed, 1);
  // A freed action is dropped.
  action->Free();
  EXPECT_EQ(box_->Action(), nullptr);
}

TEST_F(CheckBoxControlTest, ReadFromFormText) {
  auto* root = new TForm(Application);
  ReadComponentFromText(root,
                        "object Form2: TForm\n"
                        "  object Box: TcxCheckBox\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "    Properties.ValueChecked = 'Y'\n"
                        "    Properties.ValueUnchecked = 'N'\n"
                        "    Properties.Caption = 'From properties'\n"
                        "    Properties.AllowGrayed = True\n"
                        "    State = cbsChecked\n"
                        "  end\n"
                        "  object Plain: TcxCheckBox\n"
                        "    Caption = 'Plain'\n"
                        "  end\n"
                        "end\n");
  auto* box = dynamic_cast<TcxCheckBox*>(root->FindComponent("Box"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->State(), cbsChecked);
  EXPECT_EQ(box->EditValue().AsString(), "Y");
  EXPECT_EQ(box->Caption(), "From properties");
  EXPECT_TRUE(box->Properties()->AllowGrayed());
  auto* plain = dynamic_cast<TcxCheckBox*>(root->FindComponent("Plain"));
  EXPECT_EQ(plain->State(), cbsUnchecked);
  EXPECT_FALSE(plain->EditValue().AsBoolean());
  root->Free();
}

TEST_F(CheckBoxControlTest, InPlaceSpaceTogglesOnTheKeyPress) {
  auto* edit = static_cast<TcxCheckBox*>(TcxCustomEdit::CreateInplace(TcxCheckBox::StaticClass(), form_));
  edit->SetBounds(10, 100, 60, 19);
  edit->SetParent(form_);
  edit->SetFocus();
  Pump();
  char32_t key = U' ';
  edit->DoEditKeyPress(key);
  EXPECT_EQ(key, 0u);
  EXPECT_TRUE(edit->Checked());
}

}  // namespace

namespace {

// An action that acts on check boxes as its targets.
class TCheckAllAction : public TCustomAction {
 public:
  using TCustomAction::TCustomAction;
  bool HandlesTarget(TObject* target) override { return dynamic_cast<TcxCustomCheckBox*>(target) != nullptr; }
  void ExecuteTarget(TObject* target) override { static_cast<TcxCustomCheckBox*>(target)->SetChecked(true); }
};

TEST_F(CheckBoxControlTest, ActionsOfferedToTheFocusedEditor) {
  box_->SetFocus();
  Pump();
  TCheckAllAction action(nullptr);  // no handler: offered to the focused control
  EXPECT_TRUE(action.Execute());
  EXPECT_TRUE(box_->Checked());
  // An action the editor is no target of goes on to its data binding, which takes none.
  TAction other(nullptr);
  EXPECT_FALSE(box_->ExecuteAction(&other));
  EXPECT_FALSE(box_->UpdateAction(&other));
}

TEST_F(CheckBoxControlTest, AutoSizeHeightHoldsTheSquareAndTheCaption) {
  box_->SetAutoSize(true);
  std::unique_ptr<TcxCustomEditViewData> data(box_->Properties()->CreateViewData(
      dynamic_cast<TcxCustomEditStyle*>(box_->Style()), false));
  TSize size, min_size;
  std::unique_ptr<TcxCustomEditViewInfo> vi(box_->Properties()->CreateViewInfo());
  data->GetEditSize(SharedScreenCanvas(), false, {-1, 1, 150}, min_size, vi.get(), size);
  EXPECT_GE(size.cy, 13 + 4);
  EXPECT_GE(size.cx, 13);
  // In place the square plus a 2-pixel margin on each side.
  std::unique_ptr<TcxCustomEditViewData> cell(box_->Properties()->CreateViewData(
      dynamic_cast<TcxCustomEditStyle*>(box_->Style()), true));
  TSize cellSize;
  cell->GetEditSize(SharedScreenCanvas(), true, {-1, 1, -1}, min_size, vi.get(), cellSize);
  EXPECT_EQ(cellSize.cx, 13 + 4);
}

}  // namespace
