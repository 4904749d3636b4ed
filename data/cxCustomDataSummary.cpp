// Footer and group summaries of the data controller.
#include <algorithm>
#include <cmath>

#include "data/cxCustomData.h"
#include "data/cxDataUtils.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

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

namespace {
// Begins a summary change and ends it (recalculating once) when the scope ends, also on failure.
class TSummaryChange {
 public:
  explicit TSummaryChange(TcxDataSummary* summary) : summary_(summary) { summary_->BeginChange(); }
  ~TSummaryChange() noexcept(false) { summary_->EndChange(); }
  TSummaryChange(const TSummaryChange&) = delete;
  TSummaryChange& operator=(const TSummaryChange&) = delete;

 private:
  TcxDataSummary* summary_;
};

TcxDataSummary* SummaryOfCollection(TCollection* collection) {
  auto* items = dynamic_cast<TcxDataSummaryItems*>(collection);
  if (!items) throw EInvalidOperation("A summary item belongs to a summary item collection");
  return items->Summary();
}

PTypeInfo SummaryKindType() {
  static PTypeInfo t = EnumTypeInfo("TcxSummaryKind", {"skNone", "skSum", "skMin", "skMax", "skCount", "skAverage"});
  return t;
}
PTypeInfo SummaryPositionType() {
  static PTypeInfo t = EnumTypeInfo("TcxSummaryPosition", {"spGroup", "spFooter"});
  return t;
}
PTypeInfo SummaryOptionsType() {
  static PTypeInfo t = SetTypeInfo(
      "TcxSummaryOptions", EnumTypeInfo("TcxSummaryOption", {"soNullIgnore", "soSelectedRecords", "soMultipleSelectedRecords"}));
  return t;
}
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxDataSummaryItem) {
  using I = TcxDataSummaryItem;
  p.Str("Format", &I::Format, &I::SetFormat);
  p.Enum("Kind", &I::Kind, &I::SetKind, SummaryKindType()).Default(skNone);
  p.Enum("Position", &I::Position, &I::SetPosition, SummaryPositionType()).Stored(&I::PositionStored);
  p.Event("OnGetText", &I::OnGetText, "TcxDataSummaryItemGetTextEvent");
}

namespace {
// The collection holds its change notification until the new item is built (the
// notification may recalculate, which reads the item).
TCollection* Holding(TCollection* collection) {
  collection->BeginUpdate();
  return collection;
}
}  // namespace

TcxDataSummaryItem::TcxDataSummaryItem(TCollection* collection)
    : TCollectionItem(Holding((SummaryOfCollection(collection), collection))), summary_(SummaryOfCollection(collection)) {
  position_ = SummaryItems()->IsFooter() ? spFooter : spGroup;
  collection->EndUpdate();
}

TcxDataSummaryItem::~TcxDataSummaryItem() {
  // A sorting item gives up the order of its level first.
  if (sorted_ && summary_ && !summary_->destroying_) {
    try {
      SetSorted(false);
    } catch (...) {
    }
  }
}

TcxDataSummaryItems* TcxDataSummaryItem::SummaryItems() const { return static_cast<TcxDataSummaryItems*>(Collection()); }

bool TcxDataSummaryItem::PositionStored() const { return !SummaryItems() || !SummaryItems()->IsFooter(); }

void TcxDataSummaryItem::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxDataSummaryItem*>(source);
  if (!s) {
    TCollectionItem::Assign(source);
    return;
  }
  TSummaryChange change(summary_);
  TcxCustomDataController* c = summary_->DataController();
  TObject* linked = s->LinkedItem() ? c->FindCorrespondingItem(s->LinkedItem()) : nullptr;
  ChangeLinkedItem(linked);
  SetFormat(s->Format());
  SetKind(s->Kind());
  SetPosition(s->Position());
  SetSorted(s->Sorted());
  OnGetText = s->OnGetText;
  AssignFrom(s);
}

bool TcxDataSummaryItem::CanCalculate() const {
  return DataField() != nullptr || (kind_ == skCount && Position() == spGroup);
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
  if (kind > skAverage) throw EPropertyError("Invalid property value " + IntToStr(int(kind)) + " for 'Kind'");
  if (kind == kind_) return;
  kind_ = kind;
  summary_->Changed(false);
}

TcxSummaryPosition TcxDataSummaryItem::Position() const {
  return SummaryItems() && SummaryItems()->IsFooter() ? spFooter : position_;
}

void TcxDataSummaryItem::SetPosition(TcxSummaryPosition p) {
  if (p > spFooter) throw EPropertyError("Invalid property value " + IntToStr(int(p)) + " for 'Position'");
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
  TcxDataSummaryItems* items = SummaryItems();
  if (value && items != nullptr && !items->IsFooter())
    for (int i = 0; i < items->Count(); ++i)
      if (items->Items(i) != this && items->Items(i)->Sorted()) items->Items(i)->SetSorted(false);
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

TcxDataSummaryItems::TcxDataSummaryItems(TcxDataSummary* summary, TClass itemClass, bool footer,
                                         TcxDataSummaryGroup* group)
    : TcxCollection(itemClass), summary_(summary), footer_(footer), group_(group) {}

TcxDataSummaryItems::~TcxDataSummaryItems() { Clear(); }

TPersistent* TcxDataSummaryItems::GetOwner() const {
  if (group_) return group_;
  return summary_;
}

void TcxDataSummaryItems::Update(TCollectionItem* item) {
  // A change of one item (format, position) redraws; of the collection, recalculates.
  summary_->Changed(item != nullptr);
}

void TcxDataSummaryItems::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxDataSummaryItems*>(source);
  if (!src) {
    TcxCollection::Assign(source);
    return;
  }
  TSummaryChange change(summary_);
  Clear();
  for (int i = 0; i < src->Count(); ++i) Add()->Assign(src->Items(i));
  SetBeginText(src->BeginText());
  SetEndText(src->EndText());
  SetSeparator(src->Separator());
  OnSummary = src->OnSummary;
}

TcxDataSummaryItem* TcxDataSummaryItems::Add() { return static_cast<TcxDataSummaryItem*>(TcxCollection::Add()); }

TcxDataSummaryItem* TcxDataSummaryItems::AddLinked(TObject* item, TcxSummaryPosition position, const String& format,
                                                   TcxSummaryKind kind) {
  if (kind > skAverage) throw EPropertyError("Invalid property value " + IntToStr(int(kind)) + " for 'Kind'");
  if (position > spFooter) throw EPropertyError("Invalid property value " + IntToStr(int(position)) + " for 'Position'");
  TSummaryChange change(summary_);
  TcxDataSummaryItem* i = Add();
  i->ChangeLinkedItem(item);
  if (!footer_) i->position_ = position;
  i->kind_ = kind;
  i->format_ = format;
  return i;
}

int TcxDataSummaryItems::IndexOf(const TcxDataSummaryItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i) == item) return i;
  return -1;
}

int TcxDataSummaryItems::IndexOfField(const TcxCustomDataField* field) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Field() == field) return i;
  return -1;
}

TcxDataSummaryItem* TcxDataSummaryItems::SortedItem() const {
  if (footer_) return nullptr;
  int bySummary = summary_->DataController()->SortingBySummaryDataItemIndex();
  if (bySummary != -1) {
    TcxCustomDataField* f = summary_->DataController()->Fields()->Items(bySummary);
    for (int i = 0; i < Count(); ++i)
      if (Items(i)->Field() == f) return Items(i);
  }
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Sorted()) return Items(i);
  return nullptr;
}

String TcxDataSummaryItems::GetGroupSummaryText(const Variant& values) const {
  if (footer_) return String();
  String text;
  for (int i = 0; i < Count(); ++i) {
    if (Items(i)->Position() != spGroup) continue;
    Variant v = values.IsArray() ? values.GetElement(Integer(i)) : Null();
    if (!text.empty()) text += separator_ + " ";
    text += Items(i)->GetValueDisplayText(v, false);
  }
  return text.empty() ? text : beginText_ + text + endText_;
}

void TcxDataSummaryItems::ChangedRedraw() { summary_->Changed(true); }

void TcxDataSummaryItems::SetBeginText(const String& v) {
  if (v == beginText_) return;
  beginText_ = v;
  ChangedRedraw();
}

void TcxDataSummaryItems::SetEndText(const String& v) {
  if (v == endText_) return;
  endText_ = v;
  ChangedRedraw();
}

void TcxDataSummaryItems::SetSeparator(const String& v) {
  if (v == separator_) return;
  separator_ = v;
  ChangedRedraw();
}

// =============================================================================================
// The summary

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxDataSummary) {
  using S = TcxDataSummary;
  p.Object("DefaultGroupSummaryItems", &S::DefaultGroupSummaryItems, &S::SetDefaultGroupSummaryItems,
           TCollection::StaticClass());
  p.Object("FooterSummaryItems", &S::FooterSummaryItems, &S::SetFooterSummaryItems, TCollection::StaticClass());
  p.Object("SummaryGroups", &S::Groups, &S::SetGroups, TCollection::StaticClass());
  p.Set("Options", &S::Options, &S::SetOptions, SummaryOptionsType()).Default(0);
  p.Event("OnAfterSummary", &S::OnAfterSummary, "TcxAfterSummaryEvent");
}

TcxDataSummary::TcxDataSummary(TcxCustomDataController* controller) : controller_(controller) {}

TcxDataSummary::~TcxDataSummary() {
  destroying_ = true;
  groups_.reset();
  footerItems_.reset();
  groupItems_.reset();
}

TPersistent* TcxDataSummary::GetOwner() const { return controller_; }

TClass TcxDataSummary::GetItemClass() const { return controller_->GetSummaryItemClass(); }

TClass TcxDataSummary::GetItemLinkClass() const { return controller_->GetSummaryGroupItemLinkClass(); }

TcxDataSummaryItems* TcxDataSummary::FooterSummaryItems() const {
  if (!footerItems_) footerItems_ = std::make_unique<TcxDataSummaryItems>(const_cast<TcxDataSummary*>(this), GetItemClass(), true);
  return footerItems_.get();
}

TcxDataSummaryItems* TcxDataSummary::DefaultGroupSummaryItems() const {
  if (!groupItems_) groupItems_ = std::make_unique<TcxDataSummaryItems>(const_cast<TcxDataSummary*>(this), GetItemClass(), false);
  return groupItems_.get();
}

TcxDataSummaryGroups* TcxDataSummary::Groups() const {
  if (!groups_) groups_ = std::make_unique<TcxDataSummaryGroups>(const_cast<TcxDataSummary*>(this));
  return groups_.get();
}

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
  std::vector<TcxDataSummaryItems*> all{FooterSummaryItems(), DefaultGroupSummaryItems()};
  for (int g = 0; g < SummaryGroupCount(); ++g) {
    TcxDataSummaryGroup* group = SummaryGroups(g);
    all.push_back(group->SummaryItems());
    for (int i = 0; i < group->LinkCount(); ++i)
      if (group->GetLinks()->ItemAt(i)->field_ == field) {
        group->GetLinks()->ItemAt(i)->field_ = nullptr;
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
  TcxDataSummaryItems* items = item->SummaryItems();
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
  std::vector<Variant> values(std::size_t(FooterSummaryItems()->Count()));
  std::vector<int> counts(values.size(), 0);
  if (!controller_->IsGridMode())
    AccumulateRange(FooterSummaryItems(), 0, int(controller_->Info()->RecordList().size()) - 1, values, counts);
  footerValues_ = FinalizeValues(FooterSummaryItems(), values, counts);
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
  TcxDataSummaryItems* items = DefaultGroupSummaryItems();
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
  if (footerValues_.IsArray() && index >= 0 && index < FooterSummaryItems()->Count()) return footerValues_.GetElement(index);
  return Null();
}

String TcxDataSummary::FooterSummaryDisplayText(int index) const {
  return FooterSummaryItems()->Items(index)->GetValueDisplayText(FooterSummaryValue(index), true);
}

TcxDataSummaryItems* TcxDataSummary::GroupSummaryItemsOfLevel(int level) const {
  if (level < 0 || level >= controller_->Groups()->GroupingLevelCount()) return nullptr;
  TObject* item = controller_->GetItem(controller_->Groups()->ItemIndexOfLevel(level));
  if (TcxDataSummaryGroup* g = GroupOfLinkedItem(item)) return g->SummaryItems();
  return DefaultGroupSummaryItems();
}

int TcxDataSummary::IndexOfGroupFooterItem(int level, TObject* item) const {
  TcxDataSummaryItems* items = GroupSummaryItemsOfLevel(level);
  if (!items || !item) return -1;
  for (int i = 0; i < items->Count(); ++i) {
    TcxDataSummaryItem* s = items->Items(i);
    if (s->Position() == spFooter && s->LinkedItem() == item) return i;
  }
  return -1;
}

// ---- summary groups and their links --------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxDataSummaryGroupItemLink)

namespace {
TcxDataSummaryGroup* GroupOfLinks(TCollection* collection) {
  auto* links = dynamic_cast<TcxDataSummaryGroupItemLinks*>(collection);
  if (!links) throw EInvalidOperation("A summary group link belongs to a summary group's links");
  return links->Group();
}
}  // namespace

TcxDataSummaryGroupItemLink::TcxDataSummaryGroupItemLink(TCollection* collection)
    : TCollectionItem(Holding((GroupOfLinks(collection), collection))), group_(GroupOfLinks(collection)) {
  collection->EndUpdate();
}

TObject* TcxDataSummaryGroupItemLink::LinkedItem() const { return field_ ? field_->Item() : nullptr; }

void TcxDataSummaryGroupItemLink::ChangeLinkedItem(TObject* item) {
  if (item == LinkedItem() && (field_ != nullptr || item == nullptr)) return;
  TcxDataSummary* summary = group_->Summary();
  TcxCustomDataField* field = item ? summary->DataController()->Fields()->FieldByItem(item) : nullptr;
  TSummaryChange change(summary);
  // An item is linked by one group at most.
  if (field)
    for (int g = 0; g < summary->SummaryGroupCount(); ++g) {
      TcxDataSummaryGroup* other = summary->SummaryGroups(g);
      for (int i = 0; i < other->LinkCount(); ++i) {
        TcxDataSummaryGroupItemLink* l = other->GetLinks()->ItemAt(i);
        if (l != this && l->field_ == field) l->field_ = nullptr;
      }
    }
  field_ = field;
}

void TcxDataSummaryGroupItemLink::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxDataSummaryGroupItemLink*>(source);
  if (!s) {
    TCollectionItem::Assign(source);
    return;
  }
  TObject* item = s->LinkedItem();
  ChangeLinkedItem(item ? group_->Summary()->DataController()->FindCorrespondingItem(item) : nullptr);
}

TcxDataSummaryGroupItemLinks::TcxDataSummaryGroupItemLinks(TcxDataSummaryGroup* group, TClass linkClass)
    : TcxCollection(linkClass), group_(group) {}

TcxDataSummaryGroupItemLinks::~TcxDataSummaryGroupItemLinks() { Clear(); }

TPersistent* TcxDataSummaryGroupItemLinks::GetOwner() const { return group_; }

void TcxDataSummaryGroupItemLinks::Update(TCollectionItem*) { group_->Summary()->Changed(false); }

int TcxDataSummaryGroupItemLinks::IndexOfLinkedItem(TObject* item) const {
  for (int i = 0; i < Count(); ++i)
    if (ItemAt(i)->LinkedItem() == item) return i;
  return -1;
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxDataSummaryGroup) {
  using G = TcxDataSummaryGroup;
  p.Object("Links", &G::GetLinks, &G::SetLinks, TCollection::StaticClass());
  p.Object("SummaryItems", &G::SummaryItems, &G::SetSummaryItems, TCollection::StaticClass());
}

namespace {
TcxDataSummary* SummaryOfGroups(TCollection* collection) {
  auto* groups = dynamic_cast<TcxDataSummaryGroups*>(collection);
  if (!groups) throw EInvalidOperation("A summary group belongs to a summary's groups");
  return groups->Summary();
}
}  // namespace

TcxDataSummaryGroup::TcxDataSummaryGroup(TCollection* collection)
    : TCollectionItem(Holding((SummaryOfGroups(collection), collection))), summary_(SummaryOfGroups(collection)) {
  items_ = std::make_unique<TcxDataSummaryItems>(summary_, summary_->GetItemClass(), false, this);
  collection->EndUpdate();
}

TcxDataSummaryGroup::~TcxDataSummaryGroup() {
  links_.reset();
  items_.reset();
}

TcxDataSummaryGroupItemLinks* TcxDataSummaryGroup::GetLinks() const {
  if (!links_)
    links_ = std::make_unique<TcxDataSummaryGroupItemLinks>(const_cast<TcxDataSummaryGroup*>(this),
                                                             summary_->GetItemLinkClass());
  return links_.get();
}

void TcxDataSummaryGroup::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxDataSummaryGroup*>(source);
  if (!s) {
    TCollectionItem::Assign(source);
    return;
  }
  TSummaryChange change(summary_);
  items_->Assign(s->items_.get());
  GetLinks()->Clear();
  for (int i = 0; i < s->LinkCount(); ++i) GetLinks()->Add()->Assign(s->GetLinks()->ItemAt(i));
}

bool TcxDataSummaryGroup::IsLinked(TObject* item) const {
  return item != nullptr && links_ && links_->IndexOfLinkedItem(item) != -1;
}

void TcxDataSummaryGroup::AddLink(TObject* item) {
  if (!item || IsLinked(item)) return;
  TSummaryChange change(summary_);
  GetLinks()->Add()->ChangeLinkedItem(item);
}

void TcxDataSummaryGroup::RemoveLink(TObject* item) {
  int i = links_ ? links_->IndexOfLinkedItem(item) : -1;
  if (i == -1 || !item) return;
  links_->Delete(i);
}

TcxDataSummaryGroups::TcxDataSummaryGroups(TcxDataSummary* summary)
    : TcxCollection(TcxDataSummaryGroup::StaticClass()), summary_(summary) {}

TcxDataSummaryGroups::~TcxDataSummaryGroups() { Clear(); }

TPersistent* TcxDataSummaryGroups::GetOwner() const { return summary_; }

void TcxDataSummaryGroups::Update(TCollectionItem*) { summary_->Changed(false); }

TcxDataSummaryGroup* TcxDataSummary::AddSummaryGroup() { return Groups()->Add(); }

void TcxDataSummary::DeleteSummaryGroup(int index) { Groups()->Delete(index); }

TcxDataSummaryGroup* TcxDataSummary::GroupOfLinkedItem(TObject* item) const {
  if (!groups_) return nullptr;
  for (int i = 0; i < groups_->Count(); ++i)
    if (groups_->SummaryGroupAt(i)->IsLinked(item)) return groups_->SummaryGroupAt(i);
  return nullptr;
}

void TcxDataSummary::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxDataSummary*>(source);
  if (src == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  TSummaryChange change(this);
  FooterSummaryItems()->Assign(src->FooterSummaryItems());
  DefaultGroupSummaryItems()->Assign(src->DefaultGroupSummaryItems());
  Groups()->Clear();
  for (int i = 0; i < src->SummaryGroupCount(); ++i) Groups()->Add()->Assign(src->SummaryGroups(i));
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
  for (int k = 0; k < Count(); ++k) {
    TcxDataSummaryItem* i = Items(k);
    if (i->Field() == field && i->Position() == position && (!checkKind || i->Kind() == kind)) return i;
  }
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
