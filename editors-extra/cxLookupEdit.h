// The lookup edit layer: a combo box whose edit value is a key into a list of records held by a
// data controller. The text is the list field's display text of the record with the key; the
// drop-down shows a lookup grid; typing searches the list incrementally or filters it. Every
// operation that reaches the list goes through virtual operations of the properties whose base
// versions return nothing; the data-set descendants fill them in.
#pragma once

#include "editors-extra/cxLookupGrid.h"
#include "editors/cxComboBox.h"

class TcxCustomLookupEdit;

class TcxCustomLookupEditProperties : public TcxCustomComboBoxProperties {
  KORVAN_CLASS(TcxCustomLookupEditProperties, TcxCustomComboBoxProperties)

 public:
  explicit TcxCustomLookupEditProperties(TPersistent* owner);
  ~TcxCustomLookupEditProperties() override;
  void Assign(TPersistent* source) override;

  bool IncrementalFiltering() const { return incrementalFiltering_; }
  void SetIncrementalFiltering(bool v) { incrementalFiltering_ = v; }
  Integer DropDownHeight() const { return PopupHeight(); }
  void SetDropDownHeight(Integer v) { SetPopupHeight(v); }
  Integer DropDownWidth() const { return PopupWidth(); }
  void SetDropDownWidth(Integer v) { SetPopupWidth(v); }
  bool DropDownSizeable() const { return PopupSizeable(); }
  void SetDropDownSizeable(bool v) { SetPopupSizeable(v); }
  bool DropDownAutoSize() const { return PopupAutoSize(); }
  void SetDropDownAutoSize(bool v) { SetPopupAutoSize(v); }
  Integer ListFieldIndex() const { return listIndex_; }
  void SetListFieldIndex(Integer v) { SetListIndex(v); }

  // Overrides of the editor properties.
  Byte GetDisplayFormatOptions() override { return 0; }
  TClass GetContainerClass() override;
  Word GetSupportedOperations() override;
  bool IsEditValueValid(Variant&, bool) override { return true; }
  void PrepareDisplayValue(const Variant& edit_value, Variant& display_value, bool edit_focused) override;
  Integer EditValueSource(bool) override { return IsTextKey() ? 1 : 0; }
  TClass GetLookupDataClass() override;
  bool FindLookupText(const String& text);
  // Page Up/Down and Up/Down without Alt; End and Home only with Ctrl.
  bool IsNavigationKey(Word key, TShiftState shift);

  // The list, reached only through these (base: nothing).
  virtual TWinControl* GetPopupControl() { return GetListGrid(); }
  virtual bool CanAlignListHeight() { return true; }
  virtual Integer GetListColumnCount() { return 0; }
  virtual TcxCustomLookupGrid* GetListGrid() { return nullptr; }
  virtual TcxCustomDataController* GetListDataController() { return nullptr; }
  virtual Integer GetListPreferredWidth() { return 0; }
  virtual Integer AlignListHeight(Integer height) { return height; }
  virtual Integer GetListHeightForRows(Integer) { return 0; }
  virtual bool IsListRowAtPoint(const TPoint&) { return false; }
  virtual void ListClosedHook() {}
  virtual void ListNotificationHook(const String&) {}
  virtual void SetListHandlers(TNotifyEvent selection, TNotifyEvent spare,
                               TcxCustomLookupGrid::TCloseRequestEvent closeRequest) {}
  virtual void ListOpeningHook() {}
  virtual void ApplyListAppearance(TcxLookAndFeel*, TColor, TFont*) {}
  virtual void StoreListMousePosition() {}
  virtual void MakeListFocusedRowVisible() {}
  virtual void ReleaseListMouseCapture() {}
  virtual void DetachListDataChanged();
  // The record whose list text equals Text (or starts with it when partial), in row order; -1.
  virtual int FindRecordByText(int itemIndex, const String& text, bool partial);
  virtual Integer GetListIndex() { return listIndex_; }
  virtual String GetDisplayTextByKey(const Variant&) { return String(); }
  virtual bool IsIncrementalFilteringActive() { return incrementalFiltering_; }
  // The list index when below the column count, else count - 1 (-1 without columns).
  virtual Integer GetEffectiveListIndex();
  virtual Variant GetNullKey() { return Null(); }
  virtual void ListDataChanged(TObject* sender);
  virtual void AttachListDataChanged();
  bool IsLookupLocked() const { return lookupLockCount_ != 0; }
  bool IsListDataChangeLocked();
  virtual bool IsTextKey() { return false; }
  virtual void BeginListUpdate();
  virtual void EndListUpdate();
  // Clamped to [0, column count - 1] (0 without columns).
  virtual void SetListIndex(Integer index);
  virtual void DetachListGrid();
  virtual bool IsDefinedByLookup() { return CheckDefinedByLookup(); }
  virtual bool CheckDefinedByLookup() { return false; }
  void ValidateListIndex();

  void LockLookup() { ++lookupLockCount_; }
  void UnlockLookup() { --lookupLockCount_; }

 private:
  Integer listIndex_ = 0;
  Integer lookupLockCount_ = 0;
  bool listChanging_ = false;
  bool incrementalFiltering_ = true;
};

// The lookup data of one editor: keys to list texts, incremental search and filtering, list
// navigation. The key is a Variant (a record index here, key field values in the data-set
// descendants).
class TcxCustomLookupEditLookupData : public TcxCustomTextEditLookupData {
  KORVAN_CLASS(TcxCustomLookupEditLookupData, TcxCustomTextEditLookupData)

 public:
  explicit TcxCustomLookupEditLookupData(TPersistent* owner);

  TcxCustomLookupEditProperties* Properties();
  TcxCustomDataController* ListController() { return Properties()->GetListDataController(); }
  bool ListShown() const { return listShown_; }
  const Variant& CurrentKeyValue() const { return key_; }

  // The text editor's lookup contract.
  bool CanResizeList(TSize& size, Integer max_height) override;
  void FinalizeList() override;  // close-up
  void OwnerDestroying() override { Properties()->DetachListGrid(); }
  void InitPopup() override;  // drop-down
  void PopupShownWithText(const String& text) override { Properties()->ListNotificationHook(text); }
  bool IsItemText(const String& text) override { return Properties()->FindLookupText(text); }
  TWinControl* GetListControl() override { return Properties()->GetPopupControl(); }
  Variant ReadCurrentKey() override { return key_; }
  String ItemTextForKey(const Variant& key) override { return Properties()->GetDisplayTextByKey(key); }
  void GetListContentSize(TSize& size) override;
  // 0 first, 1 last, 2 next, 3 previous, 4 page up, 5 page down.
  void MoveItem(Integer kind, bool circular) override;
  void CreateListIn(TWinControl* parent) override;
  bool HasNoItems() override;
  bool PointOverList(const TPoint& screenPoint) override;
  bool FindPrefix(String& text, String& tail, bool next) override { return LocateText(text, tail); }
  void PlaceList(const TRect& r) override;
  void RefreshFromProperties() override {}
  void CommitListItem() override;
  void WriteCurrentKey(const Variant& key) override;
  void SyncWithEditText() override;

  virtual bool LocateText(String& text, String& tail);
  virtual bool LocateTextExactly(const String& text);
  // Stores the key of a record as the current key (base: the record index).
  virtual void ItemIndexToKey(int recordIndex) { key_ = Variant(recordIndex); }
  // Focuses the record of the current key (base: the key as a record index).
  virtual void SyncFocusWithKey();
  void SyncListWithKey();
  void SyncWithText();
  void UpdateListHeight();
  void ResetListFilter();
  bool IsFocusedRowChosen();
  void ListCloseRequestHandler(bool accept);

 protected:
  void SetKey(const Variant& key) { key_ = key; }

 private:
  bool listShown_ = false;
  Variant key_ = Null();
};

class TcxCustomLookupEdit : public TcxCustomComboBox {
  KORVAN_CLASS(TcxCustomLookupEdit, TcxCustomComboBox)

 public:
  explicit TcxCustomLookupEdit(TComponent* owner)
      : TcxCustomLookupEdit(owner, false, TcxCustomLookupEditProperties::StaticClass()) {}
  TcxCustomLookupEdit(TComponent* owner, bool inPlace, TClass propertiesClass);
  TcxCustomLookupEditProperties* LookupProperties() {
    return static_cast<TcxCustomLookupEditProperties*>(GetEffectiveProperties());
  }
  TcxCustomLookupEditLookupData* LookupEditData() const {
    return static_cast<TcxCustomLookupEditLookupData*>(LookupData());
  }
  // Text to key: the text itself for text keys; the current key when the text is its text; else
  // the located record's key, or the null key when no record has the text.
  void DisplayToEditValue(const Variant& displayValue, Variant& editValue, bool editFocused) override;
  Variant KeyToEditValue(const Variant& key) override { return key; }

 protected:
  // The current key follows the text on entering (keys move from the shown record).
  void EnterEdit() override;
};

void InitializeCxLookupEdit();
