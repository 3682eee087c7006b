#include "text/template_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tavelo {
namespace {

TemplateFile FromText(const std::string& text) {
  TemplateFile file;
  file.SetText(text);
  return file;
}

TEST(TemplateFileTest, ValueLookups) {
  TemplateFile file = FromText(
      "<html>\n[s_url]\n// a comment\n  http://a/so?k=***KEY***  \n"
      "[S_URL]\nsecond\n[EMPTY]\n// only a comment\n");
  EXPECT_EQ(file.GetValue("[S_URL]"), "http://a/so?k=***KEY***");  // first key wins, trimmed
  EXPECT_EQ(file.GetValue("[EMPTY]"), "");
  EXPECT_EQ(file.GetValue("[MISSING]"), "");
}

TEST(TemplateFileTest, ListEndsAtAnExactEndMarkerOrTheMaximum) {
  TemplateFile file = FromText("[x2_BEGIN]\nv1,a\n//v1,skipped\n[X2_END]\nv2,b\n[x2_end]\nv3,c\n");
  EXPECT_EQ(file.GetLines("[x2_begin]", "[x2_end]"),
            (std::vector<std::string>{"v1,a", "[X2_END]", "v2,b"}));
  EXPECT_EQ(file.GetLines("[x2_begin]", "[x2_end]", 2), (std::vector<std::string>{"v1,a", "[X2_END]"}));
  EXPECT_EQ(file.GetLines("[nothing]", "[x2_end]").size(), 0u);

  TemplateFile unterminated = FromText("[L]\na\nb");
  EXPECT_EQ(unterminated.GetLines("[L]", "[E]"), (std::vector<std::string>{"a", "b"}));
}

TEST(TemplateFileTest, AFileChangedOnDiskIsSeenAtTheNextLookup) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("main.htm"), "[K]\none\n");
  EXPECT_EQ(TemplateValue(dir.File("main.htm"), "[K]"), "one");
  testing::WriteFile(dir.File("main.htm"), "[K]\ntwo\n");
  EXPECT_EQ(TemplateValue(dir.File("main.htm"), "[k]"), "two");
  EXPECT_EQ(TemplateValue(dir.File("missing.htm"), "[K]"), "");
}

}  // namespace
}  // namespace tavelo
