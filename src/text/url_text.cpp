#include "text/url_text.h"

#include "text/gbk_text.h"

namespace tavelo {

namespace {

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
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
