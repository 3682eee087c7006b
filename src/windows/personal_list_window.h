#pragma once
// The favourites window ("我的视频收藏管理") and the history window
// ("视频观看历史记录管理"): a tall, narrow window at the right of the work
// area listing the user's list newest first, with a play and a delete column
// and an information panel. One class serves both; they differ in the list
// and in the delete column's text. Any number may be open. Each follows its
// list file, so what another window or process saves shows within a second.

#include <memory>
#include <string>

#include "browser/command_protocol.h"
#include "browser/window_set.h"
#include "catalogue/personal_lists.h"

namespace tavelo {

// Where the window opens: 520 pixels in from the work area's right edge
// (100 from the screen's left when that is less than nothing), 20 from the
// top, reaching to 10 pixels short of the right edge and 40 of the bottom.
Rect PersonalListPlacement(Rect workArea);

class PersonalListWindow : public OwnedWindow {
 public:
  enum ControlId { kList = 1021, kInfoPanel = 1026 };
  // The history alone has kProgressColumn: where the user stopped in the
  // video's most recent episode.
  enum Column { kCategoryColumn = 0, kInfoColumn = 1, kPlayColumn = 2, kDeleteColumn = 3, kProgressColumn = 4 };
  static constexpr int kReloadTimer = 1;
  // Saves come in bursts (a temporary file, then the rename): the list is
  // read again once they are over.
  static constexpr int kReloadDelay = 200;
  // A reload that would move rows under the pointer waits, looking again
  // this often, until the pointer leaves the list or rests there for
  // kRestTicks looks and no button is held.
  static constexpr int kReloadRetry = 250;
  static constexpr int kRestTicks = 4;

  // Made hidden; ShowList places, shows and fills it. The list is the one
  // in the set's program folder; videos open and words are searched through
  // `commands`.
  PersonalListWindow(const WindowSet::Slot& slot, PersonalListKind kind, CommandTarget& commands);

  void ShowList();

 private:
  void Layout();
  // Fills the rows from the list file, keeping the selected video selected
  // when it is still there.
  void Reload();
  // Whether a reload now could put another video under the user's click.
  bool ReloadMustWait();
  void OnListClick(port::ListHit hit);
  void OnListDoubleClick();
  void SearchFromPanel();
  void Delete(const std::string& info);
  void OpenRow(int row);

  const PersonalListKind kind_;
  CommandTarget& commands_;
  port::ListView* list_;
  port::InfoPanel* panel_;
  bool layoutReady_ = false;
  std::unique_ptr<port::FileWatch> watch_;
  std::unique_ptr<port::FileWatch> progressWatch_;
  // Where the pointer was at the last look, and for how many looks.
  Point lastPointer_{-1, -1};
  int restingTicks_ = 0;
};

// A new favourites or history window, shown with its list.
PersonalListWindow& OpenPersonalListWindow(WindowSet& windows, PersonalListKind kind, CommandTarget& commands);

}  // namespace tavelo
