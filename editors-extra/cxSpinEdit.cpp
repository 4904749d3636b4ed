// The spin edit: its settings, the stepping engine, the button layout and arrows, the edit's
// keys, wheel and auto-repeat, the filter helper and the unit start.
#include "editors-extra/cxSpinEdit.h"

#include <cfloat>
#include <cmath>

#include "data/cxVariants.h"
#include "editors/cxEditPaintUtils.h"
#include "foundation/cxGeometry.h"
#include "foundation/cxControls.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "rtl/TypInfo.h"
#include "user/WinUser.h"

namespace {
using TSpinProps = TcxCustomSpinEditProperties;
TSpinProps* Mutable(const TSpinProps* p) { return const_cast<TSpinProps*>(p); }

PTypeInfo ValueTypeType() {
  static PTypeInfo t = EnumTypeInfo("TcxSpinEditValueType", {"vtInt", "vtFloat"});
  return t;
}
PTypeInfo PositionType() {
  static PTypeInfo t = EnumTypeInfo("TcxSpinEditButtonsPosition", {"sbpHorzLeftRight", "sbpHorzRight", "sbpVert"});
  return t;
}

const TcxResourceStringRec scxSEditRepositorySpinItem = {"scxSEditRepositorySpinItem",
                                                         "SpinEdit|Represents a spin editor"};
const TcxResourceStringRec cxSEditNumericValueConvertError = {"cxSEditNumericValueConvertError",
                                                              "Invalid numeric value"};
const TcxResourceStringRec cxSEditValueOutOfBounds = {"cxSEditValueOutOfBounds", "Value out of bounds"};

constexpr Cardinal kRepeatDelay = 400;
constexpr Cardinal kRepeatInterval = 100;

Int64 RoundToInt64(long double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9223372036854775807.0L) return std::numeric_limits<Int64>::max();
  if (v <= -9223372036854775808.0L) return std::numeric_limits<Int64>::min();
  return Int64(std::llroundl(v));
}

bool IsNumberValue(const Variant& v) { return IsNumericOrBcdVariant(v) || IsDateTimeVariant(v); }

// Integer stepping on 128-bit arithmetic: no room or cycle computation overflows.
bool AddStepInt(Int64 cur, Int64 delta, Int64 min, Int64 max, Integer mode, Int64& out) {
  using I = __int128;
  const I below = I(min) - cur, above = I(max) - cur;
  if (below <= delta && delta <= above) {
    out = Int64(I(cur) + delta);
    return true;
  }
  if (mode == cxSpinNoWrap) return false;
  if (mode == cxSpinClamp) {
    out = delta > above ? max : min;
    return true;
  }
  const I span = I(max) - min + 1;
  if (delta > above) {
    out = Int64(I(min) + (I(delta) - above - 1) % span);
  } else {
    out = Int64(I(max) - (below - delta - 1) % span);
  }
  return true;
}

bool AddStepFloat(long double cur, long double delta, long double min, long double max, Integer mode,
                  double& out) {
  const long double below = min - cur, above = max - cur;
  if (below <= delta && delta <= above) {
    const long double v = cur + delta;
    if (std::fabs(v) > DBL_MAX) return false;
    out = double(v);
    return true;
  }
  if (mode == cxSpinNoWrap) return false;
  if (mode == cxSpinClamp) {
    out = double(delta > above ? max : min);
    return true;
  }
  const long double span = max - min + 1;
  long double v;
  if (delta > above) {
    v = min + std::fmod(delta - above - 1, span);
  } else {
    v = max - std::fmod(below - delta - 1, span);
  }
  // A fractional step can land in the gap of the cycle between Max and Min + span.
  if (v > max || v < min) v = delta > above ? min : max;
  out = double(v);
  return true;
}
}  // namespace

// ---- the stepping engine --------------------------------------------------------------------------

Variant SpinValueOfType(const Variant& v, TcxSpinEditValueType value_type) {
  if (IsVariantNullOrEmptyText(v)) return value_type == vtInt ? Variant(Int64(0)) : Variant(0.0);
  if (value_type == vtFloat) return Variant(v.AsDouble());
  if (VarIsFloat(v) || IsDateTimeVariant(v) || v.IsString()) return Variant(RoundToInt64(v.AsDouble()));
  return Variant(v.AsInt64());
}

bool SpinAddStep(const Variant& cur, const Variant& delta, const Variant& min, const Variant& max,
                 Integer wrap_mode, TcxSpinEditValueType value_type, Variant& result) {
  if (value_type == vtInt) {
    Int64 out = 0;
    const Int64 d = SpinValueOfType(delta, vtInt).AsInt64();
    if (!AddStepInt(SpinValueOfType(cur, vtInt).AsInt64(), d, SpinValueOfType(min, vtInt).AsInt64(),
                    SpinValueOfType(max, vtInt).AsInt64(), wrap_mode, out))
      return false;
    result = Variant(out);
    return true;
  }
  double out = 0;
  if (!AddStepFloat(cur.AsDouble(), delta.AsDouble(), min.AsDouble(), max.AsDouble(), wrap_mode, out))
    return false;
  result = Variant(out);
  return true;
}

bool SpinNextValue(const Variant& cur, const Variant& delta, bool increasing, const Variant& min,
                   const Variant& max, Integer wrap_mode, TcxSpinEditValueType value_type,
                   Variant& result) {
  const Variant c = SpinValueOfType(cur, value_type);
  const Variant lo = SpinValueOfType(min, value_type), hi = SpinValueOfType(max, value_type);
  Variant v;
  if (VarCompareValue(c, lo) == vrLessThan) {
    if (increasing) v = lo;
    else if (wrap_mode == cxSpinCircular) v = hi;
    else return false;
  } else if (VarCompareValue(c, hi) == vrGreaterThan) {
    if (!increasing) v = hi;
    else if (wrap_mode == cxSpinCircular) v = lo;
    else return false;
  } else if (!SpinAddStep(c, delta, lo, hi, wrap_mode, value_type, v)) {
    return false;
  }
  result = SpinValueOfType(v, value_type);
  return true;
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxSpinEditButtons) {
  p.Enum("Position", &TcxSpinEditButtons::Position, &TcxSpinEditButtons::SetPosition, PositionType())
      .Default(sbpVert);
  p.Bool("ShowFastButtons", &TcxSpinEditButtons::ShowFastButtons, &TcxSpinEditButtons::SetShowFastButtons)
      .Default(false);
}
KORVAN_IMPLEMENT_CLASS(TcxSpinEditPropertiesValues)
KORVAN_IMPLEMENT_CLASS(TcxCustomSpinEditProperties)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxSpinEditProperties) {
  p.Object("Alignment", [](const TSpinProps* o) { return Mutable(o)->Alignment(); }, &TSpinProps::SetAlignment,
           TcxEditAlignment::StaticClass())
      .Stored(&TSpinProps::IsAlignmentStored);
  p.Bool("AutoSelect", &TSpinProps::AutoSelect, &TSpinProps::SetAutoSelect).Default(true);
  p.Bool("BeepOnError", &TSpinProps::BeepOnError, &TSpinProps::SetBeepOnError).Default(false);
  p.Bool("CanEdit", &TSpinProps::CanEdit, &TSpinProps::SetCanEdit).Default(true);
  p.Bool("Circular", &TSpinProps::Circular, &TSpinProps::SetCircular).Default(false);
  p.Int("ClearKey", &TSpinProps::ClearKey, &TSpinProps::SetClearKey).Default(0);
  p.Bool("ExceptionOnInvalidInput", &TSpinProps::ExceptionOnInvalidInput,
         &TSpinProps::SetExceptionOnInvalidInput)
      .Default(false);
  p.Bool("HideSelection", &TSpinProps::HideSelection, &TSpinProps::SetHideSelection).Default(true);
  p.Bool("ImmediatePost", &TSpinProps::ImmediatePost, &TSpinProps::SetImmediatePost).Default(false);
  p.Float("Increment", &TSpinProps::Increment, &TSpinProps::SetIncrement).Default(1.0);
  p.Float("LargeIncrement", &TSpinProps::LargeIncrement, &TSpinProps::SetLargeIncrement).Default(10.0);
  p.Float("MaxValue", [](const TSpinProps* o) { return Mutable(o)->MaxValue(); }, &TSpinProps::SetMaxValue)
      .Default(0.0);
  p.Float("MinValue", [](const TSpinProps* o) { return Mutable(o)->MinValue(); }, &TSpinProps::SetMinValue)
      .Default(0.0);
  p.Bool("ReadOnly", [](const TSpinProps* o) { return Mutable(o)->ReadOnly(); }, &TSpinProps::SetReadOnly)
      .NoDefault()
      .Stored(&TSpinProps::IsReadOnlyStored);
  p.Object("SpinButtons", &TSpinProps::SpinButtons, &TSpinProps::SetSpinButtons,
           TcxSpinEditButtons::StaticClass());
  p.Bool("UseCtrlIncrement", &TSpinProps::UseCtrlIncrement, &TSpinProps::SetUseCtrlIncrement).Default(false);
  p.Bool("ValidateOnEnter", &TSpinProps::ValidateOnEnter, &TSpinProps::SetValidateOnEnter).Default(true);
  p.Enum("ValueType", [](const TSpinProps* o) { return Mutable(o)->ValueType(); }, &TSpinProps::SetValueType,
         ValueTypeType())
      .NoDefault()
      .Stored(&TSpinProps::IsValueTypeStored);
}
KORVAN_IMPLEMENT_CLASS(TcxSpinEditViewData)
KORVAN_IMPLEMENT_CLASS(TcxSpinEditViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomSpinEdit)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxSpinEdit) {
  p.Object("Properties", &TcxSpinEdit::Properties, &TcxSpinEdit::SetProperties,
           TcxSpinEditProperties::StaticClass());
}
KORVAN_IMPLEMENT_CLASS(TcxFilterSpinEditHelper)

// ---- buttons and assigned values --------------------------------------------------------------------

void TcxSpinEditButtons::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxSpinEditButtons*>(source);
  if (!s) {
    TPersistent::Assign(source);
    return;
  }
  if (owner_) owner_->BeginUpdate();
  position_ = s->position_;
  showFastButtons_ = s->showFastButtons_;
  if (owner_) {
    owner_->NotifyPropertiesChanged();
    owner_->EndUpdate(true);
  }
}

void TcxSpinEditButtons::SetPosition(TcxSpinEditButtonsPosition v) {
  if (position_ == v) return;
  position_ = v;
  if (owner_) owner_->NotifyPropertiesChanged();
}

void TcxSpinEditButtons::SetShowFastButtons(bool v) {
  if (showFastButtons_ == v) return;
  showFastButtons_ = v;
  if (owner_) owner_->NotifyPropertiesChanged();
}

void TcxSpinEditPropertiesValues::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxSpinEditPropertiesValues*>(source)) valueType_ = s->valueType_;
  TcxTextEditPropertiesValues::Assign(source);
}

void TcxSpinEditPropertiesValues::RestoreDefaults() {
  valueType_ = false;
  TcxTextEditPropertiesValues::RestoreDefaults();
}

void TcxSpinEditPropertiesValues::SetValueType(bool v) {
  if (valueType_ == v) return;
  valueType_ = v;
  NotifyPropertiesChanged();
}

// ---- properties ------------------------------------------------------------------------------------

TcxCustomSpinEditProperties::TcxCustomSpinEditProperties(TPersistent* owner)
    : TcxCustomMaskEditProperties(owner), spinButtons_(std::make_unique<TcxSpinEditButtons>(this)) {
  SetAssignedValuesObject(new TcxSpinEditPropertiesValues(this));
  BeginUpdate();
  Buttons()->AddButton();
  Buttons()->AddButton();
  EndUpdate(false);
}

TcxCustomSpinEditProperties::~TcxCustomSpinEditProperties() = default;

void TcxCustomSpinEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomSpinEditProperties*>(source);
  if (!s) {
    TcxCustomMaskEditProperties::Assign(source);
    return;
  }
  ChangeInUpdate([&] {
    AttachDefaultValuesProvider(s->DefaultValuesProvider());
    AssignedValues()->SetValueType(false);
    if (s->AssignedValues()->ValueType()) SetValueType(s->ValueType());
    TcxCustomMaskEditProperties::Assign(source);
    canEdit_ = s->canEdit_;
    circular_ = s->circular_;
    exceptionOnInvalidInput_ = s->exceptionOnInvalidInput_;
    increment_ = s->increment_;
    largeIncrement_ = s->largeIncrement_;
    spinButtons_->Assign(s->spinButtons_.get());
    useCtrlIncrement_ = s->useCtrlIncrement_;
    OnGetValue = s->OnGetValue;
    NotifyPropertiesChanged();
  });
}

void TcxCustomSpinEditProperties::NotifyPropertiesChanged() {
  // Two buttons, or four with the fast buttons.
  if (spinButtons_ && !inChanged_) {
    inChanged_ = true;
    BeginUpdate();
    if (spinButtons_->ShowFastButtons()) {
      while (Buttons()->Count() < 4) Buttons()->AddButton();
    } else {
      while (Buttons()->Count() > 2) delete Buttons()->GetButton(Buttons()->Count() - 1);
    }
    EndUpdate(false);
    inChanged_ = false;
  }
  TcxCustomMaskEditProperties::NotifyPropertiesChanged();
}

TClass TcxCustomSpinEditProperties::GetContainerClass() { return TcxSpinEdit::StaticClass(); }

TcxSpinEditValueType TcxCustomSpinEditProperties::ValueType() {
  if (AssignedValues()->ValueType()) return valueType_;
  if (IcxEditDefaultValuesProvider* provider = DefaultValuesProvider())
    return provider->DefaultIsFloatValue() ? vtFloat : vtInt;
  return vtFloat;
}

void TcxCustomSpinEditProperties::SetValueType(TcxSpinEditValueType v) {
  if (AssignedValues()->ValueType() && valueType_ == v) return;
  valueType_ = v;
  AssignedValues()->SetValueType(true);
  NotifyPropertiesChanged();
}

Integer TcxCustomSpinEditProperties::WrapMode() {
  if (circular_) return cxSpinCircular;
  return ClampsOutOfRange() ? cxSpinClamp : cxSpinNoWrap;
}

Variant TcxCustomSpinEditProperties::MaxValueAsValue() {
  if (HasValueBound(1)) {
    if (ValueType() == vtInt) return Variant(RoundToInt64(MaxValue()));
    return Variant(MaxValue());
  }
  return ValueType() == vtInt ? Variant(std::numeric_limits<Int64>::max()) : Variant(DBL_MAX);
}

Variant TcxCustomSpinEditProperties::MinValueAsValue() {
  if (HasValueBound(0)) {
    if (ValueType() == vtInt) return Variant(RoundToInt64(MinValue()));
    return Variant(MinValue());
  }
  return ValueType() == vtInt ? Variant(std::numeric_limits<Int64>::min()) : Variant(-DBL_MAX);
}

Variant TcxCustomSpinEditProperties::ConvertValue(const Variant& v) { return SpinValueOfType(v, ValueType()); }

Variant TcxCustomSpinEditProperties::ClampValue(const Variant& v) {
  if (!IsNumberValue(v)) return v;
  if (HasValueBound(0) && v.AsDouble() < MinValue()) return Variant(MinValue());
  if (HasValueBound(1) && v.AsDouble() > MaxValue()) return Variant(MaxValue());
  return v;
}

bool TcxCustomSpinEditProperties::TextToNumber(const String& text, Variant& v) {
  v = Null();
  const String s = Trim(text);
  if (ValueType() == vtInt) {
    Int64 n = 0;
    if (!TryStrToInt64(s, n)) return false;
    v = Variant(n);
    return true;
  }
  double d = 0;
  if (!TryStrToFloat(s, d) || !std::isfinite(d) || std::fabs(d) > DBL_MAX) return false;
  v = Variant(d);
  return true;
}

bool TcxCustomSpinEditProperties::AcceptDisplayText(Variant& display_value, bool edit_focused) {
  if (!TcxCustomMaskEditProperties::AcceptDisplayText(display_value, edit_focused)) return false;
  if (!ChecksTextRange()) return true;
  const String text = VarToStr(display_value);
  if (text.empty()) return true;
  Variant v;
  try {
    if (!TextToNumber(text, v)) return false;
  } catch (...) {
    return false;
  }
  if (VarCompareValue(v, MinValueAsValue()) == vrLessThan || VarCompareValue(v, MaxValueAsValue()) == vrGreaterThan)
    display_value = Variant(v.AsString());
  return true;
}

bool TcxCustomSpinEditProperties::IsEditValueValid(Variant& edit_value, bool) {
  try {
    // A number is taken as it is: its 15-digit text could read back beyond the type's range.
    if (IsNumericOrBcdVariant(edit_value)) {
      if (ValueType() == vtFloat && !std::isfinite(edit_value.AsDouble())) return false;
    } else if (edit_value.IsString()) {
      Variant n;
      if (!TextToNumber(edit_value.AsString(), n)) return false;
      edit_value = n;
    } else if (!IsVariantNullOrEmptyText(edit_value) && !IsDateTimeVariant(edit_value)) {
      return false;
    }
    edit_value = ConvertValue(edit_value);
    return true;
  } catch (...) {
    return false;
  }
}

String TcxCustomSpinEditProperties::BlankValueDisplayText() {
  Variant display;
  PrepareDisplayValue(ConvertValue(ClampValue(Variant(0))), display, false);
  return VarToStr(display);
}

void TcxCustomSpinEditProperties::ValidateDisplayValue(Variant& display_value, String& error_text,
                                                       bool& error, IcxEditValidator* edit) {
  auto* spin = dynamic_cast<TcxCustomSpinEdit*>(edit);
  Variant v;
  if (spin && spin->Typed()) {
    error = !spin->TextToValue(VarToStr(display_value), false, error_text, v);
  } else if (spin) {
    v = spin->StoredValue();
  } else {
    String text = VarToStr(display_value);
    if (!text.empty() && !TextToNumber(text, v)) {
      error = true;
      if (exceptionOnInvalidInput_) error_text = LoadReplaceableResString(cxSEditNumericValueConvertError);
    }
  }
  if (!error) {
    if (IsVariantNullOrEmptyText(v)) v = ConvertValue(ClampValue(Variant(0)));
    v = ConvertValue(v);
    const bool below = VarCompareValue(v, MinValueAsValue()) == vrLessThan;
    const bool above = VarCompareValue(v, MaxValueAsValue()) == vrGreaterThan;
    if (!exceptionOnInvalidInput_) {
      if (below) v = MinValueAsValue();
      if (above) v = MaxValueAsValue();
    } else if (below || above) {
      error = true;
      error_text = LoadReplaceableResString(cxSEditValueOutOfBounds);
    }
    if (!error) {
      Variant text;
      PrepareDisplayValue(v, text, true);
      display_value = text;
    }
  }
  RunValidateEvents(display_value, error_text, error, edit);
}

TcxCustomEditViewData* TcxCustomSpinEditProperties::CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                                   bool hide_display_text) {
  auto* vd = new TcxSpinEditViewData(this, style, is_inplace);
  vd->HideDisplayText = hide_display_text;
  vd->InitFromProperties();
  return vd;
}

TcxCustomEditViewInfo* TcxCustomSpinEditProperties::CreateViewInfo() { return new TcxSpinEditViewInfo; }

// ---- view data and view info ----------------------------------------------------------------------------

bool TcxSpinEditViewData::IsButtonForcedPressed(TcxCustomEditViewInfo*, Integer index) {
  return PressedByKey == index + 1;
}

void TcxSpinEditViewData::CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p,
                                                   Integer button, TShiftState shift,
                                                   TcxCustomEditViewInfo* view_info, bool is_mouse_event) {
  layout_.clear();
  if (auto* vi = dynamic_cast<TcxSpinEditViewInfo*>(view_info)) {
    vi->ButtonsPosition = SpinProperties()->SpinButtons()->Position();
    vi->FastButtons = SpinProperties()->SpinButtons()->ShowFastButtons();
  }
  TcxCustomTextEditViewData::CalculateButtonsViewInfo(canvas, bounds, p, button, shift, view_info,
                                                      is_mouse_event);
}

// The whole layout is made on the first call (the last button): fast down, down, up, fast up
// from left to right by position; the text keeps what is left.
void TcxSpinEditViewData::CalculateButtonBounds(TcxCanvas* canvas, TcxCustomEditViewInfo* vi, Integer index,
                                                TRect& r) {
  const Integer count = Integer(vi->Buttons.size());
  if (layout_.empty()) {
    layout_.assign(size_t(count), TRect());
    const Integer w0 = std::max<Integer>(EditButtonWidth(canvas, vi->Buttons[size_t(index)].get()), 1);
    const TSize arrow = ArrowSizeFor(TSize(w0 + 2, r.Height() / 2 + 2), 0);
    if (auto* svi = dynamic_cast<TcxSpinEditViewInfo*>(vi)) svi->ArrowSize = arrow.cy;
    const Integer w = std::max<Integer>(4 * arrow.cy - 3, 1);
    const Integer fast = Integer(std::ceil(1.5 * w));
    const bool fast_shown = count >= 4;
    TRect area = r;
    auto take_right = [&](Integer width) {
      TRect b(area.Right - width, area.Top, area.Right, area.Bottom);
      area.Right -= width;
      return b;
    };
    auto take_left = [&](Integer width) {
      TRect b(area.Left, area.Top, area.Left + width, area.Bottom);
      area.Left += width;
      return b;
    };
    switch (SpinProperties()->SpinButtons()->Position()) {
      case sbpHorzLeftRight:
        if (fast_shown) layout_[2] = take_left(fast);
        layout_[0] = take_left(w);
        if (fast_shown) layout_[3] = take_right(fast);
        layout_[1] = take_right(w);
        break;
      case sbpHorzRight:
        if (fast_shown) layout_[3] = take_right(fast);
        layout_[1] = take_right(w);
        layout_[0] = take_right(w);
        if (fast_shown) layout_[2] = take_right(fast);
        break;
      case sbpVert: {
        if (fast_shown) layout_[3] = take_right(fast);
        const TRect column = take_right(w0);
        const Integer mid = column.Top + column.Height() / 2;
        layout_[1] = TRect(column.Left, column.Top, column.Right, mid);
        layout_[0] = TRect(column.Left, mid, column.Right, column.Bottom);
        if (fast_shown) layout_[2] = take_right(fast);
        break;
      }
    }
    r = area.Width() > 0 ? area : TRect(area.Left, area.Top, area.Left, area.Bottom);
  }
  TcxEditButtonViewInfo* bvi = vi->Buttons[size_t(index)].get();
  const TRect b = bvi->Index < count ? layout_[size_t(bvi->Index)] : TRect();
  bvi->Bounds = b;
  TRect visible;
  IntersectRectsOrEmpty(visible, b, Bounds);
  bvi->VisibleBounds = visible;
  bvi->LeftAlignment = SpinProperties()->SpinButtons()->Position() == sbpHorzLeftRight &&
                       (bvi->Index == cxSpinDown || bvi->Index == cxSpinFastDown);
}

void TcxSpinEditViewData::CalculateButtonNativeInfo(TcxEditButtonViewInfo* b) {
  b->NativePart = 0;
  b->NativeState = 0;
  b->PartiallyTransparent = false;
  HTHEME theme = b->NativeStyle ? OpenThemeCached(tcSpin) : 0;
  if (!theme) return;
  // Up 1 and down 2 for the vertical pair; the horizontal arrows up 3 and down 4; the fast
  // buttons take the horizontal parts.
  const bool vertical = SpinProperties()->SpinButtons()->Position() == sbpVert;
  switch (b->Index) {
    case cxSpinUp: b->NativePart = vertical ? 1 : 3; break;
    case cxSpinDown: b->NativePart = vertical ? 2 : 4; break;
    case cxSpinFastDown: b->NativePart = 4; break;
    default: b->NativePart = 3; break;
  }
  switch (b->State) {
    case ebsDisabled: b->NativeState = 4; break;
    case ebsPressed: b->NativeState = 3; break;
    case ebsSelected: b->NativeState = 2; break;
    default: b->NativeState = 1; break;
  }
  b->PartiallyTransparent = UxIsThemeBackgroundPartiallyTransparent(theme, b->NativePart, b->NativeState);
}

namespace {
// The border kinds of a spin button, by its place in the group (down, up, fast down, fast up).
Integer HotFlatBorderKind(TcxSpinEditButtonsPosition position, bool fast, Integer kind) {
  static const Integer with_fast[3][4] = {{1, 3, 0, 2}, {2, 2, 3, 2}, {5, 4, 3, 2}};
  static const Integer without[3][2] = {{1, 3}, {3, 2}, {7, 6}};
  const Integer row = position == sbpHorzLeftRight ? 0 : position == sbpHorzRight ? 1 : 2;
  return fast ? with_fast[row][kind & 3] : without[row][kind & 1];
}

Integer UltraFlatBorderKind(TcxSpinEditButtonsPosition position, bool fast, Integer kind) {
  const bool vertical = position == sbpVert;
  switch (kind) {
    case cxSpinDown:
      if (vertical) return fast ? 4 : 6;
      return position == sbpHorzLeftRight && !fast ? 0 : 1;
    case cxSpinUp:
      if (vertical) return fast ? 3 : 5;
      return fast ? 1 : 2;
    case cxSpinFastDown: return position == sbpHorzLeftRight ? 0 : 1;
    default: return 2;
  }
}
}  // namespace

void TcxSpinEditViewInfo::DrawButtonBorder(TcxCanvas* canvas, Integer index, TRect& fill_rect, TRect& content_rect,
                                           TColor& text_color, TColor& background_color) {
  TcxEditButtonViewInfo* b = Buttons[size_t(index)].get();
  const bool own_style = b->Style == btsHotFlat || b->Style == btsUltraFlat || b->Style == btsOffice11;
  if (b->NativeStyle && b->NativePart != 0) {
    // The theme fills the whole button; the arrow is drawn over it.
    TRect content = b->Bounds;
    if (DoDrawButtonBorder(canvas, index, b->Bounds, content)) {
      content_rect = content;
      fill_rect = TRect();
      return;
    }
    fill_rect = content_rect = b->Bounds;
    text_color = clBtnText;
    background_color = clBtnFace;
    return;
  }
  TRect content = b->Bounds;
  if (!own_style || DoDrawButtonBorder(canvas, index, b->Bounds, content)) {
    if (own_style) {
      content_rect = content;
      fill_rect = TRect();
      return;
    }
    TcxCustomTextEditViewInfo::DrawButtonBorder(canvas, index, fill_rect, content_rect, text_color, background_color);
    return;
  }
  fill_rect = b->Bounds;
  if (b->Style == btsHotFlat) {
    DrawHotFlatBorder(canvas, b, fill_rect, text_color, background_color);
    content_rect = fill_rect;
  } else {
    text_color = clBtnText;
    DrawUltraFlatBorder(canvas, b, fill_rect, background_color);
    content_rect = TRect(fill_rect.Left + 1, fill_rect.Top, fill_rect.Right - 1, fill_rect.Bottom);
  }
}

void TcxSpinEditViewInfo::DrawHotFlatBorder(TcxCanvas* canvas, TcxEditButtonViewInfo* b, TRect& r,
                                            TColor& text_color, TColor& background) {
  const bool pressed = b->State == ebsPressed, hot = b->State == ebsSelected;
  background = b->Transparent ? b->BackgroundColor : pressed ? clBtnText : hot ? clBtnShadow : clBtnFace;
  text_color = pressed ? clBtnHighlight : hot ? (b->Transparent ? clBtnShadow : clBtnHighlight) : clBtnText;
  Integer shadow = cxbsLeftSide | cxbsTopSide | cxbsRightSide | cxbsBottomSide;
  switch (HotFlatBorderKind(ButtonsPosition, FastButtons, b->Index)) {
    case 0: shadow = cxbsLeftSide | cxbsTopSide | cxbsBottomSide; break;
    case 2:
    case 4: shadow = cxbsTopSide | cxbsRightSide | cxbsBottomSide; break;
    case 5: shadow = cxbsRightSide | cxbsBottomSide; break;
    case 7: shadow = cxbsLeftSide | cxbsRightSide | cxbsBottomSide; break;
    default: break;  // 1, 3 and 6: a full frame
  }
  // Each side in its colour; every drawn side takes one pixel of the content.
  const Integer all = cxbsLeftSide | cxbsTopSide | cxbsRightSide | cxbsBottomSide;
  TRect outer = r;
  DrawBorderSides(canvas, outer, shadow, clBtnShadow);
  DrawBorderSides(canvas, outer, all & ~shadow, b->BackgroundColor);
  r = outer;
}

void TcxSpinEditViewInfo::DrawUltraFlatBorder(TcxCanvas* canvas, TcxEditButtonViewInfo* b, TRect& r,
                                              TColor& background) {
  const bool office = b->Style == btsOffice11;
  const bool pressed = b->State == ebsPressed, hot = b->State == ebsSelected;
  const TColor highlight = HighlightBorderColor(office);
  if (b->Transparent)
    background = b->BackgroundColor;
  else if (pressed || hot)
    background = UltraFlatButtonFaceColor(pressed, office);
  else if (office && b->State == ebsNormal)
    background = TcxOffice11LookAndFeelPainter::Class()->ButtonFaceColor(cxbsNormal);
  else
    background = clBtnFace;
  if (!(pressed || hot) || (b->InPlace && !(PaintOptions & 4))) {
    if (pressed || hot) FrameAndShrink(canvas, r, highlight);
    else if (!b->Transparent) FrameAndShrink(canvas, r, b->BackgroundColor);
    else r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    return;
  }
  const bool at_left_border = b->Bounds.Left == InteriorRect.Left;
  Integer sides = cxbsRightSide;
  switch (UltraFlatBorderKind(ButtonsPosition, FastButtons, b->Index)) {
    case 1: sides = at_left_border ? cxbsRightSide : cxbsLeftSide | cxbsRightSide; break;
    case 2: sides = cxbsLeftSide; break;
    case 3: sides = cxbsLeftSide | cxbsRightSide | cxbsBottomSide; break;
    case 4: sides = cxbsLeftSide | cxbsTopSide | cxbsRightSide; break;
    case 5: sides = cxbsBottomSide | (at_left_border ? 0 : cxbsLeftSide); break;
    case 6: sides = cxbsTopSide | (at_left_border ? 0 : cxbsLeftSide); break;
    default: break;  // 0: the right side
  }
  DrawBorderSides(canvas, r, sides, highlight);
}

void TcxSpinEditViewInfo::DrawNativeButtonBackground(TcxCanvas* canvas, TcxEditButtonViewInfo* b, const TRect& r) {
  UxDrawThemeBackground(OpenThemeCached(tcSpin), canvas->DeviceContext(), b->NativePart, b->NativeState, r, r);
}

void TcxSpinEditViewInfo::DrawEditor(TcxCanvas* canvas) {
  TcxCustomTextEditViewInfo::DrawEditor(canvas);
  // Natively painted pairs: a one-pixel line in the background colour between down and up.
  if (ButtonsPosition == sbpHorzLeftRight || Buttons.size() < 2) return;
  TcxEditButtonViewInfo* down = nullptr;
  TcxEditButtonViewInfo* up = nullptr;
  for (const auto& b : Buttons) {
    if (b->Index == cxSpinDown) down = b.get();
    if (b->Index == cxSpinUp) up = b.get();
  }
  if (!down || !up || !down->NativeStyle || down->NativePart == 0 || OnDrawButton) return;
  const TRect line = ButtonsPosition == sbpHorzRight
                         ? TRect(down->Bounds.Right - 1, down->Bounds.Top, down->Bounds.Right, down->Bounds.Bottom)
                         : TRect(up->Bounds.Left, up->Bounds.Bottom - 1, up->Bounds.Right, up->Bounds.Bottom);
  TRect clipped;
  IntersectRectsOrEmpty(clipped, line, InteriorRect);
  if (!clipped.IsEmpty()) FillRectWithColor(canvas, clipped, FillColor);
}

void TcxSpinEditViewInfo::DrawButtonSymbol(TcxCanvas* canvas, Integer index, const TRect& r, TColor text_color,
                                           TColor, bool pressed_shift) {
  TcxEditButtonViewInfo* b = Buttons[size_t(index)].get();
  const Integer kind = b->Index;
  const bool vertical_pair = ButtonsPosition == sbpVert && kind <= cxSpinUp;
  const Integer direction = vertical_pair ? (kind == cxSpinUp ? 0 : 1) : (IsIncreasingSpinKind(kind) ? 3 : 2);
  const bool twin = kind >= cxSpinFastDown;
  const Integer size = std::max<Integer>(ArrowSize > 0 ? ArrowSize : 3, 2);
  if (b->State == ebsDisabled) {
    DrawArrowTriangles(canvas, size, ShiftedRect(r, 1, 1), direction, twin, false, clBtnHighlight);
    DrawArrowTriangles(canvas, size, r, direction, twin, false, clBtnShadow);
  } else {
    DrawArrowTriangles(canvas, size, r, direction, twin, pressed_shift, text_color);
  }
}

// ---- the edit -------------------------------------------------------------------------------------------

TcxCustomSpinEdit::TcxCustomSpinEdit(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomMaskEdit(owner, in_place, properties_class) {
  storedValue_ = SpinValueOfType(Variant(0), SpinProperties()->ValueType());
  WriteEditValue(Variant(0));
}

TcxCustomSpinEdit::~TcxCustomSpinEdit() {
  delete repeatTimer_;
  repeatTimer_ = nullptr;
}

Variant TcxCustomSpinEdit::GetIncrement(Integer kind) {
  TcxCustomSpinEditProperties* p = SpinProperties();
  const double step = kind >= cxSpinFastDown ? p->LargeIncrement() : p->Increment();
  Variant v = p->ValueType() == vtInt ? Variant(RoundToInt64(step)) : Variant(step);
  if (!IsIncreasingSpinKind(kind)) v = p->ValueType() == vtInt ? Variant(-v.AsInt64()) : Variant(-v.AsDouble());
  return v;
}

Variant TcxCustomSpinEdit::GetValue() {
  TcxCustomSpinEditProperties* p = SpinProperties();
  Variant v;
  const Variant zero = p->ClampValue(Variant(0));
  if (Focused()) {
    if (typed_) {
      DisplayToEditValue(CurrentDisplayText(), v, true);
    } else {
      v = storedValue_;
    }
    if (!IsNumberValue(v)) v = zero;
  } else {
    const Variant ev = ReadEditValue();
    if (IsNumberValue(ev)) {
      v = ev;
    } else if (ev.IsString() && !VarToStr(ev).empty()) {
      if (!p->TextToNumber(VarToStr(ev), v)) v = zero;
    } else {
      v = zero;
    }
  }
  return p->ConvertValue(v);
}

String TcxCustomSpinEdit::ValueToDisplayText(const Variant& v) {
  Variant display;
  SpinProperties()->PrepareDisplayValue(v, display, Focused());
  return VarToStr(display);
}

void TcxCustomSpinEdit::SetValue(const Variant& v) {
  if (!IsNumberValue(v)) return;
  Variant value = v;
  if (SpinProperties()->IsEditValueValid(value, Focused())) WriteEditValue(value);
}

void TcxCustomSpinEdit::StoreValue(const Variant& v) { storedValue_ = SpinProperties()->ConvertValue(v); }

bool TcxCustomSpinEdit::NextValue(Integer kind, Variant& v) {
  TcxCustomSpinEditProperties* p = SpinProperties();
  return SpinNextValue(GetValue(), GetIncrement(kind), IsIncreasingSpinKind(kind), p->MinValueAsValue(),
                       p->MaxValueAsValue(), p->WrapMode(), p->ValueType(), v);
}

bool TcxCustomSpinEdit::DoSpin(Integer kind) {
  TWeakRef<TcxCustomSpinEdit> self(this);
  LockChangeEvents(true);
  bool changed = false;
  try {
    Variant v;
    if (CanModify() && NextValue(kind, v)) {
      const String text0 = VarToStr(CurrentDisplayText());
      const String text = ValueToDisplayText(v);
      const Integer sel_start = SelStart(), sel_length = SelLength();
      StoreValue(v);
      spinning_ = true;
      SetValidatedDisplayValue(Variant(text));
      spinning_ = false;
      typed_ = false;
      if (VarToStr(CurrentDisplayText()) != text0) {
        changed = true;
        SetChangedSinceEnter(true);
        ModifiedByUser();
        if (SpinProperties()->KeepsSelectionOnSpin()) {
          SelectRange(sel_start, sel_length);
        } else {
          SetSelStart(CharCount(VarToStr(CurrentDisplayText())));
        }
        if (GetEffectiveProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) {
          PostEditValue();
          SynchronizeDisplayValue();
        }
      }
    }
  } catch (...) {
    spinning_ = false;
    if (self) LockChangeEvents(false);
    throw;
  }
  if (self) LockChangeEvents(false);
  return changed;
}

bool TcxCustomSpinEdit::TextToValue(const String& text, bool raise_on_error, String& error_text, Variant& v) {
  TcxCustomSpinEditProperties* p = SpinProperties();
  if (text.empty()) {
    IcxEditDefaultValuesProvider* provider = p->DefaultValuesProvider();
    v = provider && provider->DefaultRequired() ? p->ConvertValue(p->ClampValue(Variant(0))) : Null();
    return true;
  }
  bool error = !p->TextToNumber(text, v);
  if (error) {
    error_text.clear();
    // The own properties' handler first, then the repository item's.
    auto* own = static_cast<TcxCustomSpinEditProperties*>(Properties());
    for (TcxCustomSpinEditProperties* q : {own, p == own ? nullptr : p}) {
      if (!q || !q->OnGetValue) continue;
      try {
        q->OnGetValue(this, text, v, error_text, error);
      } catch (Exception& e) {
        if (raise_on_error) throw;
        error_text = e.Message();
        return false;
      }
      if (!error) break;
    }
  }
  if (error) {
    if (error_text.empty()) error_text = LoadReplaceableResString(cxSEditNumericValueConvertError);
    if (!p->ExceptionOnInvalidInput()) error_text.clear();
    if (raise_on_error && p->ExceptionOnInvalidInput()) throw EcxEditError(error_text);
    v = storedValue_;
  }
  if (!v.IsNull()) v = p->ConvertValue(v);
  return !error;
}

void TcxCustomSpinEdit::DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool) {
  String error_text;
  TextToValue(VarToStr(display_value), true, error_text, edit_value);
}

void TcxCustomSpinEdit::SynchronizeDisplayValue() {
  Variant v = ReadEditValue();
  if (SpinProperties()->IsEditValueValid(v, Focused())) {
    StoreValue(v);
  } else {
    StoreValue(SpinProperties()->ClampValue(Variant(0)));
  }
  TcxCustomMaskEdit::SynchronizeDisplayValue();
}

void TcxCustomSpinEdit::UpdateEditValueFromDisplay() {
  TcxCustomMaskEdit::UpdateEditValueFromDisplay();
  StoreValue(ReadEditValue());
}

void TcxCustomSpinEdit::DataChanged() {
  typed_ = pendingTyped_;
  TcxCustomMaskEdit::DataChanged();
  pendingTyped_ = false;
}

void TcxCustomSpinEdit::WithPendingTyped(const std::function<void()>& action) {
  if (Focused() && !SpinProperties()->CanEdit()) return;
  pendingTyped_ = true;
  try {
    action();
  } catch (...) {
    pendingTyped_ = false;
    throw;
  }
  pendingTyped_ = false;
}

void TcxCustomSpinEdit::CutToClipboard() {
  WithPendingTyped([this] { TcxCustomMaskEdit::CutToClipboard(); });
}

void TcxCustomSpinEdit::PasteFromClipboard() {
  WithPendingTyped([this] { TcxCustomMaskEdit::PasteFromClipboard(); });
}

void TcxCustomSpinEdit::ClearSelectionText() {
  WithPendingTyped([this] { TcxCustomMaskEdit::ClearSelectionText(); });
}

bool TcxCustomSpinEdit::AcceptsChar(char32_t c) {
  TcxCustomSpinEditProperties* p = SpinProperties();
  const bool can_edit = p->CanEdit();
  if (!can_edit) return c < 32 && c != 8;
  auto* own = static_cast<TcxCustomSpinEditProperties*>(Properties());
  if (own->OnGetValue || p->OnGetValue) return true;
  if (c < 32) return true;
  if (c >= U'0' && c <= U'9') return true;
  if (c == U'+' || c == U'-' || c == U'e' || c == U'E') return true;
  if (p->ValueType() == vtFloat && c == char32_t(FormatSettings.DecimalSeparator)) return true;
  return p->IsExtraValidChar(c);
}

void TcxCustomSpinEdit::EnforceValueRange() {
  TcxCustomSpinEditProperties* p = SpinProperties();
  const Variant v = GetValue();
  if (VarCompareValue(v, p->MinValueAsValue()) == vrLessThan) {
    SetValue(p->MinValueAsValue());
  } else if (VarCompareValue(v, p->MaxValueAsValue()) == vrGreaterThan) {
    SetValue(p->MaxValueAsValue());
  }
}

void TcxCustomSpinEdit::PropertiesChanged(TcxCustomEditProperties* properties) {
  TcxCustomMaskEdit::PropertiesChanged(properties);
  if (ChangedSinceEnter() && !ComponentState().Contains(csLoading)) EnforceValueRange();
}

bool TcxCustomSpinEdit::IsStepKey(Word key, TShiftState shift, Integer& kind) {
  switch (key) {
    case VK_PRIOR: kind = cxSpinFastUp; break;
    case VK_UP: kind = cxSpinUp; break;
    case VK_DOWN: kind = cxSpinDown; break;
    case VK_NEXT: kind = cxSpinFastDown; break;
    default: return false;
  }
  return !SpinProperties()->UseCtrlIncrement() || shift.Contains(ssCtrl);
}

void TcxCustomSpinEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  pendingTyped_ = false;
  Integer kind = 0;
  if (IsStepKey(key, shift, kind)) {
    if (ChangedSinceEnter() || CanModify()) {
      pressedByKey_ = kind + 1;
      if (GetCapture() == Handle()) ReleaseCapture();
      UpdateViewInfoAtCursor();
      Invalidate();
      DoSpin(kind);
      key = 0;
    }
    return;
  }
  StopSpinning();
  if (key != VK_ESCAPE) pendingTyped_ = true;
  if (!SpinProperties()->CanEdit() && IsEditingKey(key, shift)) {
    FireTrailingKeyEvent(key, shift);
    key = 0;
    return;
  }
  TcxCustomMaskEdit::DoEditKeyDown(key, shift);
}

void TcxCustomSpinEdit::DoEditKeyPress(char32_t& key) {
  if (key == U'.' || key == U',') key = char32_t(FormatSettings.DecimalSeparator);
  if ((key >= 32 || key == 8) && !AcceptsChar(key)) {
    key = 0;
    MessageBeep(0);
    return;
  }
  if (key >= 32 || key == 8) pendingTyped_ = true;
  TcxCustomMaskEdit::DoEditKeyPress(key);
}

void TcxCustomSpinEdit::DoEditKeyUp(Word& key, TShiftState shift) {
  if (key == VK_PRIOR || key == VK_UP || key == VK_DOWN || key == VK_NEXT) StopSpinning();
  TcxCustomMaskEdit::DoEditKeyUp(key, shift);
}

void TcxCustomSpinEdit::DoButtonDown(Integer index) {
  TcxCustomMaskEdit::DoButtonDown(index);
  if (pressedByKey_ != 0) return;
  TWeakRef<TcxCustomSpinEdit> self(this);
  DoSpin(index);
  if (!self || GetEffectiveProperties()->ReadOnly() || !DataBinding()->HasDataAvailable()) return;
  if (!repeatTimer_) {
    repeatTimer_ = new TcxTimer(nullptr);
    repeatTimer_->SetOnTimer([this](TObject* sender) { RepeatTick(sender); });
  }
  repeatTimer_->SetInterval(kRepeatDelay);
  repeatTimer_->SetEnabled(true);
}

void TcxCustomSpinEdit::RepeatTick(TObject*) {
  if (repeatTimer_->Interval() != kRepeatInterval) repeatTimer_->SetInterval(kRepeatInterval);
  TcxCustomEditViewInfo* vi = GetEditViewInfo();
  if (vi && vi->PressedButton >= 0) DoSpin(vi->Buttons[size_t(vi->PressedButton)]->Index);
}

void TcxCustomSpinEdit::DoButtonUp(Integer index) {
  TcxCustomMaskEdit::DoButtonUp(index);
  StopSpinning();
}

void TcxCustomSpinEdit::StopSpinning() {
  const bool was_pressed = pressedByKey_ != 0;
  pressedByKey_ = 0;
  if (repeatTimer_) {
    // Freed later: a tick may be running this very call.
    repeatTimer_->SetEnabled(false);
  }
  if (was_pressed && HandleAllocated()) {
    UpdateViewInfoAtCursor();
    Invalidate();
  }
  if (GetCapture() == Handle() && PressedButton() < 0) ReleaseCapture();
}

void TcxCustomSpinEdit::FillViewInfoState(TcxCustomEditViewData* view_data) {
  TcxCustomMaskEdit::FillViewInfoState(view_data);
  if (auto* vd = dynamic_cast<TcxSpinEditViewData*>(view_data)) vd->PressedByKey = pressedByKey_;
}

bool TcxCustomSpinEdit::DoMouseWheel(TShiftState shift, Integer delta, TPoint mouse_pos) {
  if (TcxCustomMaskEdit::DoMouseWheel(shift, delta, mouse_pos)) return true;
  if (!AcceptsMouseWheel(shift)) return false;
  DoSpin(delta < 0 ? cxSpinDown : cxSpinUp);
  return true;
}

void TcxCustomSpinEdit::DoExit() {
  StopSpinning();
  TcxCustomMaskEdit::DoExit();
}

void TcxCustomSpinEdit::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxCustomMaskEdit::MouseUp(button, shift, x, y);
  StopSpinning();
}

void TcxCustomSpinEdit::DblClick() {
  TcxCustomEditViewInfo* vi = GetEditViewInfo();
  TPoint cursor;
  QueryCursorPos(cursor);
  const TPoint p = ScreenToClient(cursor);
  if (!vi || !vi->IsPointOnButton(p)) StopSpinning();
  TcxCustomMaskEdit::DblClick();
}

// ---- filter helper and unit start ---------------------------------------------------------------------

TClass TcxFilterSpinEditHelper::ValueEditClass() const { return TcxSpinEdit::StaticClass(); }

void TcxFilterSpinEditHelper::SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass,
                                                 TcxFilterControlOperators& operators, bool extended) const {
  // A number: the base set without like and not like.
  TcxFilterMaskEditHelper::SupportedOperators(properties, nullptr, operators, extended);
}

void TcxFilterSpinEditHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                      TcxCustomEditProperties* source, bool keep_buttons) const {
  TcxFilterMaskEditHelper::PrepareFilterProperties(properties, source, keep_buttons);
  if (auto* spin = dynamic_cast<TcxCustomSpinEditProperties*>(properties)) spin->SetCanEdit(true);
}

void InitializeCxSpinEdit() {
  InitUnit(
      "cxSpinEdit",
      [] {
        InitializeCxMaskEdit();
        RegisterClass(TcxSpinEdit::StaticClass());
        RegisterClass(TcxSpinEditProperties::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxSpinEditProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositorySpinItem));
        FilterEditsController()->RegisterHelper(TcxSpinEditProperties::StaticClass(),
                                                TcxFilterSpinEditHelper::StaticClass());
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxSpinEditProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxSpinEditProperties::StaticClass(),
                                                  TcxFilterSpinEditHelper::StaticClass());
      });
}
