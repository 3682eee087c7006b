#include "playback/live_show_window.h"

#include <algorithm>

#include "base/program_paths.h"
#include "browser/command_protocol.h"
#include "playback/popup_sink.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/template_file.h"
#include "windows/web_window.h"

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

std::unique_ptr<LiveShowWindow> LiveShowWindow::Create(port::Platform& platform, const std::vector<LiveSite>& sites) {
  std::unique_ptr<LiveShowWindow> window(new LiveShowWindow(platform));
  window->Initialise(sites);
  return window;
}

LiveShowWindow::LiveShowWindow(port::Platform& platform)
    : platform_(platform), host_(platform.CreateWindow(port::WindowOptions{})) {}

LiveShowWindow::~LiveShowWindow() {
  if (!hostAlive_) return;
  DetachFromHost();
  host_.Close();
}

void LiveShowWindow::DetachFromHost() {
  browser_.reset();
  popupSink_.reset();
  for (SiteButton& b : buttons_) b.button->on_click = nullptr;
  host_.on_resize = nullptr;
  host_.on_key = nullptr;
  host_.on_destroyed = nullptr;
}

void LiveShowWindow::Initialise(const std::vector<LiveSite>& sites) {
  host_.SetCaption(Gbk("美女直播"));
  // Buttons first: the browsers are added after them and must not hide them.
  for (int i = 0; i < kMaxSites; ++i) {
    port::FlatButton* button = host_.AddFlatButton(kFirstSiteButtonId + i, Gbk("直播") + std::to_string(i + 1));
    button->on_click = [this, i] { SelectSite(i); };
    buttons_.push_back({button, {}});
  }
  browser_ = std::make_unique<CWebBrowser2>(*host_.AddBrowser(kBrowserId, port::BrowserPolicy::kFull), platform_);
  popupSink_ = std::make_unique<CWebBrowser2>(*host_.AddBrowser(kPopupSinkId, port::BrowserPolicy::kFull), platform_);
  hiddenStatic_ = host_.AddStatic(kHiddenStaticId, "");
  browser_->on_before_navigate = [this](const std::string& a, bool* cancel) { OnBrowserNavigate(a, cancel); };
  browser_->on_new_window = [this] { return popupSink_->GetApplication(); };
  popupSink_->on_before_navigate = [this](const std::string& a, bool* cancel) { OnSinkNavigate(a, cancel); };

  host_.on_resize = [this](Size) { Layout(); };
  // A stray Escape must not end the process and its live room.
  host_.on_key = [](port::Key key) { return key == port::Key::kEscape; };
  host_.on_destroyed = [this] {
    hostAlive_ = false;
    DetachFromHost();
  };

  PlaceOverWorkArea(host_);
  host_.Show();

  siteCount_ = 0;
  for (const LiveSite& site : sites) {
    if (siteCount_ >= kMaxSites || site.name == "end") break;
    buttons_[static_cast<size_t>(siteCount_)].site = site;
    buttons_[static_cast<size_t>(siteCount_)].button->SetText(site.name);
    ++siteCount_;
  }
  initialised_ = 1;
  Layout();
  SelectSite(0);
}

void LiveShowWindow::Layout() {
  if (initialised_ == 0) return;
  Size client = host_.ClientSize();
  hiddenStatic_->SetBounds(Rect::FromSize(0, client.height, client.width, 0));
  hiddenStatic_->SetVisible(false);
  popupSink_->View().SetBounds(PopupSinkBounds(client));
  browser_->View().SetBounds(Rect::FromSize(0, kBrowserTop, client.width, std::max(client.height - kBrowserTop, 0)));
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
  host_.SetCaption(site.name + Gbk(" 视频直播"));
  browser_->Navigate(SiteNavigationAddress(site.startAddress));
}

void LiveShowWindow::OnBrowserNavigate(const std::string& address, bool* cancel) {
  size_t query = address.find(kPlayMvQuery);
  if (query == std::string::npos) return;
  Relaunch(address.substr(query));
  *cancel = true;
}

void LiveShowWindow::OnSinkNavigate(const std::string& address, bool* cancel) {
  *cancel = true;
  // A pop-up often starts empty and gets its address a moment later; only
  // that address is a room.
  if (address.empty() || address.rfind("about:", 0) == 0) return;
  // "|" separates the command's fields, so one inside the address is escaped.
  Relaunch("cmd=PLAYMV|" + ReplaceAll(address, "|", "%7C") + "|" + Gbk("视频直播") + "|");
}

void LiveShowWindow::Relaunch(const std::string& payload) {
  platform_.StartProcess(RelaunchArguments(payload));
}

void RunLiveShowWindow(port::Platform& platform) {
  auto window = LiveShowWindow::Create(platform, LiveSiteTable(ModuleDirectory() + "data/main.htm"));
  platform.RunModal(window->Host());
}

}  // namespace tavelo
