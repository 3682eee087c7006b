#include "demo_server.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "base/file_digest.h"
#include "catalogue_tool.h"
#include "running_demo.h"
#include "support/temp_dir.h"
#include "text/encoding.h"
#include "text/url_text.h"

extern char** environ;

namespace tavelo::demo {
namespace {

// One server for the whole suite.
class DemoServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo_ = new RunningDemo;
    ASSERT_EQ(demo_->Error(), "");
    port_ = demo_->Port();
    site_ = &demo_->Site();
  }
  static void TearDownTestSuite() { delete demo_; }

  static httplib::Result Get(Role role, const std::string& target) { return demo_->Get(role, target); }

  static inline RunningDemo* demo_ = nullptr;
  static inline const DemoSite* site_ = nullptr;
  static inline int port_ = 0;
};

TEST_F(DemoServerTest, PagesAreGbkWithTheirLabels) {
  auto result = Get(Role::kCatalogue, "/tj/index.asp?v=108");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=gb2312");
  EXPECT_NE(result->body.find("charset=gb2312"), std::string::npos);
  EXPECT_NE(result->body.find(Gbk("推荐视频")), std::string::npos);
  // Addresses inside carry the port the server really runs on.
  EXPECT_NE(result->body.find("http://127.0.0.2:" + std::to_string(port_) + "/v_show/id_"),
            std::string::npos);
}

TEST_F(DemoServerTest, SearchFindsAVideoByAPercentEncodedGbkKeyword) {
  // As the portal sends it: the GBK bytes of the keyword, each escaped.
  std::string keyword = UrlEncode(Gbk("青石巷"));
  ASSERT_EQ(keyword, "%C7%E0%CA%AF%CF%EF");
  auto result = Get(Role::kCatalogue, "/so/so.asp?k=" + keyword);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  std::string page = GbkToUtf8(result->body);
  EXPECT_NE(page.find("找到 1 个结果"), std::string::npos);
  EXPECT_NE(page.find("cmd=TAVELO|INFO|青石巷的春天**TAB**"), std::string::npos);
}

TEST_F(DemoServerTest, EachHostServesItsOwnRole) {
  struct Case {
    Role role;
    const char* target;
    int status;
  } cases[] = {
      {Role::kCatalogue, "/list/dy.htm", 200},     {Role::kVideo, "/list/dy.htm", 404},
      {Role::kVideo, "/v_show/id_dy01.html", 200}, {Role::kCatalogue, "/v_show/id_dy01.html", 404},
      {Role::kResource1, "/bt/bt01.html", 200},    {Role::kResource2, "/bt/bt01.html", 404},
      {Role::kResource2, "/bt/bt06.html", 200},    {Role::kSetup, "/", 200},
      {Role::kLive, "/site3/show", 200},           {Role::kLive, "/tj/index.asp", 404},
  };
  for (const Case& c : cases) {
    auto result = Get(c.role, c.target);
    ASSERT_TRUE(result) << RoleName(c.role) << c.target;
    EXPECT_EQ(result->status, c.status) << RoleName(c.role) << c.target;
  }
}

TEST_F(DemoServerTest, TraversalAndGarbageNeverReachFiles) {
  for (const char* target : {"/../../../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "/..%2fmain.htm",
                             "/%00", "/so/so.asp?k=%ZZ%", "/player/play.htm?name=%FF%FE&url"}) {
    auto result = Get(Role::kVideo, target);
    ASSERT_TRUE(result) << target;
    EXPECT_EQ(result->body.find("root:x:0"), std::string::npos) << target;
  }
  // The server is still there afterwards.
  auto result = Get(Role::kVideo, "/player/clip.webm");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->get_header_value("Content-Type"), "video/webm");
}

// The clip loops in the live-TV and live-show windows only when every seek
// gets exactly the bytes it asked for, marked as a part.
TEST_F(DemoServerTest, RangeRequestsGetExactlyTheirBytes) {
  auto whole = Get(Role::kVideo, "/player/clip.webm");
  ASSERT_TRUE(whole);
  const std::string clip = whole->body;
  const std::string size = std::to_string(clip.size());
  ASSERT_GT(clip.size(), 200u);
  EXPECT_EQ(whole->status, 200);
  EXPECT_EQ(whole->get_header_value("Accept-Ranges"), "bytes");
  EXPECT_FALSE(whole->has_header("Content-Range"));

  struct Case {
    std::string range;
    int status;
    size_t offset, length;
    std::string contentRange;
  } cases[] = {
      {"bytes=0-99", 206, 0, 100, "bytes 0-99/" + size},
      {"bytes=100-", 206, 100, clip.size() - 100, "bytes 100-" + std::to_string(clip.size() - 1) + "/" + size},
      {"bytes=-50", 206, clip.size() - 50, 50,
       "bytes " + std::to_string(clip.size() - 50) + "-" + std::to_string(clip.size() - 1) + "/" + size},
      {"bytes=" + size + "-", 416, 0, 0, "bytes */" + size},
      {"bytes=0-1,5-6", 200, 0, clip.size(), ""},
  };
  for (const Case& c : cases) {
    auto result = demo_->Get(Role::kVideo, "/player/clip.webm", {{"Range", c.range}});
    ASSERT_TRUE(result) << c.range;
    EXPECT_EQ(result->status, c.status) << c.range;
    EXPECT_EQ(result->body, clip.substr(c.offset, c.length)) << c.range;
    EXPECT_EQ(result->get_header_value("Content-Range"), c.contentRange) << c.range;
  }
}

TEST_F(DemoServerTest, EveryRequestIsLogged) {
  ASSERT_TRUE(Get(Role::kLive, "/room/2.htm?from=test"));
  // The logger runs after the reply is sent; give it a moment.
  for (int i = 0; i < 100 && demo_->LogText().find("/room/2.htm") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_NE(demo_->LogText().find("live 127.0.0.6 GET /room/2.htm?from=test 200"), std::string::npos);
}

TEST_F(DemoServerTest, UpdatePackagesLoadWithTheCatalogueTool) {
  // A program folder whose main.htm points at this server.
  testing::TempDir dir;
  mkdir(dir.File("data").c_str(), 0755);
  testing::WriteFile(dir.File("data/main.htm"), site_->MainTemplate());
  std::ostringstream out, err;
  ASSERT_EQ(RunCatalogueTool({"update", dir.Path()}, out, err), 0) << err.str();
  // The newest year (2011) has twenty videos and five resources.
  EXPECT_EQ(out.str(), "videonew 20\np2pnew 5\n");
  EXPECT_TRUE(testing::FileExists(dir.File("data/videonew.ini")));
  EXPECT_TRUE(testing::FileExists(dir.File("data/p2pnew.ini")));
  auto zip = Get(Role::kCatalogue, "/update/p2pnew.zip");
  ASSERT_TRUE(zip);
  EXPECT_EQ(zip->body.substr(0, 4), "PK\x03\x04");
}

TEST_F(DemoServerTest, InstallDescriptionDigestsMatchItsPackages) {
  auto description = Get(Role::kSetup, "/setup/quillo/getinfo_quillo.asp?v=2&id=quillo&name=x");
  ASSERT_TRUE(description);
  ASSERT_NE(description->body.find("END_QORISOFT_INFO"), std::string::npos);
  std::string list = description->body.substr(description->body.find("[FILE_LIST_BEGIN]"));
  list = list.substr(0, list.find("[FILE_LIST_END]"));
  std::istringstream lines(list);
  std::string line;
  int packages = 0;
  testing::TempDir dir;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string digest, localPath, address;
    if (!(fields >> digest >> localPath >> address) || digest == "gethtml") continue;
    const std::string setupHost = "http://" + RoleAddress(Role::kSetup, port_);
    ASSERT_TRUE(address.starts_with(setupHost)) << address;
    auto package = Get(Role::kSetup, address.substr(setupHost.size()));
    ASSERT_TRUE(package);
    ASSERT_EQ(package->status, 200) << address;
    std::string zip = dir.File("package" + std::to_string(++packages) + ".zip");
    testing::WriteFile(zip, package->body);
    std::ostringstream out, err;
    ASSERT_EQ(RunCatalogueTool({"unzip", zip}, out, err), 0) << err.str();
    std::string extracted = out.str().substr(0, out.str().find('\n'));
    std::string actual;
    ASSERT_EQ(DigestFileHex(extracted, actual), 0);
    EXPECT_EQ(actual, digest) << address;
  }
  EXPECT_EQ(packages, 1);
  EXPECT_NE(description->body.find("MAIN_EXE"), std::string::npos);
  // A product the server has no description for.
  auto missing = Get(Role::kSetup, "/setup/other/getinfo_other.asp?v=2&id=other&name=x");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->body.find("END_QORISOFT_INFO"), std::string::npos);
}

// tavelo-catalogue install, run as its own process against this server, with
// the registry store and the programs folder in a scratch folder.
TEST_F(DemoServerTest, TheCompanionInstallsStartsAndStartsAgainWithoutDownloading) {
  testing::TempDir dir;
  mkdir(dir.File("app").c_str(), 0755);
  mkdir(dir.File("app/data").c_str(), 0755);
  testing::WriteFile(dir.File("app/data/main.htm"), site_->MainTemplate());
  auto install = [&](const std::string& name, const std::string& key, std::string& out, std::string& err) {
    std::string command = "XDG_CONFIG_HOME='" + dir.File("config") + "' ProgramFiles='" + dir.File("programs") +
                          "' " + TAVELO_CATALOGUE_TOOL + " install '" + dir.File("app") + "' '" + name + "' " +
                          key + " " + key + ".exe >'" + dir.File("out") + "' 2>'" + dir.File("err") + "'";
    int status = std::system(command.c_str());
    out = testing::ReadFile(dir.File("out"));
    err = testing::ReadFile(dir.File("err"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  std::string out, err;
  ASSERT_EQ(install("奇洛播放器", "quillo", out, err), 0) << out << err;
  EXPECT_TRUE(out.starts_with("首次使用《奇洛播放器》,下载相关数据\n下载 奇洛播放器 相关文件\n0 / ")) << out;
  EXPECT_NE(out.find(" 字节(100%)\n"), std::string::npos) << out;
  EXPECT_EQ(err, "");
  struct stat info;
  ASSERT_EQ(stat(dir.File("app/quillo/quillo").c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IXUSR, 0u);
  EXPECT_TRUE(testing::FileExists(dir.File("app/quillo/readme.txt")));
  // The demo companion notes each start beside itself.
  for (int i = 0; i < 500 && !testing::FileExists(dir.File("app/quillo/started.log")); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(testing::FileExists(dir.File("app/quillo/started.log")));
  EXPECT_NE(testing::ReadFile(dir.File("config/tavelo/registry/HKEY_LOCAL_MACHINE.ini"))
                .find("path=sz:" + dir.File("app/quillo/")),
            std::string::npos);

  // Installed: started at once, nothing fetched.
  ASSERT_EQ(install("奇洛播放器", "quillo", out, err), 0) << err;
  EXPECT_EQ(out, "");

  // A product that is not installed from here, and one the server does not know.
  EXPECT_EQ(install("奇洛笔记", "qnote", out, err), 1);
  EXPECT_EQ(err, "奇洛笔记(演示)暂不提供自动安装,请到官网下载。\n");
  EXPECT_EQ(install("Other", "other", out, err), 1);
  EXPECT_EQ(err, "请到Qori软件官网去下载安装《Other》\r\nhttp://" + RoleAddress(Role::kSetup, port_) + "/\n");
}

TEST_F(DemoServerTest, ABusyPortIsRefused) {
  DemoServer second(nullptr);
  EXPECT_EQ(second.Bind(port_), -1);
}

// The program itself: started on a free port, it answers, logs to stderr and
// exits with status 0 on SIGTERM and SIGINT.
TEST(DemoServerProgramTest, StopsCleanlyOnSignals) {
  for (int signal : {SIGTERM, SIGINT}) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::string content = TAVELO_DEMO_CONTENT;
    const char* argv[] = {TAVELO_DEMO_SERVER, "--port", "0", "--content", content.c_str(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, TAVELO_DEMO_SERVER, &actions, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);

    // The first line names the port.
    std::string output;
    char chunk[256];
    while (output.find('\n') == std::string::npos) {
      ssize_t got = read(pipeFds[0], chunk, sizeof chunk);
      if (got <= 0) break;
      output.append(chunk, static_cast<size_t>(got));
    }
    size_t at = output.find("port ");
    ASSERT_NE(at, std::string::npos) << output;
    int port = std::stoi(output.substr(at + 5));

    httplib::Client client("127.0.0.5", port);
    auto result = client.Get("/soft/quillo.htm");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);

    ASSERT_EQ(kill(pid, signal), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status)) << "signal " << signal;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ssize_t got;
    while ((got = read(pipeFds[0], chunk, sizeof chunk)) > 0) output.append(chunk, static_cast<size_t>(got));
    close(pipeFds[0]);
    EXPECT_NE(output.find("setup 127.0.0.5 GET /soft/quillo.htm 200"), std::string::npos) << output;
  }
}

TEST(DemoServerProgramTest, BadArgumentsAreUsageErrors) {
  for (const char* arguments : {"--port=1", "--port 70000", "--port abc", "--port", "--bogus x"}) {
    std::string command = std::string(TAVELO_DEMO_SERVER) + " " + arguments + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2) << arguments;
  }
}

}  // namespace
}  // namespace tavelo::demo
