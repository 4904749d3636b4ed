// The spin edit: stepping per range, wrap mode, value type, increment and kind; text to value
// with and without ExceptionOnInvalidInput; validation; keys, wheel and auto-repeat on the
// manual clock; the button layout by position (sheet).
#include <gtest/gtest.h>

#include <cfloat>

#include "editors-extra/cxSpinEdit.h"
#include "editors/cxEditPaintUtils.h"
#include "foundation/dxUxTheme.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace {

class SpinEditTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxSpinEdit();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 420, 320);
    edit_ = new TcxSpinEdit(form_);
    edit_->SetBounds(10, 10, 120, 21);
    edit_->SetParent(form_);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  String Text() { return VarToStr(edit_->CurrentDisplayText()); }
  POINT ButtonCenter(Integer index) {
    TcxCustomEditViewInfo* vi = edit_->GetEditViewInfo();
    for (const auto& b : vi->Buttons)
      if (b->Index == index) {
        const TRect& r = b->Bounds;
        return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
      }
    ADD_FAILURE() << "no button " << index;
    return POINT{0, 0};
  }

  TForm* form_ = nullptr;
  TcxSpinEdit* edit_ = nullptr;
};

// The stepping engine through the edit (unfocused: the value is the edit value).
TEST_F(SpinEditTest, StepsPerRangeWrapModeValueTypeIncrementAndKind) {
  struct Case {
    double Min, Max;
    bool Circular;
    TcxSpinEditValueType Type;
    double Increment, LargeIncrement;
    Integer Kind;
    double Start;
    bool Steps;
    double Expected;
  };
  const double kBig = 9.2233720368547758e18;
  const Case cases[] = {
      // Circular 0..59.
      {0, 59, true, vtInt, 1, 10, cxSpinUp, 59, true, 0},
      {0, 59, true, vtInt, 1, 10, cxSpinFastUp, 58, true, 8},
      {0, 59, true, vtInt, 1, 10, cxSpinDown, 0, true, 59},
      {0, 59, true, vtInt, 1, 10, cxSpinFastDown, 5, true, 55},
      // An increment larger than the range still lands inside it (modulo Max - Min + 1).
      {0, 59, true, vtInt, 1, 200, cxSpinFastUp, 58, true, 18},
      {0, 59, true, vtInt, 1, 200, cxSpinFastDown, 5, true, 45},
      {0, 59, true, vtFloat, 1, 125, cxSpinFastUp, 59, true, 4},
      // Clamped 0..59.
      {0, 59, false, vtInt, 1, 10, cxSpinUp, 59, true, 59},
      {0, 59, false, vtInt, 1, 10, cxSpinFastUp, 58, true, 59},
      {0, 59, false, vtInt, 1, 10, cxSpinDown, 0, true, 0},
      {0, 59, false, vtFloat, 0.25, 10, cxSpinUp, 1.5, true, 1.75},
      // Below the range: up jumps to Min; down only when circular (to Max).
      {0, 59, false, vtInt, 1, 10, cxSpinUp, -5, true, 0},
      {0, 59, false, vtInt, 1, 10, cxSpinDown, -5, false, 0},
      {0, 59, true, vtInt, 1, 10, cxSpinDown, -5, true, 59},
      {0, 59, false, vtInt, 1, 10, cxSpinDown, 70, true, 59},
      {0, 59, false, vtInt, 1, 10, cxSpinUp, 70, false, 0},
      // vtInt rounds the increment: 0.6 steps by 1.
      {0, 0, false, vtInt, 0.6, 10, cxSpinUp, 5, true, 6},
      // No range: the type's extremes apply (clamped at the top, never overflowing).
      {0, 0, false, vtInt, 1, 10, cxSpinDown, -3, true, -4},
      {0, 0, false, vtInt, 1, 10, cxSpinFastUp, kBig, true, kBig},
      {0, 0, false, vtFloat, 1, 10, cxSpinFastUp, DBL_MAX, true, DBL_MAX},
      {0, 0, false, vtFloat, 1, 10, cxSpinFastDown, -DBL_MAX, true, -DBL_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Min << ".." << c.Max << " circ " << c.Circular << " type " << c.Type
                                    << " kind " << c.Kind << " from " << c.Start);
    TcxSpinEditProperties* p = edit_->Properties();
    p->ResetToDefaults();
    p->SetMinValue(c.Min);
    p->SetMaxValue(c.Max);
    p->SetCircular(c.Circular);
    p->SetValueType(c.Type);
    p->SetIncrement(c.Increment);
    p->SetLargeIncrement(c.LargeIncrement);
    const Int64 start_int = c.Start >= kBig ? std::numeric_limits<Int64>::max() : Int64(c.Start);
    edit_->SetEditValue(c.Type == vtInt ? Variant(start_int) : Variant(c.Start));
    Variant v;
    ASSERT_EQ(edit_->NextValue(c.Kind, v), c.Steps);
    if (!c.Steps) continue;
    EXPECT_EQ(v.VarType(), c.Type == vtInt ? varInt64 : varDouble);
    EXPECT_DOUBLE_EQ(v.AsDouble(), c.Expected);
  }
}

TEST(SpinEngine, IntegerCyclesAtTheTypeExtremesDoNotOverflow) {
  const Int64 lo = std::numeric_limits<Int64>::min(), hi = std::numeric_limits<Int64>::max();
  Variant v;
  ASSERT_TRUE(SpinAddStep(Variant(hi), Variant(Int64(1)), Variant(lo), Variant(hi), cxSpinCircular, vtInt, v));
  EXPECT_EQ(v.AsInt64(), lo);
  ASSERT_TRUE(SpinAddStep(Variant(lo), Variant(Int64(-3)), Variant(lo), Variant(hi), cxSpinCircular, vtInt, v));
  EXPECT_EQ(v.AsInt64(), hi - 2);
  EXPECT_FALSE(SpinAddStep(Variant(hi), Variant(Int64(1)), Variant(lo), Variant(hi), cxSpinNoWrap, vtInt, v));
}

TEST_F(SpinEditTest, TextToValueWithAndWithoutExceptionOnInvalidInput) {
  struct Case {
    const char* Text;
    bool ExceptionOnInvalid;
    bool Raise;
    bool Ok;
    const char* ErrorText;
    bool Throws;
  };
  const Case cases[] = {
      {"12", false, false, true, "", false},
      {"", false, false, true, "", false},
      {"abc", false, false, false, "", false},
      {"abc", false, true, false, "", false},
      {"abc", true, false, false, "Invalid numeric value", false},
      {"abc", true, true, false, "", true},
  };
  edit_->Properties()->SetValueType(vtInt);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Text << " " << c.ExceptionOnInvalid << " " << c.Raise);
    edit_->Properties()->SetExceptionOnInvalidInput(c.ExceptionOnInvalid);
    edit_->StoreValue(Variant(7));
    String error;
    Variant v;
    if (c.Throws) {
      EXPECT_THROW(edit_->TextToValue(c.Text, c.Raise, error, v), EcxEditError);
      continue;
    }
    EXPECT_EQ(edit_->TextToValue(c.Text, c.Raise, error, v), c.Ok);
    EXPECT_EQ(error, c.ErrorText);
    if (String(c.Text).empty()) EXPECT_TRUE(v.IsNull());
    else if (c.Ok) EXPECT_EQ(v.AsInt64(), 12);
    else EXPECT_EQ(v.AsInt64(), 7);  // the stored value stays
  }
  // A get-value handler may supply the number.
  edit_->Properties()->OnGetValue = [](TObject*, const String& text, Variant& value, String&, bool& error) {
    if (text == "ten") {
      value = Variant(10);
      error = false;
    }
  };
  String error;
  Variant v;
  EXPECT_TRUE(edit_->TextToValue("ten", false, error, v));
  EXPECT_EQ(v.AsInt64(), 10);
}

TEST_F(SpinEditTest, ValidationClampsOrReportsOutOfBounds) {
  TcxSpinEditProperties* p = edit_->Properties();
  p->SetValueType(vtInt);
  p->SetMinValue(1);
  p->SetMaxValue(9);
  edit_->SetFocus();
  Pump();
  S().PressKey(VK_END);
  S().TypeText("5");
  String error;
  bool failed = false;
  Variant display(String("42"));
  p->ValidateDisplayValue(display, error, failed, edit_);
  EXPECT_FALSE(failed);
  EXPECT_EQ(VarToStr(display), "9");
  p->SetExceptionOnInvalidInput(true);
  display = Variant(String("42"));
  p->ValidateDisplayValue(display, error, failed, edit_);
  EXPECT_TRUE(failed);
  EXPECT_EQ(error, "Value out of bounds");
}

TEST_F(SpinEditTest, KeysStepAndCanEditOnlyBlocksTyping) {
  TcxSpinEditProperties* p = edit_->Properties();
  p->SetValueType(vtInt);
  edit_->SetFocus();
  Pump();
  S().PressKey(VK_UP);
  S().PressKey(VK_UP);
  EXPECT_EQ(Text(), "2");
  S().PressKey(VK_PRIOR);
  EXPECT_EQ(Text(), "12");
  S().PressKey(VK_NEXT);
  S().PressKey(VK_DOWN);
  EXPECT_EQ(Text(), "1");
  // UseCtrlIncrement: Up alone moves the caret, Ctrl+Up steps.
  p->SetUseCtrlIncrement(true);
  S().PressKey(VK_UP);
  EXPECT_EQ(Text(), "1");
  S().PressKey(VK_UP, false, true);
  EXPECT_EQ(Text(), "2");
  // Typed letters are refused; with CanEdit off digits are too, but stepping goes on.
  S().TypeText("x");
  EXPECT_EQ(Text(), "2");
  p->SetCanEdit(false);
  S().TypeText("7");
  EXPECT_EQ(Text(), "2");
  S().PressKey(VK_UP, false, true);
  EXPECT_EQ(Text(), "3");
  S().Wheel(edit_->Handle(), POINT{20, 10}, 120);
  EXPECT_EQ(Text(), "4");
  S().Wheel(edit_->Handle(), POINT{20, 10}, -120);
  EXPECT_EQ(Text(), "3");
}

TEST_F(SpinEditTest, HoldingAButtonRepeatsAfter400ThenEvery100Ms) {
  edit_->Properties()->SetValueType(vtInt);
  const POINT up = ButtonCenter(cxSpinUp);
  S().MouseDown(edit_->Handle(), up);
  EXPECT_EQ(VarToStr(edit_->CurrentDisplayText()), "1");
  Advance(399);
  EXPECT_EQ(Text(), "1");
  Advance(1);
  EXPECT_EQ(Text(), "2");
  Advance(100);
  EXPECT_EQ(Text(), "3");
  Advance(100);
  EXPECT_EQ(Text(), "4");
  S().MouseUp(edit_->Handle(), up);
  Advance(500);
  EXPECT_EQ(Text(), "4");
  EXPECT_EQ(edit_->PressedByKey(), 0);
  // The down button of the vertical pair steps down.
  S().Click(edit_->Handle(), ButtonCenter(cxSpinDown));
  EXPECT_EQ(Text(), "3");
}

TEST_F(SpinEditTest, ButtonLayoutByPositionSheet) {
  struct Case {
    TcxSpinEditButtonsPosition Position;
    bool Fast;
  };
  const Case cases[] = {{sbpHorzLeftRight, false}, {sbpHorzRight, false}, {sbpVert, false},
                        {sbpHorzLeftRight, true},  {sbpHorzRight, true},  {sbpVert, true}};
  Integer y = 40;
  for (const Case& c : cases) {
    auto* e = new TcxSpinEdit(form_);
    e->SetBounds(10, y, 160, 21);
    e->Properties()->SpinButtons()->SetPosition(c.Position);
    e->Properties()->SpinButtons()->SetShowFastButtons(c.Fast);
    e->SetParent(form_);
    e->SetEditValue(Variant(y));
    Pump();
    TcxCustomEditViewInfo* vi = e->GetEditViewInfo();
    ASSERT_EQ(vi->Buttons.size(), c.Fast ? 4u : 2u);
    TRect b[4];
    for (const auto& bvi : vi->Buttons) b[bvi->Index] = bvi->Bounds;
    const TRect client = e->ClientRect();
    switch (c.Position) {
      case sbpHorzLeftRight:
        EXPECT_LT(b[cxSpinDown].Right, client.Width() / 2);
        EXPECT_GT(b[cxSpinUp].Left, client.Width() / 2);
        if (c.Fast) {
          EXPECT_LE(b[cxSpinFastDown].Right, b[cxSpinDown].Left);
          EXPECT_GE(b[cxSpinFastUp].Left, b[cxSpinUp].Right);
        }
        break;
      case sbpHorzRight:
        EXPECT_EQ(b[cxSpinDown].Right, b[cxSpinUp].Left);
        if (c.Fast) {
          EXPECT_EQ(b[cxSpinFastDown].Right, b[cxSpinDown].Left);
          EXPECT_EQ(b[cxSpinFastUp].Left, b[cxSpinUp].Right);
          EXPECT_EQ(b[cxSpinFastUp].Width(), (3 * b[cxSpinUp].Width() + 1) / 2);
        }
        break;
      case sbpVert:
        EXPECT_EQ(b[cxSpinUp].Left, b[cxSpinDown].Left);
        EXPECT_EQ(b[cxSpinUp].Bottom, b[cxSpinDown].Top);
        if (c.Fast) {
          EXPECT_EQ(b[cxSpinFastDown].Right, b[cxSpinUp].Left);
          EXPECT_EQ(b[cxSpinFastUp].Left, b[cxSpinUp].Right);
        }
        break;
    }
    y += 30;
  }
  Pump();
  S().Snapshot(form_->Handle(), "spinedit_buttons.png", true);
}

// The spin buttons' own borders: hot-flat sides by the button's place in the group, the
// ultra-flat and Office11 frames, and the spin theme's parts for the native look; a sheet of
// the three positions with fast buttons in each look.
TEST_F(SpinEditTest, ButtonBordersPerStyleAndNativeSpinParts) {
  auto button = [](TcxSpinEdit* e, Integer index) -> TcxEditButtonViewInfo* {
    for (const auto& b : e->GetEditViewInfo()->Buttons)
      if (b->Index == index) return b.get();
    return nullptr;
  };
  auto pixel = [](TcxSpinEdit* e, Integer x, Integer y) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(e->Width(), e->Height());
    TcxCanvas canvas(bitmap.Canvas());
    e->GetEditViewInfo()->PaintTo(&canvas);
    return GetPixel(canvas.DeviceContext(), x, y);
  };
  auto style = [](TcxSpinEdit* e) { return static_cast<TcxCustomEditStyle*>(static_cast<TcxContainer*>(e)->Style()); };
  auto make = [&](Integer y, TcxSpinEditButtonsPosition position, bool fast) {
    auto* e = new TcxSpinEdit(form_);
    e->SetBounds(10, y, 180, 21);
    e->Properties()->SpinButtons()->SetPosition(position);
    e->Properties()->SpinButtons()->SetShowFastButtons(fast);
    e->SetParent(form_);
    return e;
  };
  // Hot-flat, vertical pair without fast buttons: the up button framed in the shadow colour,
  // the down button open at the top (drawn in the editor's background).
  auto* e = make(40, sbpVert, false);
  style(e)->SetButtonStyle(btsHotFlat);
  Pump();
  e->RefreshStateAtCursor(false);
  const TRect up = button(e, cxSpinUp)->Bounds, down = button(e, cxSpinDown)->Bounds;
  const Integer mid_x = (up.Left + up.Right) / 2;
  EXPECT_EQ(pixel(e, mid_x, up.Top), ColorToRGB(clBtnShadow));
  EXPECT_EQ(pixel(e, mid_x, down.Top), ColorToRGB(button(e, cxSpinDown)->BackgroundColor));
  EXPECT_EQ(pixel(e, mid_x, down.Bottom - 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(pixel(e, down.Left, (down.Top + down.Bottom) / 2), ColorToRGB(clBtnShadow));
  // Ultra-flat: a normal button is framed in the editor's background around the button face.
  style(e)->SetButtonStyle(btsUltraFlat);
  e->RefreshStateAtCursor(false);
  EXPECT_EQ(pixel(e, up.Left, up.Top), ColorToRGB(button(e, cxSpinUp)->BackgroundColor));
  EXPECT_EQ(pixel(e, up.Left + 1, up.Top + 1), ColorToRGB(clBtnFace));
  // Native: the spin theme's parts (vertical up 1, down 2; horizontal up 3, down 4) by state.
  TdxScriptedThemeLibrary engine;
  InstallThemeLibrary(&engine);
  struct Case {
    TcxSpinEditButtonsPosition Position;
    Integer Up, Down;
  };
  for (const Case& c : {Case{sbpVert, 1, 2}, Case{sbpHorzRight, 3, 4}}) {
    auto* n = make(70, c.Position, true);
    n->Style()->LookAndFeel()->SetNativeStyle(true);
    Pump();
    n->RefreshStateAtCursor(false);
    EXPECT_EQ(button(n, cxSpinUp)->NativePart, c.Up);
    EXPECT_EQ(button(n, cxSpinDown)->NativePart, c.Down);
    EXPECT_EQ(button(n, cxSpinFastUp)->NativePart, 3);
    EXPECT_EQ(button(n, cxSpinUp)->NativeState, 1);
    const TRect b = button(n, cxSpinUp)->Bounds;
    EXPECT_EQ(pixel(n, b.Left + 2, b.Top + 2), TdxScriptedThemeLibrary::BackgroundColor("SPIN", c.Up, 1));
    n->Free();
  }
  InstallThemeLibrary(nullptr);
  e->Free();
  // The sheet: each look, the three positions with fast buttons.
  struct Look {
    TcxEditButtonStyle Style;
    const char* Name;
  };
  auto* sheet = new TForm(form_);
  Integer y = 10;
  for (const Look& look : {Look{bts3D, "3D"}, Look{btsFlat, "flat"}, Look{btsHotFlat, "hotflat"},
                           Look{btsUltraFlat, "ultraflat"}, Look{btsOffice11, "office11"}}) {
    for (TcxSpinEditButtonsPosition position : {sbpHorzLeftRight, sbpHorzRight, sbpVert}) {
      auto* s = make(y, position, true);
      s->SetParent(sheet);
      style(s)->SetButtonStyle(look.Style);
      s->SetEditValue(Variant(y));
      y += 24;
    }
    y += 4;
  }
  sheet->SetBounds(100, 100, 220, y + 40);
  sheet->Show();
  Pump();
  S().Snapshot(sheet->Handle(), "spinedit_button_styles.png", true);
}

TEST(SpinEditProperties, DefaultsAssignAndRegistration) {
  InitializeCxSpinEdit();
  TcxSpinEditProperties p(nullptr);
  EXPECT_EQ(p.Buttons()->Count(), 2);
  EXPECT_EQ(p.ValueType(), vtFloat);
  EXPECT_FALSE(p.IsValueTypeStored());
  EXPECT_EQ(p.WrapMode(), cxSpinClamp);
  p.SpinButtons()->SetShowFastButtons(true);
  EXPECT_EQ(p.Buttons()->Count(), 4);
  p.SetCircular(true);
  p.SetValueType(vtInt);
  TcxSpinEditProperties q(nullptr);
  q.Assign(&p);
  EXPECT_EQ(q.Buttons()->Count(), 4);
  EXPECT_EQ(q.WrapMode(), cxSpinCircular);
  EXPECT_TRUE(q.IsValueTypeStored());
  p.SpinButtons()->SetShowFastButtons(false);
  EXPECT_EQ(p.Buttons()->Count(), 2);
  EXPECT_EQ(EditPropertiesRegistry()->FindByClassName("TcxSpinEditProperties"),
            TcxSpinEditProperties::StaticClass());
  EXPECT_EQ(FilterEditsController()->LookupHelper(TcxSpinEditProperties::StaticClass()),
            TcxFilterSpinEditHelper::StaticClass());
  // A number has no like and not like, even over a text column.
  TcxFilterControlOperators ops;
  FilterEditHelper(TcxFilterSpinEditHelper::StaticClass())
      ->SupportedOperators(&p, TcxStringValueType::Class(), ops, true);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14}));
}

}  // namespace
