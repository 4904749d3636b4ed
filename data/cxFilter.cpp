#include "data/cxFilter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "data/cxDataUtils.h"
#include "data/cxFilterConsts.h"
#include "data/cxLike.h"
#include "rtl/Clock.h"
#include "rtl/SysUtils.h"

bool cxFilterNDaysIncludeToday = true;

namespace {
String Res(const TcxResourceStringRec& rec) { return cxGetFilterResourceString(rec); }

// Element i of an array value, or Null when `w` has no such element.
Variant ElementOf(const Variant& w, int i) {
  if (!w.IsArray() || VarArrayDimCount(w) != 1) return Null();
  Integer lo = VarArrayLowBound(w, 1), hi = VarArrayHighBound(w, 1);
  if (lo + i > hi) return Null();
  return w.GetElement(lo + i);
}

int ElementCount(const Variant& w) {
  if (!w.IsArray() || VarArrayDimCount(w) != 1) return 0;
  return VarArrayHighBound(w, 1) - VarArrayLowBound(w, 1) + 1;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Operator classes

KORVAN_IMPLEMENT_CLASS(TcxFilterOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterEqualOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNotEqualOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNullOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNotNullOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterLessOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterLessEqualOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterGreaterOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterGreaterEqualOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterLikeOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNotLikeOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterBetweenOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNotBetweenOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterInListOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNotInListOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterDateOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterYesterdayOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterTodayOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterTomorrowOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterLastWeekOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterLastTwoWeeksOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterLastMonthOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterLastYearOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterInPastOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterThisWeekOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterThisMonthOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterThisYearOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNextWeekOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNextTwoWeeksOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNextMonthOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNextYearOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterInFutureOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterLastNDaysOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNextNDaysOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterLast7DaysOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterLast14DaysOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterLast30DaysOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNext7DaysOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNext14DaysOperator)
KORVAN_IMPLEMENT_CLASS(TcxFilterNext30DaysOperator)

TcxFilterOperatorClass GetFilterOperatorClass(int kind) {
  static const TcxFilterOperatorClass table[cxFilterOperatorKindCount] = {
      TcxFilterEqualOperator::StaticClass(),        TcxFilterNotEqualOperator::StaticClass(),
      TcxFilterLessOperator::StaticClass(),         TcxFilterLessEqualOperator::StaticClass(),
      TcxFilterGreaterOperator::StaticClass(),      TcxFilterGreaterEqualOperator::StaticClass(),
      TcxFilterLikeOperator::StaticClass(),         TcxFilterNotLikeOperator::StaticClass(),
      TcxFilterBetweenOperator::StaticClass(),      TcxFilterNotBetweenOperator::StaticClass(),
      TcxFilterInListOperator::StaticClass(),       TcxFilterNotInListOperator::StaticClass(),
      TcxFilterYesterdayOperator::StaticClass(),    TcxFilterTodayOperator::StaticClass(),
      TcxFilterTomorrowOperator::StaticClass(),     TcxFilterLast7DaysOperator::StaticClass(),
      TcxFilterLastWeekOperator::StaticClass(),     TcxFilterLast14DaysOperator::StaticClass(),
      TcxFilterLastTwoWeeksOperator::StaticClass(), TcxFilterLast30DaysOperator::StaticClass(),
      TcxFilterLastMonthOperator::StaticClass(),    TcxFilterLastYearOperator::StaticClass(),
      TcxFilterInPastOperator::StaticClass(),       TcxFilterThisWeekOperator::StaticClass(),
      TcxFilterThisMonthOperator::StaticClass(),    TcxFilterThisYearOperator::StaticClass(),
      TcxFilterNext7DaysOperator::StaticClass(),    TcxFilterNextWeekOperator::StaticClass(),
      TcxFilterNext14DaysOperator::StaticClass(),   TcxFilterNextTwoWeeksOperator::StaticClass(),
      TcxFilterNext30DaysOperator::StaticClass(),   TcxFilterNextMonthOperator::StaticClass(),
      TcxFilterNextYearOperator::StaticClass(),     TcxFilterInFutureOperator::StaticClass(),
      TcxFilterNullOperator::StaticClass(),         TcxFilterNotNullOperator::StaticClass()};
  if (kind < 0 || kind >= cxFilterOperatorKindCount)
    throw EcxFilterError("Unknown filter operator kind " + IntToStr(kind));
  return table[kind];
}

// ---------------------------------------------------------------------------------------------
// TcxFilterOperator

TcxFilterCriteria* TcxFilterOperator::Criteria() const { return condition_->GetCriteria(); }

bool TcxFilterOperator::IsSatisfied(const Variant&, const Variant&) { throw EAbstractError("Abstract error"); }
void TcxFilterOperator::GetExpression(String&) { throw EAbstractError("Abstract error"); }

String TcxFilterOperator::FieldName() const { return condition_->FieldName(); }

String TcxFilterOperator::ElementText(const Variant& w, int i) {
  String s;
  GetDisplayText(ElementOf(w, i), s);
  return s;
}

void TcxFilterOperator::GetDisplayText(const Variant& v, String& s) {
  if (ListValueText(v, s)) return;
  TcxFilterCriteria* criteria = Criteria();
  switch (v.VarType()) {
    case varNull: s = "NULL"; break;
    case varDate: {
      String t;
      criteria->DateTimeToText(v, t);
      s = "'" + t + "'";
      break;
    }
    case varString: case varOleStr: {
      s = "'";
      for (char c : v.StrRef()) {
        s += c;
        if (c == '\'') s += c;
      }
      s += "'";
      break;
    }
    case varBoolean: criteria->ValueToText(v, s); break;
    default:
      if (v.IsArray()) {
        // An array where the operator takes one value (a stream may hold one): its elements.
        s = "(";
        for (int i = 0, n = ElementCount(v); i < n; ++i) s += (i > 0 ? ", " : "") + ElementText(v, i);
        s += ")";
        return;
      }
      s = VarToStr(v);
      break;
  }
  criteria->FormatFilterTextValue(condition_, v, s);
}

// Equal and its descendants

bool TcxFilterEqualOperator::IsSatisfied(const Variant& v, const Variant& w) { return CompareVariantValues(v, w) == 0; }
void TcxFilterEqualOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorEqual); }
bool TcxFilterEqualOperator::NeedsCompoundFilterText() { return Condition()->Value().IsArray(); }

void TcxFilterEqualOperator::CompoundFilterText(const Variant& v, String& s) {
  std::vector<String> names = SplitString(FieldName(), ';');
  s.clear();
  int n = ElementCount(v);
  for (int i = 0; i < n; ++i) {
    String name = i < int(names.size()) ? Trim(names[std::size_t(i)]) : String();
    if (i > 0) s += " AND ";
    s += "(" + name + " = " + ElementText(v, i) + ")";
  }
}

void TcxFilterNotEqualOperator::CompoundFilterText(const Variant& v, String& s) {
  String inner;
  TcxFilterEqualOperator::CompoundFilterText(v, inner);
  s = "NOT (" + inner + ")";
}
void TcxFilterNotEqualOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorNotEqual); }

void TcxFilterNullOperator::AdjustDisplayValue(String& s) {
  if (Criteria()->Options().Contains(fcoShowOperatorDescription)) s.clear();
}
bool TcxFilterNullOperator::IsSatisfied(const Variant& v, const Variant&) { return Condition()->Evaluate(v); }
void TcxFilterNullOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorIsNull); }
void TcxFilterNotNullOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorIsNotNull); }

void TcxFilterLessOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorLess); }
void TcxFilterLessEqualOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorLessEqual); }
void TcxFilterGreaterOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorGreater); }
void TcxFilterGreaterEqualOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorGreaterEqual); }

// LIKE

void TcxFilterLikeOperator::AdjustDisplayValue(String& s) {
  if (Criteria()->Options().Contains(fcoShowOperatorDescription)) WildcardEnds(s, Criteria()->PercentWildcard());
}

bool TcxFilterLikeOperator::IsSatisfied(const Variant& v, const Variant& w) {
  TcxFilterCriteria* c = Criteria();
  // Strings are matched in place; other values (null: the empty text) through their text.
  String textCopy, patternCopy;
  const String* text = &textCopy;
  const String* pattern = &patternCopy;
  if (v.IsString()) text = &v.StrRef();
  else textCopy = VarToStr(v);
  if (w.IsString()) pattern = &w.StrRef();
  else patternCopy = VarToStr(w);
  return LikeMatch(*text, *pattern, c->PercentWildcard(), c->UnderscoreWildcard());
}

namespace {
int LikeShape(TcxFilterOperator* op) {
  String text = VarToStrDef(op->Condition()->Value(), "");
  return WildcardEnds(text, op->Criteria()->PercentWildcard());
}
}  // namespace

void TcxFilterLikeOperator::GetDescription(String& s) {
  switch (LikeShape(this)) {
    case 1: s = Res(cxSFilterOperatorBeginsWith); break;
    case 2: s = Res(cxSFilterOperatorEndsWith); break;
    case 3: s = Res(cxSFilterOperatorContains); break;
    default: s = Res(cxSFilterOperatorLike); break;
  }
}

void TcxFilterNotLikeOperator::GetDescription(String& s) {
  switch (LikeShape(this)) {
    case 1: s = Res(cxSFilterOperatorDoesNotBeginWith); break;
    case 2: s = Res(cxSFilterOperatorDoesNotEndWith); break;
    case 3: s = Res(cxSFilterOperatorDoesNotContain); break;
    default: s = Res(cxSFilterOperatorNotLike); break;
  }
}

bool TcxFilterNotLikeOperator::NeedsCompoundFilterText() { return Criteria()->TranslateLike(); }

void TcxFilterNotLikeOperator::CompoundFilterText(const Variant& v, String& s) {
  String t;
  GetDisplayText(v, t);
  s = " NOT (" + FieldName() + " LIKE " + t + ")";
}

// BETWEEN

void TcxFilterBetweenOperator::AdjustDisplayValue(String& s) {
  Variant pair;
  FilterTextToPair(s, pair);
  s = PairDisplayText(pair);
}

bool TcxFilterBetweenOperator::ListValueText(const Variant& v, String& s) {
  if (!v.IsArray()) return false;
  s = ElementText(v, 0) + " AND " + ElementText(v, 1);
  return true;
}

bool TcxFilterBetweenOperator::IsSatisfied(const Variant& v, const Variant& w) {
  if (ElementCount(w) < 2) return false;
  return CompareVariantValues(ElementOf(w, 0), v) <= 0 && CompareVariantValues(v, ElementOf(w, 1)) <= 0;
}

void TcxFilterBetweenOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorBetween); }
bool TcxFilterBetweenOperator::NeedsCompoundFilterText() { return Criteria()->TranslateBetween(); }

void TcxFilterBetweenOperator::CompoundFilterText(const Variant& v, String& s) {
  String f = FieldName();
  s = "(" + f + " >= " + ElementText(v, 0) + ") AND (" + f + " <= " + ElementText(v, 1) + ")";
}

bool TcxFilterNotBetweenOperator::IsSatisfied(const Variant& v, const Variant& w) {
  if (ElementCount(w) < 2) return false;
  return !TcxFilterBetweenOperator::IsSatisfied(v, w);
}
void TcxFilterNotBetweenOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorNotBetween); }
void TcxFilterNotBetweenOperator::CompoundFilterText(const Variant& v, String& s) {
  String inner;
  TcxFilterBetweenOperator::CompoundFilterText(v, inner);
  s = "NOT (" + inner + ")";
}

// IN

void TcxFilterInListOperator::AdjustDisplayValue(String& s) {
  Variant list;
  FilterTextToList(s, list);
  s = ListDisplayText(list);
}

bool TcxFilterInListOperator::ListValueText(const Variant& v, String& s) {
  if (!v.IsArray()) return false;
  s = "(";
  for (int i = 0, n = ElementCount(v); i < n; ++i) {
    if (i > 0) s += ", ";
    s += ElementText(v, i);
  }
  s += ")";
  return true;
}

namespace {
// The variant type's equality; raises its errors for values that cannot be compared.
bool VariantEquals(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull();
  return VarCompareValue(a, b) == vrEqual;
}
}  // namespace

bool TcxFilterInListOperator::IsSatisfied(const Variant& v, const Variant& w) {
  if (!w.IsArray()) return VariantEquals(v, w);
  for (int i = 0, n = ElementCount(w); i < n; ++i)
    if (VariantEquals(v, ElementOf(w, i))) return true;
  return false;
}

void TcxFilterInListOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorInList); }
bool TcxFilterInListOperator::NeedsCompoundFilterText() { return Criteria()->TranslateIn(); }

void TcxFilterInListOperator::CompoundFilterText(const Variant& v, String& s) {
  String f = FieldName();
  int n = v.IsArray() ? ElementCount(v) : 1;
  s.clear();
  for (int i = 0; i < n; ++i) {
    if (i > 0) s += " OR ";
    String t;
    if (v.IsArray()) t = ElementText(v, i);
    else GetDisplayText(v, t);
    s += "(" + f + " = " + t + ")";
  }
}

void TcxFilterNotInListOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorNotInList); }
void TcxFilterNotInListOperator::CompoundFilterText(const Variant& v, String& s) {
  String inner;
  TcxFilterInListOperator::CompoundFilterText(v, inner);
  s = "NOT (" + inner + ")";
}

// Date operators

void TcxFilterDateOperator::RecalculateDates() {
  double today = std::floor(Clock().Now());
  start_ = end_ = 0;
  GetRange(today, start_, end_);
}

bool TcxFilterDateOperator::IsSatisfied(const Variant& v, const Variant&) {
  if (Condition()->Evaluate(v)) return false;
  if (start_ != 0 && CompareVariantValues(VarFromDateTime(start_), v) > 0) return false;
  if (end_ != 0 && CompareVariantValues(v, VarFromDateTime(end_)) >= 0) return false;
  return true;
}

void TcxFilterDateOperator::CompoundFilterText(const Variant&, String& s) {
  String f = FieldName();
  s.clear();
  String t;
  if (start_ != 0) {
    GetDisplayText(VarFromDateTime(start_), t);
    s = "(" + f + " >= " + t + ")";
  }
  if (start_ != 0 && end_ != 0) s += " AND ";
  if (end_ != 0) {
    GetDisplayText(VarFromDateTime(end_), t);
    s += "(" + f + " < " + t + ")";
  }
}

namespace {
double FirstOfMonth(double day, int monthDelta) {
  Word y, m, d;
  DecodeDate(day, y, m, d);
  int months = int(y) * 12 + (int(m) - 1) + monthDelta;
  return EncodeDate(Word(months / 12), Word(months % 12 + 1), 1);
}
double FirstOfYear(double day, int yearDelta) {
  Word y, m, d;
  DecodeDate(day, y, m, d);
  return EncodeDate(Word(int(y) + yearDelta), 1, 1);
}
}  // namespace

#define CX_DATE_RANGE(TThis, Res, StartExpr, EndExpr)                              \
  void TThis::GetDescription(String& s) { s = cxGetFilterResourceString(Res); }   \
  void TThis::GetRange(double today, double& start, double& end) {                \
    double week = WeekStartOf(today);                                              \
    (void)week;                                                                    \
    start = (StartExpr);                                                           \
    end = (EndExpr);                                                               \
  }

CX_DATE_RANGE(TcxFilterYesterdayOperator, cxSFilterOperatorYesterday, today - 1, today)
CX_DATE_RANGE(TcxFilterTodayOperator, cxSFilterOperatorToday, today, today + 1)
CX_DATE_RANGE(TcxFilterTomorrowOperator, cxSFilterOperatorTomorrow, today + 1, today + 2)
CX_DATE_RANGE(TcxFilterLastWeekOperator, cxSFilterOperatorLastWeek, week - 7, week)
CX_DATE_RANGE(TcxFilterLastTwoWeeksOperator, cxSFilterOperatorLastTwoWeeks, week - 14, week)
CX_DATE_RANGE(TcxFilterLastMonthOperator, cxSFilterOperatorLastMonth, FirstOfMonth(today, -1), FirstOfMonth(today, 0))
CX_DATE_RANGE(TcxFilterLastYearOperator, cxSFilterOperatorLastYear, FirstOfYear(today, -1), FirstOfYear(today, 0))
CX_DATE_RANGE(TcxFilterInPastOperator, cxSFilterOperatorPast, 0, today)
CX_DATE_RANGE(TcxFilterThisWeekOperator, cxSFilterOperatorThisWeek, week, week + 7)
CX_DATE_RANGE(TcxFilterThisMonthOperator, cxSFilterOperatorThisMonth, FirstOfMonth(today, 0), FirstOfMonth(today, 1))
CX_DATE_RANGE(TcxFilterThisYearOperator, cxSFilterOperatorThisYear, FirstOfYear(today, 0), FirstOfYear(today, 1))
CX_DATE_RANGE(TcxFilterNextWeekOperator, cxSFilterOperatorNextWeek, week + 7, week + 14)
CX_DATE_RANGE(TcxFilterNextTwoWeeksOperator, cxSFilterOperatorNextTwoWeeks, week + 7, week + 21)
CX_DATE_RANGE(TcxFilterNextMonthOperator, cxSFilterOperatorNextMonth, FirstOfMonth(today, 1), FirstOfMonth(today, 2))
CX_DATE_RANGE(TcxFilterNextYearOperator, cxSFilterOperatorNextYear, FirstOfYear(today, 1), FirstOfYear(today, 2))
CX_DATE_RANGE(TcxFilterInFutureOperator, cxSFilterOperatorFuture, today + 1, 0)

int TcxFilterLastNDaysOperator::DayCount() { throw EAbstractError("Abstract error"); }
int TcxFilterNextNDaysOperator::DayCount() { throw EAbstractError("Abstract error"); }

void TcxFilterLastNDaysOperator::GetRange(double today, double& start, double& end) {
  end = cxFilterNDaysIncludeToday ? today + 1 : today;
  start = end - DayCount();
}

void TcxFilterNextNDaysOperator::GetRange(double today, double& start, double& end) {
  start = cxFilterNDaysIncludeToday ? today : today + 1;
  end = start + DayCount();
}

void TcxFilterLast7DaysOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorLast7Days); }
void TcxFilterLast14DaysOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorLast14Days); }
void TcxFilterLast30DaysOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorLast30Days); }
void TcxFilterNext7DaysOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorNext7Days); }
void TcxFilterNext14DaysOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorNext14Days); }
void TcxFilterNext30DaysOperator::GetDescription(String& s) { s = Res(cxSFilterOperatorNext30Days); }

// ---------------------------------------------------------------------------------------------
// Helpers

void CollapseDoubledWildcards(String& s, char wildcard) {
  const char pair[2] = {wildcard, wildcard};
  std::size_t pos;
  while ((pos = s.find(pair, 0, 2)) != String::npos) s.erase(pos, 1);
}

int WildcardEnds(String& s, char wildcard) {
  CollapseDoubledWildcards(s, wildcard);
  if (CharCount(s) < 2) return 0;
  int r = 0;
  char first = s.front(), last = s.back();
  if (first == wildcard) {
    s.erase(0, 1);
    r += 2;
  }
  if (last == wildcard) {
    s.pop_back();
    r += 1;
  }
  return r;
}

String FilterValueDisplayText(const Variant& v) {
  if (v.IsNull()) return Res(cxSFilterBlankCaption);
  return VarToStr(v);
}

bool NextFilterListToken(const String& text, int& position, String& token) {
  if (position < 1 || position > int(text.size())) {
    token.clear();
    return false;
  }
  std::size_t start = std::size_t(position - 1);
  std::size_t semi = text.find(';', start);
  std::size_t end = semi == String::npos ? text.size() : semi;
  token = Trim(text.substr(start, end - start));
  position = int(end) + 2;
  return true;
}

void FilterTextToPair(const String& text, Variant& v) {
  int pos = 1;
  String a, b;
  NextFilterListToken(text, pos, a);
  NextFilterListToken(text, pos, b);
  v = VarArrayOf({Variant(a), Variant(b)});
}

void FilterTextToList(const String& text, Variant& v) {
  if (text.empty()) {
    v = Variant(String());
    return;
  }
  std::vector<Variant> items;
  int pos = 1;
  String token;
  while (NextFilterListToken(text, pos, token)) items.push_back(Variant(token));
  v = VarArrayOf(items);
}

String PairDisplayText(const Variant& v) {
  return FilterValueDisplayText(ElementOf(v, 0)) + " " + Res(cxSFilterAndCaption) + " " +
         FilterValueDisplayText(ElementOf(v, 1));
}

String ListDisplayText(const Variant& v) {
  String s = "(";
  for (int i = 0, n = ElementCount(v); i < n; ++i) {
    if (i > 0) s += ", ";
    s += FilterValueDisplayText(ElementOf(v, i));
  }
  return s + ")";
}

// ---------------------------------------------------------------------------------------------
// Tree nodes

TcxCustomFilterCriteriaItem::~TcxCustomFilterCriteriaItem() {
  if (parent_ != nullptr) parent_->RemoveChild(this);
}

void TcxCustomFilterCriteriaItem::Changed() {
  TcxFilterCriteria* c = GetCriteria();
  if (c != nullptr && !c->Destroying()) c->SignalChanged();
}

TcxFilterCriteria* TcxCustomFilterCriteriaItem::GetCriteria() const {
  return parent_ != nullptr ? parent_->GetCriteria() : nullptr;
}

void TcxCustomFilterCriteriaItem::WriteData(TStream& s) { StreamWriteByte(s, IsItemList() ? 1 : 0); }

TcxFilterCriteriaItemList::~TcxFilterCriteriaItemList() {
  // Children leave one by one from the last, each reporting the change.
  while (!children_.empty()) delete children_.back();
}

TcxFilterCriteria* TcxFilterCriteriaItemList::GetCriteria() const {
  return criteria_ != nullptr ? criteria_ : TcxCustomFilterCriteriaItem::GetCriteria();
}

void TcxFilterCriteriaItemList::WriteData(TStream& s) {
  TcxCustomFilterCriteriaItem::WriteData(s);
  StreamWriteByte(s, boolOperator_);
  StreamWriteInt32(s, Integer(children_.size()));
  for (auto* child : children_) child->WriteData(s);
}

void TcxFilterCriteriaItemList::RemoveChild(TcxCustomFilterCriteriaItem* item) {
  auto it = std::find(children_.begin(), children_.end(), item);
  if (it == children_.end()) return;
  children_.erase(it);
  item->parent_ = nullptr;
  Changed();
}

TcxFilterCriteriaItem* TcxFilterCriteriaItemList::AddItem(TObject* itemLink, TcxFilterOperatorKind kind,
                                                          const Variant& value, const String& displayValue) {
  return GetCriteria()->AddItem(this, itemLink, kind, value, displayValue);
}

TcxFilterCriteriaItemList* TcxFilterCriteriaItemList::AddItemList(TcxFilterBoolOperatorKind boolOperator) {
  if (boolOperator > fboNotOr) throw EcxFilterError("Unknown filter group operator " + IntToStr(int(boolOperator)));
  auto* group = new TcxFilterCriteriaItemList(this, boolOperator);
  children_.push_back(group);
  Changed();
  return group;
}

void TcxFilterCriteriaItemList::ChangeBoolOperator(TcxFilterBoolOperatorKind value) {
  if (value > fboNotOr) throw EcxFilterError("Unknown filter group operator " + IntToStr(int(value)));
  if (boolOperator_ == value) return;
  boolOperator_ = value;
  Changed();
}

void TcxFilterCriteriaItemList::FreeChildren() {
  TcxFilterCriteria* c = GetCriteria();
  if (c) c->LockChanges();
  try {
    while (!children_.empty()) delete children_.back();
  } catch (...) {
    if (c) c->UnlockChanges();
    throw;
  }
  if (c) c->UnlockChanges();
}

TcxCustomFilterCriteriaItem* TcxFilterCriteriaItemList::ItemOrNil(int i) const {
  return i >= 0 && i < ItemCount() ? children_[std::size_t(i)] : nullptr;
}

TcxFilterCriteriaItem::TcxFilterCriteriaItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                             TcxFilterOperatorKind kind, const Variant& value,
                                             const String& displayValue)
    : TcxCustomFilterCriteriaItem(parent), displayValue_(displayValue), itemLink_(itemLink),
      operatorKind_(kind), value_(value) {
  GetFilterOperatorClass(kind);  // rejects an unknown kind before anything else
}

TcxFilterCriteriaItem::~TcxFilterCriteriaItem() = default;

void TcxFilterCriteriaItem::WriteData(TStream& s) {
  TcxCustomFilterCriteriaItem::WriteData(s);
  TcxFilterCriteria* c = GetCriteria();
  StreamWriteByte(s, operatorKind_);
  StreamWriteAnsiText(s, displayValue_);
  StreamWriteInt32(s, c->GetIDByItemLink(itemLink_));
  if (c->SavedVersion() >= 3) {
    String name;
    c->GetNameByItemLink(itemLink_, name);
    StreamWriteAnsiText(s, name);
  }
  WriteVariantToStream(s, value_);
}

void TcxFilterCriteriaItem::GetDataValue(Pointer, Variant&) { throw EAbstractError("Abstract error"); }
void TcxFilterCriteriaItem::GetFieldCaption(String&) { throw EAbstractError("Abstract error"); }
void TcxFilterCriteriaItem::GetFieldName(String&) { throw EAbstractError("Abstract error"); }

void TcxFilterCriteriaItem::GetDisplayValueText(String& s) {
  s = displayValue_;
  operator_->AdjustDisplayValue(s);
}

void TcxFilterCriteriaItem::GetValueText(bool display, String& s) {
  if (display) GetDisplayValueText(s);
  else operator_->GetDisplayText(value_, s);
}

TcxFilterOperatorClass TcxFilterCriteriaItem::OperatorDisplayTextSource() {
  if (Evaluate(value_)) {
    if (operatorKind_ == foEqual || operatorKind_ == foLike) return TcxFilterNullOperator::StaticClass();
    if (operatorKind_ == foNotEqual || operatorKind_ == foNotLike) return TcxFilterNotNullOperator::StaticClass();
  }
  return GetFilterOperatorClass(operatorKind_);
}

void TcxFilterCriteriaItem::RecreateOperator() {
  operator_.reset();
  operator_.reset(static_cast<TcxFilterOperator*>(OperatorDisplayTextSource()->Create(this)));
  Changed();
}

bool TcxFilterCriteriaItem::Evaluate(const Variant& v) {
  TcxFilterCriteria* c = GetCriteria();
  return c != nullptr ? c->IsNull(v) : v.IsNull();
}

void TcxFilterCriteriaItem::SetDisplayValue(const String& value) {
  if (displayValue_ == value) return;
  displayValue_ = value;
  Changed();
}

void TcxFilterCriteriaItem::SetOperatorKind(TcxFilterOperatorKind value) {
  GetFilterOperatorClass(value);
  if (operatorKind_ == value) return;
  operatorKind_ = value;
  RecreateOperator();
}

void TcxFilterCriteriaItem::SetValue(const Variant& value) {
  value_ = value;
  RecreateOperator();
}

// ---------------------------------------------------------------------------------------------
// TcxFilterCriteria

PTypeInfo FilterCriteriaOptionsTypeInfo() {
  static PTypeInfo t = SetTypeInfo(
      "TcxFilterCriteriaOptions",
      EnumTypeInfo("TcxFilterCriteriaOption", {"fcoCaseInsensitive", "fcoShowOperatorDescription", "fcoSoftNull",
                                               "fcoSoftCompare", "fcoIgnoreNull"}));
  return t;
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxFilterCriteria) {
  p.Int("MaxValueListCount", &TcxFilterCriteria::MaxValueListCount, &TcxFilterCriteria::SetMaxValueListCount)
      .Default(0);
  p.Set("Options", &TcxFilterCriteria::Options, &TcxFilterCriteria::SetOptions, FilterCriteriaOptionsTypeInfo())
      .Default(0);
  p.Char("PercentWildcard", &TcxFilterCriteria::PercentWildcard, &TcxFilterCriteria::SetPercentWildcard)
      .Default('%');
  p.Char("UnderscoreWildcard", &TcxFilterCriteria::UnderscoreWildcard, &TcxFilterCriteria::SetUnderscoreWildcard)
      .Default('_');
  p.Event("OnChanged", &TcxFilterCriteria::OnChanged);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TFilterWrapper) {
  p.Object("Filter", &TFilterWrapper::Filter, &TFilterWrapper::SetFilter, TcxFilterCriteria::StaticClass());
}

int VersionFromStreamID(Integer id) { return id == -2 ? 3 : (id == -1 ? 2 : 1); }
Integer StreamIDFromVersion(int version) { return version == 2 ? -1 : (version == 3 ? -2 : 0); }

TcxFilterCriteria::TcxFilterCriteria() {
  root_ = std::make_unique<TcxFilterCriteriaItemList>(nullptr, fboAnd);
  root_->criteria_ = this;
}

TcxFilterCriteria::~TcxFilterCriteria() {
  destroying_ = true;
  root_.reset();
}

void TcxFilterCriteria::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxFilterCriteria*>(source);
  if (src == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  LockChanges();
  try {
    dateTimeFormat_ = src->dateTimeFormat_;
    maxValueListCount_ = src->maxValueListCount_;
    SetOptions(src->options_);
    SetPercentWildcard(src->percentWildcard_);
    translateBetween_ = src->translateBetween_;
    translateLike_ = src->translateLike_;
    translateIn_ = src->translateIn_;
    supportedLike_ = src->supportedLike_;
    SetUnderscoreWildcard(src->underscoreWildcard_);
    AssignItems(src);
    AssignEvents(src);
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

void TcxFilterCriteria::CriteriaChanged() {
  if (!changed_ || lockCount_ != 0) return;
  changed_ = false;
  RecalculateDates();
  DoChanged();
}

void TcxFilterCriteria::UnlockChanges() {
  --lockCount_;
  CriteriaChanged();
}

void TcxFilterCriteria::ValueToText(const Variant& v, String& s) { s = VarToStr(v); }

void TcxFilterCriteria::DateTimeToText(const Variant& v, String& s) {
  if (dateTimeFormat_.empty()) s = VarToStr(v);
  else s = FormatDateTime(dateTimeFormat_, v.AsDateTime());
}

String TcxFilterCriteria::GroupText(TcxFilterCriteriaItemList* group, bool display) {
  String word;
  bool orGroup = group->BoolOperatorKind() == fboOr || group->BoolOperatorKind() == fboNotOr;
  if (display) word = Res(orGroup ? cxSFilterOrCaption : cxSFilterAndCaption);
  else word = orGroup ? "OR" : "AND";
  String text;
  bool any = false;
  for (int i = 0; i < group->ItemCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->Items(i);
    String part;
    if (child->IsItemList()) {
      part = GroupText(static_cast<TcxFilterCriteriaItemList*>(child), display);
      // An empty group adds nothing: neither "()" nor a joining word.
      if (part.empty()) continue;
    } else {
      ConditionText(static_cast<TcxFilterCriteriaItem*>(child), display, part);
    }
    if (any) text += " " + word + " ";
    text += "(" + part + ")";
    any = true;
  }
  if (!any) return String();
  if (group->IsNegated()) text = (display ? Res(cxSFilterNotCaption) : String("NOT")) + " (" + text + ")";
  return text;
}

void TcxFilterCriteria::GetFilterText(bool display, String& s) { s = GroupText(root_.get(), display); }

Integer TcxFilterCriteria::GetIDByItemLink(TObject*) { throw EAbstractError("Abstract error"); }
void TcxFilterCriteria::GetNameByItemLink(TObject*, String&) { throw EAbstractError("Abstract error"); }
TObject* TcxFilterCriteria::GetItemLinkByID(Integer) { throw EAbstractError("Abstract error"); }
TObject* TcxFilterCriteria::GetItemLinkByName(const String&) { throw EAbstractError("Abstract error"); }

TcxFilterCriteriaItemClass TcxFilterCriteria::GetItemClass() { return &CreateFilterCriteriaItem<TcxFilterCriteriaItem>; }

namespace {
TcxFilterValueList* CreateBaseValueList(TcxFilterCriteria* criteria) { return new TcxFilterValueList(criteria); }
}  // namespace

TcxFilterValueListClass TcxFilterCriteria::GetValueListClass() { return &CreateBaseValueList; }

void TcxFilterCriteria::ConditionText(TcxFilterCriteriaItem* condition, bool display, String& s) {
  if (!display && condition->Operator()->NeedsCompoundFilterText()) {
    condition->Operator()->CompoundFilterText(condition->Value(), s);
    return;
  }
  String field, op, value;
  ConditionFieldText(condition, display, field);
  ConditionOperatorText(condition, display, op);
  ConditionValueText(condition, display, value);
  s = field + " " + op;
  if (!value.empty()) s += " " + value;
}

void TcxFilterCriteria::ConditionFieldText(TcxFilterCriteriaItem* condition, bool display, String& s) {
  if (display) condition->GetFieldCaption(s);
  else condition->GetFieldName(s);
}

void TcxFilterCriteria::ConditionOperatorText(TcxFilterCriteriaItem* condition, bool display, String& s) {
  TcxFilterOperator* op = condition->Operator();
  if (display && (op->AlwaysDescribed() || options_.Contains(fcoShowOperatorDescription))) op->GetDescription(s);
  else op->GetExpression(s);
}

void TcxFilterCriteria::ConditionValueText(TcxFilterCriteriaItem* condition, bool display, String& s) {
  condition->GetValueText(display, s);
}

void TcxFilterCriteria::RecalculateDatesIn(TcxFilterCriteriaItemList* group) {
  for (int i = 0; i < group->ItemCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->Items(i);
    if (child->IsItemList()) RecalculateDatesIn(static_cast<TcxFilterCriteriaItemList*>(child));
    else static_cast<TcxFilterCriteriaItem*>(child)->Operator()->RecalculateDates();
  }
}

void TcxFilterCriteria::RecalculateDates() { RecalculateDatesIn(root_.get()); }

void TcxFilterCriteria::PrepareValue(const Variant& v, Variant& r) {
  switch (v.VarType()) {
    case varCurrency: r = v.AsDouble(); return;
    case varString: case varOleStr:
      if (options_.Contains(fcoCaseInsensitive)) r = Variant(AnsiUpperCase(v.StrRef()));
      else r = v;
      return;
    default: break;
  }
  if (v.IsArray() && VarArrayDimCount(v) == 1) {
    Variant a = v;
    for (Integer i = VarArrayLowBound(v, 1), hi = VarArrayHighBound(v, 1); i <= hi; ++i) {
      Variant e;
      PrepareValue(v.GetElement(i), e);
      a.PutElement(i, e);
    }
    r = std::move(a);
    return;
  }
  r = v;
}

void TcxFilterCriteria::DoChanged() {
  if (OnChanged) OnChanged(this);
}

void TcxFilterCriteria::AssignEvents(TcxFilterCriteria* source) { OnChanged = source->OnChanged; }

void TcxFilterCriteria::AssignItems(TcxFilterCriteria* source) {
  if (SameItemsAs(source)) return;
  LockChanges();
  try {
    RemoveAllItems();
    TMemoryStream m;
    source->WriteData(m, formatVersion_);
    m.SetPosition(0);
    ReadData(m);
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

TcxFilterCriteriaItem* TcxFilterCriteria::AddItem(TcxFilterCriteriaItemList* group, TObject* itemLink,
                                                  TcxFilterOperatorKind kind, const Variant& value,
                                                  const String& displayValue) {
  if (group == nullptr) group = root_.get();
  LockChanges();
  TcxFilterCriteriaItem* item = nullptr;
  try {
    item = GetItemClass()(group, itemLink, kind, value, displayValue);
    group->children_.push_back(item);
    item->RecreateOperator();
    if (item->DisplayValue().empty() &&
        (item->Operator()->InheritsFrom(TcxFilterNullOperator::StaticClass())))
      item->displayValue_ = Res(cxSFilterBlankCaption);
    item->Changed();
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
  return item;
}

void TcxFilterCriteria::SignalChanged() {
  if (inRecordPass_) EndRecordPass();
  changed_ = true;
  CriteriaChanged();
}

TcxFilterCriteriaItem* TcxFilterCriteria::FindByLink(TcxFilterCriteriaItemList* group, TObject* link) {
  for (int i = 0; i < group->ItemCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->Items(i);
    if (child->IsItemList()) {
      if (auto* found = FindByLink(static_cast<TcxFilterCriteriaItemList*>(child), link)) return found;
    } else if (static_cast<TcxFilterCriteriaItem*>(child)->GetItemLink() == link) {
      return static_cast<TcxFilterCriteriaItem*>(child);
    }
  }
  return nullptr;
}

TcxFilterCriteriaItem* TcxFilterCriteria::ItemByItemLink(TObject* link) { return FindByLink(root_.get(), link); }

void TcxFilterCriteria::RestoreDefaults() {
  LockChanges();
  SetOptions({});
  SetPercentWildcard('%');
  supportedLike_ = true;
  translateBetween_ = translateLike_ = translateIn_ = false;
  SetUnderscoreWildcard('_');
  UnlockChanges();
}

bool TcxFilterCriteria::IsNull(const Variant& v) {
  if (options_.Contains(fcoSoftNull)) return IsVariantNullOrEmptyText(v);
  return v.IsNull();
}

void TcxFilterCriteria::RemoveAllItems() {
  LockChanges();
  try {
    root_->FreeChildren();
    root_->ChangeBoolOperator(fboAnd);
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

void TcxFilterCriteria::TidyAfterRemoval(TcxFilterCriteriaItemList* group) {
  while (group != root_.get() && group->ItemCount() == 0) {
    TcxFilterCriteriaItemList* parent = group->Parent();
    delete group;
    group = parent;
  }
  if (group == root_.get() || group->ItemCount() != 1) return;
  // A group of one: the child takes the group's place at the end of the grandparent. A
  // negated group stays, so that the negation of what remains is kept.
  if (group->IsNegated()) return;
  TcxFilterCriteriaItemList* grand = group->Parent();
  TcxCustomFilterCriteriaItem* child = group->children_.front();
  group->children_.clear();
  child->parent_ = grand;
  grand->children_.push_back(child);
  delete group;
}

void TcxFilterCriteria::RemoveItemsByItemLink(TObject* link) {
  LockChanges();
  bool removed = false;
  try {
    while (TcxFilterCriteriaItem* item = ItemByItemLink(link)) {
      TcxFilterCriteriaItemList* parent = item->Parent();
      delete item;
      removed = true;
      TidyAfterRemoval(parent);
    }
  } catch (...) {
    UnlockChanges();
    throw;
  }
  if (removed) UnlockChanges();
  else UnlockChangesSilently();
}

void TcxFilterCriteriaItem::EndRecordPass() {
  inPass_ = false;
  passValue_ = Variant();
  passTest_.reset();
}

void TcxFilterCriteria::PrepareRecordPass(TcxFilterCriteriaItemList* group) {
  for (int i = 0; i < group->ItemCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->Items(i);
    if (child->IsItemList()) {
      PrepareRecordPass(static_cast<TcxFilterCriteriaItemList*>(child));
      continue;
    }
    auto* condition = static_cast<TcxFilterCriteriaItem*>(child);
    PrepareValue(condition->Value(), condition->passValue_);
    condition->passTest_ = CreateValueTest(condition, condition->passValue_);
    condition->inPass_ = true;
  }
}

void TcxFilterCriteria::EndRecordPassIn(TcxFilterCriteriaItemList* group) {
  for (int i = 0; i < group->ItemCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->Items(i);
    if (child->IsItemList()) EndRecordPassIn(static_cast<TcxFilterCriteriaItemList*>(child));
    else static_cast<TcxFilterCriteriaItem*>(child)->EndRecordPass();
  }
}

void TcxFilterCriteria::BeginRecordPass() {
  EndRecordPass();
  PrepareRecordPass(root_.get());
  inRecordPass_ = true;
}

void TcxFilterCriteria::EndRecordPass() {
  if (!inRecordPass_) return;
  inRecordPass_ = false;
  EndRecordPassIn(root_.get());
}

bool TcxFilterCriteria::EvaluateCondition(TcxFilterCriteriaItem* condition, Pointer data) {
  if (condition->passTest_) {
    int r = condition->passTest_->Test(data);
    if (r >= 0) return r != 0;
  }
  Variant v;
  condition->GetDataValue(data, v);
  return IsValueSatisfying(condition, v);
}

bool TcxFilterCriteria::IsValueSatisfying(TcxFilterCriteriaItem* condition, const Variant& v) {
  Variant pv, preparedHere;
  PrepareValue(v, pv);
  if (!condition->inPass_) PrepareValue(condition->Value(), preparedHere);
  const Variant& pw = condition->inPass_ ? condition->passValue_ : preparedHere;
  TcxFilterOperator* op = condition->Operator();
  if (options_.Contains(fcoIgnoreNull) && !op->TestsNull() && condition->Evaluate(pv)) return false;
  try {
    return op->IsSatisfied(pv, pw);
  } catch (const EVariantError&) {
    if (options_.Contains(fcoSoftCompare)) return false;
    throw;
  }
}

namespace {
// A group without conditions anywhere below it: it takes no part in the filter, neither in
// its text nor in its evaluation.
bool HoldsNoCondition(TcxFilterCriteriaItemList* group) {
  for (int i = 0; i < group->ItemCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->Items(i);
    if (!child->IsItemList() || !HoldsNoCondition(static_cast<TcxFilterCriteriaItemList*>(child))) return false;
  }
  return true;
}
}  // namespace

bool TcxFilterCriteria::EvaluateItem(TcxCustomFilterCriteriaItem* item, Pointer data) {
  if (!item->IsItemList()) return EvaluateCondition(static_cast<TcxFilterCriteriaItem*>(item), data);
  auto* group = static_cast<TcxFilterCriteriaItemList*>(item);
  bool result = true;
  bool first = true;
  for (int i = 0; i < group->ItemCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->Items(i);
    if (child->IsItemList() && HoldsNoCondition(static_cast<TcxFilterCriteriaItemList*>(child))) continue;
    bool a = EvaluateItem(child, data);
    switch (group->BoolOperatorKind()) {
      case fboAnd: result = first ? a : (result && a); break;
      case fboOr: result = first ? a : (result || a); break;
      case fboNotAnd: result = first ? !a : (result || !a); break;
      case fboNotOr: result = first ? !a : (result && !a); break;
    }
    first = false;
  }
  return result;
}

bool TcxFilterCriteria::IsSatisfiedByRecord(Pointer data) { return EvaluateItem(root_.get(), data); }

bool TcxFilterCriteria::SameItemsAs(TcxFilterCriteria* other) {
  TMemoryStream a, b;
  WriteData(a, other->formatVersion_);
  other->WriteData(b, formatVersion_);
  return a.Size() == b.Size() && std::memcmp(a.Memory(), b.Memory(), std::size_t(a.Size())) == 0;
}

void TcxFilterCriteria::SetDateTimeFormat(const String& value) {
  if (dateTimeFormat_ == value) return;
  dateTimeFormat_ = value;
  SignalChanged();
}

void TcxFilterCriteria::SetOptions(TcxFilterCriteriaOptions value) {
  if (options_ == value) return;
  options_ = value;
  SignalChanged();
}

void TcxFilterCriteria::SetPercentWildcard(char value) {
  if (percentWildcard_ == value) return;
  percentWildcard_ = value;
  SignalChanged();
}

void TcxFilterCriteria::SetUnderscoreWildcard(char value) {
  if (underscoreWildcard_ == value) return;
  underscoreWildcard_ = value;
  SignalChanged();
}

// ---------------------------------------------------------------------------------------------
// The filter stream

void TcxFilterCriteria::WriteData(TStream& s, int version) {
  int v = formatVersion_;
  if (version != 0) v = std::min(v, version);
  // Only versions 2 and 3 are written: a version-1 stream has no room for the root operator.
  v = std::max(2, std::min(3, v));
  savedVersion_ = v;
  StreamWriteInt32(s, StreamIDFromVersion(v));
  StreamWriteByte(s, root_->BoolOperatorKind());
  StreamWriteInt32(s, root_->ItemCount());
  for (int i = 0; i < root_->ItemCount(); ++i) root_->Items(i)->WriteData(s);
}

namespace {
constexpr int kMaxGroupDepth = 256;

// The smallest node: a group flag, its operator and a count of its own (a condition takes more).
constexpr Int64 kMinNodeBytes = 6;

void CheckCount(TStream& s, Integer count, Int64 owed) {
  if (count < 0 || owed + Int64(count) * kMinNodeBytes > s.Size() - s.Position()) throw EReadError("Stream read error");
}

TcxFilterBoolOperatorKind ReadBoolOperator(TStream& s) {
  Byte b = StreamReadByte(s);
  if (b > fboNotOr) throw EReadError("Stream read error");
  return TcxFilterBoolOperatorKind(b);
}
}  // namespace

void TcxFilterCriteria::ReadNodes(TStream& s, TcxFilterCriteriaItemList* group, Integer count, int version,
                                  int depth, Int64& owed) {
  CheckCount(s, count, owed);
  owed += Int64(count) * kMinNodeBytes;
  for (Integer i = 0; i < count; ++i) {
    owed -= kMinNodeBytes;
    if (StreamReadByte(s) != 0) {
      if (depth >= kMaxGroupDepth) throw EReadError("Stream read error");
      TcxFilterBoolOperatorKind op = ReadBoolOperator(s);
      TcxFilterCriteriaItemList* child = group->AddItemList(op);
      ReadNodes(s, child, StreamReadInt32(s), version, depth + 1, owed);
      continue;
    }
    Byte kind = StreamReadByte(s);
    if (kind >= cxFilterOperatorKindCount) throw EReadError("Stream read error");
    String display = StreamReadAnsiText(s);
    Integer id = StreamReadInt32(s);
    String name;
    if (version >= 3) name = StreamReadAnsiText(s);
    TObject* link = nullptr;
    if (!name.empty()) {
      link = GetItemLinkByName(name);
      if (link == nullptr) {
        link = GetItemLinkByID(id);
        if (link != nullptr) {
          String linkName;
          GetNameByItemLink(link, linkName);
          if (!linkName.empty()) link = nullptr;
        }
      }
    } else {
      link = GetItemLinkByID(id);
    }
    Variant value;
    ReadVariantFromStream(s, value, owed);
    if (link != nullptr) group->AddItem(link, TcxFilterOperatorKind(kind), value, display);
  }
}

void TcxFilterCriteria::ReadData(TStream& s) {
  LockChanges();
  try {
    RemoveAllItems();
    Integer id = StreamReadInt32(s);
    int version = VersionFromStreamID(id);
    loadedVersion_ = version;
    Integer count = id;
    if (version >= 2) {
      root_->ChangeBoolOperator(ReadBoolOperator(s));
      count = StreamReadInt32(s);
    }
    Int64 owed = 0;
    ReadNodes(s, root_.get(), count, version, 0, owed);
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

// ---------------------------------------------------------------------------------------------
// TcxFilterValueList

int TcxFilterValueList::CompareItem(int index, const Variant& value, const String& displayText) {
  const TcxFilterValueItem* item = ValueItemAt(index);
  if (sortByDisplayText_) {
    String a = item->DisplayText, b = displayText;
    if (criteria_->Options().Contains(fcoCaseInsensitive)) {
      a = AnsiUpperCase(a);
      b = AnsiUpperCase(b);
    }
    return AnsiCompareStr(a, b);
  }
  Variant a, b;
  criteria_->PrepareValue(item->Value, a);
  criteria_->PrepareValue(value, b);
  return CompareVariantValues(a, b);
}

void TcxFilterValueList::InsertAt(int index, TcxFilterValueItemKind kind, const Variant& value, const String& text) {
  auto item = std::make_unique<TcxFilterValueItem>();
  item->Kind = kind;
  item->Value = value;
  item->DisplayText = text;
  items_.insert(items_.begin() + index, std::move(item));
}

void TcxFilterValueList::AddValue(TcxFilterValueItemKind kind, const Variant& value, const String& displayText,
                                  bool unsorted) {
  if (kind > fviMRUSeparator) throw EcxFilterError("Unknown filter value kind " + IntToStr(int(kind)));
  if (kind == fviMRU) {
    int sep = RecentSeparatorIndex();
    if (sep == -1) {
      InsertAt(0, fviMRUSeparator, Null(), String());
      sep = 0;
    }
    InsertAt(sep, kind, value, displayText);
  } else if (kind == fviValue && unsorted) {
    InsertAt(ValueCount(), kind, value, displayText);
  } else if (kind == fviValue) {
    if (MaxCount() > 0 && ValueCount() >= MaxCount()) return;
    int index;
    if (FindValue(value, displayText, index)) return;
    InsertAt(index, kind, value, displayText);
  } else {
    InsertAt(FirstValueIndex(), kind, value, displayText);
  }
}

bool TcxFilterValueList::FindValue(const Variant& value, const String& displayText, int& index) {
  int sep = RecentSeparatorIndex();
  for (int i = 0; i < sep; ++i)
    if (CompareItem(i, value, displayText) == 0) {
      index = i;
      return true;
    }
  int lo = FirstValueIndex(), hi = ValueCount() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = CompareItem(mid, value, displayText);
    if (c < 0) {
      lo = mid + 1;
    } else if (c == 0) {
      lo = mid;
      found = true;
      break;
    } else {
      hi = mid - 1;
    }
  }
  index = lo;
  return found;
}

int TcxFilterValueList::IndexOfCondition(TcxFilterCriteriaItem* condition) {
  if (condition == nullptr) return IndexOfKind(fviAll);
  if (condition->Evaluate(condition->Value())) {
    if (condition->OperatorKind() == foEqual) return IndexOfKind(fviBlanks);
    if (condition->OperatorKind() == foNotEqual) return IndexOfKind(fviNonBlanks);
  }
  if (condition->OperatorKind() == foEqual) {
    int index;
    if (FindValue(condition->Value(), condition->DisplayValue(), index)) return index;
  }
  return IndexOfKind(fviCustom);
}

void TcxFilterValueList::DeleteValue(int index) {
  if (index < 0 || index >= ValueCount()) TList::Error("List index out of bounds (%d)", index);
  items_.erase(items_.begin() + index);
}

int TcxFilterValueList::IndexOfKind(TcxFilterValueItemKind kind) const {
  for (int i = 0; i < ValueCount(); ++i)
    if (items_[std::size_t(i)]->Kind == kind) return i;
  return -1;
}

int TcxFilterValueList::IndexOfKindValue(TcxFilterValueItemKind kind, const Variant& value) const {
  for (int i = 0; i < ValueCount(); ++i) {
    const auto& item = items_[std::size_t(i)];
    if (item->Kind == kind && (value.IsNull() || VariantsCompareEqual(item->Value, value))) return i;
  }
  return -1;
}

int TcxFilterValueList::RecentSeparatorIndex() const {
  for (int i = 0; i < ValueCount(); ++i) {
    TcxFilterValueItemKind k = items_[std::size_t(i)]->Kind;
    if (k == fviMRU) continue;
    return k == fviMRUSeparator ? i : -1;
  }
  return -1;
}

int TcxFilterValueList::FirstValueIndex() const {
  for (int i = 0; i < ValueCount(); ++i)
    if (items_[std::size_t(i)]->Kind == fviValue) return i;
  return ValueCount();
}
