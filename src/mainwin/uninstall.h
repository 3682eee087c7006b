#pragma once
// Takes back what first-run setup made: the desktop entry, the program group
// and the product's installed-program record. The program folder stays (the
// user deletes it like any folder), and so do the favourites, the watch
// history and the episode caches inside it, and the browser's data in the
// user's folders, unless the user asks for them to go too.

#include <optional>
#include <string>
#include <vector>

#include "base/program_paths.h"
#include "mainwin/first_run_setup.h"
#include "port/window_host.h"

namespace tavelo {

struct UninstallRequest {
  // Also the favourites, the watch history, the episode caches and the
  // browser's data and cache.
  bool purge = false;
};

// The uninstaller's arguments: nothing, or "--purge". Nothing for anything else.
std::optional<UninstallRequest> ParseUninstallArguments(const std::vector<std::string>& arguments);

// Removes what first run made for `paths` and, when asked, the personal data
// in `program`'s folder. A part that cannot be removed is skipped and the
// rest goes on; true when nothing of it is left. Files the user put into the
// program group's folder stay, and the folder with them.
bool RunUninstall(const FirstRunPaths& paths, const ProgramPaths& program, const UninstallRequest& request);

// The uninstaller on a desktop: asks first, then uninstalls and says how it
// went. 0 when uninstalled; 1 when the user said no or a part stayed.
int UninstallWithDialogs(port::Platform& platform, const FirstRunPaths& paths, const ProgramPaths& program,
                         const UninstallRequest& request);

}  // namespace tavelo
