#include "companion/transfer_window.h"

#include <functional>
#include <mutex>
#include <thread>

#include "text/encoding.h"

namespace tavelo {

namespace {

constexpr const char* kTransferText = "数据传送中";
constexpr int kMaxDots = 6;

}  // namespace

struct TransferWindow::Shared {
  explicit Shared(TransferRequest request) : job(std::move(request)) {}

  // Runs `task` on the user-interface thread while the window exists. The
  // lock keeps the window from going away while a task is handed over; the
  // host drops tasks that arrive after it has gone.
  void PostToWindow(std::function<void(TransferWindow&)> task) {
    std::lock_guard<std::mutex> guard(lock);
    if (window == nullptr) return;
    TransferWindow* target = window;
    target->host_.Post([target, task = std::move(task)] { task(*target); });
  }
  bool WindowOpen() {
    std::lock_guard<std::mutex> guard(lock);
    return window != nullptr;
  }

  TransferJob job;
  std::mutex lock;
  TransferWindow* window = nullptr;
  std::promise<void> ended;
};

// The downloader's sinks on the worker's side: each report becomes a task
// for the window's controls.
class TransferWindow::WindowSinks : public StatusSink, public ProgressSink {
 public:
  explicit WindowSinks(Shared& shared) : shared_(shared) {}
  bool IsAlive() const override { return shared_.WindowOpen(); }
  void SetStatusText(const std::string& gbk) override {
    shared_.PostToWindow([gbk](TransferWindow& window) { window.bytes_->SetText(gbk); });
  }
  void SetRange(int lower, int upper) override {
    shared_.PostToWindow([lower, upper](TransferWindow& window) { window.bar_->SetRange(lower, upper); });
  }
  void SetPosition(int position) override {
    shared_.PostToWindow([position](TransferWindow& window) { window.bar_->SetPosition(position); });
  }

 private:
  Shared& shared_;
};

TransferWindow::TransferWindow(port::Platform& platform, const std::string& caption, TransferRequest request)
    : platform_(platform),
      host_(platform.CreateWindow(port::WindowOptions{.modal = true, .taskbarButton = false, .resizable = false})),
      shared_(std::make_shared<Shared>(std::move(request))),
      workerEnded_(shared_->ended.get_future().share()) {
  shared_->window = this;
  host_.SetCaption(caption);
  Rect work = host_.WorkArea();
  Rect box = DialogUnits(0, 0, 188, 105);
  host_.Place(Rect::FromSize(work.left + (work.Width() - box.Width()) / 2,
                             work.top + (work.Height() - box.Height()) / 2, box.Width(), box.Height()));
  status_ = host_.AddStatic(kStatusId, Gbk(kTransferText));
  status_->SetBounds(DialogUnits(7, 14, 174, 10));
  bar_ = host_.AddProgressBar(kBarId);
  bar_->SetBounds(DialogUnits(7, 37, 174, 11));
  bytes_ = host_.AddStatic(kBytesId, Gbk(kTransferText));
  bytes_->SetBounds(DialogUnits(7, 53, 174, 10));
  stop_ = host_.AddButton(kStopId, Gbk("停止传送数据"));
  stop_->SetBounds(DialogUnits(58, 82, 72, 16));
  stop_->on_click = [this] { Stop(); };
  // Closing the window is stopping the transfer; Escape and Enter do nothing.
  host_.on_close_request = [this] { Stop(); };
  host_.on_key = [](port::Key key) { return key != port::Key::kOther; };
  host_.on_timer = [this](int id) {
    if (id == kDotsTimer) OnDotsTimer();
  };
  host_.on_destroyed = [this] { Detach(); };
}

TransferWindow::~TransferWindow() {
  if (!open_) return;
  shared_->job.Stop();
  host_.Close();
}

TransferResult TransferWindow::Run() {
  host_.Show();
  std::thread([shared = shared_] {
    WindowSinks sinks(*shared);
    shared->job.Run(&sinks, &sinks);
    // The window ends by itself once the job is done.
    shared->PostToWindow([](TransferWindow& window) { window.host_.Close(); });
    shared->ended.set_value();
  }).detach();
  host_.StartTimer(kDotsTimer, kDotsPeriodMs);
  platform_.RunModal(host_);
  if (open_) {
    // The modal run ended without the window: treat it as a stop.
    shared_->job.Stop();
    stopped_ = true;
    host_.Close();
  }
  // After a stop the worker may still be running: its job is not read.
  if (stopped_) return TransferResult{.text = "", .installed = false, .stopped = true};
  return shared_->job.Result();
}

void TransferWindow::OnDotsTimer() {
  if (dotCount_ >= kMaxDots) dotCount_ = 0;
  dots_ = dotCount_ == 0 ? "." : dots_ + ".";
  ++dotCount_;
  status_->SetText(Gbk(kTransferText) + dots_);
  host_.StartTimer(kDotsTimer, kDotsPeriodMs);
}

void TransferWindow::Stop() {
  if (!open_) return;
  shared_->job.Stop();
  stopped_ = true;
  stop_->SetEnabled(false);
  stop_->SetText(Gbk("正在停止"));
  host_.Close();
}

void TransferWindow::Detach() {
  {
    std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->window = nullptr;
  }
  open_ = false;
}

}  // namespace tavelo
