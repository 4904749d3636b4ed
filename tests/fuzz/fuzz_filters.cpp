// Filter files of the filter builder and filter streams of a data controller on arbitrary
// bytes, over a grid table view bound to a small data set (text, integer, float, date and
// memo fields). The first byte picks the road: the filter builder linked to the view loads the
// bytes as a filter file and applies it, or the view's data controller reads them as its
// filter stream and filters. A refused file changes nothing; a stream that ends early keeps what it read; the filter
// shows as many rows as it keeps records, and its stream written again reads back to the same
// filter text.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>

#include "FuzzSession.h"
#include "db/ADODB.h"
#include "db/MemDataSet.h"
#include "editors-extra/cxFilterControl.h"
#include "grid/cxGridFilterPopup.h"
#include "gridviews/cxGridDBTableView.h"
#include "gridviews/cxGridRows.h"
#include "rtl/SysUtils.h"

namespace {

struct TSession {
  TForm* Form = nullptr;
  TcxGrid* Grid = nullptr;
  TcxGridDBTableView* View = nullptr;
  TMemDataSet* Data = nullptr;
  TDataSource* Source = nullptr;
  TcxFilterControl* Builder = nullptr;
  TcxGridViewFilterLink* Link = nullptr;
  String File;
};

TSession& Session() {
  static TSession s = [] {
    StartFuzzSession();
    InitializeADODB();
    InitializeCxGridDBTableView();
    InitializeCxFilterControl();
    TSession r;
    r.Form = new TForm(Application);
    r.Form->SetBounds(100, 100, 600, 400);
    r.Grid = new TcxGrid(r.Form);
    r.Grid->SetName("Grid1");
    r.Grid->SetBounds(0, 0, 400, 300);
    r.Grid->SetParent(r.Form);
    r.View = static_cast<TcxGridDBTableView*>(r.Grid->CreateView(TcxGridDBTableView::StaticClass()));
    r.View->SetName("tv");
    r.Grid->Levels()->Add()->SetGridView(r.View);
    r.Data = new TMemDataSet(nullptr);
    r.Data->AddFieldDef("City", ftString, 20);
    r.Data->AddFieldDef("Amount", ftInteger);
    r.Data->AddFieldDef("Price", ftFloat);
    r.Data->AddFieldDef("Ordered", ftDateTime);
    r.Data->AddFieldDef("Notes", ftMemo);
    const char* cities[] = {"Oslo", "Lima", "Rome", "東京", ""};
    for (int i = 0; i < 40; ++i)
      r.Data->AppendRow({i % 7 == 6 ? Null() : Variant(cities[i % 5]), Variant(Integer(i * 37 % 11 - 5)),
                         Variant(double(i) / 3.0), VarFromDateTime(46000.0 + i * 13.5),
                         Variant(String(size_t(i % 4) * 90, 'n'))});
    r.Data->Open();
    r.Source = new TDataSource(nullptr);
    r.Source->SetDataSet(r.Data);
    r.View->GetDataController()->SetDataSource(r.Source);
    r.View->GetDataController()->CreateAllItems();
    r.Link = new TcxGridViewFilterLink(r.View);
    r.Builder = new TcxFilterControl(r.Form);
    r.Builder->SetBounds(400, 0, 200, 300);
    r.Builder->SetParent(r.Form);
    r.Builder->SetLink(r.Link);
    r.Form->Show();
    FuzzPump();
    char dir[] = "/tmp/korvan_fuzz_filters_XXXXXX";
    if (!mkdtemp(dir)) std::abort();
    r.File = String(dir) + "/filter.flt";
    if (const char* seeds = std::getenv("FUZZ_SEED")) {  // seed files of a filter over every field
      TcxDataFilterCriteria* f = r.View->DataController()->Filter();
      f->Root()->ChangeBoolOperator(fboOr);
      f->AddItem(f->Root(), r.View->Items(0), foLike, Variant("O%"), "O%");
      TcxFilterCriteriaItemList* g = f->Root()->AddItemList(fboAnd);
      f->AddItem(g, r.View->Items(1), foGreater, Variant(Integer(-2)), "-2");
      f->AddItem(g, r.View->Items(2), foLess, Variant(7.5), "7.5");
      f->AddItem(f->Root(), r.View->Items(3), foToday, Null(), "");
      f->AddItem(f->Root(), r.View->Items(4), foNotEqual, Variant(""), "");
      TMemoryStream stream;
      f->WriteData(stream);
      std::ofstream(String(seeds) + "/stream", std::ios::binary)
          << '\0' << String(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
      r.Builder->BuildViewFromCriteria();
      TMemoryStream file;
      r.Builder->SaveToStream(file);
      std::ofstream(String(seeds) + "/file", std::ios::binary)
          << '\1' << String(static_cast<const char*>(file.Memory()), size_t(file.Size()));
      f->RemoveAllItems();
    }
    return r;
  }();
  return s;
}

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
}

// The rows shown are the records the filter keeps, and the filter's stream reads back to the
// same text.
void CheckFilter(TSession& s) {
  FuzzPump();
  auto* dc = s.View->DataController();
  if (dc->FilteredRecordCount() > dc->GetRecordCount()) Fail("more filtered records than records");
  if (s.View->GetViewData()->GetRowCount() != dc->FilteredRecordCount()) Fail("the rows are not the filtered records");
  TcxDataFilterCriteria* filter = dc->Filter();
  String text;
  filter->FilterText(text);
  TMemoryStream stream;
  filter->WriteData(stream);
  stream.SetPosition(0);
  TcxDataFilterCriteria copy(dc);
  copy.ReadData(stream);
  String again;
  copy.FilterText(again);
  if (again != text) Fail("a filter written and read again has another text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 16384) return 0;
  TSession& s = Session();
  auto* dc = s.View->DataController();
  dc->Filter()->RemoveAllItems();
  dc->Filter()->SetActive(false);
  FuzzPump();
  const String bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  if (data[0] & 1) {
    std::ofstream(s.File, std::ios::binary | std::ios::trunc) << bytes;
    try {
      s.Builder->LoadFromFile(s.File);
      s.Builder->ApplyFilter();
    } catch (const Exception&) {
      return 0;  // the builder's message
    }
  } else {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), Int64(bytes.size()));
    stream.SetPosition(0);
    try {
      dc->Filter()->ReadData(stream);
    } catch (const EReadError&) {
      // A stream that ends early keeps the conditions read so far, as intended; they still
      // filter consistently.
    }
    dc->Filter()->SetActive(true);
  }
  CheckFilter(s);
  FuzzEndInput();
  return 0;
}
