#include "editors-extra/cxFilterControl.h"

#include <algorithm>
#include <map>

#include "editors-extra/cxFilterControlStrs.h"
#include "editors/cxTextEdit.h"

namespace {

constexpr TcxFilterControlOperator fcoEqual = 1, fcoNotEqual = 2, fcoBlank = 9, fcoNotBlank = 10,
                                   fcoBetween = 11, fcoNotBetween = 12, fcoInList = 13,
                                   fcoNotInList = 14;

bool IsPairOperator(TcxFilterControlOperator op) { return op == fcoBetween || op == fcoNotBetween; }
bool IsListOperator(TcxFilterControlOperator op) { return op == fcoInList || op == fcoNotInList; }

const TcxResourceStringRec* const kBoolOperatorTexts[4] = {
    &cxSFilterBoolOperatorAnd, &cxSFilterBoolOperatorOr, &cxSFilterBoolOperatorNotAnd,
    &cxSFilterBoolOperatorNotOr};

// The text a value is written with: "blank" for Null.
String StoredText(const TcxValueInfo& value) {
  return VarIsNull(value.Value) ? FilterValueDisplayText(value.Value) : value.ValueText;
}

}  // namespace

// ---- working criteria ---------------------------------------------------------------------------

Integer TcxFilterControlCriteriaItem::LinkIndex() {
  auto* criteria = static_cast<TcxFilterControlCriteria*>(Criteria());
  if (!criteria || !criteria->Control() || !criteria->Control()->HasItems()) return -1;
  return criteria->Control()->ItemIndexOf(ItemLink());
}

void TcxFilterControlCriteriaItem::GetDataValue(Pointer, Variant& v) { v = Null(); }

void TcxFilterControlCriteriaItem::GetFieldCaption(String& s) {
  Integer index = LinkIndex();
  s = index < 0 ? String() : static_cast<TcxFilterControlCriteria*>(Criteria())
                                 ->Control()->Link()->GetCaption(index);
}

void TcxFilterControlCriteriaItem::GetFieldName(String& s) {
  Integer index = LinkIndex();
  s = index < 0 ? String() : static_cast<TcxFilterControlCriteria*>(Criteria())
                                 ->Control()->Link()->GetFieldName(index);
}

TcxFilterControlCriteria::TcxFilterControlCriteria(TcxFilterControlModel* control)
    : control_(control) {
  SetFormatVersion(3);
}

Integer TcxFilterControlCriteria::GetIDByItemLink(TObject* link) {
  return control_->HasItems() ? control_->ItemIndexOf(link) : -1;
}

void TcxFilterControlCriteria::GetNameByItemLink(TObject* link, String& s) {
  Integer index = GetIDByItemLink(link);
  s = index < 0 ? String() : control_->Link()->GetItemLinkName(index);
}

TObject* TcxFilterControlCriteria::GetItemLinkByID(Integer id) {
  if (!control_->HasItems() || id < 0 || id >= control_->Link()->GetCount()) return nullptr;
  return control_->Link()->GetItemLink(id);
}

TObject* TcxFilterControlCriteria::GetItemLinkByName(const String& name) {
  if (!control_->HasItems()) return nullptr;
  for (Integer i = 0; i < control_->Link()->GetCount(); ++i)
    if (AnsiCompareText(control_->Link()->GetItemLinkName(i), name) == 0)
      return control_->Link()->GetItemLink(i);
  return nullptr;
}

TcxFilterCriteriaItemClass TcxFilterControlCriteria::GetItemClass() {
  return &CreateFilterCriteriaItem<TcxFilterControlCriteriaItem>;
}

// ---- rows ---------------------------------------------------------------------------------------

TcxCustomRowViewInfo::TcxCustomRowViewInfo(TcxFilterControlModel* control, TcxGroupViewInfo* parent,
                                           TcxCustomFilterCriteriaItem* criteria_item)
    : control_(control), parent_(parent), criteriaItem_(criteria_item) {}

String TcxCustomRowViewInfo::ButtonText() const {
  return parent_ ? String("...") : LoadReplaceableResString(cxSFilterRootButtonCaption);
}

bool TcxCustomRowViewInfo::IsLast() const {
  return !parent_ || (parent_->RowCount() > 0 && parent_->Rows(parent_->RowCount() - 1) == this);
}

Integer TcxCustomRowViewInfo::Level() const {
  Integer level = 0;
  for (TcxGroupViewInfo* p = parent_; p; p = p->Parent()) ++level;
  return level;
}

TcxGroupViewInfo::TcxGroupViewInfo(TcxFilterControlModel* control, TcxGroupViewInfo* parent,
                                   TcxFilterCriteriaItemList* criteria_group)
    : TcxCustomRowViewInfo(control, parent, criteria_group),
      boolOperator_(criteria_group ? criteria_group->BoolOperatorKind() : fboAnd) {}

String TcxGroupViewInfo::BoolOperatorText() const {
  return LoadReplaceableResString(*kBoolOperatorTexts[boolOperator_]);
}

String TcxGroupViewInfo::Caption() const {
  return LoadReplaceableResString(Parent() ? cxSFilterGroupCaption : cxSFilterRootGroupCaption);
}

TcxCustomRowViewInfo* TcxGroupViewInfo::Add(std::unique_ptr<TcxCustomRowViewInfo> row) {
  rows_.push_back(std::move(row));
  return rows_.back().get();
}

void TcxGroupViewInfo::Remove(TcxCustomRowViewInfo* row) {
  std::erase_if(rows_, [row](const auto& r) { return r.get() == row; });
}

TcxConditionViewInfo::TcxConditionViewInfo(TcxFilterControlModel* control, TcxGroupViewInfo* parent,
                                           TcxFilterCriteriaItem* criteria_item)
    : TcxCustomRowViewInfo(control, parent, criteria_item) {
  if (!criteria_item) {
    SetItemIndex(-1);
    return;
  }
  itemLink_ = criteria_item->ItemLink();
  itemIndex_ = control->ItemIndexOf(itemLink_);
  if (!control->HasItems() || itemIndex_ < 0 || itemIndex_ >= control->Link()->GetCount())
    RaiseFilterControlError(LoadReplaceableResString(cxSFilterErrorBuilding));
  itemText_ = control->Link()->GetCaption(itemIndex_);
  operator_ = ToFilterControlOperator(criteria_item->OperatorKind(),
                                      control->Criteria()->IsNull(criteria_item->Value()));
  const Variant& value = criteria_item->Value();
  if (operator_ >= fcoBetween && operator_ <= fcoNotInList && value.IsArray()) {
    const String& text = criteria_item->DisplayValue();
    int position = 1;
    for (Integer i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i) {
      String token;
      NextFilterListToken(text, position, token);
      AddValue(value.GetElement(i), token);
    }
  } else {
    AddValue(value, criteria_item->DisplayValue());
  }
  PrepareEditor();
}

bool TcxConditionViewInfo::HasValues() const {
  return operator_ != fcoBlank && operator_ != fcoNotBlank && operator_ <= fcoNotInList;
}

TcxCustomEditProperties* TcxConditionViewInfo::ItemProperties() const {
  IcxFilterControl* link = Control()->HasItems() ? Control()->Link() : nullptr;
  const bool valid = link && itemIndex_ >= 0 && itemIndex_ < link->GetCount();
  TcxCustomEditProperties* properties = valid ? link->GetProperties(itemIndex_) : nullptr;
  return properties ? properties : Control()->GetDefaultProperties();
}

namespace {

// The properties class of an editor class, asked once of a passing editor.
TClass EditPropertiesClass(TClass edit_class) {
  static std::map<TClass, TClass> known;
  auto it = known.find(edit_class);
  if (it != known.end()) return it->second;
  std::unique_ptr<TcxCustomEdit> sample(static_cast<TcxCustomEdit*>(edit_class->Create(nullptr)));
  return known[edit_class] = sample->Properties()->ClassType();
}

}  // namespace

void TcxConditionViewInfo::PrepareEditor() {
  properties_.reset();
  editData_ = nullptr;
  IcxFilterControl* link = Control()->HasItems() ? Control()->Link() : nullptr;
  const bool valid = link && itemIndex_ >= 0 && itemIndex_ < link->GetCount();
  TcxCustomEditProperties* properties = valid ? link->GetProperties(itemIndex_) : nullptr;
  helperClass_ = properties ? FilterEditsController()->LookupHelper(properties->ClassType()) : nullptr;
  if (!helperClass_) helperClass_ = TcxFilterTextEditHelper::StaticClass();
  const TcxCustomFilterEditHelper* helper = FilterEditHelper(helperClass_);
  if (TcxCustomEditProperties* source = ItemProperties()) {
    const TClass edit_class = helper->ValueEditClass();
    properties_.reset(edit_class ? static_cast<TcxCustomEditProperties*>(
                                       EditPropertiesClass(edit_class)->Create(nullptr))
                                 : source->CreateInstance());
    helper->PrepareFilterProperties(properties_.get(), source, true);
  }
  valueType_ = valid ? link->GetValueType(itemIndex_) : nullptr;
  helper->SupportedOperators(properties, valueType_, supported_, true);
  Control()->RemoveUnsupportedOperators(supported_);
}

void TcxConditionViewInfo::SetItemIndex(Integer index) {
  if (index != -1 && index == itemIndex_) return;
  if (index == -1) index = Control()->FirstItemIndex();
  Control()->ItemPropertiesChanging(this);
  itemIndex_ = index;
  const bool valid = Control()->HasItems() && index < Control()->Link()->GetCount();
  itemLink_ = valid ? Control()->Link()->GetItemLink(index) : nullptr;
  itemText_ = valid ? Control()->Link()->GetCaption(index) : String();
  PrepareEditor();
  if (std::find(supported_.begin(), supported_.end(), fcoLike) != supported_.end())
    operator_ = fcoLike;
  else
    operator_ = supported_.empty() ? 0 : *std::min_element(supported_.begin(), supported_.end());
  ResetValues();
}

void TcxConditionViewInfo::ResetValues() {
  values_.clear();
  AddValue();
  if (IsPairOperator(operator_)) AddValue();
}

void TcxConditionViewInfo::SetOperator(TcxFilterControlOperator value, bool keep) {
  operator_ = value;
  if (!keep || !HasValues()) {
    ResetValues();
    return;
  }
  std::size_t needed = IsPairOperator(value) ? 2 : 1;
  if (!IsListOperator(value) && values_.size() > needed) values_.resize(needed);
  while (values_.size() < needed) AddValue();
}

void TcxConditionViewInfo::AddValue(const Variant& value, const String& text) {
  values_.push_back({value, text, TRect(), nullptr});
}

void TcxConditionViewInfo::RemoveValue(Integer index) {
  const std::size_t needed = IsPairOperator(operator_) ? 2 : 1;
  if (index < 0 || std::size_t(index) >= values_.size() || values_.size() <= needed) return;
  values_.erase(values_.begin() + index);
}

// ---- the model ----------------------------------------------------------------------------------

TcxFilterControlModel::TcxFilterControlModel(IcxFilterControl* link)
    : link_(link), criteria_(std::make_unique<TcxFilterControlCriteria>(this)) {
  ResetRows();
}

TcxFilterControlModel::~TcxFilterControlModel() {
  // Rows may refer to criteria items; they go first.
  rowList_.clear();
  root_.reset();
}

bool TcxFilterControlModel::HasItems() const { return link_ && link_->GetCount() > 0; }

Integer TcxFilterControlModel::ItemIndexOf(TObject* link) const {
  if (!link_) return -1;
  for (Integer i = 0; i < link_->GetCount(); ++i)
    if (link_->GetItemLink(i) == link) return i;
  return -1;
}

Integer TcxFilterControlModel::FirstItemIndex() const {
  if (!sortItems_ || !HasItems()) return 0;
  // Among captions that compare equal the lowest index wins.
  Integer first = 0;
  String first_caption = link_->GetCaption(0);
  for (Integer i = 1; i < link_->GetCount(); ++i) {
    String caption = link_->GetCaption(i);
    if (AnsiCompareText(caption, first_caption) < 0) {
      first = i;
      first_caption = caption;
    }
  }
  return first;
}

void TcxFilterControlModel::RemoveUnsupportedOperators(TcxFilterControlOperators& operators) {
  if (criteria_->SupportedLike()) return;
  std::erase_if(operators, [](TcxFilterControlOperator op) { return op == fcoLike || op == fcoNotLike; });
}

void TcxFilterControlModel::ResetRows() {
  rowList_.clear();
  root_ = std::make_unique<TcxGroupViewInfo>(this, nullptr, nullptr);
  rowList_.push_back(root_.get());
}

void TcxFilterControlModel::Clear() {
  ResetRows();
  RowsReset();
  criteria_->RemoveAllItems();
  criteria_->Root()->ChangeBoolOperator(fboAnd);
}

void TcxFilterControlModel::RebuildRowList() {
  rowList_.clear();
  auto walk = [this](auto&& self, TcxGroupViewInfo* group) -> void {
    rowList_.push_back(group);
    for (Integer i = 0; i < group->RowCount(); ++i) {
      TcxCustomRowViewInfo* row = group->Rows(i);
      if (row->IsGroup())
        self(self, static_cast<TcxGroupViewInfo*>(row));
      else
        rowList_.push_back(row);
    }
  };
  walk(walk, root_.get());
}

void TcxFilterControlModel::AddGroupRows(TcxGroupViewInfo* row, TcxFilterCriteriaItemList* group) {
  for (int i = 0; i < group->ItemCount(); ++i) {
    TcxCustomFilterCriteriaItem* item = group->Items(i);
    if (item->IsItemList()) {
      auto* child = static_cast<TcxFilterCriteriaItemList*>(item);
      auto* child_row = static_cast<TcxGroupViewInfo*>(
          row->Add(std::make_unique<TcxGroupViewInfo>(this, row, child)));
      AddGroupRows(child_row, child);
    } else {
      row->Add(std::make_unique<TcxConditionViewInfo>(this, row,
                                                      static_cast<TcxFilterCriteriaItem*>(item)));
    }
  }
}

void TcxFilterControlModel::BuildViewFromCriteria() {
  // A criteria item the link does not list fails the whole rebuild: the rows stay as they were.
  std::unique_ptr<TcxGroupViewInfo> old_root = std::move(root_);
  std::vector<TcxCustomRowViewInfo*> old_list = std::move(rowList_);
  try {
    ResetRows();
    root_->SetBoolOperator(criteria_->Root()->BoolOperatorKind());
    AddGroupRows(root_.get(), criteria_->Root());
  } catch (...) {
    root_ = std::move(old_root);
    rowList_ = std::move(old_list);
    throw;
  }
  RebuildRowList();
  old_list.clear();
  old_root.reset();
  RowsReset();
}

bool TcxFilterControlModel::AllRowsReady() const {
  return std::all_of(rowList_.begin(), rowList_.end(), [](auto* row) { return row->IsReady(); });
}

void TcxFilterControlModel::AddConditionCriteria(TcxConditionViewInfo* row,
                                                 TcxFilterCriteriaItemList* group) {
  const TcxFilterControlOperator op = row->Operator();
  const auto kind = TcxFilterOperatorKind(ToDataFilterOperator(op));
  const auto& values = row->Values();
  const TcxValueInfo empty;
  const TcxValueInfo& first = values.empty() ? empty : values[0];
  Variant value = first.Value;
  String text;
  if (op == fcoEqual || op == fcoNotEqual) {
    text = StoredText(first);
  } else if (op == fcoBlank || op == fcoNotBlank) {
    text = FilterValueDisplayText(Null());
  } else if (IsPairOperator(op) && values.size() >= 2) {
    const bool ordered = CompareVariantValues(values[0].Value, values[1].Value) < 0;
    const TcxValueInfo& low = ordered ? values[0] : values[1];
    const TcxValueInfo& high = ordered ? values[1] : values[0];
    value = VarArrayOf({low.Value, high.Value});
    text = StoredText(low) + ";" + StoredText(high);
  } else if (IsListOperator(op)) {
    std::vector<Variant> list;
    for (const TcxValueInfo& v : values) {
      list.push_back(v.Value);
      text += (text.empty() && list.size() == 1 ? "" : ";") + v.ValueText;
    }
    value = VarArrayOf(list);
  } else {
    const bool blank = VarIsNull(first.Value) || (first.Value.IsString() && VarToStr(first.Value).empty());
    text = blank ? FilterValueDisplayText(Null()) : first.ValueText;
  }
  group->AddItem(row->ItemLink(), kind, value, text);
}

void TcxFilterControlModel::AddGroupCriteria(TcxGroupViewInfo* row, TcxFilterCriteriaItemList* group) {
  for (Integer i = 0; i < row->RowCount(); ++i) {
    TcxCustomRowViewInfo* child = row->Rows(i);
    if (child->IsGroup()) {
      auto* child_row = static_cast<TcxGroupViewInfo*>(child);
      TcxFilterCriteriaItemList* child_group = group->AddItemList(fboAnd);
      child_group->ChangeBoolOperator(child_row->BoolOperator());
      AddGroupCriteria(child_row, child_group);
    } else {
      AddConditionCriteria(static_cast<TcxConditionViewInfo*>(child), group);
    }
  }
}

bool TcxFilterControlModel::BuildCriteriaFromView() {
  EndValueEditing();
  if (!AllRowsReady()) return false;
  criteria_->LockChanges();
  try {
    // The rows keep pointers to the old criteria nodes; they are rows of the user's from now.
    criteria_->RemoveAllItems();
    criteria_->Root()->ChangeBoolOperator(root_->BoolOperator());
    AddGroupCriteria(root_.get(), criteria_->Root());
  } catch (...) {
    criteria_->UnlockChanges();
    throw;
  }
  criteria_->UnlockChanges();
  return true;
}

void TcxFilterControlModel::LoadFromStream(TStream& stream) {
  if (!HasItems()) RaiseFilterControlError(LoadReplaceableResString(cxSFilterErrorBuilding));
  // A stream that cannot be read or shown leaves the criteria and the rows as they were.
  TcxFilterControlCriteria saved(this);
  saved.Assign(criteria_.get());
  try {
    criteria_->RemoveAllItems();
    criteria_->Root()->ChangeBoolOperator(fboAnd);
    criteria_->ReadData(stream);
    BuildViewFromCriteria();
  } catch (...) {
    criteria_->Assign(&saved);
    throw;
  }
}

void TcxFilterControlModel::SaveToStream(TStream& stream) {
  BuildCriteriaFromView();
  criteria_->WriteData(stream, criteria_->FormatVersion());
}

void TcxFilterControlModel::SetLink(IcxFilterControl* value) {
  TcxFilterCriteria* source = value ? value->GetCriteria() : nullptr;
  if (!source) {
    link_ = value;
    Clear();
    return;
  }
  // Criteria the control cannot show leave the control as it was, with its old link.
  IcxFilterControl* old_link = link_;
  TcxFilterControlCriteria saved(this);
  saved.Assign(criteria_.get());
  link_ = value;
  try {
    if (source != criteria_.get()) criteria_->Assign(source);
    BuildViewFromCriteria();
  } catch (...) {
    link_ = old_link;
    criteria_->Assign(&saved);
    throw;
  }
}

void TcxFilterControlModel::ApplyFilter() {
  TcxFilterCriteria* target = link_ ? link_->GetCriteria() : nullptr;
  if (!target) return;
  BuildCriteriaFromView();
  const bool other = target != criteria_.get();
  try {
    if (other && !target->SameItemsAs(criteria_.get())) {
      TMemoryStream stream;
      criteria_->WriteData(stream, target->FormatVersion());
      stream.SetPosition(0);
      target->LockChanges();
      try {
        target->RemoveAllItems();
        target->ReadData(stream);
      } catch (...) {
        target->UnlockChanges();
        throw;
      }
      target->UnlockChanges();
    }
    if (OnApplyFilter) OnApplyFilter(ApplyFilterSender());
  } catch (...) {
    if (other) criteria_->Assign(target);
    BuildViewFromCriteria();
    throw;
  }
  if (other) criteria_->Assign(target);
  BuildViewFromCriteria();
}
