// The text kind's view data and view info: the display text, its rectangle and flags, cell
// wrapping, measuring for auto height and width, painting with a highlighted range, and the
// hint test.
#include <algorithm>

#include "editors/cxEditPaintUtils.h"
#include "editors/cxTextEdit.h"
#include "foundation/cxContainer.h"
#include "gdi/Gdi.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomTextEditViewData)
KORVAN_IMPLEMENT_CLASS(TcxCustomTextEditViewInfo)

namespace {

constexpr Integer kNoLimit = 1 << 29;

TRect Moved(const TRect& r, Integer dx, Integer dy) {
  return TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
}

Integer HorzFlag(TAlignment a) {
  return a == taRightJustify ? tofRight : a == taCenter ? tofCenterHorz : tofLeft;
}

Integer VertFlag(TcxEditVertAlignment a) {
  return a == taBottomJustify ? tofBottom : a == taVCenter ? tofCenterVert : tofTop;
}

// Lays out text in a rectangle and answers the row count (the canvas font in use).
Integer CountRows(TcxCanvas* canvas, const String& text, Integer width, Integer flags,
                  Integer max_rows, TcxTextRows* rows_out = nullptr) {
  TcxTextLayoutParams params;
  InitTextLayoutParams(canvas->DeviceContext(), flags, params);
  TcxTextRows rows;
  Integer count = 0;
  LayoutTextRows(canvas->DeviceContext(), text, TRect(0, 0, width, kNoLimit), params, rows, count,
                 max_rows);
  if (rows_out) *rows_out = std::move(rows);
  return count;
}

Integer ZgHeight(TcxCanvas* canvas) { return canvas->MeasureTextHeight("Zg"); }

}  // namespace

// ---- view data ----------------------------------------------------------------------------------------

TcxCustomEditViewData* TcxCustomTextEditProperties::CreateViewData(TcxCustomEditStyle* style,
                                                                   bool is_inplace,
                                                                   bool hide_display_text) {
  auto* data = new TcxCustomTextEditViewData(this, style, is_inplace);
  data->InitFromProperties();
  data->HideDisplayText = hide_display_text;
  return data;
}

TcxCustomEditViewInfo* TcxCustomTextEditProperties::CreateViewInfo() {
  return new TcxCustomTextEditViewInfo();
}

void TcxCustomTextEditViewData::InitFromProperties() {
  TcxCustomEditViewData::InitFromProperties();
  FormatsByProvider = Properties->IsDisplayFormattedByProvider();
}

bool TcxCustomTextEditViewData::UsesInnerEditText() { return Edit && Edit->IsInnerEditShown(); }

void TcxCustomTextEditViewData::GetClientText(const Variant& edit_value, String& text) {
  text.clear();
  TcxCustomTextEditProperties* props = TextProperties();
  try {
    if (FormatsByProvider) {
      text = VarToStr(edit_value);
    } else {
      Variant display;
      // An editor control converts for editing while it edits; a cell while it is focused.
      props->EditValueToDisplayValue(edit_value, Edit ? Edit->InEditingMode() : Focused, display);
      text = VarToStr(display);
    }
  } catch (...) {
    // A value the kind cannot format is shown as its own text; painting never raises.
    try {
      text = VarToStr(edit_value);
    } catch (...) {
      text.clear();
    }
  }
  props->AdjustDisplayText(text);
}

void TcxCustomTextEditViewData::SetDisplayText(const Variant& value,
                                               TcxCustomTextEditViewInfo* view_info) {
  view_info->Text = VarToStr(value);
  TextProperties()->AdjustDisplayText(view_info->Text);
}

void TcxCustomTextEditViewData::FillDisplayText(TcxCanvas*, const Variant& edit_value,
                                                TcxCustomEditViewInfo* view_info) {
  auto* vi = static_cast<TcxCustomTextEditViewInfo*>(view_info);
  if (HideDisplayText) vi->Text.clear();
  else EditValueToDisplayText(edit_value, vi->Text);
  InitSelectionColors(vi);
}

void TcxCustomTextEditViewData::InitSelectionColors(TcxCustomTextEditViewInfo* vi) {
  vi->SelStart = HighlightStart;
  vi->SelLength = HighlightLength;
  if (HighlightLength == 0) return;
  const TColor text = OverrideColor1, background = OverrideColor2;
  if (background == clDefault && text != clDefault) {
    vi->SelTextColor = text;
    vi->SelBackgroundColor = TColor(ColorToRGB(text) ^ 0xFFFFFF);
  } else if (background == clDefault) {
    if (Style && Style->Color() == clHighlight) {
      vi->SelBackgroundColor = TColor(0);
      vi->SelTextColor = TColor(0xFFFFFF);
    } else {
      vi->SelBackgroundColor = clHighlight;
      vi->SelTextColor = clHighlightText;
    }
  } else {
    vi->SelBackgroundColor = background;
    vi->SelTextColor = text != clDefault ? text : TColor(ColorToRGB(background) ^ 0xFFFFFF);
  }
}

Integer TcxCustomTextEditViewData::GetDrawTextFlags() {
  return HorzFlag(HorzAlignment) | VertFlag(VertAlignment) | tofSingleLine | tofKeepLeftInside |
         tofKeepTopInside;
}

void TcxCustomTextEditViewData::GetTextInsets(TRect& insets) {
  insets = ContentMetrics.ContentOffsets;
  const TcxTextEditingStyle style = TextProperties()->GetEditingStyle();
  if (!IsInplace && (style == tesListOnly || style == tesNoTyping)) {
    if (VertAlignment == taTopJustify) {
      ++insets.Top;
      --insets.Bottom;
    }
    if (HorzAlignment == taRightJustify) ++insets.Right;
    else ++insets.Left;
  }
}

void TcxCustomTextEditViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds,
                                                  const TPoint& p, Integer button,
                                                  TShiftState shift,
                                                  TcxCustomEditViewInfo* view_info,
                                                  bool is_mouse_event) {
  TcxCustomEditViewData::CalculateViewInfo(canvas, bounds, p, button, shift, view_info,
                                           is_mouse_event);
  auto* vi = static_cast<TcxCustomTextEditViewInfo*>(view_info);
  vi->PaintsAsSelection = false;
  vi->EditingStyle = TextProperties()->GetEditingStyle();
  vi->InnerEditShowsText = UsesInnerEditText();
  vi->DroppedDown = Edit && Edit->IsPopupOpen();
  TRect insets;
  GetTextInsets(insets);
  const TRect& c = vi->ClientArea;
  vi->TextRect = TRect(c.Left + insets.Left, c.Top + insets.Top, c.Right - insets.Right,
                       c.Bottom - insets.Bottom);
  if (!IsInplace && canvas) {
    if (TFont* font = StyleFont()) canvas->ApplyFont(font);
    const Integer line = ZgHeight(canvas);
    if (vi->TextRect.Height() < line)
      vi->TextRect.Bottom = std::min(vi->TextRect.Top + line, c.Bottom);
  }
  vi->LineLimit = GetMaxLineCount();
  vi->TextOutData.Prepared = false;
  PrepareTextLayout(canvas, vi);
}

void TcxCustomTextEditViewData::PrepareTextLayout(TcxCanvas* canvas,
                                                  TcxCustomTextEditViewInfo* vi) {
  if (!TextProperties()->IsMultiLine() && (TextProperties()->GetSupportedOperations() & esoAutoHeight) &&
      (PaintOptions & 2))
    AdjustCellTextWrapping(canvas, vi);
  else
    vi->DrawTextFlags = GetDrawTextFlags();
  if (PaintOptions & 8) vi->DrawTextFlags |= tofEndEllipsis;
  vi->HasComboStyle = IsComboStyle();
}

void TcxCustomTextEditViewData::AdjustCellTextWrapping(TcxCanvas* canvas,
                                                       TcxCustomTextEditViewInfo* vi) {
  TFont* font = StyleFont();
  if (!font || !canvas) {
    vi->DrawTextFlags = GetDrawTextFlags();
    return;
  }
  canvas->ApplyFont(font);
  vi->DrawTextFlags = GetDrawTextFlags();
  if (!(PaintOptions & 2)) return;
  TRect insets;
  GetTextInsets(insets);
  TSize borders;
  GetBorderSizes(borders);
  Integer width = vi->TextRect.Width() + insets.Left + insets.Right - borders.cx -
                  InplaceEditContentOffsets.Left - InplaceEditContentOffsets.Right;
  if (HorzAlignment == taRightJustify) ++width;
  const Integer flags = (vi->DrawTextFlags & ~tofSingleLine) | tofWordBreak | tofCompleteRowsOnly;
  TcxTextLayoutParams params;
  InitTextLayoutParams(canvas->DeviceContext(), flags, params);
  const Integer rows = width > 0 ? CountRows(canvas, vi->Text, width, flags, 0) : 1;
  if (rows > 1) {
    vi->DrawTextFlags = (vi->DrawTextFlags & ~tofSingleLine) | tofWordBreak | tofCompleteRowsOnly;
    if (rows * params.RowHeight > vi->TextRect.Height()) vi->DrawTextFlags &= ~tofVertMask;
  }
}

void TcxCustomTextEditViewData::GetEditContentSize(TcxCanvas* canvas, const Variant& edit_value,
                                                   const TcxEditSizeProperties& request,
                                                   TSize& size) {
  TcxCustomEditViewData::GetEditContentSize(canvas, edit_value, request, size);
  String text;
  EditValueToDisplayText(edit_value, text);
  TSize measured;
  MeasureTextContent(canvas, this, text, measured, true, 0, request, GetDrawTextFlags());
  EnlargeSize(size, measured);
}

void MeasureTextContent(TcxCanvas* canvas, TcxCustomEditViewData* view_data, const String& text,
                        TSize& size, bool add_frame_width, Integer fixed_row_count,
                        const TcxEditSizeProperties& request, Integer flags) {
  size = TSize(0, 0);
  if (TFont* font = view_data->StyleFont()) canvas->ApplyFont(font);
  TSize extra;
  view_data->GetBorderSizes(extra);
  bool alignment_pixel = false;
  if (auto* text_data = dynamic_cast<TcxCustomTextEditViewData*>(view_data)) {
    const TcxTextEditingStyle style = text_data->TextProperties()->GetEditingStyle();
    alignment_pixel = !view_data->IsInplace && (style == tesListOnly || style == tesNoTyping) &&
                      !(text_data->IsComboStyle() && CanPaintNatively(view_data->NativeStyle, tcEdit));
  }
  const Integer line = ZgHeight(canvas);
  const bool empty_is_zero = (view_data->PaintOptions & 1) != 0;
  if (request.Width < 0) {
    if (flags & tofSingleLine) {
      size.cy = line;
      size.cx = text.empty() ? 0 : canvas->MeasureTextWidth(text);
    } else {
      TcxTextRows rows;
      Integer count = CountRows(canvas, text, kNoLimit, flags | tofCalcRect, 0, &rows);
      if (fixed_row_count > 0) count = std::min(count, fixed_row_count);
      else if (request.MaxLineCount > 0) count = std::min(count, request.MaxLineCount);
      size.cx = TextRowsMaxWidth(rows, count);
      size.cy = fixed_row_count > 0 ? line * fixed_row_count : line;
    }
    if (alignment_pixel) ++size.cx;
    if (add_frame_width) size.cx += extra.cx;
    if (size.cy > 0) size.cy += extra.cy;
    return;
  }
  if (fixed_row_count > 0) {
    size = TSize(request.Width, line * fixed_row_count);
  } else {
    const Integer width = view_data->IsInplace ? request.Width - 2
                          : alignment_pixel   ? request.Width - 1
                                              : request.Width;
    if (width > 0) {
      size.cx = request.Width;
      if (text.empty()) {
        size.cy = empty_is_zero ? 0 : line;
      } else {
        Integer f = flags | tofReturnRowCount;
        if (f & tofSingleLine) f = (f & ~tofSingleLine) | tofWordBreak | tofCompleteRowsOnly;
        f &= ~tofVertMask;
        Integer rows = CountRows(canvas, text, width, f, request.MaxLineCount);
        if (request.MaxLineCount > 0) rows = std::min(rows, request.MaxLineCount);
        size.cy = line * rows;
      }
    } else {
      size.cx = 0;
      size.cy = text.empty() && empty_is_zero ? 0 : line;
    }
  }
  if (size.cy > 0) size.cy += extra.cy;
}

// ---- view info ----------------------------------------------------------------------------------------

void TcxCustomTextEditViewInfo::PrepareTextOutData(TcxCanvas* canvas) {
  TTextOutData& d = TextOutData;
  d.Prepared = true;
  d.RowCount = 0;
  d.Rows.clear();
  d.ForceEndEllipsis = false;
  if (Text.empty()) return;
  HDC dc = canvas->FontDeviceContext();
  InitTextLayoutParams(dc, DrawTextFlags, d.Params);
  d.Rect = TextRect;
  if (d.Rect.IsEmpty()) return;
  Integer count = 0;
  const bool complete = LayoutTextRows(dc, Text, d.Rect, d.Params, d.Rows, count, LineLimit);
  if (LineLimit > 0) count = std::min(count, LineLimit);
  // As in the text engine: the last row ends in an ellipsis whenever text is left undrawn.
  d.ForceEndEllipsis = !complete && count > 0 && (DrawTextFlags & tofEndEllipsis) &&
                       !(DrawTextFlags & tofSingleLine);
  d.RowCount = count;
  PlaceTextRows(d.Rect, d.Params, d.Rows, count);
}

void TcxCustomTextEditViewInfo::DrawText(TcxCanvas* canvas) {
  if (Text.empty()) return;
  if (Font) canvas->ApplyFont(Font);
  canvas->CurrentFont()->SetColor(PaintsAsSelection ? clHighlightText : TextColor);
  PrepareCanvasFont(canvas);
  if (!TextOutData.Prepared) PrepareTextOutData(canvas);
  // The rows laid out once per calculation are drawn (with the highlighted range).
  SetTextColor(canvas->DeviceContext(), ColorToRGB(PaintsAsSelection ? clHighlightText : TextColor));
  DrawTextRows(canvas->FontDeviceContext(), TextOutData.Rect, TextOutData.Params, TextOutData.Rows,
               TextOutData.RowCount, TextOutData.ForceEndEllipsis, SelStart, SelLength,
               SelLength > 0 ? SelBackgroundColor : clNone, SelTextColor);
}

void TcxCustomTextEditViewInfo::DrawEditor(TcxCanvas* canvas) {
  if (!IsBackgroundTransparent() && !PaintsAsSelection) {
    const Integer mode = !HasComboStyle ? 0
                         : (EditingStyle == tesListOnly || EditingStyle == tesNoTyping) ? 2
                                                                                         : 1;
    PaintEditViewBackground(canvas, this, true, mode);
  } else {
    DrawButtons(canvas);
  }
  TRect r = ClientArea;
  if (!InPlace) {
    if ((!UsesTheme || PaintsAsSelection) && !IsBackgroundTransparent() &&
        EditingStyle != tesNoTyping)
      canvas->DrawFrameSides(r, FillColor, 1, cxBordersAll);
    r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  if (IsOwnerDrawn && OwnerDraw) {
    OwnerDraw(canvas, r);
  } else {
    if (PaintsAsSelection) FillRectWithColor(canvas, r, clHighlight);
    if (!InnerEditShowsText || PaintCopy) DrawText(canvas);
  }
  if (!InnerEditShowsText && Focused && !InPlace && !DroppedDown) {
    canvas->CurrentFont()->SetColor(PaintsAsSelection ? clHighlightText : clBtnText);
    canvas->SetBrushColor(PaintsAsSelection ? clHighlight : FillColor);
    canvas->DrawFocusFrame(r);
  }
}

void TcxCustomTextEditViewInfo::TranslateBy(Integer dx, Integer dy) {
  TcxCustomEditViewInfo::TranslateBy(dx, dy);
  TextRect = Moved(TextRect, dx, dy);
  if (TextOutData.Prepared) {
    TextOutData.Rect = Moved(TextOutData.Rect, dx, dy);
    for (auto& row : TextOutData.Rows) {
      row.X += dx;
      row.Y += dy;
    }
  }
}

bool TcxCustomTextEditViewInfo::TextNeedsHint(TcxCanvas* canvas, const TRect& area) {
  if (Font) canvas->ApplyFont(Font);
  const Integer flags = (DrawTextFlags & ~tofVertMask) | tofReturnRowCount;
  const bool multi_line = (flags & tofWordBreak) && !(flags & tofSingleLine);
  const Integer width = multi_line ? TextRect.Width() : kNoLimit;
  TcxTextLayoutParams params;
  InitTextLayoutParams(canvas->DeviceContext(), flags, params);
  TcxTextRows rows;
  Integer count = 0;
  if (!LayoutTextRows(canvas->DeviceContext(), Text, TRect(TextRect.Left, TextRect.Top,
                                                           TextRect.Left + width, kNoLimit),
                      params, rows, count, LineLimit))
    return true;  // text left over: it does not fit
  const Integer line = ZgHeight(canvas);
  Integer y = TextRect.Top;
  PlaceTextRows(TRect(TextRect.Left, TextRect.Top, TextRect.Left + width, kNoLimit), params, rows,
                count);
  for (Integer i = 0; i < count; ++i) {
    const TcxTextRow& row = rows[size_t(i)];
    String s(row.Text, size_t(row.Length));
    const String trimmed = TrimRight(s);
    const Integer row_width = trimmed.empty() ? 0 : canvas->MeasureTextWidth(trimmed);
    const Integer row_height = trimmed.empty() ? line : params.RowHeight;
    if (row_width > TextRect.Width() || row.X + row_width > area.Right) return true;
    y += row_height;
    if (y > area.Bottom) return true;
  }
  return false;
}

bool TcxCustomTextEditViewInfo::QueryHintInRect(TcxCanvas* canvas, const TPoint& p,
                                                const TRect& area, String& text,
                                                bool& is_multi_line, TRect& text_bounds) {
  text.clear();
  TRect test = TextRect;
  if (!(area == TRect())) {
    TRect a = area;
    TRect out;
    if (!IntersectRect(&out, &a, &TextRect)) return false;
    test = out;
  }
  if (!test.Contains(p) || !TextNeedsHint(canvas, test)) return false;
  is_multi_line = (DrawTextFlags & tofWordBreak) && !(DrawTextFlags & tofSingleLine);
  text = Text;
  text_bounds = TextRect;
  return true;
}
