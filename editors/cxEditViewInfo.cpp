// The edit view info: paints an editor or a cell (border, background, buttons), hit-tests its
// buttons and computes what changed between two calculations.
#include "editors/cxEdit.h"

#include <algorithm>

#include "editors/cxEditPaintUtils.h"
#include "foundation/cxContainer.h"
#include "foundation/dxOffice11.h"
#include "foundation/dxUxTheme.h"
#include "gdi/Gdi.h"
#include "user/WinUser.h"

KORVAN_IMPLEMENT_CLASS(TcxEditButtonViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomEditViewInfo)

namespace {

TRect Deflated(const TRect& r, Integer dx, Integer dy) {
  return TRect(r.Left + dx, r.Top + dy, r.Right - dx, r.Bottom - dy);
}

TRect Moved(const TRect& r, Integer dx, Integer dy) {
  return TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
}

}  // namespace

// ---- button view info -----------------------------------------------------------------------------

void TcxEditButtonViewInfo::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxEditButtonViewInfo*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  NativeState = other->NativeState;
  BackgroundColor = other->BackgroundColor;
  Bounds = other->Bounds;
  Style = other->Style;
  State = other->State;
}

bool TcxEditButtonViewInfo::SameLook(const TcxEditButtonViewInfo* other) const {
  return other && Style == other->Style && State == other->State &&
         BackgroundColor == other->BackgroundColor && NativeState == other->NativeState;
}

TcxRegion* TcxEditButtonViewInfo::ChangedRegion(TcxEditButtonViewInfo* other) {
  return SameLook(other) ? TcxRegion::CreateEmpty() : TcxRegion::CreateFromRect(Bounds);
}

bool TcxEditButtonViewInfo::Repaint(TWinControl* control, TcxEditButtonViewInfo* other,
                                    const TPoint& offset) {
  if (SameLook(other)) return false;
  if (control && control->HandleAllocated()) {
    const TRect r = Moved(Bounds, offset.X, offset.Y);
    InvalidateRect(control->Handle(), &r, HasBackground);
  }
  return true;
}

// ---- button metrics ------------------------------------------------------------------------------

Integer ButtonContentVerticalOffset(TcxCanvas*, TcxEditButtonStyle style, bool native) {
  if (native && CanPaintNatively(true, tcButton)) return 4;  // no visual styles here: a guess
  switch (style) {
    case btsDefault: return 0;
    case bts3D: return 4;
    default: return 2;
  }
}

Integer EditButtonWidth(TcxCanvas* canvas, TcxEditButtonViewInfo* button) {
  const bool native = button->NativeStyle && (CanPaintNatively(true, tcComboBox) ||
                                              CanPaintNatively(true, tcButton));
  const Integer margins = native ? 6 : 4;
  if (button->Width >= 1) return std::max(button->Width, margins);
  const Integer scroll = GetSystemMetrics(SM_CYHSCROLL);
  if (button->Kind == bkGlyph && IsGlyphAssigned(button->Glyph))
    return button->Glyph->Width() + margins;
  if (button->Kind == bkText) {
    const Integer caption = canvas ? canvas->MeasureTextWidth(button->VisibleCaption) : 0;
    return std::max(scroll, margins + caption + 3);
  }
  return scroll;
}

void CalculateNativeButtonState(TcxEditButtonViewInfo* button) {
  button->NativePart = 0;
  button->NativeState = 0;
  button->PartiallyTransparent = false;
  if (!button->NativeStyle) return;
  const TdxThemeClass cls = button->ComboLook ? tcComboBox : tcButton;
  if (OpenThemeCached(cls) == 0) return;
  button->NativePart = 1;
  switch (button->State) {
    case ebsDisabled: button->NativeState = 4; break;
    case ebsPressed: button->NativeState = 3; break;
    case ebsSelected: button->NativeState = 2; break;
    default: button->NativeState = 1; break;
  }
  button->PartiallyTransparent =
      UxIsThemeBackgroundPartiallyTransparent(OpenThemeCached(cls), 1, button->NativeState);
}

// ---- view info ------------------------------------------------------------------------------------

TcxCustomEditViewInfo::TcxCustomEditViewInfo() = default;
TcxCustomEditViewInfo::~TcxCustomEditViewInfo() = default;

void TcxCustomEditViewInfo::SetButtonCount(Integer count) {
  while (Integer(Buttons.size()) > count) Buttons.pop_back();
  while (Integer(Buttons.size()) < count) Buttons.push_back(std::make_unique<TcxEditButtonViewInfo>());
}

bool TcxCustomEditViewInfo::DoDrawBackground(TcxCanvas* canvas) {
  bool handled = false;
  if (OnDrawBackground) OnDrawBackground(this, canvas, handled);
  return handled;
}

bool TcxCustomEditViewInfo::DoDrawButton(TcxCanvas* canvas, Integer index) {
  bool handled = false;
  if (OnDrawButton) OnDrawButton(this, canvas, index, handled);
  return handled;
}

bool TcxCustomEditViewInfo::DoDrawButtonBackground(TcxCanvas* canvas, const TRect& r, Integer index) {
  bool handled = false;
  if (OnDrawButtonBackground) OnDrawButtonBackground(this, canvas, r, index, handled);
  return handled;
}

bool TcxCustomEditViewInfo::DoDrawButtonBorder(TcxCanvas* canvas, Integer index,
                                               const TRect& bounds, TRect& content) {
  bool handled = false;
  if (OnDrawButtonBorder) OnDrawButtonBorder(this, canvas, index, bounds, content, handled);
  return handled;
}

void TcxCustomEditViewInfo::DoGetButtonState(Integer index, TcxEditButtonState& state) {
  if (OnGetButtonState) OnGetButtonState(this, index, state);
}

bool TcxCustomEditViewInfo::IsPartCustomDrawn(Integer index) {
  TRect content;
  const TRect bounds = index >= 0 && index < Integer(Buttons.size()) ? Buttons[size_t(index)]->Bounds
                                                                     : TRect();
  return DoDrawButton(nullptr, index) || DoDrawButtonBackground(nullptr, bounds, index) ||
         DoDrawButtonBorder(nullptr, index, bounds, content);
}

Integer TcxCustomEditViewInfo::GetBackgroundMode() {
  if (InPlace) {
    if (DoDrawBackground(nullptr)) return 0;
    return Transparent ? 2 : 3;
  }
  if (Transparent || EditTransparent || (Edit && Edit->IsTransparent())) return 4;
  if (Edit && Edit->UsesParentThemeBackground()) return 5;
  return UsesTheme ? 3 : 1;
}

void TcxCustomEditViewInfo::DrawBackgroundPart(TcxCanvas* canvas, const TRect& r,
                                               const TRect& excluded, bool keep_excluded) {
  canvas->PushDeviceState();
  if (!keep_excluded && !excluded.IsEmpty()) canvas->ExcludeFromClip(excluded);
  switch (GetBackgroundMode()) {
    case 0:
      canvas->IntersectClip(r);
      DoDrawBackground(canvas);
      break;
    case 1: PaintEditViewBackground(canvas, this, true, 0); break;
    case 3: FillRectWithColor(canvas, r, FillColor); break;
    case 4:
      if (Edit) PaintParentUnderControl(Edit, canvas, r, true);
      break;
    case 5:
      if (Edit) PaintControlParentBackground(Edit, canvas, r);
      break;
    default: break;  // transparent: the owner paints what lies under it
  }
  canvas->PopDeviceState();
}

void TcxCustomEditViewInfo::PaintTo(TcxCanvas* canvas) {
  if (OnPaint) OnPaint(this, canvas);
  DrawEditor(canvas);
}

void TcxCustomEditViewInfo::DrawEditor(TcxCanvas* canvas) {
  PaintEditViewBackground(canvas, this, true, 0);
}

void TcxCustomEditViewInfo::DrawButtons(TcxCanvas* canvas) {
  if (paintingButtons_ || (Edit && Edit->PaintsOwnButtons(canvas->DeviceContext()))) return;
  paintingButtons_ = true;
  try {
    for (Integer i = 0; i < Integer(Buttons.size()); ++i) DrawButton(canvas, i);
  } catch (...) {
    paintingButtons_ = false;
    throw;
  }
  paintingButtons_ = false;
}

void TcxCustomEditViewInfo::DrawButton(TcxCanvas* canvas, Integer index) {
  TcxEditButtonViewInfo* b = Buttons[size_t(index)].get();
  b->BackgroundColor = FillColor;
  if (b->VisibleBounds.IsEmpty()) return;
  const bool clip = b->Bounds != b->VisibleBounds;
  if (clip) {
    canvas->PushDeviceState();
    canvas->IntersectClip(b->VisibleBounds);
  }
  if (!DoDrawButton(canvas, index)) PaintButtonAt(canvas, index);
  if (clip) canvas->PopDeviceState();
}

void TcxCustomEditViewInfo::PaintButtonAt(TcxCanvas* canvas, Integer index) {
  TcxEditButtonViewInfo* b = Buttons[size_t(index)].get();
  if (b->Kind != bkGlyph || !IsGlyphAssigned(b->Glyph) || b->Bounds.IsEmpty()) {
    PaintButtonParts(canvas, index);
    return;
  }
  // A glyph button is drawn off screen (the bitmap starts as what lies under the button, its
  // origin at the button's top-left) and copied in one piece.
  const TRect& r = b->Bounds;
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(r.Width(), r.Height());
  TcxCanvas target(bitmap.Canvas());
  target.CopyFromCanvas(TRect(0, 0, r.Width(), r.Height()), canvas, r);
  target.SetWindowOrigin(r.TopLeft());
  PaintButtonParts(&target, index);
  target.SetWindowOrigin(TPoint(0, 0));
  canvas->CopyFromCanvas(r, &target, TRect(0, 0, r.Width(), r.Height()));
}

void TcxCustomEditViewInfo::PaintButtonParts(TcxCanvas* canvas, Integer index) {
  TcxEditButtonViewInfo* b = Buttons[size_t(index)].get();
  TRect fill = b->Bounds, content;
  TColor text_color = clBtnText, background = clBtnFace;
  DrawButtonBorder(canvas, index, fill, content, text_color, background);
  if (!fill.IsEmpty() && !DoDrawButtonBackground(canvas, fill, index)) {
    if (b->NativeStyle && b->NativePart != 0)
      DrawNativeButtonBackground(canvas, b, fill);
    else
      DrawButtonBackgroundFill(canvas, b, fill, background);
  }
  // A pressed button's symbol shifts when its editor control's content metrics ask for it;
  // a cell's never does.
  const bool pressed_shift =
      b->State == ebsPressed && Edit && (Edit->CachedContentMetrics().Flags & 2) != 0;
  if (!content.IsEmpty())
    DrawButtonSymbol(canvas, index, content, text_color, background, pressed_shift);
}

void TcxCustomEditViewInfo::DrawButtonBorder(TcxCanvas* canvas, Integer index, TRect& fill_rect,
                                             TRect& content_rect, TColor& text_color,
                                             TColor& background_color) {
  TcxEditButtonViewInfo* b = Buttons[size_t(index)].get();
  TRect content = b->Bounds;
  if (DoDrawButtonBorder(canvas, index, b->Bounds, content)) {
    content_rect = content;
    fill_rect = TRect();
    return;
  }
  if (b->NativeStyle && b->NativePart != 0) {
    // The hooks are asked about the painted button itself.
    fill_rect = b->Bounds;
    if (IsPartCustomDrawn(index)) {
      content_rect = b->Bounds;
    } else if (b->ComboLook) {
      content_rect = TRect();
    } else {
      TRect content;
      if (UxGetThemeBackgroundContentRect(OpenThemeCached(tcButton), canvas->DeviceContext(), 1,
                                          b->NativeState, b->Bounds, content) == S_OK)
        content_rect = content;
      else
        content_rect = b->Bounds;
    }
    text_color = clBtnText;
    background_color = clBtnFace;
    return;
  }
  DrawButtonBorderByStyle(canvas, b, fill_rect, content_rect, text_color, background_color);
}

void TcxCustomEditViewInfo::DrawButtonBorderByStyle(TcxCanvas* canvas, TcxEditButtonViewInfo* b,
                                                    TRect& r, TRect& content, TColor& text_color,
                                                    TColor& background) {
  const bool pressed = b->State == ebsPressed;
  const bool hot = b->State == ebsSelected;
  TcxEditButtonStyle style = b->Style;
  if (style == btsSimple && (pressed || hot)) style = btsFlat;
  const TColor editor_background = b->BackgroundColor;
  text_color = clBtnText;
  background = b->Transparent ? editor_background : clBtnFace;
  switch (style) {
    case bts3D:
      if (pressed) {
        FrameAndShrink(canvas, r, clBtnShadow);
        FrameAndShrink(canvas, r, background);
      } else {
        FrameTwoColorAndShrink(canvas, r, cl3DLight, cl3DDkShadow);
        FrameTwoColorAndShrink(canvas, r, clBtnHighlight, clBtnShadow);
      }
      break;
    case btsFlat:
      DrawBorderSides(canvas, r, cxbsLeftSide, editor_background);
      r.Right -= 1;
      if (pressed) FrameTwoColorAndShrink(canvas, r, clBtnShadow, clBtnHighlight);
      else FrameTwoColorAndShrink(canvas, r, clBtnHighlight, clBtnShadow);
      r.Right += 1;
      DrawBorderSides(canvas, r, cxbsRightSide, editor_background);
      break;
    case btsHotFlat: {
      if (!b->Transparent)
        background = pressed ? clBtnText : hot ? clBtnShadow : clBtnFace;
      const bool innermost = (b->LeftAlignment && b->Rightmost) || (!b->LeftAlignment && b->Leftmost);
      if (innermost) {
        FrameAndShrink(canvas, r, clBtnShadow);
      } else {
        const Integer outer = b->LeftAlignment ? cxbsLeftSide : cxbsRightSide;
        const Integer inner = b->LeftAlignment ? cxbsRightSide : cxbsLeftSide;
        DrawBorderSides(canvas, r, cxbsTopSide | cxbsBottomSide | outer, clBtnShadow);
        DrawBorderSides(canvas, r, inner, editor_background);
      }
      DrawBorderSides(canvas, r, cxbsLeftSide | cxbsRightSide, editor_background);
      if (pressed) text_color = clWindow;
      else if (hot) text_color = b->Transparent ? clBtnShadow : clWindow;
      break;
    }
    case btsSimple:
      if (!Transparent) FrameAndShrink(canvas, r, editor_background);
      DrawBorderSides(canvas, r, cxbsLeftSide | cxbsRightSide, editor_background);
      break;
    case btsUltraFlat:
    case btsOffice11: {
      const bool office = style == btsOffice11;
      const TColor highlight = HighlightBorderColor(office);
      if (!b->Transparent) {
        if (pressed || hot) background = UltraFlatButtonFaceColor(pressed, office);
        else if (office && b->State == ebsNormal)
          background = TcxOffice11LookAndFeelPainter::Class()->ButtonFaceColor(cxbsNormal);
      }
      if (!(pressed || hot) || (b->InPlace && !(PaintOptions & 4))) {
        if (pressed || hot) FrameAndShrink(canvas, r, highlight);
        else if (!Transparent) FrameAndShrink(canvas, r, editor_background);
        else r = Deflated(r, 1, 1);
        content = Deflated(r, 1, 0);
        return;
      }
      Integer sides = 0;
      if (!(b->LeftAlignment && b->Leftmost) && b->Bounds.Left != InteriorRect.Left) sides |= cxbsLeftSide;
      if (b->Bounds.Top != InteriorRect.Top) sides |= cxbsTopSide;
      if (!(!b->LeftAlignment && b->Rightmost) && b->Bounds.Right != InteriorRect.Right) sides |= cxbsRightSide;
      if (b->Bounds.Bottom != InteriorRect.Bottom) sides |= cxbsBottomSide;
      DrawBorderSides(canvas, r, sides, highlight);
      content = Deflated(r, 1, 0);
      return;
    }
    default: break;
  }
  content = r;
}

void TcxCustomEditViewInfo::DrawNativeButtonBackground(TcxCanvas* canvas, TcxEditButtonViewInfo* b,
                                                       const TRect& r) {
  UxDrawThemeBackground(OpenThemeCached(b->ComboLook ? tcComboBox : tcButton), canvas->DeviceContext(), 1,
                        b->NativeState, r, r);
}

void TcxCustomEditViewInfo::DrawButtonBackgroundFill(TcxCanvas* canvas, TcxEditButtonViewInfo* b,
                                                     const TRect& r, TColor color) {
  if (b->Style == btsOffice11 && b->Gradient && !b->Transparent && b->State != ebsDisabled) {
    TColor c1 = Office11LightFaceColor, c2 = Office11DarkFaceColor;
    Integer extra = 1;
    if (b->State == ebsPressed) {
      c1 = Office11PressedFaceColor;
      c2 = Office11PressedFaceDarkColor;
      extra = 0;
    } else if (b->State == ebsSelected) {
      c1 = Office11HotFaceColor;
      c2 = Office11HotFaceDarkColor;
      extra = 0;
    }
    canvas->PushDeviceState();
    canvas->IntersectClip(r);
    FillGradientRect(canvas->DeviceContext(),
                     TRect(r.Left, InteriorRect.Top - extra, r.Right, InteriorRect.Bottom + extra),
                     c1, c2, false);
    canvas->PopDeviceState();
    return;
  }
  FillRectWithColor(canvas, r, color);
}

void TcxCustomEditViewInfo::DrawButtonSymbol(TcxCanvas* canvas, Integer index, const TRect& r,
                                             TColor text_color, TColor background_color,
                                             bool pressed_shift) {
  TcxEditButtonViewInfo* b = Buttons[size_t(index)].get();
  const bool disabled = b->State == ebsDisabled;
  canvas->PushDeviceState();
  canvas->IntersectClip(r);
  switch (b->Kind) {
    case bkEllipsis: {
      const Integer side = r.Width() > 11 ? 2 : 1;
      const Integer pattern = 3 * side + 4;
      Integer x = r.Left + (r.Width() - pattern) / 2, y = r.Top + (r.Height() - side) / 2;
      if (pressed_shift && x + pattern < r.Right) {
        ++x;
        ++y;
      }
      auto dots = [&](Integer dx, TColor color) {
        for (Integer k = 0; k < 3; ++k) {
          const Integer left = x + dx + k * (side + 2);
          FillRectWithColor(canvas, TRect(left, y + dx, left + side, y + dx + side), color);
        }
      };
      if (disabled) {
        dots(1, clBtnHighlight);
        dots(0, clBtnShadow);
      } else {
        dots(0, text_color);
      }
      break;
    }
    case bkDown: {
      TRect a = r;
      const Integer extra_w = b->Bounds.Width() - a.Width();
      a.Left -= (extra_w + (pressed_shift ? 0 : 1)) / 2;
      a.Right = a.Left + b->Bounds.Width();
      if (b->InPlace) {
        const Integer extra_h = b->Bounds.Height() - a.Height();
        a.Top -= (extra_h + (pressed_shift ? 0 : 1)) / 2;
        a.Bottom = a.Top + b->Bounds.Height();
      }
      if (pressed_shift) a = Moved(a, 1, 1);
      auto painter = TcxStandardLookAndFeelPainter::Class();
      if (disabled) {
        painter->PaintArrow(canvas, Moved(a, 1, 1), adDown, clBtnHighlight);
        painter->PaintArrow(canvas, a, adDown, clBtnShadow);
      } else {
        painter->PaintArrow(canvas, a, adDown, text_color);
      }
      break;
    }
    case bkGlyph:
      if (IsGlyphAssigned(b->Glyph)) {
        Integer x = r.Left + (r.Width() - b->Glyph->Width()) / 2;
        Integer y = r.Top + (r.Height() - b->Glyph->Height()) / 2;
        if (pressed_shift) {
          ++x;
          ++y;
        }
        DrawGlyph(canvas, x, y, b->Glyph, !disabled);
      }
      break;
    case bkText: {
      canvas->CurrentBrush()->SetStyle(bsClear);
      if (Font) canvas->ApplyFont(Font);
      TRect t = Deflated(r, 1, b->InPlace ? 0 : 1);
      t.Right -= 1;
      TcxTextFlags flags = ctfVCenter | ctfSingleLine | ctfShowPrefix | ctfEndEllipsis;
      flags |= b->ContentAlignment == taLeftJustify ? ctfLeft
               : b->ContentAlignment == taRightJustify ? ctfRight
                                                       : ctfHCenter;
      if (disabled) {
        canvas->CurrentFont()->SetColor(clBtnHighlight);
        canvas->OutputText(b->Caption, Moved(t, 1, 1), flags, true);
        canvas->CurrentFont()->SetColor(clBtnShadow);
        canvas->OutputText(b->Caption, t, flags, true);
      } else {
        TColor color = (b->Style == btsHotFlat && (b->State == ebsPressed || b->State == ebsSelected))
                           ? text_color
                           : b->TextColor;
        if (color == clDefault) color = TextColor;
        canvas->CurrentFont()->SetColor(color);
        canvas->OutputText(b->Caption, pressed_shift ? Moved(t, 1, 1) : t, flags, true);
      }
      break;
    }
  }
  canvas->PopDeviceState();
}

bool TcxCustomEditViewInfo::HasHotButton() const {
  for (const auto& b : Buttons)
    if (b->State == ebsSelected) return true;
  return false;
}

bool TcxCustomEditViewInfo::IsPointOnButton(const TPoint& p) const {
  for (const auto& b : Buttons)
    if (b->Bounds.Contains(p)) return true;
  return false;
}

bool TcxCustomEditViewInfo::QueryHint(TcxCanvas* canvas, const TPoint& p, String& text,
                                      bool& is_multi_line, TRect& text_bounds) {
  text.clear();
  return QueryHintInRect(canvas, p, TRect(), text, is_multi_line, text_bounds);
}

bool TcxCustomEditViewInfo::QueryHintInRect(TcxCanvas*, const TPoint&, const TRect&, String& text,
                                            bool&, TRect&) {
  text.clear();
  return false;
}

void TcxCustomEditViewInfo::CopyLayoutFrom(TcxContainerViewInfo* other) {
  if (auto* o = dynamic_cast<TcxCustomEditViewInfo*>(other)) {
    SetFillColor(o->FillColor);
    FrameColor = o->FrameColor;
    EditBorderStyle = o->EditBorderStyle;
    StateFlags = o->StateFlags;
    ThemeState = o->ThemeState;
    SetButtonCount(Integer(o->Buttons.size()));
    for (size_t i = 0; i < Buttons.size(); ++i) Buttons[i]->Assign(o->Buttons[i].get());
    PressedButton = o->PressedButton;
    HotButton = o->HotButton;
  }
  TcxContainerViewInfo::CopyLayoutFrom(other);
}

TcxRegion* TcxCustomEditViewInfo::CreateChangedRegion(TcxContainerViewInfo* other) {
  TcxRegion* region = TcxContainerViewInfo::CreateChangedRegion(other);
  auto* o = dynamic_cast<TcxCustomEditViewInfo*>(other);
  const bool has_border = EditBorderStyle != ebsNone;
  if (o && o->EditBorderStyle == EditBorderStyle && (!has_border || o->FrameColor == FrameColor) &&
      o->Buttons.size() == Buttons.size() && o->ThemeState == ThemeState) {
    for (size_t i = 0; i < Buttons.size(); ++i) {
      TcxRegion* part = Buttons[i]->ChangedRegion(o->Buttons[i].get());
      region->CombineWith(part, roAdd, true);
    }
  } else if (!OuterRect.IsEmpty()) {
    region->CombineWith(TcxRegion::CreateFromRect(OuterRect), roAdd, true);
  }
  return region;
}

void TcxCustomEditViewInfo::TranslateBy(Integer dx, Integer dy) {
  TcxContainerViewInfo::TranslateBy(dx, dy);
  InnerRect = Moved(InnerRect, dx, dy);
  BorderRectCopy = Moved(BorderRectCopy, dx, dy);
  for (auto& b : Buttons) {
    b->Bounds = Moved(b->Bounds, dx, dy);
    b->VisibleBounds = Moved(b->VisibleBounds, dx, dy);
  }
}

bool TcxCustomEditViewInfo::Repaint(TWinControl* control, TcxCustomEditViewInfo* old_view_info) {
  return RepaintExcept(control, TRect(), old_view_info);
}

bool TcxCustomEditViewInfo::RepaintExcept(TWinControl* control, const TRect& excluded,
                                          TcxCustomEditViewInfo* old) {
  if (!control || !control->HandleAllocated()) return false;
  HWND wnd = control->Handle();
  const TRect r = OuterRect;
  TRect client;
  GetClientRect(wnd, &client);
  auto clip_to_client = [&](const TRect& a) {
    TRect out;
    return IntersectRect(&out, &a, &client) ? out : TRect();
  };
  if (!old) {
    InvalidateAroundRect(wnd, r, clip_to_client(excluded), Erase);
    return false;
  }
  bool result = false;
  bool repaint = false;
  TRect keep;
  if (old->ThemeState != ThemeState || old->FillColor != FillColor ||
      (RepaintsOnStateChange() && !(old->StateFlags == StateFlags)) ||
      old->Buttons.size() != Buttons.size()) {
    repaint = true;
    keep = clip_to_client(excluded);
  } else if ((EditBorderStyle != ebsNone && old->FrameColor != FrameColor) ||
             old->EditBorderStyle != EditBorderStyle) {
    repaint = true;
    keep = InteriorRect;
  }
  if (repaint && !r.IsEmpty() && r != keep) {
    InvalidateAroundRect(wnd, r, keep, old->Erase);
    result = true;
  }
  if (old->Buttons.size() == Buttons.size())
    for (size_t i = 0; i < Buttons.size(); ++i)
      result |= Buttons[i]->Repaint(control, old->Buttons[i].get(), TPoint(0, 0));
  return result;
}

// ---- background -----------------------------------------------------------------------------------

namespace {

void PaintPlainBackground(TcxCanvas* canvas, TcxCustomEditViewInfo* vi, bool fill_client) {
  const TcxBorders edges = vi->FrameSides;
  const Integer w = BorderWidthOfStyle(vi->EditBorderStyle);
  TRect r = vi->InteriorRect;
  r.Left -= w;
  r.Top -= w;
  if (edges.Contains(bRight)) r.Right += w;
  if (edges.Contains(bBottom)) r.Bottom += w;
  if (vi->HasShadow) PaintContainerShadow(canvas, r);
  if (!edges.Contains(bRight)) r.Right += w;
  if (!edges.Contains(bBottom)) r.Bottom += w;
  switch (vi->EditBorderStyle) {
    case ebsSingle:
    case ebsThick:
    case ebsUltraFlat:
    case ebsOffice11: canvas->DrawFrameSides(r, vi->FrameColor, w, edges); break;
    case ebsFlat:
      canvas->DrawBevelEdge(r, true, true, edges);
      canvas->DrawFrameSides(Deflated(r, 1, 1), clBtnFace, 1, edges);
      break;
    case ebs3D:
      canvas->DrawBevelEdge(r, true, true, edges);
      canvas->DrawTwoColorFrame(Deflated(r, 1, 1), cl3DDkShadow, cl3DLight, edges, 1);
      break;
    default: break;
  }
  if (vi->IsBackgroundTransparent()) return;
  if (vi->InPlace) {
    if (fill_client) FillRectWithColor(canvas, vi->OuterRect, vi->FillColor);
    else if (vi->HasInplaceContentOffsets)
      FillRectExcept(canvas, vi->OuterRect, vi->InteriorRect, ObtainSolidBrush(vi->FillColor));
  } else if (fill_client) {
    FillRectWithColor(canvas, vi->InteriorRect, vi->FillColor);
  }
}

}  // namespace

namespace {

// The visual style's edit background over the bounds of a standalone editor with a border;
// otherwise the bounds in the background colour.
void PaintNativeBackground(TcxCanvas* canvas, TcxCustomEditViewInfo* vi, bool fill_client,
                           Integer content_mode) {
  const bool transparent = vi->IsBackgroundTransparent();
  const TRect& bounds = vi->OuterRect;
  if (vi->InPlace || vi->EditBorderStyle == ebsNone) {
    if (!transparent) FillRectWithColor(canvas, bounds, vi->FillColor);
    return;
  }
  HTHEME theme = OpenThemeCached(tcEdit);
  TRect content;
  switch (content_mode) {
    case 0:
      if (UxGetThemeBackgroundContentRect(theme, canvas->DeviceContext(), 1, vi->ThemeState,
                                          bounds, content) != S_OK)
        content = Deflated(bounds, 2, 2);
      break;
    case 1:
      content = Deflated(bounds, 3, 3);
      content.Right = vi->ClientArea.Right - 1;
      break;
    default: content = vi->ClientArea; break;
  }
  canvas->PushDeviceState();
  canvas->ExcludeFromClip(content);
  UxDrawThemeBackground(theme, canvas->DeviceContext(), 1, vi->ThemeState, bounds, bounds);
  canvas->PopDeviceState();
  if (transparent) return;
  if (!fill_client && content_mode != 2) {
    FillRectExcept(canvas, vi->InteriorRect, content, ObtainSolidBrush(vi->FillColor));
    content = vi->InteriorRect;
  }
  if (fill_client) FillRectWithColor(canvas, content, vi->FillColor);
}

}  // namespace

void PaintEditViewBackground(TcxCanvas* canvas, TcxCustomEditViewInfo* vi, bool fill_client,
                             Integer content_mode) {
  ObtainSolidBrush(vi->FillColor);
  const bool cut_buttons = !vi->Buttons.empty() && !vi->Buttons[0]->PartiallyTransparent;
  canvas->PushDeviceState();
  if (cut_buttons)
    for (const auto& b : vi->Buttons)
      if (!b->VisibleBounds.IsEmpty()) canvas->ExcludeFromClip(b->VisibleBounds);
  if (!(vi->InPlace && vi->DoDrawBackground(canvas))) {
    if (vi->UsesTheme && OpenThemeCached(tcEdit) != 0)
      PaintNativeBackground(canvas, vi, fill_client, content_mode);
    else
      PaintPlainBackground(canvas, vi, fill_client);
  }
  canvas->PopDeviceState();
  vi->DrawButtons(canvas);
}
