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
  ASSERT_TRUE(port::SpawnDetached({"touch", name}));
  EXPECT_TRUE(WaitForFile(name));
  EXPECT_FALSE(testing::FileExists(dir.File("a")));
}

TEST(SpawnDetachedTest, MissingProgramAndEmptyVectorFail) {
  EXPECT_FALSE(port::SpawnDetached({}));
  EXPECT_FALSE(port::SpawnDetached({"tavelo-no-such-program-xyz"}));
}

}  // namespace
}  // namespace tavelo
