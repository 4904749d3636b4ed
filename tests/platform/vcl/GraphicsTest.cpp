// Colours, fonts, pens and brushes, the canvas, and the picture classes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "VclTestSupport.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"

namespace {

TEST(GraphicsTest, ColourValuesAndNames) {
  struct Case {
    TColor Color;
    const char* Name;
    Integer Value;
  };
  const Case cases[] = {
      {clDefault, "clDefault", 0x20000000},   {clNone, "clNone", 0x1FFFFFFF},
      {clBtnFace, "clBtnFace", Integer(0xFF00000F)}, {clWindowText, "clWindowText", Integer(0xFF000008)},
      {clInfoBk, "clInfoBk", Integer(0xFF000018)},  {clRed, "clRed", 0x0000FF},
      {clNavy, "clNavy", 0x800000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.Color, c.Value) << c.Name;
    EXPECT_EQ(ColorToString(c.Color), c.Name);
    EXPECT_EQ(StringToColor(c.Name), c.Color);
  }
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(StringToColor("$00123456"), 0x123456);
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
  EXPECT_THROW(StringToColor("clPlaid"), EConvertError);
}

TEST(GraphicsTest, PatternBitmapAlternatesItsColoursAndIsShared) {
  HBITMAP bmp = AllocPatternBitmap(clBlack, clWhite);
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(AllocPatternBitmap(clBlack, clWhite), bmp);
  EXPECT_NE(AllocPatternBitmap(clRed, clWhite), bmp);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(GetPixel(dc, x, y), (x + y) % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0)) << x << "," << y;
  SelectObject(dc, old);
  DeleteDC(dc);
}

TEST(GraphicsTest, FontSizeAndHeightFollowEachOtherAndChangesNotify) {
  TFont f;
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  int changes = 0;
  f.OnChange = [&](TObject*) { ++changes; };
  HFONT first = f.Handle();
  EXPECT_EQ(f.Handle(), first);  // cached until something changes
  f.SetSize(12);
  EXPECT_EQ(f.Height(), -16);
  EXPECT_EQ(changes, 1);
  f.SetSize(12);  // no change, no notification
  EXPECT_EQ(changes, 1);
  f.SetStyle({fsBold, fsItalic});
  EXPECT_EQ(changes, 2);
  LOGFONT lf;
  ASSERT_GT(GetObject(f.Handle(), sizeof lf, &lf), 0);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfHeight, -16);
  TFont g;
  g.Assign(&f);
  EXPECT_TRUE(g.IsEqual(f));
}

TEST(GraphicsTest, CanvasDrawsWithPenBrushAndModes) {
  TBitmap b;
  b.SetSize(20, 10);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, 20, 10));
  c->Pen()->SetColor(clRed);
  c->MoveTo(0, 5);
  c->LineTo(10, 5);
  EXPECT_EQ(c->Pixels(3, 5), clRed);
  EXPECT_EQ(c->Pixels(10, 5), clWhite);  // the end point is not drawn
  EXPECT_EQ(c->PenPos(), Point(10, 5));
  c->Brush()->SetColor(clBlue);
  c->Pen()->SetColor(clBlack);
  c->Rectangle(12, 1, 18, 9);
  EXPECT_EQ(c->Pixels(12, 1), clBlack);
  EXPECT_EQ(c->Pixels(15, 5), clBlue);
  // Exclusive-or pen: drawing twice leaves nothing.
  c->Pen()->SetMode(pmXor);
  c->Pen()->SetColor(clWhite);
  c->MoveTo(0, 8);
  c->LineTo(10, 8);
  EXPECT_EQ(c->Pixels(2, 8), clBlack);
  c->MoveTo(0, 8);
  c->LineTo(10, 8);
  EXPECT_EQ(c->Pixels(2, 8), clWhite);
  // Text measures through the canvas's font.
  TSize s = c->TextExtent("Hello");
  EXPECT_GT(s.cx, 0);
  c->Font()->SetSize(20);
  EXPECT_GT(c->TextExtent("Hello").cx, s.cx);
}

TEST(GraphicsTest, BitmapStreamsAndPicturesByExtension) {
  TBitmap b;
  b.SetSize(8, 6);
  b.Canvas()->Brush()->SetColor(clGreen);
  b.Canvas()->FillRect(Rect(0, 0, 8, 6));
  b.Canvas()->Pixels(1, 2);
  b.Canvas()->SetPixels(1, 2, clYellow);
  TMemoryStream m;
  b.SaveToStream(&m);
  m.SetPosition(0);
  TBitmap c;
  c.LoadFromStream(&m);
  EXPECT_EQ(c.Width(), 8);
  EXPECT_EQ(c.Height(), 6);
  EXPECT_EQ(c.Canvas()->Pixels(1, 2), clYellow);
  EXPECT_EQ(c.Canvas()->Pixels(5, 5), clGreen);

  String dir = testing_support::SheetPath("");
  struct Case {
    const char* File;
    const char* GraphicClass;
  };
  const Case cases[] = {{"vcl_pic.bmp", "TBitmap"}, {"vcl_pic.png", "TBitmap"}, {"vcl_pic.jpg", "TJPEGImage"}};
  for (const Case& k : cases) {
    TPicture p;
    p.SetGraphic(&b);
    String path = dir + "/" + k.File;
    p.SaveToFile(path);
    TPicture q;
    q.LoadFromFile(path);
    ASSERT_NE(q.Graphic(), nullptr) << k.File;
    EXPECT_EQ(q.Graphic()->ClassName(), k.GraphicClass);
    EXPECT_EQ(q.Width(), 8) << k.File;
    EXPECT_EQ(q.Height(), 6) << k.File;
  }
  TPicture bad;
  EXPECT_THROW(bad.LoadFromFile(dir + "/nothing.xyz"), EInvalidGraphic);
  TMemoryStream garbage;
  garbage.WriteRawString("not a picture");
  garbage.SetPosition(0);
  TBitmap broken;
  EXPECT_THROW(broken.LoadFromStream(&garbage), EInvalidGraphic);
}

TEST(GraphicsTest, PictureDataKeepsTheGraphicsClass) {
  TBitmap b;
  b.SetSize(6, 4);
  b.Canvas()->Brush()->SetColor(clMaroon);
  b.Canvas()->FillRect(Rect(0, 0, 6, 4));
  TJPEGImage j;
  j.Assign(&b);
  for (TGraphic* g : std::vector<TGraphic*>{&b, &j}) {
    TPicture p;
    p.SetGraphic(g);
    TMemoryStream m;
    p.WriteData(m);
    m.SetPosition(0);
    TPicture q;
    q.ReadData(m);
    ASSERT_NE(q.Graphic(), nullptr);
    EXPECT_EQ(q.Graphic()->ClassName(), g->ClassName());
    EXPECT_EQ(q.Width(), 6);
    EXPECT_EQ(m.Position(), m.Size());  // the size prefix covers the data exactly
  }
}

TEST(GraphicsTest, MetafileRecordsReplaysScaledAndReportsItsSize) {
  TMetafile mf;
  {
    TMetafileCanvas mc(&mf);
    mc.Brush()->SetColor(clRed);
    mc.FillRect(Rect(0, 0, 10, 10));
    mc.Brush()->SetColor(clBlue);
    mc.FillRect(Rect(10, 0, 20, 10));
  }
  EXPECT_EQ(mf.Width(), 20);
  EXPECT_EQ(mf.Height(), 10);
  EXPECT_EQ(mf.MMWidth(), MulDiv(20, 2540, 96));
  EXPECT_EQ(mf.RecordCount(), 2);
  TBitmap b;
  b.SetSize(40, 20);
  b.Canvas()->StretchDraw(Rect(0, 0, 40, 20), &mf);
  EXPECT_EQ(b.Canvas()->Pixels(5, 5), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(19, 15), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(21, 15), clBlue);
  EXPECT_EQ(b.Canvas()->Pixels(39, 19), clBlue);
  // Metafile data cannot be read back: loading one is an invalid picture.
  TMemoryStream data;
  data.WriteByte(Byte(std::strlen("TMetafile")));
  data.WriteRawString("TMetafile");
  data.WriteRawString("\x01\x00\x00\x00\xD7\xCD\xC6\x9A");
  data.SetPosition(0);
  TPicture p;
  EXPECT_THROW(p.ReadData(data), EInvalidGraphic);
  data.SetPosition(0);
  EXPECT_THROW(mf.LoadFromStream(&data), EInvalidGraphic);
}

TEST(GraphicsTest, ImageListAddsMaskedImagesAndDrawsThem) {
  TBitmap strip;
  strip.SetSize(32, 16);
  strip.Canvas()->Brush()->SetColor(clFuchsia);
  strip.Canvas()->FillRect(Rect(0, 0, 32, 16));
  strip.Canvas()->Brush()->SetColor(clNavy);
  strip.Canvas()->FillRect(Rect(4, 4, 12, 12));
  strip.Canvas()->FillRect(Rect(16, 0, 32, 16));
  TImageList list(nullptr);
  EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);
  TBitmap target;
  target.SetSize(16, 16);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(Rect(0, 0, 16, 16));
  list.Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), clWhite);  // transparent where the mask colour was
  EXPECT_EQ(target.Canvas()->Pixels(8, 8), clNavy);
  list.Draw(target.Canvas(), 0, 0, 0, false);  // disabled: grey, same shape
  TColor grey = target.Canvas()->Pixels(8, 8);
  EXPECT_NE(grey, clNavy);
  EXPECT_EQ(GetRValue(ColorToRGB(grey)), GetBValue(ColorToRGB(grey)));
  EXPECT_THROW(list.Delete(5), EInvalidImageListOperation);
  // Stored and read back through its "Bitmap" data.
  TMemoryStream m;
  TImageList copy(nullptr);
  copy.Assign(&list);
  EXPECT_EQ(copy.Count(), 2);
}

TEST(GraphicsTest, ImageListChangeLinksHearEveryChangeUntilEitherSideIsGone) {
  TBitmap strip;
  strip.SetSize(16, 16);
  auto* list = new TImageList(nullptr);
  std::vector<String> heard;
  TChangeLink a, b;
  a.OnChange = [&](TObject* sender) { heard.push_back(sender == list ? "a" : "a?"); };
  b.OnChange = [&](TObject*) {
    heard.push_back("b");
    list->UnRegisterChanges(&a);  // a handler may drop another link
  };
  list->RegisterChanges(&a);
  list->RegisterChanges(&a);  // registered once
  list->RegisterChanges(&b);
  list->RegisterChanges(nullptr);
  EXPECT_EQ(a.Sender(), list);
  list->Add(&strip, nullptr);
  EXPECT_EQ(heard, (std::vector<String>{"a", "b"}));
  EXPECT_EQ(a.Sender(), nullptr);
  heard.clear();
  list->Clear();
  EXPECT_EQ(heard, (std::vector<String>{"b"}));
  {
    TChangeLink gone;
    list->RegisterChanges(&gone);
  }  // a freed link leaves the list
  heard.clear();
  list->Add(&strip, nullptr);
  EXPECT_EQ(heard, (std::vector<String>{"b"}));
  list->Free();  // a freed list clears its links' sender
  EXPECT_EQ(b.Sender(), nullptr);
}

}  // namespace

#include "vcl/Resources.h"

namespace {

TEST(ResourcesTest, EmbeddedPicturesCursorsAndFormsAreFoundByName) {
  RegisterVclTestResources();
  TBitmap b;
  LoadBitmapResource(&b, "TestGlyph");
  EXPECT_EQ(b.Width(), 8);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(6, 1), clGreen);
  EXPECT_NE(LoadCursorResource("TESTPOINTERCURSOR", 0, 0), nullptr);
  // A form description is stored under the class name of its root.
  String text;
  EXPECT_TRUE(FindResourceData("TTestForm", "RCDATA", text));
  EXPECT_EQ(text.rfind("object TestForm: TTestForm", 0), 0u);
  EXPECT_THROW(TResourceStream("NOSUCHTHING", "BITMAP"), EResNotFound);
  EXPECT_THROW(LoadBitmapResource(&b, "TTestForm"), EResNotFound);  // a form is no picture
}

}  // namespace

#include "vcl/Clipbrd.h"

namespace {

class ClipboardTest : public VclFixture {};

TEST_F(ClipboardTest, TextAndPicturesGoThroughTheClipboard) {
  Clipboard()->SetAsText("Grüße\tx");
  EXPECT_EQ(Clipboard()->AsText(), "Grüße\tx");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  TBitmap b;
  b.SetSize(4, 3);
  b.Canvas()->Brush()->SetColor(clLime);
  b.Canvas()->FillRect(Rect(0, 0, 4, 3));
  Clipboard()->Assign(&b);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  TPicture p;
  p.Assign(Clipboard());
  EXPECT_EQ(p.Width(), 4);
  EXPECT_EQ(p.Bitmap()->Canvas()->Pixels(2, 2), clLime);
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_THROW(p.Assign(Clipboard()), EInvalidGraphic);
}

}  // namespace
