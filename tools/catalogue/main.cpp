#include <iostream>
#include <string>
#include <vector>

#include "catalogue_tool.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return tavelo::RunCatalogueTool(arguments, std::cout, std::cerr);
}
