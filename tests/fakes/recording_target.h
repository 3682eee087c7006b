#pragma once
// A command target that records every request as one line, so a test can
// state all that happened.

#include <string>
#include <vector>

#include "browser/command_protocol.h"

namespace tavelo::fakes {

class RecordingTarget : public CommandTarget {
 public:
  void OpenVideo(const std::string& name, const std::string& record,
                 const std::string& label) override {
    calls.push_back("video " + name + "|" + record + "|" + label);
  }
  void OpenSearch(const std::string& keyword) override { calls.push_back("search " + keyword); }
  void StartCompanion(const std::string& displayName, const std::string& productKey,
                      const std::string& programFile) override {
    calls.push_back("companion " + displayName + "|" + productKey + "|" + programFile);
  }
  void ShowMessage(const std::string& text) override { calls.push_back("message " + text); }
  void StartProcess(const std::vector<std::string>& argv) override {
    std::string line = "start";
    for (const std::string& argument : argv) line += " [" + argument + "]";
    calls.push_back(line);
  }

  std::vector<std::string> calls;
};

}  // namespace tavelo::fakes
