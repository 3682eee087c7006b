#pragma once
// Growable arrays of video records: the catalogue categories, the update
// worker's new-data lists and the personal lists (favourites, history).

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

// A number, seven text fields and a lower-cased search key. The texts are
// views into the storage of the RecordList that holds the record: a record
// stays valid until its list is cleared, parsed or loaded again.
struct VideoRecord {
  static constexpr int kFieldCount = 7;

  int number = 0;
  std::array<std::string_view, kFieldCount> fields{};
  // Fields 0 to 6 joined and lower-cased; built by the catalogue parse only.
  std::string_view searchKey;
};

// One line of a personal list, already cut from the text: "number TAB
// category TAB info TAB kind", further fields ignored. The fields are views
// into `line`.
VideoRecord ParsePersonalLine(std::string_view line);
// Appends the record as a personal-list line: "%d\t" and the three fields
// joined by TAB, then "\t\r\n".
void AppendPersonalLine(std::string& out, const VideoRecord& record);
// True when `raw`, a line of a list file with the line break after it, is
// exactly what AppendPersonalLine writes for `record`, parsed from that
// line: the line can then be copied as it stands.
bool IsPersonalLineAsWritten(std::string_view raw, const VideoRecord& record);
// The text of the personal list at `path`. A zero byte, which no save writes
// but a damaged disk or another editor may leave, reads as a space, so no
// record after it is lost. False when the file cannot be read, errno saying
// why (ENOENT when it is missing).
bool ReadPersonalListText(const std::string& path, std::string& text);

class RecordList {
 public:
  // Room for this many more records is added whenever the list fills up.
  static constexpr int kGrowStep = 3000;

  RecordList() = default;
  virtual ~RecordList() = default;
  RecordList(const RecordList&) = delete;
  RecordList& operator=(const RecordList&) = delete;

  // Replaces the contents with the records of a catalogue data text: one
  // record per line (runs of CR/LF separate lines, each trimmed), fields at
  // TAB. An empty or blank line still makes an (empty) record. Returns the count.
  int ParseCatalogueText(std::string text);
  void Clear();

  int Count() const { return static_cast<int>(records_.size()); }
  int Capacity() const { return capacity_; }
  const VideoRecord& operator[](int index) const { return records_[static_cast<size_t>(index)]; }
  const std::string& FilePath() const { return filePath_; }

  // Personal lists: "number TAB category TAB info TAB kind TAB CR LF" per
  // record. Returns the count; a missing file gives an empty list and 0, a
  // file that is there but cannot be read an empty list and -1 (errno says
  // why), which must stop a save that would replace it.
  int LoadPersonalList(const std::string& path);
  // Writes every record that is not deleted. The list is written to a
  // temporary file beside `path` and renamed over it, so the old list stays
  // whole if writing fails. 0 on success, 1 when nothing could be written.
  int SavePersonalList(const std::string& path) const;
  // Marks older records with the same info deleted and appends the new one at
  // the end. Always 1.
  int AddPersonalRecord(std::string_view category, std::string_view info, std::string_view kind);
  // Sets category, info and kind of every record with this info to "NULL". Always 1.
  int MarkDeleted(std::string_view info);

  static bool IsDeleted(const VideoRecord& record);

 private:
  void Reset(int capacity);
  std::string_view Keep(std::string_view text);
  std::string_view KeepWhole(std::string text);

  std::vector<VideoRecord> records_;
  int capacity_ = 0;
  // Owned texts the records point into; each string's bytes never move.
  std::vector<std::unique_ptr<const std::string>> storage_;
  std::string filePath_;
};

}  // namespace tavelo
