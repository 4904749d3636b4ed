#include "foundation/cxClasses.h"

#include "rtl/Math.h"
#include "rtl/SysUtils.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

// ---------------------------------------------------------------------------------------------
// Base classes

KORVAN_IMPLEMENT_CLASS(TcxInterfacedPersistent)
KORVAN_IMPLEMENT_CLASS(TcxComponent)

TcxComponent::~TcxComponent() { ClearObjectLinksTo(this); }

void TcxComponent::BeforeDestruction() {
  if (!ComponentState().Contains(csDestroying)) Destroying();
  ClearObjectLinksTo(this);
  TComponent::BeforeDestruction();
}

void TcxComponent::AfterLoad() {
  TComponent::Loaded();
  RefreshFakeLinks();
}

void TcxComponent::RefreshFakeLinks() {
  if (!InDesigner() || ComponentState().Contains(csDestroying) || Owner() == nullptr) return;
  std::vector<TComponent*> list;
  ListLinkedComponents(list);
  for (std::size_t k = 0; k < 3; ++k) fakeLinks_[k] = k < list.size() ? list[k] : nullptr;
}

void TcxObjectList::Clear() {
  for (Integer i = 0; i < Count(); ++i) delete static_cast<TObject*>(Items(i));
  TList::Clear();
}

void TcxOpenList::PutExtending(int index, Pointer item) {
  if (index < 0) TList::Error("List index out of bounds (%d)", index);
  if (Count() < index + 1) SetCount(index + 1);
  SetItems(index, item);
}

void TcxFreeNotificator::WatchComponent(TComponent* c) {
  if (c != nullptr) c->FreeNotification(this);
}

void TcxFreeNotificator::UnwatchComponent(TComponent* c) {
  if (c != nullptr) c->RemoveFreeNotification(this);
}

void TcxFreeNotificator::Notification(TComponent* c, TOperation operation) {
  TComponent::Notification(c, operation);
  if (operation == opRemove && OnComponentFreed) OnComponentFreed(c);
}

// ---------------------------------------------------------------------------------------------
// TcxRegisteredClassList

bool TcxRegisteredClassList::FindEntry(TClass itemClass, int& index) {
  for (int i = int(entries_.size()) - 1; i >= 0; --i) {
    TClass c = entries_[std::size_t(i)].ItemClass;
    if (itemClass != nullptr && itemClass->InheritsFrom(c)) {
      index = i;
      return true;
    }
    if (c != nullptr && c->InheritsFrom(itemClass)) index = i;
  }
  return false;
}

TClass TcxRegisteredClassList::LookupRegisteredClass(TClass itemClass) {
  int index = -1;
  return FindEntry(itemClass, index) ? entries_[std::size_t(index)].RegisteredClass : nullptr;
}

void TcxRegisteredClassList::AddMapping(TClass itemClass, TClass registeredClass) {
  int index = -1;
  TcxRegisteredClassListItemData entry{itemClass, registeredClass};
  if (FindEntry(itemClass, index))
    entries_.insert(entries_.begin() + index + 1, entry);
  else if (index == -1)
    entries_.push_back(entry);
  else
    entries_.insert(entries_.begin() + index, entry);
}

void TcxRegisteredClassList::RemoveMapping(TClass itemClass, TClass registeredClass) {
  for (int i = int(entries_.size()) - 1; i >= 0; --i) {
    const auto& e = entries_[std::size_t(i)];
    if (e.ItemClass == itemClass && e.RegisteredClass == registeredClass) entries_.erase(entries_.begin() + i);
  }
}

// ---------------------------------------------------------------------------------------------
// TcxRegisteredClasses

String TcxRegisteredClasses::DescriptionAt(int i) const {
  return BeforeDescriptionSeparator(items_.at(std::size_t(i)).first);
}

int TcxRegisteredClasses::IndexOfClass(TClass c) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].second == c) return int(i);
  return -1;
}

void TcxRegisteredClasses::AddDescribedClass(TClass c, const String& description) {
  if (IndexOfClass(c) >= 0) return;
  items_.emplace_back(description, c);
  if (sorted_) Sort();
  if (registerClasses_) RegisterClass(c);
}

void TcxRegisteredClasses::RemoveClass(TClass c) {
  int i = IndexOfClass(c);
  if (i >= 0) items_.erase(items_.begin() + i);
}

TClass TcxRegisteredClasses::FindByClassName(const String& name) const {
  for (const auto& item : items_)
    if (item.second != nullptr && item.second->ClassName() == name) return item.second;
  return nullptr;
}

void TcxRegisteredClasses::SetSortedFlag(bool value) {
  if (sorted_ == value) return;
  sorted_ = value;
  if (sorted_) Sort();
}

namespace {
// Case-insensitive, locale-aware text order (the platform's collation).
int CompareTextLocale(const String& a, const String& b) { return AnsiCompareText(a, b); }
}  // namespace

int TcxRegisteredClasses::CompareDescriptions(int i, int j) const {
  return CompareTextLocale(DescriptionAt(i), DescriptionAt(j));
}

void TcxRegisteredClasses::Sort() {
  std::stable_sort(items_.begin(), items_.end(), [](const auto& a, const auto& b) {
    return CompareTextLocale(BeforeDescriptionSeparator(a.first), BeforeDescriptionSeparator(b.first)) < 0;
  });
}

// ---------------------------------------------------------------------------------------------
// TcxAutoWidthObject

TcxAutoWidthItem* TcxAutoWidthObject::AppendItem() {
  items_.push_back(std::make_unique<TcxAutoWidthItem>());
  return items_.back().get();
}

Integer TcxAutoWidthObject::TotalBaseWidth() const {
  Integer r = 0;
  for (const auto& item : items_) r += item->BaseWidth;
  return r;
}

void TcxAutoWidthObject::Distribute() {
  Integer remaining = AvailableSpace;
  Integer remainingBase = TotalBaseWidth();
  for (auto& item : items_)
    if (item->KeepWidth) {
      item->ResultWidth = item->BaseWidth;
      remaining -= item->ResultWidth;
      remainingBase -= item->BaseWidth;
    }
  bool final = false;
  bool changed;
  do {
    Integer space = remaining, base = remainingBase, acc = 0;
    changed = false;
    for (auto& item : items_) {
      if (item->ResultWidth != -1) continue;
      Integer w = MulDiv(acc + item->BaseWidth, space, base) - MulDiv(acc, space, base);
      if (final) {
        item->ResultWidth = w;
      } else if (item->MinimumWidth >= w) {
        item->ResultWidth = item->MinimumWidth;
        remaining -= item->MinimumWidth;
        remainingBase -= item->BaseWidth;
        changed = true;
      }
      acc += item->BaseWidth;
    }
    if (!changed) final = !final;
  } while (remainingBase != 0 && (changed || final));
}

// ---------------------------------------------------------------------------------------------
// TcxMRUItems

void TcxMRUItems::AddToTop(TcxMRUItem* item) {
  int i = IndexOfEqual(item);
  if (i >= 0) {
    TcxMRUItem* existing = items_[std::size_t(i)];
    items_.erase(items_.begin() + i);
    items_.insert(items_.begin(), existing);
    if (existing != item) delete item;
  } else {
    items_.insert(items_.begin(), item);
    ApplyLimit();
  }
}

int TcxMRUItems::IndexOfEqual(const TcxMRUItem* item) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->IsEqual(item)) return int(i);
  return -1;
}

void TcxMRUItems::RemoveAt(int i) {
  TcxMRUItem* item = items_.at(std::size_t(i));
  items_.erase(items_.begin() + i);
  ItemRemoving(item);
  delete item;
}

void TcxMRUItems::RemoveAll() { TrimTo(0); }

void TcxMRUItems::SetCapacityLimit(int n) {
  if (n < 0) n = 0;
  if (n == maxCount_) return;
  maxCount_ = n;
  ApplyLimit();
}

void TcxMRUItems::TrimTo(int n) {
  if (n < 0) n = 0;
  while (int(items_.size()) > n) {
    TcxMRUItem* item = items_.back();
    items_.pop_back();
    ItemRemoving(item);
    delete item;
  }
}

void TcxMRUItems::ApplyLimit() {
  if (maxCount_ > 0) TrimTo(maxCount_);
}

// ---------------------------------------------------------------------------------------------
// Object links

namespace {
struct TcxObjectLinkController {
  std::vector<TcxObjectLink*> links;
};
TcxObjectLinkController* linkController = nullptr;
int linkUseCount = 0;
}  // namespace

TcxObjectLink* AcquireObjectLink(TObject* object) {
  ++linkUseCount;
  if (linkController == nullptr) linkController = new TcxObjectLinkController;
  auto* link = new TcxObjectLink;
  link->Target = object;
  linkController->links.push_back(link);
  return link;
}

void ReleaseObjectLink(TcxObjectLink* link) {
  if (link == nullptr) return;
  if (linkController != nullptr && link->Target != nullptr) {
    auto& v = linkController->links;
    v.erase(std::remove(v.begin(), v.end(), link), v.end());
  }
  delete link;
  if (--linkUseCount <= 0) {
    linkUseCount = 0;
    delete linkController;
    linkController = nullptr;
  }
}

void ClearObjectLinksTo(TObject* object) {
  if (linkController == nullptr) return;
  auto& v = linkController->links;
  for (int i = int(v.size()) - 1; i >= 0; --i)
    if (v[std::size_t(i)]->Target == object) {
      v[std::size_t(i)]->Target = nullptr;
      v.erase(v.begin() + i);
    }
}

int ObjectLinkCount() { return linkUseCount; }

// ---------------------------------------------------------------------------------------------
// Resource texts

String ReplaceResourceText(const String& text) { return text; }

String LoadReplaceableResString(const TcxResourceStringRec& rec) {
  return ReplaceResourceText(rec.Text != nullptr ? rec.Text : "");
}

// ---------------------------------------------------------------------------------------------
// Utilities

Integer DivRoundUp(Integer a, Integer b) {
  Integer q = a / b;
  if (a % b != 0) ++q;
  return q;
}

Integer RangeMidpoint(Integer a, Integer b) {
  int64_t s = int64_t(a) + int64_t(b);
  return Integer(s >= 0 ? s / 2 : -((-s + 1) / 2));
}

Integer CharByteLengthAt(const String& text, Integer p) {
  if (p < 1 || std::size_t(p) > text.size()) return 0;
  std::size_t i = std::size_t(p) - 1;
  unsigned char c = static_cast<unsigned char>(text[i]);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
  if (i + n > text.size()) return 1;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
  return Integer(n);
}

String BeforeDescriptionSeparator(const String& text) {
  auto pos = text.find('|');
  return pos == String::npos ? text : text.substr(0, pos);
}

String SanitizeIdentifier(const String& text) {
  String r;
  for (std::size_t i = 0; i < text.size();) {
    Integer n = CharByteLengthAt(text, Integer(i + 1));
    char c = text[i];
    if (n == 1 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
      r += c;
    i += std::size_t(n);
  }
  return r;
}

namespace {
bool StartsWithText(const String& s, const String& prefix) {
  if (prefix.size() > s.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = s[i], b = prefix[i];
    if (a >= 'a' && a <= 'z') a = char(a - 32);
    if (b >= 'a' && b <= 'z') b = char(b - 32);
    if (a != b) return false;
  }
  return true;
}
}  // namespace

String ComposeComponentName(const String& prefixName, const String& className, const String& stripPrefix,
                            const String& baseName, Integer n) {
  String t = SanitizeIdentifier(baseName);
  if (t.empty() || (t[0] >= '0' && t[0] <= '9')) {
    if (!stripPrefix.empty() && StartsWithText(className, stripPrefix)) {
      t = className.substr(stripPrefix.size()) + t;
    } else {
      t = className + t;
      if (!t.empty() && t[0] == 'T') t.erase(0, 1);
    }
  }
  String r = prefixName + t;
  if (n > 0) r += std::to_string(n);
  return r;
}

bool MemoryStreamsEqual(TMemoryStream* a, TMemoryStream* b) {
  if (a->Size() != b->Size()) return false;
  return a->Size() == 0 || std::memcmp(a->Memory(), b->Memory(), std::size_t(a->Size())) == 0;
}

namespace {
// Reaches the protected owner query of any persistent object.
struct PersistentAccess : TPersistent {
  static TPersistent* OwnerOf(TPersistent* p) { return (p->*(&PersistentAccess::GetOwner))(); }
};

String UpperAscii(String s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  return s;
}
}  // namespace

TPersistent* PersistentOwnerOf(TPersistent* p) { return p ? PersistentAccess::OwnerOf(p) : nullptr; }

void RenameChildrenByPrefix(TComponent* container, TComponent* childOwner, const String& newPrefix,
                            const String& oldPrefix, int count,
                            const std::function<TComponent*(TComponent* container, int index)>& getChild) {
  if (container->ComponentState().Contains(csAncestor)) return;
  for (int i = 0; i < count; ++i) {
    TComponent* child = getChild(container, i);
    if (child == nullptr || child->Owner() != childOwner) continue;
    const String& name = child->Name();
    if (name.size() <= oldPrefix.size() || UpperAscii(name.substr(0, oldPrefix.size())) != UpperAscii(oldPrefix))
      continue;
    try {
      child->SetName(newPrefix + name.substr(oldPrefix.size()));
    } catch (const EComponentError&) {
      // A duplicate or invalid name: the child keeps its name.
    }
  }
}

bool IsComponentNameFree(TComponent* owner, TComponent* component, const String& name) {
  if (owner == nullptr) return true;
  TComponent* c = owner->FindComponent(name);
  return c == nullptr || c == component;
}

String GenerateUniqueComponentName(TComponent* owner, TComponent* prefixComponent, TComponent* component,
                                   const String& stripPrefix, const String& baseName) {
  String prefix = prefixComponent ? prefixComponent->Name() : String();
  return GenerateUniqueName(prefix, component->ClassName(), stripPrefix, baseName,
                            [&](const String& n) { return IsComponentNameFree(owner, component, n); });
}

String GenerateUniqueName(const String& prefixName, const String& className, const String& stripPrefix,
                          const String& baseName, const std::function<bool(const String&)>& isFree) {
  for (int64_t n = baseName.empty() ? 1 : 0; n <= INT_MAX; ++n) {
    String candidate = ComposeComponentName(prefixName, className, stripPrefix, baseName, Integer(n));
    if (isFree(candidate)) return candidate;
  }
  throw EComponentError("No free component name for " + className);
}
