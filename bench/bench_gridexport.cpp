// The grid export link: a table view of 100,000 records grouped by one column (100 groups), all
// expanded, exported to HTML against writing the same cells (signs, group texts across the row,
// indents and data cells) with as many styles to the HTML provider directly (target: within 4x).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "bench/BenchGrid.h"
#include "export/cxExportGrid4Link.h"
#include "export/cxHtmlXmlTxtExport.h"
#include "gridviews/cxGridRows.h"

namespace {

constexpr int kRecords = 100000, kGroups = 100;

struct TBenchGrid : benchgrid::TBenchGridForm {
  TcxGridTableView* view;
  String file = (std::filesystem::temp_directory_path() / "korvan_bench_gridexport.html").string();
  TBenchGrid() : TBenchGridForm({InitializeCxGridTableView, InitializeCxExportGrid4Link}, 780, 560) {
    view = AddView<TcxGridTableView>();
    for (int i = 0; i < 3; ++i) view->CreateItem()->SetWidth(120);
    TcxCustomDataController* dc = view->DataController();
    dc->ChangeValueTypeClass(0, TcxIntegerValueType::Class());
    dc->ChangeValueTypeClass(1, TcxStringValueType::Class());
    dc->ChangeValueTypeClass(2, TcxIntegerValueType::Class());
    benchgrid::FillRecords(dc, kRecords, 3, [](int r, int i) {
      return i == 0 ? Variant(r % kGroups) : i == 1 ? Variant("record " + IntToStr(r)) : Variant(int((r * 7919LL) % 100000));
    });
    view->GetColumn(0)->SetGroupIndex(0);
    view->GetViewData()->ExpandAll(true);
    Show();
  }
  ~TBenchGrid() {
    std::error_code ec;
    std::filesystem::remove(file, ec);
  }
};

TBenchGrid& Grid() {
  static TBenchGrid g;
  return g;
}

void BM_ExportGroupedView(benchmark::State& state) {
  TBenchGrid& g = Grid();
  for (auto _ : state) ExportGridToHtml(g.file, g.grid, true, true, "");
  state.counters["rows"] = g.view->GetViewData()->GetRowCount();
}
BENCHMARK(BM_ExportGroupedView)->Unit(benchmark::kMillisecond);

// The baseline: the texts taken from the view beforehand, then the same sheet written cell by
// cell with six registered styles, committed to the same file.
void BM_WriteSameCellsDirectly(benchmark::State& state) {
  TBenchGrid& g = Grid();
  TcxGridViewData* data = g.view->GetViewData();
  struct TRowTexts {
    bool group;
    String texts[3];
  };
  std::vector<TRowTexts> rows;
  for (Integer i = 0; i < data->GetRowCount(); ++i) {
    TcxCustomGridRow* row = data->GetRow(i);
    if (auto* group = dynamic_cast<TcxGridGroupRow*>(row))
      rows.push_back({true, {group->GetGroupText()}});
    else
      rows.push_back({false, {row->GetDisplayText(0), row->GetDisplayText(1), row->GetDisplayText(2)}});
  }
  const Integer colCount = 4, rowCount = Integer(rows.size()) + 1;
  for (auto _ : state) {
    auto p = std::dynamic_pointer_cast<IcxExportProvider>(TcxExport::Provider(cxExportToHtml, g.file));
    p->SetDefaultStyle(DefaultCellStyle());
    Integer styles[6];
    for (Integer s = 0; s < 6; ++s) {
      TcxCacheCellStyle style = DefaultCellStyle();
      style.BrushBkColor = 0x101010 * (s + 1);
      styles[s] = p->RegisterStyle(style);
    }
    p->SetRange(colCount, rowCount, false);
    for (Integer c = 0; c < colCount; ++c) p->SetColumnWidth(c, c == 0 ? 17 : 120);
    p->SetCellStyleEx(0, 0, 1, 2, styles[0]);
    for (Integer c = 1; c < 4; ++c) p->SetCellDataString(c == 1 ? 0 : c, 0, "Column");
    for (Integer c = 2; c < 4; ++c) p->SetCellStyle(c, 0, styles[0]);
    Integer r = 1;
    for (const TRowTexts& row : rows) {
      if (row.group) {
        p->SetCellStyle(0, r, styles[1]);
        p->SetCellDataString(0, r, "-");
        p->SetCellStyleEx(1, r, 1, 3, styles[2]);
        p->SetCellDataString(1, r, row.texts[0]);
      } else {
        p->SetCellStyle(0, r, styles[3]);
        p->SetCellStyle(1, r, styles[4]);
        p->SetCellDataString(1, r, row.texts[0]);
        for (Integer c = 2; c < 4; ++c) {
          p->SetCellStyle(c, r, styles[5]);
          p->SetCellDataString(c, r, row.texts[c - 1]);
        }
      }
      ++r;
    }
    p->Commit();
  }
}
BENCHMARK(BM_WriteSameCellsDirectly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
