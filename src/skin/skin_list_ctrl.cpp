#include "skin/skin_list_ctrl.h"

namespace tavelo {

int SkinListCtrl::ColumnWidth(int column) const {
  if (column < 0 || column >= static_cast<int>(widths_.size())) return 0;
  return widths_[static_cast<size_t>(column)];
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

}  // namespace tavelo
