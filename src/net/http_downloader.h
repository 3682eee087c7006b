#pragma once
// One HTTP(S) fetch at a time into a string, a named file or an open file.
// Each job makes its own downloader; only RequestStop may be called from
// another thread while a download runs.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace tavelo {

// Where a download reports its status text (GBK). The window that shows it
// may close while the download runs: a sink that is no longer alive is
// skipped, and the download goes on.
class StatusSink {
 public:
  virtual ~StatusSink() = default;
  virtual bool IsAlive() const { return true; }
  virtual void SetStatusText(const std::string& gbk) = 0;
};

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual bool IsAlive() const { return true; }
  virtual void SetRange(int lower, int upper) = 0;
  virtual void SetPosition(int position) = 0;
};

// Results of the download operations. A transfer that breaks off after the
// server answered (time-out, lost connection, too many redirects, headers
// too big) fails on every path: DownloadToString with 203, DownloadToFile
// with 205, DownloadToStream with 201.
inline constexpr int kDownloadDone = 0;          // the whole body, or a stopped string or stream fetch
inline constexpr int kDownloadFileError = 1;     // DownloadToFile could not create or write its file
inline constexpr int kDownloadNoClient = 201;    // no client; DownloadToStream: any failure
inline constexpr int kDownloadNoAnswer = 202;    // the address could not be opened
inline constexpr int kDownloadStringError = 203; // DownloadToString failed while reading
inline constexpr int kDownloadStopped = 204;     // DownloadToFile stopped before the end
inline constexpr int kDownloadBroken = 205;      // DownloadToFile: the transfer broke off

// How long one download may take; a limit that fires fails the transfer.
// The defaults suit what the user waits for; the update pass sets tighter
// ones, tests set limits of a second.
struct DownloadLimits {
  // Connecting, for DownloadToString and DownloadToFile.
  std::chrono::milliseconds connect{60000};
  // A transfer that receives less than minimumRate bytes a second on
  // average over one rateWindow has stalled, from the request on; the
  // default only catches silence. A zero window checks nothing.
  std::chrono::seconds rateWindow{60};
  long minimumRate = 1;
  // DownloadToStream connects, and counts as stalled, after this instead.
  std::chrono::milliseconds stream{200000};
  // The whole transfer, however fast data arrives; zero sets no deadline.
  std::chrono::milliseconds deadline{0};
};

// What DownloadToString keeps of `body`: each block of kTextChunk bytes up
// to its first zero byte. Lets a body fetched some other way (a saved file)
// reach the scrapers exactly as a download would.
std::string TextOfBody(std::string body);

class HttpDownloader {
 public:
  // Bodies arrive in blocks of these sizes; a block of DownloadToString is
  // appended as zero-terminated text, so a zero byte cuts the rest of it.
  static constexpr size_t kTextChunk = 10240;
  static constexpr size_t kStreamChunk = 15360;

  explicit HttpDownloader(const DownloadLimits& limits = {});
  virtual ~HttpDownloader();
  HttpDownloader(const HttpDownloader&) = delete;
  HttpDownloader& operator=(const HttpDownloader&) = delete;

  // Clears the stop flag, empties `body` and fetches into it.
  int DownloadToString(const std::string& url, std::string& body);
  // Clears the stop flag and writes every byte of the body to a temporary
  // file beside `path`, created once the server has answered; only a whole
  // body takes the name `path`, so it holds the old file or the new one.
  int DownloadToFile(const std::string& url, const std::string& path);
  // Appends the body to `file`, which the caller opened and closes. Keeps a
  // stop requested before the call, which then fetches nothing.
  int DownloadToStream(const std::string& url, FILE* file, StatusSink* text,
                       ProgressSink* progress);

  // 1 stops the running download within one block; 0 lets it run. Safe to
  // call from any thread.
  void RequestStop(int value) { stopFlag_.store(value); }
  int IsStopRequested() const { return stopFlag_.load(); }
  // Stops the running download and every later one for good (the owner is
  // going away): unlike RequestStop, no download clears it. Any thread.
  void Cancel() { cancelled_.store(true); }
  bool IsCancelled() const { return cancelled_.load(); }
  // A body longer than this many bytes fails as a write error, so a server
  // cannot fill the disk or the memory; 0 (the default) sets no limit.
  void SetBodyLimit(uint64_t bytes) { bodyLimit_ = bytes; }
  // Normally an error page is a body like any other (callers read what the
  // server says); with this set, a status of 400 or more fails the transfer.
  void SetFailOnErrorStatus(bool fail) { failOnErrorStatus_ = fail; }
  // The HTTP status of the last operation's final answer; 0 without one.
  int ResponseStatus() const { return status_; }
  void CloseHandles();
  // The running request's content length; 0 without a request or length.
  int QueryContentLength() const;

  // Optional status text for DownloadToString ("下载数据 %d 字节...").
  void SetStatusSink(StatusSink* sink) { statusSink_ = sink; }

 private:
  struct Transfer;
  struct CurlDeleter {
    void operator()(void* handle) const;
  };

  enum class Outcome { kNoClient, kNoAnswer, kStopped, kEnded, kBroken, kWriteFailed };
  Outcome Run(const std::string& url, Transfer& transfer, bool streamTimeouts);
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  static int OnProgress(void* self, int64_t, int64_t, int64_t, int64_t);

  std::unique_ptr<void, CurlDeleter> curl_;
  bool StopRequested() const { return stopFlag_.load() == 1 || cancelled_.load(); }

  std::atomic<int> stopFlag_{0};
  std::atomic<bool> cancelled_{false};
  uint64_t bodyLimit_ = 0;
  DownloadLimits limits_;
  bool failOnErrorStatus_ = false;
  int status_ = 0;
  StatusSink* statusSink_ = nullptr;
};

}  // namespace tavelo
