// Draws the pictures of the additional editors with the platform's own graphics and writes
// each as a PNG file into <dir> (editors-extra/resources): the image editor's menu images
// (CXMENUIMAGE_*, on the bottom-left pixel's colour as the mask) and the BLOB editor's icons
// (CXBMBLOB_*, on olive as the mask) and the filter builder's icon (CXFILTERBUILDER_ICON, on
// magenta as the mask). Run by hand after changing a drawing:
//   build/editors-extra/editors_extra_pictures editors-extra/resources
#include <cstdio>
#include <functional>

#include "vcl/Graphics.h"

namespace {

constexpr TColor kMenuBack = TColor(0xFF00FF);
constexpr TColor kBlobBack = TColor(0x008080);  // olive
constexpr TColor kInk = TColor(0x000000);
constexpr TColor kPaper = TColor(0xFFFFFF);
constexpr TColor kGrey = TColor(0x808080);

void Save(const std::string& dir, const char* name, TColor back, const std::function<void(TCanvas*)>& draw) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(16, 16);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(back);
  c->FillRect(TRect(0, 0, 16, 16));
  c->Pen()->SetColor(kInk);
  draw(c);
  b.SaveToPngFile(dir + "/" + name + ".png");
}

void Page(TCanvas* c, const TRect& r, bool lines) {
  c->Brush()->SetColor(kPaper);
  c->Pen()->SetColor(kInk);
  c->Rectangle(r);
  if (!lines) return;
  c->Pen()->SetColor(TColor(0x804000));
  for (Integer y = r.Top + 3; y < r.Bottom - 2; y += 2) {
    c->MoveTo(r.Left + 2, y);
    c->LineTo(r.Right - 2, y);
  }
}

void Picture(TCanvas* c, bool filled) {
  c->Brush()->SetColor(filled ? TColor(0xF0C080) : kPaper);
  c->Pen()->SetColor(kInk);
  c->Rectangle(TRect(1, 3, 15, 14));
  if (!filled) return;
  c->Brush()->SetColor(TColor(0x00D0FF));
  c->Pen()->SetColor(TColor(0x00A0E0));
  c->Ellipse(10, 5, 13, 8);
  c->Brush()->SetColor(TColor(0x208020));
  c->Pen()->SetColor(TColor(0x106010));
  const std::vector<TPoint> hill = {{2, 12}, {6, 7}, {9, 10}, {11, 8}, {13, 12}};
  c->Polygon(hill);
}

void Ole(TCanvas* c, bool filled) {
  c->Brush()->SetColor(filled ? TColor(0xC0C0C0) : kPaper);
  c->Pen()->SetColor(kInk);
  c->Rectangle(TRect(1, 2, 15, 14));
  if (!filled) return;
  c->Brush()->SetColor(TColor(0x0000C0));
  c->Ellipse(3, 4, 9, 10);
  c->Brush()->SetColor(TColor(0xC00000));
  c->Rectangle(TRect(7, 7, 13, 12));
}

void Blob(TCanvas* c, bool filled) {
  c->Brush()->SetColor(kPaper);
  c->Pen()->SetColor(kInk);
  c->Rectangle(TRect(2, 1, 14, 15));
  if (!filled) return;
  // Rows of bits.
  for (Integer y = 3; y < 13; y += 3)
    for (Integer x = 4; x < 12; x += 2) {
      c->Brush()->SetColor(((x + y) / 2) % 2 ? kInk : kGrey);
      c->FillRect(TRect(x, y, x + 1, y + 2));
    }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "editors-extra/resources";
  Save(dir, "CXMENUIMAGE_CUT", kMenuBack, [](TCanvas* c) {
    c->Pen()->SetColor(kInk);
    c->MoveTo(4, 1);
    c->LineTo(10, 10);
    c->MoveTo(11, 1);
    c->LineTo(5, 10);
    c->Brush()->SetColor(kMenuBack);
    c->Pen()->SetColor(TColor(0x800000));
    c->Ellipse(1, 9, 7, 15);
    c->Ellipse(9, 9, 15, 15);
  });
  Save(dir, "CXMENUIMAGE_COPY", kMenuBack, [](TCanvas* c) {
    Page(c, TRect(1, 1, 10, 12), true);
    Page(c, TRect(6, 4, 15, 15), true);
  });
  Save(dir, "CXMENUIMAGE_PASTE", kMenuBack, [](TCanvas* c) {
    c->Brush()->SetColor(TColor(0x3070B0));
    c->Rectangle(TRect(1, 2, 12, 15));
    c->Brush()->SetColor(kGrey);
    c->Rectangle(TRect(4, 1, 9, 4));
    Page(c, TRect(7, 6, 15, 15), true);
  });
  Save(dir, "CXMENUIMAGE_DELETE", kMenuBack, [](TCanvas* c) {
    c->Pen()->SetColor(TColor(0x0000D0));
    c->Pen()->SetWidth(2);
    c->MoveTo(3, 3);
    c->LineTo(13, 13);
    c->MoveTo(13, 3);
    c->LineTo(3, 13);
  });
  Save(dir, "CXMENUIMAGE_LOAD", kMenuBack, [](TCanvas* c) {
    c->Brush()->SetColor(TColor(0x40C0F0));
    const std::vector<TPoint> folder = {{1, 4}, {5, 4}, {6, 5}, {13, 5}, {13, 14}, {1, 14}};
    c->Polygon(folder);
    c->Brush()->SetColor(TColor(0x80E0FF));
    const std::vector<TPoint> front = {{3, 8}, {15, 8}, {13, 14}, {1, 14}};
    c->Polygon(front);
  });
  Save(dir, "CXMENUIMAGE_SAVE", kMenuBack, [](TCanvas* c) {
    c->Brush()->SetColor(TColor(0x804020));
    c->Rectangle(TRect(1, 1, 15, 15));
    c->Brush()->SetColor(kPaper);
    c->Rectangle(TRect(4, 1, 12, 7));
    c->Brush()->SetColor(kGrey);
    c->Rectangle(TRect(4, 10, 12, 15));
  });
  Save(dir, "CXBMBLOB_BLOB_NULL", kBlobBack, [](TCanvas* c) { Blob(c, false); });
  Save(dir, "CXBMBLOB_BLOB", kBlobBack, [](TCanvas* c) { Blob(c, true); });
  Save(dir, "CXBMBLOB_MEMO_NULL", kBlobBack, [](TCanvas* c) { Page(c, TRect(2, 1, 14, 15), false); });
  Save(dir, "CXBMBLOB_MEMO", kBlobBack, [](TCanvas* c) { Page(c, TRect(2, 1, 14, 15), true); });
  Save(dir, "CXBMBLOB_PICT_NULL", kBlobBack, [](TCanvas* c) { Picture(c, false); });
  Save(dir, "CXBMBLOB_PICT", kBlobBack, [](TCanvas* c) { Picture(c, true); });
  Save(dir, "CXBMBLOB_OLE_NULL", kBlobBack, [](TCanvas* c) { Ole(c, false); });
  Save(dir, "CXBMBLOB_OLE", kBlobBack, [](TCanvas* c) { Ole(c, true); });
  // The filter builder dialog's icon: a funnel.
  Save(dir, "CXFILTERBUILDER_ICON", kMenuBack, [](TCanvas* c) {
    c->Brush()->SetColor(TColor(0xE0A040));
    c->Pen()->SetColor(TColor(0x603000));
    const std::vector<TPoint> funnel = {{1, 2}, {14, 2}, {9, 8}, {9, 14}, {6, 12}, {6, 8}};
    c->Polygon(funnel);
    c->Pen()->SetColor(TColor(0xF8E0B0));
    c->MoveTo(3, 3);
    c->LineTo(12, 3);
  });
  std::printf("pictures written to %s\n", dir.c_str());
  return 0;
}
