#include "playback/episode_list_view.h"

#include "skin/skin_list_ctrl.h"
#include "text/encoding.h"

namespace tavelo {

void SetUpEpisodeList(port::ListView& list, const std::array<int, 3>& widths) {
  list.SetSkin({.columnCount = 3, .rowStyle = SkinListCtrl::kEpisodeRows});
  list.SetColumns({{Gbk("视频列表"), widths[kLabelColumn]},
                   {Gbk("播放"), widths[kPlayColumn]},
                   {" ", widths[kAddressColumn]}});
  list.SetRowHeight(SkinListCtrl::kDefaultRowHeight);
}

void FillEpisodeList(port::ListView& list, const std::vector<EpisodeRow>& rows) {
  list.DeleteAllRows();
  for (const EpisodeRow& row : rows) {
    int index = list.InsertRow(list.RowCount(), row.Column(kLabelColumn));
    list.SetCell(index, kPlayColumn, row.Column(kPlayColumn));
    list.SetCell(index, kAddressColumn, row.Column(kAddressColumn));
  }
}

std::vector<EpisodeRow> EpisodeListRows(const port::ListView& list) {
  std::vector<EpisodeRow> rows;
  for (int row = 0; row < list.RowCount(); ++row) {
    rows.push_back({list.Cell(row, kLabelColumn), list.Cell(row, kAddressColumn)});
  }
  return rows;
}

}  // namespace tavelo
