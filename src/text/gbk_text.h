#pragma once
// Byte-level helpers for GBK text. GBK trail bytes can be ASCII letters, so
// anything that folds letter case has to step over two-byte characters.

#include <string>
#include <string_view>

namespace tavelo {

// True for the white space the line reader trims: space, tab, CR, LF, VT, FF.
bool IsTrimSpace(char c);

std::string_view Trim(std::string_view text);

// Lowers single-byte ASCII letters only; both bytes of a two-byte character stay as they are.
std::string LowerGbk(std::string_view text);
void LowerGbkInPlace(std::string& text);
void LowerGbkInPlace(char* text, size_t size);

// Case-insensitive equality with the same multibyte rule as LowerGbk.
bool EqualsIgnoreCaseGbk(std::string_view a, std::string_view b);

// The first place at or after `from` (itself a character start) where `part`
// begins on a character start; npos when there is none. A plain byte search
// could match the trail byte of one character and the lead byte of the next.
size_t FindGbk(std::string_view text, std::string_view part, size_t from = 0);

// The first place at or after `from` where the bytes of `part` (not empty)
// stand: string_view::find, but it tests sixteen places at a time for the
// first and last byte of `part`, so a first byte that is common in the text
// costs no call per occurrence.
size_t FindBytes(std::string_view text, std::string_view part, size_t from = 0);

// The first place at or after `from` where `part` (not empty) stands with
// one of the bytes of `next` right after it; npos when there is none. The
// byte after is tested sixteen places at a time too, so a `part` that is
// common in the text, followed by other bytes, costs nothing per occurrence.
size_t FindBytesFollowedBy(std::string_view text, std::string_view part, std::string_view next, size_t from = 0);

// Like ReplaceAll, but matches only where a character starts, so the trail
// byte of one GBK character and the lead byte of the next never match.
std::string ReplaceAllGbk(std::string_view text, std::string_view from, std::string_view to);

// Replaces every occurrence of `from` (non-empty) by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace tavelo
