#include "windows/search_window.h"

#include "browser/command_hookup.h"
#include "catalogue/site_config.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/template_file.h"
#include "text/url_text.h"

namespace tavelo {

namespace {

constexpr std::string_view kKeyPlaceholder = "***KEY***";

}  // namespace

std::string CleanSearchKeyword(std::string_view keyword) {
  std::string cleaned = ReplaceAllGbk(keyword, Gbk("《"), "");
  cleaned = ReplaceAllGbk(cleaned, Gbk("》"), "");
  return ReplaceAll(cleaned, "%20", " ");
}

std::string SearchAddress(std::string_view keyword, const std::string& templatePath) {
  std::string address = TemplateValue(templatePath, "[S_URL]");
  if (address.empty()) address = CatalogueServer(templatePath) + "/so/so.asp?k=***KEY***";
  return ReplaceAll(address, kKeyPlaceholder, UrlEncode(keyword));
}

SearchWindow::SearchWindow(const WindowSet::Slot& slot, CommandTarget& commands)
    : BrowserWindow(slot),
      edit_(Host().AddEdit(kEditId)),
      searchButton_(Host().AddFaceButton(kSearchButtonId, Gbk("搜索"))),
      browser_(AddBrowser(kBrowserId)) {
  port::WindowHost& host = Host();
  host.SetCaption(Gbk("视频搜索"));
  AttachCommandProtocol(browser_, Windows(), CommandHookup(&commands, Paths().Template()));

  searchButton_->on_click = [this] { StartSearch(); };
  edit_->on_enter = [this] { StartSearch(); };
  NameSearchBox(*edit_);
  host.on_timer = [this](int id) { OnTimer(id); };
  host.on_resize = [this](Size) { Layout(); };
  host.on_close_request = [&host] { host.Hide(); };
  // As in the other browsing windows; Ctrl+W hides it as its close box does.
  AnswerBrowsingKeys(browser_);
  PlaceWindow();
}

// Enter outside the edit box and Escape would end a dialog; here they do nothing.
bool SearchWindow::OnOtherKey(port::Key key) { return key == port::Key::kEscape || key == port::Key::kEnter; }

void SearchWindow::Search(std::string_view keyword) {
  // The user asked for results: the window comes forward, even from behind
  // others or from the task bar.
  Host().Present();
  edit_->SetText(CleanSearchKeyword(keyword));
  StartSearch();
}

void SearchWindow::PlaceWindow() {
  Rect work = Host().WorkArea();
  int x = work.right - 675;
  if (x < 0) x = 100;
  Host().Place(Rect::FromSize(x, 20, work.right - x - 10, work.bottom - 40));
  layoutReady_ = true;
  Layout();
}

void SearchWindow::Layout() {
  if (!layoutReady_) return;
  Size client = Host().ClientSize();
  searchButton_->SetBounds(Rect::FromSize(client.width - 65, 3, 60, 22));
  edit_->SetBounds(Rect::FromSize(3, 3, client.width - 71, 22));
  browser_.View().SetBounds(Rect{0, 28, client.width, client.height});
}

void SearchWindow::StartSearch() { Host().StartTimer(kSearchTimer, kSearchDelay); }

void SearchWindow::OnTimer(int id) {
  if (id != kSearchTimer) return;
  Host().KillTimer(kSearchTimer);
  RunSearch();
  edit_->Focus();
}

void SearchWindow::RunSearch() {
  keyword_ = edit_->Text();
  browser_.Navigate(SearchAddress(keyword_, Paths().Template()));
}

SearchWindow& OpenSearch(WindowSet& windows, CommandTarget& commands, std::string_view keyword) {
  SearchWindow* window = windows.Find<SearchWindow>();
  if (window == nullptr) window = &windows.Open<SearchWindow>(commands);
  window->Search(keyword);
  return *window;
}

}  // namespace tavelo
