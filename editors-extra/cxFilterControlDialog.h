// The filter builder dialog: a resizable modal window hosting a filter control for a link,
// with buttons to open and save filter files (".flt", one filter criteria stream each), to
// apply, to confirm and to cancel. It remembers its place and size for the program run.
#pragma once

#include <functional>

#include "editors-extra/cxFilterControl.h"
#include "foundation/cxButtons.h"
#include "foundation/cxLookAndFeels.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"

using TcxFilterControlDialogShowEvent = std::function<void(TObject* dialog)>;

// Shows the builder for the link's criteria with a filter control of `filterControlClass`
// (a TcxCustomFilterControl class); `onApply` becomes the control's apply handler and `onShow` the
// dialog's show handler. True when the dialog was closed with OK.
bool ShowFilterControlDialog(TClass filterControlClass, IcxFilterControl* link, TcxLookAndFeel* lookAndFeel,
                             const std::function<void()>& onApply, const TcxFilterControlDialogShowEvent& onShow,
                             TColor color, const String& initialDir, TFont* font);
// The same with TcxFilterControl.
bool ExecuteFilterControlDialog(IcxFilterControl* link, TcxLookAndFeel* lookAndFeel, TColor color,
                                const std::function<void()>& onApply, const TcxFilterControlDialogShowEvent& onShow,
                                const String& initialDir, TFont* font);

class TfmFilterControlDialog : public TForm {
  KORVAN_CLASS(TfmFilterControlDialog, TForm)

 public:
  explicit TfmFilterControlDialog(TComponent* owner);

  TPanel* pnlBottom = nullptr;
  TcxButton* btOpen = nullptr;
  TcxButton* btSave = nullptr;
  TPanel* pnlBottomRight = nullptr;
  TcxButton* btOk = nullptr;
  TcxButton* btCancel = nullptr;
  TcxButton* btApply = nullptr;
  TOpenDialog* OpenDialog = nullptr;
  TSaveDialog* SaveDialog = nullptr;

  // The hosted filter control (set by ShowFilterControlDialog; freed with the dialog).
  TcxCustomFilterControl* FilterControl() const { return filterControl_; }
  void SetFilterControl(TcxCustomFilterControl* control) { filterControl_ = control; }
  // Texts, the file dialogs, the control's place and the remembered bounds.
  void Initialise(const String& initialDir);
  // The file the filter was last opened from or saved to ("untitled.flt" at first); the
  // caption names it.
  String FileName() const { return SaveDialog->FileName(); }
  void SetFileName(const String& name);

  void acOpenExecute(TObject* sender);
  void acSaveExecute(TObject* sender);
  void acApplyExecute(TObject* sender);
  void acOkExecute(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void FormKeyDown(TObject* sender, Word& key, TShiftState shift);
  void FormKeyPress(TObject* sender, char32_t& key);

 protected:
  void CreateParams(TCreateParams& params) override;
  void DoShow() override;

 private:
  // Apply, OK and Save As refuse a filter with an unfinished condition row: the rows would not
  // become criteria, and what was applied or written would silently be the older filter.
  void CheckRowsReady();

  TcxCustomFilterControl* filterControl_ = nullptr;
  bool dropDownOpen_ = false;
};

// The bounds the dialog had when it last closed in this program run (-1 before).
struct TcxFilterControlDialogBounds {
  Integer Left = -1, Top = -1, Width = -1, Height = -1;
};
TcxFilterControlDialogBounds& FilterControlDialogBounds();

void InitializeCxFilterControlDialog();
