#include "playback/separate_play_window.h"

#include <gtest/gtest.h>

#include "base/program_paths.h"
#include "fakes/fake_port.h"
#include "support/temp_dir.h"
#include "text/encoding.h"
#include "browser/command_hookup.h"

namespace tavelo {
namespace {

using fakes::FakeBrowserView;
using fakes::FakePlatform;
using fakes::FakeWindowHost;

// The grey frame around the loading text, as the player shows it (UTF-8).
const std::string kLoadingPage =
    "about:<body scroll=no bgcolor=#f9f9f9 style=\"border:1px solid #bdbdbd\"><center>"
    "<table width=100% height=100% ><tr><td align=center>视频加载,请稍候...<br>Loading..."
    "</td></tr></table></center></body>";

TEST(ParsePlayCommandTest, ReadsTheFieldsOfEachForm) {
  struct Case {
    std::string command;
    PlayForm form;
    std::string address, title, label;
    int width, height;
    bool noNewWindow;
  } cases[] = {
      {"cmd=PLAYMV|http://r/1|" + Gbk("视频直播") + "|", PlayForm::kPlayMv, "http://r/1", Gbk("视频直播"), "", 0, 0,
       false},
      // Whatever stands before the marker is field 0 and is not read.
      {"http://tv/x.htm?cmd=TVPLAY|http://tv/p?a=1|CCTV|NONEWWINDOW#TOPMOST|960|600", PlayForm::kTvPlay,
       "http://tv/p?a=1", "CCTV", "", 960, 600, true},
      {"cmd=TVPLAY|http://tv/p|T||abc|12px", PlayForm::kTvPlay, "http://tv/p", "T", "", 0, 12, false},
      // PLAYMV wins when both markers are present.
      {"cmd=PLAYMV|a|b|cmd=TVPLAY|", PlayForm::kPlayMv, "a", "b", "", 0, 0, false},
      // Spaces come back in every form, so a relaunched title or address survives.
      {"?cmd=PLAYMV|http://r/a**BK**b|My**BK**Room|", PlayForm::kPlayMv, "http://r/a b", "My Room", "", 0, 0, false},
      {"http://v/id_X.html**TAB**" + Gbk("天龙") + "**BK**8**TAB**" + Gbk("第1集"), PlayForm::kHandOff,
       "http://v/id_X.html", Gbk("天龙") + " 8", Gbk("第1集"), 0, 0, false},
      {"", PlayForm::kHandOff, "", "", "", 0, 0, false},
      {"cmd=TVPLAY|", PlayForm::kTvPlay, "", "", "", 0, 0, false},
      {"only-an-address", PlayForm::kHandOff, "only-an-address", "", "", 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    PlayCommand parsed = ParsePlayCommand(c.command);
    EXPECT_EQ(parsed.form, c.form);
    EXPECT_EQ(parsed.address, c.address);
    EXPECT_EQ(parsed.title, c.title);
    EXPECT_EQ(parsed.label, c.label);
    EXPECT_EQ(parsed.width, c.width);
    EXPECT_EQ(parsed.height, c.height);
    EXPECT_EQ(parsed.noNewWindow, c.noNewWindow);
  }
}

TEST(ParsePlayCommandTest, DecimalValueToleratesJunkAndHugeNumbers) {
  struct Case {
    std::string text;
    int value;
  } cases[] = {{"950", 950},   {" 42", 42},         {"-7", -7},  {"600px", 600},
               {"", 0},        {"abc", 0},          {"+3", 3},   {"99999999999999999999", 2147483647},
               {"-", 0},       {"-99999999999", -2147483647}};
  for (const Case& c : cases) EXPECT_EQ(DecimalValue(c.text), c.value) << c.text;
}

TEST(PlayerAddressTest, HandOffCaptionJoinsDifferentCleanedTexts) {
  struct Case {
    std::string title, label, caption;
  } cases[] = {
      {Gbk("新闻联播"), Gbk("新闻联播"), Gbk("新闻联播")},
      {" A&nbsp;", "A", "A"},
      {"A%20B", "A B", "A B"},
      {Gbk("天龙"), Gbk("第1集"), Gbk("天龙") + "_" + Gbk("第1集")},
      {"", "", ""},
      {"T", "", "T_"},
  };
  for (const Case& c : cases) EXPECT_EQ(HandOffCaption(c.title, c.label), c.caption) << c.title;
}

class SeparatePlayWindowTest : public ::testing::Test {
 protected:
  SeparatePlayWindowTest() { platform.workArea = {0, 0, 1280, 994}; }

  SeparatePlayWindow& Open(const std::string& command) {
    window = &windows.Open<SeparatePlayWindow>(command, dir.File("main.htm"));
    return *window;
  }
  FakeWindowHost& Host() { return platform.Window(0); }
  FakeBrowserView& Player() { return *Host().Browser(SeparatePlayWindow::kPlayerId); }
  FakeBrowserView& Sink() { return *Host().Browser(SeparatePlayWindow::kPopupSinkId); }

  testing::TempDir dir;
  FakePlatform platform;
  WindowSet windows{platform};
  SeparatePlayWindow* window = nullptr;
};

TEST_F(SeparatePlayWindowTest, EachFormSizesCaptionsAndStartsItsOwnWay) {
  struct Case {
    std::string command;
    Rect placement;
    std::string caption;
    std::vector<std::string> navigations;  // right after opening
    bool openTimer;
  } cases[] = {
      {"cmd=PLAYMV|http://r/room|" + Gbk("视频直播") + "|", Rect::FromSize(50, 40, 1180, 914), Gbk("视频直播"),
       {"http://r/room"}, false},
      {"cmd=TVPLAY|http://tv/p|CCTV|NONEWWINDOW|950|560", Rect::FromSize(165, 217, 950, 560), "CCTV",
       {kLoadingPage}, true},
      {"cmd=TVPLAY|http://tv/p|CCTV||300|200", Rect::FromSize(165, 222, 950, 550), "CCTV", {kLoadingPage}, true},
      // Larger than the work area: cut to it, placed at its corner.
      {"cmd=TVPLAY|http://tv/p|CCTV||5000|3000", Rect::FromSize(0, 0, 1280, 994), "CCTV", {kLoadingPage}, true},
      {"http://v/id_X.html**TAB**" + Gbk("天龙") + "**TAB**" + Gbk("第1集"), Rect::FromSize(100, 50, 1080, 894),
       Gbk("天龙") + "_" + Gbk("第1集"), {kLoadingPage}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    FakePlatform p;
    p.workArea = {0, 0, 1280, 994};
    WindowSet set(p);
    set.Open<SeparatePlayWindow>(c.command, dir.File("main.htm"));
    FakeWindowHost& host = p.Window(0);
    EXPECT_TRUE(host.shown);
    EXPECT_FALSE(host.topmost);
    EXPECT_EQ(host.placement, c.placement);
    EXPECT_EQ(host.caption, c.caption);
    EXPECT_EQ(host.Browser(SeparatePlayWindow::kPlayerId)->navigations, c.navigations);
    EXPECT_EQ(host.timers.count(SeparatePlayWindow::kOpenPlayerTimer) == 1, c.openTimer);
    if (c.openTimer) {
      EXPECT_EQ(host.timers[SeparatePlayWindow::kOpenPlayerTimer], 200);
    }
  }
}

TEST_F(SeparatePlayWindowTest, PlayerFillsTheClientAndTheSinkStaysOnePixelInside) {
  Open("cmd=PLAYMV|http://r/|t|");
  Size client = Host().client;
  EXPECT_EQ(Player().bounds, Rect::FromSize(0, 0, client.width, client.height));
  EXPECT_EQ(Sink().bounds, Rect::FromSize(client.width - 1, client.height - 1, 1, 1));
  Host().Resize({640, 480});
  EXPECT_EQ(Player().bounds, Rect::FromSize(0, 0, 640, 480));
  EXPECT_EQ(Sink().bounds, Rect::FromSize(639, 479, 1, 1));
}

TEST_F(SeparatePlayWindowTest, TvPlayAppendsTheClientSizeNotTheWindowSize) {
  struct Case {
    std::string address, expected;
  } cases[] = {
      {"http://tv/live.htm", "http://tv/live.htm?w=946&h=538"},
      {"http://tv/live.asp?ch=1", "http://tv/live.asp?ch=1&w=946&h=538"},
  };
  for (const Case& c : cases) {
    FakePlatform p;
    p.workArea = {0, 0, 1280, 994};
    WindowSet set(p);
    set.Open<SeparatePlayWindow>("http://m/?cmd=TVPLAY|" + c.address + "|T||950|560", "");
    FakeWindowHost& host = p.Window(0);
    // The fake frame takes 4 pixels across and 22 down.
    ASSERT_EQ(host.client, (Size{946, 538}));
    host.Resize({100, 100});  // later resizes do not change the query
    ASSERT_TRUE(host.FireTimer(SeparatePlayWindow::kOpenPlayerTimer));
    EXPECT_EQ(host.Browser(SeparatePlayWindow::kPlayerId)->navigations.back(), c.expected);
    EXPECT_FALSE(host.FireTimer(SeparatePlayWindow::kOpenPlayerTimer));
  }
}

TEST_F(SeparatePlayWindowTest, HandOffBuildsThePlayerFromTheTemplate) {
  testing::WriteFile(dir.File("main.htm"), "[YOUKU_PLAY_URL2]\nhttp://p/play.asp?u=CODE_URL&n=SRC_NAME\n");
  Open("http://v/id_X.html**TAB**" + Gbk("天龙") + "**TAB**" + Gbk("第1集"));
  ASSERT_TRUE(Host().FireTimer(SeparatePlayWindow::kOpenPlayerTimer));
  ASSERT_EQ(Player().navigations.size(), 2u);
  // The view receives GBK bytes percent-escaped.
  EXPECT_EQ(Player().navigations[1], "http://p/play.asp?u=http%3A%2F%2Fv%2Fid%5FX%2Ehtml&n=%CC%EC%C1%FA");
}

TEST_F(SeparatePlayWindowTest, HandOffWithoutTemplateUsesTheSitePlayerOrKeepsLoading) {
  struct Case {
    std::string mainHtm, address, expected;
  } cases[] = {
      {"", "http://v/v_show/id_XMTk2.html", "http://127.0.0.2:8790/player.php/sid/XMTk2/v.swf"},
      {"[VIDEO_PLAYER_HOST]\n player.test \n", "http://v/id_AB.htm", "http://player.test/player.php/sid/AB/v.swf"},
      {"", "http://v/no-id.html", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    testing::WriteFile(dir.File("main.htm"), c.mainHtm);
    FakePlatform p;
    WindowSet set(p);
    set.Open<SeparatePlayWindow>(c.address + "**TAB**t**TAB**t", dir.File("main.htm"));
    ASSERT_TRUE(p.Window(0).FireTimer(SeparatePlayWindow::kOpenPlayerTimer));
    auto& navigations = p.Window(0).Browser(SeparatePlayWindow::kPlayerId)->navigations;
    EXPECT_EQ(navigations.back(), c.expected.empty() ? kLoadingPage : c.expected);
  }
}

TEST_F(SeparatePlayWindowTest, TopmostTwiceLeavesOneMarkAndReleaseRemovesIt) {
  Open("cmd=PLAYMV|http://r/|Room|");
  EXPECT_EQ(Host().systemMenu[SeparatePlayWindow::kTopmostCommand], Gbk("窗口置顶"));
  EXPECT_EQ(Host().systemMenu[SeparatePlayWindow::kNotTopmostCommand], Gbk("取消窗口置顶"));
  const std::string mark = Gbk("(窗口置顶)");

  Host().on_system_command(SeparatePlayWindow::kTopmostCommand);
  Host().on_system_command(SeparatePlayWindow::kTopmostCommand);
  EXPECT_TRUE(Host().topmost);
  EXPECT_EQ(Host().caption, "Room" + mark);

  Host().on_system_command(SeparatePlayWindow::kNotTopmostCommand);
  EXPECT_FALSE(Host().topmost);
  EXPECT_EQ(Host().caption, "Room");
  Host().on_system_command(SeparatePlayWindow::kNotTopmostCommand);
  EXPECT_EQ(Host().caption, "Room");

  Host().on_system_command(4711);  // not ours: nothing changes
  EXPECT_EQ(Host().caption, "Room");
  EXPECT_FALSE(Host().topmost);
}

TEST_F(SeparatePlayWindowTest, NoNewWindowSendsPopupsToTheSinkAndBlanksIt) {
  Open("cmd=TVPLAY|http://tv/p|T|NONEWWINDOW#TOPMOST|950|560");
  // The flag takes effect when the player opens.
  EXPECT_TRUE(window->AllowsNewWindows());
  ASSERT_TRUE(Host().FireTimer(SeparatePlayWindow::kOpenPlayerTimer));
  EXPECT_FALSE(window->AllowsNewWindows());
  EXPECT_FALSE(Host().topmost);

  EXPECT_EQ(Player().FireNewWindow(), &Sink());
  EXPECT_EQ(platform.windows.size(), 1u);
  EXPECT_EQ(Host().timers[SeparatePlayWindow::kBlankSinkTimer], 500);
  ASSERT_TRUE(Host().FireTimer(SeparatePlayWindow::kBlankSinkTimer));
  EXPECT_EQ(Sink().navigations, std::vector<std::string>{"about:blank"});
  EXPECT_TRUE(Player().FireNewWindow() == &Sink());
}

TEST_F(SeparatePlayWindowTest, WithoutTheFlagPopupsOpenOrdinaryBrowserWindows) {
  for (const std::string command : {"cmd=TVPLAY|http://tv/p|T||950|560", "cmd=PLAYMV|http://r/|t|NONEWWINDOW"}) {
    SCOPED_TRACE(command);
    FakePlatform p;
    // The application's opener stands for the web window it would open.
    FakeBrowserView popupView(port::BrowserPolicy::kFull);
    std::vector<bool> carriesCommands;
    WindowSet set(p, [&](WindowSet&, const PageHookup& hookup) {
      carriesCommands.push_back(static_cast<bool>(hookup.run_page_command));
      return &popupView;
    });
    set.Open<SeparatePlayWindow>(command, "");
    p.Window(0).FireTimer(SeparatePlayWindow::kOpenPlayerTimer);
    port::BrowserView* target = p.Window(0).Browser(SeparatePlayWindow::kPlayerId)->FireNewWindow();
    EXPECT_EQ(target, &popupView);
    // Its pages carry no commands for this program.
    EXPECT_EQ(carriesCommands, std::vector<bool>{false});
    EXPECT_EQ(p.Window(0).timers.count(SeparatePlayWindow::kBlankSinkTimer), 0u);
  }
}

// Whoever wrote the command, only a web page is played: a local file or a
// script address gets the refusal and nothing else.
TEST_F(SeparatePlayWindowTest, OnlyWebAddressesArePlayed) {
  const std::string refusal =
      GbkToUtf8(StatusPageAddress(StatusFrame::kGrey, Gbk("视频地址无效,只能播放 http 或 https 网址")));
  struct Case {
    std::string command;
    bool played;
  } cases[] = {
      {"cmd=TVPLAY|file:///etc/passwd|T||950|560", false},
      {"cmd=PLAYMV|file:///etc/passwd|T|", false},
      {"cmd=PLAYMV|javascript:alert(1)|T|", false},
      {"cmd=TVPLAY|data:text/html,x|T||950|560", false},
      {"file:///home/u/.bashrc**TAB**t**TAB**t", false},
      {"cmd=TVPLAY|HTTPS://tv/p|T||950|560", true},
      {"cmd=PLAYMV|http://r/room|T|", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    FakePlatform p;
    WindowSet set(p);
    set.Open<SeparatePlayWindow>(c.command, dir.File("missing.htm"));
    FakeWindowHost& host = p.Window(0);
    host.FireTimer(SeparatePlayWindow::kOpenPlayerTimer);
    const std::vector<std::string>& navigations = host.Browser(SeparatePlayWindow::kPlayerId)->navigations;
    ASSERT_FALSE(navigations.empty());
    EXPECT_EQ(navigations == std::vector<std::string>{refusal}, !c.played);
    EXPECT_TRUE(host.shown);
  }
}

TEST_F(SeparatePlayWindowTest, BrowsingKeysStepThroughThePlayerAndCtrlWCloses) {
  Open("x");
  EXPECT_TRUE(Host().FireKey(port::Key::kLeft, port::kAlt));
  EXPECT_TRUE(Host().FireKey(port::Key::kF5));
  EXPECT_EQ(Player().historySteps, (std::vector<std::string>{"back", "reload"}));
  EXPECT_TRUE(Host().Browser(SeparatePlayWindow::kPopupSinkId)->historySteps.empty());
  EXPECT_TRUE(Host().FireKey(port::Key::kW, port::kControl));
  EXPECT_TRUE(Host().destroyed);
}

// A live room closes with Escape, as the live-show window it came from does.
TEST_F(SeparatePlayWindowTest, EscapeClosesALiveRoom) {
  Open("cmd=PLAYMV|http://r/room|Room|");
  EXPECT_FALSE(Host().FireKey(port::Key::kEnter));
  EXPECT_TRUE(Host().FireKey(port::Key::kEscape));
  EXPECT_TRUE(Host().destroyed);
}

TEST_F(SeparatePlayWindowTest, EscapeIsSwallowedAndCloseEndsTheWindow) {
  Open("x");
  EXPECT_TRUE(Host().FireKey(port::Key::kEscape));
  EXPECT_FALSE(Host().FireKey(port::Key::kEnter));
  EXPECT_FALSE(Host().destroyed);
  Host().RequestClose();
  EXPECT_TRUE(Host().destroyed);
  EXPECT_EQ(windows.Count(), 0);
  // The player timer was still to come: it goes with the window.
  EXPECT_FALSE(Host().FireTimer(SeparatePlayWindow::kOpenPlayerTimer));
  EXPECT_EQ(Player().navigations.size(), 1u);
}

TEST_F(SeparatePlayWindowTest, MalformedCommandsStillOpenAWindow) {
  for (const std::string command : {"", "|", "||||||", "cmd=TVPLAY|", "cmd=PLAYMV|", "**TAB****TAB****TAB**",
                                    "cmd=TVPLAY|a|b|c|-5|99999999999999", "**BK**"}) {
    SCOPED_TRACE(command);
    FakePlatform p;
    WindowSet set(p);
    set.Open<SeparatePlayWindow>(command, dir.File("missing.htm"));
    p.Window(0).FireTimer(SeparatePlayWindow::kOpenPlayerTimer);
    EXPECT_TRUE(p.Window(0).shown);
  }
}

TEST_F(SeparatePlayWindowTest, RunEntryRunsTheWindowUntilItCloses) {
  RunSeparatePlayWindow(windows, "cmd=PLAYMV|http://r/|t|", dir.File("main.htm"));
  ASSERT_EQ(platform.modalRuns.size(), 1u);
  EXPECT_EQ(platform.modalRuns[0], &Host());
  // The run waits for the window, but the window itself is an ordinary one:
  // a modal window would keep its own pop-up windows from any input.
  EXPECT_FALSE(Host().options.modal);
  EXPECT_TRUE(Host().destroyed);
  EXPECT_EQ(windows.Count(), 0);
}

}  // namespace
}  // namespace tavelo
