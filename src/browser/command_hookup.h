#pragma once
// The rule of every window that shows the portal's pages: command addresses
// are carried out (and cancelled), pop-ups open in plain browser windows
// whose pages follow the same rule.

#include <functional>
#include <string>

#include "browser/command_protocol.h"
#include "browser/web_browser.h"
#include "browser/window_set.h"

namespace tavelo {

// Where a window's page commands go.
struct PageHookup {
  // Carries out the command in a navigation; true when it was one, which
  // cancels the navigation. Without it every navigation proceeds.
  std::function<bool(const PageNavigation& navigation)> run_page_command;
};

// Page commands go to `commands`, but only from the program's own pages and
// those of the servers the template at `templatePath` names (read at each
// command, so an edit counts at once); a command that starts a process also
// needs a click of its own. Pop-ups opened through the hookup share its
// clicks. nullptr gives pages without commands.
PageHookup CommandHookup(CommandTarget* commands, const std::string& templatePath);

// Navigations of `browser` go through `hookup`; its pop-ups open through
// `windows`, carrying the same hookup.
void AttachCommandProtocol(CWebBrowser2& browser, WindowSet& windows, const PageHookup& hookup);

}  // namespace tavelo
