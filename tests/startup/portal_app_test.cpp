#include "startup/portal_app.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "fakes/fake_port.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

// Start-up works in the program folder, which it expects to be current.
class PortalAppTest : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& arguments) { return RunPortal(platform_, arguments, ProgramPaths{dir_.Path()}); }
  std::string ModalCaption() {
    return platform_.modalRuns.empty() ? "" : platform_.modalRuns.back()->Caption();
  }

  testing::TempDir dir_;
  fakes::FakePlatform platform_;
};

TEST_F(PortalAppTest, WithoutRunTheProgramRefusesAndStillTidiesUp) {
  MakeDirectories(dir_.File("script/tmp/"));
  testing::WriteFile(dir_.File("script/tmp/page.htm"), "x");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{}, {"-run", "/run"}, {"play"}}) {
    platform_.messageBoxes.clear();
    EXPECT_EQ(Run(arguments), 0);
    ASSERT_EQ(platform_.messageBoxes.size(), 1u);
    EXPECT_EQ(platform_.messageBoxes[0].text, Gbk("请从主程序启动软件"));
  }
  EXPECT_TRUE(platform_.modalRuns.empty());
  EXPECT_FALSE(testing::FileExists(dir_.File("script/tmp/page.htm")));
  struct stat info;
  EXPECT_EQ(stat(dir_.File("data").c_str(), &info), 0);
  EXPECT_EQ(stat(dir_.File("tavelo").c_str(), &info), 0);
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

TEST_F(PortalAppTest, ClosingTheProcessWindowEndsTheRunAndEveryWindowWithIt) {
  struct Case {
    std::string word;
    // What the user opens on the way, from the window being run.
    std::function<void(fakes::FakeWindowHost&)> openMore;
    size_t openDuringRun;
  } cases[] = {
      {"run",
       [](fakes::FakeWindowHost& portal) {
         portal.FlatButton(1028)->Click();  // problem report: a web window
         portal.Browser(1011)->FireBeforeNavigate("http://cat/?cmd=TAVELO|AREA|HK|");  // the search window
       },
       3},
      {"runPlay:cmd=TVPLAY|http://tv/p|T||950|560",
       [](fakes::FakeWindowHost& player) {
         player.FireTimer(2);
         player.Browser(1011)->FireNewWindow();  // a pop-up in a web window
       },
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    fakes::FakePlatform platform;
    size_t openedDuringRun = 0;
    platform.on_run_modal = [&](fakes::FakeWindowHost& window) {
      c.openMore(window);
      openedDuringRun = platform.LiveWindows().size();
      window.RequestClose();
    };
    EXPECT_EQ(RunPortal(platform, {c.word}, ProgramPaths{dir_.Path()}), 0);
    EXPECT_EQ(openedDuringRun, c.openDuringRun);
    ASSERT_EQ(platform.modalRuns.size(), 1u);
    EXPECT_EQ(platform.modalRuns[0], &platform.Window(0));
    EXPECT_TRUE(platform.LiveWindows().empty());
  }
}

TEST_F(PortalAppTest, ANewUpdaterTargetStartsTheUpdaterAtExit) {
  RunExitRoutine(platform_, ProgramPaths{dir_.Path()});  // no data/dt: nothing
  mkdir(dir_.File("data").c_str(), 0755);
  testing::WriteFile(dir_.File("data/dt"), "new");
  RunExitRoutine(platform_, ProgramPaths{dir_.Path()});  // dt beside the program missing: differs
  testing::WriteFile(dir_.File("dt"), "new");
  RunExitRoutine(platform_, ProgramPaths{dir_.Path()});  // the same content: nothing
  testing::WriteFile(dir_.File("dt"), "old");
  RunExitRoutine(platform_, ProgramPaths{dir_.Path()});
  const std::vector<std::string> npdt = {dir_.File("npdt"), "update"};
  EXPECT_EQ(platform_.startedProcesses, (std::vector<std::vector<std::string>>{npdt, npdt}));
}

TEST_F(PortalAppTest, AnInstalledProgramsUpdaterTargetIsInItsOwnFolderAndTheArrivalInTheUsers) {
  const ProgramPaths installed{dir_.File("user/"), dir_.File("app/")};
  MakeDirectories(dir_.File("user/data/"));
  MakeDirectories(dir_.File("app/data/"));
  testing::WriteFile(dir_.File("app/dt"), "old");
  testing::WriteFile(dir_.File("app/data/dt"), "arrived in the shipped defaults, not for this user");
  RunExitRoutine(platform_, installed);
  EXPECT_TRUE(platform_.startedProcesses.empty());
  testing::WriteFile(dir_.File("user/data/dt"), "new");
  RunExitRoutine(platform_, installed);
  EXPECT_EQ(platform_.startedProcesses, (std::vector<std::vector<std::string>>{{dir_.File("app/npdt"), "update"}}));
  EXPECT_FALSE(testing::FileExists(dir_.File("user/npdt")));
}

// Whatever folder the user started Tavelo from, what it starts runs beside
// the data: the program folder of a portable copy, the data root of an
// installed one.
TEST_F(PortalAppTest, StartedProgramsRunInTheFolderThatHoldsTheData) {
  struct Case {
    ProgramPaths paths;
  } cases[] = {
      {ProgramPaths{dir_.Path()}},
      {ProgramPaths{dir_.File("user/"), dir_.File("app/")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.paths.folder);
    fakes::FakePlatform platform;
    platform.on_run_modal = [](fakes::FakeWindowHost& window) {
      window.FlatButton(1027)->Click();  // live TV: a copy of the program
      window.RequestClose();
    };
    RunPortal(platform, {"run"}, c.paths);
    ASSERT_FALSE(platform.startedIn.empty());
    for (const std::string& folder : platform.startedIn) EXPECT_EQ(folder, c.paths.folder);
  }
}

}  // namespace
}  // namespace tavelo
