// The road of every demo video through the portal: the catalogue record, the
// show page fetched and normalised, the episode list scraped, and each
// episode played through the player templates of data/main.htm and through
// the site's own player, with the play windows' own player-address rule.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "catalogue/catalogue_store.h"
#include "catalogue/record_list.h"
#include "content/episode_scraper.h"
#include "playback/player_page.h"
#include "running_demo.h"
#include "text/encoding.h"
#include "text/page_normalizer.h"
#include "text/template_file.h"
#include "text/url_text.h"

namespace tavelo::demo {
namespace {

struct VideoRecord {
  std::string title;    // after the play window's clean-up
  std::string address;  // the show page
};

// The video records of the catalogue files the build ships in data/.
std::vector<VideoRecord> VideoRecords(const RunningDemo& demo) {
  std::vector<VideoRecord> records;
  for (auto [name, bytes] : demo.Site().CatalogueFiles()) {
    KeyedXor(bytes, kCatalogueKey);
    RecordList list;
    int count = list.ParseCatalogueText(bytes);
    for (int i = 0; i < count; ++i) {
      std::string address(list[i].fields[1]);
      if (demo.RoleOf(address) == Role::kVideo) records.push_back({CleanHtmlText(list[i].fields[0]), address});
    }
  }
  return records;
}

class DemoPlayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo_ = new RunningDemo;
    ASSERT_EQ(demo_->Error(), "");
  }
  static void TearDownTestSuite() { delete demo_; }

  static std::string TemplateValueOf(std::string_view key) {
    TemplateFile file;
    file.SetText(demo_->Site().MainTemplate());
    return file.GetValue(key);
  }

  static inline RunningDemo* demo_ = nullptr;
};

TEST_F(DemoPlayTest, EveryEpisodeOfEveryVideoPlaysTheClip) {
  const std::string showPrefix = TemplateValueOf("[VIDEO_SHOW_HOST]") + "/v_show/id_";
  const std::string playerHost = TemplateValueOf("[VIDEO_PLAYER_HOST]");
  const std::string players[] = {TemplateValueOf("[YOUKU_PLAY_URL]"), TemplateValueOf("[YOUKU_PLAY_URL2]"), ""};
  const std::string clip = "<video src=\"http://" + RoleAddress(Role::kVideo, demo_->Port()) + "/player/clip.webm\"";
  std::vector<VideoRecord> records = VideoRecords(*demo_);
  ASSERT_EQ(records.size(), demo_->Site().VideoCount());

  // The list markers of the four layouts, and how many videos each lists.
  const std::string layoutMarkers[] = {"<div class=\"item\" name=\"tvlist\"", "div class=\"program",
                                       "class=\"current\" href=\"" + showPrefix, "<li class=\"item"};
  std::map<std::string, int> videosByLayout;
  int titleRows = 0;
  int singleEpisodeVideos = 0;
  for (const VideoRecord& record : records) {
    auto show = demo_->Fetch(record.address);
    ASSERT_TRUE(show) << record.address;
    ASSERT_EQ(show->status, 200) << record.address;
    std::string page = NormalizePage(show->body);
    // The title carries the site's name, which the title rule takes off again.
    EXPECT_NE(page.find(Gbk("优酷网</title>")), std::string::npos) << record.address;
    EXPECT_EQ(ExtractPageTitle(page), record.title) << record.address;

    EpisodeList list(showPrefix);
    ScrapeShowPage(page, record.address, list);
    const std::vector<EpisodeRow>& rows = list.Rows();
    ASSERT_FALSE(rows.empty()) << record.address;
    singleEpisodeVideos += rows.size() == 1;
    for (const std::string& marker : layoutMarkers) {
      if (rows.size() > 1 && page.find(marker) != std::string::npos) ++videosByLayout[marker];
    }
    for (const EpisodeRow& row : rows) {
      titleRows += row.address == record.address && row.label == record.title;
      const std::string where = record.address + " " + row.address;
      auto episode = demo_->Fetch(row.address);
      ASSERT_TRUE(episode) << where;
      EXPECT_EQ(episode->status, 200) << where;

      // Both player templates, and the site's own player without a template.
      for (const std::string& player : players) {
        std::string address = PlayerPageAddress(player, playerHost, row.address, record.title, row.label);
        auto played = demo_->Fetch(address);
        ASSERT_TRUE(played) << where << " " << address;
        EXPECT_EQ(played->status, 200) << where << " " << address;
        EXPECT_NE(played->body.find(clip), std::string::npos) << where << " " << address;
        EXPECT_NE(played->body.find(row.label), std::string::npos) << where << " " << address;
      }
    }
  }
  // The demo takes the scraper through each of its four layouts and its
  // title entry, and shows the single-episode hand-off more than once.
  for (const std::string& marker : layoutMarkers) EXPECT_GT(videosByLayout[marker], 0) << marker;
  EXPECT_GT(titleRows, 0);
  EXPECT_GE(singleEpisodeVideos, 3);
}

}  // namespace
}  // namespace tavelo::demo
