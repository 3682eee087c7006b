#include "playback/live_show_window.h"

#include <algorithm>

#include "browser/command_protocol.h"
#include "browser/window_placement.h"
#include "catalogue/site_config.h"
#include "playback/popup_sink.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/template_file.h"
#include "text/url_text.h"

namespace tavelo {

namespace {

constexpr std::string_view kPlayMvQuery = "?cmd=PLAYMV";

// Button row geometry, in client pixels.
constexpr int kButtonTop = 3, kButtonWidth = 80, kButtonHeight = 25, kButtonStep = 85, kFirstButtonX = 10;
constexpr int kBrowserTop = 30;

struct BuiltInSite {
  std::string_view utf8Name;
  std::string_view startAddress;
};

// The first is a bare host name, the way the site is usually typed.
constexpr BuiltInSite kBuiltInSites[] = {
    {"六间房", "www.6.cn"},
    {"我秀直播", "http://www.woxiu.com/"},
    {"YY直播", "http://www.yy.com/show"},
    {"69秀", "http://www.69xiu.com/"},
    {"新浪秀场", "http://show.sina.com.cn/"},
};

}  // namespace

std::vector<LiveSite> LiveSiteTable(const std::string& templatePath) {
  TemplateFile templates;
  templates.Load(templatePath);
  std::vector<LiveSite> sites;
  int number = 1;
  for (const BuiltInSite& builtIn : kBuiltInSites) {
    std::string configured(Trim(templates.GetValue("[LIVE_SITE_" + std::to_string(number++) + "]")));
    sites.push_back({Gbk(builtIn.utf8Name), configured.empty() ? std::string(builtIn.startAddress) : configured});
  }
  return sites;
}

std::string SiteNavigationAddress(const std::string& startAddress) {
  if (startAddress.empty() || startAddress.find("://") != std::string::npos ||
      startAddress.rfind("about:", 0) == 0) {
    return startAddress;
  }
  return "http://" + startAddress;
}

LiveShowWindow::LiveShowWindow(const WindowSet::Slot& slot, const std::vector<LiveSite>& sites)
    : BrowserWindow(slot),
      buttons_(AddSiteButtons()),
      browser_(AddBrowser(kBrowserId)),
      popupSink_(AddBrowser(kPopupSinkId)),
      hiddenStatic_(Host().AddStatic(kHiddenStaticId, "")) {
  port::WindowHost& host = Host();
  host.SetCaption(Gbk("美女直播"));
  browser_.on_before_navigate = [this](const PageNavigation& n, bool* cancel) { OnBrowserNavigate(n, cancel); };
  browser_.on_new_window = [this] { return popupSink_.GetApplication(); };
  popupSink_.on_before_navigate = [this](const PageNavigation& n, bool* cancel) { OnSinkNavigate(n, cancel); };

  host.on_resize = [this](Size) { Layout(); };
  AnswerBrowsingKeys(browser_);
  // Escape closes the window, as a dialog's does; the rooms it opened play
  // on in their own processes. Enter belongs to the site's page (its search
  // box, its login form) and closes nothing.
  CloseOnEscape();

  PlaceOverWorkArea(host);
  host.Show();

  siteCount_ = 0;
  for (const LiveSite& site : sites) {
    if (siteCount_ >= kMaxSites || site.name == "end") break;
    buttons_[static_cast<size_t>(siteCount_)].site = site;
    buttons_[static_cast<size_t>(siteCount_)].button->SetText(site.name);
    ++siteCount_;
  }
  trustedHosts_ = TrustedPageHosts(Paths().Template());
  for (const SiteButton& b : buttons_) {
    trustedHosts_.push_back(WebHostAndPort(SiteNavigationAddress(b.site.startAddress)));
  }
  initialised_ = 1;
  Layout();
  SelectSite(0);
}

std::vector<LiveShowWindow::SiteButton> LiveShowWindow::AddSiteButtons() {
  std::vector<SiteButton> buttons;
  for (int i = 0; i < kMaxSites; ++i) {
    port::FlatButton* button = Host().AddFlatButton(kFirstSiteButtonId + i, Gbk("直播") + std::to_string(i + 1));
    button->on_click = [this, i] { SelectSite(i); };
    buttons.push_back({button, {}});
  }
  return buttons;
}

void LiveShowWindow::Layout() {
  if (initialised_ == 0) return;
  Size client = Host().ClientSize();
  hiddenStatic_->SetBounds(Rect::FromSize(0, client.height, client.width, 0));
  hiddenStatic_->SetVisible(false);
  popupSink_.View().SetBounds(PopupSinkBounds(client));
  browser_.View().SetBounds(Rect::FromSize(0, kBrowserTop, client.width, std::max(client.height - kBrowserTop, 0)));
  int x = kFirstButtonX;
  for (SiteButton& b : buttons_) {
    if (b.site.startAddress.empty()) {
      b.button->SetVisible(false);
      continue;
    }
    b.button->SetBounds(Rect::FromSize(x, kButtonTop, kButtonWidth, kButtonHeight));
    b.button->SetVisible(true);
    x += kButtonStep;
  }
}

void LiveShowWindow::SelectSite(int index) {
  if (index < 0 || index >= static_cast<int>(buttons_.size())) return;
  const LiveSite& site = buttons_[static_cast<size_t>(index)].site;
  if (site.startAddress.empty()) return;
  selected_ = index;
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i].button->SetSelected(static_cast<int>(i) == index ? 1 : 0);
  }
  Host().SetCaption(site.name + Gbk(" 视频直播"));
  browser_.Navigate(SiteNavigationAddress(site.startAddress));
}

bool LiveShowWindow::MayStartRoom(const PageNavigation& navigation) {
  return FromTrustedPage(navigation.pageAddress, trustedHosts_) && clicks_.Spend(navigation);
}

void LiveShowWindow::OnBrowserNavigate(const PageNavigation& navigation, bool* cancel) {
  const std::string& address = navigation.address;
  size_t query = address.find(kPlayMvQuery);
  if (query == std::string::npos) return;
  *cancel = true;
  if (MayStartRoom(navigation)) Relaunch(address.substr(query));
}

void LiveShowWindow::OnSinkNavigate(const PageNavigation& navigation, bool* cancel) {
  *cancel = true;
  const std::string& address = navigation.address;
  // A pop-up often starts empty and gets its address a moment later; only
  // that address is a room.
  if (address.empty() || address.rfind("about:", 0) == 0 || !MayStartRoom(navigation)) return;
  // "|" separates the command's fields, so one inside the address is escaped.
  Relaunch("cmd=PLAYMV|" + ReplaceAll(address, "|", "%7C") + "|" + Gbk("视频直播") + "|");
}

void LiveShowWindow::Relaunch(const std::string& payload) {
  Platform().StartProcess(RelaunchArguments(payload));
}

void RunLiveShowWindow(WindowSet& windows, const std::string& templatePath) {
  windows.RunUntilClosed(windows.Open<LiveShowWindow>(LiveSiteTable(templatePath)));
}

}  // namespace tavelo
