#include "windows/fetch_progress_dialog.h"

#include "text/encoding.h"
#include "text/gbk_text.h"

namespace tavelo {

namespace {

constexpr int kClientWidth = 300;
constexpr int kClientHeight = 110;

}  // namespace

FetchProgressDialog::FetchProgressDialog(const WindowSet::Slot& slot, std::string address, std::string endMarker,
                                         std::function<void(const std::string& resultHtml)> finished)
    : BrowserWindow(slot, port::WindowOptions{.modal = true, .taskbarButton = false, .resizable = false}),
      progress_(Host().AddProgressBar(kProgress)),
      browser_(AddBrowser(kBrowser, StatusFrame::kGrey, port::BrowserPolicy::kFetchOnly)),
      address_(std::move(address)),
      endMarker_(std::move(endMarker)),
      finished_(std::move(finished)) {
  port::WindowHost& host = Host();
  host.SetCaption(Gbk("获取数据...."));
  host.AddStatic(kLabel, Gbk("正在获取数据请等待...."))->SetBounds(Rect::FromSize(15, 15, 270, 18));
  progress_->SetRange(0, 100);
  progress_->SetBounds(Rect::FromSize(15, 40, 270, 16));
  port::Button* cancel = host.AddButton(kCancel, Gbk("取消获取数据"));
  cancel->SetBounds(Rect::FromSize(95, 70, 110, 25));
  // Ending is posted, so the button is not destroyed inside its own click.
  cancel->on_click = [this] { Host().Post([this] { Finish(); }); };
  // The page is read, never seen (nor read out by a screen reader).
  browser_.View().SetVisible(false);
  browser_.on_document_complete = [this](const std::string& address) {
    // A page that could not be loaded is replaced by a generated status page.
    if (address.starts_with("about:")) {
      loadFailed_ = true;
    } else {
      pageLoaded_ = true;
    }
  };

  host.on_timer = [this](int id) { OnTimer(id); };
  host.on_key = [](port::Key key, port::Modifiers) { return key == port::Key::kEnter || key == port::Key::kEscape; };
  // The window has no close box; a window manager's close counts as cancel.
  host.on_close_request = [this] { Finish(); };
  const Rect work = host.WorkArea();
  host.Place(Rect::FromSize(work.left + (work.Width() - kClientWidth) / 2,
                            work.top + (work.Height() - kClientHeight) / 2, kClientWidth, kClientHeight));
  host.Show();
  host.StartTimer(kStartTimer, kStartDelay);
}

void FetchProgressDialog::OnTimer(int id) {
  if (id == kStartTimer) {
    Host().KillTimer(kStartTimer);
    browser_.Navigate(address_);
    pollCount_ = 0;
    Host().StartTimer(kPollTimer, kFirstPollDelay);
  } else if (id == kPollTimer) {
    Host().KillTimer(kPollTimer);
    Poll();
  }
}

void FetchProgressDialog::Poll() {
  ++pollCount_;
  progress_->SetPosition(pollCount_ % 100);
  if (loadFailed_) {
    Finish();
    return;
  }
  if (!pageLoaded_) {
    OnBody("");
    return;
  }
  browser_.GetDocument([this](std::string html) { OnBody(html); });
}

void FetchProgressDialog::OnBody(const std::string& html) {
  if (LowerGbk(html).find(endMarker_) != std::string::npos) {
    resultHtml_ = html;
    Finish();
  } else if (pollCount_ > kMaxPolls) {
    Finish();
  } else {
    Host().StartTimer(kPollTimer, kPollInterval);
  }
}

void FetchProgressDialog::Finish() {
  // The window object goes with its host: keep what is needed first.
  std::function<void(const std::string&)> finished = std::move(finished_);
  const std::string result = resultHtml_;
  Host().Hide();
  Host().Close();
  if (finished) finished(result);
}

}  // namespace tavelo
