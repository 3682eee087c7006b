#pragma once
// The small modal progress window of a download job: an animated status
// line, the byte counts and a bar for packages, and a button that stops the
// job. The job runs on a worker thread of its own; the window ends when the
// worker is done or at once when the user stops it.

#include <future>
#include <memory>
#include <string>

#include "net/transfer_job.h"
#include "port/window_host.h"

namespace tavelo {

class TransferWindow {
 public:
  static constexpr int kStatusId = 1018;
  static constexpr int kBarId = 1008;
  static constexpr int kBytesId = 1019;
  static constexpr int kStopId = 1045;
  static constexpr int kDotsTimer = 1;
  static constexpr int kDotsPeriodMs = 500;

  TransferWindow(port::Platform& platform, const std::string& caption, TransferRequest request);
  // Closes the window if it is still open; a running worker carries on
  // alone and drops its result.
  ~TransferWindow();
  TransferWindow(const TransferWindow&) = delete;
  TransferWindow& operator=(const TransferWindow&) = delete;

  // Starts the worker and returns when the window has ended: with the job's
  // result when it finished, with an empty, stopped result when the user
  // stopped it.
  TransferResult Run();

  port::WindowHost& Host() { return host_; }
  // Ready once the worker has ended, whether or not the window still exists.
  std::shared_future<void> WorkerEnded() const { return workerEnded_; }

 private:
  struct Shared;
  class WindowSinks;

  void OnDotsTimer();
  void Stop();
  void Detach();

  port::Platform& platform_;
  port::WindowHost& host_;
  port::Static* status_ = nullptr;
  port::Static* bytes_ = nullptr;
  port::ProgressBar* bar_ = nullptr;
  port::Button* stop_ = nullptr;
  // Everything the worker reaches; it holds its own share, so nothing it
  // touches goes away with the window.
  std::shared_ptr<Shared> shared_;
  std::shared_future<void> workerEnded_;
  bool open_ = true;
  bool stopped_ = false;
  int dotCount_ = 0;
  std::string dots_;
};

}  // namespace tavelo
