// Reading a CSV file into typed columns, as a text driver reads it: a header line of column
// names, comma-separated values that may be double-quoted, column types guessed from the
// values read, and UTF-8, UTF-16 and Shift-JIS text.
#pragma once

#include <string_view>
#include <vector>

#include "db/MemStorage.h"
#include "rtl/System.h"

// Raised for a file that cannot be read as CSV; the message names the file.
KORVAN_EXCEPTION(ECsvError, Exception);

// The column types the reader guesses, narrowest first.
enum class TCsvColumnType { Integer, Float, DateTime, String, Memo };

// The locale's date settings used when guessing dates, besides the driver's own date forms.
struct TCsvLocale {
  String ShortDateFormat = "M/d/yyyy";  // only the order of d, m and y matters
  char DateSeparator = '/';
  int TwoDigitYearCenturyWindow = 50;    // 0: two-digit years are years of the first century
  int CurrentYear = 0;                   // for the century window; 0: the clock's year
};

struct TCsvOptions {
  int64_t MaxRecords = -1;  // data records to read, in file order; negative: all of them
  TCsvLocale Locale;
};

struct TCsvTable {
  std::vector<String> Names;           // unique, non-empty column names
  std::vector<TCsvColumnType> Types;
  std::vector<int> Sizes;              // longest value in characters (at least 1)
  // Integer columns hold Int values, Float and DateTime columns Float values (days since
  // 1899-12-30 for dates), String and Memo columns Text values. Null: an empty unquoted value
  // or a value missing from a short line.
  std::vector<TMemColumn> Columns;
  std::size_t RecordCount = 0;
  String Encoding;                     // "UTF-8", "UTF-16LE", "UTF-16BE" or "Shift-JIS"
};

// The most columns a file may have.
constexpr int MaxCsvColumns = 255;
// Text values longer than this many characters make the column a memo column.
constexpr int MaxCsvStringSize = 255;

// Reads the file at `path`. Raises ECsvError for a missing, unreadable, binary or badly
// encoded file or one with more than MaxCsvColumns columns.
TCsvTable ReadCsvFile(const String& path, const TCsvOptions& options = {});
// Reads CSV text given as the bytes of a file; `file_name` names it in error messages.
TCsvTable ReadCsvBytes(std::string_view bytes, const TCsvOptions& options, const String& file_name);
// Turns the bytes of a file into UTF-8 text (byte-order mark removed) and names the encoding.
String DecodeCsvBytes(std::string_view bytes, const String& file_name, String* encoding = nullptr);

// Parses a date, date and time or time value in the forms the reader accepts: year first
// with "-", "/" or "." (2024-03-31), the locale's order with its separator, "/" or "-",
// each optionally followed by a time (hh:nn, hh:nn:ss, hh:nn:ss.zzz), or a time alone.
bool TryParseCsvDateTime(std::string_view text, const TCsvLocale& locale, double& value);
