#include "windows/web_window.h"

#include "browser/window_placement.h"
#include "text/encoding.h"

namespace tavelo {

WebWindow::WebWindow(const WindowSet::Slot& slot, const PageHookup& hookup)
    : BrowserWindow(slot), browser_(AddBrowser(kBrowserId)) {
  port::WindowHost& host = Host();
  host.SetCaption(Gbk("网页浏览"));
  AttachCommandProtocol(browser_, Windows(), hookup);
  browser_.on_document_complete = [](const std::string&) {};

  host.on_resize = [this](Size) { Layout(); };
  AnswerBrowsingKeys(browser_);
  host.on_close_request = [&host] {
    host.Hide();
    host.Close();
  };

  PlaceOverWorkArea(host);
  host.Show();
  layoutReady_ = true;
  Layout();
}

void WebWindow::Layout() {
  if (!layoutReady_) return;
  Size client = Host().ClientSize();
  browser_.View().SetBounds(Rect::FromSize(0, 0, client.width, client.height));
}

int WebWindow::Open(const std::string& address) {
  Layout();
  if (address.empty()) return 1;
  browser_.Navigate(address);
  return 0;
}

WebWindow& OpenWebWindow(WindowSet& windows, const PageHookup& hookup, const std::string& address) {
  WebWindow& window = windows.Open<WebWindow>(hookup);
  window.Open(address);
  return window;
}

port::BrowserView* OpenPopupWebWindow(WindowSet& windows, const PageHookup& hookup) {
  WebWindow& window = windows.Open<WebWindow>(hookup);
  window.Open("");
  return window.Browser().GetApplication();
}

}  // namespace tavelo
