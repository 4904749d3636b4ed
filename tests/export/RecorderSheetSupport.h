// Readings of a recorder's sheet shared by the grid exporter tests: the text writer's lines,
// a cell's border widths and the column widths.
#pragma once

#include <vector>

#include "tests/support/export/ExportRecorder.h"

// The cells of the recorder as the text writer writes them with "|" between them.
inline String TextLines(const TcxRecordingExportProvider* r) {
  String lines;
  for (Integer row = 0; row < r->GetRowCount(); ++row) {
    for (Integer col = 0; col < r->GetColumnCount(); ++col) lines += (col ? "|" : "") + r->CellText(col, row);
    lines += "\r\n";
  }
  return lines;
}

// The border widths of a cell, left, top, right, bottom ("0000" without a style).
inline String Frame(TcxRecordingExportProvider* r, Integer col, Integer row) {
  const TcxCacheCellStyle* style = r->GetCellStyle(col, row);
  String out;
  for (Integer side = 0; side < 4; ++side) out += IntToStr(style ? style->Borders[side].Width : 0);
  return out;
}

inline std::vector<Integer> ColumnWidths(TcxRecordingExportProvider* r) {
  std::vector<Integer> widths;
  for (Integer c = 0; c < r->GetColumnCount(); ++c) widths.push_back(r->GetColumnWidth(c));
  return widths;
}
