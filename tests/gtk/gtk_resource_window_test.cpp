// P2P items of the demo catalogue in real resource windows: each site's page
// is fetched (the second through the fetching window's hidden browser), cut
// and shown from the window's own page file.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <sys/stat.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <memory>

#include "browser/window_set.h"
#include "demo_site.h"
#include "gtk_pump.h"
#include "port/gtk/gtk_port.h"
#include "running_demo.h"
#include "support/temp_dir.h"
#include "text/encoding.h"
#include "windows/resource_window.h"

namespace tavelo {
namespace {

using testing::RunUntil;

std::string BodyText(WebKitWebView* view) {
  // The answer may come after a time-out; it then lands in a result that is
  // left alone rather than in this frame.
  struct Answer {
    std::string text;
    bool done = false;
  };
  auto* answer = new Answer;
  webkit_web_view_evaluate_javascript(
      view, "document.body ? document.body.innerText : ''", -1, nullptr, nullptr, nullptr,
      +[](GObject* source, GAsyncResult* result, gpointer data) {
        auto* out = static_cast<Answer*>(data);
        if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr)) {
          char* chars = jsc_value_to_string(value);
          out->text = chars;
          g_free(chars);
          g_object_unref(value);
        }
        out->done = true;
      },
      answer);
  RunUntil([&] { return answer->done; }, 10);
  if (!answer->done) return "";
  std::string text = std::move(answer->text);
  delete answer;
  return text;
}

class GtkResourceWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { demo_ = new demo::RunningDemo(); }
  static void TearDownTestSuite() {
    delete demo_;
    demo_ = nullptr;
  }
  void SetUp() override {
    ASSERT_EQ(demo_->Error(), "");
    mkdir(dir_.File("data").c_str(), 0755);
    testing::WriteFile(paths_.Template(), "[RESOURCE_SITE1_DOMAIN]\n" + Host(demo::Role::kResource1) +
                                              "\n[RESOURCE_SITE2_DOMAIN]\n" + Host(demo::Role::kResource2) + "\n");
    windows_.SetPaths(paths_);
  }
  void TearDown() override {
    windows_.CloseAll();
    EXPECT_TRUE(RunUntil([&] { return platform_.WindowCount() == 0; }, 5));
  }
  static std::string Host(demo::Role role) { return demo::RoleAddress(role, demo_->Port()); }

  // Opens the item and waits until its page is shown; the page's text.
  std::string ShowItem(demo::Role site, const std::string& id) {
    const std::string address = "http://" + Host(site) + "/bt/" + id + ".html";
    ResourceWindow& window = OpenResourceWindow(windows_, "", Gbk("演示种子\n") + address, "");
    auto& host = dynamic_cast<gtkport::GtkWindowHost&>(window.Host());
    WebKitWebView* view = host.ShownWebView();
    if (view == nullptr) return "no view";
    if (!RunUntil([&] {
          const char* uri = webkit_web_view_get_uri(view);
          return !window.PagePath().empty() && uri != nullptr && "file://" + window.PagePath() == uri &&
                 !webkit_web_view_is_loading(view);
        }, 30)) {
      const char* uri = webkit_web_view_get_uri(view);
      return "page not shown; status line: " + GbkToUtf8(window.StatusLine()) + "; view at " +
             (uri != nullptr ? uri : "nothing") + (webkit_web_view_is_loading(view) ? " (loading)" : "");
    }
    return BodyText(view);
  }

  static demo::RunningDemo* demo_;
  testing::TempDir dir_;
  ProgramPaths paths_{dir_.Path()};
  gtkport::GtkPlatform platform_;
  WindowSet windows_{platform_};
};

demo::RunningDemo* GtkResourceWindowTest::demo_ = nullptr;

TEST_F(GtkResourceWindowTest, TheFirstSitesItemShowsItsContentWithoutTheSitesFrame) {
  const std::string text = ShowItem(demo::Role::kResource1, "bt01");
  EXPECT_NE(text.find("演示种子"), std::string::npos) << text;  // the title heading
  EXPECT_NE(text.find("片名: 雾港旧事"), std::string::npos) << text;
  EXPECT_EQ(text.find("首页"), std::string::npos) << text;          // before the start marker
  EXPECT_EQ(text.find("下载地址2"), std::string::npos) << text;     // from the end markers on
}

TEST_F(GtkResourceWindowTest, TheSecondSitesItemComesThroughTheFetchingWindow) {
  const std::vector<demo::Resource> resources =
      demo::ParseResources(testing::ReadFile(std::string(TAVELO_DEMO_CONTENT) + "/p2p.txt"));
  auto second = std::find_if(resources.begin(), resources.end(), [](const demo::Resource& r) { return r.site == 2; });
  ASSERT_NE(second, resources.end());
  const std::string text = ShowItem(demo::Role::kResource2, second->id);
  EXPECT_NE(text.find("片名: " + second->title), std::string::npos) << text;
  EXPECT_EQ(text.find("分享到"), std::string::npos) << text;
  EXPECT_EQ(text.find("相关资源"), std::string::npos) << text;
}

}  // namespace
}  // namespace tavelo
