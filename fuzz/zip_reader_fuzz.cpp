// libFuzzer target: any bytes as an archive, through the reader and the
// extraction the update worker uses. Nothing may crash, hang or write
// outside the scratch folder.

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "net/zip_reader.h"

namespace {

const std::string& ScratchDir() {
  static const std::string dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavelo-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) abort();
    return pattern + "/";
  }();
  return dir;
}

void ReadWholeFirstMember(const std::string& path) {
  try {
    tavelo::ZipReader reader;
    reader.Open(path);
    reader.OpenCurrentEntry();
    char buffer[4096];
    while (reader.ReadCurrentEntry(buffer, sizeof buffer) > 0) {
    }
    reader.CloseCurrentEntry();
  } catch (const tavelo::CZipException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string archive = ScratchDir() + "input.zip";
  FILE* file = std::fopen(archive.c_str(), "wb");
  if (file == nullptr) abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  ReadWholeFirstMember(archive);
  std::string extracted;
  if (tavelo::ExtractFirstEntry(archive, extracted) == 0) {
    // Whatever was written must lie inside the scratch folder.
    if (extracted.rfind(ScratchDir(), 0) != 0) abort();
    unlink(extracted.c_str());
  }
  // Clear the folder for the next input (members may land in subfolders
  // only when those exist, and none are ever made).
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(ScratchDir(), ignored)) {
    std::filesystem::remove_all(entry.path(), ignored);
  }
  return 0;
}
