#include "browser/web_browser.h"

#include "browser/web_address.h"
#include "text/encoding.h"
#include "text/url_text.h"

namespace tavelo {

namespace {

constexpr std::string_view kAbout = "about:";
constexpr std::string_view kAboutBlank = "about:blank";

}  // namespace

CWebBrowser2::CWebBrowser2(port::BrowserView& view, port::Platform& platform, StatusFrame frame,
                           port::WindowHost* owner)
    : view_(view), platform_(platform), frame_(frame), owner_(owner) {
  view_.on_before_navigate = [this](const port::NavigationRequest& request, bool* cancel) {
    BeforeNavigate(request, cancel);
  };
  view_.on_new_window = [this]() -> port::BrowserView* { return on_new_window ? on_new_window() : nullptr; };
  view_.on_document_complete = [this](const std::string& address) {
    if (on_document_complete) on_document_complete(WebAddressToGbk(address));
  };
  view_.on_status_text = [this](const std::string& text) {
    if (on_status_text) on_status_text(WebAddressToGbk(text));
  };
  view_.on_load_failed = [this](const std::string& address, port::LoadFailure failure) {
    ShowStatusPage(*this, frame_, LoadFailedFragment(address, failure));
  };
}

CWebBrowser2::~CWebBrowser2() {
  view_.on_before_navigate = nullptr;
  view_.on_new_window = nullptr;
  view_.on_document_complete = nullptr;
  view_.on_status_text = nullptr;
  view_.on_load_failed = nullptr;
}

void CWebBrowser2::Navigate(const std::string& address) {
  std::string_view a = address;
  if (a.substr(0, kAbout.size()) == kAbout && a != kAboutBlank) {
    // The HTML of a generated page is text, not an address: convert it whole.
    view_.Navigate(std::string(kAbout) + GbkToUtf8(a.substr(kAbout.size())));
    return;
  }
  view_.Navigate(GbkToWebAddress(address));
}

void CWebBrowser2::GetDocument(std::function<void(std::string bodyHtml)> done) {
  view_.RequestBodyHtml([done = std::move(done)](std::string utf8) { done(Utf8ToGbk(utf8)); });
}

void CWebBrowser2::BeforeNavigate(const port::NavigationRequest& request, bool* cancel) {
  const std::string& webAddress = request.utf8Address;
  if (on_before_navigate) {
    on_before_navigate({NavigationAddressToGbk(webAddress), request.pageAddress, request.byUser, request.gesture},
                       cancel);
  }
  if (*cancel) return;
  if (!ViewShowsScheme(AddressScheme(webAddress))) {
    *cancel = true;
    // Only a user's click hands a link to the desktop: a script or an ad
    // frame must not start programs on its own.
    if (request.byUser) OpenOnDesktop(webAddress);
  }
}

void CWebBrowser2::OpenOnDesktop(const std::string& webAddress) {
  const std::string scheme = AddressScheme(webAddress);
  if (platform_.HandlesScheme(scheme)) {
    platform_.StartProcess({"xdg-open", webAddress});
    return;
  }
  // Without a program the click would do nothing at all; the link can
  // still go to whatever program the user pastes it into.
  const std::string question = Gbk("没有找到能打开“") + scheme + Gbk("”链接的程序。\r\n要把链接复制到剪贴板吗?");
  if (platform_.AskOkCancel(owner_, question, Gbk("打开链接"))) platform_.SetClipboardText(WebAddressToGbk(webAddress));
}

std::string StatusPageAddress(StatusFrame frame, const std::string& fragment) {
  static constexpr std::string_view kWhitePrefix =
      "about:<body scroll=no bgcolor=#ffffff "
      "style=\"border:1px solid #bdbdbd;padding-left:20px;paddint-top:20px;\"><table><tr><td align=center>";
  static constexpr std::string_view kWhiteSuffix = "</td></tr></table></body>";
  static constexpr std::string_view kGreyPrefix =
      "about:<body scroll=no bgcolor=#f9f9f9 style=\"border:1px solid #bdbdbd\"><center>"
      "<table width=100% height=100% ><tr><td align=center>";
  static constexpr std::string_view kGreySuffix = "</td></tr></table></center></body>";
  bool white = frame == StatusFrame::kWhite;
  std::string page(white ? kWhitePrefix : kGreyPrefix);
  page += fragment;
  page += white ? kWhiteSuffix : kGreySuffix;
  return page;
}

void ShowStatusPage(CWebBrowser2& browser, StatusFrame frame, const std::string& fragment) {
  browser.Navigate(StatusPageAddress(frame, fragment));
}

std::string LoadFailedFragment(const std::string& webAddress, port::LoadFailure failure) {
  const char* reason = "网络连接出错，请稍后再试。";
  switch (failure) {
    case port::LoadFailure::kHostNotFound:
      reason = "找不到服务器，请检查网址和网络连接。";
      break;
    case port::LoadFailure::kConnectionRefused:
      reason = "服务器拒绝了连接，它可能暂时没有运行。";
      break;
    case port::LoadFailure::kTimedOut:
      reason = "连接服务器超时，请稍后再试。";
      break;
    case port::LoadFailure::kFileNotFound:
      reason = "文件不存在。";
      break;
    case port::LoadFailure::kPageEnded:
      reason = "显示网页的进程意外结束了。";
      break;
    case port::LoadFailure::kOther:
      break;
  }
  // The link keeps the address as the view knows it, with any raw non-ASCII
  // byte escaped, so that it survives the page's conversion to UTF-8.
  const std::string retry = EscapeHtml(GbkToWebAddress(webAddress));
  return Gbk("<font color=red><b>网页无法打开</b></font><br><br><font size=2>") + Gbk(reason) + "<br>" +
         EscapeHtml(WebAddressToGbk(webAddress)) + "<br><br><a href=\"" + retry + "\">" + Gbk("重试") +
         "</a></font>";
}

}  // namespace tavelo
