#include "skin/skin_list_ctrl.h"

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

port::ListHit SkinListCtrl::Press(Point client) {
  port::ListHit hit = HitTest(client);
  if (hit.row < 0) return hit;
  for (Row& row : rows_) row.selected = false;
  rows_[static_cast<size_t>(hit.row)].selected = true;
  return hit;
}

}  // namespace tavelo
