// Container styles: per-state resolution, defaults, change notification and style
// controllers (chains, refusal of cycles, freeing).
#include "tests/foundation/ContainerTestSupport.h"

using namespace containertest;

namespace {

class ContainerStyleTest : public ContainerFixture {};

TEST_F(ContainerStyleTest, StateStylesShareTheBaseStylesSharedValues) {
  auto* c = MakeContainer(10, 10, 120, 24);
  c->Style()->SetEdges({bLeft, bTop});
  c->Style()->SetHotTrack(false);
  for (TcxContainerStyle* s : {c->StyleFocused(), c->StyleHot(), c->StyleDisabled()}) {
    EXPECT_TRUE(s->Edges() == TcxBorders({bLeft, bTop}));
    EXPECT_FALSE(s->HotTrack());
    EXPECT_EQ(s->Font(), c->Style()->Font());
    EXPECT_TRUE(s->TransparentBorder());
  }
  c->StyleHot()->SetShadow(true);
  EXPECT_TRUE(c->Style()->Shadow());
  EXPECT_TRUE(c->Style()->StoredAssignedValues().Contains(svShadow));
  EXPECT_FALSE(c->StyleHot()->StoredAssignedValues().Contains(svShadow));
}

TEST_F(ContainerStyleTest, BorderStyleDefaultsFollowLookAndFeelAndHotTracking) {
  struct Case {
    TcxLookAndFeelKind kind;
    bool assignSingle;
    bool hotTrack;
    TcxContainerBorderStyle normal, focused, disabled;
  } cases[] = {
      {lfUltraFlat, false, true, cbsUltraFlat, cbsUltraFlat, cbsUltraFlat},
      {lfFlat, false, true, cbsFlat, cbs3D, cbsFlat},
      {lfStandard, false, true, cbs3D, cbs3D, cbs3D},
      {lfOffice11, false, true, cbsOffice11, cbsOffice11, cbsOffice11},
      {lfStandard, true, true, cbsSingle, cbsThick, cbsSingle},
      {lfStandard, true, false, cbsSingle, cbsSingle, cbsSingle},
  };
  for (const Case& k : cases) {
    auto* c = MakeContainer(10, 10, 120, 24);
    c->Style()->LookAndFeel()->SetKind(k.kind);
    if (k.assignSingle) c->Style()->SetBorderStyle(cbsSingle);
    c->Style()->SetHotTrack(k.hotTrack);
    EXPECT_EQ(c->Style()->BorderStyle(), k.normal) << k.kind;
    EXPECT_EQ(c->StyleFocused()->BorderStyle(), k.focused) << k.kind;
    EXPECT_EQ(c->StyleHot()->BorderStyle(), k.focused) << k.kind;
    EXPECT_EQ(c->StyleDisabled()->BorderStyle(), k.disabled) << k.kind;
    c->Free();
  }
}

TEST_F(ContainerStyleTest, DisabledStyleDefaultsToShadowColours) {
  auto* c = MakeContainer(10, 10, 120, 24);
  EXPECT_EQ(c->StyleDisabled()->BorderColor(), clBtnShadow);
  EXPECT_EQ(c->StyleDisabled()->TextColor(), clBtnShadow);
  EXPECT_EQ(c->Style()->BorderColor(), clWindowFrame);
  c->Style()->SetBorderColor(clRed);
  EXPECT_EQ(c->StyleFocused()->BorderColor(), clRed);  // focused and hot follow the base style
  EXPECT_EQ(c->StyleDisabled()->BorderColor(), clBtnShadow);
  EXPECT_TRUE(c->Style()->AssignedValues() == TcxContainerStyleValues{svBorderColor});
}

TEST_F(ContainerStyleTest, ChangesNotifyOncePerRealChangeAndOncePerUpdateBracket) {
  TcxContainerStyle style(nullptr, false);
  int changes = 0;
  style.OnChanged = [&](TObject*) { ++changes; };
  style.SetColor(style.Color());  // not assigned before: marks it and notifies
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(style.StoredAssignedValues().Contains(svColor));
  style.SetColor(style.Color());  // assigned and equal: nothing
  EXPECT_EQ(changes, 1);
  style.BeginUpdate();
  style.BeginUpdate();
  style.SetColor(clRed);
  style.SetBorderStyle(cbsThick);
  style.SetTextColor(clBlue);
  style.EndUpdate();
  EXPECT_EQ(changes, 1);
  style.EndUpdate();
  EXPECT_EQ(changes, 2);
  style.EndUpdate();  // unbalanced ends stay harmless
  EXPECT_EQ(changes, 2);
}

TEST_F(ContainerStyleTest, ControllerChainsResolveAndRefuseCycles) {
  auto* a = new TcxStyleController(form_);
  auto* b = new TcxStyleController(form_);
  auto* c = MakeContainer(10, 10, 120, 24);
  a->Style()->SetColor(clRed);
  a->StyleDisabled()->SetTextColor(clMaroon);
  b->Style()->SetStyleController(a);
  c->Style()->SetStyleController(b);
  EXPECT_EQ(c->Style()->Color(), clRed);  // through b to a
  EXPECT_EQ(c->StyleDisabled()->TextColor(), clMaroon);
  c->SetEnabled(false);
  Pump();
  EXPECT_EQ(c->StyleForCurrentState(), c->StyleDisabled());
  EXPECT_EQ(c->StyleForCurrentState()->TextColor(), clMaroon);

  a->Style()->SetStyleController(b);  // b already leads to a: refused
  EXPECT_EQ(a->Style()->StyleController(), nullptr);
  EXPECT_EQ(a->Style()->ActiveStyleController(), GlobalStyleController);

  c->Style()->SetStyleController(nullptr);
  EXPECT_EQ(c->Style()->StyleController(), nullptr);
  EXPECT_EQ(c->Style()->ActiveStyleController(), GlobalStyleController);
  c->Style()->SetStyleController(b);

  a->Free();  // b's style returns to the global controller, and c's values with it
  EXPECT_EQ(b->Style()->ActiveStyleController(), GlobalStyleController);
  EXPECT_NE(c->Style()->Color(), clRed);
  b->Free();
  EXPECT_EQ(c->Style()->ActiveStyleController(), GlobalStyleController);
}

TEST_F(ContainerStyleTest, ControllerStyleChangeReachesRegisteredContainers) {
  auto* a = new TcxStyleController(form_);
  auto* c1 = MakeContainer(10, 10, 120, 24);
  auto* c2 = MakeContainer(10, 40, 120, 24);
  c1->Style()->SetStyleController(a);
  c2->Style()->SetStyleController(a);
  c2->Style()->SetColor(clYellow);  // its own value wins
  a->Style()->SetColor(clAqua);
  Pump();
  EXPECT_EQ(c1->Color(), clAqua);
  EXPECT_EQ(c2->Color(), clYellow);
  EXPECT_EQ(PixelAt(c1, 10, 10), ColorToRGB(clAqua));
}

TEST_F(ContainerStyleTest, ControlColourAndFontFlowIntoTheBaseStyle) {
  auto* c = MakeContainer(10, 10, 120, 24);
  c->SetColor(clLime);
  EXPECT_EQ(c->Style()->Color(), clLime);
  EXPECT_TRUE(c->Style()->StoredAssignedValues().Contains(svColor));
  auto f = std::make_unique<TFont>();
  f->SetSize(15);
  c->SetFont(f.get());
  EXPECT_EQ(c->Style()->Font()->Size(), 15);
  EXPECT_FALSE(c->Style()->StoredAssignedValues().Contains(svFont));
}

TEST_F(ContainerStyleTest, DetachedStyleIsAPlainValueHolder) {
  TFont font;
  font.SetStyle({fsBold});
  TcxContainerStyle style(nullptr, true);
  int changes = 0;
  style.OnChanged = [&](TObject*) { ++changes; };
  style.SetFont(&font);
  style.SetColor(clNavy);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(style.Font(), &font);
  EXPECT_EQ(style.Color(), clNavy);
  EXPECT_EQ(style.BorderColor(), clDefault);
  EXPECT_TRUE(style.TextStyle() == TFontStyles{fsBold});
  EXPECT_EQ(style.AssignedValues().Count(), 10u);
}

TEST_F(ContainerStyleTest, StyleValueNamesAndStateSpecificProperties) {
  auto* c = MakeContainer(10, 10, 120, 24);
  Integer index = -1;
  EXPECT_TRUE(c->Style()->FindStyleValue("textcolor", index));
  EXPECT_EQ(index, svTextColor);
  EXPECT_FALSE(c->Style()->FindStyleValue("Nothing", index));
  struct Case {
    const char* name;
    bool stateSpecific;
  } cases[] = {{"Color", true}, {"Font", false}, {"Shadow", false}, {"LookAndFeel", false},
               {"StyleController", false}, {"Unknown", true}};
  for (const Case& k : cases) EXPECT_EQ(c->Style()->IsStateSpecificProperty(k.name), k.stateSpecific) << k.name;
  c->StyleFocused()->SetColor(clRed);
  c->StyleFocused()->SetEdges({bLeft});  // goes to the base style
  EXPECT_TRUE(c->StyleFocused()->IsValueStored(svColor));
  EXPECT_TRUE(c->Style()->IsValueStored(svEdges));
  EXPECT_FALSE(c->StyleFocused()->IsValueStored(svEdges));
}

}  // namespace
