#include "playback/select_open_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "browser/command_protocol.h"
#include "fakes/fake_port.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using fakes::FakeListView;
using fakes::FakePlatform;
using fakes::FakeWindowHost;

class SelectOpenWindowTest : public ::testing::Test {
 protected:
  SelectOpenWindowTest() {
    platform.workArea = {0, 0, 1920, 1040};
    mkdir(dir.File("tavelo").c_str(), 0755);
  }

  SelectOpenWindow& Open(const std::string& title, const std::vector<EpisodeRow>& rows) {
    return windows.Open<SelectOpenWindow>(playWindow, title, rows, Files());
  }
  EpisodeFiles Files() const { return EpisodeFiles(ProgramPaths{dir.Path()}, "http://v.test/v_show/id_S.html"); }
  FakeWindowHost& Host() { return platform.Window(0); }
  FakeListView& List() { return *Host().List(SelectOpenWindow::kListId); }
  std::vector<std::string> LaunchedWords() {
    std::vector<std::string> words;
    for (const auto& argv : platform.startedProcesses) words.push_back(argv.size() == 2 ? argv[1] : "?");
    return words;
  }

  testing::TempDir dir;
  FakePlatform platform;
  WindowSet windows{platform};
  // The play window the select window belongs to; not among the platform's.
  FakeWindowHost playWindow{platform, {}};
  const std::vector<EpisodeRow> rows{{Gbk("第1集"), "http://v.test/v_show/id_1.html"},
                                     {"Part 2", "http://v.test/v_show/id_2.html"}};
};

TEST_F(SelectOpenWindowTest, OpensCentredCaptionedAndFilledWithACopyOfTheList) {
  Open(Gbk("天龙"), rows);
  EXPECT_EQ(Host().placement, Rect::FromSize(745, 320, 430, 400));
  EXPECT_EQ(Host().caption, Gbk("天龙 视频列表"));
  EXPECT_TRUE(Host().shown);
  // It belongs to its play window: in front of it, no task-bar button.
  EXPECT_EQ(Host().options.owner, &playWindow);
  EXPECT_FALSE(Host().options.taskbarButton);
  EXPECT_EQ(List().bounds, Rect::FromSize(0, 0, Host().client.width, Host().client.height));
  const std::string titles[] = {Gbk("视频列表"), Gbk("播放"), " "};
  const int widths[] = {300, 70, 20};
  for (int column = 0; column < 3; ++column) {
    EXPECT_EQ(List().model.ColumnTitle(column), titles[column]);
    EXPECT_EQ(List().model.ColumnWidth(column), widths[column]);
  }
  EXPECT_EQ(List().model.RowStyle(), SkinListCtrl::kEpisodeRows);
  ASSERT_EQ(List().RowCount(), 2);
  EXPECT_EQ(List().Cell(1, 0), "Part 2");
  EXPECT_EQ(List().Cell(1, 1), Gbk("播放"));
  EXPECT_EQ(List().Cell(1, 2), "http://v.test/v_show/id_2.html");
  Host().Resize({500, 300});
  EXPECT_EQ(List().bounds, Rect::FromSize(0, 0, 500, 300));
  // Neither key closes it.
  EXPECT_TRUE(Host().FireKey(port::Key::kEscape));
  EXPECT_TRUE(Host().FireKey(port::Key::kEnter));
}

TEST_F(SelectOpenWindowTest, TheRowLaunchesFromThePlayCellOrADoubleClickAndTheWindowStays) {
  struct Case {
    const char* what;
    int row, column;
    bool doubleClick;
    bool launches;
  } cases[] = {
      {"label cell", 0, 0, false, false},
      {"play cell", 0, 1, false, true},
      {"below the rows", -1, 1, false, false},
      {"double click on the label", 1, 0, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform p;
    WindowSet set(p);
    FakeWindowHost owner(p, {});
    set.Open<SelectOpenWindow>(owner, "T", rows, Files());
    FakeListView& list = *p.Window(0).List(SelectOpenWindow::kListId);
    list.SelectRow(c.row >= 0 ? c.row : 0, true);
    if (c.doubleClick) {
      list.DoubleClick(c.row, c.column);
    } else {
      list.Click(c.row, c.column);
    }
    EXPECT_EQ(p.startedProcesses.size(), c.launches ? 1u : 0u);
    EXPECT_FALSE(p.Window(0).destroyed);
  }
}

TEST_F(SelectOpenWindowTest, LaunchHandsOffWithSpacesEscapedAndBecomesTheLastPlayed) {
  Open(Gbk("天龙\t八部"), rows);
  List().Click(1, 1);
  ASSERT_EQ(platform.startedProcesses.size(), 1u);
  EXPECT_EQ(platform.startedProcesses[0][0], RelaunchArguments("")[0]);
  // The TAB of the title becomes a space first, and every space "**BK**".
  EXPECT_EQ(LaunchedWords(), std::vector<std::string>{"runPlay:http://v.test/v_show/id_2.html**TAB**" + Gbk("天龙") +
                                                      "**BK**" + Gbk("八部") + "**TAB**Part**BK**2"});
  EXPECT_EQ(Files().LoadLastPlayed(), "http://v.test/v_show/id_2.html");
}

}  // namespace
}  // namespace tavelo
