#pragma once
// The program's handle on one embedded browser view: navigation in GBK, the
// view handed to new-window requests, the document's body HTML, and the four
// events with GBK addresses. Links to schemes the view cannot show (magnet:,
// ed2k:, thunder: ...) that the window lets pass are cancelled here and given
// to the desktop's handler, as a system browser would. A page that cannot be
// loaded is replaced by the program's own status page, in the window's frame.

#include <functional>
#include <string>

#include "browser/web_address.h"
#include "port/controls.h"
#include "port/window_host.h"

namespace tavelo {

// A navigation as window logic sees it.
struct PageNavigation {
  // Where it goes, in GBK.
  std::string address;
  // Where it comes from: see port::NavigationRequest.
  std::string pageAddress;
  bool byUser = false;
  unsigned long long gesture = 0;
};

// The two frames of generated status pages.
enum class StatusFrame { kWhite, kGrey };

class CWebBrowser2 {
 public:
  // `frame` is the one the window shows its status pages in; questions about
  // links go over `owner`, the window the view is in.
  CWebBrowser2(port::BrowserView& view, port::Platform& platform, StatusFrame frame = StatusFrame::kGrey,
               port::WindowHost* owner = nullptr);
  // Detaches from the view, which may outlive the wrapper by a little.
  ~CWebBrowser2();
  CWebBrowser2(const CWebBrowser2&) = delete;
  CWebBrowser2& operator=(const CWebBrowser2&) = delete;

  // "about:" followed by HTML shows that HTML; "about:blank" empties the view.
  void Navigate(const std::string& address);
  // Readies the view for a navigation to `address` that comes soon.
  void Prepare(const std::string& address) { view_.Prepare(GbkToWebAddress(address)); }
  // The view's history: back, forward, and the current page again.
  void GoBack() { view_.GoBack(); }
  void GoForward() { view_.GoForward(); }
  void Reload() { view_.Reload(); }
  // The object a new-window request is answered with.
  port::BrowserView* GetApplication() { return &view_; }
  // The current document's body HTML, in GBK, delivered on the UI thread.
  void GetDocument(std::function<void(std::string bodyHtml)> done);
  port::BrowserView& View() { return view_; }

  std::function<void(const PageNavigation& navigation, bool* cancel)> on_before_navigate;
  // Return the target's GetApplication(), or nullptr to refuse the window.
  std::function<port::BrowserView*()> on_new_window;
  std::function<void(const std::string& address)> on_document_complete;
  std::function<void(const std::string& text)> on_status_text;

 private:
  void BeforeNavigate(const port::NavigationRequest& request, bool* cancel);
  // Hands a link the view cannot show to the desktop's program for it, or
  // says there is none and offers to copy the link.
  void OpenOnDesktop(const std::string& webAddress);

  port::BrowserView& view_;
  port::Platform& platform_;
  StatusFrame frame_;
  port::WindowHost* owner_;
};

// "about:" + prefix + fragment + suffix.
std::string StatusPageAddress(StatusFrame frame, const std::string& fragment);
void ShowStatusPage(CWebBrowser2& browser, StatusFrame frame, const std::string& fragment);

// The status fragment (GBK) for a page that could not be loaded: what went
// wrong, the address, and a link that tries it again. `webAddress` is the
// address as the view reported it.
std::string LoadFailedFragment(const std::string& webAddress, port::LoadFailure failure);

}  // namespace tavelo
