#include "text/template_file.h"

namespace tavelo {

std::string TemplateFile::GetValue(std::string_view key) {
  buffer_.Rewind();
  if (buffer_.FindLine(key) != 0) return {};
  std::string value;
  buffer_.NextContentLine(value);
  return value;
}

std::vector<std::string> TemplateFile::GetLines(std::string_view key, std::string_view endMarker,
                                                int maximum) {
  std::vector<std::string> lines;
  buffer_.Rewind();
  if (buffer_.FindLine(key) != 0) return lines;
  std::string line;
  while (static_cast<int>(lines.size()) < maximum && buffer_.NextContentLine(line) == 0) {
    if (line == endMarker) break;
    lines.push_back(line);
  }
  return lines;
}

std::string TemplateValue(const std::string& path, std::string_view key) {
  TemplateFile file;
  file.Load(path);
  return file.GetValue(key);
}

}  // namespace tavelo
