#pragma once
// The hosts of the outside sites. Each is read from data/main.htm when it is
// needed, so an edited template takes effect at once; without a value the
// built-in default applies: the bundled demo catalogue's hosts
// (tavelo-demo-server on its default port, one loopback address per role).
// The template path defaults to the current directory's, which start-up
// makes the program folder; tools pass the folder they work on.

#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

// The value of `key` in the template, or `fallback` when it has none.
std::string ConfiguredValue(std::string_view key, std::string_view fallback,
                            const std::string& templatePath);

// Scheme and host of the catalogue server ("http://host:port").
std::string CatalogueServer(const std::string& templatePath);
// Scheme and host of the maker's web site.
std::string MakerSite(const std::string& templatePath);
// Scheme and host of the setup server.
std::string SetupServer(const std::string& templatePath);
// The video site's domain, as looked for in a record's text.
std::string VideoSiteDomain(const std::string& templatePath);
// Scheme and host of the video site's show pages (before "/v_show/id_").
std::string VideoShowHost(const std::string& templatePath);
// Host of the video site's own player.
inline constexpr const char* kDefaultVideoPlayerHost = "127.0.0.2:8790";
std::string VideoPlayerHost(const std::string& templatePath);
// Domain of torrent resource site 1 or 2.
std::string ResourceSiteDomain(int site, const std::string& templatePath);

// The servers whose pages may ask the program to act (open windows, start
// programs), as WebHostAndPort gives them: those of the catalogue's main,
// category, search, live TV and problem-report pages, the catalogue server,
// the setup server, the maker's site and the live-show sites. The video and
// resource sites are not among them: the program only shows their pages.
std::vector<std::string> TrustedPageHosts(const std::string& templatePath);

}  // namespace tavelo
