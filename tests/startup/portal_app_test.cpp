#include "startup/portal_app.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fakes/fake_port.h"
#include "support/temp_dir.h"
#include "text/encoding.h"
#include "windows/search_window.h"

namespace tavelo {
namespace {

// Start-up works in the program folder, which it expects to be current.
class PortalAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(oldDir_, sizeof oldDir_), nullptr);
    ASSERT_EQ(chdir(dir_.Path().c_str()), 0);
  }
  void TearDown() override {
    SearchWindow::Destroy();
    ASSERT_EQ(chdir(oldDir_), 0);
  }
  int Run(const std::vector<std::string>& arguments) { return RunPortal(platform_, arguments, ProgramPaths{dir_.Path()}); }
  std::string ModalCaption() {
    return platform_.modalRuns.empty() ? "" : platform_.modalRuns.back()->Caption();
  }

  testing::TempDir dir_;
  char oldDir_[4096];
  fakes::FakePlatform platform_;
};

TEST_F(PortalAppTest, WithoutRunTheProgramRefusesAndStillTidiesUp) {
  mkdir("script", 0755);
  mkdir("script/tmp", 0755);
  testing::WriteFile("script/tmp/page.htm", "x");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{}, {"-run", "/run"}, {"play"}}) {
    platform_.messageBoxes.clear();
    EXPECT_EQ(Run(arguments), 0);
    ASSERT_EQ(platform_.messageBoxes.size(), 1u);
    EXPECT_EQ(platform_.messageBoxes[0].text, Gbk("请从主程序启动软件"));
  }
  EXPECT_TRUE(platform_.modalRuns.empty());
  EXPECT_FALSE(testing::FileExists("script/tmp/page.htm"));
  struct stat info;
  EXPECT_EQ(stat("data", &info), 0);
  EXPECT_EQ(stat("tavelo", &info), 0);
}

TEST_F(PortalAppTest, TheCommandWordChoosesTheWindow) {
  Run({"runPlay:cmd=TVPLAY|http://tv/p.asp|" + Gbk("直播") + "|NONEWWINDOW|800|600|"});
  EXPECT_EQ(ModalCaption(), Gbk("直播"));
  Run({"runPlay:cmd=PLAYINDEXMV"});
  // The live-show window opens its first site and names itself after it.
  EXPECT_TRUE(ModalCaption().ends_with(Gbk(" 视频直播"))) << GbkToUtf8(ModalCaption());
  Run({"-x", "run"});
  EXPECT_EQ(ModalCaption(), Gbk("Tavelo(Tavelo视频播放器)"));
  EXPECT_EQ(platform_.modalRuns.size(), 3u);
}

TEST_F(PortalAppTest, ANewUpdaterTargetStartsTheUpdaterAtExit) {
  RunExitRoutine(platform_, ProgramPaths{dir_.Path()});  // no data/dt: nothing
  mkdir("data", 0755);
  testing::WriteFile("data/dt", "new");
  RunExitRoutine(platform_, ProgramPaths{dir_.Path()});  // dt beside the program missing: differs
  testing::WriteFile("dt", "new");
  RunExitRoutine(platform_, ProgramPaths{dir_.Path()});  // the same content: nothing
  testing::WriteFile("dt", "old");
  RunExitRoutine(platform_, ProgramPaths{dir_.Path()});
  const std::vector<std::string> npdt = {dir_.File("npdt"), "update"};
  EXPECT_EQ(platform_.startedProcesses, (std::vector<std::vector<std::string>>{npdt, npdt}));
}

}  // namespace
}  // namespace tavelo
