#include "command_help.h"

#include <gtest/gtest.h>

namespace tavelo::help {
namespace {

// A small program with a long head, a command of two usages, one of bare
// options and text that needs escaping in a manual page.
ProgramHelp Sample() {
  return ProgramHelp{
      .name = "tool",
      .synopsis = "COMMAND ARGS",
      .purpose = "a tool-like thing",
      .description = "First paragraph\nover two lines.\n\n.Second starts with a dot and holds C:\\path.",
      .kind = EntryKind::kCommands,
      .entries = {{"copy", {{"IN OUT [--zip]", "copy IN to OUT"}}, "Details of copy."},
                  {"list", {{"FILE KEY", "one value"}, {"FILE --list KEY END", "the lines of KEY"}}, ""},
                  {"very-long-command", {{"FIRST SECOND THIRD FOURTH", "summary on its own line"}}, ""},
                  {"plain", {}, ""}},
      .exitStatus = "0 done; 2 wrong.",
      .seeAlso = {"other(1)", "more(5)"},
  };
}

TEST(CommandHelpTest, ArgumentCountsCoverEveryUsageAndOptionalWords) {
  struct Case {
    std::vector<Usage> usages;
    size_t least, most;
  } cases[] = {
      {{{"IN OUT", ""}}, 2, 2},
      {{{"IN OUT [--zip]", ""}}, 2, 3},
      {{{"FILE KEY", ""}, {"FILE --list KEY END", ""}}, 2, 4},
      {{{"[--port N] [--content DIR] NAME", ""}}, 1, 5},
      {{{"[--port N]", ""}}, 0, 2},
      {{{"", ""}}, 0, 0},
      {{}, 0, 0},
  };
  for (const Case& c : cases) {
    ArgumentCount count = CountArguments(Entry{"x", c.usages, ""});
    EXPECT_EQ(count.least, c.least) << (c.usages.empty() ? "" : c.usages[0].arguments);
    EXPECT_EQ(count.most, c.most) << (c.usages.empty() ? "" : c.usages[0].arguments);
  }
}

TEST(CommandHelpTest, ProgramUsageListsEveryUsageInOneColumn) {
  std::string usage = ProgramUsage(Sample());
  EXPECT_EQ(usage,
            "usage: tool COMMAND ARGS\n"
            "\n"
            "First paragraph over two lines.\n"
            "\n"
            ".Second starts with a dot and holds C:\\path.\n"
            "\n"
            "Commands:\n"
            "  copy IN OUT [--zip]       copy IN to OUT\n"
            "  list FILE KEY             one value\n"
            "  list FILE --list KEY END  the lines of KEY\n"
            "  very-long-command FIRST SECOND THIRD FOURTH\n"
            "                            summary on its own line\n"
            "\n"
            "\"tool COMMAND --help\" tells more about one command.\n");
}

TEST(CommandHelpTest, LongTextsWrapWithinTheLine) {
  ProgramHelp program = Sample();
  std::string words;
  for (int i = 0; i < 30; ++i) words += "word ";
  program.entries[0].usages[0].summary = words;
  program.description = words;
  // The summaries start two spaces after the longest head that fits.
  for (const auto& [text, column] : {std::pair{ProgramUsage(program), 28}, {EntryUsage(program, program.entries[0]), 23}}) {
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      EXPECT_LE(end - start, 78u) << text.substr(start, end - start);
      start = end + 1;
    }
    EXPECT_NE(text.find("\n" + std::string(column, ' ') + "word"), std::string::npos) << text;
  }
}

TEST(CommandHelpTest, EntryUsageGivesItsUsagesSummariesAndDetails) {
  ProgramHelp program = Sample();
  EXPECT_EQ(EntryUsage(program, program.entries[0]),
            "usage: tool copy IN OUT [--zip]\n"
            "\n"
            "  copy IN OUT [--zip]  copy IN to OUT\n"
            "\n"
            "Details of copy.\n");
  EXPECT_EQ(EntryUsageLines(program, program.entries[1]),
            "usage: tool list FILE KEY\n"
            "       tool list FILE --list KEY END\n");
}

TEST(CommandHelpTest, FindsEntriesByExactName) {
  ProgramHelp program = Sample();
  EXPECT_EQ(FindEntry(program, "list"), &program.entries[1]);
  EXPECT_EQ(FindEntry(program, "lis"), nullptr);
  EXPECT_EQ(FindEntry(program, "LIST"), nullptr);
  EXPECT_TRUE(AsksForHelp("--help"));
  EXPECT_TRUE(AsksForHelp("-h"));
  EXPECT_FALSE(AsksForHelp("help"));
}

TEST(CommandHelpTest, ManPageEscapesTextAndMarksArguments) {
  std::string page = ManPage(Sample(), "1.2");
  for (const char* expected : {
           ".TH \"TOOL\" 1 \"\" \"Tavelo 1.2\" \"Tavelo\"\n",
           ".SH NAME\ntool \\- a tool\\-like thing\n",
           ".SH SYNOPSIS\n\\fBtool\\fR \\fICOMMAND\\fR \\fIARGS\\fR\n",
           ".SH DESCRIPTION\nFirst paragraph over two lines.\n.PP\n\\&.Second starts with a dot and holds C:\\epath.\n",
           ".SH COMMANDS\n.TP\n\\fBcopy\\fR \\fIIN\\fR \\fIOUT\\fR [\\fB\\-\\-zip\\fR]\ncopy IN to OUT\n.IP\nDetails of copy.\n",
           ".TP\n\\fBlist\\fR \\fIFILE\\fR \\fB\\-\\-list\\fR \\fIKEY\\fR \\fIEND\\fR\nthe lines of KEY\n",
           ".SH \"EXIT STATUS\"\n0 done; 2 wrong.\n",
           ".SH \"SEE ALSO\"\n.BR other (1) ,\n.BR more (5)\n",
       }) {
    EXPECT_NE(page.find(expected), std::string::npos) << expected << "\nin\n" << page;
  }
  // No line of the page may start a request by accident.
  size_t start = 0;
  while ((start = page.find('\n', start)) != std::string::npos && ++start < page.size()) {
    EXPECT_NE(page[start], '\'') << page.substr(start, 40);
    if (page[start] == '.') {
      EXPECT_TRUE(page.compare(start, 4, ".SH ") == 0 || page.compare(start, 3, ".TP") == 0 ||
                  page.compare(start, 3, ".IP") == 0 || page.compare(start, 3, ".PP") == 0 ||
                  page.compare(start, 4, ".BR ") == 0)
          << page.substr(start, 40);
    }
  }
}

TEST(CommandHelpTest, ManPageLeavesOutAnEmptySynopsisAndEntryList) {
  ProgramHelp plain = Sample();
  plain.synopsis = "";
  plain.description = "d";
  plain.entries.clear();
  std::string page = ManPage(plain, "1.2");
  EXPECT_NE(page.find(".SH SYNOPSIS\n\\fBtool\\fR\n.SH DESCRIPTION\nd\n.SH \"EXIT STATUS\""), std::string::npos) << page;
}

}  // namespace
}  // namespace tavelo::help
