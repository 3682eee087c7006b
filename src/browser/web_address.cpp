#include "browser/web_address.h"

#include <cctype>

#include "text/encoding.h"

namespace tavelo {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    auto c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || (extra == 1 && c < 0xC2) || i + static_cast<size_t>(extra) >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0xC0) != 0x80) return false;
    }
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

}  // namespace

std::string WebAddressToGbk(std::string_view address) {
  std::string bytes;
  bytes.reserve(address.size());
  bool anyHigh = false;
  for (size_t i = 0; i < address.size(); ++i) {
    if (address[i] == '%' && i + 2 < address.size()) {
      int hi = HexValue(address[i + 1]);
      int lo = HexValue(address[i + 2]);
      if (hi >= 8 && lo >= 0) {
        bytes.push_back(static_cast<char>(hi * 16 + lo));
        anyHigh = true;
        i += 2;
        continue;
      }
    }
    if (static_cast<unsigned char>(address[i]) >= 0x80) anyHigh = true;
    bytes.push_back(address[i]);
  }
  if (!anyHigh) return bytes;
  return IsValidUtf8(bytes) ? Utf8ToGbk(bytes) : bytes;
}

std::string GbkToWebAddress(std::string_view gbk) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(gbk.size());
  for (char c : gbk) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kDigits[byte >> 4]);
      out.push_back(kDigits[byte & 0x0F]);
    }
  }
  return out;
}

std::string AddressScheme(std::string_view address) {
  size_t colon = address.find(':');
  if (colon == std::string_view::npos || colon == 0) return "";
  std::string scheme;
  for (size_t i = 0; i < colon; ++i) {
    auto c = static_cast<unsigned char>(address[i]);
    bool ok = std::isalpha(c) || (i > 0 && (std::isdigit(c) || c == '+' || c == '-' || c == '.'));
    if (!ok) return "";
    scheme.push_back(static_cast<char>(std::tolower(c)));
  }
  return scheme;
}

bool ViewShowsScheme(std::string_view scheme) {
  for (std::string_view shown : {"http", "https", "about", "data", "file", "blob", "javascript"}) {
    if (scheme == shown) return true;
  }
  // A relative address has no scheme; the view resolves it against the page.
  return scheme.empty();
}

}  // namespace tavelo
