#pragma once
// The rule every page the program writes carries, as a <meta> element: such
// a page often holds text from outside, so nothing in it may run a script,
// load a frame, send a form or read a local file; it may show web images.

namespace tavelo {

inline constexpr const char* kWrittenPagePolicy =
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src http: https:; "
    "style-src 'unsafe-inline'; form-action 'none'\">";

}  // namespace tavelo
