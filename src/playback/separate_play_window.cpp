#include "playback/separate_play_window.h"

#include <algorithm>
#include <array>
#include <climits>

#include "browser/command_hookup.h"
#include "browser/command_protocol.h"
#include "catalogue/site_config.h"
#include "playback/player_page.h"
#include "playback/popup_sink.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/splitters.h"
#include "text/template_file.h"
#include "text/url_text.h"

namespace tavelo {

namespace {

constexpr std::string_view kNoNewWindowFlag = "NONEWWINDOW";

constexpr std::string_view kPlayerTemplateKey = "[YOUKU_PLAY_URL2]";

// TVPLAY sizes below these are taken as unusable.
constexpr int kMinTvWidth = 500, kDefaultTvWidth = 950;
constexpr int kMinTvHeight = 350, kDefaultTvHeight = 550;

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// A relaunch writes every space of its word as "**BK**"; turning them back is
// what lets a "|" command carry an address or title with spaces.
std::string UndoSpaceEscape(std::string_view text) { return ReplaceAll(text, kRelaunchSpace, " "); }

std::string TopmostMark() { return Gbk("(窗口置顶)"); }

}  // namespace

int DecimalValue(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsTrimSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), INT_MAX);
  }
  return static_cast<int>(negative ? -value : value);
}

PlayCommand ParsePlayCommand(std::string_view command) {
  PlayCommand parsed;
  parsed.noNewWindow = Contains(command, kNoNewWindowFlag);
  if (Contains(command, kLiveRoomMarker) || Contains(command, kPlayMarker)) {
    parsed.form = Contains(command, kLiveRoomMarker) ? PlayForm::kPlayMv : PlayForm::kTvPlay;
    FieldList fields;
    fields.Split(command, '|');
    parsed.address = UndoSpaceEscape(fields[1]);
    parsed.title = UndoSpaceEscape(fields[2]);
    if (parsed.form == PlayForm::kTvPlay) {
      parsed.width = DecimalValue(fields[4]);
      parsed.height = DecimalValue(fields[5]);
    }
    return parsed;
  }
  parsed.form = PlayForm::kHandOff;
  std::string text = ReplaceAll(ReplaceAll(command, kLineBreakEscape, "\t"), kRelaunchSpace, " ");
  FieldList fields;
  fields.Split(text, '\t');
  parsed.address = fields[0];
  parsed.title = fields[1];
  parsed.label = fields[2];
  return parsed;
}

std::string AppendClientSizeQuery(const std::string& address, int width, int height) {
  std::string query = "w=" + std::to_string(width) + "&h=" + std::to_string(height);
  return address + (Contains(address, "?") ? "&" : "?") + query;
}

std::string HandOffCaption(std::string_view title, std::string_view label) {
  std::string t = CleanHtmlText(title);
  std::string l = CleanHtmlText(label);
  return t == l ? t : t + "_" + l;
}

SeparatePlayWindow::SeparatePlayWindow(const WindowSet::Slot& slot, const std::string& command,
                                       const std::string& templatePath)
    : BrowserWindow(slot),
      templatePath_(templatePath),
      parsed_(ParsePlayCommand(command)),
      player_(AddBrowser(kPlayerId)),
      popupSink_(AddBrowser(kPopupSinkId)),
      progress_(Host(), player_.View(), Paths().Progress(), kProgressTimer, kProgressCloseTimer,
                {.on_resumed =
                     [this](int seconds) { SetResumeNote(Gbk(" 从 ") + ClockText(seconds) + Gbk(" 继续播放")); },
                 .on_message =
                     [this](const std::string& text) { Platform().MessageBox(&Host(), text, Host().Caption()); }}) {
  port::WindowHost& host = Host();
  host.SetCaption(Gbk("视频播放"));
  player_.on_new_window = [this] { return OnNewWindow(); };

  host.on_resize = [this](Size) { Layout(); };
  host.on_timer = [this](int id) { OnTimer(id); };
  // Enter is left to the player page: a live room's chat box sends with it,
  // and on this desktop it closes no window, so swallowing it would only keep
  // it from the page. Escape closes a live room, as it closes the live-show
  // window it came from; in the other forms the base swallows it.
  AnswerBrowsingKeys(player_);
  host.on_system_command = [this](int id) { OnSystemCommand(id); };

  host.AddSystemMenuItem(kTopmostCommand, Gbk("窗口置顶"));
  host.AddSystemMenuItem(kNotTopmostCommand, Gbk("取消窗口置顶"));
  // Only an episode handed off from a play window is followed: the other
  // forms play live rooms and channels, which have no position to keep.
  if (parsed_.form == PlayForm::kHandOff) {
    host.AddSystemMenuItem(kRestartCommand, Gbk("从头播放"));
    if (ExternalPlayerInstalled(Platform())) host.AddSystemMenuItem(kExternalPlayerCommand, Gbk("用外部播放器播放"));
    host.on_close_request = [this] { progress_.Finish([this] { Host().Close(); }); };
  }
  Rect work = host.WorkArea();
  const int r = work.right, b = work.bottom;

  switch (parsed_.form) {
    case PlayForm::kPlayMv: {
      CloseOnEscape();
      host.Place(Rect::FromSize(50, 40, r - 100, b - 80));
      host.Show();
      Size client = host.ClientSize();
      clientWidth_ = client.width;
      clientHeight_ = client.height;
      host.SetCaption(parsed_.title);
      layoutReady_ = true;
      Layout();
      if (RefusedAddress()) return;
      player_.Navigate(parsed_.address);
      return;
    }
    case PlayForm::kTvPlay: {
      int width = parsed_.width < kMinTvWidth ? kDefaultTvWidth : parsed_.width;
      int height = parsed_.height < kMinTvHeight ? kDefaultTvHeight : parsed_.height;
      width = std::min(width, r);
      height = std::min(height, b);
      host.Place(Rect::FromSize((r - width) / 2, (b - height) / 2, width, height));
      host.Show();
      Size client = host.ClientSize();
      clientWidth_ = client.width;
      clientHeight_ = client.height;
      host.SetCaption(parsed_.title);
      break;
    }
    case PlayForm::kHandOff:
      host.Place(Rect::FromSize(100, 50, r - 200, b - 100));
      host.Show();
      host.SetCaption(HandOffCaption(parsed_.title, parsed_.label));
      break;
  }
  layoutReady_ = true;
  Layout();
  if (RefusedAddress()) return;
  ShowLoadingPage();
  host.StartTimer(kOpenPlayerTimer, 200);
}

bool SeparatePlayWindow::RefusedAddress() {
  // Whoever wrote the command, only a web page is played: a local file or a
  // script address would show or run what no server sent.
  if (!WebHostAndPort(parsed_.address).empty()) return false;
  ShowStatusPage(player_, StatusFrame::kGrey, Gbk("视频地址无效,只能播放 http 或 https 网址"));
  return true;
}

void SeparatePlayWindow::Layout() {
  if (!layoutReady_) return;
  Size client = Host().ClientSize();
  player_.View().SetBounds(Rect::FromSize(0, 0, client.width, client.height));
  popupSink_.View().SetBounds(PopupSinkBounds(client));
}

void SeparatePlayWindow::ShowLoadingPage() {
  ShowStatusPage(player_, StatusFrame::kGrey, Gbk("视频加载,请稍候...<br>Loading..."));
}

void SeparatePlayWindow::OnTimer(int id) {
  if (progress_.OnTimer(id)) return;
  if (id == kOpenPlayerTimer) {
    Host().KillTimer(kOpenPlayerTimer);
    OpenPlayer();
  } else if (id == kBlankSinkTimer) {
    Host().KillTimer(kBlankSinkTimer);
    popupSink_.Navigate("about:blank");
  }
}

void SeparatePlayWindow::OpenPlayer() {
  if (parsed_.form == PlayForm::kTvPlay) {
    if (parsed_.noNewWindow) allowNewWindow_ = 0;
    player_.Navigate(AppendClientSizeQuery(parsed_.address, clientWidth_, clientHeight_));
    return;
  }
  std::string target = PlayerPageAddress(TemplateValue(templatePath_, kPlayerTemplateKey),
                                            VideoPlayerHost(templatePath_), parsed_.address, parsed_.title,
                                            parsed_.label);
  // Without a usable address the loading page stays.
  if (target.empty()) return;
  player_.Navigate(target);
  // A video of one episode is handed off with its show page as the episode.
  progress_.Follow(parsed_.address, parsed_.address, parsed_.label);
}

port::BrowserView* SeparatePlayWindow::OnNewWindow() {
  if (allowNewWindow_ != 0) {
    // An ordinary browser window, as a pop-up from any other page gets; its
    // pages carry no commands for this program.
    return Windows().OpenPopup(PageHookup{});
  }
  Host().StartTimer(kBlankSinkTimer, 500);
  return popupSink_.GetApplication();
}

void SeparatePlayWindow::SetResumeNote(const std::string& note) {
  std::string caption = resumeNote_.empty() ? Host().Caption() : ReplaceAll(Host().Caption(), resumeNote_, "");
  resumeNote_ = note;
  Host().SetCaption(caption + note);
}

void SeparatePlayWindow::OnSystemCommand(int id) {
  if (id == kRestartCommand) {
    progress_.RestartFromBeginning();
    SetResumeNote("");
    return;
  }
  if (id == kExternalPlayerCommand) {
    progress_.PlayOutside(Platform());
    return;
  }
  if (id != kTopmostCommand && id != kNotTopmostCommand) return;
  bool topmost = id == kTopmostCommand;
  Host().SetTopmost(topmost);
  std::string caption = ReplaceAll(Host().Caption(), TopmostMark(), "");
  if (topmost) caption += TopmostMark();
  Host().SetCaption(caption);
}

void RunSeparatePlayWindow(WindowSet& windows, const std::string& playCommand, const std::string& templatePath) {
  windows.RunUntilClosed(windows.Open<SeparatePlayWindow>(playCommand, templatePath));
}

}  // namespace tavelo
