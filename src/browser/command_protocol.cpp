#include "browser/command_protocol.h"

#include <unistd.h>

#include <array>

#include "base/program_paths.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/splitters.h"

namespace tavelo {

namespace {

constexpr std::string_view kPageMarker = "cmd=TAVELO|";
constexpr std::string_view kCompanionMarker = "cmd=quillo_cmd";
constexpr std::string_view kLiveShowsMarker = "cmd=MVPLAY|";

constexpr std::string_view kRelaunchPrefix = "runPlay:";
constexpr std::string_view kLiveShowsPayload = "cmd=PLAYINDEXMV";

constexpr std::array<std::string_view, 5> kSearchOperations = {"AREA", "TYPE", "ACTOR", "TM",
                                                              "FLAG2"};

}  // namespace

RecognisedCommand RecogniseCommand(std::string_view address) {
  auto from = [&](std::string_view marker) {
    return std::string(address.substr(address.find(marker)));
  };
  if (address.find(kPageMarker) != std::string_view::npos) {
    return {NavigationCommand::kPage, from(kPageMarker)};
  }
  if (address.find(kCompanionMarker) != std::string_view::npos) {
    return {NavigationCommand::kCompanion, std::string(address)};
  }
  if (address.find(kLiveShowsMarker) != std::string_view::npos) {
    return {NavigationCommand::kLiveShows, {}};
  }
  if (address.find(kPlayMarker) != std::string_view::npos) {
    return {NavigationCommand::kPlay, from(kPlayMarker)};
  }
  return {};
}

bool IsCommandAddress(std::string_view address) {
  return RecogniseCommand(address).command != NavigationCommand::kNone;
}

bool CommandStartsProcess(NavigationCommand command) {
  return command == NavigationCommand::kCompanion || command == NavigationCommand::kLiveShows ||
         command == NavigationCommand::kPlay;
}

void RunCommand(const RecognisedCommand& recognised, CommandTarget& target) {
  switch (recognised.command) {
    case NavigationCommand::kNone:
      break;
    case NavigationCommand::kPage:
      RunPageCommand(recognised.text, target);
      break;
    case NavigationCommand::kCompanion:
      RunCompanionCommand(recognised.text, target);
      break;
    case NavigationCommand::kLiveShows:
      RelaunchLiveShows(target);
      break;
    case NavigationCommand::kPlay:
      RelaunchPlay(recognised.text, target);
      break;
  }
}

void RunPageCommand(std::string_view text, CommandTarget& target) {
  FieldList fields;
  fields.Split(text, '|');
  std::string_view operation = fields[1];
  std::string argument = ReplaceAll(fields[2], kLineBreakEscape, "\n");
  if (operation == "INFO") {
    target.OpenVideo(Gbk("推荐"), argument, Gbk("查看详细"));
    return;
  }
  for (std::string_view search : kSearchOperations) {
    if (operation == search) {
      target.OpenSearch(argument);
      return;
    }
  }
}

void RunCompanionCommand(std::string_view address, CommandTarget& target) {
  FieldList fields;
  fields.Split(address, '|');
  if (!EqualsIgnoreCaseGbk(fields[1], "exe")) {
    target.ShowMessage(Gbk("不能运行此功能,请下载最新版本"));
    return;
  }
  FieldList triple;
  triple.Split(ReplaceAll(fields[2], kLineBreakEscape, "\n"), '\n');
  target.StartCompanion(std::string(triple[0]), std::string(triple[1]), std::string(triple[2]));
}

void RelaunchLiveShows(CommandTarget& target) { Relaunch(kLiveShowsPayload, target); }

void RelaunchPlay(std::string_view playCommand, CommandTarget& target) {
  Relaunch(playCommand, target);
}

std::string RelaunchCommandWord(std::string_view payload) {
  return ReplaceAll(std::string(kRelaunchPrefix) + std::string(payload), " ", kRelaunchSpace);
}

std::string RelaunchProgram(const std::string& programPath) {
  // A replaced program reads back as "<path> (deleted)", which is no file.
  if (!programPath.empty() && access(programPath.c_str(), X_OK) == 0) return programPath;
  return "/proc/self/exe";
}

std::vector<std::string> RelaunchArguments(std::string_view payload) {
  return {RelaunchProgram(ModuleFilePath()), RelaunchCommandWord(payload)};
}

void Relaunch(std::string_view payload, CommandTarget& target) {
  target.StartProcess(RelaunchArguments(payload));
}

}  // namespace tavelo
