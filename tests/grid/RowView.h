// A small record view of the tests' and benchmarks' own: one row per record, one data cell per
// visible item side by side, rows stacked from the top of the records area (or from a record
// upwards for measuring), heights fixed or measured; a part of its own can be stacked above or
// below.
#pragma once

#include <memory>
#include <vector>

#include "grid/cxGrid.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCustomTableView.h"
#include "grid/cxGridCustomTableViewInfo.h"

namespace gridtest {

class TRowRecordViewInfo;

class TRowRecord : public TcxCustomGridRecord {
 public:
  using TcxCustomGridRecord::TcxCustomGridRecord;
  bool HasCells() override { return true; }
  TcxGridRecordViewInfoClass GetViewInfoClass() override { return GridRecordViewInfoClassOf<TRowRecordViewInfo>(); }
};

class TRowRecordViewInfo : public TcxCustomGridRecordViewInfo {
  KORVAN_CLASS(TRowRecordViewInfo, TcxCustomGridRecordViewInfo)

 public:
  TRowRecordViewInfo(TcxCustomGridRecordsViewInfo* owner, TcxCustomGridRecord* record);
  ~TRowRecordViewInfo() override;
  Integer CellCount() const { return Integer(cells_.size()); }
  TcxGridTableDataCellViewInfo* Cell(Integer i) const { return cells_.at(size_t(i)); }
  TcxGridTableDataCellViewInfo* GetCellViewInfoByItem(TcxCustomGridTableItem* item) override;
  void GetItemCellBounds(TcxCustomGridTableItem* item, TRect& r) override;
  bool HasVariableHeight() override { return RecordsViewInfo()->HasVariableRecordHeight(); }
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  // How many were made (offsetting makes only those of the records that come in).
  static Integer Created;

 private:
  std::vector<TcxGridTableDataCellViewInfo*> cells_;
};

class TRowRecordPainter : public TcxCustomGridRecordPainter {
  KORVAN_CLASS(TRowRecordPainter, TcxCustomGridRecordPainter)

 public:
  using TcxCustomGridRecordPainter::TcxCustomGridRecordPainter;
  void DrawCells() override;
};

class TRowsViewInfo : public TcxCustomGridRecordsViewInfo {
  KORVAN_CLASS(TRowsViewInfo, TcxCustomGridRecordsViewInfo)

 public:
  using TcxCustomGridRecordsViewInfo::TcxCustomGridRecordsViewInfo;
  Integer GetItemLeftBound(Integer index) override { return ContentBounds.Left; }
  Integer GetItemTopBound(Integer index) override;
  Integer GetPixelScrollSize(Integer count) override;
  void OffsetItem(Integer index, Integer pixels) override { Items(index)->OffsetBounds(0, pixels); }
  void CalculateItems() override;
  void CalculateVisibleCount() override;
  Integer GetRecordsPerPage() override;
};

// A part of the tests' own: a strip of a fixed height, top or bottom.
class TTestPart : public TcxCustomGridPartViewInfo {
  KORVAN_CLASS(TTestPart, TcxCustomGridPartViewInfo)

 public:
  using TcxCustomGridPartViewInfo::TcxCustomGridPartViewInfo;
  TcxGridPartAlignment GetPartAlignment() override { return Alignment; }
  bool IsFullWidth() override { return true; }
  bool ScrollsHorizontally() override { return false; }
  bool IsPartVisible() override { return Shown; }
  Integer CalculateHeight() override { return PartHeight; }
  TcxGridPartAlignment Alignment = gpaTop;
  Integer PartHeight = 20;
  bool Shown = true;
};

class TRowsTableViewInfo : public TcxCustomGridTableViewInfo {
  KORVAN_CLASS(TRowsTableViewInfo, TcxCustomGridTableViewInfo)

 public:
  using TcxCustomGridTableViewInfo::TcxCustomGridTableViewInfo;
  TClass GetRecordsViewInfoClass() override { return TRowsViewInfo::StaticClass(); }
  TRowsViewInfo* Rows() const { return static_cast<TRowsViewInfo*>(RecordsViewInfo()); }
  // The parts the tests stack (made with the other parts on each recalculation).
  std::vector<std::pair<TcxGridPartAlignment, Integer>> PartSpecs;
  std::vector<TTestPart*> TestParts;

 protected:
  void CreateViewParts() override;
  void DestroyViewParts() override;
};

class TRowsViewData : public TcxCustomGridTableViewData {
  KORVAN_CLASS(TRowsViewData, TcxCustomGridTableViewData)

 public:
  using TcxCustomGridTableViewData::TcxCustomGridTableViewData;
  TcxGridRecordClass GetRecordClass(const TcxRowInfo&) override { return GridRecordClassOf<TRowRecord>(); }
};

class TRowsItem : public TcxCustomGridTableItem {
  KORVAN_CLASS(TRowsItem, TcxCustomGridTableItem)

 public:
  using TcxCustomGridTableItem::TcxCustomGridTableItem;
};

class TRowsController : public TcxCustomGridTableController {
  KORVAN_CLASS(TRowsController, TcxCustomGridTableController)

 public:
  using TcxCustomGridTableController::TcxCustomGridTableController;
  void MakeItemVisible(TcxCustomGridTableItem*) override {}
};

class TRowsView : public TcxCustomGridTableView {
  KORVAN_CLASS(TRowsView, TcxCustomGridTableView)

 public:
  using TcxCustomGridTableView::TcxCustomGridTableView;
  TClass GetControllerClass() override { return TRowsController::StaticClass(); }
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<TcxGridDataController>(); }
  TClass GetViewDataClass() override { return TRowsViewData::StaticClass(); }
  TClass GetViewInfoClass() override { return TRowsTableViewInfo::StaticClass(); }
  TClass GetItemClass() override { return TRowsItem::StaticClass(); }
  TRowsController* Ctrl() const { return static_cast<TRowsController*>(Controller()); }
  TRowsTableViewInfo* Info() const { return static_cast<TRowsTableViewInfo*>(ViewInfo()); }
  // Each row's height: fixed (0: measured from the cells).
  Integer RowHeight = 20;
};

}  // namespace gridtest
