#include "port/gtk/gtk_port.h"

#include <algorithm>
#include <utility>

#include "base/program_paths.h"
#include "port/gtk/gtk_control.h"
#include "port/gtk/gtk_file_watch.h"
#include "port/gtk/gtk_look.h"
#include "port/gtk/gtk_skin_button.h"
#include "port/gtk/gtk_skin_item_area.h"
#include "port/process.h"
#include "text/encoding.h"
#include "text/written_page.h"

namespace tavelo::gtkport {

namespace {

// A label's text in GBK: the widget holds the one copy, in UTF-8.
std::string LabelText(const char* utf8) { return utf8 ? Utf8ToGbk(utf8) : ""; }

class GtkButtonControl : public GtkControl<port::Button> {
 public:
  GtkButtonControl(GtkWindowHost& host, const std::string& text)
      : GtkControl(host, gtk_button_new_with_label(GbkToUtf8(text).c_str())) {
    g_signal_connect(widget_, "clicked", G_CALLBACK(+[](GtkButton*, gpointer self) {
                       auto* b = static_cast<GtkButtonControl*>(self);
                       if (b->on_click) b->on_click();
                     }),
                     this);
  }
  void SetText(const std::string& t) override { gtk_button_set_label(GTK_BUTTON(widget_), GbkToUtf8(t).c_str()); }
  std::string Text() const override { return LabelText(gtk_button_get_label(GTK_BUTTON(widget_))); }
};

class GtkStaticControl : public GtkControl<port::Static> {
 public:
  GtkStaticControl(GtkWindowHost& host, const std::string& text)
      : GtkControl(host, gtk_label_new(GbkToUtf8(text).c_str())) {
    gtk_label_set_xalign(GTK_LABEL(widget_), 0);
    gtk_label_set_yalign(GTK_LABEL(widget_), 0);
    // A text wider than the static (a long program path) wraps inside it.
    gtk_label_set_line_wrap(GTK_LABEL(widget_), TRUE);
    gtk_label_set_line_wrap_mode(GTK_LABEL(widget_), PANGO_WRAP_WORD_CHAR);
  }
  void SetText(const std::string& t) override { gtk_label_set_text(GTK_LABEL(widget_), GbkToUtf8(t).c_str()); }
  std::string Text() const override { return LabelText(gtk_label_get_text(GTK_LABEL(widget_))); }
};

class GtkEditControl : public GtkControl<port::Edit> {
 public:
  explicit GtkEditControl(GtkWindowHost& host) : GtkControl(host, NewEditBox()) {
    g_signal_connect(widget_, "changed", G_CALLBACK(+[](GtkEditable*, gpointer self) {
                       auto* e = static_cast<GtkEditControl*>(self);
                       if (e->on_change) e->on_change();
                     }),
                     this);
    g_signal_connect(widget_, "activate", G_CALLBACK(+[](GtkEntry*, gpointer self) {
                       auto* e = static_cast<GtkEditControl*>(self);
                       if (e->on_enter) e->on_enter();
                     }),
                     this);
  }
  void SetText(const std::string& t) override { gtk_entry_set_text(GTK_ENTRY(widget_), GbkToUtf8(t).c_str()); }
  std::string Text() const override { return Utf8ToGbk(gtk_entry_get_text(GTK_ENTRY(widget_))); }
  void Focus() override { gtk_widget_grab_focus(widget_); }
  void SelectAll() override { gtk_editable_select_region(GTK_EDITABLE(widget_), 0, -1); }
  void SetAccessibleName(const std::string& name) override {
    atk_object_set_name(gtk_widget_get_accessible(widget_), GbkToUtf8(name).c_str());
  }
};

class GtkProgressControl : public GtkControl<port::ProgressBar> {
 public:
  explicit GtkProgressControl(GtkWindowHost& host) : GtkControl(host, gtk_progress_bar_new()) {}
  void SetRange(int low, int high) override {
    low_ = low;
    high_ = high;
    Update();
  }
  void SetPosition(int p) override {
    position_ = p;
    Update();
  }
  int Position() const override { return position_; }

 private:
  void Update() {
    double span = high_ > low_ ? high_ - low_ : 1;
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(widget_), std::clamp((position_ - low_) / span, 0.0, 1.0));
  }
  int low_ = 0, high_ = 100, position_ = 0;
};

struct PostedTask {
  std::shared_ptr<bool> alive;
  std::function<void()> task;
};

struct TimerTick {
  GtkWindowHost* host;
  int id;
};

}  // namespace

WebKitSettings* SettingsFor(port::BrowserPolicy policy) {
  static WebKitSettings* full = [] {
    WebKitSettings* s = webkit_settings_new();
    // Pages of the portal's sites are GBK, often without a charset of their own.
    webkit_settings_set_default_charset(s, "GBK");
    // Pop-ups open new web windows, as the pages expect.
    webkit_settings_set_javascript_can_open_windows_automatically(s, TRUE);
    return s;
  }();
  static WebKitSettings* writtenPage = [] {
    WebKitSettings* s = webkit_settings_new();
    webkit_settings_set_default_charset(s, "GBK");
    // The program's pages carry outside content: none of its scripts run
    // (the program's own reading of the document still does).
    webkit_settings_set_enable_javascript_markup(s, FALSE);
    return s;
  }();
  static WebKitSettings* fetchOnly = [] {
    WebKitSettings* s = webkit_settings_new();
    webkit_settings_set_default_charset(s, "GBK");
    webkit_settings_set_auto_load_images(s, FALSE);
    // No videos or background sounds either: the view is never seen or heard.
    webkit_settings_set_enable_media(s, FALSE);
    webkit_settings_set_enable_webaudio(s, FALSE);
    // Page scripts off; our own reading of the document still runs.
    webkit_settings_set_enable_javascript_markup(s, FALSE);
    return s;
  }();
  switch (policy) {
    case port::BrowserPolicy::kFetchOnly:
      return fetchOnly;
    case port::BrowserPolicy::kWrittenPage:
      return writtenPage;
    case port::BrowserPolicy::kFull:
    case port::BrowserPolicy::kPlayer:
      break;
  }
  return full;
}

// ---- browser view ----

namespace {

// One context for every view of the process, keeping cookies, storage and
// cache in the program's own folders rather than ones named after the binary.
WebKitWebContext* WebContext() {
  static WebKitWebContext* context = [] {
    GRef<WebKitWebsiteDataManager> data(WEBKIT_WEBSITE_DATA_MANAGER(
        g_object_new(WEBKIT_TYPE_WEBSITE_DATA_MANAGER, "base-data-directory", BrowserDataFolder().c_str(),
                     "base-cache-directory", BrowserCacheFolder().c_str(), nullptr)));
    return webkit_web_context_new_with_website_data_manager(data.get());
  }();
  return context;
}

// A view with the settings of `policy`, sharing its web process (and so its
// context) with `related` when that is given. The player pages start their
// clip themselves: the user asked for it by clicking an episode, yet the
// page arrives later, from a timer, and WebKit would otherwise hold back
// media that has sound.
WebKitWebView* NewView(port::BrowserPolicy policy, WebKitWebView* related) {
  // A player view still open, whose process new player views join.
  static WebKitWebView* player = nullptr;
  if (related == nullptr && policy == port::BrowserPolicy::kPlayer) related = player;
  GRef<WebKitWebsitePolicies> policies(
      webkit_website_policies_new_with_policies("autoplay", WEBKIT_AUTOPLAY_ALLOW, nullptr));
  WebKitWebView* view =
      related ? WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", SettingsFor(policy), "related-view",
                                             related, "website-policies", policies.get(), nullptr))
              : WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", SettingsFor(policy), "web-context",
                                             WebContext(), "website-policies", policies.get(), nullptr));
  if (policy == port::BrowserPolicy::kPlayer && player == nullptr) {
    player = view;
    g_object_add_weak_pointer(G_OBJECT(view), reinterpret_cast<gpointer*>(&player));
  }
  return view;
}

}  // namespace

GtkBrowserView::GtkBrowserView(GtkWindowHost& host, port::BrowserPolicy policy) : host_(host), policy_(policy) {
  Attach(NewView(policy, nullptr));
  Place();
}

GtkBrowserView::~GtkBrowserView() { Detach(); }

void GtkBrowserView::Attach(WebKitWebView* view) {
  view_.reset(WEBKIT_WEB_VIEW(g_object_ref_sink(view)));
  g_signal_connect(view, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  g_signal_connect(view, "create", G_CALLBACK(OnCreate), this);
  g_signal_connect(view, "ready-to-show", G_CALLBACK(OnReadyToShow), this);
  g_signal_connect(view, "load-changed", G_CALLBACK(OnLoadChanged), this);
  g_signal_connect(view, "mouse-target-changed", G_CALLBACK(OnMouseTarget), this);
  g_signal_connect(view, "load-failed", G_CALLBACK(OnLoadFailed), this);
  g_signal_connect(view, "web-process-terminated", G_CALLBACK(OnProcessEnded), this);
  g_signal_connect(view, "context-menu", G_CALLBACK(OnContextMenu), this);
  g_signal_connect(view, "button-press-event", G_CALLBACK(OnUserInput), this);
  g_signal_connect(view, "key-press-event", G_CALLBACK(OnUserInput), this);
}

void GtkBrowserView::Place() {
  if (placed_ || host_.Destroyed()) return;
  GtkWidget* w = GTK_WIDGET(view_.get());
  gtk_fixed_put(GTK_FIXED(host_.Fixed()), w, bounds_.left, bounds_.top);
  gtk_widget_set_size_request(w, std::max(bounds_.Width(), 1), std::max(bounds_.Height(), 1));
  gtk_widget_set_sensitive(w, enabled_);
  gtk_widget_set_visible(w, visible_);
  placed_ = true;
}

void GtkBrowserView::Detach() {
  if (!view_.get()) return;
  g_signal_handlers_disconnect_by_data(view_.get(), this);
  GtkWidget* w = GTK_WIDGET(view_.get());
  if (GtkWidget* parent = gtk_widget_get_parent(w)) gtk_container_remove(GTK_CONTAINER(parent), w);
  view_.reset();
  placed_ = false;
}

WebKitWebView* GtkBrowserView::AdoptRelatedView(WebKitWebView* requester, const GtkBrowserView& opener) {
  Detach();
  openerAddress_ = opener.NavigatingPage();
  lastGesture_ = opener.lastGesture_;
  // The settings of this view's policy, as the window logic asked for it.
  Attach(NewView(policy_, requester));
  return view_.get();
}

void GtkBrowserView::SetBounds(Rect bounds) {
  bounds_ = bounds;
  if (placed_) PlaceWidget(host_, GTK_WIDGET(view_.get()), bounds);
}

void GtkBrowserView::SetVisible(bool visible) {
  visible_ = visible;
  if (placed_) gtk_widget_set_visible(GTK_WIDGET(view_.get()), visible);
}

void GtkBrowserView::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (placed_) gtk_widget_set_sensitive(GTK_WIDGET(view_.get()), enabled);
}

Point GtkBrowserView::CursorPos() const { return PointerIn(GTK_WIDGET(view_.get())); }

void GtkBrowserView::Navigate(const std::string& utf8Address) {
  static constexpr std::string_view kAbout = "about:";
  nextLoadWritten_ = utf8Address.rfind(kAbout, 0) == 0;
  if (utf8Address.rfind(kAbout, 0) == 0 && utf8Address != "about:blank") {
    const std::string page = std::string(kWrittenPagePolicy) + (utf8Address.c_str() + kAbout.size());
    webkit_web_view_load_html(view_.get(), page.c_str(), nullptr);
  } else {
    webkit_web_view_load_uri(view_.get(), utf8Address.c_str());
  }
}

void GtkBrowserView::Prepare(const std::string& utf8Address) {
  // A blank page of the program's own starts the web process; the name
  // lookup starts the network process.
  if (webkit_web_view_get_uri(view_.get()) == nullptr) Navigate("about:blank");
  GUri* uri = g_uri_parse(utf8Address.c_str(), G_URI_FLAGS_NONE, nullptr);
  if (uri == nullptr) return;
  if (const char* host = g_uri_get_host(uri); host != nullptr && *host != '\0') {
    webkit_web_context_prefetch_dns(webkit_web_view_get_context(view_.get()), host);
  }
  g_uri_unref(uri);
}

void GtkBrowserView::GoBack() { webkit_web_view_go_back(view_.get()); }

void GtkBrowserView::GoForward() { webkit_web_view_go_forward(view_.get()); }

void GtkBrowserView::Reload() { webkit_web_view_reload(view_.get()); }

void GtkBrowserView::RunScript(const std::string& script) {
  webkit_web_view_evaluate_javascript(view_.get(), script.c_str(), -1, nullptr, nullptr, nullptr, nullptr, nullptr);
}

void GtkBrowserView::RequestBodyHtml(std::function<void(std::string)> done) {
  EvaluateScript("document.body ? document.body.outerHTML : ''",
                 [done = std::move(done)](port::ScriptValue value) {
                   done(value.kind == port::ScriptValue::Kind::kString ? std::move(value.text) : std::string());
                 });
}

void GtkBrowserView::EvaluateScript(const std::string& utf8Script, std::function<void(port::ScriptValue)> done) {
  // The answer may come after this view is gone: it carries its own
  // callback, which then stays silent.
  auto* pending = new std::function<void(port::ScriptValue)>(
      [alive = host_.AliveFlag(), done = std::move(done)](port::ScriptValue value) {
        if (*alive) done(std::move(value));
      });
  webkit_web_view_evaluate_javascript(
      view_.get(), utf8Script.c_str(), -1, nullptr, nullptr, nullptr,
      +[](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<std::function<void(port::ScriptValue)>> callback(
            static_cast<std::function<void(port::ScriptValue)>*>(data));
        port::ScriptValue answer;
        GError* error = nullptr;
        if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error)) {
          if (jsc_value_is_string(value)) {
            char* text = jsc_value_to_string(value);
            answer = {port::ScriptValue::Kind::kString, text, 0};
            g_free(text);
          } else if (jsc_value_is_number(value)) {
            answer = {port::ScriptValue::Kind::kNumber, "", jsc_value_to_double(value)};
          }
          g_object_unref(value);
        }
        if (error) g_error_free(error);
        (*callback)(std::move(answer));
      },
      pending);
}

gboolean GtkBrowserView::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                        gpointer self) {
  auto* me = static_cast<GtkBrowserView*>(self);
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return FALSE;
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  bool cancel = false;
  port::NavigationRequest request{uri ? uri : "", webkit_navigation_action_is_user_gesture(action) != FALSE,
                                  me->NavigatingPage(), me->lastGesture_};
  if (me->on_before_navigate) me->on_before_navigate(request, &cancel);
  if (cancel) {
    webkit_policy_decision_ignore(decision);
    return TRUE;
  }
  return FALSE;
}

GtkWidget* GtkBrowserView::OnCreate(WebKitWebView* view, WebKitNavigationAction*, gpointer self) {
  auto* me = static_cast<GtkBrowserView*>(self);
  if (!me->on_new_window) return nullptr;
  auto* target = dynamic_cast<GtkBrowserView*>(me->on_new_window());
  if (target == nullptr) return nullptr;
  return GTK_WIDGET(target->AdoptRelatedView(view, *me));
}

gboolean GtkBrowserView::OnUserInput(GtkWidget*, GdkEvent*, gpointer self) {
  // One count for the whole process, so that no two presses in any views
  // share a number.
  static unsigned long long presses = 0;
  static_cast<GtkBrowserView*>(self)->lastGesture_ = ++presses;
  return FALSE;
}

std::string GtkBrowserView::NavigatingPage() const {
  if (showsWritten_) return "";
  // Until a page arrives, the navigation is the program's own, or for a
  // pop-up its opener's.
  if (!committedAny_) return openerAddress_;
  // A blank page here is one a script wrote into: it has no host to trust.
  const char* uri = webkit_web_view_get_uri(view_.get());
  return uri ? uri : "about:blank";
}

void GtkBrowserView::OnReadyToShow(WebKitWebView*, gpointer self) { static_cast<GtkBrowserView*>(self)->Place(); }

void GtkBrowserView::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self) {
  auto* me = static_cast<GtkBrowserView*>(self);
  if (event == WEBKIT_LOAD_COMMITTED) {
    me->committedAny_ = true;
    me->showsWritten_ = std::exchange(me->nextLoadWritten_, false);
  }
  if (event != WEBKIT_LOAD_FINISHED || !me->on_document_complete) return;
  const char* uri = webkit_web_view_get_uri(view);
  me->on_document_complete(uri ? uri : "");
}

void GtkBrowserView::OnMouseTarget(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer self) {
  auto* me = static_cast<GtkBrowserView*>(self);
  const char* link = webkit_hit_test_result_context_is_link(hit) ? webkit_hit_test_result_get_link_uri(hit) : nullptr;
  std::string status = link ? link : "";
  if (status == me->lastStatus_) return;
  me->lastStatus_ = status;
  if (me->on_status_text) me->on_status_text(status);
}

gboolean GtkBrowserView::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer self) {
  auto* me = static_cast<GtkBrowserView*>(self);
  std::optional<port::LoadFailure> failure = LoadFailureOf(error);
  if (!failure || !me->on_load_failed) return FALSE;
  me->on_load_failed(uri ? uri : "", *failure);
  // The program shows its own page; WebKit's English one would replace it.
  return TRUE;
}

void GtkBrowserView::OnProcessEnded(WebKitWebView* view, WebKitWebProcessTerminationReason reason, gpointer self) {
  auto* me = static_cast<GtkBrowserView*>(self);
  // A crash leaves the view blank, and player views share their process: each
  // says so and offers its page again. A page the program wrote has nothing
  // to offer again.
  if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API || !me->on_load_failed || me->showsWritten_) return;
  const char* uri = webkit_web_view_get_uri(view);
  if (uri != nullptr) me->on_load_failed(uri, port::LoadFailure::kPageEnded);
}

std::optional<port::LoadFailure> LoadFailureOf(const GError* error) {
  if (error == nullptr) return port::LoadFailure::kOther;
  if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
      g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED) ||
      g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) ||
      g_error_matches(error, WEBKIT_PLUGIN_ERROR, WEBKIT_PLUGIN_ERROR_WILL_HANDLE_LOAD)) {
    return std::nullopt;
  }
  if (error->domain == G_RESOLVER_ERROR) return port::LoadFailure::kHostNotFound;
  if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED)) return port::LoadFailure::kConnectionRefused;
  if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT)) return port::LoadFailure::kTimedOut;
  if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST) ||
      g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_FOUND)) {
    return port::LoadFailure::kFileNotFound;
  }
  return port::LoadFailure::kOther;
}

gboolean GtkBrowserView::OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult*,
                                       gpointer self) {
  static_cast<GtkBrowserView*>(self)->host_.AppendWindowMenu(menu);
  return FALSE;
}

// ---- window host ----

GtkWindowHost::GtkWindowHost(GtkPlatform& platform, const port::WindowOptions& options) : platform_(platform) {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_resizable(GTK_WINDOW(window_), options.resizable);
  gtk_window_set_skip_taskbar_hint(GTK_WINDOW(window_), !options.taskbarButton);
  // A modal box (About) keeps the other windows from input while it is open.
  gtk_window_set_modal(GTK_WINDOW(window_), options.modal);
  if (auto* owner = dynamic_cast<GtkWindowHost*>(options.owner)) {
    gtk_window_set_transient_for(GTK_WINDOW(window_), GTK_WINDOW(owner->Window()));
    // A dialog's frame, and the frame functions said outright, since some
    // window managers still offer minimise and maximise boxes on a dialog
    // (openbox keeps its buttons whatever a window asks).
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
    g_signal_connect(window_, "realize", G_CALLBACK(+[](GtkWidget* w, gpointer) {
                       gdk_window_set_functions(gtk_widget_get_window(w),
                                                GdkWMFunction(GDK_FUNC_MOVE | GDK_FUNC_RESIZE | GDK_FUNC_CLOSE));
                     }),
                     nullptr);
  }
  ApplyWindowLook(GTK_WINDOW(window_));
  fixed_ = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(window_), fixed_);
  gtk_widget_show(fixed_);
  g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
  g_signal_connect(window_, "destroy", G_CALLBACK(OnDestroy), this);
  g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKey), this);
  // Presses the controls leave (the right button on the background, on a
  // skinned button or on the list) reach the window: its menu.
  gtk_widget_add_events(window_, GDK_BUTTON_PRESS_MASK);
  g_signal_connect(window_, "button-press-event", G_CALLBACK(OnButtonPress), this);
  gtk_widget_add_events(window_, GDK_PROPERTY_CHANGE_MASK);
  g_signal_connect(window_, "property-notify-event", G_CALLBACK(OnProperty), this);
  g_signal_connect(window_, "map-event", G_CALLBACK(OnMap), this);
  g_signal_connect(fixed_, "size-allocate", G_CALLBACK(OnAllocate), this);
}

GtkWindowHost::~GtkWindowHost() {
  *alive_ = false;
  for (auto& [id, source] : timers_) g_source_remove(source);
  controls_.clear();
  if (!destroyed_) {
    g_signal_handlers_disconnect_by_data(window_, this);
    gtk_widget_destroy(window_);
  }
}

void GtkWindowHost::SetCaption(const std::string& caption) {
  gtk_window_set_title(GTK_WINDOW(window_), GbkToUtf8(caption).c_str());
}

std::string GtkWindowHost::Caption() const {
  const char* title = gtk_window_get_title(GTK_WINDOW(window_));
  return title ? Utf8ToGbk(title) : "";
}

Rect GtkWindowHost::WorkArea() const {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  if (monitor == nullptr) return {0, 0, 1024, 768};
  GdkRectangle r;
  gdk_monitor_get_workarea(monitor, &r);
  return Rect::FromSize(r.x, r.y, r.width, r.height);
}

void GtkWindowHost::Place(Rect screen) {
  // Only the first window of the process waits: window managers answer the
  // frame question in a few milliseconds, and one that does not answer gets
  // no longer than this.
  constexpr int kFrameWait = 500;
  outer_ = screen;
  refitPending_ = !gtk_widget_get_mapped(window_);
  Fit(WindowFrame(window_, kFrameWait));
}

void GtkWindowHost::Fit(FrameExtents frame) {
  Size client{std::max(outer_.Width() - frame.left - frame.right, 1),
              std::max(outer_.Height() - frame.top - frame.bottom, 1)};
  // The window's gravity is north-west, so the window manager puts the
  // frame's top-left corner where it is moved to.
  gtk_window_move(GTK_WINDOW(window_), outer_.left, outer_.top);
  gtk_window_resize(GTK_WINDOW(window_), client.width, client.height);
  // The client size is known at once so that a layout right after placing
  // works, and a play window can report it; the allocation confirms it later.
  client_ = client;
}

void GtkWindowHost::Show() { gtk_widget_show(window_); }
void GtkWindowHost::Hide() { gtk_widget_hide(window_); }
void GtkWindowHost::Present() { gtk_window_present(GTK_WINDOW(window_)); }

WebKitWebView* GtkWindowHost::ShownWebView() const {
  WebKitWebView* found = nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(fixed_));
  for (GList* child = children; child != nullptr && found == nullptr; child = child->next) {
    if (WEBKIT_IS_WEB_VIEW(child->data) && gtk_widget_get_visible(GTK_WIDGET(child->data))) {
      found = WEBKIT_WEB_VIEW(child->data);
    }
  }
  g_list_free(children);
  return found;
}

bool ShowsLoaded(WebKitWebView* view, std::string_view part) {
  const char* uri = view != nullptr ? webkit_web_view_get_uri(view) : nullptr;
  return uri != nullptr && std::string_view(uri).find(part) != std::string_view::npos &&
         !webkit_web_view_is_loading(view);
}

void GtkWindowHost::Close() {
  if (!destroyed_) gtk_widget_destroy(window_);
}

void GtkWindowHost::SetTopmost(bool topmost) { gtk_window_set_keep_above(GTK_WINDOW(window_), topmost); }

void GtkWindowHost::AddSystemMenuItem(int id, const std::string& text) {
  for (WindowMenuItem& item : systemMenu_) {
    if (item.id == id) {
      item.text = text;
      return;
    }
  }
  systemMenu_.push_back({id, text});
}

MenuCommand GtkWindowHost::SystemCommand() {
  return [this, alive = AliveFlag()](int id) {
    if (*alive && on_system_command) on_system_command(id);
  };
}

bool GtkWindowHost::ShowSystemMenu(const GdkEvent* trigger) {
  if (systemMenu_.empty() || destroyed_) return false;
  PopUpWindowMenu(GTK_WINDOW(window_), systemMenu_, SystemCommand(), trigger);
  return true;
}

void GtkWindowHost::AppendWindowMenu(WebKitContextMenu* menu) { AppendToPageMenu(menu, systemMenu_, SystemCommand()); }

void GtkWindowHost::StartTimer(int id, int milliseconds) {
  KillTimer(id);
  auto* tick = new TimerTick{this, id};
  timers_[id] = g_timeout_add_full(
      G_PRIORITY_DEFAULT, static_cast<guint>(std::max(milliseconds, 0)),
      +[](gpointer data) -> gboolean {
        auto* t = static_cast<TimerTick*>(data);
        // One-shot: forget the source before the handler may start it again.
        t->host->timers_.erase(t->id);
        if (t->host->on_timer) t->host->on_timer(t->id);
        return G_SOURCE_REMOVE;
      },
      tick, +[](gpointer data) { delete static_cast<TimerTick*>(data); });
}

void GtkWindowHost::KillTimer(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  g_source_remove(it->second);
  timers_.erase(it);
}

void GtkWindowHost::Post(std::function<void()> task) {
  // g_idle_add is safe from any thread; the task checks the flag on the UI thread.
  auto* posted = new PostedTask{alive_, std::move(task)};
  g_idle_add_full(
      G_PRIORITY_DEFAULT,
      +[](gpointer data) -> gboolean {
        auto* p = static_cast<PostedTask*>(data);
        if (*p->alive) p->task();
        return G_SOURCE_REMOVE;
      },
      posted, +[](gpointer data) { delete static_cast<PostedTask*>(data); });
}

port::BrowserView* GtkWindowHost::AddBrowser(int id, port::BrowserPolicy policy) {
  return Keep(id, std::make_unique<GtkBrowserView>(*this, policy));
}

port::ListView* GtkWindowHost::AddList(int id) {
  return Keep(id, MakeListView(*this));
}

port::FlatButton* GtkWindowHost::AddFlatButton(int id, const std::string& text) {
  return Keep(id, MakeFlatButton(*this, text));
}

port::FaceButton* GtkWindowHost::AddFaceButton(int id, const std::string& text) {
  return Keep(id, MakeFaceButton(*this, text));
}

port::InfoPanel* GtkWindowHost::AddInfoPanel(int id) {
  return Keep(id, MakeInfoPanel(*this));
}

port::Control* GtkWindowHost::AddPicture(int id, int picture) {
  return Keep(id, MakePicture(*this, picture));
}

port::Button* GtkWindowHost::AddButton(int id, const std::string& text) {
  return Keep(id, std::make_unique<GtkButtonControl>(*this, text));
}

port::Static* GtkWindowHost::AddStatic(int id, const std::string& text) {
  return Keep(id, std::make_unique<GtkStaticControl>(*this, text));
}

port::Edit* GtkWindowHost::AddEdit(int id) {
  return Keep(id, std::make_unique<GtkEditControl>(*this));
}

port::ProgressBar* GtkWindowHost::AddProgressBar(int id) {
  return Keep(id, std::make_unique<GtkProgressControl>(*this));
}

gboolean GtkWindowHost::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
  auto* host = static_cast<GtkWindowHost*>(self);
  if (host->on_close_request) {
    host->on_close_request();
  } else {
    host->Close();
  }
  return TRUE;
}

void GtkWindowHost::OnDestroy(GtkWidget*, gpointer self) {
  auto* host = static_cast<GtkWindowHost*>(self);
  if (host->destroyed_) return;
  host->destroyed_ = true;
  *host->alive_ = false;
  for (auto& [id, source] : host->timers_) g_source_remove(source);
  host->timers_.clear();
  auto handler = host->on_destroyed;
  if (handler) handler();
  host->platform_.Release(host);
}

namespace {

port::Key KeyOf(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Escape: return port::Key::kEscape;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter: return port::Key::kEnter;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left: return port::Key::kLeft;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right: return port::Key::kRight;
    case GDK_KEY_F5: return port::Key::kF5;
    case GDK_KEY_f: return port::Key::kF;
    case GDK_KEY_l: return port::Key::kL;
    case GDK_KEY_w: return port::Key::kW;
    default: return port::Key::kOther;
  }
}

}  // namespace

gboolean GtkWindowHost::OnKey(GtkWidget*, GdkEventKey* event, gpointer self) {
  auto* host = static_cast<GtkWindowHost*>(self);
  if (event->keyval == GDK_KEY_space && (event->state & GDK_MOD1_MASK)) {
    host->ShowSystemMenu(nullptr);
    return TRUE;
  }
  // A page shown full screen owns the keyboard: its Escape leaves full
  // screen and must not reach the window (which may close on it).
  GdkWindow* gdkWindow = gtk_widget_get_window(host->window_);
  if (gdkWindow && (gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_FULLSCREEN)) return FALSE;
  const guint keyval = gdk_keyval_to_lower(event->keyval);
  port::Key key = KeyOf(keyval);
  if (key == port::Key::kEnter) {
    // Enter in an edit box is the box's own: it reports it through on_enter;
    // on a skinned button it presses the button, in a list it opens the row,
    // on an information panel's link it follows the link.
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(host->window_));
    if (GTK_IS_ENTRY(focus) || IsSkinButtonArea(focus) || IsSkinItemArea(focus)) return FALSE;
  }
  const port::Modifiers modifiers{.control = (event->state & GDK_CONTROL_MASK) != 0,
                                  .alt = (event->state & GDK_MOD1_MASK) != 0,
                                  .shift = (event->state & GDK_SHIFT_MASK) != 0};
  return host->on_key && host->on_key(key, modifiers) ? TRUE : FALSE;
}

gboolean GtkWindowHost::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self) {
  if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_SECONDARY) return FALSE;
  return static_cast<GtkWindowHost*>(self)->ShowSystemMenu(reinterpret_cast<GdkEvent*>(event)) ? TRUE : FALSE;
}

gboolean GtkWindowHost::OnProperty(GtkWidget*, GdkEventProperty* event, gpointer self) {
  auto* host = static_cast<GtkWindowHost*>(self);
  if (host->refitPending_ && IsFrameChange(event)) host->Refit();
  return FALSE;
}

gboolean GtkWindowHost::OnMap(GtkWidget*, GdkEvent*, gpointer self) {
  auto* host = static_cast<GtkWindowHost*>(self);
  if (!host->refitPending_) return FALSE;
  host->Refit();
  // From now on the user's sizing rules, and a frame that changes later
  // (a maximised window's) changes nothing here.
  host->refitPending_ = false;
  return FALSE;
}

void GtkWindowHost::Refit() {
  // The frame the window manager gives the window may differ from the one
  // it announced.
  FrameExtents frame = WindowFrame(window_, 0);
  Size client{outer_.Width() - frame.left - frame.right, outer_.Height() - frame.top - frame.bottom};
  if (!(client == client_)) Fit(frame);
}

void GtkWindowHost::OnAllocate(GtkWidget*, GdkRectangle* allocation, gpointer self) {
  auto* host = static_cast<GtkWindowHost*>(self);
  Size size{allocation->width, allocation->height};
  if (size == host->client_) return;
  host->client_ = size;
  if (host->on_resize) host->on_resize(size);
}

// ---- platform ----

port::WindowHost& GtkPlatform::CreateWindow(const port::WindowOptions& options) {
  windows_.push_back(std::make_unique<GtkWindowHost>(*this, options));
  return *windows_.back();
}

void GtkPlatform::Release(GtkWindowHost* host) {
  // Freed from the idle loop: the destroy signal is still running on it.
  struct Job {
    GtkPlatform* platform;
    GtkWindowHost* host;
  };
  g_idle_add(
      +[](gpointer data) -> gboolean {
        std::unique_ptr<Job> job(static_cast<Job*>(data));
        job->platform->windows_.remove_if([&](const auto& w) { return w.get() == job->host; });
        return G_SOURCE_REMOVE;
      },
      new Job{this, host});
}

void GtkPlatform::CloseAll() {
  std::vector<GtkWindowHost*> open;
  for (auto& w : windows_) {
    if (!w->Destroyed()) open.push_back(w.get());
  }
  for (GtkWindowHost* w : open) w->Close();
}

void GtkPlatform::RunModal(port::WindowHost& window) {
  auto* host = dynamic_cast<GtkWindowHost*>(&window);
  if (host == nullptr) return;
  // The host's own flag: it also covers a window destroyed before the run,
  // and window logic may replace on_destroyed while the run goes on.
  std::shared_ptr<const bool> alive = host->AliveFlag();
  while (*alive) gtk_main_iteration();
}

namespace {

// GTK's stock buttons follow the locale ("OK" under most); the program's
// dialogs are Chinese like the rest of it.
constexpr const char* kOkLabel = "确定";
constexpr const char* kCancelLabel = "取消";
constexpr const char* kYesLabel = "是";
constexpr const char* kNoLabel = "否";

// A modal message box with the program's own buttons, the affirmative one
// last and the default (Enter); true when answered with it. `negative` is
// null for a box with one button. Escape and the close box give neither.
bool RunMessageDialog(port::WindowHost* owner, const std::string& text, const std::string& caption,
                      const char* affirmative, const char* negative) {
  auto* host = dynamic_cast<GtkWindowHost*>(owner);
  GtkWidget* dialog = gtk_message_dialog_new(host ? GTK_WINDOW(host->Window()) : nullptr, GTK_DIALOG_MODAL,
                                             negative ? GTK_MESSAGE_QUESTION : GTK_MESSAGE_OTHER,
                                             GTK_BUTTONS_NONE, "%s", GbkToUtf8(text).c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), GbkToUtf8(caption).c_str());
  if (negative) gtk_dialog_add_button(GTK_DIALOG(dialog), negative, GTK_RESPONSE_CANCEL);
  gtk_dialog_add_button(GTK_DIALOG(dialog), affirmative, GTK_RESPONSE_OK);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  const int response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  return response == GTK_RESPONSE_OK;
}

}  // namespace

void GtkPlatform::MessageBox(port::WindowHost* owner, const std::string& text, const std::string& caption) {
  RunMessageDialog(owner, text, caption, kOkLabel, nullptr);
}

bool GtkPlatform::AskOkCancel(port::WindowHost* owner, const std::string& text, const std::string& caption) {
  return RunMessageDialog(owner, text, caption, kOkLabel, kCancelLabel);
}

bool GtkPlatform::AskYesNo(port::WindowHost* owner, const std::string& text, const std::string& caption) {
  return RunMessageDialog(owner, text, caption, kYesLabel, kNoLabel);
}

void GtkPlatform::SetClipboardText(const std::string& text) {
  std::string utf8 = GbkToUtf8(text);
  gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), utf8.c_str(), static_cast<gint>(utf8.size()));
}

std::string GtkPlatform::ClipboardText() {
  gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
  std::string out = text ? Utf8ToGbk(text) : "";
  g_free(text);
  return out;
}

bool GtkPlatform::MouseButtonDown() {
  GdkDisplay* display = gdk_display_get_default();
  GdkModifierType state{};
  gdk_window_get_device_position(gdk_get_default_root_window(), gdk_seat_get_pointer(gdk_display_get_default_seat(display)),
                                 nullptr, nullptr, &state);
  return (state & (GDK_BUTTON1_MASK | GDK_BUTTON2_MASK | GDK_BUTTON3_MASK)) != 0;
}

bool GtkPlatform::HandlesScheme(const std::string& scheme) {
  GRef<GAppInfo> handler(g_app_info_get_default_for_uri_scheme(scheme.c_str()));
  return handler.get() != nullptr;
}

std::string GtkPlatform::FindProgram(const std::string& program) {
  char* path = g_find_program_in_path(program.c_str());
  std::string found = path ? path : "";
  g_free(path);
  return found;
}

std::string GtkPlatform::DefaultProgramFor(const std::string& mediaType) {
  char* type = g_content_type_from_mime_type(mediaType.c_str());
  GRef<GAppInfo> handler(type ? g_app_info_get_default_for_type(type, FALSE) : nullptr);
  g_free(type);
  const char* executable = handler.get() ? g_app_info_get_executable(handler.get()) : nullptr;
  return executable ? executable : "";
}

bool GtkPlatform::StartProcess(const std::vector<std::string>& argv) {
  return port::SpawnDetached(argv, workingFolder_.empty() ? ModuleDirectory() : workingFolder_);
}

std::unique_ptr<port::FileWatch> GtkPlatform::WatchFile(const std::string& path, std::function<void()> on_change) {
  return GtkFileWatch::Start(path, std::move(on_change));
}

}  // namespace tavelo::gtkport
