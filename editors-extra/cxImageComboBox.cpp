#include "editors-extra/cxImageComboBox.h"

#include <algorithm>

#include "data/cxCustomDataInternal.h"
#include "data/cxVariants.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxFilterControlUtils.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

// ---- items ---------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxImageComboBoxItem) {
  using I = TcxImageComboBoxItem;
  p.Str("Description", &I::Description, &I::SetDescription);
  p.Int("ImageIndex", &I::ImageIndex, &I::SetImageIndex).Default(-1);
  p.Int("Tag", &I::Tag, &I::SetTag).Default(0);
  p.Var("Value", &I::Value, &I::SetValue).Stored(&I::IsValueStored);
}
KORVAN_IMPLEMENT_CLASS(TcxImageComboBoxItems)

TcxImageComboBoxItem::TcxImageComboBoxItem(TCollection* collection) : TCollectionItem(nullptr) {
  // Joined here, not by the base: the collection reports the new item, which must be whole.
  if (!collection) return;
  auto* properties = dynamic_cast<TcxCustomImageComboBoxProperties*>(collection->Owner());
  if (properties && properties->Images() && properties->Images()->Count() >= collection->Count() + 1)
    imageIndex_ = collection->Count();
  SetCollection(collection);
}

void TcxImageComboBoxItem::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxImageComboBoxItem*>(source);
  if (!s) {
    TCollectionItem::Assign(source);
    return;
  }
  SetDescription(s->description_);
  SetImageIndex(s->imageIndex_);
  tag_ = s->tag_;
  SetValue(s->value_);
}

void TcxImageComboBoxItem::SetDescription(const String& v) {
  if (description_ == v) return;
  description_ = v;
  Changed(false);
}

void TcxImageComboBoxItem::SetImageIndex(Integer v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  Changed(false);
}

void TcxImageComboBoxItem::SetValue(const Variant& v) {
  if (VariantsEqualStrict(value_, v)) return;
  value_ = v;
  Changed(false);
}

void TcxImageComboBoxItems::Update(TCollectionItem* item) {
  TOwnedCollection::Update(item);
  if (destroying_) return;
  if (auto* properties = dynamic_cast<TcxCustomEditProperties*>(Owner())) properties->NotifyPropertiesChanged();
}

// ---- properties ------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomImageComboBoxProperties)
namespace {
using TImageComboProps = TcxImageComboBoxProperties;
}  // namespace
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxImageComboBoxProperties) {
  using P = TImageComboProps;
  static PTypeInfo image_align = EnumTypeInfo("TcxImageAlign", {"iaLeft", "iaRight"});
  p.Str("DefaultDescription", &P::DefaultDescription, &P::SetDefaultDescription);
  p.Int("DefaultImageIndex", &P::DefaultImageIndex, &P::SetDefaultImageIndex).Default(-1);
  p.Int("DropDownRows", &P::DropDownRows, &P::SetDropDownRows).Default(8);
  p.Enum("ImageAlign", &P::ImageAlign, &P::SetImageAlign, image_align).Default(iaLeft);
  p.Object("Images", &P::Images, &P::SetImages, TCustomImageList::StaticClass());
  p.Bool("ImmediateDropDown", &P::ImmediateDropDown, &P::SetImmediateDropDown).Default(true);
  p.Bool("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
  p.Bool("ImmediateUpdateText", &P::ImmediateUpdateText, &P::SetImmediateUpdateText).Default(false);
  p.Object("Items", &P::Items, &P::SetItems, TcxImageComboBoxItems::StaticClass());
  p.Object("LargeImages", &P::LargeImages, &P::SetLargeImages, TCustomImageList::StaticClass());
  p.Bool("MultiLineText", &P::MultiLineText, &P::SetMultiLineText).Default(false);
  p.Bool("PostPopupValueOnTab", &P::PostPopupValueOnTab, &P::SetPostPopupValueOnTab).Default(false);
  p.Bool("Revertable", &P::Revertable, &P::SetRevertable).Default(false);
  p.Bool("ShowDescriptions", &P::ShowDescriptions, &P::SetShowDescriptions).Default(true);
}

TcxCustomImageComboBoxProperties::TcxCustomImageComboBoxProperties(TPersistent* owner)
    : TcxCustomComboBoxProperties(owner),
      imagesLink_(std::make_unique<TChangeLink>()),
      largeImagesLink_(std::make_unique<TChangeLink>()),
      items_(std::make_unique<TcxImageComboBoxItems>(this)) {
  InitializeCxImageComboBox();
  imagesLink_->OnChange = [this](TObject*) { NotifyPropertiesChanged(); };
  largeImagesLink_->OnChange = [this](TObject*) { NotifyPropertiesChanged(); };
  SetDropDownListStyle(lsFixedList);
}

TcxCustomImageComboBoxProperties::~TcxCustomImageComboBoxProperties() {
  // Let go of the lists without reporting changes: the properties' users may be going too.
  // (The change links leave their lists as they are freed.)
  for (TCustomImageList* list : {images_, largeImages_})
    if (list && FreeNotificator()) FreeNotificator()->UnwatchComponent(list);
  items_.reset();
}

void TcxCustomImageComboBoxProperties::SetImageList(TCustomImageList*& field, TChangeLink* link,
                                                    TCustomImageList* v) {
  if (field == v) return;
  if (field) {
    field->UnRegisterChanges(link);
    // The other list may still be the same one, watched for its freeing.
    if (images_ != largeImages_) FreeNotificator()->UnwatchComponent(field);
  }
  field = v;
  if (field) {
    field->RegisterChanges(link);
    FreeNotificator()->WatchComponent(field);
  }
  NotifyPropertiesChanged();
}

void TcxCustomImageComboBoxProperties::ComponentFreed(TComponent* component) {
  TcxCustomComboBoxProperties::ComponentFreed(component);
  // The freed list has already cleared its links.
  if (component == images_) {
    images_ = nullptr;
    NotifyPropertiesChanged();
  }
  if (component == largeImages_) {
    largeImages_ = nullptr;
    NotifyPropertiesChanged();
  }
}

void TcxCustomImageComboBoxProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomImageComboBoxProperties*>(source);
  if (!s) {
    TcxCustomComboBoxProperties::Assign(source);
    return;
  }
  BeginUpdate();
  cxdata_internal::Finally end{[this] { EndUpdate(); }};
  TcxCustomComboBoxProperties::Assign(source);
  SetDefaultDescription(s->defaultDescription_);
  SetDefaultImageIndex(s->defaultImageIndex_);
  SetImageAlign(s->imageAlign_);
  SetImages(s->images_);
  items_->Assign(s->items_.get());
  SetLargeImages(s->largeImages_);
  SetMultiLineText(s->multiLineText_);
  SetShowDescriptions(s->showDescriptions_);
}

TcxImageComboBoxItem* TcxCustomImageComboBoxProperties::FindItemByValue(const Variant& value) {
  for (Integer i = 0; i < items_->Count(); ++i)
    if (SameVariantValues(items_->Item(i)->Value(), value)) return items_->Item(i);
  return nullptr;
}

TcxImageComboBoxItem* TcxCustomImageComboBoxProperties::FindItemByDescription(const String& text) {
  if (!showDescriptions_) return nullptr;
  for (Integer i = 0; i < items_->Count(); ++i)
    if (AnsiCompareText(items_->Item(i)->Description(), text) == 0) return items_->Item(i);
  return nullptr;
}

void TcxCustomImageComboBoxProperties::GetItemTextAndImage(TcxImageComboBoxItem* item, String& text,
                                                           Integer& image_index) {
  text = item ? item->Description() : defaultDescription_;
  image_index = item ? item->ImageIndex() : defaultImageIndex_;
  if (!showDescriptions_) text.clear();
}

void TcxCustomImageComboBoxProperties::GetValueTextAndImage(const Variant& value, String& text, Integer& image_index) {
  GetItemTextAndImage(FindItemByValue(value), text, image_index);
}

String TcxCustomImageComboBoxProperties::DescriptionOfValue(const Variant& value) {
  TcxImageComboBoxItem* item = FindItemByValue(value);
  return item ? item->Description() : defaultDescription_;
}

void TcxCustomImageComboBoxProperties::PrepareDisplayValue(const Variant& edit_value, Variant& display_value, bool) {
  display_value = Variant(DescriptionOfValue(edit_value));
}

String TcxCustomImageComboBoxProperties::ValueToDisplayText(const Variant& edit_value, bool, bool) {
  return DescriptionOfValue(edit_value);
}

bool TcxCustomImageComboBoxProperties::DisplayValuesEqual(const Variant& a, const Variant& b) {
  String text_a, text_b;
  Integer image_a, image_b;
  GetValueTextAndImage(a, text_a, image_a);
  GetValueTextAndImage(b, text_b, image_b);
  return text_a == text_b && (!images_ || image_a == image_b);
}

Word TcxCustomImageComboBoxProperties::GetSupportedOperations() {
  return (Buttons()->Count() > 0 ? 828 : 796) + (showDescriptions_ ? 64 : 0);
}

TClass TcxCustomImageComboBoxProperties::GetLookupDataClass() { return TcxImageComboBoxLookupData::StaticClass(); }

TClass TcxCustomImageComboBoxProperties::GetContainerClass() { return TcxImageComboBox::StaticClass(); }

TcxCustomEditViewData* TcxCustomImageComboBoxProperties::CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                                        bool hide_display_text) {
  auto* data = new TcxImageComboBoxViewData(this, style, is_inplace);
  data->InitFromProperties();
  data->HideDisplayText = hide_display_text;
  return data;
}

TcxCustomEditViewInfo* TcxCustomImageComboBoxProperties::CreateViewInfo() { return new TcxImageComboBoxViewInfo(); }

// ---- view data and view info -------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxImageComboBoxViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxImageComboBoxViewData)

void TcxImageComboBoxViewData::FillDisplayText(TcxCanvas* canvas, const Variant& edit_value,
                                               TcxCustomEditViewInfo* view_info) {
  TcxCustomComboBoxViewData::FillDisplayText(canvas, edit_value, view_info);
  auto* vi = static_cast<TcxImageComboBoxViewInfo*>(view_info);
  ImageComboProperties()->GetValueTextAndImage(edit_value, vi->Text, vi->ImageIndex);
}

void TcxImageComboBoxViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p,
                                                 Integer button, TShiftState shift,
                                                 TcxCustomEditViewInfo* view_info, bool is_mouse_event) {
  TcxCustomComboBoxViewData::CalculateViewInfo(canvas, bounds, p, button, shift, view_info, is_mouse_event);
  auto* vi = static_cast<TcxImageComboBoxViewInfo*>(view_info);
  TcxCustomImageComboBoxProperties* props = ImageComboProperties();
  vi->ImageAlign = props->ImageAlign();
  vi->Images = props->Images();
  vi->ShowDescriptions = props->ShowDescriptions();
  // The editor control shows its current item (or the item of its value).
  if (auto* combo = dynamic_cast<TcxCustomImageComboBox*>(Edit)) {
    String text;
    props->GetItemTextAndImage(combo->ShownItem(), text, vi->ImageIndex);
  }
  const TRect c = vi->ClientArea;
  TRect t = c;
  vi->ImageRect = TRect();
  if (vi->Images) {
    const TRect area(c.Left + 2, c.Top, c.Right - 2, c.Bottom);
    const Integer w = vi->Images->Width(), h = vi->Images->Height();
    Integer left;
    if (w >= area.Width()) {
      left = area.Left;
      t.Right = t.Left;
    } else if (!vi->ShowDescriptions) {
      left = area.Left + (area.Width() - w) / 2;
    } else if (vi->ImageAlign == iaRight) {
      left = area.Right - w;
      t.Right = left - 2;
    } else {
      left = area.Left;
      t.Left = area.Left + w + 2;
    }
    const Integer top = h < area.Height() ? area.Top + (area.Height() - h) / 2 : area.Top;
    vi->ImageRect = ::Bounds(left, top, w, h);
  }
  // The inner text control of an editor sits beside the image.
  if (!IsInplace) vi->ClientArea = t;
  vi->PaintsAsSelection = false;
  vi->TextRect = TRect(t.Left + 2, t.Top + 1, t.Right - 2, t.Bottom - 1);
  if (!vi->ShowDescriptions) vi->Text.clear();
  vi->TextOutData.Prepared = false;
}

void TcxImageComboBoxViewData::GetEditSize(TcxCanvas* canvas, bool is_inplace, const TcxEditSizeProperties& request,
                                           TSize& min_content_size, TcxCustomEditViewInfo* view_info, TSize& size) {
  TCustomImageList* images = ImageComboProperties()->Images();
  if (images) min_content_size.cy = std::max<Integer>(min_content_size.cy, images->Height());
  TcxCustomComboBoxViewData::GetEditSize(canvas, is_inplace, request, min_content_size, view_info, size);
  size.cx += images ? images->Width() + 5 : 1;
}

void TcxImageComboBoxViewInfo::TranslateBy(Integer dx, Integer dy) {
  TcxCustomComboBoxViewInfo::TranslateBy(dx, dy);
  OffsetRect(&ImageRect, dx, dy);
}

void TcxImageComboBoxViewInfo::DrawEditor(TcxCanvas* canvas) {
  canvas->PushDeviceState();
  cxdata_internal::Finally restore{[canvas] { canvas->PopDeviceState(); }};
  if (Images && ImageIndex >= 0 && ImageIndex < Images->Count()) {
    TRect clip;
    IntersectRect(&clip, &ImageRect, &OuterRect);
    canvas->PushDeviceState();
    canvas->IntersectClip(clip);
    if (Transparent)
      Images->Draw(canvas->Canvas(), ImageRect.Left, ImageRect.Top, ImageIndex, Enabled);
    else
      DrawImageViaBitmap(canvas, Images, ImageIndex, ImageRect, FillColor, Enabled);
    canvas->PopDeviceState();
    if (!Transparent) canvas->ExcludeFromClip(clip);
  }
  TcxCustomComboBoxViewInfo::DrawEditor(canvas);
}

// ---- drop-down list ----------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxImageComboBoxListBox)
KORVAN_IMPLEMENT_CLASS(TcxImageComboBoxLookupData)

TcxCustomImageComboBox* TcxImageComboBoxListBox::ImageCombo() const {
  return dynamic_cast<TcxCustomImageComboBox*>(GetComboBox());
}

TcxCustomImageComboBoxProperties* TcxImageComboBoxListBox::ImageComboProperties() const {
  TcxCustomImageComboBox* combo = ImageCombo();
  return combo ? combo->EffectiveImageComboProperties() : nullptr;
}

TCustomImageList* TcxImageComboBoxListBox::GetImages() const {
  TcxCustomImageComboBoxProperties* p = ImageComboProperties();
  if (!p) return nullptr;
  return p->LargeImages() ? p->LargeImages() : p->Images();
}

TRect TcxImageComboBoxListBox::GetImageRect(const TRect& r) const {
  TCustomImageList* images = GetImages();
  const Integer w = images ? images->Width() + 4 : 0;
  TcxCustomImageComboBoxProperties* p = ImageComboProperties();
  if (p && p->ImageAlign() == iaRight) return TRect(r.Right - w, r.Top, r.Right, r.Bottom);
  return TRect(r.Left, r.Top, r.Left + w, r.Bottom);
}

Integer TcxImageComboBoxListBox::MeasureItemHeight(Integer index) {
  TCustomImageList* images = GetImages();
  TcxCustomImageComboBoxProperties* p = ImageComboProperties();
  Integer available = wrapWidth_ - 2;
  Integer min_height = 0;
  if (images) {
    available -= images->Width() + 4;
    min_height = images->Height() + 2;
  }
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  if (p && p->MultiLineText() && available > 0 && index >= 0 && index < p->Items()->Count()) {
    TRect r(0, 0, available, 0);
    String text = p->Items()->Item(index)->Description();
    c->TextRect(r, text, TTextFormat{tfCalcRect, tfWordBreak, tfExpandTabs, tfNoPrefix});
    return std::max(min_height, r.Height() + 2);
  }
  return std::max(c->TextHeight("Wg") + 2, min_height);
}

Integer TcxImageComboBoxListBox::RowsHeight(Integer rows, Integer max_height) {
  TcxCustomImageComboBoxProperties* p = ImageComboProperties();
  const Integer count = p ? p->Items()->Count() : 0;
  auto sum = [&] {
    Integer total = 0;
    for (Integer i = 0; i < rows && i < count; ++i) total += MeasureItemHeight(i);
    return total;
  };
  Integer total = sum();
  if (p && p->MultiLineText() && (total > max_height || count > rows)) {
    wrapWidth_ -= GetSystemMetrics(SM_CXVSCROLL);
    total = sum();
  }
  return total;
}

Integer TcxImageComboBoxListBox::GetPreferredWidth() {
  TcxCustomImageComboBoxProperties* p = ImageComboProperties();
  if (!p) return 0;
  TCustomImageList* images = GetImages();
  const Integer base = images ? images->Width() + 8 : 4;
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  Integer widest = 0;
  for (Integer i = 0; i < p->Items()->Count(); ++i)
    widest = std::max(widest, c->TextWidth(p->Items()->Item(i)->Description()));
  Integer width = base + widest;
  if (p->Items()->Count() > p->DropDownRows()) width += GetSystemMetrics(SM_CXVSCROLL);
  return width;
}

void TcxImageComboBoxListBox::RefreshItemHeights() {
  if (HandleAllocated()) RecreateWnd();
}

void TcxImageComboBoxListBox::DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  TcxCustomImageComboBoxProperties* p = ImageComboProperties();
  TCanvas* c = Canvas();
  c->FillRect(rect);
  if (!p || index < 0 || index >= p->Items()->Count()) return;
  TcxImageComboBoxItem* item = p->Items()->Item(index);
  TTextFormat format = p->MultiLineText() ? TTextFormat{tfNoPrefix, tfExpandTabs, tfWordBreak}
                                          : TTextFormat{tfNoPrefix, tfSingleLine, tfVerticalCenter};
  TRect r = rect;
  r.Left += 2;
  if (TCustomImageList* images = GetImages()) {
    const TRect column = GetImageRect(r);
    if (item->ImageIndex() >= 0 && item->ImageIndex() < images->Count())
      images->Draw(c, column.Left + 1, column.Top + (column.Height() - images->Height()) / 2, item->ImageIndex(),
                   Enabled());
    if (p->ImageAlign() == iaRight)
      r.Right = column.Left;
    else
      r.Left = column.Right;
  }
  if (r.IsEmpty()) return;
  String text = item->Description();
  c->Brush()->SetStyle(bsClear);
  c->TextRect(r, text, format);
  c->Brush()->SetStyle(bsSolid);
}

Integer TcxImageComboBoxLookupData::GetItemCount() {
  auto* combo = dynamic_cast<TcxCustomImageComboBox*>(OwnerEdit());
  return combo ? combo->EffectiveImageComboProperties()->Items()->Count() : 0;
}

String TcxImageComboBoxLookupData::GetItemText(Integer index) {
  auto* combo = dynamic_cast<TcxCustomImageComboBox*>(OwnerEdit());
  if (!combo) return {};
  TcxImageComboBoxItems* items = combo->EffectiveImageComboProperties()->Items();
  return index >= 0 && index < items->Count() ? items->Item(index)->Description() : String();
}

void TcxImageComboBoxLookupData::DoCreateListIn(TWinControl* parent) {
  TcxComboBoxLookupData::DoCreateListIn(parent);
  // Item heights differ with the images and the wrapped descriptions.
  if (list_) list_->SetStyle(lbOwnerDrawVariable);
}

void TcxImageComboBoxLookupData::DoSyncWithEditText() {
  if (OwnerEdit()->SynchronizingDisplay()) return;
  auto* combo = static_cast<TcxCustomImageComboBox*>(OwnerEdit());
  TcxCustomImageComboBoxProperties* p = combo->EffectiveImageComboProperties();
  TcxImageComboBoxItem* item = p->FindItemByValue(combo->EditValue());
  SetCurrentKeyIndex(item ? item->Index() : -1);
}

void TcxImageComboBoxLookupData::GetListContentSize(TSize& size) {
  auto* list = static_cast<TcxImageComboBoxListBox*>(list_);
  if (!list) {
    size = TSize(0, 0);
    return;
  }
  auto* combo = static_cast<TcxCustomImageComboBox*>(OwnerEdit());
  TcxCustomImageComboBoxProperties* p = combo->EffectiveImageComboProperties();
  constexpr Integer kFrame = 4;  // the platform list's 2-pixel frame inside its client area
  const Integer rows = std::min(p->DropDownRows(), GetItemCount());
  Integer wrap = 0;
  if (p->MultiLineText()) {
    // The popup is as wide as the editor (or its set width): the descriptions wrap in it.
    TRect extent;
    combo->PopupWindow()->GetPopupViewInfo()->GetBorderExtent(extent);
    const Integer popup_width = p->PopupWidth() > 0 ? p->PopupWidth() : combo->Width();
    wrap = popup_width - extent.Left - extent.Right - kFrame;
  }
  const Integer old_wrap = list->WrapWidth();
  list->SetWrapWidth(wrap);
  const Integer height = list->RowsHeight(rows, size.cy > 0 ? size.cy - kFrame : 0);
  if (list->WrapWidth() != old_wrap) list->RefreshItemHeights();
  size = TSize(p->MultiLineText() ? 0 : list->GetPreferredWidth() + kFrame, height + kFrame);
}

// ---- the control -----------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomImageComboBox)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxImageComboBox) {
  p.Bool("BeepOnEnter", &TcxCustomTextEdit::BeepOnEnter, &TcxCustomTextEdit::SetBeepOnEnter).Default(true);
  p.Object("Properties", &TcxImageComboBox::ActiveProperties, &TcxImageComboBox::SetProperties,
           TcxImageComboBoxProperties::StaticClass());
  p.Int("ItemIndex", [](const TcxImageComboBox* o) { return const_cast<TcxImageComboBox*>(o)->ItemIndex(); },
        &TcxCustomTextEdit::SetItemIndex)
      .Stored(false);
}
KORVAN_IMPLEMENT_CLASS(TcxEditRepositoryImageComboBoxItem)

TcxCustomImageComboBox::TcxCustomImageComboBox(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomComboBox(owner, in_place, properties_class) {
  InitializeCxImageComboBox();
}

TcxImageComboBoxItem* TcxCustomImageComboBox::ShownItem() {
  TcxImageComboBoxItems* items = EffectiveImageComboProperties()->Items();
  const Integer key = ItemIndex();
  if (key >= 0 && key < items->Count()) return items->Item(key);
  return EffectiveImageComboProperties()->FindItemByValue(EditValue());
}

void TcxCustomImageComboBox::DisplayToEditValue(const Variant&, Variant& edit_value, bool) {
  edit_value = KeyToEditValue(LookupData() ? LookupData()->ReadCurrentKey() : Variant(-1));
}

Variant TcxCustomImageComboBox::KeyToEditValue(const Variant& key) {
  const Integer index = KeyToItemIndex(key);
  TcxImageComboBoxItems* items = EffectiveImageComboProperties()->Items();
  return index >= 0 && index < items->Count() ? items->Item(index)->Value() : Null();
}

void TcxCustomImageComboBox::SynchronizeDisplayValue() {
  if (IsInnerEditUnavailable() || !LookupData()) {
    TcxCustomComboBox::SynchronizeDisplayValue();
    return;
  }
  const Variant old_key = LookupData()->ReadCurrentKey();
  PushModifiedState();
  {
    cxdata_internal::Finally pop{[this] { PopModifiedState(); }};
    LookupData()->DoSyncWithEditText();
    // Another item shown: the control tells it as a click.
    if (!SameVariantValues(old_key, LookupData()->ReadCurrentKey())) ModifiedByUser();
  }
  // The text shows the description of the value.
  TcxCustomComboBox::SynchronizeDisplayValue();
}

void TcxCustomImageComboBox::HideTextWithoutDescriptions() {
  TcxCustomTextEditViewInfo* vi = GetTextEditViewInfo();
  if (vi && !EffectiveImageComboProperties()->ShowDescriptions()) {
    vi->Text.clear();
    vi->TextOutData.Prepared = false;
  }
}

void TcxCustomImageComboBox::RefreshDisplayText() {
  TcxCustomComboBox::RefreshDisplayText();
  HideTextWithoutDescriptions();
}

bool TcxCustomImageComboBox::RefreshState(const TPoint& p, Integer button, TShiftState shift, bool is_mouse_event) {
  const bool result = TcxCustomComboBox::RefreshState(p, button, shift, is_mouse_event);
  HideTextWithoutDescriptions();
  return result;
}

void TcxCustomImageComboBox::PopupContentSize(TSize& size) {
  TcxCustomComboBox::PopupContentSize(size);
  // Wrapped descriptions: the popup is as wide as the editor.
  if (EffectiveImageComboProperties()->MultiLineText()) size.cx = 0;
}

// ---- filter helper -------------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxFilterImageComboBoxHelper)

TClass TcxFilterImageComboBoxHelper::ValueEditClass() const { return TcxImageComboBox::StaticClass(); }

void TcxFilterImageComboBoxHelper::PrepareFilterProperties(TcxCustomEditProperties* properties,
                                                           TcxCustomEditProperties* source,
                                                           bool keep_buttons) const {
  TcxFilterComboBoxHelper::PrepareFilterProperties(properties, source, keep_buttons);
  auto* p = dynamic_cast<TcxCustomImageComboBoxProperties*>(properties);
  if (!p) return;
  p->SetDropDownListStyle(lsFixedList);
  p->SetImmediateDropDown(true);
  p->SetShowDescriptions(true);
}

void TcxFilterImageComboBoxHelper::SupportedOperators(TcxCustomEditProperties*, TcxValueTypeClass,
                                                      TcxFilterControlOperators& operators, bool extended) const {
  operators = {1, 2, 9, 10};
  if (extended) operators.insert(operators.end(), {13, 14});
}

// ---- unit start -------------------------------------------------------------------------------------------

void InitializeCxImageComboBox() {
  InitUnit(
      "cxImageComboBox",
      [] {
        InitializeCxComboBox();
        RegisterClass(TcxImageComboBox::StaticClass());
        RegisterClass(TcxImageComboBoxProperties::StaticClass());
        RegisterClass(TcxEditRepositoryImageComboBoxItem::StaticClass());
        RegisterClass(TcxImageComboBoxItem::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(
            TcxImageComboBoxProperties::StaticClass(),
            "ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown "
            "window");
        FilterEditsController()->RegisterHelper(TcxImageComboBoxProperties::StaticClass(),
                                                TcxFilterImageComboBoxHelper::StaticClass());
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxImageComboBoxProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxImageComboBoxProperties::StaticClass(),
                                                  TcxFilterImageComboBoxHelper::StaticClass());
      });
}
