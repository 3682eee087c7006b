#include "text/url_text.h"

#include "text/gbk_text.h"

namespace tavelo {

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string PercentEscape(std::string_view text, bool (*keep)(unsigned char byte), std::string_view marker) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (keep(byte)) {
      out.push_back(c);
    } else {
      out.append(marker);
      out.push_back(kDigits[byte >> 4]);
      out.push_back(kDigits[byte & 0x0F]);
    }
  }
  return out;
}

std::string UrlEncode(std::string_view text) { return PercentEscape(text, IsAsciiAlnum); }

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

std::string HexName(std::string_view text) { return PercentEscape(text, IsAsciiAlnum, ""); }

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

void AppendFlattened(std::string& out, std::string_view text) {
  const size_t start = out.size();
  out.resize(start + text.size());
  // One pass that copies and replaces, which the compiler does many bytes at a time.
  char* to = out.data() + start;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    to[i] = c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
  }
}

void FlattenWhitespace(std::string& text) {
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
}

std::string WebHostAndPort(std::string_view address) {
  static constexpr std::string_view kSchemes[][2] = {{"http://", "80"}, {"https://", "443"}};
  std::string_view defaultPort;
  for (const auto& [scheme, port] : kSchemes) {
    if (address.size() >= scheme.size() && EqualsIgnoreCaseGbk(address.substr(0, scheme.size()), scheme)) {
      address.remove_prefix(scheme.size());
      defaultPort = port;
      break;
    }
  }
  if (defaultPort.empty()) return "";
  std::string_view authority = address.substr(0, address.find_first_of("/?#\\"));
  if (size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
  // A bracketed IPv6 host holds colons of its own.
  size_t hostEnd = authority.starts_with('[') ? authority.find(']') : authority.find(':');
  if (hostEnd == std::string_view::npos) hostEnd = authority.size();
  else if (authority.starts_with('[')) ++hostEnd;
  std::string_view host = authority.substr(0, hostEnd);
  std::string_view rest = authority.substr(hostEnd);
  if (host.empty() || (!rest.empty() && !rest.starts_with(':'))) return "";
  std::string_view port = rest.empty() ? std::string_view() : rest.substr(1);
  if (port.empty()) port = defaultPort;
  for (char c : port) {
    if (c < '0' || c > '9') return "";
  }
  return LowerGbk(host) + ":" + std::string(port);
}

}  // namespace tavelo
