#include "browser/browser_window.h"

#include "text/encoding.h"

namespace tavelo {

BrowserWindow::BrowserWindow(const WindowSet::Slot& slot, const port::WindowOptions& options)
    : OwnedWindow(slot, options) {
  Host().on_key = [this](port::Key key, port::Modifiers modifiers) { return OnKey(key, modifiers); };
}

void BrowserWindow::NameSearchBox(port::Edit& box) { box.SetAccessibleName(Gbk("搜索视频")); }

CWebBrowser2& BrowserWindow::AddBrowser(int id, StatusFrame frame, port::BrowserPolicy policy) {
  browsers_.push_back(std::make_unique<CWebBrowser2>(*Host().AddBrowser(id, policy), Platform(), frame, &Host()));
  return *browsers_.back();
}

bool BrowserWindow::OnKey(port::Key key, port::Modifiers modifiers) {
  switch (ShortcutOf(key, modifiers)) {
    case Shortcut::kBack:
      if (!browsingKeys_) break;
      browsingKeys_->GoBack();
      return true;
    case Shortcut::kForward:
      if (!browsingKeys_) break;
      browsingKeys_->GoForward();
      return true;
    case Shortcut::kReload:
      if (!browsingKeys_) break;
      browsingKeys_->Reload();
      return true;
    case Shortcut::kCloseWindow:
      if (!browsingKeys_) break;
      RequestClose();
      return true;
    case Shortcut::kSearchBox:
      if (!searchBox_) break;
      searchBox_->Focus();
      searchBox_->SelectAll();
      return true;
    case Shortcut::kNone:
      break;
  }
  if (key == port::Key::kEscape && escapeCloses_) {
    RequestClose();
    return true;
  }
  return OnOtherKey(key);
}

void BrowserWindow::RequestClose() {
  port::WindowHost& host = Host();
  if (host.on_close_request) {
    host.on_close_request();
  } else {
    host.Close();
  }
}

bool BrowserWindow::OnOtherKey(port::Key key) { return key == port::Key::kEscape; }

}  // namespace tavelo
