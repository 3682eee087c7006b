#include "browser/command_hookup.h"

namespace tavelo {

PageHookup CommandHookup(CommandTarget* commands) {
  PageHookup hookup;
  if (commands != nullptr) {
    hookup.run_page_command = [commands](const std::string& address) {
      return HandleCommandNavigation(address, *commands);
    };
  }
  return hookup;
}

void AttachCommandProtocol(CWebBrowser2& browser, WindowSet& windows, const PageHookup& hookup) {
  browser.on_before_navigate = [hookup](const std::string& address, bool* cancel) {
    if (hookup.run_page_command && hookup.run_page_command(address)) *cancel = true;
  };
  browser.on_new_window = [&windows, hookup] { return windows.OpenPopup(hookup); };
}

}  // namespace tavelo
