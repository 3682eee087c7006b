#include "windows/web_window.h"

#include <atomic>

#include "text/encoding.h"

namespace tavelo {

namespace {

std::atomic<int> liveWindows{0};

}  // namespace

void PlaceOverWorkArea(port::WindowHost& host) {
  // The work area's right and bottom edges, not its size, as the windows
  // always measured it.
  Rect work = host.WorkArea();
  host.Place(Rect::FromSize(20, 10, work.right - 40, work.bottom - 20));
}

WebWindowContext CommandWebContext(port::Platform& platform, CommandTarget* commands) {
  WebWindowContext context{&platform, nullptr};
  if (commands != nullptr) {
    context.run_page_command = [commands](const std::string& address) {
      return HandleCommandNavigation(address, *commands);
    };
  }
  return context;
}

void AttachCommandProtocol(CWebBrowser2& browser, const WebWindowContext& context) {
  browser.on_before_navigate = [context](const std::string& address, bool* cancel) {
    if (context.run_page_command && context.run_page_command(address)) *cancel = true;
  };
  browser.on_new_window = [context]() { return OpenPopupWebWindow(context); };
}

WebWindow& WebWindow::Create(const WebWindowContext& context) {
  // Owned by itself from here on: OnDestroyed deletes it.
  auto* window = new WebWindow(context);
  return *window;
}

int WebWindow::LiveCount() { return liveWindows.load(); }

WebWindow::WebWindow(const WebWindowContext& context)
    : context_(context), host_(context.platform->CreateWindow(port::WindowOptions{})) {
  ++liveWindows;
  host_.SetCaption(Gbk("网页浏览"));
  browser_ = std::make_unique<CWebBrowser2>(*host_.AddBrowser(kBrowserId, port::BrowserPolicy::kFull),
                                            *context_.platform);

  AttachCommandProtocol(*browser_, context_);
  browser_->on_document_complete = [](const std::string&) {};

  host_.on_resize = [this](Size) { Layout(); };
  host_.on_key = [](port::Key key) {
    // Escape would close a dialog; Enter must reach the page (forms).
    return key == port::Key::kEscape;
  };
  host_.on_close_request = [this] {
    host_.Hide();
    host_.Close();
  };
  host_.on_destroyed = [this] { OnDestroyed(); };

  PlaceOverWorkArea(host_);
  host_.Show();
  layoutReady_ = 1;
  Layout();
}

WebWindow::~WebWindow() { --liveWindows; }

void WebWindow::OnDestroyed() { delete this; }

void WebWindow::Layout() {
  if (layoutReady_ != 1) return;
  Size client = host_.ClientSize();
  browser_->View().SetBounds(Rect::FromSize(0, 0, client.width, client.height));
}

int WebWindow::Open(const std::string& address) {
  Layout();
  if (address.empty()) return 1;
  browser_->Navigate(address);
  return 0;
}

WebWindow& OpenWebWindow(const WebWindowContext& context, const std::string& address) {
  WebWindow& window = WebWindow::Create(context);
  window.Open(address);
  return window;
}

port::BrowserView* OpenPopupWebWindow(const WebWindowContext& context) {
  WebWindow& window = WebWindow::Create(context);
  window.Open("");
  return window.Browser().GetApplication();
}

}  // namespace tavelo
