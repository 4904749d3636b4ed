// The pivot grid's painter and the resolution of its styles: the paint order with the
// custom-draw events, and the view params of every kind of cell (event style, indexed style,
// style sheet, then the look-and-feel defaults).
#include "foundation/dxOffice11.h"
#include "pivotgrid/cxCustomPivotGrid.h"

// ---- styles ---------------------------------------------------------------------------------------

TcxCustomPivotGrid* TcxPivotGridStyles::Grid() const { return dynamic_cast<TcxCustomPivotGrid*>(GetOwner()); }

void TcxPivotGridStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxStyles::DefaultViewParams(index, data, params);
  TcxCustomPivotGrid* grid = Grid();
  if (!grid) return;
  params.Font = grid->Font();
  params.TextColor = grid->Font()->Color();
  params.Color = grid->Color();
  TcxCustomLookAndFeelPainterClass p = grid->ViewPainter();
  switch (index) {
    case psBackground:
    case psContent:
      params.Color = ColorToRGB(p->ContentColor());
      params.TextColor = p->ContentTextColor();
      break;
    case psColumnHeader:
    case psRowHeader:
      params.Color = p->HeaderColor();
      params.TextColor = p->HeaderTextColor();
      break;
    case psFieldHeader:
      params.Color = p->HeaderColor();
      // The "Data" header (resolved without a field) stands out in red.
      params.TextColor = data ? p->HeaderTextColor() : TColor(255);
      break;
    case psColumnHeaderArea:
    case psDataHeaderArea:
    case psFilterHeaderArea:
    case psRowHeaderArea:
      ResolveViewParams(psHeaderBackground, nullptr, nullptr, params);
      break;
    case psFilterSeparator:
      params.Color = p->HeaderBackgroundColor();
      params.TextColor = p->SeparatorColor();
      break;
    case psHeaderBackground:
      params.Color = p->HeaderBackgroundColor();
      params.TextColor = p->HeaderBackgroundTextColor();
      break;
    case psInactive:
      params.Color = p->InactiveColor();
      params.TextColor = p->InactiveTextColor();
      break;
    case psSelected:
      params.Color = p->SelectionColor();
      params.TextColor = p->SelectionTextColor();
      break;
    case psTotal:
      params.Color = ScaleColorByPercent(ColorToRGB(p->ContentColor()), 90);
      params.TextColor = p->ContentTextColor();
      break;
    default: break;
  }
}

void TcxPivotGridStyles::GetSelectionParams(TcxStyleParams& params) {
  TcxCustomPivotGrid* grid = Grid();
  ResolveViewParams(grid && grid->IsFocused() ? psSelected : psInactive, nullptr, nullptr, params);
}

void TcxPivotGridStyles::GetContentParams(TcxPivotGridDataCellViewInfo* cell, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetContentStyle) {
    // The handler reads the value and the text.
    if (!cell->Calculated) {
      cell->Calculate();
      cell->Calculated = true;
    }
    OnGetContentStyle(Grid(), cell, style);
  }
  ResolveViewParams(cell->IsTotal() ? psTotal : psContent, nullptr, style, params);
  if (cell->Selected) {
    TcxStyleParams selection;
    GetSelectionParams(selection);
    params.Bitmap = nullptr;
    params.Color = selection.Color;
    params.TextColor = selection.TextColor;
  }
}

void TcxPivotGridStyles::GetColumnHeaderParams(TcxPivotGridViewDataItem* item, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetColumnHeaderStyle) OnGetColumnHeaderStyle(Grid(), item, style);
  ResolveViewParams(psColumnHeader, nullptr, style, params);
}

void TcxPivotGridStyles::GetRowHeaderParams(TcxPivotGridViewDataItem* item, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetRowHeaderStyle) OnGetRowHeaderStyle(Grid(), item, style);
  ResolveViewParams(psRowHeader, nullptr, style, params);
}

void TcxPivotGridStyles::GetFieldHeaderParams(TcxPivotGridField* field, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetFieldHeaderStyle) OnGetFieldHeaderStyle(Grid(), field, style);
  ResolveViewParams(psFieldHeader, field, style, params);
}

void TcxPivotGridStyles::GetHeaderAreaParams(TcxPivotGridFieldArea area, TcxStyleParams& params) {
  static const int indexes[] = {psColumnHeaderArea, psRowHeaderArea, psFilterHeaderArea, psDataHeaderArea};
  ResolveViewParams(indexes[area], nullptr, nullptr, params);
}

// ---- the painter -------------------------------------------------------------------------------------

void TcxPivotGridPainter::Paint(TcxCanvas* canvas) {
  Canvas = canvas;
  ViewInfo = PivotGrid->ViewInfo();
  ViewInfo->CheckCellsCalculated();
  DoPaint();
  ViewInfo->AfterPaint();
}

void TcxPivotGridPainter::DoPaint() {
  TcxCustomPivotGrid* grid = PivotGrid;
  ViewInfo->FieldHeaders.PaintWithCustomDraw(Canvas, [grid](TcxCanvas* c, TcxPivotGridCustomCellViewInfo* cell, bool& done) {
    grid->DoCustomDrawFieldHeader(c, static_cast<TcxPivotGridFieldHeaderCellViewInfo*>(cell), done);
  });
  // The field headers lie on the area backgrounds.
  ViewInfo->FieldHeaders.ExcludeFromClipping(Canvas);
  ViewInfo->ColumnHeaders.PaintWithCustomDraw(Canvas, [grid](TcxCanvas* c, TcxPivotGridCustomCellViewInfo* cell, bool& done) {
    grid->DoCustomDrawColumnHeader(c, static_cast<TcxPivotGridHeaderCellViewInfo*>(cell), done);
  });
  ViewInfo->Parts.PaintWithCustomDraw(Canvas, [grid](TcxCanvas* c, TcxPivotGridCustomCellViewInfo* cell, bool& done) {
    grid->DoCustomDrawPart(c, cell, done);
  });
  ViewInfo->RowHeaders.PaintWithCustomDraw(Canvas, [grid](TcxCanvas* c, TcxPivotGridCustomCellViewInfo* cell, bool& done) {
    grid->DoCustomDrawRowHeader(c, static_cast<TcxPivotGridHeaderCellViewInfo*>(cell), done);
  });
  ViewInfo->DataCells.PaintWithCustomDraw(Canvas, [grid](TcxCanvas* c, TcxPivotGridCustomCellViewInfo* cell, bool& done) {
    grid->DoCustomDrawCell(c, static_cast<TcxPivotGridDataCellViewInfo*>(cell), done);
  });
}

// ---- the grid's paint -----------------------------------------------------------------------------------

void TcxCustomPivotGrid::Paint() {
  // A handler that raised during the last paint left flags behind: this paint starts afresh.
  try {
    CheckChanges();
  } catch (...) {
    HandleControlException(this);
    return;
  }
  if (changeFlags_ != 0 || IsLocked()) return;
  RefreshScrollBars();
  TcxControl::Paint();
  try {
    painter_->Paint(Canvas());
  } catch (...) {
    // Reported, not passed on: a raising custom-draw handler must not break the message loop.
    HandleControlException(this);
  }
  if (DragPhase() == dphActive && DragOperation()) DragOperation()->DirtyToggled();
}

void TcxCustomPivotGrid::DoCustomDrawFieldHeader(TcxCanvas* canvas, TcxPivotGridFieldHeaderCellViewInfo* cell,
                                                 bool& done) {
  if (OnCustomDrawFieldHeader) OnCustomDrawFieldHeader(this, canvas, cell, done);
}

void TcxCustomPivotGrid::DoCustomDrawColumnHeader(TcxCanvas* canvas, TcxPivotGridHeaderCellViewInfo* cell, bool& done) {
  if (OnCustomDrawColumnHeader) OnCustomDrawColumnHeader(this, canvas, cell, done);
}

void TcxCustomPivotGrid::DoCustomDrawPart(TcxCanvas* canvas, TcxPivotGridCustomCellViewInfo* cell, bool& done) {
  if (OnCustomDrawPart) OnCustomDrawPart(this, canvas, cell, done);
}

void TcxCustomPivotGrid::DoCustomDrawRowHeader(TcxCanvas* canvas, TcxPivotGridHeaderCellViewInfo* cell, bool& done) {
  if (OnCustomDrawRowHeader) OnCustomDrawRowHeader(this, canvas, cell, done);
}

void TcxCustomPivotGrid::DoCustomDrawCell(TcxCanvas* canvas, TcxPivotGridDataCellViewInfo* cell, bool& done) {
  if (OnCustomDrawCell) OnCustomDrawCell(this, canvas, cell, done);
}
