#include "companion/window_companion_host.h"

#include "companion/transfer_window.h"

namespace tavelo {

TransferResult WindowCompanionHost::RunTransfer(const std::string& statusText, const TransferRequest& request) {
  return RunTransferWindow(windows_, statusText, request);
}

}  // namespace tavelo
