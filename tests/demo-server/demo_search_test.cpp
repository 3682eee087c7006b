#include "demo_search.h"

#include <gtest/gtest.h>

namespace tavelo::demo {
namespace {

TEST(DemoSearchTest, WordsAreCutAtAsciiAndIdeographicSpaces) {
  struct Case {
    const char* text;
    std::vector<std::string> words;
  } cases[] = {
      {"", {}},
      {" \t ", {}},
      {"林晓川", {"林晓川"}},
      {"  林晓川  悬疑 ", {"林晓川", "悬疑"}},
      {"林晓川\xE3\x80\x80悬疑", {"林晓川", "悬疑"}},
      {"\xE3\x80\x80\xE3\x80\x80", {}},
      {"Adam ROWE", {"adam", "rowe"}},
      // A lone lead byte of the ideographic space is part of a word.
      {"a\xE3\x80", {"a\xE3\x80"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SearchWords(c.text), c.words) << c.text;
}

TEST(DemoSearchTest, AnEntryMatchesWhenEveryWordIsInSomeField) {
  struct Case {
    const char* text;
    bool matches;
  } cases[] = {
      {"雾港", true},
      {"林晓川 悬疑", true},     // two words, two fields
      {"悬疑 林晓川", true},     // order does not matter
      {"林晓川 喜剧", false},    // one word matches nothing
      {"旧事内地", false},       // a word does not span two fields
      {"苏雨晴 林晓川", true},   // both in one field
      {"宋ADAM", true},          // letters in any case, also right after a Chinese character
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesEveryWord(SearchWords(c.text), {"雾港旧事", "内地", "剧情/悬疑", "林晓川/苏雨晴", "配音宋Adam"}),
              c.matches)
        << c.text;
  }
}

}  // namespace
}  // namespace tavelo::demo
