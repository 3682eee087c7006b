#include "mainwin/uninstall.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "base/registry_key.h"
#include "fakes/fake_port.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

// First run's entries and record in a temporary desktop, and a program
// folder with the user's lists and an episode cache.
class UninstallTest : public ::testing::Test {
 protected:
  UninstallTest() {
    program_.folder = dir_.File("app/");
    paths_ = DefaultFirstRunPaths(program_.folder, Gbk(kProductCaption));
    paths_.desktopFolder = dir_.File("Desktop");
    paths_.programsFolder = dir_.File("applications");
    paths_.registryDirectory = dir_.File("registry/");
    // Never the user's own: a purge removes them.
    paths_.browserFolders = {dir_.File("share/tavelo/webkit"), dir_.File("cache/tavelo/webkit")};
    files_ = FirstRunFilesOf(paths_);
    mkdir(program_.folder.c_str(), 0755);
    mkdir(program_.In("data").c_str(), 0755);
    mkdir(program_.In("tavelo").c_str(), 0755);
    mkdir(program_.In("tavelo/a").c_str(), 0755);
    testing::WriteFile(program_.Favourites(), "favourites");
    testing::WriteFile(program_.History(), "history");
    testing::WriteFile(program_.Progress(), "progress");
    testing::WriteFile(program_.In("tavelo/a/episodes"), "cache");
  }

  void FirstRun() {
    RunFirstRunSetup(paths_, [](const std::string&) { return true; });
    ASSERT_TRUE(testing::FileExists(files_.desktopEntry));
    ASSERT_TRUE(Recorded());
  }
  bool Recorded() {
    RegistryKey key(paths_.registryDirectory);
    key.SetRoot(RegistryRoot::kLocalMachine);
    return key.SetKey(InstalledProgramKey(paths_.caption), false) == 1;
  }
  bool PersonalDataKept() const {
    return testing::FileExists(program_.Favourites()) && testing::FileExists(program_.History()) &&
           testing::FileExists(program_.Progress()) && testing::FileExists(program_.In("tavelo/a/episodes"));
  }
  bool EntriesGone() const {
    return !testing::FileExists(files_.desktopEntry) && !testing::FileExists(files_.groupEntry) &&
           !testing::FileExists(files_.uninstallEntry);
  }

  testing::TempDir dir_;
  ProgramPaths program_;
  FirstRunPaths paths_;
  FirstRunFiles files_;
};

TEST_F(UninstallTest, TakesBackWhatFirstRunMadeAndKeepsTheUsersData) {
  FirstRun();
  EXPECT_TRUE(RunUninstall(paths_, program_, {}));
  EXPECT_TRUE(EntriesGone());
  EXPECT_FALSE(testing::FileExists(files_.groupFolder));
  EXPECT_FALSE(Recorded());
  EXPECT_TRUE(PersonalDataKept());
  EXPECT_TRUE(testing::FileExists(program_.folder));
  EXPECT_TRUE(testing::FileExists(paths_.desktopFolder));

  // Once more: nothing left to do is no failure, and nothing is made.
  std::filesystem::remove_all(dir_.File("registry"));
  EXPECT_TRUE(RunUninstall(paths_, program_, {}));
  EXPECT_FALSE(testing::FileExists(dir_.File("registry")));
}

TEST_F(UninstallTest, AFirstRunAfterUninstallAsksAgain) {
  FirstRun();
  EXPECT_TRUE(RunUninstall(paths_, program_, {}));
  int asked = 0;
  RunFirstRunSetup(paths_, [&](const std::string&) { return ++asked, false; });
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(EntriesGone());
}

TEST_F(UninstallTest, PurgeTakesTheListsAndCachesButNothingALinkPointsTo) {
  FirstRun();
  // The cache folder replaced by a link to a folder outside the program's.
  testing::TempDir outside;
  testing::WriteFile(outside.File("precious"), "keep");
  for (bool linked : {false, true}) {
    if (linked) {
      testing::WriteFile(program_.Favourites(), "favourites");
      ASSERT_EQ(symlink(outside.Path().c_str(), program_.In("tavelo").c_str()), 0);
    }
    EXPECT_TRUE(RunUninstall(paths_, program_, {.purge = true})) << linked;
    EXPECT_FALSE(testing::FileExists(program_.Favourites())) << linked;
    EXPECT_FALSE(testing::FileExists(program_.History())) << linked;
    EXPECT_FALSE(testing::FileExists(program_.Progress())) << linked;
    struct stat info;
    EXPECT_NE(lstat(program_.In("tavelo").c_str(), &info), 0) << linked;
  }
  EXPECT_EQ(testing::ReadFile(outside.File("precious")), "keep");
  EXPECT_TRUE(EntriesGone());
}

TEST_F(UninstallTest, FilesTheUserPutIntoTheProgramGroupStay) {
  FirstRun();
  testing::WriteFile(files_.groupFolder + "notes.txt", "mine");
  EXPECT_TRUE(RunUninstall(paths_, program_, {}));
  EXPECT_TRUE(EntriesGone());
  EXPECT_EQ(testing::ReadFile(files_.groupFolder + "notes.txt"), "mine");
}

TEST(UninstallArgumentsTest, OnlyPurgeIsUnderstood) {
  const struct {
    std::vector<std::string> arguments;
    std::optional<bool> purge;
  } cases[] = {
      {{}, false},
      {{"--purge"}, true},
      {{"--purge", "--purge"}, true},
      {{"-p"}, std::nullopt},
      {{"--purge", "/home"}, std::nullopt},
  };
  for (const auto& c : cases) {
    std::optional<UninstallRequest> request = ParseUninstallArguments(c.arguments);
    std::optional<bool> purge;
    if (request) purge = request->purge;
    EXPECT_EQ(purge, c.purge) << c.arguments.size();
  }
}

TEST_F(UninstallTest, OnTheDesktopItAsksFirstAndSaysHowItWent) {
  const struct {
    bool answerOk;
    bool blocked;  // a folder where the desktop entry was cannot be unlinked
    int status;
    std::vector<std::string> messages;
  } cases[] = {
      {false, false, 1, {}},
      {true, false, 0, {Gbk("卸载完成。程序文件夹可以直接删除。")}},
      {true, true, 1, {Gbk("卸载未能全部完成，有些文件无法删除。")}},
  };
  for (const auto& c : cases) {
    FirstRun();
    if (c.blocked) {
      unlink(files_.desktopEntry.c_str());
      mkdir(files_.desktopEntry.c_str(), 0755);
    }
    fakes::FakePlatform platform;
    platform.answerOk = c.answerOk;
    EXPECT_EQ(UninstallWithDialogs(platform, paths_, program_, {}), c.status);
    ASSERT_EQ(platform.questions.size(), 1u);
    EXPECT_EQ(platform.questions[0].text.find(Gbk("确定要卸载") + paths_.caption), 0u);
    std::vector<std::string> messages;
    for (const auto& m : platform.messageBoxes) messages.push_back(m.text);
    EXPECT_EQ(messages, c.messages);
    // Saying no leaves everything in place; a part that cannot go does not
    // keep the rest.
    EXPECT_EQ(Recorded(), !c.answerOk);
    EXPECT_EQ(testing::FileExists(files_.groupEntry), !c.answerOk);
    rmdir(files_.desktopEntry.c_str());
  }
  EXPECT_TRUE(PersonalDataKept());
}

}  // namespace
}  // namespace tavelo
