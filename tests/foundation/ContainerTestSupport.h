// Shared pieces of the container, popup and button tests: the headless session with the
// container unit and the global style controller started, a form, pixel reading.
#pragma once

#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "foundation/cxButtons.h"
#include "foundation/cxContainer.h"
#include "gdi/Surface.h"
#include "tests/foundation/ControlTestSupport.h"

namespace containertest {

// A list-type container: an inner list box and painted bars that mirror the list's bars.
class TListContainer : public TcxContainer {
 public:
  explicit TListContainer(TComponent* owner) : TcxContainer(owner) {
    SyncScrollPartsExistence();
    List = new TcxCustomInnerListBox(this);
    List->SetParent(this);
    SetInnerControl(List);
  }
  bool WantsScrollBars() override { return true; }
  TcxCustomInnerListBox* List;
};

class ContainerFixture : public controltest::ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    InitializeCxContainer();
    InitializeGlobalStyleController();
    InitializeCxButtons();
    form_->SetColor(TColor(0x00C0E0C0));  // a parent colour no frame uses
    savedKind_ = GlobalRootLookAndFeel()->Kind();
    savedNative_ = GlobalRootLookAndFeel()->NativeStyle();
    GlobalRootLookAndFeel()->SetNativeStyle(false);
    GlobalRootLookAndFeel()->SetKind(lfUltraFlat);
  }
  void TearDown() override {
    GlobalRootLookAndFeel()->SetKind(savedKind_);
    GlobalRootLookAndFeel()->SetNativeStyle(savedNative_);
    ControlFixture::TearDown();
  }
  TcxLookAndFeelKind savedKind_ = lfUltraFlat;
  bool savedNative_ = false;
  template <class T = TcxContainer>
  T* MakeContainer(Integer x, Integer y, Integer w, Integer h) {
    auto* c = new T(form_);
    c->SetBounds(x, y, w, h);
    c->SetParent(form_);
    form_->Show();
    Pump();
    return c;
  }
  // The colour shown at a client point of a window (its parent shows outside its region).
  COLORREF PixelAt(TWinControl* c, Integer x, Integer y) {
    TSurface s;
    EXPECT_TRUE(THeadlessBackend::CopyWindowPixels(form_->Handle(), s, true));
    TPoint p = form_->ScreenToClient(c->ClientToScreen(TPoint(x, y)));
    return PixelToColorRef(s.At(p.X, p.Y));
  }
  void MoveMouseAway() { S().MoveMouse(form_->Handle(), POINT{form_->ClientWidth() - 2, form_->ClientHeight() - 2}); }
};

}  // namespace containertest
