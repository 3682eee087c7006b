#pragma once
// The install description a setup server gives for a companion product: a
// template text that says whether to install, which files to fetch to which
// places, and which of them is the main program. It comes from outside, so
// reading it decides nothing on the file system: every local path is checked
// to stay inside the program folder or the programs folder.

#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

// What the placeholders of a description stand for.
struct InstallPlaces {
  // "LOCAL_PATH": the program's folder, absolute, with its trailing "/".
  std::string programFolder;
  // "PROGRESS_PATH": the programs folder, absolute, with its trailing "/".
  std::string programFiles;
  // "EXE_ID": the product key.
  std::string productKey;
};

struct InstallFile {
  // Fetched as text and written as it is ("gethtml"), or a zip package
  // whose first member must have `digest`.
  bool fetchText = false;
  std::string digest;
  std::string localPath;
  std::string url;
};

struct InstallDescription {
  // Longest accepted fields of a file-list line.
  static constexpr size_t kMaxDigestField = 49;
  static constexpr size_t kMaxPathField = 255;
  static constexpr size_t kMaxUrlField = 255;

  // False when the text lacks the end marker: it is no description at all.
  bool recognised = false;
  // True when a path of the description names one of the program's own
  // files (its programs, data, caches, pages): nothing of it is installed,
  // and `files` is empty.
  bool refused = false;
  // "[FLAG]" is "nosetup": show `message`, open `url`, install nothing.
  bool noSetup = false;
  std::string message;
  std::string url;
  // The accepted file-list lines, in order.
  std::vector<InstallFile> files;
  // The local path of the last accepted line that names the main program;
  // "" when none does. Only a package, checked by its digest, can be the
  // main program: a "gethtml" line that says it is gets refused.
  std::string mainProgram;
  // "[REG_PATH]" with its placeholders replaced; "" when missing or when it
  // leads outside the two folders.
  std::string registryPath;
  // File-list lines that were refused (too long, too few fields, or a path
  // outside the two folders), for the operator.
  std::vector<std::string> refusedLines;
};

InstallDescription ParseInstallDescription(std::string text, const InstallPlaces& places);

// Whether `path` (as ContainedPath gives it) is one of the program's own
// files: anything right in the program folder, or in its data, cache or
// page folders.
bool NamesProgramFile(const std::string& path, const InstallPlaces& places);

// `path` with the placeholders replaced in their order and "\" read as "/";
// a relative result resolves against the program folder. "" when the result
// has a ".." part or lies outside both folders. With `folder`, the path may
// name one of the two folders itself; otherwise it must name something in
// them.
std::string ContainedPath(std::string_view path, const InstallPlaces& places, bool folder);

}  // namespace tavelo
