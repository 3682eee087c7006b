#include "windows/search_window.h"

#include "catalogue/site_config.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/template_file.h"
#include "text/url_text.h"

namespace tavelo {

namespace {

constexpr std::string_view kKeyPlaceholder = "***KEY***";

SearchWindow* instance = nullptr;

}  // namespace

std::string CleanSearchKeyword(std::string_view keyword) {
  std::string cleaned = ReplaceAllGbk(keyword, Gbk("《"), "");
  cleaned = ReplaceAllGbk(cleaned, Gbk("》"), "");
  return ReplaceAll(cleaned, "%20", " ");
}

std::string SearchAddress(std::string_view keyword, const std::string& templatePath) {
  std::string address = TemplateValue(templatePath, "[S_URL]");
  if (address.empty()) address = CatalogueServer() + "/so/so.asp?k=***KEY***";
  return ReplaceAll(address, kKeyPlaceholder, UrlEncode(keyword));
}

SearchWindow& SearchWindow::Open(const SearchContext& context, std::string_view keyword) {
  std::string cleaned = CleanSearchKeyword(keyword);
  if (instance == nullptr) {
    instance = new SearchWindow(context);
    instance->PlaceWindow();
  }
  instance->host_.Show();
  instance->edit_->SetText(cleaned);
  instance->StartSearch();
  return *instance;
}

SearchWindow* SearchWindow::Instance() { return instance; }

void SearchWindow::Destroy() {
  if (instance != nullptr) instance->host_.Close();
}

SearchWindow::SearchWindow(const SearchContext& context)
    : context_(context),
      host_(context.platform->CreateWindow(port::WindowOptions{})),
      edit_(host_.AddEdit(kEditId)),
      searchButton_(host_.AddFaceButton(kSearchButtonId, Gbk("搜索"))) {
  host_.SetCaption(Gbk("视频搜索"));
  browser_ = std::make_unique<CWebBrowser2>(*host_.AddBrowser(kBrowserId, port::BrowserPolicy::kFull),
                                            *context_.platform);
  AttachCommandProtocol(*browser_, CommandWebContext(*context_.platform, context_.commands));

  searchButton_->on_click = [this] { StartSearch(); };
  edit_->on_enter = [this] { StartSearch(); };
  // Enter outside the edit box and Escape would end a dialog; here they do nothing.
  host_.on_key = [](port::Key key) { return key == port::Key::kEscape || key == port::Key::kEnter; };
  host_.on_timer = [this](int id) { OnTimer(id); };
  host_.on_resize = [this](Size) { Layout(); };
  host_.on_close_request = [this] { host_.Hide(); };
  host_.on_destroyed = [this] {
    instance = nullptr;
    delete this;
  };
}

void SearchWindow::PlaceWindow() {
  Rect work = host_.WorkArea();
  int x = work.right - 675;
  if (x < 0) x = 100;
  host_.Place(Rect::FromSize(x, 20, work.right - x - 10, work.bottom - 40));
  layoutReady_ = 1;
  Layout();
}

void SearchWindow::Layout() {
  if (layoutReady_ != 1) return;
  Size client = host_.ClientSize();
  searchButton_->SetBounds(Rect::FromSize(client.width - 65, 3, 60, 22));
  edit_->SetBounds(Rect::FromSize(3, 3, client.width - 71, 22));
  browser_->View().SetBounds(Rect{0, 28, client.width, client.height});
}

void SearchWindow::StartSearch() { host_.StartTimer(kSearchTimer, kSearchDelay); }

void SearchWindow::OnTimer(int id) {
  if (id != kSearchTimer) return;
  host_.KillTimer(kSearchTimer);
  RunSearch();
  edit_->Focus();
}

void SearchWindow::RunSearch() {
  keyword_ = edit_->Text();
  browser_->Navigate(SearchAddress(keyword_));
}

void OpenSearch(const SearchContext& context, std::string_view keyword) {
  SearchWindow::Open(context, keyword);
}

}  // namespace tavelo
