// The date edit on the imported CSV file: a date-and-time column gets the date item, shows
// the locale's date and time text, and its in-place editor opens the calendar.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "db/ADODB.h"
#include "editors-extra/cxCalendar.h"
#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace {

class DateEditCsvTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxEditDBRegisteredRepositoryItems();
    folder_ = std::filesystem::temp_directory_path() / ("korvan-dates-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "times.csv", std::ios::binary) << "when,amount\n3/5/2024 18:00:00,1\n3/6/2024 07:30:00,2\n";
    form_ = new TForm(Application);
    form_->SetBounds(50, 50, 400, 300);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
    THeadlessFixture::TearDown();
  }

  std::filesystem::path folder_;
  TForm* form_ = nullptr;
};

TEST_F(DateEditCsvTest, DateTimeColumnShowsLocaleTextAndOpensTheCalendarInPlace) {
  TADOQuery query(nullptr);
  query.SetConnectionString("Provider=TextProvider;Extended Properties=\"DRIVER={Text Driver (*.txt; *.csv)};DBQ=" +
                            folder_.string() + "\"");
  query.SQL()->SetText("SELECT TOP 100 * FROM times.csv");
  query.Open();
  TField* field = query.FieldByName("when");
  ASSERT_EQ(field->DataType(), ftDateTime);
  TcxEditRepositoryItem* item = GetDefaultEditDBRepositoryItems()->GetItemByField(field);
  ASSERT_NE(dynamic_cast<TcxEditRepositoryDateItem*>(item), nullptr);
  auto* properties = static_cast<TcxDateEditProperties*>(item->Properties());
  Variant display;
  properties->PrepareDisplayValue(field->Value(), display, false);
  EXPECT_EQ(VarToStr(display), "3/5/2024 6:00:00 PM");

  // In place: the cell's editor takes the value and opens the calendar on the field's day.
  TcxInplaceEditList list;
  auto* edit = static_cast<TcxDateEdit*>(list.ObtainEdit(properties));
  edit->SetParent(form_);
  edit->SetBounds(10, 10, 160, 20);
  edit->SetEditValue(field->Value());
  TcxCustomEditData* data = nullptr;
  edit->ActivateInPlace(data);
  Pump();
  S().PressKey(VK_F4);
  Pump();
  ASSERT_TRUE(edit->DroppedDown());
  EXPECT_EQ(edit->Calendar()->SelectDate(), EncodeDate(2024, 3, 5));
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(edit->DroppedDown());
  edit->SetParent(nullptr);
}

}  // namespace
