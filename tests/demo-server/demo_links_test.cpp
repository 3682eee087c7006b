// Every link on the demo's pages leads to a page: a bounded crawl from every
// address data/main.htm names, over every demo host.

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "running_demo.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/text_buffer.h"
#include "text/url_text.h"

namespace tavelo::demo {
namespace {

constexpr size_t kMaxFetches = 5000;

// The values of href, src and action attributes, double-quoted as the demo
// writes them, with the entities of its escaping undone.
std::vector<std::string> LinksOf(std::string_view page) {
  std::vector<std::string> links;
  for (std::string_view attribute : {" href=\"", " src=\"", " action=\""}) {
    for (size_t at = page.find(attribute); at != std::string_view::npos; at = page.find(attribute, at + 1)) {
      size_t start = at + attribute.size();
      size_t end = page.find('"', start);
      if (end == std::string_view::npos) break;
      std::string link(page.substr(start, end - start));
      for (auto [entity, text] : {std::pair{"&lt;", "<"}, std::pair{"&gt;", ">"}, std::pair{"&quot;", "\""},
                                  std::pair{"&#39;", "'"}, std::pair{"&amp;", "&"}}) {
        link = ReplaceAll(link, entity, text);
      }
      links.push_back(std::move(link));
    }
  }
  return links;
}

// A link as the browser resolves it against the page it is on.
std::string Resolve(const std::string& page, const std::string& link) {
  size_t colon = link.find(':');
  if (colon != std::string::npos && colon < link.find('/')) return link;  // has a scheme of its own
  size_t pathStart = page.find('/', page.find("://") + 3);
  std::string origin = page.substr(0, pathStart);
  if (link.starts_with("/")) return origin + link;
  std::string path = pathStart == std::string::npos ? "/" : page.substr(pathStart, page.find('?') - pathStart);
  return origin + path.substr(0, path.rfind('/') + 1) + link;
}

// A link that goes nowhere when clicked.
bool IsDeadEnd(const std::string& link) {
  std::string lowered = LowerGbk(Trim(link));
  return lowered.empty() || lowered.starts_with("#") || lowered.starts_with("javascript:");
}

class DemoLinksTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo_ = new RunningDemo;
    ASSERT_EQ(demo_->Error(), "");
  }
  static void TearDownTestSuite() { delete demo_; }
  static inline RunningDemo* demo_ = nullptr;
};

TEST_F(DemoLinksTest, EveryLinkOnTheDemoPagesLeadsToAPage) {
  // Seeds: each address in the template, the search with a two-word keyword;
  // the player templates are the play test's.
  std::deque<std::pair<std::string, std::string>> queue;  // address, the page linking to it
  std::set<std::string> seen;
  size_t position = 0;
  const std::string& mainTemplate = demo_->Site().MainTemplate();
  while (auto line = NextLineAt(mainTemplate, position)) {
    std::string address = ReplaceAll(*line, "***KEY***", UrlEncode(Gbk("林晓川 悬疑")));
    if (!address.starts_with("http://") || address.find("CODE_") != std::string::npos) continue;
    if (seen.insert(address).second) queue.emplace_back(address, "data/main.htm");
  }
  ASSERT_GT(queue.size(), 15u);

  std::vector<std::string> failures;
  while (!queue.empty() && seen.size() < kMaxFetches) {
    auto [address, from] = queue.front();
    queue.pop_front();
    auto result = demo_->Fetch(address);
    if (!result || result->status != 200) {
      failures.push_back(address + " (linked from " + from + ")");
      continue;
    }
    if (!result->get_header_value("Content-Type").starts_with("text/html")) continue;
    for (const std::string& link : LinksOf(result->body)) {
      if (IsDeadEnd(link)) {
        failures.push_back("\"" + link + "\" on " + address);
        continue;
      }
      std::string target = Resolve(address, link);
      target = target.substr(0, target.find('#'));
      if (demo_->RoleOf(target) && seen.insert(target).second) queue.emplace_back(target, address);
    }
  }
  ASSERT_LT(seen.size(), kMaxFetches) << "the crawl did not end";
  for (size_t i = 0; i < failures.size() && i < 20; ++i) ADD_FAILURE() << failures[i];

  // The crawl got everywhere: every show and episode page, the live rooms,
  // the live-TV guide and the problem report's answer.
  const std::string port = std::to_string(demo_->Port());
  size_t showPages = 0;
  for (const std::string& address : seen) showPages += address.starts_with("http://127.0.0.2:" + port + "/v_show/id_");
  EXPECT_GT(showPages, 400u);
  for (std::string reached : {"http://127.0.0.6:" + port + "/room/1.htm", "http://127.0.0.1:" + port + "/tj_tavelo/tv/guide.asp",
                              "http://127.0.0.5:" + port + "/club/savejy.asp", "http://127.0.0.4:" + port + "/bt/bt10.html"}) {
    EXPECT_TRUE(seen.count(reached)) << reached;
  }
}

}  // namespace
}  // namespace tavelo::demo
