#pragma once
// What the commands of tavelo-catalogue share: exit statuses and arguments.

#include <cerrno>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace tavelo {

inline constexpr int kToolDone = 0;
inline constexpr int kToolFileError = 1;
inline constexpr int kToolUsageError = 2;

// A program folder named on the command line, with its trailing "/".
inline std::string FolderArgument(std::string folder) {
  if (!folder.empty() && !folder.ends_with('/')) folder += '/';
  return folder;
}

// Says which file could not be read or written, and why (errno).
inline int FileError(std::ostream& err, std::string_view doing, const std::string& path) {
  err << "tavelo-catalogue: cannot " << doing << " " << path << ": " << std::strerror(errno) << "\n";
  return kToolFileError;
}

}  // namespace tavelo
