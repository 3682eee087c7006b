#include "content/episode_scraper.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

#include "text/encoding.h"
#include "text/gbk_text.h"

namespace tavelo {

namespace {

constexpr size_t kNone = std::string_view::npos;

// The markers of the four page layouts the video site has used. A scan
// element's tag runs from the end of its marker to the next ">".
constexpr std::string_view kTvListMarker = "<div class=\"item\" name=\"tvlist\"";
constexpr std::string_view kProgramMarker = "div class=\"program";
constexpr std::string_view kCurrentMarker = "class=\"current\" href=\"";  // + the show-page prefix
constexpr std::string_view kItemMarker = "class=\"item";

constexpr std::string_view kIdAttribute = "id=\"item_";
constexpr std::string_view kTitleAttribute = "title=\"";

constexpr std::string_view kTitleOpen = "<title>";
constexpr std::string_view kTitleClose = "</title>";
constexpr size_t kMinTitleBytes = 3;
// The em dash (GBK A1 AA) that separates a show's name from the rest of a title.
constexpr std::string_view kEmDash = "\xA1\xAA";

// The text after `open` up to the next double quote; nothing when either is missing.
std::optional<std::string_view> QuotedAfter(std::string_view tag, std::string_view open) {
  size_t start = tag.find(open);
  if (start == kNone) return std::nullopt;
  start += open.size();
  size_t end = tag.find('"', start);
  if (end == kNone) return std::nullopt;
  return tag.substr(start, end - start);
}

std::optional<std::string_view> IdFromItemAttribute(std::string_view tag) {
  return QuotedAfter(tag, kIdAttribute);
}

// Scan 3's marker already holds the show-page prefix, so the tag starts with the id.
std::optional<std::string_view> IdBeforeSuffix(std::string_view tag) {
  size_t end = tag.find(kShowPageSuffix);
  if (end == kNone) return std::nullopt;
  return tag.substr(0, end);
}

using IdRule = std::optional<std::string_view> (*)(std::string_view tag);

// Every marker holds this attribute text, so one search for it finds the
// candidates of all four scans and the page is read once, not four times.
constexpr std::string_view kClassAttribute = "class=\"";

// Each marker names a class right after kClassAttribute.
struct LayoutScan {
  LayoutScan(std::string text, IdRule rule)
      : marker(std::move(text)),
        idRule(rule),
        classAt(marker.find(kClassAttribute)),
        classInitial(marker[classAt + kClassAttribute.size()]) {}

  std::string marker;
  IdRule idRule;
  size_t classAt;              // where kClassAttribute stands in the marker
  char classInitial;           // the first letter of the class it names
  std::vector<size_t> starts;  // every place the marker starts, in page order
};

void FindMarkers(std::string_view page, std::vector<LayoutScan>& scans) {
  // Most class attributes name other classes: their first letter already
  // differs, and the search passes over them.
  std::string initials;
  for (const LayoutScan& scan : scans) {
    if (initials.find(scan.classInitial) == std::string::npos) initials += scan.classInitial;
  }
  for (size_t hit = FindBytesFollowedBy(page, kClassAttribute, initials); hit != kNone;
       hit = FindBytesFollowedBy(page, kClassAttribute, initials, hit + 1)) {
    const size_t initial = hit + kClassAttribute.size();
    for (LayoutScan& scan : scans) {
      if (hit < scan.classAt || page[initial] != scan.classInitial) continue;
      size_t start = hit - scan.classAt;
      if (page.substr(start, scan.marker.size()) == scan.marker) scan.starts.push_back(start);
    }
  }
}

// One scan: from each marker at or after the end of the last element, the
// element's tag runs to the next ">"; a marker without one ends the scan.
void RunScan(std::string_view page, const LayoutScan& scan, EpisodeList& list) {
  size_t position = 0;
  for (size_t found : scan.starts) {
    if (found < position) continue;
    size_t start = found + scan.marker.size();
    size_t end = page.find('>', start);
    if (end == kNone) return;
    std::string_view tag = page.substr(start, end - start);
    position = end + 1;
    std::optional<std::string_view> id = scan.idRule(tag);
    if (!id) continue;
    std::optional<std::string_view> label = QuotedAfter(tag, kTitleAttribute);
    if (!label) continue;
    list.AddEpisode(*id, *label);
  }
}

// Cuts `text` at the first `mark` that stands past its first byte.
void CutAtMark(std::string& text, char mark) {
  size_t at = text.find(mark);
  if (at != std::string::npos && at > 0) text.resize(at);
}

void CutAtCharacters(std::string_view& text, std::string_view mark) {
  size_t at = FindGbk(text, mark);
  if (at != kNone && at > 0) text = text.substr(0, at);
}

}  // namespace

std::string ShowPagePrefix(std::string_view showHost) { return std::string(showHost) + std::string(kShowPagePath); }

const std::string& PlayCellText() {
  static const std::string text = Gbk("播放");
  return text;
}

const std::string& EpisodeRow::Column(int column) const {
  switch (column) {
    case 0: return label;
    case 1: return PlayCellText();
    default: return address;
  }
}

size_t EpisodeList::Slot(std::string_view address) const {
  const size_t mask = index_.size() - 1;
  for (size_t slot = std::hash<std::string_view>{}(address) & mask;; slot = (slot + 1) & mask) {
    const uint32_t entry = index_[slot];
    if (entry == 0 || rows_[entry - 1].address == address) return slot;
  }
}

void EpisodeList::Reserve(size_t rows) {
  rows_.reserve(rows);
  while ((rows + 1) * 2 > index_.size()) GrowIndex();
}

void EpisodeList::GrowIndex() {
  std::vector<uint32_t> old = std::exchange(index_, std::vector<uint32_t>(std::max<size_t>(64, index_.size() * 2)));
  for (uint32_t entry : old) {
    if (entry != 0) index_[Slot(rows_[entry - 1].address)] = entry;
  }
}

int EpisodeList::AddEpisode(std::string_view address, std::string_view label) {
  address_.clear();
  if (address.find('/') == std::string_view::npos) {
    address_.append(prefix_).append(address).append(kShowPageSuffix);
  } else {
    address_.append(address);
  }
  CutAtMark(address_, '?');
  CutAtMark(address_, '#');
  if ((rows_.size() + 1) * 2 > index_.size()) GrowIndex();
  const size_t slot = Slot(address_);
  if (index_[slot] != 0) return static_cast<int>(index_[slot] - 1);
  rows_.push_back({std::string(label), address_});
  index_[slot] = static_cast<uint32_t>(rows_.size());
  return Count() - 1;
}

int EpisodeList::Find(std::string_view address) const {
  if (index_.empty()) return -1;
  const uint32_t entry = index_[Slot(address)];
  return static_cast<int>(entry) - 1;
}

std::vector<EpisodeRow> EpisodeList::TakeRows() {
  index_.clear();
  return std::move(rows_);
}

void ScanEpisodeLayouts(std::string_view page, EpisodeList& list) {
  std::vector<LayoutScan> scans = {
      {std::string(kTvListMarker), IdFromItemAttribute},
      {std::string(kProgramMarker), IdFromItemAttribute},
      {std::string(kCurrentMarker) + list.Prefix(), IdBeforeSuffix},
      {std::string(kItemMarker), IdFromItemAttribute},
  };
  FindMarkers(page, scans);
  // Room for every element found, and the page's own row: the rows are not
  // moved again and again as the list grows.
  size_t elements = 1;
  for (const LayoutScan& scan : scans) elements += scan.starts.size();
  list.Reserve(elements);
  for (const LayoutScan& scan : scans) RunScan(page, scan, list);
}

std::string ExtractPageTitle(std::string_view page) {
  size_t start = page.find(kTitleOpen);
  if (start == kNone) return "";
  start += kTitleOpen.size();
  size_t end = page.find(kTitleClose, start);
  if (end == kNone || end - start < kMinTitleBytes) return "";
  std::string_view title = page.substr(start, end - start);
  static const std::string kSiteName = Gbk("优酷网");
  CutAtCharacters(title, kEmDash);
  CutAtCharacters(title, kSiteName);
  return std::string(Trim(title));
}

void ScrapeShowPage(std::string_view page, std::string_view pageAddress, EpisodeList& list) {
  ScanEpisodeLayouts(page, list);
  std::string title = ExtractPageTitle(page);
  if (!title.empty()) list.AddEpisode(pageAddress, title);
}

}  // namespace tavelo
