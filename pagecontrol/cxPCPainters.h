// The page-control painters: the standard painter (the base of every concrete painter: tab
// sizes from the platform's tab styles, the navigator block and its buttons, the page frame)
// and the extra-flat and ultra-flat painters. The unit start registers the concrete painters
// with the factory and keeps the light face colour of the flat painters up to date.
#pragma once

#include <initializer_list>
#include <memory>
#include <vector>

#include "foundation/cxLookAndFeels.h"
#include "pagecontrol/cxPC.h"

// clBtnFace with each of red, green and blue raised by 20 (255 above 235); computed at the
// unit start and after every change of the system colours.
TColor cxPCLightFaceColor();

class TcxPCStandardPainter : public TcxPCCustomPainter {
  KORVAN_CLASS(TcxPCStandardPainter, TcxPCCustomPainter)

 public:
  explicit TcxPCStandardPainter(TcxCustomTabControl* control) : TcxPCCustomPainter(control) {}

  // Sizes.
  Integer CalculateTabNormalWidth(TcxTab* tab) override;
  Integer GetTabNormalHeight() override;
  Integer GetMinTabWidth(Integer visibleIndex) override;
  TPoint GetTabsDistance() override;
  void CalculateTabsArea(const TcxPCNavigatorButtons& buttons, TcxPCTabsArea& area) override;
  Integer GetNavigatorButtonAtPoint(const TPoint& p) override;
  TRect GetGoDialogButtonBounds() override;
  Integer GetFrameWidth() override { return 2; }
  bool IsTabActiveLook(Integer visibleIndex) override;

  // Content of a tab.
  void GetImageOffsets(Integer visibleIndex, Integer offsets[4]) override;
  void GetImageOnlyOffsets(Integer visibleIndex, Integer offsets[2]) override;
  void GetTextOffsets(Integer visibleIndex, Integer offsets[4]) override;
  Integer GetImageTextDistance(Integer visibleIndex) override { return 6; }
  void GetContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) override;
  void GetTruncatedContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) override;
  TColor GetTabBackgroundColor(Integer visibleIndex) override;

  // Painting.
  void DoPaint(TcxCanvas* canvas) override;
  void PaintButtons(TcxCanvas* canvas) override;
  void PaintTabs(TcxCanvas* canvas) override;
  void PaintFrame(TcxCanvas* canvas) override;
  void RepaintNavigatorButton(TcxPCNavigatorButton button) override;
  void RepaintNavigatorButtons() override;
  void RepaintTab(Integer visibleIndex, TcxTabChangeKind kind) override;

  // Operations of the standard painter.
  virtual void PaintTab(TcxCanvas* canvas, Integer visibleIndex);
  virtual void GetNavigatorButtonState(TcxPCNavigatorButton button, TColor& faceColor, TColor& glyphColor,
                                       bool& enabled);
  virtual void CalculateNavigatorBlock(const TcxPCNavigatorButtons& buttons);
  virtual void PlaceNavigatorButtons(const TcxPCNavigatorButtons& buttons);
  virtual Integer GetNavigatorWidth(const TcxPCNavigatorButtons& buttons);
  virtual TColor GetButtonFaceColor(TcxPCNavigatorButton button);
  virtual TColor GetButtonGlyphColor(TcxPCNavigatorButton button);
  virtual TPoint GetButtonGlyphOffset(TcxPCNavigatorButton button) { return TPoint(); }
  virtual Integer GetNavigatorButtonHeight() { return 20; }
  virtual Integer GetNavigatorButtonWidth(TcxPCNavigatorButton button);
  virtual Integer GetButtonsDistance(TcxPCNavigatorButton a, TcxPCNavigatorButton b) { return 0; }
  virtual Integer GetNavigatorTabsDistance() { return 0; }
  virtual Integer GetNavigatorSideIndent() { return 0; }
  virtual Integer GetNavigatorEndIndent() { return 0; }
  virtual Integer GetMinTabHeight();
  virtual Integer GetMinTabWidthConstant() { return 42; }
  virtual TColor GetBackgroundColor() { return ParentInfo()->Color(); }
  virtual Integer GetMinPageFrameSize() { return 4; }
  virtual Integer GetImageAreaWidth(bool tabHasImage);
  virtual TRect GetExtraRect() { return TRect(); }
  virtual Integer GetTextAreaHeight();
  virtual void PaintNavigatorButton(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r);
  virtual void PaintButtonBackground(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r);
  virtual void PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r);
  virtual void PaintButtonGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r);
  virtual void DrawPageFrame(TcxCanvas* canvas, const TRect& r);
  virtual void PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex);
  virtual void PaintNativeTabBackground(TcxCanvas* canvas, Integer visibleIndex) {}
  // The shown buttons in display order: the close button outermost, the go-dialog button next
  // to the tabs.
  virtual std::vector<TcxPCNavigatorButton> GetVisibleNavigatorButtons(const TcxPCNavigatorButtons& buttons);

  const std::vector<TcxPCNavigatorButtonPosition>& NavigatorButtonPositions() const { return positions_; }
  TRect NavigatorBlock() const { return navigatorBlock_; }
  // Whether the navigator block sits at the near end of the strip.
  bool NavigatorAtNearEnd() const;

 protected:
  // The strip extent along and across the control.
  Integer AlongExtent() const;
  Integer AcrossExtent() const;
  // A glyph drawn filled and outlined (enabled) or embossed (disabled).
  void DrawGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r, TColor fill, TColor outline);

 private:
  TRect navigatorBlock_;
  std::vector<TcxPCNavigatorButtonPosition> positions_;
};

class TcxPCExtraFlatPainter : public TcxPCStandardPainter {
  KORVAN_CLASS(TcxPCExtraFlatPainter, TcxPCStandardPainter)

 public:
  static TcxPCPainterClass Class();
  TcxPCPainterClass PainterClass() const override { return Class(); }
  explicit TcxPCExtraFlatPainter(TcxCustomTabControl* control) : TcxPCStandardPainter(control) {}

  Integer CalculateTabNormalWidth(TcxTab* tab) override;
  Integer GetTabNormalHeight() override;
  Integer GetMinTabWidth(Integer visibleIndex) override;
  TRect GetTabRectCorrection(Integer visibleIndex) override;
  TPoint GetTabsDistance() override;
  void CalculateTabsArea(const TcxPCNavigatorButtons& buttons, TcxPCTabsArea& area) override;
  void GetImageOffsets(Integer visibleIndex, Integer offsets[4]) override;
  void GetTextOffsets(Integer visibleIndex, Integer offsets[4]) override;
  void GetContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) override;
  void GetTruncatedContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) override;
  TColor GetTabBackgroundColor(Integer visibleIndex) override;
  TColor GetPageColor() override;
  TRect GetPageClientRect() override;
  TRect GetPageFrameRect() override;
  Integer GetFrameWidth() override { return 1; }
  TColor GetBackgroundColor() override { return clBtnFace; }
  TcxRegion* GetTabClipRegion(Integer visibleIndex) override;
  void DoPaint(TcxCanvas* canvas) override;
  void PaintFrameAndPage(TcxCanvas* canvas) override;
  void PaintFrame(TcxCanvas* canvas) override;
  void PaintTabs(TcxCanvas* canvas) override;
  void PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex) override;
  void RepaintTab(Integer visibleIndex, TcxTabChangeKind kind) override;

  // Navigator.
  Integer GetNavigatorButtonHeight() override { return 13; }
  Integer GetNavigatorButtonWidth(TcxPCNavigatorButton button) override { return 13; }
  Integer GetButtonsDistance(TcxPCNavigatorButton a, TcxPCNavigatorButton b) override;
  Integer GetNavigatorSideIndent() override { return 6; }
  Integer GetNavigatorEndIndent() override { return 1; }
  TColor GetButtonFaceColor(TcxPCNavigatorButton button) override;
  TColor GetButtonGlyphColor(TcxPCNavigatorButton button) override;
  TPoint GetButtonGlyphOffset(TcxPCNavigatorButton button) override;
  void PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) override;
  void PaintButtonGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r) override;

  // Operations of the flat painters.
  virtual Integer GetRowLineCount() { return 3; }
  virtual TRect GetMainTabFocusRect(Integer visibleIndex);
  virtual void GetSeparatorInsets(Integer& start, Integer& end) { start = end = 2; }
  // Fills a tab, or the rest of a row band (visibleIndex -1, rect given).
  virtual void FillTabBackground(TcxCanvas* canvas, Integer visibleIndex, const TRect& r);
  virtual TColor GetPageBandColor();
  virtual TRect GetPageBandRect();
  // The band of a row across the whole control (visible-index range of the row).
  virtual TRect GetTabBandRect(Integer firstVisible, Integer lastVisible);
  virtual Integer GetTabSeparatorWidth() { return 1; }
  virtual TColor GetRowBackgroundColor() { return cxPCLightFaceColor(); }
  virtual bool IsRowFramed() { return false; }
  virtual void PaintMainTabOutline(TcxCanvas* canvas, Integer visibleIndex, const TRect& r);
  virtual void PaintTabSeparator(TcxCanvas* canvas, Integer visibleIndex);
  virtual void PaintRowLines(TcxCanvas* canvas, const TRect& band, bool holdsMainTab, bool startSide);
  virtual TColor GetFrameColor(bool topLeft) { return topLeft ? clBtnHighlight : clBtnShadow; }

 protected:
  // The row lines of a band, on its page side (the far side for start-side rows), and line
  // i of them counted from the tab side.
  TRect RowLinesRect(const TRect& band, bool startSide);
  TRect RowLine(const TRect& band, bool startSide, Integer i);
};

class TcxPCUltraFlatPainter : public TcxPCExtraFlatPainter {
  KORVAN_CLASS(TcxPCUltraFlatPainter, TcxPCExtraFlatPainter)

 public:
  static TcxPCPainterClass Class();
  TcxPCPainterClass PainterClass() const override { return Class(); }
  explicit TcxPCUltraFlatPainter(TcxCustomTabControl* control) : TcxPCExtraFlatPainter(control) {}

  Integer GetNavigatorButtonHeight() override { return 15; }
  Integer GetNavigatorButtonWidth(TcxPCNavigatorButton button) override;
  Integer GetButtonsDistance(TcxPCNavigatorButton a, TcxPCNavigatorButton b) override;
  Integer GetNavigatorSideIndent() override { return 3; }
  TColor GetButtonFaceColor(TcxPCNavigatorButton button) override;
  TPoint GetButtonGlyphOffset(TcxPCNavigatorButton button) override { return TPoint(); }
  void PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) override;
  void PaintButtonGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r) override;
  TRect GetMainTabFocusRect(Integer visibleIndex) override;
  void PaintMainTabOutline(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) override;
  void PaintRowLines(TcxCanvas* canvas, const TRect& band, bool holdsMainTab, bool startSide) override;
  TColor GetFrameColor(bool topLeft) override { return clBtnShadow; }
};

// The side of the control a tab lies on: the tab position for start-side tabs, the opposite
// side for end-side ones.
TcxTabPosition cxPCTabSide(TcxCustomTabControl* control, TcxTab* tab);
// A colour with its brightness (hue, saturation and brightness model) multiplied by
// (100 + percent) / 100, capped at full brightness.
TColor cxPCLightenColor(TColor color, Integer percent);

// Classic raised tabs that overlap the page frame; the main tab is larger than the others.
class TcxPCTabsPainter : public TcxPCStandardPainter {
  KORVAN_CLASS(TcxPCTabsPainter, TcxPCStandardPainter)

 public:
  static TcxPCPainterClass Class();
  TcxPCPainterClass PainterClass() const override { return Class(); }
  explicit TcxPCTabsPainter(TcxCustomTabControl* control) : TcxPCStandardPainter(control) {}

  bool HasFrame() override { return true; }
  TRect GetTabRectCorrection(Integer visibleIndex) override;
  TcxRegion* GetTabClipRegion(Integer visibleIndex) override;
  Integer GetTabClipMode(Integer visibleIndex) override;
  TRect GetPageFrameRect() override;
  Integer GetTextAreaHeight() override;
  void PaintTabs(TcxCanvas* canvas) override;
  void PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex) override;
  void RepaintTab(Integer visibleIndex, TcxTabChangeKind kind) override;

  // Native painting: the tab theme class under the native look and feel.
  bool IsNativePainting() override;
  void GetThemeTabPart(Integer visibleIndex, Integer& part, Integer& state) override;
  void DoPaint(TcxCanvas* canvas) override;
  void PaintTab(TcxCanvas* canvas, Integer visibleIndex) override;
  TRect GetPageClientRect() override;
  Integer GetNavigatorButtonHeight() override { return IsNativePainting() ? 17 : 20; }
  Integer GetNavigatorButtonWidth(TcxPCNavigatorButton button) override;
  void PaintNavigatorButton(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r) override;
  void GetImageOffsets(Integer visibleIndex, Integer offsets[4]) override;
  void GetTextOffsets(Integer visibleIndex, Integer offsets[4]) override;
  void PaintTabBackgroundToBitmap(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) override;
  void DrawPageFrame(TcxCanvas* canvas, const TRect& r) override;
  // The pre-painted background of the control while a native paint runs (else null).
  TBitmap* NativeBackground() const { return nativeBackground_.get(); }

  // The two colours that join a tab's side edges to the page frame (start and end edge).
  virtual void GetTabEdgeColors(Integer visibleIndex, TColor& startColor, TColor& endColor);
  virtual void PaintTabEdges(TcxCanvas* canvas, Integer visibleIndex);
  virtual void PaintTabBorder(TcxCanvas* canvas, Integer visibleIndex);

 protected:
  // Whether the tab lies in the outermost row of its side.
  bool InOutermostRow(Integer visibleIndex);
  void PaintNativeTab(TcxCanvas* canvas, Integer visibleIndex);

 private:
  std::unique_ptr<TBitmap> nativeBackground_;
  TcxCanvas* nativeCanvas_ = nullptr;
};

// A flat variant of the Tabs painter: one-pixel frames and outlines.
class TcxPCFlatPainter : public TcxPCTabsPainter {
  KORVAN_CLASS(TcxPCFlatPainter, TcxPCTabsPainter)

 public:
  static TcxPCPainterClass Class();
  TcxPCPainterClass PainterClass() const override { return Class(); }
  explicit TcxPCFlatPainter(TcxCustomTabControl* control) : TcxPCTabsPainter(control) {}

  bool IsNativePainting() override { return false; }
  Integer GetNavigatorButtonHeight() override { return 18; }
  Integer GetNavigatorButtonWidth(TcxPCNavigatorButton button) override;
  TPoint GetButtonGlyphOffset(TcxPCNavigatorButton button) override { return TPoint(-1, -1); }
  Integer GetFrameWidth() override { return 1; }
  TcxRegion* GetTabClipRegion(Integer visibleIndex) override;
  Integer GetTabClipMode(Integer visibleIndex) override { return roIntersect; }
  void PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) override;
  void DrawPageFrame(TcxCanvas* canvas, const TRect& r) override;
  void PaintTabBorder(TcxCanvas* canvas, Integer visibleIndex) override;
};

// Tabs drawn as push buttons: pressed, tracked with the keyboard, multi-selected with Ctrl.
class TcxPCButtonedPainter : public TcxPCStandardPainter {
  KORVAN_CLASS(TcxPCButtonedPainter, TcxPCStandardPainter)

 public:
  explicit TcxPCButtonedPainter(TcxCustomTabControl* control);
  ~TcxPCButtonedPainter() override;

  bool IsTabActiveLook(Integer visibleIndex) override;
  TColor GetTabBackgroundColor(Integer visibleIndex) override;
  void GetContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) override;
  void GetTruncatedContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) override;
  TRect GetPageFrameRect() override;
  // The 8 x 8 checkerboard brush of the main tab (cl3DLight and clBtnHighlight).
  TBitmap* MainTabBrushBitmap() const { return brushBitmap_.get(); }
  // Fills the inside of a button: the main tab in its own colour is checkered.
  void FillButtonFace(TcxCanvas* canvas, Integer visibleIndex, const TRect& r);

 private:
  std::unique_ptr<TBitmap> brushBitmap_;
};

class TcxPCButtonsPainter : public TcxPCButtonedPainter {
  KORVAN_CLASS(TcxPCButtonsPainter, TcxPCButtonedPainter)

 public:
  static TcxPCPainterClass Class();
  TcxPCPainterClass PainterClass() const override { return Class(); }
  explicit TcxPCButtonsPainter(TcxCustomTabControl* control) : TcxPCButtonedPainter(control) {}

  bool IsTabActiveLook(Integer visibleIndex) override;
  void PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex) override;
};

class TcxPCFlatButtonsPainter : public TcxPCButtonedPainter {
  KORVAN_CLASS(TcxPCFlatButtonsPainter, TcxPCButtonedPainter)

 public:
  static TcxPCPainterClass Class();
  TcxPCPainterClass PainterClass() const override { return Class(); }
  explicit TcxPCFlatButtonsPainter(TcxCustomTabControl* control) : TcxPCButtonedPainter(control) {}

  void PaintTab(TcxCanvas* canvas, Integer visibleIndex) override;
  void PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex) override;
  // The separator gap after a tab (empty after the last tab of a row).
  TRect GetSeparatorGap(Integer visibleIndex);
};

// The six Office11 colours of the page control for the current scheme (refreshed at the
// unit start and on every palette change).
struct TcxPCOffice11Colors {
  TColor BackgroundLight, BackgroundDark;  // page, row band and tabs other than the main one
  TColor MainTabLight, MainTabDark;        // the main tab's gradient
  TColor Border;                           // page frame, main tab outline, row line, buttons
  TColor Separator;                        // the dark line between tabs
};
const TcxPCOffice11Colors& cxPCOffice11Colors();
// Copies the colours of scheme `index` (0 the system-derived colours, 1 to 3 the named
// schemes); an index outside the table takes the system-derived colours.
void cxPCCopyOffice11Colors(Integer index);

// Refreshes the painters' cached colours when the system palette changes.
class TcxPaletteChangedNotifier : public TcxSystemPaletteChangedNotifier {
  KORVAN_CLASS(TcxPaletteChangedNotifier, TcxSystemPaletteChangedNotifier)

 public:
  TcxPaletteChangedNotifier();
};

// The ultra-flat painter in the Office11 colours, with gradients under pcoGradient.
class TcxPCOffice11Painter : public TcxPCUltraFlatPainter {
  KORVAN_CLASS(TcxPCOffice11Painter, TcxPCUltraFlatPainter)

 public:
  static TcxPCPainterClass Class();
  TcxPCPainterClass PainterClass() const override { return Class(); }
  explicit TcxPCOffice11Painter(TcxCustomTabControl* control) : TcxPCUltraFlatPainter(control) {}

  TPoint GetTabsDistance() override { return TPoint(2, 4); }
  Integer GetRowLineCount() override { return 1; }
  Integer GetTabSeparatorWidth() override { return 2; }
  void GetSeparatorInsets(Integer& start, Integer& end) override;
  bool NeedsRedrawOnResize() override;
  TRect GetPageClientRect() override;
  void PaintPageClientArea(TcxCanvas* canvas, const TRect& r) override;
  void FillTabBackground(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) override;
  void PaintTabBackgroundToBitmap(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) override;
  void PaintMainTabOutline(TcxCanvas* canvas, Integer visibleIndex, const TRect& r) override;
  void PaintTabSeparator(TcxCanvas* canvas, Integer visibleIndex) override;
  void PaintRowLines(TcxCanvas* canvas, const TRect& band, bool holdsMainTab, bool startSide) override;
  TColor GetFrameColor(bool topLeft) override { return cxPCOffice11Colors().Border; }
  void PaintButtonBackground(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) override;
  void PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) override;
  TColor GetButtonGlyphColor(TcxPCNavigatorButton button) override;
  void PaintButtonGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r) override;

  // Fills r with the pair: a gradient under pcoGradient (across the strip), else their blend.
  void FillWithPair(TcxCanvas* canvas, const TRect& r, TColor light, TColor dark);
};

// Positions of the segments of a tab outline.
enum TLinePosition { lpL, lpLT, lpT, lpRT, lpR, lpRB, lpB, lpLB };
using TPoints = std::vector<TPoint>;
using TLinePositions = std::vector<TLinePosition>;
// Appends points and the position of the segment each one ends.
void cxPCAddOutlinePoints(TPoints& points, TLinePositions& positions, std::initializer_list<TPoint> add,
                          TLinePosition position);
// A polygon region of an outline, each point moved outward by one pixel on the right and
// bottom segments so that the region covers the drawn outline pixels.
TcxRegion* cxPCCreateOutlineRegion(const TPoints& points, const TLinePositions& positions);

// Tabs with slanted sides or cut corners that overlap their neighbours.
class TcxPCSlantedPainter : public TcxPCStandardPainter {
  KORVAN_CLASS(TcxPCSlantedPainter, TcxPCStandardPainter)

 public:
  static TcxPCPainterClass Class();
  TcxPCPainterClass PainterClass() const override { return Class(); }
  explicit TcxPCSlantedPainter(TcxCustomTabControl* control) : TcxPCStandardPainter(control) {}

  void PrepareToPaint() override { slantSize_ = CalculateSlantSize(); }
  Integer SlantSize() const { return slantSize_; }
  bool UsesPageColorForTabs() override { return true; }
  bool IsTabActiveLook(Integer visibleIndex) override { return false; }
  Integer CalculateTabNormalWidth(TcxTab* tab) override;
  Integer GetMinTabWidth(Integer visibleIndex) override;
  TPoint GetTabsDistance() override;
  void GetContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) override;
  void GetTruncatedContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) override;
  void GetImageOffsets(Integer visibleIndex, Integer offsets[4]) override;
  void GetTextOffsets(Integer visibleIndex, Integer offsets[4]) override;
  Integer GetImageTextDistance(Integer visibleIndex) override { return 3; }
  Integer GetFrameWidth() override { return 1; }
  TColor GetTabBackgroundColor(Integer visibleIndex) override;
  bool IsPointInTab(Integer visibleIndex, const TPoint& p) override;
  TcxRegion* GetTabClipRegion(Integer visibleIndex) override;
  void PaintTabs(TcxCanvas* canvas) override;
  void PaintTabFrame(TcxCanvas* canvas, Integer visibleIndex) override;
  void DrawPageFrame(TcxCanvas* canvas, const TRect& r) override;

  // Navigator.
  Integer GetNavigatorButtonHeight() override { return 17; }
  Integer GetNavigatorButtonWidth(TcxPCNavigatorButton button) override;
  Integer GetButtonsDistance(TcxPCNavigatorButton a, TcxPCNavigatorButton b) override;
  Integer GetNavigatorSideIndent() override { return 1; }
  TColor GetButtonFaceColor(TcxPCNavigatorButton button) override;
  TColor GetButtonGlyphColor(TcxPCNavigatorButton button) override;
  void PaintButtonFrame(TcxCanvas* canvas, TcxPCNavigatorButton button, TRect& r) override;
  void PaintButtonGlyph(TcxCanvas* canvas, TcxPCNavigatorButton button, const TRect& r) override;

  // Operations of the slanted painters.
  virtual bool HighlightsHotMainTab() { return false; }
  virtual void PaintTabBackground(TcxCanvas* canvas, Integer visibleIndex);
  virtual void PaintTabBorder(TcxCanvas* canvas, Integer visibleIndex);
  virtual void GetTabGradientColors(Integer visibleIndex, TColor& from, TColor& to);
  virtual Integer GetSlantMinTabWidth();
  virtual TColor GetFrameColor() { return clBtnShadow; }
  virtual TcxTabSlantPositions GetSlantedSides();
  virtual Integer GetImageAreaSize();
  virtual bool IsCutCornerOnly();
  virtual Integer CalculateSlantSize();
  virtual TcxRegion* GetTabRegion(Integer visibleIndex);
  // The outline of a tab in client coordinates.
  virtual void GetTabOutline(Integer visibleIndex, TPoints& points, TLinePositions& positions);
  virtual void PaintHotTrackMarker(TcxCanvas* canvas, Integer visibleIndex);

 protected:
  // The outline of a tab on the top side in strip coordinates (x along, y across, the outer
  // edge at `outer`, the page edge at `page`), turned to the tab's side afterwards.
  virtual void GetTopOutline(Integer a1, Integer a2, Integer outer, Integer page, TPoints& points,
                             TLinePositions& positions);
  // The slant-independent row base line along the page side of a row.
  void PaintRowBaseLine(TcxCanvas* canvas, Integer firstVisible, Integer lastVisible);

  Integer slantSize_ = 0;
};

// Notebook-like tabs with a rounded leading side; rotation of tabs is not supported.
class TcxPCOneNotePainter : public TcxPCSlantedPainter {
  KORVAN_CLASS(TcxPCOneNotePainter, TcxPCSlantedPainter)

 public:
  static TcxPCPainterClass Class();
  TcxPCPainterClass PainterClass() const override { return Class(); }
  explicit TcxPCOneNotePainter(TcxCustomTabControl* control) : TcxPCSlantedPainter(control) {}

  bool HighlightsHotMainTab() override { return true; }
  Integer CalculateSlantSize() override { return GetTabNormalHeight() + 2; }
  TcxTabSlantPositions GetSlantedSides() override { return {spLeft}; }
  TPoint GetTabsDistance() override { return TPoint(5 - slantSize_, -3); }
  Integer GetMinTabWidth(Integer visibleIndex) override { return slantSize_ + 4; }
  Integer GetSlantMinTabWidth() override { return slantSize_ + 4; }
  void GetContentMargins(Integer visibleIndex, Integer& leading, Integer& trailing) override;
  void GetImageOffsets(Integer visibleIndex, Integer offsets[4]) override;
  void GetTextOffsets(Integer visibleIndex, Integer offsets[4]) override;
  void CalculateTabsArea(const TcxPCNavigatorButtons& buttons, TcxPCTabsArea& area) override;
  TColor GetFrameColor() override { return cxPCOffice11Colors().Border; }
  TColor GetTabBackgroundColor(Integer visibleIndex) override;
  void PaintTabBorder(TcxCanvas* canvas, Integer visibleIndex) override;
  void PaintHotTrackMarker(TcxCanvas* canvas, Integer visibleIndex) override {}

 protected:
  void GetTopOutline(Integer a1, Integer a2, Integer outer, Integer page, TPoints& points,
                     TLinePositions& positions) override;
};

// Unit start: registers the painters in their order and starts the palette notifier; its
// end unregisters them.
void InitializeCxPCPainters();
