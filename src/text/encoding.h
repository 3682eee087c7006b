#pragma once
// Conversions between the program's GBK text and the encodings it meets:
// UTF-8 (GTK, WebKit, UTF-8 pages, our own source literals) and Big5 pages.
// Conversions never fail: bytes that are not valid in the source encoding,
// and characters the target cannot hold, each become "?".

#include <string>
#include <string_view>

namespace tavelo {

std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);
// Big5 (code page 950) to GBK, traditional characters mapped to simplified ones.
std::string Big5ToGbk(std::string_view big5);
// UTF-8 to Big5, as is (the demo server writes its Big5 page with it).
std::string Utf8ToBig5(std::string_view utf8);

// The program's own texts are written in the source as UTF-8 literals; this
// turns one into the GBK bytes the rest of the system works with.
std::string Gbk(std::string_view utf8Literal);

}  // namespace tavelo
