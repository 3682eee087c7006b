#pragma once
// Starting outside programs without a shell, so no address or file name can
// smuggle in shell syntax.

#include <string>
#include <vector>

namespace tavelo::port {

// posix_spawnp with the given argument vector, in `workingFolder`; the child
// is not waited for (its exit status is reaped by a detached waiter). False
// when it could not be started (errno tells why).
bool SpawnDetached(const std::vector<std::string>& argv, const std::string& workingFolder);

}  // namespace tavelo::port
