// Records layout: rows placed in the records area, parts stacked around it, offsetting by
// records, the empty view's text, the top record and page measuring.
#include <gtest/gtest.h>

#include "tests/grid/RecordViewTestSupport.h"

namespace gridtest {
namespace {

class RecordsLayoutTest : public RecordViewFixture {
 protected:
  TRowsViewInfo* Rows() { return view_->Info()->Rows(); }
  TRect Area() { return view_->Info()->ClientBounds(); }
  // Pixels other than the background's (text) inside a rectangle of the painted view.
  Integer TextPixels(const TRect& r) {
    TBitmap bitmap;
    TRect all = view_->Site()->ClientRect();
    bitmap.SetSize(all.Right, all.Bottom);
    TcxCanvas canvas(bitmap.Canvas());
    view_->Painter()->Paint(&canvas, view_->ViewInfo());
    Integer dark = 0;
    for (Integer y = r.Top; y < r.Bottom; ++y)
      for (Integer x = r.Left; x < r.Right; ++x)
        if (ColorToRGB(bitmap.Canvas()->Pixels(x, y)) != ColorToRGB(view_->ViewInfo()->GetBackgroundColor())) ++dark;
    return dark;
  }
};

TEST_F(RecordsLayoutTest, RowsFillTheRecordsAreaAndAnswerHitTests) {
  Build(100);
  TRect area = Area();
  ASSERT_GT(area.Height(), 40);
  EXPECT_EQ(Rows()->VisibleCount, area.Height() / 20);
  EXPECT_EQ(Rows()->Items(0)->Bounds, TRect(area.Left, area.Top, area.Left + 120, area.Top + 20));
  EXPECT_EQ(Rows()->Items(2)->Bounds.Top, area.Top + 40);
  auto* hit = dynamic_cast<TcxGridRecordCellHitTest*>(view_->ViewInfo()->GetHitTest(area.Left + 70, area.Top + 45));
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit->GridRecord->Index(), 2);
  EXPECT_EQ(hit->Item, view_->Items(1));
  EXPECT_EQ(hit->GetHitTestCode(), 107);
  EXPECT_EQ(static_cast<TRowRecordViewInfo*>(Rows()->Items(2))->Cell(1)->Text, "r2c1");
  view_->Ctrl()->FocusRowAtIndex(2);
  view_->Ctrl()->SetFocusedItem(view_->Items(1));
  view_->TableOptionsSelection()->SetInvertSelect(false);
  view_->Site()->SetFocus();
  Pump();
  S().Snapshot(form_->Handle(), "grid_records_rows.png");
  // Only the rows laid out exist: a page and at most one more, whatever the record count.
  EXPECT_LE(Rows()->Count(), Rows()->VisibleCount + 1);
  // The filter bar and the navigator site stay hidden and take no room.
  EXPECT_FALSE(view_->Info()->FilterViewInfo()->Visible);
  EXPECT_EQ(view_->Info()->FilterViewInfo()->Height(), 0);
  EXPECT_EQ(area, view_->Info()->TcxCustomGridViewInfo::GetClientBounds());
}

TEST_F(RecordsLayoutTest, PartsStackOnBothSidesTheFirstOutermost) {
  Build(10);
  view_->Info()->PartSpecs = {{gpaBottom, 10}, {gpaTop, 12}, {gpaBottom, 15}, {gpaTop, 7}};
  view_->Info()->Recalculate();
  Layout();
  TRect whole = view_->Info()->TcxCustomGridViewInfo::GetClientBounds();
  auto& parts = view_->Info()->TestParts;
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(parts[0]->Bounds, TRect(whole.Left, whole.Bottom - 10, whole.Right, whole.Bottom));
  EXPECT_EQ(parts[2]->Bounds, TRect(whole.Left, whole.Bottom - 25, whole.Right, whole.Bottom - 10));
  EXPECT_EQ(parts[1]->Bounds, TRect(whole.Left, whole.Top, whole.Right, whole.Top + 12));
  EXPECT_EQ(parts[3]->Bounds, TRect(whole.Left, whole.Top + 12, whole.Right, whole.Top + 19));
  EXPECT_EQ(Area(), TRect(whole.Left, whole.Top + 19, whole.Right, whole.Bottom - 25));
  EXPECT_EQ(Rows()->Items(0)->Bounds.Top, whole.Top + 19);
  // Moving a part in the list changes the stacking; a hidden part takes no room.
  parts[2]->SetIndex(0);
  parts[1]->Shown = false;
  view_->QueueLayoutChange();
  Pump();
  EXPECT_EQ(parts[2]->Bounds.Bottom, whole.Bottom);
  EXPECT_EQ(parts[0]->Bounds.Bottom, whole.Bottom - 15);
  EXPECT_EQ(parts[1]->Height(), 0);
  EXPECT_EQ(parts[3]->Bounds.Top, whole.Top);
}

TEST_F(RecordsLayoutTest, OffsettingKeepsTheRecordViewInfosThatStay) {
  Build(100);
  Integer visible = Rows()->VisibleCount;
  ASSERT_GT(visible, 5);
  std::vector<TcxCustomGridRecordViewInfo*> before;
  for (Integer i = 0; i < visible; ++i) before.push_back(Rows()->Items(i));
  Integer created = TRowRecordViewInfo::Created;
  Pump();
  view_->Ctrl()->SetTopRecordIndex(3);
  // The screen scrolled by the pixels of three rows: only what came in waits for painting.
  RECT update{};
  ASSERT_TRUE(GetUpdateRect(view_->Site()->Handle(), &update, FALSE));
  TcxCustomGridRecordsViewInfo* records = Rows();
  EXPECT_EQ(update.Bottom, records->Bounds.Bottom);
  EXPECT_EQ(update.Top, records->Bounds.Bottom - 60);
  EXPECT_EQ(TRowRecordViewInfo::Created - created, 3);
  EXPECT_EQ(view_->Ctrl()->TopRecordIndex(), 3);
  EXPECT_EQ(Rows()->VisibleCount, visible);
  for (Integer i = 0; i + 3 < visible; ++i) {
    EXPECT_EQ(Rows()->Items(i), before[size_t(i + 3)]) << i;
    EXPECT_EQ(Rows()->Items(i)->Bounds.Top, Area().Top + 20 * i);
  }
  for (Integer i = visible - 3; i < visible; ++i) {
    EXPECT_EQ(Rows()->Items(i)->GridRecord()->Index(), 3 + i);
    EXPECT_EQ(Rows()->Items(i)->Bounds.Top, Area().Top + 20 * i);
  }
  // Back up by two: two new view infos in front, the rest moved down.
  TcxCustomGridRecordViewInfo* first = Rows()->Items(0);
  view_->Ctrl()->SetTopRecordIndex(1);
  EXPECT_EQ(Rows()->Items(2), first);
  EXPECT_EQ(Rows()->Items(2)->Bounds.Top, Area().Top + 40);
  EXPECT_EQ(Rows()->Items(0)->GridRecord()->Index(), 1);
  EXPECT_EQ(Rows()->Items(0)->Bounds.Top, Area().Top);
}

TEST_F(RecordsLayoutTest, AnEmptyViewSaysSoInTheRecordsArea) {
  Build(0);
  view_->Info()->PartSpecs = {{gpaTop, 30}};
  view_->Info()->Recalculate();
  Layout();
  EXPECT_TRUE(view_->Info()->IsRecordsEmpty());
  EXPECT_EQ(GridNoDataText(), "<No data to display>");
  TRect area = Area();
  TRect middle(area.Left, area.Top + area.Height() / 2 - 8, area.Right, area.Top + area.Height() / 2 + 8);
  EXPECT_GT(TextPixels(middle), 20);
  // Under the part, and no text once there are records.
  TRect textBounds;
  view_->Info()->GetNoDataTextBounds(textBounds);
  EXPECT_EQ(textBounds, area);
  S().Snapshot(form_->Handle(), "grid_records_nodata.png");
  dc_->SetRecordCount(3);
  Pump();
  EXPECT_FALSE(view_->Info()->IsRecordsEmpty());
  EXPECT_EQ(TextPixels(TRect(area.Left + 130, middle.Top, area.Right, middle.Bottom)), 0);
}

// CheckTopRecordIndex: (wanted top) -> top, over 100 records of 20 pixels.
TEST_F(RecordsLayoutTest, TheTopRecordIsClamped) {
  Build(100);
  Integer page = Rows()->VisibleCount;
  struct {
    Integer wanted, expected;
  } cases[] = {{-5, 0}, {0, 0}, {10, 10}, {100 - page, 100 - page}, {99, 100 - page}, {500, 100 - page}};
  for (auto& c : cases) {
    view_->Ctrl()->SetTopRecordIndexChecked(c.wanted);
    EXPECT_EQ(view_->Ctrl()->TopRecordIndex(), c.expected) << c.wanted;
    EXPECT_EQ(Rows()->Items(0)->GridRecord()->Index(), c.expected) << c.wanted;
  }
}

// The vertical scroll bar: lines, pages and positions move the top record.
TEST_F(RecordsLayoutTest, TheScrollBarMovesTheTopRecord) {
  Build(100);
  Integer page = Rows()->VisibleCount;
  TcxCustomGridTableController* c = view_->Ctrl();
  EXPECT_EQ(c->GetScrollBarRecordCount(), 100);
  // (A scroll bar of 100 records with a page of `page` ends at 100 - page.)
  struct {
    TScrollCode code;
    Integer pos, top;
  } cases[] = {{scLineDown, 0, 1}, {scLineDown, 0, 2}, {scPageDown, 0, 2 + page}, {scLineUp, 0, 1 + page},
               {scTrack, 40, 40},  {scPageUp, 0, 40 - page}, {scPosition, 100 - page, 100 - page}};
  for (auto& k : cases) {
    Integer pos = k.pos;
    c->Scroll(sbVertical, k.code, pos);
    EXPECT_EQ(c->TopRecordIndex(), k.top) << int(k.code);
    EXPECT_EQ(pos, c->GetScrollBarPos());
  }
}

// With variable record heights a page is measured by a temporary layout: each step builds
// only a few, whatever the record count.
TEST_F(RecordsLayoutTest, PageStepsWithVariableHeightsBuildFewTemporaryLayouts) {
  Build(5000);
  view_->RowHeight = 0;
  view_->OnGetCellHeight = [](TcxCustomGridTableView*, TcxCustomGridRecord* r, TcxCustomGridTableItem*,
                              TcxCustomGridCellViewInfo*, Integer& h) { h = 16 + (r->Index() % 3) * 6; };
  Layout();
  EXPECT_TRUE(Rows()->HasVariableRecordHeight());
  view_->Ctrl()->FocusRowAtIndex(0);
  for (int step = 0; step < 20; ++step) {
    view_->Ctrl()->TemporaryLayoutCount = 0;
    view_->Ctrl()->FocusNextPage(false);
    EXPECT_LE(view_->Ctrl()->TemporaryLayoutCount, 4) << step;
    Integer row = view_->Ctrl()->FocusedRowIndex();
    EXPECT_GE(row, view_->Ctrl()->TopRecordIndex());
    EXPECT_LT(row, view_->Ctrl()->TopRecordIndex() + Rows()->VisibleCount);
  }
  view_->Ctrl()->TemporaryLayoutCount = 0;
  view_->Ctrl()->MakeRecordVisible(view_->TableViewData()->FetchRecord(4000));
  EXPECT_LE(view_->Ctrl()->TemporaryLayoutCount, 4);
  EXPECT_EQ(view_->Ctrl()->TopRecordIndex() + Rows()->VisibleCount - 1, 4000);
}

}  // namespace
}  // namespace gridtest
