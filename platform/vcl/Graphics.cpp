#include "vcl/Graphics.h"

#include <jpeglib.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/Consts.h"

// ---- colours -------------------------------------------------------------------------------

namespace {
struct ColorName {
  TColor Value;
  const char* Name;
};
const ColorName kColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
    {clMedGray, "clMedGray"}, {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"}, {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"}, {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"}, {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"}, {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"}, {clMenu, "clMenu"}, {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"}, {clMenuText, "clMenuText"}, {clNone, "clNone"},
    {clScrollBar, "clScrollBar"}, {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"},
};
}  // namespace

COLORREF ColorToRGB(TColor color) {
  if (color < 0) return GetSysColor(color & 0xFF);
  return COLORREF(color);
}

bool ColorToIdent(TColor color, String& ident) {
  for (const ColorName& c : kColorNames)
    if (c.Value == color) { ident = c.Name; return true; }
  return false;
}

bool IdentToColor(const String& ident, TColor& color) {
  for (const ColorName& c : kColorNames)
    if (SameText(ident, c.Name)) { color = c.Value; return true; }
  return false;
}

String ColorToString(TColor color) {
  String s;
  if (ColorToIdent(color, s)) return s;
  return "$" + IntToHex(Int64(uint32_t(color)), 8);
}

TColor StringToColor(const String& s) {
  TColor c;
  if (IdentToColor(s, c)) return c;
  return TColor(StrToInt(s));
}

namespace {
const std::pair<Integer, const char*> kCharsets[] = {
    {0, "ANSI_CHARSET"}, {1, "DEFAULT_CHARSET"}, {2, "SYMBOL_CHARSET"}, {77, "MAC_CHARSET"},
    {128, "SHIFTJIS_CHARSET"}, {129, "HANGEUL_CHARSET"}, {130, "JOHAB_CHARSET"}, {134, "GB2312_CHARSET"},
    {136, "CHINESEBIG5_CHARSET"}, {161, "GREEK_CHARSET"}, {162, "TURKISH_CHARSET"}, {163, "VIETNAMESE_CHARSET"},
    {177, "HEBREW_CHARSET"}, {178, "ARABIC_CHARSET"}, {186, "BALTIC_CHARSET"}, {204, "RUSSIAN_CHARSET"},
    {222, "THAI_CHARSET"}, {238, "EASTEUROPE_CHARSET"}, {255, "OEM_CHARSET"},
};
}  // namespace

bool CharsetToIdent(Integer charset, String& ident) {
  for (auto& [v, n] : kCharsets)
    if (v == charset) { ident = n; return true; }
  return false;
}

bool IdentToCharset(const String& ident, Integer& charset) {
  for (auto& [v, n] : kCharsets)
    if (SameText(ident, n)) { charset = v; return true; }
  return false;
}

// ---- graphics objects ----------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TGraphicsObject)

TGraphicsObject::~TGraphicsObject() { DropHandle(); }

void TGraphicsObject::DropHandle() {
  if (handle_) {
    DeleteObject(handle_);
    handle_ = nullptr;
  }
}

void TGraphicsObject::Changed() {
  // The listener (a canvas) deselects the old handle before it is deleted.
  HGDIOBJ old = handle_;
  handle_ = nullptr;
  if (OnChange) OnChange(this);
  if (old) DeleteObject(old);
}

namespace {
PTypeInfo FontStyleType() {
  static PTypeInfo t = SetTypeInfo("TFontStyles", EnumTypeInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}));
  return t;
}
PTypeInfo FontPitchType() { return EnumTypeInfo("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}); }
PTypeInfo PenStyleType() {
  return EnumTypeInfo("TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"});
}
PTypeInfo PenModeType() {
  return EnumTypeInfo("TPenMode", {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                                   "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask",
                                   "pmNotMask", "pmXor", "pmNotXor"});
}
PTypeInfo BrushStyleType() {
  return EnumTypeInfo("TBrushStyle", {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
                                      "bsCross", "bsDiagCross"});
}
}  // namespace

PTypeInfo ColorTypeInfo();

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TFont) {
  p.Int("Charset", &TFont::Charset, &TFont::SetCharset).Default(DEFAULT_CHARSET);
  p.Int("Color", &TFont::Color, &TFont::SetColor).Default(clWindowText);
  p.Int("Height", &TFont::Height, &TFont::SetHeight);
  p.Str("Name", &TFont::Name, &TFont::SetName);
  p.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, FontPitchType()).Default(fpDefault);
  p.Int("Size", &TFont::Size, &TFont::SetSize).Stored(false);
  p.Set("Style", &TFont::Style, &TFont::SetStyle, FontStyleType()).Default(0);
}

TFont::TFont() = default;

void TFont::Assign(TPersistent* source) {
  if (auto* f = dynamic_cast<TFont*>(source)) {
    if (IsEqual(*f)) return;
    name_ = f->name_;
    height_ = f->height_;
    style_ = f->style_;
    color_ = f->color_;
    charset_ = f->charset_;
    pitch_ = f->pitch_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

bool TFont::IsEqual(const TFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ &&
         charset_ == o.charset_ && pitch_ == o.pitch_;
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONT lf;
    lf.lfHeight = height_;
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic);
    lf.lfUnderline = style_.Contains(fsUnderline);
    lf.lfStrikeOut = style_.Contains(fsStrikeOut);
    lf.lfCharSet = charset_;
    lf.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    std::strncpy(lf.lfFaceName, name_.c_str(), sizeof lf.lfFaceName - 1);
    handle_ = CreateFontIndirect(&lf);
  }
  return static_cast<HFONT>(handle_);
}

void TFont::SetHandle(HFONT font) {
  LOGFONT lf;
  if (GetObject(font, sizeof lf, &lf) == 0) return;
  name_ = lf.lfFaceName;
  height_ = lf.lfHeight;
  style_.Clear();
  if (lf.lfWeight >= FW_BOLD) style_ += fsBold;
  if (lf.lfItalic) style_ += fsItalic;
  if (lf.lfUnderline) style_ += fsUnderline;
  if (lf.lfStrikeOut) style_ += fsStrikeOut;
  charset_ = lf.lfCharSet;
  Changed();
}

void TFont::SetName(const String& v) {
  if (v.empty() || v == name_) return;
  name_ = v;
  Changed();
}
void TFont::SetHeight(Integer v) {
  if (v == height_) return;
  height_ = v;
  Changed();
}
Integer TFont::Size() const { return -MulDiv(height_, 72, ppi_); }
void TFont::SetSize(Integer v) { SetHeight(-MulDiv(v, ppi_, 72)); }
void TFont::SetStyle(const TFontStyles& v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}
void TFont::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  Changed();
}
void TFont::SetCharset(TFontCharset v) {
  if (v == charset_) return;
  charset_ = v;
  Changed();
}
void TFont::SetPitch(TFontPitch v) {
  if (v == pitch_) return;
  pitch_ = v;
  Changed();
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TPen) {
  p.Int("Color", &TPen::Color, &TPen::SetColor).Default(clBlack);
  p.Enum("Mode", &TPen::Mode, &TPen::SetMode, PenModeType()).Default(pmCopy);
  p.Enum("Style", &TPen::Style, &TPen::SetStyle, PenStyleType()).Default(psSolid);
  p.Int("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

void TPen::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TPen*>(source)) {
    color_ = o->color_;
    width_ = o->width_;
    style_ = o->style_;
    mode_ = o->mode_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

HPEN TPen::Handle() {
  if (!handle_) {
    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    handle_ = CreatePen(styles[style_], width_, ColorToRGB(color_));
  }
  return static_cast<HPEN>(handle_);
}

void TPen::SetColor(TColor v) { if (v != color_) { color_ = v; Changed(); } }
void TPen::SetWidth(Integer v) { if (v >= 0 && v != width_) { width_ = v; Changed(); } }
void TPen::SetStyle(TPenStyle v) { if (v != style_) { style_ = v; Changed(); } }
void TPen::SetMode(TPenMode v) { if (v != mode_) { mode_ = v; Changed(); } }

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TBrush) {
  p.Int("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite);
  p.Enum("Style", &TBrush::Style, &TBrush::SetStyle, BrushStyleType()).Default(bsSolid);
}

TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TBrush*>(source)) {
    color_ = o->color_;
    style_ = o->style_;
    bitmap_ = o->bitmap_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

HBRUSH TBrush::Handle() {
  if (!handle_) {
    if (bitmap_ && bitmap_->Handle()) {
      handle_ = CreatePatternBrush(bitmap_->Handle());
    } else if (style_ == bsClear) {
      handle_ = nullptr;
      return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    } else if (style_ == bsSolid) {
      handle_ = CreateSolidBrush(ColorToRGB(color_));
    } else {
      handle_ = CreateHatchBrush(int(style_) - int(bsHorizontal) + HS_HORIZONTAL, ColorToRGB(color_));
    }
  }
  return static_cast<HBRUSH>(handle_);
}

void TBrush::SetColor(TColor v) {
  if (v == color_ && style_ != bsClear) return;
  color_ = v;
  if (style_ == bsClear) style_ = bsSolid;  // choosing a colour makes the brush visible again
  Changed();
}
void TBrush::SetStyle(TBrushStyle v) { if (v != style_) { style_ = v; Changed(); } }
void TBrush::SetBitmap(TBitmap* v) { bitmap_ = v; Changed(); }

// ---- canvas --------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TCanvas)

TCanvas::TCanvas() : font_(new TFont), pen_(new TPen), brush_(new TBrush) {
  font_->OnChange = [this](TObject* s) { ObjectChanged(s); };
  pen_->OnChange = [this](TObject* s) { ObjectChanged(s); };
  brush_->OnChange = [this](TObject* s) { ObjectChanged(s); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
  Changing();
  RequiredState({csHandleValid});
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc_ == dc) return;
  if (dc_) {
    DeselectHandles();
    penPos_ = PenPos();
    dc_ = nullptr;
    state_.Exclude(csHandleValid);
  }
  if (dc) {
    state_.Include(csHandleValid);
    dc_ = dc;
    MoveToEx(dc_, penPos_.X, penPos_.Y, nullptr);
  }
}

void TCanvas::DeselectHandles() {
  if (dc_ && (state_.Contains(csFontValid) || state_.Contains(csPenValid) || state_.Contains(csBrushValid))) {
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (oldPen_) SelectObject(dc_, oldPen_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
  }
  oldFont_ = oldPen_ = oldBrush_ = nullptr;
  state_.Exclude(csFontValid);
  state_.Exclude(csPenValid);
  state_.Exclude(csBrushValid);
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::ObjectChanged(TObject* sender) {
  if (!dc_) return;
  // Put the stock object back so the old handle can be deleted.
  if (sender == font_.get() && state_.Contains(csFontValid)) {
    SelectObject(dc_, oldFont_ ? oldFont_ : GetStockObject(SYSTEM_FONT));
    oldFont_ = nullptr;
    state_.Exclude(csFontValid);
  } else if (sender == pen_.get() && state_.Contains(csPenValid)) {
    SelectObject(dc_, oldPen_ ? oldPen_ : GetStockObject(BLACK_PEN));
    oldPen_ = nullptr;
    state_.Exclude(csPenValid);
  } else if (sender == brush_.get() && state_.Contains(csBrushValid)) {
    SelectObject(dc_, oldBrush_ ? oldBrush_ : GetStockObject(WHITE_BRUSH));
    oldBrush_ = nullptr;
    state_.Exclude(csBrushValid);
  }
}

void TCanvas::RequiredState(const TCanvasState& req) {
  TCanvasState needed = req - state_;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!dc_) throw EInvalidOperation(vcl_consts::SNoCanvasHandle);
  }
  if (needed.Contains(csFontValid)) CreateFont();
  if (needed.Contains(csPenValid)) CreatePen();
  if (needed.Contains(csBrushValid)) CreateBrush();
}

void TCanvas::CreateFont() {
  HGDIOBJ old = SelectObject(dc_, font_->Handle());
  if (!oldFont_) oldFont_ = old;
  SetTextColor(dc_, ColorToRGB(font_->Color()));
  state_.Include(csFontValid);
}

void TCanvas::CreatePen() {
  static const int rops[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN,
                             R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,
                             R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN, R2_NOTXORPEN};
  HGDIOBJ old = SelectObject(dc_, pen_->Handle());
  if (!oldPen_) oldPen_ = old;
  SetROP2(dc_, rops[pen_->Mode()]);
  state_.Include(csPenValid);
}

void TCanvas::CreateBrush() {
  HGDIOBJ old = SelectObject(dc_, brush_->Handle());
  if (!oldBrush_) oldBrush_ = old;
  if (brush_->Style() == bsSolid) {
    SetBkColor(dc_, ColorToRGB(brush_->Color()));
    SetBkMode(dc_, OPAQUE);
  } else {
    // Hatches draw their gaps in the inverted brush colour, as the platform's canvas does.
    SetBkColor(dc_, ~ColorToRGB(brush_->Color()) & 0xFFFFFF);
    SetBkMode(dc_, TRANSPARENT);
  }
  state_.Include(csBrushValid);
}

void TCanvas::Changed() { if (OnChange) OnChange(this); }
void TCanvas::Changing() { if (OnChanging) OnChanging(this); }

TPoint TCanvas::PenPos() {
  if (!dc_) return penPos_;
  POINT p;
  GetCurrentPositionEx(dc_, &p);
  return p;
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  RECT r;
  GetClipBox(dc_, &r);
  return r;
}

TColor TCanvas::Pixels(Integer x, Integer y) {
  RequiredState({csHandleValid});
  COLORREF c = GetPixel(dc_, x, y);
  return c == CLR_INVALID ? clNone : TColor(c);
}

void TCanvas::SetPixels(Integer x, Integer y, TColor c) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixel(dc_, x, y, ColorToRGB(c));
  Changed();
}

void TCanvas::MoveTo(Integer x, Integer y) {
  RequiredState({csHandleValid});
  MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(Integer x, Integer y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(dc_, x, y);
  Changed();
}

void TCanvas::Rectangle(Integer x1, Integer y1, Integer x2, Integer y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(dc_, &r, brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FrameRect(dc_, &r, brush_->Handle());
  Changed();
}

void TCanvas::Ellipse(Integer x1, Integer y1, Integer x2, Integer y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Ellipse(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(Integer x1, Integer y1, Integer x2, Integer y2, Integer x3, Integer y3) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::RoundRect(dc_, x1, y1, x2, y2, x3, y3);
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polygon(dc_, points.data(), int(points.size()));
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polyline(dc_, points.data(), int(points.size()));
  Changed();
}

void TCanvas::TextOut(Integer x, Integer y, const String& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ::ExtTextOut(dc_, x, y, UINT(textFlags_), nullptr, text.data(), UINT(text.size()), nullptr);
  MoveTo(x + TextWidth(text), y);
  Changed();
}

void TCanvas::TextRect(const TRect& r, Integer x, Integer y, const String& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED | UINT(textFlags_);
  if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
  ::ExtTextOut(dc_, x, y, options, &r, text.data(), UINT(text.size()), nullptr);
  Changed();
}

void TCanvas::TextRect(TRect& r, String& text, const TTextFormat& f) {
  static const std::pair<TTextFormats, UINT> map[] = {
      {tfBottom, DT_BOTTOM}, {tfCalcRect, DT_CALCRECT}, {tfCenter, DT_CENTER},
      {tfEditControl, DT_EDITCONTROL}, {tfEndEllipsis, DT_END_ELLIPSIS},
      {tfPathEllipsis, DT_PATH_ELLIPSIS}, {tfExpandTabs, DT_EXPANDTABS},
      {tfExternalLeading, DT_EXTERNALLEADING}, {tfNoClip, DT_NOCLIP}, {tfNoPrefix, DT_NOPREFIX},
      {tfRight, DT_RIGHT}, {tfRtlReading, DT_RTLREADING}, {tfSingleLine, DT_SINGLELINE},
      {tfVerticalCenter, DT_VCENTER}, {tfWordBreak, DT_WORDBREAK}};
  UINT flags = 0;
  for (auto& [k, v] : map)
    if (f.Contains(k)) flags |= v;
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  if (brush_->Style() == bsClear || f.Contains(tfCalcRect)) {
    ::DrawText(dc_, text.c_str(), int(text.size()), &r, flags);
  } else {
    int mode = SetBkMode(dc_, TRANSPARENT);
    ::FillRect(dc_, &r, brush_->Handle());
    ::DrawText(dc_, text.c_str(), int(text.size()), &r, flags);
    SetBkMode(dc_, mode);
  }
  Changed();
}

Integer TCanvas::DrawText(const String& text, TRect& r, UINT flags) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  Integer h = ::DrawText(dc_, text.c_str(), int(text.size()), &r, flags);
  Changed();
  return h;
}

TSize TCanvas::TextExtent(const String& text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE s;
  GetTextExtentPoint32(dc_, text.data(), int(text.size()), &s);
  return s;
}

void TCanvas::Draw(Integer x, Integer y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  graphic->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& d, TCanvas* source, const TRect& s) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  HDC src = source->Handle();
  ::StretchBlt(dc_, d.Left, d.Top, d.Width(), d.Height(), src, s.Left, s.Top, s.Width(), s.Height(), DWORD(copyMode_));
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::DrawFocusRect(dc_, &r);
  Changed();
}

void TCanvas::FloodFill(Integer x, Integer y, TColor color, TFillStyle style) {
  // A four-way fill on the pixels: fsSurface fills the area of `color`, fsBorder fills up
  // to the border of `color`.
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  TRect clip = ClipRect();
  COLORREF target = ColorToRGB(color);
  COLORREF fill = ColorToRGB(brush_->Color());
  auto inside = [&](int px, int py) {
    if (!clip.Contains({px, py})) return false;
    COLORREF c = GetPixel(dc_, px, py);
    if (c == CLR_INVALID || c == fill) return false;
    return style == fsSurface ? c == target : c != target;
  };
  std::vector<TPoint> stack{{x, y}};
  while (!stack.empty()) {
    TPoint p = stack.back();
    stack.pop_back();
    if (!inside(p.X, p.Y)) continue;
    SetPixel(dc_, p.X, p.Y, fill);
    stack.push_back({p.X + 1, p.Y});
    stack.push_back({p.X - 1, p.Y});
    stack.push_back({p.X, p.Y + 1});
    stack.push_back({p.X, p.Y - 1});
  }
  Changed();
}

// ---- graphics ------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TGraphic)

void TGraphic::LoadFromFile(const String& fileName) {
  TFileStream s(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&s);
}

void TGraphic::SaveToFile(const String& fileName) {
  TFileStream s(fileName, fmCreate);
  SaveToStream(&s);
}

void TGraphic::SetTransparent(bool v) {
  if (v != transparent_) {
    transparent_ = v;
    Changed(this);
  }
}

void TGraphic::Changed(TObject*) {
  modified_ = true;
  if (OnChange) OnChange(this);
}

void TGraphic::ReadData(TStream& stream) { LoadFromStream(&stream); }
void TGraphic::WriteData(TStream& stream) { SaveToStream(&stream); }

void TGraphic::DefineProperties(TFiler* filer) {
  filer->DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, !Empty());
}

// ---- bitmap --------------------------------------------------------------------------------

namespace {
String ReadRest(TStream* stream) {
  Int64 n = stream->Size() - stream->Position();
  String data(size_t(std::max<Int64>(n, 0)), '\0');
  if (n > 0) stream->ReadBuffer(data.data(), n);
  return data;
}

// A 32-bit top-down BMP of the pixels (alpha kept in the fourth byte).
void WriteBmp(TStream* stream, const uint32_t* bits, int w, int h) {
  const uint32_t imageSize = uint32_t(w) * uint32_t(h) * 4;
  const uint32_t headerSize = 14 + 40;
  auto put16 = [&](uint16_t v) { stream->WriteWord(v); };
  auto put32 = [&](uint32_t v) { stream->WriteUInt32(v); };
  put16(0x4D42);
  put32(headerSize + imageSize);
  put32(0);
  put32(headerSize);
  put32(40);
  put32(uint32_t(w));
  put32(uint32_t(-h));
  put16(1);
  put16(32);
  put32(BI_RGB);
  put32(imageSize);
  put32(3780);
  put32(3780);
  put32(0);
  put32(0);
  if (imageSize) stream->WriteBuffer(bits, imageSize);
}

HBITMAP NewDib(int w, int h, uint32_t** bits) {
  BITMAPINFO bi;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biBitCount = 32;
  void* p = nullptr;
  HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  *bits = static_cast<uint32_t*>(p);
  return b;
}
}  // namespace

// The canvas of a bitmap: a memory device context with the bitmap selected.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap* bmp) : bitmap_(bmp) {}
  ~TBitmapCanvas() override { FreeContext(); }
  void FreeContext() {
    if (!dc_) return;
    HDC dc = dc_;
    SetHandle(nullptr);
    if (oldBitmap_) SelectObject(dc, oldBitmap_);
    oldBitmap_ = nullptr;
    DeleteDC(dc);
  }

 protected:
  void CreateHandle() override {
    if (!bitmap_->handle_) bitmap_->SetSize(std::max(bitmap_->width_, 0), std::max(bitmap_->height_, 0));
    HDC dc = CreateCompatibleDC(nullptr);
    if (bitmap_->handle_) oldBitmap_ = SelectObject(dc, bitmap_->handle_);
    SetHandle(dc);
  }

 private:
  TBitmap* bitmap_;
  HGDIOBJ oldBitmap_ = nullptr;
};

KORVAN_IMPLEMENT_CLASS(TBitmap)

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  Deselect();
  canvas_.reset();
  if (handle_) DeleteObject(handle_);
}

void TBitmap::Deselect() {
  if (canvas_) static_cast<TBitmapCanvas*>(canvas_.get())->FreeContext();
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(this);
  return canvas_.get();
}

void TBitmap::SetSize(Integer w, Integer h) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  if (handle_ && w == width_ && h == height_) return;
  uint32_t* bits = nullptr;
  HBITMAP nb = NewDib(std::max(w, 1), std::max(h, 1), &bits);
  if (!nb) throw EOutOfResources(vcl_consts::SInvalidImageSize);
  if (handle_ && bits_) {
    // Keep what fits.
    for (int y = 0; y < std::min(h, height_); ++y)
      std::memcpy(bits + size_t(y) * size_t(std::max(w, 1)), bits_ + size_t(y) * size_t(width_),
                  size_t(std::min(w, width_)) * 4);
  }
  Deselect();
  if (handle_) DeleteObject(handle_);
  handle_ = nb;
  bits_ = bits;
  width_ = w;
  height_ = h;
  Changed(this);
}

void TBitmap::SetHandle(HBITMAP bmp) {
  Deselect();
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
  if (bmp) {
    // Copy into a DIB of our own so that ScanLine and the pixel layout hold.
    BITMAP info;
    GetObject(bmp, sizeof info, &info);
    SetSize(info.bmWidth, info.bmHeight);
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ o = SelectObject(src, bmp);
    HDC dst = CreateCompatibleDC(nullptr);
    HGDIOBJ o2 = SelectObject(dst, handle_);
    BitBlt(dst, 0, 0, width_, height_, src, 0, 0, SRCCOPY);
    // BitBlt writes alpha 0; take the source alpha as it is.
    if (TSurface* s = GetBitmapSurface(bmp))
      for (int y = 0; y < height_ && y < s->Height(); ++y)
        std::memcpy(bits_ + size_t(y) * size_t(width_), s->Row(y), size_t(std::min(width_, s->Width())) * 4);
    SelectObject(src, o);
    SelectObject(dst, o2);
    DeleteDC(src);
    DeleteDC(dst);
    DeleteObject(bmp);
  }
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  Deselect();
  HBITMAP h = handle_;
  handle_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
  return h;
}

void TBitmap::Assign(TPersistent* source) {
  if (source == nullptr) {
    SetHandle(nullptr);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    if (b == this) return;
    SetSize(b->width_, b->height_);
    if (bits_ && b->bits_) std::memcpy(bits_, b->bits_, size_t(width_) * size_t(height_) * 4);
    transparent_ = b->transparent_;
    transparentColor_ = b->transparentColor_;
    transparentMode_ = b->transparentMode_;
    pixelFormat_ = b->pixelFormat_;
    Changed(this);
    return;
  }
  if (auto* g = dynamic_cast<TGraphic*>(source)) {
    SetSize(g->Width(), g->Height());
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(Rect(0, 0, width_, height_));
    g->Draw(Canvas(), Rect(0, 0, width_, height_));
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::SetMonochrome(bool v) {
  if (v == monochrome_) return;
  monochrome_ = v;
  if (v && bits_) {
    // Threshold to black and white, as a 1-bit bitmap would keep it.
    for (size_t i = 0, n = size_t(width_) * size_t(height_); i < n; ++i) {
      uint32_t p = bits_[i];
      int lum = int(((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11) / 100;
      bits_[i] = lum >= 128 ? 0x00FFFFFF : 0;
    }
  }
  Changed(this);
}

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
  if (!bits_ || height_ == 0) return clDefault;
  return TColor(PixelToColorRef(bits_[size_t(height_ - 1) * size_t(width_)] & 0xFFFFFF));
}

void TBitmap::SetTransparentColor(TColor v) {
  transparentColor_ = v;
  transparentMode_ = v == clDefault ? tmAuto : tmFixed;
  Changed(this);
}

void* TBitmap::ScanLine(Integer y) {
  if (!bits_ || y < 0 || y >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
  return bits_ + size_t(y) * size_t(width_);
}

TSurface* TBitmap::Surface() const { return handle_ ? GetBitmapSurface(handle_) : nullptr; }

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
  if (Empty()) return;
  HDC dst = canvas->Handle();
  HDC src = CreateCompatibleDC(nullptr);
  Deselect();
  HGDIOBJ old = SelectObject(src, handle_);
  if (transparent_) {
    TransparentBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, width_, height_,
                   ColorToRGB(TransparentColor()));
  } else if (pixelFormat_ == pf32bit) {
    BLENDFUNCTION bf;
    bf.AlphaFormat = AC_SRC_ALPHA;
    AlphaBlend(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, width_, height_, bf);
  } else {
    StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, width_, height_, DWORD(canvas->CopyMode()));
  }
  SelectObject(src, old);
  DeleteDC(src);
}

void TBitmap::LoadFromStream(TStream* stream) {
  String data = ReadRest(stream);
  HBITMAP b = LoadBitmapFromMemory(data.data(), data.size());
  if (!b) throw EInvalidGraphic(vcl_consts::SInvalidImage);
  SetHandle(b);
}

void TBitmap::SaveToStream(TStream* stream) {
  Deselect();
  WriteBmp(stream, bits_, bits_ ? width_ : 0, bits_ ? height_ : 0);
}

void TBitmap::SaveToPngFile(const String& fileName, bool withAlpha) {
  Deselect();
  if (!handle_ || !SaveBitmapToPng(handle_, fileName, withAlpha))
    throw EInvalidGraphicOperation("Cannot write " + fileName);
}

void TBitmap::ReadData(TStream& stream) {
  Integer size = stream.ReadInt32();
  if (size < 0 || size > stream.Size() - stream.Position()) throw EInvalidGraphic(vcl_consts::SInvalidImage);
  String data = stream.ReadRawString(size);
  HBITMAP b = LoadBitmapFromMemory(data.data(), data.size());
  if (!b && size > 0) throw EInvalidGraphic(vcl_consts::SInvalidImage);
  SetHandle(b);
}

void TBitmap::WriteData(TStream& stream) {
  TMemoryStream m;
  SaveToStream(&m);
  stream.WriteInt32(Integer(m.Size()));
  stream.WriteBuffer(m.Memory(), m.Size());
}

// ---- icon ----------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TIcon)

TIcon::~TIcon() = default;

void TIcon::Assign(TPersistent* source) {
  if (auto* i = dynamic_cast<TIcon*>(source)) {
    SetBitmap(i->bitmap_.get());
    return;
  }
  TGraphic::Assign(source);
}

Integer TIcon::Width() const { return bitmap_ ? bitmap_->Width() : 0; }
Integer TIcon::Height() const { return bitmap_ ? bitmap_->Height() : 0; }

void TIcon::SetBitmap(TBitmap* bmp) {
  if (!bmp) {
    bitmap_.reset();
  } else {
    if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
    bitmap_->Assign(bmp);
    bitmap_->SetPixelFormat(pf32bit);
  }
  Changed(this);
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect) {
  if (bitmap_) bitmap_->Draw(canvas, rect);
}

void TIcon::LoadFromStream(TStream* stream) {
  auto b = std::make_unique<TBitmap>();
  b->LoadFromStream(stream);
  b->SetPixelFormat(pf32bit);
  bitmap_ = std::move(b);
  Changed(this);
}

void TIcon::SaveToStream(TStream* stream) {
  if (bitmap_) bitmap_->SaveToStream(stream);
}

// ---- JPEG ----------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TJPEGImage)

TJPEGImage::TJPEGImage() : bitmap_(new TBitmap) {}
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(TPersistent* source) {
  if (auto* j = dynamic_cast<TJPEGImage*>(source)) {
    bitmap_->Assign(j->bitmap_.get());
    quality_ = j->quality_;
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    bitmap_->Assign(b);
    Changed(this);
    return;
  }
  TGraphic::Assign(source);
}

void TJPEGImage::LoadFromStream(TStream* stream) {
  String data = ReadRest(stream);
  static const unsigned char soi[] = {0xFF, 0xD8};
  if (data.size() < 2 || std::memcmp(data.data(), soi, 2) != 0) throw EInvalidGraphic("JPEG error #53");
  HBITMAP b = LoadBitmapFromMemory(data.data(), data.size());
  if (!b) throw EInvalidGraphic("JPEG error #53");
  bitmap_->SetHandle(b);
  Changed(this);
}

void TJPEGImage::ReadData(TStream& stream) {
  Integer size = stream.ReadInt32();
  if (size < 0 || size > stream.Size() - stream.Position()) throw EInvalidGraphic("JPEG error #53");
  TStringStream data(stream.ReadRawString(size));
  LoadFromStream(&data);
}

void TJPEGImage::WriteData(TStream& stream) {
  TMemoryStream m;
  SaveToStream(&m);
  stream.WriteInt32(Integer(m.Size()));
  if (m.Size()) stream.WriteBuffer(m.Memory(), m.Size());
}

namespace {
struct JpegErrorExit {
  jpeg_error_mgr mgr;
};
[[noreturn]] void JpegFail(j_common_ptr) { throw EInvalidGraphicOperation("JPEG error #42"); }
}  // namespace

void TJPEGImage::SaveToStream(TStream* stream) {
  if (bitmap_->Empty()) return;
  jpeg_compress_struct c;
  JpegErrorExit err;
  c.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegFail;
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  try {
    jpeg_mem_dest(&c, &out, &outSize);
    c.image_width = JDIMENSION(bitmap_->Width());
    c.image_height = JDIMENSION(bitmap_->Height());
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, std::clamp(quality_, 1, 100), TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(size_t(bitmap_->Width()) * 3);
    for (int y = 0; y < bitmap_->Height(); ++y) {
      const uint32_t* px = static_cast<const uint32_t*>(bitmap_->ScanLine(y));
      for (int x = 0; x < bitmap_->Width(); ++x) {
        row[size_t(x) * 3] = (px[x] >> 16) & 0xFF;
        row[size_t(x) * 3 + 1] = (px[x] >> 8) & 0xFF;
        row[size_t(x) * 3 + 2] = px[x] & 0xFF;
      }
      JSAMPROW rp = row.data();
      jpeg_write_scanlines(&c, &rp, 1);
    }
    jpeg_finish_compress(&c);
  } catch (...) {
    jpeg_destroy_compress(&c);
    free(out);
    throw;
  }
  jpeg_destroy_compress(&c);
  stream->WriteBuffer(out, Int64(outSize));
  free(out);
}

// ---- metafile ------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TMetafile)

void TMetafile::Assign(TPersistent* source) {
  if (auto* m = dynamic_cast<TMetafile*>(source)) {
    records_ = m->records_;
    bytes_ = m->bytes_;
    width_ = m->width_;
    height_ = m->height_;
    Changed(this);
    return;
  }
  TGraphic::Assign(source);
}

void TMetafile::Clear() {
  records_.clear();
  bytes_.clear();
  width_ = height_ = 0;
  Changed(this);
}

void TMetafile::Draw(TCanvas* canvas, const TRect& rect) {
  HDC dc = canvas->Handle();
  int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
  if (records_.empty() && !bytes_.empty()) {
    // A metafile file is not replayed: a grey frame crossed from corner to corner.
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
    MoveToEx(dc, rect.Left, rect.Top, nullptr);
    ::LineTo(dc, rect.Right - 1, rect.Bottom - 1);
    MoveToEx(dc, rect.Right - 1, rect.Top, nullptr);
    ::LineTo(dc, rect.Left, rect.Bottom - 1);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  } else {
    TXform xf;
    xf.Dest = rect;
    xf.Width = std::max(width_, 1);
    xf.Height = std::max(height_, 1);
    for (const TRecord& r : records_) r(canvas, xf);
  }
  RestoreDC(dc, saved);
  canvas->Refresh();
}

namespace {
uint32_t ReadU32(const String& b, size_t at) {
  return uint32_t(Byte(b[at])) | uint32_t(Byte(b[at + 1])) << 8 | uint32_t(Byte(b[at + 2])) << 16 |
         uint32_t(Byte(b[at + 3])) << 24;
}
int32_t ReadI32(const String& b, size_t at) { return int32_t(ReadU32(b, at)); }
uint16_t ReadU16(const String& b, size_t at) { return uint16_t(Byte(b[at]) | Byte(b[at + 1]) << 8); }
int16_t ReadI16(const String& b, size_t at) { return int16_t(ReadU16(b, at)); }
}  // namespace

void TMetafile::LoadFromBytes(const String& bytes) {
  Integer w = 0, h = 0;
  if (bytes.size() >= 88 && ReadU32(bytes, 0) == 1 && ReadU32(bytes, 40) == 0x464D4520) {
    // Enhanced metafile: the frame (0.01 mm) at offset 24.
    w = MulDiv(ReadI32(bytes, 32) - ReadI32(bytes, 24), 96, 2540);
    h = MulDiv(ReadI32(bytes, 36) - ReadI32(bytes, 28), 96, 2540);
  } else if (bytes.size() >= 22 && ReadU32(bytes, 0) == 0x9AC6CDD7 && ReadU16(bytes, 14) != 0) {
    // Placeable metafile (WMF): the bounding box in units of 1/inch.
    const Integer inch = ReadU16(bytes, 14);
    w = MulDiv(ReadI16(bytes, 10) - ReadI16(bytes, 6), 96, inch);
    h = MulDiv(ReadI16(bytes, 12) - ReadI16(bytes, 8), 96, inch);
  } else {
    throw EInvalidGraphic(vcl_consts::SInvalidImage);
  }
  if (w < 0 || h < 0) throw EInvalidGraphic(vcl_consts::SInvalidImage);
  records_.clear();
  bytes_ = bytes;
  width_ = w;
  height_ = h;
  Changed(this);
}

void TMetafile::LoadFromStream(TStream* stream) {
  const Int64 n = stream->Size() - stream->Position();
  String bytes(size_t(std::max<Int64>(n, 0)), '\0');
  if (n > 0) stream->ReadBuffer(bytes.data(), n);
  LoadFromBytes(bytes);
}

void TMetafile::SaveToStream(TStream* stream) {
  // Only a metafile read from a file has its bytes; recorded ones live in memory only.
  if (bytes_.empty()) throw EInvalidGraphicOperation("Metafiles are recorded in memory only");
  stream->WriteBuffer(bytes_.data(), Int64(bytes_.size()));
}

KORVAN_IMPLEMENT_CLASS(TMetafileCanvas)

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile)
    : metafile_(metafile), sizeGiven_(metafile->width_ > 0 && metafile->height_ > 0) {
  // Measuring (TextExtent) needs a device context: a memory one.
  SetHandle(CreateCompatibleDC(nullptr));
}

TMetafileCanvas::~TMetafileCanvas() {
  HDC dc = dc_;
  SetHandle(nullptr);
  DeleteDC(dc);
  if (!sizeGiven_ && !bounds_.IsEmpty()) {
    metafile_->width_ = bounds_.Right;
    metafile_->height_ = bounds_.Bottom;
  }
  metafile_->Changed(metafile_);
}

std::function<void(TCanvas*)> TMetafileCanvas::Snapshot() {
  auto font = std::make_shared<TFont>();
  font->Assign(Font());
  auto pen = std::make_shared<TPen>();
  pen->Assign(Pen());
  auto brush = std::make_shared<TBrush>();
  brush->Assign(Brush());
  return [font, pen, brush](TCanvas* c) {
    c->Font()->Assign(font.get());
    c->Pen()->Assign(pen.get());
    c->Brush()->Assign(brush.get());
  };
}

void TMetafileCanvas::Record(const TRect& b, TMetafile::TRecord rec) {
  auto apply = Snapshot();
  metafile_->records_.push_back([apply, rec](TCanvas* c, const TMetafile::TXform& xf) {
    apply(c);
    rec(c, xf);
  });
  TRect n{std::min(b.Left, b.Right), std::min(b.Top, b.Bottom), std::max(b.Left, b.Right), std::max(b.Top, b.Bottom)};
  if (bounds_.IsEmpty()) bounds_ = n;
  else bounds_ = {std::min(bounds_.Left, n.Left), std::min(bounds_.Top, n.Top), std::max(bounds_.Right, n.Right),
                  std::max(bounds_.Bottom, n.Bottom)};
}

void TMetafileCanvas::MoveTo(Integer x, Integer y) {
  TCanvas::MoveTo(x, y);
  metafile_->records_.push_back([x, y](TCanvas* c, const TMetafile::TXform& xf) { c->MoveTo(xf.X(x), xf.Y(y)); });
}
void TMetafileCanvas::LineTo(Integer x, Integer y) {
  TPoint from = PenPos();
  TCanvas::MoveTo(x, y);
  Record({from.X, from.Y, x + 1, y + 1}, [x, y](TCanvas* c, const TMetafile::TXform& xf) { c->LineTo(xf.X(x), xf.Y(y)); });
}
void TMetafileCanvas::Rectangle(Integer x1, Integer y1, Integer x2, Integer y2) {
  Record({x1, y1, x2, y2}, [=](TCanvas* c, const TMetafile::TXform& xf) { c->Rectangle(xf.R({x1, y1, x2, y2})); });
}
void TMetafileCanvas::FillRect(const TRect& r) {
  Record(r, [r](TCanvas* c, const TMetafile::TXform& xf) { c->FillRect(xf.R(r)); });
}
void TMetafileCanvas::FrameRect(const TRect& r) {
  Record(r, [r](TCanvas* c, const TMetafile::TXform& xf) { c->FrameRect(xf.R(r)); });
}
void TMetafileCanvas::Ellipse(Integer x1, Integer y1, Integer x2, Integer y2) {
  Record({x1, y1, x2, y2}, [=](TCanvas* c, const TMetafile::TXform& xf) { c->Ellipse(xf.R({x1, y1, x2, y2})); });
}
void TMetafileCanvas::RoundRect(Integer x1, Integer y1, Integer x2, Integer y2, Integer x3, Integer y3) {
  Record({x1, y1, x2, y2}, [=](TCanvas* c, const TMetafile::TXform& xf) {
    TRect r = xf.R({x1, y1, x2, y2});
    c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, MulDiv(x3, xf.Dest.Width(), xf.Width),
                 MulDiv(y3, xf.Dest.Height(), xf.Height));
  });
}
namespace {
TRect PointsBounds(const std::vector<TPoint>& pts) {
  if (pts.empty()) return {};
  TRect b{pts[0].X, pts[0].Y, pts[0].X + 1, pts[0].Y + 1};
  for (const TPoint& p : pts)
    b = {std::min(b.Left, p.X), std::min(b.Top, p.Y), std::max(b.Right, p.X + 1), std::max(b.Bottom, p.Y + 1)};
  return b;
}
}  // namespace
void TMetafileCanvas::Polygon(const std::vector<TPoint>& pts) {
  Record(PointsBounds(pts), [pts](TCanvas* c, const TMetafile::TXform& xf) {
    std::vector<TPoint> q;
    for (const TPoint& p : pts) q.push_back(xf.P(p));
    c->Polygon(q);
  });
}
void TMetafileCanvas::Polyline(const std::vector<TPoint>& pts) {
  Record(PointsBounds(pts), [pts](TCanvas* c, const TMetafile::TXform& xf) {
    std::vector<TPoint> q;
    for (const TPoint& p : pts) q.push_back(xf.P(p));
    c->Polyline(q);
  });
}
void TMetafileCanvas::TextOut(Integer x, Integer y, const String& text) {
  TSize s = TextExtent(text);
  Record(Bounds(x, y, s.cx, s.cy), [=](TCanvas* c, const TMetafile::TXform& xf) { c->TextOut(xf.X(x), xf.Y(y), text); });
}
void TMetafileCanvas::TextRect(const TRect& r, Integer x, Integer y, const String& text) {
  Record(r, [=](TCanvas* c, const TMetafile::TXform& xf) { c->TextRect(xf.R(r), xf.X(x), xf.Y(y), text); });
}
void TMetafileCanvas::Draw(Integer x, Integer y, TGraphic* g) {
  if (!g || g->Empty()) return;
  StretchDraw(Bounds(x, y, g->Width(), g->Height()), g);
}
void TMetafileCanvas::StretchDraw(const TRect& r, TGraphic* g) {
  if (!g || g->Empty()) return;
  // Keep a copy: the recorded drawing must not depend on the caller's object.
  std::shared_ptr<TGraphic> copy(static_cast<TGraphic*>(g->ClassType()->Create()));
  copy->Assign(g);
  Record(r, [copy, r](TCanvas* c, const TMetafile::TXform& xf) { c->StretchDraw(xf.R(r), copy.get()); });
}

// ---- picture -------------------------------------------------------------------------------

namespace {
struct FileFormat {
  String Description;
  TClass Class;
  int Order;  // registration order: the newest extension of a class is its own
};
int fileFormatCount = 7;
std::map<String, FileFormat>& FileFormats() {
  static std::map<String, FileFormat> formats = {
      {"png", {"Portable network graphics", TBitmap::StaticClass(), 0}},
      {"bmp", {"Bitmaps", TBitmap::StaticClass(), 1}},
      {"jpeg", {"JPEG image file", TJPEGImage::StaticClass(), 2}},
      {"jpg", {"JPEG image file", TJPEGImage::StaticClass(), 3}},
      {"ico", {"Icons", TIcon::StaticClass(), 4}},
      {"wmf", {"Metafiles", TMetafile::StaticClass(), 5}},
      {"emf", {"Enhanced metafiles", TMetafile::StaticClass(), 6}},
  };
  return formats;
}
String ExtensionOf(const String& fileName) {
  size_t dot = fileName.rfind('.');
  size_t slash = fileName.find_last_of("/\\");
  if (dot == String::npos || (slash != String::npos && dot < slash)) return {};
  return LowerCase(fileName.substr(dot + 1));
}
}  // namespace

KORVAN_IMPLEMENT_CLASS(TPicture)

TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const String& ext, const String& description, TClass cls) {
  FileFormats()[LowerCase(ext)] = {description, cls, fileFormatCount++};
}

String GraphicExtension(TGraphicClass graphicClass) {
  for (TClass c = graphicClass; c != nullptr; c = c->Parent()) {
    const String* best = nullptr;
    int order = -1;
    for (auto& [ext, f] : FileFormats())
      if (f.Class == c && f.Order > order) best = &ext, order = f.Order;
    if (best) return *best;
  }
  return {};
}

String GraphicFilter(TGraphicClass graphicClass) {
  std::vector<std::pair<int, String>> exts;
  for (auto& [ext, f] : FileFormats())
    if (graphicClass && f.Class->InheritsFrom(graphicClass)) exts.emplace_back(f.Order, ext);
  std::sort(exts.begin(), exts.end());
  String all, pairs;
  for (auto& [order, ext] : exts) {
    const String mask = "*." + ext;
    all += (all.empty() ? "" : ";") + mask;
    pairs += "|" + FileFormats()[ext].Description + " (" + mask + ")|" + mask;
  }
  if (all.empty()) return {};
  return "All (" + all + ")|" + all + pairs;
}

static std::vector<TGraphicClass>& MutableGraphicClassList() {
  static std::vector<TGraphicClass> list = {TBitmap::StaticClass(), TIcon::StaticClass(),
                                            TMetafile::StaticClass(), TJPEGImage::StaticClass()};
  return list;
}

const std::vector<TGraphicClass>& GraphicClassList() { return MutableGraphicClassList(); }

void RegisterGraphicClass(TGraphicClass graphicClass) {
  auto& list = MutableGraphicClassList();
  if (graphicClass && std::find(list.begin(), list.end(), graphicClass) == list.end()) list.push_back(graphicClass);
}

TGraphicClass FindGraphicClassByName(const String& name) {
  for (TGraphicClass c : GraphicClassList())
    if (SameText(c->ClassName(), name)) return c;
  return nullptr;
}

void TPicture::Assign(TPersistent* source) {
  if (source == nullptr) {
    SetGraphic(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(source)) {
    SetGraphic(p->Graphic());
  } else if (auto* g = dynamic_cast<TGraphic*>(source)) {
    SetGraphic(g);
  } else {
    TPersistent::Assign(source);
  }
}

void TPicture::SetGraphic(TGraphic* g) {
  if (g == graphic_.get()) return;
  std::unique_ptr<TGraphic> copy;
  if (g) {
    copy.reset(static_cast<TGraphic*>(g->ClassType()->Create()));
    copy->Assign(g);
    copy->OnChange = [this](TObject* s) { Changed(s); };
  }
  graphic_ = std::move(copy);
  Changed(this);
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) {
    graphic_ = std::make_unique<TBitmap>();
    graphic_->OnChange = [this](TObject* s) { Changed(s); };
    Changed(this);
  }
  return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(graphic_.get())) {
    graphic_ = std::make_unique<TIcon>();
    graphic_->OnChange = [this](TObject* s) { Changed(s); };
    Changed(this);
  }
  return static_cast<TIcon*>(graphic_.get());
}

void TPicture::LoadFromFile(const String& fileName) {
  String ext = ExtensionOf(fileName);
  auto it = FileFormats().find(ext);
  if (it == FileFormats().end()) throw EInvalidGraphic(Format(vcl_consts::SUnknownExtension, {ext}));
  std::unique_ptr<TGraphic> g(static_cast<TGraphic*>(it->second.Class->Create()));
  g->LoadFromFile(fileName);
  g->OnChange = [this](TObject* s) { Changed(s); };
  graphic_ = std::move(g);
  Changed(this);
}

void TPicture::SaveToFile(const String& fileName) {
  if (!graphic_) return;
  String ext = ExtensionOf(fileName);
  auto it = FileFormats().find(ext);
  if (it == FileFormats().end()) throw EInvalidGraphic(Format(vcl_consts::SUnknownExtension, {ext}));
  if (ext == "png") {
    auto* b = dynamic_cast<TBitmap*>(graphic_.get());
    TBitmap copy;
    if (!b) {
      copy.Assign(graphic_.get());
      b = &copy;
    }
    b->SaveToPngFile(fileName, b->PixelFormat() == pf32bit);
    return;
  }
  // The file's format decides the class: convert when the picture holds another kind.
  if (graphic_->InheritsFrom(it->second.Class)) {
    graphic_->SaveToFile(fileName);
    return;
  }
  std::unique_ptr<TGraphic> converted(static_cast<TGraphic*>(it->second.Class->Create()));
  converted->Assign(graphic_.get());
  converted->SaveToFile(fileName);
}

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::ReadData(TStream& stream) {
  Byte len = stream.ReadByte();
  String className = stream.ReadRawString(len);
  if (className.empty()) {
    graphic_.reset();
    Changed(this);
    return;
  }
  TClass cls = GetClass(className);
  if (!cls) {
    for (auto& [ext, f] : FileFormats())
      if (SameText(f.Class->ClassName(), className)) cls = f.Class;
  }
  if (!cls || !cls->InheritsFrom(TGraphic::StaticClass()))
    throw EInvalidGraphic(Format(vcl_consts::SClassNotFound, {className}));
  std::unique_ptr<TGraphic> g(static_cast<TGraphic*>(cls->Create()));
  g->ReadData(stream);
  g->OnChange = [this](TObject* s) { Changed(s); };
  graphic_ = std::move(g);
  Changed(this);
}

void TPicture::WriteData(TStream& stream) {
  String name = graphic_ ? graphic_->ClassName() : String();
  stream.WriteByte(Byte(name.size()));
  stream.WriteRawString(name);
  if (graphic_) graphic_->WriteData(stream);
}

void TPicture::DefineProperties(TFiler* filer) {
  filer->DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
      graphic_ != nullptr && !graphic_->Empty());
}

void InitializeGraphics() {
  InitUnit("Graphics", [] {
    for (TClass c : {TBitmap::StaticClass(), TIcon::StaticClass(), TJPEGImage::StaticClass(),
                     TMetafile::StaticClass(), TPicture::StaticClass(), TFont::StaticClass(),
                     TPen::StaticClass(), TBrush::StaticClass()})
      RegisterClass(c);
  });
}

// ---- pattern bitmaps -----------------------------------------------------------------------

HBITMAP AllocPatternBitmap(TColor bkColor, TColor fgColor) {
  struct Cache {
    std::map<std::pair<COLORREF, COLORREF>, HBITMAP> bitmaps;
    ~Cache() {
      for (auto& [key, bmp] : bitmaps) DeleteObject(bmp);
    }
  };
  static Cache cache;
  COLORREF bk = ColorToRGB(bkColor), fg = ColorToRGB(fgColor);
  HBITMAP& bmp = cache.bitmaps[{bk, fg}];
  if (!bmp) {
    // 32-bit pixels as 0x00RRGGBB, the platform's device order.
    auto pixel = [](COLORREF c) {
      return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | uint32_t(GetBValue(c));
    };
    uint32_t bits[64];
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) bits[y * 8 + x] = (x + y) % 2 == 0 ? pixel(bk) : pixel(fg);
    bmp = CreateBitmap(8, 8, 1, 32, bits);
  }
  return bmp;
}
