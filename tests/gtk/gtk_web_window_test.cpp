// The web window on the real GTK/WebKitGTK port, against pages served on the
// loopback interface. Runs under xvfb-run (see CMakeLists.txt).

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "gtk_pump.h"
#include "gtk_keys.h"
#include "port/gtk/gtk_port.h"
#include "text/encoding.h"
#include "windows/web_window.h"

namespace tavelo {
namespace {

using testing::Pump;
using testing::RunUntil;

class GtkWebWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A GBK page without a charset declaration, as the portal's sites serve them.
    page_ = Gbk(
        "<html><body><h1 id=h>中文页面 视频播放器</h1>"
        "<a id=cmd href=\"x.htm?cmd=TAVELO|INFO|标题|\">cmd</a> "
        "<a id=pop target=_blank href=\"b.htm\">popup</a></body></html>");
    server_.Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requested_.push_back(req.path);
      }
      res.set_content(page_, "text/html");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    base_ = "http://127.0.0.1:" + std::to_string(port_) + "/";

    context_.run_page_command = [this](const PageNavigation& navigation) {
      const std::string& address = navigation.address;
      if (address.find("cmd=") == std::string::npos) return false;
      commands_.push_back(address);
      return true;
    };
  }

  void TearDown() override {
    // Close whatever the test left open, pop-ups included.
    platform_.CloseAll();
    EXPECT_TRUE(RunUntil([this] { return windows_.Count() == 0; }, 5));
    Pump(50);
    server_.stop();
    thread_.join();
  }

  bool Requested(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::find(requested_.begin(), requested_.end(), path) != requested_.end();
  }

  WebWindow& Open(const std::string& page) { return OpenWebWindow(windows_, context_, base_ + page); }

  static gtkport::GtkBrowserView& View(WebWindow& w) {
    return dynamic_cast<gtkport::GtkBrowserView&>(*w.Browser().GetApplication());
  }

  gtkport::GtkPlatform platform_;
  WindowSet windows_{platform_, OpenPopupWebWindow};
  PageHookup context_;
  std::vector<std::string> commands_;
  httplib::Server server_;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requested_;
  std::string page_;
  std::string base_;
  int port_ = 0;
};

TEST_F(GtkWebWindowTest, GbkPageLoadsAndRendersChinese) {
  WebWindow& window = Open("gbk.htm");
  std::string completed;
  window.Browser().on_document_complete = [&](const std::string& a) { completed = a; };
  ASSERT_TRUE(RunUntil([&] { return !completed.empty(); })) << "page did not finish loading";
  EXPECT_EQ(completed, base_ + "gbk.htm");

  std::string body;
  bool got = false;
  window.Browser().GetDocument([&](std::string html) {
    body = html;
    got = true;
  });
  ASSERT_TRUE(RunUntil([&] { return got; }));
  EXPECT_NE(body.find(Gbk("中文页面 视频播放器")), std::string::npos);

  // A picture of the page, kept in the test's folder for looking at, and
  // checked for ink where the heading is.
  cairo_surface_t* shot = nullptr;
  webkit_web_view_get_snapshot(
      View(window).WebView(), WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE, nullptr,
      +[](GObject* source, GAsyncResult* result, gpointer data) {
        *static_cast<cairo_surface_t**>(data) = webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
      },
      &shot);
  ASSERT_TRUE(RunUntil([&] { return shot != nullptr; }));
  cairo_surface_write_to_png(shot, "gtk_gbk_page.png");
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 300, 60);
  cairo_t* cr = cairo_create(image);
  cairo_set_source_surface(cr, shot, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(image);
  int dark = 0;
  const unsigned char* data = cairo_image_surface_get_data(image);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 300; ++x)
      if ((*reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(image) + x * 4) & 0xFF) < 80) ++dark;
  cairo_surface_destroy(image);
  cairo_surface_destroy(shot);
  EXPECT_GT(dark, 300) << "the heading left no ink";
}

TEST_F(GtkWebWindowTest, CommandLinkReachesHandlerAndIsCancelled) {
  WebWindow& window = Open("gbk.htm");
  bool loaded = false;
  window.Browser().on_document_complete = [&](const std::string&) { loaded = true; };
  ASSERT_TRUE(RunUntil([&] { return loaded; }));
  View(window).RunScript("document.getElementById('cmd').click()");
  ASSERT_TRUE(RunUntil([&] { return !commands_.empty(); }));
  EXPECT_EQ(commands_[0], base_ + "x.htm?cmd=TAVELO|INFO|" + Gbk("标题") + "|");
  Pump(500);
  EXPECT_FALSE(Requested("/x.htm"));
}

TEST_F(GtkWebWindowTest, BlankTargetLinkOpensSecondWebWindow) {
  WebWindow& window = Open("gbk.htm");
  bool loaded = false;
  window.Browser().on_document_complete = [&](const std::string&) { loaded = true; };
  ASSERT_TRUE(RunUntil([&] { return loaded; }));
  EXPECT_EQ(windows_.Count(), 1);
  View(window).RunScript("document.getElementById('pop').click()");
  ASSERT_TRUE(RunUntil([&] { return windows_.Count() == 2; })) << "no second web window";
  ASSERT_TRUE(RunUntil([&] { return Requested("/b.htm"); })) << "the pop-up did not load in it";
  EXPECT_EQ(platform_.WindowCount(), 2);
  // Closing the first leaves the pop-up's window on its own.
  window.Host().Close();
  EXPECT_EQ(windows_.Count(), 1);
  ASSERT_TRUE(RunUntil([&] { return platform_.WindowCount() == 1; }));
}

int RequestCount(const std::vector<std::string>& requested, const std::string& path) {
  return static_cast<int>(std::count(requested.begin(), requested.end(), path));
}

// The page reports every key it sees to the server; the browsing keys must
// be taken by the window before the page sees them.
TEST_F(GtkWebWindowTest, BrowsingKeysReachTheWindowAndNotThePage) {
  page_ =
      "<html><body><p>keys</p><script>document.addEventListener('keydown', function(e) {"
      " new Image().src = '/key-' + e.key; });</script></body></html>";
  WebWindow& window = Open("a.htm");
  std::string completed;
  window.Browser().on_document_complete = [&](const std::string& a) { completed = a; };
  ASSERT_TRUE(RunUntil([&] { return completed == base_ + "a.htm"; }));
  window.Open(base_ + "b.htm");
  ASSERT_TRUE(RunUntil([&] { return completed == base_ + "b.htm"; }));
  GtkWidget* toplevel = gtk_widget_get_toplevel(GTK_WIDGET(View(window).WebView()));
  gtk_widget_grab_focus(GTK_WIDGET(View(window).WebView()));
  const auto requested = [this] {
    std::lock_guard<std::mutex> lock(mutex_);
    return requested_;
  };
  // A plain key reaches the page: it is listening.
  testing::SendKey(toplevel, GDK_KEY_x, true);
  ASSERT_TRUE(RunUntil([&] { return Requested("/key-x"); }, 10)) << "the page does not see keys";

  completed.clear();
  EXPECT_TRUE(testing::SendKey(toplevel, GDK_KEY_F5, true));
  ASSERT_TRUE(RunUntil([&] { return completed == base_ + "b.htm"; })) << "F5 did not reload";
  EXPECT_EQ(RequestCount(requested(), "/b.htm"), 2);
  EXPECT_TRUE(testing::SendKey(toplevel, GDK_KEY_Left, true, GDK_MOD1_MASK));
  ASSERT_TRUE(RunUntil([&] { return completed == base_ + "a.htm"; })) << "Alt+Left did not go back";
  EXPECT_TRUE(testing::SendKey(toplevel, GDK_KEY_Right, true, GDK_MOD1_MASK));
  ASSERT_TRUE(RunUntil([&] { return completed == base_ + "b.htm"; })) << "Alt+Right did not go forward";

  // Keys arrive in order: once the page has seen a later plain key, it
  // would have seen the shortcuts too.
  testing::SendKey(toplevel, GDK_KEY_y, true);
  ASSERT_TRUE(RunUntil([&] { return Requested("/key-y"); }, 10));
  for (const char* key : {"/key-F5", "/key-ArrowLeft", "/key-ArrowRight", "/key-Alt"}) {
    EXPECT_FALSE(Requested(key)) << key;
  }

  EXPECT_TRUE(testing::SendKey(toplevel, GDK_KEY_w, true, GDK_CONTROL_MASK));
  EXPECT_TRUE(RunUntil([&] { return windows_.Count() == 0; }, 5)) << "Ctrl+W did not close the window";
}

// A loopback port nobody listens on (taken from the system, then let go).
int UnusedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  close(fd);
  return ntohs(address.sin_port);
}

std::string BodyOf(WebWindow& window) {
  std::string body;
  bool got = false;
  window.Browser().GetDocument([&](std::string html) {
    body = std::move(html);
    got = true;
  });
  RunUntil([&] { return got; });
  return body;
}

TEST_F(GtkWebWindowTest, UnreachableServerGetsTheProgramsOwnPageWithARetryThatWorks) {
  const int port = UnusedPort();
  const std::string address = "http://127.0.0.1:" + std::to_string(port) + "/down.htm";
  WebWindow& window = OpenWebWindow(windows_, context_, address);
  ASSERT_TRUE(RunUntil([&] { return BodyOf(window).find(Gbk("网页无法打开")) != std::string::npos; }))
      << BodyOf(window);
  std::string body = BodyOf(window);
  EXPECT_NE(body.find(Gbk("服务器拒绝了连接")), std::string::npos) << body;
  EXPECT_NE(body.find(address), std::string::npos) << body;

  // The server comes up; the retry link loads the page.
  httplib::Server late;
  late.Get("/down.htm", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<html><body>back again</body></html>", "text/html");
  });
  ASSERT_TRUE(late.bind_to_port("127.0.0.1", port));
  std::thread serving([&] { late.listen_after_bind(); });
  View(window).RunScript("document.getElementsByTagName('a')[0].click()");
  EXPECT_TRUE(RunUntil([&] { return BodyOf(window).find("back again") != std::string::npos; })) << BodyOf(window);
  late.stop();
  serving.join();
}

TEST(LoadFailureTest, StoppedLoadsAreNoFailuresAndNetworkErrorsAreNamed) {
  const struct {
    GQuark domain;
    int code;
    std::optional<port::LoadFailure> failure;
  } cases[] = {
      {WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED, std::nullopt},
      {G_IO_ERROR, G_IO_ERROR_CANCELLED, std::nullopt},
      {WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE, std::nullopt},
      {WEBKIT_PLUGIN_ERROR, WEBKIT_PLUGIN_ERROR_WILL_HANDLE_LOAD, std::nullopt},
      {G_RESOLVER_ERROR, G_RESOLVER_ERROR_NOT_FOUND, port::LoadFailure::kHostNotFound},
      {G_RESOLVER_ERROR, G_RESOLVER_ERROR_TEMPORARY_FAILURE, port::LoadFailure::kHostNotFound},
      {G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED, port::LoadFailure::kConnectionRefused},
      {G_IO_ERROR, G_IO_ERROR_TIMED_OUT, port::LoadFailure::kTimedOut},
      {WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST, port::LoadFailure::kFileNotFound},
      {G_IO_ERROR, G_IO_ERROR_NOT_FOUND, port::LoadFailure::kFileNotFound},
      {WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_TRANSPORT, port::LoadFailure::kOther},
      {WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_USE_RESTRICTED_PORT, port::LoadFailure::kOther},
  };
  for (const auto& c : cases) {
    GError* error = g_error_new_literal(c.domain, c.code, "x");
    EXPECT_EQ(gtkport::LoadFailureOf(error), c.failure) << g_quark_to_string(c.domain) << " " << c.code;
    g_error_free(error);
  }
}

}  // namespace
}  // namespace tavelo
