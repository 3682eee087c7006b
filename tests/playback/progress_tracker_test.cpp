// Following an episode's position through the page's video, continuing
// where it stopped, and handing the video to an external player.

#include "playback/progress_tracker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fakes/fake_port.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using fakes::FakeBrowserView;
using fakes::FakePlatform;
using fakes::FakeWindowHost;

constexpr int kLook = 5, kClose = 6;
constexpr const char* kSource = "http://127.0.0.2:8790/player/clip.webm";

class ProgressTrackerTest : public ::testing::Test {
 protected:
  ProgressTrackerTest() {
    host_.on_timer = [this](int id) { tracker_.OnTimer(id); };
    view_.scriptAnswer = [this](const std::string&) { return port::ScriptValue{port::ScriptValue::Kind::kString, answer_}; };
  }
  void PlayAt(double seconds, const std::string& source = kSource) {
    answer_ = std::to_string(seconds) + "\n2700\n0\n0\n" + source;
  }
  // Saves run on a thread of their own: the store is looked at until it
  // holds the position, for a few seconds at most.
  bool Saved(const std::string& address, int position) {
    for (int i = 0; i < 500; ++i) {
      std::vector<EpisodeProgress> records = LoadProgress(dir_.File("progress.dat")).value_or(records);
      const EpisodeProgress* record = FindProgress(records, address);
      if (record && record->position == position) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  testing::TempDir dir_;
  FakePlatform platform_;
  FakeWindowHost& host_ = static_cast<FakeWindowHost&>(platform_.CreateWindow({}));
  FakeBrowserView& view_ = *static_cast<FakeBrowserView*>(host_.AddBrowser(1, port::BrowserPolicy::kFull));
  std::string answer_;
  std::vector<int> resumed_;
  std::vector<std::string> messages_;
  ProgressTracker tracker_{host_, view_, dir_.File("progress.dat"), kLook, kClose,
                           {.on_resumed = [this](int seconds) { resumed_.push_back(seconds); },
                            .on_message = [this](const std::string& text) { messages_.push_back(text); }}};
};

TEST_F(ProgressTrackerTest, ReadingsAreSavedAndAReopenedEpisodeContinuesOnce) {
  tracker_.Follow("http://v/s", "http://v/e1", Gbk("第1集"));
  EXPECT_EQ(host_.timers[kLook], ProgressTracker::kLookInterval);
  PlayAt(75.4);
  ASSERT_TRUE(host_.FireTimer(kLook));
  EXPECT_TRUE(Saved("http://v/e1", 75));
  // Moving to another episode reads the one that played a last time.
  PlayAt(80);
  tracker_.Follow("http://v/s", "http://v/e2", Gbk("第2集"));
  EXPECT_TRUE(Saved("http://v/e1", 80));
  EXPECT_TRUE(resumed_.empty());

  // Back to the first: the page is looked at soon, and asked to seek once.
  tracker_.Follow("http://v/s", "http://v/e1", Gbk("第1集"));
  EXPECT_EQ(host_.timers[kLook], ProgressTracker::kResumeLookInterval);
  answer_ = "";  // the loading page, no video yet
  ASSERT_TRUE(host_.FireTimer(kLook));
  EXPECT_TRUE(resumed_.empty());
  PlayAt(0);
  ASSERT_TRUE(host_.FireTimer(kLook));
  EXPECT_NE(view_.scripts.back().find("currentTime=80;"), std::string::npos);
  EXPECT_EQ(resumed_, std::vector<int>{80});
  EXPECT_EQ(host_.timers[kLook], ProgressTracker::kLookInterval);
  ASSERT_TRUE(host_.FireTimer(kLook));
  EXPECT_EQ(view_.scripts.back().find("currentTime="), std::string::npos);
}

TEST_F(ProgressTrackerTest, ClosingReadsOnceMoreThenCloses) {
  int closed = 0;
  tracker_.Finish([&] { ++closed; });
  EXPECT_EQ(closed, 1) << "nothing followed, nothing to wait for";
  tracker_.Follow("http://v/s", "http://v/e1", Gbk("第1集"));
  PlayAt(300);
  tracker_.Finish([&] { ++closed; });
  EXPECT_EQ(closed, 2);
  EXPECT_TRUE(Saved("http://v/e1", 300));
  EXPECT_EQ(host_.timers.count(kLook), 0u);
}

TEST_F(ProgressTrackerTest, AStoreThatCannotBeSavedIsSaidOnce) {
  testing::TempDir other;
  ProgressTracker tracker{host_, view_, other.Path(), kLook, kClose,
                          {.on_resumed = nullptr,
                           .on_message = [this](const std::string& text) { messages_.push_back(text); }}};
  tracker.Follow("http://v/s", "http://v/e1", "");
  for (double at : {20, 25}) {
    PlayAt(at);
    tracker.OnTimer(kLook);
  }
  // Both failed saves report; the user hears of it once.
  for (int i = 0; i < 50; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    host_.RunPosted();
  }
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].find(Gbk("无法读取播放进度文件")), 0u);
}

TEST_F(ProgressTrackerTest, ExternalPlayersStartAtThePositionOrSayWhyNot) {
  struct Case {
    const char* name;
    std::string mpv, handler, source;
    std::vector<std::string> argv;
    const char* refusal;
  } cases[] = {
      {"mpv", "/usr/bin/mpv", "/usr/bin/totem", kSource, {"/usr/bin/mpv", "--start=754", kSource}, ""},
      {"desktop", "", "/usr/bin/totem", kSource, {"/usr/bin/totem", kSource}, ""},
      {"blob", "/usr/bin/mpv", "", "blob:http://h/1", {}, "blob:"},
      {"file", "/usr/bin/mpv", "", "file:///etc/passwd", {}, "http"},
      {"none", "", "", kSource, {}, "没有找到"},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    if (!c.mpv.empty()) platform.programsOnPath["mpv"] = c.mpv;
    if (!c.handler.empty()) platform.defaultPrograms["video/webm"] = c.handler;
    ExternalLaunch launch = ExternalPlayerLaunch(platform, {754.9, 2700, false, false, c.source});
    EXPECT_EQ(launch.argv, c.argv) << c.name;
    EXPECT_NE(launch.refusal.find(Gbk(c.refusal)), std::string::npos) << c.name;
  }
}

TEST_F(ProgressTrackerTest, PlayingOutsidePausesThePageAndStartsThePlayer) {
  platform_.programsOnPath["mpv"] = "/usr/bin/mpv";
  ASSERT_TRUE(ExternalPlayerInstalled(platform_));
  PlayAt(61);
  tracker_.PlayOutside(platform_);
  ASSERT_EQ(platform_.startedProcesses.size(), 1u);
  EXPECT_EQ(platform_.startedProcesses[0], (std::vector<std::string>{"/usr/bin/mpv", "--start=61", kSource}));
  EXPECT_NE(view_.scripts.back().find("pause()"), std::string::npos);

  PlayAt(61, "blob:http://h/1");
  tracker_.PlayOutside(platform_);
  EXPECT_EQ(platform_.startedProcesses.size(), 1u);
  ASSERT_EQ(messages_.size(), 1u);
}

}  // namespace
}  // namespace tavelo
