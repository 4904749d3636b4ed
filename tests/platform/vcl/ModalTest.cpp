// Modal forms and exceptions raised in event handlers.
#include <gtest/gtest.h>

#include "VclTestSupport.h"
#include "rtl/SysUtils.h"
#include "vcl/StdCtrls.h"

namespace {

class ModalTest : public VclFixture {
 protected:
  TForm* MakeForm(const String& name, TModalResult buttonResult) {
    auto* f = new TForm(Application);
    f->SetName(name);
    f->SetBounds(50, 50, 300, 200);
    auto* b = new TButton(f);
    b->SetName(name + "Button");
    b->SetBounds(10, 10, 75, 25);
    b->SetModalResult(buttonResult);
    b->SetParent(f);
    return f;
  }
  TButton* ButtonOf(TForm* f) { return static_cast<TButton*>(f->Controls(0)); }
  void ClickLater(TButton* b) {
    S().Backend().OnIdle([this, b] {
      POINT p = S().ScreenPoint(b->Handle(), {5, 5});
      InputMouseMove(p);
      InputMouseButton(kMouseLeft, true, p);
      InputMouseButton(kMouseLeft, false, p);
    });
  }
};

TEST_F(ModalTest, ShowModalReturnsTheResultAndDisablesOtherForms) {
  TForm* main = MakeForm("Main", mrNone);
  main->Show();
  Process();
  TForm* dialog = MakeForm("Dialog", mrOk);
  bool mainDisabledMeanwhile = false;
  dialog->OnShow = [&](TObject*) {
    mainDisabledMeanwhile = !IsWindowEnabled(main->Handle());
    ClickLater(ButtonOf(dialog));
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_TRUE(mainDisabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->FormState().Contains(fsModal));
  // A visible form cannot be shown modally.
  EXPECT_THROW(main->ShowModal(), EInvalidOperation);
  dialog->Free();
  main->Free();
}

// A dialog opened from a window that is gone when it closes (a drop-down) hands the
// activation to the main form, not to nothing.
TEST_F(ModalTest, TheMainFormIsActiveAfterADialogWhoseOpenerIsGone) {
  TForm* main = MakeForm("Main", mrNone);
  TCustomForm* previousMain = Application->MainForm();
  Application->SetMainForm(main);
  main->Show();
  TForm* opener = MakeForm("Opener", mrNone);
  opener->Show();
  SetActiveWindow(opener->Handle());
  Process();
  ASSERT_EQ(GetActiveWindow(), opener->Handle());
  TForm* dialog = MakeForm("Dialog", mrOk);
  dialog->OnShow = [&](TObject*) {
    opener->Free();
    ClickLater(ButtonOf(dialog));
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(GetActiveWindow(), main->Handle());
  Application->SetMainForm(previousMain);
  dialog->Free();
  main->Free();
}

TEST_F(ModalTest, NestedModalFormsReturnInOrder) {
  TForm* outer = MakeForm("Outer", mrYes);
  TForm* inner = MakeForm("Inner", mrNo);
  std::vector<String> log;
  bool outerDisabledByInner = false;
  outer->OnShow = [&](TObject*) {
    S().Backend().OnIdle([&] {
      // Inside the outer loop: run the inner one, then close the outer.
      log.push_back("inner:" + IntToStr(inner->ShowModal()));
      ClickLater(ButtonOf(outer));
    });
  };
  inner->OnShow = [&](TObject*) {
    outerDisabledByInner = !IsWindowEnabled(outer->Handle());
    ClickLater(ButtonOf(inner));
  };
  log.push_back("outer:" + IntToStr(outer->ShowModal()));
  EXPECT_EQ(log, (std::vector<String>{"inner:7", "outer:6"}));
  EXPECT_TRUE(outerDisabledByInner);
  EXPECT_EQ(Application->ModalLevel(), 0);
  inner->Free();
  outer->Free();
}

TEST_F(ModalTest, CloseQueryAndCloseActionsDecideWhetherTheFormCloses) {
  struct Case {
    bool CanClose;
    TCloseAction Action;
    bool VisibleAfter;
    bool Freed;
  };
  const Case cases[] = {
      {false, caHide, true, false},
      {true, caNone, true, false},
      {true, caHide, false, false},
      {true, caFree, false, true},
  };
  for (const Case& c : cases) {
    TForm* f = MakeForm("Closing", mrNone);
    TWeakRef<TForm> ref(f);
    f->OnCloseQuery = [&](TObject*, bool& can) { can = c.CanClose; };
    f->OnClose = [&](TObject*, TCloseAction& a) { a = c.Action; };
    f->Show();
    Process();
    f->Close();
    Process();  // a released form goes when its release message arrives
    EXPECT_EQ(ref.Get() == nullptr, c.Freed) << int(c.Action);
    if (ref) {
      EXPECT_EQ(f->Visible(), c.VisibleAfter) << int(c.Action);
      f->Free();
    }
  }
}

TEST_F(ModalTest, ExceptionInAHandlerIsShownAndTheProgramGoesOn) {
  TForm* f = MakeForm("Main", mrNone);
  TButton* b = ButtonOf(f);
  int clicks = 0;
  b->OnClick = [&](TObject*) {
    ++clicks;
    if (clicks == 1) throw EConvertError("'x' is not a valid integer value");
    if (clicks == 2) Abort();  // silent
  };
  f->Show();
  Process();
  S().Click(b->Handle(), {5, 5});
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], "'x' is not a valid integer value.");
  S().Click(b->Handle(), {5, 5});
  EXPECT_EQ(boxes_.size(), 1u);
  S().Click(b->Handle(), {5, 5});
  EXPECT_EQ(clicks, 3);
  // OnException replaces the message box.
  String seen;
  Application->OnException = [&](TObject* sender, const Exception& e) { seen = e.Message(); };
  clicks = 0;
  S().Click(b->Handle(), {5, 5});
  EXPECT_EQ(seen, "'x' is not a valid integer value");
  Application->OnException = nullptr;
  f->Free();
}

TEST_F(ModalTest, MessageBoxIsADialogWithTheMessage) {
  Application->SetMessageBoxHook(nullptr);
  String shownText;
  SetDialogShowHook([&](TCustomForm* dialog) {
    auto* label = dynamic_cast<TLabel*>(dialog->FindComponent("Message"));
    shownText = label ? label->Caption() : String();
    S().Backend().OnIdle([] { InputKey(VK_ESCAPE, true); InputKey(VK_ESCAPE, false); });
  });
  EXPECT_EQ(Application->MessageBox("Disk full", "Error", MB_OKCANCEL | MB_ICONERROR), IDCANCEL);
  EXPECT_EQ(shownText, "Disk full");
  SetDialogShowHook([&](TCustomForm*) {
    S().Backend().OnIdle([] { InputKey(VK_RETURN, true); InputKey(VK_RETURN, false); });
  });
  EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel), mrYes);  // Enter: the first button
}

TEST_F(ModalTest, RunShowsTheMainFormAndEndsWhenItCloses) {
  // Run ends the application's life: it runs in a child process.
  EXPECT_EXIT(
      {
        TForm* main = nullptr;
        Application->CreateForm(main);
        EXPECT_EQ(Application->MainForm(), main);
        S().Backend().OnIdle([main] { PostMessage(main->Handle(), WM_CLOSE, 0, 0); });
        Application->Run();
        std::_Exit(Application->Terminated() ? 0 : 1);  // no teardown in the child
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ModalTest, WindowProcReplacesTheEntryOfEveryMessage) {
  TForm* f = MakeForm("Sub", mrNone);
  TButton* b = ButtonOf(f);
  std::vector<Cardinal> seen;
  b->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_LBUTTONDOWN) seen.push_back(m.Msg);
    b->WndProc(m);
  };
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  f->Show();
  Process();
  S().Click(b->Handle(), {5, 5});
  EXPECT_EQ(seen, std::vector<Cardinal>{WM_LBUTTONDOWN});
  EXPECT_EQ(clicks, 1);
  f->Free();
}

}  // namespace
