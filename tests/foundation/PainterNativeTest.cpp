// The native-style painter against the scripted theme engine: parts and states it draws,
// metrics and colours it takes from the theme, and the standard look it falls back to when a
// theme class is not available.
#include "foundation/dxThemeConsts.h"
#include "tests/foundation/PainterTestUtil.h"

using namespace paintertest;

namespace {

String Bg(const char* cls, int part, int state) {
  return String("Background ") + cls + " " + std::to_string(part) + " " + std::to_string(state);
}

}  // namespace

TEST_F(ThemedPainterTest, ButtonsUseThePushButtonStateTable) {
  const struct {
    TcxButtonState state;
    int id;
  } cases[] = {{cxbsDefault, 5}, {cxbsNormal, 1}, {cxbsHot, 2}, {cxbsPressed, 3}, {cxbsDisabled, 4}};
  for (const auto& c : cases) {
    engine.Log.clear();
    TPaintTarget t(60, 24);
    // Frame, colour and text colour arguments are not used by themed buttons.
    Native()->PaintButton(t.canvas.get(), TRect(0, 0, 60, 24), "OK", c.state, false, clRed, clRed);
    EXPECT_EQ(LogOf("Background"), std::vector<String>{Bg("BUTTON", 1, c.id)}) << c.state;
    EXPECT_EQ(LogOf("Text"), std::vector<String>{"Text BUTTON 1 " + std::to_string(c.id) + " OK"}) << c.state;
    EXPECT_EQ(t.Px(0, 0), PartColor("Button", 1, c.id)) << c.state;
  }
}

TEST_F(ThemedPainterTest, PartsAndStatesOfTheOtherElements) {
  TPaintTarget t(40, 40);
  TcxCanvas* c = t.canvas.get();
  const TRect r(0, 0, 20, 20);
  const struct {
    const char* what;
    std::function<void()> paint;
    String expected;
  } cases[] = {
      {"checked hot check box", [&] { Native()->PaintCheckBox(c, r, cxbsHot, true); }, Bg("BUTTON", 3, 6)},
      {"unchecked disabled check mark", [&] { Native()->PaintCheckMark(c, r, cxbsDisabled, false, clRed); },
       Bg("BUTTON", 3, 4)},
      {"checked pressed radio", [&] { Native()->PaintRadioButton(c, 0, 0, cxbsPressed, true, false, clDefault); },
       Bg("BUTTON", 2, 7)},
      {"expanded tree button", [&] { Native()->PaintExpandButton(c, r, true); }, Bg("TREEVIEW", 2, 2)},
      {"collapsed group button, hot", [&] { Native()->PaintGroupExpandButton(c, r, false, cxbsHot); },
       Bg("EXPLORERBAR", 7, 2)},
      {"expanded group button, disabled", [&] { Native()->PaintGroupExpandButton(c, r, true, cxbsDisabled); },
       Bg("EXPLORERBAR", 6, 1)},
      {"pressed close button", [&] { Native()->PaintFilterCloseButton(c, r, cxbsPressed); }, Bg("WINDOW", 19, 3)},
      {"hot drop-down button", [&] { Native()->PaintFilterDropDownButton(c, r, cxbsHot, true); },
       Bg("COMBOBOX", 1, 2)},
      {"normal navigator button", [&] { Native()->PaintNavigatorButton(c, r, cxbsNormal); }, Bg("TOOLBAR", 1, 2)},
      {"hot navigator button", [&] { Native()->PaintNavigatorButton(c, r, cxbsHot); }, Bg("TOOLBAR", 1, 5)},
      {"disabled header", [&] {
         Native()->PaintHeader(c, r, r, {}, cxBordersAll, cxbsDisabled, taLeftJustify, vaTop, false, false, "", nullptr,
                               clBlack, clBtnFace);
       }, Bg("HEADER", 1, 1)},
      {"hot arrow button left", [&] { Native()->PaintArrowButton(c, r, cxbsHot, adLeft, false); },
       Bg("SCROLLBAR", 1, 10)},
      {"disabled down arrow of a bar", [&] { Native()->PaintScrollBarPart(c, false, r, sbpLineDown, cxbsDisabled); },
       Bg("SCROLLBAR", 1, 8)},
      {"pressed page after the thumb, horizontal",
       [&] { Native()->PaintScrollBarPart(c, true, r, sbpPageDown, cxbsPressed); }, Bg("SCROLLBAR", 5, 3)},
      {"hot page before the thumb, vertical", [&] { Native()->PaintScrollBarPart(c, false, r, sbpPageUp, cxbsHot); },
       Bg("SCROLLBAR", 6, 2)},
      {"size grip", [&] { Native()->PaintSizeGrip(c, r, clNone); }, Bg("SCROLLBAR", 10, 1)},
      {"footer cell", [&] {
         Native()->PaintFooterCell(c, r, taLeftJustify, vaTop, false, "", nullptr, clBlack, clBtnFace);
       }, Bg("TRACKBAR", 1, 1)},
  };
  for (const auto& k : cases) {
    engine.Log.clear();
    k.paint();
    EXPECT_EQ(LogOf("Background"), std::vector<String>{k.expected}) << k.what;
  }
  // A disabled thumb is drawn (disabled), with its gripper.
  engine.Log.clear();
  Native()->PaintScrollBarPart(c, false, r, sbpThumb, cxbsDisabled);
  EXPECT_EQ(LogOf("Background"), (std::vector<String>{Bg("SCROLLBAR", 3, 4), Bg("SCROLLBAR", 9, 0)}));
}

TEST_F(ThemedPainterTest, ArrowButtonStateIds) {
  using P = TcxWinXPLookAndFeelPainter;
  EXPECT_EQ(P::ArrowButtonStateId(adUp, cxbsDefault), 1);
  EXPECT_EQ(P::ArrowButtonStateId(adUp, cxbsNormal), 1);
  EXPECT_EQ(P::ArrowButtonStateId(adDown, cxbsPressed), 7);
  EXPECT_EQ(P::ArrowButtonStateId(adLeft, cxbsHot), 10);
  EXPECT_EQ(P::ArrowButtonStateId(adRight, cxbsDisabled), 16);
}

TEST_F(ThemedPainterTest, LastHeaderUsesTheRightItemOnlyWhenNormalUnderTheFirstSchemes) {
  ASSERT_EQ(Office11SchemeIndex(), 1);
  const struct {
    TcxButtonState state;
    bool isLast;
    int part, stateId;
  } cases[] = {{cxbsNormal, true, 3, 1}, {cxbsDisabled, true, 3, 1}, {cxbsHot, true, 1, 2},
               {cxbsPressed, true, 1, 3}, {cxbsNormal, false, 1, 1}};
  for (const auto& c : cases) {
    engine.Log.clear();
    TPaintTarget t(40, 20);
    Native()->PaintHeader(t.canvas.get(), TRect(0, 0, 40, 20), TRect(2, 2, 38, 18), {}, cxBordersAll, c.state,
                          taLeftJustify, vaTop, false, false, "Name", nullptr, clBlack, clBtnFace, nullptr, c.isLast);
    EXPECT_EQ(LogOf("Background"), std::vector<String>{Bg("HEADER", c.part, c.stateId)}) << c.state << c.isLast;
  }
  // Under the third scheme the plain item is used.
  engine.ColorName = "Metallic";
  RebuildOffice11Colors();
  ASSERT_EQ(Office11SchemeIndex(), 3);
  engine.Log.clear();
  TPaintTarget t(40, 20);
  Native()->PaintHeader(t.canvas.get(), TRect(0, 0, 40, 20), TRect(2, 2, 38, 18), {}, cxBordersAll, cxbsNormal,
                        taLeftJustify, vaTop, false, false, "", nullptr, clBlack, clBtnFace, nullptr, true);
  EXPECT_EQ(LogOf("Background"), std::vector<String>{Bg("HEADER", 1, 1)});
}

TEST_F(ThemedPainterTest, PressedHeaderTextMovesByOnePixel) {
  TFont font;
  TPaintTarget normal(60, 20), pressed(60, 20);
  const TRect r(0, 0, 60, 20);
  Native()->PaintHeader(normal.canvas.get(), r, r, {}, cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false, false,
                        "Wx", &font, clBlack, clBtnFace);
  Native()->PaintHeader(pressed.canvas.get(), r, r, {}, cxBordersAll, cxbsPressed, taLeftJustify, vaTop, false, false,
                        "Wx", &font, clBlack, clBtnFace);
  TRect a = normal.InkBounds(PartColor("Header", 1, 1)), b = pressed.InkBounds(PartColor("Header", 1, 3));
  ASSERT_FALSE(a.IsEmpty());
  EXPECT_EQ(b, ShiftedRect(a, 1, 1));
}

TEST_F(ThemedPainterTest, MetricsAndColoursComeFromTheTheme) {
  engine.ContentMargins = TRect(3, 4, 5, 6);
  engine.SetPartSize("TreeView", 2, 2, TSize(9, 9));
  engine.SetPartSize("ExplorerBar", 7, 1, TSize(20, 18));
  engine.SetPartSize("Button", 2, 1, TSize(14, 15));
  engine.SetPartSize("Button", 3, 5, TSize(12, 11));
  engine.SetPartSize("Window", 19, 1, TSize(10, 9));
  engine.SetColor("ComboBox", 1, 1, TMT_BORDERCOLOR, 0x123456);
  engine.SetColor("Button", 1, 2, 204, 0x00AA00);
  engine.SetColor("Button", 1, 4, TMT_TEXTCOLOR, 0x0000AA);
  const TcxWinXPLookAndFeelPainter* p = TcxWinXPLookAndFeelPainter::Class();
  EXPECT_EQ(p->ButtonFrameWidth(cxbsNormal), 3);
  EXPECT_EQ(p->HeaderFrameWidth(), (3 + 4) / 2);
  EXPECT_EQ(p->HeaderSectionFrameWidth(cxbsPressed), 3);
  EXPECT_EQ(p->FooterCellFrameWidth(), 3);
  EXPECT_EQ(p->ControlBorderWidth(), 1);
  EXPECT_EQ(p->CheckFrameWidth(), 0);
  EXPECT_EQ(p->ButtonGroupFrameWidths(3, 1), TRect(3, 4, 5, 6));
  EXPECT_EQ(p->ButtonFocusBounds(nullptr, TRect(0, 0, 50, 30)), TRect(3, 4, 45, 24));
  EXPECT_EQ(p->ExpandButtonExtent(), 9);
  EXPECT_EQ(p->SmallExpandButtonExtent(), 9);
  EXPECT_EQ(p->GroupExpandButtonExtent(), 20);
  EXPECT_EQ(p->RadioButtonExtent(), TSize(14, 15));
  EXPECT_EQ(p->CheckBoxExtent(), TSize(12, 11));
  EXPECT_EQ(p->FilterActivateButtonExtent(), TPoint(12, 11));
  EXPECT_EQ(p->FilterCloseButtonExtent(), TPoint(14, 13));
  EXPECT_EQ(p->TabItemGrowth(), 1);
  EXPECT_EQ(p->TabRowGrowth(), 1);
  EXPECT_EQ(p->BorderColor(), 0x123456);
  EXPECT_EQ(p->ButtonFaceColor(cxbsHot), 0x00AA00);
  EXPECT_EQ(p->ButtonFaceColor(cxbsNormal), clBtnFace);  // the theme has no colour for it
  EXPECT_EQ(p->ButtonGlyphColor(cxbsDisabled), 0x0000AA);
  EXPECT_EQ(p->ButtonGlyphColor(cxbsNormal, clRed), clRed);
  EXPECT_EQ(p->PainterStyle(), lfsNative);
  // A partially transparent button: grouped frames are one narrower, grouped rectangles wider.
  engine.PartiallyTransparent = true;
  EXPECT_EQ(p->ButtonGroupFrameWidths(3, 1), TRect(2, 3, 4, 5));
  EXPECT_EQ(p->AdjustGroupedButtonRect(TRect(10, 10, 20, 20), 3, 1), TRect(9, 9, 21, 21));
}

TEST_F(ThemedPainterTest, SelectedTabReachesThePaneAndOthersLeaveTheirBottomRow) {
  const TRect r(10, 10, 50, 30);
  TPaintTarget selected(60, 40), other(60, 40);
  Native()->PaintTab(selected.canvas.get(), r, cxBordersAll, "", cxbsPressed, false, nullptr, clBlack, clBtnFace);
  Native()->PaintTab(other.canvas.get(), r, cxBordersAll, "", cxbsNormal, false, nullptr, clBlack, clBtnFace);
  EXPECT_EQ(selected.InkBounds(kWhite), r);
  EXPECT_EQ(other.InkBounds(kWhite), TRect(10, 10, 50, 29));
  EXPECT_EQ(selected.Px(10, 29), PartColor("Tab", 1, 3));
  // A vertical tab is drawn turned: the same part fills the whole rectangle.
  TPaintTarget vertical(60, 60);
  Native()->PaintTab(vertical.canvas.get(), TRect(10, 10, 30, 50), cxBordersAll, "", cxbsPressed, true, nullptr,
                     clBlack, clBtnFace);
  EXPECT_EQ(vertical.InkBounds(kWhite), TRect(10, 10, 30, 50));
  EXPECT_EQ(vertical.Px(20, 30), PartColor("Tab", 1, 3));
}

TEST_F(ThemedPainterTest, TabPaneIsDrawnTallerAndClippedToItsRectangle) {
  TPaintTarget t(60, 60);
  engine.Log.clear();
  Native()->PaintTabPane(t.canvas.get(), TRect(10, 10, 50, 40), cxBordersAll, false);
  EXPECT_EQ(LogOf("Background"), std::vector<String>{Bg("TAB", 9, 0)});
  EXPECT_EQ(t.InkBounds(kWhite), TRect(10, 10, 50, 40));
}

TEST_F(ThemedPainterTest, ControlBorderShowsOnlyTheOuterRing) {
  TPaintTarget t(30, 30);
  Native()->PaintControlBorder(t.canvas.get(), TRect(0, 0, 30, 30));
  EXPECT_EQ(t.Px(0, 0), PartColor("ListView", 5, 0));
  EXPECT_EQ(t.Px(29, 15), PartColor("ListView", 5, 0));
  EXPECT_EQ(t.Px(1, 1), kWhite);
  // The clip is restored afterwards.
  t.canvas->FillRectColor(TRect(0, 0, 30, 30), clRed);
  EXPECT_EQ(t.Px(15, 15), Rgb(clRed));
}

TEST_F(ThemedPainterTest, Office11BorrowsThemedScrollBarsAndNavigatorButtons) {
  TPaintTarget t(20, 20);
  Office11()->PaintScrollBarPart(t.canvas.get(), false, TRect(0, 0, 20, 20), sbpThumb, cxbsHot);
  Office11()->PaintNavigatorButton(t.canvas.get(), TRect(0, 0, 20, 20), cxbsPressed);
  EXPECT_EQ(LogOf("Background"),
            (std::vector<String>{Bg("SCROLLBAR", 3, 2), Bg("SCROLLBAR", 9, 0), Bg("TOOLBAR", 1, 3)}));
}

TEST_F(ThemedPainterTest, MissingThemeClassesFallBackToTheStandardLook) {
  engine.FailingClasses = {"BUTTON", "TREEVIEW", "HEADER", "SCROLLBAR", "LISTVIEW", "TOOLBAR"};
  const TcxCustomLookAndFeelPainter* p = Native();
  // Buttons: the standard frame with a 2-pixel frame for every state.
  TPaintTarget button(75, 23), standard(75, 23);
  p->PaintButton(button.canvas.get(), TRect(0, 0, 75, 23), "", cxbsNormal);
  Standard()->PaintButton(standard.canvas.get(), TRect(0, 0, 75, 23), "", cxbsNormal);
  for (int x = 0; x < 75; ++x) ASSERT_EQ(button.Px(x, 11), standard.Px(x, 11)) << x;
  EXPECT_EQ(p->ButtonFrameWidth(cxbsDefault), 2);
  EXPECT_EQ(p->ControlBorderWidth(), 2);
  EXPECT_EQ(p->CheckFrameWidth(), 2);
  EXPECT_EQ(p->ExpandButtonExtent(), 12);
  EXPECT_EQ(p->SmallExpandButtonExtent(), 9);
  EXPECT_EQ(p->PainterStyle(), lfsNative);
  EXPECT_EQ(p->ButtonGroupFrameWidths(3, 1), TRect(2, 2, 2, 2));
  // Scroll bars: the standard recipe.
  TPaintTarget bar(16, 16), standardBar(16, 16);
  p->PaintScrollBarPart(bar.canvas.get(), false, TRect(0, 0, 16, 16), sbpPageUp, cxbsPressed);
  Standard()->PaintScrollBarPart(standardBar.canvas.get(), false, TRect(0, 0, 16, 16), sbpPageUp, cxbsPressed);
  EXPECT_EQ(bar.Px(0, 0), standardBar.Px(0, 0));
  EXPECT_EQ(bar.Px(0, 1), standardBar.Px(0, 1));
  // Themed classes still available are used next to the fallbacks.
  engine.Log.clear();
  TPaintTarget combo(16, 16);
  p->PaintFilterDropDownButton(combo.canvas.get(), TRect(0, 0, 16, 16), cxbsNormal, false);
  EXPECT_EQ(LogOf("Background"), std::vector<String>{Bg("COMBOBOX", 1, 1)});
  // Radio buttons without the button theme keep showing the shared images.
  TPaintTarget radio(20, 20);
  p->PaintRadioButton(radio.canvas.get(), 0, 0, cxbsNormal, true, false, clDefault);
  EXPECT_FALSE(radio.InkBounds(kWhite).IsEmpty());
  EXPECT_EQ(p->RadioButtonExtent(), SharedRadioButtonImages()->ImageSize());
}

TEST_F(ThemedPainterTest, SmallExpandButtonFallbackKeepsFrameAndFillColoursApart) {
  engine.FailingClasses = {"TREEVIEW"};
  TPaintTarget t(11, 11);
  Native()->PaintSmallExpandButton(t.canvas.get(), TRect(0, 0, 11, 11), false, clRed, clYellow);
  EXPECT_EQ(t.Px(0, 0), Rgb(clRed));
  EXPECT_EQ(t.Px(10, 5), Rgb(clRed));
  EXPECT_EQ(t.Px(1, 1), Rgb(clYellow));
  EXPECT_EQ(t.Px(5, 3), Rgb(clBtnText));
  // With no fill colour the inside stays as it was.
  TPaintTarget open(11, 11);
  Native()->PaintSmallExpandButton(open.canvas.get(), TRect(0, 0, 11, 11), true, clRed, clDefault);
  EXPECT_EQ(open.Px(1, 1), kWhite);
}

TEST_F(PainterTest, NativePainterWithoutThemeEngineDrawsTheStandardLook) {
  for (TcxButtonState s : {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled}) {
    TPaintTarget native(30, 20), standard(30, 20);
    Native()->PaintHeader(native.canvas.get(), TRect(0, 0, 30, 20), TRect(0, 0, 30, 20), {}, cxBordersAll, s,
                          taLeftJustify, vaTop, false, false, "", nullptr, clBlack, clBtnFace);
    Standard()->PaintHeader(standard.canvas.get(), TRect(0, 0, 30, 20), TRect(0, 0, 30, 20), {}, cxBordersAll, s,
                            taLeftJustify, vaTop, false, false, "", nullptr, clBlack, clBtnFace);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 30; ++x) ASSERT_EQ(native.Px(x, y), standard.Px(x, y)) << x << "," << y << " state " << s;
  }
}
