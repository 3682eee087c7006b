#pragma once
// What a play window's episode fetch does once the show page has arrived:
// turn the body into GBK text, scrape it, keep or restore the cached list,
// find the episode last played, and word the ready page. Everything here runs
// on the fetch worker and touches no window; the window acts on the result.
//
// The intended use, for the window that owns the fetch:
//   worker thread   status line = FetchingStatusText();
//                   HttpDownloader::DownloadToString(pageAddress, body), failing on
//                   an error status, at most kShowPageLimit bytes, with the status
//                   line as its status sink; unless it returned kDownloadDone,
//                   body = "" (a failed fetch);
//                   result = FinishEpisodeFetch(std::move(body), pageAddress, paths,
//                                               VideoShowHost(paths));
//                   post the result to the main loop. A worker that was stopped
//                   (window closed, new fetch) posts nothing, or its post is dropped.
//   main loop       fill the list from result.rows (EpisodeRow::Column 0, 1, 2);
//                   select and focus result.preselected when it is not -1;
//                   if result.failed, message box FetchFailedMessage();
//                   status line = result.statusLine; timer 1 (100 ms) shows
//                   result.readyText; if result.HandsOff(), timer 4 (500 ms) hands
//                   rows[0] to a new process.
//   PlayEpisode     EpisodeFiles(paths, pageAddress).SaveLastPlayed(episode address).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/program_paths.h"
#include "content/episode_scraper.h"

namespace tavelo {

struct EpisodeFetchResult {
  // The episode list in order; empty when neither the page nor the cache gave a row.
  std::vector<EpisodeRow> rows;
  // The row of the episode last played, to be selected and focused; -1 when
  // there is none. Only a list of two rows or more looks for one.
  int preselected = -1;
  // No rows at all: the user is told FetchFailedMessage(). The ready page
  // still follows.
  bool failed = false;
  // The status line once the fetch is done.
  std::string statusLine;
  // The ready page's HTML fragment (timer 1); names the preselected episode.
  std::string readyText;

  // Exactly one episode: the window hands it to a new process and closes.
  bool HandsOff() const { return rows.size() == 1; }
};

// A show page larger than this is refused: a server that sends without end
// cannot fill the memory.
inline constexpr uint64_t kShowPageLimit = 64ull << 20;

// Normalises `body` (as DownloadToString delivered it) to GBK, scrapes it
// against the show host's prefix, and then either rewrites the video's
// cached list with the rows found or, when there are none, restores the rows
// from that cache. A failed fetch (an error status, a broken transfer, a
// page over kShowPageLimit) passes an empty body: it has no rows, so the
// cached list is used and left as it is. Files are those of `paths`
// (tavelo/ must exist).
EpisodeFetchResult FinishEpisodeFetch(std::string body, std::string_view pageAddress,
                                      const ProgramPaths& paths, std::string_view showHost);

// FinishEpisodeFetch(TextOfBody(std::string(saved)), ...) for a page saved to
// a file, without copying a page that would pass through both unchanged (no
// zero byte, no charset to convert): a show page runs to megabytes.
EpisodeFetchResult FinishSavedPageFetch(std::string_view saved, std::string_view pageAddress,
                                        const ProgramPaths& paths, std::string_view showHost);

// The ready page's text, naming the episode last played when `lastLabel` is
// not empty. The label comes from the video site, so any markup in it is
// shown as text.
std::string ReadyPageText(std::string_view lastLabel);

// The status line while the page downloads: "正在获取数据....".
std::string FetchingStatusText();
// The message of a fetch that found no episode at all (GBK).
std::string FetchFailedMessage();

}  // namespace tavelo
