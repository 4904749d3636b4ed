#include "gridviews/cxGridTableCustomization.h"

#include <algorithm>

#include "grid/cxGrid.h"
#include "gridviews/cxGridTableViewDragDrop.h"

KORVAN_IMPLEMENT_CLASS(TcxGridTableItemsListBox)
KORVAN_IMPLEMENT_CLASS(TcxGridTableColumnsListBox)
KORVAN_IMPLEMENT_CLASS(TcxGridTableCustomizationForm)
KORVAN_IMPLEMENT_CLASS(TcxGridColumnsCustomizationPopup)

namespace {
const TcxResourceStringRec scxGridCustomizationFormColumnsPageCaption{"scxGridCustomizationFormColumnsPageCaption",
                                                                      "Columns"};
}

// ---- the columns list --------------------------------------------------------------------------

TcxGridTableItemsListBox::TcxGridTableItemsListBox(TcxCustomGridCustomizationForm* form)
    : TcxCustomGridTableItemsListBox(form) {
  Style()->SetColor(clBtnFace);
}

TcxCustomLookAndFeelPainterClass TcxGridTableItemsListBox::Painter() const {
  TcxCustomGrid* grid = GridView()->Control();
  return grid ? grid->CurrentPainter() : TcxStandardLookAndFeelPainter::Class();
}

Integer TcxGridTableItemsListBox::CalculateItemHeight() {
  return 2 * Painter()->HeaderFrameWidth() + MeasureTextHeightInFont(Font(), "Qq") + 4;
}

void TcxGridTableItemsListBox::PaintItem(TcxCanvas* canvas, const TRect& rect, Integer index, bool focused) {
  TcxCustomLookAndFeelPainterClass painter = Painter();
  const Integer frame = painter->HeaderFrameWidth();
  TRect textArea = GrowRect(rect, -frame, -frame);
  textArea.Left += 2;
  textArea.Right -= 2;
  const bool selected = index == ItemIndex();
  canvas->CurrentFont()->SetColor(clBtnText);
  painter->PaintHeader(canvas, rect, textArea, TcxNeighbors(), cxBordersAll, selected ? cxbsHot : cxbsNormal,
                       taLeftJustify, vaCenter, false, GetEndEllipsis(), Items()->Strings(index), canvas->CurrentFont(),
                       clBtnText, clBtnFace,
                       [this](TcxCanvas* c, const TRect& r) { return DrawItemBackground(c, r); });
  if (selected) painter->PaintHeaderBackground(canvas, GrowRect(rect, -frame, -frame));
  if (focused) canvas->DrawFocusFrame(rect);
}

bool TcxGridTableColumnsListBox::DrawItemBackground(TcxCanvas* canvas, const TRect& rect) {
  TBitmap* bitmap = TableView()->GetBackgroundBitmaps()->GetBitmap(TcxGridTableBackgroundBitmaps::bbHeader);
  if (!bitmap || bitmap->Empty()) return false;
  canvas->FillBackground(rect, bitmap);
  return true;
}

bool TcxGridTableColumnsListBox::GetEndEllipsis() { return TableView()->GetOptionsView()->HeaderEndEllipsis(); }

TcxCustomGridHitTest* TcxGridTableColumnsListBox::GetDragHitTest(Integer index) {
  auto* column = dynamic_cast<TcxGridColumn*>(GetDragItem(index));
  if (!column) return nullptr;
  auto* hitTest = GetPooledHitTest<TcxGridColumnHeaderHitTest>(TPoint(-1, -1));
  hitTest->SetViewInfo(nullptr);
  hitTest->SetGridView(TableView());
  hitTest->Column = column;
  hitTest->ColumnContainerKind = ickCustomizationForm;
  return hitTest;
}

String TcxGridTableCustomizationForm::GetItemsPageCaption() {
  return LoadReplaceableResString(scxGridCustomizationFormColumnsPageCaption);
}

void TcxGridColumnsCustomizationPopup::SetItemChecked(TObject* item, bool checked) {
  TcxCustomGridItemsCustomizationPopup::SetItemChecked(item, checked);
  GetGridView()->DoColumnPosChanged(static_cast<TcxGridColumn*>(item));
}

// ---- the table controller ----------------------------------------------------------------------

TClass TcxGridTableController::GetCustomizationFormClass() { return TcxGridTableCustomizationForm::StaticClass(); }

TClass TcxGridTableController::GetItemsCustomizationPopupClass() {
  return TcxGridColumnsCustomizationPopup::StaticClass();
}

// The form's top is not above the bottom of the column headers.
void TcxGridTableController::AdjustCustomizationFormBounds(TRect& bounds) {
  TcxGridTableViewInfo* info = TableViewInfoOfView();
  if (!info || !Site()) return;
  const Integer headerBottom = Site()->ClientToScreen(TPoint(0, info->HeaderViewInfo()->Bounds.Bottom)).Y;
  if (bounds.Top < headerBottom) bounds = ShiftedRect(bounds, 0, headerBottom - bounds.Top);
}

// ---- the column header filter button -----------------------------------------------------------------

namespace {
TcxCustomGridTableController* TableControllerOf(TcxGridColumn* column) {
  return column && column->GridView() ? dynamic_cast<TcxCustomGridTableController*>(column->GridView()->Controller())
                                      : nullptr;
}
}  // namespace

// The drop-down is made by the first press, not by the questions asked before.
bool TcxGridColumnHeaderFilterButtonViewInfo::HasPopup() { return TableControllerOf(Column()) != nullptr; }

IcxCustomGridPopup* TcxGridColumnHeaderFilterButtonViewInfo::GetPopup() {
  TcxCustomGridTableController* controller = TableControllerOf(Column());
  return controller && controller->HasFilterPopup() ? controller->FilterPopup() : nullptr;
}

void TcxGridColumnHeaderFilterButtonViewInfo::ShowPopup() {
  if (TcxCustomGridTableController* controller = TableControllerOf(Column())) controller->FilterPopup();
  TcxGridColumnHeaderAreaViewInfo::ShowPopup();
}

TcxCustomGridTableItem* TcxGridColumnHeaderFilterButtonViewInfo::GetFilterItem() { return Column(); }
