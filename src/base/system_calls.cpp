#include "base/system_calls.h"

#include <unistd.h>

#include <cstdio>

namespace tavelo::sys {

namespace {

SystemCalls& Current() {
  static SystemCalls calls{&::write, &::fsync, &std::rename};
  return calls;
}

}  // namespace

const SystemCalls& Calls() { return Current(); }

ScopedSystemCalls::ScopedSystemCalls(const SystemCalls& calls) : saved_(Current()) { Current() = calls; }

ScopedSystemCalls::~ScopedSystemCalls() { Current() = saved_; }

}  // namespace tavelo::sys
