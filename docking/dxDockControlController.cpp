// The docking controller (registration, per-form values, the active dock control, the update
// bracket with its deferred frame work, the deferred free) and the docking manager.
#include <algorithm>

#include "docking/dxDockConsts.h"
#include "docking/dxDockControl.h"
#include "docking/dxDockControlNETView.h"
#include "docking/dxDockControlOfficeView.h"
#include "docking/dxDockControlXPView.h"
#include "foundation/cxContainer.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/dxThemeManager.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "user/Windows.h"

using namespace dock_consts;

KORVAN_IMPLEMENT_CLASS(TdxDockingController)

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TdxDockingManager) {
  p.Int("AutoHideInterval", &TdxDockingManager::AutoHideInterval, &TdxDockingManager::SetAutoHideInterval).Default(500);
  p.Int("DockZonesWidth", &TdxDockingManager::DockZonesWidth, &TdxDockingManager::SetDockZonesWidth).Default(20);
  p.Int("ResizeZonesWidth", &TdxDockingManager::ResizeZonesWidth, &TdxDockingManager::SetResizeZonesWidth).Default(3);
  p.Bool("UseDefaultSitesProperties", &TdxDockingManager::UseDefaultSitesProperties,
         &TdxDockingManager::SetUseDefaultSitesProperties)
      .Default(1);
}

std::unique_ptr<TdxDockControlPainter> CreateDockControlPainter(TdxDockControlPainterClass cls,
                                                                TdxCustomDockControl* owner) {
  if (cls == TdxDockControlOfficePainter::StaticClass()) return std::make_unique<TdxDockControlOfficePainter>(owner);
  if (cls == TdxDockControlNETPainter::StaticClass()) return std::make_unique<TdxDockControlNETPainter>(owner);
  if (cls == TdxDockControlXPPainter::StaticClass()) return std::make_unique<TdxDockControlXPPainter>(owner);
  return std::make_unique<TdxDockControlPainter>(owner);
}

namespace {
TdxDockingController*& ControllerInstance() {
  static TdxDockingController* controller = nullptr;
  return controller;
}

template <class T>
void EraseValue(std::vector<T*>& v, const T* x) {
  v.erase(std::remove(v.begin(), v.end(), x), v.end());
}
}  // namespace

TdxDockingController* DockingController() {
  TdxDockingController*& c = ControllerInstance();
  if (!c) {
    // The controller ends with the units, while the window manager and the hooks it releases
    // still exist (a static object's end ran after theirs and used freed hook lists).
    InitUnit("dxDockingController", nullptr, FinalizeDockingController);
    c = new TdxDockingController();
  }
  return c;
}

void FinalizeDockingController() {
  delete ControllerInstance();
  ControllerInstance() = nullptr;
}

// ---- creation ------------------------------------------------------------------------------

TdxDockingController::TdxDockingController() {
  window_ = AllocateHWnd([this](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (msg == DXM_DOCK_DESTROYCONTROLS)
      ProcessDestroyList();
    else if (msg == WM_SYSCOLORCHANGE)
      UpdatePainters(nullptr, true);
    return DefWindowProc(wnd, msg, wParam, lParam);
  });
  defaultFont_ = std::make_unique<TFont>();
  patternBitmap_ = AllocPatternBitmap(clBlack, clWhite);
  selectionBrush_ = CreatePatternBrush(patternBitmap_);
  hook_ = SetWindowsHookEx(WH_CALLWNDPROC, &TdxDockingController::HookProc, nullptr, GetCurrentThreadId());
}

TdxDockingController::~TdxDockingController() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (keyHook_) UnhookWindowsHookEx(keyHook_);
  if (selectionBrush_) DeleteObject(selectionBrush_);
  if (window_) DeallocateHWnd(window_);
}

// ---- registration --------------------------------------------------------------------------

void TdxDockingController::RegisterDockControl(TdxCustomDockControl* c) { dockControls_.push_back(c); }

void TdxDockingController::UnregisterDockControl(TdxCustomDockControl* c) {
  if (activatingControl_ == c) activatingControl_ = nullptr;
  if (recalculatingControl_ == c) recalculatingControl_ = nullptr;
  if (dockingControl_ == c) dockingControl_ = nullptr;
  if (resizingControl_ == c) resizingControl_ = nullptr;
  if (!dockingControl_ && !resizingControl_) StopKeyTracking();
  EraseValue(dockControls_, c);
  EraseValue(destroyList_, c);
  if (invalidateSet_.erase(c)) EraseValue(invalidateList_, c);
  if (recalculateSet_.erase(c)) EraseValue(recalculateList_, c);
  redrawOffSet_.erase(c);
  if (activeDockControl_ == c) activeDockControl_ = nullptr;
}

Integer TdxDockingController::DockControlIndex(const TdxCustomDockControl* c) const {
  auto it = std::find(dockControls_.begin(), dockControls_.end(), c);
  return it == dockControls_.end() ? -1 : Integer(it - dockControls_.begin());
}

void TdxDockingController::RegisterManager(TdxDockingManager* m) {
  TCustomForm* form = m->ParentForm();
  for (TdxDockingManager* other : managers_)
    if (other != m && form && other->ParentForm() == form) throw Exception(sdxManagerError);
  if (std::find(managers_.begin(), managers_.end(), m) != managers_.end()) return;
  managers_.push_back(m);
  ApplyManagerChanges(form);
}

void TdxDockingController::UnregisterManager(TdxDockingManager* m) {
  if (managers_.empty()) return;
  EraseValue(managers_, m);
  ApplyManagerChanges(nullptr);
}

TdxDockingManager* TdxDockingController::FindManager(TCustomForm* form) const {
  for (TdxDockingManager* m : managers_)
    if (form && m->Owner() == form) return m;
  return managers_.empty() ? nullptr : managers_.front();
}

// ---- per-form values -----------------------------------------------------------------------

TColor TdxDockingController::Color(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->Color() : clBtnFace;
}
TFont* TdxDockingController::Font(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->Font() : defaultFont_.get();
}
TdxDockingOptions TdxDockingController::Options(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->Options() : dxDockingDefaultOptions;
}
Integer TdxDockingController::DockZonesWidth(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->DockZonesWidth() : 20;
}
Integer TdxDockingController::ResizeZonesWidth(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->ResizeZonesWidth() : 3;
}
Integer TdxDockingController::AutoHideInterval(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->AutoHideInterval() : 500;
}
Integer TdxDockingController::AutoShowInterval(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->AutoShowInterval() : 300;
}
Integer TdxDockingController::TabsScrollInterval(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->TabsScrollInterval() : 300;
}
Integer TdxDockingController::AutoHideMovingInterval(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->AutoHideMovingInterval() : 1;
}
Integer TdxDockingController::AutoHideMovingSize(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->AutoHideMovingSize() : 20;
}
TCustomImageList* TdxDockingController::Images(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->Images() : nullptr;
}
Integer TdxDockingController::SelectionFrameWidth(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->SelectionFrameWidth() : 4;
}
TdxDockControlPainterClass TdxDockingController::PainterClass(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m ? m->GetPainterClass() : TdxDockControlPainter::StaticClass();
}
const TdxDockingManager* TdxDockingController::DefaultSitesPropertiesManager(TCustomForm* f) const {
  TdxDockingManager* m = FindManager(f);
  return m && m->UseDefaultSitesProperties() ? m : nullptr;
}

// ---- lookups and the active dock control ---------------------------------------------------

TdxCustomDockControl* TdxDockingController::DockControlFromHandle(HWND wnd, HWND requiredWnd) const {
  for (HWND h = wnd; h; h = GetParent(h)) {
    h = PopupOwnerWindowOf(h);
    if (!h) break;
    auto* c = dynamic_cast<TdxCustomDockControl*>(FindControl(h));
    if (c && (!requiredWnd || requiredWnd == h)) return c;
  }
  return nullptr;
}

TdxCustomDockControl* TdxDockingController::DockControlAtPos(TPoint p) const {
  return DockControlFromHandle(WindowFromPoint(POINT{p.X, p.Y}));
}

TdxDockSite* TdxDockingController::DockSiteAtPos(TPoint p) const {
  for (TdxCustomDockControl* c : dockControls_) {
    auto* site = dynamic_cast<TdxDockSite*>(c);
    if (!site || !site->AutoSize() || !site->HandleAllocated()) continue;
    TAlign a = site->Align();
    if (a != alTop && a != alBottom && a != alLeft && a != alRight) continue;
    Integer width = site->DockZonesWidth();
    Integer thickness = a == alLeft || a == alRight ? site->Width() : site->Height();
    if (thickness > width) continue;
    RECT wr;
    GetWindowRect(site->Handle(), &wr);
    TRect band = wr;
    switch (a) {
      case alTop: band.Bottom = band.Top + width; break;
      case alBottom: band.Top = band.Bottom - width; break;
      case alLeft: band.Right = band.Left + width; break;
      default: band.Left = band.Right - width; break;
    }
    if (p.X >= band.Left && p.X < band.Right && p.Y >= band.Top && p.Y < band.Bottom) return site;
  }
  return nullptr;
}

bool TdxDockingController::IsFocusInside(TdxCustomDockControl* c) const {
  return c && c->HandleAllocated() && DockControlFromHandle(GetFocus(), c->Handle()) == c;
}

void TdxDockingController::SetActiveDockControl(TdxCustomDockControl* c) {
  if (activeDockControl_ == c) return;
  bool outermost = activationCount_ == 0;
  ++activationCount_;
  try {
    TdxCustomDockControl* old = activeDockControl_;
    if (c && c->ParentDockControl() && !dynamic_cast<TdxDockSite*>(c->ParentDockControl()))
      SetActiveDockControl(c->ParentDockControl());
    if (!c || c->CanActive()) {
      activeDockControl_ = c;
      if (old) old->DoActiveChanged(false, outermost);
      if (c) c->DoActiveChanged(true, outermost);
      if (c && c != old && outermost)
        if (TdxDockingManager* m = FindManager(c->ParentForm()); m && m->OnActiveDockControlChanged)
          m->OnActiveDockControlChanged(m);
    }
  } catch (...) {
    --activationCount_;
    throw;
  }
  --activationCount_;
  activatingControl_ = nullptr;
}

LRESULT TdxDockingController::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  TdxDockingController* self = ControllerInstance();
  LRESULT result = CallNextHookEx(self ? self->hook_ : nullptr, code, wParam, lParam);
  if (!self || code < 0) return result;
  const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
  bool appActive = Application && Application->Active();
  if (msg->message == WM_SETFOCUS && self->activationCount_ == 0) {
    TdxCustomDockControl* d = self->DockControlFromHandle(msg->hwnd);
    if (appActive && d && d->HandleAllocated() && d != self->activatingControl_) self->SetActiveDockControl(d);
  } else if (msg->message == WM_KILLFOCUS && self->activationCount_ == 0) {
    TdxCustomDockControl* d = self->DockControlFromHandle(msg->hwnd);
    if (appActive && d && d == self->activeDockControl_ && d != self->activatingControl_) {
      if (self->DockControlFromHandle(reinterpret_cast<HWND>(msg->wParam)) != d) self->SetActiveDockControl(nullptr);
    }
  } else if (msg->message == WM_ACTIVATEAPP) {
    auto* form = dynamic_cast<TCustomForm*>(FindControl(msg->hwnd));
    if (form && !dynamic_cast<TdxFloatForm*>(form) && form->ComponentState().Contains(csDesigning)) {
      if (msg->wParam)
        self->ShowFloatForms(nullptr);
      else
        self->HideFloatForms(nullptr);
    }
    if (!msg->wParam) {
      self->CancelDocking();
      self->CancelResizing();
    }
    if (TdxCustomDockControl* a = self->activeDockControl_) a->RepaintNC();
  } else if (msg->message == WM_WINDOWPOSCHANGING) {
    // Float forms are hidden and shown with their form; a form shown for the first time
    // after loading dock controls renews their layout.
    auto* form = dynamic_cast<TCustomForm*>(FindControl(msg->hwnd));
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(msg->lParam);
    if (form && pos && !dynamic_cast<TdxFloatForm*>(form)) {
      if (pos->flags & SWP_HIDEWINDOW) self->HideFloatForms(form);
      if (pos->flags & SWP_SHOWWINDOW) {
        self->ShowFloatForms(form);
        self->FormShown(form);
      }
    }
  }
  return result;
}

// ---- the update bracket and deferred frame work --------------------------------------------

void TdxDockingController::BeginUpdateNC() {
  if (recalculatingControl_) return;
  ++updateCount_;
}

void TdxDockingController::EndUpdateNC() {
  if (recalculatingControl_) return;
  if (updateCount_ > 0 && --updateCount_ == 0) RunDeferredWork();
}

namespace {
// The deferred order: controls that are not auto-hidden first, then parents before children,
// then by child index. Keys are computed once per control, not per comparison.
struct DeferredKey {
  bool autoHide;
  Integer depth, index;
  TdxCustomDockControl* control;
  bool operator<(const DeferredKey& o) const {
    if (autoHide != o.autoHide) return !autoHide;
    if (depth != o.depth) return depth < o.depth;
    return index < o.index;
  }
};

void SortDeferred(std::vector<TdxCustomDockControl*>& list) {
  std::vector<DeferredKey> keys;
  keys.reserve(list.size());
  for (TdxCustomDockControl* c : list) keys.push_back({c->AutoHide(), c->Depth(), c->DockIndex(), c});
  std::stable_sort(keys.begin(), keys.end());
  for (size_t i = 0; i < keys.size(); ++i) list[i] = keys[i].control;
}
}  // namespace

void TdxDockingController::RunDeferredWork() {
  // Recalculations happen with the count at 0, so no new ones are queued meanwhile: one sort
  // of the whole list gives the order (parents first).
  std::vector<TdxCustomDockControl*> recalc;
  recalc.swap(recalculateList_);
  recalculateSet_.clear();
  SortDeferred(recalc);
  for (TdxCustomDockControl* c : recalc) {
    recalculatingControl_ = c;
    c->RecalculateNC(false);
    recalculatingControl_ = nullptr;
  }
  std::vector<TdxCustomDockControl*> inval;
  inval.swap(invalidateList_);
  invalidateSet_.clear();
  std::unordered_set<TdxCustomDockControl*> redrawOff;
  redrawOff.swap(redrawOffSet_);
  SortDeferred(inval);
  // Redraw comes back for every control that lost it, visible or not: switching redraw off
  // clears the window's visible style, so visibility is judged by the control, not the window.
  // Turning redraw on shows the window again, so a control hidden meanwhile is hidden anew.
  for (TdxCustomDockControl* c : redrawOff) {
    if (!c->HandleAllocated()) continue;
    SendMessage(c->Handle(), WM_SETREDRAW, TRUE, 0);
    if (!c->Visible()) ShowWindow(c->Handle(), SW_HIDE);
  }
  // The window parents of dock sites are invalidated once each, however many sites they hold.
  std::vector<HWND> siteParents;
  for (TdxCustomDockControl* c : inval) {
    if (!c->Visible()) continue;
    if (!redrawOff.count(c)) {
      c->InvalidateNC(false);
    } else if (c->HandleAllocated()) {
      RedrawWindow(c->Handle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
      if (dynamic_cast<TdxDockSite*>(c) && c->Parent() && c->Parent()->HandleAllocated()) {
        HWND parent = c->Parent()->Handle();
        if (std::find(siteParents.begin(), siteParents.end(), parent) == siteParents.end())
          siteParents.push_back(parent);
      }
    }
  }
  for (HWND parent : siteParents)
    RedrawWindow(parent, nullptr, nullptr, RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
}

bool TdxDockingController::CanPaintNC(TdxCustomDockControl* c) {
  if (updateCount_ == 0 && !recalculatingControl_) return true;
  if (invalidateSet_.insert(c).second) invalidateList_.push_back(c);
  return false;
}

bool TdxDockingController::CanRecalculateNC(TdxCustomDockControl* c) {
  if (updateCount_ == 0) return true;
  if (redrawOffSet_.insert(c).second && c->HandleAllocated()) SendMessage(c->Handle(), WM_SETREDRAW, FALSE, 0);
  if (recalculateSet_.insert(c).second) recalculateList_.push_back(c);
  if (invalidateSet_.insert(c).second) invalidateList_.push_back(c);
  return false;
}

// ---- deferred free -------------------------------------------------------------------------

void TdxDockingController::DestroyLater(TdxCustomDockControl* c) {
  destroyList_.push_back(c);
  PostMessage(window_, DXM_DOCK_DESTROYCONTROLS, 0, 0);
}

void TdxDockingController::ProcessDestroyList() {
  while (!destroyList_.empty()) {
    TdxCustomDockControl* c = destroyList_.back();
    destroyList_.pop_back();
    if (!c->ComponentState().Contains(csDestroying)) c->Free();
  }
}

// ---- manager changes -----------------------------------------------------------------------

bool TdxDockingController::Matches(TdxCustomDockControl* c, TCustomForm* form) const {
  if (!form) return true;
  TdxDockingManager* m = FindManager(form);
  if (!m || !m->ParentForm()) return true;
  return c->ParentForm() == m->ParentForm();
}

void TdxDockingController::ApplyManagerChanges(TCustomForm* form) {
  BeginUpdateNC();
  applying_ = true;
  try {
    UpdateColors(form);
    UpdateFonts(form);
    UpdateOptions(form);
    UpdatePainters(form, false);
  } catch (...) {
    applying_ = false;
    EndUpdateNC();
    throw;
  }
  applying_ = false;
  EndUpdateNC();
}

void TdxDockingController::UpdateColors(TCustomForm* form) {
  BeginUpdateNC();
  std::vector<TdxCustomDockControl*> list = dockControls_;
  for (TdxCustomDockControl* c : list) {
    if (!Matches(c, form) || !c->ManagerColor()) continue;
    c->settingManagerValue_ = true;
    c->SetColor(Color(c->ParentForm()));
    c->settingManagerValue_ = false;
  }
  EndUpdateNC();
  InvalidateFrames(form, false);
}

void TdxDockingController::UpdateFonts(TCustomForm* form) {
  BeginUpdateNC();
  std::vector<TdxCustomDockControl*> list = dockControls_;
  for (TdxCustomDockControl* c : list) {
    if (!Matches(c, form) || !c->ManagerFont() || c->IsDestroying()) continue;
    c->settingManagerValue_ = true;
    c->Font()->Assign(Font(c->ParentForm()));
    c->settingManagerValue_ = false;
  }
  EndUpdateNC();
  RecalculateFrames(form);
}

void TdxDockingController::UpdateOptions(TCustomForm* form) {
  SetFloatFormsOnTop(nullptr, Options(form).Contains(doFloatingOnTop));
  UpdateLayoutForForm(form);
  RecalculateFrames(form);
}

void TdxDockingController::UpdatePainters(TCustomForm* form, bool resetDefaults) {
  BeginUpdateNC();
  TdxDockingManager* own = form ? FindManager(form) : nullptr;
  for (TdxDockingManager* m : managers_)
    if (!own || m == own) m->ReleasePainterClass();
  for (TdxCustomDockControl* c : dockControls_)
    if (Matches(c, form)) c->ReleasePainter();
  for (TdxDockingManager* m : std::vector<TdxDockingManager*>(managers_)) {
    if (own && m != own) continue;
    TdxDockControlPainterClass cls = m->GetPainterClass();
    if (resetDefaults) {
      std::unique_ptr<TdxDockControlPainter> view = CreateDockControlPainter(cls, nullptr);
      view->InitManagerColor(m);
      view->InitManagerFont(m);
    }
  }
  EndUpdateNC();
  RecalculateFrames(form);
}

void TdxDockingController::UpdateLayoutForForm(TCustomForm* form) {
  std::vector<TdxCustomDockControl*> list = dockControls_;
  for (TdxCustomDockControl* c : list)
    if (Matches(c, form) && !c->IsDestroying() && !c->IsUpdateLayoutLocked()) c->UpdateLayout();
}

void TdxDockingController::RecalculateFrames(TCustomForm* form) {
  for (TdxCustomDockControl* c : dockControls_)
    if (Matches(c, form)) c->NCChanged();
}

void TdxDockingController::InvalidateFrames(TCustomForm* form, bool recalculate) {
  for (TdxCustomDockControl* c : dockControls_)
    if (Matches(c, form)) c->InvalidateNC(recalculate);
}

void TdxDockingController::FormLoaded(TCustomForm* form) {
  if (std::find(loadedForms_.begin(), loadedForms_.end(), form) == loadedForms_.end()) loadedForms_.push_back(form);
}

void TdxDockingController::ForgetLoadedForm(TCustomForm* form) {
  loadedForms_.erase(std::remove(loadedForms_.begin(), loadedForms_.end(), form), loadedForms_.end());
}

void TdxDockingController::FormShown(TCustomForm* form) {
  auto it = std::find(loadedForms_.begin(), loadedForms_.end(), form);
  if (it == loadedForms_.end()) return;
  loadedForms_.erase(it);
  UpdateLayoutForForm(form);
}

// ---- the docking manager -------------------------------------------------------------------

TdxDockingManager::TdxDockingManager(TComponent* owner) : TComponent(owner) {
  horizProperties_ = std::make_unique<TdxSideContainerDockSiteProperties>(this);
  vertProperties_ = std::make_unique<TdxSideContainerDockSiteProperties>(this);
  tabProperties_ = std::make_unique<TdxTabContainerDockSiteProperties>(this);
  font_ = std::make_unique<TFont>();
  font_->OnChange = [this](TObject*) { FontChanged(); };
  lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
  lookAndFeel_->OnLookAndFeelChanged = [this](TcxLookAndFeel*, const TcxLookAndFeelValues&) {
    if (viewStyle_ == vsUseLookAndFeel && registered_) DockingController()->UpdatePainters(ParentForm(), true);
  };
  DockingController()->RegisterManager(this);  // raises for a second manager on the form
  registered_ = true;
}

TdxDockingManager::~TdxDockingManager() {
  if (registered_) DockingController()->UnregisterManager(this);
}

TCustomForm* TdxDockingManager::ParentForm() const { return dynamic_cast<TCustomForm*>(Owner()); }

void TdxDockingManager::Loaded() {
  TComponent::Loaded();
  DockingController()->ForgetLoadedForm(ParentForm());
  DockingController()->ApplyManagerChanges(ParentForm());
}

void TdxDockingManager::SetImages(TCustomImageList* v) {
  if (images_ == v) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = v;
  if (images_) images_->FreeNotification(this);
  if (registered_) DockingController()->RecalculateFrames(ParentForm());
}

void TdxDockingManager::Notification(TComponent* c, TOperation operation) {
  TComponent::Notification(c, operation);
  if (operation == opRemove && c == images_) {
    images_ = nullptr;
    if (registered_) DockingController()->RecalculateFrames(ParentForm());
  }
}

void TdxDockingManager::SetColor(TColor v) {
  if (color_ == v) return;
  color_ = v;
  if (!ComponentState().Contains(csLoading)) DockingController()->UpdateColors(ParentForm());
}

void TdxDockingManager::FontChanged() {
  if (registered_ && !ComponentState().Contains(csLoading)) DockingController()->UpdateFonts(ParentForm());
}

void TdxDockingManager::SetOptions(TdxDockingOptions v) {
  options_ = v;
  if (!ComponentState().Contains(csLoading)) DockingController()->UpdateOptions(ParentForm());
}

void TdxDockingManager::SetDockZonesWidth(Integer v) {
  dockZonesWidth_ = v;
  DockingController()->UpdateLayoutForForm(ParentForm());
}

void TdxDockingManager::SetResizeZonesWidth(Integer v) {
  resizeZonesWidth_ = v;
  DockingController()->UpdateLayoutForForm(ParentForm());
}

void TdxDockingManager::SetViewStyle(TdxDockingViewStyle v) {
  viewStyle_ = v;
  DockingController()->UpdatePainters(ParentForm(), true);
  if (OnViewChanged) OnViewChanged(this);
}

TdxDockControlPainterClass TdxDockingManager::GetPainterClass() {
  if (painterClass_) return painterClass_;
  switch (viewStyle_) {
    case vsNET: painterClass_ = TdxDockControlNETPainter::StaticClass(); break;
    case vsOffice11: painterClass_ = TdxDockControlOfficePainter::StaticClass(); break;
    case vsXP: painterClass_ = TdxDockControlXPPainter::StaticClass(); break;
    case vsUseLookAndFeel:
      if (lookAndFeel_->NativeStyle() && AreThemesAvailable()) {
        painterClass_ = TdxDockControlXPPainter::StaticClass();
      } else {
        switch (lookAndFeel_->Kind()) {
          case lfFlat:
          case lfUltraFlat: painterClass_ = TdxDockControlNETPainter::StaticClass(); break;
          case lfOffice11: painterClass_ = TdxDockControlOfficePainter::StaticClass(); break;
          default: painterClass_ = TdxDockControlPainter::StaticClass(); break;
        }
      }
      break;
    default: painterClass_ = TdxDockControlPainter::StaticClass(); break;
  }
  return painterClass_;
}

// ---- the frame bitmap ----------------------------------------------------------------------

TCanvas* TdxDockingController::PrepareFrameBitmap(const TRect& r) {
  if (!frameBitmap_) frameBitmap_ = std::make_unique<TBitmap>();
  if (frameBitmap_->Width() < r.Width() || frameBitmap_->Height() < r.Height())
    frameBitmap_->SetSize(std::max(frameBitmap_->Width(), r.Width() + 100),
                          std::max(frameBitmap_->Height(), r.Height() + 100));
  return frameBitmap_->Canvas();
}

TCanvas* TdxDockingController::FrameCanvas() const { return frameBitmap_ ? frameBitmap_->Canvas() : nullptr; }

// ---- default site properties ---------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TdxCustomDockControlProperties)
KORVAN_IMPLEMENT_CLASS(TdxLayoutDockSiteProperties)
KORVAN_IMPLEMENT_CLASS(TdxSideContainerDockSiteProperties)
KORVAN_IMPLEMENT_CLASS(TdxTabContainerDockSiteProperties)

void TdxCustomDockControlProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TdxCustomDockControlProperties*>(source);
  if (!s) {
    TPersistent::Assign(source);
    return;
  }
  AllowDock = s->AllowDock;
  AllowDockClients = s->AllowDockClients;
  AllowFloating = s->AllowFloating;
  CaptionButtons = s->CaptionButtons;
  Dockable = s->Dockable;
  ImageIndex = s->ImageIndex;
  ShowCaption = s->ShowCaption;
  Color = s->Color;
  ManagerColor = s->ManagerColor;
  ManagerFont = s->ManagerFont;
  ShowHint = s->ShowHint;
  Hint = s->Hint;
  Tag = s->Tag;
}

void TdxCustomDockControlProperties::AssignTo(TdxCustomDockControl* c) const {
  c->SetAllowDock(AllowDock);
  c->SetAllowDockClients(AllowDockClients);
  c->SetAllowFloating(AllowFloating);
  c->SetCaption(String());
  c->SetCaptionButtons(CaptionButtons);
  c->SetDockable(Dockable);
  c->SetImageIndex(ImageIndex);
  c->SetShowCaption(ShowCaption);
  if (!ManagerColor) c->SetColor(Color);
  c->SetHint(Hint);
  c->SetManagerColor(ManagerColor);
  c->SetManagerFont(ManagerFont);
  c->SetShowHint(ShowHint);
  c->SetTag(Tag);
}

void TdxTabContainerDockSiteProperties::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TdxTabContainerDockSiteProperties*>(source)) {
    TabsPosition = s->TabsPosition;
    TabsScroll = s->TabsScroll;
  }
  TdxCustomDockControlProperties::Assign(source);
}

void TdxTabContainerDockSiteProperties::AssignTo(TdxCustomDockControl* c) const {
  if (auto* tc = dynamic_cast<TdxTabContainerDockSite*>(c)) {
    tc->SetTabsPosition(TabsPosition);
    tc->SetTabsScroll(TabsScroll);
  }
  TdxCustomDockControlProperties::AssignTo(c);
}
