#include "content/install_description.h"

#include <gtest/gtest.h>

namespace tavelo {
namespace {

const InstallPlaces kPlaces{"/opt/tavelo/", "/home/u/programs/", "quillo"};

std::string Description(const std::string& list, const std::string& extra = "") {
  return "[FLAG]\r\nsetup\r\n[FILE_LIST_BEGIN]\r\n" + list + "[FILE_LIST_END]\r\n" + extra +
         "END_QORISOFT_INFO\r\n";
}

TEST(InstallDescriptionTest, TheEndMarkerMakesADescription) {
  EXPECT_FALSE(ParseInstallDescription("", kPlaces).recognised);
  EXPECT_FALSE(ParseInstallDescription("<html>not found</html>", kPlaces).recognised);
  EXPECT_FALSE(ParseInstallDescription("[FLAG]\nnosetup\nEND_QORISOFT_INF", kPlaces).recognised);
  InstallDescription empty = ParseInstallDescription("END_QORISOFT_INFO", kPlaces);
  EXPECT_TRUE(empty.recognised);
  EXPECT_FALSE(empty.noSetup);
  EXPECT_TRUE(empty.files.empty());
  EXPECT_EQ(empty.mainProgram, "");
}

TEST(InstallDescriptionTest, OnlyAnExactNosetupFlagRefusesTheInstall) {
  InstallDescription refused = ParseInstallDescription(
      "[FLAG]\r\nnosetup\r\n[MESSAGE]\r\nnot here\r\n[URL]\r\nhttp://maker/p.htm\r\nEND_QORISOFT_INFO", kPlaces);
  EXPECT_TRUE(refused.noSetup);
  EXPECT_EQ(refused.message, "not here");
  EXPECT_EQ(refused.url, "http://maker/p.htm");
  for (const char* flag : {"NOSETUP", "setup", "nosetup2"}) {
    EXPECT_FALSE(ParseInstallDescription(std::string("[FLAG]\n") + flag + "\nEND_QORISOFT_INFO", kPlaces).noSetup)
        << flag;
  }
}

TEST(InstallDescriptionTest, ListLinesGiveFilesWithTheirPlaceholdersReplaced) {
  InstallDescription d = ParseInstallDescription(
      Description("abc LOCAL_PATHEXE_ID/main http://s/a.zip MAIN_EXE\r\n"
                  "  GetHtml\tPROGRESS_PATHqori\\EXE_ID\\readme.txt   http://s/r.txt trailing words\r\n"
                  "// a comment line\r\n"
                  "def sub/lib.so http://s/l.zip\r\n",
                  "[REG_PATH]\r\nLOCAL_PATHEXE_ID/\r\n"),
      kPlaces);
  ASSERT_EQ(d.files.size(), 3u);
  EXPECT_FALSE(d.files[0].fetchText);
  EXPECT_EQ(d.files[0].digest, "abc");
  EXPECT_EQ(d.files[0].localPath, "/opt/tavelo/quillo/main");
  EXPECT_EQ(d.files[0].url, "http://s/a.zip");
  EXPECT_TRUE(d.files[1].fetchText);
  EXPECT_EQ(d.files[1].localPath, "/home/u/programs/qori/quillo/readme.txt");
  EXPECT_EQ(d.files[1].url, "http://s/r.txt");
  // A relative path lies in the program folder.
  EXPECT_EQ(d.files[2].localPath, "/opt/tavelo/sub/lib.so");
  EXPECT_EQ(d.mainProgram, "/opt/tavelo/quillo/main");
  EXPECT_EQ(d.registryPath, "/opt/tavelo/quillo/");
  EXPECT_TRUE(d.refusedLines.empty());
}

TEST(InstallDescriptionTest, TheLastMainProgramLineCounts) {
  InstallDescription d = ParseInstallDescription(
      Description("a LOCAL_PATHq/one http://s/1.zip MAIN_EXE\r\nb LOCAL_PATHq/two http://s/2.zip x MAIN_EXE\r\n"),
      kPlaces);
  EXPECT_EQ(d.mainProgram, "/opt/tavelo/q/two");
}

TEST(InstallDescriptionTest, PathsLeavingTheTwoFoldersAreRefused) {
  struct Case {
    const char* path;
  } cases[] = {
      {"/etc/passwd"},
      {"/opt/tavelo"},  // the folder's own name, without its "/"
      {"/opt/tavelox/file"},
      {"LOCAL_PATH../outside"},
      {"LOCAL_PATHsub/../../outside"},
      {"PROGRESS_PATH..\\..\\.bashrc"},
      {"../outside"},
      {"LOCAL_PATH"},  // the folder itself is no file
      {"LOCAL_PATHsub/"},
      {"LOCAL_PATHq/..."},  // fine: three dots are a name
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    InstallDescription d =
        ParseInstallDescription(Description(std::string("abc ") + c.path + " http://s/a.zip MAIN_EXE\r\n"), kPlaces);
    bool accepted = std::string(c.path) == "LOCAL_PATHq/...";
    EXPECT_EQ(d.files.size(), accepted ? 1u : 0u);
    EXPECT_EQ(d.refusedLines.size(), accepted ? 0u : 1u);
    EXPECT_EQ(d.mainProgram.empty(), !accepted);
  }
  // A hostile product key cannot lead out either.
  InstallPlaces hostile = kPlaces;
  hostile.productKey = "../../etc";
  EXPECT_TRUE(ParseInstallDescription(Description("a LOCAL_PATHEXE_ID/x http://s/a.zip\r\n"), hostile).files.empty());
  EXPECT_EQ(ParseInstallDescription(Description("", "[REG_PATH]\r\n/usr/bin/\r\n"), kPlaces).registryPath, "");
  EXPECT_EQ(ParseInstallDescription(Description("", "[REG_PATH]\r\nLOCAL_PATH\r\n"), kPlaces).registryPath,
            "/opt/tavelo/");
}

TEST(InstallDescriptionTest, OverLongFieldsRefuseTheLineInsteadOfCuttingIt) {
  const std::string digest49(49, 'a');
  const std::string path255 = "LOCAL_PATHq/" + std::string(243, 'p');
  const std::string url255 = "http://s/" + std::string(246, 'u');
  struct Case {
    std::string digest, path, url;
    bool accepted;
  } cases[] = {
      {digest49, path255, url255, true},
      {digest49 + "a", path255, url255, false},
      {digest49, path255 + "p", url255, false},
      {digest49, path255, url255 + "u", false},
  };
  for (const Case& c : cases) {
    InstallDescription d =
        ParseInstallDescription(Description(c.digest + " " + c.path + " " + c.url + " MAIN_EXE\r\n"), kPlaces);
    EXPECT_EQ(d.files.size(), c.accepted ? 1u : 0u) << c.digest.size() << " " << c.path.size() << " " << c.url.size();
  }
}

TEST(InstallDescriptionTest, LinesWithoutThreeFieldsAreRefused) {
  InstallDescription d = ParseInstallDescription(Description("abc LOCAL_PATHx\r\n   \r\nabc\r\n"), kPlaces);
  EXPECT_TRUE(d.files.empty());
  EXPECT_EQ(d.refusedLines.size(), 2u);  // the blank line is no line at all
}

TEST(InstallDescriptionTest, TheListEndsAfterAHundredLines) {
  std::string list;
  for (int i = 0; i < 120; ++i) list += "a LOCAL_PATHq/f" + std::to_string(i) + " http://s/a.zip\r\n";
  EXPECT_EQ(ParseInstallDescription(Description(list), kPlaces).files.size(), 100u);
}

// What a page's setup server may not do, whatever its digests say: put a
// file among the program's own, or have a text fetch run.
TEST(InstallDescriptionTest, DescriptionsReachingForTheProgramOrRunningTextAreRefused) {
  struct Case {
    const char* list;
    bool refusedWhole;
    size_t files;
    const char* mainProgram;
  } cases[] = {
      {"a LOCAL_PATHq/run http://s/a.zip MAIN_EXE\r\n", false, 1, "/opt/tavelo/q/run"},
      {"gethtml LOCAL_PATHq/run.sh http://evil/run.sh MAIN_EXE\r\n", false, 0, ""},
      {"gethtml LOCAL_PATHq/readme.txt http://s/r.txt\r\n", false, 1, ""},
      {"gethtml LOCAL_PATHdata/main.htm http://s/t.htm\r\n", true, 0, ""},
      {"a LOCAL_PATHq/run http://s/a.zip MAIN_EXE\r\ngethtml data/myfavo.dat http://s/f\r\n", true, 0, ""},
      {"a LOCAL_PATHTaveloMain http://s/a.zip MAIN_EXE\r\n", true, 0, ""},
      {"a LOCAL_PATHtavelo/x.dat http://s/a.zip\r\n", true, 0, ""},
      {"a LOCAL_PATHscript/tmp/p.htm http://s/a.zip\r\n", true, 0, ""},
      {"a PROGRESS_PATHrun http://s/a.zip MAIN_EXE\r\n", false, 1, "/home/u/programs/run"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    InstallDescription d = ParseInstallDescription(Description(c.list, "[REG_PATH]\r\nLOCAL_PATHq/\r\n"), kPlaces);
    EXPECT_EQ(d.refused, c.refusedWhole);
    EXPECT_EQ(d.files.size(), c.files);
    EXPECT_EQ(d.mainProgram, c.mainProgram);
    EXPECT_EQ(d.registryPath.empty(), c.refusedWhole);
  }
}

}  // namespace
}  // namespace tavelo
