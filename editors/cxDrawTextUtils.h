// The editors' text engine: breaks text into rows by width, justifies and distributes rows,
// places them vertically, ends the last visible row with an ellipsis, highlights a selection
// across rows and reports the rows for measuring. Flags are its own text-out flags; the
// conversions to and from the canvas text flags are at the end.
#pragma once

#include <vector>

#include "gdi/WinDef.h"
#include "vcl/Graphics.h"

// Horizontal alignment (a value in bits 0-2).
constexpr Integer tofLeft = 0, tofCenterHorz = 1, tofRight = 2, tofJustify = 3, tofDistribute = 4;
constexpr Integer tofHorzMask = 0x7;
// Vertical alignment (a value in bits 4-5).
constexpr Integer tofTop = 0, tofCenterVert = 0x10, tofBottom = 0x20, tofDistributeVert = 0x30;
constexpr Integer tofVertMask = 0x30;
constexpr Integer tofKeepLeftInside = 0x40, tofKeepTopInside = 0x80, tofWordBreak = 0x100,
                  tofSingleLine = 0x200, tofExpandTabs = 0x400, tofEndEllipsis = 0x800,
                  tofExternalLeading = 0x2000, tofCompleteRowsOnly = 0x4000, tofNoClip = 0x8000,
                  tofCharBreak = 0x20000, tofCalcRect = 0x100000, tofReturnRowCount = 0x200000;

constexpr Integer MakeTextOutAlignment(Integer horz, Integer vert) { return horz + vert * 16; }

struct TcxTextLayoutParams {
  Integer FontHeight = 0;
  Integer ExternalLeading = 0;
  Integer RowHeight = 0;
  Integer EllipsisWidth = 0;
  char32_t BreakChar = U' ';
  Integer HorzAlignment = tofLeft;
  Integer VertAlignment = tofTop;
  bool WordBreak = false, SingleLine = false, ExpandTabs = false, EndEllipsis = false,
       ExternalLeadingFlag = false, CompleteRowsOnly = false, NoClip = false,
       KeepLeftInside = false, KeepTopInside = false, CharBreak = false, CalcRect = false,
       ReturnRowCount = false;
  Integer MaxCharWidth = 0;
  Integer AveCharWidth = 0;
  Byte CharSet = 0;
};

// One row: Text points into the laid-out text; Length counts bytes, CharCount characters;
// TextOffset is the character index of the row's first character in the whole text.
struct TcxTextRow {
  const char* Text = nullptr;
  Integer Length = 0;
  Integer CharCount = 0;
  Integer Width = 0;
  Integer Height = 0;
  Integer BreakCount = 0;
  Integer X = 0;
  Integer Y = 0;
  Integer TextOffset = 0;
};
using TcxTextRows = std::vector<TcxTextRow>;

// Lays out, places and draws (or with tofCalcRect measures into rect) the text. Returns 0 for
// an empty text; the row count with tofReturnRowCount (or when the height is 0); otherwise
// the height of the text. SelStart and SelLength count characters; max_row_count 0 means
// unlimited.
Integer TextOutRect(HDC dc, const String& text, TRect& rect, Integer flags, Integer sel_start = 0,
                    Integer sel_length = 0, TColor sel_background = clNone,
                    TColor sel_text_color = clWindowText, Integer max_row_count = 0,
                    Integer left_indent = 0, Integer right_indent = 0);
Integer TextOutRectOnCanvas(TCanvas* canvas, const String& text, TRect& rect, Integer flags,
                            Integer sel_start = 0, Integer sel_length = 0,
                            TColor sel_background = clNone, TColor sel_text_color = clWindowText,
                            Integer max_row_count = 0, Integer left_indent = 0,
                            Integer right_indent = 0);
// Without a selection: rows are drawn in the current text colour.
Integer TextOutSimple(TCanvas* canvas, const String& text, TRect& rect, Integer flags,
                      Integer max_row_count = 0, Integer left_indent = 0, Integer right_indent = 0);
Integer TextOutSimpleDC(HDC dc, const String& text, TRect& rect, Integer flags,
                        Integer max_row_count = 0, Integer left_indent = 0,
                        Integer right_indent = 0);

void InitTextLayoutParams(HDC dc, Integer flags, TcxTextLayoutParams& params);
void InitTextLayoutParams(TCanvas* canvas, Integer flags, TcxTextLayoutParams& params);
// Breaks the text into rows (not placed). False only when the rows stopped with text left
// (never for single-line or calc-rect layouts). The rows point into `text`.
bool LayoutTextRows(HDC dc, const String& text, const TRect& rect,
                    const TcxTextLayoutParams& params, TcxTextRows& rows, Integer& row_count,
                    Integer max_row_count = 0);
bool LayoutTextRows(TCanvas* canvas, const String& text, const TRect& rect,
                    const TcxTextLayoutParams& params, TcxTextRows& rows, Integer& row_count,
                    Integer max_row_count = 0);
// Places laid-out rows in the rectangle (X and Y of each row).
void PlaceTextRows(const TRect& rect, const TcxTextLayoutParams& params, TcxTextRows& rows,
                   Integer row_count);
Integer TextRowsMaxWidth(const TcxTextRows& rows, Integer count);

// Conversions between these flags and the canvas text flags (ctfLeft ...).
Integer TextOutFlagsToCanvasFlags(Integer flags);
Integer CanvasFlagsToTextOutFlags(Integer flags);
