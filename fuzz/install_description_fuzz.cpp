// libFuzzer target: any bytes as a setup server's install description. The
// parser must not crash, and every path it accepts must lie inside one of
// the two folders with no ".." part, none may be among the program's own
// files, and the main program is always a digest-checked package.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "content/install_description.h"

namespace {

bool Contained(const std::string& path, const tavelo::InstallPlaces& places, bool folder) {
  bool inside = path.starts_with(places.programFolder) || path.starts_with(places.programFiles);
  return inside && path.find("/../") == std::string::npos && !path.ends_with("/..") &&
         (folder || !path.ends_with('/'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const tavelo::InstallPlaces kPlaces{"/opt/tavelo/", "/home/u/programs/", "key"};
  tavelo::InstallDescription description =
      tavelo::ParseInstallDescription(std::string(reinterpret_cast<const char*>(data), size), kPlaces);
  bool mainIsPackage = description.mainProgram.empty();
  for (const tavelo::InstallFile& file : description.files) {
    if (!Contained(file.localPath, kPlaces, false) || tavelo::NamesProgramFile(file.localPath, kPlaces)) abort();
    if (file.localPath == description.mainProgram && !file.fetchText) mainIsPackage = true;
  }
  if (!mainIsPackage || (description.refused && !description.files.empty())) abort();
  if (!description.mainProgram.empty() && !Contained(description.mainProgram, kPlaces, false)) abort();
  if (!description.registryPath.empty() && !Contained(description.registryPath, kPlaces, true)) abort();
  return 0;
}
