#include "net/http_downloader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/system_calls.h"
#include "net/loopback_server.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackServer;
using testing::ReadFile;
using testing::TempDir;

constexpr size_t kChunk = HttpDownloader::kTextChunk;

std::string Pattern(size_t size) {
  std::string body(size, '\0');
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + i % 26);
  return body;
}

// Three text blocks: the first with a zero byte at 100, the second clean,
// the third (short) with one at 5.
std::string BodyWithZeros() {
  std::string body = Pattern(2 * kChunk + 50);
  body[100] = '\0';
  body[2 * kChunk + 5] = '\0';
  return body;
}

ssize_t FailingWrite(int, const void*, size_t) {
  errno = ENOSPC;
  return -1;
}

// Limits short enough for a test to watch them fire.
DownloadLimits QuickLimits() {
  DownloadLimits limits;
  limits.connect = 1s;
  limits.rateWindow = 1s;
  limits.stream = 1s;
  return limits;
}

class RecordingStatus : public StatusSink {
 public:
  bool alive = true;
  std::vector<std::string> texts;
  bool IsAlive() const override { return alive; }
  void SetStatusText(const std::string& gbk) override { texts.push_back(gbk); }
};

class RecordingProgress : public ProgressSink {
 public:
  bool alive = true;
  int lower = -1, upper = -1, position = -1, positions = 0;
  bool IsAlive() const override { return alive; }
  void SetRange(int l, int u) override { lower = l, upper = u; }
  void SetPosition(int p) override { position = p, ++positions; }
};

class HttpDownloaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& routes = server_.Routes();
    routes.Get("/body", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(Pattern(50000), "application/octet-stream");
    });
    routes.Get("/empty", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("", "text/plain");
    });
    routes.Get("/zeros", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(BodyWithZeros(), "application/octet-stream");
    });
    // No Content-Length: the body goes out chunked, in odd-sized pieces.
    routes.Get("/chunked", [](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("application/octet-stream",
                                       [](size_t offset, httplib::DataSink& sink) {
                                         std::string body = Pattern(40000);
                                         if (offset >= body.size()) {
                                           sink.done();
                                           return true;
                                         }
                                         sink.write(body.data() + offset,
                                                    std::min<size_t>(3001, body.size() - offset));
                                         return true;
                                       });
    });
    // Promises 100000 bytes, sends 30000 and drops the connection.
    routes.Get("/drop", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(100000, "application/octet-stream",
                               [](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset >= 30000) return false;
                                 std::string body = Pattern(30000);
                                 sink.write(body.data(), body.size());
                                 return true;
                               });
    });
    // Sends one block, then holds the response open until released.
    routes.Get("/stall", [this](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider(
          "application/octet-stream", [this](size_t offset, httplib::DataSink& sink) {
            if (offset == 0) {
              std::string block = Pattern(kChunk);
              return sink.write(block.data(), block.size());
            }
            for (int i = 0; i < 1000 && !server_.Released() && sink.is_writable(); ++i) {
              std::this_thread::sleep_for(10ms);
            }
            return false;
          });
    });
    // Sends two bytes a tenth of a second apart, never ending.
    routes.Get("/trickle", [this](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider(
          "application/octet-stream", [this](size_t, httplib::DataSink& sink) {
            std::this_thread::sleep_for(100ms);
            return !server_.Released() && sink.write("ab", 2);
          });
    });
    // Sends fast and never ends.
    routes.Get("/endless", [this](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider(
          "application/octet-stream", [this](size_t, httplib::DataSink& sink) {
            std::this_thread::sleep_for(10ms);
            std::string block = Pattern(kChunk);
            return !server_.Released() && sink.write(block.data(), block.size());
          });
    });
    routes.Get("/loop", [this](const httplib::Request&, httplib::Response& res) {
      res.set_redirect(server_.Url("/loop"));
    });
    // One header line far longer than any client takes.
    routes.Get("/bigheader", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("X-Filler", std::string(1 << 20, 'h'));
      res.set_content(Pattern(100), "application/octet-stream");
    });
    // Promises a body, sends the headers and closes the connection.
    routes.Get("/headersonly", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(100, "application/octet-stream",
                               [](size_t, size_t, httplib::DataSink&) { return false; });
    });
    routes.Get("/redirect", [this](const httplib::Request&, httplib::Response& res) {
      res.set_redirect(server_.Url("/body"));
    });
    routes.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("<html>not here</html>", "text/html");
    });
    routes.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
      res.status = 500;
      res.set_content("<html>server error</html>", "text/html");
    });
    routes.Get("/headers", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(req.get_header_value("User-Agent") + "|" +
                          req.get_header_value("Cache-Control") + "|" +
                          req.get_header_value("Pragma"),
                      "text/plain");
    });
    server_.Start();
  }

  std::string Url(const std::string& path) { return server_.Url(path); }

  LoopbackServer server_;
  TempDir dir_;
};

// What each fetch path delivers for each kind of answer. The string path
// cuts every 10240-byte block at its first zero byte; the file paths keep
// every byte; a server's error page is delivered like any body. TextOfBody
// keeps of a file what the string path keeps of the same body.
TEST_F(HttpDownloaderTest, DeliversBodiesByPath) {
  std::string zeros = BodyWithZeros();
  std::string zerosAsText = zeros.substr(0, 100) + zeros.substr(kChunk, kChunk) +
                            zeros.substr(2 * kChunk, 5);
  struct Case {
    const char* path;
    std::string asText;
    std::string asFile;
    int status;
  } cases[] = {
      {"/body", Pattern(50000), Pattern(50000), 200},
      {"/empty", "", "", 200},
      {"/chunked", Pattern(40000), Pattern(40000), 200},
      {"/redirect", Pattern(50000), Pattern(50000), 200},
      {"/zeros", zerosAsText, zeros, 200},
      {"/missing", "<html>not here</html>", "<html>not here</html>", 404},
      {"/broken", "<html>server error</html>", "<html>server error</html>", 500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    HttpDownloader downloader;
    std::string body = "old";
    EXPECT_EQ(downloader.DownloadToString(Url(c.path), body), kDownloadDone);
    EXPECT_TRUE(body == c.asText) << body.size() << " bytes";
    EXPECT_EQ(downloader.ResponseStatus(), c.status);
    EXPECT_TRUE(TextOfBody(c.asFile) == c.asText);

    std::string path = dir_.File("out.bin");
    EXPECT_EQ(downloader.DownloadToFile(Url(c.path), path), kDownloadDone);
    EXPECT_TRUE(ReadFile(path) == c.asFile);

    std::string streamPath = dir_.File("stream.bin");
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(streamPath.c_str(), "wb"), &std::fclose);
    EXPECT_EQ(downloader.DownloadToStream(Url(c.path), file.get(), nullptr, nullptr), kDownloadDone);
    file.reset();
    EXPECT_TRUE(ReadFile(streamPath) == c.asFile);
    EXPECT_EQ(downloader.QueryContentLength(), 0);  // no request after the operation
  }
}

TEST_F(HttpDownloaderTest, SendsAgentAndNoCacheHeaders) {
  HttpDownloader downloader;
  std::string body;
  ASSERT_EQ(downloader.DownloadToString(Url("/headers"), body), kDownloadDone);
  EXPECT_EQ(body, "myie|no-cache|no-cache");
}

TEST_F(HttpDownloaderTest, UnreachableServerCodesDifferByPath) {
  std::string url = "http://127.0.0.1:" + std::to_string(testing::UnusedLoopbackPort()) + "/x";
  HttpDownloader downloader;
  std::string body;
  EXPECT_EQ(downloader.DownloadToString(url, body), kDownloadNoAnswer);
  std::string path = dir_.File("never.bin");
  EXPECT_EQ(downloader.DownloadToFile(url, path), kDownloadNoAnswer);
  EXPECT_FALSE(testing::FileExists(path));  // not created before an answer
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(dir_.File("s").c_str(), "wb"), &std::fclose);
  EXPECT_EQ(downloader.DownloadToStream(url, file.get(), nullptr, nullptr), kDownloadNoClient);
  EXPECT_EQ(downloader.DownloadToString("notascheme://x", body), kDownloadNoAnswer);
  EXPECT_EQ(downloader.DownloadToString("file:///etc/passwd", body), kDownloadNoAnswer);
  EXPECT_EQ(body, "");
}

TEST_F(HttpDownloaderTest, FileThatCannotBeCreatedOrWrittenGivesOne) {
  HttpDownloader downloader;
  EXPECT_EQ(downloader.DownloadToFile(Url("/body"), dir_.File("no/such/dir/x")), kDownloadFileError);
  {
    // A write that fails part way: a short file is no success, and the old
    // file stays.
    testing::WriteFile(dir_.File("out"), "old");
    const sys::SystemCalls real = sys::Calls();
    sys::ScopedSystemCalls failing({&FailingWrite, real.fsync, real.rename});
    EXPECT_EQ(downloader.DownloadToFile(Url("/body"), dir_.File("out")), kDownloadFileError);
  }
  EXPECT_EQ(ReadFile(dir_.File("out")), "old");
  EXPECT_EQ(testing::FolderNames(dir_.Path()), std::vector<std::string>{"out"});
  FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  std::setvbuf(full, nullptr, _IONBF, 0);
  EXPECT_EQ(downloader.DownloadToStream(Url("/body"), full, nullptr, nullptr), kDownloadNoClient);
  std::fclose(full);
}

TEST_F(HttpDownloaderTest, StringStatusShowsTheLengthSoFar) {
  RecordingStatus status;
  HttpDownloader downloader;
  downloader.SetStatusSink(&status);
  std::string body;
  ASSERT_EQ(downloader.DownloadToString(Url("/body"), body), kDownloadDone);
  ASSERT_EQ(status.texts.size(), 5u);  // 50000 bytes in blocks of 10240
  EXPECT_EQ(status.texts.front(), Gbk("下载数据 10240 字节..."));
  EXPECT_EQ(status.texts.back(), Gbk("下载数据 50000 字节..."));

  status.texts.clear();
  status.alive = false;
  ASSERT_EQ(downloader.DownloadToString(Url("/body"), body), kDownloadDone);
  EXPECT_TRUE(status.texts.empty());
  EXPECT_EQ(body.size(), 50000u);
}

TEST_F(HttpDownloaderTest, StreamProgressWithAndWithoutLength) {
  struct Case {
    const char* path;
    int upper;
    std::string first;
    std::string last;
  } cases[] = {
      {"/body", 50000, Gbk("0 / 50000 字节"), Gbk("50000 / 50000 字节(100%)")},
      // No length: the range is 0 to 1 and the percentage runs past 100.
      {"/chunked", 1, Gbk("0 / 1 字节"), Gbk("40000 / 1 字节(4000000%)")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    RecordingStatus text;
    RecordingProgress progress;
    HttpDownloader downloader;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(dir_.File("s").c_str(), "wb"), &std::fclose);
    ASSERT_EQ(downloader.DownloadToStream(Url(c.path), file.get(), &text, &progress), kDownloadDone);
    EXPECT_EQ(progress.lower, 0);
    EXPECT_EQ(progress.upper, c.upper);
    ASSERT_FALSE(text.texts.empty());
    EXPECT_EQ(text.texts.front(), c.first);
    EXPECT_EQ(text.texts.back(), c.last);
    EXPECT_EQ(progress.position, c.upper == 1 ? 40000 : 50000);
  }
}

TEST_F(HttpDownloaderTest, ClosedProgressWindowIsSkippedButTheTransferGoesOn) {
  RecordingStatus text;
  RecordingProgress progress;
  progress.alive = false;
  HttpDownloader downloader;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(dir_.File("s").c_str(), "wb"), &std::fclose);
  ASSERT_EQ(downloader.DownloadToStream(Url("/body"), file.get(), &text, &progress), kDownloadDone);
  file.reset();
  EXPECT_EQ(progress.positions, 0);
  EXPECT_TRUE(text.texts.empty());
  EXPECT_EQ(ReadFile(dir_.File("s")).size(), 50000u);
}

TEST_F(HttpDownloaderTest, StopBeforeStreamFetchesNothingButStringClearsIt) {
  HttpDownloader downloader;
  downloader.RequestStop(1);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(dir_.File("s").c_str(), "wb"), &std::fclose);
  EXPECT_EQ(downloader.DownloadToStream(Url("/body"), file.get(), nullptr, nullptr), kDownloadDone);
  file.reset();
  EXPECT_EQ(ReadFile(dir_.File("s")), "");
  EXPECT_EQ(downloader.IsStopRequested(), 1);

  std::string body;
  EXPECT_EQ(downloader.DownloadToString(Url("/body"), body), kDownloadDone);
  EXPECT_EQ(body.size(), 50000u);
  EXPECT_EQ(downloader.IsStopRequested(), 0);
}

// A stop from another thread ends a download whose server has gone silent
// within a moment; the string keeps what had arrived.
TEST_F(HttpDownloaderTest, StopFromAnotherThreadAbortsAStalledTransfer) {
  enum class Path { kString, kFile };
  for (Path path : {Path::kString, Path::kFile}) {
    SCOPED_TRACE(path == Path::kString ? "string" : "file");
    HttpDownloader downloader;
    std::thread stopper([&] {
      std::this_thread::sleep_for(300ms);
      downloader.RequestStop(1);
    });
    testing::WriteFile(dir_.File("p"), "old");
    auto start = std::chrono::steady_clock::now();
    std::string body;
    int result = path == Path::kString ? downloader.DownloadToString(Url("/stall"), body)
                                       : downloader.DownloadToFile(Url("/stall"), dir_.File("p"));
    auto elapsed = std::chrono::steady_clock::now() - start;
    stopper.join();
    EXPECT_LT(elapsed, 3s);
    if (path == Path::kString) {
      EXPECT_EQ(result, kDownloadDone);
      EXPECT_EQ(body, Pattern(kChunk));
    } else {
      // A stopped file download is no file: the old one stays.
      EXPECT_EQ(result, kDownloadStopped);
      EXPECT_EQ(ReadFile(dir_.File("p")), "old");
      EXPECT_EQ(testing::FolderNames(dir_.Path()), std::vector<std::string>{"p"});
    }
  }
}

}  // namespace
}  // namespace tavelo

namespace tavelo {
namespace {

// Cancel outlasts the downloads that follow it (RequestStop is cleared by
// each), so an owner that is going away never waits for another fetch.
TEST_F(HttpDownloaderTest, CancelStopsEveryLaterDownload) {
  HttpDownloader downloader;
  downloader.Cancel();
  std::string body;
  EXPECT_EQ(downloader.DownloadToFile(Url("/body"), dir_.File("a")), kDownloadStopped);
  EXPECT_EQ(downloader.DownloadToFile(Url("/body"), dir_.File("b")), kDownloadStopped);
  EXPECT_EQ(downloader.DownloadToString(Url("/body"), body), kDownloadDone);
  EXPECT_EQ(body, "");
}

TEST_F(HttpDownloaderTest, ABodyOverTheLimitIsAWriteFailure) {
  HttpDownloader downloader;
  std::string body;
  ASSERT_EQ(downloader.DownloadToString(Url("/body"), body), kDownloadDone);
  ASSERT_GT(body.size(), 100u);
  downloader.SetBodyLimit(100);
  EXPECT_EQ(downloader.DownloadToFile(Url("/body"), dir_.File("f")), kDownloadFileError);
  downloader.SetBodyLimit(body.size());
  EXPECT_EQ(downloader.DownloadToFile(Url("/body"), dir_.File("f")), kDownloadDone);
}

}  // namespace
}  // namespace tavelo

namespace tavelo {
namespace {

// A transfer that breaks off is a failure on every path, never a short
// success: the file path keeps the old file, the string keeps what arrived.
TEST_F(HttpDownloaderTest, BrokenTransfersFail) {
  const char* paths[] = {"/loop", "/bigheader", "/headersonly", "/drop"};
  for (const char* path : paths) {
    SCOPED_TRACE(path);
    HttpDownloader downloader(QuickLimits());
    testing::WriteFile(dir_.File("out"), "old");
    EXPECT_EQ(downloader.DownloadToFile(Url(path), dir_.File("out")), kDownloadBroken);
    EXPECT_EQ(ReadFile(dir_.File("out")), "old");
    EXPECT_EQ(testing::FolderNames(dir_.Path()), std::vector<std::string>{"out"});

    std::string body;
    EXPECT_EQ(downloader.DownloadToString(Url(path), body), kDownloadStringError);
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(dir_.File("s").c_str(), "wb"), &std::fclose);
    EXPECT_EQ(downloader.DownloadToStream(Url(path), file.get(), nullptr, nullptr), kDownloadNoClient);
    file.reset();
    std::remove(dir_.File("s").c_str());
  }
  HttpDownloader downloader;
  std::string body;
  EXPECT_EQ(downloader.DownloadToString(Url("/drop"), body), kDownloadStringError);
  EXPECT_EQ(body, Pattern(30000));
}

// With error statuses failing, an error page never replaces the file.
TEST_F(HttpDownloaderTest, ErrorStatusCanFailTheTransfer) {
  HttpDownloader downloader;
  downloader.SetFailOnErrorStatus(true);
  testing::WriteFile(dir_.File("out"), "old");
  EXPECT_EQ(downloader.DownloadToFile(Url("/missing"), dir_.File("out")), kDownloadBroken);
  EXPECT_EQ(downloader.ResponseStatus(), 404);
  EXPECT_EQ(ReadFile(dir_.File("out")), "old");
  EXPECT_EQ(downloader.DownloadToFile(Url("/body"), dir_.File("out")), kDownloadDone);
  EXPECT_EQ(ReadFile(dir_.File("out")), Pattern(50000));
}

// A silent, a trickling and an endless server each run into one limit.
TEST_F(HttpDownloaderTest, SlowServersFailWithinTheLimits) {
  DownloadLimits silence = QuickLimits();
  DownloadLimits rate = QuickLimits();
  rate.minimumRate = 1000;
  DownloadLimits deadline;
  deadline.deadline = 1s;
  struct Case {
    const char* path;
    DownloadLimits limits;
  } cases[] = {{"/stall", silence}, {"/trickle", rate}, {"/endless", deadline}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    HttpDownloader downloader(c.limits);
    testing::WriteFile(dir_.File("out"), "old");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(downloader.DownloadToFile(Url(c.path), dir_.File("out")), kDownloadBroken);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
    EXPECT_EQ(ReadFile(dir_.File("out")), "old");
    EXPECT_EQ(testing::FolderNames(dir_.Path()), std::vector<std::string>{"out"});
  }
}

}  // namespace
}  // namespace tavelo
