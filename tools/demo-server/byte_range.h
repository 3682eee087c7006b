#pragma once
// Answers the Range header of a request for a reply body. Media players ask
// for a clip piece by piece and seek back to its start to loop it; they give
// up when a range comes back as a whole reply. Only one range is honoured:
// a header naming several, an unknown unit or a malformed one is ignored and
// the whole body goes out, as HTTP allows.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavelo::demo {

struct ByteRange {
  enum class Kind { kWhole, kPart, kUnsatisfiable };
  Kind kind = Kind::kWhole;
  // Inclusive byte positions, for kPart only.
  size_t first = 0;
  size_t last = 0;
};

// `header` is the Range header's value (empty when the request had none);
// `size` the length of the body it asks about.
ByteRange AnswerRange(std::string_view header, size_t size);

// The Content-Range value for a part ("bytes 0-99/1000") or for an
// unsatisfiable range ("bytes */1000"); empty for a whole body.
std::string ContentRangeValue(const ByteRange& range, size_t size);

}  // namespace tavelo::demo
