// Filters: operators that test a record's value against a condition's value, the criteria
// tree of groups and conditions with its evaluation, its display text and filter text, its
// change notification and its binary stream (versions 1 to 3), and the filter value list
// behind a column's filter drop-down.
//
// Descendants (the data controller's criteria, the data-set criteria) supply what the base
// leaves open: how a condition's item link maps to an ID and a name and back
// (GetIDByItemLink, GetNameByItemLink, GetItemLinkByID, GetItemLinkByName on the criteria)
// and how a condition reads a record's value and names its field (GetDataValue,
// GetFieldCaption, GetFieldName on a TcxFilterCriteriaItem descendant returned through
// GetItemClass). The base versions raise EAbstractError.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "data/cxVariants.h"
#include "rtl/TypInfo.h"

KORVAN_EXCEPTION(EcxFilterError, Exception);

enum TcxFilterOperatorKind : Byte {
  foEqual, foNotEqual, foLess, foLessEqual, foGreater, foGreaterEqual, foLike, foNotLike, foBetween,
  foNotBetween, foInList, foNotInList, foYesterday, foToday, foTomorrow, foLast7Days, foLastWeek,
  foLast14Days, foLastTwoWeeks, foLast30Days, foLastMonth, foLastYear, foInPast, foThisWeek, foThisMonth,
  foThisYear, foNext7Days, foNextWeek, foNext14Days, foNextTwoWeeks, foNext30Days, foNextMonth, foNextYear,
  foInFuture, foIsNull, foIsNotNull
};
constexpr int cxFilterOperatorKindCount = 36;

enum TcxFilterBoolOperatorKind : Byte { fboAnd, fboOr, fboNotAnd, fboNotOr };

// Bit i of the stored option byte is option i.
enum TcxFilterCriteriaOption { fcoCaseInsensitive, fcoShowOperatorDescription, fcoSoftNull, fcoSoftCompare, fcoIgnoreNull };
using TcxFilterCriteriaOptions = TSet<TcxFilterCriteriaOption, 8>;
// Type information of the published Options property.
PTypeInfo FilterCriteriaOptionsTypeInfo();

class TcxFilterCriteria;
class TcxFilterCriteriaItem;
class TcxFilterCriteriaItemList;
class TcxFilterValueList;

// Whether the last/next N days ranges include today (default true).
extern bool cxFilterNDaysIncludeToday;

// ---------------------------------------------------------------------------------------------
// Operators. An operator belongs to one condition (which owns it). Operator classes are TClass
// values whose virtual constructor takes the condition.

class TcxFilterOperator : public TObject {
  KORVAN_CLASS(TcxFilterOperator, TObject)

 public:
  using CreateArgType = TcxFilterCriteriaItem*;
  explicit TcxFilterOperator(TcxFilterCriteriaItem* condition) : condition_(condition) {}

  // The filter text of the condition when the plain "field op value" form does not do.
  virtual void CompoundFilterText(const Variant& v, String& s) { GetDisplayText(v, s); }
  // The text of a value inside the filter text ('text', 'date', NULL, numbers).
  virtual void GetDisplayText(const Variant& v, String& s);
  // Turns the condition's display value into the value shown in the display text.
  virtual void AdjustDisplayValue(String& s) {}
  virtual void RecalculateDates() {}
  virtual bool ListValueText(const Variant& v, String& s) { return false; }
  virtual bool IsSatisfied(const Variant& v, const Variant& w);
  virtual void GetDescription(String& s) { GetExpression(s); }
  virtual void GetExpression(String& s);
  virtual bool AlwaysDescribed() { return false; }
  virtual bool NeedsCompoundFilterText() { return false; }
  virtual bool TestsNull() { return false; }

  String Description() {
    String s;
    GetDescription(s);
    return s;
  }
  String Expression() {
    String s;
    GetExpression(s);
    return s;
  }
  TcxFilterCriteriaItem* Condition() const { return condition_; }
  TcxFilterCriteria* Criteria() const;

 protected:
  // The field name, its i-th ";"-separated entry (trimmed), and the value text of an element.
  String FieldName() const;
  String ElementText(const Variant& w, int i);

 private:
  TcxFilterCriteriaItem* condition_;
};
using TcxFilterOperatorClass = TClass;

#define CX_FILTER_OPERATOR(TThis, TBase) \
  KORVAN_CLASS(TThis, TBase)             \
                                         \
 public:                                 \
  using TBase::TBase;

class TcxFilterEqualOperator : public TcxFilterOperator {
  CX_FILTER_OPERATOR(TcxFilterEqualOperator, TcxFilterOperator)
  void CompoundFilterText(const Variant& v, String& s) override;
  bool IsSatisfied(const Variant& v, const Variant& w) override;
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = "="; }
  bool NeedsCompoundFilterText() override;
};

class TcxFilterNotEqualOperator : public TcxFilterEqualOperator {
  CX_FILTER_OPERATOR(TcxFilterNotEqualOperator, TcxFilterEqualOperator)
  void CompoundFilterText(const Variant& v, String& s) override;
  bool IsSatisfied(const Variant& v, const Variant& w) override { return !TcxFilterEqualOperator::IsSatisfied(v, w); }
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = "<>"; }
};

class TcxFilterNullOperator : public TcxFilterEqualOperator {
  CX_FILTER_OPERATOR(TcxFilterNullOperator, TcxFilterEqualOperator)
  void AdjustDisplayValue(String& s) override;
  bool IsSatisfied(const Variant& v, const Variant& w) override;
  void GetDescription(String& s) override;
  bool TestsNull() override { return true; }
};

class TcxFilterNotNullOperator : public TcxFilterNullOperator {
  CX_FILTER_OPERATOR(TcxFilterNotNullOperator, TcxFilterNullOperator)
  bool IsSatisfied(const Variant& v, const Variant& w) override { return !TcxFilterNullOperator::IsSatisfied(v, w); }
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = "<>"; }
};

class TcxFilterLessOperator : public TcxFilterOperator {
  CX_FILTER_OPERATOR(TcxFilterLessOperator, TcxFilterOperator)
  bool IsSatisfied(const Variant& v, const Variant& w) override { return CompareVariantValues(v, w) < 0; }
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = "<"; }
};

class TcxFilterLessEqualOperator : public TcxFilterOperator {
  CX_FILTER_OPERATOR(TcxFilterLessEqualOperator, TcxFilterOperator)
  bool IsSatisfied(const Variant& v, const Variant& w) override { return CompareVariantValues(v, w) <= 0; }
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = "<="; }
};

class TcxFilterGreaterOperator : public TcxFilterOperator {
  CX_FILTER_OPERATOR(TcxFilterGreaterOperator, TcxFilterOperator)
  bool IsSatisfied(const Variant& v, const Variant& w) override { return CompareVariantValues(v, w) > 0; }
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = ">"; }
};

class TcxFilterGreaterEqualOperator : public TcxFilterOperator {
  CX_FILTER_OPERATOR(TcxFilterGreaterEqualOperator, TcxFilterOperator)
  bool IsSatisfied(const Variant& v, const Variant& w) override { return CompareVariantValues(v, w) >= 0; }
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = ">="; }
};

class TcxFilterLikeOperator : public TcxFilterOperator {
  CX_FILTER_OPERATOR(TcxFilterLikeOperator, TcxFilterOperator)
  void AdjustDisplayValue(String& s) override;
  bool IsSatisfied(const Variant& v, const Variant& w) override;
  // "like", "begins with", "ends with" or "contains" by the wildcards at the value's ends.
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = "LIKE"; }
};

class TcxFilterNotLikeOperator : public TcxFilterLikeOperator {
  CX_FILTER_OPERATOR(TcxFilterNotLikeOperator, TcxFilterLikeOperator)
  void CompoundFilterText(const Variant& v, String& s) override;
  bool IsSatisfied(const Variant& v, const Variant& w) override { return !TcxFilterLikeOperator::IsSatisfied(v, w); }
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = "NOT LIKE"; }
  bool NeedsCompoundFilterText() override;
};

// The condition's value is an array [low, high]; any other value satisfies nothing.
class TcxFilterBetweenOperator : public TcxFilterOperator {
  CX_FILTER_OPERATOR(TcxFilterBetweenOperator, TcxFilterOperator)
  void CompoundFilterText(const Variant& v, String& s) override;
  void AdjustDisplayValue(String& s) override;
  bool ListValueText(const Variant& v, String& s) override;
  bool IsSatisfied(const Variant& v, const Variant& w) override;
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = "BETWEEN"; }
  bool AlwaysDescribed() override { return true; }
  bool NeedsCompoundFilterText() override;
};

class TcxFilterNotBetweenOperator : public TcxFilterBetweenOperator {
  CX_FILTER_OPERATOR(TcxFilterNotBetweenOperator, TcxFilterBetweenOperator)
  void CompoundFilterText(const Variant& v, String& s) override;
  bool IsSatisfied(const Variant& v, const Variant& w) override;
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = "NOT BETWEEN"; }
};

// The condition's value is an array of the listed values; a single value counts as a list of
// one.
class TcxFilterInListOperator : public TcxFilterOperator {
  CX_FILTER_OPERATOR(TcxFilterInListOperator, TcxFilterOperator)
  void CompoundFilterText(const Variant& v, String& s) override;
  void AdjustDisplayValue(String& s) override;
  bool ListValueText(const Variant& v, String& s) override;
  bool IsSatisfied(const Variant& v, const Variant& w) override;
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = "IN"; }
  bool AlwaysDescribed() override { return true; }
  bool NeedsCompoundFilterText() override;
};

class TcxFilterNotInListOperator : public TcxFilterInListOperator {
  CX_FILTER_OPERATOR(TcxFilterNotInListOperator, TcxFilterInListOperator)
  void CompoundFilterText(const Variant& v, String& s) override;
  bool IsSatisfied(const Variant& v, const Variant& w) override { return !TcxFilterInListOperator::IsSatisfied(v, w); }
  void GetDescription(String& s) override;
  void GetExpression(String& s) override { s = "NOT IN"; }
};

// Date ranges relative to today (Clock().Now()): start inclusive, end exclusive, 0 = no
// bound. Until RecalculateDates runs both bounds are 0.
class TcxFilterDateOperator : public TcxFilterOperator {
  CX_FILTER_OPERATOR(TcxFilterDateOperator, TcxFilterOperator)
  void CompoundFilterText(const Variant& v, String& s) override;
  void AdjustDisplayValue(String& s) override { s.clear(); }
  void RecalculateDates() override;
  bool IsSatisfied(const Variant& v, const Variant& w) override;
  void GetExpression(String& s) override { GetDescription(s); }
  bool NeedsCompoundFilterText() override { return true; }
  double Start() const { return start_; }
  double End() const { return end_; }

 protected:
  // The range for `today` (a whole day number).
  virtual void GetRange(double today, double& start, double& end) {}
  double start_ = 0;
  double end_ = 0;
};

#define CX_DATE_OPERATOR(TThis, TBase)                       \
  class TThis : public TBase {                               \
    CX_FILTER_OPERATOR(TThis, TBase)                         \
    void GetDescription(String& s) override;                 \
                                                             \
   protected:                                                \
    void GetRange(double today, double& start, double& end) override; \
  };

CX_DATE_OPERATOR(TcxFilterYesterdayOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterTodayOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterTomorrowOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterLastWeekOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterLastTwoWeeksOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterLastMonthOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterLastYearOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterInPastOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterThisWeekOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterThisMonthOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterThisYearOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterNextWeekOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterNextTwoWeeksOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterNextMonthOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterNextYearOperator, TcxFilterDateOperator)
CX_DATE_OPERATOR(TcxFilterInFutureOperator, TcxFilterDateOperator)

class TcxFilterLastNDaysOperator : public TcxFilterDateOperator {
  CX_FILTER_OPERATOR(TcxFilterLastNDaysOperator, TcxFilterDateOperator)
  virtual int DayCount();

 protected:
  void GetRange(double today, double& start, double& end) override;
};

class TcxFilterNextNDaysOperator : public TcxFilterDateOperator {
  CX_FILTER_OPERATOR(TcxFilterNextNDaysOperator, TcxFilterDateOperator)
  virtual int DayCount();

 protected:
  void GetRange(double today, double& start, double& end) override;
};

#define CX_NDAYS_OPERATOR(TThis, TBase, N)   \
  class TThis : public TBase {               \
    CX_FILTER_OPERATOR(TThis, TBase)         \
    int DayCount() override { return N; }    \
    void GetDescription(String& s) override; \
  };

CX_NDAYS_OPERATOR(TcxFilterLast7DaysOperator, TcxFilterLastNDaysOperator, 7)
CX_NDAYS_OPERATOR(TcxFilterLast14DaysOperator, TcxFilterLastNDaysOperator, 14)
CX_NDAYS_OPERATOR(TcxFilterLast30DaysOperator, TcxFilterLastNDaysOperator, 30)
CX_NDAYS_OPERATOR(TcxFilterNext7DaysOperator, TcxFilterNextNDaysOperator, 7)
CX_NDAYS_OPERATOR(TcxFilterNext14DaysOperator, TcxFilterNextNDaysOperator, 14)
CX_NDAYS_OPERATOR(TcxFilterNext30DaysOperator, TcxFilterNextNDaysOperator, 30)

// The operator class of a kind; raises EcxFilterError for a kind outside 0..35.
TcxFilterOperatorClass GetFilterOperatorClass(int kind);

// ---------------------------------------------------------------------------------------------
// Helpers of operators and display texts.

void CollapseDoubledWildcards(String& s, char wildcard);
// Strips a leading (counts 2) and a trailing (counts 1) wildcard after collapsing doubled
// ones; 0 for texts shorter than 2 characters.
int WildcardEnds(String& s, char wildcard);
// The word "blank" for null, else the value's text.
String FilterValueDisplayText(const Variant& v);
// From the 1-based position up to the next ';' or the end, trimmed; moves past the ';'.
bool NextFilterListToken(const String& text, int& position, String& token);
void FilterTextToPair(const String& text, Variant& v);
// An array of the tokens; an empty text leaves `v` the empty string.
void FilterTextToList(const String& text, Variant& v);
String PairDisplayText(const Variant& v);
String ListDisplayText(const Variant& v);

// ---------------------------------------------------------------------------------------------
// The criteria tree.

// A test of one condition against a record's value read in place, made for one pass over many
// records (see TcxFilterCriteria::BeginRecordPass).
class TcxFilterValueTest {
 public:
  virtual ~TcxFilterValueTest() = default;
  // 1 when the record satisfies the condition, 0 when not; -1 when the record's value takes the
  // general route (a null, a record the test does not read).
  virtual int Test(Pointer data) = 0;
};

class TcxCustomFilterCriteriaItem : public TObject {
 public:
  explicit TcxCustomFilterCriteriaItem(TcxFilterCriteriaItemList* parent) : parent_(parent) {}
  // Leaves the parent group.
  ~TcxCustomFilterCriteriaItem() override;

  virtual void Changed();
  virtual TcxFilterCriteria* GetCriteria() const;
  virtual bool IsItemList() const = 0;
  // Writes the is-list byte; descendants add their fields.
  virtual void WriteData(TStream& s);

  TcxFilterCriteriaItemList* Parent() const { return parent_; }
  TcxFilterCriteria* Criteria() const { return GetCriteria(); }

 private:
  friend class TcxFilterCriteriaItemList;
  friend class TcxFilterCriteria;
  TcxFilterCriteriaItemList* parent_;
};

class TcxFilterCriteriaItemList : public TcxCustomFilterCriteriaItem {
 public:
  TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* parent, TcxFilterBoolOperatorKind boolOperator)
      : TcxCustomFilterCriteriaItem(parent), boolOperator_(boolOperator) {}
  ~TcxFilterCriteriaItemList() override;

  TcxFilterCriteria* GetCriteria() const override;
  bool IsItemList() const override { return true; }
  void WriteData(TStream& s) override;
  // Removes `item` from the children (without freeing it); reports a change when it was there.
  virtual void RemoveChild(TcxCustomFilterCriteriaItem* item);

  TcxFilterCriteriaItem* AddItem(TObject* itemLink, TcxFilterOperatorKind kind, const Variant& value,
                                 const String& displayValue);
  TcxFilterCriteriaItemList* AddItemList(TcxFilterBoolOperatorKind boolOperator);
  void ChangeBoolOperator(TcxFilterBoolOperatorKind value);
  void FreeChildren();
  int ItemCount() const { return int(children_.size()); }
  TcxCustomFilterCriteriaItem* Items(int i) const { return children_.at(std::size_t(i)); }
  TcxCustomFilterCriteriaItem* ItemOrNil(int i) const;
  TcxFilterBoolOperatorKind BoolOperatorKind() const { return boolOperator_; }
  bool IsNegated() const { return boolOperator_ == fboNotAnd || boolOperator_ == fboNotOr; }

 private:
  friend class TcxFilterCriteria;
  TcxFilterBoolOperatorKind boolOperator_;
  TcxFilterCriteria* criteria_ = nullptr;  // the root only
  std::vector<TcxCustomFilterCriteriaItem*> children_;
};

class TcxFilterCriteriaItem : public TcxCustomFilterCriteriaItem {
 public:
  TcxFilterCriteriaItem(TcxFilterCriteriaItemList* parent, TObject* itemLink, TcxFilterOperatorKind kind,
                        const Variant& value, const String& displayValue);
  ~TcxFilterCriteriaItem() override;

  bool IsItemList() const override { return false; }
  void WriteData(TStream& s) override;

  // The tested field's value in a record (descendants).
  virtual void GetDataValue(Pointer data, Variant& v);
  virtual void GetDisplayValueText(String& s);
  virtual void GetValueText(bool display, String& s);
  virtual void GetFieldCaption(String& s);
  virtual void GetFieldName(String& s);
  virtual TcxFilterOperatorClass OperatorDisplayTextSource();
  virtual TObject* GetItemLink() const { return itemLink_; }
  virtual void RecreateOperator();
  // The criteria's null test.
  virtual bool Evaluate(const Variant& v);

  const String& DisplayValue() const { return displayValue_; }
  void SetDisplayValue(const String& value);
  TObject* ItemLink() const { return itemLink_; }
  TcxFilterOperator* Operator() const { return operator_.get(); }
  TcxFilterOperatorKind OperatorKind() const { return operatorKind_; }
  void SetOperatorKind(TcxFilterOperatorKind value);
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& value);
  String FieldName() {
    String s;
    GetFieldName(s);
    return s;
  }

 private:
  friend class TcxFilterCriteria;
  void EndRecordPass();
  String displayValue_;
  TObject* itemLink_;
  // Set for a pass over many records: the prepared operand and the in-place test, if any.
  bool inPass_ = false;
  Variant passValue_;
  std::unique_ptr<TcxFilterValueTest> passTest_;
  std::unique_ptr<TcxFilterOperator> operator_;
  TcxFilterOperatorKind operatorKind_;
  Variant value_;
};

// A factory standing for a condition class.
using TcxFilterCriteriaItemClass = TcxFilterCriteriaItem* (*)(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                                              TcxFilterOperatorKind kind, const Variant& value,
                                                              const String& displayValue);
template <class T>
TcxFilterCriteriaItem* CreateFilterCriteriaItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                                TcxFilterOperatorKind kind, const Variant& value,
                                                const String& displayValue) {
  return new T(parent, itemLink, kind, value, displayValue);
}
using TcxFilterValueListClass = TcxFilterValueList* (*)(TcxFilterCriteria* criteria);

int VersionFromStreamID(Integer id);
Integer StreamIDFromVersion(int version);

// Published: MaxValueListCount, Options, PercentWildcard, UnderscoreWildcard, OnChanged.
class TcxFilterCriteria : public TPersistent {
  KORVAN_CLASS(TcxFilterCriteria, TPersistent)

 public:
  TcxFilterCriteria();
  ~TcxFilterCriteria() override;

  void Assign(TPersistent* source) override;

  virtual void CriteriaChanged();
  virtual void ValueToText(const Variant& v, String& s);
  virtual void DateTimeToText(const Variant& v, String& s);
  virtual void FormatFilterTextValue(TcxFilterCriteriaItem* condition, const Variant& v, String& s) {}
  virtual void FilterCaption(String& s) { GetFilterText(true, s); }
  virtual void GetFilterText(bool display, String& s);
  virtual void FilterText(String& s) { GetFilterText(false, s); }
  virtual Integer GetIDByItemLink(TObject* link);
  virtual void GetNameByItemLink(TObject* link, String& s);
  virtual TcxFilterCriteriaItemClass GetItemClass();
  virtual void ConditionText(TcxFilterCriteriaItem* condition, bool display, String& s);
  virtual void ConditionFieldText(TcxFilterCriteriaItem* condition, bool display, String& s);
  virtual void ConditionOperatorText(TcxFilterCriteriaItem* condition, bool display, String& s);
  virtual void ConditionValueText(TcxFilterCriteriaItem* condition, bool display, String& s);
  virtual TObject* GetItemLinkByID(Integer id);
  virtual TObject* GetItemLinkByName(const String& name);
  virtual TcxFilterValueListClass GetValueListClass();
  virtual void RecalculateDates();
  virtual void PrepareValue(const Variant& v, Variant& r);
  virtual void EmptyNotification() {}
  virtual void DoChanged();
  virtual void AssignEvents(TcxFilterCriteria* source);
  virtual void AssignItems(TcxFilterCriteria* source);
  virtual TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* group, TObject* itemLink,
                                         TcxFilterOperatorKind kind, const Variant& value,
                                         const String& displayValue);
  virtual void SignalChanged();
  virtual TcxFilterCriteriaItem* ItemByItemLink(TObject* link);
  virtual bool IsEmpty() const { return root_->ItemCount() == 0; }
  virtual void RestoreDefaults();
  virtual bool IsNull(const Variant& v);
  virtual void ReadData(TStream& s);
  virtual void WriteData(TStream& s, int version = 0);

  void LockChanges() { ++lockCount_; }
  void UnlockChanges();
  void UnlockChangesSilently() { --lockCount_; }
  void RemoveAllItems();
  void RemoveItemsByItemLink(TObject* link);
  void StoreToStream(TStream& s) { WriteData(s, 0); }
  bool IsSatisfiedByRecord(Pointer data);
  // Prepares every condition for a pass over many records: its operand is prepared once and,
  // where CreateValueTest supplies a test, the record's value is tested in place. Any change of
  // the criteria ends the pass.
  void BeginRecordPass();
  void EndRecordPass();
  // The general route for a record's value already read: prepared, tested for null and handed
  // to the condition's operator.
  bool IsValueSatisfying(TcxFilterCriteriaItem* condition, const Variant& v);
  bool HasData() const { return root_->BoolOperatorKind() != fboAnd || root_->ItemCount() > 0; }
  bool SameItemsAs(TcxFilterCriteria* other);
  // Convenience: the display text and the filter text.
  String FilterCaptionText() {
    String s;
    FilterCaption(s);
    return s;
  }
  String FilterTextValue() {
    String s;
    FilterText(s);
    return s;
  }

  TcxFilterCriteriaItemList* Root() const { return root_.get(); }
  const String& DateTimeFormat() const { return dateTimeFormat_; }
  void SetDateTimeFormat(const String& value);
  int LoadedVersion() const { return loadedVersion_; }
  int SavedVersion() const { return savedVersion_; }
  int LockCount() const { return lockCount_; }
  Integer MaxValueListCount() const { return maxValueListCount_; }
  void SetMaxValueListCount(Integer value) { maxValueListCount_ = value; }
  TcxFilterCriteriaOptions Options() const { return options_; }
  void SetOptions(TcxFilterCriteriaOptions value);
  char PercentWildcard() const { return percentWildcard_; }
  void SetPercentWildcard(char value);
  char UnderscoreWildcard() const { return underscoreWildcard_; }
  void SetUnderscoreWildcard(char value);
  bool SupportedLike() const { return supportedLike_; }
  void SetSupportedLike(bool value) { supportedLike_ = value; }
  bool TranslateBetween() const { return translateBetween_; }
  void SetTranslateBetween(bool value) { translateBetween_ = value; }
  bool TranslateLike() const { return translateLike_; }
  void SetTranslateLike(bool value) { translateLike_ = value; }
  bool TranslateIn() const { return translateIn_; }
  void SetTranslateIn(bool value) { translateIn_ = value; }
  int FormatVersion() const { return formatVersion_; }
  void SetFormatVersion(int value) { formatVersion_ = value; }
  bool Destroying() const { return destroying_; }

  TNotifyEvent OnChanged;

 protected:
  // A test of `condition` whose operand is `preparedValue` on the records' values in place;
  // nullptr (here) where the values are read through the condition's GetDataValue.
  virtual std::unique_ptr<TcxFilterValueTest> CreateValueTest(TcxFilterCriteriaItem* condition,
                                                              const Variant& preparedValue) {
    return nullptr;
  }

 private:
  void PrepareRecordPass(TcxFilterCriteriaItemList* group);
  void EndRecordPassIn(TcxFilterCriteriaItemList* group);
  bool EvaluateItem(TcxCustomFilterCriteriaItem* item, Pointer data);
  bool EvaluateCondition(TcxFilterCriteriaItem* condition, Pointer data);
  String GroupText(TcxFilterCriteriaItemList* group, bool display);
  void RecalculateDatesIn(TcxFilterCriteriaItemList* group);
  TcxFilterCriteriaItem* FindByLink(TcxFilterCriteriaItemList* group, TObject* link);
  // `owed`: bytes that nodes announced by the enclosing groups and not read yet still need.
  void ReadNodes(TStream& s, TcxFilterCriteriaItemList* group, Integer count, int version, int depth, Int64& owed);
  void TidyAfterRemoval(TcxFilterCriteriaItemList* group);

  bool changed_ = false;
  String dateTimeFormat_;
  int loadedVersion_ = 0;
  int lockCount_ = 0;
  Integer maxValueListCount_ = 0;
  TcxFilterCriteriaOptions options_;
  char percentWildcard_ = '%';
  std::unique_ptr<TcxFilterCriteriaItemList> root_;
  int savedVersion_ = 0;
  bool supportedLike_ = true;
  bool translateBetween_ = false;
  bool translateLike_ = false;
  bool translateIn_ = false;
  char underscoreWildcard_ = '_';
  int formatVersion_ = 2;
  bool destroying_ = false;
  bool inRecordPass_ = false;
};

// A component with one published property, Filter (not owned), through which a form writer or
// reader of the component layer streams a criteria as a component.
class TFilterWrapper : public TComponent {
  KORVAN_CLASS(TFilterWrapper, TComponent)

 public:
  explicit TFilterWrapper(TComponent* owner) : TComponent(owner) {}
  TcxFilterCriteria* Filter() const { return filter_; }
  void SetFilter(TcxFilterCriteria* value) { filter_ = value; }

 private:
  TcxFilterCriteria* filter_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The filter value list.

enum TcxFilterValueItemKind : Byte { fviAll, fviCustom, fviBlanks, fviNonBlanks, fviUser, fviValue, fviMRU, fviMRUSeparator };

struct TcxFilterValueItem {
  TcxFilterValueItemKind Kind = fviValue;
  Variant Value;
  String DisplayText;
};

class TcxFilterValueList : public TObject {
 public:
  explicit TcxFilterValueList(TcxFilterCriteria* criteria) : criteria_(criteria) {}

  virtual int CompareItem(int index, const Variant& value, const String& displayText);
  virtual void AddValue(TcxFilterValueItemKind kind, const Variant& value, const String& displayText,
                        bool unsorted = false);
  virtual void RemoveAllValues() { items_.clear(); }
  virtual bool FindValue(const Variant& value, const String& displayText, int& index);
  virtual int IndexOfCondition(TcxFilterCriteriaItem* condition);

  int ValueCount() const { return int(items_.size()); }
  TcxFilterValueItem* ValueItemAt(int index) const { return items_.at(std::size_t(index)).get(); }
  void DeleteValue(int index);
  int IndexOfKind(TcxFilterValueItemKind kind) const;
  int IndexOfKindValue(TcxFilterValueItemKind kind, const Variant& value) const;
  int RecentSeparatorIndex() const;
  int FirstValueIndex() const;
  Integer MaxCount() const { return criteria_->MaxValueListCount(); }
  TcxFilterCriteria* Criteria() const { return criteria_; }
  bool SortByDisplayText() const { return sortByDisplayText_; }
  void SetSortByDisplayText(bool value) { sortByDisplayText_ = value; }

 private:
  void InsertAt(int index, TcxFilterValueItemKind kind, const Variant& value, const String& text);
  TcxFilterCriteria* criteria_;
  std::vector<std::unique_ptr<TcxFilterValueItem>> items_;
  bool sortByDisplayText_ = false;
};
