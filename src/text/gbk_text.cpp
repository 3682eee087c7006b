#include "text/gbk_text.h"

namespace tavelo {

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool IsTrimSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsTrimSpace(text[begin])) ++begin;
  while (end > begin && IsTrimSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

void LowerGbkInPlace(std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      ++i;
    } else {
      text[i] = LowerAscii(text[i]);
    }
  }
}

std::string LowerGbk(std::string_view text) {
  std::string lowered(text);
  LowerGbkInPlace(lowered);
  return lowered;
}

bool EqualsIgnoreCaseGbk(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (LowerAscii(a[i]) != LowerAscii(b[i])) {
      return false;
    }
  }
  return true;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  result.reserve(text.size());
  size_t start = 0;
  for (size_t hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, start)) {
    result.append(text.substr(start, hit - start));
    result.append(to);
    start = hit + from.size();
  }
  result.append(text.substr(start));
  return result;
}

}  // namespace tavelo
