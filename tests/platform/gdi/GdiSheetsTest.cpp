// Sheets for looking at: primitives, fonts and Japanese text, edges and frame controls.
// Each sheet is also checked for the structure that a glance would confirm.
#include <cstring>

#include "GdiTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {
constexpr COLORREF kFace = RGB(192, 192, 192);

void Label(HDC dc, int x, int y, const char* text) {
  SetBkMode(dc, TRANSPARENT);
  TextOut(dc, x, y, text, int(std::strlen(text)));
}
}  // namespace

TEST(GdiSheets, Primitives) {
  Canvas cv(360, 200);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SelectObject(cv.dc, font);
  Selected brush(cv.dc, CreateSolidBrush(RGB(90, 160, 255)));
  Rectangle(cv.dc, 10, 10, 60, 50);
  Ellipse(cv.dc, 70, 10, 120, 50);
  RoundRect(cv.dc, 130, 10, 190, 50, 16, 16);
  POINT star[] = {{225, 10}, {236, 45}, {205, 23}, {245, 23}, {214, 45}};
  SetPolyFillMode(cv.dc, WINDING);
  Polygon(cv.dc, star, 5);
  int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};
  for (int i = 0; i < 5; ++i) {
    Selected pen(cv.dc, CreatePen(styles[i], 1, RGB(0, 0, 0)));
    MoveToEx(cv.dc, 10, 65 + i * 6, nullptr);
    LineTo(cv.dc, 180, 65 + i * 6);
  }
  {
    Selected pen(cv.dc, CreatePen(PS_SOLID, 5, RGB(200, 0, 0)));
    MoveToEx(cv.dc, 200, 60, nullptr);
    LineTo(cv.dc, 340, 100);
  }
  int hatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
  for (int i = 0; i < 6; ++i) {
    HBRUSH h = CreateHatchBrush(hatches[i], RGB(0, 0, 128));
    RECT r(10 + i * 40, 105, 45 + i * 40, 135);
    FillRect(cv.dc, &r, h);
    DeleteObject(h);
  }
  TRIVERTEX v[2] = {{10, 145, 0xFF00, 0, 0, 0}, {170, 190, 0, 0, 0xFF00, 0}};
  GRADIENT_RECT gr{0, 1};
  GradientFill(cv.dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_H);
  RECT focus(180, 145, 340, 190);
  DrawFocusRect(cv.dc, &focus);
  Label(cv.dc, 190, 160, "focus rectangle");
  ASSERT_TRUE(SaveBitmapToPng(cv.bmp, testing_support::SheetPath("gdi_primitives.png")));
  EXPECT_EQ(cv.At(10, 10), RGB(0, 0, 0));
  SelectObject(cv.dc, GetStockObject(SYSTEM_FONT));
}

TEST(GdiSheets, Fonts) {
  Canvas cv(420, 260);
  struct Row {
    const char* face;
    int height, weight;
    bool italic;
    const char* text;
  } rows[] = {
      {"MS Sans Serif", -11, FW_NORMAL, false, "MS Sans Serif 8pt: The quick brown fox 0123"},
      {"Tahoma", -13, FW_BOLD, false, "Tahoma bold: Grouping grid"},
      {"Arial", -16, FW_NORMAL, true, "Arial italic 12pt"},
      {"Segoe UI", -12, FW_NORMAL, false, "Segoe UI: pivot grid fields"},
      {"Courier New", -13, FW_NORMAL, false, "Courier New: 1234567890"},
      {"\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf", -12, FW_NORMAL, false,
       "\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf: "
       "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\x86\xe3\x82\xad\xe3\x82\xb9\xe3\x83\x88 ABC"},
      {"\xef\xbc\xad\xef\xbc\xb3 \xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf", -16, FW_BOLD, false,
       "\xe9\x9b\x86\xe8\xa8\x88\xe3\x81\xa8\xe5\x88\x86\xe6\x9e\x90 CSV"},
      {"Unknown Face", -11, FW_NORMAL, false, "Unknown face falls back to the GUI font"},
  };
  int y = 4;
  for (const Row& r : rows) {
    Selected f(cv.dc, CreateFont(r.height, 0, 0, 0, r.weight, r.italic, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, r.face));
    Label(cv.dc, 6, y, r.text);
    TEXTMETRIC tm;
    GetTextMetrics(cv.dc, &tm);
    y += tm.tmHeight + 4;
  }
  // DrawText with word breaks, centred, inside a frame.
  Selected f(cv.dc, CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma"));
  RECT box(220, 150, 410, 250);
  FrameRect(cv.dc, &box, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  DrawText(cv.dc, "Drag a column header here to group by that column &now", -1, &box,
           DT_WORDBREAK | DT_CENTER | DT_EDITCONTROL);
  // Rotated text at 90 and 45 degrees from one reference point.
  for (int angle : {900, 450}) {
    Selected rf(cv.dc, CreateFont(-13, 0, angle, angle, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    Label(cv.dc, 360, 140, angle == 900 ? "Upward" : "Diagonal");
  }
  RECT one(6, 230, 200, 250);
  DrawText(cv.dc, "An end ellipsis shortens this long line", -1, &one, DT_SINGLELINE | DT_END_ELLIPSIS);
  ASSERT_TRUE(SaveBitmapToPng(cv.bmp, testing_support::SheetPath("gdi_fonts.png")));
}

TEST(GdiSheets, EdgesAndFrameControls) {
  Canvas cv(420, 230, kFace);
  SelectObject(cv.dc, GetStockObject(DEFAULT_GUI_FONT));
  struct EdgeCase {
    const char* name;
    UINT edge, flags;
  } edges[] = {
      {"raised", EDGE_RAISED, BF_RECT}, {"sunken", EDGE_SUNKEN, BF_RECT},
      {"etched", EDGE_ETCHED, BF_RECT}, {"bump", EDGE_BUMP, BF_RECT},
      {"soft", EDGE_RAISED, BF_RECT | BF_SOFT}, {"flat", EDGE_SUNKEN, BF_RECT | BF_FLAT},
      {"mono", EDGE_SUNKEN, BF_RECT | BF_MONO}, {"middle", BDR_RAISEDINNER, BF_RECT | BF_MIDDLE},
  };
  for (int i = 0; i < 8; ++i) {
    RECT r(10 + i * 50, 10, 55 + i * 50, 40);
    DrawEdge(cv.dc, &r, edges[i].edge, edges[i].flags);
    Label(cv.dc, r.Left, 42, edges[i].name);
  }
  struct FrameCase {
    UINT type, state;
  } frames[] = {
      {DFC_BUTTON, DFCS_BUTTONPUSH},
      {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
      {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT},
      {DFC_BUTTON, DFCS_BUTTONCHECK},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE},
      {DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_FLAT},
      {DFC_BUTTON, DFCS_BUTTONRADIO},
      {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
      {DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT},
      {DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT},
      {DFC_SCROLL, DFCS_SCROLLUP},
      {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED},
      {DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_INACTIVE},
      {DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_FLAT},
      {DFC_SCROLL, DFCS_SCROLLCOMBOBOX},
      {DFC_SCROLL, DFCS_SCROLLSIZEGRIP},
      {DFC_CAPTION, DFCS_CAPTIONCLOSE},
      {DFC_CAPTION, DFCS_CAPTIONMIN},
      {DFC_CAPTION, DFCS_CAPTIONMAX},
      {DFC_CAPTION, DFCS_CAPTIONRESTORE},
      {DFC_CAPTION, DFCS_CAPTIONHELP | DFCS_INACTIVE},
      {DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_PUSHED},
  };
  for (size_t i = 0; i < std::size(frames); ++i) {
    int col = int(i % 12), row = int(i / 12);
    RECT r(10 + col * 33, 70 + row * 40, 10 + col * 33 + (frames[i].type == DFC_BUTTON && i < 3 ? 30 : 16),
           70 + row * 40 + (frames[i].type == DFC_BUTTON && i >= 3 ? 13 : 16));
    if (frames[i].type == DFC_BUTTON && i >= 3) r.Right = r.Left + 13;
    EXPECT_TRUE(DrawFrameControl(cv.dc, &r, frames[i].type, frames[i].state));
  }
  // Magnified views of a check box and a radio button.
  Canvas cell(13, 13, kFace);
  RECT c13(0, 0, 13, 13);
  DrawFrameControl(cell.dc, &c13, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  StretchBlt(cv.dc, 10, 160, 65, 65, cell.dc, 0, 0, 13, 13, SRCCOPY);
  cell.Clear(kFace);
  DrawFrameControl(cell.dc, &c13, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  StretchBlt(cv.dc, 85, 160, 65, 65, cell.dc, 0, 0, 13, 13, SRCCOPY);
  ASSERT_TRUE(SaveBitmapToPng(cv.bmp, testing_support::SheetPath("gdi_edges.png")));
  SelectObject(cv.dc, GetStockObject(SYSTEM_FONT));

  // A raised edge: light outside top-left, dark shadow outside bottom-right.
  Canvas e(6, 6, RGB(1, 2, 3));
  RECT r(0, 0, 6, 6);
  DrawEdge(e.dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
  EXPECT_EQ(r, RECT(2, 2, 4, 4));
  EXPECT_EQ(e.At(0, 2), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(e.At(1, 2), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(e.At(5, 2), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(e.At(4, 2), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(e.At(5, 0), GetSysColor(COLOR_3DDKSHADOW));  // the corner belongs to the dark side
  EXPECT_EQ(e.At(2, 2), RGB(1, 2, 3));                   // no middle without BF_MIDDLE
}

TEST(GdiFrameControls, RadioMaskAndDotGeometry) {
  // The radio mask on a black cell: white around a black circle; the checked flat image has
  // a window-text dot in the middle.
  Canvas cell(13, 13, RGB(0, 0, 0));
  RECT r(0, 0, 13, 13);
  DrawFrameControl(cell.dc, &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  int cols = 0, left0 = -1;
  for (int x = 0; x < 13; ++x) {
    bool any = false;
    for (int y = 0; y < 13; ++y) any |= cell.At(x, y) == RGB(0, 0, 0);
    if (any) {
      if (left0 < 0) left0 = x;
      ++cols;
    }
  }
  EXPECT_EQ(cols, 12);
  EXPECT_EQ(left0, 0);
  EXPECT_EQ(cell.At(12, 6), RGB(255, 255, 255));
  cell.Clear(RGB(0, 0, 0));
  DrawFrameControl(cell.dc, &r, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
  COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_EQ(cell.At(5, 4), text);
  EXPECT_EQ(cell.At(4, 5), text);
  EXPECT_NE(cell.At(5, 3), text);
  EXPECT_NE(cell.At(5, 8), text);
  EXPECT_EQ(cell.At(6, 6), text);
}

TEST(GdiFrameControls, CheckBoxesBitmapHasTwelveCells) {
  HBITMAP b = LoadSystemBitmap(OBM_CHECKBOXES);
  ASSERT_NE(b, nullptr);
  BITMAP bm;
  GetObject(b, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmWidth / 4, 13);
  EXPECT_EQ(bm.bmHeight / 3, 13);
  // The checked check box differs from the unchecked one only inside its box.
  TSurface* s = GetBitmapSurface(b);
  int differ = 0;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 13; ++x) differ += s->At(x, y) != s->At(13 + x, y);
  EXPECT_GT(differ, 10);
  EXPECT_TRUE(SaveBitmapToPng(b, testing_support::SheetPath("gdi_checkboxes.png")));
  DeleteObject(b);
  EXPECT_EQ(LoadSystemBitmap(1), nullptr);
}
