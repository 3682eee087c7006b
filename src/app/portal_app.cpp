#include "app/portal_app.h"

#include <sys/stat.h>

#include "app/app_paths.h"
#include "app/command_word.h"
#include "app/file_digest.h"
#include "catalogue/catalogue_store.h"
#include "mainwin/main_window.h"
#include "playback/live_show_window.h"
#include "playback/separate_play_window.h"
#include "text/encoding.h"

namespace tavelo {

namespace {

constexpr const char* kCaption = "Tavelo(Tavelo视频播放器)";

void RunMainWindow(port::Platform& platform, const std::string& programDirectory) {
  // Only the portal needs the catalogue; play windows start without it.
  CatalogueStore catalogue;
  catalogue.Load();
  MainWindowSetup setup;
  setup.programDirectory = programDirectory;
  setup.firstRun = DefaultFirstRunPaths(programDirectory, Gbk(kCaption));
  MainWindow window(platform, catalogue, setup);
  window.Run();
}

}  // namespace

int RunPortal(port::Platform& platform, const std::vector<std::string>& arguments,
              const std::string& programDirectory) {
  MakeDirectories(programDirectory + "data/");
  MakeDirectories(programDirectory + "tavelo/");

  StartupChoice choice = ChooseStartup(CommandWord(arguments));
  switch (choice.window) {
    case StartupWindow::kRefuse:
      platform.MessageBox(nullptr, Gbk("请从主程序启动软件"), Gbk(kCaption));
      break;
    case StartupWindow::kSeparatePlay:
      RunSeparatePlayWindow(platform, choice.playCommand);
      break;
    case StartupWindow::kLiveShows:
      RunLiveShowWindow(platform);
      break;
    case StartupWindow::kMain:
      RunMainWindow(platform, programDirectory);
      break;
  }
  RunExitRoutine(platform, programDirectory);
  return 0;
}

void RunExitRoutine(port::Platform& platform, const std::string& programDirectory) {
  CleanTempPages();
  struct stat info;
  if (stat("data/dt", &info) != 0) return;
  // A file that cannot be read leaves its digest empty, so it differs.
  std::string arrived, installed;
  DigestFileHex("data/dt", arrived);
  DigestFileHex("dt", installed);
  // Without the program's folder, "npdt" would be looked up on PATH.
  if (arrived != installed && !programDirectory.empty()) {
    platform.StartProcess({programDirectory + "npdt", "update"});
  }
}

}  // namespace tavelo
