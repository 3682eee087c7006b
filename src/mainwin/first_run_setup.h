#pragma once
// On every start of the portal: when the desktop entry or the program group
// of the launcher is missing, make it (telling the user once) and record the
// product among the installed programs.

#include <functional>
#include <string>
#include <string_view>

namespace tavelo {

// The product's name on the desktop (UTF-8): the portal's caption and the
// name of the entries and the program group, which the uninstaller looks for.
inline constexpr std::string_view kProductCaption = "Tavelo(Tavelo视频播放器)";

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

// `showMessage` gets GBK text and returns when the user has read it.
void RunFirstRunSetup(const FirstRunPaths& paths,
                      const std::function<void(const std::string&)>& showMessage);

}  // namespace tavelo
