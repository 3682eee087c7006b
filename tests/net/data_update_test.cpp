#include "net/data_update.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "catalogue/catalogue_store.h"
#include "net/http_downloader.h"
#include "net/loopback_server.h"
#include "net/zip_builder.h"
#include "support/temp_dir.h"
#include "text/text_buffer.h"

namespace tavelo {
namespace {

using namespace std::chrono_literals;
using testing::BuildTestZip;
using testing::FileExists;
using testing::LoopbackServer;
using testing::ReadFile;
using testing::TempDir;
using testing::TestMember;
using testing::TestZip;
using testing::WriteFile;

std::string Scrambled(std::string text) {
  KeyedXor(text, kCatalogueKey);
  return text;
}

// A scrambled update package with `count` records.
std::string Package(int count, const std::string& tag) {
  std::string text = "[LIST_BEGIN]";
  for (int i = 0; i < count; ++i) text += std::to_string(i) + "\t" + tag + "\r\n";
  return Scrambled(text + "[LIST_END]\r\nDB_DATA_END\r\n");
}

std::string Zipped(const std::string& memberName, const std::string& data) {
  TestZip zip;
  TestMember member;
  member.name = memberName;
  member.data = data;
  zip.members.push_back(member);
  return BuildTestZip(zip);
}

class DataUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Promises more than it sends, then drops the connection.
    server_.Routes().Get("/cut.dat", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(100000, "application/octet-stream",
                               [](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset > 0) return false;
                                 std::string head = Package(50, "cut").substr(0, 200);
                                 sink.write(head.data(), head.size());
                                 return true;
                               });
    });
    // Two bytes a tenth of a second apart, for five seconds.
    server_.Routes().Get("/trickle.dat", [this](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("application/octet-stream",
                                       [this](size_t offset, httplib::DataSink& sink) {
                                         std::this_thread::sleep_for(100ms);
                                         if (offset >= 100 || server_.Released()) return false;
                                         return sink.write("ab", 2);
                                       });
    });
    // The first request is answered once the test lets it go, later ones at once.
    server_.Routes().Get("/held.dat", [this](const httplib::Request&, httplib::Response& res) {
      if (++heldRequests_ == 1) {
        while (!letGo_ && !server_.Released()) std::this_thread::sleep_for(10ms);
      }
      res.set_content(Package(3, "held" + std::to_string(heldRequests_.load())), "application/octet-stream");
    });
    // Any other name: what Serve() put there, else a 404 page. Routes match
    // in the order they were made, so this one comes last.
    server_.Routes().Get(R"(/(.+))", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard lock(mutex_);
      auto found = bodies_.find(req.matches[1]);
      if (found == bodies_.end()) {
        res.status = 404;
        res.set_content("<html><body>404 Not Found</body></html>", "text/html");
        return;
      }
      res.set_content(found->second, "application/octet-stream");
    });
    server_.Start();
    mkdir(dir_.File("data").c_str(), 0755);
  }

  void Serve(const std::string& name, const std::string& body) {
    std::lock_guard lock(mutex_);
    bodies_[name] = body;
  }

  void WriteTemplate(const std::string& videoUrl, const std::string& p2pUrl) {
    std::string text = "<html>\r\n";
    if (!videoUrl.empty()) text += "[VIDEO_NEW_DATA_URL]\r\n" + videoUrl + "\r\n";
    text += "[P2P_NEW_DATA_URL]\r\n" + p2pUrl + "\r\n";
    WriteFile(dir_.File("data/main.htm"), text);
  }

  struct Counts {
    int video;
    int p2p;
  };
  Counts RunPass() {
    CatalogueCategory video;
    CatalogueCategory p2p;
    RunDataUpdatePass(ProgramPaths{dir_.Path()}, video, p2p);
    return {video.Records().Count(), p2p.Records().Count()};
  }

  std::string Saved(const char* name) { return ReadFile(dir_.File(std::string("data/") + name)); }

  // The names in data/ other than the template, the saved copies and the
  // pass lock, space-separated in order.
  std::string Leftovers() {
    std::string left;
    for (const std::string& name : testing::FolderNames(dir_.File("data"))) {
      if (name != "main.htm" && name != "videonew.ini" && name != "p2pnew.ini" && name != "update.lock") {
        left += (left.empty() ? "" : " ") + name;
      }
    }
    return left;
  }

  // Waits until the held request has come in.
  void AwaitHeldRequest() {
    for (int i = 0; i < 500 && heldRequests_ == 0; ++i) std::this_thread::sleep_for(10ms);
    ASSERT_EQ(heldRequests_, 1);
  }

  LoopbackServer server_;
  TempDir dir_;
  std::atomic<int> heldRequests_{0};
  std::atomic<bool> letGo_{false};
  std::mutex mutex_;
  std::map<std::string, std::string> bodies_;
};

TEST_F(DataUpdateTest, FreshPackagesFillBothListsAndReplaceTheSavedCopies) {
  WriteFile(dir_.File("data/videonew.ini"), Package(2, "old"));
  Serve("video.dat", Package(3, "v"));
  Serve("p2p.dat", Package(4, "p"));
  WriteTemplate(server_.Url("/video.dat"), server_.Url("/p2p.dat"));

  Counts counts = RunPass();
  EXPECT_EQ(counts.video, 3);
  EXPECT_EQ(counts.p2p, 4);
  EXPECT_EQ(Saved("videonew.ini"), Package(3, "v"));
  EXPECT_EQ(Saved("p2pnew.ini"), Package(4, "p"));
  EXPECT_EQ(Leftovers(), "");
}

TEST_F(DataUpdateTest, ZippedPackageIsExtractedSavedAndCleanedUp) {
  Serve("video.zip", Zipped("vnew.dat", Package(5, "z")));
  WriteTemplate(server_.Url("/video.zip"), "");
  Counts counts = RunPass();
  EXPECT_EQ(counts.video, 5);
  EXPECT_EQ(counts.p2p, 0);
  EXPECT_EQ(Saved("videonew.ini"), Package(5, "z"));
  EXPECT_EQ(Leftovers(), "");
  EXPECT_FALSE(FileExists(dir_.File("data/p2pnew.ini")));
}

// Answers that are not packages: the saved copy stays exactly as it was and
// fills the list. A package needs its end marker and a whole list block.
TEST_F(DataUpdateTest, BadAnswersKeepTheSavedCopy) {
  Serve("garbage.zip", "this is no zip archive");
  Serve("nopackage.zip", Zipped("np.dat", "plain text without the end marker"));
  Serve("cutzip.zip", Zipped("cz.dat", Package(9, "c")).substr(0, 60));
  Serve("unscrambled.dat", "[LIST_BEGIN]1\tx\r\n[LIST_END]\r\nDB_DATA_END\r\n");
  Serve("nolist.dat", Scrambled("<html>DB_DATA_END</html>"));
  Serve("nolistend.dat", Scrambled("[LIST_BEGIN]1\tx\r\nDB_DATA_END\r\n"));
  Serve("nolistend.zip", Zipped("ne.dat", Scrambled("[LIST_BEGIN]1\tx\r\nDB_DATA_END\r\n")));
  const char* paths[] = {"/error.html", "/cut.dat", "/garbage.zip", "/nopackage.zip",
                         "/cutzip.zip", "/unscrambled.dat", "/nolist.dat", "/nolistend.dat",
                         "/nolistend.zip"};
  for (const char* path : paths) {
    SCOPED_TRACE(path);
    WriteFile(dir_.File("data/videonew.ini"), Package(2, "saved"));
    WriteTemplate(server_.Url(path), "");
    Counts counts = RunPass();
    EXPECT_EQ(counts.video, 2);
    EXPECT_EQ(Saved("videonew.ini"), Package(2, "saved"));
    EXPECT_EQ(Leftovers(), "");
  }
}

TEST_F(DataUpdateTest, NetworkDownOnTheSecondRunUsesTheFirstRunsCopies) {
  Serve("video.dat", Package(3, "v"));
  Serve("p2p.zip", Zipped("p.dat", Package(6, "p")));
  WriteTemplate(server_.Url("/video.dat"), server_.Url("/p2p.zip"));
  Counts first = RunPass();
  EXPECT_EQ(first.video, 3);
  EXPECT_EQ(first.p2p, 6);

  std::string down = "http://127.0.0.1:" + std::to_string(testing::UnusedLoopbackPort());
  WriteTemplate(down + "/video.dat", down + "/p2p.zip");
  Counts second = RunPass();
  EXPECT_EQ(second.video, 3);
  EXPECT_EQ(second.p2p, 6);
}

TEST_F(DataUpdateTest, MissingAddressesAndCopiesLeaveListsEmpty) {
  Serve("video.dat", Package(3, "v"));
  WriteTemplate(server_.Url("/video.dat"), "");
  WriteFile(dir_.File("data/p2pnew.ini"), Package(7, "kept"));
  Counts counts = RunPass();
  EXPECT_EQ(counts.video, 3);
  // No address: nothing fetched and the list keeps what it had (nothing).
  EXPECT_EQ(counts.p2p, 0);
  EXPECT_EQ(Saved("p2pnew.ini"), Package(7, "kept"));

  WriteTemplate(server_.Url("/absent.dat"), "");
  remove(dir_.File("data/videonew.ini").c_str());
  EXPECT_EQ(RunPass().video, 0);
}

// A member's name comes from the server; it may not stand in for the
// program's own files, which the pass would then delete.
TEST_F(DataUpdateTest, ZipMemberCannotReplaceProgramFiles) {
  const char* names[] = {"videonew.ini", "myfavo.dat", "main.htm", "data_tmp1.dat"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    WriteFile(dir_.File("data/myfavo.dat"), "favourites");
    WriteFile(dir_.File("data/videonew.ini"), Package(2, "saved"));
    std::string templatePath = dir_.File("data/main.htm");
    Serve("evil.zip", Zipped(name, "no package"));
    WriteTemplate(server_.Url("/evil.zip"), "");
    std::string templateText = ReadFile(templatePath);
    EXPECT_EQ(RunPass().video, 2);
    EXPECT_EQ(ReadFile(dir_.File("data/myfavo.dat")), "favourites");
    EXPECT_EQ(Saved("videonew.ini"), Package(2, "saved"));
    EXPECT_EQ(ReadFile(templatePath), templateText);
  }
}

}  // namespace
}  // namespace tavelo

namespace tavelo {
namespace {

// A member extracted under the saved copy's own name is the accepted copy:
// it must not be deleted as a leftover afterwards.
TEST_F(DataUpdateTest, MemberNamedLikeTheSavedCopyIsKept) {
  Serve("video.zip", Zipped("videonew.ini", Package(3, "z")));
  WriteTemplate(server_.Url("/video.zip"), "");
  EXPECT_EQ(RunPass().video, 3);
  EXPECT_EQ(Saved("videonew.ini"), Package(3, "z"));
}

TEST_F(DataUpdateTest, ACancelledDownloaderStartsNoFetch) {
  WriteFile(dir_.File("data/videonew.ini"), Package(2, "old"));
  Serve("video.dat", Package(3, "v"));
  WriteTemplate(server_.Url("/video.dat"), "");
  CatalogueCategory video, p2p;
  HttpDownloader downloader;
  downloader.Cancel();
  RunDataUpdatePass(ProgramPaths{dir_.Path()}, video, p2p, downloader);
  EXPECT_EQ(Saved("videonew.ini"), Package(2, "old"));
}

}  // namespace
}  // namespace tavelo

namespace tavelo {
namespace {

// A server that trickles runs into the pass's limits: the pass ends at
// once, keeps the saved copy and leaves nothing behind.
TEST_F(DataUpdateTest, ASlowServerCannotHoldThePass) {
  WriteFile(dir_.File("data/videonew.ini"), Package(2, "saved"));
  WriteTemplate(server_.Url("/trickle.dat"), "");
  DownloadLimits limits;
  limits.rateWindow = 1s;
  limits.minimumRate = 100;
  limits.deadline = 2s;
  HttpDownloader downloader(limits);
  CatalogueCategory video, p2p;
  auto start = std::chrono::steady_clock::now();
  RunDataUpdatePass(ProgramPaths{dir_.Path()}, video, p2p, downloader);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  EXPECT_EQ(video.Records().Count(), 2);
  EXPECT_EQ(Saved("videonew.ini"), Package(2, "saved"));
  EXPECT_EQ(Leftovers(), "");
}

// Two passes at once: the second does not fetch until the first is done,
// so the saved copy is always one whole package.
TEST_F(DataUpdateTest, PassesTakeTurns) {
  WriteTemplate(server_.Url("/held.dat"), "");
  Counts first{}, second{};
  std::thread firstPass([&] { first = RunPass(); });
  AwaitHeldRequest();
  std::thread secondPass([&] { second = RunPass(); });
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(heldRequests_, 1);
  letGo_ = true;
  firstPass.join();
  secondPass.join();
  EXPECT_EQ(heldRequests_, 2);
  EXPECT_EQ(first.video, 3);
  EXPECT_EQ(second.video, 3);
  EXPECT_EQ(Saved("videonew.ini"), Package(3, "held2"));
  EXPECT_EQ(Leftovers(), "");
}

// The owner going away ends a pass that waits for another one's lock.
TEST_F(DataUpdateTest, ACancelledPassStopsWaitingForTheLock) {
  WriteTemplate(server_.Url("/held.dat"), "");
  std::thread firstPass([&] { RunPass(); });
  AwaitHeldRequest();
  HttpDownloader downloader;
  std::atomic<bool> returned{false};
  std::thread secondPass([&] {
    CatalogueCategory video, p2p;
    RunDataUpdatePass(ProgramPaths{dir_.Path()}, video, p2p, downloader);
    returned = true;
  });
  std::this_thread::sleep_for(100ms);
  downloader.Cancel();
  for (int i = 0; i < 100 && !returned; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(returned);
  letGo_ = true;
  firstPass.join();
  secondPass.join();
  EXPECT_EQ(heldRequests_, 1);
}

// What killed passes left (work folders, old part files and download names,
// a member an earlier version extracted under its own name) neither blocks
// the next pass nor outlives it; another save's temporary is not the pass's.
TEST_F(DataUpdateTest, LeftoversOfKilledPassesGoAndBlockNothing) {
  mkdir(dir_.File("data/update.tmp-a1b2c3").c_str(), 0755);
  WriteFile(dir_.File("data/update.tmp-a1b2c3/download"), "half a download");
  WriteFile(dir_.File("data/vnew.dat.part-d4e5f6"), "half a member");
  WriteFile(dir_.File("data/data_tmp1.dat"), "an old download");
  WriteFile(dir_.File("data/vnew.dat"), Package(1, "stale"));
  WriteFile(dir_.File("data/myfavo.dat.tmp-g7h8i9"), "another store's live save");
  Serve("video.zip", Zipped("vnew.dat", Package(5, "z")));
  WriteTemplate(server_.Url("/video.zip"), "");
  EXPECT_EQ(RunPass().video, 5);
  EXPECT_EQ(Saved("videonew.ini"), Package(5, "z"));
  EXPECT_EQ(Leftovers(), "myfavo.dat.tmp-g7h8i9");
}

// A file named like the member that is no package is the user's, not a
// leftover.
TEST_F(DataUpdateTest, AFileNamedLikeTheMemberThatIsNoPackageStays) {
  WriteFile(dir_.File("data/vnew.dat"), "the user's notes");
  Serve("video.zip", Zipped("vnew.dat", Package(5, "z")));
  WriteTemplate(server_.Url("/video.zip"), "");
  EXPECT_EQ(RunPass().video, 5);
  EXPECT_EQ(Saved("vnew.dat"), "the user's notes");
}

}  // namespace
}  // namespace tavelo
