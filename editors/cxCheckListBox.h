// The check list box: a list whose items carry a check with three states, an optional image
// and a text; the states of all items are mirrored in one EditValue in a check-states format.
#pragma once

#include "editors/cxCheckBox.h"
#include "editors/cxListBox.h"
#include "vcl/ImgList.h"

class TcxCustomInnerCheckListBox;
class TcxCustomCheckListBox;

class TcxCheckListBoxItem : public TCollectionItem {
  KORVAN_CLASS(TcxCheckListBoxItem, TCollectionItem)

 public:
  explicit TcxCheckListBoxItem(TCollection* collection);
  void Assign(TPersistent* source) override;
  String DisplayName() const override { return text_.empty() ? TCollectionItem::DisplayName() : text_; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer v);
  // The item's data object (not streamed; the pivot filter keeps the value it stands for).
  void* ItemObject() const { return itemObject_; }
  void SetItemObject(void* v) { itemObject_ = v; }
  TcxCheckBoxState State() const { return state_; }
  void SetState(TcxCheckBoxState v);
  // Stores a state without repainting or re-encoding (the list does both once for all items).
  void StoreState(TcxCheckBoxState v) { state_ = v; }
  bool Checked() const { return state_ == cbsChecked; }
  void SetChecked(bool v) { SetState(v ? cbsChecked : cbsUnchecked); }
  Integer Tag() const { return tag_; }
  void SetTag(Integer v) { tag_ = v; }
  String Text() const { return text_; }
  void SetText(const String& v);

 private:
  TcxCustomInnerCheckListBox* List() const;
  bool enabled_ = true;
  Integer imageIndex_ = -1;
  void* itemObject_ = nullptr;
  TcxCheckBoxState state_ = cbsUnchecked;
  Integer tag_ = 0;
  String text_;
};

class TcxCheckListBoxItems : public TOwnedCollection, public IcxCheckItemCaptions {
  KORVAN_CLASS(TcxCheckListBoxItems, TOwnedCollection)

 public:
  explicit TcxCheckListBoxItems(TcxCustomInnerCheckListBox* list);
  TcxCheckListBoxItem* Item(Integer index) const { return static_cast<TcxCheckListBoxItem*>(Items(index)); }
  TcxCheckListBoxItem* AddCheckItem() { return static_cast<TcxCheckListBoxItem*>(Add()); }
  TcxCheckListBoxItem* AddCheckItem(const String& text, TcxCheckBoxState state = cbsUnchecked);
  // The first item whose text equals the text (case-insensitive), -1 when none.
  Integer IndexOfText(const String& text) const;
  String GetCaption(Integer index) override { return Item(index)->Text(); }
  Integer GetCount() override { return Count(); }
  // While held, item states are set without re-encoding the value; the last release with
  // `notify` reports the whole collection changed.
  void BeginStatesUpdate() { ++statesLock_; }
  void EndStatesUpdate(bool notify = true);
  bool StatesLocked() const { return statesLock_ > 0; }
  TcxCustomInnerCheckListBox* List() const { return list_; }
  // An item is being constructed: the base constructor reports the addition before the
  // item's own members exist, so the report waits for the constructor's end.
  static TCollection* EnterItemConstruction(TCollection* c);
  void LeaveItemConstruction();

 protected:
  void Update(TCollectionItem* item) override;

 private:
  Integer statesLock_ = 0;
  Integer constructing_ = 0;
  TcxCustomInnerCheckListBox* list_;
};

using TcxClickCheckEvent =
    std::function<void(TObject* sender, Integer index, TcxCheckBoxState prev_state, TcxCheckBoxState new_state)>;

// The inner list: always owner-drawn; items with check states; the tracked, hot and pressed
// checks of the mouse.
class TcxCustomInnerCheckListBox : public TcxInnerListBox {
  KORVAN_CLASS(TcxCustomInnerCheckListBox, TcxInnerListBox)

 public:
  explicit TcxCustomInnerCheckListBox(TComponent* owner);
  ~TcxCustomInnerCheckListBox() override;
  TcxCustomCheckListBox* CheckListBox() const;
  TcxCheckListBoxItems* CheckItems() const { return items_.get(); }

  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }
  bool AllowDblClickToggle() const { return allowDblClickToggle_; }
  void SetAllowDblClickToggle(bool v) { allowDblClickToggle_ = v; }
  TBitmap* Glyph();
  TBitmap* GlyphIfAny() const { return glyph_.get(); }
  void FreeGlyph() { glyph_.reset(); }
  Integer GlyphCount() const { return glyphCount_; }
  void SetGlyphCount(Integer v) { glyphCount_ = v; }
  Integer HotCheck() const { return hotCheck_; }
  Integer PressedCheck() const { return pressedCheck_; }
  void ClearHotCheck() { SetHotCheck(-1); }

  // Layout metrics.
  static constexpr Integer CheckMargin = 1, LeftIndent = 0, ImageMargin = 1, TextSpacing = 1, TextInset = 2,
                           TextWidthExtra = 3;
  Integer GetContentIndent();
  // The check's drawn rectangle and its hit rectangle (without the border) in list coordinates.
  TRect CheckRect(Integer index);
  TRect CheckHitRect(Integer index);
  TRect ImageRect(Integer index);
  // The item under a point whose check holds it, -1 when none.
  Integer CheckAtPos(const TPoint& p);
  Integer CheckItemHeight();
  void InvalidateAll() { Invalidate(); }
  void InvalidateItem(Integer index);
  virtual void ClickCheck(Integer index, TcxCheckBoxState prev_state, TcxCheckBoxState new_state);
  // Toggles an enabled item (unchecked, grayed when allowed, checked, unchecked).
  void ToggleItem(Integer index);

  TcxClickCheckEvent OnClickCheck;

 protected:
  void DrawItem(Integer index, const TRect& rect, TOwnerDrawState state) override;
  bool DrawsFocusRect() override { return false; }
  void KeyPress(char32_t& key) override;
  void MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) override;
  void MouseMove(TShiftState s, Integer x, Integer y) override;
  void MouseUp(TMouseButton b, TShiftState s, Integer x, Integer y) override;
  void DblClick() override;
  void WndProc(TMessage& m) override;
  void SetHotCheck(Integer index);
  void SetPressedCheck(Integer index);
  void UpdateHotFromCursor();

 private:
  std::unique_ptr<TcxCheckListBoxItems> items_;
  bool allowGrayed_ = false;
  bool allowDblClickToggle_ = true;
  Integer trackedCheck_ = -1;
  std::unique_ptr<TBitmap> glyph_;
  Integer glyphCount_ = 6;
  Integer hotCheck_ = -1;
  Integer mouseDownCheck_ = -1;
  bool mouseDownFullyVisible_ = false;
  Integer pressedCheck_ = -1;
};

enum TcxCheckListBoxImageLayout { ilBeforeChecks, ilAfterChecks };
using TcxCheckStatesToEditValueEvent =
    std::function<void(TObject* sender, const TcxCheckStates& states, Variant& edit_value)>;
using TcxEditValueToCheckStatesEvent =
    std::function<void(TObject* sender, const Variant& edit_value, TcxCheckStates& states)>;

// The binding of a check list box: with checks it stands for the EditValue, without for the
// selected item's text.
class TcxCustomCheckListBox : public TcxListBox {
  KORVAN_CLASS(TcxCustomCheckListBox, TcxListBox)

 public:
  explicit TcxCustomCheckListBox(TComponent* owner);
  ~TcxCustomCheckListBox() override;

  TcxCustomInnerCheckListBox* InnerCheckListBox() const { return static_cast<TcxCustomInnerCheckListBox*>(inner_); }
  TcxCheckListBoxItems* CheckItems() const { return InnerCheckListBox()->CheckItems(); }
  void SetCheckItems(TcxCheckListBoxItems* v);

  Variant EditValue() const { return editValue_; }
  virtual void SetEditValue(const Variant& v);
  TcxCheckStatesValueFormat EditValueFormat() const { return format_; }
  void SetEditValueFormat(TcxCheckStatesValueFormat v);
  // True when EditValue was made from the item states (not set from outside).
  bool StatesDerived() const { return statesDerived_; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  TcxCheckListBoxImageLayout ImageLayout() const { return imageLayout_; }
  void SetImageLayout(TcxCheckListBoxImageLayout v);
  bool ShowChecks() const { return showChecks_; }
  void SetShowChecks(bool v);
  bool CheckSorted() const { return sorted_; }
  void SetCheckSorted(bool v);
  bool AllowGrayed() const { return InnerCheckListBox()->AllowGrayed(); }
  void SetAllowGrayed(bool v) { InnerCheckListBox()->SetAllowGrayed(v); }
  bool AllowDblClickToggle() const { return InnerCheckListBox()->AllowDblClickToggle(); }
  void SetAllowDblClickToggle(bool v) { InnerCheckListBox()->SetAllowDblClickToggle(v); }
  TBitmap* Glyph() const { return InnerCheckListBox()->Glyph(); }
  void SetGlyph(TBitmap* v);
  Integer GlyphCount() const { return InnerCheckListBox()->GlyphCount(); }
  void SetGlyphCount(Integer v);
  // Whether the checks are drawn natively, and their border style otherwise.
  bool NativeCheck();
  TcxContainerBorderStyle CheckBorderStyle();

  // Read-only with checks: navigation and selection work, only toggling is refused.
  bool LocksSelection() override { return TcxListBox::LocksSelection() && !showChecks_; }

  // Geometry.
  TSize CheckSize();
  Integer CheckBorderOffset();
  Integer GetMaxItemWidth();
  virtual Integer GetHeightForRows(Integer count);
  virtual Integer GetItemWidth(Integer index);
  virtual bool IsValidEditValue(const Variant& v, bool allow_empty);
  // The item height (text, check, image) applied to the inner list.
  Integer CheckItemHeight();
  void ApplyItemHeight();

  // Value and states.
  void DecodeValue();
  void EncodeValue();
  // The collection changed (one item or, for nil, all of them).
  void ItemsUpdated(TcxCheckListBoxItem* item);
  void SortItems();
  virtual void DoEditValueChanged() {
    if (OnEditValueChanged) OnEditValueChanged(this);
  }

  // The data binding's hooks.
  void DataChange() override;
  void UpdateData() override;
  // Draws an item (the inner list's owner-draw).
  bool DrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) override;

  TcxCheckStatesToEditValueEvent OnCheckStatesToEditValue;
  TDrawItemEvent OnDrawCheckItem;
  TNotifyEvent OnEditValueChanged;
  TcxEditValueToCheckStatesEvent OnEditValueToCheckStates;
  TMeasureItemEvent OnMeasureCheckItem;  // published, never consulted: heights are computed
  TcxClickCheckEvent& OnClickCheck() { return InnerCheckListBox()->OnClickCheck; }

 protected:
  Integer RowHeight(Integer) override { return CheckItemHeight(); }
  void Notification(TComponent* component, TOperation operation) override;
  void CMFontChanged(TMessage& m) override;
  void Loaded() override;
  void TrackedMouseLeave() override;

 private:
  Variant editValue_;
  TcxCheckStatesValueFormat format_ = cvfInteger;
  TCustomImageList* images_ = nullptr;
  std::unique_ptr<TChangeLink> imagesLink_;
  TcxCheckListBoxImageLayout imageLayout_ = ilBeforeChecks;
  bool statesDerived_ = false;
  std::unique_ptr<TStringList> sortList_;
  bool showChecks_ = true;
  bool sorted_ = false;
  bool sorting_ = false;
};

class TcxCheckListBox : public TcxCustomCheckListBox {
  KORVAN_CLASS(TcxCheckListBox, TcxCustomCheckListBox)

 public:
  using TcxCustomCheckListBox::TcxCustomCheckListBox;
};

void InitializeCxCheckListBox();
