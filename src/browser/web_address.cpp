#include "browser/web_address.h"

#include <cctype>

#include "text/encoding.h"
#include "text/url_text.h"

namespace tavelo {

namespace {

// The length of the UTF-8 sequence starting at `s[0]`, or 0 when the bytes
// there do not form one.
size_t Utf8SequenceLength(std::string_view s) {
  auto c = static_cast<unsigned char>(s[0]);
  size_t length = (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || length > s.size() || (length == 2 && c < 0xC2)) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// Chinese text in UTF-8 is made of three- and four-byte sequences. A run of
// high bytes that is anything else (two-byte sequences included, which GBK
// pairs often happen to look like) is taken to be GBK already.
bool IsChineseUtf8(std::string_view run) {
  for (size_t i = 0; i < run.size();) {
    size_t length = Utf8SequenceLength(run.substr(i));
    if (length < 3) return false;
    i += length;
  }
  return true;
}

// Decodes the escapes of high bytes, and of spaces when asked, then turns
// the high-byte runs into GBK.
std::string DecodeAddress(std::string_view address, bool spaces) {
  std::string bytes;
  bytes.reserve(address.size());
  for (size_t i = 0; i < address.size(); ++i) {
    if (address[i] == '%' && i + 2 < address.size()) {
      int hi = HexDigitValue(address[i + 1]);
      int lo = HexDigitValue(address[i + 2]);
      int value = hi >= 0 && lo >= 0 ? hi * 16 + lo : -1;
      if (value >= 0x80 || (spaces && value == ' ')) {
        bytes.push_back(static_cast<char>(value));
        i += 2;
        continue;
      }
    }
    bytes.push_back(address[i]);
  }
  // Each run of high bytes is judged on its own: a GBK page's address often
  // has a UTF-8 path and a query in the page's own charset.
  std::string gbk;
  gbk.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      gbk.push_back(bytes[i++]);
      continue;
    }
    size_t end = i;
    while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x80) ++end;
    std::string_view run(bytes.data() + i, end - i);
    gbk += IsChineseUtf8(run) ? Utf8ToGbk(run) : std::string(run);
    i = end;
  }
  return gbk;
}

}  // namespace

std::string WebAddressToGbk(std::string_view address) { return DecodeAddress(address, false); }

std::string NavigationAddressToGbk(std::string_view address) { return DecodeAddress(address, true); }

std::string GbkToWebAddress(std::string_view gbk) {
  return PercentEscape(gbk, [](unsigned char byte) { return byte < 0x80; });
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

std::string FileAddress(std::string_view absolutePath) {
  return "file://" + PercentEscape(absolutePath, [](unsigned char byte) {
           return IsAsciiAlnum(byte) || std::string_view("/-._~").find(static_cast<char>(byte)) != std::string_view::npos;
         });
}

bool ViewShowsScheme(std::string_view scheme) {
  for (std::string_view shown : {"http", "https", "about", "data", "file", "blob", "javascript"}) {
    if (scheme == shown) return true;
  }
  // A relative address has no scheme; the view resolves it against the page.
  return scheme.empty();
}

}  // namespace tavelo
