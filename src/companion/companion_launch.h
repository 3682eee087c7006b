#pragma once
// Starting the maker's other programs (companions). An installed companion
// has its folder under "software\tolvane3\<product key>", value "path", in
// the machine root of the registry store.

#include <functional>
#include <string>
#include <vector>

namespace tavelo {

using StartProgram = std::function<int(const std::vector<std::string>& argv)>;

// 0 when the companion was found and started, 1 when it is not installed
// (nothing started). The key is created empty when missing, as the installer
// expects to find it. `registryDirectory` "" means the user's own store.
int StartInstalledCompanion(const std::string& productKey, const std::string& programFile,
                            const StartProgram& start, const std::string& registryDirectory = "");

}  // namespace tavelo
