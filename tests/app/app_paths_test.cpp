#include "app/app_paths.h"

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

TEST(AppPathsTest, ModuleDirectoryIsTheTestProgramsFolder) {
  std::string directory = ModuleDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_EQ(directory.back(), '/');
  EXPECT_TRUE(testing::FileExists(directory + "app_tests"));

  char before[4096];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  EXPECT_EQ(EnterModuleDirectory(), directory);
  char now[4096];
  ASSERT_NE(getcwd(now, sizeof now), nullptr);
  EXPECT_EQ(std::string(now) + "/", directory);
  ASSERT_EQ(chdir(before), 0);
}

TEST(AppPathsTest, MakeDirectoriesStopsAtTheLastSlash) {
  testing::TempDir dir;
  EXPECT_EQ(MakeDirectories(dir.Path() + "a//b/c/last"), 0);
  EXPECT_TRUE(IsDirectory(dir.File("a/b/c")));
  EXPECT_FALSE(testing::FileExists(dir.File("a/b/c/last")));
  EXPECT_EQ(MakeDirectories(dir.Path() + "d/"), 0);
  EXPECT_TRUE(IsDirectory(dir.File("d")));
  EXPECT_EQ(MakeDirectories(dir.Path() + "d/"), 0);  // already there
}

TEST(AppPathsTest, MakeDirectoriesRefusesRelativePaths) {
  testing::TempDir dir;
  char before[4096];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  EXPECT_EQ(MakeDirectories("rel/dir/"), 1);
  EXPECT_EQ(MakeDirectories(""), 1);
  EXPECT_FALSE(testing::FileExists("rel"));
  ASSERT_EQ(chdir(before), 0);
}

TEST(AppPathsTest, CleanTempPagesDeletesOnlyHtmFiles) {
  testing::TempDir dir;
  char before[4096];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  CleanTempPages();  // no folder: nothing happens
  MakeDirectories(dir.Path() + "script/tmp/sub.htm/");
  testing::WriteFile("script/tmp/a.htm", "x");
  testing::WriteFile("script/tmp/b.html", "x");
  testing::WriteFile("script/tmp/c.txt", "x");
  testing::WriteFile("keep.htm", "x");
  ASSERT_EQ(symlink("../../keep.htm", "script/tmp/link.htm"), 0);
  CleanTempPages();
  EXPECT_FALSE(testing::FileExists("script/tmp/a.htm"));
  EXPECT_FALSE(testing::FileExists("script/tmp/link.htm"));
  EXPECT_TRUE(testing::FileExists("script/tmp/b.html"));
  EXPECT_TRUE(testing::FileExists("script/tmp/c.txt"));
  EXPECT_TRUE(IsDirectory("script/tmp/sub.htm"));
  EXPECT_TRUE(testing::FileExists("keep.htm"));  // a link's target is never touched
  ASSERT_EQ(chdir(before), 0);
}

}  // namespace
}  // namespace tavelo
