#include "base/atomic_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>

#include "base/system_calls.h"

namespace tavelo {

namespace {

constexpr std::string_view kNameCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// Attempts at a free temporary name before giving up; a clash is already
// one in 56 billion.
constexpr int kNameAttempts = 100;

// The folder of `path` with its trailing "/" ("" for a bare name) and the name.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// The file a save of `target` replaces: `target` itself, or the end of the
// chain of links it starts. `existing` is filled in (st_mode 0 when there is
// no such file yet). Nothing for a link that leads nowhere.
std::optional<std::string> Destination(const std::string& target, struct stat& existing) {
  if (lstat(target.c_str(), &existing) != 0) {
    existing = {};
    return target;
  }
  if (!S_ISLNK(existing.st_mode)) return target;
  std::unique_ptr<char, void (*)(void*)> resolved(realpath(target.c_str(), nullptr), &free);
  if (!resolved || stat(resolved.get(), &existing) != 0) return std::nullopt;
  return std::string(resolved.get());
}

// Creates a file named `path` + ".tmp-" + six random characters with
// `mode` (less the umask); its name goes to `temporary`.
FileHandle CreateTemporary(const std::string& path, mode_t mode, std::string& temporary) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    unsigned char random[kTemporaryRandomPart.size()];
    if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return FileHandle();
    temporary = path + std::string(kTemporaryInfix);
    for (unsigned char byte : random) temporary += kNameCharacters[byte % kNameCharacters.size()];
    FileHandle handle = FileHandle::Open(temporary, O_WRONLY | O_CREAT | O_EXCL, mode);
    if (handle.Valid() || errno != EEXIST) {
      if (!handle.Valid()) temporary.clear();
      return handle;
    }
  }
  temporary.clear();
  return FileHandle();
}

}  // namespace

PendingFile::PendingFile(std::string target, FileKind kind) {
  struct stat existing;
  std::optional<std::string> destination = Destination(target, existing);
  if (!destination) return;
  destination_ = std::move(*destination);
  if (S_ISDIR(existing.st_mode)) {
    errno = EISDIR;
    return;
  }
  if (existing.st_mode != 0 && !S_ISREG(existing.st_mode)) {
    // A device or FIFO cannot be renamed over: what is written goes to it
    // as it comes, and nothing new is made in its place.
    throughTarget_ = true;
    handle_ = FileHandle::Open(destination_, O_WRONLY | O_NOCTTY);
    return;
  }
  keepsOwnership_ = existing.st_mode != 0;
  mode_ = existing.st_mode & 07777;
  owner_ = existing.st_uid;
  group_ = existing.st_gid;
  // A new file is made with the mode of its kind and the kernel applies the
  // umask (reading it with umask() would race other threads). A replacement
  // stays private until Finish gives it the old file's mode.
  const mode_t createMode = keepsOwnership_ ? 0600 : kind == FileKind::kProgram ? 0777 : 0666;
  handle_ = CreateTemporary(destination_, createMode, temporary_);
}

PendingFile::~PendingFile() {
  // The caller reports why a save failed from errno; cleaning up keeps it.
  int saved = errno;
  handle_.Close();
  if (!committed_ && !temporary_.empty()) unlink(temporary_.c_str());
  errno = saved;
}

void PendingFile::StartWriteback() const {
  // A device or FIFO has nothing to flush; a failure here only loses the head start.
  if (Ok() && !throughTarget_) sync_file_range(handle_.Get(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool PendingFile::Finish() {
  if (!Ok()) return false;
  // Devices and FIFOs refuse fsync; their bytes are gone out already.
  if (throughTarget_) return handle_.Close();
  // The bytes must be on disk before the name points at them, or a crash
  // right after the rename leaves an empty file under the old name.
  bool written = sys::Calls().fsync(handle_.Get()) == 0;
  if (keepsOwnership_) {
    // Only root may give a file away; anyone may pass it to a group of
    // their own. Either is best effort, and it comes before the mode,
    // which a change of owner would strip of its set-id bits.
    if (fchown(handle_.Get(), owner_, group_) != 0 && fchown(handle_.Get(), static_cast<uid_t>(-1), group_) != 0) {
      mode_ &= ~static_cast<mode_t>(S_ISGID);
    }
    written = fchmod(handle_.Get(), mode_) == 0 && written;
  }
  return handle_.Close() && written;
}

bool PendingFile::Commit() {
  if (!Finish()) return false;
  if (!throughTarget_ && sys::Calls().rename(temporary_.c_str(), destination_.c_str()) != 0) return false;
  committed_ = true;
  return true;
}

bool PendingFile::CommitWithoutReplacing() {
  if (throughTarget_) {
    handle_.Close();
    errno = EEXIST;
    return false;
  }
  if (!Finish()) return false;
  if (renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, destination_.c_str(), RENAME_NOREPLACE) != 0) {
    // Some file systems lack the flag; a hard link refuses an existing name
    // just as well.
    if (errno != EINVAL || link(temporary_.c_str(), destination_.c_str()) != 0) return false;
    unlink(temporary_.c_str());
  }
  committed_ = true;
  return true;
}

bool AtomicWriteFile(const std::string& path, std::string_view bytes, FileKind kind) {
  PendingFile file(path, kind);
  return file.Write(bytes) && file.Commit();
}

void RemoveStaleTemporaries(const std::string& target, int ageSeconds) {
  struct stat existing;
  std::optional<std::string> destination = Destination(target, existing);
  if (!destination) return;
  auto [folder, name] = SplitPath(*destination);
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
