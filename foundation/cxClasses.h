// Class utilities the rest of the library stands on: class registries, the auto-width
// distributor of column layouts, most-recently-used lists, weak object links, the
// replaceable resource-text access and a few integer, size and text helpers.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "rtl/Classes.h"
#include "rtl/System.h"

enum TcxAlignmentVert { vaTop, vaBottom, vaCenter };

// ---------------------------------------------------------------------------------------------
// Base classes

// A persistent object with an owner, answered by its owner query.
class TcxInterfacedPersistent : public TPersistent {
  KORVAN_CLASS(TcxInterfacedPersistent, TPersistent)

 public:
  using CreateArgType = TPersistent*;
  explicit TcxInterfacedPersistent(TPersistent* owner) : owner_(owner) {}
  TPersistent* Owner() const { return owner_; }

 protected:
  TPersistent* GetOwner() const override { return owner_; }

 private:
  TPersistent* owner_;
};

// A component that keeps up to three stored references to the components it depends on, so
// that a designer keeps them in view, and that clears the weak links to itself when it goes.
class TcxComponent : public TComponent {
  KORVAN_CLASS(TcxComponent, TComponent)

 public:
  explicit TcxComponent(TComponent* owner) : TComponent(owner) {}
  ~TcxComponent() override;
  void BeforeDestruction() override;

  TComponent* FakeComponentLink1() const { return fakeLinks_[0]; }
  TComponent* FakeComponentLink2() const { return fakeLinks_[1]; }
  TComponent* FakeComponentLink3() const { return fakeLinks_[2]; }
  void SetFakeComponentLink1(TComponent* c) { fakeLinks_[0] = c; }
  void SetFakeComponentLink2(TComponent* c) { fakeLinks_[1] = c; }
  void SetFakeComponentLink3(TComponent* c) { fakeLinks_[2] = c; }

  bool InDesigner() const { return ComponentState().Contains(csDesigning); }
  // At design time only: the links take the first three components ListLinkedComponents names.
  void RefreshFakeLinks();
  void Loaded() override { AfterLoad(); }

 protected:
  virtual void AfterLoad();
  virtual void ListLinkedComponents(std::vector<TComponent*>& list) {}

 private:
  TComponent* fakeLinks_[3] = {nullptr, nullptr, nullptr};
};

// A list that owns its objects: Clear frees every object.
class TcxObjectList : public TList {
 public:
  ~TcxObjectList() override { Clear(); }
  void Clear() override;
  TObject* ObjectAt(int i) const { return static_cast<TObject*>(Items(i)); }
};

// A list that grows on demand when an item is put beyond its end.
class TcxOpenList : public TList {
 public:
  Pointer ItemAt(int i) const { return Items(i); }
  void PutExtending(int index, Pointer item);
};

// Tells OnComponentFreed when a watched component is destroyed.
class TcxFreeNotificator : public TComponent {
 public:
  explicit TcxFreeNotificator(TComponent* owner = nullptr) : TComponent(owner) {}
  void WatchComponent(TComponent* c);
  void UnwatchComponent(TComponent* c);
  std::function<void(TComponent*)> OnComponentFreed;

 protected:
  void Notification(TComponent* c, TOperation operation) override;
};

// ---------------------------------------------------------------------------------------------
// Registry mapping item classes to registered classes by inheritance: a lookup answers the
// mapping of the most specific registered ancestor (the newest one when several exist).

struct TcxRegisteredClassListItemData {
  TClass ItemClass = nullptr;
  TClass RegisteredClass = nullptr;
};

class TcxRegisteredClassList : public TObject {
 public:
  TcxRegisteredClassList() = default;
  ~TcxRegisteredClassList() override { ClearEntries(); }

  TClass LookupRegisteredClass(TClass itemClass);
  virtual void AddMapping(TClass itemClass, TClass registeredClass);
  virtual void RemoveMapping(TClass itemClass, TClass registeredClass);
  int MappingCount() const { return int(entries_.size()); }
  const TcxRegisteredClassListItemData& EntryAt(int i) const { return entries_.at(std::size_t(i)); }
  void ClearEntries() { entries_.clear(); }

 protected:
  // Scans from the last entry: true with the index of the first entry whose item class is
  // itemClass or an ancestor of it. Entries of descendants met on the way leave `index` at the
  // lowest such position (untouched when there is none).
  virtual bool FindEntry(TClass itemClass, int& index);

 private:
  std::vector<TcxRegisteredClassListItemData> entries_;
};

// Classes with descriptions ("display text|more"), optionally sorted by the display text.
class TcxRegisteredClasses : public TObject {
 public:
  explicit TcxRegisteredClasses(bool registerClasses = false) : registerClasses_(registerClasses) {}
  ~TcxRegisteredClasses() override { Clear(); }

  int Count() const { return int(items_.size()); }
  TClass ClassAt(int i) const { return items_.at(std::size_t(i)).second; }
  // The description before its first '|'.
  String DescriptionAt(int i) const;
  int IndexOfClass(TClass c) const;
  void AddDescribedClass(TClass c, const String& description);
  void RemoveClass(TClass c);
  // First class whose name equals `name` exactly (case-sensitive); nullptr when none.
  TClass FindByClassName(const String& name) const;
  bool Sorted() const { return sorted_; }
  void SetSortedFlag(bool value);
  void Clear() { items_.clear(); }

 protected:
  // Case-insensitive, locale-aware comparison of two display texts.
  virtual int CompareDescriptions(int i, int j) const;
  virtual void Sort();

 private:
  bool registerClasses_;
  bool sorted_ = false;
  std::vector<std::pair<String, TClass>> items_;
};

// ---------------------------------------------------------------------------------------------
// Auto-width: distributes the available space over columns in proportion to their base widths,
// honouring minimum widths and columns that keep their width.

class TcxAutoWidthItem : public TObject {
 public:
  Integer MinimumWidth = 0;
  Integer BaseWidth = 0;
  bool KeepWidth = false;
  Integer ResultWidth = -1;
};

class TcxAutoWidthObject : public TObject {
 public:
  explicit TcxAutoWidthObject(int capacity = 0) { items_.reserve(std::size_t(capacity > 0 ? capacity : 0)); }

  Integer AvailableSpace = 0;

  TcxAutoWidthItem* AppendItem();
  TcxAutoWidthItem* ItemAt(int i) const { return items_.at(std::size_t(i)).get(); }
  int ItemCount() const { return int(items_.size()); }
  Integer TotalBaseWidth() const;
  void ClearItems() { items_.clear(); }
  // Fills ResultWidth of every item that has none yet. Widths of one proportional pass add
  // up to the space exactly (cumulative rounding).
  void Distribute();

 private:
  std::vector<std::unique_ptr<TcxAutoWidthItem>> items_;
};

// ---------------------------------------------------------------------------------------------
// Most-recently-used lists: index 0 is the most recent item; the list owns its items.

class TcxMRUItem : public TObject {
 public:
  virtual bool IsEqual(const TcxMRUItem* item) const = 0;
};

class TcxMRUItems : public TObject {
 public:
  TcxMRUItems() = default;
  ~TcxMRUItems() override { Teardown(); }

  int ItemCount() const { return int(items_.size()); }
  TcxMRUItem* ItemAt(int i) const { return items_.at(std::size_t(i)); }
  int MaxCount() const { return maxCount_; }
  // Takes ownership: an equal item already present moves to the top and `item` is freed.
  void AddToTop(TcxMRUItem* item);
  int IndexOfEqual(const TcxMRUItem* item) const;
  void RemoveAt(int i);
  void RemoveAll();
  // 0 means unlimited; negative counts as 0.
  void SetCapacityLimit(int n);
  void TrimTo(int n);
  void Teardown() { RemoveAll(); }

 protected:
  void ApplyLimit();
  // Called for every item the list frees, just before it is freed (not while the list itself
  // is being destroyed).
  virtual void ItemRemoving(TcxMRUItem* item) {}

 private:
  std::vector<TcxMRUItem*> items_;
  int maxCount_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Weak object links: the holder of a link sees a nil Target once the object announced its
// destruction through ClearObjectLinksTo.

class TcxObjectLink : public TObject {
 public:
  TObject* Target = nullptr;
};

TcxObjectLink* AcquireObjectLink(TObject* object);
void ReleaseObjectLink(TcxObjectLink* link);
void ClearObjectLinksTo(TObject* object);
// Number of links currently held (the global link controller exists while it is not 0).
int ObjectLinkCount();

// An RAII holder of a weak link, for handlers that must stop once their object is gone.
class TcxObjectLinkGuard {
 public:
  explicit TcxObjectLinkGuard(TObject* object) : link_(AcquireObjectLink(object)) {}
  ~TcxObjectLinkGuard() { ReleaseObjectLink(link_); }
  TcxObjectLinkGuard(const TcxObjectLinkGuard&) = delete;
  TcxObjectLinkGuard& operator=(const TcxObjectLinkGuard&) = delete;
  bool Alive() const { return link_->Target != nullptr; }

 private:
  TcxObjectLink* link_;
};

// ---------------------------------------------------------------------------------------------
// Resource texts. Every user-visible text of the library goes through these; no replacement
// is registered in this program, so both answer the text itself.

struct TcxResourceStringRec {
  const char* Identifier;
  const char* Text;
};

String ReplaceResourceText(const String& text);
String LoadReplaceableResString(const TcxResourceStringRec& rec);

// ---------------------------------------------------------------------------------------------
// Small utilities.

Integer DivRoundUp(Integer a, Integer b);
inline TSize MakeSize(Integer cx, Integer cy) { return TSize(cx, cy); }
inline void ExchangeIntegers(Integer& a, Integer& b) {
  Integer t = a;
  a = b;
  b = t;
}
// floor((a + b) / 2), rounding toward minus infinity also for negative sums.
Integer RangeMidpoint(Integer a, Integer b);
// Byte length of the UTF-8 character that starts at the 1-based position p (1 for a byte
// that does not start a valid sequence, 0 beyond the end).
Integer CharByteLengthAt(const String& text, Integer p);
// The text before the first '|', or the whole text.
String BeforeDescriptionSeparator(const String& text);
// Removes every character other than ASCII letters, digits and '_' (a multi-byte character
// is removed whole).
String SanitizeIdentifier(const String& text);
bool MemoryStreamsEqual(TMemoryStream* a, TMemoryStream* b);
// Any persistent object's owner query.
TPersistent* PersistentOwnerOf(TPersistent* p);
// For the first `count` children of `container` that `childOwner` owns and whose names start
// with `oldPrefix` (case-insensitive, and are longer), replaces the prefix by `newPrefix`. A
// name that cannot be taken (a duplicate, an invalid name) is left; an inherited container is
// skipped entirely.
void RenameChildrenByPrefix(TComponent* container, TComponent* childOwner, const String& newPrefix,
                            const String& oldPrefix, int count,
                            const std::function<TComponent*(TComponent* container, int index)>& getChild);
// A name for `component` that no other component of `owner` has: see GenerateUniqueName.
String GenerateUniqueComponentName(TComponent* owner, TComponent* prefixComponent, TComponent* component,
                                   const String& stripPrefix, const String& baseName);
bool IsComponentNameFree(TComponent* owner, TComponent* component, const String& name);
// Builds a component name from a prefix name, a class name and a base name; see the .cpp.
String ComposeComponentName(const String& prefixName, const String& className, const String& stripPrefix,
                            const String& baseName, Integer n);
// The first name from ComposeComponentName for which `isFree` answers true, counting N from 1
// for an empty base name and from 0 otherwise. Raises EComponentError when no name is free.
String GenerateUniqueName(const String& prefixName, const String& className, const String& stripPrefix,
                          const String& baseName, const std::function<bool(const String&)>& isFree);
