// TaveloMain: the portal, or one play window when started with "runPlay:".
// The launcher starts it with "run"; it relaunches itself for play windows.

#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdio>

#include <string>
#include <vector>

#include "base/program_paths.h"
#include "startup/portal_app.h"
#include "port/gtk/gtk_port.h"

int main(int argc, char** argv) {
  const tavelo::ProgramPaths paths = tavelo::ProgramPaths::OfRunningProgram();
  // Some paths are still taken relative to the program's folder.
  if (!paths.folder.empty() && chdir(paths.folder.c_str()) != 0) perror(paths.folder.c_str());
  gtk_init(&argc, &argv);
  tavelo::gtkport::GtkPlatform platform;
  std::vector<std::string> arguments(argv + 1, argv + argc);
  int status = tavelo::RunPortal(platform, arguments, paths);
  platform.CloseAll();
  return status;
}
