#pragma once
// Crash tests for saves. A save runs in a child process that kills itself
// with SIGKILL at one point of its work; the points are the system calls
// saving goes through (base/system_calls.h), in order. Writes are cut into
// short pieces of varied length, so the points fall at many offsets of the
// file, and a write that is killed lands part of its piece first.

#include <functional>
#include <string>
#include <vector>

namespace tavelo::testing {

// Kills `save` at every point in turn, calling `afterKill` after each kill,
// until a run of `save` gets past the last point. Returns the number of kills.
int KillAtEveryPoint(const std::function<void()>& save, const std::function<void()>& afterKill);

// Runs `body` in a child process that gives root up first (permissions do
// not stop root) and returns its exit status, or -1 when it did not exit.
int RunUnprivileged(const std::function<int()>& body);
// Gives `path` to the user such a child runs as, so that its permissions
// apply to the child (a test not run as root owns it already).
void GiveToUnprivilegedUser(const std::string& path);

// Moves the change times of everything in `folder` `seconds` into the past,
// as if the test had waited that long.
void AgeFolder(const std::string& folder, int seconds);

// The names in `folder` that hold `infix` (".tmp-": temporary files).
std::vector<std::string> NamesHolding(const std::string& folder, const std::string& infix);

}  // namespace tavelo::testing
