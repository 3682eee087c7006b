#include "text/page_normalizer.h"

#include "text/encoding.h"
#include "text/gbk_text.h"

namespace tavelo {

namespace {

constexpr std::string_view kUtf8Marker = "<mytag needtuf-8=yes></mytag>";
constexpr std::string_view kUtf8MarkerDone = "<mytag del></mytag>";
constexpr std::string_view kLabelGb2312 = "gb2312";
// A charset name counts as the page's label only this close after "charset".
constexpr long kMaxLabelDistance = 29;

std::string LowerAsciiOnly(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

long Find(const std::string& haystack, std::string_view needle) {
  size_t at = haystack.find(needle);
  return at == std::string::npos ? -1 : static_cast<long>(at);
}

bool IsTagNameEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>'; }

}  // namespace

bool PageNormalizer::FindTag(std::string_view name) {
  for (;;) {
    size_t open = text_.find('<', position_);
    if (open == std::string::npos) {
      position_ = text_.size();
      return false;
    }
    size_t at = open + 1;
    while (at < text_.size() &&
           (text_[at] == ' ' || text_[at] == '\t' || text_[at] == '\r' || text_[at] == '\n')) {
      ++at;
    }
    size_t nameEnd = at;
    while (nameEnd < text_.size() && !IsTagNameEnd(text_[nameEnd])) ++nameEnd;
    if (LowerAsciiOnly(std::string_view(text_).substr(at, nameEnd - at)) == name) {
      position_ = open;
      return true;
    }
    size_t close = text_.find('>', nameEnd);
    position_ = close == std::string::npos ? nameEnd : close + 1;
  }
}

PageNormalizer::Charset PageNormalizer::ConvertByCharset() {
  // The label is looked for in the head first (before <title>, then before
  // <body>), and only then in the whole page.
  std::string region;
  long label = -1;
  if (FindTag("title")) {
    region = LowerAsciiOnly(std::string_view(text_).substr(0, position_));
    label = Find(region, "charset");
  }
  if (label <= 0 && FindTag("body")) {
    region = LowerAsciiOnly(std::string_view(text_).substr(0, position_));
    label = Find(region, "charset");
  }
  if (label <= 0) {
    region = LowerGbk(text_);
    label = Find(region, "charset");
    if (label < 1) return Charset::kNone;
  }

  auto relabel = [&](long at, size_t nameLength) {
    return text_.substr(0, static_cast<size_t>(at)) + std::string(kLabelGb2312) +
           text_.substr(static_cast<size_t>(at) + nameLength);
  };
  long utf8 = Find(region, "utf-8");
  if (utf8 > 0 && utf8 - label <= kMaxLabelDistance) {
    text_ = Utf8ToGbk(relabel(utf8, 5));
    return Charset::kUtf8;
  }
  long big5 = Find(region, "big5");
  if (big5 >= 1 && big5 - label <= kMaxLabelDistance) {
    text_ = Big5ToGbk(relabel(big5, 4));
    return Charset::kBig5;
  }
  long gb2312 = Find(region, kLabelGb2312);
  if (gb2312 >= 1 && gb2312 - label <= kMaxLabelDistance) return Charset::kGb2312;
  return Charset::kNone;
}

int PageNormalizer::NormalizePage() {
  if (ConvertByCharset() != Charset::kNone) return 1;
  if (text_.find(kUtf8Marker) != std::string::npos) {
    text_ = Utf8ToGbk(ReplaceAll(text_, kUtf8Marker, kUtf8MarkerDone));
  }
  return 0;
}

std::string NormalizePage(std::string page) {
  PageNormalizer normalizer;
  normalizer.SetText(std::move(page));
  normalizer.NormalizePage();
  return normalizer.TakeText();
}

}  // namespace tavelo
