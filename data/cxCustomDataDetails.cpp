// Master-detail: relations, detail objects per master record, pattern and clone controllers.
#include <algorithm>
#include <exception>
#include <functional>

#include "data/cxCustomData.h"
#include "data/cxCustomDataInternal.h"
#include "data/cxDataConsts.h"

using cxdata_internal::Finally;

// =============================================================================================
// Detail objects

TcxDetailInfoObject::~TcxDetailInfoObject() {
  TObject* link = LinkObject;
  LinkObject = nullptr;
  if (link != nullptr) link->Free();
}

TcxDetailInfoObject* TcxDetailObject::EnsureInfo(int index) {
  if (index >= int(infos_.size())) infos_.resize(std::size_t(index) + 1);
  auto& slot = infos_[std::size_t(index)];
  if (!slot) slot = std::make_unique<TcxDetailInfoObject>();
  return slot.get();
}

bool TcxDetailObject::HasNoLinks() const {
  for (const auto& i : infos_)
    if (i && i->LinkObject) return false;
  return true;
}

bool TcxDetailObject::ClearHasChildrenFlags() {
  bool any = false;
  for (auto& i : infos_)
    if (i && i->HasChildrenAssigned) {
      i->HasChildrenAssigned = false;
      any = true;
    }
  return any;
}

void TcxDetailObject::CheckActiveRelation(TcxCustomDataRelationList* list) {
  int n = list->RelationCount();
  if (int(infos_.size()) < n) infos_.resize(std::size_t(n));
  if (infos_.empty()) {
    ActiveRelationIndex = -1;
    return;
  }
  ActiveRelationIndex = std::clamp(ActiveRelationIndex, 0, n - 1);
  if (list->Relations(ActiveRelationIndex)->DetailDataController() == nullptr)
    for (int i = 0; i < n; ++i)
      if (list->Relations(i)->DetailDataController() != nullptr) {
        ActiveRelationIndex = i;
        break;
      }
}

// =============================================================================================
// Relations

TcxCustomDataRelation::TcxCustomDataRelation(TcxCustomDataRelationList* list, TObject* item)
    : item_(item), list_(list) {
  list->InsertRelation(this);
}

TcxCustomDataRelation::~TcxCustomDataRelation() {
  if (detail_ != nullptr) {
    TcxCustomDataController* d = detail_;
    detail_ = nullptr;
    bool pattern = d->patternRequested_;
    d->masterRelation_ = nullptr;
    d->masterRecordIndex_ = -1;
    d->patternRequested_ = pattern;
  }
  if (list_ != nullptr) list_->RemoveRelation(this);
}

void TcxCustomDataRelation::Changed() {
  if (list_) list_->Changed(this);
}

int TcxCustomDataRelation::IndexInList() const {
  auto& items = list_->items_;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : int(it - items.begin());
}

TcxCustomDataController* TcxCustomDataRelation::DataController() const {
  return list_ ? list_->DataController() : nullptr;
}

TcxCustomDataRelationList::~TcxCustomDataRelationList() {
  lockCount_ = 1;  // no updates while going away
  // Clones still bound to these relations forget them.
  if (relationDataField_ != nullptr && relationDataField_->ValueDef() != nullptr) {
    TcxDataStorage* st = controller_->Storage();
    for (int r = 0; r < st->RecordsCount(); ++r) {
      Variant v = st->RecordValue(r, relationDataField_->ValueDef());
      if (v.IsNull() || v.IsEmpty() || v.AsInt64() == 0) continue;
      auto* d = reinterpret_cast<TcxDetailObject*>(intptr_t(v.AsInt64()));
      for (int i = 0; i < d->InfoCount(); ++i)
        if (TcxCustomDataController* dc = controller_->GetDetailDataControllerByLinkObject(d->LinkObjectAt(i)))
          dc->masterRelation_ = nullptr;
    }
  }
  while (!items_.empty()) {
    TcxCustomDataRelation* r = items_.back();
    items_.pop_back();
    r->list_ = nullptr;
    delete r;
  }
}

TcxCustomDataRelation* TcxCustomDataRelationList::AddRelation(TObject* item) {
  return controller_->NewRelation(this, item);
}

void TcxCustomDataRelationList::InsertRelation(TcxCustomDataRelation* relation) {
  items_.push_back(relation);
  relation->list_ = this;
  Changed(relation);
}

void TcxCustomDataRelationList::RemoveRelation(TcxCustomDataRelation* relation) {
  int index = relation->IndexInList();
  if (relationDataField_ != nullptr && index != -1) {
    TcxDataStorage* st = controller_->Storage();
    for (int r = 0; r < st->RecordsCount(); ++r)
      if (TcxDetailObject* d = DetailObjectOf(r))
        if (TcxCustomDataController* dc = controller_->GetDetailDataControllerByLinkObject(d->LinkObjectAt(index)))
          dc->masterRelation_ = nullptr;
  }
  items_.erase(std::remove(items_.begin(), items_.end(), relation), items_.end());
  Changed(nullptr);
}

TcxCustomDataRelation* TcxCustomDataRelationList::FindByItem(TObject* item) const {
  for (auto* r : items_)
    if (r->item_ == item) return r;
  return nullptr;
}

void TcxCustomDataRelationList::MoveRelation(int from, int to) {
  if (from == to) return;
  TcxCustomDataRelation* r = items_.at(std::size_t(from));
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, r);
  Changed(r);
}

void TcxCustomDataRelationList::Clear() {
  LockChanges();
  while (!items_.empty()) delete items_.back();
  UnlockChanges();
}

void TcxCustomDataRelationList::AssignRelations(TcxCustomDataRelationList* source) {
  LockChanges();
  Clear();
  for (auto* r : source->items_) AddRelation(r->item_)->AssignFrom(r);
  UnlockChanges();
}

void TcxCustomDataRelationList::FieldRemoved(TcxCustomDataField* field) {
  if (field == relationDataField_) relationDataField_ = nullptr;
  for (auto* r : items_) r->FieldRemoved(field);
}

void TcxCustomDataRelationList::Changed(TcxCustomDataRelation* relation) {
  if (lockCount_ == 0) UpdateRelations(relation);
}

void TcxCustomDataRelationList::UpdateRelations(TcxCustomDataRelation* relation) {
  {
    TcxCustomDataController* c = controller_;
    c->BeginInfoUpdate();
    Finally end{[c] { c->EndInfoUpdate(); }};
    if (items_.empty()) {
      if (relationDataField_ != nullptr) delete relationDataField_;  // clears the reference
    } else if (relationDataField_ != nullptr) {
      for (int r = 0; r < controller_->GetRecordCount(); ++r)
        if (ClearDetailLinks(r, -1)) controller_->changes_ += dccDetail;
    } else {
      relationDataField_ = controller_->CreateInternalField();
      relationDataField_->ChangeValueTypeClass(TcxObjectValueType::Class());
    }
  }
  (void)relation;
  controller_->NotifyMasterOrChange();
}

TcxDetailObject* TcxCustomDataRelationList::DetailObjectOf(int recordIndex) {
  controller_->CheckRecordRange(recordIndex);
  if (relationDataField_ == nullptr || relationDataField_->ValueDef() == nullptr) return nullptr;
  Variant v = controller_->Storage()->RecordValue(recordIndex, relationDataField_->ValueDef());
  if (v.IsNull() || v.IsEmpty() || v.AsInt64() == 0) return nullptr;
  return reinterpret_cast<TcxDetailObject*>(intptr_t(v.AsInt64()));
}

bool TcxCustomDataRelationList::HasNoDetails() const {
  TcxCustomDataController* pattern = controller_->masterRelation_ ? controller_->GetPatternDataController() : controller_;
  if (pattern == nullptr || !pattern->HasRelations()) return true;
  TcxCustomDataRelationList* list = pattern->RelationList();
  for (auto* r : list->items_)
    if (r->detail_ != nullptr) return false;
  return true;
}

TcxDetailObject* TcxCustomDataRelationList::GetDetailObject(int recordIndex) {
  controller_->CheckRecordRange(recordIndex);
  if (relationDataField_ == nullptr) return nullptr;
  TcxDetailObject* d = DetailObjectOf(recordIndex);
  TcxValueDef* def = relationDataField_->ValueDef();
  if (!HasNoDetails()) {
    if (d == nullptr) {
      d = new TcxDetailObject;
      d->ActiveRelationIndex = controller_->GetDefaultActiveRelationIndex();
      controller_->Storage()->SetRecordValue(recordIndex, def, Variant(Int64(reinterpret_cast<intptr_t>(d))));
    }
    d->CheckActiveRelation(this);
    return d;
  }
  if (d != nullptr) {
    for (int i = 0; i < d->InfoCount(); ++i)
      if (TcxCustomDataController* dc = controller_->GetDetailDataControllerByLinkObject(d->LinkObjectAt(i)))
        dc->masterRelation_ = nullptr;
    controller_->Storage()->SetRecordValue(recordIndex, def, Null());  // frees the object
  }
  return nullptr;
}

bool TcxCustomDataRelationList::HasDetailLink(int recordIndex, int relationIndex) {
  TcxDetailObject* d = relationDataField_ ? DetailObjectOf(recordIndex) : nullptr;
  if (d == nullptr) return false;
  if (relationIndex == -1) return !d->HasNoLinks();
  return d->LinkObjectAt(relationIndex) != nullptr;
}

bool TcxCustomDataRelationList::ClearDetailLinks(int recordIndex, int relationIndex) {
  if (relationDataField_ == nullptr) return false;
  TcxDetailObject* d = DetailObjectOf(recordIndex);
  if (d == nullptr) return false;
  if (relationIndex == -1)
    d->Clear();
  else
    d->FreeInfo(relationIndex);
  return true;
}

// =============================================================================================
// Controller side

TcxCustomDataRelationList* TcxCustomDataController::RelationList() {
  if (!relations_) relations_ = std::make_unique<TcxCustomDataRelationList>(this);
  return relations_.get();
}

int TcxCustomDataController::DetailMode() const {
  if (masterRelation_ != nullptr) return masterRecordIndex_ == -1 ? 1 : 2;
  return patternRequested_ ? 1 : 0;
}

TcxCustomDataController* TcxCustomDataController::GetMasterDataController() const {
  return masterRelation_ ? masterRelation_->DataController() : nullptr;
}

TcxCustomDataController* TcxCustomDataController::GetRootDataController() {
  TcxCustomDataController* c = this;
  for (int depth = 0; depth < 256 && c->GetMasterDataController() != nullptr; ++depth) c = c->GetMasterDataController();
  return c;
}

TcxCustomDataController* TcxCustomDataController::GetPatternDataController() {
  if (masterRelation_ == nullptr) return this;
  TObject* item = masterRelation_->Item();
  std::function<TcxCustomDataController*(TcxCustomDataController*)> find = [&](TcxCustomDataController* c) -> TcxCustomDataController* {
    if (!c->HasRelations()) return nullptr;
    TcxCustomDataRelationList* list = c->RelationList();
    if (TcxCustomDataRelation* r = list->FindByItem(item); r && r->detail_) return r->detail_;
    for (int i = 0; i < list->RelationCount(); ++i)
      if (TcxCustomDataController* d = list->Relations(i)->detail_)
        if (TcxCustomDataController* found = find(d)) return found;
    return nullptr;
  };
  return find(GetRootDataController());
}

void TcxCustomDataController::SetMasterRelation(TcxCustomDataRelation* relation, int masterRecordIndex) {
  if (relation == nullptr && masterRelation_ == nullptr && masterRecordIndex == -1 && masterRecordIndex_ == -1) return;
  {
    BeginInfoUpdate();
    Finally end{[this] { EndInfoUpdate(); }};
    if (masterRelation_ != nullptr) {
      if (masterRelation_->detail_ == this && masterRecordIndex == -1)
        masterRelation_->detail_ = nullptr;
      else
        provider_->SetCustomDataSource(nullptr);
      TcxCustomDataController* oldMaster = masterRelation_->DataController();
      if (oldMaster && oldMaster->creatingDetail_ == this) oldMaster->creatingDetail_ = nullptr;
    }
    masterRelation_ = relation;
    if (relation != nullptr && masterRecordIndex == -1) {
      relation->detail_ = this;
      relation->Changed();
    } else if (relation != nullptr) {
      if (TcxCustomDataController* pattern = relation->detail_)
        provider_->SetCustomDataSource(pattern->Provider()->CustomDataSource());
      if (TcxCustomDataController* master = relation->DataController()) master->creatingDetail_ = this;
    }
    masterRecordIndex_ = masterRecordIndex;
  }
  LayoutChanged(2);
}

void TcxCustomDataController::SetMasterMode(TcxCustomDataRelation* relation, bool isPattern) {
  BeginUpdate();
  struct End {
    TcxCustomDataController* c;
    ~End() noexcept(false) { c->EndUpdate(); }
  } end{this};
  SetMasterRelation(relation, -1);
  SetIsPattern(isPattern);
}

void TcxCustomDataController::SetIsPattern(bool value) {
  bool was = IsPattern();
  patternRequested_ = value;
  if (was != IsPattern() && !IsDestroying()) UpdateStructure();
}

int TcxCustomDataController::GetDetailActiveRelationIndex(int recordIndex) {
  if (!relations_) return -1;
  TcxDetailObject* d = relations_->GetDetailObject(recordIndex);
  return d ? d->ActiveRelationIndex : -1;
}

void TcxCustomDataController::ChangeDetailActiveRelationIndex(int recordIndex, int relationIndex) {
  if (GetDetailActiveRelationIndex(recordIndex) == relationIndex) return;
  TcxDetailObject* d = relations_ ? relations_->GetDetailObject(recordIndex) : nullptr;
  if (d == nullptr) return;
  EnsureBrowseMode();
  d->ActiveRelationIndex = relationIndex;
  Change({dccDetail});
}

bool TcxCustomDataController::GetDetailExpanding(int recordIndex) {
  if (!relations_) return false;
  TcxDetailObject* d = relations_->GetDetailObject(recordIndex);
  return d && d->Expanded;
}

bool TcxCustomDataController::ChangeDetailExpanding(int recordIndex, bool expand) {
  if (recordIndex >= 0 && recordIndex < GetRecordCount() && GetDetailExpanding(recordIndex) == expand) return true;
  detailExpanding_ = true;
  struct Reset {
    bool& f;
    ~Reset() { f = false; }
  } reset{detailExpanding_};
  EnsureBrowseMode();
  if (recordIndex < 0 || recordIndex >= GetRecordCount()) return false;
  TcxDetailObject* d = relations_ ? relations_->GetDetailObject(recordIndex) : nullptr;
  if (d == nullptr || !DoDetailExpandingOrCollapsing(recordIndex, expand)) return false;
  d->Expanded = expand;
  TcxCustomDataController* master = GetMasterDataController();
  if (!(master && master->InfoLockCount() != 0)) Change({dccDetail});
  if (expand)
    DoDetailExpanded(recordIndex);
  else
    DoDetailCollapsed(recordIndex);
  return true;
}

void TcxCustomDataController::DoDetailExpanded(int recordIndex) {
  if (OnDetailExpanded) OnDetailExpanded(this, recordIndex);
}
void TcxCustomDataController::DoDetailCollapsed(int recordIndex) {
  if (OnDetailCollapsed) OnDetailCollapsed(this, recordIndex);
}

TObject* TcxCustomDataController::GetDetailLinkObject(int recordIndex, int relationIndex) {
  if (!relations_ || relationIndex < 0 || relationIndex >= relations_->RelationCount()) return nullptr;
  TcxDetailObject* d = relations_->GetDetailObject(recordIndex);
  if (d == nullptr) return nullptr;
  if (TObject* link = d->LinkObjectAt(relationIndex)) return link;
  TObject* result = nullptr;
  if (!creatingLinkObject_) {
    TcxCustomDataController* pattern = GetPatternDataController();
    creatingLinkObject_ = true;
    if (pattern) pattern->creatingLinkObject_ = true;
    struct Reset {
      TcxCustomDataController* a;
      TcxCustomDataController* b;
      ~Reset() {
        a->creatingLinkObject_ = false;
        if (b) b->creatingLinkObject_ = false;
      }
    } reset{this, pattern};
    TObject* link = CreateDetailLinkObject(relations_->Relations(relationIndex), recordIndex);
    creatingDetail_ = nullptr;
    bool valid = recordIndex >= 0 && recordIndex < GetRecordCount() && relations_->DetailObjectOf(recordIndex) == d;
    if (link != nullptr && !valid) {
      link->Free();
      link = nullptr;
    }
    if (link != nullptr) d->SetLinkObject(relationIndex, link);
    result = link;
  }
  if (result == nullptr && !recreatingLinkObject_ && !creatingLinkObject_) {
    recreatingLinkObject_ = true;
    struct Reset {
      bool& f;
      ~Reset() { f = false; }
    } reset{recreatingLinkObject_};
    if (recordIndex >= 0 && recordIndex < GetRecordCount() && relations_->DetailObjectOf(recordIndex) == d)
      result = GetDetailLinkObject(recordIndex, relationIndex);
  }
  return result;
}

bool TcxCustomDataController::IsDetailDataControllerExist(int recordIndex, int relationIndex) {
  return relations_ && relations_->HasDetailLink(recordIndex, relationIndex);
}

bool TcxCustomDataController::CanHaveDetails() { return IsProviderMode() || provider_->IsActiveDataSet(); }

bool TcxCustomDataController::GetDetailHasChildren(int recordIndex, int relationIndex) {
  if (IsDetailDataControllerExist(recordIndex, relationIndex))
    if (TcxCustomDataController* dc = GetDetailDataController(recordIndex, relationIndex))
      return dc->GetRecordCount() > 0;
  if (!CanHaveDetails()) return false;
  TcxDetailObject* d = relations_ ? relations_->GetDetailObject(recordIndex) : nullptr;
  if (d == nullptr) return true;
  TcxDetailInfoObject* info = d->EnsureInfo(relationIndex);
  if (!info->HasChildrenAssigned) {
    info->HasChildren = provider_->GetDetailHasChildren(recordIndex, relationIndex);
    info->HasChildrenAssigned = true;
  }
  return info->HasChildren;
}

void TcxCustomDataController::ClearDetailLinkObject(int recordIndex, int relationIndex) {
  if (relations_ && relations_->ClearDetailLinks(recordIndex, relationIndex)) Change({dccDetail});
}

void TcxCustomDataController::ClearDetails() {
  BeginInfoUpdate();
  Finally end{[this] { EndInfoUpdate(); }};
  for (int r = 0; r < GetRecordCount(); ++r) ClearDetailLinkObject(r, -1);
}

void TcxCustomDataController::CollapseDetails() {
  EnsureBrowseMode();
  BeginInfoUpdate();
  Finally end{[this] { EndInfoUpdate(); }};
  for (int r = 0; r < GetRecordCount(); ++r) {
    ClearDetailLinkObject(r, -1);
    if (TcxDetailObject* d = relations_ ? relations_->DetailObjectOf(r) : nullptr) {
      d->Expanded = false;
      changes_ += dccDetail;
    }
  }
}

void TcxCustomDataController::ResetHasChildrenFlags() {
  if (!relations_ || relations_->RelationDataField() == nullptr) return;
  bool any = false;
  for (int r = 0; r < GetRecordCount(); ++r)
    if (TcxDetailObject* d = relations_->DetailObjectOf(r)) any |= d->ClearHasChildrenFlags();
  if (any) Change({dccLayout});
}

void TcxCustomDataController::ResetRelationDetails(TObject* relationItem) {
  if (relations_ && relations_->FindByItem(relationItem) != nullptr) {
    ClearDetails();
    return;
  }
  if (!relations_) return;
  for (int r = 0; r < GetRecordCount(); ++r)
    for (int i = 0; i < relations_->RelationCount(); ++i)
      if (IsDetailDataControllerExist(r, i))
        if (TcxCustomDataController* dc = GetDetailDataController(r, i)) dc->ResetRelationDetails(relationItem);
}

void TcxCustomDataController::NotifyMasterOrChange() {
  if (destroying_) return;
  if (IsPattern() && masterRelation_ != nullptr)
    GetRootDataController()->ResetRelationDetails(masterRelation_->Item());
  else
    Change({dccData});
}

void TcxCustomDataController::CheckMasterHasChildren() {
  TcxCustomDataController* master = GetMasterDataController();
  if (master == nullptr || !CanHaveDetails()) return;
  if ((GetEditFlags() & (dceInserting | dceEditing)) != 0) return;
  master->ResetHasChildrenFlags();
}

bool TcxCustomDataController::UpdateDetailControllers() {
  if (!relations_ || relations_->RelationDataField() == nullptr) return true;
  for (int r = 0; r < GetRecordCount(); ++r)
    for (int i = 0; i < relations_->RelationCount(); ++i)
      if (IsDetailDataControllerExist(r, i))
        if (TcxCustomDataController* dc = GetDetailDataController(r, i)) dc->EnsureBrowseMode();
  return true;
}

void TcxCustomDataController::ShiftDetailsAfterInsert(int recordIndex) {
  if (!relations_ || relations_->RelationDataField() == nullptr) return;
  for (int r = recordIndex + 1; r < GetRecordCount(); ++r)
    if (TcxDetailObject* d = relations_->DetailObjectOf(r))
      for (int i = 0; i < d->InfoCount(); ++i)
        if (TcxCustomDataController* dc = GetDetailDataControllerByLinkObject(d->LinkObjectAt(i))) ++dc->masterRecordIndex_;
}

void TcxCustomDataController::ShiftDetailsAfterDelete(int recordIndex) {
  if (recordIndex < 0) return;
  CheckEditingRecordDeleted(recordIndex);
  if (!relations_ || relations_->RelationDataField() == nullptr) return;
  for (int r = recordIndex; r < GetRecordCount(); ++r)
    if (TcxDetailObject* d = relations_->DetailObjectOf(r))
      for (int i = 0; i < d->InfoCount(); ++i)
        if (TcxCustomDataController* dc = GetDetailDataControllerByLinkObject(d->LinkObjectAt(i))) --dc->masterRecordIndex_;
}

void TcxCustomDataController::FocusActiveDetail(int recordIndex) {
  int active = GetDetailActiveRelationIndex(recordIndex);
  if (active < 0 || !IsDetailDataControllerExist(recordIndex, active)) return;
  if (TcxCustomDataController* dc = GetDetailDataController(recordIndex, active)) dc->CheckFocusedRow();
}

void TcxCustomDataController::ForEachDetail(TcxCustomDataRelation* relation,
                                            const std::function<void(TcxCustomDataController*)>& proc) {
  // The chain of relation indexes from the root down to the relation.
  std::vector<int> chain;
  TcxCustomDataController* root = relation->DataController();
  chain.push_back(relation->IndexInList());
  while (TcxCustomDataRelation* up = root->GetMasterRelation()) {
    chain.insert(chain.begin(), up->IndexInList());
    root = up->DataController();
  }
  std::function<void(TcxCustomDataController*, std::size_t)> walk = [&](TcxCustomDataController* c, std::size_t depth) {
    for (int r = 0; r < c->GetRecordCount(); ++r) {
      TcxCustomDataController* d = nullptr;
      if (c->IsDetailDataControllerExist(r, chain[depth]))
        d = c->GetDetailDataController(r, chain[depth]);
      else if (c->creatingDetail_ != nullptr && c->creatingDetail_->GetMasterRecordIndex() == r)
        d = c->creatingDetail_;
      if (d == nullptr) continue;
      if (depth + 1 == chain.size())
        proc(d);
      else
        walk(d, depth + 1);
    }
  };
  walk(root, 0);
}
