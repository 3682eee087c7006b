#include "catalogue/site_config.h"

#include <algorithm>
#include <array>

#include "text/template_file.h"
#include "text/url_text.h"

namespace tavelo {

std::string ConfiguredValue(std::string_view key, std::string_view fallback,
                            const std::string& templatePath) {
  std::string value = TemplateValue(templatePath, key);
  return value.empty() ? std::string(fallback) : value;
}

std::string CatalogueServer(const std::string& templatePath) {
  return ConfiguredValue("[CATALOGUE_SERVER]", "http://127.0.0.1:8790", templatePath);
}
std::string MakerSite(const std::string& templatePath) {
  return ConfiguredValue("[MAKER_SITE]", "http://127.0.0.5:8790", templatePath);
}
std::string SetupServer(const std::string& templatePath) {
  return ConfiguredValue("[SETUP_SERVER]", "http://127.0.0.5:8790", templatePath);
}
std::string VideoSiteDomain(const std::string& templatePath) {
  return ConfiguredValue("[VIDEO_SITE_DOMAIN]", "127.0.0.2:8790", templatePath);
}
std::string VideoShowHost(const std::string& templatePath) {
  return ConfiguredValue("[VIDEO_SHOW_HOST]", "http://127.0.0.2:8790", templatePath);
}
std::string VideoPlayerHost(const std::string& templatePath) {
  return ConfiguredValue("[VIDEO_PLAYER_HOST]", kDefaultVideoPlayerHost, templatePath);
}

std::string ResourceSiteDomain(int site, const std::string& templatePath) {
  return site == 1 ? ConfiguredValue("[RESOURCE_SITE1_DOMAIN]", "127.0.0.3:8790", templatePath)
                   : ConfiguredValue("[RESOURCE_SITE2_DOMAIN]", "127.0.0.4:8790", templatePath);
}

std::vector<std::string> TrustedPageHosts(const std::string& templatePath) {
  static constexpr std::array<std::string_view, 15> kPageKeys = {
      "[MAIN_URL2]",   "[P2P_URL2]",    "[Y_LXJ]",       "[Y_DY]",        "[Y_ZY]",
      "[Y_DM]",        "[Y_JLP]",       "[TV]",          "[S_URL]",       "[LY_URL]",
      "[LIVE_SITE_1]", "[LIVE_SITE_2]", "[LIVE_SITE_3]", "[LIVE_SITE_4]", "[LIVE_SITE_5]"};
  TemplateFile file;
  file.Load(templatePath);
  std::vector<std::string> addresses = {CatalogueServer(templatePath), SetupServer(templatePath),
                                        MakerSite(templatePath)};
  for (std::string_view key : kPageKeys) addresses.push_back(file.GetValue(key));
  std::vector<std::string> hosts;
  for (const std::string& address : addresses) {
    std::string host = WebHostAndPort(address);
    if (!host.empty() && std::find(hosts.begin(), hosts.end(), host) == hosts.end()) hosts.push_back(host);
  }
  return hosts;
}

}  // namespace tavelo
