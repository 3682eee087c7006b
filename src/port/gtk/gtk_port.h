#pragma once
// The port on GTK 3 and WebKitGTK: windows hold a GtkFixed so that window
// logic places its controls in client pixels, as its layout routines expect.

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "port/gtk/gtk_frame.h"
#include "port/gtk/gtk_window_menu.h"
#include "port/window_host.h"

namespace tavelo::gtkport {

// Owns one reference of a GObject.
template <typename T>
class GRef {
 public:
  GRef() = default;
  explicit GRef(T* object) : object_(object) {}
  ~GRef() { reset(); }
  GRef(const GRef&) = delete;
  GRef& operator=(const GRef&) = delete;
  GRef(GRef&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
  T* get() const { return object_; }
  void reset(T* object = nullptr) {
    if (object_) g_object_unref(object_);
    object_ = object;
  }

 private:
  T* object_ = nullptr;
};

class GtkWindowHost;

class GtkBrowserView : public port::BrowserView {
 public:
  GtkBrowserView(GtkWindowHost& host, port::BrowserPolicy policy);
  ~GtkBrowserView() override;

  void SetBounds(Rect bounds) override;
  Rect Bounds() const override { return bounds_; }
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  Point CursorPos() const override;
  void Navigate(const std::string& utf8Address) override;
  void Prepare(const std::string& utf8Address) override;
  void RequestBodyHtml(std::function<void(std::string)> done) override;
  void EvaluateScript(const std::string& utf8Script, std::function<void(port::ScriptValue)> done) override;
  void GoBack() override;
  void GoForward() override;
  void Reload() override;

  // Runs a script in the page (developer and test use).
  void RunScript(const std::string& script);
  WebKitWebView* WebView() const { return view_.get(); }
  // Whether the view is in its window (a pop-up's only from ready-to-show).
  bool Placed() const { return placed_; }
  // For a new-window request of `requester`: drops the view, takes a new one
  // related to the requester (same web process, so the opener relation and
  // the pop-up's first request carry over) and returns it. It reports its
  // events at once and joins the window when WebKit says it is ready.
  WebKitWebView* AdoptRelatedView(WebKitWebView* requester, const GtkBrowserView& opener);

 private:
  void Attach(WebKitWebView* view);
  void Place();
  void Detach();
  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision*, WebKitPolicyDecisionType, gpointer self);
  static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction*, gpointer self);
  static void OnReadyToShow(WebKitWebView*, gpointer self);
  static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent, gpointer self);
  static void OnMouseTarget(WebKitWebView*, WebKitHitTestResult*, guint, gpointer self);
  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer self);
  static void OnProcessEnded(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer self);
  static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*, gpointer self);
  static gboolean OnUserInput(GtkWidget*, GdkEvent*, gpointer self);
  // The page a navigation comes from (see port::NavigationRequest).
  std::string NavigatingPage() const;

  GtkWindowHost& host_;
  port::BrowserPolicy policy_;
  GRef<WebKitWebView> view_;
  // What the window logic asked for, applied again to a view that replaces
  // the first one.
  Rect bounds_;
  bool visible_ = true;
  bool enabled_ = true;
  bool placed_ = false;
  std::string lastStatus_;
  // A pop-up's opener page, which counts until the pop-up has a page of its
  // own, and the user's last press in the view or its opener.
  std::string openerAddress_;
  unsigned long long lastGesture_ = 0;
  // Whether any page was committed yet, and whether the shown one (or the
  // next one) is HTML the program handed over rather than one the view loaded.
  bool committedAny_ = false;
  bool showsWritten_ = false;
  bool nextLoadWritten_ = false;
};

class GtkPlatform;

class GtkWindowHost : public port::WindowHost {
 public:
  GtkWindowHost(GtkPlatform& platform, const port::WindowOptions& options);
  ~GtkWindowHost() override;

  void SetCaption(const std::string& caption) override;
  std::string Caption() const override;
  Rect WorkArea() const override;
  void Place(Rect screen) override;
  Size ClientSize() const override { return client_; }
  void Show() override;
  void Present() override;
  void Hide() override;
  void Close() override;
  void SetTopmost(bool topmost) override;
  void AddSystemMenuItem(int id, const std::string& text) override;
  void StartTimer(int id, int milliseconds) override;
  void KillTimer(int id) override;
  void Post(std::function<void()> task) override;
  port::BrowserView* AddBrowser(int id, port::BrowserPolicy policy) override;
  port::ListView* AddList(int id) override;
  port::Button* AddButton(int id, const std::string& text) override;
  port::Static* AddStatic(int id, const std::string& text) override;
  port::Edit* AddEdit(int id) override;
  port::ProgressBar* AddProgressBar(int id) override;
  port::FlatButton* AddFlatButton(int id, const std::string& text) override;
  port::FaceButton* AddFaceButton(int id, const std::string& text) override;
  port::InfoPanel* AddInfoPanel(int id) override;
  port::Control* AddPicture(int id, int picture) override;

  GtkWidget* Fixed() const { return fixed_; }
  // The first browser view shown in the client area, or nullptr: for
  // programs that drive windows from outside (tests, the screenshots).
  WebKitWebView* ShownWebView() const;
  GtkWidget* Window() const { return window_; }
  bool Destroyed() const { return destroyed_; }
  GtkPlatform& Platform() { return platform_; }
  // False from the moment the window is destroyed; shared so that waiters
  // and posted tasks can hold it beyond the host.
  std::shared_ptr<const bool> AliveFlag() const { return alive_; }
  // The window menu's program items at the end of a page's context menu.
  void AppendWindowMenu(WebKitContextMenu* menu);

 private:
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);
  static void OnDestroy(GtkWidget*, gpointer self);
  static gboolean OnKey(GtkWidget*, GdkEventKey*, gpointer self);
  static void OnAllocate(GtkWidget*, GdkRectangle*, gpointer self);
  static gboolean OnButtonPress(GtkWidget*, GdkEventButton*, gpointer self);
  static gboolean OnProperty(GtkWidget*, GdkEventProperty*, gpointer self);
  static gboolean OnMap(GtkWidget*, GdkEvent*, gpointer self);
  // Moves and sizes the window so that `outer_` holds it and `frame`.
  void Fit(FrameExtents frame);
  // Fits the window again if its frame is not the one it was fitted to.
  void Refit();
  // Pops up the window menu, if the window has one; `trigger` as for
  // PopUpWindowMenu.
  bool ShowSystemMenu(const GdkEvent* trigger);
  MenuCommand SystemCommand();
  // Takes ownership of a control made for this window under `id`.
  template <typename T>
  T* Keep(int id, std::unique_ptr<T> control) {
    T* raw = control.get();
    controls_[id] = std::move(control);
    return raw;
  }

  GtkPlatform& platform_;
  GtkWidget* window_ = nullptr;
  GtkWidget* fixed_ = nullptr;
  Size client_;
  // The outer rectangle window logic placed the window at, and whether its
  // frame may still change before the window manager shows it.
  Rect outer_;
  bool refitPending_ = false;
  bool destroyed_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::map<int, guint> timers_;
  std::vector<WindowMenuItem> systemMenu_;
  std::map<int, std::unique_ptr<port::Control>> controls_;
};

// Whether `view` shows an address holding `part` and has finished loading.
bool ShowsLoaded(WebKitWebView* view, std::string_view part);

class GtkPlatform : public port::Platform {
 public:
  port::WindowHost& CreateWindow(const port::WindowOptions& options) override;
  void RunModal(port::WindowHost& window) override;
  void MessageBox(port::WindowHost* owner, const std::string& text, const std::string& caption) override;
  bool AskOkCancel(port::WindowHost* owner, const std::string& text, const std::string& caption) override;
  bool AskYesNo(port::WindowHost* owner, const std::string& text, const std::string& caption) override;
  void SetClipboardText(const std::string& text) override;
  std::string ClipboardText() override;
  bool StartProcess(const std::vector<std::string>& argv) override;
  void SetWorkingFolder(const std::string& folder) override { workingFolder_ = folder; }
  bool HandlesScheme(const std::string& scheme) override;
  std::string FindProgram(const std::string& program) override;
  std::string DefaultProgramFor(const std::string& mediaType) override;
  bool MouseButtonDown() override;
  std::unique_ptr<port::FileWatch> WatchFile(const std::string& path, std::function<void()> on_change) override;

  // Called by a host once its window is gone; frees it when the loop is idle.
  void Release(GtkWindowHost* host);
  int WindowCount() const { return static_cast<int>(windows_.size()); }
  // Closes every window still open (end of a test or of the program).
  void CloseAll();

 private:
  std::list<std::unique_ptr<GtkWindowHost>> windows_;
  std::string workingFolder_;
};

// What a load error means to the user; nothing for a load that was only
// cancelled, turned into a download or handed to a media player.
std::optional<port::LoadFailure> LoadFailureOf(const GError* error);

// Settings shared by every view of one policy.
WebKitSettings* SettingsFor(port::BrowserPolicy policy);

}  // namespace tavelo::gtkport
