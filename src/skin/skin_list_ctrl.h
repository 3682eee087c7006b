#pragma once
// The owner-drawn report list of every window that lists videos or episodes.
// It holds the columns (title and width), the rows, the selection and the
// scroll position, answers which row and column lie under a point, and
// decides what a press does to the selection; skin_paint.h draws the header
// and one row from it. The toolkit only forwards presses and scroll changes.
// Client coordinates start at the top of the header row; the rows follow it.

#include <string>
#include <vector>

#include "port/controls.h"
#include "port/geometry.h"

namespace tavelo {

class SkinListCtrl {
 public:
  // Row styles, as the owning windows set them.
  static constexpr int kCatalogueRows = 212;
  static constexpr int kEpisodeRows = 21;
  static constexpr int kDefaultRowHeight = 18;
  // The header row of column titles; it scrolls sideways with the rows but
  // stays at the top.
  static constexpr int kHeaderHeight = 20;

  // Set once by the owning window, before rows are added.
  void SetColumnCount(int count) { columnCount_ = count; }
  void SetRowStyle(int style) { rowStyle_ = style; }
  int ColumnCount() const { return columnCount_; }
  int RowStyle() const { return rowStyle_; }

  void SetColumns(std::vector<port::ListColumn> columns);
  const std::vector<port::ListColumn>& Columns() const { return columns_; }
  // 0 and "" for columns that were not given.
  int ColumnWidth(int column) const;
  const std::string& ColumnTitle(int column) const;
  // Answer to the measure request; windows that want taller rows say so.
  // Rows are at least one pixel high.
  int RowHeight() const { return rowHeight_; }
  void SetRowHeight(int pixels) { rowHeight_ = pixels > 0 ? pixels : 1; }
  // The size of all rows and drawn columns together, header not counted.
  int ContentWidth() const;
  int ContentHeight() const { return RowCount() * rowHeight_; }
  // Where a row starts in client coordinates, scrolling counted.
  int RowTop(int row) const { return kHeaderHeight + row * rowHeight_ - scrollY_; }

  int InsertRow(int index, const std::string& column0);
  void SetCell(int row, int column, const std::string& text);
  // "" outside the rows or columns.
  const std::string& Cell(int row, int column) const;
  int RowCount() const { return static_cast<int>(rows_.size()); }
  void DeleteAllRows() { rows_.clear(); }
  void Select(int row, bool selected);
  // Makes a row the only selected one.
  void SelectOnly(int row);
  bool IsSelected(int row) const;
  // The first selected row from the top, or -1.
  int FirstSelectedRow() const;

  // How far the content is scrolled: columns move left by x, rows up by y.
  void SetScrollX(int x) { scrollX_ = x; }
  void SetScrollY(int y) { scrollY_ = y; }
  int ScrollX() const { return scrollX_; }
  int ScrollY() const { return scrollY_; }
  // The vertical scroll position that shows `row` whole in a view whose rows
  // area is `viewHeight` pixels tall, moving as little as possible.
  int ScrollYToShow(int row, int viewHeight) const;

  // The row and column under a point in client coordinates. Row -1 on the
  // header, left of or below the rows; column -1 right of the last drawn
  // column, and on the header.
  port::ListHit HitTest(Point client) const;
  // A press of the left button, as a report view takes it: the row under
  // the pointer becomes the only selected row, while a press that hits no
  // row leaves the selection as it is. Returns where the press landed.
  port::ListHit Press(Point client);

  // The keys that move the selection of a list that has the keyboard focus.
  enum class Key { kUp, kDown, kHome, kEnd, kPageUp, kPageDown };
  // The row the key leads to from the first selected one becomes the only
  // selected row; a page is the rows that fit whole in `viewHeight` pixels,
  // at least one. Without a selection End selects the last row, any other
  // key the first. Returns the row with column -1, as a click on the row
  // away from its cells' actions lands; row -1 for an empty list.
  port::ListHit MoveSelection(Key key, int viewHeight);
  // What a screen reader says for a row: the first line of each drawn
  // column's text, joined by spaces (GBK).
  std::string RowText(int row) const;

 private:
  struct Row {
    std::vector<std::string> cells;
    bool selected = false;
  };
  bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }

  int columnCount_ = 0;
  int rowStyle_ = 0;
  int rowHeight_ = kDefaultRowHeight;
  int scrollX_ = 0;
  int scrollY_ = 0;
  std::vector<port::ListColumn> columns_;
  std::vector<Row> rows_;
};

}  // namespace tavelo
