// The program's import end to end on arbitrary bytes: the main window of the headless session
// imports a CSV file through its Import button (the open dialog answered with the file), the
// grouping grid groups by one or two columns and expands, the pivot grid's fields go into
// every area with summary types, both pages are painted, both views are exported to HTML, and
// then a second file is imported. A bad file is the program's message, nothing else.
// Input: a layout byte, a pivot byte, a split byte (where the second file starts), the CSV.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "FuzzSession.h"
#include "app/Unit1.h"
#include "export/cxExportPivotGridLink.h"

namespace {

struct TSession {
  TForm1* Form = nullptr;
  String Dir;
  String Next;  // the file the open dialog answers
};

TSession& Session() {
  static TSession s = [] {
    StartFuzzSession();
    InitializeKorvanApp();
    Application->SetTitle("Korvan for CSV");
    TSession r;
    char dir[] = "/tmp/korvan_fuzz_import_XXXXXX";
    if (!mkdtemp(dir)) std::abort();
    r.Dir = dir;
    r.Form = CreateForm<TForm1>(Application);
    r.Form->Show();
    FuzzPump();
    return r;
  }();
  return s;
}

void Import(TSession& s, const String& name, const String& bytes) {
  const String path = s.Dir + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  SetFileDialogHook([path](TOpenDialog* d) {
    d->SetFileName(path);
    return true;
  });
  TcxButton* button = s.Form->cxButton18;
  FuzzClick(button->Handle(), POINT{button->Width() / 2, button->Height() / 2});
  SetFileDialogHook([](TOpenDialog*) { return false; });
}

void PaintAll(TSession& s) {
  RedrawWindow(s.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  FuzzPump();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3 || size > 16384) return 0;
  TSession& s = Session();
  const uint8_t layout = data[0], pivot = data[1], split = data[2];
  const String csv(reinterpret_cast<const char*>(data + 3), size - 3);
  Import(s, "first.csv", csv);

  // The grouping grid: one or two grouped columns, every group expanded, and its paint.
  TForm1& f = *s.Form;
  f.cxPageControl1->SetActivePageIndex(0);
  const Integer columns = f.grvGrouping->GetColumnCount();
  if (columns > 0) {
    f.grvGrouping->GetColumn(layout % columns)->SetGroupIndex(0);
    if ((layout & 0x80) && columns > 1) f.grvGrouping->GetColumn((layout / 8) % columns)->SetGroupIndex(1);
    f.grvGrouping->DataController()->Groups()->FullExpand();
  }
  PaintAll(s);

  // The pivot grid: each field in the area its two bits of the pivot byte pick (the first four
  // fields cover every area), a summary type for the data fields, and its paint.
  f.cxPageControl1->SetActivePageIndex(1);
  static const TcxPivotGridFieldArea areas[] = {faRow, faColumn, faData, faFilter};
  static const TcxPivotGridSummaryType summaries[] = {stCount, stSum, stMin, stMax, stAverage};
  for (int i = 0; i < f.grdPivot->FieldCount(); ++i) {
    TcxPivotGridField* field = f.grdPivot->Fields(i);
    const TcxPivotGridFieldArea area = i < 4 ? areas[(i + pivot) % 4] : areas[(pivot >> (2 * (i % 4))) & 3];
    field->SetArea(area);
    if (area == faData) field->SetSummaryType(summaries[(pivot + i) % 5]);
  }
  PaintAll(s);

  // Both views exported as the Export button does.
  try {
    f.ExportGroupingMatrix(s.Dir + "/grouping.html");
    ExportPivotGridToHtml(s.Dir + "/pivot.html", f.grdPivot, true, "html");
  } catch (const Exception&) {
    // the program's message
  }

  // The second import: the bytes from the split point on.
  const size_t from = csv.size() * split / 256;
  Import(s, "second.csv", csv.substr(from));
  f.cxPageControl1->SetActivePageIndex(0);
  PaintAll(s);
  FuzzEndInput();
  return 0;
}
