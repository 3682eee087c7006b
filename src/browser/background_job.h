#pragma once
// A window's work on a thread of its own: a download, a scrape, a package
// install. The thread is detached, so a window never waits for the network
// to close. The window stops the job when it no longer wants the result (a
// new fetch, or its own end); from then on nothing the worker posts reaches
// the window, also what it posted just before. Only the user-interface
// thread uses a BackgroundJob; the worker has a JobToken.

#include <atomic>
#include <functional>
#include <memory>

#include "browser/window_set.h"

namespace tavelo {

// The worker's side of a job: whether it has been stopped, and its way to
// the window. Copies may go wherever the worker needs them (sinks).
class JobToken {
 public:
  // Set once the window stopped the job; the worker gives up when it can,
  // and writes no file the window would have kept.
  bool Stopped() const { return state_->stopped.load(); }
  // Runs `task` on the user-interface thread, unless by then the job has
  // been stopped or the window is gone.
  void Post(std::function<void()> task) const;
  // Posts the job's last result: when it runs the job is over, so stopping
  // it afterwards cancels nothing.
  void Finish(std::function<void()> task) const;

 private:
  friend class BackgroundJob;
  struct State {
    explicit State(ResultPoster poster) : results(std::move(poster)) {}
    ResultPoster results;
    std::atomic<bool> stopped{false};
    // User-interface thread only.
    bool finished = false;
  };
  explicit JobToken(std::shared_ptr<State> state) : state_(std::move(state)) {}
  std::shared_ptr<State> state_;
};

class BackgroundJob {
 public:
  using Work = std::function<void(const JobToken& job)>;

  BackgroundJob() = default;
  // Stops the running job, without waiting for its thread.
  ~BackgroundJob() { Stop(); }
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  // Stops the running job, if any, and runs `work` on a detached thread,
  // its results going to the window of `results`. `onStop` runs here when
  // the job is stopped before it finished: it cancels what the worker is
  // waiting on (its download), after the token already says stopped.
  void Start(ResultPoster results, Work work, std::function<void()> onStop = nullptr);
  // Returns at once; the worker ends by itself.
  void Stop();
  // From Start until the job finished or was stopped.
  bool Running() const { return state_ != nullptr && !state_->finished; }

 private:
  std::shared_ptr<JobToken::State> state_;
  std::function<void()> onStop_;
};

}  // namespace tavelo
