#pragma once
// Where a download does its work: each package is fetched and unpacked in a
// fresh folder of its own under data/, so a member's name can never meet a
// file already there, and a killed job blocks no later one. What killed jobs
// left is swept by the next job that takes the same lock.

#include <sys/stat.h>

#include <functional>
#include <string>
#include <string_view>

namespace tavelo {

class WorkFolder {
 public:
  // Makes `parent` (with its trailing "/") + `prefix` + six random
  // characters; Ok() tells whether it could.
  WorkFolder(const std::string& parent, std::string_view prefix);
  // Removes the folder with everything in it.
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  bool Ok() const { return !path_.empty(); }
  std::string File(std::string_view name) const { return path_ + std::string(name); }

 private:
  std::string path_;  // with its trailing "/"; empty when it could not be made
};

// Whether `name`, `info` (from lstat) is a folder WorkFolder made with `prefix`.
bool IsWorkFolder(std::string_view name, const struct stat& info, std::string_view prefix);

// Removes each entry of `parent` (with its trailing "/") that `isLeftover`
// picks, a folder with what it holds; links are removed, never followed.
// Only while holding the lock every job that leaves such entries holds: no
// live job is then at work.
void RemoveLeftovers(const std::string& parent,
                     const std::function<bool(std::string_view name, const struct stat& info)>& isLeftover);

}  // namespace tavelo
