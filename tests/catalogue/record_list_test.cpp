#include "catalogue/record_list.h"

#include <gtest/gtest.h>

namespace tavelo {
namespace {

TEST(RecordListTest, ParseKeepsInnerWhiteSpaceAndCountsBlankLines) {
  RecordList list;
  EXPECT_EQ(list.ParseCatalogueText("a\tb\n\n  x\t y \n"), 2);
  EXPECT_EQ(list[1].fields[0], "x");
  EXPECT_EQ(list[1].fields[1], " y");  // only the line's outer white space goes
  EXPECT_EQ(list.Capacity(), 4 + RecordList::kGrowStep);

  EXPECT_EQ(list.ParseCatalogueText("\r\nfirst\n   \nlast"), 4);
  EXPECT_EQ(list[0].fields[0], "");  // a leading line break is an empty record
  EXPECT_EQ(list[1].fields[0], "first");
  EXPECT_EQ(list[2].fields[0], "");  // so is a line of spaces
  EXPECT_EQ(list[2].searchKey, "");
  EXPECT_EQ(list[3].fields[0], "last");
}

TEST(RecordListTest, FieldsBeyondSevenAreIgnoredAndMissingOnesAreEmpty) {
  RecordList list;
  list.ParseCatalogueText("1\t2\t3\t4\t5\t6\t7\t8\t9\nonly\ttwo");
  EXPECT_EQ(list[0].fields[6], "7");
  EXPECT_EQ(list[0].searchKey, "1234567");
  EXPECT_EQ(list[1].fields[1], "two");
  EXPECT_EQ(list[1].fields[2], "");
}

TEST(RecordListTest, SearchKeyLowersAsciiButNotGbkTrailBytes) {
  RecordList list;
  // "\xB0\x41" is one GBK character whose trail byte is 'A'; it must survive.
  list.ParseCatalogueText("Title\xB0\x41\tHTTP://X\tArea");
  EXPECT_EQ(list[0].searchKey, "title\xB0\x41http://xarea");
}

TEST(RecordListTest, ALeadingTabIsTrimmedAwayWithTheLine) {
  RecordList list;
  EXPECT_EQ(list.ParseCatalogueText("\tsecond\tthird"), 1);
  EXPECT_EQ(list[0].fields[0], "second");
  EXPECT_EQ(list[0].fields[1], "third");
}

TEST(RecordListTest, AZeroByteEndsTheText) {
  RecordList list;
  EXPECT_EQ(list.ParseCatalogueText(std::string("a\nb\0\nc\n", 7)), 2);
}

TEST(RecordListTest, RecordsStayValidAfterTheInputIsGoneAndClearEmpties) {
  RecordList list;
  {
    std::string text(1000, 'x');
    text += "\tend";
    list.ParseCatalogueText(std::move(text));
  }
  EXPECT_EQ(list[0].fields[1], "end");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(RecordListTest, LargeCatalogueParsesEveryLine) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "Title " + std::to_string(i) + "\thttp://v/" + std::to_string(i) + "\r\n";
  RecordList list;
  EXPECT_EQ(list.ParseCatalogueText(std::move(text)), 100000);
  EXPECT_EQ(list[99999].fields[0], "Title 99999");
  EXPECT_EQ(list[99999].searchKey, "title 99999http://v/99999");
}

}  // namespace
}  // namespace tavelo
