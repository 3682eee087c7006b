#include "port/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace tavelo::port {

namespace {

// Owns the spawn's file actions: here, only the change of folder.
class SpawnActions {
 public:
  SpawnActions() { posix_spawn_file_actions_init(&actions_); }
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  posix_spawn_file_actions_t* Get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

bool SpawnDetached(const std::vector<std::string>& argv, const std::string& workingFolder) {
  if (argv.empty() || argv[0].empty() || workingFolder.empty()) {
    errno = EINVAL;
    return false;
  }
  SpawnActions actions;
  // The child starts in the folder it is given, whatever folder the user
  // started Tavelo from; a folder that is gone fails the start.
  if (int rc = posix_spawn_file_actions_addchdir_np(actions.Get(), workingFolder.c_str()); rc != 0) {
    errno = rc;
    return false;
  }
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, args[0], actions.Get(), nullptr, args.data(), environ);
  if (rc != 0) {
    errno = rc;
    return false;
  }
  // Reap the child whenever it ends so that it does not linger as a zombie.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace tavelo::port
