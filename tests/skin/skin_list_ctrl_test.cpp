#include "skin/skin_list_ctrl.h"

#include <gtest/gtest.h>

namespace tavelo {
namespace {

// Catalogue rows as the main window sets them up: four columns 50, 330, 80
// and 80 wide (540 in all), rows 56 pixels high under the 20-pixel header.
SkinListCtrl CatalogueList(int rows) {
  SkinListCtrl list;
  list.SetColumnCount(4);
  list.SetRowStyle(SkinListCtrl::kCatalogueRows);
  list.SetColumns({{"a", 50}, {"b", 330}, {"c", 80}, {"d", 80}});
  list.SetRowHeight(56);
  for (int i = 0; i < rows; ++i) list.InsertRow(i, "r" + std::to_string(i));
  return list;
}

struct HitCase {
  Point point;
  int row, column;
};

void ExpectHits(const SkinListCtrl& list, const std::vector<HitCase>& cases) {
  for (const HitCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.point.x << "," << c.point.y << ")");
    port::ListHit hit = list.HitTest(c.point);
    EXPECT_EQ(hit.row, c.row);
    EXPECT_EQ(hit.column, c.column);
  }
}

TEST(SkinListCtrlTest, FirstSelectedRowAndCells) {
  SkinListCtrl list;
  EXPECT_EQ(list.FirstSelectedRow(), -1);
  for (int i = 0; i < 4; ++i) list.InsertRow(i, "r" + std::to_string(i));
  EXPECT_EQ(list.FirstSelectedRow(), -1);
  list.Select(3, true);
  list.Select(1, true);
  EXPECT_EQ(list.FirstSelectedRow(), 1);
  list.Select(1, false);
  EXPECT_EQ(list.FirstSelectedRow(), 3);
  list.Select(9, true);  // out of range: ignored
  EXPECT_EQ(list.Cell(9, 0), "");
  list.SetCell(2, 3, "x");
  EXPECT_EQ(list.Cell(2, 3), "x");
  EXPECT_EQ(list.Cell(2, 2), "");
  list.InsertRow(0, "top");
  EXPECT_EQ(list.Cell(0, 0), "top");
  EXPECT_EQ(list.FirstSelectedRow(), 4);
}

TEST(SkinListCtrlTest, HitTestFindsRowAndColumnFromRowHeightAndWidths) {
  SkinListCtrl list = CatalogueList(3);
  ExpectHits(list, {
                       {{0, 0}, -1, -1},     // the header is no row
                       {{470, 19}, -1, -1},  // last header line
                       {{0, 20}, 0, 0},
                       {{49, 75}, 0, 0},
                       {{50, 76}, 1, 1},
                       {{400, 90}, 1, 2},   // "play" of row 1
                       {{470, 30}, 0, 3},   // "add to favourites" of row 0
                       {{539, 187}, 2, 3},  // last pixel of the last cell
                       {{540, 30}, 0, -1},  // right of the last column: a row, no column
                       {{400, 188}, -1, -1},  // below the last row
                       {{-1, 30}, -1, -1},
                       {{10, -1}, -1, -1},
                   });
  EXPECT_EQ(list.RowTop(2), 20 + 112);
}

TEST(SkinListCtrlTest, HitTestCountsTheScrolledOffRowsAndColumns) {
  SkinListCtrl list = CatalogueList(40);
  list.SetScrollY(1436);  // row 25 starts at 1400
  list.SetScrollX(30);
  ExpectHits(list, {
                       {{0, 20}, 25, 0},    // content (30, 1436)
                       {{20, 40}, 26, 1},   // content (50, 1456)
                       {{20, 10}, -1, -1},  // the header stays on top of the scrolled rows
                       {{-31, 20}, -1, -1},  // left of the content
                       {{10, 824}, -1, -1},  // content y 2240: past row 39
                   });
  EXPECT_EQ(list.RowTop(25), 20 - 36);
}

TEST(SkinListCtrlTest, PressSelectsTheRowHitAndAMissLeavesTheSelection) {
  SkinListCtrl list = CatalogueList(3);
  list.Select(0, true);
  list.Select(2, true);

  port::ListHit hit = list.Press({400, 90});
  EXPECT_EQ(hit.row, 1);
  EXPECT_EQ(hit.column, 2);
  EXPECT_FALSE(list.IsSelected(0));
  EXPECT_TRUE(list.IsSelected(1));
  EXPECT_FALSE(list.IsSelected(2));

  // Below the last row: no row, and the row stays selected.
  hit = list.Press({400, 270});
  EXPECT_EQ(hit.row, -1);
  EXPECT_EQ(list.FirstSelectedRow(), 1);

  // Right of the columns still selects the row.
  hit = list.Press({600, 140});
  EXPECT_EQ(hit.row, 2);
  EXPECT_EQ(hit.column, -1);
  EXPECT_EQ(list.FirstSelectedRow(), 2);

  // A press on the header changes nothing.
  hit = list.Press({60, 5});
  EXPECT_EQ(hit.row, -1);
  EXPECT_EQ(list.FirstSelectedRow(), 2);

  SkinListCtrl empty;
  EXPECT_EQ(empty.Press({0, 30}).row, -1);
}

TEST(SkinListCtrlTest, ScrollYToShowMovesAsLittleAsPossible) {
  SkinListCtrl list = CatalogueList(40);
  struct Case {
    int scrollY, row, view, expected;
  } cases[] = {
      {0, 30, 300, 30 * 56 + 56 - 300},  // below: the row ends at the bottom
      {1436, 2, 300, 112},                // above: the row starts at the top
      {100, 2, 300, 100},                 // already whole in view
      {100, 40, 300, 100},                // no such row
      {100, -1, 300, 100},
      {0, 3, 40, 168},  // a row taller than the view shows its top
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << " from " << c.scrollY);
    list.SetScrollY(c.scrollY);
    EXPECT_EQ(list.ScrollYToShow(c.row, c.view), c.expected);
  }
}

// A row's spoken text: the first line of each drawn column, skipping empty
// cells and the columns beyond the count (the episodes' hidden address).
TEST(SkinListCtrlTest, RowTextJoinsTheFirstLinesOfTheDrawnColumns) {
  SkinListCtrl list = CatalogueList(1);
  list.SetCell(0, 1, "title\nsecond line");
  list.SetCell(0, 3, "play");
  list.SetCell(0, 4, "http://hidden");
  EXPECT_EQ(list.RowText(0), "r0 title play");
  EXPECT_EQ(list.RowText(1), "");
}

TEST(SkinListCtrlTest, GeometryFallbacks) {
  SkinListCtrl list;
  // Without a column count the list draws every column it was given.
  list.SetColumns({{"x", 10}, {"y", 20}});
  EXPECT_EQ(list.ColumnCount(), 2);
  EXPECT_EQ(list.ContentWidth(), 30);
  EXPECT_EQ(list.ColumnTitle(1), "y");
  EXPECT_EQ(list.ColumnTitle(2), "");
  EXPECT_EQ(list.ColumnWidth(-1), 0);
  // A set count stays, and only its columns count.
  SkinListCtrl counted = CatalogueList(2);
  counted.SetColumns({{"", 10}, {"", 20}, {"", 30}, {"", 40}, {"", 50}});
  EXPECT_EQ(counted.ColumnCount(), 4);
  EXPECT_EQ(counted.ContentWidth(), 100);
  EXPECT_EQ(counted.ContentHeight(), 112);
  // A row height of 0 would divide by zero in every hit test.
  counted.SetRowHeight(0);
  EXPECT_EQ(counted.RowHeight(), 1);
  EXPECT_EQ(counted.HitTest({5, 21}).row, 1);
}

}  // namespace
}  // namespace tavelo
