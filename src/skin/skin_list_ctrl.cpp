#include "skin/skin_list_ctrl.h"

#include <algorithm>

namespace tavelo {

int SkinListCtrl::ColumnWidth(int column) const {
  if (column < 0 || column >= static_cast<int>(columns_.size())) return 0;
  return columns_[static_cast<size_t>(column)].width;
}

const std::string& SkinListCtrl::ColumnTitle(int column) const {
  static const std::string kNone;
  if (column < 0 || column >= static_cast<int>(columns_.size())) return kNone;
  return columns_[static_cast<size_t>(column)].title;
}

void SkinListCtrl::SetColumns(std::vector<port::ListColumn> columns) {
  // A window that never set a column count draws every column it gave.
  if (columnCount_ == 0) columnCount_ = static_cast<int>(columns.size());
  columns_ = std::move(columns);
}

int SkinListCtrl::ContentWidth() const {
  int width = 0;
  for (int i = 0; i < columnCount_; ++i) width += ColumnWidth(i);
  return width;
}

int SkinListCtrl::InsertRow(int index, const std::string& column0) {
  if (index < 0 || index > RowCount()) index = RowCount();
  Row row;
  row.cells.push_back(column0);
  rows_.insert(rows_.begin() + index, std::move(row));
  return index;
}

void SkinListCtrl::SetCell(int row, int column, const std::string& text) {
  if (!ValidRow(row) || column < 0) return;
  std::vector<std::string>& cells = rows_[static_cast<size_t>(row)].cells;
  if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
  cells[static_cast<size_t>(column)] = text;
}

const std::string& SkinListCtrl::Cell(int row, int column) const {
  static const std::string kEmpty;
  if (!ValidRow(row) || column < 0) return kEmpty;
  const std::vector<std::string>& cells = rows_[static_cast<size_t>(row)].cells;
  if (static_cast<size_t>(column) >= cells.size()) return kEmpty;
  return cells[static_cast<size_t>(column)];
}

void SkinListCtrl::Select(int row, bool selected) {
  if (ValidRow(row)) rows_[static_cast<size_t>(row)].selected = selected;
}

bool SkinListCtrl::IsSelected(int row) const { return ValidRow(row) && rows_[static_cast<size_t>(row)].selected; }

int SkinListCtrl::FirstSelectedRow() const {
  for (int i = 0; i < RowCount(); ++i) {
    if (rows_[static_cast<size_t>(i)].selected) return i;
  }
  return -1;
}

int SkinListCtrl::ScrollYToShow(int row, int viewHeight) const {
  if (!ValidRow(row)) return scrollY_;
  int top = row * rowHeight_;
  int bottom = top + rowHeight_;
  // A row taller than the view shows its top.
  if (top < scrollY_ || rowHeight_ > viewHeight) return top;
  if (bottom > scrollY_ + viewHeight) return bottom - viewHeight;
  return scrollY_;
}

port::ListHit SkinListCtrl::HitTest(Point client) const {
  port::ListHit hit;
  if (client.y < kHeaderHeight) return hit;
  int x = client.x + scrollX_;
  int y = client.y - kHeaderHeight + scrollY_;
  if (x < 0 || y < 0) return hit;
  int row = y / rowHeight_;
  if (row >= RowCount()) return hit;
  hit.row = row;
  int left = 0;
  for (int i = 0; i < columnCount_; ++i) {
    int right = left + ColumnWidth(i);
    if (x < right) {
      hit.column = i;
      break;
    }
    left = right;
  }
  return hit;
}

void SkinListCtrl::SelectOnly(int row) {
  if (!ValidRow(row)) return;
  for (Row& each : rows_) each.selected = false;
  rows_[static_cast<size_t>(row)].selected = true;
}

port::ListHit SkinListCtrl::Press(Point client) {
  port::ListHit hit = HitTest(client);
  if (hit.row >= 0) SelectOnly(hit.row);
  return hit;
}

port::ListHit SkinListCtrl::MoveSelection(Key key, int viewHeight) {
  port::ListHit hit;
  if (RowCount() == 0) return hit;
  const int last = RowCount() - 1;
  const int from = FirstSelectedRow();
  const int page = std::max(viewHeight / rowHeight_, 1);
  int to = key == Key::kEnd ? last : 0;
  if (from >= 0) {
    switch (key) {
      case Key::kUp: to = from - 1; break;
      case Key::kDown: to = from + 1; break;
      case Key::kPageUp: to = from - page; break;
      case Key::kPageDown: to = from + page; break;
      case Key::kHome:
      case Key::kEnd: break;
    }
  }
  hit.row = std::clamp(to, 0, last);
  SelectOnly(hit.row);
  return hit;
}

std::string SkinListCtrl::RowText(int row) const {
  std::string text;
  for (int column = 0; column < columnCount_; ++column) {
    if (ColumnWidth(column) <= 0) continue;
    const std::string& cell = Cell(row, column);
    const std::string line = cell.substr(0, cell.find('\n'));
    if (line.empty()) continue;
    if (!text.empty()) text += ' ';
    text += line;
  }
  return text;
}

}  // namespace tavelo
