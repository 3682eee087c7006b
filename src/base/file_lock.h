#pragma once
// Files that several processes of the program change (the personal lists,
// the registry store) are reloaded, changed and saved while this lock is
// held: an exclusive advisory lock on "<file>.lock" beside the file.

#include <functional>
#include <string>

#include "base/file_handle.h"

namespace tavelo {

class FileLock {
 public:
  // Waits for the lock. When the lock file cannot be made (a read-only
  // folder) the change goes ahead unlocked: saving would fail there anyway.
  explicit FileLock(const std::string& lockedFile);
  // Waits as long as `keepWaiting` says so, asking it every few tens of
  // milliseconds; GaveUp() tells whether it stopped waiting without the lock.
  FileLock(const std::string& lockedFile, const std::function<bool()>& keepWaiting);
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool GaveUp() const { return gaveUp_; }

 private:
  // Closing the lock file gives the lock up.
  FileHandle file_;
  bool gaveUp_ = false;
};

// The lock a reload, change and save of `file` holds. Taking it also removes
// the temporary files that saves of the file killed part way left behind:
// while the lock is held no live save of the file is running, so only
// temporaries younger than kStaleTemporarySeconds (an unlocked save beside
// a folder where no lock file can be made) are spared.
class SaveLock {
 public:
  static constexpr int kStaleTemporarySeconds = 120;

  explicit SaveLock(const std::string& file);

 private:
  FileLock lock_;
};

}  // namespace tavelo
