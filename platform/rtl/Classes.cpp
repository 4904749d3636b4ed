// Persistent objects, components, collections, bit arrays and interface lists.
#include "rtl/Classes.h"

#include <algorithm>

#include "rtl/ClassesInternal.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

using rtl_internal::WithUpdate;

// ---------------------------------------------------------------------------------------------
// TPersistent

KORVAN_IMPLEMENT_CLASS(TPersistent)

void TPersistent::Assign(TPersistent* source) {
  if (source != nullptr) {
    source->AssignTo(this);
  } else {
    AssignError(nullptr);
  }
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* source) {
  String sourceName = source != nullptr ? source->ClassName() : String("nil");
  throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

void TPersistent::DefineProperties(TFiler*) {}

TPersistent* TPersistent::GetOwner() const { return nullptr; }

String TPersistent::GetNamePath() const {
  String result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    String ownerPath = owner->GetNamePath();
    if (!ownerPath.empty()) result = ownerPath + "." + result;
  }
  return result;
}

void CallDefineProperties(TPersistent* obj, TFiler* filer) {
  if (obj != nullptr) obj->DefineProperties(filer);
}

// ---------------------------------------------------------------------------------------------
// TComponent

KORVAN_IMPLEMENT_CLASS(TComponent)

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell every linked component; each drops its link to this one in Notification.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    // Drop the reverse link first so that the other side does not call back into this list.
    auto& other = c->freeNotifies_;
    other.erase(std::remove(other.begin(), other.end(), this), other.end());
    if (other.empty()) c->state_.Exclude(csFreeNotification);
    c->Notification(this, opRemove);
  }
  state_.Exclude(csFreeNotification);
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::BeforeDestruction() {
  if (!state_.Contains(csDestroying)) Destroying();
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  // By index over the live list: an override that frees something leaves no stale entry.
  for (size_t i = 0; i < components_.size(); ++i) components_[i]->Destroying();
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* instance = components_.back();
    // Components linked by free notification and owned components of an inline frame in the
    // designer leave through RemoveComponent, which notifies the others; the rest are taken
    // out quietly, as the whole owner is going away.
    if (instance->state_.Contains(csFreeNotification) ||
        (state_.Contains(csDesigning) && state_.Contains(csInline))) {
      RemoveComponent(instance);
    } else {
      Remove(instance);
    }
    instance->Free();
  }
}

TComponent* TComponent::Components(Integer index) const {
  if (index < 0 || index >= ComponentCount()) TList::Error("List index out of bounds (%d)", index);
  return components_[size_t(index)];
}

Integer TComponent::ComponentIndex() const {
  if (owner_ == nullptr) return -1;
  auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : Integer(it - list.begin());
}

void TComponent::SetComponentIndex(Integer index) {
  if (owner_ == nullptr) return;
  Integer cur = ComponentIndex();
  if (cur < 0) return;
  auto& list = owner_->components_;
  Integer count = Integer(list.size());
  if (index < 0) index = 0;
  if (index >= count) index = count - 1;
  if (index == cur) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + index, this);
}

void TComponent::InsertComponent(TComponent* c) {
  if (c == nullptr) return;
  c->ValidateContainer(this);
  ValidateRename(c, String(), c->name_);
  if (c->owner_ != nullptr) c->owner_->RemoveComponent(c);
  Insert(c);
  if (state_.Contains(csDesigning)) c->SetDesigning(true);
  // Counted after Insert, so a listener is told of its own insertion too.
  if (insertListeners_ > 0) Notification(c, opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
  if (c == nullptr || c->owner_ != this) return;
  ValidateRename(c, c->name_, String());
  Notification(c, opRemove);
  Remove(c);
}

namespace {
// The key of a name in the owner's index: names compare case-insensitively in ASCII only.
String NameKey(const String& name) {
  String key = name;
  for (char& ch : key)
    if (ch >= 'a' && ch <= 'z') ch = char(ch - 32);
  return key;
}
}  // namespace

void TComponent::Insert(TComponent* c) {
  components_.push_back(c);
  c->owner_ = this;
  IndexName(c);
  if (c->insertListeners_ > 0) AddInsertListeners(c->insertListeners_);
}

void TComponent::Remove(TComponent* c) {
  auto it = std::find(components_.begin(), components_.end(), c);
  if (it != components_.end()) {
    components_.erase(it);
    UnindexName(c);
    if (c->insertListeners_ > 0) AddInsertListeners(-c->insertListeners_);
  }
  c->owner_ = nullptr;
}

void TComponent::AddInsertListeners(int delta) {
  for (TComponent* p = this; p != nullptr; p = p->owner_) p->insertListeners_ += delta;
}

void TComponent::WantInsertNotifications() {
  if (wantsInsert_) return;
  wantsInsert_ = true;
  AddInsertListeners(1);
}

void TComponent::IndexName(TComponent* c) {
  if (!c->name_.empty()) names_.emplace(NameKey(c->name_), c);
}

void TComponent::UnindexName(TComponent* c) {
  if (c->name_.empty()) return;
  auto range = names_.equal_range(NameKey(c->name_));
  for (auto it = range.first; it != range.second; ++it)
    if (it->second == c) {
      names_.erase(it);
      return;
    }
}

TComponent* TComponent::FindComponent(const String& name) const {
  if (name.empty()) return nullptr;
  auto range = names_.equal_range(NameKey(name));
  if (range.first == range.second) return nullptr;
  if (std::next(range.first) == range.second) return range.first->second;
  // Several components share the name (the form reader does not check): the first in the list.
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

// Checks a rename of an owned component, and the name of a component about to be inserted:
// two components of one owner never share a name.
void TComponent::ValidateRename(TComponent* c, const String& curName, const String& newName) {
  if (c != nullptr && !newName.empty() && !SameText(curName, newName)) {
    TComponent* existing = FindComponent(newName);
    if (existing != nullptr && existing != c)
      throw EComponentError("A component named " + newName + " already exists");
  }
  if (state_.Contains(csDesigning) && owner_ != nullptr) owner_->ValidateRename(c, curName, newName);
}

void TComponent::ValidateInsert(TComponent*) {}

void TComponent::ValidateContainer(TComponent* c) { c->ValidateInsert(this); }

void TComponent::SetName(const String& newName) {
  if (name_ == newName) return;
  if (!newName.empty() && !IsValidIdent(newName))
    throw EComponentError("'" + newName + "' is not a valid component name");
  if (owner_ != nullptr) {
    owner_->ValidateRename(this, name_, newName);
  } else {
    ValidateRename(nullptr, name_, newName);
  }
  ChangeName(newName);
}

void TComponent::ChangeName(const String& newName) {
  if (owner_ != nullptr) owner_->UnindexName(this);
  name_ = newName;
  if (owner_ != nullptr) owner_->IndexName(this);
}

void TComponent::FreeNotification(TComponent* c) {
  if (c == nullptr || c == this) return;
  // Links are made and dropped in pairs, so the shorter of the two lists tells whether this
  // pair exists (a component many others link to has a long one).
  const bool mineShorter = freeNotifies_.size() <= c->freeNotifies_.size();
  const std::vector<TComponent*>& shorter = mineShorter ? freeNotifies_ : c->freeNotifies_;
  if (std::find(shorter.begin(), shorter.end(), mineShorter ? c : this) == shorter.end()) {
    freeNotifies_.push_back(c);
    c->freeNotifies_.push_back(this);
  }
  state_.Include(csFreeNotification);
  c->state_.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* c) {
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), c);
  if (it != freeNotifies_.end()) freeNotifies_.erase(it);
  if (freeNotifies_.empty()) state_.Exclude(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* c) {
  if (c == nullptr) return;
  RemoveNotification(c);
  c->RemoveNotification(this);
}

void TComponent::Notification(TComponent* c, TOperation operation) {
  if (operation == opRemove && c != nullptr) RemoveFreeNotification(c);
  // Pass on to the owned components, the last first; a component freed by a notification
  // leaves the list, so the index is checked against the current count each time. An insert
  // goes only into trees holding a component that asked for it.
  Integer i = ComponentCount() - 1;
  while (i >= 0) {
    TComponent* owned = components_[size_t(i)];
    if (operation != opInsert || owned->insertListeners_ > 0) owned->Notification(c, operation);
    --i;
    if (i >= ComponentCount()) i = ComponentCount() - 1;
  }
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value) {
    state_.Include(csDesigning);
  } else {
    state_.Exclude(csDesigning);
  }
  if (setChildren)
    for (TComponent* c : components_) c->SetDesigning(value, true);
}

void TComponent::SetInline(bool value) {
  if (value) {
    state_.Include(csInline);
  } else {
    state_.Exclude(csInline);
  }
}

void TComponent::SetDesignInstance(bool value) {
  if (value) {
    state_.Include(csDesignInstance);
  } else {
    state_.Exclude(csDesignInstance);
  }
}

void TComponent::Loading() { state_.Include(csLoading); }

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::Updating() { state_.Include(csUpdating); }

void TComponent::Updated() { state_.Exclude(csUpdating); }

String TComponent::GetNamePath() const { return name_; }

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

TPersistent* TComponent::GetOwner() const { return owner_; }

// ---------------------------------------------------------------------------------------------
// TCollectionItem

KORVAN_IMPLEMENT_CLASS(TCollectionItem)

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() {
  if (collection_ != nullptr) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* value) {
  if (collection_ == value) return;
  if (collection_ != nullptr) collection_->RemoveItem(this);
  if (value != nullptr) value->InsertItem(this);
}

Integer TCollectionItem::Index() const {
  if (collection_ == nullptr) return -1;
  auto& items = collection_->items_;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : Integer(it - items.begin());
}

void TCollectionItem::SetIndex(Integer value) {
  Integer cur = Index();
  if (cur < 0 || value < 0 || cur == value) return;
  auto& items = collection_->items_;
  if (value >= Integer(items.size())) value = Integer(items.size()) - 1;
  items.erase(items.begin() + cur);
  items.insert(items.begin() + value, this);
  Changed(true);
}

String TCollectionItem::DisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

String TCollectionItem::GetNamePath() const {
  if (collection_ == nullptr) return ClassName();
  return collection_->GetNamePath() + "[" + IntToStr(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

void TCollectionItem::Changed(bool allItems) {
  if (collection_ != nullptr && collection_->updateCount_ == 0)
    collection_->Update(allItems ? nullptr : this);
}

// ---------------------------------------------------------------------------------------------
// TCollection

KORVAN_IMPLEMENT_CLASS(TCollection)

TCollection::TCollection(TCollectionItemClass itemClass) : itemClass_(itemClass) {}

TCollection::~TCollection() {
  updateCount_ = 1;  // no change notifications while going away
  while (!items_.empty()) items_.back()->Free();
}

TCollectionItem* TCollection::Add() {
  if (itemClass_ == nullptr) throw EInvalidOperation("Collection has no item class");
  TObject* obj = itemClass_->Create(this);
  auto* item = dynamic_cast<TCollectionItem*>(obj);
  if (item == nullptr) {
    delete obj;
    throw EInvalidOperation(String("Class ") + itemClass_->Name() + " is not a collection item");
  }
  return item;
}

TCollectionItem* TCollection::Insert(Integer index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(Integer index) {
  TCollectionItem* item = Items(index);
  Notify(item, cnDeleting);
  item->Free();
}

void TCollection::Clear() {
  if (items_.empty()) return;
  WithUpdate(this, [&] {
    while (!items_.empty()) {
      TCollectionItem* item = items_.back();
      Notify(item, cnDeleting);
      item->Free();
    }
  });
}

void TCollection::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TCollection*>(source);
  if (src == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (src == this) return;
  WithUpdate(this, [&] {
    Clear();
    for (TCollectionItem* item : src->items_) Add()->Assign(item);
  });
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

TCollectionItem* TCollection::FindItemID(Integer id) const {
  for (TCollectionItem* item : items_)
    if (item->id_ == id) return item;
  return nullptr;
}

void TCollection::Exchange(Integer index1, Integer index2) {
  Items(index1);
  Items(index2);
  std::swap(items_[size_t(index1)], items_[size_t(index2)]);
  Changed();
}

TCollectionItem* TCollection::Items(Integer index) const {
  if (index < 0 || index >= Count()) TList::Error("List index out of bounds (%d)", index);
  return items_[size_t(index)];
}

String TCollection::GetNamePath() const {
  TPersistent* owner = GetOwner();
  if (owner == nullptr) return ClassName();
  String ownerPath = owner->GetNamePath();
  if (ownerPath.empty()) return ClassName();
  // The owner's published object property that holds this collection.
  for (PPropInfo prop : GetPropList(owner->ClassType(), TTypeKinds{tkClass}))
    if (prop->GetObj && prop->GetObj(owner) == this) return ownerPath + "." + prop->Name;
  return ClassName();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem* item, TCollectionNotification action) {
  if (action == cnAdded) Added(item);
  if (action == cnDeleting) Deleting(item);
}

void TCollection::SetItemName(TCollectionItem*) {}

void TCollection::Added(TCollectionItem*) {}

void TCollection::Deleting(TCollectionItem*) {}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = nextID_++;
  SetItemName(item);
  Notify(item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, cnExtracting);
  // Searched from the end: clearing and destruction free the items from the last one.
  auto it = std::find(items_.rbegin(), items_.rend(), item);
  if (it != items_.rend()) items_.erase(std::next(it).base());
  item->collection_ = nullptr;
  Changed();
}

KORVAN_IMPLEMENT_CLASS(TOwnedCollection)

// ---------------------------------------------------------------------------------------------
// TBits

KORVAN_IMPLEMENT_CLASS(TBits)

void TBits::Error() { throw EBitsError("Bits index out of range"); }

void TBits::SetSize(Integer value) {
  if (value < 0) Error();
  bits_.resize(size_t(value), false);
}

bool TBits::Bits(Integer index) const {
  if (index < 0 || index >= Size()) Error();
  return bits_[size_t(index)];
}

void TBits::SetBits(Integer index, bool value) {
  if (index < 0) Error();
  if (index >= Size()) SetSize(index + 1);
  bits_[size_t(index)] = value;
}

Integer TBits::OpenBit() const {
  for (size_t i = 0; i < bits_.size(); ++i)
    if (!bits_[i]) return Integer(i);
  return Size();
}

// ---------------------------------------------------------------------------------------------
// TInterfaceList

KORVAN_IMPLEMENT_CLASS(TInterfaceList)

void TInterfaceList::CheckIndex(Integer index) const {
  if (index < 0 || index >= Count()) TList::Error("List index out of bounds (%d)", index);
}

Integer TInterfaceList::Add(const IInterfacePtr& item) {
  items_.push_back(item);
  return Count() - 1;
}

void TInterfaceList::Insert(Integer index, const IInterfacePtr& item) {
  if (index < 0 || index > Count()) TList::Error("List index out of bounds (%d)", index);
  items_.insert(items_.begin() + index, item);
}

void TInterfaceList::Delete(Integer index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
}

Integer TInterfaceList::Remove(const IInterfacePtr& item) {
  Integer i = IndexOf(item);
  if (i >= 0) items_.erase(items_.begin() + i);
  return i;
}

Integer TInterfaceList::IndexOf(const IInterfacePtr& item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == item) return Integer(i);
  return -1;
}

void TInterfaceList::Exchange(Integer index1, Integer index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[size_t(index1)], items_[size_t(index2)]);
}

const IInterfacePtr& TInterfaceList::Items(Integer index) const {
  CheckIndex(index);
  return items_[size_t(index)];
}

void TInterfaceList::SetItems(Integer index, const IInterfacePtr& item) {
  CheckIndex(index);
  items_[size_t(index)] = item;
}

// ---------------------------------------------------------------------------------------------
// FindGlobalComponent

namespace {
std::vector<TFindGlobalComponent>& GlobalFinders() {
  static std::vector<TFindGlobalComponent> finders;
  return finders;
}
}  // namespace

void RegisterFindGlobalComponentProc(TFindGlobalComponent proc) {
  auto& f = GlobalFinders();
  if (std::find(f.begin(), f.end(), proc) == f.end()) f.push_back(proc);
}

void UnregisterFindGlobalComponentProc(TFindGlobalComponent proc) {
  auto& f = GlobalFinders();
  f.erase(std::remove(f.begin(), f.end(), proc), f.end());
}

TComponent* FindGlobalComponent(const String& name) {
  auto& f = GlobalFinders();
  for (auto it = f.rbegin(); it != f.rend(); ++it)
    if (TComponent* c = (*it)(name)) return c;
  return nullptr;
}
