#include "browser/window_set.h"

#include <algorithm>

namespace tavelo {

WindowSet::WindowSet(port::Platform& platform, PopupOpener openPopup)
    : platform_(platform), openPopup_(std::move(openPopup)) {}

WindowSet::~WindowSet() { CloseAll(); }

void WindowSet::Adopt(std::unique_ptr<OwnedWindow> window) {
  OwnedWindow* adopted = window.get();
  windows_.push_back(std::move(window));
  adopted->Host().on_destroyed = [this, adopted] { Release(adopted); };
}

void WindowSet::Release(OwnedWindow* window) {
  auto it = std::find_if(windows_.begin(), windows_.end(), [&](const auto& w) { return w.get() == window; });
  if (it == windows_.end()) return;
  std::unique_ptr<OwnedWindow> gone = std::move(*it);
  windows_.erase(it);
  gone->hostGone_ = true;
  // Destroyed only now that the set no longer lists it: its destructor may
  // close further windows.
}

void WindowSet::RunUntilClosed(OwnedWindow& window) { platform_.RunModal(window.Host()); }

void WindowSet::CloseAll() {
  while (!windows_.empty()) {
    OwnedWindow* newest = windows_.back().get();
    newest->Host().Close();
    // A host that was already destroyed does not report again.
    if (!windows_.empty() && windows_.back().get() == newest) Release(newest);
  }
}

port::BrowserView* WindowSet::OpenPopup(const PageHookup& hookup) {
  return openPopup_ ? openPopup_(*this, hookup) : nullptr;
}

void ResultPoster::Post(std::function<void()> task) const {
  std::lock_guard lock(channel_->mutex);
  if (channel_->host != nullptr) channel_->host->Post(std::move(task));
}

OwnedWindow::OwnedWindow(const WindowSet::Slot& slot, const port::WindowOptions& options)
    : windows_(slot.Windows()),
      host_(windows_.Platform().CreateWindow(options)),
      results_(std::make_shared<ResultPoster::Channel>()) {
  results_->host = &host_;
}

OwnedWindow::~OwnedWindow() {
  {
    std::lock_guard lock(results_->mutex);
    results_->host = nullptr;
  }
  if (!hostGone_) {
    host_.on_destroyed = nullptr;
    host_.Close();
  }
}

}  // namespace tavelo
