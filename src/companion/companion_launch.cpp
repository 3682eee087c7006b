#include "companion/companion_launch.h"

#include <sys/stat.h>

#include "base/registry_key.h"
#include "text/encoding.h"

namespace tavelo {

int StartInstalledCompanion(const std::string& productKey, const std::string& programFile,
                            const StartProgram& start, const std::string& registryDirectory) {
  RegistryKey key = registryDirectory.empty() ? RegistryKey() : RegistryKey(registryDirectory);
  key.SetRoot(RegistryRoot::kLocalMachine);
  key.SetKey("software\\tolvane3\\" + productKey, true);
  std::string folder = key.ReadString("path", "");
  if (folder.empty()) return 1;
  // The program name comes from a page: it names a file in the companion's
  // folder and nothing else.
  if (programFile.empty() || programFile.find('/') != std::string::npos || programFile == "." ||
      programFile == "..") {
    return 1;
  }
  // The folder is glued to the file name as stored: a path without its
  // trailing "/" names another file, and the companion counts as missing.
  // Registry texts are GBK; the file system speaks UTF-8.
  std::string program = GbkToUtf8(folder + programFile);
  struct stat info;
  if (stat(program.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 1;
  start({program});
  return 0;
}

}  // namespace tavelo
