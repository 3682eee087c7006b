#pragma once
// A plain top-level browser window: one browser filling the client area. One
// is opened for the problem-report page and one for every pop-up a page asks
// for. Each is modeless and without owner; the window set keeps it until the
// user closes it.

#include <string>

#include "browser/browser_window.h"
#include "browser/command_hookup.h"

namespace tavelo {

class WebWindow : public BrowserWindow {
 public:
  static constexpr int kBrowserId = 1011;

  // Places and shows the window, its browser still empty.
  WebWindow(const WindowSet::Slot& slot, const PageHookup& hookup);

  // Lays out; an empty address leaves the browser empty (1), else navigates (0).
  int Open(const std::string& address);
  CWebBrowser2& Browser() { return browser_; }

 private:
  void Layout();

  CWebBrowser2& browser_;
  bool layoutReady_ = false;
};

// Opens a new web window on `address`.
WebWindow& OpenWebWindow(WindowSet& windows, const PageHookup& hookup, const std::string& address);

// The NewWindow2 rule of the main, search and web windows: a new web window
// that navigates nowhere receives the pop-up. Returns the target view. It is
// the pop-up opener a window set of the program is given.
port::BrowserView* OpenPopupWebWindow(WindowSet& windows, const PageHookup& hookup);

}  // namespace tavelo
