#include "demo_html.h"

#include <iconv.h>

#include <cerrno>

#include "text/encoding.h"
#include "text/gbk_text.h"

namespace tavelo::demo {

namespace {

// UTF-8 to Big5 for the one page that tests the Big5 path; characters Big5
// lacks become "?".
std::string Utf8ToBig5(std::string_view utf8) {
  iconv_t handle = iconv_open("CP950", "UTF-8");
  if (handle == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
  std::string out(utf8.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(handle, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG || outLeft == 0) break;  // cannot happen with the size above
    // Skip one whole UTF-8 character and mark it.
    size_t skip = 1;
    while (skip < inLeft && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) ++skip;
    in += skip;
    inLeft -= skip;
    *outPtr++ = '?';
    --outLeft;
  }
  iconv_close(handle);
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

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

std::string Link(std::string_view href, std::string_view text) {
  return "<a href=\"" + EscapeHtml(href) + "\">" + EscapeHtml(text) + "</a>";
}

std::string PageHead(std::string_view title, std::string_view charset, std::string_view style) {
  std::string head = "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=";
  head += charset;
  head += "\">\n<title>";
  head += EscapeHtml(title);
  head +=
      "</title>\n<style>body{font-size:12px;font-family:sans-serif;margin:8px}"
      "a{color:#1a4f9c;text-decoration:none}td{padding:2px 6px}"
      ".box{border:1px solid #c9d7ea;margin:6px 0;padding:6px}";
  head += style;
  head += "</style>\n</head>\n<body>\n";
  return head;
}

std::string EncodePage(std::string_view utf8Html, std::string& contentType) {
  // Only the head decides, so that text a page echoes cannot change its charset.
  size_t headEnd = utf8Html.find("</head>");
  std::string head = LowerGbk(utf8Html.substr(0, headEnd));
  if (head.find("charset=utf-8") != std::string::npos) {
    contentType = "text/html; charset=utf-8";
    return std::string(utf8Html);
  }
  if (head.find("charset=big5") != std::string::npos) {
    contentType = "text/html; charset=big5";
    return Utf8ToBig5(utf8Html);
  }
  contentType = "text/html; charset=gb2312";
  return Utf8ToGbk(utf8Html);
}

}  // namespace tavelo::demo
