// Best fit of all columns: every column measured inside one update bracket of the view, so
// the view is laid out once, with the widths each column gets on its own.
#include <gtest/gtest.h>

#include "TableViewTestSupport.h"

namespace {

class BestFitFixture : public gridviewstest::GridFormFixture {};

TEST_F(BestFitFixture, AllColumnsFitInsideOneUpdateBracket) {
  TcxGridDBTableView* view = AddView();
  Bind(view, {{Variant("Japan"), Variant("Tokyo and a long suburb"), Variant(10)},
              {Variant("A country of some length"), Variant("Rome"), Variant(123456789)}});
  ShowWithColumnWidth(view, 30);
  // The widths of each column fitted alone.
  std::vector<Integer> alone;
  for (Integer i = 0; i < view->GetColumnCount(); ++i) {
    view->GetColumn(i)->ApplyBestFit(false, false);
    alone.push_back(view->GetColumn(i)->Width());
    view->GetColumn(i)->SetWidth(30);
  }
  Pump();
  std::vector<Integer> locks;
  view->OnColumnSizeChanged = [&](TcxGridTableView* v, TcxGridColumn*) { locks.push_back(v->UpdateLockCount()); };
  view->ApplyBestFit(nullptr, false, true);
  EXPECT_EQ(view->UpdateLockCount(), 0);
  ASSERT_EQ(locks.size(), alone.size());
  for (Integer lock : locks) EXPECT_GT(lock, 0);  // no layout between the columns
  for (Integer i = 0; i < view->GetColumnCount(); ++i) EXPECT_EQ(view->GetColumn(i)->Width(), alone[size_t(i)]);
}

// With BestFitMaxRecordCount N the widest of N records from the top record counts: a long
// value at record 20 is measured only while it lies in that window.
TEST_F(BestFitFixture, MaxRecordCountMeasuresRecordsFromTheTopRecord) {
  TcxGridDBTableView* view = AddView();
  std::vector<std::vector<Variant>> rows;
  for (Integer i = 0; i < 30; ++i)
    rows.push_back({Variant("Peru"), Variant(i == 20 ? "A city with a long name indeed" : "Lima"), Variant(i)});
  Bind(view, rows);
  ShowWithColumnWidth(view, 40);
  view->GetOptionsBehavior()->SetBestFitMaxRecordCount(5);
  TcxGridColumn* city = view->GetColumn(1);
  struct {
    Integer top;
    bool long_;
  } cases[] = {{0, false}, {15, false}, {16, true}, {20, true}, {21, false}};
  std::vector<Integer> widths;
  for (const auto& c : cases) {
    view->GetController()->SetTopRecordIndex(c.top);
    ASSERT_EQ(view->GetController()->TopRecordIndex(), c.top);
    widths.push_back(city->CalculateBestFitWidth());
  }
  for (size_t i = 0; i < widths.size(); ++i)
    EXPECT_EQ(widths[i] > widths[0], cases[i].long_) << "top " << cases[i].top;
}

}  // namespace
