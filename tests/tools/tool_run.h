#pragma once
// Runs tavelo-catalogue in the test's own process and keeps what it said.

#include <sstream>
#include <string>
#include <vector>

#include "catalogue_tool.h"

namespace tavelo::testing {

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

inline ToolRun RunTool(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  int status = RunCatalogueTool(arguments, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace tavelo::testing
