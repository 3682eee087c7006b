#pragma once
// Saving is all or nothing: a file is written under a temporary name in its
// own folder, flushed to disk and only then renamed over its target, so a
// reader, a crash or a full disk sees the old file or the new one.
//
// The user's files stay what they were: a symbolic link is kept and the file
// it leads to is replaced, in that file's own folder; a device, FIFO or
// socket is written straight through, as cp would; a replaced file keeps its
// mode, owner and group as far as the process may set them; a new file gets
// the mode of its kind less the umask.

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

// What a new file is: a document gets 0666 less the umask, a program 0777
// less the umask. A file that is replaced keeps its own mode either way.
enum class FileKind { kDocument, kProgram };

class PendingFile {
 public:
  // Makes the temporary file beside the file `target` names, or opens
  // `target` itself when it is no regular file; Ok() tells whether it could.
  // A dangling link fails with errno ENOENT.
  explicit PendingFile(std::string target, FileKind kind = FileKind::kDocument);
  // Removes the temporary file unless it took its target's name.
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  bool Ok() const { return handle_.Valid(); }
  const FileHandle& Handle() const { return handle_; }
  bool Write(std::string_view bytes) const { return Ok() && handle_.WriteAll(bytes.data(), bytes.size()); }
  // Has the disk start on what was written so far, without waiting for it:
  // a long file written in pieces then leaves Commit's flush less to wait for.
  void StartWriteback() const;

  // Flushes, closes and renames over the target. False when a step fails;
  // the target is then untouched and the temporary file goes. Bytes written
  // straight through have reached the target by then.
  bool Commit();
  // As Commit, but an existing target is kept and the commit fails; so does
  // one written straight through, which existed before.
  bool CommitWithoutReplacing();

 private:
  bool Finish();

  // Where the rename goes: the target, or the end of the link it is.
  std::string destination_;
  std::string temporary_;
  FileHandle handle_;
  // The existing file's mode and owners, which the new file takes over.
  bool keepsOwnership_ = false;
  mode_t mode_ = 0;
  uid_t owner_ = 0;
  gid_t group_ = 0;
  // The target is a device, FIFO or socket, written through `handle_`.
  bool throughTarget_ = false;
  bool committed_ = false;
};

// Replaces `path` with `bytes` all or nothing. False when it could not, with
// errno saying why.
bool AtomicWriteFile(const std::string& path, std::string_view bytes, FileKind kind = FileKind::kDocument);

// Removes the temporary files of `target`'s pattern (of the file a link
// `target` leads to) that were last changed more than `ageSeconds` ago: what
// saves killed part way left behind. Call it while holding the lock that
// guards the target, so no live save is younger than the age.
void RemoveStaleTemporaries(const std::string& target, int ageSeconds);

}  // namespace tavelo
