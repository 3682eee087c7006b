#pragma once
// The two files a video keeps under tavelo/ in the program folder, both named
// after its show-page address:
//   <name>_list.ini  the last episode list a scrape produced, one row a line:
//                    label TAB address TAB CR LF (GBK, no header);
//   <name>_lab.ini   the address of the episode last played, bare bytes.
// Several processes may open the same video, so both are replaced whole
// (temporary file, then rename): a reader sees the old file or the new one.

#include <string>
#include <string_view>
#include <vector>

#include "base/program_paths.h"
#include "content/episode_scraper.h"

namespace tavelo {

inline constexpr std::string_view kEpisodeListSuffix = "_list.ini";
inline constexpr std::string_view kLastPlayedSuffix = "_lab.ini";
// Starts the names made from a digest; hex names are letters and digits
// only, so the two kinds never meet.
inline constexpr std::string_view kDigestNamePrefix = "md5_";
// The longest file name the usual Linux file systems take.
inline constexpr size_t kMaxFileNameBytes = 255;

// The name both files of a video start with: HexName of the address, or,
// when that would make a file name (or its save's temporary name) too long,
// "md5_" and the MD5 of the address.
std::string EpisodeFileStem(std::string_view pageAddress);

class EpisodeFiles {
 public:
  EpisodeFiles(const ProgramPaths& paths, std::string_view pageAddress);

  const std::string& ListPath() const { return listPath_; }
  const std::string& LastPlayedPath() const { return lastPlayedPath_; }

  // Replaces the cached list with `rows`. TAB, CR and LF inside a label or
  // address are written as spaces, so no row can split or swallow another.
  // False when the file could not be written (the old one then stays). A
  // file that holds this very list already is left as it is.
  bool SaveList(const std::vector<EpisodeRow>& rows) const;
  // Adds the cached rows to `list` through AddEpisode; lines lacking a label
  // or an address are skipped. A missing file adds nothing.
  void LoadList(EpisodeList& list) const;

  // Records `episodeAddress` as the episode last played. False when it could not.
  bool SaveLastPlayed(std::string_view episodeAddress) const;
  // The recorded address (up to a zero byte, not trimmed), or "" when there is none.
  std::string LoadLastPlayed() const;

 private:
  // Both "" when the address could not be given a name; every operation then fails.
  std::string listPath_;
  std::string lastPlayedPath_;
};

}  // namespace tavelo
