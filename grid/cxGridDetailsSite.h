// The details site: the rectangle in which a level shows the view of its active child level,
// inside a frame. This unit holds the common base (sizes, frame, background, hit test, the
// painter) and the tab hit test; the tab strips come with the details tabs.
#pragma once

#include "grid/cxGridCustomView.h"

class TcxCustomGridDetailsSiteTabsViewInfo;
class TcxCustomGridRecord;

// A details-site tab at a point: its level, and what the site adds (the top site: the grid).
class TcxGridDetailsSiteTabHitTest : public TcxCustomGridHitTest {
  KORVAN_CLASS(TcxGridDetailsSiteTabHitTest, TcxCustomGridHitTest)

 public:
  Integer GetHitTestCode() override { return 50; }
  TcxGridLevel* Level() const { return level_; }
  void SetLevel(TcxGridLevel* v) { level_ = v; }
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
  virtual TClass GetTabsViewInfoClass() { return nullptr; }
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
  bool ProcessDialogChar(Word key) { return false; }
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
  virtual void DrawTabs() {}
  virtual void Paint();
  TcxCanvas* Canvas() const { return canvas_; }
  TcxCustomGridDetailsSiteViewInfo* ViewInfo() const { return site_; }

 private:
  TcxCanvas* canvas_;
  TcxCustomGridDetailsSiteViewInfo* site_;
};
