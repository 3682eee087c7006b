#pragma once
// Where the user is in the episode a play window shows. The page's video is
// read every few seconds, when the window moves to another episode and when
// it closes, and its position goes to the progress store; an episode opened
// again continues where it stopped. The play window and the separate play
// window each own one.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "catalogue/progress_store.h"
#include "port/window_host.h"

namespace tavelo {

// The program that plays a video outside the portal: mpv when it is on PATH
// (it can start at a position), else the desktop's program for the video's
// media type. `refusal` (GBK) says why a video cannot be handed over.
struct ExternalLaunch {
  std::vector<std::string> argv;
  std::string refusal;
};
bool ExternalPlayerInstalled(port::Platform& platform);
ExternalLaunch ExternalPlayerLaunch(port::Platform& platform, const VideoState& video);

// Saves progress records on a thread of its own: a save waits for the disk,
// which the main loop must not. Records are saved in the order given; the
// thread ends once its saver is gone and nothing waits, so a window's last
// reading is saved after the window has closed.
class ProgressSaver {
 public:
  explicit ProgressSaver(std::string path);
  ~ProgressSaver();
  ProgressSaver(const ProgressSaver&) = delete;
  ProgressSaver& operator=(const ProgressSaver&) = delete;

  // `failed` runs on the saving thread when the store was left as it was.
  void Save(EpisodeProgress record, std::function<void(const ProgressEdit& edit)> failed);

 private:
  struct Queue;
  std::shared_ptr<Queue> queue_;
};

class ProgressTracker {
 public:
  static constexpr int kLookInterval = 5000;
  // How often the page is looked at while a resume waits for its video.
  static constexpr int kResumeLookInterval = 1000;
  // How long a closing window waits for the page's last answer.
  static constexpr int kCloseWait = 1000;

  struct Handlers {
    // The episode continues at `seconds`.
    std::function<void(int seconds)> on_resumed;
    // A message for the user (GBK): a store that cannot be saved (said once),
    // or why a video could not go to an external player.
    std::function<void(const std::string& message)> on_message;
  };

  // `lookTimer` and `closeTimer` are timer ids of `host` this tracker owns.
  ProgressTracker(port::WindowHost& host, port::BrowserView& view, std::string storePath, int lookTimer,
                  int closeTimer, Handlers handlers);
  ~ProgressTracker();

  // Follows a newly played episode of the video with show page `video`;
  // the episode before gets a last reading.
  void Follow(const std::string& video, const std::string& address, const std::string& label);
  // A last reading, then `then`, which may destroy the window: at once
  // without an episode, else on the page's answer or kCloseWait later.
  void Finish(std::function<void()> then);
  // True when `id` was one of the tracker's timers.
  bool OnTimer(int id);
  void RestartFromBeginning();
  // Pauses the page and starts the external player at the current position.
  void PlayOutside(port::Platform& platform);

 private:
  void Look();
  void Record(const EpisodeProgress& episode, const VideoState& video);
  void Finished();

  port::WindowHost& host_;
  port::BrowserView& view_;
  std::string storePath_;
  int lookTimer_;
  int closeTimer_;
  Handlers handlers_;
  // The followed episode (address, video, label) and its last saved position.
  EpisodeProgress episode_;
  int resumeAt_ = 0;
  bool toldStoreError_ = false;
  std::function<void()> finishing_;
  // Cleared when the tracker goes, so the saver reports to the window only
  // while both live.
  struct Alive {
    std::mutex lock;
    bool alive = true;
  };
  std::shared_ptr<Alive> alive_ = std::make_shared<Alive>();
  ProgressSaver saver_;
};

}  // namespace tavelo
