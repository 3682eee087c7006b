// tavelo-screenshots DATA_DIR OUT_DIR: the portal on a data folder whose
// template points at a running demo server, driven as a user drives it, and
// a picture of each window the README shows: the main window, a play window
// with its episode list, the favourites window and a resource page.
// scripts/screenshots makes the folder, starts the server and runs this
// under Xvfb.

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/atomic_write.h"
#include "base/desktop_identity.h"
#include "base/program_paths.h"
#include "catalogue/catalogue_store.h"
#include "catalogue/personal_lists.h"
#include "mainwin/main_window.h"
#include "playback/episode_list_view.h"
#include "playback/play_window.h"
#include "port/gtk/gtk_port.h"
#include "text/text_buffer.h"
#include "windows/personal_list_window.h"
#include "windows/resource_window.h"
#include "windows/web_window.h"

namespace {

using namespace tavelo;

// Relaunched play processes and message boxes would outlive the run or wait
// for a user: both are only reported.
class QuietPlatform : public gtkport::GtkPlatform {
 public:
  bool StartProcess(const std::vector<std::string>& argv) override {
    std::fprintf(stderr, "tavelo-screenshots: not starting %s\n", argv.empty() ? "" : argv[0].c_str());
    return true;
  }
  void MessageBox(port::WindowHost*, const std::string& text, const std::string&) override {
    std::fprintf(stderr, "tavelo-screenshots: message %s\n", text.c_str());
  }
};

// Spins the main loop until `done` holds; false when the time is up.
bool RunUntil(const std::function<bool()>& done, int seconds = 30) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (!g_main_context_iteration(nullptr, FALSE)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void Pump(int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  RunUntil([&] { return std::chrono::steady_clock::now() > end; });
}

// The page view a window shows.
WebKitWebView* ViewOf(OwnedWindow& window) {
  return dynamic_cast<gtkport::GtkWindowHost&>(window.Host()).ShownWebView();
}

using gtkport::ShowsLoaded;

GtkWidget* WindowOf(OwnedWindow& window) { return dynamic_cast<gtkport::GtkWindowHost&>(window.Host()).Window(); }

void RunScript(WebKitWebView* view, const std::string& script) {
  webkit_web_view_evaluate_javascript(view, script.c_str(), -1, nullptr, nullptr, nullptr, nullptr, nullptr);
}

// Clicks the page's link that opens the video of this title (UTF-8).
void ClickVideo(WebKitWebView* view, const std::string& title) {
  RunScript(view, "for (const a of document.links) if ((a.getAttribute('href') || '').includes('INFO|" + title +
                      "')) { a.click(); break; }");
}

// The window on top of the others, as it is on the screen, saved as PNG.
bool Shoot(OwnedWindow& window, const std::string& path) {
  GtkWidget* widget = WindowOf(window);
  gtk_window_present(GTK_WINDOW(widget));
  Pump(800);
  GdkWindow* gdkWindow = gtk_widget_get_window(widget);
  GdkPixbuf* picture = gdk_pixbuf_get_from_window(gdkWindow, 0, 0, gdk_window_get_width(gdkWindow),
                                                  gdk_window_get_height(gdkWindow));
  if (picture == nullptr) return false;
  const bool saved = gdk_pixbuf_save(picture, path.c_str(), "png", nullptr, nullptr) != FALSE;
  g_object_unref(picture);
  std::fprintf(stderr, "tavelo-screenshots: %s %s\n", saved ? "wrote" : "cannot write", path.c_str());
  return saved;
}

int Fail(const char* what) {
  std::fprintf(stderr, "tavelo-screenshots: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  SetDesktopIdentity();
  gtk_init(&argc, &argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: tavelo-screenshots DATA_DIR OUT_DIR\n");
    return 2;
  }
  std::string folder = argv[1];
  if (!folder.ends_with('/')) folder += '/';
  const std::string out = std::string(argv[2]) + "/";
  const ProgramPaths paths{folder};

  QuietPlatform platform;
  WindowSet windows(platform, OpenPopupWebWindow);
  windows.SetPaths(paths);
  CatalogueStore catalogue;
  catalogue.Load(paths.folder);
  MainWindowSetup setup;
  setup.firstRunSetup = false;
  setup.startDataUpdate = false;
  MainWindow& portal = windows.Open<MainWindow>(catalogue, setup);
  // The page's view is shown only once the start timer has chosen the page.
  WebKitWebView* portalView = nullptr;
  if (!RunUntil([&] { return ShowsLoaded(portalView = ViewOf(portal), "/tj/index.asp"); })) {
    return Fail("the recommended page did not load");
  }
  Pump(1500);
  bool shot = Shoot(portal, out + "main-window.png");

  // Videos opened from the recommended page: each lists its episodes and
  // goes into the watch history; the first plays its first episode.
  const std::vector<std::string> titles = {"雾港旧事", "青石巷的春天", "南山客栈"};
  for (size_t i = 0; i < titles.size(); ++i) {
    ClickVideo(portalView, titles[i]);
    PlayWindow* player = nullptr;
    if (!RunUntil([&] {
          player = windows.Find<PlayWindow>();
          return player != nullptr && !player->Fetching() && player->EpisodeList().RowCount() > 0;
        })) {
      return Fail("no play window with episodes");
    }
    if (i == 0) {
      port::ListView& list = player->EpisodeList();
      list.SelectRow(0, true);
      list.on_click({0, kPlayColumn});
      if (!RunUntil([&] { return ShowsLoaded(ViewOf(*player), "/player/"); })) {
        return Fail("the episode did not play");
      }
      Pump(2500);
      shot = Shoot(*player, out + "play-window.png") && shot;
    }
    player->Host().Close();
    Pump(200);
  }

  // The favourites: the videos just watched.
  std::string history;
  if (!ReadWholeFile(paths.History(), history) || !AtomicWriteFile(paths.Favourites(), history)) {
    return Fail("no watch history to take the favourites from");
  }
  PersonalListWindow& favourites = OpenPersonalListWindow(windows, PersonalListKind::kFavourites, portal);
  Pump(1000);
  shot = Shoot(favourites, out + "favourites-window.png") && shot;
  favourites.Host().Close();

  // A P2P item of the catalogue's P2P page opens its resource page.
  RunScript(portalView, "location.href = '/p2p/index.asp?v=108'");
  if (!RunUntil([&] { return ShowsLoaded(portalView, "/p2p/index.asp"); })) return Fail("the P2P page did not load");
  ClickVideo(portalView, titles[0]);
  ResourceWindow* resource = nullptr;
  if (!RunUntil([&] {
        resource = windows.Find<ResourceWindow>();
        return resource != nullptr && !resource->PagePath().empty() &&
               ShowsLoaded(ViewOf(*resource), resource->PagePath());
      })) {
    return Fail("no resource page");
  }
  Pump(1000);
  shot = Shoot(*resource, out + "resource-page.png") && shot;

  windows.CloseAll();
  Pump(200);
  return shot ? 0 : 1;
}
