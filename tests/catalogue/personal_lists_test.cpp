#include "catalogue/personal_lists.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "support/kill_points.h"
#include "base/system_calls.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

std::vector<std::string> Infos(const RecordList& list) {
  std::vector<std::string> infos;
  for (int i = 0; i < list.Count(); ++i) {
    if (!RecordList::IsDeleted(list[i])) infos.emplace_back(list[i].fields[1]);
  }
  return infos;
}

TEST(PersonalListTest, FileFormatRoundTrips) {
  testing::TempDir dir;
  std::string path = dir.File("list.dat");
  RecordList list;
  EXPECT_EQ(list.LoadPersonalList(path), 0);
  list.AddPersonalRecord("cat", "title**MYN**http://v", "data3");
  ASSERT_EQ(list.SavePersonalList(path), 0);
  EXPECT_EQ(testing::ReadFile(path), "0\tcat\ttitle**MYN**http://v\tdata3\t\r\n");

  testing::WriteFile(path, "7\ta\tinfo one\tdata3\t\r\nx\tb\tinfo two\tkind\textra\nlast\tc");
  ASSERT_EQ(list.LoadPersonalList(path), 3);
  EXPECT_EQ(list[0].number, 7);
  EXPECT_EQ(list[1].number, 0);  // not a number
  EXPECT_EQ(list[1].fields[2], "kind");
  EXPECT_EQ(list[2].fields[0], "c");  // a last line without CR LF loads normally
  EXPECT_EQ(list[2].fields[1], "");
  EXPECT_EQ(list.FilePath(), path);
}

TEST(PersonalListTest, AddingAgainMovesTheVideoToTheEnd) {
  RecordList list;
  list.AddPersonalRecord("c1", "A", "data3");
  list.AddPersonalRecord("c1", "B", "data3");
  list.AddPersonalRecord("c2", "A", "data3");
  list.AddPersonalRecord("c1", "a", "data3");  // other letter case: another video
  EXPECT_EQ(Infos(list), (std::vector<std::string>{"B", "A", "a"}));
  EXPECT_EQ(list[2].fields[0], "c2");
}

TEST(PersonalListTest, OnlyFullyDeletedRecordsAreDroppedOnSave) {
  testing::TempDir dir;
  std::string path = dir.File("list.dat");
  testing::WriteFile(path, "0\tNULL\tNULL\tNULL\t\r\n0\tNULL\tkeep\tNULL\t\r\n");
  RecordList list;
  list.LoadPersonalList(path);
  list.SavePersonalList(path);
  EXPECT_EQ(testing::ReadFile(path), "0\tNULL\tkeep\tNULL\t\r\n");
}

TEST(PersonalListTest, GrowsPastItsCapacityKeepingEveryRecord) {
  RecordList list;
  for (int i = 0; i < RecordList::kGrowStep + 10; ++i) {
    list.AddPersonalRecord("c", "video " + std::to_string(i), "data3");
  }
  EXPECT_EQ(list.Count(), RecordList::kGrowStep + 10);
  EXPECT_EQ(list[0].fields[1], "video 0");
  EXPECT_EQ(list[RecordList::kGrowStep + 9].fields[1], "video 3009");
}

TEST(PersonalListTest, EscapingKeepsFieldsOnOneLine) {
  EXPECT_EQ(EscapeListField("a\tb\r\nc"), "a**TAB**b**MYR****MYN**c");
  EXPECT_EQ(UnescapeListField("a**TAB**b**MYR****MYN**c"), "a\tb\r\nc");
}

TEST(PersonalListTest, AFailedSaveLeavesTheOldListWholeAndNoTemporaryFile) {
  testing::TempDir dir;
  std::string path = dir.File("list.dat");
  const std::string old = "0\tc\told\tdata3\t\r\n";
  testing::WriteFile(path, old);
  // A full disk, simulated in a child process by a file size limit smaller
  // than the new list (root is not exempt from it).
  pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{8, 8};
    setrlimit(RLIMIT_FSIZE, &limit);
    RecordList list;
    list.LoadPersonalList(path);
    list.AddPersonalRecord("c", "a much longer new record", "data3");
    _exit(list.SavePersonalList(path));
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(testing::ReadFile(path), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);

  RecordList list;
  EXPECT_EQ(list.SavePersonalList(dir.File("no/such/dir/list.dat")), 1);
}

// The list actions work on data/ of a program folder of their own.
class PersonalActionsTest : public ::testing::Test {
 protected:
  void SetUp() override { mkdir(dir_.File("data").c_str(), 0755); }

  testing::TempDir dir_;
  ProgramPaths paths_{dir_.Path()};
};

TEST_F(PersonalActionsTest, AddToFavouritesEscapesAndConfirms) {
  EXPECT_EQ(AddToFavouritesList(paths_, "电视剧", "片名\nhttp://v/1"), Gbk("收藏完成"));
  EXPECT_EQ(testing::ReadFile(paths_.Favourites()), "0\t电视剧\t片名**MYN**http://v/1\tdata3\t\r\n");
  EXPECT_TRUE(AddToHistoryList(paths_, "c", "x"));
  AddToHistoryList(paths_, "c", "y");
  AddToHistoryList(paths_, "c2", "x");
  EXPECT_EQ(testing::ReadFile(paths_.History()), "0\tc\ty\tdata3\t\r\n0\tc2\tx\tdata3\t\r\n");
}

TEST_F(PersonalActionsTest, DeleteKeepsWhatAnotherProcessAddedMeanwhile) {
  AddToFavouritesList(paths_, "c", "first");
  RecordList opened;  // the favourites window opens with one record
  opened.LoadPersonalList(paths_.Favourites());
  // Another process adds a video after the window loaded the list.
  AddToFavouritesList(paths_, "c", "second");

  ListEdit edit = DeleteFromPersonalList(paths_, PersonalListKind::kFavourites, "first");
  EXPECT_EQ(DeletionMessage(edit, paths_.Favourites()), Gbk("删除完成"));
  EXPECT_EQ(testing::ReadFile(paths_.Favourites()), "0\tc\tsecond\tdata3\t\r\n");
}

TEST_F(PersonalActionsTest, DeletingWhatIsGoneSaysSoAndLeavesTheFileAlone) {
  AddToHistoryList(paths_, "c", "kept");
  struct stat before {};
  stat(paths_.History().c_str(), &before);
  ListEdit edit = DeleteFromPersonalList(paths_, PersonalListKind::kHistory, "absent");
  EXPECT_EQ(edit.removed, 0);
  EXPECT_EQ(DeletionMessage(edit, paths_.History()), Gbk("该视频已不在列表中,无需删除"));
  struct stat after {};
  stat(paths_.History().c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);  // not rewritten
  // A missing file holds nothing.
  EXPECT_EQ(DeleteFromPersonalList(paths_, PersonalListKind::kFavourites, "kept").removed, 0);
}

TEST_F(PersonalActionsTest, AListThatCannotBeSavedIsReportedAndUnchanged) {
  AddToFavouritesList(paths_, "c", "old");
  const std::string old = testing::ReadFile(paths_.Favourites());
  sys::SystemCalls calls = sys::Calls();
  calls.fsync = [](int) {
    errno = EIO;
    return -1;
  };
  {
    sys::ScopedSystemCalls failing(calls);
    EXPECT_EQ(AddToFavouritesList(paths_, "c", "new"), Gbk("无法保存列表文件 ") + paths_.Favourites() + Gbk("，列表未改动"));
    EXPECT_FALSE(AddToHistoryList(paths_, "c", "new"));
    ListEdit edit = DeleteFromPersonalList(paths_, PersonalListKind::kFavourites, "old");
    EXPECT_FALSE(edit.saved);
    EXPECT_EQ(DeletionMessage(edit, paths_.Favourites()).find(Gbk("无法保存")), 0u);
  }
  EXPECT_EQ(testing::ReadFile(paths_.Favourites()), old);
  EXPECT_FALSE(testing::FileExists(paths_.History()));
}

// A zero byte in the middle of the file (a damaged disk, another editor)
// reads as a space: the next edit keeps every record after it.
TEST_F(PersonalActionsTest, AZeroByteInTheListLosesNoRecord) {
  const std::string damaged = std::string("0\tc\tone\tdata3\t\r\n0\tc\tt") + '\0' + "wo\tdata3\t\r\n0\tc\tthree\tdata3\t\r\n";
  const std::string kept = "0\tc\tone\tdata3\t\r\n0\tc\tt wo\tdata3\t\r\n0\tc\tthree\tdata3\t\r\n";
  struct Case {
    const char* name;
    std::function<void()> edit;
    std::string after;
  } cases[] = {
      {"add", [&] { AddToFavouritesList(paths_, "c", "four"); }, kept + "0\tc\tfour\tdata3\t\r\n"},
      {"delete", [&] { DeleteFromPersonalList(paths_, PersonalListKind::kFavourites, "one"); },
       kept.substr(kept.find("0\tc\tt wo"))},
      {"load and save", [&] {
         RecordList list;
         EXPECT_EQ(list.LoadPersonalList(paths_.Favourites()), 3);
         EXPECT_EQ(list[1].fields[1], "t wo");
         list.SavePersonalList(paths_.Favourites());
       }, kept},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::WriteFile(paths_.Favourites(), damaged);
    c.edit();
    EXPECT_EQ(testing::ReadFile(paths_.Favourites()), c.after);
  }
}

TEST_F(PersonalActionsTest, AListThatCannotBeReadIsNeitherWipedNorConfirmed) {
  const std::string entries = "0\tc\tone\tdata3\t\r\n0\tc\ttwo\tdata3\t\r\n";
  const std::string path = paths_.Favourites();
  // Every kind of list file that cannot be read.
  const std::vector<std::function<void()>> makeUnreadable = {
      [&] {
        testing::WriteFile(path, entries);
        testing::GiveToUnprivilegedUser(path);
        ASSERT_EQ(chmod(path.c_str(), 0200), 0);
      },
      [&] { ASSERT_EQ(mkdir(path.c_str(), 0777), 0); },
      [&] { ASSERT_EQ(mkfifo(path.c_str(), 0666), 0); },  // opening it would wait for a writer
  };
  ASSERT_EQ(chmod(dir_.Path().c_str(), 0777), 0);
  ASSERT_EQ(chmod(dir_.File("data").c_str(), 0777), 0);
  for (size_t i = 0; i < makeUnreadable.size(); ++i) {
    std::filesystem::remove_all(path);
    makeUnreadable[i]();
    struct stat before;
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    int status = testing::RunUnprivileged([&] {
      const bool addRefused = AddToFavouritesList(paths_, "c", "three").find(Gbk("无法读取")) == 0;
      ListEdit edit = DeleteFromPersonalList(paths_, PersonalListKind::kFavourites, "one");
      const bool deleteRefused = DeletionMessage(edit, path).find(Gbk("无法读取")) == 0;
      return addRefused && deleteRefused ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << "case " << i;
    struct stat after;
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "case " << i;
    if (S_ISREG(after.st_mode)) {
      ASSERT_EQ(chmod(path.c_str(), 0600), 0);
      EXPECT_EQ(testing::ReadFile(path), entries);
    }
  }
}

TEST_F(PersonalActionsTest, AKilledAddLeavesTheOldOrTheNewListAndTheNextAddCleansUp) {
  for (int i = 0; i < 50; ++i) AddToFavouritesList(paths_, "c", "video " + std::to_string(i));
  const std::string path = paths_.Favourites();
  const std::string old = testing::ReadFile(path);
  const std::string added = old + "0\tc\tnew\tdata3\t\r\n";
  auto add = [&] { AddToFavouritesList(paths_, "c", "new"); };
  int kills = testing::KillAtEveryPoint(add, [&] {
    std::string now = testing::ReadFile(path);
    EXPECT_TRUE(now == old || now == added);
    testing::AgeFolder(dir_.File("data"), 3600);
    add();
    EXPECT_EQ(testing::ReadFile(path), added);
    EXPECT_EQ(testing::NamesHolding(dir_.File("data"), ".tmp-"), std::vector<std::string>{});
    testing::WriteFile(path, old);
  });
  EXPECT_GT(kills, 20);
}

TEST_F(PersonalActionsTest, MergeAppendsOnlyVideosTheListLacks) {
  const std::string path = paths_.Favourites();
  testing::WriteFile(path, "5\told\tA\tkind\t\r\n0\tNULL\tNULL\tNULL\t\r\n");
  ListEdit edit = MergeListEntries(path, {{"n", "B"}, {"n", "A"}, {"m", "B"}, {"n", "C"}});
  EXPECT_TRUE(edit.saved);
  EXPECT_EQ(edit.added, 2);
  // The existing record keeps its number and kind; a deleted line goes.
  EXPECT_EQ(testing::ReadFile(path), "5\told\tA\tkind\t\r\n0\tn\tB\tdata3\t\r\n0\tn\tC\tdata3\t\r\n");
  EXPECT_EQ(MergeListEntries(path, {{"x", "C"}}).added, 0);
}

TEST_F(PersonalActionsTest, LinesNotAsTheProgramWritesThemAreWrittenAnew) {
  const std::string path = paths_.History();
  testing::WriteFile(path,
                     "1\ta\tA\tdata3\t\r\n"
                     "+2\tb\tB\tdata3\t\r\n"      // the number written without its sign
                     "3\tc\tC\tdata3\textra\r\n"  // fields past the kind go
                     "4\td\tD\tdata3\t\n\n"       // LF only, and an empty line
                     " 5\te\tE\tdata3\t\r\n"      // leading space
                     "6\tf\tF\r\n"                 // no kind
                     "7\tg\tG\tdata3\t\r\n"
                     "8\th\tH\tdata3\t");          // no line break at the end
  ASSERT_TRUE(AddListEntry(path, {"n", "A"}).saved);
  EXPECT_EQ(testing::ReadFile(path),
            "2\tb\tB\tdata3\t\r\n3\tc\tC\tdata3\t\r\n4\td\tD\tdata3\t\r\n5\te\tE\tdata3\t\r\n"
            "6\tf\tF\t\t\r\n7\tg\tG\tdata3\t\r\n8\th\tH\tdata3\t\r\n0\tn\tA\tdata3\t\r\n");
}

TEST_F(PersonalActionsTest, ALongListIsRewrittenWhole) {
  // More than one write piece of the new file.
  const std::string path = paths_.History();
  std::vector<StoredEntry> entries;
  for (int i = 0; i < 20000; ++i) {
    entries.push_back({"c", "video number " + std::to_string(i) + std::string(60, 'x')});
  }
  ASSERT_EQ(MergeListEntries(path, entries).added, 20000);
  AddListEntry(path, {"d", entries[7].info});

  std::string expected;
  for (const StoredEntry& entry : entries) {
    if (entry.info != entries[7].info) expected += "0\tc\t" + entry.info + "\tdata3\t\r\n";
  }
  expected += "0\td\t" + entries[7].info + "\tdata3\t\r\n";
  EXPECT_EQ(testing::ReadFile(path), expected);
}

TEST_F(PersonalActionsTest, ConcurrentProcessesLoseNoAddition) {
  constexpr int kProcesses = 4;
  constexpr int kAdditions = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t child = fork();
    if (child == 0) {
      for (int i = 0; i < kAdditions; ++i) {
        AddToHistoryList(paths_, "c", "p" + std::to_string(p) + "-" + std::to_string(i));
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  RecordList history;
  EXPECT_EQ(history.LoadPersonalList(paths_.History()), kProcesses * kAdditions);
}

}  // namespace
}  // namespace tavelo
