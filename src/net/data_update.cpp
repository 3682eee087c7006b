#include "net/data_update.h"

#include <stdio.h>
#include <unistd.h>

#include "base/program_paths.h"
#include "catalogue/catalogue_store.h"
#include "net/http_downloader.h"
#include "net/zip_reader.h"
#include "text/template_file.h"
#include "text/text_buffer.h"

namespace tavelo {

namespace {

constexpr std::string_view kPackageEnd = "DB_DATA_END";
// Far above any real package; a server that sends more is not believed, so
// it cannot fill the disk or the memory the package is read into.
constexpr uint64_t kMaxPackageSize = 256ull << 20;


struct Package {
  const char* addressKey;
  const char* savedCopy;
  const char* downloadTarget;
  CatalogueCategory& list;
};

void UpdatePackage(const std::string& programDirectory, TemplateFile& templates,
                   HttpDownloader& downloader, TextBuffer& buffer, const Package& package) {
  std::string url = templates.GetValue(package.addressKey);
  if (url.empty()) return;
  std::string savedPath = programDirectory + package.savedCopy;
  std::string target = programDirectory + package.downloadTarget;
  MakeDirectories(savedPath);

  bool accepted = false;
  if (downloader.DownloadToFile(url, target) == kDownloadDone) {
    std::string source;
    if (url.find(".zip") != std::string::npos) {
      // The member's name comes from the server: it may not replace any
      // file already in data/ (the saved copies, the template, the user's
      // lists), since the member is deleted again afterwards.
      std::string extracted;
      ExtractOptions keepExisting;
      keepExisting.replaceExisting = false;
      keepExisting.maxSize = kMaxPackageSize;
      if (ExtractFirstEntry(target, extracted, keepExisting) == 0) source = extracted;
    } else {
      source = target;
    }
    if (!source.empty()) {
      buffer.LoadFile(source, kCatalogueKey);
      if (buffer.Text().find(kPackageEnd) != std::string::npos) {
        // The saved copy is replaced in one step, so a reader never sees it
        // half written; it stays scrambled, as downloaded.
        accepted = rename(source.c_str(), savedPath.c_str()) == 0;
      }
      // An accepted member has become the saved copy; it may even have been
      // extracted under the saved copy's own name.
      if (!accepted && source != target) unlink(source.c_str());
    }
  }
  unlink(target.c_str());
  if (!accepted) buffer.LoadFile(savedPath, kCatalogueKey);
  package.list.LoadFromPackage(buffer);
}

}  // namespace

void RunDataUpdatePass(const std::string& programDirectory, CatalogueCategory& videoNew,
                       CatalogueCategory& p2pNew, HttpDownloader& downloader) {
  TemplateFile templates;
  templates.Load(programDirectory + "data/main.htm");
  TextBuffer buffer;
  downloader.SetBodyLimit(kMaxPackageSize);
  const Package packages[] = {
      {"[VIDEO_NEW_DATA_URL]", "data/videonew.ini", "data/data_tmp1.dat", videoNew},
      {"[P2P_NEW_DATA_URL]", "data/p2pnew.ini", "data/data_tmp2.dat", p2pNew},
  };
  for (const Package& package : packages) {
    // A cancelled pass (the program is closing) starts no further download.
    if (downloader.IsCancelled()) return;
    UpdatePackage(programDirectory, templates, downloader, buffer, package);
  }
}

void RunDataUpdatePass(const std::string& programDirectory, CatalogueCategory& videoNew,
                       CatalogueCategory& p2pNew) {
  HttpDownloader downloader;
  RunDataUpdatePass(programDirectory, videoNew, p2pNew, downloader);
}

}  // namespace tavelo
