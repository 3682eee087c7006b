#include "support/kill_points.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "base/system_calls.h"

namespace tavelo::testing {

namespace {

// The child's countdown to its kill and the source of its piece lengths.
int gCallsLeft = 0;
std::minstd_rand gPieces;
constexpr size_t kLongestPiece = 64;

// "nobody", the user root gives itself up to.
constexpr uid_t kUnprivilegedUser = 65534;

bool KillNow() { return --gCallsLeft == 0; }

ssize_t PieceWrite(int fd, const void* data, size_t size) {
  size_t piece = std::min(size, 1 + gPieces() % kLongestPiece);
  if (KillNow()) {
    ssize_t landed = ::write(fd, data, piece / 2);
    (void)landed;
    raise(SIGKILL);
  }
  return ::write(fd, data, piece);
}

int KillableFsync(int fd) {
  if (KillNow()) raise(SIGKILL);
  return ::fsync(fd);
}

int KillableRename(const char* from, const char* to) {
  if (KillNow()) raise(SIGKILL);
  return std::rename(from, to);
}

// True when the child was killed at `point`, false when it got past it.
bool RunKilledAt(int point, const std::function<void()>& save) {
  pid_t child = fork();
  if (child == 0) {
    gCallsLeft = point;
    gPieces.seed(static_cast<unsigned>(point));
    sys::ScopedSystemCalls killable({&PieceWrite, &KillableFsync, &KillableRename});
    save();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return true;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  return false;
}

}  // namespace

int KillAtEveryPoint(const std::function<void()>& save, const std::function<void()>& afterKill) {
  int point = 1;
  for (; RunKilledAt(point, save); ++point) afterKill();
  return point - 1;
}

int RunUnprivileged(const std::function<int()>& body) {
  pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgid(kUnprivilegedUser) != 0 || setuid(kUnprivilegedUser) != 0)) _exit(125);
    _exit(body());
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void GiveToUnprivilegedUser(const std::string& path) {
  if (geteuid() == 0) {
    EXPECT_EQ(chown(path.c_str(), kUnprivilegedUser, kUnprivilegedUser), 0) << path;
  }
}

void AgeFolder(const std::string& folder, int seconds) {
  timespec past[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    utimensat(AT_FDCWD, entry.path().c_str(), past, AT_SYMLINK_NOFOLLOW);
  }
}

std::vector<std::string> NamesHolding(const std::string& folder, const std::string& infix) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (name.find(infix) != std::string::npos) names.push_back(name);
  }
  return names;
}

}  // namespace tavelo::testing
