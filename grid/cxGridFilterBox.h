// The filter box of record-based views: its options (TcxGridFilterBox, the view's FilterBox)
// and the bar that shows the current filter as text with its close, activate, customize and
// drop-down buttons (a part of the view's layout above or below the records), their hit tests
// and painters. What the customize and drop-down buttons open belongs to the filter dialogs
// and drop-downs; the view's hooks reach them.
// Source: cxGridFilterBox.cpp.
#pragma once

#include <vector>

#include "grid/cxGridCustomTableViewInfo.h"
#include "rtl/TypInfo.h"

enum TcxGridFilterPosition : Byte { fpTop, fpBottom };
enum TcxGridFilterVisible : Byte { fvNever, fvNonEmpty, fvAlways };

class TcxGridFilterBox : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxGridFilterBox, TcxCustomGridOptions)

 public:
  explicit TcxGridFilterBox(TcxCustomGridView* view) : TcxCustomGridOptions(view) {}
  TcxGridFilterPosition Position() const { return position_; }
  void SetPosition(TcxGridFilterPosition v);
  TcxGridFilterVisible Visible() const { return visible_; }
  void SetVisible(TcxGridFilterVisible v);
  bool CustomizeDialog() const { return customizeDialog_; }
  void SetCustomizeDialog(bool v);
  Integer MRUItemsListDropDownCount() const { return mruItemsListDropDownCount_; }
  void SetMRUItemsListDropDownCount(Integer v);
  void AssignFrom(TPersistent* source) override;

 private:
  TcxGridFilterPosition position_ = fpBottom;
  TcxGridFilterVisible visible_ = fvNonEmpty;
  bool customizeDialog_ = true;
  Integer mruItemsListDropDownCount_ = 0;
};

// The enumerations' type information (published properties, older form texts).
PTypeInfo GridFilterPositionTypeInfo();
PTypeInfo GridFilterVisibleTypeInfo();

// ---- hit tests ---------------------------------------------------------------------------------------

class TcxGridFilterHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridFilterHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 101; }
};

class TcxGridFilterActivateButtonHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridFilterActivateButtonHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 102; }
};

class TcxGridFilterCloseButtonHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridFilterCloseButtonHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 103; }
};

class TcxGridFilterDropDownButtonHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridFilterDropDownButtonHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 104; }
};

class TcxGridFilterCustomizeButtonHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridFilterCustomizeButtonHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 105; }
};

// ---- the buttons ---------------------------------------------------------------------------------------

class TcxGridFilterButtonsViewInfo;

// A button of the bar: hot-tracked, left-aligned unless it says otherwise, shown while the
// filter has conditions.
class TcxCustomGridFilterButtonViewInfo : public TcxCustomGridViewCellViewInfo {
  KORVAN_CLASS(TcxCustomGridFilterButtonViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  explicit TcxCustomGridFilterButtonViewInfo(TcxGridFilterButtonsViewInfo* buttons);
  TcxGridFilterButtonsViewInfo* ButtonsViewInfo() const { return buttons_; }
  TcxGridFilterViewInfo* FilterViewInfo() const;
  TcxDataFilterCriteria* Filter() const;
  TcxCanvas* GetCanvas() override;
  bool IsHotTrackable() override { return true; }
  bool CaptureMouseOnPress() override { return true; }
  TcxBorders GetBorders() override { return TcxBorders(); }
  bool HasBackground() override { return false; }
  virtual bool IsLeftAligned() { return true; }
  virtual bool IsButtonVisible();
  // The button's size (its place comes from the bar's layout).
  virtual TPoint GetSize() = 0;
  TcxButtonState ButtonState() { return GridCellStateToButtonState(State()); }

 private:
  TcxGridFilterButtonsViewInfo* buttons_;
};

class TcxGridFilterCloseButtonViewInfo : public TcxCustomGridFilterButtonViewInfo {
  KORVAN_CLASS(TcxGridFilterCloseButtonViewInfo, TcxCustomGridFilterButtonViewInfo)

 public:
  using TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo;
  TPoint GetSize() override;
  TClass GetHitTestClass() override { return TcxGridFilterCloseButtonHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  // Removes every condition of the filter.
  void Click() override;
};

class TcxGridFilterActivateButtonViewInfo : public TcxCustomGridFilterButtonViewInfo {
  KORVAN_CLASS(TcxGridFilterActivateButtonViewInfo, TcxCustomGridFilterButtonViewInfo)

 public:
  using TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo;
  TPoint GetSize() override;
  TClass GetHitTestClass() override { return TcxGridFilterActivateButtonHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  // Switches the filter off and on, keeping its conditions.
  void Click() override;
};

class TcxGridFilterCustomizeButtonViewInfo : public TcxCustomGridFilterButtonViewInfo {
  KORVAN_CLASS(TcxGridFilterCustomizeButtonViewInfo, TcxCustomGridFilterButtonViewInfo)

 public:
  using TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo;
  String GetText() override;
  TPoint GetSize() override;
  bool IsLeftAligned() override { return false; }
  bool IsButtonVisible() override;
  TClass GetHitTestClass() override { return TcxGridFilterCustomizeButtonHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void Click() override;
};

class TcxGridFilterDropDownButtonViewInfo : public TcxCustomGridFilterButtonViewInfo {
  KORVAN_CLASS(TcxGridFilterDropDownButtonViewInfo, TcxCustomGridFilterButtonViewInfo)

 public:
  using TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo;
  TPoint GetSize() override;
  bool IsLeftAligned() override { return false; }
  bool IsButtonVisible() override;
  TClass GetHitTestClass() override { return TcxGridFilterDropDownButtonHitTest::StaticClass(); }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  // The table controller's drop-down of recent filters once it is made (the view's
  // ShowFilterMRUItemsPopup makes it).
  IcxCustomGridPopup* GetPopup() override;
  void Click() override;
};

// The bar's buttons in creation order: close, activate, customize, drop-down.
class TcxGridFilterButtonsViewInfo : public TObject {
  KORVAN_CLASS(TcxGridFilterButtonsViewInfo, TObject)

 public:
  explicit TcxGridFilterButtonsViewInfo(TcxGridFilterViewInfo* filterViewInfo);
  ~TcxGridFilterButtonsViewInfo() override;
  TcxGridFilterViewInfo* FilterViewInfo() const { return filterViewInfo_; }
  Integer Count() const { return Integer(items_.size()); }
  TcxCustomGridFilterButtonViewInfo* Items(Integer i) const { return items_.at(size_t(i)); }
  TcxGridFilterDropDownButtonViewInfo* DropDownButton() const { return dropDownButton_; }
  // The tallest visible button plus 8, or 0 without visible buttons.
  Integer GetHeight();
  // The room the visible buttons of one side take (each width + 4, plus 4 when any).
  Integer GetSideWidth(bool left);
  // Places the visible buttons in the bar's rectangle.
  void Calculate(const TRect& bounds);
  TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  void OffsetBounds(Integer dx, Integer dy);
  void Paint(TcxCanvas* canvas);

 private:
  TcxGridFilterViewInfo* filterViewInfo_;
  std::vector<TcxCustomGridFilterButtonViewInfo*> items_;
  TcxGridFilterDropDownButtonViewInfo* dropDownButton_ = nullptr;
};

// ---- painters ----------------------------------------------------------------------------------------------

class TcxGridFilterPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridFilterPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawText() override;
  void DrawContent() override;
  // The rows painted after the bar stay out of it (a partly shown last row reaches into it).
  bool ExcludeFromClipping() override { return true; }
};

class TcxGridFilterButtonPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridFilterButtonPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override;
  void DrawBorders() override {}
};

// The text of a bar without conditions.
String GridFilterIsEmptyText();
