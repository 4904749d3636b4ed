#include "vcl/Dialogs.h"

#include <algorithm>
#include <filesystem>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/Consts.h"

namespace fs = std::filesystem;

namespace {
TDialogShowHook g_showHook;
TMessageDlgHook g_messageHook;
TFileDialogHook g_fileHook;

// Runs the show hook once the dialog is up (inside its modal loop).
void HookShow(TCustomForm* form) {
  form->OnShow = [form](TObject*) {
    if (g_showHook) g_showHook(form);
  };
}

// The icon of a message dialog: a circle with a sign, drawn in the dialog's colours.
class TMessageIcon : public TGraphicControl {
 public:
  TMessageIcon(TComponent* owner, TMsgDlgType type) : TGraphicControl(owner), type_(type) {
    width_ = 32;
    height_ = 32;
  }

 protected:
  void Paint() override {
    TCanvas* c = Canvas();
    TColor fill = type_ == mtError ? clRed : type_ == mtWarning ? clYellow : clBlue;
    const char* sign = type_ == mtError ? "x" : type_ == mtWarning ? "!" : type_ == mtConfirmation ? "?" : "i";
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(fill);
    if (type_ == mtWarning) c->Polygon({{16, 1}, {31, 30}, {1, 30}});
    else c->Ellipse(1, 1, 31, 31);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetHeight(-18);
    c->Font()->SetColor(type_ == mtWarning ? clBlack : clWhite);
    c->Brush()->SetStyle(bsClear);
    TSize s = c->TextExtent(sign);
    c->TextOut((32 - s.cx) / 2, (34 - s.cy) / 2, sign);
  }

 private:
  TMsgDlgType type_;
};

struct ButtonInfo {
  TMsgDlgBtn Kind;
  const char* Caption;
  TModalResult Result;
};
const ButtonInfo kButtons[] = {
    {mbYes, vcl_consts::SMsgDlgYes, mrYes},          {mbNo, vcl_consts::SMsgDlgNo, mrNo},
    {mbOK, vcl_consts::SMsgDlgOK, mrOk},             {mbCancel, vcl_consts::SMsgDlgCancel, mrCancel},
    {mbAbort, vcl_consts::SMsgDlgAbort, mrAbort},    {mbRetry, vcl_consts::SMsgDlgRetry, mrRetry},
    {mbIgnore, vcl_consts::SMsgDlgIgnore, mrIgnore}, {mbAll, vcl_consts::SMsgDlgAll, mrAll},
    {mbNoToAll, vcl_consts::SMsgDlgNoToAll, mrNoToAll}, {mbYesToAll, vcl_consts::SMsgDlgYesToAll, mrYesToAll},
    {mbHelp, vcl_consts::SMsgDlgHelp, mrNone},
};

String DefaultCaption(TMsgDlgType t) {
  switch (t) {
    case mtWarning: return vcl_consts::SMsgDlgWarning;
    case mtError: return vcl_consts::SMsgDlgError;
    case mtInformation: return vcl_consts::SMsgDlgInformation;
    case mtConfirmation: return vcl_consts::SMsgDlgConfirm;
    default: return Application ? Application->Title() : String();
  }
}
}  // namespace

String StripAmpersand(const String& s) {
  String r;
  for (char c : s)
    if (c != '&' && c != ' ') r += c;
  return r;
}

void SetDialogShowHook(TDialogShowHook hook) { g_showHook = std::move(hook); }
void RunDialogShowHook(TCustomForm* dialog) {
  if (g_showHook) g_showHook(dialog);
}
void SetMessageDlgHook(TMessageDlgHook hook) { g_messageHook = std::move(hook); }
void SetFileDialogHook(TFileDialogHook hook) { g_fileHook = std::move(hook); }

TForm* CreateMessageDialog(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, const String& caption) {
  InitializeDialogs();
  if (buttons.Empty()) buttons = {mbOK};
  auto* f = new TForm(Application);
  f->SetBorderStyle(bsDialog);
  f->SetPosition(poScreenCenter);
  f->SetCaption(caption.empty() ? DefaultCaption(type) : caption);
  f->SetName("MessageDialog");
  Integer x = 12;
  if (type != mtCustom) {
    auto* icon = new TMessageIcon(f, type);
    icon->SetName("Image");
    icon->SetBounds(12, 12, 32, 32);
    icon->SetParent(f);
    x = 56;
  }
  auto* label = new TLabel(f);
  label->SetName("Message");
  label->SetParent(f);
  label->SetWordWrap(true);
  label->SetBounds(x, 12, 360, 13);
  label->SetShowAccelChar(false);
  label->SetCaption(msg);
  TSize ts = label->TextSize();
  label->SetBounds(x, 12, std::min<Integer>(ts.cx + 4, 360), ts.cy);
  std::vector<TButton*> made;
  for (const ButtonInfo& b : kButtons) {
    if (!buttons.Contains(b.Kind)) continue;
    auto* btn = new TButton(f);
    btn->SetName(String(StripAmpersand(b.Caption)));
    btn->SetCaption(b.Caption);
    btn->SetModalResult(b.Result);
    made.push_back(btn);
  }
  Integer bw = 75, gap = 8;
  Integer total = Integer(made.size()) * bw + (Integer(made.size()) - 1) * gap;
  Integer contentW = std::max(x + label->Width(), total) + 12;
  Integer contentH = std::max(12 + label->Height(), type != mtCustom ? 44 : 0) + 16;
  Integer bx = (contentW + 12 - total) / 2;
  for (size_t i = 0; i < made.size(); ++i) {
    made[i]->SetBounds(bx + Integer(i) * (bw + gap), contentH, bw, 25);
    made[i]->SetParent(f);
  }
  f->SetClientWidth(contentW + 12);
  f->SetClientHeight(contentH + 25 + 12);
  // The first button is the default; Cancel, else No, else the only button answers Esc.
  if (!made.empty()) {
    made.front()->SetDefault(true);
    f->SetActiveControl(nullptr);
    TButton* cancel = nullptr;
    for (TButton* b : made)
      if (b->ModalResult() == mrCancel) cancel = b;
    if (!cancel)
      for (TButton* b : made)
        if (b->ModalResult() == mrNo) cancel = b;
    if (!cancel && made.size() == 1) cancel = made.front();
    if (cancel) cancel->SetCancel(true);
  }
  return f;
}

Integer MessageDlg(const String& msg, TMsgDlgType type, TMsgDlgButtons buttons, Integer) {
  if (g_messageHook) return g_messageHook(msg, type, buttons);
  TForm* f = CreateMessageDialog(msg, type, buttons);
  HookShow(f);
  Integer r = mrNone;
  try {
    r = f->ShowModal();
  } catch (...) {
    f->Free();
    throw;
  }
  f->Free();
  return r;
}

void ShowMessage(const String& msg) { MessageDlg(msg, mtCustom, {mbOK}); }

Integer ShowMessageBoxForm(const String& text, const String& caption, UINT flags) {
  TMsgDlgButtons buttons;
  switch (flags & 0xF) {
    case MB_OKCANCEL: buttons = mbOKCancel; break;
    case MB_ABORTRETRYIGNORE: buttons = mbAbortRetryIgnore; break;
    case MB_YESNOCANCEL: buttons = mbYesNoCancel; break;
    case MB_YESNO: buttons = mbYesNo; break;
    case MB_RETRYCANCEL: buttons = {mbRetry, mbCancel}; break;
    default: buttons = {mbOK}; break;
  }
  TMsgDlgType type = mtCustom;
  switch (flags & 0xF0) {
    case MB_ICONERROR: type = mtError; break;
    case MB_ICONQUESTION: type = mtConfirmation; break;
    case MB_ICONWARNING: type = mtWarning; break;
    case MB_ICONINFORMATION: type = mtInformation; break;
    default: break;
  }
  Integer r;
  if (g_messageHook) {
    r = g_messageHook(text, type, buttons);
  } else {
    TForm* f = CreateMessageDialog(text, type, buttons, caption);
    HookShow(f);
    try {
      r = f->ShowModal();
    } catch (...) {
      f->Free();
      throw;
    }
    f->Free();
  }
  // Modal results and box answers share their numbers (mrOk = IDOK ...).
  return r == mrNone ? IDCANCEL : r;
}

// ---- file dialogs --------------------------------------------------------------------------

bool MatchesMask(const String& fileName, const String& masks) {
  auto match = [](const String& name, const String& mask) {
    if (mask == "*.*" || mask == "*") return true;
    String n = LowerCase(name), m = LowerCase(mask);
    // Iterative wildcard match with backtracking to the last '*'.
    size_t i = 0, j = 0, star = String::npos, mark = 0;
    while (i < n.size()) {
      if (j < m.size() && (m[j] == '?' || m[j] == n[i])) {
        ++i;
        ++j;
      } else if (j < m.size() && m[j] == '*') {
        star = j++;
        mark = i;
      } else if (star != String::npos) {
        j = star + 1;
        i = ++mark;
      } else {
        return false;
      }
    }
    while (j < m.size() && m[j] == '*') ++j;
    return j == m.size();
  };
  for (const String& m : SplitString(masks, ';')) {
    String t = Trim(m);
    if (!t.empty() && match(fileName, t)) return true;
  }
  return false;
}

KORVAN_IMPLEMENT_CLASS(TCommonDialog)

namespace {
PTypeInfo OpenOptionsType() {
  static PTypeInfo t = SetTypeInfo(
      "TOpenOptions",
      EnumTypeInfo("TOpenOption", {"ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp",
                                   "ofNoValidate", "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist",
                                   "ofFileMustExist", "ofCreatePrompt", "ofShareAware", "ofNoReadOnlyReturn",
                                   "ofNoTestFileCreate", "ofNoNetworkButton", "ofNoLongNames", "ofOldStyleDialog",
                                   "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing",
                                   "ofDontAddToRecent", "ofForceShowHidden"}));
  return t;
}
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TOpenDialog) {
  p.Str("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
  p.Str("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
  p.Str("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
  p.Int("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
  p.Str("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
  p.Set("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions, OpenOptionsType())
      .Default(int64_t(TOpenOptions{ofHideReadOnly, ofEnableSizing}.ToMask()));
  p.Str("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
}

KORVAN_IMPLEMENT_CLASS(TSaveDialog)

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner), files_(new TStringList) {}
TOpenDialog::~TOpenDialog() = default;

KORVAN_IMPLEMENT_CLASS(TOpenPictureDialog)
KORVAN_IMPLEMENT_CLASS(TSavePictureDialog)

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) {
  SetFilter(GraphicFilter(TGraphic::StaticClass()));
}

std::vector<std::pair<String, String>> TOpenDialog::FilterPairs() const {
  std::vector<std::pair<String, String>> r;
  std::vector<String> parts = SplitString(filter_, '|');
  for (size_t i = 0; i + 1 < parts.size(); i += 2) r.emplace_back(parts[i], parts[i + 1]);
  if (r.empty()) r.emplace_back("*.*", "*.*");
  return r;
}

bool TOpenDialog::Execute() {
  InitializeDialogs();
  if (g_fileHook) {
    bool ok = g_fileHook(this);
    if (ok) {
      files_->Clear();
      files_->Add(fileName_);
    }
    return ok;
  }
  auto* f = new TFileDialogForm(Application, this);
  HookShow(f);
  if (OnShow) OnShow(this);
  TModalResult r;
  try {
    r = f->ShowModal();
  } catch (...) {
    f->Free();
    throw;
  }
  bool ok = r == mrOk;
  if (ok) {
    fileName_ = f->ChosenFile();
    filterIndex_ = f->ChosenFilterIndex();
    files_->Clear();
    files_->Add(fileName_);
  }
  f->Free();
  if (OnClose) OnClose(this);
  return ok;
}

KORVAN_IMPLEMENT_CLASS(TFileDialogForm)

TFileDialogForm::TFileDialogForm(TComponent* owner, TOpenDialog* dialog) : TForm(owner), dialog_(dialog) {
  SetBorderStyle(bsSizeable);
  SetPosition(poScreenCenter);
  SetCaption(!dialog->Title().empty() ? dialog->Title()
                                      : String(dialog->IsSave() ? vcl_consts::SSaveDialogTitle : vcl_consts::SOpenDialogTitle));
  SetClientWidth(440);
  SetClientHeight(330);
  auto label = [this](const char* text, TRect r) {
    auto* l = new TLabel(this);
    l->SetAutoSize(false);
    l->SetBoundsRect(r);
    l->SetCaption(text);
    l->SetLayout(tlCenter);
    l->SetParent(this);
    return l;
  };
  lookIn_ = label(vcl_consts::SLookIn, Rect(8, 8, 70, 29));
  dirLabel_ = label("", Rect(72, 8, 340, 29));
  dirLabel_->SetShowAccelChar(false);
  dirLabel_->SetAnchors({akLeft, akTop, akRight});
  upButton_ = new TButton(this);
  upButton_->SetCaption(vcl_consts::SUpFolder);
  upButton_->SetBounds(357, 6, 75, 25);
  upButton_->SetAnchors({akTop, akRight});
  upButton_->SetParent(this);
  upButton_->OnClick = [this](TObject*) {
    fs::path p(dir_);
    if (p.has_parent_path() && p.parent_path() != p) Navigate(p.parent_path().string());
  };
  fileList_ = new TListBox(this);
  fileList_->SetBounds(8, 36, 424, 196);
  fileList_->SetAnchors({akLeft, akTop, akRight, akBottom});
  fileList_->SetParent(this);
  fileList_->OnClick = [this](TObject*) { ListClicked(); };
  fileList_->OnDblClick = [this](TObject*) { ListDblClicked(); };
  nameLabel_ = label(vcl_consts::SFileName, Rect(8, 240, 90, 261));
  nameLabel_->SetAnchors({akLeft, akBottom});
  nameEdit_ = new TEdit(this);
  nameEdit_->SetBounds(96, 240, 253, 21);
  nameEdit_->SetAnchors({akLeft, akRight, akBottom});
  nameEdit_->SetParent(this);
  nameLabel_->SetFocusControl(nameEdit_);
  typeLabel_ = label(vcl_consts::SFilesOfType, Rect(8, 268, 90, 289));
  typeLabel_->SetAnchors({akLeft, akBottom});
  typeList_ = new TListBox(this);
  typeList_->SetBounds(96, 268, 253, 54);
  typeList_->SetAnchors({akLeft, akRight, akBottom});
  typeList_->SetParent(this);
  typeLabel_->SetFocusControl(typeList_);
  for (auto& [desc, mask] : dialog->FilterPairs()) typeList_->Items()->Add(desc);
  Integer fi = dialog->FilterIndex();
  if (fi < 1 || fi > typeList_->Count()) fi = 1;
  typeList_->SetItemIndex(fi - 1);
  typeList_->OnClick = [this](TObject*) {
    customMask_.clear();
    Refresh();
  };
  okButton_ = new TButton(this);
  okButton_->SetCaption(dialog->IsSave() ? vcl_consts::SSaveButton : vcl_consts::SOpenButton);
  okButton_->SetBounds(357, 238, 75, 25);
  okButton_->SetAnchors({akRight, akBottom});
  okButton_->SetDefault(true);
  okButton_->SetParent(this);
  okButton_->OnClick = [this](TObject*) { Accept(); };
  cancelButton_ = new TButton(this);
  cancelButton_->SetCaption(vcl_consts::SMsgDlgCancel);
  cancelButton_->SetBounds(357, 268, 75, 25);
  cancelButton_->SetAnchors({akRight, akBottom});
  cancelButton_->SetCancel(true);
  cancelButton_->SetModalResult(mrCancel);
  cancelButton_->SetParent(this);
  nameEdit_->SetTabOrder(0);

  // Start in the folder of the given file name, else the initial folder, else the current one.
  String start = dialog->InitialDir();
  String name = dialog->FileName();
  if (!name.empty()) {
    fs::path p(name);
    if (p.has_parent_path() && fs::is_directory(p.parent_path())) {
      start = p.parent_path().string();
      name = p.filename().string();
    }
  }
  std::error_code ec;
  if (start.empty() || !fs::is_directory(start, ec)) start = fs::current_path(ec).string();
  nameEdit_->SetText(name);
  Navigate(fs::absolute(start, ec).lexically_normal().string());
  SetActiveControl(nameEdit_);
}

void TFileDialogForm::Navigate(const String& dir) {
  String d = dir;
  while (d.size() > 1 && d.back() == '/') d.pop_back();
  dir_ = d;
  dirLabel_->SetCaption(d);
  Refresh();
}

bool TFileDialogForm::IsFolderEntry(Integer index) const {
  String s = fileList_->Items()->Strings(index);
  return !s.empty() && s.back() == '/';
}

String TFileDialogForm::EntryName(Integer index) const {
  String s = fileList_->Items()->Strings(index);
  if (!s.empty() && s.back() == '/') s.pop_back();
  return s;
}

void TFileDialogForm::Refresh() {
  std::vector<String> folders, files;
  String masks = customMask_;
  if (masks.empty()) {
    auto pairs = dialog_->FilterPairs();
    Integer i = std::clamp(typeList_->ItemIndex(), 0, Integer(pairs.size()) - 1);
    masks = pairs[size_t(i)].second;
  }
  std::error_code ec;
  for (fs::directory_iterator it(dir_, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
       it.increment(ec)) {
    String n = it->path().filename().string();
    if (n.empty() || n[0] == '.') continue;
    std::error_code e2;
    if (it->is_directory(e2)) folders.push_back(n + "/");
    else if (MatchesMask(n, masks)) files.push_back(n);
  }
  auto byName = [](const String& a, const String& b) { return AnsiCompareText(a, b) < 0; };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  TStrings* items = fileList_->Items();
  items->BeginUpdate();
  items->Clear();
  for (auto& f : folders) items->Add(f);
  for (auto& f : files) items->Add(f);
  items->EndUpdate();
  fileList_->SetItemIndex(-1);
  fileList_->SetTopIndex(0);
}

void TFileDialogForm::ListClicked() {
  Integer i = fileList_->ItemIndex();
  if (i >= 0 && !IsFolderEntry(i)) nameEdit_->SetText(EntryName(i));
}

void TFileDialogForm::ListDblClicked() {
  Integer i = fileList_->ItemIndex();
  if (i < 0) return;
  if (IsFolderEntry(i)) {
    Navigate((fs::path(dir_) / EntryName(i)).string());
  } else {
    nameEdit_->SetText(EntryName(i));
    Accept();
  }
}

void TFileDialogForm::Accept() {
  String name = Trim(nameEdit_->Text());
  if (name.empty()) {
    Integer i = fileList_->ItemIndex();
    if (i >= 0 && IsFolderEntry(i)) Navigate((fs::path(dir_) / EntryName(i)).string());
    return;
  }
  fs::path p(name);
  if (p.is_relative()) p = fs::path(dir_) / p;
  p = p.lexically_normal();
  std::error_code ec;
  if (fs::is_directory(p, ec)) {
    nameEdit_->SetText("");
    Navigate(p.string());
    return;
  }
  if (name.find_first_of("*?") != String::npos) {
    customMask_ = p.filename().string();
    Navigate(p.parent_path().string());
    return;
  }
  if (!p.has_extension() && !dialog_->DefaultExt().empty()) {
    String ext = dialog_->DefaultExt();
    if (!ext.empty() && ext[0] == '.') ext = ext.substr(1);
    p += "." + ext;
  }
  TOpenOptions o = dialog_->Options();
  if ((o.Contains(ofPathMustExist) || o.Contains(ofFileMustExist) || dialog_->IsSave()) &&
      !fs::is_directory(p.parent_path(), ec)) {
    MessageDlg(Format(vcl_consts::SFileNotFound, {p.string()}), mtWarning, {mbOK});
    return;
  }
  if (!dialog_->IsSave() && o.Contains(ofFileMustExist) && !fs::exists(p, ec)) {
    MessageDlg(Format(vcl_consts::SFileNotFound, {p.filename().string()}), mtWarning, {mbOK});
    return;
  }
  if (dialog_->IsSave() && o.Contains(ofOverwritePrompt) && fs::exists(p, ec)) {
    if (MessageDlg(Format(vcl_consts::SOverwritePrompt, {p.filename().string()}), mtWarning, mbYesNo) != mrYes) return;
  }
  chosen_ = p.string();
  SetModalResult(mrOk);
}

void InitializeDialogs() {
  InitUnit("Dialogs", [] {
    InitializeExtCtrls();
    for (TClass c : {TOpenDialog::StaticClass(), TSaveDialog::StaticClass()}) RegisterClass(c);
  });
}
