#include "browser/window_set.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "browser/browser_window.h"
#include "browser/command_hookup.h"
#include "fakes/fake_port.h"

namespace tavelo {
namespace {

using fakes::FakePlatform;

// A window that writes its name to `ends` when it is destroyed and counts in
// `events` whatever reaches it. Every handler goes through `this`, so one
// that ran after the window was freed would show under AddressSanitizer.
class ProbeWindow : public BrowserWindow {
 public:
  static constexpr int kBrowserId = 7;
  static constexpr int kTimer = 1;

  ProbeWindow(const WindowSet::Slot& slot, std::string name, std::vector<std::string>& ends, int& events,
              bool closesOthers = false)
      : BrowserWindow(slot),
        name_(std::move(name)),
        ends_(ends),
        events_(events),
        closesOthers_(closesOthers),
        browser_(AddBrowser(kBrowserId)) {
    browser_.on_before_navigate = [this](const PageNavigation&, bool* cancel) { *cancel = Count(); };
    browser_.on_new_window = [this] { return Count() ? browser_.GetApplication() : nullptr; };
    Host().on_timer = [this](int) { Count(); };
  }
  ~ProbeWindow() override {
    ends_.push_back(name_);
    // As the portal's main window does: the others depend on it.
    if (closesOthers_) Windows().CloseAll();
  }
  // A worker's result, handed over the way a worker thread hands it.
  void PostResult() {
    Results().Post([this] { Count(); });
  }

 private:
  bool Count() { return ++events_ > 0; }

  std::string name_;
  std::vector<std::string>& ends_;
  int& events_;
  bool closesOthers_;
  CWebBrowser2& browser_;
};

class FailingWindow : public OwnedWindow {
 public:
  explicit FailingWindow(const WindowSet::Slot& slot) : OwnedWindow(slot, {}) {
    throw std::runtime_error("construction failed");
  }
};

class WindowSetTest : public ::testing::Test {
 protected:
  ProbeWindow& Open(const std::string& name, bool closesOthers = false) {
    return windows.Open<ProbeWindow>(name, ends, events, closesOthers);
  }

  FakePlatform platform;
  std::vector<std::string> ends;
  int events = 0;
  WindowSet windows{platform};
};

TEST_F(WindowSetTest, ClosingDestroysThatWindowThroughTheSet) {
  Open("a");
  ProbeWindow& b = Open("b");
  Open("c");
  EXPECT_EQ(&b.Host(), &platform.Window(1));
  platform.Window(1).RequestClose();
  EXPECT_TRUE(platform.Window(1).destroyed);
  EXPECT_EQ(ends, std::vector<std::string>{"b"});
  EXPECT_EQ(windows.Count(), 2);
  EXPECT_EQ(&windows.Find<ProbeWindow>()->Host(), &platform.Window(0));
  EXPECT_EQ(platform.LiveWindows().size(), 2u);
}

TEST_F(WindowSetTest, TheSetClosesWhatIsLeftNewestFirst) {
  {
    WindowSet scoped(platform);
    scoped.Open<ProbeWindow>("first", ends, events);
    scoped.Open<ProbeWindow>("pop-up", ends, events);
  }
  EXPECT_EQ(ends, (std::vector<std::string>{"pop-up", "first"}));
  EXPECT_TRUE(platform.LiveWindows().empty());
}

TEST_F(WindowSetTest, AWindowMayCloseTheOthersAsItEnds) {
  Open("main", true);
  Open("search");
  Open("web");
  platform.Window(0).RequestClose();
  EXPECT_EQ(ends, (std::vector<std::string>{"main", "web", "search"}));
  EXPECT_EQ(windows.Count(), 0);
  EXPECT_EQ(windows.Find<ProbeWindow>(), nullptr);
}

TEST_F(WindowSetTest, NothingReachesAClosedWindow) {
  struct Case {
    const char* what;
    // Arranged while the window is open, done after it has closed.
    std::function<void(ProbeWindow&)> before;
    std::function<void(fakes::FakeWindowHost&)> after;
  } cases[] = {
      {"timer", [](ProbeWindow& w) { w.Host().StartTimer(ProbeWindow::kTimer, 100); },
       [](fakes::FakeWindowHost& h) { EXPECT_FALSE(h.FireTimer(ProbeWindow::kTimer)); }},
      {"worker result posted before", [](ProbeWindow& w) { std::thread([&w] { w.PostResult(); }).join(); },
       [](fakes::FakeWindowHost& h) { h.RunPosted(); }},
      {"worker result posted after",
       [](ProbeWindow& w) {
         ResultPoster results = w.Results();
         w.Host().Close();
         std::thread([results] { results.Post([] { FAIL() << "ran for a closed window"; }); }).join();
       },
       [](fakes::FakeWindowHost& h) { EXPECT_TRUE(h.posted.empty()); }},
      {"page navigation",
       [](ProbeWindow&) {},
       [](fakes::FakeWindowHost& h) { EXPECT_FALSE(h.Browser(ProbeWindow::kBrowserId)->FireBeforeNavigate("http://h/")); }},
      {"pop-up request",
       [](ProbeWindow&) {},
       [](fakes::FakeWindowHost& h) { EXPECT_EQ(h.Browser(ProbeWindow::kBrowserId)->FireNewWindow(), nullptr); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform p;
    WindowSet set(p);
    int reached = 0;
    ProbeWindow& window = set.Open<ProbeWindow>("w", ends, reached);
    c.before(window);
    p.Window(0).Close();
    c.after(p.Window(0));
    EXPECT_EQ(reached, 0);
  }
}

TEST_F(WindowSetTest, AWorkerResultReachesAnOpenWindow) {
  ProbeWindow& window = Open("w");
  std::thread([&window] { window.PostResult(); }).join();
  platform.Window(0).RunPosted();
  EXPECT_EQ(events, 1);
}

TEST_F(WindowSetTest, AFailedConstructionTakesItsHostAlong) {
  EXPECT_THROW(windows.Open<FailingWindow>(), std::runtime_error);
  EXPECT_EQ(windows.Count(), 0);
  ASSERT_EQ(platform.windows.size(), 1u);
  EXPECT_TRUE(platform.Window(0).destroyed);
}

TEST_F(WindowSetTest, PopupsOpenThroughTheApplicationsOpenerOrAreRefused) {
  EXPECT_EQ(windows.OpenPopup(CommandHookup(nullptr, "")), nullptr);

  fakes::FakeBrowserView target(port::BrowserPolicy::kFull);
  std::vector<bool> cancels;
  WindowSet withOpener(platform, [&](WindowSet& set, const PageHookup& hookup) {
    EXPECT_EQ(&set, &withOpener);
    PageNavigation navigation;
    navigation.address = "x";
    cancels.push_back(hookup.run_page_command && hookup.run_page_command(navigation));
    return &target;
  });
  PageHookup hookup;
  hookup.run_page_command = [](const PageNavigation&) { return true; };
  EXPECT_EQ(withOpener.OpenPopup(hookup), &target);
  EXPECT_EQ(cancels, std::vector<bool>{true});
}

}  // namespace
}  // namespace tavelo
