#include "editors-extra/cxFilterControlDialog.h"

#include "editors-extra/cxFilterControlStrs.h"
#include "foundation/cxContainer.h"
#include "foundation/cxControls.h"
#include "rtl/SysUtils.h"
#include "vcl/Resources.h"

KORVAN_IMPLEMENT_CLASS(TfmFilterControlDialog)

void RegisterEditorsExtraResources();

namespace {

const TcxResourceStringRec cxSFilterControlDialogUnfinishedRow{
    "cxSFilterControlDialogUnfinishedRow", "A condition is unfinished: complete or remove it"};
const TcxResourceStringRec cxSFilterControlDialogOpenHint{"cxSFilterControlDialogOpenHint",
                                                         "Open|Opens an existing filter"};
const TcxResourceStringRec cxSFilterControlDialogSaveHint{"cxSFilterControlDialogSaveHint",
                                                         "Save As|Saves the active filter with a new name"};

const char kIconName[] = "CXFILTERBUILDER_ICON";
constexpr TColor kIconMask = TColor(0xFF00FF);

TcxButton* NewButton(TWinControl* parent, Integer left, const TNotifyEvent& onClick) {
  auto* button = new TcxButton(parent->Owner());
  button->SetParent(parent);
  button->SetBounds(left, 8, 100, 23);
  button->OnClick = onClick;
  return button;
}

TPanel* NewPanel(TComponent* owner, TWinControl* parent, TAlign align) {
  auto* panel = new TPanel(owner);
  panel->SetParent(parent);
  panel->SetAlign(align);
  panel->SetBevelOuter(bvNone);
  panel->SetCaption(String());
  return panel;
}

}  // namespace

TcxFilterControlDialogBounds& FilterControlDialogBounds() {
  static TcxFilterControlDialogBounds bounds;
  return bounds;
}

TfmFilterControlDialog::TfmFilterControlDialog(TComponent* owner) : TForm(owner) {
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetKeyPreview(true);
  SetPosition(poDefaultPosOnly);
  Font()->SetName("MS Sans Serif");
  Font()->SetHeight(-11);
  SetClientWidth(552);
  SetClientHeight(316);
  Constraints()->SetMinWidth(560);
  Constraints()->SetMinHeight(165);
  if (ResourceExists(kIconName, RT_BITMAP_NAME)) {
    TBitmap picture;
    LoadBitmapResource(&picture, kIconName);
    picture.SetTransparentColor(kIconMask);
    Icon()->SetBitmap(&picture);
  }

  pnlBottom = NewPanel(this, this, alBottom);
  pnlBottom->SetHeight(38);
  btOpen = NewButton(pnlBottom, 6, [this](TObject* s) { acOpenExecute(s); });
  btSave = NewButton(pnlBottom, 112, [this](TObject* s) { acSaveExecute(s); });
  pnlBottomRight = NewPanel(this, pnlBottom, alRight);
  pnlBottomRight->SetWidth(318);
  btOk = NewButton(pnlBottomRight, 0, [this](TObject* s) { acOkExecute(s); });
  btOk->SetModalResult(mrOk);
  btCancel = NewButton(pnlBottomRight, 106, nullptr);
  btCancel->SetCancel(true);
  btCancel->SetModalResult(mrCancel);
  btApply = NewButton(pnlBottomRight, 212, [this](TObject* s) { acApplyExecute(s); });
  btOpen->SetHint(LoadReplaceableResString(cxSFilterControlDialogOpenHint));
  btSave->SetHint(LoadReplaceableResString(cxSFilterControlDialogSaveHint));
  OpenDialog = new TOpenDialog(this);
  SaveDialog = new TSaveDialog(this);
  SaveDialog->SetOptions(TOpenOptions{ofOverwritePrompt, ofHideReadOnly, ofEnableSizing});

  OnClose = [this](TObject* s, TCloseAction& action) { FormClose(s, action); };
  OnKeyDown = [this](TObject* s, Word& key, TShiftState shift) { FormKeyDown(s, key, shift); };
  OnKeyPress = [this](TObject* s, char32_t& key) { FormKeyPress(s, key); };
}

void TfmFilterControlDialog::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  params.Style |= WS_POPUP;
}

void TfmFilterControlDialog::DoShow() {
  TForm::DoShow();
  RunDialogShowHook(this);
}

void TfmFilterControlDialog::SetFileName(const String& name) {
  SaveDialog->SetFileName(name);
  SetCaption(Format("%s - [%s]", {LoadReplaceableResString(cxSFilterControlDialogCaption), name}));
}

void TfmFilterControlDialog::Initialise(const String& initialDir) {
  SetFileName(LoadReplaceableResString(cxSFilterControlDialogNewFile));
  const String ext = LoadReplaceableResString(cxSFilterControlDialogFileExt);
  const String filter = LoadReplaceableResString(cxSFilterControlDialogFileFilter);
  OpenDialog->SetInitialDir(initialDir);
  OpenDialog->SetTitle(LoadReplaceableResString(cxSFilterControlDialogOpenDialogCaption));
  OpenDialog->SetDefaultExt(ext);
  OpenDialog->SetFilter(filter);
  SaveDialog->SetInitialDir(initialDir);
  SaveDialog->SetTitle(LoadReplaceableResString(cxSFilterControlDialogSaveDialogCaption));
  SaveDialog->SetDefaultExt(ext);
  SaveDialog->SetFilter(filter);
  btSave->SetCaption(LoadReplaceableResString(cxSFilterControlDialogActionSaveCaption));
  btOpen->SetCaption(LoadReplaceableResString(cxSFilterControlDialogActionOpenCaption));
  btApply->SetCaption(LoadReplaceableResString(cxSFilterControlDialogActionApplyCaption));
  btOk->SetCaption(LoadReplaceableResString(cxSFilterControlDialogActionOkCaption));
  btCancel->SetCaption(LoadReplaceableResString(cxSFilterControlDialogActionCancelCaption));
  if (filterControl_) {
    filterControl_->SetAlign(alClient);
    filterControl_->SetParent(this);
  }
  const TcxFilterControlDialogBounds& bounds = FilterControlDialogBounds();
  if (bounds.Left == -1 || bounds.Top == -1) {
    SetPosition(poScreenCenter);
  } else {
    SetPosition(poDesigned);
    SetLeft(bounds.Left);
    SetTop(bounds.Top);
  }
  if (bounds.Width > 0) SetWidth(bounds.Width);
  if (bounds.Height > 0) SetHeight(bounds.Height);
}

void TfmFilterControlDialog::CheckRowsReady() {
  if (filterControl_ && !filterControl_->AllRowsReady())
    RaiseFilterControlError(LoadReplaceableResString(cxSFilterControlDialogUnfinishedRow));
}

void TfmFilterControlDialog::acOpenExecute(TObject*) {
  OpenDialog->SetFileName(String());
  if (!OpenDialog->Execute()) return;
  filterControl_->LoadFromFile(OpenDialog->FileName());
  SetFileName(OpenDialog->FileName());
}

void TfmFilterControlDialog::acSaveExecute(TObject*) {
  CheckRowsReady();
  if (!SaveDialog->Execute()) return;
  filterControl_->SaveToFile(SaveDialog->FileName());
  SetFileName(SaveDialog->FileName());
}

void TfmFilterControlDialog::acApplyExecute(TObject*) {
  CheckRowsReady();
  filterControl_->ApplyFilter();
}

void TfmFilterControlDialog::acOkExecute(TObject*) {
  // The button set the modal result before this runs: a failure keeps the dialog open.
  try {
    CheckRowsReady();
    filterControl_->ApplyFilter();
  } catch (...) {
    SetModalResult(mrNone);
    throw;
  }
}

void TfmFilterControlDialog::FormClose(TObject*, TCloseAction&) {
  TcxFilterControlDialogBounds& bounds = FilterControlDialogBounds();
  bounds.Left = Left();
  bounds.Top = Top();
  bounds.Width = Width();
  bounds.Height = Height();
}

void TfmFilterControlDialog::FormKeyDown(TObject*, Word&, TShiftState) {
  // The active control may be the inner edit of the editor whose drop-down is open.
  dropDownOpen_ = false;
  for (TWinControl* c = ActiveControl(); c && c != this && !dropDownOpen_; c = c->Parent())
    if (auto* container = dynamic_cast<TcxContainer*>(c)) dropDownOpen_ = container->IsPopupOpen();
}

void TfmFilterControlDialog::FormKeyPress(TObject*, char32_t& key) {
  if (key != char32_t(VK_ESCAPE) || dropDownOpen_) return;
  key = 0;
  SetModalResult(mrCancel);
}

bool ShowFilterControlDialog(TClass filterControlClass, IcxFilterControl* link, TcxLookAndFeel* lookAndFeel,
                             const std::function<void()>& onApply, const TcxFilterControlDialogShowEvent& onShow,
                             TColor color, const String& initialDir, TFont* font) {
  auto* dialog = new TfmFilterControlDialog(Application);
  auto* control = static_cast<TcxCustomFilterControl*>(filterControlClass->Create(nullptr));
  bool result = false;
  auto freeBoth = [&] {
    control->Free();
    dialog->Free();
  };
  try {
    dialog->SetFilterControl(control);
    if (lookAndFeel) {
      for (TcxButton* b : {dialog->btOk, dialog->btCancel, dialog->btApply, dialog->btOpen, dialog->btSave})
        b->LookAndFeel()->AttachToMaster(lookAndFeel);
      control->LookAndFeel()->AttachToMaster(lookAndFeel);
    }
    if (font) SetFormFontScaled(dialog, font);
    control->SetLink(link);
    if (color != clDefault) control->SetColor(color);
    control->OnApplyFilter = [onApply](TObject*) {
      if (onApply) onApply();
    };
    dialog->Initialise(initialDir);
    if (onShow) dialog->OnShow = onShow;
    result = dialog->ShowModal() == mrOk;
  } catch (...) {
    freeBoth();
    throw;
  }
  freeBoth();
  return result;
}

bool ExecuteFilterControlDialog(IcxFilterControl* link, TcxLookAndFeel* lookAndFeel, TColor color,
                                const std::function<void()>& onApply, const TcxFilterControlDialogShowEvent& onShow,
                                const String& initialDir, TFont* font) {
  return ShowFilterControlDialog(TcxFilterControl::StaticClass(), link, lookAndFeel, onApply, onShow, color,
                                 initialDir, font);
}

void InitializeCxFilterControlDialog() {
  InitUnit("cxFilterControlDialog", [] {
    InitializeForms();
    InitializeExtCtrls();
    InitializeDialogs();
    InitializeCxButtons();
    InitializeCxFilterControl();
    if (!ResourceExists(kIconName, RT_BITMAP_NAME)) RegisterEditorsExtraResources();
  });
}
