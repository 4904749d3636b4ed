// The format controller: parsed formats, masks, display formats, the currency format, the first
// day of the week and the listeners with the hidden window.
#include "editors/cxFormats.h"

#include "editors/cxRegExpr.h"

#include <vector>

#include "tests/editors/EditorsTestSupport.h"
#include "tests/support/HeadlessFixture.h"
#include "user/WinUser.h"
#include "vcl/Forms.h"

using editors_test::TLocaleFixture;

namespace {

// "kind:data" per item, items separated by spaces; literals as 'text'.
String Describe(const TcxDateTimeFormatInfo& info) {
  static const char* names[] = {"L", "Y", "M", "D", "H", "N", "S", "Z", "P", "/", ":"};
  String s;
  for (const auto& item : info.Items) {
    if (!s.empty()) s += ' ';
    s += names[item.Kind];
    if (item.Kind == cxdtfkLiteral) s += "'" + item.Data + "'";
    else if (!item.Data.empty()) s += ":" + item.Data;
  }
  return s;
}

class FormatsTest : public TLocaleFixture {};

TEST_F(FormatsTest, ParsesFormatsIntoItems) {
  struct Case {
    const char* format;
    const char* items;
  } cases[] = {
      {"M/d/yyyy", "M:M / D:D / Y:YYYY"},
      {"dd.MM.yy", "D:DD L'.' M:MM L'.' Y:YY"},
      {"h:mm:ss AMPM", "H:12H : N:NN : S:SS L' ' P:AMPM"},
      {"hh:mm:ss", "H:24HH : N:NN : S:SS"},
      {"hh:mm a/p", "H:12HH : N:NN L' ' P:a/p"},
      {"HH:mm:ss.zzz", "H:24HH : N:NN : S:SS L'.' Z:ZZZ"},
      // A designator without an hour is dropped; "mm" without an hour before it is a month.
      {"mm:ss AM/PM", "M:MM : S:SS L' '"},
      // Repeated kinds are kept once; literals and separators repeat.
      {"d/d/M", "D:D / / M:M"},
      {"dddd, MMMM d", "D:DDDD L', ' M:MMMM L' '"},
      {"aaaa yyy", "D:DDDD L' ' Y:YYYY"},
      {"'at' h 'o''clock'", "L'at ' H:24H L' oclock'"},
      // An unclosed quote is literal up to the end of the text.
      {"d 'of", "D:D L' of'"},
      {"d 日", "D:D L' 日'"},
      {"ddddd", "M:M / D:D / Y:YYYY"},
      {"t", "H:12H : N:NN L' ' P:AMPM"},
      {"", "M:M / D:D / Y:YYYY L' ' H:12H : N:NN : S:SS L' ' P:AMPM"},
      // An era cannot be parsed: no items at all.
      {"gg yyyy", ""},
  };
  for (const auto& c : cases) {
    TcxDateTimeFormatInfo info;
    ParseDateTimeFormat(c.format, info);
    EXPECT_EQ(Describe(info), c.items) << c.format;
  }
}

TEST_F(FormatsTest, RefreshBuildsMasksFromTheLocale) {
  FormatSettings.ShortDateFormat = "d/M/yyyy";
  Apply();
  auto* fc = GlobalFormatController();
  EXPECT_EQ(fc->DateStandardMask(), "!99/99/9999;1; ");
  EXPECT_EQ(fc->DateTypingFormat(), "dd/MM/yyyy");
  EXPECT_EQ(fc->DateMaskDisplayFormat(), "dd/mm/yyyy");
  EXPECT_EQ(fc->DateTimeStandardMask(), "!99/99/9999\\ 99:99:99\\ cc;1; ");
  EXPECT_EQ(fc->DateTimeMaskDisplayFormat(), "dd/mm/yyyy' 'hh:nn:ss' 'ampm");
  const String day = "([012]?[1-9]|[123]0|31)";
  const String month =
      "((0?[1-9]|1[012])|('Jan'|'Feb'|'Mar'|'Apr'|'May'|'Jun'|'Jul'|'Aug'|'Sep'|'Oct'|'Nov'|"
      "'Dec'))";
  const String date = day + "\\/" + month + "\\/\\d\\d\\d\\d";
  const String words =
      "'today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|'Thursday'|"
      "'Friday'|'Saturday'|'first'|'second'|'third'|'fourth'|'fifth'|'sixth'|'seventh'|'bom'|"
      "'eom'";
  const String offset = ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
  EXPECT_EQ(fc->DateMaskRegExpr(), "(" + date + ")|(" + words + offset);
  const String time = "(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?";
  EXPECT_EQ(fc->DateTimeMaskRegExpr(),
            "(" + date + " ' '(" + time + ")?)|(" + words + "|'now'" + offset);
  // Month names and 24-hour clocks.
  FormatSettings.ShortDateFormat = "dd MMMM yy";
  FormatSettings.LongTimeFormat = "HH.mm";
  FormatSettings.TimeSeparator = '.';
  Apply();
  EXPECT_EQ(fc->DateStandardMask(), "!99\\ lll\\ 99;1; ");
  EXPECT_EQ(fc->DateMaskDisplayFormat(), "dd' 'mmm' 'yy");
  EXPECT_NE(fc->DateMaskRegExpr().find("'January'|'February'"), String::npos);
  EXPECT_NE(fc->DateTimeMaskRegExpr().find("' '(([01]?\\d|2[0-3])'.'[0-5]?\\d)?"), String::npos);
}

TEST_F(FormatsTest, AnEraGivesEmptyMasks) {
  FormatSettings.ShortDateFormat = "gg yyyy/M/d";
  Apply();
  auto* fc = GlobalFormatController();
  EXPECT_TRUE(fc->DateItems().Items.empty());
  EXPECT_EQ(fc->DateStandardMask(), "");
  EXPECT_EQ(fc->DateMaskDisplayFormat(), "");
  EXPECT_EQ(fc->DateMaskRegExpr(), "");
  EXPECT_EQ(fc->DateTimeMaskRegExpr(), "");
  EXPECT_FALSE(fc->TimeItems().Items.empty());
}

// Formats whose date or time part gives no expression: no mask, or masks that compile (an
// empty group once made the date edit's mask fail).
TEST_F(FormatsTest, FormatsWithoutDateOrTimeItemsGiveMasksThatCompile) {
  struct Case {
    const char* Date;
    const char* Time;
    bool DateMask;
  } cases[] = {{"z", "", false}, {"h:mm", "h:mm", false}, {"d/M/yyyy", "zzz", true}, {"d/M/yyyy", "yyyy", true}};
  auto* fc = GlobalFormatController();
  for (const Case& c : cases) {
    FormatSettings.ShortDateFormat = c.Date;
    FormatSettings.LongTimeFormat = c.Time;
    Apply();
    EXPECT_EQ(fc->DateMaskRegExpr().empty(), !c.DateMask) << c.Date;
    for (const String& mask : {fc->DateMaskRegExpr(), fc->DateTimeMaskRegExpr()}) {
      if (mask.empty()) continue;  // no mask
      TcxRegExpr expr;
      TStringStream source(mask);
      EXPECT_NO_THROW(expr.Compile(&source)) << c.Date << " " << c.Time << ": " << mask;
    }
  }
}

// A separator that is a letter or a digit is quoted text in the masks, not a class ("\\d")
// or a reference ("\\3") that would fail to compile or match other characters.
TEST_F(FormatsTest, LetterAndDigitSeparatorsAreQuotedInTheMasks) {
  FormatSettings.ShortDateFormat = "yyyy/M/d";
  FormatSettings.DateSeparator = 'd';
  FormatSettings.LongTimeFormat = "H:mm";
  FormatSettings.TimeSeparator = '3';
  Apply();
  auto* fc = GlobalFormatController();
  TcxRegExpr expr;
  TStringStream source(fc->DateTimeMaskRegExpr());
  ASSERT_NO_THROW(expr.Compile(&source)) << fc->DateTimeMaskRegExpr();
  EXPECT_EQ(expr.AcceptText("2026d1d5 12345"), "2026d1d5 12345");
  expr.Restart();
  EXPECT_EQ(expr.AcceptText("202615"), "2026");  // a digit is no date separator
}

TEST_F(FormatsTest, CurrencyFormatForEveryPattern) {
  const char* positive[] = {"$,0.00", ",0.00$", "$ ,0.00", ",0.00 $"};
  const char* negative[] = {"($,0.00)", "-$,0.00",  "$-,0.00",  "$,0.00-",
                            "(,0.00$)", "-,0.00$",  ",0.00-$",  ",0.00$-",
                            "-,0.00 $", "-$ ,0.00", ",0.00 $-", "$ ,0.00-",
                            "$ -,0.00", ",0.00- $", "($ ,0.00)", "(,0.00 $)"};
  TFormatSettings fs = TFormatSettings::EnglishUS();
  for (int p = 0; p < 4; ++p) {
    for (int n = 0; n < 16; ++n) {
      fs.CurrencyFormat = Byte(p);
      fs.NegCurrFormat = Byte(n);
      EXPECT_EQ(BuildCurrencyDisplayFormat(fs), String(positive[p]) + ";" + negative[n])
          << p << " " << n;
    }
  }
  fs.CurrencyFormat = 0;
  fs.NegCurrFormat = 1;
  EXPECT_EQ(BuildCurrencyDisplayFormat(fs), "$,0.00;-$,0.00");
  fs.NegCurrFormat = 16;
  EXPECT_EQ(BuildCurrencyDisplayFormat(fs), "$,0.00;");
  // Separators inside the symbol are quoted; no decimals leaves ",0.".
  fs.CurrencyString = "Kč.";
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  fs.CurrencyDecimals = 0;
  EXPECT_EQ(BuildCurrencyDisplayFormat(fs), ",0. Kč'.';-,0. Kč'.'");
  fs.CurrencyString = "";
  EXPECT_EQ(BuildCurrencyDisplayFormat(fs), ";-,0. ");
  // The controller keeps the locale's.
  FormatSettings.CurrencyFormat = 2;
  FormatSettings.NegCurrFormat = 14;
  Apply();
  EXPECT_EQ(GlobalFormatController()->CurrencyDisplayFormat(), "$ ,0.00;($ ,0.00)");
  // The format formats.
  EXPECT_EQ(FormatFloat(GlobalFormatController()->CurrencyDisplayFormat(), -1234.5), "($ 1,234.50)");
}

TEST_F(FormatsTest, FirstDayOfWeekFromTheLocale) {
  // The locale counts from Monday (0), the controller from Sunday (0).
  const struct { Byte locale, expected; } cases[] = {{0, 1}, {1, 2}, {5, 6}, {6, 0}};
  for (const auto& c : cases) {
    FormatSettings.FirstDayOfWeek = c.locale;
    Apply();
    EXPECT_EQ(GlobalFormatController()->FirstDayOfWeek(), c.expected) << int(c.locale);
  }
}

TEST_F(FormatsTest, FindsItemsByPosition) {
  FormatSettings.TimeAMString = "vorm.";
  FormatSettings.TimePMString = "nachm.";
  TcxDateTimeFormatInfo info;
  ParseDateTimeFormat("MMM d, yy h:mm AMPM", info);
  // MMM(3) L' '(1) D(2) L', '(2) YY(2) L' '(1) H(2) :(1) N(2) L' '(1) AMPM(6)
  EXPECT_EQ(FormatTextLength(info), 23);
  struct Case {
    Integer pos;
    bool found;
    Byte kind;
    Integer start, length, designator;
  } cases[] = {
      {0, false, 0, 0, 0, 0},          {1, true, cxdtfkMonth, 1, 3, 2},
      {3, true, cxdtfkMonth, 1, 3, 2}, {4, true, cxdtfkLiteral, 4, 1, 2},
      {5, true, cxdtfkDay, 5, 2, 2},   {9, true, cxdtfkYear, 9, 2, 2},
      {18, true, cxdtfkDesignator, 18, 6, 2}, {23, true, cxdtfkDesignator, 18, 6, 2},
      {24, false, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    Byte kind = 255;
    Integer start = -1, length = -1, style = -1;
    ASSERT_EQ(FindFormatItemAt(info, c.pos, kind, start, length, style), c.found) << c.pos;
    if (!c.found) continue;
    EXPECT_EQ(kind, c.kind) << c.pos;
    EXPECT_EQ(start, c.start) << c.pos;
    EXPECT_EQ(length, c.length) << c.pos;
    EXPECT_EQ(style, c.designator) << c.pos;
  }
  TcxDateTimeFormatInfo ap;
  ParseDateTimeFormat("h a/p", ap);
  Byte kind;
  Integer start, length, style;
  ASSERT_TRUE(FindFormatItemAt(ap, 4, kind, start, length, style));
  EXPECT_EQ(style, 0);
  EXPECT_EQ(length, 1);
  EXPECT_FALSE(FindFormatItemAt(TcxDateTimeFormatInfo(), 1, kind, start, length, style));
}

// ---- listeners ---------------------------------------------------------------------------------

std::vector<String>* eventLog = nullptr;

class TFormatListener : public IcxFormatSettingsListener {
 public:
  explicit TFormatListener(String name) : name_(std::move(name)) {}
  void FormatChanged() override {
    eventLog->push_back(name_ + " format " + FormatSettings.ShortDateFormat);
    if (raise) throw Exception("listener failed");
  }
  bool raise = false;

 protected:
  String name_;
};

class TTimeListener : public TFormatListener, public IcxSystemTimeListener {
 public:
  using TFormatListener::TFormatListener;
  void TimeChanged() override { eventLog->push_back(name_ + " time"); }
};

class FormatListenersTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    saved_ = FormatSettings;
    eventLog = &log_;
  }
  void TearDown() override {
    eventLog = nullptr;
    FormatSettings = saved_;
    GlobalFormatController()->Refresh();
    THeadlessFixture::TearDown();
  }
  static void BroadcastIntl(const char* section) {
    BroadcastSystemChange(WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(section));
  }
  std::vector<String> log_;
  TFormatSettings saved_;
};

TEST_F(FormatListenersTest, HiddenWindowLivesWhileThereAreListeners) {
  TcxFormatController own;  // not the global one, which other objects listen to
  auto* fc = &own;
  TFormatListener a("a"), b("b");
  EXPECT_EQ(fc->WindowHandle(), HWND(0));
  fc->RegisterListener(&a);
  fc->RegisterListener(&a);
  EXPECT_EQ(fc->ListenerCount(), 1);
  HWND first = fc->WindowHandle();
  ASSERT_NE(first, HWND(0));
  EXPECT_TRUE(IsWindow(first));
  fc->RegisterListener(&b);
  EXPECT_EQ(fc->WindowHandle(), first);
  fc->UnregisterListener(&a);
  EXPECT_TRUE(IsWindow(first));
  fc->UnregisterListener(&b);
  EXPECT_EQ(fc->WindowHandle(), HWND(0));
  EXPECT_FALSE(IsWindow(first));
  fc->RegisterListener(&b);
  EXPECT_NE(fc->WindowHandle(), HWND(0));
  EXPECT_TRUE(IsWindow(fc->WindowHandle()));
  fc->UnregisterListener(&b);
}

TEST_F(FormatListenersTest, IntlChangeRefreshesAndTellsListenersInOrder) {
  TcxFormatController own;
  auto* fc = &own;
  TTimeListener a("a");
  TFormatListener b("b");
  fc->RegisterListener(&a);
  fc->RegisterListener(&b);
  FormatSettings.ShortDateFormat = "d.M.yyyy";
  BroadcastIntl("windows");  // another section: nothing
  EXPECT_TRUE(log_.empty());
  BroadcastIntl("intl");
  EXPECT_EQ(log_, (std::vector<String>{"a format d.M.yyyy", "b format d.M.yyyy"}));
  EXPECT_EQ(fc->DateTypingFormat(), "dd.MM.yyyy");
  log_.clear();
  BroadcastSystemChange(WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(log_, (std::vector<String>{"a time"}));
  fc->UnregisterListener(&a);
  fc->UnregisterListener(&b);
}

TEST_F(FormatListenersTest, RaisingListenerReachesTheApplication) {
  TcxFormatController own;
  auto* fc = &own;
  TFormatListener a("a"), b("b");
  a.raise = true;
  std::vector<String> errors;
  Application->OnException = [&](TObject* sender, const Exception& e) {
    errors.push_back(e.Message());
    EXPECT_EQ(sender, fc);
  };
  fc->RegisterListener(&a);
  fc->RegisterListener(&b);
  EXPECT_NO_THROW(BroadcastIntl("intl"));
  EXPECT_EQ(errors, (std::vector<String>{"listener failed"}));
  Application->OnException = nullptr;
  fc->UnregisterListener(&a);
  fc->UnregisterListener(&b);
}

}  // namespace
