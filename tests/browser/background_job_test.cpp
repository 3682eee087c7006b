#include "browser/background_job.h"

#include <gtest/gtest.h>

#include <future>

#include "fakes/fake_port.h"

namespace tavelo {
namespace {

class JobWindow : public OwnedWindow {
 public:
  explicit JobWindow(const WindowSet::Slot& slot) : OwnedWindow(slot, {}) {}
  BackgroundJob job;
};

// The worker posts once, waits until the window has done `ending`, then
// posts its last result. Nothing here waits for the worker before it is let
// go, so an ending that joined the thread would hang the test.
TEST(BackgroundJobTest, WhatAStoppedWorkerPostsNeverRuns) {
  enum class Ending { kNone, kStop, kRestart, kCloseWindow };
  const struct {
    Ending ending;
    int reached;
    int cancels;
  } cases[] = {{Ending::kNone, 2, 0}, {Ending::kStop, 0, 1}, {Ending::kRestart, 0, 1}, {Ending::kCloseWindow, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.ending));
    fakes::FakePlatform platform;
    WindowSet windows(platform);
    JobWindow& window = windows.Open<JobWindow>();
    std::promise<void> posted, release, ended;
    bool sawStop = false;
    int reached = 0, cancels = 0;
    window.job.Start(
        window.Results(),
        [&, go = release.get_future().share()](const JobToken& job) {
          job.Post([&] { ++reached; });
          posted.set_value();
          go.wait();
          sawStop = job.Stopped();
          job.Finish([&] { ++reached; });
          ended.set_value();
        },
        [&] { ++cancels; });
    posted.get_future().wait();
    switch (c.ending) {
      case Ending::kNone: break;
      case Ending::kStop: window.job.Stop(); break;
      case Ending::kRestart: window.job.Start(window.Results(), [](const JobToken&) {}); break;
      case Ending::kCloseWindow: platform.Window(0).Close(); break;
    }
    release.set_value();
    ended.get_future().wait();
    platform.Window(0).RunPosted();
    EXPECT_EQ(sawStop, c.cancels == 1);
    EXPECT_EQ(reached, c.reached);
    if (c.ending == Ending::kNone) {
      // A finished job has nothing left to cancel.
      EXPECT_FALSE(window.job.Running());
      window.job.Stop();
    }
    EXPECT_EQ(cancels, c.cancels);
  }
}

}  // namespace
}  // namespace tavelo
