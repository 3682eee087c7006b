#include "windows/resource_window.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "base/atomic_write.h"
#include "base/file_handle.h"
#include "browser/web_address.h"
#include "catalogue/site_config.h"
#include "net/http_downloader.h"
#include "text/encoding.h"
#include "text/page_normalizer.h"
#include "text/splitters.h"
#include "windows/fetch_progress_dialog.h"

namespace tavelo {

namespace {

constexpr int kLeft = 30;
constexpr int kTop = 20;
constexpr int kStatusHeight = 18;
constexpr int kStatusGap = 20;
// Made in the folder the exit routine empties of "*.htm".
constexpr std::string_view kPageNamePattern = "pp-XXXXXX.htm";
constexpr int kPageNameSuffix = 4;  // ".htm"

ResourceSiteDomains DomainsOf(const ProgramPaths& paths) {
  return {ResourceSiteDomain(1, paths.Template()), ResourceSiteDomain(2, paths.Template())};
}

}  // namespace

ResourceWindow::ResourceWindow(const WindowSet::Slot& slot)
    : BrowserWindow(slot),
      domains_(DomainsOf(slot.Windows().Paths())),
      browser_(AddBrowser(kBrowser, StatusFrame::kGrey, port::BrowserPolicy::kWrittenPage)),
      statusLine_(Host().AddStatic(kStatusLine, "")) {
  port::WindowHost& host = Host();
  host.SetCaption(Gbk("获取资源信息"));
  browser_.on_status_text = [this](const std::string& text) {
    if (std::optional<std::string> shown = statusFilter_.Accept(text)) SetStatusLine(*shown);
  };
  host.on_resize = [this](Size) { Layout(); };
  host.on_timer = [this](int id) {
    if (id != kShowPageTimer) return;
    Host().KillTimer(kShowPageTimer);
    browser_.Navigate(FileAddress(pagePath_));
  };
  AnswerBrowsingKeys(browser_);
  host.on_close_request = [&host] {
    host.Hide();
    host.Close();
  };
  const Rect work = host.WorkArea();
  host.Place(Rect::FromSize(kLeft, kTop, work.right - 2 * kLeft, work.bottom - 2 * kTop));
  layoutReady_ = true;
  Layout();
}

ResourceWindow::~ResourceWindow() {
  // Stopped first, so that the worker does not write the page once it is gone.
  firstSiteFetch_.Stop();
  if (!pagePath_.empty()) unlink(pagePath_.c_str());
}

// Neither Enter nor Escape closes the window.
bool ResourceWindow::OnOtherKey(port::Key key) { return key == port::Key::kEnter || key == port::Key::kEscape; }

void ResourceWindow::Layout() {
  if (!layoutReady_) return;
  const Size client = Host().ClientSize();
  statusLine_->SetBounds(Rect::FromSize(0, client.height - kStatusHeight, client.width, kStatusHeight));
  browser_.View().SetBounds(Rect::FromSize(0, 0, client.width, client.height - kStatusGap));
}

std::string ResourceWindow::StatusLine() const { return statusLine_->Text(); }

void ResourceWindow::SetStatusLine(const std::string& text) { statusLine_->SetText(text); }

void ResourceWindow::OpenRecord(const std::string&, const std::string& record, const std::string&) {
  ShowStatusPage(browser_, StatusFrame::kGrey, Gbk("正在获取视频信息,请稍候..."));
  layoutReady_ = true;
  Layout();
  FieldList lines;
  lines.Split(record, '\n');
  title_ = std::string(lines[0]);
  pageAddress_ = std::string(lines[1]);
  Host().SetCaption(title_ + Gbk(" 获取资源信息"));
  SetStatusLine(title_ + Gbk(" 获取视频信息,请稍候..."));
  Host().Show();
  if (FetchedByBrowser(pageAddress_, domains_)) {
    FetchFromSecondSite();
  } else {
    FetchFromFirstSite();
  }
}

bool ResourceWindow::MakePagePath() {
  if (!pagePath_.empty()) return true;
  const std::string folder = Paths().In(kTempPagesFolder);
  if (!MakeDirectories(folder)) return false;
  std::string path = folder + std::string(kPageNamePattern);
  FileHandle made(mkostemps(path.data(), kPageNameSuffix, O_CLOEXEC));
  if (!made.Valid()) return false;
  pagePath_ = std::move(path);
  return true;
}

void ResourceWindow::FetchFromFirstSite() {
  auto downloader = std::make_shared<HttpDownloader>();
  downloader->SetBodyLimit(kMaxPageBytes);
  SetStatusLine(Gbk("正在获取数据...."));
  const std::string pagePath = MakePagePath() ? pagePath_ : "";
  // The worker owns copies of everything it reads; it reaches the window
  // only through the job's tasks.
  firstSiteFetch_.Start(
      Results(),
      [downloader, address = pageAddress_, title = title_, domains = domains_, pagePath, this](const JobToken& job) {
        std::string page;
        downloader->DownloadToString(address, page);
        if (job.Stopped()) return;
        const std::string part = ExtractResourceInfo(address, NormalizePage(std::move(page)), domains);
        const bool written = !pagePath.empty() && AtomicWriteFile(pagePath, BuildResourcePage(title, part));
        job.Finish([this, written] {
          SetStatusLine(Gbk("获取完成,请从列表中点击需要播放的视频"));
          ShowWrittenPage(written);
        });
      },
      [downloader] { downloader->Cancel(); });
}

void ResourceWindow::FetchFromSecondSite() {
  Windows().Open<FetchProgressDialog>(pageAddress_, "</body>", [this, results = Results()](const std::string& html) {
    results.Post([this, html] { OnSecondSitePage(html); });
  });
}

void ResourceWindow::OnSecondSitePage(const std::string& html) {
  if (html.empty()) {
    // The window keeps its waiting page.
    SetStatusLine(Gbk("获取数据完成,取数据失败"));
    Platform().MessageBox(&Host(), Gbk("获取数据失败,请选择其它搜索结果获取数据"), Host().Caption());
    return;
  }
  const std::string part = ExtractResourceInfo(pageAddress_, html, domains_);
  SetStatusLine(Gbk("获取数据完成"));
  ShowWrittenPage(MakePagePath() && AtomicWriteFile(pagePath_, BuildResourcePage(title_, part)));
}

void ResourceWindow::ShowWrittenPage(bool written) {
  if (written) {
    Host().StartTimer(kShowPageTimer, kShowPageDelay);
    return;
  }
  ShowStatusPage(browser_, StatusFrame::kGrey,
                 Gbk("无法写入资源页面文件,请检查程序文件夹 ") + Paths().In(kTempPagesFolder));
}

ResourceWindow& OpenResourceWindow(WindowSet& windows, const std::string& name, const std::string& record,
                                   const std::string& label) {
  ResourceWindow& window = windows.Open<ResourceWindow>();
  window.OpenRecord(name, record, label);
  return window;
}

}  // namespace tavelo
