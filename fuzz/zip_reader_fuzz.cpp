// libFuzzer target: any bytes as an archive, through the reader and the
// extraction the update worker uses. Nothing may crash, hang or write
// outside the scratch folder.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_scratch.h"
#include "net/zip_reader.h"

namespace {

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
  using namespace tavelo::fuzz;
  const std::string archive = WriteScratchFile("input.zip", data, size);
  if (archive.empty()) abort();
  ReadWholeFirstMember(archive);
  std::string extracted;
  if (tavelo::ExtractFirstEntry(archive, extracted) == 0) {
    // Whatever was written must lie inside the scratch folder.
    if (extracted.rfind(ScratchDir(), 0) != 0) abort();
    unlink(extracted.c_str());
  }
  // Members may land in subfolders only when those exist, and none are ever
  // made; the folder is cleared for the next input all the same.
  ClearScratchDir();
  return 0;
}
