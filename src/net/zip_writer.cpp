#include "net/zip_writer.h"

#include <zlib.h>

#include <ctime>
#include <memory>
#include <stdexcept>

#include "net/zip_format.h"

namespace tavelo {

namespace {

using namespace zipformat;

// Version 2.0: deflate; "made by" 0 = MS-DOS attributes, as packages always had.
constexpr uint16_t kVersion = 20;
constexpr int kMemoryLevel = 8;

void Put16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string RawDeflate(std::string_view data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kRawDeflateWindowBits, kMemoryLevel,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&stream, &deflateEnd);
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate failed");
  out.resize(stream.total_out);
  return out;
}

}  // namespace

std::string BuildSingleMemberZip(std::string_view name, std::string_view data, ZipMethod method,
                                 uint32_t dosDateTime) {
  if (name.size() > 0xFFFF || data.size() >= 0xFFFFFFFFu) {
    throw std::length_error("member too large for a zip without Zip64");
  }
  uint32_t crc = static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
  std::string body = method == ZipMethod::kDeflated ? RawDeflate(data) : std::string(data);
  if (body.size() >= 0xFFFFFFFFu) throw std::length_error("member too large");

  auto header = [&](std::string& out, bool central) {
    Put32(out, central ? kCentralRecordSignature : kLocalHeaderSignature);
    if (central) Put16(out, kVersion);
    Put16(out, kVersion);
    Put16(out, 0);  // flags
    Put16(out, static_cast<uint16_t>(method));
    Put32(out, dosDateTime);
    Put32(out, crc);
    Put32(out, static_cast<uint32_t>(body.size()));
    Put32(out, static_cast<uint32_t>(data.size()));
    Put16(out, static_cast<uint32_t>(name.size()));
    Put16(out, 0);  // extra field
    if (central) {
      Put16(out, 0);  // comment
      Put16(out, 0);  // disk
      Put16(out, 0);  // internal attributes
      Put32(out, 0);  // external attributes: a normal file
      Put32(out, 0);  // local header offset
    }
    out.append(name);
  };

  std::string archive;
  header(archive, false);
  archive.append(body);
  uint32_t centralOffset = static_cast<uint32_t>(archive.size());
  header(archive, true);
  uint32_t centralSize = static_cast<uint32_t>(archive.size()) - centralOffset;
  Put32(archive, kEndOfCentralDirSignature);
  Put16(archive, 0);
  Put16(archive, 0);
  Put16(archive, 1);
  Put16(archive, 1);
  Put32(archive, centralSize);
  Put32(archive, centralOffset);
  Put16(archive, 0);
  return archive;
}

uint32_t DosDateTimeNow() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  int year = parts.tm_year < 80 ? 0 : parts.tm_year - 80;
  uint32_t date = static_cast<uint32_t>((year << 9) | ((parts.tm_mon + 1) << 5) | parts.tm_mday);
  uint32_t time = static_cast<uint32_t>((parts.tm_hour << 11) | (parts.tm_min << 5) |
                                        (parts.tm_sec / 2));
  return (date << 16) | time;
}

}  // namespace tavelo
