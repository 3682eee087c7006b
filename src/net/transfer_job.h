#pragma once
// One download job of the data-transfer window, without the window: fetch an
// address into text, or fetch a zip package and install its first member at
// a local path when the member's MD5 digest is the one expected. The transfer
// window runs a job on its worker thread; the command-line tool runs it
// directly. Only Stop may be called from another thread while Run runs.

#include <atomic>
#include <cstdint>
#include <string>

#include "base/atomic_write.h"
#include "net/http_downloader.h"

namespace tavelo {

enum class TransferKind : int {
  kInstallPackage = 2,
  kFetchText = 3,
};

struct TransferRequest {
  TransferKind kind = TransferKind::kFetchText;
  std::string url;
  // Package jobs: the member's digest as hex text, in either letter case.
  std::string expectedDigest;
  // Package jobs: where the member goes. Its folder exists already.
  std::string targetPath;
  // Package jobs: the folder (with its trailing "/") in which the job keeps
  // the package while it runs, the program's data folder.
  std::string workFolder;
  // Package jobs: what the member is, which decides a new file's mode.
  FileKind targetKind = FileKind::kDocument;

  static TransferRequest TextFetch(std::string url) {
    TransferRequest request;
    request.url = std::move(url);
    return request;
  }
  static TransferRequest PackageInstall(std::string url, std::string digest, std::string target,
                                        std::string workFolder, FileKind targetKind = FileKind::kDocument) {
    return {TransferKind::kInstallPackage, std::move(url), std::move(digest), std::move(target),
            std::move(workFolder), targetKind};
  }
};

// What a finished job leaves its caller.
struct TransferResult {
  // The fetched text; "" when the fetch failed or was stopped.
  std::string text;
  // Whether the member now stands at the target path.
  bool installed = false;
  // Stopped by the user: nothing is written after the stop.
  bool stopped = false;
};

class TransferJob {
 public:
  // Descriptions and text files are small; a larger body is a broken or
  // hostile server and fails rather than filling the memory.
  static constexpr uint64_t kMaxTextBytes = 16u << 20;
  // Packages and their members are refused above this size.
  static constexpr uint64_t kMaxPackageBytes = 1u << 30;

  explicit TransferJob(TransferRequest request);
  TransferJob(const TransferJob&) = delete;
  TransferJob& operator=(const TransferJob&) = delete;

  // Runs the job to its end on the calling thread. Package jobs report the
  // byte counts and the bar through the sinks (either may be null).
  void Run(StatusSink* bytes, ProgressSink* bar);
  // Ends a running download within a block and keeps the job from writing
  // any result, also when Run has not started yet. Any thread.
  void Stop();
  bool Stopped() const { return stopped_.load(); }

  // After Run.
  const std::string& Text() const { return text_; }
  bool Installed() const { return installed_; }
  TransferResult Result() const { return {text_, installed_, Stopped()}; }
  const TransferRequest& Request() const { return request_; }

 private:
  void FetchText();
  void InstallPackage(StatusSink* bytes, ProgressSink* bar);

  TransferRequest request_;
  HttpDownloader downloader_;
  std::atomic<bool> stopped_{false};
  std::string text_;
  bool installed_ = false;
};

// Whether two hex digests are the same, letter case aside.
bool SameDigest(const std::string& a, const std::string& b);

}  // namespace tavelo
