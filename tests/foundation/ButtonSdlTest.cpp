// Buttons and a popup on a desktop through the SDL2 backend, driven by real clicks from
// xdotool: a button opens a popup, a click inside it is kept, a click elsewhere closes it
// and reaches the other button. Run by hand under a display (xdotool installed):
//   xvfb-run -a test_foundation --gtest_also_run_disabled_tests --gtest_filter=SdlButton*
#include <gtest/gtest.h>

#include <cstdlib>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "foundation/cxButtons.h"
#include "foundation/cxContainer.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

TEST(SdlButtonTest, DISABLED_ButtonsAndAPopupTakeRealClicks) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeCxContainer();
  InitializeCxButtons();
  auto* form = new TForm(Application);
  form->SetCaption("Buttons and a popup");
  form->SetBounds(40, 40, 360, 220);
  auto* open = new TcxButton(form);
  open->SetBounds(20, 20, 100, 28);
  open->SetCaption("Open");
  open->SetParent(form);
  auto* other = new TcxButton(form);
  other->SetBounds(200, 150, 100, 28);
  other->SetCaption("Other");
  other->SetParent(form);
  int otherClicks = 0, innerClicks = 0;
  other->OnClick = [&](TObject*) { ++otherClicks; };

  auto* popup = new TcxCustomPopupWindow(open);
  popup->SetRunsModalLoop(false);
  popup->SetTakesFocus(false);  // a non-activating window: the form keeps the activation
  popup->SetAnchorParent(form);
  popup->SetAnchorBounds(open->BoundsRect());
  auto* inner = new TcxButton(popup);
  inner->SetBounds(0, 0, 120, 60);
  inner->SetCaption("Inside");
  inner->SetParent(popup);
  inner->OnClick = [&](TObject*) { ++innerClicks; };
  int openClicks = 0;
  open->OnClick = [&](TObject*) {
    ++openClicks;
    popup->ShowPopup(nullptr);
  };

  form->Show();
  RunUntil([] { return false; }, 700);  // the window is mapped and painted
  auto at = [](TControl* c, TPoint p) {
    TPoint s = c->ClientToScreen(p);
    return "mousemove --sync " + IntToStr(s.X) + " " + IntToStr(s.Y) + " click 1";
  };

  // The desktop may spend a click on activating a window: each step clicks again when the
  // first click did not arrive.
  auto clickUntil = [&](TControl* c, TPoint p, const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 2 && !done(); ++attempt) {
      Xdotool(at(c, p));
      RunUntil(done, 3000);
    }
    return done();
  };
  EXPECT_TRUE(clickUntil(open, TPoint(50, 14), [&] { return IsVisiblePopup(popup); })) << openClicks;
  EXPECT_TRUE(clickUntil(inner, TPoint(60, 30), [&] { return innerClicks >= 1; }));
  EXPECT_TRUE(IsVisiblePopup(popup));
  THeadlessBackend::SaveWindowPng(form->Handle(), testing_support::SheetPath("buttons_sdl.png"));
  EXPECT_TRUE(clickUntil(other, TPoint(50, 14), [&] { return !IsVisiblePopup(popup); }));
  EXPECT_TRUE(clickUntil(other, TPoint(50, 14), [&] { return otherClicks >= 1; }));

  popup->Free();
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
