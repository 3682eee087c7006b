#include "text/text_buffer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <exception>

#include "text/gbk_text.h"

namespace tavelo {

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// Memory the kernel has not handed over yet costs a fault per 4 KiB page on
// first touch, which for a file of megabytes costs as much as reading it;
// in 2 MiB pages it costs a fraction. Only whole huge pages inside the
// buffer are asked for, and the kernel may say no.
void AskForHugePages(char* data, size_t size) {
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kHugePage - 1);
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace

void KeyedXor(std::string& bytes, std::string_view key) {
  if (key.empty()) return;
  // The key repeated to a few kilobytes lets the inner loop run without a
  // modulo, which the compiler turns into wide XORs.
  std::string pattern;
  while (pattern.size() < 4096) pattern.append(key);
  const size_t block = pattern.size();
  char* data = bytes.data();
  const char* mask = pattern.data();
  for (size_t start = 0; start < bytes.size(); start += block) {
    const size_t length = std::min(block, bytes.size() - start);
    size_t i = 0;
    for (; i + sizeof(uint64_t) <= length; i += sizeof(uint64_t)) {
      uint64_t word, key;
      std::memcpy(&word, data + start + i, sizeof word);
      std::memcpy(&key, mask + i, sizeof key);
      word ^= key;
      std::memcpy(data + start + i, &word, sizeof word);
    }
    for (; i < length; ++i) data[start + i] ^= mask[i];
  }
}

int OpenRegularFile(const std::string& path) {
  // Without O_NONBLOCK, opening a FIFO would wait for a writer for ever.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat info;
  int error = fstat(fd, &info) != 0   ? errno
              : S_ISDIR(info.st_mode) ? EISDIR
              : !S_ISREG(info.st_mode) ? EINVAL
                                       : 0;
  if (error != 0) {
    close(fd);
    errno = error;
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, size_t limit) {
  bytes.clear();
  int fd = OpenRegularFile(path);
  if (fd < 0) return false;
  std::unique_ptr<int, void (*)(int*)> closer(&fd, [](int* open) {
    int saved = errno;
    close(*open);
    errno = saved;
  });
  int error = 0;
  try {
    // The size is a hint only: files under /proc report 0 and a file may
    // grow while it is read, so the loop reads on to the end regardless.
    struct stat info;
    if (fstat(fd, &info) == 0 && info.st_size > 0) {
      bytes.reserve(std::min(static_cast<size_t>(info.st_size), limit) + 1);
      AskForHugePages(bytes.data(), bytes.capacity());
    }
    char chunk[65536];
    for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) != 0;) {
      if (got > 0) {
        bytes.append(chunk, static_cast<size_t>(got));
        if (bytes.size() > limit) {
          error = EFBIG;
          break;
        }
      } else if (errno != EINTR) {
        error = errno;
        break;
      }
    }
  } catch (const std::exception&) {
    // More than memory holds (reserve and append throw bad_alloc or length_error).
    error = ENOMEM;
  }
  if (error == 0) return true;
  bytes.clear();
  errno = error;
  return false;
}

int TextBuffer::LoadFile(const std::string& path, std::string_view key) {
  text_.clear();
  position_ = 0;
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return 1;
  KeyedXor(bytes, key);
  size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  text_ = std::move(bytes);
  return 0;
}

void TextBuffer::SetText(std::string text) {
  size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  text_ = std::move(text);
  position_ = 0;
}

std::string TextBuffer::TakeText() {
  position_ = 0;
  return std::move(text_);
}

std::optional<std::string_view> NextLineAt(std::string_view text, size_t& position) {
  const size_t size = text.size();
  if (position >= size) return std::nullopt;
  const char* data = text.data();
  // Lines end at LF as a rule; memchr finds it quickly, and a CR before it
  // (CR LF, or a CR-only file) is looked for only within that stretch.
  const char* lineFeed = static_cast<const char*>(std::memchr(data + position, '\n', size - position));
  size_t end = lineFeed ? static_cast<size_t>(lineFeed - data) : size;
  if (const void* carriageReturn = std::memchr(data + position, '\r', end - position)) {
    end = static_cast<size_t>(static_cast<const char*>(carriageReturn) - data);
  }
  std::string_view line(data + position, end - position);
  while (end < size && IsLineBreak(data[end])) ++end;
  position = end;
  return Trim(line);
}

int TextBuffer::NextLine(std::string& out) {
  std::optional<std::string_view> line = NextLineView();
  if (!line) return 1;
  out.assign(*line);
  return 0;
}

int TextBuffer::FindLine(std::string_view key) {
  for (;;) {
    std::optional<std::string_view> line = NextLineView();
    if (!line) return 1;
    if (EqualsIgnoreCaseGbk(*line, key)) return 0;
  }
}

int TextBuffer::NextContentLine(std::string& out) {
  for (;;) {
    std::optional<std::string_view> line = NextLineView();
    if (!line) return 1;
    if (line->substr(0, 2) != "//") {
      out.assign(*line);
      return 0;
    }
  }
}

int TextBuffer::CountLines() const {
  int lines = 1;
  const char* end = text_.data() + text_.size();
  for (const char* at = text_.data();
       (at = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at))));
       ++at) {
    ++lines;
  }
  return lines;
}

}  // namespace tavelo
