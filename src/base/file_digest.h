#pragma once

#include <string>
#include <string_view>

namespace tavelo {

// Appends the MD5 digest of the file's contents to `out` as 32 lower-case hex
// digits. 0 when the file was read, -1 when it is not a regular file or could
// not be opened or read to its end (out unchanged).
int DigestFileHex(const std::string& path, std::string& out);

// The MD5 digest of `bytes` as 32 lower-case hex digits.
std::string DigestHex(std::string_view bytes);

}  // namespace tavelo
