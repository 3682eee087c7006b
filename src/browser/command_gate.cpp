#include "browser/command_gate.h"

#include <algorithm>

#include "text/url_text.h"

namespace tavelo {

bool FromTrustedPage(std::string_view pageAddress, const std::vector<std::string>& trustedHosts) {
  if (pageAddress.empty()) return true;
  const std::string host = WebHostAndPort(pageAddress);
  return !host.empty() && std::find(trustedHosts.begin(), trustedHosts.end(), host) != trustedHosts.end();
}

bool GestureLedger::Spend(const PageNavigation& navigation) {
  // Presses are numbered upwards, so an older one is spent as well.
  if (!navigation.byUser || navigation.gesture <= lastSpent_) return false;
  lastSpent_ = navigation.gesture;
  return true;
}

}  // namespace tavelo
