#include "content/episode_cache.h"

#include <algorithm>
#include <optional>

#include "base/atomic_write.h"
#include "base/file_digest.h"
#include "text/splitters.h"
#include "text/text_buffer.h"
#include "text/url_text.h"

namespace tavelo {

namespace {

// The longer of the two suffixes decides, so both files share one stem.
constexpr size_t kLongestSuffix = std::max(kEpisodeListSuffix.size(), kLastPlayedSuffix.size());

void AppendField(std::string& text, std::string_view field) {
  AppendFlattened(text, field);
  text += '\t';
}

}  // namespace

std::string EpisodeFileStem(std::string_view pageAddress) {
  std::string hex = HexName(pageAddress);
  if (hex.size() + kLongestSuffix + kTemporaryNameGrowth <= kMaxFileNameBytes) return hex;
  std::string digest = DigestHex(pageAddress);
  return digest.empty() ? "" : std::string(kDigestNamePrefix) + digest;
}

EpisodeFiles::EpisodeFiles(const ProgramPaths& paths, std::string_view pageAddress) {
  std::string stem = EpisodeFileStem(pageAddress);
  // An empty stem from an empty address is still a name; one from a failed
  // digest is not (HexName of a long address is never empty).
  if (stem.empty() && !pageAddress.empty()) return;
  std::string folder = paths.In(kEpisodeCacheFolder);
  listPath_ = folder + stem + std::string(kEpisodeListSuffix);
  lastPlayedPath_ = folder + stem + std::string(kLastPlayedSuffix);
}

bool EpisodeFiles::SaveList(const std::vector<EpisodeRow>& rows) const {
  if (listPath_.empty()) return false;
  std::string text;
  size_t size = 0;
  for (const EpisodeRow& row : rows) size += row.label.size() + row.address.size() + 4;
  text.reserve(size);
  for (const EpisodeRow& row : rows) {
    AppendField(text, row.label);
    AppendField(text, row.address);
    text += "\r\n";
  }
  // Opening a show again mostly finds the list it cached last time; leaving
  // that file be spares a flush to disk per opening.
  std::string cached;
  if (ReadWholeFile(listPath_, cached, text.size()) && cached == text) return true;
  return AtomicWriteFile(listPath_, text);
}

void EpisodeFiles::LoadList(EpisodeList& list) const {
  TextBuffer cache;
  if (listPath_.empty() || cache.LoadFile(listPath_) != 0) return;
  std::string_view fields[2];
  // The line reader trims each line, which also drops the trailing TAB.
  while (std::optional<std::string_view> line = cache.NextLineView()) {
    int count = SplitFields(*line, '\t', fields, 2);
    if (count == 2 && !fields[0].empty() && !fields[1].empty()) list.AddEpisode(fields[1], fields[0]);
  }
}

bool EpisodeFiles::SaveLastPlayed(std::string_view episodeAddress) const {
  return !lastPlayedPath_.empty() && AtomicWriteFile(lastPlayedPath_, episodeAddress);
}

std::string EpisodeFiles::LoadLastPlayed() const {
  TextBuffer file;
  if (lastPlayedPath_.empty() || file.LoadFile(lastPlayedPath_) != 0) return "";
  return file.TakeText();
}

}  // namespace tavelo
