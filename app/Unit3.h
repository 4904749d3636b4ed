// The export dialog that precedes the save dialog of an export. Its choice of format is kept
// but not used: the export always writes HTML.
#pragma once

#include "editors/cxRadioGroup.h"
#include "foundation/cxButtons.h"
#include "vcl/Forms.h"

class TForm3 : public TForm {
  KORVAN_CLASS(TForm3, TForm)

 public:
  explicit TForm3(TComponent* owner);

  TcxRadioGroup* rdgExportType = nullptr;
  TcxButton* cxButton4 = nullptr;
  TcxButton* cxButton19 = nullptr;

  void cxButton4Click(TObject* sender);   // "&Save"
  void cxButton19Click(TObject* sender);  // "&Aboat": cancels
  // The export type chosen with "&Save" (0 to 3).
  Integer ExportType() const { return exportType_; }

 protected:
  void DoShow() override;

 private:
  Integer exportType_ = 0;
};
