// Drop zones and resize zones: sensitive rectangles of dock controls. A drop zone docks the
// dragged control onto its owner with its dock type and index; a resize zone moves one edge
// of its owner. Each class also answers, as a class, whether a zone of its kind is wanted for
// an owner (ValidateDockZone, ValidateResizeZone); the owners create zones by those answers.
#pragma once

#include "docking/dxDockControl.h"

enum TdxZoneKind { zkDock, zkResize };
enum TdxZoneDirection { zdClient, zdVertical, zdHorizontal };

class TdxZone : public TObject {
  KORVAN_CLASS(TdxZone, TObject)

 public:
  // A nil owner fails "You cannot create a TdxZone without the owning TdxCustomDockControl.".
  TdxZone(TdxCustomDockControl* owner, Integer width, TdxZoneKind kind);

  TdxZoneKind Kind() const { return kind_; }
  TdxCustomDockControl* Owner() const { return owner_; }
  // The thickness of an edge strip; 0 or less reads as 20.
  Integer Width() const { return width_ > 0 ? width_ : 20; }

  virtual TdxZoneDirection Direction() const = 0;
  virtual Integer DockIndex() const { return -1; }
  virtual TdxDockingType DockType() const = 0;
  // In the owner's window coordinates.
  virtual TRect GetRectangle() const = 0;
  virtual Integer SelectionFrameWidth() const;
  // Strictly inside the owner's size constraints (a zero bound does not count).
  virtual bool CanResize(Integer width, Integer height) const;
  virtual bool CanDock(TdxCustomDockControl* control);
  // The new size a resize from `start` to `current` (screen points) gives, when accepted.
  virtual bool GetResizingNewSize(TPoint start, TPoint current, Integer& newSize) { return false; }
  // Screen rectangles of the previews.
  virtual TRect GetDockingSelection(TdxCustomDockControl* control);
  virtual TRect GetResizingSelection(TPoint p) { return TRect(); }
  virtual bool IsZonePoint(TPoint screen);
  virtual void DoDock(TdxCustomDockControl* control);
  virtual void DoResize(TPoint start, TPoint current) {}
  virtual void DrawDockingSelection(HDC dc, TdxCustomDockControl* control, TPoint p);
  virtual void DrawResizingSelection(HDC dc, TPoint p);

  static bool ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control) { return owner == control; }
  static bool ValidateResizeZone(TdxCustomDockControl* owner) { return false; }

  // The four bars of thickness h that tile the outline of r (each pixel once).
  static void DrawFrameBars(HDC dc, const TRect& r, Integer h);
  // The owner's window rectangle on the screen.
  TRect OwnerWindowRect() const;

 private:
  TdxCustomDockControl* owner_;
  Integer width_;
  TdxZoneKind kind_;
};

// ---- edge zones ----------------------------------------------------------------------------

// The edge strips: docking to a side of the owner, or dragging that edge of it.
class TdxEdgeZone : public TdxZone {
 public:
  using TdxZone::TdxZone;
  bool CanResize(Integer width, Integer height) const override;
  bool GetResizingNewSize(TPoint start, TPoint current, Integer& newSize) override;
  TRect GetDockingSelection(TdxCustomDockControl* control) override;
  TRect GetResizingSelection(TPoint p) override;
  void DoResize(TPoint start, TPoint current) override;
  // The strip's offset from its edge: beside a caption on that edge when docking through the
  // caption area is on.
  Integer CaptionOffset() const;

 protected:
  bool Vertical() const { return Direction() == zdVertical; }
  // The new size before any bound; the bound the window parent (or host) sets.
  Integer NewSize(TPoint start, TPoint current) const;
  virtual bool WithinParentBound(Integer newSize) const;
  static bool ValidateEdge(TdxCustomDockControl* owner, TdxCustomDockControl* control, TdxDockingType type);
};

class TdxLeftZone : public TdxEdgeZone {
  KORVAN_CLASS(TdxLeftZone, TdxZone)
 public:
  using TdxEdgeZone::TdxEdgeZone;
  TdxZoneDirection Direction() const override { return zdVertical; }
  TdxDockingType DockType() const override { return dtLeft; }
  TRect GetRectangle() const override;
  static bool ValidateDockZone(TdxCustomDockControl* o, TdxCustomDockControl* c) { return ValidateEdge(o, c, dtLeft); }
  static bool ValidateResizeZone(TdxCustomDockControl* owner);
};

class TdxRightZone : public TdxEdgeZone {
  KORVAN_CLASS(TdxRightZone, TdxZone)
 public:
  using TdxEdgeZone::TdxEdgeZone;
  TdxZoneDirection Direction() const override { return zdVertical; }
  TdxDockingType DockType() const override { return dtRight; }
  TRect GetRectangle() const override;
  static bool ValidateDockZone(TdxCustomDockControl* o, TdxCustomDockControl* c) { return ValidateEdge(o, c, dtRight); }
  static bool ValidateResizeZone(TdxCustomDockControl* owner);
};

class TdxTopZone : public TdxEdgeZone {
  KORVAN_CLASS(TdxTopZone, TdxZone)
 public:
  using TdxEdgeZone::TdxEdgeZone;
  TdxZoneDirection Direction() const override { return zdHorizontal; }
  TdxDockingType DockType() const override { return dtTop; }
  TRect GetRectangle() const override;
  static bool ValidateDockZone(TdxCustomDockControl* o, TdxCustomDockControl* c) { return ValidateEdge(o, c, dtTop); }
  static bool ValidateResizeZone(TdxCustomDockControl* owner);
};

class TdxBottomZone : public TdxEdgeZone {
  KORVAN_CLASS(TdxBottomZone, TdxZone)
 public:
  using TdxEdgeZone::TdxEdgeZone;
  TdxZoneDirection Direction() const override { return zdHorizontal; }
  TdxDockingType DockType() const override { return dtBottom; }
  TRect GetRectangle() const override;
  static bool ValidateDockZone(TdxCustomDockControl* o, TdxCustomDockControl* c) { return ValidateEdge(o, c, dtBottom); }
  static bool ValidateResizeZone(TdxCustomDockControl* owner);
};

// Edges of a control slid out from a hide bar: bounded by the dock site.
template <class Edge, TdxAutoHidePosition Bar>
class TdxAutoHideEdgeZone : public Edge {
 public:
  using Edge::Edge;
  static bool ValidateResizeZone(TdxCustomDockControl* owner);

 protected:
  bool WithinParentBound(Integer newSize) const override;
};

class TdxAutoHideLeftZone : public TdxAutoHideEdgeZone<TdxLeftZone, ahpRight> {
  KORVAN_CLASS(TdxAutoHideLeftZone, TdxLeftZone)
 public:
  using TdxAutoHideEdgeZone::TdxAutoHideEdgeZone;
};
class TdxAutoHideRightZone : public TdxAutoHideEdgeZone<TdxRightZone, ahpLeft> {
  KORVAN_CLASS(TdxAutoHideRightZone, TdxRightZone)
 public:
  using TdxAutoHideEdgeZone::TdxAutoHideEdgeZone;
};
class TdxAutoHideTopZone : public TdxAutoHideEdgeZone<TdxTopZone, ahpBottom> {
  KORVAN_CLASS(TdxAutoHideTopZone, TdxTopZone)
 public:
  using TdxAutoHideEdgeZone::TdxAutoHideEdgeZone;
};
class TdxAutoHideBottomZone : public TdxAutoHideEdgeZone<TdxBottomZone, ahpTop> {
  KORVAN_CLASS(TdxAutoHideBottomZone, TdxBottomZone)
 public:
  using TdxAutoHideEdgeZone::TdxAutoHideEdgeZone;
};

// The inner edge of an AutoSize dock site.
class TdxAutoSizeLeftZone : public TdxLeftZone {
  KORVAN_CLASS(TdxAutoSizeLeftZone, TdxLeftZone)
 public:
  using TdxLeftZone::TdxLeftZone;
  static bool ValidateResizeZone(TdxCustomDockControl* site);
};
class TdxAutoSizeRightZone : public TdxRightZone {
  KORVAN_CLASS(TdxAutoSizeRightZone, TdxRightZone)
 public:
  using TdxRightZone::TdxRightZone;
  static bool ValidateResizeZone(TdxCustomDockControl* site);
};
class TdxAutoSizeTopZone : public TdxTopZone {
  KORVAN_CLASS(TdxAutoSizeTopZone, TdxTopZone)
 public:
  using TdxTopZone::TdxTopZone;
  static bool ValidateResizeZone(TdxCustomDockControl* site);
};
class TdxAutoSizeBottomZone : public TdxBottomZone {
  KORVAN_CLASS(TdxAutoSizeBottomZone, TdxBottomZone)
 public:
  using TdxBottomZone::TdxBottomZone;
  static bool ValidateResizeZone(TdxCustomDockControl* site);
};

// The splits between the items of a side container.
class TdxHorizContainerZone : public TdxRightZone {
  KORVAN_CLASS(TdxHorizContainerZone, TdxRightZone)
 public:
  using TdxRightZone::TdxRightZone;
  bool GetResizingNewSize(TPoint start, TPoint current, Integer& newSize) override;
  void DoResize(TPoint start, TPoint current) override;
};
class TdxVertContainerZone : public TdxBottomZone {
  KORVAN_CLASS(TdxVertContainerZone, TdxBottomZone)
 public:
  using TdxBottomZone::TdxBottomZone;
  bool GetResizingNewSize(TPoint start, TPoint current, Integer& newSize) override;
  void DoResize(TPoint start, TPoint current) override;
};

// ---- client zones --------------------------------------------------------------------------

// The whole owner: a client dock onto it.
class TdxClientZone : public TdxZone {
  KORVAN_CLASS(TdxClientZone, TdxZone)
 public:
  TdxClientZone(TdxCustomDockControl* owner, Integer width) : TdxZone(owner, width, zkDock) {}
  TdxZoneDirection Direction() const override { return zdClient; }
  TdxDockingType DockType() const override { return dtClient; }
  TRect GetRectangle() const override;
  static bool ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control);
};

// A site whose content is all hidden: docks into the control that stands for its client area.
class TdxInvisibleClientZone : public TdxClientZone {
  KORVAN_CLASS(TdxInvisibleClientZone, TdxClientZone)
 public:
  using TdxClientZone::TdxClientZone;
  bool CanDock(TdxCustomDockControl* control) override;
  void DoDock(TdxCustomDockControl* control) override;
  static bool ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control);
  // The control a client dock goes to, nil when none.
  TdxCustomDockControl* ClientTarget() const;
};

// The caption of a float form: docks onto the floating control's client zone.
class TdxFloatZone : public TdxClientZone {
  KORVAN_CLASS(TdxFloatZone, TdxClientZone)
 public:
  explicit TdxFloatZone(TdxFloatDockSite* site);
  bool IsZonePoint(TPoint screen) override;
  bool CanDock(TdxCustomDockControl* control) override;
  void DoDock(TdxCustomDockControl* control) override;
  void DrawDockingSelection(HDC dc, TdxCustomDockControl* control, TPoint p) override;
  static bool ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control);

 private:
  TdxZone* InnerZone() const;
};

// The client area of an AutoSize dock site, previewed at the size it will take.
class TdxAutoSizeClientZone : public TdxClientZone {
  KORVAN_CLASS(TdxAutoSizeClientZone, TdxClientZone)
 public:
  using TdxClientZone::TdxClientZone;
  TRect GetDockingSelection(TdxCustomDockControl* control) override;
  bool IsZonePoint(TPoint screen) override;
};

class TdxInvisibleAutoSizeClientZone : public TdxInvisibleClientZone {
  KORVAN_CLASS(TdxInvisibleAutoSizeClientZone, TdxInvisibleClientZone)
 public:
  using TdxInvisibleClientZone::TdxInvisibleClientZone;
  TRect GetDockingSelection(TdxCustomDockControl* control) override;
  bool IsZonePoint(TPoint screen) override;
  static bool ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control) {
    return TdxInvisibleClientZone::ValidateDockZone(owner, control);
  }
};

// A new tab of a tab container (appended), previewed as the container with a tab.
class TdxTabContainerZone : public TdxClientZone {
  KORVAN_CLASS(TdxTabContainerZone, TdxClientZone)
 public:
  explicit TdxTabContainerZone(TdxTabContainerDockSite* container);
  void DrawDockingSelection(HDC dc, TdxCustomDockControl* control, TPoint p) override;
  // The previewed tab and the strip, in the container's window coordinates.
  virtual TRect GetTabRect(TdxCustomDockControl* control);
  TRect GetTabsRect();
  // The tab preview clamped into the strip, at least three frame widths wide.
  TRect ClampedTabRect(TdxCustomDockControl* control);
  static bool ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control);
  TdxTabContainerDockSite* Container() const;
};

class TdxTabContainerCaptionZone : public TdxTabContainerZone {
  KORVAN_CLASS(TdxTabContainerCaptionZone, TdxTabContainerZone)
 public:
  using TdxTabContainerZone::TdxTabContainerZone;
  bool IsZonePoint(TPoint screen) override;
};

class TdxTabContainerTabZone : public TdxTabContainerZone {
  KORVAN_CLASS(TdxTabContainerTabZone, TdxTabContainerZone)
 public:
  TdxTabContainerTabZone(TdxTabContainerDockSite* container, Integer dockIndex)
      : TdxTabContainerZone(container), dockIndex_(dockIndex) {}
  Integer DockIndex() const override { return dockIndex_; }
  bool IsZonePoint(TPoint screen) override;
  static bool ValidateDockZone(TdxCustomDockControl* owner, TdxCustomDockControl* control);

 private:
  Integer dockIndex_;
};

// A client dock onto a panel (it builds a tab container), previewed with the panel's tab.
class TdxDockPanelClientZone : public TdxClientZone {
  KORVAN_CLASS(TdxDockPanelClientZone, TdxClientZone)
 public:
  explicit TdxDockPanelClientZone(TdxCustomDockControl* panel) : TdxClientZone(panel, 0) {}
  void DrawDockingSelection(HDC dc, TdxCustomDockControl* control, TPoint p) override;
};

class TdxDockPanelCaptionClientZone : public TdxDockPanelClientZone {
  KORVAN_CLASS(TdxDockPanelCaptionClientZone, TdxDockPanelClientZone)
 public:
  using TdxDockPanelClientZone::TdxDockPanelClientZone;
  bool IsZonePoint(TPoint screen) override;
};

// The eight bars of a container outline with a tab-shaped bump around `tab` on the strip's
// side; r in screen coordinates, tab relative to the container's window.
void dxDrawTabbedSelection(HDC dc, const TRect& r, const TRect& tab, TdxTabContainerTabsPosition position,
                           Integer h);
