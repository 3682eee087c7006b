#include "browser/command_protocol.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/program_paths.h"
#include "fakes/recording_target.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using fakes::RecordingTarget;

// A relaunch starts this very program under its own path.
std::string Start(const std::string& word) { return "start [" + ModuleFilePath() + "] [" + word + "]"; }

TEST(CommandProtocolTest, NavigationsAndWhatTheyDo) {
  struct Case {
    std::string address;
    bool cancelled;
    std::vector<std::string> calls;
  } cases[] = {
      {"http://site/list.asp?page=2", false, {}},
      {"http://site/a?cmd=TAVELO|INFO|Title**TAB**http://v/1**TAB**2009|",
       true,
       {"video " + Gbk("推荐") + "|Title\nhttp://v/1\n2009|" + Gbk("查看详细")}},
      {"x?cmd=TAVELO|INFO", true, {"video " + Gbk("推荐") + "||" + Gbk("查看详细")}},
      {"x?cmd=TAVELO|AREA|HK|", true, {"search HK"}},
      {"x?cmd=TAVELO|ACTOR|A**TAB**B", true, {"search A\nB"}},
      {"x?cmd=TAVELO|FLAG2|f", true, {"search f"}},
      {"x?cmd=TAVELO|info|lower-case operation", true, {}},
      // The page marker wins over the play marker.
      {"x?cmd=TAVELO|TYPE|t|cmd=TVPLAY|p", true, {"search t"}},
      {"x?cmd=quillo_cmd|EXE|Name**TAB**key**TAB**prog.sh|", true, {"companion Name|key|prog.sh"}},
      {"x?cmd=quillo_cmd|dll|a", true, {"message " + Gbk("不能运行此功能,请下载最新版本")}},
      {"x?cmd=MVPLAY|anything at all", true, {Start("runPlay:cmd=PLAYINDEXMV")}},
      // Only the text from the marker on is relaunched; spaces travel as **BK**.
      {"http://tv/play.asp?cmd=TVPLAY|http://tv/play.asp|Live TV|TOPMOST|950|560|",
       true,
       {Start("runPlay:cmd=TVPLAY|http://tv/play.asp|Live**BK**TV|TOPMOST|950|560|")}},
  };
  for (const Case& c : cases) {
    RecordingTarget target;
    EXPECT_EQ(IsCommandAddress(c.address), c.cancelled) << c.address;
    RunCommand(RecogniseCommand(c.address), target);
    EXPECT_EQ(target.calls, c.calls) << c.address;
  }
}

TEST(CommandProtocolTest, PlayCommandFromTheLiveTvButtonKeepsTheAddressInFront) {
  RecordingTarget target;
  RelaunchPlay("http://tv/play.asp?cmd=TVPLAY|http://tv/play.asp|t|", target);
  EXPECT_EQ(target.calls, std::vector<std::string>{Start(
                              "runPlay:http://tv/play.asp?cmd=TVPLAY|http://tv/play.asp|t|")});
}

TEST(CommandProtocolTest, RelaunchWordIsOneArgumentWithoutSpaces) {
  EXPECT_EQ(RelaunchCommandWord("a b  c"), "runPlay:a**BK**b**BK****BK**c");
  EXPECT_EQ(RelaunchCommandWord(""), "runPlay:");
}

TEST(CommandProtocolTest, RelaunchStartsTheProgramByItsOwnPathWhileThatPathRuns) {
  // Through /proc/self/exe the copy would be listed as "exe".
  const std::string self = ModuleFilePath();
  ASSERT_FALSE(self.empty());
  testing::TempDir dir;
  const std::string plainFile = dir.File("TaveloMain");
  testing::WriteFile(plainFile, "not a program");
  chmod(plainFile.c_str(), 0644);
  const struct {
    std::string path;
    std::string started;
  } cases[] = {
      {self, self},
      {"", "/proc/self/exe"},
      // What the link reads once the program was replaced on disk.
      {self + " (deleted)", "/proc/self/exe"},
      {plainFile, "/proc/self/exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(RelaunchProgram(c.path), c.started) << c.path;
}

}  // namespace
}  // namespace tavelo
