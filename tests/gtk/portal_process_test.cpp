// TaveloMain as a user starts it: a copy of the program in a folder of its
// own whose data/main.htm points at a loopback server, under the test's X
// display. The server sees what the portal asks for. The developer's
// tavelo-webwindow runs against the same server.

#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

#include "support/temp_dir.h"
#include "text/encoding.h"

extern char** environ;

namespace tavelo {
namespace {

class PortalProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Get(R"(/.*)", [this](const httplib::Request& request, httplib::Response& response) {
      {
        std::lock_guard lock(mutex_);
        std::string target = request.path;
        if (!request.params.empty()) {
          target += "?";
          for (const auto& [key, value] : request.params) target += key + "=" + value + ";";
        }
        requests_.push_back(target);
      }
      response.set_content(Page(request.path), "text/html; charset=gb2312");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    base_ = "http://127.0.0.1:" + std::to_string(port_);

    std::filesystem::copy_file(TAVELO_MAIN_PATH, dir_.File("TaveloMain"));
    std::filesystem::create_directory(dir_.File("data"));
    testing::WriteFile(dir_.File("data/main.htm"),
                       "[MAIN_URL2]\n" + base_ + "/tj/index.asp\n"
                       "[S_URL]\n" + base_ + "/so/so.asp?k=***KEY***\n"
                       "[VIDEO_NEW_DATA_URL]\n" + base_ + "/update/videonew.dat\n"
                       "[P2P_NEW_DATA_URL]\n" + base_ + "/update/p2pnew.zip\n");
  }

  void TearDown() override {
    if (child_ > 0) {
      kill(child_, SIGTERM);
      waitpid(child_, nullptr, 0);
    }
    server_.stop();
    thread_.join();
  }

  // The recommended page sends the browser to a search command at once, as
  // a click on an area link would.
  std::string Page(const std::string& path) {
    if (path == "/tj/index.asp") {
      return Gbk("<html><head><meta charset=gb2312></head><body>推荐"
                 "<script>location.href='/t.asp?cmd=TAVELO|AREA|香港|';</script></body></html>");
    }
    // A command, then, if the page is still there half a second later, a
    // plain page.
    if (path == "/command.htm") {
      return "<html><body><script>location.href='/t.asp?cmd=TAVELO|AREA|x|';"
             "setTimeout(function() { location.href='/after.htm'; }, 500);</script></body></html>";
    }
    return "<html><body>ok</body></html>";
  }

  void Start(const std::string& commandWord) { StartProgram(dir_.File("TaveloMain"), commandWord); }

  void StartProgram(const std::string& program, const std::string& argument) {
    std::vector<std::string> environment = {"HOME=" + dir_.File("home"),
                                            "XDG_CONFIG_HOME=" + dir_.File("home/config"),
                                            "XDG_DATA_HOME=" + dir_.File("home/share"),
                                            "WEBKIT_DISABLE_COMPOSITING_MODE=1"};
    for (char** variable = environ; *variable; ++variable) {
      std::string_view entry = *variable;
      if (!entry.starts_with("HOME=") && !entry.starts_with("XDG_")) environment.emplace_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string word = argument;
    char* argv[] = {const_cast<char*>(program.c_str()), word.data(), nullptr};
    ASSERT_EQ(posix_spawn(&child_, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
  }

  // Waits up to 60 s for a request that starts with `prefix`; returns it.
  std::string WaitForRequest(const std::string& prefix) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
      {
        std::lock_guard lock(mutex_);
        for (const std::string& request : requests_) {
          if (request.starts_with(prefix)) return request;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ADD_FAILURE() << "no request for " << prefix;
    return "";
  }

  testing::TempDir dir_;
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::string base_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
  pid_t child_ = 0;
};

TEST_F(PortalProcessTest, PortalLoadsTheRecommendedPageUpdatesAndSearchesFromAPageCommand) {
  Start("run");
  EXPECT_EQ(WaitForRequest("/tj/index.asp"), "/tj/index.asp?v=108;");
  // The page's command opens the search window on the GBK keyword.
  EXPECT_EQ(WaitForRequest("/so/so.asp"), "/so/so.asp?k=" + Gbk("香港") + ";");
  EXPECT_NE(WaitForRequest("/update/videonew.dat"), "");
  EXPECT_NE(WaitForRequest("/update/p2pnew.zip"), "");
  // The command address itself is never fetched.
  std::lock_guard lock(mutex_);
  for (const std::string& request : requests_) EXPECT_FALSE(request.starts_with("/t.asp")) << request;
}

TEST_F(PortalProcessTest, RunPlayOpensTheSeparatePlayWindowWithItsSize) {
  Start("runPlay:cmd=TVPLAY|" + base_ + "/tv/play.asp|TV|NONEWWINDOW|800|600|");
  std::string request = WaitForRequest("/tv/play.asp");
  EXPECT_NE(request.find("w="), std::string::npos) << request;
  EXPECT_NE(request.find("h="), std::string::npos) << request;
}

TEST_F(PortalProcessTest, DeveloperWebWindowNeverFetchesACommandAddress) {
  StartProgram(TAVELO_WEBWINDOW_PATH, base_ + "/command.htm");
  EXPECT_NE(WaitForRequest("/after.htm"), "");
  std::lock_guard lock(mutex_);
  for (const std::string& request : requests_) EXPECT_FALSE(request.starts_with("/t.asp")) << request;
}

}  // namespace
}  // namespace tavelo
