// Data access: data sets with a window of record buffers shared by data links, the field
// family, field definitions, data sources, data links and parameters.
//
// The data events that a data set sends to its data links, and in which order, are written
// down in docs/ARCHITECTURE.md ("Data events").
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "rtl/Classes.h"
#include "rtl/Currency.h"
#include "rtl/System.h"
#include "rtl/Variants.h"

class TDataSet;
class TDataSource;
class TDataLink;
class TField;
class TFields;
class TFieldDefs;

KORVAN_EXCEPTION(EDatabaseError, Exception);

// Field types, in the platform's order (the values are exchanged as numbers).
enum TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
  ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
  ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
  ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
  ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd
};
// The type's name without the "ft" prefix ("String", "Integer", ...).
String FieldTypeName(TFieldType type);

enum TDataSetState {
  dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
  dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening
};

// Data events with the platform's codes.
enum TDataEvent {
  deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
  deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
  deFocusControl, deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange
};

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };
enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption, 8>;
enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOption, 8>;

using TBookmarkStr = String;

// ---------------------------------------------------------------------------------------------
// Field definitions: what the data set's storage offers, before fields exist.

class TFieldDef : public TObject {
  KORVAN_CLASS(TFieldDef, TObject)

 public:
  TFieldDef(const String& name, TFieldType type, Integer size, bool required, Integer fieldNo)
      : name_(name), type_(type), size_(size), required_(required), fieldNo_(fieldNo) {}
  const String& Name() const { return name_; }
  TFieldType DataType() const { return type_; }
  Integer Size() const { return size_; }
  bool Required() const { return required_; }
  Integer FieldNo() const { return fieldNo_; }
  // The field class made for this definition.
  TClass FieldClass() const;

 private:
  String name_;
  TFieldType type_;
  Integer size_;
  bool required_;
  Integer fieldNo_;
};

class TFieldDefs : public TObject {
  KORVAN_CLASS(TFieldDefs, TObject)

 public:
  TFieldDef* Add(const String& name, TFieldType type, Integer size = 0, bool required = false);
  void Clear() { items_.clear(); }
  Integer Count() const { return Integer(items_.size()); }
  TFieldDef* Items(Integer index) const;
  Integer IndexOf(const String& name) const;  // case-insensitive; -1 when absent
  TFieldDef* Find(const String& name) const;  // raises EDatabaseError "Field 'X' not found"
  bool Updated() const { return updated_; }
  void SetUpdated(bool v) { updated_ = v; }

 private:
  std::vector<std::unique_ptr<TFieldDef>> items_;
  bool updated_ = false;
};

// ---------------------------------------------------------------------------------------------
// Fields

using TFieldNotifyEvent = std::function<void(TField* sender)>;
using TFieldGetTextEvent = std::function<void(TField* sender, String& text, bool displayText)>;
using TFieldSetTextEvent = std::function<void(TField* sender, const String& text)>;

class TField : public TComponent {
  KORVAN_CLASS(TField, TComponent)

 public:
  explicit TField(TComponent* owner);
  ~TField() override;

  TDataSet* DataSet() const { return dataSet_; }
  // Adds the field to the data set's field list (removing it from a previous one). Raises
  // EDatabaseError when the data set is open.
  void SetDataSet(TDataSet* dataSet);

  const String& FieldName() const { return fieldName_; }
  void SetFieldName(const String& name);
  TFieldType DataType() const { return dataType_; }
  // Position of the field's value in a record, from 1; 0 for calculated and lookup fields.
  Integer FieldNo() const { return fieldNo_; }
  // Position in the data set's field list.
  Integer Index() const;
  TFieldKind FieldKind() const { return fieldKind_; }
  void SetFieldKind(TFieldKind kind);
  bool Calculated() const { return fieldKind_ == fkCalculated; }
  bool Lookup() const { return fieldKind_ == fkLookup; }

  // The label shown to users: the display label when set, else the field name.
  String DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
  void SetDisplayLabel(const String& v) { displayLabel_ = v; PropertyChanged(true); }
  String DisplayName() const { return DisplayLabel(); }
  // Width in characters; the type's default until set.
  Integer DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : GetDefaultWidth(); }
  void SetDisplayWidth(Integer v) { displayWidth_ = v; PropertyChanged(true); }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; PropertyChanged(false); }
  const String& EditMask() const { return editMask_; }
  void SetEditMask(const String& v) { editMask_ = v; PropertyChanged(false); }
  Integer Size() const { return size_; }
  void SetSize(Integer v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; PropertyChanged(false); }
  bool Required() const { return required_; }
  void SetRequired(bool v) { required_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; PropertyChanged(true); }
  const String& Origin() const { return origin_; }
  void SetOrigin(const String& v) { origin_ = v; }

  // Lookup fields: the key fields of this data set, the data set looked in, its key fields
  // and the field whose value is shown.
  TDataSet* LookupDataSet() const { return lookupDataSet_; }
  void SetLookupDataSet(TDataSet* v);
  const String& KeyFields() const { return keyFields_; }
  void SetKeyFields(const String& v) { keyFields_ = v; }
  const String& LookupKeyFields() const { return lookupKeyFields_; }
  void SetLookupKeyFields(const String& v) { lookupKeyFields_ = v; }
  const String& LookupResultField() const { return lookupResultField_; }
  void SetLookupResultField(const String& v) { lookupResultField_ = v; }

  // Values of the data set's current record (the record a data link made active while it
  // reads). Reading without a record gives Null; writing needs the data set in edit or insert
  // state (EDatabaseError "Dataset not in edit or insert mode").
  bool IsNull() const;
  Variant Value() const;
  void SetValue(const Variant& v);
  Variant AsVariant() const { return Value(); }
  void SetAsVariant(const Variant& v) { SetValue(v); }
  virtual String AsString() const;
  virtual void SetAsString(const String& v);
  String AsWideString() const { return AsString(); }
  void SetAsWideString(const String& v) { SetAsString(v); }
  virtual Integer AsInteger() const;
  virtual void SetAsInteger(Integer v);
  virtual Int64 AsLargeInt() const;
  virtual void SetAsLargeInt(Int64 v);
  virtual double AsFloat() const;
  virtual void SetAsFloat(double v);
  virtual Currency AsCurrency() const;
  virtual void SetAsCurrency(Currency v);
  virtual bool AsBoolean() const;
  virtual void SetAsBoolean(bool v);
  virtual TDateTime AsDateTime() const;
  virtual void SetAsDateTime(TDateTime v);
  void Clear() { SetValue(Null()); }

  // The edit text and the display text; OnGetText replaces both, OnSetText the parsing.
  String Text() const { return GetTextWith(false); }
  void SetText(const String& text);
  String DisplayText() const { return GetTextWith(true); }

  bool CanModify() const;
  virtual bool IsBlob() const { return false; }
  // Whether a typed character may go into the field's text: any for text fields; numeric
  // fields take their digits, signs and separators only.
  virtual bool IsValidChar(char32_t c) const { return true; }
  // Asks the data links to focus the control that edits this field.
  void FocusControl();

  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;
  TFieldNotifyEvent OnChange;
  TFieldNotifyEvent OnValidate;

  void Notification(TComponent* c, TOperation operation) override;

 protected:
  // The stored value converted to the field's own variant type.
  virtual Variant ConvertValue(const Variant& v) const { return v; }
  // Text of a non-null value: the display text or the edit text.
  virtual String GetText(const Variant& value, bool displayText) const;
  virtual Integer GetDefaultWidth() const { return 10; }
  void SetDataType(TFieldType t) { dataType_ = t; }
  void PropertyChanged(bool layoutAffected);
  Variant RawValue() const;
  TAlignment alignment_ = taLeftJustify;
  Integer size_ = 0;

 private:
  friend class TDataSet;
  friend class TFields;
  String GetTextWith(bool displayText) const;

  TDataSet* dataSet_ = nullptr;
  String fieldName_;
  TFieldType dataType_ = ftUnknown;
  Integer fieldNo_ = 0;
  Integer calcIndex_ = -1;  // position among calculated and lookup values
  TFieldKind fieldKind_ = fkData;
  String displayLabel_;
  Integer displayWidth_ = 0;
  String editMask_;
  bool readOnly_ = false;
  bool required_ = false;
  bool visible_ = true;
  String origin_;
  TDataSet* lookupDataSet_ = nullptr;
  String keyFields_;
  String lookupKeyFields_;
  String lookupResultField_;
};

class TStringField : public TField {
  KORVAN_CLASS(TStringField, TField)
 public:
  explicit TStringField(TComponent* owner);
 protected:
  Variant ConvertValue(const Variant& v) const override;
  Integer GetDefaultWidth() const override { return size_; }
};

class TWideStringField : public TStringField {
  KORVAN_CLASS(TWideStringField, TStringField)
 public:
  explicit TWideStringField(TComponent* owner);
};

class TNumericField : public TField {
  KORVAN_CLASS(TNumericField, TField)
 public:
  explicit TNumericField(TComponent* owner);
  const String& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const String& v) { displayFormat_ = v; PropertyChanged(false); }
  const String& EditFormat() const { return editFormat_; }
  void SetEditFormat(const String& v) { editFormat_ = v; PropertyChanged(false); }
  bool IsValidChar(char32_t c) const override;
 private:
  String displayFormat_;
  String editFormat_;
};

class TIntegerField : public TNumericField {
  KORVAN_CLASS(TIntegerField, TNumericField)
 public:
  explicit TIntegerField(TComponent* owner);
  void SetAsString(const String& v) override;
  // The range editors offer; 0 and 0 mean none.
  Integer MinValue() const { return minValue_; }
  void SetMinValue(Integer v) { minValue_ = v; }
  Integer MaxValue() const { return maxValue_; }
  void SetMaxValue(Integer v) { maxValue_ = v; }
 protected:
  Variant ConvertValue(const Variant& v) const override;
  String GetText(const Variant& value, bool displayText) const override;
  Integer GetDefaultWidth() const override { return 11; }
 private:
  Integer minValue_ = 0;
  Integer maxValue_ = 0;
};

class TSmallintField : public TIntegerField {
  KORVAN_CLASS(TSmallintField, TIntegerField)
 public:
  explicit TSmallintField(TComponent* owner);
 protected:
  Variant ConvertValue(const Variant& v) const override;
  Integer GetDefaultWidth() const override { return 6; }
};

class TWordField : public TIntegerField {
  KORVAN_CLASS(TWordField, TIntegerField)
 public:
  explicit TWordField(TComponent* owner);
 protected:
  Variant ConvertValue(const Variant& v) const override;
  Integer GetDefaultWidth() const override { return 5; }
};

class TAutoIncField : public TIntegerField {
  KORVAN_CLASS(TAutoIncField, TIntegerField)
 public:
  explicit TAutoIncField(TComponent* owner);
};

class TLargeintField : public TNumericField {
  KORVAN_CLASS(TLargeintField, TNumericField)
 public:
  explicit TLargeintField(TComponent* owner);
  void SetAsString(const String& v) override;
 protected:
  Variant ConvertValue(const Variant& v) const override;
  String GetText(const Variant& value, bool displayText) const override;
  Integer GetDefaultWidth() const override { return 15; }
};

class TFloatField : public TNumericField {
  KORVAN_CLASS(TFloatField, TNumericField)
 public:
  explicit TFloatField(TComponent* owner);
  // Shows values as money in the locale's currency format.
  bool Currency() const { return currency_; }
  void SetCurrency(bool v) { currency_ = v; PropertyChanged(false); }
  Integer Precision() const { return precision_; }
  void SetPrecision(Integer v) { precision_ = v < 2 ? 2 : (v > 15 ? 15 : v); PropertyChanged(false); }
  double MinValue() const { return minValue_; }
  void SetMinValue(double v) { minValue_ = v; }
  double MaxValue() const { return maxValue_; }
  void SetMaxValue(double v) { maxValue_ = v; }
  void SetAsString(const String& v) override;
  bool IsValidChar(char32_t c) const override;
 protected:
  Variant ConvertValue(const Variant& v) const override;
  String GetText(const Variant& value, bool displayText) const override;
  bool currency_ = false;
  Integer precision_ = 15;
  double minValue_ = 0;
  double maxValue_ = 0;
};

class TCurrencyField : public TFloatField {
  KORVAN_CLASS(TCurrencyField, TFloatField)
 public:
  explicit TCurrencyField(TComponent* owner);
};

// Binary-coded decimals, held as Currency.
class TBCDField : public TNumericField {
  KORVAN_CLASS(TBCDField, TNumericField)
 public:
  explicit TBCDField(TComponent* owner);
  bool Currency() const { return currency_; }
  void SetCurrency(bool v) { currency_ = v; PropertyChanged(false); }
  // Significant digits (the field's size is the decimals).
  Integer Precision() const { return precision_; }
  void SetPrecision(Integer v) { precision_ = v; PropertyChanged(false); }
  ::Currency MinValue() const { return minValue_; }
  void SetMinValue(::Currency v) { minValue_ = v; }
  ::Currency MaxValue() const { return maxValue_; }
  void SetMaxValue(::Currency v) { maxValue_ = v; }
  void SetAsString(const String& v) override;
  bool IsValidChar(char32_t c) const override;
 protected:
  Variant ConvertValue(const Variant& v) const override;
  String GetText(const Variant& value, bool displayText) const override;
  bool currency_ = false;
  Integer precision_ = 0;
  ::Currency minValue_;
  ::Currency maxValue_;
};

class TFMTBCDField : public TFloatField {
  KORVAN_CLASS(TFMTBCDField, TFloatField)
 public:
  explicit TFMTBCDField(TComponent* owner);
};

class TBooleanField : public TField {
  KORVAN_CLASS(TBooleanField, TField)
 public:
  explicit TBooleanField(TComponent* owner);
  // "True;False": the texts of the two values.
  const String& DisplayValues() const { return displayValues_; }
  void SetDisplayValues(const String& v);
  void SetAsString(const String& v) override;
 protected:
  Variant ConvertValue(const Variant& v) const override;
  String GetText(const Variant& value, bool displayText) const override;
  Integer GetDefaultWidth() const override;
 private:
  String displayValues_ = "True;False";
  String trueText_ = "True";
  String falseText_ = "False";
};

class TDateTimeField : public TField {
  KORVAN_CLASS(TDateTimeField, TField)
 public:
  explicit TDateTimeField(TComponent* owner);
  const String& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const String& v) { displayFormat_ = v; PropertyChanged(false); }
  void SetAsString(const String& v) override;
 protected:
  Variant ConvertValue(const Variant& v) const override;
  String GetText(const Variant& value, bool displayText) const override;
  Integer GetDefaultWidth() const override { return 18; }
  // The pattern used without a display format.
  virtual String DefaultFormat() const;
 private:
  String displayFormat_;
};

class TDateField : public TDateTimeField {
  KORVAN_CLASS(TDateField, TDateTimeField)
 public:
  explicit TDateField(TComponent* owner);
 protected:
  Integer GetDefaultWidth() const override { return 10; }
  String DefaultFormat() const override;
};

class TTimeField : public TDateTimeField {
  KORVAN_CLASS(TTimeField, TDateTimeField)
 public:
  explicit TTimeField(TComponent* owner);
 protected:
  Integer GetDefaultWidth() const override { return 10; }
  String DefaultFormat() const override;
};

// BLOB fields hold bytes or text as a string value; their display text names the type.
class TBlobField : public TField {
  KORVAN_CLASS(TBlobField, TField)
 public:
  explicit TBlobField(TComponent* owner);
  bool IsBlob() const override { return true; }
  TFieldType BlobType() const { return DataType(); }
 protected:
  Variant ConvertValue(const Variant& v) const override;
  String GetText(const Variant& value, bool displayText) const override;
};

class TMemoField : public TBlobField {
  KORVAN_CLASS(TMemoField, TBlobField)
 public:
  explicit TMemoField(TComponent* owner);
};

class TGraphicField : public TBlobField {
  KORVAN_CLASS(TGraphicField, TBlobField)
 public:
  explicit TGraphicField(TComponent* owner);
};

class TVariantField : public TField {
  KORVAN_CLASS(TVariantField, TField)
 public:
  explicit TVariantField(TComponent* owner);
};

// A summary over the data set's records; present for callers that test for the class.
class TAggregateField : public TField {
  KORVAN_CLASS(TAggregateField, TField)
 public:
  explicit TAggregateField(TComponent* owner);
  bool Currency() const { return currency_; }
  void SetCurrency(bool v) { currency_ = v; }
  const String& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const String& v) { displayFormat_ = v; }
  Integer Precision() const { return precision_; }
  void SetPrecision(Integer v) { precision_ = v; }
 private:
  bool currency_ = false;
  String displayFormat_;
  Integer precision_ = 0;
};

// The field class made for a field type (TStringField for ftString ...); nullptr for a type
// without one.
TClass DefaultFieldClass(TFieldType type);

// The data set's field list. Fields are owned by their owner component (the data set for
// fields it made itself); the list only refers to them.
class TFields : public TObject {
  KORVAN_CLASS(TFields, TObject)

 public:
  explicit TFields(TDataSet* dataSet) : dataSet_(dataSet) {}
  Integer Count() const { return Integer(items_.size()); }
  TField* Fields(Integer index) const;
  TField* operator[](Integer index) const { return Fields(index); }
  TField* FindField(const String& name) const;   // case-insensitive; nullptr when absent
  TField* FieldByName(const String& name) const; // raises EDatabaseError "Field 'X' not found"
  TField* FieldByNumber(Integer fieldNo) const;
  Integer IndexOf(TField* f) const;
  void GetFieldNames(std::vector<String>& names) const;
  TDataSet* DataSet() const { return dataSet_; }

 private:
  friend class TField;
  friend class TDataSet;
  void Add(TField* f) {
    items_.push_back(f);
    indexed_ = false;
  }
  void Remove(TField* f);
  void Clear() {
    items_.clear();
    indexed_ = false;
  }
  // Called when a listed field's name changes.
  void NameChanged() { indexed_ = false; }
  TDataSet* dataSet_;
  std::vector<TField*> items_;
  // FindField's index: the AnsiTextKey of each name to the first field bearing it, built on
  // demand and dropped when the list or a name changes or the collation locale differs.
  mutable std::unordered_map<std::string, Integer> index_;
  // Each field's name as spelt to the field index_ gives for it.
  mutable std::unordered_map<String, Integer> exactIndex_;
  mutable String indexLocale_;
  mutable bool indexed_ = false;
};

// ---------------------------------------------------------------------------------------------
// Data set

// A data value as the data set's storage keeps it (see TDataSet::ReadStoredCell): Int holds
// integer and Boolean columns, Float numbers and dates, Text is valid until the data set
// changes.
struct TStoredCell {
  enum TKind : uint8_t { Null, Int, Float, Text };
  TKind Kind = Null;
  int64_t IntValue = 0;
  double FloatValue = 0;
  std::string_view TextValue;
};

// One record buffer of the data set's window.
struct TRecordBuffer {
  Int64 Pos = -1;                    // the descendant's record handle
  TBookmarkFlag Flag = bfCurrent;
  bool HasValues = false;            // Values hold the record (editing, inserting)
  std::vector<Variant> Values;       // data values by field number - 1
  std::vector<Variant> CalcValues;   // calculated and lookup values
};

using TDataSetNotifyEvent = std::function<void(TDataSet* dataSet)>;
using TFilterRecordEvent = std::function<void(TDataSet* dataSet, bool& accept)>;

class TDataSet : public TComponent {
  KORVAN_CLASS(TDataSet, TComponent)

 public:
  explicit TDataSet(TComponent* owner);
  ~TDataSet() override;

  // Opening and closing. A data set that fails to open stays closed, its default fields
  // gone, and can be opened again.
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  bool Active() const { return state_ != dsInactive; }
  virtual void SetActive(bool value);
  TDataSetState State() const { return state_; }

  // Navigation.
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves by `distance` records; answers how far it moved.
  Integer MoveBy(Integer distance);
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  // The current record's number from 1 (0 when there is none); setting moves there.
  virtual Integer RecNo() const { return -1; }
  virtual void SetRecNo(Integer) {}
  virtual Integer RecordCount() const { return -1; }
  bool IsEmpty() const;
  // Record numbers mean positions (RecNo and RecordCount can drive a scroll bar).
  virtual bool IsSequenced() const { return RecordCount() >= 0; }
  virtual bool IsUniDirectional() const { return false; }

  // Bookmarks as strings. Setting an invalid one raises EDatabaseError.
  TBookmarkStr Bookmark() const;
  void SetBookmark(const TBookmarkStr& bookmark);
  bool BookmarkAvailable() const;
  virtual bool BookmarkValid(const TBookmarkStr& bookmark) const { return false; }
  // Negative, 0 or positive by the records' order; an empty bookmark comes first.
  virtual Integer CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const;

  // Searching over ";"-separated field lists; several fields take a variant array.
  virtual bool Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options);
  virtual Variant Lookup(const String& keyFields, const Variant& keyValues, const String& resultFields);

  // Fields.
  TFields* Fields() const { return fields_.get(); }
  Integer FieldCount() const { return fields_->Count(); }
  TField* FindField(const String& name) const { return fields_->FindField(name); }
  TField* FieldByName(const String& name) const { return fields_->FieldByName(name); }
  TFieldDefs* FieldDefs() const { return fieldDefs_.get(); }
  TFields* AggFields() const { return aggFields_.get(); }
  // The fields were made by the data set from its field definitions at opening.
  bool DefaultFields() const { return defaultFields_; }
  // The fields named by a ";"-separated list (EDatabaseError for an unknown name).
  void GetFieldList(std::vector<TField*>& list, const String& fieldNames) const;
  void GetFieldNames(std::vector<String>& names) const { fields_->GetFieldNames(names); }
  // Values of the fields named by a ";"-separated list: one field gives its value, several
  // a variant array.
  Variant FieldValues(const String& fieldNames) const;
  void SetFieldValues(const String& fieldNames, const Variant& value);
  // Reads a data field of the current record as the storage keeps it, without a Variant and
  // before the field's conversion: false when it cannot (a calculated or lookup field, a
  // record being edited, a storage without typed values); then read the field's Value.
  bool ReadStoredCell(const TField* field, TStoredCell& cell) const;

  // Editing.
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  // Posts a pending edit when the record was modified, else cancels it.
  void CheckBrowseMode();
  // Asks the data links to write their pending values into the fields.
  void UpdateRecord();
  // Re-reads the records around the current one.
  void Refresh();
  bool CanModify() const { return GetCanModify(); }
  bool Modified() const { return modified_; }
  void InsertRecord(const std::vector<Variant>& values);
  void AppendRecord(const std::vector<Variant>& values);

  // Filtering: OnFilterRecord and the filter text decide which records are seen.
  const String& Filter() const { return filterText_; }
  void SetFilter(const String& text);
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool value);
  TFilterOptions FilterOptions() const { return filterOptions_; }
  void SetFilterOptions(TFilterOptions value);

  // Silences the visual data links until the matching EnableControls (nested).
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ != 0; }

  // Notifies the data sources (and through them the links); see docs/ARCHITECTURE.md.
  virtual void DataEvent(TDataEvent event, NativeInt info);

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent OnNewRecord, OnCalcFields;
  TFilterRecordEvent OnFilterRecord;

  void Notification(TComponent* c, TOperation operation) override;

  struct TFilterExpr;  // a parsed filter text (DataSetFilter.cpp)

 protected:
  // --- What a storage implements -------------------------------------------------------------
  virtual void InternalOpen() = 0;      // fills FieldDefs and positions before the first record
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() const = 0;
  // Moves the cursor (gmNext, gmPrior) or reads where it is (gmCurrent) into `buf`.
  virtual TGetResult GetRecord(TRecordBuffer& buf, TGetMode mode) = 0;
  virtual void InternalFirst() = 0;     // before the first record
  virtual void InternalLast() = 0;      // after the last record
  virtual void InternalSetToRecord(const TRecordBuffer& buf) = 0;
  virtual TBookmarkStr GetBookmarkStr(const TRecordBuffer& buf) const = 0;
  virtual void InternalGotoBookmark(const TBookmarkStr& bookmark) = 0;
  // A data value (field number from 1) of a record that is not being edited.
  virtual Variant GetStoredValue(const TRecordBuffer& buf, Integer fieldNo) const = 0;
  // The same as a typed cell; false when the storage keeps no typed value for it.
  virtual bool GetStoredCell(const TRecordBuffer& buf, Integer fieldNo, TStoredCell& cell) const { return false; }
  virtual void InternalEdit() {}
  virtual void InternalInitRecord(TRecordBuffer& buf);
  virtual void InternalPost() = 0;      // writes the active buffer (dsEdit or dsInsert)
  virtual void InternalDelete() = 0;
  virtual void InternalCancel() {}
  virtual bool GetCanModify() const { return true; }
  // The filter changed: the storage re-evaluates which records it shows.
  virtual void FilterChanged() {}

  // --- For storages ------------------------------------------------------------------------
  TRecordBuffer* ActiveBuffer() const;
  // The record that is being read: the calc or filter buffer in those states, else the
  // active buffer (nullptr when there is none).
  TRecordBuffer* ReadBuffer() const;
  // Whether a record passes OnFilterRecord and the filter text (only when Filtered).
  bool RecordAccepted(TRecordBuffer& buf);
  // Re-reads the window around the current record. With `positioned` the storage cursor
  // already stands on the record to show (after a bookmark or locate); `center` puts it in
  // the middle of the window.
  void Resync(bool positioned, bool center);
  void CheckActive() const;
  void CheckBrowseModeOnly() const;
  Integer DataFieldCount() const { return dataFieldCount_; }

 private:
  friend class TField;
  friend class TDataLink;
  friend class TDataSource;

  void SetState(TDataSetState value);
  void OpenCursor();
  void CloseCursor();
  void CreateFields();
  void BindFields(bool binding);
  void DestroyDefaultFields();
  void ClearBuffers();
  bool Fetch(TRecordBuffer& buf, TGetMode mode);
  bool GetNextRecord();
  bool GetPriorRecord();
  Integer GetNextRecords();
  Integer GetPriorRecords();
  void SetBufferCount(Integer count);
  void UpdateBufferCount();
  void ShiftLinks(Integer delta);
  void UpdateCursorPos();
  void CalculateFields(TRecordBuffer& buf);
  void BeginInsertAppend();
  void EndInsertAppend();
  void DoEvent(const TDataSetNotifyEvent& e) { if (e) e(this); }
  bool GetFieldValue(const TField* field, Variant& value) const;
  void SetFieldValue(TField* field, const Variant& value);
  void AddDataSource(TDataSource* ds);
  void RemoveDataSource(TDataSource* ds);
  std::vector<TDataLink*> AllLinks() const;
  bool EvaluateFilterText(TRecordBuffer& buf);

  TDataSetState state_ = dsInactive;
  TDataSetState savedState_ = dsInactive;  // while a temporary state (calc, filter) runs
  bool bof_ = true;
  bool eof_ = true;
  bool modified_ = false;
  bool defaultFields_ = false;
  Integer dataFieldCount_ = 0;
  Integer calcFieldCount_ = 0;
  std::unique_ptr<TFields> fields_;
  std::unique_ptr<TFields> aggFields_;
  std::unique_ptr<TFieldDefs> fieldDefs_;
  std::vector<TDataSource*> dataSources_;

  std::vector<TRecordBuffer> buffers_;
  Integer bufferCount_ = 1;
  Integer recordCount_ = 0;
  Integer activeRecord_ = 0;
  Integer currentRecord_ = -1;  // the buffer the storage cursor stands on
  TRecordBuffer* tempBuffer_ = nullptr;  // the record read in dsCalcFields or dsFilter

  Integer disableCount_ = 0;
  TDataSetState disableState_ = dsInactive;
  TDataEvent enableEvent_ = deDataSetChange;

  String filterText_;
  bool filtered_ = false;
  TFilterOptions filterOptions_;
  std::shared_ptr<TFilterExpr> filterExpr_;
};

// ---------------------------------------------------------------------------------------------
// Data source: the bridge between one data set and its data links.

using TDataChangeEvent = std::function<void(TDataSource* sender, TField* field)>;

class TDataSource : public TComponent {
  KORVAN_CLASS(TDataSource, TComponent)

 public:
  explicit TDataSource(TComponent* owner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool v) { autoEdit_ = v; }
  // The data set's state as the links see it (dsInactive while disabled or without data set).
  TDataSetState State() const { return state_; }
  // Puts the data set into edit state when AutoEdit allows it.
  void Edit();
  Integer DataLinkCount() const { return Integer(links_.size()); }
  TDataLink* DataLinks(Integer i) const { return links_[std::size_t(i)]; }

  TDataChangeEvent OnDataChange;
  TNotifyEvent OnStateChange;
  TNotifyEvent OnUpdateData;

  void Notification(TComponent* c, TOperation operation) override;

 private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent event, NativeInt info);
  void NotifyDataLinks(TDataEvent event, NativeInt info, bool visualToo);
  void SetState(TDataSetState value);
  void UpdateState();
  void AddDataLink(TDataLink* link);
  void RemoveDataLink(TDataLink* link);

  TDataSet* dataSet_ = nullptr;
  bool enabled_ = true;
  bool autoEdit_ = true;
  TDataSetState state_ = dsInactive;
  std::vector<TDataLink*> links_;
};

// ---------------------------------------------------------------------------------------------
// Data link: how a control follows a data set. A link sees a window of BufferCount records of
// the data set's buffers; ActiveRecord is the current record's row in that window.

class TDataLink : public TPersistent {
  KORVAN_CLASS(TDataLink, TPersistent)

 public:
  TDataLink();
  ~TDataLink() override;

  TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* ds);
  TDataSet* DataSet() const;
  bool Active() const { return active_; }
  bool Editing() const { return editing_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  // A visual link is silenced by DisableControls; others go on hearing every event.
  bool VisualControl() const { return visualControl_; }
  void SetVisualControl(bool v) { visualControl_ = v; }

  Integer ActiveRecord() const;
  // Makes another record of the window current for reading its fields (no events).
  void SetActiveRecord(Integer value);
  Integer BufferCount() const { return bufferCount_; }
  void SetBufferCount(Integer value);
  // Records in the window (at most BufferCount).
  Integer RecordCount() const;

  // Puts the data set into edit state (unless read-only); answers Editing.
  bool Edit();
  // Writes the control's pending value (UpdateData), guarded against re-entry.
  void UpdateRecord();
  virtual bool ExecuteAction(TObject* action) { return false; }
  virtual bool UpdateAction(TObject* action) { return false; }

  // The data source's entry point; descendants may extend it.
  virtual void DataEvent(TDataEvent event, NativeInt info);

 protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(Integer distance) { DataSetChanged(); }
  virtual void EditingChanged() {}
  virtual void FocusControl(TField** field) {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* field) {}
  virtual void UpdateData() {}

 private:
  friend class TDataSet;
  friend class TDataSource;
  void UpdateState();
  void SetActive(bool v);
  void SetEditing(bool v);
  void UpdateRange();

  TDataSource* dataSource_ = nullptr;
  bool active_ = false;
  bool editing_ = false;
  bool readOnly_ = false;
  bool updating_ = false;
  bool visualControl_ = false;
  Integer bufferCount_ = 1;
  Integer firstRecord_ = 0;  // the window's first row in the data set's buffers
};

// ---------------------------------------------------------------------------------------------
// Parameters of a query.

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

class TParam : public TObject {
  KORVAN_CLASS(TParam, TObject)

 public:
  TParam(const String& name, TFieldType type, TParamType paramType)
      : name_(name), dataType_(type), paramType_(paramType) {}
  const String& Name() const { return name_; }
  void SetName(const String& v) { name_ = v; }
  TFieldType DataType() const { return dataType_; }
  void SetDataType(TFieldType v) { dataType_ = v; }
  TParamType ParamType() const { return paramType_; }
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& v);
  bool IsNull() const { return VarIsNull(value_) || VarIsEmpty(value_); }
  String AsString() const { return IsNull() ? String() : VarToStr(value_); }
  void SetAsString(const String& v) { value_ = v; if (dataType_ == ftUnknown) dataType_ = ftString; }
  Integer AsInteger() const { return IsNull() ? 0 : value_.AsInteger(); }
  void SetAsInteger(Integer v) { value_ = v; if (dataType_ == ftUnknown) dataType_ = ftInteger; }
  void Clear() { value_ = Null(); }

 private:
  String name_;
  TFieldType dataType_;
  TParamType paramType_;
  Variant value_ = Null();
};

class TParams : public TPersistent {
  KORVAN_CLASS(TParams, TPersistent)

 public:
  TParam* CreateParam(TFieldType type, const String& name, TParamType paramType);
  Integer Count() const { return Integer(items_.size()); }
  TParam* Items(Integer i) const;
  TParam* FindParam(const String& name) const;  // case-insensitive
  TParam* ParamByName(const String& name) const; // EDatabaseError "Parameter 'X' not found"
  void Clear() { items_.clear(); }
  // Values of the parameters named by a ";"-separated list (a variant array for several).
  Variant ParamValues(const String& names) const;
  void SetParamValues(const String& names, const Variant& value);
  void Assign(TPersistent* source) override;

 private:
  std::vector<std::unique_ptr<TParam>> items_;
};

// Splits a ";"-separated field list the way data sets do: each name trimmed, an empty part
// an empty name, an empty text no names.
std::vector<String> SplitFieldNames(const String& names);

// Registers the classes of this unit by name (data source, field classes) for form
// descriptions; called by the units that use it.
void InitializeDB();

// Raises EDatabaseError with `message`, naming the component when it has a name
// ("Name: message").
[[noreturn]] void DatabaseError(const String& message, const TComponent* component = nullptr);
