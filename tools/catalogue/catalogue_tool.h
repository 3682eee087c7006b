#pragma once
// tavelo-catalogue: the catalogue operator's kit. Kept apart from main() so
// the commands can be run in-process by the tests.

#include <iosfwd>
#include <string>
#include <vector>

namespace tavelo {

// Runs one command (arguments without the program name). Returns the exit
// status: 0 done, 1 a file could not be read or written, 2 bad usage.
// Stored texts go to a terminal (`toTerminal`) in the locale's encoding
// unless the first argument is "--raw"; elsewhere they stay GBK.
int RunCatalogueTool(std::vector<std::string> arguments, std::ostream& out, std::ostream& err,
                     bool toTerminal = false);

}  // namespace tavelo
