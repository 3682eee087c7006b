#include "text/url_text.h"

#include <gtest/gtest.h>

#include "text/encoding.h"

namespace tavelo {
namespace {

TEST(UrlTextTest, UrlEncodeEscapesEverythingButLettersAndDigits) {
  EXPECT_EQ(UrlEncode("a Z9"), "a%20Z9");
  EXPECT_EQ(UrlEncode("_-."), "%5F%2D%2E");
  EXPECT_EQ(UrlEncode("\xC4\xE3"), "%C4%E3");  // one GBK character, two groups
  EXPECT_EQ(UrlEncode(""), "");
  EXPECT_EQ(UrlEncode(std::string("\0\xFF", 2)), "%00%FF");
}

TEST(UrlTextTest, UrlDecodeUndoesUrlEncodeAndKeepsMalformedEscapes) {
  for (const std::string& text : {std::string("Install Dir"), std::string("%41\xB0\x61"),
                                  std::string("\0\xFF", 2)}) {
    EXPECT_EQ(UrlDecode(UrlEncode(text)), text);
  }
  EXPECT_EQ(UrlDecode("%4a%4A"), "JJ");
  EXPECT_EQ(UrlDecode("100%"), "100%");
  EXPECT_EQ(UrlDecode("%4"), "%4");
  EXPECT_EQ(UrlDecode("%G1x"), "%G1x");
}

TEST(UrlTextTest, HexNameHasNoPercentSigns) {
  EXPECT_EQ(HexName("ab-1"), "ab2D1");
  EXPECT_EQ(HexName("\xC4\xE3/"), "C4E32F");
}

TEST(UrlTextTest, CleanHtmlTextReplacesOnlyItsThreeSequences) {
  EXPECT_EQ(CleanHtmlText("  &nbsp;A%20B&quot;C&amp;D  x\ty  "), "A B\"C&amp;D  x\ty");
  EXPECT_EQ(CleanHtmlText("&nbsp;&nbsp;"), "");
}

TEST(UrlTextTest, EscapeHtmlTurnsMarkupIntoTextAndKeepsGbk) {
  EXPECT_EQ(EscapeHtml("<a href=\"x?a=1&b='2'\">"), "&lt;a href=&quot;x?a=1&amp;b=&#39;2&#39;&quot;&gt;");
  EXPECT_EQ(EscapeHtml(Gbk("中文")), Gbk("中文"));
  EXPECT_EQ(EscapeHtml(""), "");
}

TEST(UrlTextTest, FlattenWhitespaceKeepsTheLength) {
  std::string text = "a\tb\r\nc";
  FlattenWhitespace(text);
  EXPECT_EQ(text, "a b  c");
}

}  // namespace
}  // namespace tavelo
