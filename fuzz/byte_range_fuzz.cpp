// libFuzzer target: any bytes as the Range header of a request for a body
// whose length the first two bytes give. Nothing may crash, and a part must
// lie inside the body.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "byte_range.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t bodySize = static_cast<size_t>(data[0]) << 8 | data[1];
  std::string_view header(reinterpret_cast<const char*>(data + 2), size - 2);
  tavelo::demo::ByteRange range = tavelo::demo::AnswerRange(header, bodySize);
  if (range.kind == tavelo::demo::ByteRange::Kind::kPart &&
      (range.first > range.last || range.last >= bodySize)) {
    abort();
  }
  (void)tavelo::demo::ContentRangeValue(range, bodySize);
  return 0;
}
