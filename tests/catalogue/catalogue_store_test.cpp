#include "catalogue/catalogue_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"
#include "text/text_buffer.h"

namespace tavelo {
namespace {

class CatalogueStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { mkdir(dir_.File("data").c_str(), 0755); }

  void WriteTemplate(const std::string& block) {
    testing::WriteFile(dir_.File("data/main.htm"), "<html>\n[X2_BEGIN]\n" + block + "[x2_end]\n");
  }
  void WriteScrambled(const std::string& name, std::string text) {
    KeyedXor(text, kCatalogueKey);
    testing::WriteFile(dir_.File(name), text);
  }
  CatalogueStore Load() {
    CatalogueStore store;
    store.Load(dir_.Path());
    return store;
  }

  testing::TempDir dir_;
};

TEST_F(CatalogueStoreTest, ScrambledAndPlainFilesAndTagRules) {
  WriteScrambled("data/tv.dat", "a\t1\nb\t2\nc\t3\n");
  testing::WriteFile(dir_.File("data/movies-txt-.dat"), "m\t1\n");
  WriteTemplate(
      "v1,data/tv.dat,extra\n"
      "// v1,data/tv.dat\n"
      "vd1,data/movies-txt-.dat\n"
      "V1,data/tv.dat\n"
      "v2\n"
      "v3,data/missing.dat\n");
  CatalogueStore store = Load();
  ASSERT_EQ(store.CategoryCount(), 5);
  EXPECT_EQ(store.Category(0).Records().Count(), 3);
  EXPECT_EQ(store.Category(0).Records()[1].fields[0], "b");
  EXPECT_EQ(store.Category(0).Descriptor(), "v1,data/tv.dat,extra");
  EXPECT_EQ(store.Category(1).Records().Count(), 1);
  EXPECT_EQ(store.Category(1).Records()[0].fields[0], "m");
  EXPECT_EQ(store.Category(2).Records().Count(), 0);  // upper-case tag
  EXPECT_EQ(store.Category(3).Records().Count(), 0);  // no path
  EXPECT_EQ(store.Category(4).Records().Count(), 0);  // missing file
  EXPECT_EQ(store.Category(4).Records().Capacity(), 1 + RecordList::kGrowStep);
  EXPECT_EQ(store.TotalRecordCount(), 4);
}

TEST_F(CatalogueStoreTest, AtMostAHundredCategories) {
  std::string block;
  for (int i = 0; i < 101; ++i) block += "v1,data/none.dat\n";
  WriteTemplate(block);
  EXPECT_EQ(Load().CategoryCount(), 100);
}

TEST_F(CatalogueStoreTest, NoTemplateOrNoBlockMeansAnEmptyStore) {
  EXPECT_EQ(Load().CategoryCount(), 0);
  EXPECT_EQ(Load().TotalRecordCount(), 0);
  testing::WriteFile(dir_.File("data/main.htm"), "[S_URL]\nhttp://x\n");
  EXPECT_EQ(Load().CategoryCount(), 0);
}

TEST_F(CatalogueStoreTest, AWrongKeyStillLoadsWhateverLinesResult) {
  testing::WriteFile(dir_.File("data/plain.dat"), "a\tb\nc\td\n");  // not scrambled
  WriteTemplate("v1,data/plain.dat\n");
  // No check exists for catalogue files: the garbled text is parsed as it is.
  EXPECT_GE(Load().TotalRecordCount(), 1);
}

TEST(CatalogueCategoryTest, PackagesNeedTheEndMarkAndBothListMarkers) {
  struct Case {
    const char* text;
    int expected;
  } cases[] = {
      {"head[LIST_BEGIN]a\t1\nb\t2[LIST_END]\r\nDB_DATA_END\r\n", 2},
      {"[LIST_BEGIN]a\t1\nb\t2[LIST_END]", 0},           // no DB_DATA_END
      {"DB_DATA_END[LIST_END][LIST_BEGIN]a", 0},          // end before begin only
      {"[LIST_BEGIN]a\t1[LIST_END]DB_DATA_END", 1},
      {"DB_DATA_END", 0},
  };
  for (const Case& c : cases) {
    CatalogueCategory category;
    category.ParseCatalogueLine("v1,/nonexistent");
    TextBuffer reader;
    reader.SetText(c.text);
    EXPECT_EQ(category.LoadFromPackage(reader), c.expected) << c.text;
  }
}

TEST(CatalogueCategoryTest, ARejectedPackageLeavesTheListAsItWas) {
  CatalogueCategory category;
  TextBuffer reader;
  reader.SetText("[LIST_BEGIN]a\nb\nc[LIST_END]DB_DATA_END");
  ASSERT_EQ(category.LoadFromPackage(reader), 3);
  reader.SetText("[LIST_BEGIN]x[LIST_END]");
  EXPECT_EQ(category.LoadFromPackage(reader), 0);
  EXPECT_EQ(category.Records().Count(), 3);
  EXPECT_EQ(category.Records()[2].fields[0], "c");
}

}  // namespace
}  // namespace tavelo
