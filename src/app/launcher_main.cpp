// tavelo-launcher: what the desktop entries start. It hands over to
// TaveloMain beside it with the command word "run" and its own arguments.

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/program_paths.h"

int main(int argc, char** argv) {
  const std::string program = tavelo::ModuleDirectory() + "TaveloMain";
  std::vector<std::string> arguments = {program, "run"};
  arguments.insert(arguments.end(), argv + 1, argv + argc);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  // The portal, and whatever it starts, run beside their data, wherever
  // the desktop or the user started the launcher.
  const std::string dataRoot = tavelo::ProgramPaths::OfProgramFolder(tavelo::ModuleDirectory()).folder;
  if (chdir(dataRoot.c_str()) != 0) {
    std::fprintf(stderr, "tavelo-launcher: cannot enter %s: %s\n", dataRoot.c_str(), std::strerror(errno));
  }
  execv(program.c_str(), pointers.data());
  std::fprintf(stderr, "tavelo-launcher: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
  return 1;
}
