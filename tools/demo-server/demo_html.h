#pragma once
// What every rendered demo page shares. Pages are written as UTF-8 and
// converted once, at the end, into the charset their head names.

#include <string>
#include <string_view>

#include "text/url_text.h"

namespace tavelo::demo {

// A link with both the address and the text escaped.
std::string Link(std::string_view href, std::string_view text);

// The page's start up to the opening body tag: charset label, title, style.
// `style` adds rules after the shared ones.
std::string PageHead(std::string_view title, std::string_view charset = "gb2312",
                     std::string_view style = {});
inline constexpr std::string_view kPageEnd = "</body>\n</html>\n";

// A UTF-8 page in the charset its own label names: "charset=utf-8" stays
// UTF-8, "charset=big5" becomes Big5, anything else becomes GBK labelled
// gb2312. Returns the bytes and sets the HTTP content type.
std::string EncodePage(std::string_view utf8Html, std::string& contentType);

}  // namespace tavelo::demo
