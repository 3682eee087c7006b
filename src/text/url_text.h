#pragma once
// Small transformations of GBK text shared by the windows: escapes for
// addresses and cache file names, and clean-up of text taken from pages.

#include <string>
#include <string_view>

namespace tavelo {

// Keeps the bytes `keep` says yes to; every other byte becomes `marker`
// followed by its two upper-case hex digits. Each kind of address keeps a
// set of its own.
std::string PercentEscape(std::string_view text, bool (*keep)(unsigned char byte), std::string_view marker = "%");
// The value of a hex digit of either case, or -1.
int HexDigitValue(char c);
bool IsAsciiAlnum(unsigned char byte);

// Keeps ASCII letters and digits; every other byte becomes "%XX" (upper-case hex).
std::string UrlEncode(std::string_view text);
// Undoes UrlEncode: every "%XX" becomes its byte; other bytes, and a "%"
// not followed by two hex digits, stay as they are.
std::string UrlDecode(std::string_view text);
// The same rule as UrlEncode without the percent sign, for use as a file name.
std::string HexName(std::string_view text);
// Replaces "&nbsp;" and "%20" by a space and "&quot;" by a double quote, then trims.
std::string CleanHtmlText(std::string_view text);
// The five characters that mean something in HTML (& < > " ') as entities,
// so that any text can stand in a page or an attribute value. GBK trail
// bytes never take their values, so two-byte characters pass unchanged.
std::string EscapeHtml(std::string_view text);
// TAB, LF and CR become spaces; the length stays the same.
void FlattenWhitespace(std::string& text);
// Appends `text` to `out` with TAB, LF and CR as spaces.
void AppendFlattened(std::string& out, std::string_view text);
// "host:port" of an http or https address, the host in lower case and the
// scheme's port filled in when none is given; "" for any other scheme and
// for an address without a usable host. Two addresses with the same result
// reach the same server.
std::string WebHostAndPort(std::string_view address);

}  // namespace tavelo
