// The export controller: the grid locked, every group counted as expanded, a layout of the
// whole table without clipping or scrolling, and the options, styles and display flags put
// back when the controller is freed.
#include "pivotgrid/cxCustomPivotGrid.h"
#include "vcl/Forms.h"

TcxPivotGridExportController::TcxPivotGridExportController(TcxCustomPivotGrid* grid) : grid_(grid) { SaveState(); }

TcxPivotGridExportController::~TcxPivotGridExportController() {
  // Freed also while an export unwinds: a handler that raises in the relayout afterwards is
  // reported, never passed out of the destructor (which would end the program).
  try {
    RestoreState();
  } catch (...) {
    if (Application) Application->HandleException(grid_);
  }
}

void TcxPivotGridExportController::SaveState() {
  // A pending rebuild is carried out first: the export must never walk stale trees.
  grid_->CheckChanges();
  Byte flags = grid_->ChangeFlags();
  grid_->BeginUpdate();
  savedOptionsView_.reset(grid_->CreateOptionsView());
  savedOptionsView_->Assign(grid_->OptionsView());
  savedStyles_.reset(new TcxPivotGridStyles(nullptr));
  savedStyles_->Assign(grid_->Styles());
  // Filling the copies is no change of the grid.
  grid_->SetChangeFlags(flags);
  savedFlags_[0] = grid_->ViewInfo()->CloseGridAtEnd;
  savedFlags_[1] = grid_->ViewInfo()->ShowExpandButtons;
  ExpandRows(true);
  ExpandColumns(true);
}

void TcxPivotGridExportController::RestoreState() {
  ExpandColumns(false);
  ExpandRows(false);
  ReplaceStyles(nullptr);
  grid_->ViewInfo()->CloseGridAtEnd = savedFlags_[0];
  grid_->ViewInfo()->ShowExpandButtons = savedFlags_[1];
  grid_->OptionsView()->Assign(savedOptionsView_.get());
  grid_->Styles()->Assign(savedStyles_.get());
  grid_->SetChangeFlags(Byte(grid_->ChangeFlags() | 1));
  grid_->EndUpdate();
  savedOptionsView_.reset();
  savedStyles_.reset();
}

void TcxPivotGridExportController::ExpandColumns(bool value) { grid_->ViewData()->ExpandAllColumns = value; }
void TcxPivotGridExportController::ExpandRows(bool value) { grid_->ViewData()->ExpandAllRows = value; }

void TcxPivotGridExportController::ReplaceStyles(IcxPivotGridBaseStyles* styles) {
  grid_->ViewInfo()->SetStyles(styles ? styles : grid_->Styles());
}

TcxPivotGridOptionsView* TcxPivotGridExportController::OptionsView() { return grid_->OptionsView(); }
TcxPivotGridViewInfo* TcxPivotGridExportController::ViewInfo() { return grid_->ViewInfo(); }

TcxPivotGridViewInfo* TcxPivotGridExportController::CalculateViewInfo() {
  int lockCount = grid_->LockCount();
  grid_->SetLockCount(0);
  TcxPivotGridViewInfo* vi = grid_->ViewInfo();
  struct TRestore {
    TcxCustomPivotGrid* grid;
    TcxPivotGridViewInfo* vi;
    int lockCount;
    ~TRestore() {
      vi->ExportMode = false;
      grid->SetLockCount(lockCount);
    }
  } restore{grid_, vi, lockCount};
  // A data change made while exporting (by the link or a handler) is built before the walk.
  if (grid_->ChangeFlags() & 2) grid_->CheckChanges();
  vi->ExportMode = true;
  grid_->ViewData()->Calculate();
  vi->Recalculate();
  return vi;
}
