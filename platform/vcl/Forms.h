// Forms and the application: TScrollingWinControl, TCustomForm/TForm (border styles,
// position, modal showing, closing, focus and tab order, default and cancel buttons),
// TApplication (message loop, idle, hints, exceptions, message boxes) and TScreen (cursors,
// forms, active form and control, monitors, work area, fonts).
#pragma once

#include <any>
#include <map>

#include "vcl/Controls.h"

// ---- published names of a form --------------------------------------------------------------

// The fields and event handlers that a form (or data module) class offers to its form
// description: the reader stores each created component in the field of its name and
// assigns handlers by method name.
class TPublishedNames {
 public:
  virtual ~TPublishedNames() = default;
  // Binds the component named `name` to a field of the form.
  template <class T>
  void PublishField(const String& name, T** field) {
    fields_[name] = [field](TComponent* c) {
      *field = c ? dynamic_cast<T*>(c) : nullptr;
      if (c && !*field) throw EInvalidCast("Invalid class typecast");
    };
  }
  // A method that events can name; `handler` is the event's std::function type.
  template <class F>
  void PublishMethod(const String& name, F handler) {
    methods_[name] = std::any(std::move(handler));
  }
  // Sets the field of that name, if any; false when the form has no such field.
  bool SetField(const String& name, TComponent* c);
  // The handler of that name (an empty std::any when there is none).
  std::any MethodAddress(const String& name) const;
  bool HasMethod(const String& name) const { return methods_.count(name) != 0; }

 private:
  std::map<String, std::function<void(TComponent*)>> fields_;
  std::map<String, std::any> methods_;
};

// ---- scrolling container -------------------------------------------------------------------

class TScrollingWinControl : public TWinControl {
  KORVAN_CLASS(TScrollingWinControl, TWinControl)

 public:
  explicit TScrollingWinControl(TComponent* owner);
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool v) { autoScroll_ = v; }
  // Scrolls a child into view (no-op while the container does not scroll).
  void ScrollInView(TControl* c) {}

 protected:
  bool autoScroll_ = false;
};

// ---- forms ---------------------------------------------------------------------------------

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter
};
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon, 4>;
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem, 8>;
enum TDefaultMonitor { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };

using TModalResult = Integer;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                       mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TCustomForm : public TScrollingWinControl, public TPublishedNames {
  KORVAN_CLASS(TCustomForm, TScrollingWinControl)

 public:
  // Creates the form without reading a form description (the platform's CreateNew).
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  void BeforeDestruction() override;

  // Reads the form description registered under the class name (when there is one), then
  // runs OnCreate. TApplication::CreateForm and CreateForm<T> call it after construction.
  void InitializeForm();
  // Reads a form description into this form (the loading state and Loaded included).
  void ReadFormText(const String& text);

  void Show();
  virtual TModalResult ShowModal();
  void Close();
  void Hide() { SetVisible(false); }
  void Release();
  virtual bool CloseQuery();
  void FocusControl(TWinControl* c);
  bool SetFocusedControl(TWinControl* c);
  void DefocusControl(TWinControl* c, bool removing);
  // A control is going away: the form drops it (or the control holding it) as its active and
  // focused control, quietly, without moving the focus.
  void ForgetControl(TControl* c);
  void SendCancelMode(TControl* sender);
  bool Active() const { return active_; }

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(const TBorderIcons& v) { borderIcons_ = v; RecreateWnd(); }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle v);
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState v);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* c);
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  TFormState FormState() const { return formState_; }
  TCanvas* Canvas() const { return canvas_.get(); }
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(TIcon* v) { icon_->Assign(v); }
  bool OldCreateOrder() const { return oldCreateOrder_; }
  void SetOldCreateOrder(bool v) { oldCreateOrder_ = v; }
  Integer PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(Integer v) { pixelsPerInch_ = v; }
  Integer TextHeight() const { return textHeight_; }
  void SetTextHeight(Integer v) { textHeight_ = v; }
  bool Scaled() const { return scaled_; }
  void SetScaled(bool v) { scaled_ = v; }
  TDefaultMonitor DefaultMonitor() const { return defaultMonitor_; }
  void SetDefaultMonitor(TDefaultMonitor v) { defaultMonitor_ = v; }
  // The form whose window owns this one (stays below it, is disabled with it).
  TCustomForm* PopupParent() const { return popupParent_; }
  void SetPopupParent(TCustomForm* v) { popupParent_ = v; }
  Integer ClientWidthProp() const { return const_cast<TCustomForm*>(this)->ClientWidth(); }
  void SetClientWidthProp(Integer v);
  Integer ClientHeightProp() const { return const_cast<TCustomForm*>(this)->ClientHeight(); }
  void SetClientHeightProp(Integer v);

  void SetVisible(bool v) override;
  TRect ClientRect() override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // Key handling for KeyPreview (called by the focused control first).
  bool DoKeyDown(Word& key, NativeInt keyData) { return TWinControl::DoKeyDown(key, keyData); }
  bool DoKeyUp(Word& key, NativeInt keyData) { return TWinControl::DoKeyUp(key, keyData); }
  bool DoKeyPress(char32_t& key) { return TWinControl::DoKeyPress(key); }

  void Dispatch(TMessage& m) override;
  void CMDialogKey(TMessage& m) override;
  void CMShowingChanged(TMessage& m) override;

 protected:
  friend class TApplication;
  void Loaded() override;
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void PaintWindow(HDC dc) override;
  virtual void Paint();
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();
  void Notification(TComponent* c, TOperation op) override;
  void CloseModal();
  void SetWindowFocus();
  void ApplyPosition();
  TColor DefaultColor() const override { return clBtnFace; }

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = {biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDefaultPosOnly;
  TFormStyle formStyle_ = fsNormal;
  TWindowState windowState_ = wsNormal;
  bool keyPreview_ = false;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  TModalResult modalResult_ = mrNone;
  TFormState formState_;
  std::unique_ptr<TCanvas> canvas_;
  std::unique_ptr<TIcon> icon_;
  bool active_ = false;
  bool oldCreateOrder_ = false;
  Integer pixelsPerInch_ = 96;
  Integer textHeight_ = 13;
  bool scaled_ = true;
  TDefaultMonitor defaultMonitor_ = dmActiveForm;
  TCustomForm* popupParent_ = nullptr;
  bool positioned_ = false;
};

class TForm : public TCustomForm {
  KORVAN_CLASS(TForm, TCustomForm)

 public:
  using TCustomForm::TCustomForm;
};

// A form class with its description: makes the form, reads it and runs OnCreate.
template <class T>
T* CreateForm(TComponent* owner) {
  T* f = new T(owner);
  try {
    f->InitializeForm();
  } catch (...) {
    f->Free();
    throw;
  }
  return f;
}

// A container of non-visual components described like a form.
class TDataModule : public TComponent, public TPublishedNames {
  KORVAN_CLASS(TDataModule, TComponent)

 public:
  explicit TDataModule(TComponent* owner);
  void InitializeForm();
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  void BeforeDestruction() override;
};

// ---- screen --------------------------------------------------------------------------------

class TMonitor : public TObject {
  KORVAN_CLASS(TMonitor, TObject)

 public:
  TMonitor(Integer index, HMONITOR h) : index_(index), handle_(h) {}
  HMONITOR Handle() const { return handle_; }
  Integer MonitorNum() const { return index_; }
  TRect BoundsRect() const;
  TRect WorkareaRect() const;
  bool Primary() const;
  Integer Left() const { return BoundsRect().Left; }
  Integer Top() const { return BoundsRect().Top; }
  Integer Width() const { return BoundsRect().Width(); }
  Integer Height() const { return BoundsRect().Height(); }

 private:
  Integer index_;
  HMONITOR handle_;
};

class TScreen : public TComponent {
  KORVAN_CLASS(TScreen, TComponent)

 public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  TCursor Cursor() const { return cursor_; }
  // Sets the cursor of the whole program (crDefault: each control's own).
  void SetCursor(TCursor v);
  HCURSOR Cursors(TCursor id);
  void SetCursors(TCursor id, HCURSOR handle);

  TCustomForm* ActiveCustomForm() const { return activeCustomForm_; }
  TCustomForm* ActiveForm() const { return activeCustomForm_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  TCustomForm* FocusedForm() const { return focusedForm_; }
  Integer FormCount() const { return Integer(forms_.size()); }
  TCustomForm* Forms(Integer i) const { return forms_[size_t(i)]; }
  Integer CustomFormCount() const { return FormCount(); }
  TCustomForm* CustomForms(Integer i) const { return Forms(i); }

  Integer Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  Integer Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  Integer PixelsPerInch() const { return 96; }
  TRect WorkAreaRect() const;
  Integer WorkAreaWidth() const { return WorkAreaRect().Width(); }
  Integer WorkAreaHeight() const { return WorkAreaRect().Height(); }
  TRect DesktopRect() const { return Rect(0, 0, Width(), Height()); }
  Integer MonitorCount();
  TMonitor* Monitors(Integer i);
  TMonitor* MonitorFromPoint(TPoint p);
  TMonitor* MonitorFromRect(const TRect& r);
  // The font family names offered to the program.
  TStrings* Fonts();
  TFont* HintFont() const { return hintFont_.get(); }
  TFont* MenuFont() const { return menuFont_.get(); }
  TFont* IconFont() const { return iconFont_.get(); }

  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;

  // A control is going away: every form and the screen drop it as their active or focused
  // control, also when it sits inside a form embedded in another form's control.
  void ControlDestroyed(TControl* c);

 private:
  friend class TCustomForm;
  void AddForm(TCustomForm* f);
  void RemoveForm(TCustomForm* f);
  void SetActive(TCustomForm* form, TWinControl* control);
  void RefreshMonitors();

  TCursor cursor_ = crDefault;
  std::map<TCursor, HCURSOR> cursors_;
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeCustomForm_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TCustomForm* focusedForm_ = nullptr;
  std::vector<std::unique_ptr<TMonitor>> monitors_;
  std::unique_ptr<TStringList> fonts_;
  std::unique_ptr<TFont> hintFont_, menuFont_, iconFont_;
};

// ---- application ---------------------------------------------------------------------------

using TIdleEvent = std::function<void(TObject* sender, bool& done)>;
using TExceptionEvent = std::function<void(TObject* sender, const Exception& e)>;
struct THintInfo {
  TControl* HintControl;
  TPoint CursorPos;
  TRect CursorRect;
  String HintStr;
  Integer HideTimeout;
  Integer ReshowTimeout;
};
using TShowHintEvent = std::function<void(String& hintStr, bool& canShow, THintInfo& info)>;
// A message box shown to the user; returns the id of the button chosen (IDOK ...).
using TMessageBoxHook = std::function<Integer(const String& text, const String& caption, UINT flags)>;

constexpr UINT MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
               MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_ICONHAND = 0x10, MB_ICONERROR = 0x10,
               MB_ICONSTOP = 0x10, MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30,
               MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40, MB_ICONINFORMATION = 0x40,
               MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200,
               MB_APPLMODAL = 0x0, MB_TASKMODAL = 0x2000;
constexpr Integer IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

class TApplication : public TComponent {
  KORVAN_CLASS(TApplication, TComponent)

 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  void Initialize();
  String Title() const { return title_; }
  void SetTitle(const String& v) { title_ = v; }
  // Makes a form of `cls`, reads its description, stores it in `ref`; the first form made
  // becomes the main form.
  void CreateForm(TClass cls, void* ref);
  template <class T>
  void CreateForm(T*& ref) {
    T* f = new T(this);
    ref = f;
    try {
      f->InitializeForm();
    } catch (...) {
      ref = nullptr;
      f->Free();
      throw;
    }
    if (!mainForm_) mainForm_ = f;
  }
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* f) { mainForm_ = f; }
  // Shows the main form and runs the message loop until the program ends.
  void Run();
  void ProcessMessages();
  void HandleMessage();
  // One round of idle work without waiting: mouse enter and leave, hints, OnIdle.
  bool DoIdle();
  void Terminate();
  bool Terminated() const { return terminated_; }
  bool Active() const { return active_; }
  HWND Handle() const { return handle_; }
  // Makes the application's hidden window (again, when something destroyed it).
  void CreateHandle();
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool v) { showMainForm_ = v; }

  // Exceptions: OnException when assigned, else the message in a message box. EAbort is silent.
  void HandleException(TObject* sender);
  void ShowException(const Exception& e);
  Integer MessageBox(const String& text, const String& caption, UINT flags = MB_OK);
  // Replaces the message box (tests answer it); null restores the built-in one.
  void SetMessageBoxHook(TMessageBoxHook hook) { messageBoxHook_ = std::move(hook); }

  // Hints.
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor v) { hintColor_ = v; }
  Integer HintPause() const { return hintPause_; }
  void SetHintPause(Integer v) { hintPause_ = v; }
  Integer HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(Integer v) { hintHidePause_ = v; }
  String Hint() const { return hint_; }
  void SetHint(const String& v);
  void CancelHint();
  void ActivateHint(TPoint cursorPos);
  THintWindow* HintWindow() const { return hintWindow_; }
  TControl* MouseControl() const { return mouseControl_; }

  // Modal loops (ShowModal, popup menus) report their start and end.
  void ModalStarted();
  void ModalFinished();
  Integer ModalLevel() const { return modalLevel_; }

  TIdleEvent OnIdle;
  TExceptionEvent OnException;
  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnModalBegin;
  TNotifyEvent OnModalEnd;

  void ControlDestroyed(TControl* c);
  // What every message taken from the queue goes through first (keys to the dialog-key
  // handling, mouse to a drag in progress); true when it was used up.
  bool PreProcessMessage(MSG& msg);
  // A popup menu tracks the keyboard itself while it is open.
  void SetMenuTracking(bool on) { menuTracking_ += on ? 1 : -1; }

 private:
  bool ProcessMessage(MSG& msg);
  bool IsKeyMsg(MSG& msg);
  bool IsHintMsg(MSG& msg);
  void Idle(const MSG& msg);
  void DoMouseIdle();
  LRESULT WndProc(HWND wnd, UINT msg, WPARAM w, LPARAM l);
  void HintTimerExpired();
  void StartHintTimer(Integer ms, int kind);
  void StopHintTimer();

  String title_;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool active_ = true;
  bool showMainForm_ = true;
  bool handleCreated_ = false;
  HWND handle_ = nullptr;
  bool showHint_ = true;
  TColor hintColor_ = clInfoBk;
  Integer hintPause_ = 500;
  Integer hintHidePause_ = 2500;
  String hint_;
  THintWindow* hintWindow_ = nullptr;
  TControl* mouseControl_ = nullptr;
  TControl* hintControl_ = nullptr;
  int hintTimerKind_ = 0;  // 0 none, 1 show, 2 hide
  bool hintActive_ = false;
  Integer modalLevel_ = 0;
  TMessageBoxHook messageBoxHook_;
  bool inMessageBox_ = false;
  Integer menuTracking_ = 0;
};

extern TApplication* Application;
extern TScreen* Screen;
// The class of the hint windows that the application and controls make (a THintWindow
// descendant); nullptr means THintWindow.
extern TClass HintWindowClass;
// A new hint window of HintWindowClass (a THintWindow when the class cannot make one).
THintWindow* CreateHintWindow(TComponent* owner);

// Creates Application and Screen (once) and registers the classes of the framework.
void InitializeForms();
// The form description texts embedded into the program, by resource name (the class name of
// the form, compared without regard to case).
void RegisterFormResource(const String& name, const String& text);
bool FindFormResource(const String& name, String& text);
