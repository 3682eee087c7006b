#pragma once
// The live-show window: a row of site buttons over a browser. Rooms opened
// from the site pages are not played here; each goes to a new program copy
// as a "cmd=PLAYMV|" play command, which opens a separate play window.

#include <string>
#include <vector>

#include "browser/browser_window.h"
#include "browser/command_gate.h"

namespace tavelo {

struct LiveSite {
  std::string name;          // GBK; also the button text
  std::string startAddress;  // "" hides the button
};

// The built-in sites in button order. "[LIVE_SITE_1]" to "[LIVE_SITE_5]" of
// `templatePath` replace the start addresses; the names stay. At most ten.
std::vector<LiveSite> LiveSiteTable(const std::string& templatePath);

// What a site button hands the browser: a bare host name gets "http://", as
// the desktop's own browser would assume; anything with a scheme is kept.
std::string SiteNavigationAddress(const std::string& startAddress);

class LiveShowWindow : public BrowserWindow {
 public:
  static constexpr int kFirstSiteButtonId = 1030;
  static constexpr int kMaxSites = 10;
  static constexpr int kBrowserId = 1011;
  static constexpr int kPopupSinkId = 1029;
  static constexpr int kHiddenStaticId = 1022;

  // Places and shows the window, then opens the first site.
  LiveShowWindow(const WindowSet::Slot& slot, const std::vector<LiveSite>& sites);

  CWebBrowser2& Browser() { return browser_; }
  int SiteCount() const { return siteCount_; }
  // Index of the selected site button, -1 before any.
  int SelectedSite() const { return selected_; }
  // As a click on site button `index` does.
  void SelectSite(int index);

 private:
  struct SiteButton {
    port::FlatButton* button = nullptr;
    LiveSite site;
  };

  std::vector<SiteButton> AddSiteButtons();
  void Layout();
  void OnBrowserNavigate(const PageNavigation& navigation, bool* cancel);
  void OnSinkNavigate(const PageNavigation& navigation, bool* cancel);
  // Whether a navigation may start a room's process: from a page of a site
  // the window lists (or the template names), on a click not yet spent.
  bool MayStartRoom(const PageNavigation& navigation);
  void Relaunch(const std::string& payload);

  // Buttons first: the browsers are added after them and must not hide them.
  std::vector<SiteButton> buttons_;
  CWebBrowser2& browser_;
  CWebBrowser2& popupSink_;
  port::Static* hiddenStatic_;
  std::vector<std::string> trustedHosts_;
  GestureLedger clicks_;
  int siteCount_ = 0;
  int selected_ = -1;
  int initialised_ = 0;
};

// The entry start-up calls for a "PLAYINDEXMV" play command: runs the window,
// with the sites of `templatePath`, until it has closed.
void RunLiveShowWindow(WindowSet& windows, const std::string& templatePath);

}  // namespace tavelo
