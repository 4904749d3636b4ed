// Dragging column headers with injected mouse input: moving in the header, grouping by a
// drop on the group-by box, ungrouping, hiding, sizing by the header edge; and the drag
// image and arrows on the screen, whose covered pixels come back exactly.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "TableViewTestSupport.h"
#include "foundation/cxGraphics.h"
#include "gridviews/cxGridTableViewDragDrop.h"
#include "gridviews/cxGridTableViewInfo.h"

namespace {

class ColumnDragFixture : public gridviewstest::GridFormFixture {
 protected:
  TcxGridDBTableView* Shown() {
    TcxGridDBTableView* v = AddView();
    Bind(v, {{Variant("Japan"), Variant("Tokyo"), Variant(10)},
             {Variant("Japan"), Variant("Osaka"), Variant(5)},
             {Variant("France"), Variant("Paris"), Variant(7)}});
    ShowWithColumnWidth(v, 60);
    v->OnColumnPosChanged = [this](TcxGridTableView*, TcxGridColumn*) { ++posChanged_; };
    v->OnColumnSizeChanged = [this](TcxGridTableView*, TcxGridColumn*) { ++sizeChanged_; };
    return v;
  }
  TcxGridTableViewInfo* Info(TcxGridTableView* v) { return v->GetViewInfo(); }
  TRect HeaderCell(TcxGridTableView* v, Integer i) { return Info(v)->HeaderViewInfo()->GetItemViewInfo(i)->Bounds; }
  TRect GroupCell(TcxGridTableView* v, Integer i) { return Info(v)->GroupByBoxViewInfo()->GetItemViewInfo(i)->Bounds; }
  static POINT Mid(const TRect& r, Integer dx = 0) { return POINT{r.Left + dx, (r.Top + r.Bottom) / 2}; }
  // Presses at `from`, moves there in steps, optionally runs `during`, releases.
  void DragTo(TcxGridTableView* v, POINT from, POINT to, const std::function<void()>& during = nullptr) {
    HWND site = v->Site()->Handle();
    S().MouseDown(site, from);
    for (int i = 1; i <= 4; ++i)
      S().MoveMouse(site, TPoint(from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4));
    Pump();
    if (during) during();
    S().MouseUp(site, to);
    Pump();
  }
  Integer posChanged_ = 0, sizeChanged_ = 0;
};

enum TSource { srcHeader, srcGroupCell };
enum TTarget { toHeaderZone, toHeaderEnd, toGroupBox, toGroupBoxEnd, toOutside };

struct TMoveScript {
  const char* name;
  std::vector<Integer> grouped;  // columns grouped (in order) before the drag, hidden by grouping
  TSource source;
  Integer sourceIndex;  // visible index in the header or group index
  TTarget target;
  Integer targetIndex;  // header zone
  bool columnHiding, hidingOnGrouping, cityGrouping, esc;
  std::vector<Integer> index, groupIndex;
  std::vector<bool> visible;
  Integer posChanged;
  bool arrows;  // insertion arrows on the screen before the release
};

// Columns: 0 Country, 1 City, 2 Amount.
const TMoveScript kMoves[] = {
    {"third to the front", {}, srcHeader, 2, toHeaderZone, 0, false, true, true, false, {1, 2, 0}, {-1, -1, -1}, {true, true, true}, 1, true},
    {"first to the end", {}, srcHeader, 0, toHeaderEnd, 0, false, true, true, false, {2, 0, 1}, {-1, -1, -1}, {true, true, true}, 1, true},
    {"onto its own zone", {}, srcHeader, 1, toHeaderZone, 1, false, true, true, false, {0, 1, 2}, {-1, -1, -1}, {true, true, true}, 0, false},
    {"onto the next zone", {}, srcHeader, 1, toHeaderZone, 2, false, true, true, false, {0, 1, 2}, {-1, -1, -1}, {true, true, true}, 0, false},
    {"Esc cancels", {}, srcHeader, 2, toHeaderZone, 0, false, true, true, true, {0, 1, 2}, {-1, -1, -1}, {true, true, true}, 0, true},
    {"grouped by a drop on the box", {}, srcHeader, 1, toGroupBox, 0, false, true, true, false, {0, 1, 2}, {-1, 0, -1}, {true, false, true}, 1, true},
    {"grouped, shown", {}, srcHeader, 1, toGroupBox, 0, false, false, true, false, {0, 1, 2}, {-1, 0, -1}, {true, true, true}, 1, true},
    {"grouping forbidden", {}, srcHeader, 1, toGroupBox, 0, false, true, false, false, {0, 1, 2}, {-1, -1, -1}, {true, true, true}, 0, false},
    {"outside without ColumnHiding", {}, srcHeader, 1, toOutside, 0, false, true, true, false, {0, 1, 2}, {-1, -1, -1}, {true, true, true}, 0, false},
    {"outside with ColumnHiding", {}, srcHeader, 1, toOutside, 0, true, true, true, false, {0, 1, 2}, {-1, -1, -1}, {true, false, true}, 1, false},
    {"ungrouped onto the header", {1}, srcGroupCell, 0, toHeaderZone, 0, false, true, true, false, {1, 0, 2}, {-1, -1, -1}, {true, true, true}, 1, true},
    {"ungrouped outside", {1}, srcGroupCell, 0, toOutside, 0, false, true, true, false, {0, 1, 2}, {-1, -1, -1}, {true, true, true}, 0, false},
    {"ungrouped outside with ColumnHiding", {1}, srcGroupCell, 0, toOutside, 0, true, true, true, false, {0, 1, 2}, {-1, -1, -1}, {true, false, true}, 0, false},
    {"first group moved last", {0, 1}, srcGroupCell, 0, toGroupBoxEnd, 0, false, true, true, false, {0, 1, 2}, {1, 0, -1}, {false, false, true}, 1, true},
    {"group onto its own place", {0, 1}, srcGroupCell, 1, toGroupBoxEnd, 0, false, true, true, false, {0, 1, 2}, {0, 1, -1}, {false, false, true}, 0, false},
};

TEST_F(ColumnDragFixture, DragScriptsMoveGroupUngroupAndHideColumns) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* cols[3] = {v->GetColumn(0), v->GetColumn(1), v->GetColumn(2)};
  for (const TMoveScript& m : kMoves) {
    SCOPED_TRACE(m.name);
    Advance(1000);  // no double click with the press of the script before
    for (Integer i = 0; i < 3; ++i) {
      cols[i]->SetGroupIndex(-1);
      cols[i]->SetVisible(true);
      cols[i]->SetIndex(i);
    }
    v->GetOptionsCustomize()->SetItemHiding(m.columnHiding);
    v->GetOptionsCustomize()->SetColumnHidingOnGrouping(m.hidingOnGrouping);
    cols[1]->GetOptions()->SetGrouping(m.cityGrouping);
    for (size_t g = 0; g < m.grouped.size(); ++g) v->GetColumn(m.grouped[g])->ChangeGroupIndex(Integer(g));
    Relayout(v);
    posChanged_ = 0;
    const TRect header = Info(v)->HeaderViewInfo()->Bounds;
    const TRect box = Info(v)->GroupByBoxViewInfo()->Bounds;
    const POINT from = m.source == srcHeader ? Mid(HeaderCell(v, m.sourceIndex), 10) : Mid(GroupCell(v, m.sourceIndex), 10);
    POINT to{};
    switch (m.target) {
      case toHeaderZone: to = Mid(HeaderCell(v, m.targetIndex), 3); break;
      case toHeaderEnd: to = Mid(header, header.Width() - 20); break;
      case toGroupBox: to = Mid(box, 10); break;
      case toGroupBoxEnd: to = Mid(box, box.Width() - 10); break;
      case toOutside: to = POINT{header.Left + 100, header.Bottom + 80}; break;
    }
    DragTo(v, from, to, [&] {
      auto* moving = dynamic_cast<TcxCustomGridMovingObject*>(v->Site()->DragOperation());
      ASSERT_NE(moving, nullptr);
      EXPECT_TRUE(moving->ImageShown());
      EXPECT_EQ(moving->ArrowsShown(), m.arrows);
      if (m.arrows) {
        // The upper arrow's stem on the screen is lime.
        const TRect a = moving->GetArrowBounds(0);
        EXPECT_EQ(GetPixel(LazyScreenCanvas()->DeviceContext(), a.Left + 5, a.Top + 3), TColor(0x00FF00));
      }
      if (m.esc) S().PressKey(VK_ESCAPE);
    });
    for (Integer i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      TcxGridColumn* c = cols[i];
      EXPECT_EQ(c->Index(), m.index[size_t(i)]);
      EXPECT_EQ(c->GroupIndex(), m.groupIndex[size_t(i)]);
      EXPECT_EQ(c->Visible(), m.visible[size_t(i)]);
    }
    EXPECT_EQ(posChanged_, m.posChanged);
  }
}

}  // namespace

namespace {

struct TSizeScript {
  const char* name;
  bool autoWidth;
  Integer column, dx;
  Integer width;  // the sized column's header width after the drop (-1: the limit checked below)
  Integer sizeChanged;
};

const TSizeScript kSizes[] = {
    {"wider", false, 1, 25, 85, 1},
    {"narrower than the minimum", false, 1, -100, 20, 1},
    {"back to where it was", false, 0, 0, 60, 0},
    {"auto width: wider than the client", true, 0, 500, -1, 1},
};

// Dragging a header's right edge sizes its column, within its limits.
TEST_F(ColumnDragFixture, HeaderEdgeDragsSizeColumns) {
  TcxGridDBTableView* v = Shown();
  for (const TSizeScript& m : kSizes) {
    SCOPED_TRACE(m.name);
    Advance(1000);
    v->GetOptionsView()->SetColumnAutoWidth(m.autoWidth);
    for (Integer i = 0; i < 3; ++i) v->GetColumn(i)->SetWidth(60);
    Relayout(v);
    sizeChanged_ = 0;
    const TRect edge = HeaderCell(v, m.column);
    const POINT from{edge.Right - 2, (edge.Top + edge.Bottom) / 2};
    const TRect before0 = HeaderCell(v, 0);
    DragTo(v, from, POINT{from.X + m.dx, from.Y});
    Relayout(v);
    const Integer width = HeaderCell(v, m.column).Width();
    if (m.width >= 0) {
      EXPECT_EQ(width, m.width);
    } else {
      // The others keep at least their minimum widths inside the client width.
      const Integer client = Info(v)->ClientBounds().Width();
      EXPECT_LE(HeaderCell(v, 2).Right, Info(v)->ClientBounds().Right);
      EXPECT_GE(HeaderCell(v, 1).Width(), 20);
      EXPECT_GE(HeaderCell(v, 2).Width(), 20);
      EXPECT_GT(width, before0.Width());
      EXPECT_LE(width, client - 40);
    }
    EXPECT_EQ(sizeChanged_, m.sizeChanged);
  }
}

// Under auto width the sized column takes the width the user gave it, the columns at its left
// keep theirs and the columns at its right share the rest of the client width.
TEST_F(ColumnDragFixture, AutoWidthSizingKeepsTheColumnsAtTheLeft) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsView()->SetColumnAutoWidth(true);
  Relayout(v);
  struct Case {
    Integer column, dx;
  } cases[] = {{1, 30}, {1, -20}, {0, 25}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column * 100 + c.dx);
    Advance(1000);
    for (Integer i = 0; i < 3; ++i) v->GetColumn(i)->SetWidth(60);
    Relayout(v);
    const TRect before[] = {HeaderCell(v, 0), HeaderCell(v, 1), HeaderCell(v, 2)};
    const TRect edge = before[c.column];
    const POINT from{edge.Right - 2, (edge.Top + edge.Bottom) / 2};
    DragTo(v, from, POINT{from.X + c.dx, from.Y});
    Relayout(v);
    for (Integer i = 0; i < c.column; ++i) EXPECT_EQ(HeaderCell(v, i).Width(), before[i].Width()) << i;
    EXPECT_EQ(HeaderCell(v, c.column).Width(), before[c.column].Width() + c.dx);
    EXPECT_EQ(HeaderCell(v, 2).Right, Info(v)->ClientBounds().Right);
  }
}

// The screen pixels of a rectangle.
TRGBColors ScreenPixels(const TRect& r) {
  std::unique_ptr<TBitmap> b(CreateSizedBitmap(r.Width(), r.Height()));
  BitBltRect(b->Canvas()->Handle(), LazyScreenCanvas()->DeviceContext(), TRect(0, 0, r.Width(), r.Height()), SRCCOPY,
             r.TopLeft());
  TRGBColors pixels;
  ReadBitmapPixels(b.get(), true, pixels);
  return pixels;
}

// The drag image follows the mouse on the screen (by one pixel and far), a repaint of the view
// under it leaves no trace, and Esc gives back the screen as it was.
TEST_F(ColumnDragFixture, DragImageAndArrowsRestoreTheScreenExactly) {
  TcxGridDBTableView* v = Shown();
  HWND site = v->Site()->Handle();
  const TRect formRect = form_->BoundsRect();
  const TRect header2 = HeaderCell(v, 2);
  S().MoveMouse(site, POINT{150, 150});
  Pump();
  const TRGBColors before = ScreenPixels(formRect);

  const POINT from = Mid(header2, 10);
  S().MouseDown(site, from);
  S().MoveMouse(site, POINT{from.X - 20, from.Y + 2});
  S().MoveMouse(site, POINT{HeaderCell(v, 0).Left + 3, from.Y + 40});
  Pump();
  auto* moving = dynamic_cast<TcxCustomGridMovingObject*>(v->Site()->DragOperation());
  ASSERT_NE(moving, nullptr);
  ASSERT_TRUE(moving->ImageShown());
  // The screen shows the header cell's picture where the mouse is.
  const TRect imageRect =
      moving->GetDragImageScreenBounds(v->Site()->ClientToScreen(TPoint(HeaderCell(v, 0).Left + 3, from.Y + 40)));
  TRGBColors image;
  ReadBitmapPixels(moving->DragImage(), true, image);
  EXPECT_EQ(imageRect.Width(), header2.Width());
  EXPECT_EQ(ScreenPixels(imageRect), image);
  S().SnapshotScreen("column_drag_image.png");

  for (int dx : {1, 1, 0, -1, 60, -200}) {
    SCOPED_TRACE(dx);
    S().MoveMouse(site, POINT{HeaderCell(v, 0).Left + 3 + dx, from.Y + 40});
    Pump();
  }
  v->Site()->Invalidate();
  Pump();
  EXPECT_TRUE(moving->ImageShown());
  S().MoveMouse(site, POINT{150, 150});
  Pump();
  S().PressKey(VK_ESCAPE);
  Pump();
  S().MouseUp(site, POINT{150, 150});
  Pump();
  EXPECT_EQ(ScreenPixels(formRect), before);
  EXPECT_EQ(posChanged_, 0);
}

// A repaint of the view during a drag leaves the drag image and the lime arrows on the screen.
TEST_F(ColumnDragFixture, ARepaintDuringADragKeepsTheImageAndArrowsOnTheScreen) {
  TcxGridDBTableView* v = Shown();
  HWND site = v->Site()->Handle();
  const POINT from = Mid(HeaderCell(v, 2), 10);
  const POINT to = Mid(HeaderCell(v, 0), 20);
  S().MouseDown(site, from);
  for (int i = 1; i <= 4; ++i)
    S().MoveMouse(site, POINT{from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4});
  Pump();
  auto* moving = dynamic_cast<TcxCustomGridMovingObject*>(v->Site()->DragOperation());
  ASSERT_NE(moving, nullptr);
  ASSERT_TRUE(moving->ImageShown());
  ASSERT_TRUE(moving->ArrowsShown());
  TRGBColors image;
  ReadBitmapPixels(moving->DragImage(), true, image);
  const TRect imageRect = moving->GetDragImageScreenBounds(v->Site()->ClientToScreen(TPoint(to.X, to.Y)));
  const TRect arrow = moving->GetArrowBounds(0);
  v->Site()->Invalidate();
  Pump();
  EXPECT_TRUE(moving->ImageShown());
  EXPECT_TRUE(moving->ArrowsShown());
  EXPECT_EQ(ScreenPixels(imageRect), image);
  EXPECT_EQ(GetPixel(LazyScreenCanvas()->DeviceContext(), arrow.Left + 5, arrow.Top + 3), TColor(0x00FF00));
  S().PressKey(VK_ESCAPE);
  S().MouseUp(site, to);
  Pump();
}

}  // namespace

namespace {

// A header dragged near the left or right end of the area that scrolls sideways scrolls the
// view on the 35 ms automatic scrolling timer; elsewhere, at the end of the data width and
// after the drop the scrolling stops.
TEST_F(ColumnDragFixture, HeaderDragNearTheEndsScrollsSideways) {
  TcxGridDBTableView* v = Shown();
  for (Integer i = 0; i < 3; ++i) v->GetColumn(i)->SetWidth(150);
  Relayout(v);
  auto* c = v->GetController();
  const TRect area = Info(v)->HorzScrollArea();
  ASSERT_GT(Info(v)->GetDataWidth(), Info(v)->ClientWidth());
  HWND site = v->Site()->Handle();
  const POINT from = Mid(HeaderCell(v, 1), 10);
  const Integer y = from.Y;
  S().MouseDown(site, from);
  S().MoveMouse(site, POINT{from.X + 20, y});
  ASSERT_NE(v->Site()->DragOperation(), nullptr);

  struct Step {
    const char* name;
    Integer x;
    bool belowArea;
    Integer direction;
    Integer ms;
    Integer leftPos;
  } steps[] = {
      {"in the middle", (area.Left + area.Right) / 2, false, 0, 100, 0},
      {"15 pixels from the right end", area.Right - 15, false, 2, 35, 10},
      {"on", area.Right - 15, false, 2, 70, 30},
      {"16 pixels from the right end", area.Right - 16, false, 0, 100, 30},
      {"near the right end until the data ends", area.Right - 3, false, 2, 3500, Info(v)->GetDataWidth() - Info(v)->ClientWidth()},
      {"14 pixels from the left end", area.Left + 14, false, 1, 35, Info(v)->GetDataWidth() - Info(v)->ClientWidth() - 10},
      {"below the area", area.Left + 14, true, 0, 100, Info(v)->GetDataWidth() - Info(v)->ClientWidth() - 10},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    S().MoveMouse(site, POINT{s.x, s.belowArea ? area.Bottom + 5 : y});
    EXPECT_EQ(c->ScrollDirection(), s.direction);
    Advance(Cardinal(s.ms));
    EXPECT_EQ(c->LeftPos(), s.leftPos);
  }
  S().MoveMouse(site, POINT{area.Right - 3, y});
  EXPECT_EQ(c->ScrollDirection(), 2);
  S().MouseUp(site, POINT{area.Right - 3, y});
  EXPECT_EQ(v->Site()->DragOperation(), nullptr);
  EXPECT_EQ(c->ScrollDirection(), 0);
  const Integer left = c->LeftPos();
  Advance(200);
  EXPECT_EQ(c->LeftPos(), left);
}

}  // namespace
