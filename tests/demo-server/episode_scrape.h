#pragma once
// The portal's episode scraping, written out again here from the portal's
// side (the four list layouts, the entry rule and the title rule), so that
// the demo's show pages are checked against what the play window does and
// not against the code that made them. Pages are GBK, as the play window
// has them after normalising.

#include <string>
#include <string_view>
#include <vector>

namespace tavelo::demo {

struct EpisodeRow {
  std::string label;
  std::string address;
  int scan = 0;  // 1 to 4: the layout scan that found it; 0: the page-title entry
};

// The rows the four layout scans add, in scan order, without duplicates.
std::vector<EpisodeRow> ScanEpisodeLists(std::string_view page, std::string_view showPrefix);

// The page's title without the site's name, or empty.
std::string ExtractPageTitle(std::string_view page);

// The play window's whole list: the scans' rows, then the show page itself
// labelled with the page's title unless an episode already has its address.
std::vector<EpisodeRow> ScrapeEpisodes(std::string_view page, std::string_view showPrefix,
                                       std::string_view pageAddress);

}  // namespace tavelo::demo
