#pragma once
// The made-up sites that tavelo-demo-server stands in for: the catalogue
// server, the video site, two resource sites, the setup server (with the
// maker's site) and the live-show sites. Each role has a loopback host of its
// own. Everything is rendered once, when the site is loaded, from the UTF-8
// content folder with the hosts and port filled in; requests only look pages
// up, so no request path ever reaches the file system. This class knows
// nothing about HTTP: the server maps requests onto Handle().

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "demo_html.h"

namespace tavelo::demo {

enum class Role { kCatalogue, kVideo, kResource1, kResource2, kSetup, kLive };
inline constexpr int kRoleCount = 6;
inline constexpr int kDefaultPort = 8790;

// "catalogue", "video", ... : the role's content sub-folder and log name.
std::string_view RoleName(Role role);
// "127.0.0.1" to "127.0.0.6".
std::string RoleHost(Role role);
// "127.0.0.N:port", the form every address in the content carries.
std::string RoleAddress(Role role, int port);

// Replaces {{CAT}}, {{VIDEO}}, {{RES1}}, {{RES2}}, {{SETUP}}, {{LIVE}} by the
// roles' host:port and {{PORT}} by the port. Unknown {{...}} stay as written.
std::string FillHosts(std::string_view text, int port);

struct Video {
  std::string id, category, title, year, area, type, actors;
  int episodes = 1;
  char layout = '1';  // '1'..'4' list layouts, 'U' UTF-8 page, 'B' Big5 page, 'N' no list
  std::string pageTitle;  // the show page's <title> text when given (the Big5 page's)
};

struct Resource {
  std::string id;
  int site = 1;
  std::string title, year, area, type, actors, size;
};

// Parse the TAB-separated lists of the content folder. Comment lines ("#"),
// blank lines and lines with missing or unusable fields are skipped.
std::vector<Video> ParseVideos(std::string_view text);
std::vector<Resource> ParseResources(std::string_view text);

// Query parameters as the server decoded them (raw bytes, GBK from the portal).
using Query = std::multimap<std::string, std::string>;

struct Reply {
  int status = 404;
  std::string contentType;
  std::string body;
};

class DemoSite {
 public:
  // Reads and renders the content folder for the given port. Empty, with
  // `error` set, when a required file is missing or unreadable.
  static std::optional<DemoSite> Load(const std::string& contentDir, int port,
                                      std::string& error);

  Reply Handle(Role role, std::string_view path, const Query& query) const;

  // data/main.htm for the portal, GBK.
  const std::string& MainTemplate() const { return mainTemplate_; }
  // The catalogue data files named in main.htm: (file name, scrambled GBK bytes).
  std::vector<std::pair<std::string, std::string>> CatalogueFiles() const;

  int Port() const { return port_; }
  size_t VideoCount() const { return videos_.size(); }
  size_t ResourceCount() const { return resources_.size(); }

 private:
  DemoSite() = default;

  void RenderCatalogue();
  void RenderVideoSite();
  void RenderResourceSites();
  bool MakeUpdatePackages(std::string& error);
  bool MakeCompanionPackages(const std::filesystem::path& folder, std::string& error);
  Reply Search(const Query& query) const;
  // The player page for an episode (UTF-8 texts, escaped here).
  Reply PlayerPage(std::string_view address, std::string_view name,
                   std::string_view section) const;
  void AddPage(Role role, const std::string& path, const std::string& utf8Html);

  int port_ = kDefaultPort;
  std::vector<Video> videos_;
  std::vector<Resource> resources_;
  std::string mainTemplate_;
  std::string playerTemplate_;  // UTF-8, hosts filled, placeholders for the query values
  struct EpisodeName {
    std::string title, label;
  };
  std::map<std::string, EpisodeName> episodes_;  // by episode id, for the site's own player
  std::map<std::string, Reply> pages_[kRoleCount];
};

// Turns a request path into a page key: "/" and paths ending in "/" name
// their "index.htm". Empty for paths that are not plain absolute paths
// (no "..", ".", empty segments, backslashes or control bytes).
std::string PageKey(std::string_view path);

}  // namespace tavelo::demo
