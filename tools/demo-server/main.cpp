// tavelo-demo-server: the made-up catalogue server, video site, resource
// sites, setup server and live-show sites on loopback, for trying the portal
// and for the integration tests.
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "base/program_paths.h"
#include "demo_options.h"
#include "demo_server.h"
#include "demo_site.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

int MakeData(const tavelo::demo::DemoSite& site, const std::string& directory) {
  std::error_code ec;
  std::filesystem::create_directories(directory, ec);
  std::filesystem::path folder(directory);
  bool written = WriteFile(folder / "main.htm", site.MainTemplate());
  for (const auto& [name, bytes] : site.CatalogueFiles()) written = written && WriteFile(folder / name, bytes);
  if (!written) {
    std::cerr << "tavelo-demo-server: cannot write into " << directory << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  tavelo::demo::DemoOptions options{.port = tavelo::demo::kDefaultPort};
  const tavelo::help::ProgramHelp& help = tavelo::demo::DemoServerHelp();
  if (!tavelo::demo::ParseDemoOptions(std::vector<std::string>(argv + 1, argv + argc), options)) {
    std::cerr << tavelo::help::ProgramUsage(help);
    return 2;
  }
  if (options.help) {
    std::cout << tavelo::help::ProgramUsage(help);
    return 0;
  }
  if (options.content.empty()) options.content = tavelo::ModuleDirectory() + "demo";

  // Signals are taken by sigwait below; block them before any thread starts
  // so that no listener thread receives them instead.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  tavelo::demo::DemoServer server(&std::cerr);
  int port = options.port;
  if (options.makeData.empty()) {
    port = server.Bind(options.port);
    if (port < 0) {
      std::cerr << "tavelo-demo-server: cannot listen on port " << options.port
                << " of 127.0.0.1 to 127.0.0.6\n";
      return 1;
    }
  }
  std::string error;
  auto site = tavelo::demo::DemoSite::Load(options.content, port, error);
  if (!site) {
    std::cerr << "tavelo-demo-server: " << error << "\n";
    return 1;
  }
  if (!options.makeData.empty()) return MakeData(*site, options.makeData);

  server.Start(*site);
  std::cerr << "tavelo-demo-server: port " << port << ", catalogue http://"
            << tavelo::demo::RoleAddress(tavelo::demo::Role::kCatalogue, port) << "/tj/index.asp ("
            << site->VideoCount() << " videos, " << site->ResourceCount() << " P2P resources)"
            << std::endl;
  int signal = 0;
  sigwait(&stopSignals, &signal);
  std::cerr << "tavelo-demo-server: stopping (" + std::string(strsignal(signal)) + ")\n" << std::flush;
  server.Stop();
  return 0;
}
