// The frame of dock controls: the non-client calculation with its caption and button
// rectangles, the minimum sizes and the frame requests that the controller may defer.
#include "docking/dxDockControl.h"
#include "user/Windows.h"

bool TdxCustomDockControl::HasCaptionCloseButton() { return HasCaption() && captionButtons_.Contains(cbClose); }
bool TdxCustomDockControl::HasCaptionHideButton() {
  return HasCaption() && captionButtons_.Contains(cbHide) && CanAutoHide();
}
bool TdxCustomDockControl::HasCaptionMaximizeButton() {
  return HasCaption() && captionButtons_.Contains(cbMaximize) && CanMaximize();
}

bool TdxCustomDockControl::IsCaptionVertical() {
  return Painter()->CanVerticalCaption() && (dockType_ == dtTop || dockType_ == dtBottom);
}

Integer TdxCustomDockControl::GetMinimumHeight() {
  TdxDockControlPainter* p = Painter();
  if (!HasCaption()) return 28;
  if (IsCaptionVertical())
    return 2 * p->GetBorderWidth() + 6 * p->GetCaptionSpacing() + 3 * p->GetCaptionButtonSize();
  return p->GetCaptionHeight() + 2 * p->GetBorderWidth();
}

Integer TdxCustomDockControl::GetMinimumWidth() {
  TdxDockControlPainter* p = Painter();
  if (!HasCaption()) return 58;
  if (IsCaptionVertical()) return p->GetCaptionHeight() + 2 * p->GetBorderWidth();
  return 2 * p->GetBorderWidth() + 6 * p->GetCaptionSpacing() + 3 * p->GetCaptionButtonSize();
}

void TdxCustomDockControl::CalculateNC(TRect& r) {
  TdxDockControlPainter* p = Painter();
  Integer border = p->GetBorderWidth();
  if (HasBorder()) r = Rect(r.Left + border, r.Top + border, r.Right - border, r.Bottom - border);
  if (!HasCaption()) return;
  captionSeparatorRect_ = TRect();
  Integer size = p->GetCaptionButtonSize(), spacing = p->GetCaptionSpacing(), height = p->GetCaptionHeight();
  closeRect_ = hideRect_ = maximizeRect_ = TRect();
  struct Button {
    bool available;
    TRect* rect;
  } buttons[] = {{HasCaptionCloseButton(), &closeRect_},
                 {HasCaptionHideButton(), &hideRect_},
                 {HasCaptionMaximizeButton(), &maximizeRect_}};
  if (IsCaptionVertical()) {
    captionRect_ = Rect(r.Left, r.Top, r.Left + height, r.Bottom);
    Integer e = captionRect_.Top + 2 * spacing;
    for (Button& b : buttons) {
      if (!b.available) continue;
      Integer left = captionRect_.Left + (captionRect_.Width() - size) / 2;
      *b.rect = Rect(left, e, left + size, e + size);
      e = b.rect->Bottom + spacing;
    }
    captionTextRect_ = captionRect_;
    captionTextRect_.Bottom -= 2 * spacing;
    captionTextRect_.Top = e;
    r.Left = captionRect_.Right;
    captionSeparatorRect_ = Rect(r.Left, r.Top, r.Left + std::min(r.Right - r.Left, border), r.Bottom);
    r.Left = captionSeparatorRect_.Right;
  } else {
    captionRect_ = Rect(r.Left, r.Top, r.Right, r.Top + height);
    Integer e = captionRect_.Right - 2 * spacing;
    for (Button& b : buttons) {
      if (!b.available) continue;
      Integer top = captionRect_.Top + (height - size) / 2;
      *b.rect = Rect(e - size, top, e, top + size);
      e = b.rect->Left - spacing;
    }
    captionTextRect_ = captionRect_;
    captionTextRect_.Left += 2 * spacing;
    captionTextRect_.Right = e;
    r.Top = captionRect_.Bottom;
    captionSeparatorRect_ = Rect(r.Left, r.Top, r.Right, r.Top + std::min(r.Bottom - r.Top, border));
    r.Top = captionSeparatorRect_.Bottom;
  }
}

void TdxCustomDockControl::WMNCCalcSize(TMessage& m) {
  auto* rect = reinterpret_cast<RECT*>(m.LParam);
  if (!forceRecalc_ && !Controller()->CanRecalculateNC(this)) {
    *rect = cachedClientRect_;
    m.Result = 0;
    return;
  }
  TCustomControl::WndProc(m);
  TRect r = *rect;
  Integer dx = r.Left, dy = r.Top;
  r = Rect(0, 0, r.Width(), r.Height());
  windowRect_ = r;
  CalculateNC(r);
  r = Rect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
  if (r.Left > r.Right) r.Left = r.Right;
  if (r.Top > r.Bottom) r.Top = r.Bottom;
  *rect = r;
  cachedClientRect_ = r;
  forceRecalc_ = false;
}

void TdxCustomDockControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NCCALCSIZE: WMNCCalcSize(message); return;
    case WM_MOUSEACTIVATE:
      // A click into the control makes it the active dock control.
      Activate();
      message.Result = MA_ACTIVATE;
      return;
    case WM_MOVE:
    case WM_SIZE: {
      DockingController()->BeginUpdateNC();
      try {
        TCustomControl::WndProc(message);
      } catch (...) {
        DockingController()->EndUpdateNC();
        throw;
      }
      DockingController()->EndUpdateNC();
      return;
    }
    default: TCustomControl::WndProc(message);
  }
}

void TdxCustomDockControl::RecalculateNC(bool force) {
  forceRecalc_ = force;
  if (HandleAllocated() && (force || Controller()->CanRecalculateNC(this)))
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TdxCustomDockControl::InvalidateNC(bool recalculate) {
  if (!HandleAllocated()) return;
  if (recalculate) {
    TRect r = windowRect_;
    CalculateNC(r);
  }
  if (Controller()->CanPaintNC(this)) SendMessage(Handle(), WM_NCPAINT, 1, 0);
}

void TdxCustomDockControl::RepaintNC() { InvalidateNC(false); }

void TdxCustomDockControl::BeginUpdateNC() { Controller()->BeginUpdateNC(); }
void TdxCustomDockControl::EndUpdateNC() { Controller()->EndUpdateNC(); }

// ---- the standard painter's class operations and metrics -----------------------------------

KORVAN_IMPLEMENT_CLASS(TdxDockControlPainter)

void TdxDockControlPainter::InitManagerColor(TdxDockingManager* manager) { manager->SetColor(clBtnFace); }

void TdxDockControlPainter::InitManagerFont(TdxDockingManager* manager) {
  TFont* f = manager->Font();
  f->SetCharset(DEFAULT_CHARSET);
  f->SetColor(clBlack);
  f->SetHeight(-11);
  f->SetName("MS Sans Serif");
  f->SetPitch(fpDefault);
  f->SetStyle({});
}

TColor TdxDockControlPainter::GetColor() { return owner_ ? owner_->Color() : clBtnFace; }

TFont* TdxDockControlPainter::GetFont() {
  if (owner_) return owner_->Font();
  static TFont defaultFont;
  return &defaultFont;
}

Integer TdxDockControlPainter::FontSize() { return GetFont()->Size(); }

Integer TdxDockControlPainter::GetTabsHeight() {
  return std::max(FontSize() + 22, 2 * GetTabVertOffset() + GetImageHeight() + 8);
}

Integer TdxDockControlPainter::GetHideBarHeight() {
  return std::max(FontSize() + 20, 2 * GetHideBarVertInterval() + GetImageHeight() + 4);
}

Integer TdxDockControlPainter::GetHideBarWidth() {
  return std::max(FontSize() + 20, 2 * GetHideBarVertInterval() + GetImageWidth() + 4);
}
