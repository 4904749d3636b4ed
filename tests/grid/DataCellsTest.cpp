// Data cells: heights measured through the editor, hot tracking, and when a press opens the
// in-place editor.
#include <gtest/gtest.h>

#include "editors/cxButtonEdit.h"
#include "editors/cxCheckBox.h"
#include "editors/cxTextEdit.h"
#include "tests/grid/RecordViewTestSupport.h"

namespace gridtest {
namespace {

class DataCellsTest : public RecordViewFixture {
 protected:
  TRowRecordViewInfo* Row(Integer i) { return static_cast<TRowRecordViewInfo*>(view_->Info()->Rows()->Items(i)); }
  TcxGridTableDataCellViewInfo* Cell(Integer row, Integer column) { return Row(row)->Cell(column); }
  POINT CellPoint(Integer row, Integer column) {
    TRect b = Cell(row, column)->Bounds;
    return POINT{b.Left + 10, b.Top + b.Height() / 2};
  }
  bool Editing() { return view_->Ctrl()->IsEditing(); }
};

TEST_F(DataCellsTest, HeightsComeFromTheEditorOrTheHandler) {
  Build(4, 2);
  view_->RowHeight = 0;
  dc_->SetValue(1, 0, "one\ntwo\nthree");
  dc_->SetValue(2, 0, "");
  dc_->SetValue(2, 1, "");
  Layout();
  Integer plain = Row(0)->Bounds.Height();
  EXPECT_GT(plain, 8);
  EXPECT_EQ(Row(1)->Bounds.Height(), plain);
  // Auto height: the multi-line text measures taller, an empty cell takes the default height.
  view_->TableOptionsView()->SetCellAutoHeight(true);
  Layout();
  EXPECT_TRUE(Cell(1, 0)->IsAutoHeight());
  EXPECT_GT(Row(1)->Bounds.Height(), 2 * plain);
  EXPECT_EQ(Row(2)->Bounds.Height(), plain);
  // The handler has the last word, per record and item.
  view_->OnGetCellHeight = [](TcxCustomGridTableView*, TcxCustomGridRecord* r, TcxCustomGridTableItem* item,
                              TcxCustomGridCellViewInfo*, Integer& h) {
    if (r->Index() == 3 && item->Index() == 1) h = 45;
  };
  view_->QueueSizeChange(false, false);
  Pump();
  EXPECT_EQ(Row(3)->Bounds.Height(), 45);
  EXPECT_EQ(Cell(3, 0)->Bounds.Height(), 45);
}

TEST_F(DataCellsTest, HotTrackingFollowsPropertiesButtonsAndFocus) {
  Build(3, 2);
  view_->Items(1)->SetPropertiesClass(TcxCheckBoxProperties::StaticClass());
  view_->Ctrl()->FocusRowAtIndex(0);
  view_->Ctrl()->SetFocusedItem(view_->Items(0));
  Layout();
  // (item, immediate editor, show buttons) -> hot-trackable in the focused and another record.
  struct {
    Integer item;
    bool immediate;
    TcxGridShowEditButtons buttons;
    bool focusedRow, otherRow;
  } cases[] = {
      {0, true, gsebNever, false, false},           // text: no hot tracking
      {0, true, gsebForFocusedRecord, true, false}, // buttons in the focused record
      {0, true, gsebAlways, true, true},
      {1, true, gsebNever, true, true},             // check box with the immediate editor
      {1, false, gsebNever, false, false},          // only in the focused cell, which is item 0
  };
  for (auto& c : cases) {
    view_->TableOptionsBehavior()->SetImmediateEditor(c.immediate);
    view_->TableOptionsView()->SetShowEditButtons(c.buttons);
    Layout();
    EXPECT_EQ(Cell(0, c.item)->IsHotTrackable(), c.focusedRow) << c.item << c.immediate << int(c.buttons);
    EXPECT_EQ(Cell(1, c.item)->IsHotTrackable(), c.otherRow) << c.item << c.immediate << int(c.buttons);
  }
  view_->TableOptionsBehavior()->SetImmediateEditor(false);
  view_->TableOptionsView()->SetShowEditButtons(gsebNever);
  view_->Ctrl()->SetFocusedItem(view_->Items(1));
  Layout();
  EXPECT_TRUE(Cell(0, 1)->IsHotTrackable());
  EXPECT_TRUE(Cell(0, 1)->IsFocusedCell());
  EXPECT_FALSE(Cell(0, 0)->IsFocusedCell());
}

// A cell shows its editor's buttons only where ShowEditButtons asks for them; elsewhere it
// paints as text only.
TEST_F(DataCellsTest, EditButtonsShowOnlyWhereAsked) {
  Build(3, 2);
  view_->Items(0)->SetPropertiesClass(TcxButtonEditProperties::StaticClass());
  view_->Ctrl()->FocusRowAtIndex(0);
  struct {
    TcxGridShowEditButtons mode;
    bool focusedRow, otherRow;
  } cases[] = {
      {gsebNever, false, false},
      {gsebForFocusedRecord, true, false},
      {gsebAlways, true, true},
  };
  for (auto& c : cases) {
    view_->TableOptionsView()->SetShowEditButtons(c.mode);
    Layout();
    EXPECT_EQ(!Cell(0, 0)->EditViewInfo()->Buttons.empty(), c.focusedRow) << int(c.mode);
    EXPECT_EQ(!Cell(1, 0)->EditViewInfo()->Buttons.empty(), c.otherRow) << int(c.mode);
  }
}

// A hot-tracking cell repaints when the mouse changes its editor's look, not on every move.
TEST_F(DataCellsTest, HotTrackingRepaintsOnlyOnChange) {
  Build(3, 2);
  view_->Items(1)->SetPropertiesClass(TcxCheckBoxProperties::StaticClass());
  Layout();
  HWND site = view_->Site()->Handle();
  TcxGridTableDataCellViewInfo* box = Cell(1, 1);
  ASSERT_TRUE(box->IsHotTrackable());
  TRect b = box->Bounds;
  auto updated = [&] {
    RECT r{};
    return GetUpdateRect(site, &r, FALSE) && r.Right > b.Left && r.Left < b.Right;
  };
  // From a text cell onto the check box: its look changes (hot), so it repaints.
  TRect text = Cell(1, 0)->Bounds;
  Integer mid = b.Top + b.Height() / 2;
  S().MoveMouse(site, POINT{text.Left + 5, mid});
  Pump();
  ASSERT_FALSE(updated());
  view_->Controller()->MouseMove({}, b.Left + 5, mid);
  EXPECT_TRUE(updated());
  Pump();
  // A move that changes nothing repaints nothing.
  view_->Controller()->MouseMove({}, b.Left + 9, mid);
  EXPECT_FALSE(updated());
  // Leaving: the hot look goes.
  box->MouseLeave();
  EXPECT_TRUE(updated());
}

// A press on a cell: when does the in-place editor open?
enum TWhen { kAtOnce, kOnMouseUp, kAfterDoubleClickTime, kNever };

TEST_F(DataCellsTest, WhenAPressOpensTheEditor) {
  struct {
    const char* name;
    Integer item;  // 0 text, 1 check box
    int button;
    bool shift, ctrl, immediate, alwaysShow, focusedBefore, doubleClick;
    TWhen when;
    bool focusesRecord;
  } cases[] = {
      {"text, immediate", 0, kMouseLeft, false, false, true, false, false, false, kOnMouseUp, true},
      {"text, immediate, focused", 0, kMouseLeft, false, false, true, false, true, false, kOnMouseUp, true},
      {"text, not immediate", 0, kMouseLeft, false, false, false, false, false, false, kNever, true},
      {"text, not immediate, focused", 0, kMouseLeft, false, false, false, false, true, false, kAfterDoubleClickTime,
       true},
      {"text, double click", 0, kMouseLeft, false, false, false, false, true, true, kNever, true},
      {"shift", 0, kMouseLeft, true, false, true, false, true, false, kNever, true},
      {"ctrl", 0, kMouseLeft, false, true, true, false, true, false, kNever, true},
      {"always shown editor", 0, kMouseLeft, false, false, false, true, false, false, kAtOnce, true},
      {"right button", 0, kMouseRight, false, false, true, false, false, false, kNever, true},
      {"right button, always shown", 0, kMouseRight, false, false, true, true, false, false, kAtOnce, true},
      {"middle button", 0, kMouseMiddle, false, false, true, false, false, false, kNever, false},
      {"check box", 1, kMouseLeft, false, false, true, false, false, false, kAtOnce, true},
  };
  Build(4, 2);
  view_->Items(1)->SetPropertiesClass(TcxCheckBoxProperties::StaticClass());
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    view_->Ctrl()->EditingController()->HideEdit(false);
    view_->TableOptionsBehavior()->SetImmediateEditor(c.immediate);
    view_->TableOptionsBehavior()->SetAlwaysShowEditor(c.alwaysShow);
    view_->Ctrl()->FocusRowAtIndex(c.focusedBefore ? 2 : 0);
    view_->Ctrl()->SetFocusedItem(view_->Items(c.focusedBefore ? c.item : 1 - c.item));
    view_->Site()->SetFocus();
    Layout();
    view_->Ctrl()->EditingController()->HideEdit(false);
    ASSERT_FALSE(Editing());
    HWND site = view_->Site()->Handle();
    POINT p = CellPoint(2, c.item);
    if (c.shift) S().KeyDown(VK_SHIFT);
    if (c.ctrl) S().KeyDown(VK_CONTROL);
    Pump();
    if (c.doubleClick) {
      S().Click(site, p, c.button);
      S().MouseDown(site, p, c.button);
    } else {
      S().MouseDown(site, p, c.button);
    }
    bool atDown = Editing();
    S().MouseUp(site, p, c.button);
    if (c.shift) S().KeyUp(VK_SHIFT);
    if (c.ctrl) S().KeyUp(VK_CONTROL);
    Pump();
    bool atUp = Editing();
    Advance(GetDoubleClickTime() + 20);
    bool later = Editing();
    TWhen when = atDown ? kAtOnce : atUp ? kOnMouseUp : later ? kAfterDoubleClickTime : kNever;
    EXPECT_EQ(when, c.when);
    EXPECT_EQ(view_->Ctrl()->FocusedRowIndex() == 2, c.focusesRecord);
    if (c.when != kNever) {
      EXPECT_EQ(view_->Ctrl()->EditingController()->EditingItem(), view_->Items(c.item));
    }
  }
}

}  // namespace
}  // namespace gridtest
