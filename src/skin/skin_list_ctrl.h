#pragma once
// The owner-drawn report list of every window that lists videos or episodes.
// It holds the rows, the column widths, the selection and the horizontal
// scroll position; skin_paint.h draws one row from them.

#include <string>
#include <vector>

namespace tavelo {

class SkinListCtrl {
 public:
  static constexpr int kCatalogueRows = 212;
  static constexpr int kEpisodeRows = 21;
  static constexpr int kDefaultRowHeight = 18;

  // Set once by the owning window, before rows are added.
  void SetColumnCount(int count) { columnCount_ = count; }
  void SetRowStyle(int style) { rowStyle_ = style; }
  void SetThirdSetting(int value) { thirdSetting_ = value; }
  int ColumnCount() const { return columnCount_; }
  int RowStyle() const { return rowStyle_; }

  void SetColumnWidths(std::vector<int> widths) { widths_ = std::move(widths); }
  // 0 for columns that have no width.
  int ColumnWidth(int column) const;

  // Answer to the measure request; windows that want taller rows say so.
  int RowHeight() const { return rowHeight_; }
  void SetRowHeight(int pixels) { rowHeight_ = pixels; }

  int InsertRow(int index, const std::string& column0);
  void SetCell(int row, int column, const std::string& text);
  // "" outside the rows or columns.
  const std::string& Cell(int row, int column) const;
  int RowCount() const { return static_cast<int>(rows_.size()); }
  void DeleteAllRows() { rows_.clear(); }

  void Select(int row, bool selected);
  bool IsSelected(int row) const;
  // The first selected row from the top, or -1.
  int FirstSelectedRow() const;

  void SetScrollX(int x) { scrollX_ = x; }
  int ScrollX() const { return scrollX_; }

 private:
  struct Row {
    std::vector<std::string> cells;
    bool selected = false;
  };
  bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }

  int columnCount_ = 0;
  int rowStyle_ = 0;
  int thirdSetting_ = 0;
  int rowHeight_ = kDefaultRowHeight;
  int scrollX_ = 0;
  std::vector<int> widths_;
  std::vector<Row> rows_;
};

}  // namespace tavelo
