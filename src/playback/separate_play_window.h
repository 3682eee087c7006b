#pragma once
// The one window of a program copy started with "runPlay:": a player browser
// filling the client area, a hidden second browser that swallows pop-ups
// when the command asks for that, and two window-menu items that keep the
// window above others or release it. It plays what its command string says
// and nothing else: it never looks at the catalogue or the personal lists.

#include <string>
#include <string_view>

#include "browser/browser_window.h"
#include "playback/progress_tracker.h"

namespace tavelo {

// The three kinds of play command a relaunched copy receives.
enum class PlayForm {
  kPlayMv,   // "cmd=PLAYMV|address|title|": a live room, opened at once
  kTvPlay,   // "...cmd=TVPLAY|address|title|flags|width|height": client size appended
  kHandOff,  // address**TAB**title**TAB**label: an episode built into the player template
};

struct PlayCommand {
  PlayForm form = PlayForm::kHandOff;
  std::string address;
  std::string title;
  std::string label;  // hand-off form only
  int width = 0;      // TVPLAY form only; 0 when missing or not a number
  int height = 0;
  bool noNewWindow = false;  // "NONEWWINDOW" anywhere in the command
};

// Missing fields read as empty texts, so any string gives a usable command.
PlayCommand ParsePlayCommand(std::string_view command);

// The leading decimal number of `text` (optional sign), 0 when there is none;
// saturates instead of overflowing.
int DecimalValue(std::string_view text);

// address + "?" or "&" + "w=<width>&h=<height>".
std::string AppendClientSizeQuery(const std::string& address, int width, int height);

// The caption of a hand-off: the cleaned title, followed by "_" and the
// cleaned label when they differ.
std::string HandOffCaption(std::string_view title, std::string_view label);

class SeparatePlayWindow : public BrowserWindow {
 public:
  static constexpr int kPlayerId = 1011;
  static constexpr int kPopupSinkId = 1029;
  static constexpr int kOpenPlayerTimer = 2;
  static constexpr int kBlankSinkTimer = 3;
  static constexpr int kProgressTimer = 5;
  static constexpr int kProgressCloseTimer = 6;
  static constexpr int kTopmostCommand = 1124;
  static constexpr int kNotTopmostCommand = 1125;
  static constexpr int kRestartCommand = 1130;
  static constexpr int kExternalPlayerCommand = 1131;

  // Places and shows the window and starts what its form asks for.
  // `templatePath` is data/main.htm of the program's folder.
  SeparatePlayWindow(const WindowSet::Slot& slot, const std::string& command, const std::string& templatePath);

  CWebBrowser2& Player() { return player_; }
  const PlayCommand& Command() const { return parsed_; }
  bool AllowsNewWindows() const { return allowNewWindow_ != 0; }
  ProgressTracker& Progress() { return progress_; }

 private:
  void Layout();
  // Shows why when the command's address is no web address; true then.
  bool RefusedAddress();
  void ShowLoadingPage();
  void OnTimer(int id);
  void OpenPlayer();
  port::BrowserView* OnNewWindow();
  void OnSystemCommand(int id);
  // The caption says where a resumed episode continued until it restarts.
  void SetResumeNote(const std::string& note);

  std::string templatePath_;
  int allowNewWindow_ = 1;
  bool layoutReady_ = false;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  PlayCommand parsed_;
  CWebBrowser2& player_;
  CWebBrowser2& popupSink_;
  std::string resumeNote_;
  ProgressTracker progress_;
};

// The entry start-up calls for "runPlay:" + a play command: runs the window
// until it has closed.
void RunSeparatePlayWindow(WindowSet& windows, const std::string& playCommand, const std::string& templatePath);

}  // namespace tavelo
