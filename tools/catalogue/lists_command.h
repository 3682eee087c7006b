#pragma once
// `tavelo-catalogue lists DIR ...`: the favourites and the watch history of
// program folder DIR from the command line, through the same locked edits
// as the windows. Texts are the lists' GBK bytes in their stored form.

#include <iosfwd>
#include <string>
#include <vector>

namespace tavelo {

// Arguments after "lists": DIR, the verb and its arguments. Returns the
// tool's exit status (0 done, 1 refused or not written, 2 bad usage).
int RunListsCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace tavelo
