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

}  // namespace
}  // namespace tavelo
