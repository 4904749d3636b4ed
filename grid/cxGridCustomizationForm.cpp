#include "grid/cxGridCustomizationForm.h"

#include <algorithm>
#include <cstdlib>

#include "data/cxCustomDataInternal.h"
#include "foundation/cxClasses.h"
#include "grid/cxGrid.h"
#include "grid/cxGridDragAndDrop.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxCustomGridItemsInnerListBox)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridItemsListBox)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridCustomizationForm)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridTableItemsListBox)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridTableCustomizationForm)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridCustomizationPopup)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridItemsCustomizationPopup)

namespace {
const TcxResourceStringRec scxGridCustomizationFormCaption{"scxGridCustomizationFormCaption", "Customization"};
}

// ---- the items list of a customization form -------------------------------------------------------

TcxCustomGridItemsInnerListBox::TcxCustomGridItemsInnerListBox(TComponent* owner) : TcxInnerListBox(owner) {
  SetSorted(true);
  SetStyle(lbOwnerDrawFixed);
}

TcxCustomGridItemsListBox* TcxCustomGridItemsInnerListBox::ItemsListBox() const {
  return dynamic_cast<TcxCustomGridItemsListBox*>(GetListBox());
}

void TcxCustomGridItemsInnerListBox::CreateParams(TCreateParams& params) {
  TcxInnerListBox::CreateParams(params);
  params.WindowClassStyle |= CS_HREDRAW;
}

void TcxCustomGridItemsInnerListBox::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomGridItemsInnerListBox> self(this);
  TcxInnerListBox::MouseDown(button, shift, x, y);
  if (!self || button != mbLeft) return;
  pressedIndex_ = ItemAtPos(TPoint(x, y), true);
  pressPoint_ = TPoint(x, y);
}

void TcxCustomGridItemsInnerListBox::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxInnerListBox::MouseMove(shift, x, y);
  if (pressedIndex_ == -1) return;
  const bool beyond = std::abs(x - pressPoint_.X) >= GetSystemMetrics(SM_CXDRAG) ||
                      std::abs(y - pressPoint_.Y) >= GetSystemMetrics(SM_CYDRAG);
  if (!beyond && ItemAtPos(TPoint(x, y), true) == pressedIndex_) return;
  // The drag starts from the pressed item, wherever the mouse is now.
  const Integer index = pressedIndex_;
  pressedIndex_ = -1;
  SetItemIndex(index);
  if (TcxCustomGridItemsListBox* box = ItemsListBox())
    box->BeginItemDrag(index, TPoint(pressPoint_.X + Left(), pressPoint_.Y + Top()));
}

void TcxCustomGridItemsInnerListBox::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  pressedIndex_ = -1;
  TcxInnerListBox::MouseUp(button, shift, x, y);
}

void TcxCustomGridItemsInnerListBox::KeyDown(Word& key, TShiftState shift) {
  TcxCustomGridItemsListBox* box = ItemsListBox();
  if (key == VK_ESCAPE && box && box->GridView()->Site()) {
    TcxGridSite* site = box->GridView()->Site();
    if (site->DragPhase() != dphNone) {
      key = 0;
      site->CompleteDragAndDrop(false);
      return;
    }
  }
  TcxInnerListBox::KeyDown(key, shift);
}

void TcxCustomGridItemsInnerListBox::WndProc(TMessage& m) {
  if (m.Msg == WM_CANCELMODE) pressedIndex_ = -1;
  TcxInnerListBox::WndProc(m);
}

TcxCustomGridItemsListBox::TcxCustomGridItemsListBox(TcxCustomGridCustomizationForm* form, TClass innerClass)
    : TcxListBox(form, innerClass), form_(form) {
  Style()->SetBorderStyle(cbsNone);
  Style()->SetHotTrack(false);
  Style()->SetTransparentBorder(false);
  if (form->GridView()->Control())
    Style()->LookAndFeel()->AttachToMaster(form->GridView()->Control()->LookAndFeelObject());
  SetParentFont(true);
  OnDrawItem = [this](TcxListBox*, TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
    PaintItem(canvas, rect, index, state.Contains(odFocused));
  };
}

TcxCustomGridView* TcxCustomGridItemsListBox::GridView() const { return form_->GridView(); }

Integer TcxCustomGridItemsListBox::CalculateItemHeight() { return MeasureTextHeightInFont(Font(), "Qq") + 4; }

void TcxCustomGridItemsListBox::PaintItem(TcxCanvas* canvas, const TRect& rect, Integer index, bool focused) {
  canvas->FillRectColor(rect, clWindow);
  canvas->CurrentFont()->SetColor(clWindowText);
  canvas->OutputText(Items()->Strings(index), GrowRect(rect, -2, 0), ctfLeft | ctfVCenter | ctfSingleLine);
  if (focused) canvas->DrawFocusFrame(rect);
}

void TcxCustomGridItemsListBox::RefreshItems() {
  if (InnerListBox()->HandleAllocated()) SetItemHeight(CalculateItemHeight());
}

TObject* TcxCustomGridItemsListBox::GetDragItem(Integer index) const {
  return index >= 0 && index < Items()->Count() ? Items()->Objects(index) : nullptr;
}

void TcxCustomGridItemsListBox::BeginItemDrag(Integer index, const TPoint& p) {
  TcxCustomGridView* view = GridView();
  TcxGridSite* site = view->Site();
  TcxCustomGridHitTest* hitTest = GetDragHitTest(index);
  if (!site || !hitTest || !hitTest->DragAndDropObjectClass()) return;
  const TPoint sitePoint = site->ScreenToClient(ClientToScreen(p));
  site->SetDragOperationClass(hitTest->DragAndDropObjectClass());
  if (auto* object = dynamic_cast<TcxCustomGridDragAndDropObject*>(site->EnsureDragAndDropObject()))
    object->InitDrag(sitePoint, hitTest);
  site->BeginDragAndDropMode();
}

// ---- the form ---------------------------------------------------------------------------------------

TcxCustomGridCustomizationForm::TcxCustomGridCustomizationForm(TcxCustomGridController* controller)
    : TForm(nullptr), controller_(controller) {
  SetCaption(LoadReplaceableResString(scxGridCustomizationFormCaption));
  SetBorderStyle(bsSizeToolWin);
  if (GridView()->Control()) Font()->Assign(GridView()->Control()->Font());
}

TcxCustomGridCustomizationForm::~TcxCustomGridCustomizationForm() {
  FreeTimer();
  // The controller forgets the form and switches its customization off.
  if (controller_) controller_->CustomizationFormDestroying(this);
}

void TcxCustomGridCustomizationForm::Init() {
  CalculateConsts();
  CreateControls();
}

TcxCustomGridView* TcxCustomGridCustomizationForm::GridView() const { return controller_->GridView(); }

void TcxCustomGridCustomizationForm::CalculateConsts() { offset_ = MeasureTextHeightInFont(Font(), "Qq") / 6; }

void TcxCustomGridCustomizationForm::CreateControls() {
  pageControl_ = new TcxPageControl(this);
  pageControl_->SetAnchors({akLeft, akTop, akRight, akBottom});
  pageControl_->SetBoundsRect(GetPageControlBounds());
  pageControl_->SetFocusable(false);
  pageControl_->SetHotTrack(true);
  if (GridView()->Control()) pageControl_->LookAndFeelObject()->AttachToMaster(GridView()->Control()->LookAndFeelObject());
  pageControl_->SetParent(this);
  CreateTabSheets();
}

TRect TcxCustomGridCustomizationForm::GetClientBoundsForControls() { return GrowRect(ClientRect(), -offset_, -offset_); }

TcxTabSheet* TcxCustomGridCustomizationForm::CreateTabSheet(const String& caption, bool tabVisible) {
  auto* sheet = new TcxTabSheet(pageControl_);
  sheet->SetCaption(caption);
  sheet->SetTabVisible(tabVisible);
  sheet->SetPageControl(pageControl_);
  return sheet;
}

void TcxCustomGridCustomizationForm::ActivatePage(TcxTabSheet* sheet) {
  if (sheet && sheet->TabVisible()) pageControl_->SetActivePage(sheet);
}

void TcxCustomGridCustomizationForm::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  // A popup owned by the view's site stays above the grid's form.
  params.Style |= WS_POPUP;
  if (GridView()->Site() && GridView()->Site()->HandleAllocated()) params.WndParent = GridView()->Site()->Handle();
}

void TcxCustomGridCustomizationForm::DoShow() {
  TForm::DoShow();
  if (timer_) return;
  timer_ = new TcxTimer(nullptr);
  timer_->SetInterval(100);
  timer_->SetOnTimer([this](TObject*) {
    inTick_ = true;
    TWeakRef<TcxCustomGridCustomizationForm> self(this);
    Finally done{[&] {
      if (self) inTick_ = false;
    }};
    CheckVisibility();
  });
}

namespace {
bool ApplicationMinimized(TcxCustomGridView* view) {
  TCustomForm* main = Application->MainForm();
  if (main && main->HandleAllocated() && IsIconic(main->Handle())) return true;
  TCustomForm* form = view->Site() ? GetParentForm(view->Site()) : nullptr;
  return form && form->HandleAllocated() && IsIconic(form->Handle());
}
}  // namespace

void TcxCustomGridCustomizationForm::CheckVisibility() {
  TcxCustomGridView* view = GridView();
  if (ApplicationMinimized(view)) {
    if (Visible()) Hide();
    return;
  }
  TcxGridSite* site = view->Site();
  if (!view->IsVisible() || !site || !site->HandleAllocated() || !IsWindowVisible(site->Handle()) ||
      site->Left() >= 30000) {
    controller_->SetCustomization(false);  // frees this form
    return;
  }
  if (!Visible() && HandleAllocated()) {
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    SetVisible(true);
  }
}

void TcxCustomGridCustomizationForm::Discard() {
  controller_ = nullptr;  // the controller has let the form go
  if (!inTick_) {
    Free();
    return;
  }
  timer_->SetEnabled(false);
  Hide();
  Release();
}

void TcxCustomGridCustomizationForm::FreeTimer() {
  if (timer_) {
    timer_->Free();
    timer_ = nullptr;
  }
}

void TcxCustomGridCustomizationForm::DoClose(TCloseAction& action) {
  FreeTimer();
  action = caFree;  // the controller hears of it from the destructor
  TForm::DoClose(action);
}

// ---- record-based views ------------------------------------------------------------------------

void TcxCustomGridTableItemsListBox::RefreshItems() {
  TcxCustomGridItemsListBox::RefreshItems();
  TcxCustomGridTableView* view = GetListGridView();
  TStrings* items = Items();
  items->BeginUpdate();
  Finally end{[items] { items->EndUpdate(); }};
  items->Clear();
  for (Integer i = 0; i < view->ItemCount(); ++i) {
    TcxCustomGridTableItem* item = view->Items(i);
    if (item->CanMove() && !item->Hidden() && !item->Visible()) items->AddObject(item->Caption(), item);
  }
}

bool TcxCustomGridTableCustomizationForm::GetItemsPageVisible() {
  return static_cast<TcxCustomGridTableView*>(GridView())->OptionsCustomize()->ItemMoving();
}

void TcxCustomGridTableCustomizationForm::CreateTabSheets() {
  TcxCustomGridCustomizationForm::CreateTabSheets();
  itemsPage_ = CreateTabSheet(GetItemsPageCaption(), GetItemsPageVisible());
}

void TcxCustomGridTableCustomizationForm::CreateControls() {
  TcxCustomGridCustomizationForm::CreateControls();
  itemsListBox_ = static_cast<TcxCustomGridTableItemsListBox*>(GetItemsListBoxClass()->Create(this));
  itemsListBox_->SetAlign(alClient);
  itemsListBox_->SetParent(itemsPage_);
  itemsListBox_->RefreshItems();
}

void TcxCustomGridTableCustomizationForm::RefreshData() {
  TcxCustomGridCustomizationForm::RefreshData();
  if (itemsListBox_) itemsListBox_->RefreshItems();
}

void TcxCustomGridTableCustomizationForm::ReloadItems() {
  TcxCustomGridCustomizationForm::ReloadItems();
  if (itemsListBox_) itemsListBox_->SetItemHeight(itemsListBox_->CalculateItemHeight());
}

// ---- quick customization popup ------------------------------------------------------------------

TcxCustomGridCustomizationPopup::TcxCustomGridCustomizationPopup(TcxCustomGridView* gridView)
    : TcxCustomGridPopup(gridView) {
  CreateCheckListBox();
}

void TcxCustomGridCustomizationPopup::CreateCheckListBox() {
  checkListBox_ = new TcxCheckListBox(this);
  if (GridView()->Control())
    checkListBox_->Style()->LookAndFeel()->AttachToMaster(GridView()->Control()->LookAndFeelObject());
  checkListBox_->Style()->SetBorderStyle(cbsNone);
  checkListBox_->Style()->SetHotTrack(false);
  checkListBox_->Style()->SetTransparentBorder(false);
  checkListBox_->SetParentFont(true);
  checkListBox_->SetParent(this);
  checkListBox_->OnClickCheck() = [this](TObject*, Integer index, TcxCheckBoxState, TcxCheckBoxState state) {
    ItemChecked(index, state == cbsChecked);
  };
  checkListBox_->OnKeyDown = [this](TObject*, Word& key, TShiftState) {
    if (key == VK_ESCAPE) {
      key = 0;
      ClosePopup();
    }
  };
}

void TcxCustomGridCustomizationPopup::InitPopup() {
  TcxCustomGridPopup::InitPopup();
  checkListBox_->InnerListBox()->Canvas()->Font()->Assign(Font());
  FillItems();
  AdjustSize();
}

void TcxCustomGridCustomizationPopup::AdjustSize() {
  const Integer count = checkListBox_->CheckItems()->Count();
  const Integer max = GetMaxDropDownCount();
  const Integer rows = max != 0 && max < count ? max : count;
  // The list's measures include its frame; the rows area is sized without it.
  TRect frame;
  checkListBox_->FrameExtent(frame);
  Integer width = checkListBox_->GetMaxItemWidth() - frame.Left - frame.Right;
  if (rows < count) width += GetSystemMetrics(SM_CXVSCROLL);
  SetListClientSize(checkListBox_, width, checkListBox_->GetHeightForRows(rows) - frame.Top - frame.Bottom);
}

void TcxCustomGridCustomizationPopup::ItemChecked(Integer index, bool checked) {
  SetItemChecked(static_cast<TObject*>(checkListBox_->CheckItems()->Item(index)->ItemObject()), checked);
}

void TcxCustomGridCustomizationPopup::FireClosed() {
  checkListBox_->CheckItems()->Clear();
  TcxCustomGridPopup::FireClosed();
}

void TcxCustomGridItemsCustomizationPopup::FillItems() {
  TcxCheckListBoxItems* items = CheckListBox()->CheckItems();
  TcxCustomGridTableView* view = GetPopupGridView();
  // The states are the list's own (not decoded from an edit value when the bracket ends).
  CheckListBox()->EncodeValue();
  items->BeginUpdate();
  Finally end{[items] { items->EndUpdate(); }};
  items->Clear();
  for (Integer i = 0; i < view->ItemCount(); ++i) {
    TcxCustomGridTableItem* item = view->Items(i);
    if (item->Hidden()) continue;
    TcxCheckListBoxItem* check = items->AddCheckItem(item->Caption(), item->Visible() ? cbsChecked : cbsUnchecked);
    check->SetItemObject(item);
  }
}

Integer TcxCustomGridItemsCustomizationPopup::GetMaxDropDownCount() {
  return GetPopupGridView()->OptionsCustomize()->ItemsQuickCustomizationMaxDropDownCount();
}

void TcxCustomGridItemsCustomizationPopup::SetItemChecked(TObject* item, bool checked) {
  static_cast<TcxCustomGridTableItem*>(item)->SetVisible(checked);
}
