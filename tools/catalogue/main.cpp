#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "base/mapped_file.h"
#include "base/program_paths.h"
#include "catalogue_tool.h"
#include "tool_common.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  // The terminal's encoding, for the texts a reader gets there.
  std::setlocale(LC_CTYPE, "");
  // scrape reads the saved page where it lies.
  tavelo::EndOnShortenedMapping("tavelo-catalogue: a file being read was shortened by another program\n",
                                tavelo::kToolFileError);
  std::vector<std::string> arguments(argv + 1, argv + argc);
  int status = tavelo::RunCatalogueCommand(std::move(arguments), std::cout, std::cerr,
                                           isatty(STDOUT_FILENO) == 1, nullptr);
  if (status != tavelo::kToolRunsElsewhere) return status;
  // The same process goes on as the network program, so whoever waits for
  // or signals this one reaches that one.
  std::cout.flush();
  const std::string program = tavelo::ModuleDirectory() + std::string(tavelo::kNetworkProgram);
  execv(program.c_str(), argv);
  std::cerr << "tavelo-catalogue: cannot run " << program << ": " << std::strerror(errno) << "\n";
  return tavelo::kToolFileError;
}
