#include "grid/cxGridCustomTableView.h"
#include "grid/cxGridFilterBox.h"
#include "grid/cxGridFilterPopup.h"
#include "grid/cxGridCustomTableController.h"
#include "editors/cxEdit.h"

#include "data/cxDataConsts.h"
#include "data/cxVariants.h"
#include "editors/cxEdit.h"
#include "foundation/cxControls.h"
#include "rtl/SysUtils.h"
#include "vcl/Clipbrd.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridItemDataBinding) {
  using B = TcxGridItemDataBinding;
  p.Str("ValueType", &B::ValueType, &B::SetValueType).Stored(&B::IsValueTypeStored);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableItem) {
  using I = TcxCustomGridTableItem;
  p.Str("Caption", &I::Caption, &I::SetCaption).Stored(&I::IsCaptionAssigned);
  p.Object("DataBinding", &I::DataBinding, &I::SetDataBinding, TcxGridItemDataBinding::StaticClass());
  p.Str("PropertiesClassName", &I::PropertiesClassName, &I::SetPropertiesClassName);
  p.Object("Properties", &I::Properties, &I::SetProperties, TPersistent::StaticClass());
  p.Object("RepositoryItem", &I::RepositoryItem, &I::SetRepositoryItem, TComponent::StaticClass());
  p.Bool("Visible", &I::Visible, &I::SetVisible);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableView) {
  using V = TcxCustomGridTableView;
  p.Object("FilterBox", &V::FilterBox, &V::SetFilterBox, TcxGridFilterBox::StaticClass());
  p.Object("NavigatorButtons", &V::NavigatorButtons, &V::SetNavigatorButtons,
           TcxNavigatorControlButtons::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridTableOptionsBehavior) {
  p.Bool("CopyCaptionsToClipboard", &TcxCustomGridTableOptionsBehavior::CopyCaptionsToClipboard,
         &TcxCustomGridTableOptionsBehavior::SetCopyCaptionsToClipboard)
      .Default(true);
  p.Bool("NavigatorHints", &TcxCustomGridTableOptionsBehavior::NavigatorHints,
         &TcxCustomGridTableOptionsBehavior::SetNavigatorHints)
      .Default(false);
}

// ---- recent filter values -----------------------------------------------------------------

bool TcxGridFilterMRUValueItem::IsEqual(const TcxMRUItem* item) const {
  auto* other = dynamic_cast<const TcxGridFilterMRUValueItem*>(item);
  return other && VariantsCompareEqual(Value, other->Value);
}

// ---- providers ----------------------------------------------------------------------------

bool GridItemDisplayFormatDefined(TPersistent* owner, bool isInplace) {
  auto* binding = dynamic_cast<TcxGridItemDataBinding*>(owner);
  if (!binding) return false;
  TcxCustomGridTableItem* item = binding->Item();
  TcxCustomDataController* dc = binding->GetDataController();
  if (item->Index() >= 0 && dc && dc->IsItemTextStored(item->Index(), !isInplace)) return true;
  return bool(item->OnGetDataText);
}

// ---- data binding -------------------------------------------------------------------------

TcxGridItemDataBinding::TcxGridItemDataBinding(TcxCustomGridTableItem* item) : item_(item) {
  IcxGridDataControllerServices* services = GetGridView() ? GetGridView()->DataControllerServices() : nullptr;
  TClass providerClass = services ? services->GetItemDefaultValuesProviderClass()
                                  : GridDefaultValuesProviderClass();
  provider_ = static_cast<TPersistent*>(providerClass->Create(this));
  mruItems_ = new TcxGridFilterMRUValueItems;
  // The per-item count of the view's filtering options joins with them; 5 is its default.
  mruItems_->SetCapacityLimit(5);
}

TcxGridItemDataBinding::~TcxGridItemDataBinding() {
  delete mruItems_;
  delete provider_;
}

TPersistent* TcxGridItemDataBinding::GetOwner() const { return item_; }

void TcxGridItemDataBinding::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridItemDataBinding*>(source)) {
    AssignFrom(s);
    return;
  }
  TPersistent::Assign(source);
}

void TcxGridItemDataBinding::AssignFrom(TcxGridItemDataBinding* source) {
  SetData(source->Data());
  ChangeValueTypeClass(source->GetValueTypeClass());
}

void TcxGridItemDataBinding::SetData(TObject* value) {
  if (data_ == value) return;
  data_ = value;
  item_->Changed(0);
}

TcxCustomGridTableView* TcxGridItemDataBinding::GetGridView() const { return item_->GridView(); }

TcxCustomDataController* TcxGridItemDataBinding::GetDataController() const {
  return GetGridView() ? GetGridView()->DataController() : nullptr;
}

TcxValueTypeClass TcxGridItemDataBinding::GetValueTypeClass() const {
  TcxCustomDataController* dc = GetDataController();
  return dc && item_->Index() >= 0 ? dc->ItemValueTypeClass(item_->Index()) : nullptr;
}

void TcxGridItemDataBinding::ChangeValueTypeClass(TcxValueTypeClass value) {
  TcxCustomDataController* dc = GetDataController();
  if (dc && item_->Index() >= 0) dc->ChangeValueTypeClass(item_->Index(), value);
}

String TcxGridItemDataBinding::ValueType() const {
  TcxValueTypeClass c = GetValueTypeClass();
  return c ? c->Caption() : String();
}

void TcxGridItemDataBinding::SetValueType(const String& caption) {
  if (ValueType() == caption) return;
  // A caption that names no registered class gives no class.
  ChangeValueTypeClass(GetValueTypeClassList().ItemByCaption(caption));
}

bool TcxGridItemDataBinding::IsValueTypeStored() const {
  return GetValueTypeClass() != GetDefaultValueTypeClass();
}

TcxEditRepositoryItem* TcxGridItemDataBinding::GetDefaultRepositoryItem() {
  return GridDefaultRepositoryItemForValueType(GetValueTypeClass());
}

// ---- items --------------------------------------------------------------------------------

TcxCustomGridTableItem::TcxCustomGridTableItem(TComponent* owner) : TcxComponent(owner) {}

TcxCustomGridTableItem::~TcxCustomGridTableItem() {
  SetRepositoryItem(nullptr);
  if (gridView_) gridView_->RemoveItem(this);
  FreeSubObjects();
  delete dataBinding_;
  delete EditData;
}

TcxGridItemDataBinding* TcxCustomGridTableItem::CreateDataBinding() {
  return static_cast<TcxGridItemDataBinding*>(gridView_->GetItemDataBindingClass()->Create(this));
}

void TcxCustomGridTableItem::SetGridView(TcxCustomGridTableView* value) {
  gridView_ = value;
  ClearDefaultRepositoryItem();
  currentProperties_ = nullptr;
  delete dataBinding_;
  dataBinding_ = nullptr;
  if (gridView_) dataBinding_ = CreateDataBinding();
  RefreshCurrentProperties();
}

void TcxCustomGridTableItem::Changed(Integer kind) {
  if (gridView_) gridView_->Changed(kind);
}

bool TcxCustomGridTableItem::IsItemLoading() const {
  return ComponentState().Contains(csLoading) ||
         (gridView_ && gridView_->ComponentState().Contains(csLoading));
}

String TcxCustomGridTableItem::Caption() const { return isCaptionAssigned_ ? caption_ : GetDefaultCaption(); }

void TcxCustomGridTableItem::SetCaption(const String& value) {
  if (isCaptionAssigned_ && caption_ == value) return;
  caption_ = value;
  isCaptionAssigned_ = true;
  Changed(visible_ ? 1 : 0);
}

void TcxCustomGridTableItem::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  if (gridView_) gridView_->ItemVisibilityChanged(this, value);
}

Integer TcxCustomGridTableItem::MinWidth() const { return HasFixedWidth() ? Width() : minWidth_; }

void TcxCustomGridTableItem::SetMinWidth(Integer value) {
  minWidth_ = value < 0 ? 0 : value;
  if (IsItemLoading()) return;
  if (Width() < minWidth_)
    SetWidth(minWidth_);
  else
    Changed(2);
}

Integer TcxCustomGridTableItem::Width() const { return isWidthAssigned_ ? width_ : GetDefaultWidth(); }

void TcxCustomGridTableItem::SetWidth(Integer value) {
  Integer minimum = HasFixedWidth() ? 0 : minWidth_;
  if (value < minimum) value = minimum;
  if (!IsItemLoading() && isWidthAssigned_ && width_ == value) return;
  width_ = value;
  isWidthAssigned_ = true;
  Changed(2);
}

void TcxCustomGridTableItem::ValueTypeClassChanged() {
  if (dataBinding_) dataBinding_->FilterMRUValueItems()->RemoveAll();
  RefreshCurrentProperties();
  Changed(2);
}

TComponent* TcxCustomGridTableItem::GetParentComponent() const { return gridView_; }

void TcxCustomGridTableItem::SetParentComponent(TComponent* value) {
  if (auto* view = dynamic_cast<TcxCustomGridTableView*>(value)) view->AddItem(this);
}

void TcxCustomGridTableItem::DefineProperties(TFiler* filer) {
  TcxComponent::DefineProperties(filer);
  filer->DefineProperty(
      "IsCaptionAssigned", [this](TReader& r) { isCaptionAssigned_ = r.ReadBoolean(); },
      [this](TWriter& w) { w.WriteBoolean(isCaptionAssigned_); }, isCaptionAssigned_ && caption_.empty());
}

String TcxCustomGridTableItem::GetStoredName() {
  return gridView_ && !gridView_->GetStoringName().empty() ? IntToStr(id_) : Name();
}

// ---- the view -----------------------------------------------------------------------------

TcxCustomGridTableItem* TcxCustomGridTableView::FindItemByStoredName(const String& name) {
  if (GetStoringName().empty()) return FindItemByName(name);
  if (name.empty()) return nullptr;
  return FindItemByID(StrToInt(name));
}

void TcxCustomGridTableView::GetItemsForCopy(std::vector<TcxCustomGridTableItem*>& list, bool) {
  list.insert(list.end(), visibleItems_.begin(), visibleItems_.end());
}

String TcxCustomGridTableView::GetTextForCopy(bool copyAll) {
  std::vector<TcxCustomGridTableItem*> items;
  GetItemsForCopy(items, copyAll);
  std::vector<String> lines;
  if (TableOptionsBehavior()->CopyCaptionsToClipboard()) {
    String captions;
    for (size_t i = 0; i < items.size(); ++i) captions += (i ? "\t" : "") + items[i]->Caption();
    lines.push_back(captions);
  }
  TcxCustomDataController* dc = DataController();
  const int groupingLevels = dc->Groups()->GroupingLevelCount();
  dc->ForEachRow(!copyAll, [&](int, const TcxRowInfo& info) {
    String line;
    for (size_t i = 0; i < items.size(); ++i) {
      int itemIndex = items[i]->Index();
      line += (i ? "\t" : "") + dc->RowDisplayText(info, itemIndex);
      // A group row shows its group value once.
      if (info.Level < groupingLevels) break;
    }
    lines.push_back(line);
  });
  // Exactly one line break between rows, whatever their length, and none after the last.
  String text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  return text;
}

void TcxCustomGridTableView::CopyToClipboard(bool copyAll) { Clipboard()->SetAsText(GetTextForCopy(copyAll)); }

TcxCustomGridTableView::~TcxCustomGridTableView() { ClearItems(); }

void TcxCustomGridTableView::DestroyHandlers() {
  FreeAndNil(filtering_);  // its recent filters belong to the data controller
  ClearItems();
  FreeAndNil(navigatorButtons_);
  TcxCustomGridView::DestroyHandlers();
  FreeAndNil(navigatorNotifier_);
}

IcxGridDataControllerServices* TcxCustomGridTableView::DataControllerServices() const {
  return dynamic_cast<IcxGridDataControllerServices*>(DataController());
}

IcxGridDataControllerViewLink* TcxCustomGridTableView::DataControllerViewLink() const {
  return dynamic_cast<IcxGridDataControllerViewLink*>(DataController());
}

TClass TcxCustomGridTableView::GetItemDataBindingClass() {
  IcxGridDataControllerServices* services = DataControllerServices();
  return services ? services->GetItemDataBindingClass() : TcxGridItemDataBinding::StaticClass();
}

TcxCustomGridTableItem* TcxCustomGridTableView::CreateItem() {
  auto* item = static_cast<TcxCustomGridTableItem*>(GetItemClass()->Create(Owner()));
  AddItem(item);
  return item;
}

void TcxCustomGridTableView::RenumberItems() {
  for (size_t i = 0; i < items_.size(); ++i) items_[i]->index_ = Integer(i);
}

void TcxCustomGridTableView::AddItem(TcxCustomGridTableItem* item) {
  items_.push_back(item);
  item->index_ = Integer(items_.size()) - 1;
  item->id_ = nextID_++;
  if (DataController()) DataController()->AddItem(item);
  item->SetGridView(this);
  // A field of the view's own records starts with the binding's default value type.
  TcxGridItemDataBinding* binding = item->DataBinding();
  if (TcxValueTypeClass d = binding->GetDefaultValueTypeClass(); d && !binding->GetValueTypeClass())
    binding->ChangeValueTypeClass(d);
  item->SetVisible(true);
}

void TcxCustomGridTableView::RemoveItem(TcxCustomGridTableItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  BeginUpdate();
  try {
    item->SetVisible(false);
    if (auto* controller = dynamic_cast<TcxCustomGridTableController*>(Controller())) controller->ItemRemoved(item);
    items_.erase(it);
    item->index_ = -1;
    RenumberItems();
    if (DataController()) DataController()->RemoveItem(item);
    // Recent filters left empty by the item's conditions going are dropped.
    if (filtering_) filtering_->MRUItems()->DeleteEmptyItems();
    RefreshVisibleItemsList();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  item->SetGridView(nullptr);
  // Recent filters that held only conditions on the item are gone with it.
  if (filtering_ && !IsDestroying()) filtering_->MRUItems()->DeleteEmptyItems();
  if (item->id_ == nextID_ - 1) --nextID_;
}

void TcxCustomGridTableView::ClearItems() {
  if (items_.empty()) {
    nextID_ = 0;
    return;
  }
  BeginUpdate();
  try {
    while (!items_.empty()) delete items_.back();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  nextID_ = 0;
}

TcxCustomGridTableItem* TcxCustomGridTableView::FindItemByID(Integer id) const {
  for (TcxCustomGridTableItem* item : items_)
    if (item->ID() == id) return item;
  return nullptr;
}

TcxCustomGridTableItem* TcxCustomGridTableView::FindItemByName(const String& name) const {
  for (TcxCustomGridTableItem* item : items_)
    if (item->Name() == name) return item;
  return nullptr;
}

void TcxCustomGridTableView::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TcxCustomGridView::GetChildren(proc, root);
  for (TcxCustomGridTableItem* item : items_)
    if (item->Owner() == root) proc(item);
}

// ---- the data controller with records of its own ---------------------------------------

PTypeInfo GridDataControllerOptionsTypeInfo() {
  static PTypeInfo t = SetTypeInfo(
      "TcxDataControllerOptions",
      EnumTypeInfo("TcxDataControllerOption",
                   {"dcoAnsiSort", "dcoCaseInsensitive", "dcoAssignGroupingValues", "dcoAssignMasterDetailKeys",
                    "dcoSaveExpanding", "dcoSortByDisplayText", "dcoFocusTopRowAfterSorting",
                    "dcoGroupsAlwaysExpanded", "dcoImmediatePost", "dcoInsertOnNewItemRowFocusing"}));
  return t;
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridDataController) { PublishGridDataControllerProperties(p); }

TcxGridDataController::~TcxGridDataController() { delete heldData_; }

TcxCustomGridView* TcxGridDataController::GetGridView() { return dynamic_cast<TcxCustomGridView*>(Owner()); }

void TcxGridDataController::CopyDataFrom(TcxCustomDataController* source) {
  TMemoryStream stream;
  source->WriteDataToStream(stream);
  stream.SetPosition(0);
  ReadDataFromStream(stream);
}

void TcxGridDataController::DoPendingNotifications() {
  TcxGridDataControllerOverrides::DoPendingNotifications();
  if (!heldData_) return;
  // Applied once; the stream goes also when the records do not fit the value definitions.
  std::unique_ptr<TMemoryStream> data(heldData_);
  heldData_ = nullptr;
  ReadDataFromStream(*data);
}

void TcxGridDataController::DefineProperties(TFiler* filer) {
  TcxGridDataControllerOverrides::DefineProperties(filer);
  filer->DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, GetRecordCount() > 0);
}

// The property's bytes: a 4-byte little-endian length N, then N bytes of the records' stream.
void TcxGridDataController::WriteData(TStream& stream) {
  TMemoryStream data;
  WriteDataToStream(data);
  const Int64 size = data.Size();
  StreamWriteInt32(stream, Integer(size));
  if (size > 0) stream.WriteBuffer(data.Memory(), size);
}

void TcxGridDataController::ReadData(TStream& stream) {
  const Int64 size = StreamReadInt32(stream);
  if (size < 0 || size > stream.Size() - stream.Position()) cxDataControllerError(cxSDataInvalidStreamFormat);
  auto held = std::make_unique<TMemoryStream>();
  if (size > 0) held->CopyFrom(&stream, size);
  held->SetPosition(0);
  delete heldData_;
  heldData_ = held.release();
}
