// The grid's drag objects: the base that knows its view, and the moving object that paints
// its own drag image and insertion arrows straight on the screen and puts back what they
// covered (no platform drag image, no flicker).
#pragma once

#include <memory>

#include "grid/cxGridCustomView.h"

class TcxCustomGridItemsListBox;

class TcxCustomGridDragAndDropObject : public TcxDragAndDropObject {
  KORVAN_CLASS(TcxCustomGridDragAndDropObject, TcxDragAndDropObject)

 public:
  explicit TcxCustomGridDragAndDropObject(TcxControl* control) : TcxDragAndDropObject(control) {}
  TcxGridSite* Site() const;
  TcxCustomGridView* GridView() const;
  TcxCustomGridViewInfo* ViewInfo() const;
  TcxCustomGridController* Controller() const;

  virtual void ClearDirty() { UpdateDirty(false); }
  virtual void SetDirty() { UpdateDirty(true); }
  virtual void ShowDragImages() {}
  virtual void HideDragImages() {}
  // Keeps the press point; descendants take what they need from the (pooled) hit test.
  virtual TcxCustomGridDragAndDropObject* InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest);
  void FinishDrag(bool accepted) override;

  TPoint SourcePoint{0, 0};
};

class TcxCustomGridMovingObject : public TcxCustomGridDragAndDropObject {
  KORVAN_CLASS(TcxCustomGridMovingObject, TcxCustomGridDragAndDropObject)

 public:
  explicit TcxCustomGridMovingObject(TcxControl* control);
  ~TcxCustomGridMovingObject() override;

  virtual bool AreArrowsVertical() { return true; }
  virtual TPoint GetDragImageHotSpot();
  virtual bool CanRemove() = 0;
  // The destination rectangle (site coordinates) at whose edge the arrows point.
  virtual TRect CalculateDestinationPoints() = 0;
  // The screen rectangle of arrow `index` (0: before/above, 1: after/below).
  virtual TRect GetArrowBounds(Integer index);
  virtual TRect GetArrowAreaBounds();
  virtual TRect GetDragImageScreenBounds(const TPoint& screenPos);
  virtual TRect GetSourceItemBounds();
  virtual TcxCustomGridCellViewInfo* GetSourceItemViewInfo() { return nullptr; }
  virtual void PaintDragImage();
  virtual bool IsDraggedFromCustomizationForm() { return false; }
  // The customization form's list the item comes from (null: none).
  virtual TcxCustomGridItemsListBox* GetCustomizationListBox() { return nullptr; }
  // The list paints the dragged item (its colours and font, not selected) into the image.
  virtual void PaintListItem(TcxCanvas* canvas, const TRect& r, TObject* item);
  virtual bool IsValidDestination() = 0;

  TCursor CursorFor(bool accepted) override;
  void DirtyToggled() override;
  void StartDrag() override;
  void MoveDrag(const TPoint& p, bool& accepted) override;
  void BeforeFinishDrag(bool accepted) override;
  void ShowDragImages() override;
  void HideDragImages() override;

  bool ImageShown() const { return imageShown_; }
  bool ArrowsShown() const { return arrowsShown_; }
  TBitmap* DragImage() const { return dragImage_.get(); }
  TObject* SourceItem = nullptr;

 protected:
  // Whether the last move was accepted (the arrows show only then).
  bool Accepted = false;

 private:
  void ShowImage();
  void MoveImage();
  void HideImage();
  void ShowArrows();
  void HideArrows();
  TPoint MouseScreenPos();

  std::unique_ptr<TBitmap> dragImage_, screenSave_, arrowSave_;
  TPoint hotSpot_{0, 0}, imagePos_{-1, -1};
  TRect arrowRects_[2];
  bool imageShown_ = false, arrowsShown_ = false;
};
