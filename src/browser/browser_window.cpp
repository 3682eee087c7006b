#include "browser/browser_window.h"

namespace tavelo {

BrowserWindow::BrowserWindow(const WindowSet::Slot& slot, const port::WindowOptions& options)
    : OwnedWindow(slot, options) {}

CWebBrowser2& BrowserWindow::AddBrowser(int id, StatusFrame frame, port::BrowserPolicy policy) {
  browsers_.push_back(std::make_unique<CWebBrowser2>(*Host().AddBrowser(id, policy), Platform(), frame));
  return *browsers_.back();
}

}  // namespace tavelo
