// Filter throughput against plain loops over the same values, measured in one run:
//   - one condition evaluated through the criteria over 1,000,000 stored values, against a
//     loop that reads the same stored values and compares them directly (target: within 3x);
//   - LIKE '%...%' over 1,000,000 short texts, against std::string::find (target: within 5x).
#include <benchmark/benchmark.h>

#include <memory>

#include "data/cxDataStorage.h"
#include "data/cxFilter.h"
#include "data/cxLike.h"
#include "rtl/SysUtils.h"

namespace {

constexpr int kRecords = 1000000;

struct StoredValues {
  TcxDataStorage storage;
  TcxValueDef* def;
  StoredValues() {
    def = storage.ValueDefs()->Add(TcxIntegerValueType::Class(), true, nullptr, false);
    storage.ChangeRecordsCount(kRecords);
    for (int i = 0; i < kRecords; ++i) storage.SetRecordValue(i, def, Integer((Int64(i) * 7919) % kRecords));
  }
};

StoredValues& Values() {
  static StoredValues v;
  return v;
}

class TStoredItem : public TcxFilterCriteriaItem {
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  void GetDataValue(Pointer data, Variant& v) override {
    v = Values().storage.RecordValue(int(reinterpret_cast<intptr_t>(data)), Values().def);
  }
  void GetFieldCaption(String& s) override { s = "Value"; }
  void GetFieldName(String& s) override { s = "Value"; }
};

class TStoredCriteria : public TcxFilterCriteria {
 public:
  Integer GetIDByItemLink(TObject*) override { return 0; }
  void GetNameByItemLink(TObject*, String& s) override { s = "Value"; }
  TObject* GetItemLinkByID(Integer) override { return nullptr; }
  TObject* GetItemLinkByName(const String&) override { return nullptr; }
  TcxFilterCriteriaItemClass GetItemClass() override { return &CreateFilterCriteriaItem<TStoredItem>; }
};

void BM_PlainLoopOverStoredValues(benchmark::State& state) {
  StoredValues& v = Values();
  const Variant w = 500000;
  for (auto _ : state) {
    int hits = 0;
    for (int i = 0; i < kRecords; ++i)
      if (CompareVariantValues(v.storage.RecordValue(i, v.def), w) > 0) ++hits;
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_PlainLoopOverStoredValues)->Unit(benchmark::kMillisecond);

void BM_ConditionOverStoredValues(benchmark::State& state) {
  Values();
  TObject link;
  TStoredCriteria criteria;
  criteria.AddItem(nullptr, &link, foGreater, 500000, "500000");
  for (auto _ : state) {
    int hits = 0;
    for (int i = 0; i < kRecords; ++i)
      if (criteria.IsSatisfiedByRecord(reinterpret_cast<Pointer>(intptr_t(i)))) ++hits;
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ConditionOverStoredValues)->Unit(benchmark::kMillisecond);

const std::vector<String>& Texts() {
  static const std::vector<String> texts = [] {
    std::vector<String> r;
    r.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) r.push_back("item-" + IntToStr((Int64(i) * 104729) % 99991) + "-row");
    return r;
  }();
  return texts;
}

void BM_FindContains(benchmark::State& state) {
  const auto& texts = Texts();
  const String needle = "123";
  for (auto _ : state) {
    int hits = 0;
    for (const String& t : texts)
      if (t.find(needle) != String::npos) ++hits;
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_FindContains)->Unit(benchmark::kMillisecond);

void BM_LikeContains(benchmark::State& state) {
  const auto& texts = Texts();
  const String pattern = "%123%";
  for (auto _ : state) {
    int hits = 0;
    for (const String& t : texts)
      if (LikeMatch(t, pattern)) ++hits;
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_LikeContains)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
