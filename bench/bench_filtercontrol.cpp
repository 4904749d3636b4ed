// The filter control: laying out a filter of 10,000 conditions against measuring its texts
// (items, operators, values) once on the same canvas (target: within 5x); painting the control
// with 10,000 rows against with 10 rows (target: about equal, the visible rows only).
#include <benchmark/benchmark.h>

#include "BenchHeadless.h"
#include "editors-extra/cxFilterControl.h"
#include "editors/cxTextEdit.h"
#include "rtl/SysUtils.h"

namespace {

class TItem : public TObject {};

class TLink : public IcxFilterControl {
 public:
  TLink() : properties(nullptr) {}
  TItem items[8];
  TcxTextEditProperties properties;
  String GetCaption(Integer i) override { return "Column " + IntToStr(i); }
  Integer GetCount() override { return 8; }
  TcxFilterCriteria* GetCriteria() override { return nullptr; }
  TObject* GetItemLink(Integer i) override { return &items[i]; }
  String GetItemLinkName(Integer i) override { return GetCaption(i); }
  String GetFieldName(Integer i) override { return GetCaption(i); }
  TcxCustomEditProperties* GetProperties(Integer) override { return &properties; }
  TcxValueTypeClass GetValueType(Integer) override { return TcxStringValueType::Class(); }
};

struct Session {
  TLink link;
  TForm* form = nullptr;
  TcxFilterControl* big = nullptr;
  TcxFilterControl* small = nullptr;
  TcxFilterControl* Make(int count) {
    auto* c = new TcxFilterControl(form);
    c->SetBounds(10, 10, 500, 300);
    c->SetParent(form);
    c->SetLink(&link);
    const TcxFilterOperatorKind kinds[] = {foEqual, foLike, foGreater, foNotEqual};
    for (int i = 0; i < count; ++i)
      c->Criteria()->Root()->AddItem(&link.items[i % 8], kinds[i % 4], "Value " + IntToStr(i), "Value " + IntToStr(i));
    c->BuildViewFromCriteria();
    return c;
  }
  Session() {
    benchheadless::StartHeadless({InitializeForms, InitializeCxFilterControl}, 1024, 768);
    form = benchheadless::NewForm(600, 400);
    big = Make(10000);
    small = Make(10);
    Application->ProcessMessages();
  }
};

Session& S() {
  static Session s;
  return s;
}

void BM_MeasureTextsOnce(benchmark::State& state) {
  TcxFilterControl* c = S().big;
  TcxFilterControlViewInfo* vi = c->ViewInfo();
  for (auto _ : state) {
    Integer total = 0;
    for (TcxCustomRowViewInfo* row : c->RowList()) {
      if (row->IsGroup()) continue;
      auto* condition = static_cast<TcxConditionViewInfo*>(row);
      total += vi->TextSize(c->FontItem(), condition->ItemText()).cx;
      total += vi->TextSize(c->FontCondition(), condition->OperatorText()).cx;
      total += vi->TextSize(c->FontValue(), condition->Values()[0].ValueText).cx;
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_MeasureTextsOnce)->Unit(benchmark::kMillisecond);

void BM_LayOutTenThousandConditions(benchmark::State& state) {
  TcxFilterControlViewInfo* vi = S().big->ViewInfo();
  for (auto _ : state) vi->Calculate();
}
BENCHMARK(BM_LayOutTenThousandConditions)->Unit(benchmark::kMillisecond);

void Paint(benchmark::State& state, TcxFilterControl* c) {
  TBitmap target;
  target.SetSize(c->Width(), c->Height());
  c->ViewInfo()->Calculate();
  const TRect all(0, 0, c->Width(), c->Height());
  for (auto _ : state) c->ViewInfo()->Paint(target.Canvas(), all);
  state.counters["rows"] = c->ViewInfo()->PaintedRowCount();
}

void BM_PaintTenThousandRows(benchmark::State& state) { Paint(state, S().big); }
BENCHMARK(BM_PaintTenThousandRows)->Unit(benchmark::kMillisecond);

void BM_PaintTenRows(benchmark::State& state) { Paint(state, S().small); }
BENCHMARK(BM_PaintTenRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
