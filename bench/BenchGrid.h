// What the grid benchmarks share, on top of BenchHeadless.h (backend, message pumping): a form holding a grid with its views, filling a data controller, and one fixture
// alive at a time.
#pragma once

#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <tuple>

#include "BenchHeadless.h"
#include "data/cxCustomData.h"
#include "grid/cxGrid.h"

namespace benchgrid {

using benchheadless::PumpMessages;
using benchheadless::StartHeadless;

// A form with a grid on it, freed with the fixture; the headless backend and the units given
// are started before. Given a size, the grid takes it at the form's top left and the form is
// that size with its frame (16 x 40) around; without one both keep their default sizes.
struct TBenchGridForm {
  TForm* form;
  TcxGrid* grid;
  explicit TBenchGridForm(std::initializer_list<void (*)()> units, int gridWidth = 0, int gridHeight = 0) {
    StartHeadless(units);
    form = new TForm(Application);
    if (gridWidth > 0) form->SetBounds(0, 0, gridWidth + 16, gridHeight + 40);
    grid = new TcxGrid(form);
    if (gridWidth > 0) grid->SetBounds(0, 0, gridWidth, gridHeight);
    grid->SetParent(form);
  }
  ~TBenchGridForm() { form->Free(); }
  TBenchGridForm(const TBenchGridForm&) = delete;
  TBenchGridForm& operator=(const TBenchGridForm&) = delete;

  // A new view of this class; with `onLevel` shown on a new top level of the grid.
  template <class TView>
  TView* AddView(bool onLevel = true) {
    auto* view = static_cast<TView*>(grid->CreateView(TView::StaticClass()));
    if (onLevel) grid->Levels()->Add()->SetGridView(view);
    return view;
  }
  // Shows the form and runs the messages that follow (the first layout and paint).
  void Show() {
    form->Show();
    PumpMessages();
  }
};

// Makes the first `items` items of a data controller integer items.
inline void SetIntegerItems(TcxCustomDataController* dc, int items) {
  for (int i = 0; i < items; ++i) dc->ChangeValueTypeClass(i, TcxIntegerValueType::Class());
}

// Fills a data controller in one update with `records` records of `items` values each,
// value(record, item) for each.
template <class TValueOf>
void FillRecords(TcxCustomDataController* dc, int records, int items, TValueOf value) {
  dc->BeginUpdate();
  dc->SetRecordCount(records);
  for (int r = 0; r < records; ++r)
    for (int i = 0; i < items; ++i) dc->SetValue(r, i, value(r, i));
  dc->EndUpdate();
}

// An integer in [0, 100000) spread over records and items (neighbours differ, few repeat).
inline Variant SpreadValue(int record, int item) { return Variant(int((record * 7919LL + item * 104729LL) % 100000)); }

// The fixture made of these arguments, made on first use. The fixtures of other arguments are
// freed first, so only the measured one's form exists (the forms would lie on top of each
// other). The last one is left to the end of the program unfreed: at exit the statics it
// needs to be freed (the edit properties' list, the hooks) may be gone before it.
template <class TFixture, class... TArgs>
TFixture& OnlyFixture(std::initializer_list<void (*)()> units, TArgs... args) {
  StartHeadless(units);
  static auto& fixtures = *new std::map<std::tuple<TArgs...>, std::unique_ptr<TFixture>>;
  const std::tuple<TArgs...> key(args...);
  for (auto it = fixtures.begin(); it != fixtures.end();) it = it->first != key ? fixtures.erase(it) : std::next(it);
  std::unique_ptr<TFixture>& fixture = fixtures[key];
  if (!fixture) fixture = std::make_unique<TFixture>(args...);
  return *fixture;
}

}  // namespace benchgrid
