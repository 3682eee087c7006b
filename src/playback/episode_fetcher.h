#pragma once
// A play window's episode fetch: the show page downloaded by a background
// job, then FinishEpisodeFetch. Stop returns at once without waiting for the
// worker: the download is cancelled, the thread ends by itself, and nothing
// it does from then on reaches the window or the video's files.

#include <cstdint>
#include <functional>
#include <string>

#include "base/program_paths.h"
#include "browser/background_job.h"
#include "browser/window_set.h"
#include "content/episode_fetch.h"

namespace tavelo {

class EpisodeFetcher {
 public:
  // Both run on the user-interface thread, and only for the fetch that is
  // still current.
  struct Handlers {
    // The status line while the page arrives ("下载数据 %d 字节...").
    std::function<void(const std::string& status)> on_status;
    // The fetch is done; the fetcher is idle again when this runs.
    std::function<void(EpisodeFetchResult result)> on_done;
  };

  // A running fetch stops when the fetcher goes.
  EpisodeFetcher(ResultPoster results, Handlers handlers);
  EpisodeFetcher(const EpisodeFetcher&) = delete;
  EpisodeFetcher& operator=(const EpisodeFetcher&) = delete;

  // Stops the running fetch, if any, and fetches `pageAddress`, scraping it
  // against `showHost` with the cache files of `paths`.
  void Start(const std::string& pageAddress, const ProgramPaths& paths, const std::string& showHost);
  // Forgets the running fetch at once; its worker's results are dropped.
  void Stop() { job_.Stop(); }
  // From Start until the result has been handed over or the fetch stopped.
  bool Running() const { return job_.Running(); }

 private:
  void ShowStatus(const std::string& status);
  void Finished(EpisodeFetchResult result);

  ResultPoster results_;
  Handlers handlers_;
  BackgroundJob job_;
};

}  // namespace tavelo
