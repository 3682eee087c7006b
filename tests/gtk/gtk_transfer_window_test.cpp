// The transfer window on the real port, under xvfb-run: its modal run ends by
// itself when the job is done, and at once when the user closes it during a
// download that hangs, with the worker ending later on its own.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <thread>

#include "companion/transfer_window.h"
#include "gtk_pump.h"
#include "net/loopback_server.h"
#include "port/gtk/gtk_port.h"

namespace tavelo {
namespace {

using namespace std::chrono_literals;

class GtkTransferWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Routes().Get("/text", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("description", "text/plain");
    });
    server_.Routes().Get("/hang", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(100000, "text/plain", [this](size_t offset, size_t, httplib::DataSink& sink) {
        if (offset == 0) return sink.write("first", 5);
        while (!server_.Released() && sink.is_writable()) std::this_thread::sleep_for(10ms);
        return false;
      });
    });
    server_.Start();
  }
  void TearDown() override {
    platform_.CloseAll();
    EXPECT_TRUE(testing::RunUntil([&] { return platform_.WindowCount() == 0; }, 5));
  }

  testing::LoopbackServer server_;
  gtkport::GtkPlatform platform_;
  WindowSet windows_{platform_};
};

TEST_F(GtkTransferWindowTest, EndsByItselfWithTheFetchedText) {
  TransferResult result = RunTransferWindow(windows_, "job", TransferRequest::TextFetch(server_.Url("/text")));
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(result.text, "description");
}

TEST_F(GtkTransferWindowTest, ClosingDuringAHangingDownloadEndsAtOnce) {
  std::shared_future<void> workerEnded;
  // The user closes the window half a second in.
  g_timeout_add(500, +[](gpointer data) -> gboolean {
    static_cast<WindowSet*>(data)->Find<TransferWindow>()->Host().on_close_request();
    return G_SOURCE_REMOVE;
  }, &windows_);
  auto started = std::chrono::steady_clock::now();
  TransferResult result =
      RunTransferWindow(windows_, "job", TransferRequest::TextFetch(server_.Url("/hang")), &workerEnded);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.text, "");
  EXPECT_EQ(windows_.Count(), 0);
  // The worker ends later, reaching nothing of the window.
  EXPECT_TRUE(testing::RunUntil([&] { return workerEnded.wait_for(0s) == std::future_status::ready; }, 10));
}

}  // namespace
}  // namespace tavelo
