#include "base/mapped_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace tavelo {
namespace {

// Another program cutting a mapped file short ends a command with its
// message and status, not with a crash.
TEST(MappedFileDeathTest, ReadingAPartCutOffMeanwhileEndsWithTheMessage) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("page"), std::string(3 * 4096, 'x'));
  EXPECT_EXIT(
      {
        EndOnShortenedMapping("shortened\n", 7);
        const MappedFile page(dir.File("page"), 1 << 20);
        if (!page.Ok() || truncate(dir.File("page").c_str(), 0) != 0) _exit(0);
        volatile char last = page.Bytes()[page.Bytes().size() - 1];
        static_cast<void>(last);
        _exit(0);
      },
      ::testing::ExitedWithCode(7), "shortened");
}

}  // namespace
}  // namespace tavelo
