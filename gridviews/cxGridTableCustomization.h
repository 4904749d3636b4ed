// The table view's customization form (a "Columns" page listing the hidden columns that can
// move, drawn as column headers and dragged back into the header) and its columns quick
// customization popup (a check per column).
#pragma once

#include "grid/cxGridCustomizationForm.h"
#include "gridviews/cxGridTableViewInfo.h"

class TcxGridTableItemsListBox : public TcxCustomGridTableItemsListBox {
  KORVAN_CLASS(TcxGridTableItemsListBox, TcxCustomGridTableItemsListBox)

 public:
  explicit TcxGridTableItemsListBox(TcxCustomGridCustomizationForm* form);
  TcxGridTableView* TableView() const { return static_cast<TcxGridTableView*>(GridView()); }
  TcxCustomLookAndFeelPainterClass Painter() const;
  // Twice the header frame, the text height and 4.
  Integer CalculateItemHeight() override;
  // Each item is a column header (hot when selected, content inverted).
  void PaintItem(TcxCanvas* canvas, const TRect& rect, Integer index, bool focused) override;
  virtual bool DrawItemBackground(TcxCanvas* canvas, const TRect& rect) = 0;
  virtual bool GetEndEllipsis() = 0;
};

class TcxGridTableColumnsListBox : public TcxGridTableItemsListBox {
  KORVAN_CLASS(TcxGridTableColumnsListBox, TcxGridTableItemsListBox)

 public:
  using CreateArgType = TcxCustomGridCustomizationForm*;
  using TcxGridTableItemsListBox::TcxGridTableItemsListBox;
  bool DrawItemBackground(TcxCanvas* canvas, const TRect& rect) override;
  bool GetEndEllipsis() override;
  // The column header hit test of the item's column, from the customization form (kind 1).
  TcxCustomGridHitTest* GetDragHitTest(Integer index) override;
};

class TcxGridTableCustomizationForm : public TcxCustomGridTableCustomizationForm {
  KORVAN_CLASS(TcxGridTableCustomizationForm, TcxCustomGridTableCustomizationForm)

 public:
  using CreateArgType = TcxCustomGridController*;
  using TcxCustomGridTableCustomizationForm::TcxCustomGridTableCustomizationForm;
  TClass GetItemsListBoxClass() override { return TcxGridTableColumnsListBox::StaticClass(); }
  String GetItemsPageCaption() override;
};

class TcxGridColumnsCustomizationPopup : public TcxCustomGridItemsCustomizationPopup {
  KORVAN_CLASS(TcxGridColumnsCustomizationPopup, TcxCustomGridItemsCustomizationPopup)

 public:
  using TcxCustomGridItemsCustomizationPopup::TcxCustomGridItemsCustomizationPopup;
  TcxGridTableView* GetGridView() const { return static_cast<TcxGridTableView*>(GridView()); }
  // Shows or hides the column, then reports its position change.
  void SetItemChecked(TObject* item, bool checked) override;
};
