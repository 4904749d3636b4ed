// The editor popup window: frame, shadow, system panel, close button, size grip, user sizing.
#include <algorithm>

#include "editors/cxDropDownEdit.h"
#include "foundation/cxGeometry.h"
#include "editors/cxEditPaintUtils.h"
#include "foundation/dxUxTheme.h"
#include "vcl/Forms.h"

namespace {

constexpr Integer ShadowWidth = 3;

// The sizing state, shared by every editor popup (one is resized at a time).
struct TSizingState {
  bool Dragging = false;
  bool CursorShown = false;
  Integer Dx = 0, Dy = 0;          // the sizing directions
  Integer GrabX = 0, GrabY = 0;    // the grab offsets from the moving edges
  TRect Frame;                     // the sizing frame on the screen (empty: none drawn)
  TRect FinalBounds;               // the last non-empty frame
  TcxCustomEditPopupWindow* Window = nullptr;
};
TSizingState gSizing;

TCursor SizingCursor(Integer dx, Integer dy) {
  if (dx != 0 && dy != 0) return dx == dy ? crSizeNWSE : crSizeNESW;
  if (dy != 0) return crSizeNS;
  if (dx != 0) return crSizeWE;
  return crDefault;
}

}  // namespace

// ---- view info -----------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomEditPopupWindowViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxPopupEditPopupWindowViewInfo)

Integer TcxCustomEditPopupWindowViewInfo::TableBorderWidth(TcxEditPopupBorderStyle style) {
  switch (style) {
    case epbsSingle: return 1;
    case epbsFrame3D: return 4;
    case epbsFlat: return 2;
    default: return 0;
  }
}

Integer TcxCustomEditPopupWindowViewInfo::TableClientEdgeWidth(TcxEditPopupBorderStyle style) {
  switch (style) {
    case epbsSingle:
    case epbsFrame3D: return 2;
    case epbsFlat: return 1;
    default: return 0;
  }
}

Integer TcxCustomEditPopupWindowViewInfo::GetNaturalSysPanelHeight() {
  Integer h = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
  if (SysPanelStyle && NativeStyle && CanPaintNatively(true, tcWindow) && CanPaintNatively(true, tcScrollBar)) {
    TSize size;
    if (UxGetThemePartSizeNoRect(OpenThemeCached(tcWindow), nullptr, 18, 1, TS_TRUE, size) == S_OK)
      h = std::max<Integer>(h, size.cy);
    if (UxGetThemePartSizeNoRect(OpenThemeCached(tcScrollBar), nullptr, 10, 1, TS_TRUE, size) == S_OK)
      h = std::max<Integer>(h, size.cy);
  }
  return h;
}

Integer TcxCustomEditPopupWindowViewInfo::GetSysPanelHeight() {
  const Integer natural = GetNaturalSysPanelHeight();
  return MinSysPanelHeight > 0 ? std::max(natural, MinSysPanelHeight) : natural;
}

Integer TcxCustomEditPopupWindowViewInfo::GetBorderWidth(bool with_client_edge) {
  Integer width;
  bool handled = false;
  if (OnCustomDrawBorder) {
    Integer custom = 0;
    TRect r = Bounds;
    OnCustomDrawBorder(this, nullptr, custom, handled, r);
    width = custom;
  }
  if (!handled) width = NativeStyle ? 1 : TableBorderWidth(BorderStyle);
  if (with_client_edge && ClientEdge) width += NativeStyle ? 2 : TableClientEdgeWidth(BorderStyle);
  return width;
}

void TcxCustomEditPopupWindowViewInfo::CalculateBorderExtent(TRect& extent) {
  const Integer w = GetBorderWidth(true);
  extent = TRect(w, w, w, w);
  if (Shadow) {
    extent.Right += ShadowWidth;
    extent.Bottom += ShadowWidth;
  }
  if (SysPanelStyle) {
    SysPanelHeight = GetSysPanelHeight();
    const Integer grow = SysPanelHeight + (NativeStyle || BorderStyle == epbsSingle ? 1 : 0);
    if (PanelAtBottom()) extent.Bottom += grow;
    else extent.Top += grow;
  } else {
    SysPanelHeight = 0;
  }
  SizingZone = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
}

void TcxCustomEditPopupWindowViewInfo::Calculate() {
  TRect extent;
  GetBorderExtent(extent);
  ClientArea = TRect(Bounds.Left + extent.Left, Bounds.Top + extent.Top, Bounds.Right - extent.Right,
                     Bounds.Bottom - extent.Bottom);
  const Integer w = GetBorderWidth(!SysPanelStyle);
  FrameRect = GrowRect(Bounds, -w, -w);
  if (Shadow) {
    FrameRect.Right -= ShadowWidth;
    FrameRect.Bottom -= ShadowWidth;
  }
  CloseButtonThemeState = SysPanelStyle && NativeStyle && CanPaintNatively(true, tcWindow) ? Integer(CloseButtonState) : 0;
  SizeGripRect = SizeGripDrawRect = CloseButtonRect = TRect();
  if (SysPanelStyle) {
    if (Sizeable) CalculateSizeGripRects();
    CalculateCloseButtonRect();
  }
  OuterRect = Bounds;
}

void TcxCustomEditPopupWindowViewInfo::CalculateSizeGripRects() {
  Integer side = GetNaturalSysPanelHeight() - 2;
  TSize cx(side, side);
  if (NativeStyle && CanPaintNatively(true, tcScrollBar)) {
    TSize size;
    if (UxGetThemePartSizeNoRect(OpenThemeCached(tcScrollBar), nullptr, 10, 1, TS_TRUE, size) == S_OK)
      cx = TSize(std::max<Integer>(cx.cx, size.cx + 2), std::max<Integer>(cx.cy, size.cy + 2));
  }
  TRect r = FrameRect;
  if (GripOnLeft()) r.Right = r.Left + cx.cx;
  else r.Left = r.Right - cx.cx;
  if (PanelAtBottom()) r.Top = r.Bottom - cx.cy;
  else r.Bottom = r.Top + cx.cy;
  SizeGripRect = r;
  SizeGripDrawRect = r;
  if (GripOnLeft()) SizeGripDrawRect.Left += 2;
  else SizeGripDrawRect.Right -= 2;
  if (PanelAtBottom()) SizeGripDrawRect.Bottom -= 2;
  else SizeGripDrawRect.Top += 2;
}

void TcxCustomEditPopupWindowViewInfo::CalculateCloseButtonRect() {
  if (!CloseButton) {
    CloseButtonRect = TRect();
    return;
  }
  TSize size(GetNaturalSysPanelHeight() - 4, GetNaturalSysPanelHeight() - 4);
  if (CloseButtonThemeState != 0) {
    TSize themed;
    if (UxGetThemePartSizeNoRect(OpenThemeCached(tcWindow), nullptr, 18, 1, TS_TRUE, themed) == S_OK) size = themed;
  }
  TRect r = FrameRect;
  if (CloseButtonThemeState == 0) {
    if (GripOnLeft()) r.Left += 2;
    else r.Right -= 2;
  }
  if (!GripOnLeft()) {
    r.Left += 1;
    r.Right = r.Left + size.cx;
  } else {
    r.Right -= 1;
    r.Left = r.Right - size.cx;
  }
  if (CloseButtonThemeState != 0) {
    const Integer gap = (SysPanelHeight - size.cy) / 2;
    if (PanelAtBottom()) r.Bottom = FrameRect.Bottom - gap, r.Top = r.Bottom - size.cy;
    else r.Top = FrameRect.Top + gap, r.Bottom = r.Top + size.cy;
  } else if (PanelAtBottom()) {
    r.Bottom = FrameRect.Bottom - 2;
    r.Top = r.Bottom - size.cy;
  } else {
    r.Top = FrameRect.Top + 2;
    r.Bottom = r.Top + size.cy;
  }
  CloseButtonRect = r;
}

void TcxCustomEditPopupWindowViewInfo::DrawBorder(TcxCanvas* canvas, TRect& r) {
  if (OnCustomDrawBorder) {
    Integer width = 0;
    bool handled = false;
    OnCustomDrawBorder(this, canvas, width, handled, r);
    if (handled) {
      r = GrowRect(r, -width, -width);
      return;
    }
  }
  if (NativeStyle || BorderStyle == epbsSingle) {
    canvas->DrawFrameSides(r, clBtnText);
  } else if (BorderStyle == epbsFrame3D || BorderStyle == epbsFlat) {
    canvas->DrawBevelEdge(r, false, true);
    r = GrowRect(r, -1, -1);
    canvas->DrawBevelEdge(r, false, false);
    if (BorderStyle == epbsFrame3D) {
      r = GrowRect(r, -1, -1);
      canvas->DrawFrameSides(r, ClientEdge ? clInactiveBorder : clBtnFace);
      r = GrowRect(r, -1, -1);
      if (ClientEdge) canvas->DrawFrameSides(r, clBtnFace);
      else canvas->DrawBevelEdge(r, true, true);
    }
  } else {
    return;  // epbsDefault: no border
  }
  r = GrowRect(r, -1, -1);
}

void TcxPopupEditPopupWindowViewInfo::DrawBorder(TcxCanvas* canvas, TRect& r) {
  if (BorderStyle != epbsFrame3D || NativeStyle || OnCustomDrawBorder) {
    TcxCustomEditPopupWindowViewInfo::DrawBorder(canvas, r);
    return;
  }
  canvas->DrawBevelEdge(r, false, true);
  r = GrowRect(r, -1, -1);
  canvas->DrawBevelEdge(r, false, false);
  r = GrowRect(r, -1, -1);
  canvas->DrawFrameSides(r, clInactiveBorder);
  r = GrowRect(r, -1, -1);
  canvas->DrawFrameSides(r, clBtnFace);
  r = GrowRect(r, -1, -1);
}

void TcxCustomEditPopupWindowViewInfo::DrawCloseButton(TcxCanvas* canvas) {
  if (CloseButtonThemeState != 0) {
    canvas->FillRectColor(CloseButtonRect, clBtnFace);
    UxDrawThemeBackground(OpenThemeCached(tcWindow), canvas->DeviceContext(), 18, CloseButtonThemeState, CloseButtonRect, CloseButtonRect);
    return;
  }
  PainterForLookAndFeel(NativeStyle, LookAndFeelKind)->PaintFilterCloseButton(canvas, CloseButtonRect, CloseButtonState);
}

void TcxCustomEditPopupWindowViewInfo::DrawPopupSizeGrip(TcxCanvas* canvas) {
  const TRect r = SizeGripDrawRect;
  canvas->FillRectColor(r, clBtnFace);
  // The grip glyph drawn off-screen and copied into the grip's corner, mirrored so that it
  // points to its corner.
  const Integer w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
  TBitmap glyph;
  glyph.SetSize(w, h);
  glyph.Canvas()->Brush()->SetColor(clBtnFace);
  glyph.Canvas()->FillRect(TRect(0, 0, w, h));
  RECT gr{0, 0, w, h};
  DrawFrameControl(glyph.Canvas()->Handle(), &gr, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  const Integer x = GripOnLeft() ? r.Left : r.Right - w;
  const Integer y = PanelAtBottom() ? r.Bottom - h : r.Top;
  const Integer sx = GripOnLeft() ? w - 1 : 0, sy = PanelAtBottom() ? 0 : h - 1;
  const Integer sw = GripOnLeft() ? -w : w, sh = PanelAtBottom() ? h : -h;
  canvas->IntersectClip(r);
  StretchBlt(canvas->DeviceContext(), x, y, w, h, glyph.Canvas()->Handle(), sx, sy, sw, sh, SRCCOPY);
}

void TcxCustomEditPopupWindowViewInfo::PaintTo(TcxCanvas* canvas) {
  canvas->PushDeviceState();
  TRect r = Bounds;
  if (Shadow) {
    r.Right -= ShadowWidth;
    r.Bottom -= ShadowWidth;
    PaintContainerShadow(canvas, r);
  }
  DrawBorder(canvas, r);
  const Integer edge = NativeStyle ? 2 : TableClientEdgeWidth(BorderStyle);
  if (SysPanelStyle && (BorderStyle == epbsSingle || CloseButtonThemeState != 0)) {
    const Integer left = ClientArea.Left - (ClientEdge ? edge : 0), right = ClientArea.Right + (ClientEdge ? edge : 0);
    const Integer y = PanelAtBottom() ? ClientArea.Bottom + (ClientEdge ? edge : 0)
                                      : ClientArea.Top - (ClientEdge ? edge : 0) - 1;
    canvas->FillRectColor(TRect(left, y, right, y + 1), clBtnText);
  }
  if (ClientEdge) {
    TRect e = r;
    const Integer panel = SysPanelStyle ? SysPanelHeight + (NativeStyle || BorderStyle == epbsSingle ? 1 : 0) : 0;
    if (PanelAtBottom()) e.Bottom -= panel;
    else e.Top += panel;
    canvas->DrawBevelEdge(e, true, true);
    if (NativeStyle || BorderStyle != epbsFlat) canvas->DrawBevelEdge(GrowRect(e, -1, -1), true, false);
  }
  if (SysPanelStyle) {
    if (Sizeable) {
      canvas->PushDeviceState();
      DrawPopupSizeGrip(canvas);
      canvas->PopDeviceState();
      canvas->ExcludeFromClip(SizeGripDrawRect);
    }
    if (!CloseButtonRect.IsEmpty()) {
      DrawCloseButton(canvas);
      canvas->ExcludeFromClip(CloseButtonRect);
    }
  }
  canvas->FillRectColor(ClientArea, clBtnFace);
  if (SysPanelStyle) {
    TRect strip = r;
    if (PanelAtBottom()) strip.Top = strip.Bottom - SysPanelHeight;
    else strip.Bottom = strip.Top + SysPanelHeight;
    canvas->FillRectColor(strip, clBtnFace);
  }
  canvas->PopDeviceState();
}

bool TcxCustomEditPopupWindowViewInfo::GetSizingHitTest(Integer x, Integer y, Integer& dx, Integer& dy) {
  dx = dy = 0;
  const TPoint p(x, y);
  if (!Sizeable || !PtInRect(&Bounds, p)) return false;
  if (SysPanelStyle && PtInRect(&SizeGripRect, p)) {
    dx = GripOnLeft() ? -1 : 1;
    dy = PanelAtBottom() ? 1 : -1;
    return true;
  }
  if (PtInRect(&FrameRect, p)) return false;
  if (GripOnLeft() && x < SizingZone) dx = -1;
  else if (!GripOnLeft() && x >= Bounds.Width() - SizingZone) dx = 1;
  if (!PanelAtBottom() && y < SizingZone) dy = -1;
  else if (PanelAtBottom() && y >= Bounds.Height() - SizingZone) dy = 1;
  return true;
}

// ---- window --------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomEditPopupWindow)

TcxCustomEditPopupWindow::TcxCustomEditPopupWindow(TWinControl* owner_control) : TcxCustomPopupWindow(owner_control) {
  SetSizeToChildren(false);
}

TcxCustomEditPopupWindow::~TcxCustomEditPopupWindow() {
  if (gSizing.Window == this) gSizing = TSizingState();
}

TcxCustomDropDownEdit* TcxCustomEditPopupWindow::GetOwnerControl() const {
  return dynamic_cast<TcxCustomDropDownEdit*>(OwnerControl());
}

void TcxCustomEditPopupWindow::SetBorderStyle(TcxEditPopupBorderStyle v) {
  borderStyle_ = v;
  GetPopupViewInfo()->BorderStyle = v;
}
void TcxCustomEditPopupWindow::SetClientEdge(bool v) {
  clientEdge_ = v;
  GetPopupViewInfo()->ClientEdge = v;
}
void TcxCustomEditPopupWindow::SetCloseButton(bool v) {
  closeButton_ = v;
  GetPopupViewInfo()->CloseButton = v;
}
void TcxCustomEditPopupWindow::SetNativeStyle(bool v) {
  nativeStyle_ = v;
  GetPopupViewInfo()->NativeStyle = v;
}
void TcxCustomEditPopupWindow::SetShadow(bool v) {
  shadow_ = v;
  GetPopupViewInfo()->Shadow = v;
}
void TcxCustomEditPopupWindow::SetSizeable(bool v) {
  sizeable_ = v;
  GetPopupViewInfo()->Sizeable = v;
}
void TcxCustomEditPopupWindow::SetSysPanelStyle(bool v) {
  sysPanelStyle_ = v;
  GetPopupViewInfo()->SysPanelStyle = v;
}

void TcxCustomEditPopupWindow::CalculateViewInfo() {
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  vi->Bounds = TRect(0, 0, Width(), Height());
  vi->Calculate();
}

void TcxCustomEditPopupWindow::AdjustClientRect(TRect& rect) {
  TRect extent;
  GetPopupViewInfo()->GetBorderExtent(extent);
  rect = TRect(extent.Left, extent.Top, Width() - extent.Right, Height() - extent.Bottom);
}

void TcxCustomEditPopupWindow::Paint() {
  CalculateViewInfo();
  GetPopupViewInfo()->PaintTo(FormCanvas());
}

void TcxCustomEditPopupWindow::GetMinSize(TSize& size) {
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  TRect extent;
  vi->GetBorderExtent(extent);
  size = TSize(extent.Left + extent.Right, extent.Top + extent.Bottom);
  if (sizeable_ && sysPanelStyle_) {
    CalculateViewInfo();
    size.cx += vi->CloseButtonRect.Width() + vi->SizeGripRect.Width() + 10;
  }
}

void TcxCustomEditPopupWindow::CalculateSize() {
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  vi->GripCorner = 3;
  TcxCustomDropDownEdit* edit = GetOwnerControl();
  if (edit) OwnerBounds = edit->PopupOwnerBounds();
  TRect extent;
  vi->GetBorderExtent(extent);
  TSize m, c;
  GetMinSize(m);
  if (edit) edit->PopupContentSize(c);
  Integer w, h;
  if (autoSize_) w = c.cx + extent.Left + extent.Right;
  else w = PopupWidth > 0 ? PopupWidth : (edit ? edit->Width() : 0);
  if (sizeable_ && MinWidth > 0) w = std::max(w, MinWidth);
  if (autoSize_) h = c.cy + extent.Top + extent.Bottom;
  else h = PopupHeight > 0 ? PopupHeight : std::max<Integer>(MinHeight, m.cy);
  if (sizeable_ && MinHeight > 0) h = std::max(h, MinHeight);
  SetBounds(Left(), Top(), std::max<Integer>(w, m.cx), std::max<Integer>(h, m.cy));
}

TPoint TcxCustomEditPopupWindow::CalculatePlacement() {
  TcxCustomDropDownEdit* edit = GetOwnerControl();
  if (edit) {
    OwnerBounds = edit->PopupOwnerBounds();
    SetAnchorBounds(OwnerBounds);
    SetAnchorParent(edit->Parent());
  }
  TPoint p = TcxCustomPopupWindow::CalculatePlacement();
  if (!edit || !edit->Parent()) return p;
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  const TRect o(edit->Parent()->ClientToScreen(OwnerBounds.TopLeft()),
                edit->Parent()->ClientToScreen(OwnerBounds.BottomRight()));
  TRect a;
  MonitorWorkAreaAt(p, a);
  const Integer w = Width(), h = Height();
  const bool left = (HorzAlignment() == 2 && p.X + w == o.Right && p.X > a.Left) || p.X + w == o.Left ||
                    (p.X + w == a.Right && p.X < o.Right);
  const bool up = (VertAlignment() == 2 && p.Y + h == o.Bottom && p.Y > a.Top) || p.Y + h == o.Top ||
                  (p.Y + h == a.Bottom && p.Y < o.Bottom);
  vi->GripCorner = left ? (up ? 0 : 2) : (up ? 1 : 3);
  if (shadow_ && up) p.Y += ShadowWidth;
  return p;
}

bool TcxCustomEditPopupWindow::ShrinksToWorkArea() {
  TcxCustomDropDownEdit* edit = GetOwnerControl();
  return edit && edit->EffectiveDropDownProperties()->KeepsPopupInsideWorkArea();
}

void TcxCustomEditPopupWindow::RecalculateLayout() {
  TcxCustomDropDownEdit* edit = GetOwnerControl();
  if (edit) OwnerBounds = edit->PopupOwnerBounds();
  CalculateViewInfo();
  if (edit) edit->PositionPopupContent(GetPopupViewInfo()->ClientArea);
  if (HandleAllocated()) {
    InvalidateRect(Handle(), nullptr, TRUE);
    Update();
  }
}

void TcxCustomEditPopupWindow::ApplyPopupWindowRegion() {
  if (!HandleAllocated()) return;
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  const bool cut = shadow_ && !nativeStyle_;
  TRect body(0, 0, Width() - (cut ? ShadowWidth : 0), Height() - (cut ? ShadowWidth : 0));
  TRect overEditor;
  TcxCustomDropDownEdit* edit = GetOwnerControl();
  if (cut && !vi->PanelAtBottom() && edit && edit->Parent()) {
    // Opened above the editor: the bottom shadow strip's part over the editor.
    const TPoint o = ScreenToClient(edit->Parent()->ClientToScreen(OwnerBounds.TopLeft()));
    overEditor = TRect(o.X, Height() - ShadowWidth, o.X + OwnerBounds.Width() - ShadowWidth, Height());
  }
  UpdateWindowRegion(Handle(), body, !cut, overEditor, cut);
}

void TcxCustomEditPopupWindow::ShowPopup(TWinControl* focus_control) {
  TcxCustomDropDownEdit* edit = GetOwnerControl();
  if (edit && (!edit->HandleAllocated() || !IsWindowVisible(edit->Handle()))) {
    edit->DoFinalizePopup();
    return;
  }
  TcxCustomPopupWindow::ShowPopup(focus_control);
}

void TcxCustomEditPopupWindow::FireClosed() {
  if (gSizing.Window == this) {
    gSizing.Dragging = false;
    gSizing.CursorShown = false;
  }
  TcxCustomPopupWindow::FireClosed();
}

void TcxCustomEditPopupWindow::FireClosing() {
  TcxCustomPopupWindow::FireClosing();
  if (gSizing.Window == this && !gSizing.Frame.IsEmpty()) {
    DrawSizingFrame(gSizing.Frame);
    gSizing.Frame = TRect();
  }
}

void TcxCustomEditPopupWindow::FinishModal() {
  TcxCustomDropDownEdit* edit = GetOwnerControl();
  const TModalResult result = ModalResult();
  if (!edit) {
    ClosePopup();
    return;
  }
  edit->CloseUp(result == mrOk ? crAccept : result == mrCancel ? crCancel : crClosedOtherwise);
}

void TcxCustomEditPopupWindow::ForwardCharToFocus(char32_t c) {
  if (HWND focus = GetFocus()) SendMessage(focus, WM_CHAR, WPARAM(c), 0);
}

void TcxCustomEditPopupWindow::WndProc(TMessage& m) {
  if (m.Msg == DXM_POPUPFORWARDCHAR) {
    if (std::find(ShownPopups().begin(), ShownPopups().end(), this) != ShownPopups().end())
      ForwardCharToFocus(char32_t(m.WParam));
    return;
  }
  if (m.Msg == WM_MOUSELEAVE) MouseLeft();
  if (m.Msg == WM_ACTIVATE) activating_ = LOWORD(m.WParam) == WA_INACTIVE ? reinterpret_cast<HWND>(m.LParam) : nullptr;
  TcxCustomPopupWindow::WndProc(m);
}

void TcxCustomEditPopupWindow::KeyDown(Word& key, TShiftState shift) {
  TWeakRef<TcxCustomEditPopupWindow> self(this);
  if (TcxCustomDropDownEdit* edit = GetOwnerControl(); edit && TakesFocus()) {
    edit->PopupKeyDown(key, shift);
    if (!self || key == 0) return;
  }
  TcxCustomPopupWindow::KeyDown(key, shift);
}

void TcxCustomEditPopupWindow::Deactivate() {
  // The window taking the activation is a form hosted inside this popup.
  for (TControl* c = activating_ ? FindControl(activating_) : nullptr; c; c = c->Parent())
    if (c == this) return;
  TcxCustomPopupWindow::Deactivate();
}

bool TcxCustomEditPopupWindow::CanResize(Integer& width, Integer& height) {
  if (!TcxCustomPopupWindow::CanResize(width, height)) return false;
  if (!sizeable_ || (width == Width() && height == Height())) return true;
  TSize m;
  GetMinSize(m);
  if (MinWidth > 0) m.cx = std::max<Integer>(m.cx, MinWidth);
  if (MinHeight > 0) m.cy = std::max<Integer>(m.cy, MinHeight);
  width = std::max<Integer>(width, m.cx);
  height = std::max<Integer>(height, m.cy);
  TcxCustomDropDownEdit* edit = GetOwnerControl();
  if ((width != Width() || height != Height()) && edit && edit->UsesLookupData() &&
      edit->EffectiveDropDownProperties()->ShowsLookupListInPopup()) {
    TRect extent;
    GetPopupViewInfo()->GetBorderExtent(extent);
    TSize content(width - extent.Left - extent.Right, height - extent.Top - extent.Bottom);
    if (!edit->QueryLookupData()->CanResizeList(content, AvailableContentHeight())) {
      width = Width();
      height = Height();
      return true;
    }
    width = std::max<Integer>(content.cx + extent.Left + extent.Right, m.cx);
    height = std::max<Integer>(content.cy + extent.Top + extent.Bottom, m.cy);
  }
  return true;
}

Integer TcxCustomEditPopupWindow::AvailableContentHeight() {
  TRect extent, area;
  GetPopupViewInfo()->GetBorderExtent(extent);
  MonitorWorkAreaAt(TPoint(Left(), Top()), area);
  Integer height = area.Bottom - Top();
  // A popup above its editor grows upwards, up to the work area's top.
  if (TcxCustomDropDownEdit* edit = GetOwnerControl(); edit && edit->Parent()) {
    const Integer editor_top = edit->Parent()->ClientToScreen(OwnerBounds.TopLeft()).Y;
    if (Top() + Height() <= editor_top) height = editor_top - area.Top;
  }
  return std::max<Integer>(0, height - extent.Top - extent.Bottom);
}

void TcxCustomEditPopupWindow::Resize() {
  TcxCustomPopupWindow::Resize();
  CalculateViewInfo();
  ApplyPopupWindowRegion();
}

// ---- user sizing and the close button ----------------------------------------------------------------

void TcxCustomEditPopupWindow::SetSizingCursor(Integer dx, Integer dy) {
  SetCursor(SizingCursor(dx, dy));
}

bool TcxCustomEditPopupWindow::Dragging() const { return gSizing.Window == this && gSizing.Dragging; }
TRect TcxCustomEditPopupWindow::SizingFrameBounds() const { return gSizing.Window == this ? gSizing.Frame : TRect(); }

void TcxCustomEditPopupWindow::DrawSizingFrame(const TRect& r) {
  if (r.IsEmpty()) return;
  HDC dc = GetDC(nullptr);
  TRect f(r.Left, r.Top, r.Right - (shadow_ ? ShadowWidth : 0), r.Bottom - (shadow_ ? ShadowWidth : 0));
  const Integer times = std::max<Integer>(GetPopupViewInfo()->GetBorderWidth(false), 2);
  for (Integer i = 0; i < times; ++i) {
    DrawFocusRect(dc, &f);
    f = GrowRect(f, -1, -1);
  }
  ReleaseDC(nullptr, dc);
}

void TcxCustomEditPopupWindow::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxCustomPopupWindow::MouseDown(button, shift, x, y);
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  if (button != mbLeft) return;
  const TPoint p(x, y);
  if (sysPanelStyle_ && !vi->CloseButtonRect.IsEmpty() && PtInRect(&vi->CloseButtonRect, p)) {
    vi->CloseButtonState = cxbsPressed;
    InvalidateRect(Handle(), &vi->CloseButtonRect, FALSE);
    return;
  }
  Integer dx, dy;
  if (!HoldsCapture() || !vi->GetSizingHitTest(x, y, dx, dy)) return;
  gSizing = TSizingState();
  gSizing.Window = this;
  gSizing.Dragging = true;
  gSizing.Dx = dx;
  gSizing.Dy = dy;
  gSizing.GrabX = dx == -1 ? x : Width() - x;
  gSizing.GrabY = dy == -1 ? y : Height() - y;
  SetSizingCursor(dx, dy);
  gSizing.Frame = BoundsRect();
  gSizing.FinalBounds = gSizing.Frame;
  DrawSizingFrame(gSizing.Frame);
}

void TcxCustomEditPopupWindow::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxCustomPopupWindow::MouseMove(shift, x, y);
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  const TPoint p(x, y);
  // The close button follows the pointer.
  if (!vi->CloseButtonRect.IsEmpty()) {
    const bool inside = PtInRect(&vi->CloseButtonRect, p);
    TcxButtonState state = vi->CloseButtonState;
    if (state != cxbsNormal && !inside) state = cxbsNormal;
    else if (state == cxbsNormal && inside && !shift.Contains(ssLeft) && !shift.Contains(ssRight) &&
             !shift.Contains(ssMiddle) && !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt))
      state = cxbsHot;
    if (state != vi->CloseButtonState) {
      vi->CloseButtonState = state;
      InvalidateRect(Handle(), &vi->CloseButtonRect, FALSE);
    }
  }
  if (!Dragging()) {
    Integer dx, dy;
    if (vi->GetSizingHitTest(x, y, dx, dy)) {
      SetSizingCursor(dx, dy);
      gSizing.Window = this;
      gSizing.CursorShown = true;
    } else if (gSizing.Window == this && gSizing.CursorShown) {
      SetCursor(crDefault);
      gSizing.CursorShown = false;
    }
    return;
  }
  // Dragging: the edges on the grip's sides follow the pointer less the grab offsets.
  const TRect cur = BoundsRect();
  TRect r = gSizing.Frame.IsEmpty() ? cur : gSizing.Frame;
  const TPoint s = ClientToScreen(p);
  const bool hasGrip = sysPanelStyle_ && !vi->SizeGripRect.IsEmpty();
  const bool inGrip = hasGrip && PtInRect(&vi->SizeGripRect, p);
  if (gSizing.Dx == -1) r.Left = s.X - gSizing.GrabX;
  if (gSizing.Dx == 1) {
    const Integer right = s.X + gSizing.GrabX;
    if (!(hasGrip && right > r.Right && x < Width() && !inGrip)) r.Right = right;
  }
  if (gSizing.Dy == -1) r.Top = s.Y - gSizing.GrabY;
  if (gSizing.Dy == 1) {
    const Integer bottom = s.Y + gSizing.GrabY;
    if (!(hasGrip && bottom > r.Bottom && y < Height() && !inGrip)) r.Bottom = bottom;
  }
  Integer w = r.Width(), h = r.Height();
  if (!CanResize(w, h) || (w == cur.Width() && h == cur.Height() && r == gSizing.Frame)) return;
  // Anchored at the fixed edges.
  if (gSizing.Dx == -1) r.Left = r.Right - w;
  else r.Right = r.Left + w;
  if (gSizing.Dy == -1) r.Top = r.Bottom - h;
  else r.Bottom = r.Top + h;
  // Kept overlapping the editor horizontally and inside the work area.
  if (TcxCustomDropDownEdit* edit = GetOwnerControl(); edit && edit->Parent()) {
    const TRect o(edit->Parent()->ClientToScreen(OwnerBounds.TopLeft()),
                  edit->Parent()->ClientToScreen(OwnerBounds.BottomRight()));
    if (r.Left > o.Right - 1) r.Left = o.Right - 1;
    if (r.Right < o.Left + 1) r.Right = o.Left + 1;
  }
  TRect a;
  MonitorWorkAreaAt(cur.TopLeft(), a);
  r.Left = std::max(r.Left, a.Left);
  r.Top = std::max(r.Top, a.Top);
  r.Right = std::min(r.Right, a.Right);
  r.Bottom = std::min(r.Bottom, a.Bottom);
  if (r == gSizing.Frame) return;
  if (TcxCustomDropDownEdit* edit = GetOwnerControl()) {
    edit->SetSizeRemembered(true);
    edit->SetPopupSizeChanged(true);
  }
  DrawSizingFrame(gSizing.Frame);
  gSizing.Frame = r;
  if (!r.IsEmpty()) gSizing.FinalBounds = r;
  DrawSizingFrame(gSizing.Frame);
}

void TcxCustomEditPopupWindow::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomEditPopupWindow> self(this);
  TcxCustomPopupWindow::MouseUp(button, shift, x, y);
  if (!self) return;
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  if (Dragging()) {
    if (HoldsCapture()) ReleaseCapture();
    gSizing.Dragging = false;
    DrawSizingFrame(gSizing.Frame);
    gSizing.Frame = TRect();
    const TRect b = gSizing.FinalBounds;
    SetBounds(b.Left, b.Top, b.Width(), b.Height());
    RecalculateLayout();
    Integer dx, dy;
    SetSizingCursor(0, 0);
    if (vi->GetSizingHitTest(x, y, dx, dy)) SetSizingCursor(dx, dy);
    return;
  }
  if (vi->CloseButtonState == cxbsPressed) {
    const TPoint p(x, y);
    if (PtInRect(&vi->CloseButtonRect, p) && CloseQuery()) {
      if (TcxCustomDropDownEdit* edit = GetOwnerControl()) edit->CloseUp(crClosedOtherwise);
      else ClosePopup();
      if (!self || !IsWindowVisible(Handle())) return;
    }
    vi->CloseButtonState = PtInRect(&vi->CloseButtonRect, p) ? cxbsHot : cxbsNormal;
    InvalidateRect(Handle(), &vi->CloseButtonRect, FALSE);
  }
}

void TcxCustomEditPopupWindow::MouseLeft() {
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  if (vi->CloseButtonState != cxbsNormal) {
    vi->CloseButtonState = cxbsNormal;
    if (HandleAllocated()) InvalidateRect(Handle(), &vi->CloseButtonRect, FALSE);
  }
  if (!Dragging()) SetCursor(crDefault);
}
