#pragma once
// Conversions between the program's GBK text and the encodings it meets:
// UTF-8 (GTK, WebKit, UTF-8 pages, our own source literals) and Big5 pages.
// Apart from the exact ones, conversions never fail: bytes that are not
// valid in the source encoding, and characters the target cannot hold, each
// become "?".

#include <optional>
#include <string>
#include <string_view>

namespace tavelo {

std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);
// The exact conversions, for text that must come through whole: nothing when
// the input is not valid in its encoding or holds a character the target lacks.
std::optional<std::string> Utf8ToGbkExact(std::string_view utf8);
std::optional<std::string> GbkToUtf8Exact(std::string_view gbk);
// Big5 (code page 950) to GBK, traditional characters mapped to simplified ones.
std::string Big5ToGbk(std::string_view big5);
// UTF-8 to Big5, as is (the demo server writes its Big5 page with it).
std::string Utf8ToBig5(std::string_view utf8);
// GBK to any encoding iconv knows by `codeset` (a locale's, for a terminal).
std::string GbkToCodeset(std::string_view gbk, const std::string& codeset);

// The program's own texts are written in the source as UTF-8 literals; this
// turns one into the GBK bytes the rest of the system works with.
std::string Gbk(std::string_view utf8Literal);

}  // namespace tavelo
