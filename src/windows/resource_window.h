#pragma once
// "获取资源信息": the page of one P2P item. The window fetches the item's
// page from its resource site (the first site's by download on a worker
// thread, the second site's in a fetching browser behind a progress
// window), cuts out the part that describes the resource and shows it in a
// small local page. Every window writes its own page under script/tmp/, so
// windows fetching at once never show each other's resource; the page goes
// when the window closes, and the exit routine clears what is left.

#include <cstdint>
#include <string>

#include "browser/background_job.h"
#include "browser/browser_window.h"
#include "content/resource_page.h"

namespace tavelo {

class ResourceWindow : public BrowserWindow {
 public:
  enum ControlId { kBrowser = 1011, kStatusLine = 1031 };
  static constexpr int kShowPageTimer = 2;
  static constexpr int kShowPageDelay = 100;
  // A resource page is a few hundred kilobytes; nothing near this is one.
  static constexpr uint64_t kMaxPageBytes = 16 << 20;

  // Placed over the work area, hidden; the site domains come from the set's
  // program folder's template.
  explicit ResourceWindow(const WindowSet::Slot& slot);
  // Stops a running fetch and removes the window's page.
  ~ResourceWindow() override;

  // Shows the window and fetches the page of `record` (line 0 the title,
  // line 1 the page address). `name` and `label` are not used.
  void OpenRecord(const std::string& name, const std::string& record, const std::string& label);

  // The window's own page; "" until a fetch has made its name.
  const std::string& PagePath() const { return pagePath_; }
  std::string StatusLine() const;

 private:
  bool OnOtherKey(port::Key key) override;
  void Layout();
  void SetStatusLine(const std::string& text);
  void FetchFromFirstSite();
  void FetchFromSecondSite();
  void OnSecondSitePage(const std::string& html);
  // Shows the window's page shortly after it was written, or why it could not be.
  void ShowWrittenPage(bool written);
  bool MakePagePath();

  const ResourceSiteDomains domains_;
  CWebBrowser2& browser_;
  port::Static* statusLine_;
  StatusTextFilter statusFilter_;
  bool layoutReady_ = false;
  std::string title_;
  std::string pageAddress_;
  std::string pagePath_;
  // The first site's download.
  BackgroundJob firstSiteFetch_;
};

// A new resource window fetching the page of `record`.
ResourceWindow& OpenResourceWindow(WindowSet& windows, const std::string& name, const std::string& record,
                                   const std::string& label);

}  // namespace tavelo
