// tavelo-catalogue-net: tavelo-catalogue with its network commands, which
// tavelo-catalogue hands over to it with their command line.

#include <unistd.h>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "catalogue_tool.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::setlocale(LC_CTYPE, "");
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return tavelo::RunCatalogueTool(std::move(arguments), std::cout, std::cerr, isatty(STDOUT_FILENO) == 1);
}
