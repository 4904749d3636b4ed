// Helpers for the data-set controller tests: an in-memory data set of people, a controller that
// logs what it tells its owner, and CSV files in a scratch folder for the CSV query.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>
#include <vector>

#include "data/cxDBData.h"
#include "db/ADODB.h"
#include "db/MemDataSet.h"
#include "rtl/SysUtils.h"

namespace dbdata_fixture {

// A controller bound to a data source, with one item per field name given.
class TTestDBController : public TcxDBDataController {
 public:
  TTestDBController() : TcxDBDataController(nullptr) {}
  ~TTestDBController() override { SetDataSource(nullptr); }

  void UpdateControl(TcxUpdateControlInfo* info) override {
    if (auto* d = dynamic_cast<TcxDataChangedInfo*>(info)) {
      Log.push_back(Format("Data(%d)", {int(d->Kind)}));
      if (d->Kind == dckAll) ++Reloads;
    } else if (dynamic_cast<TcxLayoutChangedInfo*>(info)) {
      Log.push_back("Layout");
    } else if (dynamic_cast<TcxUpdateRecordInfo*>(info)) {
      Log.push_back("UpdateRecord");
    }
  }

  int AddColumn(const String& fieldName) {
    items_.push_back(std::make_unique<TObject>());
    AddItem(items_.back().get());
    int index = GetItemCount() - 1;
    ChangeItemFieldName(index, fieldName);
    return index;
  }
  TObject* ItemObject(int i) const { return items_.at(std::size_t(i)).get(); }
  // One column per field of the bound data set (as the application's import does).
  void ColumnsFromDataSet() {
    TDataSet* ds = BoundDataSet();
    for (Integer i = 0; i < ds->FieldCount(); ++i) AddColumn(ds->Fields()->Fields(i)->FieldName());
  }
  void ClearColumns() {
    BeginUpdate();
    while (GetItemCount() > 0) RemoveItem(GetItem(GetItemCount() - 1));
    items_.clear();
    EndUpdate();
  }

  // The display texts of an item, row by row.
  std::vector<String> Column(int item) {
    std::vector<String> out;
    for (int r = 0; r < RowCount(); ++r) out.push_back(GetDisplayText(RowInfoAt(r).RecordIndex, item));
    return out;
  }
  String FocusedText(int item) {
    int r = FocusedRecordIndex();
    return r < 0 ? String("<none>") : GetDisplayText(r, item);
  }

  std::vector<String> Log;
  int Reloads = 0;

 private:
  std::vector<std::unique_ptr<TObject>> items_;
};

// id, name, city: `count` records, ids 1..count, names "n<id>", cities cycling over four.
struct People {
  TMemDataSet ds{nullptr};
  TDataSource src{nullptr};
  explicit People(int count = 5, bool open = true) {
    ds.AddFieldDef("id", ftInteger);
    ds.AddFieldDef("name", ftString, 20);
    ds.AddFieldDef("city", ftString, 20);
    const char* cities[] = {"Oslo", "Rome", "Lima", "Kyiv"};
    for (int i = 1; i <= count; ++i) ds.AppendRow({i, "n" + std::to_string(i), cities[(i - 1) % 4]});
    src.SetDataSet(&ds);
    if (open) ds.Open();
  }
  Integer Id() { return ds.FieldByName("id")->AsInteger(); }
};

// A scratch folder of CSV files, removed afterwards.
class TCsvFolder {
 public:
  TCsvFolder() {
    path_ = std::filesystem::temp_directory_path() /
            ("korvan-dbdata-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TCsvFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  String Path() const { return path_.string(); }
  void Write(const String& name, const String& text) const {
    std::ofstream f(path_ / name, std::ios::binary);
    f << text;
  }
  String Connection() const {
    return "Provider=TextProvider;Extended Properties=\"DRIVER={Text Driver (*.txt; *.csv)};DBQ=" + Path() + "\"";
  }
  // Points the query at a file, as the application's import does.
  void Aim(TADOQuery& q, const String& file) const {
    q.SetConnectionString(Connection());
    q.SQL()->SetText("SELECT TOP 100 * FROM " + file);
  }

 private:
  std::filesystem::path path_;
  static inline int counter_ = 0;
};

}  // namespace dbdata_fixture
