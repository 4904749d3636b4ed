// Record storage of the data controller: value types (how one kind of value lives in a record
// buffer), stored columns (value definitions), the record store with ordinary and internal
// records, record IDs and display texts, the record stream, value readers and lookup lists.
//
// Value types are never instantiated by callers: each class has one immutable instance and a
// "value type class" (TcxValueTypeClass) is a pointer to it, e.g.
// `TcxIntegerValueType::Class()` or `GetValueTypeClassList().ItemByCaption("Integer")`.
//
// A data area is DataSize() bytes inside a record buffer. String, WideString and Variant areas
// hold a pointer to a heap holder (nullptr: no holder yet); Object areas hold the object
// pointer; the others hold the value. Pointers take pointer-sized slots, so the sizes of the
// holder types are sizeof(void*). A display-text slot is a pointer to a String holder.
//
// String and WideString columns keep each distinct text once, in the column's text pool: the
// data area points at the pooled entry, whose first member is the text, so whatever reads a
// holder reads a pooled text the same way. Writing and releasing go through the column
// (TcxValueDef), which keeps the pool's reference counts.
#pragma once

#include <cstring>
#include <functional>
#include <memory>
#include <type_traits>
#include <string_view>
#include <vector>

#include "data/cxVariants.h"

// ---------------------------------------------------------------------------------------------
// The two platform value kinds without a Variant form of their own.

// A packed decimal number: Precision digits, scale and sign in SignSpecialPlaces (bit 7 the
// sign, bits 0-5 the number of decimals), digits two per byte, high nibble first.
struct TBcd {
  Byte Precision = 0;
  Byte SignSpecialPlaces = 0;
  Byte Fraction[32] = {};
};
static_assert(sizeof(TBcd) == 34);

// Raises EConvertError for text that is no decimal number or has more than 64 digits.
TBcd StrToBcd(const String& text);
// Decimal text with '.' as the separator, no exponent ("-12.5", "0").
String BcdToStr(const TBcd& bcd);
TBcd DoubleToBcd(double v);
double BcdToDouble(const TBcd& bcd);
int BcdCompare(const TBcd& a, const TBcd& b);

struct TSQLTimeStamp {
  SmallInt Year = 0;
  Word Month = 0;
  Word Day = 0;
  Word Hour = 0;
  Word Minute = 0;
  Word Second = 0;
  Cardinal Fractions = 0;  // milliseconds
};
static_assert(sizeof(TSQLTimeStamp) == 16);

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime dt);
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& ts);

// ---------------------------------------------------------------------------------------------
// Value types

class TcxValueType;
using TcxValueTypeClass = const TcxValueType*;

class TcxValueType {
 public:
  virtual ~TcxValueType() = default;
  TcxValueType(const TcxValueType&) = delete;
  TcxValueType& operator=(const TcxValueType&) = delete;

  // The class name ("TcxIntegerValueType").
  virtual const char* ClassName() const = 0;
  // Whether this type is `ancestor` or descends from it.
  virtual bool InheritsFrom(TcxValueTypeClass ancestor) const { return ancestor == this; }

  virtual int CompareBuffers(const void* p1, const void* p2) const;
  virtual void ReleaseData(void* p) const {}
  // Disposes the text holder a display-text slot refers to and clears the slot.
  virtual void FreeTextBuffer(void* textSlot) const;
  virtual int DataSize() const { return 0; }
  virtual void DataToVariant(const void* p, Variant& v) const { v = Null(); }
  virtual void GetDisplayText(const void* p, String& s) const;
  virtual void GetDisplayTextFromBuffer(const void* textSlot, String& s) const;
  virtual void ReadPayload(void* p, TStream& stream) const;
  virtual void ReadDisplayText(void* textSlot, TStream& stream) const;
  // Raises the variant type's conversion error when `v` does not convert.
  virtual void VariantToData(void* p, const Variant& v) const {}
  virtual void SetDisplayText(void* textSlot, const String& s) const;
  virtual void WritePayload(const void* p, TStream& stream) const;
  virtual void WriteDisplayText(const void* textSlot, TStream& stream) const;
  // The class name without a leading "Tcx" and without its first "ValueType".
  virtual String Caption() const;
  // Compares two prepared values (see PrepareDataPointer); only the sign counts.
  virtual int ComparePrepared(const void* a, const void* b) const;
  virtual void PreparedToVariant(const void* a, Variant& v) const { DataToVariant(a, v); }
  virtual TVarType VariantTypeCode() const { return varVariant; }
  // Null is valid; otherwise `v` is converted in place to the type's code (false when it
  // does not convert).
  virtual bool IsValueValid(Variant& v) const;
  virtual bool IsString() const { return false; }
  // For the holder types the data-area pointer becomes the holder pointer stored there.
  virtual void PrepareDataPointer(const void*& p) const {}

 protected:
  TcxValueType() = default;
};

// Declares a concrete value type class with its one instance.
#define CX_VALUE_TYPE(TThis, TBase)                                                    \
 public:                                                                               \
  static TcxValueTypeClass Class();                                                    \
  const char* ClassName() const override { return #TThis; }                            \
  bool InheritsFrom(TcxValueTypeClass ancestor) const override {                       \
    return ancestor == TThis::Class() || TBase::InheritsFrom(ancestor);               \
  }                                                                                    \
                                                                                       \
 protected:                                                                            \
  TThis() = default;                                                                   \
  friend struct ValueTypeInstances;                                                    \
                                                                                       \
 public:

class TcxStringValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxStringValueType, TcxValueType)
  int CompareBuffers(const void* p1, const void* p2) const override;
  void ReleaseData(void* p) const override;
  int DataSize() const override { return int(sizeof(void*)); }
  void DataToVariant(const void* p, Variant& v) const override;
  void ReadPayload(void* p, TStream& stream) const override;
  void VariantToData(void* p, const Variant& v) const override;
  void WritePayload(const void* p, TStream& stream) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  void PreparedToVariant(const void* a, Variant& v) const override;
  TVarType VariantTypeCode() const override { return varString; }
  bool IsString() const override { return true; }
  void PrepareDataPointer(const void*& p) const override;
};

// Wide strings hold UTF-8 text in memory and UTF-16 on the stream; every character survives.
class TcxWideStringValueType : public TcxStringValueType {
  CX_VALUE_TYPE(TcxWideStringValueType, TcxStringValueType)
  void DataToVariant(const void* p, Variant& v) const override;
  void ReadPayload(void* p, TStream& stream) const override;
  void WritePayload(const void* p, TStream& stream) const override;
  // Ordinal order of the UTF-16 code units.
  int ComparePrepared(const void* a, const void* b) const override;
  void PreparedToVariant(const void* a, Variant& v) const override;
  TVarType VariantTypeCode() const override { return varOleStr; }
};

class TcxSmallintValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxSmallintValueType, TcxValueType)
  int DataSize() const override { return 2; }
  void DataToVariant(const void* p, Variant& v) const override;
  void ReadPayload(void* p, TStream& stream) const override;
  void VariantToData(void* p, const Variant& v) const override;
  void WritePayload(const void* p, TStream& stream) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  TVarType VariantTypeCode() const override { return varSmallint; }
};

class TcxIntegerValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxIntegerValueType, TcxValueType)
  int DataSize() const override { return 4; }
  void DataToVariant(const void* p, Variant& v) const override;
  void ReadPayload(void* p, TStream& stream) const override;
  void VariantToData(void* p, const Variant& v) const override;
  void WritePayload(const void* p, TStream& stream) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  TVarType VariantTypeCode() const override { return varInteger; }
};

class TcxWordValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxWordValueType, TcxValueType)
  int DataSize() const override { return 2; }
  void DataToVariant(const void* p, Variant& v) const override;
  void ReadPayload(void* p, TStream& stream) const override;
  void VariantToData(void* p, const Variant& v) const override;
  void WritePayload(const void* p, TStream& stream) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  TVarType VariantTypeCode() const override { return varWord; }
};

class TcxBooleanValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxBooleanValueType, TcxValueType)
  int DataSize() const override { return 1; }
  void DataToVariant(const void* p, Variant& v) const override;
  void GetDisplayText(const void* p, String& s) const override;
  void ReadPayload(void* p, TStream& stream) const override;
  void VariantToData(void* p, const Variant& v) const override;
  void WritePayload(const void* p, TStream& stream) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  TVarType VariantTypeCode() const override { return varBoolean; }
};

class TcxFloatValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxFloatValueType, TcxValueType)
  int DataSize() const override { return 8; }
  void DataToVariant(const void* p, Variant& v) const override;
  void ReadPayload(void* p, TStream& stream) const override;
  void VariantToData(void* p, const Variant& v) const override;
  void WritePayload(const void* p, TStream& stream) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  TVarType VariantTypeCode() const override { return varDouble; }
};

class TcxCurrencyValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxCurrencyValueType, TcxValueType)
  int DataSize() const override { return 8; }
  void DataToVariant(const void* p, Variant& v) const override;
  void ReadPayload(void* p, TStream& stream) const override;
  void VariantToData(void* p, const Variant& v) const override;
  void WritePayload(const void* p, TStream& stream) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  TVarType VariantTypeCode() const override { return varCurrency; }
};

class TcxDateTimeValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxDateTimeValueType, TcxValueType)
  int DataSize() const override { return 8; }
  void DataToVariant(const void* p, Variant& v) const override;
  void GetDisplayText(const void* p, String& s) const override;
  void ReadPayload(void* p, TStream& stream) const override;
  void VariantToData(void* p, const Variant& v) const override;
  void WritePayload(const void* p, TStream& stream) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  TVarType VariantTypeCode() const override { return varDate; }
};

class TcxLargeIntValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxLargeIntValueType, TcxValueType)
  int DataSize() const override { return 8; }
  void DataToVariant(const void* p, Variant& v) const override;
  void ReadPayload(void* p, TStream& stream) const override;
  void VariantToData(void* p, const Variant& v) const override;
  void WritePayload(const void* p, TStream& stream) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  TVarType VariantTypeCode() const override { return varInt64; }
};

// BCD values cross as doubles (the platform's Variant has no BCD kind); the stored record
// keeps every digit, and comparison works on the digits.
class TcxFMTBcdValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxFMTBcdValueType, TcxValueType)
  int DataSize() const override { return int(sizeof(TBcd)); }
  void DataToVariant(const void* p, Variant& v) const override;
  void GetDisplayText(const void* p, String& s) const override;
  void VariantToData(void* p, const Variant& v) const override;
  // The record stream holds the number's text, so that every digit survives.
  void WritePayload(const void* p, TStream& stream) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  TVarType VariantTypeCode() const override { return varDouble; }
};

// Time stamps cross as dates.
class TcxSQLTimeStampValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxSQLTimeStampValueType, TcxValueType)
  int DataSize() const override { return int(sizeof(TSQLTimeStamp)); }
  void DataToVariant(const void* p, Variant& v) const override;
  void VariantToData(void* p, const Variant& v) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  TVarType VariantTypeCode() const override { return varDate; }
};

class TcxVariantValueType : public TcxValueType {
  CX_VALUE_TYPE(TcxVariantValueType, TcxValueType)
  int CompareBuffers(const void* p1, const void* p2) const override;
  void ReleaseData(void* p) const override;
  int DataSize() const override { return int(sizeof(void*)); }
  void DataToVariant(const void* p, Variant& v) const override;
  void VariantToData(void* p, const Variant& v) const override;
  int ComparePrepared(const void* a, const void* b) const override;
  void PreparedToVariant(const void* a, Variant& v) const override;
  void PrepareDataPointer(const void*& p) const override;
};

// An owned object pointer (the storage frees it). Crosses as a pointer-sized integer and takes
// no part in the record stream.
class TcxObjectValueType : public TcxIntegerValueType {
  CX_VALUE_TYPE(TcxObjectValueType, TcxIntegerValueType)
  void ReleaseData(void* p) const override;
  int DataSize() const override { return int(sizeof(void*)); }
  void DataToVariant(const void* p, Variant& v) const override;
  void ReadPayload(void* p, TStream& stream) const override {}
  void VariantToData(void* p, const Variant& v) const override;
  void WritePayload(const void* p, TStream& stream) const override {}
  int ComparePrepared(const void* a, const void* b) const override;
  TVarType VariantTypeCode() const override { return varInt64; }
};

// The registry of value types by caption.
class TcxValueTypeClassList {
 public:
  void Register(TcxValueTypeClass c);
  void Unregister(TcxValueTypeClass c);
  // Exact, case-sensitive caption; nullptr when none.
  TcxValueTypeClass ItemByCaption(const String& caption) const;
  int Count() const { return int(items_.size()); }
  TcxValueTypeClass Items(int i) const { return items_.at(std::size_t(i)); }

 private:
  std::vector<TcxValueTypeClass> items_;
};

// The registry, created on first use with the fourteen standard types.
TcxValueTypeClassList& GetValueTypeClassList();
// Unit start: registers the standard types (GetValueTypeClassList calls it).
void InitializeCxDataStorage();

// ---------------------------------------------------------------------------------------------
// Value definitions (stored columns)

class TcxDataStorage;
class TcxValueDefs;
class TcxValueDef;
class TcxTextPool;
class TcxRecordArena;

// One distinct text of a column's pool. Text comes first: a pointer to the entry is a pointer
// to its text (the data area of a pooled column holds it as a String holder).
struct TcxPooledText {
  String Text;
  uint32_t Refs = 0;  // data areas that point here
  uint32_t Rank = 0;  // 1, 2 ... in the column's order of its distinct texts (see RankPooledTexts)
  // Scratch of a filter pass that tests each distinct text once: the pass's serial shifted left
  // by one, or-ed with the text's result.
  uint32_t FilterMemo = 0;
};
// A factory standing for a definition class.
using TcxValueDefClass = TcxValueDef* (*)(TcxValueDefs* owner, TcxValueTypeClass valueType);

class TcxValueDef : public TObject {
 public:
  TcxValueDef(TcxValueDefs* owner, TcxValueTypeClass valueType);
  // Detaches from the owner list, reshaping the records (see TcxDataStorage).
  ~TcxValueDef() override;

  virtual TObject* LinkedObject() const { return link_; }
  virtual bool IsInRecord() const;
  virtual void SetLinkedObject(TObject* obj) { link_ = obj; }
  // Takes over the other definition's effective in-record and text settings.
  virtual void AssignSettings(const TcxValueDef* other);

  bool HoldsText() const { return holdsText_ && IsInRecord(); }
  void SetInRecord(bool value);
  void SetHoldsText(bool value);
  bool TypeIsString() const { return valueType_->IsString(); }
  bool Streamed() const { return streamed_; }
  void SetStreamed(bool value) { streamed_ = value; }
  TcxValueTypeClass ValueType() const { return valueType_; }
  int BufferSize() const { return bufferSize_; }
  int DataSize() const { return dataSize_; }
  int Offset() const { return offset_; }
  TcxValueDefs* Owner() const { return owner_; }

  // Operations on a record buffer B (the definition's offset is applied here).
  void RecordValue(const Byte* b, Variant& v) const;
  void SetRecordValue(Byte* b, const Variant& v) const;
  void MarkNull(Byte* b, bool isNull) const;
  bool IsNullIn(const Byte* b) const { return b == nullptr || b[offset_] == 0; }
  void RecordText(const Byte* b, String& s) const;
  void SetRecordText(Byte* b, const String& s) const;
  int CompareRecordValues(const Byte* b1, const Byte* b2) const;
  int CompareWithNullFlags(bool null1, bool null2, const void* p1, const void* p2) const;
  void ReleaseRecordValue(Byte* b) const;
  void WriteRecordValue(const Byte* b, TStream& s) const;
  void ReadRecordValue(Byte* b, TStream& s) const;
  void WriteRecordText(const Byte* b, TStream& s) const;
  void ReadRecordText(Byte* b, TStream& s) const;
  // Whether the column keeps its texts in a pool (String and WideString columns).
  bool IsPooled() const { return pool_ != nullptr; }
  // The number of distinct texts the pool holds (0 for other columns).
  int PooledTextCount() const;
  // Gives every pooled text its Rank in the order of the value type's comparison; the order
  // is computed again only after texts were added since the last call. Ranks of equal texts
  // are equal (a pool holds each text once).
  void RankPooledTexts() const;
  // Stores a text value (not null) into a pooled column's record buffer without a Variant.
  void SetRecordPooledText(Byte* b, std::string_view text) const;
  // Stores a value (not null) of a fixed-size type, given in the type's own layout (int32_t
  // for Integer, double for Float and DateTime ...), without a Variant.
  template <class T>
  void SetRecordFixed(Byte* b, T value) const {
    static_assert(std::is_trivially_copyable_v<T>);
    if (bufferSize_ == 0 || int(sizeof(T)) != dataSize_) return;
    std::memcpy(DataArea(b), &value, sizeof(T));
    b[offset_] = 1;
    NoteChange();
  }
  // The data area and the text slot inside a record buffer.
  Byte* DataArea(Byte* b) const { return b + offset_ + 1; }
  const Byte* DataArea(const Byte* b) const { return b + offset_ + 1; }
  Byte* TextSlot(Byte* b) const { return b + offset_ + 1 + dataSize_; }
  const Byte* TextSlot(const Byte* b) const { return b + offset_ + 1 + dataSize_; }

 private:
  friend class TcxValueDefs;
  friend class TcxDataStorage;
  // Releases the value a data area holds (a pooled text or the value type's holder).
  void ReleaseArea(Byte* area) const;
  void NoteChange() const;
  std::unique_ptr<TcxTextPool> pool_;
  int bufferSize_ = 0;
  int dataSize_ = 0;
  bool inRecord_ = true;
  TObject* link_ = nullptr;
  int offset_ = 0;
  bool streamed_ = true;
  bool holdsText_ = false;
  bool laidText_ = false;  // whether the current layout gives this column a text slot
  TcxValueDefs* owner_;
  TcxValueTypeClass valueType_;
};

// A column of the internal records, mirroring an ordinary column.
class TcxInternalValueDef : public TcxValueDef {
 public:
  using TcxValueDef::TcxValueDef;
  TcxValueDef* MirroredDef() const { return mirrored_; }
  TObject* LinkedObject() const override { return mirrored_ ? mirrored_->LinkedObject() : nullptr; }
  bool IsInRecord() const override { return true; }

 private:
  friend class TcxInternalValueDefs;
  friend class TcxDataStorage;
  TcxValueDef* mirrored_ = nullptr;
};

class TcxValueDefs : public TObject {
 public:
  explicit TcxValueDefs(TcxDataStorage* storage) : storage_(storage) {}
  ~TcxValueDefs() override;

  virtual void NotifyDefChange(TcxValueDef* def, bool resync);
  virtual bool IsInternal() const { return false; }
  virtual void LayoutFrom(int start);
  // Places the last column after the others (which keep their places).
  void LayoutLast();
  // Places one column at `pos` of the record; answers the position after it.
  static int LayOut(TcxValueDef* d, int pos);

  TcxValueDef* Add(TcxValueTypeClass valueType, bool inRecord, TObject* link, bool holdsText);
  int DefCount() const { return int(items_.size()); }
  // While the storage streams, indexes refer to the streaming order.
  TcxValueDef* DefAt(int i) const;
  int IndexOf(const TcxValueDef* def) const;
  int InRecordCount() const;
  void RemoveAll();
  int RecordOffset() const { return recordOffset_; }
  int RecordSize() const { return recordSize_; }
  TcxDataStorage* Storage() const { return storage_; }

 protected:
  // The class of new definitions (TcxValueDef here).
  virtual TcxValueDefClass DefClass();

 private:
  friend class TcxValueDef;
  friend class TcxDataStorage;
  friend class TcxInternalValueDefs;
  TcxDataStorage* storage_;
  std::vector<TcxValueDef*> items_;
  int recordOffset_ = 0;
  int recordSize_ = 0;
};

class TcxInternalValueDefs : public TcxValueDefs {
 public:
  using TcxValueDefs::TcxValueDefs;
  bool IsInternal() const override { return true; }
  // The last definition mirroring `def`; nullptr when none.
  TcxInternalValueDef* FindByMirrored(const TcxValueDef* def) const;
  void RemoveByMirrored(const TcxValueDef* def);

 protected:
  TcxValueDefClass DefClass() override;
};

// The source a whole record is filled from.
class TcxValueDefReader : public TObject {
 public:
  virtual String ReadDisplayText(TcxValueDef* def) { return String(); }
  virtual Variant ReadValue(TcxValueDef* def) { return Null(); }
  virtual bool IsSkipped(TcxValueDef* def) { return false; }
};

// ---------------------------------------------------------------------------------------------
// The record store. Ordinary records count from 0; internal records have the indexes -1, -2 ...
// A record without a buffer reads as all null.

class TcxDataStorage : public TObject {
 public:
  TcxDataStorage();
  ~TcxDataStorage() override;

  virtual void LayoutValueDefs(TcxValueDefs* defs) { defs->LayoutFrom(ValueDefsStart()); }
  virtual void NoteValueDefChange(TcxValueDef* def, bool resync) {}
  virtual TcxValueDefs* ValueDefsOf(int recordIndex) const;

  TcxValueDefs* ValueDefs() const { return valueDefs_; }
  TcxInternalValueDefs* InternalValueDefs() const { return internalDefs_; }
  int ValueDefsStart() const { return recordIDsUsed_ ? 5 : 1; }

  int RecordsCount() const { return int(records_.size()); }
  void ChangeRecordsCount(int n);
  int AddRecord();
  void InsertRecordAt(int index);
  void RemoveRecord(int index);
  int NewInternalRecord();
  void RemoveInternalRecord(int index);
  int InternalRecordsCount() const { return int(internalRecords_.size()); }
  bool HasBuffer(int index) const { return BufferOf(index) != nullptr; }
  // The record's buffer for writing through its columns, created (all null) when it has none.
  Byte* RecordBuffer(int index) { return EnsureBuffer(index); }

  Variant RecordValue(int index, TcxValueDef* def) const;
  void SetRecordValue(int index, TcxValueDef* def, const Variant& v);
  String RecordText(int index, TcxValueDef* def) const;
  void SetRecordText(int index, TcxValueDef* def, const String& s);
  // Internal records are compared through the columns that mirror `def`.
  int CompareRecordsOn(int index1, int index2, TcxValueDef* def) const;
  // True when the value is null; otherwise `p` receives the prepared value.
  bool PreparedValueOf(int index, TcxValueDef* def, const void*& p) const;
  Integer RecordIDOf(int index);
  void AssignRecordID(int index, Integer id);
  void LoadRecordFromReader(int index, TcxValueDefReader* reader);
  using TForEachMethod = std::function<void(TObject* target, TcxValueDef* def, int index, TcxValueDefReader* reader,
                                            void* argument)>;
  void ForEachValueDefOf(int index, void* argument, const TForEachMethod& method, TObject* target,
                         TcxValueDefReader* reader);
  void ClearAll(bool keepInternal = false);
  void ClearInternal();
  bool InRecordValuesOnly() const { return inRecordValuesOnly_; }
  void SetInRecordValuesOnly(bool value);
  bool RecordIDsUsed() const { return recordIDsUsed_; }
  void SetRecordIDsUsed(bool value);
  using TDefCompare = std::function<bool(const TcxValueDef* a, const TcxValueDef* b)>;
  // Sets the streaming order: the definitions sorted by `less`.
  void StartStreaming(const TDefCompare& less);
  void FinishStreaming();
  bool Streaming() const { return streaming_; }
  void SaveRecordToStream(int index, TStream& s);
  void LoadRecordFromStream(int index, TStream& s);
  void StartLoad() {}
  void FinishLoad() {}
  bool Destroying() const { return destroying_; }
  // A stamp that changes with every change of stored values, of the record list or of the
  // layout, and never repeats within the process (not even in another storage): while it
  // stays, what was computed from the stored values is still valid.
  uint64_t ChangeStamp() const { return changeStamp_; }
  void NoteChange();

  std::function<void(TcxDataStorage*)> OnClearInternalRecords;

  // The record buffer (nullptr when none); for internal records the slot's buffer.
  Byte* BufferOf(int index) const;

 private:
  friend class TcxValueDefs;
  friend class TcxValueDef;
  Byte*& SlotOf(int index);
  Byte* EnsureBuffer(int index);
  void ReleaseBuffer(int index);
  void FreeBuffer(Byte*& slot, TcxValueDefs* defs);
  // The definition to use for a record: internal records use the mirror of an ordinary one.
  TcxValueDef* Resolve(int index, TcxValueDef* def) const;
  void AddValueDefToRecords(TcxValueDef* def, int position);
  void RemoveValueDefFromRecords(TcxValueDef* def);
  void EnsureRecordID(int index);
  // Lays `defs` out again and moves every buffer of its records to the new layout, keeping
  // the values of the columns that stay in the record; `removed` is a column that left it.
  void Relayout(TcxValueDefs* defs, TcxValueDef* removed = nullptr);
  std::vector<Byte*>& BuffersOf(TcxValueDefs* defs) { return defs == valueDefs_ ? records_ : internalRecords_; }
  // Record buffers of a list of columns come from one arena of their record size.
  TcxRecordArena& ArenaOf(TcxValueDefs* defs);
  std::unique_ptr<TcxRecordArena> recordArena_, internalArena_;

  bool destroying_ = false;
  std::vector<Byte*> internalRecords_;
  TcxInternalValueDefs* internalDefs_;
  bool inRecordValuesOnly_ = false;
  std::vector<Byte*> records_;
  Integer recordIDCounter_ = 1;
  bool recordIDsUsed_ = false;
  TcxValueDefs* valueDefs_;
  bool streaming_ = false;
  std::vector<TcxValueDef*> streamingOrder_;
  uint64_t changeStamp_ = 0;
};

// ---------------------------------------------------------------------------------------------
// A list of (value, display text) pairs kept in ascending value order by its callers.

struct TcxLookupListItem {
  Variant Value;
  String DisplayText;
};

class TcxLookupList : public TObject {
 public:
  // Binary search by CompareVariantValues: true with the item's index when found, else false
  // with the insertion index.
  bool Locate(const Variant& v, int& index) const;
  void InsertAt(int index, const Variant& v, const String& text);
  const TcxLookupListItem& ItemAt(int index) const { return items_.at(std::size_t(index)); }
  int Count() const { return int(items_.size()); }
  void RemoveAll() { items_.clear(); }

 private:
  std::vector<TcxLookupListItem> items_;
};
