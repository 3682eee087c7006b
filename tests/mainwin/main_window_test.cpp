#include "mainwin/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/program_paths.h"
#include "fakes/fake_port.h"
#include "playback/play_window.h"
#include "skin/skin_list_ctrl.h"
#include "support/temp_dir.h"
#include "text/encoding.h"
#include "windows/fetch_progress_dialog.h"
#include "windows/personal_list_window.h"
#include "windows/resource_window.h"
#include "windows/search_window.h"
#include "windows/web_window.h"

namespace tavelo {
namespace {

using fakes::FakeBrowserView;
using fakes::FakeFlatButton;
using fakes::FakePlatform;
using fakes::FakeWindowHost;

// The window works on data/ of the current directory, as the program does
// after start-up; each test gets a fresh one with its own data/main.htm.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mkdir(dir_.File("data").c_str(), 0755);
    platform_.workArea = {0, 0, 1280, 770};
    windows_.SetPaths(ProgramPaths{dir_.Path()});
  }
  void WriteTemplate(const std::string& utf8) { testing::WriteFile(dir_.File("data/main.htm"), Gbk(utf8)); }

  MainWindow& Open(bool firstRunSetup = true) {
    MainWindowSetup setup;
    setup.firstRunSetup = firstRunSetup;
    setup.firstRun.directory = dir_.Path();
    setup.firstRun.launcherPath = dir_.File("tavelo-launcher");
    setup.firstRun.uninstallPath = dir_.File("uninstall");
    setup.firstRun.caption = Gbk("Tavelo(Tavelo视频播放器)");
    setup.firstRun.desktopFolder = dir_.File("Desktop");
    setup.firstRun.programsFolder = dir_.File("applications");
    setup.firstRun.registryDirectory = dir_.File("registry/");
    setup.startDataUpdate = false;
    window_ = &windows_.Open<MainWindow>(catalogue_, setup);
    return *window_;
  }
  FakeWindowHost& Host() { return platform_.Window(0); }
  FakeFlatButton* Nav(int id) { return Host().Control<FakeFlatButton>(id); }
  FakeBrowserView* Browser() { return Host().Browser(MainWindow::kBrowser); }
  std::string LastNavigation() { return Browser()->navigations.empty() ? "" : Browser()->navigations.back(); }
  std::vector<int> SelectedButtons() {
    std::vector<int> selected;
    for (int id : {1014, 1029, 1015, 1016, 1017, 1018, 1019, 1027, 1020, 1023, 1022, 1028, 1012}) {
      if (Nav(id)->Selected()) selected.push_back(id);
    }
    return selected;
  }

  testing::TempDir dir_;
  FakePlatform platform_;
  CatalogueStore catalogue_;
  WindowSet windows_{platform_, OpenPopupWebWindow};
  MainWindow* window_ = nullptr;
};

TEST_F(MainWindowTest, OpensOnTheWorkAreaInListMode) {
  Open();
  FakeWindowHost& host = Host();
  EXPECT_EQ(host.caption, Gbk("Tavelo(Tavelo视频播放器)"));
  EXPECT_EQ(host.placement, Rect::FromSize(20, 10, 1240, 750));
  EXPECT_EQ(host.systemMenu.at(MainWindow::kAboutCommand), Gbk("关于 Tavelo(&A)..."));
  EXPECT_EQ(host.Control<fakes::FakeEdit>(MainWindow::kSearchEdit)->text, Gbk("输入视频,演员名称,搜索视频"));
  EXPECT_EQ(host.Control<fakes::FakeEdit>(MainWindow::kSearchEdit)->accessibleName, Gbk("搜索视频"));
  EXPECT_EQ(host.timers.at(MainWindow::kStartTimer), 100);
  EXPECT_EQ(Nav(1014)->Text(), Gbk("推荐视频"));
  EXPECT_EQ(Nav(1014)->bounds, Rect::FromSize(3, 30, 120, 28));
  EXPECT_EQ(Nav(1012)->bounds, Rect::FromSize(3, 30 + 12 * 28, 120, 28));

  const Size client = host.client;
  auto* panel = host.Control<fakes::FakeInfoPanel>(MainWindow::kInfoPanel);
  auto* list = host.Control<fakes::FakeListView>(MainWindow::kList);
  EXPECT_EQ(panel->bounds, (Rect{128, client.height - 44, client.width, client.height}));
  EXPECT_EQ(list->bounds, (Rect{128, 28, client.width, client.height - 47}));
  EXPECT_TRUE(panel->visible && list->visible);
  EXPECT_FALSE(Browser()->visible);
  const char* titles[] = {"分类", "视频名称", "播放视频", "收藏视频"};
  const int widths[] = {48, 300, 100, 100};
  ASSERT_EQ(list->model.Columns().size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(list->model.ColumnTitle(i), Gbk(titles[i])) << i;
    EXPECT_EQ(list->model.ColumnWidth(i), widths[i]) << i;
  }
  EXPECT_EQ(list->model.RowStyle(), SkinListCtrl::kCatalogueRows);
}

TEST_F(MainWindowTest, SearchBoxNeverStartsLeftOfTheContentArea) {
  Open();
  Host().Resize({1000, 600});
  EXPECT_EQ(Host().Control<fakes::FakeEdit>(MainWindow::kSearchEdit)->bounds, (Rect{582, 3, 932, 25}));
  EXPECT_EQ(Host().Control<fakes::FakeFaceButton>(MainWindow::kSearchButton)->bounds,
            Rect::FromSize(935, 3, 60, 22));
  Host().Resize({300, 600});
  EXPECT_EQ(Host().Control<fakes::FakeEdit>(MainWindow::kSearchEdit)->bounds.left, 128);
}

// An installed program's package made its menu entry; the window makes none.
TEST_F(MainWindowTest, WithoutFirstRunSetupTheStartMakesNoEntries) {
  WriteTemplate("[MAIN_URL2]\nhttp://cat/tj/index.asp\n");
  Open(false);
  ASSERT_TRUE(Host().FireTimer(MainWindow::kStartTimer));
  EXPECT_EQ(window_->Mode(), MainWindow::ContentMode::kRecommendedPage);
  EXPECT_TRUE(platform_.messageBoxes.empty());
  EXPECT_TRUE(platform_.yesNoQuestions.empty());
  EXPECT_FALSE(testing::FileExists(dir_.File("Desktop")));
  EXPECT_FALSE(testing::FileExists(dir_.File("applications")));
  EXPECT_FALSE(testing::FileExists(dir_.File("registry")));
}

TEST_F(MainWindowTest, StartShowsTheRecommendedPageAndRunsFirstRunSetup) {
  WriteTemplate("[MAIN_URL2]\nhttp://cat/tj/index.asp\n[P2P_URL2]\nhttp://cat/p2p.asp?a=1\n");
  Open();
  // The engine starts under the timers, for the page that follows them.
  EXPECT_EQ(Browser()->prepared, std::vector<std::string>{"http://cat/tj/index.asp"});
  ASSERT_TRUE(Host().FireTimer(MainWindow::kStartTimer));
  EXPECT_EQ(window_->Mode(), MainWindow::ContentMode::kRecommendedPage);
  EXPECT_EQ(SelectedButtons(), std::vector<int>{1014});
  EXPECT_EQ(LastNavigation().rfind("about:", 0), 0u);  // the loading page first
  EXPECT_EQ(Browser()->bounds, (Rect{128, 28, Host().client.width, Host().client.height}));
  EXPECT_FALSE(Host().Control<fakes::FakeListView>(MainWindow::kList)->visible);
  ASSERT_EQ(platform_.yesNoQuestions.size(), 1u);
  EXPECT_EQ(platform_.yesNoQuestions[0].text, Gbk("首次使用，是否在桌面和程序菜单中创建快捷方式？"));
  EXPECT_TRUE(testing::FileExists(dir_.File("Desktop")));

  ASSERT_TRUE(Host().FireTimer(MainWindow::kModePageTimer));
  EXPECT_EQ(LastNavigation(), "http://cat/tj/index.asp?v=108");

  Nav(MainWindow::kP2p)->Click();
  EXPECT_EQ(window_->Mode(), MainWindow::ContentMode::kP2pPage);
  EXPECT_EQ(SelectedButtons(), std::vector<int>{1029});
  Host().FireTimer(MainWindow::kModePageTimer);
  EXPECT_EQ(LastNavigation(), "http://cat/p2p.asp?a=1&v=108");
}

TEST_F(MainWindowTest, CategoriesNavigateOrFallBackToSearch) {
  WriteTemplate("[Y_LXJ]\nhttp://cat/list/lxj.htm\n");
  Open();
  Nav(MainWindow::kSeries)->Click();
  EXPECT_EQ(LastNavigation(), "http://cat/list/lxj.htm");
  EXPECT_EQ(window_->Mode(), MainWindow::ContentMode::kList);  // a category page leaves the mode alone
  EXPECT_EQ(SelectedButtons(), std::vector<int>{1015});

  Nav(MainWindow::kDocumentaries)->Click();
  EXPECT_EQ(SelectedButtons(), std::vector<int>{1019});
  ASSERT_NE(windows_.Find<SearchWindow>(), nullptr);
  EXPECT_EQ(platform_.Window(1).Control<fakes::FakeEdit>(SearchWindow::kEditId)->text, Gbk("纪录片"));
}

TEST_F(MainWindowTest, AMissingRecommendedPageFallsBackToTheSeriesButton) {
  WriteTemplate("[Y_LXJ]\nhttp://cat/list/lxj.htm\n");
  Open();
  Host().FireTimer(MainWindow::kStartTimer);
  Host().FireTimer(MainWindow::kModePageTimer);
  EXPECT_EQ(LastNavigation(), "http://cat/list/lxj.htm");
  EXPECT_EQ(SelectedButtons(), std::vector<int>{1015});
}

TEST_F(MainWindowTest, LiveTvAndLiveShowsStartANewCopyOfTheProgram) {
  Open();
  Nav(MainWindow::kLiveTv)->Click();
  Nav(MainWindow::kLiveShows)->Click();
  WriteTemplate("[TV]\nhttp://tv/p.asp?cmd=TVPLAY|http://tv/p.asp|Live TV|TOPMOST|800|600|\n");
  Nav(MainWindow::kLiveTv)->Click();
  const std::string self = ModuleFilePath();
  const std::string page = "http://127.0.0.1:8790/tj_tavelo/tv/play.asp";
  EXPECT_EQ(platform_.startedProcesses,
            (std::vector<std::vector<std::string>>{
                {self, "runPlay:" + page + "?cmd=TVPLAY|" + page + Gbk("|在线电视播放|NONEWWINDOW#TOPMOST|950|560|")},
                {self, "runPlay:cmd=PLAYINDEXMV"},
                {self, "runPlay:http://tv/p.asp?cmd=TVPLAY|http://tv/p.asp|Live**BK**TV|TOPMOST|800|600|"}}));
  EXPECT_TRUE(SelectedButtons().empty());
}

TEST_F(MainWindowTest, ProblemReportOpensAWebWindow) {
  Open();
  Nav(MainWindow::kProblemReport)->Click();
  ASSERT_EQ(platform_.LiveWindows().size(), 2u);
  EXPECT_EQ(platform_.Window(1).Browser(1011)->navigations,
            std::vector<std::string>{"http://127.0.0.5:8790/club/addjy.asp?soft=Tavelo(Tavelo%CA%D3%C6%B5%B2%A5%B7%C5%C6%F7)"});
}

TEST_F(MainWindowTest, AboutFromTheButtonAndTheSystemMenu) {
  Open();
  Nav(MainWindow::kAbout)->Click();
  Host().on_system_command(MainWindow::kAboutCommand);
  Host().on_system_command(40);  // not ours
  EXPECT_EQ(platform_.modalRuns.size(), 2u);
  EXPECT_EQ(windows_.Count(), 1);
}

TEST_F(MainWindowTest, ClosingTakesTheWindowsThatCarryItsCommandsAlong) {
  Open();
  Nav(MainWindow::kProblemReport)->Click();
  window_->OpenSearch("x");
  ASSERT_EQ(windows_.Count(), 3);
  Host().RequestClose();
  EXPECT_EQ(windows_.Count(), 0);
  EXPECT_TRUE(platform_.LiveWindows().empty());
}

TEST_F(MainWindowTest, SearchBoxRules) {
  Open();
  auto* edit = Host().Control<fakes::FakeEdit>(MainWindow::kSearchEdit);
  edit->PressEnter();  // still the placeholder
  ASSERT_EQ(platform_.messageBoxes.size(), 1u);
  EXPECT_EQ(platform_.messageBoxes[0].text, Gbk("输入搜索关键字,多个条件用空格分开"));
  EXPECT_EQ(windows_.Find<SearchWindow>(), nullptr);

  edit->SetText(Gbk("  江湖 "));
  Host().Control<fakes::FakeFaceButton>(MainWindow::kSearchButton)->Click();
  ASSERT_NE(windows_.Find<SearchWindow>(), nullptr);
  EXPECT_EQ(platform_.Window(1).Control<fakes::FakeEdit>(SearchWindow::kEditId)->text, Gbk("江湖"));

  EXPECT_TRUE(Host().FireKey(port::Key::kEscape));
  EXPECT_TRUE(Host().FireKey(port::Key::kEnter));
  EXPECT_FALSE(Host().destroyed);
}

TEST_F(MainWindowTest, CtrlFAndCtrlLSelectTheSearchBoxAndNothingElseAnswers) {
  Open();
  auto* edit = Host().Control<fakes::FakeEdit>(MainWindow::kSearchEdit);
  for (port::Key key : {port::Key::kF, port::Key::kL}) {
    edit->focused = edit->allSelected = false;
    EXPECT_TRUE(Host().FireKey(key, port::kControl));
    EXPECT_TRUE(edit->focused);
    EXPECT_TRUE(edit->allSelected);
  }
  // The portal has no history to step through, and Ctrl+W would end it.
  EXPECT_FALSE(Host().FireKey(port::Key::kLeft, port::kAlt));
  EXPECT_FALSE(Host().FireKey(port::Key::kW, port::kControl));
  EXPECT_FALSE(Host().destroyed);
  EXPECT_TRUE(Host().Browser(MainWindow::kBrowser)->historySteps.empty());
}

TEST_F(MainWindowTest, PanelWordsSearch) {
  Open();
  auto* panel = Host().Control<fakes::FakeInfoPanel>(MainWindow::kInfoPanel);
  panel->ClickWord("");
  EXPECT_EQ(windows_.Find<SearchWindow>(), nullptr);
  panel->ClickWord(Gbk("香港"));
  EXPECT_EQ(Host().Control<fakes::FakeEdit>(MainWindow::kSearchEdit)->text, Gbk("香港"));
  EXPECT_NE(windows_.Find<SearchWindow>(), nullptr);
}

TEST_F(MainWindowTest, PageCommandsFromTheBrowser) {
  Open();
  EXPECT_TRUE(Browser()->FireBeforeNavigate("http://cat/x?cmd=TAVELO|AREA|HK|"));
  ASSERT_NE(windows_.Find<SearchWindow>(), nullptr);
  EXPECT_EQ(windows_.Find<SearchWindow>()->Host().Caption(), Gbk("视频搜索"));
  EXPECT_TRUE(Browser()->FireBeforeNavigate("http://cat/x?cmd=quillo_cmd|bad|x"));
  EXPECT_EQ(platform_.messageBoxes.back().text, Gbk("不能运行此功能,请下载最新版本"));
  EXPECT_FALSE(Browser()->FireBeforeNavigate("http://cat/list/2.htm"));
}

// A companion that is not installed goes to the installer: here the setup
// server does not answer, so the user is sent to the maker's site.
TEST_F(MainWindowTest, ACompanionCommandInstallsAMissingCompanion) {
  WriteTemplate("[SETUP_SERVER]\nhttp://127.0.0.1:1\n[MAKER_SITE]\nhttp://maker.test\n");
  Open();
  platform_.on_run_modal = [](FakeWindowHost& window) {
    for (int i = 0; i < 2000 && !window.destroyed; ++i) {
      window.RunPosted();
      usleep(5000);
    }
  };
  EXPECT_TRUE(Browser()->FireBeforeNavigate("http://cat/x?cmd=quillo_cmd|exe|Q**TAB**qori**TAB**qori.exe|"));
  // The navigation is decided first; the install follows.
  EXPECT_EQ(platform_.windows.size(), 1u);
  Host().RunPosted();
  ASSERT_EQ(platform_.windows.size(), 2u);
  EXPECT_EQ(platform_.Window(1).caption, Gbk("首次使用《Q》,下载相关数据"));
  ASSERT_EQ(platform_.messageBoxes.size(), 1u);
  EXPECT_EQ(platform_.messageBoxes[0].text, Gbk("请到Qori软件官网去下载安装《Q》\r\nhttp://maker.test/"));
  EXPECT_EQ(platform_.startedProcesses.back(),
            (std::vector<std::string>{"xdg-open", "http://maker.test/?fr=i&fg=ffFLAG_QUILLO_DIRECT"}));
}

// The engine hands the link over as "My%20Title%20…"; the relaunch writes the
// page's spaces as "**BK**" and keeps the escaped "|" inside the address.
TEST_F(MainWindowTest, APlayLinkWithSpacesRelaunchesWithTheSpaceEscape) {
  Open();
  EXPECT_TRUE(Browser()->FireBeforeNavigate("http://cat/x?cmd=TVPLAY|http://v/a%7Cb|My%20Title%20%E4%B8%AD%E6%96%87|"));
  ASSERT_EQ(platform_.startedProcesses.size(), 1u);
  EXPECT_EQ(platform_.startedProcesses[0][1], "runPlay:cmd=TVPLAY|http://v/a%7Cb|My**BK**Title**BK**" + Gbk("中文") + "|");
}

TEST_F(MainWindowTest, ListClicksPlayFavouriteAndShowInfo) {
  Open();
  auto* list = Host().Control<fakes::FakeListView>(MainWindow::kList);
  list->InsertRow(0, "cat");
  list->SetCell(0, 1, "Title\nhttp://v/1");
  list->SetCell(0, 2, "label");
  list->Click(0, 3);
  EXPECT_EQ(testing::ReadFile(dir_.File("data/myfavo.dat")), "0\tcat\tTitle**MYN**http://v/1\tdata3\t\r\n");
  EXPECT_EQ(platform_.messageBoxes.back().text, Gbk("收藏完成"));
  auto* panel = Host().Control<fakes::FakeInfoPanel>(MainWindow::kInfoPanel);
  EXPECT_EQ(panel->info, "Title\nhttp://v/1");

  size_t boxes = platform_.messageBoxes.size();
  int shows = panel->shows;
  list->Click(-1, -1);  // below the rows: the row stays selected, nothing is opened
  EXPECT_EQ(platform_.messageBoxes.size(), boxes);
  EXPECT_EQ(list->FirstSelectedRow(), 0);
  EXPECT_EQ(panel->shows, shows + 1);
}

// A video of the video site opens a play window of its own each time, an
// item of a resource site a resource window.
TEST_F(MainWindowTest, VideosOpenInPlayWindowsResourceItemsInResourceWindows) {
  WriteTemplate("[VIDEO_SITE_DOMAIN]\nv.test\n[VIDEO_SHOW_HOST]\nhttp://127.0.0.1:1\n"
                "[RESOURCE_SITE1_DOMAIN]\nres1.test\n[RESOURCE_SITE2_DOMAIN]\nres2.test\n");
  Open();
  EXPECT_TRUE(Browser()->FireBeforeNavigate("http://cat/x?cmd=TAVELO|INFO|T**TAB**http://v.test/v_show/id_1.html|"));
  PlayWindow* play = windows_.Find<PlayWindow>();
  ASSERT_NE(play, nullptr);
  EXPECT_EQ(play->Host().Caption(), Gbk("T 播放"));
  EXPECT_EQ(testing::ReadFile(dir_.File("data/myvisited.dat")),
            "0\t" + Gbk("推荐") + "\tT**MYN**http://v.test/v_show/id_1.html\tdata3\t\r\n");

  auto* list = Host().Control<fakes::FakeListView>(MainWindow::kList);
  const char* records[] = {"R\nhttp://res1.test/bt/1.html", "R\nhttp://res2.test/bt/2.html",
                           "T\nhttp://v.test/v_show/id_2.html"};
  for (int row = 0; row < 3; ++row) {
    list->InsertRow(row, "cat");
    list->SetCell(row, 1, records[row]);
  }
  list->Click(0, 2);
  ASSERT_NE(windows_.Find<ResourceWindow>(), nullptr);
  EXPECT_EQ(windows_.Find<ResourceWindow>()->Host().Caption(), Gbk("R 获取资源信息"));
  EXPECT_EQ(windows_.Count(), 3);
  list->Click(1, 2);  // the second site's page comes through a fetching window
  EXPECT_NE(windows_.Find<FetchProgressDialog>(), nullptr);
  EXPECT_EQ(windows_.Count(), 5);
  list->Click(2, 2);
  EXPECT_EQ(windows_.Count(), 6);
  EXPECT_TRUE(platform_.messageBoxes.empty());
}

TEST_F(MainWindowTest, FavouritesAndHistoryButtonsOpenANewListWindowEachTime) {
  Open();
  AddToFavouritesList(ProgramPaths{dir_.Path()}, "cat", "saved");
  AddToHistoryList(ProgramPaths{dir_.Path()}, "cat", "watched");
  struct Case {
    int button;
    const char* caption;
    const char* info;
  } cases[] = {
      {MainWindow::kFavourites, "我的视频收藏管理", "saved"},
      {MainWindow::kHistory, "视频观看历史记录管理", "watched"},
      {MainWindow::kFavourites, "我的视频收藏管理", "saved"},
  };
  for (const Case& c : cases) {
    Nav(c.button)->Click();
    FakeWindowHost& opened = *platform_.LiveWindows().back();
    EXPECT_EQ(opened.caption, Gbk(c.caption));
    EXPECT_EQ(opened.List(PersonalListWindow::kList)->Cell(0, 1), c.info);
    // The buttons never show themselves selected.
    EXPECT_EQ(Nav(c.button)->Selected(), 0);
  }
  EXPECT_EQ(platform_.LiveWindows().size(), 4u);
}

}  // namespace
}  // namespace tavelo
