#pragma once
// The process from start to end: which one window it runs, decided by the
// command word, and what happens after that window closes.

#include <string>
#include <vector>

#include "base/program_paths.h"
#include "port/window_host.h"

namespace tavelo {

// Runs the process's one window for `arguments` (without the program name)
// for the program in `paths`; then the exit routine. Returns the process's
// exit status.
int RunPortal(port::Platform& platform, const std::vector<std::string>& arguments, const ProgramPaths& paths);

// After the window: temporary pages go, and a new copy of the updater's
// target (data/dt differing from dt beside the program) starts npdt.
void RunExitRoutine(port::Platform& platform, const ProgramPaths& paths);

}  // namespace tavelo
