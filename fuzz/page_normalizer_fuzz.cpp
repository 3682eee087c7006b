// libFuzzer target: a fetched page through the normaliser (charset
// detection, UTF-8 and Big5 conversion) and the encoding conversions on
// their own.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/encoding.h"
#include "text/page_normalizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavelo;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  NormalizePage(std::string(input));
  Utf8ToGbk(input);
  Big5ToGbk(input);
  // Whatever the bytes, the text handed to GTK must convert back.
  const std::string utf8 = GbkToUtf8(input);
  Utf8ToGbk(utf8);
  return 0;
}
