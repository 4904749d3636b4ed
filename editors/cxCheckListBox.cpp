#include "editors/cxCheckListBox.h"

#include <algorithm>

#include "data/cxVariants.h"
#include "rtl/TypInfo.h"

namespace {

// The same value of the same type (a change of type counts as a change).
bool SameExactly(const Variant& a, const Variant& b) {
  return a.VarType() == b.VarType() && (a.IsNull() || a.IsEmpty() || VariantsCompareEqual(a, b));
}

}  // namespace

// ---- item --------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCheckListBoxItem) {
  using I = TcxCheckListBoxItem;
  p.Bool("Enabled", &I::Enabled, &I::SetEnabled).Default(true);
  p.Int("ImageIndex", &I::ImageIndex, &I::SetImageIndex).Default(-1);
  p.Enum("State", &I::State, &I::SetState, CheckBoxStateTypeInfo())
      .Default(cbsUnchecked);
  p.Int("Tag", &I::Tag, &I::SetTag).Default(0);
  p.Str("Text", &I::Text, &I::SetText);
}

TcxCheckListBoxItem::TcxCheckListBoxItem(TCollection* collection)
    : TCollectionItem(TcxCheckListBoxItems::EnterItemConstruction(collection)) {
  if (auto* items = dynamic_cast<TcxCheckListBoxItems*>(collection)) items->LeaveItemConstruction();
}

TcxCustomInnerCheckListBox* TcxCheckListBoxItem::List() const {
  auto* items = dynamic_cast<TcxCheckListBoxItems*>(Collection());
  return items ? items->List() : nullptr;
}

void TcxCheckListBoxItem::Assign(TPersistent* source) {
  if (auto* item = dynamic_cast<TcxCheckListBoxItem*>(source)) {
    SetText(item->Text());
    SetEnabled(item->Enabled());
    SetImageIndex(item->ImageIndex());
    itemObject_ = item->ItemObject();
    SetState(item->State());
    tag_ = item->Tag();
    return;
  }
  TCollectionItem::Assign(source);
}

void TcxCheckListBoxItem::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Changed(false);
}

void TcxCheckListBoxItem::SetImageIndex(Integer v) {
  if (v == imageIndex_) return;
  imageIndex_ = v;
  Changed(false);
}

void TcxCheckListBoxItem::SetState(TcxCheckBoxState v) {
  TcxCustomInnerCheckListBox* list = List();
  TcxCustomCheckListBox* box = list ? list->CheckListBox() : nullptr;
  // The integer format has no grayed state.
  if (v == cbsGrayed && box && box->EditValueFormat() == cvfInteger) v = cbsUnchecked;
  if (v == state_) return;
  state_ = v;
  // Inside the items' update bracket the whole collection is brought up once at its end.
  if (!list || Collection()->UpdateCount() > 0) return;
  list->InvalidateItem(Index());
  if (box && !list->CheckItems()->StatesLocked()) box->EncodeValue();
}

void TcxCheckListBoxItem::SetText(const String& v) {
  if (v == text_) return;
  text_ = v;
  TcxCustomInnerCheckListBox* list = List();
  if (list && Collection()->UpdateCount() == 0 && Index() < list->Items()->Count()) {
    list->Items()->SetStrings(Index(), v);
    if (TcxCustomCheckListBox* box = list->CheckListBox(); box && box->CheckSorted()) box->SortItems();
  }
  Changed(false);
}

// ---- items -------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCheckListBoxItems)

TcxCheckListBoxItems::TcxCheckListBoxItems(TcxCustomInnerCheckListBox* list)
    : TOwnedCollection(list, TcxCheckListBoxItem::StaticClass()), list_(list) {}

TcxCheckListBoxItem* TcxCheckListBoxItems::AddCheckItem(const String& text, TcxCheckBoxState state) {
  TcxCheckListBoxItem* item = AddCheckItem();
  item->SetText(text);
  item->SetState(state);
  return item;
}

Integer TcxCheckListBoxItems::IndexOfText(const String& text) const {
  for (Integer i = 0; i < Count(); ++i)
    if (AnsiCompareText(Item(i)->Text(), text) == 0) return i;
  return -1;
}

void TcxCheckListBoxItems::EndStatesUpdate(bool notify) {
  if (statesLock_ > 0 && --statesLock_ == 0 && notify) Changed();
}

TCollection* TcxCheckListBoxItems::EnterItemConstruction(TCollection* c) {
  if (auto* items = dynamic_cast<TcxCheckListBoxItems*>(c)) ++items->constructing_;
  return c;
}

void TcxCheckListBoxItems::LeaveItemConstruction() {
  if (--constructing_ == 0) Changed();
}

void TcxCheckListBoxItems::Update(TCollectionItem* item) {
  TOwnedCollection::Update(item);
  if (constructing_ > 0) return;
  if (TcxCustomCheckListBox* box = list_ ? list_->CheckListBox() : nullptr)
    box->ItemsUpdated(static_cast<TcxCheckListBoxItem*>(item));
}

// ---- inner check list box --------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomInnerCheckListBox)

TcxCustomInnerCheckListBox::TcxCustomInnerCheckListBox(TComponent* owner)
    : TcxInnerListBox(owner), items_(std::make_unique<TcxCheckListBoxItems>(this)) {
  style_ = lbOwnerDrawFixed;
}

TcxCustomInnerCheckListBox::~TcxCustomInnerCheckListBox() {
  // The items go first: their updates reach the control, which is being destroyed.
  items_.reset();
}

TcxCustomCheckListBox* TcxCustomInnerCheckListBox::CheckListBox() const {
  return dynamic_cast<TcxCustomCheckListBox*>(Owner());
}

TBitmap* TcxCustomInnerCheckListBox::Glyph() {
  if (!glyph_) glyph_ = std::make_unique<TBitmap>();
  return glyph_.get();
}

Integer TcxCustomInnerCheckListBox::CheckItemHeight() {
  TcxCustomCheckListBox* box = CheckListBox();
  return box ? box->CheckItemHeight() : ItemHeight();
}

Integer TcxCustomInnerCheckListBox::GetContentIndent() {
  TcxCustomCheckListBox* box = CheckListBox();
  if (!box) return 0;
  const bool images = box->Images() && box->Images()->Width() > 0;
  Integer indent = LeftIndent;
  if (box->ShowChecks() || images) indent += TextSpacing;
  if (box->ShowChecks()) indent += 2 * CheckMargin + box->CheckSize().cx;
  if (images) indent += box->Images()->Width() + 2 * ImageMargin;
  return indent;
}

TRect TcxCustomInnerCheckListBox::CheckRect(Integer index) {
  TcxCustomCheckListBox* box = CheckListBox();
  if (!box || !box->ShowChecks() || index < 0 || index >= Count()) return TRect();
  const TRect item = ItemRect(index);
  const TSize size = box->CheckSize();
  Integer left = item.Left + LeftIndent + CheckMargin;
  if (box->ImageLayout() == ilBeforeChecks && box->Images() && box->Images()->Width() > 0)
    left += box->Images()->Width() + 2 * ImageMargin;
  const Integer top = item.Top + (item.Height() - size.cy) / 2;
  return TRect(left, top, left + size.cx, top + size.cy);
}

TRect TcxCustomInnerCheckListBox::CheckHitRect(Integer index) {
  TcxCustomCheckListBox* box = CheckListBox();
  const TRect r = CheckRect(index);
  if (r.IsEmpty() || !box) return r;
  const Integer border = box->CheckBorderOffset();
  return GrowRect(r, -border, -border);
}

TRect TcxCustomInnerCheckListBox::ImageRect(Integer index) {
  TcxCustomCheckListBox* box = CheckListBox();
  if (!box || !box->Images() || box->Images()->Width() <= 0) return TRect();
  const TRect item = ItemRect(index);
  Integer left = item.Left + LeftIndent + ImageMargin;
  if (box->ImageLayout() == ilAfterChecks && box->ShowChecks()) left += 2 * CheckMargin + box->CheckSize().cx;
  const Integer h = box->Images()->Height();
  const Integer top = item.Top + (item.Height() - h) / 2;
  return TRect(left, top, left + box->Images()->Width(), top + h);
}

Integer TcxCustomInnerCheckListBox::CheckAtPos(const TPoint& p) {
  const Integer i = ItemAtPos(p, true);
  if (i < 0) return -1;
  const TRect r = CheckHitRect(i);
  return PtInRect(&r, p) ? i : -1;
}

void TcxCustomInnerCheckListBox::InvalidateItem(Integer index) {
  if (!HandleAllocated() || index < 0 || index >= Count()) return;
  const TRect r = ItemRect(index);
  InvalidateRect(Handle(), &r, FALSE);
}

void TcxCustomInnerCheckListBox::ClickCheck(Integer index, TcxCheckBoxState prev_state, TcxCheckBoxState new_state) {
  if (OnClickCheck) OnClickCheck(CheckListBox() ? static_cast<TObject*>(CheckListBox()) : this, index, prev_state, new_state);
}

void TcxCustomInnerCheckListBox::ToggleItem(Integer index) {
  TcxCustomCheckListBox* box = CheckListBox();
  if (!box || index < 0 || index >= items_->Count()) return;
  TcxCheckListBoxItem* item = items_->Item(index);
  if (!item->Enabled()) return;
  if (box->Focused() && !box->DataBinding()->AllowsModification()) return;
  const TcxCheckBoxState old = item->State();
  TcxCheckBoxState next = cbsChecked;
  if (old == cbsUnchecked) next = allowGrayed_ && box->EditValueFormat() != cvfInteger ? cbsGrayed : cbsChecked;
  else if (old == cbsChecked) next = cbsUnchecked;
  TWeakRef<TcxCustomInnerCheckListBox> self(this);
  item->SetState(next);
  if (self) ClickCheck(index, old, next);
}

void TcxCustomInnerCheckListBox::SetHotCheck(Integer index) {
  if (index == hotCheck_) return;
  InvalidateItem(hotCheck_);
  hotCheck_ = index;
  InvalidateItem(hotCheck_);
}

void TcxCustomInnerCheckListBox::SetPressedCheck(Integer index) {
  if (index == pressedCheck_) return;
  InvalidateItem(pressedCheck_);
  pressedCheck_ = index;
  InvalidateItem(pressedCheck_);
}

void TcxCustomInnerCheckListBox::UpdateHotFromCursor() {
  if (!HandleAllocated()) return;
  POINT p;
  GetCursorPos(&p);
  ::ScreenToClient(Handle(), &p);
  const TRect client = ClientRect();
  SetHotCheck(PtInRect(&client, p) ? CheckAtPos(p) : -1);
}

void TcxCustomInnerCheckListBox::KeyPress(char32_t& key) {
  if (key == U' ') ToggleItem(ItemIndex());
  TcxInnerListBox::KeyPress(key);
}

void TcxCustomInnerCheckListBox::MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) {
  if (b != mbLeft || s.Contains(ssDouble)) {
    TcxInnerListBox::MouseDown(b, s, x, y);
    return;
  }
  mouseDownCheck_ = CheckAtPos(TPoint(x, y));
  mouseDownFullyVisible_ = mouseDownCheck_ >= 0 && ItemRect(mouseDownCheck_).Bottom <= ClientHeight();
  TWeakRef<TcxCustomInnerCheckListBox> self(this);
  TcxInnerListBox::MouseDown(b, s, x, y);
  if (!self) return;
  const Integer hit = mouseDownCheck_;
  mouseDownCheck_ = -1;
  if (hit < 0 || hit >= items_->Count() || !items_->Item(hit)->Enabled()) return;
  TcxCustomCheckListBox* box = CheckListBox();
  if ((box && box->DragMode() == dmAutomatic) || !mouseDownFullyVisible_) {
    ToggleItem(hit);
  } else {
    trackedCheck_ = hit;
    SetPressedCheck(hit);
  }
}

void TcxCustomInnerCheckListBox::MouseMove(TShiftState s, Integer x, Integer y) {
  TWeakRef<TcxCustomInnerCheckListBox> self(this);
  TcxInnerListBox::MouseMove(s, x, y);
  if (!self) return;
  TcxCustomCheckListBox* box = CheckListBox();
  if (box && box->DragMode() == dmAutomatic && GetCapture() != Handle()) trackedCheck_ = -1;
  const Integer at = CheckAtPos(TPoint(x, y));
  SetPressedCheck(trackedCheck_ >= 0 && at == trackedCheck_ ? trackedCheck_ : -1);
  SetHotCheck(at);
  if (box) BeginMouseTracking(this, ClientRect(), box);
}

void TcxCustomInnerCheckListBox::MouseUp(TMouseButton b, TShiftState s, Integer x, Integer y) {
  TWeakRef<TcxCustomInnerCheckListBox> self(this);
  TcxCustomCheckListBox* box = CheckListBox();
  if (b == mbLeft && box && box->DragMode() != dmAutomatic) {
    const Integer at = CheckAtPos(TPoint(x, y));
    const Integer pressed = pressedCheck_;
    trackedCheck_ = -1;
    SetPressedCheck(-1);
    if (pressed >= 0 && at == pressed && pressed < items_->Count() && items_->Item(pressed)->Enabled()) ToggleItem(pressed);
    if (!self) return;
  }
  trackedCheck_ = -1;
  SetPressedCheck(-1);
  TcxInnerListBox::MouseUp(b, s, x, y);
  if (!self) return;
  if (!s.Contains(ssLeft) && !s.Contains(ssRight) && !s.Contains(ssMiddle) && !s.Contains(ssShift) &&
      !s.Contains(ssCtrl))
    SetHotCheck(CheckAtPos(TPoint(x, y)));
}

void TcxCustomInnerCheckListBox::DblClick() {
  TWeakRef<TcxCustomInnerCheckListBox> self(this);
  TcxInnerListBox::DblClick();
  if (!self) return;
  const Integer i = ItemIndex();
  if (i < 0 || i >= items_->Count() || !items_->Item(i)->Enabled()) return;
  POINT p{0, 0};
  if (HandleAllocated()) {
    GetCursorPos(&p);
    ::ScreenToClient(Handle(), &p);
  }
  const TRect check = CheckHitRect(i);
  if (PtInRect(&check, p) || allowDblClickToggle_) ToggleItem(i);
}

void TcxCustomInnerCheckListBox::WndProc(TMessage& m) {
  TWeakRef<TcxCustomInnerCheckListBox> self(this);
  TcxInnerListBox::WndProc(m);
  if (!self) return;
  switch (m.Msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL: UpdateHotFromCursor(); break;
    default: break;
  }
}

void TcxCustomInnerCheckListBox::DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) {
  TcxCustomCheckListBox* box = CheckListBox();
  if (!box || !box->DrawItem(CxCanvas(), index, rect, state)) TcxInnerListBox::DrawItem(index, rect, state);
}

// ---- check list box ----------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomCheckListBox) {
  using C = TcxCustomCheckListBox;
  p.Bool("AllowDblClickToggle", &C::AllowDblClickToggle, &C::SetAllowDblClickToggle).Default(true);
  p.Bool("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed).Default(false);
  p.Var("EditValue", &C::EditValue, &C::SetEditValue);
  p.Enum("EditValueFormat", &C::EditValueFormat, &C::SetEditValueFormat,
         EnumTypeInfo("TcxCheckStatesValueFormat", {"cvfCaptions", "cvfIndices", "cvfInteger", "cvfStatesString"}))
      .Default(cvfInteger);
  p.Int("GlyphCount", &C::GlyphCount, &C::SetGlyphCount).Default(6);
  p.Enum("ImageLayout", &C::ImageLayout, &C::SetImageLayout,
         EnumTypeInfo("TcxCheckListBoxImageLayout", {"ilBeforeChecks", "ilAfterChecks"}))
      .Default(ilBeforeChecks);
  p.Object("Items", &C::CheckItems, &C::SetCheckItems, TcxCheckListBoxItems::StaticClass());
  p.Bool("ShowChecks", &C::ShowChecks, &C::SetShowChecks).Default(true);
  p.Bool("Sorted", &C::CheckSorted, &C::SetCheckSorted).Default(false);
}

TcxCustomCheckListBox::TcxCustomCheckListBox(TComponent* owner)
    : TcxListBox(owner, TcxCustomInnerCheckListBox::StaticClass()),
      editValue_(Variant(int64_t(0))),
      imagesLink_(std::make_unique<TChangeLink>()),
      sortList_(std::make_unique<TStringList>()) {
  imagesLink_->OnChange = [this](TObject*) {
    ApplyItemHeight();
    inner_->Invalidate();
  };
  inner_->SetStyle(lbOwnerDrawFixed);
  ApplyItemHeight();
}

TcxCustomCheckListBox::~TcxCustomCheckListBox() {
  if (images_) images_->UnRegisterChanges(imagesLink_.get());
}

void TcxCustomCheckListBox::SetCheckItems(TcxCheckListBoxItems* v) {
  CheckItems()->Assign(v);
  DataChange();
}

bool TcxCustomCheckListBox::NativeCheck() {
  TcxLookAndFeel* lf = Style()->LookAndFeel();
  return lf->NativeStyle() && CanPaintNatively(true, tcButton);
}

TcxContainerBorderStyle TcxCustomCheckListBox::CheckBorderStyle() {
  switch (Style()->LookAndFeel()->Kind()) {
    case lfFlat: return cbsFlat;
    case lfStandard: return cbs3D;
    case lfOffice11: return cbsOffice11;
    default: return cbsUltraFlat;
  }
}

Integer TcxCustomCheckListBox::CheckBorderOffset() {
  return GetListCheckBorderOffset(Style()->LookAndFeel()->Kind(), NativeCheck(),
                                  IsCheckGlyphUsable(InnerCheckListBox()->GlyphIfAny(), GlyphCount()));
}

TSize TcxCustomCheckListBox::CheckSize() {
  const TSize full = GetEditCheckSize(InnerCheckListBox()->CxCanvas(), NativeCheck(), InnerCheckListBox()->GlyphIfAny(),
                                      GlyphCount());
  // The drawn square; its border lies inside (the hit rectangle leaves it out).
  return full;
}

Integer TcxCustomCheckListBox::CheckItemHeight() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Style()->Font()->Handle());
  SIZE text{};
  GetTextExtentPoint32(dc, "Zg", 2, &text);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  Integer h = text.cy;
  if (showChecks_) h = std::max<Integer>(h, CheckSize().cy + 2 * TcxCustomInnerCheckListBox::CheckMargin);
  if (images_ && images_->Width() > 0)
    h = std::max<Integer>(h, images_->Height() + 2 * TcxCustomInnerCheckListBox::ImageMargin);
  return h;
}

void TcxCustomCheckListBox::ApplyItemHeight() {
  if (inner_) inner_->SetItemHeight(CheckItemHeight());
}

Integer TcxCustomCheckListBox::GetMaxItemWidth() {
  TRect extent;
  FrameExtent(extent);
  Integer widest = 0;
  TcxCanvas* canvas = InnerCheckListBox()->CxCanvas();
  canvas->CurrentFont()->Assign(Style()->Font());
  for (Integer i = 0; i < CheckItems()->Count(); ++i)
    widest = std::max(widest, canvas->Canvas()->TextWidth(CheckItems()->Item(i)->Text()));
  return extent.Left + extent.Right + InnerCheckListBox()->GetContentIndent() + TcxCustomInnerCheckListBox::TextWidthExtra +
         widest;
}

Integer TcxCustomCheckListBox::GetHeightForRows(Integer count) {
  TRect extent;
  FrameExtent(extent);
  return count * CheckItemHeight() + extent.Top + extent.Bottom;
}

Integer TcxCustomCheckListBox::GetItemWidth(Integer index) {
  TRect extent;
  FrameExtent(extent);
  TcxCanvas* canvas = InnerCheckListBox()->CxCanvas();
  canvas->CurrentFont()->Assign(Style()->Font());
  return extent.Left + extent.Right + InnerCheckListBox()->GetContentIndent() +
         canvas->Canvas()->TextWidth(CheckItems()->Item(index)->Text()) + TcxCustomInnerCheckListBox::TextWidthExtra;
}

bool TcxCustomCheckListBox::IsValidEditValue(const Variant& v, bool allow_empty) {
  if (v.IsNull() || v.IsEmpty()) return allow_empty;
  if (IsNumericOrBcdVariant(v)) return true;
  if (!VarIsStr(v)) return false;
  const String s = Trim(VarToStr(v));
  Integer i;
  double d;
  return TryStrToInt(s, i) || TryStrToFloat(s, d);
}

void TcxCustomCheckListBox::SetEditValue(const Variant& v) {
  statesDerived_ = false;
  const bool differs = OnEditValueChanged && !SameExactly(v, editValue_);
  editValue_ = v;
  DecodeValue();
  if (differs) DoEditValueChanged();
}

void TcxCustomCheckListBox::SetEditValueFormat(TcxCheckStatesValueFormat v) {
  if (v == format_) return;
  format_ = v;
  if (!statesDerived_) {
    DecodeValue();
    return;
  }
  if (v == cvfInteger) {
    for (Integer i = 0; i < CheckItems()->Count(); ++i)
      if (CheckItems()->Item(i)->State() == cbsGrayed) CheckItems()->Item(i)->StoreState(cbsUnchecked);
    inner_->Invalidate();
  }
  EncodeValue();
}

void TcxCustomCheckListBox::DecodeValue() {
  TcxCheckListBoxItems* items = CheckItems();
  TcxCheckStates states(size_t(items->Count()), cbsUnchecked);
  if (OnEditValueToCheckStates) OnEditValueToCheckStates(this, editValue_, states);
  else DecodeCheckStates(editValue_, items, format_, states);
  states.resize(size_t(items->Count()), cbsUnchecked);
  // Every state at once (no re-encoding per item); the integer format has no grayed state.
  for (Integer i = 0; i < items->Count(); ++i) {
    const TcxCheckBoxState s = states[size_t(i)];
    items->Item(i)->StoreState(s == cbsGrayed && format_ == cvfInteger ? cbsUnchecked : s);
  }
  inner_->Invalidate();
}

void TcxCustomCheckListBox::EncodeValue() {
  TcxCheckListBoxItems* items = CheckItems();
  TcxCheckStates states(size_t(items->Count()));
  for (Integer i = 0; i < items->Count(); ++i) states[size_t(i)] = items->Item(i)->State();
  Variant value;
  if (OnCheckStatesToEditValue) OnCheckStatesToEditValue(this, states, value);
  else value = EncodeCheckStates(states, items, format_);
  const bool differs = OnEditValueChanged && !SameExactly(value, editValue_);
  editValue_ = value;
  statesDerived_ = true;
  if (differs) DoEditValueChanged();
}

void TcxCustomCheckListBox::ItemsUpdated(TcxCheckListBoxItem* item) {
  if (!inner_ || ComponentState().Contains(csDestroying)) return;
  TcxCheckListBoxItems* items = CheckItems();
  TStrings* strings = inner_->Items();
  if (strings->Count() != items->Count() || !item) {
    strings->BeginUpdate();
    while (strings->Count() < items->Count()) strings->Add(String());
    while (strings->Count() > items->Count()) strings->Delete(strings->Count() - 1);
    if (!item)
      for (Integer i = 0; i < items->Count(); ++i) strings->SetStrings(i, items->Item(i)->Text());
    strings->EndUpdate();
  }
  if (!item) {
    if (sorted_) SortItems();
    inner_->Invalidate();
  } else {
    InnerCheckListBox()->InvalidateItem(item->Index());
  }
  if (statesDerived_) EncodeValue();
  else DecodeValue();
}

void TcxCustomCheckListBox::SortItems() {
  if (sorting_) return;
  sorting_ = true;
  TcxCheckListBoxItems* items = CheckItems();
  sortList_->Clear();
  for (Integer i = 0; i < items->Count(); ++i) sortList_->AddObject(items->Item(i)->Text(), items->Item(i));
  sortList_->Sort();
  items->BeginUpdate();
  for (Integer i = 0; i < sortList_->Count(); ++i) static_cast<TcxCheckListBoxItem*>(sortList_->Objects(i))->SetIndex(i);
  items->EndUpdate();
  sortList_->Clear();
  sorting_ = false;
  inner_->Invalidate();
}

void TcxCustomCheckListBox::SetCheckSorted(bool v) {
  if (v == sorted_) return;
  sorted_ = v;
  if (v) SortItems();
}

void TcxCustomCheckListBox::SetImages(TCustomImageList* v) {
  if (v == images_) return;
  if (images_) {
    images_->UnRegisterChanges(imagesLink_.get());
    images_->RemoveFreeNotification(this);
  }
  images_ = v;
  if (images_) {
    images_->RegisterChanges(imagesLink_.get());
    images_->FreeNotification(this);
  }
  ApplyItemHeight();
  inner_->Invalidate();
}

void TcxCustomCheckListBox::Notification(TComponent* component, TOperation operation) {
  TcxListBox::Notification(component, operation);
  if (operation == opRemove && component == images_) {
    images_ = nullptr;
    ApplyItemHeight();
    if (inner_) inner_->Invalidate();
  }
}

void TcxCustomCheckListBox::SetImageLayout(TcxCheckListBoxImageLayout v) {
  if (v == imageLayout_) return;
  imageLayout_ = v;
  inner_->Invalidate();
}

void TcxCustomCheckListBox::SetShowChecks(bool v) {
  if (v == showChecks_) return;
  showChecks_ = v;
  ApplyItemHeight();
  inner_->Invalidate();
  DataBinding()->Reset();
}

void TcxCustomCheckListBox::SetGlyph(TBitmap* v) {
  if (!v) InnerCheckListBox()->FreeGlyph();
  else InnerCheckListBox()->Glyph()->Assign(v);
  ApplyItemHeight();
  inner_->Invalidate();
}

void TcxCustomCheckListBox::SetGlyphCount(Integer v) {
  InnerCheckListBox()->SetGlyphCount(v);
  if (InnerCheckListBox()->GlyphIfAny()) {
    ApplyItemHeight();
    inner_->Invalidate();
  }
}

void TcxCustomCheckListBox::TrackedMouseLeave() {
  TcxListBox::TrackedMouseLeave();
  InnerCheckListBox()->ClearHotCheck();
}

void TcxCustomCheckListBox::CMFontChanged(TMessage& m) {
  TcxListBox::CMFontChanged(m);
  ApplyItemHeight();
}

void TcxCustomCheckListBox::Loaded() {
  TcxListBox::Loaded();
  DataBinding()->Reset();
  if (inner_->HandleAllocated()) inner_->RecreateWnd();
}

void TcxCustomCheckListBox::DataChange() {
  if (!showChecks_) {
    TcxListBox::DataChange();
    return;
  }
  if (DataBinding()->HasData()) SetEditValue(DataBinding()->DisplayValue(Focused()));
}

void TcxCustomCheckListBox::UpdateData() {
  if (showChecks_) DataBinding()->StoreValue(editValue_);
  else TcxListBox::UpdateData();
}

bool TcxCustomCheckListBox::DrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
  TcxCustomInnerCheckListBox* list = InnerCheckListBox();
  if (index < 0 || index >= CheckItems()->Count()) return false;
  TcxCheckListBoxItem* item = CheckItems()->Item(index);
  TcxContainerStyle* style = CurrentStyle();
  canvas->CurrentFont()->Assign(style->Font());
  const Integer indent = list->GetContentIndent();
  const TRect checkArea(rect.Left, rect.Top, rect.Left + indent, rect.Bottom);
  const TRect itemRect(rect.Left + indent, rect.Top, rect.Right, rect.Bottom);
  const TRect textRect(itemRect.Left + TcxCustomInnerCheckListBox::TextInset, itemRect.Top, itemRect.Right, itemRect.Bottom);
  const bool enabled = Enabled() && item->Enabled();
  const TColor listColor = style->Color();
  canvas->FillRectColor(checkArea, listColor);
  if (showChecks_) {
    Byte buttonState = 0;
    if (!enabled) buttonState = 3;
    else if (index == list->PressedCheck()) buttonState = 2;
    else if (index == list->HotCheck()) buttonState = 1;
    TcxContainerBorderStyle border = CheckBorderStyle();
    if (border == cbsFlat && (buttonState == 1 || buttonState == 2)) border = cbs3D;
    PaintCheckMark(canvas, list->CheckRect(index), item->State(), buttonState, list->GlyphIfAny(), GlyphCount(), border,
                   NativeCheck(), clBtnShadow, listColor, true, InDesignMode(), false, nullptr, nssGrayedChecked);
  }
  if (images_ && images_->Width() > 0 && item->ImageIndex() >= 0 && item->ImageIndex() < images_->Count()) {
    const TRect r = list->ImageRect(index);
    images_->Draw(canvas->Canvas(), r.Left, r.Top, item->ImageIndex(), enabled);
  }
  TColor back = style->Color(), text = style->TextColor();
  if (state.Contains(odSelected) && !InDesignMode()) {
    back = clHighlight;
    text = clHighlightText;
  } else if (!enabled) {
    text = StyleDisabled()->TextColor();
  }
  canvas->FillRectColor(itemRect, back);
  canvas->CurrentFont()->SetColor(text);
  canvas->CurrentBrush()->SetStyle(bsClear);
  TRect tr = textRect;
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT;
  if (TabWidth() > 0) flags |= DT_EXPANDTABS | DT_TABSTOP | (UINT(TabWidth()) << 8);
  ::DrawText(canvas->FontDeviceContext(), item->Text().c_str(), -1, &tr, flags);
  canvas->CurrentBrush()->SetStyle(bsSolid);
  if (state.Contains(odFocused)) {
    canvas->SetBrushColor(back);
    canvas->CurrentFont()->SetColor(text);
    canvas->DrawFocusFrame(itemRect);
  }
  if (OnDrawCheckItem) OnDrawCheckItem(this, index, rect, state);
  return true;
}

KORVAN_IMPLEMENT_CLASS(TcxCheckListBox)

void InitializeCxCheckListBox() {
  InitUnit("cxCheckListBox", [] {
    InitializeCxListBox();
    InitializeCxCheckBox();
    RegisterClass(TcxCheckListBox::StaticClass());
  });
}
