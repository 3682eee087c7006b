#include "catalogue/site_config.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tavelo {
namespace {

TEST(SiteConfigTest, TemplateValueOrTheFallback) {
  testing::TempDir dir;
  const std::string path = dir.File("main.htm");
  EXPECT_EQ(ConfiguredValue("[CATALOGUE_SERVER]", "http://d", path), "http://d");
  testing::WriteFile(path, "[catalogue_server]\n// comment\n http://c:1 \n[MAKER_SITE]\n");
  EXPECT_EQ(ConfiguredValue("[CATALOGUE_SERVER]", "http://d", path), "http://c:1");
  // A key with no value line after it reads as missing.
  EXPECT_EQ(ConfiguredValue("[MAKER_SITE]", "http://m", path), "http://m");
}

TEST(SiteConfigTest, HostsComeFromTheGivenTemplate) {
  testing::TempDir dir;
  const std::string path = dir.File("main.htm");
  EXPECT_EQ(VideoShowHost(path), "http://127.0.0.2:8790");
  testing::WriteFile(path, "[VIDEO_SHOW_HOST]\nhttp://show.test:81\n[CATALOGUE_SERVER]\nhttp://c.test\n");
  EXPECT_EQ(VideoShowHost(path), "http://show.test:81");
  EXPECT_EQ(CatalogueServer(path), "http://c.test");
  EXPECT_EQ(VideoPlayerHost(path), kDefaultVideoPlayerHost);
}

}  // namespace
}  // namespace tavelo
