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

int OpenLockFile(const std::string& lockedFile) {
  return open((lockedFile + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
}

}  // namespace

FileLock::FileLock(const std::string& lockedFile) : fd_(OpenLockFile(lockedFile)) {
  if (fd_ < 0) return;
  while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
  }
}

FileLock::FileLock(const std::string& lockedFile, const std::function<bool()>& keepWaiting)
    : fd_(OpenLockFile(lockedFile)) {
  constexpr auto kPoll = std::chrono::milliseconds(50);
  if (fd_ < 0) return;
  while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    // Only a lock held elsewhere is waited for; any other failure goes
    // ahead unlocked, as the waiting constructor would.
    if (errno != EWOULDBLOCK && errno != EINTR) return;
    if (!keepWaiting()) {
      close(fd_);
      fd_ = -1;
      gaveUp_ = true;
      return;
    }
    std::this_thread::sleep_for(kPoll);
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) close(fd_);
}

SaveLock::SaveLock(const std::string& file) : lock_(file) {
  RemoveStaleTemporaries(file, kStaleTemporarySeconds);
}

}  // namespace tavelo
