#pragma once
// Reading PKZIP archives: update packages arrive as zip files whose first
// member is the package. Only what packages need is supported: one disk,
// stored or deflated members, no encryption, no Zip64.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/file_handle.h"

namespace tavelo {

// Raised by ZipReader; ExtractFirstEntry turns every one into its result 1.
class CZipException : public std::runtime_error {
 public:
  // Codes raised; zlib's own error results are raised unchanged.
  static constexpr int kBadCrc = -105;
  static constexpr int kBadArchive = -103;
  static constexpr int kNoOpenEntry = -102;
  static constexpr int kFileError = -1000;

  CZipException(int code, std::string archivePath, const std::string& detail);

  int Code() const { return code_; }
  // The cause number that belongs to the code (12 bad CRC ... 1 generic).
  int Cause() const;
  const std::string& ArchivePath() const { return archivePath_; }

 private:
  int code_;
  std::string archivePath_;
};

// The fields of one central directory record.
struct ZipEntryInfo {
  uint16_t versionMadeBy = 0;
  uint16_t versionNeeded = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t dosDateTime = 0;  // DOS date in the high 16 bits, time in the low 16
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint16_t nameLength = 0;
  uint16_t extraLength = 0;
  uint16_t commentLength = 0;
  uint16_t diskNumberStart = 0;
  uint16_t internalAttributes = 0;
  uint32_t externalAttributes = 0;
  uint32_t localHeaderOffset = 0;
  std::string name;
};

class ZipReader {
 public:
  ZipReader();
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // Opens the archive and goes to its first entry.
  void Open(const std::string& path);
  void GoToFirstEntry();
  const ZipEntryInfo& CurrentEntry() const;
  void OpenCurrentEntry();
  // Up to `size` bytes of the open member; fewer only at its end (or where
  // its data ends early, which UncompressedLeft then shows).
  size_t ReadCurrentEntry(void* buffer, size_t size);
  // Checks the CRC of a member read to its end.
  void CloseCurrentEntry();
  void Close();

  uint32_t BytesBeforeArchive() const { return bytesBeforeArchive_; }
  // Bytes of the open member not yet produced.
  uint32_t UncompressedLeft() const;

 private:
  struct OpenEntry;

  [[noreturn]] void Fail(int code, const std::string& detail) const;
  void ReadAt(uint64_t position, void* buffer, size_t size) const;
  void ReadCentralRecord();
  void EndEntry() noexcept;
  static void* Allocate(void* self, unsigned items, unsigned size);
  static void Release(void* self, void* block);

  std::string archivePath_;
  FileHandle file_;
  uint64_t fileLength_ = 0;
  uint32_t bytesBeforeArchive_ = 0;
  uint32_t centralDirOffset_ = 0;
  uint32_t centralDirSize_ = 0;
  uint16_t entryCount_ = 0;
  uint16_t commentLength_ = 0;
  uint64_t centralPos_ = 0;
  uint32_t currentEntryPos_ = 0;
  bool currentEntryOk_ = false;
  ZipEntryInfo currentEntry_;
  std::unique_ptr<OpenEntry> openEntry_;
  // Blocks zlib asked for, freed here should zlib not have freed them.
  std::vector<void*> allocations_;
};

struct ExtractOptions {
  // False: a file already standing under the member's name is kept and the
  // extraction fails, so a package cannot replace the program's own files.
  bool replaceExisting = true;
  // A member larger than this (as recorded, or as it inflates) is refused;
  // 0 takes any size the format can record.
  uint64_t maxSize = 0;
};

// Writes the first member of the archive into the archive's own directory
// under its stored name and sets `extractedPath`. 0 on success; 1 on any
// failure, with the reason in `reason` when given. Nothing is ever written
// under the member's name unless the member was complete and its CRC right.
int ExtractFirstEntry(const std::string& archivePath, std::string& extractedPath,
                      const ExtractOptions& options = {}, std::string* reason = nullptr);

}  // namespace tavelo
