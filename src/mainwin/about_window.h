#pragma once
// The small modal box with the product name and version, the program's path
// and the record counts of the loaded data.

#include <string>

#include "browser/window_set.h"

namespace tavelo {

struct AboutCounts {
  int catalogueRecords = 0;
  int newVideos = 0;
  int newP2p = 0;
};

class AboutWindow : public OwnedWindow {
 public:
  static constexpr int kVersionId = 1012;
  static constexpr int kPathId = 1013;
  static constexpr int kCountsId = 1022;
  static constexpr int kOkId = 1;
  static constexpr int kFirstNoticeId = 1030;
  // The box's icon has no id of its own.
  static constexpr int kIconId = -1;
  static constexpr int kIconPicture = 128;

  // Shown at once.
  AboutWindow(const WindowSet::Slot& slot, const std::string& programPath, const AboutCounts& counts);
};

// "Tavelo(Tavelo视频播放器) Ver" + the product version + " 正式版", in GBK.
std::string VersionLine();
// The three record counts, each with what it counts, in GBK.
std::string CountsLine(const AboutCounts& counts);
// Opens the box and returns when the user has closed it.
void ShowAboutWindow(WindowSet& windows, const AboutCounts& counts);

}  // namespace tavelo
