// Dragging in the table view: a column header moves in the header, groups by a drop on the
// group-by box, ungroups by leaving the box and hides by a drop outside; a header's right edge
// sizes its column. The drag image and arrows are the grid's moving object's.
#pragma once

#include <memory>

#include "grid/cxGridDragAndDrop.h"
#include "gridviews/cxGridTableViewInfo.h"

// Kinds of item container: the source of a drag and the area of a drop.
enum TcxGridItemContainerKind : Integer { ickNone = 0, ickCustomizationForm = 1, ickHeader = 2, ickGroupByBox = 3 };

// An item of a table view dragged between its containers.
class TcxCustomGridTableItemMovingObject : public TcxCustomGridMovingObject {
  KORVAN_CLASS(TcxCustomGridTableItemMovingObject, TcxCustomGridMovingObject)

 public:
  using TcxCustomGridMovingObject::TcxCustomGridMovingObject;
  Integer SourceItemContainerKind = ickNone;
  Integer DestinationAreaKind = ickNone;
  TcxGridItemContainerZone* DestinationZone() const { return zone_.get(); }

  // The area and zone under the point (site coordinates).
  virtual void GetDestinationArea(const TPoint& p, Integer& areaKind, std::unique_ptr<TcxGridItemContainerZone>& zone);
  virtual void CheckDestinationArea(Integer& areaKind);
  virtual bool IsDestinationChange() = 0;
  void MoveDrag(const TPoint& p, bool& accepted) override;
  // With the customization form open, the drag shows its items page.
  void StartDrag() override;
  bool IsDraggedFromCustomizationForm() override { return SourceItemContainerKind == ickCustomizationForm; }
  TcxCustomGridItemsListBox* GetCustomizationListBox() override;

 private:
  std::unique_ptr<TcxGridItemContainerZone> zone_;
};

class TcxGridColumnHeaderMovingObject : public TcxCustomGridTableItemMovingObject {
  KORVAN_CLASS(TcxGridColumnHeaderMovingObject, TcxCustomGridTableItemMovingObject)

 public:
  using TcxCustomGridTableItemMovingObject::TcxCustomGridTableItemMovingObject;
  TcxGridColumn* Column() const { return static_cast<TcxGridColumn*>(SourceItem); }
  TcxGridTableView* TableView() const { return static_cast<TcxGridTableView*>(GridView()); }
  TcxGridTableViewInfo* TableViewInfo() const { return static_cast<TcxGridTableViewInfo*>(ViewInfo()); }

  TcxCustomGridDragAndDropObject* InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  void BeforeFinishDrag(bool accepted) override;
  bool CanRemove() override;
  TRect CalculateDestinationPoints() override;
  TRect GetArrowAreaBounds() override;
  TcxCustomGridCellViewInfo* GetSourceItemViewInfo() override;
  bool IsValidDestination() override;
  void GetDestinationArea(const TPoint& p, Integer& areaKind, std::unique_ptr<TcxGridItemContainerZone>& zone) override;
  void CheckDestinationArea(Integer& areaKind) override;
  bool IsDestinationChange() override;
  virtual void MoveInHeader();
  virtual TRect GetHeaderArrowsBounds();
  virtual TRect GetGroupByBoxArrowsBounds();
};

// Sizing by dragging an edge: an inverted 1-pixel mark follows the pointer.
class TcxCustomGridSizingObject : public TcxCustomGridDragAndDropObject {
  KORVAN_CLASS(TcxCustomGridSizingObject, TcxCustomGridDragAndDropObject)

 public:
  using TcxCustomGridDragAndDropObject::TcxCustomGridDragAndDropObject;
  Integer InitialSize = 0;
  Integer MousePosX() const { return mouseX_; }
  Integer MousePosY() const { return mouseY_; }
  void SetMousePosX(Integer v);
  void SetMousePosY(Integer v);

  void DirtyToggled() override;
  TCursor CursorFor(bool accepted) override;
  bool StartsImmediately() override { return true; }
  void MoveDrag(const TPoint& p, bool& accepted) override;
  void BeforeFinishDrag(bool accepted) override;
  TcxCustomGridDragAndDropObject* InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  virtual Integer GetCurrentSize() { return InitialSize + GetDeltaSize(); }
  Integer GetDeltaSize() { return IsHorizontalSizing() ? mouseX_ - SourcePoint.X : mouseY_ - SourcePoint.Y; }
  virtual bool IsHorizontalSizing() { return true; }
  virtual TRect GetSizingItemBounds() = 0;
  virtual Integer GetSizingMarkWidth() = 0;
  virtual TRect GetHorzSizingMarkBounds();
  virtual TRect GetVertSizingMarkBounds();
  TRect GetSizingMarkBounds() { return IsHorizontalSizing() ? GetHorzSizingMarkBounds() : GetVertSizingMarkBounds(); }

 private:
  void SetMark(bool shown);
  Integer mouseX_ = 0, mouseY_ = 0;
  bool markShown_ = false;
  TRect markBounds_;
};

class TcxCustomGridColumnSizingObject : public TcxCustomGridSizingObject {
  KORVAN_CLASS(TcxCustomGridColumnSizingObject, TcxCustomGridSizingObject)

 public:
  using TcxCustomGridSizingObject::TcxCustomGridSizingObject;
  TcxGridColumn* Column = nullptr;
  TcxGridColumnHeaderViewInfo* ColumnHeaderViewInfo() const;
  TcxCustomGridDragAndDropObject* InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  TRect GetSizingItemBounds() override;
  Integer GetSizingMarkWidth() override { return 1; }
};

class TcxGridColumnHorzSizingObject : public TcxCustomGridColumnSizingObject {
  KORVAN_CLASS(TcxGridColumnHorzSizingObject, TcxCustomGridColumnSizingObject)

 public:
  using TcxCustomGridColumnSizingObject::TcxCustomGridColumnSizingObject;
  void StartDrag() override;
  void BeforeFinishDrag(bool accepted) override;
  Integer GetCurrentSize() override;
};

// Sizes the data or group rows by the bottom edge of a row's indicator cell.
class TcxGridRowSizingObject : public TcxCustomGridSizingObject {
  KORVAN_CLASS(TcxGridRowSizingObject, TcxCustomGridSizingObject)

 public:
  using TcxCustomGridSizingObject::TcxCustomGridSizingObject;
  TcxCustomGridRecord* Row = nullptr;
  // The row's view info as laid out now (null when the row is not shown).
  TcxCustomGridRowViewInfo* RowViewInfo() const;
  TcxCustomGridDragAndDropObject* InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  bool IsHorizontalSizing() override { return false; }
  TRect GetSizingItemBounds() override;
  Integer GetSizingMarkWidth() override { return 1; }
  void StartDrag() override;
  void BeforeFinishDrag(bool accepted) override;
  Integer GetCurrentSize() override;
};

// Fills the table view hit tests' drag object slots (run by the table view unit's start).
void RegisterGridTableViewDragObjects();
