#include "demo_options.h"

namespace tavelo::demo {

namespace {

bool ParsePort(const std::string& text, int& port) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  port = std::stoi(text);
  return port <= 65535;
}

}  // namespace

const help::ProgramHelp& DemoServerHelp() {
  static const help::ProgramHelp kHelp{
      .name = "tavelo-demo-server",
      .synopsis = "[--port N] [--content DIR] [--make-data DIR]",
      .purpose = "made-up catalogue and video sites on loopback for the Tavelo video portal",
      .description =
          "tavelo-demo-server serves the bundled demo of Tavelo on loopback, one host per role, all on one "
          "port: the catalogue server on 127.0.0.1, the video site on 127.0.0.2, the two resource sites on "
          "127.0.0.3 and 127.0.0.4, the setup server and the maker's site on 127.0.0.5 and the live-show "
          "sites on 127.0.0.6. Its content is made up; no network is needed.\n\n"
          "Pages are served as GBK labelled gb2312. One line per request goes to standard error. SIGINT and "
          "SIGTERM stop the server.",
      .kind = help::EntryKind::kOptions,
      .entries =
          {
              {"--port", {{"N", "port of every host (default 8790; 0 picks a free one)"}}, ""},
              {"--content", {{"DIR", "the demo content (default: demo/ beside the program)"}}, ""},
              {"--make-data",
               {{"DIR", "write the portal's data files for the port into DIR and exit"}},
               "Writes main.htm, the template page pointing at the demo's hosts on port N, and the "
               "scrambled catalogue files it names."},
              {"--help", {{"", "print this help and exit"}}, ""},
          },
      .exitStatus =
          "0 when stopped by SIGINT or SIGTERM, or when --make-data wrote its files; 1 when the port cannot "
          "be had, the content cannot be read or the files cannot be written; 2 for a wrong option.",
      .seeAlso = {"tavelo-catalogue(1)"},
  };
  return kHelp;
}

bool ParseDemoOptions(const std::vector<std::string>& arguments, DemoOptions& options) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (help::AsksForHelp(argument)) {
      options.help = true;
      continue;
    }
    const help::Entry* option = help::FindEntry(DemoServerHelp(), argument);
    if (option == nullptr || i + 1 >= arguments.size()) return false;
    const std::string& value = arguments[++i];
    if (argument == "--port") {
      if (!ParsePort(value, options.port)) return false;
    } else if (argument == "--content") {
      options.content = value;
    } else if (argument == "--make-data") {
      options.makeData = value;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace tavelo::demo
