#include "text/url_text.h"

#include "text/gbk_text.h"

namespace tavelo {

namespace {

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string HexEscape(std::string_view text, std::string_view prefix) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (IsAsciiAlnum(byte)) {
      out.push_back(c);
    } else {
      out.append(prefix);
      out.push_back(kDigits[byte >> 4]);
      out.push_back(kDigits[byte & 0x0F]);
    }
  }
  return out;
}

}  // namespace

std::string UrlEncode(std::string_view text) { return HexEscape(text, "%"); }

std::string UrlDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    int high = i + 2 < text.size() && text[i] == '%' ? HexDigitValue(text[i + 1]) : -1;
    int low = high >= 0 ? HexDigitValue(text[i + 2]) : -1;
    if (low >= 0) {
      out.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string HexName(std::string_view text) { return HexEscape(text, ""); }

std::string CleanHtmlText(std::string_view text) {
  std::string cleaned = ReplaceAll(text, "&nbsp;", " ");
  cleaned = ReplaceAll(cleaned, "%20", " ");
  cleaned = ReplaceAll(cleaned, "&quot;", "\"");
  return std::string(Trim(cleaned));
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

void FlattenWhitespace(std::string& text) {
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
}

}  // namespace tavelo
