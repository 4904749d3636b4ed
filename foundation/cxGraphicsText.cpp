// Text output and measurement of TcxCanvas and the free text helpers of the graphics unit.
#include <algorithm>
#include <cstring>

#include "foundation/cxGraphics.h"
#include "foundation/cxGraphicsInternal.h"

using namespace cxgraphics_internal;

UINT TranslateTextFlags(TcxTextFlags flags) {
  UINT r = DT_NOPREFIX;
  if (flags & ctfRight) r |= DT_RIGHT;
  if (flags & ctfHCenter) r |= DT_CENTER;
  if (flags & ctfBottom) r |= DT_BOTTOM;
  if (flags & ctfVCenter) r |= DT_VCENTER;
  if (flags & ctfSingleLine) r |= DT_SINGLELINE;
  if (flags & ctfNoClip) r |= DT_NOCLIP;
  if (flags & ctfExpandTabs) r |= DT_EXPANDTABS;
  if (flags & ctfShowPrefix) r &= ~DT_NOPREFIX;
  if (flags & ctfWordBreak) {
    r |= DT_WORDBREAK;
    if (!(flags & ctfKeepWords)) r |= DT_EDITCONTROL;
  }
  if (flags & ctfEndEllipsis) r |= DT_END_ELLIPSIS;
  if (flags & ctfMeasureOnly) r |= DT_CALCRECT;
  if (flags & ctfPathEllipsis) r |= DT_PATH_ELLIPSIS;
  return r;
}

int CallDrawText(HDC dc, const String& text, TRect& r, Integer count, UINT format) {
  int n = count < 0 ? int(text.size()) : std::min<int>(count, int(text.size()));
  return DrawText(dc, text.data(), n, &r, format);
}

bool CallExtTextOut(HDC dc, const String& text, const TPoint& p, Integer count, UINT options, const TRect& r) {
  UINT n = count < 0 ? UINT(text.size()) : UINT(std::min<size_t>(size_t(count), text.size()));
  return ExtTextOut(dc, p.X, p.Y, options, &r, text.data(), n, nullptr) != FALSE;
}

namespace {
bool HasLineBreak(const String& text) { return text.find_first_of("\r\n") != String::npos; }
}  // namespace

void TcxCanvas::OutputText(const String& text, TRect r, TcxTextFlags flags, bool enabled) {
  if (text.empty()) return;
  bool glyphPath = (flags & ctfSingleLine) && !(flags & (ctfShowPrefix | ctfEndEllipsis | ctfPathEllipsis));
  TSize extent = MeasureTextSize(text);
  if (r.Width() >= extent.cx && r.Height() >= extent.cy) {
    // The single-line extent says nothing about a text that formatted output breaks into
    // several lines: such a text may leave the clip only when its whole block fits.
    bool fits = true;
    if (!(flags & ctfSingleLine) && HasLineBreak(text)) {
      TRect block(0, 0, r.Width(), 0);
      UINT fmt = TranslateTextFlags(flags & ~(ctfVCenter | ctfBottom | ctfHCenter | ctfRight)) | DT_CALCRECT;
      CanvasRequire(canvas_, {csHandleValid, csFontValid});
      DrawText(DeviceContext(), text.data(), int(text.size()), &block, fmt);
      fits = block.Width() <= r.Width() && block.Height() <= r.Height();
    }
    if (fits) flags |= ctfNoClip;
  }
  Integer off = enabled ? 0 : 1;
  const TRect given = r;
  UINT format = 0, options = 0;
  if (!glyphPath) {
    if (!(flags & ctfSingleLine) && (flags & (ctfBottom | ctfVCenter))) {
      TcxTextFlags mflags = ctfLeft | ctfTop | (flags & (ctfWordBreak | ctfShowPrefix | ctfKeepWords));
      TRect m(0, 0, r.Width() - off, 0);
      MeasureTextRect(text, m, mflags);
      Integer h = m.Height();
      if (flags & ctfBottom)
        r.Top = r.Bottom - h - off;
      else
        r.Top = (r.Top + r.Bottom - h) / 2;
    }
    format = TranslateTextFlags(flags);
  } else {
    if (r.Width() > extent.cx) {
      if ((flags & ctfHorzMask) == ctfRight)
        r.Left = r.Right - extent.cx - off;
      else if ((flags & ctfHorzMask) == ctfHCenter)
        r.Left = (r.Left + r.Right - extent.cx) / 2;
    }
    if (r.Height() > extent.cy) {
      if ((flags & ctfVertMask) == ctfBottom)
        r.Top = r.Bottom - extent.cy - off;
      else if ((flags & ctfVertMask) == ctfVCenter)
        r.Top = (r.Top + r.Bottom - extent.cy) / 2;
    }
    options = (flags & ctfNoClip) ? 0 : ETO_CLIPPED;
  }

  // A block centred or bottom-aligned in a rectangle lower than itself starts above the
  // rectangle: it is still clipped to the rectangle the caller gave.
  bool extraClip = !glyphPath && !(flags & ctfNoClip) && r.Top < given.Top;
  HRGN savedClip = nullptr;
  int hadClip = 0;
  if (extraClip) {
    savedClip = CreateRectRgn(0, 0, 0, 0);
    hadClip = GetClipRgn(DeviceContext(), savedClip);
    IntersectClip(given);
  }
  // The text colours go to the device context directly: changing the canvas font would
  // deselect a rotated font (RotateFont).
  TBrushStyle brushStyle = canvas_->Brush()->Style();
  TColor fontColor = canvas_->Font()->Color();
  auto draw = [&](const TRect& at, TColor color) {
    CanvasRequire(canvas_, {csHandleValid, csFontValid, csBrushValid});
    HDC dc = DeviceContext();
    SetTextColor(dc, ColorToRGB(color));
    if (glyphPath) {
      CallExtTextOut(dc, text, at.TopLeft(), -1, options, at);
    } else {
      TRect rr = at;
      CallDrawText(dc, text, rr, -1, format);
    }
  };
  if (!enabled) {
    TRect hl = r;
    hl.Left += 1;
    hl.Top += 1;
    canvas_->Brush()->SetStyle(bsClear);
    draw(hl, clBtnHighlight);
    r = ShiftedRect(hl, -1, -1);
    draw(r, clBtnShadow);
  } else {
    draw(r, fontColor);
  }
  if (canvas_->Brush()->Style() != brushStyle) canvas_->Brush()->SetStyle(brushStyle);
  SetTextColor(DeviceContext(), ColorToRGB(fontColor));
  if (extraClip) {
    SelectClipRgn(DeviceContext(), hadClip == 1 ? savedClip : nullptr);
    DeleteObject(savedClip);
  }
}

void TcxCanvas::MeasureTextRect(const String& text, TRect& r, TcxTextFlags flags) {
  Integer w0 = r.Width(), h0 = r.Height();
  UINT format = TranslateTextFlags(flags);
  if (w0 <= 0 && !text.empty()) r.Right = r.Left + 1;
  CanvasRequire(canvas_, {csHandleValid, csFontValid});
  if (CallDrawText(DeviceContext(), text, r, -1, (format & ~DT_VCENTER) | DT_CALCRECT) == 0)
    r = TRect(r.Left, r.Top, r.Left, r.Top);
  Integer w1 = r.Width(), h1 = r.Height();
  if (format & DT_CENTER)
    r = ShiftedRect(r, (w0 - w1) / 2, 0);
  else if (format & DT_RIGHT)
    r = ShiftedRect(r, w0 - w1, 0);
  if (format & DT_VCENTER)
    r = ShiftedRect(r, 0, (h0 - h1) / 2);
  else if (format & DT_BOTTOM)
    r = ShiftedRect(r, 0, h0 - h1);
}

TSize TcxCanvas::MeasureTextSize(const String& text) {
  CanvasRequire(canvas_, {csHandleValid, csFontValid});
  SIZE s(0, 0);
  GetTextExtentPoint32(DeviceContext(), text.data(), int(text.size()), &s);
  return s;
}

Integer TcxCanvas::MeasureFontHeight(TFont* font) {
  ApplyFont(font);
  return MeasureTextHeight("Qq");
}

void TcxCanvas::RotateFont(Integer angle) {
  // The canvas font cannot carry an escapement, so the rotated font is selected into the
  // device context in its place; it is deleted at once and goes when it is deselected (the
  // next change of the canvas font).
  CanvasRequire(canvas_, {csHandleValid, csFontValid});
  HDC dc = DeviceContext();
  LOGFONT lf;
  if (!GetFontObjectInfo(static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT)), lf)) return;
  lf.lfEscapement = angle * 10;
  if (angle != 0) lf.lfOutPrecision = 7;  // TrueType only
  HFONT rotated = CreateFontIndirect(&lf);
  if (!rotated) return;
  SelectObject(dc, rotated);
  DeleteObject(rotated);
}

// ---- free helpers --------------------------------------------------------------------------

TRect FitTextInLines(HDC dc, const String& text, Integer lineCount, bool fixHeight) {
  TRect result;
  if (lineCount <= 0) return result;
  if (lineCount == 1) {
    CallDrawText(dc, text, result, -1, DT_CALCRECT | DT_SINGLELINE);
    return result;
  }
  Integer maxH = lineCount * TextSizeOnDC(dc, "Wg").cy;
  auto measure = [&](Integer width) {
    TRect m(0, 0, width, 1);
    CallDrawText(dc, text, m, -1, DT_CALCRECT | DT_WORDBREAK);
    return m;
  };
  Integer lo = measure(1).Right;
  TRect single;
  CallDrawText(dc, text, single, -1, DT_CALCRECT | DT_SINGLELINE);
  Integer hi = single.Right;
  Integer mid = (lo + hi) / 2;
  while (hi - lo > 1) {
    if (measure(mid).Bottom > maxH)
      lo = mid;
    else
      hi = mid;
    mid = (lo + hi) / 2;
  }
  result = measure(lo);
  if (result.Bottom > maxH) result = measure(hi);
  if (fixHeight) result.Bottom = maxH;
  return result;
}

TSize TextSizeOnDC(HDC dc, const String& text) {
  TRect r = FitTextInLines(dc, text, 1, false);
  return TSize(r.Right, r.Bottom);
}

void MeasureTextInFont(TFont* font, const String& text, Integer size, TSize& extent) {
  TcxScreenCanvas* sc = LazyScreenCanvas();
  if (font) sc->Canvas()->Font()->Assign(font);
  if (size != 0) sc->Canvas()->Font()->SetSize(size);
  extent = sc->MeasureTextSize(text);
}

Integer MeasureTextWidthInFont(TFont* font, const String& text, Integer size) {
  TSize s;
  MeasureTextInFont(font, text, size, s);
  return s.cx;
}

Integer MeasureTextHeightInFont(TFont* font, const String& text, Integer size) {
  TSize s;
  MeasureTextInFont(font, text, size, s);
  return s.cy;
}

bool GetFontObjectInfo(HFONT handle, LOGFONT& logFont) {
  return handle && GetObject(handle, sizeof logFont, &logFont) != 0;
}

bool IsMirroredScriptText(Byte charset, const String& text) {
  if (charset == DEFAULT_CHARSET) {
    // The system's default font character set: this system runs with the default GUI font,
    // whose character set is the ANSI one.
    LOGFONT lf;
    charset = GetFontObjectInfo(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), lf) ? lf.lfCharSet : ANSI_CHARSET;
  }
  if (!text.empty() && Byte(text[0]) < 128) return false;
  return charset == 134 || charset == 136 || charset == 178;
}
