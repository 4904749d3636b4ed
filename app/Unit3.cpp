#include "app/Unit3.h"

#include "vcl/Dialogs.h"

KORVAN_IMPLEMENT_CLASS(TForm3)

TForm3::TForm3(TComponent* owner) : TForm(owner) {
  PublishField("rdgExportType", &rdgExportType);
  PublishField("cxButton4", &cxButton4);
  PublishField("cxButton19", &cxButton19);
  PublishMethod("cxButton4Click", TNotifyEvent([this](TObject* s) { cxButton4Click(s); }));
  PublishMethod("cxButton19Click", TNotifyEvent([this](TObject* s) { cxButton19Click(s); }));
}

void TForm3::DoShow() {
  TForm::DoShow();
  RunDialogShowHook(this);
}

void TForm3::cxButton4Click(TObject*) {
  SetModalResult(mrOk);
  exportType_ = rdgExportType->ItemIndex();
}

void TForm3::cxButton19Click(TObject*) { SetModalResult(mrCancel); }
