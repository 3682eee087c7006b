#include "skin/app_fonts.h"

#include <array>
#include <cstddef>

namespace tavelo {

namespace {

constexpr std::array<FontSpec, AppFonts::kSlots> kSlotTable{{
    {12, 400, false},
    {12, 400, true},
    {14, 400, false},
    {16, 400, false},
    {16, 400, false},
    {12, 700, false},
    {12, 700, false},
    {14, 400, true},
    {0, 400, false},
    {0, 400, false},
}};

}  // namespace

const FontSpec& AppFonts::Slot(int slot) {
  static const FontSpec kEmpty{};
  if (slot < 0 || slot >= kSlots) return kEmpty;
  return kSlotTable[static_cast<std::size_t>(slot)];
}

const char* AppFonts::Families() { return "AR PL UMing CN,Noto Serif CJK SC,serif"; }

}  // namespace tavelo
