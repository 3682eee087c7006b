#pragma once
// Where the program looks when data/main.htm names no address for a page:
// the hosts of the bundled demo catalogue (tavelo-demo-server on its default
// port), one loopback address per role as the real sites have hosts of their own.

namespace tavelo {

inline constexpr const char* kDefaultCatalogueServer = "http://127.0.0.1:8790";
inline constexpr const char* kDefaultMakerSite = "http://127.0.0.5:8790";
// The two torrent resource sites whose records open in the resource window.
inline constexpr const char* kResourceSiteHosts[] = {"127.0.0.3:8790", "127.0.0.4:8790"};

}  // namespace tavelo
