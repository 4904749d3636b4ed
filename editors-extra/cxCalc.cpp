// The calculator control: sizing and button layout, painting, mouse and keys, the engine and
// the clipboard; the popup calculator that shows its editor's text.
#include "editors-extra/cxCalc.h"

#include <cmath>

#include "data/cxVariants.h"
#include "editors-extra/cxExtEditUtils.h"
#include "editors/cxEditPaintUtils.h"
#include "foundation/cxClasses.h"
#include "foundation/cxGeometry.h"
#include "rtl/TypInfo.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "vcl/Clipbrd.h"
#include "vcl/Forms.h"

namespace {
const TcxResourceStringRec cxSEditError = {"cxSCalcError", "Error"};

struct TButtonInfo {
  const char* Caption;
  TColor Color;
};
// Captions and colours by kind (the decimal point's caption is the locale's separator).
const TButtonInfo kButtonInfo[CalcButtonCount] = {
    {"Back", clMaroon}, {"CE", clMaroon}, {"C", clMaroon},  {"MC", clRed},     {"MR", clRed},   {"MS", clRed},
    {"M+", clRed},      {"0", clBlue},    {"1", clBlue},    {"2", clBlue},     {"3", clBlue},   {"4", clBlue},
    {"5", clBlue},      {"6", clBlue},    {"7", clBlue},    {"8", clBlue},     {"9", clBlue},   {"+/-", clBlue},
    {".", clBlue},      {"/", clRed},     {"*", clRed},     {"-", clRed},      {"+", clRed},    {"sqrt", clNavy},
    {"%", clNavy},      {"1/x", clNavy},  {"=", clRed}};

// Row and column of the buttons below the top row.
struct TGridPos {
  TcxCalcButtonKind Kind;
  Integer Row, Col;
};
const TGridPos kGrid[] = {
    {ckMemoryClear, 1, 0}, {ckMemoryRecall, 2, 0}, {ckMemoryStore, 3, 0}, {ckMemoryAdd, 4, 0},
    {ckDigit0, 4, 1},      {ckDigit1, 3, 1},       {ckDigit2, 3, 2},      {ckDigit3, 3, 3},
    {ckDigit4, 2, 1},      {ckDigit5, 2, 2},       {ckDigit6, 2, 3},      {ckDigit7, 1, 1},
    {ckDigit8, 1, 2},      {ckDigit9, 1, 3},       {ckNegate, 4, 2},      {ckDecimalPoint, 4, 3},
    {ckDivide, 1, 4},      {ckMultiply, 2, 4},     {ckSubtract, 3, 4},    {ckAdd, 4, 4},
    {ckSquareRoot, 1, 5},  {ckPercent, 2, 5},      {ckReciprocal, 3, 5},  {ckEquals, 4, 5}};

// Nearest integer of a / b (b > 0), ties away from zero.
Integer RoundDiv(Integer a, Integer b) { return Integer(std::lround(double(a) / double(b))); }

bool IsOperatorKind(TcxCalcButtonKind k) { return k == ckDivide || k == ckMultiply || k == ckSubtract || k == ckAdd; }

String RemoveAll(const String& s, const String& what) {
  if (what.empty()) return s;
  return StringReplace(s, what, String(), TReplaceFlags{rfReplaceAll});
}
}  // namespace

String CalcErrorText() { return LoadReplaceableResString(cxSEditError); }

String CalcNumberText(long double value, Integer precision) {
  if (value == 0) value = 0;  // no "-0"
  return FloatToStrF(double(value), ffGeneral, std::max<Integer>(2, precision), 0);
}

KORVAN_IMPLEMENT_CLASS(TcxCustomCalculator)

TcxCustomCalculator::TcxCustomCalculator(TComponent* owner) : TcxControl(owner) {
  for (Integer i = 0; i < CalcButtonCount; ++i) {
    buttons_[size_t(i)].Kind = TcxCalcButtonKind(i);
    buttons_[size_t(i)].Caption = kButtonInfo[i].Caption;
    buttons_[size_t(i)].CaptionColor = kButtonInfo[i].Color;
  }
  SetColor(clBtnFace);
  SetParentColor(false);
  SetTabStop(true);
  ControlStyle().Include(csCaptureMouse);
  ControlStyle().Include(csOpaque);
  ControlStyle().Exclude(csDoubleClicks);
  SetWantedKeys(TcxWantedKeys{wkAll, wkArrows, wkChars, wkTab});
  resizing_ = true;
  SetBounds(Left(), Top(), 198, 131);
  resizing_ = false;
  LayoutButtons();
  ResetEngine();
}

TcxCustomLookAndFeelPainterClass TcxCustomCalculator::GetPainter() { return TcxStandardLookAndFeelPainter::Class(); }

void TcxCustomCalculator::HidePopup(Byte reason) {
  if (OnPopupHide) OnPopupHide(this, reason);
}

void TcxCustomCalculator::SetScaleFontWithSize(bool v) {
  if (scaleFontWithSize_ == v) return;
  scaleFontWithSize_ = v;
  Invalidate();
}

void TcxCustomCalculator::SetFocusFrameOnEquals(bool v) {
  if (focusFrameOnEquals_ == v) return;
  focusFrameOnEquals_ = v;
  RepaintButton(ckEquals);
}

// ---- sizing and layout ----------------------------------------------------------------------------------

void TcxCustomCalculator::ScaleToClient() {
  if (scaleFontWithSize_) {
    const TRect r = ClientRect();
    const Integer target = std::min<Integer>(r.Height(), RoundDiv(r.Width() * 131, 198));
    auto total = [](Integer h) { return 5 * h + 6 * RoundDiv(h * 3, 22); };
    Integer h = 22;
    Integer best = std::abs(total(h) - target);
    while (true) {
      const Integer d = std::abs(total(h + 1) - target);
      if (d >= best) break;
      best = d;
      ++h;
    }
    buttonHeight_ = h;
  } else {
    buttonHeight_ = 2 * MeasureTextHeightInFont(Font(), "Qq");
  }
  buttonWidth_ = RoundDiv(buttonHeight_ * 28, 22);
  gap_ = RoundDiv(buttonHeight_ * 3, 22);
  topButtonWidth_ = RoundDiv(buttonWidth_ * 17, 10);
  fontSize_ = RoundDiv(buttonHeight_ * 8, 22);
  LayoutButtons();
  ResetEngine();
}

void TcxCustomCalculator::LayoutButtons() {
  const Integer h = buttonHeight_, w = buttonWidth_, g = gap_;
  auto col_left = [&](Integer c) { return c == 0 ? g : g + (w + 2 * g + 4) + (c - 1) * (g + w); };
  for (const TGridPos& pos : kGrid) {
    const Integer top = g + pos.Row * (h + g), left = col_left(pos.Col);
    buttons_[pos.Kind].Bounds = TRect(left, top, left + w, top + h);
  }
  const Integer right = col_left(5) + w;
  buttons_[ckClearAll].Bounds = TRect(right - topButtonWidth_, g, right, g + h);
  const Integer ce_right = buttons_[ckClearAll].Bounds.Left - g;
  buttons_[ckClearEntry].Bounds = TRect(ce_right - topButtonWidth_, g, ce_right, g + h);
  const Integer back_right = buttons_[ckClearEntry].Bounds.Left - g;
  buttons_[ckBack].Bounds = TRect(back_right - topButtonWidth_, g, back_right, g + h);
  buttons_[ckDecimalPoint].Caption = String(1, FormatSettings.DecimalSeparator);
}

void TcxCustomCalculator::ResetEngine() {
  pending_ = ckEquals;
  status_ = csStart;
  memory_ = 0;
  UpdateMemoryButtons();
}

void TcxCustomCalculator::Resize() {
  TcxControl::Resize();
  if (resizing_) return;
  resizing_ = true;
  try {
    ScaleToClient();
    SetClientSize(TSize(TotalWidth(), TotalHeight()));
  } catch (...) {
    resizing_ = false;
    throw;
  }
  resizing_ = false;
  Invalidate();
}

TcxCalcButtonKind TcxCustomCalculator::ButtonAt(const TPoint& p) const {
  for (const TcxCalcButton& b : buttons_)
    if (b.Bounds.Contains(p)) return b.Kind;
  return ckNone;
}

// ---- painting ------------------------------------------------------------------------------------------

void TcxCustomCalculator::Paint() {
  TcxCanvas* canvas = Canvas();
  canvas->CurrentBrush()->SetStyle(bsSolid);
  canvas->FillRectColor(ClientRect(), Color());
  canvas->ApplyFont(Font());
  if (scaleFontWithSize_) {
    canvas->CurrentFont()->SetSize(fontSize_);
    canvas->CurrentFont()->SetStyle(fontSize_ >= 10 ? TFontStyles{fsBold} : TFontStyles{});
  }
  TcxCustomLookAndFeelPainterClass painter = GetPainter();
  const bool focused = Focused();
  for (const TcxCalcButton& b : buttons_) {
    if (!canvas->IsRectPartlyVisible(b.Bounds)) continue;
    TcxButtonState state = cxbsNormal;
    if (b.Grayed || !Enabled()) state = cxbsDisabled;
    else if (b.Down) state = cxbsPressed;
    else if (b.Kind == hotButton_ && b.Kind != mousePressed_) state = cxbsHot;
    else if (b.Kind == ckEquals && focused) state = cxbsDefault;
    painter->PaintButton(canvas, b.Bounds, String(), state);
    TRect text = b.Bounds;
    if (state == cxbsPressed) {
      const Integer shift = painter->ButtonPressedTextShift();
      text = ShiftedRect(text, shift, shift);
    }
    canvas->CurrentFont()->SetColor(b.CaptionColor);
    canvas->CurrentBrush()->SetStyle(bsClear);
    canvas->OutputText(b.Caption, text, ctfHCenter | ctfVCenter | ctfSingleLine | ctfShowPrefix,
                       state != cxbsDisabled);
    if (b.Kind == ckEquals && focusFrameOnEquals_ && focused) {
      canvas->DrawFocusFrame(GrowRect(b.Bounds, -3, -3));
    }
  }
  canvas->CurrentBrush()->SetStyle(bsSolid);
}

void TcxCustomCalculator::RepaintButton(TcxCalcButtonKind kind, bool at_once) {
  if (kind == ckNone || !HandleAllocated()) return;
  const TRect r = buttons_[kind].Bounds;
  InvalidateRect(Handle(), &r, FALSE);
  if (at_once) UpdateWindow(Handle());
}

void TcxCustomCalculator::NotifyFocusChanged() {
  TcxControl::NotifyFocusChanged();
  RepaintButton(ckEquals);
}

void TcxCustomCalculator::CMEnabledChanged(TMessage& m) {
  TcxControl::CMEnabledChanged(m);
  Invalidate();
}

void TcxCustomCalculator::CMFontChanged(TMessage& m) {
  TcxControl::CMFontChanged(m);
  if (!ComponentState().Contains(csLoading)) SetParentFont(false);
}

// ---- mouse -------------------------------------------------------------------------------------------------

bool TcxCustomCalculator::TracksHot() {
  return GetPainter()->ButtonHotTracks() && Enabled() && DragPhase() == dphNone;
}

void TcxCustomCalculator::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomCalculator> self(this);
  if (!InDesignMode() && !isPopup_) {
    TCustomForm* form = GetParentForm(this);
    if ((!form || CanFocus()) && !Focused()) SetFocus();
  }
  if (!self) return;
  TcxControl::MouseDown(button, shift, x, y);
  if (!self || button != mbLeft) return;
  const TcxCalcButtonKind k = ButtonAt(TPoint(x, y));
  if (k == ckNone || buttons_[k].Grayed) return;
  if (HandleAllocated()) SetCapture(Handle());
  tracking_ = true;
  mousePressed_ = k;
  buttons_[k].Down = true;
  RepaintButton(k);
}

void TcxCustomCalculator::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxControl::MouseMove(shift, x, y);
  const TPoint p(x, y);
  if (tracking_) {
    if (mousePressed_ == ckNone) return;
    TcxCalcButton& b = buttons_[mousePressed_];
    const bool down = b.Bounds.Contains(p);
    if (b.Down != down) {
      b.Down = down;
      RepaintButton(b.Kind);
    }
    return;
  }
  if (!TracksHot()) return;
  const TcxCalcButtonKind k = ButtonAt(p);
  if (k == hotButton_) return;
  const TcxCalcButtonKind old = hotButton_;
  hotButton_ = k;
  if (old != ckNone && !buttons_[old].Grayed) RepaintButton(old);
  if (k != ckNone && !buttons_[k].Grayed) RepaintButton(k);
}

void TcxCustomCalculator::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomCalculator> self(this);
  TcxControl::MouseUp(button, shift, x, y);
  if (!self) return;
  const TcxCalcButtonKind k = mousePressed_;
  const bool counted = k != ckNone && buttons_[k].Down;
  if (tracking_) {
    tracking_ = false;
    if (k != ckNone) {
      buttons_[k].Down = false;
      RepaintButton(k);
    }
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  }
  if (counted && button == mbLeft) ButtonClick(k);
  if (self) mousePressed_ = ckNone;
}

void TcxCustomCalculator::NotifyMouseLeave(TControl* control) {
  TcxControl::NotifyMouseLeave(control);
  if (!TracksHot() || hotButton_ == ckNone) return;
  const TcxCalcButtonKind old = hotButton_;
  hotButton_ = ckNone;
  RepaintButton(old);
}

// ---- keys --------------------------------------------------------------------------------------------------

TcxCalcButtonKind TcxCustomCalculator::KeyToButton(Word key, TShiftState shift) {
  const bool ctrl = shift.Contains(ssCtrl);
  switch (key) {
    case VK_RETURN: return ckEquals;
    case VK_ESCAPE: return ckClearAll;
    case VK_DELETE: return ckClearEntry;
    case VK_F9: return ckNegate;
    case 'C': return ctrl ? ckNone : ckClearAll;
    case 'R': return ctrl ? ckMemoryRecall : ckReciprocal;
    case 'L': return ctrl ? ckMemoryClear : ckNone;
    case 'M': return ctrl ? ckMemoryStore : ckNone;
    case 'P': return ctrl ? ckMemoryAdd : ckNone;
    default: return ckNone;
  }
}

TcxCalcButtonKind TcxCustomCalculator::CharToButton(char32_t c) {
  if (c >= U'0' && c <= U'9') return TcxCalcButtonKind(ckDigit0 + (c - U'0'));
  switch (c) {
    case U'+': return ckAdd;
    case U'-': return ckSubtract;
    case U'*': return ckMultiply;
    case U'/': return ckDivide;
    case U'%': return ckPercent;
    case U'=': return ckEquals;
    case U'@': return ckSquareRoot;
    case U'.':
    case U',': return ckDecimalPoint;
    case 8: return ckBack;
    default: return ckNone;
  }
}

void TcxCustomCalculator::PressKeyButton(TcxCalcButtonKind kind) {
  if (kind == ckNone || kind == keyPressed_) return;
  ReleaseKeyButton();
  keyPressed_ = kind;
  buttons_[kind].Down = true;
  RepaintButton(kind, true);
  if (kind != ckBack) ButtonClick(kind);
}

void TcxCustomCalculator::ReleaseKeyButton() {
  if (keyPressed_ == ckNone) return;
  const TcxCalcButtonKind old = keyPressed_;
  keyPressed_ = ckNone;
  buttons_[old].Down = false;
  RepaintButton(old, true);
}

void TcxCustomCalculator::KeyDown(Word& key, TShiftState shift) {
  TWeakRef<TcxCustomCalculator> self(this);
  TcxControl::KeyDown(key, shift);
  if (!self) return;
  PressKeyButton(KeyToButton(key, shift));
}

void TcxCustomCalculator::KeyPress(char32_t& key) {
  TWeakRef<TcxCustomCalculator> self(this);
  TcxControl::KeyPress(key);
  if (!self) return;
  if (key == 22) {
    PasteFromClipboard();
    return;
  }
  if (key == 3) {
    CopyToClipboard();
    return;
  }
  PressKeyButton(CharToButton(key));
  if (self && keyPressed_ == ckBack) ButtonClick(ckBack);
}

void TcxCustomCalculator::KeyUp(Word& key, TShiftState shift) {
  TWeakRef<TcxCustomCalculator> self(this);
  TcxControl::KeyUp(key, shift);
  if (self) ReleaseKeyButton();
}

// ---- the engine ----------------------------------------------------------------------------------------------

void TcxCustomCalculator::Beep() {
  if (beepOnError_) MessageBeep(0);
}

long double TcxCustomCalculator::DisplayValue() {
  if (status_ == csError) return 0;
  String text = Trim(GetDisplayText());
  if (text.empty()) text = "0";
  RemoveThousandSeparators(text);
  return StrToFloat(text);
}

void TcxCustomCalculator::SetDisplayValue(long double value) {
  // A result beyond the number range would leave a text that reads back as no number.
  if (!std::isfinite(double(value))) {
    ShowError();
    return;
  }
  const String text = CalcNumberText(value, precision_);
  if (text == GetDisplayText()) return;
  SetDisplayText(text);
  if (OnDisplayChanged) OnDisplayChanged(this);
}

void TcxCustomCalculator::StartNumber() {
  if (status_ != csStart) return;
  status_ = csTyping;
  SetDisplayText("0");
}

void TcxCustomCalculator::ShowError() {
  status_ = csError;
  SetDisplayText(CalcErrorText());
  Beep();
}

void TcxCustomCalculator::UpdateMemoryButtons() {
  const bool empty = memory_ == 0;
  for (TcxCalcButtonKind k : {ckMemoryClear, ckMemoryRecall}) {
    buttons_[k].Grayed = empty;
    RepaintButton(k);
  }
}

void TcxCustomCalculator::ButtonClick(TcxCalcButtonKind kind) {
  if (OnButtonPress) OnButtonPress(this, kind);
  if (kind == ckNone) return;
  if (status_ == csError && kind != ckClearEntry && kind != ckClearAll) {
    ShowError();
    return;
  }
  const Integer limit = std::max<Integer>(2, precision_);
  switch (kind) {
    case ckDecimalPoint: {
      StartNumber();
      const String text = GetDisplayText();
      if (text.find(FormatSettings.DecimalSeparator) == String::npos)
        SetDisplayText(text + String(1, FormatSettings.DecimalSeparator));
      break;
    }
    case ckBack: {
      StartNumber();
      String text = GetDisplayText();
      if (text.size() <= 1 || (text.size() == 2 && text[0] == '-')) text = "0";
      else text.pop_back();
      SetDisplayText(text);
      break;
    }
    case ckClearEntry:
    case ckClearAll:
      status_ = csStart;
      SetDisplayValue(0);
      pending_ = ckEquals;
      break;
    case ckMemoryClear:
      memory_ = 0;
      UpdateMemoryButtons();
      break;
    case ckMemoryRecall:
      status_ = csStart;
      StartNumber();
      SetDisplayValue(memory_);
      break;
    case ckMemoryStore:
      status_ = csStart;
      memory_ = DisplayValue();
      UpdateMemoryButtons();
      break;
    case ckMemoryAdd:
      status_ = csStart;
      memory_ += DisplayValue();
      UpdateMemoryButtons();
      break;
    case ckNegate:
      SetDisplayValue(-DisplayValue());
      break;
    case ckDivide:
    case ckMultiply:
    case ckSubtract:
    case ckAdd:
    case ckPercent:
    case ckEquals: {
      if (status_ == csTyping) {
        status_ = csStart;
        long double operand = DisplayValue();
        if (kind == ckPercent) {
          if (pending_ == ckDivide || pending_ == ckMultiply) operand = operand / 100;
          else if (pending_ == ckSubtract || pending_ == ckAdd) operand = accumulator_ * operand / 100;
        }
        switch (pending_) {
          case ckDivide:
            if (operand == 0) ShowError();
            else SetDisplayValue(accumulator_ / operand);
            break;
          case ckMultiply: SetDisplayValue(accumulator_ * operand); break;
          case ckSubtract: SetDisplayValue(accumulator_ - operand); break;
          case ckAdd: SetDisplayValue(accumulator_ + operand); break;
          default: break;
        }
      }
      pending_ = kind;
      accumulator_ = DisplayValue();
      if ((kind == ckPercent || kind == ckEquals) && OnResultReady) OnResultReady(this);
      break;
    }
    case ckSquareRoot:
    case ckReciprocal: {
      status_ = IsOperatorKind(pending_) ? csTyping : csStart;
      const long double v = DisplayValue();
      if (kind == ckSquareRoot) {
        if (v < 0) ShowError();
        else SetDisplayValue(std::sqrt(v));
      } else {
        if (v == 0) ShowError();
        else SetDisplayValue(1 / v);
      }
      break;
    }
    default: {  // digits
      StartNumber();
      String text = GetDisplayText();
      if (text == "0") text.clear();
      const Integer minus = Pos("-", text);
      if (Integer(text.size()) < limit + minus) SetDisplayText(text + String(1, char('0' + (kind - ckDigit0))));
      else Beep();
      break;
    }
  }
}

// ---- clipboard ------------------------------------------------------------------------------------------------

void TcxCustomCalculator::CopyToClipboard() { Clipboard()->SetAsText(GetDisplayText()); }

void TcxCustomCalculator::PasteFromClipboard() {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  const String text = Trim(RemoveAll(Clipboard()->AsText(), FormatSettings.CurrencyString));
  double v = 0;
  if (TryStrToFloat(text, v)) {
    SetDisplayValue(v);
    status_ = csTyping;
  } else {
    SetDisplayValue(0);
  }
}

// ---- popup calculator ----------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPopupCalculator)

TcxPopupCalculator::TcxPopupCalculator(TComponent* owner) : TcxCustomCalculator(owner) { isPopup_ = true; }

void TcxPopupCalculator::CreateParams(TCreateParams& params) {
  TcxCustomCalculator::CreateParams(params);
  params.Style &= ~WS_BORDER;
  params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TcxPopupCalculator::ResetKeyButton() { ReleaseKeyButton(); }

String TcxPopupCalculator::GetDisplayText() { return Edit ? Edit->Text() : String(); }

void TcxPopupCalculator::SetDisplayText(const String& text) {
  if (!Edit || !Edit->CanModify()) return;
  if (IcxInnerTextEdit* inner = Edit->QueryInnerTextEdit()) inner->SetTextValue(Variant(text));
  Edit->SetChangedSinceEnter(true);
}

TcxCustomLookAndFeelPainterClass TcxPopupCalculator::GetPainter() {
  if (Edit && Edit->PopupControlsLookAndFeel()) return Edit->PopupControlsLookAndFeel()->EffectivePainter();
  return TcxCustomCalculator::GetPainter();
}

void TcxPopupCalculator::KeyDown(Word& key, TShiftState shift) {
  TWeakRef<TcxPopupCalculator> self(this);
  const Word k = key;
  TcxCustomCalculator::KeyDown(key, shift);
  if (!self) return;
  const bool alt = shift.Contains(ssAlt);
  switch (k) {
    case VK_TAB:
      if (Edit) Edit->EditKeyDown(key, shift);
      break;
    case VK_RETURN: HidePopup(crAccept); break;
    case VK_ESCAPE: HidePopup(crCancel); break;
    case VK_UP:
    case VK_DOWN:
      if (alt) HidePopup(crDropDownKey);
      break;
    case VK_F4:
      if (!alt) HidePopup(crDropDownKey);
      break;
    case VK_INSERT:
      if (shift.Contains(ssShift)) PasteFromClipboard();
      else if (shift.Contains(ssCtrl)) CopyToClipboard();
      break;
    default: break;
  }
}

void TcxPopupCalculator::KeyPress(char32_t& key) {
  TWeakRef<TcxPopupCalculator> self(this);
  const char32_t c = key;
  TcxCustomCalculator::KeyPress(key);
  if (self && c == U'=' && Edit && Edit->CalcProperties()->QuickClose()) HidePopup(crAccept);
}

// ---- calculator editor properties ------------------------------------------------------------------------

namespace {
using TCalcProps = TcxCustomCalcEditProperties;
TCalcProps* Mutable(const TCalcProps* p) { return const_cast<TCalcProps*>(p); }
const TcxResourceStringRec scxSEditRepositoryCalcItem = {
    "scxSEditRepositoryCalcItem", "CalcEdit|Represents an edit control with a dropdown calculator window"};

// The number of an edit value; False for Null, empty text and text that does not convert.
bool EditValueNumber(const Variant& v, double& number) {
  if (IsVariantNullOrEmptyText(v)) return false;
  if (IsNumericOrBcdVariant(v)) {
    number = v.AsDouble();
    return true;
  }
  return v.IsString() && TryStrToFloat(Trim(VarToStr(v)), number);
}
}  // namespace

KORVAN_IMPLEMENT_CLASS(TcxCalcEditPropertiesValues)

void TcxCalcEditPropertiesValues::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCalcEditPropertiesValues*>(source)) precision_ = s->precision_;
  TcxTextEditPropertiesValues::Assign(source);
}

void TcxCalcEditPropertiesValues::RestoreDefaults() {
  precision_ = false;
  TcxTextEditPropertiesValues::RestoreDefaults();
}

void TcxCalcEditPropertiesValues::SetPrecision(bool v) {
  if (precision_ == v) return;
  precision_ = v;
  NotifyPropertiesChanged();
}

String CalcExponentText(double value, Integer precision) {
  precision = std::clamp<Integer>(precision, 1, 17);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", int(precision - 1), value);
  String s = buf;
  const size_t e = s.find('e');
  String mantissa = s.substr(0, e), exponent = s.substr(e + 1);
  const bool negative = !mantissa.empty() && mantissa[0] == '-';
  if (negative) mantissa.erase(0, 1);
  String digits;
  for (char c : mantissa)
    if (c >= '0' && c <= '9') digits += c;
  const char sign = exponent[0] == '-' ? '-' : '+';
  String exp_digits = exponent.substr(1);
  exp_digits.erase(0, std::min(exp_digits.find_first_not_of('0'), exp_digits.size()));
  if (exp_digits.empty()) exp_digits = "0";
  return String(negative ? "-" : "") + digits.substr(0, 1) + String(1, FormatSettings.DecimalSeparator) +
         digits.substr(1) + "E" + String(1, sign) + exp_digits;
}

String TrimCalcExponentText(const String& text) {
  const size_t e = text.find_first_of("eE");
  String mantissa = text.substr(0, e);
  const String exponent = e == String::npos ? String() : text.substr(e);
  if (mantissa.find(FormatSettings.DecimalSeparator) != String::npos) {
    while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
    if (!mantissa.empty() && mantissa.back() == FormatSettings.DecimalSeparator) mantissa.pop_back();
  }
  return mantissa + exponent;
}

KORVAN_IMPLEMENT_CLASS(TcxCustomCalcEditProperties)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCalcEditProperties) {
  p.Object("Alignment", [](const TCalcProps* o) { return Mutable(o)->Alignment(); }, &TCalcProps::SetAlignment,
           TcxEditAlignment::StaticClass())
      .Stored(&TCalcProps::IsAlignmentStored);
  p.Bool("AutoSelect", &TCalcProps::AutoSelect, &TCalcProps::SetAutoSelect).Default(true);
  p.Bool("BeepOnError", &TCalcProps::BeepOnError, &TCalcProps::SetBeepOnError).Default(true);
  p.Int("ClearKey", &TCalcProps::ClearKey, &TCalcProps::SetClearKey).Default(0);
  p.Str("DisplayFormat", [](const TCalcProps* o) { return Mutable(o)->DisplayFormat(); },
           &TCalcProps::SetDisplayFormat);
  p.Bool("ImmediatePost", &TCalcProps::ImmediatePost, &TCalcProps::SetImmediatePost).Default(false);
  p.Int("Precision", [](const TCalcProps* o) { return Mutable(o)->Precision(); }, &TCalcProps::SetPrecision)
      .NoDefault()
      .Stored(&TCalcProps::IsPrecisionStored);
  p.Bool("QuickClose", &TCalcProps::QuickClose, &TCalcProps::SetQuickClose).Default(false);
  p.Bool("ReadOnly", [](const TCalcProps* o) { return Mutable(o)->ReadOnly(); }, &TCalcProps::SetReadOnly)
      .NoDefault()
      .Stored(&TCalcProps::IsReadOnlyStored);
  p.Bool("ScientificFormat", &TCalcProps::ScientificFormat, &TCalcProps::SetScientificFormat).Default(false);
  p.Bool("UseThousandSeparator", &TCalcProps::UseThousandSeparator, &TCalcProps::SetUseThousandSeparator)
      .Default(false);
  p.Bool("ValidateOnEnter", &TCalcProps::ValidateOnEnter, &TCalcProps::SetValidateOnEnter).Default(true);
}

TcxCustomCalcEditProperties::TcxCustomCalcEditProperties(TPersistent* owner) : TcxCustomPopupEditProperties(owner) {
  SetAssignedValuesObject(new TcxCalcEditPropertiesValues(this));
  SetBeepOnError(true);
  SetPopupSizeable(false);
  SetImmediateDropDown(false);
  SetValidateOnEnter(true);
}

void TcxCustomCalcEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomCalcEditProperties*>(source);
  ChangeInUpdate([&] {
    TcxCustomPopupEditProperties::Assign(source);
    if (s) {
      SetBeepOnError(s->BeepOnError());
      AssignedValues()->SetPrecision(false);
      if (s->AssignedValues()->Precision()) SetPrecision(s->precision_);
      quickClose_ = s->quickClose_;
      scientificFormat_ = s->scientificFormat_;
      useThousandSeparator_ = s->useThousandSeparator_;
      NotifyPropertiesChanged();
    }
  });
}

TClass TcxCustomCalcEditProperties::GetContainerClass() { return TcxCalcEdit::StaticClass(); }
TClass TcxCustomCalcEditProperties::GetPopupWindowClass() { return TcxCalcEditPopupWindow::StaticClass(); }

Integer TcxCustomCalcEditProperties::Precision() {
  Integer p = 15;
  if (AssignedValues()->Precision()) p = precision_;
  else if (IcxEditDefaultValuesProvider* provider = DefaultValuesProvider()) p = provider->DefaultPrecision();
  return std::min<Integer>(p, 15);
}

void TcxCustomCalcEditProperties::SetPrecision(Integer v) {
  v = std::clamp<Integer>(v, 0, 255);
  if (AssignedValues()->Precision() && precision_ == v) return;
  precision_ = v;
  BeginUpdate();
  AssignedValues()->SetPrecision(true);
  NotifyPropertiesChanged();
  EndUpdate(true);
}

bool TcxCustomCalcEditProperties::IsEditValueValid(Variant& edit_value, bool) {
  double number = 0;
  return IsVariantNullOrEmptyText(edit_value) || EditValueNumber(edit_value, number);
}

bool TcxCustomCalcEditProperties::UsesFieldDisplayText(bool edit_focused) {
  return !edit_focused && !AssignedValues()->DisplayFormat() && HasProviderDisplayFormat(false);
}

String TcxCustomCalcEditProperties::NumberText(double value) {
  const Integer precision = Precision() == 0 ? 15 : Precision();
  // Infinities and NaN have no exponent to format.
  if (scientificFormat_ && std::isfinite(value)) return TrimCalcExponentText(CalcExponentText(value, precision));
  String text = FloatToStrF(value, ffGeneral, precision, 0);
  if (useThousandSeparator_) AddThousandSeparators(text);
  return text;
}

void TcxCustomCalcEditProperties::PrepareDisplayValue(const Variant& edit_value, Variant& display_value,
                                                      bool edit_focused) {
  double number = 0;
  if (!EditValueNumber(edit_value, number)) {
    display_value = Variant(IsVariantNullOrEmptyText(edit_value) ? String() : VarToStr(edit_value));
    return;
  }
  if (edit_focused || !AssignedValues()->DisplayFormat()) display_value = Variant(NumberText(number));
  else display_value = Variant(FormatFloat(DisplayFormat(), number));
}

void TcxCustomCalcEditProperties::ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                                                       IcxEditValidator* edit) {
  error = false;
  TcxCustomPopupEditProperties::ValidateDisplayValue(display_value, error_text, error, edit);
}

// ---- calculator editor ----------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCalcEditPopupWindow)

void TcxCalcEditPopupWindow::KeyDown(Word& key, TShiftState shift) {
  // Enter belongs to the calculator, which computes the result before it closes the popup.
  if (key == VK_RETURN && !shift.Contains(ssAlt)) TcxCustomPopupWindow::KeyDown(key, shift);
  else TcxPopupEditPopupWindow::KeyDown(key, shift);
}

KORVAN_IMPLEMENT_CLASS(TcxCustomCalcEdit)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCalcEdit) {
  p.Object("Properties", &TcxCalcEdit::Properties, &TcxCalcEdit::SetProperties,
           TcxCalcEditProperties::StaticClass());
  p.Float("Value", [](const TcxCalcEdit* o) { return const_cast<TcxCalcEdit*>(o)->Value(); }, &TcxCalcEdit::SetValue)
      .NoDefault()
      .Stored(false);
}

TcxCustomCalcEdit::TcxCustomCalcEdit(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomPopupEdit(owner, in_place, properties_class) {
  ControlStyle().Exclude(csSetCaption);
  SetValue(0);
  calculator_ = new TcxPopupCalculator(nullptr);  // freed by the edit; never streamed with it
  calculator_->Edit = this;
  calculator_->SetScaleFontWithSize(false);
  calculator_->SetVisible(false);
  calculator_->OnPopupHide = [this](TObject*, Byte reason) { CloseUp(reason); };
  calculator_->SetBeepOnError(CalcProperties()->BeepOnError());
  calculator_->SetPrecision(CalcProperties()->Precision());
  Properties()->SuppressChanges(true);
  PopupProperties()->SetPopupControl(calculator_);
  Properties()->SuppressChanges(false);
}

TcxCustomCalcEdit::~TcxCustomCalcEdit() {
  if (DroppedDown()) RestorePopupControl();
  if (EffectivePopupProperties()->PopupControl() == calculator_) EffectivePopupProperties()->SetPopupControl(nullptr);
  if (PopupProperties()->PopupControl() == calculator_) PopupProperties()->SetPopupControl(nullptr);
  delete calculator_;
  calculator_ = nullptr;
}

double TcxCustomCalcEdit::Value() {
  const Variant v = ReadEditValue();
  if (IsVariantNullOrEmptyText(v)) return 0;
  double number = 0;
  if (IsNumericOrBcdVariant(v)) return v.AsDouble();
  return TryStrToFloat(Trim(VarToStr(v)), number) ? number : 0;
}

void TcxCustomCalcEdit::SetValue(double v) { SetEditValue(Variant(v)); }

void TcxCustomCalcEdit::DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool) {
  String text = VarToStr(display_value);
  if (CalcProperties()->UsesThousandSeparators(true)) RemoveThousandSeparators(text);
  text = Trim(text);
  double number = 0;
  edit_value = !text.empty() && TryStrToFloat(text, number) ? Variant(number) : Null();
}

Variant TcxCustomCalcEdit::GetDisplayValue() {
  Variant v;
  DisplayToEditValue(CurrentDisplayText(), v, true);
  return v;
}

bool TcxCustomCalcEdit::CanAcceptChar(char32_t c) {
  const bool separator = c == char32_t(FormatSettings.DecimalSeparator);
  if (!separator && !IsNumberInputChar(c, 2)) return false;
  const String text = TextWithTypedChar(this, c);
  if (text == "-") return true;
  double v = 0;
  return TryNumberTextToDouble(text, v);
}

void TcxCustomCalcEdit::DoEditKeyPress(char32_t& key) {
  if (key == U'.' || key == U',') key = char32_t(FormatSettings.DecimalSeparator);
  if (key >= 32 && !CanAcceptChar(key)) {
    key = 0;
    if (CalcProperties()->BeepOnError()) MessageBeep(0);
    return;
  }
  TcxCustomPopupEdit::DoEditKeyPress(key);
}

void TcxCustomCalcEdit::PasteFromClipboard() {
  if (!GetEffectiveProperties()->ReadOnly() && CanModify()) calculator_->PasteFromClipboard();
}

bool TcxCustomCalcEdit::CanDropDown() {
  return !GetEffectiveProperties()->ReadOnly() && DataBinding()->HasDataAvailable();
}

void TcxCustomCalcEdit::DoInitPopup() {
  TcxCustomPopupEdit::DoInitPopup();
  EffectivePopupProperties()->SetPopupControl(calculator_);
}

void TcxCustomCalcEdit::DropDown() {
  // The popup window may have been made before this kind could say so.
  if (PopupWindow()) PopupWindow()->SetRunsModalLoop(false);
  TcxCustomPopupEdit::DropDown();
}

void TcxCustomCalcEdit::CreatePopupWindow() {
  TcxCustomPopupEdit::CreatePopupWindow();
  PopupWindow()->SetRunsModalLoop(false);
}

void TcxCustomCalcEdit::SetupPopupWindow() {
  TcxCustomPopupEdit::SetupPopupWindow();
  calculator_->HandleNeeded();
  calculator_->SetFont(GetActiveEditStyle()->Font());
  calculator_->ScaleToClient();
  calculator_->SetClientSize(TSize(calculator_->TotalWidth(), calculator_->TotalHeight()));
}

void TcxCustomCalcEdit::PopupWindowShown() {
  TcxCustomPopupEdit::PopupWindowShown();
  calculator_->ResetKeyButton();
}

void TcxCustomCalcEdit::PopupWindowClosed() {
  if (Text() == CalcErrorText()) SetEditValue(Variant(0.0));
  if (CalcProperties()->AutoSelect()) SelectWholeText();
  else SelectRange(CharCount(Text()), 0);
  TcxCustomPopupEdit::PopupWindowClosed();
}

void TcxCustomCalcEdit::PropertiesChanged(TcxCustomEditProperties* properties) {
  if (!(CalcProperties()->InFormatChange())) TcxCustomPopupEdit::PropertiesChanged(properties);
  if (!calculator_) return;
  calculator_->SetBeepOnError(CalcProperties()->BeepOnError());
  calculator_->SetPrecision(CalcProperties()->Precision());
  TcxCustomPopupEditProperties* p = EffectivePopupProperties();
  if (p->PopupControl() != calculator_) {
    p->SuppressChanges(true);
    p->SetPopupControl(calculator_);
    p->SuppressChanges(false);
  }
}

void TcxCustomCalcEdit::DoEnter() {
  SynchronizeDisplayValue();
  TcxCustomPopupEdit::DoEnter();
}

void TcxCustomCalcEdit::DoExit() {
  TWeakRef<TcxCustomCalcEdit> self(this);
  TcxCustomPopupEdit::DoExit();
  if (self) SynchronizeDisplayValue();
}

// ---- filter helper and unit start --------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxFilterCalcEditHelper)

TClass TcxFilterCalcEditHelper::ValueEditClass() const { return TcxCalcEdit::StaticClass(); }

void TcxFilterCalcEditHelper::SupportedOperators(TcxCustomEditProperties*, TcxValueTypeClass,
                                                 TcxFilterControlOperators& operators, bool extended) const {
  operators = {1, 2, 3, 4, 5, 6, 9, 10};
  if (extended) operators.insert(operators.end(), {11, 12, 13, 14});
}

void TcxFilterCalcEditHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                      TcxCustomEditProperties* source, bool keep_buttons) const {
  TcxFilterMaskEditHelper::PrepareFilterProperties(properties, source, keep_buttons);
  if (auto* p = dynamic_cast<TcxCustomCalcEditProperties*>(properties)) p->SetQuickClose(true);
}

void InitializeCxCalc() {
  InitUnit(
      "cxCalc",
      [] {
        InitializeCxPopupEdit();
        RegisterClass(TcxCalcEdit::StaticClass());
        RegisterClass(TcxCalcEditProperties::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxCalcEditProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryCalcItem));
        FilterEditsController()->RegisterHelper(TcxCalcEditProperties::StaticClass(),
                                                TcxFilterCalcEditHelper::StaticClass());
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxCalcEditProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxCalcEditProperties::StaticClass(),
                                                  TcxFilterCalcEditHelper::StaticClass());
      });
}
