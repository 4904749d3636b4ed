// The text writer: golden lines for fixed widths, separators, begin and end strings and merged
// cells; display columns for full-width text.
#include <functional>

#include "ExportTestSupport.h"

namespace {

struct TTextCase {
  const char* name;
  std::vector<String> separators;
  std::vector<std::vector<String>> rows;
  std::function<void(IcxExportProvider& p)> more;
  String text;
};

TEST(cxTxtExport, LinesOfTheSheet) {
  const TTextCase cases[] = {
      {"fixed widths", {}, {{"ab", "c"}, {"x", "yz"}}, nullptr, "ab  c   \r\nx   yz  \r\n"},
      {"separator with begin and end strings", {",", "\"", "\""}, {{"ab", "c"}}, nullptr, "\"ab\",\"c\"\r\n"},
      {"only a separator", {"\t"}, {{"a", "b", ""}, {"c", "", "d"}}, nullptr, "a\tb\t\r\nc\t\td\r\n"},
      {"begin and end strings in fixed columns", {"", "[", "]"}, {{"ab", "c"}, {"x", "yz"}}, nullptr,
       "[ab]  [c]   \r\n[x]   [yz]  \r\n"},
      {"calls after the third are ignored", {";", "<", ">", "!"}, {{"a", "b"}}, nullptr, "<a>;<b>\r\n"},
      // The merged text counts 3 columns toward each of its two columns.
      {"merged cells share their width", {}, {{"abcdef", "hidden"}, {"x", "y"}},
       [](IcxExportProvider& p) { p.SetCellUnion(0, 0, 1, 2); }, "abcdef       \r\nx    y    \r\n"},
      // Full-width characters take two columns, so the columns line up.
      {"display columns", {}, {{"日本", "a"}, {"abcd", "ｶﾅ"}}, nullptr, "日本  a   \r\nabcd  ｶﾅ  \r\n"},
      {"typed values", {"|"}, {{"", ""}},
       [](IcxExportProvider& p) {
         p.SetCellDataDouble(0, 0, 2.5);
         p.SetCellDataWideString(1, 0, u"wide");
       },
       "2.5|wide\r\n"},
  };
  for (const TTextCase& c : cases) {
    TTempFolder dir;
    String file = dir.File("t.txt");
    {
      auto p = MakeProvider(cxExportToText, file);
      auto separators = std::dynamic_pointer_cast<IcxExportSeparators>(p);
      ASSERT_NE(separators, nullptr);
      for (const String& s : c.separators) separators->AddSeparator(s);
      p->SetRange(Integer(c.rows[0].size()), Integer(c.rows.size()), false);
      for (size_t r = 0; r < c.rows.size(); ++r)
        for (size_t col = 0; col < c.rows[r].size(); ++col)
          if (!c.rows[r][col].empty()) p->SetCellDataString(Integer(col), Integer(r), c.rows[r][col]);
      if (c.more) c.more(*p);
      EXPECT_FALSE(p->SupportGraphic());
      p->Commit();
    }
    EXPECT_EQ(ReadWholeFile(file), c.text) << c.name;
  }
}

TEST(cxTxtExport, WritesNothingBeforeCommitAndNoStylesOrNestedCaches) {
  TTempFolder dir;
  String file = dir.File("n.txt");
  auto p = MakeProvider(cxExportToText, file);
  p->SetRange(2, 1, false);
  p->SetCellStyle(0, 0, p->RegisterStyle(SampleStyle()));
  auto nested = MakeProvider(cxExportToText, file);
  nested->SetRange(1, 1, false);
  nested->SetCellDataString(0, 0, "detail");
  std::dynamic_pointer_cast<IcxCellInternalCache>(p)->SetCellCache(1, 0, std::dynamic_pointer_cast<IcxCellInternalCache>(nested));
  p->SetCellDataString(1, 0, "under the cache");
  EXPECT_FALSE(FileExists(file));
  p->Commit();
  EXPECT_EQ(ReadWholeFile(file), "    \r\n");
}

TEST(cxTxtExport, AFileThatCannotBeCreatedRaisesTheStreamError) {
  TTempFolder dir;
  auto p = MakeProvider(cxExportToText, dir.File("missing/x.txt"));
  p->SetRange(1, 1, false);
  EXPECT_THROW(p->Commit(), EFCreateError);
}

}  // namespace
