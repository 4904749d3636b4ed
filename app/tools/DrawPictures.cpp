// Draws the program's pictures (the banner of the main window and the button glyphs) with the
// platform's own graphics, writes each as a PNG file into <app>/res/, and writes the same PNG
// bytes into the picture data of the form descriptions (<app>/Unit*.dfm), so that the forms
// carry exactly the committed drawings. Run by hand after changing a drawing:
//   build/app/korvan_pictures app
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "gdi/Gdi.h"
#include "rtl/SysUtils.h"
#include "vcl/Graphics.h"

namespace {

// The glyphs' background; the button takes the bottom-left pixel as transparent.
constexpr TColor kGlyphBack = TColor(0xFF00FF);

std::unique_ptr<TBitmap> NewBitmap(int w, int h, TColor back) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(back);
  c->FillRect(TRect(0, 0, w, h));
  return b;
}

void Gradient(TCanvas* c, const TRect& r, TColor from, TColor to, bool vertical) {
  GradientFillRect(c->Handle(), r, COLORREF(from), COLORREF(to), vertical);
}

// The banner: a blue band fading to white, a small bar chart over a table sign, the title and
// a line about what the program does.
std::unique_ptr<TBitmap> Banner() {
  auto b = NewBitmap(686, 61, clWhite);
  TCanvas* c = b->Canvas();
  Gradient(c, TRect(0, 0, 686, 61), TColor(0x7A3A10), TColor(0xF8E8D8), false);
  // The sign: a grid of cells with three bars in front.
  c->Pen()->SetColor(clWhite);
  c->Brush()->SetColor(TColor(0xC08040));
  c->Rectangle(12, 8, 56, 52);
  for (int x = 12; x < 56; x += 11) {
    c->MoveTo(x, 8);
    c->LineTo(x, 52);
  }
  for (int y = 8; y < 52; y += 11) {
    c->MoveTo(12, y);
    c->LineTo(56, y);
  }
  const int heights[] = {18, 30, 24};
  const TColor bars[] = {TColor(0x40C0FF), TColor(0x60E060), TColor(0x4040F0)};
  for (int i = 0; i < 3; ++i) {
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(bars[i]);
    c->Rectangle(34 + i * 9, 54 - heights[i], 42 + i * 9, 54);
  }
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetName("Tahoma");
  c->Font()->SetHeight(-26);
  c->Font()->SetStyle({fsBold});
  c->Font()->SetColor(clWhite);
  c->TextOut(74, 6, "Korvan for CSV");
  c->Font()->SetHeight(-12);
  c->Font()->SetStyle({});
  c->Font()->SetColor(TColor(0xFFF0E0));
  c->TextOut(76, 38, "Group, cross-tabulate and export the records of a CSV file");
  return b;
}

// Glyphs of 16 x 16 pixels on the transparent background.
std::unique_ptr<TBitmap> Glyph(const String& kind) {
  auto b = NewBitmap(16, 16, kGlyphBack);
  TCanvas* c = b->Canvas();
  c->Pen()->SetColor(clBlack);
  if (kind == "Import") {
    // A sheet with rows and a green arrow coming in.
    c->Brush()->SetColor(clWhite);
    c->Rectangle(5, 1, 15, 15);
    c->Pen()->SetColor(clGray);
    for (int y = 4; y < 14; y += 3) {
      c->MoveTo(7, y);
      c->LineTo(13, y);
    }
    c->Pen()->SetColor(TColor(0x008000));
    c->Brush()->SetColor(TColor(0x20C020));
    c->Polygon({{0, 6}, {5, 6}, {5, 3}, {10, 8}, {5, 13}, {5, 10}, {0, 10}});
  } else if (kind == "Fitting") {
    // Two arrows apart between two bars.
    c->Pen()->SetColor(TColor(0x800000));
    c->Brush()->SetColor(TColor(0xC06020));
    c->Rectangle(0, 2, 2, 14);
    c->Rectangle(14, 2, 16, 14);
    c->Polygon({{3, 8}, {7, 4}, {7, 12}});
    c->Polygon({{12, 8}, {8, 4}, {8, 12}});
  } else if (kind == "Export") {
    // A sheet with a blue arrow going out.
    c->Brush()->SetColor(clWhite);
    c->Rectangle(1, 1, 11, 15);
    c->Pen()->SetColor(clGray);
    for (int y = 4; y < 14; y += 3) {
      c->MoveTo(3, y);
      c->LineTo(9, y);
    }
    c->Pen()->SetColor(TColor(0x800000));
    c->Brush()->SetColor(TColor(0xF08030));
    c->Polygon({{6, 6}, {11, 6}, {11, 3}, {15, 8}, {11, 13}, {11, 10}, {6, 10}});
  } else if (kind == "About") {
    // A blue disc with an "i".
    c->Pen()->SetColor(TColor(0x800000));
    c->Brush()->SetColor(TColor(0xE07020));
    c->Ellipse(0, 0, 16, 16);
    c->Pen()->SetColor(clWhite);
    c->Brush()->SetColor(clWhite);
    c->Rectangle(7, 3, 9, 5);
    c->Rectangle(7, 6, 9, 13);
  } else if (kind == "Exit") {
    // A door with a red arrow leaving.
    c->Brush()->SetColor(TColor(0x3070B0));
    c->Rectangle(1, 0, 9, 16);
    c->Pen()->SetColor(TColor(0x000080));
    c->Brush()->SetColor(TColor(0x2020E0));
    c->Polygon({{6, 6}, {11, 6}, {11, 3}, {15, 8}, {11, 13}, {11, 10}, {6, 10}});
  } else if (kind == "Ok") {
    // A green tick.
    c->Pen()->SetColor(TColor(0x006000));
    c->Brush()->SetColor(TColor(0x20B020));
    c->Polygon({{1, 8}, {4, 5}, {7, 8}, {13, 1}, {15, 4}, {7, 14}});
  } else if (kind == "Save") {
    // A disk.
    c->Brush()->SetColor(TColor(0x905030));
    c->Rectangle(1, 1, 15, 15);
    c->Brush()->SetColor(clWhite);
    c->Rectangle(4, 1, 12, 7);
    c->Brush()->SetColor(clSilver);
    c->Rectangle(4, 10, 12, 15);
  } else if (kind == "Cancel") {
    // A red cross.
    c->Pen()->SetColor(TColor(0x000080));
    c->Brush()->SetColor(TColor(0x2020E0));
    c->Polygon({{1, 3}, {3, 1}, {8, 6}, {13, 1}, {15, 3}, {10, 8}, {15, 13}, {13, 15}, {8, 10}, {3, 15}, {1, 13}, {6, 8}});
  }
  return b;
}

String ReadFile(const String& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const String& path, const String& data) {
  std::ofstream out(path, std::ios::binary);
  out << data;
}

// The picture data as form text writes binary data: hexadecimal, 32 bytes a line.
String HexBlock(const String& bytes, const String& indent) {
  static const char* digits = "0123456789ABCDEF";
  String out = "{";
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i % 32 == 0) out += "\n" + indent;
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out + "}";
}

String Int32(size_t n) {
  String s(4, '\0');
  for (int i = 0; i < 4; ++i) s[size_t(i)] = char((n >> (8 * i)) & 0xFF);
  return s;
}

// Replaces the value of `property` (a binary block) inside `object name: ...`.
bool PatchForm(String& text, const String& object, const String& property, const String& data) {
  size_t at = text.find("object " + object + ":");
  if (at == String::npos) return false;
  size_t p = text.find(property + " = {", at);
  size_t nextObject = text.find("object ", at + 7);
  if (p == String::npos || (nextObject != String::npos && p > nextObject)) return false;
  size_t lineStart = text.rfind('\n', p) + 1;
  String indent = text.substr(lineStart, p - lineStart) + "  ";
  size_t end = text.find('}', p);
  text.replace(p, end + 1 - p, property + " = " + HexBlock(data, indent));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <app directory>\n", argv[0]);
    return 2;
  }
  String dir = argv[1];
  InitializeGraphics();
  std::map<String, String> png;  // picture name -> PNG bytes
  auto save = [&](const String& name, TBitmap* b) {
    String path = dir + "/res/" + name + ".png";
    b->SaveToPngFile(path, false);
    png[name] = ReadFile(path);
  };
  save("Banner", Banner().get());
  for (const char* g : {"Import", "Fitting", "Export", "About", "Exit", "Ok", "Save", "Cancel"})
    save(String(g) + "Glyph", Glyph(g).get());

  struct Use {
    const char* Form;
    const char* Object;
    const char* Picture;
  };
  const Use uses[] = {{"Unit1", "Image1", "Banner"},       {"Unit1", "cxButton18", "ImportGlyph"},
                      {"Unit1", "cxButton12", "FittingGlyph"}, {"Unit1", "cxButton16", "ExportGlyph"},
                      {"Unit1", "cxButton7", "AboutGlyph"},    {"Unit1", "cxButton13", "ExitGlyph"},
                      {"Unit2", "cxButton1", "OkGlyph"},       {"Unit3", "cxButton4", "SaveGlyph"},
                      {"Unit3", "cxButton19", "CancelGlyph"}};
  std::map<String, String> forms;
  for (const Use& u : uses) {
    String path = dir + "/" + u.Form + ".dfm";
    if (!forms.count(path)) forms[path] = ReadFile(path);
    const String& bytes = png[u.Picture];
    // A picture names its graphic class first; a glyph is a bitmap's data alone.
    bool isImage = String(u.Object) == "Image1";
    String data = isImage ? String("\x07TBitmap") + Int32(bytes.size()) + bytes : Int32(bytes.size()) + bytes;
    if (!PatchForm(forms[path], u.Object, isImage ? "Picture.Data" : "Glyph.Data", data)) {
      std::fprintf(stderr, "%s: no picture data of %s\n", path.c_str(), u.Object);
      return 1;
    }
  }
  for (auto& [path, text] : forms) WriteFile(path, text);
  return 0;
}
