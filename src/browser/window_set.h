#pragma once
// The one owner of a process's open windows. A window is made through the
// set and lives exactly as long as its host: when the host is destroyed (the
// user closed it, or the set closes it), the set destroys the window object.
// No window frees itself, and nothing else keeps a window.

#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "base/program_paths.h"
#include "port/window_host.h"

namespace tavelo {

class OwnedWindow;
struct PageHookup;

class WindowSet {
 public:
  // Opens the plain browser window that receives a page's pop-up, with the
  // pages' commands going where `hookup` says; returns its fresh view, or
  // nullptr to refuse the pop-up. The application supplies it, so that a
  // window of any layer can hand a pop-up on without knowing that window.
  using PopupOpener = std::function<port::BrowserView*(WindowSet& windows, const PageHookup& hookup)>;

  // Proof that a window is being made by a set: only Open makes one, so a
  // window cannot be made on the stack or by `new` and outlive its host.
  class Slot {
   public:
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;
    WindowSet& Windows() const { return windows_; }

   private:
    friend class WindowSet;
    explicit Slot(WindowSet& windows) : windows_(windows) {}
    WindowSet& windows_;
  };

  explicit WindowSet(port::Platform& platform, PopupOpener openPopup = nullptr);
  // Closes the windows still open; each goes with its host.
  ~WindowSet();
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  port::Platform& Platform() const { return platform_; }
  // The program folder the windows read and write their files in; until it
  // is set, paths resolve against the current directory.
  const ProgramPaths& Paths() const { return paths_; }
  void SetPaths(ProgramPaths paths) { paths_ = std::move(paths); }

  // Makes W(slot, args...) and keeps it until its host is destroyed.
  template <typename W, typename... Args>
  W& Open(Args&&... args);
  // The oldest open window of type W, or nullptr.
  template <typename W>
  W* Find() const;
  // Every open window of type W, oldest first.
  template <typename W>
  std::vector<W*> FindAll() const;
  int Count() const { return static_cast<int>(windows_.size()); }

  // Runs the desktop until `window` has closed; it is gone when this returns.
  void RunUntilClosed(OwnedWindow& window);
  // Closes every window, newest first, so pop-ups go before their openers.
  void CloseAll();
  // The opener given at construction; nullptr when pop-ups are refused.
  port::BrowserView* OpenPopup(const PageHookup& hookup);

 private:
  void Adopt(std::unique_ptr<OwnedWindow> window);
  void Release(OwnedWindow* window);

  port::Platform& platform_;
  ProgramPaths paths_;
  PopupOpener openPopup_;
  std::vector<std::unique_ptr<OwnedWindow>> windows_;
};

// Hands work from another thread to a window on the user-interface thread.
// A worker keeps its own copy; once the window is gone, what it posts is
// dropped instead of reaching freed memory.
class ResultPoster {
 public:
  void Post(std::function<void()> task) const;

 private:
  friend class OwnedWindow;
  struct Channel {
    std::mutex mutex;
    port::WindowHost* host = nullptr;
  };
  explicit ResultPoster(std::shared_ptr<Channel> channel) : channel_(std::move(channel)) {}
  std::shared_ptr<Channel> channel_;
};

// A top-level window of the program: its host and its place in the set.
class OwnedWindow {
 public:
  virtual ~OwnedWindow();
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;

  port::WindowHost& Host() const { return host_; }
  // For workers of this window; safe to use after the window has closed.
  ResultPoster Results() const { return ResultPoster(results_); }

 protected:
  OwnedWindow(const WindowSet::Slot& slot, const port::WindowOptions& options);
  WindowSet& Windows() const { return windows_; }
  port::Platform& Platform() const { return windows_.Platform(); }
  const ProgramPaths& Paths() const { return windows_.Paths(); }

 private:
  friend class WindowSet;

  WindowSet& windows_;
  port::WindowHost& host_;
  // Set by the set once the host is gone; until then the window still
  // answers for it (a constructor that failed half-way).
  bool hostGone_ = false;
  std::shared_ptr<ResultPoster::Channel> results_;
};

template <typename W, typename... Args>
W& WindowSet::Open(Args&&... args) {
  Slot slot(*this);
  auto window = std::make_unique<W>(slot, std::forward<Args>(args)...);
  W& opened = *window;
  Adopt(std::move(window));
  return opened;
}

template <typename W>
W* WindowSet::Find() const {
  for (const auto& window : windows_) {
    if (auto* found = dynamic_cast<W*>(window.get())) return found;
  }
  return nullptr;
}

template <typename W>
std::vector<W*> WindowSet::FindAll() const {
  std::vector<W*> all;
  for (const auto& window : windows_) {
    if (auto* found = dynamic_cast<W*>(window.get())) all.push_back(found);
  }
  return all;
}

}  // namespace tavelo
