#include "playback/play_window.h"

#include <algorithm>

#include "browser/command_hookup.h"
#include "browser/command_protocol.h"
#include "catalogue/personal_lists.h"
#include "catalogue/site_config.h"
#include "content/episode_cache.h"
#include "playback/episode_list_view.h"
#include "playback/player_page.h"
#include "playback/select_open_window.h"
#include "text/encoding.h"
#include "text/splitters.h"
#include "text/template_file.h"
#include "text/url_text.h"

namespace tavelo {

namespace {

constexpr std::string_view kPlayerTemplateKey = "[YOUKU_PLAY_URL]";

// The largest window; a smaller work area gives its own size.
constexpr int kMaxWidth = 1200;
constexpr int kMaxHeight = 650;
// The list, the panel below it and their margin take the right-hand side.
constexpr int kSideWidth = 220;
constexpr int kPanelHeight = 108;
constexpr std::array<int, 3> kColumnWidths = {143, 50, 2};

constexpr int kReadyPageDelay = 100;
constexpr int kPlayDelay = 100;
constexpr int kHandOffDelay = 500;

// The panel's action words.
constexpr const char* kFavouriteWord = "收藏视频";
constexpr const char* kCopyAddressWord = "复制视频网址";
constexpr const char* kSelectOpenWord = "单独窗口打开视频";
constexpr const char* kExternalPlayerWord = "用外部播放器播放";
constexpr int kRestartWidth = 60;

}  // namespace

std::string EpisodePlayerAddress(const ProgramPaths& paths, const std::string& address, const std::string& title,
                                 const std::string& label) {
  const std::string templatePath = paths.Template();
  return PlayerPageAddress(TemplateValue(templatePath, kPlayerTemplateKey), VideoPlayerHost(templatePath), address,
                           title, label);
}

PlayWindow::PlayWindow(const WindowSet::Slot& slot, PlayWindowOwner& owner)
    : BrowserWindow(slot),
      owner_(owner),
      browser_(AddBrowser(kBrowserId, StatusFrame::kGrey, port::BrowserPolicy::kPlayer)),
      list_(Host().AddList(kListId)),
      panel_(Host().AddInfoPanel(kPanelId)),
      statusLine_(Host().AddStatic(kStatusId, "")),
      restart_(Host().AddFlatButton(kRestartId, Gbk("从头播放"))),
      externalPlayer_(ExternalPlayerInstalled(Platform())),
      progress_(Host(), browser_.View(), Paths().Progress(), kProgressTimer, kProgressCloseTimer,
                {.on_resumed = [this](int seconds) { ShowResumed(seconds); },
                 .on_message = [this](const std::string& text) { ShowMessage(text); }}),
      fetcher_(Results(), {.on_status = [this](const std::string& status) { SetStatusLine(status); },
                           .on_done = [this](EpisodeFetchResult result) { ShowEpisodes(std::move(result)); }}) {
  port::WindowHost& host = Host();
  host.SetCaption(Gbk("播放视频"));
  // The player page's pop-ups open as ordinary browser windows; their pages
  // carry no commands for this program.
  browser_.on_new_window = [this] { return Windows().OpenPopup(PageHookup{}); };
  list_->on_click = [this](port::ListHit hit) { OnListClick(hit, false); };
  list_->on_double_click = [this](port::ListHit hit) { OnListClick(hit, true); };
  panel_->on_click = [this] { OnPanelClick(); };
  host.on_resize = [this](Size) { Layout(); };
  host.on_timer = [this](int id) { OnTimer(id); };
  // The position the user reached is read once more before the window goes.
  host.on_close_request = [this] { progress_.Finish([this] { Host().Close(); }); };
  restart_->SetVisible(false);
  restart_->on_click = [this] {
    progress_.RestartFromBeginning();
    restart_->SetVisible(false);
    SetStatusLine(Host().Caption());
  };
  if (externalPlayer_) {
    host.AddSystemMenuItem(kExternalPlayerCommand, Gbk(kExternalPlayerWord));
    host.on_system_command = [this](int id) {
      if (id == kExternalPlayerCommand) progress_.PlayOutside(Platform());
    };
  }
  AnswerBrowsingKeys(browser_);

  Rect work = host.WorkArea();
  int width = std::min(work.right, kMaxWidth);
  int height = std::min(work.bottom, kMaxHeight);
  host.Place(Rect::FromSize((work.right - width) / 2, (work.bottom - height) / 2, width, height));
  layoutReady_ = true;
  Layout();
  SetUpEpisodeList(*list_, kColumnWidths);
}

PlayWindow::~PlayWindow() {
  for (SelectOpenWindow* window : selectWindows_) {
    window->on_gone = nullptr;
    window->Host().Close();
  }
}

// Neither Enter nor Escape closes the window.
bool PlayWindow::OnOtherKey(port::Key key) { return key == port::Key::kEscape || key == port::Key::kEnter; }

void PlayWindow::Layout() {
  if (!layoutReady_) return;
  Size client = Host().ClientSize();
  const int w = client.width, h = client.height;
  panel_->SetBounds(Rect::FromSize(w - kSideWidth, h - kPanelHeight, kSideWidth, kPanelHeight));
  list_->SetBounds(Rect::FromSize(w - kSideWidth, 0, kSideWidth, h - kPanelHeight - 2));
  // The restart link ends the status line, under the browser's right edge.
  statusLine_->SetBounds(Rect::FromSize(10, h - 15, w - 233 - kRestartWidth, 15));
  restart_->SetBounds(Rect::FromSize(w - 223 - kRestartWidth, h - 16, kRestartWidth, 16));
  browser_.View().SetBounds(Rect::FromSize(1, 1, w - 224, h - 18));
}

int PlayWindow::OpenRecord(const std::string& name, const std::string& record, const std::string&) {
  if (record.find(VideoSiteDomain(Paths().Template())) == std::string::npos) {
    ShowMessage(Gbk("分析内容出错,请下载最新版本软件"));
    return 1;
  }
  name_ = name;
  record_ = record;
  FillInfoPanel();
  ShowStatusPage(Gbk("正在获取视频信息,请稍候..."));

  FieldList lines;
  lines.Split(record, '\n');
  title_ = lines[0];
  pageAddress_ = lines[1];
  AddToHistoryList(Paths(), name, record);

  layoutReady_ = true;
  Layout();
  title_ = CleanHtmlText(title_);
  Host().SetCaption(title_ + Gbk(" 播放"));
  SetStatusLine(title_);
  Host().Show();

  SetStatusLine(FetchingStatusText());
  fetcher_.Start(pageAddress_, Paths(), VideoShowHost(Paths().Template()));
  return 0;
}

void PlayWindow::FillInfoPanel() {
  panel_->ShowRecordInfo(record_);
  panel_->AddWord(port::InfoPanel::kLineBreak, "br");
  panel_->AddWord(port::InfoPanel::kLabel, Gbk("操作:"));
  panel_->AddWord(port::InfoPanel::kValue, Gbk(kFavouriteWord));
  panel_->AddWord(port::InfoPanel::kValue, Gbk(kCopyAddressWord));
  panel_->AddWord(port::InfoPanel::kLineBreak, "br");
  // Full-width space, space, full-width space: the second row lines up
  // under the first row's words.
  panel_->AddWord(port::InfoPanel::kLabel, Gbk("　 　"));
  panel_->AddWord(port::InfoPanel::kValue, Gbk(kSelectOpenWord));
  if (externalPlayer_) {
    panel_->AddWord(port::InfoPanel::kLineBreak, "br");
    panel_->AddWord(port::InfoPanel::kLabel, Gbk("　 　"));
    panel_->AddWord(port::InfoPanel::kValue, Gbk(kExternalPlayerWord));
  }
  panel_->Relayout();
}

void PlayWindow::SetStatusLine(const std::string& text) { statusLine_->SetText(text); }

void PlayWindow::ShowStatusPage(const std::string& fragment) {
  tavelo::ShowStatusPage(browser_, StatusFrame::kGrey, fragment);
}

void PlayWindow::ShowEpisodes(EpisodeFetchResult result) {
  FillEpisodeList(*list_, result.rows);
  if (result.preselected >= 0) {
    list_->SelectRow(result.preselected, true);
    list_->EnsureVisible(result.preselected);
  }
  SetStatusLine(result.statusLine);
  statusText_ = result.readyText;
  Host().StartTimer(kReadyPageTimer, kReadyPageDelay);
  if (result.HandsOff()) Host().StartTimer(kHandOffTimer, kHandOffDelay);
  // Last: the box waits for the user, who may close the window meanwhile.
  if (result.failed) ShowMessage(FetchFailedMessage());
}

int PlayWindow::PlayEpisode(const std::string& label, const std::string& address) {
  currentAddress_ = address;
  EpisodeFiles(Paths(), pageAddress_).SaveLastPlayed(address);
  // Before the loading page replaces the episode that played.
  progress_.Follow(pageAddress_, address, label);
  restart_->SetVisible(false);
  ShowStatusPage(Gbk("视频加载,请稍候...<br>Loading..."));
  std::string page = EpisodePlayerAddress(Paths(), address, title_, label);
  if (page.empty()) return 1;
  pendingPage_ = page;
  Host().StartTimer(kPlayTimer, kPlayDelay);
  return 0;
}

void PlayWindow::OnListClick(port::ListHit hit, bool doubleClick) {
  const int row = list_->FirstSelectedRow();
  if (row < 0) return;
  const std::string label = list_->Cell(row, kLabelColumn);
  if (doubleClick) {
    PlayEpisode(label, list_->Cell(row, kAddressColumn));
    return;
  }
  if (hit.row < 0) {
    SetStatusLine(Gbk("选择视频列表进行播放"));
    return;
  }
  SetStatusLine(label);
  if (hit.column == kPlayColumn) PlayEpisode(label, list_->Cell(row, kAddressColumn));
}

void PlayWindow::OnTimer(int id) {
  if (progress_.OnTimer(id)) return;
  switch (id) {
    case kReadyPageTimer:
      Host().KillTimer(kReadyPageTimer);
      ShowStatusPage(statusText_);
      return;
    case kPlayTimer:
      Host().KillTimer(kPlayTimer);
      browser_.Navigate(pendingPage_);
      return;
    case kHandOffTimer:
      Host().KillTimer(kHandOffTimer);
      HandOff();
      return;
    default:
      return;
  }
}

void PlayWindow::HandOff() {
  if (list_->RowCount() == 0) return;
  Platform().StartProcess(
      RelaunchArguments(HandOffPayload(list_->Cell(0, kAddressColumn), title_, list_->Cell(0, kLabelColumn))));
  // Closing destroys this window: nothing may follow.
  Host().Close();
}

void PlayWindow::OnPanelClick() {
  const std::string word = panel_->WordAtCursor();
  if (word.empty()) return;
  if (word == Gbk(kSelectOpenWord)) {
    OpenSelectWindow();
  } else if (word == Gbk(kFavouriteWord)) {
    // The answer belongs to this window: the user clicked here.
    ShowMessage(owner_.AddToFavourites(name_, record_));
  } else if (word == Gbk(kCopyAddressWord)) {
    CopyAddress();
  } else if (word == Gbk(kExternalPlayerWord)) {
    progress_.PlayOutside(Platform());
  } else {
    owner_.OpenSearch(word);
  }
}

void PlayWindow::CopyAddress() {
  if (currentAddress_.empty()) {
    ShowMessage(Gbk("请先点击\"播放\"视频列表中的视频"));
    return;
  }
  // GBK here; the desktop's clipboard receives it as UTF-8 text.
  Platform().SetClipboardText(currentAddress_);
  ShowMessage(Gbk("地址己复制到剪切板"));
}

void PlayWindow::OpenSelectWindow() {
  SelectOpenWindow& window =
      Windows().Open<SelectOpenWindow>(Host(), title_, EpisodeListRows(*list_), EpisodeFiles(Paths(), pageAddress_));
  selectWindows_.push_back(&window);
  window.on_gone = [this, gone = &window] { std::erase(selectWindows_, gone); };
}

void PlayWindow::ShowResumed(int seconds) {
  SetStatusLine(Gbk("从 ") + ClockText(seconds) + Gbk(" 继续播放"));
  restart_->SetVisible(true);
}

void PlayWindow::ShowMessage(const std::string& text) { Platform().MessageBox(&Host(), text, Host().Caption()); }

void OpenPlayWindow(WindowSet& windows, PlayWindowOwner& owner, const std::string& name, const std::string& record,
                    const std::string& label) {
  PlayWindow& window = windows.Open<PlayWindow>(owner);
  if (window.OpenRecord(name, record, label) != 0) window.Host().Close();
}

}  // namespace tavelo
