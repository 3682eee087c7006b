// libFuzzer target: a navigation address through the web-address decoding
// and the command protocol. A command may ask for windows and processes;
// a relaunch must always be this program with one command-word argument.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "browser/command_gate.h"
#include "browser/command_protocol.h"
#include "browser/web_address.h"
#include "text/url_text.h"

namespace {

class CheckingTarget : public tavelo::CommandTarget {
 public:
  void OpenVideo(const std::string&, const std::string&, const std::string&) override {}
  void OpenSearch(const std::string&) override {}
  void StartCompanion(const std::string&, const std::string&, const std::string&) override {}
  void ShowMessage(const std::string&) override {}
  void StartProcess(const std::vector<std::string>& argv) override {
    // Asked afresh: a program replaced on disk relaunches through /proc.
    const std::string self = tavelo::RelaunchArguments("")[0];
    if (argv.size() != 2 || argv[0] != self || !argv[1].starts_with("runPlay:") ||
        argv[1].find(' ') != std::string::npos) {
      abort();
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavelo;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckingTarget target;
  RunCommand(RecogniseCommand(WebAddressToGbk(input)), target);
  RunCommand(RecogniseCommand(input), target);
  // Whoever sends it, a page address is trusted only for a host on the list.
  const std::vector<std::string> trusted = {"127.0.0.1:8790"};
  if (FromTrustedPage(input, trusted) && !input.empty() && WebHostAndPort(input) != trusted[0]) abort();
  AddressScheme(input);
  // What goes back to the web engine is plain ASCII.
  for (char c : GbkToWebAddress(input)) {
    if (static_cast<unsigned char>(c) >= 0x80) abort();
  }
  return 0;
}
