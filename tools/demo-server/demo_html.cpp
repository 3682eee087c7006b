#include "demo_html.h"

#include "text/encoding.h"
#include "text/gbk_text.h"

namespace tavelo::demo {

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
