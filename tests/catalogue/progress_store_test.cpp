// The progress store: what it keeps, what it drops, when an episode counts
// as watched, and that a store it cannot read stays as it is.

#include "catalogue/progress_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>

#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

EpisodeProgress Record(const std::string& address, int position, int duration = 2700) {
  return {address, "http://v/show", Gbk("第5集"), position, duration, 1700000000};
}

class ProgressStoreTest : public ::testing::Test {
 protected:
  testing::TempDir dir_;
  std::string path_ = dir_.File("progress.dat");
};

TEST_F(ProgressStoreTest, SavedRecordsReadBackWithTheNewestLastAndOnePerEpisode) {
  EpisodeProgress odd{"http://v/a\tb\r\n", "http://v/other", Gbk("第\t1集"), 5, 10, 42};
  ASSERT_TRUE(SaveProgress(path_, Record("http://v/1", 100)).saved);
  ASSERT_TRUE(SaveProgress(path_, odd).saved);
  ASSERT_TRUE(SaveProgress(path_, Record("http://v/1", 754)).saved);
  std::optional<std::vector<EpisodeProgress>> records = LoadProgress(path_);
  ASSERT_TRUE(records);
  EXPECT_EQ(*records, (std::vector<EpisodeProgress>{odd, Record("http://v/1", 754)}));
  EXPECT_EQ(FindProgress(*records, "http://v/1")->position, 754);
  EXPECT_EQ(FindProgress(*records, "http://v/2"), nullptr);
  EXPECT_EQ(FindVideoProgress(*records, "http://v/show")->address, "http://v/1");
  EXPECT_EQ(FindVideoProgress(*records, "http://v/none"), nullptr);
}

TEST_F(ProgressStoreTest, OnlyTheNewestRecordsAreKept) {
  std::vector<EpisodeProgress> many;
  for (size_t i = 0; i < kMaxProgressRecords; ++i) many.push_back(Record("http://v/" + std::to_string(i), 60));
  testing::WriteFile(path_, ProgressText(many));
  ASSERT_TRUE(SaveProgress(path_, Record("http://v/new", 60)).saved);
  std::vector<EpisodeProgress> records = *LoadProgress(path_);
  ASSERT_EQ(records.size(), kMaxProgressRecords);
  EXPECT_EQ(records.front().address, "http://v/1");
  EXPECT_EQ(records.back().address, "http://v/new");
}

TEST_F(ProgressStoreTest, DamagedLinesAreSkippedAndTheRestRead) {
  const std::string text =
      "http://v/1\ts\tL\t5\t10\t1\t\r\n"
      "http://v/2\ts\tL\tx\t10\t1\t\r\n"      // not a number
      "http://v/3\ts\tL\t-5\t10\t1\t\r\n"     // negative
      "http://v/4\ts\tL\t50\t10\t1\t\r\n"     // past the end
      "\ts\tL\t5\t10\t1\t\r\n"                // no address
      "http://v/5\ts\tL\t5\r\n"               // cut short
      "http://v/6\ts\tL\t7\t10\t1\t\r\n";
  std::vector<EpisodeProgress> records = ParseProgressText(text);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].address, "http://v/1");
  EXPECT_EQ(records[1].address, "http://v/6");
}

TEST_F(ProgressStoreTest, AStoreThatCannotBeReadIsNeitherRewrittenNorCleared) {
  ASSERT_EQ(mkdir(path_.c_str(), 0755), 0);
  EXPECT_FALSE(LoadProgress(path_));
  for (const ProgressEdit& edit : {SaveProgress(path_, Record("http://v/1", 60)), ClearProgress(path_)}) {
    EXPECT_FALSE(edit.readable);
    EXPECT_EQ(ProgressFailureMessage(edit, path_).find(Gbk("无法读取")), 0u);
  }
  struct stat info {};
  ASSERT_EQ(stat(path_.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
}

TEST_F(ProgressStoreTest, ClearingEmptiesTheStore) {
  SaveProgress(path_, Record("http://v/1", 60));
  ASSERT_TRUE(ClearProgress(path_).saved);
  EXPECT_TRUE(LoadProgress(path_)->empty());
}

TEST(ResumeRuleTest, ResumesOnlyUnfinishedEpisodesPastTenSeconds) {
  struct Case {
    int position, duration;
    int resume;
    bool finished;
  } cases[] = {
      {0, 2700, 0, false},      {10, 2700, 0, false},      {11, 2700, 11, false},
      {754, 2700, 754, false},  {2564, 2700, 2564, false}, {2565, 2700, 0, true},  // 95 %
      {169, 200, 169, false},   {170, 200, 0, true},  // 30 s before the end
  };
  for (const Case& c : cases) {
    EpisodeProgress record = Record("http://v/1", c.position, c.duration);
    EXPECT_EQ(ResumePosition(&record), c.resume) << c.position << "/" << c.duration;
    EXPECT_EQ(IsFinished(c.position, c.duration), c.finished) << c.position << "/" << c.duration;
  }
  EXPECT_EQ(ResumePosition(nullptr), 0);
}

TEST(ResumeRuleTest, SummariesShowTheEpisodeAndWhereItStopped) {
  EXPECT_EQ(ProgressSummary(Record("a", 754, 2700)), Gbk("第5集 12:34 / 45:00"));
  EXPECT_EQ(ProgressSummary(Record("a", 2690, 2700)), Gbk("第5集 已看完"));
  EXPECT_EQ(ClockText(3723), "1:02:03");
  EXPECT_EQ(ClockText(65), "1:05");
}

TEST(VideoStateTest, OnlySensibleAnswersAreTaken) {
  struct Case {
    const char* answer;
    bool taken;
  } cases[] = {
      {"12.5\n60\n0\n0\nhttp://h/clip.webm", true},
      {"0\n60\n1\n0\n", true},
      {"", false},                           // no video
      {"abc\n60\n0\n0\nx", false},           // not a number
      {"-1\n60\n0\n0\nx", false},            // negative
      {"NaN\nNaN\n1\n0\nx", false},          // no metadata yet
      {"5\nInfinity\n0\n0\nx", false},       // a live stream
      {"61\n60\n0\n0\nx", false},            // past the end
      {"5\n0\n0\n0\nx", false},              // no length
      {"5 \n60\n0\n0\nx", false},            // trailing junk
  };
  for (const Case& c : cases) EXPECT_EQ(ParseVideoState(c.answer).has_value(), c.taken) << c.answer;
  std::optional<VideoState> state = ParseVideoState("12.5\n60\n1\n0\nhttp://h/clip.webm");
  ASSERT_TRUE(state);
  EXPECT_EQ(state->position, 12.5);
  EXPECT_TRUE(state->paused);
  EXPECT_FALSE(state->ended);
  EXPECT_EQ(state->source, "http://h/clip.webm");
}

}  // namespace
}  // namespace tavelo
