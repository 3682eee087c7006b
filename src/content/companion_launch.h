#pragma once
// Starting the maker's other programs (companions). An installed companion
// has its folder under "software\tolvane3\<product key>", value "path", in
// the machine root of the registry store.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/registry_key.h"

namespace tavelo {

// Starts a program from its argument vector; true when it was started.
using StartProgram = std::function<bool(const std::vector<std::string>& argv)>;

// Where companions live and where their installer looks things up. Paths
// are GBK, like all text of the program.
struct CompanionPlaces {
  // The program's folder, absolute, with its trailing "/".
  std::string programFolder;
  // The programs folder (ProgramFilesDirectory), with its trailing "/".
  std::string programFiles;
  // The registry store's folder; "" means the user's own store.
  std::string registryDirectory;
  // Scheme and host of the setup server and of the maker's web site.
  std::string setupServer;
  std::string makerSite;

  // The places of the program in `programFolder`, its hosts read from that
  // folder's data/main.htm.
  static CompanionPlaces ForProgram(const std::string& programFolder);
};

// The environment variable "ProgramFiles" when it is set, otherwise
// $XDG_DATA_HOME/tavelo/programs/ ($XDG_DATA_HOME defaulting to
// ~/.local/share); always with a trailing "/", in GBK.
std::string ProgramFilesDirectory();

// The companion's key in the machine root of the registry store in
// `registryDirectory` ("" for the user's own), made empty when missing;
// nothing when it cannot be opened or made.
std::optional<RegistryKey> CompanionKey(const std::string& productKey, const std::string& registryDirectory);

// The program file a page names, as it is called here: programs have no
// ".exe" on this platform, so that ending (any letter case) is dropped.
std::string LocalProgramName(const std::string& programFile);

// 0 when the companion was found and started, 1 when it is not installed
// (nothing started). The key is created empty when missing, as the installer
// expects to find it.
int StartInstalledCompanion(const std::string& productKey, const std::string& programFile,
                            const StartProgram& start, const std::string& registryDirectory = "");

// The flags quillo is given, by where it was found.
inline constexpr const char* kQuilloFlagRegistry = "fr=n&fg=ffFLAG_QUILLO_DIRECT";
inline constexpr const char* kQuilloFlagDefaultPlace = "fr=gn&fg=ffFLAG_QUILLO_DIRECT";
inline constexpr const char* kQuilloFlagNotFound = "fr=i&fg=ffFLAG_QUILLO_DIRECT";

// Opens `address` with quillo when it is installed, else in the desktop's
// default browser; either way with the flag of where quillo was found.
void OpenWithQuillo(const std::string& address, const CompanionPlaces& places, const StartProgram& start);

}  // namespace tavelo
