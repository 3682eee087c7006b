#pragma once
// On every start of the portal: when the desktop entry or the program group
// of the launcher is missing, make it and record the product among the
// installed programs, if the user agreed. The user is asked once; the answer
// is remembered until an uninstall.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

// The product's name on the desktop (UTF-8): the portal's caption and the
// name of the entries and the program group, which the uninstaller looks for.
inline constexpr std::string_view kProductCaption = "Tavelo(Tavelo视频播放器)";
// The product's name in sentences and in the uninstall entry (UTF-8).
inline constexpr std::string_view kProductName = "Tavelo视频播放器";

// Paths are file-system paths as the system gives them (UTF-8 on a Linux
// desktop); only the caption is GBK text of the program.
struct FirstRunPaths {
  std::string directory;      // the program's folder, with a trailing "/"
  std::string launcherPath;   // what the entries start
  std::string uninstallPath;  // what the uninstall entry starts
  std::string iconPath;       // the picture the entries show; none when empty
  std::string caption;        // names the entries and the program group
  // Where the entries go; filled from the desktop's own settings by default.
  std::string desktopFolder;
  std::string programsFolder;
  std::string registryDirectory;
  // The browser's data and cache folders, which only a purging uninstall
  // takes away.
  std::vector<std::string> browserFolders;
};

// The user's desktop folder and menu-entry folder ($XDG_DATA_HOME/applications).
FirstRunPaths DefaultFirstRunPaths(const std::string& directory, const std::string& caption);

// The files first-run setup makes for `paths`; the uninstaller takes them back.
struct FirstRunFiles {
  std::string desktopEntry;
  std::string groupFolder;  // the program group, with a trailing "/"
  std::string groupEntry;
  std::string uninstallEntry;
};
FirstRunFiles FirstRunFilesOf(const FirstRunPaths& paths);

// The key (GBK) of the product's record among the installed programs, under
// the local-machine root.
std::string InstalledProgramKey(const std::string& caption);

// The key (GBK) under the current-user root that remembers the user's answer.
std::string ShortcutAnswerKey(const std::string& caption);

// `askYesNo` puts a GBK question and returns true for 是.
void RunFirstRunSetup(const FirstRunPaths& paths, const std::function<bool(const std::string&)>& askYesNo);

}  // namespace tavelo
