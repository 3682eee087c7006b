#pragma once
// Which window a process opens, decided from its command line. The launcher
// passes "run"; the program relaunches itself with "runPlay:<command>" to
// play a video in a process of its own.

#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

enum class StartupWindow {
  kRefuse,        // not started by the launcher: say so and end
  kMain,          // the portal
  kSeparatePlay,  // one video, with `playCommand` as its command string
  kLiveShows,     // the live-show window
};

struct StartupChoice {
  StartupWindow window = StartupWindow::kRefuse;
  std::string playCommand;
};

// The command word is the first argument that does not begin with "-" or "/".
std::string CommandWord(const std::vector<std::string>& arguments);
StartupChoice ChooseStartup(std::string_view commandWord);

}  // namespace tavelo
