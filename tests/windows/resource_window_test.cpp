#include "windows/resource_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "browser/web_address.h"
#include "fakes/fake_port.h"
#include "net/loopback_server.h"
#include "support/temp_dir.h"
#include "text/encoding.h"
#include "windows/fetch_progress_dialog.h"

namespace tavelo {
namespace {

using fakes::FakeBrowserView;
using fakes::FakePlatform;
using fakes::FakeWindowHost;

constexpr const char* kSecondDomain = "two.example";

// A first-site page: the part lies between the start marker and the first
// end marker.
std::string FirstSitePage(const std::string& part) {
  return "<html><body>menu<!--Content Start-->" + part + "<div class=\"x\">ads</div></body></html>";
}

class ResourceWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Routes().Get(R"(/p/(\w+)\.html)", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content(FirstSitePage(Gbk("种子 ") + request.matches[1].str()), "text/html");
    });
    server_.Start();
    firstDomain_ = server_.Url("/").substr(7);  // "127.0.0.1:port/"
    firstDomain_.pop_back();
    mkdir(dir_.File("data").c_str(), 0755);
    testing::WriteFile(paths_.Template(), "[RESOURCE_SITE1_DOMAIN]\n" + firstDomain_ + "\n[RESOURCE_SITE2_DOMAIN]\n" +
                                              kSecondDomain + "\n");
    windows_.SetPaths(paths_);
  }
  void TearDown() override {
    for (FakeWindowHost* w : platform_.LiveWindows()) w->RequestClose();
    EXPECT_EQ(windows_.Count(), 0);
    // Every window took its page with it.
    if (std::filesystem::is_directory(paths_.In(kTempPagesFolder))) {
      EXPECT_EQ(testing::FolderNames(paths_.In(kTempPagesFolder)), std::vector<std::string>{});
    }
  }

  ResourceWindow& Open(const std::string& title, const std::string& address) {
    return OpenResourceWindow(windows_, "name", title + "\n" + address + "\n2009", "label");
  }
  static FakeWindowHost& HostOf(ResourceWindow& window) { return static_cast<FakeWindowHost&>(window.Host()); }
  static FakeBrowserView& ViewOf(ResourceWindow& window) { return *HostOf(window).Browser(ResourceWindow::kBrowser); }

  // Runs what the window's worker posts until its page is due.
  static bool WaitForPage(ResourceWindow& window) {
    FakeWindowHost& host = HostOf(window);
    for (int i = 0; i < 1000 && host.timers.count(ResourceWindow::kShowPageTimer) == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      host.RunPosted();
    }
    return host.timers[ResourceWindow::kShowPageTimer] == ResourceWindow::kShowPageDelay;
  }

  testing::LoopbackServer server_;
  std::string firstDomain_;
  testing::TempDir dir_;
  ProgramPaths paths_{dir_.Path()};
  FakePlatform platform_;
  WindowSet windows_{platform_};
};

TEST_F(ResourceWindowTest, TheFirstSitesPageIsDownloadedCutAndShownFromItsOwnFile) {
  platform_.workArea = {0, 0, 1280, 770};
  ResourceWindow& window = Open(Gbk("影片"), server_.Url("/p/one.html"));
  FakeWindowHost& host = HostOf(window);
  EXPECT_EQ(host.placement, Rect::FromSize(30, 20, 1220, 730));
  EXPECT_TRUE(host.shown);
  EXPECT_EQ(host.caption, Gbk("影片 获取资源信息"));
  EXPECT_EQ(window.StatusLine(), Gbk("正在获取数据...."));
  const Size client = host.client;
  EXPECT_EQ(host.Control<fakes::FakeStatic>(ResourceWindow::kStatusLine)->bounds,
            Rect::FromSize(0, client.height - 18, client.width, 18));
  EXPECT_EQ(ViewOf(window).bounds, Rect::FromSize(0, 0, client.width, client.height - 20));
  ASSERT_EQ(ViewOf(window).navigations.size(), 1u);
  EXPECT_NE(ViewOf(window).navigations[0].find("正在获取视频信息,请稍候..."), std::string::npos);

  ASSERT_TRUE(WaitForPage(window));
  EXPECT_EQ(window.StatusLine(), Gbk("获取完成,请从列表中点击需要播放的视频"));
  EXPECT_EQ(window.PagePath().rfind(paths_.In(kTempPagesFolder), 0), 0u);
  EXPECT_TRUE(window.PagePath().ends_with(".htm"));
  EXPECT_EQ(testing::ReadFile(window.PagePath()), BuildResourcePage(Gbk("影片"), Gbk("种子 one")));
  host.FireTimer(ResourceWindow::kShowPageTimer);
  EXPECT_EQ(ViewOf(window).navigations.back(), FileAddress(window.PagePath()));
}

TEST_F(ResourceWindowTest, WindowsFetchingAtOnceEachShowTheirOwnResource) {
  ResourceWindow& one = Open("one", server_.Url("/p/one.html"));
  ResourceWindow& two = Open("two", server_.Url("/p/two.html"));
  ASSERT_TRUE(WaitForPage(one));
  ASSERT_TRUE(WaitForPage(two));
  EXPECT_NE(one.PagePath(), two.PagePath());
  EXPECT_EQ(testing::ReadFile(one.PagePath()), BuildResourcePage("one", Gbk("种子 one")));
  EXPECT_EQ(testing::ReadFile(two.PagePath()), BuildResourcePage("two", Gbk("种子 two")));
  const std::string twoPage = two.PagePath();
  HostOf(two).RequestClose();
  EXPECT_FALSE(testing::FileExists(twoPage));
  EXPECT_TRUE(testing::FileExists(one.PagePath()));
}

TEST_F(ResourceWindowTest, APageThatCannotBeWrittenIsSaidSo) {
  // A file where the page folder should be.
  testing::WriteFile(dir_.File("script"), "");
  ResourceWindow& window = Open("t", server_.Url("/p/one.html"));
  FakeWindowHost& host = HostOf(window);
  for (int i = 0; i < 1000 && ViewOf(window).navigations.size() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    host.RunPosted();
  }
  ASSERT_EQ(ViewOf(window).navigations.size(), 2u);
  EXPECT_NE(ViewOf(window).navigations[1].find("无法写入资源页面文件"), std::string::npos);
  EXPECT_EQ(host.timers.count(ResourceWindow::kShowPageTimer), 0u);
  unlink(dir_.File("script").c_str());
}

TEST_F(ResourceWindowTest, TheSecondSitesPageComesThroughTheFetchingWindow) {
  const std::string address = std::string("http://") + kSecondDomain + "/p/2.html";
  ResourceWindow& window = Open("two", address);
  ASSERT_EQ(platform_.LiveWindows().size(), 2u);
  FakeWindowHost& dialog = *platform_.LiveWindows().back();
  FakeBrowserView& fetcher = *dialog.Browser(FetchProgressDialog::kBrowser);
  dialog.FireTimer(FetchProgressDialog::kStartTimer);
  EXPECT_EQ(fetcher.navigations, std::vector<std::string>{address});
  fetcher.FireDocumentComplete(address);
  // The part ends before "相关资源"; what is left holds "related_post_title",
  // so it is cut before its last "<" too.
  fetcher.bodyHtml = "<body><!-- Baidu Button END --><p>seed</p><h3 class=related_post_title>相关资源</h3></body>";
  dialog.FireTimer(FetchProgressDialog::kPollTimer);
  EXPECT_TRUE(dialog.destroyed);

  HostOf(window).RunPosted();
  EXPECT_EQ(window.StatusLine(), Gbk("获取数据完成"));
  EXPECT_EQ(testing::ReadFile(window.PagePath()), BuildResourcePage("two", "<p>seed</p>"));
  HostOf(window).FireTimer(ResourceWindow::kShowPageTimer);
  EXPECT_EQ(ViewOf(window).navigations.back(), FileAddress(window.PagePath()));
}

TEST_F(ResourceWindowTest, ACancelledSecondSiteFetchLeavesTheWaitingPageAndSaysSo) {
  ResourceWindow& window = Open("two", std::string("http://") + kSecondDomain + "/p/2.html");
  FakeWindowHost& dialog = *platform_.LiveWindows().back();
  dialog.Control<fakes::FakeButton>(FetchProgressDialog::kCancel)->Click();
  dialog.RunPosted();
  HostOf(window).RunPosted();
  EXPECT_EQ(window.StatusLine(), Gbk("获取数据完成,取数据失败"));
  ASSERT_EQ(platform_.messageBoxes.size(), 1u);
  EXPECT_EQ(platform_.messageBoxes[0].text, Gbk("获取数据失败,请选择其它搜索结果获取数据"));
  EXPECT_EQ(ViewOf(window).navigations.size(), 1u);  // the waiting page only
  EXPECT_EQ(window.PagePath(), "");
}

TEST_F(ResourceWindowTest, BrowsingKeysStepThroughItsPageAndCtrlWCloses) {
  ResourceWindow& window = Open("k", std::string("http://") + kSecondDomain + "/p/2.html");
  FakeWindowHost& host = HostOf(window);
  EXPECT_TRUE(host.FireKey(port::Key::kLeft, port::kAlt));
  EXPECT_TRUE(host.FireKey(port::Key::kRight, port::kAlt));
  EXPECT_TRUE(host.FireKey(port::Key::kF5));
  EXPECT_EQ(ViewOf(window).historySteps, (std::vector<std::string>{"back", "forward", "reload"}));
  EXPECT_TRUE(host.FireKey(port::Key::kW, port::kControl));
  EXPECT_TRUE(host.destroyed);
}

TEST_F(ResourceWindowTest, TheStatusLineTakesTheBrowsersTextsButNotItsDoneWords) {
  ResourceWindow& window = Open("t", std::string("http://") + kSecondDomain + "/p/2.html");
  struct Case {
    const char* text;
    std::string shown;
  } cases[] = {
      {"  http://a/link.htm ", "http://a/link.htm"},
      {"完成", "http://a/link.htm"},
      {"about:blank", "http://a/link.htm"},
      {"http://b/", "http://b/"},
  };
  for (const Case& c : cases) {
    ViewOf(window).FireStatusText(c.text);
    EXPECT_EQ(window.StatusLine(), Gbk(c.shown)) << c.text;
  }
  EXPECT_TRUE(HostOf(window).FireKey(port::Key::kEscape));
  EXPECT_TRUE(HostOf(window).FireKey(port::Key::kEnter));
}

}  // namespace
}  // namespace tavelo
