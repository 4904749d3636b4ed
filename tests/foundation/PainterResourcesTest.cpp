// The painter unit's shared resources: the skin registry, the scroll-bar patterns and the
// pre-rendered radio-button images.
#include "tests/foundation/PainterTestUtil.h"

using namespace paintertest;

namespace {

// The first pixel of the radio pattern with the given code.
TPoint PixelWithCode(Byte code) {
  const std::vector<Byte>& pattern = TcxRadioButtonImageList::Pattern();
  TSize size = SharedRadioButtonImages()->ImageSize();
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      if (pattern[size_t(y) * size_t(size.cx) + size_t(x)] == code) return TPoint(x, y);
  return TPoint(-1, -1);
}

}  // namespace

TEST_F(PainterTest, SkinRegistryFindsNamesIgnoringCase) {
  TcxExtendedStylePainters* skins = ExtendedStylePainters();
  ASSERT_NE(skins, nullptr);
  TcxCustomLookAndFeelPainterClass found = Standard();
  EXPECT_EQ(skins->Count(), 0);
  EXPECT_FALSE(skins->PainterByName("Lilian", found));
  EXPECT_EQ(found, Standard());  // untouched
  skins->Register("Lilian", Office11());
  skins->Register("Caramel", Flat());
  TcxExtendedStylePainterEntry* entry = nullptr;
  EXPECT_EQ(skins->IndexOfName("CARAMEL", entry), 1);
  EXPECT_EQ(entry->Painter(), Flat());
  EXPECT_TRUE(skins->PainterByName("lilian", found));
  EXPECT_EQ(found, Office11());
  EXPECT_EQ(skins->IndexOfName("Missing", entry), -1);
  EXPECT_EQ(entry, skins->ItemAt(1));  // the last entry examined
  skins->Clear();
}

TEST_F(PainterTest, ScrollBarPatternsFollowTheSystemColours) {
  TBitmap* normal = cxScrollBarNormalPattern();
  TBitmap* pressed = cxScrollBarPressedPattern();
  ASSERT_NE(normal, nullptr);
  ASSERT_NE(pressed, nullptr);
  EXPECT_EQ(normal->Width(), 8);
  EXPECT_EQ(normal->Height(), 8);
  auto px = [](TBitmap* b, int x, int y) { return b->Canvas()->Pixels(x, y) & 0xFFFFFF; };
  EXPECT_EQ(px(normal, 0, 0), Rgb(clBtnFace));
  EXPECT_EQ(px(normal, 1, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(px(normal, 7, 7), Rgb(clBtnFace));
  EXPECT_EQ(px(pressed, 0, 0), 0u);
  EXPECT_EQ(px(pressed, 0, 1), Rgb(cl3DDkShadow));
  const int indexes[] = {COLOR_BTNFACE, COLOR_BTNHIGHLIGHT};
  const COLORREF colors[] = {0x336699, 0xEEDDCC};
  SetSysColors(2, indexes, colors);
  RefreshScrollBarPatterns();
  EXPECT_EQ(cxScrollBarNormalPattern(), normal);  // repainted, not recreated
  EXPECT_EQ(px(normal, 0, 0), 0x336699u);
  EXPECT_EQ(px(normal, 1, 0), 0xEEDDCCu);
  TPaintTarget page(8, 8);
  Standard()->PaintScrollBarPart(page.canvas.get(), false, TRect(0, 0, 8, 8), sbpPageDown, cxbsNormal);
  EXPECT_EQ(page.Px(2, 2), 0x336699u);
  ResetSysColors();
  RefreshScrollBarPatterns();
}

TEST_F(PainterTest, RadioImagesCoverEveryVariant) {
  TcxRadioButtonImageList* list = SharedRadioButtonImages();
  TSize size = list->ImageSize();
  EXPECT_EQ(list->Images()->Count(), 128);
  EXPECT_EQ(list->Images()->Width(), size.cx);
  EXPECT_EQ(list->Images()->Height(), size.cy);
  EXPECT_GT(size.cx, 8);
  EXPECT_EQ(Standard()->RadioButtonExtent(), size);
  EXPECT_EQ(list->ImageIndexOf(lfFlat, cxbsNormal, false, false, false), 0);
  EXPECT_EQ(list->ImageIndexOf(lfOffice11, cxbsDisabled, true, true, true), 127);
  EXPECT_EQ(list->ImageIndexOf(lfUltraFlat, cxbsPressed, false, true, true), 2 + 4 + 16 + 64);
  // The pattern holds an outline, an inner ring, a body and a dot.
  for (Byte code = 1; code <= 6; ++code) EXPECT_NE(PixelWithCode(code), TPoint(-1, -1)) << int(code);
  EXPECT_FALSE(TcxRadioButtonImageList::DotRect().IsEmpty());
}

TEST_F(PainterTest, DefaultButtonStateDrawsTheNormalRadioImage) {
  TcxRadioButtonImageList* list = SharedRadioButtonImages();
  for (int kind = lfFlat; kind <= lfOffice11; ++kind)
    for (bool checked : {false, true}) {
      Integer normal = list->ImageIndexOf(TcxLookAndFeelKind(kind), cxbsNormal, false, false, checked);
      EXPECT_EQ(list->ImageIndexOf(TcxLookAndFeelKind(kind), cxbsDefault, false, false, checked), normal);
      TPaintTarget a(20, 20), b(20, 20);
      list->DrawImage(a.canvas.get(), 2, 2, clDefault, TcxLookAndFeelKind(kind), cxbsDefault, checked, false, false);
      list->DrawImage(b.canvas.get(), 2, 2, clDefault, TcxLookAndFeelKind(kind), cxbsNormal, checked, false, false);
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(a.Px(x, y), b.Px(x, y)) << kind << checked;
    }
}

TEST_F(PainterTest, RadioImageColoursByLookAndState) {
  const struct {
    const char* what;
    TcxLookAndFeelKind kind;
    TcxButtonState state;
    bool checked, focused, designing;
    TColor outline, body, dot;
  } cases[] = {
      {"ultra flat hot", lfUltraFlat, cxbsHot, false, false, false, clHighlight, HotTrackBlendColor(),
       HotTrackBlendColor()},
      {"ultra flat focused", lfUltraFlat, cxbsNormal, true, true, false, clHighlight, clWindow, clWindowText},
      {"ultra flat designing, disabled", lfUltraFlat, cxbsDisabled, false, false, true, clBtnShadow, clBtnFace,
       clBtnFace},
      {"standard disabled checked", lfStandard, cxbsDisabled, true, false, false, clBtnShadow, clBtnFace, clBtnShadow},
      {"standard pressed", lfStandard, cxbsPressed, true, false, false, clBtnShadow, clBtnFace, clWindowText},
      {"flat normal", lfFlat, cxbsNormal, false, false, false, clBtnShadow, clWindow, clWindow},
      {"office normal", lfOffice11, cxbsNormal, true, false, false, clBtnText, clWindow, clWindowText},
      {"office hot", lfOffice11, cxbsHot, false, false, false, Office11HighlightFrameColor, Office11HotFaceColor,
       Office11HotFaceColor},
      {"office disabled checked", lfOffice11, cxbsDisabled, true, false, false, Office11DisabledGlyphColor, clBtnFace,
       Office11DisabledGlyphColor},
  };
  TPoint outline = PixelWithCode(1), body = PixelWithCode(5), dot = PixelWithCode(6);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TColor map[7];
    TcxRadioButtonImageList::BuildColorMap(c.kind, c.state, c.checked, c.focused, c.designing, map);
    EXPECT_EQ(map[1], c.outline);
    EXPECT_EQ(map[5], c.body);
    EXPECT_EQ(map[6], c.dot);
    TPaintTarget t(20, 20);
    SharedRadioButtonImages()->DrawImage(t.canvas.get(), 0, 0, clDefault, c.kind, c.state, c.checked, c.focused,
                                         c.designing);
    EXPECT_EQ(t.Px(outline.X, outline.Y), Rgb(c.outline));
    EXPECT_EQ(t.Px(body.X, body.Y), Rgb(c.body));
    EXPECT_EQ(t.Px(dot.X, dot.Y), Rgb(c.dot));
  }
  // The standard look's rings: shadow and highlight outside, dark shadow and light inside.
  TColor map[7];
  TcxRadioButtonImageList::BuildColorMap(lfStandard, cxbsNormal, false, false, false, map);
  EXPECT_EQ(map[2], clBtnHighlight);
  EXPECT_EQ(map[3], cl3DDkShadow);
  EXPECT_EQ(map[4], cl3DLight);
}

TEST_F(PainterTest, RadioImageBackgroundOutsideTheCircle) {
  TSize size = SharedRadioButtonImages()->ImageSize();
  ASSERT_EQ(TcxRadioButtonImageList::Pattern()[0], 0);  // the corner lies outside the circle
  TPaintTarget plain(20, 20, clYellow), onColor(20, 20, clYellow);
  Standard()->PaintRadioButton(plain.canvas.get(), 3, 4, cxbsNormal, true, false, clDefault);
  Standard()->PaintRadioButton(onColor.canvas.get(), 3, 4, cxbsNormal, true, false, clAqua);
  EXPECT_EQ(plain.Px(3, 4), Rgb(clYellow));
  EXPECT_EQ(onColor.Px(3, 4), Rgb(clAqua));
  EXPECT_TRUE(plain.UntouchedOutside(Bounds(3, 4, size.cx, size.cy), Rgb(clYellow)));
  EXPECT_TRUE(onColor.UntouchedOutside(Bounds(3, 4, size.cx, size.cy), Rgb(clYellow)));
  TPoint body = PixelWithCode(5);
  EXPECT_EQ(plain.Px(3 + body.X, 4 + body.Y), Rgb(clWindow));
  EXPECT_EQ(onColor.Px(3 + body.X, 4 + body.Y), Rgb(clWindow));
}

TEST_F(PainterTest, RadioImagesFollowASystemColourChange) {
  TcxRadioButtonImageList* list = SharedRadioButtonImages();
  TPoint body = PixelWithCode(5);
  const int index = COLOR_WINDOW;
  const COLORREF color = 0x204060;
  SetSysColors(1, &index, &color);
  ASSERT_NE(PaletteListener(), nullptr);
  PaletteListener()->BroadcastChange();
  EXPECT_EQ(SharedRadioButtonImages(), list);
  TPaintTarget t(20, 20);
  Flat()->PaintRadioButton(t.canvas.get(), 0, 0, cxbsNormal, false, false, clDefault);
  EXPECT_EQ(t.Px(body.X, body.Y), color);
  EXPECT_EQ(list->Images()->Count(), 128);
  ResetSysColors();
  PaletteListener()->BroadcastChange();
}
