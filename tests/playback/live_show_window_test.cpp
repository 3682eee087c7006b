#include "playback/live_show_window.h"

#include <gtest/gtest.h>

#include "base/program_paths.h"
#include "fakes/fake_port.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using fakes::FakeBrowserView;
using fakes::FakeFlatButton;
using fakes::FakePlatform;
using fakes::FakeWindowHost;

class LiveShowWindowTest : public ::testing::Test {
 protected:
  LiveShowWindowTest() { platform.workArea = {0, 0, 1280, 994}; }

  LiveShowWindow& Open(const std::vector<LiveSite>& sites) {
    window = &windows.Open<LiveShowWindow>(sites);
    return *window;
  }
  LiveShowWindow& OpenBuiltIn() { return Open(LiveSiteTable(dir.File("main.htm"))); }
  FakeWindowHost& Host() { return platform.Window(0); }
  FakeFlatButton& SiteButton(int i) { return *Host().Control<FakeFlatButton>(LiveShowWindow::kFirstSiteButtonId + i); }
  FakeBrowserView& Browser() { return *Host().Browser(LiveShowWindow::kBrowserId); }
  FakeBrowserView& Sink() { return *Host().Browser(LiveShowWindow::kPopupSinkId); }
  std::vector<std::string> Relaunch(const std::string& word) { return {ModuleFilePath(), word}; }

  testing::TempDir dir;
  FakePlatform platform;
  WindowSet windows{platform};
  LiveShowWindow* window = nullptr;
};

TEST_F(LiveShowWindowTest, BuiltInTableGivesFiveButtonsInARowAndOpensTheFirstSite) {
  OpenBuiltIn();
  EXPECT_EQ(Host().placement, Rect::FromSize(20, 10, 1240, 974));
  EXPECT_TRUE(Host().shown);
  EXPECT_EQ(window->SiteCount(), 5);
  const std::vector<std::string> names = {Gbk("六间房"), Gbk("我秀直播"), Gbk("YY直播"), Gbk("69秀"), Gbk("新浪秀场")};
  for (int i = 0; i < LiveShowWindow::kMaxSites; ++i) {
    SCOPED_TRACE(i);
    if (i < 5) {
      EXPECT_TRUE(SiteButton(i).visible);
      EXPECT_EQ(SiteButton(i).bounds, Rect::FromSize(10 + 85 * i, 3, 80, 25));
      EXPECT_EQ(SiteButton(i).Text(), names[static_cast<size_t>(i)]);
    } else {
      EXPECT_FALSE(SiteButton(i).visible);
      EXPECT_EQ(SiteButton(i).Text(), Gbk("直播") + std::to_string(i + 1));
    }
  }
  Size client = Host().client;
  EXPECT_EQ(Browser().bounds, Rect::FromSize(0, 30, client.width, client.height - 30));
  EXPECT_EQ(Sink().bounds, Rect::FromSize(client.width - 1, client.height - 1, 1, 1));
  auto* hidden = Host().Control<fakes::FakeStatic>(LiveShowWindow::kHiddenStaticId);
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(hidden->visible);
  EXPECT_EQ(hidden->bounds, Rect::FromSize(0, client.height, client.width, 0));

  EXPECT_EQ(window->SelectedSite(), 0);
  EXPECT_EQ(Host().caption, Gbk("六间房") + Gbk(" 视频直播"));
  // The first site is a bare host name; the view needs a scheme.
  EXPECT_EQ(Browser().navigations, std::vector<std::string>{"http://www.6.cn"});
  EXPECT_TRUE(Sink().navigations.empty());
}

TEST_F(LiveShowWindowTest, ClickSelectsThatSiteOnlyAndHiddenButtonsDoNothing) {
  Open({{"A", "http://a/"}, {"B", ""}, {"C", "http://c/show"}});
  // A site without an address takes no room in the row.
  EXPECT_FALSE(SiteButton(1).visible);
  EXPECT_EQ(SiteButton(2).bounds, Rect::FromSize(95, 3, 80, 25));

  SiteButton(2).Click();
  EXPECT_EQ(window->SelectedSite(), 2);
  EXPECT_EQ(SiteButton(2).Selected(), 1);
  EXPECT_EQ(SiteButton(0).Selected(), 0);
  EXPECT_EQ(Host().caption, "C" + Gbk(" 视频直播"));
  EXPECT_EQ(Browser().navigations.back(), "http://c/show");

  SiteButton(1).Click();
  SiteButton(7).Click();
  EXPECT_EQ(window->SelectedSite(), 2);
  EXPECT_EQ(Browser().navigations.size(), 2u);

  SiteButton(0).Click();
  EXPECT_EQ(window->SelectedSite(), 0);
  EXPECT_EQ(Browser().navigations.back(), "http://a/");
}

TEST_F(LiveShowWindowTest, TableWalkStopsAtEndAndAtTenButtons) {
  std::vector<LiveSite> many;
  for (int i = 0; i < 12; ++i) many.push_back({"S" + std::to_string(i), "http://s/" + std::to_string(i)});
  Open(many);
  EXPECT_EQ(window->SiteCount(), 10);
  EXPECT_EQ(SiteButton(9).bounds, Rect::FromSize(10 + 85 * 9, 3, 80, 25));
  EXPECT_TRUE(SiteButton(9).visible);

  FakePlatform p;
  WindowSet set(p);
  auto& w = set.Open<LiveShowWindow>(std::vector<LiveSite>{{"A", "http://a/"}, {"end", "http://x/"}, {"B", "http://b/"}});
  EXPECT_EQ(w.SiteCount(), 1);
  EXPECT_FALSE(p.Window(0).Control<FakeFlatButton>(LiveShowWindow::kFirstSiteButtonId + 1)->visible);

  FakePlatform empty;
  WindowSet emptySet(empty);
  auto& none = emptySet.Open<LiveShowWindow>(std::vector<LiveSite>{});
  EXPECT_EQ(none.SelectedSite(), -1);
  EXPECT_TRUE(empty.Window(0).Browser(LiveShowWindow::kBrowserId)->navigations.empty());
}

TEST_F(LiveShowWindowTest, ResizeRerunsTheLayout) {
  OpenBuiltIn();
  Host().Resize({700, 400});
  EXPECT_EQ(Browser().bounds, Rect::FromSize(0, 30, 700, 370));
  EXPECT_EQ(Sink().bounds, Rect::FromSize(699, 399, 1, 1));
  EXPECT_EQ(SiteButton(4).bounds, Rect::FromSize(350, 3, 80, 25));
}

TEST_F(LiveShowWindowTest, PopupsLoadInTheSinkAndEachBecomesAPlayMvRelaunch) {
  OpenBuiltIn();
  EXPECT_EQ(Browser().FireNewWindow(), &Sink());
  EXPECT_EQ(platform.windows.size(), 1u);

  struct Case {
    std::string webAddress;       // as the engine reports it
    std::string expectedPayload;  // "" when nothing is relaunched
  } cases[] = {
      {"http://r/room 1?x=1", "runPlay:cmd=PLAYMV|http://r/room**BK**1?x=1|" + Gbk("视频直播") + "|"},
      {"http://r/%E6%88%BF", "runPlay:cmd=PLAYMV|http://r/" + Gbk("房") + "|" + Gbk("视频直播") + "|"},
      // A "|" in the address would split the command's fields.
      {"http://r/a|b", "runPlay:cmd=PLAYMV|http://r/a%7Cb|" + Gbk("视频直播") + "|"},
      {"about:blank", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.webAddress);
    platform.startedProcesses.clear();
    EXPECT_TRUE(Sink().FireBeforeNavigate(c.webAddress));
    if (c.expectedPayload.empty()) {
      EXPECT_TRUE(platform.startedProcesses.empty());
    } else {
      ASSERT_EQ(platform.startedProcesses.size(), 1u);
      EXPECT_EQ(platform.startedProcesses[0], Relaunch(c.expectedPayload));
    }
  }
  EXPECT_TRUE(Sink().navigations.empty());
}

TEST_F(LiveShowWindowTest, PlayMvQueryInTheBrowserRelaunchesFromTheQuestionMark) {
  OpenBuiltIn();
  struct Case {
    std::string address;
    bool cancelled;
    std::string word;
  } cases[] = {
      {"http://s/room.htm?cmd=PLAYMV|http://s/r 9|Room|", true, "runPlay:?cmd=PLAYMV|http://s/r**BK**9|Room|"},
      {"http://s/a?b=1?cmd=PLAYMV", true, "runPlay:?cmd=PLAYMV"},
      {"http://s/room.htm?CMD=PLAYMV|x|", false, ""},
      {"http://s/cmd=PLAYMV|x|", false, ""},
      {"http://s/next.htm", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    platform.startedProcesses.clear();
    EXPECT_EQ(Browser().FireBeforeNavigate(c.address), c.cancelled);
    if (c.word.empty()) {
      EXPECT_TRUE(platform.startedProcesses.empty());
    } else {
      ASSERT_EQ(platform.startedProcesses.size(), 1u);
      EXPECT_EQ(platform.startedProcesses[0], Relaunch(c.word));
    }
  }
}

// A room starts a process only from a page of a listed site, once a click.
TEST_F(LiveShowWindowTest, RoomsStartFromListedSitesOnAClickEach) {
  OpenBuiltIn();
  struct Case {
    const char* page;
    bool byUser;
    unsigned long long gesture;
    bool started;
  } cases[] = {
      {"http://www.woxiu.com/hall", true, 1, true},
      {"http://www.6.cn/", true, 2, true},  // a site typed as a bare host
      {"http://www.woxiu.com/hall", true, 2, false},  // the same click again
      {"http://www.woxiu.com/hall", false, 3, false},
      {"http://evil.test/", true, 4, false},
      {"", true, 5, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.page) + " " + std::to_string(c.gesture));
    platform.startedProcesses.clear();
    EXPECT_TRUE(Sink().FireNavigation({"http://r/room", c.byUser, c.page, c.gesture}));
    EXPECT_EQ(platform.startedProcesses.size(), c.started ? 1u : 0u);
  }
  platform.startedProcesses.clear();
  EXPECT_TRUE(Browser().FireNavigation({"http://s/r?cmd=PLAYMV|http://s/r|R|", true, "http://evil.test/", 9}));
  EXPECT_TRUE(platform.startedProcesses.empty());
}

TEST_F(LiveShowWindowTest, ConfiguredStartAddressesReplaceTheBuiltInOnes) {
  testing::WriteFile(dir.File("main.htm"), "[LIVE_SITE_2]\nhttp://demo/live2.htm\n[LIVE_SITE_5]\n  \n");
  std::vector<LiveSite> sites = LiveSiteTable(dir.File("main.htm"));
  ASSERT_EQ(sites.size(), 5u);
  EXPECT_EQ(sites[1].name, Gbk("我秀直播"));
  EXPECT_EQ(sites[1].startAddress, "http://demo/live2.htm");
  EXPECT_EQ(sites[0].startAddress, "www.6.cn");
  EXPECT_EQ(sites[2].startAddress, "http://www.yy.com/show");
  EXPECT_FALSE(sites[4].startAddress.empty());
  EXPECT_EQ(LiveSiteTable(dir.File("missing.htm"))[1].startAddress, "http://www.woxiu.com/");
}

TEST(SiteNavigationAddressTest, OnlyBareHostsGetAScheme) {
  struct Case {
    std::string start, expected;
  } cases[] = {
      {"www.6.cn", "http://www.6.cn"},
      {"host:8080/live", "http://host:8080/live"},
      {"http://a/", "http://a/"},
      {"https://a/show", "https://a/show"},
      {"about:blank", "about:blank"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SiteNavigationAddress(c.start), c.expected) << c.start;
}

TEST_F(LiveShowWindowTest, BrowsingKeysStepThroughTheRoomAndCtrlWCloses) {
  OpenBuiltIn();
  EXPECT_TRUE(Host().FireKey(port::Key::kRight, port::kAlt));
  EXPECT_TRUE(Host().FireKey(port::Key::kF5));
  EXPECT_EQ(Browser().historySteps, (std::vector<std::string>{"forward", "reload"}));
  EXPECT_TRUE(Sink().historySteps.empty());
  EXPECT_TRUE(Host().FireKey(port::Key::kW, port::kControl));
  EXPECT_TRUE(Host().destroyed);
}

TEST_F(LiveShowWindowTest, EscapeClosesTheWindowAndEnterStaysWithThePage) {
  OpenBuiltIn();
  EXPECT_FALSE(Host().FireKey(port::Key::kEnter));
  EXPECT_FALSE(Host().destroyed);
  EXPECT_TRUE(Host().FireKey(port::Key::kEscape));
  EXPECT_TRUE(Host().destroyed);
  EXPECT_EQ(windows.Count(), 0);
  EXPECT_TRUE(platform.startedProcesses.empty());
}

TEST_F(LiveShowWindowTest, ClosingEndsTheWindow) {
  OpenBuiltIn();
  Host().RequestClose();
  EXPECT_TRUE(Host().destroyed);
  EXPECT_EQ(windows.Count(), 0);
  // A late pop-up of the closed window's page finds nothing to load in.
  EXPECT_EQ(Browser().FireNewWindow(), nullptr);
  EXPECT_FALSE(Sink().FireBeforeNavigate("http://r/room"));
  EXPECT_TRUE(platform.startedProcesses.empty());
}

TEST_F(LiveShowWindowTest, RunEntryRunsTheWindowUntilItCloses) {
  testing::WriteFile(dir.File("main.htm"), "[LIVE_SITE_1]\nhttp://demo/live1.htm\n");
  RunLiveShowWindow(windows, dir.File("main.htm"));
  ASSERT_EQ(platform.modalRuns.size(), 1u);
  EXPECT_EQ(platform.modalRuns[0], &Host());
  EXPECT_EQ(Host().caption, Gbk("六间房") + Gbk(" 视频直播"));
  EXPECT_EQ(Browser().navigations, std::vector<std::string>{"http://demo/live1.htm"});
  EXPECT_EQ(windows.Count(), 0);
}

}  // namespace
}  // namespace tavelo
