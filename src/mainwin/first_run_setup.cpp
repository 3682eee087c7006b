#include "mainwin/first_run_setup.h"

#include <glib.h>
#include <sys/stat.h>

#include "base/desktop_identity.h"
#include "base/program_paths.h"
#include "base/registry_key.h"
#include "text/encoding.h"

namespace tavelo {

namespace {

constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The user's answer to the first-run question, kept per user: the entries it
// is about are the user's own, shared by every portable copy.
constexpr const char* kAnswerKey = "Software\\";
constexpr const char* kAnswerValue = "MakeShortcuts";
constexpr const char* kAnswerYes = "1";
constexpr const char* kAnswerNo = "0";

// What a desktop entry says besides its name (UTF-8); the validator wants a
// comment that is more than the name again.
struct EntryText {
  std::string name;  // GBK
  const char* comment;
  const char* categories;
};

// A string value of a desktop entry: backslashes doubled, line breaks escaped.
std::string EntryValue(std::string_view text) {
  std::string value;
  for (char c : text) {
    if (c == '\\') {
      value += "\\\\";
    } else if (c == '\n') {
      value += "\\n";
    } else if (c == '\r') {
      value += "\\r";
    } else {
      value += c;
    }
  }
  return value;
}

// Exec= holds a quoted program path, inside which " ` $ and \ take a
// backslash and % is doubled; the whole is then a string value.
std::string ExecValue(const std::string& path) {
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return EntryValue(quoted + "\"");
}

// The entry file is UTF-8, as desktop entries are.
void WriteDesktopEntry(const std::string& file, const EntryText& text, const std::string& target,
                       const FirstRunPaths& paths) {
  std::string entry = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
  entry += "Name=" + EntryValue(GbkToUtf8(text.name)) + "\n";
  entry += "Comment=" + EntryValue(text.comment) + "\n";
  entry += "Exec=" + ExecValue(target) + "\n";
  entry += "Path=" + EntryValue(paths.directory) + "\n";
  // An absolute path: the icon is not installed in an icon theme.
  if (!paths.iconPath.empty()) entry += "Icon=" + EntryValue(paths.iconPath) + "\n";
  entry += "Terminal=false\n";
  // The windows' class is the program name: the desktop groups them under this entry.
  entry += std::string("StartupWMClass=") + kProgramName + "\n";
  entry += std::string("Categories=") + text.categories + "\n";
  // A shortcut that cannot be saved is skipped silently; the rest goes on.
  if (g_file_set_contents(file.c_str(), entry.data(), static_cast<gssize>(entry.size()), nullptr)) {
    // Desktops start only entries that are marked executable.
    chmod(file.c_str(), 0755);
  }
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

RegistryKey AnswerKey(const FirstRunPaths& paths) {
  RegistryKey key(paths.registryDirectory);
  key.SetRoot(RegistryRoot::kCurrentUser);
  return key;
}

// kAnswerYes, kAnswerNo, or "" when the user was never asked.
std::string StoredAnswer(const FirstRunPaths& paths) {
  RegistryKey key = AnswerKey(paths);
  if (key.SetKey(ShortcutAnswerKey(paths.caption), false) != 1) return "";
  return key.ReadString(kAnswerValue, "");
}

void StoreAnswer(const FirstRunPaths& paths, bool yes) {
  RegistryKey key = AnswerKey(paths);
  // Not remembered when the store cannot be written: the user is asked again.
  if (key.SetKey(ShortcutAnswerKey(paths.caption), true) == 1) {
    key.WriteString(kAnswerValue, yes ? kAnswerYes : kAnswerNo);
  }
}

}  // namespace

FirstRunPaths DefaultFirstRunPaths(const std::string& directory, const std::string& caption) {
  FirstRunPaths paths;
  paths.directory = directory;
  paths.launcherPath = directory + "tavelo-launcher";
  paths.uninstallPath = directory + "uninstall";
  paths.iconPath = directory + std::string(kIconFile);
  paths.caption = caption;
  const char* desktop = g_get_user_special_dir(G_USER_DIRECTORY_DESKTOP);
  paths.desktopFolder = desktop ? desktop : std::string(g_get_home_dir()) + "/Desktop";
  paths.programsFolder = std::string(g_get_user_data_dir()) + "/applications";
  paths.registryDirectory = RegistryDirectory();
  paths.browserFolders = {BrowserDataFolder(), BrowserCacheFolder()};
  return paths;
}

FirstRunFiles FirstRunFilesOf(const FirstRunPaths& paths) {
  const std::string name = GbkToUtf8(paths.caption);
  FirstRunFiles files;
  files.desktopEntry = paths.desktopFolder + "/" + name + ".desktop";
  files.groupFolder = paths.programsFolder + "/" + name + "/";
  files.groupEntry = files.groupFolder + name + ".desktop";
  files.uninstallEntry = files.groupFolder + "卸载.desktop";
  return files;
}

std::string InstalledProgramKey(const std::string& caption) { return kUninstallKey + caption; }

std::string ShortcutAnswerKey(const std::string& caption) { return kAnswerKey + caption; }

void RunFirstRunSetup(const FirstRunPaths& paths, const std::function<bool(const std::string&)>& askYesNo) {
  const FirstRunFiles files = FirstRunFilesOf(paths);
  const bool desktopMissing = !Exists(files.desktopEntry);
  const bool groupMissing = !Exists(files.groupEntry);
  if (!desktopMissing && !groupMissing) return;

  // Asked once; after a yes, entries the user lost are made again quietly.
  const std::string answer = StoredAnswer(paths);
  if (answer == kAnswerNo) return;
  if (answer != kAnswerYes) {
    const bool yes = askYesNo(Gbk("首次使用，是否在桌面和程序菜单中创建快捷方式？"));
    StoreAnswer(paths, yes);
    if (!yes) return;
  }

  const EntryText program{paths.caption, "按分类浏览视频目录并播放视频", "AudioVideo;Video;Player;"};
  if (desktopMissing) {
    MakeDirectories(paths.desktopFolder + "/");
    WriteDesktopEntry(files.desktopEntry, program, paths.launcherPath, paths);
  }
  if (groupMissing) {
    MakeDirectories(files.groupFolder);
    WriteDesktopEntry(files.groupEntry, program, paths.launcherPath, paths);
    const EntryText uninstall{Gbk("卸载 ") + Gbk(kProductName),
                              "删除快捷方式和安装记录，可选删除收藏和观看记录", "AudioVideo;Video;"};
    WriteDesktopEntry(files.uninstallEntry, uninstall, paths.uninstallPath, paths);
  }

  RegistryKey key(paths.registryDirectory);
  key.SetRoot(RegistryRoot::kLocalMachine);
  if (key.SetKey(InstalledProgramKey(paths.caption), true) == 1) {
    const std::string uninstaller = Utf8ToGbk(paths.uninstallPath);
    key.WriteString("DisplayName", paths.caption);
    key.WriteString("DisplayIcon", uninstaller);
    key.WriteString("UninstallString", uninstaller);
  }
}

}  // namespace tavelo
