#pragma once
// Installing a missing companion on the spot: its install description comes
// from the setup server, the files it lists are fetched into their places
// (packages checked by digest), the main program is started and recorded in
// the registry store, where StartInstalledCompanion finds it next time.
// Without a description the user is sent to the product's page instead.

#include <string>
#include <vector>

#include "content/companion_launch.h"
#include "net/transfer_job.h"

namespace tavelo {

// What the installer needs from its surroundings: a window shows a transfer
// window for each download and message boxes; the command-line tool prints.
class CompanionHost {
 public:
  virtual ~CompanionHost() = default;
  // Runs one job to its end, or until the user stops it, showing
  // `statusText` meanwhile.
  virtual TransferResult RunTransfer(const std::string& statusText, const TransferRequest& request) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  // True when the program started.
  virtual bool StartProcess(const std::vector<std::string>& argv) = 0;
};

// A companion as a page names it.
struct CompanionProgram {
  std::string displayName;
  std::string productKey;
  std::string programFile;
};

enum class InstallOutcome {
  kStarted,    // the main program was started (and recorded)
  kSentAway,   // no install here: a message and a page instead
  kFailed,     // the main program could not be made ready or started
};

InstallOutcome InstallCompanion(const CompanionProgram& program, const CompanionPlaces& places,
                                CompanionHost& host);

// Starts the installed companion, or installs and starts it. True when a
// program was started.
bool StartCompanion(const CompanionProgram& program, const CompanionPlaces& places, CompanionHost& host);

// The address of the product's install description.
std::string DescriptionAddress(const CompanionProgram& program, const std::string& setupServer);
// The product's page on the maker's site; the home page for unknown keys.
std::string ProductPage(const std::string& productKey, const std::string& makerSite);
// `text` with spaces, control bytes and bytes above 127 written as "%XX",
// the bytes an address cannot carry as they are; everything else unchanged.
std::string EscapeForAddress(const std::string& text);

}  // namespace tavelo
