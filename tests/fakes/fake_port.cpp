#include "fakes/fake_port.h"

#include <algorithm>

namespace tavelo::fakes {

void FakeListView::SetSkin(const port::ListSkin& s) {
  model.SetColumnCount(s.columnCount);
  model.SetRowStyle(s.rowStyle);
}

void FakeListView::ClickAt(Point client) {
  port::ListHit hit = model.Press(client);
  if (on_click) on_click(hit);
}

void FakeListView::DoubleClickAt(Point client) {
  if (on_double_click) on_double_click(model.HitTest(client));
}

Point FakeListView::CellPoint(int row, int column) const {
  int x = column < 0 ? model.ContentWidth() : 0;
  for (int i = 0; i < column; ++i) x += model.ColumnWidth(i);
  int y = model.RowTop(row < 0 ? model.RowCount() : row);
  return {x + 1 - model.ScrollX(), y + 1};
}

Rect FakeWindowHost::WorkArea() const { return platform_.workArea; }

void FakeWindowHost::Place(Rect screen) {
  placement = screen;
  Size inner{screen.Width() - 2 * platform_.frameWidth, screen.Height() - platform_.titleHeight - platform_.frameWidth};
  if (!(inner == client)) Resize(inner);
}

void FakeWindowHost::Resize(Size size) {
  if (destroyed) return;
  client = size;
  if (on_resize) on_resize(size);
}

void FakeWindowHost::Close() {
  if (destroyed) return;
  destroyed = true;
  shown = false;
  timers.clear();
  // Copied: the handler may delete the object that owns the callbacks.
  auto destroyedHandler = on_destroyed;
  if (destroyedHandler) destroyedHandler();
}

void FakeWindowHost::RequestClose() {
  if (destroyed) return;
  if (on_close_request) {
    on_close_request();
  } else {
    Close();
  }
}

bool FakeWindowHost::FireTimer(int id) {
  if (destroyed || timers.erase(id) == 0) return false;
  if (on_timer) on_timer(id);
  return true;
}

void FakeWindowHost::Post(std::function<void()> task) {
  std::lock_guard<std::mutex> guard(postedLock_);
  posted.push_back(std::move(task));
}

void FakeWindowHost::RunPosted() {
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard<std::mutex> guard(postedLock_);
    tasks = std::move(posted);
    posted.clear();
  }
  if (destroyed) return;
  for (auto& task : tasks) task();
}

template <typename T, typename... Args>
T* FakeWindowHost::Add(int id, Args&&... args) {
  auto control = std::make_unique<T>(std::forward<Args>(args)...);
  T* raw = control.get();
  controls_[id] = std::move(control);
  return raw;
}

port::BrowserView* FakeWindowHost::AddBrowser(int id, port::BrowserPolicy policy) {
  return Add<FakeBrowserView>(id, policy);
}
port::ListView* FakeWindowHost::AddList(int id) { return Add<FakeListView>(id); }
port::Button* FakeWindowHost::AddButton(int id, const std::string& text) {
  auto* b = Add<FakeButton>(id);
  b->text = text;
  return b;
}
port::Static* FakeWindowHost::AddStatic(int id, const std::string& text) {
  auto* s = Add<FakeStatic>(id);
  s->text = text;
  return s;
}
port::Edit* FakeWindowHost::AddEdit(int id) { return Add<FakeEdit>(id); }
port::ProgressBar* FakeWindowHost::AddProgressBar(int id) { return Add<FakeProgressBar>(id); }
port::FlatButton* FakeWindowHost::AddFlatButton(int id, const std::string& text) {
  auto* b = Add<FakeFlatButton>(id);
  b->SetText(text);
  return b;
}
port::FaceButton* FakeWindowHost::AddFaceButton(int id, const std::string& text) {
  auto* b = Add<FakeFaceButton>(id);
  b->SetText(text);
  return b;
}
port::InfoPanel* FakeWindowHost::AddInfoPanel(int id) { return Add<FakeInfoPanel>(id); }
port::Control* FakeWindowHost::AddPicture(int id, int picture) { return Add<FakePicture>(id, picture); }

port::WindowHost& FakePlatform::CreateWindow(const port::WindowOptions& options) {
  windows.push_back(std::make_unique<FakeWindowHost>(*this, options));
  return *windows.back();
}

void FakePlatform::RunModal(port::WindowHost& window) {
  modalRuns.push_back(&window);
  auto& host = static_cast<FakeWindowHost&>(window);
  if (on_run_modal) on_run_modal(host);
  host.RequestClose();
  host.Close();
}

FakeFileWatch::FakeFileWatch(FakePlatform& platform, std::string path, std::function<void()> onChange)
    : path(std::move(path)), onChange(std::move(onChange)), platform_(platform) {
  platform_.fileWatches.push_back(this);
}

FakeFileWatch::~FakeFileWatch() { std::erase(platform_.fileWatches, this); }

std::unique_ptr<port::FileWatch> FakePlatform::WatchFile(const std::string& path, std::function<void()> on_change) {
  return std::make_unique<FakeFileWatch>(*this, path, std::move(on_change));
}

void FakePlatform::ChangeFile(const std::string& path) {
  // Copied: a report may end a watch.
  std::vector<FakeFileWatch*> watches = fileWatches;
  for (FakeFileWatch* watch : watches) {
    if (watch->path == path && std::find(fileWatches.begin(), fileWatches.end(), watch) != fileWatches.end()) {
      watch->onChange();
    }
  }
}

std::vector<FakeWindowHost*> FakePlatform::LiveWindows() {
  std::vector<FakeWindowHost*> live;
  for (auto& w : windows) {
    if (!w->destroyed) live.push_back(w.get());
  }
  return live;
}

}  // namespace tavelo::fakes
