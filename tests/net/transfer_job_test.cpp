#include "net/transfer_job.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "base/file_digest.h"
#include "net/loopback_server.h"
#include "net/zip_builder.h"
#include "support/temp_dir.h"

namespace tavelo {
namespace {

using namespace std::chrono_literals;
using testing::ReadFile;
using testing::WriteFile;

// A well-formed digest of other bytes.
constexpr const char* kOtherDigest = "3a4c5ba3c5a0d1e1f9f5a8e2da40b0a3";

// The names in `folder` but the lock package jobs take turns on.
std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != ".." && name != "transfer.lock") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

class TransferJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& routes = server_.Routes();
    routes.Get("/text", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("[FLAG]\r\nsetup\r\n", "text/plain");
    });
    routes.Get("/package.zip", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(package_, "application/zip");
    });
    routes.Get("/stall.zip", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(1000000, "application/zip", [this](size_t offset, size_t, httplib::DataSink& sink) {
        if (offset == 0) return sink.write(package_.data(), 100);
        while (!server_.Released() && sink.is_writable()) std::this_thread::sleep_for(10ms);
        return false;
      });
    });
    server_.Start();
    mkdir(dir_.File("data").c_str(), 0755);
    testing::TestZip zip;
    zip.members.push_back(testing::TestMember{});
    zip.members[0].name = "quillo";
    zip.members[0].data = member_;
    package_ = testing::BuildTestZip(zip);
  }

  std::string MemberDigest() {
    std::string digest;
    WriteFile(dir_.File("expected"), member_);
    EXPECT_EQ(DigestFileHex(dir_.File("expected"), digest), 0);
    unlink(dir_.File("expected").c_str());
    return digest;
  }

  TransferJob PackageJob(const std::string& path, const std::string& digest) {
    return TransferJob(TransferRequest::PackageInstall(server_.Url(path), digest, dir_.File("quillo"),
                                                       dir_.File("data/")));
  }

  testing::LoopbackServer server_;
  testing::TempDir dir_;
  std::string member_ = "companion program\n";
  std::string package_;
};

TEST_F(TransferJobTest, TextJobsKeepTheBodyOnlyWhenTheFetchSucceeded) {
  TransferJob fetched(TransferRequest::TextFetch(server_.Url("/text")));
  fetched.Run(nullptr, nullptr);
  EXPECT_EQ(fetched.Text(), "[FLAG]\r\nsetup\r\n");

  TransferJob unreachable(TransferRequest::TextFetch(
      "http://127.0.0.1:" + std::to_string(testing::UnusedLoopbackPort()) + "/text"));
  unreachable.Run(nullptr, nullptr);
  EXPECT_EQ(unreachable.Text(), "");

  TransferJob stopped(TransferRequest::TextFetch(server_.Url("/text")));
  stopped.Stop();
  stopped.Run(nullptr, nullptr);
  EXPECT_EQ(stopped.Text(), "");
}

TEST_F(TransferJobTest, PackagesInstallTheirMemberWhenTheDigestMatchesInAnyCase) {
  std::string digest = MemberDigest();
  std::string upper = digest;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const std::string& expected : {digest, upper}) {
    SCOPED_TRACE(expected);
    unlink(dir_.File("quillo").c_str());
    TransferJob job = PackageJob("/package.zip", expected);
    job.Run(nullptr, nullptr);
    EXPECT_TRUE(job.Installed());
    EXPECT_EQ(ReadFile(dir_.File("quillo")), member_);
    // The job's package and member are gone with it.
    EXPECT_TRUE(FolderEntries(dir_.File("data")).empty());
  }
}

TEST_F(TransferJobTest, AMismatchingDigestLeavesTheOldTargetUntouched) {
  WriteFile(dir_.File("quillo"), "old version");
  for (const char* expected : {kOtherDigest, "", "not a digest"}) {
    TransferJob job = PackageJob("/package.zip", expected);
    job.Run(nullptr, nullptr);
    EXPECT_FALSE(job.Installed()) << expected;
  }
  EXPECT_EQ(ReadFile(dir_.File("quillo")), "old version");
  // No temporary file is left beside the target.
  EXPECT_EQ(FolderEntries(dir_.Path()).size(), 2u);
  EXPECT_TRUE(FolderEntries(dir_.File("data")).empty());
}

TEST_F(TransferJobTest, AStopDuringTheDownloadInstallsNothing) {
  TransferJob job = PackageJob("/stall.zip", MemberDigest());
  std::thread worker([&] { job.Run(nullptr, nullptr); });
  std::this_thread::sleep_for(200ms);
  job.Stop();
  worker.join();  // ends within a block, well before the server lets go
  EXPECT_FALSE(job.Installed());
  EXPECT_FALSE(testing::FileExists(dir_.File("quillo")));
  EXPECT_TRUE(FolderEntries(dir_.File("data")).empty());
}

// A job killed mid-download left its folder in data/; the next job, under
// the same lock, removes it and nothing else.
TEST_F(TransferJobTest, TheNextJobRemovesTheFoldersOfKilledJobs) {
  mkdir(dir_.File("data/package-a1B2c3").c_str(), 0755);
  WriteFile(dir_.File("data/package-a1B2c3/package.zip"), "half a package");
  mkdir(dir_.File("data/package-mine").c_str(), 0755);
  WriteFile(dir_.File("data/package-b2c3d4"), "a file, not a job's folder");
  TransferJob job = PackageJob("/package.zip", MemberDigest());
  job.Run(nullptr, nullptr);
  EXPECT_TRUE(job.Installed());
  std::vector<std::string> left = FolderEntries(dir_.File("data"));
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"package-b2c3d4", "package-mine"}));
}

TEST(SameDigestTest, IgnoresLetterCaseOnly) {
  EXPECT_TRUE(SameDigest("0aF9", "0Af9"));
  EXPECT_FALSE(SameDigest("0af9", "0af8"));
  EXPECT_FALSE(SameDigest("0af9", "0af9 "));
  EXPECT_FALSE(SameDigest("g", "G"));
}

}  // namespace
}  // namespace tavelo
