#pragma once
// Lets the user open episodes of a video one by one, each in a program copy
// of its own (the separate play window), from a copy of the play window's
// episode list. It stays open for the next episode.

#include <functional>
#include <string>
#include <vector>

#include "browser/window_set.h"
#include "content/episode_cache.h"
#include "content/episode_scraper.h"

namespace tavelo {

class SelectOpenWindow : public OwnedWindow {
 public:
  static constexpr int kListId = 1021;
  static constexpr int kWidth = 430;
  static constexpr int kHeight = 400;

  // Placed in the middle of the work area, captioned after the video's
  // `title`, filled with `rows` and shown. A launched episode becomes the
  // video's last played one in `files`. It belongs to its play window,
  // `owner`, and stays in front of it.
  SelectOpenWindow(const WindowSet::Slot& slot, port::WindowHost& owner, const std::string& title,
                   const std::vector<EpisodeRow>& rows, const EpisodeFiles& files);
  // Runs on_gone.
  ~SelectOpenWindow() override;

  // Records the episode as last played and starts a program copy that plays it.
  void LaunchEpisode(const std::string& label, const std::string& address);

  // Tells the window that opened this one that it is gone.
  std::function<void()> on_gone;

 private:
  void Layout();
  void OnListClick(port::ListHit hit, bool doubleClick);

  std::string title_;
  EpisodeFiles files_;
  bool layoutReady_ = false;
  port::ListView* list_;
};

}  // namespace tavelo
