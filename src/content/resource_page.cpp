#include "content/resource_page.h"

#include <array>

#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/written_page.h"

namespace tavelo {

namespace {

struct MarkerChain {
  std::string_view start;
  std::array<std::string_view, 3> ends;
};

// The first site marks its content with comments and ends it with one of
// three later blocks; the second site's content follows its share buttons
// and ends at the related posts. Its chain has room for three end markers
// and uses one: the other two never occur in a page.
const MarkerChain& FirstSiteMarkers() {
  static const std::string downloadAddress2 = Gbk("<font color=red>下载地址2");
  static const MarkerChain chain{"<!--Content Start-->",
                                 {"<div class=\"x\"", "<script language=javascript src=", downloadAddress2}};
  return chain;
}

const MarkerChain& SecondSiteMarkers() {
  static const std::string related = Gbk("相关资源");
  static const std::string unused1 = Gbk("not use 未使用参数11");
  static const std::string unused2 = Gbk("not use 未使用参数22");
  static const MarkerChain chain{"<!-- Baidu Button END -->", {related, unused1, unused2}};
  return chain;
}

bool Contains(std::string_view text, std::string_view part) {
  return !part.empty() && text.find(part) != std::string_view::npos;
}

}  // namespace

bool NamesResourceSite(std::string_view record, const ResourceSiteDomains& domains) {
  return Contains(record, domains.first) || Contains(record, domains.second);
}

bool FetchedByBrowser(std::string_view pageAddress, const ResourceSiteDomains& domains) {
  return Contains(pageAddress, domains.second);
}

std::string ExtractResourceInfo(std::string_view pageAddress, std::string_view page,
                                const ResourceSiteDomains& domains) {
  const bool firstSite = Contains(pageAddress, domains.first);
  const MarkerChain& chain = firstSite ? FirstSiteMarkers() : SecondSiteMarkers();
  std::string result = Gbk("取数据失败");
  size_t start = page.find(chain.start);
  if (start != std::string_view::npos) {
    std::string_view part = page.substr(start + chain.start.size());
    for (std::string_view end : chain.ends) {
      size_t at = part.find(end);
      if (at == std::string_view::npos) break;
      part = part.substr(0, at);
    }
    result = std::string(part);
  }
  // The second site closes its content with a related-posts block whose
  // opening tag the end marker leaves behind.
  if (!firstSite) {
    size_t related = result.find("related_post_title");
    if (related != std::string::npos && related > 0) {
      size_t lastTag = result.rfind('<');
      if (lastTag != std::string::npos && lastTag > 0) result.resize(lastTag);
    }
  }
  return result;
}

std::string BuildResourcePage(std::string_view title, std::string_view part) {
  // The content comes from a site the program does not control: the page's
  // policy keeps its scripts (and the page's own) from running.
  static const std::string head = Gbk(
      "<html>\r\n"
      "<head>\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n"
      "<title>ppinfo</title>\r\n" +
      std::string(kWrittenPagePolicy) + "\r\n"
      "</head> \r\n"
      " <body> \r\n"
      " <script language=\"javascript\">\r\n"
      "<!-- \r\n"
      "/*屏蔽所有的js错误*/ \r\n"
      "function killerrors() {  \r\n"
      "return true;  \r\n"
      "}  \r\n"
      "window.onerror = killerrors;  \r\n"
      "//--> \r\n"
      "</script> \r\n"
      "<h3>");
  std::string page = head;
  page += title;
  page += "</h3>";
  page += part;
  page += "</body></html>";
  return page;
}

std::optional<std::string> StatusTextFilter::Accept(std::string_view text) {
  if (text == last_) return std::nullopt;
  last_ = std::string(Trim(text));
  static const std::string finished = Gbk("完毕");
  static const std::string done = Gbk("完成");
  if (last_.empty() || last_ == finished || last_ == done || Contains(last_, "about:")) return std::nullopt;
  return last_;
}

}  // namespace tavelo
