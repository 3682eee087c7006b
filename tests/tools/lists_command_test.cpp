#include "lists_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <set>
#include <sstream>

#include "catalogue/personal_lists.h"
#include "tool_run.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

extern char** environ;

namespace tavelo {
namespace {

using testing::ReadFile;
using testing::WriteFile;

using testing::RunTool;
using testing::ToolRun;

// A program folder with its data/ folder.
class ListsCommandTest : public ::testing::Test {
 protected:
  ListsCommandTest() = default;
  explicit ListsCommandTest(const std::string& parent) : dir_(parent) {}
  void SetUp() override { mkdir(dir_.File("data").c_str(), 0755); }

  ToolRun Lists(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"lists", dir_.Path()});
    return RunTool(arguments);
  }

  testing::TempDir dir_;
  ProgramPaths paths_{dir_.Path()};
};

TEST_F(ListsCommandTest, ShowAddAndDeleteWorkOnTheStoredTexts) {
  const std::string info = Gbk("片名**MYN**http://v/1**TAB**高清");
  EXPECT_EQ(Lists({"add", "favourites", Gbk("电视剧"), info}).status, 0);
  EXPECT_EQ(Lists({"add", "favourites", "c", "second"}).status, 0);
  EXPECT_EQ(Lists({"add", "history", "c", "watched"}).status, 0);
  EXPECT_EQ(ReadFile(paths_.Favourites()),
            "0\t" + Gbk("电视剧") + "\t" + info + "\tdata3\t\r\n0\tc\tsecond\tdata3\t\r\n");
  EXPECT_EQ(Lists({"show", "favourites"}).out, "c\tsecond\n" + Gbk("电视剧") + "\t" + info + "\n");

  ToolRun deleted = Lists({"delete", "favourites", "any", info});
  EXPECT_EQ(deleted.status, 0);
  EXPECT_EQ(deleted.out, "删除完成\n");
  ToolRun gone = Lists({"delete", "favourites", "any", info});
  EXPECT_EQ(gone.status, 0);
  EXPECT_EQ(gone.out, "该视频已不在列表中,无需删除\n");
  EXPECT_EQ(Lists({"show", "favourites"}).out, "c\tsecond\n");
  EXPECT_EQ(Lists({"show", "history"}).out, "c\twatched\n");
}

// A reader at a terminal gets the stored texts in the locale's encoding;
// files, pipes and --raw get them as stored.
TEST_F(ListsCommandTest, ShowPrintsTheTerminalsEncodingUnlessRawOrNotATerminal) {
  const std::string category = Gbk("电视剧");
  ASSERT_EQ(Lists({"add", "favourites", category, "t**TAB**1"}).status, 0);
  const struct {
    const char* locale;
    bool toTerminal;
    bool raw;
    std::string expected;
  } cases[] = {
      {"C.UTF-8", true, false, "电视剧\tt**TAB**1\n"},
      {"C", true, false, "???\tt**TAB**1\n"},
      {"C.UTF-8", true, true, category + "\tt**TAB**1\n"},
      {"C.UTF-8", false, false, category + "\tt**TAB**1\n"},
  };
  const std::string before = std::setlocale(LC_CTYPE, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + (c.toTerminal ? " terminal" : " pipe") + (c.raw ? " raw" : ""));
    ASSERT_NE(std::setlocale(LC_CTYPE, c.locale), nullptr);
    std::vector<std::string> arguments = {"lists", dir_.Path(), "show", "favourites"};
    if (c.raw) arguments.insert(arguments.begin(), "--raw");
    std::ostringstream out, err;
    EXPECT_EQ(RunCatalogueTool(arguments, out, err, c.toTerminal), 0) << err.str();
    EXPECT_EQ(out.str(), c.expected);
  }
  std::setlocale(LC_CTYPE, before.c_str());
}

TEST_F(ListsCommandTest, BadUsageAndUnwritableListsAreRefused) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"show", "others"}, {"show"}, {"add", "history", "c"},
        {"remove", "history", "c", "i"}, {"export"}, {"show", "history", "extra"}}) {
    EXPECT_EQ(Lists(args).status, 2) << args[0];
  }
  rmdir(dir_.File("data").c_str());
  ToolRun run = Lists({"add", "history", "c", "i"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("myvisited.dat"), std::string::npos);
}

TEST_F(ListsCommandTest, ExportAndImportCarryBothListsWhole) {
  // Texts with every escape, Chinese text and a record an older program
  // marked deleted; the numbers and kinds of records are not carried.
  WriteFile(paths_.Favourites(), "0\t" + Gbk("动作**TAB**片") + "\t" + Gbk("标题**MYR****MYN**http://v/2") +
                                     "\tdata3\t\r\n0\tNULL\tNULL\tNULL\t\r\n0\tc\ta**TAB**b**MYN**\tdata3\t\r\n");
  WriteFile(paths_.History(), "0\th\tone\tdata3\t\r\n0\th\ttwo\tdata3\t\r\n");
  const std::string favourites = ReadFile(paths_.Favourites());
  ASSERT_EQ(Lists({"export", dir_.File("lists.json")}).status, 0);

  const nlohmann::json document = nlohmann::json::parse(ReadFile(dir_.File("lists.json")));
  EXPECT_EQ(document["favourites"].size(), 2u);
  EXPECT_EQ(document["favourites"][0]["category"], "动作\t片");
  EXPECT_EQ(document["favourites"][0]["info"], "标题\r\nhttp://v/2");
  EXPECT_EQ(document["favourites"][1]["info"], "a\tb\n");
  EXPECT_EQ(document["history"][1]["info"], "two");

  testing::TempDir other;
  mkdir(other.File("data").c_str(), 0755);
  ToolRun imported = RunTool({"lists", other.Path(), "import", dir_.File("lists.json")});
  EXPECT_EQ(imported.status, 0);
  EXPECT_EQ(imported.out, "收藏新增 2 条,观看记录新增 2 条\n");
  const ProgramPaths otherPaths{other.Path()};
  EXPECT_EQ(ReadFile(otherPaths.Favourites()),
            "0\t" + Gbk("动作**TAB**片") + "\t" + Gbk("标题**MYR****MYN**http://v/2") +
                "\tdata3\t\r\n0\tc\ta**TAB**b**MYN**\tdata3\t\r\n");
  EXPECT_EQ(ReadFile(otherPaths.History()), ReadFile(paths_.History()));

  // Importing into the lists they came from adds nothing and changes nothing.
  EXPECT_EQ(Lists({"import", dir_.File("lists.json")}).out, "收藏新增 0 条,观看记录新增 0 条\n");
  EXPECT_EQ(ReadFile(paths_.Favourites()), favourites);
}

TEST_F(ListsCommandTest, ImportMergesBehindWhatTheListHolds) {
  Lists({"add", "history", "c", "kept"});
  WriteFile(dir_.File("in.json"),
            R"({"format": "tavelo-personal-lists", "version": 1, "favourites": [],
                "history": [{"category": "n", "info": "new"}, {"category": "n", "info": "kept"},
                            {"category": "n", "info": "new"}, {"category": "n", "info": "last", "x": 1}]})");
  EXPECT_EQ(Lists({"import", dir_.File("in.json")}).status, 0);
  EXPECT_EQ(Lists({"show", "history"}).out, "n\tlast\nn\tnew\nc\tkept\n");
}

TEST_F(ListsCommandTest, AForeignOrBrokenFileIsRefusedInOneLineAndChangesNothing) {
  Lists({"add", "favourites", "c", "mine"});
  const std::string before = ReadFile(paths_.Favourites());
  const std::string head = R"("format": "tavelo-personal-lists", "version": 1)";
  struct Case {
    const char* name;
    std::string json;
  };
  const Case cases[] = {
      {"not JSON", "favourites,history"},
      {"cut off", "{" + head + R"(, "favourites": [{"category": "a")"},
      {"not an object", "[1, 2]"},
      {"another format", R"({"format": "bookmarks", "version": 1, "favourites": [], "history": []})"},
      {"no format", R"({"version": 1, "favourites": [], "history": []})"},
      {"later version", R"({"format": "tavelo-personal-lists", "version": 2, "favourites": [], "history": []})"},
      {"history missing", "{" + head + R"(, "favourites": []})"},
      {"list not an array", "{" + head + R"(, "favourites": {}, "history": []})"},
      {"entry not an object", "{" + head + R"(, "favourites": ["a"], "history": []})"},
      {"info not text", "{" + head + R"(, "favourites": [{"category": "a", "info": 5}], "history": []})"},
      {"info missing", "{" + head + R"(, "favourites": [{"category": "a"}], "history": []})"},
      {"not in GBK", "{" + head + R"(, "favourites": [{"category": "a", "info": "x😀"}], "history": []})"},
      {"zero character", "{" + head + R"(, "favourites": [{"category": "a", "info": "x\u0000y"}], "history": []})"},
      {"bad UTF-8", "{" + head + ", \"favourites\": [{\"category\": \"a\", \"info\": \"\xFF\"}], \"history\": []}"},
      // A good first list does not get in when the second is refused.
      {"second list bad", "{" + head + R"(, "favourites": [{"category": "a", "info": "b"}], "history": [7]})"},
  };
  for (const Case& c : cases) {
    WriteFile(dir_.File("in.json"), c.json);
    ToolRun run = Lists({"import", dir_.File("in.json")});
    EXPECT_EQ(run.status, 1) << c.name;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.name << ": " << run.err;
    EXPECT_NE(run.err.find("导入失败"), std::string::npos) << c.name;
    EXPECT_EQ(ReadFile(paths_.Favourites()), before) << c.name;
    EXPECT_FALSE(testing::FileExists(paths_.History())) << c.name;
  }
  EXPECT_EQ(Lists({"import", dir_.File("missing.json")}).status, 1);
}

// Nesting is measured before any tree is built, so a document deep enough to
// exhaust the stack is refused in one line; brackets inside texts are text.
TEST_F(ListsCommandTest, DeepNestingIsRefusedAndBracketsInTextsAreNotNesting) {
  const std::string head = R"({"format": "tavelo-personal-lists", "version": 1, "history": [], "favourites": )";
  // With the document's own object: 64 levels are read (and refused for their form), 65 are not.
  for (int levels : {64, 65, 50000}) {
    WriteFile(dir_.File("in.json"), head + std::string(levels - 1, '[') + std::string(levels - 1, ']') + "}");
    ToolRun run = Lists({"import", dir_.File("in.json")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.find("JSON 嵌套超过 64 层") != std::string::npos, levels > 64) << levels << ": " << run.err;
  }

  const std::string brackets = std::string(100, '[') + R"(\"{{)";
  WriteFile(dir_.File("in.json"), head + R"([{"category": "c", "info": ")" + brackets + R"("}]})");
  ToolRun run = Lists({"import", dir_.File("in.json")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(paths_.Favourites()), "0\tc\t" + std::string(100, '[') + "\"{{\tdata3\t\r\n");
}

// The tool as separate processes, as several copies of the program would be.
pid_t StartTool(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv{TAVELO_CATALOGUE_TOOL};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  int failed = posix_spawn(&pid, TAVELO_CATALOGUE_TOOL, &actions, nullptr, const_cast<char* const*>(argv.data()),
                           environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed == 0 ? pid : -1;
}

bool Succeeded(pid_t pid) {
  int status = 0;
  return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs each worker's tool calls one after another in a process of its own,
// all workers at once. True when every call succeeded.
bool RunWorkersAtOnce(const std::vector<std::vector<std::vector<std::string>>>& workers) {
  std::vector<pid_t> children;
  for (const auto& calls : workers) {
    pid_t child = fork();
    if (child == 0) {
      int failures = 0;
      for (const std::vector<std::string>& call : calls) failures += Succeeded(StartTool(call)) ? 0 : 1;
      _exit(failures == 0 ? 0 : 1);
    }
    children.push_back(child);
  }
  bool all = true;
  for (pid_t child : children) all = Succeeded(child) && all;
  return all;
}

std::set<std::string> ShownInfos(const std::string& directory) {
  std::set<std::string> infos;
  std::istringstream shown(RunTool({"lists", directory, "show", "history"}).out);
  for (std::string line; std::getline(shown, line);) infos.insert(line.substr(line.find('\t') + 1));
  return infos;
}

// Thousands of saves in a row: in memory, so that the test measures the
// lock and not the disk.
class ListsConcurrencyTest : public ListsCommandTest {
 protected:
  ListsConcurrencyTest() : ListsCommandTest(testing::kMemoryFolder) {}
};

TEST_F(ListsConcurrencyTest, EightProcessesAddingAtOnceLoseNothing) {
  constexpr int kProcesses = 8;
  constexpr int kAdditions = 500;
  std::vector<std::vector<std::vector<std::string>>> workers(kProcesses);
  std::set<std::string> expected;
  for (int p = 0; p < kProcesses; ++p) {
    for (int i = 0; i < kAdditions; ++i) {
      const std::string info = "p" + std::to_string(p) + "-" + std::to_string(i);
      workers[p].push_back({"lists", dir_.Path(), "add", "history", "c", info});
      expected.insert(info);
    }
  }
  ASSERT_TRUE(RunWorkersAtOnce(workers));
  RecordList history;
  EXPECT_EQ(history.LoadPersonalList(paths_.History()), kProcesses * kAdditions);
  EXPECT_EQ(ShownInfos(dir_.Path()), expected);
}

TEST_F(ListsConcurrencyTest, DeletesAmongAdditionsNeverBringAnEntryBack) {
  constexpr int kPerProcess = 100;
  std::vector<StoredEntry> old;
  for (int i = 0; i < 4 * kPerProcess; ++i) old.push_back({"c", "old-" + std::to_string(i)});
  ASSERT_TRUE(MergeListEntries(paths_.History(), old).saved);

  std::vector<std::vector<std::vector<std::string>>> workers(8);
  std::set<std::string> expected;
  for (int p = 0; p < 4; ++p) {
    for (int i = 0; i < kPerProcess; ++i) {
      workers[p].push_back({"lists", dir_.Path(), "delete", "history", "c", old[p * kPerProcess + i].info});
      const std::string added = "new-" + std::to_string(p) + "-" + std::to_string(i);
      workers[4 + p].push_back({"lists", dir_.Path(), "add", "history", "c", added});
      expected.insert(added);
    }
  }
  ASSERT_TRUE(RunWorkersAtOnce(workers));
  EXPECT_EQ(ShownInfos(dir_.Path()), expected);
}

}  // namespace
}  // namespace tavelo
