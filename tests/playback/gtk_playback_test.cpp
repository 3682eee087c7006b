// The separate play and live-show windows on the real GTK/WebKitGTK port,
// against pages served on the loopback interface. Runs under xvfb-run.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <httplib.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "gtk/gtk_keys.h"
#include "port/gtk/gtk_port.h"
#include "playback/live_show_window.h"
#include "playback/separate_play_window.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using testing::SendKey;

bool RunUntil(const std::function<bool()>& done, int seconds = 20) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (!g_main_context_iteration(nullptr, FALSE)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void Pump(int milliseconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  RunUntil([&] { return std::chrono::steady_clock::now() > end; });
}

// Relaunches would start this test program again: they are only recorded.
class RecordingPlatform : public gtkport::GtkPlatform {
 public:
  bool StartProcess(const std::vector<std::string>& argv) override {
    started.push_back(argv);
    return true;
  }
  std::vector<std::vector<std::string>> started;
};

class GtkPlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
      std::string query;
      for (const auto& [key, value] : req.params) query += key + "=" + value + ";";
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requested_.push_back(req.path + "?" + query);
      }
      std::string body = "<html><body>" + req.path;
      if (req.path == "/live.htm" || req.path == "/site.htm") body += "<script>window.open('pop.htm')</script>";
      res.set_content(body + "</body></html>", "text/html");
    });
    int port = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    base_ = "http://127.0.0.1:" + std::to_string(port) + "/";
  }

  void TearDown() override {
    platform_.CloseAll();
    Pump(100);
    server_.stop();
    thread_.join();
  }

  std::string Request(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& r : requested_) {
      if (r.rfind(path + "?", 0) == 0) return r;
    }
    return "";
  }

  static gtkport::GtkBrowserView& View(CWebBrowser2& browser) {
    return dynamic_cast<gtkport::GtkBrowserView&>(*browser.GetApplication());
  }

  RecordingPlatform platform_;
  WindowSet windows_{platform_};
  httplib::Server server_;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requested_;
  std::string base_;
};

TEST_F(GtkPlaybackTest, TvPlayRequestsClientSizeAndSwallowsPopupsWithoutGrowing) {
  auto& window = windows_.Open<SeparatePlayWindow>("cmd=TVPLAY|" + base_ + "live.htm|CCTV|NONEWWINDOW|950|560", "");
  Size client = window.Host().ClientSize();
  ASSERT_TRUE(RunUntil([&] { return !Request("/live.htm").empty(); })) << "the player was not opened";
  EXPECT_EQ(Request("/live.htm"),
            "/live.htm?h=" + std::to_string(client.height) + ";w=" + std::to_string(client.width) + ";");
  // The page's pop-up loads in the hidden view, not in a window of its own.
  ASSERT_TRUE(RunUntil([&] { return !Request("/pop.htm").empty(); })) << "the pop-up was not loaded";
  Pump(800);
  EXPECT_EQ(platform_.WindowCount(), 1);
  EXPECT_EQ(windows_.Count(), 1);
  // The hidden view must not make the window creep larger.
  int width = 0, height = 0;
  gtk_window_get_size(GTK_WINDOW(dynamic_cast<gtkport::GtkWindowHost&>(window.Host()).Window()), &width, &height);
  EXPECT_LE(width, 950);
  EXPECT_LE(height, 560);
}

TEST_F(GtkPlaybackTest, LiveShowRelaunchesPopupRoomsAndPlayMvLinks) {
  auto& window = windows_.Open<LiveShowWindow>(std::vector<LiveSite>{{"A", base_ + "site.htm"}});
  // The site's own pop-up, opened without a click, starts nothing.
  ASSERT_TRUE(RunUntil([&] { return !Request("/site.htm").empty(); }));
  Pump(500);
  EXPECT_TRUE(platform_.started.empty());
  // A click (a key pressed in the view) lets the page open a room.
  GtkWidget* view = GTK_WIDGET(View(window.Browser()).WebView());
  SendKey(view, GDK_KEY_Shift_L);
  View(window.Browser()).RunScript("window.open('pop.htm')");
  ASSERT_TRUE(RunUntil([&] { return !platform_.started.empty(); })) << "the pop-up was not handed on";
  ASSERT_EQ(platform_.started[0].size(), 2u);
  EXPECT_EQ(platform_.started[0][1], "runPlay:cmd=PLAYMV|" + base_ + "pop.htm|" + Gbk("视频直播") + "|");
  Pump(300);
  EXPECT_TRUE(Request("/pop.htm").empty()) << "the hidden view loaded the room";

  SendKey(view, GDK_KEY_Shift_L);
  View(window.Browser()).RunScript("location.href = 'room.htm?cmd=PLAYMV|" + base_ + "r|T|'");
  ASSERT_TRUE(RunUntil([&] { return platform_.started.size() == 2; }));
  EXPECT_EQ(platform_.started[1][1], "runPlay:?cmd=PLAYMV|" + base_ + "r|T|");
  Pump(300);
  EXPECT_TRUE(Request("/room.htm").empty());
  EXPECT_EQ(platform_.WindowCount(), 1);
}

}  // namespace
}  // namespace tavelo
