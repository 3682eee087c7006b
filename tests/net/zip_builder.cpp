#include "net/zip_builder.h"

#include <zlib.h>

namespace tavelo::testing {

namespace {

void Put16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

std::string RawDeflate(std::string_view data) {
  z_stream stream{};
  deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

uint32_t Crc32(std::string_view data) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::string BuildTestZip(const TestZip& zip) {
  std::string archive;
  std::string central;
  for (const TestMember& member : zip.members) {
    std::string body = member.body ? *member.body
                                   : member.method == 8 ? RawDeflate(member.data) : member.data;
    uint32_t crc = member.crc ? *member.crc : Crc32(member.data);
    uint32_t size = member.uncompressedSize ? *member.uncompressedSize
                                            : static_cast<uint32_t>(member.data.size());
    uint16_t flags = static_cast<uint16_t>(member.flags | (member.dataDescriptor ? 8 : 0));
    uint32_t offset = static_cast<uint32_t>(archive.size());

    auto fields = [&](std::string& out, bool local) {
      Put16(out, 20);
      Put16(out, flags);
      Put16(out, member.method);
      Put32(out, member.dosDateTime);
      bool hidden = local && member.dataDescriptor;
      Put32(out, hidden ? 0 : crc);
      Put32(out, hidden ? 0 : static_cast<uint32_t>(body.size()));
      Put32(out, hidden ? 0 : size);
      Put16(out, static_cast<uint32_t>(member.name.size()));
      Put16(out, 0);
    };
    Put32(archive, 0x04034b50);
    fields(archive, true);
    archive += member.name;
    archive += body;
    if (member.dataDescriptor) {
      Put32(archive, 0x08074b50);
      Put32(archive, crc);
      Put32(archive, static_cast<uint32_t>(body.size()));
      Put32(archive, size);
    }

    Put32(central, 0x02014b50);
    Put16(central, 20);
    fields(central, false);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, member.externalAttributes);
    Put32(central, offset);
    central += member.name;
  }
  uint32_t centralOffset = static_cast<uint32_t>(archive.size());
  archive += central;
  Put32(archive, 0x06054b50);
  Put16(archive, 0);
  Put16(archive, 0);
  Put16(archive, static_cast<uint32_t>(zip.members.size()));
  Put16(archive, static_cast<uint32_t>(zip.members.size()));
  Put32(archive, static_cast<uint32_t>(central.size()));
  Put32(archive, centralOffset);
  Put16(archive, static_cast<uint32_t>(zip.comment.size()));
  archive += zip.comment;
  archive += zip.trailing;
  return zip.prefix + archive;
}

}  // namespace tavelo::testing
