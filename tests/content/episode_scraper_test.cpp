#include "content/episode_scraper.h"

#include <gtest/gtest.h>

#include "text/encoding.h"

namespace tavelo {
namespace {

const std::string kPrefix = "http://v.test/v_show/id_";

std::string Episode(const std::string& id) { return kPrefix + id + ".html"; }

using Rows = std::vector<std::pair<std::string, std::string>>;  // label, address

Rows Scrape(const std::string& page, const std::string& pageAddress = "") {
  EpisodeList list(kPrefix);
  ScrapeShowPage(page, pageAddress, list);
  Rows rows;
  for (const EpisodeRow& row : list.Rows()) rows.emplace_back(row.label, row.address);
  return rows;
}

TEST(EpisodeScraperTest, EachLayoutGivesItsElementsInPageOrder) {
  struct Case {
    const char* name;
    std::string page;
    Rows rows;
  } cases[] = {
      {"scan 1, whose elements scan 4 meets again",
       "<div class=\"item\" name=\"tvlist\" id=\"item_A1\" title=\"One\"></div>\n"
       "<div class=\"item\" name=\"tvlist\" title=\"Two\" id=\"item_A2\">",
       {{"One", Episode("A1")}, {"Two", Episode("A2")}}},
      {"scan 2, marker without its closing quote",
       "<div class=\"program\" id=\"item_P1\" title=\"P1\"><div class=\"programme\" id=\"item_P2\" title=\"P2\">",
       {{"P1", Episode("P1")}, {"P2", Episode("P2")}}},
      {"scan 3, the id before .html",
       "<a class=\"current\" href=\"" + kPrefix + "C1.html?f=1\" title=\"Cur\">",
       {{"Cur", Episode("C1")}}},
      {"scan 3 on another host finds nothing",
       "<a class=\"current\" href=\"http://other/v_show/id_C1.html\" title=\"Cur\">", {}},
      {"scan 3 without .html in the tag",
       "<a class=\"current\" href=\"" + kPrefix + "C1\" title=\"Cur\">", {}},
      {"scan 4", "<li class=\"item\" id=\"item_I1\" title=\"I\"><li class=\"items\" id=\"item_I2\" title=\"J\">",
       {{"I", Episode("I1")}, {"J", Episode("I2")}}},
      {"no title attribute", "<li class=\"item\" id=\"item_X\">", {}},
      {"title in single quotes", "<li class=\"item\" id=\"item_X\" title='t'>", {}},
      {"title without its closing quote", "<li class=\"item\" id=\"item_X\" title=\"t>", {}},
      {"no id attribute", "<li class=\"item\" data=\"item_X\" title=\"t\">", {}},
      {"id without its closing quote", "<li class=\"item\" title=\"t\" id=\"item_X>", {}},
      {"attributes after the tag's end belong to no element",
       "<li class=\"item\" id=\"item_X\"> title=\"t\"", {}},
      {"a tag without > ends the scan", "<li class=\"item\" id=\"item_X\" title=\"t\"", {}},
      {"an empty title is a label", "<li class=\"item\" id=\"item_E\" title=\"\">", {{"", Episode("E")}}},
      {"GBK labels pass unchanged",
       "<li class=\"item\" id=\"item_G\" title=\"" + Gbk("第1集") + "\">", {{Gbk("第1集"), Episode("G")}}},
      {"an id holding / is an address of its own",
       "<li class=\"item\" id=\"item_http://w/x\" title=\"W\">", {{"W", "http://w/x"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Scrape(c.page), c.rows) << c.name;
}

TEST(EpisodeScraperTest, ScanOrderDecidesRowOrderAndTheFirstLabelStays) {
  // Scan 4's element stands first in the page but scan 1 runs first; the
  // element found by both scans keeps scan 1's label.
  std::string page =
      "<li class=\"item\" id=\"item_Z\" title=\"Late\">"
      "<a class=\"current\" href=\"" + kPrefix + "B.html\" title=\"Again\">"
      "<div class=\"item\" name=\"tvlist\" id=\"item_B\" title=\"First\">"
      "<div class=\"program\" id=\"item_Q\" title=\"Second\">";
  EXPECT_EQ(Scrape(page), (Rows{{"First", Episode("B")}, {"Second", Episode("Q")}, {"Late", Episode("Z")}}));
}

TEST(EpisodeScraperTest, AddEpisodeCutsQueryAndFragmentAndFindsExistingRows) {
  EpisodeList list(kPrefix);
  struct Case {
    std::string address;
    std::string stored;
    int row;
  } cases[] = {
      {"abc", Episode("abc"), 0},
      {"http://x/a?b=1", "http://x/a", 1},
      {"http://x/a#top", "http://x/a", 1},            // the same episode as the row above
      {"http://x/a#b?c", "http://x/a", 1},            // "?" first, then "#"
      {"http://x/A", "http://x/A", 2},                // letter case counts
      {"?q/x", "?q/x", 3},                            // a "?" at the start stays
      {"#f/x?", "#f/x", 4},                           // so does a "#", but a later "?" cuts
      {Episode("abc"), Episode("abc"), 0},
      {"abc?x", kPrefix + "abc", 5},                  // a bare id gets its suffix before the cut
  };
  for (const Case& c : cases) {
    EXPECT_EQ(list.AddEpisode(c.address, "label " + c.address), c.row) << c.address;
    EXPECT_EQ(list.Rows()[static_cast<size_t>(c.row)].address, c.stored) << c.address;
    EXPECT_EQ(list.Find(c.stored), c.row);
  }
  EXPECT_EQ(list.Count(), 6);
  EXPECT_EQ(list.Rows()[1].label, "label http://x/a?b=1");  // the first label stays
  EXPECT_EQ(list.Find("http://x/a?b=1"), -1);                 // Find does not cut
}

TEST(EpisodeScraperTest, RowColumnsAreLabelPlayCellAndAddress) {
  EpisodeRow row{"L", "http://x/a"};
  EXPECT_EQ(row.Column(0), "L");
  EXPECT_EQ(row.Column(1), Gbk("播放"));
  EXPECT_EQ(row.Column(2), "http://x/a");
}

TEST(EpisodeScraperTest, PageTitleRules) {
  const std::string dash = "\xA1\xAA";  // the em dash in GBK
  const std::string site = Gbk("优酷网");
  struct Case {
    std::string page;
    std::string title;
  } cases[] = {
      {"<title>Show" + dash + "More</title>", "Show"},
      {"<title>" + dash + "Show</title>", dash + "Show"},      // a dash at the start stays
      {"<title> Name " + site + "</title>", "Name"},
      {"<title>" + site + "Name</title>", site + "Name"},
      {"<title>A" + site + "B" + dash + "C</title>", "A"},
      {"<title>abc</title>", "abc"},
      {"<title>ab</title>", ""},                                // under 3 bytes
      {"<title>  a  </title>", "a"},
      {"<title>   </title>", ""},
      {"<title>abc", ""},                                       // no end tag
      {"<TITLE>abc</TITLE>", ""},                               // tags are case-sensitive
      {"</title><title>abc</title>", "abc"},
      {"no title", ""},
      // "\xB0\xA1" and "\xAA\xC0" are two characters whose bytes meet as A1 AA.
      {"<title>\xB0\xA1\xAA\xC0xyz</title>", "\xB0\xA1\xAA\xC0xyz"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractPageTitle(c.page), c.title) << c.page;
}

TEST(EpisodeScraperTest, TheShowPageJoinsUnderItsTitleUnlessAnEpisodeHasItsAddress) {
  const std::string episode = "<li class=\"item\" id=\"item_S\" title=\"Ep\">";
  EXPECT_EQ(Scrape("<title>Show</title>" + episode, "http://v.test/show?from=x"),
            (Rows{{"Ep", Episode("S")}, {"Show", "http://v.test/show"}}));
  EXPECT_EQ(Scrape("<title>Show</title>" + episode, Episode("S")), (Rows{{"Ep", Episode("S")}}));
  EXPECT_EQ(Scrape("<title>ab</title>" + episode, "http://v.test/show"), (Rows{{"Ep", Episode("S")}}));
  EXPECT_EQ(Scrape("<title>Only</title>", "http://v.test/show"), (Rows{{"Only", "http://v.test/show"}}));
}

TEST(EpisodeScraperTest, ShowPagePrefixFollowsTheHost) {
  EXPECT_EQ(ShowPagePrefix("http://v.test:81"), "http://v.test:81/v_show/id_");
}

}  // namespace
}  // namespace tavelo
