#include "catalogue/personal_lists.h"

#include <cerrno>
#include <functional>
#include <unordered_set>

#include "base/atomic_write.h"
#include "base/file_lock.h"
#include "text/encoding.h"
#include "text/field_escapes.h"
#include "text/gbk_text.h"
#include "text/text_buffer.h"

namespace tavelo {

namespace {

// The new list goes to disk in pieces of this size, so a long list is never
// held twice in memory.
constexpr size_t kWriteChunk = 1 << 20;

void AppendEntry(std::string& out, const StoredEntry& entry) {
  VideoRecord record;
  record.fields[0] = entry.category;
  record.fields[1] = entry.info;
  record.fields[2] = kPersonalKind;
  AppendPersonalLine(out, record);
}

// Rewrites the list at `path` while holding its lock. Every live record of
// the file as it is now goes through `keep`; then `appended` names the
// entries that follow them. An edit costs one reading and one writing of the
// list: lines already in the form the list is written in are copied from the
// text read, in stretches, and only other lines are written anew.
ListEdit RewriteList(const std::string& path, const std::function<bool(const VideoRecord&)>& keep,
                     const std::function<std::vector<const StoredEntry*>()>& appended) {
  SaveLock lock(path);
  ListEdit edit;
  std::string text;
  if (!ReadPersonalListText(path, text) && errno != ENOENT) {
    edit.readable = edit.saved = false;
    return edit;
  }

  PendingFile file(path);
  bool written = file.Ok();
  auto write = [&](std::string_view bytes) {
    written = written && file.Write(bytes);
    // The disk starts on what is written while the rest is prepared, so
    // the flush at the end has less left to wait for.
    if (written) file.StartWriteback();
  };
  // Lines written anew, and the stretch of `text` to copy: at most one holds bytes.
  std::string chunk;
  size_t runStart = 0;
  size_t runEnd = 0;
  auto flushRun = [&] {
    if (runEnd > runStart) write(std::string_view(text).substr(runStart, runEnd - runStart));
    runStart = runEnd;
  };
  auto flushChunk = [&] {
    if (!chunk.empty()) write(chunk);
    chunk.clear();
  };
  size_t position = 0;
  for (size_t lineStart = 0; std::optional<std::string_view> line = NextLineAt(text, position); lineStart = position) {
    VideoRecord record = ParsePersonalLine(*line);
    // A record marked deleted by an older program is dropped as its save would.
    const bool dropped = RecordList::IsDeleted(record);
    const bool kept = !dropped && keep(record);
    if (!kept) {
      if (!dropped) ++edit.removed;
      flushRun();
      continue;
    }
    if (IsPersonalLineAsWritten(std::string_view(text).substr(lineStart, position - lineStart), record)) {
      flushChunk();
      if (runEnd != lineStart) {
        flushRun();
        runStart = lineStart;
      }
      runEnd = position;
      if (runEnd - runStart >= kWriteChunk) flushRun();
    } else {
      flushRun();
      AppendPersonalLine(chunk, record);
      if (chunk.size() >= kWriteChunk) flushChunk();
    }
  }
  flushRun();
  for (const StoredEntry* entry : appended()) {
    AppendEntry(chunk, *entry);
    ++edit.added;
    if (chunk.size() >= kWriteChunk) flushChunk();
  }
  if (edit.removed == 0 && edit.added == 0) return edit;
  flushChunk();
  edit.saved = written && file.Commit();
  if (!edit.saved) edit.added = edit.removed = 0;
  return edit;
}

// Why an edit left the list at `path` as it was, or "" when it did not.
std::string FailureMessage(const ListEdit& edit, const std::string& path) {
  if (!edit.readable) return Gbk("无法读取列表文件 ") + path + Gbk("，列表未改动");
  if (!edit.saved) return Gbk("无法保存列表文件 ") + path + Gbk("，列表未改动");
  return "";
}

}  // namespace

std::string PersonalListPath(const ProgramPaths& paths, PersonalListKind kind) {
  return kind == PersonalListKind::kFavourites ? paths.Favourites() : paths.History();
}

std::string EscapeListField(std::string_view text) {
  std::string escaped = ReplaceAll(text, "\t", kLineBreakEscape);
  escaped = ReplaceAll(escaped, "\r", kCarriageReturnEscape);
  return ReplaceAll(escaped, "\n", kLineFeedEscape);
}

std::string UnescapeListField(std::string_view text) {
  std::string plain = ReplaceAll(text, kLineBreakEscape, "\t");
  plain = ReplaceAll(plain, kCarriageReturnEscape, "\r");
  return ReplaceAll(plain, kLineFeedEscape, "\n");
}

ListEdit AddListEntry(const std::string& path, const StoredEntry& entry) {
  return RewriteList(
      path, [&](const VideoRecord& record) { return record.fields[1] != entry.info; },
      [&] { return std::vector<const StoredEntry*>{&entry}; });
}

ListEdit DeleteListEntry(const std::string& path, std::string_view info) {
  return RewriteList(
      path, [&](const VideoRecord& record) { return record.fields[1] != info; },
      [] { return std::vector<const StoredEntry*>{}; });
}

ListEdit MergeListEntries(const std::string& path, const std::vector<StoredEntry>& entries) {
  std::unordered_set<std::string_view> present;
  return RewriteList(
      path,
      [&](const VideoRecord& record) {
        present.insert(record.fields[1]);
        return true;
      },
      [&] {
        std::vector<const StoredEntry*> missing;
        for (const StoredEntry& entry : entries) {
          if (present.insert(entry.info).second) missing.push_back(&entry);
        }
        return missing;
      });
}

std::string AddToFavouritesList(const ProgramPaths& paths, std::string_view category,
                                std::string_view info) {
  ListEdit edit = AddListEntry(paths.Favourites(), {EscapeListField(category), EscapeListField(info)});
  std::string failure = FailureMessage(edit, paths.Favourites());
  return failure.empty() ? Gbk("收藏完成") : failure;
}

bool AddToHistoryList(const ProgramPaths& paths, std::string_view category, std::string_view info) {
  return AddListEntry(paths.History(), {EscapeListField(category), EscapeListField(info)}).saved;
}

ListEdit DeleteFromPersonalList(const ProgramPaths& paths, PersonalListKind kind, std::string_view info) {
  return DeleteListEntry(PersonalListPath(paths, kind), EscapeListField(info));
}

std::string DeletionMessage(const ListEdit& edit, const std::string& path) {
  std::string failure = FailureMessage(edit, path);
  if (!failure.empty()) return failure;
  return edit.removed > 0 ? Gbk("删除完成") : Gbk("该视频已不在列表中,无需删除");
}

}  // namespace tavelo
