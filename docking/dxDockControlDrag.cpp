// Zone upkeep of dock controls (which drop and resize zones each control offers), drag docking
// and resizing with their previews on the screen, the keys and cancelling of a drag, and the
// resize cursor.
#include <algorithm>

#include "docking/dxDockConsts.h"
#include "docking/dxDockControlBrackets.h"
#include "docking/dxDockPanel.h"
#include "docking/dxDockZones.h"
#include "user/Windows.h"

using namespace dock_consts;
using namespace dock_brackets;

// ---- zone lists ----------------------------------------------------------------------------

namespace {
// Zones freed while a drag or resize runs are kept until it ends: the drag still names one.
std::vector<std::unique_ptr<TdxZone>>& RetiredZones() {
  static std::vector<std::unique_ptr<TdxZone>> zones;
  return zones;
}

void ClearZones(TdxZoneList& list) {
  TdxDockingController* c = DockingController();
  if (c->DockingControl() || c->ResizingControl())
    for (auto& z : list) RetiredZones().push_back(std::move(z));
  list.clear();
}

}  // namespace

void TdxCustomDockControl::FreeZones() {
  ClearZones(dockZones_);
  ClearZones(resizeZones_);
}

void TdxCustomDockControl::InsertDockZone(TdxZone* zone) { dockZones_.insert(dockZones_.begin(), std::unique_ptr<TdxZone>(zone)); }
void TdxCustomDockControl::InsertResizeZone(TdxZone* zone) {
  resizeZones_.insert(resizeZones_.begin(), std::unique_ptr<TdxZone>(zone));
}

void TdxCustomDockControl::UpdateDockZones() {
  if (IsDestroying()) return;
  ClearZones(dockZones_);
  Integer full = DockZonesWidth(), depth = Depth(), width = full;
  for (TdxCustomDockControl* c = this; c; c = c->ParentDockControl()) {
    c->CreateDockZones(this, width);
    width -= full / depth;
  }
  if (OnUpdateDockZones) OnUpdateDockZones(this, dockZones_);
  if (TdxDockingManager* m = Controller()->FindManager(ParentForm()); m && m->OnUpdateDockZones)
    m->OnUpdateDockZones(this, dockZones_);
  for (TdxCustomDockControl* child : children_) child->UpdateDockZones();
}

void TdxCustomDockControl::UpdateResizeZones() {
  if (IsDestroying()) return;
  ClearZones(resizeZones_);
  TdxCustomDockControl* host = AutoHideControl();
  if (!host) host = AutoSizeHostSite();
  if (!host) host = SideContainer();
  if (!host) host = TabContainer();
  if (!host) host = this;
  host->CreateResizeZones(this);
  if (OnUpdateResizeZones) OnUpdateResizeZones(this, resizeZones_);
  if (TdxDockingManager* m = Controller()->FindManager(ParentForm()); m && m->OnUpdateResizeZones)
    m->OnUpdateResizeZones(this, resizeZones_);
  for (TdxCustomDockControl* child : children_) child->UpdateResizeZones();
}

void TdxCustomDockControl::CreateDockZones(TdxCustomDockControl* control, Integer width) {
  auto edge = [&](auto validate, auto make) {
    if (validate(this, control)) control->InsertDockZone(make());
  };
  edge(&TdxLeftZone::ValidateDockZone, [&] { return new TdxLeftZone(this, width, zkDock); });
  edge(&TdxRightZone::ValidateDockZone, [&] { return new TdxRightZone(this, width, zkDock); });
  edge(&TdxTopZone::ValidateDockZone, [&] { return new TdxTopZone(this, width, zkDock); });
  edge(&TdxBottomZone::ValidateDockZone, [&] { return new TdxBottomZone(this, width, zkDock); });
}

void TdxCustomDockControl::CreateResizeZones(TdxCustomDockControl* control) {
  Integer w = ResizeZonesWidth();
  auto add = [&](bool valid, auto make) {
    if (valid) control->InsertResizeZone(make());
  };
  if (control->AutoHide() && control->AutoHideHostSite()) {
    add(TdxAutoHideRightZone::ValidateResizeZone(this), [&] { return new TdxAutoHideRightZone(this, w, zkResize); });
    add(TdxAutoHideLeftZone::ValidateResizeZone(this), [&] { return new TdxAutoHideLeftZone(this, w, zkResize); });
    add(TdxAutoHideBottomZone::ValidateResizeZone(this), [&] { return new TdxAutoHideBottomZone(this, w, zkResize); });
    add(TdxAutoHideTopZone::ValidateResizeZone(this), [&] { return new TdxAutoHideTopZone(this, w, zkResize); });
  } else {
    add(TdxRightZone::ValidateResizeZone(this), [&] { return new TdxRightZone(this, w, zkResize); });
    add(TdxLeftZone::ValidateResizeZone(this), [&] { return new TdxLeftZone(this, w, zkResize); });
    add(TdxBottomZone::ValidateResizeZone(this), [&] { return new TdxBottomZone(this, w, zkResize); });
    add(TdxTopZone::ValidateResizeZone(this), [&] { return new TdxTopZone(this, w, zkResize); });
  }
}

TdxZone* TdxCustomDockControl::GetDockZoneAtPos(TdxCustomDockControl* control, TPoint screen) {
  if (!control->Dockable()) return nullptr;
  for (auto& z : dockZones_)
    if (z->IsZonePoint(screen) && z->CanDock(control)) return z.get();
  return nullptr;
}

TdxZone* TdxCustomDockControl::GetResizeZoneAtPos(TPoint screen) {
  if (!HandleAllocated() || !CanResizeAtPos(ScreenToClient(screen))) return nullptr;
  for (auto& z : resizeZones_)
    if (z->IsZonePoint(screen)) return z.get();
  return parentDockControl_ ? parentDockControl_->GetResizeZoneAtPos(screen) : nullptr;
}

bool TdxCustomDockControl::CanResizeAtPos(TPoint client) {
  if (IsDesigning()) return false;
  TPoint w = ScreenToWindow(ClientToScreen(client));
  if (HasCaption() && captionRect_.Contains(w)) return false;
  for (const TRect* b : {&closeRect_, &hideRect_, &maximizeRect_})
    if (b->Contains(w)) return false;
  return true;
}

bool TdxCustomDockControl::CanResizing(Integer newWidth, Integer newHeight) {
  bool resize = true;
  if (OnCanResize) OnCanResize(this, newWidth, newHeight, resize);
  return resize;
}

// ---- zones each kind of control offers -----------------------------------------------------

void TdxLayoutDockSite::CreateDockZones(TdxCustomDockControl* control, Integer width) {
  TdxCustomDockControl* sibling = SiblingDockControl();
  if (sibling && sibling->DockType() == dtClient) return;
  if (TdxClientZone::ValidateDockZone(this, control))
    control->InsertDockZone(new TdxClientZone(this, width));
  else if (TdxInvisibleClientZone::ValidateDockZone(this, control))
    control->InsertDockZone(new TdxInvisibleClientZone(this, width));
  TdxCustomDockControl::CreateDockZones(control, width);
}

void TdxDockSite::CreateDockZones(TdxCustomDockControl* control, Integer width) {
  if (AutoSize()) {
    if (TdxClientZone::ValidateDockZone(this, control))
      control->InsertDockZone(new TdxAutoSizeClientZone(this, width));
    else if (TdxInvisibleAutoSizeClientZone::ValidateDockZone(this, control))
      control->InsertDockZone(new TdxInvisibleAutoSizeClientZone(this, width));
    return;
  }
  if (TdxClientZone::ValidateDockZone(this, control))
    control->InsertDockZone(new TdxClientZone(this, width));
  else if (TdxInvisibleClientZone::ValidateDockZone(this, control))
    control->InsertDockZone(new TdxInvisibleClientZone(this, width));
  TdxCustomDockControl::CreateDockZones(control, width);
}

void TdxDockSite::CreateResizeZones(TdxCustomDockControl* control) {
  if (!AutoSize() || control == this) {
    TdxCustomDockControl::CreateResizeZones(control);
    return;
  }
  Integer w = ResizeZonesWidth();
  if (TdxAutoSizeRightZone::ValidateResizeZone(this)) control->InsertResizeZone(new TdxAutoSizeRightZone(this, w, zkResize));
  if (TdxAutoSizeLeftZone::ValidateResizeZone(this)) control->InsertResizeZone(new TdxAutoSizeLeftZone(this, w, zkResize));
  if (TdxAutoSizeBottomZone::ValidateResizeZone(this))
    control->InsertResizeZone(new TdxAutoSizeBottomZone(this, w, zkResize));
  if (TdxAutoSizeTopZone::ValidateResizeZone(this)) control->InsertResizeZone(new TdxAutoSizeTopZone(this, w, zkResize));
}

void TdxTabContainerDockSite::CreateDockZones(TdxCustomDockControl* control, Integer width) {
  bool captionArea = Options().Contains(doUseCaptionAreaToClientDocking);
  if (!captionArea && TdxTabContainerZone::ValidateDockZone(this, control)) InsertDockZone(new TdxTabContainerZone(this));
  TdxCustomDockControl::CreateDockZones(control, width);
  if (TdxTabContainerTabZone::ValidateDockZone(this, control))
    for (Integer i = 0; i < ChildCount(); ++i)
      if (IsValidChild(Children(i))) InsertDockZone(new TdxTabContainerTabZone(this, i));
  if (captionArea && TdxTabContainerZone::ValidateDockZone(this, control))
    InsertDockZone(new TdxTabContainerCaptionZone(this));
}

void TdxSideContainerDockSite::CreateDockZones(TdxCustomDockControl* control, Integer width) {
  if (Options().Contains(doSideContainerCanInSideContainer)) TdxCustomDockControl::CreateDockZones(control, width);
}

void TdxSideContainerDockSite::CreateResizeZones(TdxCustomDockControl* control) {
  TdxCustomDockControl::CreateResizeZones(control);
  TdxCustomDockControl* item = control->SideContainerItem();
  if (!item || item->SideContainer() != this || NextValidChildIndex(item->DockIndex()) < 0) return;
  Integer w = ResizeZonesWidth();
  if (dynamic_cast<TdxHorizContainerDockSite*>(this))
    control->InsertResizeZone(new TdxHorizContainerZone(item, w, zkResize));
  else
    control->InsertResizeZone(new TdxVertContainerZone(item, w, zkResize));
}

void TdxFloatDockSite::CreateDockZones(TdxCustomDockControl* control, Integer width) {
  if (Options().Contains(doUseCaptionAreaToClientDocking) && TdxFloatZone::ValidateDockZone(this, control))
    control->InsertDockZone(new TdxFloatZone(this));
}

void TdxDockPanel::CreateDockZones(TdxCustomDockControl* control, Integer width) {
  bool captionArea = Options().Contains(doUseCaptionAreaToClientDocking);
  auto client = [&](bool caption) {
    TdxTabContainerDockSite* tc = TabContainer();
    if (tc && TdxTabContainerZone::ValidateDockZone(this, control))
      control->InsertDockZone(caption ? new TdxTabContainerCaptionZone(tc) : new TdxTabContainerZone(tc));
    else if (TdxClientZone::ValidateDockZone(this, control))
      control->InsertDockZone(caption ? new TdxDockPanelCaptionClientZone(this) : new TdxDockPanelClientZone(this));
  };
  if (!captionArea) client(false);
  TdxCustomDockControl::CreateDockZones(control, width);
  if (captionArea) client(true);
}

// ---- drag docking --------------------------------------------------------------------------

TRect TdxCustomDockControl::FloatingFrameAt(TPoint p) {
  TRect f;
  if (TdxFloatForm* ff = FloatForm())
    f = Rect(0, 0, ff->Width(), ff->Height());
  else
    f = Rect(0, 0, originalWidth_, originalHeight_);
  Integer x = p.X - grabOffset_.X, y = p.Y - grabOffset_.Y;
  return Rect(x, y, x + f.Right, y + f.Bottom);
}

void TdxCustomDockControl::StartDocking(TPoint p) {
  if (ComponentState().Contains(csAncestor)) throw Exception(sdxAncestorError);
  if (!dockable_ || AutoHideControl()) return;
  if (OnStartDocking) OnStartDocking(this, p.X, p.Y);
  TdxDockingController* c = Controller();
  // The zones were made when the layout last changed; the sizes they compare are final now.
  for (TdxCustomDockControl* d : std::vector<TdxCustomDockControl*>(c->dockControls_))
    if (!d->ParentDockControl() && !d->IsDestroying()) d->UpdateDockZones();
  c->dockingControl_ = this;
  dockingZone_ = nullptr;
  dockingPoint_ = p;
  if (TdxFloatForm* ff = FloatForm()) {
    grabOffset_ = TPoint(p.X - ff->Left(), p.Y - ff->Top());
  } else {
    RECT r = {0, 0, 0, 0};
    if (HandleAllocated()) GetWindowRect(Handle(), &r);
    grabOffset_ = TPoint(p.X - r.Left, p.Y - r.Top);
    if (grabOffset_.X < 0 || grabOffset_.X > originalWidth_) grabOffset_.X = originalWidth_ / 2;
    if (grabOffset_.Y < 0 || grabOffset_.Y > originalHeight_) grabOffset_.Y = originalHeight_ / 2;
  }
  DrawDockingSelection(nullptr, p, false);
  savedCaptureControl_ = GetCaptureControl();
  SetMouseCapture(true);
  c->StartKeyTracking();
}

void TdxCustomDockControl::Docking(TPoint p) {
  TdxDockingController* c = Controller();
  if (c->DockingControl() != this) return;
  TdxCustomDockControl* target = c->DockControlAtPos(p);
  if (!target) target = c->FloatSiteAtPos(p);
  if (!target) target = c->DockSiteAtPos(p);
  TdxZone* zone = nullptr;
  if (target && !(GetAsyncKeyState(VK_CONTROL) & 0x8000)) {
    zone = target->GetDockZoneAtPos(this, p);
    bool accept = true;
    if (OnDocking) OnDocking(this, zone, p.X, p.Y, accept);
    if (zone && zone->Owner()->OnCanDocking) zone->Owner()->OnCanDocking(zone->Owner(), this, zone, p.X, p.Y, accept);
    if (!accept) zone = nullptr;
  }
  if (zone != dockingZone_ || !zone) {
    DrawDockingSelection(dockingZone_, dockingPoint_, true);
    dockingPoint_ = p;
    dockingZone_ = zone;
    DrawDockingSelection(dockingZone_, dockingPoint_, false);
  }
  if (HandleAllocated()) SendMessage(Handle(), WM_SETCURSOR, WPARAM(Handle()), HTCLIENT);
}

void TdxCustomDockControl::EndDocking(TPoint p, bool cancel) {
  TdxDockingController* c = Controller();
  if (c->DockingControl() != this) return;
  TdxZone* zone = dockingZone_;
  auto finish = [&] {
    dockingZone_ = nullptr;
    c->dockingControl_ = nullptr;
    c->StopKeyTracking();
    RetiredZones().clear();
  };
  try {
    SetMouseCapture(false);
    if (auto* w = dynamic_cast<TWinControl*>(savedCaptureControl_); w && w != this && w->HandleAllocated())
      SetCaptureControl(w);
    savedCaptureControl_ = nullptr;
    DrawDockingSelection(zone, dockingPoint_, true);
    if (!cancel) {
      if (zone)
        zone->DoDock(this);
      else if (allowFloating_)
        MakeFloating(p.X - grabOffset_.X, p.Y - grabOffset_.Y);
      if (OnEndDocking) OnEndDocking(this, zone, p.X, p.Y);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TdxCustomDockControl::DrawDockingSelection(TdxZone* zone, TPoint p, bool erasing) {
  HDC dc = GetDCEx(GetDesktopWindow(), nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!dc) return;
  try {
    TRect r;
    if (zone) {
      TdxCustomDockControl* top = zone->Owner()->TopMostDockControl();
      TWinControl* clipTo = top;
      if (auto* ds = dynamic_cast<TdxDockSite*>(top); ds && ds->AutoSize() && ds->ParentForm()) clipTo = ds->ParentForm();
      if (clipTo && clipTo->HandleAllocated()) {
        RECT w;
        GetWindowRect(clipTo->Handle(), &w);
        IntersectClipRect(dc, w.Left, w.Top, w.Right, w.Bottom);
      }
      r = zone->GetDockingSelection(this);
    } else {
      r = FloatingFrameAt(p);
    }
    bool handled = false;
    if (OnCustomDrawDockingSelection) OnCustomDrawDockingSelection(this, dc, zone, r, erasing, handled);
    if (!handled)
      if (TdxDockingManager* m = Controller()->FindManager(ParentForm()); m && m->OnCustomDrawDockingSelection)
        m->OnCustomDrawDockingSelection(this, dc, zone, r, erasing, handled);
    if (!handled) {
      HGDIOBJ old = SelectObject(dc, Controller()->SelectionBrush());
      if (zone)
        zone->DrawDockingSelection(dc, this, p);
      else if (allowFloating_)
        TdxZone::DrawFrameBars(dc, r, Controller()->SelectionFrameWidth(ParentForm()));
      SelectObject(dc, old);
    }
  } catch (...) {
    ReleaseDC(GetDesktopWindow(), dc);
    throw;
  }
  ReleaseDC(GetDesktopWindow(), dc);
}

// ---- resizing ------------------------------------------------------------------------------

void TdxCustomDockControl::StartResize(TPoint p) {
  TdxZone* zone = GetResizeZoneAtPos(p);
  if (!zone) return;
  if (OnStartResizing) OnStartResizing(this, zone, p.X, p.Y);
  TdxDockingController* c = Controller();
  c->resizingControl_ = this;
  resizeZone_ = zone;
  resizeStartPoint_ = resizePoint_ = p;
  DrawResizingSelection(zone, p, false);
  savedCaptureControl_ = GetCaptureControl();
  SetMouseCapture(true);
  c->StartKeyTracking();
}

void TdxCustomDockControl::Resizing(TPoint p) {
  Integer n = 0;
  if (!resizeZone_ || !resizeZone_->GetResizingNewSize(resizeStartPoint_, p, n)) return;
  if (OnResizing) OnResizing(this, resizeZone_, p.X, p.Y);
  DrawResizingSelection(resizeZone_, resizePoint_, true);
  resizePoint_ = p;
  DrawResizingSelection(resizeZone_, resizePoint_, false);
}

void TdxCustomDockControl::EndResize(TPoint p, bool cancel) {
  TdxDockingController* c = Controller();
  TdxZone* zone = resizeZone_;
  auto finish = [&] {
    resizeZone_ = nullptr;
    c->resizingControl_ = nullptr;
    c->StopKeyTracking();
    RetiredZones().clear();
    if (HandleAllocated()) SendMessage(Handle(), WM_SETCURSOR, WPARAM(Handle()), HTCLIENT);
  };
  try {
    SetMouseCapture(false);
    savedCaptureControl_ = nullptr;
    if (zone) {
      DrawResizingSelection(zone, resizePoint_, true);
      if (!cancel && parentDockControl_) {
        TdxCustomDockControl* owner = zone->Owner();
        if (owner->AutoHide()) {
          zone->DoResize(resizeStartPoint_, resizePoint_);
          if (TdxDockSite* host = owner->AutoHideHostSite()) host->UpdateShownBounds(owner);
        } else {
          InUpdateNC([&] {
            parentDockControl_->NCChanged();
            zone->DoResize(resizeStartPoint_, resizePoint_);
          });
        }
      }
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  if (OnEndResizing) OnEndResizing(this, zone, p.X, p.Y);
}

void TdxCustomDockControl::DrawResizingSelection(TdxZone* zone, TPoint p, bool erasing) {
  HDC dc = GetDCEx(GetDesktopWindow(), nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!dc) return;
  try {
    TRect r = zone->GetResizingSelection(p);
    bool handled = false;
    if (OnCustomDrawResizingSelection) OnCustomDrawResizingSelection(this, dc, zone, r, erasing, handled);
    if (!handled)
      if (TdxDockingManager* m = Controller()->FindManager(ParentForm()); m && m->OnCustomDrawResizingSelection)
        m->OnCustomDrawResizingSelection(this, dc, zone, r, erasing, handled);
    if (!handled) {
      HGDIOBJ old = SelectObject(dc, Controller()->SelectionBrush());
      zone->DrawResizingSelection(dc, p);
      SelectObject(dc, old);
    }
  } catch (...) {
    ReleaseDC(GetDesktopWindow(), dc);
    throw;
  }
  ReleaseDC(GetDesktopWindow(), dc);
}

// ---- the drag start, cursor, keys and cancelling -------------------------------------------

bool TdxCustomDockControl::CheckDragStart(TPoint client, const TRect& r) {
  TPoint w = ScreenToWindow(ClientToScreen(client));
  bool start = !r.Contains(w);
  if (IsDesigning() && (std::abs(client.X - pressPoint_.X) > 3 || std::abs(client.Y - pressPoint_.Y) > 3)) start = true;
  if (!start) return false;
  SetMouseCapture(false);
  StartDocking(ClientToScreen(pressPoint_));
  return true;
}

void TdxCustomDockControl::WMSetCursor(TMessage& m) {
  TdxDockingController* c = Controller();
  if (TdxCustomDockControl* d = c->DockingControl()) {
    if (!d->DockingZone() && !allowFloating_) {
      ::SetCursor(ScreenCursorHandle(crNo));
      m.Result = 1;
      return;
    }
  } else if (!c->ResizingControl()) {
    POINT p;
    GetCursorPos(&p);
    if (TdxZone* z = GetResizeZoneAtPos(p)) {
      ::SetCursor(ScreenCursorHandle(z->Direction() == zdHorizontal ? crVSplit : crHSplit));
      m.Result = 1;
      return;
    }
  }
  TCustomControl::WMSetCursor(m);
}

void TdxDockingController::CancelDocking() {
  if (dockingControl_) dockingControl_->EndDocking(TPoint(0, 0), true);
}

void TdxDockingController::CancelResizing() {
  if (resizingControl_) resizingControl_->EndResize(TPoint(0, 0), true);
}

void TdxDockingController::StartKeyTracking() {
  if (!keyHook_) keyHook_ = SetWindowsHookEx(WH_KEYBOARD, &TdxDockingController::KeyHookProc, nullptr, GetCurrentThreadId());
}

void TdxDockingController::StopKeyTracking() {
  if (keyHook_ && !dockingControl_ && !resizingControl_) {
    UnhookWindowsHookEx(keyHook_);
    keyHook_ = nullptr;
  }
}

// Ctrl switches a drag between its zone and the floating frame at once; Esc cancels a drag or
// a resize. Both keys are kept from the focused control meanwhile.
LRESULT TdxDockingController::KeyHookProc(int code, WPARAM wParam, LPARAM lParam) {
  TdxDockingController* self = DockingController();
  LRESULT next = CallNextHookEx(self->keyHook_, code, wParam, lParam);
  if (code < 0) return next;
  bool up = (uintptr_t(lParam) & 0x80000000u) != 0;
  if (wParam == VK_CONTROL) {
    if (TdxCustomDockControl* d = self->dockingControl_) {
      POINT p;
      GetCursorPos(&p);
      d->Docking(p);
      return 1;
    }
  } else if (wParam == VK_ESCAPE) {
    if (!up) {
      POINT p;
      GetCursorPos(&p);
      if (TdxCustomDockControl* d = self->dockingControl_) d->EndDocking(p, true);
      if (TdxCustomDockControl* r = self->resizingControl_) r->EndResize(p, true);
    }
    return 1;
  }
  return next;
}

void TdxLayoutDockSite::WMNCHitTest(TMessage& m) {
  if (!Visible() || (IsDesigning() && !Controller()->DockingControl()))
    m.Result = HTTRANSPARENT;
  else
    TdxCustomDockSite::WMNCHitTest(m);
}
