// Auto-hide: switching a control to and from auto-hide, the dock site's hide bars with their
// buttons, the window a control slides out in, the site's three timers and the slide.
#include <algorithm>

#include "docking/dxDockConsts.h"
#include "docking/dxDockControlBrackets.h"
#include "docking/dxDockControl.h"
#include "foundation/cxGraphics.h"
#include "rtl/SysUtils.h"
#include "user/Windows.h"
#include "vcl/ControlMessages.h"

using namespace dock_consts;
using namespace dock_brackets;

namespace {
constexpr UINT_PTR kMovingTimer = 1, kHideTimer = 2, kShowTimer = 3;

[[noreturn]] void AutoHideAssertion() { throw Exception("Internal error while autohide controls."); }
}  // namespace

// ---- the dock control's side ---------------------------------------------------------------

void TdxCustomDockControl::SetAutoHide(bool v) {
  if (autoHide_ == v || (v && !CanAutoHide())) return;
  autoHide_ = v;
  AutoHideChanged();
  UpdateEnabled();
}

void TdxCustomDockControl::AutoHideChanged() {
  TdxDockSite* host = AutoHideHostSite();
  if (IsLoading() || !host) return;
  InUpdateNC([&] {
    if (OnAutoHideChanging) OnAutoHideChanging(this);
    host->NCChanged();
    InLayoutUpdate(parentDockControl_, [&] {
      if (autoHide_) {
        host->AddAutoHideControl(this, GetAutoHidePosition());
      } else {
        host->RemoveAutoHideControl(this);
        if (!IsDestroying()) Activate();
      }
    });
  });
  InUpdateNC([&] {
    if (autoHide_ && !Options().Contains(doImmediatelyHideOnAutoHide)) host->ShowControlImmediately(this);
    if (!Visible()) UpdateRelatedVisibility();
    if (OnAutoHideChanged) OnAutoHideChanged(this);
  });
}

TdxAutoHidePosition TdxCustomDockControl::GetAutoHidePosition() {
  TdxCustomDockControl* asker = AutoSizeHostSite();
  if (!asker) asker = SideContainer();
  if (!asker) asker = TabContainer();
  if (!asker) asker = this;
  TdxAutoHidePosition position = asker->GetControlAutoHidePosition(this);
  if (OnGetAutoHidePosition) OnGetAutoHidePosition(this, position);
  return position;
}

TdxAutoHidePosition TdxCustomDockControl::GetControlAutoHidePosition(TdxCustomDockControl* control) {
  if (TdxDockSite* s = AutoSizeHostSite()) return s->GetControlAutoHidePosition(control);
  switch (control->DockType()) {
    case dtLeft: return ahpLeft;
    case dtTop: return ahpTop;
    case dtRight: return ahpRight;
    case dtBottom: return ahpBottom;
    default: break;
  }
  TdxDockSite* host = control->AutoHideHostSite();
  if (!control->HandleAllocated() || !host || !host->HandleAllocated()) return ahpLeft;
  RECT r, s;
  GetWindowRect(control->Handle(), &r);
  GetWindowRect(host->Handle(), &s);
  if (r.Height() >= r.Width()) return s.Right - r.Right < r.Left - s.Left ? ahpRight : ahpLeft;
  return s.Bottom - r.Bottom < r.Top - s.Top ? ahpBottom : ahpTop;
}

void TdxCustomDockControl::UpdateAutoHideVisibility() {
  if (visibilityLock_ > 0) return;
  TdxCustomDockControl* p = parentDockControl_;
  if (p && p->autoHide_ && p->ValidChildCount() == 0) p->UpdateAutoHideVisibility();
  TdxDockSite* host = AutoHideHostSite();
  if (!host) return;
  InVisibilityUpdate(this, [&] {
    if (!autoHide_ && Visible() && storedAutoHide_) {
      // Shown again after it was hidden while auto-hidden: back on its bar.
      storedAutoHide_ = false;
      SetAutoHide(true);
      if (autoHide_) host->ShowControl(this);
    } else if (autoHide_ && Visible()) {
      host->ShowControl(this);
    } else if (autoHide_ && !Visible()) {
      InLayoutUpdate(this, [&] {
        host->NCChanged();
        SetAutoHide(false);
        storedAutoHide_ = true;
        SetVisible(false);
      });
    }
  });
}

// ---- the auto-hide container ---------------------------------------------------------------

TdxDockSiteAutoHideContainer::TdxDockSiteAutoHideContainer(TComponent* owner) : TWinControl(owner) {
  controlStyle_.Include(csNoDesignVisible);
  SetVisible(false);
}

TdxDockSiteAutoHideContainer::~TdxDockSiteAutoHideContainer() {
  while (ControlCount() > 0) RemoveControl(Controls(ControlCount() - 1));
}

void TdxDockSiteAutoHideContainer::WndProc(TMessage& message) {
  if (message.Msg == WM_ERASEBKGND) {
    message.Result = 1;
    return;
  }
  TWinControl::WndProc(message);
}

// ---- hide bars -----------------------------------------------------------------------------

TdxDockSiteHideBar::~TdxDockSiteHideBar() { ReleaseControls(); }

void TdxDockSiteHideBar::ReleaseControls() {
  // A control is touched only while its container lives (it holds the control then).
  for (size_t i = 0; i < controls_.size(); ++i) delete containers_[i];
  controls_.clear();
  containers_.clear();
}

void TdxDockSiteHideBar::ForgetContainer(const TComponent* container) {
  for (auto& k : containers_)
    if (k == container) k = nullptr;
}

bool TdxDockSiteHideBar::Contains(const TdxCustomDockControl* c) const {
  return std::find(controls_.begin(), controls_.end(), c) != controls_.end();
}

TdxDockSiteAutoHideContainer* TdxDockSiteHideBar::ContainerOf(const TdxCustomDockControl* c) const {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  return it == controls_.end() ? nullptr : containers_[size_t(it - controls_.begin())];
}

TAnchors TdxDockSiteHideBar::GetContainerAnchors() const {
  switch (position_) {
    case ahpLeft: return {akLeft, akTop, akBottom};
    case ahpTop: return {akLeft, akTop, akRight};
    case ahpRight: return {akTop, akRight, akBottom};
    default: return {akLeft, akRight, akBottom};
  }
}

TAlign TdxDockSiteHideBar::GetControlAlign() const {
  static const TAlign aligns[] = {alRight, alBottom, alLeft, alTop};
  return aligns[position_];
}

void TdxDockSiteHideBar::Calculate(const TRect& r) {
  TdxDockControlPainter* p = site_->Painter();
  if (controls_.empty()) {
    switch (position_) {
      case ahpLeft: barRect_ = Rect(r.Left, r.Top, r.Left, r.Bottom); break;
      case ahpTop: barRect_ = Rect(r.Left, r.Top, r.Right, r.Top); break;
      case ahpRight: barRect_ = Rect(r.Right, r.Top, r.Right, r.Bottom); break;
      default: barRect_ = Rect(r.Left, r.Bottom, r.Right, r.Bottom); break;
    }
  } else {
    switch (position_) {
      case ahpLeft: barRect_ = Rect(r.Left, r.Top, r.Left + p->GetHideBarWidth(), r.Bottom); break;
      case ahpTop: barRect_ = Rect(r.Left, r.Top, r.Right, r.Top + p->GetHideBarHeight()); break;
      case ahpRight: barRect_ = Rect(r.Right - p->GetHideBarWidth(), r.Top, r.Right, r.Bottom); break;
      default: barRect_ = Rect(r.Left, r.Bottom - p->GetHideBarHeight(), r.Right, r.Bottom); break;
    }
  }
  buttonRects_.resize(controls_.size());
  CalculateButtons();
}

void TdxDockSiteHideBar::CalculateButtons() {
  TdxDockControlPainter* p = site_->Painter();
  Integer hi = p->GetHideBarHorizInterval(), vi = p->GetHideBarVertInterval();
  Integer position;
  if (IsVertical()) {
    position = barRect_.Top + hi;
    if (site_->GetHideBarByPosition(ahpTop)->ControlCount() > 0) position += p->GetHideBarHeight();
  } else {
    position = barRect_.Left + hi;
    if (site_->GetHideBarByPosition(ahpLeft)->ControlCount() > 0) position += p->GetHideBarWidth();
  }
  for (size_t i = 0; i < controls_.size(); ++i) {
    Integer length = GetButtonLength(controls_[i]);
    if (IsVertical())
      buttonRects_[i] = Rect(barRect_.Left + vi, position, barRect_.Right - vi, position + length);
    else
      buttonRects_[i] = Rect(position, barRect_.Top + vi, position + length, barRect_.Bottom - vi);
    position += length + hi;
  }
}

Integer TdxDockSiteHideBar::GetButtonLength(TdxCustomDockControl* control) {
  TdxDockControlPainter* p = site_->Painter();
  Integer hi = p->GetHideBarHorizInterval();
  TFont* font = site_->Font();
  if (auto* tc = dynamic_cast<TdxTabContainerDockSite*>(control)) {
    Integer widest = 0, count = 0;
    for (Integer i = 0; i < tc->ChildCount(); ++i) {
      if (!tc->IsValidChild(tc->Children(i))) continue;
      widest = std::max(widest, MeasureTextWidthInFont(font, tc->Children(i)->Caption()));
      ++count;
    }
    Integer image = IsVertical() ? p->GetDefaultImageHeight() : p->GetDefaultImageWidth();
    return 2 * hi + widest + (2 * hi + image) * count;
  }
  Integer length = hi + MeasureTextWidthInFont(font, control->Caption()) + hi;
  Integer image = IsVertical() ? p->GetImageHeight() : p->GetImageWidth();
  return length + (image <= 0 ? hi : 2 * hi + image);
}

TdxCustomDockControl* TdxDockSiteHideBar::GetTabContainerChildAtPos(TPoint pt, TdxTabContainerDockSite* tc,
                                                                    const TRect& button) {
  TdxDockControlPainter* p = site_->Painter();
  Integer length = 2 * p->GetHideBarHorizInterval() +
                   (IsVertical() ? p->GetDefaultImageHeight() : p->GetDefaultImageWidth());
  TdxCustomDockControl* active = tc->ActiveChild();
  if (!active) return nullptr;
  Integer a = active->DockIndex();
  TRect rest = button;
  for (Integer i = 0; i < a; ++i) {
    if (!tc->IsValidChild(tc->Children(i))) continue;
    TRect section = IsVertical() ? Rect(rest.Left, rest.Top, rest.Right, rest.Top + length)
                                 : Rect(rest.Left, rest.Top, rest.Left + length, rest.Bottom);
    if (section.Contains(pt)) return tc->Children(i);
    (IsVertical() ? rest.Top : rest.Left) += length;
  }
  for (Integer i = tc->ChildCount() - 1; i > a; --i) {
    if (!tc->IsValidChild(tc->Children(i))) continue;
    TRect section = IsVertical() ? Rect(rest.Left, rest.Bottom - length, rest.Right, rest.Bottom)
                                 : Rect(rest.Right - length, rest.Top, rest.Right, rest.Bottom);
    if (section.Contains(pt)) return tc->Children(i);
    (IsVertical() ? rest.Bottom : rest.Right) -= length;
  }
  return active;
}

TdxCustomDockControl* TdxDockSiteHideBar::GetButtonControlAtPos(TPoint p, TdxCustomDockControl** child) {
  if (child) *child = nullptr;
  for (size_t i = 0; i < controls_.size() && i < buttonRects_.size(); ++i) {
    if (!buttonRects_[i].Contains(p)) continue;
    if (auto* tc = dynamic_cast<TdxTabContainerDockSite*>(controls_[i]); tc && child)
      *child = GetTabContainerChildAtPos(p, tc, buttonRects_[i]);
    return controls_[i];
  }
  return nullptr;
}

void TdxDockSiteHideBar::AddControl(TdxCustomDockControl* control) {
  bool first = controls_.empty();
  controls_.push_back(control);
  containers_.push_back(nullptr);
  CreateAutoHideContainer(control);
  if (first) site_->RecalculateNC(true);
}

void TdxDockSiteHideBar::RemoveControl(TdxCustomDockControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  DestroyAutoHideContainer(control);
  size_t i = size_t(it - controls_.begin());
  controls_.erase(controls_.begin() + long(i));
  containers_.erase(containers_.begin() + long(i));
  if (controls_.empty()) site_->RecalculateNC(true);
}

void TdxDockSiteHideBar::CreateAutoHideContainer(TdxCustomDockControl* control) {
  // Not owned by the site (whose insertion check takes dock controls only): the bar frees it,
  // and the site hears of it when the form frees it first.
  auto* container = new TdxDockSiteAutoHideContainer(nullptr);
  container->FreeNotification(site_);
  containers_.back() = container;
  container->SetAnchors(GetContainerAnchors());
  container->SetParent(site_->Parent());
  container->BringToFront();
  InLayoutUpdate(control, [&] {
    InVisibilityUpdate(control, [&] {
      control->SetAlign(GetControlAlign());
      control->SetParent(container);
      control->SetVisible(false);
      control->AdjustControlBounds(control);
    });
  });
}

void TdxDockSiteHideBar::DestroyAutoHideContainer(TdxCustomDockControl* control) {
  TdxDockSiteAutoHideContainer* container = ContainerOf(control);
  if (!container) return;
  InLayoutUpdate(control, [&] {
    InVisibilityUpdate(control, [&] {
      if (container->HandleAllocated()) SendMessage(container->Handle(), WM_SETREDRAW, 0, 0);
      control->SetVisible(true);
      if (TdxCustomDockControl* p = control->ParentDockControl()) control->SetParent(p);
      control->SetDockType(control->DockType());
      control->AdjustControlBounds(control);
    });
  });
  auto it = std::find(containers_.begin(), containers_.end(), container);
  *it = nullptr;
  delete container;
}

TRect TdxDockSiteHideBar::SiteClientRect() const {
  TPoint origin(site_->Left(), site_->Top());
  if (site_->HandleAllocated() && site_->Parent() && site_->Parent()->HandleAllocated())
    origin = site_->Parent()->ScreenToClient(site_->ClientToScreen(TPoint(0, 0)));
  return Rect(origin.X, origin.Y, origin.X + site_->ClientWidth(), origin.Y + site_->ClientHeight());
}

void TdxDockSiteHideBar::SetExpandedBounds(TdxCustomDockControl* c) {
  TdxDockSiteAutoHideContainer* k = ContainerOf(c);
  if (!k) return;
  TRect r = SiteClientRect();
  Integer ow = c->OriginalWidth(), oh = c->OriginalHeight();
  switch (position_) {
    case ahpLeft: k->SetBounds(r.Left, r.Top, ow, r.Height()); break;
    case ahpTop: k->SetBounds(r.Left, r.Top, r.Width(), oh); break;
    case ahpRight: k->SetBounds(r.Right - ow, r.Top, ow, r.Height()); break;
    default: k->SetBounds(r.Left, r.Bottom - oh, r.Width(), oh); break;
  }
}

void TdxDockSiteHideBar::SetCollapsedBounds(TdxCustomDockControl* c) {
  TdxDockSiteAutoHideContainer* k = ContainerOf(c);
  if (!k) return;
  TRect r = SiteClientRect();
  switch (position_) {
    case ahpLeft: k->SetBounds(r.Left, r.Top, 0, r.Height()); break;
    case ahpTop: k->SetBounds(r.Left, r.Top, r.Width(), 0); break;
    case ahpRight: k->SetBounds(r.Right, r.Top, 0, r.Height()); break;
    default: k->SetBounds(r.Left, r.Bottom, r.Width(), 0); break;
  }
}

void TdxDockSiteHideBar::ChangeContainerSize(TdxCustomDockControl* c, Integer delta) {
  TdxDockSiteAutoHideContainer* k = ContainerOf(c);
  if (!k) return;
  Integer full = IsVertical() ? c->OriginalWidth() : c->OriginalHeight();
  Integer now = IsVertical() ? k->Width() : k->Height();
  // Never past the full extent nor below nothing.
  if (now + delta >= full) {
    SetExpandedBounds(c);
    return;
  }
  if (now + delta <= 0) {
    SetCollapsedBounds(c);
    return;
  }
  switch (position_) {
    case ahpLeft: k->SetWidth(now + delta); break;
    case ahpTop: k->SetHeight(now + delta); break;
    case ahpRight: k->SetBounds(k->Left() - delta, k->Top(), now + delta, k->Height()); break;
    default: k->SetBounds(k->Left(), k->Top() - delta, k->Width(), now + delta); break;
  }
}

bool TdxDockSiteHideBar::IsCollapsed(TdxCustomDockControl* c) const {
  TdxDockSiteAutoHideContainer* k = ContainerOf(c);
  return !k || (IsVertical() ? k->Width() : k->Height()) < 1;
}

bool TdxDockSiteHideBar::IsExpanded(TdxCustomDockControl* c) const {
  TdxDockSiteAutoHideContainer* k = ContainerOf(c);
  return !k || (IsVertical() ? k->Width() >= c->OriginalWidth() : k->Height() >= c->OriginalHeight());
}

// ---- the dock site's auto-hide -------------------------------------------------------------

TdxDockSite::TdxDockSite(TComponent* owner) : TdxCustomDockSite(owner) {
  for (TdxAutoHidePosition p : {ahpTop, ahpBottom, ahpLeft, ahpRight})
    hideBars_.push_back(std::make_unique<TdxDockSiteHideBar>(this, p));
  useDoubleBufferedNC_ = true;
}

TdxDockSite::~TdxDockSite() {
  for (UINT_PTR id : {kMovingTimer, kHideTimer, kShowTimer}) KillTimer(id);
  for (const auto& b : hideBars_) b->ReleaseControls();
  hideBars_.clear();
}

void TdxDockSite::ValidateInsert(TComponent* c) {
  if (dynamic_cast<TdxDockSiteAutoHideContainer*>(c)) return;
  TdxCustomDockSite::ValidateInsert(c);
}

void TdxDockSite::Notification(TComponent* c, TOperation operation) {
  TdxCustomDockSite::Notification(c, operation);
  if (operation != opRemove) return;
  // (Compared by address: by now the component is no more than a component.)
  for (const auto& b : hideBars_) b->ForgetContainer(c);
  if (c == shownControl_) shownControl_ = nullptr;
  if (c == movingControl_) movingControl_ = nullptr;
  if (c == hoverControl_) hoverControl_ = nullptr;
}

TdxDockSiteHideBar* TdxDockSite::GetHideBarByPosition(TdxAutoHidePosition position) const {
  for (const auto& b : hideBars_)
    if (b->GetPosition() == position) return b.get();
  return nullptr;
}

TdxDockSiteHideBar* TdxDockSite::GetHideBarByControl(TdxCustomDockControl* control) const {
  for (const auto& b : hideBars_)
    if (b->Contains(control)) return b.get();
  return nullptr;
}

TdxAutoHidePosition TdxDockSite::GetControlHideBarPosition(TdxCustomDockControl* control) const {
  TdxDockSiteHideBar* b = GetHideBarByControl(control);
  return b ? b->GetPosition() : ahpLeft;
}

TdxDockSiteAutoHideContainer* TdxDockSite::AutoHideContainerOf(TdxCustomDockControl* control) const {
  TdxDockSiteHideBar* b = GetHideBarByControl(control);
  return b ? b->ContainerOf(control) : nullptr;
}

bool TdxDockSite::HasVisibleHideBars() const {
  for (const auto& b : hideBars_)
    if (b->ControlCount() > 0) return true;
  return false;
}

TdxDockSiteHideBar* TdxDockSite::GetHideBarAtPos(TPoint screen) {
  TPoint w = ScreenToWindow(screen);
  for (const auto& b : hideBars_)
    if (b->ControlCount() > 0 && b->BarRect().Contains(w)) return b.get();
  return nullptr;
}

TdxCustomDockControl* TdxDockSite::GetHideBarControlAtPos(TPoint screen, TdxCustomDockControl** child) {
  TPoint w = ScreenToWindow(screen);
  for (const auto& b : hideBars_)
    if (TdxCustomDockControl* c = b->GetButtonControlAtPos(w, child)) return c;
  return nullptr;
}

TdxAutoHidePosition TdxDockSite::GetControlAutoHidePosition(TdxCustomDockControl* control) {
  if (!AutoSize()) return TdxCustomDockSite::GetControlAutoHidePosition(control);
  switch (Align()) {
    case alTop: return ahpTop;
    case alBottom: return ahpBottom;
    case alLeft: return ahpLeft;
    case alRight: return ahpRight;
    default: return control->Height() < control->Width() ? ahpTop : ahpLeft;
  }
}

void TdxDockSite::CalculateNC(TRect& r) {
  TdxCustomDockSite::CalculateNC(r);
  for (const auto& b : hideBars_) b->Calculate(r);
  TdxDockSiteHideBar *top = HideBars(0), *bottom = HideBars(1), *left = HideBars(2), *right = HideBars(3);
  r.Left += left->BarRect().Width();
  r.Right -= right->BarRect().Width();
  r.Top += top->BarRect().Height();
  r.Bottom -= bottom->BarRect().Height();
}

void TdxDockSite::NCPaint(TCanvas* canvas) {
  TdxDockControlPainter* p = Painter();
  for (const auto& b : hideBars_) {
    if (b->ControlCount() == 0) continue;
    p->DrawHideBar(canvas, b->BarRect(), b->GetPosition());
    for (Integer i = 0; i < b->ControlCount(); ++i)
      p->DrawHideBarButton(canvas, b->Controls(i), b->ButtonRect(i), b->GetPosition());
  }
}

void TdxDockSite::AddAutoHideControl(TdxCustomDockControl* control, TdxAutoHidePosition position) {
  RecalculateNC(false);
  HideShownControlImmediately(false);
  TdxDockSiteHideBar* bar = GetHideBarByPosition(position);
  if (!bar) return;
  control->autoHidePosition_ = position;
  movingHideBar_ = bar;
  movingControl_ = control;
  try {
    bar->AddControl(control);
  } catch (...) {
    movingHideBar_ = nullptr;
    movingControl_ = nullptr;
    throw;
  }
  movingHideBar_ = nullptr;
  movingControl_ = nullptr;
  if (Controller()->ActiveDockControl() == control) Controller()->SetActiveDockControl(nullptr);
}

void TdxDockSite::RemoveAutoHideControl(TdxCustomDockControl* control) {
  RecalculateNC(false);
  HideShownControlImmediately(true);
  TdxDockSiteHideBar* bar = GetHideBarByControl(control);
  if (!bar) return;
  // (A container freed with the form leaves the control on the bar without one.)
  movingHideBar_ = bar;
  movingControl_ = control;
  bar->RemoveControl(control);
  movingHideBar_ = nullptr;
  movingControl_ = nullptr;
  control->autoHidePosition_ = ahpUndefined;
  if (hoverControl_ == control) hoverControl_ = nullptr;
}

void TdxDockSite::SetControlShown(TdxCustomDockControl* control, bool visible) {
  InVisibilityUpdate(control, [&] { control->SetVisible(visible); });
}

void TdxDockSite::ShowControl(TdxCustomDockControl* control) {
  if (control == shownControl_ || movingControl_) return;
  if (control) {
    HideShownControlImmediately(false);
    TdxDockSiteHideBar* bar = GetHideBarByControl(control);
    if (!bar) return;
    movingHideBar_ = bar;
    movingControl_ = control;
    TdxDockSiteAutoHideContainer* k = bar->ContainerOf(control);
    if (!k) AutoHideAssertion();
    bar->SetCollapsedBounds(control);
    k->SetVisible(true);
    SetControlShown(control, true);
    k->BringToFront();
    if (OnShowControl) OnShowControl(this, control);
    showing_ = true;
    DoShowingStep();
  } else if (shownControl_) {
    TdxDockSiteHideBar* bar = GetHideBarByControl(shownControl_);
    if (!bar || !bar->ContainerOf(shownControl_)) AutoHideAssertion();
    movingHideBar_ = bar;
    movingControl_ = shownControl_;
    showing_ = false;
    DoHidingStep();
  }
}

void TdxDockSite::DoShowingStep() {
  if (!movingHideBar_ || !movingControl_) return;
  movingHideBar_->ChangeContainerSize(movingControl_, Controller()->AutoHideMovingSize(ParentForm()));
  if (movingHideBar_->IsExpanded(movingControl_)) {
    KillTimer(kMovingTimer);
    movingHideBar_ = nullptr;
    shownControl_ = movingControl_;
    movingControl_ = nullptr;
    StartHideTimer();
  } else if (!TimerRunning(kMovingTimer)) {
    StartTimer(kMovingTimer, Controller()->AutoHideMovingInterval(ParentForm()));
  }
}

void TdxDockSite::DoHidingStep() {
  if (!movingHideBar_ || !movingControl_) return;
  movingHideBar_->ChangeContainerSize(movingControl_, -Controller()->AutoHideMovingSize(ParentForm()));
  if (movingHideBar_->IsCollapsed(movingControl_)) {
    TdxCustomDockControl* c = movingControl_;
    if (OnHideControl) OnHideControl(this, c);
    KillTimer(kMovingTimer);
    TdxDockSiteAutoHideContainer* k = movingHideBar_->ContainerOf(c);
    if (!k) AutoHideAssertion();
    k->SetVisible(false);
    SetControlShown(c, false);
    movingHideBar_ = nullptr;
    movingControl_ = nullptr;
    shownControl_ = nullptr;
    CheckHideShownControl();
  } else if (!TimerRunning(kMovingTimer)) {
    StartTimer(kMovingTimer, Controller()->AutoHideMovingInterval(ParentForm()));
  }
}

void TdxDockSite::HideShownControlImmediately(bool keepContainer) {
  if (TdxCustomDockControl* c = shownControl_) {
    if (OnHideControl) OnHideControl(this, c);
    if (!keepContainer)
      if (TdxDockSiteAutoHideContainer* k = AutoHideContainerOf(c)) k->SetVisible(false);
    SetControlShown(c, false);
    if (Controller()->ActiveDockControl() == c && Controller()->ActivatingControl() != c)
      Controller()->SetActiveDockControl(nullptr);
    shownControl_ = nullptr;
    CheckHideShownControl();
  }
  movingControl_ = nullptr;
  movingHideBar_ = nullptr;
  KillTimer(kMovingTimer);
}

void TdxDockSite::ShowControlImmediately(TdxCustomDockControl* control) {
  if (movingControl_ || control == shownControl_) return;
  HideShownControlImmediately(false);
  TdxDockSiteHideBar* bar = GetHideBarByControl(control);
  if (!bar) return;
  shownControl_ = control;
  bar->SetExpandedBounds(control);
  TdxDockSiteAutoHideContainer* k = bar->ContainerOf(control);
  if (k) k->SetVisible(true);
  SetControlShown(control, true);
  if (k) k->BringToFront();
  if (OnShowControl) OnShowControl(this, control);
  StartHideTimer();
}

void TdxDockSite::UpdateShownBounds(TdxCustomDockControl* control) {
  if (TdxDockSiteHideBar* bar = GetHideBarByControl(control)) bar->SetExpandedBounds(control);
}

void TdxDockSite::CheckHideShownControl() {
  TdxDockingController* c = Controller();
  if (movingControl_) return;
  if (!shownControl_) {
    KillTimer(kHideTimer);
    return;
  }
  POINT cursor;
  GetCursorPos(&cursor);
  if (GetHideBarAtPos(cursor)) return;
  TdxCustomDockControl* under = c->DockControlAtPos(cursor);
  if (under && under->AutoHideControl() == shownControl_) return;
  TdxCustomDockControl* active = c->ActiveDockControl();
  if (!Options().Contains(doHideAutoHideIfActive) && active && active->AutoHideControl() == shownControl_) return;
  ShowControl(nullptr);
}

void TdxDockSite::StartTimer(UINT_PTR id, Integer interval) {
  if (!HandleAllocated()) return;
  SetTimer(Handle(), id, UINT(std::max(interval, 1)), nullptr);
  timers_[id] = true;
}

void TdxDockSite::KillTimer(UINT_PTR id) {
  if (!timers_[id]) return;
  if (HandleAllocated()) ::KillTimer(Handle(), id);
  timers_[id] = false;
}

void TdxDockSite::StartShowTimer() {
  if (TimerRunning(kShowTimer) || IsDestroying()) return;
  StartTimer(kShowTimer, Controller()->AutoShowInterval(ParentForm()));
}

void TdxDockSite::StartHideTimer() {
  KillTimer(kHideTimer);
  if (IsDestroying() || !shownControl_) return;
  StartTimer(kHideTimer, Controller()->AutoHideInterval(ParentForm()));
}

void TdxDockSite::DoShowTimer() {
  KillTimer(kShowTimer);
  POINT cursor;
  GetCursorPos(&cursor);
  TdxCustomDockControl* child = nullptr;
  TdxCustomDockControl* c = GetHideBarControlAtPos(cursor, &child);
  if (!c || c != hoverControl_) return;
  auto* tc = dynamic_cast<TdxTabContainerDockSite*>(c);
  if (tc && child && child != tc->ActiveChild()) {
    HideShownControlImmediately(false);
    tc->SetActiveChild(child);
  }
  ShowControl(c);
}

void TdxDockSite::WndProc(TMessage& message) {
  if (message.Msg == WM_TIMER && message.WParam >= kMovingTimer && message.WParam <= kShowTimer) {
    switch (message.WParam) {
      case kMovingTimer:
        if (showing_)
          DoShowingStep();
        else
          DoHidingStep();
        break;
      case kHideTimer: CheckHideShownControl(); break;
      default: DoShowTimer(); break;
    }
    return;
  }
  TdxCustomDockSite::WndProc(message);
}

bool TdxDockSite::MouseMoved(TPoint client) {
  if (TdxCustomDockSite::MouseMoved(client)) return true;
  if (!IsParentFormActive() && !IsDesigning()) return false;
  hoverControl_ = GetHideBarControlAtPos(ClientToScreen(client));
  if (hoverControl_) StartShowTimer();
  return true;
}

bool TdxDockSite::MouseLeftDown(TPoint client) {
  if (TdxCustomDockSite::MouseLeftDown(client)) return true;
  TdxCustomDockControl* c = GetHideBarControlAtPos(ClientToScreen(client));
  if (!c) return false;
  Controller()->SetActiveDockControl(c);
  Controller()->SetActivatingControl(c);
  return true;
}

void TdxDockSite::MouseLeft() {
  TdxCustomDockSite::MouseLeft();
  if (shownControl_) StartHideTimer();
}
