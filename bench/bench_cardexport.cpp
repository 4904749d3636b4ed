// The card view exporter: a card view of 10,000 cards of three rows in either layout direction
// exported to HTML, against writing the same cells (background, captions and values with their
// card borders, separator halves and widths) with as many styles to the HTML provider directly
// (target: within 3x).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "bench/BenchGrid.h"
#include "export/cxExportGridCardChart.h"
#include "export/cxHtmlXmlTxtExport.h"
#include "gridviews/cxGridCardView.h"
#include "vcl/Forms.h"

namespace {

constexpr int kCards = 10000;

struct TBenchCards : benchgrid::TBenchGridForm {
  TcxGridCardView* view;
  String file = (std::filesystem::temp_directory_path() / "korvan_bench_cardexport.html").string();
  TBenchCards() : TBenchGridForm({InitializeCxGridCardView, InitializeCxExportGrid4Link}, 780, 560) {
    view = AddView<TcxGridCardView>();
    for (const char* caption : {"Name", "City", "Amount"}) view->CreateRow()->SetCaption(caption);
    TcxCustomDataController* dc = view->DataController();
    dc->ChangeValueTypeClass(2, TcxIntegerValueType::Class());
    benchgrid::FillRecords(dc, kCards, 3, [](int r, int i) {
      return i == 0 ? Variant("Person " + IntToStr(r)) : i == 1 ? Variant("Town " + IntToStr(r % 97)) : Variant((r * 7919) % 100000);
    });
    Show();
  }
  void SetDirection(TcxGridCardViewLayoutDirection direction) {
    if (view->LayoutDirection() == direction) return;
    view->SetLayoutDirection(direction);
    benchgrid::PumpMessages();
  }
  ~TBenchCards() {
    std::error_code ec;
    std::filesystem::remove(file, ec);
  }
};

TBenchCards& Cards() {
  static TBenchCards c;
  return c;
}

TcxGridCardViewLayoutDirection Direction(const benchmark::State& state) {
  return state.range(0) == 0 ? ldHorizontal : ldVertical;
}

void BM_ExportCardView(benchmark::State& state) {
  TBenchCards& c = Cards();
  c.SetDirection(Direction(state));
  for (auto _ : state) ExportGridToHtml(c.file, c.grid, true, true, "");
  state.counters["cards"] = kCards;
}
BENCHMARK(BM_ExportCardView)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The baseline: the map and the texts made beforehand, then the same sheet written cell by
// cell with as many registered styles, committed to the same file.
void BM_WriteSameCellsDirectly(benchmark::State& state) {
  TBenchCards& c = Cards();
  c.SetDirection(Direction(state));
  bool horizontal = Direction(state) == ldHorizontal;
  std::unique_ptr<TcxGridCardViewExportMap> map;
  if (horizontal)
    map = std::make_unique<TcxGridHorizontalCardViewExportMap>();
  else
    map = std::make_unique<TcxGridVerticalCardViewExportMap>();
  map->Initialize(c.view, true, nullptr);
  struct TCardTexts {
    Integer col, row;
    String values[3];
  };
  std::vector<TCardTexts> cards;
  for (Integer i = 0; i < map->Count(); ++i) {
    const TcxGridCardViewExportMap::TEntry& e = map->Items(i);
    TcxGridCard* card = c.view->GetViewData()->GetCard(e.CardIndex);
    cards.push_back({e.Col, e.Row, {card->GetDisplayText(0), card->GetDisplayText(1), card->GetDisplayText(2)}});
  }
  const String captions[3] = {"Name", "City", "Amount"};
  const Integer colCount = map->ColCount(), rowCount = map->RowCount();
  for (auto _ : state) {
    auto p = std::dynamic_pointer_cast<IcxExportProvider>(TcxExport::Provider(cxExportToHtml, c.file));
    p->SetDefaultStyle(DefaultCellStyle());
    Integer styles[11];
    for (Integer s = 0; s < 11; ++s) {
      TcxCacheCellStyle style = DefaultCellStyle();
      style.BrushBkColor = 0x101010 * (s + 1);
      styles[s] = p->RegisterStyle(style);
    }
    p->SetRange(colCount, rowCount, false);
    for (Integer row = 0; row < rowCount; ++row)
      for (Integer col = 0; col < colCount; ++col) p->SetCellStyle(col, row, styles[0]);
    for (const TCardTexts& card : cards) {
      for (Integer i = 0; i < 3; ++i) {
        p->SetCellStyle(card.col, card.row + i, styles[1 + 2 * i]);
        p->SetCellStyle(card.col + 1, card.row + i, styles[2 + 2 * i]);
        p->SetCellDataString(card.col, card.row + i, captions[i]);
        p->SetCellDataString(card.col + 1, card.row + i, card.values[i]);
      }
      p->SetColumnWidth(card.col, 50);
      p->SetColumnWidth(card.col + 1, 146);
    }
    if (horizontal) {
      for (Integer col = 3; col < colCount - 1; col += 4) {
        for (Integer row = 1; row <= rowCount - 2; ++row) {
          p->SetCellStyle(col, row, styles[7]);
          p->SetCellStyle(col + 1, row, styles[8]);
        }
        p->SetColumnWidth(col, 10);
        p->SetColumnWidth(col + 1, 10);
      }
    } else {
      auto* vertical = static_cast<TcxGridVerticalCardViewExportMap*>(map.get());
      for (Integer boundary : vertical->RowBoundaries())
        for (Integer col = 1; col <= colCount - 2; ++col) {
          p->SetCellStyle(col, boundary, styles[9]);
          p->SetCellStyle(col, boundary + 1, styles[10]);
        }
    }
    p->SetColumnWidth(0, 10);
    p->SetColumnWidth(colCount - 1, 10);
    p->Commit();
  }
  state.counters["cards"] = kCards;
}
BENCHMARK(BM_WriteSameCellsDirectly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
