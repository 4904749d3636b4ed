// The group box: caption placement, the frame broken by the caption, the children's client
// rectangle, vertical captions in a rotated font, and the accelerator to the first child.
#include "editors/cxGroupBox.h"

#include <algorithm>

#include "editors/cxEditPaintUtils.h"
#include "foundation/cxContainer.h"
#include "foundation/dxThemeConsts.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "gdi/Gdi.h"
#include "rtl/TypInfo.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomGroupBoxProperties)
KORVAN_IMPLEMENT_CLASS(TcxGroupBoxViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGroupBoxViewData)
KORVAN_IMPLEMENT_CLASS(TcxCustomGroupBox)

namespace {

}  // namespace

PTypeInfo TypeInfoOfCaptionAlignment() {
  static PTypeInfo t = EnumTypeInfo(
      "TcxCaptionAlignment", {"alTopLeft", "alTopCenter", "alTopRight", "alBottomLeft", "alBottomCenter",
                              "alBottomRight", "alLeftTop", "alLeftCenter", "alLeftBottom", "alRightTop",
                              "alRightCenter", "alRightBottom", "alCenterCenter"});
  return t;
}

namespace {

bool IsTrueTypeFont(TFont* font) {
  TcxCanvas* canvas = SharedScreenCanvas();
  canvas->ApplyFont(font);
  canvas->MeasureTextHeight("Q");  // selects the font
  TEXTMETRIC tm{};
  if (!GetTextMetrics(canvas->DeviceContext(), &tm)) return true;
  return (tm.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
}

}  // namespace

// ---- properties ------------------------------------------------------------------------------------

TClass TcxCustomGroupBoxProperties::GetContainerClass() { return TcxGroupBox::StaticClass(); }

TcxCustomEditViewData* TcxCustomGroupBoxProperties::CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                                   bool hide_display_text) {
  auto* data = new TcxGroupBoxViewData(this, style, is_inplace);
  data->InitFromProperties();
  data->HideDisplayText = hide_display_text;
  return data;
}

TcxCustomEditViewInfo* TcxCustomGroupBoxProperties::CreateViewInfo() { return new TcxGroupBoxViewInfo(); }

// ---- view data ------------------------------------------------------------------------------------------

TcxCustomGroupBox* TcxGroupBoxViewData::Edit() const {
  if (IsInplace || !Style) return nullptr;
  return dynamic_cast<TcxCustomGroupBox*>(Style->OwnerContainer());
}

TcxContainerStateFlags TcxGroupBoxViewData::GetContainerState(const TRect&, const TPoint&, Integer, TShiftState,
                                                              bool) {
  return Enabled ? TcxContainerStateFlags{csfNormal} : TcxContainerStateFlags{csfDisabled};
}

bool TcxGroupBoxViewData::HasShadow() {
  TcxCustomGroupBox* edit = Edit();
  const TcxCaptionAlignment a = edit ? edit->Alignment() : alTopLeft;
  if (!(IsTopCaption(a) || IsLeftCaption(a) || a == alCenterCenter)) return false;
  return TcxCustomEditViewData::HasShadow();
}

TColor TcxGroupBoxViewData::EffectiveBorderColor() {
  const TcxEditBorderStyle style = Style ? Style->BorderStyle() : ebsNone;
  if (style == ebsUltraFlat || style == ebsOffice11)
    return Enabled ? HighlightBorderColor(style == ebsOffice11) : clBtnShadow;
  return Style ? Style->BorderColor() : clWindowFrame;
}

void TcxGroupBoxViewData::ExtentWithCaption(TRect& extent, Integer extra) {
  TcxCustomEditViewData::GetClientExtent(extent);
  TcxCustomGroupBox* edit = Edit();
  if (IsInplace || !edit || edit->Alignment() == alCenterCenter) return;
  const Integer t = SharedScreenCanvas()->MeasureFontHeight(edit->CaptionFont());
  const TcxCaptionAlignment a = edit->Alignment();
  if (extra >= 0) {
    if (IsTopCaption(a)) extent.Top = t + extra;
    else if (IsBottomCaption(a)) extent.Bottom = t + extra;
    else if (IsLeftCaption(a)) extent.Left = t + extra;
    else extent.Right = t + extra;
    return;
  }
  // The frame line runs through the middle of the caption.
  if (IsTopCaption(a)) extent.Top = t / 2 + 1;
  else if (IsBottomCaption(a)) extent.Bottom = t / 2 + 1;
  else if (IsLeftCaption(a)) extent.Left = t / 2;
  else extent.Right = t / 2;
}

void TcxGroupBoxViewData::GetClientExtent(TRect& extent) { ExtentWithCaption(extent, -1); }

void TcxGroupBoxViewData::CalculateEditRect(TcxCanvas*, TcxCustomEditViewInfo*, TRect& extent) {
  ExtentWithCaption(extent, 3);
}

TRect TcxGroupBoxViewData::CalculateCaptionRect(TcxCanvas* canvas) {
  TcxCustomGroupBox* edit = Edit();
  if (!edit || edit->DisplayCaption().empty()) return TRect();
  const Integer W = Bounds.Width(), H = Bounds.Height();
  const Integer h0 = canvas->MeasureFontHeight(edit->CaptionFont());
  TRect m(8, 0, 8, h0);
  canvas->Canvas()->DrawText(edit->DisplayCaption(), m, DT_CALCRECT | edit->CaptionDrawFlags());
  const Integer w = m.Right - m.Left, h = std::max<Integer>(m.Bottom - m.Top, h0);
  const Integer c = Style && Style->Shadow() ? 3 : 0;
  const TcxCaptionAlignment a = edit->Alignment();
  Integer x = 0, y = 0;
  if (!IsVerticalCaptionAlignment(a)) {
    switch (a) {
      case alTopLeft: case alBottomLeft: x = 8; break;
      case alTopCenter: case alBottomCenter: case alCenterCenter: x = (W - c - w) / 2; break;
      default: x = W - c - 8 - w; break;
    }
    if (IsTopCaption(a)) y = 0;
    else if (IsBottomCaption(a)) y = H - h - 2;
    else y = (H - c - h) / 2;
    return TRect(x, y, x + w, y + h);
  }
  // Vertical: h wide, w high.
  const Integer left = IsLeftCaption(a) ? -1 : W - h + 1;
  Integer top = 0;
  switch (a) {
    case alLeftTop: case alRightTop: top = 8; break;
    case alLeftCenter: top = (H - c) - (H - c - w) / 2 - w; break;
    case alRightCenter: top = (H - w) / 2; break;
    case alLeftBottom: top = H - c - 8 - w; break;
    default: top = H - 8 - w; break;
  }
  return TRect(left, top, left + h, top + w);
}

void TcxGroupBoxViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p,
                                            Integer button, TShiftState shift, TcxCustomEditViewInfo* view_info,
                                            bool is_mouse_event) {
  auto* vi = static_cast<TcxGroupBoxViewInfo*>(view_info);
  vi->IsDesigning = DesignMode;
  TcxCustomEditViewData::CalculateViewInfo(canvas, bounds, p, button, shift, view_info, is_mouse_event);
  vi->Edit = Edit();
  if (IsInplace || !vi->Edit) return;
  vi->Edit->UpdateCaptionFont();
  vi->Edit->UpdateDisplayCaption();
  vi->CaptionRect = CalculateCaptionRect(canvas ? canvas : SharedScreenCanvas());
  vi->CaptionBitmap()->SetSize(std::max<Integer>(vi->CaptionRect.Width(), 0),
                               std::max<Integer>(vi->CaptionRect.Height(), 0));
}

// ---- view info -------------------------------------------------------------------------------------------

TcxGroupBoxViewInfo::TcxGroupBoxViewInfo() : captionBitmap_(std::make_unique<TBitmap>()) {
  captionBitmap_->SetPixelFormat(pf32bit);
  captionCanvas_ = std::make_unique<TcxCanvas>(captionBitmap_->Canvas());
}

TcxGroupBoxViewInfo::~TcxGroupBoxViewInfo() = default;

void TcxGroupBoxViewInfo::TranslateBy(Integer dx, Integer dy) {
  TcxCustomTextEditViewInfo::TranslateBy(dx, dy);
  if (!CaptionRect.IsEmpty())
    CaptionRect = TRect(CaptionRect.Left + dx, CaptionRect.Top + dy, CaptionRect.Right + dx, CaptionRect.Bottom + dy);
}

void TcxGroupBoxViewInfo::DrawFrame(TcxCanvas* canvas) {
  if (UsesTheme && CanPaintNatively(true, tcButton)) {
    canvas->FillRectColor(OuterRect, FillColor);
    if (EditBorderStyle == ebsNone) return;
    TRect r = OuterRect;
    const Integer t = Edit ? SharedScreenCanvas()->MeasureFontHeight(Edit->CaptionFont()) / 2 : 0;
    if (Edit) {
      const TcxCaptionAlignment a = Edit->Alignment();
      if (IsTopCaption(a)) r.Top += t;
      else if (IsBottomCaption(a)) r.Bottom -= t;
      else if (IsLeftCaption(a)) r.Left += t;
      else if (IsRightCaption(a)) r.Right -= t;
    }
    UxDrawThemeBackground(OpenThemeCached(tcButton), canvas->DeviceContext(), BP_GROUPBOX, Enabled ? 1 : 2, r, r);
    return;
  }
  // The frame lines on the style's edge sides, each removed from the clip once drawn, then
  // the fill of what is left.
  TRect r = InteriorRect;
  const Integer w = FrameThickness;
  if (FrameSides.Contains(bLeft)) r.Left -= w;
  if (FrameSides.Contains(bTop)) r.Top -= w;
  if (FrameSides.Contains(bRight)) r.Right += w;
  if (FrameSides.Contains(bBottom)) r.Bottom += w;
  const bool ctl3D = !Edit || Edit->Ctl3D();
  auto line = [&](TRect& rr, TColor color) {
    canvas->DrawFrameSides(rr, color, 1, FrameSides, true);
    if (FrameSides.Contains(bLeft)) ++rr.Left;
    if (FrameSides.Contains(bTop)) ++rr.Top;
    if (FrameSides.Contains(bRight)) --rr.Right;
    if (FrameSides.Contains(bBottom)) --rr.Bottom;
  };
  switch (EditBorderStyle) {
    case ebsNone: break;
    case ebsSingle: line(r, FrameColor); break;
    case ebsThick:
      line(r, FrameColor);
      line(r, FrameColor);
      break;
    case ebsFlat:
      line(r, clBtnShadow);
      line(r, clBtnHighlight);
      break;
    case ebs3D:
      if (ctl3D) {
        // Etched: the shadow line, then the highlight one pixel lower and further right.
        TRect shadow(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
        TRect light(r.Left + 1, r.Top + 1, r.Right, r.Bottom);
        canvas->DrawFrameSides(shadow, clBtnShadow, 1, FrameSides, true);
        canvas->DrawFrameSides(light, clBtnHighlight, 1, FrameSides, true);
      } else {
        line(r, clWindowFrame);
        line(r, FillColor);
      }
      break;
    default: line(r, FrameColor); break;
  }
  // The shadow outside the frame (the frame rectangle before its lines moved it in).
  if (HasShadow) {
    TRect frame = InteriorRect;
    if (FrameSides.Contains(bLeft)) frame.Left -= w;
    if (FrameSides.Contains(bTop)) frame.Top -= w;
    if (FrameSides.Contains(bRight)) frame.Right += w;
    if (FrameSides.Contains(bBottom)) frame.Bottom += w;
    PaintContainerShadow(canvas, frame);
  }
  canvas->FillRectColor(OuterRect, FillColor);
}

void TcxGroupBoxViewInfo::DrawCaption(TcxCanvas* canvas) {
  // Into the bitmap: control coordinates land in it through the window origin.
  if (!Edit || CaptionRect.IsEmpty()) return;
  canvas->FillRectColor(CaptionRect, FillColor);
  canvas->ApplyFont(Edit->CaptionFont());
  canvas->CurrentFont()->SetColor(TextColor);
  HDC dc = canvas->DeviceContext();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(TextColor));
  const String text = Edit->DisplayCaption();
  const TcxCaptionAlignment a = Edit->Alignment();
  if (Edit->IsVerticalCaption()) {
    canvas->RotateFont(IsLeftCaption(a) ? 90 : 270);
    SetTextColor(dc, ColorToRGB(TextColor));
    SetBkMode(dc, TRANSPARENT);
    RECT clip = CaptionRect;
    if (IsLeftCaption(a))
      ExtTextOut(dc, CaptionRect.Left, CaptionRect.Bottom - 1, ETO_CLIPPED, &clip, text.c_str(), UINT(text.size()), nullptr);
    else
      ExtTextOut(dc, CaptionRect.Right, CaptionRect.Top + 1, ETO_CLIPPED, &clip, text.c_str(), UINT(text.size()), nullptr);
    canvas->CurrentFont()->SetColor(TextColor);  // deselects the rotated font
  } else {
    TRect r = CaptionRect;
    canvas->CurrentBrush()->SetStyle(bsClear);
    canvas->Canvas()->DrawText(text, r, Edit->CaptionDrawFlags());
    canvas->CurrentBrush()->SetStyle(bsSolid);
  }
}

void TcxGroupBoxViewInfo::DrawEditor(TcxCanvas* canvas) {
  if (InPlace || !Edit) {
    if (!IsBackgroundTransparent()) canvas->FillRectColor(OuterRect, FillColor);
    return;
  }
  // The caption is painted off-screen and copied, so no frame line shows behind it.
  canvas->PushDeviceState();
  if (!CaptionRect.IsEmpty()) canvas->ExcludeFromClip(CaptionRect);
  DrawFrame(canvas);
  canvas->PopDeviceState();
  if (CaptionRect.IsEmpty()) return;
  captionCanvas_->SetWindowOrigin(TPoint(CaptionRect.Left, CaptionRect.Top));
  captionCanvas_->Canvas()->Lock();
  DrawCaption(captionCanvas_.get());
  captionCanvas_->Canvas()->Unlock();
  captionCanvas_->SetWindowOrigin(TPoint(0, 0));
  canvas->CopyFromCanvas(CaptionRect, captionCanvas_.get(), TRect(0, 0, CaptionRect.Width(), CaptionRect.Height()));
}

// ---- the control -------------------------------------------------------------------------------------------

TcxCustomGroupBox::TcxCustomGroupBox(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomEdit(owner, in_place, properties_class), captionFont_(std::make_unique<TFont>()) {
  ControlStyle().Include(csAcceptsControls);
  ControlStyle().Include(csCaptureMouse);
  ControlStyle().Include(csClickEvents);
  SetBounds(Left(), Top(), 185, 105);
  UpdateCaptionFont();
  SetTabStop(false);
}

TcxCustomGroupBox::~TcxCustomGroupBox() = default;

void TcxCustomGroupBox::UpdateCaptionFont() {
  if (InPlace()) return;
  TcxContainerStyle* style = Enabled() ? Style() : StyleDisabled();
  if (style && style->Font()) captionFont_->Assign(style->Font());
  if (IsVerticalCaption() && !IsTrueTypeFont(captionFont_.get())) captionFont_->SetName("Arial");
}

void TcxCustomGroupBox::UpdateDisplayCaption() {
  displayCaption_ = IsVerticalCaption() ? StripAccelChars(Caption()) : Caption();
}

void TcxCustomGroupBox::SetAlignment(TcxCaptionAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  UpdateCaptionFont();
  UpdateDisplayCaption();
  RefreshStateAtCursor(false);
  Realign();
}

bool TcxCustomGroupBox::Ctl3D() {
  if (parentCtl3D_)
    if (auto* p = dynamic_cast<TcxCustomGroupBox*>(Parent())) return p->Ctl3D();
  return ctl3D_;
}

void TcxCustomGroupBox::SetCtl3D(bool v) {
  ctl3D_ = v;
  parentCtl3D_ = false;
  Invalidate();
}

void TcxCustomGroupBox::SetParentCtl3D(bool v) {
  parentCtl3D_ = v;
  Invalidate();
}

void TcxCustomGroupBox::ApplyStyleToControl(TObject* style) {
  UpdateCaptionFont();
  TcxCustomEdit::ApplyStyleToControl(style);
}

void TcxCustomGroupBox::BorderArea(TRect& r) {
  TcxCustomEdit::BorderArea(r);
  if (IsTopCaption(alignment_)) r.Top = 0;
  else if (IsBottomCaption(alignment_)) r.Bottom = Height();
  else if (IsLeftCaption(alignment_)) r.Left = 0;
  else if (IsRightCaption(alignment_)) r.Right = Width();
}

TcxContainerStyle* TcxCustomGroupBox::CurrentStyle() { return Enabled() ? Style() : StyleDisabled(); }

void TcxCustomGroupBox::AdjustClientRect(TRect& rect) {
  if (ComponentState().Contains(csDestroying)) return;
  std::unique_ptr<TcxCustomEditViewData> data(GetEffectiveProperties()->CreateViewData(
      dynamic_cast<TcxCustomEditStyle*>(StyleForCurrentState()), InPlace()));
  data->Enabled = Enabled();
  data->Bounds = TRect(0, 0, Width(), Height());
  TRect extent;
  std::unique_ptr<TcxCustomEditViewInfo> vi(GetEffectiveProperties()->CreateViewInfo());
  data->CalculateEditRect(SharedScreenCanvas(), vi.get(), extent);
  rect = TRect(extent.Left, extent.Top, Width() - extent.Right, Height() - extent.Bottom);
}

void TcxCustomGroupBox::CMTextChanged(TMessage& m) {
  TcxCustomEdit::CMTextChanged(m);
  UpdateDisplayCaption();
  RefreshStateAtCursor(false);
}

void TcxCustomGroupBox::CMFontChanged(TMessage& m) {
  TcxCustomEdit::CMFontChanged(m);
  UpdateCaptionFont();
  Realign();
}

void TcxCustomGroupBox::CMDialogChar(TMessage& m) {
  if (IsAccel(char32_t(m.WParam), Caption()) && CanFocus()) {
    selectingFirst_ = true;
    TWeakRef<TcxCustomGroupBox> self(this);
    // The first child in the tab order takes the focus.
    if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
    if (self) selectingFirst_ = false;
    m.Result = 1;
    return;
  }
  TcxCustomEdit::CMDialogChar(m);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGroupBox) {
  p.Enum("Alignment", &TcxGroupBox::Alignment, &TcxGroupBox::SetAlignment, TypeInfoOfCaptionAlignment())
      .Default(alTopLeft);
  p.Str("Caption", [](const TcxGroupBox* o) { return o->Caption(); },
        [](TcxGroupBox* o, const String& v) { o->SetCaption(v); });
  p.Int("CaptionBkColor", &TcxGroupBox::CaptionBkColor, &TcxGroupBox::SetCaptionBkColor).Default(clBtnFace);
  p.Bool("Ctl3D", [](const TcxGroupBox* o) { return const_cast<TcxGroupBox*>(o)->Ctl3D(); },
         &TcxGroupBox::SetCtl3D)
      .Stored(false);
  p.Bool("ParentCtl3D", &TcxGroupBox::ParentCtl3D, &TcxGroupBox::SetParentCtl3D).Default(true);
  p.Bool("TabStop", &TcxGroupBox::TabStop, &TcxGroupBox::SetTabStop).Default(false);
}

void InitializeCxGroupBox() {
  InitUnit("cxGroupBox", [] {
    InitializeCxEdit();
    RegisterClass(TcxGroupBox::StaticClass());
  });
}
