#include "demo_search.h"

#include <algorithm>

#include "text/gbk_text.h"

namespace tavelo::demo {

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

// UTF-8 never uses ASCII byte values inside a character, so lowering A to Z
// byte by byte is safe here (the GBK lowering would skip bytes after a lead).
std::string LowerAscii(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

}  // namespace

std::vector<std::string> SearchWords(std::string_view utf8Text) {
  std::vector<std::string> words;
  std::string word;
  auto finishWord = [&] {
    if (!word.empty()) words.push_back(LowerAscii(word));
    word.clear();
  };
  for (size_t i = 0; i < utf8Text.size();) {
    if (IsTrimSpace(utf8Text[i])) {
      finishWord();
      ++i;
    } else if (utf8Text.substr(i).starts_with(kIdeographicSpace)) {
      finishWord();
      i += kIdeographicSpace.size();
    } else {
      word += utf8Text[i++];
    }
  }
  finishWord();
  return words;
}

bool MatchesEveryWord(const std::vector<std::string>& words, std::initializer_list<std::string_view> fields) {
  std::vector<std::string> lowered;
  for (std::string_view field : fields) lowered.push_back(LowerAscii(field));
  return std::all_of(words.begin(), words.end(), [&](const std::string& word) {
    return std::any_of(lowered.begin(), lowered.end(),
                       [&](const std::string& field) { return field.find(word) != std::string::npos; });
  });
}

}  // namespace tavelo::demo
