// Pointer lists, object lists and string lists.
#include <algorithm>
#include <numeric>

#include "rtl/Classes.h"
#include "rtl/ClassesInternal.h"
#include "rtl/SysUtils.h"

using rtl_internal::WithUpdate;

namespace {
String ErrorText(const String& fmt, Integer data) {
  size_t p = fmt.find("%d");
  if (p == String::npos) return fmt;
  return fmt.substr(0, p) + IntToStr(data) + fmt.substr(p + 2);
}

constexpr const char* kIndexError = "List index out of bounds (%d)";

// Characters below or equal to the space (except the terminating NUL) separate unquoted
// fields of delimited text.
bool IsBlank(char c) { return c != 0 && static_cast<unsigned char>(c) <= ' '; }
}  // namespace

// ---------------------------------------------------------------------------------------------
// TList

KORVAN_IMPLEMENT_CLASS(TList)

TList::~TList() { Clear(); }

void TList::Error(const String& fmt, Integer data) { throw EListError(ErrorText(fmt, data)); }

void TList::CheckIndex(Integer index) const {
  if (index < 0 || index >= Count()) Error(kIndexError, index);
}

Integer TList::Add(Pointer item) {
  items_.push_back(item);
  if (item != nullptr) Notify(item, lnAdded);
  return Count() - 1;
}

void TList::Insert(Integer index, Pointer item) {
  if (index < 0 || index > Count()) Error(kIndexError, index);
  items_.insert(items_.begin() + index, item);
  if (item != nullptr) Notify(item, lnAdded);
}

void TList::Delete(Integer index) {
  CheckIndex(index);
  Pointer item = items_[size_t(index)];
  items_.erase(items_.begin() + index);
  if (item != nullptr) Notify(item, lnDeleted);
}

Integer TList::Remove(Pointer item) {
  Integer i = IndexOf(item);
  if (i >= 0) Delete(i);
  return i;
}

Pointer TList::Extract(Pointer item) {
  Integer i = IndexOf(item);
  if (i < 0) return nullptr;
  items_.erase(items_.begin() + i);
  Notify(item, lnExtracted);
  return item;
}

Integer TList::IndexOf(Pointer item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : Integer(it - items_.begin());
}

void TList::Exchange(Integer index1, Integer index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[size_t(index1)], items_[size_t(index2)]);
}

void TList::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  Pointer item = items_[size_t(curIndex)];
  items_.erase(items_.begin() + curIndex);
  items_.insert(items_.begin() + newIndex, item);
}

void TList::Pack() { items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end()); }

void TList::Sort(const TListSortCompare& compare) {
  if (!compare || items_.size() < 2) return;
  std::stable_sort(items_.begin(), items_.end(), [&](Pointer a, Pointer b) { return compare(a, b) < 0; });
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TList::Assign(const TList& source) {
  if (&source == this) return;
  Clear();
  for (Pointer p : source.items_) Add(p);
}

void TList::SetCount(Integer count) {
  if (count < 0) Error("List count out of bounds (%d)", count);
  // Shrinking deletes from the end, one notification per item.
  while (Count() > count) Delete(Count() - 1);
  if (count > Count()) items_.resize(size_t(count), nullptr);
}

void TList::SetCapacity(Integer capacity) {
  if (capacity < Count()) Error("List capacity out of bounds (%d)", capacity);
  if (capacity == 0) {
    std::vector<Pointer>().swap(items_);
  } else if (size_t(capacity) > items_.capacity()) {
    items_.reserve(size_t(capacity));
  }
}

Pointer TList::Items(Integer index) const {
  CheckIndex(index);
  return items_[size_t(index)];
}

void TList::SetItems(Integer index, Pointer item) {
  CheckIndex(index);
  Pointer old = items_[size_t(index)];
  if (old == item) return;
  items_[size_t(index)] = item;
  if (old != nullptr) Notify(old, lnDeleted);
  if (item != nullptr) Notify(item, lnAdded);
}

Pointer TList::First() const { return Items(0); }

Pointer TList::Last() const { return Items(Count() - 1); }

void TList::Notify(Pointer, TListNotification) {}

// ---------------------------------------------------------------------------------------------
// TObjectList

KORVAN_IMPLEMENT_CLASS(TObjectList)

// The base destructor cannot reach this class's Notify, so the objects are freed here.
TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(Pointer item, TListNotification action) {
  if (owns_ && action == lnDeleted) static_cast<TObject*>(item)->Free();
  TList::Notify(item, action);
}

// ---------------------------------------------------------------------------------------------
// TStrings

KORVAN_IMPLEMENT_CLASS(TStrings)

void TStrings::Error(const String& fmt, Integer data) { throw EStringListError(ErrorText(fmt, data)); }

Integer TStrings::Add(const String& s) {
  Integer index = Count();
  Insert(index, s);
  return index;
}

Integer TStrings::AddObject(const String& s, TObject* obj) {
  Integer index = Add(s);
  PutObject(index, obj);
  return index;
}

void TStrings::AddStrings(TStrings* strings) {
  if (strings == nullptr) return;
  WithUpdate(this, [&] {
    // Copy first: adding a list to itself must not see its own new lines.
    Integer n = strings->Count();
    std::vector<std::pair<String, TObject*>> copy;
    copy.reserve(size_t(n));
    for (Integer i = 0; i < n; ++i) copy.emplace_back(strings->Get(i), strings->GetObject(i));
    for (auto& [s, obj] : copy) AddObject(s, obj);
  });
}

void TStrings::AddStrings(const std::vector<String>& strings) {
  WithUpdate(this, [&] {
    for (const String& s : strings) Add(s);
  });
}

void TStrings::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TStrings*>(source);
  if (src == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (src == this) return;
  WithUpdate(this, [&] {
    Clear();
    delimiter_ = src->delimiter_;
    quoteChar_ = src->quoteChar_;
    nameValueSeparator_ = src->nameValueSeparator_;
    AddStrings(src);
  });
}

void TStrings::Exchange(Integer index1, Integer index2) {
  WithUpdate(this, [&] {
    String s = Get(index1);
    TObject* obj = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, s);
    PutObject(index2, obj);
  });
}

void TStrings::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  if (newIndex < 0 || newIndex >= Count()) Error(kIndexError, newIndex);
  WithUpdate(this, [&] {
    String s = Get(curIndex);
    TObject* obj = GetObject(curIndex);
    PutObject(curIndex, nullptr);  // an owning list must not free the moving object
    Delete(curIndex);
    InsertObject(newIndex, s, obj);
  });
}

void TStrings::InsertObject(Integer index, const String& s, TObject* obj) {
  Insert(index, s);
  PutObject(index, obj);
}

Integer TStrings::IndexOf(const String& s) const {
  for (Integer i = 0, n = Count(); i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

Integer TStrings::IndexOfName(const String& name) const {
  for (Integer i = 0, n = Count(); i < n; ++i) {
    String s = Get(i);
    size_t p = s.find(nameValueSeparator_);
    if (p != String::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
  }
  return -1;
}

Integer TStrings::IndexOfObject(TObject* obj) const {
  for (Integer i = 0, n = Count(); i < n; ++i)
    if (GetObject(i) == obj) return i;
  return -1;
}

bool TStrings::Equals(TStrings* other) const {
  if (other == nullptr || other->Count() != Count()) return false;
  for (Integer i = 0, n = Count(); i < n; ++i)
    if (Get(i) != other->Get(i)) return false;
  return true;
}

void TStrings::Put(Integer index, const String& s) {
  TObject* obj = GetObject(index);
  Delete(index);
  InsertObject(index, s, obj);
}

TObject* TStrings::GetObject(Integer) const { return nullptr; }

void TStrings::PutObject(Integer, TObject*) {}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const String& s1, const String& s2) const { return AnsiCompareText(s1, s2); }

String TStrings::Names(Integer index) const {
  String s = Get(index);
  size_t p = s.find(nameValueSeparator_);
  return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::Values(const String& name) const {
  Integer i = IndexOfName(name);
  return i < 0 ? String() : ValueFromIndex(i);
}

void TStrings::SetValues(const String& name, const String& value) {
  Integer i = IndexOfName(name);
  if (!value.empty()) {
    if (i < 0) i = Add(String());
    Put(i, name + nameValueSeparator_ + value);
  } else if (i >= 0) {
    Delete(i);
  }
}

// A line without the separator has no value (rather than losing its first character).
String TStrings::ValueFromIndex(Integer index) const {
  if (index < 0) return String();
  String s = Get(index);
  size_t p = s.find(nameValueSeparator_);
  return p == String::npos ? String() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(Integer index, const String& value) {
  if (!value.empty()) {
    if (index < 0) index = Add(String());
    Put(index, Names(index) + nameValueSeparator_ + value);
  } else if (index >= 0) {
    Delete(index);
  }
}

String TStrings::Text() const {
  String r;
  for (Integer i = 0, n = Count(); i < n; ++i) {
    r += Get(i);
    r += '\n';
  }
  return r;
}

void TStrings::SetText(const String& text) {
  WithUpdate(this, [&] {
    Clear();
    size_t i = 0, n = text.size();
    while (i < n) {
      size_t start = i;
      while (i < n && text[i] != '\n' && text[i] != '\r') ++i;
      Add(text.substr(start, i - start));
      if (i < n && text[i] == '\r') ++i;
      if (i < n && text[i] == '\n') ++i;
    }
  });
}

String TStrings::DelimitedText() const {
  Integer n = Count();
  if (n == 1 && Get(0).empty()) return String(2, quoteChar_);
  String r;
  for (Integer i = 0; i < n; ++i) {
    String s = Get(i);
    bool quote = false;
    for (char c : s) {
      if (c == 0) break;
      if (c == quoteChar_ || c == delimiter_ || IsBlank(c)) {
        quote = true;
        break;
      }
    }
    if (quote) s = AnsiQuotedStr(s, quoteChar_);
    if (i > 0) r += delimiter_;
    r += s;
  }
  return r;
}

void TStrings::SetDelimitedText(const String& text) {
  WithUpdate(this, [&] {
    Clear();
    const char* p = text.c_str();
    while (IsBlank(*p)) ++p;
    while (*p != 0) {
      String s;
      if (*p == quoteChar_) {
        s = AnsiExtractQuotedStr(p, quoteChar_);
      } else {
        const char* start = p;
        while (*p != 0 && !IsBlank(*p) && *p != delimiter_) ++p;
        s.assign(start, size_t(p - start));
      }
      Add(s);
      while (IsBlank(*p)) ++p;
      if (*p == delimiter_) {
        if (p[1] == 0) Add(String());  // a trailing delimiter ends with an empty string
        do {
          ++p;
        } while (IsBlank(*p));
      }
    }
  });
}

String TStrings::CommaText() const {
  auto* self = const_cast<TStrings*>(this);
  char d = delimiter_, q = quoteChar_;
  self->delimiter_ = ',';
  self->quoteChar_ = '"';
  String r = DelimitedText();
  self->delimiter_ = d;
  self->quoteChar_ = q;
  return r;
}

void TStrings::SetCommaText(const String& text) {
  char d = delimiter_, q = quoteChar_;
  delimiter_ = ',';
  quoteChar_ = '"';
  try {
    SetDelimitedText(text);
  } catch (...) {
    delimiter_ = d;
    quoteChar_ = q;
    throw;
  }
  delimiter_ = d;
  quoteChar_ = q;
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ <= 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

void TStrings::LoadFromFile(const String& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

// Reads the rest of the stream as UTF-8 text (a byte-order mark is skipped).
void TStrings::LoadFromStream(TStream* stream) {
  Int64 size = stream->Size() - stream->Position();
  String text = stream->ReadRawString(size < 0 ? 0 : size);
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  SetText(text);
}

void TStrings::SaveToFile(const String& fileName) const {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(&stream);
}

void TStrings::SaveToStream(TStream* stream) const { stream->WriteRawString(Text()); }

std::vector<String> TStrings::ToVector() const {
  std::vector<String> r;
  r.reserve(size_t(Count()));
  for (Integer i = 0, n = Count(); i < n; ++i) r.push_back(Get(i));
  return r;
}

void TStrings::DefineProperties(TFiler* filer) {
  bool hasData;
  if (auto* ancestor = dynamic_cast<TStrings*>(filer->Ancestor())) {
    hasData = !Equals(ancestor);
  } else {
    hasData = Count() > 0;
  }
  filer->DefineProperty(
      "Strings", [this](TReader& r) { ReadData(r); }, [this](TWriter& w) { WriteData(w); }, hasData);
}

void TStrings::ReadData(TReader& reader) {
  reader.ReadListBegin();
  WithUpdate(this, [&] {
    Clear();
    while (!reader.EndOfList()) Add(reader.ReadString());
  });
  reader.ReadListEnd();
}

void TStrings::WriteData(TWriter& writer) {
  writer.WriteListBegin();
  for (Integer i = 0, n = Count(); i < n; ++i) writer.WriteString(Get(i));
  writer.WriteListEnd();
}

// ---------------------------------------------------------------------------------------------
// TStringList

KORVAN_IMPLEMENT_CLASS(TStringList)

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (ownsObjects_)
    for (Item& item : items_) FreeAndNil(item.obj);
}

void TStringList::CheckIndex(Integer index) const {
  if (index < 0 || index >= Count()) Error(kIndexError, index);
}

Integer TStringList::Add(const String& s) { return AddObject(s, nullptr); }

Integer TStringList::AddObject(const String& s, TObject* obj) {
  Integer index;
  if (!sorted_) {
    index = Count();
  } else if (Find(s, index)) {
    switch (duplicates_) {
      case dupIgnore:
        return index;
      case dupError:
        Error("String list does not allow duplicates", 0);
      case dupAccept:
        break;
    }
  }
  InsertItem(index, s, obj);
  return index;
}

void TStringList::InsertItem(Integer index, const String& s, TObject* obj) {
  Changing();
  items_.insert(items_.begin() + index, Item{s, obj});
  Changed();
}

void TStringList::Insert(Integer index, const String& s) {
  if (sorted_) Error("Operation not allowed on sorted list", 0);
  if (index < 0 || index > Count()) Error(kIndexError, index);
  InsertItem(index, s, nullptr);
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  std::vector<Item> old;
  old.swap(items_);
  if (ownsObjects_)
    for (Item& item : old) FreeAndNil(item.obj);
  Changed();
}

void TStringList::Delete(Integer index) {
  CheckIndex(index);
  Changing();
  TObject* obj = items_[size_t(index)].obj;
  items_.erase(items_.begin() + index);
  if (ownsObjects_) FreeAndNil(obj);
  Changed();
}

void TStringList::Exchange(Integer index1, Integer index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[size_t(index1)], items_[size_t(index2)]);
  Changed();
}

Integer TStringList::IndexOf(const String& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  Integer index;
  return Find(s, index) ? index : -1;
}

void TStringList::SetCapacity(Integer capacity) {
  if (capacity < Count()) Error("List capacity out of bounds (%d)", capacity);
  items_.reserve(size_t(capacity));
}

bool TStringList::Find(const String& s, Integer& index) const {
  // Lower bound: the first string not less than s.
  Integer lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    Integer mid = lo + (hi - lo) / 2;
    int c = CompareStrings(items_[size_t(mid)].s, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;
    }
  }
  index = lo;
  return found;
}

void TStringList::Sort() {
  SortItems([](TStringList* list, Integer a, Integer b) {
    return list->CompareStrings(list->items_[size_t(a)].s, list->items_[size_t(b)].s);
  });
}

// A sorted list keeps the order that Find relies on: another order is refused.
void TStringList::CustomSort(const TStringListSortCompare& compare) {
  if (!sorted_) SortItems(compare);
}

// Sorts a permutation of the indexes, so that the comparison sees the list unchanged while
// it runs, then applies it. Stable: equal strings keep their order.
void TStringList::SortItems(const TStringListSortCompare& compare) {
  if (!compare || items_.size() < 2) return;
  std::vector<Integer> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](Integer a, Integer b) { return compare(this, a, b) < 0; });
  Changing();
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (Integer i : order) sorted.push_back(std::move(items_[size_t(i)]));
  items_.swap(sorted);
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (sorted_ == value) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (caseSensitive_ == value) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}

String TStringList::Get(Integer index) const {
  CheckIndex(index);
  return items_[size_t(index)].s;
}

void TStringList::Put(Integer index, const String& s) {
  if (sorted_) Error("Operation not allowed on sorted list", 0);
  CheckIndex(index);
  Changing();
  items_[size_t(index)].s = s;
  Changed();
}

TObject* TStringList::GetObject(Integer index) const {
  CheckIndex(index);
  return items_[size_t(index)].obj;
}

void TStringList::PutObject(Integer index, TObject* obj) {
  CheckIndex(index);
  Changing();
  items_[size_t(index)].obj = obj;
  Changed();
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) {
    Changing();
  } else {
    Changed();
  }
}

int TStringList::CompareStrings(const String& s1, const String& s2) const {
  return caseSensitive_ ? AnsiCompareStr(s1, s2) : AnsiCompareText(s1, s2);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}
