// A memo on a desktop through the SDL2 backend, driven by real input from xdotool: typing
// lines, the arrows between rows, a click into a row, the wheel over a memo with scroll bars.
// Run by hand under a display (xdotool installed):
//   xvfb-run -a build/tests/test_editors_extra --gtest_also_run_disabled_tests --gtest_filter=SdlMemo*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "editors-extra/cxMemo.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "user/Windows.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlMemoTest, DISABLED_TypingRowsClicksAndScrolling) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeForms();
  auto* form = new TForm(Application);
  form->SetCaption("Memo");
  form->SetBounds(40, 40, 420, 260);
  auto* memo = new TcxMemo(form);
  memo->SetBounds(10, 10, 380, 200);
  memo->SetParent(form);
  memo->Properties()->SetScrollBars(ssVertical);
  form->Show();
  memo->SetFocus();
  RunUntil([] { return false; }, 700);

  // Each command runs in the background: the next waits until the memo shows its effect.
  Xdotool("type --delay 30 'aaaaa'");
  RunUntil([&] { return memo->Text() == "aaaaa"; }, 3000);
  Xdotool("key --clearmodifiers Return");
  RunUntil([&] { return memo->Text() == "aaaaa\r\n"; }, 3000);
  Xdotool("type --delay 30 'aaaaaa'");
  EXPECT_TRUE(RunUntil([&] { return memo->Text() == "aaaaa\r\naaaaaa"; }, 4000)) << memo->Text();
  // Up keeps the column (rows of one letter: the same pixels).
  Xdotool("key --clearmodifiers Left Left Left");
  RunUntil([&] { return memo->SelStart() == 10; }, 3000);  // "aaa|aaa" of the second row
  Xdotool("key --clearmodifiers Up");
  RunUntil([&] { return memo->SelStart() == 3; }, 3000);
  Xdotool("type --delay 30 'X'");
  EXPECT_TRUE(RunUntil([&] { return memo->Text() == "aaaXaa\r\naaaaaa"; }, 3000)) << memo->Text();
  // A click at the start of the second row.
  const Integer row = Integer(SendMessage(memo->InnerMemo()->Handle(), EM_POSFROMCHAR, 8, 0)) >> 16;
  const TPoint p = memo->InnerMemo()->ClientToScreen(TPoint(1, row + 4));
  Xdotool("mousemove --sync " + IntToStr(p.X) + " " + IntToStr(p.Y) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return memo->SelStart() == 8; }, 3000)) << memo->SelStart();
  // Many lines scroll; the wheel moves the first visible row.
  String text;
  for (int i = 0; i < 60; ++i) text += "Line " + IntToStr(i) + "\r\n";
  memo->SetText(text);
  RunUntil([] { return false; }, 300);
  const TPoint c = memo->ClientToScreen(TPoint(100, 100));
  Xdotool("mousemove --sync " + IntToStr(c.X) + " " + IntToStr(c.Y) + " click 5 click 5");
  EXPECT_TRUE(RunUntil([&] {
    return SendMessage(memo->InnerMemo()->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0) > 0;
  }, 3000));
  RunUntil([] { return false; }, 300);
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("editors_extra_memo_sdl.png"));
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
