#include "base/file_handle.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/system_calls.h"

namespace tavelo {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.Release();
  }
  return *this;
}

FileHandle FileHandle::Open(const std::string& path, int flags, mode_t mode) {
  return FileHandle(open(path.c_str(), flags | O_CLOEXEC, mode));
}

int FileHandle::Release() {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

bool FileHandle::Close() {
  if (fd_ < 0) return true;
  return close(Release()) == 0;
}

bool FileHandle::WriteAll(const void* data, size_t size) const {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t written = sys::Calls().write(fd_, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace tavelo
