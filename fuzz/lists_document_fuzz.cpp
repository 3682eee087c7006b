// libFuzzer target: any bytes as an imported lists document. Nothing may
// crash; a document that is taken must survive being written and read again
// unchanged, since every text it holds fits GBK.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "list_transfer.h"

namespace {

bool SameEntries(const std::vector<tavelo::StoredEntry>& a, const std::vector<tavelo::StoredEntry>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].category != b[i].category || a[i].info != b[i].info) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  std::optional<tavelo::PersonalListsDocument> document =
      tavelo::ReadListsDocument(std::string_view(reinterpret_cast<const char*>(data), size), error);
  if (!document) {
    if (error.empty() || error.find('\n') != std::string::npos) abort();
    return 0;
  }
  int lossyTexts = 0;
  std::optional<tavelo::PersonalListsDocument> again =
      tavelo::ReadListsDocument(tavelo::WriteListsDocument(*document, lossyTexts), error);
  if (lossyTexts != 0 || !again || !SameEntries(again->favourites, document->favourites) ||
      !SameEntries(again->history, document->history)) {
    abort();
  }
  return 0;
}
