// libFuzzer target: any bytes as a resource site's page, for both sites'
// marker chains. The part cut out is always a piece of the page (or the
// failure text), and the page built around it holds it whole.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/encoding.h"
#include "content/resource_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavelo;
  static const ResourceSiteDomains kDomains{"one.test", "two.test"};
  static const std::string kFailed = Gbk("取数据失败");
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  for (const char* address : {"http://one.test/p", "http://two.test/p"}) {
    std::string part = ExtractResourceInfo(address, page, kDomains);
    if (part != kFailed && page.find(part) == std::string_view::npos) abort();
    if (BuildResourcePage("t", part).find(part) == std::string::npos) abort();
  }
  StatusTextFilter filter;
  filter.Accept(page);
  return 0;
}
