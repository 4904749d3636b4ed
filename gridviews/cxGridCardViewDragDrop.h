// Moving the rows of the card view by dragging: a row caption (or a caption row) dragged
// between the rows of a card moves the row there, dragged out of the cards it hides the row;
// and the rows customization form, whose list holds the hidden rows to drag back.
#pragma once

#include "grid/cxGridCustomizationForm.h"
#include "gridviews/cxGridCardView.h"
#include "gridviews/cxGridTableViewDragDrop.h"

// A drop place among a card's rows: before the visible row at ItemIndex, in a card.
class TcxGridRowContainerZone : public TcxGridItemContainerZone {
 public:
  TcxGridRowContainerZone(Integer itemIndex, TcxCustomGridRecord* record)
      : TcxGridItemContainerZone(itemIndex), GridRecord(record) {}
  bool IsSameZone(const TcxGridItemContainerZone* zone) const override;
  TcxCustomGridRecord* GridRecord;
};

class TcxGridCardRowMovingObject : public TcxCustomGridTableItemMovingObject {
  KORVAN_CLASS(TcxGridCardRowMovingObject, TcxCustomGridTableItemMovingObject)

 public:
  using TcxCustomGridTableItemMovingObject::TcxCustomGridTableItemMovingObject;
  TcxGridCardViewRow* Row() const { return static_cast<TcxGridCardViewRow*>(SourceItem); }
  TcxGridCardView* CardView() const { return static_cast<TcxGridCardView*>(GridView()); }
  // The record whose card the row was taken from (null from the customization form).
  TcxCustomGridRecord* SourceRecord = nullptr;
  TcxGridRowContainerZone* RowZone() const { return static_cast<TcxGridRowContainerZone*>(DestinationZone()); }
  // The card of the destination zone as laid out now.
  TcxGridCardViewInfo* DestinationCard();
  // The zone under p (site coordinates): null outside the cards.
  TcxGridRowContainerZone* GetCardZone(const TPoint& p);

  TcxCustomGridDragAndDropObject* InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  // The arrows point left and right at the line between two rows.
  bool AreArrowsVertical() override { return false; }
  bool CanRemove() override;
  TRect CalculateDestinationPoints() override;
  TcxCustomGridCellViewInfo* GetSourceItemViewInfo() override;
  // From a card: the row's caption, or the whole row for a caption row.
  TRect GetSourceItemBounds() override;
  bool IsValidDestination() override;
  bool IsDestinationChange() override;
  void GetDestinationArea(const TPoint& p, Integer& areaKind, std::unique_ptr<TcxGridItemContainerZone>& zone) override;
  void MoveDrag(const TPoint& p, bool& accepted) override;
  void BeforeFinishDrag(bool accepted) override;

 private:
  TcxGridCardViewInfo* CardOf(TcxCustomGridRecord* record);
  // The zone of a position in the card's row list (the end: after its last row).
  Integer ZoneOfCardPosition(TcxGridCardViewInfo* card, Integer position);
  void MoveRow();
};

// The list of the rows that can move and are neither hidden nor visible.
class TcxGridCardRowsListBox : public TcxCustomGridTableItemsListBox {
  KORVAN_CLASS(TcxGridCardRowsListBox, TcxCustomGridTableItemsListBox)

 public:
  using CreateArgType = TcxCustomGridCustomizationForm*;
  using TcxCustomGridTableItemsListBox::TcxCustomGridTableItemsListBox;
  TcxGridCardView* CardView() const { return static_cast<TcxGridCardView*>(GridView()); }
  // The rectangle filled, the caption 2 pixels in, cut with an ellipsis under RowCaptionEndEllipsis.
  void PaintItem(TcxCanvas* canvas, const TRect& rect, Integer index, bool focused) override;
  // The row caption hit test of the item's row, from the customization form.
  TcxCustomGridHitTest* GetDragHitTest(Integer index) override;
};

class TcxGridCardViewCustomizationForm : public TcxCustomGridTableCustomizationForm {
  KORVAN_CLASS(TcxGridCardViewCustomizationForm, TcxCustomGridTableCustomizationForm)

 public:
  using CreateArgType = TcxCustomGridController*;
  using TcxCustomGridTableCustomizationForm::TcxCustomGridTableCustomizationForm;
  TClass GetItemsListBoxClass() override { return TcxGridCardRowsListBox::StaticClass(); }
  String GetItemsPageCaption() override;
};
