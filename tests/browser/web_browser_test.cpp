#include <gtest/gtest.h>

#include "browser/web_browser.h"
#include "fakes/fake_port.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using fakes::FakeBrowserView;
using fakes::FakePlatform;

class WebBrowserTest : public ::testing::Test {
 protected:
  FakePlatform platform;
  FakeBrowserView view{port::BrowserPolicy::kFull};
  CWebBrowser2 browser{view, platform};
};

TEST_F(WebBrowserTest, NavigateConvertsGbkForTheView) {
  browser.Navigate("http://h/p?k=" + Gbk("中"));
  browser.Navigate("about:blank");
  browser.Navigate("about:<b>" + Gbk("正在加载") + "</b>");
  ASSERT_EQ(view.navigations.size(), 3u);
  EXPECT_EQ(view.navigations[0], "http://h/p?k=%D6%D0");
  EXPECT_EQ(view.navigations[1], "about:blank");
  // Generated HTML is text for the view, so it arrives as UTF-8, not escaped.
  EXPECT_EQ(view.navigations[2], "about:<b>正在加载</b>");
}

TEST_F(WebBrowserTest, EventsArriveInGbk) {
  std::string before, complete, status;
  browser.on_before_navigate = [&](const PageNavigation& n, bool*) { before = n.address; };
  browser.on_document_complete = [&](const std::string& a) { complete = a; };
  browser.on_status_text = [&](const std::string& t) { status = t; };
  view.FireBeforeNavigate("http://h/?cmd=TAVELO|AREA|%E7%BE%8E%E5%9B%BD|");
  view.FireDocumentComplete("http://h/%E4%B8%AD.htm");
  view.FireStatusText("http://h/%D6%D0");
  EXPECT_EQ(before, "http://h/?cmd=TAVELO|AREA|" + Gbk("美国") + "|");
  EXPECT_EQ(complete, "http://h/" + Gbk("中") + ".htm");
  EXPECT_EQ(status, "http://h/" + Gbk("中"));
}

// A page link "…|My Title 中文|…" reaches the engine as "My%20Title%20…";
// the window sees the title as the page wrote it, so a relaunch writes its
// spaces as "**BK**".
TEST_F(WebBrowserTest, NavigationReachesTheWindowWithItsSpaces) {
  std::string before;
  browser.on_before_navigate = [&](const PageNavigation& n, bool*) { before = n.address; };
  view.FireBeforeNavigate("http://h/p?cmd=TVPLAY|http://v/a%7Cb|My%20Title%20%E4%B8%AD%E6%96%87|");
  EXPECT_EQ(before, "http://h/p?cmd=TVPLAY|http://v/a%7Cb|My Title " + Gbk("中文") + "|");
}

TEST_F(WebBrowserTest, CancelFromTheWindowStopsNavigation) {
  browser.on_before_navigate = [](const PageNavigation& n, bool* cancel) {
    const std::string& a = n.address;
    if (a.find("cmd=") != std::string::npos) *cancel = true;
  };
  EXPECT_TRUE(view.FireBeforeNavigate("http://h/?cmd=TVPLAY|x"));
  EXPECT_FALSE(view.FireBeforeNavigate("http://h/page.htm"));
  EXPECT_TRUE(platform.startedProcesses.empty());
}

TEST_F(WebBrowserTest, UnshowableSchemesGoToTheDesktopHandlerAsOneArgument) {
  const std::string magnet = "magnet:?xt=urn:btih:abc&dn=a b;rm -rf ~";
  EXPECT_TRUE(view.FireBeforeNavigate(magnet));
  EXPECT_TRUE(view.FireBeforeNavigate("thunder://QUFodHRw"));
  EXPECT_FALSE(view.FireBeforeNavigate("https://h/"));
  ASSERT_EQ(platform.startedProcesses.size(), 2u);
  EXPECT_EQ(platform.startedProcesses[0], (std::vector<std::string>{"xdg-open", magnet}));
  EXPECT_EQ(platform.startedProcesses[1], (std::vector<std::string>{"xdg-open", "thunder://QUFodHRw"}));
}

// A click that would do nothing says so, and offers the link for pasting.
TEST_F(WebBrowserTest, WithoutADesktopProgramTheLinkIsOfferedForTheClipboard) {
  platform.unhandledSchemes = {"ed2k"};
  const std::string link = "ed2k://|file|%E4%B8%AD.avi|1|ABC|/";
  struct Case {
    bool answerOk;
    std::string clipboard;
  } cases[] = {{false, ""}, {true, "ed2k://|file|" + Gbk("中") + ".avi|1|ABC|/"}};
  for (const Case& c : cases) {
    platform.questions.clear();
    platform.clipboard.clear();
    platform.answerOk = c.answerOk;
    EXPECT_TRUE(view.FireBeforeNavigate(link));
    ASSERT_EQ(platform.questions.size(), 1u);
    EXPECT_NE(platform.questions[0].text.find("ed2k"), std::string::npos);
    EXPECT_EQ(platform.clipboard, c.clipboard);
  }
  EXPECT_TRUE(platform.startedProcesses.empty());
}

TEST_F(WebBrowserTest, OnlyAUsersClickHandsALinkToTheDesktop) {
  // A script or an ad frame navigating to such a scheme is cancelled quietly.
  EXPECT_TRUE(view.FireBeforeNavigate("ssh://h/", false));
  EXPECT_TRUE(platform.startedProcesses.empty());
}

TEST_F(WebBrowserTest, CommandsWinOverTheSchemeHandOff) {
  // A command the window handles is never also handed to the desktop.
  browser.on_before_navigate = [](const PageNavigation&, bool* cancel) { *cancel = true; };
  EXPECT_TRUE(view.FireBeforeNavigate("ed2k://cmd=TAVELO|x"));
  EXPECT_TRUE(platform.startedProcesses.empty());
}

TEST_F(WebBrowserTest, NewWindowIsRefusedWithoutHandlerAndAnsweredWithTarget) {
  EXPECT_EQ(view.FireNewWindow(), nullptr);
  FakeBrowserView target{port::BrowserPolicy::kFull};
  browser.on_new_window = [&]() -> port::BrowserView* { return &target; };
  EXPECT_EQ(view.FireNewWindow(), &target);
}

TEST_F(WebBrowserTest, DocumentBodyComesBackInGbk) {
  view.bodyHtml = "<p>中文</p>";
  std::string got;
  browser.GetDocument([&](std::string html) { got = html; });
  EXPECT_EQ(got, "<p>" + Gbk("中文") + "</p>");
}

TEST_F(WebBrowserTest, DestroyedWrapperDetachesFromView) {
  {
    FakeBrowserView other{port::BrowserPolicy::kFull};
    auto wrapper = std::make_unique<CWebBrowser2>(other, platform);
    wrapper.reset();
    EXPECT_FALSE(other.on_before_navigate);
    EXPECT_FALSE(other.FireBeforeNavigate("magnet:x"));
  }
}

TEST(StatusPageTest, FramesExactly) {
  EXPECT_EQ(StatusPageAddress(StatusFrame::kWhite, "X"),
            "about:<body scroll=no bgcolor=#ffffff style=\"border:1px solid #bdbdbd;padding-left:20px;"
            "paddint-top:20px;\"><table><tr><td align=center>X</td></tr></table></body>");
  EXPECT_EQ(StatusPageAddress(StatusFrame::kGrey, ""),
            "about:<body scroll=no bgcolor=#f9f9f9 style=\"border:1px solid #bdbdbd\"><center><table width=100% "
            "height=100% ><tr><td align=center></td></tr></table></center></body>");
}

TEST(StatusPageTest, ChineseFragmentReachesTheViewIntact) {
  FakePlatform platform;
  FakeBrowserView view{port::BrowserPolicy::kFull};
  CWebBrowser2 browser(view, platform);
  ShowStatusPage(browser, StatusFrame::kGrey, Gbk("<font color=red>正在读取剧集列表</font>"));
  ASSERT_EQ(view.navigations.size(), 1u);
  EXPECT_NE(view.navigations[0].find("<font color=red>正在读取剧集列表</font></td>"), std::string::npos);
  EXPECT_EQ(view.navigations[0].rfind("about:<body scroll=no bgcolor=#f9f9f9", 0), 0u);
}

TEST(LoadFailedPageTest, EachFailureSaysWhatWentWrongInChinese) {
  const struct {
    port::LoadFailure failure;
    const char* reason;
  } cases[] = {
      {port::LoadFailure::kHostNotFound, "找不到服务器"},
      {port::LoadFailure::kConnectionRefused, "服务器拒绝了连接"},
      {port::LoadFailure::kTimedOut, "连接服务器超时"},
      {port::LoadFailure::kFileNotFound, "文件不存在"},
      {port::LoadFailure::kPageEnded, "进程意外结束"},
      {port::LoadFailure::kOther, "网络连接出错"},
  };
  for (const auto& c : cases) {
    std::string fragment = LoadFailedFragment("http://h/a.htm", c.failure);
    EXPECT_NE(fragment.find(Gbk("网页无法打开")), std::string::npos) << c.reason;
    EXPECT_NE(fragment.find(Gbk(c.reason)), std::string::npos) << c.reason;
    EXPECT_NE(fragment.find("<a href=\"http://h/a.htm\">" + Gbk("重试") + "</a>"), std::string::npos) << fragment;
  }
}

TEST(LoadFailedPageTest, AddressIsShownInGbkAndCannotBreakOutOfTheLink) {
  // A GBK query escaped by a page ("%D6%D0" is GBK 中) and markup in the path.
  std::string fragment = LoadFailedFragment("http://h/<b>\"x?k=%D6%D0&a=1", port::LoadFailure::kOther);
  EXPECT_NE(fragment.find("http://h/&lt;b&gt;&quot;x?k=" + Gbk("中") + "&amp;a=1<br>"), std::string::npos)
      << fragment;
  EXPECT_NE(fragment.find("href=\"http://h/&lt;b&gt;&quot;x?k=%D6%D0&amp;a=1\""), std::string::npos) << fragment;
  // Raw UTF-8 in an address is escaped in the link, so the GBK page keeps it.
  fragment = LoadFailedFragment("http://h/中", port::LoadFailure::kOther);
  EXPECT_NE(fragment.find("href=\"http://h/%E4%B8%AD\""), std::string::npos) << fragment;
}

TEST(LoadFailedPageTest, FailedLoadShowsTheStatusPageInTheWindowsFrame) {
  FakePlatform platform;
  FakeBrowserView grey{port::BrowserPolicy::kFull}, white{port::BrowserPolicy::kFull};
  CWebBrowser2 greyBrowser(grey, platform);
  CWebBrowser2 whiteBrowser(white, platform, StatusFrame::kWhite);
  grey.FireLoadFailed("http://127.0.0.1:1/", port::LoadFailure::kConnectionRefused);
  white.FireLoadFailed("http://127.0.0.1:1/", port::LoadFailure::kConnectionRefused);
  const std::string fragment = LoadFailedFragment("http://127.0.0.1:1/", port::LoadFailure::kConnectionRefused);
  // The view gets the generated page as UTF-8 text.
  EXPECT_EQ(grey.navigations, std::vector<std::string>{GbkToUtf8(StatusPageAddress(StatusFrame::kGrey, fragment))});
  EXPECT_EQ(white.navigations, std::vector<std::string>{GbkToUtf8(StatusPageAddress(StatusFrame::kWhite, fragment))});
}

}  // namespace
}  // namespace tavelo
