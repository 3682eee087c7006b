#pragma once
// The installer's surroundings in the portal: a transfer window for each
// download, message boxes over the calling window, programs started through
// the port.

#include <string>

#include "browser/window_set.h"
#include "content/companion_install.h"

namespace tavelo {

class WindowCompanionHost : public CompanionHost {
 public:
  WindowCompanionHost(WindowSet& windows, port::WindowHost* owner, std::string messageCaption)
      : windows_(windows), owner_(owner), messageCaption_(std::move(messageCaption)) {}

  TransferResult RunTransfer(const std::string& statusText, const TransferRequest& request) override;
  void ShowMessage(const std::string& text) override {
    windows_.Platform().MessageBox(owner_, text, messageCaption_);
  }
  bool StartProcess(const std::vector<std::string>& argv) override { return windows_.Platform().StartProcess(argv); }

 private:
  WindowSet& windows_;
  port::WindowHost* owner_;
  std::string messageCaption_;
};

}  // namespace tavelo
