// Working with bands by mouse: a band header dragged to move, nest or hide its band; a column
// header dragged into another band, band row or a new band row; a band's width and a column's
// line count sized by their edges; the customization form's "Bands" page and the bands quick
// customization popup. Source: cxGridBandedTableDragDrop.cpp.
#pragma once

#include "gridviews/cxGridBandedTableViewInfo.h"
#include "gridviews/cxGridTableCustomization.h"

// Drop zones of a band header: its four triangles between the diagonals.
enum TcxGridBandDropZone : Integer { bdzLeft = 0, bdzTop = 1, bdzRight = 2, bdzBottom = 3 };

class TcxGridBandHeaderMovingObject : public TcxCustomGridMovingObject {
  KORVAN_CLASS(TcxGridBandHeaderMovingObject, TcxCustomGridMovingObject)

 public:
  using TcxCustomGridMovingObject::TcxCustomGridMovingObject;
  TcxGridBand* Band() const { return static_cast<TcxGridBand*>(SourceItem); }
  TcxGridBandedTableView* BandedView() const { return static_cast<TcxGridBandedTableView*>(GridView()); }
  TcxGridBandedTableViewInfo* BandedViewInfo() const { return static_cast<TcxGridBandedTableViewInfo*>(ViewInfo()); }
  Integer SourceContainerKind = 0;
  TcxGridBand* DestBand() const { return destBand_; }
  Integer DestZone() const { return destZone_; }
  bool OverCustomizationForm() const { return overForm_; }
  bool DropsIntoEmptyArea() const { return intoEmpty_; }
  // Sets the destination as a move would (tests and MoveDrag).
  void SetDestination(TcxGridBand* band, Integer zone, bool overForm, bool intoEmpty);

  TcxCustomGridDragAndDropObject* InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  void StartDrag() override;
  void MoveDrag(const TPoint& p, bool& accepted) override;
  void BeforeFinishDrag(bool accepted) override;
  bool AreArrowsVertical() override { return destZone_ == bdzLeft || destZone_ == bdzRight; }
  bool CanRemove() override;
  TRect CalculateDestinationPoints() override;
  TRect GetArrowAreaBounds() override;
  TcxCustomGridItemsListBox* GetCustomizationListBox() override;
  TcxCustomGridCellViewInfo* GetSourceItemViewInfo() override;
  bool IsDraggedFromCustomizationForm() override { return SourceContainerKind == 1; }
  bool IsValidDestination() override;
  // Refuses a drop that moves columns into or out of a band holding its own columns only.
  virtual void CheckHoldOwnColumns();
  // Applies the drop as released now (false: nothing changed).
  bool ApplyDrop();

 private:
  TcxGridBand* destBand_ = nullptr;
  Integer destZone_ = 0;
  bool overForm_ = false, intoEmpty_ = false;
};

class TcxGridBandedColumnHeaderMovingObject : public TcxGridColumnHeaderMovingObject {
  KORVAN_CLASS(TcxGridBandedColumnHeaderMovingObject, TcxGridColumnHeaderMovingObject)

 public:
  using TcxGridColumnHeaderMovingObject::TcxGridColumnHeaderMovingObject;
  TcxGridBandedColumn* BandedColumn() const { return static_cast<TcxGridBandedColumn*>(SourceItem); }
  TcxGridBandedColumnContainerZone* BandedZone() const {
    return dynamic_cast<TcxGridBandedColumnContainerZone*>(DestinationZone());
  }
  bool AreArrowsVertical() override;
  void GetDestinationArea(const TPoint& p, Integer& areaKind, std::unique_ptr<TcxGridItemContainerZone>& zone) override;
  void CheckDestinationArea(Integer& areaKind) override;
  bool IsDestinationChange() override;
  TRect GetArrowAreaBounds() override;
  TRect GetHeaderArrowsBounds() override;
  void MoveInHeader() override;
};

class TcxGridColumnVertSizingObject : public TcxCustomGridColumnSizingObject {
  KORVAN_CLASS(TcxGridColumnVertSizingObject, TcxCustomGridColumnSizingObject)

 public:
  using TcxCustomGridColumnSizingObject::TcxCustomGridColumnSizingObject;
  Integer LineHeight();
  void StartDrag() override;
  Integer GetCurrentSize() override;
  bool IsHorizontalSizing() override { return false; }
  void BeforeFinishDrag(bool accepted) override;
};

class TcxGridBandSizingObject : public TcxCustomGridSizingObject {
  KORVAN_CLASS(TcxGridBandSizingObject, TcxCustomGridSizingObject)

 public:
  using TcxCustomGridSizingObject::TcxCustomGridSizingObject;
  TcxGridBand* Band = nullptr;
  TcxGridBandViewInfo* BandViewInfo();
  TcxCustomGridDragAndDropObject* InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  void StartDrag() override;
  Integer GetCurrentSize() override;
  TRect GetSizingItemBounds() override;
  Integer GetSizingMarkWidth() override { return 2; }
  void BeforeFinishDrag(bool accepted) override;
};

// The bands that can be dragged back into the view (hidden ones that may move).
class TcxGridBandedTableBandsListBox : public TcxGridTableItemsListBox {
  KORVAN_CLASS(TcxGridBandedTableBandsListBox, TcxGridTableItemsListBox)

 public:
  using CreateArgType = TcxCustomGridCustomizationForm*;
  using TcxGridTableItemsListBox::TcxGridTableItemsListBox;
  TcxGridBandedTableView* BandedView() const { return static_cast<TcxGridBandedTableView*>(GridView()); }
  void RefreshItems() override;
  TcxCustomGridHitTest* GetDragHitTest(Integer index) override;
  bool GetEndEllipsis() override;
  bool DrawItemBackground(TcxCanvas* canvas, const TRect& rect) override;
};

class TcxGridBandedTableCustomizationForm : public TcxGridTableCustomizationForm {
  KORVAN_CLASS(TcxGridBandedTableCustomizationForm, TcxGridTableCustomizationForm)

 public:
  using CreateArgType = TcxCustomGridController*;
  using TcxGridTableCustomizationForm::TcxGridTableCustomizationForm;
  TcxGridBandedTableBandsListBox* BandsListBox() const { return bandsListBox_; }
  TcxTabSheet* BandsPage() const { return bandsPage_; }
  virtual TClass GetBandsListBoxClass() { return TcxGridBandedTableBandsListBox::StaticClass(); }
  void CreateTabSheets() override;
  void CreateControls() override;
  void RefreshData() override;
  void ReloadItems() override;

 private:
  TcxGridBandedTableBandsListBox* bandsListBox_ = nullptr;
  TcxTabSheet* bandsPage_ = nullptr;
};

// A check per band (children of a shown band after it); a click shows or hides the band.
class TcxGridBandsCustomizationPopup : public TcxCustomGridCustomizationPopup {
  KORVAN_CLASS(TcxGridBandsCustomizationPopup, TcxCustomGridCustomizationPopup)

 public:
  using CreateArgType = TcxCustomGridView*;
  using TcxCustomGridCustomizationPopup::TcxCustomGridCustomizationPopup;
  TcxGridBandedTableView* BandedView() const { return static_cast<TcxGridBandedTableView*>(GridView()); }
  void FillItems() override;
  Integer GetMaxDropDownCount() override;
  void SetItemChecked(TObject* item, bool checked) override;
};

// Fills the banded hit tests' drag object slots (run by the banded view unit's start).
void RegisterGridBandedTableDragObjects();
