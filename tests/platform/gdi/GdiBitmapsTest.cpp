// Device-independent bitmaps and image files: round trips and bad input.
#include <cstdio>
#include <cstring>
#include <fstream>

#include "GdiTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {
// A 5 x 3 test picture with distinct colours.
// Smooth pictures survive lossy compression closely.
HBITMAP Picture(bool smooth = false) {
  HBITMAP b = CreateBitmap(5, 3, 1, 32, nullptr);
  TSurface* s = GetBitmapSurface(b);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      s->At(x, y) = smooth ? ColorRefToPixel(RGB(100 + x * 8, 90 + y * 8, 120))
                           : ColorRefToPixel(RGB(x * 60, y * 120, (x + y) % 2 ? 255 : 0));
  return b;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
}  // namespace

TEST(GdiDib, RoundTripsThroughEveryDepth) {
  struct Case {
    int bpp;
    bool topDown;
    bool exact;  // colours survive unchanged
  } cases[] = {{32, true, true}, {32, false, true}, {24, true, true}, {24, false, true},
               {8, false, false}, {4, true, false}, {1, false, false}};
  HBITMAP src = Picture();
  for (const Case& c : cases) {
    BITMAPINFO bi;
    bi.bmiHeader.biWidth = 5;
    bi.bmiHeader.biHeight = c.topDown ? -3 : 3;
    bi.bmiHeader.biBitCount = WORD(c.bpp);
    size_t stride = size_t((5 * c.bpp + 31) / 32) * 4;
    std::vector<uint8_t> bits(stride * 3);
    ASSERT_EQ(GetDIBits(nullptr, src, 0, 3, bits.data(), &bi, DIB_RGB_COLORS), 3) << c.bpp;
    HBITMAP dst = CreateBitmap(5, 3, 1, 32, nullptr);
    ASSERT_EQ(SetDIBits(nullptr, dst, 0, 3, bits.data(), &bi, DIB_RGB_COLORS), 3) << c.bpp;
    TSurface* a = GetBitmapSurface(src);
    TSurface* b = GetBitmapSurface(dst);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) {
        uint32_t pa = a->At(x, y) & 0xFFFFFF, pb = b->At(x, y) & 0xFFFFFF;
        if (c.exact) {
          EXPECT_EQ(pa, pb) << c.bpp << " " << x << "," << y;
        } else if (c.bpp == 1) {
          EXPECT_TRUE(pb == 0 || pb == 0xFFFFFF);
        } else {
          for (int sh = 0; sh < 24; sh += 8)
            EXPECT_LE(std::abs(int((pa >> sh) & 0xFF) - int((pb >> sh) & 0xFF)), c.bpp == 8 ? 26 : 128)
                << c.bpp << " " << x << "," << y;
        }
      }
    // The first scan line of a bottom-up DIB is the bottom row.
    if (c.bpp == 32) {
      uint32_t first;
      std::memcpy(&first, bits.data(), 4);
      EXPECT_EQ(first & 0xFFFFFF, a->At(0, c.topDown ? 0 : 2) & 0xFFFFFF);
    }
    DeleteObject(dst);
  }
  // Asking with no bits fills in the header.
  BITMAPINFO q;
  q.bmiHeader.biBitCount = 0;
  EXPECT_NE(GetDIBits(nullptr, src, 0, 3, nullptr, &q, DIB_RGB_COLORS), 0);
  EXPECT_EQ(q.bmiHeader.biWidth, 5);
  EXPECT_EQ(q.bmiHeader.biHeight, 3);
  EXPECT_EQ(q.bmiHeader.biBitCount, 32);
  EXPECT_EQ(q.bmiHeader.biSizeImage, 60u);
  DeleteObject(src);
}

TEST(GdiDib, SectionsExposeTheirRowsInHeaderOrder) {
  for (bool topDown : {true, false}) {
    BITMAPINFO bi;
    bi.bmiHeader.biWidth = 2;
    bi.bmiHeader.biHeight = topDown ? -2 : 2;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(b, nullptr);
    static_cast<uint32_t*>(bits)[0] = 0x00123456;
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, b);
    EXPECT_EQ(GetPixel(dc, 0, topDown ? 0 : 1), PixelToColorRef(0x123456)) << topDown;
    DeleteDC(dc);
    BITMAP bm;
    GetObject(b, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBits, bits);
    DeleteObject(b);
  }
  BITMAPINFO bad;
  bad.bmiHeader.biWidth = 0;
  bad.bmiHeader.biHeight = 5;
  bad.bmiHeader.biBitCount = 32;
  EXPECT_EQ(CreateDIBSection(nullptr, &bad, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST(GdiImageFiles, RoundTrips) {
  struct Case {
    const char* file;
    bool (*save)(HBITMAP, const String&);
    bool smooth;
    int tolerance;
  } cases[] = {
      {"roundtrip.png", [](HBITMAP b, const String& p) { return SaveBitmapToPng(b, p); }, false, 0},
      {"roundtrip.bmp", [](HBITMAP b, const String& p) { return SaveBitmapToBmp(b, p); }, false, 0},
      {"roundtrip.jpg", [](HBITMAP b, const String& p) { return SaveBitmapToJpeg(b, p, 100); }, true, 6},
  };
  for (const Case& c : cases) {
    HBITMAP src = Picture(c.smooth);
    std::string path = testing_support::SheetPath(c.file);
    ASSERT_TRUE(c.save(src, path)) << c.file;
    HBITMAP back = LoadBitmapFromFile(path);
    ASSERT_NE(back, nullptr) << c.file;
    TSurface* a = GetBitmapSurface(src);
    TSurface* b = GetBitmapSurface(back);
    ASSERT_EQ(b->Width(), 5);
    ASSERT_EQ(b->Height(), 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        for (int sh = 0; sh < 24; sh += 8)
          EXPECT_LE(std::abs(int((a->At(x, y) >> sh) & 0xFF) - int((b->At(x, y) >> sh) & 0xFF)), c.tolerance)
              << c.file << " " << x << "," << y;
    DeleteObject(back);
    DeleteObject(src);
  }
  HBITMAP src = Picture();
  // PNG keeps straight alpha when asked to.
  GetBitmapSurface(src)->At(1, 1) = 0x80FF0000;
  std::string path = testing_support::SheetPath("alpha.png");
  ASSERT_TRUE(SaveBitmapToPng(src, path, true));
  HBITMAP back = LoadBitmapFromFile(path);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(GetBitmapSurface(back)->At(1, 1), 0x80FF0000u);
  DeleteObject(back);
  DeleteObject(src);
}

TEST(GdiImageFiles, BadInputGivesNull) {
  HBITMAP src = Picture();
  std::vector<std::vector<uint8_t>> goods;
  for (const char* name : {"bad.png", "bad.bmp", "bad.jpg"}) {
    std::string p = testing_support::SheetPath(name);
    std::string n = name;
    if (n.ends_with("png")) SaveBitmapToPng(src, p);
    if (n.ends_with("bmp")) SaveBitmapToBmp(src, p);
    if (n.ends_with("jpg")) SaveBitmapToJpeg(src, p, 80);
    goods.push_back(ReadFile(p));
  }
  for (const auto& good : goods) {
    ASSERT_GT(good.size(), 40u);
    // Truncated at several points, including inside the header.
    for (size_t cut : {size_t(3), size_t(10), size_t(30), good.size() / 2, good.size() - 1}) {
      HBITMAP b = LoadBitmapFromMemory(good.data(), cut);
      if (b) {
        // A decoder may accept a file missing only its trailer; it must still be whole.
        EXPECT_EQ(GetBitmapSurface(b)->Width(), 5);
        DeleteObject(b);
      }
    }
    // Corrupted bytes after the signature.
    std::vector<uint8_t> bad = good;
    for (size_t i = 8; i < bad.size(); i += 7) bad[i] ^= 0x5A;
    if (HBITMAP b = LoadBitmapFromMemory(bad.data(), bad.size())) DeleteObject(b);
  }
  // A BMP header claiming a huge size with no pixels behind it.
  std::vector<uint8_t> bmp = goods[1];
  bmp[18] = 0xFF;
  bmp[19] = 0xFF;
  EXPECT_EQ(LoadBitmapFromMemory(bmp.data(), bmp.size()), nullptr);
  EXPECT_EQ(LoadBitmapFromMemory("GIF89a", 6), nullptr);
  EXPECT_EQ(LoadBitmapFromMemory(nullptr, 0), nullptr);
  EXPECT_EQ(LoadBitmapFromFile("/nonexistent/file.png"), nullptr);
  DeleteObject(src);
}

namespace {
uint32_t Crc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}
void PutBe(std::vector<uint8_t>& d, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) d[at + size_t(i)] = uint8_t(v >> (8 * (bytes - 1 - i)));
}
std::vector<uint8_t> SavedFile(const char* name, bool (*save)(HBITMAP, const std::string&), HBITMAP b) {
  std::string p = testing_support::SheetPath(name);
  EXPECT_TRUE(save(b, p));
  return ReadFile(p);
}
}  // namespace

TEST(GdiImageFiles, SizesTheDataCannotHoldAreRefusedBeforeAllocating) {
  HBITMAP src = Picture();
  // A PNG whose header announces 16384 x 16384 (its CRC made right) over one pixel of data.
  std::vector<uint8_t> png = SavedFile("huge.png", [](HBITMAP b, const std::string& p) { return SaveBitmapToPng(b, p); }, src);
  ASSERT_EQ(std::memcmp(png.data() + 12, "IHDR", 4), 0);
  PutBe(png, 16, 16384, 4);
  PutBe(png, 20, 16384, 4);
  PutBe(png, 29, Crc32(png.data() + 12, 17), 4);
  EXPECT_EQ(LoadBitmapFromMemory(png.data(), png.size()), nullptr);
  // A JPEG whose frame header announces 16384 x 16384.
  std::vector<uint8_t> jpg = SavedFile("huge.jpg", [](HBITMAP b, const std::string& p) { return SaveBitmapToJpeg(b, p, 80); }, src);
  size_t sof = 2;
  while (sof + 9 < jpg.size() && !(jpg[sof] == 0xFF && jpg[sof + 1] == 0xC0)) ++sof;
  ASSERT_LT(sof + 9, jpg.size());
  PutBe(jpg, sof + 5, 16384, 2);
  PutBe(jpg, sof + 7, 16384, 2);
  EXPECT_LT(jpg.size(), 1000u);
  EXPECT_EQ(LoadBitmapFromMemory(jpg.data(), jpg.size()), nullptr);
  DeleteObject(src);
}

TEST(GdiImageFiles, JpegCutInsideItsScanIsCorrupt) {
  HBITMAP src = CreateBitmap(64, 64, 1, 32, nullptr);
  TSurface* s = GetBitmapSurface(src);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) s->At(x, y) = uint32_t(x * 2654435761u ^ y * 40503u) & 0xFFFFFF;
  std::vector<uint8_t> jpg = SavedFile("cut.jpg", [](HBITMAP b, const std::string& p) { return SaveBitmapToJpeg(b, p, 90); }, src);
  HBITMAP whole = LoadBitmapFromMemory(jpg.data(), jpg.size());
  ASSERT_NE(whole, nullptr);
  DeleteObject(whole);
  EXPECT_EQ(LoadBitmapFromMemory(jpg.data(), jpg.size() * 6 / 10), nullptr);
  DeleteObject(src);
}
