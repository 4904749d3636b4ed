#include "vcl/StdCtrls.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

PTypeInfo EditCharCaseTypeInfo() {
  static PTypeInfo t = EnumTypeInfo("TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"});
  return t;
}

namespace {
PTypeInfo LayoutType() { return EnumTypeInfo("TTextLayout", {"tlTop", "tlCenter", "tlBottom"}); }
PTypeInfo CheckStateType() { return EnumTypeInfo("TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}); }

// Byte offsets of each character boundary of a UTF-8 string (size = characters + 1).
std::vector<size_t> Boundaries(const String& s) {
  std::vector<size_t> b{0};
  size_t i = 0;
  while (i < s.size()) {
    DecodeUtf8(s, i);
    b.push_back(i);
  }
  return b;
}
// The characters [start, start + count) of a UTF-8 string (0-based character positions).
String SubChars(const String& s, Integer start, Integer count) {
  auto b = Boundaries(s);
  Integer n = Integer(b.size()) - 1;
  start = std::clamp(start, 0, n);
  Integer end = std::clamp(start + count, start, n);
  return s.substr(b[size_t(start)], b[size_t(end)] - b[size_t(start)]);
}
}  // namespace

// ---- label ---------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TCustomLabel) {
  p.Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, AlignmentTypeInfo()).Default(taLeftJustify);
  p.Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(true);
  p.Object("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl, TWinControl::StaticClass());
  p.Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, LayoutType()).Default(tlTop);
  p.Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(true);
  p.Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent);
  p.Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ = {csSetCaption, csOpaque, csReplicatable, csClickEvents, csCaptureMouse, csDoubleClicks};
  width_ = 65;
  height_ = 17;
  autoSize_ = true;
}

void TCustomLabel::SetTransparent(bool v) {
  if (v) controlStyle_ -= csOpaque;
  else controlStyle_ += csOpaque;
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = v;
  if (v) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* c, TOperation op) {
  TGraphicControl::Notification(c, op);
  if (op == opRemove && c == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::SetAutoSize(bool v) {
  TGraphicControl::SetAutoSize(v);
}

UINT TCustomLabel::DrawTextFlags() const {
  UINT f = DT_EXPANDTABS;
  if (wordWrap_) f |= DT_WORDBREAK;
  if (!showAccelChar_) f |= DT_NOPREFIX;
  if (alignment_ == taRightJustify) f |= DT_RIGHT;
  else if (alignment_ == taCenter) f |= DT_CENTER;
  return f;
}

TSize TCustomLabel::TextSize() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  String t = text_.empty() ? String(" ") : text_;
  RECT r(0, 0, wordWrap_ ? width_ : 0, 0);
  ::DrawText(dc, t.c_str(), int(t.size()), &r, DrawTextFlags() | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {r.Width(), r.Height()};
}

bool TCustomLabel::CanAutoSize(Integer& w, Integer& h) {
  TSize s = TextSize();
  if (!wordWrap_) w = s.cx;
  h = s.cy;
  return true;
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (!Transparent()) {
    c->Brush()->SetColor(color_);
    c->FillRect(r);
  }
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(font_.get());
  if (!enabled_) c->Font()->SetColor(clGrayText);
  UINT flags = DrawTextFlags();
  if (layout_ != tlTop) {
    RECT calc = r;
    c->DrawText(text_, calc, flags | DT_CALCRECT);
    Integer off = layout_ == tlCenter ? (r.Height() - calc.Height()) / 2 : r.Height() - calc.Height();
    r.Top += off;
  }
  c->DrawText(text_, r, flags);
}

void TCustomLabel::Dispatch(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR) {
    if (focusControl_ && enabled_ && showAccelChar_ && IsAccel(char32_t(m.WParam), text_) && focusControl_->CanFocus()) {
      focusControl_->SetFocus();
      m.Result = 1;
    }
    return;
  }
  TGraphicControl::Dispatch(m);
}

// ---- button base ---------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TButtonControl)

TButtonControl::TButtonControl(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = {csSetCaption, csDoubleClicks, csClickEvents};
  tabStop_ = true;
}

void TButtonControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_LBUTTONDOWN) secondClick_ = false;
  if (m.Msg == WM_LBUTTONDBLCLK) {
    m.Msg = WM_LBUTTONDOWN;  // a quick second click is a click
    TCustomControl::Dispatch(m);
    secondClick_ = true;
    return;
  }
  TCustomControl::Dispatch(m);
}

void TButtonControl::WMLButtonDown(TMessage& m) {
  TWeakRef<TButtonControl> self(this);
  if (CanFocus() && !Focused()) SetFocus();
  if (!self) return;
  tracking_ = true;
  pressed_ = true;
  SetMouseCapture(true);
  Invalidate();
  TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  MouseDown(mbLeft, KeysToShiftState(Word(m.WParam)), p.X, p.Y);
}

void TButtonControl::WMMouseMove(TMessage& m) {
  if (tracking_) {
    TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    bool inside = ClientRect().Contains(p);
    if (inside != pressed_) {
      pressed_ = inside;
      Invalidate();
    }
  }
  TCustomControl::WMMouseMove(m);
}

void TButtonControl::WMLButtonUp(TMessage& m) {
  TWeakRef<TButtonControl> self(this);
  bool click = tracking_ && pressed_;
  tracking_ = false;
  pressed_ = false;
  SetMouseCapture(false);
  Invalidate();
  TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  if (click) Clicked(secondClick_);
  if (!self) return;
  MouseUp(mbLeft, KeysToShiftState(Word(m.WParam)), p.X, p.Y);
}

void TButtonControl::WMCancelMode(TMessage& m) {
  tracking_ = pressed_ = spaceDown_ = false;
  Invalidate();
  TCustomControl::WMCancelMode(m);
}

void TButtonControl::WMKeyDown(TMessage& m) {
  if (m.WParam == VK_SPACE && !spaceDown_) {
    spaceDown_ = true;
    pressed_ = true;
    Invalidate();
  }
  TCustomControl::WMKeyDown(m);
}

void TButtonControl::WMKeyUp(TMessage& m) {
  bool click = m.WParam == VK_SPACE && spaceDown_;
  if (m.WParam == VK_SPACE) {
    spaceDown_ = false;
    pressed_ = false;
    Invalidate();
  }
  TWeakRef<TButtonControl> self(this);
  if (click) Clicked(false);
  if (self) TCustomControl::WMKeyUp(m);
}

void TButtonControl::WMKillFocus(TMessage& m) {
  spaceDown_ = false;
  if (!tracking_) pressed_ = false;
  Invalidate();
  TCustomControl::WMKillFocus(m);
}

void TButtonControl::CMDialogChar(TMessage& m) {
  if (IsAccel(char32_t(m.WParam), text_) && CanFocus()) {
    Clicked(false);
    m.Result = 1;
  }
}

void TButtonControl::CMEnabledChanged(TMessage& m) {
  TCustomControl::CMEnabledChanged(m);
  Invalidate();
}

// ---- button --------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TButton) {
  p.Bool("Cancel", &TButton::Cancel, &TButton::SetCancel);
  p.Bool("Default", &TButton::Default, &TButton::SetDefault);
  p.Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
  p.Bool("TabStop", &TButton::TabStop, &TButton::SetTabStop).Default(true);
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  width_ = 75;
  height_ = 25;
}

void TButton::SetDefault(bool v) {
  default_ = v;
  if (TCustomForm* f = GetParentForm(this)) {
    TWinControl* ac = f->ActiveControl();
    active_ = (ac && dynamic_cast<TButton*>(ac)) ? ac == this : v;
  } else {
    active_ = v;
  }
  Invalidate();
}

void TButton::Click() {
  TWeakRef<TButton> self(this);
  if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(modalResult_);
  if (!self) return;
  TButtonControl::Click();
}

void TButton::CMDialogKey(TMessage& m) {
  bool enter = m.WParam == VK_RETURN && active_;
  bool esc = m.WParam == VK_ESCAPE && cancel_;
  if ((enter || esc) && KeyDataToShiftState(m.LParam).Empty() && CanFocus()) {
    Click();
    m.Result = 1;
    return;
  }
  TButtonControl::CMDialogKey(m);
}

void TButton::CMFocusChanged(TMessage& m) {
  auto* sender = reinterpret_cast<TWinControl*>(m.LParam);
  bool a = dynamic_cast<TButton*>(sender) ? sender == this : default_;
  if (a != active_) {
    active_ = a;
    Invalidate();
  }
  TButtonControl::CMFocusChanged(m);
}

void TButton::WMGetDlgCode(TMessage& m) { m.Result = DLGC_BUTTON | (active_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON); }

void TButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  HDC dc = c->Handle();
  if (active_) {
    // The default frame: one dark line around the face.
    c->Brush()->SetColor(clWindowFrame);
    c->FrameRect(r);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  RECT face = r;
  DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0) | (!enabled_ ? DFCS_INACTIVE : 0));
  c->Font()->Assign(font_.get());
  c->Font()->SetColor(enabled_ ? clBtnText : clGrayText);
  c->Brush()->SetStyle(bsClear);
  TRect tr = r;
  if (pressed_) {
    tr.Left += 1;
    tr.Top += 1;
    tr.Right += 1;
    tr.Bottom += 1;
  }
  c->DrawText(text_, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  c->Brush()->SetStyle(bsSolid);
  if (Focused()) {
    TRect fr(r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3);
    c->Font()->SetColor(clBtnText);
    c->Brush()->SetColor(clBtnFace);
    c->DrawFocusRect(fr);
  }
}

// ---- check box -----------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TCheckBox) {
  p.Enum("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment, AlignmentTypeInfo()).Default(taRightJustify);
  p.Bool("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed);
  p.Bool("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked);
  p.Enum("State", &TCheckBox::State, &TCheckBox::SetState, CheckStateType()).Default(cbUnchecked);
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) {
  width_ = 97;
  height_ = 17;
}

void TCheckBox::SetState(TCheckBoxState v) {
  if (v == state_) return;
  state_ = v;
  Invalidate();
  if (!IsLoading() && !toggling_) TButtonControl::Click();
}

void TCheckBox::Click() {
  toggling_ = true;
  switch (state_) {
    case cbUnchecked: state_ = allowGrayed_ ? cbGrayed : cbChecked; break;
    case cbGrayed: state_ = cbChecked; break;
    case cbChecked: state_ = cbUnchecked; break;
  }
  toggling_ = false;
  Invalidate();
  TButtonControl::Click();
}

void TCheckBox::WMGetDlgCode(TMessage& m) { m.Result = DLGC_BUTTON; }

void TCheckBox::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(color_);
  c->FillRect(r);
  Integer box = 13;
  Integer y = (r.Height() - box) / 2;
  RECT b = alignment_ == taRightJustify ? Bounds(0, y, box, box) : Bounds(r.Right - box, y, box, box);
  UINT state = DFCS_BUTTONCHECK | (state_ != cbUnchecked ? DFCS_CHECKED : 0) | (pressed_ ? DFCS_PUSHED : 0) |
               (!enabled_ ? DFCS_INACTIVE : 0) | (state_ == cbGrayed ? DFCS_BUTTON3STATE : 0);
  DrawFrameControl(c->Handle(), &b, DFC_BUTTON, state);
  c->Font()->Assign(font_.get());
  if (!enabled_) c->Font()->SetColor(clGrayText);
  c->Brush()->SetStyle(bsClear);
  TRect tr = alignment_ == taRightJustify ? Rect(box + 4, 0, r.Right, r.Bottom) : Rect(0, 0, r.Right - box - 4, r.Bottom);
  c->DrawText(text_, tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    RECT calc = tr;
    c->DrawText(text_, calc, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
    TRect fr(calc.Left - 1, (r.Height() - calc.Height()) / 2 - 1, calc.Right + 1, (r.Height() + calc.Height()) / 2 + 1);
    c->Brush()->SetStyle(bsSolid);
    c->DrawFocusRect(fr);
  }
  c->Brush()->SetStyle(bsSolid);
}

// ---- radio button ----------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TRadioButton) {
  p.Enum("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment, AlignmentTypeInfo()).Default(taRightJustify);
  p.Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
  p.Bool("WordWrap", &TRadioButton::WordWrap, &TRadioButton::SetWordWrap).Default(false);
  p.Bool("TabStop", &TRadioButton::TabStop, &TRadioButton::SetTabStop).Default(false);
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  width_ = 113;
  height_ = 17;
  tabStop_ = false;
}

void TRadioButton::SetAlignment(TAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  Invalidate();
}

void TRadioButton::SetWordWrap(bool v) {
  if (wordWrap_ == v) return;
  wordWrap_ = v;
  Invalidate();
}

void TRadioButton::SetChecked(bool v) {
  if (checked_ == v) return;
  checked_ = v;
  SetTabStop(v);
  if (HandleAllocated()) Perform(BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
  else markChecked_ = v;
  if (!v) return;
  // The checked siblings go off (a sibling's handler may free controls: walk a weak copy).
  if (TWinControl* p = Parent()) {
    std::vector<TWeakRef<TRadioButton>> siblings;
    for (Integer i = 0; i < p->ControlCount(); ++i)
      if (auto* r = dynamic_cast<TRadioButton*>(p->Controls(i)); r && r != this)
        siblings.emplace_back(r);
    for (auto& r : siblings)
      if (r && r->Checked()) r->SetChecked(false);
  }
  if (!clicksDisabled_) Click();
}

void TRadioButton::Clicked(bool twice) {
  Perform(CN_COMMAND, WPARAM(twice ? BN_DOUBLECLICKED : BN_CLICKED) << 16, 0);
}

void TRadioButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND: CNCommand(m); return;
    case CN_DRAWITEM: CNDrawItem(m); return;
    case CN_MEASUREITEM: CNMeasureItem(m); return;
    case BM_SETCHECK: BMSetCheck(m); return;
    case BM_GETCHECK: m.Result = markChecked_ ? BST_CHECKED : BST_UNCHECKED; return;
  }
  TButtonControl::Dispatch(m);
}

void TRadioButton::CNCommand(TMessage& m) {
  const WORD code = WORD(NativeUInt(m.WParam) >> 16);
  if (code == BN_CLICKED) SetChecked(true);
  else if (code == BN_DOUBLECLICKED) {
    SetChecked(true);
    DblClick();
  }
}

void TRadioButton::CNMeasureItem(TMessage& m) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
  if (!mis) return;
  mis->itemWidth = UINT(std::max<Integer>(width_, 0));
  mis->itemHeight = UINT(std::max<Integer>(height_, 0));
}

void TRadioButton::BMSetCheck(TMessage& m) {
  markChecked_ = m.WParam == BST_CHECKED;
  Invalidate();
}

void TRadioButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.Style |= BS_AUTORADIOBUTTON;
  if (alignment_ == taLeftJustify) params.Style |= BS_LEFTTEXT;
  if (wordWrap_) params.Style |= BS_MULTILINE;
}

void TRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  markChecked_ = checked_;
  if (IsOwnerDrawn()) {
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_BUTTON;
    Perform(CN_MEASUREITEM, 0, reinterpret_cast<NativeInt>(&mis));
    ownerDrawSize_ = TSize(Integer(mis.itemWidth), Integer(mis.itemHeight));
  }
}

bool TRadioButton::IsOwnerDrawn() {
  return HandleAllocated() && (DWORD(GetWindowLong(Handle(), GWL_STYLE)) & BS_TYPEMASK) == BS_OWNERDRAW;
}

void TRadioButton::WMGetDlgCode(TMessage& m) { m.Result = DLGC_BUTTON | DLGC_RADIOBUTTON; }

void TRadioButton::Paint() {
  TCanvas* c = Canvas();
  if (IsOwnerDrawn()) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_BUTTON;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (pressed_ ? ODS_SELECTED : 0) | (!enabled_ ? ODS_DISABLED : 0) |
                    (markChecked_ ? ODS_CHECKED : 0) | (Focused() ? ODS_FOCUS : 0);
    dis.hwndItem = Handle();
    dis.hDC = c->Handle();
    dis.rcItem = ClientRect();
    Perform(CN_DRAWITEM, 0, reinterpret_cast<NativeInt>(&dis));
    return;
  }
  TRect r = ClientRect();
  c->Brush()->SetColor(color_);
  c->FillRect(r);
  const Integer box = 13;
  const Integer y = (r.Height() - box) / 2;
  RECT b = alignment_ == taRightJustify ? Bounds(0, y, box, box) : Bounds(r.Right - box, y, box, box);
  DrawFrameControl(c->Handle(), &b, DFC_BUTTON,
                   DFCS_BUTTONRADIO | (markChecked_ ? DFCS_CHECKED : 0) | (pressed_ ? DFCS_PUSHED : 0) |
                       (!enabled_ ? DFCS_INACTIVE : 0));
  c->Font()->Assign(font_.get());
  if (!enabled_) c->Font()->SetColor(clGrayText);
  c->Brush()->SetStyle(bsClear);
  TRect tr = alignment_ == taRightJustify ? Rect(box + 4, 0, r.Right, r.Bottom) : Rect(0, 0, r.Right - box - 4, r.Bottom);
  const UINT flags = wordWrap_ ? DT_LEFT | DT_WORDBREAK : DT_LEFT | DT_VCENTER | DT_SINGLELINE;
  c->DrawText(text_, tr, flags);
  if (Focused() && !text_.empty()) {
    RECT calc = tr;
    c->DrawText(text_, calc, flags | DT_CALCRECT);
    TRect fr(calc.Left - 1, (r.Height() - calc.Height()) / 2 - 1, calc.Right + 1, (r.Height() + calc.Height()) / 2 + 1);
    c->Brush()->SetStyle(bsSolid);
    c->DrawFocusRect(fr);
  }
  c->Brush()->SetStyle(bsSolid);
}

// ---- edit ----------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TCustomEdit) {
  p.Enum("Alignment", &TCustomEdit::Alignment, &TCustomEdit::SetAlignment, AlignmentTypeInfo()).Default(taLeftJustify);
  p.Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
  p.Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, BorderStyleTypeInfo()).Default(bsSingle);
  p.Enum("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase, EditCharCaseTypeInfo()).Default(ecNormal);
  p.Bool("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).Default(true);
  p.Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  p.Int("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).Default(0);
  p.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
  p.Str("Text", &TCustomEdit::Text, &TCustomEdit::SetText);
  p.Bool("TabStop", &TCustomEdit::TabStop, &TCustomEdit::SetTabStop).Default(true);
  p.Event("OnChange", &TCustomEdit::OnChange);
}

TCustomEdit::TCustomEdit(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = {csClickEvents, csSetCaption, csDoubleClicks, csCaptureMouse};
  controlStyle_ -= csSetCaption;
  width_ = 121;
  height_ = 21;
  tabStop_ = true;
  cursor_ = crIBeam;
  color_ = clWindow;
  brush_->SetColor(color_);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  static const DWORD kAlignStyles[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  params.Style |= kAlignStyles[alignment_] | ES_AUTOHSCROLL;
  if (!hideSelection_) params.Style |= ES_NOHIDESEL;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  if (lines_) {
    params.Style = (params.Style & ~DWORD(ES_AUTOHSCROLL)) | ES_MULTILINE;
    const TScrollStyle bars = lines_->ScrollBars();
    if (bars == ssHorizontal || bars == ssBoth) params.Style |= WS_HSCROLL;
    if (bars == ssVertical || bars == ssBoth) params.Style |= WS_VSCROLL;
    if (bars == ssHorizontal || bars == ssBoth || !lines_->WordWrap()) params.Style |= ES_AUTOHSCROLL;
  }
}

void TCustomEdit::MakeMultiLine() {
  if (!lines_) lines_ = std::make_unique<TEditLines>(this);
}

String TCustomEdit::GetText() const { return lines_ ? lines_->Text() : text_; }

void TCustomEdit::SetTextValue(const String& v) {
  if (lines_) lines_->SetText(v);
  else TCustomControl::SetTextValue(v);
}

DWORD TCustomEdit::WindowStyle() { return HandleAllocated() ? DWORD(GetWindowLong(Handle(), GWL_STYLE)) : 0; }

TAlignment TCustomEdit::WindowAlignment() {
  const DWORD style = WindowStyle();
  if (style & ES_RIGHT) return taRightJustify;
  if (style & ES_CENTER) return taCenter;
  return taLeftJustify;
}

void TCustomEdit::SetAlignment(TAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool v) {
  if (hideSelection_ == v) return;
  hideSelection_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
  if (borderStyle_ == v) return;
  borderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

Integer TCustomEdit::CharCount() const { return lines_ ? lines_->CharCount() : Integer(Boundaries(text_).size()) - 1; }

String TCustomEdit::DisplayText() const {
  if (!passwordChar_) return text_;
  String s;
  for (Integer i = 0; i < CharCount(); ++i) AppendUtf8(s, passwordChar_);
  return s;
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
  charCase_ = v;
  if (v == ecUpperCase) SetText(AnsiUpperCase(Text()));
  else if (v == ecLowerCase) SetText(AnsiLowerCase(Text()));
}

void TCustomEdit::SetSelStart(Integer v) {
  selStart_ = std::clamp(v, 0, CharCount());
  selLength_ = 0;
  anchor_ = selStart_;
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::SetSelLength(Integer v) {
  selLength_ = std::clamp(v, -selStart_, CharCount() - selStart_);
  if (selLength_ < 0) {
    selStart_ += selLength_;
    selLength_ = -selLength_;
  }
  anchor_ = selStart_;
  UpdateCaret();
  Invalidate();
}

String TCustomEdit::SelText() const {
  return lines_ ? lines_->Range(selStart_, selLength_) : SubChars(text_, selStart_, selLength_);
}

void TCustomEdit::SetSelText(const String& v) { ReplaceSelection(v); }

void TCustomEdit::SelectAll() {
  selStart_ = 0;
  selLength_ = CharCount();
  anchor_ = 0;
  UpdateCaret();
  Invalidate();
}

bool TCustomEdit::ReplaceSelection(const String& input) {
  if (lines_) return lines_->ReplaceSelection(input);
  String s = input;
  // A single line: stop at the first line break.
  size_t nl = s.find_first_of("\r\n");
  if (nl != String::npos) s = s.substr(0, nl);
  if (charCase_ == ecUpperCase) s = AnsiUpperCase(s);
  else if (charCase_ == ecLowerCase) s = AnsiLowerCase(s);
  auto b = Boundaries(text_);
  Integer keep = CharCount() - selLength_;
  Integer room = maxLength_ > 0 ? maxLength_ - keep : Integer(s.size());
  if (room <= 0 && !s.empty() && maxLength_ > 0) {
    // A full edit takes nothing more.
    MessageBeep(0);
    if (selLength_ == 0) return false;
    s.clear();
  }
  if (maxLength_ > 0 && Integer(Boundaries(s).size()) - 1 > room) s = SubChars(s, 0, room);
  String n = text_.substr(0, b[size_t(selStart_)]) + s + text_.substr(b[size_t(selStart_ + selLength_)]);
  if (n != text_) {
    undoText_ = text_;
    undoSelStart_ = selStart_;
    hasUndo_ = true;
  }
  Integer caret = selStart_ + Integer(Boundaries(s).size()) - 1;
  text_ = n;
  selStart_ = caret;
  selLength_ = 0;
  anchor_ = caret;
  modified_ = true;
  if (HandleAllocated()) SetWindowText(Handle(), text_.c_str());
  UpdateCaret();
  Invalidate();
  Change();
  return true;
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::CMTextChanged(TMessage& m) {
  Integer n = CharCount();
  if (selStart_ > n) selStart_ = n;
  if (selStart_ + selLength_ > n) selLength_ = n - selStart_;
  anchor_ = selStart_;
  // The lines are the multi-line edit's text: its window keeps no caption to copy back.
  if (lines_) TControl::CMTextChanged(m);
  else TCustomControl::CMTextChanged(m);
  UpdateCaret();
  if (!IsLoading()) Change();
}

void TCustomEdit::CMFontChanged(TMessage& m) {
  TCustomControl::CMFontChanged(m);
  if (lines_) lines_->LayoutChanged();
  UpdateCaret();
}

Integer TCustomEdit::TextHeight() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

// A single line is centred vertically in the client area (at its top when the area is just
// one line high, as an inner edit sized to its text is).
Integer TCustomEdit::TextTop() { return std::max(0, (ClientHeight() - TextHeight()) / 2); }

Integer TCustomEdit::CaretX(Integer pos) {
  String d = DisplayText();
  auto b = Boundaries(d);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  SIZE s;
  GetTextExtentPoint32(dc, d.data(), int(b[size_t(std::clamp(pos, 0, Integer(b.size()) - 1))]), &s);
  SIZE whole;
  GetTextExtentPoint32(dc, d.data(), int(d.size()), &whole);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // The text's origin by the window's alignment (a text wider than the room starts left).
  Integer room = ClientWidth() - leftMargin_ - rightMargin_;
  Integer origin = leftMargin_;
  switch (WindowAlignment()) {
    case taRightJustify:
      if (whole.cx < room) origin += room - whole.cx;
      break;
    case taCenter:
      if (whole.cx < room) origin += (room - whole.cx) / 2;
      break;
    default: break;
  }
  return s.cx + origin - scroll_;
}

Integer TCustomEdit::CharAt(Integer x) {
  Integer n = CharCount();
  Integer best = 0, bestDist = INT32_MAX;
  for (Integer i = 0; i <= n; ++i) {
    Integer d = std::abs(CaretX(i) - x);
    if (d < bestDist) {
      bestDist = d;
      best = i;
    }
  }
  return best;
}

void TCustomEdit::UpdateCaret() {
  if (!HandleAllocated()) return;
  if (lines_) return lines_->UpdateCaret();
  Integer pos = selStart_ + (anchor_ == selStart_ ? selLength_ : 0);
  Integer x = CaretX(pos);
  Integer left = leftMargin_;
  Integer right = ClientWidth() - rightMargin_;
  if (x < left) {
    scroll_ = std::max(0, scroll_ + x - left);
  } else if (x > right) {
    scroll_ += x - right;
  }
  if (caretCreated_ && GetFocus() == Handle()) SetCaretPos(CaretX(pos), TextTop());
}

void TCustomEdit::MoveCaret(Integer pos, bool extend) {
  if (lines_) return lines_->MoveCaret(pos, extend);
  pos = std::clamp(pos, 0, CharCount());
  if (!extend) {
    anchor_ = pos;
    selStart_ = pos;
    selLength_ = 0;
  } else {
    selStart_ = std::min(anchor_, pos);
    selLength_ = std::abs(pos - anchor_);
  }
  UpdateCaret();
  if (caretCreated_ && GetFocus() == Handle()) SetCaretPos(CaretX(pos), TextTop());
  Invalidate();
}

namespace {
// Word characters: letters, digits, the underscore and every character beyond ASCII.
bool IsWordChar(char32_t c) { return c >= 0x80 || c == U'_' || (c < 0x80 && std::isalnum(int(c))); }
std::vector<char32_t> CharsOf(const String& s) {
  std::vector<char32_t> chars;
  size_t i = 0;
  while (i < s.size()) chars.push_back(DecodeUtf8(s, i));
  return chars;
}
}  // namespace

// The start of the word at or before pos (blanks before it skipped).
Integer TCustomEdit::WordStart(Integer pos) {
  auto c = CharsOf(text_);
  Integer i = std::clamp(pos, 0, Integer(c.size()));
  while (i > 0 && !IsWordChar(c[size_t(i - 1)])) --i;
  while (i > 0 && IsWordChar(c[size_t(i - 1)])) --i;
  return i;
}

// The start of the next word after pos (the end of the text when none).
Integer TCustomEdit::WordEnd(Integer pos) {
  auto c = CharsOf(text_);
  Integer n = Integer(c.size());
  Integer i = std::clamp(pos, 0, n);
  while (i < n && IsWordChar(c[size_t(i)])) ++i;
  while (i < n && !IsWordChar(c[size_t(i)])) ++i;
  return i;
}

void TCustomEdit::WMGetDlgCode(TMessage& m) {
  m.Result = lines_ ? lines_->DlgCode() : DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
}

void TCustomEdit::WMSetFocus(TMessage& m) {
  TCustomControl::WMSetFocus(m);
  CreateCaret(Handle(), nullptr, 1, std::max(TextHeight(), 1));
  caretCreated_ = true;
  if (autoSelect_ && !controlState_.Contains(csLButtonDown)) SelectAll();
  UpdateCaret();
  if (!lines_) SetCaretPos(CaretX(selStart_ + selLength_), TextTop());
  ShowCaret(Handle());
  Invalidate();
}

void TCustomEdit::WMKillFocus(TMessage& m) {
  if (caretCreated_) DestroyCaret();
  caretCreated_ = false;
  Invalidate();
  TCustomControl::WMKillFocus(m);
}

void TCustomEdit::KeyDown(Word& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key != 0) EditKeyDown(key, shift);
}

void TCustomEdit::EditKeyDown(Word& key, TShiftState shift) {
  if (lines_) {
    lines_->EditKeyDown(key, shift);
    if (key == 0) return;
  }
  Integer caret = selLength_ == 0 ? selStart_ : (anchor_ == selStart_ ? selStart_ + selLength_ : selStart_);
  bool ext = shift.Contains(ssShift);
  bool ctrl = shift.Contains(ssCtrl);
  switch (key) {
    case VK_LEFT:
      if (ctrl) MoveCaret(WordStart(caret), ext);
      else MoveCaret(!ext && selLength_ ? selStart_ : caret - 1, ext);
      key = 0;
      break;
    case VK_RIGHT:
      if (ctrl) MoveCaret(WordEnd(caret), ext);
      else MoveCaret(!ext && selLength_ ? selStart_ + selLength_ : caret + 1, ext);
      key = 0;
      break;
    case VK_HOME: MoveCaret(0, ext); key = 0; break;
    case VK_END: MoveCaret(CharCount(), ext); key = 0; break;
    case VK_DELETE:
      if (ext && selLength_ > 0) {
        if (HandleAllocated()) SendMessage(Handle(), WM_CUT, 0, 0);
        key = 0;
        break;
      }
      if (ext) {
        // Shift+Delete without a selection deletes backwards, as Backspace does; the mask
        // edit lets the key through after moving its mode back one character.
        if (!readOnly_ && selStart_ > 0) {
          --selStart_;
          selLength_ = 1;
          ReplaceSelection("");
        }
        key = 0;
        break;
      }
      if (readOnly_) break;
      if (selLength_ == 0 && selStart_ < CharCount()) selLength_ = 1;
      ReplaceSelection("");
      key = 0;
      break;
    case VK_INSERT:
      if (HandleAllocated()) {
        if (ctrl) SendMessage(Handle(), WM_COPY, 0, 0);
        else if (ext) SendMessage(Handle(), WM_PASTE, 0, 0);
      }
      key = 0;
      break;
    default:
      if (ctrl) {
        if (key == 'A') { SelectAll(); key = 0; }
        else if (key == 'Z' && !readOnly_) { Undo(); key = 0; }
      }
      break;
  }
}

void TCustomEdit::KeyPress(char32_t& key) {
  TCustomControl::KeyPress(key);
  if (key != 0) EditChar(key);
}

void TCustomEdit::EditChar(char32_t& key) {
  if (lines_) {
    lines_->EditChar(key);
    if (key == 0) return;
  }
  // Ctrl+C, Ctrl+V and Ctrl+X arrive as characters; the window's messages do the work.
  const UINT clipboard = key == 3 ? WM_COPY : key == 22 ? WM_PASTE : key == 24 ? WM_CUT : 0;
  if (clipboard) {
    if (HandleAllocated()) SendMessage(Handle(), clipboard, 0, 0);
    key = 0;
    return;
  }
  if (key == 13) {  // a single line takes no line break
    MessageBeep(0);
    key = 0;
    return;
  }
  if (readOnly_) return;
  if (key == 8) {  // backspace
    if (selLength_ == 0 && selStart_ > 0) {
      --selStart_;
      selLength_ = 1;
    }
    ReplaceSelection("");
    key = 0;
    return;
  }
  if (key < 32 || key == 127) return;
  String s;
  AppendUtf8(s, key);
  ReplaceSelection(s);
  key = 0;
}

void TCustomEdit::MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) {
  if (b == mbLeft && !s.Contains(ssDouble)) {
    if (CanFocus() && !Focused()) SetFocus();
    if (lines_) lines_->MouseAt(x, y, s.Contains(ssShift));
    else MoveCaret(CharAt(x), s.Contains(ssShift));
  }
  TCustomControl::MouseDown(b, s, x, y);
}

void TCustomEdit::MouseMove(TShiftState s, Integer x, Integer y) {
  if (s.Contains(ssLeft) && MouseCapture()) {
    if (lines_) lines_->MouseAt(x, y, true);
    else MoveCaret(CharAt(x), true);
  }
  TCustomControl::MouseMove(s, x, y);
}

void TCustomEdit::DblClick() {
  // The word under the caret (the press placed it) is selected.
  if (lines_) {
    lines_->SelectWord();
    TCustomControl::DblClick();
    return;
  }
  Integer caret = selStart_ + (anchor_ == selStart_ ? selLength_ : 0);
  auto c = CharsOf(text_);
  Integer n = Integer(c.size());
  Integer from = caret, to = caret;
  while (from > 0 && IsWordChar(c[size_t(from - 1)])) --from;
  while (to < n && IsWordChar(c[size_t(to)])) ++to;
  if (from == to && to < n) ++to;  // a lone non-word character
  anchor_ = from;
  MoveCaret(to, true);
  TCustomControl::DblClick();
}

void TCustomEdit::Undo() {
  if (!hasUndo_) return;
  if (lines_) return lines_->Undo();
  String t = undoText_;
  Integer sel = undoSelStart_;
  undoText_ = text_;
  undoSelStart_ = selStart_;
  text_ = t;
  selStart_ = std::min(sel, CharCount());
  selLength_ = 0;
  anchor_ = selStart_;
  modified_ = true;
  if (HandleAllocated()) SetWindowText(Handle(), text_.c_str());
  UpdateCaret();
  Invalidate();
  Change();
}

void TCustomEdit::SetMargins(Integer left, Integer right) {
  leftMargin_ = std::max(0, left);
  rightMargin_ = std::max(0, right);
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::Dispatch(TMessage& m) {
  if (!EditMessage(m)) TCustomControl::Dispatch(m);
}

LRESULT TCustomEdit::EditWndProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  TMessage m{msg, wparam, lparam, 0};
  if (msg == WM_KEYDOWN) {
    Word key = Word(wparam);
    EditKeyDown(key, KeyDataToShiftState(lparam));
    return 0;
  }
  if (msg == WM_CHAR) {
    char32_t ch = char32_t(wparam);
    EditChar(ch);
    return 0;
  }
  if (!EditMessage(m)) TCustomEdit::Dispatch(m);
  return m.Result;
}

bool TCustomEdit::EditMessage(TMessage& m) {
  if (lines_ && lines_->EditMessage(m)) return true;
  switch (m.Msg) {
    case EM_GETSEL: {
      Integer e = selStart_ + selLength_;
      if (m.WParam) *reinterpret_cast<DWORD*>(m.WParam) = DWORD(selStart_);
      if (m.LParam) *reinterpret_cast<DWORD*>(m.LParam) = DWORD(e);
      m.Result = NativeInt(MAKELONG(WORD(selStart_), WORD(e)));
      return true;
    }
    case EM_SETSEL: {
      // -1 as the start removes the selection; -1 as the end selects to the end.
      Integer a = Integer(NativeInt(m.WParam)), b = Integer(m.LParam);
      Integer n = CharCount();
      if (a < 0) {
        MoveCaret(selStart_ + selLength_, false);
        return true;
      }
      if (b < 0 || b > n) b = n;
      a = std::min(a, n);
      anchor_ = a;
      MoveCaret(b, true);
      return true;
    }
    case EM_REPLACESEL:
      if (m.LParam) ReplaceSelection(reinterpret_cast<const char*>(m.LParam));
      return true;
    case EM_GETMODIFY: m.Result = modified_; return true;
    case EM_SETMODIFY: modified_ = m.WParam != 0; return true;
    case EM_LIMITTEXT: maxLength_ = Integer(m.WParam); return true;
    case EM_GETLIMITTEXT: m.Result = maxLength_ > 0 ? maxLength_ : 0x7FFFFFFE; return true;
    case EM_SETREADONLY: readOnly_ = m.WParam != 0; m.Result = 1; return true;
    case EM_SETPASSWORDCHAR: SetPasswordChar(char32_t(m.WParam)); return true;
    case EM_GETPASSWORDCHAR: m.Result = NativeInt(passwordChar_); return true;
    case EM_CANUNDO: m.Result = hasUndo_; return true;
    case EM_UNDO:
    case WM_UNDO: m.Result = hasUndo_; Undo(); return true;
    case EM_EMPTYUNDOBUFFER: hasUndo_ = false; return true;
    case EM_SETMARGINS: {
      Integer l = leftMargin_, r = rightMargin_;
      if (m.WParam == EC_USEFONTINFO) {
        l = r = 1;
      } else {
        if (m.WParam & EC_LEFTMARGIN) l = LOWORD(uintptr_t(m.LParam));
        if (m.WParam & EC_RIGHTMARGIN) r = HIWORD(uintptr_t(m.LParam));
      }
      SetMargins(l, r);
      return true;
    }
    case EM_GETMARGINS: m.Result = NativeInt(MAKELONG(WORD(leftMargin_), WORD(rightMargin_))); return true;
    case EM_GETRECT:
      if (m.LParam) *reinterpret_cast<RECT*>(m.LParam) = Rect(leftMargin_, 0, ClientWidth() - rightMargin_, ClientHeight());
      return true;
    case EM_POSFROMCHAR: {
      Integer pos = Integer(m.WParam);
      if (pos < 0 || pos > CharCount()) { m.Result = -1; return true; }
      m.Result = NativeInt(MAKELONG(WORD(SHORT(CaretX(pos))), WORD(SHORT(TextTop()))));
      return true;
    }
    case EM_CHARFROMPOS: {
      Integer x = GET_X_LPARAM(m.LParam);
      m.Result = CharAt(x);
      return true;
    }
    case EM_SCROLLCARET: UpdateCaret(); Invalidate(); return true;
    case WM_CUT: CutToClipboard(); return true;
    case WM_COPY: CopyToClipboard(); return true;
    case WM_PASTE: if (!readOnly_) PasteFromClipboard(); return true;
    case WM_CLEAR: if (!readOnly_) ReplaceSelection(""); return true;
    case WM_GETTEXTLENGTH: m.Result = NativeInt(text_.size()); return true;
    case WM_GETTEXT: {
      // Copies at most WParam - 1 bytes without splitting a character, zero-terminated.
      auto* buf = reinterpret_cast<char*>(m.LParam);
      size_t room = size_t(m.WParam);
      if (!buf || room == 0) { m.Result = 0; return true; }
      auto b = Boundaries(text_);
      size_t n = 0;
      for (size_t off : b)
        if (off <= room - 1) n = off;
      std::copy(text_.begin(), text_.begin() + ptrdiff_t(n), buf);
      buf[n] = '\0';
      m.Result = NativeInt(n);
      return true;
    }
    case WM_SETTEXT:
      SetText(m.LParam ? String(reinterpret_cast<const char*>(m.LParam)) : String());
      m.Result = 1;
      return true;
    case WM_IME_CHAR:
      // An input-method character takes the path of a typed one.
      if (HandleAllocated()) SendMessage(Handle(), WM_CHAR, m.WParam, m.LParam);
      return true;
    default: return false;
  }
}

void TCustomEdit::CopyToClipboard() {
  if (selLength_ > 0 && !passwordChar_) SetClipboardText(SelText());
}

void TCustomEdit::CutToClipboard() {
  if (readOnly_) return;
  CopyToClipboard();
  ReplaceSelection("");
}

void TCustomEdit::PasteFromClipboard() {
  String s;
  if (GetClipboardText(s)) ReplaceSelection(s);
}

void TCustomEdit::Paint() {
  TCanvas* c = Canvas();
  if (lines_) return lines_->Paint(c);
  TRect r = ClientRect();
  c->Brush()->SetColor(enabled_ ? color_ : clBtnFace);
  c->FillRect(r);
  HDC dc = c->Handle();
  int saved = SaveDC(dc);
  IntersectClipRect(dc, 0, 0, r.Right - rightMargin_, r.Bottom);
  c->Font()->Assign(font_.get());
  c->Font()->SetColor(enabled_ ? font_->Color() : clGrayText);
  c->Brush()->SetStyle(bsClear);
  String d = DisplayText();
  Integer textH = TextHeight();
  Integer y = TextTop();
  c->TextOut(CaretX(0), y, d);
  const bool showSelection = Focused() || (WindowStyle() & ES_NOHIDESEL);
  if (selLength_ > 0 && showSelection) {
    Integer x1 = CaretX(selStart_), x2 = CaretX(selStart_ + selLength_);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clHighlight);
    c->FillRect(Rect(x1, y, x2, y + textH));
    c->Font()->SetColor(clHighlightText);
    c->Brush()->SetStyle(bsClear);
    auto b = Boundaries(d);
    c->TextOut(x1, y, d.substr(b[size_t(selStart_)], b[size_t(selStart_ + selLength_)] - b[size_t(selStart_)]));
  }
  c->Brush()->SetStyle(bsSolid);
  RestoreDC(dc, saved);
  c->Refresh();
}

// ---- list box ------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TCustomListBox) {
  p.Object("Items", &TCustomListBox::Items, &TCustomListBox::SetItems, TStrings::StaticClass());
  p.Int("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight);
  p.Int("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex).Default(-1);
  p.Bool("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted);
  p.Bool("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).Default(false);
  p.Bool("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect).Default(true);
  p.Enum("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle,
         EnumTypeInfo("TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual",
                                        "lbVirtualOwnerDraw"}))
      .Default(lbStandard);
  p.Int("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns).Default(0);
  p.Int("ScrollWidth", &TCustomListBox::ScrollWidth, &TCustomListBox::SetScrollWidth).Default(0);
  p.Int("TabWidth", &TCustomListBox::TabWidth, &TCustomListBox::SetTabWidth).Default(0);
  p.Bool("TabStop", &TCustomListBox::TabStop, &TCustomListBox::SetTabStop).Default(true);
}

TCustomListBox::TCustomListBox(TComponent* owner) : TCustomControl(owner), items_(new TStringList) {
  width_ = 121;
  height_ = 97;
  tabStop_ = true;
  color_ = clWindow;
  brush_->SetColor(color_);
  items_->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomListBox::~TCustomListBox() { items_->OnChange = nullptr; }

void TCustomListBox::ItemsChanged() {
  selected_.resize(size_t(Count()), false);
  if (anchor_ >= Count()) anchor_ = -1;
  if (itemIndex_ >= Count()) itemIndex_ = Count() - 1;
  if (topIndex_ >= Count()) topIndex_ = std::max(0, Count() - 1);
  Invalidate();
  SyncSystemBar();
}

void TCustomListBox::Clear() {
  if (IsVirtual()) SetCount(0);
  else items_->Clear();
}

void TCustomListBox::SetCount(Integer v) {
  v = std::max(0, v);
  if (!IsVirtual() || v == virtualCount_) return;
  virtualCount_ = v;
  ItemsChanged();
}

String TCustomListBox::ItemText(Integer index) {
  if (index < 0 || index >= Count()) return String();
  if (!IsVirtual()) return items_->Strings(index);
  String s;
  if (OnData) OnData(this, index, s);
  return s;
}

TObject* TCustomListBox::ItemObject(Integer index) {
  if (index < 0 || index >= Count()) return nullptr;
  if (!IsVirtual()) return items_->Objects(index);
  TObject* o = nullptr;
  if (OnDataObject) OnDataObject(this, index, o);
  return o;
}

bool TCustomListBox::Sorted() const { return items_->Sorted(); }
void TCustomListBox::SetSorted(bool v) { items_->SetSorted(v); }

Integer TCustomListBox::ItemHeight() const {
  if (itemHeight_ > 0) return itemHeight_;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + 2;
}

void TCustomListBox::MeasureItem(Integer index, Integer& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

Integer TCustomListBox::ItemHeightOf(Integer index) {
  Integer h = ItemHeight();
  if (style_ == lbOwnerDrawVariable && index >= 0 && index < Count()) MeasureItem(index, h);
  return std::max(h, 1);
}

Integer TCustomListBox::VisibleCount() {
  const Integer space = ClientHeight() - 4;
  if (style_ != lbOwnerDrawVariable) return std::max(1, space / std::max(ItemHeight(), 1));
  Integer n = 0;
  for (Integer i = topIndex_, y = 0; i < Count(); ++i, ++n) {
    y += ItemHeightOf(i);
    if (y > space) break;
  }
  return std::max(1, n);
}

void TCustomListBox::SetTopIndex(Integer v) {
  Integer last = std::max(0, Count() - VisibleCount());
  if (columns_ > 0) {
    // Whole columns scroll: the top index is the first item of a column.
    const Integer rows = VisibleCount();
    v = std::clamp(v, 0, std::max(0, Count() - 1)) / rows * rows;
    last = v;
  }
  v = std::clamp(v, 0, last);
  if (v == topIndex_) return;
  topIndex_ = v;
  Invalidate();
  SyncSystemBar();
}

void TCustomListBox::SetItemIndex(Integer v) {
  if (v < -1 || v >= Count()) v = -1;
  if (v == itemIndex_) return;
  itemIndex_ = v;
  if (v >= 0) {
    const Integer shown = columns_ > 0 ? VisibleCount() * columns_ : VisibleCount();
    if (v < topIndex_) SetTopIndex(v);
    else if (v >= topIndex_ + shown) SetTopIndex(columns_ > 0 ? v - shown + VisibleCount() : v - VisibleCount() + 1);
  }
  Invalidate();
}

void TCustomListBox::SetMultiSelect(bool v) {
  if (v == multiSelect_) return;
  multiSelect_ = v;
  ClearSelection();
}

void TCustomListBox::SetStyle(TListBoxStyle v) {
  if (v < lbStandard || v > lbVirtualOwnerDraw)
    throw EPropertyError("Invalid property value " + IntToStr(Integer(v)) + " for 'Style'");
  if (v == style_) return;
  const bool wasVirtual = IsVirtual();
  style_ = v;
  if (wasVirtual != IsVirtual()) ItemsChanged();
  Invalidate();
}

void TCustomListBox::SetColumns(Integer v) {
  v = std::max(0, v);
  if (v == columns_) return;
  columns_ = v;
  topIndex_ = 0;
  Invalidate();
  SyncSystemBar();
}

void TCustomListBox::SetTabWidth(Integer v) {
  v = std::max(0, v);
  if (v == tabWidth_) return;
  tabWidth_ = v;
  Invalidate();
}

void TCustomListBox::SetScrollWidth(Integer v) {
  v = std::max(0, v);
  if (v == scrollWidth_) return;
  scrollWidth_ = v;
  SetHorzOffset(horzOffset_);
  Invalidate();
  SyncSystemBar();
}

void TCustomListBox::SetHorzOffset(Integer v) {
  v = std::clamp(v, 0, std::max(0, scrollWidth_ - std::max(1, ClientWidth() - 4)));
  if (v == horzOffset_) return;
  horzOffset_ = v;
  Invalidate();
  SyncSystemBar();
}

bool TCustomListBox::Selected(Integer index) const {
  if (index < 0 || index >= Count()) TList::Error("List index out of bounds (%d)", index);
  if (!multiSelect_) return index == itemIndex_;
  return size_t(index) < selected_.size() && selected_[size_t(index)];
}

void TCustomListBox::SetSelected(Integer index, bool v) {
  if (index < 0 || index >= Count()) TList::Error("List index out of bounds (%d)", index);
  if (!multiSelect_) {
    if (v) SetItemIndex(index);
    else if (index == itemIndex_) SetItemIndex(-1);
    return;
  }
  selected_.resize(size_t(Count()), false);
  if (selected_[size_t(index)] == v) return;
  selected_[size_t(index)] = v;
  Invalidate();
}

Integer TCustomListBox::SelCount() const {
  if (!multiSelect_) return itemIndex_ >= 0 ? 1 : 0;
  return Integer(std::count(selected_.begin(), selected_.end(), true));
}

void TCustomListBox::ClearSelection() {
  if (!multiSelect_) {
    SetItemIndex(-1);
    return;
  }
  selected_.assign(size_t(Count()), false);
  Invalidate();
}

void TCustomListBox::SelectRange(Integer from, Integer to, bool clearOthers) {
  if (clearOthers) selected_.assign(size_t(Count()), false);
  selected_.resize(size_t(Count()), false);
  if (from > to) std::swap(from, to);
  for (Integer i = std::max(0, from); i <= to && i < Count(); ++i) selected_[size_t(i)] = true;
  Invalidate();
}

TRect TCustomListBox::ItemRect(Integer index) {
  if (columns_ > 0) {
    const Integer rows = VisibleCount(), h = ItemHeight();
    const Integer w = columnWidth_ > 0 ? columnWidth_ : std::max(1, (ClientWidth() - 4) / columns_);
    const Integer k = index - topIndex_;
    const Integer col = k >= 0 ? k / rows : -((-k + rows - 1) / rows);
    const Integer row = k - col * rows;
    return Rect(2 + col * w, 2 + row * h, 2 + (col + 1) * w, 2 + (row + 1) * h);
  }
  if (style_ != lbOwnerDrawVariable) {
    Integer h = ItemHeight();
    return Rect(2, 2 + (index - topIndex_) * h, ClientWidth() - 2, 2 + (index - topIndex_ + 1) * h);
  }
  Integer y = 2;
  if (index >= topIndex_) {
    for (Integer i = topIndex_; i < index; ++i) y += ItemHeightOf(i);
  } else {
    for (Integer i = index; i < topIndex_; ++i) y -= ItemHeightOf(i);
  }
  return Rect(2, y, ClientWidth() - 2, y + ItemHeightOf(index));
}

Integer TCustomListBox::ItemAtPos(TPoint p, bool existing) {
  Integer i;
  if (columns_ > 0) {
    const Integer rows = VisibleCount(), h = std::max(ItemHeight(), 1);
    const Integer w = columnWidth_ > 0 ? columnWidth_ : std::max(1, (ClientWidth() - 4) / columns_);
    const Integer row = std::clamp((p.Y - 2) / h, 0, rows - 1);
    i = p.X < 2 || p.Y < 2 ? -1 : topIndex_ + (p.X - 2) / w * rows + row;
  } else if (style_ != lbOwnerDrawVariable) {
    Integer h = std::max(ItemHeight(), 1);
    i = topIndex_ + (p.Y - 2) / h;
    if (p.Y < 2) i = topIndex_ - 1;
  } else {
    i = topIndex_;
    if (p.Y < 2) {
      i = topIndex_ - 1;
    } else {
      // Rows past the items count with the list's item height.
      for (Integer y = 2 + ItemHeightOf(i); y <= p.Y; ++i) y += i + 1 < Count() ? ItemHeightOf(i + 1) : std::max(ItemHeight(), 1);
    }
  }
  if (existing && (i < 0 || i >= Count() || p.X < 0 || p.Y < 0 || p.X >= ClientWidth() || p.Y >= ClientHeight()))
    return -1;
  return i;
}

Integer TCustomListBox::FindText(const String& text, Integer start, bool exact) {
  if (IsVirtual() && OnDataFind) return OnDataFind(this, text);
  const Integer n = Count();
  const String key = AnsiUpperCase(text);
  for (Integer k = 1; k <= n; ++k) {
    const Integer i = ((start < 0 ? -1 : start) + k) % n;
    const String item = AnsiUpperCase(ItemText(i));
    if (exact ? item == key : item.compare(0, key.size(), key) == 0) return i;
  }
  return -1;
}

void TCustomListBox::NotifySelChange() {
  if (!HandleAllocated() || !Parent() || !Parent()->HandleAllocated()) return;
  SendMessage(Parent()->Handle(), WM_COMMAND, WPARAM(GetDlgCtrlID(Handle())) | (WPARAM(LBN_SELCHANGE) << 16),
              LPARAM(Handle()));
}

void TCustomListBox::WndProc(TMessage& m) {
  if (m.Msg == WM_VSCROLL || m.Msg == WM_HSCROLL) {
    Scroll(m.Msg == WM_VSCROLL, LOWORD(m.WParam), Integer(HIWORD(m.WParam)));
    m.Result = 0;
    SyncSystemBar();
    return;
  }
  // Every other message may change the items, the top index or the size: the scroll bars
  // follow afterwards (unless the message freed the list).
  TWeakRef<TCustomListBox> self(this);
  HandleMessage(m);
  if (self && m.Msg != WM_NCDESTROY && m.Msg != WM_DESTROY) SyncSystemBar();
}

void TCustomListBox::Scroll(bool vertical, Integer code, Integer thumb) {
  if (vertical) {
    const Integer visible = std::max(1, ClientHeight() / std::max(1, ItemHeight()));
    Integer top = TopIndex();
    switch (code) {
      case SB_LINEUP: --top; break;
      case SB_LINEDOWN: ++top; break;
      case SB_PAGEUP: top -= visible; break;
      case SB_PAGEDOWN: top += visible; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: top = thumb; break;
      case SB_TOP: top = 0; break;
      case SB_BOTTOM: top = Count(); break;
      default: break;
    }
    SetTopIndex(std::clamp(top, 0, std::max(0, Count() - visible)));
    return;
  }
  const Integer view = std::max(1, ClientWidth() - 4);
  Integer pos = HorzOffset();
  switch (code) {
    case SB_LINELEFT: pos -= 8; break;
    case SB_LINERIGHT: pos += 8; break;
    case SB_PAGELEFT: pos -= view; break;
    case SB_PAGERIGHT: pos += view; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = thumb; break;
    case SB_LEFT: pos = 0; break;
    case SB_RIGHT: pos = ScrollWidth(); break;
    default: break;
  }
  SetHorzOffset(pos);
}

void TCustomListBox::SyncSystemBar() {
  if (syncingBar_ || !HandleAllocated() || ComponentState().Contains(csDestroying)) return;
  syncingBar_ = true;
  TScopeExit clear([this] { syncingBar_ = false; });
  // The vertical bar: more items than rows that fit (a list in columns flows sideways and
  // has none).
  const Integer visible = std::max(1, ClientHeight() / std::max(1, ItemHeight()));
  const bool needed = columns_ == 0 && Count() > visible;
  SCROLLINFO cur{};
  cur.cbSize = sizeof(SCROLLINFO);
  cur.fMask = SIF_ALL;
  const bool shown = (GetWindowLong(Handle(), GWL_STYLE) & WS_VSCROLL) != 0;
  GetScrollInfo(Handle(), SB_VERT, &cur);
  SCROLLINFO si{};
  si.cbSize = sizeof(SCROLLINFO);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(0, Count() - 1);
  si.nPage = UINT(visible);
  si.nPos = TopIndex();
  bool changed = false;
  if (!(shown == needed && cur.nMax == si.nMax && cur.nPage == si.nPage && cur.nPos == si.nPos)) {
    if (shown != needed) ::ShowScrollBar(Handle(), SB_VERT, needed);
    SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
    changed = true;
  }
  // The horizontal bar: items wider than the list (ScrollWidth).
  const Integer view = std::max(1, ClientWidth() - 4);
  const bool hNeeded = ScrollWidth() > view;
  const bool hShown = (GetWindowLong(Handle(), GWL_STYLE) & WS_HSCROLL) != 0;
  SCROLLINFO hcur{};
  hcur.cbSize = sizeof(SCROLLINFO);
  hcur.fMask = SIF_ALL;
  GetScrollInfo(Handle(), SB_HORZ, &hcur);
  SCROLLINFO hi{};
  hi.cbSize = sizeof(SCROLLINFO);
  hi.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  hi.nMax = std::max(0, ScrollWidth() - 1);
  hi.nPage = UINT(view);
  hi.nPos = HorzOffset();
  if (!(hShown == hNeeded && hcur.nMax == hi.nMax && hcur.nPage == hi.nPage && hcur.nPos == hi.nPos)) {
    if (hShown != hNeeded) ::ShowScrollBar(Handle(), SB_HORZ, hNeeded);
    SetScrollInfo(Handle(), SB_HORZ, &hi, TRUE);
    changed = true;
  }
  if (changed) SystemBarChanged();
}

void TCustomListBox::HandleMessage(TMessage& m) {
  if (m.Msg < LB_ADDSTRING || m.Msg > LB_MSGMAX) {
    TCustomControl::WndProc(m);
    return;
  }
  const Integer index = Integer(NativeInt(m.WParam));
  const bool valid = index >= 0 && index < Count();
  const char* text = reinterpret_cast<const char*>(m.LParam);
  m.Result = 0;
  switch (m.Msg) {
    case LB_ADDSTRING: m.Result = items_->Add(text ? text : ""); break;
    case LB_INSERTSTRING:
      if (index > Count()) { m.Result = LB_ERR; break; }
      items_->Insert(index < 0 ? Count() : index, text ? text : "");
      m.Result = index < 0 ? Count() - 1 : index;
      break;
    case LB_DELETESTRING:
      if (!valid || IsVirtual()) { m.Result = LB_ERR; break; }
      items_->Delete(index);
      m.Result = Count();
      break;
    case LB_RESETCONTENT: Clear(); break;
    case LB_SETCOUNT: SetCount(index); break;
    case LB_GETCOUNT: m.Result = Count(); break;
    case LB_SETCURSEL:
      SetItemIndex(valid ? index : -1);
      m.Result = valid ? index : LB_ERR;
      break;
    case LB_GETCURSEL: m.Result = itemIndex_; break;
    case LB_SETCARETINDEX: SetItemIndex(valid ? index : itemIndex_); break;
    case LB_GETCARETINDEX: m.Result = itemIndex_; break;
    case LB_SETSEL: {
      // WParam: select or not; LParam: the index, -1 for every item.
      const Integer at = Integer(NativeInt(m.LParam));
      if (at == -1 && multiSelect_) {
        selected_.assign(size_t(Count()), m.WParam != 0);
        Invalidate();
      } else if (at >= 0 && at < Count()) {
        SetSelected(at, m.WParam != 0);
      } else {
        m.Result = LB_ERR;
      }
      break;
    }
    case LB_GETSEL: m.Result = valid ? (Selected(index) ? 1 : 0) : LB_ERR; break;
    case LB_GETSELCOUNT: m.Result = multiSelect_ ? SelCount() : LB_ERR; break;
    case LB_GETTEXT: {
      if (!valid || !m.LParam) { m.Result = LB_ERR; break; }
      const String s = ItemText(index);
      std::memcpy(reinterpret_cast<char*>(m.LParam), s.c_str(), s.size() + 1);
      m.Result = NativeInt(s.size());
      break;
    }
    case LB_GETTEXTLEN: m.Result = valid ? NativeInt(ItemText(index).size()) : LB_ERR; break;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING: {
      const Integer found = FindText(text ? text : "", index, m.Msg == LB_FINDSTRINGEXACT);
      if (m.Msg == LB_SELECTSTRING && found >= 0) SetItemIndex(found);
      m.Result = found;
      break;
    }
    case LB_GETTOPINDEX: m.Result = topIndex_; break;
    case LB_SETTOPINDEX: SetTopIndex(index); break;
    case LB_GETITEMHEIGHT: m.Result = ItemHeightOf(index); break;
    case LB_SETITEMHEIGHT:
      if (LOWORD(m.LParam) == 0 || LOWORD(m.LParam) > 255) m.Result = LB_ERR;
      else SetItemHeight(LOWORD(m.LParam));
      break;
    case LB_GETITEMRECT: {
      if (!valid || !m.LParam) { m.Result = LB_ERR; break; }
      const TRect r = ItemRect(index);
      *reinterpret_cast<RECT*>(m.LParam) = r;
      m.Result = 1;
      break;
    }
    case LB_ITEMFROMPOINT: {
      // The nearest item in the low word, 1 in the high word when the point is outside it.
      const TPoint p(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      Integer i = ItemAtPos(p, false);
      const TRect cr = ClientRect();
      const bool outside = i < 0 || i >= Count() || !PtInRect(&cr, p);
      i = std::clamp(i, 0, std::max(0, Count() - 1));
      m.Result = NativeInt(Word(i)) | (NativeInt(outside ? 1 : 0) << 16);
      break;
    }
    case LB_GETITEMDATA: {
      if (!valid) { m.Result = LB_ERR; break; }
      m.Result = NativeInt(reinterpret_cast<intptr_t>(ItemObject(index)));
      break;
    }
    case LB_SETITEMDATA:
      if (!valid || IsVirtual()) { m.Result = LB_ERR; break; }
      items_->SetObjects(index, reinterpret_cast<TObject*>(m.LParam));
      break;
    case LB_GETHORIZONTALEXTENT: m.Result = scrollWidth_; break;
    case LB_SETHORIZONTALEXTENT: SetScrollWidth(index); break;
    case LB_SETCOLUMNWIDTH:
      columnWidth_ = std::max(0, index);
      Invalidate();
      break;
    case LB_SETTABSTOPS:
      SetTabWidth(m.WParam == 1 && m.LParam ? *reinterpret_cast<const Integer*>(m.LParam) : 0);
      m.Result = 1;
      break;
    default: m.Result = LB_ERR; break;
  }
}

void TCustomListBox::WMGetDlgCode(TMessage& m) { m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TCustomListBox::KeyDown(Word& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  Integer n = Count();
  if (key == 0 || n == 0) return;
  Integer i = itemIndex_;
  const Integer rows = VisibleCount();
  switch (key) {
    case VK_UP: i = std::max(0, i - 1); break;
    case VK_DOWN: i = std::min(n - 1, i + 1); break;
    case VK_LEFT:
      if (columns_ == 0) return;
      i = std::max(0, i - rows);
      break;
    case VK_RIGHT:
      if (columns_ == 0) return;
      i = std::min(n - 1, std::max(i, 0) + rows);
      break;
    case VK_HOME: i = 0; break;
    case VK_END: i = n - 1; break;
    case VK_PRIOR: i = std::max(0, i - rows + 1); break;
    case VK_NEXT: i = std::min(n - 1, std::max(i, 0) + rows - 1); break;
    default: return;
  }
  key = 0;
  if (multiSelect_ && extendedSelect_) {
    // The focused item moves; Shift extends the range from the anchor, else it alone is selected.
    if (shift.Contains(ssShift) && anchor_ >= 0) {
      SelectRange(anchor_, i, true);
    } else if (!shift.Contains(ssCtrl)) {
      anchor_ = i;
      SelectRange(i, i, true);
    }
  }
  if (i != itemIndex_) {
    TWeakRef<TCustomListBox> self(this);
    SetItemIndex(i);
    NotifySelChange();
    if (self) Click();
  }
}

void TCustomListBox::MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) {
  TWeakRef<TCustomListBox> self(this);
  if (b == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    if (!self) return;
    Integer i = ItemAtPos({x, y}, true);
    bool changed = false;
    if (i >= 0 && multiSelect_) {
      selected_.resize(size_t(Count()), false);
      if (!extendedSelect_ || s.Contains(ssCtrl)) {
        selected_[size_t(i)] = !selected_[size_t(i)];
        anchor_ = i;
      } else if (s.Contains(ssShift) && anchor_ >= 0) {
        SelectRange(anchor_, i, true);
      } else {
        anchor_ = i;
        SelectRange(i, i, true);
      }
      changed = true;
      Invalidate();
    }
    if (i >= 0 && i != itemIndex_) {
      SetItemIndex(i);
      changed = true;
      controlState_ += csClicked;  // Click follows on the button going up
    } else if (i >= 0) {
      controlState_ += csClicked;
    } else {
      controlState_ -= csClicked;
    }
    if (changed) NotifySelChange();
    if (!self) return;
  }
  TCustomControl::MouseDown(b, s, x, y);
}

bool TCustomListBox::DoMouseWheel(TShiftState shift, Integer delta, TPoint mousePos) {
  if (TCustomControl::DoMouseWheel(shift, delta, mousePos)) return true;
  SetTopIndex(topIndex_ - delta / WHEEL_DELTA * Mouse()->WheelScrollLines());
  return true;
}

void TCustomListBox::CMFocusChanged(TMessage& m) {
  Invalidate();
  TCustomControl::CMFocusChanged(m);
}

void TCustomListBox::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(color_);
  c->FillRect(r);
  RECT e = r;
  DrawEdge(c->Handle(), &e, EDGE_SUNKEN, BF_RECT);
  HDC dc = c->Handle();
  int saved = SaveDC(dc);
  IntersectClipRect(dc, 2, 2, r.Right - 2, r.Bottom - 2);
  c->Font()->Assign(font_.get());
  // Only the rows that can show are drawn (every column's with Columns).
  const Integer rows = VisibleCount();
  Integer last = std::min(Count(), topIndex_ + (columns_ > 0 ? rows * columns_ + rows : rows + 1));
  for (Integer i = topIndex_; i < last; ++i) {
    const TRect ir = ItemRect(i);
    if (ir.Top >= r.Bottom || ir.Left >= r.Right) {
      if (columns_ == 0) break;
      continue;
    }
    TOwnerDrawState state;
    if (Selected(i)) state += odSelected;
    if (i == itemIndex_ && Focused()) state += odFocused;
    if (!Enabled()) state += odDisabled;
    c->Brush()->SetColor(state.Contains(odSelected) ? clHighlight : color_);
    c->Font()->SetColor(state.Contains(odSelected) ? clHighlightText : font_->Color());
    DrawListItem(i, ir, state);
  }
  RestoreDC(dc, saved);
  c->Refresh();
}

void TCustomListBox::DrawListItem(Integer index, const TRect& rect, TOwnerDrawState state) {
  DrawItem(index, rect, state);
  if (state.Contains(odFocused)) Canvas()->DrawFocusRect(rect);
}

void TCustomListBox::DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) {
  if (IsOwnerDrawn() && OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  TCanvas* c = Canvas();
  c->FillRect(rect);
  c->Brush()->SetStyle(bsClear);
  const String s = ItemText(index);
  Integer x = rect.Left + 2 - horzOffset_;
  if (s.find('\t') == String::npos) {
    c->TextOut(x, rect.Top + 1, s);
  } else {
    // Tab stops every TabWidth dialog units (a quarter of the average character width each),
    // every 8 characters by default.
    TEXTMETRIC tm;
    GetTextMetrics(c->Handle(), &tm);
    const Integer unit = std::max<Integer>(1, tm.tmAveCharWidth);
    const Integer stop = std::max<Integer>(1, tabWidth_ > 0 ? tabWidth_ * unit / 4 : 8 * unit);
    const Integer origin = x;
    size_t from = 0;
    while (true) {
      const size_t tab = s.find('\t', from);
      const String part = s.substr(from, tab == String::npos ? String::npos : tab - from);
      c->TextOut(x, rect.Top + 1, part);
      if (tab == String::npos) break;
      x += c->TextWidth(part);
      x = origin + ((x - origin) / stop + 1) * stop;
      from = tab + 1;
    }
  }
  c->Brush()->SetStyle(bsSolid);
}

void InitializeStdCtrls() {
  InitUnit("StdCtrls", [] {
    InitializeControls();
    for (TClass c : {TLabel::StaticClass(), TButton::StaticClass(), TCheckBox::StaticClass(), TRadioButton::StaticClass(), TEdit::StaticClass(),
                     TListBox::StaticClass()})
      RegisterClass(c);
  });
}

KORVAN_IMPLEMENT_CLASS(TLabel)
KORVAN_IMPLEMENT_CLASS(TEdit)
KORVAN_IMPLEMENT_CLASS(TListBox)
