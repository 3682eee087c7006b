#pragma once
// Saving is all or nothing: a file is written under a temporary name in its
// own folder, flushed to disk and only then renamed over its target, so a
// reader, a crash or a full disk sees the old file or the new one.

#include <sys/types.h>

#include <string>
#include <string_view>

#include "base/file_handle.h"

namespace tavelo {

// The temporary names are the target's name, this infix and six random
// characters, so a later run can tell what an interrupted save left behind.
inline constexpr std::string_view kTemporaryInfix = ".tmp-";
inline constexpr std::string_view kTemporaryRandomPart = "XXXXXX";
// How much longer a temporary name is than its target's: a target whose
// name is within this of the file-name limit cannot be saved.
inline constexpr size_t kTemporaryNameGrowth = kTemporaryInfix.size() + kTemporaryRandomPart.size();

class PendingFile {
 public:
  // Makes the temporary file beside `target`; Ok() tells whether it could.
  explicit PendingFile(std::string target, mode_t mode = 0644);
  // Removes the temporary file unless it took its target's name.
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  bool Ok() const { return handle_.Valid(); }
  const FileHandle& Handle() const { return handle_; }
  const std::string& TemporaryPath() const { return temporary_; }
  const std::string& Target() const { return target_; }
  bool Write(std::string_view bytes) const { return Ok() && handle_.WriteAll(bytes.data(), bytes.size()); }

  // Flushes, closes and renames over the target. False when a step fails;
  // the target is then untouched and the temporary file goes.
  bool Commit();
  // As Commit, but an existing target is kept and the commit fails.
  bool CommitWithoutReplacing();

 private:
  bool Finish();

  std::string target_;
  std::string temporary_;
  FileHandle handle_;
  mode_t mode_;
  bool committed_ = false;
};

// Replaces `path` with `bytes` all or nothing. False when it could not.
bool AtomicWriteFile(const std::string& path, std::string_view bytes, mode_t mode = 0644);

// Removes the temporary files of `target`'s pattern that were last changed
// more than `ageSeconds` ago: what saves killed part way left behind. Call
// it while holding the lock that guards the target, so no live save is
// younger than the age.
void RemoveStaleTemporaries(const std::string& target, int ageSeconds);

}  // namespace tavelo
