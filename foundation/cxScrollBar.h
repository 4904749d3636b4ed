// A painted scroll bar: arrows, thumb and page areas laid out by the control itself, drawn
// through the look-and-feel painter into an off-screen bitmap, thumb tracking with a
// tolerance rectangle and auto-repeat of arrow and page clicks (400 ms, then 60 ms).
#pragma once

#include <functional>
#include <memory>

#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "vcl/Controls.h"

class TcxTimer;
class TdxThemeChangedNotificator;

// Width of a vertical system scroll bar and height of a horizontal one.
void ReadSystemScrollBarSizes(TSize& size);

class TcxScrollBar : public TCustomControl {
  KORVAN_CLASS(TcxScrollBar, TCustomControl)

 public:
  explicit TcxScrollBar(TComponent* owner);
  ~TcxScrollBar() override;

  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind v);
  Integer Min() const { return min_; }
  void SetMin(Integer v) { SetScrollParams(v, max_, position_, pageSize_, true); }
  Integer Max() const { return max_; }
  void SetMax(Integer v) { SetScrollParams(min_, v, position_, pageSize_, true); }
  Integer Position() const { return position_; }
  void SetPosition(Integer v) { SetScrollParams(min_, max_, v, pageSize_, true); }
  Integer PageSize() const { return pageSize_; }
  void SetPageSize(Integer v) { SetScrollParams(min_, max_, position_, v, true); }
  TScrollBarInc SmallChange() const { return smallChange_; }
  void SetSmallChange(TScrollBarInc v) { smallChange_ = v; }
  TScrollBarInc LargeChange() const { return largeChange_; }
  void SetLargeChange(TScrollBarInc v) { largeChange_ = v; }
  bool UnlimitedTracking() const { return unlimitedTracking_; }
  void SetUnlimitedTracking(bool v) { unlimitedTracking_ = v; }
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  void SetLookAndFeel(TcxLookAndFeel* v) { lookAndFeel_->Assign(v); }

  // Raises EInvalidOperation for max < min or max < pageSize; clamps the position.
  void SetScrollParams(Integer min, Integer max, Integer position, Integer pageSize, bool redraw = true);
  // One scroll step by code (line, page, top, bottom; other codes keep the position).
  void Scroll(TScrollCode code);

  // Layout and state, for descendants and tests.
  TcxScrollBarPart HitTest(TPoint p);
  TcxScrollBarPart PressedPart() const { return pressedPart_; }
  TcxScrollBarPart HotPart() const { return hotPart_; }
  Integer ThumbMinSize() const { return thumbMinSize_; }
  TRect LineUpRect() const { return lineUpRect_; }
  TRect LineDownRect() const { return lineDownRect_; }
  TRect ThumbRect() const { return thumbRect_; }
  TRect PageUpRect() const { return pageUpRect_; }
  TRect PageDownRect() const { return pageDownRect_; }
  TcxTimer* RepeatTimer() const { return repeatTimer_; }
  TcxButtonState PartState(TcxScrollBarPart part);
  void EndTracking();

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
  void WMEraseBkgnd(TMessage& m) override;
  void WMCancelMode(TMessage& m) override;
  void CMEnabledChanged(TMessage& m) override;
  void CMVisibleChanged(TMessage& m) override;
  void CMMouseEnter(TMessage& m) override;
  void CMMouseLeave(TMessage& m) override;
  void CMSysColorChange(TMessage& m) override;
  void Dispatch(TMessage& m) override;

 protected:
  virtual void Change();
  virtual void DoScroll(TScrollCode code, Integer& position);
  void Paint() override;
  void Loaded() override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void LookAndFeelChanged(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed);
  void ThemeChanged();
  const TcxCustomLookAndFeelPainter* Painter();

  void RecalcLayout();
  void RecalcThumb();
  void RecalcThumbMinSize();
  void RecalcPageAreas();
  Integer PositionFromThumb();
  void RepeatTick(TObject* sender);
  bool IsHorizontal() const { return kind_ == sbHorizontal; }
  void StorePositionQuietly(Integer v);

 private:
  std::unique_ptr<TBitmap> bufferBitmap_;
  TcxScrollBarPart pressedPart_ = sbpNone;
  TcxScrollBarPart hotPart_ = sbpNone;
  TcxTimer* repeatTimer_ = nullptr;
  std::unique_ptr<TcxCanvas> bufferCanvas_;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  std::unique_ptr<TdxThemeChangedNotificator> themeNotifier_;
  Integer thumbMinSize_ = 8;
  TRect lineUpRect_, lineDownRect_, thumbRect_, pageUpRect_, pageDownRect_;
  TScrollBarKind kind_ = sbHorizontal;
  Integer position_ = 0;
  Integer trackStartPosition_ = 0;
  TPoint trackStartThumb_;
  TPoint trackStartPoint_;
  Integer min_ = 0, max_ = 100, pageSize_ = 0;
  TScrollBarInc smallChange_ = 1, largeChange_ = 1;
  bool unlimitedTracking_ = false;
};
