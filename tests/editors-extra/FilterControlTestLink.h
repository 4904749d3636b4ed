// A filter link for tests of the filter control window: four items with editor properties.
#pragma once

#include <memory>

#include "editors-extra/cxCalendar.h"
#include "editors-extra/cxFilterControl.h"
#include "editors-extra/cxSpinEdit.h"
#include "editors/cxTextEdit.h"

namespace filtercontrol_test {

class TTestItem : public TObject {};

// Four items: a text item, an integer item with a spin editor, a date item and an integer item
// typed into a plain text editor (whose values the filter check can refuse).
class TWindowLink : public IcxFilterControl {
 public:
  TWindowLink() {
    text_ = std::make_unique<TcxTextEditProperties>(nullptr);
    spin_ = std::make_unique<TcxSpinEditProperties>(nullptr);
    date_ = std::make_unique<TcxDateEditProperties>(nullptr);
  }
  TTestItem items[4];
  TcxFilterCriteria* criteria = nullptr;
  String GetCaption(Integer i) override { return kCaptions[i]; }
  Integer GetCount() override { return count; }
  TcxFilterCriteria* GetCriteria() override { return criteria; }
  TObject* GetItemLink(Integer i) override { return &items[i]; }
  String GetItemLinkName(Integer i) override { return kCaptions[i]; }
  String GetFieldName(Integer i) override { return kCaptions[i]; }
  TcxCustomEditProperties* GetProperties(Integer i) override {
    if (i == 1) return spin_.get();
    if (i == 2) return date_.get();
    return text_.get();
  }
  TcxValueTypeClass GetValueType(Integer i) override {
    if (i == 0) return TcxStringValueType::Class();
    if (i == 2) return TcxDateTimeValueType::Class();
    return TcxIntegerValueType::Class();
  }
  Integer count = 4;

 private:
  static constexpr const char* kCaptions[4] = {"Product", "Quantity", "Shipped", "Code"};
  std::unique_ptr<TcxTextEditProperties> text_;
  std::unique_ptr<TcxSpinEditProperties> spin_;
  std::unique_ptr<TcxDateEditProperties> date_;
};

}  // namespace filtercontrol_test
