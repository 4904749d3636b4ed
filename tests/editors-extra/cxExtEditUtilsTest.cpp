// Stored-value texts: streams as "Hex:" text and back, the Boolean texts, and bad input.
#include <gtest/gtest.h>

#include "editors-extra/cxExtEditUtils.h"

namespace {

TEST(ExtEditUtils, StreamsAsHexTextAndBack) {
  EXPECT_EQ(EncodeStreamAsHexText(nullptr), "");
  TMemoryStream empty;
  EXPECT_EQ(EncodeStreamAsHexText(&empty), "");
  TMemoryStream s;
  const uint8_t bytes[] = {0x00, 0x0F, 0xA0, 0xFF, 0x7E};
  s.WriteBuffer(bytes, 5);  // the position is at the end: the whole stream is read anyway
  EXPECT_EQ(EncodeStreamAsHexText(&s), "Hex:000FA0FF7E");
  struct Case {
    const char* text;
    std::string bytes;
  } cases[] = {
      {"Hex:000fa0Ff7e", std::string("\x00\x0F\xA0\xFF\x7E", 5)},
      {"XXXX4142", "AB"},  // the prefix is not checked
      {"Hex:414", "A"},    // a last unpaired digit is ignored
      {"Hex:4", ""},       // five characters or fewer: nothing
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TMemoryStream out;
    DecodeHexTextToStream(c.text, &out);
    const std::string& expected = c.bytes;
    ASSERT_EQ(out.Size(), Int64(expected.size()));
    EXPECT_EQ(std::string(static_cast<const char*>(out.Memory()), expected.size()), expected);
  }
  DecodeHexTextToStream("Hex:4142", nullptr);  // no stream: nothing
  TMemoryStream bad;
  EXPECT_THROW(DecodeHexTextToStream("Hex:41G2", &bad), EcxHexStringConvertError);
}

TEST(ExtEditUtils, BooleanTexts) {
  EXPECT_TRUE(ParseBooleanText("TRUE"));
  EXPECT_TRUE(ParseBooleanText("true"));
  EXPECT_FALSE(ParseBooleanText("False"));
  for (const char* bad : {"", "1", "yes", "TRUE "}) EXPECT_THROW(ParseBooleanText(bad), EPropertyConvertError) << bad;
}

}  // namespace
