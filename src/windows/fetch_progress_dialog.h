#pragma once
// "获取数据....": a small modal window that loads a page in a hidden
// browser, which runs no page scripts and loads no pictures or media, and
// hands back the body's HTML once the page is complete. It reads the body
// 1.7 s after it opens and every 200 ms after that, and gives up after
// 1000 reads; the user can cancel it. It does not decide what the page
// means: its owner gets the HTML, or "" when the page never came.

#include <functional>
#include <string>

#include "browser/browser_window.h"

namespace tavelo {

class FetchProgressDialog : public BrowserWindow {
 public:
  enum ControlId { kProgress = 1008, kCancel = 1045, kLabel = 1020, kBrowser = 1011 };
  enum TimerId { kStartTimer = 1, kPollTimer = 2 };
  static constexpr int kStartDelay = 200;
  static constexpr int kFirstPollDelay = 1500;
  static constexpr int kPollInterval = 200;
  static constexpr int kMaxPolls = 1000;

  // Loads `address`; the page is complete when its body, lower-cased, holds
  // `endMarker` (lower case). `finished` gets the result once the window
  // has closed.
  FetchProgressDialog(const WindowSet::Slot& slot, std::string address, std::string endMarker,
                      std::function<void(const std::string& resultHtml)> finished);

  int PollCount() const { return pollCount_; }

 private:
  void OnTimer(int id);
  void Poll();
  void OnBody(const std::string& html);
  // Closes the window, then reports the result.
  void Finish();

  port::ProgressBar* progress_;
  CWebBrowser2& browser_;
  std::string address_;
  std::string endMarker_;
  std::function<void(const std::string&)> finished_;
  int pollCount_ = 0;
  // The requested page has finished loading; until then the body read is
  // the empty document the view started with.
  bool pageLoaded_ = false;
  // The page could not be loaded: the view shows a status page instead.
  bool loadFailed_ = false;
  std::string resultHtml_;
};

}  // namespace tavelo
