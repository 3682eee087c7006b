#pragma once
// Files that several processes of the program change (the personal lists,
// the registry store) are reloaded, changed and saved while this lock is
// held: an exclusive advisory lock on "<file>.lock" beside the file.

#include <string>

namespace tavelo {

class FileLock {
 public:
  // Waits for the lock. When the lock file cannot be made (a read-only
  // folder) the change goes ahead unlocked: saving would fail there anyway.
  explicit FileLock(const std::string& lockedFile);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_;
};

}  // namespace tavelo
