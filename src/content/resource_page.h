#pragma once
// The page a resource window shows for a P2P item: the part of the resource
// site's page that describes the resource, cut out by fixed markers and
// wrapped in a small local page. Pure text in, text out (GBK).

#include <optional>
#include <string>
#include <string_view>

namespace tavelo {

// The domains of the two resource sites, as configured.
struct ResourceSiteDomains {
  std::string first;
  std::string second;
};

// A catalogue record that names either resource site opens a resource
// window rather than a play window.
bool NamesResourceSite(std::string_view record, const ResourceSiteDomains& domains);

// The second site's pages are loaded by a browser (they are built by
// scripts); every other address is downloaded.
bool FetchedByBrowser(std::string_view pageAddress, const ResourceSiteDomains& domains);

// The part of `page` that describes the resource; "取数据失败" when the
// site's start marker is missing.
std::string ExtractResourceInfo(std::string_view pageAddress, std::string_view page,
                                const ResourceSiteDomains& domains);

// The local page: a fixed head that silences script errors, the title as a
// heading, then the part.
std::string BuildResourcePage(std::string_view title, std::string_view part);

// Which browser status texts reach the window's status line: not a repeat,
// not empty after trimming, not the engine's "done" words, no generated
// "about:" page.
class StatusTextFilter {
 public:
  // The text to show, or nothing when the status line keeps what it has.
  std::optional<std::string> Accept(std::string_view text);

 private:
  std::string last_;
};

}  // namespace tavelo
