// Renders every element of every painter in every state side by side into one sheet
// (painters_gallery.png in the sheets directory) for comparison by eye.
#include "tests/foundation/PainterTestUtil.h"
#include "tests/support/TestSupport.h"

using namespace paintertest;

namespace {

const TcxButtonState kStates[] = {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};

// Draws one painter's column with its top-left at (x0, y0); returns the height used.
Integer DrawColumn(TcxCanvas* c, const TcxCustomLookAndFeelPainter* p, const String& title, Integer x0, Integer y0) {
  TFont font;
  font.SetName("Tahoma");
  font.SetSize(8);
  Integer y = y0;
  auto label = [&](const String& text) {
    c->ApplyFont(&font);
    c->CurrentFont()->SetColor(clBlack);
    c->CurrentBrush()->SetStyle(bsClear);
    c->OutputText(text, TRect(x0, y, x0 + 300, y + 14), ctfLeft | ctfTop | ctfSingleLine);
    c->CurrentBrush()->SetStyle(bsSolid);
    y += 15;
  };
  label(title);
  // Buttons in every state.
  for (int i = 0; i < 5; ++i) {
    c->ApplyFont(&font);
    p->PaintButton(c, Bounds(x0 + i * 56, y, 52, 23), "&Go", kStates[i]);
  }
  y += 28;
  // Check boxes, unchecked then checked; radio buttons likewise.
  for (int i = 0; i < 5; ++i)
    for (int k = 0; k < 2; ++k) p->PaintCheckBox(c, Bounds(x0 + i * 34 + k * 16, y, 13, 13), kStates[i], k == 1);
  y += 17;
  for (int i = 0; i < 5; ++i)
    for (int k = 0; k < 2; ++k)
      p->PaintRadioButton(c, x0 + i * 34 + k * 16, y, kStates[i], k == 1, false, clDefault);
  p->PaintRadioButton(c, x0 + 175, y, cxbsNormal, true, true, clDefault);
  y += 18;
  // Expand buttons: big, small, group (both ways, every state).
  for (int k = 0; k < 2; ++k) {
    c->PushDeviceState();
    Integer e = std::max<Integer>(p->ExpandButtonExtent(), 9);
    p->PaintExpandButton(c, Bounds(x0 + k * 18, y, e, e), k == 1);
    c->PopDeviceState();
    Integer s = p->SmallExpandButtonExtent();
    p->PaintSmallExpandButton(c, Bounds(x0 + 40 + k * 14, y, s, s), k == 1, clBtnShadow, clWindow);
  }
  for (int i = 0; i < 5; ++i) {
    p->PaintGroupExpandButton(c, Bounds(x0 + 72 + i * 36, y, 15, 15), false, kStates[i]);
    p->PaintGroupExpandButton(c, Bounds(x0 + 90 + i * 36, y, 15, 15), true, kStates[i]);
  }
  y += 20;
  // Headers with sort marks, a row of neighbouring cells; then header sections.
  for (int i = 0; i < 5; ++i) {
    TRect r = Bounds(x0 + i * 56, y, 56, 20);
    TcxNeighbors n;
    if (i > 0) n += nLeft;
    if (i < 4) n += nRight;
    TcxBorders b = p->HeaderFrameSides(n);
    p->PaintHeader(c, r, GrowRect(r, -3, -2), n, b, kStates[i], taLeftJustify, vaCenter, false, true, "Col", &font,
                   p->HeaderTextColor(), p->HeaderColor(), nullptr, i == 4);
    TPoint m = p->SortMarkExtent();
    p->PaintSortMark(c, Bounds(r.Right - 16, r.Top, 14, r.Height()), i % 2 == 0);
    (void)m;
  }
  y += 24;
  for (int i = 0; i < 5; ++i) {
    TRect r = Bounds(x0 + i * 56, y, 54, 20);
    p->PaintHeaderSection(c, r, GrowRect(r, -3, -2), {}, cxBordersAll, kStates[i], taCenter, vaCenter, false, false,
                          "Sec", &font, clBtnText, clBtnFace);
  }
  y += 24;
  // Footer band with cells; filter buttons.
  TRect band = Bounds(x0, y, 280, 24);
  c->FillRectColor(band, p->FooterColor());
  p->PaintFooterFrame(c, band);
  for (int i = 0; i < 3; ++i)
    p->PaintFooterCell(c, Bounds(x0 + 4 + i * 90, y + 3, 84, 18), taRightJustify, vaCenter, false, "1,234", &font,
                       p->FooterTextColor(), p->FooterColor());
  y += 28;
  for (int i = 0; i < 5; ++i) {
    p->PaintFilterDropDownButton(c, Bounds(x0 + i * 56, y, 15, 17), kStates[i], i == 1);
    TPoint ce = p->FilterCloseButtonExtent();
    p->PaintFilterCloseButton(c, Bounds(x0 + i * 56 + 18, y, ce.X, ce.Y), kStates[i]);
    p->PaintFilterActivateButton(c, Bounds(x0 + i * 56 + 38, y + 2, 13, 13), kStates[i], i % 2 == 1);
  }
  y += 22;
  // Arrows, arrow buttons, state arrows.
  for (int d = 0; d < 4; ++d) p->PaintArrow(c, Bounds(x0 + d * 14, y, 12, 12), TcxArrowDirection(d), clBtnText);
  for (int i = 0; i < 5; ++i) {
    p->PaintArrowButton(c, Bounds(x0 + 60 + i * 20, y, 17, 17), kStates[i], adDown, true);
    p->PaintStateArrow(c, Bounds(x0 + 165 + i * 20, y, 17, 17), kStates[i], adRight);
  }
  y += 22;
  // Scroll bars: one horizontal bar per state (disabled shows no thumb).
  for (int i = 1; i < 5; ++i) {
    const TcxScrollBarPart parts[] = {sbpLineUp, sbpPageUp, sbpThumb, sbpPageDown, sbpLineDown};
    const Integer widths[] = {17, 40, 50, 60, 17};
    Integer x = x0;
    for (int k = 0; k < 5; ++k) {
      p->PaintScrollBarPart(c, true, Bounds(x, y, widths[k], 17), parts[k], kStates[i]);
      x += widths[k];
    }
    p->PaintScrollBarPart(c, false, Bounds(x0 + 200 + i * 18, y - (i - 1) * 19, 17, 17), sbpLineUp, kStates[i]);
    y += 19;
  }
  p->PaintSizeGrip(c, Bounds(x0 + 190, y - 19, 17, 17), clBtnFace);
  y += 4;
  // Tabs above a pane.
  TRect pane = Bounds(x0, y + 20, 280, 24);
  p->PaintTabPane(c, pane, TcxBorders{bLeft, bRight, bBottom}, false);
  c->FillRectColor(TRect(pane.Left, pane.Top, pane.Right, pane.Top + p->TabFrameWidth(false)), p->TabColor());
  for (int i = 0; i < 3; ++i) {
    bool selected = i == 1;
    TRect r = Bounds(x0 + i * 64, y + (selected ? 0 : 2), 64, selected ? 21 : 18);
    c->FillRectColor(r, p->TabColor());
    p->PaintTab(c, r, cxBordersAll, "Tab", selected ? cxbsPressed : cxbsNormal, false, &font, clBtnText, p->TabColor());
    for (TcxBorder side : {bLeft, bTop, bRight}) {
      TRect strip = side == bLeft ? TRect(r.Left, r.Top, r.Left + 1, r.Bottom)
                    : side == bTop ? TRect(r.Left, r.Top, r.Right, r.Top + 1)
                                   : TRect(r.Right - 1, r.Top, r.Right, r.Bottom);
      p->PaintTabFrame(c, strip, side, cxBordersAll, false);
    }
  }
  y += 48;
  // Indicator cells, navigator buttons, a month header and a bordered box.
  p->PaintIndicatorHeader(c, Bounds(x0, y, 14, 18), ikNone, p->HeaderColor());
  for (int k = 1; k <= 6; ++k) p->PaintIndicatorItem(c, Bounds(x0 + k * 14, y, 14, 18), k, p->HeaderColor());
  for (int i = 0; i < 5; ++i) p->PaintNavigatorButton(c, Bounds(x0 + 104 + i * 20, y, 18, 18), kStates[i]);
  y += 22;
  TcxStyleParams params;
  params.Font = &font;
  params.Color = p->HeaderColor();
  params.TextColor = clBtnText;
  p->PaintMonthHeader(c, Bounds(x0, y, 140, 20), "May 2026", {nRight}, params, {haLeft}, 8);
  p->PaintMonthHeader(c, Bounds(x0 + 140, y, 140, 20), "June 2026", {nLeft}, params, {haRight}, 8);
  y += 24;
  TRect box = Bounds(x0, y, 120, 30);
  c->FillRectColor(box, clWindow);
  p->PaintControlBorder(c, box);
  TcxStyleParams split;
  split.Color = clBtnFace;
  p->PaintSplitterFrame(c, Bounds(x0 + 130, y, 150, 6), split, true);
  p->PaintSplitterFrame(c, Bounds(x0 + 130, y + 10, 6, 20), split, false);
  y += 34;
  return y - y0;
}

}  // namespace

TEST_F(ThemedPainterTest, GallerySheetOfEveryPainter) {
  const Integer columnWidth = 300;
  TPaintTarget t(5 * columnWidth + 10, 560, clWindow);
  struct Column {
    const char* title;
    const TcxCustomLookAndFeelPainter* painter;
    bool themed;
  } columns[] = {{"Flat", Flat(), false},
                 {"Standard", Standard(), false},
                 {"Ultra flat", UltraFlat(), false},
                 {"Office11", Office11(), false},
                 {"Native style (scripted theme)", Native(), true}};
  Integer height = 0;
  for (int i = 0; i < 5; ++i) {
    InstallThemeLibrary(columns[i].themed ? &engine : nullptr);
    RebuildOffice11Colors();
    t.canvas->PushDeviceState();
    height = std::max(height, DrawColumn(t.canvas.get(), columns[i].painter, columns[i].title, 5 + i * columnWidth, 5));
    t.canvas->PopDeviceState();
  }
  EXPECT_LE(height, 550);
  // Every column drew something in its buttons row.
  for (int i = 0; i < 5; ++i) EXPECT_NE(t.Px(5 + i * columnWidth + 25, 20 + 11), Rgb(clWindow)) << i;
  String path = testing_support::SheetPath("painters_gallery.png");
  t.bitmap.SaveToPngFile(path);
  // Each column three times larger, to see single pixels.
  for (int i = 0; i < 5; ++i) {
    TBitmap zoom;
    zoom.SetPixelFormat(pf32bit);
    zoom.SetSize(columnWidth * 3, (height + 10) * 3);
    StretchBlt(zoom.Canvas()->Handle(), 0, 0, zoom.Width(), zoom.Height(), t.bitmap.Canvas()->Handle(),
               i * columnWidth, 0, columnWidth, height + 10, SRCCOPY);
    zoom.SaveToPngFile(testing_support::SheetPath("painters_gallery_x3_" + std::to_string(i) + ".png"));
  }
}
