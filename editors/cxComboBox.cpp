#include "editors/cxComboBox.h"

#include <algorithm>

#include "editors/cxCheckBox.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxFilterControlUtils.h"
#include "editors/cxPopupEdit.h"
#include "editors/cxRadioGroup.h"
#include "rtl/TypInfo.h"
#include "vcl/Forms.h"

namespace {
const TcxResourceStringRec scxSEditRepositoryComboBoxItem = {"scxSEditRepositoryComboBoxItem",
                                                              "ComboBox|Represents the combo box editor"};
}  // namespace

// ---- properties ------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomComboBoxProperties)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxComboBoxProperties) {}

TcxCustomComboBoxProperties::TcxCustomComboBoxProperties(TPersistent* owner)
    : TcxCustomDropDownEditProperties(owner) {}

void TcxCustomComboBoxProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomComboBoxProperties*>(source);
  if (!s) {
    TcxCustomDropDownEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    TcxCustomDropDownEditProperties::Assign(source);
    SetDropDownListStyle(s->dropDownListStyle_);
    SetDropDownRows(s->dropDownRows_);
    SetItemHeight(s->itemHeight_);
    revertable_ = s->revertable_;
    OnDrawItem = s->OnDrawItem;
    OnMeasureItem = s->OnMeasureItem;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomComboBoxProperties::SetDropDownListStyle(TcxEditDropDownListStyle v) { SetAndNotify(dropDownListStyle_, v); }

void TcxCustomComboBoxProperties::SetDropDownRows(Integer v) {
  if (v >= 1) SetAndNotify(dropDownRows_, v);
}

void TcxCustomComboBoxProperties::SetItemHeight(Integer v) { SetAndNotify(itemHeight_, v); }

TClass TcxCustomComboBoxProperties::GetContainerClass() { return TcxComboBox::StaticClass(); }

TClass TcxCustomComboBoxProperties::GetPopupWindowClass() { return TcxComboBoxPopupWindow::StaticClass(); }

TClass TcxCustomComboBoxProperties::GetLookupDataClass() { return TcxComboBoxLookupData::StaticClass(); }

TcxTextEditingStyle TcxCustomComboBoxProperties::GetEditingStyle() {
  switch (dropDownListStyle_) {
    case lsEditFixedList: return tesListOrText;
    case lsFixedList: return tesListOnly;
    default: return tesFreeText;
  }
}

// ---- list box ----------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxComboBoxListBox)

TcxComboBoxListBox::TcxComboBoxListBox(TComponent* owner) : TcxCustomEditListBox(owner) {
  SetStyle(lbOwnerDrawVariable);
}

TcxCustomComboBox* TcxComboBoxListBox::GetComboBox() const {
  auto* popup = dynamic_cast<TcxCustomEditPopupWindow*>(Owner());
  return popup ? dynamic_cast<TcxCustomComboBox*>(popup->GetOwnerControl()) : nullptr;
}

Integer TcxComboBoxListBox::ItemHeightFor(Integer index) {
  TcxCustomComboBox* combo = GetComboBox();
  Integer height = combo ? combo->EffectiveComboProperties()->ItemHeight() : 0;
  if (height <= 0) {
    // The text height of "Wg" in the list's font.
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    height = c->TextHeight("Wg");
  }
  if (index >= 0 && combo && combo->IsOwnerMeasured()) combo->DoMeasureItem(index, height);
  return height;
}

Integer TcxComboBoxListBox::GetRowsHeight(Integer rows) {
  Integer total = 0;
  for (Integer i = 0; i < rows && i < Count(); ++i) total += ItemHeightFor(i);
  return total;
}

Integer TcxComboBoxListBox::GetItemWidth(Integer index) {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  return c->TextWidth(GetItemText(index));
}

String TcxComboBoxListBox::GetItemText(Integer index) {
  TcxCustomComboBox* combo = GetComboBox();
  return combo && combo->GetComboLookupData() ? combo->GetComboLookupData()->GetItemText(index) : ItemText(index);
}

void TcxComboBoxListBox::RecalculateItemHeight() {
  SetItemHeight(ItemHeightFor(-1));
  TcxCustomComboBox* combo = GetComboBox();
  SetStyle(combo && combo->IsOwnerMeasured() ? lbOwnerDrawVariable : lbOwnerDrawFixed);
}

void TcxComboBoxListBox::DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) {
  TcxCustomComboBox* combo = GetComboBox();
  if (combo && combo->IsOwnerDrawn()) {
    TcxCanvas canvas(Canvas());
    combo->DoDrawItem(&canvas, index, rect, state);
    return;
  }
  TCanvas* c = Canvas();
  c->FillRect(rect);
  if (index < 0 || index >= Count()) return;
  TRect r = rect;
  r.Left += 2 - HorzOffset();
  String text = GetItemText(index);
  c->Brush()->SetStyle(bsClear);
  c->TextRect(r, text, TTextFormat{tfSingleLine, tfVerticalCenter, tfNoPrefix});
}

void TcxComboBoxListBox::MeasureItem(Integer index, Integer& height) { height = ItemHeightFor(index); }

bool TcxComboBoxListBox::DrawsFocusRect() {
  TcxCustomComboBox* combo = GetComboBox();
  if (!combo) return false;
  const TcxTextEditingStyle style = combo->EffectiveComboProperties()->GetEditingStyle();
  return style == tesListOnly || style == tesNoTyping;
}

void TcxComboBoxListBox::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxCustomEditListBox::MouseMove(shift, x, y);
  if (ignoreMouseMove_) {
    ignoreMouseMove_ = false;
    return;
  }
  if (GetCapture() == Handle() || !HotTrackItems) return;
  const Integer index = std::min(ItemAtPos(TPoint(x, y), false), Count() - 1);
  if (index != -1 && index != ItemIndex()) {
    SetItemIndex(index);
    NotifySelectionChanged();
  }
}

void TcxComboBoxListBox::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxCustomEditListBox::MouseUp(button, shift, x, y);
  if (button != mbLeft) return;
  const Integer index = ItemAtPos(TPoint(x, y), true);
  if (index == -1) return;
  if (GetCapture() == Handle()) ReleaseCapture();
  SetItemIndex(index);
  NotifySelectionChanged();
  if (TcxCustomComboBox* combo = GetComboBox()) combo->CloseUp(crAccept);
}

void TcxComboBoxListBox::Click() {
  TcxCustomEditListBox::Click();
  NotifySelectionChanged();
}

// ---- lookup data -------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxComboBoxLookupData)

void TcxComboBoxLookupData::DoCreateListIn(TWinControl* parent) {
  TcxCustomTextEditLookupData::DoCreateListIn(parent);
  if (!list_) return;
  TcxContainerStyle* style = OwnerEdit()->TcxContainer::Style();
  list_->SetColor(style->Color());
  list_->Font()->Assign(style->Font());
  static_cast<TcxComboBoxListBox*>(list_)->RecalculateItemHeight();
}

void TcxComboBoxLookupData::GetListContentSize(TSize& size) {
  auto* list = static_cast<TcxComboBoxListBox*>(list_);
  if (!list) {
    size = TSize(0, 0);
    return;
  }
  auto* combo = static_cast<TcxCustomComboBox*>(OwnerEdit());
  const Integer rows_setting = combo->EffectiveComboProperties()->DropDownRows();
  const Integer count = GetItemCount();
  const Integer rows = std::min(rows_setting, count);
  Integer width = 0;
  for (Integer i = 0; i < count; ++i) width = std::max(width, list->GetItemWidth(i));
  // 2 pixels of text margin each side; the platform list keeps a 2-pixel frame inside its client area.
  constexpr Integer kFrame = 4;
  width += 4;
  list->SetScrollWidth(0);
  list->SetScrollWidth(width);
  if (rows_setting < count) width += GetSystemMetrics(SM_CXVSCROLL);
  width += kFrame;
  Integer height = list->GetRowsHeight(rows) + kFrame;
  if (size.cx > 0 && size.cx < width) height += GetSystemMetrics(SM_CYHSCROLL);
  size = TSize(width, height);
}

bool TcxComboBoxLookupData::CanResizeList(Integer& height) {
  auto* list = static_cast<TcxComboBoxListBox*>(list_);
  if (!list) return true;
  constexpr Integer kFrame = 4;
  const Integer wanted = height - kFrame;
  if (height == list->Height()) return true;
  const bool enlarging = height >= list->Height();
  const Integer count = GetItemCount();
  Integer total = 0;
  for (Integer i = 0; i < count; ++i) {
    const Integer next = total + list->ItemHeightFor(i);
    if (next == wanted) {
      total = next;
      break;
    }
    if (next > wanted) {
      if (!enlarging || total == 0) total = next;
      break;
    }
    total = next;
  }
  height = total + kFrame;
  return true;
}

// ---- popup window ------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxComboBoxPopupWindow)

void TcxComboBoxPopupWindow::CalculateSize() {
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  vi->GripCorner = 3;
  TcxCustomDropDownEdit* edit = GetOwnerControl();
  if (!edit) {
    TcxCustomEditPopupWindow::CalculateSize();
    return;
  }
  OwnerBounds = edit->PopupOwnerBounds();
  TRect extent;
  vi->GetBorderExtent(extent);
  TSize m, c;
  GetMinSize(m);
  edit->PopupContentSize(c);
  const bool remembered = edit->SizeRemembered() && Sizeable();
  Integer w, h;
  if (remembered || (!AutoSize() && PopupWidth > 0))
    w = PopupWidth;
  else if (AutoSize())
    w = std::max<Integer>(c.cx + extent.Left + extent.Right, edit->Width());
  else
    w = edit->Width();
  if (Sizeable() && MinWidth > 0) w = std::max(w, MinWidth);
  if (remembered)
    h = PopupHeight;
  else if (PopupHeight == 0 || (AutoSize() && !Sizeable()))
    h = c.cy + extent.Top + extent.Bottom;
  else
    h = PopupHeight;
  if (Sizeable() && MinHeight > 0) h = std::max(h, MinHeight);
  SetBounds(Left(), Top(), std::max<Integer>(w, m.cx), std::max<Integer>(h, m.cy));
}

// ---- combo box ---------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomComboBox)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxComboBox) {}

TcxCustomComboBox::TcxCustomComboBox(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomDropDownEdit(owner, in_place, properties_class) {}

TcxComboBoxLookupData* TcxCustomComboBox::GetComboLookupData() const {
  return dynamic_cast<TcxComboBoxLookupData*>(QueryLookupData());
}

namespace {
TcxCustomComboBoxProperties* RepositoryComboProperties(TcxCustomEdit* edit) {
  return edit->RepositoryItem() ? dynamic_cast<TcxCustomComboBoxProperties*>(edit->RepositoryItem()->Properties())
                                : nullptr;
}
}  // namespace

bool TcxCustomComboBox::IsOwnerDrawn() {
  return ComboProperties()->OnDrawItem || EffectiveComboProperties()->OnDrawItem;
}

bool TcxCustomComboBox::IsOwnerMeasured() {
  return ComboProperties()->OnMeasureItem || EffectiveComboProperties()->OnMeasureItem;
}

void TcxCustomComboBox::DoDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
  TWeakRef<TcxCustomComboBox> self(this);
  if (ComboProperties()->OnDrawItem) ComboProperties()->OnDrawItem(this, canvas, index, rect, state);
  if (!self) return;
  if (TcxCustomComboBoxProperties* p = RepositoryComboProperties(this); p && p->OnDrawItem)
    p->OnDrawItem(this, canvas, index, rect, state);
}

void TcxCustomComboBox::DoMeasureItem(Integer index, Integer& height) {
  TWinControl* list = QueryLookupData() ? QueryLookupData()->GetListControl() : nullptr;
  if (ComboProperties()->OnMeasureItem) ComboProperties()->OnMeasureItem(list, index, height);
  if (TcxCustomComboBoxProperties* p = RepositoryComboProperties(this); p && p->OnMeasureItem)
    p->OnMeasureItem(list, index, height);
}

bool TcxCustomComboBox::CanDropDown() { return !QueryLookupData() || !QueryLookupData()->HasNoItems(); }

void TcxCustomComboBox::PopupContentSize(TSize& size) {
  TcxCustomEditPopupWindow* w = PopupWindow();
  TRect extent;
  w->GetPopupViewInfo()->GetBorderExtent(extent);
  TRect o = PopupOwnerBounds();
  if (Parent()) {
    const TPoint tl = Parent()->ClientToScreen(TPoint(o.Left, o.Top));
    o = ShiftedRect(TRect(0, 0, o.Width(), o.Height()), tl.X, tl.Y);
  }
  TRect above_area, below_area;
  MonitorWorkAreaAt(TPoint(o.Left, o.Top), above_area);
  MonitorWorkAreaAt(TPoint(o.Left, o.Bottom), below_area);
  Integer above = o.Top - above_area.Top - extent.Top - extent.Bottom;
  if (w->Shadow()) above += 3;
  const Integer below = below_area.Bottom - o.Bottom - extent.Top - extent.Bottom;
  const Integer max_height = std::max(above, below);
  TcxCustomComboBoxProperties* p = EffectiveComboProperties();
  Integer max_width;
  if (p->PopupSizeable() || p->PopupAutoSize())
    max_width = above_area.Width() - extent.Left - extent.Right;
  else if (p->PopupWidth() > 0)
    max_width = p->PopupWidth() - extent.Left - extent.Right;
  else
    max_width = o.Width() - extent.Left - extent.Right;
  size = TSize(max_width, max_height);
  QueryLookupData()->GetListContentSize(size);
  size.cy = std::min(size.cy, std::max(0, max_height));
}

void TcxCustomComboBox::PopupWindowShown() {
  TWeakRef<TcxCustomComboBox> self(this);
  TcxCustomDropDownEdit::PopupWindowShown();
  if (!self || !QueryLookupData()) return;
  auto* list = dynamic_cast<TcxComboBoxListBox*>(QueryLookupData()->GetListControl());
  if (list && list->HandleAllocated() && QueryLookupData()->PointOverList(Mouse()->CursorPos()))
    list->IgnoreNextMouseMove();
}

void TcxCustomComboBox::DataChanged() {
  IcxTextEditLookupData* data = QueryLookupData();
  if (!data) {
    TcxCustomDropDownEdit::DataChanged();
    return;
  }
  const Variant key = data->ReadCurrentKey();
  LockValueAssignment(true);
  try {
    TcxCustomDropDownEdit::DataChanged();
    const TcxTextEditingStyle style = EffectiveTextProperties()->GetEditingStyle();
    if (!LookupTextChange() && (DroppedDown() || (ShowQueued() && !FindSelection()) ||
                                style == tesListOrText || style == tesListOnly))
      data->SyncWithEditText();
  } catch (...) {
    LockValueAssignment(false);
    throw;
  }
  LockValueAssignment(false);
  if (!SameVariantValues(key, data->ReadCurrentKey())) ModifiedByUser();
}

void TcxCustomComboBox::ActivateInPlace(TcxCustomEditData*& edit_data) {
  TcxCustomDropDownEdit::ActivateInPlace(edit_data);
  if (QueryLookupData()) QueryLookupData()->SyncWithEditText();
}

void TcxCustomComboBox::DblClick() {
  TWeakRef<TcxCustomComboBox> self(this);
  TcxCustomDropDownEdit::DblClick();
  if (!self || DroppedDown() || !EffectiveComboProperties()->Revertable() || !QueryLookupData()) return;
  LockChangeEvents(true);
  try {
    const Variant key = QueryLookupData()->ReadCurrentKey();
    QueryLookupData()->MoveItem(lmNext, true);
    if (!SameVariantValues(key, QueryLookupData()->ReadCurrentKey()) && CanPostEditValue() &&
        EffectiveComboProperties()->ImmediatePost() && ValidateEdit(true))
      PostEditValue(false);
  } catch (...) {
    if (self) LockChangeEvents(false);
    throw;
  }
  if (self) LockChangeEvents(false);
}

// ---- filter helper -----------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxFilterComboBoxHelper)

TClass TcxFilterComboBoxHelper::ValueEditClass() const { return TcxComboBox::StaticClass(); }

void TcxFilterComboBoxHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                      TcxCustomEditProperties* source, bool keep_buttons) const {
  TcxFilterDropDownEditHelper::PrepareFilterProperties(properties, source, keep_buttons);
  auto* p = dynamic_cast<TcxCustomComboBoxProperties*>(properties);
  if (!p) return;
  p->SetButtonGlyph(nullptr);
  p->SetDropDownRows(8);
  p->SetDropDownListStyle(lsEditList);
  p->SetImmediateDropDown(false);
  p->SetPopupAlignment(taLeftJustify);
  p->SetRevertable(false);
}

namespace {
// Equals, does not equal, is blank, is not blank; with the extended set also in and not in.
void ListFilterOperators(TcxFilterControlOperators& operators, bool in_list) {
  operators = {1, 2, 9, 10};
  if (in_list) operators.insert(operators.end(), {13, 14});
}
TcxCustomComboBoxProperties* FilterComboProperties(TcxCustomEditProperties* properties) {
  return dynamic_cast<TcxCustomComboBoxProperties*>(properties);
}
}  // namespace

KORVAN_IMPLEMENT_CLASS(TcxFilterCheckBoxHelper)

void TcxFilterCheckBoxHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                      TcxCustomEditProperties* source, bool) const {
  auto* combo = FilterComboProperties(properties);
  auto* check = dynamic_cast<TcxCustomCheckBoxProperties*>(source);
  if (!combo || !check) return;
  combo->Items()->Clear();
  combo->Items()->Add(check->ValueToDisplayText(check->ValueChecked(), true, true));
  combo->Items()->Add(check->ValueToDisplayText(check->ValueUnchecked(), true, true));
  combo->SetDropDownListStyle(lsFixedList);
  combo->ClearDefaultValuesProvider();
  ClearPropertiesEvents(combo);
}

void TcxFilterCheckBoxHelper::GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                             Variant& value, String& display_text) const {
  auto* check = dynamic_cast<TcxCustomCheckBoxProperties*>(properties);
  auto* combo = dynamic_cast<TcxCustomComboBox*>(edit);
  const Integer index = combo ? combo->ItemIndex() : -1;
  if (!check || index < 0 || index > 1) {
    value = Null();
    display_text.clear();
    return;
  }
  value = index == 0 ? check->ValueChecked() : check->ValueUnchecked();
  display_text = check->ValueToDisplayText(value, true, true);
}

void TcxFilterCheckBoxHelper::ApplyFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                               const Variant& value) const {
  auto* check = dynamic_cast<TcxCustomCheckBoxProperties*>(properties);
  auto* combo = dynamic_cast<TcxCustomComboBox*>(edit);
  if (!check || !combo) return;
  Variant state;
  check->PrepareDisplayValue(value, state, combo->Focused());
  const Integer s = Integer(state.AsInteger());
  combo->SetItemIndex(s == cbsChecked ? 0 : s == cbsUnchecked ? 1 : -1);
}

void TcxFilterCheckBoxHelper::SupportedOperators(TcxCustomEditProperties*, TcxValueTypeClass,
                                                 TcxFilterControlOperators& operators, bool) const {
  ListFilterOperators(operators, false);
}

KORVAN_IMPLEMENT_CLASS(TcxFilterRadioGroupHelper)

void TcxFilterRadioGroupHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                        TcxCustomEditProperties* source, bool) const {
  auto* combo = FilterComboProperties(properties);
  auto* radio = dynamic_cast<TcxCustomRadioGroupProperties*>(source);
  if (!combo || !radio) return;
  combo->Items()->Clear();
  for (Integer i = 0; i < radio->Items()->Count(); ++i) combo->Items()->Add(radio->Items()->Item(i)->Caption());
  combo->SetDropDownListStyle(lsFixedList);
  combo->ClearDefaultValuesProvider();
  ClearPropertiesEvents(combo);
}

void TcxFilterRadioGroupHelper::GetFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                               Variant& value, String& display_text) const {
  auto* radio = dynamic_cast<TcxCustomRadioGroupProperties*>(properties);
  auto* combo = dynamic_cast<TcxCustomComboBox*>(edit);
  if (!radio) return;
  const Integer index = combo ? combo->ItemIndex() : -1;
  if (index < 0 || index >= radio->Items()->Count()) {
    value = radio->DefaultValue();
    display_text = radio->DefaultCaption();
    return;
  }
  value = radio->Items()->Item(index)->Value();
  display_text = radio->Items()->Item(index)->Caption();
}

void TcxFilterRadioGroupHelper::ApplyFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                                 const Variant& value) const {
  auto* radio = dynamic_cast<TcxCustomRadioGroupProperties*>(properties);
  auto* combo = dynamic_cast<TcxCustomComboBox*>(edit);
  if (radio && combo) combo->SetItemIndex(radio->IndexOfValue(value));
}

void TcxFilterRadioGroupHelper::SupportedOperators(TcxCustomEditProperties*, TcxValueTypeClass,
                                                   TcxFilterControlOperators& operators, bool extended) const {
  ListFilterOperators(operators, extended);
}

// ---- unit start --------------------------------------------------------------------------------------

void InitializeCxComboBox() {
  InitUnit(
      "cxComboBox",
      [] {
        InitializeCxPopupEdit();
        InitializeCxRadioGroup();
        RegisterClass(TcxComboBox::StaticClass());
        RegisterClass(TcxComboBoxProperties::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxComboBoxProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryComboBoxItem));
        FilterEditsController()->RegisterHelper(TcxComboBoxProperties::StaticClass(),
                                                TcxFilterComboBoxHelper::StaticClass());
        FilterEditsController()->RegisterHelper(TcxCheckBoxProperties::StaticClass(),
                                                TcxFilterCheckBoxHelper::StaticClass());
        FilterEditsController()->RegisterHelper(TcxRadioGroupProperties::StaticClass(),
                                                TcxFilterRadioGroupHelper::StaticClass());
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxComboBoxProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxComboBoxProperties::StaticClass(),
                                                  TcxFilterComboBoxHelper::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxCheckBoxProperties::StaticClass(),
                                                  TcxFilterCheckBoxHelper::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxRadioGroupProperties::StaticClass(),
                                                  TcxFilterRadioGroupHelper::StaticClass());
      });
}
