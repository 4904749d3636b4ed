// Drop zones and resize zones: rectangles, hit tests, previews, docking and resizing.
#include "docking/dxDockZones.h"

#include <algorithm>
#include <cassert>

#include "docking/dxDockPanel.h"
#include "foundation/cxGraphics.h"
#include "vcl/ImgList.h"

KORVAN_IMPLEMENT_CLASS(TdxZone)
KORVAN_IMPLEMENT_CLASS(TdxLeftZone)
KORVAN_IMPLEMENT_CLASS(TdxRightZone)
KORVAN_IMPLEMENT_CLASS(TdxTopZone)
KORVAN_IMPLEMENT_CLASS(TdxBottomZone)
KORVAN_IMPLEMENT_CLASS(TdxAutoHideLeftZone)
KORVAN_IMPLEMENT_CLASS(TdxAutoHideRightZone)
KORVAN_IMPLEMENT_CLASS(TdxAutoHideTopZone)
KORVAN_IMPLEMENT_CLASS(TdxAutoHideBottomZone)
KORVAN_IMPLEMENT_CLASS(TdxAutoSizeLeftZone)
KORVAN_IMPLEMENT_CLASS(TdxAutoSizeRightZone)
KORVAN_IMPLEMENT_CLASS(TdxAutoSizeTopZone)
KORVAN_IMPLEMENT_CLASS(TdxAutoSizeBottomZone)
KORVAN_IMPLEMENT_CLASS(TdxHorizContainerZone)
KORVAN_IMPLEMENT_CLASS(TdxVertContainerZone)
KORVAN_IMPLEMENT_CLASS(TdxClientZone)
KORVAN_IMPLEMENT_CLASS(TdxInvisibleClientZone)
KORVAN_IMPLEMENT_CLASS(TdxFloatZone)
KORVAN_IMPLEMENT_CLASS(TdxAutoSizeClientZone)
KORVAN_IMPLEMENT_CLASS(TdxInvisibleAutoSizeClientZone)
KORVAN_IMPLEMENT_CLASS(TdxTabContainerZone)
KORVAN_IMPLEMENT_CLASS(TdxTabContainerCaptionZone)
KORVAN_IMPLEMENT_CLASS(TdxTabContainerTabZone)
KORVAN_IMPLEMENT_CLASS(TdxDockPanelClientZone)
KORVAN_IMPLEMENT_CLASS(TdxDockPanelCaptionClientZone)

namespace {
TRect Offset(TRect r, Integer dx, Integer dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
  return r;
}
bool Contains(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }
}  // namespace

// ---- the base ------------------------------------------------------------------------------

TdxZone::TdxZone(TdxCustomDockControl* owner, Integer width, TdxZoneKind kind)
    : owner_(owner), width_(width), kind_(kind) {
  assert(owner && "You cannot create a TdxZone without the owning TdxCustomDockControl.");
}

Integer TdxZone::SelectionFrameWidth() const { return DockingController()->SelectionFrameWidth(owner_->ParentForm()); }

bool TdxZone::CanResize(Integer width, Integer height) const {
  TSizeConstraints* c = owner_->Constraints();
  auto within = [](Integer v, Integer lo, Integer hi) { return (lo == 0 || v > lo) && (hi == 0 || v < hi); };
  return within(height, c->MinHeight(), c->MaxHeight()) && within(width, c->MinWidth(), c->MaxWidth());
}

bool TdxZone::CanDock(TdxCustomDockControl* control) { return owner_->CanDockHost(control, DockType()); }

TRect TdxZone::OwnerWindowRect() const {
  if (!owner_->HandleAllocated()) return Rect(0, 0, owner_->Width(), owner_->Height());
  RECT r;
  GetWindowRect(owner_->Handle(), &r);
  return r;
}

TRect TdxZone::GetDockingSelection(TdxCustomDockControl* control) {
  TRect w = OwnerWindowRect();
  return Offset(GetRectangle(), w.Left, w.Top);
}

bool TdxZone::IsZonePoint(TPoint screen) {
  TRect w = OwnerWindowRect();
  return Contains(GetRectangle(), TPoint(screen.X - w.Left, screen.Y - w.Top));
}

void TdxZone::DoDock(TdxCustomDockControl* control) { control->DockTo(owner_, DockType(), DockIndex()); }

void TdxZone::DrawFrameBars(HDC dc, const TRect& r, Integer h) {
  Integer w = r.Right - r.Left, ht = r.Bottom - r.Top;
  PatBlt(dc, r.Left + h, r.Top, w - h, h, PATINVERT);
  PatBlt(dc, r.Right - h, r.Top + h, h, ht - h, PATINVERT);
  PatBlt(dc, r.Left, r.Bottom - h, w - h, h, PATINVERT);
  PatBlt(dc, r.Left, r.Top, h, ht - h, PATINVERT);
}

void TdxZone::DrawDockingSelection(HDC dc, TdxCustomDockControl* control, TPoint) {
  DrawFrameBars(dc, GetDockingSelection(control), SelectionFrameWidth());
}

void TdxZone::DrawResizingSelection(HDC dc, TPoint p) {
  TRect r = GetResizingSelection(p);
  PatBlt(dc, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, PATINVERT);
}

// ---- edge zones ----------------------------------------------------------------------------

Integer TdxEdgeZone::CaptionOffset() const {
  TdxCustomDockControl* o = Owner();
  if (Kind() != zkDock || !o->Options().Contains(doUseCaptionAreaToClientDocking) || !o->HasCaption()) return 0;
  bool vertical = o->IsCaptionVertical();
  if ((DockType() == dtLeft && vertical) || (DockType() == dtTop && !vertical))
    return o->Painter()->GetCaptionHeight() + (o->HasBorder() ? o->Painter()->GetBorderWidth() : 0);
  return 0;
}

TRect TdxLeftZone::GetRectangle() const {
  Integer a = CaptionOffset();
  return Rect(a, 0, a + Width(), Owner()->Height());
}
TRect TdxRightZone::GetRectangle() const {
  return Rect(Owner()->Width() - Width(), 0, Owner()->Width(), Owner()->Height());
}
TRect TdxTopZone::GetRectangle() const {
  Integer a = CaptionOffset();
  return Rect(0, a, Owner()->Width(), a + Width());
}
TRect TdxBottomZone::GetRectangle() const {
  return Rect(0, Owner()->Height() - Width(), Owner()->Width(), Owner()->Height());
}

bool TdxEdgeZone::CanResize(Integer width, Integer height) const {
  TSizeConstraints* c = Owner()->Constraints();
  auto within = [](Integer v, Integer lo, Integer hi) { return (lo == 0 || v > lo) && (hi == 0 || v < hi); };
  return Vertical() ? within(width, c->MinWidth(), c->MaxWidth()) : within(height, c->MinHeight(), c->MaxHeight());
}

Integer TdxEdgeZone::NewSize(TPoint s, TPoint c) const {
  TdxCustomDockControl* o = Owner();
  switch (DockType()) {
    case dtLeft: return o->Width() + s.X - c.X;
    case dtRight: return o->Width() + c.X - s.X;
    case dtTop: return o->Height() + s.Y - c.Y;
    default: return o->Height() + c.Y - s.Y;
  }
}

bool TdxEdgeZone::WithinParentBound(Integer n) const {
  TdxCustomDockControl* o = Owner();
  TWinControl* parent = o->Parent();
  if (!parent) return true;
  switch (DockType()) {
    case dtLeft: return n < parent->ClientWidth();
    case dtRight: return n + o->Left() < parent->ClientWidth();
    case dtTop: return n < parent->ClientHeight();
    default: return n + o->Top() < parent->ClientHeight();
  }
}

bool TdxEdgeZone::GetResizingNewSize(TPoint start, TPoint current, Integer& newSize) {
  Integer n = NewSize(start, current);
  if (n <= 0 || !WithinParentBound(n)) return false;
  Integer w = Vertical() ? n : Owner()->Width(), h = Vertical() ? Owner()->Height() : n;
  if (!CanResize(w, h) || !Owner()->CanResizing(w, h)) return false;
  newSize = n;
  return true;
}

TRect TdxEdgeZone::GetDockingSelection(TdxCustomDockControl* control) {
  TdxCustomDockControl* o = Owner();
  Integer w = o->Width(), h = o->Height(), sfw2 = 2 * SelectionFrameWidth();
  TRect r;
  switch (DockType()) {
    case dtLeft: r = Rect(0, 0, std::min(control->OriginalWidth(), w - sfw2), h); break;
    case dtRight: r = Rect(w - control->OriginalWidth() - sfw2 < 1 ? sfw2 : w - control->OriginalWidth(), 0, w, h); break;
    case dtTop: r = Rect(0, 0, w, std::min(control->OriginalHeight(), h - sfw2)); break;
    default: r = Rect(0, h - control->OriginalHeight() - sfw2 < 1 ? sfw2 : h - control->OriginalHeight(), w, h); break;
  }
  TRect win = OwnerWindowRect();
  return Offset(r, win.Left, win.Top);
}

TRect TdxEdgeZone::GetResizingSelection(TPoint p) {
  TRect w = OwnerWindowRect();
  Integer s = SelectionFrameWidth();
  switch (DockType()) {
    case dtLeft: return Rect(p.X, w.Top, p.X + s, w.Bottom);
    case dtRight: return Rect(p.X - s, w.Top, p.X, w.Bottom);
    case dtTop: return Rect(w.Left, p.Y, w.Right, p.Y + s);
    default: return Rect(w.Left, p.Y - s, w.Right, p.Y);
  }
}

void TdxEdgeZone::DoResize(TPoint start, TPoint current) {
  Integer n = NewSize(start, current);
  if (Vertical())
    Owner()->SetWidth(n);
  else
    Owner()->SetHeight(n);
}

bool TdxEdgeZone::ValidateEdge(TdxCustomDockControl* owner, TdxCustomDockControl* control, TdxDockingType type) {
  if (!owner->AllowDockClients().Contains(type)) return false;
  // Nested controls of one extent offer one strip per edge, the outermost.
  bool vertical = type == dtLeft || type == dtRight;
  for (Integer i = 0; i < control->DockZoneCount(); ++i) {
    TdxZone* z = control->DockZones(i);
    if (z->DockType() != type) continue;
    if (vertical ? z->Owner()->Height() == owner->Height() : z->Owner()->Width() == owner->Width()) return false;
  }
  return true;
}

static bool DockedAs(TdxCustomDockControl* owner, TdxDockingType type) {
  return owner->ParentDockControl() && owner->DockType() == type;
}
bool TdxLeftZone::ValidateResizeZone(TdxCustomDockControl* o) { return DockedAs(o, dtRight); }
bool TdxRightZone::ValidateResizeZone(TdxCustomDockControl* o) { return DockedAs(o, dtLeft); }
bool TdxTopZone::ValidateResizeZone(TdxCustomDockControl* o) { return DockedAs(o, dtBottom); }
bool TdxBottomZone::ValidateResizeZone(TdxCustomDockControl* o) { return DockedAs(o, dtTop); }

template <class Edge, TdxAutoHidePosition Bar>
bool TdxAutoHideEdgeZone<Edge, Bar>::ValidateResizeZone(TdxCustomDockControl* owner) {
  TdxDockSite* host = owner->AutoHide() ? owner->AutoHideHostSite() : nullptr;
  return host && host->GetHideBarByControl(owner) && host->GetControlHideBarPosition(owner) == Bar;
}

template <class Edge, TdxAutoHidePosition Bar>
bool TdxAutoHideEdgeZone<Edge, Bar>::WithinParentBound(Integer n) const {
  TdxCustomDockControl* o = this->Owner();
  TdxDockSite* host = o->AutoHideHostSite();
  if (!host) return true;
  bool vertical = Bar == ahpLeft || Bar == ahpRight;
  if (host->AutoSize()) {
    TWinControl* parent = o->Parent() ? o->Parent()->Parent() : nullptr;
    if (!parent) return true;
    return vertical ? n < parent->ClientWidth() - host->Width() : n < parent->ClientHeight() - host->Height();
  }
  return vertical ? n < host->ClientWidth() : n < host->ClientHeight();
}

template class TdxAutoHideEdgeZone<TdxLeftZone, ahpRight>;
template class TdxAutoHideEdgeZone<TdxRightZone, ahpLeft>;
template class TdxAutoHideEdgeZone<TdxTopZone, ahpBottom>;
template class TdxAutoHideEdgeZone<TdxBottomZone, ahpTop>;

static bool AutoSizeAligned(TdxCustomDockControl* site, std::initializer_list<TAlign> aligns) {
  if (!site->Parent()) return false;
  return std::find(aligns.begin(), aligns.end(), site->Align()) != aligns.end();
}
bool TdxAutoSizeLeftZone::ValidateResizeZone(TdxCustomDockControl* s) { return AutoSizeAligned(s, {alRight}); }
bool TdxAutoSizeRightZone::ValidateResizeZone(TdxCustomDockControl* s) { return AutoSizeAligned(s, {alNone, alLeft}); }
bool TdxAutoSizeTopZone::ValidateResizeZone(TdxCustomDockControl* s) { return AutoSizeAligned(s, {alBottom}); }
bool TdxAutoSizeBottomZone::ValidateResizeZone(TdxCustomDockControl* s) { return AutoSizeAligned(s, {alNone, alTop}); }

bool TdxHorizContainerZone::GetResizingNewSize(TPoint start, TPoint current, Integer& newSize) {
  if (!TdxRightZone::GetResizingNewSize(start, current, newSize)) return false;
  TdxSideContainerDockSite* sc = Owner()->SideContainer();
  return !sc || sc->CanResizeChild(Owner()->SideContainerItem(), current.X - start.X);
}
void TdxHorizContainerZone::DoResize(TPoint start, TPoint current) {
  if (TdxSideContainerDockSite* sc = Owner()->SideContainer()) sc->ResizeChild(Owner()->SideContainerItem(), current.X - start.X);
}
bool TdxVertContainerZone::GetResizingNewSize(TPoint start, TPoint current, Integer& newSize) {
  if (!TdxBottomZone::GetResizingNewSize(start, current, newSize)) return false;
  TdxSideContainerDockSite* sc = Owner()->SideContainer();
  return !sc || sc->CanResizeChild(Owner()->SideContainerItem(), current.Y - start.Y);
}
void TdxVertContainerZone::DoResize(TPoint start, TPoint current) {
  if (TdxSideContainerDockSite* sc = Owner()->SideContainer()) sc->ResizeChild(Owner()->SideContainerItem(), current.Y - start.Y);
}

// ---- client zones --------------------------------------------------------------------------

TRect TdxClientZone::GetRectangle() const { return Rect(0, 0, Owner()->Width(), Owner()->Height()); }

bool TdxClientZone::ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control) {
  return owner->AllowDockClients().Contains(dtClient) && owner == control && owner->ChildCount() == 0;
}

TdxCustomDockControl* TdxInvisibleClientZone::ClientTarget() const {
  TdxCustomDockControl* c = Owner();
  while (c && c->ChildCount() > 0) {
    TdxCustomDockControl* chosen = nullptr;
    for (Integer i = 0; i < c->ChildCount(); ++i) {
      TdxCustomDockControl* k = c->Children(i);
      if (k->DockType() != dtClient) continue;
      if (!chosen ? (k->CanDock() || k->ChildCount() == 0) : k->CanDock()) chosen = k;
    }
    if (!chosen || chosen->CanDock()) return chosen;
    c = chosen;  // a layout site: look inside it
  }
  return c;
}

bool TdxInvisibleClientZone::CanDock(TdxCustomDockControl* control) {
  TdxCustomDockControl* t = ClientTarget();
  if (!t) return false;
  for (TdxDockingType type : {dtClient, dtRight, dtBottom})
    if (t->CanDockHost(control, type)) return true;
  return false;
}

void TdxInvisibleClientZone::DoDock(TdxCustomDockControl* control) {
  TdxCustomDockControl* t = ClientTarget();
  if (!t) return;
  for (TdxDockingType type : {dtClient, dtRight, dtBottom}) {
    if (t->CanDockHost(control, type)) {
      control->DockTo(t, type, -1);
      return;
    }
  }
}

bool TdxInvisibleClientZone::ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control) {
  return owner->AllowDockClients().Contains(dtClient) && owner == control && owner->ChildCount() == 2 &&
         !owner->IsValidChild(owner->Children(0)) && !owner->IsValidChild(owner->Children(1));
}

TdxFloatZone::TdxFloatZone(TdxFloatDockSite* site) : TdxClientZone(site, 0) {}

bool TdxFloatZone::IsZonePoint(TPoint screen) { return DockingController()->FloatSiteAtPos(screen) == Owner(); }

TdxZone* TdxFloatZone::InnerZone() const {
  auto* site = static_cast<TdxFloatDockSite*>(Owner());
  TdxCustomDockControl* child = site->Child();
  if (!child) return nullptr;
  for (Integer i = 0; i < child->DockZoneCount(); ++i) {
    TdxZone* z = child->DockZones(i);
    if (z->Owner() == child && z->DockType() == dtClient) return z;
  }
  return nullptr;
}

bool TdxFloatZone::CanDock(TdxCustomDockControl* control) {
  TdxZone* z = InnerZone();
  return z && z->CanDock(control);
}
void TdxFloatZone::DoDock(TdxCustomDockControl* control) {
  if (TdxZone* z = InnerZone()) z->DoDock(control);
}
void TdxFloatZone::DrawDockingSelection(HDC dc, TdxCustomDockControl* control, TPoint p) {
  if (TdxZone* z = InnerZone()) z->DrawDockingSelection(dc, control, p);
}
bool TdxFloatZone::ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control) {
  return owner == control && dynamic_cast<TdxFloatDockSite*>(owner);
}

// The selection of a client dock into an AutoSize site, at the size the site will take.
static TRect AutoSizeSelection(TdxZone* zone, TdxCustomDockControl* control) {
  TdxCustomDockControl* o = zone->Owner();
  Integer w = o->Width(), h = o->Height();
  Integer wd = std::max(w, control->OriginalWidth()), hd = std::max(h, control->OriginalHeight());
  TRect win = zone->OwnerWindowRect();
  switch (o->Align()) {
    case alTop: return Rect(win.Left, win.Top, win.Left + w, win.Top + hd);
    case alBottom: return Rect(win.Left, win.Bottom - hd, win.Left + w, win.Bottom);
    case alLeft: return Rect(win.Left, win.Top, win.Left + wd, win.Top + h);
    case alRight: return Rect(win.Right - wd, win.Top, win.Right, win.Top + h);
    case alClient: return Rect(win.Left, win.Top, win.Left + w, win.Top + h);
    default: return Rect(win.Left, win.Top, win.Left + wd, win.Top + hd);
  }
}

TRect TdxAutoSizeClientZone::GetDockingSelection(TdxCustomDockControl* control) { return AutoSizeSelection(this, control); }
bool TdxAutoSizeClientZone::IsZonePoint(TPoint screen) {
  return TdxZone::IsZonePoint(screen) || DockingController()->DockSiteAtPos(screen) == Owner();
}
TRect TdxInvisibleAutoSizeClientZone::GetDockingSelection(TdxCustomDockControl* control) {
  return AutoSizeSelection(this, control);
}
bool TdxInvisibleAutoSizeClientZone::IsZonePoint(TPoint screen) {
  return DockingController()->DockSiteAtPos(screen) == Owner();
}

// ---- tab zones -----------------------------------------------------------------------------

void dxDrawTabbedSelection(HDC dc, const TRect& r, const TRect& tab, TdxTabContainerTabsPosition position, Integer h) {
  Integer l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
  Integer tl = tab.Left, tt = tab.Top, tr = tab.Right, tb = tab.Bottom;
  if (position == tctpBottom) {
    PatBlt(dc, l + h, t, rt - l - h, h, PATINVERT);
    PatBlt(dc, l, t, h, tt - h, PATINVERT);
    PatBlt(dc, l, t + tt - h, tl, h, PATINVERT);
    PatBlt(dc, l + tl, t + tt - h, h, tb - tt, PATINVERT);
    PatBlt(dc, l + tl, t + tb - h, tr - tl, h, PATINVERT);
    PatBlt(dc, l + tr - h, t + tt - h, h, tb - tt, PATINVERT);
    PatBlt(dc, l + tr, t + tt - h, rt - l - tr - h, h, PATINVERT);
    PatBlt(dc, rt - h, t + h, h, tt - h, PATINVERT);
  } else {
    PatBlt(dc, l + h, b - h, rt - l - h, h, PATINVERT);
    PatBlt(dc, l, t + tb, h, b - t - tb, PATINVERT);
    PatBlt(dc, l, t + tb - h, tl, h, PATINVERT);
    PatBlt(dc, l + tl, t + tt, h, tb - tt, PATINVERT);
    PatBlt(dc, l + tl, t + tt - h, tr - tl - h, h, PATINVERT);
    PatBlt(dc, l + tr - h, t + tt - h, h, tb + h - tt, PATINVERT);
    PatBlt(dc, l + tr, t + tb - h, rt - l - tr - h, h, PATINVERT);
    PatBlt(dc, rt - h, t + tb - h, h, b - t - tb, PATINVERT);
  }
}

TdxTabContainerZone::TdxTabContainerZone(TdxTabContainerDockSite* container) : TdxClientZone(container, 0) {}

TdxTabContainerDockSite* TdxTabContainerZone::Container() const {
  return static_cast<TdxTabContainerDockSite*>(Owner());
}

bool TdxTabContainerZone::ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control) {
  if (owner != control) return false;
  if (auto* tc = dynamic_cast<TdxTabContainerDockSite*>(owner); tc && tc->ActiveChild()) return true;
  TdxTabContainerDockSite* tc = owner->TabContainer();
  return tc && tc->ActiveChild();
}

TRect TdxTabContainerZone::GetTabsRect() { return Container()->TabsRect(); }

TRect TdxTabContainerZone::GetTabRect(TdxCustomDockControl* control) {
  TdxTabContainerDockSite* tc = Container();
  Integer index = DockIndex();
  if (index >= 0 && index < tc->TabCount()) return tc->GetTabRect(index);
  if (tc->TabCount() > 0) {
    TRect last = tc->GetTabRect(tc->TabCount() - 1);
    Integer width = MeasureTextWidthInFont(tc->Font(), control->Caption());
    if (TCustomImageList* images = tc->Painter()->Images()) width += images->Width();
    return Rect(last.Right, last.Top, last.Right + width, last.Bottom);
  }
  return GetRectangle();
}

TRect TdxTabContainerZone::ClampedTabRect(TdxCustomDockControl* control) {
  TRect t = GetTabRect(control), s = GetTabsRect();
  Integer h3 = 3 * SelectionFrameWidth();
  if (t.Left < s.Left) {
    t.Left = s.Left;
    t.Right = std::max(t.Right, s.Left + h3);
  }
  if (t.Right > s.Right) {
    t.Right = s.Right;
    t.Left = std::min(t.Left, s.Right - h3);
  }
  return t;
}

void TdxTabContainerZone::DrawDockingSelection(HDC dc, TdxCustomDockControl* control, TPoint) {
  dxDrawTabbedSelection(dc, GetDockingSelection(control), ClampedTabRect(control), Container()->TabsPosition(),
                        SelectionFrameWidth());
}

bool TdxTabContainerCaptionZone::IsZonePoint(TPoint screen) {
  TdxTabContainerDockSite* tc = Container();
  return tc->HasCaption() && Contains(tc->CaptionRect(), tc->ScreenToWindow(screen));
}

bool TdxTabContainerTabZone::IsZonePoint(TPoint screen) { return Container()->GetTabIndexAtPos(screen) == dockIndex_; }

bool TdxTabContainerTabZone::ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control) {
  return owner == control && dynamic_cast<TdxTabContainerDockSite*>(owner) && owner->HasTabs();
}

void TdxDockPanelClientZone::DrawDockingSelection(HDC dc, TdxCustomDockControl* control, TPoint) {
  auto* panel = static_cast<TdxDockPanel*>(Owner());
  dxDrawTabbedSelection(dc, GetDockingSelection(control), panel->TabRect(), panel->EffectiveTabPosition(),
                        SelectionFrameWidth());
}

bool TdxDockPanelCaptionClientZone::IsZonePoint(TPoint screen) {
  TdxCustomDockControl* o = Owner();
  return o->HasCaption() && Contains(o->CaptionRect(), o->ScreenToWindow(screen));
}
