// Sorting and summing values held in Variants against the same work on plain doubles and
// strings (the baselines): the data controller keeps every cell as a Variant.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "rtl/Variants.h"

namespace {

constexpr int kCount = 100000;

std::vector<double> Doubles() {
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> dist(-1e6, 1e6);
  std::vector<double> v(kCount);
  for (double& d : v) d = dist(gen);
  return v;
}

void BM_SortDoubles(benchmark::State& state) {
  const std::vector<double> source = Doubles();
  for (auto _ : state) {
    std::vector<double> v = source;
    std::sort(v.begin(), v.end());
    benchmark::DoNotOptimize(v.data());
  }
}
BENCHMARK(BM_SortDoubles);

void BM_SortVariantDoubles(benchmark::State& state) {
  std::vector<Variant> source;
  for (double d : Doubles()) source.emplace_back(d);
  for (auto _ : state) {
    std::vector<Variant> v = source;
    std::sort(v.begin(), v.end(), [](const Variant& a, const Variant& b) { return a < b; });
    benchmark::DoNotOptimize(v.data());
  }
}
BENCHMARK(BM_SortVariantDoubles);

void BM_SortStrings(benchmark::State& state) {
  std::vector<String> source;
  for (double d : Doubles()) source.push_back(std::to_string(d));
  for (auto _ : state) {
    std::vector<String> v = source;
    std::sort(v.begin(), v.end());
    benchmark::DoNotOptimize(v.data());
  }
}
BENCHMARK(BM_SortStrings);

void BM_SortVariantStrings(benchmark::State& state) {
  std::vector<Variant> source;
  for (double d : Doubles()) source.emplace_back(std::to_string(d));
  for (auto _ : state) {
    std::vector<Variant> v = source;
    std::sort(v.begin(), v.end(), [](const Variant& a, const Variant& b) { return a < b; });
    benchmark::DoNotOptimize(v.data());
  }
}
BENCHMARK(BM_SortVariantStrings);

void BM_SumDoubles(benchmark::State& state) {
  const std::vector<double> source = Doubles();
  for (auto _ : state) {
    double total = 0;
    for (double d : source) total += d;
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_SumDoubles);

void BM_SumVariantIntegers(benchmark::State& state) {
  std::vector<Variant> source;
  for (double d : Doubles()) source.emplace_back(Integer(d));
  for (auto _ : state) {
    Variant total(0);
    for (const Variant& v : source) total += v;
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_SumVariantIntegers);

}  // namespace

BENCHMARK_MAIN();
