#include "text/splitters.h"

#include <gtest/gtest.h>

namespace tavelo {
namespace {

std::vector<std::string> Fields(const std::string& text, char separator) {
  FieldList fields;
  int count = fields.Split(text, separator);
  std::vector<std::string> result;
  for (int i = 0; i < count; ++i) result.emplace_back(fields[i]);
  return result;
}

TEST(FieldListTest, SplitRules) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Fields("a,b,c", ','), (V{"a", "b", "c"}));
  EXPECT_EQ(Fields("a,b,", ','), (V{"a", "b"}));    // a trailing separator adds nothing
  EXPECT_EQ(Fields("a,,b", ','), (V{"a", "", "b"}));
  EXPECT_EQ(Fields("", ','), V{});
  EXPECT_EQ(Fields(",", ','), V{""});
  EXPECT_EQ(Fields(" a , b", ','), (V{" a ", " b"}));  // no trimming
  EXPECT_EQ(Fields("whole text", ','), V{"whole text"});
  EXPECT_EQ(Fields(std::string("a,b\0,c", 6), ','), (V{"a", "b"}));
}

TEST(FieldListTest, KeepsTheFirstHundredFieldsAndReadsEmptyBeyondTheCount) {
  std::string line;
  for (int i = 0; i < 250000; ++i) line += std::to_string(i) + "\t";
  FieldList fields;
  EXPECT_EQ(fields.Split(line, '\t'), 100);
  EXPECT_EQ(fields[99], "99");
  EXPECT_EQ(fields[100], "");
  EXPECT_EQ(fields[-1], "");
  fields.Split("x", '\t');
  EXPECT_EQ(fields[1], "");
}

TEST(TokenArrayTest, OnlyPiecesEndedByASeparatorCount) {
  TokenArray tokens;
  EXPECT_EQ(tokens.Split("a|b|", '|', false), 2);
  EXPECT_EQ(tokens.Pieces(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(tokens.Split("a|b", '|', false), 1);
  EXPECT_EQ(tokens[0], "a");
  EXPECT_EQ(tokens.Split("no separator", '|', false), 0);
  EXPECT_EQ(tokens.Split(" a |\tb\n|", '|', true), 2);
  EXPECT_EQ(tokens.Pieces(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(tokens.Split("||", '|', false), 2);
  EXPECT_EQ(tokens.Pieces(), (std::vector<std::string>{"", ""}));
}

}  // namespace
}  // namespace tavelo
