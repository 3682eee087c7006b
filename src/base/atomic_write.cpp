#include "base/atomic_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "base/system_calls.h"

namespace tavelo {

namespace {

// The folder of `path` with its trailing "/" ("" for a bare name) and the name.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

}  // namespace

PendingFile::PendingFile(std::string target, mode_t mode)
    : target_(std::move(target)),
      temporary_(target_ + std::string(kTemporaryInfix) + std::string(kTemporaryRandomPart)),
      mode_(mode) {
  handle_ = FileHandle(mkostemp(temporary_.data(), O_CLOEXEC));
}

PendingFile::~PendingFile() {
  handle_.Close();
  if (!committed_ && !temporary_.empty()) unlink(temporary_.c_str());
}

bool PendingFile::Finish() {
  if (!Ok()) return false;
  // The bytes must be on disk before the name points at them, or a crash
  // right after the rename leaves an empty file under the old name.
  bool written = sys::Calls().fsync(handle_.Get()) == 0;
  written = fchmod(handle_.Get(), mode_) == 0 && written;
  return handle_.Close() && written;
}

bool PendingFile::Commit() {
  if (!Finish() || sys::Calls().rename(temporary_.c_str(), target_.c_str()) != 0) return false;
  committed_ = true;
  return true;
}

bool PendingFile::CommitWithoutReplacing() {
  if (!Finish()) return false;
  if (renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) != 0) {
    // Some file systems lack the flag; a hard link refuses an existing name
    // just as well.
    if (errno != EINVAL || link(temporary_.c_str(), target_.c_str()) != 0) return false;
    unlink(temporary_.c_str());
  }
  committed_ = true;
  return true;
}

bool AtomicWriteFile(const std::string& path, std::string_view bytes, mode_t mode) {
  PendingFile file(path, mode);
  return file.Write(bytes) && file.Commit();
}

void RemoveStaleTemporaries(const std::string& target, int ageSeconds) {
  auto [folder, name] = SplitPath(target);
  std::string prefix = name + std::string(kTemporaryInfix);
  std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.empty() ? "." : folder.c_str()), &closedir);
  if (!listing) return;
  time_t now = std::time(nullptr);
  while (dirent* entry = readdir(listing.get())) {
    std::string_view candidate = entry->d_name;
    if (!candidate.starts_with(prefix) || candidate.size() != prefix.size() + kTemporaryRandomPart.size()) continue;
    std::string path = folder + entry->d_name;
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && now - info.st_mtime > ageSeconds) {
      unlink(path.c_str());
    }
  }
}

}  // namespace tavelo
