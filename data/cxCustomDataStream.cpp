// The unbound data stream "DataController1", record readers and locate objects.
#include <algorithm>
#include <exception>

#include "data/cxCustomData.h"
#include "data/cxCustomDataInternal.h"
#include "data/cxDataConsts.h"

using cxdata_internal::Finally;

namespace {

const char kSignature[] = "DataController1";

bool IsInternalDef(TcxValueDef* def) {
  auto* f = dynamic_cast<TcxCustomDataField*>(def->LinkedObject());
  return f == nullptr || f->IsInternalValue();
}

int ItemIndexOfDef(const TcxValueDef* def) {
  auto* f = dynamic_cast<TcxCustomDataField*>(def->LinkedObject());
  return f ? f->Index() : INT32_MAX;
}

[[noreturn]] void InvalidFormat() { cxDataControllerError(cxSDataInvalidStreamFormat); }

// Marks the definitions that are streamed and returns how many there are.
int MarkStreamed(TcxValueDefs* defs) {
  int n = 0;
  for (int i = 0; i < defs->DefCount(); ++i) {
    TcxValueDef* d = defs->DefAt(i);
    d->SetStreamed(!IsInternalDef(d));
    if (d->Streamed()) ++n;
  }
  return n;
}

struct StreamingOrder {
  TcxDataStorage* storage;
  explicit StreamingOrder(TcxDataStorage* s) : storage(s) {
    storage->StartStreaming([](const TcxValueDef* a, const TcxValueDef* b) { return ItemIndexOfDef(a) < ItemIndexOfDef(b); });
  }
  ~StreamingOrder() { storage->FinishStreaming(); }
};

}  // namespace

void TcxCustomDataController::WriteDataToStream(TStream& stream) {
  // In provider mode the records live in the source and the storage holds only handles: such
  // a stream could not be read back, so it is refused before anything is written.
  if (IsProviderMode()) cxDataControllerError(cxSDataProviderModeError);
  TcxWriter writer(&stream);
  writer.WriteText(kSignature);
  TcxValueDefs* defs = storage_->ValueDefs();
  writer.WriteInt32(MarkStreamed(defs));
  StreamingOrder order(storage_.get());
  for (int i = 0; i < defs->DefCount(); ++i)
    if (defs->DefAt(i)->Streamed()) writer.WriteText(defs->DefAt(i)->ValueType()->ClassName());
  writer.WriteInt32(GetRecordCount());
  for (int r = 0; r < GetRecordCount(); ++r) storage_->SaveRecordToStream(r, stream);
}

void TcxCustomDataController::ReadDataFromStream(TStream& stream) {
  if (IsProviderMode()) cxDataControllerError(cxSDataProviderModeError);
  TcxReader reader(&stream);
  TcxValueDefs* defs = storage_->ValueDefs();
  try {
    if (reader.ReadText() != kSignature) InvalidFormat();
    Integer n = reader.ReadInt32();
    if (n != MarkStreamed(defs)) InvalidFormat();
  } catch (EReadError&) {
    InvalidFormat();
  }
  // The current records are kept aside: a stream that fails in the middle of its records leaves
  // the controller as it was instead of half loaded.
  TMemoryStream backup;
  {
    StreamingOrder order(storage_.get());
    try {
      for (int i = 0; i < defs->DefCount(); ++i)
        if (defs->DefAt(i)->Streamed() && reader.ReadText() != defs->DefAt(i)->ValueType()->ClassName())
          InvalidFormat();
    } catch (EReadError&) {
      InvalidFormat();
    }
    TcxWriter saver(&backup);
    saver.WriteInt32(GetRecordCount());
    for (int r = 0; r < GetRecordCount(); ++r) storage_->SaveRecordToStream(r, backup);
  }
  BeginInfoUpdate();
  Finally end{[this] { EndInfoUpdate(); }};
  info_->ClearSelection();
  StreamingOrder order(storage_.get());
  try {
    // Every record takes at least its one flag byte.
    Integer count = reader.ReadInt32();
    if (count < 0 || count > stream.Size() - stream.Position()) InvalidFormat();
    // The records are first read one after the other into a single record, so that a stream
    // that fails holds no more than one record (a count alone costs nothing); then for real.
    Int64 recordsAt = stream.Position();
    SetRecordCount(0);
    SetRecordCount(std::min(count, 1));
    for (int r = 0; r < count; ++r) storage_->LoadRecordFromStream(0, stream);
    stream.SetPosition(recordsAt);
    SetRecordCount(0);
    SetRecordCount(count);
    for (int r = 0; r < count; ++r) storage_->LoadRecordFromStream(r, stream);
  } catch (Exception& e) {
    backup.SetPosition(0);
    Integer count = StreamReadInt32(backup);
    SetRecordCount(count);
    for (int r = 0; r < count; ++r) storage_->LoadRecordFromStream(r, backup);
    info_->RefreshRecords();
    if (dynamic_cast<EcxInvalidDataControllerOperation*>(&e) != nullptr) throw;
    InvalidFormat();
  }
  info_->RefreshRecords();
}

// =============================================================================================
// Readers

void TcxValueDefUnboundReader::SetValue(TcxValueDef* def, const Variant& value) {
  auto it = std::find(items_.begin(), items_.end(), def);
  std::size_t i = std::size_t(it - items_.begin());
  if (it == items_.end()) items_.push_back(def);
  if (values_.size() < items_.size()) values_.resize(items_.size());
  values_[i] = std::make_unique<Variant>(value);
}

Variant TcxValueDefUnboundReader::ReadValue(TcxValueDef* def) {
  if (auto* internal = dynamic_cast<TcxInternalValueDef*>(def); internal && internal->MirroredDef())
    def = internal->MirroredDef();
  auto it = std::find(items_.begin(), items_.end(), def);
  std::size_t i = std::size_t(it - items_.begin());
  if (it == items_.end() || i >= values_.size() || !values_[i]) return Null();
  return *values_[i];
}

bool TcxValueDefUnboundReader::IsSkipped(TcxValueDef* def) { return IsInternalDef(def); }

String TcxValueDefRecordReader::ReadDisplayText(TcxValueDef* def) {
  auto* f = dynamic_cast<TcxCustomDataField*>(def->LinkedObject());
  if (f == nullptr || f->IsInternal()) return String();
  return controller_->GetDisplayTextByField(recordIndex_, f);
}

Variant TcxValueDefRecordReader::ReadValue(TcxValueDef* def) {
  auto* f = dynamic_cast<TcxCustomDataField*>(def->LinkedObject());
  return f ? controller_->GetValueByField(recordIndex_, f) : Null();
}

bool TcxValueDefRecordReader::IsSkipped(TcxValueDef* def) { return IsInternalDef(def); }

// =============================================================================================
// Locate objects

void TcxDataControllerLocateObject::ReadData(TcxValueDefReader* reader) {
  if (keyRecordIndex_ == 0) keyRecordIndex_ = controller_->NewInternalRecord();
  controller_->BeforeLocate();
  struct After {
    TcxCustomDataController* c;
    ~After() { c->AfterLocate(); }
  } after{controller_};
  controller_->Storage()->LoadRecordFromReader(keyRecordIndex_, reader);
}

void TcxDataControllerLocateObject::ReleaseKeyRecord() {
  if (keyRecordIndex_ == 0) return;
  controller_->Storage()->RemoveInternalRecord(keyRecordIndex_);
  keyRecordIndex_ = 0;
}

int TcxDataControllerKeyLocateObject::FindRecordIndex() {
  if (keyRecordIndex_ == 0) return -1;
  return controller_->FindKeyRecord(keyRecordIndex_, KeyFields);
}

TcxDataControllerGroupLocateObject::TcxDataControllerGroupLocateObject(TcxCustomDataController* controller)
    : TcxDataControllerLocateObject(controller) {
  for (int l = 0; l < controller->Groups()->GroupingLevelCount(); ++l) {
    TcxCustomDataField* f = controller->Fields()->Items(controller->Groups()->ItemIndexOfLevel(l));
    groupingFields_.push_back(f);
    if (controller->IsSortByDisplayText(f)) binarySearch_ = false;
  }
  PrepareFindFields();
}

void TcxDataControllerGroupLocateObject::PrepareFindFields() {
  if (binarySearch_) return;
  findFields_.assign(groupingFields_.begin(),
                     groupingFields_.begin() + std::min<std::ptrdiff_t>(level_ + 1, std::ptrdiff_t(groupingFields_.size())));
}

void TcxDataControllerGroupLocateObject::SetLevel(int level) {
  if (level == level_) return;
  level_ = level;
  PrepareFindFields();
}

int TcxDataControllerGroupLocateObject::FindRecordIndex() {
  if (keyRecordIndex_ == 0) return -1;
  if (binarySearch_) return controller_->FindGroupRecord(keyRecordIndex_, level_ + 1);
  controller_->SetInternalFind(true);
  struct Reset {
    TcxCustomDataController* c;
    ~Reset() { c->SetInternalFind(false); }
  } reset{controller_};
  return controller_->FindKeyRecord(keyRecordIndex_, findFields_);
}

int TcxCustomDataController::FindGroupRecord(int keyRecord, int levelCount) {
  const std::vector<int>& list = info_->RecordList();
  int lo = 0, hi = int(list.size()) - 1;
  levelCount = std::min(levelCount, info_->GroupingFields().Count());
  if (info_->TotalSortingFields().Count() < levelCount) {
    info_->TotalSortingFields().Clear();
    info_->TotalSortingFields().Merge(info_->GroupingFields());
    info_->TotalSortingFields().Merge(info_->SortingFields());
  }
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int r = 0;
    for (int l = 0; l < levelCount && r == 0; ++l) r = info_->CompareGroupValues(list[std::size_t(mid)], keyRecord, l);
    if (r < 0)
      lo = mid + 1;
    else if (r > 0)
      hi = mid - 1;
    else
      return list[std::size_t(mid)];
  }
  return -1;
}
