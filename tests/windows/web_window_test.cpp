#include <gtest/gtest.h>

#include "fakes/fake_port.h"
#include "text/encoding.h"
#include "windows/web_window.h"

namespace tavelo {
namespace {

using fakes::FakePlatform;
using fakes::FakeWindowHost;

class WebWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context.run_page_command = [this](const PageNavigation& navigation) {
      const std::string& address = navigation.address;
      commands.push_back(address);
      return address.find("cmd=") != std::string::npos;
    };
  }
  void TearDown() override {
    for (FakeWindowHost* w : platform.LiveWindows()) w->RequestClose();
    EXPECT_EQ(windows.Count(), 0);
  }

  FakePlatform platform;
  WindowSet windows{platform, OpenPopupWebWindow};
  PageHookup context;
  std::vector<std::string> commands;
};

TEST_F(WebWindowTest, OpensPlacedOnWorkAreaWithBrowserFillingClient) {
  platform.workArea = {0, 0, 1024, 740};
  OpenWebWindow(windows, context, "http://h/report.htm");
  ASSERT_EQ(platform.LiveWindows().size(), 1u);
  FakeWindowHost& host = platform.Window(0);
  EXPECT_EQ(host.caption, Gbk("网页浏览"));
  EXPECT_TRUE(host.shown);
  EXPECT_EQ(host.placement, Rect::FromSize(20, 10, 984, 720));
  auto* view = host.Browser(WebWindow::kBrowserId);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->policy, port::BrowserPolicy::kFull);
  EXPECT_EQ(view->bounds, Rect::FromSize(0, 0, host.client.width, host.client.height));
  EXPECT_EQ(view->navigations, std::vector<std::string>{"http://h/report.htm"});

  host.Resize({500, 300});
  EXPECT_EQ(view->bounds, Rect::FromSize(0, 0, 500, 300));
}

TEST_F(WebWindowTest, OpenWithEmptyAddressNavigatesNowhere) {
  WebWindow& window = windows.Open<WebWindow>(context);
  EXPECT_EQ(window.Open(""), 1);
  EXPECT_TRUE(platform.Window(0).Browser(WebWindow::kBrowserId)->navigations.empty());
  EXPECT_TRUE(platform.Window(0).shown);
  EXPECT_EQ(window.Open("http://h/"), 0);
}

TEST_F(WebWindowTest, EscapeIsSwallowedEnterReachesThePage) {
  OpenWebWindow(windows, context, "http://h/");
  FakeWindowHost& host = platform.Window(0);
  EXPECT_TRUE(host.FireKey(port::Key::kEscape));
  EXPECT_FALSE(host.FireKey(port::Key::kEnter));
  EXPECT_FALSE(host.FireKey(port::Key::kOther));
  EXPECT_FALSE(host.destroyed);
}

TEST_F(WebWindowTest, BrowsingKeysStepThroughItsPageAndCtrlWCloses) {
  OpenWebWindow(windows, context, "http://h/");
  FakeWindowHost& host = platform.Window(0);
  EXPECT_TRUE(host.FireKey(port::Key::kLeft, port::kAlt));
  EXPECT_TRUE(host.FireKey(port::Key::kRight, port::kAlt));
  EXPECT_TRUE(host.FireKey(port::Key::kF5));
  EXPECT_EQ(host.Browser(WebWindow::kBrowserId)->historySteps,
            (std::vector<std::string>{"back", "forward", "reload"}));
  EXPECT_TRUE(host.FireKey(port::Key::kW, port::kControl));
  EXPECT_TRUE(host.destroyed);
  EXPECT_EQ(windows.Count(), 0);
}

TEST_F(WebWindowTest, CloseDestroysTheWindowThroughTheSet) {
  OpenWebWindow(windows, context, "http://h/");
  WebWindow& second = OpenWebWindow(windows, context, "http://h/2");
  EXPECT_EQ(windows.Count(), 2);
  platform.Window(0).RequestClose();
  EXPECT_TRUE(platform.Window(0).destroyed);
  EXPECT_FALSE(platform.Window(0).shown);
  EXPECT_EQ(windows.Count(), 1);
  EXPECT_EQ(windows.Find<WebWindow>(), &second);
  EXPECT_FALSE(platform.Window(1).destroyed);
}

TEST_F(WebWindowTest, EveryPopupGetsItsOwnNewWindowAndPopupsChain) {
  OpenWebWindow(windows, context, "http://h/");
  auto* first = platform.Window(0).Browser(WebWindow::kBrowserId);

  port::BrowserView* a = first->FireNewWindow();
  port::BrowserView* b = first->FireNewWindow();
  ASSERT_EQ(platform.LiveWindows().size(), 3u);
  EXPECT_EQ(a, platform.Window(1).Browser(WebWindow::kBrowserId));
  EXPECT_EQ(b, platform.Window(2).Browser(WebWindow::kBrowserId));
  // The new windows navigate nowhere themselves: the page fills them.
  EXPECT_TRUE(platform.Window(1).Browser(WebWindow::kBrowserId)->navigations.empty());
  EXPECT_TRUE(platform.Window(1).shown);

  // A pop-up from inside a pop-up window opens yet another window.
  port::BrowserView* c = platform.Window(1).Browser(WebWindow::kBrowserId)->FireNewWindow();
  ASSERT_EQ(platform.LiveWindows().size(), 4u);
  EXPECT_EQ(c, platform.Window(3).Browser(WebWindow::kBrowserId));
  EXPECT_EQ(windows.Count(), 4);
  // A pop-up's pages carry out commands as its opener's do.
  EXPECT_TRUE(platform.Window(3).Browser(WebWindow::kBrowserId)->FireBeforeNavigate("http://h/?cmd=TVPLAY|x|"));
  EXPECT_EQ(commands, std::vector<std::string>{"http://h/?cmd=TVPLAY|x|"});
}

TEST_F(WebWindowTest, NavigationsGoThroughThePageCommandHandler) {
  OpenWebWindow(windows, context, "http://h/");
  auto* view = platform.Window(0).Browser(WebWindow::kBrowserId);
  EXPECT_TRUE(view->FireBeforeNavigate("http://h/x?cmd=TVPLAY|http://v/|%E6%A0%87%E9%A2%98|"));
  EXPECT_FALSE(view->FireBeforeNavigate("http://h/next.htm"));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], "http://h/x?cmd=TVPLAY|http://v/|" + Gbk("标题") + "|");
  EXPECT_EQ(commands[1], "http://h/next.htm");
}

TEST_F(WebWindowTest, WithoutCommandHandlerPagesNavigateFreely) {
  context.run_page_command = nullptr;
  OpenWebWindow(windows, context, "http://h/");
  EXPECT_FALSE(platform.Window(0).Browser(WebWindow::kBrowserId)->FireBeforeNavigate("http://h/?cmd=TVPLAY|x"));
}

}  // namespace
}  // namespace tavelo
