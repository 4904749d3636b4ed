#include "grid/cxGridPopup.h"

#include <algorithm>

#include "grid/cxGrid.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomGridPopup)
KORVAN_IMPLEMENT_CLASS(TcxGridPopupInnerListBox)
KORVAN_IMPLEMENT_CLASS(TcxGridPopupListBox)

// ---- popup ----------------------------------------------------------------------------------------

TcxCustomGridPopup::TcxCustomGridPopup(TcxCustomGridView* gridView)
    : TcxCustomPopupWindow(gridView->Site()), gridView_(gridView) {
  SetAnchorParent(gridView->Site());
  // Opened from a cell's press: the press returns at once (no nested loop under a cell that
  // the popup's choice may free by a relayout).
  SetRunsModalLoop(false);
}

TcxCustomGridPopup::~TcxCustomGridPopup() = default;

void TcxCustomGridPopup::SetPopupOwner(TcxCustomGridCellViewInfo* owner) {
  if (!owner && Visible() && owner_ && owner_->PopupClosesOnOwner()) {
    // The owner goes away: close first, without telling the owner (it is leaving).
    owner_ = nullptr;
    ClosePopup();
  }
  owner_ = owner;
}

TRect TcxCustomGridPopup::GetOwnerBounds() { return owner_ ? owner_->GetPopupOwnerBounds() : TRect(); }

Integer TcxCustomGridPopup::GetMinWidth() { return GetOwnerBounds().Width() - HorzFrameExtent(); }

void TcxCustomGridPopup::InitPopup() {
  SetFrameStyle(1);
  SetFrameLineColor(clBtnShadow);
  if (gridView_->Control()) Font()->Assign(gridView_->Control()->Font());
  SetAnchorParent(gridView_->Site());
  SetAnchorBounds(GetOwnerBounds());
}

void TcxCustomGridPopup::Popup() {
  if (GetCapture()) ReleaseCapture();
  InitPopup();
  ShowPopup(dynamic_cast<TWinControl*>(FindNextControl(nullptr, true, true, false)));
}

void TcxCustomGridPopup::FireClosed() {
  TcxCustomPopupWindow::FireClosed();
  if (owner_) owner_->PopupClosed();
}

void TcxCustomGridPopup::KeyDown(Word& key, TShiftState shift) {
  if (key == VK_ESCAPE) {
    key = 0;
    ClosePopup();
    return;
  }
  TcxCustomPopupWindow::KeyDown(key, shift);
}

// ---- popup list box ----------------------------------------------------------------------------

TcxGridPopupListBox* TcxGridPopupInnerListBox::PopupListBox() const {
  return dynamic_cast<TcxGridPopupListBox*>(GetListBox());
}

void TcxGridPopupInnerListBox::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxInnerListBox::MouseMove(shift, x, y);
  const Integer index = ItemAtPos(TPoint(x, y), true);
  if (index != -1 && index != ItemIndex()) SetItemIndex(index);
}

void TcxGridPopupInnerListBox::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxGridPopupInnerListBox> self(this);
  TcxInnerListBox::MouseUp(button, shift, x, y);
  if (!self || button != mbLeft) return;
  const Integer index = ItemAtPos(TPoint(x, y), true);
  if (index != -1 && PopupListBox()) PopupListBox()->ItemClicked(index);
}

void TcxGridPopupInnerListBox::KeyDown(Word& key, TShiftState shift) {
  TcxGridPopupListBox* box = PopupListBox();
  if (box && key == VK_RETURN) {
    key = 0;
    box->ItemClicked(ItemIndex());
    return;
  }
  if (box && key == VK_ESCAPE) {
    key = 0;
    box->Popup()->ClosePopup();
    return;
  }
  TcxInnerListBox::KeyDown(key, shift);
}

TcxGridPopupListBox::TcxGridPopupListBox(TcxCustomGridPopup* popup)
    : TcxListBox(popup, TcxGridPopupInnerListBox::StaticClass()), popup_(popup) {
  if (popup->GridView()->Control()) Style()->LookAndFeel()->AttachToMaster(popup->GridView()->Control()->LookAndFeelObject());
  Style()->SetBorderStyle(cbsNone);
  Style()->SetHotTrack(false);
  Style()->SetTransparentBorder(false);
  SetParentFont(true);
  SetListStyle(lbOwnerDrawFixed);
  SetParent(popup);
  OnDrawItem = [this](TcxListBox*, TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
    PaintItem(canvas, index, rect, state);
  };
}

void TcxGridPopupListBox::ItemClicked(Integer index) {
  if (index == -1) return;
  TWeakRef<TcxGridPopupListBox> self(this);
  popup_->ClosePopup();
  if (self && OnItemClick) OnItemClick(this, index);
}

Integer TcxGridPopupListBox::CalculateItemHeight() {
  return MeasureTextHeightInFont(Font(), "Qq") + 2 * TextOffsetVert;
}

Integer TcxGridPopupListBox::GetVisibleItemCount(TStrings* items) {
  const Integer count = items->Count();
  return MaxVisibleItemCount > 0 ? std::min(count, MaxVisibleItemCount) : count;
}

TSize TcxGridPopupListBox::ListClientSize() const { return ListRowsAreaSize(const_cast<TcxGridPopupListBox*>(this)); }

void TcxGridPopupListBox::AdjustSize(TStrings* items) {
  if (!items) items = Items();
  const Integer itemHeight = CalculateItemHeight();
  SetItemHeight(itemHeight);
  const Integer rows = GetVisibleItemCount(items);
  Integer textWidth = 0;
  for (Integer i = 0; i < items->Count(); ++i) textWidth = std::max(textWidth, MeasureTextWidthInFont(Font(), items->Strings(i)));
  Integer width = textWidth + TextIndentLeft + TextIndentRight;
  if (MaxWidth > 0) width = std::min(width, MaxWidth);
  if (rows < items->Count()) width += GetSystemMetrics(SM_CXVSCROLL);
  MinWidthResult = width;
  width = std::max(width, popup_->GetMinWidth());
  SetListClientSize(this, width, rows * itemHeight);
}

TSize ListRowsAreaSize(TcxListBox* list) {
  // The platform list keeps a 2-pixel margin inside its client area on every side.
  constexpr Integer kMargins = 4;
  TcxInnerListBox* inner = list->InnerListBox();
  const DWORD style = inner->HandleAllocated() ? DWORD(GetWindowLong(inner->Handle(), GWL_STYLE)) : 0;
  return TSize(inner->ClientWidth() - kMargins + ((style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0),
               inner->ClientHeight() - kMargins + ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0));
}

void SetListClientSize(TcxListBox* list, Integer width, Integer height) {
  // The inner list's frame and the container's come on top of the wanted size.
  list->SetBounds(0, 0, width, height);
  list->RefreshState(TPoint(-1, -1), 0, TShiftState(), false);
  const TSize area = ListRowsAreaSize(list);
  list->SetBounds(0, 0, width + list->Width() - area.cx, height + list->Height() - area.cy);
  list->RefreshState(TPoint(-1, -1), 0, TShiftState(), false);
}

void TcxGridPopupListBox::PaintItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
  const bool selected = state.Contains(odSelected);
  canvas->FillRectColor(rect, selected ? clHighlight : clWindow);
  canvas->CurrentFont()->SetColor(selected ? clHighlightText : clWindowText);
  TRect text = rect;
  text.Left += TextIndentLeft;
  text.Right -= TextIndentRight;
  canvas->OutputText(Items()->Strings(index), text, ctfLeft | ctfVCenter | ctfSingleLine);
  if (state.Contains(odFocused)) canvas->DrawFocusFrame(rect);
}
