#pragma once
// The window that plays the episodes of one video: a player browser on the
// left, the episode list on the right with the video's details and the
// user's actions below it, a status line at the bottom. The list comes from
// the video's show page, fetched on a worker thread (episode_fetcher.h). A
// video of a single episode is handed to a program copy of its own, and the
// window closes.

#include <string>
#include <vector>

#include "base/program_paths.h"
#include "browser/browser_window.h"
#include "playback/episode_fetcher.h"
#include "playback/progress_tracker.h"

namespace tavelo {

class SelectOpenWindow;

// What a play window asks of the portal that opened it.
class PlayWindowOwner {
 public:
  virtual ~PlayWindowOwner() = default;
  // Adds the video to the favourites; the text to tell the user.
  virtual std::string AddToFavourites(const std::string& name, const std::string& record) = 0;
  virtual void OpenSearch(const std::string& keyword) = 0;
};

// The player address of an episode, from the program folder's template:
// "[YOUKU_PLAY_URL]" filled in, or the video site's own player; "" when
// neither gives one.
std::string EpisodePlayerAddress(const ProgramPaths& paths, const std::string& address, const std::string& title,
                                 const std::string& label);

class PlayWindow : public BrowserWindow {
 public:
  static constexpr int kBrowserId = 1011;
  static constexpr int kListId = 1023;
  static constexpr int kPanelId = 1026;
  static constexpr int kStatusId = 1022;
  static constexpr int kRestartId = 1030;
  static constexpr int kReadyPageTimer = 1;
  static constexpr int kPlayTimer = 2;
  static constexpr int kHandOffTimer = 4;
  static constexpr int kProgressTimer = 5;
  static constexpr int kProgressCloseTimer = 6;
  static constexpr int kExternalPlayerCommand = 1131;

  // Made hidden, placed in the middle of the work area; OpenRecord shows it.
  PlayWindow(const WindowSet::Slot& slot, PlayWindowOwner& owner);
  // The select-to-open windows opened from this one close with it.
  ~PlayWindow() override;

  // Shows the video of `record` (line 0 its title, line 1 its show page),
  // records the visit in the watch history and starts fetching the episode
  // list. 1 when the record names no page of the video site: the window
  // stays hidden. `label` is not used.
  int OpenRecord(const std::string& name, const std::string& record, const std::string& label);
  // Plays an episode: it becomes the video's last played, the loading page
  // shows, and the player page follows on timer 2. 1 when the episode has no
  // player address (the loading page stays).
  int PlayEpisode(const std::string& label, const std::string& address);
  void ShowStatusPage(const std::string& fragment);

  CWebBrowser2& Browser() { return browser_; }
  port::ListView& EpisodeList() { return *list_; }
  const std::string& Title() const { return title_; }
  const std::string& CurrentAddress() const { return currentAddress_; }
  bool Fetching() const { return fetcher_.Running(); }
  ProgressTracker& Progress() { return progress_; }

 private:
  bool OnOtherKey(port::Key key) override;
  void Layout();
  void SetStatusLine(const std::string& text);
  void FillInfoPanel();
  void ShowEpisodes(EpisodeFetchResult result);
  void OnListClick(port::ListHit hit, bool doubleClick);
  void OnTimer(int id);
  void HandOff();
  void OnPanelClick();
  void CopyAddress();
  void OpenSelectWindow();
  void ShowMessage(const std::string& text);
  void ShowResumed(int seconds);

  PlayWindowOwner& owner_;
  std::string name_;
  std::string record_;
  bool layoutReady_ = false;
  std::string statusText_;
  std::string currentAddress_;
  std::string pendingPage_;
  std::string title_;
  std::string pageAddress_;
  CWebBrowser2& browser_;
  port::ListView* list_;
  port::InfoPanel* panel_;
  port::Static* statusLine_;
  port::FlatButton* restart_;
  bool externalPlayer_ = false;
  std::vector<SelectOpenWindow*> selectWindows_;
  ProgressTracker progress_;
  // Last: it stops its worker before anything it reports to is gone.
  EpisodeFetcher fetcher_;
};

// OpenVideo's way for a video of the video site: a new play window on
// `record`. A record it refuses leaves no window behind.
void OpenPlayWindow(WindowSet& windows, PlayWindowOwner& owner, const std::string& name, const std::string& record,
                    const std::string& label);

}  // namespace tavelo
