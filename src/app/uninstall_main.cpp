// uninstall [--purge]: what the program group's uninstall entry starts. It
// takes back what first run made for the program in its own folder; with
// --purge the favourites, watch history and episode caches go too. On a
// desktop it asks first and says how it went; without one it asks nothing.

#include <gtk/gtk.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/desktop_identity.h"
#include "base/program_paths.h"
#include "mainwin/uninstall.h"
#include "port/gtk/gtk_port.h"
#include "text/encoding.h"

int main(int argc, char** argv) {
  tavelo::SetDesktopIdentity();
  const bool desktop = gtk_init_check(&argc, &argv);
  const std::optional<tavelo::UninstallRequest> request =
      tavelo::ParseUninstallArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!request) {
    std::fprintf(stderr, "usage: %s [--purge]\n", argv[0]);
    return 2;
  }
  const tavelo::ProgramPaths program = tavelo::ProgramPaths::OfRunningProgram();
  const tavelo::FirstRunPaths paths =
      tavelo::DefaultFirstRunPaths(program.ProgramFolder(), tavelo::Gbk(tavelo::kProductCaption));
  if (!desktop) {
    if (tavelo::RunUninstall(paths, program, *request)) return 0;
    std::fprintf(stderr, "uninstall: some files could not be removed\n");
    return 1;
  }
  tavelo::gtkport::GtkPlatform platform;
  return tavelo::UninstallWithDialogs(platform, paths, program, *request);
}
