#include "startup/portal_app.h"

#include <sys/stat.h>

#include "base/program_paths.h"
#include "startup/command_word.h"
#include "base/file_digest.h"
#include "catalogue/catalogue_store.h"
#include "mainwin/main_window.h"
#include "playback/live_show_window.h"
#include "playback/separate_play_window.h"
#include "text/encoding.h"
#include "windows/web_window.h"

namespace tavelo {

namespace {

constexpr std::string_view kCaption = kProductCaption;

void RunMainWindow(WindowSet& windows, const ProgramPaths& paths) {
  // Only the portal needs the catalogue; play windows start without it.
  CatalogueStore catalogue;
  catalogue.Load(paths.folder);
  MainWindowSetup setup;
  setup.firstRun = DefaultFirstRunPaths(paths.ProgramFolder(), Gbk(kCaption));
  setup.firstRunSetup = !paths.Installed();
  // The window, and every window opened from it, is gone before the catalogue.
  windows.RunUntilClosed(windows.Open<MainWindow>(catalogue, setup));
}

}  // namespace

int RunPortal(port::Platform& platform, const std::vector<std::string>& arguments, const ProgramPaths& paths) {
  MakeDirectories(paths.In(kDataFolder));
  MakeDirectories(paths.In(kEpisodeCacheFolder));
  // Helpers, companions and copies of the program find their files relative
  // to the folder that holds data/, not to wherever the user started Tavelo.
  platform.SetWorkingFolder(paths.folder);

  // The process's one window runs until it closes; windows opened on the way
  // and still open close with the set, after the exit routine.
  WindowSet windows(platform, OpenPopupWebWindow);
  windows.SetPaths(paths);
  StartupChoice choice = ChooseStartup(CommandWord(arguments));
  switch (choice.window) {
    case StartupWindow::kRefuse:
      platform.MessageBox(nullptr, Gbk("请从主程序启动软件"), Gbk(kCaption));
      break;
    case StartupWindow::kSeparatePlay:
      RunSeparatePlayWindow(windows, choice.playCommand, paths.Template());
      break;
    case StartupWindow::kLiveShows:
      RunLiveShowWindow(windows, paths.Template());
      break;
    case StartupWindow::kMain:
      RunMainWindow(windows, paths);
      break;
  }
  RunExitRoutine(platform, paths);
  return 0;
}

void RunExitRoutine(port::Platform& platform, const ProgramPaths& paths) {
  CleanTempPages(paths);
  struct stat info;
  if (stat(paths.In("data/dt").c_str(), &info) != 0) return;
  // A file that cannot be read leaves its digest empty, so it differs.
  std::string arrived, installed;
  DigestFileHex(paths.In("data/dt"), arrived);
  DigestFileHex(paths.Shipped("dt"), installed);
  // Without the program's folder, "npdt" would be looked up on PATH.
  if (arrived != installed && !paths.ProgramFolder().empty()) {
    platform.StartProcess({paths.Shipped("npdt"), "update"});
  }
}

}  // namespace tavelo
