// The month calendar with its clock face and month list, the calendar of the date edit's
// popup, and the date edit: its settings (kind, buttons, input kind, behaviour on errors,
// saved time), text-to-date parsing and validation, and the value accepted from the calendar.
#pragma once

#include <array>

#include "editors-extra/cxTimeEdit.h"
#include "editors/cxDateUtils.h"
#include "foundation/cxButtons.h"
#include "foundation/cxControls.h"
#include "editors/cxPopupEdit.h"

enum TcxCalendarKind { ckDate, ckDateTime };
enum TDateOnError { deNoChange, deToday, deNull };
enum TcxInputKind { ikStandard, ikMask, ikRegExpr };
enum TCalendarButton { btnClear, btnNow, btnToday, btnOk };
using TDateButton = TCalendarButton;
using TDateButtons = TSet<TDateButton, 8>;

// ---- calendar arithmetic ---------------------------------------------------------------------------

// The weekday index of a date from the format controller's start of the week (0..6).
Integer CalendarWeekIndex(TDateTime date);
// The date in a day cell (column 0..6, row 0..5) of the month starting at FirstDate. A month
// that starts a week shows the previous week in row 0, except the first supported month.
TDateTime CalendarCellDate(TDateTime first_date, Integer column, Integer row);
// The first and last dates of the day cells (they agree with CalendarCellDate).
TDateTime CalendarFirstVisibleDate(TDateTime first_date);
TDateTime CalendarLastVisibleDate(TDateTime first_date);
// The supported range: years 100 to 9999; the null date counts as inside.
bool IsCalendarDateSupported(TDateTime date);
// The selected date after a navigation key (False: the key does not move it). Page Up/Down:
// a month back or on with the day clamped; Home/End: the week's (Ctrl: the month's) first or
// last day; Left/Right one day; Up/Down a week unless Alt is held.
bool CalendarKeyDate(TDateTime date, Word key, TShiftState shift, TDateTime& result);

// ---- clock face -------------------------------------------------------------------------------------

class TcxClock : public TcxControl {
  KORVAN_CLASS(TcxClock, TcxControl)

 public:
  using CreateArgType = TComponent*;
  explicit TcxClock(TComponent* owner);
  TColor MinuteDotColor() const { return minuteDotColor_; }
  void SetMinuteDotColor(TColor v);
  TDateTime Time() const { return time_; }
  void SetTime(TDateTime v);
  // The screen point of an angle (0: three o'clock, clockwise) at a fraction of the radii.
  TPoint PointAt(double angle, double fraction) const;
  Integer PaintCount() const { return paintCount_; }

 protected:
  void Paint() override;

 private:
  void PaintHand(TcxCanvas* canvas, double angle, double width, double tail, double tip);
  TColor minuteDotColor_ = clWindow;
  TDateTime time_ = 0;
  Integer paintCount_ = 0;
};

// ---- month calendar -------------------------------------------------------------------------------

class TcxCustomCalendar;
class TMonthListBox;

// Hot elements of the header.
enum : Integer { cheNone = 0, cheMonth = 1, cheYear = 2 };

class TcxCustomCalendar : public TcxControl {
  KORVAN_CLASS(TcxCustomCalendar, TcxControl)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomCalendar(TComponent* owner);
  ~TcxCustomCalendar() override;

  virtual void LayoutChanged();
  virtual void UpdateHotElement();
  virtual Integer ButtonGap();
  virtual TDateTime LastDateOfMonth();
  virtual TSize TimePanelMargins();
  virtual TDateTime FirstVisibleDate() { return CalendarFirstVisibleDate(firstDate_); }
  virtual TDateTime LastVisibleDate() { return CalendarLastVisibleDate(firstDate_); }
  virtual void CalculateSize(Integer& width, Integer& height);
  virtual void HidePopups(Integer reason);
  virtual TDateTime DateAtPoint(const TPoint& p);
  virtual void SetFirstDate(TDateTime d);
  virtual void SetSelectDate(TDateTime d) { SelectDateInternal(true, d); }

  void SelectDateInternal(bool move_month, TDateTime d);
  void ScrollMonth(Integer kind);
  void ArrangeControls();
  void ButtonClick(TObject* sender);
  bool CanResize(Integer& width, Integer& height) override;

  TDateTime FirstDate() const { return firstDate_; }
  TDateTime SelectDate() const { return selectDate_; }
  TcxCalendarKind Kind() const { return kind_; }
  void SetKind(TcxCalendarKind v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  bool ArrowsForYear() const { return arrowsForYear_; }
  void SetArrowsForYear(bool v);
  TDateButtons ButtonSet() const { return buttonSet_; }
  void SetButtonSet(const TDateButtons& v);
  bool WeekNumbers() const { return weekNumbers_; }
  void SetWeekNumbers(bool v);
  bool YearsInMonthList() const { return yearsInMonthList_; }
  void SetYearsInMonthList(bool v) { yearsInMonthList_ = v; }
  void SetTimeFormat(TcxTimeEditTimeFormat v);
  void SetUse24HourFormat(bool v);
  Integer HotElement() const { return hotElement_; }
  Integer ArrowCount() const { return arrowCount_; }

  TcxTimer* ArrowTimer() const { return arrowTimer_; }
  TMonthListBox* MonthList() const { return monthList_; }
  TcxButton* Button(TCalendarButton b) const { return buttons_[size_t(b)]; }
  TcxTimeEdit* TimeEdit() const { return timeEdit_; }
  TcxClock* Clock() const { return clock_; }

  // Layout (valid after LayoutChanged).
  Integer ColumnWidth() const { return colWidth_; }
  Integer RowHeight() const { return rowHeight_; }
  Integer HeaderHeight() const { return headerHeight_; }
  Integer DayNameRowHeight() const { return dayNameHeight_; }
  Integer SideMargin() const { return sideWidth_; }
  Integer WeekColumnWidth() const { return weekNumberWidth_; }
  const TRect& ArrowRect(Integer i) const { return arrowRects_[size_t(i)]; }
  const TRect& DayGridRect() const { return daysRect_; }
  const TRect& HeaderRect() const { return headerRect_; }
  const TRect& MonthTextRect() const { return monthRect_; }
  const TRect& YearTextRect() const { return yearRect_; }
  const TRect& DateTimeLineRect() const { return dateTimeRect_; }
  // The rectangle of the day cell of a date (empty when not shown).
  TRect DayCellRect(Integer column, Integer row) const;

  TNotifyEvent OnDateTimeChanged;

 protected:
  void Paint() override;
  void CreateWnd() override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState shift, Integer delta, TPoint mouse_pos) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void HandleFontChange() override;
  void NotifyMouseLeave(TControl* control) override;
  void FireDateTimeChanged() {
    if (OnDateTimeChanged) OnDateTimeChanged(this);
  }
  // Hot tracking is allowed (the popup calendar only while its popup shows).
  virtual bool TracksHotElement() { return true; }
  void SetHotElement(Integer e);
  Integer ArrowAt(const TPoint& p);
  TcxCustomLookAndFeelPainterClass CalendarPainter();
  bool IsOffice11() { return CalendarPainter() == (TcxCustomLookAndFeelPainterClass)TcxOffice11LookAndFeelPainter::Class(); }

 private:
  void ArrowTimerTick(TObject* sender);
  void TimeChanged(TObject* sender);
  void PaintDateTimeLine(TcxCanvas* canvas);
  void PaintHeader(TcxCanvas* canvas);
  void PaintDays(TcxCanvas* canvas);
  void PaintWeekNumbers(TcxCanvas* canvas);
  void PaintButtonsBand(TcxCanvas* canvas);
  String MonthYearText();
  TRect ButtonsBandRect();
  Integer ButtonsBandHeight();
  bool HasButtonsBand();

  TDateTime firstDate_;
  TDateTime selectDate_;
  TcxCalendarKind kind_ = ckDate;
  bool flat_ = true;
  bool arrowsForYear_ = true;
  TDateButtons buttonSet_{btnClear, btnToday};
  bool weekNumbers_ = false;
  bool yearsInMonthList_ = true;
  Integer hotElement_ = cheNone;
  Integer arrowCount_ = 1;
  Integer timerArrow_ = -1;
  TCursor savedCursor_ = crDefault;
  TcxTimer* arrowTimer_ = nullptr;
  TMonthListBox* monthList_ = nullptr;
  std::array<TcxButton*, 4> buttons_{};
  TcxTimeEdit* timeEdit_ = nullptr;
  TcxClock* clock_ = nullptr;
  // Metrics.
  Integer weekNumberWidth_ = 0, colWidth_ = 0, sideWidth_ = 0, rowHeight_ = 0, headerHeight_ = 0,
          dayNameHeight_ = 0, buttonHeight_ = 0, buttonWidth_ = 0, fontSize_ = 8, timePanelWidth_ = 0;
  std::array<TRect, 4> arrowRects_{};
  TRect daysRect_, headerRect_, monthRect_, yearRect_, dateTimeRect_;
  TPoint offset_;  // where the month part starts
  bool inLayout_ = false;
};

// The calendar in the date edit's popup: keys and accepted values close the popup.
class TcxPopupCalendar : public TcxCustomCalendar {
  KORVAN_CLASS(TcxPopupCalendar, TcxCustomCalendar)

 public:
  using CreateArgType = TComponent*;
  explicit TcxPopupCalendar(TComponent* owner) : TcxCustomCalendar(owner) {}
  void HidePopups(Integer reason) override;
  // Whether the owner's popup shows (hot tracking only then); the owner's date.
  std::function<bool()> PopupShown;
  std::function<TDateTime()> OwnerDate;
  std::function<void(Word& key, TShiftState shift)> OnOwnerKeyDown;
  bool PostPopupValueOnTab = false;
  std::function<void(TObject* sender, Integer reason)> OnHidePopup;
  void KeyDown(Word& key, TShiftState shift) override;

 protected:
  bool TracksHotElement() override { return !PopupShown || PopupShown(); }
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
};

// The popup list of months opened from the month name in the header.
class TMonthListBox : public TcxCustomPopupWindow {
  KORVAN_CLASS(TMonthListBox, TcxCustomPopupWindow)

 public:
  explicit TMonthListBox(TcxCustomCalendar* calendar);
  ~TMonthListBox() override;
  bool ShowsYears();
  void ShowList();
  void CloseList();
  Integer ItemCount() const { return itemCount_; }
  Integer ItemHeight() const { return itemHeight_; }
  Integer TopIndex() const { return topIndex_; }
  Integer ItemIndex() const { return itemIndex_; }
  Integer ScrollDirection() const { return scrollDirection_; }
  TcxTimer* Timer() const { return timer_; }
  // The year and month of an item.
  void ItemMonth(Integer index, Integer& year, Integer& month) const;
  void ScrollStep(TObject* sender);
  void FireClosed() override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void Click() override;

 private:
  void SetItemIndex(Integer v);
  TcxCustomCalendar* calendar_;
  Integer itemCount_ = 12, itemHeight_ = 14, topIndex_ = 0, itemIndex_ = -1, scrollDirection_ = 0;
  Integer baseYear_ = 2000, baseMonth_ = 1;
  TcxTimer* timer_ = nullptr;
  bool closing_ = false;
};

// ---- date edit ------------------------------------------------------------------------------------

class TcxDateEditPropertiesValues : public TcxTextEditPropertiesValues {
  KORVAN_CLASS(TcxDateEditPropertiesValues, TcxTextEditPropertiesValues)

 public:
  using TcxTextEditPropertiesValues::TcxTextEditPropertiesValues;
  void Assign(TPersistent* source) override;
  void RestoreDefaults() override;
  bool DateButtons() const { return dateButtons_; }
  void SetDateButtons(bool v) { dateButtons_ = v; }
  bool InputKind() const { return inputKind_; }
  void SetInputKind(bool v) { inputKind_ = v; }
  bool MaxDate() const { return MaxValue(); }
  void SetMaxDate(bool v) { SetMaxValue(v); }
  bool MinDate() const { return MinValue(); }
  void SetMinDate(bool v) { SetMinValue(v); }

 private:
  bool dateButtons_ = false, inputKind_ = false;
};

class TcxCustomDateEdit;

class TcxCustomDateEditProperties : public TcxCustomPopupEditProperties {
  KORVAN_CLASS(TcxCustomDateEditProperties, TcxCustomPopupEditProperties)

 public:
  explicit TcxCustomDateEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;
  void NotifyPropertiesChanged() override;
  void SetupDateMask();

  TClass GetContainerClass() override;
  TClass GetPopupWindowClass() override;
  Byte GetDisplayFormatOptions() override { return 3; }
  bool HasValueBound(Integer side) override;
  bool HasValueRange() override;
  bool AcceptDisplayText(Variant& display_value, bool edit_focused) override;
  bool IsEditValueValid(Variant& edit_value, bool edit_focused) override;
  void PrepareDisplayValue(const Variant& edit_value, Variant& display_value, bool edit_focused) override;
  void ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                            IcxEditValidator* edit) override;

  String EmptyDateText(bool for_editing);
  // An empty text, the mask's empty text or the editing one (a zero time behind blank date
  // positions): each means no date.
  bool IsEmptyDateText(const String& text);
  // Text to date: Null when the text is empty or does not parse (DateOnError deToday gives
  // now or today instead).
  void TextToDate(const String& text, Variant& value);
  String DateToText(const Variant& value, bool for_editing);
  bool KeepsTimePart(bool for_editing, TDateTime date);
  bool TimePartInfo(Integer position, TcxTimePartInfo& info);
  char32_t TimePartBlankChar(Integer position);

  TcxDateEditPropertiesValues* AssignedValues() const {
    return static_cast<TcxDateEditPropertiesValues*>(TcxCustomEditProperties::AssignedValues());
  }
  bool ArrowsForYear() const { return arrowsForYear_; }
  void SetArrowsForYear(bool v) { SetAndNotify(arrowsForYear_, v); }
  TDateButtons DateButtons();
  void SetDateButtons(const TDateButtons& v);
  bool IsDateButtonsStored() const { return AssignedValues()->DateButtons(); }
  TDateOnError DateOnError() const { return dateOnError_; }
  void SetDateOnError(TDateOnError v) { SetAndNotify(dateOnError_, v); }
  TcxInputKind InputKind();
  void SetInputKind(TcxInputKind v);
  bool IsInputKindStored() const { return AssignedValues()->InputKind(); }
  TcxCalendarKind Kind() const { return kind_; }
  void SetKind(TcxCalendarKind v) { SetAndNotify(kind_, v); }
  bool SaveTime() const { return saveTime_; }
  void SetSaveTime(bool v) { SetAndNotify(saveTime_, v); }
  bool ShowTime() const { return showTime_; }
  void SetShowTime(bool v) { SetAndNotify(showTime_, v); }
  bool WeekNumbers() const { return weekNumbers_; }
  void SetWeekNumbers(bool v) { SetAndNotify(weekNumbers_, v); }
  bool YearsInMonthList() const { return yearsInMonthList_; }
  void SetYearsInMonthList(bool v) { SetAndNotify(yearsInMonthList_, v); }
  TDateTime MaxDate() { return MaxValue(); }
  void SetMaxDate(TDateTime v) { SetMaxValue(v); }
  TDateTime MinDate() { return MinValue(); }
  void SetMinDate(TDateTime v) { SetMinValue(v); }

 private:
  bool arrowsForYear_ = true;
  TDateButtons dateButtons_;
  TDateOnError dateOnError_ = deNoChange;
  TcxInputKind inputKind_ = ikRegExpr;
  TcxCalendarKind kind_ = ckDate;
  bool saveTime_ = true;
  bool showTime_ = true;
  bool weekNumbers_ = false;
  bool yearsInMonthList_ = true;
  bool settingMask_ = false;
};

class TcxDateEditProperties : public TcxCustomDateEditProperties {
  KORVAN_CLASS(TcxDateEditProperties, TcxCustomDateEditProperties)

 public:
  using TcxCustomDateEditProperties::TcxCustomDateEditProperties;
};

// The popup window of the date edit: keys the popup must pass on go to the calendar.
class TcxDateEditPopupWindow : public TcxPopupEditPopupWindow {
  KORVAN_CLASS(TcxDateEditPopupWindow, TcxPopupEditPopupWindow)

 public:
  using CreateArgType = TWinControl*;
  explicit TcxDateEditPopupWindow(TWinControl* owner_control);
  bool IsPopupKey(Word key, TShiftState shift);

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
};

class TcxCustomDateEdit : public TcxCustomPopupEdit {
  KORVAN_CLASS(TcxCustomDateEdit, TcxCustomPopupEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomDateEdit(TComponent* owner)
      : TcxCustomDateEdit(owner, false, TcxCustomDateEditProperties::StaticClass()) {}
  TcxCustomDateEdit(TComponent* owner, bool in_place, TClass properties_class);
  ~TcxCustomDateEdit() override;

  TcxCustomDateEditProperties* DateProperties() {
    return static_cast<TcxCustomDateEditProperties*>(GetEffectiveProperties());
  }
  TDateTime Date();
  void SetDate(TDateTime value);
  double SavedTime() const { return savedTime_; }
  void SetSavedTime(double v) { savedTime_ = v; }
  TDateTime CurrentDate();

  void DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool edit_focused) override;
  void InternalSetEditValue(const Variant& value, bool validate) override;
  void SetDisplayValue(const Variant& value) override;
  void ClearValue() override { SetDate(NoDateValue); }
  Variant GetDisplayValue() override;
  bool ValidateMaskChar(char32_t& c, Integer position) override;
  void EnforceValueRange();

  // The calendar of the drop-down (made on first use, owned by the edit).
  TcxPopupCalendar* Calendar() const { return calendar_; }
  TcxPopupCalendar* CreateCalendar();
  void DropDown() override;
  void CreatePopupWindow() override;
  void SetupPopupWindow() override;
  void PopupWindowShown() override;
  void PopupWindowClosed() override;
  // The calendar accepted a value (a day click, Enter, OK, Clear, Now, Today).
  void AcceptCalendarValue(TObject* sender);
  String DateToEditText(TDateTime d);

 private:
  double savedTime_ = 0;
  double popupStartTime_ = NoDateValue;
  TcxPopupCalendar* calendar_ = nullptr;
  bool destroying_ = false;
};

class TcxDateEdit : public TcxCustomDateEdit {
  KORVAN_CLASS(TcxDateEdit, TcxCustomDateEdit)

 public:
  explicit TcxDateEdit(TComponent* owner)
      : TcxCustomDateEdit(owner, false, TcxDateEditProperties::StaticClass()) {}
  TcxDateEditProperties* Properties() const {
    return static_cast<TcxDateEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxDateEditProperties* value) { Properties()->Assign(value); }
};

class TcxEditRepositoryDateItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryDateItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositoryDateItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxDateEditProperties::StaticClass()) {}
  TcxDateEditProperties* Properties() const {
    return static_cast<TcxDateEditProperties*>(TcxEditRepositoryItem::Properties());
  }
  void SetProperties(TcxDateEditProperties* value) { TcxEditRepositoryItem::SetProperties(value); }
};

class TcxFilterDateEditHelper : public TcxFilterDropDownEditHelper {
  KORVAN_CLASS(TcxFilterDateEditHelper, TcxFilterDropDownEditHelper)

 public:
  TClass ValueEditClass() const override;
  void SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass value_type,
                          TcxFilterControlOperators& operators, bool extended) const override;
  void PrepareFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                               bool keep_buttons) const override;
};

// The unit start: the properties registry entry and the filter helper.
void InitializeCxCalendar();
