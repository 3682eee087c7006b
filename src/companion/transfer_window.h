#pragma once
// The small modal progress window of a download job: an animated status
// line, the byte counts and a bar for packages, and a button that stops the
// job. The job runs on a worker thread of its own; the window ends when the
// worker is done or at once when the user stops it.

#include <future>
#include <memory>
#include <string>

#include "browser/background_job.h"
#include "browser/window_set.h"
#include "net/transfer_job.h"

namespace tavelo {

class TransferWindow : public OwnedWindow {
 public:
  static constexpr int kStatusId = 1018;
  static constexpr int kBarId = 1008;
  static constexpr int kBytesId = 1019;
  static constexpr int kStopId = 1045;
  static constexpr int kDotsTimer = 1;
  static constexpr int kDotsPeriodMs = 500;

  // The job and how it ended, shared by the window, its worker and the
  // caller, so that any of them may be the last to go.
  struct Shared;

  // Shows the window and starts the worker.
  TransferWindow(const WindowSet::Slot& slot, const std::string& caption, std::shared_ptr<Shared> shared);
  // Unless the worker ended the window, the window's end stops the job: a
  // running worker ends by itself and drops its result.
  ~TransferWindow() override;

 private:
  class WindowSinks;

  void OnDotsTimer();
  void Stop();
  void Finish();

  std::shared_ptr<Shared> shared_;
  port::Static* status_;
  port::ProgressBar* bar_;
  port::Static* bytes_;
  port::Button* stop_;
  BackgroundJob worker_;
  int dotCount_ = 0;
  std::string dots_;
};

// Runs `request` in a transfer window and returns when the window has ended:
// with the job's result when it finished, with an empty, stopped result when
// the user stopped it. `workerEnded`, when given, becomes ready once the
// worker has ended, whether or not the window still exists.
TransferResult RunTransferWindow(WindowSet& windows, const std::string& caption, TransferRequest request,
                                 std::shared_future<void>* workerEnded = nullptr);

}  // namespace tavelo
