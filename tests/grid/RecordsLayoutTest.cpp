// Records layout: rows placed in the records area, parts stacked around it, offsetting by
// records, the empty view's text, page measuring.
#include <gtest/gtest.h>

#include "tests/grid/RecordViewTestSupport.h"

namespace gridtest {
namespace {

class RecordsLayoutTest : public RecordViewFixture {};

TEST_F(RecordsLayoutTest, RowsFillTheRecordsAreaAndAnswerHitTests) {
  Build(100);
  TRowsViewInfo* rows = view_->Info()->Rows();
  TRect area = view_->Info()->ClientBounds();
  ASSERT_GT(area.Height(), 40);
  EXPECT_EQ(rows->VisibleCount, area.Height() / 20);
  EXPECT_EQ(rows->Items(0)->Bounds, TRect(area.Left, area.Top, area.Left + 120, area.Top + 20));
  EXPECT_EQ(rows->Items(2)->Bounds.Top, area.Top + 40);
  auto* hit = dynamic_cast<TcxGridRecordCellHitTest*>(view_->ViewInfo()->GetHitTest(area.Left + 70, area.Top + 45));
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit->GridRecord->Index(), 2);
  EXPECT_EQ(hit->Item, view_->Items(1));
  EXPECT_EQ(hit->GetHitTestCode(), 107);
  auto* cell = static_cast<TRowRecordViewInfo*>(rows->Items(2))->Cell(1);
  EXPECT_EQ(cell->Text, "r2c1");
}

}  // namespace
}  // namespace gridtest
