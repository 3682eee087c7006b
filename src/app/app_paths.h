#pragma once
// Where the program lives and the folders it keeps beside itself.

#include <string>

namespace tavelo {

// The full path of the running program (/proc/self/exe); "" when it cannot be read.
std::string ModuleFilePath();
// The directory of the running program (/proc/self/exe) with a trailing "/";
// "" when it cannot be read.
std::string ModuleDirectory();
// ModuleDirectory, also made the current directory so that every relative
// path of the program (data/main.htm and so on) resolves beside it.
std::string EnterModuleDirectory();

// Creates every directory along an absolute path up to its last "/"; a final
// component without a trailing "/" is not created. Repeated slashes count as
// one. Returns 1 for a path that does not start with "/" (nothing is made),
// else 0; single creations that fail are ignored.
int MakeDirectories(const std::string& path);

// Deletes the files script/tmp/*.htm of the current directory.
void CleanTempPages();

}  // namespace tavelo
