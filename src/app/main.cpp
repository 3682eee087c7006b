// TaveloMain: the portal, or one play window when started with "runPlay:".
// The launcher starts it with "run"; it relaunches itself for play windows.

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/portal_app.h"
#include "port/gtk/gtk_port.h"

int main(int argc, char** argv) {
  // Every relative path of the program (data/main.htm and so on) is taken
  // from the program's own folder.
  std::string programDirectory = tavelo::EnterModuleDirectory();
  gtk_init(&argc, &argv);
  tavelo::gtkport::GtkPlatform platform;
  std::vector<std::string> arguments(argv + 1, argv + argc);
  int status = tavelo::RunPortal(platform, arguments, programDirectory);
  platform.CloseAll();
  return status;
}
