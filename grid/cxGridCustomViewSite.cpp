// The site (a view's own window) and the base view controller: the site hands every input,
// focus, scrolling, cursor and drag-and-drop message to the controller, which turns the mouse
// into calls on the cell under it and shows cell hints.
#include <algorithm>

#include "data/cxCustomData.h"
#include "foundation/cxGeometry.h"
#include "grid/cxGrid.h"
#include "grid/cxGridCustomView.h"
#include "grid/cxGridCustomizationForm.h"
#include "grid/cxGridDragAndDrop.h"
#include "user/Windows.h"
#include "vcl/ControlMessages.h"

KORVAN_IMPLEMENT_CLASS(TcxGridSite)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridController)

namespace {
constexpr Cardinal kCnKeyDown = CN_BASE + WM_KEYDOWN;
constexpr Cardinal kCnSysKeyDown = CN_BASE + WM_SYSKEYDOWN;
constexpr Cardinal kCnSysChar = CN_BASE + WM_SYSCHAR;
constexpr Integer kParkedLeft = 30000;

}  // namespace

bool HoldsInputFocus(TWinControl* control) {
  if (!control || !control->HandleAllocated()) return false;
  HWND focus = GetFocus();
  return focus && (focus == control->Handle() || IsChild(control->Handle(), focus));
}

// ---- site -------------------------------------------------------------------------------------------

TcxGridSite::TcxGridSite(TcxCustomGridViewInfo* viewInfo) : TcxControl(nullptr), viewInfo_(viewInfo) {
  ControlStyle() += csNoDesignVisible;
  SetWantedKeys(TcxWantedKeys{wkArrows, wkChars});
  SetParentColor(false);
}

TcxGridSite::~TcxGridSite() { FreeAndNil(resizeTimer_); }

TcxCustomGridView* TcxGridSite::GridView() const { return viewInfo_->GridView(); }

TcxCustomGrid* TcxGridSite::Container() const { return GridView()->Control(); }

void TcxGridSite::TakeContentSize() {
  TRect r;
  ContentBounds(r);
  contentWidth_ = r.Right;
  contentHeight_ = r.Bottom;
}

void TcxGridSite::CreateWnd() {
  TcxControl::CreateWnd();
  TakeContentSize();
}

void TcxGridSite::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  bool sizeChanged = width != Width() || height != Height();
  TcxControl::SetBounds(left, top, width, height);
  if (sizeChanged) TakeContentSize();
}

void TcxGridSite::HandleBoundsChange() {
  Integer oldWidth = contentWidth_, oldHeight = contentHeight_;
  TakeContentSize();
  if (viewInfo_->UpdatingSiteVisibility()) return;
  if ((oldWidth != 0 || oldHeight != 0) && (oldWidth != contentWidth_ || oldHeight != contentHeight_)) {
    bool canRecalculate = true;
    for (TcxCustomGridView* v = GridView(); v && canRecalculate; v = v->MasterGridView())
      canRecalculate = v->ViewInfo() && v->ViewInfo()->CanRecalculate();
    if (canRecalculate) {
      GridView()->SizeChanged(true, false);
    } else if ((updatingScrollBars_ || ComputingScrollLayout()) && !resizeTimer_) {
      resizeTimer_ = new TcxTimer(nullptr);
      resizeTimer_->SetInterval(1);
      resizeTimer_->SetOnTimer([this](TObject* sender) { ResizeTimerTick(sender); });
    }
  }
  TcxControl::HandleBoundsChange();
}

void TcxGridSite::ResizeTimerTick(TObject*) {
  FreeAndNil(resizeTimer_);
  GridView()->SizeChanged(false, false);
}

void TcxGridSite::WndProc(TMessage& m) {
  if (TcxCustomGridController* c = GridView()->Controller()) {
    c->WndProcHook(m);
    if (m.Msg == 0) return;
  }
  if ((m.Msg == kCnKeyDown || m.Msg == kCnSysKeyDown) && Container()) {
    if (Container()->SendNotifications(gnkKeyDown, &m)) {
      if (m.Result == 0) m.Result = 1;
      return;
    }
  }
  // While the focus leaves (WM_KILLFOCUS is sent before it moves), the site still reads as
  // focused: the focus-changed handling must not take the view's focus back then.
  bool losing = m.Msg == WM_KILLFOCUS;
  bool wasLosing = losingFocus_;
  losingFocus_ = losingFocus_ || losing;
  TcxObjectLinkGuard link(this);
  try {
    TcxControl::WndProc(m);
  } catch (...) {
    if (link.Alive()) losingFocus_ = wasLosing;
    throw;
  }
  if (link.Alive()) losingFocus_ = wasLosing;
}

void TcxGridSite::CNKeyDown(TMessage& m) { TcxControl::CNKeyDown(m); }

void TcxGridSite::KeyDown(Word& key, TShiftState shift) {
  TcxObjectLinkGuard link(this);
  TcxControl::KeyDown(key, shift);
  if (link.Alive() && GridView()->Controller()) GridView()->Controller()->KeyDown(key, shift);
}

void TcxGridSite::KeyPress(char32_t& key) {
  TcxObjectLinkGuard link(this);
  TcxControl::KeyPress(key);
  if (link.Alive() && GridView()->Controller()) GridView()->Controller()->KeyPress(key);
}

void TcxGridSite::KeyUp(Word& key, TShiftState shift) {
  TcxObjectLinkGuard link(this);
  TcxControl::KeyUp(key, shift);
  if (link.Alive() && GridView()->Controller()) GridView()->Controller()->KeyUp(key, shift);
}

void TcxGridSite::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxObjectLinkGuard link(this);
  TcxControl::MouseDown(button, shift, x, y);
  if (link.Alive() && HandleAllocated() && GridView()->Controller())
    GridView()->Controller()->MouseDown(button, shift, x, y);
}

void TcxGridSite::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxObjectLinkGuard link(this);
  TcxControl::MouseMove(shift, x, y);
  if (link.Alive() && DragPhase() != dphActive && GridView()->Controller())
    GridView()->Controller()->MouseMove(shift, x, y);
}

void TcxGridSite::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxObjectLinkGuard link(this);
  if (DragPhase() == dphActive) {
    TcxControl::MouseUp(button, shift, x, y);
    if (link.Alive() && GridView()->Controller()) GridView()->Controller()->MouseUp(button, shift, x, y);
  } else {
    if (GridView()->Controller()) GridView()->Controller()->MouseUp(button, shift, x, y);
    if (link.Alive()) TcxControl::MouseUp(button, shift, x, y);
  }
}

void TcxGridSite::CMMouseLeave(TMessage& m) {
  TcxControl::CMMouseLeave(m);
  if (GridView()->Controller()) GridView()->Controller()->MouseLeave();
}

void TcxGridSite::WMCancelMode(TMessage& m) {
  TcxControl::WMCancelMode(m);
  if (GridView()->Controller()) GridView()->Controller()->CancelMode();
}

void TcxGridSite::DoContextPopup(TPoint mousePos, bool& handled) {
  TcxControl::DoContextPopup(mousePos, handled);
  if (handled || !Container()) return;
  bool byKeyboard = mousePos.X == -1 && mousePos.Y == -1;
  handled = Container()->SendNotifications(gnkContextMenu, &byKeyboard);
}

void TcxGridSite::DoEnter() {
  TcxControl::DoEnter();
  if (GridView()->Controller()) GridView()->Controller()->DoEnter();
}

void TcxGridSite::DoExit() {
  if (!GridView()->IsDestroying() && GridView()->Controller()) GridView()->Controller()->DoExit();
  TcxControl::DoExit();
}

void TcxGridSite::NotifyFocusChanged() {
  TcxObjectLinkGuard link(this);
  TcxControl::NotifyFocusChanged();
  if (!link.Alive()) return;
  TcxCustomGridView* view = GridView();
  if (view->IsDestroying()) return;
  if (!losingFocus_ && Focused()) view->SetFocused(true);
  if (link.Alive() && Container()) Container()->UpdateFocusedFlag(view->IsControlFocused());
}

TCursor TcxGridSite::GetCursorAt(Integer x, Integer y) {
  TCursor c = GridView()->Controller() ? GridView()->Controller()->GetCursor(x, y) : crDefault;
  return c != crDefault ? c : TcxControl::GetCursorAt(x, y);
}

bool TcxGridSite::HasFocus() {
  return TcxControl::HasFocus() || (GridView()->Controller() && GridView()->Controller()->HasFocusedControls());
}

bool TcxGridSite::InDesignMode() {
  if (Container()) return Container()->ComponentState().Contains(csDesigning);
  return GridView()->ComponentState().Contains(csDesigning);
}

bool TcxGridSite::CanHideBothScrollBars(TScrollBarKind kind) {
  return GridView()->Controller() && GridView()->Controller()->CanHideBothScrollBars(kind);
}

Integer TcxGridSite::WheelScrollKind() {
  return GridView()->Controller() ? GridView()->Controller()->GetMouseWheelScrollingKind() : 0;
}

void TcxGridSite::ComputeScrollBarData() {
  if (GridView()->Controller()) GridView()->Controller()->InitScrollBarsParameters();
}

void TcxGridSite::HScrollBarRect(TRect& r) {
  TcxControl::HScrollBarRect(r);
  if (viewInfo_) r.Left = std::min(r.Left + viewInfo_->HScrollBarLeftIndent(), r.Right);
}

void TcxGridSite::PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  if (GridView()->Controller()) GridView()->Controller()->Scroll(kind, code, position);
}

bool TcxGridSite::WantsDesignTimeMouse(Integer x, Integer y, TShiftState shift) {
  if (TcxControl::WantsDesignTimeMouse(x, y, shift)) return true;
  TcxCustomGrid* grid = Container();
  return grid && !grid->IsLocked() && GridView()->Controller() &&
         GridView()->Controller()->HandlesDesignTimeMouse(viewInfo_->GetHitTest(x, y));
}

void TcxGridSite::BeginDragAndDropMode() {
  GridView()->Controller()->BeginDragAndDrop();
  TcxControl::BeginDragAndDropMode();
}

void TcxGridSite::TrackDragAndDrop(const TPoint& p, bool& accepted) {
  TcxControl::TrackDragAndDrop(p, accepted);
  GridView()->Controller()->TrackDragAndDrop(p, accepted);
}

void TcxGridSite::StopDragAndDrop(bool accepted) {
  GridView()->Controller()->EndDragAndDrop(accepted);
  TcxControl::StopDragAndDrop(accepted);
}

bool TcxGridSite::CanStartDragAndDrop(const TPoint& p) { return GridView()->Controller()->StartDragAndDrop(p); }

void TcxGridSite::DoStartDrag(TDragObject*& dragObject) {
  GridView()->Controller()->BeforeStartDrag();
  TcxControl::DoStartDrag(dragObject);
  GridView()->Controller()->StartDrag(dragObject);
}

void TcxGridSite::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  TcxControl::DragOver(source, x, y, state, accept);
  GridView()->Controller()->DragOver(source, x, y, state, accept);
}

void TcxGridSite::DoEndDrag(TObject* target, Integer x, Integer y) {
  GridView()->Controller()->EndDrag(target, x, y);
  TcxControl::DoEndDrag(target, x, y);
}

void TcxGridSite::DragImagesExtent(TSize& size) { GridView()->Controller()->GetDragImagesSize(size); }

void TcxGridSite::DrawDragImage(TcxCanvas* canvas, const TRect& r) { GridView()->Controller()->PaintDragImage(canvas, r); }

bool TcxGridSite::UsesDragImages() { return GridView()->Controller() && GridView()->Controller()->UsesDragImages(); }

bool TcxGridSite::MayStartDrag(Integer x, Integer y) {
  return TcxControl::MayStartDrag(x, y) && GridView()->Controller()->CanDrag(x, y);
}

void TcxGridSite::SetFocus() {
  TcxObjectLinkGuard link(this);
  TcxCustomGridView* view = GridView();
  if (!view->IsFocused() && view->Control())
    if (TcxCustomGridView* focused = view->Control()->FocusedView())
      if (focused->Controller()) focused->Controller()->BeforeFocusLeave();
  if (link.Alive()) TcxControl::SetFocus();
}

void TcxGridSite::Paint() {
  TcxControl::Paint();
  if (Left() == kParkedLeft) return;
  if (TcxCustomGridPainter* painter = GridView()->Painter()) painter->Paint();
}

// The drag images lie on the screen over the site: they are put away before it paints and drawn
// again only once its new pixels are on the screen, which is after the paint message.
void TcxGridSite::WMPaint(TMessage& m) {
  TcxObjectLinkGuard link(this);
  const bool was = inPaintMessage_;
  inPaintMessage_ = true;
  try {
    TcxControl::WMPaint(m);
  } catch (...) {
    if (link.Alive()) inPaintMessage_ = was;
    throw;
  }
  if (!link.Alive()) return;
  inPaintMessage_ = was;
  if (!was && GridView()->Controller()) GridView()->Controller()->AfterPaint();
}

void TcxGridSite::SetParent(TWinControl* parent) {
  TWinControl* oldParent = Parent();
  // Only a site that holds the input focus hands it to its old parent: the view being the
  // grid's focused view is not enough (the focus may be elsewhere on the form).
  bool wasFocused = GridView()->IsFocused() && HandleAllocated() && Focused();
  TcxControl::SetParent(parent);
  if (parent) {
    if (TcxCustomGrid* grid = Container()) LookAndFeel()->AttachToMaster(grid->LookAndFeel());
    if (GridView()->Level()) GridView()->SetSiteTabStop(GridView()->Level()->IsTop());
  } else if (oldParent && wasFocused) {
    if (!oldParent->ComponentState().Contains(csDestroying) && oldParent->CanFocus()) oldParent->SetFocus();
  }
}

// ---- controller --------------------------------------------------------------------------------------------

TcxCustomGridController::TcxCustomGridController(TcxCustomGridView* gridView) : TcxGridViewHandler(gridView) {}

TcxCustomGridController::~TcxCustomGridController() {
  if (TcxCustomGridCustomizationForm* form = customizationForm_) {
    customizationForm_ = nullptr;  // nothing is switched or sent while the controller goes
    form->Discard();
  }
  CancelHint();
  if (hintWindow_) hintWindow_->Free();
  delete designController_;
}

bool TcxCustomGridController::PtInCaller(const TPoint& p) {
  if (auto* cell = dynamic_cast<TcxCustomGridViewCellViewInfo*>(hintCell_)) return cell->PtInHintArea(p);
  if (!hintAreaBounds_.IsEmpty()) return hintAreaBounds_.Contains(p);
  return Site() && Site()->ClientRect().Contains(p);
}

void TcxCustomGridController::AfterPaint() {
  if (Site() && Site()->InPaintMessage()) return;  // the site calls again when its pixels are out
  if (IsDragging() && DragAndDropObject()) DragAndDropObject()->UpdateDirty(false);
}

void TcxCustomGridController::BeforePaint() {
  if (IsDragging() && DragAndDropObject()) DragAndDropObject()->UpdateDirty(true);
}

bool TcxCustomGridController::IsOwnHitTest(TcxCustomGridHitTest* hitTest) {
  auto* viewHitTest = dynamic_cast<TcxCustomGridViewHitTest*>(hitTest);
  return !viewHitTest || viewHitTest->GridView() == GridView();
}

void TcxCustomGridController::FocusChanged(bool focused) {
  focusing_ = true;
  struct TDone {
    bool& flag;
    ~TDone() { flag = false; }
  } done{focusing_};
  if (focused)
    DoFocusChanged(true);
  else
    FocusLost();
}

bool TcxCustomGridController::HandlesDesignTimeMouse(TcxCustomGridHitTest* hitTest) {
  return hitTest && hitTest->DragAndDropObjectClass() != nullptr;
}

void TcxCustomGridController::FocusLost() {
  BeforeFocusLeave();
  GridView()->SetSiteTabStop(false);
  if (!GridView()->IsVisible() && Site() && Site()->Parent()) Site()->SetParent(nullptr);
}

void TcxCustomGridController::DoFocusChanged(bool focused) {
  TcxCustomGridView* view = GridView();
  view->SetSiteTabStop(true);
  if (ViewInfo()) ViewInfo()->UpdateSiteVisibility(true);
  TcxCustomGrid* grid = view->Control();
  if (grid && HoldsInputFocus(grid) && Site() && Site()->Parent() && Site()->CanFocus() && !Site()->Focused())
    Site()->SetFocus();
  if (focused && view->IsDetailView())
    if (TcxCustomGridView* master = view->MasterGridView())
      if (master->Controller()) master->Controller()->FocusDetail(view);
}

void TcxCustomGridController::CustomizationChanged() {
  if (customization_) ShowCustomizationForm();
  else HideCustomizationForm();
  if (GridView()->Control()) GridView()->Control()->SendNotifications(gnkCustomization);
  GridView()->DoCustomization();
}

void TcxCustomGridController::ControlFocusChanged() {
  if (ViewInfo()) ViewInfo()->ControlFocusChanged();
}

TCursor TcxCustomGridController::GetCursor(Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(x, y);
  return IsOwnHitTest(hitTest) ? hitTest->GetCursor() : crDefault;
}

bool TcxCustomGridController::StartDragAndDrop(const TPoint& p) {
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(p);
  if (!IsOwnHitTest(hitTest)) return false;
  TcxDragAndDropObjectClass cls = hitTest->DragAndDropObjectClass();
  if (!cls) return false;
  CancelHint();
  Site()->SetDragOperationClass(cls);
  if (auto* object = dynamic_cast<TcxCustomGridDragAndDropObject*>(Site()->EnsureDragAndDropObject()))
    object->InitDrag(p, hitTest);
  return true;
}

bool TcxCustomGridController::IsMouseOverSite() {
  TcxGridSite* site = Site();
  if (!site || !site->HandleAllocated() || !IsWindowVisible(site->Handle())) return false;
  TCustomForm* form = GetParentForm(site);
  bool active = form && (form->Active() || (Application->Active() && form->FormStyle() == fsMDIForm));
  if (!active) return false;
  POINT p;
  GetCursorPos(&p);
  return WindowFromPoint(p) == site->Handle();
}

void TcxCustomGridController::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  isDblClick_ = shift.Contains(ssDouble);
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(x, y);
  if (hitTest && hitTest->ViewInfo()) hitTest->ViewInfo()->MouseDown(hitTest, button, shift);
}

void TcxCustomGridController::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(x, y);
  if (TcxCustomGridCellViewInfo* captured = MouseCaptureCell())
    captured->MouseMove(hitTest, shift);
  else if (hitTest && hitTest->ViewInfo())
    hitTest->ViewInfo()->MouseMove(hitTest, shift);
}

void TcxCustomGridController::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = ViewInfo()->GetHitTest(x, y);
  if (TcxCustomGridCellViewInfo* captured = MouseCaptureCell())
    captured->MouseUp(hitTest, button, shift);
  else if (hitTest && hitTest->ViewInfo())
    hitTest->ViewInfo()->MouseUp(hitTest, button, shift);
}

bool TcxCustomGridController::ProcessDialogChar(Word charCode) {
  TcxCustomGridView* master = GridView()->MasterGridView();
  return master && master->Controller() && master->Controller()->ProcessDetailDialogChar(GridView(), charCode);
}

void TcxCustomGridController::WndProcHook(TMessage& m) {
  if (m.Msg == kCnSysChar && ProcessDialogChar(Word(LOWORD(m.WParam)))) m.Msg = 0;
}

void TcxCustomGridController::SetCustomization(bool v) {
  if (v == customization_) return;
  if (v && (GridView()->IsPattern() || !Site() || !Site()->HandleAllocated())) return;
  customization_ = v;
  CustomizationChanged();
}

TClass TcxCustomGridController::GetCustomizationFormClass() { return TcxCustomGridCustomizationForm::StaticClass(); }

void TcxCustomGridController::ShowCustomizationForm() {
  if (customizationForm_) return;
  auto* form = static_cast<TcxCustomGridCustomizationForm*>(GetCustomizationFormClass()->Create(this));
  customizationForm_ = form;
  form->Init();
  TRect bounds = customizationFormBounds_;
  if (bounds.IsEmpty()) {
    const TPoint corner = Site()->ClientToScreen(Site()->ClientRect().BottomRight());
    bounds = TRect(corner.X - 180, corner.Y - 300, corner.X, corner.Y);
    AdjustCustomizationFormBounds(bounds);
  }
  form->SetBoundsRect(bounds);
  form->Show();
}

void TcxCustomGridController::HideCustomizationForm() {
  TcxCustomGridCustomizationForm* form = customizationForm_;
  if (!form || form->ComponentState().Contains(csDestroying)) return;
  customizationFormBounds_ = form->BoundsRect();
  customizationForm_ = nullptr;
  form->Discard();
}

void TcxCustomGridController::CustomizationFormDestroying(TcxCustomGridCustomizationForm* form) {
  if (form != customizationForm_) return;
  // The next opening comes back where the user left the form.
  customizationFormBounds_ = form->BoundsRect();
  customizationForm_ = nullptr;
  SetCustomization(false);
}

void TcxCustomGridController::RefreshCustomizationForm() {
  if (customizationForm_) customizationForm_->RefreshData();
}

void TcxCustomGridController::UpdateCustomizationForm() {
  if (customizationForm_) customizationForm_->ReloadItems();
}

bool TcxCustomGridController::IsDragging() { return Site() && Site()->DragPhase() == dphActive; }

TcxDragAndDropObject* TcxCustomGridController::DragAndDropObject() {
  return Site() ? Site()->DragOperation() : nullptr;
}

TcxCustomGridCellViewInfo* TcxCustomGridController::MouseCaptureCell() {
  return Site() ? dynamic_cast<TcxCustomGridCellViewInfo*>(Site()->MouseCaptureHolder()) : nullptr;
}

void TcxCustomGridController::SetScrollBarInfo(TScrollBarKind kind, Integer min, Integer max, Integer step,
                                               Integer page, Integer pos, bool allowShow, bool allowHide) {
  if (kind == sbHorizontal && !CanHScrollBarHide()) allowHide = false;
  if (Site()) Site()->StoreScrollBarParams(kind, min, max, step, page, pos, allowShow, allowHide);
}

void TcxCustomGridController::RefreshScrollBars() {
  if (!Site()) return;
  Site()->SetUpdatingScrollBars(true);
  struct TDone {
    TcxGridSite* site;
    ~TDone() { site->SetUpdatingScrollBars(false); }
  } done{Site()};
  Site()->RefreshScrollBars();
}

void TcxCustomGridController::NotifyDesignerModified() {
  if (Site()) Site()->NotifyDesignerModified();
}

TcxGridDesignController* TcxCustomGridController::GetDesignController() {
  if (!GridView()->ComponentState().Contains(csDesigning)) return nullptr;
  if (!designController_) designController_ = new TcxGridDesignController(this);
  return designController_;
}

// ---- hints --------------------------------------------------------------------------------------------

void TcxCustomGridController::ShowHint(const TRect& hintAreaBounds, const TRect& textBounds,
                                       TcxCustomGridCellViewInfo* cell, TFont* font, bool isMultiLine,
                                       const String& text) {
  if (!IsMouseOverSite()) return;
  TClass hintClass = GetHintWindowClass();
  if (hintWindow_ && hintWindow_->ClassType() == hintClass && hintWindow_->HandleAllocated() &&
      IsWindowVisible(hintWindow_->Handle())) {
    if (hintWindow_->Caption() == text && hintTextRect_ == textBounds) return;
    EndMouseTracking(this);
  }
  if (!hintWindow_ || hintWindow_->ClassType() != hintClass) {
    if (hintWindow_) hintWindow_->Free();
    hintWindow_ = static_cast<THintWindow*>(hintClass->Create(nullptr));
    hintWindow_->SetColor(Application->HintColor());
  }
  hintTextRect_ = textBounds;
  if (font) hintWindow_->Canvas()->Font()->Assign(font);
  if (font) hintWindow_->Font()->Assign(font);
  TRect r = hintWindow_->CalcHintRect(isMultiLine ? textBounds.Width() : 107374182, text);
  // The hint's own rectangle is 6 pixels narrower and 2 pixels lower than the window
  // calculation gives (width - 6, height - 2), placed at the text's screen position.
  r.Right -= 6;
  r.Bottom -= 2;
  TPoint origin = Site()->ClientToScreen(textBounds.TopLeft());
  r = ShiftedRect(r, origin.X - r.Left, origin.Y - r.Top);
  if (!hintWindow_->HandleAllocated()) hintWindow_->HandleNeeded();
  // The border offset (client origin minus position) from the window's styles: a window
  // that was just made has no size yet, so its client area cannot tell.
  RECT frame(0, 0, 0, 0);
  AdjustWindowRectEx(&frame, DWORD(GetWindowLong(hintWindow_->Handle(), GWL_STYLE)), FALSE,
                     DWORD(GetWindowLong(hintWindow_->Handle(), GWL_EXSTYLE)));
  Integer dx = -frame.Left + 2, dy = -frame.Top + 2;
  r = GrowRect(r, dx, dy);
  FitRectIntoWorkArea(r, r.TopLeft());
  r.Bottom -= 4;
  hintWindow_->ActivateHint(r, text);
  hintAreaBounds_ = hintAreaBounds;
  hintCell_ = cell;
  BeginMouseTracking(Site(), hintAreaBounds_, this);
  if (!hintChecker_) {
    hintChecker_ = new TcxTimer(nullptr);
    hintChecker_->SetInterval(100);
    hintChecker_->SetOnTimer([this](TObject* sender) { HintCheckerTick(sender); });
  }
}

void TcxCustomGridController::HintCheckerTick(TObject*) {
  if (!IsMouseOverSite()) CancelHint();
}

void TcxCustomGridController::CancelHint() {
  FreeAndNil(hintChecker_);
  EndMouseTracking(this);
  hintCell_ = nullptr;
  hintAreaBounds_ = TRect();
  if (hintWindow_ && hintWindow_->HandleAllocated()) hintWindow_->ReleaseHandle();
}
