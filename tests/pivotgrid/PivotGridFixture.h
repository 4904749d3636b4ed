// A pivot grid over hand-filled records, with helpers that read the trees, the header leaves,
// the cells and the clipboard text as short strings.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/support/HeadlessFixture.h"
#include "pivotgrid/cxCustomPivotGrid.h"
#include "rtl/SysUtils.h"

namespace pivot_fixture {

class TPivot {
 public:
  TPivot() : grid(new TcxCustomPivotGrid(&owner)) { session.Clock().SetNow(45000.5); }

  // Adds a field with its value type ("String", "Integer", "Float", "Currency", "DateTime").
  TcxPivotGridField* Add(const char* name, const char* valueType) {
    TcxPivotGridField* f = grid->CreateField();
    f->SetName(name);
    f->DataBinding()->SetValueType(valueType);
    return f;
  }
  // Fills the records (one vector per record, in field order).
  void Fill(const std::vector<std::vector<Variant>>& rows) {
    grid->BeginUpdate();
    TcxCustomDataController* dc = grid->DataController();
    dc->SetRecordCount(0);
    dc->SetRecordCount(int(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
      for (std::size_t i = 0; i < rows[r].size(); ++i) dc->SetValue(int(r), int(i), rows[r][i]);
    grid->EndUpdate();
  }
  // Places a field (visible) in an area at the end.
  void Place(TcxPivotGridField* f, TcxPivotGridFieldArea area) {
    grid->BeginUpdate();
    f->SetArea(area);
    f->SetVisible(true);
    grid->EndUpdate();
  }

  // The header leaves of the rows (or columns) as texts joined with "/" from the top level.
  std::vector<String> Leaves(bool rows) {
    bool columns = !rows;
    grid->CheckChanges();
    std::vector<String> out;
    TcxPivotGridViewData* vd = grid->ViewData();
    int n = columns ? vd->ColumnCount() : vd->RowCount();
    for (int i = 0; i < n; ++i) {
      TcxPivotGridViewDataItem* item = columns ? vd->ColumnItem(i) : vd->RowItem(i);
      String s;
      for (; item && item->Parent(); item = item->Parent()) s = item->GetDisplayText() + (s.empty() ? "" : "/") + s;
      out.push_back(s);
    }
    return out;
  }
  // The whole table as the clipboard holds it, with "|" for tabs and ";" for line breaks.
  String Table() {
    String s = grid->ClipboardText(true);
    String out;
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '\t')
        out += '|';
      else if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
        out += ';';
        ++i;
      } else
        out += s[i];
    }
    return out;
  }
  // The children of an item of the row (or column) tree, as "text" or "text(children...)".
  String Tree(bool rows) {
    grid->CheckChanges();
    TcxPivotGridDataBuilder* b = grid->DataBuilder();
    return Dump(rows ? static_cast<TcxPivotGridGroupItem*>(b->RowRoot()) : b->ColumnRoot());
  }
  static String Dump(TcxPivotGridGroupItem* item) {
    String s;
    for (int i = 0; i < item->ItemCount(); ++i) {
      if (i) s += ",";
      TcxPivotGridGroupItem* c = item->Items(i);
      s += c->GetDisplayText();
      if (c->ItemCount() > 0) s += "(" + Dump(c) + ")";
    }
    return s;
  }
  // The grand total summary of a data field.
  Variant GrandTotal(TcxPivotGridField* f, TcxPivotGridSummaryType type) {
    grid->CheckChanges();
    Variant v;
    grid->DataBuilder()->RowRoot()->GetCrossCell(grid->DataBuilder()->ColumnRoot())->GetSummaryValue(f, type, v);
    return v;
  }

  testing_support::THeadlessSession session;
  TComponent owner{nullptr};
  TcxCustomPivotGrid* grid;
};

inline std::vector<String> Texts(std::initializer_list<const char*> l) {
  std::vector<String> v;
  for (auto* s : l) v.push_back(s);
  return v;
}

}  // namespace pivot_fixture
