#pragma once
// The document that carries the favourites and the watch history to another
// machine: one JSON object in UTF-8,
//   {"format": "tavelo-personal-lists", "version": 1,
//    "favourites": [{"category": ..., "info": ...}, ...], "history": [...]}
// with each list oldest first, as its file keeps it, and the texts as the
// windows show them (real TABs and line breaks, not the file's escapes).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/personal_lists.h"

namespace tavelo {

// Both lists, entries in their stored form (GBK, escaped).
struct PersonalListsDocument {
  std::vector<StoredEntry> favourites;
  std::vector<StoredEntry> history;
};

// The JSON text of the document. Stored bytes that are not GBK cannot be
// carried as they are: each becomes "?", and `lossyTexts` counts the texts
// that held any.
std::string WriteListsDocument(const PersonalListsDocument& document, int& lossyTexts);

// Reads a document that WriteListsDocument made. Anything else (not JSON,
// another kind of file, a missing or mistyped member, a text with a
// character GBK lacks or a zero character, arrays and objects nested more
// than 64 deep) gives nothing, and `error` says why in one line of UTF-8.
std::optional<PersonalListsDocument> ReadListsDocument(std::string_view json, std::string& error);

}  // namespace tavelo
