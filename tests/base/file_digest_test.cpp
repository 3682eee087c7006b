#include "base/file_digest.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tavelo {
namespace {

TEST(FileDigestTest, Rfc1321VectorsOfFilesAndTexts) {
  testing::TempDir dir;
  struct Case {
    std::string content;
    const char* md5;
  } cases[] = {
      // From RFC 1321, appendix A.5.
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const Case& c : cases) {
    testing::WriteFile(dir.File("f"), c.content);
    std::string out;
    ASSERT_EQ(DigestFileHex(dir.File("f"), out), 0);
    EXPECT_EQ(out, c.md5) << c.content;
    ASSERT_EQ(DigestFileHex(dir.File("f"), out), 0);
    EXPECT_EQ(out, std::string(c.md5) + c.md5);  // appended, not replaced
    EXPECT_EQ(DigestHex(c.content), c.md5);
  }
}

TEST(FileDigestTest, SizesAroundTheReadPieceDiffer) {
  testing::TempDir dir;
  std::vector<std::string> digests;
  for (size_t size : {1023u, 1024u, 1025u, (1u << 17) + 1}) {
    testing::WriteFile(dir.File("f"), std::string(size, 'x'));
    std::string out;
    ASSERT_EQ(DigestFileHex(dir.File("f"), out), 0);
    EXPECT_EQ(out.size(), 32u);
    digests.push_back(out);
  }
  for (size_t i = 1; i < digests.size(); ++i) EXPECT_NE(digests[i], digests[i - 1]);
}

TEST(FileDigestTest, UnreadableFileLeavesTheBufferAlone) {
  testing::TempDir dir;
  // A folder opens, but reading it fails: that is no digest of an empty file.
  for (const std::string& path : {std::string("/nonexistent/dt"), dir.Path(), std::string("/dev/zero")}) {
    std::string out = "kept";
    EXPECT_EQ(DigestFileHex(path, out), -1) << path;
    EXPECT_EQ(out, "kept");
  }
}

}  // namespace
}  // namespace tavelo
