#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "port/process.h"
#include "support/temp_dir.h"

namespace tavelo {
namespace {

bool WaitForFile(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    if (testing::FileExists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(SpawnDetachedTest, ArgumentsAreNotInterpretedByAShell) {
  testing::TempDir dir;
  // Through a shell, the space, ";" and "$(...)" would split and expand the
  // name; as one argument it names one file, literally.
  std::string name = dir.File("a b;c $(echo d) 'e'");
  ASSERT_TRUE(port::SpawnDetached({"touch", name}, dir.Path()));
  EXPECT_TRUE(WaitForFile(name));
  EXPECT_FALSE(testing::FileExists(dir.File("a")));
}

TEST(SpawnDetachedTest, MissingProgramEmptyVectorAndMissingFolderFail) {
  testing::TempDir dir;
  EXPECT_FALSE(port::SpawnDetached({}, dir.Path()));
  EXPECT_FALSE(port::SpawnDetached({"tavelo-no-such-program-xyz"}, dir.Path()));
  EXPECT_FALSE(port::SpawnDetached({"true"}, dir.File("gone/")));
  EXPECT_FALSE(port::SpawnDetached({"true"}, ""));
}

// A helper finds its files relative to the folder it is started in, not to
// the folder the user started Tavelo from.
TEST(SpawnDetachedTest, TheChildRunsInTheGivenFolder) {
  testing::TempDir dir;
  ASSERT_TRUE(port::SpawnDetached({"touch", "made-here"}, dir.Path()));
  EXPECT_TRUE(WaitForFile(dir.File("made-here")));
}

}  // namespace
}  // namespace tavelo
