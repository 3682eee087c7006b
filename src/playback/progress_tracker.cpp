#include "playback/progress_tracker.h"

#include <cmath>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "text/encoding.h"

namespace tavelo {

namespace {

using port::ScriptValue;

// The page's first video as "currentTime, duration, paused, ended,
// currentSrc", one a line, or "" without one. With `seekTo`, the video
// first moves there once its metadata is in; a flag on the element keeps
// that to one seek, and a seek the page refuses leaves it where it was.
std::string LookScript(int seekTo) {
  std::string script = "(function(){var v=document.querySelector('video');if(!v)return '';";
  if (seekTo > 0) {
    script += "if(!v.tavResumed){v.tavResumed=1;var go=function(){try{v.currentTime=" + std::to_string(seekTo) +
              ";}catch(e){}};if(v.readyState>=1)go();else v.addEventListener('loadedmetadata',go,{once:true});}";
  }
  return script + "return [v.currentTime,v.duration,v.paused?1:0,v.ended?1:0,v.currentSrc].join('\\n');})()";
}

std::string AnswerText(const ScriptValue& value) {
  return value.kind == ScriptValue::Kind::kString ? value.text : std::string();
}

constexpr const char* kPauseScript = "(function(){var v=document.querySelector('video');if(v)v.pause();})()";
constexpr const char* kRestartScript =
    "(function(){var v=document.querySelector('video');if(v){try{v.currentTime=0;}catch(e){}}})()";

// What the desktop calls the media type of a video address, by its ending.
std::string MediaTypeOf(std::string_view source) {
  source = source.substr(0, source.find_first_of("?#"));
  const std::pair<std::string_view, const char*> kTypes[] = {
      {".webm", "video/webm"}, {".mkv", "video/x-matroska"}, {".ogv", "video/ogg"},
      {".m3u8", "application/vnd.apple.mpegurl"}, {".flv", "video/x-flv"},
  };
  for (const auto& [ending, type] : kTypes) {
    if (source.ends_with(ending)) return type;
  }
  return "video/mp4";
}

}  // namespace

bool ExternalPlayerInstalled(port::Platform& platform) {
  return !platform.FindProgram("mpv").empty() || !platform.DefaultProgramFor("video/mp4").empty() ||
         !platform.DefaultProgramFor("video/webm").empty();
}

ExternalLaunch ExternalPlayerLaunch(port::Platform& platform, const VideoState& video) {
  const std::string& source = video.source;
  // A blob: address names bytes a page script feeds the player; no other
  // program can read them.
  if (source.starts_with("blob:")) return {{}, Gbk("该视频由网页脚本逐段送入播放器(blob: 地址),无法交给外部播放器")};
  if (!source.starts_with("http://") && !source.starts_with("https://")) {
    return {{}, Gbk("只有 http 或 https 地址的视频能交给外部播放器")};
  }
  const std::string mpv = platform.FindProgram("mpv");
  if (!mpv.empty()) {
    return {{mpv, "--start=" + std::to_string(static_cast<long long>(std::floor(video.position))), source}, ""};
  }
  const std::string handler = platform.DefaultProgramFor(MediaTypeOf(source));
  if (handler.empty()) return {{}, Gbk("没有找到能播放该视频的外部播放器")};
  return {{handler, source}, ""};
}

struct ProgressSaver::Queue {
  std::string path;
  std::mutex lock;
  std::condition_variable wake;
  std::deque<std::pair<EpisodeProgress, std::function<void(const ProgressEdit&)>>> waiting;
  bool closing = false;
};

ProgressSaver::ProgressSaver(std::string path) : queue_(std::make_shared<Queue>()) {
  queue_->path = std::move(path);
  std::thread([queue = queue_] {
    std::unique_lock hold(queue->lock);
    for (;;) {
      queue->wake.wait(hold, [&] { return queue->closing || !queue->waiting.empty(); });
      if (queue->waiting.empty()) return;
      auto [record, failed] = std::move(queue->waiting.front());
      queue->waiting.pop_front();
      hold.unlock();
      const ProgressEdit edit = SaveProgress(queue->path, record);
      if (!edit.saved) failed(edit);
      hold.lock();
    }
  }).detach();
}

ProgressSaver::~ProgressSaver() {
  {
    std::lock_guard hold(queue_->lock);
    queue_->closing = true;
  }
  queue_->wake.notify_one();
}

void ProgressSaver::Save(EpisodeProgress record, std::function<void(const ProgressEdit& edit)> failed) {
  {
    std::lock_guard hold(queue_->lock);
    queue_->waiting.emplace_back(std::move(record), std::move(failed));
  }
  queue_->wake.notify_one();
}

ProgressTracker::ProgressTracker(port::WindowHost& host, port::BrowserView& view, std::string storePath,
                                 int lookTimer, int closeTimer, Handlers handlers)
    : host_(host),
      view_(view),
      storePath_(std::move(storePath)),
      lookTimer_(lookTimer),
      closeTimer_(closeTimer),
      handlers_(std::move(handlers)),
      saver_(storePath_) {}

ProgressTracker::~ProgressTracker() {
  std::lock_guard hold(alive_->lock);
  alive_->alive = false;
}

void ProgressTracker::Follow(const std::string& video, const std::string& address, const std::string& label) {
  if (!episode_.address.empty()) {
    view_.EvaluateScript(LookScript(0), [this, episode = episode_](ScriptValue value) {
      if (std::optional<VideoState> video = ParseVideoState(AnswerText(value))) Record(episode, *video);
    });
  }
  episode_ = {address, video, label, -1, 0, 0};
  std::optional<std::vector<EpisodeProgress>> records = LoadProgress(storePath_);
  resumeAt_ = records ? ResumePosition(FindProgress(*records, address)) : 0;
  host_.StartTimer(lookTimer_, resumeAt_ > 0 ? kResumeLookInterval : kLookInterval);
}

void ProgressTracker::Finish(std::function<void()> then) {
  host_.KillTimer(lookTimer_);
  if (episode_.address.empty()) {
    then();
    return;
  }
  finishing_ = std::move(then);
  host_.StartTimer(closeTimer_, kCloseWait);
  // Last: the answer may come at once and close the window.
  view_.EvaluateScript(LookScript(0), [this, episode = episode_](ScriptValue value) {
    if (std::optional<VideoState> video = ParseVideoState(AnswerText(value))) Record(episode, *video);
    Finished();
  });
}

void ProgressTracker::Finished() {
  if (!finishing_) return;
  host_.KillTimer(closeTimer_);
  std::function<void()> then = std::move(finishing_);
  finishing_ = nullptr;
  then();
}

bool ProgressTracker::OnTimer(int id) {
  if (id == lookTimer_) {
    Look();
    return true;
  }
  if (id == closeTimer_) {
    Finished();
    return true;
  }
  return false;
}

void ProgressTracker::Look() {
  if (episode_.address.empty()) return;
  const int seekTo = resumeAt_;
  host_.StartTimer(lookTimer_, seekTo > 0 ? kResumeLookInterval : kLookInterval);
  view_.EvaluateScript(LookScript(seekTo), [this, episode = episode_, seekTo](ScriptValue value) {
    const std::string answer = AnswerText(value);
    const bool current = episode.address == episode_.address;
    if (current && seekTo > 0 && resumeAt_ == seekTo && !answer.empty()) {
      resumeAt_ = 0;
      host_.StartTimer(lookTimer_, kLookInterval);
      if (handlers_.on_resumed) handlers_.on_resumed(seekTo);
    }
    if (std::optional<VideoState> video = ParseVideoState(answer)) Record(episode, *video);
  });
}

void ProgressTracker::Record(const EpisodeProgress& episode, const VideoState& video) {
  EpisodeProgress record = episode;
  record.position = static_cast<int>(video.position);
  record.duration = static_cast<int>(video.duration);
  const bool current = episode.address == episode_.address;
  // A paused video would write the same record every few seconds.
  if (current && record.position == episode_.position) return;
  record.savedAt = static_cast<long long>(std::time(nullptr));
  if (current) episode_.position = record.position;
  saver_.Save(std::move(record), [this, alive = alive_](const ProgressEdit& edit) {
    // On the saving thread: the window and its host live while the flag is
    // held and set.
    std::lock_guard hold(alive->lock);
    if (!alive->alive) return;
    host_.Post([this, edit] {
      if (toldStoreError_) return;
      toldStoreError_ = true;
      if (handlers_.on_message) handlers_.on_message(ProgressFailureMessage(edit, storePath_));
    });
  });
}

void ProgressTracker::RestartFromBeginning() {
  resumeAt_ = 0;
  view_.EvaluateScript(kRestartScript, [](ScriptValue) {});
}

void ProgressTracker::PlayOutside(port::Platform& platform) {
  view_.EvaluateScript(LookScript(0), [this, &platform](ScriptValue value) {
    std::optional<VideoState> video = ParseVideoState(AnswerText(value));
    if (!video) {
      if (handlers_.on_message) handlers_.on_message(Gbk("页面中没有可交给外部播放器的视频"));
      return;
    }
    ExternalLaunch launch = ExternalPlayerLaunch(platform, *video);
    if (launch.argv.empty()) {
      if (handlers_.on_message) handlers_.on_message(launch.refusal);
      return;
    }
    view_.EvaluateScript(kPauseScript, [](ScriptValue) {});
    if (!platform.StartProcess(launch.argv) && handlers_.on_message) {
      handlers_.on_message(Gbk("外部播放器无法启动"));
    }
  });
}

}  // namespace tavelo
