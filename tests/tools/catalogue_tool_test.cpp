#include "catalogue_tool.h"
#include "catalogue_help.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <sstream>

#include "base/system_calls.h"
#include "catalogue/catalogue_store.h"
#include "support/temp_dir.h"
#include "tool_run.h"
#include "text/encoding.h"
#include "text/text_buffer.h"

namespace tavelo {
namespace {

using testing::RunTool;
using testing::ToolRun;

TEST(CatalogueToolTest, UsageErrorsExitTwo) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"nonsense"}, {"scramble", "only-one"}, {"check"},
        {"digest", "a", "b"}, {"template", "f", "--list", "K"}, {"template", "f", "K", "extra"}}) {
    ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
  }
}

TEST(CatalogueToolTest, HelpListsEveryCommandOnStandardOutput) {
  for (const char* asking : {"--help", "-h"}) {
    ToolRun run = RunTool({asking});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.out.starts_with("usage: tavelo-catalogue [--raw] COMMAND ARGS\n")) << run.out;
    for (const help::Entry& command : CatalogueToolHelp().entries) {
      for (const help::Usage& usage : command.usages) {
        EXPECT_NE(run.out.find("  " + std::string(command.name) + " " + std::string(usage.arguments)),
                  std::string::npos)
            << command.name;
      }
    }
  }
}

// Each command of the help table runs: asked for help it explains itself,
// and given one argument too many it names only its own usage.
TEST(CatalogueToolTest, EveryCommandExplainsItselfAndItsWrongUse) {
  for (const help::Entry& command : CatalogueToolHelp().entries) {
    const std::string name(command.name);
    ToolRun asked = RunTool({name, "--help"});
    EXPECT_EQ(asked.status, 0) << name;
    EXPECT_TRUE(asked.out.starts_with("usage: tavelo-catalogue " + name)) << asked.out;
    EXPECT_EQ(asked.out, help::EntryUsage(CatalogueToolHelp(), command));

    std::vector<std::string> tooMany{name};
    tooMany.resize(help::CountArguments(command).most + 2, "x");
    ToolRun wrong = RunTool(tooMany);
    EXPECT_EQ(wrong.status, 2) << name;
    EXPECT_EQ(wrong.out, "");
    EXPECT_TRUE(wrong.err.starts_with(help::EntryUsageLines(CatalogueToolHelp(), command))) << wrong.err;
    EXPECT_EQ(wrong.err.find("Commands:"), std::string::npos) << wrong.err;
  }
}

TEST(CatalogueToolTest, UnknownCommandsGetTheWholeUsageOnStandardError) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"nonsense"}, {"--help", "check"}}) {
    ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Commands:"), std::string::npos);
  }
}

TEST(CatalogueToolTest, ScrambleTwiceRestoresTheFile) {
  testing::TempDir dir;
  std::string original("any\0bytes\xFF here", 15);
  testing::WriteFile(dir.File("in"), original);
  ASSERT_EQ(RunTool({"scramble", dir.File("in"), dir.File("mid")}).status, 0);
  std::string scrambled = testing::ReadFile(dir.File("mid"));
  EXPECT_NE(scrambled, original);
  std::string expected = original;
  KeyedXor(expected, kCatalogueKey);
  EXPECT_EQ(scrambled, expected);
  ASSERT_EQ(RunTool({"scramble", dir.File("mid"), dir.File("out")}).status, 0);
  EXPECT_EQ(testing::ReadFile(dir.File("out")), original);
}

TEST(CatalogueToolTest, UnreadableOrUnwritablePathsExitOneNamingThePath) {
  testing::TempDir dir;
  ToolRun run = RunTool({"scramble", dir.File("missing"), dir.File("out")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(dir.File("missing")), std::string::npos);

  testing::WriteFile(dir.File("in"), "x");
  run = RunTool({"scramble", dir.File("in"), dir.File("no/dir/out")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no/dir/out"), std::string::npos);

  EXPECT_EQ(RunTool({"digest", dir.File("missing")}).status, 1);
  EXPECT_EQ(RunTool({"template", dir.File("missing"), "[K]"}).status, 1);
}

TEST(CatalogueToolTest, CheckPrintsCountsPerCategoryAndTheTotal) {
  testing::TempDir dir;
  mkdir(dir.File("data").c_str(), 0755);
  testing::WriteFile(dir.File("data/main.htm"), "");
  EXPECT_EQ(RunTool({"check", dir.Path()}).out, "total 0\n");  // present but empty


  std::string tv = "a\t1\nb\t2\n";
  KeyedXor(tv, kCatalogueKey);
  testing::WriteFile(dir.File("data/tv.dat"), tv);
  testing::WriteFile(dir.File("data/p2p-txt-.dat"), "x\ty\n");
  testing::WriteFile(dir.File("data/main.htm"),
                     "[x2_begin]\nv1,data/tv.dat\nv5,data/p2p-txt-.dat,note\nzz,none\n[x2_end]\n");
  std::string directory = dir.Path();
  directory.pop_back();  // also without the trailing slash
  ToolRun run = RunTool({"check", directory});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "2\tv1,data/tv.dat\n1\tv5,data/p2p-txt-.dat,note\n0\tzz,none\ntotal 3\n");
}

TEST(CatalogueToolTest, FoldersAndTemplatesThatCannotBeReadExitOneNamingThePath) {
  testing::TempDir dir;
  mkdir(dir.File("data").c_str(), 0755);
  mkdir(dir.File("data/main.htm").c_str(), 0755);  // a folder where the template belongs
  mkdir(dir.File("folder").c_str(), 0755);
  const std::vector<std::vector<std::string>> runs = {
      {"check", "/nonexistent"},      {"check", dir.Path()},
      {"update", "/nonexistent"},     {"update", dir.Path()},
      {"scramble", dir.File("folder"), dir.File("out")},
      {"pack", dir.File("folder"), dir.File("out")},
      {"template", dir.File("folder"), "[K]"},
      {"digest", dir.File("folder")},
  };
  for (const std::vector<std::string>& args : runs) {
    ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 1) << args[0] << " " << args[1];
    EXPECT_EQ(run.out, "") << args[0];
    EXPECT_NE(run.err.find(args[1]), std::string::npos) << run.err;
  }
}

TEST(CatalogueToolTest, ScrambleAndPackKeepTheOldOutputWhenWritingFails) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("in"), "a\t1\n");
  const sys::SystemCalls real = sys::Calls();
  for (const char* command : {"scramble", "pack"}) {
    testing::WriteFile(dir.File("out"), "old");
    {
      sys::ScopedSystemCalls full({[](int, const void*, size_t) -> ssize_t {
                                     errno = ENOSPC;
                                     return -1;
                                   },
                                   real.fsync, real.rename});
      EXPECT_EQ(RunTool({command, dir.File("in"), dir.File("out")}).status, 1);
    }
    EXPECT_EQ(testing::ReadFile(dir.File("out")), "old") << command;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              2);
  }
}

TEST(CatalogueToolTest, DigestAndTemplateLookups) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("f"), "a");
  EXPECT_EQ(RunTool({"digest", dir.File("f")}).out, "0cc175b9c0f1b6a831c399e269772661\n");

  testing::WriteFile(dir.File("main.htm"), "[S_URL]\n//c\n http://s \n[L]\none\ntwo\n[E]\nthree\n");
  EXPECT_EQ(RunTool({"template", dir.File("main.htm"), "[s_url]"}).out, "http://s\n");
  EXPECT_EQ(RunTool({"template", dir.File("main.htm"), "[none]"}).out, "\n");
  EXPECT_EQ(RunTool({"template", dir.File("main.htm"), "--list", "[L]", "[E]"}).out, "one\ntwo\n");
}

TEST(CatalogueToolTest, ResourceCutsTheConfiguredSitesPartAndTitlesItByTheAddress) {
  testing::TempDir dir;
  mkdir(dir.File("data").c_str(), 0755);
  testing::WriteFile(dir.File("data/main.htm"),
                     "[RESOURCE_SITE1_DOMAIN]\r\nres1.test\r\n[RESOURCE_SITE2_DOMAIN]\r\nres2.test\r\n");
  // A UTF-8 page is normalised to GBK before the markers are looked for.
  testing::WriteFile(dir.File("page"),
                     "<meta charset=utf-8><!--Content Start-->\xE7\xA7\x8D\xE5\xAD\x90<div class=\"x\">ads");
  ToolRun run = RunTool({"resource", dir.Path(), dir.File("page"), "http://res1.test/post/seed-42.html"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out.ends_with("<h3>seed-42.html</h3>" + Gbk("种子") + "</body></html>")) << run.out;

  run = RunTool({"resource", dir.Path(), dir.File("missing"), "http://res1.test/x"});
  EXPECT_EQ(run.status, 1);
}

}  // namespace
}  // namespace tavelo
