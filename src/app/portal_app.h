#pragma once
// The process from start to end: which one window it runs, decided by the
// command word, and what happens after that window closes.

#include <string>
#include <vector>

#include "port/window_host.h"

namespace tavelo {

// Runs the process's one window for `arguments` (without the program name)
// in the program folder `programDirectory` (with its trailing "/"), which
// the caller has made the current directory; then the exit routine. Returns
// the process's exit status.
int RunPortal(port::Platform& platform, const std::vector<std::string>& arguments,
              const std::string& programDirectory);

// After the window: temporary pages go, and a new copy of the updater's
// target (data/dt differing from dt beside the program) starts npdt.
void RunExitRoutine(port::Platform& platform, const std::string& programDirectory);

}  // namespace tavelo
