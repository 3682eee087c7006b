// The window host and the skinned controls on the real GTK port, under
// xvfb-run (see CMakeLists.txt). Mouse input is given two ways: synthesized
// button events handed to GTK's dispatcher, and real pointer moves (warps)
// that the X server turns into motion events.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "gtk_keys.h"
#include "gtk_pump.h"
#include "port/gtk/gtk_control.h"
#include "port/gtk/gtk_port.h"
#include "port/gtk/gtk_window_menu.h"
#include "skin/skin_list_ctrl.h"
#include "skin/skin_paint.h"
#include "text/encoding.h"

namespace tavelo {

inline void PrintTo(const Rgb& c, std::ostream* os) { *os << "RGB(" << +c.r << "," << +c.g << "," << +c.b << ")"; }

namespace {

using testing::Pump;
using testing::RunUntil;
using testing::SendKey;

GtkWidget* WidgetOf(port::Control* control) { return dynamic_cast<gtkport::WidgetOwner&>(*control).Widget(); }

// Hands GTK a button event as if the X server had sent it, in `target`'s
// own window coordinates.
void SendButton(GtkWidget* target, GdkEventType type, int x, int y) {
  GdkWindow* window = gtk_widget_get_window(target);
  ASSERT_NE(window, nullptr) << "widget not realised";
  GdkEvent* event = gdk_event_new(type);
  event->button.window = GDK_WINDOW(g_object_ref(window));
  event->button.x = x;
  event->button.y = y;
  event->button.button = 1;
  event->button.time = GDK_CURRENT_TIME;
  gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(window))));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

// The same with another button than the left one.
void SendButtonOf(GtkWidget* target, guint button, int x, int y) {
  GdkWindow* window = gtk_widget_get_window(target);
  ASSERT_NE(window, nullptr) << "widget not realised";
  GtkAllocation a;
  gtk_widget_get_allocation(target, &a);
  bool own = gtk_widget_get_has_window(target);
  GdkEvent* event = gdk_event_new(GDK_BUTTON_PRESS);
  event->button.window = GDK_WINDOW(g_object_ref(window));
  event->button.x = own ? x : a.x + x;
  event->button.y = own ? y : a.y + y;
  event->button.button = button;
  event->button.time = GDK_CURRENT_TIME;
  gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(window))));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

void Click(GtkWidget* target, int x, int y) {
  SendButton(target, GDK_BUTTON_PRESS, x, y);
  SendButton(target, GDK_BUTTON_RELEASE, x, y);
}

// Moves the real pointer to (x, y) of `widget`.
void WarpTo(GtkWidget* widget, int x, int y) {
  int ox = 0, oy = 0;
  gdk_window_get_origin(gtk_widget_get_window(widget), &ox, &oy);
  GdkDisplay* display = gtk_widget_get_display(widget);
  gdk_device_warp(gdk_seat_get_pointer(gdk_display_get_default_seat(display)), gdk_display_get_default_screen(display),
                  ox + x, oy + y);
  gdk_display_flush(display);
}

// What is on the screen in `widget`'s area, as an image surface.
SurfacePtr Grab(GtkWidget* widget) {
  GdkWindow* window = gtk_widget_get_window(widget);
  GtkAllocation a;
  gtk_widget_get_allocation(widget, &a);
  int x = gtk_widget_get_has_window(widget) ? 0 : a.x;
  int y = gtk_widget_get_has_window(widget) ? 0 : a.y;
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_window(window, x, y, a.width, a.height);
  if (pixbuf == nullptr) return nullptr;
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, a.width, a.height));
  CairoPtr cr(cairo_create(surface.get()));
  gdk_cairo_set_source_pixbuf(cr.get(), pixbuf, 0, 0);
  cairo_paint(cr.get());
  g_object_unref(pixbuf);
  cairo_surface_flush(surface.get());
  return surface;
}

Rgb PixelAt(cairo_surface_t* s, int x, int y) {
  const unsigned char* data = cairo_image_surface_get_data(s);
  std::uint32_t v = *reinterpret_cast<const std::uint32_t*>(data + y * cairo_image_surface_get_stride(s) + x * 4);
  return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

// Pixels close to `colour` (text is anti-aliased) in the whole surface.
int CountNear(cairo_surface_t* s, Rgb colour, int tolerance = 40) {
  int n = 0;
  for (int y = 0; y < cairo_image_surface_get_height(s); ++y) {
    for (int x = 0; x < cairo_image_surface_get_width(s); ++x) {
      Rgb p = PixelAt(s, x, y);
      if (std::abs(p.r - colour.r) <= tolerance && std::abs(p.g - colour.g) <= tolerance &&
          std::abs(p.b - colour.b) <= tolerance)
        ++n;
    }
  }
  return n;
}

class GtkPortTest : public ::testing::Test {
 protected:
  void TearDown() override {
    platform_.CloseAll();
    EXPECT_TRUE(RunUntil([&] { return platform_.WindowCount() == 0; }, 5));
  }

  // A shown window of the given client size at a known place on the screen.
  port::WindowHost& OpenWindow(int width = 640, int height = 420) {
    port::WindowHost& host = platform_.CreateWindow({});
    host.Place(Rect::FromSize(20, 20, width, height));
    host.Show();
    return host;
  }

  // Mapped and allocated at the size the window logic asked for.
  static bool Drawn(port::Control* control) {
    GtkWidget* w = WidgetOf(control);
    return gtk_widget_get_mapped(w) && gtk_widget_get_allocated_width(w) == control->Bounds().Width() &&
           gtk_widget_get_allocated_height(w) == control->Bounds().Height();
  }

  gtkport::GtkPlatform platform_;
};

// A flat and a face button that count their clicks.
struct TwoButtons {
  explicit TwoButtons(port::WindowHost& host)
      : flat(host.AddFlatButton(1001, Gbk("电影"))), face(host.AddFaceButton(1025, Gbk("搜索"))) {
    flat->SetBounds(Rect::FromSize(10, 10, 100, 30));
    face->SetBounds(Rect::FromSize(10, 50, 60, 22));
    flat->on_click = [this] { ++flatClicks; };
    face->on_click = [this] { ++faceClicks; };
  }
  TwoButtons(const TwoButtons&) = delete;
  TwoButtons& operator=(const TwoButtons&) = delete;
  port::FlatButton* flat;
  port::FaceButton* face;
  int flatClicks = 0, faceClicks = 0;
};

// Which press and release make a click is the models' (tests/skin); here
// the events reach them with their coordinates, and the click reaches the
// window.
TEST_F(GtkPortTest, SkinnedButtonsReportTheClicksTheirModelsDecide) {
  port::WindowHost& host = OpenWindow();
  TwoButtons buttons(host);
  port::FlatButton* flat = buttons.flat;
  port::FaceButton* face = buttons.face;
  int& flatClicks = buttons.flatClicks;
  int& faceClicks = buttons.faceClicks;
  ASSERT_TRUE(RunUntil([&] { return Drawn(flat) && Drawn(face); }));

  Click(WidgetOf(flat), 50, 15);
  EXPECT_EQ(flatClicks, 1);
  // Pressed, then released away from the button: no click.
  SendButton(WidgetOf(flat), GDK_BUTTON_PRESS, 50, 15);
  SendButton(WidgetOf(flat), GDK_BUTTON_RELEASE, 150, 15);
  EXPECT_EQ(flatClicks, 1);

  Click(WidgetOf(face), 30, 11);
  EXPECT_EQ(faceClicks, 1);
  face->SetEnabled(false);
  EXPECT_FALSE(face->Enabled());
  Click(WidgetOf(face), 30, 11);
  EXPECT_EQ(faceClicks, 1);
}

// For the keyboard and screen readers a skinned button is a push button
// named by its caption: it takes the focus, which a keyboard user sees as a
// ring; Space and Enter press it, even where the window swallows Enter, and
// so does its "click" action. The selected flat button says so.
TEST_F(GtkPortTest, SkinnedButtonsArePushButtonsForKeysAndScreenReaders) {
  port::WindowHost& host = OpenWindow();
  // As the main window does: Enter and Escape would end a dialog.
  host.on_key = [](port::Key key, port::Modifiers) { return key == port::Key::kEnter || key == port::Key::kEscape; };
  TwoButtons buttons(host);
  port::FlatButton* flat = buttons.flat;
  port::FaceButton* face = buttons.face;
  int& flatClicks = buttons.flatClicks;
  int& faceClicks = buttons.faceClicks;
  GtkWidget* window = dynamic_cast<gtkport::GtkWindowHost&>(host).Window();
  ASSERT_TRUE(RunUntil([&] { return Drawn(flat) && Drawn(face); }));

  struct Case {
    port::Control* button;
    const char* name;
    const int* clicks;
  } cases[] = {{flat, "电影", &flatClicks}, {face, "搜索", &faceClicks}};
  for (const Case& c : cases) {
    GtkWidget* widget = WidgetOf(c.button);
    AtkObject* accessible = gtk_widget_get_accessible(widget);
    EXPECT_EQ(atk_object_get_role(accessible), ATK_ROLE_PUSH_BUTTON) << c.name;
    EXPECT_STREQ(atk_object_get_name(accessible), c.name);
    ASSERT_TRUE(ATK_IS_ACTION(accessible)) << c.name;
    ASSERT_EQ(atk_action_get_n_actions(ATK_ACTION(accessible)), 1) << c.name;
    EXPECT_STREQ(atk_action_get_name(ATK_ACTION(accessible), 0), "click");

    gtk_widget_grab_focus(widget);
    EXPECT_TRUE(gtk_widget_has_focus(widget)) << c.name;
    for (guint key : {GDK_KEY_space, GDK_KEY_Return, GDK_KEY_KP_Enter}) SendKey(window, key, true);
    EXPECT_EQ(*c.clicks, 3) << c.name;
    EXPECT_TRUE(atk_action_do_action(ATK_ACTION(accessible), 0)) << c.name;
    EXPECT_TRUE(RunUntil([&] { return *c.clicks == 4; }, 5)) << c.name;
  }

  AtkObject* flatAccessible = gtk_widget_get_accessible(WidgetOf(flat));
  for (int selected : {1, 0}) {
    flat->SetSelected(selected);
    AtkStateSet* states = atk_object_ref_state_set(flatAccessible);
    EXPECT_EQ(atk_state_set_contains_state(states, ATK_STATE_SELECTED), selected == 1);
    EXPECT_EQ(atk_state_set_contains_state(states, ATK_STATE_CHECKED), selected == 1);
    g_object_unref(states);
  }

  // The ring inverts the face two pixels inside the edge.
  gtk_widget_grab_focus(WidgetOf(face));
  Rgb ring[2];
  for (bool visible : {false, true}) {
    gtk_window_set_focus_visible(GTK_WINDOW(window), visible);
    gtk_widget_queue_draw(WidgetOf(face));
    Pump(100);
    SurfacePtr shot = Grab(WidgetOf(face));
    ASSERT_TRUE(shot);
    ring[visible] = PixelAt(shot.get(), 2, 2);
  }
  EXPECT_EQ(ring[1].r, 255 - ring[0].r);
  EXPECT_EQ(ring[1].g, 255 - ring[0].g);
  EXPECT_EQ(ring[1].b, 255 - ring[0].b);
}

TEST_F(GtkPortTest, FlatButtonTurnsRedUnderThePointerAndBackWhenItLeaves) {
  port::WindowHost& host = OpenWindow();
  port::FlatButton* button = host.AddFlatButton(1001, Gbk("电视剧"));
  button->SetBounds(Rect::FromSize(10, 10, 120, 30));
  GtkWidget* widget = WidgetOf(button);
  ASSERT_TRUE(RunUntil([&] { return Drawn(button); }));
  Pump(200);
  auto redPixels = [&] {
    SurfacePtr shot = Grab(widget);
    return shot ? CountNear(shot.get(), kFlatHoverText, 60) : -1;
  };
  EXPECT_EQ(redPixels(), 0);

  WarpTo(widget, 60, 15);
  EXPECT_TRUE(RunUntil([&] { return redPixels() > 10; }, 5)) << "no red text under the pointer";
  // Straight onto the window background: no more motion reaches the button,
  // only the leave event.
  WarpTo(widget, 60, 200);
  EXPECT_TRUE(RunUntil([&] { return redPixels() == 0; }, 2)) << "still red after the pointer left";
}

TEST_F(GtkPortTest, EscapeIsSwallowedAndEnterPassesThrough) {
  port::WindowHost& host = OpenWindow();
  std::vector<port::Key> seen;
  host.on_key = [&](port::Key key, port::Modifiers) {
    seen.push_back(key);
    return key == port::Key::kEscape;
  };
  GtkWidget* window = dynamic_cast<gtkport::GtkWindowHost&>(host).Window();
  ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_mapped(window); }));
  // Runs after the window's own handling, so only for keys the port let through.
  std::vector<guint> passed;
  g_signal_connect_after(window, "key-press-event", G_CALLBACK(+[](GtkWidget*, GdkEventKey* e, gpointer keys) -> gboolean {
                           static_cast<std::vector<guint>*>(keys)->push_back(e->keyval);
                           return TRUE;
                         }),
                         &passed);

  EXPECT_TRUE(SendKey(window, GDK_KEY_Escape));
  SendKey(window, GDK_KEY_Return);
  SendKey(window, GDK_KEY_KP_Enter);
  EXPECT_EQ(passed, (std::vector<guint>{GDK_KEY_Return, GDK_KEY_KP_Enter}));
  EXPECT_EQ(seen, (std::vector<port::Key>{port::Key::kEscape, port::Key::kEnter, port::Key::kEnter}));
  g_signal_handlers_disconnect_by_data(window, &passed);
}

TEST_F(GtkPortTest, KeysArriveWithTheModifiersHeld) {
  port::WindowHost& host = OpenWindow();
  std::vector<std::pair<port::Key, port::Modifiers>> seen;
  host.on_key = [&](port::Key key, port::Modifiers modifiers) {
    seen.emplace_back(key, modifiers);
    return true;
  };
  GtkWidget* window = dynamic_cast<gtkport::GtkWindowHost&>(host).Window();
  ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_mapped(window); }));
  struct Case {
    guint keyval;
    guint state;
    port::Key key;
    port::Modifiers modifiers;
  } cases[] = {
      {GDK_KEY_Left, GDK_MOD1_MASK, port::Key::kLeft, port::kAlt},
      {GDK_KEY_KP_Right, GDK_MOD1_MASK | GDK_MOD2_MASK, port::Key::kRight, port::kAlt},  // Num Lock on
      {GDK_KEY_F5, 0, port::Key::kF5, port::kNoModifiers},
      {GDK_KEY_w, GDK_CONTROL_MASK, port::Key::kW, port::kControl},
      {GDK_KEY_W, GDK_CONTROL_MASK | GDK_SHIFT_MASK, port::Key::kW, {.control = true, .shift = true}},
      {GDK_KEY_f, GDK_CONTROL_MASK, port::Key::kF, port::kControl},
      {GDK_KEY_l, GDK_CONTROL_MASK, port::Key::kL, port::kControl},
      {GDK_KEY_x, GDK_CONTROL_MASK, port::Key::kOther, port::kControl},
  };
  for (const Case& c : cases) {
    seen.clear();
    EXPECT_TRUE(SendKey(window, c.keyval, false, c.state)) << c.keyval;
    ASSERT_EQ(seen.size(), 1u) << c.keyval;
    EXPECT_EQ(seen[0].first, c.key) << c.keyval;
    EXPECT_EQ(seen[0].second, c.modifiers) << c.keyval;
  }
}

TEST_F(GtkPortTest, EnterInAnEditBoxIsTheBoxsOwn) {
  port::WindowHost& host = OpenWindow();
  std::vector<port::Key> seen;
  host.on_key = [&](port::Key key, port::Modifiers) {
    seen.push_back(key);
    return true;  // as the main window does: Enter elsewhere is swallowed
  };
  port::Edit* edit = host.AddEdit(1024);
  edit->SetBounds(Rect::FromSize(3, 3, 200, 22));
  int entered = 0;
  edit->on_enter = [&] { ++entered; };
  GtkWidget* window = dynamic_cast<gtkport::GtkWindowHost&>(host).Window();
  ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_mapped(window); }));
  edit->Focus();
  SendKey(window, GDK_KEY_Return, true);
  EXPECT_EQ(entered, 1);
  EXPECT_TRUE(seen.empty());
  SendKey(window, GDK_KEY_Escape);
  EXPECT_EQ(seen, std::vector<port::Key>{port::Key::kEscape});
}

TEST_F(GtkPortTest, PostFromAWorkerRunsOnTheUiThreadAndIsDroppedAfterClose) {
  port::WindowHost& host = OpenWindow();
  std::thread::id ranOn;
  bool ran = false;
  std::thread([&] {
    host.Post([&] {
      ranOn = std::this_thread::get_id();
      ran = true;
    });
  }).join();
  ASSERT_TRUE(RunUntil([&] { return ran; }, 5));
  EXPECT_EQ(ranOn, std::this_thread::get_id());

  // Posted while the window lives, but the window closes before the loop
  // gets to the task.
  std::atomic<bool> lateRan{false};
  std::thread([&] { host.Post([&] { lateRan = true; }); }).join();
  host.Close();
  ASSERT_TRUE(RunUntil([&] { return platform_.WindowCount() == 0; }, 5));
  Pump(100);
  EXPECT_FALSE(lateRan);
}

// What a message box showed, and the answer the test gave it.
struct SeenDialog {
  std::string title, text;
  std::vector<std::string> buttons;
  std::string defaultButton;  // what Enter presses
  int answer = GTK_RESPONSE_OK;
  bool answered = false;
};

// The labels of every button inside `widget`, in the order they were added.
void CollectButtonLabels(GtkWidget* widget, std::vector<std::string>& labels) {
  if (GTK_IS_BUTTON(widget)) {
    const char* label = gtk_button_get_label(GTK_BUTTON(widget));
    labels.push_back(label ? label : "");
    return;
  }
  if (!GTK_IS_CONTAINER(widget)) return;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  for (GList* c = children; c; c = c->next) CollectButtonLabels(GTK_WIDGET(c->data), labels);
  g_list_free(children);
}

// Runs `show`, which opens a message box: the box runs its own loop, so a
// timeout answers it from inside that loop, and a second one fails the test
// rather than let it hang.
SeenDialog AnswerDialog(int answer, const std::function<void()>& show) {
  SeenDialog seen;
  seen.answer = answer;
  guint answering = g_timeout_add(
      300,
      +[](gpointer data) -> gboolean {
        auto* s = static_cast<SeenDialog*>(data);
        GList* all = gtk_window_list_toplevels();
        for (GList* l = all; l; l = l->next) {
          if (!GTK_IS_MESSAGE_DIALOG(l->data)) continue;
          s->title = gtk_window_get_title(GTK_WINDOW(l->data));
          gchar* text = nullptr;
          g_object_get(l->data, "text", &text, nullptr);
          s->text = text ? text : "";
          g_free(text);
          CollectButtonLabels(GTK_WIDGET(l->data), s->buttons);
          if (GtkWidget* def = gtk_window_get_default_widget(GTK_WINDOW(l->data)); GTK_IS_BUTTON(def)) {
            s->defaultButton = gtk_button_get_label(GTK_BUTTON(def));
          }
          s->answered = true;
          gtk_dialog_response(GTK_DIALOG(l->data), s->answer);
        }
        g_list_free(all);
        return s->answered ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
      },
      &seen);
  guint guard = g_timeout_add_seconds(
      10, +[](gpointer) -> gboolean {
        std::fprintf(stderr, "message box not answered\n");
        std::abort();
      },
      nullptr);
  show();
  g_source_remove(guard);
  if (!seen.answered) g_source_remove(answering);
  return seen;
}

TEST_F(GtkPortTest, MessageBoxShowsTheTextWithAChineseOkAndReturnsWhenAnswered) {
  port::WindowHost& host = OpenWindow();
  SeenDialog seen = AnswerDialog(GTK_RESPONSE_OK, [&] { platform_.MessageBox(&host, Gbk("删除完成"), Gbk("提示")); });
  EXPECT_TRUE(seen.answered);
  EXPECT_EQ(seen.text, "删除完成");
  EXPECT_EQ(seen.title, "提示");
  // GTK's own button says "_OK" under the C locale the tests run in.
  EXPECT_EQ(seen.buttons, std::vector<std::string>{"确定"});
}

TEST_F(GtkPortTest, QuestionsHaveChineseButtonsTheAffirmativeOneByDefaultAndTellWhichWasChosen) {
  using Ask = bool (gtkport::GtkPlatform::*)(port::WindowHost*, const std::string&, const std::string&);
  const struct {
    Ask ask;
    std::vector<std::string> buttons;
    int response;  // the close box and Escape answer with GTK_RESPONSE_DELETE_EVENT
    bool affirmative;
  } cases[] = {
      {&gtkport::GtkPlatform::AskOkCancel, {"取消", "确定"}, GTK_RESPONSE_OK, true},
      {&gtkport::GtkPlatform::AskOkCancel, {"取消", "确定"}, GTK_RESPONSE_CANCEL, false},
      {&gtkport::GtkPlatform::AskOkCancel, {"取消", "确定"}, GTK_RESPONSE_DELETE_EVENT, false},
      {&gtkport::GtkPlatform::AskYesNo, {"否", "是"}, GTK_RESPONSE_OK, true},
      {&gtkport::GtkPlatform::AskYesNo, {"否", "是"}, GTK_RESPONSE_CANCEL, false},
      {&gtkport::GtkPlatform::AskYesNo, {"否", "是"}, GTK_RESPONSE_DELETE_EVENT, false},
  };
  for (const auto& c : cases) {
    bool answer = !c.affirmative;
    SeenDialog seen =
        AnswerDialog(c.response, [&] { answer = (platform_.*c.ask)(nullptr, Gbk("确定要卸载吗？"), Gbk("卸载")); });
    EXPECT_EQ(answer, c.affirmative) << c.buttons.back() << " " << c.response;
    EXPECT_EQ(seen.text, "确定要卸载吗？");
    EXPECT_EQ(seen.buttons, c.buttons);
    EXPECT_EQ(seen.defaultButton, c.buttons.back());
  }
}

TEST_F(GtkPortTest, WindowsShowTheIconAndTheDialogBackground) {
  port::WindowHost& host = OpenWindow(300, 200);
  GtkWidget* window = dynamic_cast<gtkport::GtkWindowHost&>(host).Window();
  GdkPixbuf* icon = gtk_window_get_icon(GTK_WINDOW(window));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(icon), 128);
  ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_mapped(window); }));
  Pump(200);
  SurfacePtr shot = Grab(window);
  ASSERT_TRUE(shot);
  EXPECT_EQ(PixelAt(shot.get(), 150, 100), kAppBackgroundBrush);
}

// The theme would keep an entry about 34 pixels tall whatever it is given,
// so the control below it would cover its lower part.
TEST_F(GtkPortTest, EditBoxFitsItsTwentyTwoPixels) {
  port::WindowHost& host = OpenWindow(400, 100);
  port::Edit* edit = host.AddEdit(1024);
  edit->SetBounds(Rect::FromSize(3, 3, 300, 22));
  edit->SetText(Gbk("输入视频,演员名称,搜索视频"));
  GtkWidget* entry = WidgetOf(edit);
  int minimum = 0, natural = 0;
  gtk_widget_get_preferred_height(entry, &minimum, &natural);
  EXPECT_LE(minimum, 22);
  ASSERT_TRUE(RunUntil([&] { return Drawn(edit); })) << "allocated " << gtk_widget_get_allocated_height(entry);
  Pump(200);
  GtkWidget* window = dynamic_cast<gtkport::GtkWindowHost&>(host).Window();
  SurfacePtr shot = Grab(window);
  ASSERT_TRUE(shot);
  // The frame's bottom line is the box's last row; the window shows below it.
  Rgb bottom = PixelAt(shot.get(), 150, 3 + 21);
  EXPECT_LT(bottom.r + bottom.g + bottom.b, 3 * 230) << "no bottom border";
  EXPECT_EQ(PixelAt(shot.get(), 150, 3 + 22), kAppBackgroundBrush);
  // The text lies inside the frame, clear of its bottom line.
  int text = 0;
  for (int y = 3 + 2; y < 3 + 20; ++y) {
    for (int x = 10; x < 200; ++x) {
      Rgb p = PixelAt(shot.get(), x, y);
      if (p.r + p.g + p.b < 3 * 100) ++text;
    }
  }
  EXPECT_GT(text, 30);
}

TEST(WindowMenuTextTest, MnemonicsBecomeGtksAndStayUnderlined) {
  struct Case {
    const char* name;
    std::string gbk;
    std::string markup, mnemonic;
  } cases[] = {
      {"about item", Gbk("关于 Tavelo(&A)..."), "关于 Tavelo(<u>_A</u>)...", "关于 Tavelo(_A)..."},
      {"no mnemonic", Gbk("窗口置顶"), "窗口置顶", "窗口置顶"},
      {"doubled ampersand", "a&&b", "a&amp;b", "a&b"},
      {"underscore is literal", "x_y(&Z)", "x__y(<u>_Z</u>)", "x__y(_Z)"},
      {"markup is text", "<b>&C", "&lt;b&gt;<u>_C</u>", "<b>_C"},
      {"chinese mnemonic", Gbk("&中文"), "<u>_中</u>文", "_中文"},
      // 癬 is B0 5F in GBK: its trail byte is no underscore.
      {"gbk trail byte", Gbk("癬&X"), "癬<u>_X</u>", "癬_X"},
      {"ampersand at the end", "a&", "a&amp;", "a&"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(gtkport::MenuLabelMarkup(c.gbk), c.markup);
    EXPECT_EQ(gtkport::MenuMnemonicLabel(c.gbk), c.mnemonic);
  }
}

// The menus open on the window, in the order they were popped up.
std::vector<GtkWidget*> OpenMenus(port::WindowHost& host) {
  std::vector<GtkWidget*> menus;
  GList* all = gtk_menu_get_for_attach_widget(dynamic_cast<gtkport::GtkWindowHost&>(host).Window());
  for (GList* l = all; l; l = l->next) {
    if (gtk_widget_get_visible(GTK_WIDGET(l->data))) menus.push_back(GTK_WIDGET(l->data));
  }
  return menus;
}

std::vector<GtkWidget*> MenuItems(GtkWidget* menu) {
  std::vector<GtkWidget*> items;
  GList* children = gtk_container_get_children(GTK_CONTAINER(menu));
  for (GList* l = children; l; l = l->next) items.push_back(GTK_WIDGET(l->data));
  g_list_free(children);
  return items;
}

bool LayoutHasUnderline(GtkLabel* label) {
  PangoAttrList* attrs = pango_layout_get_attributes(gtk_label_get_layout(label));
  if (attrs == nullptr) return false;
  PangoAttrIterator* it = pango_attr_list_get_iterator(attrs);
  bool found = false;
  do {
    PangoAttribute* a = pango_attr_iterator_get(it, PANGO_ATTR_UNDERLINE);
    if (a && reinterpret_cast<PangoAttrInt*>(a)->value != PANGO_UNDERLINE_NONE) found = true;
  } while (!found && pango_attr_iterator_next(it));
  pango_attr_iterator_destroy(it);
  return found;
}

// Desktop window managers keep Alt+Space; the right button on the window
// outside its browser opens the menu, also through the skinned controls.
TEST_F(GtkPortTest, RightButtonOpensTheWindowMenuWithItsItems) {
  port::WindowHost& host = OpenWindow();
  host.AddSystemMenuItem(16, Gbk("关于 Tavelo(&A)..."));
  port::FlatButton* button = host.AddFlatButton(1014, Gbk("推荐视频"));
  button->SetBounds(Rect::FromSize(3, 30, 120, 28));
  std::vector<int> commands;
  host.on_system_command = [&](int id) { commands.push_back(id); };
  GtkWidget* window = dynamic_cast<gtkport::GtkWindowHost&>(host).Window();
  ASSERT_TRUE(RunUntil([&] { return Drawn(button); }));

  struct Case {
    const char* where;
    GtkWidget* target;
    Point at;
  } cases[] = {{"window background", window, {300, 300}}, {"skinned button", WidgetOf(button), {50, 10}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    SendButtonOf(c.target, 3, c.at.x, c.at.y);
    ASSERT_TRUE(RunUntil([&] { return OpenMenus(host).size() == 1; }, 5));
    std::vector<GtkWidget*> items = MenuItems(OpenMenus(host)[0]);
    // 最小化, 最大化, 关闭, a separator, then the program's item.
    ASSERT_EQ(items.size(), 5u);
    EXPECT_TRUE(GTK_IS_SEPARATOR_MENU_ITEM(items[3]));
    auto* label = GTK_LABEL(gtk_bin_get_child(GTK_BIN(items[4])));
    EXPECT_STREQ(gtk_label_get_text(label), "关于 Tavelo(A)...");
    EXPECT_EQ(gtk_label_get_mnemonic_keyval(label), static_cast<guint>(GDK_KEY_a));
    EXPECT_TRUE(LayoutHasUnderline(label)) << "the mnemonic is not underlined";
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(gtk_bin_get_child(GTK_BIN(items[2])))), "关闭(C)");
    gtk_menu_shell_activate_item(GTK_MENU_SHELL(OpenMenus(host)[0]), items[4], TRUE);
    ASSERT_TRUE(RunUntil([&] { return OpenMenus(host).empty(); }, 5));
  }
  EXPECT_EQ(commands, (std::vector<int>{16, 16}));
}

TEST_F(GtkPortTest, AWindowWithoutItemsHasNoMenu) {
  port::WindowHost& host = OpenWindow();
  GtkWidget* window = dynamic_cast<gtkport::GtkWindowHost&>(host).Window();
  ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_mapped(window); }));
  SendButtonOf(window, 3, 300, 300);
  Pump(200);
  EXPECT_TRUE(OpenMenus(host).empty());
}

// The widget holds the text, in UTF-8; window logic reads back its GBK.
TEST_F(GtkPortTest, ButtonAndStaticTextLivesInTheWidget) {
  port::WindowHost& host = OpenWindow();
  port::Button* button = host.AddButton(1, Gbk("确定"));
  port::Static* label = host.AddStatic(2, Gbk("版本"));
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(WidgetOf(button))), "确定");
  EXPECT_EQ(button->Text(), Gbk("确定"));
  EXPECT_EQ(label->Text(), Gbk("版本"));
  button->SetText(Gbk("取消"));
  label->SetText(Gbk("路径"));
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(WidgetOf(label))), "路径");
  EXPECT_EQ(button->Text(), Gbk("取消"));
  EXPECT_EQ(label->Text(), Gbk("路径"));
}

// A page in a browser view, loaded and ready for scripts. It is loaded as a
// web page would be: HTML the program hands over runs no scripts.
bool LoadPage(gtkport::GtkBrowserView& view, const std::string& html) {
  bool loaded = false;
  view.on_document_complete = [&](const std::string&) { loaded = true; };
  webkit_web_view_load_html(view.WebView(), html.c_str(), "http://127.0.0.1:59998/");
  bool ok = RunUntil([&] { return loaded; });
  view.on_document_complete = nullptr;
  return ok;
}

TEST_F(GtkPortTest, EachNavigationSaysWhetherTheUserAskedForIt) {
  port::WindowHost& host = OpenWindow();
  auto& view = dynamic_cast<gtkport::GtkBrowserView&>(*host.AddBrowser(1011, port::BrowserPolicy::kFull));
  view.SetBounds(Rect::FromSize(0, 0, 400, 300));
  const std::string away = "http://127.0.0.1:59999/";  // nothing listens there
  std::vector<port::NavigationRequest> seen;
  view.on_before_navigate = [&](const port::NavigationRequest& request, bool* cancel) {
    if (request.utf8Address.rfind(away, 0) != 0) return;
    seen.push_back(request);
    *cancel = true;
  };
  struct Case {
    const char* name;
    std::string page, script;
    bool byUser;
  } cases[] = {
      // WebKit counts a script the program runs as the user's own action.
      {"link clicked", "<a id=l href='" + away + "a.htm'>l</a>", "document.getElementById('l').click()", true},
      {"page's own timer", "<script>setTimeout(function(){location.href='" + away + "b.htm'}, 50)</script>", "",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    seen.clear();
    ASSERT_TRUE(LoadPage(view, c.page));
    if (!c.script.empty()) view.RunScript(c.script);
    ASSERT_TRUE(RunUntil([&] { return !seen.empty(); }, 10));
    EXPECT_EQ(seen[0].byUser, c.byUser);
  }
}

TEST_F(GtkPortTest, PopUpTakesARelatedViewThatJoinsItsWindowWhenReady) {
  port::WindowHost& opener = OpenWindow();
  auto& page = dynamic_cast<gtkport::GtkBrowserView&>(*opener.AddBrowser(1011, port::BrowserPolicy::kFull));
  page.SetBounds(Rect::FromSize(0, 0, 400, 300));
  port::WindowHost& target = OpenWindow();
  auto& popup = dynamic_cast<gtkport::GtkBrowserView&>(*target.AddBrowser(1011, port::BrowserPolicy::kFull));
  popup.SetBounds(Rect::FromSize(5, 6, 300, 200));
  // Held, so that a new view cannot take the first one's address.
  gtkport::GRef<WebKitWebView> first(WEBKIT_WEB_VIEW(g_object_ref(popup.WebView())));
  page.on_new_window = [&]() -> port::BrowserView* { return &popup; };
  std::vector<std::string> popupAddresses;
  popup.on_before_navigate = [&](const port::NavigationRequest& request, bool* cancel) {
    popupAddresses.push_back(request.utf8Address);
    *cancel = true;
  };
  ASSERT_TRUE(LoadPage(page, "<p>opener</p>"));

  // The view must not be in its window before WebKit says it is ready.
  struct Seen {
    bool readyToShow = false;
    bool parentedBefore = false;
  } seen;
  guint signal = g_signal_lookup("ready-to-show", WEBKIT_TYPE_WEB_VIEW);
  gulong hook = g_signal_add_emission_hook(
      signal, 0,
      +[](GSignalInvocationHint*, guint, const GValue* params, gpointer data) -> gboolean {
        auto* s = static_cast<Seen*>(data);
        s->readyToShow = true;
        s->parentedBefore = gtk_widget_get_parent(GTK_WIDGET(g_value_get_object(&params[0]))) != nullptr;
        return TRUE;
      },
      &seen, nullptr);
  page.RunScript("window.open('http://127.0.0.1:59999/pop.htm')");
  bool ready = RunUntil([&] { return popup.WebView() != first.get() && popup.Placed(); }, 10);
  g_signal_remove_emission_hook(signal, hook);
  ASSERT_TRUE(ready) << "no ready-to-show";
  EXPECT_TRUE(seen.readyToShow);
  EXPECT_FALSE(seen.parentedBefore);
  GtkWidget* shown = GTK_WIDGET(popup.WebView());
  EXPECT_EQ(gtk_widget_get_parent(shown), dynamic_cast<gtkport::GtkWindowHost&>(target).Fixed());
  // Where and how big the window logic asked for the first view.
  GtkAllocation a{};
  EXPECT_TRUE(RunUntil([&] {
    gtk_widget_get_allocation(shown, &a);
    return gtk_widget_get_mapped(shown) && Rect::FromSize(a.x, a.y, a.width, a.height) == Rect::FromSize(5, 6, 300, 200);
  }, 5));
  // The new view runs the target's settings and reports the pop-up's request.
  EXPECT_EQ(webkit_web_view_get_settings(popup.WebView()), gtkport::SettingsFor(port::BrowserPolicy::kFull));
  ASSERT_TRUE(RunUntil([&] { return !popupAddresses.empty(); }, 10));
  EXPECT_EQ(popupAddresses.back(), "http://127.0.0.1:59999/pop.htm");
}

// The web processes this test program started.
std::vector<pid_t> WebProcesses() {
  std::vector<pid_t> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line) || line.find("(WebKitWebProces") == std::string::npos) continue;
    int parent = 0;
    if (std::sscanf(line.c_str() + line.rfind(')') + 1, " %*c %d", &parent) == 1 && parent == getpid()) {
      found.push_back(std::stoi(entry.path().filename()));
    }
  }
  return found;
}

// Player views run in one web process; when it ends, each view says so and
// offers its page again instead of staying blank.
TEST_F(GtkPortTest, PlayerViewsShareTheirProcessAndEachReportsItsEnd) {
  // The views of earlier tests may still be ending.
  RunUntil([] { return WebProcesses().empty(); }, 5);
  const std::vector<pid_t> before = WebProcesses();
  std::vector<std::string> ended;
  for (int i = 0; i < 2; ++i) {
    auto& view = dynamic_cast<gtkport::GtkBrowserView&>(*OpenWindow().AddBrowser(1011, port::BrowserPolicy::kPlayer));
    view.on_load_failed = [&ended](const std::string& address, port::LoadFailure failure) {
      if (failure == port::LoadFailure::kPageEnded) ended.push_back(address);
    };
    ASSERT_TRUE(LoadPage(view, "<p>player</p>"));
  }
  std::vector<pid_t> processes;
  for (pid_t process : WebProcesses()) {
    if (std::find(before.begin(), before.end(), process) == before.end()) processes.push_back(process);
  }
  ASSERT_EQ(processes.size(), 1u);
  kill(processes[0], SIGKILL);
  ASSERT_TRUE(RunUntil([&] { return ended.size() == 2; }, 10));
  EXPECT_EQ(ended, (std::vector<std::string>{"http://127.0.0.1:59998/", "http://127.0.0.1:59998/"}));
}

// A window that is all browser (the separate play window) offers its items
// at the end of the page's context menu.
TEST_F(GtkPortTest, PageContextMenuEndsWithTheWindowsItems) {
  port::WindowHost& host = OpenWindow();
  host.AddSystemMenuItem(1124, Gbk("窗口置顶"));
  host.AddSystemMenuItem(1125, Gbk("取消窗口置顶"));
  std::vector<int> commands;
  host.on_system_command = [&](int id) { commands.push_back(id); };
  auto& view = dynamic_cast<gtkport::GtkBrowserView&>(*host.AddBrowser(1011, port::BrowserPolicy::kFull));
  view.SetBounds(Rect::FromSize(0, 0, 400, 300));
  ASSERT_TRUE(LoadPage(view, "<p>player</p>"));
  ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(view.WebView())); }));
  // Looks at the menu after the window's handler, and keeps it from showing.
  struct Seen {
    std::vector<WebKitContextMenuItem*> items;
    bool shown = false;
  } seen;
  g_signal_connect(view.WebView(), "context-menu",
                   G_CALLBACK(+[](WebKitWebView*, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult*,
                                  gpointer data) -> gboolean {
                     auto* s = static_cast<Seen*>(data);
                     s->shown = true;
                     for (GList* l = webkit_context_menu_get_items(menu); l; l = l->next) {
                       s->items.push_back(WEBKIT_CONTEXT_MENU_ITEM(g_object_ref(l->data)));
                     }
                     return TRUE;
                   }),
                   &seen);
  SendButtonOf(GTK_WIDGET(view.WebView()), 3, 100, 100);
  ASSERT_TRUE(RunUntil([&] { return seen.shown; }, 10)) << "no context menu";
  g_signal_handlers_disconnect_by_data(view.WebView(), &seen);
  ASSERT_GE(seen.items.size(), 3u);
  size_t n = seen.items.size();
  EXPECT_TRUE(webkit_context_menu_item_is_separator(seen.items[n - 3]));
  for (size_t i : {n - 2, n - 1}) {
    GAction* action = webkit_context_menu_item_get_gaction(seen.items[i]);
    ASSERT_NE(action, nullptr);
    g_action_activate(action, nullptr);
  }
  EXPECT_EQ(commands, (std::vector<int>{1124, 1125}));
  for (WebKitContextMenuItem* item : seen.items) g_object_unref(item);
}

// Catalogue rows as the main window fills them: picture label, info text,
// and the two link columns.
void FillCatalogue(port::ListView& list, int rows) {
  list.SetSkin({4, SkinListCtrl::kCatalogueRows});
  list.SetColumns({{Gbk("分类"), 50}, {Gbk("视频名称"), 330}, {Gbk("播放视频"), 80}, {Gbk("收藏视频"), 80}});
  list.SetRowHeight(56);
  for (int i = 0; i < rows; ++i) {
    list.InsertRow(i, Gbk(i == 1 ? "种子" : "高清"));
    list.SetCell(i, 1, Gbk("英雄传奇 第" + std::to_string(i + 1) + "集\n\n2009\n美国\n动作/科幻\n周星星/刘德德"));
    list.SetCell(i, 2, Gbk("播放视频"));
    list.SetCell(i, 3, Gbk("收藏视频"));
  }
}

// The list's parts: a frame around a column of the header and a scrolled
// window, which puts the rows' drawing area in a viewport.
GtkWidget* ListPart(port::ListView* list, int index) {
  GtkWidget* column = gtk_bin_get_child(GTK_BIN(WidgetOf(list)));
  GList* children = gtk_container_get_children(GTK_CONTAINER(column));
  auto* part = GTK_WIDGET(g_list_nth_data(children, static_cast<guint>(index)));
  g_list_free(children);
  return part;
}
GtkWidget* ListHeader(port::ListView* list) { return ListPart(list, 0); }
GtkWidget* ListRows(port::ListView* list) { return gtk_bin_get_child(GTK_BIN(gtk_bin_get_child(GTK_BIN(ListPart(list, 1))))); }

// Hit tests and the selection rule are the model's (tests/skin); here the
// presses reach it in the list's client coordinates, scrolled or not.
TEST_F(GtkPortTest, ListPressesReachTheModelAsClicksAndDoubleClicks) {
  port::WindowHost& host = OpenWindow();
  port::ListView* list = host.AddList(1021);
  list->SetBounds(Rect::FromSize(0, 0, 560, 300));
  FillCatalogue(*list, 40);
  std::vector<port::ListHit> clicks, doubles;
  list->on_click = [&](port::ListHit h) { clicks.push_back(h); };
  list->on_double_click = [&](port::ListHit h) { doubles.push_back(h); };
  ASSERT_TRUE(RunUntil([&] { return Drawn(list); }));
  GtkWidget* area = ListRows(list);
  ASSERT_TRUE(GTK_IS_DRAWING_AREA(area));

  // Row 1 (56..111), column 2 ("play", x 380..459). GDK reports the second
  // press of a double-click as a double press: no second click.
  SendButton(area, GDK_BUTTON_PRESS, 400, 70);
  SendButton(area, GDK_2BUTTON_PRESS, 400, 70);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].row, 1);
  EXPECT_EQ(clicks[0].column, 2);
  ASSERT_EQ(doubles.size(), 1u);
  EXPECT_EQ(doubles[0].row, 1);
  EXPECT_EQ(doubles[0].column, 2);
  EXPECT_EQ(list->FirstSelectedRow(), 1);

  // Scrolled down: the area's own coordinates are the content's, so a press
  // on row 30 is a press on row 30 whatever the scroll.
  list->EnsureVisible(30);
  Pump(100);
  SendButton(area, GDK_BUTTON_PRESS, 470, 30 * 56 + 10);
  EXPECT_EQ(clicks.back().row, 30);
  EXPECT_EQ(clicks.back().column, 3);
  EXPECT_EQ(list->FirstSelectedRow(), 30);
  EXPECT_EQ(list->HitTest({470, 290}).row, 30);
}

TEST_F(GtkPortTest, EnsureVisibleScrollsTheListToTheRow) {
  port::WindowHost& host = OpenWindow();
  port::ListView* list = host.AddList(1021);
  list->SetBounds(Rect::FromSize(0, 0, 560, 300));
  FillCatalogue(*list, 40);
  list->SelectRow(30, true);
  ASSERT_TRUE(RunUntil([&] { return Drawn(list); }));
  Pump(100);
  EXPECT_EQ(list->HitTest({10, 30}).row, 0);

  list->EnsureVisible(30);
  Pump(300);
  // Row 30 spans 1680..1735: it now ends inside the rows' part of the
  // 300-pixel view.
  port::ListHit top = list->HitTest({10, 30});
  EXPECT_GT(top.row, 20);
  EXPECT_LE(top.row, 30);
  EXPECT_EQ(list->HitTest({10, 290}).row, 30);
  // And it is drawn there: the selected fill near the bottom of the view,
  // a row of the even or odd fill above it.
  SurfacePtr shot = Grab(WidgetOf(list));
  ASSERT_TRUE(shot);
  EXPECT_EQ(PixelAt(shot.get(), 530, 280), kCatalogueSelectedFill);
  Rgb above = PixelAt(shot.get(), 530, 280 - 56);
  EXPECT_TRUE(above == kCatalogueEvenFill || above == kCatalogueOddFill);
  list->EnsureVisible(2);
  Pump(100);
  EXPECT_EQ(list->HitTest({10, 30}).row, 2);
}

// The header is the painter's (tests/skin); here it stays on top while the
// rows scroll down and moves with them sideways.
TEST_F(GtkPortTest, ListHeaderStaysOnTopAndScrollsSideways) {
  port::WindowHost& host = OpenWindow();
  port::ListView* list = host.AddList(1021);
  list->SetBounds(Rect::FromSize(0, 0, 400, 300));
  FillCatalogue(*list, 40);
  ASSERT_TRUE(RunUntil([&] { return Drawn(list); }));
  Pump(100);
  GtkWidget* header = ListHeader(list);
  ASSERT_EQ(gtk_widget_get_allocated_height(header), SkinListCtrl::kHeaderHeight);
  auto headerShot = [&] {
    Pump(200);
    SurfacePtr shot = Grab(header);
    EXPECT_TRUE(shot);
    return shot;
  };
  SurfacePtr before = headerShot();
  EXPECT_EQ(PixelAt(before.get(), 50, 10), kHeaderHighlight) << "second button's left edge";
  EXPECT_GT(CountNear(before.get(), kHeaderText, 80), 20) << "no titles";

  list->EnsureVisible(30);
  SurfacePtr down = headerShot();
  EXPECT_EQ(CountNear(down.get(), kHeaderText, 80), CountNear(before.get(), kHeaderText, 80));
  EXPECT_EQ(PixelAt(down.get(), 50, 10), kHeaderHighlight);

  GtkAdjustment* sideways = gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(ListPart(list, 1)));
  gtk_adjustment_set_value(sideways, 40);
  SurfacePtr across = headerShot();
  EXPECT_EQ(PixelAt(across.get(), 10, 10), kHeaderHighlight) << "second button at 50 - 40";
  EXPECT_EQ(list->HitTest({10, 30}).column, 1);
}

TEST_F(GtkPortTest, ScreenshotOfSkinnedControls) {
  port::WindowHost& host = OpenWindow(640, 420);
  host.SetCaption(Gbk("视频播放器"));
  const char* names[] = {"推荐", "电影", "电视剧", "动漫"};
  std::vector<port::FlatButton*> buttons;
  for (int i = 0; i < 4; ++i) {
    port::FlatButton* b = host.AddFlatButton(1001 + i, Gbk(names[i]));
    b->SetBounds(Rect::FromSize(5, 5 + i * 32, 70, 28));
    buttons.push_back(b);
  }
  buttons[1]->SetSelected(1);
  port::Edit* edit = host.AddEdit(1024);
  edit->SetBounds(Rect::FromSize(85, 5, 480, 24));
  edit->SetText(Gbk("输入搜索关键字"));
  port::FaceButton* search = host.AddFaceButton(1025, Gbk("搜索"));
  search->SetBounds(Rect::FromSize(575, 6, 60, 22));
  port::ListView* list = host.AddList(1021);
  list->SetBounds(Rect::FromSize(85, 35, 550, 330));
  FillCatalogue(*list, 8);
  list->SelectRow(2, true);
  port::InfoPanel* panel = host.AddInfoPanel(1026);
  panel->SetBounds(Rect::FromSize(85, 370, 550, 44));
  panel->ShowRecordInfo(Gbk("英雄传奇\n\n2009\n美国/香港\n动作\n周星星/刘德德"));
  ASSERT_TRUE(RunUntil([&] { return Drawn(panel) && Drawn(list); }));
  Pump(500);

  GtkWidget* window = dynamic_cast<gtkport::GtkWindowHost&>(host).Window();
  SurfacePtr shot = Grab(window);
  ASSERT_TRUE(shot);
  cairo_surface_write_to_png(shot.get(), "gtk_skinned_window.png");

  EXPECT_EQ(PixelAt(shot.get(), 8, 40), kFlatSelectedFill) << "selected flat button";
  EXPECT_EQ(PixelAt(shot.get(), 8, 8), kFlatFill) << "plain flat button";
  EXPECT_GT(CountNear(shot.get(), kFlatSelectedText, 30), 0);
  // The list's frame is a pixel or two; sample well inside the rows.
  EXPECT_EQ(PixelAt(shot.get(), 85 + 200, 35 + 4 + 56 * 2 + 50), kCatalogueSelectedFill) << "selected row";
  EXPECT_EQ(PixelAt(shot.get(), 85 + 200, 35 + 4 + 56 * 3 + 50), kCatalogueOddFill) << "odd row";
  EXPECT_EQ(PixelAt(shot.get(), 85 + 200, 35 + 4 + 56 * 4 + 50), kCatalogueEvenFill) << "even row";
  EXPECT_EQ(PixelAt(shot.get(), 85 + 545, 370 + 40), kAppBackgroundBrush) << "info panel background";
  EXPECT_GT(CountNear(shot.get(), kCatalogueTitle, 40), 100) << "no title text in the list";

  // The panel's words are where its layout says: the label at the left, a gap after it.
  EXPECT_EQ(panel->WordAt({4, 7}), Gbk("视频:"));
  EXPECT_EQ(panel->WordAt({4, 25}), Gbk("地区:"));
}

// The program's text is GBK; other programs paste UTF-8 from the clipboard.
TEST_F(GtkPortTest, ClipboardTextCrossesTheDesktopAsUtf8) {
  platform_.SetClipboardText("http://v.test/" + Gbk("第1集") + ".html");
  gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), "http://v.test/第1集.html");
  g_free(text);
  EXPECT_EQ(platform_.ClipboardText(), "http://v.test/" + Gbk("第1集") + ".html");
}

}  // namespace
}  // namespace tavelo
