// Pivot fields, their sub-objects, area positions and field groups.
#include <algorithm>

#include "pivotgrid/cxCustomPivotGrid.h"
#include "pivotgrid/cxCustomPivotGridInternal.h"
#include "rtl/TypInfo.h"

// ---- published properties -------------------------------------------------------------------------

namespace {
using TField_ = TcxPivotGridField;
PTypeInfo AreaType() {
  static PTypeInfo t = EnumTypeInfo("TcxPivotGridFieldArea", {"faColumn", "faRow", "faFilter", "faData"});
  return t;
}
PTypeInfo SummaryTypeType() {
  static PTypeInfo t = EnumTypeInfo("TcxPivotGridSummaryType",
                                    {"stCount", "stSum", "stMin", "stMax", "stAverage", "stStdDev", "stStdDevP",
                                     "stVariance", "stVarianceP", "stCustom"});
  return t;
}
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridFieldOptions) {
  using O = TcxPivotGridFieldOptions;
  p.Bool("Filtering", &O::Filtering, &O::SetFiltering).Default(true);
  p.Bool("Moving", &O::Moving, &O::SetMoving).Default(true);
  p.Bool("Sizing", &O::Sizing, &O::SetSizing).Default(true);
  p.Bool("Sorting", &O::Sorting, &O::SetSorting).Default(true);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridCustomTotal) {
  using C = TcxPivotGridCustomTotal;
  p.Str("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
  p.Enum("SummaryType", &C::SummaryType, &C::SetSummaryType, SummaryTypeType()).Default(stSum);
}

KORVAN_IMPLEMENT_CLASS(TcxPivotGridCustomTotalCollection)

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridSortBySummaryInfo) {
  using S = TcxPivotGridSortBySummaryInfo;
  p.Object("Field", &S::Field, &S::SetField, TcxPivotGridField::StaticClass());
  p.Enum("SummaryType", &S::SummaryType, &S::SetSummaryType, SummaryTypeType()).Default(stSum);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridFieldDataBinding) {
  using B = TcxPivotGridFieldDataBinding;
  p.Str("ValueType", &B::ValueType, &B::SetValueType).Stored(&B::IsValueTypeStored);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridField) {
  static PTypeInfo areas = SetTypeInfo("TcxPivotGridFieldAreas", AreaType());
  static PTypeInfo alignment = AlignmentTypeInfo();
  static PTypeInfo interval = EnumTypeInfo(
      "TcxPivotGridGroupInterval",
      {"giDefault", "giDate", "giDateDay", "giDateDayOfWeek", "giDateDayOfYear", "giDateWeekOfMonth",
       "giDateWeekOfYear", "giDateMonth", "giDateQuarter", "giDateYear", "giYearAge", "giMonthAge", "giWeekAge",
       "giDayAge", "giAlphabetical", "giNumeric", "giCustom"});
  static PTypeInfo sortOrder = EnumTypeInfo("TcxDataSortOrder", {"soNone", "soAscending", "soDescending"});
  static PTypeInfo variation = EnumTypeInfo("TcxPivotGridSummaryVariation", {"svNone", "svAbsolute", "svPercent"});
  static PTypeInfo totals = EnumTypeInfo("TcxPivotGridTotalsVisibility", {"tvAutomatic", "tvCustom", "tvNone"});
  p.Enum("Area", &TField_::Area, &TField_::SetArea, AreaType()).Default(faFilter);
  p.Int("AreaIndex", &TField_::AreaIndex, &TField_::SetAreaIndex).Default(-1);
  p.Set("AllowedAreas", &TField_::AllowedAreas, &TField_::SetAllowedAreas, areas)
      .Stored(&TField_::IsAllowedAreasStored);
  p.Bool("IsCaptionAssigned", &TField_::IsCaptionAssigned, &TField_::SetIsCaptionAssigned).Default(false);
  p.Str("Caption", [](const TField_* f) { return const_cast<TField_*>(f)->GetCaption(); }, &TField_::SetCaption)
      .Stored(&TField_::IsCaptionStored);
  p.Object("CustomTotals", &TField_::CustomTotals, &TField_::SetCustomTotals,
           TcxPivotGridCustomTotalCollection::StaticClass())
      .Stored(&TField_::IsCustomTotalsStored);
  p.Object("DataBinding", &TField_::DataBinding, &TField_::SetDataBinding,
           TcxPivotGridFieldDataBinding::StaticClass());
  p.Str("DisplayFormat", &TField_::DisplayFormat, &TField_::SetDisplayFormat);
  p.Object("Options", &TField_::Options, &TField_::SetOptions, TcxPivotGridFieldOptions::StaticClass());
  p.Enum("ImageAlign", &TField_::ImageAlign, &TField_::SetImageAlign, alignment).Default(taLeftJustify);
  p.Int("ImageIndex", &TField_::ImageIndex, &TField_::SetImageIndex).Default(-1);
  p.Int("GroupIndex", &TField_::GroupIndex, &TField_::SetGroupIndex).Default(-1);
  p.Bool("GroupExpanded", &TField_::StoredGroupExpanded, &TField_::SetGroupExpanded).Default(true);
  p.Enum("GroupInterval", &TField_::GroupInterval, &TField_::SetGroupInterval, interval).Default(giDefault);
  p.Int("GroupIntervalRange", &TField_::GroupIntervalRange, &TField_::SetGroupIntervalRange).Default(10);
  p.Bool("Hidden", &TField_::Hidden, &TField_::SetHidden).Default(false);
  p.Int("MinWidth", &TField_::MinWidth, &TField_::SetMinWidth).Default(20);
  p.Enum("SummaryType", &TField_::SummaryType, &TField_::SetSummaryType, SummaryTypeType()).Default(stSum);
  p.Object("SortBySummaryInfo", &TField_::SortBySummaryInfo, &TField_::SetSortBySummaryInfo,
           TcxPivotGridSortBySummaryInfo::StaticClass());
  p.Enum("SortOrder", &TField_::SortOrder, &TField_::SetSortOrder, sortOrder).Default(soNone);
  p.Enum("SummaryVariation", &TField_::SummaryVariation, &TField_::SetSummaryVariation, variation)
      .Default(svNone);
  p.Enum("TotalsVisibility", &TField_::TotalsVisibility, &TField_::SetTotalsVisibility, totals)
      .Default(tvAutomatic);
  p.Int("TopValueCount", &TField_::TopValueCount, &TField_::SetTopValueCount).Default(0);
  p.Bool("TopValueShowOthers", &TField_::TopValueShowOthers, &TField_::SetTopValueShowOthers).Default(false);
  p.Bool("Visible", &TField_::Visible, &TField_::SetVisible).Default(false);
  p.Int("Width", &TField_::Width, &TField_::SetWidth).Default(0);
}

// Groups store every value (none has a default); the caption only when assigned, since the
// composed caption read back would count as assigned.
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridFieldGroup) {
  using G = TcxPivotGridFieldGroup;
  p.Enum("Area", &G::Area, &G::SetArea, AreaType()).NoDefault();
  p.Int("AreaIndex", &G::AreaIndex, &G::SetAreaIndex).NoDefault();
  p.Bool("IsCaptionAssigned", &G::IsCaptionAssigned, &G::SetIsCaptionAssigned).NoDefault();
  p.Str("Caption", &G::Caption, &G::SetCaption).Stored(&G::IsCaptionAssigned);
  p.Bool("Visible", &G::Visible, &G::SetVisible).NoDefault();
}

KORVAN_IMPLEMENT_CLASS(TcxPivotGridFieldGroupCollection)

// ---- field options, custom totals, sort-by-summary, data binding ---------------------------------

void TcxPivotGridFieldOptions::Assign(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxPivotGridFieldOptions*>(source)) {
    for (int i = 0; i < 4; ++i) SetFlag(i, o->flags_[i]);
  } else {
    TPersistent::Assign(source);
  }
}

void TcxPivotGridFieldOptions::SetFlag(int i, bool v) {
  if (flags_[i] == v) return;
  flags_[i] = v;
  field_->Changed();
}

bool TcxPivotGridFieldOptions::CanFilter() const {
  TcxCustomPivotGrid* g = field_->PivotGrid();
  return g && g->OptionsCustomize()->Filtering() && Filtering() && field_->Area() != faData;
}

bool TcxPivotGridFieldOptions::CanSort() const {
  TcxCustomPivotGrid* g = field_->PivotGrid();
  return g && g->OptionsCustomize()->Sorting() && Sorting() &&
         (field_->Area() == faColumn || field_->Area() == faRow);
}

void TcxPivotGridCustomTotal::Assign(TPersistent* source) {
  if (auto* t = dynamic_cast<TcxPivotGridCustomTotal*>(source)) {
    SetSummaryType(t->summaryType_);
    SetDisplayFormat(t->displayFormat_);
  } else {
    TCollectionItem::Assign(source);
  }
}

void TcxPivotGridCustomTotal::SetSummaryType(TcxPivotGridSummaryType v) {
  if (summaryType_ == v) return;
  summaryType_ = v;
  Changed(true);
}

void TcxPivotGridCustomTotal::SetDisplayFormat(const String& v) {
  if (displayFormat_ == v) return;
  displayFormat_ = v;
  Changed(true);
}

TcxPivotGridCustomTotalCollection::TcxPivotGridCustomTotalCollection(TcxPivotGridField* field)
    : TCollection(TcxPivotGridCustomTotal::StaticClass()), field_(field) {}

TPersistent* TcxPivotGridCustomTotalCollection::GetOwner() const { return field_; }

void TcxPivotGridCustomTotalCollection::Update(TCollectionItem*) { field_->Changed(); }

void TcxPivotGridSortBySummaryInfo::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxPivotGridSortBySummaryInfo*>(source)) {
    field_ = s->field_;
    summaryType_ = s->summaryType_;
  } else {
    TPersistent::Assign(source);
  }
}

void TcxPivotGridSortBySummaryInfo::SetField(TcxPivotGridField* v) {
  if (field_ == v) return;
  field_ = v;
  Changed();
}

void TcxPivotGridSortBySummaryInfo::SetSummaryType(TcxPivotGridSummaryType v) {
  if (summaryType_ == v) return;
  summaryType_ = v;
  Changed();
}

bool TcxPivotGridSortBySummaryInfo::IsActive() const { return field_ && field_->Area() == faData; }

void TcxPivotGridSortBySummaryInfo::Changed() { owner_->DataChanged(); }

void TcxPivotGridFieldDataBinding::Assign(TPersistent* source) {
  if (auto* b = dynamic_cast<TcxPivotGridFieldDataBinding*>(source)) {
    if (b->valueTypeStored_) SetValueType(b->ValueType());
  } else {
    TPersistent::Assign(source);
  }
}

String TcxPivotGridFieldDataBinding::ValueType() const {
  TcxCustomPivotGrid* g = field_->PivotGrid();
  if (!g) return String();
  TcxValueTypeClass c = g->DataController()->ItemValueTypeClass(field_->Index());
  return c ? c->Caption() : String();
}

void TcxPivotGridFieldDataBinding::SetValueType(const String& caption) {
  valueTypeStored_ = true;
  TcxCustomPivotGrid* g = field_->PivotGrid();
  if (!g) return;
  g->DataController()->ChangeValueTypeClass(field_->Index(), GetValueTypeClassList().ItemByCaption(caption));
}

// ---- field ------------------------------------------------------------------------------------------

TcxPivotGridField::TcxPivotGridField(TComponent* owner) : TComponent(owner) { CreateSubClasses(); }

void TcxPivotGridField::CreateSubClasses() {
  dataBinding_.reset(CreateDataBinding());
  customTotals_ = std::make_unique<TcxPivotGridCustomTotalCollection>(this);
  filter_ = std::make_unique<TcxPivotGridFieldFilter>(this);
  options_ = std::make_unique<TcxPivotGridFieldOptions>(this);
  sortBySummaryInfo_ = std::make_unique<TcxPivotGridSortBySummaryInfo>(this);
}

TcxPivotGridFieldDataBinding* TcxPivotGridField::CreateDataBinding() { return new TcxPivotGridFieldDataBinding(this); }

void TcxPivotGridField::BeforeDestruction() {
  if (group_) group_->RemoveField(this);
  if (pivotGrid_) {
    // Other fields sorting by this one's summaries forget it.
    for (int i = 0; i < pivotGrid_->FieldCount(); ++i) {
      TcxPivotGridSortBySummaryInfo* s = pivotGrid_->Fields(i)->SortBySummaryInfo();
      if (s->field_ == this) s->field_ = nullptr;
    }
    SetPivotGrid(nullptr);
  }
  TComponent::BeforeDestruction();
}

TcxPivotGridField::~TcxPivotGridField() {
  if (group_) group_->RemoveField(this);
  if (pivotGrid_) SetPivotGrid(nullptr);
}

void TcxPivotGridField::SetPivotGrid(TcxCustomPivotGrid* grid) {
  if (pivotGrid_ == grid) return;
  if (pivotGrid_) {
    TcxCustomPivotGrid* old = pivotGrid_;
    pivotGrid_ = nullptr;
    old->RemoveField(this);
  }
  pivotGrid_ = grid;
  if (grid) grid->AddField(this);
}

TComponent* TcxPivotGridField::GetParentComponent() const { return pivotGrid_; }

void TcxPivotGridField::SetParentComponent(TComponent* c) {
  if (auto* g = dynamic_cast<TcxCustomPivotGrid*>(c)) SetPivotGrid(g);
}

int TcxPivotGridField::Index() const { return pivotGrid_ ? pivotGrid_->IndexOfField(this) : -1; }

bool TcxPivotGridField::IsLoading() const {
  return ComponentState().Contains(csLoading) || (pivotGrid_ && pivotGrid_->ComponentState().Contains(csLoading));
}

void TcxPivotGridField::Assign(TPersistent* source) {
  auto* f = dynamic_cast<TcxPivotGridField*>(source);
  if (!f) return;
  allowedAreas_ = f->allowedAreas_;
  SetArea(f->area_);
  SetAreaIndex(f->areaIndex_);
  SetCaption(f->GetCaption());
  customTotals_->Assign(f->customTotals_.get());
  dataBinding_->Assign(f->dataBinding_.get());
  SetDisplayFormat(f->displayFormat_);
  SetGroupExpanded(f->groupExpanded_);
  SetGroupInterval(f->groupInterval_);
  SetGroupIntervalRange(f->groupIntervalRange_);
  SetHidden(f->hidden_);
  SetMinWidth(f->minWidth_);
  SetImageAlign(f->imageAlign_);
  SetImageIndex(f->imageIndex_);
  options_->Assign(f->options_.get());
  sortBySummaryInfo_->Assign(f->sortBySummaryInfo_.get());
  DataChanged();
  SetSortOrder(f->sortOrder_);
  SetSummaryType(f->summaryType_);
  SetSummaryVariation(f->summaryVariation_);
  SetTopValueCount(f->topValueCount_);
  SetTopValueShowOthers(f->topValueShowOthers_);
  SetTotalsVisibility(f->totalsVisibility_);
  SetWidth(f->width_);
}

bool TcxPivotGridField::CanMove() { return options_->Moving() && pivotGrid_ && pivotGrid_->OptionsCustomize()->Moving(); }

bool TcxPivotGridField::CanResize() { return options_->Sizing() && pivotGrid_ && pivotGrid_->OptionsCustomize()->Sizing(); }

void TcxPivotGridField::Changed() {
  if (pivotGrid_) pivotGrid_->LayoutChanged();
}

void TcxPivotGridField::DataChanged() {
  if (pivotGrid_) pivotGrid_->DataChanged();
}

void TcxPivotGridField::DoCalculateCustomSummary(TcxPivotGridCrossCellSummary* summary) {
  if (OnCalculateCustomSummary) OnCalculateCustomSummary(this, summary);
}

void TcxPivotGridField::DoGetGroupValue(const Variant& value, int recordIndex, Variant& result) {
  result = value;
  if (OnGetGroupValue) OnGetGroupValue(this, recordIndex, result);
}

void TcxPivotGridField::DoGetGroupValueDisplayText(const Variant& value, String& text) {
  text = VarToStr(value);
  if (OnGetGroupValueDisplayText) OnGetGroupValueDisplayText(this, value, text);
}

bool TcxPivotGridField::IsCurrencyValueType(TcxValueTypeClass c) {
  return c == TcxCurrencyValueType::Class() || c == TcxFMTBcdValueType::Class();
}

String TcxPivotGridField::GetDisplayFormat() { return displayFormat_; }

String TcxPivotGridField::GetCaption() { return isCaptionAssigned_ ? caption_ : Name(); }

void TcxPivotGridField::ItemExpandingChanged(TcxPivotGridGroupItem* item) {
  if (!pivotGrid_ || !pivotGrid_->OptionsData()->SaveExpanding()) return;
  if (item->HasExpandedChildren())
    collapsedValues_.Remove(item->Value());
  else
    collapsedValues_.AddUnique(item->Value());
}

bool TcxPivotGridField::GetStoredProperties(std::vector<String>& list) {
  for (const char* n : {"SortOrder", "GroupExpanded", "Visible", "Width", "Area", "AreaIndex"}) list.push_back(n);
  return true;
}

Variant TcxPivotGridField::GetStoredPropertyValue(const String&) {
  throw EcxPivotGrid(cxPivotGridResText("Not implemented yet!"));
}

void TcxPivotGridField::SetStoredPropertyValue(const String&, const Variant&) {
  throw EcxPivotGrid(cxPivotGridResText("Not implemented yet!"));
}

String TcxPivotGridField::GetObjectName() {
  if (!Name().empty()) return Name();
  return String(ClassType()->ClassName()) + std::to_string(Index());
}

int TcxPivotGridField::GetActualWidth() { return std::max(minWidth_, width_ == 0 ? 105 : width_); }

void TcxPivotGridField::HeaderClick() {
  // Only a click that started on the header (still pressed) sorts.
  if (GetHeaderViewInfo()->State != cxbsPressed) return;
  if (!options_->CanSort() || (pivotGrid_ && pivotGrid_->InDesignMode())) {
    SetHeaderState(cxbsNormal);
    return;
  }
  PushHourglassCursor();
  struct TPop {
    ~TPop() { PopHourglassCursor(); }
  } pop;
  SetSortOrder(sortOrder_ == soDescending ? soAscending : soDescending);
}

TcxPivotGridFieldHeaderCellViewInfo* TcxPivotGridField::GetHeaderViewInfo() {
  if (!headerCell_) headerCell_ = std::make_unique<TcxPivotGridFieldHeaderCellViewInfo>(this);
  return headerCell_.get();
}

void TcxPivotGridField::SetHeaderState(TcxButtonState state) { GetHeaderViewInfo()->SetState(state, pivotGrid_); }

int TcxPivotGridField::GetGroupImageIndex(TcxPivotGridViewDataItem* item, TAlignment& alignHorz,
                                          TcxAlignmentVert& alignVert) {
  if (!pivotGrid_ || !pivotGrid_->GroupHeaderImages() || !OnGetGroupImageIndex) return -1;
  alignHorz = taLeftJustify;
  alignVert = vaTop;
  int index = -1;
  OnGetGroupImageIndex(this, item, index, alignHorz, alignVert);
  if (index < 0 || index >= pivotGrid_->GroupHeaderImages()->Count()) index = -1;
  return index;
}

// ---- setters -----------------------------------------------------------------------------------------

void TcxPivotGridField::SetCaption(const String& v) {
  if (v == GetCaption()) return;
  caption_ = v;
  isCaptionAssigned_ = true;
  Changed();
}

void TcxPivotGridField::SetDisplayFormat(const String& v) {
  if (displayFormat_ == v) return;
  displayFormat_ = v;
  Changed();
}

void TcxPivotGridField::SetGroupExpanded(bool v) {
  if (groupExpanded_ == v) return;
  groupExpanded_ = v;
  DataChanged();
}

bool TcxPivotGridField::GroupExpanded() const {
  if (!group_) return groupExpanded_;
  TcxPivotGridField* next = group_->NextField(this);
  return groupExpanded_ && next && next->Visible();
}

void TcxPivotGridField::SetGroupInterval(TcxPivotGridGroupInterval v) {
  if (groupInterval_ == v) return;
  groupInterval_ = v;
  uniqueValuesValid_ = false;
  DataChanged();
}

void TcxPivotGridField::SetGroupIntervalRange(int v) {
  v = std::max(1, v);
  if (groupIntervalRange_ == v) return;
  groupIntervalRange_ = v;
  uniqueValuesValid_ = false;
  DataChanged();
}

void TcxPivotGridField::SetHidden(bool v) {
  if (hidden_ == v) return;
  hidden_ = v;
  Changed();
}

void TcxPivotGridField::SetImageAlign(TAlignment v) {
  if (imageAlign_ == v) return;
  imageAlign_ = v;
  Changed();
}

bool TcxPivotGridField::IsAllowedAreasStored() const {
  return allowedAreas_ != TcxPivotGridFieldAreas{faColumn, faRow, faFilter, faData};
}

bool TcxPivotGridField::IsCustomTotalsStored() const { return customTotals_->Count() > 0; }

void TcxPivotGridField::SetCustomTotals(TcxPivotGridCustomTotalCollection* v) { customTotals_->Assign(v); }

void TcxPivotGridField::SetDataBinding(TcxPivotGridFieldDataBinding* v) { dataBinding_->Assign(v); }

void TcxPivotGridField::SetOptions(TcxPivotGridFieldOptions* v) { options_->Assign(v); }

void TcxPivotGridField::SetSortBySummaryInfo(TcxPivotGridSortBySummaryInfo* v) {
  sortBySummaryInfo_->Assign(v);
  DataChanged();
}

void TcxPivotGridField::SetImageIndex(int v) {
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  Changed();
}

void TcxPivotGridField::SetMinWidth(int v) {
  v = std::max(0, v);
  if (minWidth_ == v) return;
  minWidth_ = v;
  SetWidth(width_);
  Changed();
}

void TcxPivotGridField::SetWidth(int v) {
  if (v != 0) v = std::max(v, minWidth_);
  if (width_ == v) return;
  width_ = v;
  Changed();
}

#define CX_PIVOT_DATA_SETTER(Name, Type, member) \
  void TcxPivotGridField::Set##Name(Type v) {    \
    if (member == v) return;                     \
    member = v;                                  \
    DataChanged();                               \
  }
CX_PIVOT_DATA_SETTER(SortOrder, TcxDataSortOrder, sortOrder_)
CX_PIVOT_DATA_SETTER(SummaryType, TcxPivotGridSummaryType, summaryType_)
CX_PIVOT_DATA_SETTER(SummaryVariation, TcxPivotGridSummaryVariation, summaryVariation_)
CX_PIVOT_DATA_SETTER(TotalsVisibility, TcxPivotGridTotalsVisibility, totalsVisibility_)
CX_PIVOT_DATA_SETTER(TopValueCount, int, topValueCount_)
CX_PIVOT_DATA_SETTER(TopValueShowOthers, bool, topValueShowOthers_)
#undef CX_PIVOT_DATA_SETTER

void TcxPivotGridField::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  if (areaIndex_ == -1) SetAreaIndex(cxPivotGridMaxIndex);
  DataChanged();
}

// ---- positions ---------------------------------------------------------------------------------------

bool TcxPivotGridField::IsGroupLeader() const {
  return pivotGrid_ && (!group_ || group_->Fields(0) == this);
}

bool TcxPivotGridField::IsShownInView() const {
  return visible_ && (!group_ || group_->IsFieldVisibleInGroup(this));
}

void TcxPivotGridField::SetArea(TcxPivotGridFieldArea v) {
  if (!allowedAreas_.Contains(v)) v = area_;
  if (!IsGroupLeader() || area_ == v) return;
  area_ = v;
  if (group_) group_->SetFieldsArea(v);
  SetAreaIndex(cxPivotGridMaxIndex);
  DataChanged();
}

void TcxPivotGridField::SetAreaIndex(int v) {
  v = std::max(-1, v);
  if (!IsGroupLeader()) return;
  if (group_ && headerAreaIndex_ >= 0 && headerAreaIndex_ < v)
    v = std::max(0, v - (group_->VisibleCount() - 1));
  if (IsLoading()) {
    areaIndex_ = v;
  } else if (v == -1) {
    areaIndex_ = -1;
  } else {
    int index = v;
    if (!pivotGrid_->ChangeFieldPosition(this, area_, index)) areaIndex_ = index;
  }
  collapsedValues_.Clear();
  DataChanged();
}

void TcxPivotGridField::SetAreaPosition(TcxPivotGridFieldArea area, int index) {
  bool wasVisible = visible_;
  if (area == area_ && headerAreaIndex_ >= 0 && headerAreaIndex_ < index && index > 0 && wasVisible) --index;
  InGridUpdate(pivotGrid_, [&] {
    visible_ = true;
    if (group_ && group_->AreaIndex() != areaIndex_) {
      group_->Fields(0)->SetAreaPosition(area, index);
    } else if (group_) {
      if ((area != group_->Area() || !wasVisible) && headerAreaIndex_ >= 0 && headerAreaIndex_ < index)
        index += group_->VisibleCount() - 1;
      group_->SetFieldsArea(area);
      group_->SetAreaIndex(index);
    } else {
      area_ = area;
      SetAreaIndex(index);
    }
    if (pivotGrid_) pivotGrid_->DataChanged();
  });
}

int TcxPivotGridField::GroupIndex() const { return group_ ? group_->Index() : -1; }

void TcxPivotGridField::SetGroupIndex(int v) {
  if (!pivotGrid_) return;
  v = std::clamp(v, -1, pivotGrid_->Groups()->Count() - 1);
  SetGroup(v < 0 ? nullptr : pivotGrid_->Groups()->Items(v));
}

void TcxPivotGridField::SetGroup(TcxPivotGridFieldGroup* g) {
  if (group_ == g) return;
  InGridUpdate(pivotGrid_, [&] {
    if (group_) group_->RemoveField(this);
    group_ = g;
    if (g) g->AddField(this);
    Changed();
  });
}

// ---- the grid's renumbering ------------------------------------------------------------------------

namespace {

struct TFieldPosition {
  int AreaIndex;
  TObject* Target;  // a field, or nullptr for the data header
  TcxPivotGridField* Field;
  int FieldIndex;
  bool Visible;
  TcxPivotGridFieldGroup* Group;
};

}  // namespace

bool TcxCustomPivotGrid::ChangeFieldPosition(TObject* object, TcxPivotGridFieldArea area, int& index) {
  if (ComponentState().Contains(csLoading)) return false;
  auto* moving = dynamic_cast<TcxPivotGridField*>(object);
  auto makePosition = [&](TcxPivotGridField* f) {
    if (f) return TFieldPosition{f->AreaIndex(), f, f, IndexOfField(f), f->Visible(), f->Group()};
    int ai = optionsDataField_->AreaIndex();
    return TFieldPosition{ai == -1 ? cxPivotGridMaxIndex : ai, nullptr, nullptr, cxPivotGridMaxIndex, true, nullptr};
  };
  TFieldPosition self = makePosition(moving);
  std::vector<TFieldPosition> list;
  for (auto* f : fields_) {
    if (f == moving || !f->IsGroupLeader() || f->Area() != area) continue;
    if (moving && moving->Group() && f->Group() == moving->Group()) continue;
    list.push_back(makePosition(f));
  }
  if (moving && optionsDataField_->IsInArea(area)) list.push_back(makePosition(nullptr));
  std::stable_sort(list.begin(), list.end(), [](const TFieldPosition& a, const TFieldPosition& b) {
    if (a.AreaIndex != b.AreaIndex) return a.AreaIndex < b.AreaIndex;
    return a.FieldIndex < b.FieldIndex;
  });
  if (index != cxPivotGridMaxIndex) {
    // From a count of shown headers to a list position.
    for (int i = 0; i < int(list.size()) && i < index; ++i) {
      if (!list[std::size_t(i)].Visible)
        ++index;
      else if (list[std::size_t(i)].Group)
        index -= list[std::size_t(i)].Group->VisibleCount() - 1;
    }
  }
  index = std::max(0, index);
  if (index >= int(list.size()))
    list.push_back(self);
  else
    list.insert(list.begin() + index, self);
  int counter = 0;
  for (auto& p : list) {
    if (!p.Field) {
      optionsDataField_->StoreAreaIndex(counter);
    } else if (p.Field->Group() && p.Field->Group()->Fields(0) == p.Field) {
      TcxPivotGridFieldGroup* g = p.Field->Group();
      for (int i = 0; i < g->FieldCount(); ++i) g->Fields(i)->StoreAreaIndex(counter + i);
      counter += g->FieldCount() - 1;
    } else {
      p.Field->StoreAreaIndex(counter);
    }
    ++counter;
  }
  return true;
}

// ---- field groups --------------------------------------------------------------------------------------

TcxPivotGridFieldGroup::~TcxPivotGridFieldGroup() {
  auto* c = dynamic_cast<TcxPivotGridFieldGroupCollection*>(Collection());
  if (c && !c->Destroying() && c->PivotGrid() && !c->PivotGrid()->IsDestroying())
    Clear();
  else
    for (auto* f : fields_) f->StoreGroup(nullptr);
}

TcxCustomPivotGrid* TcxPivotGridFieldGroup::PivotGrid() const {
  auto* c = dynamic_cast<TcxPivotGridFieldGroupCollection*>(Collection());
  return c ? c->PivotGrid() : nullptr;
}

void TcxPivotGridFieldGroup::Changed() {
  TCollectionItem::Changed(true);
  if (PivotGrid()) PivotGrid()->DataChanged();
}

int TcxPivotGridFieldGroup::IndexOf(const TcxPivotGridField* f) const {
  auto it = std::find(fields_.begin(), fields_.end(), f);
  return it == fields_.end() ? -1 : int(it - fields_.begin());
}

void TcxPivotGridFieldGroup::AddField(TcxPivotGridField* field) {
  if (IndexOf(field) >= 0) return;
  InGridUpdate(PivotGrid(), [&] {
    TcxPivotGridFieldArea area = fields_.empty() ? field->Area() : Area();
    fields_.push_back(field);
    field->StoreGroup(this);
    field->StoreArea(area);
    if (!field->IsLoading()) SetAreaIndex(std::max(0, AreaIndex()));
    Changed();
  });
}

void TcxPivotGridFieldGroup::RemoveField(TcxPivotGridField* field) {
  int i = IndexOf(field);
  if (i < 0) return;
  InGridUpdate(PivotGrid(), [&] {
    int start = AreaIndex();
    int count = FieldCount();
    field->StoreGroup(nullptr);
    fields_.erase(fields_.begin() + i);
    if (i > 0 && i < count - 1 && field->PivotGrid() && !field->PivotGrid()->IsDestroying()) {
      field->SetAreaIndex(start + count - 1);
      for (int k = i; k < FieldCount(); ++k) fields_[std::size_t(k)]->StoreAreaIndex(start + k);
    }
    Changed();
  });
}

void TcxPivotGridFieldGroup::Clear() {
  InGridUpdate(PivotGrid(), [&] {
    while (!fields_.empty()) RemoveField(fields_.back());
  });
}

TcxPivotGridFieldArea TcxPivotGridFieldGroup::Area() const { return fields_.empty() ? faFilter : fields_[0]->Area(); }

void TcxPivotGridFieldGroup::SetArea(TcxPivotGridFieldArea v) {
  if (!fields_.empty() && fields_[0]->Area() != v) fields_[0]->SetArea(v);
}

int TcxPivotGridFieldGroup::AreaIndex() const { return fields_.empty() ? -1 : fields_[0]->AreaIndex(); }

void TcxPivotGridFieldGroup::SetAreaIndex(int v) {
  if (fields_.empty()) return;
  TcxCustomPivotGrid* g = PivotGrid();
  if (!g || fields_[0]->IsLoading()) {
    for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i]->StoreAreaIndex(v + int(i));
    return;
  }
  int index = v;
  g->ChangeFieldPosition(fields_[0], Area(), index);
  for (auto* f : fields_) f->collapsedValues_.Clear();
  g->DataChanged();
}

void TcxPivotGridFieldGroup::SetFieldsArea(TcxPivotGridFieldArea v) {
  for (auto* f : fields_) f->StoreArea(v);
}

void TcxPivotGridFieldGroup::AssignAreaIndexes(int& start) {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    fields_[i]->StoreArea(Area());
    fields_[i]->StoreAreaIndex(start + int(i));
  }
  start += FieldCount() - 1;
}

bool TcxPivotGridFieldGroup::Visible() const { return !fields_.empty() && fields_[0]->Visible(); }

void TcxPivotGridFieldGroup::SetVisible(bool v) {
  if (fields_.empty() || Visible() == v) return;
  fields_[0]->SetVisible(v);
  Changed();
}

String TcxPivotGridFieldGroup::Caption() const {
  if (isCaptionAssigned_) return caption_;
  String s;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (i > 0 && !fields_[i]->Visible()) continue;
    if (!s.empty() || i > 0) s += "-";
    s += fields_[i]->Caption();
  }
  return s;
}

void TcxPivotGridFieldGroup::SetCaption(const String& v) {
  if (caption_ == v && isCaptionAssigned_) return;
  caption_ = v;
  isCaptionAssigned_ = true;
  Changed();
}

bool TcxPivotGridFieldGroup::IsFieldVisibleInGroup(const TcxPivotGridField* field) const {
  for (auto* f : fields_) {
    if (!f->Visible()) return false;
    if (f == field) return true;
    if (!f->groupExpanded_) return false;
  }
  return false;
}

int TcxPivotGridFieldGroup::VisibleCount() const {
  int n = 0;
  for (auto* f : fields_) {
    if (!IsFieldVisibleInGroup(f)) break;
    ++n;
  }
  return n;
}

TcxPivotGridField* TcxPivotGridFieldGroup::NextField(const TcxPivotGridField* field) const {
  int i = IndexOf(field);
  return i >= 0 && i + 1 < FieldCount() ? fields_[std::size_t(i + 1)] : nullptr;
}

bool TcxPivotGridFieldGroup::HasNoVisibleFieldAfter(const TcxPivotGridField* field) const {
  int i = IndexOf(field);
  if (i < 0) return true;
  for (int k = i + 1; k < FieldCount(); ++k)
    if (fields_[std::size_t(k)]->Visible()) return false;
  return true;
}

TcxPivotGridFieldGroupCollection::TcxPivotGridFieldGroupCollection(TcxCustomPivotGrid* grid)
    : TCollection(TcxPivotGridFieldGroup::StaticClass()), grid_(grid) {}

TcxPivotGridFieldGroupCollection::~TcxPivotGridFieldGroupCollection() {
  destroying_ = true;
  Clear();
}

TPersistent* TcxPivotGridFieldGroupCollection::GetOwner() const { return grid_; }

void TcxPivotGridFieldGroupCollection::Update(TCollectionItem* item) {
  TCollection::Update(item);
  if (grid_ && !destroying_) grid_->DataChanged();
}

bool TcxPivotGridFieldGroupCollection::AllowsPosition() {
  for (int i = 0; i < Count(); ++i)
    if (!Items(i)->AllowsPosition()) return false;
  return true;
}

void TcxPivotGridFieldGroupCollection::Loaded() {
  for (int i = 0; i < Count(); ++i) {
    TcxPivotGridFieldGroup* g = Items(i);
    std::stable_sort(g->fields_.begin(), g->fields_.end(),
                     [](TcxPivotGridField* a, TcxPivotGridField* b) { return a->AreaIndex() < b->AreaIndex(); });
    int start = g->AreaIndex();
    g->AssignAreaIndexes(start);
  }
}
