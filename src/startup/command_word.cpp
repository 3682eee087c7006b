#include "startup/command_word.h"

namespace tavelo {

namespace {

constexpr std::string_view kRunWord = "run";
constexpr std::string_view kPlayPrefix = "runPlay:";
constexpr std::string_view kLiveShowsMark = "PLAYINDEXMV";

}  // namespace

std::string CommandWord(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (!argument.starts_with('-') && !argument.starts_with('/')) return argument;
  }
  return {};
}

StartupChoice ChooseStartup(std::string_view commandWord) {
  StartupChoice choice;
  if (commandWord.find(kRunWord) == std::string_view::npos) return choice;
  if (!commandWord.starts_with(kPlayPrefix)) {
    choice.window = StartupWindow::kMain;
    return choice;
  }
  std::string_view playCommand = commandWord.substr(kPlayPrefix.size());
  if (playCommand.find(kLiveShowsMark) != std::string_view::npos) {
    // The live-show window has its own site table and takes no command.
    choice.window = StartupWindow::kLiveShows;
  } else {
    choice.window = StartupWindow::kSeparatePlay;
    choice.playCommand = playCommand;
  }
  return choice;
}

}  // namespace tavelo
