#pragma once
// Addresses between the program (GBK) and the web engine (ASCII URIs whose
// non-ASCII bytes are percent-escaped, in UTF-8 or in the page's charset).

#include <string>
#include <string_view>

namespace tavelo {

// Decodes the escapes of non-ASCII bytes ("%D6%D0", "%E4%B8%AD") and raw
// UTF-8 characters into GBK. Escaped bytes that form valid UTF-8 are taken
// as UTF-8; otherwise they are taken to be GBK already. Escapes of ASCII
// bytes ("%20", "%7C") stay as they are, so the address keeps its meaning.
std::string WebAddressToGbk(std::string_view address);

// The same for an address a page navigates to, as the command protocol reads
// it: the engine writes the spaces of a link as "%20", which become spaces
// again, so that a title with spaces travels as the page wrote it. Other
// ASCII escapes ("%7C" for a "|" inside a field, "%2A" for a "*" that must
// not make "**TAB**") stay escaped.
std::string NavigationAddressToGbk(std::string_view address);

// Escapes every non-ASCII GBK byte as "%XX", as GBK pages' own links and
// forms send them; ASCII passes through.
std::string GbkToWebAddress(std::string_view gbk);

// The "file://" address of an absolute path: bytes other than letters,
// digits, "/" and "-._~" are percent-escaped, so a folder with spaces or
// non-ASCII names stays one address.
std::string FileAddress(std::string_view absolutePath);

// The scheme in lower case ("http", "magnet"), "" when the address has none.
std::string AddressScheme(std::string_view address);

// True for schemes the embedded view shows itself; other schemes belong to
// the desktop's handlers.
bool ViewShowsScheme(std::string_view scheme);

}  // namespace tavelo
