#pragma once
// The data update: fetches the new-videos and new-P2P packages named in
// data/main.htm, keeps the last good copy of each under data/, and loads
// each into its list. Shows nothing and tells nobody; the lists' counts are
// all the rest of the program reads.

#include <chrono>
#include <string>

#include "base/program_paths.h"

#include "net/http_downloader.h"

namespace tavelo {

class CatalogueCategory;

// The thread that runs the pass waits this long first, so the main window's
// own first requests go out before the update's.
inline constexpr std::chrono::milliseconds kDataUpdateStartDelay{2000};

// Every update download ends within these limits, so that a slow or
// hostile server holds neither the pass nor the passes waiting for it.
inline constexpr DownloadLimits kUpdateDownloadLimits = [] {
  DownloadLimits limits;
  limits.connect = std::chrono::seconds(30);
  limits.rateWindow = std::chrono::seconds(30);
  limits.minimumRate = 1024;
  limits.deadline = std::chrono::minutes(10);
  return limits;
}();

// One pass for the program in `paths` (a folder of "" is the current
// directory, whose data/ must then exist already). A
// package that cannot be fetched, or is not a package, leaves the saved copy
// as it was and that copy is loaded instead; a list is left unchanged when
// there is neither. Passes of every copy of the program take turns on a
// lock in data/. `downloader` sets the time limits and lets the owner stop
// a running fetch, or a wait for the lock, with Cancel.
void RunDataUpdatePass(const ProgramPaths& paths, CatalogueCategory& videoNew,
                       CatalogueCategory& p2pNew, HttpDownloader& downloader);
void RunDataUpdatePass(const ProgramPaths& paths, CatalogueCategory& videoNew,
                       CatalogueCategory& p2pNew);

}  // namespace tavelo
