#include "text/splitters.h"

#include "text/gbk_text.h"

namespace tavelo {

int SplitFields(std::string_view text, char separator, std::string_view* fields, int maximum) {
  // The text ends at a zero byte, as a C string would.
  size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  int count = 0;
  size_t start = 0;
  while (start < text.size() && count < maximum) {
    size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      fields[count++] = text.substr(start);
      break;
    }
    fields[count++] = text.substr(start, end - start);
    start = end + 1;
  }
  return count;
}

int FieldList::Split(std::string_view text, char separator) {
  Clear();
  // The fields must outlive the caller's text, so they view a private copy.
  storage_.assign(text);
  count_ = SplitFields(storage_, separator, views_.data(), kMaxFields);
  return count_;
}

void FieldList::Clear() {
  views_.fill({});
  storage_.clear();
  count_ = 0;
}

std::string_view FieldList::operator[](int index) const {
  if (index < 0 || index >= count_) return {};
  return views_[static_cast<size_t>(index)];
}

int TokenArray::Split(std::string_view text, char separator, bool trim) {
  pieces_.clear();
  size_t start = 0;
  for (size_t end = text.find(separator); end != std::string_view::npos;
       end = text.find(separator, start)) {
    std::string_view piece = text.substr(start, end - start);
    pieces_.emplace_back(trim ? Trim(piece) : piece);
    start = end + 1;
  }
  return Count();
}

}  // namespace tavelo
