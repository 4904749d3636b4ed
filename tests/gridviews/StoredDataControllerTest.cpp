// The data controller of a view in a form description: the records a view holds itself and the
// controller's settings go into the form text and come back in a new form; a data-set view
// keeps storing its data source; records that do not fit the read items fail at the end of
// loading.
#include <gtest/gtest.h>

#include "db/ADODB.h"
#include "db/DB.h"
#include "grid/cxGridDBDataDefinitions.h"
#include "gridviews/cxGridBandedTableView.h"
#include "gridviews/cxGridCardView.h"
#include "gridviews/cxGridDBTableView.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "rtl/Variants.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"

namespace {

class StoredDataControllerTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeADODB();
    InitializeCxGridDBTableView();
    InitializeCxGridBandedTableView();
    InitializeCxGridCardView();
    form_ = new TForm(Application);
    grid_ = new TcxGrid(form_);
    grid_->SetName("Grid1");
    grid_->SetParent(form_);
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  // A view of the class on a new level, with a text item and an integer item.
  TcxCustomGridTableView* AddView(TClass cls, const String& name = "V") {
    auto* view = static_cast<TcxCustomGridTableView*>(grid_->CreateView(cls));
    view->SetName(name);
    grid_->Levels()->Add()->SetGridView(view);
    view->CreateItem()->SetName(name + "Name");
    TcxCustomGridTableItem* amount = view->CreateItem();
    amount->SetName(name + "Amount");
    amount->DataBinding()->SetValueType("Integer");
    return view;
  }
  TForm* ReadCopy(const String& text) {
    auto* copy = new TForm(Application);
    try {
      ReadComponentFromText(copy, text);
    } catch (...) {
      copy->Free();
      throw;
    }
    return copy;
  }
  TForm* form_ = nullptr;
  TcxGrid* grid_ = nullptr;
};

TEST_F(StoredDataControllerTest, RecordsAndSettingsOfEachOwnRecordsViewSurviveFormText) {
  for (TClass cls : {TcxGridTableView::StaticClass(), TcxGridBandedTableView::StaticClass(),
                     TcxGridCardView::StaticClass()}) {
    SCOPED_TRACE(cls->ClassName());
    TcxCustomGridTableView* view = AddView(cls);
    TcxCustomDataController* dc = view->DataController();
    // Not written while there are no records.
    EXPECT_EQ(WriteComponentToText(form_).find("DataController.Data"), String::npos);
    dc->SetRecordCount(3);
    for (Integer r = 0; r < 3; ++r) {
      dc->SetValue(r, 0, Variant("Name " + IntToStr(r)));
      dc->SetValue(r, 1, Variant(r * 10 + 1));
    }
    dc->SetOptions(dc->GetOptions().Include(dcoImmediatePost).Exclude(dcoSaveExpanding));
    dc->Filter()->SetMaxValueListCount(40);
    dc->Filter()->SetPercentWildcard('*');

    const String text = WriteComponentToText(form_);
    for (const char* present : {"DataController.Data = {", "DataController.Options = [", "dcoImmediatePost",
                                "DataController.Filter.MaxValueListCount = 40"})
      EXPECT_NE(text.find(present), String::npos) << present << "\n" << text;

    TForm* copy = ReadCopy(text);
    auto* read = dynamic_cast<TcxCustomGridTableView*>(copy->FindComponent("V"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->ClassType(), cls);
    TcxCustomDataController* rdc = read->DataController();
    ASSERT_EQ(rdc->GetRecordCount(), 3);
    for (Integer r = 0; r < 3; ++r) {
      EXPECT_EQ(VarToStr(rdc->GetValue(r, 0)), "Name " + IntToStr(r));
      EXPECT_EQ(rdc->GetValue(r, 1), Variant(r * 10 + 1));
    }
    EXPECT_EQ(rdc->GetOptions(), dc->GetOptions());
    EXPECT_EQ(rdc->Filter()->MaxValueListCount(), 40);
    EXPECT_EQ(rdc->Filter()->PercentWildcard(), '*');
    EXPECT_EQ(static_cast<TcxGridDataController*>(rdc)->HeldData(), nullptr);

    // Assigning the published controller copies the settings into the owned one, not the records.
    TcxCustomGridTableView* other = AddView(cls, "W");
    SetObjectProp(other, "DataController", dc);
    EXPECT_NE(other->DataController(), dc);
    EXPECT_EQ(other->DataController()->GetOptions(), dc->GetOptions());
    EXPECT_EQ(other->DataController()->Filter()->MaxValueListCount(), 40);
    EXPECT_EQ(other->DataController()->GetRecordCount(), 0);

    copy->Free();
    other->Free();
    view->Free();
  }
}

// Records written for a text and an integer item do not fit a view whose second item holds
// texts: reading fails with the stream error once loading ends.
TEST_F(StoredDataControllerTest, RecordsThatDoNotFitTheReadItemsFailWhenLoadingEnds) {
  TcxCustomGridTableView* view = AddView(TcxGridTableView::StaticClass());
  view->DataController()->SetRecordCount(1);
  view->DataController()->SetValue(0, 1, Variant(5));
  String text = WriteComponentToText(form_);
  const String valueType = "DataBinding.ValueType = 'Integer'";
  const size_t at = text.find(valueType);
  ASSERT_NE(at, String::npos) << text;
  text.erase(at, valueType.size());
  try {
    ReadCopy(text)->Free();
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid stream format");
  }
}

// The data-set view stores its data source and key fields as before and no records.
TEST_F(StoredDataControllerTest, ADataSetViewStoresItsDataSourceAndNoRecords) {
  auto* source = new TDataSource(form_);
  source->SetName("Source1");
  auto* view = static_cast<TcxGridDBTableView*>(grid_->CreateView(TcxGridDBTableView::StaticClass()));
  view->SetName("DBV");
  grid_->Levels()->Add()->SetGridView(view);
  view->GetDataController()->SetDataSource(source);
  view->GetDataController()->SetKeyFieldNames("ID");
  const String text = WriteComponentToText(form_);
  EXPECT_NE(text.find("DataController.DataSource = Source1"), String::npos) << text;
  EXPECT_NE(text.find("DataController.KeyFieldNames = 'ID'"), String::npos) << text;
  EXPECT_EQ(text.find("DataController.Data "), String::npos) << text;
  TForm* copy = ReadCopy(text);
  auto* read = dynamic_cast<TcxGridDBTableView*>(copy->FindComponent("DBV"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->GetDataController()->DataSource(), copy->FindComponent("Source1"));
  EXPECT_EQ(read->GetDataController()->KeyFieldNames(), "ID");
  copy->Free();
}

// A column's footer summary comes back once: the column stores it, the controller's summary does not.
TEST_F(StoredDataControllerTest, AColumnSummaryIsReadBackOnce) {
  auto* view = static_cast<TcxGridTableView*>(AddView(TcxGridTableView::StaticClass()));
  view->GetColumn(1)->Summary()->SetFooterKind(skSum);
  const String text = WriteComponentToText(form_);
  TForm* copy = ReadCopy(text);
  auto* read = dynamic_cast<TcxGridTableView*>(copy->FindComponent("V"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->DataController()->Summary()->FooterSummaryItems()->Count(), 1);
  EXPECT_EQ(read->GetColumn(1)->Summary()->FooterKind(), skSum);
  copy->Free();
}

}  // namespace
