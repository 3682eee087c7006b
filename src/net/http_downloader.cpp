#include "net/http_downloader.h"

#include <curl/curl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "base/atomic_write.h"
#include "text/encoding.h"

namespace tavelo {

namespace {

constexpr const char* kUserAgent = "myie";
constexpr long kReceiveBuffer = 64 * 1024;

void InitialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

std::string Format(const std::string& format, auto... values) {
  char text[256];
  std::snprintf(text, sizeof text, format.c_str(), values...);
  return text;
}

int ClampToInt(int64_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

}  // namespace

// What one operation does with the body: blocks of `chunkSize` bytes go to
// `deliver` (the last one may be shorter); `opened` runs once, when the
// server has answered, before the first block. Either returns false when the
// body cannot be kept, which aborts the transfer.
struct HttpDownloader::Transfer {
  Transfer(size_t size, std::function<bool()> onOpened,
           std::function<bool(const char*, size_t)> onBlock)
      : chunkSize(size), opened(std::move(onOpened)), deliver(std::move(onBlock)) {
    pending.reserve(chunkSize);
  }

  size_t chunkSize;
  std::function<bool()> opened;
  std::function<bool(const char*, size_t)> deliver;

  const HttpDownloader* owner = nullptr;
  // The rate check's current window: when it began and the body bytes
  // received by then.
  std::chrono::steady_clock::time_point windowStart;
  int64_t windowBytes = 0;
  std::chrono::seconds rateWindow{0};
  std::vector<char> pending;
  uint64_t received = 0;
  bool answered = false;
  bool keepFailed = false;
  bool thrown = false;

  bool Open() {
    answered = true;
    if (!opened()) keepFailed = true;
    return !keepFailed;
  }
  bool Flush() {
    if (pending.empty() || keepFailed) return !keepFailed;
    bool kept = deliver(pending.data(), pending.size());
    pending.clear();
    if (!kept) keepFailed = true;
    return kept;
  }
};

void HttpDownloader::CurlDeleter::operator()(void* handle) const {
  curl_easy_cleanup(static_cast<CURL*>(handle));
}

HttpDownloader::HttpDownloader(const DownloadLimits& limits) : limits_(limits) {}
HttpDownloader::~HttpDownloader() = default;

void HttpDownloader::CloseHandles() { curl_.reset(); }

int HttpDownloader::QueryContentLength() const {
  if (!curl_) return 0;
  curl_off_t length = -1;
  if (curl_easy_getinfo(static_cast<CURL*>(curl_.get()), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T,
                        &length) != CURLE_OK || length <= 0) {
    return 0;
  }
  return ClampToInt(length);
}

size_t HttpDownloader::OnBody(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<Transfer*>(self);
  size_t length = size * count;
  // The stop flag is read before every block, however curl slices the body.
  if (transfer->owner->StopRequested()) return 0;
  transfer->received += length;
  if (transfer->owner->bodyLimit_ != 0 && transfer->received > transfer->owner->bodyLimit_) {
    transfer->keepFailed = true;
    return 0;
  }
  try {
    if (!transfer->answered && !transfer->Open()) return 0;
    while (length > 0) {
      // Whole blocks go out straight from curl's buffer.
      if (transfer->pending.empty() && length >= transfer->chunkSize) {
        if (!transfer->deliver(data, transfer->chunkSize)) {
          transfer->keepFailed = true;
          return 0;
        }
        data += transfer->chunkSize;
        length -= transfer->chunkSize;
        if (transfer->owner->StopRequested()) return 0;
        continue;
      }
      size_t room = transfer->chunkSize - transfer->pending.size();
      size_t take = length < room ? length : room;
      transfer->pending.insert(transfer->pending.end(), data, data + take);
      data += take;
      length -= take;
      if (transfer->pending.size() == transfer->chunkSize) {
        if (!transfer->Flush()) return 0;
        if (transfer->owner->StopRequested()) return 0;
      }
    }
  } catch (...) {
    // Nothing may unwind through curl; the operation reports it instead.
    transfer->thrown = true;
    return 0;
  }
  return size * count;
}

HttpDownloader::Outcome HttpDownloader::Run(const std::string& url, Transfer& transfer,
                                            bool streamTimeouts) {
  InitialiseCurlOnce();
  transfer.owner = this;
  CloseHandles();
  status_ = 0;
  curl_.reset(curl_easy_init());
  CURL* curl = static_cast<CURL*>(curl_.get());
  if (curl == nullptr) return Outcome::kNoClient;

  // Always ask the server afresh, never a cache on the way.
  HeaderList headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
  if (headers) curl_slist_append(headers.get(), "Pragma: no-cache");

  // Bodies only ever come over HTTP(S); a redirect to file:// or the like
  // must not read local files.
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 20L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  // curl receives in larger slices than the blocks handed on, which saves
  // system calls on big bodies.
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBuffer);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &HttpDownloader::OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  // The progress callback runs about once a second even while the server
  // is silent, so a stop request does not wait for the next block.
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &HttpDownloader::OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
  // Without limits of its own, curl would wait for ever on a server that
  // stops sending, or sends a byte now and then. The rate is checked in
  // OnProgress, window by window: curl's own low-speed check averages over
  // its last few seconds, so it cannot tell a stall after a burst in time.
  auto connect = streamTimeouts ? limits_.stream : limits_.connect;
  transfer.rateWindow = streamTimeouts ? std::chrono::duration_cast<std::chrono::seconds>(limits_.stream)
                                       : limits_.rateWindow;
  transfer.windowStart = std::chrono::steady_clock::now();
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connect.count()));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.deadline.count()));
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, failOnErrorStatus_ ? 1L : 0L);

  CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  status_ = static_cast<int>(status);
  bool stopped = StopRequested() && (code == CURLE_ABORTED_BY_CALLBACK || code == CURLE_WRITE_ERROR);
  if (transfer.thrown || transfer.keepFailed) return Outcome::kWriteFailed;
  bool broken = !stopped && code != CURLE_OK;
  if (broken && status == 0 && !transfer.answered) return Outcome::kNoAnswer;
  // Whatever arrived goes out, also from a transfer that broke off: the
  // string's callers use what they got, the file path throws it away.
  try {
    if (!transfer.answered && !broken && !transfer.Open()) return Outcome::kWriteFailed;
    if (!transfer.Flush()) return Outcome::kWriteFailed;
  } catch (...) {
    // The last block goes out here, outside curl's callback: a sink that
    // throws, or no memory for the body, is a failed write all the same.
    return Outcome::kWriteFailed;
  }
  if (broken) return Outcome::kBroken;
  return stopped ? Outcome::kStopped : Outcome::kEnded;
}

int HttpDownloader::OnProgress(void* self, int64_t, int64_t received, int64_t, int64_t) {
  auto* transfer = static_cast<Transfer*>(self);
  if (transfer->owner->StopRequested()) return 1;
  if (transfer->rateWindow.count() <= 0) return 0;
  auto now = std::chrono::steady_clock::now();
  if (now - transfer->windowStart < transfer->rateWindow) return 0;
  // Too little in a whole window fails the transfer; a stop request is
  // told apart from this by the flag.
  if (received - transfer->windowBytes < transfer->owner->limits_.minimumRate * transfer->rateWindow.count()) {
    return 1;
  }
  transfer->windowStart = now;
  transfer->windowBytes = received;
  return 0;
}

int HttpDownloader::DownloadToString(const std::string& url, std::string& body) {
  stopFlag_.store(0);
  body.clear();
  static const std::string kStatus = Gbk("下载数据 %d 字节...");
  Transfer transfer{kTextChunk, [] { return true; },
                    [&](const char* data, size_t length) {
                      body.append(data, strnlen(data, length));
                      if (statusSink_ != nullptr && statusSink_->IsAlive()) {
                        statusSink_->SetStatusText(Format(kStatus, ClampToInt(body.size())));
                      }
                      return true;
                    }};
  Outcome outcome = Run(url, transfer, false);
  CloseHandles();
  switch (outcome) {
    case Outcome::kNoClient: return kDownloadNoClient;
    case Outcome::kNoAnswer: return kDownloadNoAnswer;
    case Outcome::kBroken:
    case Outcome::kWriteFailed: return kDownloadStringError;
    case Outcome::kStopped:
    case Outcome::kEnded: return kDownloadDone;
  }
  return kDownloadDone;
}

int HttpDownloader::DownloadToFile(const std::string& url, const std::string& path) {
  stopFlag_.store(0);
  // Every way out but a commit removes the temporary file.
  std::optional<PendingFile> file;
  Transfer transfer{kTextChunk,
                    [&] {
                      file.emplace(path);
                      return file->Ok();
                    },
                    [&](const char* data, size_t length) { return file->Write({data, length}); }};
  Outcome outcome = Run(url, transfer, false);
  CloseHandles();
  switch (outcome) {
    case Outcome::kNoClient: return kDownloadNoClient;
    case Outcome::kNoAnswer: return kDownloadNoAnswer;
    // A file that could not be written completely is as unusable as one that
    // could not be created.
    case Outcome::kWriteFailed: return kDownloadFileError;
    case Outcome::kStopped: return kDownloadStopped;
    case Outcome::kBroken: return kDownloadBroken;
    case Outcome::kEnded: return file->Commit() ? kDownloadDone : kDownloadFileError;
  }
  return kDownloadDone;
}

int HttpDownloader::DownloadToStream(const std::string& url, FILE* file, StatusSink* text,
                                     ProgressSink* progress) {
  static const std::string kStart = Gbk("0 / %d 字节");
  static const std::string kRunning = Gbk("%d / %d 字节(%d%%)");
  int total = 0;
  int64_t received = 0;
  Transfer transfer{
      kStreamChunk,
      [&] {
        if (stopFlag_.load() == 0 && progress != nullptr && progress->IsAlive()) {
          total = QueryContentLength();
          if (total <= 0) total = 1;
          progress->SetRange(0, total);
          if (text != nullptr && text->IsAlive()) text->SetStatusText(Format(kStart, total));
        }
        return true;
      },
      [&](const char* data, size_t length) {
        if (file == nullptr || std::fwrite(data, 1, length, file) != length) return false;
        received += static_cast<int64_t>(length);
        if (stopFlag_.load() == 0 && progress != nullptr && progress->IsAlive()) {
          progress->SetPosition(ClampToInt(received));
          if (text != nullptr && text->IsAlive()) {
            // The percentage is an unsigned 32-bit product over the total; it
            // is not clamped, so a missing or wrong length shows above 100.
            uint32_t percent = static_cast<uint32_t>(received * 100) /
                               static_cast<uint32_t>(total > 0 ? total : 1);
            text->SetStatusText(Format(kRunning, ClampToInt(received), total,
                                       static_cast<int>(percent)));
          }
        }
        return true;
      }};
  Outcome outcome = Run(url, transfer, true);
  CloseHandles();
  return outcome == Outcome::kStopped || outcome == Outcome::kEnded ? kDownloadDone
                                                                     : kDownloadNoClient;
}

}  // namespace tavelo
