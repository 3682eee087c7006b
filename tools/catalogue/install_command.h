#pragma once
// tavelo-catalogue install: starts a companion for a program folder as the
// portal would, installing it from the setup server when it is missing, with
// the windows' texts printed instead of shown.

#include <iosfwd>
#include <string>
#include <vector>

namespace tavelo {

// Arguments: DIR NAME KEY PROGRAM. Status texts and byte counts go to `out`
// and messages to `err`, one line each, in UTF-8. 0 when the companion was
// started, else 1.
int RunInstallCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace tavelo
