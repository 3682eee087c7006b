#pragma once
// A regular file's bytes read where they lie, mapped read-only, instead of
// copied into memory of the process: for a file of megabytes that a command
// only reads once. Someone shortening the file while it is mapped makes a
// later read of the lost part fault, so it suits files a user points a
// command at, not files other processes rewrite in place.

#include <sys/types.h>

#include <string>
#include <string_view>

namespace tavelo {

class MappedFile {
 public:
  // Maps the regular file `path`. Ok() is false, with errno saying why, when
  // it cannot be opened or mapped, or is larger than `limit` (EFBIG).
  explicit MappedFile(const std::string& path, off_t limit);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool Ok() const { return ok_; }
  std::string_view Bytes() const { return {static_cast<const char*>(data_), size_}; }

 private:
  void* data_ = nullptr;
  size_t size_ = 0;
  bool ok_ = false;
};

// A read of a mapped part that another program cut off raises SIGBUS. A
// command-line program that maps files calls this once: such a read then
// ends the process with `message` (static text) on standard error and exit
// status `status`, instead of a crash.
void EndOnShortenedMapping(const char* message, int status);

}  // namespace tavelo
