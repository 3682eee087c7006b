// Window placement under a real window manager, which draws a frame around
// each window. The program starts openbox on the display xvfb-run gives it
// before GTK looks at the display, and stops it at the end.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "gtk_keys.h"
#include "gtk_pump.h"
#include "playback/separate_play_window.h"
#include "port/gtk/gtk_port.h"

// Last: Xlib's macros (None, Status ...) would break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

extern char** environ;

namespace tavelo {
namespace {

using testing::Pump;
using testing::RunUntil;
using testing::SendKey;

// openbox as a child process; Start waits until it manages the display.
class WindowManager {
 public:
  ~WindowManager() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }

  bool Start() {
    char program[] = "openbox";
    char noSession[] = "--sm-disable";
    char* argv[] = {program, noSession, nullptr};
    if (posix_spawnp(&pid_, program, nullptr, nullptr, argv, environ) != 0) return false;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool running = false;
    while (!running && std::chrono::steady_clock::now() < deadline) {
      running = Announced(display);
      if (!running) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    XCloseDisplay(display);
    return running;
  }

 private:
  // A window manager names its check window on the root window.
  static bool Announced(Display* display) {
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type, &format,
                                    &count, &after, &data) == Success &&
                 count == 1;
    if (data != nullptr) XFree(data);
    return found;
  }

  pid_t pid_ = 0;
};

// Where the window manager shows the window, frame included.
Rect OuterRect(GtkWidget* window) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  if (gdkWindow == nullptr) return {};
  GdkRectangle r;
  gdk_window_get_frame_extents(gdkWindow, &r);
  return Rect::FromSize(r.x, r.y, r.width, r.height);
}

GtkWidget* WindowOf(port::WindowHost& host) { return dynamic_cast<gtkport::GtkWindowHost&>(host).Window(); }

Size ClientAllocation(port::WindowHost& host) {
  GtkWidget* fixed = dynamic_cast<gtkport::GtkWindowHost&>(host).Fixed();
  return {gtk_widget_get_allocated_width(fixed), gtk_widget_get_allocated_height(fixed)};
}

class WindowManagerTest : public ::testing::Test {
 protected:
  void TearDown() override {
    platform_.CloseAll();
    EXPECT_TRUE(RunUntil([&] { return platform_.WindowCount() == 0; }, 5));
  }

  // Waits until the window manager shows `host` at `outer`.
  bool ShownAt(port::WindowHost& host, Rect outer) {
    return RunUntil([&] { return gtk_widget_get_mapped(WindowOf(host)) && OuterRect(WindowOf(host)) == outer; }, 5);
  }

  gtkport::GtkPlatform platform_;
};

TEST_F(WindowManagerTest, PlacesByTheOuterRectangleAndKnowsTheClientSizeAtOnce) {
  port::WindowHost& host = platform_.CreateWindow({});
  const Rect outer = Rect::FromSize(100, 60, 640, 400);
  host.Place(outer);
  const Size atOnce = host.ClientSize();
  host.Show();
  ASSERT_TRUE(ShownAt(host, outer)) << "shown at " << OuterRect(WindowOf(host)).left << ","
                                    << OuterRect(WindowOf(host)).top << " " << OuterRect(WindowOf(host)).Width() << "x"
                                    << OuterRect(WindowOf(host)).Height();
  // The frame is really there: a title bar at least.
  EXPECT_LT(atOnce.height, outer.Height() - 10);
  EXPECT_LE(atOnce.width, outer.Width());
  EXPECT_TRUE(RunUntil([&] { return ClientAllocation(host) == atOnce; }, 5));
  EXPECT_EQ(host.ClientSize(), atOnce);
}

TEST_F(WindowManagerTest, PlacingAShownWindowAgainKeepsToTheOuterRectangle) {
  port::WindowHost& host = platform_.CreateWindow({});
  host.Place(Rect::FromSize(100, 60, 640, 400));
  host.Show();
  ASSERT_TRUE(ShownAt(host, Rect::FromSize(100, 60, 640, 400)));
  std::vector<Size> resizes;
  host.on_resize = [&](Size client) { resizes.push_back(client); };
  const Rect outer = Rect::FromSize(40, 30, 500, 300);
  host.Place(outer);
  const Size atOnce = host.ClientSize();
  EXPECT_TRUE(ShownAt(host, outer));
  EXPECT_TRUE(RunUntil([&] { return ClientAllocation(host) == atOnce; }, 5));
  ASSERT_FALSE(resizes.empty());
  EXPECT_EQ(resizes.back(), atOnce);
}

// Later windows take the frame the first one was given; one that the
// window manager frames otherwise still ends where it was placed.
TEST_F(WindowManagerTest, AWindowFramedOtherwiseThanTheFirstKeepsItsPlace) {
  port::WindowHost& first = platform_.CreateWindow({});
  first.Place(Rect::FromSize(100, 60, 640, 400));
  first.Show();
  ASSERT_TRUE(ShownAt(first, Rect::FromSize(100, 60, 640, 400)));
  port::WindowHost& bare = platform_.CreateWindow({});
  gtk_window_set_decorated(GTK_WINDOW(WindowOf(bare)), FALSE);
  const Rect outer = Rect::FromSize(300, 200, 500, 300);
  bare.Place(outer);
  bare.Show();
  EXPECT_TRUE(ShownAt(bare, outer));
  EXPECT_TRUE(RunUntil([&] { return ClientAllocation(bare) == Size{500, 300}; }, 5));
  EXPECT_EQ(bare.ClientSize(), (Size{500, 300}));
}

// The placement holds until the window is shown; after that the user's
// sizing rules, whatever the frame does.
TEST_F(WindowManagerTest, AMaximisedWindowStaysMaximised) {
  port::WindowHost& host = platform_.CreateWindow({});
  host.Place(Rect::FromSize(100, 60, 640, 400));
  host.Show();
  GtkWidget* window = WindowOf(host);
  ASSERT_TRUE(ShownAt(host, Rect::FromSize(100, 60, 640, 400)));
  gtk_window_maximize(GTK_WINDOW(window));
  ASSERT_TRUE(RunUntil([&] { return ClientAllocation(host).width > 1000; }, 5));
  Pump(500);
  EXPECT_TRUE(gtk_window_is_maximized(GTK_WINDOW(window)));
  EXPECT_GT(ClientAllocation(host).width, 1000);
  EXPECT_EQ(host.ClientSize(), ClientAllocation(host));
}

// The live-TV page is told the size it has to fill: the client area, not
// the window with its frame.
TEST_F(WindowManagerTest, SeparatePlayWindowReportsItsClientSize) {
  // Nothing listens on the discard port: only the address asked for matters.
  WindowSet windows(platform_);
  auto& window = windows.Open<SeparatePlayWindow>("cmd=TVPLAY|http://127.0.0.1:9/live.htm|CCTV||950|560|", "");
  port::WindowHost& host = window.Host();
  Rect work = host.WorkArea();
  Rect outer = Rect::FromSize((work.right - 950) / 2, (work.bottom - 560) / 2, 950, 560);
  ASSERT_TRUE(ShownAt(host, outer));
  WebKitWebView* player = dynamic_cast<gtkport::GtkBrowserView&>(window.Player().View()).WebView();
  auto address = [&] {
    const char* uri = webkit_web_view_get_uri(player);
    return std::string(uri ? uri : "");
  };
  ASSERT_TRUE(RunUntil([&] { return address().find("w=") != std::string::npos; }, 10)) << address();
  Size client = ClientAllocation(host);
  EXPECT_EQ(address(), "http://127.0.0.1:9/live.htm?w=" + std::to_string(client.width) +
                           "&h=" + std::to_string(client.height));
  EXPECT_LT(client.height, 560);
}

// A page shown full screen keeps Escape for itself (it leaves full screen);
// the window sees the key again once the page is back in its window.
TEST_F(WindowManagerTest, AFullScreenPageKeepsEscape) {
  port::WindowHost& host = platform_.CreateWindow({});
  host.Place(Rect::FromSize(100, 60, 640, 400));
  host.Show();
  int escapes = 0;
  host.on_key = [&](port::Key key, port::Modifiers) {
    if (key == port::Key::kEscape) ++escapes;
    return true;
  };
  GtkWidget* window = WindowOf(host);
  ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_mapped(window); }, 5));
  auto fullScreen = [&] { return (gdk_window_get_state(gtk_widget_get_window(window)) & GDK_WINDOW_STATE_FULLSCREEN) != 0; };
  gtk_window_fullscreen(GTK_WINDOW(window));
  ASSERT_TRUE(RunUntil(fullScreen, 5));
  SendKey(window, GDK_KEY_Escape);
  EXPECT_EQ(escapes, 0);
  gtk_window_unfullscreen(GTK_WINDOW(window));
  ASSERT_TRUE(RunUntil([&] { return !fullScreen(); }, 5));
  SendKey(window, GDK_KEY_Escape);
  EXPECT_EQ(escapes, 1);
}

}  // namespace
}  // namespace tavelo

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Before GTK opens the display, so that it meets the window manager there.
  tavelo::WindowManager manager;
  if (!manager.Start()) {
    std::fprintf(stderr, "openbox did not start on $DISPLAY (scripts/install-deps installs it; run under xvfb-run)\n");
    return 1;
  }
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "no display: run under xvfb-run\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}
