// Message dialogs and the open and save dialogs, as forms of this framework.
//
// Tests drive a dialog through SetDialogShowHook (called with the dialog form once it is on
// the screen, inside its modal loop) or answer it without showing anything through
// SetMessageDlgHook / SetFileDialogHook.
#pragma once

#include <functional>

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn, 16>;
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbYesNo{mbYes, mbNo};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// Builds (does not show) the dialog: an icon, the message and one button per kind, the first
// being the default and Cancel (or No, or the only button) answering Esc.
TForm* CreateMessageDialog(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, const String& caption = String());
Integer MessageDlg(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, Integer helpCtx = 0);
void ShowMessage(const String& msg);
// The application's message box as a dialog (MB_ flags in, ID answers out).
Integer ShowMessageBoxForm(const String& text, const String& caption, UINT flags);

using TDialogShowHook = std::function<void(TCustomForm* dialog)>;
void SetDialogShowHook(TDialogShowHook hook);
// A program's own dialog calls this once it is up (from its DoShow), so that tests drive it
// through the same hook as the dialogs of this unit.
void RunDialogShowHook(TCustomForm* dialog);
using TMessageDlgHook = std::function<Integer(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons)>;
void SetMessageDlgHook(TMessageDlgHook hook);

// ---- file dialogs --------------------------------------------------------------------------

enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
  ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
  ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
  ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing,
  ofDontAddToRecent, ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption, 32>;

class TCommonDialog : public TComponent {
  KORVAN_CLASS(TCommonDialog, TComponent)

 public:
  explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
  virtual bool Execute() = 0;
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
};

class TOpenDialog : public TCommonDialog {
  KORVAN_CLASS(TOpenDialog, TCommonDialog)

 public:
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;
  bool Execute() override;

  String FileName() const { return fileName_; }
  void SetFileName(const String& v) { fileName_ = v; }
  TStrings* Files() const { return files_.get(); }
  String Filter() const { return filter_; }
  void SetFilter(const String& v) { filter_ = v; }
  Integer FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(Integer v) { filterIndex_ = v; }
  String DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const String& v) { defaultExt_ = v; }
  String InitialDir() const { return initialDir_; }
  void SetInitialDir(const String& v) { initialDir_ = v; }
  String Title() const { return title_; }
  void SetTitle(const String& v) { title_ = v; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(const TOpenOptions& v) { options_ = v; }
  virtual bool IsSave() const { return false; }

  // The (description, masks) pairs of Filter.
  std::vector<std::pair<String, String>> FilterPairs() const;

 protected:
  String fileName_;
  std::unique_ptr<TStringList> files_;
  String filter_;
  Integer filterIndex_ = 1;
  String defaultExt_;
  String initialDir_;
  String title_;
  TOpenOptions options_ = {ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
  KORVAN_CLASS(TSaveDialog, TOpenDialog)

 public:
  using TOpenDialog::TOpenDialog;
  bool IsSave() const override { return true; }
};

// The open and save dialogs of pictures: the filter starts as that of every graphic format.
class TOpenPictureDialog : public TOpenDialog {
  KORVAN_CLASS(TOpenPictureDialog, TOpenDialog)

 public:
  explicit TOpenPictureDialog(TComponent* owner);
};

class TSavePictureDialog : public TOpenPictureDialog {
  KORVAN_CLASS(TSavePictureDialog, TOpenPictureDialog)

 public:
  using TOpenPictureDialog::TOpenPictureDialog;
  bool IsSave() const override { return true; }
};

// Answers a file dialog without showing it: set the dialog's FileName and return the result.
using TFileDialogHook = std::function<bool(TOpenDialog* dialog)>;
void SetFileDialogHook(TFileDialogHook hook);

// Whether a file name matches a mask list such as "*.csv;*.txt" (case-insensitive; "*.*"
// matches every name).
bool MatchesMask(const String& fileName, const String& masks);

// The form behind the file dialogs (exposed for tests that drive it).
class TFileDialogForm : public TForm {
  KORVAN_CLASS(TFileDialogForm, TForm)

 public:
  TFileDialogForm(TComponent* owner, TOpenDialog* dialog);
  String Directory() const { return dir_; }
  void Navigate(const String& dir);
  TListBox* FileList() const { return fileList_; }
  TEdit* NameEdit() const { return nameEdit_; }
  TListBox* TypeList() const { return typeList_; }
  TButton* OkButton() const { return okButton_; }
  TButton* CancelButton() const { return cancelButton_; }
  TButton* UpButton() const { return upButton_; }
  String ChosenFile() const { return chosen_; }
  Integer ChosenFilterIndex() const { return typeList_->ItemIndex() + 1; }
  void Accept();

 private:
  void Refresh();
  void ListClicked();
  void ListDblClicked();
  bool IsFolderEntry(Integer index) const;
  String EntryName(Integer index) const;
  TOpenDialog* dialog_;
  String dir_;
  String customMask_;
  String chosen_;
  TLabel* lookIn_;
  TLabel* dirLabel_;
  TButton* upButton_;
  TListBox* fileList_;
  TLabel* nameLabel_;
  TEdit* nameEdit_;
  TLabel* typeLabel_;
  TListBox* typeList_;
  TButton* okButton_;
  TButton* cancelButton_;
};

void InitializeDialogs();
