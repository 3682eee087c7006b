#pragma once
// The catalogue: one record list per data file named in the "[x2_begin]"
// block of data/main.htm, loaded once at start-up. The rest of the program
// takes only its record count from it.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/record_list.h"

namespace tavelo {

class TextBuffer;

// The fixed key the catalogue files and update packages are scrambled with.
inline constexpr std::string_view kCatalogueKey = "kqzmtvpwrbxn815902467";

// The record text between "[LIST_BEGIN]" and "[LIST_END]" of a descrambled
// update package that holds "DB_DATA_END"; nothing when the text is not a
// package, so a package whose list is empty can be told from no package.
std::optional<std::string_view> PackageList(std::string_view text);

class CatalogueCategory {
 public:
  virtual ~CatalogueCategory() = default;

  // Builds the category from a descriptor line "tag,path[,...]". The data
  // file is read scrambled unless its path holds "-txt-"; a relative path is
  // taken from `programDirectory` (with its trailing "/", or "" for the
  // current directory). Returns the record count, or 1 for an unknown tag
  // (the category then stays empty).
  int ParseCatalogueLine(std::string_view line, std::string_view programDirectory = {});
  // Loads the records between "[LIST_BEGIN]" and "[LIST_END]" of a
  // descrambled update package that holds "DB_DATA_END". Returns the count, or
  // 0 when the package is rejected (the list is then left as it was).
  int LoadFromPackage(const TextBuffer& reader);

  const std::string& Descriptor() const { return descriptor_; }
  const RecordList& Records() const { return records_; }

 private:
  std::string descriptor_;
  RecordList records_;
};

class CatalogueStore {
 public:
  static constexpr int kMaxCategories = 100;

  // Reads programDirectory + "data/main.htm" and loads every category it lists.
  // A missing template or block leaves the store empty; false when the
  // template could not be read (errno says why), true for a read one even
  // without a block.
  bool Load(std::string_view programDirectory = {});
  int TotalRecordCount() const;

  int CategoryCount() const { return static_cast<int>(categories_.size()); }
  const CatalogueCategory& Category(int index) const {
    return *categories_[static_cast<size_t>(index)];
  }

 private:
  std::vector<std::unique_ptr<CatalogueCategory>> categories_;
};

}  // namespace tavelo
