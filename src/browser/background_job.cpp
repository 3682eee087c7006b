#include "browser/background_job.h"

#include <thread>

namespace tavelo {

void JobToken::Post(std::function<void()> task) const {
  // Checked again on the user-interface thread, where Stop sets the flag,
  // so a task posted just before the stop does not run either.
  state_->results.Post([state = state_, task = std::move(task)] {
    if (!state->stopped.load()) task();
  });
}

void JobToken::Finish(std::function<void()> task) const {
  state_->results.Post([state = state_, task = std::move(task)] {
    if (state->stopped.load()) return;
    state->finished = true;
    task();
  });
}

void BackgroundJob::Start(ResultPoster results, Work work, std::function<void()> onStop) {
  Stop();
  state_ = std::make_shared<JobToken::State>(std::move(results));
  onStop_ = std::move(onStop);
  std::thread([token = JobToken(state_), work = std::move(work)] { work(token); }).detach();
}

void BackgroundJob::Stop() {
  if (state_ == nullptr) return;
  std::shared_ptr<JobToken::State> state = std::move(state_);
  std::function<void()> onStop = std::move(onStop_);
  onStop_ = nullptr;
  if (state->finished) return;
  // Stopped before cancelled, so a worker whose wait ends by the cancel
  // already sees that it was stopped.
  state->stopped.store(true);
  if (onStop) onStop();
}

}  // namespace tavelo
