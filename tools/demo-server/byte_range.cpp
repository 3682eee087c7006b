#include "byte_range.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "text/gbk_text.h"

namespace tavelo::demo {

namespace {

constexpr std::string_view kUnit = "bytes";

// A run of decimal digits; values beyond size_t saturate, which still
// compares right against any body length.
std::optional<size_t> Number(std::string_view text) {
  if (text.empty()) return std::nullopt;
  size_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    size_t digit = static_cast<size_t>(c - '0');
    value = value > (std::numeric_limits<size_t>::max() - digit) / 10 ? std::numeric_limits<size_t>::max()
                                                                      : value * 10 + digit;
  }
  return value;
}

ByteRange Part(size_t first, size_t last) { return {ByteRange::Kind::kPart, first, last}; }

constexpr ByteRange kWhole{};
constexpr ByteRange kUnsatisfiable{ByteRange::Kind::kUnsatisfiable, 0, 0};

}  // namespace

ByteRange AnswerRange(std::string_view header, size_t size) {
  std::string_view text = Trim(header);
  size_t equals = text.find('=');
  if (equals == std::string_view::npos || !EqualsIgnoreCaseGbk(Trim(text.substr(0, equals)), kUnit)) {
    return kWhole;
  }
  std::string_view ranges = Trim(text.substr(equals + 1));
  if (ranges.find(',') != std::string_view::npos) return kWhole;
  size_t dash = ranges.find('-');
  if (dash == std::string_view::npos) return kWhole;
  std::optional<size_t> from = Number(Trim(ranges.substr(0, dash)));
  std::string_view lastText = Trim(ranges.substr(dash + 1));

  if (dash == 0) {  // "-N": the last N bytes
    std::optional<size_t> length = Number(lastText);
    if (!length) return kWhole;
    if (*length == 0 || size == 0) return kUnsatisfiable;
    return Part(*length >= size ? 0 : size - *length, size - 1);
  }
  if (!from) return kWhole;
  std::optional<size_t> to = lastText.empty() ? std::optional<size_t>(std::numeric_limits<size_t>::max())
                                              : Number(lastText);
  if (!to || *to < *from) return kWhole;
  if (*from >= size) return kUnsatisfiable;
  return Part(*from, std::min(*to, size - 1));
}

std::string ContentRangeValue(const ByteRange& range, size_t size) {
  switch (range.kind) {
    case ByteRange::Kind::kPart:
      return "bytes " + std::to_string(range.first) + "-" + std::to_string(range.last) + "/" +
             std::to_string(size);
    case ByteRange::Kind::kUnsatisfiable:
      return "bytes */" + std::to_string(size);
    case ByteRange::Kind::kWhole:
      break;
  }
  return {};
}

}  // namespace tavelo::demo
