#include "content/companion_launch.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "base/program_paths.h"
#include "catalogue/site_config.h"
#include "text/encoding.h"

namespace tavelo {

namespace {

constexpr std::string_view kCompanionKeys = "software\\tolvane3\\";
constexpr std::string_view kProgramSuffix = ".exe";
constexpr std::string_view kQuilloProgram = "quillo";
constexpr std::string_view kQuilloDefaultPlace = "qorisoft/quillo/quillo";

std::string WithSlash(std::string folder) {
  if (!folder.ends_with('/')) folder += '/';
  return folder;
}

// Registry texts are GBK; the file system speaks UTF-8.
bool IsRegularFile(const std::string& gbkPath) {
  struct stat info;
  return stat(GbkToUtf8(gbkPath).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string InstalledFolder(const std::string& productKey, const std::string& registryDirectory) {
  std::optional<RegistryKey> key = CompanionKey(productKey, registryDirectory);
  return key ? key->ReadString("path", "") : "";
}

}  // namespace

std::optional<RegistryKey> CompanionKey(const std::string& productKey, const std::string& registryDirectory) {
  RegistryKey key = registryDirectory.empty() ? RegistryKey() : RegistryKey(registryDirectory);
  key.SetRoot(RegistryRoot::kLocalMachine);
  if (key.SetKey(std::string(kCompanionKeys) + productKey, true) != 1) return std::nullopt;
  return key;
}

CompanionPlaces CompanionPlaces::ForProgram(const std::string& programFolder) {
  CompanionPlaces places;
  places.programFolder = Utf8ToGbk(WithSlash(programFolder));
  places.programFiles = ProgramFilesDirectory();
  const std::string templatePath = ProgramPaths{WithSlash(programFolder)}.Template();
  places.setupServer = SetupServer(templatePath);
  places.makerSite = MakerSite(templatePath);
  return places;
}

std::string ProgramFilesDirectory() {
  if (const char* programFiles = std::getenv("ProgramFiles"); programFiles != nullptr && *programFiles != '\0') {
    return Utf8ToGbk(WithSlash(programFiles));
  }
  return Utf8ToGbk(UserDataFolder() + "programs/");
}

std::string LocalProgramName(const std::string& programFile) {
  if (programFile.size() > kProgramSuffix.size() &&
      strcasecmp(programFile.c_str() + programFile.size() - kProgramSuffix.size(), kProgramSuffix.data()) == 0) {
    return programFile.substr(0, programFile.size() - kProgramSuffix.size());
  }
  return programFile;
}

int StartInstalledCompanion(const std::string& productKey, const std::string& programFile,
                            const StartProgram& start, const std::string& registryDirectory) {
  std::string folder = InstalledFolder(productKey, registryDirectory);
  if (folder.empty()) return 1;
  // The program name comes from a page: it names a file in the companion's
  // folder and nothing else.
  std::string program = LocalProgramName(programFile);
  if (program.empty() || program.find('/') != std::string::npos || program == "." || program == "..") {
    return 1;
  }
  // The folder is glued to the file name as stored: a path without its
  // trailing "/" names another file, and the companion counts as missing.
  if (!IsRegularFile(folder + program)) return 1;
  start({GbkToUtf8(folder + program)});
  return 0;
}

void OpenWithQuillo(const std::string& address, const CompanionPlaces& places, const StartProgram& start) {
  std::string program = InstalledFolder(std::string(kQuilloProgram), places.registryDirectory) +
                        std::string(kQuilloProgram);
  const char* flag = kQuilloFlagRegistry;
  if (!IsRegularFile(program)) {
    program = places.programFiles + std::string(kQuilloDefaultPlace);
    flag = kQuilloFlagDefaultPlace;
    if (!IsRegularFile(program)) {
      program.clear();
      flag = kQuilloFlagNotFound;
    }
  }
  std::string flagged = address + (address.find('?') == std::string::npos ? "?" : "&") + flag;
  // Without quillo, the desktop's default browser takes the address.
  if (program.empty()) {
    start({"xdg-open", GbkToUtf8(flagged)});
  } else {
    start({GbkToUtf8(program), GbkToUtf8(flagged)});
  }
}

}  // namespace tavelo
