#include "base/atomic_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cerrno>
#include <filesystem>

#include "base/system_calls.h"
#include "support/temp_dir.h"

namespace tavelo {
namespace {

int Entries(const std::string& folder) {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder),
                                        std::filesystem::directory_iterator()));
}

ssize_t FailingWrite(int, const void*, size_t) {
  errno = ENOSPC;
  return -1;
}
int FailingFsync(int) {
  errno = EIO;
  return -1;
}
int FailingRename(const char*, const char*) {
  errno = EXDEV;
  return -1;
}

TEST(AtomicWriteTest, ReplacesTheFileAndLeavesNothingElse) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("list"), "old");
  ASSERT_TRUE(AtomicWriteFile(dir.File("list"), "new bytes"));
  EXPECT_EQ(testing::ReadFile(dir.File("list")), "new bytes");
  EXPECT_EQ(Entries(dir.Path()), 1);
  struct stat info;
  ASSERT_EQ(stat(dir.File("list").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(AtomicWriteTest, AnyFailingStepKeepsTheOldFileAndNoTemporary) {
  const sys::SystemCalls real = sys::Calls();
  const sys::SystemCalls faults[] = {
      {&FailingWrite, real.fsync, real.rename},
      {real.write, &FailingFsync, real.rename},
      {real.write, real.fsync, &FailingRename},
  };
  for (const sys::SystemCalls& calls : faults) {
    testing::TempDir dir;
    testing::WriteFile(dir.File("list"), "old");
    {
      sys::ScopedSystemCalls failing(calls);
      EXPECT_FALSE(AtomicWriteFile(dir.File("list"), "new"));
    }
    EXPECT_EQ(testing::ReadFile(dir.File("list")), "old");
    EXPECT_EQ(Entries(dir.Path()), 1);
  }
}

TEST(AtomicWriteTest, AMissingFolderFails) {
  testing::TempDir dir;
  EXPECT_FALSE(AtomicWriteFile(dir.File("no/such/list"), "x"));
}

TEST(AtomicWriteTest, CommitWithoutReplacingKeepsAnExistingTarget) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("member"), "first");
  PendingFile second(dir.File("member"));
  ASSERT_TRUE(second.Write("second"));
  EXPECT_FALSE(second.CommitWithoutReplacing());
  EXPECT_EQ(testing::ReadFile(dir.File("member")), "first");

  PendingFile fresh(dir.File("fresh"));
  ASSERT_TRUE(fresh.Write("new"));
  EXPECT_TRUE(fresh.CommitWithoutReplacing());
  EXPECT_EQ(testing::ReadFile(dir.File("fresh")), "new");
}

TEST(AtomicWriteTest, StaleTemporariesOfTheTargetGoAndOthersStay) {
  testing::TempDir dir;
  const std::string old = dir.File("list.tmp-abcdef");
  testing::WriteFile(old, "killed save");
  struct utimbuf hourAgo{time(nullptr) - 3600, time(nullptr) - 3600};
  ASSERT_EQ(utime(old.c_str(), &hourAgo), 0);
  testing::WriteFile(dir.File("list.tmp-ghijkl"), "live save");
  testing::WriteFile(dir.File("other.tmp-abcdef"), "another file's");
  ASSERT_EQ(utime(dir.File("other.tmp-abcdef").c_str(), &hourAgo), 0);

  RemoveStaleTemporaries(dir.File("list"), 60);
  EXPECT_FALSE(testing::FileExists(old));
  EXPECT_TRUE(testing::FileExists(dir.File("list.tmp-ghijkl")));
  EXPECT_TRUE(testing::FileExists(dir.File("other.tmp-abcdef")));
}

}  // namespace
}  // namespace tavelo
