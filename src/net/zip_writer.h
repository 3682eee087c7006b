#pragma once
// Writing a one-member zip archive: how the catalogue tool ships a package
// zipped, in the form the update worker reads back.

#include <cstdint>
#include <string>
#include <string_view>

namespace tavelo {

enum class ZipMethod : uint16_t { kStored = 0, kDeflated = 8 };

// The archive's bytes: one member `name` holding `data`, with the given DOS
// date (high 16 bits) and time (low 16 bits).
std::string BuildSingleMemberZip(std::string_view name, std::string_view data, ZipMethod method,
                                 uint32_t dosDateTime);

// The current local time in DOS form (years before 1980 become 1980).
uint32_t DosDateTimeNow();

}  // namespace tavelo
