// Shared pieces of the page-control tests: the headless session with the unit started, a
// form, and a test painter of fixed sizes registered under a spare style id: a tab's length
// is its caption read as a number (or 40), every tab is 20 thick, the gaps are set per test,
// navigator buttons are 10 by 10 without gaps.
#pragma once

#include <gtest/gtest.h>

#include "pagecontrol/cxPC.h"
#include "pagecontrol/cxPCGoDialog.h"
#include "pagecontrol/cxPCPainters.h"
#include "rtl/SysUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/ExtCtrls.h"
#include "vcl/FormReader.h"

namespace pctest {

constexpr TcxPCStyleID kTestStyle = 50;

struct TTestPainterSettings {
  Integer TabGap = 0;
  Integer RowGap = 0;
  Integer Thickness = 20;
  Integer MinTabWidth = 10;
};
inline TTestPainterSettings& TestPainterSettings() {
  static TTestPainterSettings settings;
  return settings;
}

class TTestPainter : public TcxPCStandardPainter {
 public:
  class TMeta : public TcxPCPainterMeta {
   public:
    const char* ClassName() const override { return "TTestPainter"; }
    TcxPCCustomPainter* Create(TcxCustomTabControl* control) const override { return new TTestPainter(control); }
    TcxPCStyleID GetStyleID() const override { return kTestStyle; }
    String GetStyleName() const override { return "Test"; }
  };
  static TcxPCPainterClass Class() {
    static const TMeta meta;
    return &meta;
  }
  explicit TTestPainter(TcxCustomTabControl* control) : TcxPCStandardPainter(control) {}
  TcxPCPainterClass PainterClass() const override { return Class(); }
  Integer CalculateTabNormalWidth(TcxTab* tab) override {
    Integer v = StrToIntDef(tab->Caption(), 40);
    return v;
  }
  Integer GetTabNormalHeight() override { return TestPainterSettings().Thickness; }
  Integer GetMinTabWidth(Integer) override { return TestPainterSettings().MinTabWidth; }
  TPoint GetTabsDistance() override { return TPoint(TestPainterSettings().TabGap, TestPainterSettings().RowGap); }
  Integer GetNavigatorButtonHeight() override { return 10; }
  Integer GetNavigatorButtonWidth(TcxPCNavigatorButton) override { return 10; }
};

class PCFixture : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxPC();
    RegisterPainterClass(TTestPainter::Class());
    ResetSysColors();
    TestPainterSettings() = TTestPainterSettings();
    form_ = new TForm(Application);
    form_->SetBounds(10, 10, 800, 600);
  }
  void TearDown() override {
    form_->Free();
    UnregisterPainterClass(TTestPainter::Class());
    THeadlessFixture::TearDown();
  }
  TForm* Form() { return form_; }
  // A tab control of the test style with tabs captioned by their lengths.
  TcxTabControl* MakeTabs(const std::vector<Integer>& lengths, Integer width, Integer height = 200,
                          TcxPCStyleID style = kTestStyle) {
    auto* c = new TcxTabControl(form_);
    c->SetStyle(style);
    c->SetBounds(0, 0, width, height);
    c->SetParent(form_);
    c->Tabs()->BeginUpdate();
    for (Integer l : lengths) c->Tabs()->Add(IntToStr(l));
    c->Tabs()->EndUpdate();
    c->LayoutChanged();
    return c;
  }
  // The rows of the visible tabs: row of each.
  static std::vector<Integer> Rows(TcxCustomTabControl* c) {
    std::vector<Integer> r;
    for (Integer i = 0; i < c->VisibleTabCount(); ++i) r.push_back(c->VisibleTabs(i)->Row);
    return r;
  }
  static std::vector<Integer> Widths(TcxCustomTabControl* c) {
    std::vector<Integer> r;
    for (Integer i = 0; i < c->VisibleTabCount(); ++i) r.push_back(c->VisibleTabs(i)->NormalWidth);
    return r;
  }
  static TPoint Center(const TRect& r) { return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }

 private:
  TForm* form_ = nullptr;
};

}  // namespace pctest
