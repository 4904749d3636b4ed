// The details site: the rectangle in which a level shows the view of its active child level,
// inside a frame, with a strip of tabs (one per visible child level) on the left or at the top.
// This unit holds the common base (sizes, frame, background, hit test, accelerators), the tab
// strips, the tabs, the tab hit test and the three painters.
#pragma once

#include <vector>

#include "grid/cxGridCustomView.h"

class TcxCustomGridDetailsSiteTabsViewInfo;
class TcxCustomGridDetailsSiteViewInfo;
class TcxCustomGridRecord;

// A details-site tab at a point: its level, and what the site adds (the top site: the grid).
class TcxGridDetailsSiteTabHitTest : public TcxCustomGridHitTest {
  KORVAN_CLASS(TcxGridDetailsSiteTabHitTest, TcxCustomGridHitTest)

 public:
  Integer GetHitTestCode() override { return 50; }
  TcxGridLevel* Level() const { return level_; }
  void SetLevel(TcxGridLevel* v) { level_ = v; }
  // What the site adds: the grid for the top site, the master row for a row's site.
  TObject* Owner() const { return owner_; }
  void SetOwner(TObject* v) { owner_ = v; }

 private:
  TcxGridLevel* level_ = nullptr;
  TObject* owner_ = nullptr;
};

class TcxCustomGridDetailsSiteViewInfo : public TcxComponent {
  KORVAN_CLASS(TcxCustomGridDetailsSiteViewInfo, TcxComponent)

 public:
  explicit TcxCustomGridDetailsSiteViewInfo(TcxGridLevel* level);
  ~TcxCustomGridDetailsSiteViewInfo() override;
  // The destructor's own step, run by the most derived class (the base destructor can no
  // longer reach the overrides).
  void BeforeDestruction() override;

  virtual Integer CalculateHeight();
  virtual Integer CalculateWidth();
  virtual TColor GetBackgroundColor();
  virtual TcxCanvas* GetCanvas() = 0;
  virtual void GetClientBounds(TRect& r);
  virtual Integer GetEmptyClientHeight() { return 100; }
  virtual Integer GetEmptyClientWidth() { return 200; }
  virtual TColor GetFrameColor();
  virtual Integer GetFrameWidth();
  virtual bool GetViewFits() { return ViewFits; }
  virtual Integer GetHeight() { return CalculateHeight(); }
  virtual TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() = 0;
  virtual TcxCustomGridRecord* GetMasterRecord() = 0;
  virtual Integer GetMaxHeight() = 0;
  virtual Integer GetMaxWidth() = 0;
  virtual Integer GetMaxNaturalHeight();
  virtual Integer GetMinWidth() { return GetMaxWidth(); }
  virtual Integer GetNaturalHeight() { return NaturalHeight; }
  virtual Integer GetWidth() { return CalculateWidth(); }
  // The strip class for the level's DetailTabsPosition (none for dtpNone).
  TClass GetTabsViewInfoClass();
  virtual TcxCustomGridView* FindActiveGridView() = 0;
  virtual bool HasActiveGridView();
  virtual TcxCustomGridView* GetActiveGridView();
  virtual TcxGridLevel* GetActiveLevel() = 0;
  virtual bool GetVisible() { return true; }
  virtual void InitTabHitTest(TcxGridDetailsSiteTabHitTest* hitTest) = 0;
  virtual void Calculate(Integer left, Integer top);
  virtual void ChangeActiveTab(TcxGridLevel* level, bool byKeyboard = false) = 0;
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  virtual bool SupportsTabAccelerators() { return false; }
  virtual void VisibilityChanged(bool visible);
  // The window the site is drawn on (tabs invalidate and track the mouse there).
  virtual TcxControl* GetControl() = 0;

  TRect ClientBounds() {
    TRect r;
    GetClientBounds(r);
    return r;
  }
  Integer GetClientHeight() { return ClientBounds().Height(); }
  Integer GetClientWidth() { return ClientBounds().Width(); }
  TRect GetFrameBounds();
  Integer GetNonClientHeight() { return Bounds.Height() - GetClientHeight(); }
  Integer GetNonClientWidth() { return Bounds.Width() - GetClientWidth(); }
  Integer GetMaxClientHeight() { return GetMaxHeight() - GetNonClientHeight(); }
  Integer GetMaxClientWidth() { return GetMaxWidth() - GetNonClientWidth(); }
  void Paint(TcxCanvas* canvas);
  // A tab whose caption has the key as its accelerator becomes active.
  bool ProcessDialogChar(Word key);
  TcxGridLevel* Level() const { return level_; }
  TcxCustomGridDetailsSiteTabsViewInfo* TabsViewInfo() const { return tabsViewInfo_; }

  TRect Bounds;
  bool ViewFits = false;
  Integer NaturalHeight = 0;

 protected:
  void Notification(TComponent* c, TOperation operation) override;

 private:
  TcxGridLevel* level_;
  TcxCustomGridDetailsSiteTabsViewInfo* tabsViewInfo_ = nullptr;
  TcxCustomGridView* activeGridView_ = nullptr;
  bool activeGridViewFound_ = false;
  bool visibilityReported_ = false;
};

class TcxGridDetailsSitePainter : public TObject {
 public:
  TcxGridDetailsSitePainter(TcxCanvas* canvas, TcxCustomGridDetailsSiteViewInfo* site)
      : canvas_(canvas), site_(site) {}
  virtual void DrawBackground();
  virtual void DrawFrame();
  virtual void DrawTabs();
  virtual void Paint();
  TcxCanvas* Canvas() const { return canvas_; }
  TcxCustomGridDetailsSiteViewInfo* ViewInfo() const { return site_; }

 private:
  TcxCanvas* canvas_;
  TcxCustomGridDetailsSiteViewInfo* site_;
};

// ---- tabs ---------------------------------------------------------------------------------------

class TcxCustomGridDetailsSiteTabViewInfo;

// The strip of tabs: one tab per visible child level of the site's level, and the pane line
// (4 pixels) on the side of the view.
class TcxCustomGridDetailsSiteTabsViewInfo : public TObject {
  KORVAN_CLASS(TcxCustomGridDetailsSiteTabsViewInfo, TObject)

 public:
  static constexpr Integer StripWidth = 4;
  explicit TcxCustomGridDetailsSiteTabsViewInfo(TcxCustomGridDetailsSiteViewInfo* site);
  ~TcxCustomGridDetailsSiteTabsViewInfo() override;
  // Tabs are made after construction (a constructor cannot reach GetTabClass of descendants).
  void CreateTabs();

  virtual Integer CalculateHeight();
  virtual Integer CalculateWidth();
  virtual void AdjustSiteHeight(Integer& height) {}
  virtual void AdjustSiteWidth(Integer& width) {}
  virtual Integer GetActiveTabOffset() = 0;
  virtual TColor GetBackgroundColor();
  virtual bool IsVertical() = 0;
  virtual TcxCustomGridDetailsSiteTabViewInfo* CreateTab(TcxGridLevel* level) = 0;
  virtual Integer GetTabHeight(TcxCustomGridDetailsSiteTabViewInfo* tab);
  virtual Integer GetTabWidth(TcxCustomGridDetailsSiteTabViewInfo* tab);
  virtual TcxBorders GetPaneBorders() = 0;
  virtual void GetPaneBounds(TRect& r) = 0;
  virtual void Calculate(const TRect& bounds);
  virtual void AdjustClientBounds(TRect& r) = 0;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  bool ProcessDialogChar(Word key);
  void Paint(TcxCanvas* canvas);

  TcxCustomGridDetailsSiteViewInfo* Site() const { return site_; }
  Integer GetTabCount() const { return Integer(tabs_.size()); }
  TcxCustomGridDetailsSiteTabViewInfo* GetTab(Integer i) const { return tabs_.at(size_t(i)); }
  Integer GetHeight();
  Integer GetWidth();
  Integer GetCrossSize() { return IsVertical() ? GetWidth() : GetHeight(); }
  Integer GetTabCrossSize() { return GetCrossSize() - 5; }
  TRect PaneBounds() {
    TRect r;
    GetPaneBounds(r);
    return r;
  }

  TRect Bounds;

 private:
  TcxCustomGridDetailsSiteViewInfo* site_;
  std::vector<TcxCustomGridDetailsSiteTabViewInfo*> tabs_;
  Integer height_ = 0, width_ = 0;
};

class TcxGridDetailsSiteLeftTabsViewInfo : public TcxCustomGridDetailsSiteTabsViewInfo {
  KORVAN_CLASS(TcxGridDetailsSiteLeftTabsViewInfo, TcxCustomGridDetailsSiteTabsViewInfo)

 public:
  using TcxCustomGridDetailsSiteTabsViewInfo::TcxCustomGridDetailsSiteTabsViewInfo;
  void AdjustSiteHeight(Integer& height) override;
  Integer GetActiveTabOffset() override { return 3; }
  bool IsVertical() override { return true; }
  TcxCustomGridDetailsSiteTabViewInfo* CreateTab(TcxGridLevel* level) override;
  TcxBorders GetPaneBorders() override { return TcxBorders{bLeft, bTop, bBottom}; }
  void GetPaneBounds(TRect& r) override;
  void Calculate(const TRect& bounds) override;
  void AdjustClientBounds(TRect& r) override { r.Left += GetWidth(); }
};

class TcxGridDetailsSiteTopTabsViewInfo : public TcxCustomGridDetailsSiteTabsViewInfo {
  KORVAN_CLASS(TcxGridDetailsSiteTopTabsViewInfo, TcxCustomGridDetailsSiteTabsViewInfo)

 public:
  using TcxCustomGridDetailsSiteTabsViewInfo::TcxCustomGridDetailsSiteTabsViewInfo;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  void AdjustSiteWidth(Integer& width) override;
  Integer GetActiveTabOffset() override { return 2; }
  bool IsVertical() override { return false; }
  TcxCustomGridDetailsSiteTabViewInfo* CreateTab(TcxGridLevel* level) override;
  TcxBorders GetPaneBorders() override { return TcxBorders{bLeft, bTop, bRight}; }
  void GetPaneBounds(TRect& r) override;
  void Calculate(const TRect& bounds) override;
  void AdjustClientBounds(TRect& r) override { r.Top += GetHeight(); }
};

// A tab: the caption of a child level; a press makes the level active.
class TcxCustomGridDetailsSiteTabViewInfo : public TcxCustomGridCellViewInfo {
  KORVAN_CLASS(TcxCustomGridDetailsSiteTabViewInfo, TcxCustomGridCellViewInfo)

 public:
  TcxCustomGridDetailsSiteTabViewInfo(TcxCustomGridDetailsSiteTabsViewInfo* tabs, TcxGridLevel* level);
  TcxCustomGridDetailsSiteTabsViewInfo* Tabs() const { return tabs_; }
  TcxCustomGridDetailsSiteViewInfo* Site() const { return tabs_->Site(); }
  TcxGridLevel* Level() const { return level_; }
  Integer VisibleIndex() const { return visibleIndex_; }

  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  Integer GetBorderWidth(TcxBorder side) override;
  TcxCanvas* GetCanvas() override;
  TcxControl* GetControl() override;
  TClass GetHitTestClass() override;
  bool IsHotTrackable() override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  String GetText() override;
  TRect GetTextAreaBounds() override;
  TcxTextFlags GetTextAttributes(bool forPainting) override;
  String GetDisplayText() override;
  void GetViewParams(TcxStyleParams& params) override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  TcxGridCellState GetState() override;
  virtual void CalculateTab(Integer left, Integer top, Integer width, Integer height);
  bool ProcessDialogChar(Word key);
  bool IsActive();
  bool IsFirstOrAfterInactive();
  bool IsLastOrBeforeInactive();

 private:
  TcxCustomGridDetailsSiteTabsViewInfo* tabs_;
  TcxGridLevel* level_;
  Integer visibleIndex_;
};

class TcxGridDetailsSiteLeftTabViewInfo : public TcxCustomGridDetailsSiteTabViewInfo {
  KORVAN_CLASS(TcxGridDetailsSiteLeftTabViewInfo, TcxCustomGridDetailsSiteTabViewInfo)

 public:
  using TcxCustomGridDetailsSiteTabViewInfo::TcxCustomGridDetailsSiteTabViewInfo;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  TAlignment GetAlignmentHorz() override { return taCenter; }
  TcxBorders GetBorders() override;
  void CalculateTab(Integer left, Integer top, Integer width, Integer height) override;
};

class TcxGridDetailsSiteTopTabViewInfo : public TcxCustomGridDetailsSiteTabViewInfo {
  KORVAN_CLASS(TcxGridDetailsSiteTopTabViewInfo, TcxCustomGridDetailsSiteTabViewInfo)

 public:
  using TcxCustomGridDetailsSiteTabViewInfo::TcxCustomGridDetailsSiteTabViewInfo;
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  TcxBorders GetBorders() override;
  void CalculateTab(Integer left, Integer top, Integer width, Integer height) override;
};

class TcxGridDetailsSiteTabsPainter : public TObject {
 public:
  TcxGridDetailsSiteTabsPainter(TcxCanvas* canvas, TcxCustomGridDetailsSiteTabsViewInfo* tabs)
      : canvas_(canvas), tabs_(tabs) {}
  virtual void DrawBackground();
  virtual void DrawItems();
  virtual void DrawPane();
  // Background, pane, tabs, with the clip limited to the strip (restored afterwards).
  void Paint();

 private:
  TcxCanvas* canvas_;
  TcxCustomGridDetailsSiteTabsViewInfo* tabs_;
};

// Frame sides through the look-and-feel painter's tab frame; the content through its whole-tab
// painting when it has one, else as a cell.
class TcxGridDetailsSiteTabPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridDetailsSiteTabPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  TcxCustomGridDetailsSiteTabViewInfo* Tab() const { return static_cast<TcxCustomGridDetailsSiteTabViewInfo*>(ViewInfo()); }
  void PaintBorderSide(TcxBorder side) override;
  void DrawContent() override;
};

// Unit start: the tab painter.
void InitializeCxGridDetailsSite();
