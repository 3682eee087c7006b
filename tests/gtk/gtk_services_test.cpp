// The port's file watch and the fetching browser view, on the real GTK port.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <set>
#include <string>

#include "base/atomic_write.h"
#include "gtk_pump.h"
#include "net/loopback_server.h"
#include "port/gtk/gtk_port.h"
#include "support/temp_dir.h"

namespace tavelo {
namespace {

using testing::Pump;
using testing::RunUntil;

class GtkServicesTest : public ::testing::Test {
 protected:
  void TearDown() override {
    platform_.CloseAll();
    EXPECT_TRUE(RunUntil([&] { return platform_.WindowCount() == 0; }, 5));
  }

  gtkport::GtkPlatform platform_;
};

TEST_F(GtkServicesTest, AWatchReportsEverySaveOfItsFileWithinASecond) {
  testing::TempDir dir;
  const std::string path = dir.File("myvisited.dat");
  int reports = 0;
  std::unique_ptr<port::FileWatch> watch = platform_.WatchFile(path, [&] { ++reports; });
  ASSERT_NE(watch, nullptr);

  // Made, replaced whole by a save as the lists are, written in place, removed.
  const std::vector<std::pair<const char*, std::function<void()>>> changes = {
      {"made", [&] { testing::WriteFile(path, "a"); }},
      {"replaced", [&] { ASSERT_TRUE(AtomicWriteFile(path, "b")); }},
      {"written", [&] { testing::WriteFile(path, "c"); }},
      {"removed", [&] { ASSERT_EQ(unlink(path.c_str()), 0); }},
  };
  for (const auto& [name, change] : changes) {
    Pump(100);
    reports = 0;
    change();
    EXPECT_TRUE(RunUntil([&] { return reports > 0; }, 1)) << name;
  }

  // Other files of the folder are not this watch's business, and a watch
  // that is gone reports nothing.
  Pump(100);
  reports = 0;
  testing::WriteFile(dir.File("myfavo.dat"), "x");
  Pump(300);
  EXPECT_EQ(reports, 0);
  watch.reset();
  testing::WriteFile(path, "d");
  Pump(300);
  EXPECT_EQ(reports, 0);
}

TEST_F(GtkServicesTest, AFetchingViewRunsNoPageScriptsAndLoadsNoPicturesOrMedia) {
  testing::LoopbackServer server;
  std::mutex lock;
  std::set<std::string> requested;
  server.Routes().Get(R"(/.*)", [&](const httplib::Request& request, httplib::Response& response) {
    {
      std::lock_guard guard(lock);
      requested.insert(request.path);
    }
    if (request.path == "/page.htm") {
      response.set_content(
          "<html><body><p id=p>as served</p><img src=/picture.png><video src=/clip.webm autoplay></video>"
          "<audio src=/sound.ogg autoplay></audio>"
          "<script>document.getElementById('p').textContent='scripted'</script></body></html>",
          "text/html");
    } else {
      response.set_content("x", "application/octet-stream");
    }
  });
  server.Start();

  port::WindowHost& host = platform_.CreateWindow({});
  host.Place(Rect::FromSize(20, 20, 300, 200));
  host.Show();
  port::BrowserView* view = host.AddBrowser(1011, port::BrowserPolicy::kFetchOnly);
  view->SetBounds(Rect::FromSize(0, 0, 1, 1));
  bool loaded = false;
  view->on_document_complete = [&](const std::string&) { loaded = true; };
  view->Navigate(server.Url("/page.htm"));
  ASSERT_TRUE(RunUntil([&] { return loaded; }, 20));

  std::string body;
  bool read = false;
  view->RequestBodyHtml([&](std::string html) {
    body = std::move(html);
    read = true;
  });
  ASSERT_TRUE(RunUntil([&] { return read; }, 10));
  // The program's own read works, sees the body element whole, and the
  // page's script never ran.
  EXPECT_EQ(body.rfind("<body>", 0), 0u) << body;
  EXPECT_NE(body.find("</body>"), std::string::npos);
  EXPECT_NE(body.find("as served"), std::string::npos);
  Pump(500);
  std::lock_guard guard(lock);
  EXPECT_EQ(requested, std::set<std::string>{"/page.htm"});
}

}  // namespace
}  // namespace tavelo
