#pragma once
// A play window's episode fetch: the show page downloaded on a worker thread
// of its own, then FinishEpisodeFetch. The worker never touches the window:
// what it finds reaches the window as tasks on the user-interface thread,
// posted through the window's ResultPoster. Stop returns at once without
// waiting for the worker: the download is cancelled, the thread ends by
// itself, and nothing it does from then on reaches the window or the
// video's files.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/program_paths.h"
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

  EpisodeFetcher(ResultPoster results, Handlers handlers);
  // Stops a running fetch.
  ~EpisodeFetcher();
  EpisodeFetcher(const EpisodeFetcher&) = delete;
  EpisodeFetcher& operator=(const EpisodeFetcher&) = delete;

  // Stops the running fetch, if any, and fetches `pageAddress`, scraping it
  // against `showHost` with the cache files of `paths`.
  void Start(const std::string& pageAddress, const ProgramPaths& paths, const std::string& showHost);
  // Forgets the running fetch at once; its worker's results are dropped.
  void Stop();
  // From Start until the result has been handed over or the fetch stopped.
  bool Running() const { return job_ != nullptr; }

 private:
  struct Job;
  // The worker thread's procedure.
  static void Run(std::shared_ptr<Job> job, std::string pageAddress, ProgramPaths paths, std::string showHost);
  void Finished(EpisodeFetchResult result);

  ResultPoster results_;
  Handlers handlers_;
  std::shared_ptr<Job> job_;
};

}  // namespace tavelo
