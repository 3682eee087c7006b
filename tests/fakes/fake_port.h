#pragma once
// A port without a display: every control records what window logic does to
// it, and tests fire the events a user or a page would cause.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "port/window_host.h"

namespace tavelo::fakes {

class FakeControlBase {
 public:
  virtual ~FakeControlBase() = default;
  Rect bounds;
  bool visible = true;
  bool enabled = true;
  Point cursor{-1, -1};
};

#define TAVELO_FAKE_CONTROL_MEMBERS                                    \
  void SetBounds(Rect b) override { bounds = b; }                      \
  Rect Bounds() const override { return bounds; }                      \
  void SetVisible(bool v) override { visible = v; }                    \
  void SetEnabled(bool e) override { enabled = e; }                    \
  Point CursorPos() const override { return cursor; }

class FakeBrowserView : public port::BrowserView, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  explicit FakeBrowserView(port::BrowserPolicy p) : policy(p) {}
  void Navigate(const std::string& utf8Address) override { navigations.push_back(utf8Address); }
  void RequestBodyHtml(std::function<void(std::string)> done) override { done(bodyHtml); }

  // Returns whether the navigation was cancelled. Navigations come from a
  // click unless the test says otherwise.
  bool FireBeforeNavigate(const std::string& utf8Address, bool byUser = true) {
    bool cancel = false;
    if (on_before_navigate) on_before_navigate({utf8Address, byUser}, &cancel);
    return cancel;
  }
  port::BrowserView* FireNewWindow() { return on_new_window ? on_new_window() : nullptr; }
  void FireDocumentComplete(const std::string& a) {
    if (on_document_complete) on_document_complete(a);
  }
  void FireStatusText(const std::string& t) {
    if (on_status_text) on_status_text(t);
  }

  port::BrowserPolicy policy;
  std::vector<std::string> navigations;
  std::string bodyHtml;
};

class FakeButton : public port::Button, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  void SetText(const std::string& t) override { text = t; }
  std::string Text() const override { return text; }
  void Click() {
    if (on_click) on_click();
  }
  std::string text;
};

class FakeStatic : public port::Static, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  void SetText(const std::string& t) override { text = t; }
  std::string Text() const override { return text; }
  std::string text;
};

class FakeEdit : public port::Edit, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  void SetText(const std::string& t) override { text = t; }
  std::string Text() const override { return text; }
  void Focus() override { focused = true; }
  void PressEnter() {
    if (on_enter) on_enter();
  }
  std::string text;
  bool focused = false;
};

class FakeProgressBar : public port::ProgressBar, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  void SetRange(int l, int h) override { low = l, high = h; }
  void SetPosition(int p) override { position = p; }
  int Position() const override { return position; }
  int low = 0, high = 100, position = 0;
};

class FakeFlatButton : public port::FlatButton, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  void SetText(const std::string& t) override { text = t; }
  std::string Text() const override { return text; }
  void SetSelected(int s) override { selected = s; }
  int Selected() const override { return selected; }
  void SetSite(const std::string& name, const std::string& address) override {
    siteName = text = name;
    startAddress = address;
  }
  std::string SiteName() const override { return siteName; }
  std::string StartAddress() const override { return startAddress; }
  void Click() {
    if (enabled && on_click) on_click();
  }
  std::string text, siteName, startAddress;
  int selected = 0;
};

class FakeFaceButton : public port::FaceButton, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  void SetText(const std::string& t) override { text = t; }
  std::string Text() const override { return text; }
  bool Enabled() const override { return enabled; }
  // A disabled button cannot be clicked.
  void Click() {
    if (enabled && on_click) on_click();
  }
  std::string text;
};

// Records what the window shows; the test says which word lies under the
// cursor, since word geometry is the skin's business, tested there.
class FakeInfoPanel : public port::InfoPanel, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  void ShowRecordInfo(const std::string& info) override { Shown(info, false); }
  void ShowRecordInfoCompact(const std::string& info) override { Shown(info, true); }
  void AddWord(WordKind kind, const std::string& text) override { addedWords.push_back({kind, text}); }
  void Relayout() override { ++relayouts; }
  std::string WordAt(Point p) const override { return p == cursor ? wordUnderCursor : ""; }
  // The user clicks the panel with `word` under the cursor ("" for a gap).
  void ClickWord(const std::string& word) {
    cursor = {10, 5};
    wordUnderCursor = word;
    if (on_click) on_click();
  }

  struct Word {
    WordKind kind;
    std::string text;
  };
  std::string info;
  bool compact = false;
  int shows = 0;
  std::vector<Word> addedWords;
  int relayouts = 0;
  std::string wordUnderCursor;

 private:
  void Shown(const std::string& text, bool isCompact) {
    info = text;
    compact = isCompact;
    addedWords.clear();
    ++shows;
  }
};

class FakeListView : public port::ListView, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  void SetSkin(const port::ListSkin& s) override { skin = s; }
  void SetColumns(const std::vector<int>& w) override { widths = w; }
  int ColumnWidth(int c) const override { return c >= 0 && c < static_cast<int>(widths.size()) ? widths[c] : 0; }
  void SetRowHeight(int px) override { rowHeight = px; }
  int InsertRow(int index, const std::string& column0) override;
  void SetCell(int row, int column, const std::string& text) override;
  std::string Cell(int row, int column) const override;
  int RowCount() const override { return static_cast<int>(rows.size()); }
  void DeleteAllRows() override { rows.clear(); }
  void SelectRow(int row, bool selected) override;
  bool IsSelected(int row) const override;
  void EnsureVisible(int row) override { visibleRow = row; }
  // Rows of rowHeight from the top, columns of the set widths from the left.
  port::ListHit HitTest(Point client) const override;

  // A click as the list reports it: the hit row becomes the only selected
  // one (none for a miss), then on_click hears where it landed.
  void Click(int row, int column);
  void DoubleClick(int row, int column);

  struct Row {
    std::vector<std::string> cells;
    bool selected = false;
  };
  std::vector<int> widths;
  std::vector<Row> rows;
  int rowHeight = 18;
  int visibleRow = -1;
  port::ListSkin skin;
};

#undef TAVELO_FAKE_CONTROL_MEMBERS

class FakePlatform;

class FakeWindowHost : public port::WindowHost {
 public:
  FakeWindowHost(FakePlatform& platform, port::WindowOptions options) : options(options), platform_(platform) {}

  void SetCaption(const std::string& c) override { caption = c; }
  std::string Caption() const override { return caption; }
  Rect WorkArea() const override;
  void Place(Rect screen) override;
  Size ClientSize() const override { return client; }
  void Show() override { shown = true; }
  void Hide() override { shown = false; }
  void Close() override;
  void SetTopmost(bool t) override { topmost = t; }
  void AddSystemMenuItem(int id, const std::string& text) override { systemMenu[id] = text; }
  void StartTimer(int id, int ms) override { timers[id] = ms; }
  void KillTimer(int id) override { timers.erase(id); }
  void Post(std::function<void()> task) override { posted.push_back(std::move(task)); }
  port::BrowserView* AddBrowser(int id, port::BrowserPolicy policy) override;
  port::ListView* AddList(int id) override;
  port::Button* AddButton(int id, const std::string& text) override;
  port::Static* AddStatic(int id, const std::string& text) override;
  port::Edit* AddEdit(int id) override;
  port::ProgressBar* AddProgressBar(int id) override;
  port::FlatButton* AddFlatButton(int id, const std::string& text) override;
  port::FaceButton* AddFaceButton(int id, const std::string& text) override;
  port::InfoPanel* AddInfoPanel(int id) override;

  // User actions. FireKey returns whether the window swallowed the key.
  void RequestClose();
  bool FireKey(port::Key key) { return on_key && on_key(key); }
  // Fires the timer if it runs; one-shot, so it stops first.
  bool FireTimer(int id);
  void Resize(Size size);
  // Runs posted tasks, unless the window is gone.
  void RunPosted();

  template <typename T>
  T* Control(int id) {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : dynamic_cast<T*>(it->second.get());
  }
  FakeBrowserView* Browser(int id) { return Control<FakeBrowserView>(id); }
  FakeListView* List(int id) { return Control<FakeListView>(id); }
  FakeFlatButton* FlatButton(int id) { return Control<FakeFlatButton>(id); }
  FakeFaceButton* FaceButton(int id) { return Control<FakeFaceButton>(id); }
  FakeInfoPanel* InfoPanel(int id) { return Control<FakeInfoPanel>(id); }

  port::WindowOptions options;
  std::string caption;
  Rect placement;
  Size client;
  bool shown = false;
  bool topmost = false;
  bool destroyed = false;
  std::map<int, std::string> systemMenu;
  std::map<int, int> timers;
  std::vector<std::function<void()>> posted;

 private:
  template <typename T, typename... Args>
  T* Add(int id, Args&&... args);

  FakePlatform& platform_;
  std::map<int, std::unique_ptr<FakeControlBase>> controls_;
};

class FakePlatform : public port::Platform {
 public:
  port::WindowHost& CreateWindow(const port::WindowOptions& options) override;
  void RunModal(port::WindowHost& window) override { modalRuns.push_back(&window); }
  void MessageBox(port::WindowHost*, const std::string& text, const std::string& caption) override {
    messageBoxes.push_back({text, caption});
  }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  std::string ClipboardText() override { return clipboard; }
  int StartProcess(const std::vector<std::string>& argv) override {
    startedProcesses.push_back(argv);
    return 0;
  }

  // Windows not yet destroyed, in creation order.
  std::vector<FakeWindowHost*> LiveWindows();
  FakeWindowHost& Window(size_t index) { return *windows[index]; }

  Rect workArea{0, 0, 1280, 770};
  // Frame the fake window manager puts around a client area.
  int frameWidth = 2, titleHeight = 20;
  std::vector<std::unique_ptr<FakeWindowHost>> windows;
  std::vector<port::WindowHost*> modalRuns;
  struct Message {
    std::string text, caption;
  };
  std::vector<Message> messageBoxes;
  std::string clipboard;
  std::vector<std::vector<std::string>> startedProcesses;
};

}  // namespace tavelo::fakes
