#include "mainwin/about_window.h"

#include "base/program_paths.h"
#include "mainwin/first_run_setup.h"
#include "text/encoding.h"

namespace tavelo {

std::string VersionLine() {
  // The build passes the project's version, which the package and the
  // manual pages carry too.
  return Gbk(kProductCaption) + " Ver" + TAVELO_VERSION + Gbk(" 正式版");
}

std::string CountsLine(const AboutCounts& counts) {
  return Gbk("视频总数 ") + std::to_string(counts.catalogueRecords) + Gbk("  新视频 ") +
         std::to_string(counts.newVideos) + Gbk("  新P2P资源 ") + std::to_string(counts.newP2p);
}

AboutWindow::AboutWindow(const WindowSet::Slot& slot, const std::string& programPath, const AboutCounts& counts)
    : OwnedWindow(slot, port::WindowOptions{.modal = true, .taskbarButton = false, .resizable = false}) {
  port::WindowHost& host = Host();
  host.SetCaption(Gbk("关于 ") + Gbk(kProductCaption));
  Rect work = host.WorkArea();
  Rect box = DialogUnits(0, 0, 303, 134);
  host.Place(Rect::FromSize(work.left + (work.Width() - box.Width()) / 2,
                            work.top + (work.Height() - box.Height()) / 2, box.Width(), box.Height()));

  host.AddPicture(kIconId, kIconPicture)->SetBounds(DialogUnits(7, 7, 21, 21));
  host.AddStatic(kVersionId, VersionLine())->SetBounds(DialogUnits(40, 7, 198, 8));
  const char* notices[] = {"本软件仅供学习交流，视频版权归原作者所有。",
                           "内容来自目录服务器，本软件不存储任何视频。",
                           "问题与建议请使用主窗口的“问题报告”。"};
  for (int i = 0; i < 3; ++i) {
    host.AddStatic(kFirstNoticeId + i, Gbk(notices[i]))->SetBounds(DialogUnits(40, 21 + 13 * i, 198, 8));
  }
  host.AddStatic(kPathId, programPath)->SetBounds(DialogUnits(40, 60, 198, 57));
  host.AddStatic(kCountsId, CountsLine(counts))->SetBounds(DialogUnits(40, 119, 198, 8));

  port::Button* ok = host.AddButton(kOkId, Gbk("确定"));
  ok->SetBounds(DialogUnits(246, 7, 50, 20));
  ok->on_click = [&host] { host.Close(); };
  host.on_key = [](port::Key key, port::Modifiers) { return key == port::Key::kEscape; };
  host.on_close_request = [&host] { host.Close(); };
  host.Show();
}

void ShowAboutWindow(WindowSet& windows, const AboutCounts& counts) {
  windows.RunUntilClosed(windows.Open<AboutWindow>(ModuleFilePath(), counts));
}

}  // namespace tavelo
