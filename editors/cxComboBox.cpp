#include "editors/cxComboBox.h"

#include <algorithm>
#include <limits>

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
namespace {
using TComboProps = TcxComboBoxProperties;
TComboProps* Mutable(const TComboProps* p) { return const_cast<TComboProps*>(p); }
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxComboBoxProperties) {
  static PTypeInfo list_style = EnumTypeInfo("TcxEditDropDownListStyle", {"lsEditFixedList", "lsEditList", "lsFixedList"});
  p.Bool("AutoSelect", &TComboProps::AutoSelect, &TComboProps::SetAutoSelect).Default(true);
  p.Enum("CharCase", &TComboProps::CharCase, &TComboProps::SetCharCase, EditCharCaseTypeInfo()).Default(ecNormal);
  p.Bool("DropDownAutoWidth", &TComboProps::PopupAutoSize, &TComboProps::SetPopupAutoSize).Default(true);
  p.Enum("DropDownListStyle", &TComboProps::DropDownListStyle, &TComboProps::SetDropDownListStyle, list_style)
      .Default(lsEditList);
  p.Int("DropDownRows", &TComboProps::DropDownRows, &TComboProps::SetDropDownRows).Default(8);
  p.Bool("DropDownSizeable", &TComboProps::PopupSizeable, &TComboProps::SetPopupSizeable).Default(false);
  p.Int("DropDownWidth", &TComboProps::PopupWidth, &TComboProps::SetPopupWidth).Default(0);
  p.Bool("ImmediateDropDown", &TComboProps::ImmediateDropDown, &TComboProps::SetImmediateDropDown).Default(true);
  p.Bool("ImmediatePost", &TComboProps::ImmediatePost, &TComboProps::SetImmediatePost).Default(false);
  p.Bool("IncrementalSearch", &TComboProps::IncrementalSearch, &TComboProps::SetIncrementalSearch).Default(true);
  p.Int("ItemHeight", &TComboProps::ItemHeight, &TComboProps::SetItemHeight).Default(0);
  p.Object("Items", &TComboProps::Items, &TComboProps::SetLookupItems, TStringList::StaticClass());
  p.Int("MaxLength", [](const TComboProps* o) { return Mutable(o)->MaxLength(); }, &TComboProps::SetMaxLength)
      .NoDefault()
      .Stored(&TComboProps::IsMaxLengthStored);
  p.Bool("PostPopupValueOnTab", &TComboProps::PostPopupValueOnTab, &TComboProps::SetPostPopupValueOnTab)
      .Default(false);
  p.Bool("ReadOnly", [](const TComboProps* o) { return Mutable(o)->ReadOnly(); }, &TComboProps::SetReadOnly)
      .NoDefault()
      .Stored(&TComboProps::IsReadOnlyStored);
  p.Bool("Revertable", &TComboProps::Revertable, &TComboProps::SetRevertable).Default(false);
  p.Bool("Sorted", &TComboProps::LookupItemsSorted, &TComboProps::SetLookupItemsSorted).Default(false);
}

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

TcxCustomEditViewData* TcxCustomComboBoxProperties::CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                                   bool hide_display_text) {
  auto* data = new TcxCustomComboBoxViewData(this, style, is_inplace);
  data->InitFromProperties();
  data->HideDisplayText = hide_display_text;
  return data;
}

TcxCustomEditViewInfo* TcxCustomComboBoxProperties::CreateViewInfo() { return new TcxCustomComboBoxViewInfo(); }

// ---- view data and view info -------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomComboBoxViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomComboBoxViewData)

void TcxCustomComboBoxViewInfo::DrawItem(TcxCanvas* canvas, const TRect& r) {
  if (Font) canvas->ApplyFont(Font);
  canvas->SetBrushColor(PaintsAsSelection ? clHighlight : FillColor);
  canvas->CurrentFont()->SetColor(PaintsAsSelection ? clHighlightText : TextColor);
  TOwnerDrawState state{odComboBoxEdit};
  if (Focused) state.Include(odSelected).Include(odFocused);
  PrepareCanvasFont(canvas);
  if (Combo)
    Combo->DoDrawItem(canvas, ItemIndex, r, state);
  else if (ComboProperties && ComboProperties->OnDrawItem)
    ComboProperties->OnDrawItem(nullptr, canvas, ItemIndex, r, state);
}

void TcxCustomComboBoxViewData::SetItemIndex(TcxCustomComboBoxViewInfo* vi, Integer index) {
  vi->ItemIndex = index;
  vi->IsOwnerDrawn = index != -1;
  vi->OwnerDraw = [vi](TcxCanvas* canvas, const TRect& r) { vi->DrawItem(canvas, r); };
}

void TcxCustomComboBoxViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p,
                                                  Integer button, TShiftState shift,
                                                  TcxCustomEditViewInfo* view_info, bool is_mouse_event) {
  TcxCustomDropDownEditViewData::CalculateViewInfo(canvas, bounds, p, button, shift, view_info, is_mouse_event);
  auto* vi = static_cast<TcxCustomComboBoxViewInfo*>(view_info);
  auto* properties = static_cast<TcxCustomComboBoxProperties*>(Properties);
  vi->Combo = dynamic_cast<TcxCustomComboBox*>(Edit);
  vi->ComboProperties = properties;
  Integer index = -1;
  if (vi->Combo && properties->DropDownListStyle() == lsFixedList && vi->Combo->IsOwnerDrawn())
    index = vi->Combo->ItemIndex();
  SetItemIndex(vi, index);
}

void TcxCustomComboBoxViewData::FillDisplayText(TcxCanvas* canvas, const Variant& edit_value,
                                                TcxCustomEditViewInfo* view_info) {
  TcxCustomDropDownEditViewData::FillDisplayText(canvas, edit_value, view_info);
  auto* vi = static_cast<TcxCustomComboBoxViewInfo*>(view_info);
  auto* properties = static_cast<TcxCustomComboBoxProperties*>(Properties);
  // A cell drawn from a value: the item of the value's text.
  if (Edit || properties->DropDownListStyle() != lsFixedList || !properties->OnDrawItem) return;
  SetItemIndex(vi, properties->Items()->IndexOf(vi->Text));
}

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

bool TcxComboBoxLookupData::CanResizeList(TSize& size, Integer max_height) {
  auto* list = static_cast<TcxComboBoxListBox*>(list_);
  if (!list || (size.cx == list->Width() && size.cy == list->Height())) return true;
  constexpr Integer kFrame = 4;  // the platform list's 2-pixel frame inside its client area
  const Integer wanted = size.cy - kFrame;
  const Integer limit = max_height > 0 ? max_height - kFrame : std::numeric_limits<Integer>::max();
  const bool enlarging = size.cy >= list->Height();
  const Integer vbar = GetSystemMetrics(SM_CXVSCROLL), hbar = GetSystemMetrics(SM_CYHSCROLL);
  const Integer count = GetItemCount();
  // The rows' total with the horizontal scroll bar the width left for the items needs.
  auto total_of = [&](Integer rows, Integer rows_height) {
    const Integer items_width = size.cx - kFrame - (rows < count ? vbar : 0);
    return rows_height + (items_width < list->ScrollWidth() ? hbar : 0);
  };
  Integer rows = 0, rows_height = 0, total = 0;
  while (rows < count) {
    const Integer next_height = rows_height + list->ItemHeightFor(rows);
    const Integer next = total_of(rows + 1, next_height);
    if (next == wanted && next <= limit) {
      ++rows, rows_height = next_height, total = next;
      break;
    }
    if (next <= wanted && next <= limit) {
      ++rows, rows_height = next_height, total = next;
      continue;
    }
    // Past the limit or enlarging: the rows that fit; shrinking: the row that overlaps too.
    // At least one row stays.
    if ((next > limit || enlarging) && rows > 0) {
      total = total_of(rows, rows_height);
    } else {
      ++rows, rows_height = next_height, total = next;
    }
    break;
  }
  if (rows == 0) total = 0;
  size.cy = total + kFrame;
  const bool with_hbar = total > rows_height;
  const Integer min_width = (rows < count ? vbar : 0) + (with_hbar ? vbar : 0);
  size.cx = std::max<Integer>(size.cx, min_width + kFrame);
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
  // A remembered height that was reset (0) gives the content's height again.
  if (remembered && PopupHeight > 0)
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
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxComboBox) {
  p.Bool("BeepOnEnter", &TcxCustomTextEdit::BeepOnEnter, &TcxCustomTextEdit::SetBeepOnEnter).Default(true);
  p.Object("Properties", &TcxComboBox::ActiveProperties, &TcxComboBox::SetProperties,
           TcxComboBoxProperties::StaticClass());
  p.Int("ItemIndex", [](const TcxComboBox* o) { return const_cast<TcxComboBox*>(o)->ItemIndex(); },
        &TcxCustomTextEdit::SetItemIndex)
      .Stored(false);
  p.Str("Text", &TControl::Text, &TControl::SetText);
}

KORVAN_IMPLEMENT_CLASS(TcxCustomComboBoxInnerEdit)

void TcxCustomComboBoxInnerEdit::WMLButtonUp(TMessage& m) {
  ControlState() -= csClicked;
  TcxCustomInnerTextEdit::WMLButtonUp(m);
}

TcxCustomComboBox::TcxCustomComboBox(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomDropDownEdit(owner, in_place, properties_class, TcxCustomComboBoxInnerEdit::StaticClass()) {}

void TcxCustomComboBox::WMLButtonUp(TMessage& m) {
  // Mouse clicks fire no click event by themselves.
  ControlState() -= csClicked;
  TcxCustomDropDownEdit::WMLButtonUp(m);
}

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

void TcxCustomComboBox::ResetPopupHeight() {
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(CurrentEditData());
  if (InPlace() && EffectiveComboProperties()->PopupSizeable() && data)
    data->Height = 0;
  else
    EffectiveComboProperties()->SetPopupHeight(0);
}

void TcxCustomComboBox::SetupPopupWindow() {
  TcxCustomDropDownEdit::SetupPopupWindow();
  // A sizeable combo popup always has the system panel with its grip.
  PopupWindow()->SetSysPanelStyle(EffectiveComboProperties()->PopupSizeable());
}

void TcxCustomComboBox::MouseMove(TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomComboBox> self(this);
  TcxCustomDropDownEdit::MouseMove(shift, x, y);
  if (!self || !DroppedDown() || !QueryLookupData()) return;
  // The capture is the editor's: its own window's or its inner edit's (a press on the text).
  const HWND capture = GetCapture();
  if (!capture || (capture != Handle() && !(InnerControl() && InnerControl()->HandleAllocated() &&
                                            capture == InnerControl()->Handle())))
    return;
  TWinControl* list = QueryLookupData()->GetListControl();
  if (!list || !list->HandleAllocated()) return;
  const TPoint screen = ClientToScreen(TPoint(x, y));
  TcxCustomEditPopupWindow* w = PopupWindow();
  if (!w->GetPopupViewInfo()->ClientArea.Contains(w->ScreenToClient(screen)) ||
      !QueryLookupData()->PointOverList(screen))
    return;
  const TPoint at = list->ScreenToClient(screen);
  SendMessage(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, LPARAM(DWORD(Word(at.X)) | (DWORD(Word(at.Y)) << 16)));
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
