#pragma once
// The command line of tavelo-demo-server: its help table (what --help
// prints and the manual page says) and the options it takes.

#include <string>
#include <vector>

#include "command_help.h"

namespace tavelo::demo {

const help::ProgramHelp& DemoServerHelp();

struct DemoOptions {
  int port;
  // "" for demo/ beside the program.
  std::string content{};
  // Set: write the portal's data files into this folder instead of serving.
  std::string makeData{};
  bool help = false;
};

// Reads the arguments (without the program name) into `options`, which
// holds the defaults on entry. False for an option the help table does not
// know, a missing value or a port that is no number from 0 to 65535.
bool ParseDemoOptions(const std::vector<std::string>& arguments, DemoOptions& options);

}  // namespace tavelo::demo
