#pragma once
// The search window: the catalogue server's result page for a keyword. There
// is one per process, made by the first OpenSearch; closing only hides it,
// and the next search shows it again with its place and size kept.

#include <memory>
#include <string>
#include <string_view>

#include "browser/command_protocol.h"
#include "browser/web_browser.h"
#include "port/window_host.h"
#include "windows/web_window.h"

namespace tavelo {

struct SearchContext {
  port::Platform* platform = nullptr;
  // Carries out the commands of result pages (open a video, search again...).
  CommandTarget* commands = nullptr;
};

// Without "《" "》" (a title as shown) and with "%20" as a space.
std::string CleanSearchKeyword(std::string_view keyword);
// The result page address: "[S_URL]" of data/main.htm, or the catalogue
// server's search page, with "***KEY***" replaced by the encoded keyword.
std::string SearchAddress(std::string_view keyword, const std::string& templatePath = "data/main.htm");

class SearchWindow {
 public:
  static constexpr int kEditId = 1024;
  static constexpr int kSearchButtonId = 1025;
  static constexpr int kBrowserId = 1011;
  static constexpr int kSearchTimer = 1;
  static constexpr int kSearchDelay = 100;

  // The one entry point: makes the window on first use, shows it and searches.
  static SearchWindow& Open(const SearchContext& context, std::string_view keyword);
  // The process's search window, or nullptr before the first search.
  static SearchWindow* Instance();
  // Closes the window for good (end of the process, and tests).
  static void Destroy();

  void StartSearch();
  void RunSearch();
  port::WindowHost& Host() { return host_; }
  const std::string& Keyword() const { return keyword_; }

 private:
  explicit SearchWindow(const SearchContext& context);
  void PlaceWindow();
  void Layout();
  void OnTimer(int id);

  SearchContext context_;
  port::WindowHost& host_;
  port::Edit* edit_;
  port::FaceButton* searchButton_;
  std::unique_ptr<CWebBrowser2> browser_;
  std::string keyword_;
  int layoutReady_ = 0;
};

// Opens the process's search window on `keyword`.
void OpenSearch(const SearchContext& context, std::string_view keyword);

}  // namespace tavelo
