// Group values by interval, the variant list, field filters, group value texts and the number
// formatting of data cells.
#include <algorithm>
#include <cmath>

#include "editors/cxFormats.h"
#include "pivotgrid/cxCustomPivotGrid.h"
#include "pivotgrid/cxCustomPivotGridInternal.h"
#include "rtl/DateUtils.h"
#include "rtl/SysUtils.h"

// ---- variant list ---------------------------------------------------------------------------------

void TcxPivotGridVariantList::Changed() {
  if (OnChange) OnChange(this);
}

int TcxPivotGridVariantList::Add(const Variant& value) {
  sorted_ = false;
  items_.push_back(value);
  Changed();
  return Count() - 1;
}

void TcxPivotGridVariantList::AddUnique(const Variant& value) {
  if (IndexOf(value) != -1) return;
  // Inserted in order, so that a run of additions (collapsing every item of a level) does not
  // sort the list again each time.
  auto at = std::lower_bound(items_.begin(), items_.end(), value, cxPivotGridVariantLess);
  items_.insert(at, value);
  Changed();
}

void TcxPivotGridVariantList::Clear() {
  items_.clear();
  sorted_ = false;
  Changed();
}

void TcxPivotGridVariantList::Delete(int index) {
  items_.erase(items_.begin() + index);
  Changed();
}

void TcxPivotGridVariantList::Sort() {
  if (!sorted_) cxPivotGridSafeSort(items_, cxPivotGridVariantLess);
  sorted_ = true;
}

int TcxPivotGridVariantList::IndexOf(const Variant& value) {
  Sort();
  int low = 0, high = Count() - 1;
  while (low <= high) {
    int middle = (low + high) / 2;
    int c = CompareVariantValues(items_[std::size_t(middle)], value);
    if (c < 0)
      low = middle + 1;
    else if (c > 0)
      high = middle - 1;
    else
      return middle;
  }
  return -1;
}

void TcxPivotGridVariantList::MakeUnique() {
  Sort();
  if (items_.empty()) return;
  std::vector<Variant> kept;
  kept.reserve(items_.size());
  kept.push_back(items_[0]);
  for (std::size_t i = 1; i < items_.size(); ++i)
    if (CompareVariantValues(items_[i], kept.back()) != 0) kept.push_back(items_[i]);
  if (kept.size() != items_.size()) {
    items_ = std::move(kept);
    Changed();
  }
}

int TcxPivotGridVariantList::Remove(const Variant& value) {
  int i = IndexOf(value);
  if (i >= 0) Delete(i);
  return i;
}

// ---- filter ---------------------------------------------------------------------------------------

TcxPivotGridFieldFilter::TcxPivotGridFieldFilter(TcxPivotGridField* field) : field_(field) {
  values_.OnChange = [this](TcxPivotGridVariantList*) { ValuesChanged(); };
}

void TcxPivotGridFieldFilter::Changed() { field_->DataChanged(); }

void TcxPivotGridFieldFilter::Clear() {
  values_.Clear();
  Changed();
}

void TcxPivotGridFieldFilter::Assign(TPersistent* source) {
  auto* f = dynamic_cast<TcxPivotGridFieldFilter*>(source);
  if (!f) {
    TPersistent::Assign(source);
    return;
  }
  Clear();
  includeMode_ = f->includeMode_;
  for (int i = 0; i < f->values_.Count(); ++i) values_.Add(f->values_.Values(i));
}

bool TcxPivotGridFieldFilter::PassValue(const Variant& value) {
  if (!IsActive()) return true;
  bool found = values_.IndexOf(value) >= 0;
  return includeMode_ ? found : !found;
}

// ---- group values -------------------------------------------------------------------------------------

void TcxPivotGridField::GetRecordValue(int recordIndex, Variant& value) {
  value = pivotGrid_->DataController()->GetValue(recordIndex, Index());
}

namespace {

String FirstCharacter(const String& s) {
  if (s.empty()) return s;
  unsigned char c = static_cast<unsigned char>(s[0]);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
  std::size_t k = 1;
  while (k < n && k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80) ++k;
  return s.substr(0, k);
}

}  // namespace

void TcxPivotGridField::GetGroupValue(int recordIndex, Variant& value) {
  GetRecordValue(recordIndex, value);
  TcxPivotGridGroupInterval interval = groupInterval_;
  if (area_ == faData && interval != giAlphabetical) interval = giDefault;
  if (interval == giDefault) return;
  try {
    auto days = [&] { return std::fabs(double(pivotGrid_->Today()) - double(VarToDateTime(value))); };
    switch (interval) {
      case giDate: value = VarFromDateTime(DateOf(VarToDateTime(value))); break;
      case giDateDay: value = int(DayOf(VarToDateTime(value))); break;
      case giDateDayOfWeek: value = int(DayOfWeek(VarToDateTime(value))); break;
      case giDateDayOfYear: value = int(DayOfTheYear(VarToDateTime(value))); break;
      case giDateWeekOfMonth: value = int(WeekOfTheMonth(VarToDateTime(value))); break;
      case giDateWeekOfYear: value = int(WeekOfTheYear(VarToDateTime(value))); break;
      case giDateMonth: value = int(MonthOf(VarToDateTime(value))); break;
      case giDateQuarter: value = int((MonthOf(VarToDateTime(value)) - 1) / 3 + 1); break;
      case giDateYear: value = int(YearOf(VarToDateTime(value))); break;
      case giYearAge: value = std::trunc(days() / 365.25); break;
      case giMonthAge: value = std::trunc(days() / 30.4375); break;
      case giWeekAge: value = std::trunc(days() / 7); break;
      case giDayAge: value = std::trunc(days()); break;
      case giAlphabetical: value = FirstCharacter(VarToStr(value)); break;
      case giNumeric: break;
      case giCustom: {
        Variant raw = value;
        DoGetGroupValue(raw, recordIndex, value);
        break;
      }
      default: break;
    }
    if (interval >= giYearAge && interval <= giNumeric && interval != giAlphabetical) {
      if (IsNumericOrBcdVariant(value)) {
        double x = std::nearbyint(value.AsDouble());
        value = int(std::floor(x / groupIntervalRange_));
      } else {
        value = 0;
      }
    }
  } catch (const EVariantError&) {
    value = Null();
  } catch (const EConvertError&) {
    value = Null();
  }
}

void TcxPivotGridField::GetGroupValueDisplayText(const Variant& value, String& text) {
  try {
    switch (groupInterval_) {
      case giDateDayOfWeek: {
        int d = value.AsInteger();
        text = d >= 1 && d <= 7 ? FormatSettings.LongDayNames[std::size_t(d - 1)] : VarToStr(value);
        break;
      }
      case giDateMonth: {
        int m = value.AsInteger();
        text = m >= 1 && m <= 12 ? FormatSettings.LongMonthNames[std::size_t(m - 1)] : VarToStr(value);
        break;
      }
      case giDateQuarter: text = Format(cxPivotGridResText("Qtr %d"), {value.AsInteger()}); break;
      case giYearAge:
      case giMonthAge:
      case giWeekAge:
      case giDayAge:
      case giNumeric: {
        if (value.IsNull()) {
          text = String();
          break;
        }
        Int64 b = value.AsInt64();
        text = Format(cxPivotGridResText("%d-%d"), {b * groupIntervalRange_, (b + 1) * groupIntervalRange_ - 1});
        break;
      }
      case giCustom: DoGetGroupValueDisplayText(value, text); break;
      default: text = VarToStr(value); break;
    }
  } catch (const EVariantError&) {
    text = String();
  }
}

bool TcxPivotGridField::PassesFilter(int recordIndex) {
  if (area_ == faData || !filter_->IsActive()) return true;
  Variant v;
  GetGroupValue(recordIndex, v);
  return filter_->PassValue(v);
}

TcxPivotGridVariantList* TcxPivotGridField::GetUniqueValues() {
  if (!uniqueValuesValid_ && pivotGrid_) {
    uniqueValues_.Clear();
    int n = pivotGrid_->DataController()->GetRecordCount();
    // Each distinct value is added once, so the list never holds a copy per record.
    std::vector<Variant> values;
    values.reserve(std::size_t(n));
    for (int r = 0; r < n; ++r) {
      Variant v;
      GetGroupValue(r, v);
      values.push_back(std::move(v));
    }
    cxPivotGridSafeSort(values, cxPivotGridVariantLess);
    for (auto& v : values)
      if (uniqueValues_.Count() == 0 || CompareVariantValues(uniqueValues_.Values(uniqueValues_.Count() - 1), v) != 0)
        uniqueValues_.Add(v);
    uniqueValues_.MakeUnique();
    uniqueValuesValid_ = true;
  }
  return &uniqueValues_;
}

// ---- cell texts ------------------------------------------------------------------------------------------

namespace {

String DefaultFormat(const Variant& value, bool isPercent) {
  if (isPercent) return "0.00%";
  TVarType t = value.VarType();
  if (IsCurrencyOrBcdVarType(t)) return GlobalFormatController()->CurrencyDisplayFormat();
  if (t == varSingle || t == varDouble) return "0.00";
  if (VarIsOrdinal(value)) return "0";
  return String();
}

}  // namespace

void cxPivotGridFormatValue(const Variant& value, const String& displayFormat, bool isPercent, String& text) {
  String format = displayFormat.empty() ? DefaultFormat(value, isPercent) : displayFormat;
  if (!IsNumericOrBcdVariant(value)) {
    text = VarToStr(value);
    return;
  }
  double x = value.AsDouble();
  try {
    text = format.empty() ? FloatToStr(x) : FormatFloat(format, x);
  } catch (const EConvertError&) {
    // A format the number formatting rejects: the value as with no format.
    String fallback = DefaultFormat(value, isPercent);
    text = fallback.empty() ? FloatToStr(x) : FormatFloat(fallback, x);
  }
}

void TcxPivotGridField::DoGetDisplayText(TcxPivotGridDataCellViewInfo* cell) {
  String format = cell->CustomTotal() ? cell->CustomTotal()->DisplayFormat() : GetDisplayFormat();
  bool isPercent = !cell->CustomTotal() && summaryVariation_ == svPercent;
  cxPivotGridFormatValue(cell->Value(), format, isPercent, cell->DisplayText);
  if (OnGetDisplayText) OnGetDisplayText(this, cell, cell->DisplayText);
}
