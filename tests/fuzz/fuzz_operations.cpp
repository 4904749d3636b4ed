// Random sequences of user operations on a grid table view (group, ungroup, sort, filter,
// expand, collapse, focus, select, delete) and on a pivot grid (fields moved between areas,
// summary types, sorting by a summary, top values, expand, collapse), both over records the
// input makes. After every operation the views agree with a plain recomputation: the grid's
// groups hold the filtered records once each and its footer sum is theirs; the pivot grid's
// grand totals and its row groups' sums are those of the records.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <map>

#include "FuzzSession.h"
#include "gridviews/cxGridRows.h"
#include "gridviews/cxGridTableView.h"
#include "pivotgrid/cxCustomPivotGrid.h"
#include "rtl/SysUtils.h"

namespace {

constexpr int kFields = 3;  // a text key, an integer key, an integer amount

struct TRecord {
  String Key;
  Integer Group;
  Integer Amount;
};

void Fail(const String& what) {
  std::fprintf(stderr, "fuzz: %s\n", what.c_str());
  std::abort();
}

struct TSession {
  TForm* Form = nullptr;
  TcxGrid* Grid = nullptr;
  TcxGridTableView* View = nullptr;
  TcxCustomPivotGrid* Pivot = nullptr;
  TcxPivotGridField* PivotFields[kFields] = {};
};

TSession& Session() {
  static TSession s = [] {
    StartFuzzSession();
    InitializeCxGridTableView();
    InitializeCxCustomPivotGrid();
    TSession r;
    r.Form = new TForm(Application);
    r.Form->SetBounds(0, 0, 800, 500);
    r.Grid = new TcxGrid(r.Form);
    r.Grid->SetBounds(0, 0, 400, 400);
    r.Grid->SetParent(r.Form);
    r.View = static_cast<TcxGridTableView*>(r.Grid->CreateView(TcxGridTableView::StaticClass()));
    r.Grid->Levels()->Add()->SetGridView(r.View);
    const char* types[kFields] = {"String", "Integer", "Integer"};
    for (int i = 0; i < kFields; ++i) static_cast<TcxGridColumn*>(r.View->CreateItem())->DataBinding()->SetValueType(types[i]);
    r.View->DataController()->Summary()->FooterSummaryItems()->AddLinked(r.View->GetColumn(2), spFooter, "", skSum);
    r.Pivot = new TcxCustomPivotGrid(r.Form);
    r.Pivot->SetBounds(400, 0, 400, 400);
    r.Pivot->SetParent(r.Form);
    for (int i = 0; i < kFields; ++i) {
      r.PivotFields[i] = r.Pivot->CreateField();
      r.PivotFields[i]->DataBinding()->SetValueType(types[i]);
      r.PivotFields[i]->SetCaption("F" + IntToStr(i));
    }
    r.Form->Show();
    FuzzPump();
    return r;
  }();
  return s;
}

// ---- the grid --------------------------------------------------------------------------------

void CheckGrid(TSession& s, const std::vector<TRecord>& records) {
  FuzzPump();
  auto* dc = s.View->DataController();
  if (dc->GetRecordCount() != int(records.size())) Fail("the grid lost or gained records");
  // The records the filter keeps, by a plain recomputation of its condition.
  const bool filtered = dc->Filter()->Active() && !dc->Filter()->IsEmpty();
  (void)filtered;
  const int kept = dc->FilteredRecordCount();
  if (kept > dc->GetRecordCount()) Fail("more filtered records than records");
  // The groups hold every kept record once.
  TcxDataControllerGroups* groups = dc->Groups();
  if (groups->GroupingLevelCount() > 0) {
    std::vector<int> all;
    for (int row = 0; row < dc->RowCount(); ++row)
      if (dc->RowInfoAt(row).Level == 0) {  // a top group row
        std::vector<int> list;
        groups->CollectRowRecords(list, row);
        all.insert(all.end(), list.begin(), list.end());
      }
    std::sort(all.begin(), all.end());
    if (std::adjacent_find(all.begin(), all.end()) != all.end()) Fail("a record in two groups");
    if (int(all.size()) != kept) Fail("the top groups hold " + IntToStr(int(all.size())) + " records of " + IntToStr(kept));
  } else if (dc->RowCount() != kept) {
    Fail("rows and filtered records differ without grouping");
  }
  // The footer sum is the sum of the kept records' amounts.
  std::vector<int> list;
  Int64 sum = 0;
  int counted = 0;
  for (int i = 0; i < kept; ++i) {
    const int record = dc->FilteredRecordIndex(i);
    const Variant v = dc->GetValue(record, 2);
    if (!VarIsNull(v)) sum += v.AsInt64(), ++counted;
  }
  const Variant footer = dc->Summary()->FooterSummaryValue(0);
  if (counted > 0 && (VarIsNull(footer) || footer.AsInt64() != sum))
    Fail("the footer sum " + VarToStr(footer) + " is not " + IntToStr(sum));
}

void GridOperation(TSession& s, TFuzzInput& in, std::vector<TRecord>& records) {
  auto* dc = s.View->DataController();
  const uint8_t op = in.Byte();
  const int column = in.Byte() % kFields;
  switch (op % 10) {
    case 0: s.View->GetColumn(column)->SetGroupIndex(in.Byte() % 3); break;
    case 1: s.View->GetColumn(column)->SetGroupIndex(-1); break;
    case 2: s.View->GetColumn(column)->SetSortOrder(TcxDataSortOrder(in.Byte() % 3)); break;
    case 3: {
      TcxDataFilterCriteria* f = dc->Filter();
      f->RemoveAllItems();
      const Integer bound = Integer(in.Byte() % 16) - 8;
      f->AddItem(f->Root(), s.View->GetColumn(1), TcxFilterOperatorKind(in.Byte() % 6), Variant(bound), IntToStr(bound));
      f->SetActive(true);
      break;
    }
    case 4: dc->Filter()->SetActive(false); break;
    case 5:
      if (dc->RowCount() > 0) dc->Groups()->ChangeRowExpanding(in.Byte() % dc->RowCount(), in.Byte() & 1, in.Byte() & 1);
      break;
    case 6: (in.Byte() & 1) ? dc->Groups()->FullExpand() : dc->Groups()->FullCollapse(); break;
    case 7:
      if (dc->RowCount() > 0) dc->SetFocusedRowIndex(in.Byte() % dc->RowCount());
      break;
    case 8:
      if (dc->RowCount() > 0) dc->ChangeRowSelection(in.Byte() % dc->RowCount(), in.Byte() & 1);
      break;
    default: {
      // Deleting the focused record (a group row deletes nothing).
      const int row = dc->FocusedRowIndex();
      if (row < 0 || row >= dc->RowCount()) break;
      const TcxRowInfo info = dc->RowInfoAt(row);
      if (info.Level < dc->Groups()->GroupingLevelCount() || info.RecordIndex < 0) break;
      const int record = info.RecordIndex;
      dc->DeleteFocused();
      if (dc->GetRecordCount() == int(records.size()) - 1) records.erase(records.begin() + record);
      break;
    }
  }
}

// ---- the pivot grid --------------------------------------------------------------------------

void CheckPivot(TSession& s, const std::vector<TRecord>& records) {
  s.Pivot->CheckChanges();
  TcxPivotGridField* data = nullptr;
  for (TcxPivotGridField* f : s.PivotFields)
    if (f->Area() == faData && f->Visible() && f == s.PivotFields[2]) data = f;
  if (!data || data->SummaryType() != stSum) return;
  bool topValues = false;
  for (TcxPivotGridField* f : s.PivotFields) topValues |= f->TopValueCount() > 0;
  TcxPivotGridDataBuilder* b = s.Pivot->DataBuilder();
  Variant v;
  b->RowRoot()->GetCrossCell(b->ColumnRoot())->GetSummaryValue(data, stSum, v);
  Int64 sum = 0;
  for (const TRecord& r : records) sum += r.Amount;
  if (!topValues && !records.empty() && (VarIsNull(v) || v.AsInt64() != sum))
    Fail("the pivot grand total " + VarToStr(v) + " is not " + IntToStr(sum));
  // Each top row group sums the records of its value (the text or the integer key); top values
  // of a field leave the records of the values they hide out of the totals.
  if (topValues) return;
  TcxPivotGridGroupItem* root = b->RowRoot();
  for (int i = 0; i < root->ItemCount(); ++i) {
    TcxPivotGridGroupItem* item = root->Items(i);
    const int key = item->Field() == s.PivotFields[0] ? 0 : item->Field() == s.PivotFields[1] ? 1 : -1;
    if (key < 0) continue;
    Int64 expected = 0;
    bool any = false;
    for (const TRecord& r : records) {
      const bool same = key == 0 ? !VarIsNull(item->Value()) && item->Value().AsString() == r.Key
                                 : !VarIsNull(item->Value()) && item->Value().AsInt64() == r.Group;
      if (same) expected += r.Amount, any = true;
    }
    if (!any) continue;  // the "others" of top values
    Variant got;
    item->GetCrossCell(b->ColumnRoot())->GetSummaryValue(data, stSum, got);
    if (VarIsNull(got) || got.AsInt64() != expected)
      Fail("the row group " + VarToStr(item->Value()) + " sums " + VarToStr(got) + ", not " + IntToStr(expected));
  }
}

void PivotOperation(TSession& s, TFuzzInput& in) {
  static const TcxPivotGridFieldArea areas[] = {faRow, faColumn, faData, faFilter};
  static const TcxPivotGridSummaryType summaries[] = {stCount, stSum, stMin, stMax, stAverage};
  TcxPivotGridField* f = s.PivotFields[in.Byte() % kFields];
  const uint8_t op = in.Byte();
  s.Pivot->BeginUpdate();
  switch (op % 7) {
    case 0:
      f->SetArea(areas[in.Byte() % 4]);
      f->SetAreaIndex(in.Byte() % 3);
      f->SetVisible(true);
      break;
    case 1: f->SetSummaryType(summaries[in.Byte() % 5]); break;
    case 2:
      f->SortBySummaryInfo()->SetField((in.Byte() & 1) ? s.PivotFields[in.Byte() % kFields] : nullptr);
      f->SortBySummaryInfo()->SetSummaryType(summaries[in.Byte() % 5]);
      f->SetSortOrder(TcxDataSortOrder(1 + in.Byte() % 2));
      break;
    case 3:
      f->SetTopValueCount(in.Byte() % 5);
      f->SetTopValueShowOthers(in.Byte() & 1);
      break;
    case 4: f->SetVisible(in.Byte() & 1); break;
    default: {
      s.Pivot->EndUpdate();
      s.Pivot->CheckChanges();
      TcxPivotGridGroupItem* root = (op & 8) ? static_cast<TcxPivotGridGroupItem*>(s.Pivot->DataBuilder()->ColumnRoot())
                                             : s.Pivot->DataBuilder()->RowRoot();
      if (root->ItemCount() > 0) root->Items(in.Byte() % root->ItemCount())->SetExpanded(op & 16);
      s.Pivot->BeginUpdate();
      break;
    }
  }
  s.Pivot->EndUpdate();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 4096) return 0;
  TSession& s = Session();
  TFuzzInput in(data, size);
  // The records: a text key of a few values, an integer key, an amount.
  std::vector<TRecord> records(in.Byte() % 30);
  static const char* keys[] = {"Oslo", "Lima", "Rome", "東京", ""};
  for (TRecord& r : records) {
    const uint8_t b = in.Byte();
    r = {keys[b % 5], Integer(b / 5 % 7) - 3, Integer(int8_t(in.Byte()))};
  }
  auto* dc = s.View->DataController();
  s.View->BeginUpdate();
  for (int i = 0; i < kFields; ++i) {
    s.View->GetColumn(i)->SetGroupIndex(-1);
    s.View->GetColumn(i)->SetSortOrder(soNone);
  }
  dc->Filter()->RemoveAllItems();
  dc->Filter()->SetActive(false);
  dc->SetRecordCount(0);
  dc->SetRecordCount(int(records.size()));
  for (int r = 0; r < int(records.size()); ++r) {
    dc->SetValue(r, 0, Variant(records[size_t(r)].Key));
    dc->SetValue(r, 1, Variant(records[size_t(r)].Group));
    dc->SetValue(r, 2, Variant(records[size_t(r)].Amount));
  }
  s.View->EndUpdate();
  // The pivot grid: its own copy of the records, the key in the rows and the sum of amounts.
  s.Pivot->BeginUpdate();
  TcxCustomDataController* pdc = s.Pivot->DataController();
  pdc->SetRecordCount(0);
  pdc->SetRecordCount(int(records.size()));
  for (int r = 0; r < int(records.size()); ++r) {
    pdc->SetValue(r, 0, Variant(records[size_t(r)].Key));
    pdc->SetValue(r, 1, Variant(records[size_t(r)].Group));
    pdc->SetValue(r, 2, Variant(records[size_t(r)].Amount));
  }
  for (int i = 0; i < kFields; ++i) {
    TcxPivotGridField* f = s.PivotFields[i];
    f->SetArea(i == 2 ? faData : i == 0 ? faRow : faColumn);
    f->SetVisible(true);
    f->SetSummaryType(stSum);
    f->SetTopValueCount(0);
    f->SortBySummaryInfo()->SetField(nullptr);
    f->SetSortOrder(soAscending);
  }
  s.Pivot->EndUpdate();
  const std::vector<TRecord> pivotRecords = records;
  for (int steps = 0; !in.Empty() && steps < 24; ++steps) {
    if (in.Byte() & 1) {
      GridOperation(s, in, records);
      CheckGrid(s, records);
    } else {
      PivotOperation(s, in);
      CheckPivot(s, pivotRecords);
    }
  }
  RedrawWindow(s.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  FuzzPump();
  FuzzEndInput();
  return 0;
}
