#pragma once
// The shared fonts and background colour every window and skinned control
// uses. The fonts are all one face ("宋体" on the original desktop, a CJK
// serif face here) in eight slot variants; slots 8 and 9 stay empty.

#include <cstdint>

namespace tavelo {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
};

inline bool operator==(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

struct FontSpec {
  int pixelHeight = 0;  // 0 for an empty slot
  int weight = 400;
  bool underline = false;
};

class AppFonts {
 public:
  static constexpr int kSlots = 10;
  // An empty description for slots out of range or not created.
  static const FontSpec& Slot(int slot);
  // Font families tried in order for "宋体".
  static const char* Families();
};

// The brush colour windows return for their control backgrounds.
inline constexpr Rgb kAppBackgroundBrush{240, 240, 240};

}  // namespace tavelo
