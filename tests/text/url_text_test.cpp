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

TEST(UrlTextTest, WebHostAndPortNamesTheServerOrNothing) {
  struct Case {
    const char* address;
    const char* expected;
  } cases[] = {
      {"http://Cat.Test/list?x", "cat.test:80"},
      {"HTTPS://cat.test", "cat.test:443"},
      {"http://cat.test:8790#top", "cat.test:8790"},
      {"http://user:pw@cat.test:81/", "cat.test:81"},
      {"http://[::1]:8790/", "[::1]:8790"},
      {"http://cat.test\\evil.test/", "cat.test:80"},
      {"http://cat.test:80x/", ""},
      {"http:///path", ""},
      {"http:cat.test", ""},
      {"file:///etc/passwd", ""},
      {"javascript:alert(1)", ""},
      {"data:text/html,x", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(WebHostAndPort(c.address), c.expected) << c.address;
}

}  // namespace
}  // namespace tavelo

