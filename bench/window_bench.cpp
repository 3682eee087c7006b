// What a user feels of the windows, on the real port against the demo
// server: how long the main loop goes without running while the play,
// search, favourites and resource windows open (a 5 ms timer measures the
// gaps), the time from a click on a video title to its episode list drawn,
// and the show page's own download time by curl. Then it opens three play
// windows beside the main window, each playing an episode, for the caller
// to weigh.
//
// Prints one "name value" line per figure (medians of the rounds), then
// "page ADDRESS" for each of the four pages shown and "ready"; the windows
// and the demo server stay until a line arrives on standard input, so that
// the caller can measure the memory and load the same pages elsewhere.
// bench/window_benchmarks.py reads it.
//   window_bench [rounds]

#include <gtk/gtk.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "base/program_paths.h"
#include "catalogue/catalogue_store.h"
#include "mainwin/main_window.h"
#include "playback/episode_list_view.h"
#include "playback/play_window.h"
#include "port/gtk/gtk_port.h"
#include "demo_site.h"
#include "text/encoding.h"
#include "windows/personal_list_window.h"
#include "windows/resource_window.h"
#include "windows/search_window.h"

extern char** environ;

namespace tavelo {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The longest the main loop went without running a 5 ms timer, less the 5 ms.
class StallMeter {
 public:
  StallMeter() : source_(g_timeout_add(kPeriod, Tick, this)) {}
  ~StallMeter() { g_source_remove(source_); }
  void Reset() {
    longest_ = 0;
    last_ = Clock::now();
  }
  double Longest() const { return std::max(longest_, MillisecondsSince(last_) - kPeriod); }

 private:
  static constexpr int kPeriod = 5;
  static gboolean Tick(gpointer data) {
    auto* meter = static_cast<StallMeter*>(data);
    meter->longest_ = std::max(meter->longest_, MillisecondsSince(meter->last_) - kPeriod);
    meter->last_ = Clock::now();
    return G_SOURCE_CONTINUE;
  }
  guint source_;
  Clock::time_point last_ = Clock::now();
  double longest_ = 0;
};

// Runs the main loop until `done` holds; the meter's timer wakes it often.
bool RunUntil(const std::function<bool()>& done, int seconds = 30) {
  const auto deadline = Clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (Clock::now() > deadline) return false;
    g_main_context_iteration(nullptr, TRUE);
  }
  return true;
}

void Settle(int milliseconds) {
  const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  RunUntil([&] { return Clock::now() > end; });
}

void Fail(const std::string& what) {
  std::cerr << "window_bench: " << what << "\n";
  std::exit(1);
}

GtkWidget* WindowOf(OwnedWindow& window) { return dynamic_cast<gtkport::GtkWindowHost&>(window.Host()).Window(); }

WebKitWebView* ViewOf(OwnedWindow& window) {
  return dynamic_cast<gtkport::GtkWindowHost&>(window.Host()).ShownWebView();
}

bool ShownAndLoaded(OwnedWindow& window) {
  WebKitWebView* view = ViewOf(window);
  return gtk_widget_get_mapped(WindowOf(window)) && view != nullptr && webkit_web_view_get_uri(view) != nullptr &&
         !webkit_web_view_is_loading(view);
}

// Waits for the window's next frame to be painted.
bool Painted(OwnedWindow& window) {
  if (!RunUntil([&] { return gtk_widget_get_realized(WindowOf(window)); })) return false;
  GdkFrameClock* clock = gdk_window_get_frame_clock(gtk_widget_get_window(WindowOf(window)));
  bool painted = false;
  gulong handler = g_signal_connect(clock, "after-paint",
                                    G_CALLBACK(+[](GdkFrameClock*, gpointer flag) { *static_cast<bool*>(flag) = true; }),
                                    &painted);
  gtk_widget_queue_draw(WindowOf(window));
  const bool done = RunUntil([&] { return painted; });
  g_signal_handler_disconnect(clock, handler);
  return done;
}

// Message boxes would wait for a user.
class QuietPlatform : public gtkport::GtkPlatform {
 public:
  void MessageBox(port::WindowHost*, const std::string&, const std::string&) override {}
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Seconds curl takes to download `address` to nowhere.
double CurlMilliseconds(const std::string& address) {
  const auto start = Clock::now();
  pid_t pid = 0;
  std::vector<std::string> args = {"curl", "-s", "-o", "/dev/null", address};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) Fail("curl did not start");
  int status = 0;
  // The demo server answers from this process's own threads, so waiting here is fine.
  waitpid(pid, &status, 0);
  return MillisecondsSince(start);
}

class Bench {
 public:
  // `folder` holds the demo's data files for the demo server on `port`.
  Bench(const std::string& folder, int port) : port_(port) {
    windows_.SetPaths(ProgramPaths{folder});
    cache_ = folder + std::string(kEpisodeCacheFolder);
    MainWindowSetup setup;
    setup.firstRunSetup = false;
    setup.startDataUpdate = false;
    portal_ = &windows_.Open<MainWindow>(catalogue_, setup);
    if (!RunUntil([&] { return ShownAndLoaded(*portal_) && ShownAddress(*portal_).find("/tj/index.asp") != std::string::npos; })) {
      Fail("no recommended page");
    }
  }

  // Clicks the title on the recommended page; the play window once its
  // episode list is drawn, and the time that took.
  PlayWindow& OpenVideo(const std::string& utf8Title, double* milliseconds) {
    for (PlayWindow* old = windows_.Find<PlayWindow>(); old != nullptr; old = windows_.Find<PlayWindow>()) {
      CloseAndWait(*old);
    }
    // A video never seen: its list comes from the show page, not the cache.
    std::filesystem::remove_all(cache_);
    std::filesystem::create_directory(cache_);
    const auto start = Clock::now();
    ClickTitle(utf8Title);
    PlayWindow* player = nullptr;
    if (!RunUntil([&] {
          player = windows_.Find<PlayWindow>();
          return player != nullptr && !player->Fetching() && player->EpisodeList().RowCount() > 0;
        })) {
      Fail("no episode list for " + utf8Title + " (windows " + std::to_string(windows_.Count()) + ", play window " +
           (player ? std::to_string(player->EpisodeList().RowCount()) + " rows, fetching " +
                         std::to_string(player->Fetching()) : std::string("none")) + ")");
    }
    if (!Painted(*player)) Fail("the episode list was not drawn");
    if (milliseconds != nullptr) *milliseconds = MillisecondsSince(start);
    return *player;
  }

  // Opens the play, search, favourites and resource windows in turn; for
  // each, the longest stall from asking until it shows its page.
  void MeasureRound(StallMeter& meter, std::map<std::string, std::vector<double>>& figures) {
    meter.Reset();
    double episodes = 0;
    PlayWindow& player = OpenVideo("雾港旧事", &episodes);
    Settle(300);
    figures["stall_play_ms"].push_back(meter.Longest());
    figures["click_to_episodes_ms"].push_back(episodes);
    figures["curl_show_page_ms"].push_back(CurlMilliseconds(
        "http://" + demo::RoleAddress(demo::Role::kVideo, port_) + "/v_show/id_lxj01.html"));

    meter.Reset();
    portal_->OpenSearch(Gbk("雾港"));
    SearchWindow* search = windows_.Find<SearchWindow>();
    if (search == nullptr || !RunUntil([&] { return ShownAndLoaded(*search); })) Fail("no search window");
    Settle(300);
    figures["stall_search_ms"].push_back(meter.Longest());

    meter.Reset();
    PersonalListWindow& favourites = OpenPersonalListWindow(windows_, PersonalListKind::kFavourites, *portal_);
    if (!RunUntil([&] { return gtk_widget_get_mapped(WindowOf(favourites)); }) || !Painted(favourites)) {
      Fail("no favourites window");
    }
    Settle(300);
    figures["stall_favourites_ms"].push_back(meter.Longest());

    meter.Reset();
    const std::string item = "http://" + demo::RoleAddress(demo::Role::kResource1, port_) + "/bt/bt01.html";
    ResourceWindow& resource = OpenResourceWindow(windows_, "", Gbk("演示种子\n") + item, "");
    if (!RunUntil([&] { return ShownAndLoaded(resource); })) Fail("no resource window");
    Settle(300);
    figures["stall_resource_ms"].push_back(meter.Longest());

    for (OwnedWindow* window : std::vector<OwnedWindow*>{&player, search, &favourites, &resource}) {
      CloseAndWait(*window);
    }
  }

  // The main window and three play windows, each playing its first
  // episode; the addresses the four show.
  std::vector<std::string> OpenFourPages() {
    std::vector<std::string> pages = {webkit_web_view_get_uri(ViewOf(*portal_))};
    for (const char* title : {"雾港旧事", "青石巷的春天", "南山客栈"}) {
      const size_t before = windows_.FindAll<PlayWindow>().size();
      ClickTitle(title);
      PlayWindow* player = nullptr;
      if (!RunUntil([&] {
            std::vector<PlayWindow*> players = windows_.FindAll<PlayWindow>();
            player = players.size() > before ? players.back() : nullptr;
            return player != nullptr && !player->Fetching() && player->EpisodeList().RowCount() > 0;
          })) {
        Fail(std::string("no episode list for ") + title);
      }
      port::ListView& list = player->EpisodeList();
      player->PlayEpisode(list.Cell(0, kLabelColumn), list.Cell(0, kAddressColumn));
      if (!RunUntil([&] { return ShownAndLoaded(*player) && ShownAddress(*player).rfind("http", 0) == 0; })) {
        Fail(std::string("no player page for ") + title);
      }
      pages.push_back(ShownAddress(*player));
    }
    return pages;
  }

  static std::string ShownAddress(OwnedWindow& window) {
    const char* uri = webkit_web_view_get_uri(ViewOf(window));
    return uri != nullptr ? uri : "";
  }

  void ClickTitle(const std::string& utf8Title) {
    webkit_web_view_evaluate_javascript(ViewOf(*portal_),
                                        ("for (const a of document.links) if ((a.getAttribute('href') || '')"
                                         ".includes('INFO|" + utf8Title + "')) { a.click(); break; }").c_str(),
                                        -1, nullptr, nullptr, nullptr, nullptr, nullptr);
  }

  void CloseAndWait(OwnedWindow& window) {
    const int before = windows_.Count();
    window.Host().Close();
    RunUntil([&] { return windows_.Count() < before; }, 5);
  }

  int port_;
  QuietPlatform platform_;
  WindowSet windows_{platform_};
  CatalogueStore catalogue_;
  MainWindow* portal_ = nullptr;
  std::string cache_;
};

}  // namespace
}  // namespace tavelo

int main(int argc, char** argv) {
  using namespace tavelo;
  gtk_init(&argc, &argv);
  if (argc < 3) Fail("usage: window_bench PROGRAM_FOLDER DEMO_PORT [ROUNDS]");
  const std::string folder = std::string(argv[1]) + "/";
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  StallMeter meter;
  Bench bench(folder, std::atoi(argv[2]));
  std::map<std::string, std::vector<double>> figures;
  for (int round = 0; round < rounds; ++round) bench.MeasureRound(meter, figures);
  for (const auto& [name, values] : figures) std::cout << name << " " << Median(values) << "\n";
  for (const std::string& page : bench.OpenFourPages()) std::cout << "page " << page << "\n";
  std::cout << "ready" << std::endl;
  std::string line;
  std::getline(std::cin, line);
  bench.windows_.CloseAll();
  Settle(200);
  return 0;
}
