#include "text/page_normalizer.h"

#include <gtest/gtest.h>

#include "text/encoding.h"

namespace tavelo {
namespace {

struct Normalized {
  int result;
  std::string text;
};

Normalized Normalize(std::string page) {
  PageNormalizer normalizer;
  normalizer.SetText(std::move(page));
  int result = normalizer.NormalizePage();
  return {result, normalizer.Text()};
}

TEST(PageNormalizerTest, Utf8LabelIsConvertedAndRelabelled) {
  Normalized page = Normalize("<html><head><meta charset=\"UTF-8\"><title>中文</title></head></html>");
  EXPECT_EQ(page.result, 1);
  EXPECT_EQ(page.text, Gbk("<html><head><meta charset=\"gb2312\"><title>中文</title></head></html>"));
}

TEST(PageNormalizerTest, Big5PageComesBackSimplified) {
  // Big5 bytes of 電視 inside a page labelled big5.
  Normalized page = Normalize("<meta content=\"text/html; charset=big5\"><title>\xB9\x71\xB5\xF8</title>");
  EXPECT_EQ(page.result, 1);
  EXPECT_EQ(page.text, Gbk("<meta content=\"text/html; charset=gb2312\"><title>电视</title>"));
}

TEST(PageNormalizerTest, Gb2312IsLeftAloneAndGbkIsNotALabel) {
  std::string gb = "<meta charset=gb2312><title>\xD6\xD0</title>";
  EXPECT_EQ(Normalize(gb).result, 1);
  EXPECT_EQ(Normalize(gb).text, gb);
  std::string gbk = "<meta charset=gbk><title>\xD6\xD0</title>";
  EXPECT_EQ(Normalize(gbk).result, 0);
  EXPECT_EQ(Normalize(gbk).text, gbk);
}

TEST(PageNormalizerTest, ALabelTooFarFromCharsetDoesNotCount) {
  std::string near = "<meta charset=" + std::string(21, ' ') + "utf-8><title>x</title>";
  EXPECT_EQ(Normalize(near).result, 1);  // "utf-8" 29 bytes after "charset"
  std::string far = "<meta charset=" + std::string(22, ' ') + "utf-8><title>x</title>";
  EXPECT_EQ(Normalize(far).result, 0);
  EXPECT_EQ(Normalize(far).text, far);
}

TEST(PageNormalizerTest, LabelAfterTheTitleIsFoundInTheWholePage) {
  Normalized page = Normalize("<title>t</title><body><p>charset=utf-8 中</p></body>");
  EXPECT_EQ(page.result, 1);
  EXPECT_EQ(page.text, Gbk("<title>t</title><body><p>charset=gb2312 中</p></body>"));
}

TEST(PageNormalizerTest, UnlabelledPageWithTheMarkerIsConvertedButGivesZero) {
  Normalized page = Normalize("<p>中</p><mytag needtuf-8=yes></mytag>");
  EXPECT_EQ(page.result, 0);
  EXPECT_EQ(page.text, Gbk("<p>中</p><mytag del></mytag>"));

  std::string plain = "<p>\xD6\xD0</p>";
  EXPECT_EQ(Normalize(plain).result, 0);
  EXPECT_EQ(Normalize(plain).text, plain);
}

TEST(PageNormalizerTest, MalformedPagesDoNotTrouble) {
  for (std::string page : {std::string("<"), std::string("<<<>>>charset"), std::string("<title"),
                           std::string("charset=utf-8"), std::string("\xFF\xFE<title>"),
                           std::string()}) {
    PageNormalizer normalizer;
    normalizer.SetText(page);
    normalizer.NormalizePage();
  }
  // "charset" at the very start of the page is not taken as a label.
  EXPECT_EQ(Normalize("charset=utf-8").result, 0);
}

TEST(PageNormalizerTest, APageNeedsNormalizingExactlyWhenNormalizingChangesIt) {
  const std::string pages[] = {
      "<meta charset=utf-8><title>\xE4\xB8\xAD</title>",
      "<meta charset=big5><title>t</title>",
      "<meta charset=gb2312><title>\xD6\xD0</title><mytag needtuf-8=yes></mytag>",
      "<title>t</title><body>plain</body>",
      "<title>t</title><mytag needtuf-8=yes></mytag>",
      "<title>t</title><body><meta charset=utf-8></body>",
      "",
  };
  for (const std::string& page : pages) EXPECT_EQ(PageNeedsNormalizing(page), NormalizePage(page) != page) << page;
}

TEST(PageNormalizerTest, AFiftyMegabytePageIsHandled) {
  std::string page = "<html><head><meta charset=utf-8><title>x</title></head><body>";
  page.append(50u << 20, 'a');
  Normalized result = Normalize(page);
  EXPECT_EQ(result.result, 1);
  EXPECT_EQ(result.text.size(), page.size() + 1);  // "utf-8" became "gb2312"
}

}  // namespace
}  // namespace tavelo
