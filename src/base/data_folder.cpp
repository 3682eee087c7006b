#include "base/data_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "base/atomic_write.h"
#include "text/text_buffer.h"

namespace tavelo {

namespace {

// Copies `from` to `to` unless `to` exists by then.
bool CopyIfMissing(const std::string& from, const std::string& to) {
  struct stat info;
  if (lstat(to.c_str(), &info) == 0) return true;
  std::string bytes;
  if (!ReadWholeFile(from, bytes)) return false;
  PendingFile file(to);
  // A start that copied first wins; what it wrote is the same file.
  return file.Write(bytes) && (file.CommitWithoutReplacing() || lstat(to.c_str(), &info) == 0);
}

}  // namespace

bool PrepareDataFolder(const ProgramPaths& paths) {
  if (!paths.Installed()) return true;
  bool ready = true;
  for (std::string_view folder : {kDataFolder, kEpisodeCacheFolder, kTempPagesFolder}) {
    ready = MakeDirectories(paths.In(folder)) && ready;
  }
  const std::string defaults = paths.Shipped(kDataFolder);
  std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(defaults.c_str()), &closedir);
  if (!folder) return false;
  while (dirent* entry = readdir(folder.get())) {
    const std::string from = defaults + entry->d_name;
    struct stat info;
    if (stat(from.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    ready = CopyIfMissing(from, paths.In(kDataFolder) + entry->d_name) && ready;
  }
  return ready;
}

}  // namespace tavelo
