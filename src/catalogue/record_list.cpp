#include "catalogue/record_list.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "base/atomic_write.h"
#include "text/gbk_text.h"
#include "text/splitters.h"
#include "text/text_buffer.h"

namespace tavelo {

namespace {

constexpr std::string_view kDeleted = "NULL";

// Personal-list line layout: number, category, info, kind.
constexpr int kPersonalNumber = 0;
constexpr int kPersonalCategory = 1;
constexpr int kPersonalInfo = 2;
constexpr int kPersonalKind = 3;

int ParseNumber(std::string_view text) {
  int value = 0;
  const char* begin = text.data();
  if (!text.empty() && text.front() == '+') ++begin;
  std::from_chars(begin, text.data() + text.size(), value);
  return value;
}

}  // namespace

VideoRecord ParsePersonalLine(std::string_view line) {
  // Fields past the kind are ignored, so only the first four are cut.
  constexpr int kUsedFields = kPersonalKind + 1;
  std::array<std::string_view, kUsedFields> parts;
  int count = SplitFields(line, '\t', parts.data(), kUsedFields);
  auto field = [&](int i) { return i < count ? parts[static_cast<size_t>(i)] : std::string_view(); };
  VideoRecord record;
  record.number = ParseNumber(field(kPersonalNumber));
  record.fields[0] = field(kPersonalCategory);
  record.fields[1] = field(kPersonalInfo);
  record.fields[2] = field(kPersonalKind);
  return record;
}

void AppendPersonalLine(std::string& out, const VideoRecord& record) {
  out += std::to_string(record.number);
  for (int i = 0; i < 3; ++i) {
    out += '\t';
    out += record.fields[static_cast<size_t>(i)];
  }
  out += "\t\r\n";
}

bool IsPersonalLineAsWritten(std::string_view raw, const VideoRecord& record) {
  char number[16];
  const auto [numberEnd, error] = std::to_chars(number, number + sizeof number, record.number);
  const std::string_view digits(number, static_cast<size_t>(numberEnd - number));
  const std::string_view& category = record.fields[0];
  const std::string_view& info = record.fields[1];
  const std::string_view& kind = record.fields[2];
  constexpr std::string_view kLineEnd = "\t\r\n";
  // The fields view the line itself, so where they stand says that exactly
  // one TAB parts each from the next.
  const char* const start = raw.data();
  return error == std::errc() && raw.starts_with(digits) &&
         raw.size() == digits.size() + 1 + category.size() + 1 + info.size() + 1 + kind.size() + kLineEnd.size() &&
         category.data() == start + digits.size() + 1 && info.data() == category.data() + category.size() + 1 &&
         kind.data() == info.data() + info.size() + 1 && raw.ends_with(kLineEnd);
}

bool ReadPersonalListText(const std::string& path, std::string& text) {
  if (!ReadWholeFile(path, text)) return false;
  // Zero bytes are rare; memchr tells much faster than the replacing loop.
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) std::replace(text.begin(), text.end(), '\0', ' ');
  return true;
}

void RecordList::Reset(int capacity) {
  records_.clear();
  records_.shrink_to_fit();
  storage_.clear();
  filePath_.clear();
  capacity_ = capacity;
  records_.reserve(static_cast<size_t>(capacity));
}

void RecordList::Clear() { Reset(0); }

std::string_view RecordList::KeepWhole(std::string text) {
  storage_.push_back(std::make_unique<const std::string>(std::move(text)));
  return *storage_.back();
}

std::string_view RecordList::Keep(std::string_view text) { return KeepWhole(std::string(text)); }

int RecordList::ParseCatalogueText(std::string text) {
  TextBuffer reader;
  reader.SetText(std::move(text));
  Reset(reader.CountLines() + kGrowStep);
  std::string_view body = KeepWhole(reader.TakeText());

  // Every key is made of bytes of the text, so keys reserved at the text's
  // size never reallocate and the views into them stay put.
  auto keys = std::make_unique<std::string>();
  keys->reserve(body.size());

  std::array<std::string_view, FieldList::kMaxFields> parts;
  size_t position = 0;
  while (std::optional<std::string_view> line = NextLineAt(body, position)) {
    VideoRecord& record = records_.emplace_back();
    int count = SplitFields(*line, '\t', parts.data(), FieldList::kMaxFields);
    if (count == 0 || parts[0].empty()) continue;
    size_t keyStart = keys->size();
    for (int i = 0; i < VideoRecord::kFieldCount && i < count; ++i) {
      record.fields[static_cast<size_t>(i)] = parts[static_cast<size_t>(i)];
      keys->append(parts[static_cast<size_t>(i)]);
    }
    LowerGbkInPlace(keys->data() + keyStart, keys->size() - keyStart);
    record.searchKey = std::string_view(keys->data() + keyStart, keys->size() - keyStart);
  }
  storage_.push_back(std::move(keys));
  return Count();
}

int RecordList::LoadPersonalList(const std::string& path) {
  std::string text;
  const bool unreadable = !ReadPersonalListText(path, text) && errno != ENOENT;
  Reset(static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1 + kGrowStep);
  filePath_ = path;
  std::string_view body = KeepWhole(std::move(text));

  size_t position = 0;
  while (std::optional<std::string_view> line = NextLineAt(body, position)) {
    records_.push_back(ParsePersonalLine(*line));
  }
  return unreadable ? -1 : Count();
}

bool RecordList::IsDeleted(const VideoRecord& record) {
  return record.fields[0] == kDeleted && record.fields[1] == kDeleted &&
         record.fields[2] == kDeleted;
}

int RecordList::SavePersonalList(const std::string& path) const {
  std::string lines;
  for (const VideoRecord& record : records_) {
    if (!IsDeleted(record)) AppendPersonalLine(lines, record);
  }
  return AtomicWriteFile(path, lines) ? 0 : 1;
}

int RecordList::AddPersonalRecord(std::string_view category, std::string_view info,
                                  std::string_view kind) {
  MarkDeleted(info);
  if (Count() == capacity_) {
    capacity_ += kGrowStep;
    records_.reserve(static_cast<size_t>(capacity_));
  }
  VideoRecord& record = records_.emplace_back();
  record.fields[0] = Keep(category);
  record.fields[1] = Keep(info);
  record.fields[2] = Keep(kind);
  return 1;
}

int RecordList::MarkDeleted(std::string_view info) {
  for (VideoRecord& record : records_) {
    if (record.fields[1] == info) {
      record.fields[0] = record.fields[1] = record.fields[2] = kDeleted;
    }
  }
  return 1;
}

}  // namespace tavelo
