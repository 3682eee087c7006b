#include "catalogue/personal_lists.h"

#include "base/file_lock.h"
#include "text/encoding.h"
#include "text/gbk_text.h"

namespace tavelo {

namespace {

enum class ListChange { kDone, kUnreadable, kUnsaved };

// Reloads the list under its lock, so changes other processes saved since
// are kept, applies `change` and saves. A list that is there but cannot be
// read is left alone: saving the change alone would wipe it.
template <typename Change>
ListChange ChangeUnderLock(RecordList& list, const std::string& path, Change change) {
  SaveLock lock(path);
  if (list.LoadPersonalList(path) < 0) return ListChange::kUnreadable;
  change(list);
  return list.SavePersonalList(path) == 0 ? ListChange::kDone : ListChange::kUnsaved;
}

// The confirmation after a change, or why the list stayed as it was.
std::string Report(ListChange result, std::string_view confirmation, const std::string& path) {
  switch (result) {
    case ListChange::kDone:
      return std::string(confirmation);
    case ListChange::kUnreadable:
      return Gbk("无法读取列表文件 ") + path + Gbk("，列表未改动");
    case ListChange::kUnsaved:
      break;
  }
  return Gbk("无法保存列表文件 ") + path + Gbk("，列表未改动");
}

ListChange AddUnderLock(RecordList& list, const std::string& path, std::string_view category,
                        std::string_view info) {
  return ChangeUnderLock(list, path, [&](RecordList& loaded) {
    loaded.AddPersonalRecord(EscapeListField(category), EscapeListField(info), kPersonalKind);
  });
}

}  // namespace

std::string EscapeListField(std::string_view text) {
  std::string escaped = ReplaceAll(text, "\t", "**TAB**");
  escaped = ReplaceAll(escaped, "\r", "**MYR**");
  return ReplaceAll(escaped, "\n", "**MYN**");
}

std::string UnescapeListField(std::string_view text) {
  std::string plain = ReplaceAll(text, "**TAB**", "\t");
  plain = ReplaceAll(plain, "**MYR**", "\r");
  return ReplaceAll(plain, "**MYN**", "\n");
}

RecordList& FavouritesList() {
  static RecordList list;
  return list;
}

RecordList& HistoryList() {
  static RecordList list;
  return list;
}

int LoadFavourites() { return FavouritesList().LoadPersonalList(kFavouritesPath); }
int SaveFavourites() { return FavouritesList().SavePersonalList(kFavouritesPath); }
int LoadHistory() { return HistoryList().LoadPersonalList(kHistoryPath); }
int SaveHistory() { return HistoryList().SavePersonalList(kHistoryPath); }

std::string AddToFavouritesList(std::string_view category, std::string_view info) {
  return Report(AddUnderLock(FavouritesList(), kFavouritesPath, category, info), Gbk("收藏完成"),
                kFavouritesPath);
}

void AddToHistoryList(std::string_view category, std::string_view info) {
  AddUnderLock(HistoryList(), kHistoryPath, category, info);
}

std::string DeleteFromPersonalList(RecordList& list, const std::string& path,
                                   std::string_view info) {
  // Reloading first keeps what other processes added since the window loaded the list.
  ListChange result = ChangeUnderLock(list, path, [&](RecordList& loaded) {
    loaded.MarkDeleted(EscapeListField(info));
  });
  return Report(result, Gbk("删除完成"), path);
}

}  // namespace tavelo
