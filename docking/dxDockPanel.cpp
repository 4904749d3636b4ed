// The dock panel.
#include "docking/dxDockPanel.h"

#include "docking/dxDockConsts.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

using namespace dock_consts;

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TdxDockPanel) {
  p.Set("AllowDock", &TdxDockPanel::AllowDock, &TdxDockPanel::SetAllowDock, dxDockingTypesTypeInfo()).Default(62);
  p.Set("AllowDockClients", &TdxDockPanel::AllowDockClients, &TdxDockPanel::SetAllowDockClients,
        dxDockingTypesTypeInfo())
      .Default(62);
  p.Bool("AllowFloating", &TdxDockPanel::AllowFloating, &TdxDockPanel::SetAllowFloating);
  p.Set("CaptionButtons", &TdxDockPanel::CaptionButtons, &TdxDockPanel::SetCaptionButtons, dxCaptionButtonsTypeInfo())
      .Default(7);
  p.Str("Caption", &TdxDockPanel::Caption, &TdxDockPanel::SetCaption);
  p.Bool("Dockable", &TdxDockPanel::Dockable, &TdxDockPanel::SetDockable).Default(1);
  p.Int("ImageIndex", &TdxDockPanel::ImageIndex, &TdxDockPanel::SetImageIndex).Default(-1);
  p.Bool("ShowCaption", &TdxDockPanel::ShowCaption, &TdxDockPanel::SetShowCaption).Default(1);
  p.Bool("ShowSingleTab", &TdxDockPanel::ShowSingleTab, &TdxDockPanel::SetShowSingleTab).Default(0);
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

bool TdxDockPanel::CanDockHost(TdxCustomDockControl* control, TdxDockingType type) {
  // A panel offers itself as a target only inside a dock tree: the layouts it builds replace
  // it in its parent dock control. The tab and side containers those layouts need are not
  // part of this library yet, so until then a panel accepts no client.
  if (!ParentDockControl()) return false;
  return false;
}

bool TdxDockPanel::HasBorder() { return DockingState() != dsFloating; }
bool TdxDockPanel::HasCaption() { return ShowCaption() && HasBorder(); }

void TdxDockPanel::SetShowSingleTab(bool v) {
  if (showSingleTab_ == v) return;
  showSingleTab_ = v;
  NCChanged();
}

void TdxDockPanel::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  if (IsUpdateLayoutLocked() || IsDestroying() || (parent && parent->ComponentState().Contains(csLoading))) {
    if (parent && !dynamic_cast<TdxCustomDockControl*>(parent))
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
