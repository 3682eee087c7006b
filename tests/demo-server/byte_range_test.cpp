#include "byte_range.h"

#include <gtest/gtest.h>

namespace tavelo::demo {
namespace {

using Kind = ByteRange::Kind;

TEST(DemoByteRangeTest, AnswersEachRangeFormForATenByteBody) {
  struct Case {
    const char* header;
    Kind kind;
    size_t first, last;
    const char* contentRange;
  } cases[] = {
      // No header, or one to ignore: the whole body.
      {"", Kind::kWhole, 0, 0, ""},
      {"items=0-3", Kind::kWhole, 0, 0, ""},
      {"bytes=0-1,4-5", Kind::kWhole, 0, 0, ""},
      {"bytes=5-2", Kind::kWhole, 0, 0, ""},
      {"bytes=a-3", Kind::kWhole, 0, 0, ""},
      {"bytes=3", Kind::kWhole, 0, 0, ""},
      {"bytes=-", Kind::kWhole, 0, 0, ""},
      // Closed ranges; a last position past the end is cut to it.
      {"bytes=0-3", Kind::kPart, 0, 3, "bytes 0-3/10"},
      {" Bytes = 2 - 2 ", Kind::kPart, 2, 2, "bytes 2-2/10"},
      {"bytes=4-99999999999999999999999", Kind::kPart, 4, 9, "bytes 4-9/10"},
      // Open ranges: from a position to the end (a player's seek back to 0).
      {"bytes=0-", Kind::kPart, 0, 9, "bytes 0-9/10"},
      {"bytes=9-", Kind::kPart, 9, 9, "bytes 9-9/10"},
      // Suffix ranges: the last N bytes, all of them when N is larger.
      {"bytes=-4", Kind::kPart, 6, 9, "bytes 6-9/10"},
      {"bytes=-10", Kind::kPart, 0, 9, "bytes 0-9/10"},
      {"bytes=-99999999999999999999999", Kind::kPart, 0, 9, "bytes 0-9/10"},
      // Nothing of the body lies in the range.
      {"bytes=10-", Kind::kUnsatisfiable, 0, 0, "bytes */10"},
      {"bytes=10-20", Kind::kUnsatisfiable, 0, 0, "bytes */10"},
      {"bytes=99999999999999999999999-", Kind::kUnsatisfiable, 0, 0, "bytes */10"},
      {"bytes=-0", Kind::kUnsatisfiable, 0, 0, "bytes */10"},
  };
  for (const Case& c : cases) {
    ByteRange range = AnswerRange(c.header, 10);
    EXPECT_EQ(range.kind, c.kind) << c.header;
    if (c.kind == Kind::kPart) {
      EXPECT_EQ(range.first, c.first) << c.header;
      EXPECT_EQ(range.last, c.last) << c.header;
    }
    EXPECT_EQ(ContentRangeValue(range, 10), c.contentRange) << c.header;
  }
}

TEST(DemoByteRangeTest, AnEmptyBodyHasNoSatisfiableRange) {
  for (const char* header : {"bytes=0-", "bytes=0-0", "bytes=-1"}) {
    EXPECT_EQ(AnswerRange(header, 0).kind, Kind::kUnsatisfiable) << header;
  }
  EXPECT_EQ(AnswerRange("", 0).kind, Kind::kWhole);
}

}  // namespace
}  // namespace tavelo::demo
