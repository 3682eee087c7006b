#pragma once
// The demo server with the bundled content, on a port that is free on all
// six hosts, for the suites that talk to it over HTTP. A suite makes one in
// SetUpTestSuite and deletes it in TearDownTestSuite.

#include <httplib.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "base/program_paths.h"
#include "demo_server.h"

namespace tavelo::demo {

class RunningDemo {
 public:
  RunningDemo();
  ~RunningDemo();

  // Empty when the server runs.
  const std::string& Error() const { return error_; }
  int Port() const { return port_; }
  const DemoSite& Site() const { return *site_; }
  // Makes `folder` (with its trailing "/") a program folder of this server:
  // data/ with the demo's template in it, and the episode cache folder.
  ProgramPaths PrepareProgramFolder(const std::string& folder) const;
  // What the server logged so far.
  std::string LogText() const { return log_.str(); }

  httplib::Result Get(Role role, const std::string& target, const httplib::Headers& headers = {}) const;

  // The role whose host an absolute "http://" address names on this port.
  std::optional<Role> RoleOf(std::string_view address) const;
  // Requests an absolute address on one of the demo hosts the way a browser
  // does: bytes outside printable ASCII, and the few a request line cannot
  // carry, percent-encoded. An address elsewhere gives no result.
  httplib::Result Fetch(std::string_view address) const;

 private:
  std::ostringstream log_;
  DemoServer server_{&log_};
  std::unique_ptr<DemoSite> site_;
  int port_ = -1;
  std::string error_;
};

}  // namespace tavelo::demo
