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

}  // namespace
