// What the headless benchmarks share: the headless backend installed once for the program,
// message pumping, and a form to put the measured controls on.
#pragma once

#include <initializer_list>

#include "backend/Headless.h"
#include "vcl/Forms.h"

namespace benchheadless {

// Installs the headless backend on the first call, with that call's screen size (it stays to
// the end of the program), and runs the unit initialisations given (each runs its unit once
// however often it is called).
inline THeadlessBackend& StartHeadless(std::initializer_list<void (*)()> units = {}, int screenWidth = 1280,
                                       int screenHeight = 800) {
  static THeadlessBackend backend(screenWidth, screenHeight);
  static const bool installed = (SetBackend(&backend), true);
  (void)installed;
  for (void (*initialize)() : units) initialize();
  return backend;
}

// Dispatches every message waiting (input, paint, posted) without waiting for more.
inline void PumpMessages() {
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
}

// A new form of the application at the screen's top left, this size, shown unless `show` is
// false (the backend and the forms unit started first).
inline TForm* NewForm(int width, int height, bool show = true) {
  TForm* form = new TForm(Application);
  form->SetBounds(0, 0, width, height);
  if (show) form->Show();
  return form;
}

}  // namespace benchheadless
