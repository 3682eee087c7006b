#include "text/text_buffer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "support/temp_dir.h"

namespace tavelo {
namespace {

std::vector<std::string> AllLines(TextBuffer& buffer) {
  std::vector<std::string> lines;
  std::string line;
  while (buffer.NextLine(line) == 0) lines.push_back(line);
  return lines;
}

TEST(TextBufferTest, LineEndsOfEveryKindReadTheSame) {
  for (const char* text : {"a\nb\nc", "a\r\nb\r\nc\r\n", "a\rb\rc", "a\n\n\r\n\rb\r\r\nc\n\n"}) {
    TextBuffer buffer;
    buffer.SetText(text);
    EXPECT_EQ(AllLines(buffer), (std::vector<std::string>{"a", "b", "c"})) << text;
  }
}

TEST(TextBufferTest, OnlyALeadingBreakGivesAnEmptyLineAndBlankLinesAreEmpty) {
  TextBuffer buffer;
  buffer.SetText("\r\n  x\t y \n   \nz");
  EXPECT_EQ(AllLines(buffer), (std::vector<std::string>{"", "x\t y", "", "z"}));
}

TEST(TextBufferTest, CountLinesCountsLineFeedsPlusOne) {
  TextBuffer buffer;
  EXPECT_EQ(buffer.CountLines(), 1);
  buffer.SetText("a\nb\n");
  EXPECT_EQ(buffer.CountLines(), 3);
  buffer.SetText("a\rb\r");
  EXPECT_EQ(buffer.CountLines(), 1);
}

TEST(TextBufferTest, FindLineIgnoresAsciiCaseButNotGbkTrailBytes) {
  TextBuffer buffer;
  // "\xB0\x41" and "\xB0\x61" are two different GBK characters whose trail
  // bytes happen to be 'A' and 'a'; folding them would confuse the keys.
  buffer.SetText("[s_url]\nvalue\n[\xB0\x61]\nother\n");
  EXPECT_EQ(buffer.FindLine("[S_URL]"), 0);
  std::string line;
  ASSERT_EQ(buffer.NextLine(line), 0);
  EXPECT_EQ(line, "value");
  buffer.Rewind();
  EXPECT_EQ(buffer.FindLine("[\xB0\x41]"), 1);
}

TEST(TextBufferTest, LoadFileDescramblesThenCutsAtTheFirstZeroByte) {
  testing::TempDir dir;
  std::string plain = "line one\nline two";
  std::string scrambled = plain;
  KeyedXor(scrambled, "key");
  testing::WriteFile(dir.File("data"), scrambled + std::string("\0tail", 5));

  TextBuffer buffer;
  // After descrambling, "\0" ^ key byte is not zero, so cut on the scrambled
  // file: the plain text gets its own zero byte instead.
  ASSERT_EQ(buffer.LoadFile(dir.File("data"), "key"), 0);
  EXPECT_EQ(buffer.Text().substr(0, plain.size()), plain);

  testing::WriteFile(dir.File("plain"), std::string("abc\0def", 7));
  ASSERT_EQ(buffer.LoadFile(dir.File("plain")), 0);
  EXPECT_EQ(buffer.Text(), "abc");
}

TEST(TextBufferTest, MissingFileGivesOneAndAnEmptyText) {
  TextBuffer buffer;
  buffer.SetText("old");
  EXPECT_EQ(buffer.LoadFile("/nonexistent/file"), 1);
  EXPECT_EQ(buffer.Text(), "");
  std::string line = "unchanged";
  EXPECT_EQ(buffer.NextLine(line), 1);
  EXPECT_EQ(line, "unchanged");
}

TEST(TextBufferTest, OnlyRegularFilesAreReadAndErrnoSaysWhyNot) {
  testing::TempDir dir;
  ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0644), 0);
  struct Case {
    std::string path;
    int error;
  } cases[] = {
      {dir.File("missing"), ENOENT},
      {dir.File("folder"), EISDIR},  // ftell reports LLONG_MAX for one on ext4
      {dir.File("fifo"), EINVAL},    // opening it would wait for a writer
      {"/dev/zero", EINVAL},         // would never end
  };
  for (const Case& c : cases) {
    std::string bytes = "old";
    errno = 0;
    EXPECT_FALSE(ReadWholeFile(c.path, bytes)) << c.path;
    EXPECT_EQ(errno, c.error) << c.path;
    EXPECT_EQ(bytes, "") << c.path;
  }
}

TEST(KeyedXorTest, IsItsOwnInverseAndRestartsTheKey) {
  std::string bytes = "0123456789";
  KeyedXor(bytes, "ab");
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), '0' ^ 'a');
  EXPECT_EQ(static_cast<unsigned char>(bytes[2]), '2' ^ 'a');
  EXPECT_EQ(static_cast<unsigned char>(bytes[3]), '3' ^ 'b');
  KeyedXor(bytes, "ab");
  EXPECT_EQ(bytes, "0123456789");
  KeyedXor(bytes, "");
  EXPECT_EQ(bytes, "0123456789");
}

}  // namespace
}  // namespace tavelo
