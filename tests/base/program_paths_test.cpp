#include "base/program_paths.h"

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

TEST(ProgramPathsTest, TheRunningProgramsFolderHoldsItsFiles) {
  ProgramPaths paths = ProgramPaths::OfRunningProgram();
  ASSERT_FALSE(paths.folder.empty());
  EXPECT_EQ(paths.folder.back(), '/');
  EXPECT_TRUE(testing::FileExists(paths.In("base_tests")));
  EXPECT_EQ(paths.Template(), paths.folder + "data/main.htm");
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
  ProgramPaths paths{dir.Path()};
  CleanTempPages(paths);  // no folder: nothing happens
  MakeDirectories(dir.Path() + "script/tmp/sub.htm/");
  testing::WriteFile(dir.File("script/tmp/a.htm"), "x");
  testing::WriteFile(dir.File("script/tmp/b.html"), "x");
  testing::WriteFile(dir.File("script/tmp/c.txt"), "x");
  testing::WriteFile(dir.File("keep.htm"), "x");
  ASSERT_EQ(symlink("../../keep.htm", dir.File("script/tmp/link.htm").c_str()), 0);
  CleanTempPages(paths);
  EXPECT_FALSE(testing::FileExists(dir.File("script/tmp/a.htm")));
  EXPECT_FALSE(testing::FileExists(dir.File("script/tmp/link.htm")));
  EXPECT_TRUE(testing::FileExists(dir.File("script/tmp/b.html")));
  EXPECT_TRUE(testing::FileExists(dir.File("script/tmp/c.txt")));
  EXPECT_TRUE(IsDirectory(dir.File("script/tmp/sub.htm")));
  EXPECT_TRUE(testing::FileExists(dir.File("keep.htm")));  // a link's target is never touched
}

}  // namespace
}  // namespace tavelo
