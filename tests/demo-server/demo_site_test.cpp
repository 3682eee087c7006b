#include "demo_site.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "catalogue/catalogue_store.h"
#include "catalogue/record_list.h"
#include "content/episode_scraper.h"
#include "text/encoding.h"
#include "text/text_buffer.h"

namespace tavelo::demo {
namespace {

constexpr int kPort = 40123;

const DemoSite& Site() {
  static const DemoSite site = [] {
    std::string error;
    auto loaded = DemoSite::Load(TAVELO_DEMO_CONTENT, kPort, error);
    if (!loaded) throw std::runtime_error(error);
    return std::move(*loaded);
  }();
  return site;
}

std::string Utf8Page(const Reply& reply) {
  if (reply.contentType.ends_with("utf-8")) return reply.body;
  return GbkToUtf8(reply.body);
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The episode ids the portal's layout scans find.
std::vector<std::string> ScrapedIds(const std::string& page, const std::string& showPrefix) {
  EpisodeList list(showPrefix);
  ScanEpisodeLayouts(page, list);
  std::vector<std::string> ids;
  for (const EpisodeRow& row : list.Rows()) {
    ids.push_back(row.address.substr(showPrefix.size(), row.address.size() - showPrefix.size() - 5));
  }
  return ids;
}

TEST(DemoSiteTest, PageKeysRefuseEverythingButPlainAbsolutePaths) {
  struct Case {
    const char* path;
    const char* key;
  } cases[] = {
      {"/", "/index.htm"},
      {"/site1/", "/site1/index.htm"},
      {"/v_show/id_a.html", "/v_show/id_a.html"},
      {"", ""},
      {"relative", ""},
      {"/../etc/passwd", ""},
      {"/a/../../b", ""},
      {"/a/./b", ""},
      {"//etc/passwd", ""},
      {"/a//b", ""},
      {"/a\\..\\b", ""},
      {"/..", ""},
      {"/a\nb", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PageKey(c.path), c.key) << c.path;
  EXPECT_EQ(PageKey(std::string("/a\0b", 4)), "");
}

TEST(DemoSiteTest, MalformedRequestsGetErrorsNotPages) {
  const DemoSite& site = Site();
  EXPECT_EQ(site.Handle(Role::kCatalogue, "/../main.htm", {}).status, 400);
  EXPECT_EQ(site.Handle(Role::kCatalogue, "/../../../../etc/passwd", {}).status, 400);
  EXPECT_EQ(site.Handle(Role::kCatalogue, "/videos.txt", {}).status, 404);  // content sources stay private
  EXPECT_EQ(site.Handle(Role::kVideo, "/player.php/sid/../x/v.swf", {}).status, 400);
  EXPECT_EQ(site.Handle(Role::kVideo, "/player.php/sid/a%2Fb/v.swf", {}).status, 404);
  // A search with broken GBK bytes and odd parameters still gives a page.
  Reply reply = site.Handle(Role::kCatalogue, "/so/so.asp", {{"k", "\xC1\xFF\x80"}, {"k", "x"}});
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(site.Handle(Role::kCatalogue, "/so/so.asp", {}).status, 200);
}

TEST(DemoSiteTest, HostsAndPortAreFilledEverywhere) {
  EXPECT_EQ(FillHosts("{{CAT}} {{VIDEO}} {{RES1}} {{RES2}} {{SETUP}} {{LIVE}} {{PORT}} {{OTHER}}", 81),
            "127.0.0.1:81 127.0.0.2:81 127.0.0.3:81 127.0.0.4:81 127.0.0.5:81 127.0.0.6:81 81 {{OTHER}}");
  const DemoSite& site = Site();
  EXPECT_EQ(site.MainTemplate().find("{{"), std::string::npos);
  EXPECT_EQ(site.MainTemplate().find(":8790"), std::string::npos);
  const std::string port = ":" + std::to_string(kPort);
  for (auto [role, path] : {std::pair{Role::kCatalogue, "/tj/index.asp"},
                            std::pair{Role::kCatalogue, "/tj_tavelo/tv/play.asp"},
                            std::pair{Role::kLive, "/site1/"}, std::pair{Role::kLive, "/room/1.htm"}}) {
    std::string page = Utf8Page(site.Handle(role, path, {}));
    EXPECT_EQ(page.find("{{"), std::string::npos) << path;
    EXPECT_NE(page.find(port), std::string::npos) << path;
  }
}

TEST(DemoSiteTest, MainTemplateNamesTheDemoHostsAndEveryCategoryPage) {
  TextBuffer buffer;
  buffer.SetText(Site().MainTemplate());
  auto value = [&](const char* key) {
    buffer.Rewind();
    std::string line;
    if (buffer.FindLine(key) != 0 || buffer.NextContentLine(line) != 0) return std::string();
    return line;
  };
  const std::string cat = "http://127.0.0.1:" + std::to_string(kPort);
  EXPECT_EQ(value("[MAIN_URL2]"), cat + "/tj/index.asp");
  EXPECT_EQ(value("[S_URL]"), cat + "/so/so.asp?k=***KEY***");
  EXPECT_EQ(value("[VIDEO_SHOW_HOST]"), "http://127.0.0.2:" + std::to_string(kPort));
  EXPECT_EQ(value("[RESOURCE_SITE2_DOMAIN]"), "127.0.0.4:" + std::to_string(kPort));
  EXPECT_NE(value("[TV]").find("?cmd=TVPLAY|" + cat), std::string::npos);
  EXPECT_NE(value("[TV]").find(Gbk("|在线电视播放|NONEWWINDOW#TOPMOST|950|560|")), std::string::npos);
  EXPECT_NE(value("[YOUKU_PLAY_URL]").find("CODE_URL"), std::string::npos);
  EXPECT_NE(value("[YOUKU_PLAY_URL2]").find("CODE_SECTION"), std::string::npos);
  EXPECT_EQ(value("[LY_URL]"), "http://127.0.0.5:40123/club/addjy.asp?soft=Tavelo");  // the maker's site

  // Every key the portal reads, and how its value starts.
  struct Key {
    const char* key;
    std::string start;
  } keys[] = {
      {"[MAIN_URL2]", cat},  {"[P2P_URL2]", cat},  {"[Y_LXJ]", cat},  {"[Y_DY]", cat},
      {"[Y_ZY]", cat},       {"[Y_DM]", cat},      {"[Y_JLP]", cat},  {"[TV]", cat},     {"[S_URL]", cat},
      {"[VIDEO_NEW_DATA_URL]", cat}, {"[P2P_NEW_DATA_URL]", cat},     {"[CATALOGUE_SERVER]", cat},
      {"[YOUKU_PLAY_URL]", "http://127.0.0.2:40123/"}, {"[YOUKU_PLAY_URL2]", "http://127.0.0.2:40123/"},
      {"[VIDEO_SITE_DOMAIN]", "127.0.0.2:40123"},       {"[VIDEO_PLAYER_HOST]", "127.0.0.2:40123"},
      {"[RESOURCE_SITE1_DOMAIN]", "127.0.0.3:40123"},   {"[MAKER_SITE]", "http://127.0.0.5:40123"},
      {"[SETUP_SERVER]", "http://127.0.0.5:40123"},     {"[LIVE_SITE_1]", "http://127.0.0.6:40123/"},
      {"[YOUKU_PLAY_WIDTH]", "650"}, {"[YOUKU_PLAY_HEIGHT]", "450"},
  };
  for (const Key& k : keys) EXPECT_TRUE(value(k.key).starts_with(k.start)) << k.key << " " << value(k.key);

  // Each category button shows a page of the demo, none falls back to a search.
  for (const char* key : {"[Y_LXJ]", "[Y_DY]", "[Y_ZY]", "[Y_DM]", "[Y_JLP]"}) {
    const std::string address = value(key);
    ASSERT_TRUE(address.starts_with(cat)) << key;
    EXPECT_EQ(Site().Handle(Role::kCatalogue, address.substr(cat.size()), {}).status, 200) << key;
  }
}

TEST(DemoSiteTest, CatalogueFilesDescrambleToRecordsOfTheListedVideos) {
  const DemoSite& site = Site();
  int total = 0;
  bool sawVideo = false, sawResource = false;
  for (auto [name, bytes] : site.CatalogueFiles()) {
    EXPECT_NE(site.MainTemplate().find("data/" + name), std::string::npos) << name;
    KeyedXor(bytes, kCatalogueKey);
    RecordList list;
    int count = list.ParseCatalogueText(bytes);
    total += count;
    for (int i = 0; i < count; ++i) {
      ASSERT_FALSE(list[i].fields[0].empty()) << name;
      std::string address(list[i].fields[1]);
      sawVideo |= address.starts_with("http://127.0.0.2:40123/v_show/id_");
      sawResource |= address.starts_with("http://127.0.0.3:40123/bt/");
      // Every record's address is a page the demo serves.
      Role role = address.starts_with("http://127.0.0.2") ? Role::kVideo
                  : address.starts_with("http://127.0.0.3") ? Role::kResource1
                                                             : Role::kResource2;
      EXPECT_EQ(site.Handle(role, address.substr(address.find('/', 7)), {}).status, 200) << address;
    }
  }
  EXPECT_EQ(total, 70);
  EXPECT_TRUE(sawVideo);
  EXPECT_TRUE(sawResource);
}

TEST(DemoSiteTest, ShowPagesOfferEveryListLayoutTheScraperKnows) {
  const DemoSite& site = Site();
  const std::string prefix = "http://127.0.0.2:40123/v_show/id_";
  auto page = [&](const char* id) {
    return site.Handle(Role::kVideo, std::string("/v_show/id_") + id + ".html", {});
  };
  // lxj01..lxj04 use layouts 1 to 4 (each page carries its layout's marker),
  // each with its own number of episodes.
  struct Case {
    const char* id;
    int episodes;
    std::string marker;
  } cases[] = {{"lxj01", 12, "<div class=\"item\" name=\"tvlist\""},
               {"lxj02", 8, "div class=\"program"},
               {"lxj03", 10, "class=\"current\" href=\"" + prefix},
               {"lxj04", 6, "<li class=\"item"}};
  for (const auto& [id, episodes, marker] : cases) {
    std::vector<std::string> ids = ScrapedIds(GbkToUtf8(page(id).body), prefix);
    ASSERT_EQ(ids.size(), static_cast<size_t>(episodes)) << id;
    EXPECT_NE(page(id).body.find(marker), std::string::npos) << id;
    EXPECT_EQ(ids.front(), std::string(id) + "e01");
    // Each episode's own page exists and carries the same list.
    EXPECT_EQ(ScrapedIds(GbkToUtf8(page(ids.back().c_str()).body), prefix), ids);
  }
  // Markers of the other layouts never leak into a page.
  std::string layout2 = GbkToUtf8(page("lxj02").body);
  EXPECT_EQ(CountOf(layout2, "class=\"item"), 0u);
  EXPECT_EQ(CountOf(layout2, "class=\"current\""), 0u);

  // A movie lists itself once; a page without a list has only its title.
  EXPECT_EQ(ScrapedIds(GbkToUtf8(page("dy01").body), prefix), std::vector<std::string>{"dy01"});
  Reply bare = page("dy07");
  EXPECT_TRUE(ScrapedIds(GbkToUtf8(bare.body), prefix).empty());
  EXPECT_NE(GbkToUtf8(bare.body).find("<title>第七个站台"), std::string::npos);
}

TEST(DemoSiteTest, PagesCarryTheCharsetTheirLabelNames) {
  const DemoSite& site = Site();
  Reply gbk = site.Handle(Role::kVideo, "/v_show/id_lxj01.html", {});
  EXPECT_EQ(gbk.contentType, "text/html; charset=gb2312");
  EXPECT_NE(gbk.body.find("charset=gb2312"), std::string::npos);
  EXPECT_NE(gbk.body.find(Gbk("<title>雾港旧事—在线观看—优酷网</title>")), std::string::npos);

  Reply utf8 = site.Handle(Role::kVideo, "/v_show/id_lxj10.html", {});
  EXPECT_EQ(utf8.contentType, "text/html; charset=utf-8");
  EXPECT_NE(utf8.body.find("charset=utf-8"), std::string::npos);
  EXPECT_NE(utf8.body.find("月光列车"), std::string::npos);  // raw UTF-8 bytes

  Reply big5 = site.Handle(Role::kVideo, "/v_show/id_lxj11.html", {});
  EXPECT_EQ(big5.contentType, "text/html; charset=big5");
  // "霧港舊事" in Big5 (iconv -t cp950): C3 FA B4 E4 C2 C2 A8 C6.
  EXPECT_NE(big5.body.find("\xC3\xFA\xB4\xE4\xC2\xC2\xA8\xC6"), std::string::npos);
  EXPECT_EQ(big5.body.find('?'), std::string::npos);  // every character had a Big5 form
  // Read as the portal reads it, the page is the simplified title.
  EXPECT_NE(Big5ToGbk(big5.body).find(Gbk("雾港旧事")), std::string::npos);

  // Text a page echoes cannot switch its charset.
  std::string type;
  EncodePage("<html><head></head><body>charset=utf-8</body></html>", type);
  EXPECT_EQ(type, "text/html; charset=gb2312");
}

TEST(DemoSiteTest, SearchMatchesEveryWordInTitlesAreasTypesActorsAndCategories) {
  const DemoSite& site = Site();
  auto found = [&](const char* utf8Keyword) {
    std::string page = GbkToUtf8(site.Handle(Role::kCatalogue, "/so/so.asp", {{"k", Gbk(utf8Keyword)}}).body);
    size_t at = page.find("找到 ");
    return at == std::string::npos ? -1 : std::stoi(page.substr(at + 7));
  };
  struct Case {
    const char* keyword;
    int found;  // -1: a blank search gets the hint and no count
  } cases[] = {
      {"雾港", 3},          // two videos and one P2P resource
      {"香港", 6},          // area: five videos, one resource
      {"林晓川", 5},        // actor, also as a voice
      {"ADAM", 2},          // ASCII letters match in any case
      {"冰原求生英国", 0},  // a word does not span two fields (title, area)
      {"没有这个", 0},
      {"  ", -1},
      {"\xE3\x80\x80", -1},  // an ideographic space alone
      // The documentaries button's fallback word is their category's name:
      // the ten documentaries and a resource titled with it.
      {"纪录片", 11},
      {"电影", 14},
      // Every word of a search has to match, each in any field.
      {"林晓川 悬疑", 3},    // two series and a resource
      {"悬疑  香港", 2},
      {"林晓川\xE3\x80\x80悬疑", 3},  // ideographic space between the words
      {"纪录片 自然", 5},
      {"雾港 没有这个", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(found(c.keyword), c.found) << c.keyword;

  std::string page = GbkToUtf8(site.Handle(Role::kCatalogue, "/so/so.asp", {{"k", Gbk("暗河")}}).body);
  EXPECT_NE(page.find("cmd=TAVELO|INFO|暗河**TAB**http://127.0.0.2:40123/v_show/id_lxj14.html**TAB**2011"),
            std::string::npos);
  EXPECT_NE(page.find("cmd=TAVELO|AREA|香港|"), std::string::npos);
  EXPECT_NE(page.find("cmd=TAVELO|TYPE|悬疑|"), std::string::npos);
  EXPECT_NE(page.find("cmd=TAVELO|ACTOR|秦朗月|"), std::string::npos);
}

TEST(DemoSiteTest, CatalogueServerPagesCarryEveryCommandKind) {
  const DemoSite& site = Site();
  std::string recommended = GbkToUtf8(site.Handle(Role::kCatalogue, "/tj/index.asp", {{"v", "108"}}).body);
  EXPECT_NE(recommended.find("?cmd=TVPLAY|http://127.0.0.1:40123/tj_tavelo/tv/play.asp|"), std::string::npos);
  EXPECT_NE(recommended.find("cmd=MVPLAY|"), std::string::npos);
  EXPECT_NE(recommended.find("cmd=quillo_cmd|exe|奇洛播放器**TAB**quillo**TAB**quillo.exe|"),
            std::string::npos);
  EXPECT_NE(recommended.find("target=\"_blank\""), std::string::npos);
  EXPECT_EQ(CountOf(recommended, "cmd=TAVELO|INFO|"), 20u);  // four of each category

  std::string p2p = GbkToUtf8(site.Handle(Role::kCatalogue, "/p2p/index.asp", {}).body);
  EXPECT_EQ(CountOf(p2p, "cmd=TAVELO|INFO|"), 10u);
  EXPECT_NE(p2p.find("**TAB**http://127.0.0.4:40123/bt/bt06.html**TAB**"), std::string::npos);

  for (const char* slug : {"lxj", "dy", "zy", "dm", "jlp"}) {
    EXPECT_EQ(site.Handle(Role::kCatalogue, std::string("/list/") + slug + ".htm", {}).status, 200);
  }
  EXPECT_EQ(site.Handle(Role::kSetup, "/club/addjy.asp", {{"soft", "Tavelo"}}).status, 200);
}

TEST(DemoSiteTest, ProblemReportConfirmsWhatWasSent) {
  const DemoSite& site = Site();
  std::string form = GbkToUtf8(site.Handle(Role::kSetup, "/club/addjy.asp", {}).body);
  EXPECT_NE(form.find("<form action=\"/club/savejy.asp\" method=\"get\">"), std::string::npos);
  struct Case {
    Query query;
    const char* shown;
  } cases[] = {
      {{{"soft", "Tavelo"}, {"title", Gbk("播放卡住")}, {"content", Gbk("第3集")}}, "提交成功"},
      {{{"title", Gbk("<b>粗体</b>")}}, "尽快处理:&lt;b&gt;粗体&lt;/b&gt;</p>"},
      {{{"content", Gbk("只有内容")}}, "感谢您的反馈,我们会尽快处理</p>"},
      {{{"soft", "Tavelo"}, {"title", "  "}, {"content", ""}}, "请填写标题或内容后再提交"},
      {{}, "请填写标题或内容后再提交"},
  };
  for (const Case& c : cases) {
    Reply reply = site.Handle(Role::kSetup, "/club/savejy.asp", c.query);
    EXPECT_EQ(reply.status, 200) << c.shown;
    EXPECT_NE(GbkToUtf8(reply.body).find(c.shown), std::string::npos) << c.shown;
  }
}

// The live-TV window hides every new window a page asks for, so the TV pages
// link within their own window, each to every other one.
TEST(DemoSiteTest, LiveTvPagesLinkToEachOtherInTheirOwnWindow) {
  const DemoSite& site = Site();
  const std::string folder = "http://127.0.0.1:40123/tj_tavelo/tv/";
  const char* pages[] = {"play.asp", "ch2.asp", "ch3.asp", "guide.asp"};
  for (const char* page : pages) {
    Reply reply = site.Handle(Role::kCatalogue, std::string("/tj_tavelo/tv/") + page, {{"w", "950"}, {"h", "530"}});
    ASSERT_EQ(reply.status, 200) << page;
    std::string html = GbkToUtf8(reply.body);
    EXPECT_EQ(html.find("target="), std::string::npos) << page;
    EXPECT_EQ(html.find("href=\"#"), std::string::npos) << page;
    for (const char* other : pages) {
      bool linked = html.find("<a href=\"" + folder + other + "\"") != std::string::npos;
      EXPECT_EQ(linked, std::string_view(other) != page) << page << " to " << other;
    }
  }
  std::string channel = GbkToUtf8(site.Handle(Role::kCatalogue, "/tj_tavelo/tv/ch2.asp", {}).body);
  EXPECT_NE(channel.find("<video src=\"http://127.0.0.2:40123/player/clip.webm\""), std::string::npos);
  EXPECT_NE(channel.find("<b>演示二台</b>"), std::string::npos);
  std::string guide = GbkToUtf8(site.Handle(Role::kCatalogue, "/tj_tavelo/tv/guide.asp", {}).body);
  EXPECT_NE(guide.find("<td>20:00</td><td>最后一班渡轮</td>"), std::string::npos);
}

TEST(DemoSiteTest, PlayerPageShowsWhatItWasGivenEscaped) {
  const DemoSite& site = Site();
  Reply reply = site.Handle(Role::kVideo, "/player/play.htm",
                            {{"name", Gbk("雾港旧事<script>")}, {"section", Gbk("第3集")},
                             {"url", "http://127.0.0.2:40123/v_show/id_lxj01e03.html"}});
  std::string page = GbkToUtf8(reply.body);
  EXPECT_EQ(reply.contentType, "text/html; charset=gb2312");
  EXPECT_NE(page.find("雾港旧事&lt;script&gt;"), std::string::npos);
  EXPECT_EQ(page.find("<script>"), std::string::npos);
  EXPECT_NE(page.find("第3集"), std::string::npos);
  EXPECT_NE(page.find("<video src=\"http://127.0.0.2:40123/player/clip.webm\""), std::string::npos);

  Reply clip = site.Handle(Role::kVideo, "/player/clip.webm", {});
  EXPECT_EQ(clip.contentType, "video/webm");
  EXPECT_GT(clip.body.size(), 1000u);
  EXPECT_LT(clip.body.size(), 1000000u);
  EXPECT_EQ(clip.body.substr(0, 4), "\x1A\x45\xDF\xA3");  // EBML (WebM) signature

  // Only a web address becomes the link to the original page.
  struct Case {
    const char* url;
    bool linked;
  } cases[] = {{"http://127.0.0.2:40123/v_show/id_lxj01e03.html", true},
               {"javascript:alert(1)", false},
               {"", false}};
  for (const Case& c : cases) {
    std::string shown = GbkToUtf8(site.Handle(Role::kVideo, "/player/play.htm", {{"url", c.url}}).body);
    EXPECT_EQ(shown.find("<a href=\"" + std::string(c.url) + "\"") != std::string::npos, c.linked) << c.url;
    EXPECT_EQ(shown.find("原地址") != std::string::npos, c.linked) << c.url;
  }
}

TEST(DemoSiteTest, SitePlayerKnowsItsEpisodesById) {
  const DemoSite& site = Site();
  std::string page = GbkToUtf8(site.Handle(Role::kVideo, "/player.php/sid/lxj01e02/v.swf", {}).body);
  EXPECT_NE(page.find("<b id=\"name\">雾港旧事</b> <span id=\"section\">第2集</span>"), std::string::npos);
  EXPECT_NE(page.find("<a href=\"http://127.0.0.2:40123/v_show/id_lxj01e02.html\""), std::string::npos);
  EXPECT_NE(page.find("/player/clip.webm"), std::string::npos);
  EXPECT_EQ(site.Handle(Role::kVideo, "/player.php/sid/nosuch/v.swf", {}).status, 404);
}

TEST(DemoSiteTest, ResourcePagesHoldTheirSitesMarkers) {
  const DemoSite& site = Site();
  std::string first = GbkToUtf8(site.Handle(Role::kResource1, "/bt/bt01.html", {}).body);
  size_t start = first.find("<!--Content Start-->");
  ASSERT_NE(start, std::string::npos);
  EXPECT_GT(first.find("<font color=red>下载地址2"), start);
  EXPECT_GT(first.find("<script language=javascript src="), start);
  EXPECT_GT(first.find("<div class=\"x\""), start);
  EXPECT_EQ(site.Handle(Role::kResource2, "/bt/bt01.html", {}).status, 404);  // on its own host only

  int related = 0;
  for (const char* id : {"bt06", "bt07", "bt08", "bt09", "bt10"}) {
    std::string page = GbkToUtf8(site.Handle(Role::kResource2, std::string("/bt/") + id + ".html", {}).body);
    size_t marker = page.find("<!-- Baidu Button END -->");
    ASSERT_NE(marker, std::string::npos) << id;
    EXPECT_GT(page.find("相关资源"), marker) << id;
    if (page.find("related_post_title") != std::string::npos) ++related;
  }
  EXPECT_EQ(related, 1);
}

TEST(DemoSiteTest, LiveSitesOpenRoomsInNewWindows) {
  const DemoSite& site = Site();
  int playLinks = 0;
  for (const char* path : {"/site1/", "/site2/", "/site3/show", "/site4/", "/site5/"}) {
    Reply reply = site.Handle(Role::kLive, path, {});
    ASSERT_EQ(reply.status, 200) << path;
    std::string page = GbkToUtf8(reply.body);
    EXPECT_EQ(CountOf(page, "target=\"_blank\""), 3u) << path;
    playLinks += static_cast<int>(CountOf(page, "?cmd=PLAYMV|"));
  }
  EXPECT_EQ(playLinks, 1);
  EXPECT_EQ(site.Handle(Role::kLive, "/room/6.htm", {}).status, 200);
}

TEST(DemoSiteTest, ListsSkipMalformedLines) {
  std::vector<Video> videos = ParseVideos(
      "# comment\n"
      "ok1\tDY\t名字\t2010\t内地\t剧情\t某人\t3\t2\n"
      "bad/id\tDY\tx\t2010\ta\tb\tc\t1\t1\n"   // id with a slash
      "ok2\tXX\tx\t2010\ta\tb\tc\t1\t1\n"      // unknown category
      "ok3\tDY\tx\t2010\ta\tb\tc\tmany\t1\n"   // episodes not a number
      "ok4\tDY\tx\t2010\ta\tb\tc\t0\t1\n"      // no episodes
      "ok5\tDY\tx\t2010\ta\tb\tc\t1\t7\n"      // unknown layout
      "ok6\tDY\tx\t2010\n"                     // too few fields
      "\n");
  ASSERT_EQ(videos.size(), 1u);
  EXPECT_EQ(videos[0].id, "ok1");
  EXPECT_EQ(videos[0].episodes, 3);
  EXPECT_EQ(videos[0].layout, '2');

  std::vector<Resource> resources = ParseResources("r1\t2\tt\t1\ta\tb\tc\t1 GB\nr2\t3\tt\t1\ta\tb\tc\t1 GB\n");
  ASSERT_EQ(resources.size(), 1u);
  EXPECT_EQ(resources[0].site, 2);
}

TEST(DemoSiteTest, MissingContentIsReportedNotServed) {
  std::string error;
  EXPECT_FALSE(DemoSite::Load("/nonexistent/demo", 1, error));
  EXPECT_NE(error.find("/nonexistent/demo"), std::string::npos);
}

}  // namespace
}  // namespace tavelo::demo
