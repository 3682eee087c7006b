#pragma once
// The catalogue server's live-TV pages: a few channels and their programme
// guide. They open in the live-TV window, which loads a page that asks for a
// new window out of sight and blanks it, so every link here stays in the
// window it was clicked in.

#include <string>
#include <vector>

namespace tavelo::demo {

struct RenderedPage {
  std::string path;  // page key on the catalogue server
  std::string utf8Html;
};

// The first channel's page is "/tj_tavelo/tv/play.asp", the address of the
// portal's live-TV command.
std::vector<RenderedPage> LiveTvPages(int port);

}  // namespace tavelo::demo
