#include <gtest/gtest.h>

#include "browser/web_address.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

TEST(WebAddressTest, EngineAddressesBecomeGbk) {
  struct Case {
    const char* name;
    std::string in;
    std::string out;
  } cases[] = {
      {"plain ascii", "http://h/a?b=1", "http://h/a?b=1"},
      {"utf-8 escapes", "http://h/s?k=%E4%B8%AD%E6%96%87", "http://h/s?k=" + Gbk("中文")},
      {"lower-case hex", "http://h/%e4%b8%ad", "http://h/" + Gbk("中")},
      // The page's own charset (GBK) left in the query: kept as GBK bytes.
      {"gbk escapes", "http://h/s?k=%D6%D0%CE%C4", "http://h/s?k=" + Gbk("中文")},
      {"raw utf-8", "http://h/" + std::string("\xE4\xB8\xAD"), "http://h/" + Gbk("中")},
      // ASCII escapes carry meaning in commands and must not be decoded.
      {"ascii escapes stay", "http://h/a%20b%7Cc", "http://h/a%20b%7Cc"},
      {"command with chinese", "http://h/x?cmd=TAVELO|ACTOR|%E5%88%98|", "http://h/x?cmd=TAVELO|ACTOR|" + Gbk("刘") + "|"},
      {"truncated escape", "http://h/%E4%B", "http://h/\xE4%B"},
      {"bad hex", "http://h/%G4", "http://h/%G4"},
      // GBK bytes of 小说 also read as two-byte UTF-8 (Cyrillic); they are GBK.
      {"gbk that looks like utf-8", "http://h/x?k=%D0%A1%CB%B5", "http://h/x?k=" + Gbk("小说")},
      // A GBK page's address: UTF-8 path, query in the page's charset.
      {"utf-8 path, gbk query", "http://h/%E4%B8%AD?k=%D6%D0", "http://h/" + Gbk("中") + "?k=" + Gbk("中")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WebAddressToGbk(c.in), c.out);
  }
}

// What the command protocol reads: the engine's "%20" for a space is undone,
// the escapes that keep fields apart are not.
TEST(WebAddressTest, NavigationAddressesGetTheirSpacesBack) {
  struct Case {
    const char* name;
    std::string in;
    std::string out;
  } cases[] = {
      {"title with spaces", "http://h/p?cmd=TVPLAY|http://v/|My%20Title%20%E4%B8%AD%E6%96%87|",
       "http://h/p?cmd=TVPLAY|http://v/|My Title " + Gbk("中文") + "|"},
      {"separator inside a field", "http://h/p?cmd=TVPLAY|http://v/a%7Cb|T|", "http://h/p?cmd=TVPLAY|http://v/a%7Cb|T|"},
      {"escaped escape marker", "http://h/p?cmd=TVPLAY|x|a%2A%2ATAB%2A%2Ab|", "http://h/p?cmd=TVPLAY|x|a%2A%2ATAB%2A%2Ab|"},
      {"flag separator", "http://h/p?cmd=TVPLAY|x|t|A%23B|", "http://h/p?cmd=TVPLAY|x|t|A%23B|"},
      {"escaped percent", "http://h/a%2520b", "http://h/a%2520b"},
      {"lower-case hex", "http://h/a%20b", "http://h/a b"},
      {"space at the end", "http://h/a%20", "http://h/a "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NavigationAddressToGbk(c.in), c.out);
  }
  // Document and status addresses are shown, not parsed: they keep "%20".
  EXPECT_EQ(WebAddressToGbk("http://h/a%20b"), "http://h/a%20b");
}

TEST(WebAddressTest, GbkAddressesRoundTripThroughTheEngineForm) {
  std::string gbk = "http://h/so.asp?k=" + Gbk("动作片") + "&x=1";
  std::string web = GbkToWebAddress(gbk);
  EXPECT_EQ(web, "http://h/so.asp?k=%B6%AF%D7%F7%C6%AC&x=1");
  EXPECT_EQ(WebAddressToGbk(web), gbk);
}

TEST(WebAddressTest, FileAddressesEscapeWhatAPathMayHold) {
  EXPECT_EQ(FileAddress("/opt/tavelo/script/tmp/pp-a1_B.htm"), "file:///opt/tavelo/script/tmp/pp-a1_B.htm");
  EXPECT_EQ(FileAddress("/home/my videos/#1%?/x"), "file:///home/my%20videos/%231%25%3F/x");
  EXPECT_EQ(FileAddress("/\xE8\xA7\x86/a"), "file:///%E8%A7%86/a");  // a UTF-8 folder name
  // The view's wrapper passes ASCII escapes on as they are.
  EXPECT_EQ(GbkToWebAddress(FileAddress("/a b")), "file:///a%20b");
}

TEST(WebAddressTest, SchemesAndWhatTheViewShows) {
  struct Case {
    const char* address;
    const char* scheme;
    bool shown;
  } cases[] = {
      {"http://a/", "http", true},    {"HTTPS://a/", "https", true},
      {"about:blank", "about", true}, {"magnet:?xt=urn:btih:1", "magnet", false},
      {"ed2k://|file|a|1|h|/", "ed2k", false}, {"thunder://QUFodHRw", "thunder", false},
      {"relative/page.htm", "", true}, {"/abs?x=a:b", "", true},
      {"1abc:x", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(AddressScheme(c.address), c.scheme);
    EXPECT_EQ(ViewShowsScheme(AddressScheme(c.address)), c.shown);
  }
}

}  // namespace
}  // namespace tavelo
