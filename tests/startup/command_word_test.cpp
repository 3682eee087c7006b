#include "startup/command_word.h"

#include <gtest/gtest.h>

namespace tavelo {
namespace {

TEST(CommandWordTest, FirstArgumentThatIsNotASwitch) {
  EXPECT_EQ(CommandWord({"-x", "/y", "run", "other"}), "run");
  EXPECT_EQ(CommandWord({"-run", "/run"}), "");
  EXPECT_EQ(CommandWord({}), "");
}

TEST(CommandWordTest, StartupChoices) {
  struct Case {
    const char* word;
    StartupWindow window;
    const char* playCommand;
  } cases[] = {
      {"run", StartupWindow::kMain, ""},
      {"xxrunyy", StartupWindow::kMain, ""},
      {"runplay:cmd=TVPLAY|a", StartupWindow::kMain, ""},  // prefix in another case
      {"runPlay:cmd=TVPLAY|a|b", StartupWindow::kSeparatePlay, "cmd=TVPLAY|a|b"},
      {"runPlay:", StartupWindow::kSeparatePlay, ""},
      {"runPlay:cmd=MVPLAY|PLAYINDEXMV|x", StartupWindow::kLiveShows, ""},
      {"", StartupWindow::kRefuse, ""},
      {"Run", StartupWindow::kRefuse, ""},
      {"play", StartupWindow::kRefuse, ""},
  };
  for (const Case& c : cases) {
    StartupChoice choice = ChooseStartup(c.word);
    EXPECT_EQ(choice.window, c.window) << c.word;
    EXPECT_EQ(choice.playCommand, c.playCommand) << c.word;
  }
}

}  // namespace
}  // namespace tavelo
