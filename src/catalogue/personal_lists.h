#pragma once
// The user's favourites (data/myfavo.dat) and watch history
// (data/myvisited.dat). Several processes of the program change these files,
// so every change takes a lock beside the file, reads the file as it is at
// that moment, changes it and writes it back whole.

#include <string>
#include <string_view>
#include <vector>

#include "base/program_paths.h"
#include "catalogue/record_list.h"

namespace tavelo {

enum class PersonalListKind { kFavourites, kHistory };

// The kind written with every record this program adds.
inline constexpr std::string_view kPersonalKind = "data3";

std::string PersonalListPath(const ProgramPaths& paths, PersonalListKind kind);

// TAB, CR and LF become "**TAB**", "**MYR**" and "**MYN**", so that a field
// stays on its line and between its TABs; UnescapeListField undoes it.
std::string EscapeListField(std::string_view text);
std::string UnescapeListField(std::string_view text);

// A record as the list file holds it: category and info escaped.
struct StoredEntry {
  std::string category;
  std::string info;
};

// What a locked edit did. A list file that is there but cannot be read is
// left alone (`readable` false): saving the change alone would wipe it. When
// `saved` is false the file holds what it held before.
struct ListEdit {
  bool readable = true;
  bool saved = true;
  int removed = 0;
  int added = 0;
};

// The locked edits on the list file at `path`; texts in their stored form.
// Adding moves a video to the end: its older records go, the new one follows
// the rest.
ListEdit AddListEntry(const std::string& path, const StoredEntry& entry);
// Takes out every record with this info; the file is not rewritten when none matched.
ListEdit DeleteListEntry(const std::string& path, std::string_view info);
// Appends, in order, the entries whose info the list does not hold yet.
ListEdit MergeListEntries(const std::string& path, const std::vector<StoredEntry>& entries);

// The list actions the windows call, with category and info as shown
// (unescaped). Each returns the message to show, or reports success.
// "收藏完成", or why the list could not be changed.
std::string AddToFavouritesList(const ProgramPaths& paths, std::string_view category,
                                std::string_view info);
// Opening a video records it at the end of the history, without a message.
bool AddToHistoryList(const ProgramPaths& paths, std::string_view category, std::string_view info);
// Takes the video out of the list; DeletionMessage says how that went.
ListEdit DeleteFromPersonalList(const ProgramPaths& paths, PersonalListKind kind, std::string_view info);
// "删除完成" when the video was taken out of the list at `path`; otherwise
// that it was no longer there, or why the list could not be changed.
std::string DeletionMessage(const ListEdit& edit, const std::string& path);

}  // namespace tavelo
