// The record-based view's base: items bound to fields of the view's data controller, their
// data bindings and editor-defaults providers, the per-item recent filter values, and the
// grid's data controller that holds its own records. (Records, abilities, the table
// controller and the stored layout come with the following steps.)
#pragma once

#include <functional>
#include <vector>

#include "data/cxCustomData.h"
#include "grid/cxGridCustomView.h"
#include "grid/cxGridEditLinks.h"

class TcxCustomGridTableItem;
class TcxCustomGridTableView;
class TcxGridItemDataBinding;
class TcxCustomGridTableViewData;

// ---- the two interfaces through which grid code talks to either data controller -----------

class IcxGridDataControllerServices {
 public:
  virtual ~IcxGridDataControllerServices() = default;
  virtual void UpdateGridModeBufferCount() = 0;
  virtual bool ScrollRecord(bool forward) = 0;
  virtual bool ScrollPage(bool forward) = 0;
  virtual TClass GetItemDataBindingClass() = 0;
  virtual TClass GetItemDefaultValuesProviderClass() = 0;
  virtual Integer GetScrollBarPosition() = 0;
  virtual Integer GetScrollBarRecordCount() = 0;
  virtual bool SetScrollBarPosition(Integer value) = 0;
};

class IcxGridDataControllerViewLink {
 public:
  virtual ~IcxGridDataControllerViewLink() = default;
  virtual void CopyDataFrom(TcxCustomDataController* source) = 0;
  virtual void CreateAllItems() = 0;
  virtual void DeleteAllItems() = 0;
  virtual void ListFakeComponentLinks(std::vector<TComponent*>& list) = 0;
  virtual TcxCustomGridView* GetGridView() = 0;
  virtual bool HoldsOwnRecords() = 0;
  virtual bool HasRecordSource() = 0;
  virtual bool CanCreateAllItems() = 0;
};

// ---- recent filter values of an item ------------------------------------------------------

class TcxGridFilterMRUValueItem : public TcxMRUItem {
 public:
  TcxGridFilterMRUValueItem(const Variant& value, const String& displayText)
      : Value(value), DisplayText(displayText) {}
  // Equal values are equal items; texts are not compared.
  bool IsEqual(const TcxMRUItem* item) const override;
  Variant Value;
  String DisplayText;
};

class TcxGridFilterMRUValueItems : public TcxMRUItems {
 public:
  void Add(const Variant& value, const String& displayText) {
    AddToTop(new TcxGridFilterMRUValueItem(value, displayText));
  }
  TcxGridFilterMRUValueItem* Item(int i) const { return static_cast<TcxGridFilterMRUValueItem*>(ItemAt(i)); }
};

// ---- the binding of an item to a field of the data controller ------------------------------

class TcxGridItemDataBinding : public TPersistent {
  KORVAN_CLASS(TcxGridItemDataBinding, TPersistent)

 public:
  using CreateArgType = TcxCustomGridTableItem*;
  explicit TcxGridItemDataBinding(TcxCustomGridTableItem* item);
  ~TcxGridItemDataBinding() override;
  void Assign(TPersistent* source) override;

  TcxCustomGridTableItem* Item() const { return item_; }
  // The editor-defaults provider (a TcxGridDefaultValuesProvider or its data-set twin).
  TPersistent* DefaultValuesProvider() const { return provider_; }
  IcxEditDefaultValuesProvider* GetDefaultValuesProviderIntf() const { return GridDefaultValuesProviderIntf(provider_); }
  TObject* Data() const { return data_; }
  void SetData(TObject* value);
  TcxGridFilterMRUValueItems* FilterMRUValueItems() const { return mruItems_; }
  // The caption of the field's value type class (empty without one).
  String ValueType() const;
  void SetValueType(const String& caption);

  TcxCustomDataController* GetDataController() const;
  TcxCustomGridTableView* GetGridView() const;
  TcxValueTypeClass GetValueTypeClass() const;
  void ChangeValueTypeClass(TcxValueTypeClass value);
  bool IsDisplayFormatDefined(bool isInplace) { return GridItemDisplayFormatDefined(this, isInplace); }

  virtual void AssignFrom(TcxGridItemDataBinding* source);
  virtual TcxValueTypeClass GetDefaultValueTypeClass() const { return TcxStringValueType::Class(); }
  virtual String GetFilterFieldName() const { return String(); }
  virtual void Init() {}
  virtual bool IsValueTypeStored() const;
  virtual String GetDefaultCaption() const { return String(); }
  virtual TcxEditRepositoryItem* GetDefaultRepositoryItem();
  virtual Integer GetDefaultWidth(bool considerMinWidth) { return 64; }

 protected:
  TPersistent* GetOwner() const override;

 private:
  TcxCustomGridTableItem* item_;
  TPersistent* provider_ = nullptr;
  TcxGridFilterMRUValueItems* mruItems_ = nullptr;
  TObject* data_ = nullptr;
};

// ---- items --------------------------------------------------------------------------------

using TcxGridGetDataTextEvent = std::function<void(TcxCustomGridTableItem* sender, Integer recordIndex, String& text)>;

class TcxCustomGridTableItem : public TcxComponent {
  KORVAN_CLASS(TcxCustomGridTableItem, TcxComponent)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomGridTableItem(TComponent* owner);
  ~TcxCustomGridTableItem() override;

  TcxCustomGridTableView* GridView() const { return gridView_; }
  Integer ID() const { return id_; }
  Integer Index() const { return index_; }
  TcxGridItemDataBinding* DataBinding() const { return dataBinding_; }
  void SetDataBinding(TcxGridItemDataBinding* value) { if (dataBinding_) dataBinding_->Assign(value); }

  // The assigned caption, else the binding's default caption.
  String Caption() const;
  void SetCaption(const String& value);
  bool IsCaptionAssigned() const { return isCaptionAssigned_; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  Integer MinWidth() const;
  void SetMinWidth(Integer value);
  // The assigned width, else the default width.
  Integer Width() const;
  void SetWidth(Integer value);
  bool IsWidthAssigned() const { return isWidthAssigned_; }
  TcxGridGetDataTextEvent OnGetDataText;

  virtual void Changed(Integer kind);
  virtual void DoGetDataText(Integer recordIndex, String& text) {
    if (OnGetDataText) OnGetDataText(this, recordIndex, text);
  }
  virtual bool HasFixedWidth() const { return false; }
  virtual String GetDefaultCaption() const { return dataBinding_ ? dataBinding_->GetDefaultCaption() : String(); }
  virtual Integer GetDefaultWidth() const { return dataBinding_ ? dataBinding_->GetDefaultWidth(true) : 64; }
  virtual void SetGridView(TcxCustomGridTableView* value);
  virtual void ValueTypeClassChanged();
  // The field behind the item changed: the binding takes it again.
  virtual void DataChanged() {
    if (dataBinding_) dataBinding_->Init();
  }
  bool IsItemLoading() const;
  // The ID as decimal text when the view has a storing name, else the component name.
  virtual String GetStoredName();

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

 protected:
  // An explicitly empty caption is stored as "IsCaptionAssigned" so that it survives.
  void DefineProperties(TFiler* filer) override;
  virtual TcxGridItemDataBinding* CreateDataBinding();

 private:
  friend class TcxCustomGridTableView;
  TcxCustomGridTableView* gridView_ = nullptr;
  TcxGridItemDataBinding* dataBinding_ = nullptr;
  Integer id_ = -1;
  Integer index_ = -1;
  String caption_;
  bool isCaptionAssigned_ = false;
  bool visible_ = false;
  Integer minWidth_ = 20;
  Integer width_ = 0;
  bool isWidthAssigned_ = false;
};

// ---- the record-based view ----------------------------------------------------------------

// Behaviour options of the record-based view (the others join with the table controller).
class TcxCustomGridTableOptionsBehavior : public TcxCustomGridOptionsBehavior {
  KORVAN_CLASS(TcxCustomGridTableOptionsBehavior, TcxCustomGridOptionsBehavior)

 public:
  explicit TcxCustomGridTableOptionsBehavior(TcxCustomGridView* v) : TcxCustomGridOptionsBehavior(v) {}
  bool CopyCaptionsToClipboard() const { return copyCaptionsToClipboard_; }
  void SetCopyCaptionsToClipboard(bool v);
  void AssignFrom(TPersistent* source) override;

 private:
  bool copyCaptionsToClipboard_ = true;
};

class TcxCustomGridTableView : public TcxCustomGridView {
  KORVAN_CLASS(TcxCustomGridTableView, TcxCustomGridView)

 public:
  explicit TcxCustomGridTableView(TComponent* owner) : TcxCustomGridView(owner) {}
  ~TcxCustomGridTableView() override;

  Integer ItemCount() const { return Integer(items_.size()); }
  TcxCustomGridTableItem* Items(Integer i) const { return items_.at(size_t(i)); }
  Integer NextID() const { return nextID_; }
  // An item of GetItemClass owned by the view's owner, added to the view.
  TcxCustomGridTableItem* CreateItem();
  void ClearItems();
  TcxCustomGridTableItem* FindItemByID(Integer id) const;
  TcxCustomGridTableItem* FindItemByName(const String& name) const;
  // By ID (the decimal text) when the view has a storing name, else by component name; a
  // non-numeric name raises the platform's conversion error.
  TcxCustomGridTableItem* FindItemByStoredName(const String& name);
  TcxCustomGridTableOptionsBehavior* TableOptionsBehavior() const {
    return static_cast<TcxCustomGridTableOptionsBehavior*>(OptionsBehavior());
  }
  // The copied items' texts, a tab between cells and one CRLF between rows (the captions
  // first when the option says so); all rows or only the selected ones.
  String GetTextForCopy(bool copyAll);
  void CopyToClipboard(bool copyAll);

  IcxGridDataControllerServices* DataControllerServices() const;
  IcxGridDataControllerViewLink* DataControllerViewLink() const;

  virtual TClass GetItemClass() = 0;
  TClass GetOptionsBehaviorClass() override { return TcxCustomGridTableOptionsBehavior::StaticClass(); }
  // The visible items (the table view refines the list).
  virtual void GetItemsForCopy(std::vector<TcxCustomGridTableItem*>& list, bool copyAll);
  virtual TClass GetItemDataBindingClass();
  virtual void AddItem(TcxCustomGridTableItem* item);
  virtual void RemoveItem(TcxCustomGridTableItem* item);
  virtual void ItemVisibilityChanged(TcxCustomGridTableItem* item, bool value) { item->Changed(2); }
  // Text of a value through the item's editor properties; false leaves it to the data
  // controller. (The properties' own text conversion joins with the items' properties.)
  virtual bool GetDisplayTextByProperties(Integer recordIndex, Integer itemIndex, String& text) { return false; }
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  // The data controller's notifications by kind: data (items rebind, records reset) and
  // layout (records refreshed). Focus, selection, search and record updates come with the
  // table controller.
  void UpdateControl(TcxUpdateControlInfo* info) override;
  virtual void DataChanged();
  virtual void LayoutChanged();
  virtual void RecordCountChanged();
  TcxCustomGridTableViewData* TableViewData() const;

 protected:
  void DestroyHandlers() override;

 private:
  void RenumberItems();
  std::vector<TcxCustomGridTableItem*> items_;
  Integer nextID_ = 0;
};

// ---- records ------------------------------------------------------------------------------

class TcxCustomGridRecord;
class TcxCustomGridTableViewData;
// A record "class": how to make the wrapper of a row.
using TcxGridRecordClass = TcxCustomGridRecord* (*)(TcxCustomGridTableViewData*, const TcxRowInfo&, Integer);
template <class T>
TcxGridRecordClass GridRecordClassOf() {
  return [](TcxCustomGridTableViewData* viewData, const TcxRowInfo& info, Integer index) -> TcxCustomGridRecord* {
    return new T(viewData, info, index);
  };
}

// The light wrapper of one row of the data controller, made when the row is first asked for.
class TcxCustomGridRecord : public TObject {
 public:
  TcxCustomGridRecord(TcxCustomGridTableViewData* viewData, const TcxRowInfo& rowInfo, Integer index)
      : viewData_(viewData), index_(index), rowInfo_(rowInfo) {}
  ~TcxCustomGridRecord() override = default;

  TcxCustomGridTableViewData* ViewData() const { return viewData_; }
  Integer Index() const { return index_; }
  const TcxRowInfo& RowInfo() const { return rowInfo_; }
  Integer Level() const { return rowInfo_.Level; }
  Integer RecordIndex() const { return rowInfo_.RecordIndex; }
  TcxCustomDataController* DataController() const;
  TcxCustomGridTableView* GridView() const;
  bool IsNewItemRecord() const;
  bool HasDataRecord() const;
  // Set when a key stroke expanded or collapsed the record, so its character is not handled.
  bool KeyConsumed = false;

  virtual void RefreshRecordInfo();
  virtual void CollapseRecord(bool recursive) {}
  virtual void ExpandRecord(bool recursive) {}
  virtual bool GetExpandable() { return false; }
  virtual bool GetExpanded() { return false; }
  virtual bool HasCells() { return false; }
  virtual bool IsDataRecord() { return true; }
  virtual bool GetIsFirst() { return index_ == 0; }
  virtual bool GetIsLast();
  virtual bool IsParent() { return false; }
  virtual TcxCustomGridRecord* GetParentRecord();
  virtual String GetDisplayText(Integer itemIndex);
  virtual Integer GetValueCount();
  virtual Variant GetValue(Integer itemIndex);
  virtual void SetDisplayText(Integer itemIndex, const String& text);
  virtual void SetValue(Integer itemIndex, const Variant& value);

  void SetExpanded(bool value);
  void CollapseIfExpandable(bool recursive) {
    if (GetExpandable()) CollapseRecord(recursive);
  }
  void ExpandIfExpandable(bool recursive) {
    if (GetExpandable()) ExpandRecord(recursive);
  }
  bool IsLastOfAncestor(Integer depth);
  Integer GetLastOfAncestorsCount();

 private:
  friend class TcxCustomGridTableViewData;
  TcxCustomGridTableViewData* viewData_;
  Integer index_;
  TcxRowInfo rowInfo_;
};

// The view data of a record-based view: one slot per row, filled on first use.
class TcxCustomGridTableViewData : public TcxCustomGridViewData {
  KORVAN_CLASS(TcxCustomGridTableViewData, TcxCustomGridViewData)

 public:
  explicit TcxCustomGridTableViewData(TcxCustomGridView* view) : TcxCustomGridViewData(view) {}
  ~TcxCustomGridTableViewData() override;

  TcxCustomGridTableView* TableView() const;
  TcxCustomDataController* DataController() const;
  Integer CountRecords() const { return Integer(slots_.size()); }
  bool IsRowIndexInRange(Integer rowIndex) const { return rowIndex >= 0 && rowIndex < CountRecords(); }
  // The wrapper of a row; the row index must be in range.
  TcxCustomGridRecord* FetchRecord(Integer rowIndex);
  TcxCustomGridRecord* RecordAtRowIndex(Integer rowIndex) {
    return IsRowIndexInRange(rowIndex) ? FetchRecord(rowIndex) : nullptr;
  }
  TcxCustomGridRecord* RecordByRecordIndex(Integer recordIndex);
  TcxCustomGridRecord* NewItemRecord() const { return newItemRecord_; }
  TcxCustomGridRecord* EditingRecord() const { return editingRecord_; }
  TcxCustomGridRecord* GetEditingRecord();
  void RefreshEditingRecord() { editingRecord_ = GetEditingRecord(); }
  // How many wrappers exist (rows asked for since the last reset).
  Integer WrapperCount() const { return Integer(made_.size()); }

  virtual TcxCustomGridRecord* FindRecordOfKind(Integer kind, Integer index);
  virtual TcxGridRecordClass GetRecordClass(const TcxRowInfo& rowInfo) = 0;
  virtual Integer KindOfRecord(TcxCustomGridRecord* record) { return record == newItemRecord_ ? 1 : 0; }
  virtual TcxGridRecordClass GetNewItemRecordClass() { return nullptr; }
  virtual void CollapseAll(bool recursive);
  virtual void ExpandAll(bool recursive);
  // The row count changed: every wrapper goes and the slots are sized anew.
  virtual void ResetRecords(Integer newCount);
  virtual bool HasNewItemRecord() { return false; }
  void RefreshRecordInfos();
  void CheckNewItemRecord();

 private:
  void FreeWrappers();
  std::vector<TcxCustomGridRecord*> slots_;
  // The wrappers that exist, in the order they were made: searched instead of every slot.
  std::vector<TcxCustomGridRecord*> made_;
  TcxCustomGridRecord* newItemRecord_ = nullptr;
  TcxCustomGridRecord* editingRecord_ = nullptr;
};

// ---- what both grid data controllers add to their base -------------------------------------

// Items, IDs, texts and brackets answered through the owning view.
template <class TBase>
class TcxGridDataControllerOverrides : public TBase {
 public:
  using TBase::TBase;
  TcxCustomGridTableView* GridView() const { return dynamic_cast<TcxCustomGridTableView*>(this->Owner()); }
  int GetItemID(TObject* item) override {
    auto* i = dynamic_cast<TcxCustomGridTableItem*>(item);
    return i ? i->ID() : -1;
  }
  void ItemValueTypeClassChanged(int itemIndex) override {
    TBase::ItemValueTypeClassChanged(itemIndex);
    if (TcxCustomGridTableView* v = GridView(); v && itemIndex < v->ItemCount())
      v->Items(itemIndex)->ValueTypeClassChanged();
  }
  // The view's bracket encloses the controller's.
  void BeginUpdate() override {
    if (GridView()) GridView()->BeginUpdate();
    TBase::BeginUpdate();
  }
  void EndUpdate() override {
    TBase::EndUpdate();
    if (GridView()) GridView()->EndUpdate();
  }
  TObject* GetItem(int index) override {
    TcxCustomGridTableView* v = GridView();
    return v && index >= 0 && index < v->ItemCount() ? v->Items(index) : TBase::GetItem(index);
  }
  // The properties' text, else the controller's own; then OnGetDataText may change it.
  String GetDisplayText(int recordIndex, int itemIndex) override {
    TcxCustomGridTableView* v = GridView();
    String text;
    if (!v || !v->GetDisplayTextByProperties(recordIndex, itemIndex, text))
      text = TBase::GetDisplayText(recordIndex, itemIndex);
    if (v && itemIndex >= 0 && itemIndex < v->ItemCount()) v->Items(itemIndex)->DoGetDataText(recordIndex, text);
    return text;
  }
};

// ---- the data controller with records of its own ---------------------------------------

class TcxGridDataController : public TcxGridDataControllerOverrides<TcxDataController>,
                              public IcxGridDataControllerServices,
                              public IcxGridDataControllerViewLink {
 public:
  explicit TcxGridDataController(TComponent* owner) : TcxGridDataControllerOverrides(owner) {}
  ~TcxGridDataController() override;

  // The loaded "Data" stream, held until loading ends.
  TMemoryStream* HeldData() const { return heldData_; }

  // Services.
  void UpdateGridModeBufferCount() override {}
  bool ScrollRecord(bool) override { return false; }
  bool ScrollPage(bool) override { return false; }
  TClass GetItemDataBindingClass() override { return TcxGridItemDataBinding::StaticClass(); }
  TClass GetItemDefaultValuesProviderClass() override { return GridDefaultValuesProviderClass(); }
  Integer GetScrollBarPosition() override { return -1; }
  Integer GetScrollBarRecordCount() override { return -1; }
  bool SetScrollBarPosition(Integer) override { return false; }
  // View link.
  void CopyDataFrom(TcxCustomDataController* source) override;
  void CreateAllItems() override {}
  void DeleteAllItems() override {}
  void ListFakeComponentLinks(std::vector<TComponent*>&) override {}
  TcxCustomGridView* GetGridView() override;
  bool HoldsOwnRecords() override { return true; }
  bool HasRecordSource() override { return true; }
  bool CanCreateAllItems() override { return false; }

  // Overrides of the data controller.
  void DoPendingNotifications() override;

 protected:
  void DefineProperties(TFiler* filer) override;

 private:
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);
  TMemoryStream* heldData_ = nullptr;
};
