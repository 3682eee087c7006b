#pragma once
// The escapes that let a field carry what would otherwise split it: command
// fields and relaunch words between the program and its pages and copies,
// and the fields of the personal-list files.

#include <string_view>

namespace tavelo {

// Stands for a line break or TAB (or a sub-field separator) inside a field.
inline constexpr std::string_view kLineBreakEscape = "**TAB**";
// Stands for a space inside a relaunch command word.
inline constexpr std::string_view kRelaunchSpace = "**BK**";
// Stand for CR and LF inside a stored personal-list field.
inline constexpr std::string_view kCarriageReturnEscape = "**MYR**";
inline constexpr std::string_view kLineFeedEscape = "**MYN**";

}  // namespace tavelo
