#include "foundation/cxGeometry.h"

#include "rtl/TypInfo.h"

Integer WidthOfRect(const TRect& r) { return r.Right - r.Left; }
Integer HeightOfRect(const TRect& r) { return r.Bottom - r.Top; }
TSize SizeOfRect(const TRect& r) { return TSize(WidthOfRect(r), HeightOfRect(r)); }

bool IntersectRectsOrEmpty(TRect& d, const TRect& a, const TRect& b) {
  TRect r(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom));
  if (r.Left < r.Right && r.Top < r.Bottom) {
    d = r;
    return true;
  }
  d = TRect();
  return false;
}

TRect GrowRect(const TRect& r, Integer dX, Integer dY) {
  return TRect(r.Left - dX, r.Top - dY, r.Right + dX, r.Bottom + dY);
}
TRect GrowRectSides(const TRect& r, Integer dLeft, Integer dTop, Integer dRight, Integer dBottom) {
  return TRect(r.Left - dLeft, r.Top - dTop, r.Right + dRight, r.Bottom + dBottom);
}
bool RectsEqual(const TRect& a, const TRect& b) { return a == b; }
bool RectsSameSize(const TRect& a, const TRect& b) {
  return WidthOfRect(a) == WidthOfRect(b) && HeightOfRect(a) == HeightOfRect(b);
}
TRect ShiftedRect(const TRect& r, Integer dX, Integer dY) {
  return TRect(r.Left + dX, r.Top + dY, r.Right + dX, r.Bottom + dY);
}
TRect ShiftedRectByPoint(const TRect& r, const TPoint& p) { return ShiftedRect(r, p.X, p.Y); }
TRect RectFromCoords(Integer left, Integer top, Integer right, Integer bottom) {
  return TRect(left, top, right, bottom);
}
TRect RectFromCorners(const TPoint& topLeft, const TPoint& bottomRight) {
  return TRect(topLeft, bottomRight);
}
TRect RectFromPosSize(Integer x, Integer y, Integer w, Integer h) { return TRect(x, y, x + w, y + h); }

TRect MoveRectLeftTo(const TRect& r, Integer x) { return ShiftedRect(r, x - r.Left, 0); }
TRect MoveRectTopTo(const TRect& r, Integer y) { return ShiftedRect(r, 0, y - r.Top); }
TRect MoveRectRightTo(const TRect& r, Integer x) { return ShiftedRect(r, x - r.Right, 0); }
TRect MoveRectBottomTo(const TRect& r, Integer y) { return ShiftedRect(r, 0, y - r.Bottom); }
TRect PlaceRectLeft(const TRect& r, Integer x, Integer w) { return TRect(x, r.Top, x + w, r.Bottom); }
TRect PlaceRectHorz(const TRect& r, Integer x, Integer w) { return PlaceRectLeft(r, x, w); }
TRect PlaceRectRight(const TRect& r, Integer x, Integer w) { return TRect(x - w, r.Top, x, r.Bottom); }
TRect PlaceRectTop(const TRect& r, Integer y, Integer h) { return TRect(r.Left, y, r.Right, y + h); }
TRect PlaceRectBottom(const TRect& r, Integer y, Integer h) { return TRect(r.Left, y - h, r.Right, y); }
TRect RectWithWidth(const TRect& r, Integer w) { return TRect(r.Left, r.Top, r.Left + w, r.Bottom); }
TRect RectWithHeight(const TRect& r, Integer h) { return TRect(r.Left, r.Top, r.Right, r.Top + h); }
TRect RectWithSize(const TRect& r, Integer w, Integer h) {
  return TRect(r.Left, r.Top, r.Left + w, r.Top + h);
}
TRect RectWithHorzRange(const TRect& r, Integer left, Integer right) {
  return TRect(left, r.Top, right, r.Bottom);
}

void SplitRectInHalves(const TRect& r, TRect& a, TRect& b) {
  // Summed in 64 bits: the halves of a rectangle near the coordinate limits stay right.
  Integer mid = Integer((int64_t(r.Left) + r.Right) / 2);
  a = r;
  a.Right = mid;
  b = r;
  b.Left = mid;
}

TRect CenteredRect(const TRect& r, Integer w, Integer h) {
  Integer left = Integer((int64_t(r.Left) + r.Right - w) / 2);
  Integer top = Integer((int64_t(r.Top) + r.Bottom - h) / 2);
  return TRect(left, top, left + w, top + h);
}

void ShrinkRectByBorders(TRect& r, const TRect& widths) {
  r.Left += widths.Left;
  r.Top += widths.Top;
  r.Right -= widths.Right;
  r.Bottom -= widths.Bottom;
}

TPoint NegatedPoint(const TPoint& p) { return TPoint(-p.X, -p.Y); }
TPoint OffsetPoint(const TPoint& p, Integer dX, Integer dY) { return TPoint(p.X + dX, p.Y + dY); }
TPoint OffsetPointByPoint(const TPoint& p, const TPoint& d) { return OffsetPoint(p, d.X, d.Y); }
TPoint PointFromCoords(Integer x, Integer y) { return TPoint(x, y); }
TSize SizeFromDims(Integer cx, Integer cy) { return TSize(cx, cy); }

// ---- TcxRect -------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxRect) {
  p.Int("Left", &TcxRect::Left, &TcxRect::SetLeft);
  p.Int("Top", &TcxRect::Top, &TcxRect::SetTop);
  p.Int("Right", &TcxRect::Right, &TcxRect::SetRight);
  p.Int("Bottom", &TcxRect::Bottom, &TcxRect::SetBottom);
  p.Event("OnChange", &TcxRect::OnChange);
}

void TcxRect::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TcxRect*>(source)) AssignRect(other->Rect());
}

void TcxRect::AssignRect(const TRect& r) {
  if (EqualsRect(r)) return;
  rect_ = r;
  NotifyChange();
}

Integer TcxRect::GetSide(Integer index) const {
  switch (index) {
    case 0: return rect_.Left;
    case 1: return rect_.Top;
    case 2: return rect_.Right;
    default: return rect_.Bottom;
  }
}

void TcxRect::SetSide(Integer index, Integer value) {
  TRect r = rect_;
  switch (index) {
    case 0: r.Left = value; break;
    case 1: r.Top = value; break;
    case 2: r.Right = value; break;
    case 3: r.Bottom = value; break;
    default: return;
  }
  AssignRect(r);
}

void TcxRect::NotifyChange() {
  if (OnChange) OnChange(this);
}

void InitializeCxGeometry() {
  InitUnit(
      "cxGeometry", [] { RegisterClass(TcxRect::StaticClass()); },
      [] { UnRegisterClass(TcxRect::StaticClass()); });
}
