#pragma once
// A port without a display: every control records what window logic does to
// it, and tests fire the events a user or a page would cause.

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_skin_host.h"
#include "port/window_host.h"
#include "skin/face_bitmap_button.h"
#include "skin/flat_text_button.h"
#include "skin/list_keys.h"
#include "skin/skin_list_ctrl.h"

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
  void Prepare(const std::string& utf8Address) override { prepared.push_back(utf8Address); }
  void RequestBodyHtml(std::function<void(std::string)> done) override { done(bodyHtml); }
  // Answers at once with what the test's scriptAnswer gives (kNone without one).
  void EvaluateScript(const std::string& utf8Script, std::function<void(port::ScriptValue)> done) override {
    scripts.push_back(utf8Script);
    done(scriptAnswer ? scriptAnswer(utf8Script) : port::ScriptValue{});
  }
  void GoBack() override { historySteps.push_back("back"); }
  void GoForward() override { historySteps.push_back("forward"); }
  void Reload() override { historySteps.push_back("reload"); }

  // Returns whether the navigation was cancelled. Navigations come from a
  // fresh click on a page of the program's own unless the test says otherwise.
  bool FireBeforeNavigate(const std::string& utf8Address, bool byUser = true) {
    return FireNavigation({utf8Address, byUser, "", ++presses});
  }
  bool FireNavigation(const port::NavigationRequest& request) {
    bool cancel = false;
    if (on_before_navigate) on_before_navigate(request, &cancel);
    return cancel;
  }
  port::BrowserView* FireNewWindow() { return on_new_window ? on_new_window() : nullptr; }
  void FireDocumentComplete(const std::string& a) {
    if (on_document_complete) on_document_complete(a);
  }
  void FireStatusText(const std::string& t) {
    if (on_status_text) on_status_text(t);
  }
  void FireLoadFailed(const std::string& a, port::LoadFailure failure) {
    if (on_load_failed) on_load_failed(a, failure);
  }

  port::BrowserPolicy policy;
  unsigned long long presses = 0;
  std::vector<std::string> navigations;
  std::vector<std::string> prepared;
  // "back", "forward" and "reload", in the order asked for.
  std::vector<std::string> historySteps;
  std::string bodyHtml;
  std::vector<std::string> scripts;
  std::function<port::ScriptValue(const std::string& script)> scriptAnswer;
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
  void SelectAll() override { allSelected = true; }
  void SetAccessibleName(const std::string& name) override { accessibleName = name; }
  void PressEnter() {
    if (on_enter) on_enter();
  }
  std::string text;
  bool focused = false;
  bool allSelected = false;
  std::string accessibleName;
};

class FakeProgressBar : public port::ProgressBar, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  void SetRange(int l, int h) override { low = l, high = h; }
  void SetPosition(int p) override { position = p; }
  int Position() const override { return position; }
  int low = 0, high = 100, position = 0;
};

// A skinned button run by its real model: the model decides hover and
// clicks, its size is the bounds the window gave it.
template <typename Base, typename Model>
class FakeSkinButton : public Base, public FakeControlBase {
 public:
  FakeSkinButton() { skin.size = {}; }
  void SetBounds(Rect b) override {
    bounds = b;
    skin.size = {b.Width(), b.Height()};
  }
  Rect Bounds() const override { return bounds; }
  void SetVisible(bool v) override { visible = v; }
  void SetEnabled(bool e) override {
    enabled = e;
    model.SetEnabled(e);
  }
  Point CursorPos() const override { return cursor; }
  void SetText(const std::string& t) override { model.SetText(t); }
  std::string Text() const override { return model.Text(); }

  // The user presses or releases the left button at `client`.
  void Press(Point client) {
    if (visible) model.OnButtonDown(client);
  }
  void Release(Point client) {
    if (model.OnButtonUp(client) && this->on_click) this->on_click();
  }
  // A press and release in the middle of the button; a hidden button or one
  // of no size gets none.
  void Click() {
    Point middle{bounds.Width() / 2, bounds.Height() / 2};
    Press(middle);
    Release(middle);
  }

  FakeSkinHost skin;
  Model model{skin};
};

class FakeFlatButton : public FakeSkinButton<port::FlatButton, FlatTextButton> {
 public:
  void SetSelected(int s) override { model.SetSelected(s); }
  int Selected() const override { return model.Selected(); }
};

class FakeFaceButton : public FakeSkinButton<port::FaceButton, FaceBitmapButton> {
 public:
  bool Enabled() const override { return model.Enabled(); }
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

class FakePicture : public port::Control, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  explicit FakePicture(int p) : picture(p) {}
  int picture;
};

// The skinned list's model behind the port's list: hit tests, selection and
// scrolling are the real ones.
class FakeListView : public port::ListView, public FakeControlBase {
 public:
  TAVELO_FAKE_CONTROL_MEMBERS
  void SetSkin(const port::ListSkin& s) override;
  void SetColumns(const std::vector<port::ListColumn>& c) override { model.SetColumns(c); }
  int ColumnWidth(int c) const override { return model.ColumnWidth(c); }
  void SetRowHeight(int px) override { model.SetRowHeight(px); }
  int InsertRow(int index, const std::string& column0) override { return model.InsertRow(index, column0); }
  void SetCell(int row, int column, const std::string& text) override { model.SetCell(row, column, text); }
  std::string Cell(int row, int column) const override { return model.Cell(row, column); }
  int RowCount() const override { return model.RowCount(); }
  void DeleteAllRows() override { model.DeleteAllRows(); }
  void SelectRow(int row, bool selected) override { model.Select(row, selected); }
  bool IsSelected(int row) const override { return model.IsSelected(row); }
  void EnsureVisible(int row) override {
    model.SetScrollY(model.ScrollYToShow(row, bounds.Height() - SkinListCtrl::kHeaderHeight));
  }
  port::ListHit HitTest(Point client) const override { return model.HitTest(client); }

  // The user clicks (or double-clicks) the list at `client`.
  void ClickAt(Point client);
  void DoubleClickAt(Point client);
  // The same on the cell of `row` and `column`; row -1 is below the last
  // row, column -1 right of the last column.
  void Click(int row, int column) { ClickAt(CellPoint(row, column)); }
  void DoubleClick(int row, int column) { DoubleClickAt(CellPoint(row, column)); }
  // The user presses a key while the list has the keyboard focus.
  bool PressKey(ListKey key) {
    return AnswerListKey(model, *this, key, bounds.Height() - SkinListCtrl::kHeaderHeight);
  }
  Point CellPoint(int row, int column) const;

  SkinListCtrl model;
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
  void Present() override {
    shown = true;
    ++presented;
  }
  void Close() override;
  void SetTopmost(bool t) override { topmost = t; }
  void AddSystemMenuItem(int id, const std::string& text) override { systemMenu[id] = text; }
  void StartTimer(int id, int ms) override { timers[id] = ms; }
  void KillTimer(int id) override { timers.erase(id); }
  // Callable from any thread, as on the real port.
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

  // User actions. FireKey returns whether the window swallowed the key.
  void RequestClose();
  bool FireKey(port::Key key, port::Modifiers modifiers = port::kNoModifiers) {
    return !destroyed && on_key && on_key(key, modifiers);
  }
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
  int presented = 0;
  bool topmost = false;
  bool destroyed = false;
  std::map<int, std::string> systemMenu;
  std::map<int, int> timers;
  std::vector<std::function<void()>> posted;

 private:
  std::mutex postedLock_;
  template <typename T, typename... Args>
  T* Add(int id, Args&&... args);

  FakePlatform& platform_;
  std::map<int, std::unique_ptr<FakeControlBase>> controls_;
};

// A watch the test fires by hand: FakePlatform::ChangeFile.
class FakeFileWatch : public port::FileWatch {
 public:
  FakeFileWatch(FakePlatform& platform, std::string path, std::function<void()> onChange);
  ~FakeFileWatch() override;

  std::string path;
  std::function<void()> onChange;

 private:
  FakePlatform& platform_;
};

class FakePlatform : public port::Platform {
 public:
  port::WindowHost& CreateWindow(const port::WindowOptions& options) override;
  // Records the run; a test that sets on_run_modal drives the window there,
  // as the user would while the modal run lasts. It ends as a real run
  // does, with the window destroyed: if the test did not close it, the user
  // asks to close it, and then it is closed.
  void RunModal(port::WindowHost& window) override;
  void MessageBox(port::WindowHost* owner, const std::string& text, const std::string& caption) override {
    messageBoxes.push_back({text, caption, owner});
  }
  bool AskOkCancel(port::WindowHost* owner, const std::string& text, const std::string& caption) override {
    questions.push_back({text, caption, owner});
    return answerOk;
  }
  bool AskYesNo(port::WindowHost*, const std::string& text, const std::string& caption) override {
    yesNoQuestions.push_back({text, caption});
    return answerYes;
  }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  std::string ClipboardText() override { return clipboard; }
  bool StartProcess(const std::vector<std::string>& argv) override {
    startedProcesses.push_back(argv);
    startedIn.push_back(workingFolder);
    return true;
  }
  void SetWorkingFolder(const std::string& folder) override { workingFolder = folder; }
  bool HandlesScheme(const std::string& scheme) override { return unhandledSchemes.count(scheme) == 0; }
  std::string FindProgram(const std::string& program) override {
    auto found = programsOnPath.find(program);
    return found == programsOnPath.end() ? "" : found->second;
  }
  std::string DefaultProgramFor(const std::string& mediaType) override {
    auto found = defaultPrograms.find(mediaType);
    return found == defaultPrograms.end() ? "" : found->second;
  }
  bool MouseButtonDown() override { return mouseButtonDown; }
  std::unique_ptr<port::FileWatch> WatchFile(const std::string& path, std::function<void()> on_change) override;
  // Reports a change of `path` to every live watch on it, as the desktop
  // would after another window or process saved it.
  void ChangeFile(const std::string& path);

  // Windows not yet destroyed, in creation order.
  std::vector<FakeWindowHost*> LiveWindows();
  FakeWindowHost& Window(size_t index) { return *windows[index]; }

  Rect workArea{0, 0, 1280, 770};
  // Frame the fake window manager puts around a client area.
  int frameWidth = 2, titleHeight = 20;
  std::vector<std::unique_ptr<FakeWindowHost>> windows;
  std::vector<port::WindowHost*> modalRuns;
  std::function<void(FakeWindowHost&)> on_run_modal;
  struct Message {
    std::string text, caption;
    port::WindowHost* owner = nullptr;
  };
  std::vector<Message> messageBoxes;
  std::vector<Message> questions;
  // How the user answers AskOkCancel.
  bool answerOk = true;
  std::vector<Message> yesNoQuestions;
  // How the user answers AskYesNo.
  bool answerYes = true;
  std::string clipboard;
  std::vector<std::vector<std::string>> startedProcesses;
  // The working folder of each started process ("" before one was set).
  std::vector<std::string> startedIn;
  std::string workingFolder;
  bool mouseButtonDown = false;
  // Schemes no desktop program opens.
  std::set<std::string> unhandledSchemes;
  // Programs FindProgram finds (name to path) and DefaultProgramFor names (media type to program).
  std::map<std::string, std::string> programsOnPath;
  std::map<std::string, std::string> defaultPrograms;
  std::vector<FakeFileWatch*> fileWatches;
};

}  // namespace tavelo::fakes
