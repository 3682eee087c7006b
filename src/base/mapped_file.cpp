#include "base/mapped_file.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/file_handle.h"
#include "text/text_buffer.h"

namespace tavelo {

namespace {

// Set before the handler is installed; read only by it.
const char* shortenedMessage = "";
size_t shortenedLength = 0;
int shortenedStatus = 1;

extern "C" void OnBusError(int) {
  // Only calls that are safe in a signal handler.
  ssize_t written = write(STDERR_FILENO, shortenedMessage, shortenedLength);
  static_cast<void>(written);
  _exit(shortenedStatus);
}

}  // namespace

void EndOnShortenedMapping(const char* message, int status) {
  shortenedMessage = message;
  shortenedLength = std::strlen(message);
  shortenedStatus = status;
  struct sigaction action {};
  action.sa_handler = OnBusError;
  sigemptyset(&action.sa_mask);
  sigaction(SIGBUS, &action, nullptr);
}

MappedFile::MappedFile(const std::string& path, off_t limit) {
  FileHandle file(OpenRegularFile(path));
  struct stat info;
  if (!file.Valid() || fstat(file.Get(), &info) != 0) return;
  if (info.st_size > limit) {
    errno = EFBIG;
    return;
  }
  ok_ = true;
  // An empty file cannot be mapped, and needs no mapping.
  if (info.st_size == 0) return;
  void* data = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.Get(), 0);
  if (data == MAP_FAILED) {
    ok_ = false;
    return;
  }
  data_ = data;
  size_ = static_cast<size_t>(info.st_size);
}

MappedFile::~MappedFile() {
  if (data_ != nullptr) munmap(data_, size_);
}

}  // namespace tavelo
