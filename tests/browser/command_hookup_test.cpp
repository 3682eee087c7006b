#include "browser/command_hookup.h"

#include <gtest/gtest.h>

#include "fakes/recording_target.h"
#include "support/temp_dir.h"

namespace tavelo {
namespace {

// Pages may command the program only from the template's servers, and a
// command that starts a process only on a click of its own.
TEST(CommandHookupTest, WhoMayCommandAndWhen) {
  testing::TempDir dir;
  const std::string templatePath = dir.File("main.htm");
  testing::WriteFile(templatePath,
                     "[CATALOGUE_SERVER]\nhttp://cat.test\n[SETUP_SERVER]\nhttp://setup.test:8080\n"
                     "[LIVE_SITE_1]\nhttp://live.test/rooms/\n[VIDEO_SHOW_HOST]\nhttp://video.test\n");
  constexpr const char* kPlay = "http://x/?cmd=TVPLAY|http://tv/p|t|";
  constexpr const char* kSearch = "http://x/?cmd=TAVELO|AREA|HK|";
  constexpr const char* kCompanion = "http://x/?cmd=quillo_cmd|exe|Q**TAB**qori**TAB**q|";
  struct Case {
    const char* address;
    const char* page;
    bool byUser;
    unsigned long long gesture;
    bool cancelled, carriedOut;
  } cases[] = {
      {kPlay, "", true, 1, true, true},  // the program's own page
      {kPlay, "http://cat.test/tj/index.asp", true, 2, true, true},
      {kPlay, "HTTP://Cat.Test:80/list", true, 3, true, true},
      {kPlay, "http://live.test/other", true, 4, true, true},
      {kCompanion, "http://setup.test:8080/club/", true, 5, true, true},
      {kPlay, "http://setup.test/club/", true, 6, true, false},  // another port
      {kPlay, "https://cat.test/", true, 7, true, false},
      {kPlay, "http://video.test/v_show/id_1.html", true, 8, true, false},
      {kPlay, "http://evil.test/?http://cat.test/", true, 9, true, false},
      {kPlay, "http://cat.test@evil.test/", true, 10, true, false},
      {kPlay, "file:///etc/passwd", true, 11, true, false},
      {kPlay, "about:blank", true, 12, true, false},
      {kPlay, "http://cat.test/", false, 13, true, false},  // a script, no click
      {kPlay, "http://cat.test/", true, 14, true, true},
      {kPlay, "http://cat.test/", true, 14, true, false},  // the same click again
      {kCompanion, "http://cat.test/", true, 14, true, false},
      {kPlay, "http://cat.test/", true, 13, true, false},  // an older click
      {kSearch, "http://cat.test/", false, 0, true, true},  // opens a window, starts nothing
      {kSearch, "http://evil.test/", true, 20, true, false},
      {"http://evil.test/list.htm", "http://evil.test/", true, 21, false, false},
  };
  fakes::RecordingTarget target;
  PageHookup hookup = CommandHookup(&target, templatePath);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.address) + " from " + c.page + " gesture " + std::to_string(c.gesture));
    target.calls.clear();
    EXPECT_EQ(hookup.run_page_command({c.address, c.page, c.byUser, c.gesture}), c.cancelled);
    EXPECT_EQ(!target.calls.empty(), c.carriedOut);
  }
}

TEST(CommandHookupTest, APopUpSharesItsOpenersClicks) {
  testing::TempDir dir;
  fakes::RecordingTarget target;
  PageHookup opener = CommandHookup(&target, dir.File("missing.htm"));  // the built-in hosts
  PageHookup popup = opener;
  const PageNavigation click{"x?cmd=TVPLAY|http://tv/p|t|", "http://127.0.0.1:8790/tj/", true, 7};
  EXPECT_TRUE(opener.run_page_command(click));
  EXPECT_TRUE(popup.run_page_command(click));
  EXPECT_EQ(target.calls.size(), 1u);
  EXPECT_FALSE(CommandHookup(nullptr, "").run_page_command);
}

}  // namespace
}  // namespace tavelo
