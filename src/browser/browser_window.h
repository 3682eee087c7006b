#pragma once
// The base of every window that shows pages: it makes the window's browsers
// and owns them. The set destroys the window with its host, and with it
// every browser wrapper, which unhooks from its view: no event of a closed
// window's pages reaches window logic, and no pointer into the host stays.
// The base also answers the window's keys, so that every such window treats
// the keys people expect (shortcut_keys.h), Escape and Enter alike, and the
// keys it answers never reach a page. A window type adds only its own
// controls, layout and logic.

#include <memory>
#include <vector>

#include "browser/shortcut_keys.h"
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

  // Alt+Left and Alt+Right go back and forward in `browser`, F5 reloads it,
  // and Ctrl+W closes the window as its close button does.
  void AnswerBrowsingKeys(CWebBrowser2& browser) { browsingKeys_ = &browser; }
  // Ctrl+F and Ctrl+L put the cursor in `box` with its text selected.
  void AnswerSearchKeys(port::Edit& box) { searchBox_ = &box; }
  // Names `box` for screen readers: its text is the hint or the words typed.
  static void NameSearchBox(port::Edit& box);
  // Escape closes the window as its close button does, as a dialog's does.
  void CloseOnEscape() { escapeCloses_ = true; }

  // A key that is no shortcut the window answers (Enter outside an edit
  // box, Escape, ...); true swallows it before the focused control, a page
  // or a list, sees it. By default Escape is swallowed, since it would end a
  // dialog, and Enter reaches the page (forms, chat boxes). The window may
  // be gone when this returns.
  virtual bool OnOtherKey(port::Key key);

 private:
  bool OnKey(port::Key key, port::Modifiers modifiers);
  // As the close button; the window may be gone when this returns.
  void RequestClose();

  std::vector<std::unique_ptr<CWebBrowser2>> browsers_;
  CWebBrowser2* browsingKeys_ = nullptr;
  port::Edit* searchBox_ = nullptr;
  bool escapeCloses_ = false;
};

}  // namespace tavelo
