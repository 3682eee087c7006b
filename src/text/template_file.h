#pragma once
// Section lookups in a template file such as data/main.htm. A key line (the
// whole trimmed line, letter case ignored) is followed by its value, the next
// non-comment line, or by a list of lines up to an end-marker line. Callers
// load a fresh TemplateFile for each lookup so edits on disk are seen at once.

#include <string>
#include <string_view>
#include <vector>

#include "text/text_buffer.h"

namespace tavelo {

class TemplateFile {
 public:
  static constexpr int kMaxListLines = 100;

  // 0 when the file was read, 1 when it could not be (lookups then find nothing).
  int Load(const std::string& path) { return buffer_.LoadFile(path); }
  void SetText(std::string text) { buffer_.SetText(std::move(text)); }

  // The first non-comment line after the first key line, or "".
  std::string GetValue(std::string_view key);
  // The non-comment lines after the key line up to `endMarker` (compared byte
  // for byte), at most `maximum` of them.
  std::vector<std::string> GetLines(std::string_view key, std::string_view endMarker,
                                    int maximum = kMaxListLines);

 private:
  TextBuffer buffer_;
};

// Loads `path` and looks `key` up; "" when the file or the key is missing.
std::string TemplateValue(const std::string& path, std::string_view key);

}  // namespace tavelo
