#pragma once
// The small modal box with the product name and version, the program's path
// and the record counts of the loaded data.

#include <string>

#include "port/window_host.h"

namespace tavelo {

struct AboutCounts {
  int catalogueRecords = 0;
  int newVideos = 0;
  int newP2p = 0;
};

class AboutWindow {
 public:
  static constexpr int kVersionId = 1012;
  static constexpr int kPathId = 1013;
  static constexpr int kCountsId = 1022;
  static constexpr int kOkId = 1;
  static constexpr int kFirstNoticeId = 1030;

  // Shown at once; deletes itself when its window is destroyed.
  static AboutWindow& Create(port::Platform& platform, const std::string& programPath,
                             const AboutCounts& counts);
  port::WindowHost& Host() { return host_; }

 private:
  AboutWindow(port::Platform& platform, const std::string& programPath, const AboutCounts& counts);
  ~AboutWindow() = default;

  port::WindowHost& host_;
};

// "Tavelo(Tavelo视频播放器) Ver1.08 正式版", in GBK.
std::string VersionLine();
// Opens the box and returns when the user has closed it.
void ShowAboutWindow(port::Platform& platform, const AboutCounts& counts);

}  // namespace tavelo
