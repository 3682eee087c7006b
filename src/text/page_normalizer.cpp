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

long Find(std::string_view haystack, std::string_view needle) {
  size_t at = haystack.find(needle);
  return at == std::string::npos ? -1 : static_cast<long>(at);
}

bool IsTagNameEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>'; }

// Moves `position` to the "<" of the next tag named `name` (any letter case)
// and says so; without one, to the end of `text`.
bool FindTag(std::string_view text, size_t& position, std::string_view name) {
  for (;;) {
    size_t open = text.find('<', position);
    if (open == std::string::npos) {
      position = text.size();
      return false;
    }
    size_t at = open + 1;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n')) {
      ++at;
    }
    size_t nameEnd = at;
    while (nameEnd < text.size() && !IsTagNameEnd(text[nameEnd])) ++nameEnd;
    if (LowerAsciiOnly(text.substr(at, nameEnd - at)) == name) {
      position = open;
      return true;
    }
    size_t close = text.find('>', nameEnd);
    position = close == std::string::npos ? nameEnd : close + 1;
  }
}

// The page's charset label: which one, and where its name stands.
struct CharsetLabel {
  PageNormalizer::Charset charset = PageNormalizer::Charset::kNone;
  size_t at = 0;
  size_t length = 0;
};

CharsetLabel FindCharsetLabel(std::string_view text) {
  using Charset = PageNormalizer::Charset;
  // The label is looked for in the head first (before <title>, then before
  // <body>), and only then in the whole page.
  std::string region;
  long label = -1;
  size_t position = 0;
  if (FindTag(text, position, "title")) {
    region = LowerAsciiOnly(text.substr(0, position));
    label = Find(region, "charset");
  }
  if (label <= 0 && FindTag(text, position, "body")) {
    region = LowerAsciiOnly(text.substr(0, position));
    label = Find(region, "charset");
  }
  if (label <= 0) {
    region = LowerGbk(text);
    label = Find(region, "charset");
    if (label < 1) return {};
  }

  long utf8 = Find(region, "utf-8");
  if (utf8 > 0 && utf8 - label <= kMaxLabelDistance) return {Charset::kUtf8, static_cast<size_t>(utf8), 5};
  long big5 = Find(region, "big5");
  if (big5 >= 1 && big5 - label <= kMaxLabelDistance) return {Charset::kBig5, static_cast<size_t>(big5), 4};
  long gb2312 = Find(region, kLabelGb2312);
  if (gb2312 >= 1 && gb2312 - label <= kMaxLabelDistance) return {Charset::kGb2312};
  return {};
}

}  // namespace

PageNormalizer::Charset PageNormalizer::ConvertByCharset() {
  const CharsetLabel label = FindCharsetLabel(text_);
  auto relabel = [&] {
    return text_.substr(0, label.at) + std::string(kLabelGb2312) + text_.substr(label.at + label.length);
  };
  if (label.charset == Charset::kUtf8) text_ = Utf8ToGbk(relabel());
  if (label.charset == Charset::kBig5) text_ = Big5ToGbk(relabel());
  return label.charset;
}

int PageNormalizer::NormalizePage() {
  if (ConvertByCharset() != Charset::kNone) return 1;
  if (text_.find(kUtf8Marker) != std::string::npos) {
    text_ = Utf8ToGbk(ReplaceAll(text_, kUtf8Marker, kUtf8MarkerDone));
  }
  return 0;
}

bool PageNeedsNormalizing(std::string_view page) {
  switch (FindCharsetLabel(page).charset) {
    case PageNormalizer::Charset::kUtf8:
    case PageNormalizer::Charset::kBig5: return true;
    case PageNormalizer::Charset::kGb2312: return false;
    case PageNormalizer::Charset::kNone: break;
  }
  return page.find(kUtf8Marker) != std::string_view::npos;
}

std::string NormalizePage(std::string page) {
  PageNormalizer normalizer;
  normalizer.SetText(std::move(page));
  normalizer.NormalizePage();
  return normalizer.TakeText();
}

}  // namespace tavelo
