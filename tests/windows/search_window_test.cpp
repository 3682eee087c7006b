#include "windows/search_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "fakes/fake_port.h"
#include "windows/web_window.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using fakes::FakePlatform;
using fakes::FakeWindowHost;

class NoCommands : public CommandTarget {
 public:
  void OpenVideo(const std::string&, const std::string& record, const std::string&) override {
    videos.push_back(record);
  }
  void OpenSearch(const std::string&) override {}
  void StartCompanion(const std::string&, const std::string&, const std::string&) override {}
  void ShowMessage(const std::string&) override {}
  void StartProcess(const std::vector<std::string>&) override {}
  std::vector<std::string> videos;
};

TEST(SearchKeywordTest, BracketsGoAndEscapedSpacesReturn) {
  EXPECT_EQ(CleanSearchKeyword(Gbk("《大江湖》")), Gbk("大江湖"));
  EXPECT_EQ(CleanSearchKeyword("a%20b"), "a b");
  EXPECT_EQ(CleanSearchKeyword(""), "");
}

TEST(SearchAddressTest, TemplateOrBuiltInAddressWithTheEncodedKeyword) {
  testing::TempDir dir;
  EXPECT_EQ(SearchAddress("a b", dir.File("missing.htm")),
            "http://127.0.0.1:8790/so/so.asp?k=a%20b");
  testing::WriteFile(dir.File("main.htm"), "[S_URL]\nhttp://s/find?q=***KEY***&x=***KEY***\n");
  EXPECT_EQ(SearchAddress(Gbk("电影"), dir.File("main.htm")), "http://s/find?q=%B5%E7%D3%B0&x=%B5%E7%D3%B0");
  testing::WriteFile(dir.File("main.htm"), "[S_URL]\nhttp://s/fixed\n");
  EXPECT_EQ(SearchAddress("x", dir.File("main.htm")), "http://s/fixed");
}

class SearchWindowTest : public ::testing::Test {
 protected:
  // Searches read data/main.htm of the program folder; there is none here.
  void SetUp() override { windows_.SetPaths(ProgramPaths{dir_.Path()}); }
  void Search(std::string_view keyword) { OpenSearch(windows_, commands_, keyword); }
  FakeWindowHost& Host() { return platform_.Window(0); }

  testing::TempDir dir_;
  FakePlatform platform_;
  NoCommands commands_;
  WindowSet windows_{platform_, OpenPopupWebWindow};
};

TEST_F(SearchWindowTest, FirstSearchPlacesTheWindowAndSearchesOnTheTimer) {
  platform_.workArea = {0, 0, 1280, 770};
  Search(Gbk("《片名》"));
  FakeWindowHost& host = Host();
  EXPECT_EQ(host.caption, Gbk("视频搜索"));
  EXPECT_EQ(host.placement, Rect::FromSize(605, 20, 665, 730));
  EXPECT_TRUE(host.shown);
  auto* edit = host.Control<fakes::FakeEdit>(SearchWindow::kEditId);
  EXPECT_EQ(edit->text, Gbk("片名"));
  EXPECT_EQ(edit->accessibleName, Gbk("搜索视频"));
  auto* browser = host.Browser(SearchWindow::kBrowserId);
  EXPECT_TRUE(browser->navigations.empty());  // not before the timer
  ASSERT_TRUE(host.FireTimer(SearchWindow::kSearchTimer));
  EXPECT_EQ(browser->navigations,
            std::vector<std::string>{"http://127.0.0.1:8790/so/so.asp?k=%C6%AC%C3%FB"});
  EXPECT_TRUE(edit->focused);
  Size client = host.client;
  EXPECT_EQ(browser->bounds, (Rect{0, 28, client.width, client.height}));
  EXPECT_EQ(host.Control<fakes::FakeFaceButton>(SearchWindow::kSearchButtonId)->bounds,
            Rect::FromSize(client.width - 65, 3, 60, 22));
}

TEST_F(SearchWindowTest, NarrowDesktopStartsAtOneHundred) {
  platform_.workArea = {0, 0, 600, 500};
  Search("x");
  EXPECT_EQ(Host().placement, Rect::FromSize(100, 20, 490, 460));
}

TEST_F(SearchWindowTest, ClosingHidesAndTheNextSearchReusesTheWindow) {
  Search("one");
  FakeWindowHost& host = Host();
  Rect placed = host.placement;
  host.RequestClose();
  EXPECT_FALSE(host.shown);
  EXPECT_FALSE(host.destroyed);
  host.Resize({500, 400});
  Search("two");
  EXPECT_EQ(platform_.LiveWindows().size(), 1u);
  EXPECT_TRUE(host.shown);
  // Each search brings the window forward, from behind others or minimised.
  EXPECT_EQ(host.presented, 2);
  EXPECT_EQ(host.placement, placed);  // not placed again
  host.FireTimer(SearchWindow::kSearchTimer);
  EXPECT_EQ(windows_.Find<SearchWindow>()->Keyword(), "two");
}

TEST_F(SearchWindowTest, KeysButtonAndPageCommands) {
  Search("x");
  FakeWindowHost& host = Host();
  host.FireTimer(SearchWindow::kSearchTimer);
  EXPECT_TRUE(host.FireKey(port::Key::kEscape));
  EXPECT_TRUE(host.FireKey(port::Key::kEnter));
  EXPECT_TRUE(host.timers.empty());
  host.Control<fakes::FakeEdit>(SearchWindow::kEditId)->PressEnter();
  EXPECT_EQ(host.timers.count(SearchWindow::kSearchTimer), 1u);
  host.KillTimer(SearchWindow::kSearchTimer);
  host.Control<fakes::FakeFaceButton>(SearchWindow::kSearchButtonId)->Click();
  EXPECT_EQ(host.timers.count(SearchWindow::kSearchTimer), 1u);

  auto* browser = host.Browser(SearchWindow::kBrowserId);
  EXPECT_TRUE(browser->FireBeforeNavigate("http://s/?cmd=TAVELO|INFO|T**TAB**http://v/1|"));
  EXPECT_EQ(commands_.videos, std::vector<std::string>{"T\nhttp://v/1"});
  EXPECT_FALSE(browser->FireBeforeNavigate("http://s/next.asp"));
  // A pop-up becomes a web window.
  EXPECT_NE(browser->FireNewWindow(), nullptr);
  EXPECT_EQ(platform_.LiveWindows().size(), 2u);
  platform_.LiveWindows()[1]->RequestClose();

  // Ctrl+W hides it, as its close box does.
  EXPECT_TRUE(host.FireKey(port::Key::kW, port::kControl));
  EXPECT_FALSE(host.shown);
  EXPECT_FALSE(host.destroyed);
}

}  // namespace
}  // namespace tavelo
