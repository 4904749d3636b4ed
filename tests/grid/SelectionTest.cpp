// Selection with Shift and Ctrl by mouse and keys, pull focusing, dragging records, and the
// unselect-on-exit rule.
#include <gtest/gtest.h>

#include <set>

#include "tests/grid/RecordViewTestSupport.h"

namespace gridtest {
namespace {

class SelectionTest : public RecordViewFixture {
 protected:
  void Start(Integer rows = 30) {
    RecordViewFixture::Start(rows, 2);
    view_->TableOptionsSelection()->SetMultiSelect(true);
  }
  std::set<Integer> Selected() {
    std::set<Integer> rows;
    for (Integer i = 0; i < dc_->CountSelectedRows(); ++i) rows.insert(dc_->GetSelectedRowIndex(i));
    return rows;
  }
  void Select(const std::set<Integer>& rows) {
    dc_->ClearSelection();
    for (Integer r : rows) dc_->ChangeRowSelection(r, true);
  }
  POINT RowPoint(Integer row) {
    TRect b = view_->Info()->Rows()->Items(row - Ctrl()->TopRecordIndex())->Bounds;
    return POINT{b.Left + 10, b.Top + b.Height() / 2};
  }
  void Modifiers(bool shift, bool ctrl, bool down) {
    if (shift) down ? S().KeyDown(VK_SHIFT) : S().KeyUp(VK_SHIFT);
    if (ctrl) down ? S().KeyDown(VK_CONTROL) : S().KeyUp(VK_CONTROL);
  }
};

TEST_F(SelectionTest, ClicksWithShiftAndCtrl) {
  struct {
    const char* name;
    std::set<Integer> before;
    Integer focused;  // and anchor
    Integer clicked;
    bool shift, ctrl;
    std::set<Integer> afterDown, afterUp;
  } cases[] = {
      {"plain on a selected one", {1, 2, 3}, 1, 2, false, false, {1, 2, 3}, {2}},
      {"plain on an unselected one", {1, 2, 3}, 1, 5, false, false, {5}, {5}},
      {"ctrl on a selected one", {1, 2, 3}, 1, 2, false, true, {1, 2, 3}, {1, 3}},
      {"ctrl on an unselected one", {1, 2, 3}, 1, 5, false, true, {1, 2, 3, 5}, {1, 2, 3, 5}},
      {"shift: the range only", {1, 2, 3}, 2, 5, true, false, {2, 3, 4, 5}, {2, 3, 4, 5}},
      {"ctrl+shift: the range added", {0, 8}, 2, 5, true, true, {0, 2, 3, 4, 5, 8}, {0, 2, 3, 4, 5, 8}},
  };
  Start();
  HWND site = view_->Site()->Handle();
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    Advance(GetDoubleClickTime() + 10);  // no double click with the last case
    view_->Site()->SetFocus();
    Ctrl()->FocusRowAtIndex(c.focused);
    dc_->SetSelectionAnchor(c.focused);
    Select(c.before);
    Pump();
    Modifiers(c.shift, c.ctrl, true);
    S().MouseDown(site, RowPoint(c.clicked));
    EXPECT_EQ(Row(), c.clicked);
    EXPECT_EQ(Selected(), c.afterDown);
    S().MouseUp(site, RowPoint(c.clicked));
    Modifiers(c.shift, c.ctrl, false);
    EXPECT_EQ(Selected(), c.afterUp);
    EXPECT_FALSE(Ctrl()->PostponedSelection());
  }
}

TEST_F(SelectionTest, KeysWithShiftAndCtrl) {
  Start(100);
  Integer page = view_->Info()->Rows()->VisibleCount;
  auto key = [&](Word k, TShiftState shift = {}) {
    Ctrl()->KeyDown(k, shift);
    Pump();
  };
  // PageDown alone: only the new focused record is selected.
  Select({0, 1});
  key(VK_NEXT);
  EXPECT_EQ(Row(), page - 1);
  EXPECT_EQ(Selected(), std::set<Integer>{page - 1});
  // Shift: the range from the anchor.
  key(VK_PRIOR, {ssShift});
  EXPECT_EQ(Row(), 0);
  std::set<Integer> range;
  for (Integer i = 0; i < page; ++i) range.insert(i);
  EXPECT_EQ(Selected(), range);
  // Ctrl: the focus (and the anchor) move, the selection stays.
  key(VK_NEXT, {ssCtrl});
  EXPECT_EQ(Row(), page - 1);
  EXPECT_EQ(Selected(), range);
  // Ctrl+Space toggles the focused record; its character is swallowed.
  key(VK_SPACE, {ssCtrl});
  EXPECT_EQ(Selected().count(page - 1), 0u);
  view_->TableOptionsBehavior()->SetIncSearch(true);
  char32_t space = U' ';
  Ctrl()->KeyPress(space);
  EXPECT_EQ(space, 0u);
  EXPECT_FALSE(Ctrl()->IsIncSearching());
  key(VK_SPACE, {ssCtrl});
  EXPECT_EQ(Selected().count(page - 1), 1u);
}

// IsKeyForController (key, shift, focused row changed).
TEST_F(SelectionTest, WhichKeysSelect) {
  Start(5);
  struct {
    Word key;
    TShiftState shift;
    bool changed, result;
  } cases[] = {
      {VK_SPACE, {}, false, true},   {VK_NEXT, {}, false, true},        {VK_PRIOR, {ssShift}, false, true},
      {VK_DOWN, {}, false, false},   {VK_DOWN, {}, true, true},         {'C', {ssCtrl}, true, false},
      {VK_INSERT, {ssCtrl}, true, false}, {VK_INSERT, {}, true, true}, {'C', {}, true, true},
  };
  for (auto& c : cases) EXPECT_EQ(Ctrl()->IsKeyForController(c.key, c.shift, c.changed), c.result) << c.key;
}

TEST_F(SelectionTest, PullFocusingFollowsTheMouseAndScrollsEvery50ms) {
  Start(100);
  view_->TableOptionsBehavior()->SetPullFocusing(true);
  HWND site = view_->Site()->Handle();
  S().MouseDown(site, RowPoint(1));
  ASSERT_TRUE(Ctrl()->IsPullFocusing());
  S().MoveMouse(site, RowPoint(4));
  EXPECT_EQ(Row(), 4);
  EXPECT_EQ(Selected(), (std::set<Integer>{1, 2, 3, 4}));
  // Below the records: one record every 50 ms, scrolling.
  TRect records = view_->Info()->Rows()->Bounds;
  Integer last = Ctrl()->TopRecordIndex() + view_->Info()->Rows()->VisibleCount - 1;
  S().MoveMouse(site, POINT{records.Left + 10, records.Bottom + 5});
  EXPECT_TRUE(Ctrl()->PullFocusingTimerRunning());
  Advance(50);
  EXPECT_EQ(Row(), last + 1);
  Advance(50);
  EXPECT_EQ(Row(), last + 2);
  EXPECT_EQ(Ctrl()->TopRecordIndex(), 2);
  S().MouseUp(site, POINT{records.Left + 10, records.Bottom + 5});
  EXPECT_FALSE(Ctrl()->IsPullFocusing());
  EXPECT_FALSE(Ctrl()->PullFocusingTimerRunning());
  Advance(200);
  EXPECT_EQ(Row(), last + 2);
}

TEST_F(SelectionTest, DraggingRecords) {
  Start(100);
  view_->TableOptionsBehavior()->SetDragDropText(true);
  TDragObject* dragObject = nullptr;
  // The drag cursor: one record, then several.
  Select({0});
  Ctrl()->StartDrag(dragObject);
  EXPECT_EQ(view_->Site()->DragCursor(), crcxDrag);
  EXPECT_EQ(Ctrl()->DragText(), "r0c0");
  Select({0, 1});
  Ctrl()->StartDrag(dragObject);
  EXPECT_EQ(view_->Site()->DragCursor(), crcxMultiDrag);
  // The drag image: the text plus 35 by 10 pixels, drawn in nested frames.
  TSize size;
  Ctrl()->GetDragImagesSize(size);
  TSize text = view_->Site()->Canvas()->MeasureTextSize("r0c0");
  EXPECT_EQ(size, TSize(text.cx + 35, text.cy + 10));
  TBitmap bitmap;
  bitmap.SetSize(size.cx, size.cy);
  TcxCanvas canvas(bitmap.Canvas());
  Ctrl()->PaintDragImage(&canvas, TRect(0, 0, size.cx, size.cy));
  bitmap.SaveToPngFile(testing_support::SheetPath("grid_drag_image.png"));
  // Over the last shown record the view scrolls one record every 20 ms; over the first it
  // goes back; elsewhere and at leaving it stops.
  bool accept = true;
  Integer page = view_->Info()->Rows()->VisibleCount;
  POINT p = RowPoint(page - 1);
  Ctrl()->DragOver(nullptr, p.X, p.Y, dsDragMove, accept);
  EXPECT_EQ(Ctrl()->DragScrollDirection(), 4);
  EXPECT_EQ(Ctrl()->DragHighlightedRecord(), view_->TableViewData()->FetchRecord(page - 1));
  Advance(20);
  EXPECT_EQ(Ctrl()->TopRecordIndex(), 1);
  Advance(20);
  EXPECT_EQ(Ctrl()->TopRecordIndex(), 2);
  p = RowPoint(5);
  Ctrl()->DragOver(nullptr, p.X, p.Y, dsDragMove, accept);
  EXPECT_FALSE(Ctrl()->DragScrollTimerRunning());
  p = RowPoint(2);
  Ctrl()->DragOver(nullptr, p.X, p.Y, dsDragMove, accept);
  Advance(20);
  EXPECT_EQ(Ctrl()->TopRecordIndex(), 1);
  Ctrl()->DragOver(nullptr, p.X, p.Y, dsDragLeave, accept);
  EXPECT_FALSE(Ctrl()->DragScrollTimerRunning());
  EXPECT_EQ(Ctrl()->DragHighlightedRecord(), nullptr);
  // Focusing on drag over.
  view_->TableOptionsBehavior()->SetDragFocusing(dfDragOver);
  p = RowPoint(6);
  Ctrl()->DragOver(nullptr, p.X, p.Y, dsDragMove, accept);
  EXPECT_EQ(Row(), 6);
  Ctrl()->EndDrag(nullptr, p.X, p.Y);
  EXPECT_FALSE(Ctrl()->DragScrollTimerRunning());
  EXPECT_EQ(Ctrl()->DragHighlightedRecord(), nullptr);
}

TEST_F(SelectionTest, LeavingTheViewUnselectsALoneFocusedRecord) {
  Start(10);
  Ctrl()->FocusRowAtIndex(3);
  Select({3});
  other_->SetFocus();
  Pump();
  EXPECT_TRUE(Selected().empty());
  view_->Site()->SetFocus();
  Select({3, 4});
  other_->SetFocus();
  Pump();
  EXPECT_EQ(Selected(), (std::set<Integer>{3, 4}));
  // Not with the option off.
  view_->Site()->SetFocus();
  view_->TableOptionsSelection()->SetUnselectFocusedRecordOnExit(false);
  Select({3});
  other_->SetFocus();
  Pump();
  EXPECT_EQ(Selected(), std::set<Integer>{3});
}

}  // namespace
}  // namespace gridtest
