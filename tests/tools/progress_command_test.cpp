// `tavelo-catalogue progress DIR show|clear` on a program folder's store.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/program_paths.h"
#include "catalogue/progress_store.h"
#include "support/temp_dir.h"
#include "text/encoding.h"
#include "tool_run.h"

namespace tavelo {
namespace {

using testing::RunTool;

class ProgressCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { mkdir(dir_.File("data").c_str(), 0755); }
  testing::ToolRun Progress(const std::string& verb) { return RunTool({"progress", dir_.Path(), verb}); }

  testing::TempDir dir_;
  ProgramPaths paths_{dir_.Path()};
};

TEST_F(ProgressCommandTest, ShowPrintsNewestFirstAndClearEmptiesTheStore) {
  SaveProgress(paths_.Progress(), {"http://v/e1", "http://v/s", Gbk("第1集"), 2690, 2700, 1});
  SaveProgress(paths_.Progress(), {"http://v/e2", "http://v/s", Gbk("第2集"), 754, 2700, 2});
  testing::ToolRun shown = Progress("show");
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out, Gbk("第2集 12:34 / 45:00\thttp://v/e2\thttp://v/s\n第1集 已看完\thttp://v/e1\thttp://v/s\n"));
  EXPECT_EQ(Progress("clear").status, 0);
  EXPECT_EQ(Progress("show").out, "");
}

TEST_F(ProgressCommandTest, AStoreThatCannotBeReadIsReportedAndKept) {
  ASSERT_EQ(mkdir(paths_.Progress().c_str(), 0755), 0);
  for (const char* verb : {"show", "clear"}) {
    testing::ToolRun run = Progress(verb);
    EXPECT_EQ(run.status, 1) << verb;
    EXPECT_NE(run.err.find("cannot read"), std::string::npos) << verb;
  }
  EXPECT_EQ(Progress("forget").status, 2);
}

}  // namespace
}  // namespace tavelo
