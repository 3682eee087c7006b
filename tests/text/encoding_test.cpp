#include "text/encoding.h"

#include <gtest/gtest.h>

namespace tavelo {
namespace {

// GBK bytes of 中文 and 电视剧, from the GB 2312 code chart.
const std::string kZhongWenGbk = "\xD6\xD0\xCE\xC4";
const std::string kDianShiJuGbk = "\xB5\xE7\xCA\xD3\xBE\xE7";

TEST(EncodingTest, Utf8AndGbkRoundTrip) {
  EXPECT_EQ(Utf8ToGbk("中文 abc"), kZhongWenGbk + " abc");
  EXPECT_EQ(GbkToUtf8(kZhongWenGbk), "中文");
  EXPECT_EQ(Gbk("电视剧"), kDianShiJuGbk);
}

TEST(EncodingTest, BadBytesAndMissingCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToGbk("a\xFF" "b"), "a?b");
  EXPECT_EQ(Utf8ToGbk("a\xE4\xB8"), "a??");  // cut off inside a character: each byte
  EXPECT_EQ(Utf8ToGbk("x😀y"), "x?y");      // GBK has no emoji
  EXPECT_EQ(GbkToUtf8("\x81"), "?");
}

TEST(EncodingTest, ExactConversionsRefuseWhatDoesNotComeThroughWhole) {
  struct Case {
    const char* name;
    std::optional<std::string> converted;
    std::optional<std::string> expected;
  };
  const std::string longUtf8(100000, 'a');
  const Case cases[] = {
      {"plain", Utf8ToGbkExact("中文 abc\t\n"), kZhongWenGbk + " abc\t\n"},
      {"long", Utf8ToGbkExact(longUtf8), longUtf8},
      {"empty", Utf8ToGbkExact(""), ""},
      {"emoji", Utf8ToGbkExact("x😀y"), std::nullopt},
      {"bad byte", Utf8ToGbkExact("a\xFF" "b"), std::nullopt},
      {"cut off", Utf8ToGbkExact("a\xE4\xB8"), std::nullopt},
      {"gbk back", GbkToUtf8Exact(kDianShiJuGbk), std::string("电视剧")},
      {"gbk cut off", GbkToUtf8Exact("ok\x81"), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(c.converted, c.expected) << c.name;
}

TEST(EncodingTest, Big5IsConvertedToSimplifiedGbk) {
  // Big5 bytes of 電視劇 (traditional); the result is 电视剧 in GBK.
  EXPECT_EQ(Big5ToGbk("\xB9\x71\xB5\xF8\xBC\x40"), kDianShiJuGbk);
  EXPECT_EQ(Big5ToGbk("ok\xFF"), "ok?");
}

TEST(EncodingTest, LargeInputsConvertWhole) {
  std::string utf8;
  for (int i = 0; i < 200000; ++i) utf8 += "中";
  std::string gbk = Utf8ToGbk(utf8);
  EXPECT_EQ(gbk.size(), 400000u);
  EXPECT_EQ(gbk.substr(0, 2), "\xD6\xD0");
}

}  // namespace
}  // namespace tavelo
