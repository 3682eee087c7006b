#pragma once
// `tavelo-catalogue progress DIR show|clear`: where the user stopped in each
// episode, as the play windows keep it in DIR's data/progress.dat.

#include <iosfwd>
#include <string>
#include <vector>

namespace tavelo {

// Arguments after "progress": DIR and the verb. `terminal`: texts are
// printed in UTF-8 rather than as the store holds them (GBK). Returns the
// tool's exit status.
int RunProgressCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                       bool terminal);

}  // namespace tavelo
