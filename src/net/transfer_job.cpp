#include "net/transfer_job.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "base/atomic_write.h"
#include "base/file_digest.h"
#include "base/file_handle.h"
#include "base/file_lock.h"
#include "net/work_folder.h"
#include "net/zip_reader.h"

namespace tavelo {

namespace {

// Each job keeps its package and the extracted member in a work folder of
// its own in the work folder, so jobs of several processes never meet and a
// member cannot land on one of the program's own files.
constexpr std::string_view kPackageFolderPrefix = "package-";
// Package jobs of every process take turns on this lock in the work folder,
// so the next one can sweep the folders of jobs that were killed.
constexpr const char* kJobLock = "transfer";
constexpr const char* kPackageName = "package.zip";
constexpr size_t kCopyChunk = 64 * 1024;

// Copies `from` into the pending file; false when a read or write fails.
bool CopyInto(const std::string& from, const PendingFile& to) {
  FileHandle source = FileHandle::Open(from, O_RDONLY);
  if (!source.Valid() || !to.Ok()) return false;
  auto buffer = std::make_unique<char[]>(kCopyChunk);
  for (;;) {
    ssize_t got = read(source.Get(), buffer.get(), kCopyChunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    if (!to.Handle().WriteAll(buffer.get(), static_cast<size_t>(got))) return false;
  }
}

char LowerHex(char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameDigest(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerHex(a[i]) != LowerHex(b[i])) return false;
  }
  return true;
}

TransferJob::TransferJob(TransferRequest request) : request_(std::move(request)) {
  // An error page is neither the text nor the package that was asked for.
  downloader_.SetFailOnErrorStatus(true);
}

void TransferJob::Stop() {
  stopped_.store(true);
  // Sticky, unlike a stop request: a download that starts after this call
  // fetches nothing either.
  downloader_.Cancel();
}

void TransferJob::Run(StatusSink* bytes, ProgressSink* bar) {
  text_.clear();
  installed_ = false;
  if (Stopped()) return;
  if (request_.kind == TransferKind::kFetchText) {
    FetchText();
  } else {
    InstallPackage(bytes, bar);
  }
}

void TransferJob::FetchText() {
  std::string body;
  downloader_.SetBodyLimit(kMaxTextBytes);
  int result = downloader_.DownloadToString(request_.url, body);
  // A stopped job writes no result; a failed one leaves it empty.
  if (result == kDownloadDone && !Stopped()) text_ = std::move(body);
}

void TransferJob::InstallPackage(StatusSink* bytes, ProgressSink* bar) {
  FileLock lock(request_.workFolder + kJobLock, [this] { return !Stopped(); });
  if (lock.GaveUp()) return;
  RemoveLeftovers(request_.workFolder, [](std::string_view name, const struct stat& info) {
    return IsWorkFolder(name, info, kPackageFolderPrefix);
  });
  WorkFolder folder(request_.workFolder, kPackageFolderPrefix);
  if (!folder.Ok()) return;
  const std::string package = folder.File(kPackageName);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(package.c_str(), "wbx"), &std::fclose);
  if (!file) return;
  downloader_.SetBodyLimit(kMaxPackageBytes);
  int result = downloader_.DownloadToStream(request_.url, file.get(), bytes, bar);
  bool written = std::fclose(file.release()) == 0;
  if (result != kDownloadDone || !written || Stopped()) return;

  std::string member;
  ExtractOptions options;
  options.replaceExisting = false;
  options.maxSize = kMaxPackageBytes;
  if (ExtractFirstEntry(package, member, options) != 0) return;
  std::string digest;
  if (DigestFileHex(member, digest) != 0 || !SameDigest(digest, request_.expectedDigest)) return;

  // The member appears under the target's name only complete and checked.
  PendingFile target(request_.targetPath, request_.targetKind);
  if (!CopyInto(member, target) || Stopped()) return;
  installed_ = target.Commit();
}

}  // namespace tavelo
