#include "playback/select_open_window.h"

#include "browser/command_protocol.h"
#include "playback/episode_list_view.h"
#include "playback/player_page.h"
#include "text/encoding.h"

namespace tavelo {

namespace {

constexpr std::array<int, 3> kColumnWidths = {300, 70, 20};

}  // namespace

SelectOpenWindow::SelectOpenWindow(const WindowSet::Slot& slot, port::WindowHost& owner, const std::string& title,
                                   const std::vector<EpisodeRow>& rows, const EpisodeFiles& files)
    : OwnedWindow(slot, port::WindowOptions{.taskbarButton = false, .owner = &owner}),
      title_(title),
      files_(files),
      list_(Host().AddList(kListId)) {
  port::WindowHost& host = Host();
  SetUpEpisodeList(*list_, kColumnWidths);
  list_->on_click = [this](port::ListHit hit) { OnListClick(hit, false); };
  list_->on_double_click = [this](port::ListHit hit) { OnListClick(hit, true); };
  host.on_resize = [this](Size) { Layout(); };
  host.on_key = [](port::Key key, port::Modifiers) { return key == port::Key::kEscape || key == port::Key::kEnter; };

  Rect work = host.WorkArea();
  host.Place(Rect::FromSize((work.right - kWidth) / 2, (work.bottom - kHeight) / 2, kWidth, kHeight));
  host.SetCaption(title_ + Gbk(" 视频列表"));
  layoutReady_ = true;
  Layout();
  host.Show();
  // A copy: later changes of the play window's list are not seen here.
  FillEpisodeList(*list_, rows);
}

SelectOpenWindow::~SelectOpenWindow() {
  if (on_gone) on_gone();
}

void SelectOpenWindow::Layout() {
  if (!layoutReady_) return;
  Size client = Host().ClientSize();
  list_->SetBounds(Rect::FromSize(0, 0, client.width, client.height));
}

void SelectOpenWindow::OnListClick(port::ListHit hit, bool doubleClick) {
  const int row = list_->FirstSelectedRow();
  if (row < 0) return;
  if (!doubleClick && (hit.row < 0 || hit.column != kPlayColumn)) return;
  LaunchEpisode(list_->Cell(row, kLabelColumn), list_->Cell(row, kAddressColumn));
}

void SelectOpenWindow::LaunchEpisode(const std::string& label, const std::string& address) {
  files_.SaveLastPlayed(address);
  Platform().StartProcess(RelaunchArguments(HandOffPayload(address, title_, label)));
}

}  // namespace tavelo
