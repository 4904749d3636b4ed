// The field filter drop-down of the pivot grid.
#include "pivotgrid/cxPivotGridFilterPopup.h"

#include <algorithm>

#include "rtl/Math.h"
#include "user/WinUser.h"

KORVAN_IMPLEMENT_CLASS(TcxPivotGridFilterPopupWindow)
KORVAN_IMPLEMENT_CLASS(TcxPivotGridFilterPopupProperties)
KORVAN_IMPLEMENT_CLASS(TcxPivotGridFilterPopup)

TClass TcxPivotGridFilterPopupProperties::GetPopupWindowClass() { return TcxPivotGridFilterPopupWindow::StaticClass(); }

namespace {
constexpr int cxFilterButtonHeight = 20;
constexpr Byte cxFilterOkReason = crDropDownKey;
}  // namespace

TcxPivotGridFilterPopup::TcxPivotGridFilterPopup(TcxCustomPivotGrid* grid)
    : TcxCustomPopupEdit(grid, false, TcxPivotGridFilterPopupProperties::StaticClass()), pivotGrid_(grid) {
  SetBounds(30000, 30000, Width(), Height());
  SetParent(grid);
  SetAutoSize(false);
  SetVisible(false);
  Style()->LookAndFeel()->AttachToMaster(grid->LookAndFeel());
  TcxCustomPopupEditProperties* p = PopupProperties();
  p->SetPopupAutoSize(false);
  p->SetPopupMinWidth(150);
  p->SetPopupMinHeight(15);
  p->SetPopupSysPanelStyle(true);
  CreateControls();
  p->SetPopupControl(CheckList);
}

TcxPivotGridFilterPopup::~TcxPivotGridFilterPopup() = default;

void TcxPivotGridFilterPopup::CreateControls() {
  CheckList = new TcxCheckListBox(this);
  CheckList->SetVisible(false);
  CheckList->SetParent(pivotGrid_);
  CheckList->Style()->LookAndFeel()->AttachToMaster(Style()->LookAndFeel());
  CheckList->Style()->SetHotTrack(false);
  CheckList->Style()->SetBorderStyle(cbsNone);
  CheckList->Style()->SetTransparentBorder(false);
  CheckList->SetEditValueFormat(cvfStatesString);
  CheckList->OnEditValueChanged = [this](TObject* sender) { ItemCheckChanged(sender); };
  const char* captions[] = {"Cancel", "Ok"};
  for (int tag = 0; tag < 2; ++tag) {
    auto* button = new TcxButton(this);
    button->SetCaption(cxPivotGridResText(captions[tag]));
    button->SetTag(tag);
    button->SetParent(PopupWindow());
    button->SetHeight(cxFilterButtonHeight);
    button->LookAndFeel()->AttachToMaster(Style()->LookAndFeel());
    button->OnClick = [this](TObject* sender) { ButtonClick(sender); };
    if (tag == 0) {
      button->SetCancel(true);
      CancelButton = button;
    } else {
      button->SetDefault(true);
      OkButton = button;
    }
  }
  int ok = MeasureTextWidthInFont(pivotGrid_->Font(), OkButton->Caption());
  int cancel = MeasureTextWidthInFont(pivotGrid_->Font(), CancelButton->Caption());
  ButtonWidth = MulDiv(std::max(ok, cancel), 3, 2);
}

void TcxPivotGridFilterPopup::Popup() {
  if (!Field) return;
  PopupWindow()->SetMinSysPanelHeight(26);
  InitPopup();
  SetDroppedDown(true);
}

void TcxPivotGridFilterPopup::InitPopup() {
  TcxCustomPivotGrid* grid = pivotGrid_;
  TcxCustomPopupEditProperties* p = PopupProperties();
  p->SetPopupSizeable(grid->OptionsCustomize()->FilterResizable());
  Style()->LookAndFeel()->SetNativeStyle(grid->LookAndFeel()->NativeStyle());
  SetVisible(false);
  Style()->SetTransparentBorder(false);
  TcxPivotGridFieldHeaderCellViewInfo* header = Field->GetHeaderViewInfo();
  TRect b = header->Bounds;
  SetBounds(b.Left, b.Top, b.Width(), b.Height());
  PreviousButtonState = header->FilterState;
  header->State = cxbsNormal;
  header->FilterState = cxbsPressed;
  grid->InvalidateRect(b);
  TSize size;
  TcxPivotGridFieldFilter* filter = Field->Filter();
  if (grid->OptionsCustomize()->FilterResizable()) {
    size = filter->DropDownWidth == 0 && filter->DropDownHeight == 0 ? TSize(150, 150)
                                                                     : TSize(filter->DropDownWidth, filter->DropDownHeight);
  } else {
    TcxPivotGridOptionsView* v = grid->OptionsView();
    int panel = PopupWindow()->GetPopupViewInfo()->GetSysPanelHeight();
    size = TSize(std::max(150, v->FilterDropDownWidth()),
                 std::max(15, CheckList->GetHeightForRows(v->FilterDropDownMaxItemCount()) + panel + 4));
  }
  CheckList->SetBounds(CheckList->Left(), CheckList->Top(), size.cx - 2, size.cy - 2);
  p->SetPopupWidth(size.cx);
  p->SetPopupHeight(size.cy);
  // The drop-down's right edge under the header's right edge.
  SetLeft(b.Right - Width());
  p->SetPopupAlignment(taRightJustify);
  SetVisible(true);
  // Shown over the header, it must take no clicks: its window has no area at all.
  HandleNeeded();
  ApplyWindowRegion();
}

void TcxPivotGridFilterPopup::ApplyWindowRegion() {
  // The editor itself never shows: only its popup does. Its inner edit gets no area either,
  // so that it paints nothing over the header.
  if (HandleAllocated()) SetWindowRgn(Handle(), CreateRectRgn(0, 0, 0, 0), TRUE);
  if (TWinControl* inner = InnerControl(); inner && inner->HandleAllocated())
    SetWindowRgn(inner->Handle(), CreateRectRgn(0, 0, 0, 0), TRUE);
}

void TcxPivotGridFilterPopup::PositionPopupWindow() {
  TcxCustomEditPopupWindow* w = PopupWindow();
  w->SetCloseButton(false);
  TcxCustomPopupEdit::PositionPopupWindow();
  if (OkButton && CancelButton) {
    TcxCustomEditPopupWindowViewInfo* vi = w->GetPopupViewInfo();
    const int h = cxFilterButtonHeight;
    int panel = vi->GetSysPanelHeight();
    TRect frame = vi->FrameRect;
    int panelTop = vi->PanelAtBottom() ? frame.Bottom - panel : frame.Top;
    int margin = h / 6 + (vi->Sizeable && !vi->GripOnLeft() ? vi->SizeGripRect.Width() : h / 6);
    int top = panelTop + (panel - h) / 2;
    int right = frame.Right - margin;
    CancelButton->SetBounds(right - ButtonWidth, top, ButtonWidth, h);
    OkButton->SetBounds(right - ButtonWidth - h / 3 - ButtonWidth, top, ButtonWidth, h);
    TAnchors anchors{akRight, vi->PanelAtBottom() ? akBottom : akTop};
    CancelButton->SetAnchors(anchors);
    OkButton->SetAnchors(anchors);
  }
  FillValues();
}

TcxCheckBoxState TcxPivotGridFilterPopup::StateOfValues() {
  TcxCheckListBoxItems* items = CheckList->CheckItems();
  int checked = 0;
  for (int i = 1; i < items->Count(); ++i)
    if (items->Item(i)->State() == cbsChecked) ++checked;
  if (checked == 0) return cbsUnchecked;
  return checked == items->Count() - 1 ? cbsChecked : cbsGrayed;
}

void TcxPivotGridFilterPopup::UpdateOkButton() { OkButton->SetEnabled(ShowAllState != cbsUnchecked); }

void TcxPivotGridFilterPopup::FillValues() {
  if (!Field) return;
  TcxCheckListBoxItems* items = CheckList->CheckItems();
  PushHourglassCursor();
  struct TDone {
    TcxPivotGridFilterPopup* self;
    TcxCheckListBoxItems* items;
    ~TDone() {
      items->EndStatesUpdate(false);
      // The list's value follows the states just set (not the other way round).
      self->CheckList->EncodeValue();
      items->EndUpdate();
      self->Updating = false;
      PopHourglassCursor();
    }
  } done{this, items};
  Updating = true;
  items->BeginUpdate();
  items->BeginStatesUpdate();
  items->Clear();
  values_.clear();
  ShowAllState = cbsUnchecked;
  items->AddCheckItem(cxPivotGridResText("(Show All)"), cbsUnchecked);
  TcxPivotGridVariantList* unique = Field->GetUniqueValues();
  TcxPivotGridFieldFilter* filter = Field->Filter();
  values_.reserve(std::size_t(unique->Count()));
  for (int i = 0; i < unique->Count(); ++i) {
    const Variant& value = unique->Values(i);
    String text;
    Field->GetGroupValueDisplayText(value, text);
    values_.push_back(value);
    items->AddCheckItem(text, filter->PassValue(value) ? cbsChecked : cbsUnchecked);
  }
  ShowAllState = StateOfValues();
  items->Item(0)->SetState(ShowAllState);
  UpdateOkButton();
  ValuesChanged = false;
}

void TcxPivotGridFilterPopup::ItemCheckChanged(TObject*) {
  if (Updating) return;
  TcxCheckListBoxItems* items = CheckList->CheckItems();
  if (items->Count() == 0) return;
  ValuesChanged = true;
  Updating = true;
  struct TDone {
    bool& updating;
    ~TDone() { updating = false; }
  } done{Updating};
  TcxCheckListBoxItem* showAll = items->Item(0);
  if (showAll->State() == ShowAllState) {
    // A value changed: "(Show All)" follows the values.
    ShowAllState = StateOfValues();
    showAll->SetState(ShowAllState);
  } else {
    // "(Show All)" changed: every value takes its state.
    TcxCheckBoxState state = showAll->State();
    items->BeginUpdate();
    items->BeginStatesUpdate();
    for (int i = 1; i < items->Count(); ++i) items->Item(i)->SetState(state);
    items->EndStatesUpdate(false);
    CheckList->EncodeValue();
    items->EndUpdate();
    ShowAllState = state;
  }
  UpdateOkButton();
}

void TcxPivotGridFilterPopup::ButtonClick(TObject* sender) {
  auto* button = dynamic_cast<TcxButton*>(sender);
  CloseUp(button && button->Tag() == 1 ? cxFilterOkReason : crCancel);
}

void TcxPivotGridFilterPopup::ApplyFilter() {
  if (!Field) return;
  TcxCheckListBoxItems* items = CheckList->CheckItems();
  int count = items->Count();
  int checked = 0;
  for (int i = 1; i < count; ++i)
    if (items->Item(i)->State() == cbsChecked) ++checked;
  TcxPivotGridFieldFilter* filter = Field->Filter();
  // The shorter list is stored: the listed values pass, or the listed values are left out.
  bool include = checked < count / 2;
  pivotGrid_->BeginUpdate();
  try {
    filter->Clear();
    filter->SetIncludeMode(include);
    TcxCheckBoxState listed = include ? cbsChecked : cbsUnchecked;
    for (int i = 1; i < count; ++i)
      if (items->Item(i)->State() == listed) filter->Values()->Add(ItemValue(i));
  } catch (...) {
    pivotGrid_->EndUpdate();
    throw;
  }
  pivotGrid_->EndUpdate();
}

void TcxPivotGridFilterPopup::DoCloseUp() {
  TcxObjectLinkGuard self(this);
  TcxCustomPopupEdit::DoCloseUp();
  if (!self.Alive()) return;
  TcxPivotGridField* field = Field;
  if (field) {
    TcxPivotGridFieldHeaderCellViewInfo* header = field->GetHeaderViewInfo();
    header->FilterState = PreviousButtonState == cxbsHot ? cxbsNormal : PreviousButtonState;
    pivotGrid_->InvalidateRect(header->Bounds);
  }
  if (CloseUpReason() != crCancel && ShowAllState != cbsUnchecked && ValuesChanged) ApplyFilter();
  if (!self.Alive()) return;
  if (Field) {
    Field->Filter()->DropDownWidth = PopupWindow()->Width();
    Field->Filter()->DropDownHeight = PopupWindow()->Height();
  }
  // The click that closed the drop-down on this field's own filter button does not reopen it.
  // Only a click outside does: closed by a key or a button with the pointer resting on the
  // filter button, the next click there opens it again.
  TcxPivotGridController* controller = pivotGrid_->Controller();
  controller->UpdateHitTest();
  TcxPivotGridHitTest* ht = pivotGrid_->HitTest();
  controller->FilterClosedOnButton = Field && CloseUpReason() == crClosedOtherwise && ht->HasCode(HitFilterButton) &&
                                     ht->HitCell == Field->GetHeaderViewInfo();
}

void TcxPivotGridFilterPopup::FieldRemoving(TcxPivotGridField* field) {
  if (field != Field) return;
  Field = nullptr;
  if (DroppedDown()) CloseUp(crCancel);
}
