// Kills `tavelo-catalogue update` with SIGKILL at points spread over a whole
// pass (download, extraction, saving) and checks what each kill leaves.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/catalogue_store.h"
#include "net/loopback_server.h"
#include "net/zip_builder.h"
#include "support/temp_dir.h"
#include "text/text_buffer.h"

extern char** environ;

namespace tavelo {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

std::string Package(int count, const std::string& tag) {
  std::string text = "[LIST_BEGIN]";
  for (int i = 0; i < count; ++i) text += std::to_string(i * 7919) + "\t" + tag + "\r\n";
  text += "[LIST_END]\r\nDB_DATA_END\r\n";
  KeyedXor(text, kCatalogueKey);
  return text;
}

pid_t StartUpdate(const std::string& programDirectory) {
  const char* arguments[] = {TAVELO_CATALOGUE_TOOL, "update", programDirectory.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  int failed = posix_spawn(&pid, TAVELO_CATALOGUE_TOOL, &actions, nullptr,
                           const_cast<char* const*>(arguments), environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed == 0 ? pid : -1;
}

int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

TEST(UpdateKillTest, AKilledPassLeavesTheOldOrTheNewCopyAndTheNextCleansUp) {
  const std::string oldCopy = Package(10, "old");
  const std::string newCopy = Package(100000, "new");
  testing::TestZip zip;
  zip.members.emplace_back();
  zip.members.back().name = "vnew.dat";
  zip.members.back().data = newCopy;
  const std::string archive = testing::BuildTestZip(zip);

  // The archive goes out in slices a few milliseconds apart, so the kills
  // land in the download as well as after it.
  testing::LoopbackServer server;
  server.Routes().Get("/video.zip", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(archive.size(), "application/zip",
                             [&](size_t offset, size_t, httplib::DataSink& sink) {
                               std::this_thread::sleep_for(2ms);
                               size_t slice = std::min<size_t>(32768, archive.size() - offset);
                               return sink.write(archive.data() + offset, slice);
                             });
  });
  server.Start();

  TempDir dir;
  mkdir(dir.File("data").c_str(), 0755);
  WriteFile(dir.File("data/main.htm"), "[VIDEO_NEW_DATA_URL]\r\n" + server.Url("/video.zip") + "\r\n");
  const std::vector<std::string> clean = {"main.htm", "update.lock", "videonew.ini"};

  // One whole pass measures how long the kills have to spread over.
  WriteFile(dir.File("data/videonew.ini"), oldCopy);
  auto start = Clock::now();
  pid_t pid = StartUpdate(dir.Path());
  ASSERT_GT(pid, 0);
  ASSERT_EQ(Wait(pid), 0);
  auto whole = Clock::now() - start;
  ASSERT_EQ(ReadFile(dir.File("data/videonew.ini")), newCopy);

  constexpr int kKills = 16;
  for (int i = 0; i < kKills; ++i) {
    SCOPED_TRACE(i);
    WriteFile(dir.File("data/videonew.ini"), oldCopy);
    pid = StartUpdate(dir.Path());
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(whole * i / kKills);
    kill(pid, SIGKILL);
    Wait(pid);
    std::string saved = ReadFile(dir.File("data/videonew.ini"));
    EXPECT_TRUE(saved == oldCopy || saved == newCopy) << saved.size() << " bytes";

    pid = StartUpdate(dir.Path());
    ASSERT_GT(pid, 0);
    EXPECT_EQ(Wait(pid), 0);
    EXPECT_EQ(ReadFile(dir.File("data/videonew.ini")), newCopy);
    EXPECT_EQ(testing::FolderNames(dir.File("data")), clean);
  }
}

}  // namespace
}  // namespace tavelo
