// Footer and group summaries of the data controller.
#include <algorithm>
#include <cmath>

#include "data/cxCustomData.h"
#include "data/cxDataUtils.h"
#include "rtl/SysUtils.h"

namespace {

bool IsIntegralVarType(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varBoolean:
      return true;
    default:
      return false;
  }
}

bool IsSummableVarType(TVarType t) {
  return IsIntegralVarType(t) || t == varSingle || t == varDouble || t == varCurrency || t == varDate ||
         t == varFMTBcd || t == varSQLTimeStamp;
}

// a + b for numbers: integers stay 64-bit integers until they would overflow, then become
// doubles; currency stays currency; anything with a fraction is a double (dates stay dates).
Variant AddNumbers(const Variant& a, const Variant& b) {
  TVarType ta = a.VarType(), tb = b.VarType();
  if (IsIntegralVarType(ta) && IsIntegralVarType(tb)) {
    Int64 x = a.AsInt64(), y = b.AsInt64(), r;
    if (!__builtin_add_overflow(x, y, &r)) {
      if (r >= INT32_MIN && r <= INT32_MAX && ta != varInt64 && tb != varInt64) return Variant(Integer(r));
      return Variant(r);
    }
    return Variant(double(x) + double(y));
  }
  if ((ta == varCurrency || IsIntegralVarType(ta)) && (tb == varCurrency || IsIntegralVarType(tb))) {
    try {
      return Variant(a.AsCurrency() + b.AsCurrency());
    } catch (Exception&) {
      return Variant(a.AsDouble() + b.AsDouble());
    }
  }
  double d = a.AsDouble() + b.AsDouble();
  if (ta == varDate && tb == varDate) {
    Variant v(d);
    return VarAsType(v, varDate);
  }
  return Variant(d);
}


// Order of two values for Min and Max: numbers of one kind directly, others by the variant order.
int CompareSummaryValues(const Variant& a, const Variant& b) {
  TVarType ta = a.VarType(), tb = b.VarType();
  if (IsIntegralVarType(ta) && IsIntegralVarType(tb)) {
    Int64 x = a.AsInt64(), y = b.AsInt64();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  if (ta == varDouble && tb == varDouble) {
    double x = a.AsDouble(), y = b.AsDouble();
    if (x < y) return -1;
    if (x > y) return 1;
  }
  return CompareVariantValues(a, b);
}

// Takes a value (neither Empty nor Null) into a running value (neither Empty nor Null) of the
// kind: Sum and Average add, Min and Max keep the extreme; the other kinds leave it.
void CombineValue(TcxSummaryKind kind, const Variant& value, Variant& sv) {
  switch (kind) {
    case skSum:
    case skAverage:
      sv = AddNumbers(sv, value);
      break;
    case skMin:
      if (CompareSummaryValues(value, sv) < 0) sv = value;
      break;
    case skMax:
      if (CompareSummaryValues(value, sv) > 0) sv = value;
      break;
    default:
      break;
  }
}

// The distinct fields the calculable items read, in order, and for each item the index of its
// field among them (-1 for an item that reads none).
std::vector<int> SourceFields(TcxDataSummaryItems* items, std::vector<TcxCustomDataField*>& fields) {
  int n = items->Count();
  std::vector<int> source(std::size_t(n), -1);
  for (int i = 0; i < n; ++i) {
    TcxDataSummaryItem* item = items->Items(i);
    if (!item->CanCalculate() || item->DataField() == nullptr) continue;
    auto it = std::find(fields.begin(), fields.end(), item->DataField());
    source[std::size_t(i)] = int(it - fields.begin());
    if (it == fields.end()) fields.push_back(item->DataField());
  }
  return source;
}

}  // namespace

// =============================================================================================
// Items

bool TcxDataSummaryItem::CanCalculate() const {
  return DataField() != nullptr || (kind_ == skCount && position_ == spGroup && !collection_->IsFooter());
}

void TcxDataSummaryItem::SetField(TcxCustomDataField* field) {
  if (field == field_) return;
  field_ = field;
  summary_->Changed(false);
}

TObject* TcxDataSummaryItem::LinkedItem() const { return field_ ? field_->Item() : nullptr; }

void TcxDataSummaryItem::ChangeLinkedItem(TObject* item) {
  if (item == LinkedItem() && field_ != nullptr) return;
  SetField(item ? summary_->DataController()->Fields()->FieldByItem(item) : nullptr);
}

void TcxDataSummaryItem::SetKind(TcxSummaryKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  summary_->Changed(false);
}

void TcxDataSummaryItem::SetPosition(TcxSummaryPosition p) {
  if (p == position_) return;
  position_ = p;
  summary_->Changed(true);
}

void TcxDataSummaryItem::SetFormat(const String& f) {
  if (f == format_) return;
  format_ = f;
  summary_->Changed(true);
}

void TcxDataSummaryItem::SetSorted(bool value) {
  // While the controller names an item to sort the groups by, the items' own flags stay.
  if (value == sorted_ || summary_->DataController()->SortingBySummaryDataItemIndex() != -1) return;
  if (value && collection_ != nullptr && !collection_->IsFooter())
    for (int i = 0; i < collection_->Count(); ++i)
      if (collection_->Items(i) != this && collection_->Items(i)->Sorted()) collection_->Items(i)->SetSorted(false);
  sorted_ = value;
  summary_->DataController()->SortingBySummaryChangedFlag() = true;
  summary_->DataController()->Change({dccSorting});
  summary_->Changed(false);
}

String TcxDataSummaryItem::GetValueDisplayText(const Variant& value, bool isFooter) const {
  String text;
  if (value.IsNull() || value.IsEmpty()) {
    text.clear();
  } else if (kind_ == skNone) {
    text = value.AsString();
  } else {
    static const char* const kDate[2][5] = {{"SUM=", "MIN=", "MAX=", "COUNT=0", "AVG="},
                                            {"", "MIN=", "MAX=", "0", "AVG="}};
    static const char* const kOther[2][5] = {
        {"SUM=0.00;SUM=-0.00", "MIN=0.00;MIN=-0.00", "MAX=0.00;MAX=-0.00", "COUNT=0", "AVG=0.00;AVG=-0.00"},
        {"0.00;-0.00", "MIN=0.00;MIN=-0.00", "MAX=0.00;MAX=-0.00", "0", "AVG=0.00;AVG=-0.00"}};
    static const char* const kCurrency[2][5] = {
        {"SUM=%s;SUM=-%s", "MIN=%s;MIN=-%s", "MAX=%s;MAX=-%s", "COUNT=0", "AVG=%s;AVG=-%s"},
        {"%s;-%s", "MIN=%s;MIN=-%s", "MAX=%s;MAX=-%s", "0", "AVG=%s;AVG=-%s"}};
    int k = int(kind_) - 1;
    int f = isFooter ? 1 : 0;
    TVarType t = value.VarType();
    bool isDate = IsDateTimeVariant(value);
    bool isText = value.IsString();
    String format = format_;
    if (format.empty()) {
      if (kind_ != skCount && (isDate || isText)) {
        format = kDate[f][k];
      } else if (IsCurrencyValueType(t) && kind_ != skCount) {
        format = kCurrency[f][k];
        String cf = CurrencyDisplayFormat();
        for (std::size_t p; (p = format.find("%s")) != String::npos;) format.replace(p, 2, cf);
      } else {
        format = kOther[f][k];
      }
    }
    if (kind_ == skCount || (!isDate && !isText)) {
      try {
        text = FormatFloat(format, value.AsDouble());
      } catch (Exception&) {
        text = value.AsString();
      }
    } else if (isText) {
      // Min and Max of text show the text itself.
      text = format + value.StrRef();
    } else {
      double d = value.AsDouble();
      String s;
      if (d == std::trunc(d))
        s = DateToStr(d);
      else if (std::trunc(d) == 0)
        s = TimeToStr(d);
      else
        s = DateTimeToStr(d);
      text = format + s;
    }
  }
  if (OnGetText) OnGetText(const_cast<TcxDataSummaryItem*>(this), value, isFooter, text);
  return text;
}

bool TcxDataSummaryItem::IsCurrencyValueType(TVarType t) const { return IsCurrencyOrBcdVarType(t); }

TcxDataSummaryItem* TcxDataSummaryItems::Add() {
  auto* item = summary_->ItemFactory ? summary_->ItemFactory(summary_) : new TcxDataSummaryItem(summary_);
  item->collection_ = this;
  item->position_ = footer_ ? spFooter : spGroup;
  items_.push_back(item);
  summary_->Changed(false);
  return item;
}

TcxDataSummaryItem* TcxDataSummaryItems::AddLinked(TObject* item, TcxSummaryPosition position, const String& format,
                                                   TcxSummaryKind kind) {
  summary_->BeginChange();
  TcxDataSummaryItem* i = Add();
  i->ChangeLinkedItem(item);
  if (!footer_) i->position_ = position;
  i->kind_ = kind;
  i->format_ = format;
  summary_->EndChange();
  return i;
}

void TcxDataSummaryItems::Delete(int index) {
  TcxDataSummaryItem* item = items_.at(std::size_t(index));
  items_.erase(items_.begin() + index);
  delete item;
  summary_->Changed(false);
}

void TcxDataSummaryItems::Clear() {
  for (auto* i : items_) delete i;
  items_.clear();
}

int TcxDataSummaryItems::IndexOf(const TcxDataSummaryItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

int TcxDataSummaryItems::IndexOfField(const TcxCustomDataField* field) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->Field() == field) return int(i);
  return -1;
}

TcxDataSummaryItem* TcxDataSummaryItems::SortedItem() const {
  if (footer_) return nullptr;
  int bySummary = summary_->DataController()->SortingBySummaryDataItemIndex();
  if (bySummary != -1) {
    TcxCustomDataField* f = summary_->DataController()->Fields()->Items(bySummary);
    for (auto* i : items_)
      if (i->Field() == f) return i;
  }
  for (auto* i : items_)
    if (i->Sorted()) return i;
  return nullptr;
}

String TcxDataSummaryItems::GetGroupSummaryText(const Variant& values) const {
  if (footer_) return String();
  String text;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i]->Position() != spGroup) continue;
    Variant v = values.IsArray() ? values.GetElement(Integer(i)) : Null();
    if (!text.empty()) text += Separator + " ";
    text += items_[i]->GetValueDisplayText(v, false);
  }
  return text.empty() ? text : BeginText + text + EndText;
}

// =============================================================================================
// The summary

TcxDataSummary::TcxDataSummary(TcxCustomDataController* controller)
    : controller_(controller),
      groupItems_(std::make_unique<TcxDataSummaryItems>(this, false)),
      footerItems_(std::make_unique<TcxDataSummaryItems>(this, true)) {}

TcxDataSummary::~TcxDataSummary() { destroying_ = true; }

void TcxDataSummary::BeginChange() {
  controller_->BeginInfoUpdate();
  ++lockCount_;
}

void TcxDataSummary::EndChange() {
  --lockCount_;
  Changed(false);
  controller_->EndInfoUpdate();
}

void TcxDataSummary::Changed(bool redrawOnly) {
  if (lockCount_ > 0 || inAfterSummary_ || destroying_) return;
  controller_->SummaryChanged(redrawOnly);
}

void TcxDataSummary::SetOptions(TcxSummaryOptions value) {
  if (value == options_) return;
  if (value.Contains(soSelectedRecords) && value.Contains(soMultipleSelectedRecords)) {
    if (options_.Contains(soMultipleSelectedRecords))
      value.Exclude(soMultipleSelectedRecords);
    else
      value.Exclude(soSelectedRecords);
  }
  options_ = value;
  Changed(false);
}

void TcxDataSummary::DropFieldItems(TcxCustomDataField* field) {
  bool any = false;
  std::vector<TcxDataSummaryItems*> all{footerItems_.get(), groupItems_.get()};
  for (const auto& g : groups_) {
    all.push_back(g->SummaryItems());
    if (field->Item() != nullptr && g->IsLinked(field->Item())) {
      g->links_.erase(std::find(g->links_.begin(), g->links_.end(), field->Item()));
      any = true;
    }
  }
  for (TcxDataSummaryItems* items : all)
    for (int i = 0; i < items->Count(); ++i)
      if (items->Items(i)->field_ == field) {
        items->Items(i)->field_ = nullptr;
        any = true;
      }
  if (any) Changed(false);
}

int TcxDataSummary::RecordForSummary(int position) const {
  int r = controller_->Info()->RecordList()[std::size_t(position)];
  bool onSelection = options_.Contains(soSelectedRecords) ||
                     (options_.Contains(soMultipleSelectedRecords) && controller_->CountSelectedRows() > 1);
  if (!onSelection) return r;
  if (controller_->IsSingleSelection()) return r == controller_->FocusedRecordIndex() ? r : -1;
  return controller_->Info()->Selection()->IsRecordSelected(r) ? r : -1;
}

void TcxDataSummary::AccumulateRecord(TcxDataSummaryItem* item, int recordIndex, int& count, Variant& sv) {
  if (!item->CanCalculate()) return;
  TcxCustomDataField* field = item->DataField();
  Variant value = field ? controller_->GetValueByField(recordIndex, field) : Null();
  AccumulateValue(item, recordIndex, value, count, sv);
}


void TcxDataSummary::AccumulateValue(TcxDataSummaryItem* item, int recordIndex, const Variant& input, int& count,
                                     Variant& sv) {
  TcxDataSummaryItems* items = item->collection_;
  TcxSummaryKind kind = item->Kind();
  if (!items->OnSummary && kind != skNone && !input.IsNull() && !input.IsEmpty() &&
      IsSummableVarType(input.VarType()) && !sv.IsEmpty() && !sv.IsNull()) {
    // The common case: a number into a running value.
    CombineValue(kind, input, sv);
    ++count;
    return;
  }
  Variant value = input;
  if (items->OnSummary) {
    TcxSummaryEventOutArguments out{value, sv, count, false};
    items->OnSummary(items, TcxSummaryEventArguments{recordIndex, item}, out);
    value = out.Value;
    sv = out.SummaryValue;
    count = out.CountValue;
    if (out.Done) return;
  }
  if (kind == skNone) return;
  // Sum and Average take numbers only: any other value (text, an array) adds nothing, as Null.
  if ((kind == skSum || kind == skAverage) && !value.IsNull() && !value.IsEmpty() &&
      !IsSummableVarType(value.VarType()))
    value = Null();
  if (options_.Contains(soNullIgnore) && (value.IsNull() || value.IsEmpty())) return;
  if (value.IsEmpty()) value = Null();
  if (sv.IsEmpty()) {
    if (kind != skCount && !(value.IsNull() && (kind == skMin || kind == skMax))) {
      sv = value;
      if (sv.IsNull() && (kind == skSum || kind == skAverage)) sv = Variant(Integer(0));
    }
  } else if (!value.IsNull() && !sv.IsNull()) {
    CombineValue(kind, value, sv);
  }
  ++count;
}

void TcxDataSummary::FinalizeValue(TcxDataSummaryItem* item, Variant& sv, int count) {
  if (!item->CanCalculate()) return;
  if (sv.IsEmpty()) sv = Null();
  if (item->Kind() == skCount) {
    sv = Variant(Integer(count));
  } else if (item->Kind() == skAverage && count > 0 && !sv.IsNull()) {
    bool isDate = IsDateTimeVariant(sv);
    double d = sv.AsDouble() / count;
    sv = Variant(d);
    if (isDate) sv = VarAsType(sv, varDate);
  }
}

void TcxDataSummary::AccumulateRange(TcxDataSummaryItems* items, int from, int to, std::vector<Variant>& values,
                                     std::vector<int>& counts) {
  int n = items->Count();
  // Items of one field read its value once per record.
  std::vector<TcxCustomDataField*> fields;
  std::vector<int> source = SourceFields(items, fields);
  std::vector<Variant> read(fields.size());
  std::vector<Int64> readInt(fields.size());
  std::vector<char> readIsInt(fields.size());
  // Integer running values of Sum, Average, Min and Max are kept as plain 64-bit integers while
  // every value is an integer; anything else first turns them back into the running Variant.
  std::vector<char> fast(std::size_t(n), 0);
  std::vector<Int64> acc(std::size_t(n), 0);
  std::vector<char> wide(std::size_t(n), 0);
  auto flush = [&](int i) {
    if (!fast[std::size_t(i)]) return;
    Int64 a = acc[std::size_t(i)];
    if (!wide[std::size_t(i)] && a >= INT32_MIN && a <= INT32_MAX)
      values[std::size_t(i)] = Variant(Integer(a));
    else
      values[std::size_t(i)] = Variant(a);
    fast[std::size_t(i)] = 0;
  };
  bool nullIgnore = options_.Contains(soNullIgnore);
  bool onSelection = options_.Contains(soSelectedRecords) ||
                     (options_.Contains(soMultipleSelectedRecords) && controller_->CountSelectedRows() > 1);
  const std::vector<int>& list = controller_->Info()->RecordList();
  // Values of the controller's own storage are read from it directly.
  bool direct = !controller_->IsProviderMode() && !controller_->IsGridMode();
  std::vector<TcxValueDef*> defs(fields.size(), nullptr);
  for (std::size_t f = 0; f < fields.size(); ++f) defs[f] = direct ? fields[f]->ValueDef() : nullptr;
  TcxDataStorage* storage = controller_->Storage();
  for (int p = from; p <= to; ++p) {
    int r = onSelection ? RecordForSummary(p) : list[std::size_t(p)];
    if (r == -1) continue;
    for (std::size_t f = 0; f < fields.size(); ++f) {
      read[f] = defs[f] ? storage->RecordValue(r, defs[f]) : controller_->GetValueByField(r, fields[f]);
      TVarType t = read[f].VarType();
      readIsInt[f] = IsIntegralVarType(t) && t != varBoolean;
      if (readIsInt[f]) readInt[f] = read[f].AsInt64();
    }
    for (int i = 0; i < n; ++i) {
      TcxDataSummaryItem* item = items->Items(i);
      int src = source[std::size_t(i)];
      std::size_t k = std::size_t(i);
      if (!items->OnSummary && src != -1) {
        TcxSummaryKind kind = item->Kind();
        const Variant& v = read[std::size_t(src)];
        if (kind == skCount) {
          if (!(nullIgnore && (v.IsNull() || v.IsEmpty()))) ++counts[k];
          continue;
        }
        if (readIsInt[std::size_t(src)] && kind != skNone) {
          Int64 x = readInt[std::size_t(src)];
          if (!fast[k] && values[k].IsEmpty()) {
            fast[k] = 1;
            acc[k] = x;
            wide[k] = v.VarType() == varInt64;
            ++counts[k];
            continue;
          }
          if (fast[k]) {
            bool ok = true;
            if (kind == skSum || kind == skAverage) {
              Int64 sum;
              ok = !__builtin_add_overflow(acc[k], x, &sum);
              if (ok) acc[k] = sum;
            } else if (kind == skMin) {
              if (x < acc[k]) acc[k] = x;
            } else if (kind == skMax) {
              if (x > acc[k]) acc[k] = x;
            }
            if (v.VarType() == varInt64) wide[k] = 1;
            if (ok) {
              ++counts[k];
              continue;
            }
          }
        }
        flush(i);
        AccumulateValue(item, r, v, counts[k], values[k]);
      } else {
        flush(i);
        if (src != -1)
          AccumulateValue(item, r, read[std::size_t(src)], counts[k], values[k]);
        else if (item->CanCalculate())
          AccumulateValue(item, r, Null(), counts[k], values[k]);
      }
    }
  }
  for (int i = 0; i < n; ++i) flush(i);
}

Variant TcxDataSummary::FinalizeValues(TcxDataSummaryItems* items, std::vector<Variant>& values,
                                       std::vector<int>& counts) {
  if (items->Count() == 0) return Null();
  Variant result = Null();
  for (int i = 0; i < items->Count(); ++i) {
    FinalizeValue(items->Items(i), values[std::size_t(i)], counts[std::size_t(i)]);
    AppendToVariantArray(result, values[std::size_t(i)]);
  }
  return result;
}

void TcxDataSummary::CalculateFooter() {
  std::vector<Variant> values(std::size_t(footerItems_->Count()));
  std::vector<int> counts(values.size(), 0);
  if (!controller_->IsGridMode())
    AccumulateRange(footerItems_.get(), 0, int(controller_->Info()->RecordList().size()) - 1, values, counts);
  footerValues_ = FinalizeValues(footerItems_.get(), values, counts);
}

// Merges the running value and count of a child group into those of its parent (the kinds
// without a handler combine exactly as if the child's records had been taken one by one).
void TcxDataSummary::MergePartial(TcxDataSummaryItem* item, const Variant& child, int childCount, Variant& parent,
                                  int& parentCount) {
  parentCount += childCount;
  if (child.IsEmpty()) return;
  if (parent.IsEmpty()) {
    parent = child;
    return;
  }
  if (child.IsNull() || parent.IsNull()) return;
  CombineValue(item->Kind(), child, parent);
}

bool TcxDataSummary::CalculateGroupsByMerging() {
  // Every level uses the same items here; without a summary handler and without counting only
  // selected records, the records are read once, in storage order, into their innermost group,
  // and each group passes its running values up to its parent.
  TcxCustomDataControllerInfo* info = controller_->Info();
  TcxDataGroups& groups = info->DataGroups();
  TcxDataSummaryItems* items = groupItems_.get();
  bool onSelection = options_.Contains(soSelectedRecords) ||
                     (options_.Contains(soMultipleSelectedRecords) && controller_->CountSelectedRows() > 1);
  if (items->OnSummary || onSelection || groups.Count() == 0) return false;
  for (int l = 0; l < groups.LevelCount(); ++l)
    if (GroupSummaryItemsOfLevel(l) != items) return false;
  int n = items->Count();
  std::size_t gcount = std::size_t(groups.Count());
  std::vector<Variant> values(gcount * std::size_t(n));
  std::vector<int> counts(values.size(), 0);
  int last = groups.LevelCount() - 1;
  const std::vector<int>& list = info->RecordList();
  std::vector<int> groupOfPos(list.size(), -1);
  for (int g = 0; g < groups.Count(); ++g) {
    const auto& gi = groups.Items(g);
    if (gi.Level == last)
      for (int p = gi.BeginIndex; p <= gi.EndIndex; ++p) groupOfPos[std::size_t(p)] = g;
  }
  std::vector<TcxCustomDataField*> fields;
  std::vector<int> source = SourceFields(items, fields);
  std::vector<Variant> read(fields.size());
  int records = controller_->GetRecordCount();
  for (int r = 0; r < records; ++r) {
    int p = info->RecordListIndexOf(r);
    if (p == -1) continue;
    int g = groupOfPos[std::size_t(p)];
    if (g == -1) continue;
    for (std::size_t f = 0; f < fields.size(); ++f) read[f] = controller_->GetValueByField(r, fields[f]);
    std::size_t base = std::size_t(g) * std::size_t(n);
    for (int i = 0; i < n; ++i) {
      TcxDataSummaryItem* item = items->Items(i);
      if (!item->CanCalculate()) continue;
      int s = source[std::size_t(i)];
      AccumulateValue(item, r, s != -1 ? read[std::size_t(s)] : Null(), counts[base + std::size_t(i)],
                      values[base + std::size_t(i)]);
    }
  }
  for (int g = groups.Count() - 1; g >= 0; --g) {
    int parent = groups.Items(g).Parent;
    std::size_t base = std::size_t(g) * std::size_t(n);
    if (parent != -1) {
      std::size_t pbase = std::size_t(parent) * std::size_t(n);
      for (int i = 0; i < n; ++i)
        MergePartial(items->Items(i), values[base + std::size_t(i)], counts[base + std::size_t(i)],
                     values[pbase + std::size_t(i)], counts[pbase + std::size_t(i)]);
    }
  }
  for (int g = 0; g < groups.Count(); ++g) {
    std::size_t base = std::size_t(g) * std::size_t(n);
    std::vector<Variant> v(values.begin() + std::ptrdiff_t(base), values.begin() + std::ptrdiff_t(base + std::size_t(n)));
    std::vector<int> c(counts.begin() + std::ptrdiff_t(base), counts.begin() + std::ptrdiff_t(base + std::size_t(n)));
    groups.Items(g).SummaryValues = FinalizeValues(items, v, c);
  }
  return true;
}

void TcxDataSummary::CalculateGroups() {
  TcxDataGroups& groups = controller_->Info()->DataGroups();
  int levels = groups.LevelCount();
  int last = levels - 1;
  if (levels > 0 && CalculateGroupsByMerging()) return;
  for (int level = 0; level < levels; ++level) {
    TcxDataSummaryItems* items = GroupSummaryItemsOfLevel(level);
    if (items == nullptr) continue;
    std::vector<Variant> values;
    std::vector<int> counts;
    int current = -1;
    auto finish = [&] {
      if (current != -1) groups.Items(current).SummaryValues = FinalizeValues(items, values, counts);
    };
    for (int g = 0; g < groups.Count(); ++g) {
      const auto& gi = groups.Items(g);
      if (gi.Level == level) {
        finish();
        current = g;
        values.assign(std::size_t(items->Count()), Variant());
        counts.assign(values.size(), 0);
      }
      if (gi.Level == last) AccumulateRange(items, gi.BeginIndex, gi.EndIndex, values, counts);
    }
    finish();
  }
}

void TcxDataSummary::DoAfterSummary() {
  if (!OnAfterSummary) return;
  if (controller_->IsLoading()) {
    controller_->afterSummaryPending_ = true;
    return;
  }
  controller_->afterSummaryPending_ = false;
  if (controller_->IsPattern() || controller_->IsSummaryLocked()) return;
  inAfterSummary_ = true;
  struct Reset {
    bool& f;
    ~Reset() { f = false; }
  } reset{inAfterSummary_};
  OnAfterSummary(this);
}

Variant TcxDataSummary::FooterSummaryValue(int index) const {
  if (footerValues_.IsArray() && index >= 0 && index < footerItems_->Count()) return footerValues_.GetElement(index);
  return Null();
}

String TcxDataSummary::FooterSummaryDisplayText(int index) const {
  return footerItems_->Items(index)->GetValueDisplayText(FooterSummaryValue(index), true);
}

TcxDataSummaryItems* TcxDataSummary::GroupSummaryItemsOfLevel(int level) const {
  if (level < 0 || level >= controller_->Groups()->GroupingLevelCount()) return nullptr;
  TObject* item = controller_->GetItem(controller_->Groups()->ItemIndexOfLevel(level));
  if (TcxDataSummaryGroup* g = GroupOfLinkedItem(item)) return g->SummaryItems();
  return groupItems_.get();
}

TcxDataSummaryGroup::TcxDataSummaryGroup(TcxDataSummary* summary)
    : summary_(summary), items_(std::make_unique<TcxDataSummaryItems>(summary, false)) {}

bool TcxDataSummaryGroup::IsLinked(TObject* item) const {
  return std::find(links_.begin(), links_.end(), item) != links_.end();
}

void TcxDataSummaryGroup::AddLink(TObject* item) {
  if (IsLinked(item)) return;
  for (int i = 0; i < summary_->SummaryGroupCount(); ++i)
    if (summary_->SummaryGroups(i) != this) summary_->SummaryGroups(i)->RemoveLink(item);
  links_.push_back(item);
  summary_->Changed(false);
}

void TcxDataSummaryGroup::RemoveLink(TObject* item) {
  auto it = std::find(links_.begin(), links_.end(), item);
  if (it == links_.end()) return;
  links_.erase(it);
  summary_->Changed(false);
}

TcxDataSummaryGroup* TcxDataSummary::AddSummaryGroup() {
  groups_.push_back(std::make_unique<TcxDataSummaryGroup>(this));
  Changed(false);
  return groups_.back().get();
}

void TcxDataSummary::DeleteSummaryGroup(int index) {
  groups_.erase(groups_.begin() + index);
  Changed(false);
}

TcxDataSummaryGroup* TcxDataSummary::GroupOfLinkedItem(TObject* item) const {
  for (const auto& g : groups_)
    if (g->IsLinked(item)) return g.get();
  return nullptr;
}

namespace {

void CopyItems(TcxDataSummaryItems* to, TcxDataSummaryItems* from, TcxCustomDataController* controller) {
  to->Clear();
  for (int i = 0; i < from->Count(); ++i) {
    TcxDataSummaryItem* s = from->Items(i);
    TObject* item = s->LinkedItem() ? controller->FindCorrespondingItem(s->LinkedItem()) : nullptr;
    TcxDataSummaryItem* d = to->AddLinked(item, s->Position(), s->Format(), s->Kind());
    d->OnGetText = s->OnGetText;
    if (s->Sorted()) d->SetSorted(true);
    d->AssignFrom(s);
  }
  to->BeginText = from->BeginText;
  to->EndText = from->EndText;
  to->Separator = from->Separator;
  to->OnSummary = from->OnSummary;
}

}  // namespace

void TcxDataSummary::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxDataSummary*>(source);
  if (src == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  BeginChange();
  struct End {
    TcxDataSummary* s;
    ~End() noexcept(false) { s->EndChange(); }
  } end{this};
  CopyItems(footerItems_.get(), src->footerItems_.get(), controller_);
  CopyItems(groupItems_.get(), src->groupItems_.get(), controller_);
  groups_.clear();
  for (const auto& g : src->groups_) {
    TcxDataSummaryGroup* d = AddSummaryGroup();
    CopyItems(d->SummaryItems(), g->SummaryItems(), controller_);
    for (TObject* link : g->links_)
      if (TObject* item = controller_->FindCorrespondingItem(link)) d->links_.push_back(item);
  }
  SetOptions(src->options_);
  OnAfterSummary = src->OnAfterSummary;
}

String TcxDataSummary::GroupSummaryText(int rowIndex) const {
  TcxCustomDataControllerInfo* info = controller_->Info();
  if (!info->IsGrouped()) return String();
  TcxRowInfo ri = info->RowInfo(rowIndex);
  if (ri.Level >= info->DataGroups().LevelCount()) return String();
  TcxDataSummaryItems* items = GroupSummaryItemsOfLevel(ri.Level);
  const Variant& v = info->DataGroups().Items(ri.GroupIndex).SummaryValues;
  if (items == nullptr || items->Count() == 0 || !v.IsArray()) return String();
  return items->GetGroupSummaryText(v);
}

Variant TcxDataSummary::GroupSummaryValue(int rowIndex, int level, int itemIndex) const {
  TcxCustomDataControllerInfo* info = controller_->Info();
  if (!info->IsGrouped()) return Null();
  int g = info->DataGroups().GroupIndexOfRowAtLevel(rowIndex, level);
  if (g == -1) return Null();
  const Variant& v = info->DataGroups().Items(g).SummaryValues;
  TcxDataSummaryItems* items = GroupSummaryItemsOfLevel(level);
  if (!v.IsArray() || items == nullptr || itemIndex < 0 || itemIndex >= items->Count()) return Null();
  return v.GetElement(itemIndex);
}

String TcxDataSummary::GroupSummaryDisplayText(int rowIndex, int level, int itemIndex) const {
  TcxDataSummaryItems* items = GroupSummaryItemsOfLevel(level);
  if (items == nullptr || itemIndex < 0 || itemIndex >= items->Count()) return String();
  return items->Items(itemIndex)->GetValueDisplayText(GroupSummaryValue(rowIndex, level, itemIndex), true);
}

// =============================================================================================
// Sorting groups by a summary

void TcxCustomDataControllerInfo::SortGroupsBySummary() {
  TcxDataSummary* summary = controller_->Summary();
  TcxDataGroups old = groups_;
  std::vector<int> oldList = recordList_;
  TcxDataGroups fresh;
  for (int i = 0; i < old.LevelCount(); ++i) fresh.AddField(old.FieldAt(i));
  recordList_.clear();
  int last = old.LevelCount() - 1;
  auto sortedChildren = [&](int parent) {
    std::vector<int> ch;
    int n = old.ChildCount(parent);
    for (int i = 0; i < n; ++i) ch.push_back(old.ChildGroupIndex(parent, i));
    int level = parent == -1 ? 0 : old.Items(parent).Level + 1;
    TcxDataSummaryItems* items = summary->GroupSummaryItemsOfLevel(level);
    TcxDataSummaryItem* sorted = items ? items->SortedItem() : nullptr;
    if (sorted != nullptr) {
      int idx = items->IndexOf(sorted);
      bool desc = groupingFields_.Items(level).SortOrder == soDescending;
      auto valueOf = [&](int g) {
        const Variant& v = old.Items(g).SummaryValues;
        return v.IsArray() ? v.GetElement(idx) : Null();
      };
      std::stable_sort(ch.begin(), ch.end(), [&](int a, int b) {
        int c = CompareVariantValues(valueOf(a), valueOf(b));
        return desc ? c > 0 : c < 0;
      });
    }
    return ch;
  };
  std::function<void(int, int)> emit = [&](int g, int parent) {
    TcxDataGroupInfo copy = old.Items(g);
    int idx = fresh.Count();
    fresh.AddGroup() = copy;
    fresh.Items(idx).Parent = parent;
    int first = int(recordList_.size());
    if (copy.Level == last) {
      for (int p = copy.BeginIndex; p <= copy.EndIndex; ++p) recordList_.push_back(oldList[std::size_t(p)]);
      fresh.Items(idx).BeginIndex = first;
      fresh.Items(idx).EndIndex = int(recordList_.size()) - 1;
    } else {
      for (int c : sortedChildren(g)) emit(c, idx);
      fresh.Items(idx).BeginIndex = idx + 1;
      fresh.Items(idx).EndIndex = fresh.Count() - 1;
    }
    fresh.Items(idx).FirstPos = first;
    fresh.Items(idx).LastPos = int(recordList_.size()) - 1;
  };
  for (int g : sortedChildren(-1)) emit(g, -1);
  fresh.FinishBuild();
  groups_ = fresh;
  groups_.Renumber();
  positionsValid_ = false;
  selection_->ClearEntries();
}

// =============================================================================================
// Per-column summary data

TcxDataSummaryItem* TcxDataSummaryItems::FindItem(int itemIndex, TcxSummaryPosition position, TcxSummaryKind kind,
                                                  bool checkKind) const {
  TcxCustomDataField* field = summary_->DataController()->FieldOfItem(itemIndex);
  for (auto* i : items_)
    if (i->Field() == field && i->Position() == position && (!checkKind || i->Kind() == kind)) return i;
  return nullptr;
}

TcxSummaryKind TcxDataSummaryItems::GetKindOf(int itemIndex, TcxSummaryPosition position) const {
  TcxDataSummaryItem* i = FindItem(itemIndex, position);
  return i ? i->Kind() : skNone;
}

String TcxDataSummaryItems::GetFormatOf(int itemIndex, TcxSummaryPosition position) const {
  TcxDataSummaryItem* i = FindItem(itemIndex, position);
  return i ? i->Format() : String();
}

void TcxDataSummaryItems::SetKindOf(int itemIndex, TcxSummaryPosition position, TcxSummaryKind kind) {
  TcxDataSummaryItem* i = FindItem(itemIndex, position);
  if (i == nullptr) {
    if (kind == skNone) return;
    i = AddLinked(summary_->DataController()->GetItem(itemIndex), position, String(), kind);
    return;
  }
  i->SetKind(kind);
  if (i->Kind() == skNone && i->Format().empty() && !i->Sorted()) Delete(IndexOf(i));
}

void TcxDataSummaryItems::SetFormatOf(int itemIndex, TcxSummaryPosition position, const String& format) {
  TcxDataSummaryItem* i = FindItem(itemIndex, position);
  if (i == nullptr) {
    if (format.empty()) return;
    AddLinked(summary_->DataController()->GetItem(itemIndex), position, format, skNone);
    return;
  }
  i->SetFormat(format);
  if (i->Kind() == skNone && i->Format().empty() && !i->Sorted()) Delete(IndexOf(i));
}
