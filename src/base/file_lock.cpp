#include "base/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "base/atomic_write.h"

namespace tavelo {

namespace {

FileHandle OpenLockFile(const std::string& lockedFile) {
  return FileHandle::Open(lockedFile + ".lock", O_RDWR | O_CREAT, 0644);
}

}  // namespace

FileLock::FileLock(const std::string& lockedFile) : file_(OpenLockFile(lockedFile)) {
  if (!file_.Valid()) return;
  while (flock(file_.Get(), LOCK_EX) != 0 && errno == EINTR) {
  }
}

FileLock::FileLock(const std::string& lockedFile, const std::function<bool()>& keepWaiting)
    : file_(OpenLockFile(lockedFile)) {
  constexpr auto kPoll = std::chrono::milliseconds(50);
  if (!file_.Valid()) return;
  while (flock(file_.Get(), LOCK_EX | LOCK_NB) != 0) {
    // Only a lock held elsewhere is waited for; any other failure goes
    // ahead unlocked, as the waiting constructor would.
    if (errno != EWOULDBLOCK && errno != EINTR) return;
    if (!keepWaiting()) {
      file_.Close();
      gaveUp_ = true;
      return;
    }
    std::this_thread::sleep_for(kPoll);
  }
}

SaveLock::SaveLock(const std::string& file) : lock_(file) {
  RemoveStaleTemporaries(file, kStaleTemporarySeconds);
}

}  // namespace tavelo
