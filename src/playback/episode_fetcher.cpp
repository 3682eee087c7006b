#include "playback/episode_fetcher.h"

#include <atomic>
#include <thread>

#include "net/http_downloader.h"

namespace tavelo {

// What the worker and the user-interface thread share. The worker reads
// `stopped` to give up; tasks it posts read it again on the user-interface
// thread, where Stop sets it, so a task of a stopped job never runs.
struct EpisodeFetcher::Job : StatusSink, std::enable_shared_from_this<Job> {
  Job(ResultPoster poster, EpisodeFetcher& fetcher) : results(std::move(poster)), owner(&fetcher) {}

  bool IsAlive() const override { return !stopped.load(); }
  void SetStatusText(const std::string& gbk) override {
    Deliver([gbk](EpisodeFetcher& fetcher) {
      auto status = fetcher.handlers_.on_status;
      if (status) status(gbk);
    });
  }

  // Runs `task` on the user-interface thread with the fetcher, unless the
  // job has been stopped by then (or the window is gone).
  void Deliver(std::function<void(EpisodeFetcher&)> task) {
    results.Post([job = shared_from_this(), task = std::move(task)] {
      if (!job->stopped.load()) task(*job->owner);
    });
  }

  std::atomic<bool> stopped{false};
  HttpDownloader downloader;
  ResultPoster results;
  // Used only on the user-interface thread, and only while not stopped: the
  // fetcher stops its job before it goes.
  EpisodeFetcher* owner;
};

EpisodeFetcher::EpisodeFetcher(ResultPoster results, Handlers handlers)
    : results_(std::move(results)), handlers_(std::move(handlers)) {}

EpisodeFetcher::~EpisodeFetcher() { Stop(); }

void EpisodeFetcher::Start(const std::string& pageAddress, const ProgramPaths& paths, const std::string& showHost) {
  Stop();
  job_ = std::make_shared<Job>(results_, *this);
  job_->downloader.SetBodyLimit(kShowPageLimit);
  job_->downloader.SetFailOnErrorStatus(true);
  job_->downloader.SetStatusSink(job_.get());
  // Detached: a closing window never waits for the network.
  std::thread(Run, job_, pageAddress, paths, showHost).detach();
}

void EpisodeFetcher::Stop() {
  if (job_ == nullptr) return;
  // Stopped before cancelled, so a worker whose download ends by the cancel
  // already sees that it was stopped.
  job_->stopped.store(true);
  job_->downloader.Cancel();
  job_.reset();
}

void EpisodeFetcher::Finished(EpisodeFetchResult result) {
  // Only the current job's tasks run (Deliver), so the job done is this one.
  job_.reset();
  // A copy: the handler may close the window, and this fetcher with it.
  auto done = handlers_.on_done;
  if (done) done(std::move(result));
}

void EpisodeFetcher::Run(std::shared_ptr<Job> job, std::string pageAddress, ProgramPaths paths,
                         std::string showHost) {
  std::string body;
  const int downloaded = job->downloader.DownloadToString(pageAddress, body);
  // A cancelled download holds part of the page at most: it must not replace
  // the video's cached list.
  if (job->stopped.load()) return;
  // Nor may an error page's title, or a page cut short: the cached list
  // stands, as when the network is down.
  if (downloaded != kDownloadDone) body.clear();
  auto result = std::make_shared<EpisodeFetchResult>(FinishEpisodeFetch(std::move(body), pageAddress, paths, showHost));
  job->Deliver([result](EpisodeFetcher& fetcher) { fetcher.Finished(std::move(*result)); });
}

}  // namespace tavelo
