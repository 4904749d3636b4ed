// TcxCustomTabControl (properties, selection, navigator buttons, mouse, wheel, keys, the
// stored client rectangle), TcxTabControl, TcxPageControl and TcxTabSheet.
#include <algorithm>

#include "pagecontrol/cxPC.h"
#include "pagecontrol/cxPCConsts.h"
#include "pagecontrol/cxPCGoDialog.h"
#include "pagecontrol/cxPCPainters.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/ControlMessages.h"

using namespace cxpc_consts;

namespace {

PTypeInfo TabPositionType() { return EnumTypeInfo("TcxTabPosition", {"tpTop", "tpBottom", "tpLeft", "tpRight"}); }
PTypeInfo NavigatorPositionType() {
  return EnumTypeInfo("TcxPCNavigatorPosition", {"npLeftTop", "npLeftBottom", "npRightTop", "npRightBottom"});
}
PTypeInfo OptionsType() {
  return SetTypeInfo("TcxPCOptions",
                     EnumTypeInfo("TcxPCOption", {"pcoCloseButton", "pcoFixedTabWidthWhenRotated", "pcoGoDialog",
                                                  "pcoGradient", "pcoGradientClientArea", "pcoNoArrows",
                                                  "pcoRedrawOnResize", "pcoSort", "pcoTopToBottomText",
                                                  "pcoUsePageColorForTab"}));
}
PTypeInfo BorderStyleType() { return EnumTypeInfo("TcxControlBorderStyle", {"cxcbsNone", "cxcbsDefault"}); }
PTypeInfo SlantKindType() { return EnumTypeInfo("TcxTabSlantKind", {"skCutCorner", "skSlant"}); }
PTypeInfo SlantPositionsType() {
  return SetTypeInfo("TcxTabSlantPositions", EnumTypeInfo("TcxTabSlantPosition", {"spLeft", "spRight"}));
}

TShiftState CurrentKeyShift() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  return s;
}

}  // namespace

// ---- published properties ------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomTabControl) {
  p.Enum("BorderStyle", &TcxCustomTabControl::BorderStyle, &TcxCustomTabControl::SetBorderStyle, BorderStyleType())
      .Default(cxcbsNone);
  p.Bool("Focusable", &TcxCustomTabControl::Focusable, &TcxCustomTabControl::SetFocusable).Default(true);
  p.Bool("HideTabs", &TcxCustomTabControl::HideTabs, &TcxCustomTabControl::SetHideTabs).Default(false);
  p.Bool("HotTrack", &TcxCustomTabControl::HotTrack, &TcxCustomTabControl::SetHotTrack).Default(false);
  p.Int("ImageBorder", &TcxCustomTabControl::ImageBorder, &TcxCustomTabControl::SetImageBorder).Default(0);
  p.Object("Images", &TcxCustomTabControl::Images, &TcxCustomTabControl::SetImages, TCustomImageList::StaticClass());
  p.Int("MaxRotatedTabWidth", &TcxCustomTabControl::MaxRotatedTabWidth, &TcxCustomTabControl::SetMaxRotatedTabWidth)
      .Default(0);
  p.Bool("MultiLine", &TcxCustomTabControl::MultiLine, &TcxCustomTabControl::SetMultiLine).Default(false);
  p.Enum("NavigatorPosition", &TcxCustomTabControl::NavigatorPosition, &TcxCustomTabControl::SetNavigatorPosition,
         NavigatorPositionType())
      .Default(npRightTop);
  p.Set("Options", &TcxCustomTabControl::Options, &TcxCustomTabControl::SetOptions, OptionsType())
      .Default(Int64(cxPCDefaultOptions.ToMask()));
  p.Bool("OwnerDraw", &TcxCustomTabControl::OwnerDraw, &TcxCustomTabControl::SetOwnerDraw).Default(false);
  p.Bool("RaggedRight", &TcxCustomTabControl::RaggedRight, &TcxCustomTabControl::SetRaggedRight).Default(false);
  p.Bool("Rotate", &TcxCustomTabControl::Rotate, &TcxCustomTabControl::SetRotate).Default(false);
  p.Bool("ScrollOpposite", &TcxCustomTabControl::ScrollOpposite, &TcxCustomTabControl::SetScrollOpposite)
      .Default(false);
  p.Bool("ShowFrame", &TcxCustomTabControl::ShowFrame, &TcxCustomTabControl::SetShowFrame).Default(false);
  p.Int("Style", &TcxCustomTabControl::Style, &TcxCustomTabControl::SetStyle).Default(0);
  p.Int("TabHeight", &TcxCustomTabControl::TabHeight, &TcxCustomTabControl::SetTabHeight).Default(0);
  p.Enum("TabPosition", &TcxCustomTabControl::TabPosition, &TcxCustomTabControl::SetTabPosition, TabPositionType())
      .Default(tpTop);
  p.Object("TabSlants", &TcxCustomTabControl::TabSlants, nullptr, TcxTabSlants::StaticClass());
  p.Int("TabWidth", &TcxCustomTabControl::TabWidth, &TcxCustomTabControl::SetTabWidth).Default(0);
  p.Event("OnCanClose", &TcxCustomTabControl::OnCanClose);
  p.Event("OnChange", &TcxCustomTabControl::OnChange);
  p.Event("OnDrawTab", &TcxCustomTabControl::OnDrawTab);
  p.Event("OnDrawTabEx", &TcxCustomTabControl::OnDrawTabEx);
  p.Event("OnGetImageIndex", &TcxCustomTabControl::OnGetImageIndex);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxTabSlants) {
  p.Enum("Kind", &TcxTabSlants::Kind, &TcxTabSlants::SetKind, SlantKindType()).Default(skSlant);
  p.Set("Positions", &TcxTabSlants::Positions, &TcxTabSlants::SetPositions, SlantPositionsType())
      .Default(Int64(TcxTabSlantPositions{spLeft}.ToMask()));
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxTabControl) {
  p.Object("Tabs", &TcxTabControl::Tabs, &TcxTabControl::SetTabs, TcxTabs::StaticClass());
  p.Int("TabIndex", &TcxTabControl::TabIndex, &TcxTabControl::SetTabIndex).Default(-1);
  p.Event("OnChanging", static_cast<TcxTabChangingEvent TcxTabControl::*>(&TcxTabControl::OnChanging));
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPageControl) {
  p.Object("ActivePage", &TcxPageControl::ActivePage, &TcxPageControl::SetActivePage, TcxTabSheet::StaticClass());
  p.Bool("DockSite", &TcxPageControl::DockSite, &TcxPageControl::SetDockSite).Default(false);
  p.Event("OnPageChanging", &TcxPageControl::OnPageChanging);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxTabSheet) {
  p.Bool("Highlighted", &TcxTabSheet::Highlighted, &TcxTabSheet::SetHighlighted).Default(false);
  p.Int("ImageIndex", &TcxTabSheet::ImageIndex, &TcxTabSheet::SetImageIndex).Default(-1);
  p.Int("PageIndex", &TcxTabSheet::PageIndex, &TcxTabSheet::SetPageIndex).Stored(false);
  p.Bool("TabVisible", &TcxTabSheet::TabVisible, &TcxTabSheet::SetTabVisible).Default(true);
  p.Event("OnShow", &TcxTabSheet::OnShow);
  p.Event("OnHide", &TcxTabSheet::OnHide);
}

// ---- construction --------------------------------------------------------------------------

TcxCustomTabControl::TcxCustomTabControl(TComponent* owner) : TcxControl(owner) {
  InitializeCxPC();
  ControlStyle() = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque,
                                 csParentBackground};
  SetBorderStyle(cxcbsNone);
  SetBounds(Left(), Top(), 289, 193);
  SetTabStop(true);
  tabs_ = std::make_unique<TcxTabs>(this);
  images_ = std::make_unique<TcxPCImageList>(this);
  images_->OnChange = [this] { ImagesChanged(); };
  tabSlants_ = std::make_unique<TcxTabSlants>(this);
  tabSlants_->OnChange = [this](TObject*) { LayoutChanged(); };
  ChoosePainter();
  if (!ComponentState().Contains(csDesigning)) goDialog_ = new TcxPCGoDialog(this);
}

TcxCustomTabControl::~TcxCustomTabControl() {
  if (timer_) timer_->Free();
  timer_ = nullptr;
  if (goDialog_) goDialog_->Free();
  goDialog_ = nullptr;
  images_.reset();
  tabs_.reset();
  tabSlants_.reset();
  visibleTabs_.Clear();
  if (painter_) {
    if (TcxPCPaintersFactory* f = TcxPCPaintersFactory::Instance())
      f->ReleasePainterInstance(painter_);
    else
      painter_->Free();
  }
  painter_ = nullptr;
}

void TcxCustomTabControl::BeforeDestruction() { TcxControl::BeforeDestruction(); }

bool TcxCustomTabControl::IsLoadingOrDestroying() const {
  return ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying);
}

bool TcxCustomTabControl::ChangeEventsLocked() const {
  return lockCount_ > 0 || ComponentState().Contains(csLoading) || ComponentState().Contains(csDesigning);
}

void TcxCustomTabControl::ChoosePainter() {
  TcxPCPaintersFactory* factory = PaintersFactory();
  TcxPCStyleID id = style_;
  if (id == cxPCDefaultStyle) {
    id = factory->GetStyleIDByLookAndFeel(LookAndFeel());
    if (id < 0) id = factory->GetDefaultStyleID(LookAndFeel());
  }
  TcxPCPainterClass cls = factory->GetPainterClass(id);
  if (painter_ && painter_->PainterClass() == cls) return;
  TcxPCCustomPainter* fresh = factory->GetPainterInstance(cls, this);
  if (painter_) factory->ReleasePainterInstance(painter_);
  painter_ = fresh;
  if (rotate_ && !cls->AllowRotate()) rotate_ = false;
  for (Integer i = 0; i < tabs_->Count(); ++i) tabs_->Tabs(i)->VerticalTextBitmap.reset();
}

void TcxCustomTabControl::CreateParams(TCreateParams& params) {
  TcxControl::CreateParams(params);
  params.WindowClassStyle &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TcxCustomTabControl::CreateWnd() {
  TcxControl::CreateWnd();
  LayoutChanged();
}

void TcxCustomTabControl::Loaded() {
  TcxControl::Loaded();
  Integer kept = tabIndex_;
  tabIndex_ = -1;
  LayoutChanged();
  LockChangeEvents();
  try {
    SetTabIndex(kept);
  } catch (...) {
    UnlockChangeEvents();
    throw;
  }
  UnlockChangeEvents();
}

void TcxCustomTabControl::Paint() {
  if (IsBeingDestroyed() || !painter_) return;
  painter_->Paint(Canvas());
}

void TcxCustomTabControl::Resize() {
  TcxControl::Resize();
  LayoutChanged();
  if (options_.Contains(pcoRedrawOnResize) && painter_ && painter_->NeedsRedrawOnResize()) InvalidateWithChildren();
}

TRect TcxCustomTabControl::GetPageClientRect() {
  if (ComponentState().Contains(csLoading))
    return clientRectRead_ ? readClientRect_ : TRect(0, 0, Width(), Height());
  if (!painter_) return TRect(0, 0, Width(), Height());
  TRect r = painter_->GetPageClientRect();
  r.Right = std::max(r.Right, r.Left);
  r.Bottom = std::max(r.Bottom, r.Top);
  return r;
}

void TcxCustomTabControl::AdjustClientRect(TRect& r) { r = GetPageClientRect(); }

void TcxCustomTabControl::DefineProperties(TFiler* filer) {
  TcxControl::DefineProperties(filer);
  auto* ancestor = dynamic_cast<TcxCustomTabControl*>(filer->Ancestor());
  TRect current = GetPageClientRect();
  TRect base = ancestor ? ancestor->GetPageClientRect() : TRect();
  struct TSide {
    const char* Name;
    Integer TRect::*Field;
    bool AlwaysStored;
  } sides[] = {{"ClientRectBottom", &TRect::Bottom, false},
               {"ClientRectLeft", &TRect::Left, false},
               {"ClientRectRight", &TRect::Right, true},
               {"ClientRectTop", &TRect::Top, true}};
  for (const TSide& s : sides) {
    bool hasData = ancestor ? current.*s.Field != base.*s.Field : (s.AlwaysStored || current.*s.Field != 0);
    bool isTop = s.Field == &TRect::Top;
    filer->DefineProperty(
        s.Name,
        [this, s, isTop](TReader& reader) {
          readClientRect_.*s.Field = reader.ReadInteger();
          if (isTop) clientRectRead_ = true;
        },
        [this, s](TWriter& writer) { writer.WriteInteger(GetPageClientRect().*s.Field); }, hasData);
  }
}

// ---- properties ----------------------------------------------------------------------------

void TcxCustomTabControl::SetHideTabs(bool v) {
  if (hideTabs_ == v) return;
  hideTabs_ = v;
  Invalidate();
  Realign();
}

void TcxCustomTabControl::SetHotTrack(bool v) {
  if (hotTrack_ == v) return;
  hotTrack_ = v;
  if (!v) ClearHover();
  UpdateHotTracking();
}

void TcxCustomTabControl::SetImageBorder(Integer v) {
  if (v < 0 || imageBorder_ == v) return;
  imageBorder_ = v;
  if (tabs_->Count() > 0) LayoutChanged();
}

void TcxCustomTabControl::SetImages(TCustomImageList* v) { images_->SetBaseImages(v); }

void TcxCustomTabControl::SetMaxRotatedTabWidth(Integer v) {
  if (v < 0) v = 0;
  if (v > 0 && painter_ && v < painter_->GetMinTabWidth(-1)) v = painter_->GetMinTabWidth(-1);
  if (maxRotatedTabWidth_ == v) return;
  maxRotatedTabWidth_ = v;
  if (rotate_ && tabs_->Count() > 0) LayoutChanged();
}

void TcxCustomTabControl::SetMultiLine(bool v) {
  if (multiLine_ == v) return;
  multiLine_ = v;
  LayoutChanged();
}

void TcxCustomTabControl::SetNavigatorPosition(TcxPCNavigatorPosition v) {
  if (navigatorPosition_ == v) return;
  navigatorPosition_ = v;
  LayoutChanged();
}

void TcxCustomTabControl::SetOptions(const TcxPCOptions& v) {
  if (options_ == v) return;
  TcxPCOptions changed = (options_ - v) + (v - options_);
  options_ = v;
  TcxPCOptions relayout{pcoCloseButton, pcoFixedTabWidthWhenRotated, pcoGoDialog, pcoGradient,
                        pcoGradientClientArea, pcoNoArrows, pcoTopToBottomText};
  if (!(changed * relayout).Empty())
    LayoutChanged();
  else if (changed.Contains(pcoUsePageColorForTab))
    Invalidate();
}

void TcxCustomTabControl::SetOwnerDraw(bool v) {
  if (ownerDraw_ == v) return;
  ownerDraw_ = v;
  Invalidate();
}

void TcxCustomTabControl::SetRaggedRight(bool v) {
  if (raggedRight_ == v) return;
  raggedRight_ = v;
  if (multiLine_) LayoutChanged();
}

void TcxCustomTabControl::SetRotate(bool v) {
  if (rotate_ == v) return;
  if (v && painter_ && !painter_->PainterClass()->AllowRotate())
    throw Exception(Format(scxPCAllowRotateError, {painter_->PainterClass()->GetStyleName()}));
  rotate_ = v;
  LayoutChanged();
}

void TcxCustomTabControl::SetScrollOpposite(bool v) {
  if (scrollOpposite_ == v) return;
  scrollOpposite_ = v;
  if (!multiLine_ || rowCount_ < 2 || !painter_) return;
  if (mainTab_ < 0) {
    Realign();
    return;
  }
  AssignVisibleRows();
  PlaceRows();
  CalculateTabAreas();
  Realign();
  Invalidate();
}

void TcxCustomTabControl::SetShowFrame(bool v) {
  if (showFrame_ == v) return;
  showFrame_ = v;
  LayoutChanged();
}

void TcxCustomTabControl::SetStyle(TcxPCStyleID v) {
  if (v == cxPCDefaultStyle) {
    style_ = v;
    ChoosePainter();
    LayoutChanged();
    return;
  }
  if (v == style_) return;
  TcxPCPaintersFactory* factory = PaintersFactory();
  if (!factory->GetPainterClass(v)) return;  // an unknown style is ignored
  style_ = v;
  ChoosePainter();
  LayoutChanged();
  InvalidateWithChildren();
}

void TcxCustomTabControl::SetTabHeight(Integer v) {
  if (tabHeight_ == v) return;
  tabHeight_ = v;
  LayoutChanged();
}

void TcxCustomTabControl::SetTabPosition(TcxTabPosition v) {
  if (tabPosition_ == v) return;
  tabPosition_ = v;
  LayoutChanged();
}

void TcxCustomTabControl::SetTabWidth(Integer v) {
  if (tabWidth_ == v) return;
  tabWidth_ = v;
  LayoutChanged();
}

void TcxCustomTabControl::LookAndFeelUpdated(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) {
  TcxControl::LookAndFeelUpdated(sender, changed);
  if (style_ == cxPCDefaultStyle) ChoosePainter();
  LayoutChanged();
  if (changed.Contains(lfvNativeStyle)) InvalidateWithChildren();
}

void TcxCustomTabControl::CMFontChanged(TMessage& m) {
  TcxControl::CMFontChanged(m);
  LayoutChanged();
}

void TcxCustomTabControl::CMEnabledChanged(TMessage& m) {
  TcxControl::CMEnabledChanged(m);
  for (Integer i = 0; i < tabs_->Count(); ++i) tabs_->Tabs(i)->VerticalTextBitmap.reset();
  Invalidate();
}

void TcxCustomTabControl::ImagesChanged() { LayoutChanged(); }

Integer TcxCustomTabControl::GetTabImageIndex(Integer tabIndex) {
  Integer index = tabs_->Tabs(tabIndex)->ImageIndex();
  if (OnGetImageIndex) OnGetImageIndex(this, tabIndex, index);
  if (!Images() || index >= Images()->Count()) return -1;
  return index;
}

TcxTab* TcxCustomTabControl::VisibleTabs(Integer visibleIndex) const {
  if (visibleIndex < 0 || visibleIndex >= visibleTabs_.Count())
    RaisePCError("TcxTabs", "GetVisibleTab",
                 Format(scxPCTabVisibleIndexOutsOfBounds, {visibleIndex, visibleTabs_.Count() - 1}));
  return tabs_->Tabs(visibleTabs_.TabIndexAt(visibleIndex));
}

// ---- changes and selection -----------------------------------------------------------------

void TcxCustomTabControl::TabChanged(TcxTab* tab, TcxTabChangeKind kind) {
  if (IsLoadingOrDestroying() || layoutInProgress_) return;
  if (kind == tckLayout || (tab && !tab->Visible())) {
    LayoutChanged();
    return;
  }
  if (tab) RepaintTab(tab->VisibleIndex(), kind);
}

void TcxCustomTabControl::RepaintTab(Integer visibleIndex, TcxTabChangeKind kind) {
  if (!painter_ || visibleIndex < 0 || visibleIndex >= visibleTabs_.Count() || IsLoadingOrDestroying()) return;
  painter_->RepaintTab(visibleIndex, kind);
}

void TcxCustomTabControl::SetMainTabFromTabIndex() {
  Integer main = tabIndex_ >= 0 ? visibleTabs_.IndexOf(tabIndex_) : -1;
  if (main == mainTab_) return;
  Integer old = mainTab_;
  mainTab_ = main;
  RepaintTab(old, tckMain);
  RepaintTab(main, tckMain);
  UpdateButtonsState();
}

bool TcxCustomTabControl::CanChange(Integer newTabIndex) {
  if (ChangeEventsLocked()) return true;
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TcxCustomTabControl::Change() {
  if (!ChangeEventsLocked() && OnChange) OnChange(this);
}

void TcxCustomTabControl::SetTabIndex(Integer v) {
  if (ComponentState().Contains(csLoading)) {
    tabIndex_ = v;
    return;
  }
  if (v < -1 || v >= tabs_->Count()) return;
  if (v >= 0 && SelectsOnlyVisibleTabs() && !tabs_->Tabs(v)->Visible()) v = -1;
  if (v == tabIndex_) return;
  TWeakRef<TcxCustomTabControl> alive(this);
  if (!CanChange(v) || !alive) return;
  tabIndex_ = -1;
  for (Integer i = 0; i < tabs_->Count(); ++i) tabs_->Tabs(i)->selected_ = false;
  multiSelection_ = false;
  SetTrackingTab(-1);
  tabIndex_ = v;
  SetMainTabFromTabIndex();
  if (multiLine_ && rowCount_ > 1) {
    AssignVisibleRows();
    PlaceRows();
    CalculateTabAreas();
    Realign();
    Invalidate();
  } else {
    MakeTabVisible(mainTab_);
    LayoutChanged();
  }
  UpdateButtonsState();
  UpdateHotTracking();
  Change();
}

void TcxCustomTabControl::SelectTabByClick(Integer visibleIndex, bool ctrl) {
  TcxTab* tab = VisibleTabs(visibleIndex);
  TcxPCPainterClass cls = painter_->PainterClass();
  if (multiSelection_ && cls->AllowMultiSelect() && ctrl) {
    if (visibleIndex == mainTab_)
      SetTabIndex(-1);
    else
      tab->SetSelected(!tab->Selected());
  } else {
    SetTabIndex(tab->Index());
  }
  NotifyDesignerModified();
}

bool TcxCustomTabControl::CanSelectTab(Integer tabIndex) {
  TcxTab* tab = tabs_->Tabs(tabIndex);
  return tab->Visible() && tab->Enabled();
}

bool TcxCustomTabControl::CanClose() {
  bool canClose = true;
  if (OnCanClose) OnCanClose(this, canClose);
  return canClose;
}

void TcxCustomTabControl::DoClose() {
  if (tabIndex_ >= 0) tabs_->Delete(tabIndex_);
}

void TcxCustomTabControl::GoDialogTabSelected(Integer tabIndex) {
  SetTabIndex(tabIndex);
  UpdateHotTracking();
}

void TcxCustomTabControl::PrepareTabFont(TFont* font, Integer visibleIndex) {
  TcxTab* tab = VisibleTabs(visibleIndex);
  TColor color = clBtnText;
  if (tab->Highlighted())
    color = clHighlightText;
  else if (visibleIndex == hotTab_)
    color = clHotLight;
  font->SetColor(color);
  if (OnDrawTabEx) OnDrawTabEx(this, tab, font);
}

// ---- navigator buttons ---------------------------------------------------------------------

void TcxCustomTabControl::SetButtonState(TcxPCNavigatorButton b, TcxPCNavigatorButtonState s) {
  if (buttonStates_[b] == s) return;
  buttonStates_[b] = s;
  if (s == nbsDisabled) {
    hotButtons_ -= b;
    pressedButtons_ -= b;
    if (pressedButtons_.Empty() && timer_) timer_->SetEnabled(false);
  }
  if (painter_ && navigatorButtons_.Contains(b)) painter_->RepaintNavigatorButton(b);
}

void TcxCustomTabControl::UpdateButtonsState() {
  auto update = [&](TcxPCNavigatorButton b, bool available) {
    if (!available)
      SetButtonState(b, nbsDisabled);
    else if (buttonStates_[b] == nbsDisabled)
      SetButtonState(b, nbsNormal);
  };
  update(nbTopLeft, IsArrowEnabled(nbTopLeft));
  update(nbBottomRight, IsArrowEnabled(nbBottomRight));
  update(nbClose, mainTab_ >= 0);
  update(nbGoDialog, true);
}

void TcxCustomTabControl::CancelButtonPress() {
  if (timer_) timer_->SetEnabled(false);
  for (TcxPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose})
    if (pressedButtons_.Contains(b) && buttonStates_[b] == nbsPressed) SetButtonState(b, nbsNormal);
  pressedButtons_.Clear();
}

void TcxCustomTabControl::ArrowTimerTick(TObject*) {
  timer_->SetInterval(150);
  for (TcxPCNavigatorButton b : {nbTopLeft, nbBottomRight})
    if (pressedButtons_.Contains(b)) {
      ScrollOneStep((b == nbBottomRight) != IsTabsReversed());
      return;
    }
  timer_->SetEnabled(false);
}

void TcxCustomTabControl::ChangeTabState(Integer& field, Integer visibleIndex, TcxTabChangeKind kind) {
  if (field == visibleIndex) return;
  Integer old = field;
  field = visibleIndex;
  RepaintTab(old, kind);
  RepaintTab(visibleIndex, kind);
}

void TcxCustomTabControl::SetHotTab(Integer visibleIndex) { ChangeTabState(hotTab_, visibleIndex, tckHot); }
void TcxCustomTabControl::SetPressedTab(Integer visibleIndex) { ChangeTabState(pressedTab_, visibleIndex, tckPressed); }
void TcxCustomTabControl::SetTrackingTab(Integer visibleIndex) {
  ChangeTabState(trackingTab_, visibleIndex, tckTracking);
}

void TcxCustomTabControl::ClearHover() {
  for (TcxPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose})
    if (hotButtons_.Contains(b) && buttonStates_[b] == nbsHotTrack) SetButtonState(b, nbsNormal);
  hotButtons_.Clear();
  SetHotTab(-1);
}

void TcxCustomTabControl::UpdateHotTracking() {
  if (!painter_ || !(hotTrack_ || painter_->IsNativePainting()) || !Enabled() || !HandleAllocated() ||
      goDialogShown_ || IsLoadingOrDestroying() || ComponentState().Contains(csDesigning))
    return;
  TPoint p;
  QueryCursorPos(p);
  p = ScreenToClient(p);
  bool inside = ClientRect().Contains(p) && WindowFromPoint(ClientToScreen(p)) == Handle();
  bool leftDown = GetAsyncKeyState(VK_LBUTTON) < 0;
  Integer b = inside && !hideTabs_ ? painter_->GetNavigatorButtonAtPoint(p) : -1;
  Integer hot = -1;
  if (!leftDown && b >= 0 && buttonStates_[b] != nbsPressed && buttonStates_[b] != nbsDisabled) hot = b;
  for (TcxPCNavigatorButton x : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose})
    if (hotButtons_.Contains(x) && x != hot) {
      hotButtons_ -= x;
      if (buttonStates_[x] == nbsHotTrack) SetButtonState(x, nbsNormal);
    }
  if (hot >= 0) {
    hotButtons_ = TcxPCNavigatorButtons{TcxPCNavigatorButton(hot)};
    SetButtonState(TcxPCNavigatorButton(hot), nbsHotTrack);
  }
  Integer tab = -1;
  if (inside && b < 0 && !hideTabs_ && !(leftDown && painter_->PainterClass()->IsButtonLikeTabs())) {
    tab = GetTabIndexAtPoint(p);
    if (tab >= 0 && !VisibleTabs(tab)->Enabled()) tab = -1;
  }
  SetHotTab(tab);
}

void TcxCustomTabControl::NotifyMouseLeave(TControl* control) {
  TcxControl::NotifyMouseLeave(control);
  if (!goDialogShown_) ClearHover();
}

void TcxCustomTabControl::OpenGoDialog() {
  if (!goDialog_) return;
  goDialogShown_ = true;
  ClearHover();
  TWeakRef<TcxCustomTabControl> alive(this);
  try {
    goDialog_->Show();
  } catch (...) {
    if (alive) goDialogShown_ = false;
    throw;
  }
  if (!alive) return;
  goDialogShown_ = false;
  pressedButtons_.Clear();
  if (buttonStates_[nbGoDialog] == nbsPressed) SetButtonState(nbGoDialog, nbsNormal);
  if (painter_) painter_->RepaintNavigatorButton(nbGoDialog);
}

// ---- mouse ---------------------------------------------------------------------------------

Integer TcxCustomTabControl::GetTabIndexAtPoint(const TPoint& p) {
  if (!painter_ || rowCount_ == 0) return -1;
  Integer first = 0, last = visibleTabs_.Count() - 1;
  if (!(multiLine_ && rowCount_ > 1)) {
    first = std::max(firstVisibleTab_, 0);
    last = std::min(lastVisibleTab_, last);
  }
  for (Integer i = first; i <= last && i >= 0; ++i)
    if (VisibleTabs(i)->VisibleRect().Contains(p) && painter_->IsPointInTab(i, p)) return i;
  return -1;
}

bool TcxCustomTabControl::FocusesOnClickAt(Integer x, Integer y) {
  return focusable_ && TcxControl::FocusesOnClickAt(x, y);
}

void TcxCustomTabControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomTabControl> alive(this);
  TcxControl::MouseDown(button, shift, x, y);
  if (!alive || button != mbLeft || !painter_) return;
  bool designing = ComponentState().Contains(csDesigning);
  if (hideTabs_ && !designing) return;
  TPoint p(x, y);
  Integer b = painter_->GetNavigatorButtonAtPoint(p);
  if (b >= 0) {
    auto nb = TcxPCNavigatorButton(b);
    if (buttonStates_[nb] == nbsPressed || buttonStates_[nb] == nbsDisabled) return;
    hotButtons_ -= nb;
    pressedButtons_ = TcxPCNavigatorButtons{nb};
    SetButtonState(nb, nbsPressed);
    if (nb == nbTopLeft || nb == nbBottomRight) {
      ScrollOneStep((nb == nbBottomRight) != IsTabsReversed());
      if (alive && pressedButtons_.Contains(nb)) {
        if (!timer_) {
          timer_ = new TcxTimer(nullptr);
          timer_->SetEnabled(false);
          timer_->SetOnTimer([this](TObject* s) { ArrowTimerTick(s); });
        }
        timer_->SetEnabled(false);
        timer_->SetInterval(300);
        timer_->SetEnabled(true);
      }
    }
    return;
  }
  Integer vi = GetTabIndexAtPoint(p);
  if (vi < 0) return;
  TcxTab* tab = VisibleTabs(vi);
  if (!tab->Enabled() && !designing) return;
  if (painter_->PainterClass()->IsButtonLikeTabs() && !designing) {
    SetPressedTab(vi);
    return;
  }
  SelectTabByClick(vi, shift.Contains(ssCtrl));
}

void TcxCustomTabControl::MouseMove(TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomTabControl> alive(this);
  TcxControl::MouseMove(shift, x, y);
  if (!alive || !painter_) return;
  TPoint p(x, y);
  if (!pressedButtons_.Empty()) {
    Integer b = painter_->GetNavigatorButtonAtPoint(p);
    if (b < 0 || !pressedButtons_.Contains(TcxPCNavigatorButton(b))) CancelButtonPress();
  }
  if (pressedTab_ >= 0 && GetTabIndexAtPoint(p) != pressedTab_) SetPressedTab(-1);
  UpdateHotTracking();
}

void TcxCustomTabControl::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomTabControl> alive(this);
  TcxControl::MouseUp(button, shift, x, y);
  if (!alive || button != mbLeft || !painter_) return;
  if (timer_) timer_->SetEnabled(false);
  if (!pressedButtons_.Empty()) {
    TcxPCNavigatorButton nb = nbTopLeft;
    for (TcxPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose})
      if (pressedButtons_.Contains(b)) nb = b;
    if (buttonStates_[nb] == nbsDisabled) {
      pressedButtons_.Clear();
      return;
    }
    if (nb == nbGoDialog && !ComponentState().Contains(csDesigning)) {
      OpenGoDialog();
      if (alive) UpdateHotTracking();
      return;
    }
    pressedButtons_.Clear();
    SetButtonState(nb, nbsNormal);
    if (nb == nbClose) {
      Update();
      if (CanClose() && alive) DoClose();
    }
    if (alive) UpdateHotTracking();
    return;
  }
  if (pressedTab_ >= 0) {
    Integer vi = pressedTab_;
    SetPressedTab(-1);
    if (GetTabIndexAtPoint(TPoint(x, y)) == vi) SelectTabByClick(vi, shift.Contains(ssCtrl));
  }
  if (alive) UpdateHotTracking();
}

bool TcxCustomTabControl::DoMouseWheel(TShiftState shift, Integer delta, TPoint mousePos) {
  if (painter_ && !(multiLine_ && rowCount_ > 1) && visibleTabs_.Count() > 0 && firstVisibleTab_ >= 0 &&
      rowCount_ > 0) {
    TPoint p = HandleAllocated() ? ScreenToClient(mousePos) : mousePos;
    TRect r = VisibleTabs(firstVisibleTab_)->FullRect();
    bool within = IsVerticalStrip() ? p.X >= r.Left && p.X < r.Right : p.Y >= r.Top && p.Y < r.Bottom;
    if (within) {
      Integer notches = std::max(1, std::abs(delta) / WHEEL_DELTA);
      ScrollTabs(delta < 0 ? notches : -notches);
      return true;
    }
  }
  return TcxControl::DoMouseWheel(shift, delta, mousePos);
}

// ---- keyboard ------------------------------------------------------------------------------

void TcxCustomTabControl::WMGetDlgCode(TMessage& m) {
  TcxControl::WMGetDlgCode(m);
  m.Result |= DLGC_WANTARROWS;
}

Integer TcxCustomTabControl::FindNextEnabledTab(Integer from, bool forward, bool wrap) {
  Integer vc = visibleTabs_.Count();
  Integer i = from;
  for (Integer step = 0; step < vc; ++step) {
    i += forward ? 1 : -1;
    if (i < 0 || i >= vc) {
      if (!wrap) return -1;
      i = (i + vc) % vc;
    }
    if (VisibleTabs(i)->Enabled()) return i;
  }
  return -1;
}

bool TcxCustomTabControl::DoKeyDown(Word key, TShiftState shift) {
  if (hideTabs_ || visibleTabs_.Count() == 0) return false;
  TShiftState mods = shift * TShiftState{ssShift, ssAlt, ssCtrl};
  if (mods == TShiftState{ssAlt} || mods == TShiftState{ssShift, ssAlt}) return false;
  bool reversed = IsTabsReversed();
  bool ctrlTab = key == VK_TAB && mods.Contains(ssCtrl);
  Integer vc = visibleTabs_.Count();
  Integer from = trackingTab_ >= 0 ? trackingTab_ : mainTab_;
  Integer found = -1;
  auto step = [&](bool forward, bool wrap) {
    if (reversed && !ctrlTab) forward = !forward;
    Integer start = from >= 0 ? from : (forward ? -1 : vc);
    if (from < 0 && wrap) start = forward ? -1 : vc;
    return FindNextEnabledTab(start, forward, wrap);
  };
  switch (key) {
    case VK_TAB:
      if (!mods.Contains(ssCtrl)) return false;
      found = step(!mods.Contains(ssShift), true);
      break;
    case VK_LEFT:
    case VK_UP:
      found = step(false, false);
      break;
    case VK_RIGHT:
    case VK_DOWN:
      found = step(true, false);
      break;
    case VK_HOME:
      found = reversed ? FindNextEnabledTab(vc, false, false) : FindNextEnabledTab(-1, true, false);
      break;
    case VK_END:
      found = reversed ? FindNextEnabledTab(-1, true, false) : FindNextEnabledTab(vc, false, false);
      break;
    case VK_RETURN:
    case VK_SPACE:
      if (trackingTab_ < 0) return false;
      SelectTabByClick(trackingTab_, false);
      return true;
    default:
      return false;
  }
  if (found < 0) return true;  // consumed without effect
  if (painter_->PainterClass()->IsButtonLikeTabs() && !ctrlTab) {
    SetTrackingTab(found);
    MakeTabVisible(found);
    return true;
  }
  if (found != mainTab_) SetTabIndex(VisibleTabs(found)->Index());
  return true;
}

void TcxCustomTabControl::KeyDown(Word& key, TShiftState shift) {
  TcxControl::KeyDown(key, shift);
  if (key != 0 && DoKeyDown(key, shift)) key = 0;
}

void TcxCustomTabControl::CMDialogKey(TMessage& m) {
  HWND focus = GetFocus();
  bool ours = HandleAllocated() && focus && (focus == Handle() || IsChild(Handle(), focus));
  if (ours && (m.WParam == VK_TAB || m.WParam == VK_LEFT || m.WParam == VK_RIGHT || m.WParam == VK_UP ||
               m.WParam == VK_DOWN || m.WParam == VK_HOME || m.WParam == VK_END)) {
    TShiftState shift = CurrentKeyShift();
    bool tabKey = m.WParam == VK_TAB;
    // Arrows reach the tabs only when the control itself has the focus.
    if ((tabKey && shift.Contains(ssCtrl)) || (!tabKey && focus == Handle())) {
      if (DoKeyDown(Word(m.WParam), shift)) {
        m.Result = 1;
        return;
      }
    }
  }
  TcxControl::CMDialogKey(m);
}

bool TcxCustomTabControl::DialogCharToTab(char32_t ch) {
  for (Integer i = 0; i < visibleTabs_.Count(); ++i) {
    TcxTab* tab = VisibleTabs(i);
    if (IsAccel(ch, tab->Caption()) && CanSelectTab(tab->Index()) && CanFocus()) {
      SetTabIndex(tab->Index());
      return true;
    }
  }
  return false;
}

void TcxCustomTabControl::CMDialogChar(TMessage& m) {
  if (!hideTabs_ && DialogCharToTab(char32_t(m.WParam))) {
    m.Result = 1;
    return;
  }
  TcxControl::CMDialogChar(m);
}

void TcxCustomTabControl::DoEnter() {
  TcxControl::DoEnter();
  RepaintTab(mainTab_, tckFocus);
}

void TcxCustomTabControl::DoExit() {
  TcxControl::DoExit();
  RepaintTab(mainTab_, tckFocus);
}

void TcxCustomTabControl::WndProc(TMessage& m) { TcxControl::WndProc(m); }

// ---- TcxTabControl -------------------------------------------------------------------------

TcxTabControl::TcxTabControl(TComponent* owner) : TcxCustomTabControl(owner) {}

// ---- TcxPageControl ------------------------------------------------------------------------

TcxPageControl::TcxPageControl(TComponent* owner) : TcxCustomTabControl(owner) {}

TcxPageControl::~TcxPageControl() {
  // The pages leave first, so that their removal finds the control still whole.
  while (!pages_.empty()) {
    TcxTabSheet* page = pages_.back();
    pages_.pop_back();
    page->pageControl_ = nullptr;
  }
  activePage_ = nullptr;
}

TcxTabSheet* TcxPageControl::Pages(Integer index) const {
  if (index < 0 || index >= PageCount()) throw EListError(Format("List index out of bounds (%d)", {index}));
  return pages_[size_t(index)];
}

Integer TcxPageControl::ActivePageIndex() const {
  if (!activePage_) return -1;
  auto it = std::find(pages_.begin(), pages_.end(), activePage_);
  return it == pages_.end() ? -1 : Integer(it - pages_.begin());
}

void TcxPageControl::SetActivePageIndex(Integer v) {
  if (v < 0 || v >= PageCount())
    SetActivePage(nullptr);
  else
    SetActivePage(pages_[size_t(v)]);
}

TWinControl* TcxPageControl::GetPageOfMainTab() { return activePage_; }

TWinControl* TcxPageControl::GetPageOfTab(Integer tabIndex) {
  return tabIndex >= 0 && tabIndex < PageCount() ? pages_[size_t(tabIndex)] : nullptr;
}

bool TcxPageControl::CallPageChanging(TcxTabSheet* page) {
  if (ChangeEventsLocked()) return true;
  bool allow = true;
  if (OnPageChanging) OnPageChanging(this, page, allow);
  return allow;
}

bool TcxPageControl::CanChange(Integer newTabIndex) {
  if (!TcxCustomTabControl::CanChange(newTabIndex)) return false;
  if (newTabIndex == -1) return true;
  return CallPageChanging(pages_[size_t(newTabIndex)]);
}

void TcxPageControl::Change() {
  LockChangeEvents();
  try {
    SyncActivePageWithTab();
  } catch (...) {
    UnlockChangeEvents();
    throw;
  }
  UnlockChangeEvents();
  TcxCustomTabControl::Change();
}

void TcxPageControl::SyncActivePageWithTab() {
  Integer i = TabIndex();
  ChangeActivePage(i >= 0 && i < PageCount() ? pages_[size_t(i)] : nullptr);
}

void TcxPageControl::SetActivePage(TcxTabSheet* page) {
  if (page && page->PageControl() != this) return;
  if (ComponentState().Contains(csLoading)) {
    activePage_ = page;
    return;
  }
  ChangeActivePage(page);
  if (activePage_ == page) {
    LockChangeEvents();
    try {
      SetTabIndex(page && page->TabVisible() ? page->TabIndex() : -1);
    } catch (...) {
      UnlockChangeEvents();
      throw;
    }
    UnlockChangeEvents();
  }
}

void TcxPageControl::ChangeActivePage(TcxTabSheet* page) {
  if (activePage_ == page || changingPage_) return;
  if (!CallPageChanging(page)) return;
  changingPage_ = true;
  struct TReset {
    bool& flag;
    ~TReset() { flag = false; }
  } reset{changingPage_};
  TCustomForm* form = GetParentForm(this);
  TWinControl* active = form ? form->ActiveControl() : nullptr;
  if (form && activePage_ && active && activePage_->ContainsControl(active)) {
    form->SetActiveControl(activePage_);
    if (form->ActiveControl() != activePage_) {
      LockChangeEvents();
      SetTabIndex(activePage_->TabIndex());
      UnlockChangeEvents();
      return;
    }
  }
  active = form ? form->ActiveControl() : nullptr;
  TWinControl* focusTarget = nullptr;
  if (page && form && active == activePage_ && activePage_ && page->Enabled() && Enabled() && Visible() &&
      Parent() && Parent()->CanFocus())
    focusTarget = page;
  else if (form && activePage_ && active == activePage_)
    focusTarget = this;
  TcxTabSheet* old = activePage_;
  if (old) old->SetVisible(false);
  if (page) {
    page->BringToFront();
    page->SetVisible(true);
    page->Invalidate();
  }
  if (focusTarget && focusTarget->CanFocus()) focusTarget->SetFocus();
  activePage_ = page;
  if (!ChangeEventsLocked() && OnChange) OnChange(this);
  if (form && page && form->ActiveControl() == page)
    if (TWinControl* first = page->FindNextControl(nullptr, true, true, false)) first->SetFocus();
  NotifyDesignerModified();
}

void TcxPageControl::InsertPage(TcxTabSheet* page) {
  pages_.push_back(page);
  page->pageControl_ = this;
  inserting_ = true;
  try {
    Tabs()->AddObject(page->Caption(), page);
  } catch (...) {
    inserting_ = false;
    throw;
  }
  inserting_ = false;
  page->SetParent(this);
  UpdateTabFromPage(page);
}

void TcxPageControl::RemovePage(TcxTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  TcxTabSheet* next = FindNextPage(page, true, !ComponentState().Contains(csDesigning));
  Integer index = Integer(it - pages_.begin());
  pages_.erase(it);
  page->pageControl_ = nullptr;
  bool wasActive = activePage_ == page;
  if (wasActive) activePage_ = nullptr;
  if (!IsLoadingOrDestroying() || index < Tabs()->Count()) {
    LockChangeEvents();
    tabIndex_ = -1;
    UnlockChangeEvents();
    if (index < Tabs()->Count()) Tabs()->Delete(index);
  }
  if (!IsBeingDestroyed()) {
    if (wasActive)
      SetActivePage(next == page ? nullptr : next);
    else if (activePage_) {
      LockChangeEvents();
      SetTabIndex(activePage_->TabVisible() ? activePage_->TabIndex() : -1);
      UnlockChangeEvents();
    }
  }
}

void TcxPageControl::MovePage(TcxTabSheet* page, Integer newIndex) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  Integer old = Integer(it - pages_.begin());
  if (newIndex < 0 || newIndex >= PageCount())
    throw EListError(Format("List index out of bounds (%d)", {newIndex}));
  if (old == newIndex) return;
  pages_.erase(it);
  pages_.insert(pages_.begin() + newIndex, page);
  Tabs()->Move(old, newIndex);
  UpdateTabFromPage(page);
  LockChangeEvents();
  tabIndex_ = ActivePageIndex() >= 0 && activePage_->TabVisible() ? ActivePageIndex() : -1;
  SetMainTabFromTabIndex();
  UnlockChangeEvents();
  LayoutChanged();
}

void TcxPageControl::UpdateTabFromPage(TcxTabSheet* page) {
  if (ComponentState().Contains(csLoading)) return;
  Integer i = page->TabIndex();
  if (i < 0 || i >= Tabs()->Count()) return;
  TcxTab* tab = Tabs()->Tabs(i);
  tab->SetCaption(page->Caption());
  tab->SetEnabled(page->Enabled());
  tab->SetImageIndex(page->ImageIndex());
  tab->SetHighlighted(page->Highlighted());
  tab->SetVisible(page->TabVisible());
  if (page == activePage_) {
    LockChangeEvents();
    SetTabIndex(page->TabVisible() ? i : -1);
    UnlockChangeEvents();
  }
}

TcxTabSheet* TcxPageControl::FindNextPage(TcxTabSheet* current, bool goForward, bool checkTabVisible) {
  Integer count = PageCount();
  if (count == 0) return nullptr;
  auto it = std::find(pages_.begin(), pages_.end(), current);
  Integer start = it == pages_.end() ? (goForward ? count - 1 : 0) : Integer(it - pages_.begin());
  Integer i = start;
  do {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    TcxTabSheet* page = pages_[size_t(i)];
    if (!checkTabVisible || (page->TabVisible() && page->Enabled())) return page;
  } while (i != start);
  return nullptr;
}

void TcxPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  if (TcxTabSheet* page = FindNextPage(activePage_, goForward, checkTabVisible)) SetActivePage(page);
}

void TcxPageControl::DoClose() {
  if (activePage_) activePage_->Free();
}

void TcxPageControl::ImagesChanged() {
  if (!inserting_)
    for (TcxTabSheet* page : pages_) UpdateTabFromPage(page);
  TcxCustomTabControl::ImagesChanged();
}

void TcxPageControl::Loaded() {
  TcxTabSheet* active = activePage_;
  TcxCustomTabControl::Loaded();
  // Without a stored active page the stored tab index chooses it.
  if (!active) active = activePage_;
  for (TcxTabSheet* page : pages_) UpdateTabFromPage(page);
  activePage_ = nullptr;
  LockChangeEvents();
  if (active && !ComponentState().Contains(csDesigning) && !active->Enabled()) active = nullptr;
  SetActivePage(active);
  for (TcxTabSheet* page : pages_)
    if (page != activePage_) page->SetVisible(false);
  UnlockChangeEvents();
}

bool TcxPageControl::FocusesOnClickAt(Integer x, Integer y) {
  if (!TcxCustomTabControl::FocusesOnClickAt(x, y)) return false;
  Integer vi = GetTabIndexAtPoint(TPoint(x, y));
  return vi >= 0 && vi == MainTab();
}

void TcxPageControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TcxTabSheet* page : pages_) proc(page);
}

void TcxPageControl::ShowControl(TControl* c) {
  if (auto* page = dynamic_cast<TcxTabSheet*>(c))
    if (page->PageControl() == this) SetActivePage(page);
  TcxCustomTabControl::ShowControl(c);
}

void TcxPageControl::Notification(TComponent* c, TOperation op) {
  TcxCustomTabControl::Notification(c, op);
}

// ---- TcxTabSheet ---------------------------------------------------------------------------

TcxTabSheet::TcxTabSheet(TComponent* owner) : TCustomControl(owner) {
  ControlStyle() = TControlStyle{csAcceptsControls, csNoDesignVisible, csParentBackground};
  SetAlign(alClient);
  SetVisible(false);
  SetTabStop(false);
}

TcxTabSheet::~TcxTabSheet() {
  if (pageControl_) pageControl_->RemovePage(this);
}

TcxTab* TcxTabSheet::Tab() const {
  Integer i = TabIndex();
  return i >= 0 ? pageControl_->Tabs()->Tabs(i) : nullptr;
}

Integer TcxTabSheet::TabIndex() const { return PageIndex(); }

Integer TcxTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  auto& pages = pageControl_->pages_;
  auto it = std::find(pages.begin(), pages.end(), this);
  return it == pages.end() ? -1 : Integer(it - pages.begin());
}

void TcxTabSheet::SetPageIndex(Integer v) {
  if (!pageControl_) return;
  if (v > pageControl_->PageCount() - 1)
    throw EListError(Format(cxpc_consts::scxPCPageIndexError, {v, pageControl_->PageCount() - 1}));
  pageControl_->MovePage(this, v);
}

void TcxTabSheet::SetPageControl(TcxPageControl* v) {
  if (pageControl_ == v) return;
  if (pageControl_) pageControl_->RemovePage(this);
  if (!v) {
    TCustomControl::SetParent(nullptr);
    return;
  }
  v->InsertPage(this);
  if (!v->ComponentState().Contains(csLoading) && !v->ActivePage()) v->SetActivePage(this);
}

void TcxTabSheet::SetParent(TWinControl* parent) {
  if (parent && !dynamic_cast<TcxPageControl*>(parent)) Abort();
  if (parent && parent != pageControl_) {
    SetPageControl(static_cast<TcxPageControl*>(parent));
    return;
  }
  if (!parent && pageControl_) {
    SetPageControl(nullptr);
    return;
  }
  TCustomControl::SetParent(parent);
}

void TcxTabSheet::SetParentComponent(TComponent* value) {
  if (auto* pc = dynamic_cast<TcxPageControl*>(value)) SetPageControl(pc);
}

TComponent* TcxTabSheet::GetParentComponent() const { return pageControl_; }

void TcxTabSheet::UpdateTab() {
  if (pageControl_) pageControl_->UpdateTabFromPage(this);
}

void TcxTabSheet::SetHighlighted(bool v) {
  if (highlighted_ == v) return;
  highlighted_ = v;
  UpdateTab();
}

void TcxTabSheet::SetImageIndex(Integer v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  UpdateTab();
}

void TcxTabSheet::SetTabVisible(bool v) {
  if (tabVisible_ == v) return;
  tabVisible_ = v;
  UpdateTab();
  if (v && pageControl_ && pageControl_->PageCount() == 1 && !pageControl_->ActivePage() &&
      !pageControl_->ComponentState().Contains(csLoading))
    pageControl_->SetActivePage(this);
}

void TcxTabSheet::CMTextChanged(TMessage& m) {
  TCustomControl::CMTextChanged(m);
  UpdateTab();
}

void TcxTabSheet::CMEnabledChanged(TMessage& m) {
  TCustomControl::CMEnabledChanged(m);
  UpdateTab();
}

void TcxTabSheet::CMColorChanged(TMessage& m) {
  TCustomControl::CMColorChanged(m);
  if (pageControl_ && !pageControl_->IsLoadingOrDestroying()) {
    Integer i = TabIndex();
    if (i >= 0) pageControl_->TabChanged(pageControl_->Tabs()->Tabs(i), tckLayout);
  }
  Invalidate();
}

void TcxTabSheet::CMShowingChanged(TMessage& m) {
  TCustomControl::CMShowingChanged(m);
  bool showing = Showing();
  if (showing == wasShowing_) return;
  wasShowing_ = showing;
  try {
    if (showing && OnShow) OnShow(this);
    if (!showing && OnHide) OnHide(this);
  } catch (Exception& e) {
    Application->HandleException(this);
  }
}

void TcxTabSheet::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.WindowClassStyle &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TcxTabSheet::WMEraseBkgnd(TMessage& m) { m.Result = 1; }

void TcxTabSheet::Paint() {
  if (!pageControl_ || !pageControl_->Painter()) return;
  TcxCanvas canvas(Canvas());
  TRect r = ClientRect();
  pageControl_->Painter()->PaintPageClientArea(&canvas, r);
}

// ---- unit start ----------------------------------------------------------------------------

void InitializeCxPC() {
  InitUnit(
      "cxPC",
      [] {
        InitializeCxControls();
        InitializeCxPCPainters();
        RegisterClass(TcxTabControl::StaticClass());
        RegisterClass(TcxPageControl::StaticClass());
        RegisterClass(TcxTabSheet::StaticClass());
      },
      nullptr);
}
