// The check-states value formats: encoding and decoding tables, malformed values, the
// 64-item limit of the integer format and the number reader.
#include <gtest/gtest.h>

#include "editors/cxCheckBox.h"
#include "rtl/Variants.h"

namespace {

class TCaptions : public IcxCheckItemCaptions {
 public:
  explicit TCaptions(std::vector<String> c) : captions(std::move(c)) {}
  String GetCaption(Integer index) override { return captions.at(size_t(index)); }
  Integer GetCount() override { return Integer(captions.size()); }
  std::vector<String> captions;
};

String StatesText(const TcxCheckStates& s) {
  String r;
  for (auto x : s) r += char('0' + Integer(x));
  return r;
}

TEST(CheckStates, EncodesEachFormat) {
  TCaptions items({"Apple", "Pear", "Fig"});
  struct Case {
    TcxCheckStates states;
    String captions, indices, statesString;
    Int64 integer;
  } cases[] = {
      {{cbsChecked, cbsGrayed, cbsUnchecked}, "4:Pear;5:Apple", "1;0", "120", 1},
      {{cbsChecked, cbsUnchecked, cbsUnchecked}, ";5:Apple", ";0", "100", 1},
      {{cbsUnchecked, cbsUnchecked, cbsUnchecked}, "", "", "000", 0},
      {{cbsGrayed, cbsGrayed, cbsUnchecked}, "5:Apple4:Pear", "0,1", "220", 0},
      {{cbsChecked, cbsChecked, cbsChecked}, ";5:Apple4:Pear3:Fig", ";0,1,2", "111", 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeCheckStates(c.states, &items, cvfCaptions).AsString(), c.captions);
    EXPECT_EQ(EncodeCheckStates(c.states, &items, cvfIndices).AsString(), c.indices);
    EXPECT_EQ(EncodeCheckStates(c.states, &items, cvfStatesString).AsString(), c.statesString);
    const Variant v = EncodeCheckStates(c.states, &items, cvfInteger);
    EXPECT_EQ(v.VarType(), varInt64);
    EXPECT_EQ(v.AsInt64(), c.integer);
    // Each value decodes back to the states.
    for (auto f : {cvfCaptions, cvfIndices, cvfStatesString}) {
      TcxCheckStates back;
      EXPECT_TRUE(DecodeCheckStates(EncodeCheckStates(c.states, &items, f), &items, f, back));
      EXPECT_EQ(StatesText(back), StatesText(c.states)) << int(f);
    }
  }
  // Empty lists give empty (not Null) strings; an unknown format gives Null.
  EXPECT_TRUE(EncodeCheckStates({}, &items, cvfCaptions).IsString());
  EXPECT_TRUE(EncodeCheckStates({}, &items, TcxCheckStatesValueFormat(7)).IsNull());
}

TEST(CheckStates, CaptionLengthsCountBytes) {
  TCaptions items({"Äpfel", "a;b:1"});
  const Variant v = EncodeCheckStates({cbsChecked, cbsGrayed}, &items, cvfCaptions);
  EXPECT_EQ(v.AsString(), "5:a;b:1;6:Äpfel");
  TcxCheckStates s;
  EXPECT_TRUE(DecodeCheckStates(v, &items, cvfCaptions, s));
  EXPECT_EQ(StatesText(s), "12");
}

TEST(CheckStates, DecodesTablesOfValues) {
  TCaptions two({"Apple", "Pear"});
  TCaptions three({"a", "b", "c"});
  TCaptions four({"a", "b", "c", "d"});
  TCaptions twins({"Fig", "fig", "Fig"});
  TCaptions none({});
  struct Case {
    IcxCheckItemCaptions* items;
    TcxCheckStatesValueFormat format;
    Variant value;
    bool ok;
    String states;
  } cases[] = {
      {&two, cvfCaptions, "5:Apple;4:Pear", true, "21"},
      {&two, cvfCaptions, "5:APPLE", true, "20"},
      {&two, cvfCaptions, "5:Apple;", false, "00"},
      {&two, cvfCaptions, "6:Apple", false, "00"},
      {&two, cvfCaptions, "5:Apple;4:Pear;", false, "00"},
      {&two, cvfCaptions, "4:Pear;5:Peach", false, "00"},  // a caption no item has
      {&two, cvfCaptions, "5;Apple", false, "00"},
      {&two, cvfCaptions, "0:", false, "00"},  // an empty caption names no item
      {&two, cvfCaptions, Null(), true, "00"},
      {&two, cvfCaptions, "", true, "00"},
      {&twins, cvfCaptions, "3:fig;3:FIG", true, "210"},  // two pairs for two equal captions
      {&twins, cvfCaptions, "3:fig3:fig3:fig", true, "222"},
      {&twins, cvfCaptions, "3:fig3:fig3:fig3:fig", false, "000"},
      {&three, cvfIndices, "1,,2", false, "000"},
      {&three, cvfIndices, "1,2,", true, "022"},
      {&three, cvfIndices, "3", false, "000"},
      {&three, cvfIndices, "2147483648", false, "000"},
      {&three, cvfIndices, "0;1;2", false, "000"},
      {&three, cvfIndices, "0;1,2", true, "211"},
      {&three, cvfIndices, "0,0;0", true, "100"},  // a later entry wins
      {&three, cvfIndices, "1 2", false, "000"},
      {&three, cvfIndices, "-1", false, "000"},
      {&four, cvfStatesString, "12", true, "1200"},
      {&four, cvfStatesString, "1x", false, "0000"},
      {&four, cvfStatesString, "121201", true, "1212"},
      {&none, cvfStatesString, "2", true, ""},
      {&four, cvfStatesString, Null(), true, "0000"},
      {&four, cvfInteger, "12", true, "0011"},
      {&four, cvfInteger, "x", false, "0000"},
      {&four, cvfInteger, Null(), true, "0000"},
      {&four, cvfInteger, 5.0, true, "1010"},
      {&four, cvfInteger, 1e300, false, "0000"},
      {&four, cvfInteger, VarArrayOf({Variant(1)}), false, "0000"},
      {&three, cvfCaptions, true, false, "000"},
      {&three, cvfIndices, 12, false, "000"},
      {&three, cvfStatesString, 12, false, "000"},
      {&three, TcxCheckStatesValueFormat(9), "1", false, "000"},
  };
  for (const auto& c : cases) {
    TcxCheckStates s{cbsChecked};  // replaced whatever it held
    EXPECT_EQ(DecodeCheckStates(c.value, c.items, c.format, s), c.ok) << VarToStr(c.value);
    EXPECT_EQ(StatesText(s), c.states) << VarToStr(c.value);
  }
}

TEST(CheckStates, IntegerFormatHoldsSixtyFourItems) {
  std::vector<String> names(70, "x");
  TCaptions items(names);
  TcxCheckStates all(70, cbsChecked);
  const Variant v = EncodeCheckStates(all, &items, cvfInteger);
  EXPECT_EQ(v.AsInt64(), -1);
  TcxCheckStates back;
  ASSERT_TRUE(DecodeCheckStates(v, &items, cvfInteger, back));
  ASSERT_EQ(back.size(), 70u);
  for (size_t i = 0; i < 70; ++i) EXPECT_EQ(back[i], i < 64 ? cbsChecked : cbsUnchecked) << i;
  // A grayed item is not a checked bit.
  EXPECT_EQ(EncodeCheckStates({cbsGrayed, cbsChecked}, &items, cvfInteger).AsInt64(), 2);
}

TEST(CheckStates, NumberReader) {
  struct Case {
    String text;
    Integer start;
    bool ok;
    Integer number, end;
  } cases[] = {
      {"123", 1, true, 123, 4},       {"12:x", 1, true, 12, 3},   {"x12", 2, true, 12, 4},
      {"2147483647", 1, true, 2147483647, 11}, {"2147483648", 1, false, 0, 0},
      {"21474836470", 1, false, 0, 0}, {"", 1, false, 0, 0},     {"a", 1, false, 0, 0},
      {"1", 2, false, 0, 0},          {"+1", 1, false, 0, 0},
  };
  for (const auto& c : cases) {
    Integer n = 0, pos = c.start;
    EXPECT_EQ(ParseDecimalNumber(n, pos, c.text), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(n, c.number);
      EXPECT_EQ(pos, c.end);
    }
  }
}

}  // namespace
