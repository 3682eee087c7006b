#include "content/companion_install.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <mutex>

#include "base/file_digest.h"
#include "base/registry_key.h"
#include "net/loopback_server.h"
#include "net/zip_builder.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::WriteFile;

// Runs every transfer at once and records what a user would see.
class RecordingHost : public CompanionHost {
 public:
  TransferResult RunTransfer(const std::string& statusText, const TransferRequest& request) override {
    statuses.push_back(statusText);
    urls.push_back(request.url);
    TransferJob job(request);
    job.Run(nullptr, nullptr);
    return job.Result();
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool StartProcess(const std::vector<std::string>& argv) override {
    started.push_back(argv);
    return startResult;
  }

  std::vector<std::string> statuses, urls, messages;
  std::vector<std::vector<std::string>> started;
  bool startResult = true;
};

const std::string kProgram = "#!/bin/sh\necho started\n";

class CompanionInstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& routes = server_.Routes();
    routes.Get(R"(/setup/([^/]+)/getinfo_[^/]+\.asp)", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(lock_);
      requested_ = req.target;
      if (description_.empty()) {
        res.status = 404;
        res.set_content("not found", "text/plain");
      } else {
        res.set_content(description_, "text/plain");
      }
    });
    routes.Get("/program.zip", [](const httplib::Request&, httplib::Response& res) {
      testing::TestZip zip;
      zip.members.push_back(testing::TestMember{});
      zip.members[0].name = "prog";
      zip.members[0].data = kProgram;
      res.set_content(testing::BuildTestZip(zip), "application/zip");
    });
    routes.Get("/readme.txt", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("read me\r\n", "text/plain");
    });
    routes.Get("/gone.txt", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("<html>not found</html>", "text/html");
    });
    server_.Start();
    mkdir(dir_.File("app").c_str(), 0755);
    mkdir(dir_.File("app/data").c_str(), 0755);
    places_.programFolder = dir_.File("app/");
    places_.programFiles = dir_.File("programs/");
    places_.registryDirectory = dir_.File("registry/");
    places_.setupServer = server_.Url("");
    places_.makerSite = "http://maker.test";
    WriteFile(dir_.File("expected"), kProgram);
    DigestFileHex(dir_.File("expected"), digest_);
  }

  void Serve(const std::string& description) {
    std::lock_guard<std::mutex> lock(lock_);
    description_ = description;
  }
  // A description whose list holds `lines` ("DIGEST" and "SERVER" filled in).
  void ServeList(std::string lines, const std::string& registryPath = "LOCAL_PATHqori/") {
    for (auto [from, to] : {std::pair<std::string, std::string>{"DIGEST", digest_}, {"SERVER", server_.Url("")}}) {
      for (size_t at = lines.find(from); at != std::string::npos; at = lines.find(from, at + to.size())) {
        lines.replace(at, from.size(), to);
      }
    }
    Serve("[FLAG]\r\nsetup\r\n[FILE_LIST_BEGIN]\r\n" + lines + "[FILE_LIST_END]\r\n[REG_PATH]\r\n" + registryPath +
          "\r\nEND_QORISOFT_INFO\r\n");
  }
  InstallOutcome Install(const std::string& name = "Qori Player") {
    return InstallCompanion(CompanionProgram{name, "qori", "qori.exe"}, places_, host_);
  }
  std::string RegistryValue(const std::string& name) {
    RegistryKey key(places_.registryDirectory);
    key.SetRoot(RegistryRoot::kLocalMachine);
    if (key.SetKey("software\\tolvane3\\qori", false) != 1) return "<no key>";
    return key.ReadString(name, "<none>");
  }
  std::string Requested() {
    std::lock_guard<std::mutex> lock(lock_);
    return requested_;
  }

  testing::LoopbackServer server_;
  testing::TempDir dir_;
  CompanionPlaces places_;
  RecordingHost host_;
  std::string digest_;
  std::mutex lock_;
  std::string description_;
  std::string requested_;
};

TEST_F(CompanionInstallTest, WithoutADescriptionTheProductPageOpens) {
  for (const std::string& text : {std::string(), std::string("[FLAG]\r\nsetup\r\n")}) {
    Serve(text);  // nothing at all, or a text without the end marker
    host_ = RecordingHost();
    EXPECT_EQ(Install(), InstallOutcome::kSentAway);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0], Gbk("请到Qori软件官网去下载安装《Qori Player》\r\nhttp://maker.test/"));
    EXPECT_EQ(host_.started, (std::vector<std::vector<std::string>>{
                                 {"xdg-open", "http://maker.test/?fr=i&fg=ffFLAG_QUILLO_DIRECT"}}));
    EXPECT_EQ(host_.statuses, std::vector<std::string>{Gbk("首次使用《Qori Player》,下载相关数据")});
  }
}

TEST_F(CompanionInstallTest, TheDescriptionAddressCarriesTheNameEscapedOnlyWhereNeeded) {
  struct Case {
    std::string name, query;
  } cases[] = {
      {"Plain-Name_1.0", "name=Plain-Name_1.0"},
      {"two words", "name=two%20words"},
      {Gbk("奇洛"), "name=%C6%E6%C2%E5"},
      {"tab\there", "name=tab%09here"},
  };
  for (const Case& c : cases) {
    Install(c.name);
    EXPECT_EQ(Requested(), "/setup/qori/getinfo_qori.asp?v=2&id=qori&" + c.query);
  }
}

TEST_F(CompanionInstallTest, NosetupShowsItsMessageAndOpensItsAddress) {
  Serve("[FLAG]\r\nnosetup\r\n[MESSAGE]\r\nplease download\r\n[URL]\r\nhttp://maker.test/p?id=1\r\nEND_QORISOFT_INFO");
  EXPECT_EQ(Install(), InstallOutcome::kSentAway);
  EXPECT_EQ(host_.messages, std::vector<std::string>{"please download"});
  EXPECT_EQ(host_.started, (std::vector<std::vector<std::string>>{
                               {"xdg-open", "http://maker.test/p?id=1&fr=i&fg=ffFLAG_QUILLO_DIRECT"}}));
}

TEST_F(CompanionInstallTest, AListWithoutAMainProgramEndsInTheErrorMessage) {
  ServeList("");
  EXPECT_EQ(Install(), InstallOutcome::kFailed);
  EXPECT_EQ(host_.messages, std::vector<std::string>{Gbk("下载文件出错,请稍候再试")});
  EXPECT_TRUE(host_.started.empty());
  EXPECT_EQ(RegistryValue("path"), "<no key>");
}

TEST_F(CompanionInstallTest, TheMainProgramInASubFolderIsFetchedStartedAndRecorded) {
  ServeList("DIGEST LOCAL_PATHqori/prog SERVER/program.zip MAIN_EXE\r\n"
            "gethtml LOCAL_PATHqori/doc/readme.txt SERVER/readme.txt\r\n");
  EXPECT_EQ(Install(), InstallOutcome::kStarted);
  const std::string program = dir_.File("app/qori/prog");
  EXPECT_EQ(ReadFile(program), kProgram);
  struct stat info;
  ASSERT_EQ(stat(program.c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IXUSR, 0u);
  EXPECT_EQ(ReadFile(dir_.File("app/qori/doc/readme.txt")), "read me\r\n");
  EXPECT_EQ(host_.started, (std::vector<std::vector<std::string>>{{program}}));
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(RegistryValue("ver"), "1.00");
  EXPECT_EQ(RegistryValue("path"), dir_.File("app/qori/"));
  EXPECT_EQ(host_.statuses.size(), 3u);
  EXPECT_EQ(host_.statuses[1], Gbk("下载 Qori Player 相关文件"));

  // The second time everything is there: nothing is fetched but the
  // description, and the program starts at once.
  host_ = RecordingHost();
  EXPECT_EQ(Install(), InstallOutcome::kStarted);
  EXPECT_EQ(host_.urls.size(), 1u);
  EXPECT_EQ(host_.started, (std::vector<std::vector<std::string>>{{program}}));
}

// An error page, or nothing at all, is no text file: nothing is written, so
// the next installation fetches it again.
TEST_F(CompanionInstallTest, TextFilesAreWrittenOnlyWhenTheyArrived) {
  ServeList("gethtml LOCAL_PATHqori/gone.txt SERVER/gone.txt\r\n"
            "gethtml LOCAL_PATHqori/none.txt http://127.0.0.1:1/none.txt\r\n"
            "DIGEST LOCAL_PATHqori/prog SERVER/program.zip MAIN_EXE\r\n");
  EXPECT_EQ(Install(), InstallOutcome::kStarted);
  EXPECT_FALSE(FileExists(dir_.File("app/qori/gone.txt")));
  EXPECT_FALSE(FileExists(dir_.File("app/qori/none.txt")));
}

TEST_F(CompanionInstallTest, ExistingFilesAreNeitherCheckedNorFetched) {
  mkdir(dir_.File("app/qori").c_str(), 0755);
  WriteFile(dir_.File("app/qori/prog"), "an older program");
  ServeList("0000 LOCAL_PATHqori/prog SERVER/program.zip MAIN_EXE\r\n");
  EXPECT_EQ(Install(), InstallOutcome::kStarted);
  EXPECT_EQ(ReadFile(dir_.File("app/qori/prog")), "an older program");
  EXPECT_EQ(host_.urls.size(), 1u);
}

TEST_F(CompanionInstallTest, ADigestMismatchInstallsAndStartsNothing) {
  ServeList("0123456789abcdef0123456789abcdef LOCAL_PATHqori/prog SERVER/program.zip MAIN_EXE\r\n");
  EXPECT_EQ(Install(), InstallOutcome::kFailed);
  EXPECT_FALSE(FileExists(dir_.File("app/qori/prog")));
  EXPECT_EQ(host_.messages, std::vector<std::string>{Gbk("下载文件出错,请稍候再试")});
  EXPECT_TRUE(host_.started.empty());
  EXPECT_EQ(RegistryValue("path"), "<no key>");
}

TEST_F(CompanionInstallTest, HostileAndOverLongLinesAreSkipped) {
  const std::string longName = "LOCAL_PATHqori/" + std::string(250, 'x');
  ServeList("DIGEST /tmp/evil SERVER/program.zip\r\n"
            "DIGEST LOCAL_PATH../evil SERVER/program.zip\r\n"
            "DIGEST PROGRESS_PATH../../evil SERVER/program.zip\r\n"
            "DIGEST " + longName + " SERVER/program.zip MAIN_EXE\r\n"
            "DIGEST LOCAL_PATHqori/prog SERVER/program.zip MAIN_EXE\r\n");
  EXPECT_EQ(Install(), InstallOutcome::kStarted);
  // Only the last line was fetched.
  EXPECT_EQ(host_.urls.size(), 2u);
  EXPECT_FALSE(FileExists(dir_.File("evil")));
  EXPECT_FALSE(FileExists(dir_.File("app/qori/" + std::string(240, 'x'))));
  EXPECT_TRUE(FileExists(dir_.File("app/qori/prog")));
}

TEST_F(CompanionInstallTest, ARegistryEntryNeedsAStartedProgramInsideTheFolders) {
  ServeList("DIGEST LOCAL_PATHqori/prog SERVER/program.zip MAIN_EXE\r\n");
  host_.startResult = false;  // the program would not start
  EXPECT_EQ(Install(), InstallOutcome::kFailed);
  EXPECT_EQ(RegistryValue("path"), "<no key>");
  EXPECT_EQ(host_.messages, std::vector<std::string>{Gbk("启动程序失败《Qori Player》")});

  ServeList("DIGEST LOCAL_PATHqori/prog SERVER/program.zip MAIN_EXE\r\n", "/usr/bin/");
  host_ = RecordingHost();
  EXPECT_EQ(Install(), InstallOutcome::kStarted);
  EXPECT_EQ(RegistryValue("path"), "<no key>");
}

TEST_F(CompanionInstallTest, StartCompanionInstallsOnlyWhatIsMissing) {
  ServeList("DIGEST LOCAL_PATHqori/qori SERVER/program.zip MAIN_EXE\r\n");
  CompanionProgram program{"Qori", "qori", "qori.exe"};
  EXPECT_TRUE(StartCompanion(program, places_, host_));
  EXPECT_EQ(host_.urls.size(), 2u);
  // Recorded now: the next start needs no description.
  host_ = RecordingHost();
  EXPECT_TRUE(StartCompanion(program, places_, host_));
  EXPECT_TRUE(host_.urls.empty());
  EXPECT_EQ(host_.started, (std::vector<std::vector<std::string>>{{dir_.File("app/qori/qori")}}));
  host_ = RecordingHost();
  host_.startResult = false;
  EXPECT_FALSE(StartCompanion(program, places_, host_));
  // An installed program that would not run is named, not passed over.
  EXPECT_EQ(host_.messages, std::vector<std::string>{Gbk("启动程序失败《Qori》")});
}

// What a page names is checked before anything is asked of the setup
// server: no request, no file, no process, no registry key.
TEST_F(CompanionInstallTest, KeysAndProgramsAPageMayNotNameAreRefusedUnfetched) {
  struct Case {
    std::string key, program;
    bool accepted;
  } cases[] = {
      {std::string(50, 'k'), "q", false},
      {"", "q", false},
      {"../club/savejy.asp?soft=T&title=x#", "q", false},
      {"qo/ri", "q", false},
      {"qori", "../TaveloMain", false},
      {"qori", "sub\\q", false},
      {"qori", "..", false},
      {"qori", "sub/q.exe", false},
      {"qori", "qori.exe", true},
      {"Qori_Player-2", "q", true},
      {std::string(49, 'k'), "q", true},
  };
  ServeList("DIGEST LOCAL_PATHqori/prog SERVER/program.zip MAIN_EXE\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key + " " + c.program);
    host_ = RecordingHost();
    EXPECT_EQ(StartCompanion(CompanionProgram{"Q", c.key, c.program}, places_, host_), c.accepted);
    EXPECT_EQ(host_.urls.empty(), !c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(host_.messages, std::vector<std::string>{Gbk("不能运行此功能,请下载最新版本")});
      EXPECT_TRUE(host_.started.empty());
      // The refused come first: no key was made for any of them.
      struct stat info;
      EXPECT_NE(stat(places_.registryDirectory.c_str(), &info), 0);
    }
  }
}

// A folder or file planted as a link inside the two folders would carry the
// download elsewhere: the install is refused and nothing is fetched there.
TEST_F(CompanionInstallTest, SymbolicLinksInThePathAreRefusedNotFollowed) {
  mkdir(dir_.File("elsewhere").c_str(), 0755);
  struct Case {
    const char* link;
    const char* target;
  } cases[] = {
      {"app/qori", "elsewhere"},
      {"app/qori/prog", "elsewhere/prog"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.link);
    mkdir(dir_.File("app/qori").c_str(), 0755);
    if (std::string(c.link) == "app/qori") rmdir(dir_.File("app/qori").c_str());
    ASSERT_EQ(symlink(dir_.File(c.target).c_str(), dir_.File(c.link).c_str()), 0);
    ServeList("DIGEST LOCAL_PATHqori/prog SERVER/program.zip MAIN_EXE\r\n");
    host_ = RecordingHost();
    EXPECT_EQ(Install(), InstallOutcome::kFailed);
    EXPECT_FALSE(FileExists(dir_.File("elsewhere/prog")));
    EXPECT_TRUE(host_.started.empty());
    EXPECT_EQ(host_.urls.size(), 1u);  // the description alone
    unlink(dir_.File(c.link).c_str());
  }
}

// The reproduction of a page writing its own description: whatever it says,
// a text fetch is never run and the program's files are not touched.
TEST_F(CompanionInstallTest, ADescriptionCannotRunFetchedTextOrReplaceProgramFiles) {
  for (const char* list : {"gethtml LOCAL_PATHpwn/run.sh SERVER/readme.txt MAIN_EXE\r\n",
                           "DIGEST LOCAL_PATHqori/prog SERVER/program.zip MAIN_EXE\r\n"
                           "gethtml LOCAL_PATHdata/main.htm SERVER/readme.txt\r\n"}) {
    SCOPED_TRACE(list);
    ServeList(list);
    host_ = RecordingHost();
    EXPECT_EQ(Install(), InstallOutcome::kFailed);
    EXPECT_TRUE(host_.started.empty());
    EXPECT_EQ(host_.urls.size(), 1u);
    EXPECT_FALSE(FileExists(dir_.File("app/pwn/run.sh")));
    EXPECT_FALSE(FileExists(dir_.File("app/data/main.htm")));
    EXPECT_EQ(RegistryValue("path"), "<no key>");
  }
}

}  // namespace
}  // namespace tavelo
