#include "list_transfer.h"

#include <nlohmann/json.hpp>

#include "text/encoding.h"

namespace tavelo {

namespace {

// Members keep the order they are written in, so the format comes first.
using Json = nlohmann::ordered_json;

constexpr std::string_view kFormat = "tavelo-personal-lists";
constexpr int kVersion = 1;
// The document itself is three levels deep. Far deeper nesting is a hostile
// or broken file, and building its tree would exhaust the stack.
constexpr int kMaxNesting = 64;

struct ListMember {
  const char* name;
  std::vector<StoredEntry> PersonalListsDocument::*entries;
};

constexpr ListMember kLists[] = {
    {"favourites", &PersonalListsDocument::favourites},
    {"history", &PersonalListsDocument::history},
};

std::string ShownUtf8(std::string_view stored, int& lossyTexts) {
  const std::string shown = UnescapeListField(stored);
  if (std::optional<std::string> exact = GbkToUtf8Exact(shown)) return *exact;
  ++lossyTexts;
  return GbkToUtf8(shown);
}

// The stored form of one text of the document, or nothing when it does not
// fit a list file.
std::optional<std::string> StoredText(const Json& text) {
  const std::string& utf8 = text.get_ref<const std::string&>();
  // A zero byte would end the list file's text early.
  if (utf8.find('\0') != std::string::npos) return std::nullopt;
  std::optional<std::string> gbk = Utf8ToGbkExact(utf8);
  if (!gbk) return std::nullopt;
  return EscapeListField(*gbk);
}

// Whether arrays and objects in `json` nest deeper than kMaxNesting; brackets
// inside strings do not count.
bool NestsTooDeep(std::string_view json) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxNesting) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

bool ReadList(const Json& list, const char* name, std::vector<StoredEntry>& entries, std::string& error) {
  if (!list.is_array()) {
    error = std::string("导出文件缺少列表 ") + name;
    return false;
  }
  for (size_t i = 0; i < list.size(); ++i) {
    const Json& entry = list[i];
    const std::string where = std::string(name) + " 第 " + std::to_string(i + 1) + " 条";
    auto category = entry.is_object() ? entry.find("category") : entry.end();
    auto info = entry.is_object() ? entry.find("info") : entry.end();
    if (!entry.is_object() || category == entry.end() || info == entry.end() || !category->is_string() ||
        !info->is_string()) {
      error = where + "不是含 category 和 info 文字的记录";
      return false;
    }
    std::optional<std::string> storedCategory = StoredText(*category);
    std::optional<std::string> storedInfo = StoredText(*info);
    if (!storedCategory || !storedInfo) {
      error = where + "含有 GBK 无法表示的字符";
      return false;
    }
    entries.push_back({std::move(*storedCategory), std::move(*storedInfo)});
  }
  return true;
}

}  // namespace

std::string WriteListsDocument(const PersonalListsDocument& document, int& lossyTexts) {
  Json root = {{"format", kFormat}, {"version", kVersion}};
  for (const ListMember& member : kLists) {
    Json list = Json::array();
    for (const StoredEntry& entry : document.*member.entries) {
      list.push_back({{"category", ShownUtf8(entry.category, lossyTexts)},
                      {"info", ShownUtf8(entry.info, lossyTexts)}});
    }
    root[member.name] = std::move(list);
  }
  return root.dump(1) + "\n";
}

std::optional<PersonalListsDocument> ReadListsDocument(std::string_view json, std::string& error) {
  if (NestsTooDeep(json)) {
    error = "JSON 嵌套超过 " + std::to_string(kMaxNesting) + " 层,不是导出文件";
    return std::nullopt;
  }
  const Json root = Json::parse(json, nullptr, /*allow_exceptions=*/false);
  if (root.is_discarded()) {
    error = "不是有效的 JSON 文件";
    return std::nullopt;
  }
  auto format = root.is_object() ? root.find("format") : root.end();
  if (!root.is_object() || format == root.end() || !format->is_string() ||
      format->get_ref<const std::string&>() != kFormat) {
    error = "不是收藏和观看记录的导出文件";
    return std::nullopt;
  }
  auto version = root.find("version");
  if (version == root.end() || !version->is_number_integer() || version->get<long long>() != kVersion) {
    error = "导出文件的版本无法识别";
    return std::nullopt;
  }
  PersonalListsDocument document;
  for (const ListMember& member : kLists) {
    auto list = root.find(member.name);
    if (!ReadList(list == root.end() ? Json() : *list, member.name, document.*member.entries, error)) {
      return std::nullopt;
    }
  }
  return document;
}

}  // namespace tavelo
