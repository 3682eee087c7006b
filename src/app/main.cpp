// TaveloMain: the portal, or one play window when started with "runPlay:".
// The launcher starts it with "run"; it relaunches itself for play windows.

#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/desktop_identity.h"
#include "base/data_folder.h"
#include "base/program_paths.h"
#include "startup/portal_app.h"
#include "port/gtk/gtk_port.h"

int main(int argc, char** argv) {
  const tavelo::ProgramPaths paths = tavelo::ProgramPaths::OfRunningProgram();
  // An installed program's data folder is made on the user's first start.
  if (!tavelo::PrepareDataFolder(paths)) std::fprintf(stderr, "TaveloMain: cannot prepare %s\n", paths.folder.c_str());
  tavelo::SetDesktopIdentity();
  gtk_init(&argc, &argv);
  tavelo::gtkport::GtkPlatform platform;
  std::vector<std::string> arguments(argv + 1, argv + argc);
  int status = tavelo::RunPortal(platform, arguments, paths);
  platform.CloseAll();
  return status;
}
