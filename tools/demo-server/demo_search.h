#pragma once
// How the demo search page matches: a search text is cut into words at
// spaces (ASCII white space or the ideographic space U+3000, since the hint
// tells users to separate conditions with spaces), and an entry matches when
// every word occurs in one of its fields. ASCII letters match in any case.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo::demo {

// The words of a UTF-8 search text, lowered; none for a blank text.
std::vector<std::string> SearchWords(std::string_view utf8Text);

// True when every word is part of at least one field (UTF-8).
bool MatchesEveryWord(const std::vector<std::string>& words, std::initializer_list<std::string_view> fields);

}  // namespace tavelo::demo
