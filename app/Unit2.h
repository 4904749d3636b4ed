// The summary-type dialog: a pivot field dropped into the data area gets its summary type and
// display format here; leaving the format edit shows a sample number in that format.
#pragma once

#include "editors/cxGroupBox.h"
#include "editors/cxRadioGroup.h"
#include "editors/cxTextEdit.h"
#include "foundation/cxButtons.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

class T_SummaryTypeEditor : public TForm {
  KORVAN_CLASS(T_SummaryTypeEditor, TForm)

 public:
  explicit T_SummaryTypeEditor(TComponent* owner);

  TcxRadioGroup* rdgSummaryType = nullptr;
  TcxGroupBox* cxGroupBox1 = nullptr;
  TcxTextEdit* edtDisplayFormat = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* lblDiplayFormatTest = nullptr;
  TcxButton* cxButton1 = nullptr;

  void cxButton1Click(TObject* sender);
  void edtDisplayFormatExit(TObject* sender);

 protected:
  void DoShow() override;
};

// The number the display-format sample shows, and the message for a rejected format.
inline constexpr double kDisplayFormatSampleValue = 9999999.5555;
inline constexpr const char* SInvalidDisplayFormat = "Display Format の形式が間違ってます。";
