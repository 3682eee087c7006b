#pragma once
// Runs the data update on a thread of its own once the main window is up:
// a short wait, then one pass that fills the new-videos and new-P2P lists.
// The window reads only the two counts, which are published when the pass
// is done, so no reader ever sees a list while it is being replaced.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "catalogue/catalogue_store.h"
#include "net/data_update.h"
#include "net/http_downloader.h"

namespace tavelo {

class DataUpdater {
 public:
  DataUpdater() = default;
  // Stops a running fetch within one chunk and waits for the thread.
  ~DataUpdater();
  DataUpdater(const DataUpdater&) = delete;
  DataUpdater& operator=(const DataUpdater&) = delete;

  void Start(const ProgramPaths& paths);

  int VideoNewCount() const { return videoNewCount_.load(); }
  int P2pNewCount() const { return p2pNewCount_.load(); }

 private:
  void Run(ProgramPaths paths);

  CatalogueCategory videoNew_;
  CatalogueCategory p2pNew_;
  HttpDownloader downloader_{kUpdateDownloadLimits};
  std::atomic<int> videoNewCount_{0};
  std::atomic<int> p2pNewCount_{0};
  std::mutex mutex_;
  std::condition_variable stopWait_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace tavelo
