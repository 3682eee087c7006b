#include "lists_command.h"

#include <sys/stat.h>

#include <cerrno>
#include <ostream>

#include "base/atomic_write.h"
#include "base/file_handle.h"
#include "base/program_paths.h"
#include "catalogue/personal_lists.h"
#include "list_transfer.h"
#include "text/text_buffer.h"
#include "tool_common.h"

namespace tavelo {

namespace {

// An export of both lists at their largest plausible size is a few tens of
// megabytes; anything far beyond that is not one.
constexpr off_t kMaxImportBytes = off_t{256} << 20;

using Arguments = std::vector<std::string>;

struct ListName {
  const char* name;
  PersonalListKind kind;
};

constexpr ListName kListNames[] = {
    {"favourites", PersonalListKind::kFavourites},
    {"history", PersonalListKind::kHistory},
};

std::optional<PersonalListKind> ListArgument(const std::string& name) {
  for (const ListName& list : kListNames) {
    if (name == list.name) return list.kind;
  }
  return std::nullopt;
}

// The live records of a list file, oldest first, in their stored form;
// nothing when the file is there but cannot be read.
std::optional<std::vector<StoredEntry>> StoredEntries(const std::string& path) {
  RecordList list;
  if (list.LoadPersonalList(path) < 0) return std::nullopt;
  std::vector<StoredEntry> entries;
  for (int i = 0; i < list.Count(); ++i) {
    if (RecordList::IsDeleted(list[i])) continue;
    entries.push_back({std::string(list[i].fields[0]), std::string(list[i].fields[1])});
  }
  return entries;
}

// Why an edit of the list at `path` left it as it was.
int EditFailure(const ListEdit& edit, const std::string& path, std::ostream& err) {
  return FileError(err, edit.readable ? "write" : "read", path);
}

int Show(const std::string& path, std::ostream& out, std::ostream& err) {
  std::optional<std::vector<StoredEntry>> entries = StoredEntries(path);
  if (!entries) return FileError(err, "read", path);
  for (auto entry = entries->rbegin(); entry != entries->rend(); ++entry) {
    out << StoredText{entry->category} << '\t' << StoredText{entry->info} << '\n';
  }
  return kToolDone;
}

// The arguments are in stored form already; escaping only guards the file's
// lines against a raw TAB or line break in them.
StoredEntry EntryArgument(const std::string& category, const std::string& info) {
  return {EscapeListField(category), EscapeListField(info)};
}

int Add(const std::string& path, const StoredEntry& entry, std::ostream& err) {
  ListEdit edit = AddListEntry(path, entry);
  return edit.saved ? kToolDone : EditFailure(edit, path, err);
}

int Delete(const std::string& path, const StoredEntry& entry, std::ostream& out, std::ostream& err) {
  ListEdit edit = DeleteListEntry(path, entry.info);
  if (!edit.saved) return EditFailure(edit, path, err);
  out << (edit.removed > 0 ? "删除完成" : "该视频已不在列表中,无需删除") << '\n';
  return kToolDone;
}

int Export(const ProgramPaths& paths, const std::string& file, std::ostream& err) {
  std::optional<std::vector<StoredEntry>> favourites = StoredEntries(paths.Favourites());
  if (!favourites) return FileError(err, "read", paths.Favourites());
  std::optional<std::vector<StoredEntry>> history = StoredEntries(paths.History());
  if (!history) return FileError(err, "read", paths.History());
  int lossyTexts = 0;
  const std::string json = WriteListsDocument({std::move(*favourites), std::move(*history)}, lossyTexts);
  if (!AtomicWriteFile(file, json)) return FileError(err, "write", file);
  if (lossyTexts > 0) {
    err << "tavelo-catalogue: " << lossyTexts << " 段文字含有不是 GBK 的字节,已以 ? 代替\n";
  }
  return kToolDone;
}

int Import(const ProgramPaths& paths, const std::string& file, std::ostream& out, std::ostream& err) {
  struct stat info {};
  if (stat(file.c_str(), &info) != 0) return FileError(err, "read", file);
  std::string error;
  std::optional<PersonalListsDocument> document;
  if (info.st_size > kMaxImportBytes) {
    error = "文件过大,不是导出文件";
  } else {
    std::string json;
    if (!ReadWholeFile(file, json)) return FileError(err, "read", file);
    document = ReadListsDocument(json, error);
  }
  if (!document) {
    err << "tavelo-catalogue: 导入失败,列表未改变: " << error << "\n";
    return kToolFileError;
  }
  // Both lists must be readable before either changes, or half the file
  // would get in.
  for (const std::string& list : {paths.Favourites(), paths.History()}) {
    FileHandle readable(OpenRegularFile(list));
    if (!readable.Valid() && errno != ENOENT) return FileError(err, "read", list);
  }
  ListEdit favourites = MergeListEntries(paths.Favourites(), document->favourites);
  if (!favourites.saved) return EditFailure(favourites, paths.Favourites(), err);
  ListEdit history = MergeListEntries(paths.History(), document->history);
  if (!history.saved) return EditFailure(history, paths.History(), err);
  out << "收藏新增 " << favourites.added << " 条,观看记录新增 " << history.added << " 条\n";
  return kToolDone;
}

}  // namespace

int RunListsCommand(const Arguments& arguments, std::ostream& out, std::ostream& err) {
  const ProgramPaths paths{FolderArgument(arguments[0])};
  const std::string& verb = arguments[1];
  const size_t count = arguments.size();
  if ((verb == "export" || verb == "import") && count == 3) {
    return verb == "export" ? Export(paths, arguments[2], err) : Import(paths, arguments[2], out, err);
  }
  std::optional<PersonalListKind> kind = ListArgument(arguments[2]);
  if (!kind) return kToolUsageError;
  const std::string path = PersonalListPath(paths, *kind);
  if (verb == "show" && count == 3) return Show(path, out, err);
  if (count != 5) return kToolUsageError;
  if (verb == "add") return Add(path, EntryArgument(arguments[3], arguments[4]), err);
  if (verb == "delete") return Delete(path, EntryArgument(arguments[3], arguments[4]), out, err);
  return kToolUsageError;
}

}  // namespace tavelo
