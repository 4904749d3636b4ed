// Floating: MakeFloating, the float site that holds a floating control and the float form it
// lives in, and float forms hidden, shown and kept on top with their forms.
#include <algorithm>

#include "docking/dxDockConsts.h"
#include "docking/dxDockControlBrackets.h"
#include "docking/dxDockPanel.h"
#include "docking/dxDockZones.h"
#include "foundation/cxControls.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "user/Windows.h"

using namespace dock_consts;
using namespace dock_brackets;

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TdxFloatDockSite) {
  p.Int("FloatLeft", &TdxFloatDockSite::FloatLeft, &TdxFloatDockSite::SetFloatLeft);
  p.Int("FloatTop", &TdxFloatDockSite::FloatTop, &TdxFloatDockSite::SetFloatTop);
  p.Int("FloatWidth", &TdxFloatDockSite::FloatWidth, &TdxFloatDockSite::SetFloatWidth);
  p.Int("FloatHeight", &TdxFloatDockSite::FloatHeight, &TdxFloatDockSite::SetFloatHeight);
}

KORVAN_IMPLEMENT_CLASS(TdxFloatForm)

namespace {
struct FloatClassRegistration {
  FloatClassRegistration() { RegisterClass(TdxFloatDockSite::StaticClass()); }
} floatClassRegistration;
}  // namespace

// ---- the dock control's side ---------------------------------------------------------------

TdxFloatDockSite* TdxCustomDockControl::FloatDockSite() const { return dynamic_cast<TdxFloatDockSite*>(parentDockControl_); }

TdxFloatForm* TdxCustomDockControl::FloatForm() {
  auto* site = dynamic_cast<TdxFloatDockSite*>(TopMostDockControl());
  return site ? site->FloatFormOf() : nullptr;
}

bool TdxCustomDockControl::FloatFormActive() {
  TdxFloatForm* f = FloatForm();
  return f && f->Active();
}

bool TdxCustomDockControl::FloatFormVisible() {
  TdxFloatForm* f = FloatForm();
  return f && f->HandleAllocated() && IsWindowVisible(f->Handle());
}

void TdxCustomDockControl::AssignFloatSiteProperties(TdxFloatDockSite* site) {
  if (const TdxDockingManager* m = Controller()->DefaultSitesPropertiesManager(ParentForm()))
    site->SetAllowDockClients(m->DefaultFloatSiteAllowDockClients());
}

void TdxCustomDockControl::MakeFloating(Integer x, Integer y) {
  if (!CanDock() || !allowFloating_) return;
  InUpdateNC([&] {
    if (TdxFloatDockSite* fs = FloatDockSite()) {
      fs->SetFloatFormPosition(x, y);
      return;
    }
    StoreDockPosition(TPoint(x, y));
    Integer w = originalWidth_, h = originalHeight_;
    UnDock();
    auto* site = new TdxFloatDockSite(Owner());
    NameCreatedSite(site);
    site->CreateLayout(this, dtClient, 0);
    site->SetFloatFormPosition(x, y);
    site->SetFloatFormSize(w, h);
    site->ShowFloatForm();
    AssignFloatSiteProperties(site);
    if (OnCreateFloatSite) OnCreateFloatSite(this, site);
    TdxDockingManager* m = Controller()->FindManager(ParentForm());
    if (m && m->OnCreateFloatSite) m->OnCreateFloatSite(this, site);
    if (OnMakeFloating) OnMakeFloating(this, x, y);
    if (m && m->OnLayoutChanged) m->OnLayoutChanged(this);
    if (Options().Contains(doActivateAfterDocking)) Activate();
  });
}

// ---- the float site ------------------------------------------------------------------------

TdxFloatDockSite::TdxFloatDockSite(TComponent* owner) : TdxCustomDockSite(owner) { CreateFloatForm(); }

TdxFloatDockSite::~TdxFloatDockSite() {
  if (floatForm_) DestroyFloatForm();
}

void TdxFloatDockSite::BeforeDestruction() {
  if (!CanDestroy()) throw Exception(sdxInvalidFloatSiteDeleting);
  TdxCustomDockSite::BeforeDestruction();
}

bool TdxFloatDockSite::CanDestroy() {
  TdxCustomDockControl* c = Child();
  return ChildCount() == 0 || (c && c->IsDestroying());
}

void TdxFloatDockSite::CreateFloatForm() {
  InLayoutUpdate(this, [&] {
    Integer w = OriginalWidth(), h = OriginalHeight();
    if (!floatForm_) floatForm_ = new TdxFloatForm(Application);
    floatForm_->AttachSite(this);
    SetFloatFormPosition(floatLeft_, floatTop_);
    SetFloatFormSize(w, h);
    if (Options().Contains(doFloatingOnTop) || IsDesigning()) floatForm_->SetOnTop();
  });
}

void TdxFloatDockSite::DestroyFloatForm() {
  if (!floatForm_) return;
  InLayoutUpdate(this, [&] {
    TdxFloatForm* f = floatForm_;
    f->DetachSite();
    if (!f->ComponentState().Contains(csDestroying)) f->Free();
  });
}

void TdxFloatDockSite::Loaded() {
  TdxCustomDockSite::Loaded();
  CreateFloatForm();
  UpdateCaption();
  ShowFloatForm();
  SetFloatFormSize(OriginalWidth(), OriginalHeight());
}

Integer TdxFloatDockSite::FloatLeft() const { return floatForm_ ? floatForm_->Left() : floatLeft_; }
Integer TdxFloatDockSite::FloatTop() const { return floatForm_ ? floatForm_->Top() : floatTop_; }
Integer TdxFloatDockSite::FloatWidth() const {
  if (!floatForm_) return floatWidth_;
  return floatForm_->HandleAllocated() ? floatForm_->ClientWidth() : floatForm_->Width();
}
Integer TdxFloatDockSite::FloatHeight() const {
  if (!floatForm_) return floatHeight_;
  return floatForm_->HandleAllocated() ? floatForm_->ClientHeight() : floatForm_->Height();
}
void TdxFloatDockSite::SetFloatLeft(Integer v) {
  floatLeft_ = v;
  if (floatForm_) floatForm_->SetLeft(v);
}
void TdxFloatDockSite::SetFloatTop(Integer v) {
  floatTop_ = v;
  if (floatForm_) floatForm_->SetTop(v);
}
void TdxFloatDockSite::SetFloatWidth(Integer v) {
  floatWidth_ = v;
  if (!floatForm_) return;
  if (floatForm_->HandleAllocated())
    floatForm_->SetClientWidth(v);
  else
    floatForm_->SetWidth(v);
}
void TdxFloatDockSite::SetFloatHeight(Integer v) {
  floatHeight_ = v;
  if (!floatForm_) return;
  if (floatForm_->HandleAllocated())
    floatForm_->SetClientHeight(v);
  else
    floatForm_->SetHeight(v);
}

void TdxFloatDockSite::UpdateFloatPosition() {
  if (!floatForm_ || !floatForm_->Visible()) return;
  floatLeft_ = floatForm_->Left();
  floatTop_ = floatForm_->Top();
}

void TdxFloatDockSite::ShowFloatForm() {
  if (!floatForm_ || !Visible() || (!IsParentFormVisible() && !IsDesigning())) return;
  floatForm_->Show();
  floatLeft_ = floatForm_->Left();
  floatTop_ = floatForm_->Top();
}

void TdxFloatDockSite::HideFloatForm() {
  if (floatForm_) floatForm_->Hide();
}

void TdxFloatDockSite::SetFloatFormPosition(Integer x, Integer y) {
  if (!floatForm_) return;
  TRect work;
  MonitorWorkAreaAt(TPoint(x, y), work);
  if (y < work.Top) y = work.Top;
  if (y >= work.Bottom) y = work.Bottom - floatForm_->Height();
  floatForm_->SetBounds(x, y, floatForm_->Width(), floatForm_->Height());
}

void TdxFloatDockSite::SetFloatFormSize(Integer width, Integer height) {
  if (!floatForm_) return;
  if (floatForm_->HandleAllocated()) {
    floatForm_->SetClientWidth(width);
    floatForm_->SetClientHeight(height);
  } else {
    floatForm_->pendingClientWidth_ = width;
    floatForm_->pendingClientHeight_ = height;
  }
}

TdxCustomDockControl* TdxFloatDockSite::GetActivatableChild() {
  TdxCustomDockControl* c = Child();
  if (dynamic_cast<TdxDockPanel*>(c)) return c;
  if (auto* sc = dynamic_cast<TdxSideContainerDockSite*>(c)) {
    if (sc->ActiveChild()) return sc->ActiveChild();
    return sc->ValidChildCount() > 0 ? sc->FirstValidChild() : nullptr;
  }
  if (auto* cs = dynamic_cast<TdxContainerDockSite*>(c)) return cs->ActiveChild();
  return nullptr;
}

void TdxFloatDockSite::DoSetFloatFormCaption() {
  if (OnSetFloatFormCaption) OnSetFloatFormCaption(this, floatForm_);
  if (TdxDockingManager* m = Controller()->FindManager(ParentForm()); m && m->OnSetFloatFormCaption)
    m->OnSetFloatFormCaption(this, floatForm_);
}

void TdxFloatDockSite::StartDocking(TPoint p) {
  if (TdxCustomDockControl* c = Child()) c->StartDocking(p);
}

void TdxFloatDockSite::RestoreDockPosition(TPoint p) {
  if (TdxCustomDockControl* c = Child(); c && c->Dockable()) c->RestoreDockPosition(p);
}

void TdxFloatDockSite::Activate() {
  if (TdxCustomDockControl* c = GetActivatableChild())
    c->Activate();
  else if (TdxCustomDockControl* ch = Child())
    ch->Activate();
}

void TdxFloatDockSite::DoClose() {
  if (TdxCustomDockControl* c = Child()) c->DoClose();
}

void TdxFloatDockSite::UpdateCaption() {
  if (Child() && floatForm_) floatForm_->SetCaption(Child()->Caption());
  DoSetFloatFormCaption();
}

void TdxFloatDockSite::ChildVisibilityChanged(TdxCustomDockControl* child) {
  if (child != Child()) return;
  SetVisible(child->Visible());
  if (floatForm_) floatForm_->SetVisible(child->Visible() && IsParentFormVisible());
}

void TdxFloatDockSite::AdjustControlBounds(TdxCustomDockControl* control) {
  if (floatForm_)
    SetFloatFormSize(control->OriginalWidth(), control->OriginalHeight());
  else
    TdxCustomDockSite::AdjustControlBounds(control);
}

void TdxFloatDockSite::UpdateControlOriginalSize(TdxCustomDockControl* control) {
  if (!floatForm_ || !floatForm_->Visible()) return;
  control->SetOriginalHeight(Height());
  control->SetOriginalWidth(Width());
}

void TdxFloatDockSite::CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) {
  if (ChildCount() > 0) throw Exception(Format(sdxInternalErrorCreateLayout, {ClassName()}));
  control->IncludeToDock(this, type, 0);
}

void TdxFloatDockSite::DestroyLayout(TdxCustomDockControl* control) {
  if (ChildCount() != 1) throw Exception(Format(sdxInternalErrorDestroyLayout, {ClassName()}));
  control->ExcludeFromDock();
  if (!IsDestroying()) DoDestroy();
}

void TdxFloatDockSite::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  if (!IsUpdateLayoutLocked() && !IsDestroying() && !(parent && parent->ComponentState().Contains(csLoading)))
    throw Exception(sdxInvalidParentAssigning);
  // Only the float form holds a float site (any other form was let through before).
  if (parent && !dynamic_cast<TdxFloatForm*>(parent)) throw Exception(sdxInvalidFloatSiteParent);
  TdxCustomDockSite::SetParent(parent);
}

// ---- the float form ------------------------------------------------------------------------

TdxFloatForm::TdxFloatForm(TComponent* owner) : TCustomForm(owner) {
  SetAutoScroll(false);
  SetBorderStyle(bsSizeToolWin);
  SetDefaultMonitor(dmDesktop);
  SetVisible(false);
}

TdxFloatForm::~TdxFloatForm() {
  if (floatSite_) DetachSite();
}

void TdxFloatForm::AttachSite(TdxFloatDockSite* site) {
  floatSite_ = site;
  if (!(site->IsDesigning() && site->Owner() && site->Owner()->ComponentState().Contains(csLoading)))
    site->SetDockType(dtClient);
  site->SetParent(this);
  siteAttached_ = true;
}

void TdxFloatForm::DetachSite() {
  siteAttached_ = false;
  TdxFloatDockSite* site = floatSite_;
  floatSite_ = nullptr;
  if (!site) return;
  InLayoutUpdate(site, [&] { site->SetParent(nullptr); });
  site->floatForm_ = nullptr;
}

void TdxFloatForm::SetOnTop() {
  if (onTop_) return;
  onTop_ = true;
  if (HandleAllocated()) RecreateWnd();
}

void TdxFloatForm::ClearOnTop() {
  if (!onTop_) return;
  onTop_ = false;
  if (HandleAllocated()) RecreateWnd();
}

void TdxFloatForm::CreateParams(TCreateParams& p) {
  TCustomForm::CreateParams(p);
  if (!onTop_) return;
  p.Style |= WS_POPUP | WS_BORDER | WS_SYSMENU;
  p.WndParent = nullptr;
  if (floatSite_ && !floatSite_->IsDestroying())
    if (TCustomForm* f = floatSite_->ParentForm(); f && f->HandleAllocated()) p.WndParent = f->Handle();
}

void TdxFloatForm::CreateWnd() {
  TCustomForm::CreateWnd();
  if (pendingClientWidth_ >= 0) SetClientWidth(pendingClientWidth_);
  if (pendingClientHeight_ >= 0) SetClientHeight(pendingClientHeight_);
  pendingClientWidth_ = pendingClientHeight_ = -1;
}

void TdxFloatForm::WndProc(TMessage& m) {
  TdxFloatDockSite* site = floatSite_;
  switch (m.Msg) {
    case WM_CLOSE:
      if (site && !site->IsDesigning()) site->DoClose();
      m.Result = 0;
      return;
    case WM_MOVE:
      TCustomForm::WndProc(m);
      if (floatSite_) floatSite_->UpdateFloatPosition();
      return;
    case WM_MOUSEACTIVATE:
      TCustomForm::WndProc(m);
      if (floatSite_) floatSite_->Activate();
      return;
    case WM_NCLBUTTONDOWN:
      if (m.WParam == HTCAPTION && site && !IsIconic(Handle())) {
        // No caption drag of the window manager: a move starts drag docking instead.
        SendMessage(site->Handle(), WM_MOUSEACTIVATE, WPARAM(Handle()), MAKELPARAM(HTCAPTION, WM_LBUTTONDOWN));
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        captionPressed_ = true;
        pressPoint_ = PointOf(m.LParam);
        // Moves reach the form until the button goes up, also when they leave the caption.
        SetCapture(Handle());
        m.Result = 0;
        return;
      }
      break;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
      if (captionPressed_ && GetCapture() == Handle()) ReleaseCapture();
      captionPressed_ = false;
      break;
    case WM_NCMOUSEMOVE:
    case WM_MOUSEMOVE:
      if (captionPressed_) {
        POINT p;
        GetCursorPos(&p);
        if (p.X != pressPoint_.X || p.Y != pressPoint_.Y) {
          captionPressed_ = false;
          if (GetCapture() == Handle()) ReleaseCapture();
          if (site) site->StartDocking(TPoint(p.X, p.Y));
          return;
        }
      }
      break;
    case WM_NCLBUTTONDBLCLK:
      if (m.WParam == HTCAPTION && site && !site->IsDesigning() && !IsIconic(Handle())) {
        captionPressed_ = false;
        POINT p;
        GetCursorPos(&p);
        site->RestoreDockPosition(TPoint(p.X, p.Y));
        m.Result = 0;
        return;
      }
      break;
    case DXM_DOCK_HIDEFLOATFORM: Hide(); return;
    case DXM_DOCK_SHOWFLOATFORM: Show(); return;
    default: break;
  }
  TCustomForm::WndProc(m);
}

// ---- the controller's float forms ----------------------------------------------------------

TdxFloatDockSite* TdxDockingController::FloatSiteAtPos(TPoint p) const {
  auto* form = dynamic_cast<TdxFloatForm*>(FindControl(WindowFromPoint(POINT{p.X, p.Y})));
  if (!form || !form->HandleAllocated()) return nullptr;
  if (SendMessage(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y)) != HTCAPTION) return nullptr;
  return form->FloatSite();
}

static bool FloatSiteBelongs(TdxFloatDockSite* site, TCustomForm* form) {
  TCustomForm* f = site->ParentForm();
  return !form || f == form || (form->FormStyle() == fsMDIForm && f && f->FormStyle() == fsMDIChild);
}

void TdxDockingController::HideFloatForms(TCustomForm* form) {
  for (TdxCustomDockControl* c : std::vector<TdxCustomDockControl*>(dockControls_)) {
    auto* site = dynamic_cast<TdxFloatDockSite*>(c);
    if (!site || !site->FloatFormOf() || !FloatSiteBelongs(site, form)) continue;
    TdxFloatForm* f = site->FloatFormOf();
    if (site->IsDesigning())
      f->Hide();
    else if (f->HandleAllocated())
      PostMessage(f->Handle(), DXM_DOCK_HIDEFLOATFORM, 0, 0);
  }
}

void TdxDockingController::ShowFloatForms(TCustomForm* form) {
  for (TdxCustomDockControl* c : std::vector<TdxCustomDockControl*>(dockControls_)) {
    auto* site = dynamic_cast<TdxFloatDockSite*>(c);
    if (!site || !site->FloatFormOf() || !site->Visible() || !FloatSiteBelongs(site, form)) continue;
    TdxFloatForm* f = site->FloatFormOf();
    if (site->IsDesigning())
      f->Show();
    else
      SendMessage(f->Handle(), DXM_DOCK_SHOWFLOATFORM, 0, 0);
  }
}

void TdxDockingController::SetFloatFormsOnTop(TCustomForm* form, bool onTop) {
  for (TdxCustomDockControl* c : std::vector<TdxCustomDockControl*>(dockControls_)) {
    auto* site = dynamic_cast<TdxFloatDockSite*>(c);
    if (!site || !site->FloatFormOf() || site->IsDesigning() || site->IsDestroying()) continue;
    if (!FloatSiteBelongs(site, form)) continue;
    if (onTop)
      site->FloatFormOf()->SetOnTop();
    else
      site->FloatFormOf()->ClearOnTop();
  }
}
