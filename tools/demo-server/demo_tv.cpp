#include "demo_tv.h"

#include <string_view>

#include "demo_html.h"
#include "demo_site.h"

namespace tavelo::demo {

namespace {

constexpr const char* kFolder = "/tj_tavelo/tv/";
constexpr const char* kGuidePage = "guide.asp";

struct Programme {
  const char* time;
  const char* name;
};

struct Channel {
  const char* page;
  const char* name;
  Programme programmes[4];
};

// Made up for the demo, like everything the demo server shows.
constexpr Channel kChannels[] = {
    {"play.asp", "演示一台", {{"06:00", "早安资讯"}, {"08:30", "雾港旧事 第3集"}, {"12:00", "午间快报"}, {"19:30", "周末大厨房"}}},
    {"ch2.asp", "演示二台", {{"07:00", "星际小猫"}, {"10:00", "纸飞机"}, {"14:30", "声音的旅行"}, {"20:00", "最后一班渡轮"}}},
    {"ch3.asp", "演示新闻", {{"06:30", "城市早报"}, {"12:30", "午间快讯"}, {"18:00", "城市快讯"}, {"22:00", "晚间新闻"}}},
};

constexpr const char* kStyle =
    "body{margin:0;background:#102030;color:#eee;font-size:13px}.bar{padding:6px 10px}"
    "a{color:#9cf;margin-right:12px}b{margin-right:12px}video{width:100%;height:80%;background:#000}"
    "td{padding:2px 12px 2px 0}.box{border-color:#345;margin:8px 10px}";

// The channel bar: every channel and the guide, the page's own entry in bold.
std::string ChannelBar(const std::string& folder, std::string_view current) {
  std::string bar = "<div class=\"bar\">频道: ";
  for (const Channel& channel : kChannels) {
    bar += current == channel.page ? "<b>" + EscapeHtml(channel.name) + "</b>"
                                   : Link(folder + channel.page, channel.name);
  }
  bar += "| ";
  bar += current == kGuidePage ? std::string("<b>节目单</b>") : Link(folder + kGuidePage, "节目单");
  return bar + "</div>\n";
}

}  // namespace

std::vector<RenderedPage> LiveTvPages(int port) {
  const std::string folder = "http://" + RoleAddress(Role::kCatalogue, port) + kFolder;
  const std::string clip = "http://" + RoleAddress(Role::kVideo, port) + "/player/clip.webm";
  std::vector<RenderedPage> pages;
  std::string guide = PageHead("节目单 - 在线电视播放", "gb2312", kStyle) + ChannelBar(folder, kGuidePage);
  for (const Channel& channel : kChannels) {
    std::string page = PageHead(std::string(channel.name) + " - 在线电视播放", "gb2312", kStyle) +
                       ChannelBar(folder, channel.page) + "<video src=\"" + clip +
                       "\" controls autoplay loop></video>\n<div class=\"bar\">正在播放: " +
                       EscapeHtml(channel.name) + " " + channel.programmes[0].name +
                       " (演示电视直播: 信号来自本机的演示服务器。)</div>\n" + std::string(kPageEnd);
    pages.push_back({kFolder + std::string(channel.page), std::move(page)});

    guide += "<div class=box><b>" + EscapeHtml(channel.name) + "</b>" + Link(folder + channel.page, "收看") +
             "\n<table>\n";
    for (const Programme& programme : channel.programmes) {
      guide += "<tr><td>" + std::string(programme.time) + "</td><td>" + EscapeHtml(programme.name) + "</td></tr>\n";
    }
    guide += "</table></div>\n";
  }
  pages.push_back({kFolder + std::string(kGuidePage), guide + std::string(kPageEnd)});
  return pages;
}

}  // namespace tavelo::demo
