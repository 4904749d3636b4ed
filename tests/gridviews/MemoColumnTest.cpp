// A data-set table view on the CSV query: a column of long texts takes the memo, which shows
// the first line of each text and stays read-only, as the query is: no in-place editor opens.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TableViewTestSupport.h"
#include "editors-extra/cxMemo.h"
#include "gridviews/cxGridRows.h"
#include "gridviews/cxGridTableViewInfo.h"

namespace {

class MemoColumnFixture : public gridviewstest::GridFormFixture {};

TEST_F(MemoColumnFixture, LongTextColumnOfTheCsvQueryTakesAReadOnlyMemo) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("korvan_memo_column_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  {
    std::ofstream f(dir / "notes.csv", std::ios::binary);
    f << "id,note\r\n1,\"first line\r\nsecond line " << String(400, 'z') << "\"\r\n2,short\r\n";
  }
  TADOQuery q(nullptr);
  q.SetCursorType(ctStatic);
  q.SetLockType(ltReadOnly);
  q.SetConnectionString("Provider=TextProvider;Extended Properties=\"DRIVER={Text Driver (*.txt; *.csv)};DBQ=" +
                        dir.string() + "\"");
  q.SQL()->SetText("SELECT * FROM notes.csv");
  q.Open();
  TcxGridDBTableView* view = AddView();
  source_.SetDataSet(&q);
  view->GetDataController()->SetDataSource(&source_);
  view->GetDataController()->CreateAllItems();
  ASSERT_EQ(view->ItemCount(), 2);
  auto* memo = dynamic_cast<TcxMemoProperties*>(view->GetColumn(1)->GetProperties());
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(dynamic_cast<TcxMemoProperties*>(view->GetColumn(0)->GetProperties()), nullptr);
  EXPECT_FALSE(memo->CanModifyEditValue());
  EXPECT_EQ(memo->ValueToDisplayText(q.FieldByName("note")->Value(), false, true), "first line");
  // The grid's cells show the memo's text, not the field's own "(MEMO)", and best fit measures it.
  ShowWithColumnWidth(view, 40);
  auto* rows = static_cast<TcxGridRowsViewInfo*>(view->GetViewInfo()->RecordsViewInfo());
  auto* first = static_cast<TcxGridDataRowViewInfo*>(rows->Items(0));
  EXPECT_EQ(first->ExistingCell(1)->Text, "first line");
  view->ApplyBestFit(nullptr, false, false);
  TcxCanvas* canvas = view->GetViewInfo()->GetCanvas();
  EXPECT_GT(view->GetColumn(1)->Width(), canvas->MeasureTextWidth("first line"));
  // No in-place editor opens on the read-only query, and asking does not start an edit.
  view->GetColumn(1)->SetFocused(true);
  EXPECT_FALSE(view->GetColumn(1)->CanEdit());
  view->GetColumn(1)->SetEditing(true);
  Pump();
  EXPECT_FALSE(view->GetColumn(1)->Editing());
  EXPECT_EQ(q.State(), dsBrowse);
  source_.SetDataSet(nullptr);
  q.Close();
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
