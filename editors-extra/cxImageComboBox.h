// The image combo box: a fixed-list combo box whose items carry a value, a description and an
// image; the editor and its cells show the chosen item's image beside its description, the
// drop-down list draws every item with its image (optionally wrapping long descriptions).
#pragma once

#include "editors/cxComboBox.h"
#include "vcl/ImgList.h"

class TcxCustomImageComboBoxProperties;

class TcxImageComboBoxItem : public TCollectionItem {
  KORVAN_CLASS(TcxImageComboBoxItem, TCollectionItem)

 public:
  // A new item's image is its own index when the owner's Images hold as many images as
  // there are items, else -1.
  explicit TcxImageComboBoxItem(TCollection* collection);
  void Assign(TPersistent* source) override;
  String Description() const { return description_; }
  void SetDescription(const String& v);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer v);
  Integer Tag() const { return tag_; }
  void SetTag(Integer v) { tag_ = v; }
  Variant Value() const { return value_; }
  // Compared exactly: the same variant type and value change nothing.
  void SetValue(const Variant& v);
  bool IsValueStored() const { return !value_.IsNull(); }

 private:
  String description_;
  Integer imageIndex_ = -1;
  Integer tag_ = 0;
  Variant value_ = Null();
};

// The items, owned by the properties: every change reports a properties change.
class TcxImageComboBoxItems : public TOwnedCollection {
  KORVAN_CLASS(TcxImageComboBoxItems, TOwnedCollection)

 public:
  explicit TcxImageComboBoxItems(TPersistent* owner)
      : TOwnedCollection(owner, TcxImageComboBoxItem::StaticClass()) {}
  // The items go without reporting to the properties, which are going too.
  ~TcxImageComboBoxItems() override {
    destroying_ = true;
    Clear();
  }
  TcxImageComboBoxItem* Item(Integer index) const { return static_cast<TcxImageComboBoxItem*>(Items(index)); }
  TcxImageComboBoxItem* AddItem() { return static_cast<TcxImageComboBoxItem*>(Add()); }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  bool destroying_ = false;
};

enum TcxImageAlign { iaLeft, iaRight };

class TcxCustomImageComboBoxProperties : public TcxCustomComboBoxProperties {
  KORVAN_CLASS(TcxCustomImageComboBoxProperties, TcxCustomComboBoxProperties)

 public:
  explicit TcxCustomImageComboBoxProperties(TPersistent* owner);
  ~TcxCustomImageComboBoxProperties() override;
  void Assign(TPersistent* source) override;

  // The first item, in order, whose value equals the value (a Boolean against another value
  // compares as strings); none when no item matches.
  TcxImageComboBoxItem* FindItemByValue(const Variant& value);
  // None without ShowDescriptions; else the first item of that description, case ignored.
  TcxImageComboBoxItem* FindItemByDescription(const String& text);
  // An item's description and image, or the defaults without an item; no text without
  // ShowDescriptions.
  void GetItemTextAndImage(TcxImageComboBoxItem* item, String& text, Integer& image_index);
  void GetValueTextAndImage(const Variant& value, String& text, Integer& image_index);
  // The description of a value's item, or DefaultDescription.
  String DescriptionOfValue(const Variant& value);

  void PrepareDisplayValue(const Variant& edit_value, Variant& display_value, bool edit_focused) override;
  String ValueToDisplayText(const Variant& edit_value, bool whole_text, bool for_display) override;
  bool DisplayValuesEqual(const Variant& a, const Variant& b) override;
  bool MatchesLookupItem(const String& text) override { return FindItemByDescription(text) != nullptr; }
  bool IsEditValueValid(Variant&, bool) override { return true; }
  bool UsesFieldDisplayText(bool) override { return false; }
  Byte GetDisplayFormatOptions() override { return 0; }
  Word GetSupportedOperations() override;
  TClass GetLookupDataClass() override;
  TClass GetContainerClass() override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;
  void ComponentFreed(TComponent* component) override;

  String DefaultDescription() const { return defaultDescription_; }
  void SetDefaultDescription(const String& v) { SetAndNotify(defaultDescription_, v); }
  Integer DefaultImageIndex() const { return defaultImageIndex_; }
  void SetDefaultImageIndex(Integer v) { SetAndNotify(defaultImageIndex_, v); }
  TcxImageAlign ImageAlign() const { return imageAlign_; }
  void SetImageAlign(TcxImageAlign v) { SetAndNotify(imageAlign_, v); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v) { SetImageList(images_, imagesLink_.get(), v); }
  TcxImageComboBoxItems* Items() const { return items_.get(); }
  void SetItems(TcxImageComboBoxItems* v) { items_->Assign(v); }
  TCustomImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* v) { SetImageList(largeImages_, largeImagesLink_.get(), v); }
  bool MultiLineText() const { return multiLineText_; }
  void SetMultiLineText(bool v) { SetAndNotify(multiLineText_, v); }
  bool ShowDescriptions() const { return showDescriptions_; }
  void SetShowDescriptions(bool v) { SetAndNotify(showDescriptions_, v); }

 private:
  void SetImageList(TCustomImageList*& field, TChangeLink* link, TCustomImageList* v);
  String defaultDescription_;
  Integer defaultImageIndex_ = -1;
  TcxImageAlign imageAlign_ = iaLeft;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* largeImages_ = nullptr;
  std::unique_ptr<TChangeLink> imagesLink_, largeImagesLink_;
  std::unique_ptr<TcxImageComboBoxItems> items_;
  bool multiLineText_ = false;
  bool showDescriptions_ = true;
};

class TcxImageComboBoxProperties : public TcxCustomImageComboBoxProperties {
  KORVAN_CLASS(TcxImageComboBoxProperties, TcxCustomImageComboBoxProperties)

 public:
  using TcxCustomImageComboBoxProperties::TcxCustomImageComboBoxProperties;
};

// ---- view data and view info ------------------------------------------------------------------

class TcxImageComboBoxViewInfo : public TcxCustomComboBoxViewInfo {
  KORVAN_CLASS(TcxImageComboBoxViewInfo, TcxCustomComboBoxViewInfo)

 public:
  TCustomImageList* Images = nullptr;
  Integer ImageIndex = -1;
  TRect ImageRect;
  TcxImageAlign ImageAlign = iaLeft;
  bool ShowDescriptions = true;
  void DrawEditor(TcxCanvas* canvas) override;
  void TranslateBy(Integer dx, Integer dy) override;
};

class TcxImageComboBoxViewData : public TcxCustomComboBoxViewData {
  KORVAN_CLASS(TcxImageComboBoxViewData, TcxCustomComboBoxViewData)

 public:
  using TcxCustomComboBoxViewData::TcxCustomComboBoxViewData;
  TcxCustomImageComboBoxProperties* ImageComboProperties() const {
    return static_cast<TcxCustomImageComboBoxProperties*>(Properties);
  }
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button, TShiftState shift,
                         TcxCustomEditViewInfo* view_info, bool is_mouse_event) override;
  void FillDisplayText(TcxCanvas* canvas, const Variant& edit_value, TcxCustomEditViewInfo* view_info) override;
  void GetEditSize(TcxCanvas* canvas, bool is_inplace, const TcxEditSizeProperties& request,
                   TSize& min_content_size, TcxCustomEditViewInfo* view_info, TSize& size) override;
};

// ---- drop-down list -----------------------------------------------------------------------------

class TcxCustomImageComboBox;

// The list of the popup: each item with its image (LargeImages when set, else Images) in a
// column at the image side, heights from the image and the text (wrapped with MultiLineText).
class TcxImageComboBoxListBox : public TcxComboBoxListBox {
  KORVAN_CLASS(TcxImageComboBoxListBox, TcxComboBoxListBox)

 public:
  explicit TcxImageComboBoxListBox(TComponent* owner) : TcxComboBoxListBox(owner) {}
  TcxCustomImageComboBox* ImageCombo() const;
  TcxCustomImageComboBoxProperties* ImageComboProperties() const;
  TCustomImageList* GetImages() const;
  // The image column of an item rectangle: full height, the image width + 4.
  TRect GetImageRect(const TRect& item_rect) const;
  // The width descriptions wrap in (0: no wrapping).
  Integer WrapWidth() const { return wrapWidth_; }
  void SetWrapWidth(Integer v) { wrapWidth_ = v; }
  Integer MeasureItemHeight(Integer index);
  // The height of the first rows: with MultiLineText, a scroll bar needed (more items than
  // rows, or taller than max_height) narrows the wrap width and the rows are measured again.
  Integer RowsHeight(Integer rows, Integer max_height);
  // The image column and the widest description, plus a scroll bar beyond DropDownRows.
  Integer GetPreferredWidth();
  // Item heights changed (the wrap width): the window is made anew.
  void RefreshItemHeights();

 protected:
  void DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) override;
  void MeasureItem(Integer index, Integer& height) override { height = MeasureItemHeight(index); }

 private:
  Integer wrapWidth_ = 0;
};

class TcxImageComboBoxLookupData : public TcxComboBoxLookupData {
  KORVAN_CLASS(TcxImageComboBoxLookupData, TcxComboBoxLookupData)

 public:
  using TcxComboBoxLookupData::TcxComboBoxLookupData;
  TClass GetListBoxClass() override { return TcxImageComboBoxListBox::StaticClass(); }
  Integer GetItemCount() override;
  String GetItemText(Integer index) override;
  void DoCreateListIn(TWinControl* parent) override;
  // Selects the item of the editor's edit value (not of its text: descriptions may repeat).
  void DoSyncWithEditText() override;
  void GetListContentSize(TSize& size) override;
};

// ---- the control ---------------------------------------------------------------------------------

class TcxCustomImageComboBox : public TcxCustomComboBox {
  KORVAN_CLASS(TcxCustomImageComboBox, TcxCustomComboBox)

 public:
  explicit TcxCustomImageComboBox(TComponent* owner)
      : TcxCustomImageComboBox(owner, false, TcxCustomImageComboBoxProperties::StaticClass()) {}
  TcxCustomImageComboBox(TComponent* owner, bool in_place, TClass properties_class);
  TcxCustomImageComboBoxProperties* ImageComboProperties() const {
    return static_cast<TcxCustomImageComboBoxProperties*>(Properties());
  }
  TcxCustomImageComboBoxProperties* EffectiveImageComboProperties() {
    return static_cast<TcxCustomImageComboBoxProperties*>(GetEffectiveProperties());
  }
  // The item shown: the lookup's current item, else the item of the edit value.
  TcxImageComboBoxItem* ShownItem();

  bool AcceptsChar(char32_t c) override { return c >= 32; }
  // The text is ignored: the current item's value, Null without one.
  void DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool edit_focused) override;
  Variant KeyToEditValue(const Variant& key) override;
  TObject* GetItemObject() override { return nullptr; }
  void SynchronizeDisplayValue() override;
  void RefreshDisplayText() override;
  bool RefreshState(const TPoint& p, Integer button, TShiftState shift, bool is_mouse_event) override;
  void PopupContentSize(TSize& size) override;

 private:
  void HideTextWithoutDescriptions();
};

class TcxImageComboBox : public TcxCustomImageComboBox {
  KORVAN_CLASS(TcxImageComboBox, TcxCustomImageComboBox)

 public:
  explicit TcxImageComboBox(TComponent* owner)
      : TcxCustomImageComboBox(owner, false, TcxImageComboBoxProperties::StaticClass()) {}
  TcxImageComboBoxProperties* ActiveProperties() const {
    return static_cast<TcxImageComboBoxProperties*>(Properties());
  }
  void SetProperties(TcxImageComboBoxProperties* value) { Properties()->Assign(value); }
};

class TcxEditRepositoryImageComboBoxItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryImageComboBoxItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositoryImageComboBoxItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxImageComboBoxProperties::StaticClass()) {}
  TcxImageComboBoxProperties* Properties() const {
    return static_cast<TcxImageComboBoxProperties*>(TcxEditRepositoryItem::Properties());
  }
};

// The image combo box as a filter value editor: a fixed list with descriptions; equals, does
// not equal, is blank, is not blank, and in / not in with the extended set.
class TcxFilterImageComboBoxHelper : public TcxFilterComboBoxHelper {
  KORVAN_CLASS(TcxFilterImageComboBoxHelper, TcxFilterComboBoxHelper)

 public:
  TClass ValueEditClass() const override;
  void PrepareFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                               bool keep_buttons) const override;
  void SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass value_type,
                          TcxFilterControlOperators& operators, bool extended) const override;
};

// The unit start: class registrations, the editor registry entry and the filter helper.
void InitializeCxImageComboBox();
