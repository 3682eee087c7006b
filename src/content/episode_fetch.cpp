#include "content/episode_fetch.h"

#include <cstring>

#include "content/episode_cache.h"
#include "net/http_downloader.h"
#include "text/encoding.h"
#include "text/gbk_text.h"
#include "text/page_normalizer.h"

namespace tavelo {

std::string FetchingStatusText() { return Gbk("正在获取数据...."); }

std::string FetchFailedMessage() { return Gbk("获取数据失败,请选择其它搜索结果获取数据"); }

std::string ReadyPageText(std::string_view lastLabel) {
  std::string text = Gbk("获取完成,请点击右侧选择播放视频");
  if (lastLabel.empty()) return text;
  std::string shown = ReplaceAll(ReplaceAll(lastLabel, "<", "&lt;"), ">", "&gt;");
  return text + Gbk("<br><br><font color=green>上次己播放的视频:") + shown + "</font>";
}

namespace {

// What follows the scrape: the cache kept or restored, the last episode found.
EpisodeFetchResult FinishScrapedFetch(EpisodeList& list, std::string_view pageAddress, const ProgramPaths& paths) {
  const EpisodeFiles files(paths, pageAddress);
  if (list.Empty()) {
    files.LoadList(list);
  } else {
    // A cache that cannot be written is no reason to withhold the rows.
    files.SaveList(list.Rows());
  }

  EpisodeFetchResult result;
  result.failed = list.Empty();
  result.statusLine = Gbk("获取完成,请从列表中点击需要播放的视频");
  std::string lastLabel;
  if (list.Count() > 1) {
    std::string lastPlayed = files.LoadLastPlayed();
    if (!lastPlayed.empty()) result.preselected = list.Find(lastPlayed);
    if (result.preselected >= 0) lastLabel = list.Rows()[static_cast<size_t>(result.preselected)].label;
  }
  result.readyText = ReadyPageText(lastLabel);
  result.rows = list.TakeRows();
  return result;
}

}  // namespace

EpisodeFetchResult FinishEpisodeFetch(std::string body, std::string_view pageAddress,
                                      const ProgramPaths& paths, std::string_view showHost) {
  EpisodeList list(ShowPagePrefix(showHost));
  {
    // The page is the largest thing here; it goes before the cache is written.
    const std::string page = NormalizePage(std::move(body));
    ScrapeShowPage(page, pageAddress, list);
  }
  return FinishScrapedFetch(list, pageAddress, paths);
}

EpisodeFetchResult FinishSavedPageFetch(std::string_view saved, std::string_view pageAddress,
                                        const ProgramPaths& paths, std::string_view showHost) {
  if ((!saved.empty() && std::memchr(saved.data(), 0, saved.size()) != nullptr) || PageNeedsNormalizing(saved)) {
    return FinishEpisodeFetch(TextOfBody(std::string(saved)), pageAddress, paths, showHost);
  }
  EpisodeList list(ShowPagePrefix(showHost));
  ScrapeShowPage(saved, pageAddress, list);
  return FinishScrapedFetch(list, pageAddress, paths);
}

}  // namespace tavelo
