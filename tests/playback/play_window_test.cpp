#include "playback/play_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "browser/command_protocol.h"
#include "fakes/fake_port.h"
#include "net/http_downloader.h"
#include "net/loopback_server.h"
#include "content/episode_cache.h"
#include "content/episode_fetch.h"
#include "playback/select_open_window.h"
#include "support/temp_dir.h"
#include "text/encoding.h"
#include "text/gbk_text.h"

namespace tavelo {
namespace {

using namespace std::chrono_literals;
using fakes::FakeBrowserView;
using fakes::FakeInfoPanel;
using fakes::FakeListView;
using fakes::FakePlatform;
using fakes::FakeWindowHost;

// The grey status frame around a fragment, as the view receives it (UTF-8).
std::string StatusPage(const std::string& utf8Fragment) {
  return "about:<body scroll=no bgcolor=#f9f9f9 style=\"border:1px solid #bdbdbd\"><center>"
         "<table width=100% height=100% ><tr><td align=center>" +
         utf8Fragment + "</td></tr></table></center></body>";
}

// An episode element of the show pages' first layout.
std::string Episode(const std::string& id, const std::string& utf8Label) {
  return "<div class=\"item\" name=\"tvlist\" id=\"item_" + id + "\" title=\"" + Gbk(utf8Label) + "\">";
}

class RecordingOwner : public PlayWindowOwner {
 public:
  std::string AddToFavourites(const std::string& name, const std::string& record) override {
    favourites.push_back(name + "|" + record);
    return "added";
  }
  void OpenSearch(const std::string& keyword) override { searches.push_back(keyword); }
  std::vector<std::string> favourites;
  std::vector<std::string> searches;
};

// The window works in a program folder of its own (the watch history lives in
// data/ there); show pages come from a loopback server that stands for the
// video site.
class PlayWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mkdir(dir_.File("data").c_str(), 0755);
    mkdir(dir_.File("tavelo").c_str(), 0755);
    server_.Routes().Get(R"(/v_show/(.*))", [this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex_);
      const auto status = statuses_.find(request.matches[1]);
      if (status != statuses_.end()) response.status = status->second;
      response.set_content(pages_[request.matches[1]], "text/html; charset=gbk");
    });
    // Sends one episode in a block of its own, then a byte at a time until
    // the client goes away.
    server_.Routes().Get("/hold", [this](const httplib::Request&, httplib::Response& response) {
      held_ = true;
      response.set_chunked_content_provider("text/html", [this](size_t offset, httplib::DataSink& sink) {
        if (offset == 0) {
          std::string start = Episode("H1", "第1集");
          start.resize(HttpDownloader::kTextChunk, ' ');
          return sink.write(start.data(), start.size());
        }
        std::this_thread::sleep_for(20ms);
        if (server_.Released()) return false;
        if (sink.write(" ", 1)) return true;
        dropped_ = true;
        return false;
      });
    });
    server_.Start();
    host_ = server_.Url("").substr(std::string("http://").size());
    WriteTemplate("[YOUKU_PLAY_URL]\nhttp://p.test/play.htm?u=CODE_URL&n=CODE_NAME&s=CODE_SECTION\n");
    platform_.workArea = {0, 0, 1920, 1040};
    windows_.SetPaths(ProgramPaths{dir_.Path()});
  }
  void TearDown() override {
    windows_.CloseAll();
  }

  // data/main.htm: the video site is the loopback server, plus `extra`.
  void WriteTemplate(const std::string& extra) {
    testing::WriteFile(dir_.File("data/main.htm"), "[VIDEO_SITE_DOMAIN]\n" + host_ + "\n[VIDEO_SHOW_HOST]\nhttp://" + host_ +
                                            "\n[VIDEO_PLAYER_HOST]\nsite-player.test\n" + Gbk(extra));
  }
  void ServePage(const std::string& id, const std::string& body, int status = 200) {
    std::lock_guard lock(mutex_);
    pages_["id_" + id + ".html"] = body;
    statuses_["id_" + id + ".html"] = status;
  }
  std::string ShowPage(const std::string& id) { return "http://" + host_ + "/v_show/id_" + id + ".html"; }
  std::string Record(const std::string& utf8Title, const std::string& address) {
    return Gbk(utf8Title) + "\n" + address + "\n2009\n" + Gbk("香港") + "\n" + Gbk("动作") + "\n" + Gbk("林晓川");
  }

  PlayWindow& Open(const std::string& record) {
    hostIndex_ = platform_.windows.size();
    PlayWindow& window = windows_.Open<PlayWindow>(owner_);
    EXPECT_EQ(window.OpenRecord(Gbk("推荐"), record, Gbk("查看详细")), 0);
    return window;
  }
  // Runs the user-interface thread's posted work until the fetch is done.
  void WaitForEpisodes(PlayWindow& window) {
    auto deadline = std::chrono::steady_clock::now() + 20s;
    while (window.Fetching() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(5ms);
      Host().RunPosted();
    }
    ASSERT_FALSE(window.Fetching()) << "the episode list did not arrive";
  }
  // A window on a video of three episodes, listed.
  PlayWindow& OpenWithEpisodes() {
    ServePage("V3", Episode("E1", "第1集") + Episode("E2", "第2集") + Episode("E3", "第3集"));
    PlayWindow& window = Open(Record("天龙 八部", ShowPage("V3")));
    WaitForEpisodes(window);
    return window;
  }

  // The play window opened last.
  FakeWindowHost& Host() { return platform_.Window(hostIndex_); }
  FakeBrowserView& Browser() { return *Host().Browser(PlayWindow::kBrowserId); }
  FakeListView& List() { return *Host().List(PlayWindow::kListId); }
  FakeInfoPanel& Panel() { return *Host().InfoPanel(PlayWindow::kPanelId); }
  std::string StatusLine() { return Host().Control<fakes::FakeStatic>(PlayWindow::kStatusId)->text; }

  testing::TempDir dir_;
  testing::LoopbackServer server_;
  std::mutex mutex_;
  std::map<std::string, std::string> pages_;
  std::map<std::string, int> statuses_;
  std::atomic<bool> held_{false};
  std::atomic<bool> dropped_{false};
  std::string host_;
  FakePlatform platform_;
  WindowSet windows_{platform_};
  RecordingOwner owner_;
  size_t hostIndex_ = 0;
};

TEST_F(PlayWindowTest, OpensHiddenInTheMiddleOfTheWorkAreaUpTo1200By650) {
  struct Case {
    Rect workArea, placement;
  } cases[] = {
      {{0, 0, 1920, 1040}, Rect::FromSize(360, 195, 1200, 650)},
      {{0, 0, 1024, 738}, Rect::FromSize(0, 44, 1024, 650)},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.workArea = c.workArea;
    WindowSet windows(platform);
    windows.SetPaths(ProgramPaths{dir_.Path()});
    windows.Open<PlayWindow>(owner_);
    FakeWindowHost& host = platform.Window(0);
    EXPECT_EQ(host.placement, c.placement);
    EXPECT_FALSE(host.shown);
    EXPECT_EQ(host.caption, Gbk("播放视频"));
  }
}

TEST_F(PlayWindowTest, LaysOutBrowserListPanelAndStatusLineFromTheClientSize) {
  windows_.Open<PlayWindow>(owner_);
  Host().Resize({1000, 700});
  EXPECT_EQ(Browser().bounds, Rect::FromSize(1, 1, 776, 682));
  EXPECT_EQ(List().bounds, Rect::FromSize(780, 0, 220, 590));
  EXPECT_EQ(Panel().bounds, Rect::FromSize(780, 592, 220, 108));
  EXPECT_EQ(Host().Control<fakes::FakeStatic>(PlayWindow::kStatusId)->bounds, Rect::FromSize(10, 685, 707, 15));
  EXPECT_EQ(Host().FlatButton(PlayWindow::kRestartId)->bounds, Rect::FromSize(717, 684, 60, 16));
  const std::string titles[] = {Gbk("视频列表"), Gbk("播放"), " "};
  const int widths[] = {143, 50, 2};
  for (int column = 0; column < 3; ++column) {
    EXPECT_EQ(List().model.ColumnTitle(column), titles[column]);
    EXPECT_EQ(List().model.ColumnWidth(column), widths[column]);
  }
  EXPECT_EQ(List().model.ColumnCount(), 3);
  EXPECT_EQ(List().model.RowStyle(), SkinListCtrl::kEpisodeRows);
  EXPECT_EQ(List().model.RowHeight(), 18);
}

TEST_F(PlayWindowTest, ARecordOfAnotherSiteIsRefusedAndLeavesNoWindow) {
  OpenPlayWindow(windows_, owner_, "n", Gbk("片名") + "\nhttp://other.test/v.html", "");
  ASSERT_EQ(platform_.messageBoxes.size(), 1u);
  EXPECT_EQ(platform_.messageBoxes[0].text, Gbk("分析内容出错,请下载最新版本软件"));
  EXPECT_TRUE(platform_.LiveWindows().empty());
  EXPECT_EQ(windows_.Count(), 0);
  EXPECT_FALSE(testing::FileExists(dir_.File("data/myvisited.dat")));
}

TEST_F(PlayWindowTest, OpenRecordShowsTheVideoAndRecordsTheVisit) {
  ServePage("V1", Episode("E1", "第1集") + Episode("E2", "第2集"));
  const std::string record = Record("&nbsp;天龙 八部", ShowPage("V1"));
  PlayWindow& window = Open(record);
  EXPECT_TRUE(Host().shown);
  EXPECT_EQ(Host().caption, Gbk("天龙 八部 播放"));
  EXPECT_EQ(Browser().navigations.front(), StatusPage("正在获取视频信息,请稍候..."));
  EXPECT_EQ(Panel().info, record);
  std::vector<std::pair<int, std::string>> words;
  for (const auto& word : Panel().addedWords) words.emplace_back(word.kind, word.text);
  EXPECT_EQ(words, (std::vector<std::pair<int, std::string>>{{3, "br"},
                                                              {1, Gbk("操作:")},
                                                              {2, Gbk("收藏视频")},
                                                              {2, Gbk("复制视频网址")},
                                                              {3, "br"},
                                                              {1, Gbk("　 　")},
                                                              {2, Gbk("单独窗口打开视频")}}));
  EXPECT_GT(Panel().relayouts, 0);
  // The history holds the visit with its line breaks escaped.
  EXPECT_EQ(testing::ReadFile(dir_.File("data/myvisited.dat")),
            "0\t" + Gbk("推荐") + "\t" + ReplaceAll(record, "\n", "**MYN**") + "\tdata3\t\r\n");
  EXPECT_TRUE(window.Fetching());
  EXPECT_EQ(StatusLine(), Gbk("正在获取数据...."));
}

TEST_F(PlayWindowTest, TheFetchedListShowsWithTheLastPlayedEpisodeSelectedThenTheReadyPage) {
  ServePage("V2", Episode("E1", "第1集") + Episode("E2", "第2集") + Episode("E3", "第3集"));
  EpisodeFiles(ProgramPaths{dir_.Path()}, ShowPage("V2")).SaveLastPlayed(ShowPage("E2"));
  PlayWindow& window = Open(Record("天龙", ShowPage("V2")));
  WaitForEpisodes(window);

  ASSERT_EQ(List().RowCount(), 3);
  EXPECT_EQ(List().Cell(1, 0), Gbk("第2集"));
  EXPECT_EQ(List().Cell(1, 1), Gbk("播放"));
  EXPECT_EQ(List().Cell(1, 2), ShowPage("E2"));
  EXPECT_EQ(List().FirstSelectedRow(), 1);
  EXPECT_EQ(StatusLine(), Gbk("获取完成,请从列表中点击需要播放的视频"));
  EXPECT_EQ(Host().timers, (std::map<int, int>{{PlayWindow::kReadyPageTimer, 100}}));
  ASSERT_TRUE(Host().FireTimer(PlayWindow::kReadyPageTimer));
  EXPECT_EQ(Browser().navigations.back(),
            StatusPage("获取完成,请点击右侧选择播放视频<br><br><font color=green>上次己播放的视频:第2集</font>"));
  EXPECT_TRUE(platform_.messageBoxes.empty());
}

TEST_F(PlayWindowTest, APageWithoutEpisodesAndNoCacheSaysSoAndStillShowsTheReadyPage) {
  ServePage("V0", "<html>nothing here</html>");
  PlayWindow& window = Open(Record("x", ShowPage("V0")));
  WaitForEpisodes(window);
  EXPECT_EQ(List().RowCount(), 0);
  ASSERT_EQ(platform_.messageBoxes.size(), 1u);
  EXPECT_EQ(platform_.messageBoxes[0].text, FetchFailedMessage());
  EXPECT_EQ(Host().timers, (std::map<int, int>{{PlayWindow::kReadyPageTimer, 100}}));
}

// An error page with a title would scrape as a one-episode list: it is a
// failed fetch, and the video's cached list is shown and left as it was.
TEST_F(PlayWindowTest, AnErrorPageLeavesTheCachedListAsItWas) {
  const EpisodeFiles files(ProgramPaths{dir_.Path()}, ShowPage("V404"));
  ASSERT_TRUE(files.SaveList({{Gbk("第1集"), ShowPage("E1")}, {Gbk("第2集"), ShowPage("E2")}}));
  const std::string cached = testing::ReadFile(files.ListPath());
  ServePage("V404", "<html><head><title>404 Not Found</title></head></html>", 404);
  PlayWindow& window = Open(Record("x", ShowPage("V404")));
  WaitForEpisodes(window);

  ASSERT_EQ(List().RowCount(), 2);
  EXPECT_EQ(List().Cell(1, 2), ShowPage("E2"));
  EXPECT_EQ(testing::ReadFile(files.ListPath()), cached);
  EXPECT_TRUE(platform_.messageBoxes.empty());
  EXPECT_EQ(Host().timers, (std::map<int, int>{{PlayWindow::kReadyPageTimer, 100}}));
}

TEST_F(PlayWindowTest, ClicksActByColumn) {
  struct Case {
    const char* what;
    int row, column;
    bool doubleClick;
    std::string statusLine;  // UTF-8
    bool plays;
  } cases[] = {
      {"label cell", 1, 0, false, "第2集", false},
      {"play cell", 1, 1, false, "第2集", true},
      {"address column", 1, 2, false, "第2集", false},
      // A row is still selected, but the click hit none.
      {"below the rows", -1, 0, false, "选择视频列表进行播放", false},
      {"double click on the label", 2, 0, true, "获取完成,请从列表中点击需要播放的视频", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PlayWindow& window = OpenWithEpisodes();
    const int selected = c.row >= 0 ? c.row : 1;
    // Only that row: the episode played in an earlier case is preselected.
    for (int row = 0; row < List().RowCount(); ++row) List().SelectRow(row, row == selected);
    if (c.doubleClick) {
      List().DoubleClick(c.row, c.column);
    } else {
      List().Click(c.row, c.column);
    }
    EXPECT_EQ(StatusLine(), Gbk(c.statusLine));
    EXPECT_EQ(Host().timers.count(PlayWindow::kPlayTimer), c.plays ? 1u : 0u);
    EXPECT_EQ(window.CurrentAddress(), c.plays ? List().Cell(selected, 2) : "");
    window.Host().Close();
  }
}

TEST_F(PlayWindowTest, PlayingShowsTheLoadingPageThenThePlayerOnTimer2) {
  struct Case {
    std::string playerTemplate;  // UTF-8
    std::string address;
    int result;
    std::string navigation;  // "" for the loading page staying
  } cases[] = {
      // The view receives GBK bytes percent-escaped; a space of a SRC_ value
      // stays as it is.
      {"[YOUKU_PLAY_URL]\nhttp://p.test/play.htm?u=CODE_URL&n=CODE_NAME&s=CODE_SECTION&raw=SRC_NAME|SRC_SECTION\n",
       "http://v.test/v_show/id_E2.html", 0,
       "http://p.test/play.htm?u=http%3A%2F%2Fv%2Etest%2Fv%5Fshow%2Fid%5FE2%2Ehtml&n=%CC%EC%C1%FA%20%B0%CB%B2%BF"
       "&s=%B5%DA2%BC%AF&raw=%CC%EC%C1%FA %B0%CB%B2%BF|%B5%DA2%BC%AF"},
      {"", "http://v.test/v_show/id_ABC123.html", 0, "http://site-player.test/player.php/sid/ABC123/v.swf"},
      {"", "http://v.test/v_show/ABC123.html", 1, ""},
      {"", "http://v.test/v_show/id_ABC123", 1, ""},
  };
  PlayWindow& window = OpenWithEpisodes();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    WriteTemplate(c.playerTemplate);
    EXPECT_EQ(window.PlayEpisode(Gbk("第2集"), c.address), c.result);
    EXPECT_EQ(Browser().navigations.back(), StatusPage("视频加载,请稍候...<br>Loading..."));
    EXPECT_EQ(window.CurrentAddress(), c.address);
    // Even an episode that cannot play is the one to preselect next time.
    EXPECT_EQ(EpisodeFiles(ProgramPaths{dir_.Path()}, ShowPage("V3")).LoadLastPlayed(), c.address);
    EXPECT_EQ(Host().FireTimer(PlayWindow::kPlayTimer), !c.navigation.empty());
    if (!c.navigation.empty()) {
      EXPECT_EQ(Browser().navigations.back(), c.navigation);
    }
  }
}

TEST_F(PlayWindowTest, ASingleEpisodeIsHandedToANewProcessAndTheWindowCloses) {
  ServePage("S1", Episode("E1", "第1集"));
  PlayWindow& window = Open(Record("My Show", ShowPage("S1")));
  WaitForEpisodes(window);
  EXPECT_EQ(Host().timers, (std::map<int, int>{{PlayWindow::kReadyPageTimer, 100}, {PlayWindow::kHandOffTimer, 500}}));
  ASSERT_TRUE(Host().FireTimer(PlayWindow::kHandOffTimer));
  ASSERT_EQ(platform_.startedProcesses.size(), 1u);
  const std::vector<std::string>& argv = platform_.startedProcesses[0];
  ASSERT_EQ(argv.size(), 2u);
  EXPECT_EQ(argv[0], RelaunchArguments("")[0]);
  EXPECT_EQ(argv[1], "runPlay:" + ShowPage("E1") + "**TAB**My**BK**Show**TAB**" + Gbk("第1集"));
  EXPECT_TRUE(Host().destroyed);
  EXPECT_EQ(windows_.Count(), 0);
}

TEST_F(PlayWindowTest, PanelWordsFavourCopySearchOrOpenTheSelectWindow) {
  OpenWithEpisodes();
  const std::string record = Record("天龙 八部", ShowPage("V3"));

  Panel().ClickWord("");
  Panel().ClickWord(Gbk("复制视频网址"));
  ASSERT_EQ(platform_.messageBoxes.size(), 1u);
  EXPECT_EQ(platform_.messageBoxes[0].text, Gbk("请先点击\"播放\"视频列表中的视频"));
  EXPECT_EQ(platform_.clipboard, "");

  List().Click(2, 1);
  Panel().ClickWord(Gbk("复制视频网址"));
  EXPECT_EQ(platform_.clipboard, ShowPage("E3"));  // the episode, not the show page
  ASSERT_EQ(platform_.messageBoxes.size(), 2u);
  EXPECT_EQ(platform_.messageBoxes[1].text, Gbk("地址己复制到剪切板"));

  Panel().ClickWord(Gbk("收藏视频"));
  EXPECT_EQ(owner_.favourites, std::vector<std::string>{Gbk("推荐") + "|" + record});
  // The answer shows over the play window, where the user clicked.
  ASSERT_EQ(platform_.messageBoxes.size(), 3u);
  EXPECT_EQ(platform_.messageBoxes[2].text, "added");
  EXPECT_EQ(platform_.messageBoxes[2].owner, &platform_.Window(0));
  Panel().ClickWord(Gbk("香港"));
  Panel().ClickWord(Gbk("地区:"));
  EXPECT_EQ(owner_.searches, (std::vector<std::string>{Gbk("香港"), Gbk("地区:")}));

  Panel().ClickWord(Gbk("单独窗口打开视频"));
  ASSERT_EQ(windows_.Count(), 2);
  FakeWindowHost& select = *platform_.windows.back();
  EXPECT_EQ(select.caption, Gbk("天龙 八部 视频列表"));
  FakeListView& copy = *select.List(SelectOpenWindow::kListId);
  ASSERT_EQ(copy.RowCount(), 3);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) EXPECT_EQ(copy.Cell(row, column), List().Cell(row, column));
  }
  EXPECT_EQ(platform_.messageBoxes.size(), 3u);
}

TEST_F(PlayWindowTest, SelectWindowsCloseWithThePlayWindowButNotTheOtherWayRound) {
  PlayWindow& window = OpenWithEpisodes();
  Panel().ClickWord(Gbk("单独窗口打开视频"));
  Panel().ClickWord(Gbk("单独窗口打开视频"));
  ASSERT_EQ(windows_.Count(), 3);
  platform_.windows[1]->RequestClose();
  EXPECT_EQ(windows_.Count(), 2);
  EXPECT_FALSE(Host().destroyed);
  window.Host().Close();
  EXPECT_TRUE(platform_.windows[2]->destroyed);
  EXPECT_EQ(windows_.Count(), 0);
}

TEST_F(PlayWindowTest, EnterAndEscapeDoNotCloseTheWindow) {
  OpenWithEpisodes();
  EXPECT_TRUE(Host().FireKey(port::Key::kEscape));
  EXPECT_TRUE(Host().FireKey(port::Key::kEnter));
  EXPECT_FALSE(Host().FireKey(port::Key::kOther));
  EXPECT_FALSE(Host().destroyed);
}

TEST_F(PlayWindowTest, BrowsingKeysStepThroughThePlayerAndCtrlWCloses) {
  OpenWithEpisodes();
  EXPECT_TRUE(Host().FireKey(port::Key::kLeft, port::kAlt));
  EXPECT_TRUE(Host().FireKey(port::Key::kRight, port::kAlt));
  EXPECT_TRUE(Host().FireKey(port::Key::kF5));
  EXPECT_EQ(Host().Browser(PlayWindow::kBrowserId)->historySteps,
            (std::vector<std::string>{"back", "forward", "reload"}));
  EXPECT_TRUE(Host().FireKey(port::Key::kW, port::kControl));
  EXPECT_TRUE(Host().destroyed);
}

// Closing while the show page still arrives returns at once; the transfer is
// cancelled, and nothing the worker got reaches the window or the files.
TEST_F(PlayWindowTest, ClosingWhileFetchingCancelsTheTransferAndDropsItsResults) {
  PlayWindow& window = Open(Record("x", "http://" + host_ + "/hold"));
  auto deadline = std::chrono::steady_clock::now() + 20s;
  while (StatusLine().find(Gbk("下载数据")) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(5ms);
    Host().RunPosted();
  }
  ASSERT_NE(StatusLine().find(Gbk("下载数据")), std::string::npos) << "the download did not report";
  ASSERT_TRUE(window.Fetching());

  // Should closing wait for the worker, the worker would wait for the server
  // until this releases it.
  std::atomic<bool> closed{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 1500 && !closed; ++i) std::this_thread::sleep_for(10ms);
    server_.Release();
  });
  Host().RequestClose();
  const bool releasedBeforeClose = server_.Released();
  for (int i = 0; i < 1000 && !dropped_; ++i) std::this_thread::sleep_for(10ms);
  closed = true;
  watchdog.join();
  EXPECT_FALSE(releasedBeforeClose) << "closing waited for the download";
  EXPECT_TRUE(dropped_) << "the transfer was not cancelled";
  EXPECT_TRUE(Host().destroyed);

  // The worker has given up; it wrote no list from the part it received.
  std::this_thread::sleep_for(100ms);
  Host().RunPosted();
  EXPECT_TRUE(testing::FolderNames(dir_.File("tavelo")).empty());
  EXPECT_TRUE(platform_.messageBoxes.empty());
}

}  // namespace
}  // namespace tavelo
