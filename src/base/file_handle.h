#pragma once
// The one owner of a file descriptor: closes it when it goes, moves but
// never copies.

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace tavelo {

class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() { Close(); }
  FileHandle(FileHandle&& other) noexcept : fd_(other.Release()) {}
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // open(2) with O_CLOEXEC added; an invalid handle when it fails.
  static FileHandle Open(const std::string& path, int flags, mode_t mode = 0644);

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Gives the descriptor up without closing it.
  int Release();
  // Closes now; false when close(2) reports an error (a delayed write failed).
  bool Close();

  // Writes every byte, going on after interruptions. False when the system
  // refuses (a full disk, a file size limit) or stops taking bytes.
  bool WriteAll(const void* data, size_t size) const;

 private:
  int fd_ = -1;
};

}  // namespace tavelo
