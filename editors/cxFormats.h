// The format controller: the process-wide holder of the locale formats the editors share
// (currency display format, first day of the week, the parsed short date and long time
// formats and the masks built from them). It watches locale changes through a hidden window
// while it has listeners and tells them.
#pragma once

#include <array>
#include <vector>

#include "gdi/WinDef.h"
#include "rtl/System.h"

// Item kinds of a parsed date-time format.
enum : Byte {
  cxdtfkLiteral, cxdtfkYear, cxdtfkMonth, cxdtfkDay, cxdtfkHour, cxdtfkMinute, cxdtfkSecond,
  cxdtfkMillisecond, cxdtfkDesignator, cxdtfkDateSeparator, cxdtfkTimeSeparator
};
constexpr int cxDateTimeFormatItemKindCount = 11;

struct TcxDateTimeFormatItem {
  Byte Kind = cxdtfkLiteral;
  String Data;
};

struct TcxDateTimeFormatInfo {
  std::array<bool, cxDateTimeFormatItemKindCount> DefinedItems{};
  std::vector<TcxDateTimeFormatItem> Items;
};

class IcxFormatSettingsListener {
 public:
  virtual ~IcxFormatSettingsListener() = default;
  virtual void FormatChanged() = 0;
};

// A format listener may implement this too, to hear system time changes.
class IcxSystemTimeListener {
 public:
  virtual ~IcxSystemTimeListener() = default;
  virtual void TimeChanged() = 0;
};

class TcxFormatController : public TObject {
  KORVAN_CLASS(TcxFormatController, TObject)

 public:
  TcxFormatController();
  ~TcxFormatController() override;

  virtual LRESULT HandleWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void RegisterListener(IcxFormatSettingsListener* listener);
  virtual void UnregisterListener(IcxFormatSettingsListener* listener);

  const String& CurrencyDisplayFormat() const { return currencyDisplayFormat_; }
  const String& DateTypingFormat() const { return dateTypingFormat_; }
  const String& DateStandardMask() const { return dateStandardMask_; }
  const String& DateTimeStandardMask() const { return dateTimeStandardMask_; }
  const String& DateMaskDisplayFormat() const { return dateMaskDisplayFormat_; }
  const String& DateTimeMaskDisplayFormat() const { return dateTimeMaskDisplayFormat_; }
  const String& DateMaskRegExpr() const { return dateMaskRegExpr_; }
  const String& DateTimeMaskRegExpr() const { return dateTimeMaskRegExpr_; }
  const TcxDateTimeFormatInfo& DateItems() const { return dateItems_; }
  const TcxDateTimeFormatInfo& TimeItems() const { return timeItems_; }
  const TcxDateTimeFormatInfo& DateTimeItems() const { return dateTimeItems_; }
  Byte FirstDayOfWeek() const { return firstDayOfWeek_; }
  Byte WeekNumberingRule() const { return weekNumberingRule_; }
  bool UseStandardDateFormats() const { return useStandardDateFormats_; }
  void SetUseStandardDateFormats(bool v) { useStandardDateFormats_ = v; }
  // The hidden window, 0 while there is no listener.
  HWND WindowHandle() const { return window_; }
  int ListenerCount() const { return int(listeners_.size()); }

  // Re-reads the locale values (at creation and after a locale change).
  void Refresh();

 private:
  void DestroyWindow();

  String currencyDisplayFormat_, dateTypingFormat_;
  String dateStandardMask_, dateTimeStandardMask_;
  String dateMaskDisplayFormat_, dateTimeMaskDisplayFormat_;
  String dateMaskRegExpr_, dateTimeMaskRegExpr_;
  TcxDateTimeFormatInfo dateItems_, timeItems_, dateTimeItems_;
  Byte firstDayOfWeek_ = 0;
  Byte weekNumberingRule_ = 0;
  bool useStandardDateFormats_ = false;
  std::vector<IcxFormatSettingsListener*> listeners_;
  HWND window_ = 0;
};

// The singleton, created on first use and freed at the unit's end.
TcxFormatController* GlobalFormatController();
void InitializeCxFormats();

// Parses a format of FormatDateTime's language into items; False (and an empty info) when it
// cannot be parsed (an era). An empty format means "C".
bool ParseDateTimeFormat(const String& format, TcxDateTimeFormatInfo& info);
// The currency display format of the settings (positive;negative section).
String BuildCurrencyDisplayFormat(const struct TFormatSettings& settings);
String BuildStandardMask(const TcxDateTimeFormatInfo& info);
String BuildMaskDisplayFormat(const TcxDateTimeFormatInfo& info);
// The regular-expression mask of the date items (date_mode) or the time items.
String BuildRegExprMask(const TcxDateTimeFormatInfo& info, bool date_mode);

// Positions are 1-based characters of a text laid out item by item.
bool FindFormatItemAt(const TcxDateTimeFormatInfo& info, Integer position, Byte& kind,
                      Integer& start, Integer& length, Integer& designator_style);
Integer FormatTextLength(const TcxDateTimeFormatInfo& info);
Integer FormatItemWidth(const TcxDateTimeFormatItem& item);
