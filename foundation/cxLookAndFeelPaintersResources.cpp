// The painter unit's shared resources (skin registry, indicator glyphs, scroll-bar patterns,
// check-box size), the pre-rendered radio-button images and the unit's start and end.
#include <algorithm>

#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeelPaintersInternal.h"
#include "foundation/dxOffice11.h"
#include "rtl/SysUtils.h"
#include "vcl/Resources.h"

// Generated at build time from foundation/resources/*.png.
void RegisterFoundationPainterResources();

KORVAN_IMPLEMENT_CLASS(TcxExtendedStylePainterEntry)
KORVAN_IMPLEMENT_CLASS(TcxRadioButtonImageList)

namespace {

// Rebuilds the shared radio images when the system colours change.
class TSystemPaletteChangedNotifier : public TcxSystemPaletteChangedNotifier {
 public:
  TSystemPaletteChangedNotifier() : TcxSystemPaletteChangedNotifier(true) {}
  void Fire() override;
};

struct TUnitState {
  std::unique_ptr<TcxExtendedStylePainters> skins;
  std::unique_ptr<TCustomImageList> indicators;
  std::unique_ptr<TBitmap> normalPattern, pressedPattern;
  TSize checkBoxSize{13, 13};
  std::unique_ptr<TcxRadioButtonImageList> radioImages;
  std::unique_ptr<TSystemPaletteChangedNotifier> notifier;
};

TUnitState& State() {
  static TUnitState state;
  return state;
}

void TSystemPaletteChangedNotifier::Fire() {
  if (State().radioImages) State().radioImages->Rebuild();
  TcxSystemPaletteChangedNotifier::Fire();
}

// The cell of one check box in the platform's sheet of 4 x 3 check boxes.
void MeasureSystemCheckBox() {
  HBITMAP sheet = LoadSystemBitmap(OBM_CHECKBOXES);
  BITMAP info{};
  if (sheet != nullptr && GetObject(sheet, sizeof(info), &info) != 0)
    State().checkBoxSize = TSize(info.bmWidth / 4, info.bmHeight / 3);
  if (sheet != nullptr) DeleteObject(sheet);
}

void LoadIndicatorImages() {
  static const char* const names[] = {"CX_ARROWBITMAP",    "CX_EDITBITMAP",       "CX_INSERTBITMAP",
                                      "CX_MULTIDOTBITMAP", "CX_MULTIARROWBITMAP", "CX_FILTERBITMAP"};
  for (const char* name : names) {
    if (!ResourceExists(name, RT_BITMAP_NAME)) continue;
    TBitmap bitmap;
    LoadBitmapResource(&bitmap, name);
    if (!State().indicators)
      State().indicators = std::make_unique<TImageList>(nullptr, bitmap.Width(), bitmap.Height());
    State().indicators->AddMasked(&bitmap, clWhite);
  }
}

// ---- radio-button measurements and pattern -------------------------------------------------

struct TRadioMetrics {
  bool measured = false;
  Integer w = 0, h = 0, left0 = 0, top0 = 0;
  TRect dot;
  std::vector<Byte> pattern;  // one code per pixel, w x h
};

TRadioMetrics& Radio() {
  static TRadioMetrics m;
  return m;
}

// The variant number -> image index map.
std::vector<Integer>& IndexMap() {
  static std::vector<Integer> map;
  return map;
}

bool IsBlack(TSurface* s, Integer x, Integer y) { return (s->At(x, y) & 0x00FFFFFFu) == 0; }

void MeasureSystemRadioButton() {
  TRadioMetrics& m = Radio();
  Integer cw = State().checkBoxSize.cx, ch = State().checkBoxSize.cy;
  TBitmap cell;
  cell.SetPixelFormat(pf32bit);
  cell.SetSize(cw, ch);
  HDC dc = cell.Canvas()->Handle();
  TRect r(0, 0, cw, ch);
  FillRectWithColor(dc, r, 0x000000);
  TRect rr = r;
  DrawFrameControl(dc, &rr, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  TSurface* s = cell.Surface();
  m.w = m.h = 0;
  m.left0 = m.top0 = -1;
  for (Integer x = 0; x < cw; ++x) {
    bool any = false;
    for (Integer y = 0; y < ch && !any; ++y) any = IsBlack(s, x, y);
    if (any) {
      ++m.w;
      if (m.left0 < 0) m.left0 = x;
    }
  }
  for (Integer y = 0; y < ch; ++y) {
    bool any = false;
    for (Integer x = 0; x < cw && !any; ++x) any = IsBlack(s, x, y);
    if (any) {
      ++m.h;
      if (m.top0 < 0) m.top0 = y;
    }
  }
  m.left0 = std::max<Integer>(m.left0, 0);
  m.top0 = std::max<Integer>(m.top0, 0);

  FillRectWithColor(dc, r, 0x000000);
  rr = r;
  DrawFrameControl(dc, &rr, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
  uint32_t dotPixel = ColorRefToPixel(ColorToRGB(clWindowText)) & 0x00FFFFFFu;
  // The searches stay inside the cell whatever the colours are.
  auto isDot = [&](Integer x, Integer y) {
    return x >= 0 && y >= 0 && x < cw && y < ch && (s->At(x, y) & 0x00FFFFFFu) == dotPixel;
  };
  Integer cx = m.left0 + m.w / 2 - 1, y = m.top0 + m.h / 2 - 2;
  while (isDot(cx, y - 1)) --y;
  m.dot.Top = y;
  while (isDot(cx, y)) ++y;
  m.dot.Bottom = y;
  Integer cy = m.top0 + m.h / 2 - 1, x = m.left0 + m.w / 2 - 2;
  while (isDot(x - 1, cy)) --x;
  m.dot.Left = x;
  while (isDot(x, cy)) ++x;
  m.dot.Right = x;
}

// Draws an ellipse filling r (black pen; black or white brush) on a white w x h bitmap and
// calls mark(x, y) for every black pixel.
template <class F>
void TraceEllipse(Integer w, Integer h, const TRect& r, bool filled, F mark) {
  TBitmap b;
  b.SetPixelFormat(pf32bit);
  b.SetSize(w, h);
  HDC dc = b.Canvas()->Handle();
  FillRectWithColor(dc, TRect(0, 0, w, h), 0xFFFFFF);
  TCanvas* c = b.Canvas();
  c->Pen()->SetColor(clBlack);
  c->Pen()->SetStyle(psSolid);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(filled ? clBlack : clWhite);
  c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, r.Width() - 1, r.Height() - 1);
  TSurface* s = b.Surface();
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      if (IsBlack(s, x, y)) mark(x, y);
}

void BuildRadioPattern() {
  TRadioMetrics& m = Radio();
  Integer w = m.w, h = m.h;
  m.pattern.assign(size_t(w) * size_t(h), 0);
  if (w <= 0 || h <= 0) return;
  auto at = [&](Integer x, Integer y) -> Byte& { return m.pattern[size_t(y) * size_t(w) + size_t(x)]; };
  // Outline: the half below the diagonal from the top-right to the bottom-left corner is 2.
  TraceEllipse(w, h, TRect(0, 0, w, h), false, [&](Integer x, Integer y) {
    at(x, y) = (h - 1) * (w - 1 - x) < y * (w - 1) ? 2 : 1;
  });
  Integer mid = w / 2;
  // Body: from the middle outward until the outline.
  for (Integer y = 1; y <= h - 2; ++y) {
    for (Integer x = mid - 1; x >= 0 && at(x, y) == 0; --x) at(x, y) = 5;
    for (Integer x = mid; x < w && at(x, y) == 0; ++x) at(x, y) = 5;
  }
  auto ring = [&](Integer x, Integer y) {
    Integer lhs = (w - 1 - x) * (h - 1), rhs = (w - 1) * y;
    at(x, y) = lhs < rhs ? 4 : lhs > rhs ? 3 : (x > mid - 1 ? 4 : 3);
  };
  auto isOutline = [&](Integer x, Integer y) { return at(x, y) == 1 || at(x, y) == 2; };
  // Walks from (x, y) by (dx, dy) up to the outline; marks the whole walk when `whole`,
  // else only the last pixel before the outline.
  auto walk = [&](Integer x, Integer y, Integer dx, Integer dy, bool whole) {
    Integer lastX = -1, lastY = -1;
    while (x >= 0 && y >= 0 && x < w && y < h && !isOutline(x, y)) {
      if (whole) ring(x, y);
      lastX = x;
      lastY = y;
      x += dx;
      y += dy;
    }
    if (lastX >= 0 && x >= 0 && y >= 0 && x < w && y < h) ring(lastX, lastY);
  };
  for (Integer y = 1; y <= h - 2; ++y) {
    bool whole = y == 1 || y == h - 2;
    walk(mid - 1, y, -1, 0, whole);
    walk(mid, y, 1, 0, whole);
  }
  for (Integer x = 1; x <= w - 2; ++x) {
    bool whole = x == 1 || x == w - 2;
    walk(x, h / 2 - 1, 0, -1, whole);
    walk(x, h / 2, 0, 1, whole);
  }
  TRect dot = ShiftedRect(m.dot, -m.left0, -m.top0);
  if (!dot.IsEmpty()) TraceEllipse(w, h, dot, true, [&](Integer x, Integer y) { at(x, y) = 6; });
}

void EnsureRadioMetrics() {
  TRadioMetrics& m = Radio();
  if (m.measured) return;
  m.measured = true;
  MeasureSystemRadioButton();
  BuildRadioPattern();
}

}  // namespace

// ---- skin registry -------------------------------------------------------------------------

void TcxExtendedStylePainters::Register(const String& name, TcxCustomLookAndFeelPainterClass painter) {
  Add(new TcxExtendedStylePainterEntry(name, painter));
}

Integer TcxExtendedStylePainters::IndexOfName(const String& name, TcxExtendedStylePainterEntry*& entry) const {
  for (Integer i = 0; i < Count(); ++i) {
    entry = ItemAt(i);
    if (AnsiSameText(entry->Name(), name)) return i;
  }
  return -1;
}

bool TcxExtendedStylePainters::PainterByName(const String& name, TcxCustomLookAndFeelPainterClass& painter) const {
  TcxExtendedStylePainterEntry* entry = nullptr;
  if (IndexOfName(name, entry) < 0) return false;
  painter = entry->Painter();
  return true;
}

TcxExtendedStylePainters* ExtendedStylePainters() { return State().skins.get(); }
TCustomImageList* cxIndicatorImages() { return State().indicators.get(); }
TBitmap* cxScrollBarNormalPattern() { return State().normalPattern.get(); }
TBitmap* cxScrollBarPressedPattern() { return State().pressedPattern.get(); }
TSize SystemCheckBoxSize() { return State().checkBoxSize; }
TRect CellTextBounds(const TRect& r) { return painters_detail::Deflated(r, 2); }

void RefreshScrollBarPatterns() {
  TUnitState& st = State();
  for (auto* p : {&st.normalPattern, &st.pressedPattern}) {
    if (!*p) {
      *p = std::make_unique<TBitmap>();
      (*p)->SetPixelFormat(pf32bit);
      (*p)->SetSize(8, 8);
    }
  }
  COLORREF face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(cl3DDkShadow);
  TSurface* normal = st.normalPattern->Surface();
  TSurface* pressed = st.pressedPattern->Surface();
  for (Integer y = 0; y < 8; ++y)
    for (Integer x = 0; x < 8; ++x) {
      bool same = (x % 2) == (y % 2);
      normal->At(x, y) = ColorRefToPixel(same ? face : light);
      pressed->At(x, y) = ColorRefToPixel(same ? COLORREF(0) : dark);
    }
}

// ---- radio-button images -------------------------------------------------------------------

TcxRadioButtonImageList::TcxRadioButtonImageList() {
  EnsureRadioMetrics();
  const TRadioMetrics& m = Radio();
  images_ = std::make_unique<TImageList>(nullptr, std::max<Integer>(m.w, 1), std::max<Integer>(m.h, 1));
  mask_ = std::make_unique<TBitmap>();
  mask_->SetMonochrome(true);
  mask_->SetSize(m.w, m.h);
  TCanvas* c = mask_->Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, m.w, m.h));
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clBlack);
  c->RoundRect(0, 0, m.w, m.h, m.w - 1, m.h - 1);
}

TcxRadioButtonImageList::~TcxRadioButtonImageList() = default;

TSize TcxRadioButtonImageList::ImageSize() const { return TSize(Radio().w, Radio().h); }

Integer TcxRadioButtonImageList::VariantNumber(TcxLookAndFeelKind kind, TcxButtonState state, bool checked,
                                               bool focused, bool isDesigning) {
  // The images start at the normal state: a default button's radio is drawn as a normal one.
  Integer s = std::clamp<Integer>(Integer(state), cxbsNormal, cxbsDisabled);
  Integer k = std::clamp<Integer>(Integer(kind), lfFlat, lfOffice11);
  return (s - 1) + 4 * (checked ? 1 : 0) + 8 * k + 32 * (isDesigning ? 1 : 0) + 64 * (focused ? 1 : 0);
}

Integer TcxRadioButtonImageList::ImageIndexOf(TcxLookAndFeelKind kind, TcxButtonState state, bool isDesigning,
                                              bool focused, bool checked) const {
  Integer v = VariantNumber(kind, state, checked, focused, isDesigning);
  const std::vector<Integer>& map = IndexMap();
  return v < Integer(map.size()) ? map[size_t(v)] : -1;
}

void TcxRadioButtonImageList::BuildColorMap(TcxLookAndFeelKind kind, TcxButtonState state, bool checked,
                                            bool focused, bool isDesigning, TColor colors[7]) {
  if (state == cxbsDefault) state = cxbsNormal;
  bool hot = state == cxbsHot, pressed = state == cxbsPressed, disabled = state == cxbsDisabled;
  TColor body = clWindow;
  if (pressed || disabled) body = clBtnFace;
  if (kind == lfUltraFlat && (hot || pressed)) body = hot ? HotTrackBlendColor() : PressedBlendColor();
  if (kind == lfOffice11 && state != cxbsNormal)
    body = TcxOffice11LookAndFeelPainter::Class()->ButtonFaceColor(state);
  colors[0] = 0x000000;
  switch (kind) {
    case lfFlat:
      colors[1] = clBtnShadow, colors[2] = clBtnHighlight, colors[3] = cl3DLight, colors[4] = cl3DLight;
      break;
    case lfStandard:
      colors[1] = clBtnShadow, colors[2] = clBtnHighlight, colors[3] = cl3DDkShadow, colors[4] = cl3DLight;
      break;
    case lfUltraFlat: {
      TColor f = focused || hot || pressed || (isDesigning && !disabled) ? clHighlight : clBtnShadow;
      colors[1] = colors[2] = f;
      colors[3] = colors[4] = body;
      break;
    }
    case lfOffice11: {
      TColor g = disabled ? Office11DisabledGlyphColor
                 : focused || hot || pressed || isDesigning ? Office11HighlightFrameColor
                                                            : clBtnText;
      colors[1] = colors[2] = g;
      colors[3] = colors[4] = body;
      break;
    }
  }
  colors[5] = body;
  if (!checked)
    colors[6] = body;
  else if (disabled)
    colors[6] = kind == lfOffice11 ? Office11DisabledGlyphColor : clBtnShadow;
  else
    colors[6] = clWindowText;
}

const std::vector<Byte>& TcxRadioButtonImageList::Pattern() {
  EnsureRadioMetrics();
  return Radio().pattern;
}

TPoint TcxRadioButtonImageList::CircleOrigin() {
  EnsureRadioMetrics();
  return TPoint(Radio().left0, Radio().top0);
}

TRect TcxRadioButtonImageList::DotRect() {
  EnsureRadioMetrics();
  return Radio().dot;
}

void TcxRadioButtonImageList::BuildImages() {
  if (images_->Count() > 0) return;
  const TRadioMetrics& m = Radio();
  if (m.w <= 0 || m.h <= 0) return;
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(m.w, m.h);
  std::vector<Integer>& map = IndexMap();
  for (int focused = 0; focused < 2; ++focused)
    for (int designing = 0; designing < 2; ++designing)
      for (int kind = lfFlat; kind <= lfOffice11; ++kind)
        for (int checked = 0; checked < 2; ++checked)
          for (int state = cxbsNormal; state <= cxbsDisabled; ++state) {
            TColor colors[7];
            BuildColorMap(TcxLookAndFeelKind(kind), TcxButtonState(state), checked, focused, designing, colors);
            uint32_t pixels[7];
            for (int i = 0; i < 7; ++i) pixels[i] = ColorRefToPixel(ColorToRGB(colors[i])) & 0x00FFFFFFu;
            TSurface* s = bitmap.Surface();
            for (Integer y = 0; y < m.h; ++y)
              for (Integer x = 0; x < m.w; ++x)
                s->At(x, y) = pixels[m.pattern[size_t(y) * size_t(m.w) + size_t(x)]];
            Integer index = images_->Add(&bitmap, mask_.get());
            Integer v = VariantNumber(TcxLookAndFeelKind(kind), TcxButtonState(state), checked, focused, designing);
            if (Integer(map.size()) < v + 1) map.resize(size_t(v) + 1, -1);
            map[size_t(v)] = index;
          }
}

void TcxRadioButtonImageList::Rebuild() {
  images_->Clear();
  BuildImages();
}

void TcxRadioButtonImageList::DrawImage(TcxCanvas* canvas, Integer x, Integer y, TColor bkColor,
                                        TcxLookAndFeelKind kind, TcxButtonState state, bool checked, bool focused,
                                        bool isDesigning) {
  Integer index = ImageIndexOf(kind, state, isDesigning, focused, checked);
  if (index < 0 || index >= images_->Count()) return;
  if (bkColor == clDefault) {
    images_->Draw(canvas->Canvas(), x, y, index, true);
    return;
  }
  TSize size = ImageSize();
  TBitmap temp;
  temp.SetPixelFormat(pf32bit);
  temp.SetSize(size.cx, size.cy);
  TCanvas* tc = temp.Canvas();
  tc->Brush()->SetColor(TColor(ColorToRGB(bkColor)));
  tc->Brush()->SetStyle(bsSolid);
  tc->FillRect(TRect(0, 0, size.cx, size.cy));
  images_->Draw(tc, 0, 0, index, true);
  BitBlt(canvas->DeviceContext(), x, y, size.cx, size.cy, tc->Handle(), 0, 0, SRCCOPY);
}

TcxRadioButtonImageList* SharedRadioButtonImages() {
  TUnitState& st = State();
  if (!st.radioImages) {
    st.radioImages.reset(TcxRadioButtonImageList::CreateList());
    st.radioImages->BuildImages();
  }
  return st.radioImages.get();
}

// ---- unit start and end --------------------------------------------------------------------

void InitializeCxLookAndFeelPainters() {
  InitUnit(
      "cxLookAndFeelPainters",
      [] {
        InitializeCxGraphics();
        InitializeCxLookAndFeels();
        RegisterFoundationPainterResources();
        RegisterLookAndFeelPainter(lpsFlat, TcxFlatLookAndFeelPainter::Class());
        RegisterLookAndFeelPainter(lpsStandard, TcxStandardLookAndFeelPainter::Class());
        RegisterLookAndFeelPainter(lpsUltraFlat, TcxUltraFlatLookAndFeelPainter::Class());
        RegisterLookAndFeelPainter(lpsOffice11, TcxOffice11LookAndFeelPainter::Class());
        RegisterLookAndFeelPainter(lpsNative, TcxWinXPLookAndFeelPainter::Class());
        TUnitState& st = State();
        st.skins = std::make_unique<TcxExtendedStylePainters>();
        LoadIndicatorImages();
        RefreshScrollBarPatterns();
        st.notifier = std::make_unique<TSystemPaletteChangedNotifier>();
        MeasureSystemCheckBox();
      },
      [] {
        TUnitState& st = State();
        st.notifier.reset();
        st.normalPattern.reset();
        st.pressedPattern.reset();
        st.indicators.reset();
        st.radioImages.reset();
        st.skins.reset();
        Radio() = TRadioMetrics();
        IndexMap().clear();
      });
}
