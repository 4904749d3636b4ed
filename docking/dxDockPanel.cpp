// The dock panel.
#include "docking/dxDockPanel.h"

#include "docking/dxDockConsts.h"
#include "foundation/cxGraphics.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

using namespace dock_consts;

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TdxDockPanel) {
  p.Set("AllowDock", &TdxDockPanel::AllowDock, &TdxDockPanel::SetAllowDock, dxDockingTypesTypeInfo()).Default(62);
  p.Set("AllowDockClients", &TdxDockPanel::AllowDockClients, &TdxDockPanel::SetAllowDockClients,
        dxDockingTypesTypeInfo())
      .Default(62);
  p.Bool("AllowFloating", &TdxDockPanel::AllowFloating, &TdxDockPanel::SetAllowFloating);
  p.Bool("AutoHide", &TdxDockPanel::AutoHide, &TdxDockPanel::SetAutoHide);
  p.Set("CaptionButtons", &TdxDockPanel::CaptionButtons, &TdxDockPanel::SetCaptionButtons, dxCaptionButtonsTypeInfo())
      .Default(7);
  p.Str("Caption", &TdxDockPanel::Caption, &TdxDockPanel::SetCaption);
  p.Bool("Dockable", &TdxDockPanel::Dockable, &TdxDockPanel::SetDockable).Default(1);
  p.Int("ImageIndex", &TdxDockPanel::ImageIndex, &TdxDockPanel::SetImageIndex).Default(-1);
  p.Bool("ShowCaption", &TdxDockPanel::ShowCaption, &TdxDockPanel::SetShowCaption).Default(1);
  p.Bool("ShowSingleTab", &TdxDockPanel::ShowSingleTab, &TdxDockPanel::SetShowSingleTab).Default(0);
  p.Enum("TabPosition", &TdxDockPanel::TabPosition, &TdxDockPanel::SetTabPosition,
         EnumTypeInfo("TdxTabContainerTabsPosition", {"tctpTop", "tctpBottom"}))
      .Default(tctpBottom);
}

namespace {
struct PanelClassRegistration {
  PanelClassRegistration() { RegisterClass(TdxDockPanel::StaticClass()); }
} panelClassRegistration;
}  // namespace

TdxDockPanel::TdxDockPanel(TComponent* owner) : TdxCustomDockControl(owner) {
  useDoubleBufferedNC_ = true;
  SetBounds(0, 0, 185, 140);
}

bool TdxDockPanel::CanAutoHide() {
  if (IsLoading()) return true;
  TdxCustomDockControl* ahc = AutoHideControl();
  return AutoHideHostSite() && (!ahc || ahc == this);
}

bool TdxDockPanel::CanMaximize() {
  TdxSideContainerDockSite* s = SideContainer();
  return !AutoHide() && s && s->ValidChildCount() > 1;
}

bool TdxDockPanel::CanDockHost(TdxCustomDockControl* control, TdxDockingType type) {
  // A panel offers itself as a target only inside a dock tree: the layouts it builds replace
  // it in its parent dock control.
  if (!ParentDockControl()) return false;
  TdxDockingOptions o = Options();
  bool side = type >= dtLeft && type <= dtBottom;
  bool allowed;
  if (TdxContainerDockSite* c = Container()) {
    allowed = c->HasDockType(type);
    if (dynamic_cast<TdxTabContainerDockSite*>(c)) {
      allowed = allowed || (o.Contains(doSideContainerCanInTabContainer) && side);
    } else {
      allowed = allowed || (o.Contains(doTabContainerCanInSideContainer) && type == dtClient) ||
                (o.Contains(doSideContainerCanInSideContainer) && side);
    }
  } else {
    allowed = type >= dtClient && type <= dtBottom;
  }
  return allowed && TdxCustomDockControl::CanDockHost(control, type);
}

void TdxDockPanel::CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) {
  TdxContainerDockSite* c = Container();
  if (c && c->HasDockType(type)) {
    Integer i = DockIndex() + (type == c->GetTailDockType() ? 1 : 0);
    c->BeginUpdateLayout();
    try {
      c->CreateLayout(control, type, i);
    } catch (...) {
      c->EndUpdateLayout();
      throw;
    }
    c->EndUpdateLayout();
  } else if (type == dtClient) {
    CreateTabContainerLayout(control, type, index);
  } else if (type >= dtLeft && type <= dtBottom) {
    CreateContainerLayout(control, type, index);
  } else {
    throw Exception(Format(sdxInternalErrorCreateLayout, {String("TdxContainerDockSite")}));
  }
}

void TdxDockPanel::AssignTabContainerSiteProperties(TdxTabContainerDockSite* site) {
  TdxCustomDockControl::AssignTabContainerSiteProperties(site);
  if (showSingleTab_) site->SetTabsPosition(tabPosition_);
}

bool TdxDockPanel::HasBorder() {
  if (DockingState() == dsFloating) return false;
  TdxTabContainerDockSite* tc = TabContainer();
  if (tc && !AutoHide() && (tc->ValidChildCount() > 1 || tc->AutoHide())) return false;
  return true;
}

bool TdxDockPanel::HasCaption() { return ShowCaption() && HasBorder(); }

bool TdxDockPanel::HasTabs() { return showSingleTab_ && !TabContainer(); }

void TdxDockPanel::SetTabPosition(TdxTabContainerTabsPosition v) {
  if (tabPosition_ == v) return;
  tabPosition_ = v;
  NCChanged();
}

TdxTabContainerTabsPosition TdxDockPanel::EffectiveTabPosition() {
  if (showSingleTab_) return tabPosition_;
  if (const TdxDockingManager* m = Controller()->DefaultSitesPropertiesManager(ParentForm()))
    return m->DefaultTabContainerSiteProperties()->TabsPosition;
  return tctpBottom;
}

void TdxDockPanel::CalculateNC(TRect& r) {
  TdxCustomDockControl::CalculateNC(r);
  TdxDockControlPainter* p = Painter();
  Integer t = p->GetTabsHeight(), v = p->GetTabVertOffset(), h = p->GetTabHorizOffset();
  TdxTabContainerTabsPosition position = EffectiveTabPosition();
  tabsRect_ = Rect(r.Left, r.Top, r.Right, r.Top + t);
  if (position == tctpBottom) {
    tabsRect_.Bottom = r.Bottom;
    tabsRect_.Top = std::max(r.Bottom - t, r.Top);
    tabsRect_.Bottom = tabsRect_.Top + t;
  }
  if (HasTabs()) {
    if (position == tctpBottom)
      r.Bottom = tabsRect_.Top;
    else
      r.Top = tabsRect_.Bottom;
  }
  Integer width = h + MeasureTextWidthInFont(Font(), Caption()) + h;
  if (p->GetImageWidth() > 0) width += 2 * h + p->GetImageWidth();
  tabRect_.Left = tabsRect_.Left + h;
  tabRect_.Top = tabsRect_.Top + v + (position == tctpBottom ? v : 0);
  tabRect_.Bottom = tabsRect_.Bottom - v - (position == tctpTop ? v : 0);
  tabRect_.Right = std::min(tabRect_.Left + width, tabsRect_.Right - h);
}

void TdxDockPanel::NCPaint(TCanvas* canvas) {
  TdxCustomDockControl::NCPaint(canvas);
  if (!HasTabs()) return;
  TdxDockControlPainter* p = Painter();
  p->DrawTabs(canvas, tabsRect_, tabRect_, tabPosition_);
  p->DrawTab(canvas, this, tabRect_, true, tabPosition_);
}

bool TdxDockPanel::MouseLeftDown(TPoint client) {
  if (TdxCustomDockControl::MouseLeftDown(client)) return true;
  tabPressed_ = HasTabs() && tabRect_.Contains(ScreenToWindow(ClientToScreen(client)));
  if (tabPressed_) SetMouseCapture(true);
  return true;
}

bool TdxDockPanel::MouseMoved(TPoint client) {
  if (TdxCustomDockControl::MouseMoved(client)) return true;
  if ((!FloatFormActive() && !IsParentFormActive() && !IsDesigning()) || !tabPressed_) return false;
  if (!CheckDragStart(client, tabRect_)) return false;
  tabPressed_ = false;
  return true;
}

bool TdxDockPanel::MouseLeftUp(TPoint client) {
  if (TdxCustomDockControl::MouseLeftUp(client)) return true;
  if (!tabPressed_) return false;
  SetMouseCapture(false);
  tabPressed_ = false;
  return true;
}

bool TdxDockPanel::MouseLeftDoubleClick(TPoint client) {
  if (TdxCustomDockControl::MouseLeftDoubleClick(client)) return true;
  if (IsDesigning() || !Options().Contains(doDblClickDocking) || AutoHide() || !HasTabs() ||
      !tabRect_.Contains(ScreenToWindow(ClientToScreen(client))))
    return false;
  TPoint screen = ClientToScreen(client);
  if (OnStartDocking) OnStartDocking(this, screen.X, screen.Y);
  if (DockingState() == dsFloating)
    RestoreDockPosition(screen);
  else
    MakeFloatingAtCurrentPos();
  if (OnEndDocking) OnEndDocking(this, nullptr, screen.X, screen.Y);
  return true;
}

void TdxDockPanel::SetShowSingleTab(bool v) {
  if (showSingleTab_ == v) return;
  showSingleTab_ = v;
  NCChanged();
}

void TdxDockPanel::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  if (IsUpdateLayoutLocked() || IsDestroying() || (parent && parent->ComponentState().Contains(csLoading))) {
    if (parent && !dynamic_cast<TdxCustomDockControl*>(parent) &&
        !(AutoHide() && dynamic_cast<TdxDockSiteAutoHideContainer*>(parent)))
      throw Exception(Format(sdxInvalidParent, {ClassName()}));
    TdxCustomDockControl::SetParent(parent);
    return;
  }
  // A parent set from outside the docking operations docks or floats the panel.
  if (auto* site = dynamic_cast<TdxCustomDockControl*>(parent)) {
    for (TdxDockingType t : {dtClient, dtLeft, dtTop, dtRight, dtBottom}) {
      if (site->CanDockHost(this, t)) {
        DockTo(site, t, -1);
        return;
      }
    }
  }
  TWinControl* origin = parent ? parent : Parent();
  TPoint p(Left(), Top());
  if (origin) p = origin->ClientToScreen(p);
  MakeFloating(p.X, p.Y);
}

void TdxDockPanel::ValidateInsert(TComponent* c) {
  if (dynamic_cast<TdxCustomDockControl*>(c)) throw Exception(Format(sdxInvalidPanelChild, {c->ClassName()}));
  TdxCustomDockControl::ValidateInsert(c);
}
