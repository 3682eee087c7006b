#include "net/http_downloader.h"

#include <curl/curl.h>

#include <climits>
#include <cstring>
#include <functional>
#include <mutex>
#include <vector>

#include "text/encoding.h"

namespace tavelo {

namespace {

constexpr const char* kUserAgent = "myie";
constexpr long kReceiveBuffer = 64 * 1024;
constexpr size_t kFileBuffer = 256 * 1024;

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

HttpDownloader::HttpDownloader() = default;
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
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
  // Without a receive time-out of its own, curl would wait for ever on a
  // server that stops sending; less than one byte a second for the idle
  // time counts as silence.
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                   streamTimeouts ? kStreamTimeoutMs : kDefaultConnectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME,
                   streamTimeouts ? kStreamTimeoutMs / 1000 : kDefaultIdleTimeoutS);

  CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  bool stopped = StopRequested() && (code == CURLE_ABORTED_BY_CALLBACK || code == CURLE_WRITE_ERROR);
  if (transfer.thrown || transfer.keepFailed) return Outcome::kWriteFailed;
  if (!stopped && code != CURLE_OK && status == 0 && !transfer.answered) {
    return Outcome::kNoAnswer;
  }
  // Answered (or stopped): whatever arrived is kept, also when the
  // connection broke part way; callers check the content themselves.
  try {
    if (!transfer.answered && !transfer.Open()) return Outcome::kWriteFailed;
    if (!transfer.Flush()) return Outcome::kWriteFailed;
  } catch (...) {
    // The last block goes out here, outside curl's callback: a sink that
    // throws, or no memory for the body, is a failed write all the same.
    return Outcome::kWriteFailed;
  }
  return stopped ? Outcome::kStopped : Outcome::kEnded;
}

int HttpDownloader::OnProgress(void* self, int64_t, int64_t, int64_t, int64_t) {
  auto* downloader = static_cast<HttpDownloader*>(self);
  return downloader->StopRequested() ? 1 : 0;
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
    case Outcome::kWriteFailed: return kDownloadStringError;
    case Outcome::kStopped:
    case Outcome::kEnded: return kDownloadDone;
  }
  return kDownloadDone;
}

int HttpDownloader::DownloadToFile(const std::string& url, const std::string& path) {
  stopFlag_.store(0);
  std::unique_ptr<FILE, int (*)(FILE*)> file(nullptr, &std::fclose);
  bool createFailed = false;
  Transfer transfer{kTextChunk,
                    [&] {
                      file.reset(std::fopen(path.c_str(), "wb"));
                      createFailed = !file;
                      if (file) std::setvbuf(file.get(), nullptr, _IOFBF, kFileBuffer);
                      return !createFailed;
                    },
                    [&](const char* data, size_t length) {
                      return std::fwrite(data, 1, length, file.get()) == length;
                    }};
  Outcome outcome = Run(url, transfer, false);
  CloseHandles();
  bool closed = !file || std::fclose(file.release()) == 0;
  switch (outcome) {
    case Outcome::kNoClient: return kDownloadNoClient;
    case Outcome::kNoAnswer: return kDownloadNoAnswer;
    // A file that could not be written completely is as unusable as one that
    // could not be created.
    case Outcome::kWriteFailed: return kDownloadFileError;
    case Outcome::kStopped: return kDownloadStopped;
    case Outcome::kEnded: return closed ? kDownloadDone : kDownloadFileError;
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
