// The in-memory ini store: typed values with their conversions, the text it reads and writes,
// lines that are neither a section nor a key, and files written beside and renamed over.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "rtl/IniFiles.h"

namespace {

TEST(IniFilesTest, TypedValuesAndTheirConversions) {
  TMemIniFile ini;
  ini.WriteInteger("S", "I", -42);
  ini.WriteBool("S", "B", true);
  ini.WriteString("S", "Text", "Grüße = 1");
  EXPECT_EQ(ini.ReadInteger("s", "i", 0), -42);  // names regardless of case
  EXPECT_TRUE(ini.ReadBool("S", "B", false));
  EXPECT_EQ(ini.ReadString("S", "Text", ""), "Grüße = 1");
  struct Case {
    const char* stored;
    Integer asInteger;
    bool asBool;
  };
  Case cases[] = {{"7", 7, true}, {"0", 0, false}, {"$1F", 31, true}, {"x", 5, true}, {"", 5, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    ini.WriteString("T", "K", c.stored);
    EXPECT_EQ(ini.ReadInteger("T", "K", 5), c.asInteger);
    EXPECT_EQ(ini.ReadBool("T", "K", true), c.asBool);
  }
  EXPECT_EQ(ini.ReadInteger("Missing", "K", 9), 9);
  EXPECT_FALSE(ini.SectionExists("Missing"));
  EXPECT_TRUE(ini.ValueExists("S", "B"));
}

TEST(IniFilesTest, TextRoundTripAndMalformedLines) {
  TMemIniFile ini;
  ini.SetText("\xEF\xBB\xBF; comment\n[A]\nX=1\n\nnot a key\n[B]\nY=two\n=\n");
  EXPECT_EQ(ini.MalformedLines(), (std::vector<Integer>{5}));
  EXPECT_EQ(ini.ReadString("B", "Y", ""), "two");
  TStringList sections;
  ini.ReadSections(&sections);
  ASSERT_EQ(sections.Count(), 2);
  EXPECT_EQ(sections[1], "B");
  TMemIniFile copy;
  copy.SetText(ini.Text());
  EXPECT_EQ(copy.Text(), ini.Text());
  EXPECT_TRUE(copy.MalformedLines().empty());
  // A key before any section is malformed too.
  copy.SetText("K=1\n[S]\n");
  EXPECT_EQ(copy.MalformedLines(), (std::vector<Integer>{1}));
}

TEST(IniFilesTest, FilesAreWrittenBesideAndRenamedOver) {
  String dir = (std::filesystem::temp_directory_path() / "korvan_ini_XXXXXX").string();
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  String path = dir + "/layout.ini";
  {
    TMemIniFile ini(path);  // missing: empty
    ini.WriteString("S", "K", "ä");
    ini.UpdateFile();
  }
  TMemIniFile back(path);
  EXPECT_EQ(back.ReadString("S", "K", ""), "ä");
  // A write that cannot create its file beside the old one leaves the old file whole.
  std::filesystem::create_directory(path + ".tmp");
  back.WriteString("S", "K", "new");
  EXPECT_THROW(back.UpdateFile(), EFCreateError);
  EXPECT_EQ(TMemIniFile(path).ReadString("S", "K", ""), "ä");
  std::filesystem::remove_all(dir);
}

}  // namespace
