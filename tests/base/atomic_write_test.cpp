#include "base/atomic_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
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

// Sets the umask for one block; the base tests run on one thread.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : saved_(umask(mask)) {}
  ~ScopedUmask() { umask(saved_); }

 private:
  mode_t saved_;
};

mode_t ModeOf(const std::string& path) {
  struct stat info;
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

TEST(AtomicWriteTest, NewFilesFollowTheUmaskAndReplacedOnesKeepTheirMode) {
  constexpr mode_t kNew = 01000000;  // no file before the save
  struct Case {
    const char* name;
    mode_t before;
    mode_t mask;
    FileKind kind;
    bool behindLink;
    mode_t after;
  } cases[] = {
      {"new document", kNew, 022, FileKind::kDocument, false, 0644},
      {"new document, private umask", kNew, 077, FileKind::kDocument, false, 0600},
      {"new document, group umask", kNew, 002, FileKind::kDocument, false, 0664},
      {"new program", kNew, 022, FileKind::kProgram, false, 0755},
      {"new program, private umask", kNew, 077, FileKind::kProgram, false, 0700},
      {"private file", 0600, 022, FileKind::kDocument, false, 0600},
      {"group file, private umask", 0640, 077, FileKind::kDocument, false, 0640},
      {"program saved as a document", 0755, 022, FileKind::kDocument, false, 0755},
      {"private file behind a link", 0600, 022, FileKind::kDocument, true, 0600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    const std::string file = dir.File("file");
    if (c.before != kNew) {
      testing::WriteFile(file, "old");
      ASSERT_EQ(chmod(file.c_str(), c.before), 0);
    }
    std::string target = file;
    if (c.behindLink) {
      target = dir.File("link");
      ASSERT_EQ(symlink("file", target.c_str()), 0);
    }
    {
      ScopedUmask mask(c.mask);
      ASSERT_TRUE(AtomicWriteFile(target, "new", c.kind));
    }
    EXPECT_EQ(ModeOf(file), c.after);
    EXPECT_EQ(testing::ReadFile(file), "new");
  }
}

TEST(AtomicWriteTest, AReplacedFileKeepsItsOwnerAndGroup) {
  if (geteuid() != 0) GTEST_SKIP() << "only root may give files away";
  constexpr uid_t kNobody = 65534;
  testing::TempDir dir;
  testing::WriteFile(dir.File("list"), "old");
  ASSERT_EQ(chown(dir.File("list").c_str(), kNobody, kNobody), 0);
  ASSERT_TRUE(AtomicWriteFile(dir.File("list"), "new"));
  struct stat info;
  ASSERT_EQ(stat(dir.File("list").c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, kNobody);
  EXPECT_EQ(info.st_gid, kNobody);
}

}  // namespace
}  // namespace tavelo
