#include "running_demo.h"

#include <sys/stat.h>

#include <cstdio>

#include "support/temp_dir.h"

namespace tavelo::demo {

namespace {

constexpr std::string_view kScheme = "http://";
bool NeedsEscape(unsigned char c) {
  return c <= 0x20 || c >= 0x7F || std::string_view("\"<>\\^`{|}").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string EscapeTarget(std::string_view target) {
  std::string escaped;
  for (unsigned char c : target) {
    if (NeedsEscape(c)) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      escaped += hex;
    } else {
      escaped += static_cast<char>(c);
    }
  }
  return escaped;
}

}  // namespace

RunningDemo::RunningDemo() {
  port_ = server_.Bind(0);
  if (port_ < 0) {
    error_ = "cannot bind the demo hosts";
    return;
  }
  auto site = DemoSite::Load(TAVELO_DEMO_CONTENT, port_, error_);
  if (!site) return;
  site_ = std::make_unique<DemoSite>(std::move(*site));
  server_.Start(*site_);
}

RunningDemo::~RunningDemo() { server_.Stop(); }

httplib::Result RunningDemo::Get(Role role, const std::string& target, const httplib::Headers& headers) const {
  httplib::Client client(RoleHost(role), port_);
  client.set_connection_timeout(5);
  client.set_url_encode(false);
  return client.Get(target.c_str(), headers);
}

std::optional<Role> RunningDemo::RoleOf(std::string_view address) const {
  if (!address.starts_with(kScheme)) return std::nullopt;
  std::string_view rest = address.substr(kScheme.size());
  std::string_view host = rest.substr(0, rest.find_first_of("/?#"));
  for (int index = 0; index < kRoleCount; ++index) {
    Role role = static_cast<Role>(index);
    if (host == RoleAddress(role, port_)) return role;
  }
  return std::nullopt;
}

httplib::Result RunningDemo::Fetch(std::string_view address) const {
  std::optional<Role> role = RoleOf(address);
  if (!role) return httplib::Result(nullptr, httplib::Error::Unknown);
  std::string_view rest = address.substr(kScheme.size());
  size_t path = rest.find_first_of("/?#");
  std::string target = path == std::string_view::npos ? "/" : std::string(rest.substr(path));
  target = target.substr(0, target.find('#'));
  if (target.empty() || target.front() != '/') target.insert(0, "/");
  return Get(*role, EscapeTarget(target));
}

ProgramPaths RunningDemo::PrepareProgramFolder(const std::string& folder) const {
  ProgramPaths paths{folder};
  mkdir(paths.In(kDataFolder).c_str(), 0755);
  mkdir(paths.In(kEpisodeCacheFolder).c_str(), 0755);
  testing::WriteFile(paths.Template(), site_->MainTemplate());
  return paths;
}

}  // namespace tavelo::demo
