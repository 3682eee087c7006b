#pragma once
// Turns a fetched page into GBK text. A page labelled UTF-8 or Big5 near its
// "charset" is converted and relabelled "gb2312", so that the scrapers can
// search it with GBK markers and the browser shows it with the right charset.

#include <string>
#include <string_view>

namespace tavelo {

class PageNormalizer {
 public:
  virtual ~PageNormalizer() = default;

  void SetText(std::string text) { text_ = std::move(text); }
  const std::string& Text() const { return text_; }
  std::string TakeText() { return std::move(text_); }

  // 1 when the page carried a recognised label (utf-8, big5 or gb2312; the
  // first two are converted), 0 otherwise. An unlabelled page that holds the
  // UTF-8 marker tag is converted from UTF-8 all the same and still gives 0.
  int NormalizePage();

  enum class Charset { kNone = 0, kUtf8 = 1, kBig5 = 2, kGb2312 = 3 };
  Charset ConvertByCharset();

 private:
  std::string text_;
};

// Convenience for callers that only want the GBK page.
std::string NormalizePage(std::string page);

// False when NormalizePage would give `page` back as it is: a caller can
// then read the page where it lies instead of copying it.
bool PageNeedsNormalizing(std::string_view page);

}  // namespace tavelo
