#include "base/data_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace tavelo {
namespace {

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An installed program in app/ with its default data, and a user's data
// folder in user/ that does not exist yet.
class DataFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeDirectories(dir.File("app/data/sub/"));
    testing::WriteFile(dir.File("app/data/main.htm"), "[MAIN_URL2]\nhttp://shipped/\n");
    testing::WriteFile(dir.File("app/data/demo-dy.dat"), "scrambled");
    testing::WriteFile(dir.File("app/data/sub/nested"), "not data");
    testing::WriteFile(dir.File("app/installed"), "");
    paths = ProgramPaths{dir.File("user/"), dir.File("app/")};
  }
  testing::TempDir dir;
  ProgramPaths paths;
};

TEST_F(DataFolderTest, FirstStartMakesTheFoldersAndCopiesTheDefaults) {
  ASSERT_TRUE(PrepareDataFolder(paths));
  for (const char* folder : {"user/data", "user/tavelo", "user/script/tmp"}) {
    EXPECT_TRUE(IsDirectory(dir.File(folder))) << folder;
  }
  EXPECT_EQ(testing::ReadFile(dir.File("user/data/main.htm")), "[MAIN_URL2]\nhttp://shipped/\n");
  EXPECT_EQ(testing::ReadFile(dir.File("user/data/demo-dy.dat")), "scrambled");
  // Only the files of data/ are defaults; nothing else is taken along.
  EXPECT_EQ(testing::FolderNames(dir.File("user/data/")), (std::vector<std::string>{"demo-dy.dat", "main.htm"}));
}

TEST_F(DataFolderTest, WhatTheUserHasStaysAndWhatIsMissingComesBack) {
  ASSERT_TRUE(PrepareDataFolder(paths));
  testing::WriteFile(dir.File("user/data/main.htm"), "the user's own template");
  testing::WriteFile(dir.File("user/data/myfavo.dat"), "favourites");
  unlink(dir.File("user/data/demo-dy.dat").c_str());
  ASSERT_TRUE(PrepareDataFolder(paths));
  EXPECT_EQ(testing::ReadFile(dir.File("user/data/main.htm")), "the user's own template");
  EXPECT_EQ(testing::ReadFile(dir.File("user/data/myfavo.dat")), "favourites");
  EXPECT_EQ(testing::ReadFile(dir.File("user/data/demo-dy.dat")), "scrambled");
  // The program's own folder is never written to.
  EXPECT_EQ(testing::FolderNames(dir.File("app/data/")), (std::vector<std::string>{"demo-dy.dat", "main.htm", "sub"}));
}

TEST_F(DataFolderTest, APortableProgramsDataIsItsOwn) {
  ProgramPaths portable{dir.File("app/")};
  ASSERT_TRUE(PrepareDataFolder(portable));
  EXPECT_FALSE(testing::FileExists(dir.File("app/tavelo")));
  EXPECT_FALSE(testing::FileExists(dir.File("user")));
}

TEST_F(DataFolderTest, AFileInTheWayOfTheDataFolderIsReported) {
  testing::WriteFile(dir.File("user"), "a file, not a folder");
  EXPECT_FALSE(PrepareDataFolder(paths));
  EXPECT_EQ(testing::ReadFile(dir.File("user")), "a file, not a folder");
}

}  // namespace
}  // namespace tavelo
