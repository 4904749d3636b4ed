#include <gtest/gtest.h>

#include "data/cxDataUtils.h"
#include "rtl/SysUtils.h"

namespace {

class DataUtilsTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings = TFormatSettings::EnglishUS();
  }
  void TearDown() override { FormatSettings = saved_; }
  TFormatSettings saved_;
};

TEST_F(DataUtilsTest, WeekStart) {
  struct Case {
    int localeFirstDay;  // 0 = Monday ... 6 = Sunday
    TDateTime date;
    TDateTime expected;
  } cases[] = {
      {0, EncodeDate(2024, 1, 14) + 0.7, EncodeDate(2024, 1, 8)},   // a Sunday, Monday first
      {6, EncodeDate(2024, 1, 14) + 0.7, EncodeDate(2024, 1, 14)},  // a Sunday, Sunday first
      {0, EncodeDate(2024, 1, 8), EncodeDate(2024, 1, 8)},          // the Monday itself
      {2, EncodeDate(2024, 1, 9), EncodeDate(2024, 1, 3)},          // Wednesday first, a Tuesday
      {5, EncodeDate(2024, 1, 1), EncodeDate(2023, 12, 30)},        // Saturday first, a Monday
  };
  for (const auto& c : cases) {
    FormatSettings.FirstDayOfWeek = Byte(c.localeFirstDay);
    EXPECT_EQ(WeekStartOf(c.date), c.expected) << c.localeFirstDay;
  }
  FormatSettings.FirstDayOfWeek = 0;
  EXPECT_EQ(GetFirstWeekDay(), 1);
  FormatSettings.FirstDayOfWeek = 6;
  EXPECT_EQ(GetFirstWeekDay(), 0);
  FormatSettings.FirstDayOfWeek = 9;  // unreadable: Monday
  EXPECT_EQ(GetFirstWeekDay(), 1);
}

TEST_F(DataUtilsTest, CurrencyDisplayFormat) {
  struct Case {
    const char* symbol;
    int decimals, format;
    const char* expected;
  } cases[] = {
      {"$", 2, 0, "$,0.00"},   {"$", 2, 2, "$ ,0.00"},  {"EUR", 2, 1, ",0.00EUR"},
      {"kr.", 0, 3, ",0. kr'.'"}, {"", 3, 0, ",0.000"}, {"a,b", 1, 0, "a','b,0.0"},
  };
  for (const auto& c : cases) {
    FormatSettings.CurrencyString = c.symbol;
    FormatSettings.CurrencyDecimals = Byte(c.decimals);
    FormatSettings.CurrencyFormat = Byte(c.format);
    EXPECT_EQ(CurrencyDisplayFormat(), c.expected) << c.symbol << c.format;
  }
}

TEST_F(DataUtilsTest, FloatPartsAndTextMatches) {
  EXPECT_EQ(TruncAsFloat(2.75), 2.0);
  EXPECT_EQ(TruncAsFloat(-2.75), -2.0);
  EXPECT_EQ(FracAsFloat(-2.75), -0.75);
  EXPECT_EQ(TruncAsFloat(1e20), 1e20);
  struct Case {
    const char *text, *sub;
    bool partial, expected;
  } cases[] = {
      {"abc", "AB", true, true},    {"ab", "abc", true, false}, {"abc", "", true, false},
      {"", "", false, true},        {"abc", "ABC", false, true}, {"abc", "ab", false, false},
      {"\xC3\xA9t\xC3\xA9", "\xC3\x89T", true, true},
  };
  for (const auto& c : cases) EXPECT_EQ(TextMatches(c.text, c.sub, c.partial), c.expected) << c.text << "/" << c.sub;
}

class TNamedItem : public TCollectionItem {
  KORVAN_CLASS(TNamedItem, TCollectionItem)

 public:
  explicit TNamedItem(TCollection* c) : TCollectionItem(c) {}
  String Text;
  void Assign(TPersistent* source) override {
    if (auto* s = dynamic_cast<TNamedItem*>(source)) Text = s->Text;
    else TCollectionItem::Assign(source);
  }
};
KORVAN_IMPLEMENT_CLASS(TNamedItem)

TEST_F(DataUtilsTest, CollectionAssignKeepsItemObjects) {
  TcxCollection dst(TNamedItem::StaticClass());
  TCollection src(TNamedItem::StaticClass());
  std::vector<TCollectionItem*> before;
  for (int i = 0; i < 5; ++i) before.push_back(dst.Add());
  for (const char* t : {"a", "b", "c"}) static_cast<TNamedItem*>(src.Add())->Text = t;
  dst.Assign(&src);
  ASSERT_EQ(dst.Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(dst.Items(i), before[std::size_t(i)]);
    EXPECT_EQ(static_cast<TNamedItem*>(dst.Items(i))->Text, static_cast<TNamedItem*>(src.Items(i))->Text);
  }
  static_cast<TNamedItem*>(src.Add())->Text = "d";
  dst.Assign(&src);
  EXPECT_EQ(dst.Count(), 4);
  EXPECT_EQ(static_cast<TNamedItem*>(dst.Items(3))->Text, "d");
  EXPECT_EQ(dst.UpdateCount(), 0);
}

TEST_F(DataUtilsTest, DataBindingDefaults) {
  TComponent owner(nullptr), data(nullptr), control(nullptr);
  TcxCustomDataBinding binding(&owner, &data);
  int changed = 0, setChanged = 0, update = 0;
  binding.OnDataChange = [&] { ++changed; };
  binding.OnDataSetChange = [&] { ++setChanged; };
  binding.OnUpdateData = [&] { ++update; };
  binding.DoDataChanged();
  binding.DoDataSetChanged();
  binding.DoUpdateData();
  EXPECT_EQ(changed + setChanged + update, 3);
  EXPECT_TRUE(binding.CanModify());
  binding.SetReadOnly(true);
  EXPECT_FALSE(binding.IsEditable());
  EXPECT_FALSE(binding.CanModify());
  EXPECT_TRUE(binding.IsDataAvailable());
  EXPECT_FALSE(binding.ExecuteBoundAction(nullptr));
  binding.SetVisualControl(&control);
  EXPECT_EQ(binding.VisualControl(), &control);
  EXPECT_EQ(binding.DataComponent(), &data);
}

}  // namespace
