// The CSV query: files as text, the fields, types and values it gives, and the errors it
// raises for files it cannot read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "db/ADODB.h"
#include "db/CsvReader.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

// A scratch folder of its own for each test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    path_ = fs::temp_directory_path() /
            ("korvan-csv-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  String Path() const { return path_.string(); }
  void Write(const String& name, const String& bytes) const {
    std::ofstream f(path_ / fs::u8path(name), std::ios::binary);
    f << bytes;
  }

 private:
  fs::path path_;
  static inline int counter_ = 0;
};

String ConnectionTo(const String& folder) {
  return "Provider=TextProvider;Extended Properties=\"DRIVER={Text Driver (*.txt; *.csv)};DBQ=" + folder + "\"";
}

std::unique_ptr<TADOQuery> NewQuery(const String& folder, const String& table, int top = 100) {
  auto q = std::make_unique<TADOQuery>(nullptr);
  q->SetCursorType(ctStatic);
  q->SetLockType(ltReadOnly);
  q->SetMaxRecords(100);
  q->SetConnectionString(ConnectionTo(folder));
  q->SQL()->SetText("SELECT TOP " + std::to_string(top) + " * FROM " + table);
  return q;
}

String Show(TField* f) {
  if (f->IsNull()) return "NULL";
  switch (f->DataType()) {
    case ftDateTime: return FormatDateTime("yyyy-mm-dd hh:nn:ss", f->AsDateTime());
    case ftFloat: return FloatToStr(f->AsFloat(), TFormatSettings::EnglishUS());
    default: return f->AsString();
  }
}

String FieldList(TDataSet* ds) {
  String s;
  for (Integer i = 0; i < ds->FieldCount(); ++i) {
    TField* f = ds->Fields()->Fields(i);
    if (!s.empty()) s += ",";
    s += f->FieldName() + ":" + FieldTypeName(f->DataType());
  }
  return s;
}

std::vector<std::vector<String>> Rows(TDataSet* ds) {
  std::vector<std::vector<String>> rows;
  ds->First();
  while (!ds->Eof()) {
    std::vector<String> row;
    for (Integer i = 0; i < ds->FieldCount(); ++i) row.push_back(Show(ds->Fields()->Fields(i)));
    rows.push_back(row);
    ds->Next();
  }
  return rows;
}

String Repeat(const String& s, int n) {
  String r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

String Numbered(int n) {
  String r = "n\n";
  for (int i = 1; i <= n; ++i) r += std::to_string(i) + "\n";
  return r;
}

struct CsvCase {
  const char* name;
  String text;
  String fields;
  std::vector<std::vector<String>> rows;
};

const String kLong = Repeat("x", 300);

const CsvCase kCases[] = {
    {"quoted comma", "a,b\n\"x,y\",1\n", "a:String,b:Integer", {{"x,y", "1"}}},
    {"doubled quotes", "a\n\"say \"\"hi\"\"\"\n", "a:String", {{"say \"hi\""}}},
    {"line break inside quotes", "a,b\n\"l1\r\nl2\",2\n", "a:String,b:Integer", {{"l1\r\nl2", "2"}}},
    {"CRLF lines", "a,b\r\n1,2\r\n3,4\r\n", "a:Integer,b:Integer", {{"1", "2"}, {"3", "4"}}},
    {"CR lines", "a\r1\r2\r", "a:Integer", {{"1"}, {"2"}}},
    {"last line without break", "a,b\n1,2", "a:Integer,b:Integer", {{"1", "2"}}},
    {"empty values: unquoted null, quoted empty text", "a,b,c\n,\"\",x\n1,\"\",\n",
     "a:Integer,b:String,c:String", {{"NULL", "", "x"}, {"1", "", "NULL"}}},
    {"ragged rows: values beyond the header get columns of their own", "a,b,c\n1\n1,2,3,4\nx,,,,y\n",
     "a:String,b:Integer,c:Integer,F4:Integer,F5:String",
     {{"1", "NULL", "NULL", "NULL", "NULL"}, {"1", "2", "3", "4", "NULL"}, {"x", "NULL", "NULL", "NULL", "y"}}},
    {"an added column's name stays unique", "F3,b\n1,2,3\n", "F3:Integer,b:Integer,F31:Integer", {{"1", "2", "3"}}},
    {"duplicate and empty names", "a,,A,a, b \n1,2,3,4,5\n", "a:Integer,F2:Integer,A1:Integer,a2:Integer,b:Integer",
     {{"1", "2", "3", "4", "5"}}},
    {"signs and decimals", "i,f\n+5,-1.5\n-7,2.25e2\n", "i:Integer,f:Float", {{"5", "-1.5"}, {"-7", "225"}}},
    {"integers widen to float", "n\n1\n2.5\n", "n:Float", {{"1"}, {"2.5"}}},
    {"beyond 32 bits is float", "n\n2147483647\n2147483648\n", "n:Float", {{"2147483647"}, {"2147483648"}}},
    {"a later text widens to text", "n\n1\nabc\n", "n:String", {{"1"}, {"abc"}}},
    {"late text keeps the earlier texts as written", "a,b\n+1,\"x,\r\ny\"\n\n 2 \n3.0,z\nabc,w\n",
     "a:String,b:String", {{"+1", "x,\r\ny"}, {" 2 ", "NULL"}, {"3.0", "z"}, {"abc", "w"}}},
    {"driver dates", "d\n2024-03-31\n2024/04/01 13:45\n2024-04-02T08:00:30\n", "d:DateTime",
     {{"2024-03-31 00:00:00"}, {"2024-04-01 13:45:00"}, {"2024-04-02 08:00:30"}}},
    {"locale dates", "d\n3/31/2024\n12/1/24 9:05\n", "d:DateTime", {{"2024-03-31 00:00:00"}, {"2024-12-01 09:05:00"}}},
    {"invalid date is text", "d\n2024-02-30\n", "d:String", {{"2024-02-30"}}},
    {"dates and numbers mixed are text", "d\n2024-03-31\n5\n", "d:String", {{"2024-03-31"}, {"5"}}},
    {"byte-order mark", "\xEF\xBB\xBF" "a,b\n1,x\n", "a:Integer,b:String", {{"1", "x"}}},
    {"UTF-16 with byte-order mark", String("\xFF\xFE" "a\0,\0b\0\n\0" "1\0,\0x\0\n\0", 18), "a:Integer,b:String",
     {{"1", "x"}}},
    {"Japanese in UTF-8", "名前,都市\n山田,東京\n", "名前:String,都市:String", {{"山田", "東京"}}},
    {"long text is memo", "m,n\n" + kLong + ",1\n", "m:Memo,n:Integer", {{kLong, "1"}}},
    {"blank lines are skipped", "a\n\n1\n\r\n2\n\n", "a:Integer", {{"1"}, {"2"}}},
    {"a few bad sequences in UTF-8 become U+FFFD", "a\ncafé\nnaïve\nbad\xFF\n", "a:String",
     {{"café"}, {"naïve"}, {"bad\uFFFD"}}},
    {"valid UTF-8 outweighs a Shift-JIS reading", "a\n" + Repeat("é\n", 8) + "x\x82\xA0\n", "a:String",
     {{"é"}, {"é"}, {"é"}, {"é"}, {"é"}, {"é"}, {"é"}, {"é"}, {"x\uFFFD\uFFFD"}}},
    {"text after a closing quote is kept", "a\n\"ab\"cd\n", "a:String", {{"abcd"}}},
    {"empty file", "", "", {}},
    {"header only", "a,b\n", "a:String,b:String", {}},
};

void PrintTo(const CsvCase& c, std::ostream* os) { *os << c.name; }

class CsvCases : public testing::TestWithParam<CsvCase> {};

TEST_P(CsvCases, FieldsTypesAndValues) {
  const CsvCase& c = GetParam();
  TempFolder dir;
  dir.Write("data.csv", c.text);
  auto q = NewQuery(dir.Path(), "data.csv");
  q->Open();
  EXPECT_EQ(FieldList(q.get()), c.fields);
  EXPECT_EQ(Rows(q.get()), c.rows);
  EXPECT_EQ(q->RecordCount(), Integer(c.rows.size()));
  EXPECT_FALSE(q->CanModify());
}

INSTANTIATE_TEST_SUITE_P(Files, CsvCases, testing::ValuesIn(kCases), [](const auto& info) {
  String n;
  for (char ch : String(info.param.name)) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return n;
});

TEST(CsvQuery, ShiftJisFileWithJapaneseColumnNames) {
  auto q = NewQuery(testing_support::FixturePath("csv"), "shift_jis.csv");
  q->Open();
  EXPECT_EQ(q->FileEncoding(), "Shift-JIS");
  EXPECT_EQ(FieldList(q.get()), "名前:String,年齢:Integer,登録日:DateTime");
  EXPECT_EQ(Rows(q.get()), (std::vector<std::vector<String>>{{"山田太郎", "30", "2024-01-15 00:00:00"},
                                                            {"鈴木花子", "25", "2023-12-01 00:00:00"}}));
}

TEST(CsvQuery, TopAndMaxRecordsKeepTheFirstRecordsInFileOrder) {
  TempFolder dir;
  dir.Write("many.csv", Numbered(150));
  struct Limit {
    int top;
    int maxRecords;
    int expected;
  };
  for (Limit l : {Limit{100, 100, 100}, Limit{10, 100, 10}, Limit{200, 0, 150}, Limit{200, 120, 120}, Limit{0, 100, 0}}) {
    auto q = NewQuery(dir.Path(), "many.csv", l.top);
    q->SetMaxRecords(l.maxRecords);
    q->Open();
    EXPECT_EQ(q->RecordCount(), l.expected) << "TOP " << l.top << ", MaxRecords " << l.maxRecords;
    if (l.expected > 0) {
      q->Last();
      EXPECT_EQ(q->FieldByName("n")->AsInteger(), l.expected);
    }
  }
}

// The encoding is decided on the file's beginning, so a limit does not change how the records
// read: a UTF-8 beginning stays UTF-8 though a Shift-JIS character follows far behind.
TEST(CsvQuery, TheEncodingIsTheSameWhateverTheLimit) {
  TempFolder dir;
  String text = "name\né\n";
  for (int i = 0; text.size() < (3u << 19); ++i) text += "line " + std::to_string(i) + "\n";
  dir.Write("late.csv", text + "\x82\xA0\n");
  for (int top : {1, 1000000}) {
    auto q = NewQuery(dir.Path(), "late.csv", top);
    q->SetMaxRecords(0);
    q->Open();
    EXPECT_EQ(q->FileEncoding(), "UTF-8") << top;
    q->First();
    EXPECT_EQ(q->FieldByName("name")->AsString(), "é") << top;
    if (top > 1) {
      q->Last();
      EXPECT_EQ(q->FieldByName("name")->AsString(), "\uFFFD\uFFFD");
    }
  }
}

// With a record limit only the beginning of a large file is read: what follows the records
// read cannot make the file fail, and records longer than the first read still come whole.
TEST(CsvQuery, LimitedReadsStopAfterTheRecordsRead) {
  TempFolder dir;
  dir.Write("tail.csv", Numbered(100) + String(3 << 20, '\0'));
  auto q = NewQuery(dir.Path(), "tail.csv", 100);
  q->Open();
  EXPECT_EQ(q->RecordCount(), 100);
  auto all = NewQuery(dir.Path(), "tail.csv", 1000000);
  all->SetMaxRecords(0);
  EXPECT_THROW(all->Open(), EDatabaseError);

  // The same for UTF-16: after 100 records, an odd byte that makes the whole file fail.
  String utf16 = "\xFF\xFE";
  for (char ch : Numbered(100) + String(1 << 20, 'x')) utf16 += String(1, ch) + String(1, '\0');
  dir.Write("tail16.csv", utf16 + "!");
  auto q16 = NewQuery(dir.Path(), "tail16.csv", 100);
  q16->Open();
  EXPECT_EQ(q16->RecordCount(), 100);
  EXPECT_EQ(q16->FileEncoding(), "UTF-16LE");
  auto all16 = NewQuery(dir.Path(), "tail16.csv", 1000000);
  all16->SetMaxRecords(0);
  EXPECT_THROW(all16->Open(), EDatabaseError);

  String wide = "id,text\n";
  for (int i = 1; i <= 120; ++i) wide += std::to_string(i) + ",\"" + Repeat("line\n", 4000) + "\"\n";
  dir.Write("wide.csv", wide);
  auto w = NewQuery(dir.Path(), "wide.csv", 100);
  w->Open();
  EXPECT_EQ(w->RecordCount(), 100);
  EXPECT_EQ(FieldList(w.get()), "id:Integer,text:Memo");
  w->Last();
  EXPECT_EQ(w->FieldByName("id")->AsInteger(), 100);
  EXPECT_EQ(w->FieldByName("text")->AsString(), Repeat("line\n", 4000));
}

TEST(CsvQuery, TypesAreGuessedFromTheRecordsReadOnly) {
  TempFolder dir;
  dir.Write("late.csv", "n\n1\n2\nlate text\n");
  auto q = NewQuery(dir.Path(), "late.csv", 2);
  q->Open();
  EXPECT_EQ(FieldList(q.get()), "n:Integer");
}

TEST(CsvQuery, TableNamesWithBlanksJapaneseAndOtherExtensions) {
  TempFolder dir;
  for (const char* name : {"my data.csv", "売上 2024.csv", "plain.txt", "t.TAB", "x.asc"}) {
    dir.Write(name, "a\n1\n");
    for (String sql_name : {String(name), "[" + String(name) + "]"}) {
      auto q = NewQuery(dir.Path(), sql_name);
      ASSERT_NO_THROW(q->Open()) << name;
      EXPECT_EQ(q->FieldByName("a")->AsInteger(), 1) << name;
    }
  }
}

TEST(CsvQuery, DatesInTheLocalesOrderBesideTheDriversForms) {
  TempFolder dir;
  dir.Write("d.csv", "local,driver\n31.03.2024,2024-03-31\n01.12.2023 08:15,2023/12/01\n");
  TFormatSettings saved = FormatSettings;
  FormatSettings.ShortDateFormat = "dd.MM.yyyy";
  FormatSettings.DateSeparator = '.';
  auto q = NewQuery(dir.Path(), "d.csv");
  try {
    q->Open();
  } catch (...) {
    FormatSettings = saved;
    throw;
  }
  FormatSettings = saved;
  EXPECT_EQ(FieldList(q.get()), "local:DateTime,driver:DateTime");
  EXPECT_EQ(Rows(q.get()), (std::vector<std::vector<String>>{{"2024-03-31 00:00:00", "2024-03-31 00:00:00"},
                                                            {"2023-12-01 08:15:00", "2023-12-01 00:00:00"}}));
}

TEST(CsvQuery, SchemaIniBesideTheFileIsIgnored) {
  TempFolder dir;
  dir.Write("Schema.ini", "[data.csv]\nColNameHeader=False\nFormat=TabDelimited\nCol1=x Char Width 10\n");
  dir.Write("data.csv", "a,b\n1,2\n");
  auto q = NewQuery(dir.Path(), "data.csv");
  q->Open();
  EXPECT_EQ(FieldList(q.get()), "a:Integer,b:Integer");
}

TEST(CsvQuery, ConnectionStringFolders) {
  struct Case {
    String text;
    String folder;
  } cases[] = {
      {"Provider=P;Extended Properties=\"DRIVER={A; B};DBQ=/data/x\"", "/data/x"},
      {"DBQ=/tmp/y;Provider=P", "/tmp/y"},
      {"Extended Properties='DefaultDir=/a;DBQ=/b'", "/b"},
      {"Provider=P;Extended Properties=\"DRIVER={x}\"", ""},
      {"dbq = /spaced ", "/spaced"},
  };
  for (const Case& c : cases) EXPECT_EQ(ConnectionStringFolder(c.text), c.folder) << c.text;
}

// Bad input: a clear exception naming the file, the data set closed and usable again.
TEST(CsvQuery, BadInputRaisesAndLeavesTheQueryClosedAndUsable) {
  TempFolder dir;
  dir.Write("good.csv", "a\n1\n");
  dir.Write("image.csv", String("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  dir.Write("notes.xls", "a\n1\n");
  dir.Write("wide.csv", Repeat("c,", 299) + "c\n");
  dir.Write("latin1.csv", "name\ncaf\xE9\xFF\n");
  dir.Write("bom_bad.csv", "\xEF\xBB\xBFname\ncaf\xE9\n");
  dir.Write("odd16.csv", String("\xFF\xFE" "a\0\n", 5));
  dir.Write("open.csv", "a,b\r\n1,2\r\n\r\n3,\"open\n4,5\n");
  fs::create_directory(fs::path(dir.Path()) / "folder.csv");
  ASSERT_EQ(::mkfifo((fs::path(dir.Path()) / "pipe.csv").c_str(), 0600), 0);
  struct Case {
    String sql;
    String connection;
    String message_part;
  } cases[] = {
      {"SELECT TOP 100 * FROM missing.csv", "", "missing.csv"},
      {"SELECT TOP 100 * FROM image.csv", "", "'image.csv' is not a text file"},
      {"SELECT TOP 100 * FROM notes.xls", "", "notes.xls"},
      {"SELECT TOP 100 * FROM wide.csv", "", "more than 255 columns"},
      {"SELECT TOP 100 * FROM folder.csv", "", "folder.csv"},
      {"SELECT TOP 100 * FROM pipe.csv", "", "pipe.csv' is not a regular file"},
      {"SELECT TOP 100 * FROM latin1.csv", "", "'latin1.csv' is neither UTF-8 nor Shift-JIS"},
      {"SELECT TOP 100 * FROM bom_bad.csv", "", "'bom_bad.csv' is not valid UTF-8"},
      {"SELECT TOP 100 * FROM odd16.csv", "", "'odd16.csv' is not valid UTF-16LE"},
      {"SELECT TOP 100 * FROM open.csv", "", "'open.csv' has a quoted value without its closing quote, starting on line 4"},
      {"SELECT TOP 100 * FROM ../good.csv", "", "../good.csv"},
      {"DELETE FROM good.csv", "", "Unsupported statement"},
      {"SELECT TOP 100 * FROM good.csv", "Provider=P", "names no folder"},
  };
  for (const Case& c : cases) {
    auto q = std::make_unique<TADOQuery>(nullptr);
    q->SetConnectionString(c.connection.empty() ? ConnectionTo(dir.Path()) : c.connection);
    q->SQL()->SetText(c.sql);
    try {
      q->Open();
      ADD_FAILURE() << c.sql << ": no exception";
    } catch (const EDatabaseError& e) {
      EXPECT_NE(e.Message().find(c.message_part), String::npos) << c.sql << ": " << e.Message();
    }
    EXPECT_FALSE(q->Active()) << c.sql;
    EXPECT_EQ(q->FieldCount(), 0) << c.sql;
    // The same query opens a good file afterwards.
    q->SetConnectionString(ConnectionTo(dir.Path()));
    q->SQL()->SetText("SELECT TOP 100 * FROM good.csv");
    ASSERT_NO_THROW(q->Open()) << c.sql;
    EXPECT_EQ(q->FieldByName("a")->AsInteger(), 1);
  }
}

TEST(CsvQuery, ReopeningOnAnotherFileReplacesFieldsAndRecords) {
  TempFolder dir;
  dir.Write("one.csv", "a,b\n1,x\n2,y\n");
  dir.Write("two.csv", "c\n2024-01-01\n");
  auto q = NewQuery(dir.Path(), "one.csv");
  q->Open();
  EXPECT_EQ(q->RecordCount(), 2);
  q->Close();
  q->SQL()->SetText("SELECT TOP 100 * FROM two.csv");
  q->Open();
  EXPECT_EQ(FieldList(q.get()), "c:DateTime");
  EXPECT_EQ(q->RecordCount(), 1);
}

// Form descriptions create the query and its data source by class name and set their
// published properties by name.
TEST(CsvQuery, CreatedAndSetUpByNameAsAFormDoes) {
  InitializeADODB();
  TempFolder dir;
  dir.Write("f.csv", "a\n1\n2\n");
  TComponent form(nullptr);
  auto* q = static_cast<TDataSet*>(FindClass("TADOQuery")->Create(&form));
  auto* src = static_cast<TDataSource*>(FindClass("tdatasource")->Create(&form));
  SetEnumProp(q, "CursorType", "ctStatic");
  SetEnumProp(q, "LockType", "ltReadOnly");
  SetOrdProp(q, "MaxRecords", 1);
  SetStrProp(q, "ConnectionString", ConnectionTo(dir.Path()));
  static_cast<TStrings*>(GetObjectProp(q, "SQL"))->SetText("SELECT TOP 100 * FROM f.csv");
  SetObjectProp(src, "DataSet", q);
  q->Open();
  EXPECT_EQ(q->RecordCount(), 1);
  EXPECT_EQ(src->State(), dsBrowse);
  EXPECT_EQ(GetEnumProp(q, "LockType"), "ltReadOnly");
  EXPECT_NE(FindClass("TIntegerField"), nullptr);
  TMemQuery mq(nullptr);
  EXPECT_EQ(GetObjectProp(&mq, "Params"), mq.Params());
}

TEST(CsvReader, DateFormsFollowTheLocaleOrder) {
  struct Case {
    const char* text;
    const char* format;
    char sep;
    bool ok;
    const char* expected;
  } cases[] = {
      {"31.03.2024", "dd.MM.yyyy", '.', true, "2024-03-31"},
      {"03/31/2024", "M/d/yyyy", '/', true, "2024-03-31"},
      {"31/03/2024", "M/d/yyyy", '/', false, ""},
      {"2024/03/31", "dd.MM.yyyy", '.', true, "2024-03-31"},
      {"1/2/3", "M/d/yyyy", '/', false, ""},
      {"25:00", "M/d/yyyy", '/', false, ""},
      {"07:30:15.5", "M/d/yyyy", '/', true, "1899-12-30 07:30:15"},
      {"1/2/99", "M/d/yyyy", '/', true, "1999-01-02"},
      {"1/2/30", "M/d/yyyy", '/', true, "2030-01-02"},
  };
  for (const Case& c : cases) {
    TCsvLocale locale;
    locale.ShortDateFormat = c.format;
    locale.DateSeparator = c.sep;
    locale.CurrentYear = 2026;
    double v = 0;
    bool ok = TryParseCsvDateTime(c.text, locale, v);
    EXPECT_EQ(ok, c.ok) << c.text;
    if (ok && c.ok) {
      String shown = FormatDateTime(String(c.expected).size() > 10 ? "yyyy-mm-dd hh:nn:ss" : "yyyy-mm-dd", v);
      EXPECT_EQ(shown, c.expected) << c.text;
    }
  }
}

}  // namespace

namespace {

// Arbitrary short texts of the characters that matter: every outcome is either a clear error
// or columns that all hold one value per record, and reading again gives the same.
TEST(CsvReader, ArbitraryTextsGiveConsistentColumnsOrAClearError) {
  const char alphabet[] = {'"', '"', ',', ',', '\r', '\n', 'a', '1', '2', '-', '.', '/', ':', ' ', 'e', '\xE6', '\x97', '\xA5'};
  uint32_t seed = 99;
  auto rnd = [&](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  for (int round = 0; round < 2000; ++round) {
    String text;
    std::size_t len = rnd(60);
    for (std::size_t i = 0; i < len; ++i) text += alphabet[rnd(sizeof alphabet)];
    TCsvOptions options;
    options.MaxRecords = round % 3 == 0 ? int64_t(rnd(4)) : -1;
    options.Locale.CurrentYear = 2026;
    try {
      TCsvTable t = ReadCsvBytes(text, options, "x.csv");
      ASSERT_EQ(t.Columns.size(), t.Names.size());
      ASSERT_EQ(t.Types.size(), t.Names.size());
      for (const TMemColumn& c : t.Columns) ASSERT_EQ(c.Count(), t.RecordCount) << testing::PrintToString(text);
      if (options.MaxRecords >= 0) {
        ASSERT_LE(int64_t(t.RecordCount), options.MaxRecords);
      }
      TCsvTable again = ReadCsvBytes(text, options, "x.csv");
      ASSERT_EQ(again.Names, t.Names);
      ASSERT_EQ(again.RecordCount, t.RecordCount);
    } catch (const ECsvError& e) {
      ASSERT_NE(e.Message().find("'x.csv'"), String::npos) << e.Message();
    }
  }
}

}  // namespace
