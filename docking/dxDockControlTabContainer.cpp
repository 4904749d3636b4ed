// The tab container: its strip of tabs in the non-client area, scrolling with the repeat
// timer, the active tab, mouse handling on the strip, and its docking and closing rules.
#include <algorithm>

#include "docking/dxDockConsts.h"
#include "docking/dxDockControlBrackets.h"
#include "docking/dxDockControl.h"
#include "foundation/cxGraphics.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "user/Windows.h"
#include "vcl/ImgList.h"

using namespace dock_consts;
using namespace dock_brackets;

namespace {
constexpr UINT_PTR kScrollTimerId = 1;


PTypeInfo TabsPositionTypeInfo() { return EnumTypeInfo("TdxTabContainerTabsPosition", {"tctpTop", "tctpBottom"}); }
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TdxTabContainerDockSite) {
  p.Bool("AutoHide", &TdxTabContainerDockSite::AutoHide, &TdxTabContainerDockSite::SetAutoHide);
  p.Set("CaptionButtons", &TdxTabContainerDockSite::CaptionButtons, &TdxTabContainerDockSite::SetCaptionButtons,
        dxCaptionButtonsTypeInfo())
      .Default(7);
  p.Bool("Dockable", &TdxTabContainerDockSite::Dockable, &TdxTabContainerDockSite::SetDockable).Default(1);
  p.Int("ImageIndex", &TdxTabContainerDockSite::ImageIndex, &TdxTabContainerDockSite::SetImageIndex).Default(-1);
  p.Bool("ShowCaption", &TdxTabContainerDockSite::ShowCaption, &TdxTabContainerDockSite::SetShowCaption).Default(1);
  p.Enum("TabsPosition", &TdxTabContainerDockSite::TabsPosition, &TdxTabContainerDockSite::SetTabsPosition,
         TabsPositionTypeInfo())
      .Default(tctpBottom);
  p.Bool("TabsScroll", &TdxTabContainerDockSite::TabsScroll, &TdxTabContainerDockSite::SetTabsScroll).Default(1);
}

TdxTabContainerDockSite::TdxTabContainerDockSite(TComponent* owner) : TdxContainerDockSite(owner) {}

TdxTabContainerDockSite::~TdxTabContainerDockSite() {
  if (scrollTimerRunning_ && HandleAllocated()) KillTimer(Handle(), kScrollTimerId);
}

void TdxTabContainerDockSite::SetTabsPosition(TdxTabContainerTabsPosition v) {
  if (tabsPosition_ == v) return;
  tabsPosition_ = v;
  RecalculateNC(false);
}

void TdxTabContainerDockSite::SetTabsScroll(bool v) {
  if (tabsScroll_ == v) return;
  tabsScroll_ = v;
  if (!v) firstVisibleTabIndex_ = 0;
  InvalidateNC(true);
}

void TdxTabContainerDockSite::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TdxTabContainerDockSite*>(source)) {
    SetTabsPosition(s->TabsPosition());
    SetTabsScroll(s->TabsScroll());
  }
  TdxContainerDockSite::Assign(source);
}

// ---- rules ---------------------------------------------------------------------------------

bool TdxTabContainerDockSite::HasBorder() {
  if (DockingState() == dsFloating) return false;
  return ValidChildCount() > 1 || AutoHide();
}

bool TdxTabContainerDockSite::HasCaption() {
  return Options().Contains(doTabContainerHasCaption) && ShowCaption() && DockingState() != dsFloating &&
         (ValidChildCount() > 1 || AutoHide());
}

bool TdxTabContainerDockSite::HasTabs() { return !AutoHide() && ValidChildCount() > 1; }

bool TdxTabContainerDockSite::IsCaptionActive() {
  if (TdxContainerDockSite::IsCaptionActive()) return true;
  TdxCustomDockControl* a = Controller()->ActiveDockControl();
  return a && a->Container() == this && Application && Application->Active();
}

bool TdxTabContainerDockSite::CanAutoHide() {
  if (IsLoading()) return true;
  TdxCustomDockControl* ahc = AutoHideControl();
  return AutoHideHostSite() && (!ahc || ahc == this);
}

bool TdxTabContainerDockSite::CanMaximize() {
  TdxSideContainerDockSite* s = SideContainer();
  return !AutoHide() && s && s->ValidChildCount() > 1;
}

bool TdxTabContainerDockSite::CanAcceptSideContainerItems(TdxSideContainerDockSite* container) {
  return !(Options().Contains(doSideContainerCanInTabContainer) || IsLoading());
}

bool TdxTabContainerDockSite::CanDockHost(TdxCustomDockControl* control, TdxDockingType type) {
  TdxDockingOptions o = Options();
  bool allowed = HasDockType(type);
  bool side = type >= dtLeft && type <= dtBottom;
  if (auto* sc = dynamic_cast<TdxSideContainerDockSite*>(Container())) {
    allowed = allowed || sc->HasDockType(type) || (o.Contains(doSideContainerCanInSideContainer) && side);
  } else if (o.Contains(doTabContainerCanInSideContainer)) {
    allowed = allowed || side;
  }
  return allowed && TdxContainerDockSite::CanDockHost(control, type);
}

void TdxTabContainerDockSite::UpdateCaption() {
  String caption = ActiveChild() ? ActiveChild()->Caption() : String();
  if (caption != Caption()) SetCaption(caption);
  TdxContainerDockSite::UpdateCaption();
}

void TdxTabContainerDockSite::ChangeAutoHide() {
  if (AutoHide())
    SetAutoHide(false);
  else if (Options().Contains(doTabContainerCanAutoHide))
    TdxContainerDockSite::ChangeAutoHide();
  else if (ActiveChild())
    ActiveChild()->ChangeAutoHide();
}

void TdxTabContainerDockSite::DoClose() {
  if (Options().Contains(doTabContainerCanClose)) {
    InLayoutUpdate(this, [&] {
      for (Integer i = ChildCount() - 1; i >= 0; --i)
        if (i < ChildCount() && Children(i)->Visible()) Children(i)->DoClose();
    });
  } else if (ActiveChild()) {
    ActiveChild()->DoClose();
    ActivateActiveChild();
  }
  if (AutoHideControl() == this)
    if (TdxDockSite* host = AutoHideHostSite()) host->NCChanged();
}

void TdxTabContainerDockSite::ActivateActiveChild() {
  if (ActiveChild() && !IsDestroying()) ActiveChild()->Activate();
}

// ---- layout --------------------------------------------------------------------------------

void TdxTabContainerDockSite::CreateLayout(TdxCustomDockControl* control, TdxDockingType type, Integer index) {
  if (type == dtClient) {
    TdxContainerDockSite::CreateLayout(control, type, index);
    return;
  }
  TdxContainerDockSite* outer = Container();
  if (outer && outer->HasDockType(type)) {
    Integer i = DockIndex() + (type == outer->GetTailDockType() ? 1 : 0);
    InLayoutUpdate(outer, [&] { outer->CreateLayout(control, type, i); });
  } else if (type >= dtLeft && type <= dtBottom) {
    CreateContainerLayout(control, type, index);
  } else {
    throw Exception(Format(sdxInternalErrorCreateLayout, {String("TdxTabContainerDockSite")}));
  }
}

void TdxTabContainerDockSite::DestroyLayout(TdxCustomDockControl* control) {
  bool wasActive = control == ActiveChild();
  Integer activeIndex = ActiveChild() ? ActiveChild()->DockIndex() : -1;
  TdxContainerDockSite::DestroyLayout(control);
  if (wasActive && ChildCount() > 1) ValidateActiveChild(activeIndex);
}

void TdxTabContainerDockSite::IncludeToDock(TdxCustomDockControl* site, TdxDockingType type, Integer index) {
  if (!site->CanAcceptTabContainerItems(this) || ChildCount() == 0) {
    TdxContainerDockSite::IncludeToDock(site, type, index);
    return;
  }
  HandOverChildren(site, type, index);
}

void TdxTabContainerDockSite::UpdateLayout() {
  TdxContainerDockSite::UpdateLayout();
  if (ActiveChild()) ActiveChild()->BringToFront();
  RecalculateNC(false);
}

void TdxTabContainerDockSite::ActiveChildChanged() {
  TdxContainerDockSite::ActiveChildChanged();
  if (ActiveChild()) ActiveChild()->BringToFront();
  if (AutoHideControl() == this)
    if (TdxDockSite* host = AutoHideHostSite()) host->InvalidateNC(false);
  InvalidateNC(false);
  UpdateChildrenEnabled();
}

void TdxTabContainerDockSite::UpdateChildrenEnabled() {
  for (Integer i = 0; i < ChildCount(); ++i) Children(i)->UpdateEnabled();
}

void TdxTabContainerDockSite::ValidateActiveChild(Integer index) {
  TdxCustomDockControl* a = ActiveChild();
  if (!IsValidChild(a)) {
    TdxContainerDockSite* inner = a ? a->Container() : nullptr;
    if (a && inner && IsValidChild(inner)) {
      SetActiveChild(inner);
    } else if (index == -1) {
      SetActiveChild(FirstValidChild());
    } else {
      TdxCustomDockControl* c = index >= 0 && index < ChildCount() ? Children(index) : nullptr;
      if (!IsValidChild(c)) c = NextValidChild(index);
      if (!c) c = PrevValidChild(index);
      SetActiveChild(c);
    }
  }
  MakeActiveTabVisible();
}

void TdxTabContainerDockSite::ChildVisibilityChanged(TdxCustomDockControl* child) {
  TdxContainerDockSite::ChildVisibilityChanged(child);
  if (IsValidChild(child)) return;
  Integer index = child->DockIndex();
  if (child == ActiveChild()) ValidateActiveChild(index);
  if (index >= firstVisibleTabIndex_ && index <= LastVisibleTabIndex()) ScrollLeft();
}

// ---- tabs ----------------------------------------------------------------------------------

void TdxTabContainerDockSite::CheckMeasuredFont() {
  TFont* f = Font();
  String font = f->Name() + "|" + IntToStr(f->Height()) + "|" + IntToStr(Integer(f->Style().ToMask())) + "|" +
                IntToStr(f->Charset());
  Integer imageWidth = Painter()->GetImageWidth();
  if (font == measuredFont_ && imageWidth == measuredImageWidth_) return;
  textWidths_.clear();
  measuredFont_ = font;
  measuredImageWidth_ = imageWidth;
}

Integer TdxTabContainerDockSite::GetTabWidth(TdxCustomDockControl* c) {
  if (measuredImageWidth_ < 0) CheckMeasuredFont();
  Integer h = Painter()->GetTabHorizOffset();
  auto it = textWidths_.find(c);
  if (it == textWidths_.end()) it = textWidths_.emplace(c, MeasureTextWidthInFont(Font(), c->Caption())).first;
  Integer w = it->second + 2 * h;
  if (measuredImageWidth_ > 0) w += 2 * h + measuredImageWidth_;
  return w;
}

void TdxTabContainerDockSite::CalculateNC(TRect& r) {
  TdxContainerDockSite::CalculateNC(r);
  CheckMeasuredFont();
  TdxDockControlPainter* p = Painter();
  Integer v = p->GetTabVertOffset(), h = p->GetTabHorizOffset(), s = p->GetTabsScrollButtonSize();
  Integer t = p->GetTabsHeight();
  bool hasTabs = HasTabs();
  tabsRect_.Left = r.Left;
  tabsRect_.Right = r.Right;
  if (tabsPosition_ == tctpTop) {
    tabsRect_.Top = r.Top;
    tabsRect_.Bottom = r.Top + t;
    if (hasTabs) r.Top = tabsRect_.Bottom;
  } else {
    tabsRect_.Bottom = r.Bottom;
    tabsRect_.Top = r.Bottom - t;
    if (tabsRect_.Top < r.Top) {
      tabsRect_.Top = r.Top;
      tabsRect_.Bottom = r.Top + t;
    }
    if (hasTabs) r.Bottom = tabsRect_.Top;
  }
  leftEnabled_ = rightEnabled_ = false;
  scrollLeftRect_ = scrollRightRect_ = TRect();
  if (tabsScroll_) {
    Integer top = tabsRect_.Top + v + (tabsRect_.Height() - v - s) / 2;
    scrollRightRect_ = Rect(tabsRect_.Right - h - s, top, tabsRect_.Right - h, top + s);
    scrollLeftRect_ = Rect(scrollRightRect_.Left - 1 - s, top, scrollRightRect_.Left - 1, top + s);
  }
  Integer valid = ValidChildCount();
  Integer equalWidth = -1;
  if (!tabsScroll_ && valid > 0) {
    Integer sum = 0;
    for (Integer i = 0; i < ChildCount(); ++i)
      if (IsValidChild(Children(i))) sum += GetTabWidth(Children(i));
    Integer available = tabsRect_.Width() - 2 * h;
    if (sum >= available) equalWidth = available / valid;
  }
  tabsRects_.resize(size_t(ChildCount()));
  Integer top = tabsRect_.Top + v + (tabsPosition_ == tctpBottom ? v : 0);
  Integer bottom = tabsRect_.Bottom - v - (tabsPosition_ == tctpTop ? v : 0);
  auto width = [&](Integer i) { return equalWidth >= 0 ? equalWidth : GetTabWidth(Children(i)); };
  Integer x = tabsRect_.Left + h;
  for (Integer i = std::max(firstVisibleTabIndex_, 0); i < ChildCount(); ++i) {
    if (!IsValidChild(Children(i))) continue;
    Integer w = width(i);
    tabsRects_[size_t(i)] = Rect(x, top, x + w, bottom);
    x += w;
  }
  x = tabsRect_.Left + h;
  for (Integer i = std::min(firstVisibleTabIndex_, ChildCount()) - 1; i >= 0; --i) {
    if (!IsValidChild(Children(i))) continue;
    Integer w = width(i);
    tabsRects_[size_t(i)] = Rect(x - w, top, x, bottom);
    x -= w;
  }
  UpdateScrollButtonsEnabled();
}

void TdxTabContainerDockSite::UpdateScrollButtonsEnabled() {
  leftEnabled_ = PrevValidChildIndex(firstVisibleTabIndex_) >= 0;
  // With the left button on, the buttons stand at the strip's end and take room from the
  // tabs; the right button follows the last tab that is completely visible then.
  rightEnabled_ = NextValidChildIndex(LastVisibleTabIndex()) >= 0;
}

Integer TdxTabContainerDockSite::LastVisibleTabIndex() {
  if (!HandleAllocated() && tabsRects_.empty()) return ValidChildCount();
  if (ChildCount() != TabCount()) {
    TRect r = windowRect_.IsEmpty() ? Rect(0, 0, Width(), Height()) : windowRect_;
    CalculateNC(r);
  }
  if (ValidChildCount() <= 1 || firstVisibleTabIndex_ >= TabCount()) return firstVisibleTabIndex_;
  Integer h = Painter()->GetTabHorizOffset();
  bool buttons = tabsScroll_ && (leftEnabled_ || rightEnabled_);
  Integer limit = std::min(tabsRect_.Right, buttons ? scrollLeftRect_.Left - h : tabsRect_.Right);
  Integer last = firstVisibleTabIndex_;
  for (Integer i = std::max(firstVisibleTabIndex_, 0); i < TabCount(); ++i) {
    if (!IsValidChild(Children(i))) continue;
    if (tabsRects_[size_t(i)].Right > limit) break;
    last = i;
  }
  return last;
}

bool TdxTabContainerDockSite::ScrollLeft() {
  if (Width() == 0) return false;
  Integer i = PrevValidChildIndex(firstVisibleTabIndex_);
  if (i < 0) return false;
  firstVisibleTabIndex_ = i;
  InvalidateNC(true);
  return true;
}

bool TdxTabContainerDockSite::ScrollRight() {
  if (Width() == 0) return false;
  Integer i = NextValidChildIndex(firstVisibleTabIndex_);
  if (i < 0) return false;
  firstVisibleTabIndex_ = i;
  InvalidateNC(true);
  return true;
}

void TdxTabContainerDockSite::MakeActiveTabVisible() {
  if (IsLoading() || !ActiveChild() || ValidChildCount() < 2) return;
  Integer a = ActiveChild()->DockIndex();
  if (firstVisibleTabIndex_ <= a && a <= LastVisibleTabIndex()) return;
  // One recalculation and one repaint at the end, however many tabs the strip scrolls by.
  BeginUpdateNC();
  try {
    InvalidateNC(true);
    if (a < firstVisibleTabIndex_) {
      // Scrolling left ends with the active tab first.
      for (Integer i = firstVisibleTabIndex_; a < i && i >= 0;) {
        i = PrevValidChildIndex(i);
        if (i >= 0) firstVisibleTabIndex_ = i;
      }
    } else if (tabsScroll_ && Width() > 0) {
      // Scrolling right tab by tab stops at the first start from which the tabs up to the
      // active one end before the scroll buttons (shown once the strip has scrolled).
      Integer h = Painter()->GetTabHorizOffset();
      Integer room = scrollLeftRect_.Left - h - (tabsRect_.Left + h);
      Integer sum = 0;
      for (Integer i = firstVisibleTabIndex_; i <= a; ++i)
        if (IsValidChild(Children(i))) sum += GetTabWidth(Children(i));
      Integer f = firstVisibleTabIndex_;
      while (sum > room) {
        Integer next = NextValidChildIndex(f);
        if (next < 0 || next > a) break;
        sum -= GetTabWidth(Children(f));
        f = next;
      }
      firstVisibleTabIndex_ = f;
    }
    InvalidateNC(true);
    // What the arithmetic above left (equal widths without scrolling) goes tab by tab.
    while (a < firstVisibleTabIndex_)
      if (!ScrollLeft()) break;
    while (a > LastVisibleTabIndex())
      if (!ScrollRight()) break;
  } catch (...) {
    EndUpdateNC();
    throw;
  }
  EndUpdateNC();
}

// ---- painting ------------------------------------------------------------------------------

void TdxTabContainerDockSite::NCPaint(TCanvas* canvas) {
  TdxContainerDockSite::NCPaint(canvas);
  if (!HasTabs()) return;
  TdxDockControlPainter* p = Painter();
  TRect activeRect;
  if (ActiveChild() && ActiveChild()->DockIndex() < TabCount()) activeRect = tabsRects_[size_t(ActiveChild()->DockIndex())];
  if (!tabsRects_.empty()) p->DrawTabs(canvas, tabsRect_, activeRect, tabsPosition_);
  if (ScrollButtonsVisible()) {
    p->DrawTabsScrollRightButton(canvas, scrollRightRect_, rightPressed_, rightHot_, rightEnabled_, tabsPosition_);
    p->DrawTabsScrollLeftButton(canvas, scrollLeftRect_, leftPressed_, leftHot_, leftEnabled_, tabsPosition_);
    ExcludeClipRect(canvas->Handle(), scrollLeftRect_.Left - p->GetTabHorizOffset(), tabsRect_.Top, tabsRect_.Right,
                    tabsRect_.Bottom);
  }
  for (Integer i = 0; i < TabCount(); ++i) {
    TdxCustomDockControl* c = Children(i);
    const TRect& r = tabsRects_[size_t(i)];
    if (IsValidChild(c) && tabsRect_.Contains(TPoint(r.Left, r.Top)))
      p->DrawTab(canvas, c, r, c == ActiveChild(), tabsPosition_);
  }
}

// ---- mouse ---------------------------------------------------------------------------------

TPoint TdxTabContainerDockSite::ClientToWindowPoint(TPoint client) {
  return HandleAllocated() ? ScreenToWindow(ClientToScreen(client)) : client;
}

Integer TdxTabContainerDockSite::GetTabIndexAtPos(TPoint screen) {
  if (!HasTabs()) return -1;
  TPoint w = ScreenToWindow(screen);
  if (!tabsRect_.Contains(w)) return -1;
  if (ScrollButtonsVisible() && w.X >= scrollLeftRect_.Left - Painter()->GetTabHorizOffset()) return -1;
  for (Integer i = 0; i < TabCount(); ++i)
    if (IsValidChild(Children(i)) && tabsRects_[size_t(i)].Contains(w)) return i;
  return -1;
}

bool TdxTabContainerDockSite::IsTabsPoint(TPoint screen) { return HasTabs() && tabsRect_.Contains(ScreenToWindow(screen)); }

bool TdxTabContainerDockSite::IsScrollLeftButtonPoint(TPoint screen) {
  return HasTabs() && ScrollButtonsVisible() && scrollLeftRect_.Contains(ScreenToWindow(screen));
}

bool TdxTabContainerDockSite::IsScrollRightButtonPoint(TPoint screen) {
  return HasTabs() && ScrollButtonsVisible() && scrollRightRect_.Contains(ScreenToWindow(screen));
}

void TdxTabContainerDockSite::StartScrollTimer() {
  if (!HandleAllocated()) return;
  if (scrollTimerRunning_) KillTimer(Handle(), kScrollTimerId);
  SetTimer(Handle(), kScrollTimerId, UINT(Controller()->TabsScrollInterval(ParentForm())), nullptr);
  scrollTimerRunning_ = true;
}

void TdxTabContainerDockSite::DoScrollTimer(bool right) {
  POINT cursor;
  GetCursorPos(&cursor);
  TPoint p = cursor;
  if (right && rightPressed_) {
    if (IsScrollRightButtonPoint(p) && rightEnabled_) ScrollRight();
  } else if (!right && leftPressed_) {
    if (IsScrollLeftButtonPoint(p) && leftEnabled_) ScrollLeft();
  }
}

void TdxTabContainerDockSite::WndProc(TMessage& message) {
  if (message.Msg == WM_TIMER && message.WParam == kScrollTimerId) {
    if (rightPressed_)
      DoScrollTimer(true);
    else if (leftPressed_)
      DoScrollTimer(false);
    else {
      KillTimer(Handle(), kScrollTimerId);
      scrollTimerRunning_ = false;
    }
    return;
  }
  TdxContainerDockSite::WndProc(message);
}

bool TdxTabContainerDockSite::MouseLeftDown(TPoint client) {
  if (TdxContainerDockSite::MouseLeftDown(client)) return true;
  TPoint screen = HandleAllocated() ? ClientToScreen(client) : client;
  if (IsScrollRightButtonPoint(screen) || IsScrollLeftButtonPoint(screen)) {
    bool right = IsScrollRightButtonPoint(screen);
    if (right ? rightEnabled_ : leftEnabled_) {
      (right ? rightPressed_ : leftPressed_) = true;
      InvalidateNC(false);
      StartScrollTimer();
      SetMouseCapture(true);
    }
    return true;
  }
  Integer i = GetTabIndexAtPos(screen);
  if (i < 0) return false;
  SetMouseCapture(true);
  TdxCustomDockControl* c = Children(i);
  SetActiveChild(c);
  if (ActiveChild() == c) {
    Controller()->SetActiveDockControl(c);
    pressedTabIndex_ = i;
  }
  return true;
}

bool TdxTabContainerDockSite::MouseLeftUp(TPoint client) {
  if (TdxContainerDockSite::MouseLeftUp(client)) return true;
  if (rightPressed_ || leftPressed_) {
    SetMouseCapture(false);
    DoScrollTimer(rightPressed_);
    rightPressed_ = leftPressed_ = false;
    InvalidateNC(false);
    return true;
  }
  if (pressedTabIndex_ >= 0) {
    SetMouseCapture(false);
    pressedTabIndex_ = -1;
    return true;
  }
  return false;
}

bool TdxTabContainerDockSite::MouseMoved(TPoint client) {
  if (TdxContainerDockSite::MouseMoved(client)) return true;
  if (!FloatFormActive() && !IsParentFormActive() && !IsDesigning()) return false;
  TPoint screen = HandleAllocated() ? ClientToScreen(client) : client;
  bool right = IsScrollRightButtonPoint(screen), left = IsScrollLeftButtonPoint(screen);
  if (right != rightHot_ || left != leftHot_) {
    rightHot_ = right;
    leftHot_ = left;
    InvalidateNC(false);
  }
  if (pressedTabIndex_ >= 0) {
    if (GetTabIndexAtPos(screen) == pressedTabIndex_ || client == pressPoint_) return true;
    // Leaving the pressed tab drags its control away.
    SetMouseCapture(false);
    pressedTabIndex_ = -1;
    if (TdxCustomDockControl* c = ActiveChild()) c->StartDocking(ClientToScreen(pressPoint_));
    return true;
  }
  return false;
}

bool TdxTabContainerDockSite::MouseLeftDoubleClick(TPoint client) {
  if (TdxContainerDockSite::MouseLeftDoubleClick(client)) return true;
  TPoint screen = HandleAllocated() ? ClientToScreen(client) : client;
  if (IsScrollLeftButtonPoint(screen) || IsScrollRightButtonPoint(screen)) return false;
  Integer i = GetTabIndexAtPos(screen);
  if (i < 0 || IsDesigning() || !Options().Contains(doDblClickDocking) || AutoHide() || !Children(i)->Dockable())
    return false;
  if (OnStartDocking) OnStartDocking(this, screen.X, screen.Y);
  Children(i)->MakeFloatingAtCurrentPos();
  if (OnEndDocking) OnEndDocking(this, nullptr, screen.X, screen.Y);
  return true;
}

void TdxTabContainerDockSite::MouseLeft() {
  TdxContainerDockSite::MouseLeft();
  if (rightHot_ || leftHot_) {
    rightHot_ = leftHot_ = false;
    InvalidateNC(false);
  }
}
