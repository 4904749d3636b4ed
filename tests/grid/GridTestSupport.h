// A small view of the tests' own: its view info lays out a row of cells (each with a text, an
// alignment and optional borders), its painter paints them and leaves the rest to the
// background, its controller records the input it gets and leaves the grid on Tab.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/cxCustomData.h"
#include "grid/cxGrid.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/Forms.h"

namespace gridtest {

class TTestCellHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TTestCellHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 1000; }
  TCursor GetCursor() override { return crcxGridSelectRow; }
  // While set, cells can be dragged (an internal drag of the site).
  static bool Draggable;
  TcxDragAndDropObjectClass DragAndDropObjectClass() override {
    if (!Draggable) return nullptr;
    return [](TcxControl* control) { return new TcxDragAndDropObject(control); };
  }
};

class TTestViewInfo;

class TTestCell : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TTestCell, TcxCustomGridViewCellViewInfo)

 public:
  explicit TTestCell(TcxCustomGridViewInfo* viewInfo) : TcxCustomGridViewCellViewInfo(viewInfo) {}
  TClass GetHitTestClass() override { return TTestCellHitTest::StaticClass(); }
  String GetText() override { return CellText; }
  TAlignment GetAlignmentHorz() override { return Horz; }
  TcxAlignmentVert GetAlignmentVert() override { return Vert; }
  TcxBorders GetBorders() override { return CellBorders; }
  Integer GetBorderWidth(TcxBorder) override { return 1; }
  TColor GetBorderColor(TcxBorder) override { return clBtnShadow; }
  void GetViewParams(TcxStyleParams& params) override;
  bool IsHotTrackable() override { return HotTrack; }
  bool HasHint() override { return true; }
  bool CaptureMouseOnPress() override { return true; }
  IcxCustomGridPopup* GetPopup() override { return Popup; }
  bool HasCustomDraw() override { return bool(OnCustomDraw); }
  bool CustomDraw(TcxCanvas* canvas) override { return OnCustomDraw(this, canvas); }
  void Click() override { ++Clicks; }
  bool HasFocusRect() override { return FocusRect; }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  Integer CalculateWidth() override { return FixedWidth >= 0 ? FixedWidth : TcxCustomGridViewCellViewInfo::CalculateWidth(); }

  String CellText;
  TAlignment Horz = taLeftJustify;
  TcxAlignmentVert Vert = vaCenter;
  TcxBorders CellBorders;
  bool HotTrack = true;
  bool FocusRect = false;
  IcxCustomGridPopup* Popup = nullptr;
  std::function<bool(TTestCell*, TcxCanvas*)> OnCustomDraw;
  Integer Clicks = 0;
  bool AsButton = false;  // painted as a look-and-feel button
  Integer FixedWidth = -1;
};

// Paints a cell as a button of the control's look and feel.
class TTestButtonCellPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TTestButtonCellPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
};

class TTestView;

class TTestViewInfo : public TcxCustomGridViewInfo {
  KORVAN_CLASS(TTestViewInfo, TcxCustomGridViewInfo)

 public:
  explicit TTestViewInfo(TcxCustomGridView* v) : TcxCustomGridViewInfo(v) {}
  ~TTestViewInfo() override { Cells.clear(); }
  void Calculate() override;
  TcxCustomGridHitTest* GetContentHitTest(const TPoint& p) override;
  TTestView* View() const;
  // The height the view needs in a details site (-1: all it is given).
  void GetHeight(const TPoint& maxSize, Integer& height, bool& fullyVisible) override {
    if (ContentHeight < 0) return TcxCustomGridViewInfo::GetHeight(maxSize, height, fullyVisible);
    fullyVisible = ContentHeight <= maxSize.Y;
    height = std::min(ContentHeight, maxSize.Y);
  }
  Integer ContentHeight = -1;
  std::vector<std::unique_ptr<TTestCell>> Cells;
  Integer CalculateCount = 0;
  std::function<void()> OnCalculate;
};

class TTestPainter : public TcxCustomGridPainter {
  KORVAN_CLASS(TTestPainter, TcxCustomGridPainter)

 public:
  explicit TTestPainter(TcxCustomGridView* v) : TcxCustomGridPainter(v) {}
  void PaintViewContent() override;
  Integer PaintCount = 0;
};

class TTestController : public TcxCustomGridController {
  KORVAN_CLASS(TTestController, TcxCustomGridController)

 public:
  explicit TTestController(TcxCustomGridView* v) : TcxCustomGridController(v) {}
  void HandleKeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override { Log.push_back("KeyPress"); }
  void MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) override {
    Log.push_back("MouseDown");
    TcxCustomGridController::MouseDown(b, s, x, y);
  }
  void MouseUp(TMouseButton b, TShiftState s, Integer x, Integer y) override {
    Log.push_back("MouseUp");
    TcxCustomGridController::MouseUp(b, s, x, y);
  }
  void FocusDetail(TcxCustomGridView*) override { Log.push_back("FocusDetail"); }
  void EndDragAndDrop(bool) override { Log.push_back("EndDragAndDrop"); }
  bool ProcessDetailDialogChar(TcxCustomGridView*, Word c) override { return c == AcceptedChar; }
  std::vector<std::string> Log;
  Word AcceptedChar = 0;
};

class TTestViewData : public TcxCustomGridViewData {
  KORVAN_CLASS(TTestViewData, TcxCustomGridViewData)

 public:
  explicit TTestViewData(TcxCustomGridView* v) : TcxCustomGridViewData(v) {}
};

class TTestOptionsView : public TcxCustomGridOptionsView {
  KORVAN_CLASS(TTestOptionsView, TcxCustomGridOptionsView)

 public:
  explicit TTestOptionsView(TcxCustomGridView* v) : TcxCustomGridOptionsView(v) {}
  Integer CellCount() const { return cellCount_; }
  void SetCellCount(Integer v) {
    if (v == cellCount_) return;
    cellCount_ = v;
    Changed(1);
  }
  void AssignFrom(TPersistent* source) override;

 private:
  Integer cellCount_ = 3;
};

class TTestView : public TcxCustomGridView {
  KORVAN_CLASS(TTestView, TcxCustomGridView)

 public:
  explicit TTestView(TComponent* owner) : TcxCustomGridView(owner) {}
  TClass GetControllerClass() override { return TTestController::StaticClass(); }
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<TcxDataController>(); }
  TClass GetPainterClass() override { return TTestPainter::StaticClass(); }
  TClass GetViewDataClass() override { return TTestViewData::StaticClass(); }
  TClass GetViewInfoClass() override { return TTestViewInfo::StaticClass(); }
  TClass GetOptionsViewClass() override { return TTestOptionsView::StaticClass(); }
  void FocusChanged(bool focused) override;
  void DoChanged(Integer kind) override {
    TcxCustomGridView::DoChanged(kind);
    ChangedKinds.push_back(kind);
  }
  TTestController* TestController() const { return static_cast<TTestController*>(Controller()); }
  TTestViewInfo* TestViewInfo() const { return static_cast<TTestViewInfo*>(ViewInfo()); }
  TTestOptionsView* TestOptionsView() const { return static_cast<TTestOptionsView*>(OptionsView()); }
  TTestOptionsView* OptionsViewObject() const { return TestOptionsView(); }
  std::vector<Integer> ChangedKinds;
  std::vector<std::string> Cells{"One", "Two", "Three"};
  bool FailFocusLoss = false;
  std::function<void(bool)> OnFocusChangedHook;
};

// A view info with no cells, for views other than TTestView.
class TPlainViewInfo : public TcxCustomGridViewInfo {
  KORVAN_CLASS(TPlainViewInfo, TcxCustomGridViewInfo)
 public:
  explicit TPlainViewInfo(TcxCustomGridView* v) : TcxCustomGridViewInfo(v) {}
};

// Registers the test classes for form descriptions.
void RegisterTestViewClasses();

// A form with a grid on the headless backend.
class GridFixture : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A view on a new level under `parent` (the root level when null).
  TTestView* AddView(TcxGridLevel* parent = nullptr, const String& name = String());
  void ShowForm();
  TForm* form_ = nullptr;
  TcxGrid* grid_ = nullptr;
};

}  // namespace gridtest
