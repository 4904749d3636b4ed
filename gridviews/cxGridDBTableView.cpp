#include "gridviews/cxGridDBTableView.h"

#include "data/cxVariants.h"

KORVAN_IMPLEMENT_CLASS(TcxGridDBColumn)
KORVAN_IMPLEMENT_CLASS(TcxGridDBTableSummaryItem)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridDBTableView) {
  p.Object("DataController", &TcxGridDBTableView::GetDataController, &TcxGridDBTableView::SetDataControllerObject,
           TcxGridDBDataController::StaticClass());
}

void TcxGridDBTableView::SetDataControllerObject(TcxGridDBDataController* value) {
  if (value && value != GetDataController()) GetDataController()->Assign(value);
}

void InitializeCxGridDBTableView() {
  static bool done = false;
  if (done) return;
  done = true;
  InitializeCxGridTableView();
  GridRegisteredViews()->Register(TcxGridDBTableView::StaticClass(), "DB Table");
  RegisterClass(TcxGridDBColumn::StaticClass());
  RegisterClass(TcxGridDBTableView::StaticClass());
}
