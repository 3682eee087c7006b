// The main window and a play window as a screen reader sees them: their
// accessible objects, read in process through ATK, on the real GTK port
// against the demo catalogue server. Runs under xvfb-run.

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <sys/stat.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue_store.h"
#include "gtk/gtk_keys.h"
#include "gtk/gtk_pump.h"
#include "mainwin/main_window.h"
#include "playback/episode_list_view.h"
#include "port/gtk/gtk_port.h"
#include "running_demo.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

// The page view a window shows.
WebKitWebView* ViewOf(OwnedWindow& window) {
  return dynamic_cast<gtkport::GtkWindowHost&>(window.Host()).ShownWebView();
}
using gtkport::ShowsLoaded;

using testing::RunUntil;

// What a screen reader learns of one accessible object.
struct Node {
  std::string name;
  AtkRole role = ATK_ROLE_INVALID;
  bool focusable = false;
  bool selected = false;
  std::vector<std::string> actions;
};

void Collect(AtkObject* object, std::vector<Node>& nodes) {
  Node node;
  const char* name = atk_object_get_name(object);
  node.name = name != nullptr ? name : "";
  node.role = atk_object_get_role(object);
  AtkStateSet* states = atk_object_ref_state_set(object);
  node.focusable = atk_state_set_contains_state(states, ATK_STATE_FOCUSABLE);
  node.selected = atk_state_set_contains_state(states, ATK_STATE_SELECTED);
  g_object_unref(states);
  if (ATK_IS_ACTION(object)) {
    for (int i = 0; i < atk_action_get_n_actions(ATK_ACTION(object)); ++i) {
      node.actions.push_back(atk_action_get_name(ATK_ACTION(object), i));
    }
  }
  nodes.push_back(node);
  for (int i = 0; i < atk_object_get_n_accessible_children(object); ++i) {
    AtkObject* child = atk_object_ref_accessible_child(object, i);
    if (child == nullptr) continue;
    Collect(child, nodes);
    g_object_unref(child);
  }
}

std::vector<Node> NodesOf(OwnedWindow& window) {
  std::vector<Node> nodes;
  Collect(gtk_widget_get_accessible(dynamic_cast<gtkport::GtkWindowHost&>(window.Host()).Window()), nodes);
  return nodes;
}

const Node* Named(const std::vector<Node>& nodes, const std::string& name, AtkRole role) {
  auto found = std::find_if(nodes.begin(), nodes.end(),
                            [&](const Node& node) { return node.name == name && node.role == role; });
  return found != nodes.end() ? &*found : nullptr;
}

// The first accessible object in tree order with this role (and name, unless
// nullptr); not referenced, since the window holds it.
AtkObject* Find(AtkObject* object, AtkRole role, const char* name = nullptr) {
  const char* own = atk_object_get_name(object);
  if (atk_object_get_role(object) == role && (name == nullptr || (own != nullptr && std::string(own) == name))) {
    return object;
  }
  AtkObject* found = nullptr;
  for (int i = 0; found == nullptr && i < atk_object_get_n_accessible_children(object); ++i) {
    AtkObject* child = atk_object_ref_accessible_child(object, i);
    if (child == nullptr) continue;
    found = Find(child, role, name);
    g_object_unref(child);
  }
  return found;
}

GtkWidget* WidgetOf(AtkObject* object) { return gtk_accessible_get_widget(GTK_ACCESSIBLE(object)); }

// Message boxes would wait for a user: they are only recorded.
class QuietPlatform : public gtkport::GtkPlatform {
 public:
  void MessageBox(port::WindowHost*, const std::string& text, const std::string&) override {
    messages.push_back(text);
  }
  std::vector<std::string> messages;
};

class GtkAccessibleWindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { demo_ = new demo::RunningDemo; }
  static void TearDownTestSuite() { delete demo_; }

  void SetUp() override {
    ASSERT_EQ(demo_->Error(), "");
    windows_.SetPaths(demo_->PrepareProgramFolder(dir_.Path()));
    MainWindowSetup setup;
    setup.firstRunSetup = false;
    setup.startDataUpdate = false;
    portal_ = &windows_.Open<MainWindow>(catalogue_, setup);
    ASSERT_TRUE(RunUntil([&] { return ShowsLoaded(ViewOf(*portal_), "/tj/index.asp"); })) << "no recommended page";
  }
  void TearDown() override {
    windows_.CloseAll();
    testing::Pump(100);
  }

  static inline demo::RunningDemo* demo_ = nullptr;
  testing::TempDir dir_;
  QuietPlatform platform_;
  WindowSet windows_{platform_};
  CatalogueStore catalogue_;
  MainWindow* portal_ = nullptr;
};

TEST_F(GtkAccessibleWindowsTest, MainWindowNamesEveryButtonAndTheSearchBox) {
  const std::vector<Node> nodes = NodesOf(*portal_);
  for (const char* caption : {"推荐视频", "讯雷(P2P)种子", "连续剧", "电  影", "综  艺", "动  漫", "记录片", "电视直播",
                              "美女直播", "我的收藏", "观看记录", "问题报告", "关于软件", "搜索"}) {
    const Node* button = Named(nodes, caption, ATK_ROLE_PUSH_BUTTON);
    ASSERT_NE(button, nullptr) << caption;
    EXPECT_TRUE(button->focusable) << caption;
    EXPECT_EQ(button->actions, std::vector<std::string>{"click"}) << caption;
  }
  std::set<std::string> selected;
  for (const Node& node : nodes) {
    if (node.role == ATK_ROLE_PUSH_BUTTON && node.selected) selected.insert(node.name);
  }
  EXPECT_EQ(selected, std::set<std::string>{"推荐视频"});
  const Node* box = Named(nodes, "搜索视频", ATK_ROLE_TEXT);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->focusable);
}

// The episodes are a focusable list of named items; the keys choose one and
// Enter plays it. The panel's values are links Tab reaches; 收藏视频 adds
// the video to the favourites.
TEST_F(GtkAccessibleWindowsTest, PlayWindowEpisodesAndLinksAreReachable) {
  webkit_web_view_evaluate_javascript(ViewOf(*portal_),
                                      "for (const a of document.links) if ((a.getAttribute('href') || '')"
                                      ".includes('INFO|雾港旧事')) { a.click(); break; }",
                                      -1, nullptr, nullptr, nullptr, nullptr, nullptr);
  PlayWindow* player = nullptr;
  ASSERT_TRUE(RunUntil([&] {
    player = windows_.Find<PlayWindow>();
    return player != nullptr && !player->Fetching() && player->EpisodeList().RowCount() > 2;
  })) << "no episode list";
  port::ListView& list = player->EpisodeList();

  std::vector<Node> nodes = NodesOf(*player);
  const Node* episodes = Named(nodes, "", ATK_ROLE_LIST);
  ASSERT_NE(episodes, nullptr);
  EXPECT_TRUE(episodes->focusable);
  std::vector<std::string> items;
  for (const Node& node : nodes) {
    if (node.role == ATK_ROLE_LIST_ITEM) items.push_back(node.name);
  }
  ASSERT_EQ(items.size(), static_cast<size_t>(list.RowCount()));
  EXPECT_EQ(items[1].rfind(GbkToUtf8(list.Cell(1, kLabelColumn)), 0), 0u) << items[1];

  GtkWidget* window = dynamic_cast<gtkport::GtkWindowHost&>(player->Host()).Window();
  AtkObject* root = gtk_widget_get_accessible(window);
  gtk_widget_grab_focus(WidgetOf(Find(root, ATK_ROLE_LIST)));
  for (guint key : {GDK_KEY_Home, GDK_KEY_Down}) testing::SendKey(window, key, true);
  EXPECT_EQ(list.FirstSelectedRow(), 1);
  nodes = NodesOf(*player);
  std::vector<std::string> selected;
  for (const Node& node : nodes) {
    if (node.role == ATK_ROLE_LIST_ITEM && node.selected) selected.push_back(node.name);
  }
  EXPECT_EQ(selected, std::vector<std::string>{items[1]});

  testing::SendKey(window, GDK_KEY_Return, true);
  EXPECT_TRUE(RunUntil([&] { return ShowsLoaded(ViewOf(*player), "/player/"); })) << "the episode did not play";

  nodes = NodesOf(*player);
  for (const char* link : {"收藏视频", "复制视频网址", "单独窗口打开视频"}) {
    const Node* node = Named(nodes, link, ATK_ROLE_LINK);
    ASSERT_NE(node, nullptr) << link;
    EXPECT_EQ(node->actions, std::vector<std::string>{"jump"}) << link;
  }
  AtkObject* favourite = Find(root, ATK_ROLE_LINK, "收藏视频");
  GtkWidget* panel = WidgetOf(atk_object_get_parent(favourite));
  EXPECT_TRUE(gtk_widget_child_focus(panel, GTK_DIR_TAB_FORWARD));
  EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(window)), panel);

  EXPECT_TRUE(atk_action_do_action(ATK_ACTION(favourite), 0));
  EXPECT_TRUE(RunUntil([&] { return !platform_.messages.empty(); })) << "no favourite added";
  EXPECT_NE(testing::ReadFile(dir_.File("data/myfavo.dat")).find(Gbk("雾港旧事")), std::string::npos);
}

}  // namespace
}  // namespace tavelo
