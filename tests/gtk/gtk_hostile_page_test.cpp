// A hostile page on the real port: it loops on commands, asks to play local
// files and to install a companion whose key reaches into the setup host. The
// portal's rules hold against WebKit's own account of clicks and pages.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <httplib.h>

#include <mutex>
#include <thread>

#include "fakes/recording_target.h"
#include "gtk_keys.h"
#include "gtk_pump.h"
#include "port/gtk/gtk_port.h"
#include "support/temp_dir.h"
#include "windows/web_window.h"

namespace tavelo {
namespace {

using testing::Pump;
using testing::RunUntil;

// The page tries every command at once, ten times over, as soon as it loads
// and again whenever it is clicked.
constexpr const char* kHostilePage =
    "<html><body onclick='attack()'><script>"
    "function attack() {"
    "  for (let i = 0; i < 10; ++i) {"
    "    location.href = 'x.htm?cmd=TVPLAY|file:///etc/passwd|t||950|560|';"
    "    location.href = 'x.htm?cmd=quillo_cmd|exe|N**TAB**../club/savejy.asp?title=x#**TAB**prog|';"
    "    location.href = 'x.htm?cmd=MVPLAY|';"
    "  }"
    "}"
    "attack();"
    "</script>hostile</body></html>";

class GtkHostilePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requested_.push_back(req.path);
      }
      res.set_content(kHostilePage, "text/html");
    });
    const int port = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    host_ = "127.0.0.1:" + std::to_string(port);
  }
  void TearDown() override {
    platform_.CloseAll();
    RunUntil([this] { return windows_.Count() == 0; }, 5);
    Pump(50);
    server_.stop();
    thread_.join();
  }

  // Opens the page with the template naming `catalogue`, and clicks it once
  // it has loaded.
  void OpenAndClick(const std::string& catalogue) {
    testing::WriteFile(dir_.File("main.htm"), "[CATALOGUE_SERVER]\nhttp://" + catalogue + "\n");
    WebWindow& window = OpenWebWindow(windows_, CommandHookup(&target_, dir_.File("main.htm")),
                                      "http://" + host_ + "/page.htm");
    bool loaded = false;
    window.Browser().on_document_complete = [&](const std::string&) { loaded = true; };
    ASSERT_TRUE(RunUntil([&] { return loaded; }));
    Pump(300);
    auto& view = dynamic_cast<gtkport::GtkBrowserView&>(*window.Browser().GetApplication());
    testing::SendKey(GTK_WIDGET(view.WebView()), GDK_KEY_Shift_L);
    view.RunScript("attack()");
    Pump(800);
  }
  int Starts() const {
    int starts = 0;
    for (const std::string& call : target_.calls) {
      starts += call.rfind("start", 0) == 0 || call.rfind("companion", 0) == 0;
    }
    return starts;
  }
  bool CommandFetched() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::find(requested_.begin(), requested_.end(), "/x.htm") != requested_.end();
  }

  testing::TempDir dir_;
  gtkport::GtkPlatform platform_;
  WindowSet windows_{platform_, OpenPopupWebWindow};
  fakes::RecordingTarget target_;
  httplib::Server server_;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requested_;
  std::string host_;
};

TEST_F(GtkHostilePageTest, APageOfAnUnknownServerCommandsNothing) {
  OpenAndClick("127.0.0.9:8790");
  EXPECT_TRUE(target_.calls.empty());
  EXPECT_FALSE(CommandFetched());
}

TEST_F(GtkHostilePageTest, OnATrustedServerOneClickStartsOneProcess) {
  OpenAndClick(host_);
  EXPECT_EQ(Starts(), 1);
  EXPECT_FALSE(CommandFetched());
}

}  // namespace
}  // namespace tavelo
