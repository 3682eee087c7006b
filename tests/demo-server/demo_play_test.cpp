// The road of every demo video through the portal, with the portal's own
// rules taken from its side: the catalogue record, the show page fetched and
// normalised, the episode list scraped, and each episode played through the
// player templates of data/main.htm and through the site's own player.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "catalogue/catalogue_store.h"
#include "catalogue/record_list.h"
#include "episode_scrape.h"
#include "running_demo.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
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

// The player address the play window builds: the six placeholders, in their
// order, the CODE_ ones percent-encoded and the SRC_ ones as they are.
std::string FillPlayerTemplate(std::string text, const std::string& address, const std::string& title,
                               const std::string& label) {
  const std::pair<const char*, std::string> fills[] = {
      {"CODE_URL", UrlEncode(address)}, {"CODE_NAME", UrlEncode(title)}, {"CODE_SECTION", UrlEncode(label)},
      {"SRC_URL", address},             {"SRC_NAME", title},             {"SRC_SECTION", label},
  };
  for (const auto& [placeholder, value] : fills) text = ReplaceAll(text, placeholder, value);
  return text;
}

// The fallback without a template: the site's player for the id in the address.
std::string SitePlayerAddress(const std::string& playerHost, const std::string& address) {
  size_t id = address.find("id_");
  size_t end = address.find(".htm", id);
  if (id == std::string::npos || end == std::string::npos) return {};
  return "http://" + playerHost + "/player.php/sid/" + address.substr(id + 3, end - id - 3) + "/v.swf";
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
  const std::string players[] = {TemplateValueOf("[YOUKU_PLAY_URL]"), TemplateValueOf("[YOUKU_PLAY_URL2]")};
  const std::string clip = "<video src=\"http://" + RoleAddress(Role::kVideo, demo_->Port()) + "/player/clip.webm\"";
  std::vector<VideoRecord> records = VideoRecords(*demo_);
  ASSERT_EQ(records.size(), demo_->Site().VideoCount());

  std::map<int, int> rowsByScan;
  int singleEpisodeVideos = 0;
  for (const VideoRecord& record : records) {
    auto show = demo_->Fetch(record.address);
    ASSERT_TRUE(show) << record.address;
    ASSERT_EQ(show->status, 200) << record.address;
    std::string page = NormalizePage(show->body);
    // The title carries the site's name, which the title rule takes off again.
    EXPECT_NE(page.find(Gbk("优酷网</title>")), std::string::npos) << record.address;
    EXPECT_EQ(ExtractPageTitle(page), record.title) << record.address;

    std::vector<EpisodeRow> rows = ScrapeEpisodes(page, showPrefix, record.address);
    ASSERT_FALSE(rows.empty()) << record.address;
    singleEpisodeVideos += rows.size() == 1;
    for (const EpisodeRow& row : rows) {
      ++rowsByScan[row.scan];
      const std::string where = record.address + " " + row.address;
      auto episode = demo_->Fetch(row.address);
      ASSERT_TRUE(episode) << where;
      EXPECT_EQ(episode->status, 200) << where;

      std::vector<std::string> addresses;
      for (const std::string& player : players) addresses.push_back(FillPlayerTemplate(player, row.address, record.title, row.label));
      addresses.push_back(SitePlayerAddress(playerHost, row.address));
      for (const std::string& address : addresses) {
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
  for (int scan = 0; scan <= 4; ++scan) EXPECT_GT(rowsByScan[scan], 0) << "scan " << scan;
  EXPECT_GE(singleEpisodeVideos, 3);
}

}  // namespace
}  // namespace tavelo::demo
