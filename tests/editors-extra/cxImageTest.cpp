// The image kind: picture values per graphic class (with and without the header), the graphic
// class list, proportional fitting and the picture layouts, the context menu by state, by right
// click and by the context key, the clipboard between two image editors, pictures loaded and
// saved through the file dialogs, metafile files, bad input, and a PNG sheet of picture cells.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editors-extra/cxImage.h"
#include "editors/cxEditPaintUtils.h"
#include "gdi/Gdi.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/Clipbrd.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"

namespace {

// A small picture with a red left half and a blue right half.
std::unique_ptr<TBitmap> TwoColourBitmap(Integer w, Integer h) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(clRed);
  b->Canvas()->FillRect(TRect(0, 0, w / 2, h));
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FillRect(TRect(w / 2, 0, w, h));
  return b;
}

String BytesOf(TGraphic* g) {
  TStringStream s;
  g->SaveToStream(&s);
  return s.DataString();
}

String WithHeader(const String& bytes, uint32_t size) {
  String h(8, '\0');
  h[0] = 1;
  h[3] = 1;  // 0x100
  memcpy(h.data() + 4, &size, 4);
  return h + bytes;
}

// An enhanced metafile file of the given frame (0.01 mm): the header record only.
String EmfBytes(int32_t frame_w, int32_t frame_h) {
  String b(88, '\0');
  auto put = [&](size_t at, uint32_t v) { memcpy(b.data() + at, &v, 4); };
  put(0, 1);
  put(4, 88);
  put(32, uint32_t(frame_w));
  put(36, uint32_t(frame_h));
  put(40, 0x464D4520);
  return b;
}

// Every graphic class of the list, with the bytes of a 20 x 10 picture in it.
struct ClassCase {
  TGraphicClass Class;
  String Bytes;
};
std::vector<ClassCase> ClassCases() {
  auto bmp = TwoColourBitmap(20, 10);
  TJPEGImage jpeg;
  jpeg.Bitmap()->Assign(bmp.get());
  TIcon icon;
  icon.SetBitmap(bmp.get());
  return {{TBitmap::StaticClass(), BytesOf(bmp.get())},
          {TJPEGImage::StaticClass(), BytesOf(&jpeg)},
          {TIcon::StaticClass(), BytesOf(&icon)},
          {TMetafile::StaticClass(), EmfBytes(529, 265)}};  // 20 x 10 pixels at 96 DPI
}

TEST(ImageValues, PicturesOfEachClassWithAndWithoutTheHeader) {
  for (const ClassCase& c : ClassCases()) {
    const String name = c.Class->ClassName();
    struct Value {
      Variant V;
      bool Loads;
      const char* What;
    };
    const Value values[] = {
        {Variant(c.Bytes), true, "plain"},
        {Variant(WithHeader(c.Bytes, uint32_t(c.Bytes.size()))), true, "header"},
        // A header whose size does not match is part of the data: no picture of the class.
        {Variant(WithHeader(c.Bytes, uint32_t(c.Bytes.size() + 1))), false, "wrong header"},
        {Variant(String("1234567")), false, "short"},
        {Variant(String()), false, "empty"},
        {Null(), false, "null"},
        {Variant(42), false, "number"},
        {Variant(String("this is not a picture at all")), false, "garbage"},
    };
    for (const Value& v : values) {
      TPicture p;
      LoadPictureFromValue(&p, c.Class, v.V);
      EXPECT_EQ(!PictureHasNoImage(&p), v.Loads) << name << " " << v.What;
      if (!v.Loads) continue;
      EXPECT_EQ(p.Graphic()->ClassType(), c.Class) << name;
      EXPECT_EQ(p.Width(), 20) << name << " " << v.What;
      EXPECT_EQ(p.Height(), 10) << name << " " << v.What;
      // Saving writes the graphic's bytes without a header.
      const String saved = SavePictureToString(&p);
      if (c.Class != TJPEGImage::StaticClass()) {
        EXPECT_EQ(saved, c.Bytes) << name;
      }
      EXPECT_FALSE(saved.substr(0, 4) == String("\x01\x00\x00\x01", 4)) << name;
    }
  }
  // Without a class the bytes go into the picture's bitmap.
  TPicture p;
  LoadPictureFromValue(&p, nullptr, Variant(ClassCases()[0].Bytes));
  EXPECT_EQ(p.Graphic()->ClassType(), TBitmap::StaticClass());
  p.Assign(nullptr);
  EXPECT_EQ(SavePictureToString(&p), "");
}

TEST(ImageValues, GraphicClassListNamesAndFilters) {
  const std::vector<TGraphicClass> expected = {TBitmap::StaticClass(), TIcon::StaticClass(),
                                               TMetafile::StaticClass(), TJPEGImage::StaticClass()};
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), GraphicClassList().begin()));
  RegisterGraphicClass(TBitmap::StaticClass());
  EXPECT_EQ(GraphicClassList().size(), 4u);
  EXPECT_EQ(FindGraphicClassByName("tjpegimage"), TJPEGImage::StaticClass());
  EXPECT_EQ(FindGraphicClassByName("TGif"), nullptr);

  TcxImageProperties p(nullptr);
  EXPECT_EQ(p.GraphicClass(), TBitmap::StaticClass());
  EXPECT_EQ(TcxCustomImageProperties::DefaultGraphicClass(), TBitmap::StaticClass());
  int changes = 0;
  p.PropertiesChangedHandler = [&](TObject*) { ++changes; };
  p.SetGraphicClassName("tjpegimage");
  EXPECT_EQ(p.GraphicClassName(), "TJPEGImage");
  p.SetGraphicClassName("TNoSuchGraphic");  // an unknown name changes nothing
  EXPECT_EQ(p.GraphicClass(), TJPEGImage::StaticClass());
  EXPECT_EQ(changes, 1);
  p.SetGraphicClassName("");
  EXPECT_EQ(p.GraphicClass(), nullptr);
  // No class: a bitmap when pasting, else none, which the event may change.
  EXPECT_EQ(p.GetGraphicClass(nullptr, -1, true), TBitmap::StaticClass());
  EXPECT_EQ(p.GetGraphicClass(nullptr, -1, false), nullptr);
  p.OnGetGraphicClass = [](TObject*, Integer, bool, TGraphicClass& c) { c = TIcon::StaticClass(); };
  EXPECT_EQ(p.GetGraphicClass(nullptr, -1, false), TIcon::StaticClass());

  EXPECT_EQ(GraphicFilter(TJPEGImage::StaticClass()),
            "All (*.jpeg;*.jpg)|*.jpeg;*.jpg|JPEG image file (*.jpeg)|*.jpeg|JPEG image file (*.jpg)|*.jpg");
  EXPECT_EQ(GraphicExtension(TIcon::StaticClass()), "ico");
  EXPECT_EQ(GraphicFilter(nullptr), "");
  TOpenPictureDialog open(nullptr);
  EXPECT_EQ(open.FilterPairs().size(), 8u);  // All, then seven extensions
}

TEST(ImageLayout, FitRectProportionallyStretchAndCenter) {
  struct Fit {
    TRect R;
    Integer W, H;
    TRect Fitted;
  };
  const Fit fits[] = {
      {TRect(0, 0, 60, 60), 100, 50, TRect(0, 0, 60, 30)},
      {TRect(10, 10, 70, 70), 50, 100, TRect(10, 10, 40, 70)},
      {TRect(0, 0, 200, 100), 20, 10, TRect(0, 0, 200, 100)},
      {TRect(0, 0, 30, 90), 7, 3, TRect(0, 0, 30, 12)},
  };
  for (const Fit& f : fits) EXPECT_EQ(FitRectProportionally(f.R, f.W, f.H), f.Fitted) << f.W << "x" << f.H;

  auto bmp = TwoColourBitmap(100, 50);
  TPicture picture;
  picture.SetGraphic(bmp.get());
  TcxImageViewInfo vi;
  vi.Picture = &picture;
  struct Layout {
    bool Stretch, Center;
    TPoint Offset;
    TRect Expected;
  };
  const Layout layouts[] = {
      {true, false, {}, TRect(0, 0, 60, 30)},
      {true, true, {}, TRect(0, 15, 60, 45)},
      {false, true, {}, TRect(-20, 5, 80, 55)},
      {false, false, {}, TRect(0, 0, 100, 50)},
      {false, false, TPoint(8, 16), TRect(-8, -16, 92, 34)},
  };
  for (const Layout& l : layouts) {
    vi.Stretch = l.Stretch;
    vi.Center = l.Center;
    vi.Offset = l.Offset;
    EXPECT_EQ(vi.PictureRect(TRect(0, 0, 60, 60)), l.Expected) << l.Stretch << l.Center;
  }
}

// A graphic whose transparency cannot be set.
class TStubbornGraphic : public TBitmap {
  KORVAN_CLASS(TStubbornGraphic, TBitmap)

 public:
  void SetTransparent(bool) override { throw EInvalidGraphic("no transparency"); }
};
KORVAN_IMPLEMENT_CLASS(TStubbornGraphic)

TEST(ImageValues, ForcedTransparencyRestoresTheChangeHandlerWhenTheGraphicRaises) {
  TPicture picture;
  TStubbornGraphic graphic;
  graphic.SetSize(4, 4);
  picture.SetGraphic(&graphic);
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  EXPECT_THROW(ApplyGraphicTransparency(&picture, gtTransparent), EInvalidGraphic);
  ASSERT_TRUE(picture.OnChange);
  picture.Bitmap()->SetSize(5, 5);
  EXPECT_GT(changes, 0);
}

TEST(ImageLayout, CellSizesAndTexts) {
  TcxImageProperties p(nullptr);
  TcxEditStyle style(nullptr, false);
  TBitmap canvas_bitmap;
  canvas_bitmap.SetSize(10, 10);
  TcxCanvas canvas(canvas_bitmap.Canvas());
  std::unique_ptr<TcxCustomEditViewData> data(p.CreateViewData(&style, true));
  TSize size;
  data->GetEditContentSize(&canvas, Null(), {-1, 0, 0}, size);
  EXPECT_EQ(size, TSize(0, 15));  // an empty cell without caption
  const Variant value(BytesOf(TwoColourBitmap(100, 50).get()));
  data->GetEditContentSize(&canvas, value, {-1, 0, 0}, size);
  EXPECT_EQ(size, TSize(100, 50));
  p.SetStretch(true);
  data->GetEditContentSize(&canvas, value, {-1, 0, 30}, size);
  EXPECT_EQ(size, TSize(30, 15));
  data->GetEditContentSize(&canvas, value, {25, 0, -1}, size);
  EXPECT_EQ(size, TSize(50, 25));
  p.SetCaption("No picture");
  data->GetEditContentSize(&canvas, Null(), {-1, 0, 0}, size);
  EXPECT_GT(size.cx, 20);
  EXPECT_EQ(p.ValueToDisplayText(Null(), false, true), "");
  EXPECT_EQ(p.ValueToDisplayText(value, false, true), "No picture");
}

TEST(ImageMetafile, AFileKeepsItsBytesAndSizeAndDrawsAFrame) {
  const String emf = EmfBytes(2540, 1270);
  TMetafile m;
  TStringStream in(emf);
  m.LoadFromStream(&in);
  EXPECT_EQ(m.Width(), 96);
  EXPECT_EQ(m.Height(), 48);
  EXPECT_FALSE(m.Empty());
  EXPECT_EQ(BytesOf(&m), emf);
  // A placeable metafile (WMF): the box in units per inch.
  String wmf(22, '\0');
  const uint32_t key = 0x9AC6CDD7;
  memcpy(wmf.data(), &key, 4);
  const int16_t box[] = {0, 0, 1440, 720};
  memcpy(wmf.data() + 6, box, 8);
  const uint16_t inch = 1440;
  memcpy(wmf.data() + 14, &inch, 2);
  TStringStream win(wmf);
  m.LoadFromStream(&win);
  EXPECT_EQ(m.Width(), 96);
  EXPECT_EQ(m.Height(), 48);
  TStringStream bad(String("not a metafile"));
  EXPECT_THROW(m.LoadFromStream(&bad), EInvalidGraphic);

  TBitmap b;
  b.SetSize(40, 20);
  b.Canvas()->Brush()->SetColor(clWhite);
  b.Canvas()->FillRect(TRect(0, 0, 40, 20));
  b.Canvas()->StretchDraw(TRect(0, 0, 40, 20), &m);
  EXPECT_EQ(b.Canvas()->Pixels(0, 10), TColor(RGB(128, 128, 128)));  // the frame
  EXPECT_EQ(b.Canvas()->Pixels(20, 3), clWhite);
}

// ---- the control ---------------------------------------------------------------------------------

class ImageTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    form_ = new TForm(Application);
    form_->SetBounds(50, 50, 640, 420);
    a_ = MakeImage(10, 10);
    b_ = MakeImage(200, 10);
    form_->Show();
    Pump();
    Clipboard()->Clear();
  }
  void TearDown() override {
    SetFileDialogHook(nullptr);
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  TcxImage* MakeImage(Integer x, Integer y) {
    auto* i = new TcxImage(form_);
    i->SetBounds(x, y, 160, 120);
    i->SetParent(form_);
    return i;
  }
  void SetBitmap(TcxImage* i, Integer w = 40, Integer h = 20) {
    i->SetEditValue(Variant(BytesOf(TwoColourBitmap(w, h).get())));
  }
  // The enabled state of the menu items 0..8 after preparing the menu.
  std::vector<bool> Enabled(TcxImage* i) {
    i->PreparePopupMenu();
    std::vector<bool> r;
    for (Integer k : {0, 1, 2, 3, 5, 6}) r.push_back(i->ContextMenu()->Items()->Items(k)->Enabled());
    return r;
  }
  TForm* form_ = nullptr;
  TcxImage* a_ = nullptr;
  TcxImage* b_ = nullptr;
};

TEST_F(ImageTest, NewControlValueAndEmptyPicture) {
  TcxImage* fresh = new TcxImage(form_);
  EXPECT_EQ(fresh->Width(), 140);
  EXPECT_EQ(fresh->Height(), 100);
  fresh->Free();
  EXPECT_TRUE(VarIsNull(a_->EditValue()));
  SetBitmap(a_);
  EXPECT_EQ(a_->Picture()->Width(), 40);
  EXPECT_FALSE(a_->ModifiedFlag());
  EXPECT_EQ(VarToStr(a_->EditValue()), BytesOf(a_->Picture()->Graphic()));
  a_->SetEditValue(Variant(String("no picture")));  // bytes that are no picture clear it
  EXPECT_TRUE(PictureHasNoImage(a_->Picture()));
  EXPECT_TRUE(VarIsNull(a_->EditValue()));
}

TEST_F(ImageTest, MenuItemsByStateAndReadOnly) {
  struct Case {
    bool Picture, ReadOnly, Icon, BitmapOnClipboard;
    std::vector<bool> Cut_Copy_Paste_Delete_Load_Save;
  };
  const Case cases[] = {
      {false, false, false, false, {false, false, false, false, true, false}},
      {true, false, false, false, {true, true, false, true, true, true}},
      {true, false, false, true, {true, true, true, true, true, true}},
      {true, true, false, true, {false, true, false, false, false, true}},
      {true, false, true, true, {false, false, false, true, true, true}},  // an icon class
  };
  for (const Case& c : cases) {
    a_->Properties()->SetReadOnly(c.ReadOnly);
    a_->Properties()->SetGraphicClass(c.Icon ? TIcon::StaticClass() : TBitmap::StaticClass());
    if (c.Icon) {
      TIcon icon;
      icon.SetBitmap(TwoColourBitmap(16, 16).get());
      a_->SetEditValue(Variant(BytesOf(&icon)));
    } else if (c.Picture) {
      SetBitmap(a_);
    } else {
      a_->SetEditValue(Null());
    }
    Clipboard()->Clear();
    if (c.BitmapOnClipboard) Clipboard()->Assign(TwoColourBitmap(4, 4).get());
    EXPECT_EQ(Enabled(a_), c.Cut_Copy_Paste_Delete_Load_Save)
        << c.Picture << c.ReadOnly << c.Icon << c.BitmapOnClipboard;
  }
  // Visibility follows the layout; the separator above Load stays with Load alone.
  a_->Properties()->PopupMenuLayout()->SetMenuItems({pmiLoad});
  a_->PreparePopupMenu();
  EXPECT_EQ(a_->ContextMenu()->Images(), MenuImages());
  EXPECT_EQ(MenuImages()->Count(), 6);
  TMenuItem* items = a_->ContextMenu()->Items();
  const bool visible[] = {false, false, false, false, true, true, false, false, false};
  for (Integer k = 0; k < 9; ++k) EXPECT_EQ(items->Items(k)->Visible(), visible[k]) << k;
  a_->Properties()->PopupMenuLayout()->SetMenuItems({pmiCustom});
  a_->Properties()->PopupMenuLayout()->SetCustomMenuItemCaption("Rotate");
  int custom = 0;
  a_->Properties()->OnCustomClick = [&](TObject* s) { custom += s == a_; };
  a_->PreparePopupMenu();
  EXPECT_TRUE(items->Items(7)->Visible());
  EXPECT_EQ(items->Items(8)->Caption(), "Rotate");
  items->Items(8)->Click();
  EXPECT_EQ(custom, 1);
}

TEST_F(ImageTest, ContextMenuByRightClickAndByTheContextKey) {
  SetBitmap(a_);
  int opened = 0;
  auto watch = [&] {
    a_->ContextMenu()->OnPopup = [&](TObject*) { ++opened; };
  };
  a_->PreparePopupMenu();
  watch();
  S().Backend().OnIdle([&] {
    S().Snapshot(a_->ContextMenu()->MenuWindows()[0]->Handle(), "editors_extra_image_menu.png");
    a_->ContextMenu()->CloseMenu();
  });
  S().Click(a_->Handle(), {30, 30}, kMouseRight);
  Pump();
  EXPECT_EQ(opened, 1);
  a_->SetFocus();
  Pump();
  S().Backend().OnIdle([&] { a_->ContextMenu()->CloseMenu(); });
  S().PressKey(VK_APPS);
  Pump();
  EXPECT_EQ(opened, 2);
  // With no items the menu does not appear.
  a_->Properties()->PopupMenuLayout()->SetMenuItems({});
  S().Click(a_->Handle(), {30, 30}, kMouseRight);
  Pump();
  EXPECT_EQ(opened, 2);
}

TEST_F(ImageTest, CutCopyAndPasteBetweenTwoEditors) {
  SetBitmap(a_, 30, 12);
  const String bytes = VarToStr(a_->EditValue());
  a_->SetFocus();
  Pump();
  S().PressKey(VK_INSERT, false, true);  // Ctrl+Insert copies
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE()));
  b_->SetFocus();
  Pump();
  S().PressKey(VK_INSERT, true, false);  // Shift+Insert pastes
  EXPECT_EQ(VarToStr(b_->EditValue()), bytes);
  EXPECT_TRUE(b_->ChangedSinceEnter());
  b_->SetEditValue(Null());
  a_->SetFocus();
  Pump();
  S().PressKey(VK_DELETE, true, false);  // Shift+Delete cuts
  EXPECT_TRUE(VarIsNull(a_->EditValue()));
  b_->SetFocus();
  Pump();
  S().PressKey('V', false, true);
  EXPECT_EQ(VarToStr(b_->EditValue()), bytes);
  // Pasting into a JPEG editor compresses the clipboard's bitmap.
  a_->Properties()->SetGraphicClass(TJPEGImage::StaticClass());
  a_->ExecuteMenuCommand(2);
  EXPECT_EQ(a_->Picture()->Graphic()->ClassType(), TJPEGImage::StaticClass());
  EXPECT_EQ(a_->Picture()->Width(), 30);
  // The clipboard holds every picture as a bitmap too: the editor's graphic class decides
  // which format is pasted, so a metafile or a picture of another class stays what it was.
  TMetafile metafile;
  metafile.LoadFromBytes(EmfBytes(529, 265));
  TJPEGImage jpeg;
  jpeg.Bitmap()->Assign(TwoColourBitmap(20, 10).get());
  struct PasteCase {
    TGraphic* Copied;
    TGraphicClass Target;  // the editor's graphic class (none: the event answers none)
    TGraphicClass Pasted;
  };
  const PasteCase pastes[] = {{&metafile, TMetafile::StaticClass(), TMetafile::StaticClass()},
                              {&metafile, nullptr, TMetafile::StaticClass()},
                              {&jpeg, nullptr, TJPEGImage::StaticClass()},
                              {&metafile, TBitmap::StaticClass(), TBitmap::StaticClass()}};
  for (const PasteCase& c : pastes) {
    Clipboard()->Assign(c.Copied);
    b_->Properties()->SetGraphicClass(c.Target);
    b_->OnGetGraphicClass = [](TObject*, bool, TGraphicClass& g) {
      if (g == TBitmap::StaticClass()) g = nullptr;
    };
    if (c.Target) b_->OnGetGraphicClass = nullptr;
    b_->SetEditValue(Null());
    b_->ExecuteMenuCommand(2);
    ASSERT_FALSE(PictureHasNoImage(b_->Picture())) << c.Pasted->ClassName();
    EXPECT_EQ(b_->Picture()->Graphic()->ClassType(), c.Pasted) << c.Copied->ClassName();
    if (c.Pasted == TMetafile::StaticClass()) {
      EXPECT_EQ(static_cast<TMetafile*>(b_->Picture()->Graphic())->FileBytes(), metafile.FileBytes());
    }
  }
  b_->OnGetGraphicClass = nullptr;
  b_->Properties()->SetGraphicClass(TBitmap::StaticClass());
  // Text on the clipboard does not paste; a read-only editor takes nothing.
  Clipboard()->SetAsText("text");
  b_->SetEditValue(Null());
  b_->ExecuteMenuCommand(2);
  EXPECT_TRUE(VarIsNull(b_->EditValue()));
  Clipboard()->Assign(a_->Picture());
  b_->Properties()->SetReadOnly(true);
  b_->ExecuteMenuCommand(2);
  EXPECT_TRUE(VarIsNull(b_->EditValue()));
}

TEST_F(ImageTest, LoadAndSaveThroughThePictureDialogs) {
  const auto dir = std::filesystem::temp_directory_path() / "korvan_image_dialogs";
  std::filesystem::create_directories(dir);
  String chosen;
  std::vector<String> filters;
  SetFileDialogHook([&](TOpenDialog* d) {
    filters.push_back(d->Filter() + " ext=" + d->DefaultExt());
    d->SetFileName(chosen);
    return !chosen.empty();
  });
  struct Case {
    const char* File;
    TGraphicClass Class;
  };
  const Case cases[] = {{"pic.bmp", TBitmap::StaticClass()},
                        {"pic.jpg", TJPEGImage::StaticClass()},
                        {"pic.ico", TIcon::StaticClass()}};
  for (const Case& c : cases) {
    const String path = (dir / c.File).string();
    std::unique_ptr<TGraphic> g(static_cast<TGraphic*>(c.Class->Create()));
    auto bmp = TwoColourBitmap(24, 16);
    if (auto* j = dynamic_cast<TJPEGImage*>(g.get())) j->Bitmap()->Assign(bmp.get());
    else if (auto* i = dynamic_cast<TIcon*>(g.get())) i->SetBitmap(bmp.get());
    else g->Assign(bmp.get());
    a_->Picture()->SetGraphic(g.get());
    filters.clear();
    chosen = path;
    a_->ExecuteMenuCommand(5);  // Save As
    ASSERT_TRUE(std::filesystem::exists(path)) << c.File;
    EXPECT_NE(filters[0].find("ext=" + GraphicExtension(c.Class)), String::npos) << filters[0];
    b_->SetEditValue(Null());
    b_->Properties()->SetGraphicClass(nullptr);
    b_->ExecuteMenuCommand(4);  // Load
    EXPECT_EQ(b_->Picture()->Graphic()->ClassType(), c.Class) << c.File;
    EXPECT_EQ(b_->Picture()->Width(), 24) << c.File;
    EXPECT_TRUE(b_->ChangedSinceEnter());
  }
  // A custom filter wins; a cancelled dialog changes nothing.
  b_->Properties()->SetCustomFilter("Bitmaps only|*.bmp");
  chosen.clear();
  filters.clear();
  b_->ExecuteMenuCommand(4);
  EXPECT_EQ(filters[0], "Bitmaps only|*.bmp ext=");
  EXPECT_EQ(b_->Picture()->Width(), 24);
  // A file of an unknown format, or of a known extension with other content, raises.
  const String odd = (dir / "pic.xyz").string();
  std::ofstream(odd) << "data";
  chosen = odd;
  EXPECT_THROW(b_->ExecuteMenuCommand(4), EInvalidGraphic);
  const String fake = (dir / "fake.bmp").string();
  std::ofstream(fake) << "not a bitmap";
  chosen = fake;
  EXPECT_THROW(b_->ExecuteMenuCommand(4), EInvalidGraphic);
  EXPECT_EQ(b_->Picture()->Width(), 24);
  // Read-only: Load offers nothing.
  b_->Properties()->SetReadOnly(true);
  filters.clear();
  b_->ExecuteMenuCommand(4);
  EXPECT_TRUE(filters.empty());
  std::filesystem::remove_all(dir);
}

TEST_F(ImageTest, ScrollBarsForAnUncentredPictureLargerThanTheControl) {
  struct Case {
    bool Center, Stretch;
    Integer Width, Height;
    bool HBar, VBar;
  };
  const Case cases[] = {{false, false, 400, 300, true, true}, {false, false, 400, 50, true, false},
                        {false, false, 100, 80, false, false}, {true, false, 400, 300, false, false},
                        {false, true, 400, 300, false, false}};
  for (const Case& c : cases) {
    a_->Properties()->SetCenter(c.Center);
    a_->Properties()->SetStretch(c.Stretch);
    SetBitmap(a_, c.Width, c.Height);
    Pump();
    EXPECT_EQ(a_->IsHScrollBarShown(), c.HBar) << c.Center << c.Stretch << c.Width << "x" << c.Height;
    EXPECT_EQ(a_->IsVScrollBarShown(), c.VBar) << c.Center << c.Stretch << c.Width << "x" << c.Height;
  }
  // A line is 8 pixels; the position stops where the picture's far edge shows.
  a_->Properties()->SetCenter(false);
  a_->Properties()->SetStretch(false);
  SetBitmap(a_, 400, 300);
  Pump();
  auto* vi = static_cast<TcxImageViewInfo*>(a_->GetEditViewInfo());
  TRect content;
  a_->ContentBounds(content);
  EXPECT_EQ(vi->ClientArea, content);
  EXPECT_EQ(a_->HorizontalBar()->Max(), 399);
  EXPECT_EQ(a_->HorizontalBar()->PageSize(), content.Width());
  Integer position = a_->HorizontalBar()->Position();
  a_->PanScroll(sbHorizontal, scLineDown, position);
  EXPECT_EQ(position, 8);
  EXPECT_EQ(vi->Offset, TPoint(8, 0));
  position = 1000;
  a_->PanScroll(sbHorizontal, scTrack, position);
  EXPECT_EQ(position, 400 - content.Width());
  EXPECT_EQ(vi->PictureRect(vi->ClientArea).Right, vi->ClientArea.Right);
  // The wheel scrolls the vertical bar.
  S().Wheel(a_->Handle(), {40, 40}, -WHEEL_DELTA);
  EXPECT_GT(a_->VerticalBar()->Position(), 0);
  EXPECT_EQ(vi->Offset.Y, a_->VerticalBar()->Position());
  S().Snapshot(a_->Handle(), "editors_extra_image_scrolled.png");
  // A new picture starts at the top-left again.
  SetBitmap(a_, 300, 300);
  EXPECT_EQ(vi->Offset, TPoint(0, 0));
  EXPECT_EQ(a_->HorizontalBar()->Position(), 0);
}

TEST_F(ImageTest, SheetOfPictureCells) {
  TBitmap sheet;
  sheet.SetPixelFormat(pf32bit);
  sheet.SetSize(520, 150);
  TcxCanvas canvas(sheet.Canvas());
  FillRectWithColor(&canvas, TRect(0, 0, 520, 150), clBtnFace);
  TcxImageProperties p(nullptr);
  TcxEditStyle style(nullptr, false);
  style.SetColor(clWindow);
  const Variant wide(BytesOf(TwoColourBitmap(100, 50).get()));
  auto transparent = TwoColourBitmap(60, 60);
  transparent->Canvas()->Brush()->SetColor(clLime);
  transparent->Canvas()->Ellipse(10, 10, 50, 50);
  TIcon icon;
  icon.SetBitmap(transparent.get());
  struct Cell {
    bool Stretch, Center;
    TcxImageTransparency Transparency;
    Variant Value;
    String Caption;
  };
  const Cell cells[] = {{true, false, gtDefault, wide, ""},
                        {true, true, gtDefault, wide, ""},
                        {false, true, gtDefault, wide, ""},
                        {false, false, gtDefault, wide, ""},
                        {true, true, gtTransparent, Variant(BytesOf(transparent.get())), ""},
                        {false, true, gtDefault, Null(), "(no picture)"}};
  Integer x = 6;
  for (const Cell& c : cells) {
    p.SetStretch(c.Stretch);
    p.SetCenter(c.Center);
    p.SetGraphicTransparency(c.Transparency);
    p.SetCaption(c.Caption);
    std::unique_ptr<TcxCustomEditViewData> data(p.CreateViewData(&style, true));
    std::unique_ptr<TcxCustomEditViewInfo> vi(p.CreateViewInfo());
    data->FillDisplayText(&canvas, c.Value, vi.get());
    data->CalculateViewInfo(&canvas, TRect(x, 10, x + 78, 88), TPoint(-1, -1), 0, {}, vi.get(), false);
    vi->PaintTo(&canvas);
    x += 84;
  }
  // Stretched and not centred: the picture at the cell's top-left, the rest in the background.
  EXPECT_EQ(sheet.Canvas()->Pixels(8, 12), clRed);
  EXPECT_EQ(sheet.Canvas()->Pixels(80, 80), ColorToRGB(clWindow));
  sheet.SaveToPngFile(testing_support::SheetPath("editors_extra_image_cells.png"));
}

}  // namespace
