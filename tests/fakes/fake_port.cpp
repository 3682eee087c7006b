#include "fakes/fake_port.h"

namespace tavelo::fakes {

int FakeListView::InsertRow(int index, const std::string& column0) {
  if (index < 0 || index > RowCount()) index = RowCount();
  rows.insert(rows.begin() + index, Row{{column0}, false});
  return index;
}

void FakeListView::SetCell(int row, int column, const std::string& text) {
  if (row < 0 || row >= RowCount() || column < 0) return;
  auto& cells = rows[static_cast<size_t>(row)].cells;
  if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
  cells[static_cast<size_t>(column)] = text;
}

std::string FakeListView::Cell(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0) return "";
  const auto& cells = rows[static_cast<size_t>(row)].cells;
  return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : "";
}

void FakeListView::SelectRow(int row, bool selected) {
  if (row >= 0 && row < RowCount()) rows[static_cast<size_t>(row)].selected = selected;
}

bool FakeListView::IsSelected(int row) const {
  return row >= 0 && row < RowCount() && rows[static_cast<size_t>(row)].selected;
}

port::ListHit FakeListView::HitTest(Point client) const {
  port::ListHit hit;
  if (client.x < 0 || client.y < 0 || rowHeight <= 0) return hit;
  int row = client.y / rowHeight;
  if (row >= RowCount()) return hit;
  hit.row = row;
  int left = 0;
  for (size_t i = 0; i < widths.size(); ++i) {
    if (client.x < left + widths[i]) {
      hit.column = static_cast<int>(i);
      break;
    }
    left += widths[i];
  }
  return hit;
}

void FakeListView::Click(int row, int column) {
  if (row >= RowCount()) row = -1;
  for (int i = 0; i < RowCount(); ++i) rows[static_cast<size_t>(i)].selected = i == row;
  if (on_click) on_click({row, row < 0 ? -1 : column});
}

void FakeListView::DoubleClick(int row, int column) {
  if (row >= RowCount()) row = -1;
  if (on_double_click) on_double_click({row, row < 0 ? -1 : column});
}

Rect FakeWindowHost::WorkArea() const { return platform_.workArea; }

void FakeWindowHost::Place(Rect screen) {
  placement = screen;
  Size inner{screen.Width() - 2 * platform_.frameWidth, screen.Height() - platform_.titleHeight - platform_.frameWidth};
  if (!(inner == client)) Resize(inner);
}

void FakeWindowHost::Resize(Size size) {
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

void FakeWindowHost::RunPosted() {
  auto tasks = std::move(posted);
  posted.clear();
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
  b->text = text;
  return b;
}
port::FaceButton* FakeWindowHost::AddFaceButton(int id, const std::string& text) {
  auto* b = Add<FakeFaceButton>(id);
  b->text = text;
  return b;
}
port::InfoPanel* FakeWindowHost::AddInfoPanel(int id) { return Add<FakeInfoPanel>(id); }

port::WindowHost& FakePlatform::CreateWindow(const port::WindowOptions& options) {
  windows.push_back(std::make_unique<FakeWindowHost>(*this, options));
  return *windows.back();
}

std::vector<FakeWindowHost*> FakePlatform::LiveWindows() {
  std::vector<FakeWindowHost*> live;
  for (auto& w : windows) {
    if (!w->destroyed) live.push_back(w.get());
  }
  return live;
}

}  // namespace tavelo::fakes
