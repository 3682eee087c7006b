#pragma once
// A scratch folder per fuzzing process, for targets whose parser reads or
// writes files. Inputs go in as files here; nothing may land elsewhere.

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/system_calls.h"

namespace tavelo::fuzz {

// The folder, with a trailing "/"; made on first use.
inline const std::string& ScratchDir() {
  static const std::string dir = [] {
    // Memory rather than disk where there is one: replacing a file by rename
    // on ext4 waits for the disk, which would slow every input a hundredfold.
    std::error_code noShm;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", noShm)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "tavelo-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) abort();
    return pattern + "/";
  }();
  static const bool removedAtExit = [] {
    return std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(ScratchDir(), ignored);
    }) == 0;
  }();
  (void)removedAtExit;
  return dir;
}

// Writes the bytes to `name` in the scratch folder and returns its path, or
// "" when no such file can be made (a name too long, say).
inline std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = ScratchDir() + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return {};
  bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  if (std::fclose(file) != 0 || !written) abort();
  return path;
}

// Saves skip their flush to disk from the first call on: a flush proves
// nothing here and would make every input wait for the disk.
inline void SkipFlushes() {
  static const sys::ScopedSystemCalls noFlush({sys::Calls().write, [](int) { return 0; }, sys::Calls().rename});
}

// Empties the folder for the next input.
inline void ClearScratchDir() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(ScratchDir(), ignored)) {
    std::filesystem::remove_all(entry.path(), ignored);
  }
}

}  // namespace tavelo::fuzz
