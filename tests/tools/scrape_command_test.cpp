// tavelo-catalogue scrape: a saved show page through what a play window's
// fetch does after its download, in a given program folder.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "catalogue_tool.h"
#include "content/episode_cache.h"
#include "content/episode_fetch.h"
#include "support/temp_dir.h"
#include "text/url_text.h"

namespace tavelo {
namespace {

const std::string kShowHost = "http://show.test";
const std::string kShowPage = kShowHost + "/v_show/id_show.html";

std::string Episode(const std::string& id) { return kShowHost + "/v_show/id_" + id + ".html"; }

std::string Element(const std::string& id, const std::string& label) {
  return "<li class=\"item\" id=\"item_" + id + "\" title=\"" + label + "\">";
}

class ScrapeCommandTest : public ::testing::Test {
 protected:
  ScrapeCommandTest() {
    mkdir(dir_.File("data").c_str(), 0755);
    // The show host comes from the folder's template: scan 3 only matches on it.
    testing::WriteFile(dir_.File("data/main.htm"), "[VIDEO_SHOW_HOST]\n" + kShowHost + "\n");
  }

  struct Run {
    int status;
    std::string out;
    std::string err;
  };
  Run Scrape(const std::string& page, const std::string& address = kShowPage) {
    testing::WriteFile(dir_.File("page.htm"), page);
    std::ostringstream out, err;
    int status = RunCatalogueTool({"scrape", dir_.Path(), dir_.File("page.htm"), address}, out, err);
    return {status, out.str(), err.str()};
  }

  testing::TempDir dir_;
};

TEST_F(ScrapeCommandTest, PrintsTheRowsThenTheEpisodeLastPlayed) {
  const std::string page = "<title>Show</title><a class=\"current\" href=\"" + Episode("C") + "\" title=\"Cur\">" +
                           Element("A", "One");
  Run run = Scrape(page);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Cur\t" + Episode("C") + "\nOne\t" + Episode("A") + "\nShow\t" + kShowPage + "\n");
  EXPECT_EQ(run.err, "");
  const std::string stem = dir_.File("tavelo/") + HexName(kShowPage);
  EXPECT_TRUE(testing::FileExists(stem + "_list.ini"));

  testing::WriteFile(stem + "_lab.ini", Episode("A"));
  run = Scrape(page);
  EXPECT_EQ(run.out, "Cur\t" + Episode("C") + "\nOne\t" + Episode("A") + "\nShow\t" + kShowPage + "\nlast One\n");
}

TEST_F(ScrapeCommandTest, EachRowIsOneLine) {
  Run run = Scrape(Element("A", "Two\r\nlines\tand a tab") + Element("B", "Plain"));
  EXPECT_EQ(run.out, "Two  lines and a tab\t" + Episode("A") + "\nPlain\t" + Episode("B") + "\n");
}

TEST_F(ScrapeCommandTest, TheFileIsReadAsADownloadDeliversIt) {
  // A zero byte ends what a download keeps of its 10240-byte block; the
  // next block counts again.
  std::string page = Element("A", "One") + std::string(1, '\0') + Element("B", "Lost");
  page.resize(10240, ' ');
  page += Element("C", "Three");
  EXPECT_EQ(Scrape(page).out, "One\t" + Episode("A") + "\nThree\t" + Episode("C") + "\n");
}

TEST_F(ScrapeCommandTest, NoRowsFailsUnlessTheVideoHasACachedList) {
  Run run = Scrape("<html>gone</html>");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "获取数据失败,请选择其它搜索结果获取数据\n");

  ASSERT_EQ(Scrape(Element("A", "One") + Element("B", "Two")).status, 0);
  run = Scrape("<html>gone</html>");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "One\t" + Episode("A") + "\nTwo\t" + Episode("B") + "\n");
}

// A page over the play window's cap is a failed fetch there, and so here:
// the rows it starts with are not scraped, the cached list stands.
TEST_F(ScrapeCommandTest, APageOverTheCapIsAFailedFetch) {
  const std::string page = dir_.File("big.htm");
  testing::WriteFile(page, Element("A", "One") + Element("B", "Two"));
  ASSERT_EQ(truncate(page.c_str(), static_cast<off_t>(kShowPageLimit) + 1), 0);  // sparse: no disk used
  std::ostringstream out, err;
  EXPECT_EQ(RunCatalogueTool({"scrape", dir_.Path(), page, kShowPage}, out, err), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "获取数据失败,请选择其它搜索结果获取数据\n");

  ASSERT_EQ(Scrape(Element("C", "Cached") + Element("D", "Too")).status, 0);
  std::ostringstream cachedOut, cachedErr;
  EXPECT_EQ(RunCatalogueTool({"scrape", dir_.Path(), page, kShowPage}, cachedOut, cachedErr), 0);
  EXPECT_EQ(cachedOut.str(), "Cached\t" + Episode("C") + "\nToo\t" + Episode("D") + "\n");
}

TEST_F(ScrapeCommandTest, MakesTheCacheFolderAndRefusesAMissingPage) {
  testing::TempDir bare;  // a program folder without tavelo/
  testing::WriteFile(bare.File("page.htm"), Element("A", "One"));
  std::ostringstream out, err;
  EXPECT_EQ(RunCatalogueTool({"scrape", bare.Path(), bare.File("page.htm"), kShowPage}, out, err), 0);
  EXPECT_TRUE(testing::FileExists(EpisodeFiles(ProgramPaths{bare.Path()}, kShowPage).ListPath()));

  std::ostringstream out2, err2;
  EXPECT_EQ(RunCatalogueTool({"scrape", bare.Path(), bare.File("missing.htm"), kShowPage}, out2, err2), 1);
  EXPECT_NE(err2.str().find("missing.htm"), std::string::npos);
  std::ostringstream out3, err3;
  EXPECT_EQ(RunCatalogueTool({"scrape", bare.Path(), bare.File("page.htm")}, out3, err3), 2);
}

}  // namespace
}  // namespace tavelo
