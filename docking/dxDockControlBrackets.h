// The brackets structural docking work runs in, closed also when the work fails: the
// controller's update bracket, a control's layout bracket and its visibility lock. Used by the
// theme files of the dock control unit only.
#pragma once

#include "docking/dxDockControl.h"

namespace dock_brackets {

// The signed point packed into a mouse message's lParam.
inline TPoint PointOf(LPARAM l) { return TPoint(Integer(short(LOWORD(l))), Integer(short(HIWORD(l)))); }

template <class F>
void InUpdateNC(F&& body) {
  TdxDockingController* c = DockingController();
  c->BeginUpdateNC();
  try {
    body();
  } catch (...) {
    c->EndUpdateNC();
    throw;
  }
  c->EndUpdateNC();
}

// A nil control runs the body without a bracket.
template <class F>
void InLock(TdxCustomDockControl* c, void (TdxCustomDockControl::*begin)(), void (TdxCustomDockControl::*end)(),
            F&& body) {
  if (!c) {
    body();
    return;
  }
  (c->*begin)();
  try {
    body();
  } catch (...) {
    (c->*end)();
    throw;
  }
  (c->*end)();
}

template <class F>
void InLayoutUpdate(TdxCustomDockControl* c, F&& body) {
  InLock(c, &TdxCustomDockControl::BeginUpdateLayout, &TdxCustomDockControl::EndUpdateLayout, body);
}

template <class F>
void InVisibilityUpdate(TdxCustomDockControl* c, F&& body) {
  InLock(c, &TdxCustomDockControl::BeginVisibilityUpdate, &TdxCustomDockControl::EndVisibilityUpdate, body);
}

}  // namespace dock_brackets
