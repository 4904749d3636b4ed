// The dock tree: construction, the tree queries, the docking rules and operations, the dock
// position memory, visibility, closing and the stored form properties of dock controls.
#include "docking/dxDockControl.h"

#include <algorithm>

#include "docking/dxDockConsts.h"
#include "docking/dxDockControlBrackets.h"
#include "docking/dxDockZones.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "user/Windows.h"

using namespace dock_consts;

TAlign dxDockingTypeAlign(TdxDockingType type) {
  switch (type) {
    case dtClient: return alClient;
    case dtLeft: return alLeft;
    case dtTop: return alTop;
    case dtRight: return alRight;
    case dtBottom: return alBottom;
    default: return alNone;
  }
}

PTypeInfo dxDockingTypesTypeInfo() {
  return SetTypeInfo("TdxDockingTypes",
                     EnumTypeInfo("TdxDockingType", {"dtNone", "dtClient", "dtLeft", "dtTop", "dtRight", "dtBottom"}));
}
PTypeInfo dxCaptionButtonsTypeInfo() {
  return SetTypeInfo("TdxCaptionButtons", EnumTypeInfo("TdxCaptionButton", {"cbMaximize", "cbHide", "cbClose"}));
}

using namespace dock_brackets;

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TdxCustomDockControl) {
  // Colour and font of their own are stored only when they follow neither manager nor parent.
  p.Int("Color", &TControl::Color, &TControl::SetColor).Stored(&TdxCustomDockControl::IsColorStored);
  p.Object("Font", &TControl::Font, &TControl::SetFont, TFont::StaticClass())
      .Stored(&TdxCustomDockControl::IsFontStored);
  p.Bool("ManagerColor", &TdxCustomDockControl::ManagerColor, &TdxCustomDockControl::SetManagerColor).Default(1);
  p.Bool("ManagerFont", &TdxCustomDockControl::ManagerFont, &TdxCustomDockControl::SetManagerFont).Default(1);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TdxCustomDockSite) {
  p.Set("AllowDockClients", &TdxCustomDockSite::AllowDockClients, &TdxCustomDockSite::SetAllowDockClients,
        dxDockingTypesTypeInfo())
      .Default(62);
}

KORVAN_IMPLEMENT_CLASS(TdxLayoutDockSite)

KORVAN_IMPLEMENT_CLASS(TdxDockSiteAutoHideContainer)

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TdxDockSite) {
  p.Bool("AutoSize", &TdxDockSite::AutoSize, &TdxDockSite::SetAutoSize).Default(0);
}

namespace {
// The unit start: the classes a form description may name.
struct DockClassRegistration {
  DockClassRegistration() {
    RegisterClass(TdxLayoutDockSite::StaticClass());
    RegisterClass(TdxContainerDockSite::StaticClass());
    RegisterClass(TdxTabContainerDockSite::StaticClass());
    RegisterClass(TdxSideContainerDockSite::StaticClass());
    RegisterClass(TdxVertContainerDockSite::StaticClass());
    RegisterClass(TdxHorizContainerDockSite::StaticClass());
    RegisterClass(TdxDockSite::StaticClass());
    RegisterClass(TdxDockingManager::StaticClass());
  }
} dockClassRegistration;
}  // namespace

// ---- construction --------------------------------------------------------------------------

TdxCustomDockControl::TdxCustomDockControl(TComponent* owner) : TCustomControl(owner) {
  creationFailed_ = true;
  if (!dynamic_cast<TCustomForm*>(owner)) throw Exception(sdxInvalidOwner);
  creationFailed_ = false;
  DockingController()->RegisterDockControl(this);
  controlStyle_ = {csAcceptsControls, csClickEvents, csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 300, 200);
  parentColor_ = false;
  parentFont_ = false;
  settingManagerValue_ = true;
  SetColor(ManagerColorValue());
  Font()->Assign(ManagerFontValue());
  settingManagerValue_ = false;
}

TdxCustomDockControl::~TdxCustomDockControl() {
  if (creationFailed_) return;
  if (parentDockControl_ || !children_.empty()) DetachFromLayout();
  painter_.reset();
  DockingController()->UnregisterDockControl(this);
}

void TdxCustomDockControl::BeforeDestruction() {
  if (!CanDestroy()) throw Exception(sdxInvalidFloatingDeleting);
  TCustomControl::BeforeDestruction();
  DetachFromLayout();
}

bool TdxCustomDockControl::IsDestroying() const {
  return ComponentState().Contains(csDestroying) || destroying_ ||
         (Application && Application->ComponentState().Contains(csDestroying));
}

TCustomForm* TdxCustomDockControl::ParentForm() const { return dynamic_cast<TCustomForm*>(Owner()); }
TdxDockingController* TdxCustomDockControl::Controller() const { return DockingController(); }
TdxDockingOptions TdxCustomDockControl::Options() const { return Controller()->Options(ParentForm()); }
Integer TdxCustomDockControl::DockZonesWidth() const { return Controller()->DockZonesWidth(ParentForm()); }
Integer TdxCustomDockControl::ResizeZonesWidth() const { return Controller()->ResizeZonesWidth(ParentForm()); }
TColor TdxCustomDockControl::ManagerColorValue() const { return Controller()->Color(ParentForm()); }
TFont* TdxCustomDockControl::ManagerFontValue() const { return Controller()->Font(ParentForm()); }

TdxDockControlPainter* TdxCustomDockControl::Painter() {
  if (!painter_) painter_ = CreateDockControlPainter(Controller()->PainterClass(ParentForm()), this);
  return painter_.get();
}

void TdxCustomDockControl::ReleasePainter() { painter_.reset(); }

// ---- the tree ------------------------------------------------------------------------------

Integer TdxCustomDockControl::DockIndex() const {
  if (!parentDockControl_) return -1;
  const auto& list = parentDockControl_->children_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : Integer(it - list.begin());
}

bool TdxCustomDockControl::IsValidChild(const TdxCustomDockControl* c) const {
  // The parent link stands for a place in the list: both change together.
  return c && c->parentDockControl_ == this && c->Visible() && !c->autoHide_;
}

Integer TdxCustomDockControl::ValidChildCount() const {
  return Integer(std::count_if(children_.begin(), children_.end(), [&](auto* c) { return IsValidChild(c); }));
}

TdxCustomDockControl* TdxCustomDockControl::ValidChildren(Integer index) const {
  for (TdxCustomDockControl* c : children_)
    if (IsValidChild(c) && index-- == 0) return c;
  return nullptr;
}

Integer TdxCustomDockControl::Depth() const {
  Integer d = 0;
  for (const TdxCustomDockControl* c = this; c; c = c->parentDockControl_) ++d;
  return d;
}

bool TdxCustomDockControl::IsAncestorOrSelf(const TdxCustomDockControl* c) const {
  for (const TdxCustomDockControl* p = this; p; p = p->parentDockControl_)
    if (p == c) return true;
  return false;
}

TdxDockingState TdxCustomDockControl::DockingState() const {
  if (destroying_) return dsDestroyed;
  if (!parentDockControl_ && !Parent()) return dsUndocked;
  if (!Visible()) return dsHidden;
  if (dynamic_cast<TdxFloatDockSite*>(parentDockControl_)) return dsFloating;
  return dsDocked;
}

TdxCustomDockControl* TdxCustomDockControl::TopMostDockControl() {
  return parentDockControl_ ? parentDockControl_->TopMostDockControl() : this;
}

TdxLayoutDockSite* TdxCustomDockControl::LayoutDockSite() const {
  if (!parentDockControl_ || parentDockControl_->ChildCount() != 2) return nullptr;
  Integer i = DockIndex();
  return dynamic_cast<TdxLayoutDockSite*>(parentDockControl_->Children(1 - i));
}

TdxDockSite* TdxCustomDockControl::AutoHideHostSite() { return dynamic_cast<TdxDockSite*>(TopMostDockControl()); }

TdxCustomDockControl* TdxCustomDockControl::AutoHideControl() {
  for (TdxCustomDockControl* c = this; c; c = c->parentDockControl_)
    if (c->autoHide_) return c;
  return nullptr;
}

TdxDockSite* TdxCustomDockControl::AutoSizeHostSite() const {
  auto* s = dynamic_cast<TdxDockSite*>(parentDockControl_);
  return s && s->AutoSize() ? s : nullptr;
}

TdxContainerDockSite* TdxCustomDockControl::Container() const {
  return dynamic_cast<TdxContainerDockSite*>(parentDockControl_);
}

TdxTabContainerDockSite* TdxCustomDockControl::TabContainer() const {
  return dynamic_cast<TdxTabContainerDockSite*>(parentDockControl_);
}

TdxSideContainerDockSite* TdxCustomDockControl::SideContainer() const {
  if (auto* s = dynamic_cast<TdxSideContainerDockSite*>(parentDockControl_)) return s;
  if (TdxTabContainerDockSite* t = TabContainer()) return t->SideContainer();
  return nullptr;
}

TdxCustomDockControl* TdxCustomDockControl::SideContainerItem() const {
  if (dynamic_cast<TdxSideContainerDockSite*>(parentDockControl_)) return const_cast<TdxCustomDockControl*>(this);
  if (TdxTabContainerDockSite* t = TabContainer(); t && t->SideContainer()) return t;
  return nullptr;
}

Integer TdxCustomDockControl::SideContainerIndex() const {
  TdxCustomDockControl* item = SideContainerItem();
  return item ? item->DockIndex() : -1;
}

bool TdxCustomDockControl::IsMaximized() const {
  TdxSideContainerDockSite* s = SideContainer();
  return s && s->ActiveChild() && s->ActiveChild() == SideContainerItem();
}

void TdxCustomDockControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  // Dock children first, in child order; then the ordinary controls placed on this one.
  for (TdxCustomDockControl* c : children_)
    if (c->Owner() == root) proc(c);
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    auto* d = dynamic_cast<TdxCustomDockControl*>(c);
    if (d && d->parentDockControl_ == this) continue;
    if (c->Owner() == root) proc(c);
  }
}

// ---- rules ---------------------------------------------------------------------------------

bool TdxCustomDockControl::CanDockHost(TdxCustomDockControl* control, TdxDockingType type) {
  return control && control->ParentForm() == ParentForm() && !IsAncestorOrSelf(control) && control->CanDock() &&
         control->allowDock_.Contains(type) && allowDockClients_.Contains(type) && !AutoHideControl();
}

void TdxCustomDockControl::SetAllowDock(TdxDockingTypes v) {
  if (allowDock_ == v) return;
  allowDock_ = v;
  if (IsLoading()) return;
  CheckDockRules();
  UpdateDockZones();
}

void TdxCustomDockControl::SetAllowDockClients(TdxDockingTypes v) {
  if (allowDockClients_ == v) return;
  allowDockClients_ = v;
  if (IsLoading()) return;
  CheckDockClientsRules();
  UpdateDockZones();
}

void TdxCustomDockControl::CheckDockRules() {
  if (CanDock() && dockType_ != dtNone && parentDockControl_ && !allowDock_.Contains(dockType_)) {
    SetAutoHide(false);
    allowFloating_ = true;
    MakeFloatingAtCurrentPos();
  }
}

void TdxCustomDockControl::CheckDockClientsRules() {
  for (bool found = true; found;) {
    found = false;
    for (TdxCustomDockControl* c : children_) {
      if (!allowDockClients_.Contains(c->dockType_) && c->CanDock()) {
        c->SetAutoHide(false);
        c->allowFloating_ = true;
        TPoint p = ClientToScreen(TPoint(0, 0));
        c->MakeFloating(p.X, p.Y);
        // A control that could not leave must not be found again.
        found = c->parentDockControl_ != this;
        break;
      }
    }
  }
}

void TdxCustomDockControl::SetAllowFloating(bool v) {
  if (DockingState() == dsFloating) return;
  allowFloating_ = v;
}


void TdxCustomDockControl::SetCaptionButtons(TdxCaptionButtons v) {
  captionButtons_ = v;
  InvalidateNC(true);
}

void TdxCustomDockControl::SetImageIndex(Integer v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  if (HasCaption()) NCChanged();
}

void TdxCustomDockControl::SetShowCaption(bool v) {
  if (showCaption_ == v) return;
  showCaption_ = v;
  NCChanged();
}

void TdxCustomDockControl::SetManagerColor(bool v) {
  if (managerColor_ == v) return;
  if (v && !IsLoading()) {
    settingManagerValue_ = true;
    SetColor(ManagerColorValue());
    settingManagerValue_ = false;
  }
  managerColor_ = v;
  InvalidateNC(false);
}

void TdxCustomDockControl::SetManagerFont(bool v) {
  if (managerFont_ == v) return;
  if (v && !IsLoading()) {
    settingManagerValue_ = true;
    Font()->Assign(ManagerFontValue());
    settingManagerValue_ = false;
  }
  managerFont_ = v;
  NCChanged();
}

void TdxCustomDockControl::CMFontChanged(TMessage& m) {
  TCustomControl::CMFontChanged(m);
  if (!settingManagerValue_ && !IsLoading()) {
    managerFont_ = false;
    NCChanged();
  }
}

void TdxCustomDockControl::CMColorChanged(TMessage& m) {
  TCustomControl::CMColorChanged(m);
  if (!settingManagerValue_ && !IsLoading()) {
    managerColor_ = false;
    InvalidateNC(false);
  }
}

void TdxCustomDockControl::CMTextChanged(TMessage& m) {
  TCustomControl::CMTextChanged(m);
  UpdateCaption();
  // A panel's own tab is as wide as its caption.
  if (HasCaption() || HasTabs()) InvalidateNC(HasTabs());
  if (TdxTabContainerDockSite* tc = TabContainer()) {
    tc->ForgetTabWidth(this);
    tc->InvalidateNC(true);
  }
  if (TdxSideContainerDockSite* sc = dynamic_cast<TdxSideContainerDockSite*>(parentDockControl_))
    sc->InvalidateNC(false);
}

void TdxCustomDockControl::WMNCHitTest(TMessage& m) {
  // Caption and border clicks arrive as client mouse messages; a hidden control lets them by.
  m.Result = Visible() ? HTCLIENT : HTTRANSPARENT;
}

// ---- docking operations --------------------------------------------------------------------

void TdxCustomDockControl::DockTo(TdxCustomDockControl* site, TdxDockingType type, Integer index) {
  if (!site || !CanDock() || !site->CanDockHost(this, type)) return;
  InUpdateNC([&] {
    TdxCustomDockControl* target = site;
    if (site == LayoutDockSite()) target = parentDockControl_;
    TdxContainerDockSite* container = Container();
    if (site == container && container->ChildCount() == 2 && !container->HasDockType(type))
      target = container->Children(DockIndex() != 0 ? 0 : 1);
    InLayoutUpdate(target, [&] {
      if (parentDockControl_) {
        // Moving inside its own container the control only leaves its place there.
        if (target == container && container->HasDockType(type))
          ExcludeFromDock();
        else
          UnDock();
      }
      target->CreateLayout(this, type, index);
    });
    if (OnDock) OnDock(this, target, type, index);
    if (TdxDockingManager* m = Controller()->FindManager(ParentForm()); m && m->OnLayoutChanged) m->OnLayoutChanged(this);
    if (Options().Contains(doActivateAfterDocking)) Activate();
  });
}

void TdxCustomDockControl::UnDock() {
  if (!CanDock()) return;
  InUpdateNC([&] {
    if (autoHide_) SetAutoHide(false);
    if (TdxCustomDockControl* p = parentDockControl_) {
      InLayoutUpdate(p, [&] {
        if (OnUnDock) OnUnDock(this, p);
        p->DestroyLayout(this);
      });
    }
    if (TdxDockingManager* m = Controller()->FindManager(ParentForm()); m && m->OnLayoutChanged) m->OnLayoutChanged(this);
  });
}

void TdxCustomDockControl::MakeFloatingAtCurrentPos() {
  TPoint p = HandleAllocated() ? ClientToScreen(TPoint(0, 0)) : TPoint(0, 0);
  MakeFloating(p.X, p.Y);
}

void TdxCustomDockControl::IncludeToDock(TdxCustomDockControl* site, TdxDockingType type, Integer index) {
  InLayoutUpdate(this, [&] {
    site->RecalculateNC(false);
    SetDockType(type);
    // The parent link and the place in the list change together (validity relies on it).
    parentDockControl_ = site;
    auto& list = site->children_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) list.erase(it);
    if (index < 0 || index >= Integer(list.size()))
      list.push_back(this);
    else
      list.insert(list.begin() + index, this);
    if (!autoHide_) SetParent(site);
    UpdateOriginalSize();
    UpdateCaption();
    site->LayoutChanged();
  });
}

void TdxCustomDockControl::ExcludeFromDock() {
  InLayoutUpdate(this, [&] {
    TdxCustomDockControl* p = parentDockControl_;
    parentDockControl_ = nullptr;
    if (!autoHide_) {
      SetParent(nullptr);
      SetAlign(alNone);
    }
    if (p) {
      if (auto* tc = dynamic_cast<TdxTabContainerDockSite*>(p)) tc->ForgetTabWidth(this);
      auto& list = p->children_;
      list.erase(std::remove(list.begin(), list.end(), this), list.end());
      if (p->NeedsRecalcOnChildRemoval()) p->RecalculateNC(false);
    }
    AdjustControlBounds(this);
    FreeZones();
    if (p) p->LayoutChanged();
  });
}

void TdxCustomDockControl::SetDockType(TdxDockingType type) {
  dockType_ = type;
  if (type != dtNone && (!autoHide_ || IsLoading())) SetAlign(dxDockingTypeAlign(type));
}

void TdxCustomDockControl::NameCreatedSite(TComponent* site) {
  TComponent* owner = site->Owner();
  String base = site->ClassName();
  if (base.size() > 1 && base[0] == 'T') base.erase(0, 1);
  for (Integer i = 1;; ++i) {
    String name = base + IntToStr(i);
    if (!owner || !owner->FindComponent(name)) {
      site->SetName(name);
      return;
    }
  }
}

void TdxCustomDockControl::CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) {
  auto newLayoutSite = [&] {
    auto* site = new TdxLayoutDockSite(Owner());
    NameCreatedSite(site);
    return site;
  };
  auto notify = [&](TdxLayoutDockSite* site) {
    if (const TdxDockingManager* m = Controller()->DefaultSitesPropertiesManager(ParentForm()))
      site->SetAllowDockClients(m->DefaultLayoutSiteAllowDockClients());
    if (OnCreateLayoutSite) OnCreateLayoutSite(this, site);
    if (TdxDockingManager* m = Controller()->FindManager(ParentForm()); m && m->OnCreateLayoutSite)
      m->OnCreateLayoutSite(this, site);
  };
  if (ChildCount() == 0) {
    TdxLayoutDockSite* site = newLayoutSite();
    site->IncludeToDock(this, dtClient, 0);
    control->IncludeToDock(this, type, 1);
    notify(site);
  } else if (ChildCount() == 2) {
    TdxCustomDockControl* c0 = children_[0];
    TdxCustomDockControl* c1 = children_[1];
    c0->ExcludeFromDock();
    c1->ExcludeFromDock();
    TdxLayoutDockSite* site = newLayoutSite();
    site->IncludeToDock(this, dtClient, 0);
    c0->IncludeToDock(site, c0->dockType_, 0);
    c1->IncludeToDock(site, c1->dockType_, 1);
    control->IncludeToDock(this, type, 1);
    notify(site);
  } else {
    throw Exception(Format(sdxInternalErrorCreateLayout, {String("TdxCustomDockControl")}));
  }
}

void TdxCustomDockControl::DestroyLayout(TdxCustomDockControl* control) {
  control->ExcludeFromDock();
  if (ChildCount() != 1) return;
  TdxCustomDockControl* site = children_[0];
  if (site->ChildCount() == 0) {
    site->ExcludeFromDock();
  } else if (site->ChildCount() == 2) {
    TdxCustomDockControl* c0 = site->children_[0];
    TdxCustomDockControl* c1 = site->children_[1];
    c0->ExcludeFromDock();
    c1->ExcludeFromDock();
    site->ExcludeFromDock();
    c0->IncludeToDock(this, c0->dockType_, 0);
    c1->IncludeToDock(this, c1->dockType_, 1);
  } else {
    throw Exception(Format(sdxInternalErrorDestroyLayout, {String("TdxCustomDockControl")}));
  }
  site->DoDestroy();
}

namespace {
// Events and default properties of a container just created by a docking target.
template <class Site>
void NotifyContainerCreated(TdxCustomDockControl* target, Site* site, const TdxCreateLayoutSiteEvent& own,
                            TdxCreateLayoutSiteEvent TdxDockingManager::*managerEvent) {
  if (own) own(target, site);
  TdxDockingManager* m = DockingController()->FindManager(target->ParentForm());
  if (m && m->*managerEvent) (m->*managerEvent)(target, site);
}
}  // namespace

void TdxCustomDockControl::CreateTabContainerLayout(TdxCustomDockControl* control, TdxDockingType type,
                                                    Integer index) {
  Integer oldIndex = DockIndex();
  TdxCustomDockControl* p = parentDockControl_;
  TdxTabContainerDockSite* tc = nullptr;
  InLayoutUpdate(p, [&] {
    ExcludeFromDock();
    tc = new TdxTabContainerDockSite(Owner());
    NameCreatedSite(tc);
    InLayoutUpdate(tc, [&] {
      tc->AdjustControlBounds(this);
      tc->IncludeToDock(p, dockType_ == dtNone ? dtClient : dockType_, oldIndex);
      IncludeToDock(tc, dtClient, 0);
      control->IncludeToDock(tc, dtClient, index);
    });
  });
  AssignTabContainerSiteProperties(tc);
  NotifyContainerCreated(this, tc, OnCreateTabContainer, &TdxDockingManager::OnCreateTabContainer);
}

void TdxCustomDockControl::CreateContainerLayout(TdxCustomDockControl* control, TdxDockingType type,
                                                 Integer index) {
  TdxSideContainerDockSite* sc = nullptr;
  if (type != dtLeft && type != dtRight && type != dtTop && type != dtBottom)
    throw Exception(Format(sdxInternalErrorCreateLayout, {String("TdxSideContainerDockSite")}));
  Integer oldIndex = DockIndex();
  TdxCustomDockControl* p = parentDockControl_;
  TdxDockingType ownType = dockType_;
  InLayoutUpdate(p, [&] {
    ExcludeFromDock();
    if (type == dtLeft || type == dtRight)
      sc = new TdxHorizContainerDockSite(Owner());
    else
      sc = new TdxVertContainerDockSite(Owner());
    NameCreatedSite(sc);
    sc->AdjustControlBounds(this);
    InLayoutUpdate(sc, [&] {
      sc->IncludeToDock(p, ownType, oldIndex);
      IncludeToDock(sc, dtTop, 0);
      if (index == -1) {
        if (type == sc->GetHeadDockType())
          control->IncludeToDock(sc, sc->GetHeadDockType(), 0);
        else
          control->IncludeToDock(sc, sc->GetTailDockType(), 1);
      } else {
        control->IncludeToDock(sc, sc->GetHeadDockType(), index);
      }
      sc->AdjustChildrenBounds(control);
    });
  });
  AssignSideContainerSiteProperties(sc);
  NotifyContainerCreated(this, sc, OnCreateSideContainer, &TdxDockingManager::OnCreateSideContainer);
}

void TdxCustomDockControl::AssignSideContainerSiteProperties(TdxSideContainerDockSite* site) {
  const TdxDockingManager* m = Controller()->DefaultSitesPropertiesManager(ParentForm());
  if (!m) return;
  if (dynamic_cast<TdxVertContainerDockSite*>(site))
    m->DefaultVertContainerSiteProperties()->AssignTo(site);
  else
    m->DefaultHorizContainerSiteProperties()->AssignTo(site);
}

void TdxCustomDockControl::AssignTabContainerSiteProperties(TdxTabContainerDockSite* site) {
  if (const TdxDockingManager* m = Controller()->DefaultSitesPropertiesManager(ParentForm()))
    m->DefaultTabContainerSiteProperties()->AssignTo(site);
}

void TdxCustomDockControl::DetachFromLayout() {
  if (autoHide_) {
    TdxDockSite* host = AutoHideHostSite();
    if (!host || !host->IsDestroying()) SetAutoHide(false);
  }
  if (TdxCustomDockControl* p = parentDockControl_) {
    if (p->IsDestroying()) {
      auto& list = p->children_;
      list.erase(std::remove(list.begin(), list.end(), this), list.end());
      parentDockControl_ = nullptr;
    } else if (CanDock()) {
      UnDock();
    } else {
      // A site that cannot undock itself (a layout site freed by its owner) leaves directly.
      InLayoutUpdate(p, [&] { ExcludeFromDock(); });
    }
  }
  for (TdxCustomDockControl* c : children_) c->parentDockControl_ = nullptr;
  children_.clear();
}

void TdxCustomDockControl::DoDestroy() {
  DetachFromLayout();
  destroying_ = true;
  Controller()->DestroyLater(this);
}

void TdxCustomDockControl::AdjustControlBounds(TdxCustomDockControl* control) {
  Integer w = control->originalWidth_, h = control->originalHeight_;
  SetBounds(Left(), Top(), w, h);
  originalWidth_ = w;
  originalHeight_ = h;
}

// ---- sizes ---------------------------------------------------------------------------------

void TdxCustomDockControl::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  if (SideContainerItem() == this) SideContainer()->ChildBoundsChanged(this, width, height);
  TCustomControl::SetBounds(left, top, width, height);
  if (!IsUpdateLayoutLocked()) UpdateOriginalSize();
}

void TdxCustomDockControl::UpdateOriginalSize() {
  if (IsLoading() || !Visible()) return;
  TdxCustomDockControl* host = AutoSizeHostSite();
  if (!host) host = SideContainer();
  if (!host) host = TabContainer();
  if (!host) host = this;
  host->UpdateControlOriginalSize(this);
}

void TdxCustomDockControl::UpdateControlOriginalSize(TdxCustomDockControl* control) {
  switch (dockType_) {
    case dtClient: break;
    case dtLeft:
    case dtRight: control->originalWidth_ = control->Width(); break;
    case dtTop:
    case dtBottom: control->originalHeight_ = control->Height(); break;
    case dtNone:
      control->originalWidth_ = control->Width();
      control->originalHeight_ = control->Height();
      break;
  }
}

void TdxCustomDockControl::AlignControls(TControl* control, TRect& rect) {
  InUpdateNC([&] { TCustomControl::AlignControls(control, rect); });
}

// ---- layout and visibility -----------------------------------------------------------------

void TdxCustomDockControl::EndUpdateLayout() {
  --layoutLock_;
  LayoutChanged();
}

void TdxCustomDockControl::LayoutChanged() {
  if (IsUpdateLayoutLocked() || IsDestroying()) return;
  UpdateLayout();
  if (OnLayoutChanged) OnLayoutChanged(this);
}

void TdxCustomDockControl::UpdateLayout() {
  UpdateRelatedVisibility();
  UpdateDockZones();
  UpdateResizeZones();
  UpdateEnabled();
}

void TdxCustomDockControl::UpdateRelatedVisibility() {
  InUpdateNC([&] {
    BeginVisibilityUpdate();
    try {
      UpdateAutoHideHostSite();
      UpdateParentVisibility();
      UpdateLayoutDockSiteVisibility();
    } catch (...) {
      EndVisibilityUpdate();
      throw;
    }
    EndVisibilityUpdate();
  });
}

void TdxCustomDockControl::UpdateAutoHideHostSite() {
  TdxDockSite* host = AutoHideHostSite();
  TdxCustomDockControl* ahc = AutoHideControl();
  if (host && ahc && ahc != this) InUpdateNC([&] { host->NCChanged(); });
}

void TdxCustomDockControl::UpdateParentVisibility() {
  TdxCustomDockControl* p = parentDockControl_;
  if (!p) return;
  InUpdateNC([&] {
    NCChanged();
    if (!autoHide_) p->NCChanged();
    p->ChildVisibilityChanged(this);
    if (!autoHide_) p->UpdateLayout();
  });
}

void TdxCustomDockControl::UpdateLayoutDockSiteVisibility() {
  TdxLayoutDockSite* l = LayoutDockSite();
  if (!l) return;
  l->BeginVisibilityUpdate();
  try {
    if ((Visible() && !autoHide_) || l->ChildCount() > 0)
      l->SetVisible(true);
    else if (!Visible() && l->ChildCount() == 0)
      l->SetVisible(false);
  } catch (...) {
    l->EndVisibilityUpdate();
    throw;
  }
  l->EndVisibilityUpdate();
}

void TdxCustomDockControl::VisibleChanging() {
  TCustomControl::VisibleChanging();
  if (OnVisibleChanging) OnVisibleChanging(this);
}

void TdxCustomDockControl::CMVisibleChanged(TMessage& m) {
  bool relate = !IsLoading() && (parentDockControl_ || Parent()) && visibilityLock_ == 0;
  if (relate) UpdateRelatedVisibility();
  if (relate) UpdateCaption();
  TCustomControl::CMVisibleChanged(m);
  if (!IsLoading()) UpdateAutoHideVisibility();
  if (OnVisibleChanged) OnVisibleChanged(this);
}

// ---- closing and activation ----------------------------------------------------------------

void TdxCustomDockControl::DoClose() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) return;
  if (Controller()->ActiveDockControl() == this) Controller()->SetActiveDockControl(nullptr);
  if (OnClose) OnClose(this);
  TdxDockingOptions o = Options();
  if (o.Contains(doFreeOnClose))
    DoDestroy();
  else if (o.Contains(doUndockOnClose))
    UnDock();
  else
    SetVisible(false);
}

void TdxCustomDockControl::UpdateCaption() {
  if (TdxContainerDockSite* c = Container())
    c->UpdateCaption();
  else if (TdxFloatDockSite* f = FloatDockSite())
    f->UpdateCaption();
}

void TdxCustomDockControl::UpdateEnabled() {
  TdxTabContainerDockSite* tc = TabContainer();
  SetEnabled(!tc || tc->ActiveChild() == this || autoHide_);
}

bool TdxCustomDockControl::IsCaptionActive() {
  return Controller()->ActiveDockControl() == this && Application && Application->Active();
}

void TdxCustomDockControl::ChangeAutoHide() { SetAutoHide(!autoHide_); }

void TdxCustomDockControl::DoMaximize() {
  TdxSideContainerDockSite* s = SideContainer();
  if (!s) return;
  Integer i = SideContainerIndex();
  if (s->ActiveChild() && s->ActiveChild()->DockIndex() == i)
    s->SetActiveChild(nullptr);
  else
    s->SetActiveChildByIndex(i);
}

void TdxCustomDockControl::Activate() { Controller()->SetActiveDockControl(this); }

bool TdxCustomDockControl::CanFocusEx() {
  if (!CanFocus()) return false;
  TCustomForm* f = GetParentForm(this);
  return !f || (f->CanFocus() && f->Enabled() && f->Visible());
}

void TdxCustomDockControl::DoActiveChanged(bool active, bool callEvent) {
  if (TdxTabContainerDockSite* tc = TabContainer()) {
    if (active) tc->SetActiveChild(this);
    tc->InvalidateNC(false);
  }
  // Activating an auto-hidden control shows it.
  if (active && autoHide_ && !Visible()) SetVisible(true);
  if (active && !Controller()->IsFocusInside(this)) DoActivate();
  RepaintNC();
  if (callEvent && OnActivate) OnActivate(this, active);
}

void TdxCustomDockControl::DoActivate() {
  if (Controller()->ActiveDockControl() != this || IsDesigning() || !CanActivate() || !CanFocusEx() ||
      Controller()->IsFocusInside(this))
    return;
  SetFocus();
  // The focus goes on to the first tab stop inside, when there is one.
  if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
}

void TdxCustomDockControl::DoEnter() {
  TCustomControl::DoEnter();
  TdxCustomDockControl* active = Controller()->ActiveDockControl();
  if (active != this && !(active && active->IsAncestorOrSelf(this))) Activate();
}

// ---- dock position memory ------------------------------------------------------------------

void TdxCustomDockControl::StoreDockPosition(TPoint p) {
  auto replace = [&](TdxCustomDockControl*& field, TdxCustomDockControl* value) {
    field = value;
    if (value) value->FreeNotification(this);
  };
  dockPosition_.DockIndex = DockIndex();
  replace(dockPosition_.Parent, parentDockControl_);
  replace(dockPosition_.SiblingAfter, nullptr);
  replace(dockPosition_.SiblingBefore, nullptr);
  dockPosition_.DockType = dockType_;
  if (TdxContainerDockSite* c = Container()) {
    Integer i = DockIndex();
    replace(dockPosition_.SiblingAfter, i + 1 < c->ChildCount() ? c->Children(i + 1) : nullptr);
    replace(dockPosition_.SiblingBefore, i > 0 ? c->Children(i - 1) : nullptr);
    dockPosition_.DockType = c->GetTailDockType() == dockType_ ? c->GetTailDockType() : c->GetHeadDockType();
  }
  dockPosition_.OriginalHeight = originalHeight_;
  dockPosition_.OriginalWidth = originalWidth_;
  if (OnStoreDockPosition) OnStoreDockPosition(this, dockPosition_);
}

void TdxCustomDockControl::RestoreDockPosition(TPoint p) {
  if (OnRestoreDockPosition) OnRestoreDockPosition(this, dockPosition_);
  for (TdxCustomDockControl* c : {dockPosition_.Parent, dockPosition_.SiblingBefore, dockPosition_.SiblingAfter}) {
    if (!c) continue;
    TdxDockingState s = c->DockingState();
    if ((s != dsDocked && s != dsFloating) || !c->CanDockHost(this, dockPosition_.DockType)) continue;
    originalHeight_ = dockPosition_.OriginalHeight;
    originalWidth_ = dockPosition_.OriginalWidth;
    if (OnStartDocking) OnStartDocking(this, p.X, p.Y);
    DockTo(c, dockPosition_.DockType, dockPosition_.DockIndex);
    if (OnEndDocking) OnEndDocking(this, nullptr, p.X, p.Y);
    dockPosition_.Parent = dockPosition_.SiblingAfter = dockPosition_.SiblingBefore = nullptr;
    return;
  }
}

void TdxCustomDockControl::Notification(TComponent* c, TOperation operation) {
  TCustomControl::Notification(c, operation);
  if (operation != opRemove) return;
  for (TdxCustomDockControl** f : {&dockPosition_.Parent, &dockPosition_.SiblingAfter, &dockPosition_.SiblingBefore})
    if (*f == c) *f = nullptr;
}

// ---- parent and stored form ----------------------------------------------------------------

void TdxCustomDockControl::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  bool events = !IsLoading();
  if (events && OnParentChanging) OnParentChanging(this);
  TCustomControl::SetParent(parent);
  if (events && OnParentChanged) OnParentChanged(this);
}

void TdxCustomDockControl::ReadState(TComponent* readParent) {
  TCustomControl::ReadState(readParent);
  auto* site = dynamic_cast<TdxCustomDockControl*>(readParent);
  if (site && dockType_ != dtNone) IncludeToDock(site, dockType_, -1);
}

void TdxCustomDockControl::Loaded() {
  TCustomControl::Loaded();
  // A control stored auto-hidden goes onto its bar (at its stored edge when there is one).
  if (autoHide_)
    if (TdxDockSite* host = AutoHideHostSite())
      InUpdateNC([&] {
        TdxAutoHidePosition position = autoHidePosition_ == ahpUndefined ? GetAutoHidePosition() : autoHidePosition_;
        host->AddAutoHideControl(this, position);
      });
  if (TCustomForm* f = ParentForm()) Controller()->FormLoaded(f);
}

void TdxCustomDockControl::DefineProperties(TFiler* filer) {
  TCustomControl::DefineProperties(filer);
  auto intProp = [&](const char* name, std::function<Integer()> get, std::function<void(Integer)> set, bool has) {
    filer->DefineProperty(
        name, [set](TReader& r) { set(r.ReadInteger()); },
        [get](TWriter& w) { w.WriteInteger(get()); }, has);
  };
  intProp("AutoHidePosition", [this] { return Integer(autoHidePosition_); },
          [this](Integer v) { autoHidePosition_ = TdxAutoHidePosition(v); }, autoHide_);
  intProp("DockType", [this] { return Integer(dockType_); },
          [this](Integer v) { SetDockType(TdxDockingType(v)); }, true);
  intProp("OriginalWidth", [this] { return originalWidth_; }, [this](Integer v) { originalWidth_ = v; }, true);
  intProp("OriginalHeight", [this] { return originalHeight_; }, [this](Integer v) { originalHeight_ = v; }, true);
}

// ---- sites ---------------------------------------------------------------------------------

void TdxCustomDockSite::ValidateInsert(TComponent* c) {
  if (dynamic_cast<TdxCustomDockControl*>(c)) return;
  if (auto* control = dynamic_cast<TControl*>(c)) control->SetParent(ParentForm());
  throw Exception(Format(sdxInvalidSiteChild, {c->ClassName()}));
}

TdxLayoutDockSite::TdxLayoutDockSite(TComponent* owner) : TdxCustomDockSite(owner) {
  controlStyle_.Include(csDesignInteractive);
}

TdxCustomDockControl* TdxLayoutDockSite::SiblingDockControl() const {
  TdxCustomDockControl* p = ParentDockControl();
  if (!p || p->ChildCount() != 2) return nullptr;
  return p->Children(1 - DockIndex());
}

bool TdxLayoutDockSite::CanDockHost(TdxCustomDockControl* control, TdxDockingType type) {
  if (!TdxCustomDockSite::CanDockHost(control, type)) return false;
  return type != dtClient || ChildCount() == 0;
}

bool TdxLayoutDockSite::CanDestroy() {
  TdxCustomDockControl* p = ParentDockControl();
  if (!p || p->IsDestroying()) return true;
  if (ChildCount() > 0) return false;
  return p->ChildCount() == 1;
}

void TdxLayoutDockSite::BeforeDestruction() {
  if (!CanDestroy()) throw Exception(sdxInvalidLayoutSiteDeleting);
  TdxCustomDockSite::BeforeDestruction();
}

void TdxLayoutDockSite::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  bool allowed = IsUpdateLayoutLocked() || IsDestroying() ||
                 (parent && parent->ComponentState().Contains(csLoading));
  if (!allowed) throw Exception(sdxInvalidParentAssigning);
  if (parent && !dynamic_cast<TdxCustomDockControl*>(parent))
    throw Exception(Format(sdxInvalidParent, {ClassName()}));
  TdxCustomDockSite::SetParent(parent);
}

void TdxLayoutDockSite::CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) {
  TdxCustomDockSite::CreateLayout(control, type, index);
  if (TdxCustomDockControl* s = SiblingDockControl()) s->UpdateRelatedVisibility();
}

void TdxLayoutDockSite::DestroyLayout(TdxCustomDockControl* control) {
  TdxCustomDockSite::DestroyLayout(control);
  if (TdxCustomDockControl* s = SiblingDockControl()) s->UpdateRelatedVisibility();
}

// ---- the form-level dock site --------------------------------------------------------------



void TdxDockSite::SetAutoSize(bool v) {
  if (autoSize_ == v || (v && !CanAutoSize())) return;
  autoSize_ = v;
  if (v) AdjustAutoSizeBounds();
}

bool TdxDockSite::CanAutoSize() { return autoSize_ || ChildCount() == 0 || IsLoading(); }

TdxCustomDockControl* TdxDockSite::GetAutoSizeClientControl() {
  if (!autoSize_ || ChildCount() <= 1) return nullptr;
  if (Children(0)->CanDock()) return Children(0);
  if (Children(1)->CanDock()) return Children(1);
  return nullptr;
}

bool TdxDockSite::CanDockHost(TdxCustomDockControl* control, TdxDockingType type) {
  if (!TdxCustomDockSite::CanDockHost(control, type)) return false;
  if (type == dtClient && ChildCount() > 0) return false;
  if (autoSize_) return type == dtClient && !GetAutoSizeClientControl();
  return true;
}

void TdxDockSite::SetAutoSizeSize(Integer w, Integer h) {
  if (!autoSize_) return;
  autoSizeWidth_ = w;
  autoSizeHeight_ = h;
}

void TdxDockSite::AdjustAutoSizeBounds() {
  if (IsDestroying() || !autoSize_ || Align() == alClient) return;
  BeginUpdateLayout();  // the site's own size is not an original size of its clients
  if (ChildCount() > 0)
    SetBounds(Left(), Top(), autoSizeWidth_, autoSizeHeight_);
  else
    SetBounds(Left(), Top(), OriginalWidth(), OriginalHeight());
  --layoutLock_;
  BringToFront();
}

void TdxDockSite::CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) {
  Integer w = control->OriginalWidth(), h = control->OriginalHeight();
  TdxCustomDockSite::CreateLayout(control, type, index);
  SetAutoSizeSize(w, h);
  AdjustAutoSizeBounds();
}

void TdxDockSite::DestroyLayout(TdxCustomDockControl* control) {
  TdxCustomDockSite::DestroyLayout(control);
  AdjustAutoSizeBounds();
}

void TdxDockSite::ChildVisibilityChanged(TdxCustomDockControl* child) {
  if (!autoSize_ || child != GetAutoSizeClientControl()) return;
  if (child->Visible())
    SetAutoSizeSize(child->OriginalWidth(), child->OriginalHeight());
  else
    SetAutoSizeSize(OriginalWidth(), OriginalHeight());
  AdjustAutoSizeBounds();
}

void TdxDockSite::UpdateControlOriginalSize(TdxCustomDockControl* control) {
  if (!autoSize_ && control != this) {
    TdxCustomDockSite::UpdateControlOriginalSize(control);
    return;
  }
  if (control == this || control->visibilityLock_ > 0 || control->IsUpdateLayoutLocked()) {
    if (autoSize_ && ChildCount() > 0) return;
    control->SetOriginalWidth(Width());
    control->SetOriginalHeight(Height());
    return;
  }
  switch (Align()) {
    case alTop:
    case alBottom: control->SetOriginalHeight(Height()); break;
    case alLeft:
    case alRight: control->SetOriginalWidth(Width()); break;
    default: break;
  }
}

void TdxDockSite::SetParent(TWinControl* parent) {
  if (IsDesigning() && !IsLoading() && parent && IsInsideDockControl(parent))
    throw Exception(sdxInvalidDockSiteParent);
  TdxCustomDockSite::SetParent(parent);
}

// ---- unit functions ------------------------------------------------------------------------

bool IsInsideDockControl(TControl* c) {
  for (TControl* p = c; p; p = p->Parent())
    if (dynamic_cast<TdxCustomDockControl*>(p)) return true;
  return false;
}

bool ContainsDockSite(TControl* c) {
  auto* w = dynamic_cast<TWinControl*>(c);
  if (!w) return false;
  if (dynamic_cast<TdxDockSite*>(w)) return true;
  for (Integer i = 0; i < w->ControlCount(); ++i)
    if (ContainsDockSite(w->Controls(i))) return true;
  return false;
}
