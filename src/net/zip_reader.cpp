#include "net/zip_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

#include "base/atomic_write.h"
#include "net/zip_format.h"

namespace tavelo {

namespace {

using namespace zipformat;

constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr size_t kEndOfCentralDirSize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kCentralRecordSize = 46;
constexpr size_t kLocalHeaderSize = 30;
// The end record sits within this many bytes of the end of the file: a
// 22-byte record followed by a comment of at most 65535 - 22 bytes.
constexpr uint64_t kMaxEndRecordDistance = 65535;
constexpr size_t kReadBufferSize = 16384;
constexpr size_t kExtractChunk = 10240;

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint16_t kFlagEncrypted = 1 << 0;
constexpr uint16_t kFlagDataDescriptor = 1 << 3;
constexpr uint16_t kZip64Count = 0xFFFF;
constexpr uint32_t kZip64Value = 0xFFFFFFFF;

// Raw deflate: a negative window size means no zlib header or trailer.

uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

CZipException::CZipException(int code, std::string archivePath, const std::string& detail)
    : std::runtime_error(detail), code_(code), archivePath_(std::move(archivePath)) {}

int CZipException::Cause() const {
  switch (code_) {
    case kBadCrc: return 12;
    case kBadArchive: return 11;
    case kNoOpenEntry: return 10;
    case Z_VERSION_ERROR: return 9;
    case Z_BUF_ERROR: return 8;
    case Z_MEM_ERROR: return 7;
    case Z_DATA_ERROR: return 6;
    case Z_STREAM_ERROR: return 5;
    case Z_ERRNO: return 4;
    case Z_NEED_DICT: return 3;
    case Z_STREAM_END: return 2;
    default: return 1;
  }
}

struct ZipReader::OpenEntry {
  std::unique_ptr<unsigned char[]> buffer{new unsigned char[kReadBufferSize]};
  z_stream stream{};
  bool inflateActive = false;
  uint64_t positionInArchive = 0;
  uint32_t crcSoFar = 0;
  uint32_t expectedCrc = 0;
  uint32_t compressedLeft = 0;
  uint32_t uncompressedLeft = 0;
  uint16_t method = kMethodStored;
  // Input of a stored member not yet handed out.
  const unsigned char* storedNext = nullptr;
  size_t storedAvailable = 0;
};

ZipReader::ZipReader() = default;

ZipReader::~ZipReader() {
  EndEntry();
  for (void* block : allocations_) std::free(block);
}

void ZipReader::Fail(int code, const std::string& detail) const {
  throw CZipException(code, file_.Valid() ? archivePath_ : std::string(), detail);
}

void ZipReader::ReadAt(uint64_t position, void* buffer, size_t size) const {
  auto* out = static_cast<unsigned char*>(buffer);
  while (size > 0) {
    ssize_t got = pread(file_.Get(), out, size, static_cast<off_t>(position));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) Fail(CZipException::kBadArchive, "archive is truncated");
    out += got;
    size -= static_cast<size_t>(got);
    position += static_cast<uint64_t>(got);
  }
}

void ZipReader::Open(const std::string& path) {
  Close();
  archivePath_ = path;
  file_ = FileHandle::Open(path, O_RDONLY);
  if (!file_.Valid()) {
    throw CZipException(CZipException::kFileError, std::string(),
                        "cannot open " + path + ": " + std::strerror(errno));
  }
  struct stat info;
  if (fstat(file_.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    Fail(CZipException::kFileError, "not a regular file");
  }
  fileLength_ = static_cast<uint64_t>(info.st_size);

  // The last end record signature within reach of the end of the file wins.
  uint64_t tailLength = std::min(fileLength_, kMaxEndRecordDistance);
  std::vector<unsigned char> tail(tailLength);
  ReadAt(fileLength_ - tailLength, tail.data(), tail.size());
  uint64_t recordPos = 0;
  bool found = false;
  for (size_t i = tail.size() >= 4 ? tail.size() - 4 + 1 : 0; i-- > 0;) {
    if (Le32(&tail[i]) == kEndOfCentralDirSignature) {
      recordPos = fileLength_ - tailLength + i;
      found = true;
      break;
    }
  }
  if (!found) Fail(CZipException::kBadArchive, "no end of central directory record");

  unsigned char record[kEndOfCentralDirSize];
  ReadAt(recordPos, record, sizeof record);
  uint16_t thisDisk = Le16(record + 4);
  uint16_t centralDisk = Le16(record + 6);
  uint16_t entriesOnDisk = Le16(record + 8);
  entryCount_ = Le16(record + 10);
  centralDirSize_ = Le32(record + 12);
  centralDirOffset_ = Le32(record + 16);
  commentLength_ = Le16(record + 20);
  if (entryCount_ != entriesOnDisk || thisDisk != 0 || centralDisk != 0) {
    Fail(CZipException::kBadArchive, "multi-disk archive");
  }
  if (entryCount_ == kZip64Count || centralDirSize_ == kZip64Value ||
      centralDirOffset_ == kZip64Value) {
    Fail(CZipException::kBadArchive, "Zip64 archive");
  }
  if (recordPos >= kZip64LocatorSize) {
    unsigned char locator[4];
    ReadAt(recordPos - kZip64LocatorSize, locator, sizeof locator);
    if (Le32(locator) == kZip64LocatorSignature) Fail(CZipException::kBadArchive, "Zip64 archive");
  }
  uint64_t directoryEnd = uint64_t{centralDirOffset_} + centralDirSize_;
  if (recordPos < directoryEnd) Fail(CZipException::kBadArchive, "central directory out of place");
  bytesBeforeArchive_ = static_cast<uint32_t>(recordPos - directoryEnd);
  centralPos_ = recordPos;
  GoToFirstEntry();
}

void ZipReader::GoToFirstEntry() {
  if (!file_.Valid()) Fail(CZipException::kBadArchive, "no archive open");
  currentEntryOk_ = false;
  if (entryCount_ == 0) Fail(CZipException::kBadArchive, "archive has no members");
  currentEntryPos_ = centralDirOffset_;
  ReadCentralRecord();
  currentEntryOk_ = true;
}

void ZipReader::ReadCentralRecord() {
  uint64_t position = uint64_t{currentEntryPos_} + bytesBeforeArchive_;
  unsigned char record[kCentralRecordSize];
  ReadAt(position, record, sizeof record);
  if (Le32(record) != kCentralRecordSignature) {
    Fail(CZipException::kBadArchive, "bad central directory record");
  }
  ZipEntryInfo info;
  info.versionMadeBy = Le16(record + 4);
  info.versionNeeded = Le16(record + 6);
  info.flags = Le16(record + 8);
  info.method = Le16(record + 10);
  info.dosDateTime = Le32(record + 12);
  info.crc = Le32(record + 16);
  info.compressedSize = Le32(record + 20);
  info.uncompressedSize = Le32(record + 24);
  info.nameLength = Le16(record + 28);
  info.extraLength = Le16(record + 30);
  info.commentLength = Le16(record + 32);
  info.diskNumberStart = Le16(record + 34);
  info.internalAttributes = Le16(record + 36);
  info.externalAttributes = Le32(record + 38);
  info.localHeaderOffset = Le32(record + 42);
  if (info.compressedSize == kZip64Value || info.uncompressedSize == kZip64Value ||
      info.localHeaderOffset == kZip64Value) {
    Fail(CZipException::kBadArchive, "Zip64 member");
  }
  info.name.resize(info.nameLength);
  ReadAt(position + kCentralRecordSize, info.name.data(), info.name.size());
  currentEntry_ = std::move(info);
}

const ZipEntryInfo& ZipReader::CurrentEntry() const {
  if (!currentEntryOk_) Fail(CZipException::kNoOpenEntry, "no current entry");
  return currentEntry_;
}

void* ZipReader::Allocate(void* self, unsigned items, unsigned size) {
  auto* reader = static_cast<ZipReader*>(self);
  if (size != 0 && items > SIZE_MAX / size) return Z_NULL;
  void* block = std::malloc(size_t{items} * size);
  if (block == nullptr) return Z_NULL;
  try {
    reader->allocations_.push_back(block);
  } catch (const std::bad_alloc&) {
    std::free(block);
    return Z_NULL;
  }
  return block;
}

void ZipReader::Release(void* self, void* block) {
  auto* reader = static_cast<ZipReader*>(self);
  auto found = std::find(reader->allocations_.begin(), reader->allocations_.end(), block);
  if (found != reader->allocations_.end()) reader->allocations_.erase(found);
  std::free(block);
}

void ZipReader::OpenCurrentEntry() {
  if (!currentEntryOk_) Fail(CZipException::kNoOpenEntry, "no current entry");
  if (openEntry_) CloseCurrentEntry();
  const ZipEntryInfo& entry = currentEntry_;

  unsigned char header[kLocalHeaderSize];
  uint64_t headerPos = uint64_t{entry.localHeaderOffset} + bytesBeforeArchive_;
  ReadAt(headerPos, header, sizeof header);
  uint16_t flags = Le16(header + 6);
  uint16_t method = Le16(header + 8);
  bool sizesLater = (flags & kFlagDataDescriptor) != 0;
  if (Le32(header) != kLocalHeaderSignature || method != entry.method ||
      (method != kMethodStored && method != kMethodDeflated) ||
      Le16(header + 26) != entry.nameLength ||
      (!sizesLater && (Le32(header + 14) != entry.crc || Le32(header + 18) != entry.compressedSize ||
                       Le32(header + 22) != entry.uncompressedSize))) {
    Fail(CZipException::kBadArchive, "local header disagrees with the central directory");
  }
  // Without a password the data could only fail later, or by chance pass
  // the CRC check as garbage; say so at once.
  if ((entry.flags & kFlagEncrypted) != 0 || (flags & kFlagEncrypted) != 0) {
    Fail(CZipException::kBadArchive, "encrypted member");
  }

  auto open = std::make_unique<OpenEntry>();
  open->expectedCrc = entry.crc;
  open->compressedLeft = entry.compressedSize;
  open->uncompressedLeft = entry.uncompressedSize;
  open->method = method;
  if (method == kMethodDeflated) {
    open->stream.zalloc = &ZipReader::Allocate;
    open->stream.zfree = &ZipReader::Release;
    open->stream.opaque = this;
    int result = inflateInit2_(&open->stream, kRawDeflateWindowBits, ZLIB_VERSION,
                               static_cast<int>(sizeof(z_stream)));
    if (result != Z_OK) Fail(result, "cannot start inflation");
    open->inflateActive = true;
  }
  open->positionInArchive =
      uint64_t{entry.localHeaderOffset} + kLocalHeaderSize + entry.nameLength + Le16(header + 28);
  openEntry_ = std::move(open);
}

size_t ZipReader::ReadCurrentEntry(void* buffer, size_t size) {
  if (!openEntry_) Fail(CZipException::kNoOpenEntry, "no member open");
  if (size == 0 || buffer == nullptr) return 0;
  OpenEntry& entry = *openEntry_;
  auto* out = static_cast<unsigned char*>(buffer);
  size_t room = std::min<size_t>(size, entry.uncompressedLeft);
  size_t count = 0;

  auto fill = [&]() -> size_t {
    size_t n = std::min<size_t>(entry.compressedLeft, kReadBufferSize);
    ReadAt(entry.positionInArchive + bytesBeforeArchive_, entry.buffer.get(), n);
    entry.positionInArchive += n;
    entry.compressedLeft -= static_cast<uint32_t>(n);
    return n;
  };

  while (room > 0) {
    if (entry.method == kMethodDeflated) {
      if (entry.stream.avail_in == 0 && entry.compressedLeft > 0) {
        entry.stream.avail_in = static_cast<uInt>(fill());
        entry.stream.next_in = entry.buffer.get();
      }
      bool inputLeft = entry.stream.avail_in > 0;
      entry.stream.next_out = out + count;
      entry.stream.avail_out = static_cast<uInt>(room);
      int result = inflate(&entry.stream, Z_SYNC_FLUSH);
      size_t produced = room - entry.stream.avail_out;
      entry.crcSoFar = static_cast<uint32_t>(crc32(entry.crcSoFar, out + count, static_cast<uInt>(produced)));
      entry.uncompressedLeft -= static_cast<uint32_t>(produced);
      count += produced;
      room -= produced;
      if (result == Z_STREAM_END) return count;
      // With the input used up, a call that produced nothing means the
      // stream ended early; the caller sees the bytes still missing.
      if (!inputLeft && produced == 0) return count;
      if (result != Z_OK && !(result == Z_BUF_ERROR && !inputLeft)) {
        Fail(result, entry.stream.msg != nullptr ? entry.stream.msg : "inflate failed");
      }
    } else {
      if (entry.storedAvailable == 0) {
        if (entry.compressedLeft == 0) return count;
        entry.storedAvailable = fill();
        entry.storedNext = entry.buffer.get();
      }
      size_t n = std::min(room, entry.storedAvailable);
      std::memcpy(out + count, entry.storedNext, n);
      entry.crcSoFar = static_cast<uint32_t>(crc32(entry.crcSoFar, out + count, static_cast<uInt>(n)));
      entry.storedNext += n;
      entry.storedAvailable -= n;
      entry.uncompressedLeft -= static_cast<uint32_t>(n);
      count += n;
      room -= n;
    }
  }
  return count;
}

uint32_t ZipReader::UncompressedLeft() const {
  return openEntry_ ? openEntry_->uncompressedLeft : 0;
}

void ZipReader::EndEntry() noexcept {
  if (openEntry_ && openEntry_->inflateActive) inflateEnd(&openEntry_->stream);
  openEntry_.reset();
}

void ZipReader::CloseCurrentEntry() {
  if (!openEntry_) Fail(CZipException::kNoOpenEntry, "no member open");
  bool badCrc = openEntry_->uncompressedLeft == 0 && openEntry_->crcSoFar != openEntry_->expectedCrc;
  EndEntry();
  if (badCrc) Fail(CZipException::kBadCrc, "CRC-32 does not match");
}

void ZipReader::Close() {
  EndEntry();
  file_.Close();
  currentEntryOk_ = false;
}

namespace {

// Stored names come from the archive: nothing may lead out of the
// archive's directory, whichever separator the packer used.
bool IsSafeMemberName(const std::string& name, std::string& why) {
  if (name.empty() || name.find('\0') != std::string::npos) {
    why = "member has no usable name";
    return false;
  }
  if (name[0] == '/' || name[0] == '\\' || (name.size() >= 2 && name[1] == ':')) {
    why = "member name is absolute";
    return false;
  }
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) {
      why = "member name leaves the archive's directory";
      return false;
    }
    start = end + 1;
  }
  if (name.back() == '/' || name.back() == '\\') {
    why = "first member is a directory";
    return false;
  }
  return true;
}

time_t DosDateTimeToTime(uint32_t dosDateTime) {
  uint32_t date = dosDateTime >> 16;
  uint32_t time = dosDateTime & 0xFFFF;
  std::tm parts{};
  parts.tm_year = static_cast<int>((date >> 9) & 0x7F) + 80;
  parts.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
  parts.tm_mday = static_cast<int>(date & 0x1F);
  parts.tm_hour = static_cast<int>(time >> 11);
  parts.tm_min = static_cast<int>((time >> 5) & 0x3F);
  parts.tm_sec = static_cast<int>((time & 0x1F) * 2);
  parts.tm_isdst = -1;
  return std::mktime(&parts);
}

int Extract(const std::string& archivePath, std::string& extractedPath,
            const ExtractOptions& options, std::string& why) {
  ZipReader reader;
  reader.Open(archivePath);
  const ZipEntryInfo& entry = reader.CurrentEntry();
  if (!IsSafeMemberName(entry.name, why)) return 1;
  if (options.maxSize != 0 && entry.uncompressedSize > options.maxSize) {
    why = "member larger than " + std::to_string(options.maxSize) + " bytes";
    return 1;
  }

  size_t slash = archivePath.rfind('/');
  std::string directory = slash == std::string::npos ? "" : archivePath.substr(0, slash + 1);
  std::string target = directory + entry.name;

  PendingFile part(target);
  if (!part.Ok()) {
    why = "cannot create a file beside " + target + ": " + std::strerror(errno);
    return 1;
  }
  reader.OpenCurrentEntry();
  unsigned char chunk[kExtractChunk];
  for (;;) {
    size_t got = reader.ReadCurrentEntry(chunk, sizeof chunk);
    if (!part.Handle().WriteAll(chunk, got)) {
      why = std::string("cannot write the member: ") + std::strerror(errno);
      return 1;
    }
    if (got < sizeof chunk) break;
  }
  if (reader.UncompressedLeft() != 0) {
    why = "member data ends before its recorded size";
    return 1;
  }
  reader.CloseCurrentEntry();

  // The member keeps its modification time; what it held of DOS attributes
  // ends as an ordinary file, never read-only.
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_NOW;
  times[1].tv_sec = DosDateTimeToTime(entry.dosDateTime);
  times[1].tv_nsec = 0;
  if (times[1].tv_sec == static_cast<time_t>(-1)) times[1].tv_nsec = UTIME_NOW;
  if (futimens(part.Handle().Get(), times) != 0) {
    why = std::string("cannot finish the member: ") + std::strerror(errno);
    return 1;
  }
  if (!(options.replaceExisting ? part.Commit() : part.CommitWithoutReplacing())) {
    why = "cannot write " + target + ": " + std::strerror(errno);
    return 1;
  }
  extractedPath = target;
  return 0;
}

}  // namespace

int ExtractFirstEntry(const std::string& archivePath, std::string& extractedPath,
                      const ExtractOptions& options, std::string* reason) {
  std::string why;
  int result = 1;
  try {
    result = Extract(archivePath, extractedPath, options, why);
  } catch (const CZipException& error) {
    why = error.what();
  } catch (const std::bad_alloc&) {
    why = "out of memory";
  } catch (const std::exception& error) {
    why = error.what();
  }
  if (reason != nullptr) *reason = why;
  return result;
}

}  // namespace tavelo
