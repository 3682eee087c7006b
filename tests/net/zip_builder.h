#pragma once
// Builds zip archives for the tests byte by byte, with knobs to make every
// kind of damage the reader has to survive. Written from the PKZIP
// application note, apart from the program's own writer, so the two can
// check each other.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo::testing {

// Offsets inside a local header (from the member's first byte).
inline constexpr size_t kLocalFlagsOffset = 6;
inline constexpr size_t kLocalMethodOffset = 8;
inline constexpr size_t kLocalCrcOffset = 14;
inline constexpr size_t kLocalNameLengthOffset = 26;

struct TestMember {
  std::string name = "member.dat";
  std::string data;
  uint16_t method = 8;  // 8 deflates `data`; any other value stores it as is
  uint16_t flags = 0;
  // Flag bit 3: local header CRC and sizes zero, a data descriptor follows the data.
  bool dataDescriptor = false;
  uint32_t dosDateTime = (uint32_t{((2019 - 1980) << 9) | (6 << 5) | 15} << 16) |
                         uint32_t{(13 << 11) | (45 << 5) | (30 / 2)};
  uint32_t externalAttributes = 0;
  std::optional<uint32_t> crc;               // instead of the real CRC-32
  std::optional<std::string> body;           // instead of the (deflated) data
  std::optional<uint32_t> uncompressedSize;  // instead of data.size()
};

struct TestZip {
  std::string prefix;  // bytes before the archive (a self-extracting stub)
  std::vector<TestMember> members;
  std::string comment;
  std::string trailing;  // bytes after the end record, not counted as a comment
};

std::string RawDeflate(std::string_view data);
uint32_t Crc32(std::string_view data);
std::string BuildTestZip(const TestZip& zip);

}  // namespace tavelo::testing
