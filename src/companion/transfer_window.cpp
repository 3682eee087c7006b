#include "companion/transfer_window.h"

#include "text/encoding.h"

namespace tavelo {

namespace {

constexpr const char* kTransferText = "数据传送中";
constexpr int kMaxDots = 6;

}  // namespace

struct TransferWindow::Shared {
  explicit Shared(TransferRequest request) : job(std::move(request)) {}

  TransferJob job;
  std::promise<void> ended;
  // Set on the user-interface thread when the window ended before the job.
  bool stopped = false;
};

// The downloader's sinks on the worker's side: each report becomes a task
// for the window's controls, dropped once the window has stopped the job.
class TransferWindow::WindowSinks : public StatusSink, public ProgressSink {
 public:
  WindowSinks(TransferWindow* window, JobToken job) : window_(window), job_(std::move(job)) {}
  bool IsAlive() const override { return !job_.Stopped(); }
  void SetStatusText(const std::string& gbk) override {
    job_.Post([window = window_, gbk] { window->bytes_->SetText(gbk); });
  }
  void SetRange(int lower, int upper) override {
    job_.Post([window = window_, lower, upper] { window->bar_->SetRange(lower, upper); });
  }
  void SetPosition(int position) override {
    job_.Post([window = window_, position] { window->bar_->SetPosition(position); });
  }
  // The window ends by itself once the job is done.
  void Done() {
    job_.Finish([window = window_] { window->Finish(); });
  }

 private:
  // Only the posted tasks use it, and they run only while the window exists.
  TransferWindow* window_;
  JobToken job_;
};

TransferWindow::TransferWindow(const WindowSet::Slot& slot, const std::string& caption,
                               std::shared_ptr<Shared> shared)
    : OwnedWindow(slot, port::WindowOptions{.modal = true, .taskbarButton = false, .resizable = false}),
      shared_(std::move(shared)),
      status_(Host().AddStatic(kStatusId, Gbk(kTransferText))),
      bar_(Host().AddProgressBar(kBarId)),
      bytes_(Host().AddStatic(kBytesId, Gbk(kTransferText))),
      stop_(Host().AddButton(kStopId, Gbk("停止传送数据"))) {
  port::WindowHost& host = Host();
  host.SetCaption(caption);
  Rect work = host.WorkArea();
  Rect box = DialogUnits(0, 0, 188, 105);
  host.Place(Rect::FromSize(work.left + (work.Width() - box.Width()) / 2,
                            work.top + (work.Height() - box.Height()) / 2, box.Width(), box.Height()));
  status_->SetBounds(DialogUnits(7, 14, 174, 10));
  bar_->SetBounds(DialogUnits(7, 37, 174, 11));
  bytes_->SetBounds(DialogUnits(7, 53, 174, 10));
  stop_->SetBounds(DialogUnits(58, 82, 72, 16));
  stop_->on_click = [this] { Stop(); };
  // Closing the window is stopping the transfer; Escape and Enter do nothing.
  host.on_close_request = [this] { Stop(); };
  host.on_key = [](port::Key key, port::Modifiers) { return key == port::Key::kEscape || key == port::Key::kEnter; };
  host.on_timer = [this](int id) {
    if (id == kDotsTimer) OnDotsTimer();
  };

  host.Show();
  worker_.Start(
      Results(),
      [shared = shared_, window = this](const JobToken& job) {
        WindowSinks sinks(window, job);
        shared->job.Run(&sinks, &sinks);
        sinks.Done();
        shared->ended.set_value();
      },
      [shared = shared_] { shared->job.Stop(); });
  host.StartTimer(kDotsTimer, kDotsPeriodMs);
}

TransferWindow::~TransferWindow() {
  if (!worker_.Running()) return;
  shared_->stopped = true;
  worker_.Stop();
}

void TransferWindow::OnDotsTimer() {
  if (dotCount_ >= kMaxDots) dotCount_ = 0;
  dots_ = dotCount_ == 0 ? "." : dots_ + ".";
  ++dotCount_;
  status_->SetText(Gbk(kTransferText) + dots_);
  Host().StartTimer(kDotsTimer, kDotsPeriodMs);
}

void TransferWindow::Stop() {
  stop_->SetEnabled(false);
  stop_->SetText(Gbk("正在停止"));
  Host().Close();
}

void TransferWindow::Finish() { Host().Close(); }

TransferResult RunTransferWindow(WindowSet& windows, const std::string& caption, TransferRequest request,
                                 std::shared_future<void>* workerEnded) {
  auto shared = std::make_shared<TransferWindow::Shared>(std::move(request));
  if (workerEnded != nullptr) *workerEnded = shared->ended.get_future().share();
  windows.RunUntilClosed(windows.Open<TransferWindow>(caption, shared));
  // After a stop the worker may still be running: its job is not read.
  if (shared->stopped) return TransferResult{.text = "", .installed = false, .stopped = true};
  return shared->job.Result();
}

}  // namespace tavelo
