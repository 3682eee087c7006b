#include "windows/fetch_progress_dialog.h"

#include <gtest/gtest.h>

#include <optional>

#include "fakes/fake_port.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using fakes::FakeBrowserView;
using fakes::FakePlatform;
using fakes::FakeWindowHost;
using Dialog = FetchProgressDialog;

constexpr const char* kAddress = "http://two.example/p/2.html";

class FetchProgressDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    windows_.Open<Dialog>(kAddress, "</body>", [this](const std::string& html) { result_ = html; });
    host_ = platform_.LiveWindows().back();
    view_ = host_->Browser(Dialog::kBrowser);
  }
  void TearDown() override {
    for (FakeWindowHost* w : platform_.LiveWindows()) w->RequestClose();
    EXPECT_EQ(windows_.Count(), 0);
  }

  // Fires the poll timer, checking that it was due after `delay`.
  void Poll(int delay = Dialog::kPollInterval) {
    ASSERT_EQ(host_->timers[Dialog::kPollTimer], delay);
    host_->FireTimer(Dialog::kPollTimer);
  }
  void StartLoading() {
    ASSERT_EQ(host_->timers[Dialog::kStartTimer], Dialog::kStartDelay);
    host_->FireTimer(Dialog::kStartTimer);
  }
  int Progress() { return host_->Control<fakes::FakeProgressBar>(Dialog::kProgress)->position; }

  FakePlatform platform_;
  WindowSet windows_{platform_};
  FakeWindowHost* host_ = nullptr;
  FakeBrowserView* view_ = nullptr;
  std::optional<std::string> result_;
};

TEST_F(FetchProgressDialogTest, AHiddenFetchingBrowserInASmallModalWindow) {
  EXPECT_TRUE(host_->options.modal);
  EXPECT_FALSE(host_->options.resizable);
  EXPECT_TRUE(host_->shown);
  EXPECT_EQ(host_->caption, Gbk("获取数据...."));
  EXPECT_EQ(view_->policy, port::BrowserPolicy::kFetchOnly);
  EXPECT_FALSE(view_->visible);
  EXPECT_TRUE(view_->navigations.empty());
  EXPECT_TRUE(host_->FireKey(port::Key::kEnter));
  EXPECT_TRUE(host_->FireKey(port::Key::kEscape));
}

TEST_F(FetchProgressDialogTest, LoadsAfter200MsReadsAfter1500AndThenEvery200UntilTheBodyEnds) {
  StartLoading();
  EXPECT_EQ(view_->navigations, std::vector<std::string>{kAddress});
  // Before the page has loaded, the view's empty document does not count,
  // though it has a closing tag too.
  view_->bodyHtml = "<body></body>";
  Poll(Dialog::kFirstPollDelay);
  EXPECT_EQ(Dialog::kFirstPollDelay, 1500);
  Poll();
  EXPECT_FALSE(result_);
  view_->FireDocumentComplete(kAddress);
  view_->bodyHtml = "<body><p>half";
  Poll();
  EXPECT_FALSE(result_);
  view_->bodyHtml = "<body><p>资源</p></BODY>";  // any letter case; the view speaks UTF-8
  Poll();
  EXPECT_EQ(result_, Gbk("<body><p>资源</p></BODY>"));
  EXPECT_TRUE(host_->destroyed);
  EXPECT_EQ(windows_.Count(), 0);
}

TEST_F(FetchProgressDialogTest, GivesUpAfterAThousandReadsWithTheBarRestartingEveryHundred) {
  StartLoading();
  view_->FireDocumentComplete(kAddress);
  view_->bodyHtml = "<body><p>never ends";
  Poll(Dialog::kFirstPollDelay);
  std::vector<int> positions{Progress()};
  for (int poll = 2; poll <= Dialog::kMaxPolls; ++poll) {
    Poll();
    positions.push_back(Progress());
  }
  EXPECT_EQ(positions[98], 99);  // read 99
  EXPECT_EQ(positions[99], 0);   // read 100
  EXPECT_EQ(positions[100], 1);  // read 101
  EXPECT_FALSE(result_);
  Poll();  // the 1001st
  EXPECT_EQ(result_, "");
  EXPECT_TRUE(host_->destroyed);
}

TEST_F(FetchProgressDialogTest, CancelOrCloseEndsItWithoutAPage) {
  StartLoading();
  Poll(Dialog::kFirstPollDelay);
  host_->Control<fakes::FakeButton>(Dialog::kCancel)->Click();
  EXPECT_FALSE(result_);  // posted, not inside the click
  host_->RunPosted();
  EXPECT_EQ(result_, "");
  EXPECT_TRUE(host_->destroyed);

  std::optional<std::string> second;
  windows_.Open<Dialog>(kAddress, "</body>", [&](const std::string& html) { second = html; });
  platform_.LiveWindows().back()->RequestClose();
  EXPECT_EQ(second, "");
  EXPECT_EQ(windows_.Count(), 0);
}

TEST_F(FetchProgressDialogTest, APageThatCannotBeLoadedEndsItAtTheNextRead) {
  StartLoading();
  // The view shows the program's status page in place of the page.
  view_->FireLoadFailed(kAddress, port::LoadFailure::kHostNotFound);
  view_->FireDocumentComplete("about:blank");
  view_->bodyHtml = "<body>status</body>";
  Poll(Dialog::kFirstPollDelay);
  EXPECT_EQ(result_, "");
  EXPECT_TRUE(host_->destroyed);
}

}  // namespace
}  // namespace tavelo
