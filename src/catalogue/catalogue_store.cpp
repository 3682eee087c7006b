#include "catalogue/catalogue_store.h"

#include <array>
#include <optional>

#include "base/program_paths.h"
#include "text/splitters.h"
#include "text/template_file.h"
#include "text/text_buffer.h"

namespace tavelo {

namespace {

constexpr std::array<std::string_view, 6> kFormatTags = {"v1", "v2", "v3", "v4", "v5", "vd1"};
constexpr std::string_view kPlainFileMark = "-txt-";

constexpr std::string_view kPackageEnd = "DB_DATA_END";
constexpr std::string_view kListBegin = "[LIST_BEGIN]";
constexpr std::string_view kListEnd = "[LIST_END]";

bool IsFormatTag(std::string_view tag) {
  for (std::string_view known : kFormatTags) {
    if (tag == known) return true;
  }
  return false;
}

}  // namespace

int CatalogueCategory::ParseCatalogueLine(std::string_view line,
                                          std::string_view programDirectory) {
  descriptor_ = line;
  FieldList fields;
  fields.Split(line, ',');
  if (!IsFormatTag(fields[0])) return 1;

  std::string_view file = fields[1];
  std::string_view key = file.find(kPlainFileMark) == std::string_view::npos
                             ? kCatalogueKey
                             : std::string_view();
  std::string path = file.starts_with('/') ? std::string(file)
                                           : std::string(programDirectory) + std::string(file);
  TextBuffer reader;
  // An empty path names no file; the category is then simply empty.
  if (!file.empty()) reader.LoadFile(path, key);
  return records_.ParseCatalogueText(reader.TakeText());
}

std::optional<std::string_view> PackageList(std::string_view text) {
  if (text.find(kPackageEnd) == std::string_view::npos) return std::nullopt;
  size_t begin = text.find(kListBegin);
  if (begin == std::string_view::npos) return std::nullopt;
  begin += kListBegin.size();
  size_t end = text.find(kListEnd, begin);
  if (end == std::string_view::npos) return std::nullopt;
  return text.substr(begin, end - begin);
}

int CatalogueCategory::LoadFromPackage(const TextBuffer& reader) {
  std::optional<std::string_view> list = PackageList(reader.Text());
  if (!list) return 0;
  return records_.ParseCatalogueText(std::string(*list));
}

bool CatalogueStore::Load(std::string_view programDirectory) {
  categories_.clear();
  TemplateFile templates;
  if (templates.Load(std::string(programDirectory) + std::string(kTemplateFile)) != 0) return false;
  std::vector<std::string> lines = templates.GetLines("[x2_begin]", "[x2_end]", kMaxCategories);
  for (const std::string& line : lines) {
    auto category = std::make_unique<CatalogueCategory>();
    category->ParseCatalogueLine(line, programDirectory);
    categories_.push_back(std::move(category));
  }
  return true;
}

int CatalogueStore::TotalRecordCount() const {
  int total = 0;
  for (const auto& category : categories_) total += category->Records().Count();
  return total;
}

}  // namespace tavelo
