#include "catalogue/progress_store.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/atomic_write.h"
#include "base/file_lock.h"
#include "catalogue/personal_lists.h"
#include "text/encoding.h"
#include "text/splitters.h"
#include "text/text_buffer.h"

namespace tavelo {

namespace {

constexpr int kProgressFields = 6;

template <typename Number>
std::optional<Number> WholeNumber(std::string_view text) {
  Number value{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Escapes are rare; most fields are taken as they are.
std::string StoredText(std::string_view field) {
  return field.find("**") == std::string_view::npos ? std::string(field) : UnescapeListField(field);
}

// Views on the line, without copying it: the store is read whenever an
// episode starts.
std::optional<EpisodeProgress> ParseRecord(std::string_view line) {
  std::array<std::string_view, kProgressFields> fields;
  for (std::string_view& field : fields) {
    const size_t tab = line.find('\t');
    field = line.substr(0, tab);
    line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
  }
  if (fields[0].empty()) return std::nullopt;
  std::optional<int> position = WholeNumber<int>(fields[3]);
  std::optional<int> duration = WholeNumber<int>(fields[4]);
  std::optional<long long> savedAt = WholeNumber<long long>(fields[5]);
  if (!position || !duration || !savedAt || *position < 0 || *duration < 0 || *position > *duration) {
    return std::nullopt;
  }
  return EpisodeProgress{StoredText(fields[0]), StoredText(fields[1]), StoredText(fields[2]),
                         *position, *duration, *savedAt};
}

}  // namespace

bool IsFinished(int position, int duration) {
  if (duration <= 0) return false;
  return position >= duration - kFinishedTailSeconds || position >= duration * kFinishedShare;
}

int ResumePosition(const EpisodeProgress* record) {
  if (record == nullptr || IsFinished(record->position, record->duration)) return 0;
  return record->position > kMinResumeSeconds ? record->position : 0;
}

std::vector<EpisodeProgress> ParseProgressText(std::string_view text) {
  std::vector<EpisodeProgress> records;
  size_t position = 0;
  while (std::optional<std::string_view> line = NextLineAt(text, position)) {
    if (std::optional<EpisodeProgress> record = ParseRecord(*line)) records.push_back(std::move(*record));
  }
  return records;
}

std::string ProgressText(const std::vector<EpisodeProgress>& records) {
  std::string text;
  text.reserve(records.size() * 96);
  for (const EpisodeProgress& record : records) {
    text += EscapeListField(record.address);
    text += '\t';
    text += EscapeListField(record.video);
    text += '\t';
    text += EscapeListField(record.label);
    text += '\t';
    text += std::to_string(record.position);
    text += '\t';
    text += std::to_string(record.duration);
    text += '\t';
    text += std::to_string(record.savedAt);
    text += "\t\r\n";
  }
  return text;
}

std::optional<std::vector<EpisodeProgress>> LoadProgress(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    if (errno == ENOENT) return std::vector<EpisodeProgress>{};
    return std::nullopt;
  }
  return ParseProgressText(bytes);
}

const EpisodeProgress* FindProgress(const std::vector<EpisodeProgress>& records, std::string_view address) {
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->address == address) return &*record;
  }
  return nullptr;
}

const EpisodeProgress* FindVideoProgress(const std::vector<EpisodeProgress>& records, std::string_view video) {
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->video == video) return &*record;
  }
  return nullptr;
}

ProgressEdit SaveProgress(const std::string& path, const EpisodeProgress& record) {
  SaveLock lock(path);
  std::optional<std::vector<EpisodeProgress>> records = LoadProgress(path);
  if (!records) return {.readable = false, .saved = false};
  std::erase_if(*records, [&](const EpisodeProgress& old) { return old.address == record.address; });
  records->push_back(record);
  if (records->size() > kMaxProgressRecords) {
    records->erase(records->begin(), records->end() - static_cast<std::ptrdiff_t>(kMaxProgressRecords));
  }
  return {.readable = true, .saved = AtomicWriteFile(path, ProgressText(*records))};
}

ProgressEdit ClearProgress(const std::string& path) {
  SaveLock lock(path);
  if (!LoadProgress(path)) return {.readable = false, .saved = false};
  return {.readable = true, .saved = AtomicWriteFile(path, "")};
}

std::string ProgressFailureMessage(const ProgressEdit& edit, const std::string& path) {
  if (!edit.readable) return Gbk("无法读取播放进度文件 ") + path + Gbk("，进度未保存");
  if (!edit.saved) return Gbk("无法保存播放进度文件 ") + path + Gbk("，进度未保存");
  return "";
}

std::string ClockText(int seconds) {
  seconds = std::max(seconds, 0);
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
  }
  return text;
}

std::string ProgressSummary(const EpisodeProgress& record) {
  std::string summary = record.label.empty() ? "" : record.label + " ";
  if (IsFinished(record.position, record.duration)) return summary + Gbk("已看完");
  return summary + ClockText(record.position) + " / " + ClockText(record.duration);
}

std::optional<VideoState> ParseVideoState(std::string_view answer) {
  FieldList lines;
  lines.Split(answer, '\n');
  if (lines.Count() < 4) return std::nullopt;
  std::optional<double> position = WholeNumber<double>(lines[0]);
  std::optional<double> duration = WholeNumber<double>(lines[1]);
  if (!position || !duration || !std::isfinite(*position) || !std::isfinite(*duration)) return std::nullopt;
  if (*position < 0 || *duration <= 0 || *position > *duration) return std::nullopt;
  return VideoState{*position, *duration, lines[2] == "1", lines[3] == "1", std::string(lines[4])};
}

}  // namespace tavelo
