#include "catalogue/personal_lists.h"

#include "base/file_lock.h"
#include "text/encoding.h"
#include "text/gbk_text.h"

namespace tavelo {

namespace {

void AddUnderLock(RecordList& list, const std::string& path, std::string_view category,
                  std::string_view info) {
  FileLock lock(path);
  list.LoadPersonalList(path);
  list.AddPersonalRecord(EscapeListField(category), EscapeListField(info), kPersonalKind);
  list.SavePersonalList(path);
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
  AddUnderLock(FavouritesList(), kFavouritesPath, category, info);
  return Gbk("收藏完成");
}

void AddToHistoryList(std::string_view category, std::string_view info) {
  AddUnderLock(HistoryList(), kHistoryPath, category, info);
}

std::string DeleteFromPersonalList(RecordList& list, const std::string& path,
                                   std::string_view info) {
  FileLock lock(path);
  // Reloading first keeps what other processes added since the window loaded the list.
  list.LoadPersonalList(path);
  list.MarkDeleted(EscapeListField(info));
  list.SavePersonalList(path);
  return Gbk("删除完成");
}

}  // namespace tavelo
