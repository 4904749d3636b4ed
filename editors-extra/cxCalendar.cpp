// The calendar arithmetic, the clock face, the month calendar (layout, painting, mouse, keys,
// arrow timer and buttons), the popup calendar and the month list.
#include "editors-extra/cxCalendar.h"

#include <cmath>
#include <numbers>

#include "editors/cxDateUtils.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxStandardMask.h"
#include "foundation/cxGeometry.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "gdi/Gdi.h"
#include "rtl/DateUtils.h"
#include "user/WinUser.h"
#include "vcl/Forms.h"

namespace {

const TcxResourceStringRec cxSDateClear = {"cxSDateClear", "Clear"};
const TcxResourceStringRec cxSDateNow = {"cxSDateNow", "Now"};
const TcxResourceStringRec cxSDateToday = {"cxSDateTodayButton", "Today"};
const TcxResourceStringRec cxSDateOK = {"cxSDateOK", "OK"};

constexpr Cardinal kArrowInterval = 200;
constexpr double kPi = std::numbers::pi;


// A fill with a solid brush (texts leave the brush clear).
void FillSolid(TcxCanvas* canvas, const TRect& r, TColor color) {
  canvas->CurrentBrush()->SetStyle(bsSolid);
  canvas->FillRectColor(r, color);
}

}  // namespace

// ---- calendar arithmetic ---------------------------------------------------------------------------

bool IsCalendarDateSupported(TDateTime date) {
  if (date == NoDateValue) return true;
  return std::isfinite(date) && std::trunc(date) >= MinDateValue && date < EncodeDate(MaxYear, 12, 31) + 1;
}

Integer CalendarWeekIndex(TDateTime date) { return WeekDayPosition(date); }

// The day cells' first date: a month starting a week shows the previous week first, except
// the first supported month (whose previous week does not exist). FirstVisibleDate answers
// the same, so hit tests and painting agree in January of year 100 too.
TDateTime CalendarFirstVisibleDate(TDateTime first_date) {
  const Integer i = CalendarWeekIndex(first_date);
  TDateTime d = first_date - i;
  if (i == 0 && first_date > MinDateValue) d -= 7;
  return d;
}

TDateTime CalendarCellDate(TDateTime first_date, Integer column, Integer row) {
  return CalendarFirstVisibleDate(first_date) + 7 * row + column;
}

TDateTime CalendarLastVisibleDate(TDateTime first_date) { return CalendarFirstVisibleDate(first_date) + 41; }

bool CalendarKeyDate(TDateTime date, Word key, TShiftState shift, TDateTime& result) {
  const TDateTime day = std::trunc(date);
  Word y = 0, m = 0, d = 0;
  DecodeDate(day, y, m, d);
  Integer year = y, month = m;
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT: {
      if (key == VK_PRIOR) MonthBack(year, month);
      else MonthForward(year, month);
      TDateTime r = 0;
      if (year < 100 || year > MaxYear || !TryEncodeDate(Word(year), Word(month), Word(ClampDay(year, month, d)), r))
        return false;
      result = r;
      return true;
    }
    case VK_HOME:
      result = shift.Contains(ssCtrl) ? EncodeDate(y, m, 1) : day - CalendarWeekIndex(day);
      return true;
    case VK_END:
      result = shift.Contains(ssCtrl) ? EncodeDate(y, m, Word(MonthLength(y, m))) : day + 6 - CalendarWeekIndex(day);
      return true;
    case VK_LEFT: result = day - 1; return true;
    case VK_RIGHT: result = day + 1; return true;
    case VK_UP:
    case VK_DOWN:
      if (shift.Contains(ssAlt)) return false;
      result = day + (key == VK_UP ? -7 : 7);
      return true;
    default:
      return false;
  }
}

// ---- clock face -------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxClock)

TcxClock::TcxClock(TComponent* owner) : TcxControl(owner) {
  SetBorderStyle(cxcbsNone);
  SetColor(clWindow);
  SetTabStop(false);
  SetBounds(0, 0, 90, 90);
}

void TcxClock::SetMinuteDotColor(TColor v) {
  if (minuteDotColor_ == v) return;
  minuteDotColor_ = v;
  Invalidate();
}

void TcxClock::SetTime(TDateTime v) {
  const TDateTime t = std::fabs(TimeFractionOf(v));
  if (t == time_) return;
  time_ = t;
  Invalidate();
}

TPoint TcxClock::PointAt(double angle, double fraction) const {
  const Integer cx = Width() / 2, cy = Height() / 2;
  const double rx = Width() / 2.0 - 2, ry = Height() / 2.0 - 2;
  return TPoint(Integer(std::lround(cx + fraction * rx * std::cos(angle))),
                Integer(std::lround(cy + fraction * ry * std::sin(angle))));
}

void TcxClock::PaintHand(TcxCanvas* canvas, double angle, double width, double tail, double tip) {
  const double cx = Width() / 2, cy = Height() / 2;
  const double rx = Width() / 2.0 - 2, ry = Height() / 2.0 - 2;
  auto pt = [](double x, double y) { return POINT{LONG(std::lround(x)), LONG(std::lround(y))}; };
  const POINT t = pt(cx + tip * rx * std::cos(angle), cy + tip * ry * std::sin(angle));
  const POINT pts[4] = {t, pt(cx + width / 2 * std::cos(angle + kPi / 2), cy + width / 2 * std::sin(angle + kPi / 2)),
                        pt(cx + tail * rx * std::cos(angle + kPi), cy + tail * ry * std::sin(angle + kPi)),
                        pt(cx + width / 2 * std::cos(angle + 3 * kPi / 2), cy + width / 2 * std::sin(angle + 3 * kPi / 2))};
  canvas->PutPixel(t.X, t.Y, clTeal);
  // The path is filled through the device context with a brush of its own.
  HDC dc = canvas->DeviceContext();
  HBRUSH brush = CreateSolidBrush(ColorToRGB(clTeal));
  HGDIOBJ old_brush = SelectObject(dc, brush);
  BeginPath(dc);
  MoveToEx(dc, t.X, t.Y, nullptr);
  for (int i = 1; i < 4; ++i) LineTo(dc, pts[i].X, pts[i].Y);
  LineTo(dc, t.X, t.Y);
  EndPath(dc);
  FillPath(dc);
  SelectObject(dc, old_brush);
  DeleteObject(brush);
}

void TcxClock::Paint() {
  ++paintCount_;
  TcxCanvas* canvas = Canvas();
  canvas->PushDeviceState();
  // Hour marks, clipped out of the background.
  for (Integer i = 0; i < 60; i += 5) {
    const TPoint p = PointAt(i * 2 * kPi / 60, 1.0);
    canvas->PutPixel(p.X, p.Y, clTeal);
    const TPoint light[3] = {TPoint(p.X - 1, p.Y + 1), TPoint(p.X - 1, p.Y - 1), TPoint(p.X, p.Y - 1)};
    const TPoint dark[3] = {TPoint(p.X, p.Y + 1), TPoint(p.X + 1, p.Y + 1), TPoint(p.X + 1, p.Y - 1)};
    for (const TPoint& q : light) canvas->PutPixel(q.X, q.Y, clAqua);
    canvas->PutPixel(p.X - 1, p.Y, clAqua);
    for (const TPoint& q : dark) canvas->PutPixel(q.X, q.Y, clBtnText);
    canvas->PutPixel(p.X + 1, p.Y, clBtnText);
    canvas->ExcludeFromClip(TRect(p.X - 1, p.Y - 1, p.X + 2, p.Y + 2));
  }
  FillSolid(canvas, ClientRect(), Color());
  Word h = 0, m = 0, s = 0, ms = 0;
  DecodeTime(time_, h, m, s, ms);
  PaintHand(canvas, ((h % 12) * 3600.0 + m * 60 + s - 10800) * 2 * kPi / 12 / 60 / 60, 9, 0.15, 0.75);
  PaintHand(canvas, (m * 60.0 + s - 900) * 2 * kPi / 60 / 60, 7, 0.2, 0.85);
  canvas->CurrentPen()->SetColor(clRed);
  const TPoint c(Width() / 2, Height() / 2);
  const TPoint e = PointAt((s - 15.0) * 2 * kPi / 60, 0.9);
  canvas->MovePenTo(c.X, c.Y);
  canvas->DrawLineTo(e.X, e.Y);
  canvas->PopDeviceState();
}

// ---- month calendar -----------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomCalendar)
KORVAN_IMPLEMENT_CLASS(TcxPopupCalendar)

TcxCustomCalendar::TcxCustomCalendar(TComponent* owner) : TcxControl(owner) {
  SetBorderStyle(cxcbsNone);
  SetColor(clWindow);
  firstDate_ = StartOfTheMonth(Date());
  selectDate_ = Date();
  arrowTimer_ = new TcxTimer(nullptr);
  arrowTimer_->SetEnabled(false);
  arrowTimer_->SetInterval(kArrowInterval);
  arrowTimer_->SetOnTimer([this](TObject* sender) { ArrowTimerTick(sender); });
  monthList_ = new TMonthListBox(this);
  const TcxResourceStringRec* captions[4] = {&cxSDateClear, &cxSDateNow, &cxSDateToday, &cxSDateOK};
  for (Integer i = 0; i < 4; ++i) {
    auto* b = new TcxButton(this);
    b->SetParent(this);
    b->SetTag(i);
    b->SetCaption(LoadReplaceableResString(*captions[i]));
    b->OnClick = [this](TObject* sender) { ButtonClick(sender); };
    b->SetVisible(false);
    buttons_[size_t(i)] = b;
  }
  buttons_[btnOk]->SetDefault(true);
  timeEdit_ = new TcxTimeEdit(this);
  timeEdit_->Properties()->SetCircular(true);
  timeEdit_->SetParent(this);
  timeEdit_->SetVisible(false);
  timeEdit_->Properties()->OnChange = [this](TObject* sender) { TimeChanged(sender); };
  clock_ = new TcxClock(this);
  clock_->SetParent(this);
  clock_->SetVisible(false);
  SetWantedKeys(TcxWantedKeys{wkArrows});
}

TcxCustomCalendar::~TcxCustomCalendar() {
  delete arrowTimer_;
  arrowTimer_ = nullptr;
  delete monthList_;
  monthList_ = nullptr;
}

TcxCustomLookAndFeelPainterClass TcxCustomCalendar::CalendarPainter() {
  return buttons_[btnOk]->LookAndFeel()->EffectivePainter();
}

void TcxCustomCalendar::CreateWnd() {
  TcxControl::CreateWnd();
  LayoutChanged();
}

void TcxCustomCalendar::HandleFontChange() {
  TcxControl::HandleFontChange();
  LayoutChanged();
}

Integer TcxCustomCalendar::ButtonGap() { return fontSize_ / 2; }

TSize TcxCustomCalendar::TimePanelMargins() {
  const Integer m = MulDiv(fontSize_, 3, 4);
  return TSize(m, m);
}

TDateTime TcxCustomCalendar::LastDateOfMonth() {
  Word y = 0, m = 0, d = 0;
  DecodeDate(firstDate_, y, m, d);
  return EncodeDate(y, m, Word(MonthLength(y, m)));
}

bool TcxCustomCalendar::HasButtonsBand() {
  return kind_ == ckDateTime || buttonSet_.Contains(btnToday) || buttonSet_.Contains(btnClear);
}

Integer TcxCustomCalendar::ButtonsBandHeight() {
  TFont* font = Font();
  const Integer wg = MeasureTextHeightInFont(font, "Wg");
  if (kind_ == ckDateTime) {
    const Integer m = MulDiv(fontSize_, 5, 4);
    return m + 1 + (m % 2) + buttonHeight_;
  }
  return MulDiv(fontSize_, 3, 4) + MulDiv(wg, 20, 13) + ButtonGap();
}

void TcxCustomCalendar::CalculateSize(Integer& width, Integer& height) {
  const Integer week_part = weekNumbers_ ? weekNumberWidth_ + 3 + 1 + 1 : 0;
  const Integer top_offset = kind_ == ckDate && IsOffice11() ? 2 : 0;
  height = dayNameHeight_ + 6 * rowHeight_ + headerHeight_ + 1;
  if (HasButtonsBand()) height += ButtonsBandHeight();
  if (kind_ == ckDateTime) height += TimePanelMargins().cy + headerHeight_ + ButtonGap();
  else height += 1;
  height += top_offset;
  width = week_part + 2 * sideWidth_ + 7 * colWidth_;
  if (kind_ == ckDateTime) width += 2 * TimePanelMargins().cx + colWidth_ + timePanelWidth_;
}

bool TcxCustomCalendar::CanResize(Integer& width, Integer& height) {
  if (colWidth_ > 0) CalculateSize(width, height);
  return true;
}

void TcxCustomCalendar::LayoutChanged() {
  if (!HandleAllocated() || inLayout_) return;
  inLayout_ = true;
  struct TLayoutGuard {
    bool& flag;
    ~TLayoutGuard() { flag = false; }
  } guard{inLayout_};
  // Tab order and stops of the children.
  TWinControl* order[5] = {timeEdit_, buttons_[btnToday], buttons_[btnNow], buttons_[btnClear], buttons_[btnOk]};
  for (Integer i = 0; i < 5; ++i) {
    order[i]->SetTabOrder(i);
    order[i]->SetTabStop(kind_ == ckDateTime);
  }
  SetWantedKeys(kind_ == ckDate ? TcxWantedKeys{wkArrows, wkTab} : TcxWantedKeys{wkArrows});
  TFont* font = Font();
  fontSize_ = font->Size();
  const Integer tw0 = MeasureTextWidthInFont(font, "0"), th0 = MeasureTextHeightInFont(font, "0");
  weekNumberWidth_ = MeasureTextWidthInFont(font, "99", MulDiv(fontSize_, 2, 3));
  colWidth_ = 3 * tw0;
  sideWidth_ = 2 * tw0;
  rowHeight_ = th0 + 2;
  headerHeight_ = th0 + 5 - (kind_ == ckDate && IsOffice11() ? 1 : 0);
  dayNameHeight_ = rowHeight_ + 1;
  buttonHeight_ = MulDiv(MeasureTextHeightInFont(font, "Wg"), 20, 13) + 1;
  buttonWidth_ = 0;
  for (Integer i = 0; i < 4; ++i) {
    const bool shown = i == btnOk ? kind_ == ckDateTime
                                  : i == btnNow ? kind_ == ckDateTime && buttonSet_.Contains(btnNow)
                                                : buttonSet_.Contains(TCalendarButton(i));
    if (shown) buttonWidth_ = std::max(buttonWidth_, MeasureTextWidthInFont(font, buttons_[size_t(i)]->Caption()));
  }
  buttonWidth_ += colWidth_;
  // The time panel: what the height leaves beside the month part, at least the time edit.
  timePanelWidth_ = 0;
  if (kind_ == ckDateTime) {
    timeEdit_->SetFont(font);
    const Integer edit_width = MeasureTextWidthInFont(font, VarToStr(timeEdit_->Properties()->BlankValueDisplayText())) +
                               tw0 + 2 * 18;
    timeEdit_->SetWidth(edit_width);
    const Integer band = ButtonsBandHeight();
    const Integer gap = (band - buttonHeight_ - 1) / 2;
    Integer w = 0, h = 0;
    CalculateSize(w, h);
    timePanelWidth_ = std::max(edit_width, h - headerHeight_ - TimePanelMargins().cy - band - timeEdit_->Height() - 3 * gap);
  }
  Integer w = 0, h = 0;
  CalculateSize(w, h);
  SetBounds(Left(), Top(), w, h);
  // Rectangles of the month part.
  const bool office = kind_ == ckDate && IsOffice11();
  const Integer lo = office ? 2 : 0, to = office ? 2 : 0, ro = office ? 2 : 0;
  const Integer a = kind_ == ckDateTime || !flat_ ? 1 : 0;
  const Integer week_part = weekNumbers_ ? weekNumberWidth_ + 5 : 0;
  const Integer month_w = week_part + 2 * sideWidth_ + 7 * colWidth_;
  const Integer arrow_w = colWidth_ - 2, arrow_h = headerHeight_ - 1 - a;
  const Integer top = a + to;
  arrowCount_ = arrowsForYear_ ? 3 : 1;
  arrowRects_[0] = TRect(a + lo, top, a + lo + arrow_w, top + arrow_h);
  const Integer right_edge = month_w - a - ro;
  if (!arrowsForYear_) {
    arrowRects_[1] = TRect(right_edge - arrow_w, top, right_edge, top + arrow_h);
    arrowRects_[2] = arrowRects_[3] = TRect();
    monthRect_ = TRect(arrowRects_[0].Right, top, arrowRects_[1].Left, top + arrow_h);
    yearRect_ = TRect();
  } else {
    Integer m_width = 0;
    for (const String& name : FormatSettings.LongMonthNames)
      m_width = std::max(m_width, MeasureTextWidthInFont(font, name));
    const Integer y_width = MeasureTextWidthInFont(font, "9999");
    const Integer free = month_w - 2 * a - lo - ro - m_width - y_width - 4 * colWidth_ + 8;
    const Integer next_left = arrowRects_[0].Right + m_width + m_width * free / std::max(1, m_width + y_width);
    arrowRects_[1] = TRect(next_left, top, next_left + arrow_w, top + arrow_h);
    arrowRects_[2] = TRect(arrowRects_[1].Right, top, arrowRects_[1].Right + arrow_w, top + arrow_h);
    arrowRects_[3] = TRect(right_edge - arrow_w, top, right_edge, top + arrow_h);
    monthRect_ = TRect(arrowRects_[0].Right, top, arrowRects_[1].Left, top + arrow_h);
    yearRect_ = TRect(arrowRects_[2].Right, top, arrowRects_[3].Left, top + arrow_h);
  }
  headerRect_ = TRect(0, top, month_w, top + arrow_h);
  daysRect_ = TRect(0, headerRect_.Bottom + 1, month_w, headerRect_.Bottom + 1 + dayNameHeight_ + 6 * rowHeight_ + 1);
  dateTimeRect_ = TRect();
  offset_ = TPoint(0, 0);
  if (kind_ == ckDateTime) {
    dateTimeRect_ = TRect(0, 0, w, headerHeight_);
    if (IsOffice11()) dateTimeRect_ = TRect(2, 2, w - 2, headerHeight_);
    offset_ = TPoint(TimePanelMargins().cx, TimePanelMargins().cy + headerHeight_);
  }
  for (TRect* r : {&arrowRects_[0], &arrowRects_[1], &arrowRects_[2], &arrowRects_[3], &headerRect_, &daysRect_,
                   &monthRect_, &yearRect_})
    if (!r->IsEmpty()) *r = ShiftedRect(*r, offset_.X, offset_.Y);
  // Hit tests and drawing narrow the texts.
  for (TRect* r : {&monthRect_, &yearRect_}) {
    if (r->IsEmpty()) continue;
    if (kind_ == ckDateTime || !flat_) r->Top += 1;
    r->Bottom -= 1;
  }
  ArrangeControls();
  Invalidate();
}

TRect TcxCustomCalendar::ButtonsBandRect() {
  const Integer band = ButtonsBandHeight();
  return TRect(0, ClientHeight() - band, ClientWidth(), ClientHeight());
}

void TcxCustomCalendar::ArrangeControls() {
  if (!HandleAllocated()) return;
  buttons_[btnClear]->SetVisible(buttonSet_.Contains(btnClear));
  buttons_[btnNow]->SetVisible(buttonSet_.Contains(btnNow) && kind_ == ckDateTime);
  buttons_[btnOk]->SetVisible(kind_ == ckDateTime);
  buttons_[btnToday]->SetVisible(buttonSet_.Contains(btnToday));
  clock_->SetVisible(kind_ == ckDateTime);
  timeEdit_->SetVisible(kind_ == ckDateTime);
  const Integer b = buttonWidth_;
  std::vector<TcxButton*> shown;
  for (TCalendarButton k : {btnToday, btnNow, btnClear, btnOk})
    if (buttons_[k]->Visible()) shown.push_back(buttons_[k]);
  const Integer band = ButtonsBandHeight();
  if (kind_ == ckDate) {
    const Integer month_w = daysRect_.Width();
    const Integer top = ClientHeight() + ButtonGap() - band;
    if (shown.size() == 2) {
      shown[0]->SetBounds((month_w - 2 * b) / 3, top, b + 1, buttonHeight_);
      shown[1]->SetBounds(month_w - b - (month_w - 2 * b) / 3, top, b + 1, buttonHeight_);
    } else if (shown.size() == 1) {
      shown[0]->SetBounds((month_w - b) / 2, top, b + 1, buttonHeight_);
    }
    return;
  }
  const Integer g = MulDiv(fontSize_, 5, 4);
  const Integer top = ClientHeight() - band + (band - buttonHeight_) / 2;
  const Integer last_left = ClientWidth() - g - b - 1;
  for (size_t i = 0; i < shown.size(); ++i) {
    Integer left = 0;
    if (i + 1 == shown.size()) left = last_left;
    else if (shown.size() == 2) left = last_left - b - 1 - (g + 1);
    else left = g + Integer(i) * (g + b + 1);
    shown[i]->SetBounds(left, top, b + 1, buttonHeight_);
  }
  // The time panel beside the month part: the clock on top, the time edit above the band.
  const Integer gap = (band - buttonHeight_ - 1) / 2;
  const Integer panel_left = daysRect_.Right + colWidth_ + TimePanelMargins().cx;
  const Integer panel_top = offset_.Y;
  timeEdit_->SetBounds(panel_left + (timePanelWidth_ - timeEdit_->Width()) / 2,
                       ClientHeight() - band - gap - timeEdit_->Height(), timeEdit_->Width(), timeEdit_->Height());
  const Integer clock_size = std::max<Integer>(1, std::min(timePanelWidth_, timeEdit_->Top() - gap - panel_top));
  clock_->SetBounds(panel_left + (timePanelWidth_ - clock_size) / 2, panel_top, clock_size, clock_size);
}

TRect TcxCustomCalendar::DayCellRect(Integer column, Integer row) const {
  const Integer week_part = weekNumbers_ ? weekNumberWidth_ + 5 : 0;
  const Integer left = daysRect_.Left + week_part + sideWidth_ + column * colWidth_;
  const Integer top = daysRect_.Top + dayNameHeight_ + row * rowHeight_;
  return TRect(left, top, left + colWidth_, top + rowHeight_);
}

TDateTime TcxCustomCalendar::DateAtPoint(const TPoint& p) {
  if (!ClientRect().Contains(p)) return NoDateValue;
  const TRect first = DayCellRect(0, 0);
  const Integer right = daysRect_.Right - sideWidth_;
  const Integer bottom = first.Top + 6 * rowHeight_;
  if (p.X < first.Left || p.X >= right || p.Y < first.Top || p.Y >= bottom || colWidth_ <= 0) return NoDateValue;
  const Integer c = (p.X - first.Left) / colWidth_, r = (p.Y - first.Top) / rowHeight_;
  if (c > 6 || r > 5) return NoDateValue;
  const TDateTime d = CalendarCellDate(firstDate_, c, r);
  return IsCalendarDateSupported(d) && d >= MinDateValue ? d : NoDateValue;
}

void TcxCustomCalendar::SetFirstDate(TDateTime d) {
  if (!IsCalendarDateSupported(d) || d == NoDateValue) return;
  const TDateTime f = StartOfTheMonth(d);
  if (f == firstDate_) return;
  firstDate_ = f;
  Invalidate();
}

void TcxCustomCalendar::SelectDateInternal(bool move_month, TDateTime d) {
  if (d == selectDate_ || !IsCalendarDateSupported(d)) return;
  selectDate_ = d;
  if (move_month && d != NoDateValue) SetFirstDate(std::trunc(d));
  Invalidate();
}

void TcxCustomCalendar::ScrollMonth(Integer kind) {
  Word y = 0, m = 0, d = 0;
  DecodeDate(firstDate_, y, m, d);
  Integer year = y, month = m;
  switch (kind) {
    case 0: MonthBack(year, month); break;
    case 1: MonthForward(year, month); break;
    case 2: --year; break;
    default: ++year; break;
  }
  TDateTime r = 0;
  // An impossible date is ignored.
  if (year < 100 || year > MaxYear || !TryEncodeDate(Word(year), Word(month), 1, r)) return;
  SetFirstDate(r);
}

void TcxCustomCalendar::SetKind(TcxCalendarKind v) {
  if (kind_ == v) return;
  kind_ = v;
  if (v == ckDateTime) ControlStyle() = ControlStyle() + TControlStyle{csClickEvents, csDoubleClicks};
  else ControlStyle() = ControlStyle() - TControlStyle{csClickEvents, csDoubleClicks};
  LayoutChanged();
}

void TcxCustomCalendar::SetFlat(bool v) {
  if (flat_ == v) return;
  flat_ = v;
  LayoutChanged();
}

void TcxCustomCalendar::SetArrowsForYear(bool v) {
  if (arrowsForYear_ == v) return;
  arrowsForYear_ = v;
  LayoutChanged();
}

void TcxCustomCalendar::SetButtonSet(const TDateButtons& v) {
  if (buttonSet_ == v) return;
  buttonSet_ = v;
  LayoutChanged();
}

void TcxCustomCalendar::SetWeekNumbers(bool v) {
  if (weekNumbers_ == v) return;
  weekNumbers_ = v;
  LayoutChanged();
}

void TcxCustomCalendar::SetTimeFormat(TcxTimeEditTimeFormat v) {
  if (timeEdit_->Properties()->TimeFormat() == v) return;
  timeEdit_->Properties()->SetTimeFormat(v);
  LayoutChanged();
}

void TcxCustomCalendar::SetUse24HourFormat(bool v) {
  if (timeEdit_->Properties()->Use24HourFormat() == v) return;
  timeEdit_->Properties()->SetUse24HourFormat(v);
  LayoutChanged();
}

void TcxCustomCalendar::TimeChanged(TObject*) {
  clock_->SetTime(timeEdit_->Time());
  TRect r(0, 0, ClientWidth(), offset_.Y);
  if (!flat_) r = TRect(1, 1, ClientWidth() - 1, offset_.Y);
  InvalidateRect(Handle(), &r, FALSE);
}

void TcxCustomCalendar::HidePopups(Integer) {
  arrowTimer_->SetEnabled(false);
  if (monthList_->Timer()) monthList_->Timer()->SetEnabled(false);
  if (monthList_->Visible()) monthList_->CloseList();
}

void TcxCustomCalendar::ButtonClick(TObject* sender) {
  auto* b = dynamic_cast<TcxButton*>(sender);
  if (!b) return;
  TDateTime d = NoDateValue;
  switch (TCalendarButton(b->Tag())) {
    case btnClear: d = NoDateValue; break;
    case btnNow: d = Now(); break;
    case btnToday: d = Date() + DateSign(Date()) * clock_->Time(); break;
    case btnOk: d = selectDate_ + DateSign(selectDate_) * clock_->Time(); break;
  }
  clock_->SetTime(std::fabs(TimeFractionOf(d)));
  timeEdit_->SetTime(clock_->Time());
  SetSelectDate(d);
  FireDateTimeChanged();
  HidePopups(4);
}

// ---- calendar painting ---------------------------------------------------------------------------------

String TcxCustomCalendar::MonthYearText() {
  Word y = 0, m = 0, d = 0;
  DecodeDate(firstDate_, y, m, d);
  return FormatSettings.LongMonthNames[size_t(m - 1)] + " " + IntToStr(y);
}

void TcxCustomCalendar::PaintDateTimeLine(TcxCanvas* canvas) {
  const TColor header = IsOffice11() ? CalendarPainter()->CalendarFaceColor() : clBtnFace;
  TRect r = dateTimeRect_;
  FillSolid(canvas, r, header);
  if (!IsOffice11()) {
    if (flat_) FillSolid(canvas, TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), clBtnText);
    else canvas->DrawBevelEdge(r, false, true);
  }
  String text;
  if (selectDate_ != NoDateValue) {
    const TDateTime v = std::trunc(selectDate_) + DateSign(selectDate_) * timeEdit_->Time();
    text = DateTimeToStr(v);
  }
  canvas->CurrentFont()->SetColor(clBtnText);
  canvas->CurrentBrush()->SetStyle(bsClear);
  canvas->CurrentBrush()->SetStyle(bsClear);
  canvas->OutputText(text, r, ctfHCenter | ctfVCenter | ctfSingleLine);
  canvas->ExcludeFromClip(r);
}

void TcxCustomCalendar::PaintHeader(TcxCanvas* canvas) {
  const TColor header = IsOffice11() ? CalendarPainter()->CalendarFaceColor() : clBtnFace;
  FillSolid(canvas, headerRect_, header);
  for (Integer i = 0; i <= arrowCount_; ++i) {
    const TRect& r = arrowRects_[size_t(i)];
    FillSolid(canvas, r, header);
    TPoint pts[3];
    TcxCustomLookAndFeelPainter::ComputeArrowPoints(r, i % 2 == 0 ? adLeft : adRight, true, 0, pts);
    canvas->CurrentBrush()->SetColor(clBtnText);
    canvas->CurrentPen()->SetColor(clBtnText);
    canvas->DrawPolygon(pts, 3);
  }
  canvas->CurrentBrush()->SetStyle(bsClear);
  Word y = 0, m = 0, d = 0;
  DecodeDate(firstDate_, y, m, d);
  auto text_color = [this](Integer element) { return hotElement_ == element ? HotTrackTextColor() : clBtnText; };
  canvas->CurrentFont()->SetColor(text_color(cheMonth));
  if (arrowsForYear_) {
    canvas->CurrentBrush()->SetStyle(bsClear);
    canvas->OutputText(FormatSettings.LongMonthNames[size_t(m - 1)], monthRect_, ctfHCenter | ctfVCenter | ctfSingleLine);
    canvas->CurrentFont()->SetColor(text_color(cheYear));
    canvas->CurrentBrush()->SetStyle(bsClear);
    canvas->OutputText(IntToStr(y), yearRect_, ctfHCenter | ctfVCenter | ctfSingleLine);
  } else {
    canvas->CurrentBrush()->SetStyle(bsClear);
    canvas->OutputText(MonthYearText(), monthRect_, ctfHCenter | ctfVCenter | ctfSingleLine);
  }
  if (!flat_) {
    canvas->DrawBevelEdge(headerRect_, false, true);
  } else if (kind_ == ckDateTime) {
    canvas->DrawFrameSides(headerRect_, IsOffice11() ? Color() : clBtnShadow);
  } else if (IsOffice11()) {
    canvas->DrawFrameSides(TRect(headerRect_.Left - 2, headerRect_.Top - 2, headerRect_.Right + 2, headerRect_.Bottom + 1),
                           Color(), 2);
  } else {
    FillSolid(canvas, TRect(headerRect_.Left, headerRect_.Bottom - 1, headerRect_.Right, headerRect_.Bottom), clBtnText);
  }
  canvas->ExcludeFromClip(headerRect_);
}

void TcxCustomCalendar::PaintDays(TcxCanvas* canvas) {
  const TRect& g = daysRect_;
  FillSolid(canvas, g, Color());
  const Integer line_y = g.Top + dayNameHeight_ - 2;
  const TRect first = DayCellRect(0, 0);
  FillSolid(canvas, TRect(first.Left, line_y, first.Left + 7 * colWidth_, line_y + 1), clBtnShadow);
  FillSolid(canvas, TRect(first.Left, line_y + 1, first.Left + 7 * colWidth_, line_y + 2), clWindow);
  if (kind_ == ckDate && HasButtonsBand())
    FillSolid(canvas, TRect(first.Left, g.Bottom - 1, first.Left + 7 * colWidth_, g.Bottom), clBtnShadow);
  if (weekNumbers_) {
    const Integer x = g.Left + sideWidth_ + weekNumberWidth_ + 3;
    FillSolid(canvas, TRect(x, first.Top, x + 1, first.Top + 6 * rowHeight_), clBtnShadow);
  }
  canvas->CurrentBrush()->SetStyle(bsClear);
  const Integer start = GlobalFormatController()->FirstDayOfWeek();
  for (Integer c = 0; c < 7; ++c) {
    const Integer weekday = (c + start) % 7;  // 0 Sunday
    const String name = FormatSettings.ShortDayNames[size_t(weekday)];
    const std::u32string chars = ToMaskChars(name);
    String letter;
    if (!chars.empty())
      letter = FromMaskChars(std::u32string(1, IsMirroredScriptText(Font()->Charset(), name) ? chars.back() : chars.front()));
    TRect cell(first.Left + c * colWidth_, g.Top, first.Left + (c + 1) * colWidth_ - 3, g.Top + dayNameHeight_ - 2);
    canvas->CurrentFont()->SetColor(clWindowText);
    canvas->CurrentBrush()->SetStyle(bsClear);
    canvas->OutputText(letter, cell, ctfRight | ctfVCenter | ctfSingleLine);
  }
  TcxCustomLookAndFeelPainterClass painter = CalendarPainter();
  const TDateTime today = Date();
  const TDateTime selected = selectDate_ == NoDateValue ? today : std::trunc(selectDate_);
  Word fy = 0, fm = 0, fd = 0;
  DecodeDate(firstDate_, fy, fm, fd);
  for (Integer r = 0; r < 6; ++r)
    for (Integer c = 0; c < 7; ++c) {
      const TDateTime d = CalendarCellDate(firstDate_, c, r);
      if (!IsCalendarDateSupported(d) || d < MinDateValue) continue;
      TRect cell = DayCellRect(c, r);
      if (d == today) {
        canvas->DrawFrameSides(cell, clMaroon);
        cell = GrowRect(cell, -1, -1);
      }
      Word y = 0, m = 0, day = 0;
      DecodeDate(d, y, m, day);
      TColor text = m == fm ? clWindowText : clGrayText;
      if (d == selected) {
        FillSolid(canvas, cell, painter->CalendarSelectedDayColor());
        text = painter->CalendarSelectedDayTextColor();
      }
      canvas->CurrentFont()->SetColor(text);
      TRect t = cell;
      t.Right -= 3;
      canvas->CurrentBrush()->SetStyle(bsClear);
      canvas->OutputText(IntToStr(day), t, ctfRight | ctfVCenter | ctfSingleLine);
    }
  PaintWeekNumbers(canvas);
  canvas->ExcludeFromClip(g);
}

void TcxCustomCalendar::PaintWeekNumbers(TcxCanvas* canvas) {
  if (!weekNumbers_) return;
  TFont* font = canvas->CurrentFont();
  const Integer size = font->Size();
  font->SetSize(MulDiv(size, 2, 3));
  auto* controller = GlobalFormatController();
  canvas->CurrentBrush()->SetStyle(bsClear);
  canvas->CurrentFont()->SetColor(clWindowText);
  for (Integer r = 0; r < 6; ++r) {
    const TDateTime d = CalendarCellDate(firstDate_, 0, r);
    if (!IsCalendarDateSupported(d) || d < MinDateValue) continue;
    const TRect cell = DayCellRect(0, r);
    const TRect area(daysRect_.Left + sideWidth_, cell.Top, daysRect_.Left + sideWidth_ + weekNumberWidth_, cell.Bottom);
    canvas->CurrentBrush()->SetStyle(bsClear);
    canvas->OutputText(IntToStr(WeekNumber(controller->FirstDayOfWeek(), controller->WeekNumberingRule(), d)), area,
                       ctfRight | ctfVCenter | ctfSingleLine);
  }
  font->SetSize(size);
}

void TcxCustomCalendar::PaintButtonsBand(TcxCanvas* canvas) {
  if (kind_ != ckDateTime) return;
  const TRect band = ButtonsBandRect();
  FillSolid(canvas, TRect(band.Left, band.Top, band.Right, band.Top + 1), clBtnText);
  if (!flat_) canvas->DrawBevelEdge(band, false, true);
  FillSolid(canvas, TRect(band.Left, band.Top + 1, band.Right, band.Bottom), Color());
  canvas->ExcludeFromClip(band);
  FillSolid(canvas, ClientRect(), Color());
  const Integer x = daysRect_.Right + colWidth_ / 2;
  FillSolid(canvas, TRect(x, daysRect_.Top, x + 1, timeEdit_->BoundsRect().Bottom), clBtnShadow);
}

void TcxCustomCalendar::Paint() {
  TcxCanvas* canvas = Canvas();
  if (colWidth_ <= 0) {
    FillSolid(canvas, ClientRect(), Color());
    return;
  }
  canvas->ApplyFont(Font());
  canvas->PushDeviceState();
  if (kind_ == ckDateTime) PaintDateTimeLine(canvas);
  PaintHeader(canvas);
  PaintDays(canvas);
  if (kind_ == ckDateTime) PaintButtonsBand(canvas);
  else FillSolid(canvas, ClientRect(), Color());
  canvas->PopDeviceState();
}

// ---- calendar mouse and keys -----------------------------------------------------------------------------

Integer TcxCustomCalendar::ArrowAt(const TPoint& p) {
  for (Integer i = 0; i <= arrowCount_; ++i)
    if (arrowRects_[size_t(i)].Contains(p)) return i;
  return -1;
}

void TcxCustomCalendar::SetHotElement(Integer e) {
  if (hotElement_ == e) return;
  auto rect_of = [this](Integer element) { return element == cheMonth ? monthRect_ : element == cheYear ? yearRect_ : TRect(); };
  const TRect old_rect = rect_of(hotElement_), new_rect = rect_of(e);
  if (HandleAllocated()) {
    InvalidateRect(Handle(), &old_rect, FALSE);
    InvalidateRect(Handle(), &new_rect, FALSE);
  }
  if (hotElement_ == cheNone) savedCursor_ = Screen->Cursor();
  else if (e == cheNone) Screen->SetCursor(savedCursor_);
  hotElement_ = e;
}

void TcxCustomCalendar::UpdateHotElement() {
  Integer e = cheNone;
  if (HandleAllocated() && TracksHotElement()) {
    TPoint p;
    QueryCursorPos(p);
    p = ScreenToClient(p);
    if (monthRect_.Contains(p)) e = cheMonth;
    else if (arrowsForYear_ && yearRect_.Contains(p)) e = cheYear;
  }
  SetHotElement(e);
}

void TcxCustomCalendar::NotifyMouseLeave(TControl* control) {
  TcxControl::NotifyMouseLeave(control);
  UpdateHotElement();
}

void TcxCustomCalendar::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomCalendar> self(this);
  TcxControl::MouseDown(button, shift, x, y);
  if (!self || button != mbLeft) return;
  UpdateHotElement();
  const TPoint p(x, y);
  const TDateTime d = DateAtPoint(p);
  if (d != NoDateValue) {
    SelectDateInternal(false, d);
    return;
  }
  const Integer arrow = ArrowAt(p);
  if (arrow >= 0) {
    timerArrow_ = arrow;
    ScrollMonth(arrow);
    arrowTimer_->SetEnabled(true);
    return;
  }
  if (monthRect_.Contains(p)) monthList_->ShowList();
}

void TcxCustomCalendar::ArrowTimerTick(TObject*) {
  TPoint p;
  QueryCursorPos(p);
  const Integer arrow = ArrowAt(ScreenToClient(p));
  if (arrow >= 0) ScrollMonth(arrow);
}

void TcxCustomCalendar::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxControl::MouseMove(shift, x, y);
  UpdateHotElement();
  if (arrowTimer_->Enabled()) return;
  if (shift.Contains(ssLeft)) {
    const TDateTime d = DateAtPoint(TPoint(x, y));
    if (d != NoDateValue) SelectDateInternal(false, d);
  }
}

void TcxCustomCalendar::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomCalendar> self(this);
  TcxControl::MouseUp(button, shift, x, y);
  if (!self) return;
  if (arrowTimer_->Enabled()) {
    arrowTimer_->SetEnabled(false);
    return;
  }
  if (button != mbLeft) return;
  const TPoint p(x, y);
  if (kind_ == ckDate) {
    if (ClientRect().Contains(p) && !monthRect_.Contains(p) && !yearRect_.Contains(p)) {
      const bool on_day = DateAtPoint(p) != NoDateValue;
      HidePopups(4);
      if (self && on_day) FireDateTimeChanged();
    }
  } else if (selectDate_ != NoDateValue) {
    SetFirstDate(std::trunc(selectDate_));
  }
}

void TcxCustomCalendar::DblClick() {
  TWeakRef<TcxCustomCalendar> self(this);
  TcxControl::DblClick();
  if (!self || kind_ != ckDateTime) return;
  TPoint p;
  QueryCursorPos(p);
  const TDateTime d = DateAtPoint(ScreenToClient(p));
  if (d == NoDateValue) return;
  SelectDateInternal(false, d);
  HidePopups(4);
  if (self) FireDateTimeChanged();
}

bool TcxCustomCalendar::DoMouseWheel(TShiftState shift, Integer delta, TPoint mouse_pos) {
  if (TcxControl::DoMouseWheel(shift, delta, mouse_pos)) return true;
  if (monthList_->Visible()) return false;
  const TPoint p = ScreenToClient(mouse_pos);
  if (monthRect_.Contains(p)) ScrollMonth(delta > 0 ? 0 : 1);
  else if (arrowsForYear_ && yearRect_.Contains(p)) ScrollMonth(delta > 0 ? 2 : 3);
  else return false;
  return true;
}

void TcxCustomCalendar::KeyDown(Word& key, TShiftState shift) {
  TDateTime d = 0;
  const TDateTime from = selectDate_ == NoDateValue ? Date() : selectDate_;
  if (CalendarKeyDate(from, key, shift, d) && IsCalendarDateSupported(d) && d >= MinDateValue) SetSelectDate(d);
  TcxControl::KeyDown(key, shift);
}

// ---- popup calendar --------------------------------------------------------------------------------------

void TcxPopupCalendar::HidePopups(Integer reason) {
  TcxCustomCalendar::HidePopups(reason);
  if (OnHidePopup) OnHidePopup(this, reason);
}

void TcxPopupCalendar::KeyDown(Word& key, TShiftState shift) {
  TWeakRef<TcxPopupCalendar> self(this);
  const Word k = key;
  TcxCustomCalendar::KeyDown(key, shift);
  if (!self) return;
  switch (k) {
    case VK_TAB:
      if (Kind() == ckDate) {
        if (PostPopupValueOnTab) FireDateTimeChanged();
        if (self && OnOwnerKeyDown) {
          Word tab = VK_TAB;
          OnOwnerKeyDown(tab, shift);
        }
      }
      break;
    case VK_RETURN:
      if (!MonthList()->Visible()) {
        HidePopups(4);
        if (self) FireDateTimeChanged();
      }
      break;
    case VK_ESCAPE:
      if (MonthList()->Visible() && !MonthList()->ShowsYears()) MonthList()->CloseList();
      else HidePopups(3);
      break;
    case VK_UP:
    case VK_DOWN:
      if (shift.Contains(ssAlt)) HidePopups(2);
      break;
    case VK_F4:
      if (!shift.Contains(ssAlt)) HidePopups(2);
      break;
    default:
      break;
  }
}

void TcxPopupCalendar::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxCustomCalendar::MouseMove(shift, x, y);
  if (shift.Contains(ssLeft) && !ClientRect().Contains(TPoint(x, y)) && !ArrowTimer()->Enabled() && OwnerDate) {
    SelectDateInternal(false, OwnerDate());
    Invalidate();
  }
}

// ---- month list -----------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TMonthListBox)

TMonthListBox::TMonthListBox(TcxCustomCalendar* calendar) : TcxCustomPopupWindow(calendar), calendar_(calendar) {
  SetTakesFocus(false);
  SetFrameStyle(2);
  timer_ = new TcxTimer(nullptr);
  timer_->SetEnabled(false);
  timer_->SetInterval(200);
  timer_->SetOnTimer([this](TObject* sender) { ScrollStep(sender); });
  ControlStyle() = ControlStyle() + TControlStyle{csCaptureMouse, csOpaque};
}

TMonthListBox::~TMonthListBox() {
  delete timer_;
  timer_ = nullptr;
}

void TMonthListBox::CreateParams(TCreateParams& params) {
  TcxCustomPopupWindow::CreateParams(params);
  params.WindowClassStyle |= CS_SAVEBITS;
}

bool TMonthListBox::ShowsYears() { return !calendar_->ArrowsForYear() || calendar_->YearsInMonthList(); }

void TMonthListBox::ItemMonth(Integer index, Integer& year, Integer& month) const {
  year = baseYear_;
  month = baseMonth_;
  MoveMonths(year, month, topIndex_ + index);
}

void TMonthListBox::ShowList() {
  if (Visible()) return;
  const bool years = ShowsYears();
  if (years) ControlStyle() = ControlStyle() - TControlStyle{csClickEvents};
  else ControlStyle() = ControlStyle() + TControlStyle{csClickEvents};
  itemCount_ = years ? 7 : 12;
  SetFont(calendar_->Font());
  itemHeight_ = calendar_->HeaderHeight() - 2;
  Word y = 0, m = 0, d = 0;
  DecodeDate(calendar_->FirstDate(), y, m, d);
  baseYear_ = y;
  baseMonth_ = m;
  topIndex_ = years ? -3 : 1 - Integer(m);
  itemIndex_ = -1;
  const Integer w = 6 * calendar_->ColumnWidth() + 2, h = itemCount_ * itemHeight_ + 2;
  const TRect text = calendar_->MonthTextRect();
  const TPoint center = calendar_->ClientToScreen(TPoint((text.Left + text.Right) / 2, (text.Top + text.Bottom) / 2));
  SetAnchorBounds(TRect(center.X - w / 2, center.Y - h / 2, center.X - w / 2 + w, center.Y - h / 2 + h));
  SetBounds(center.X - w / 2, center.Y - h / 2, w, h);
  SetTopmostWithOwner(true);
  ShowPopup(nullptr);
  if (Visible() && years && HandleAllocated()) SetCapture(Handle());
}

void TMonthListBox::CloseList() { ClosePopup(); }

void TMonthListBox::FireClosed() {
  if (GetCapture() == Handle()) ReleaseCapture();
  timer_->SetEnabled(false);
  if (ShowsYears() && itemIndex_ >= 0) {
    Integer y = 0, m = 0;
    ItemMonth(itemIndex_, y, m);
    itemIndex_ = -1;
    calendar_->SetFirstDate(EncodeDate(Word(y), Word(m), 1));
  }
  TcxCustomPopupWindow::FireClosed();
}

void TMonthListBox::SetItemIndex(Integer v) {
  if (itemIndex_ == v) return;
  itemIndex_ = v;
  Invalidate();
}

void TMonthListBox::Paint() {
  TcxCanvas* canvas = FormCanvas();
  if (!canvas) return;
  const TRect client = ClientRect();
  canvas->DrawFrameSides(client, clBlack);
  canvas->ApplyFont(Font());
  canvas->CurrentBrush()->SetStyle(bsClear);
  const bool years = ShowsYears();
  for (Integer i = 0; i < itemCount_; ++i) {
    const TRect r(1, 1 + i * itemHeight_, client.Right - 1, 1 + (i + 1) * itemHeight_);
    Integer y = 0, m = 0;
    ItemMonth(i, y, m);
    const bool hot = i == itemIndex_;
    FillSolid(canvas, r, hot ? clWindowText : calendar_->Color());
    if (y < 100 || y > MaxYear) continue;
    String text = FormatSettings.LongMonthNames[size_t(m - 1)];
    if (years) text += " " + IntToStr(y);
    canvas->CurrentFont()->SetColor(hot ? calendar_->Color() : clWindowText);
    canvas->CurrentBrush()->SetStyle(bsClear);
    canvas->OutputText(text, r, ctfHCenter | ctfVCenter | ctfSingleLine);
  }
}

void TMonthListBox::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxCustomPopupWindow::MouseMove(shift, x, y);
  const TRect client = ClientRect();
  if (client.Contains(TPoint(x, y))) {
    timer_->SetEnabled(false);
    Integer index = itemHeight_ > 0 ? (y - 1) / itemHeight_ : -1;
    if (index >= itemCount_) index = itemCount_ - 1;
    Integer yy = 0, m = 0;
    ItemMonth(index, yy, m);
    SetItemIndex(yy < 100 || yy > MaxYear ? -1 : index);
    return;
  }
  SetItemIndex(-1);
  if (y >= 0 && y < client.Height()) {
    timer_->SetEnabled(false);
    return;
  }
  const Integer distance = y < 0 ? y : y + 1 - client.Height();
  scrollDirection_ = distance < 0 ? -1 : 1;
  const Integer n = std::min<Integer>(3, std::abs(distance) / std::max<Integer>(1, itemHeight_));
  static constexpr Cardinal intervals[4] = {500, 250, 100, 50};
  timer_->SetInterval(intervals[n]);
  timer_->SetEnabled(true);
}

void TMonthListBox::ScrollStep(TObject*) {
  Integer y = 0, m = 0;
  if (scrollDirection_ < 0) {
    ItemMonth(-1, y, m);
    if (y < 100) return;
  } else {
    ItemMonth(itemCount_, y, m);
    if (y > MaxYear) return;
  }
  topIndex_ += scrollDirection_;
  Invalidate();
}

void TMonthListBox::Click() {
  TcxCustomPopupWindow::Click();
  if (ShowsYears()) return;
  const Integer index = itemIndex_;
  itemIndex_ = -1;
  CloseList();
  if (index >= 0) {
    Integer y = 0, m = 0;
    ItemMonth(index, y, m);
    calendar_->SetFirstDate(EncodeDate(Word(y), Word(m), 1));
  }
}

void TMonthListBox::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TMonthListBox> self(this);
  TcxCustomPopupWindow::MouseUp(button, shift, x, y);
  if (self && ShowsYears()) CloseList();
}
