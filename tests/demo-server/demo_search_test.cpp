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

}  // namespace
}  // namespace tavelo::demo
