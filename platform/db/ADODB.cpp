#include "db/ADODB.h"

#include <cctype>
#include <cstring>

#include "db/CsvReader.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TCustomADODataSet) {
  p.Str("ConnectionString", &TCustomADODataSet::ConnectionString, &TCustomADODataSet::SetConnectionString);
  p.Enum("CursorType", &TCustomADODataSet::CursorType, &TCustomADODataSet::SetCursorType,
         EnumTypeInfo("TCursorType", {"ctUnspecified", "ctOpenForwardOnly", "ctKeyset", "ctDynamic", "ctStatic"}))
      .Default(ctUnspecified);
  p.Enum("LockType", &TCustomADODataSet::LockType, &TCustomADODataSet::SetLockType,
         EnumTypeInfo("TADOLockType", {"ltUnspecified", "ltReadOnly", "ltPessimistic", "ltOptimistic", "ltBatchOptimistic"}))
      .Default(ltUnspecified);
  p.Int("MaxRecords", &TCustomADODataSet::MaxRecords, &TCustomADODataSet::SetMaxRecords).Default(0);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TADOQuery) {
  p.Object("SQL", &TADOQuery::SQL, nullptr, TStrings::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TADOTable) {
  p.Str("TableName", &TADOTable::TableName, &TADOTable::SetTableName);
}

void InitializeADODB() {
  InitUnit("ADODB", [] {
    InitializeDB();
    RegisterClass(TMemDataSet::StaticClass());
    RegisterClass(TMemQuery::StaticClass());
    RegisterClass(TADOQuery::StaticClass());
    RegisterClass(TADOTable::StaticClass());
  });
}

namespace {

// Splits "key=value;key2=value2" where a value may be quoted ("..." or '...', the quote doubled
// inside) or braced ({...}, which may hold ';').
std::vector<std::pair<String, String>> SplitConnectionString(const String& s) {
  std::vector<std::pair<String, String>> result;
  std::size_t i = 0, n = s.size();
  while (i < n) {
    while (i < n && (s[i] == ';' || std::isspace(static_cast<unsigned char>(s[i])))) ++i;
    if (i >= n) break;
    std::size_t eq = s.find('=', i);
    std::size_t semi = s.find(';', i);
    if (eq == String::npos || (semi != String::npos && semi < eq)) {
      // A part without "=": skipped.
      i = semi == String::npos ? n : semi + 1;
      continue;
    }
    String key = Trim(s.substr(i, eq - i));
    i = eq + 1;
    while (i < n && s[i] == ' ') ++i;
    String value;
    if (i < n && (s[i] == '"' || s[i] == '\'')) {
      char q = s[i++];
      while (i < n) {
        if (s[i] == q) {
          if (i + 1 < n && s[i + 1] == q) {
            value += q;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += s[i++];
      }
      while (i < n && s[i] != ';') ++i;
    } else {
      std::size_t st = i;
      int depth = 0;
      while (i < n && (s[i] != ';' || depth > 0)) {
        if (s[i] == '{') ++depth;
        else if (s[i] == '}' && depth > 0) --depth;
        ++i;
      }
      value = Trim(s.substr(st, i - st));
    }
    result.emplace_back(key, value);
  }
  return result;
}

String StripBrackets(String name) {
  name = Trim(name);
  if (name.size() >= 2 && ((name.front() == '[' && name.back() == ']') || (name.front() == '"' && name.back() == '"') ||
                           (name.front() == '`' && name.back() == '`')))
    name = name.substr(1, name.size() - 2);
  return name;
}

bool StartsWithWord(const String& s, std::size_t& i, const char* word) {
  std::size_t n = std::strlen(word);
  if (s.size() - i < n || !SameText(s.substr(i, n), word)) return false;
  if (i + n < s.size() && !std::isspace(static_cast<unsigned char>(s[i + n])) && s[i + n] != '*') return false;
  i += n;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  return true;
}

}  // namespace

String ConnectionStringFolder(const String& connectionString) {
  String folder;
  for (const auto& [key, value] : SplitConnectionString(connectionString)) {
    if (SameText(key, "Extended Properties")) {
      String inner = ConnectionStringFolder(value);
      if (!inner.empty()) folder = inner;
    } else if (SameText(key, "DBQ") || (SameText(key, "DefaultDir") && folder.empty())) {
      folder = value;
    }
  }
  return folder;
}

// ---------------------------------------------------------------------------------------------

TCustomADODataSet::TCustomADODataSet(TComponent* owner) : TMemDataSet(owner) { SetReadOnly(true); }

void TCustomADODataSet::SetConnectionString(const String& v) {
  if (Active()) Close();
  connectionString_ = v;
}

void TCustomADODataSet::SetMaxRecords(Integer v) {
  if (Active()) DatabaseError("Cannot perform this operation on an open dataset", this);
  maxRecords_ = v < 0 ? 0 : v;
}

void TCustomADODataSet::InternalOpen() {
  String table;
  Int64 top = -1;
  GetCommand(table, top);
  String folder = ConnectionStringFolder(connectionString_);
  if (folder.empty()) throw EADOError("The connection string names no folder (DBQ=...): " + connectionString_);
  if (table.empty()) throw EADOError("No file to read: the statement names no table");
  if (table.find('/') != String::npos || table.find('\\') != String::npos || table == "." || table == "..")
    throw EADOError("'" + table + "' is not a file name of the folder '" + folder + "'");
  String ext = LowerCase(ExtractFileExt(table));
  if (ext != ".csv" && ext != ".txt" && ext != ".tab" && ext != ".asc")
    throw EADOError("Cannot read '" + table + "': only files ending in .csv, .txt, .tab or .asc can be read");

  TCsvOptions options;
  Int64 limit = top;
  if (maxRecords_ > 0 && (limit < 0 || limit > maxRecords_)) limit = maxRecords_;
  options.MaxRecords = limit;
  options.Locale.ShortDateFormat = FormatSettings.ShortDateFormat;
  options.Locale.DateSeparator = FormatSettings.DateSeparator;
  options.Locale.TwoDigitYearCenturyWindow = FormatSettings.TwoDigitYearCenturyWindow;
  Word y, m, d;
  DecodeDate(Date(), y, m, d);
  options.Locale.CurrentYear = y;

  String path = folder;
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  path += table;
  TCsvTable csv;
  try {
    csv = ReadCsvFile(path, options);
  } catch (const ECsvError& e) {
    throw EADOError(e.Message());
  }
  encoding_ = csv.Encoding;
  std::vector<TColumnDef> defs;
  for (std::size_t c = 0; c < csv.Names.size(); ++c) {
    TFieldType type = ftString;
    Integer size = 0;
    switch (csv.Types[c]) {
      case TCsvColumnType::Integer: type = ftInteger; break;
      case TCsvColumnType::Float: type = ftFloat; break;
      case TCsvColumnType::DateTime: type = ftDateTime; break;
      case TCsvColumnType::String: type = ftString; size = MaxCsvStringSize; break;
      case TCsvColumnType::Memo: type = ftMemo; break;
    }
    defs.push_back({csv.Names[c], type, size});
  }
  LoadColumns(std::move(defs), std::move(csv.Columns), csv.RecordCount);
  TMemDataSet::InternalOpen();
}

void TCustomADODataSet::InternalClose() {
  TMemDataSet::InternalClose();
  // The records belong to the file; they go with the cursor.
  LoadColumns({}, {}, 0);
}

// ---------------------------------------------------------------------------------------------

TADOQuery::TADOQuery(TComponent* owner) : TCustomADODataSet(owner), sql_(std::make_unique<TStringList>()) {}
TADOQuery::~TADOQuery() {
  Destroying();
  try {
    Close();
  } catch (...) {
  }
}

void TADOQuery::GetCommand(String& tableName, Int64& top) const {
  String text = Trim(sql_->Text());
  while (!text.empty() && (text.back() == ';' || std::isspace(static_cast<unsigned char>(text.back())))) text.pop_back();
  std::size_t i = 0;
  auto bad = [&]() -> void { throw EADOError("Unsupported statement (only SELECT [TOP n] * FROM file): " + text); };
  if (!StartsWithWord(text, i, "SELECT")) bad();
  top = -1;
  if (StartsWithWord(text, i, "TOP")) {
    std::size_t st = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    if (st == i || i - st > 18) bad();
    top = std::stoll(text.substr(st, i - st));
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  }
  if (i >= text.size() || text[i] != '*') bad();
  ++i;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  if (!StartsWithWord(text, i, "FROM")) bad();
  tableName = StripBrackets(text.substr(i));
}

TADOTable::TADOTable(TComponent* owner) : TCustomADODataSet(owner) {}

void TADOTable::SetTableName(const String& v) {
  if (Active()) Close();
  tableName_ = v;
}

void TADOTable::GetCommand(String& tableName, Int64& top) const {
  tableName = StripBrackets(tableName_);
  top = -1;
}
