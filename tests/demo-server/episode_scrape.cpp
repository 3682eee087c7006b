#include "episode_scrape.h"

#include <algorithm>

#include "text/encoding.h"
#include "text/gbk_text.h"

namespace tavelo::demo {

namespace {

constexpr std::string_view kIdAttribute = "id=\"item_";
constexpr std::string_view kTitleAttribute = "title=\"";

void AddEpisode(std::vector<EpisodeRow>& rows, std::string_view showPrefix, std::string address,
                std::string label, int scan) {
  if (address.find('/') == std::string::npos) address = std::string(showPrefix) + address + ".html";
  for (char cut : {'?', '#'}) {
    size_t at = address.find(cut);
    if (at != std::string::npos && at > 0) address.resize(at);
  }
  auto same = [&](const EpisodeRow& row) { return row.address == address; };
  if (std::none_of(rows.begin(), rows.end(), same)) rows.push_back({std::move(label), std::move(address), scan});
}

// The id inside a tag by the rule of scans 1, 2 and 4; empty when it fails.
std::string ItemId(std::string_view tag) {
  size_t start = tag.find(kIdAttribute);
  if (start == std::string_view::npos) return {};
  start += kIdAttribute.size();
  size_t end = tag.find('"', start);
  return end == std::string_view::npos ? std::string() : std::string(tag.substr(start, end - start));
}

}  // namespace

std::vector<EpisodeRow> ScanEpisodeLists(std::string_view page, std::string_view showPrefix) {
  const std::string markers[] = {"<div class=\"item\" name=\"tvlist\"", "div class=\"program",
                                 "class=\"current\" href=\"" + std::string(showPrefix), "class=\"item"};
  std::vector<EpisodeRow> rows;
  for (int scan = 1; scan <= 4; ++scan) {
    const std::string& marker = markers[scan - 1];
    size_t pos = 0;
    while (true) {
      size_t m = page.find(marker, pos);
      if (m == std::string_view::npos) break;
      size_t s = m + marker.size();
      size_t e = page.find('>', s);
      if (e == std::string_view::npos) break;
      std::string_view tag = page.substr(s, e - s);
      pos = e + 1;
      std::string id;
      if (scan == 3) {
        size_t html = tag.find(".html");
        if (html != std::string_view::npos) id = tag.substr(0, html);
      } else {
        id = ItemId(tag);
      }
      if (id.empty()) continue;
      size_t title = tag.find(kTitleAttribute);
      if (title == std::string_view::npos) continue;
      title += kTitleAttribute.size();
      size_t close = tag.find('"', title);
      if (close == std::string_view::npos) continue;
      AddEpisode(rows, showPrefix, id, std::string(tag.substr(title, close - title)), scan);
    }
  }
  return rows;
}

std::string ExtractPageTitle(std::string_view page) {
  size_t s = page.find("<title>");
  if (s == std::string_view::npos) return {};
  s += 7;
  size_t e = page.find("</title>", s);
  if (e == std::string_view::npos || e - s < 3) return {};
  std::string_view title = page.substr(s, e - s);
  for (const std::string& cut : {Gbk("—"), Gbk("优酷网")}) {
    size_t at = title.find(cut);
    if (at != std::string_view::npos && at > 0) title = title.substr(0, at);
  }
  return std::string(Trim(title));
}

std::vector<EpisodeRow> ScrapeEpisodes(std::string_view page, std::string_view showPrefix,
                                       std::string_view pageAddress) {
  std::vector<EpisodeRow> rows = ScanEpisodeLists(page, showPrefix);
  std::string title = ExtractPageTitle(page);
  if (!title.empty()) AddEpisode(rows, showPrefix, std::string(pageAddress), title, 0);
  return rows;
}

}  // namespace tavelo::demo
