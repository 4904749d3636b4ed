// The test form: a form description with nested panels, aligned and anchored children, a
// label, an image and a popup menu, loaded, laid out, painted and driven by mouse and keys.
#include <gtest/gtest.h>

#include "VclTestSupport.h"
#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/FormReader.h"
#include "vcl/Menus.h"
#include "vcl/Dialogs.h"

namespace {

class TTestForm : public TForm {
  KORVAN_CLASS(TTestForm, TForm)

 public:
  explicit TTestForm(TComponent* owner) : TForm(owner) {
    PublishField("TopPanel", &TopPanel);
    PublishField("NameLabel", &NameLabel);
    PublishField("NameEdit", &NameEdit);
    PublishField("StatusBar", &StatusBar);
    PublishField("ClientPanel", &ClientPanel);
    PublishField("Image1", &Image1);
    PublishField("CornerPanel", &CornerPanel);
    PublishField("ButtonPanel", &ButtonPanel);
    PublishField("HelpCheck", &HelpCheck);
    PublishField("OkButton", &OkButton);
    PublishField("CancelButton", &CancelButton);
    PublishField("PopupMenu1", &PopupMenu1);
    PublishMethod("FormCreate", TNotifyEvent([this](TObject*) {
      // Everything is read and loaded by now.
      Log.push_back("create:" + String(NameLabel && NameLabel->FocusControl() == NameEdit ? "linked" : "unlinked"));
    }));
    PublishMethod("FormKeyDown", TKeyEvent([this](TObject*, Word& key, TShiftState) {
      if (key == VK_F2) Log.push_back("preview:F2");
    }));
    PublishMethod("OkButtonClick", TNotifyEvent([this](TObject*) { Log.push_back("ok"); }));
    PublishMethod("CancelButtonClick", TNotifyEvent([this](TObject*) { Log.push_back("cancel"); }));
    PublishMethod("CopyItemClick", TNotifyEvent([this](TObject*) { Log.push_back("copy"); }));
    PublishMethod("PasteItemClick", TNotifyEvent([this](TObject*) { Log.push_back("paste"); }));
  }
  TPanel* TopPanel = nullptr;
  TLabel* NameLabel = nullptr;
  TEdit* NameEdit = nullptr;
  TStatusBar* StatusBar = nullptr;
  TPanel* ClientPanel = nullptr;
  TImage* Image1 = nullptr;
  TPanel* CornerPanel = nullptr;
  TPanel* ButtonPanel = nullptr;
  TCheckBox* HelpCheck = nullptr;
  TButton* OkButton = nullptr;
  TButton* CancelButton = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  std::vector<String> Log;
};
KORVAN_IMPLEMENT_CLASS(TTestForm)

class TestFormTest : public VclFixture {
 protected:
  void SetUp() override {
    VclFixture::SetUp();
    form_ = CreateForm<TTestForm>(Application);
  }
  void TearDown() override {
    if (form_) form_->Free();
    VclFixture::TearDown();
  }
  void ShowForm() {
    form_->Show();
    Process();
  }
  HWND H(TWinControl* c) { return c->Handle(); }
  TPoint Center(TControl* c) { return {c->Width() / 2, c->Height() / 2}; }
  TWinControl* Focused() { return dynamic_cast<TWinControl*>(FindControl(GetFocus())); }
  TTestForm* form_ = nullptr;
};

TEST_F(TestFormTest, LoadsComponentsPropertiesAndReferences) {
  TTestForm& f = *form_;
  ASSERT_NE(f.OkButton, nullptr);
  EXPECT_EQ(f.Name(), "TestForm");
  EXPECT_EQ(f.Caption(), "Test form");
  EXPECT_EQ(f.ClientWidth(), 400);
  EXPECT_EQ(f.ClientHeight(), 300);
  EXPECT_TRUE(f.KeyPreview());
  EXPECT_EQ(f.Log, std::vector<String>{"create:linked"});
  EXPECT_EQ(f.OkButton->Owner(), &f);
  EXPECT_EQ(f.OkButton->Parent(), f.ButtonPanel);
  EXPECT_EQ(f.ButtonPanel->Parent(), f.ClientPanel);
  EXPECT_TRUE(f.OkButton->Default());
  EXPECT_TRUE(f.CancelButton->Cancel());
  EXPECT_EQ(f.CancelButton->ModalResult(), mrCancel);
  EXPECT_EQ(f.NameEdit->Text(), "abc");
  EXPECT_EQ(f.ClientPanel->PopupMenu(), f.PopupMenu1);
  EXPECT_EQ(f.ClientPanel->BevelOuter(), bvLowered);
  ASSERT_EQ(f.StatusBar->Panels()->Count(), 2);
  EXPECT_EQ(f.StatusBar->Panels()->Items(1)->Text(), "Line 1\r\nx");
  EXPECT_EQ(f.Image1->Picture()->Width(), 16);
  // An auto-sized label takes its text's size once loaded.
  EXPECT_EQ(f.NameLabel->Width(), f.NameLabel->TextSize().cx);
  EXPECT_EQ(f.NameLabel->Height(), f.NameLabel->TextSize().cy);
  EXPECT_EQ(f.PopupMenu1->Items()->Count(), 3);
  EXPECT_EQ(f.PopupMenu1->Items()->Items(0)->ShortCut(), ShortCut('C', {ssCtrl}));
  // Fonts flow from the form to children that keep ParentFont.
  EXPECT_EQ(f.NameEdit->Font()->Name(), "MS Sans Serif");
  EXPECT_EQ(f.OkButton->Font()->Height(), -11);
  for (Integer i = 0; i < f.ComponentCount(); ++i)
    EXPECT_FALSE(f.Components(i)->ComponentState().Contains(csLoading)) << f.Components(i)->Name();
}

TEST_F(TestFormTest, AlignsAndAnchorsChildrenWhenResized) {
  TTestForm& f = *form_;
  struct Case {
    TControl* Control;
    TRect Before;
    TRect After;
  };
  std::vector<Case> cases = {
      {f.TopPanel, Rect(0, 0, 400, 41), Rect(0, 0, 500, 41)},
      {f.StatusBar, Rect(0, 281, 400, 300), Rect(0, 341, 500, 360)},
      {f.ClientPanel, Rect(0, 41, 400, 281), Rect(0, 41, 500, 341)},
      {f.ButtonPanel, Rect(1, 198, 399, 239), Rect(1, 258, 499, 299)},
      {f.NameEdit, Rect(56, 10, 256, 31), Rect(56, 10, 356, 31)},        // left and right: grows
      {f.OkButton, Rect(232, 8, 307, 33), Rect(332, 8, 407, 33)},        // right: moves
      {f.CornerPanel, Rect(300, 60, 390, 120), Rect(400, 120, 490, 180)},  // right and bottom
      {f.Image1, Rect(8, 8, 40, 40), Rect(8, 8, 40, 40)},                // left and top: stays
  };
  for (const Case& c : cases) EXPECT_EQ(c.Control->BoundsRect(), c.Before) << c.Control->Name();
  ShowForm();
  f.SetClientWidth(500);
  f.SetClientHeight(360);
  Process();
  for (const Case& c : cases) EXPECT_EQ(c.Control->BoundsRect(), c.After) << c.Control->Name();
  f.SetClientWidth(400);
  f.SetClientHeight(300);
  for (const Case& c : cases) EXPECT_EQ(c.Control->BoundsRect(), c.Before) << c.Control->Name() << " back";
}

TEST_F(TestFormTest, PaintsToASheet) {
  ShowForm();
  String path = S().Snapshot(form_->Handle(), "vcl_test_form.png");
  EXPECT_FALSE(path.empty());
  // The image is stretched to 32 x 32: its red square covers the middle.
  TSurface pixels;
  ASSERT_TRUE(THeadlessBackend::CopyWindowPixels(form_->ClientPanel->Handle(), pixels, true));
  TPoint imageCenter = form_->Image1->ClientToParent({16, 16});
  EXPECT_EQ(pixels.At(imageCenter.X, imageCenter.Y) & 0xFFFFFF, 0xFF0000u);  // red
  TPoint imageCorner = form_->Image1->ClientToParent({2, 2});
  EXPECT_EQ(pixels.At(imageCorner.X, imageCorner.Y) & 0xFFFFFF, 0x0000FFu);  // blue
}

TEST_F(TestFormTest, ClickRunsTheButtonHandler) {
  ShowForm();
  S().Click(H(form_->OkButton), Center(form_->OkButton));
  EXPECT_EQ(form_->Log.back(), "ok");
  EXPECT_EQ(form_->ModalResult(), mrOk);
  EXPECT_EQ(Focused(), form_->OkButton);
  // A press that leaves the button before the release is no click.
  size_t n = form_->Log.size();
  S().MouseDown(H(form_->CancelButton), Center(form_->CancelButton));
  S().MoveMouse(H(form_->CancelButton), {-20, -20});
  S().MouseUp(H(form_->CancelButton), {-20, -20});
  EXPECT_EQ(form_->Log.size(), n);
}

TEST_F(TestFormTest, TabMovesFocusInTabOrderAcrossPanels) {
  ShowForm();
  EXPECT_EQ(Focused(), form_->NameEdit);  // the first tab stop takes the focus
  std::vector<TWinControl*> forward = {form_->HelpCheck, form_->OkButton, form_->CancelButton, form_->NameEdit};
  for (TWinControl* expected : forward) {
    S().PressKey(VK_TAB);
    EXPECT_EQ(Focused(), expected) << expected->Name();
    EXPECT_EQ(form_->ActiveControl(), expected);
  }
  S().PressKey(VK_TAB, true);
  EXPECT_EQ(Focused(), form_->CancelButton);
  // A disabled control is skipped.
  form_->OkButton->SetEnabled(false);
  S().PressKey(VK_TAB, true);
  EXPECT_EQ(Focused(), form_->HelpCheck);
}

TEST_F(TestFormTest, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
  ShowForm();
  struct Case {
    TWinControl* Focus;
    int Key;
    const char* Handler;
  };
  std::vector<Case> cases = {
      {nullptr, VK_RETURN, "ok"},       // the edit does not want Enter: the default button
      {nullptr, VK_ESCAPE, "cancel"},   // Esc: the cancel button
      {form_->CancelButton, VK_RETURN, "cancel"},  // a focused button takes Enter itself
      {form_->HelpCheck, VK_RETURN, "ok"},         // a check box is no button: the default
      {form_->OkButton, VK_ESCAPE, "cancel"},
  };
  for (const Case& c : cases) {
    TWinControl* focus = c.Focus ? c.Focus : form_->NameEdit;
    focus->SetFocus();
    Process();
    form_->Log.clear();
    S().PressKey(c.Key);
    ASSERT_EQ(form_->Log.size(), 1u) << focus->Name() << " key " << c.Key;
    EXPECT_EQ(form_->Log[0], c.Handler) << focus->Name();
  }
}

TEST_F(TestFormTest, KeysReachTheFormFirstWithKeyPreviewAndTypeIntoTheEdit) {
  ShowForm();
  form_->NameEdit->SetFocus();
  Process();
  form_->NameEdit->SelectAll();
  S().TypeText("Zoë 1");
  EXPECT_EQ(form_->NameEdit->Text(), "Zoë 1");
  S().PressKey(VK_BACK);
  S().PressKey(VK_LEFT);
  S().PressKey(VK_BACK);
  EXPECT_EQ(form_->NameEdit->Text(), "Zo ");
  S().PressKey(VK_F2);
  EXPECT_EQ(form_->Log.back(), "preview:F2");
}

TEST_F(TestFormTest, PopupMenuOpensOnRightClickAndTracksKeysAndMouse) {
  ShowForm();
  TPoint at{200, 100};
  // Keys: down (Copy), down (the separator is skipped: Paste), Enter.
  S().Backend().OnIdle([] { InputKey(VK_DOWN, true); InputKey(VK_DOWN, false); });
  S().Backend().OnIdle([] { InputKey(VK_DOWN, true); InputKey(VK_DOWN, false); });
  S().Backend().OnIdle([] { InputKey(VK_RETURN, true); InputKey(VK_RETURN, false); });
  S().Click(H(form_->ClientPanel), at, kMouseRight);
  EXPECT_FALSE(form_->PopupMenu1->IsOpen());
  ASSERT_FALSE(form_->Log.empty());
  EXPECT_EQ(form_->Log.back(), "paste");
  EXPECT_EQ(form_->PopupMenu1->PopupComponent(), form_->ClientPanel);

  // Mouse: click the first item of the open menu.
  TPopupMenu* menu = form_->PopupMenu1;
  S().Backend().OnIdle([menu] {
    TCustomControl* w = menu->MenuWindows().at(0);
    POINT p = w->ClientToScreen({20, 10});
    InputMouseMove(p);
    InputMouseButton(kMouseLeft, true, p);
    InputMouseButton(kMouseLeft, false, p);
  });
  S().Click(H(form_->ClientPanel), at, kMouseRight);
  EXPECT_EQ(form_->Log.back(), "copy");

  // Esc closes the menu without choosing; a click elsewhere does too.
  form_->Log.clear();
  S().Backend().OnIdle([] { InputKey(VK_ESCAPE, true); InputKey(VK_ESCAPE, false); });
  S().Click(H(form_->ClientPanel), at, kMouseRight);
  S().Backend().OnIdle([] {
    InputMouseButton(kMouseLeft, true, {5, 5});
    InputMouseButton(kMouseLeft, false, {5, 5});
  });
  S().Click(H(form_->ClientPanel), at, kMouseRight);
  EXPECT_TRUE(form_->Log.empty());
  EXPECT_FALSE(menu->IsOpen());
}

TEST_F(TestFormTest, PopupMenuShortcutRunsItsItem) {
  ShowForm();
  form_->HelpCheck->SetFocus();
  Process();
  S().PressKey('C', false, true);
  EXPECT_EQ(form_->Log.back(), "copy");
}

TEST_F(TestFormTest, AcceleratorsFocusOrPressTheirControl) {
  ShowForm();
  form_->OkButton->SetFocus();
  Process();
  S().PressKey('N', false, false, true);
  EXPECT_EQ(Focused(), form_->NameEdit);
  form_->OkButton->SetFocus();
  Process();
  S().PressKey('H', false, false, true);
  EXPECT_TRUE(form_->HelpCheck->Checked());
}

TEST_F(TestFormTest, WritesWhatItReadsBack) {
  String text = WriteComponentToText(form_);
  TFormObject tree = ParseFormText(text);
  EXPECT_EQ(tree.ClassName, "TTestForm");
  // Reading the written text into a fresh form gives the same layout.
  auto* copy = new TTestForm(Application);
  ReadComponentFromText(copy, text);
  EXPECT_EQ(copy->OkButton->BoundsRect(), form_->OkButton->BoundsRect());
  EXPECT_EQ(copy->NameEdit->Anchors(), form_->NameEdit->Anchors());
  EXPECT_EQ(copy->StatusBar->Panels()->Items(1)->Text(), "Line 1\r\nx");
  EXPECT_EQ(copy->Image1->Picture()->Width(), 16);
  EXPECT_EQ(copy->PopupMenu1->Items()->Count(), 3);
  EXPECT_EQ(copy->ClientPanel->PopupMenu(), copy->PopupMenu1);
  copy->Free();
}

}  // namespace

// Shows the test form and then the open dialog on a desktop through the SDL2 backend, for a
// few seconds each, so that they can be looked at (or captured). Run by hand under a display:
//   xvfb-run -a test_vcl --gtest_also_run_disabled_tests --gtest_filter=SdlDesktop*
// KORVAN_SHOW_SECONDS sets the time each is shown, KORVAN_DIALOG_DIR the dialog's folder.
#include "backend/Sdl.h"
#include "vcl/ExtCtrls.h"

namespace {

void RunFor(int ms) {
  auto* tick = new TTimer(nullptr);
  tick->SetInterval(50);
  bool done = false;
  uint64_t start = GetTickCount();
  tick->OnTimer = [&](TObject*) { done = GetTickCount() - start >= uint64_t(ms); };
  while (!done && !Application->Terminated()) Application->HandleMessage();
  tick->Free();
}

TEST(SdlDesktopTest, DISABLED_ShowsTheTestFormAndTheOpenDialog) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeForms();
  RegisterVclTestResources();
  const char* secs = std::getenv("KORVAN_SHOW_SECONDS");
  int ms = (secs ? std::atoi(secs) : 3) * 1000;
  auto* form = CreateForm<TTestForm>(Application);
  form->Show();
  RunFor(ms);
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("vcl_sdl_store.png"));
  TOpenDialog dialog(nullptr);
  const char* dir = std::getenv("KORVAN_DIALOG_DIR");
  dialog.SetInitialDir(dir ? dir : "/usr/share");
  dialog.SetFilter("All files (*.*)|*.*");
  std::vector<String> listed;
  SetDialogShowHook([&](TCustomForm* f) {
    auto* fd = static_cast<TFileDialogForm*>(f);
    listed = fd->FileList()->Items()->ToVector();
    auto* closer = new TTimer(fd);
    closer->SetInterval(UINT(ms));
    closer->OnTimer = [fd](TObject*) { fd->SetModalResult(mrCancel); };
  });
  EXPECT_FALSE(dialog.Execute());
  SetDialogShowHook(nullptr);
  EXPECT_FALSE(listed.empty());
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
