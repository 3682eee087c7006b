#include "net/update_workspace.h"

#include <dirent.h>
#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <memory>
#include <string_view>

#include "base/atomic_write.h"

namespace tavelo {

namespace {

// The work folders follow the pattern of every other temporary name.
const std::string kWorkPrefix = "update" + std::string(kTemporaryInfix);
constexpr std::string_view kRandomPart = "XXXXXX";
constexpr std::string_view kOldPartInfix = ".part-";
constexpr std::string_view kOldDownloadTargets[] = {"data_tmp1.dat", "data_tmp2.dat"};

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  remove(path);
  return 0;
}

// Removes `path` and, when it is a folder, what it holds; links are removed,
// never followed.
void RemoveTree(const std::string& path) {
  nftw(path.c_str(), &RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

bool IsWorkFolderName(std::string_view name) {
  return name.size() == kWorkPrefix.size() + kRandomPart.size() && name.starts_with(kWorkPrefix);
}

bool IsOldPartName(std::string_view name) {
  size_t suffix = kOldPartInfix.size() + kRandomPart.size();
  return name.size() > suffix && name.substr(name.size() - suffix, kOldPartInfix.size()) == kOldPartInfix;
}

bool IsOldDownloadTarget(std::string_view name) {
  for (std::string_view target : kOldDownloadTargets) {
    if (name == target) return true;
  }
  return false;
}

}  // namespace

UpdateWorkFolder::UpdateWorkFolder(const std::string& dataFolder)
    : path_(dataFolder + kWorkPrefix + std::string(kRandomPart)) {
  if (mkdtemp(path_.data()) == nullptr) {
    path_.clear();
    return;
  }
  path_ += '/';
}

UpdateWorkFolder::~UpdateWorkFolder() {
  if (Ok()) RemoveTree(path_);
}

void RemoveUpdateLeftovers(const std::string& dataFolder) {
  std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(dataFolder.empty() ? "." : dataFolder.c_str()),
                                              &closedir);
  if (!listing) return;
  while (dirent* entry = readdir(listing.get())) {
    std::string_view name = entry->d_name;
    std::string path = dataFolder + entry->d_name;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) continue;
    if (S_ISDIR(info.st_mode) ? IsWorkFolderName(name)
                              : S_ISREG(info.st_mode) && (IsOldPartName(name) || IsOldDownloadTarget(name))) {
      RemoveTree(path);
    }
  }
}

}  // namespace tavelo
