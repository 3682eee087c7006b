#include "net/data_update.h"

#include <stdio.h>

#include "base/file_lock.h"
#include "base/program_paths.h"
#include "catalogue/catalogue_store.h"
#include "net/update_workspace.h"
#include "net/zip_reader.h"
#include "text/template_file.h"
#include "text/text_buffer.h"

namespace tavelo {

namespace {

// Far above any real package; a server that sends more is not believed, so
// it cannot fill the disk or the memory the package is read into.
constexpr uint64_t kMaxPackageSize = 256ull << 20;
// Passes of every copy of the program take turns on "data/update.lock".
constexpr const char* kPassLock = "update";
// The name a package is downloaded under inside its work folder.
constexpr const char* kDownloadName = "download";

struct Package {
  const char* addressKey;
  const char* savedCopy;  // inside data/
  CatalogueCategory& list;
};

// Fetches the package at `url` (unpacking a ".zip" address) into a work
// folder of its own and, when it is a package as the list would load it,
// makes it the saved copy at `savedPath`. `buffer` then holds its text.
bool FetchPackage(const std::string& url, const std::string& dataFolder,
                  const std::string& savedPath, HttpDownloader& downloader, TextBuffer& buffer) {
  UpdateWorkFolder work(dataFolder);
  if (!work.Ok()) return false;
  std::string source = work.File(kDownloadName);
  if (downloader.DownloadToFile(url, source) != kDownloadDone) return false;
  if (url.find(".zip") != std::string::npos) {
    // A member named like the download itself cannot replace it.
    ExtractOptions options;
    options.replaceExisting = false;
    options.maxSize = kMaxPackageSize;
    std::string extracted;
    if (ExtractFirstEntry(source, extracted, options) != 0) return false;
    source = extracted;
  }
  buffer.LoadFile(source, kCatalogueKey);
  // The saved copy is replaced in one step, so a reader never sees it half
  // written; it stays scrambled, as downloaded.
  return PackageList(buffer.Text()) && rename(source.c_str(), savedPath.c_str()) == 0;
}

void UpdatePackage(const std::string& dataFolder, const std::string& url,
                   HttpDownloader& downloader, TextBuffer& buffer, const Package& package) {
  std::string savedPath = dataFolder + package.savedCopy;
  if (!FetchPackage(url, dataFolder, savedPath, downloader, buffer)) {
    buffer.LoadFile(savedPath, kCatalogueKey);
  }
  package.list.LoadFromPackage(buffer);
}

}  // namespace

void RunDataUpdatePass(const ProgramPaths& paths, CatalogueCategory& videoNew,
                       CatalogueCategory& p2pNew, HttpDownloader& downloader) {
  TemplateFile templates;
  templates.Load(paths.Template());
  const Package packages[] = {
      {"[VIDEO_NEW_DATA_URL]", "videonew.ini", videoNew},
      {"[P2P_NEW_DATA_URL]", "p2pnew.ini", p2pNew},
  };
  std::string urls[std::size(packages)];
  bool anyAddress = false;
  for (size_t i = 0; i < std::size(packages); ++i) {
    urls[i] = templates.GetValue(packages[i].addressKey);
    anyAddress = anyAddress || !urls[i].empty();
  }
  // Without an address nothing is fetched and each list keeps what it had.
  if (!anyAddress) return;

  std::string dataFolder = paths.In(kDataFolder);
  MakeDirectories(dataFolder);
  // A second pass waits for the first, unless its owner is going away.
  FileLock lock(dataFolder + kPassLock, [&] { return !downloader.IsCancelled(); });
  if (lock.GaveUp()) return;
  RemoveUpdateLeftovers(dataFolder);

  TextBuffer buffer;
  downloader.SetBodyLimit(kMaxPackageSize);
  for (size_t i = 0; i < std::size(packages); ++i) {
    // A cancelled pass (the program is closing) starts no further download.
    if (downloader.IsCancelled()) return;
    if (!urls[i].empty()) UpdatePackage(dataFolder, urls[i], downloader, buffer, packages[i]);
  }
}

void RunDataUpdatePass(const ProgramPaths& paths, CatalogueCategory& videoNew,
                       CatalogueCategory& p2pNew) {
  HttpDownloader downloader(kUpdateDownloadLimits);
  RunDataUpdatePass(paths, videoNew, p2pNew, downloader);
}

}  // namespace tavelo
