#include "content/episode_fetch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "content/episode_cache.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

const std::string kShowHost = "http://v.test";
const std::string kShowPage = "http://v.test/v_show/id_show.html";

std::string Episode(const std::string& id) { return kShowHost + "/v_show/id_" + id + ".html"; }

std::string Element(const std::string& id, const std::string& label) {
  return "<li class=\"item\" id=\"item_" + id + "\" title=\"" + label + "\">";
}

class EpisodeFetchTest : public ::testing::Test {
 protected:
  EpisodeFetchTest() { mkdir(paths_.In(kEpisodeCacheFolder).c_str(), 0755); }

  EpisodeFetchResult Fetch(const std::string& body, const std::string& pageAddress = kShowPage) {
    return FinishEpisodeFetch(body, pageAddress, paths_, kShowHost);
  }
  EpisodeFiles Files(const std::string& pageAddress = kShowPage) { return EpisodeFiles(paths_, pageAddress); }

  testing::TempDir dir_;
  ProgramPaths paths_{dir_.Path()};
};

const std::string kReady = Gbk("获取完成,请点击右侧选择播放视频");
std::string ReadyNaming(const std::string& label) {
  return kReady + Gbk("<br><br><font color=green>上次己播放的视频:") + label + "</font>";
}

TEST_F(EpisodeFetchTest, TheLastPlayedEpisodeIsPreselectedInListsOfTwoOrMore) {
  const std::string two = Element("A", "One") + Element("B", "Two");
  struct Case {
    const char* name;
    std::string page;
    std::string lastPlayed;  // "-" for no file
    int preselected;
    std::string readyText;
  } cases[] = {
      {"second row", two, Episode("B"), 1, ReadyNaming("Two")},
      {"first row", two, Episode("A"), 0, ReadyNaming("One")},
      {"no longer listed", two, Episode("C"), -1, kReady},
      {"compared untrimmed", two, Episode("B") + "\n", -1, kReady},
      {"no file", two, "-", -1, kReady},
      {"empty file", two, "", -1, kReady},
      {"a single row is handed off instead", Element("A", "One"), Episode("A"), -1, kReady},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string address = kShowHost + "/show/" + c.name;  // a video of its own per case
    if (c.lastPlayed != "-") testing::WriteFile(Files(address).LastPlayedPath(), c.lastPlayed);
    EpisodeFetchResult result = Fetch(c.page, address);
    EXPECT_EQ(result.preselected, c.preselected);
    EXPECT_EQ(result.readyText, c.readyText);
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.statusLine, Gbk("获取完成,请从列表中点击需要播放的视频"));
  }
}

TEST_F(EpisodeFetchTest, ASingleRowIsHandedOff) {
  EXPECT_TRUE(Fetch(Element("A", "One")).HandsOff());
  EXPECT_FALSE(Fetch(Element("A", "One") + Element("B", "Two")).HandsOff());
}

TEST_F(EpisodeFetchTest, APageWithoutRowsFallsBackToTheLastListFound) {
  EpisodeFetchResult first = Fetch("<title>Show</title>" + Element("A", Gbk("第1集")) + Element("B", "Two"));
  ASSERT_EQ(first.rows.size(), 3u);

  EpisodeFetchResult restored = Fetch("<html>the site is down</html>");
  EXPECT_FALSE(restored.failed);
  EXPECT_EQ(restored.rows, first.rows);

  // The next page with rows replaces the cached list.
  Fetch(Element("C", "Three"));
  EpisodeFetchResult later = Fetch("");
  ASSERT_EQ(later.rows.size(), 1u);
  EXPECT_EQ(later.rows[0].address, Episode("C"));
}

TEST_F(EpisodeFetchTest, NoRowsAndNoCacheFails) {
  EpisodeFetchResult result = Fetch("<title>ab</title>nothing here");
  EXPECT_TRUE(result.failed);
  EXPECT_TRUE(result.rows.empty());
  EXPECT_FALSE(result.HandsOff());
  EXPECT_EQ(result.readyText, kReady);
  EXPECT_EQ(FetchFailedMessage(), Gbk("获取数据失败,请选择其它搜索结果获取数据"));
}

TEST_F(EpisodeFetchTest, PagesInOtherEncodingsAreScrapedAsGbk) {
  // The body arrives in the page's own encoding, here UTF-8 as labelled.
  std::string utf8Page = "<html><head><meta charset=\"utf-8\"><title>剧名—优酷</title></head><body>" +
                         Element("A", "第1集") + "</body>";
  EpisodeFetchResult result = Fetch(utf8Page);
  ASSERT_EQ(result.rows.size(), 2u);
  EXPECT_EQ(result.rows[0].label, Gbk("第1集"));
  EXPECT_EQ(result.rows[1].label, Gbk("剧名"));
  EXPECT_EQ(result.rows[1].address, kShowPage);
}

TEST(ReadyPageTextTest, MarkupInALabelIsShownAsText) {
  EXPECT_EQ(ReadyPageText("<b>x</b> &amp; y"),
            ReadyNaming("&lt;b&gt;x&lt;/b&gt; &amp; y"));
}

}  // namespace
}  // namespace tavelo
