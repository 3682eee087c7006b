#include "mainwin/data_updater.h"

#include "net/data_update.h"

namespace tavelo {

DataUpdater::~DataUpdater() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stopWait_.notify_all();
  downloader_.Cancel();
  if (thread_.joinable()) thread_.join();
}

void DataUpdater::Start(const ProgramPaths& paths) {
  if (thread_.joinable()) return;
  thread_ = std::thread(&DataUpdater::Run, this, paths);
}

void DataUpdater::Run(ProgramPaths paths) {
  {
    std::unique_lock lock(mutex_);
    if (stopWait_.wait_for(lock, kDataUpdateStartDelay, [this] { return stopping_; })) return;
  }
  try {
    RunDataUpdatePass(paths, videoNew_, p2pNew_, downloader_);
  } catch (const std::exception&) {
    // Out of memory on a hostile package: the lists keep what they had, and
    // the program goes on without the update.
  }
  videoNewCount_.store(videoNew_.Records().Count());
  p2pNewCount_.store(p2pNew_.Records().Count());
}

}  // namespace tavelo
