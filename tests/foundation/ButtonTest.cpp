// The push button: state colours, glyph images and their cache, property rules, drop-down
// kinds, default and cancel keys, hot tracking, and a sheet of buttons in every state.
#include "tests/foundation/ContainerTestSupport.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

using namespace containertest;

namespace {

// A glyph strip of n images of 16 x 16, image i filled with colours[i] on an olive ground.
std::unique_ptr<TBitmap> MakeStrip(Integer n, const std::vector<TColor>& colours, Integer w = 16, Integer h = 16) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(w * n, h);
  b->Canvas()->Brush()->SetColor(clOlive);
  b->Canvas()->FillRect(TRect(0, 0, w * n, h));
  for (Integer i = 0; i < n && i < Integer(colours.size()); ++i) {
    b->Canvas()->Brush()->SetColor(colours[size_t(i)]);
    b->Canvas()->FillRect(TRect(i * w + 3, 3, i * w + w - 3, h - 3));
  }
  return b;
}

// A button whose hot and pressed looks can be set for the sheet.
class TSheetButton : public TcxButton {
 public:
  using TcxButton::TcxButton;
  void ForceHot() { mouseInControl_ = true; }
  void ForcePressed() { pressed_ = true; }
};

class ButtonTest : public ContainerFixture {
 protected:
  TcxButton* MakeButton(Integer x, Integer y, Integer w = 90, Integer h = 26) {
    auto* b = new TcxButton(form_);
    b->SetBounds(x, y, w, h);
    b->SetParent(form_);
    b->SetCaption("Button");
    return b;
  }
};

TEST_F(ButtonTest, UnassignedColoursFollowNormalOrDefault) {
  struct Case {
    TcxButtonState assigned;
    TColor expected[5];  // default, normal, hot, pressed, disabled
  } cases[] = {
      {cxbsNormal, {clRed, clRed, clRed, clRed, clRed}},
      {cxbsDefault, {clRed, clRed, clDefault, clDefault, clDefault}},
      {cxbsHot, {clDefault, clDefault, clRed, clDefault, clDefault}},
  };
  for (const Case& k : cases) {
    auto* b = MakeButton(10, 10);
    b->Colors()->SetColor(k.assigned, clRed);
    for (int s = 0; s < 5; ++s) EXPECT_EQ(b->Colors()->ColorOf(TcxButtonState(s)), k.expected[s]) << k.assigned << s;
    b->Colors()->SetColor(k.assigned, clNone);  // back to the painter's colour
    EXPECT_TRUE(b->Colors()->AssignedColors().Empty());
    b->Colors()->SetAssignedColors({cxbsHot});  // ignored at run time
    EXPECT_TRUE(b->Colors()->AssignedColors().Empty());
    b->Free();
  }
}

TEST_F(ButtonTest, GlyphImageCountComesFromTheStripShape) {
  struct Case {
    Integer w, h, before, after;
  } cases[] = {{64, 16, 1, 4}, {80, 16, 1, 1}, {50, 16, 2, 2}, {32, 16, 3, 2}};
  for (const Case& k : cases) {
    TcxButtonGlyph g;
    g.ChangeNumGlyphs(k.before);
    TBitmap b;
    b.SetSize(k.w, k.h);
    g.AssignGlyph(&b);
    EXPECT_EQ(g.NumGlyphs(), k.after) << k.w << "x" << k.h;
  }
}

TEST_F(ButtonTest, StatesPickTheirImagesFromTheStrip) {
  struct Case {
    Integer numGlyphs;
    TcxButtonState state;
    TColor shown;  // colour at the image's centre; clGray: the generated disabled image
  } cases[] = {{2, cxbsPressed, clRed},   {2, cxbsDisabled, clBlue}, {3, cxbsPressed, clLime},
               {4, cxbsHot, clRed},       {1, cxbsPressed, clRed},   {1, cxbsDisabled, clGray}};
  for (const Case& k : cases) {
    TcxButtonGlyph g;
    auto strip = MakeStrip(k.numGlyphs, {clRed, clBlue, clLime, clYellow});
    g.AssignGlyph(strip.get());
    ASSERT_EQ(g.NumGlyphs(), k.numGlyphs);
    Integer index = g.StateImageIndex(k.state);
    ASSERT_GE(index, 0);
    TBitmap out;
    out.SetSize(16, 16);
    out.Canvas()->Brush()->SetColor(clWhite);
    out.Canvas()->FillRect(TRect(0, 0, 16, 16));
    g.GlyphList()->Draw(out.Canvas(), 0, 0, index, true);
    TColor centre = out.Canvas()->Pixels(8, 8);
    if (k.shown == clGray) { EXPECT_NE(ColorToRGB(centre), ColorToRGB(clRed)) << k.numGlyphs << k.state; }
    else EXPECT_EQ(ColorToRGB(centre), ColorToRGB(k.shown)) << k.numGlyphs << k.state;
    EXPECT_EQ(ColorToRGB(out.Canvas()->Pixels(0, 0)), ColorToRGB(clWhite)) << "the olive ground is transparent";
  }
}

TEST_F(ButtonTest, GlyphCacheSharesListsBySizeAndFreesThemWhenUnused) {
  auto g1 = std::make_unique<TcxButtonGlyph>();
  auto g2 = std::make_unique<TcxButtonGlyph>();
  auto g3 = std::make_unique<TcxButtonGlyph>();
  auto a = MakeStrip(1, {clRed});
  auto big = MakeStrip(1, {clRed}, 24, 24);
  g1->AssignGlyph(a.get());
  g2->AssignGlyph(a.get());
  g3->AssignGlyph(big.get());
  g1->StateImageIndex(cxbsNormal);
  g2->StateImageIndex(cxbsNormal);
  g3->StateImageIndex(cxbsNormal);
  ASSERT_TRUE(GlyphCache);
  EXPECT_EQ(GlyphCache->ListCount(), 2);
  EXPECT_EQ(g1->GlyphList(), g2->GlyphList());
  TcxGlyphList* shared = g1->GlyphList();
  Integer freedSlot = g1->ImageIndexOfKind(0);
  g1->AssignGlyph(nullptr);  // releases its image; the slot is reused next
  auto g4 = std::make_unique<TcxButtonGlyph>();
  g4->AssignGlyph(a.get());
  EXPECT_EQ(g4->StateImageIndex(cxbsNormal), freedSlot);
  EXPECT_EQ(g4->GlyphList(), shared);
  g3.reset();
  EXPECT_EQ(GlyphCache->ListCount(), 1);
  g1.reset();
  g2.reset();
  g4.reset();
  EXPECT_EQ(GlyphCache, nullptr);
}

TEST_F(ButtonTest, PropertyRules) {
  auto* b = MakeButton(10, 10);
  b->SetMargin(-2);
  EXPECT_EQ(b->Margin(), -1);
  b->SetMargin(5);
  EXPECT_EQ(b->Margin(), 5);
  b->SetNumGlyphs(7);
  EXPECT_EQ(b->NumGlyphs(), 4);
  TSize s = b->PreferredSize();
  TcxScreenCanvas* c = LazyScreenCanvas();
  c->ApplyFont(b->Font());
  EXPECT_EQ(s.cx, c->MeasureTextWidth("Button") + 3 * c->MeasureTextWidth("R"));
}

TEST_F(ButtonTest, GlyphAndCaptionLayOutInEveryPosition) {
  TcxButtonGlyph g;
  auto strip = MakeStrip(1, {clRed});
  g.AssignGlyph(strip.get());
  TBitmap canvasHolder;
  canvasHolder.SetSize(10, 10);
  TCanvas* c = canvasHolder.Canvas();
  TRect tr(0, 0, 200, 0);
  c->DrawText("Caption", tr, DT_CALCRECT);
  Integer tw = tr.Width(), th = tr.Height();
  TRect client(10, 20, 130, 80);  // 120 x 60
  struct Case {
    TButtonLayout layout;
    Integer margin, spacing;
    TPoint glyph, text;
  } cases[] = {
      {blGlyphLeft, -1, 4, {10 + (120 - (16 + 4 + tw)) / 2, 20 + 22}, {10 + (120 - (16 + 4 + tw)) / 2 + 20, 20 + (60 - th - 1) / 2}},
      {blGlyphRight, 3, 4, {10 + 120 - 3 - 16, 20 + 22}, {10 + 120 - 3 - 16 - 4 - tw, 20 + (60 - th - 1) / 2}},
      {blGlyphTop, -1, -1, {10 + 52, 20 + (60 - (16 + th)) / 3}, {10 + (120 - tw) / 2, 20 + 2 * ((60 - (16 + th)) / 3) + 16}},
      {blGlyphBottom, 2, -1, {10 + 52, 20 + 60 - 2 - 16}, {10 + (120 - tw) / 2, 20 + 60 - 2 - 16 - ((60 - 18) - th) / 2 - th}},
  };
  for (const Case& k : cases) {
    TPoint glyphPos;
    TRect text;
    g.LayoutContent(c, client, 0, "Caption", k.layout, k.margin, k.spacing, 0, false, glyphPos, text);
    EXPECT_EQ(glyphPos, k.glyph) << k.layout;
    EXPECT_EQ(text.TopLeft(), k.text) << k.layout;
    g.LayoutContent(c, client, 1, "Caption", k.layout, k.margin, k.spacing, 0, false, glyphPos, text);
    EXPECT_EQ(glyphPos, TPoint(k.glyph.X + 1, k.glyph.Y + 1)) << "pressed shift";
  }
  // Right-to-left text swaps the left and right layouts.
  TPoint l, r;
  TRect t;
  g.LayoutContent(c, client, 0, "Caption", blGlyphLeft, 3, 4, DT_RIGHT, false, l, t);
  g.LayoutContent(c, client, 0, "Caption", blGlyphRight, 3, 4, 0, false, r, t);
  EXPECT_EQ(l, r);
}

TEST_F(ButtonTest, DefaultAndCancelAnswerEnterAndEsc) {
  auto* edit = new TEdit(form_);
  edit->SetBounds(10, 10, 100, 22);
  edit->SetParent(form_);
  auto* ok = MakeButton(10, 50);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  auto* cancel = MakeButton(110, 50);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  form_->Show();
  Pump();
  edit->SetFocus();
  Pump();
  EXPECT_EQ(ok->CurrentState(), cxbsDefault);
  EXPECT_EQ(cancel->CurrentState(), cxbsNormal);
  S().PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(form_->ModalResult(), mrOk);
  form_->SetModalResult(mrNone);
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(form_->ModalResult(), mrCancel);
}

TEST_F(ButtonTest, HotAndPressedFacesUseTheirColours) {
  auto* b = MakeButton(10, 10, 100, 30);
  b->Colors()->SetNormal(clAqua);
  b->Colors()->SetHot(clYellow);
  b->Colors()->SetPressed(clFuchsia);
  form_->Show();
  Pump();
  EXPECT_EQ(PixelAt(b, 6, 6), ColorToRGB(clAqua));
  S().MoveMouse(b->Handle(), POINT{50, 15});
  Pump();
  EXPECT_TRUE(b->MouseInControl());
  EXPECT_EQ(PixelAt(b, 6, 6), ColorToRGB(clYellow));
  S().MouseDown(b->Handle(), POINT{50, 15});
  Pump();
  EXPECT_EQ(b->CurrentState(), cxbsPressed);
  EXPECT_EQ(PixelAt(b, 6, 6), ColorToRGB(clFuchsia));
  S().MouseUp(b->Handle(), POINT{50, 15});
  MoveMouseAway();
  Advance(200);
  EXPECT_FALSE(b->MouseInControl());
}

TEST_F(ButtonTest, DropDownKindsOpenTheirMenuInsteadOfClicking) {
  auto* menu = new TPopupMenu(form_);
  auto* item = new TMenuItem(menu);
  item->SetCaption("Item");
  menu->Items()->Add(item);
  struct Case {
    TcxButtonKind kind;
    POINT at;
    bool opens, clicks;
  } cases[] = {{cxbkStandard, {40, 12}, false, true},
               {cxbkDropDown, {40, 12}, true, false},
               {cxbkDropDownButton, {40, 12}, false, true},
               {cxbkDropDownButton, {112, 12}, true, false}};
  for (const Case& k : cases) {
    auto* b = MakeButton(10, 10, 120, 26);
    b->SetKind(k.kind);
    b->SetDropDownMenu(menu);
    int clicks = 0, opened = 0;
    bool pressedWhileOpen = false;
    b->OnClick = [&](TObject*) { ++clicks; };
    menu->OnPopup = [&](TObject*) {
      ++opened;
      pressedWhileOpen = b->MenuVisible() && b->CurrentState() == cxbsPressed;
    };
    form_->Show();
    Pump();
    S().Backend().OnIdle([&] { menu->CloseMenu(); });
    S().Click(b->Handle(), k.at);
    Pump();
    EXPECT_EQ(opened, k.opens ? 1 : 0) << k.kind << " " << k.at.X;
    EXPECT_EQ(clicks, k.clicks ? 1 : 0) << k.kind << " " << k.at.X;
    if (k.opens) {
      EXPECT_TRUE(pressedWhileOpen);
    }
    EXPECT_FALSE(b->MenuVisible());
    b->Free();
    Pump();
  }
}

TEST_F(ButtonTest, KeyboardOpensTheDropDownMenu) {
  auto* menu = new TPopupMenu(form_);
  menu->Items()->Add(new TMenuItem(menu));
  struct Case {
    TcxButtonKind kind;
    int vk;
    bool shift, alt;
  } cases[] = {{cxbkDropDown, VK_SPACE, false, false}, {cxbkDropDownButton, VK_DOWN, true, false},
               {cxbkDropDownButton, VK_UP, false, true}};
  for (const Case& k : cases) {
    auto* b = MakeButton(10, 10, 120, 26);
    b->SetKind(k.kind);
    b->SetDropDownMenu(menu);
    int clicks = 0, opened = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    menu->OnPopup = [&](TObject*) { ++opened; };
    form_->Show();
    Pump();
    b->SetFocus();
    Pump();
    S().Backend().OnIdle([&] { menu->CloseMenu(); });
    S().PressKey(k.vk, k.shift, false, k.alt);
    Pump();
    EXPECT_EQ(opened, 1) << k.kind << " " << k.vk;
    EXPECT_EQ(clicks, 0) << k.kind << " " << k.vk;
    b->Free();
    Pump();
  }
}

TEST_F(ButtonTest, HandledDropDownEventOpensNothing) {
  auto* menu = new TPopupMenu(form_);
  menu->Items()->Add(new TMenuItem(menu));
  auto* b = MakeButton(10, 10, 120, 26);
  b->SetKind(cxbkDropDown);
  b->SetDropDownMenu(menu);
  int opened = 0;
  menu->OnPopup = [&](TObject*) { ++opened; };
  b->OnDropDownMenuPopup = [](TObject*, TPopupMenu*&, bool& handled) { handled = true; };
  form_->Show();
  Pump();
  S().Click(b->Handle(), POINT{40, 12});
  Pump();
  EXPECT_EQ(opened, 0);
  EXPECT_FALSE(b->MenuVisible());
}

TEST_F(ButtonTest, SheetOfButtonsInEveryState) {
  form_->SetBounds(0, 0, 760, 420);
  const TcxLookAndFeelKind kinds[] = {lfStandard, lfFlat, lfUltraFlat, lfOffice11};
  auto glyph = MakeStrip(1, {clRed});
  Integer y = 8;
  for (TcxLookAndFeelKind kind : kinds) {
    Integer x = 8;
    for (int state = 0; state < 9; ++state) {
      auto* b = new TSheetButton(form_);
      b->SetBounds(x, y, 76, 40);
      b->SetParent(form_);
      b->LookAndFeel()->SetKind(kind);
      b->SetCaption("OK");
      switch (state) {
        case 1: b->SetDefault(true); break;
        case 2: b->ForceHot(); break;
        case 3: b->ForcePressed(); break;
        case 4: b->SetEnabled(false); break;
        case 5: b->SetKind(cxbkDropDownButton); break;
        case 6: b->SetGlyph(glyph.get()); break;
        case 7: b->SetGlyph(glyph.get()); b->SetLayout(blGlyphTop); b->SetCaption("Top"); break;
        case 8: b->SetGlyph(glyph.get()); b->SetEnabled(false); break;
        default: break;
      }
      x += 82;
    }
    y += 48;
  }
  form_->Show();
  Pump();
  String path = S().Snapshot(form_->Handle(), "buttons.png", true);
  EXPECT_FALSE(path.empty());
}

}  // namespace
