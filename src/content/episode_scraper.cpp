#include "content/episode_scraper.h"

#include <optional>

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
  for (size_t hit = page.find(kClassAttribute); hit != kNone; hit = page.find(kClassAttribute, hit + 1)) {
    const size_t initial = hit + kClassAttribute.size();
    if (initial >= page.size()) return;
    for (LayoutScan& scan : scans) {
      // Most class attributes name other classes: their first letter already differs.
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

int EpisodeList::AddEpisode(std::string_view address, std::string_view label) {
  std::string full = address.find('/') == std::string_view::npos
                         ? prefix_ + std::string(address) + std::string(kShowPageSuffix)
                         : std::string(address);
  CutAtMark(full, '?');
  CutAtMark(full, '#');
  auto [entry, added] = index_.try_emplace(full, Count());
  if (added) rows_.push_back({std::string(label), std::move(full)});
  return entry->second;
}

int EpisodeList::Find(std::string_view address) const {
  auto entry = index_.find(std::string(address));
  return entry == index_.end() ? -1 : entry->second;
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
