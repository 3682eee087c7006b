#include "companion/transfer_window.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <string_view>
#include <thread>

#include "base/file_digest.h"
#include "fakes/fake_port.h"
#include "net/loopback_server.h"
#include "net/zip_builder.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using namespace std::chrono_literals;
using fakes::FakeButton;
using fakes::FakeProgressBar;
using fakes::FakeStatic;
using fakes::FakeWindowHost;
using testing::FileExists;
using testing::ReadFile;
using testing::WriteFile;

const std::string kMember(40000, 'm');

class TransferWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestZip zip;
    zip.members.push_back(testing::TestMember{});
    zip.members[0].name = "member";
    zip.members[0].data = kMember;
    zip.members[0].method = 0;  // stored: the package is larger than one block
    package_ = testing::BuildTestZip(zip);
    auto& routes = server_.Routes();
    routes.Get("/info.asp", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("[FLAG]\r\nEND_QORISOFT_INFO\r\n", "text/plain");
    });
    routes.Get("/package.zip", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(package_, "application/zip");
    });
    // Sends the first block, then holds the download open until released.
    routes.Get("/long.zip", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(package_.size(), "application/zip",
                               [this](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset == 0) return sink.write(package_.data(), 20000);
                                 while (!server_.Released() && sink.is_writable()) std::this_thread::sleep_for(10ms);
                                 return false;
                               });
    });
    server_.Start();
    mkdir(dir_.File("data").c_str(), 0755);
    WriteFile(dir_.File("expected"), kMember);
    DigestFileHex(dir_.File("expected"), digest_);
    unlink(dir_.File("expected").c_str());
  }

  TransferRequest Package(const std::string& path, const std::string& digest) {
    return TransferRequest::PackageInstall(server_.Url(path), digest, dir_.File("target"), dir_.File("data/"));
  }
  // The user watches until the window ends by itself.
  static void WaitForTheEnd(FakeWindowHost& window) {
    for (int i = 0; i < 2000 && !window.destroyed; ++i) {
      window.RunPosted();
      std::this_thread::sleep_for(5ms);
    }
  }
  static std::string Text(FakeWindowHost& window, int id) { return window.Control<FakeStatic>(id)->text; }
  // Empty but for the lock package jobs take turns on.
  static bool DataFolderEmpty(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    int entries = 0;
    while (dirent* entry = readdir(dir)) {
      entries += entry->d_name[0] != '.' && std::string_view(entry->d_name) != "transfer.lock";
    }
    closedir(dir);
    return entries == 0;
  }

  testing::LoopbackServer server_;
  testing::TempDir dir_;
  fakes::FakePlatform platform_;
  WindowSet windows_{platform_};
  std::string package_;
  std::string digest_;
};

TEST_F(TransferWindowTest, ATextJobEndsTheWindowWithTheText) {
  platform_.on_run_modal = [](FakeWindowHost& window) {
    EXPECT_TRUE(window.options.modal);
    EXPECT_EQ(window.caption, Gbk("首次使用《奇洛》,下载相关数据"));
    EXPECT_EQ(window.Control<FakeButton>(TransferWindow::kStopId)->text, Gbk("停止传送数据"));
    EXPECT_EQ(Text(window, TransferWindow::kStatusId), Gbk("数据传送中"));
    EXPECT_EQ(window.timers[TransferWindow::kDotsTimer], 500);
    WaitForTheEnd(window);
  };
  TransferResult result = RunTransferWindow(windows_, Gbk("首次使用《奇洛》,下载相关数据"),
                                            TransferRequest::TextFetch(server_.Url("/info.asp")));
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(result.text, "[FLAG]\r\nEND_QORISOFT_INFO\r\n");
  EXPECT_EQ(platform_.modalRuns.size(), 1u);
  EXPECT_TRUE(platform_.Window(0).destroyed);
}

TEST_F(TransferWindowTest, APackageWithAnUpperCaseDigestIsInstalledWithItsByteCounts) {
  std::string upper = digest_;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  platform_.on_run_modal = WaitForTheEnd;
  TransferResult result = RunTransferWindow(windows_, "x", Package("/package.zip", upper));
  EXPECT_TRUE(result.installed);
  EXPECT_EQ(ReadFile(dir_.File("target")), kMember);
  FakeWindowHost& host = platform_.Window(0);
  const std::string size = std::to_string(package_.size());
  // The last counts reached the window before it ended.
  EXPECT_EQ(Text(host, TransferWindow::kBytesId), size + " / " + size + Gbk(" 字节(100%)"));
  FakeProgressBar* bar = host.Control<FakeProgressBar>(TransferWindow::kBarId);
  EXPECT_EQ(bar->high, static_cast<int>(package_.size()));
  EXPECT_EQ(bar->position, static_cast<int>(package_.size()));
  EXPECT_TRUE(DataFolderEmpty(dir_.File("data")));
}

TEST_F(TransferWindowTest, AMismatchingDigestLeavesTheOldTarget) {
  WriteFile(dir_.File("target"), "the old program");
  platform_.on_run_modal = WaitForTheEnd;
  TransferResult result = RunTransferWindow(windows_, "x", Package("/package.zip", "00000000000000000000000000000000"));
  EXPECT_FALSE(result.installed);
  EXPECT_FALSE(result.stopped);
  EXPECT_TRUE(platform_.Window(0).destroyed);  // it ended by itself
  EXPECT_EQ(ReadFile(dir_.File("target")), "the old program");
  EXPECT_TRUE(DataFolderEmpty(dir_.File("data")));
}

// Stopping, by the button or by closing the window, ends it at once while
// the download still hangs; the worker ends later without touching the
// window or installing anything. The window set closing it (its opener went)
// stops the job the same way.
TEST_F(TransferWindowTest, StoppingALongDownloadEndsTheWindowAtOnce) {
  enum class Ending { kStopButton, kCloseBox, kSetCloses };
  for (Ending ending : {Ending::kStopButton, Ending::kCloseBox, Ending::kSetCloses}) {
    SCOPED_TRACE(static_cast<int>(ending));
    std::shared_future<void> workerEnded;
    {
      platform_.on_run_modal = [&](FakeWindowHost& window) {
        FakeProgressBar* bar = window.Control<FakeProgressBar>(TransferWindow::kBarId);
        for (int i = 0; i < 2000 && bar->position == 0; ++i) {
          window.RunPosted();
          std::this_thread::sleep_for(5ms);
        }
        EXPECT_GT(bar->position, 0);
        FakeButton* stop = window.Control<FakeButton>(TransferWindow::kStopId);
        switch (ending) {
          case Ending::kStopButton: stop->Click(); break;
          case Ending::kCloseBox: window.RequestClose(); break;
          case Ending::kSetCloses: windows_.CloseAll(); break;
        }
        EXPECT_TRUE(window.destroyed);
        if (ending != Ending::kSetCloses) {
          EXPECT_FALSE(stop->enabled);
          EXPECT_EQ(stop->text, Gbk("正在停止"));
        }
      };
      TransferResult result = RunTransferWindow(windows_, "x", Package("/long.zip", digest_), &workerEnded);
      EXPECT_TRUE(result.stopped);
      EXPECT_EQ(result.text, "");
      EXPECT_FALSE(result.installed);
      EXPECT_EQ(workerEnded.wait_for(0s), std::future_status::timeout);
    }
    // The window is gone; the worker finds out within a block or a second.
    EXPECT_EQ(workerEnded.wait_for(10s), std::future_status::ready);
    EXPECT_FALSE(FileExists(dir_.File("target")));
    EXPECT_TRUE(DataFolderEmpty(dir_.File("data")));
  }
}

TEST_F(TransferWindowTest, TheStatusLineCyclesThroughOneToSixDots) {
  platform_.on_run_modal = [](FakeWindowHost& window) {
    std::vector<std::string> lines;
    for (int tick = 0; tick < 8; ++tick) {
      ASSERT_TRUE(window.FireTimer(TransferWindow::kDotsTimer));
      lines.push_back(Text(window, TransferWindow::kStatusId));
      EXPECT_EQ(window.timers[TransferWindow::kDotsTimer], 500);
    }
    const std::string base = Gbk("数据传送中");
    EXPECT_EQ(lines, (std::vector<std::string>{base + ".", base + "..", base + "...", base + "....",
                                               base + ".....", base + "......", base + ".", base + ".."}));
    // Escape and Enter do not end it.
    EXPECT_TRUE(window.FireKey(port::Key::kEscape));
    EXPECT_TRUE(window.FireKey(port::Key::kEnter));
    WaitForTheEnd(window);
  };
  RunTransferWindow(windows_, "x", TransferRequest::TextFetch(server_.Url("/info.asp")));
}

}  // namespace
}  // namespace tavelo
