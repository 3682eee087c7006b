#pragma once
// Pages talk back to the program by navigating to addresses that carry a
// command: "cmd=TAVELO|" (open or search a video), "cmd=quillo_cmd" (start a
// companion program), "cmd=MVPLAY|" (live shows) and "cmd=TVPLAY|" (play in
// a window of its own). The main, search and web windows hand every
// navigation to HandleCommandNavigation, which cancels those it recognises.

#include <string>
#include <string_view>
#include <vector>

#include "text/field_escapes.h"

namespace tavelo {

// Markers and escapes of command texts, shared with the windows that read
// relaunch payloads.
inline constexpr std::string_view kPlayMarker = "cmd=TVPLAY|";
inline constexpr std::string_view kLiveRoomMarker = "cmd=PLAYMV|";

// What a command asks of the window that saw it.
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;

  virtual void OpenVideo(const std::string& name, const std::string& record,
                         const std::string& label) = 0;
  virtual void OpenSearch(const std::string& keyword) = 0;
  virtual void StartCompanion(const std::string& displayName, const std::string& productKey,
                              const std::string& programFile) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  // Starts a program with an argument vector, never through a shell.
  virtual void StartProcess(const std::vector<std::string>& argv) = 0;
};

enum class NavigationCommand { kNone, kPage, kCompanion, kLiveShows, kPlay };

struct RecognisedCommand {
  NavigationCommand command = NavigationCommand::kNone;
  // The text the command works on: from the marker on for page and play
  // commands, the whole address for companion commands, empty otherwise.
  std::string text;
};

// Looks for the four markers in their order of precedence.
RecognisedCommand RecogniseCommand(std::string_view address);
// True when `address` holds one of the four markers.
bool IsCommandAddress(std::string_view address);
// Companions, live shows and plays start a process of their own.
bool CommandStartsProcess(NavigationCommand command);

// Carries out a recognised command.
void RunCommand(const RecognisedCommand& command, CommandTarget& target);

void RunPageCommand(std::string_view text, CommandTarget& target);
void RunCompanionCommand(std::string_view address, CommandTarget& target);
void RelaunchLiveShows(CommandTarget& target);
void RelaunchPlay(std::string_view playCommand, CommandTarget& target);

// "runPlay:" + payload with every space written "**BK**", so that the word
// reaches the new process as one argument.
std::string RelaunchCommandWord(std::string_view payload);
// The program a relaunch starts: `programPath`, the running program's own
// resolved path, so that the copy carries the program's name in process
// lists; /proc/self/exe when that path is empty or names no executable file
// (the program was removed or replaced on disk), since it still starts this
// very program.
std::string RelaunchProgram(const std::string& programPath);
// The argument vector of a relaunch: this program (see RelaunchProgram) with
// the relaunch command word as its only argument.
std::vector<std::string> RelaunchArguments(std::string_view payload);
// Starts a new copy of this program for `payload`.
void Relaunch(std::string_view payload, CommandTarget& target);

}  // namespace tavelo
