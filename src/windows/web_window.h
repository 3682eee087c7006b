#pragma once
// A plain top-level browser window: one browser filling the client area. One
// is opened for the problem-report page and one for every pop-up a page asks
// for. Each is modeless, without owner, and deletes itself when closed; the
// process keeps no list of them.

#include <functional>
#include <memory>
#include <string>

#include "browser/command_protocol.h"
#include "browser/web_browser.h"
#include "port/window_host.h"

namespace tavelo {

// What every web window needs from the program: the platform it lives on and
// the handler of page command addresses (true when the address was a command,
// which cancels the navigation). Without a handler every navigation proceeds.
struct WebWindowContext {
  port::Platform* platform = nullptr;
  std::function<bool(const std::string& address)> run_page_command;
};

// The big windows (portal, web, live shows) open over the work area, 20
// pixels in from its left and right edges and 10 from its top and bottom.
void PlaceOverWorkArea(port::WindowHost& host);

// Web windows whose pages' command addresses go to `commands` (none: every
// navigation proceeds).
WebWindowContext CommandWebContext(port::Platform& platform, CommandTarget* commands);

// The rule of every window that shows the portal's pages: command
// addresses are carried out (and cancelled), pop-ups open in web windows.
void AttachCommandProtocol(CWebBrowser2& browser, const WebWindowContext& context);

class WebWindow {
 public:
  static constexpr int kBrowserId = 1011;

  // Creates, places and shows a new window; it lives until the user closes it.
  static WebWindow& Create(const WebWindowContext& context);

  // Lays out; an empty address leaves the browser empty (1), else navigates (0).
  int Open(const std::string& address);
  CWebBrowser2& Browser() { return *browser_; }
  port::WindowHost& Host() { return host_; }

  // Live windows in this process, for tests and the developer program.
  static int LiveCount();

 private:
  explicit WebWindow(const WebWindowContext& context);
  ~WebWindow();
  void Layout();
  void OnDestroyed();

  WebWindowContext context_;
  port::WindowHost& host_;
  std::unique_ptr<CWebBrowser2> browser_;
  int layoutReady_ = 0;
};

// Opens a new web window on `address`.
WebWindow& OpenWebWindow(const WebWindowContext& context, const std::string& address);

// The NewWindow2 rule of the main, search and web windows: a new web window
// that navigates nowhere receives the pop-up. Returns the target view.
port::BrowserView* OpenPopupWebWindow(const WebWindowContext& context);

}  // namespace tavelo
