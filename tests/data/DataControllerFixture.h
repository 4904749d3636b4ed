// An owner stub for data controller tests: a controller whose update-info objects are written
// to a log as short texts, with helpers that create typed items and fill records.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "data/cxCustomData.h"
#include "rtl/SysUtils.h"

namespace dc_fixture {

class TLoggingController : public TcxDataController {
 public:
  explicit TLoggingController(TComponent* owner = nullptr) : TcxDataController(owner) {}

  void UpdateControl(TcxUpdateControlInfo* info) override {
    if (auto* d = dynamic_cast<TcxDataChangedInfo*>(info))
      Log.push_back(Format("Data(%d,%d,%d)", {int(d->Kind), d->ItemIndex, d->RecordIndex}));
    else if (auto* f = dynamic_cast<TcxFocusedRowChangedInfo*>(info))
      Log.push_back(Format("Row(%d,%d)", {f->FocusedRowIndex, f->PrevFocusedRowIndex}));
    else if (auto* r = dynamic_cast<TcxFocusedRecordChangedInfo*>(info))
      Log.push_back(Format("Record(%d,%d)", {r->PrevFocusedRecordIndex, r->FocusedRecordIndex}));
    else if (auto* s = dynamic_cast<TcxSelectionChangedInfo*>(info))
      Log.push_back(Format("Selection(%d)", {s->ChangedRowCount()}));
    else if (dynamic_cast<TcxGroupingChangingInfo*>(info))
      Log.push_back("GroupingChanging");
    else if (dynamic_cast<TcxLayoutChangedInfo*>(info))
      Log.push_back("Layout");
    else if (dynamic_cast<TcxBookmarkChangedInfo*>(info))
      Log.push_back("Bookmark");
    else if (auto* u = dynamic_cast<TcxUpdateRecordInfo*>(info))
      Log.push_back(Format("UpdateRecord(%d)", {u->RecordIndex}));
    if (Raise) throw Exception("owner failed");
  }

  // Adds an item of the value type and returns its index.
  int AddTypedItem(TcxValueTypeClass type) {
    items_.push_back(std::make_unique<TObject>());
    AddItem(items_.back().get());
    int index = GetItemCount() - 1;
    ChangeValueTypeClass(index, type);
    return index;
  }
  TObject* ItemObject(int i) const { return items_.at(std::size_t(i)).get(); }

  // Fills the records with rows of values (one vector per record), replacing what was there.
  void Fill(const std::vector<std::vector<Variant>>& rows) {
    BeginUpdate();
    SetRecordCount(0);
    SetRecordCount(int(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
      for (std::size_t i = 0; i < rows[r].size(); ++i) SetValue(int(r), int(i), rows[r][i]);
    EndUpdate();
  }

  // The records of the rows in display order; a group row reads "g<level>".
  std::vector<String> RowTexts(int item = 0) {
    std::vector<String> out;
    for (int r = 0; r < RowCount(); ++r) {
      TcxRowInfo ri = RowInfoAt(r);
      if (ri.Level < Groups()->GroupingLevelCount()) {
        int i = item;
        out.push_back("g:" + RowDisplayText(ri, i) + (ri.Expanded ? "+" : ""));
      } else {
        out.push_back(GetDisplayText(ri.RecordIndex, item));
      }
    }
    return out;
  }

  std::vector<String> Log;
  bool Raise = false;

 private:
  std::vector<std::unique_ptr<TObject>> items_;
};

inline std::vector<String> Texts(std::initializer_list<const char*> l) {
  std::vector<String> v;
  for (auto* s : l) v.push_back(s);
  return v;
}

}  // namespace dc_fixture
