// A text edit on a desktop through the SDL2 backend, driven by real input from xdotool:
// typing, Shift+arrow and mouse selection, copy and paste through the desktop clipboard.
// Run by hand under a display (xdotool installed):
//   xvfb-run -a build/tests/test_editors --gtest_also_run_disabled_tests --gtest_filter=SdlTextEdit*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "editors/cxTextEdit.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "user/Windows.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlTextEditTest, DISABLED_TypingSelectingCopyAndPaste) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeForms();
  auto* form = new TForm(Application);
  form->SetCaption("Text edit");
  form->SetBounds(40, 40, 360, 160);
  auto* edit = new TcxTextEdit(form);
  edit->SetBounds(10, 10, 300, 21);
  edit->SetParent(form);
  auto* other = new TcxTextEdit(form);
  other->SetBounds(10, 50, 300, 21);
  other->SetParent(form);
  form->Show();
  edit->SetFocus();
  RunUntil([] { return false; }, 700);  // the window is mapped and painted

  Xdotool("type --delay 30 'hello world'");
  EXPECT_TRUE(RunUntil([&] { return edit->Text() == "hello world"; }, 4000)) << edit->Text();
  // Shift+Left five times selects "world"; copy it out through the desktop clipboard.
  Xdotool("key --clearmodifiers shift+Left shift+Left shift+Left shift+Left shift+Left");
  EXPECT_TRUE(RunUntil([&] { return edit->SelText() == "world"; }, 3000)) << edit->SelText();
  Xdotool("key --clearmodifiers ctrl+c");
  RunUntil([] { return false; }, 300);
  // Into the second edit by the mouse, then paste.
  const TPoint p = other->ClientToScreen(TPoint(20, 10));
  Xdotool("mousemove --sync " + IntToStr(p.X) + " " + IntToStr(p.Y) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return other->Focused(); }, 3000));
  Xdotool("key --clearmodifiers ctrl+v");
  EXPECT_TRUE(RunUntil([&] { return other->Text() == "world"; }, 3000)) << other->Text();
  // A mouse drag over the first edit's text selects from where it starts.
  const TPoint from = edit->ClientToScreen(TPoint(4, 10));
  const TPoint to = edit->ClientToScreen(TPoint(60, 10));
  Xdotool("mousemove --sync " + IntToStr(from.X) + " " + IntToStr(from.Y) + " mousedown 1 mousemove --sync " +
          IntToStr(to.X) + " " + IntToStr(to.Y) + " mouseup 1");
  EXPECT_TRUE(RunUntil([&] { return edit->Focused() && edit->SelStart() == 0 && edit->SelLength() > 0; }, 3000));
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("editors_text_edit_sdl.png"));
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
