#pragma once
// Who may make the program act. Pages come from servers the program does not
// control, so a command address is carried out only when the page that
// navigates belongs to a server the template names (or is the program's
// own), and a command that starts a process needs a click of its own: one
// click, one process, however often a script repeats the command.

#include <string>
#include <string_view>
#include <vector>

#include "browser/web_browser.h"

namespace tavelo {

// True when `pageAddress` (see port::NavigationRequest) is the program's own
// page or lies on one of `trustedHosts` (as WebHostAndPort gives them).
bool FromTrustedPage(std::string_view pageAddress, const std::vector<std::string>& trustedHosts);

// The clicks already spent on starting a process. Windows whose pages open
// one another share one, so that a pop-up cannot spend its opener's click
// again.
class GestureLedger {
 public:
  // True, once, for a navigation the user started with a press not yet spent.
  bool Spend(const PageNavigation& navigation);

 private:
  unsigned long long lastSpent_ = 0;
};

}  // namespace tavelo
