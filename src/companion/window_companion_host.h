#pragma once
// The installer's surroundings in the portal: a transfer window for each
// download, message boxes over the calling window, programs started through
// the port.

#include <string>

#include "companion/companion_install.h"
#include "port/window_host.h"

namespace tavelo {

class WindowCompanionHost : public CompanionHost {
 public:
  WindowCompanionHost(port::Platform& platform, port::WindowHost* owner, std::string messageCaption)
      : platform_(platform), owner_(owner), messageCaption_(std::move(messageCaption)) {}

  TransferResult RunTransfer(const std::string& statusText, const TransferRequest& request) override;
  void ShowMessage(const std::string& text) override { platform_.MessageBox(owner_, text, messageCaption_); }
  int StartProcess(const std::vector<std::string>& argv) override { return platform_.StartProcess(argv); }

 private:
  port::Platform& platform_;
  port::WindowHost* owner_;
  std::string messageCaption_;
};

}  // namespace tavelo
