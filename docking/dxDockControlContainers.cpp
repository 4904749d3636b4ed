// Container sites: the common base (active child, dissolving into the last child) and the
// side containers with their size distribution, maximizing and split resizing.
#include <algorithm>

#include "docking/dxDockConsts.h"
#include "docking/dxDockControlBrackets.h"
#include "docking/dxDockControl.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

using namespace dock_consts;

using namespace dock_brackets;

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TdxContainerDockSite) {
  p.Int("ActiveChildIndex", &TdxContainerDockSite::ActiveChildIndex, &TdxContainerDockSite::SetActiveChildIndex);
  p.Set("AllowDock", &TdxContainerDockSite::AllowDock, &TdxContainerDockSite::SetAllowDock, dxDockingTypesTypeInfo())
      .Default(62);
  p.Bool("AllowFloating", &TdxContainerDockSite::AllowFloating, &TdxContainerDockSite::SetAllowFloating);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TdxSideContainerDockSite) {
  p.Bool("AutoHide", &TdxSideContainerDockSite::AutoHide, &TdxSideContainerDockSite::SetAutoHide);
  p.Set("CaptionButtons", &TdxSideContainerDockSite::CaptionButtons, &TdxSideContainerDockSite::SetCaptionButtons,
        dxCaptionButtonsTypeInfo())
      .Default(7);
  p.Bool("Dockable", &TdxSideContainerDockSite::Dockable, &TdxSideContainerDockSite::SetDockable).Default(1);
  p.Int("ImageIndex", &TdxSideContainerDockSite::ImageIndex, &TdxSideContainerDockSite::SetImageIndex).Default(-1);
  p.Bool("ShowCaption", &TdxSideContainerDockSite::ShowCaption, &TdxSideContainerDockSite::SetShowCaption)
      .Default(1);
}
KORVAN_IMPLEMENT_CLASS(TdxHorizContainerDockSite)
KORVAN_IMPLEMENT_CLASS(TdxVertContainerDockSite)

// ---- the container base --------------------------------------------------------------------

TdxContainerDockSite::TdxContainerDockSite(TComponent* owner) : TdxCustomDockSite(owner) {
  useDoubleBufferedNC_ = true;
}

Integer TdxContainerDockSite::ActiveChildIndex() const {
  if (IsLoading() || pendingActivation_) return storedActiveChildIndex_;
  return activeChild_ ? activeChild_->DockIndex() : -1;
}

void TdxContainerDockSite::SetActiveChildIndex(Integer v) {
  if (!IsLoading() && HandleAllocated()) {
    SetActiveChildByIndex(v);
    return;
  }
  // Kept until the window exists (Loaded or CreateWnd apply it).
  storedActiveChildIndex_ = v;
  pendingActivation_ = !IsLoading();
}

void TdxContainerDockSite::SetActiveChildByIndex(Integer index) {
  SetActiveChild(index >= 0 && index < ChildCount() ? Children(index) : nullptr);
}

void TdxContainerDockSite::Loaded() {
  TdxCustomDockSite::Loaded();
  if (HandleAllocated())
    SetActiveChildByIndex(storedActiveChildIndex_);
  else
    pendingActivation_ = true;
}

void TdxContainerDockSite::CreateWnd() {
  TdxCustomDockSite::CreateWnd();
  if (pendingActivation_ && !IsLoading()) {
    pendingActivation_ = false;
    SetActiveChildByIndex(storedActiveChildIndex_);
  }
}

void TdxContainerDockSite::SetActiveChild(TdxCustomDockControl* c) {
  if (c == activeChild_ || (c && !CanActiveChild(c))) return;
  pendingActivation_ = false;
  bool changed = false;
  InUpdateNC([&] {
    TdxCustomDockControl* old = activeChild_;
    if (!IsDesigning() && c && old && old->CanFocusEx() && old->HandleAllocated()) {
      // The focus leaves the old child first; a control inside it may refuse.
      TdxDockingController* controller = Controller();
      TdxCustomDockControl* active = controller->ActiveDockControl();
      ++controller->activationCount_;
      try {
        old->SetFocus();
      } catch (...) {
        --controller->activationCount_;
        controller->activeDockControl_ = active;
        throw;
      }
      --controller->activationCount_;
      controller->activeDockControl_ = active;
      TCustomForm* f = ParentForm();
      if (f && f->ActiveControl() != old) return;
    }
    activeChild_ = c;
    if (c) c->FreeNotification(this);
    changed = true;
    ActiveChildChanged();
    if (OnActiveChildChanged) OnActiveChildChanged(this, activeChild_);
  });
}

void TdxContainerDockSite::Notification(TComponent* c, TOperation operation) {
  TdxCustomDockSite::Notification(c, operation);
  if (operation == opRemove && c == activeChild_) activeChild_ = nullptr;
}

void TdxContainerDockSite::ActiveChildChanged() {
  ValidateActiveChild(-1);
  UpdateCaption();
}

void TdxContainerDockSite::HandOverChildren(TdxCustomDockControl* site, TdxDockingType type, Integer index) {
  Integer at = index < 0 || index > site->ChildCount() ? site->ChildCount() : index;
  auto* side = dynamic_cast<TdxSideContainerDockSite*>(site);
  while (ChildCount() > 0) {
    TdxCustomDockControl* c = Children(ChildCount() - 1);
    c->ExcludeFromDock();
    c->IncludeToDock(site, type, at);
    if (side) side->AdjustChildrenBounds(c);
  }
  DoDestroy();
}

TdxCustomDockControl* TdxContainerDockSite::FirstValidChild() const { return NextValidChild(-1); }

TdxCustomDockControl* TdxContainerDockSite::LastValidChild() const { return PrevValidChild(ChildCount()); }

Integer TdxContainerDockSite::LastValidChildIndex() const { return PrevValidChildIndex(ChildCount()); }

TdxCustomDockControl* TdxContainerDockSite::NextValidChild(Integer index) const {
  Integer i = NextValidChildIndex(index);
  return i < 0 ? nullptr : Children(i);
}

Integer TdxContainerDockSite::NextValidChildIndex(Integer index) const {
  for (Integer i = std::max(index + 1, 0); i < ChildCount(); ++i)
    if (IsValidChild(Children(i))) return i;
  return -1;
}

TdxCustomDockControl* TdxContainerDockSite::PrevValidChild(Integer index) const {
  Integer i = PrevValidChildIndex(index);
  return i < 0 ? nullptr : Children(i);
}

Integer TdxContainerDockSite::PrevValidChildIndex(Integer index) const {
  for (Integer i = std::min(index, ChildCount()) - 1; i >= 0; --i)
    if (IsValidChild(Children(i))) return i;
  return -1;
}

void TdxContainerDockSite::ChildVisibilityChanged(TdxCustomDockControl* child) {
  if (Controller()->IsApplyingManagerChanges()) return;
  bool visible = ValidChildCount() > 0;
  if (visible && AutoHide() && !Visible()) return;
  SetVisible(visible);
}

void TdxContainerDockSite::CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) {
  if (!HasDockType(type))
    throw Exception(Format(sdxInternalErrorCreateLayout, {String("TdxContainerDockSite")}));
  control->IncludeToDock(this, type, index);
}

void TdxContainerDockSite::DestroyLayout(TdxCustomDockControl* control) {
  Integer ownIndex = DockIndex();
  TdxCustomDockControl* p = ParentDockControl();
  InLayoutUpdate(p, [&] {
    control->ExcludeFromDock();
    if (ChildCount() == 1) {
      bool wasAutoHide = AutoHide();
      if (wasAutoHide) SetAutoHide(false);
      TdxContainerDockSite* outer = Container();
      bool wasActive = outer && outer->ActiveChild() == this;
      TdxCustomDockControl* c = Children(0);
      c->ExcludeFromDock();
      ExcludeFromDock();
      c->SetDockType(dtClient);
      c->AdjustControlBounds(this);
      if (p) c->IncludeToDock(p, DockType(), ownIndex);
      if (wasActive && c->Container()) c->Container()->SetActiveChild(c);
      if (wasAutoHide) c->SetAutoHide(true);
      DoDestroy();
    } else if (ChildCount() == 0) {
      // A container read from a form with a single child is left empty: it goes as well,
      // rather than staying behind as an empty place in the layout.
      if (p) ExcludeFromDock();
      DoDestroy();
    }
  });
}

void TdxContainerDockSite::UpdateLayout() {
  TdxCustomDockSite::UpdateLayout();
  ValidateActiveChild(-1);
}

void TdxContainerDockSite::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  bool allowed = IsUpdateLayoutLocked() || IsDestroying() || (parent && parent->ComponentState().Contains(csLoading));
  if (!allowed) throw Exception(sdxInvalidParentAssigning);
  if (parent && !dynamic_cast<TdxCustomDockControl*>(parent) &&
      !(AutoHide() && dynamic_cast<TdxDockSiteAutoHideContainer*>(parent)))
    throw Exception(Format(sdxInvalidParent, {ClassName()}));
  TdxCustomDockSite::SetParent(parent);
}

// ---- side containers -----------------------------------------------------------------------

bool TdxSideContainerDockSite::CanAutoHide() {
  if (IsLoading()) return true;
  TdxCustomDockControl* ahc = AutoHideControl();
  return AutoHideHostSite() && (!ahc || ahc == this);
}

bool TdxSideContainerDockSite::CanMaximize() {
  TdxSideContainerDockSite* s = SideContainer();
  return !AutoHide() && s && s->ValidChildCount() > 1;
}

bool TdxSideContainerDockSite::CanDockHost(TdxCustomDockControl* control, TdxDockingType type) {
  TdxDockingOptions o = Options();
  bool allowed = HasDockType(type);
  if (o.Contains(doSideContainerCanInSideContainer) && type >= dtLeft && type <= dtBottom) allowed = true;
  if (o.Contains(doSideContainerCanInTabContainer) && type == dtClient) allowed = true;
  return allowed && TdxContainerDockSite::CanDockHost(control, type);
}

bool TdxSideContainerDockSite::CanAcceptSideContainerItems(TdxSideContainerDockSite* container) {
  if (Options().Contains(doSideContainerCanInSideContainer) || IsLoading())
    return container->ClassType() == ClassType();
  return true;
}

bool TdxSideContainerDockSite::CanAcceptTabContainerItems(TdxTabContainerDockSite* container) {
  return !(Options().Contains(doTabContainerCanInSideContainer) || IsLoading());
}

bool TdxSideContainerDockSite::HasBorder() {
  return Options().Contains(doSideContainerHasCaption) && ShowCaption() && DockingState() != dsFloating &&
         ValidChildCount() > 1;
}

bool TdxSideContainerDockSite::HasCaption() {
  return Options().Contains(doSideContainerHasCaption) && ShowCaption() && DockingState() != dsFloating &&
         (ValidChildCount() > 1 || AutoHide());
}

void TdxSideContainerDockSite::UpdateCaption() {
  String caption;
  for (Integer i = NextValidChildIndex(-1); i >= 0;) {
    caption += Children(i)->Caption();
    i = NextValidChildIndex(i);
    if (i >= 0) caption += ", ";
  }
  if (caption != Caption()) SetCaption(caption);
  TdxContainerDockSite::UpdateCaption();
}

void TdxSideContainerDockSite::ChangeAutoHide() {
  if (AutoHide()) {
    SetAutoHide(false);
  } else if (Options().Contains(doSideContainerCanAutoHide)) {
    TdxContainerDockSite::ChangeAutoHide();
  } else if (TdxCustomDockControl* c = ActiveChild() ? ActiveChild() : FirstValidChild()) {
    c->ChangeAutoHide();
  }
}

void TdxSideContainerDockSite::DoClose() {
  if (Options().Contains(doSideContainerCanClose))
    TdxContainerDockSite::DoClose();
  else if (TdxCustomDockControl* c = ActiveChild() ? ActiveChild() : FirstValidChild())
    c->DoClose();
}

void TdxSideContainerDockSite::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  TdxContainerDockSite::SetBounds(left, top, width, height);
  AdjustChildrenBounds(nullptr);
}

void TdxSideContainerDockSite::UpdateLayout() {
  TdxContainerDockSite::UpdateLayout();
  AdjustChildrenBounds(nullptr);
}

void TdxSideContainerDockSite::BeginAdjustBounds() {
  ++adjustLock_;
  TdxContainerDockSite::BeginAdjustBounds();
}

void TdxSideContainerDockSite::EndAdjustBounds() {
  TdxContainerDockSite::EndAdjustBounds();
  --adjustLock_;
}

void TdxSideContainerDockSite::ActiveChildChanged() {
  TdxContainerDockSite::ActiveChildChanged();
  RecalculateNC(false);
  AdjustChildrenBounds(nullptr);
}

void TdxSideContainerDockSite::ValidateActiveChild(Integer index) {
  TdxCustomDockControl* a = ActiveChild();
  if (!a || IsValidChild(a)) return;
  TdxContainerDockSite* inner = a->Container();
  if (inner && IsValidChild(inner))
    SetActiveChild(inner);
  else
    SetActiveChild(nullptr);
}

void TdxSideContainerDockSite::ChildVisibilityChanged(TdxCustomDockControl* child) {
  TdxContainerDockSite::ChildVisibilityChanged(child);
  if (IsValidChild(child))
    AdjustChildrenBounds(child);
  else if (child == ActiveChild())
    ValidateActiveChild(child->DockIndex());
  RecalculateNC(false);
}

void TdxSideContainerDockSite::CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) {
  if (HasDockType(type)) {
    control->IncludeToDock(this, type, index);
    AdjustChildrenBounds(control);
    return;
  }
  TdxContainerDockSite* outer = Container();
  if (outer && outer->HasDockType(type)) {
    Integer i = DockIndex() + (type == outer->GetTailDockType() ? 1 : 0);
    InLayoutUpdate(outer, [&] { outer->CreateLayout(control, type, i); });
  } else if (type == dtClient) {
    CreateTabContainerLayout(control, type, index);
  } else if (type >= dtLeft && type <= dtBottom) {
    CreateContainerLayout(control, type, index);
  } else {
    throw Exception(Format(sdxInternalErrorCreateLayout, {String("TdxSideContainerDockSite")}));
  }
}

void TdxSideContainerDockSite::IncludeToDock(TdxCustomDockControl* site, TdxDockingType type, Integer index) {
  if (!site->CanAcceptSideContainerItems(this) || ChildCount() == 0) {
    TdxContainerDockSite::IncludeToDock(site, type, index);
    return;
  }
  HandOverChildren(site, type, index);
}

void TdxSideContainerDockSite::UpdateControlOriginalSize(TdxCustomDockControl* control) {
  bool horizontal = GetHeadDockType() == dtLeft;
  TdxDockingType t = control->DockType();
  bool across = horizontal ? (t == dtTop || t == dtBottom) : (t == dtLeft || t == dtRight);
  if (control == this || across) TdxContainerDockSite::UpdateControlOriginalSize(control);
  // Children along the axis keep the lengths the container gives them.
}

Integer TdxSideContainerDockSite::GetFreeSpace() {
  Integer space = GetContainerSize();
  for (Integer i = 0; i < ChildCount(); ++i)
    if (IsValidChild(Children(i))) space -= GetChildOriginalSize(i);
  return space;
}

void TdxSideContainerDockSite::DistributeFreeSpace(Integer delta) {
  for (Integer i = 0; i < ChildCount() && delta != 0; ++i) {
    if (!IsValidChild(Children(i))) continue;
    Integer original = GetChildOriginalSize(i), minimum = GetChildMinSize(i);
    if (original <= minimum) continue;
    if (original + delta < minimum) {
      delta += original - minimum;
      SetChildOriginalSize(i, minimum);
    } else {
      SetChildOriginalSize(i, original + delta);
      delta = 0;
    }
  }
}

void TdxSideContainerDockSite::AdjustChildrenBounds(TdxCustomDockControl* control) {
  if (adjustLock_ > 0 || (IsUpdateLayoutLocked() && !control)) return;
  BeginAdjustBounds();
  try {
    Integer valid = ValidChildCount();
    if (TdxCustomDockControl* maximized = ActiveChild()) {
      Integer m = maximized->DockIndex();
      for (Integer i = 0; i < m; ++i)
        if (IsValidChild(Children(i))) {
          Children(i)->SetDockType(GetHeadDockType());
          SetChildSize(i, GetChildMinSize(i));
        }
      for (Integer i = ChildCount() - 1; i > m; --i)
        if (IsValidChild(Children(i))) {
          Children(i)->SetDockType(GetTailDockType());
          SetChildSize(i, GetChildMinSize(i));
        }
      if (IsValidChild(maximized)) maximized->SetDockType(dtClient);
    } else if (valid >= 2) {
      Integer share = GetFreeSpace() / (control ? valid - 1 : valid);
      for (Integer i = 0; i < ChildCount(); ++i) {
        TdxCustomDockControl* c = Children(i);
        if (!IsValidChild(c) || c == control) continue;
        SetChildOriginalSize(i, std::max(GetChildOriginalSize(i) + share, GetChildMinSize(i)));
      }
      DistributeFreeSpace(GetFreeSpace());
      Integer previous = -1;
      for (Integer i = 0; i < ChildCount(); ++i) {
        if (!IsValidChild(Children(i))) continue;
        Children(i)->SetDockType(GetHeadDockType());
        if (previous >= 0) SetChildPosition(i, GetChildPosition(previous) + GetChildSize(previous));
        SetChildSize(i, GetChildOriginalSize(i));
        previous = i;
      }
    } else if (valid == 1) {
      ValidChildren(0)->SetDockType(dtClient);
    }
  } catch (...) {
    EndAdjustBounds();
    throw;
  }
  EndAdjustBounds();
}

bool TdxSideContainerDockSite::CanResizeChild(TdxCustomDockControl* control, Integer delta) {
  Integer i = control ? control->DockIndex() : -1;
  if (i < 0 || control->ParentDockControl() != this) return false;
  Integer j = NextValidChildIndex(i);
  if (j < 0) return false;
  return GetChildMinSize(i) < GetChildOriginalSize(i) + delta && GetChildMinSize(j) < GetChildOriginalSize(j) - delta;
}

void TdxSideContainerDockSite::ResizeChild(TdxCustomDockControl* control, Integer delta) {
  Integer i = control && control->ParentDockControl() == this ? control->DockIndex() : -1;
  if (i < 0) return;
  Integer j = NextValidChildIndex(i);
  if (j < 0) return;
  BeginAdjustBounds();
  try {
    if (ActiveChild()) {
      for (Integer k = 0; k < ChildCount(); ++k) SetChildOriginalSize(k, GetChildSize(k));
      SetActiveChild(nullptr);
    }
    SetChildOriginalSize(i, GetChildOriginalSize(i) + delta);
    SetChildOriginalSize(j, GetChildOriginalSize(j) - delta);
    // Neither side of the split goes below its minimum: the other gives up the difference.
    for (auto [a, b] : {std::pair{i, j}, std::pair{j, i}}) {
      Integer lack = GetChildMinSize(a) - GetChildOriginalSize(a);
      if (lack > 0) {
        SetChildOriginalSize(a, GetChildMinSize(a));
        SetChildOriginalSize(b, GetChildOriginalSize(b) - lack);
      }
    }
    SetChildSize(i, GetChildOriginalSize(i));
    SetChildSize(j, GetChildOriginalSize(j));
  } catch (...) {
    EndAdjustBounds();
    throw;
  }
  EndAdjustBounds();
}

void TdxSideContainerDockSite::ChildBoundsChanged(TdxCustomDockControl* control, Integer width, Integer height) {
  if (!IsValidChild(control) || ActiveChild() || adjustLock_ > 0 || control->DockIndex() < 0) return;
  SetChildOriginalSize(control->DockIndex(), GetDimension(width, height));
  AdjustChildrenBounds(nullptr);
}

// ---- the two axes --------------------------------------------------------------------------

Integer TdxHorizContainerDockSite::GetContainerSize() {
  return HandleAllocated() && ClientWidth() > 0 ? ClientWidth() : Width();
}

void TdxHorizContainerDockSite::SetChildOriginalSize(Integer index, Integer value) {
  TdxCustomDockControl* c = Children(index);
  c->SetOriginalWidth(value);
  if (dynamic_cast<TdxTabContainerDockSite*>(c))
    for (Integer i = 0; i < c->ChildCount(); ++i) c->Children(i)->SetOriginalWidth(value);
}

void TdxHorizContainerDockSite::SetChildSize(Integer index, Integer value) { Children(index)->SetWidth(value); }
void TdxHorizContainerDockSite::SetChildPosition(Integer index, Integer value) { Children(index)->SetLeft(value); }

Integer TdxVertContainerDockSite::GetContainerSize() {
  return HandleAllocated() && ClientHeight() > 0 ? ClientHeight() : Height();
}

void TdxVertContainerDockSite::SetChildOriginalSize(Integer index, Integer value) {
  TdxCustomDockControl* c = Children(index);
  c->SetOriginalHeight(value);
  if (dynamic_cast<TdxTabContainerDockSite*>(c))
    for (Integer i = 0; i < c->ChildCount(); ++i) c->Children(i)->SetOriginalHeight(value);
}

void TdxVertContainerDockSite::SetChildSize(Integer index, Integer value) { Children(index)->SetHeight(value); }
void TdxVertContainerDockSite::SetChildPosition(Integer index, Integer value) { Children(index)->SetTop(value); }
