#include "playback/player_page.h"

#include <gtest/gtest.h>

#include "text/encoding.h"

namespace tavelo {
namespace {

TEST(PlayerPageTest, TemplateOrSitePlayer) {
  const std::string address = "http://v/v_show/id_XMTk2.html";
  const std::string title = Gbk("天龙 八部");
  const std::string label = Gbk("第1集");
  struct Case {
    std::string tmpl, host, address, expected;
  } cases[] = {
      {"http://p/play.asp?u=CODE_URL&n=CODE_NAME&s=CODE_SECTION&raw=SRC_URL|SRC_NAME|SRC_SECTION", "", address,
       "http://p/play.asp?u=http%3A%2F%2Fv%2Fv%5Fshow%2Fid%5FXMTk2%2Ehtml&n=%CC%EC%C1%FA%20%B0%CB%B2%BF"
       "&s=%B5%DA1%BC%AF&raw=" + address + "|" + title + "|" + label},
      {"", "player.example", address, "http://player.example/player.php/sid/XMTk2/v.swf"},
      {"", "player.example", "http://v/show/XMTk2.html", ""},
      {"", "player.example", "http://v/id_XMTk2", ""},
      // One placeholder after another, each everywhere: an address holding a
      // later placeholder's name has it replaced too.
      {"SRC_URL/SRC_NAME/SRC_URL", "", "http://v/SRC_NAME", "http://v/" + title + "/" + title + "/http://v/" + title},
      {"CODE_URL", "", "http://v/SRC_NAME", "http%3A%2F%2Fv%2FSRC%5FNAME"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tmpl + " " + c.address);
    EXPECT_EQ(PlayerPageAddress(c.tmpl, c.host, c.address, title, label), c.expected);
  }
}

TEST(PlayerPageTest, HandOffPayloadFlattensEachField) {
  EXPECT_EQ(HandOffPayload("http://v/id_1.html", Gbk("天龙\t八部"), "ep\r\n1"),
            "http://v/id_1.html**TAB**" + Gbk("天龙 八部") + "**TAB**ep  1");
}

}  // namespace
}  // namespace tavelo
