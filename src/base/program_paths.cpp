#include "base/program_paths.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace tavelo {

std::string ModuleFilePath() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return {};
  return std::string(path, static_cast<size_t>(length));
}

std::string ModuleDirectory() {
  std::string path = ModuleFilePath();
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

ProgramPaths ProgramPaths::OfRunningProgram() { return OfProgramFolder(ModuleDirectory()); }

ProgramPaths ProgramPaths::OfProgramFolder(const std::string& programFolder) {
  struct stat info;
  const std::string marker = programFolder + std::string(kInstalledMarker);
  // Without its own folder the program cannot tell; it stays where it runs.
  const bool installed = !programFolder.empty() && stat(marker.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  return ProgramPaths{installed ? UserDataFolder() : programFolder, programFolder};
}

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr && *entry->pw_dir) {
    return entry->pw_dir;
  }
  return "/";
}

namespace {

// The program's folder under an XDG base folder, with a trailing "/".
std::string XdgFolder(const char* variable, const char* fallback) {
  // As the desktop's base-directory rules say, only an absolute value counts.
  const char* value = std::getenv(variable);
  std::string base = value != nullptr && *value == '/' ? value : HomeDirectory() + fallback;
  if (!base.ends_with('/')) base += '/';
  return base + "tavelo/";
}

}  // namespace

std::string UserDataFolder() { return XdgFolder("XDG_DATA_HOME", "/.local/share"); }

std::string UserCacheFolder() { return XdgFolder("XDG_CACHE_HOME", "/.cache"); }

std::string BrowserDataFolder() { return UserDataFolder() + "webkit"; }

std::string BrowserCacheFolder() { return UserCacheFolder() + "webkit"; }

bool MakeDirectories(const std::string& path) {
  if (!path.starts_with('/')) return false;
  // Each folder along the way, parents first. Plain system calls rather than
  // GLib's helper: the command-line tools that call this start without GLib.
  const std::string folders = path.substr(0, path.rfind('/') + 1);
  for (size_t slash = folders.find('/', 1); slash != std::string::npos; slash = folders.find('/', slash + 1)) {
    if (folders[slash - 1] == '/') continue;
    const std::string folder = folders.substr(0, slash);
    if (mkdir(folder.c_str(), 0755) == 0) continue;
    if (errno != EEXIST) return false;
    struct stat info;
    if (stat(folder.c_str(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode)) {
      errno = ENOTDIR;
      return false;
    }
  }
  return true;
}

void CleanTempPages(const ProgramPaths& paths) {
  static constexpr std::string_view kPageSuffix = ".htm";
  const std::string pages = paths.In(kTempPagesFolder);
  std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(pages.c_str()), &closedir);
  if (!folder) return;
  while (dirent* entry = readdir(folder.get())) {
    std::string_view name = entry->d_name;
    if (!name.ends_with(kPageSuffix)) continue;
    std::string path = pages + entry->d_name;
    struct stat info;
    // Only regular files (or links to them, which unlink removes, not their target).
    if (lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) unlink(path.c_str());
  }
}

}  // namespace tavelo
