#pragma once
// The base of every window that shows pages: it makes the window's browsers
// and owns them. The set destroys the window with its host, and with it
// every browser wrapper, which unhooks from its view: no event of a closed
// window's pages reaches window logic, and no pointer into the host stays.
// A window type adds only its own controls, layout and logic.

#include <memory>
#include <vector>

#include "browser/web_browser.h"
#include "browser/window_set.h"

namespace tavelo {

class BrowserWindow : public OwnedWindow {
 protected:
  BrowserWindow(const WindowSet::Slot& slot, const port::WindowOptions& options = {});

  // A browser view on the host under `id`, with the wrapper the window talks
  // to; `frame` is the one its status pages show in.
  CWebBrowser2& AddBrowser(int id, StatusFrame frame = StatusFrame::kGrey,
                           port::BrowserPolicy policy = port::BrowserPolicy::kFull);

 private:
  std::vector<std::unique_ptr<CWebBrowser2>> browsers_;
};

}  // namespace tavelo
