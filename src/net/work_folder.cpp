#include "net/work_folder.h"

#include <dirent.h>
#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>

#include <memory>

#include "base/atomic_write.h"

namespace tavelo {

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  remove(path);
  return 0;
}

// Removes `path` and, when it is a folder, what it holds; links are removed,
// never followed.
void RemoveTree(const std::string& path) {
  nftw(path.c_str(), &RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace

WorkFolder::WorkFolder(const std::string& parent, std::string_view prefix)
    : path_(parent + std::string(prefix) + std::string(kTemporaryRandomPart)) {
  if (mkdtemp(path_.data()) == nullptr) {
    path_.clear();
    return;
  }
  path_ += '/';
}

WorkFolder::~WorkFolder() {
  if (Ok()) RemoveTree(path_);
}

bool IsWorkFolder(std::string_view name, const struct stat& info, std::string_view prefix) {
  return S_ISDIR(info.st_mode) && name.size() == prefix.size() + kTemporaryRandomPart.size() &&
         name.starts_with(prefix);
}

void RemoveLeftovers(const std::string& parent,
                     const std::function<bool(std::string_view name, const struct stat& info)>& isLeftover) {
  std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(parent.empty() ? "." : parent.c_str()), &closedir);
  if (!listing) return;
  while (dirent* entry = readdir(listing.get())) {
    const std::string path = parent + entry->d_name;
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && isLeftover(entry->d_name, info)) RemoveTree(path);
  }
}

}  // namespace tavelo
