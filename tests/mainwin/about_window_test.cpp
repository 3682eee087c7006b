#include "mainwin/about_window.h"

#include <gtest/gtest.h>

#include "fakes/fake_port.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

TEST(AboutWindowTest, ShowsVersionPathAndCountsAndClosesOnlyByItsButtonOrCloseBox) {
  fakes::FakePlatform platform;
  WindowSet windows(platform);
  AboutWindow& about = windows.Open<AboutWindow>("/opt/tavelo/TaveloMain", AboutCounts{200000, 12, 3});
  fakes::FakeWindowHost& host = platform.Window(0);
  EXPECT_EQ(&about.Host(), &host);
  EXPECT_EQ(host.caption, Gbk("关于 Tavelo(Tavelo视频播放器)"));
  EXPECT_EQ(host.Control<fakes::FakeStatic>(AboutWindow::kVersionId)->text,
            Gbk("Tavelo(Tavelo视频播放器) Ver1.08 正式版"));
  EXPECT_EQ(host.Control<fakes::FakeStatic>(AboutWindow::kPathId)->text, "/opt/tavelo/TaveloMain");
  EXPECT_EQ(host.Control<fakes::FakeStatic>(AboutWindow::kCountsId)->text,
            Gbk("视频总数 200000  新视频 12  新P2P资源 3"));
  // The path box is several lines high, so a long path wraps inside it.
  EXPECT_GT(host.Control<fakes::FakeStatic>(AboutWindow::kPathId)->bounds.Height(), 60);

  EXPECT_TRUE(host.FireKey(port::Key::kEscape));
  EXPECT_FALSE(host.destroyed);
  host.Control<fakes::FakeButton>(AboutWindow::kOkId)->Click();
  EXPECT_TRUE(host.destroyed);
  EXPECT_EQ(windows.Count(), 0);
}

// The package and the manual pages carry the version the About box shows.
TEST(AboutWindowTest, OneVersionEverywhere) {
  const std::string line = GbkToUtf8(VersionLine());
  const size_t at = line.find(" Ver");
  ASSERT_NE(at, std::string::npos);
  const std::string version = line.substr(at + 4, line.find(' ', at + 4) - at - 4);
  const struct {
    const char* file;
    std::string says;
  } cases[] = {
      {TAVELO_PACKAGE_CONFIG, "set(CPACK_PACKAGE_VERSION \"" + version + "\")"},
      {TAVELO_MAN_PAGE, "\"Tavelo " + version + "\""},
  };
  for (const auto& c : cases) {
    EXPECT_NE(testing::ReadFile(c.file).find(c.says), std::string::npos) << c.file << " lacks " << c.says;
  }
}

TEST(AboutWindowTest, ShowsTheApplicationIconAtItsPlace) {
  fakes::FakePlatform platform;
  WindowSet windows(platform);
  windows.Open<AboutWindow>("/p", AboutCounts{});
  auto* icon = platform.Window(0).Control<fakes::FakePicture>(AboutWindow::kIconId);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->picture, 128);
  // (7, 7) and 21 x 21 in units of 1.5 pixels.
  EXPECT_EQ(icon->bounds, Rect::FromSize(10, 10, 31, 31));
}

TEST(AboutWindowTest, ShowRunsTheBoxModallyUntilTheUserCloses) {
  fakes::FakePlatform platform;
  WindowSet windows(platform);
  bool shownDuringRun = false;
  platform.on_run_modal = [&](fakes::FakeWindowHost& box) {
    shownDuringRun = box.shown && box.options.modal;
    box.RequestClose();
  };
  ShowAboutWindow(windows, {});
  ASSERT_EQ(platform.modalRuns.size(), 1u);
  EXPECT_TRUE(shownDuringRun);
  EXPECT_TRUE(platform.Window(0).destroyed);
  EXPECT_EQ(windows.Count(), 0);
}

}  // namespace
}  // namespace tavelo
