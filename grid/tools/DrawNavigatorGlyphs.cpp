// Draws the data navigator's fifteen button glyphs (12 x 11 each, side by side in button order:
// first, prior page, prior, next, next page, last, insert, delete, edit, post, cancel, refresh,
// save bookmark, go to bookmark, filter) on olive, the colour that the navigator's image list
// makes transparent, and writes them as CXNAVIGATORBUTTONS.png into <dir> (grid/resources).
// Run by hand after changing a drawing:
//   build/grid/grid_navigator_glyphs grid/resources
#include <functional>
#include <string>
#include <vector>

#include "vcl/Graphics.h"

namespace {

constexpr Integer kWidth = 12, kHeight = 11, kCount = 15;
constexpr TColor kOlive = TColor(0x008080);
constexpr TColor kInk = TColor(0x000000);
constexpr TColor kRed = TColor(0x0000C0);
constexpr TColor kGreen = TColor(0x008000);
constexpr TColor kBlue = TColor(0x800000);

// One glyph: drawing calls take coordinates inside its 12 x 11 cell.
class TGlyph {
 public:
  TGlyph(TCanvas* canvas, Integer index) : c_(canvas), left_(index * kWidth) {}
  void Pixel(Integer x, Integer y, TColor color) { c_->SetPixels(left_ + x, y, color); }
  void Box(Integer x1, Integer y1, Integer x2, Integer y2, TColor color) {
    for (Integer y = y1; y <= y2; ++y)
      for (Integer x = x1; x <= x2; ++x) Pixel(x, y, color);
  }
  // A solid triangle pointing left or right with its tip at (tipX, 5), `depth` columns deep.
  void Arrow(Integer tipX, bool right, Integer depth, TColor color) {
    for (Integer i = 0; i < depth; ++i) {
      Integer x = right ? tipX - i : tipX + i;
      Box(x, 5 - i, x, 5 + i, color);
    }
  }

 private:
  TCanvas* c_;
  Integer left_;
};

// A bookmark ribbon with a notch at its foot.
void Ribbon(TGlyph& g) {
  g.Box(1, 1, 5, 9, kBlue);
  g.Box(3, 8, 3, 9, kOlive);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "grid/resources";
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(kWidth * kCount, kHeight);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(kOlive);
  c->FillRect(TRect(0, 0, kWidth * kCount, kHeight));
  const std::vector<std::function<void(TGlyph&)>> glyphs = {
      [](TGlyph& g) {  // first
        g.Box(2, 1, 3, 9, kInk);
        g.Arrow(4, false, 5, kInk);
      },
      [](TGlyph& g) {  // prior page
        g.Arrow(1, false, 5, kInk);
        g.Arrow(6, false, 5, kInk);
      },
      [](TGlyph& g) { g.Arrow(4, false, 5, kInk); },  // prior
      [](TGlyph& g) { g.Arrow(7, true, 5, kInk); },   // next
      [](TGlyph& g) {                                  // next page
        g.Arrow(5, true, 5, kInk);
        g.Arrow(10, true, 5, kInk);
      },
      [](TGlyph& g) {  // last
        g.Arrow(7, true, 5, kInk);
        g.Box(8, 1, 9, 9, kInk);
      },
      [](TGlyph& g) {  // insert
        g.Box(5, 1, 6, 9, kInk);
        g.Box(1, 5, 10, 6, kInk);
      },
      [](TGlyph& g) { g.Box(1, 5, 10, 6, kInk); },  // delete
      [](TGlyph& g) {                                // edit: a triangle pointing up
        for (Integer i = 0; i < 5; ++i) g.Box(5 - i, 3 + i, 6 + i, 3 + i, kInk);
      },
      [](TGlyph& g) {  // post: a check mark
        for (Integer i = 0; i < 3; ++i) g.Box(2 + i, 5 + i, 2 + i, 6 + i, kGreen);
        for (Integer i = 0; i < 6; ++i) g.Box(5 + i, 6 - i, 5 + i, 7 - i, kGreen);
      },
      [](TGlyph& g) {  // cancel: a cross
        for (Integer i = 0; i < 8; ++i) {
          g.Box(2 + i, 1 + i, 3 + i, 1 + i, kRed);
          g.Box(2 + i, 8 - i, 3 + i, 8 - i, kRed);
        }
      },
      [](TGlyph& g) {  // refresh: a round arrow, open at the top right, with its head
        g.Box(4, 1, 7, 1, kBlue);
        g.Box(2, 2, 3, 2, kBlue);
        g.Box(1, 3, 1, 6, kBlue);
        g.Box(2, 7, 3, 7, kBlue);
        g.Box(4, 8, 7, 8, kBlue);
        g.Box(8, 7, 9, 7, kBlue);
        g.Box(10, 4, 10, 6, kBlue);
        g.Box(7, 2, 10, 2, kBlue);
        g.Box(10, 0, 10, 3, kBlue);
      },
      [](TGlyph& g) {  // save bookmark: a ribbon with a plus
        Ribbon(g);
        g.Box(9, 2, 9, 6, kInk);
        g.Box(7, 4, 11, 4, kInk);
      },
      [](TGlyph& g) {  // go to bookmark: a ribbon with an arrow
        Ribbon(g);
        g.Box(6, 5, 8, 5, kInk);
        g.Arrow(11, true, 3, kInk);
      },
      [](TGlyph& g) {  // filter: a funnel
        for (Integer i = 0; i < 5; ++i) g.Box(1 + i, 1 + i, 10 - i, 1 + i, kInk);
        g.Box(5, 6, 6, 9, kInk);
      },
  };
  for (Integer i = 0; i < kCount; ++i) {
    TGlyph g(c, i);
    glyphs[size_t(i)](g);
  }
  b.SaveToPngFile(dir + "/CXNAVIGATORBUTTONS.png");
  return 0;
}
