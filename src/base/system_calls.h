#pragma once
// The few system calls that saving files goes through. Tests replace them
// to make a write, a flush or a rename fail at a chosen moment; the program
// never changes them.

#include <sys/types.h>

namespace tavelo::sys {

struct SystemCalls {
  ssize_t (*write)(int fd, const void* data, size_t size);
  int (*fsync)(int fd);
  int (*rename)(const char* from, const char* to);
};

// The calls in force; the real ones unless a test has swapped them.
const SystemCalls& Calls();

// Swaps in other calls for its lifetime (tests only).
class ScopedSystemCalls {
 public:
  explicit ScopedSystemCalls(const SystemCalls& calls);
  ~ScopedSystemCalls();
  ScopedSystemCalls(const ScopedSystemCalls&) = delete;
  ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

 private:
  SystemCalls saved_;
};

}  // namespace tavelo::sys
