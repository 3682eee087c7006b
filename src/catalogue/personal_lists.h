#pragma once
// The user's favourites (data/myfavo.dat) and watch history
// (data/myvisited.dat). Several processes of the program change these files,
// so every change reloads the file, edits it and writes it back while holding
// a lock beside the file.

#include <string>
#include <string_view>

#include "catalogue/record_list.h"

namespace tavelo {

inline constexpr const char* kFavouritesPath = "data/myfavo.dat";
inline constexpr const char* kHistoryPath = "data/myvisited.dat";
// The kind written with every record this program adds.
inline constexpr std::string_view kPersonalKind = "data3";

// TAB, CR and LF become "**TAB**", "**MYR**" and "**MYN**", so that a field
// stays on its line and between its TABs; UnescapeListField undoes it.
std::string EscapeListField(std::string_view text);
std::string UnescapeListField(std::string_view text);

// The two process-wide lists, filled only by the loads below.
RecordList& FavouritesList();
RecordList& HistoryList();

int LoadFavourites();
int SaveFavourites();
int LoadHistory();
int SaveHistory();

// The list actions the windows call. Each reloads the list under the lock,
// applies the change and saves; a list file that is there but cannot be
// read, or a save that fails, leaves the file as it was. Category and info
// are given unescaped. Returns the message to show: "收藏完成", or why the
// list could not be changed.
std::string AddToFavouritesList(std::string_view category, std::string_view info);
// Opening a video records it at the end of the history, without a message.
void AddToHistoryList(std::string_view category, std::string_view info);
// Removes the video from `list`, which was loaded from `path`. Returns the
// message to show: "删除完成" (also when nothing matched), or why the list
// could not be changed.
std::string DeleteFromPersonalList(RecordList& list, const std::string& path,
                                   std::string_view info);

}  // namespace tavelo
