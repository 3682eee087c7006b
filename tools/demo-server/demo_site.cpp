#include "demo_site.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "catalogue/catalogue_store.h"
#include "catalogue_tool.h"
#include "base/file_digest.h"
#include "demo_search.h"
#include "demo_tv.h"
#include "net/zip_writer.h"
#include "text/encoding.h"
#include "text/field_escapes.h"
#include "text/gbk_text.h"
#include "text/splitters.h"
#include "text/text_buffer.h"

namespace tavelo::demo {

namespace fs = std::filesystem;

namespace {

constexpr Role kRoles[kRoleCount] = {Role::kCatalogue, Role::kResource1, Role::kResource2,
                                     Role::kSetup,     Role::kVideo,     Role::kLive};

struct CategoryInfo {
  const char* key;   // as in videos.txt
  const char* slug;  // page and file names
  const char* name;  // shown to the user
  const char* tag;   // catalogue descriptor tag
};

constexpr CategoryInfo kCategories[] = {
    {"LXJ", "lxj", "连续剧", "v1"}, {"DY", "dy", "电影", "v2"},    {"ZY", "zy", "综艺", "v3"},
    {"DM", "dm", "动漫", "v4"},     {"JLP", "jlp", "纪录片", "v5"},
};

const CategoryInfo* FindCategory(std::string_view key) {
  for (const CategoryInfo& category : kCategories) {
    if (key == category.key) return &category;
  }
  return nullptr;
}

std::vector<std::string> SplitTabs(std::string_view line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t tab = line.find('\t', start);
    fields.emplace_back(Trim(line.substr(start, tab == std::string_view::npos ? tab : tab - start)));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  return fields;
}

template <typename Fn>
void ForEachDataLine(std::string_view text, Fn&& fn) {
  size_t position = 0;
  while (auto line = NextLineAt(text, position)) {
    if (line->empty() || line->front() == '#') continue;
    fn(SplitTabs(*line));
  }
}

bool IsPlainId(std::string_view id) {
  return !id.empty() && id.size() <= 32 && std::all_of(id.begin(), id.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
}

std::vector<std::string> SplitSlash(const std::string& text) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start <= text.size()) {
    size_t slash = text.find('/', start);
    if (slash == std::string::npos) slash = text.size();
    if (slash > start) words.push_back(text.substr(start, slash - start));
    start = slash + 1;
  }
  return words;
}

std::string InfoText(const std::string& title, const std::string& address, const Video& v) {
  return title + "\n" + address + "\n" + v.year + "\n" + v.area + "\n" + v.type + "\n" + v.actors;
}

}  // namespace

std::string_view RoleName(Role role) {
  switch (role) {
    case Role::kCatalogue: return "catalogue";
    case Role::kVideo: return "video";
    case Role::kResource1: return "res1";
    case Role::kResource2: return "res2";
    case Role::kSetup: return "setup";
    case Role::kLive: return "live";
  }
  return "unknown";
}

std::string RoleHost(Role role) { return "127.0.0." + std::to_string(static_cast<int>(role) + 1); }

std::string RoleAddress(Role role, int port) { return RoleHost(role) + ":" + std::to_string(port); }

std::string FillHosts(std::string_view text, int port) {
  static constexpr std::pair<std::string_view, Role> kNames[] = {
      {"{{CAT}}", Role::kCatalogue}, {"{{VIDEO}}", Role::kVideo}, {"{{RES1}}", Role::kResource1},
      {"{{RES2}}", Role::kResource2}, {"{{SETUP}}", Role::kSetup}, {"{{LIVE}}", Role::kLive},
  };
  std::string out(text);
  for (const auto& [name, role] : kNames) out = ReplaceAll(out, name, RoleAddress(role, port));
  return ReplaceAll(out, "{{PORT}}", std::to_string(port));
}

std::vector<Video> ParseVideos(std::string_view text) {
  std::vector<Video> videos;
  ForEachDataLine(text, [&](const std::vector<std::string>& f) {
    if (f.size() < 9 || !IsPlainId(f[0]) || !FindCategory(f[1]) || f[2].empty()) return;
    if (f[8].size() != 1 || std::string_view("1234UBN").find(f[8][0]) == std::string_view::npos) return;
    Video v{f[0], f[1], f[2], f[3], f[4], f[5], f[6], 0, f[8][0], f.size() > 9 ? f[9] : ""};
    try {
      v.episodes = std::stoi(f[7]);
    } catch (...) {
      return;
    }
    if (v.episodes < 1 || v.episodes > 99) return;
    videos.push_back(std::move(v));
  });
  return videos;
}

std::vector<Resource> ParseResources(std::string_view text) {
  std::vector<Resource> resources;
  ForEachDataLine(text, [&](const std::vector<std::string>& f) {
    if (f.size() < 8 || !IsPlainId(f[0]) || (f[1] != "1" && f[1] != "2") || f[2].empty()) return;
    resources.push_back({f[0], f[1] == "1" ? 1 : 2, f[2], f[3], f[4], f[5], f[6], f[7]});
  });
  return resources;
}

std::string PageKey(std::string_view path) {
  if (path.empty() || path.front() != '/') return {};
  for (char c : path) {
    if (static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == 0x7F) return {};
  }
  // Every segment but a final empty one must be a real name.
  size_t start = 1;
  while (start < path.size()) {
    size_t slash = path.find('/', start);
    std::string_view segment =
        path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
    if (segment.empty() || segment == "." || segment == "..") return {};
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  std::string key(path);
  if (key.back() == '/') key += "index.htm";
  return key;
}

// ---------------------------------------------------------------------------

std::optional<DemoSite> DemoSite::Load(const std::string& contentDir, int port,
                                       std::string& error) {
  DemoSite site;
  site.port_ = port;
  const fs::path root(contentDir);
  std::string videos, resources, mainTemplate, player;
  for (auto [name, target] : {std::pair{"videos.txt", &videos}, std::pair{"p2p.txt", &resources},
                              std::pair{"main.htm", &mainTemplate},
                              std::pair{"player.htm", &player}}) {
    if (!ReadWholeFile((root / name).string(), *target)) {
      error = "cannot read " + (root / name).string();
      return std::nullopt;
    }
  }
  site.videos_ = ParseVideos(videos);
  site.resources_ = ParseResources(resources);
  site.mainTemplate_ = Utf8ToGbk(FillHosts(mainTemplate, port));
  site.playerTemplate_ = FillHosts(player, port);

  // Static files, one folder per role.
  for (Role role : kRoles) {
    fs::path folder = root / RoleName(role);
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) continue;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (!it->is_regular_file(ec)) continue;
      std::string bytes;
      if (!ReadWholeFile(it->path().string(), bytes)) {
        error = "cannot read " + it->path().string();
        return std::nullopt;
      }
      std::string key = "/" + fs::relative(it->path(), folder, ec).generic_string();
      std::string ext = it->path().extension().string();
      Reply reply{200, "application/octet-stream", std::move(bytes)};
      if (ext == ".htm" || ext == ".html" || ext == ".asp" || ext.empty()) {
        reply.body = EncodePage(FillHosts(reply.body, port), reply.contentType);
      } else if (ext == ".txt") {
        reply.contentType = "text/plain; charset=gb2312";
        reply.body = Utf8ToGbk(FillHosts(reply.body, port));
      } else if (ext == ".webm") {
        reply.contentType = "video/webm";
      } else if (ext == ".js") {
        reply.contentType = "application/javascript";
      } else if (ext == ".png") {
        reply.contentType = "image/png";
      } else if (ext == ".sh") {
        reply.contentType = "text/plain";
      }
      site.pages_[static_cast<int>(role)][key] = std::move(reply);
    }
  }

  site.RenderCatalogue();
  site.RenderVideoSite();
  site.RenderResourceSites();
  if (!site.MakeUpdatePackages(error) || !site.MakeCompanionPackages(root / "companion", error)) {
    return std::nullopt;
  }
  return site;
}

void DemoSite::AddPage(Role role, const std::string& path, const std::string& utf8Html) {
  Reply reply;
  reply.status = 200;
  reply.body = EncodePage(utf8Html, reply.contentType);
  pages_[static_cast<int>(role)][path] = std::move(reply);
}

namespace {

// The portal's page commands; the catalogue server's own address keeps them
// ordinary links for any other browser, which gets a page that says so.
std::string CommandHref(int port, std::string_view command) {
  return "http://" + RoleAddress(Role::kCatalogue, port) + "/tavelo.asp?" + std::string(command);
}

std::string ShowPrefix(int port) { return "http://" + RoleAddress(Role::kVideo, port) + "/v_show/id_"; }

std::string ShowAddress(std::string_view id, int port) { return ShowPrefix(port) + std::string(id) + ".html"; }

std::string VideoAddress(const Video& v, int port) { return ShowAddress(v.id, port); }

std::string ResourceAddress(const Resource& r, int port) {
  Role role = r.site == 1 ? Role::kResource1 : Role::kResource2;
  return "http://" + RoleAddress(role, port) + "/bt/" + r.id + ".html";
}

std::string InfoHref(int port, const std::string& infoText) {
  return CommandHref(port, "cmd=TAVELO|INFO|" + ReplaceAll(infoText, "\n", kLineBreakEscape) + "|");
}

std::string WordLinks(int port, std::string_view operation, const std::string& values) {
  std::string html;
  for (const std::string& word : SplitSlash(values)) {
    if (!html.empty()) html += " / ";
    html += "<a href=\"" +
            EscapeHtml(CommandHref(port, "cmd=TAVELO|" + std::string(operation) + "|" + word + "|")) +
            "\">" + EscapeHtml(word) + "</a>";
  }
  return html;
}

Video AsVideo(const Resource& r) {
  return {r.id, "", r.title, r.year, r.area, r.type, r.actors, 1, 'N', ""};
}

std::string EntryRow(int port, const Video& v, const std::string& address) {
  std::string info = InfoText(v.title, address, v);
  return "<tr><td><a href=\"" + EscapeHtml(InfoHref(port, info)) + "\"><b>" + EscapeHtml(v.title) +
         "</b></a></td><td>" + EscapeHtml(v.year) + "</td><td>" + WordLinks(port, "AREA", v.area) +
         "</td><td>" + WordLinks(port, "TYPE", v.type) + "</td><td>" +
         WordLinks(port, "ACTOR", v.actors) + "</td></tr>\n";
}

constexpr std::string_view kTableHead =
    "<table class=box>\n<tr><th>名称</th><th>年份</th><th>地区</th><th>类型</th><th>演员</th></tr>\n";

}  // namespace

void DemoSite::RenderCatalogue() {
  const int port = port_;
  const std::string cat = "http://" + RoleAddress(Role::kCatalogue, port);
  const std::string maker = "http://" + RoleAddress(Role::kSetup, port);
  std::string tvCommand = cat + "/tj_tavelo/tv/play.asp?cmd=TVPLAY|" + cat +
                          "/tj_tavelo/tv/play.asp|在线电视播放|NONEWWINDOW#TOPMOST|950|560|";
  std::string extras =
      "<div class=box>更多: <a href=\"" + EscapeHtml(tvCommand) + "\">电视直播</a> | <a href=\"" +
      EscapeHtml(CommandHref(port, "cmd=MVPLAY|")) + "\">美女直播</a> | <a href=\"" +
      EscapeHtml(CommandHref(port, "cmd=quillo_cmd|exe|奇洛播放器**TAB**quillo**TAB**quillo.exe|")) +
      "\">用奇洛播放器看高清</a> | <a href=\"" + maker +
      "/club/addjy.asp?soft=Tavelo\" target=\"_blank\">问题报告</a> | <a href=\"" + maker +
      "/\" target=\"_blank\">软件官网</a></div>\n";

  // Category pages.
  for (const CategoryInfo& category : kCategories) {
    std::string page = PageHead(std::string("Tavelo ") + category.name);
    page += "<h3>" + std::string(category.name) + "</h3>\n";
    page += kTableHead;
    for (const Video& v : videos_) {
      if (v.category == category.key) page += EntryRow(port, v, VideoAddress(v, port));
    }
    page += "</table>\n" + extras + std::string(kPageEnd);
    AddPage(Role::kCatalogue, std::string("/list/") + category.slug + ".htm", page);
  }

  // The recommended page: the first few of every category.
  std::string page = PageHead("Tavelo 推荐视频");
  page += "<h3>推荐视频</h3>\n";
  for (const CategoryInfo& category : kCategories) {
    page += "<div class=box><b>" + std::string(category.name) + "</b> <a href=\"" + cat +
            "/list/" + category.slug + ".htm\" target=\"_blank\">更多...</a>\n" +
            std::string(kTableHead);
    int shown = 0;
    for (const Video& v : videos_) {
      if (v.category == category.key && shown++ < 4) page += EntryRow(port, v, VideoAddress(v, port));
    }
    page += "</table></div>\n";
  }
  page += extras + std::string(kPageEnd);
  AddPage(Role::kCatalogue, "/tj/index.asp", page);

  // The P2P page.
  page = PageHead("Tavelo 讯雷(P2P)种子");
  page += "<h3>讯雷(P2P)种子</h3>\n" + std::string(kTableHead);
  for (const Resource& r : resources_) page += EntryRow(port, AsVideo(r), ResourceAddress(r, port));
  page += "</table>\n" + extras + std::string(kPageEnd);
  AddPage(Role::kCatalogue, "/p2p/index.asp", page);

  for (const RenderedPage& tv : LiveTvPages(port)) AddPage(Role::kCatalogue, tv.path, tv.utf8Html);

  // The server's front page, for a look with any browser.
  page = PageHead("Tavelo 演示目录服务器");
  page += "<h3>Tavelo 演示目录服务器</h3>\n<ul>\n<li>" + Link(cat + "/tj/index.asp", "推荐视频") + "</li>\n";
  for (const CategoryInfo& category : kCategories) {
    page += "<li>" + Link(cat + "/list/" + category.slug + ".htm", category.name) + "</li>\n";
  }
  page += "<li>" + Link(cat + "/p2p/index.asp", "讯雷(P2P)种子") + "</li>\n<li>" +
          Link(cat + "/tj_tavelo/tv/play.asp", "电视直播") + "</li>\n</ul>\n<form action=\"" + cat +
          "/so/so.asp\" method=\"get\">搜索: <input name=\"k\" size=\"30\"> <input type=\"submit\" "
          "value=\"搜索\"></form>\n" + std::string(kPageEnd);
  AddPage(Role::kCatalogue, "/index.htm", page);
}

Reply DemoSite::Search(const Query& query) const {
  auto it = query.find("k");
  std::string keyword = it == query.end() ? "" : std::string(Trim(GbkToUtf8(it->second)));
  const std::vector<std::string> words = SearchWords(keyword);
  // A video's category name counts as one of its words, so the category
  // buttons' fallback searches ("纪录片", ...) find the category.
  auto matches = [&](const Video& v) {
    const CategoryInfo* category = FindCategory(v.category);
    return MatchesEveryWord(words, {v.title, v.area, v.type, v.actors, category ? category->name : ""});
  };
  std::string rows;
  int found = 0;
  if (!words.empty()) {
    for (const Video& v : videos_) {
      if (matches(v)) rows += EntryRow(port_, v, VideoAddress(v, port_)), ++found;
    }
    for (const Resource& r : resources_) {
      if (matches(AsVideo(r))) rows += EntryRow(port_, AsVideo(r), ResourceAddress(r, port_)), ++found;
    }
  }
  std::string page = PageHead("Tavelo 视频搜索");
  if (words.empty()) {
    page += "<p>请输入要搜索的视频名称、演员、地区或类型,多个条件用空格分开。</p>\n";
  } else {
    page += "<p>搜索 <b>" + EscapeHtml(keyword) + "</b>: 找到 " + std::to_string(found) +
            " 个结果</p>\n";
    if (found > 0) page += std::string(kTableHead) + rows + "</table>\n";
  }
  page += kPageEnd;
  Reply reply{200, "", ""};
  reply.body = EncodePage(page, reply.contentType);
  return reply;
}

namespace {

std::string EpisodeLabel(const Video& v, int n) {
  if (v.episodes == 1) return v.title;
  return (v.category == "ZY" ? "第" + std::to_string(n) + "期" : "第" + std::to_string(n) + "集");
}

std::string EpisodeId(const Video& v, int n) {
  if (v.episodes == 1) return v.id;
  return v.id + "e" + (n < 10 ? "0" : "") + std::to_string(n);
}

// One entry of the episode list in the layout the scraper knows as `layout`.
std::string EpisodeItem(char layout, const std::string& showPrefix, const std::string& id,
                        const std::string& label) {
  std::string href = showPrefix + id + ".html";
  std::string text = EscapeHtml(label);
  switch (layout) {
    case '2':
      return "<div class=\"program\" id=\"item_" + id + "\" title=\"" + text + "\"><a href=\"" + href +
             "\">" + text + "</a></div>\n";
    case '3':
      return "<li><a class=\"current\" href=\"" + href + "\" title=\"" + text + "\">" + text +
             "</a></li>\n";
    case '4':
      return "<li class=\"item\" id=\"item_" + id + "\" title=\"" + text + "\"><a href=\"" + href +
             "\">" + text + "</a></li>\n";
    default:
      return "<div class=\"item\" name=\"tvlist\" id=\"item_" + id + "\" title=\"" + text +
             "\"><a href=\"" + href + "\">" + text + "</a></div>\n";
  }
}

}  // namespace

void DemoSite::RenderVideoSite() {
  const std::string showPrefix = ShowPrefix(port_);
  int index = 0;
  for (const Video& v : videos_) {
    std::string title = v.pageTitle;
    if (title.empty()) {
      // Every title carries the site's name, in the two shapes the scraper
      // cuts: at the first "—", or at the name itself.
      title = index++ % 2 == 0 ? v.title + "—在线观看—优酷网" : v.title + " 优酷网";
    }
    const char* charset = v.layout == 'U' ? "utf-8" : v.layout == 'B' ? "big5" : "gb2312";
    char layout = v.layout == 'U' ? '1' : v.layout == 'B' ? '2' : v.layout;
    std::string list;
    if (layout != 'N') {
      list = layout == '3' || layout == '4' ? "<ul class=\"episodes\">\n" : "<div class=\"episodes\">\n";
      for (int n = 1; n <= v.episodes; ++n) list += EpisodeItem(layout, showPrefix, EpisodeId(v, n), EpisodeLabel(v, n));
      list += layout == '3' || layout == '4' ? "</ul>\n" : "</div>\n";
    }
    // The Big5 page says no more than its traditional title, since the list's
    // simplified words have no Big5 form.
    std::string heading = v.pageTitle.empty() ? v.title : v.pageTitle.substr(0, v.pageTitle.find("—"));
    std::string details = v.layout == 'B' ? v.year : v.year + " | " + v.area + " | " + v.type + " | " + v.actors;
    std::string body = "<h1>" + EscapeHtml(heading) + "</h1>\n<p>" + EscapeHtml(details) + "</p>\n" + list;
    std::string page = PageHead(title, charset) + body + std::string(kPageEnd);
    // Every episode has a show page of its own; they all carry the whole list.
    AddPage(Role::kVideo, "/v_show/id_" + v.id + ".html", page);
    // The show page itself plays too: the scraper lists it under the page's title.
    episodes_[v.id] = {v.title, ""};
    for (int n = 1; n <= v.episodes; ++n) {
      std::string id = EpisodeId(v, n);
      if (id != v.id) AddPage(Role::kVideo, "/v_show/id_" + id + ".html", page);
      episodes_[id] = {v.title, EpisodeLabel(v, n)};
    }
  }

  // The site's front page lists every show, so that each can be reached by links.
  std::string front = PageHead("优酷网 - 演示视频网站") + "<h3>演示视频网站</h3>\n";
  for (const CategoryInfo& category : kCategories) {
    front += "<div class=box><b>" + std::string(category.name) + "</b>:";
    for (const Video& v : videos_) {
      if (v.category == category.key) front += " " + Link(VideoAddress(v, port_), v.title);
    }
    front += "</div>\n";
  }
  AddPage(Role::kVideo, "/index.htm", front + std::string(kPageEnd));
}

Reply DemoSite::PlayerPage(std::string_view address, std::string_view name,
                           std::string_view section) const {
  // Only a web address becomes a link; anything else a query brings is shown as text.
  std::string origin;
  if (address.starts_with("http://") || address.starts_with("https://")) {
    origin = " | 原地址: <a href=\"" + EscapeHtml(address) + "\" target=\"_blank\">" + EscapeHtml(address) + "</a>";
  }
  std::string page = ReplaceAll(playerTemplate_, "{{NAME}}", EscapeHtml(name));
  page = ReplaceAll(page, "{{SECTION}}", EscapeHtml(section));
  page = ReplaceAll(page, "{{ORIGIN}}", origin);
  Reply reply{200, "", ""};
  reply.body = EncodePage(page, reply.contentType);
  return reply;
}

void DemoSite::RenderResourceSites() {
  bool relatedShown = false;
  for (const Resource& r : resources_) {
    std::string magnet = "magnet:?xt=urn:btih:" + std::string(40 - std::min<size_t>(40, r.id.size()), '0') + r.id;
    std::string details = "<p>片名: " + EscapeHtml(r.title) + "</p>\n<p>年份: " + EscapeHtml(r.year) +
                          " 地区: " + EscapeHtml(r.area) + " 类型: " + EscapeHtml(r.type) +
                          "</p>\n<p>主演: " + EscapeHtml(r.actors) + "</p>\n<p>大小: " +
                          EscapeHtml(r.size) + "</p>\n<p>下载地址1: <a href=\"" + magnet + "\">" +
                          EscapeHtml(r.title) + "</a></p>\n";
    std::string page = PageHead(r.title + " 下载");
    if (r.site == 1) {
      page += "<div class=\"nav\">首页 &gt; 资源</div>\n<!--Content Start-->\n<div class=\"content\">\n" +
              details + "</div>\n<font color=red>下载地址2</font> <a href=\"" + magnet +
              "2\">备用</a>\n<script language=javascript src=\"/ad.js\"></script>\n"
              "<div class=\"x\">版权所有 演示资源站</div>\n";
    } else {
      page += "<div class=\"share\">分享到</div>\n<!-- Baidu Button END -->\n<div class=\"post\">\n" + details;
      if (!relatedShown) {
        // The site's related-posts heading: the resource window cuts at its tag.
        page += "<h4 class=\"related_post_title\">";
        relatedShown = true;
      } else {
        page += "<h4>";
      }
      page += "相关资源</h4>\n<ul><li>更多演示资源</li></ul>\n</div>\n";
    }
    page += kPageEnd;
    AddPage(r.site == 1 ? Role::kResource1 : Role::kResource2, "/bt/" + r.id + ".html", page);
  }
  for (int site = 1; site <= 2; ++site) {
    std::string page = PageHead(site == 1 ? "演示资源站一" : "演示资源站二");
    page += "<ul>\n";
    for (const Resource& r : resources_) {
      if (r.site == site) page += "<li><a href=\"/bt/" + r.id + ".html\">" + EscapeHtml(r.title) + "</a></li>\n";
    }
    page += "</ul>\n" + std::string(kPageEnd);
    AddPage(site == 1 ? Role::kResource1 : Role::kResource2, "/index.htm", page);
  }
}

namespace {

// A scratch folder for the packer, removed with its contents.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "tavelo-demo-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace

// The update packages hold the newest year's videos and resources. They are
// packed here rather than at build time, so that their addresses carry the
// port this server runs on; the catalogue tool does the packing.
bool DemoSite::MakeUpdatePackages(std::string& error) {
  std::string newest;
  for (const Video& v : videos_) newest = std::max(newest, v.year);
  std::string videoData, resourceData;
  for (const Video& v : videos_) {
    if (v.year == newest) {
      const CategoryInfo* category = FindCategory(v.category);
      videoData += Utf8ToGbk(v.title + "\t" + VideoAddress(v, port_) + "\t" + v.year + "\t" + v.area +
                             "\t" + v.type + "\t" + v.actors + "\t" + category->name) + "\r\n";
    }
  }
  for (const Resource& r : resources_) {
    if (r.year == newest) {
      resourceData += Utf8ToGbk(r.title + "\t" + ResourceAddress(r, port_) + "\t" + r.year + "\t" +
                                r.area + "\t" + r.type + "\t" + r.actors + "\tP2P") + "\r\n";
    }
  }
  ScratchDir scratch;
  if (scratch.Path().empty()) {
    error = "cannot make a temporary folder for the update packages";
    return false;
  }
  struct Package {
    const std::string& data;
    const char* name;
    bool zip;
  };
  for (const Package& package : {Package{videoData, "videonew.dat", false},
                                 Package{resourceData, "p2pnew.zip", true}}) {
    fs::path in = scratch.Path() / "data.txt";
    fs::path out = scratch.Path() / package.name;
    std::ofstream(in, std::ios::binary | std::ios::trunc) << package.data;
    std::vector<std::string> arguments = {"pack", in.string(), out.string()};
    if (package.zip) arguments.push_back("--zip");
    std::ostringstream toolOut, toolErr;
    Reply reply{200, "application/octet-stream", ""};
    if (RunCatalogueTool(arguments, toolOut, toolErr) != 0 || !ReadWholeFile(out, reply.body)) {
      error = "cannot pack " + std::string(package.name) + ": " + toolErr.str();
      return false;
    }
    if (package.zip) reply.contentType = "application/zip";
    pages_[static_cast<int>(Role::kCatalogue)]["/update/" + std::string(package.name)] = std::move(reply);
  }
  return true;
}

// Each companion file becomes the zip package /setup/<name>/<name>.zip of the
// setup server, and its digest replaces {{DIGEST:<file>}} in the install
// descriptions, so a description always matches the packages it lists.
bool DemoSite::MakeCompanionPackages(const fs::path& folder, std::string& error) {
  auto& setupPages = pages_[static_cast<int>(Role::kSetup)];
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return true;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    std::string bytes, digest;
    if (!entry.is_regular_file() || !ReadWholeFile(entry.path(), bytes) ||
        DigestFileHex(entry.path().string(), digest) != 0) {
      error = "cannot read " + entry.path().string();
      return false;
    }
    std::string file = entry.path().filename().string();
    std::string stem = entry.path().stem().string();
    Reply package{200, "application/zip",
                  BuildSingleMemberZip(file, bytes, ZipMethod::kDeflated, DosDateTimeNow())};
    setupPages["/setup/" + stem + "/" + stem + ".zip"] = std::move(package);
    for (auto& [path, reply] : setupPages) {
      reply.body = ReplaceAll(reply.body, "{{DIGEST:" + file + "}}", digest);
    }
  }
  return true;
}

namespace {

// Page commands reach this page only in a browser that does not know them.
// A video's command names its page, which such a browser can still open.
Reply CommandPage(const Query& query, int port) {
  auto it = query.find("cmd");
  std::string command = it == query.end() ? "" : GbkToUtf8(it->second);
  std::string page = PageHead("Tavelo 页面命令");
  page += "<p>这是 Tavelo视频播放器 的页面命令,请在 Tavelo 中点击它。</p>\n";
  FieldList fields;  // "TAVELO", the operation, its argument
  fields.Split(command, '|');
  if (fields[0] == "TAVELO" && fields[1] == "INFO") {
    FieldList record;  // title, address, details
    record.Split(ReplaceAll(fields[2], kLineBreakEscape, "\n"), '\n');
    if (record[1].starts_with("http://")) page += "<p>" + Link(record[1], std::string(record[0]) + " 的网页") + "</p>\n";
  }
  page += "<p>" + Link("http://" + RoleAddress(Role::kCatalogue, port) + "/", "返回演示目录服务器首页") + "</p>\n" +
          std::string(kPageEnd);
  Reply reply{200, "", ""};
  reply.body = EncodePage(page, reply.contentType);
  return reply;
}

// The problem-report form's answer: a confirmation, or a request to write
// something first. Nothing is kept; the form's GBK fields are only echoed.
Reply ReportAnswer(const Query& query) {
  auto field = [&](const char* name) {
    auto it = query.find(name);
    return it == query.end() ? std::string() : std::string(Trim(GbkToUtf8(it->second)));
  };
  const std::string title = field("title");
  std::string page = PageHead("问题报告");
  if (title.empty() && field("content").empty()) {
    page += "<h3>问题报告</h3>\n<p>请填写标题或内容后再提交。</p>\n";
  } else {
    page += "<h3>提交成功</h3>\n<p>感谢您的反馈,我们会尽快处理";
    if (!title.empty()) page += ":" + EscapeHtml(title);
    page += "</p>\n<p>(演示页面: 内容没有发送到任何地方。)</p>\n";
  }
  page += "<p><a href=\"/club/addjy.asp?soft=Tavelo\">返回问题报告</a></p>\n" + std::string(kPageEnd);
  Reply reply{200, "", ""};
  reply.body = EncodePage(page, reply.contentType);
  return reply;
}

}  // namespace

Reply DemoSite::Handle(Role role, std::string_view path, const Query& query) const {
  std::string key = PageKey(path);
  if (key.empty()) return {400, "text/plain", "bad request path\n"};
  auto value = [&](const char* name) {
    auto it = query.find(name);
    return it == query.end() ? std::string() : it->second;
  };
  if (role == Role::kCatalogue && key == "/so/so.asp") return Search(query);
  if (role == Role::kCatalogue && key == "/tavelo.asp") return CommandPage(query, port_);
  if (role == Role::kSetup && key == "/club/savejy.asp") return ReportAnswer(query);
  if (role == Role::kVideo && key == "/player/play.htm") {
    // The portal fills in its GBK texts, percent-encoded.
    return PlayerPage(GbkToUtf8(value("url")), GbkToUtf8(value("name")), GbkToUtf8(value("section")));
  }
  // The site's own player, which the portal falls back to without a player
  // template: it knows its episodes by id.
  constexpr std::string_view kSitePlayer = "/player.php/sid/";
  if (role == Role::kVideo && key.starts_with(kSitePlayer) && key.ends_with("/v.swf")) {
    auto episode = episodes_.find(key.substr(kSitePlayer.size(), key.size() - kSitePlayer.size() - 6));
    if (episode == episodes_.end()) return {404, "text/plain", "no such video\n"};
    return PlayerPage(ShowAddress(episode->first, port_), episode->second.title, episode->second.label);
  }
  const auto& pages = pages_[static_cast<int>(role)];
  auto it = pages.find(key);
  if (it == pages.end()) return {404, "text/plain", "not found\n"};
  return it->second;
}

std::vector<std::pair<std::string, std::string>> DemoSite::CatalogueFiles() const {
  auto record = [](const std::string& title, const std::string& address, const Video& v,
                   std::string_view category) {
    return Utf8ToGbk(title + "\t" + address + "\t" + v.year + "\t" + v.area + "\t" + v.type + "\t" +
                     v.actors + "\t" + std::string(category)) + "\r\n";
  };
  std::vector<std::pair<std::string, std::string>> files;
  for (const CategoryInfo& category : kCategories) {
    std::string text;
    for (const Video& v : videos_) {
      if (v.category == category.key) text += record(v.title, VideoAddress(v, port_), v, category.name);
    }
    files.emplace_back(std::string("demo-") + category.slug + ".dat", std::move(text));
  }
  std::string text;
  for (const Resource& r : resources_) text += record(r.title, ResourceAddress(r, port_), AsVideo(r), "P2P");
  files.emplace_back("demo-p2p.dat", std::move(text));
  for (auto& file : files) KeyedXor(file.second, kCatalogueKey);
  return files;
}

}  // namespace tavelo::demo
