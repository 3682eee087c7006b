// The play window on the real GTK/WebKitGTK port against the demo catalogue
// server: a video clicked on the recommended page opens its play window, the
// list fills from the video site's show page, and the episodes play or are
// handed on. Runs under xvfb-run, in a program folder of its own.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "browser/command_hookup.h"
#include "catalogue/progress_store.h"
#include "gtk/gtk_pump.h"
#include "playback/episode_list_view.h"
#include "playback/play_window.h"
#include "port/gtk/gtk_port.h"
#include "running_demo.h"
#include "support/temp_dir.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/url_text.h"
#include "windows/web_window.h"

namespace tavelo {
namespace {

using testing::RunUntil;

// Relaunches would start this test program again, and message boxes would
// wait for a user: both are only recorded.
class RecordingPlatform : public gtkport::GtkPlatform {
 public:
  bool StartProcess(const std::vector<std::string>& argv) override {
    started.push_back(argv);
    return true;
  }
  void MessageBox(port::WindowHost*, const std::string& text, const std::string&) override {
    messages.push_back(text);
  }
  std::vector<std::vector<std::string>> started;
  std::vector<std::string> messages;
};

// WebKit sends escaped unreserved characters ("-", ".", "_", "~") as they
// are; every other escape reaches the server unchanged.
std::string AsWebKitSends(std::string target) {
  for (const char* unreserved : {"-", ".", "_", "~"}) {
    char escape[4];
    std::snprintf(escape, sizeof escape, "%%%02X", static_cast<unsigned char>(*unreserved));
    target = ReplaceAll(target, escape, unreserved);
  }
  return target;
}

// The portal's part: page commands that open a video open its play window.
class Portal : public CommandTarget, public PlayWindowOwner {
 public:
  explicit Portal(WindowSet& windows) : windows_(windows) {}
  void OpenVideo(const std::string& name, const std::string& record, const std::string& label) override {
    OpenPlayWindow(windows_, *this, name, record, label);
  }
  void OpenSearch(const std::string&) override {}
  std::string AddToFavourites(const std::string&, const std::string&) override { return ""; }
  void StartCompanion(const std::string&, const std::string&, const std::string&) override {}
  void ShowMessage(const std::string&) override {}
  void StartProcess(const std::vector<std::string>&) override {}

 private:
  WindowSet& windows_;
};

class GtkPlayWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { demo_ = new demo::RunningDemo; }
  static void TearDownTestSuite() { delete demo_; }

  void SetUp() override {
    ASSERT_EQ(demo_->Error(), "");
    windows_.SetPaths(demo_->PrepareProgramFolder(dir_.Path()));
  }
  void TearDown() override {
    windows_.CloseAll();
    testing::Pump(100);
  }

  // Opens the recommended page as the portal shows it and clicks the video.
  void ClickVideoOnRecommendedPage(const std::string& utf8Title) {
    const std::string page = "http://" + demo::RoleAddress(demo::Role::kCatalogue, demo_->Port()) + "/tj/index.asp";
    WebWindow& window = OpenWebWindow(windows_, CommandHookup(&portal_, windows_.Paths().Template()), page);
    bool loaded = false;
    window.Browser().on_document_complete = [&](const std::string&) { loaded = true; };
    ASSERT_TRUE(RunUntil([&] { return loaded; })) << "the recommended page did not load";
    dynamic_cast<gtkport::GtkBrowserView&>(*window.Browser().GetApplication())
        .RunScript("for (const a of document.links) if (a.textContent == '" + utf8Title + "') { a.click(); break; }");
  }
  // The play window of the clicked video, once its episode list is in.
  PlayWindow* ListedPlayWindow(const std::string& utf8Title) {
    ClickVideoOnRecommendedPage(utf8Title);
    PlayWindow* window = nullptr;
    RunUntil([&] {
      window = windows_.Find<PlayWindow>();
      return window != nullptr && !window->Fetching();
    });
    return window;
  }
  // The page's video position, read through the port's script call; -1
  // without a video.
  static double VideoTime(PlayWindow& window) {
    double seconds = -1;
    bool answered = false;
    window.Browser().View().EvaluateScript(
        "(function(){var v=document.querySelector('video');return v?v.currentTime:-1;})()",
        [&](port::ScriptValue value) {
          if (value.kind == port::ScriptValue::Kind::kNumber) seconds = value.number;
          answered = true;
        });
    RunUntil([&] { return answered; }, 5);
    return seconds;
  }
  bool Requested(const std::string& target) const {
    return demo_->LogText().find(" GET " + target + " 200\n") != std::string::npos;
  }

  static inline demo::RunningDemo* demo_ = nullptr;
  testing::TempDir dir_;
  RecordingPlatform platform_;
  WindowSet windows_{platform_};
  Portal portal_{windows_};
};

TEST_F(GtkPlayWindowTest, AVideoFromTheRecommendedPageListsItsEpisodesAndPlays) {
  ClickVideoOnRecommendedPage("雾港旧事");
  PlayWindow* window = nullptr;
  ASSERT_TRUE(RunUntil([&] {
    window = windows_.Find<PlayWindow>();
    return window != nullptr && !window->Fetching();
  })) << "no episode list";
  EXPECT_EQ(window->Host().Caption(), Gbk("雾港旧事 播放"));
  port::ListView& list = window->EpisodeList();
  ASSERT_GE(list.RowCount(), 12);
  EXPECT_TRUE(platform_.messages.empty());
  // The visit is in the watch history.
  EXPECT_NE(testing::ReadFile(dir_.File("data/myvisited.dat")).find(Gbk("雾港旧事")), std::string::npos);

  // A click on the second episode's play cell.
  list.SelectRow(1, true);
  list.on_click({1, kPlayColumn});
  const std::string label = list.Cell(1, kLabelColumn);
  const std::string address = list.Cell(1, kAddressColumn);
  const std::string player = AsWebKitSends("/player/play.htm?url=" + UrlEncode(address) +
                                            "&name=" + UrlEncode(window->Title()) + "&section=" + UrlEncode(label));
  EXPECT_TRUE(RunUntil([&] { return Requested(player); })) << player << "\n" << demo_->LogText();

  // The clip starts by itself, sound and all, as the player page asks.
  auto& view = dynamic_cast<gtkport::GtkBrowserView&>(*window->Browser().GetApplication());
  bool playing = false;
  EXPECT_TRUE(RunUntil([&] {
    view.RunScript("var v = document.querySelector('video');"
                   "if (v && v.currentTime > 0 && !document.getElementById('playing')) {"
                   "  var mark = document.createElement('i'); mark.id = 'playing'; document.body.appendChild(mark); }");
    view.RequestBodyHtml([&](std::string html) { playing = html.find("id=\"playing\"") != std::string::npos; });
    testing::Pump(100);
    return playing;
  })) << "the clip did not start";
  EXPECT_EQ(windows_.Find<PlayWindow>(), window);
}

TEST_F(GtkPlayWindowTest, AVideoOfOneEpisodeGoesToANewProcessWithOneArgument) {
  ClickVideoOnRecommendedPage("最后一班渡轮");
  ASSERT_TRUE(RunUntil([&] { return !platform_.started.empty(); })) << "nothing was handed on";
  ASSERT_EQ(platform_.started.size(), 1u);
  const std::vector<std::string>& argv = platform_.started[0];
  ASSERT_EQ(argv.size(), 2u);
  const std::string show = "http://" + demo::RoleAddress(demo::Role::kVideo, demo_->Port()) + "/v_show/id_dy01.html";
  EXPECT_EQ(argv[1].rfind("runPlay:" + show + "**TAB**" + Gbk("最后一班渡轮") + "**TAB**", 0), 0u) << argv[1];
  EXPECT_TRUE(RunUntil([&] { return windows_.Find<PlayWindow>() == nullptr; })) << "the play window stayed";
}

// Past 8 seconds, and past the 10 below which an episode starts over.
TEST_F(GtkPlayWindowTest, AnEpisodeClosedPartWayContinuesThereWhenOpenedAgain) {
  PlayWindow* window = ListedPlayWindow("雾港旧事");
  ASSERT_NE(window, nullptr) << "no episode list";
  port::ListView& list = window->EpisodeList();
  ASSERT_GE(list.RowCount(), 2);
  list.SelectRow(1, true);
  list.on_click({1, kPlayColumn});
  const std::string address = list.Cell(1, kAddressColumn);
  ASSERT_TRUE(RunUntil([&] { return VideoTime(*window) >= 11.5; }, 40)) << "the clip did not play 11 seconds";
  window->Host().on_close_request();
  ASSERT_TRUE(RunUntil([&] { return windows_.Find<PlayWindow>() == nullptr; })) << "the window stayed";
  const std::string store = windows_.Paths().Progress();
  ASSERT_TRUE(RunUntil([&] {
    std::vector<EpisodeProgress> records = LoadProgress(store).value_or(std::vector<EpisodeProgress>{});
    const EpisodeProgress* record = FindProgress(records, address);
    return record != nullptr && record->position >= 11;
  })) << "no position was saved";

  // Opened again, the same episode is selected and continues past 11
  // seconds well before it could have played that far from the start.
  window = ListedPlayWindow("雾港旧事");
  ASSERT_NE(window, nullptr);
  const int row = window->EpisodeList().FirstSelectedRow();
  ASSERT_EQ(row, 1);
  const auto start = std::chrono::steady_clock::now();
  window->EpisodeList().on_click({row, kPlayColumn});
  ASSERT_TRUE(RunUntil([&] { return VideoTime(*window) >= 11; }, 30)) << "it did not continue";
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(9));
}

}  // namespace
}  // namespace tavelo
