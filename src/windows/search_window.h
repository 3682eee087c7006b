#pragma once
// The search window: the catalogue server's result page for a keyword. There
// is one per window set, made by the first OpenSearch; closing only hides it,
// and the next search shows it again with its place and size kept.

#include <string>
#include <string_view>

#include "browser/browser_window.h"
#include "browser/command_protocol.h"

namespace tavelo {

// Without "《" "》" (a title as shown) and with "%20" as a space.
std::string CleanSearchKeyword(std::string_view keyword);
// The result page address: "[S_URL]" of data/main.htm, or the catalogue
// server's search page, with "***KEY***" replaced by the encoded keyword.
std::string SearchAddress(std::string_view keyword, const std::string& templatePath);

class SearchWindow : public BrowserWindow {
 public:
  static constexpr int kEditId = 1024;
  static constexpr int kSearchButtonId = 1025;
  static constexpr int kBrowserId = 1011;
  static constexpr int kSearchTimer = 1;
  static constexpr int kSearchDelay = 100;

  // Places the window, hidden; `commands` carries out its pages' commands.
  SearchWindow(const WindowSet::Slot& slot, CommandTarget& commands);

  // Shows the window and searches for `keyword` on the timer.
  void Search(std::string_view keyword);
  void StartSearch();
  void RunSearch();
  const std::string& Keyword() const { return keyword_; }

 private:
  bool OnOtherKey(port::Key key) override;
  void PlaceWindow();
  void Layout();
  void OnTimer(int id);

  port::Edit* edit_;
  port::FaceButton* searchButton_;
  CWebBrowser2& browser_;
  std::string keyword_;
  bool layoutReady_ = false;
};

// Searches for `keyword` in the set's search window, made on first use.
SearchWindow& OpenSearch(WindowSet& windows, CommandTarget& commands, std::string_view keyword);

}  // namespace tavelo
