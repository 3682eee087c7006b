#include "mainwin/first_run_setup.h"

#include <glib.h>
#include <sys/stat.h>

#include "base/program_paths.h"
#include "base/registry_key.h"
#include "text/encoding.h"

namespace tavelo {

namespace {

constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

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

// `name` is GBK; the entry file is UTF-8, as desktop entries are.
void WriteDesktopEntry(const std::string& file, const std::string& name, const std::string& target,
                       const FirstRunPaths& paths) {
  std::string entry = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
  entry += "Name=" + EntryValue(GbkToUtf8(name)) + "\n";
  entry += "Comment=" + EntryValue(GbkToUtf8(name)) + "\n";
  entry += "Exec=" + ExecValue(target) + "\n";
  entry += "Path=" + EntryValue(paths.directory) + "\n";
  // An absolute path: the icon is not installed in an icon theme.
  if (!paths.iconPath.empty()) entry += "Icon=" + EntryValue(paths.iconPath) + "\n";
  entry += "Terminal=false\n";
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

void RunFirstRunSetup(const FirstRunPaths& paths,
                      const std::function<void(const std::string&)>& showMessage) {
  const FirstRunFiles files = FirstRunFilesOf(paths);

  int made = 0;
  if (!Exists(files.desktopEntry)) {
    showMessage(Gbk("首次使用，创建桌面快捷方式"));
    made = 1;
    MakeDirectories(paths.desktopFolder + "/");
    WriteDesktopEntry(files.desktopEntry, paths.caption, paths.launcherPath, paths);
  }
  if (!Exists(files.groupEntry)) {
    if (made == 0) showMessage(Gbk("首次使用，创建程序组快捷方式"));
    ++made;
    MakeDirectories(files.groupFolder);
    WriteDesktopEntry(files.groupEntry, paths.caption, paths.launcherPath, paths);
    WriteDesktopEntry(files.uninstallEntry, Gbk("卸载"), paths.uninstallPath, paths);
  }
  if (made == 0) return;

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
