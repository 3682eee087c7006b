#include "mainwin/data_updater.h"

#include <memory>
#include <thread>

#include "catalogue/catalogue_store.h"
#include "net/data_update.h"
#include "net/http_downloader.h"

namespace tavelo {

void DataUpdater::Start(ResultPoster results, const ProgramPaths& paths) {
  auto downloader = std::make_shared<HttpDownloader>(kUpdateDownloadLimits);
  job_.Start(
      std::move(results),
      [this, downloader, paths](const JobToken& job) {
        // Nobody waits for this thread, so a plain sleep holds up no one.
        std::this_thread::sleep_for(kDataUpdateStartDelay);
        if (job.Stopped()) return;
        CatalogueCategory videoNew;
        CatalogueCategory p2pNew;
        try {
          RunDataUpdatePass(paths, videoNew, p2pNew, *downloader);
        } catch (const std::exception&) {
          // Out of memory on a hostile package: the lists keep what they
          // had, and the program goes on without the update.
        }
        job.Finish([this, videoCount = videoNew.Records().Count(), p2pCount = p2pNew.Records().Count()] {
          videoNewCount_ = videoCount;
          p2pNewCount_ = p2pCount;
        });
      },
      [downloader] { downloader->Cancel(); });
}

}  // namespace tavelo
