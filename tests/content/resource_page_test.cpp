#include "content/resource_page.h"

#include <gtest/gtest.h>

#include "text/encoding.h"
#include "text/written_page.h"

namespace tavelo {
namespace {

const ResourceSiteDomains kDomains{"one.example", "two.example"};
constexpr const char* kFirst = "http://one.example/p/1.html";
constexpr const char* kSecond = "http://two.example/p/2.html";

TEST(ResourcePageTest, ExtractionFollowsEachSitesMarkerChain) {
  struct Case {
    const char* address;
    std::string page;
    std::string part;
  };
  const std::string failed = Gbk("取数据失败");
  const Case cases[] = {
      // All three end markers: each cut applies to what the previous left.
      {kFirst,
       Gbk("head<!--Content Start-->keep<script language=javascript src=a><div class=\"x\">"
           "<font color=red>下载地址2 tail"),
       "keep"},
      // A missing marker stops the chain: later markers are not looked for.
      {kFirst, Gbk("<!--Content Start-->A<font color=red>下载地址2 B<div class=\"x\"> C"),
       Gbk("A<font color=red>下载地址2 B")},
      // Without the first end marker the chain stops: nothing else is cut.
      {kFirst, "<!--Content Start-->all<script language=javascript src=x>", "all<script language=javascript src=x>"},
      {kFirst, "no start marker here", failed},
      // The second site: cut at the related block, then before the last tag
      // when the related posts' title class is left inside.
      {kSecond, Gbk("x<!-- Baidu Button END -->body<p>相关资源 more"), "body<p>"},
      {kSecond, Gbk("<!-- Baidu Button END -->A<b class=related_post_title>t</b><i>相关资源"), "A<b class=related_post_title>t</b>"},
      {kSecond, "<!-- Baidu Button END -->related_post_title<x", "related_post_title<x"},
      // The related rule applies even when the start marker is missing.
      {kSecond, "nothing", failed},
      // Any other address takes the second site's markers.
      {"http://elsewhere/p", "<!-- Baidu Button END -->rest", "rest"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractResourceInfo(c.address, c.page, kDomains), c.part) << GbkToUtf8(c.page);
  }
}

TEST(ResourcePageTest, RecordsNamingEitherSiteAreResources) {
  EXPECT_TRUE(NamesResourceSite(Gbk("片名\n") + kFirst, kDomains));
  EXPECT_TRUE(NamesResourceSite(Gbk("片名\n") + kSecond, kDomains));
  EXPECT_FALSE(NamesResourceSite(Gbk("片名\nhttp://v.example/show/1.html"), kDomains));
  EXPECT_FALSE(NamesResourceSite(kFirst, ResourceSiteDomains{"", ""}));
}

TEST(ResourcePageTest, OnlyTheSecondSiteIsFetchedByABrowser) {
  EXPECT_FALSE(FetchedByBrowser(kFirst, kDomains));
  EXPECT_TRUE(FetchedByBrowser(kSecond, kDomains));
  EXPECT_FALSE(FetchedByBrowser("http://other/", kDomains));
  EXPECT_FALSE(FetchedByBrowser(kSecond, ResourceSiteDomains{"", ""}));
}

TEST(ResourcePageTest, ThePageHasTheFixedHeadByteForByte) {
  std::string page = BuildResourcePage(Gbk("标题"), "<p>part</p>");
  // The seventeen head lines: sixteen end in CR LF, trailing spaces included.
  const std::string head = Gbk(
      "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n"
      "<title>ppinfo</title>\r\n" + std::string(kWrittenPagePolicy) +
      "\r\n</head> \r\n <body> \r\n <script language=\"javascript\">\r\n<!-- \r\n"
      "/*屏蔽所有的js错误*/ \r\nfunction killerrors() {  \r\nreturn true;  \r\n}  \r\n"
      "window.onerror = killerrors;  \r\n//--> \r\n</script> \r\n<h3>");
  EXPECT_EQ(page, head + Gbk("标题") + "</h3><p>part</p></body></html>");
}

TEST(ResourcePageTest, StatusTextsThatReachTheStatusLine) {
  StatusTextFilter filter;
  EXPECT_EQ(filter.Accept("  http://one.example/a  "), "http://one.example/a");
  EXPECT_EQ(filter.Accept("http://one.example/a"), std::nullopt);  // the same text again
  EXPECT_EQ(filter.Accept(Gbk("完成")), std::nullopt);
  EXPECT_EQ(filter.Accept(Gbk("完毕")), std::nullopt);
  EXPECT_EQ(filter.Accept("about:blank"), std::nullopt);
  EXPECT_EQ(filter.Accept("   "), std::nullopt);
  EXPECT_EQ(filter.Accept("http://one.example/a"), "http://one.example/a");
}

}  // namespace
}  // namespace tavelo
