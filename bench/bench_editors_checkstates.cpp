// Decoding a captions-format check-states value of 100,000 captions against sorting the same
// captions with the locale-aware, case-insensitive comparison of a sorted string list (the
// target is within 3x of the sort).
#include <benchmark/benchmark.h>

#include "editors/cxCheckBox.h"
#include "rtl/Classes.h"
#include "rtl/SysUtils.h"
#include "rtl/Variants.h"

namespace {

constexpr Integer kCount = 100000;

class TItems : public IcxCheckItemCaptions {
 public:
  TItems() {
    for (Integer i = 0; i < kCount; ++i) captions.push_back("Item " + IntToStr((i * 7919) % kCount));
  }
  String GetCaption(Integer index) override { return captions[size_t(index)]; }
  Integer GetCount() override { return kCount; }
  std::vector<String> captions;
};

TItems& Items() {
  static TItems items;
  return items;
}

void BM_SortCaptions(benchmark::State& state) {
  for (auto _ : state) {
    TStringList list;
    for (const String& c : Items().captions) list.Add(c);
    list.Sort();
    benchmark::DoNotOptimize(list.Count());
  }
}

void BM_DecodeCaptions(benchmark::State& state) {
  TcxCheckStates states(static_cast<size_t>(kCount));
  for (Integer i = 0; i < kCount; ++i) states[size_t(i)] = i % 3 == 0 ? cbsGrayed : cbsChecked;
  const Variant value = EncodeCheckStates(states, &Items(), cvfCaptions);
  for (auto _ : state) {
    TcxCheckStates out;
    benchmark::DoNotOptimize(DecodeCheckStates(value, &Items(), cvfCaptions, out));
  }
}

BENCHMARK(BM_SortCaptions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeCaptions)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
