// The file extension registered for a picture class.
#include <gtest/gtest.h>

#include "vcl/Graphics.h"

namespace {

class TTestBitmap : public TBitmap {
  KORVAN_CLASS(TTestBitmap, TBitmap)
};
KORVAN_IMPLEMENT_CLASS(TTestBitmap)

TEST(GraphicExtension, TheNewestExtensionOfTheClassOrItsAncestor) {
  struct Case {
    TGraphicClass cls;
    String ext;
  };
  const Case cases[] = {
      {TBitmap::StaticClass(), "bmp"},     {TJPEGImage::StaticClass(), "jpg"},
      {TMetafile::StaticClass(), "emf"},   {TIcon::StaticClass(), "ico"},
      {TTestBitmap::StaticClass(), "bmp"}, {TGraphic::StaticClass(), ""},
      {nullptr, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(GraphicExtension(c.cls), c.ext) << (c.cls ? c.cls->Name() : "nil");
  TPicture::RegisterFileFormat("tbm", "Test bitmaps", TTestBitmap::StaticClass());
  EXPECT_EQ(GraphicExtension(TTestBitmap::StaticClass()), "tbm");
  EXPECT_EQ(GraphicExtension(TBitmap::StaticClass()), "bmp");
}

}  // namespace
