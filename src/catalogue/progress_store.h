#pragma once
// Where the user stopped in each episode (data/progress.dat), and what a
// player page reports about its video. One record a line, GBK:
//   address TAB video TAB label TAB position TAB duration TAB saved-at TAB CR LF
// with whole seconds and the save time in seconds since the epoch; the
// texts escaped as the personal lists escape their fields. Several
// processes play at once, so every save takes the file's lock, reads the
// file as it is, changes it and replaces it whole.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

// Older records go once the store holds this many.
inline constexpr size_t kMaxProgressRecords = 2000;
// Within this many seconds of its end, or past kFinishedShare of it, an
// episode counts as watched.
inline constexpr int kFinishedTailSeconds = 30;
inline constexpr double kFinishedShare = 0.95;
// Positions up to this are not worth resuming.
inline constexpr int kMinResumeSeconds = 10;

struct EpisodeProgress {
  std::string address;  // GBK, as the episode list holds it
  std::string video;    // the video's show page, as its history record holds it
  std::string label;    // GBK, "第5集"
  int position = 0;
  int duration = 0;
  long long savedAt = 0;
  bool operator==(const EpisodeProgress&) const = default;
};

bool IsFinished(int position, int duration);
// The position to seek to when the episode opens again; 0 for "from the start".
int ResumePosition(const EpisodeProgress* record);

// Every well-formed record of a store's text, in file order; a damaged line
// is skipped and the rest still read.
std::vector<EpisodeProgress> ParseProgressText(std::string_view text);
std::string ProgressText(const std::vector<EpisodeProgress>& records);
// The records of the store at `path`; empty for a missing file, nothing for
// one that is there but cannot be read (errno says why).
std::optional<std::vector<EpisodeProgress>> LoadProgress(const std::string& path);
// The newest record of episode `address`, or nullptr.
const EpisodeProgress* FindProgress(const std::vector<EpisodeProgress>& records, std::string_view address);
// The newest record of any episode of the video with show page `video`, or nullptr.
const EpisodeProgress* FindVideoProgress(const std::vector<EpisodeProgress>& records, std::string_view video);

// What a locked change did; an unreadable store is left as it is.
struct ProgressEdit {
  bool readable = true;
  bool saved = true;
};
// Puts `record` at the end in place of the episode's older one and keeps
// the newest kMaxProgressRecords.
ProgressEdit SaveProgress(const std::string& path, const EpisodeProgress& record);
ProgressEdit ClearProgress(const std::string& path);
// Why a change left the store at `path` as it was (GBK), "" when it did not.
std::string ProgressFailureMessage(const ProgressEdit& edit, const std::string& path);

// "4:05", "12:34", "1:02:03".
std::string ClockText(int seconds);
// "第5集 12:34 / 45:00", or "第5集 已看完" (GBK).
std::string ProgressSummary(const EpisodeProgress& record);

// A page's video as the play windows' script reports it: currentTime,
// duration, paused, ended and currentSrc, one a line. Nothing when the page
// has no video or an answer makes no sense (not a number, negative, NaN,
// infinite for a live stream, a position past the duration).
struct VideoState {
  double position = 0;
  double duration = 0;
  bool paused = false;
  bool ended = false;
  std::string source;  // UTF-8, as the page gives it
};
std::optional<VideoState> ParseVideoState(std::string_view answer);

}  // namespace tavelo
