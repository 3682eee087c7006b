#pragma once
// Cuts a video's episode list out of its show page on the video site. Pure:
// page text (GBK) and the show-page prefix in, rows out. No files, no
// threads, no windows; episode_cache.h keeps the rows between runs and
// episode_fetch.h puts the two together for a play window.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

// What follows the configured show host in every show-page address; a bare
// episode id sits between the two.
inline constexpr std::string_view kShowPagePath = "/v_show/id_";
inline constexpr std::string_view kShowPageSuffix = ".html";

// The show-page prefix for a show host such as "http://v.example:80":
// host + "/v_show/id_".
std::string ShowPagePrefix(std::string_view showHost);

// One row of a play window's episode list. Columns: 0 the label, 1 the
// literal "播放" (the play cell), 2 the address.
struct EpisodeRow {
  std::string label;
  std::string address;

  // The text of column 0, 1 or 2 (GBK).
  const std::string& Column(int column) const;
  bool operator==(const EpisodeRow&) const = default;
};

// The GBK text of every row's play cell, "播放".
const std::string& PlayCellText();

// The rows in the order they were added, each address once. An index beside
// the rows keeps adding a row constant-time, so a page with thousands of
// episodes is scraped in linear time. The index holds row numbers, not
// copies of the addresses, and an address is built in one reused buffer,
// so a row costs the allocations of its own two texts and no more.
class EpisodeList {
 public:
  explicit EpisodeList(std::string showPagePrefix) : prefix_(std::move(showPagePrefix)) {}

  // Adds a row for `address` unless one exists, and returns the row's index.
  // An address without "/" is a bare id and becomes prefix + id + ".html";
  // a "?" or "#" after the first byte cuts the address there, so links that
  // differ only in their query or fragment give one row. Addresses compare
  // byte for byte.
  int AddEpisode(std::string_view address, std::string_view label);

  // Makes room for `rows` rows in all, so that adding them moves nothing.
  void Reserve(size_t rows);

  // The row whose address is exactly `address`, or -1.
  int Find(std::string_view address) const;

  const std::vector<EpisodeRow>& Rows() const { return rows_; }
  int Count() const { return static_cast<int>(rows_.size()); }
  bool Empty() const { return rows_.empty(); }
  const std::string& Prefix() const { return prefix_; }
  // Hands the rows over and leaves the list empty.
  std::vector<EpisodeRow> TakeRows();

 private:
  // The slot of `address` in index_: the one holding its row, or the empty
  // one where it would go.
  size_t Slot(std::string_view address) const;
  void GrowIndex();

  std::string prefix_;
  std::vector<EpisodeRow> rows_;
  // Open addressing with linear probing over a power-of-two table: row
  // number + 1 per slot, 0 for an empty one; at most half full.
  std::vector<uint32_t> index_;
  std::string address_;
};

// The four layout scans, in their fixed order, each over the whole page,
// adding every episode element that carries an id and a title attribute.
void ScanEpisodeLayouts(std::string_view page, EpisodeList& list);

// The page's <title>, cut before an em dash or the site's name "优酷网"
// (either only past the first byte) and trimmed; "" when the page has no
// title of at least 3 bytes.
std::string ExtractPageTitle(std::string_view page);

// The layout scans, then the show page itself as a row labelled with the
// page's title (when it has one and no episode already has its address).
void ScrapeShowPage(std::string_view page, std::string_view pageAddress, EpisodeList& list);

}  // namespace tavelo
