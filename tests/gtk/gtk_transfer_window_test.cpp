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
};

TEST_F(GtkTransferWindowTest, EndsByItselfWithTheFetchedText) {
  TransferWindow window(platform_, "job", TransferRequest::TextFetch(server_.Url("/text")));
  TransferResult result = window.Run();
  EXPECT_FALSE(result.stopped);
  EXPECT_EQ(result.text, "description");
}

TEST_F(GtkTransferWindowTest, ClosingDuringAHangingDownloadEndsAtOnce) {
  std::shared_future<void> workerEnded;
  {
    TransferWindow window(platform_, "job", TransferRequest::TextFetch(server_.Url("/hang")));
    workerEnded = window.WorkerEnded();
    // The user closes the window half a second in.
    g_timeout_add(500, +[](gpointer data) -> gboolean {
      auto* host = static_cast<port::WindowHost*>(data);
      host->on_close_request();
      return G_SOURCE_REMOVE;
    }, &window.Host());
    auto started = std::chrono::steady_clock::now();
    TransferResult result = window.Run();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.text, "");
  }
  // The worker ends later, reaching nothing of the window.
  EXPECT_TRUE(testing::RunUntil([&] { return workerEnded.wait_for(0s) == std::future_status::ready; }, 10));
}

}  // namespace
}  // namespace tavelo
