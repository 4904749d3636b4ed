#include "app/Unit2.h"

#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"

KORVAN_IMPLEMENT_CLASS(T_SummaryTypeEditor)

T_SummaryTypeEditor::T_SummaryTypeEditor(TComponent* owner) : TForm(owner) {
  PublishField("rdgSummaryType", &rdgSummaryType);
  PublishField("cxGroupBox1", &cxGroupBox1);
  PublishField("edtDisplayFormat", &edtDisplayFormat);
  PublishField("Label1", &Label1);
  PublishField("lblDiplayFormatTest", &lblDiplayFormatTest);
  PublishField("cxButton1", &cxButton1);
  PublishMethod("cxButton1Click", TNotifyEvent([this](TObject* s) { cxButton1Click(s); }));
  PublishMethod("edtDisplayFormatExit", TNotifyEvent([this](TObject* s) { edtDisplayFormatExit(s); }));
}

void T_SummaryTypeEditor::DoShow() {
  TForm::DoShow();
  RunDialogShowHook(this);
}

void T_SummaryTypeEditor::cxButton1Click(TObject*) { Close(); }

void T_SummaryTypeEditor::edtDisplayFormatExit(TObject*) {
  String pattern = Trim(edtDisplayFormat->Text());
  if (pattern.empty()) return;
  lblDiplayFormatTest->SetCaption(String());
  String sample;
  try {
    sample = FormatFloat(pattern, kDisplayFormatSampleValue);
  } catch (const std::exception&) {
    Application->MessageBox(SInvalidDisplayFormat, Application->Title(), MB_OK | MB_ICONERROR);
    return;
  }
  lblDiplayFormatTest->SetCaption(sample);
}
