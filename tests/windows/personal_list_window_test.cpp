#include "windows/personal_list_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "catalogue/progress_store.h"
#include "fakes/fake_port.h"
#include "fakes/recording_target.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using fakes::FakeListView;
using fakes::FakePlatform;
using fakes::FakeWindowHost;
using Column = PersonalListWindow::Column;

TEST(PersonalListPlacementTest, DocksAtTheRightOfTheWorkArea) {
  struct Case {
    const char* name;
    Rect workArea;
    Rect placement;
  } cases[] = {
      {"wide", {0, 0, 1280, 770}, Rect::FromSize(760, 20, 510, 730)},
      {"second screen", {1280, 0, 2560, 1000}, Rect::FromSize(2040, 20, 510, 960)},
      {"just 520 wide", {0, 0, 520, 600}, Rect::FromSize(0, 20, 510, 560)},
      {"narrow", {0, 0, 400, 300}, Rect::FromSize(100, 20, 290, 260)},
      {"smaller than the margins", {0, 0, 60, 30}, Rect::FromSize(100, 20, 1, 1)},
  };
  for (const Case& c : cases) EXPECT_EQ(PersonalListPlacement(c.workArea), c.placement) << c.name;
}

class PersonalListWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mkdir(dir_.File("data").c_str(), 0755);
    windows_.SetPaths(paths_);
  }
  void TearDown() override {
    for (FakeWindowHost* w : platform_.LiveWindows()) w->RequestClose();
    EXPECT_EQ(windows_.Count(), 0);
    EXPECT_TRUE(platform_.fileWatches.empty());
  }

  FakeWindowHost& Open(PersonalListKind kind) {
    OpenPersonalListWindow(windows_, kind, commands_);
    return *platform_.LiveWindows().back();
  }
  static FakeListView& List(FakeWindowHost& host) { return *host.List(PersonalListWindow::kList); }
  static std::vector<std::string> Infos(FakeWindowHost& host) {
    std::vector<std::string> infos;
    for (int row = 0; row < List(host).RowCount(); ++row) infos.push_back(List(host).Cell(row, Column::kInfoColumn));
    return infos;
  }

  testing::TempDir dir_;
  ProgramPaths paths_{dir_.Path()};
  FakePlatform platform_;
  WindowSet windows_{platform_};
  fakes::RecordingTarget commands_;
};

TEST_F(PersonalListWindowTest, ShowsTheListNewestFirstWithItsOwnTexts) {
  testing::WriteFile(paths_.Favourites(), "0\t" + Gbk("电影") + "\ttitle**MYN**http://v/1\tdata3\t\r\n"
                                          "0\tNULL\tNULL\tNULL\t\r\n"
                                          "0\tc**TAB**d\tsecond\tdata3\t\r\n");
  platform_.workArea = {0, 0, 1280, 770};
  FakeWindowHost& host = Open(PersonalListKind::kFavourites);
  EXPECT_TRUE(host.shown);
  EXPECT_EQ(host.caption, Gbk("我的视频收藏管理"));
  EXPECT_EQ(host.placement, Rect::FromSize(760, 20, 510, 730));
  FakeListView& list = List(host);
  ASSERT_EQ(list.RowCount(), 2);
  EXPECT_EQ(list.Cell(0, Column::kCategoryColumn), "c\td");
  EXPECT_EQ(list.Cell(0, Column::kInfoColumn), "second");
  EXPECT_EQ(list.Cell(1, Column::kCategoryColumn), Gbk("电影"));
  EXPECT_EQ(list.Cell(1, Column::kInfoColumn), "title\nhttp://v/1");
  EXPECT_EQ(list.Cell(1, Column::kPlayColumn), Gbk("播放视频"));
  EXPECT_EQ(list.Cell(1, Column::kDeleteColumn), Gbk("删除收藏"));
  EXPECT_EQ(list.model.RowHeight(), 56);
  // The panel below the list, 44 high, 3 apart.
  const Size client = host.client;
  EXPECT_EQ(host.InfoPanel(PersonalListWindow::kInfoPanel)->bounds,
            (Rect{0, client.height - 44, client.width, client.height}));
  EXPECT_EQ(list.bounds, (Rect{0, 0, client.width, client.height - 47}));
  host.Resize({300, 400});
  EXPECT_EQ(list.bounds, (Rect{0, 0, 300, 353}));

  FakeWindowHost& history = Open(PersonalListKind::kHistory);
  EXPECT_EQ(history.caption, Gbk("视频观看历史记录管理"));
  EXPECT_EQ(List(history).RowCount(), 0);  // no history file yet
}

TEST_F(PersonalListWindowTest, TheHistoryShowsEachVideosNewestEpisodeAndFollowsTheStore) {
  testing::WriteFile(paths_.History(), "0\tc\tone**MYN**http://v/1\tdata3\t\r\n0\tc\ttwo**MYN**http://v/2\tdata3\t\r\n");
  SaveProgress(paths_.Progress(), {"http://v/1e1", "http://v/1", Gbk("第1集"), 2690, 2700, 1});
  SaveProgress(paths_.Progress(), {"http://v/1e5", "http://v/1", Gbk("第5集"), 754, 2700, 2});
  FakeWindowHost& host = Open(PersonalListKind::kHistory);
  FakeListView& list = List(host);
  EXPECT_EQ(list.model.ColumnCount(), 5);
  EXPECT_EQ(list.Cell(0, Column::kProgressColumn), "");
  EXPECT_EQ(list.Cell(1, Column::kProgressColumn), Gbk("第5集 12:34 / 45:00"));

  SaveProgress(paths_.Progress(), {"http://v/2e1", "http://v/2", Gbk("第1集"), 2690, 2700, 3});
  platform_.ChangeFile(paths_.Progress());
  ASSERT_TRUE(host.FireTimer(PersonalListWindow::kReloadTimer));
  EXPECT_EQ(list.Cell(0, Column::kProgressColumn), Gbk("第1集 已看完"));
  EXPECT_EQ(List(Open(PersonalListKind::kFavourites)).model.ColumnCount(), 4);
}

TEST_F(PersonalListWindowTest, ClicksActByColumn) {
  AddToHistoryList(paths_, Gbk("电影"), "video\nhttp://v/1");
  struct Case {
    const char* name;
    int row, column;
    std::vector<std::string> calls;
    bool panelShown;
  } cases[] = {
      {"category", 0, Column::kCategoryColumn, {}, true},
      {"title", 0, Column::kInfoColumn, {}, true},
      {"play", 0, Column::kPlayColumn, {"video " + Gbk("电影") + "|video\nhttp://v/1|" + Gbk("播放视频")}, true},
      {"below the rows", -1, Column::kPlayColumn, {}, false},
  };
  for (const Case& c : cases) {
    FakeWindowHost& host = Open(PersonalListKind::kHistory);
    commands_.calls.clear();
    List(host).Click(c.row, c.column);
    EXPECT_EQ(commands_.calls, c.calls) << c.name;
    auto* panel = host.InfoPanel(PersonalListWindow::kInfoPanel);
    EXPECT_EQ(panel->shows, c.panelShown ? 1 : 0) << c.name;
    if (c.panelShown) {
      EXPECT_EQ(panel->info, "video\nhttp://v/1") << c.name;
      EXPECT_TRUE(panel->compact) << c.name;
    }
    host.RequestClose();
  }

  FakeWindowHost& host = Open(PersonalListKind::kHistory);
  commands_.calls.clear();
  List(host).DoubleClick(0, Column::kInfoColumn);  // nothing selected yet
  EXPECT_TRUE(commands_.calls.empty());
  List(host).Click(0, Column::kInfoColumn);
  List(host).DoubleClick(0, Column::kInfoColumn);
  EXPECT_EQ(commands_.calls.size(), 1u);
  host.InfoPanel(PersonalListWindow::kInfoPanel)->ClickWord(Gbk("美国"));
  host.InfoPanel(PersonalListWindow::kInfoPanel)->ClickWord("");
  EXPECT_EQ(commands_.calls.back(), "search " + Gbk("美国"));
  EXPECT_EQ(commands_.calls.size(), 2u);
}

// With the keyboard focus in the list, keys move the selection and show the
// row's video below as a click on it does; Enter plays the selected video and
// Delete deletes it.
TEST_F(PersonalListWindowTest, KeysMoveTheSelectionEnterPlaysAndDeleteDeletes) {
  for (const char* info : {"one", "two", "three", "four", "five"}) AddToFavouritesList(paths_, "c", info);
  FakeWindowHost& host = Open(PersonalListKind::kFavourites);
  host.Resize({300, 47 + SkinListCtrl::kHeaderHeight + 2 * 56 + 30});  // a page is two rows
  FakeListView& list = List(host);
  auto* panel = host.InfoPanel(PersonalListWindow::kInfoPanel);
  struct Case {
    ListKey key;
    const char* info;
  } cases[] = {
      {ListKey::kUp, "five"},  // nothing selected: the first row
      {ListKey::kDown, "four"},     {ListKey::kEnd, "one"},       {ListKey::kDown, "one"},
      {ListKey::kPageUp, "three"},  {ListKey::kUp, "four"},       {ListKey::kHome, "five"},
      {ListKey::kPageDown, "three"},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(list.PressKey(c.key)) << c.info;
    const int row = list.FirstSelectedRow();
    EXPECT_EQ(list.Cell(row, Column::kInfoColumn), c.info);
    EXPECT_EQ(panel->info, c.info);
    EXPECT_GE(list.model.RowTop(row), SkinListCtrl::kHeaderHeight) << c.info;
    EXPECT_LE(list.model.RowTop(row) + 56, list.bounds.Height()) << c.info;
  }
  EXPECT_TRUE(commands_.calls.empty());

  EXPECT_TRUE(list.PressKey(ListKey::kEnter));
  EXPECT_EQ(commands_.calls, std::vector<std::string>{"video c|three|" + Gbk("播放视频")});
  EXPECT_TRUE(list.PressKey(ListKey::kDelete));
  EXPECT_EQ(Infos(host), (std::vector<std::string>{"five", "four", "two", "one"}));
  ASSERT_EQ(platform_.messageBoxes.size(), 1u);
  EXPECT_EQ(platform_.messageBoxes[0].text, Gbk("删除完成"));
  // The deleted row took the selection with it.
  EXPECT_FALSE(list.PressKey(ListKey::kEnter));
  EXPECT_FALSE(list.PressKey(ListKey::kDelete));
  EXPECT_EQ(commands_.calls.size(), 1u);
}

TEST_F(PersonalListWindowTest, DeleteRemovesTheRowAndTheRecordForGood) {
  AddToHistoryList(paths_, "c", "older");
  AddToHistoryList(paths_, "c", "newest");
  FakeWindowHost& host = Open(PersonalListKind::kHistory);
  EXPECT_EQ(List(host).Cell(0, Column::kDeleteColumn), Gbk("删除历史"));
  List(host).Click(0, Column::kDeleteColumn);
  EXPECT_EQ(Infos(host), std::vector<std::string>{"older"});
  ASSERT_EQ(platform_.messageBoxes.size(), 1u);
  EXPECT_EQ(platform_.messageBoxes[0].text, Gbk("删除完成"));
  EXPECT_EQ(testing::ReadFile(paths_.History()), "0\tc\tolder\tdata3\t\r\n");

  host.RequestClose();
  EXPECT_EQ(Infos(Open(PersonalListKind::kHistory)), std::vector<std::string>{"older"});
}

TEST_F(PersonalListWindowTest, DeletingARowAnotherWindowTookOutSaysItWasGone) {
  AddToFavouritesList(paths_, "c", "shared");
  FakeWindowHost& first = Open(PersonalListKind::kFavourites);
  FakeWindowHost& second = Open(PersonalListKind::kFavourites);
  List(first).Click(0, Column::kDeleteColumn);
  // The second window has not heard of the change yet.
  List(second).Click(0, Column::kDeleteColumn);
  ASSERT_EQ(platform_.messageBoxes.size(), 2u);
  EXPECT_EQ(platform_.messageBoxes[1].text, Gbk("该视频已不在列表中,无需删除"));
  EXPECT_EQ(List(second).RowCount(), 0);
}

TEST_F(PersonalListWindowTest, ChangesSavedElsewhereShowAndTheSelectionStays) {
  AddToFavouritesList(paths_, "c", "a");
  AddToFavouritesList(paths_, "c", "b");
  FakeWindowHost& host = Open(PersonalListKind::kFavourites);
  List(host).Click(1, Column::kInfoColumn);  // "a" selected
  ASSERT_EQ(List(host).FirstSelectedRow(), 1);

  // Another process adds a video and takes one out.
  AddToFavouritesList(paths_, "c", "new");
  DeleteFromPersonalList(paths_, PersonalListKind::kFavourites, "b");
  platform_.ChangeFile(paths_.History());
  EXPECT_EQ(host.timers.count(PersonalListWindow::kReloadTimer), 0u);  // not this window's list
  platform_.ChangeFile(paths_.Favourites());
  platform_.ChangeFile(paths_.Favourites());
  EXPECT_EQ(host.timers[PersonalListWindow::kReloadTimer], PersonalListWindow::kReloadDelay);
  ASSERT_TRUE(host.FireTimer(PersonalListWindow::kReloadTimer));
  EXPECT_EQ(Infos(host), (std::vector<std::string>{"new", "a"}));
  EXPECT_EQ(List(host).FirstSelectedRow(), 1);

  // The selected video goes: nothing is selected.
  DeleteFromPersonalList(paths_, PersonalListKind::kFavourites, "a");
  platform_.ChangeFile(paths_.Favourites());
  host.FireTimer(PersonalListWindow::kReloadTimer);
  EXPECT_EQ(Infos(host), std::vector<std::string>{"new"});
  EXPECT_EQ(List(host).FirstSelectedRow(), -1);
}

// Rows never move under a pointer that is about to click: a reload waits
// while the pointer moves over the list or a button is held.
TEST_F(PersonalListWindowTest, AReloadWaitsForThePointerToLeaveOrRest) {
  AddToFavouritesList(paths_, "c", "a");
  FakeWindowHost& host = Open(PersonalListKind::kFavourites);
  AddToFavouritesList(paths_, "c", "new");
  platform_.ChangeFile(paths_.Favourites());
  struct Step {
    const char* what;
    Point pointer;
    bool buttonDown;
    bool reloaded;
  } steps[] = {
      {"moving over the list", {10, 10}, false, false},
      {"still moving", {10, 30}, false, false},
      {"resting", {10, 30}, false, false},
      {"resting, pressed", {10, 30}, true, false},
      {"resting again", {10, 30}, false, false},
      {"", {10, 30}, false, false},
      {"", {10, 30}, false, false},
      {"rested a second", {10, 30}, false, true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    List(host).cursor = s.pointer;
    platform_.mouseButtonDown = s.buttonDown;
    ASSERT_TRUE(host.FireTimer(PersonalListWindow::kReloadTimer));
    EXPECT_EQ(Infos(host).size(), s.reloaded ? 2u : 1u);
  }
  // Outside the list the reload comes at once.
  AddToFavouritesList(paths_, "c", "third");
  platform_.ChangeFile(paths_.Favourites());
  List(host).cursor = {-5, 10};
  ASSERT_TRUE(host.FireTimer(PersonalListWindow::kReloadTimer));
  EXPECT_EQ(Infos(host).size(), 3u);
}

TEST_F(PersonalListWindowTest, EnterAndEscapeLeaveItOpen) {
  FakeWindowHost& host = Open(PersonalListKind::kFavourites);
  EXPECT_TRUE(host.FireKey(port::Key::kEnter));
  EXPECT_TRUE(host.FireKey(port::Key::kEscape));
  EXPECT_FALSE(host.FireKey(port::Key::kOther));
  EXPECT_FALSE(host.destroyed);
  host.RequestClose();
  EXPECT_TRUE(host.destroyed);
  EXPECT_FALSE(host.shown);
}

}  // namespace
}  // namespace tavelo
