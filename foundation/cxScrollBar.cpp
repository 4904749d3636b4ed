// The painted scroll bar: layout, thumb tracking, auto-repeat and painting.
#include "foundation/cxScrollBar.h"

#include <algorithm>

#include "foundation/cxControls.h"
#include "foundation/dxThemeManager.h"
#include "rtl/TypInfo.h"

namespace {
PTypeInfo ScrollBarKindType() { return EnumTypeInfo("TScrollBarKind", {"sbHorizontal", "sbVertical"}); }

TScrollCode CodeOfPart(TcxScrollBarPart part) {
  switch (part) {
    case sbpLineUp: return scLineUp;
    case sbpLineDown: return scLineDown;
    case sbpPageUp: return scPageUp;
    case sbpPageDown: return scPageDown;
    default: return scTrack;
  }
}

bool IsRepeatPart(TcxScrollBarPart part) {
  return part == sbpLineUp || part == sbpLineDown || part == sbpPageUp || part == sbpPageDown;
}

constexpr const char* kRangeError = "スクロールバー プロパティが範囲を越えました";
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxScrollBar) {
  p.Enum("Kind", &TcxScrollBar::Kind, &TcxScrollBar::SetKind, ScrollBarKindType()).Default(sbHorizontal);
  p.Int("Max", &TcxScrollBar::Max, &TcxScrollBar::SetMax).Default(100);
  p.Int("Min", &TcxScrollBar::Min, &TcxScrollBar::SetMin).Default(0);
  p.Int("PageSize", &TcxScrollBar::PageSize, &TcxScrollBar::SetPageSize).Default(0);
  p.Int("Position", &TcxScrollBar::Position, &TcxScrollBar::SetPosition).Default(0);
  p.Int("SmallChange", &TcxScrollBar::SmallChange, &TcxScrollBar::SetSmallChange).Default(1);
  p.Int("LargeChange", &TcxScrollBar::LargeChange, &TcxScrollBar::SetLargeChange).Default(1);
  p.Bool("UnlimitedTracking", &TcxScrollBar::UnlimitedTracking, &TcxScrollBar::SetUnlimitedTracking).Default(false);
  p.Object("LookAndFeel", &TcxScrollBar::LookAndFeel, &TcxScrollBar::SetLookAndFeel, TcxLookAndFeel::StaticClass());
  p.Event("OnChange", &TcxScrollBar::OnChange);
  p.Event("OnScroll", &TcxScrollBar::OnScroll);
}

void ReadSystemScrollBarSizes(TSize& size) {
  size = TSize(GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL));
}

TcxScrollBar::TcxScrollBar(TComponent* owner) : TCustomControl(owner) {
  bufferBitmap_ = std::make_unique<TBitmap>();
  bufferCanvas_ = std::make_unique<TcxCanvas>(bufferBitmap_->Canvas());
  lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
  lookAndFeel_->OnLookAndFeelChanged = [this](TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) {
    LookAndFeelChanged(sender, changed);
  };
  SetWidth(121);
  SetControlStyle(TControlStyle{csCaptureMouse, csFramed, csOpaque});
  kind_ = sbHorizontal;
  SetHeight(GetSystemMetrics(SM_CYHSCROLL));
  themeNotifier_ = std::make_unique<TdxThemeChangedNotificator>();
  themeNotifier_->OnThemeChanged = [this] { ThemeChanged(); };
  repeatTimer_ = new TcxTimer(nullptr);
  repeatTimer_->SetEnabled(false);
  repeatTimer_->SetInterval(400);
  repeatTimer_->SetOnTimer([this](TObject* sender) { RepeatTick(sender); });
  RecalcThumbMinSize();
  RecalcLayout();
}

TcxScrollBar::~TcxScrollBar() {
  repeatTimer_->Free();
  themeNotifier_.reset();
  lookAndFeel_.reset();
  bufferCanvas_.reset();
  bufferBitmap_.reset();
}

const TcxCustomLookAndFeelPainter* TcxScrollBar::Painter() { return lookAndFeel_->SelectPainterForClass(tcScrollBar); }

void TcxScrollBar::SetKind(TScrollBarKind v) {
  if (v == kind_) return;
  kind_ = v;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecalcLayout();
  Invalidate();
}

void TcxScrollBar::Loaded() {
  TCustomControl::Loaded();
  RecalcLayout();
}

void TcxScrollBar::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  bool changed = left != Left() || top != Top() || width != Width() || height != Height();
  TCustomControl::SetBounds(left, top, width, height);
  if (changed && Width() > 0 && Height() > 0) {
    bufferBitmap_->SetSize(Width(), Height());
    RecalcLayout();
  }
}

void TcxScrollBar::SetScrollParams(Integer min, Integer max, Integer position, Integer pageSize, bool redraw) {
  if (max < min || max < pageSize) throw EInvalidOperation(kRangeError);
  redraw = redraw && HandleAllocated();
  position = std::clamp(position, min, max);
  if (min == min_ && max == max_ && pageSize == pageSize_ && position == position_) redraw = false;
  min_ = min;
  max_ = max;
  pageSize_ = pageSize;
  if (position != position_) {
    SetEnabled(true);
    position_ = position;
    RecalcThumb();
    if (redraw) Invalidate();
    Change();
  } else {
    RecalcThumb();
    if (redraw) Invalidate();
  }
}

void TcxScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TcxScrollBar::DoScroll(TScrollCode code, Integer& position) {
  if (OnScroll) OnScroll(this, code, position);
}

void TcxScrollBar::StorePositionQuietly(Integer v) {
  position_ = v;
  Invalidate();
}

void TcxScrollBar::Scroll(TScrollCode code) {
  Int64 p = position_;
  switch (code) {
    case scLineUp: p -= smallChange_; break;
    case scLineDown: p += smallChange_; break;
    case scPageUp: p -= largeChange_; break;
    case scPageDown: p += largeChange_; break;
    case scTop: p = min_; break;
    case scBottom: p = max_; break;
    default: break;
  }
  Integer position = Integer(std::clamp<Int64>(p, min_, max_));
  TWeakRef<TControl> self(this);
  DoScroll(code, position);
  if (!self) return;
  position = std::clamp(position, min_, max_);
  if (position == position_) return;
  if (code == scTrack) StorePositionQuietly(position);
  else SetPosition(position);
}

// ---- layout --------------------------------------------------------------------------------

void TcxScrollBar::RecalcLayout() {
  Integer w = Width(), h = Height();
  if (IsHorizontal()) {
    Integer arrow = std::min(GetSystemMetrics(SM_CYHSCROLL), w / 2);
    lineUpRect_ = TRect(0, 0, arrow, h);
    lineDownRect_ = TRect(w - arrow, 0, w, h);
  } else {
    Integer arrow = std::min(GetSystemMetrics(SM_CXVSCROLL), h / 2);
    lineUpRect_ = TRect(0, 0, w, arrow);
    lineDownRect_ = TRect(0, h - arrow, w, h);
  }
  RecalcThumb();
}

void TcxScrollBar::RecalcPageAreas() {
  pageUpRect_ = pageDownRect_ = TRect();
  if (thumbRect_.IsEmpty()) return;
  if (IsHorizontal()) {
    pageUpRect_ = TRect(lineUpRect_.Right, 0, thumbRect_.Left, Height());
    pageDownRect_ = TRect(thumbRect_.Right, 0, lineDownRect_.Left, Height());
  } else {
    pageUpRect_ = TRect(0, lineUpRect_.Bottom, Width(), thumbRect_.Top);
    pageDownRect_ = TRect(0, thumbRect_.Bottom, Width(), lineDownRect_.Top);
  }
}

void TcxScrollBar::RecalcThumb() {
  thumbRect_ = TRect();
  RecalcPageAreas();
  if (!Enabled()) return;
  bool horz = IsHorizontal();
  Integer trackStart = horz ? lineUpRect_.Right : lineUpRect_.Bottom;
  Integer track = (horz ? lineDownRect_.Left : lineDownRect_.Top) - trackStart;
  Integer length, start = trackStart;
  if (pageSize_ != 0) {
    // Ranges are computed in 64 bits: Max - Min + 1 overflows for the widest ranges.
    Int64 range = Int64(max_) - min_ + 1;
    length = Integer(std::min<Int64>(track, (Int64(pageSize_) * track + range / 2) / range));
    if (track < thumbMinSize_ || max_ == min_) return;
    length = std::max(length, thumbMinSize_);
    Int64 span = Int64(max_) - min_ - pageSize_ + 1;
    if (span > 0) {
      Int64 offset = std::min<Int64>(Int64(position_) - min_, span);
      start += Integer(((Int64(track) - length) * offset + span / 2) / span);
    }
  } else {
    length = GetSystemMetrics(horz ? SM_CXHTHUMB : SM_CYVTHUMB);
    if (track < length) return;
    if (track - length > 0 && max_ != min_)
      start += MulDiv(track - length, position_ - min_, max_ - min_);
  }
  thumbRect_ = horz ? TRect(start, 0, start + length, Height()) : TRect(0, start, Width(), start + length);
  RecalcPageAreas();
}

void TcxScrollBar::RecalcThumbMinSize() {
  Integer size = 8;
  const TcxCustomLookAndFeelPainter* painter = Painter();
  if (painter && painter->InheritsFrom(TcxWinXPLookAndFeelPainter::Class())) {
    if (HTHEME theme = OpenThemeCached(tcScrollBar)) {
      Integer part = IsHorizontal() ? 9 : 8;
      TSize minSize, trueSize;
      bool hasMin = UxGetThemePartSizeNoRect(theme, nullptr, part, 1, TS_MIN, minSize) == S_OK;
      bool hasTrue = UxGetThemePartSizeNoRect(theme, nullptr, part, 1, TS_TRUE, trueSize) == S_OK;
      if (hasMin) {
        Integer m = IsHorizontal() ? minSize.cx : minSize.cy;
        size = hasTrue ? std::max(m, (IsHorizontal() ? trueSize.cx : trueSize.cy) + 4) : m;
      }
    }
  }
  thumbMinSize_ = std::max(size, 8);
}

Integer TcxScrollBar::PositionFromThumb() {
  bool horz = IsHorizontal();
  Int64 range = Int64(max_) - min_;
  if (pageSize_ > 0) range += 1 - pageSize_;
  Integer trackStart = horz ? lineUpRect_.Right : lineUpRect_.Bottom;
  Integer trackLength = (horz ? lineDownRect_.Left : lineDownRect_.Top) - trackStart;
  Integer thumbStart = horz ? thumbRect_.Left : thumbRect_.Top;
  Integer thumbLength = horz ? thumbRect_.Width() : thumbRect_.Height();
  Integer free = trackLength - thumbLength;
  // A thumb that fills its track has nowhere to move: the position stays at the minimum
  // (a division by zero there would give a position below it).
  if (free <= 0) return min_;
  Int64 offset = Int64(thumbStart - trackStart);
  Int64 value = Int64(min_) + (range * offset + (offset >= 0 ? free / 2 : -free / 2)) / free;
  return Integer(std::clamp<Int64>(value, min_, max_));
}

TcxScrollBarPart TcxScrollBar::HitTest(TPoint p) {
  if (!ClientRect().Contains(p)) return sbpNone;
  if (lineUpRect_.Contains(p)) return sbpLineUp;
  if (lineDownRect_.Contains(p)) return sbpLineDown;
  if (thumbRect_.IsEmpty()) return sbpNone;
  if (thumbRect_.Contains(p)) return sbpThumb;
  if (pageUpRect_.Contains(p)) return sbpPageUp;
  if (pageDownRect_.Contains(p)) return sbpPageDown;
  return sbpNone;
}

// ---- mouse ---------------------------------------------------------------------------------

void TcxScrollBar::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TControl> self(this);
  TCustomControl::MouseDown(button, shift, x, y);
  if (!self || button != mbLeft) return;
  TcxScrollBarPart part = HitTest(TPoint(x, y));
  if (part == sbpNone) return;
  if (part == sbpThumb) {
    trackStartPoint_ = TPoint(x, y);
    trackStartPosition_ = position_;
    trackStartThumb_ = thumbRect_.TopLeft();
    pressedPart_ = hotPart_ = part;
    Scroll(scTrack);
  } else {
    pressedPart_ = hotPart_ = part;
    Scroll(CodeOfPart(part));
    if (!self) return;
    repeatTimer_->SetInterval(400);
    repeatTimer_->SetEnabled(true);
  }
  if (self) Repaint();
}

void TcxScrollBar::RepeatTick(TObject*) {
  TWeakRef<TControl> self(this);
  if (Mouse()->Capture() == this && IsRepeatPart(pressedPart_)) {
    if (repeatTimer_->Interval() == 400) repeatTimer_->SetInterval(60);
    Scroll(CodeOfPart(pressedPart_));
    if (!self) return;
    TPoint cursor;
    QueryCursorPos(cursor);
    repeatTimer_->SetEnabled(HitTest(ScreenToClient(cursor)) == pressedPart_);
  } else {
    EndTracking();
  }
}

void TcxScrollBar::MouseMove(TShiftState shift, Integer x, Integer y) {
  TWeakRef<TControl> self(this);
  TCustomControl::MouseMove(shift, x, y);
  if (!self) return;
  TPoint p(x, y);
  if (pressedPart_ != sbpThumb) {
    TcxScrollBarPart part = HitTest(p);
    if (pressedPart_ != sbpNone) repeatTimer_->SetEnabled(part == pressedPart_);
    if (part != hotPart_) {
      hotPart_ = part;
      const TcxCustomLookAndFeelPainter* painter = Painter();
      if (painter && painter->ButtonHotTracks()) Repaint();
    }
    return;
  }
  bool horz = IsHorizontal();
  TRect tolerance = horz ? TRect(-34, -136, Width() + 34, Height() + 136) : TRect(-136, -34, Width() + 136, Height() + 34);
  if (unlimitedTracking_ || tolerance.Contains(p)) {
    Integer offset = horz ? x - trackStartPoint_.X : y - trackStartPoint_.Y;
    if (offset == 0) return;
    Integer trackStart = horz ? lineUpRect_.Right : lineUpRect_.Bottom;
    Integer trackEnd = horz ? lineDownRect_.Left : lineDownRect_.Top;
    Integer length = horz ? thumbRect_.Width() : thumbRect_.Height();
    Integer start = std::clamp((horz ? trackStartThumb_.X : trackStartThumb_.Y) + offset, trackStart,
                               std::max(trackStart, trackEnd - length));
    thumbRect_ = horz ? TRect(start, 0, start + length, Height()) : TRect(0, start, Width(), start + length);
    RecalcPageAreas();
    Repaint();
    Integer position = PositionFromThumb();
    if (position != position_) {
      position_ = position;
      Scroll(scTrack);
    }
  } else if (position_ != trackStartPosition_) {
    SetPosition(trackStartPosition_);
    if (!self) return;
    Scroll(scTrack);
  }
}

void TcxScrollBar::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TControl> self(this);
  EndTracking();
  if (!self) return;
  TCustomControl::MouseUp(button, shift, x, y);
  if (self) hotPart_ = HitTest(TPoint(x, y));
}

void TcxScrollBar::EndTracking() {
  if (pressedPart_ == sbpNone) return;
  TWeakRef<TControl> self(this);
  if (pressedPart_ == sbpThumb) {
    Integer position = PositionFromThumb();
    if (position != position_) position_ = position;
    Scroll(scPosition);
    if (!self) return;
  }
  repeatTimer_->SetEnabled(false);
  pressedPart_ = hotPart_ = sbpNone;
  Scroll(scEndScroll);
  if (!self) return;
  RecalcThumb();
  Invalidate();
}

void TcxScrollBar::WMCancelMode(TMessage& m) {
  EndTracking();
  TCustomControl::WMCancelMode(m);
}

void TcxScrollBar::CMEnabledChanged(TMessage& m) {
  RecalcLayout();
  if (!Enabled()) EndTracking();
  TCustomControl::CMEnabledChanged(m);
  Invalidate();
}

void TcxScrollBar::CMVisibleChanged(TMessage& m) {
  if (!Visible()) EndTracking();
  TCustomControl::CMVisibleChanged(m);
}

void TcxScrollBar::CMMouseEnter(TMessage& m) {
  TCustomControl::CMMouseEnter(m);
  const TcxCustomLookAndFeelPainter* painter = Painter();
  if ((painter && painter->ButtonHotTracks()) || IsRepeatPart(pressedPart_)) Invalidate();
}

void TcxScrollBar::CMMouseLeave(TMessage& m) {
  TCustomControl::CMMouseLeave(m);
  if (pressedPart_ != sbpThumb) hotPart_ = sbpNone;
  const TcxCustomLookAndFeelPainter* painter = Painter();
  if ((painter && painter->ButtonHotTracks()) || IsRepeatPart(pressedPart_)) Invalidate();
}

void TcxScrollBar::CMSysColorChange(TMessage& m) {
  RefreshScrollBarPatterns();
  TCustomControl::CMSysColorChange(m);
}

void TcxScrollBar::Dispatch(TMessage& m) {
  if (m.Msg == CN_BASE + WM_HSCROLL || m.Msg == CN_BASE + WM_VSCROLL) {
    Scroll(TScrollCode(LOWORD(m.WParam)));
    return;
  }
  if (m.Msg == CN_BASE + WM_CTLCOLORSCROLLBAR) {
    RefreshScrollBarPatterns();
    DefaultHandler(m);
    return;
  }
  TCustomControl::Dispatch(m);
}

void TcxScrollBar::WMEraseBkgnd(TMessage& m) { m.Result = 1; }

// ---- appearance ----------------------------------------------------------------------------

void TcxScrollBar::LookAndFeelChanged(TcxLookAndFeel*, const TcxLookAndFeelValues&) {
  RecalcThumbMinSize();
  RecalcLayout();
  Invalidate();
}

void TcxScrollBar::ThemeChanged() {
  RecalcThumbMinSize();
  RecalcLayout();
  Invalidate();
  RefreshScrollBarPatterns();
  if (Parent()) Parent()->Realign();
}

TcxButtonState TcxScrollBar::PartState(TcxScrollBarPart part) {
  if (!Enabled()) return cxbsDisabled;
  const TcxCustomLookAndFeelPainter* painter = Painter();
  bool hotTracks = painter && painter->ButtonHotTracks();
  if (part == sbpThumb && !hotTracks) return cxbsNormal;
  if (pressedPart_ != sbpNone) {
    if (part != pressedPart_) return cxbsNormal;
    if (part == sbpThumb) return cxbsPressed;
    TPoint cursor;
    QueryCursorPos(cursor);
    return HitTest(ScreenToClient(cursor)) == part ? cxbsPressed : cxbsNormal;
  }
  if (part == hotPart_ && !ComponentState().Contains(csDesigning)) return cxbsHot;
  return cxbsNormal;
}

void TcxScrollBar::Paint() {
  const TcxCustomLookAndFeelPainter* painter = Painter();
  if (!painter || Width() <= 0 || Height() <= 0) return;
  if (bufferBitmap_->Width() != Width() || bufferBitmap_->Height() != Height()) bufferBitmap_->SetSize(Width(), Height());
  TcxCanvas* c = bufferCanvas_.get();
  bool horz = IsHorizontal();
  if (thumbRect_.IsEmpty()) {
    painter->PaintScrollBarPart(c, horz, ClientRect(), sbpPageUp, Enabled() ? cxbsNormal : cxbsDisabled);
  } else {
    painter->PaintScrollBarPart(c, horz, thumbRect_, sbpThumb, PartState(sbpThumb));
  }
  painter->PaintScrollBarPart(c, horz, lineUpRect_, sbpLineUp, PartState(sbpLineUp));
  painter->PaintScrollBarPart(c, horz, lineDownRect_, sbpLineDown, PartState(sbpLineDown));
  if (!pageUpRect_.IsEmpty()) painter->PaintScrollBarPart(c, horz, pageUpRect_, sbpPageUp, PartState(sbpPageUp));
  if (!pageDownRect_.IsEmpty())
    painter->PaintScrollBarPart(c, horz, pageDownRect_, sbpPageDown, PartState(sbpPageDown));
  Canvas()->Draw(0, 0, bufferBitmap_.get());
}
