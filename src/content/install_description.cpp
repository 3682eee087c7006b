#include "content/install_description.h"

#include <strings.h>

#include <array>

#include "base/program_paths.h"
#include "text/gbk_text.h"
#include "text/template_file.h"

namespace tavelo {

namespace {

constexpr std::string_view kEndMarker = "END_QORISOFT_INFO";
constexpr std::string_view kNoSetup = "nosetup";
constexpr std::string_view kMainProgramMark = "MAIN_EXE";
constexpr std::string_view kTextFetch = "gethtml";
constexpr std::string_view kWhiteSpace = " \t\r\n";

// The first `count` white-space separated fields of `line`; fewer when the
// line has fewer.
std::vector<std::string_view> LeadingFields(std::string_view line, size_t count) {
  std::vector<std::string_view> fields;
  size_t at = line.find_first_not_of(kWhiteSpace);
  while (at != std::string_view::npos && fields.size() < count) {
    size_t end = line.find_first_of(kWhiteSpace, at);
    if (end == std::string_view::npos) end = line.size();
    fields.push_back(line.substr(at, end - at));
    at = line.find_first_not_of(kWhiteSpace, end);
  }
  return fields;
}

bool HasParentPart(std::string_view path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (path.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

bool Inside(const std::string& path, const std::string& root, bool folder) {
  if (root.empty() || root.front() != '/' || !path.starts_with(root)) return false;
  return folder || path.size() > root.size();
}

}  // namespace

bool NamesProgramFile(const std::string& path, const InstallPlaces& places) {
  if (places.programFolder.empty() || !path.starts_with(places.programFolder)) return false;
  const std::string_view inside = std::string_view(path).substr(places.programFolder.size());
  if (inside.find('/') == std::string_view::npos) return true;
  static constexpr std::array<std::string_view, 3> kOwnFolders = {kDataFolder, kEpisodeCacheFolder, "script/"};
  for (std::string_view folder : kOwnFolders) {
    if (inside.starts_with(folder)) return true;
  }
  return false;
}

std::string ContainedPath(std::string_view path, const InstallPlaces& places, bool folder) {
  std::string result(path);
  result = ReplaceAll(result, "LOCAL_PATH", places.programFolder);
  result = ReplaceAll(result, "PROGRESS_PATH", places.programFiles);
  result = ReplaceAll(result, "EXE_ID", places.productKey);
  // Descriptions are written with the other platform's separators.
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
  if (!result.starts_with('/')) result = places.programFolder + result;
  if (HasParentPart(result)) return "";
  // A file name never ends in "/"; a folder may.
  if (!folder && result.ends_with('/')) return "";
  if (!Inside(result, places.programFolder, folder) && !Inside(result, places.programFiles, folder)) return "";
  return result;
}

InstallDescription ParseInstallDescription(std::string text, const InstallPlaces& places) {
  InstallDescription description;
  if (text.find(kEndMarker) == std::string::npos) return description;
  description.recognised = true;
  TemplateFile file;
  file.SetText(std::move(text));
  if (file.GetValue("[FLAG]") == kNoSetup) {
    description.noSetup = true;
    description.message = file.GetValue("[MESSAGE]");
    description.url = file.GetValue("[URL]");
    return description;
  }
  for (const std::string& line : file.GetLines("[FILE_LIST_BEGIN]", "[FILE_LIST_END]")) {
    std::vector<std::string_view> fields = LeadingFields(line, 3);
    if (fields.empty()) continue;
    InstallFile entry;
    if (fields.size() == 3 && fields[0].size() <= InstallDescription::kMaxDigestField &&
        fields[1].size() <= InstallDescription::kMaxPathField &&
        fields[2].size() <= InstallDescription::kMaxUrlField) {
      entry.fetchText = fields[0].size() == kTextFetch.size() &&
                        strncasecmp(fields[0].data(), kTextFetch.data(), kTextFetch.size()) == 0;
      entry.digest = fields[0];
      entry.localPath = ContainedPath(fields[1], places, false);
      entry.url = fields[2];
    }
    const bool mainProgram = line.find(kMainProgramMark) != std::string::npos;
    // A text fetch has no digest: what it brings is never run.
    if (entry.localPath.empty() || (mainProgram && entry.fetchText)) {
      description.refusedLines.push_back(line);
      continue;
    }
    if (NamesProgramFile(entry.localPath, places)) description.refused = true;
    if (mainProgram) description.mainProgram = entry.localPath;
    description.files.push_back(std::move(entry));
  }
  std::string registryPath = file.GetValue("[REG_PATH]");
  if (!registryPath.empty()) description.registryPath = ContainedPath(registryPath, places, true);
  if (description.refused) {
    description.files.clear();
    description.mainProgram.clear();
    description.registryPath.clear();
  }
  return description;
}

}  // namespace tavelo
