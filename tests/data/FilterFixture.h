// A small criteria descendant for the filter tests: fields are objects with an ID, a name and
// a caption; a record is a vector of values indexed by the field's position.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "data/cxFilter.h"
#include "rtl/SysUtils.h"

namespace filter_fixture {

class TTestField : public TObject {
 public:
  TTestField(int index, Integer id, String name, String caption)
      : Index(index), ID(id), Name(std::move(name)), Caption(std::move(caption)) {}
  int Index;
  Integer ID;
  String Name;
  String Caption;
};

using TRecord = std::vector<Variant>;

class TTestItem : public TcxFilterCriteriaItem {
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  void GetDataValue(Pointer data, Variant& v) override {
    auto* rec = static_cast<TRecord*>(data);
    v = (*rec)[std::size_t(static_cast<TTestField*>(ItemLink())->Index)];
  }
  void GetFieldCaption(String& s) override { s = static_cast<TTestField*>(ItemLink())->Caption; }
  void GetFieldName(String& s) override { s = static_cast<TTestField*>(ItemLink())->Name; }
};

class TTestCriteria : public TcxFilterCriteria {
 public:
  explicit TTestCriteria(std::vector<TTestField*> fields, int version = 2) : fields_(std::move(fields)) {
    SetFormatVersion(version);
    OnChanged = [this](TObject*) { ++changes; };
  }
  Integer GetIDByItemLink(TObject* link) override { return static_cast<TTestField*>(link)->ID; }
  void GetNameByItemLink(TObject* link, String& s) override { s = static_cast<TTestField*>(link)->Name; }
  TObject* GetItemLinkByID(Integer id) override {
    for (auto* f : fields_)
      if (f->ID == id) return f;
    return nullptr;
  }
  TObject* GetItemLinkByName(const String& name) override {
    for (auto* f : fields_)
      if (!f->Name.empty() && f->Name == name) return f;
    return nullptr;
  }
  TcxFilterCriteriaItemClass GetItemClass() override { return &CreateFilterCriteriaItem<TTestItem>; }
  bool Matches(TRecord rec) { return IsSatisfiedByRecord(&rec); }
  int changes = 0;

 private:
  std::vector<TTestField*> fields_;
};

// Fixed locale and a test clock for every filter test.
class FilterTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings = TFormatSettings::EnglishUS();
  }
  void TearDown() override { FormatSettings = saved_; }

  TTestField amount{0, 10, "Amount", "Sum"};
  TTestField name{1, 11, "Name", "Customer"};
  TTestField when{2, 12, "Day", "Date"};
  std::vector<TTestField*> Fields() { return {&amount, &name, &when}; }

 private:
  TFormatSettings saved_;
};

inline Variant Pair(const Variant& a, const Variant& b) { return VarArrayOf({a, b}); }

}  // namespace filter_fixture
