#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <future>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/catalogue_store.h"
#include "tool_run.h"
#include "net/loopback_server.h"
#include "support/temp_dir.h"
#include "text/text_buffer.h"

namespace tavelo {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

using testing::ToolRun;

ToolRun Tool(const std::vector<std::string>& arguments) { return testing::RunTool(arguments); }

std::string Descrambled(const std::string& path) {
  std::string bytes = ReadFile(path);
  KeyedXor(bytes, kCatalogueKey);
  return bytes;
}

const std::string kData = "1\tfirst\tx\r\n2\tsecond\ty\r\n3\tthird\tz\r\n";

TEST(PackCommand, WrapsTheDataAsAScrambledPackage) {
  TempDir dir;
  WriteFile(dir.File("in.txt"), kData);
  ToolRun run = Tool({"pack", dir.File("in.txt"), dir.File("out.dat")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Descrambled(dir.File("out.dat")),
            "[LIST_BEGIN]" + kData + "[LIST_END]\r\nDB_DATA_END\r\n");
  TextBuffer buffer;
  ASSERT_EQ(buffer.LoadFile(dir.File("out.dat"), kCatalogueKey), 0);
  CatalogueCategory list;
  EXPECT_EQ(list.LoadFromPackage(buffer), 3);
}

TEST(PackCommand, ZippedPackageUnzipsToTheSamePackage) {
  struct Case {
    const char* archive;
    const char* member;
  } cases[] = {{"new.zip", "new.dat"}, {"new.bin", "new.bin.dat"}, {"a.zip.zip", "a.zip.dat"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.archive);
    TempDir dir;
    WriteFile(dir.File("in.txt"), kData);
    ASSERT_EQ(Tool({"pack", dir.File("in.txt"), dir.File("plain.dat")}).status, 0);
    ASSERT_EQ(Tool({"pack", dir.File("in.txt"), dir.File(c.archive), "--zip"}).status, 0);
    ToolRun run = Tool({"unzip", dir.File(c.archive)});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dir.File(c.member) + "\n");
    EXPECT_EQ(ReadFile(dir.File(c.member)), ReadFile(dir.File("plain.dat")));
  }
}

// Info-ZIP, where installed, must accept what pack --zip writes.
TEST(PackCommand, ZippedPackagePassesInfoZipTest) {
  if (access("/usr/bin/unzip", X_OK) != 0) GTEST_SKIP() << "unzip not installed";
  TempDir dir;
  WriteFile(dir.File("in.txt"), kData);
  ASSERT_EQ(Tool({"pack", dir.File("in.txt"), dir.File("p.zip"), "--zip"}).status, 0);
  std::string command = "/usr/bin/unzip -tqq '" + dir.File("p.zip") + "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST(PackCommand, BadUsageAndMissingInput) {
  TempDir dir;
  WriteFile(dir.File("in.txt"), kData);
  EXPECT_EQ(Tool({"pack", dir.File("in.txt"), dir.File("o"), "--gzip"}).status, 2);
  EXPECT_FALSE(FileExists(dir.File("o")));
  EXPECT_EQ(Tool({"pack", dir.File("absent.txt"), dir.File("o")}).status, 1);
  EXPECT_EQ(Tool({"pack", dir.File("in.txt"), dir.File("no/dir/o")}).status, 1);
}

TEST(UnzipCommand, DamagedArchiveGivesAReason) {
  TempDir dir;
  WriteFile(dir.File("bad.zip"), "PK\x05\x06 but nothing else");
  ToolRun run = Tool({"unzip", dir.File("bad.zip")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("bad.zip"), std::string::npos);
}

class NetCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Routes().Get("/video.dat", [](const httplib::Request&, httplib::Response& res) {
      std::string text = "[LIST_BEGIN]" + kData + "[LIST_END]\r\nDB_DATA_END\r\n";
      KeyedXor(text, kCatalogueKey);
      res.set_content(text, "application/octet-stream");
    });
    server_.Routes().Get("/loop", [this](const httplib::Request&, httplib::Response& res) {
      res.set_redirect(server_.Url("/loop"));
    });
    server_.Routes().Get("/cut", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(1000, "application/octet-stream",
                               [](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset > 0) return false;
                                 sink.write("half", 4);
                                 return true;
                               });
    });
    server_.Routes().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("<html>not here</html>", "text/html");
    });
    server_.Start();
  }
  testing::LoopbackServer server_;
  TempDir dir_;
};

TEST_F(NetCommandsTest, FetchPrintsTheResultCode) {
  ToolRun run = Tool({"fetch", server_.Url("/video.dat"), dir_.File("got.dat")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "0\n");
  EXPECT_EQ(Descrambled(dir_.File("got.dat")).substr(0, 12), "[LIST_BEGIN]");

  std::string down = "http://127.0.0.1:" + std::to_string(testing::UnusedLoopbackPort()) + "/";
  run = Tool({"fetch", down, dir_.File("never.dat")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "202\n");

  run = Tool({"fetch", server_.Url("/video.dat"), dir_.File("no/dir/x")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "1\n");
}

// A redirect loop, a cut body and an error page fail the fetch and leave
// OUT as it was, with nothing beside it.
TEST_F(NetCommandsTest, FetchFailuresKeepOut) {
  for (const char* path : {"/loop", "/cut", "/missing"}) {
    SCOPED_TRACE(path);
    TempDir dir;
    WriteFile(dir.File("out"), "old");
    ToolRun run = Tool({"fetch", server_.Url(path), dir.File("out")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "205\n");
    EXPECT_NE(run.err.find(path), std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("out")), "old");
    EXPECT_EQ(testing::FolderNames(dir.Path()), std::vector<std::string>{"out"});
  }
}

// OUT in each form a user's file may take, for a save (scramble) and for a
// download (fetch): a link is kept and its final target replaced in its own
// folder, a FIFO or device is written straight through, a dangling link is
// refused by name, and nothing is ever left beside any of them.
TEST_F(NetCommandsTest, OutputKeepsWhatOutIs) {
  WriteFile(dir_.File("in.txt"), kData);
  std::string scrambled = kData;
  KeyedXor(scrambled, kCatalogueKey);
  std::string package = "[LIST_BEGIN]" + kData + "[LIST_END]\r\nDB_DATA_END\r\n";
  KeyedXor(package, kCatalogueKey);
  struct Command {
    const char* name;
    std::vector<std::string> arguments;  // OUT follows
    std::string bytes;
  } commands[] = {
      {"save", {"scramble", dir_.File("in.txt")}, scrambled},
      {"fetch", {"fetch", server_.Url("/video.dat")}, package},
  };
  enum class Form { kRegular, kLinkChain, kDanglingLink, kFifo, kDevice };
  const std::pair<const char*, Form> forms[] = {
      {"regular", Form::kRegular},   {"chain of links", Form::kLinkChain}, {"dangling link", Form::kDanglingLink},
      {"FIFO", Form::kFifo},         {"character device", Form::kDevice},
  };
  for (const Command& command : commands) {
    for (const auto& [formName, form] : forms) {
      SCOPED_TRACE(std::string(command.name) + " onto " + formName);
      if (form == Form::kDevice && geteuid() != 0) {
        std::cout << "character device skipped: only root may make one\n";
        continue;
      }
      TempDir dir;
      const std::string out = dir.File("out");
      const std::string real = dir.File("elsewhere/real");
      mkdir(dir.File("elsewhere").c_str(), 0755);
      std::future<std::string> fifoReader;
      switch (form) {
        case Form::kRegular: WriteFile(out, "old"); break;
        case Form::kLinkChain:
          WriteFile(real, "old");
          ASSERT_EQ(symlink("elsewhere/real", dir.File("hop").c_str()), 0);
          ASSERT_EQ(symlink("hop", out.c_str()), 0);
          break;
        case Form::kDanglingLink: ASSERT_EQ(symlink("elsewhere/gone", out.c_str()), 0); break;
        case Form::kFifo:
          ASSERT_EQ(mkfifo(out.c_str(), 0644), 0);
          fifoReader = std::async(std::launch::async, [out] { return ReadFile(out); });
          break;
        // What the null device is, made privately: writes to it vanish.
        case Form::kDevice: ASSERT_EQ(mknod(out.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0); break;
      }
      std::vector<std::string> arguments = command.arguments;
      arguments.push_back(out);
      ToolRun run = Tool(arguments);
      if (form == Form::kFifo) {
        // Lets a reader still waiting for a writer go, should the tool not have come.
        close(open(out.c_str(), O_WRONLY | O_NONBLOCK));
      }

      struct stat info;
      ASSERT_EQ(lstat(out.c_str(), &info), 0);
      std::vector<std::string> names = {"elsewhere", "out"};
      switch (form) {
        case Form::kRegular:
          EXPECT_TRUE(S_ISREG(info.st_mode));
          EXPECT_EQ(ReadFile(out), command.bytes);
          break;
        case Form::kLinkChain:
          EXPECT_TRUE(S_ISLNK(info.st_mode));
          EXPECT_EQ(std::filesystem::read_symlink(out), "hop");
          EXPECT_EQ(ReadFile(real), command.bytes);
          EXPECT_EQ(testing::FolderNames(dir.File("elsewhere")), std::vector<std::string>{"real"});
          names = {"elsewhere", "hop", "out"};
          break;
        case Form::kDanglingLink:
          EXPECT_TRUE(S_ISLNK(info.st_mode));
          EXPECT_EQ(run.status, 1);
          EXPECT_NE(run.err.find("cannot write " + out + ": No such file or directory"), std::string::npos) << run.err;
          EXPECT_EQ(testing::FolderNames(dir.File("elsewhere")), std::vector<std::string>{});
          break;
        case Form::kFifo:
          EXPECT_TRUE(S_ISFIFO(info.st_mode));
          EXPECT_EQ(fifoReader.get(), command.bytes);
          break;
        case Form::kDevice:
          EXPECT_TRUE(S_ISCHR(info.st_mode));
          EXPECT_EQ(info.st_rdev, makedev(1, 3));
          break;
      }
      if (form != Form::kDanglingLink) {
        EXPECT_EQ(run.status, 0) << run.err;
      }
      EXPECT_EQ(testing::FolderNames(dir.Path()), names);
    }
  }
}

TEST_F(NetCommandsTest, UpdatePrintsBothCounts) {
  mkdir(dir_.File("data").c_str(), 0755);
  WriteFile(dir_.File("data/main.htm"),
            "[VIDEO_NEW_DATA_URL]\r\n" + server_.Url("/video.dat") + "\r\n[P2P_NEW_DATA_URL]\r\n");
  ToolRun run = Tool({"update", dir_.Path()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "videonew 3\np2pnew 0\n");
  EXPECT_TRUE(FileExists(dir_.File("data/videonew.ini")));
}

}  // namespace
}  // namespace tavelo
