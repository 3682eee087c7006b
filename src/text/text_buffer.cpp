#include "text/text_buffer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "text/gbk_text.h"

namespace tavelo {

void KeyedXor(std::string& bytes, std::string_view key) {
  if (key.empty()) return;
  const size_t keyLength = key.size();
  size_t k = 0;
  for (char& c : bytes) {
    c = static_cast<char>(c ^ key[k]);
    if (++k == keyLength) k = 0;
  }
}

int TextBuffer::LoadFile(const std::string& path, std::string_view key) {
  text_.clear();
  position_ = 0;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return 1;

  // Read in growing pieces rather than trusting the size the file reports:
  // files under /proc, pipes and files that grow while read all report wrongly.
  std::string bytes;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
    long size = std::ftell(file.get());
    if (size > 0) bytes.reserve(static_cast<size_t>(size) + 1);
    std::rewind(file.get());
  }
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, got);
  if (std::ferror(file.get())) return 1;

  KeyedXor(bytes, key);
  size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  text_ = std::move(bytes);
  return 0;
}

void TextBuffer::SetText(std::string text) {
  size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  text_ = std::move(text);
  position_ = 0;
}

std::string TextBuffer::TakeText() {
  position_ = 0;
  return std::move(text_);
}

std::optional<std::string_view> NextLineAt(std::string_view text, size_t& position) {
  if (position >= text.size()) return std::nullopt;
  size_t end = text.find_first_of("\r\n", position);
  if (end == std::string_view::npos) end = text.size();
  std::string_view line = text.substr(position, end - position);
  end = text.find_first_not_of("\r\n", end);
  position = end == std::string_view::npos ? text.size() : end;
  return Trim(line);
}

int TextBuffer::NextLine(std::string& out) {
  std::optional<std::string_view> line = NextLineView();
  if (!line) return 1;
  out.assign(*line);
  return 0;
}

int TextBuffer::FindLine(std::string_view key) {
  for (;;) {
    std::optional<std::string_view> line = NextLineView();
    if (!line) return 1;
    if (EqualsIgnoreCaseGbk(*line, key)) return 0;
  }
}

int TextBuffer::NextContentLine(std::string& out) {
  for (;;) {
    std::optional<std::string_view> line = NextLineView();
    if (!line) return 1;
    if (line->substr(0, 2) != "//") {
      out.assign(*line);
      return 0;
    }
  }
}

int TextBuffer::CountLines() const {
  return 1 + static_cast<int>(std::count(text_.begin(), text_.end(), '\n'));
}

}  // namespace tavelo
