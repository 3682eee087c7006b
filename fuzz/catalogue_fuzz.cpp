// libFuzzer target: catalogue lines and records. The input's first line is
// a descriptor line and the rest a data text, parsed as catalogue data, as
// an update package and, saved in the scratch folder, as the file the
// descriptor names.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "catalogue/catalogue_store.h"
#include "fuzz_scratch.h"
#include "text/splitters.h"
#include "text/text_buffer.h"

namespace {

// The search key is the record's fields joined, lower-cased in place.
void CheckSearchKeys(const tavelo::RecordList& list) {
  for (int i = 0; i < list.Count(); ++i) {
    size_t joined = 0;
    for (std::string_view field : list[i].fields) joined += field.size();
    if (!list[i].fields[0].empty() && list[i].searchKey.size() != joined) abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavelo;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t position = 0;
  const std::string descriptor(NextLineAt(input, position).value_or(""));
  const std::string_view body = input.substr(position);

  RecordList records;
  records.ParseCatalogueText(std::string(body));
  CheckSearchKeys(records);

  TextBuffer package;
  package.SetText(std::string(body));
  CatalogueCategory updated;
  updated.LoadFromPackage(package);
  CheckSearchKeys(updated.Records());

  // A descriptor may name only names in the scratch folder, so the target
  // never reads the machine's files; the body is saved under a plain name
  // (one too long to make stays missing), and "." and ".." stay the folders
  // they are.
  FieldList fields;
  fields.Split(descriptor, ',');
  const std::string name(fields[1]);
  if (name.find('/') == std::string::npos) {
    if (!name.empty() && name != "." && name != "..") {
      fuzz::WriteScratchFile(name, reinterpret_cast<const uint8_t*>(body.data()), body.size());
    }
    CatalogueCategory category;
    category.ParseCatalogueLine(descriptor, fuzz::ScratchDir());
    CheckSearchKeys(category.Records());
    fuzz::ClearScratchDir();
  }
  return 0;
}
