// Container helpers, view info, styles and style controllers.
#include "foundation/cxContainer.h"

#include <algorithm>

#include "foundation/dxOffice11.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "rtl/ScopeExit.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

namespace {
// Runs an action when the scope ends, also when an exception passes.
}  // namespace

// ---- helpers ---------------------------------------------------------------------------------

Integer BorderWidthOfStyle(TcxContainerBorderStyle style) {
  static const Integer widths[] = {0, 1, 2, 2, 2, 1, 1};
  return style >= cbsNone && style <= cbsOffice11 ? widths[style] : 0;
}

Integer BorderWidthOfKind(TcxLookAndFeelKind kind) {
  switch (kind) {
    case lfFlat:
    case lfStandard: return 2;
    default: return 1;
  }
}

Integer MapMouseButton(TMouseButton button) {
  switch (button) {
    case mbLeft: return 1;
    case mbRight: return 2;
    case mbMiddle: return 3;
    default: return 0;
  }
}

void GetLocalBounds(TControl* control, TRect& r) { r = TRect(0, 0, control->Width(), control->Height()); }

void GrowRectByEdges(TRect& r, Integer width, const TcxBorders& edges) {
  if (edges.Contains(bLeft)) r.Left -= width;
  if (edges.Contains(bTop)) r.Top -= width;
  if (edges.Contains(bRight)) r.Right += width;
  if (edges.Contains(bBottom)) r.Bottom += width;
}

void DeflateRectByMissingEdges(TRect& r, Integer width, const TcxBorders& edges) {
  if (!edges.Contains(bLeft)) r.Left += width;
  if (!edges.Contains(bTop)) r.Top += width;
  if (!edges.Contains(bRight)) r.Right -= width;
  if (!edges.Contains(bBottom)) r.Bottom -= width;
}

void PaintContainerShadow(TcxCanvas* canvas, const TRect& r) {
  const Integer w = cxContainerShadowWidth;
  TRect bottom(r.Left + w, r.Bottom, r.Right, r.Bottom + w);
  canvas->FillRectColor(bottom, clBtnShadow);
  canvas->ExcludeFromClip(bottom);
  TRect right(r.Right, r.Top + w, r.Right + w, r.Bottom + w);
  canvas->FillRectColor(right, clBtnShadow);
  canvas->ExcludeFromClip(right);
}

namespace {
void FrameBands(const TRect& outer, const TRect& inner, TRect bands[4]) {
  bands[0] = TRect(outer.Left, outer.Top, inner.Left, outer.Bottom);
  bands[1] = TRect(inner.Left, outer.Top, inner.Right, inner.Top);
  bands[2] = TRect(inner.Right, outer.Top, outer.Right, outer.Bottom);
  bands[3] = TRect(inner.Left, inner.Bottom, inner.Right, outer.Bottom);
}
}  // namespace

void FillFrameBetween(TcxCanvas* canvas, const TRect& outer, const TRect& inner, TColor color) {
  if (outer.IsEmpty() || outer == inner) return;
  canvas->SetBrushColor(color);
  if (inner.IsEmpty()) {
    canvas->FillRectColor(outer);
    return;
  }
  TRect bands[4];
  FrameBands(outer, inner, bands);
  for (const TRect& b : bands) canvas->FillRectColor(b);
}

void InvalidateAroundRect(HWND wnd, const TRect& outer, const TRect& inner, bool erase) {
  if (!wnd) return;
  if (inner.IsEmpty()) {
    RECT r = outer;
    InvalidateRect(wnd, &r, erase);
    return;
  }
  TRect bands[4];
  FrameBands(outer, inner, bands);
  for (const TRect& b : bands) {
    if (b.IsEmpty()) continue;
    RECT r = b;
    InvalidateRect(wnd, &r, erase);
  }
}

void InvalidateControlArea(TWinControl* control, const TRect& r, bool erase) {
  if (!control || !control->HandleAllocated()) return;
  RECT rr = r;
  InvalidateRect(control->Handle(), &rr, erase);
}

HRGN BuildFrameRegion(HWND, const TRect& r, bool noRegion, const TRect& cutOut, bool shadow) {
  if (noRegion) return nullptr;
  HRGN rgn = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
  if (shadow) {
    HRGN s = CreateRectRgn(r.Left + cxContainerShadowWidth, r.Top + cxContainerShadowWidth,
                           r.Right + cxContainerShadowWidth, r.Bottom + cxContainerShadowWidth);
    CombineRgn(rgn, rgn, s, RGN_OR);
    DeleteObject(s);
  }
  if (!cutOut.IsEmpty()) {
    HRGN c = CreateRectRgn(cutOut.Left, cutOut.Top, cutOut.Right, cutOut.Bottom);
    CombineRgn(rgn, rgn, c, RGN_DIFF);
    DeleteObject(c);
  }
  return rgn;
}

void UpdateWindowRegion(HWND wnd, const TRect& r, bool noRegion, const TRect& cutOut, bool shadow) {
  HRGN wanted = BuildFrameRegion(wnd, r, noRegion, cutOut, shadow);
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  bool hasCurrent = GetWindowRgn(wnd, current) != ERROR;
  bool differ;
  if (!wanted) differ = hasCurrent;
  else differ = !hasCurrent || !EqualRgn(wanted, current);
  DeleteObject(current);
  if ((wanted || hasCurrent) && differ) {
    SetWindowRgn(wnd, wanted, TRUE);  // the window owns the region now
  } else if (wanted) {
    DeleteObject(wanted);
  }
}

void InnerRegionOf(TWinControl* control, const TcxContainerInnerControlBounds& bounds) {
  if (!control || !control->HandleAllocated()) return;
  if (bounds.IsEmpty) {
    SetWindowRgn(control->Handle(), nullptr, TRUE);
  } else {
    const TRect& r = bounds.Rect;
    SetWindowRgn(control->Handle(), CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom), TRUE);
  }
}

bool CanPaintNatively(bool nativeStyle, TdxThemeClass themeClass) {
  return nativeStyle && OpenThemeCached(themeClass) != 0;
}

bool StringsEqual(const String& s1, const String& s2, bool caseSensitive) {
  if (caseSensitive) return AnsiCompareStr(s1, s2) == 0;
  return AnsiUpperCase(s1) == AnsiUpperCase(s2);
}

void ReadCursorPos(TPoint& p) {
  POINT pt{};
  GetCursorPos(&pt);
  p = TPoint(pt.X, pt.Y);
}

TShiftState CurrentShiftState() {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  TShiftState s;
  if (keys[VK_SHIFT] & 0x80) s += ssShift;
  if (keys[VK_MENU] & 0x80) s += ssAlt;
  if (keys[VK_CONTROL] & 0x80) s += ssCtrl;
  if (keys[VK_LBUTTON] & 0x80) s += ssLeft;
  if (keys[VK_RBUTTON] & 0x80) s += ssRight;
  if (keys[VK_MBUTTON] & 0x80) s += ssMiddle;
  return s;
}

bool PurgeMessages(HWND wnd, UINT first, UINT last, bool all) {
  bool removed = false;
  MSG msg;
  while (PeekMessage(&msg, wnd, first, last, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    removed = true;
    if (!all) break;
  }
  return removed;
}

HWND TopLevelWindowOf(HWND wnd) {
  while (wnd) {
    if (!(GetWindowLong(wnd, GWL_STYLE) & WS_CHILD)) return wnd;
    wnd = GetParent(wnd);
  }
  return nullptr;
}

bool IsWindowShown(TWinControl* control) {
  return control && control->HandleAllocated() && IsWindowVisible(control->Handle());
}

void CopyFontFrom(TFont* destination, TFont* source) {
  if (destination && source) destination->Assign(source);
}

void RecreateWindowOf(TWinControl* control) {
  if (control) control->RecreateWnd();
}

namespace {
TcxScreenCanvas* gScreenCanvas = nullptr;
}

TcxScreenCanvas* SharedScreenCanvas() {
  InitializeCxContainer();
  return gScreenCanvas;
}

// ---- view info -------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxContainerViewInfo)

TcxContainerViewInfo* TcxContainerViewInfo::CreateOfClass(TClass cls) {
  if (!cls || !cls->InheritsFrom(StaticClass())) throw EInvalidCast("Invalid class typecast");
  return static_cast<TcxContainerViewInfo*>(cls->Create());
}

void TcxContainerViewInfo::DrawFrame(TcxCanvas* canvas, const TRect& r) {
  switch (FrameStyle) {
    case cbsSingle:
    case cbsThick: canvas->DrawFrameSides(r, FrameColor, FrameThickness); break;
    case cbsFlat: {
      canvas->DrawBevelEdge(r, true, true, FrameSides);
      TRect in = GrowRect(r, -1, -1);
      canvas->DrawFrameSides(in, clBtnFace, 1);
      break;
    }
    case cbs3D: {
      canvas->DrawBevelEdge(r, true, true, FrameSides);
      TRect in = GrowRect(r, -1, -1);
      canvas->DrawTwoColorFrame(in, cl3DDkShadow, cl3DLight, FrameSides, 1);
      break;
    }
    default: break;
  }
}

void TcxContainerViewInfo::PaintFrameAndFill(TcxCanvas* canvas) {
  if (UsesTheme) {
    if (FrameStyle == cbsNone) {
      canvas->FillRectColor(OuterRect, FillColor);
      return;
    }
    HTHEME theme = OpenThemeCached(ThemeClassIndex);
    TRect content = OuterRect;
    if (theme) UxGetThemeBackgroundContentRect(theme, canvas->DeviceContext(), ThemePart, ThemeState, OuterRect, content);
    canvas->FillRectColor(content, FillColor);
    COLORREF frame = ColorToRGB(clWindowFrame);
    if (HTHEME combo = OpenThemeCached(tcComboBox)) UxGetThemeColor(combo, 1, 1, 3801, frame);
    FillFrameBetween(canvas, OuterRect, content, TColor(frame));
    return;
  }
  TRect r = InteriorRect;
  r.Left -= FrameThickness;
  r.Top -= FrameThickness;
  if (FrameSides.Contains(bRight)) r.Right += FrameThickness;
  if (FrameSides.Contains(bBottom)) r.Bottom += FrameThickness;
  if (HasShadow) PaintContainerShadow(canvas, r);
  if (!FrameSides.Contains(bRight)) r.Right += FrameThickness;
  if (!FrameSides.Contains(bBottom)) r.Bottom += FrameThickness;
  DrawFrame(canvas, r);
  canvas->SetBrushColor(FillColor);
  canvas->FillBackground(InteriorRect);
}

void TcxContainerViewInfo::CopyLayoutFrom(TcxContainerViewInfo* other) {
  if (other) ClientArea = other->ClientArea;
}

TcxRegion* TcxContainerViewInfo::CreateChangedRegion(TcxContainerViewInfo*) { return TcxRegion::CreateEmpty(); }

void TcxContainerViewInfo::TranslateBy(Integer dx, Integer dy) {
  InteriorRect = ShiftedRect(InteriorRect, dx, dy);
  OuterRect = ShiftedRect(OuterRect, dx, dy);
  ClientArea = ShiftedRect(ClientArea, dx, dy);
}

// ---- styles ----------------------------------------------------------------------------------

namespace {
PTypeInfo ContainerBorderStyleType() {
  static PTypeInfo t = EnumTypeInfo(
      "TcxContainerBorderStyle", {"cbsNone", "cbsSingle", "cbsThick", "cbsFlat", "cbs3D", "cbsUltraFlat", "cbsOffice11"});
  return t;
}
PTypeInfo BordersType() {
  static PTypeInfo t = SetTypeInfo("TcxBorders", EnumTypeInfo("TcxBorder", {"bLeft", "bTop", "bRight", "bBottom"}));
  return t;
}
PTypeInfo FontStylesType() {
  static PTypeInfo t =
      SetTypeInfo("TFontStyles", EnumTypeInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}));
  return t;
}
PTypeInfo StyleValuesType() {
  static PTypeInfo t = [] {
    std::vector<String> names = {"svBorderColor", "svBorderStyle", "svColor",     "svEdges",     "svFont",
                                 "svHotTrack",    "svShadow",      "svTextColor", "svTextStyle", "svTransparentBorder"};
    for (int i = 10; i < 32; ++i) names.push_back("sv" + std::to_string(i));
    return SetTypeInfo("TcxContainerStyleValues", EnumTypeInfo("TcxContainerStyleValue", names));
  }();
  return t;
}
// The style's getters resolve along the controller chain and are not const.
template <class R>
auto Resolved(R (TcxContainerStyle::*get)()) {
  return [get](const TcxContainerStyle* s) { return (const_cast<TcxContainerStyle*>(s)->*get)(); };
}
}  // namespace

// Every value is stored only while assigned (the stored functions); the assigned set itself
// follows from the values read, so it is not written.
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxContainerStyle) {
  using S = TcxContainerStyle;
  p.Set("AssignedValues", &S::AssignedValues, &S::SetAssignedValues, StyleValuesType()).Stored(false);
  p.Int("BorderColor", Resolved(&S::BorderColor), &S::SetBorderColor).Stored(&S::IsBorderColorStored);
  p.Enum("BorderStyle", Resolved(&S::BorderStyle), &S::SetBorderStyle, ContainerBorderStyleType())
      .Stored(&S::IsBorderStyleStored);
  p.Int("Color", Resolved(&S::Color), &S::SetColor).Stored(&S::IsColorStored);
  p.Set("Edges", Resolved(&S::Edges), &S::SetEdges, BordersType()).Stored(&S::IsEdgesStored);
  p.Object("Font", Resolved(&S::Font), &S::SetFont, TFont::StaticClass()).Stored(&S::IsFontStored);
  p.Bool("HotTrack", Resolved(&S::HotTrack), &S::SetHotTrack).Stored(&S::IsHotTrackStored);
  // State styles share the base style's look and feel: only the base style stores it.
  p.Object("LookAndFeel", Resolved(&S::LookAndFeel), &S::SetLookAndFeel, TcxLookAndFeel::StaticClass())
      .Stored(&S::IsBaseStyleConst);
  p.Bool("Shadow", Resolved(&S::Shadow), &S::SetShadow).Stored(&S::IsShadowStored);
  p.Object("StyleController", Resolved(&S::StyleController), &S::SetStyleController,
           TcxStyleController::StaticClass())
      .Stored(&S::IsStyleControllerStored);
  p.Int("TextColor", Resolved(&S::TextColor), &S::SetTextColor).Stored(&S::IsTextColorStored);
  p.Set("TextStyle", Resolved(&S::TextStyle), &S::SetTextStyle, FontStylesType()).Stored(&S::IsTextStyleStored);
  p.Bool("TransparentBorder", Resolved(&S::TransparentBorder), &S::SetTransparentBorder)
      .Stored(&S::IsTransparentBorderStored);
}

namespace {
const char* const kStyleValueNames[] = {"BorderColor", "BorderStyle", "Color",    "Edges",     "Font",
                                        "HotTrack",    "Shadow",      "TextColor", "TextStyle", "TransparentBorder"};

TcxContainerBorderStyle RaisedBorderStyle(TcxContainerBorderStyle s) {
  static const TcxContainerBorderStyle raised[] = {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsUltraFlat, cbsOffice11};
  return raised[s];
}
}  // namespace

TcxStyleController* GlobalStyleController = nullptr;

TcxContainerStyle::TcxContainerStyle(TPersistent* owner, bool detached, TcxContainerStyle* baseStyle,
                                     TcxContainerStyleState state)
    : detached_(detached), ownerObject_(owner), state_(state) {
  if (state != cssNormal) baseStyle_ = baseStyle;
  if (detached_) assignedValues_ = {svColor, svFont, svTextColor, svTextStyle};
  if (IsBaseStyle() && !detached_) {
    font_ = new TFont();
    font_->OnChange = [this](TObject* s) { HandleFontChange(s); };
  }
  displayFont_ = std::make_unique<TFont>();
  if (IsBaseStyle()) {
    lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
    lookAndFeel_->OnLookAndFeelChanged = [this](TcxLookAndFeel* s, const TcxLookAndFeelValues& v) {
      HandleLookAndFeelChange(s, v);
    };
    SetStyleController(DefaultStyleController());
  }
}

TcxContainerStyle::~TcxContainerStyle() {
  beingFreed_ = true;
  if (IsBaseStyle() && styleController_) styleController_->RemoveStyleListener(this);
  lookAndFeel_.reset();
  displayFont_.reset();
  if (IsBaseStyle() && !detached_) delete font_;
  font_ = nullptr;
}

TcxContainer* TcxContainerStyle::OwnerContainer() const { return dynamic_cast<TcxContainer*>(ownerObject_); }

void TcxContainerStyle::EndUpdate() {
  if (updateDepth_ > 0) --updateDepth_;
  FlushChange();
}

void TcxContainerStyle::NotifyChanged() {
  changePending_ = true;
  FlushChange();
}

void TcxContainerStyle::FlushChange() {
  if (!changePending_ || updateDepth_ != 0) return;
  changePending_ = false;
  if (!beingFreed_ && !detached_ && OnChanged) OnChanged(this);
}

void TcxContainerStyle::StyleControllerChanged() {
  RefreshFontFromController();
  NotifyChanged();
}

void TcxContainerStyle::ControllerFreed(TcxStyleController* controller) {
  if (controller == ActiveStyleController()) SetStyleController(nullptr);
}

TcxStyleController* TcxContainerStyle::DefaultStyleController() { return GlobalStyleController; }

TcxContainerStyleValues TcxContainerStyle::AssignedValues() const {
  if (!detached_) return assignedValues_;
  TcxContainerStyleValues all;
  for (Integer i = 0; i < const_cast<TcxContainerStyle*>(this)->StyleValueCount(); ++i)
    all += TcxContainerStyleValue(i);
  return all;
}

void TcxContainerStyle::SetAssignedValues(const TcxContainerStyleValues& v) {
  if (v == assignedValues_) return;
  assignedValues_ = v;
  if (IsBaseStyle()) RefreshFontFromController();
  NotifyChanged();
}

template <class T>
bool TcxContainerStyle::LookupValue(TcxContainerStyleValue v, T TcxContainerStyle::*field, T& out,
                                    bool (TcxContainerStyle::*next)(T&)) {
  if (assignedValues_.Contains(v)) {
    out = this->*field;
    return true;
  }
  if (TcxStyleController* c = ActiveStyleController()) return (c->StyleOfState(state_)->*next)(out);
  return false;
}

bool TcxContainerStyle::LookupBorderColor(TColor& v) {
  return LookupValue(svBorderColor, &TcxContainerStyle::borderColor_, v, &TcxContainerStyle::LookupBorderColor);
}
bool TcxContainerStyle::LookupBorderStyle(TcxContainerBorderStyle& v) {
  return LookupValue(svBorderStyle, &TcxContainerStyle::borderStyle_, v, &TcxContainerStyle::LookupBorderStyle);
}
bool TcxContainerStyle::LookupColor(TColor& v) {
  return LookupValue(svColor, &TcxContainerStyle::color_, v, &TcxContainerStyle::LookupColor);
}
bool TcxContainerStyle::LookupEdges(TcxBorders& v) {
  return LookupValue(svEdges, &TcxContainerStyle::edges_, v, &TcxContainerStyle::LookupEdges);
}
bool TcxContainerStyle::LookupFont(TFont*& v) {
  return LookupValue(svFont, &TcxContainerStyle::font_, v, &TcxContainerStyle::LookupFont);
}
bool TcxContainerStyle::LookupHotTrack(bool& v) {
  return LookupValue(svHotTrack, &TcxContainerStyle::hotTrack_, v, &TcxContainerStyle::LookupHotTrack);
}
bool TcxContainerStyle::LookupShadow(bool& v) {
  return LookupValue(svShadow, &TcxContainerStyle::shadow_, v, &TcxContainerStyle::LookupShadow);
}
bool TcxContainerStyle::LookupTextColor(TColor& v) {
  return LookupValue(svTextColor, &TcxContainerStyle::textColor_, v, &TcxContainerStyle::LookupTextColor);
}
bool TcxContainerStyle::LookupTextStyle(TFontStyles& v) {
  return LookupValue(svTextStyle, &TcxContainerStyle::textStyle_, v, &TcxContainerStyle::LookupTextStyle);
}
bool TcxContainerStyle::LookupTransparentBorder(bool& v) {
  return LookupValue(svTransparentBorder, &TcxContainerStyle::transparentBorder_, v,
                     &TcxContainerStyle::LookupTransparentBorder);
}

// Defaults.

TColor TcxContainerStyle::DefaultBorderColor() {
  switch (state_) {
    case cssNormal: return clWindowFrame;
    case cssDisabled: return clBtnShadow;
    default: return BaseStyle()->BorderColor();
  }
}

TcxContainerBorderStyle TcxContainerStyle::DefaultBorderStyle() {
  if (IsBaseStyle()) {
    switch (LookAndFeel()->Kind()) {
      case lfFlat: return cbsFlat;
      case lfStandard: return cbs3D;
      case lfUltraFlat: return cbsUltraFlat;
      default: return cbsOffice11;
    }
  }
  TcxContainerBorderStyle base = BaseStyle()->BorderStyle();
  if (state_ == cssDisabled) return base;
  return HotTrack() ? RaisedBorderStyle(base) : base;
}

TColor TcxContainerStyle::DefaultColor() {
  TcxContainer* c = BaseStyle()->OwnerContainer();
  bool p = !c || c->DefaultParentColor();
  switch (state_) {
    case cssNormal: return p ? clBtnFace : clWindow;
    case cssDisabled: return !p ? clBtnFace : BaseStyle()->GetColor();
    default: return BaseStyle()->GetColor();
  }
}

TColor TcxContainerStyle::DefaultTextColor() {
  switch (state_) {
    case cssNormal: return font_ ? font_->Color() : clWindowText;
    case cssDisabled: return clBtnShadow;
    default: return BaseStyle()->EffectiveTextColor();
  }
}

TFontStyles TcxContainerStyle::DefaultTextStyle() {
  if (IsBaseStyle()) return font_ ? font_->Style() : TFontStyles();
  return BaseStyle()->EffectiveTextStyle();
}

TcxContainerStyleValues TcxContainerStyle::SharedStyleValues() {
  return {svEdges, svFont, svHotTrack, svShadow, svTransparentBorder};
}

bool TcxContainerStyle::StyleValueNameOf(Integer index, String& name) {
  name.clear();
  if (index < 0 || index >= 10) return false;
  name = kStyleValueNames[index];
  return true;
}

bool TcxContainerStyle::ReadStyleValue(Integer index) {
  TColor c;
  TcxContainerBorderStyle bs;
  TcxBorders e;
  TFont* f;
  bool b;
  TFontStyles ts;
  switch (index) {
    case svBorderColor: return LookupBorderColor(c);
    case svBorderStyle: return LookupBorderStyle(bs);
    case svColor: return LookupColor(c);
    case svEdges: return BaseStyle()->LookupEdges(e);
    case svFont: return BaseStyle()->LookupFont(f);
    case svHotTrack: return BaseStyle()->LookupHotTrack(b);
    case svShadow: return BaseStyle()->LookupShadow(b);
    case svTextColor: return LookupTextColor(c);
    case svTextStyle: return LookupTextStyle(ts);
    case svTransparentBorder: return BaseStyle()->LookupTransparentBorder(b);
    default: return false;
  }
}

// Getters.

TColor TcxContainerStyle::BorderColor() {
  if (detached_) return clDefault;
  TColor c;
  return LookupBorderColor(c) ? c : DefaultBorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::BorderStyle() {
  if (detached_) return assignedValues_.Contains(svBorderStyle) ? borderStyle_ : DefaultBorderStyle();
  TcxContainerBorderStyle s;
  return LookupBorderStyle(s) ? s : DefaultBorderStyle();
}

TColor TcxContainerStyle::GetColor() {
  if (detached_) return color_;
  if (IsBaseStyle()) {
    TcxContainer* c = OwnerContainer();
    if (c && c->ParentColor() && c->Parent()) return c->Parent()->Color();
  }
  TColor v;
  return LookupColor(v) ? v : DefaultColor();
}

TcxBorders TcxContainerStyle::Edges() {
  if (detached_) return {};
  if (!IsBaseStyle()) return BaseStyle()->Edges();
  TcxBorders e;
  return LookupEdges(e) ? e : DefaultEdges();
}

TFont* TcxContainerStyle::Font() {
  if (detached_) return font_;
  return BaseStyle()->font_;
}

bool TcxContainerStyle::HotTrack() {
  if (detached_) return assignedValues_.Contains(svHotTrack) ? hotTrack_ : DefaultHotTrack();
  if (!IsBaseStyle()) return BaseStyle()->HotTrack();
  bool v;
  return LookupHotTrack(v) ? v : DefaultHotTrack();
}

bool TcxContainerStyle::Shadow() {
  if (detached_) return false;
  if (!IsBaseStyle()) return BaseStyle()->Shadow();
  bool v;
  return LookupShadow(v) ? v : DefaultShadow();
}

TColor TcxContainerStyle::EffectiveTextColor() {
  if (detached_) return textColor_;
  TColor c;
  return LookupTextColor(c) ? c : DefaultTextColor();
}

TFontStyles TcxContainerStyle::EffectiveTextStyle() {
  if (detached_) return font_ ? font_->Style() : TFontStyles();
  TFontStyles s;
  return LookupTextStyle(s) ? s : DefaultTextStyle();
}

bool TcxContainerStyle::TransparentBorder() {
  if (detached_) return true;
  if (!IsBaseStyle()) return BaseStyle()->TransparentBorder();
  bool v;
  return LookupTransparentBorder(v) ? v : DefaultTransparentBorder();
}

TColor TcxContainerStyle::ControlColor() { return GetColor(); }

// Setters.

void TcxContainerStyle::SetBorderColor(TColor v) {
  if (assignedValues_.Contains(svBorderColor) && borderColor_ == v) return;
  borderColor_ = v;
  assignedValues_ += svBorderColor;
  NotifyChanged();
}

void TcxContainerStyle::SetBorderStyle(TcxContainerBorderStyle v) {
  if (v < cbsNone || v > cbsOffice11)
    throw EPropertyError("Invalid property value " + IntToStr(Integer(v)) + " for 'BorderStyle'");
  if (assignedValues_.Contains(svBorderStyle) && borderStyle_ == v) return;
  borderStyle_ = v;
  assignedValues_ += svBorderStyle;
  NotifyChanged();
}

void TcxContainerStyle::SetColor(TColor v) {
  if (assignedValues_.Contains(svColor) && color_ == v) return;
  color_ = v;
  assignedValues_ += svColor;
  NotifyChanged();
}

void TcxContainerStyle::SetTextColor(TColor v) {
  if (assignedValues_.Contains(svTextColor) && EffectiveTextColor() == v) return;
  textColor_ = v;
  assignedValues_ += svTextColor;
  NotifyChanged();
}

void TcxContainerStyle::SetTextStyle(const TFontStyles& v) {
  if (assignedValues_.Contains(svTextStyle) && EffectiveTextStyle() == v) return;
  textStyle_ = v;
  assignedValues_ += svTextStyle;
  NotifyChanged();
}

void TcxContainerStyle::SetEdges(const TcxBorders& v) {
  if (!IsBaseStyle()) return BaseStyle()->SetEdges(v);
  if (assignedValues_.Contains(svEdges) && edges_ == v) return;
  edges_ = v;
  assignedValues_ += svEdges;
  NotifyChanged();
}

void TcxContainerStyle::SetHotTrack(bool v) {
  if (!IsBaseStyle()) return BaseStyle()->SetHotTrack(v);
  if (assignedValues_.Contains(svHotTrack) && hotTrack_ == v) return;
  hotTrack_ = v;
  assignedValues_ += svHotTrack;
  NotifyChanged();
}

void TcxContainerStyle::SetShadow(bool v) {
  if (!IsBaseStyle()) return BaseStyle()->SetShadow(v);
  if (assignedValues_.Contains(svShadow) && shadow_ == v) return;
  shadow_ = v;
  assignedValues_ += svShadow;
  NotifyChanged();
}

void TcxContainerStyle::SetTransparentBorder(bool v) {
  if (!IsBaseStyle()) return BaseStyle()->SetTransparentBorder(v);
  if (assignedValues_.Contains(svTransparentBorder) && transparentBorder_ == v) return;
  transparentBorder_ = v;
  assignedValues_ += svTransparentBorder;
  NotifyChanged();
}

void TcxContainerStyle::SetFont(TFont* v) {
  if (detached_) {
    font_ = v;
    return;
  }
  if (!IsBaseStyle()) return BaseStyle()->SetFont(v);
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  if (v && v != font_) font_->Assign(v);
  assignedValues_ += svFont;
  NotifyChanged();
}

void TcxContainerStyle::SetLookAndFeel(TcxLookAndFeel* v) {
  if (!IsBaseStyle()) return BaseStyle()->SetLookAndFeel(v);
  if (v) lookAndFeel_->Assign(v);
}

TcxStyleController* TcxContainerStyle::StyleController() {
  if (!IsBaseStyle()) return BaseStyle()->StyleController();
  return styleController_ == GlobalStyleController ? nullptr : styleController_;
}

void TcxContainerStyle::SetStyleController(TcxStyleController* c) {
  if (!IsBaseStyle()) return BaseStyle()->SetStyleController(c);
  TcxStyleController* g = DefaultStyleController();
  if (g && static_cast<TPersistent*>(g) == ownerObject_) return;
  if (!c) c = g;
  for (TcxStyleController* k = c; k;) {
    if (k->BaseStyle() == this) return;  // a controller would style itself
    k = k->BaseStyle()->StyleController();
  }
  if (c == styleController_) return;
  if (styleController_) styleController_->RemoveStyleListener(this);
  styleController_ = c;
  if (c) c->AddStyleListener(this);
  StyleControllerChanged();
}

void TcxContainerStyle::HandleFontChange(TObject*) {
  if (!IsFontAssignmentLocked()) assignedValues_ += svFont;
  NotifyChanged();
}

void TcxContainerStyle::LockFontAssignment(bool lock) {
  if (lock) ++fontAssignmentLock_;
  else if (fontAssignmentLock_ > 0) --fontAssignmentLock_;
}

void TcxContainerStyle::ResetFont(TFont* font) {
  if (!font) return;
  TFont fresh;
  font->Assign(&fresh);
}

void TcxContainerStyle::RefreshFontFromController() {
  if (detached_ || !IsBaseStyle() || assignedValues_.Contains(svFont)) return;
  LockFontAssignment(true);
  TScopeExit unlock([this] { LockFontAssignment(false); });
  TFont* f = nullptr;
  if (LookupFont(f) && f) {
    font_->Assign(f);
    if (TcxContainer* c = OwnerContainer()) c->ScaleControllerFont(font_);
  } else {
    TcxContainer* c = OwnerContainer();
    if (!c || !c->ParentFont()) ResetFont(font_);
  }
}

TFont* TcxContainerStyle::DisplayFont() {
  if (TFont* f = Font()) displayFont_->Assign(f);
  displayFont_->SetColor(EffectiveTextColor());
  displayFont_->SetStyle(EffectiveTextStyle());
  return displayFont_.get();
}

void TcxContainerStyle::AssignFrom(TPersistent* source) {
  auto* s = dynamic_cast<TcxContainerStyle*>(source);
  if (!s) {
    TPersistent::Assign(source);
    return;
  }
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  if (IsBaseStyle()) {
    SetStyleController(s->StyleController());
    if (s->LookAndFeel()) SetLookAndFeel(s->LookAndFeel());
  }
  borderColor_ = s->borderColor_;
  borderStyle_ = s->borderStyle_;
  edges_ = s->edges_;
  hotTrack_ = s->hotTrack_;
  shadow_ = s->shadow_;
  transparentBorder_ = s->transparentBorder_;
  color_ = s->color_;
  if (detached_) {
    font_ = s->Font();
    textColor_ = s->EffectiveTextColor();
  } else {
    if (font_ && s->Font()) {
      LockFontAssignment(true);
      font_->Assign(s->Font());
      if (s->detached_) font_->SetColor(s->EffectiveTextColor());
      LockFontAssignment(false);
    }
    textColor_ = s->EffectiveTextColor();
    textStyle_ = s->EffectiveTextStyle();
  }
  assignedValues_ = s->assignedValues_;
  NotifyChanged();
}

void TcxContainerStyle::RestoreDefaults() {
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  SetAssignedValues({});
  TcxContainer* c = OwnerContainer();
  if (IsBaseStyle()) {
    lookAndFeel_->ResetAssignedValues();
    if (c) {
      c->SetParentColor(false);
      c->SetParentFont(true);
    } else if (!detached_) {
      ResetFont(font_);
    }
  }
  if (c && c->DefaultParentColor()) {
    TcxStyleController* ac = ActiveStyleController();
    if (!(ac && ac->BaseStyle()->ReadStyleValue(svColor))) c->SetParentColor(true);
  }
}

bool TcxContainerStyle::FindStyleValue(const String& name, Integer& index) {
  String n;
  for (Integer i = 0; i < StyleValueCount(); ++i)
    if (StyleValueNameOf(i, n) && StringsEqual(n, name, false)) {
      index = i;
      return true;
    }
  return false;
}

bool TcxContainerStyle::IsStateSpecificProperty(const String& name) {
  if (name == "LookAndFeel" || name == "StyleController") return false;
  Integer i;
  if (!FindStyleValue(name, i)) return true;
  return !SharedStyleValues().Contains(TcxContainerStyleValue(i));
}

bool TcxContainerStyle::IsValueStored(TcxContainerStyleValue v) {
  if (!assignedValues_.Contains(v)) return false;
  TcxContainer* c = BaseStyle()->OwnerContainer();
  if (!c) return true;
  String name;
  StyleValueNameOf(v, name);
  bool r = state_ != cssNormal ? BaseStyle()->IsStateSpecificProperty(name) : true;
  Integer i;
  if (r && FindStyleValue(name, i)) r = !c->UnstoredStyleValues().Contains(TcxContainerStyleValue(i));
  return r;
}

void TcxContainerStyle::DefineProperties(TFiler* filer) {
  TPersistent::DefineProperties(filer);
  filer->DefineProperty(
      "IsFontAssigned",
      [this](TReader& reader) {
        reader.ReadBoolean();
        assignedValues_ += svFont;
      },
      [](TWriter& writer) { writer.WriteBoolean(true); }, IsValueStored(svFont));
}

// ---- styles object ---------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxContainerStyles)

TcxContainerStyles::TcxContainerStyles(TPersistent* owner, TcxContainerStyle::TFactory styleClass) {
  styles_[cssNormal] = styleClass(owner, false, nullptr, cssNormal);
  for (auto s : {cssFocused, cssDisabled, cssHot}) styles_[s] = styleClass(owner, false, styles_[cssNormal], s);
}

TcxContainerStyles::~TcxContainerStyles() {
  for (Integer i = 3; i >= 0; --i) delete styles_[i];
}

void TcxContainerStyles::SetChangeHandler(const TNotifyEvent& handler) {
  for (auto* s : styles_) s->OnChanged = handler;
}

// ---- style controller ------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxStyleController) {
  // Read and ignored: descendants publish the styles themselves.
  p.Object("FakeStyleController", &TcxStyleController::FakeStyleController,
           &TcxStyleController::SetFakeStyleController, TcxStyleController::StaticClass())
      .Stored(false);
}

TcxStyleController::TcxStyleController(TComponent* owner) : TComponent(owner) {}

TcxContainerStyles* TcxStyleController::StateStyles() const {
  if (!styles_ && !beingFreed_) {
    auto* self = const_cast<TcxStyleController*>(this);
    styles_.reset(self->StylesClass()(self, self->StyleClass()));
    styles_->SetChangeHandler([self](TObject*) { self->NotifyStylesChanged(); });
  }
  return styles_.get();
}

TcxStyleController::~TcxStyleController() {
  beingFreed_ = true;
  for (Integer i = Integer(listeners_.size()) - 1; i >= 0; --i)
    if (i < Integer(listeners_.size())) listeners_[size_t(i)]->ControllerFreed(this);
  styles_.reset();
  listeners_.clear();
}

void TcxStyleController::Loaded() {
  TComponent::Loaded();
  NotifyStylesChanged();
}

void TcxStyleController::AddStyleListener(TcxContainerStyle* style) {
  if (!style || std::find(listeners_.begin(), listeners_.end(), style) != listeners_.end()) return;
  listeners_.push_back(style);
  style->LookAndFeel()->AttachToMaster(BaseStyle()->LookAndFeel());
}

void TcxStyleController::RemoveStyleListener(TcxContainerStyle* style) {
  auto it = std::find(listeners_.begin(), listeners_.end(), style);
  if (it == listeners_.end()) return;
  listeners_.erase(it);
  if (!beingFreed_ || styles_) style->LookAndFeel()->AttachToMaster(nullptr);
}

void TcxStyleController::NotifyStylesChanged() {
  if (OnStyleChanged) OnStyleChanged(this);
  if (beingFreed_) return;
  std::vector<TcxContainerStyle*> copy = listeners_;
  for (auto* s : copy)
    if (std::find(listeners_.begin(), listeners_.end(), s) != listeners_.end()) s->StyleControllerChanged();
}

void TcxStyleController::ScaleFont(Integer m, Integer d) {
  TcxContainerStyle* b = BaseStyle();
  if (b->StoredAssignedValues().Contains(svFont)) {
    if (fontScaled_) return;
    fontScaled_ = true;
    b->Font()->SetSize(MulDiv(b->Font()->Size(), m, d));
  } else if (TcxStyleController* c = b->ActiveStyleController()) {
    c->ScaleFont(m, d);
  }
}

void InitializeGlobalStyleController() {
  InitUnit(
      "cxEditStyleController",
      [] {
        InitializeCxContainer();
        GlobalStyleController = new TcxStyleController(nullptr);
        GlobalStyleController->StateStyles();  // made now, not in the middle of a later action
      },
      [] { FinalizeGlobalStyleController(); });
}

void FinalizeGlobalStyleController() {
  TcxStyleController* c = GlobalStyleController;
  GlobalStyleController = nullptr;
  if (c) c->Free();
}

// ---- unit start ------------------------------------------------------------------------------

namespace cxcontainer_internal {
void InstallPopupHooks();
void RemovePopupHooks();
}  // namespace cxcontainer_internal

void InitializeCxContainer() {
  InitUnit(
      "cxContainer",
      [] {
        InitializeCxControls();
        InitializeCxLookAndFeelPainters();
        RegisterClass(TcxStyleController::StaticClass());
        cxcontainer_internal::InstallPopupHooks();
        gScreenCanvas = new TcxScreenCanvas();
      },
      [] {
        delete gScreenCanvas;
        gScreenCanvas = nullptr;
        cxcontainer_internal::RemovePopupHooks();
      });
}
