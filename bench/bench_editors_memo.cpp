// Typing into the middle of a wrapped memo: a character typed (and taken back with Backspace)
// in the middle line of a memo of 100,000 lines against the same in one of 1,000 lines, for
// the platform's multi-line edit and for the memo editor over it. The target: the long text
// costs within 5x of the short one (a key neither copies nor re-wraps the whole text).
#include <benchmark/benchmark.h>

#include "BenchHeadless.h"
#include "editors-extra/cxMemo.h"
#include "vcl/StdCtrls.h"

namespace {

struct TBenchForm {
  TForm* form;
  TBenchForm() {
    benchheadless::StartHeadless({InitializeForms});
    form = benchheadless::NewForm(400, 300);
  }
};

TBenchForm& Form() {
  static TBenchForm f;
  return f;
}

String Lines(Integer count) {
  String text;
  for (Integer i = 0; i < count; ++i)
    text += "Line " + IntToStr(i) + ": some words that wrap in a memo of two hundred pixels\r\n";
  return text;
}

// Types in the middle of the text through the window's own keys.
template <class T>
void TypeInTheMiddle(benchmark::State& state, T* memo, TCustomEdit* window, Integer lines) {
  memo->SetText(Lines(lines));
  TEditLines* text = window->MultiLine();
  const Integer middle = text->LineIndex(lines / 2) + 10;
  memo->SetSelStart(middle);
  const Integer length = text->CharCount();
  for (auto _ : state) {
    SendMessage(window->Handle(), WM_CHAR, 'a', 0);
    SendMessage(window->Handle(), WM_CHAR, 8, 0);
  }
  if (text->CharCount() != length || text->RowCount() <= lines) state.SkipWithError("the text or its rows changed");
}

void PlatformMemo(benchmark::State& state) {
  auto* memo = new TMemo(Form().form);
  memo->SetBounds(10, 10, 200, 150);
  memo->SetParent(Form().form);
  memo->SetFocus();
  TypeInTheMiddle(state, memo, memo, Integer(state.range(0)));
  memo->Free();
}
BENCHMARK(PlatformMemo)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void MemoEditor(benchmark::State& state) {
  auto* memo = new TcxMemo(Form().form);
  memo->SetBounds(10, 10, 200, 150);
  memo->SetParent(Form().form);
  memo->SetFocus();
  TypeInTheMiddle(state, memo, memo->InnerMemo(), Integer(state.range(0)));
  memo->Free();
}
BENCHMARK(MemoEditor)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
