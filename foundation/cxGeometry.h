// Rectangle, point and size helpers shared by every painter and control, the border sides
// and grid-line kinds, and TcxRect, a persistent rectangle with change notification.
// All helpers return new values and leave their inputs unchanged.
#pragma once

#include <functional>

#include "rtl/Classes.h"
#include "rtl/Types.h"

// ---- sides ---------------------------------------------------------------------------------

enum TcxBorder { bLeft, bTop, bRight, bBottom };
using TcxBorders = TSet<TcxBorder, 4>;
inline const TcxBorders cxBordersAll{bLeft, bTop, bRight, bBottom};

enum TcxGridLines { glBoth, glNone, glVertical, glHorizontal };

// ---- rectangles ----------------------------------------------------------------------------

Integer WidthOfRect(const TRect& r);
Integer HeightOfRect(const TRect& r);
TSize SizeOfRect(const TRect& r);
// d := intersection; true when it is not empty, else d is the empty rectangle.
bool IntersectRectsOrEmpty(TRect& d, const TRect& a, const TRect& b);
TRect GrowRect(const TRect& r, Integer dX, Integer dY);
TRect GrowRectSides(const TRect& r, Integer dLeft, Integer dTop, Integer dRight, Integer dBottom);
bool RectsEqual(const TRect& a, const TRect& b);
bool RectsSameSize(const TRect& a, const TRect& b);
TRect ShiftedRect(const TRect& r, Integer dX, Integer dY);
TRect ShiftedRectByPoint(const TRect& r, const TPoint& p);
TRect RectFromCoords(Integer left, Integer top, Integer right, Integer bottom);
TRect RectFromCorners(const TPoint& topLeft, const TPoint& bottomRight);
TRect RectFromPosSize(Integer x, Integer y, Integer w, Integer h);
// Moved so that the named side equals the coordinate; the size is kept.
TRect MoveRectLeftTo(const TRect& r, Integer x);
TRect MoveRectTopTo(const TRect& r, Integer y);
TRect MoveRectRightTo(const TRect& r, Integer x);
TRect MoveRectBottomTo(const TRect& r, Integer y);
TRect PlaceRectLeft(const TRect& r, Integer x, Integer w);   // Left = x, Right = x + w
TRect PlaceRectHorz(const TRect& r, Integer x, Integer w);   // the same
TRect PlaceRectRight(const TRect& r, Integer x, Integer w);  // Right = x, Left = x - w
TRect PlaceRectTop(const TRect& r, Integer y, Integer h);    // Top = y, Bottom = y + h
TRect PlaceRectBottom(const TRect& r, Integer y, Integer h); // Bottom = y, Top = y - h
TRect RectWithWidth(const TRect& r, Integer w);
TRect RectWithHeight(const TRect& r, Integer h);
TRect RectWithSize(const TRect& r, Integer w, Integer h);
TRect RectWithHorzRange(const TRect& r, Integer left, Integer right);
// mid = (Left + Right) div 2 (truncating toward zero); a ends at mid, b starts there.
void SplitRectInHalves(const TRect& r, TRect& a, TRect& b);
// A w x h rectangle centred in r (integer division truncating toward zero).
TRect CenteredRect(const TRect& r, Integer w, Integer h);
// Left += widths.Left, Top += widths.Top, Right -= widths.Right, Bottom -= widths.Bottom.
void ShrinkRectByBorders(TRect& r, const TRect& widths);

TPoint NegatedPoint(const TPoint& p);
TPoint OffsetPoint(const TPoint& p, Integer dX, Integer dY);
TPoint OffsetPointByPoint(const TPoint& p, const TPoint& d);
TPoint PointFromCoords(Integer x, Integer y);
TSize SizeFromDims(Integer cx, Integer cy);

// ---- TcxRect -------------------------------------------------------------------------------

// A rectangle that can be published: Left, Top, Right, Bottom and OnChange.
class TcxRect : public TPersistent {
  KORVAN_CLASS(TcxRect, TPersistent)

 public:
  using CreateArgType = TPersistent*;
  // The virtual constructor.
  explicit TcxRect(TPersistent* owner = nullptr) : owner_(owner) {}
  static TcxRect* CreateWithOwner(TPersistent* owner) { return new TcxRect(owner); }

  // Copies another TcxRect through AssignRect; any other source is ignored.
  void Assign(TPersistent* source) override;

  TPersistent* Owner() const { return owner_; }
  const TRect& Rect() const { return rect_; }
  // Stores r and notifies, unless it equals the current rectangle.
  void AssignRect(const TRect& r);
  bool EqualsRect(const TRect& r) const { return rect_ == r; }
  // Side 0 Left, 1 Top, 2 Right, 3 Bottom; any other index reads Bottom.
  Integer GetSide(Integer index) const;
  void SetSide(Integer index, Integer value);
  Integer Left() const { return GetSide(0); }
  Integer Top() const { return GetSide(1); }
  Integer Right() const { return GetSide(2); }
  Integer Bottom() const { return GetSide(3); }
  void SetLeft(Integer v) { SetSide(0, v); }
  void SetTop(Integer v) { SetSide(1, v); }
  void SetRight(Integer v) { SetSide(2, v); }
  void SetBottom(Integer v) { SetSide(3, v); }
  Integer Width() const { return rect_.Right - rect_.Left; }
  Integer Height() const { return rect_.Bottom - rect_.Top; }

  std::function<void(TObject* sender)> OnChange;

 protected:
  TPersistent* GetOwner() const override { return owner_; }
  virtual void NotifyChange();

 private:
  TPersistent* owner_;
  TRect rect_;
};

// The geometry unit's start: registers TcxRect with the class registry (by name).
void InitializeCxGeometry();
