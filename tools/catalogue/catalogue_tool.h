#pragma once
// tavelo-catalogue: the catalogue operator's kit. Kept apart from main() so
// the commands can be run in-process by the tests.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

// Runs one command (arguments without the program name). Returns the exit
// status: 0 done, 1 a file could not be read or written, 2 bad usage.
// Stored texts go to a terminal (`toTerminal`) in the locale's encoding
// unless the first argument is "--raw"; elsewhere they stay GBK.
int RunCatalogueTool(std::vector<std::string> arguments, std::ostream& out, std::ostream& err,
                     bool toTerminal = false);

// The network commands (update, fetch, install) need libcurl and the dozens
// of libraries it loads, which take longer to load than most other commands
// take to run. tavelo-catalogue therefore runs only the other commands
// itself and hands these, with its command line, to kNetworkProgram in its
// own folder, whose main() is RunCatalogueTool.
inline constexpr std::string_view kNetworkProgram = "tavelo-catalogue-net";

using CommandHandler = int (*)(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// What RunCatalogueCommand returns for a network command it has no handler for.
inline constexpr int kToolRunsElsewhere = -1;

// As RunCatalogueTool; a network command goes to `networkHandler`'s handler
// for its name, or returns kToolRunsElsewhere (after its usage was checked)
// when there is none.
int RunCatalogueCommand(std::vector<std::string> arguments, std::ostream& out, std::ostream& err,
                        bool toTerminal, CommandHandler (*networkHandler)(std::string_view name));

}  // namespace tavelo
