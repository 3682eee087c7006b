#include "net/data_update.h"

#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <span>
#include <string_view>

#include "base/atomic_write.h"
#include "base/file_lock.h"
#include "base/program_paths.h"
#include "catalogue/catalogue_store.h"
#include "net/work_folder.h"
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
// Work folders are named like every other temporary.
const std::string kWorkPrefix = "update" + std::string(kTemporaryInfix);
constexpr std::string_view kSavedCopies[] = {"videonew.ini", "p2pnew.ini"};
// What passes of earlier versions left in data/ when killed: members being
// unpacked and the fixed download names.
constexpr std::string_view kOldPartInfix = ".part-";
constexpr std::string_view kOldDownloadTargets[] = {"data_tmp1.dat", "data_tmp2.dat"};

bool IsOldPartName(std::string_view name) {
  size_t suffix = kOldPartInfix.size() + kTemporaryRandomPart.size();
  return name.size() > suffix && name.substr(name.size() - suffix, kOldPartInfix.size()) == kOldPartInfix;
}

bool IsOneOf(std::string_view name, std::span<const std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Removes from `dataFolder` what update passes killed part way left: their
// work folders, and the part members and download names of earlier versions.
void RemoveUpdateLeftovers(const std::string& dataFolder) {
  RemoveLeftovers(dataFolder, [](std::string_view name, const struct stat& info) {
    return IsWorkFolder(name, info, kWorkPrefix) ||
           (S_ISREG(info.st_mode) && (IsOldPartName(name) || IsOneOf(name, kOldDownloadTargets)));
  });
}

// Passes of earlier versions unpacked the member straight into data/, under
// its own name, and one killed there left it for good. A file of the
// member's name that loads as a package is taken for such a member: the
// template and the user's lists never do, and the saved copies are spared.
void RemoveStrayMember(const std::string& dataFolder, std::string_view name) {
  if (IsOneOf(name, kSavedCopies)) return;
  const std::string path = dataFolder + std::string(name);
  struct stat info;
  TextBuffer member;
  if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && member.LoadFile(path, kCatalogueKey) == 0 &&
      PackageList(member.Text())) {
    unlink(path.c_str());
  }
}

struct Package {
  const char* addressKey;
  std::string_view savedCopy;  // inside data/
  CatalogueCategory& list;
};

// Fetches the package at `url` (unpacking a ".zip" address) into a work
// folder of its own and, when it is a package as the list would load it,
// makes it the saved copy at `savedPath`. `buffer` then holds its text.
bool FetchPackage(const std::string& url, const std::string& dataFolder,
                  const std::string& savedPath, HttpDownloader& downloader, TextBuffer& buffer) {
  WorkFolder work(dataFolder, kWorkPrefix);
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
    RemoveStrayMember(dataFolder, std::string_view(source).substr(source.rfind('/') + 1));
  }
  buffer.LoadFile(source, kCatalogueKey);
  // The saved copy is replaced in one step, so a reader never sees it half
  // written; it stays scrambled, as downloaded.
  return PackageList(buffer.Text()) && rename(source.c_str(), savedPath.c_str()) == 0;
}

void UpdatePackage(const std::string& dataFolder, const std::string& url,
                   HttpDownloader& downloader, TextBuffer& buffer, const Package& package) {
  std::string savedPath = dataFolder + std::string(package.savedCopy);
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
      {"[VIDEO_NEW_DATA_URL]", kSavedCopies[0], videoNew},
      {"[P2P_NEW_DATA_URL]", kSavedCopies[1], p2pNew},
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
