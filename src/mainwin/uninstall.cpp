#include "mainwin/uninstall.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string_view>

#include "base/registry_key.h"
#include "text/encoding.h"

namespace tavelo {

namespace {

constexpr std::string_view kPurgeSwitch = "--purge";
static_assert(kEpisodeCacheFolder.ends_with('/'));

// True when `path` is gone, also when it was never there.
bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0 || errno == ENOENT; }

// The program group's folder goes once it is empty; what the user put into
// it stays, and the folder with it.
bool RemoveGroupFolder(const std::string& folder) {
  return rmdir(folder.c_str()) == 0 || errno == ENOENT || errno == ENOTEMPTY || errno == EEXIST;
}

bool RemoveEntriesAndRecord(const FirstRunPaths& paths) {
  const FirstRunFiles files = FirstRunFilesOf(paths);
  bool removed = RemoveFile(files.desktopEntry);
  removed = RemoveFile(files.groupEntry) && removed;
  removed = RemoveFile(files.uninstallEntry) && removed;
  removed = RemoveGroupFolder(files.groupFolder) && removed;
  RegistryKey key(paths.registryDirectory);
  key.SetRoot(RegistryRoot::kLocalMachine);
  removed = key.DeleteKey(InstalledProgramKey(paths.caption)) && removed;
  // A later first run asks again instead of remaking what was just taken away.
  key.SetRoot(RegistryRoot::kCurrentUser);
  return key.DeleteKey(ShortcutAnswerKey(paths.caption)) && removed;
}

// `folder` without a trailing "/": a link in the folder's place goes, not
// what it points to (remove_all follows no links).
bool RemoveTree(const std::string& folder) {
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  return !error;
}

bool RemovePersonalData(const FirstRunPaths& paths, const ProgramPaths& program) {
  // Against the current folder the files would be someone else's.
  if (program.folder.empty()) return false;
  bool removed = RemoveFile(program.Favourites());
  removed = RemoveFile(program.History()) && removed;
  removed = RemoveFile(program.Progress()) && removed;
  std::string caches = program.In(kEpisodeCacheFolder);
  caches.pop_back();
  removed = RemoveTree(caches) && removed;
  for (const std::string& folder : paths.browserFolders) removed = RemoveTree(folder) && removed;
  return removed;
}

}  // namespace

std::optional<UninstallRequest> ParseUninstallArguments(const std::vector<std::string>& arguments) {
  UninstallRequest request;
  for (const std::string& argument : arguments) {
    if (argument != kPurgeSwitch) return std::nullopt;
    request.purge = true;
  }
  return request;
}

bool RunUninstall(const FirstRunPaths& paths, const ProgramPaths& program, const UninstallRequest& request) {
  bool removed = RemoveEntriesAndRecord(paths);
  if (request.purge) removed = RemovePersonalData(paths, program) && removed;
  return removed;
}

int UninstallWithDialogs(port::Platform& platform, const FirstRunPaths& paths, const ProgramPaths& program,
                         const UninstallRequest& request) {
  const std::string title = Gbk("卸载");
  const std::string question =
      Gbk("确定要卸载") + paths.caption + Gbk("吗？\n\n") +
      Gbk(request.purge ? "将删除桌面快捷方式、程序组和安装记录，以及收藏、观看记录、剧集缓存和网页数据。"
                        : "将删除桌面快捷方式、程序组和安装记录；收藏、观看记录和剧集缓存保留在程序文件夹中。");
  if (!platform.AskOkCancel(nullptr, question, title)) return 1;
  if (!RunUninstall(paths, program, request)) {
    platform.MessageBox(nullptr, Gbk("卸载未能全部完成，有些文件无法删除。"), title);
    return 1;
  }
  platform.MessageBox(nullptr, Gbk("卸载完成。程序文件夹可以直接删除。"), title);
  return 0;
}

}  // namespace tavelo
