#include "browser/command_hookup.h"

#include <memory>

#include "browser/command_gate.h"
#include "catalogue/site_config.h"

namespace tavelo {

PageHookup CommandHookup(CommandTarget* commands, const std::string& templatePath) {
  PageHookup hookup;
  if (commands == nullptr) return hookup;
  auto clicks = std::make_shared<GestureLedger>();
  hookup.run_page_command = [commands, templatePath, clicks](const PageNavigation& navigation) {
    RecognisedCommand command = RecogniseCommand(navigation.address);
    if (command.command == NavigationCommand::kNone) return false;
    // Refused commands are dropped without a word: the page learns nothing,
    // and the address is not loaded either.
    if (!FromTrustedPage(navigation.pageAddress, TrustedPageHosts(templatePath))) return true;
    if (CommandStartsProcess(command.command) && !clicks->Spend(navigation)) return true;
    RunCommand(command, *commands);
    return true;
  };
  return hookup;
}

void AttachCommandProtocol(CWebBrowser2& browser, WindowSet& windows, const PageHookup& hookup) {
  browser.on_before_navigate = [hookup](const PageNavigation& navigation, bool* cancel) {
    if (hookup.run_page_command && hookup.run_page_command(navigation)) *cancel = true;
  };
  browser.on_new_window = [&windows, hookup] { return windows.OpenPopup(hookup); };
}

}  // namespace tavelo
