#include "base/program_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "support/temp_dir.h"

namespace tavelo {
namespace {

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Sets an environment variable for one scope; nullptr unsets it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ProgramPathsTest, TheRunningProgramsFolderHoldsItsFiles) {
  ProgramPaths paths = ProgramPaths::OfRunningProgram();
  ASSERT_FALSE(paths.folder.empty());
  EXPECT_EQ(paths.folder.back(), '/');
  EXPECT_TRUE(testing::FileExists(paths.Shipped("base_tests")));
  // Nothing installed the tests: they are a portable program.
  EXPECT_FALSE(paths.Installed());
  EXPECT_EQ(paths.Template(), paths.folder + "data/main.htm");
}

TEST(ProgramPathsTest, TheMarkerMakesAnInstalledProgramWithItsDataApart) {
  testing::TempDir dir;
  ScopedEnv dataHome("XDG_DATA_HOME", dir.File("share").c_str());
  MakeDirectories(dir.File("app/"));
  const std::string app = dir.File("app/");

  ProgramPaths portable = ProgramPaths::OfProgramFolder(app);
  EXPECT_FALSE(portable.Installed());
  EXPECT_EQ(portable.folder, app);
  EXPECT_EQ(portable.Shipped("uninstall"), app + "uninstall");
  EXPECT_EQ(portable.Favourites(), app + "data/myfavo.dat");

  // A folder of the marker's name is no marker.
  MakeDirectories(app + "installed/");
  EXPECT_FALSE(ProgramPaths::OfProgramFolder(app).Installed());
  rmdir((app + "installed").c_str());

  testing::WriteFile(app + "installed", "");
  ProgramPaths installed = ProgramPaths::OfProgramFolder(app);
  EXPECT_TRUE(installed.Installed());
  EXPECT_EQ(installed.folder, dir.File("share/tavelo/"));
  EXPECT_EQ(installed.ProgramFolder(), app);
  EXPECT_EQ(installed.Shipped("uninstall"), app + "uninstall");
  EXPECT_EQ(installed.Favourites(), dir.File("share/tavelo/data/myfavo.dat"));

  // Paths made by hand, as tools and tests make them, are one folder.
  EXPECT_FALSE(ProgramPaths{app}.Installed());
  EXPECT_EQ(ProgramPaths{app}.Shipped("dt"), app + "dt");
}

TEST(ProgramPathsTest, UserDataFolderFollowsTheBaseDirectoryRules) {
  ScopedEnv home("HOME", "/home/someone");
  struct Case {
    const char* dataHome;
    std::string expected;
  } cases[] = {
      {"/data/home", "/data/home/tavelo/"},
      {"/data/home/", "/data/home/tavelo/"},
      // Only an absolute value counts.
      {"relative/share", "/home/someone/.local/share/tavelo/"},
      {"", "/home/someone/.local/share/tavelo/"},
      {nullptr, "/home/someone/.local/share/tavelo/"},
  };
  for (const Case& c : cases) {
    ScopedEnv dataHome("XDG_DATA_HOME", c.dataHome);
    EXPECT_EQ(UserDataFolder(), c.expected) << (c.dataHome ? c.dataHome : "(unset)");
  }
  // Two users, two folders: nothing of one user's data is the other's.
  ScopedEnv dataHome("XDG_DATA_HOME", nullptr);
  ScopedEnv other("HOME", "/home/other");
  EXPECT_EQ(UserDataFolder(), "/home/other/.local/share/tavelo/");
}

TEST(AppPathsTest, MakeDirectoriesStopsAtTheLastSlash) {
  testing::TempDir dir;
  EXPECT_TRUE(MakeDirectories(dir.Path() + "a//b/c/last"));
  EXPECT_TRUE(IsDirectory(dir.File("a/b/c")));
  EXPECT_FALSE(testing::FileExists(dir.File("a/b/c/last")));
  EXPECT_TRUE(MakeDirectories(dir.Path() + "d/"));
  EXPECT_TRUE(IsDirectory(dir.File("d")));
  EXPECT_TRUE(MakeDirectories(dir.Path() + "d/"));  // already there
}

TEST(AppPathsTest, MakeDirectoriesReportsAFileInTheWay) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("file"), "x");
  EXPECT_FALSE(MakeDirectories(dir.Path() + "file/sub/"));
  EXPECT_FALSE(MakeDirectories(dir.Path() + "file/"));
}

TEST(AppPathsTest, MakeDirectoriesRefusesRelativePaths) {
  testing::TempDir dir;
  char before[4096];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  EXPECT_FALSE(MakeDirectories("rel/dir/"));
  EXPECT_FALSE(MakeDirectories(""));
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
