#pragma once
// What the commands of tavelo-catalogue share: exit statuses and arguments.

#include <cerrno>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

#include "base/program_paths.h"

namespace tavelo {

inline constexpr int kToolDone = 0;
inline constexpr int kToolFileError = 1;
inline constexpr int kToolUsageError = 2;

// A program folder named on the command line, with its trailing "/".
inline std::string FolderArgument(std::string folder) {
  if (!folder.empty() && !folder.ends_with('/')) folder += '/';
  return folder;
}

// A program folder from the command line, made absolute: folders are made
// only along absolute paths.
ProgramPaths ProgramFolder(std::string directory);

// Text as the portal stores it (GBK), on its way to standard output.
struct StoredText {
  std::string_view gbk;
};
// As stored, unless PrintStoredTextForReader was called on `out`.
std::ostream& operator<<(std::ostream& out, StoredText text);
// From now on `out` prints StoredText in the encoding of the current
// locale: someone reads it at a terminal.
void PrintStoredTextForReader(std::ostream& out);

// Says which file could not be read or written, and why (errno).
inline int FileError(std::ostream& err, std::string_view doing, const std::string& path) {
  err << "tavelo-catalogue: cannot " << doing << " " << path << ": " << std::strerror(errno) << "\n";
  return kToolFileError;
}

}  // namespace tavelo
