// Shared pieces of the control-base tests: the headless session with the control unit
// started, a form, and a scrolling test control whose content is a grid of cells that it
// scrolls by its painted scroll bars.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "foundation/cxControls.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"

namespace controltest {

// A control with a content of ContentWidth x ContentHeight pixels, scrolled by its bars.
class TScrollingControl : public TcxControl {
 public:
  explicit TScrollingControl(TComponent* owner) : TcxControl(owner) {}
  Integer ContentWidth = 600, ContentHeight = 900;
  Integer LeftPos = 0, TopPos = 0;
  bool HideWhenFits = true;
  std::vector<std::pair<TScrollBarKind, TScrollCode>> Scrolls;
  Integer Paints = 0;

  void ComputeScrollBarData() override {
    TRect r;
    ContentBounds(r);
    StoreScrollBarParams(sbHorizontal, 0, ContentWidth - 1, 10, r.Width(), LeftPos, true, HideWhenFits);
    StoreScrollBarParams(sbVertical, 0, ContentHeight - 1, 10, r.Height(), TopPos, true, HideWhenFits);
  }
  void PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) override {
    Scrolls.push_back({kind, code});
    TRect r;
    ContentBounds(r);
    Integer& pos = kind == sbHorizontal ? LeftPos : TopPos;
    Integer page = kind == sbHorizontal ? r.Width() : r.Height();
    Integer limit = std::max(0, (kind == sbHorizontal ? ContentWidth : ContentHeight) - page);
    switch (code) {
      case scLineUp: pos -= 10; break;
      case scLineDown: pos += 10; break;
      case scPageUp: pos -= page; break;
      case scPageDown: pos += page; break;
      case scTrack:
      case scPosition: pos = position; break;
      default: return;
    }
    pos = std::clamp(pos, 0, limit);
    position = pos;
    RefreshScrollBars();
    Invalidate();
  }
  Integer CountScrolls(TScrollBarKind kind, TScrollCode code) const {
    Integer n = 0;
    for (auto& s : Scrolls) n += s.first == kind && s.second == code;
    return n;
  }

 protected:
  void Paint() override {
    ++Paints;
    TRect r;
    ContentBounds(r);
    // Cells of 50 x 50 in two colours, moved by the scroll position.
    for (Integer y = -(TopPos % 100); y < r.Height(); y += 50)
      for (Integer x = -(LeftPos % 100); x < r.Width(); x += 50) {
        bool dark = (((x + LeftPos) / 50) + ((y + TopPos) / 50)) % 2 != 0;
        Canvas()->FillRectColor(TRect(r.Left + x, r.Top + y, r.Left + x + 50, r.Top + y + 50),
                                dark ? TColor(0x806040) : TColor(0xF0E0D0));
      }
  }
};

class ControlFixture : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxControls();
    ResetSysColors();
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 3, nullptr, 0);
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 420, 320);
  }
  void TearDown() override {
    Screen->SetCursor(crDefault);
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  template <class T = TScrollingControl>
  T* MakeControl(Integer w = 300, Integer h = 200) {
    auto* c = new T(form_);
    c->SetBounds(10, 10, w, h);
    c->SetParent(form_);
    form_->Show();
    Pump();
    return c;
  }
  TForm* form_ = nullptr;
};

}  // namespace controltest
