// The pivot grid export link: lays the pivot grid out for export, turns the distinct edges of
// its cells into the columns and rows of an export sheet and writes every header, field header
// and data cell as one merged range with its style and text (or value) to a provider of any
// export type.
#pragma once

#include <memory>
#include <vector>

#include "export/cxExport.h"
#include "foundation/cxClasses.h"

class TcxCustomPivotGrid;
class TcxPivotGridCells;
class TcxPivotGridCustomCellViewInfo;
class TcxPivotGridExportController;
class TcxPivotGridViewInfo;
class TcxPivotGridMapsInfo;
enum TcxPivotGridLines : Byte;
struct TcxStyleParams;

// Takes the font and the text and background colours of resolved view parameters into an export
// style; nothing else of the style changes. Shared by the export links.
void cxViewParamsToStyle(const TcxStyleParams& params, TcxCacheCellStyle& style);

// One exported cell: its range as indexes into the edge lists (it covers columns Left to
// Right - 1 and rows Top to Bottom - 1), the laid-out cell it shows and its style index.
class TcxPivotGridExportCell : public TObject {
  KORVAN_CLASS(TcxPivotGridExportCell, TObject)

 public:
  Integer Left = 0, Top = 0, Right = 0, Bottom = 0;
  TcxPivotGridCustomCellViewInfo* ViewInfo = nullptr;
  Integer StyleIndex = -1;
};

// Owns its export cells.
class TcxPivotGridExportCellList : public TcxObjectList {
 public:
  TcxPivotGridExportCell* Cells(int i) const { return static_cast<TcxPivotGridExportCell*>(Items(i)); }
  TcxPivotGridExportCell* operator[](int i) const { return Cells(i); }
};

// Exports one pivot grid to one file; lives for one call of ExportPivotGridToFile.
class TcxPivotGridExportHelper : public TObject {
  KORVAN_CLASS(TcxPivotGridExportHelper, TObject)

 public:
  // Raises the engine's unsupported-type message for an unregistered type.
  TcxPivotGridExportHelper(TcxCustomPivotGrid* pivotGrid, const String& fileName, Integer exportType);
  ~TcxPivotGridExportHelper() override;

  // Makes the maps object of an export (a derived helper answers its own class of maps).
  virtual TcxPivotGridMapsInfo* CreateMapsInfo(TcxPivotGridExportController* controller);
  // Lays the grid out for export, writes the sheet and commits it; the grid is back in its
  // previous state afterwards, also when a step raised.
  void DoExport();

  TcxCustomPivotGrid* PivotGrid() const { return pivotGrid_; }
  IcxExportProvider* Provider() const { return provider_.get(); }
  TcxPivotGridMapsInfo* MapsInfo() const { return mapsInfo_; }
  bool Expand = false;
  bool UseNativeFormat = false;

 private:
  TcxCustomPivotGrid* pivotGrid_;
  std::shared_ptr<IcxExportProvider> provider_;
  TcxPivotGridMapsInfo* mapsInfo_ = nullptr;
};

// The sheet of one export: the exported cells, the sorted distinct x and y edges of their
// rectangles, and the grid-line setting that decides the borders.
class TcxPivotGridMapsInfo : public TObject {
  KORVAN_CLASS(TcxPivotGridMapsInfo, TObject)

 public:
  // Asks the controller for the export layout and reads the grid lines.
  TcxPivotGridMapsInfo(TcxPivotGridExportHelper* helper, TcxPivotGridExportController* controller);

  // The exported lists of the layout, in export order: column headers, field headers, row
  // headers, data cells.
  std::vector<TcxPivotGridCells*> ExportedLists() const;
  // Collects the edges of the cells, then creates an export cell (style registered, edge
  // indexes) for each of them.
  virtual void BuildMaps();
  // Sizes the sheet and writes every export cell; nothing when there are no edges.
  virtual void WriteMaps();
  // The style of a cell as the provider gets it.
  TcxCacheCellStyle CellStyle(TcxPivotGridCustomCellViewInfo* cell) const;

  // The sorted distinct left and right edges (x) and top and bottom edges (y) of the cells
  // of the lists. A cell with an empty rectangle takes no part: it has no area to export.
  static void CollectEdges(const std::vector<TcxPivotGridCells*>& lists, std::vector<Integer>& xs,
                           std::vector<Integer>& ys);
  // The position of an edge in its sorted list (the edge is one of the list's).
  static Integer EdgeIndex(const std::vector<Integer>& edges, Integer value);
  static bool IsExported(const TcxPivotGridCustomCellViewInfo* cell);

  TcxPivotGridExportCellList& ExportCells() { return cells_; }
  const std::vector<Integer>& XEdges() const { return xs_; }
  const std::vector<Integer>& YEdges() const { return ys_; }
  TcxPivotGridExportController* Controller() const { return controller_; }
  TcxPivotGridExportHelper* Helper() const { return helper_; }
  TcxPivotGridViewInfo* ViewInfo() const { return viewInfo_; }
  TcxPivotGridLines GridLines() const { return gridLines_; }
  Integer BorderColor = 0;

 private:
  TcxPivotGridExportHelper* helper_;
  TcxPivotGridExportController* controller_;
  TcxPivotGridViewInfo* viewInfo_;
  TcxPivotGridLines gridLines_;
  TcxPivotGridExportCellList cells_;
  std::vector<Integer> xs_, ys_;
};

// Writes the pivot grid to a file of the export type. With a file extension the file name's
// extension becomes "." and it. Expand exports every group expanded; UseNativeFormat writes
// the data cells' values instead of their texts; the separators go to a provider that takes
// them (the text writer), in order. A nil grid exports nothing.
void ExportPivotGridToFile(String fileName, TcxCustomPivotGrid* pivotGrid, Integer exportType, bool expand,
                           bool useNativeFormat, const std::vector<String>& separators, const String& fileExt);
// ExportPivotGridToFile with the HTML writer, the texts and no separators.
void ExportPivotGridToHtml(const String& fileName, TcxCustomPivotGrid* pivotGrid, bool expand, const String& fileExt);

// The unit start: the writers registered, and the engine set up again with the foundation's
// resource texts and the platform's colours.
void InitializeCxExportPivotGridLink();
