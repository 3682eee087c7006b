#include "catalogue/site_config.h"

#include "text/template_file.h"

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

}  // namespace tavelo
