#include "playback/episode_fetcher.h"

#include "net/http_downloader.h"

namespace tavelo {

namespace {

// The download's status lines, handed to the fetcher as tasks; a stopped
// fetch shows none.
class PostedStatus : public StatusSink {
 public:
  PostedStatus(JobToken job, std::function<void(const std::string&)> show)
      : job_(std::move(job)), show_(std::move(show)) {}
  bool IsAlive() const override { return !job_.Stopped(); }
  void SetStatusText(const std::string& gbk) override {
    job_.Post([show = show_, gbk] { show(gbk); });
  }

 private:
  JobToken job_;
  std::function<void(const std::string&)> show_;
};

}  // namespace

EpisodeFetcher::EpisodeFetcher(ResultPoster results, Handlers handlers)
    : results_(std::move(results)), handlers_(std::move(handlers)) {}

void EpisodeFetcher::Start(const std::string& pageAddress, const ProgramPaths& paths, const std::string& showHost) {
  auto downloader = std::make_shared<HttpDownloader>();
  downloader->SetBodyLimit(kShowPageLimit);
  downloader->SetFailOnErrorStatus(true);
  // The worker reaches the fetcher only through the job's tasks, which run
  // only while the fetch is current: the fetcher stops it before it goes.
  job_.Start(
      results_,
      [this, downloader, pageAddress, paths, showHost](const JobToken& job) {
        PostedStatus status(job, [this](const std::string& text) { ShowStatus(text); });
        downloader->SetStatusSink(&status);
        std::string body;
        const int downloaded = downloader->DownloadToString(pageAddress, body);
        // A cancelled download holds part of the page at most: it must not
        // replace the video's cached list.
        if (job.Stopped()) return;
        // Nor may an error page's title, or a page cut short: the cached
        // list stands, as when the network is down.
        if (downloaded != kDownloadDone) body.clear();
        auto result =
            std::make_shared<EpisodeFetchResult>(FinishEpisodeFetch(std::move(body), pageAddress, paths, showHost));
        job.Finish([this, result] { Finished(std::move(*result)); });
      },
      [downloader] { downloader->Cancel(); });
}

void EpisodeFetcher::ShowStatus(const std::string& status) {
  auto show = handlers_.on_status;
  if (show) show(status);
}

void EpisodeFetcher::Finished(EpisodeFetchResult result) {
  // A copy: the handler may close the window, and this fetcher with it.
  auto done = handlers_.on_done;
  if (done) done(std::move(result));
}

}  // namespace tavelo
