#include "text/gbk_text.h"

#include <gtest/gtest.h>

namespace tavelo {
namespace {

TEST(GbkTextTest, LowerGbkFoldsAsciiLettersOnly) {
  struct Case {
    std::string text;
    std::string lowered;
  } cases[] = {
      {"ABCXYZ@[`{ az09", "abcxyz@[`{ az09"},
      // Eight ASCII bytes, then a character whose trail byte is 'A'.
      {"ABCDEFGH\xB0\x41IJKLMNOPQ", "abcdefgh\xB0\x41ijklmnopq"},
      // A lead byte as the eighth byte: its trail byte starts the next word.
      {"ABCDEFG\xB0\x41HIJKLMN", "abcdefg\xB0\x41hijklmn"},
      {"\xB0\x41\xB0\x41\xB0\x41\xB0\x41\xB0\x41", "\xB0\x41\xB0\x41\xB0\x41\xB0\x41\xB0\x41"},
      {"X\x80Y\xFFZ", "x\x80y\xFFz"},  // 0x80 and 0xFF lead no character
      {"A\xB0", "a\xB0"},              // a lone lead byte at the end
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LowerGbk(c.text), c.lowered) << c.text;
    EXPECT_EQ(EqualsIgnoreCaseGbk(c.text, c.lowered), true) << c.text;
  }
  EXPECT_FALSE(EqualsIgnoreCaseGbk("\xB0\x41", "\xB0\x61"));
}

TEST(GbkTextTest, TrimAndReplaceAll) {
  EXPECT_EQ(Trim(" \t\r\n\v\fx y\f\v\n\r\t "), "x y");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(ReplaceAll("aXbXX", "X", "--"), "a--b----");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
}

TEST(GbkTextTest, ReplaceAllGbkMatchesOnlyWholeCharacters) {
  // "\xA1\xB6" is one character; in "\xB0\xA1\xB6\xC0" the same bytes
  // straddle two characters and must stay.
  EXPECT_EQ(ReplaceAllGbk("\xA1\xB6x\xA1\xB7", "\xA1\xB6", ""), "x\xA1\xB7");
  EXPECT_EQ(ReplaceAllGbk("\xB0\xA1\xB6\xC0", "\xA1\xB6", ""), "\xB0\xA1\xB6\xC0");
  EXPECT_EQ(ReplaceAllGbk("a%20b", "%20", " "), "a b");
}

TEST(GbkTextTest, FindGbkSkipsMatchesAcrossCharacters) {
  constexpr size_t npos = std::string_view::npos;
  struct Case {
    std::string_view text, part;
    size_t from, found;
  } cases[] = {
      {"\xB0\xA1\xAA\xC0", "\xA1\xAA", 0, npos},   // trail A1 and lead AA of two characters
      {"\xB0\xA1\xA1\xAA", "\xA1\xAA", 0, 2},      // the dash as a character of its own
      {"ab\xA1\xAA" "c\xA1\xAA", "\xA1\xAA", 2, 2},
      {"ab\xA1\xAA" "c\xA1\xAA", "\xA1\xAA", 4, 5},
      {"abc", "", 0, npos},
      {"abc", "c", 0, 2},
      {"ab\xB0", "\xB0", 0, 2},                        // a lone lead byte at the end
  };
  for (const Case& c : cases) EXPECT_EQ(FindGbk(c.text, c.part, c.from), c.found) << c.text;
}

TEST(GbkTextTest, FindBytesFindsWhatFindFinds) {
  // Matches in the first, a middle and the last block of sixteen places,
  // across a block's end, and first and last bytes that match alone.
  const std::string text = std::string(40, 'c') + "class=\"x" + std::string(9, 'c') + "c\"class=\"" + "ab";
  const std::string_view parts[] = {"class=\"", "c\"", "ab", "b", "cc", "class=\"y", "\"ab", "abc"};
  for (std::string_view part : parts) {
    for (size_t from = 0; from <= text.size() + 1; ++from) {
      EXPECT_EQ(FindBytes(text, part, from), std::string_view(text).find(part, from)) << part << " " << from;
      for (std::string_view next : {"x", "ac", "\"xyz"}) {
        size_t expected = std::string_view(text).find(part, from);
        while (expected != std::string_view::npos &&
               (expected + part.size() >= text.size() || next.find(text[expected + part.size()]) == std::string_view::npos)) {
          expected = std::string_view(text).find(part, expected + 1);
        }
        EXPECT_EQ(FindBytesFollowedBy(text, part, next, from), expected) << part << " " << next << " " << from;
      }
    }
  }
}

}  // namespace
}  // namespace tavelo
