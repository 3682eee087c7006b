#include "windows/personal_list_window.h"

#include <algorithm>

#include "catalogue/progress_store.h"
#include "catalogue/record_list.h"
#include "skin/skin_list_ctrl.h"
#include "text/encoding.h"
#include "text/splitters.h"

namespace tavelo {

namespace {

constexpr int kRightOffset = 520;
constexpr int kNarrowLeft = 100;
constexpr int kTop = 20;
constexpr int kRightMargin = 10;
constexpr int kBottomMargin = 40;
constexpr int kPanelHeight = 44;
constexpr int kPanelGap = 47;
// The rows are as tall as the 56-pixel pictures of the list's image list.
constexpr int kRowHeight = 56;

struct ListTexts {
  const char* caption;
  const char* deleteHeader;
  const char* deleteCell;
};

ListTexts TextsOf(PersonalListKind kind) {
  if (kind == PersonalListKind::kFavourites) return {"我的视频收藏管理", "删除收藏", "删除收藏"};
  return {"视频观看历史记录管理", "删除记录", "删除历史"};
}

}  // namespace

Rect PersonalListPlacement(Rect workArea) {
  int left = workArea.right - kRightOffset;
  if (left < 0) left = kNarrowLeft;
  // A work area too small for the window still gets one of some size.
  const int width = std::max(1, workArea.right - left - kRightMargin);
  const int height = std::max(1, workArea.bottom - kBottomMargin);
  return Rect::FromSize(left, kTop, width, height);
}

PersonalListWindow::PersonalListWindow(const WindowSet::Slot& slot, PersonalListKind kind, CommandTarget& commands)
    : OwnedWindow(slot, port::WindowOptions{}), kind_(kind), commands_(commands) {
  port::WindowHost& host = Host();
  host.SetCaption(Gbk(TextsOf(kind_).caption));
  list_ = host.AddList(kList);
  std::vector<port::ListColumn> columns = {{Gbk("分 类"), 48},
                                           {Gbk("视频名称"), 270},
                                           {Gbk("播放视频"), 80},
                                           {Gbk(TextsOf(kind_).deleteHeader), 80}};
  if (kind_ == PersonalListKind::kHistory) columns.push_back({Gbk("进度"), 150});
  list_->SetSkin({.columnCount = static_cast<int>(columns.size()), .rowStyle = SkinListCtrl::kCatalogueRows});
  list_->SetColumns(columns);
  list_->SetRowHeight(kRowHeight);
  list_->on_click = [this](port::ListHit hit) { OnListClick(hit); };
  list_->on_double_click = [this](port::ListHit) { OnListDoubleClick(); };
  list_->on_delete = [this](int row) { Delete(list_->Cell(row, kInfoColumn)); };
  panel_ = host.AddInfoPanel(kInfoPanel);
  panel_->on_click = [this] { SearchFromPanel(); };

  host.on_resize = [this](Size) { Layout(); };
  host.on_timer = [this](int id) {
    if (id != kReloadTimer) return;
    Host().KillTimer(kReloadTimer);
    if (ReloadMustWait()) {
      Host().StartTimer(kReloadTimer, kReloadRetry);
      return;
    }
    Reload();
  };
  // Neither key may close the window.
  host.on_key = [](port::Key key, port::Modifiers) { return key == port::Key::kEnter || key == port::Key::kEscape; };
  host.on_close_request = [&host] {
    host.Hide();
    host.Close();
  };
  watch_ = Platform().WatchFile(PersonalListPath(Paths(), kind_),
                                [this] { Host().StartTimer(kReloadTimer, kReloadDelay); });
  if (kind_ == PersonalListKind::kHistory) {
    progressWatch_ =
        Platform().WatchFile(Paths().Progress(), [this] { Host().StartTimer(kReloadTimer, kReloadDelay); });
  }
}

void PersonalListWindow::ShowList() {
  port::WindowHost& host = Host();
  host.Place(PersonalListPlacement(host.WorkArea()));
  layoutReady_ = true;
  Layout();
  host.Show();
  Reload();
}

void PersonalListWindow::Layout() {
  if (!layoutReady_) return;
  const Size client = Host().ClientSize();
  panel_->SetBounds(Rect{0, client.height - kPanelHeight, client.width, client.height});
  list_->SetBounds(Rect{0, 0, client.width, client.height - kPanelGap});
}

void PersonalListWindow::Reload() {
  const int selected = list_->FirstSelectedRow();
  const std::string selectedInfo = selected >= 0 ? list_->Cell(selected, kInfoColumn) : "";
  list_->DeleteAllRows();

  // Read without the lock: a save replaces the file whole, so this sees one version.
  RecordList records;
  records.LoadPersonalList(PersonalListPath(Paths(), kind_));
  const std::string play = Gbk("播放视频");
  const std::string remove = Gbk(TextsOf(kind_).deleteCell);
  // An unreadable store shows no progress; the play windows say why.
  std::vector<EpisodeProgress> progress;
  if (kind_ == PersonalListKind::kHistory) progress = LoadProgress(Paths().Progress()).value_or(progress);
  int row = 0;
  int reselect = -1;
  for (int i = records.Count() - 1; i >= 0; --i) {
    const VideoRecord& record = records[i];
    if (RecordList::IsDeleted(record)) continue;
    const std::string info = UnescapeListField(record.fields[1]);
    list_->InsertRow(row, UnescapeListField(record.fields[0]));
    list_->SetCell(row, kInfoColumn, info);
    list_->SetCell(row, kPlayColumn, play);
    list_->SetCell(row, kDeleteColumn, remove);
    if (kind_ == PersonalListKind::kHistory) {
      FieldList lines;
      lines.Split(info, '\n');
      const EpisodeProgress* latest = FindVideoProgress(progress, lines[1]);
      list_->SetCell(row, kProgressColumn, latest ? ProgressSummary(*latest) : "");
    }
    if (reselect < 0 && selected >= 0 && info == selectedInfo) reselect = row;
    ++row;
  }
  if (reselect >= 0) {
    list_->SelectRow(reselect, true);
    list_->EnsureVisible(reselect);
  }
}

bool PersonalListWindow::ReloadMustWait() {
  // Never during a press: the release would land on another row.
  if (Platform().MouseButtonDown()) {
    restingTicks_ = 0;
    return true;
  }
  const Point pointer = list_->CursorPos();
  const Rect bounds = list_->Bounds();
  if (pointer.x < 0 || pointer.y < 0 || pointer.x >= bounds.Width() || pointer.y >= bounds.Height()) return false;
  const bool still = pointer.x == lastPointer_.x && pointer.y == lastPointer_.y;
  restingTicks_ = still ? restingTicks_ + 1 : 0;
  lastPointer_ = pointer;
  return restingTicks_ < kRestTicks;
}

void PersonalListWindow::OnListClick(port::ListHit hit) {
  const int row = list_->FirstSelectedRow();
  if (row < 0) return;
  const std::string info = list_->Cell(row, kInfoColumn);
  if (hit.row >= 0 && hit.column == kPlayColumn) {
    OpenRow(row);
  } else if (hit.row >= 0 && hit.column == kDeleteColumn) {
    Delete(info);
  }
  panel_->ShowRecordInfoCompact(info);
}

void PersonalListWindow::OnListDoubleClick() {
  const int row = list_->FirstSelectedRow();
  if (row >= 0) OpenRow(row);
}

void PersonalListWindow::OpenRow(int row) {
  commands_.OpenVideo(list_->Cell(row, kCategoryColumn), list_->Cell(row, kInfoColumn),
                      list_->Cell(row, kPlayColumn));
}

void PersonalListWindow::Delete(const std::string& info) {
  const ListEdit edit = DeleteFromPersonalList(Paths(), kind_, info);
  // The rows follow the file: the video's row goes, and so do rows that
  // another window took out meanwhile.
  Reload();
  Platform().MessageBox(&Host(), DeletionMessage(edit, PersonalListPath(Paths(), kind_)), Host().Caption());
}

void PersonalListWindow::SearchFromPanel() {
  const std::string word = panel_->WordAtCursor();
  if (!word.empty()) commands_.OpenSearch(word);
}

PersonalListWindow& OpenPersonalListWindow(WindowSet& windows, PersonalListKind kind, CommandTarget& commands) {
  PersonalListWindow& window = windows.Open<PersonalListWindow>(kind, commands);
  window.ShowList();
  return window;
}

}  // namespace tavelo
