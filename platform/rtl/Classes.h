// The platform's class library core: persistent objects, components with ownership and free
// notification, pointer and string lists, collections, bit sets, interface lists, streams and
// the filer interface through which form readers and writers reach defined properties.
#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "rtl/System.h"

KORVAN_EXCEPTION(EBitsError, Exception);

using Pointer = void*;
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TStream;
class TFiler;
class TReader;
class TWriter;
class TComponent;

// ---------------------------------------------------------------------------------------------
// TPersistent: an object that can be assigned from another and stored in a form description.

class TPersistent : public TObject {
  KORVAN_CLASS(TPersistent, TObject)

 public:
  TPersistent() = default;
  // Copies `source` into this object: the source's AssignTo decides; raises EConvertError
  // "Cannot assign a TFoo to a TBar" when neither side knows the other (a nil source reads
  // "nil").
  virtual void Assign(TPersistent* source);
  // The path that names this object in a form description ("Form1.Button1", "Columns[2]").
  virtual String GetNamePath() const;

 protected:
  // Copies this object into `dest`; the base raises EConvertError.
  virtual void AssignTo(TPersistent* dest);
  // Lets a descendant store data that no published property holds (see TFiler).
  virtual void DefineProperties(TFiler* filer);
  // The object that owns this one in a form description (nullptr when none).
  virtual TPersistent* GetOwner() const;

  friend class TFiler;
  friend class TReader;
  friend class TWriter;
  friend void CallDefineProperties(TPersistent* obj, TFiler* filer);

 private:
  [[noreturn]] void AssignError(TPersistent* source);
};

// Calls obj->DefineProperties(filer); the entry point for form readers and writers.
void CallDefineProperties(TPersistent* obj, TFiler* filer);

// ---------------------------------------------------------------------------------------------
// TList: a list of untyped pointers.

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
enum TDuplicates { dupIgnore, dupAccept, dupError };
using TListSortCompare = std::function<int(Pointer item1, Pointer item2)>;

class TList : public TObject {
  KORVAN_CLASS(TList, TObject)

 public:
  TList() = default;
  ~TList() override;

  Integer Add(Pointer item);
  void Insert(Integer index, Pointer item);
  void Delete(Integer index);
  // Removes the first occurrence; returns its former index or -1.
  Integer Remove(Pointer item);
  // Takes the item out without the deletion notification; returns it, nullptr when absent.
  Pointer Extract(Pointer item);
  Integer IndexOf(Pointer item) const;
  void Exchange(Integer index1, Integer index2);
  void Move(Integer curIndex, Integer newIndex);
  // Removes the nil entries.
  void Pack();
  // Sorts with a stable sort: items that compare equal keep their order.
  void Sort(const TListSortCompare& compare);
  virtual void Clear();
  void Assign(const TList& source);

  Integer Count() const { return Integer(items_.size()); }
  void SetCount(Integer count);
  Integer Capacity() const { return Integer(items_.capacity()); }
  void SetCapacity(Integer capacity);
  Pointer Items(Integer index) const;
  void SetItems(Integer index, Pointer item);
  Pointer operator[](Integer index) const { return Items(index); }
  Pointer First() const;
  Pointer Last() const;
  TList* Expand() { return this; }
  const std::vector<Pointer>& List() const { return items_; }

  // Raises EListError with the message and the index ("List index out of bounds (5)").
  [[noreturn]] static void Error(const String& fmt, Integer data);

 protected:
  virtual void Notify(Pointer item, TListNotification action);

 private:
  void CheckIndex(Integer index) const;
  std::vector<Pointer> items_;
};

// A list of objects that frees them on removal when OwnsObjects (the default).
class TObjectList : public TList {
  KORVAN_CLASS(TObjectList, TList)

 public:
  TObjectList() = default;
  explicit TObjectList(bool ownsObjects) : owns_(ownsObjects) {}
  ~TObjectList() override;

  Integer Add(TObject* obj) { return TList::Add(obj); }
  void Insert(Integer index, TObject* obj) { TList::Insert(index, obj); }
  Integer Remove(TObject* obj) { return TList::Remove(obj); }
  TObject* Extract(TObject* obj) { return static_cast<TObject*>(TList::Extract(obj)); }
  Integer IndexOf(TObject* obj) const { return TList::IndexOf(obj); }
  TObject* Items(Integer index) const { return static_cast<TObject*>(TList::Items(index)); }
  void SetItems(Integer index, TObject* obj) { TList::SetItems(index, obj); }
  TObject* operator[](Integer index) const { return Items(index); }
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }
  bool OwnsObjects() const { return owns_; }
  void SetOwnsObjects(bool value) { owns_ = value; }

 protected:
  void Notify(Pointer item, TListNotification action) override;

 private:
  bool owns_ = true;
};

// ---------------------------------------------------------------------------------------------
// TStrings / TStringList: strings with an associated object each.

class TStrings : public TPersistent {
  KORVAN_CLASS(TStrings, TPersistent)

 public:
  TStrings() = default;

  virtual Integer Add(const String& s);
  virtual Integer AddObject(const String& s, TObject* obj);
  void Append(const String& s) { Add(s); }
  virtual void AddStrings(TStrings* strings);
  void AddStrings(const std::vector<String>& strings);
  void Assign(TPersistent* source) override;
  virtual void Clear() = 0;
  virtual void Delete(Integer index) = 0;
  virtual void Exchange(Integer index1, Integer index2);
  virtual void Move(Integer curIndex, Integer newIndex);
  virtual void Insert(Integer index, const String& s) = 0;
  void InsertObject(Integer index, const String& s, TObject* obj);
  virtual Integer IndexOf(const String& s) const;
  Integer IndexOfName(const String& name) const;
  Integer IndexOfObject(TObject* obj) const;
  bool Equals(TStrings* other) const;

  virtual Integer Count() const = 0;
  String Strings(Integer index) const { return Get(index); }
  void SetStrings(Integer index, const String& s) { Put(index, s); }
  String operator[](Integer index) const { return Get(index); }
  TObject* Objects(Integer index) const { return GetObject(index); }
  void SetObjects(Integer index, TObject* obj) { PutObject(index, obj); }
  virtual Integer Capacity() const { return Count(); }
  virtual void SetCapacity(Integer) {}

  // "name=value" pairs (the separator is NameValueSeparator).
  String Names(Integer index) const;
  String Values(const String& name) const;
  // Sets the value of `name`, adding the pair when absent; an empty value removes the pair.
  void SetValues(const String& name, const String& value);
  String ValueFromIndex(Integer index) const;
  void SetValueFromIndex(Integer index, const String& value);
  char NameValueSeparator() const { return nameValueSeparator_; }
  void SetNameValueSeparator(char c) { nameValueSeparator_ = c; }

  // The lines joined with "\n" after each; setting splits at "\n", "\r\n" or "\r".
  virtual String Text() const;
  virtual void SetText(const String& text);
  // The strings separated by Delimiter, quoted with QuoteChar when they hold a space, a
  // delimiter, a quote or a control character; a list of one empty string gives two quote
  // characters. Setting splits at delimiters and at blanks outside quotes; a doubled quote
  // inside quotes stands for one.
  String DelimitedText() const;
  void SetDelimitedText(const String& text);
  // DelimitedText with "," and '"'; the delimiter and quote characters are restored after.
  String CommaText() const;
  void SetCommaText(const String& text);
  char Delimiter() const { return delimiter_; }
  void SetDelimiter(char c) { delimiter_ = c; }
  char QuoteChar() const { return quoteChar_; }
  void SetQuoteChar(char c) { quoteChar_ = c; }

  void BeginUpdate();
  void EndUpdate();
  Integer UpdateCount() const { return updateCount_; }

  virtual void LoadFromFile(const String& fileName);
  virtual void LoadFromStream(TStream* stream);
  virtual void SaveToFile(const String& fileName) const;
  virtual void SaveToStream(TStream* stream) const;

  std::vector<String> ToVector() const;

 protected:
  virtual String Get(Integer index) const = 0;
  virtual void Put(Integer index, const String& s);
  virtual TObject* GetObject(Integer index) const;
  virtual void PutObject(Integer index, TObject* obj);
  // Called with true at the first BeginUpdate and false at the last EndUpdate.
  virtual void SetUpdateState(bool updating);
  // The comparison used by IndexOf, IndexOfName and Values: case-insensitive in the base.
  virtual int CompareStrings(const String& s1, const String& s2) const;
  void DefineProperties(TFiler* filer) override;
  [[noreturn]] static void Error(const String& fmt, Integer data);

 private:
  void ReadData(TReader& reader);
  void WriteData(TWriter& writer);
  Integer updateCount_ = 0;
  char delimiter_ = ',';
  char quoteChar_ = '"';
  char nameValueSeparator_ = '=';
};

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* list, Integer index1, Integer index2)>;

class TStringList : public TStrings {
  KORVAN_CLASS(TStringList, TStrings)

 public:
  TStringList() = default;
  ~TStringList() override;

  Integer Add(const String& s) override;
  Integer AddObject(const String& s, TObject* obj) override;
  void Clear() override;
  void Delete(Integer index) override;
  void Exchange(Integer index1, Integer index2) override;
  void Insert(Integer index, const String& s) override;
  Integer IndexOf(const String& s) const override;
  Integer Count() const override { return Integer(items_.size()); }
  Integer Capacity() const override { return Integer(items_.capacity()); }
  void SetCapacity(Integer capacity) override;

  // Binary search of a sorted list: true when found; `index` is the position of the match
  // (the first of equal strings) or the insertion point.
  virtual bool Find(const String& s, Integer& index) const;
  // Sorts with CompareStrings (stable: equal strings keep their order).
  virtual void Sort();
  // Sorts with the caller's comparison (stable); nothing on a Sorted list, whose order Find
  // relies on.
  virtual void CustomSort(const TStringListSortCompare& compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  // Off (the default): comparisons are locale-aware and ignore case (AnsiCompareText);
  // on: locale-aware with case (AnsiCompareStr). Changing it re-sorts a sorted list.
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);
  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool value) { ownsObjects_ = value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  String Get(Integer index) const override;
  void Put(Integer index, const String& s) override;
  TObject* GetObject(Integer index) const override;
  void PutObject(Integer index, TObject* obj) override;
  void SetUpdateState(bool updating) override;
  int CompareStrings(const String& s1, const String& s2) const override;
  virtual void Changed();
  virtual void Changing();
  virtual void InsertItem(Integer index, const String& s, TObject* obj);

 private:
  struct Item {
    String s;
    TObject* obj = nullptr;
  };
  void CheckIndex(Integer index) const;
  void SortItems(const TStringListSortCompare& compare);
  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  bool ownsObjects_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

// ---------------------------------------------------------------------------------------------
// TComponent: owner and owned components, names, free notification, component state.

// Horizontal text alignment, shared by fields and controls.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TOperation { opInsert, opRemove };
enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance,
};
using TComponentState = TSet<TComponentStateItem, 16>;
using TGetChildProc = std::function<void(TComponent* child)>;

class TComponent : public TPersistent {
  KORVAN_CLASS(TComponent, TPersistent)

 public:
  using CreateArgType = TComponent*;

  explicit TComponent(TComponent* owner);
  // Announces destruction (Destroying), tells every component linked by free notification,
  // frees the owned components and leaves the owner.
  ~TComponent() override;

  // Called by Free before the destructors run: sets csDestroying on this component and on
  // everything it owns, so that descendants' destructors see it.
  void BeforeDestruction() override;
  void Destroying();
  // Frees every owned component, the last first.
  void DestroyComponents();

  TComponent* Owner() const { return owner_; }
  Integer ComponentCount() const { return Integer(components_.size()); }
  TComponent* Components(Integer index) const;
  // The position in the owner's list (-1 without owner).
  Integer ComponentIndex() const;
  void SetComponentIndex(Integer index);
  // Adds `c` to the owned list (removing it from a previous owner first).
  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);
  // The owned component with this name (case-insensitive), nullptr when none.
  TComponent* FindComponent(const String& name) const;

  const String& Name() const { return name_; }
  // Raises EComponentError "'1a' is not a valid component name" or "A component named X
  // already exists" (among the owner's components, case-insensitive).
  virtual void SetName(const String& newName);
  NativeInt Tag() const { return tag_; }
  void SetTag(NativeInt value) { tag_ = value; }

  // Links the two components so that each is told (Notification opRemove) when the other is
  // destroyed. Components of one owner are told anyway through the owner.
  void FreeNotification(TComponent* c);
  void RemoveFreeNotification(TComponent* c);

  const TComponentState& ComponentState() const { return state_; }
  void SetDesigning(bool value, bool setChildren = true);
  void SetInline(bool value);
  void SetDesignInstance(bool value);
  // Form loading: Loading sets csLoading; Loaded clears it (descendants override Loaded to
  // finish their set-up once every property is read).
  virtual void Loading();
  virtual void Loaded();
  // Called by the form reader once this component's properties and children are read, with
  // the component it was read into (its parent in the form text; nullptr for the root).
  virtual void ReadState(TComponent* readParent) {}
  virtual void Updating();
  virtual void Updated();

  String GetNamePath() const override;

  // The hierarchy a form writer walks: children stored under this component.
  virtual void GetChildren(const TGetChildProc& proc, TComponent* root);
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent*) {}

  // Called on a component when another is inserted into or removed from its owner's list,
  // and on every component linked by FreeNotification when that one is destroyed. The base
  // drops the free notification link and passes the call on to the owned components.
  // opInsert reaches only the components that asked for it (WantInsertNotifications) and the
  // owners between them and the owner the component went into: most components only care
  // about removals, and telling every sibling of every new component is quadratic.
  virtual void Notification(TComponent* c, TOperation operation);

 protected:
  TPersistent* GetOwner() const override;
  virtual void ValidateRename(TComponent* c, const String& curName, const String& newName);
  virtual void ValidateInsert(TComponent* c);
  virtual void ValidateContainer(TComponent* c);
  virtual void ChangeName(const String& newName);
  // Sets or clears csLoading etc. directly (form readers).
  void SetComponentState(const TComponentState& state) { state_ = state; }
  // A component whose Notification reacts to opInsert calls this (once, usually in its
  // constructor): from then on it is told of insertions into its owner's list.
  void WantInsertNotifications();
  friend class TFiler;

 private:
  void Insert(TComponent* c);
  void Remove(TComponent* c);
  // Adds `delta` to the insert listener count of this component and of its owners.
  void AddInsertListeners(int delta);
  void RemoveNotification(TComponent* c);
  void IndexName(TComponent* c);
  void UnindexName(TComponent* c);

  TComponent* owner_ = nullptr;
  String name_;
  NativeInt tag_ = 0;
  TComponentState state_;
  std::vector<TComponent*> components_;
  // The owned components with a name, by their ASCII upper-cased name: name lookups and the
  // rename checks stay constant-time on owners of thousands of components.
  std::unordered_multimap<String, TComponent*> names_;
  std::vector<TComponent*> freeNotifies_;
  // Whether this component asked for opInsert, and how many components of its owned tree
  // (itself included) did: the insert broadcast skips trees where it is 0.
  bool wantsInsert_ = false;
  int insertListeners_ = 0;
};

using TComponentClass = TClass;

// ---------------------------------------------------------------------------------------------
// TCollection / TCollectionItem: owned, ordered items of one class.

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
  KORVAN_CLASS(TCollectionItem, TPersistent)

 public:
  using CreateArgType = TCollection*;

  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  // Moves the item to another collection (nullptr: out of any collection).
  virtual void SetCollection(TCollection* value);
  Integer ID() const { return id_; }
  Integer Index() const;
  virtual void SetIndex(Integer value);
  // The text shown for the item; the base gives the class name.
  virtual String DisplayName() const;
  virtual void SetDisplayName(const String& value);
  String GetNamePath() const override;

 protected:
  TPersistent* GetOwner() const override;
  // Reports a change to the collection (Update(this), or Update(nullptr) with allItems);
  // nothing while the collection's update count is above zero.
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  Integer id_ = 0;
};

using TCollectionItemClass = TClass;

class TCollection : public TPersistent {
  KORVAN_CLASS(TCollection, TPersistent)

 public:
  // Items are created through the class's virtual constructor with this collection.
  explicit TCollection(TCollectionItemClass itemClass);
  // Frees the items without notifications. A descendant whose items reach back into it
  // while they are destroyed calls Clear() in its own destructor.
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(Integer index);
  void Delete(Integer index);
  virtual void Clear();
  void Assign(TPersistent* source) override;
  virtual void BeginUpdate();
  virtual void EndUpdate();
  Integer UpdateCount() const { return updateCount_; }
  TCollectionItem* FindItemID(Integer id) const;
  void Exchange(Integer index1, Integer index2);

  Integer Count() const { return Integer(items_.size()); }
  TCollectionItem* Items(Integer index) const;
  void SetItems(Integer index, TCollectionItem* value) { Items(index)->Assign(value); }
  TCollectionItem* operator[](Integer index) const { return Items(index); }
  TCollectionItemClass ItemClass() const { return itemClass_; }
  // Owner's name path + "." + the name of the owner's published property holding this
  // collection; the class name when either is unknown.
  String GetNamePath() const override;
  TPersistent* Owner() const { return GetOwner(); }

 protected:
  // Called with the changed item, or nullptr when the whole collection changed.
  virtual void Update(TCollectionItem* item);
  virtual void Notify(TCollectionItem* item, TCollectionNotification action);
  // Reports a change of the whole collection (Update(nullptr)) unless updating.
  void Changed();
  virtual void SetItemName(TCollectionItem* item);
  virtual void Added(TCollectionItem* item);
  virtual void Deleting(TCollectionItem* item);

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  TCollectionItemClass itemClass_;
  std::vector<TCollectionItem*> items_;
  Integer updateCount_ = 0;
  Integer nextID_ = 0;
};

// A collection whose owner (for name paths and form storage) is given at creation.
class TOwnedCollection : public TCollection {
  KORVAN_CLASS(TOwnedCollection, TCollection)

 public:
  TOwnedCollection(TPersistent* owner, TCollectionItemClass itemClass)
      : TCollection(itemClass), owner_(owner) {}

 protected:
  TPersistent* GetOwner() const override { return owner_; }

 private:
  TPersistent* owner_;
};

// ---------------------------------------------------------------------------------------------
// TBits: a growable array of bits.

class TBits : public TObject {
  KORVAN_CLASS(TBits, TObject)

 public:
  TBits() = default;
  Integer Size() const { return Integer(bits_.size()); }
  // Raises EBitsError "Bits index out of range" on a negative size.
  void SetSize(Integer value);
  // Reading beyond Size raises EBitsError; writing beyond it grows the array.
  bool Bits(Integer index) const;
  void SetBits(Integer index, bool value);
  bool operator[](Integer index) const { return Bits(index); }
  // The index of the first clear bit (Size when all are set).
  Integer OpenBit() const;

 private:
  [[noreturn]] static void Error();
  std::vector<bool> bits_;
};

// ---------------------------------------------------------------------------------------------
// TInterfaceList: a list of shared interface references. An interface here is any class
// derived from IInterface, held by std::shared_ptr: the list keeps what it holds alive.

class IInterface {
 public:
  virtual ~IInterface() = default;
};
using IInterfacePtr = std::shared_ptr<IInterface>;

class TInterfaceList : public TObject {
  KORVAN_CLASS(TInterfaceList, TObject)

 public:
  TInterfaceList() = default;
  Integer Add(const IInterfacePtr& item);
  void Insert(Integer index, const IInterfacePtr& item);
  void Delete(Integer index);
  Integer Remove(const IInterfacePtr& item);
  Integer IndexOf(const IInterfacePtr& item) const;
  void Exchange(Integer index1, Integer index2);
  void Clear() { items_.clear(); }
  Integer Count() const { return Integer(items_.size()); }
  const IInterfacePtr& Items(Integer index) const;
  void SetItems(Integer index, const IInterfacePtr& item);
  const IInterfacePtr& First() const { return Items(0); }
  const IInterfacePtr& Last() const { return Items(Count() - 1); }

 private:
  void CheckIndex(Integer index) const;
  std::vector<IInterfacePtr> items_;
};

// ---------------------------------------------------------------------------------------------
// Streams. Multi-byte values of the typed helpers are little-endian.

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
constexpr Word soFromBeginning = 0;
constexpr Word soFromCurrent = 1;
constexpr Word soFromEnd = 2;

class TStream : public TObject {
  KORVAN_CLASS(TStream, TObject)

 public:
  TStream() = default;

  // Reads up to `count` bytes; returns how many were read.
  virtual Int64 Read(void* buffer, Int64 count) = 0;
  // Writes up to `count` bytes; returns how many were written.
  virtual Int64 Write(const void* buffer, Int64 count) = 0;
  virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;
  Int64 Seek(Int64 offset, Word origin) { return Seek(offset, TSeekOrigin(origin)); }
  Int64 Seek(Int64 offset, int origin) { return Seek(offset, TSeekOrigin(origin)); }

  // Read or write exactly `count` bytes: raise EReadError "Stream read error" /
  // EWriteError "Stream write error" otherwise.
  void ReadBuffer(void* buffer, Int64 count);
  void WriteBuffer(const void* buffer, Int64 count);
  // Copies `count` bytes from the source's position; 0 copies the whole source from its
  // start. Returns the count copied.
  Int64 CopyFrom(TStream* source, Int64 count);

  Int64 Position();
  void SetPosition(Int64 pos) { Seek(pos, soBeginning); }
  virtual Int64 Size();
  virtual void SetSize(Int64 newSize);

  // Typed helpers (little-endian; strings as a 4-byte length and the UTF-8 bytes).
  Byte ReadByte();
  void WriteByte(Byte v);
  bool ReadBool();
  void WriteBool(bool v);
  Word ReadWord();
  void WriteWord(Word v);
  SmallInt ReadSmallInt();
  void WriteSmallInt(SmallInt v);
  Integer ReadInt32();
  void WriteInt32(Integer v);
  Cardinal ReadUInt32();
  void WriteUInt32(Cardinal v);
  Int64 ReadInt64();
  void WriteInt64(Int64 v);
  Single ReadSingle();
  void WriteSingle(Single v);
  double ReadDouble();
  void WriteDouble(double v);
  // A 4-byte length followed by that many bytes; a negative length raises EReadError.
  String ReadLString();
  void WriteLString(const String& s);
  // `count` raw bytes as text.
  String ReadRawString(Int64 count);
  void WriteRawString(const String& s);
};

// A stream over a block of memory that the stream does not grow.
class TCustomMemoryStream : public TStream {
  KORVAN_CLASS(TCustomMemoryStream, TStream)

 public:
  Int64 Read(void* buffer, Int64 count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  using TStream::Seek;
  Int64 Size() override { return size_; }
  void* Memory() const { return memory_; }
  void SaveToStream(TStream* stream);
  void SaveToFile(const String& fileName);

 protected:
  void SetPointer(void* ptr, Int64 size);
  void* memory_ = nullptr;
  Int64 size_ = 0;
  Int64 position_ = 0;
};

// A stream in memory that grows as it is written.
class TMemoryStream : public TCustomMemoryStream {
  KORVAN_CLASS(TMemoryStream, TCustomMemoryStream)

 public:
  TMemoryStream() = default;
  ~TMemoryStream() override;
  Int64 Write(const void* buffer, Int64 count) override;
  void SetSize(Int64 newSize) override;
  void Clear();
  void LoadFromStream(TStream* stream);
  void LoadFromFile(const String& fileName);
  Int64 Capacity() const { return capacity_; }
  void SetCapacity(Int64 value);

 private:
  Int64 capacity_ = 0;
};

// File modes: one access mode, optionally or'ed with one share mode (accepted; the files of
// this platform are not locked).
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

// A stream over an operating-system file handle.
class THandleStream : public TStream {
  KORVAN_CLASS(THandleStream, TStream)

 public:
  explicit THandleStream(int handle) : handle_(handle) {}
  Int64 Read(void* buffer, Int64 count) override;
  Int64 Write(const void* buffer, Int64 count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  using TStream::Seek;
  void SetSize(Int64 newSize) override;
  int Handle() const { return handle_; }

 protected:
  int handle_ = -1;
};

// A file stream. Raises EFCreateError "Cannot create file \"x\". <reason>" or EFOpenError
// "Cannot open file \"x\". <reason>".
class TFileStream : public THandleStream {
  KORVAN_CLASS(TFileStream, THandleStream)

 public:
  TFileStream(const String& fileName, Word mode);
  ~TFileStream() override;
  const String& FileName() const { return fileName_; }

 private:
  String fileName_;
};

// A stream over a string's bytes.
class TStringStream : public TStream {
  KORVAN_CLASS(TStringStream, TStream)

 public:
  explicit TStringStream(const String& s = String()) : data_(s) {}
  Int64 Read(void* buffer, Int64 count) override;
  Int64 Write(const void* buffer, Int64 count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  using TStream::Seek;
  void SetSize(Int64 newSize) override;
  const String& DataString() const { return data_; }
  // Reads up to `count` bytes from the position.
  String ReadString(Int64 count);
  // Writes the bytes at the position.
  void WriteString(const String& s);

 private:
  String data_;
  Int64 position_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Filers: how a form reader or writer reaches the data a persistent object stores beyond its
// published properties. A reader or writer (platform/vcl) derives from TReader or TWriter and
// implements the value operations for its format; a persistent object's DefineProperties
// calls DefineProperty / DefineBinaryProperty, and the filer calls back the read or write
// procedure for the property it is handling.

// Value kinds of a stored property, numbered as in the platform's component stream.
enum TValueType : Byte {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
};

using TReaderProc = std::function<void(TReader& reader)>;
using TWriterProc = std::function<void(TWriter& writer)>;
using TStreamProc = std::function<void(TStream& stream)>;

class TFiler : public TObject {
  KORVAN_CLASS(TFiler, TObject)

 public:
  TFiler() = default;
  // `hasData`: whether the writer must store the property (ignored by readers).
  virtual void DefineProperty(const String& name, const TReaderProc& readData,
                              const TWriterProc& writeData, bool hasData) = 0;
  virtual void DefineBinaryProperty(const String& name, const TStreamProc& readData,
                                    const TStreamProc& writeData, bool hasData) = 0;

  // The root component being read or written, and its ancestor (for inherited forms; nullptr
  // otherwise): DefineProperties compares against the ancestor to decide hasData.
  TComponent* Root() const { return root_; }
  void SetRoot(TComponent* root) { root_ = root; }
  TPersistent* Ancestor() const { return ancestor_; }
  void SetAncestor(TPersistent* ancestor) { ancestor_ = ancestor; }

 protected:
  // Sets or clears a state flag of a component being read or written (csReading,
  // csWriting, csFixups, csAncestor, csInline...).
  static void SetComponentStateFlag(TComponent* c, TComponentStateItem item, bool on);

 private:
  TComponent* root_ = nullptr;
  TPersistent* ancestor_ = nullptr;
};

// A reader positioned on the value of one defined property. The form reader implements the
// value operations over its parsed values; DefineProperty runs `readData` when `name` is the
// property being read.
class TReader : public TFiler {
  KORVAN_CLASS(TReader, TFiler)

 public:
  TReader() = default;
  // The kind of the next value without consuming it.
  virtual TValueType NextValue() = 0;
  virtual Int64 ReadInt64() = 0;
  Integer ReadInteger();
  virtual bool ReadBoolean() = 0;
  virtual double ReadFloat() = 0;
  virtual String ReadString() = 0;
  virtual String ReadIdent() = 0;
  virtual void ReadListBegin() = 0;
  virtual void ReadListEnd() = 0;
  virtual bool EndOfList() = 0;
  // Skips one value of any kind.
  virtual void SkipValue() = 0;
  // Whether the reader handled a property announced with DefineProperty since the last
  // ResetDefined call (the form reader reports unknown properties otherwise).
  bool DefinedHandled() const { return handled_; }
  // The name of the defined property to read next (set by the form reader before it calls
  // DefineProperties).
  void SetPropName(const String& name) {
    propName_ = name;
    handled_ = false;
  }
  const String& PropName() const { return propName_; }

  void DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc& writeData,
                      bool hasData) override;
  void DefineBinaryProperty(const String& name, const TStreamProc& readData,
                            const TStreamProc& writeData, bool hasData) override;

 protected:
  // The bytes of a binary value (vaBinary) for DefineBinaryProperty.
  virtual String ReadBinary() = 0;

 private:
  String propName_;
  bool handled_ = false;
};

// A writer collects the defined properties of an object and writes their values.
class TWriter : public TFiler {
  KORVAN_CLASS(TWriter, TFiler)

 public:
  TWriter() = default;
  virtual void WriteInteger(Int64 value) = 0;
  virtual void WriteBoolean(bool value) = 0;
  virtual void WriteFloat(double value) = 0;
  virtual void WriteString(const String& value) = 0;
  virtual void WriteIdent(const String& ident) = 0;
  virtual void WriteListBegin() = 0;
  virtual void WriteListEnd() = 0;

  // Calls BeginDefined(name), the write procedure, then EndDefined for each property with
  // hasData.
  void DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc& writeData,
                      bool hasData) override;
  void DefineBinaryProperty(const String& name, const TStreamProc& readData,
                            const TStreamProc& writeData, bool hasData) override;

 protected:
  // The form writer starts and ends the stored property here.
  virtual void BeginDefined(const String& name) = 0;
  virtual void EndDefined() = 0;
  virtual void WriteBinary(const String& bytes) = 0;
};

// Components found by name across the program: forms and data modules register a finder
// (the framework's form unit does); FindGlobalComponent asks each, newest first.
using TFindGlobalComponent = TComponent* (*)(const String& name);
void RegisterFindGlobalComponentProc(TFindGlobalComponent proc);
void UnregisterFindGlobalComponentProc(TFindGlobalComponent proc);
TComponent* FindGlobalComponent(const String& name);
