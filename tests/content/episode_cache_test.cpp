#include "content/episode_cache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "base/file_digest.h"
#include "base/system_calls.h"
#include "support/temp_dir.h"
#include "text/encoding.h"
#include "text/url_text.h"

namespace tavelo {
namespace {

const std::string kPrefix = "http://v.test/v_show/id_";

// A program folder with its tavelo/ folder, as start-up leaves it.
struct ProgramFolder {
  testing::TempDir dir;
  ProgramPaths paths{dir.Path()};
  ProgramFolder() { mkdir(paths.In(kEpisodeCacheFolder).c_str(), 0755); }
};

std::vector<EpisodeRow> Restored(const EpisodeFiles& files) {
  EpisodeList list(kPrefix);
  files.LoadList(list);
  return list.TakeRows();
}

TEST(EpisodeFileStemTest, HexNameUntilTheNameWouldNotFit) {
  // 255 bytes, less "_list.ini" (9) and a save's ".tmp-XXXXXX" (11), leaves 235.
  const std::string fits(235, 'a');
  const std::string over(236, 'a');
  const std::string gbkOver(118, '\xB0');  // 236 hex digits
  struct Case {
    std::string address;
    std::string stem;
  } cases[] = {
      {"http://v.test/v_show/id_X.html", HexName("http://v.test/v_show/id_X.html")},
      {"", ""},
      {fits, fits},
      {over, "md5_" + DigestHex(over)},
      {gbkOver, "md5_" + DigestHex(gbkOver)},
  };
  for (const Case& c : cases) EXPECT_EQ(EpisodeFileStem(c.address), c.stem) << c.address.size();
  EXPECT_NE(EpisodeFileStem(over), EpisodeFileStem(over + "b"));
}

TEST(EpisodeFilesTest, EveryAddressLengthCanBeSavedAndRead) {
  ProgramFolder folder;
  // "http://v.test/" has a hex name of 19 bytes: 216 more make the longest
  // hex name whose save still fits, 217 the first digest name.
  for (size_t length : {10u, 216u, 217u, 400u, 5000u}) {
    std::string address = "http://v.test/" + std::string(length, 'x');
    EpisodeFiles files(folder.paths, address);
    EXPECT_TRUE(files.SaveList({{"L", address}})) << length;
    EXPECT_TRUE(files.SaveLastPlayed(address)) << length;
    EXPECT_EQ(files.LoadLastPlayed(), address) << length;
    EXPECT_EQ(Restored(files), (std::vector<EpisodeRow>{{"L", address}})) << length;
  }
}

TEST(EpisodeFilesTest, ListIsWrittenAsLinesAndRestoredByteForByte) {
  ProgramFolder folder;
  EpisodeFiles files(folder.paths, "http://v.test/show.html");
  EXPECT_EQ(files.ListPath(), folder.paths.In("tavelo/") + HexName("http://v.test/show.html") + "_list.ini");
  std::vector<EpisodeRow> rows = {
      {Gbk("第1集 上"), kPrefix + "A.html"},
      {"Two  spaced", "http://other.test/x/y"},
      {"\xB0\xA1\xB0", kPrefix + "C.html"},  // a lone lead byte at the end of a label
  };
  ASSERT_TRUE(files.SaveList(rows));
  EXPECT_EQ(testing::ReadFile(files.ListPath()),
            Gbk("第1集 上") + "\t" + kPrefix + "A.html\t\r\n"
            "Two  spaced\thttp://other.test/x/y\t\r\n"
            "\xB0\xA1\xB0\t" + kPrefix + "C.html\t\r\n");
  EXPECT_EQ(Restored(files), rows);

  // A later save replaces the list whole.
  ASSERT_TRUE(files.SaveList({rows[1]}));
  EXPECT_EQ(Restored(files), (std::vector<EpisodeRow>{rows[1]}));
}

TEST(EpisodeFilesTest, AListCachedAlreadyIsNotWrittenAgain) {
  ProgramFolder folder;
  EpisodeFiles files(folder.paths, "http://v.test/show.html");
  auto inode = [&] {
    struct stat info {};
    stat(files.ListPath().c_str(), &info);
    return info.st_ino;
  };
  ASSERT_TRUE(files.SaveList({{"One", "http://x/1"}}));
  const ino_t first = inode();
  ASSERT_TRUE(files.SaveList({{"One", "http://x/1"}}));
  EXPECT_EQ(inode(), first);
  ASSERT_TRUE(files.SaveList({{"One", "http://x/1"}, {"Two", "http://x/2"}}));
  EXPECT_NE(inode(), first);
  EXPECT_EQ(Restored(files), (std::vector<EpisodeRow>{{"One", "http://x/1"}, {"Two", "http://x/2"}}));
}

TEST(EpisodeFilesTest, LineBreaksAndTabsInsideFieldsCannotSplitARow) {
  ProgramFolder folder;
  EpisodeFiles files(folder.paths, "http://v.test/show.html");
  ASSERT_TRUE(files.SaveList({{"a\tb", "http://x/1"}, {"c\r\nd", "http://x/2\t"}, {"e", "http://x/3"}}));
  EXPECT_EQ(Restored(files),
            (std::vector<EpisodeRow>{{"a b", "http://x/1"}, {"c  d", "http://x/2"}, {"e", "http://x/3"}}));
}

TEST(EpisodeFilesTest, RestoringSkipsLinesWithoutLabelOrAddress) {
  ProgramFolder folder;
  EpisodeFiles files(folder.paths, "http://v.test/show.html");
  testing::WriteFile(files.ListPath(),
                     "\thttp://x/no-label\t\r\n"
                     "no-address\t\t\r\n"
                     "lone\r\n"
                     "\r\n\r\n"
                     "bare\tID7\t\r\n"
                     "dup\thttp://x/1?a\t\r\n"
                     "dup2\thttp://x/1\n");
  EXPECT_EQ(Restored(files), (std::vector<EpisodeRow>{{"bare", kPrefix + "ID7.html"}, {"dup", "http://x/1"}}));
}

TEST(EpisodeFilesTest, MissingFilesReadAsNothing) {
  ProgramFolder folder;
  EpisodeFiles files(folder.paths, "http://v.test/none.html");
  EXPECT_TRUE(Restored(files).empty());
  EXPECT_EQ(files.LoadLastPlayed(), "");
}

TEST(EpisodeFilesTest, LastPlayedKeepsItsBytesUpToAZero) {
  ProgramFolder folder;
  EpisodeFiles files(folder.paths, "http://v.test/show.html");
  ASSERT_TRUE(files.SaveLastPlayed(" http://x/1 \r\n"));
  EXPECT_EQ(testing::ReadFile(files.LastPlayedPath()), " http://x/1 \r\n");
  EXPECT_EQ(files.LoadLastPlayed(), " http://x/1 \r\n");
  testing::WriteFile(files.LastPlayedPath(), std::string("http://x/2\0tail", 15));
  EXPECT_EQ(files.LoadLastPlayed(), "http://x/2");
}

ssize_t FullDisk(int, const void*, size_t) {
  errno = ENOSPC;
  return -1;
}

TEST(EpisodeFilesTest, AFailedSaveKeepsTheOldFiles) {
  ProgramFolder folder;
  EpisodeFiles files(folder.paths, "http://v.test/show.html");
  ASSERT_TRUE(files.SaveList({{"Old", "http://x/old"}}));
  ASSERT_TRUE(files.SaveLastPlayed("http://x/old"));
  {
    sys::SystemCalls calls = sys::Calls();
    calls.write = &FullDisk;
    sys::ScopedSystemCalls failing(calls);
    EXPECT_FALSE(files.SaveList({{"New", "http://x/new"}}));
    EXPECT_FALSE(files.SaveLastPlayed("http://x/new"));
  }
  EXPECT_EQ(Restored(files), (std::vector<EpisodeRow>{{"Old", "http://x/old"}}));
  EXPECT_EQ(files.LoadLastPlayed(), "http://x/old");

  testing::TempDir bare;  // no tavelo/ folder
  EpisodeFiles nowhere(ProgramPaths{bare.Path()}, "http://v.test/show.html");
  EXPECT_FALSE(nowhere.SaveList({{"New", "http://x/new"}}));
  EXPECT_FALSE(nowhere.SaveLastPlayed("http://x/new"));
}

}  // namespace
}  // namespace tavelo
