// The edit repository and its items.
#include <algorithm>

#include "editors/cxEdit.h"

KORVAN_IMPLEMENT_CLASS(TcxEditRepositoryItem)
KORVAN_IMPLEMENT_CLASS(TcxEditRepository)

TcxEditRepositoryItem::TcxEditRepositoryItem(TComponent* owner, TClass properties_class)
    : TComponent(owner), propertiesClass_(properties_class) {
  properties_.reset(static_cast<TcxCustomEditProperties*>(properties_class->Create(this)));
  properties_->PropertiesChangedHandler = [this](TObject* sender) { PropertiesChanged(sender); };
}

TcxEditRepositoryItem::~TcxEditRepositoryItem() {
  // Users forget the item before its properties go.
  for (Integer i = Integer(listeners_.size()) - 1; i >= 0; --i)
    if (i < Integer(listeners_.size())) listeners_[size_t(i)]->ItemRemoved(this);
  SetRepository(nullptr);
  properties_.reset();
}

void TcxEditRepositoryItem::PropertiesChanged(TObject*) {
  for (Integer i = Integer(listeners_.size()) - 1; i >= 0; --i)
    if (i < Integer(listeners_.size())) listeners_[size_t(i)]->ItemPropertiesChanged(this);
}

void TcxEditRepositoryItem::AddListener(IcxEditItemListener* listener) {
  if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
    listeners_.push_back(listener);
}

void TcxEditRepositoryItem::RemoveListener(IcxEditItemListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

String TcxEditRepositoryItem::GetBaseName() const {
  const String class_name = ClassType()->ClassName();
  const String prefix = "TcxEditRepository";
  const size_t at = class_name.find(prefix);
  const String tail = at == String::npos ? String() : class_name.substr(at + prefix.size());
  return (repository_ ? repository_->Name() : String()) + tail;
}

void TcxEditRepositoryItem::SetRepository(TcxEditRepository* value) {
  if (repository_ == value) return;
  if (repository_) repository_->RemoveItem(this);
  repository_ = value;
  if (repository_) repository_->AddItem(this);
}

TComponent* TcxEditRepositoryItem::GetParentComponent() const { return repository_; }

// The form reader gives the parent here (it has no separate reading step for it), loading or
// not.
void TcxEditRepositoryItem::SetParentComponent(TComponent* value) {
  if (auto* repository = dynamic_cast<TcxEditRepository*>(value)) SetRepository(repository);
}

TcxEditRepository::~TcxEditRepository() { Clear(); }

TcxEditRepositoryItem* TcxEditRepository::CreateItemEx(TClass item_class, TComponent* owner) {
  auto* item = static_cast<TcxEditRepositoryItem*>(item_class->Create(owner));
  item->SetRepository(this);
  return item;
}

void TcxEditRepository::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TcxEditRepositoryItem* item : items_)
    if (item->Owner() == root) proc(item);
}

void TcxEditRepository::Clear() {
  while (!items_.empty()) {
    TcxEditRepositoryItem* item = items_.back();
    item->SetRepository(nullptr);
    item->Free();
  }
}

void TcxEditRepository::AddItem(TcxEditRepositoryItem* item) {
  if (std::find(items_.begin(), items_.end(), item) == items_.end()) items_.push_back(item);
}

void TcxEditRepository::RemoveItem(TcxEditRepositoryItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
}
