#include "net/zip_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <string>
#include <vector>

#include "net/zip_builder.h"
#include "net/zip_writer.h"
#include "support/temp_dir.h"

namespace tavelo {
namespace {

using testing::BuildTestZip;
using testing::FileExists;
using testing::ReadFile;
using testing::TempDir;
using testing::TestMember;
using testing::TestZip;
using testing::WriteFile;

// Bytes that deflate well but not trivially, over several read buffers.
std::string SampleData(size_t size) {
  std::string data;
  data.reserve(size);
  for (size_t i = 0; data.size() < size; ++i) data += "record " + std::to_string(i * 7919 % 1000) + "\t";
  data.resize(size);
  return data;
}

TestZip OneMember(TestMember member) {
  TestZip zip;
  zip.members.push_back(std::move(member));
  return zip;
}

TestMember Member(std::string name, std::string data, uint16_t method = 8) {
  TestMember member;
  member.name = std::move(name);
  member.data = std::move(data);
  member.method = method;
  return member;
}

struct Extraction {
  int result;
  std::string path;
  std::string reason;
};

Extraction Extract(const std::string& archive, ExtractOptions options = {}) {
  Extraction out;
  out.result = ExtractFirstEntry(archive, out.path, options, &out.reason);
  return out;
}

// Every archive the reader must unpack, each holding `data` as its first member.
TEST(ExtractFirstEntry, UnpacksEveryWellFormedLayout) {
  const std::string data = SampleData(100000);
  TestMember descriptor = Member("m.dat", data);
  descriptor.dataDescriptor = true;
  TestMember storedDescriptor = Member("m.dat", data, 0);
  storedDescriptor.dataDescriptor = true;
  TestZip prefixed = OneMember(Member("m.dat", data));
  prefixed.prefix = std::string(4096, 'S');
  TestZip longComment = OneMember(Member("m.dat", data));
  longComment.comment = std::string(65535 - 22, 'c');
  TestZip twoMembers = OneMember(Member("m.dat", data));
  twoMembers.members.push_back(Member("second.dat", "ignored"));
  TestZip withSignatureInComment = OneMember(Member("m.dat", data));
  withSignatureInComment.comment = "PK\x05";  // a partial signature at the very end

  struct Case {
    const char* what;
    std::string archive;
  } cases[] = {
      {"deflated", BuildTestZip(OneMember(Member("m.dat", data)))},
      {"stored", BuildTestZip(OneMember(Member("m.dat", data, 0)))},
      {"deflated with data descriptor", BuildTestZip(OneMember(descriptor))},
      {"stored with data descriptor", BuildTestZip(OneMember(storedDescriptor))},
      {"prepended stub", BuildTestZip(prefixed)},
      {"longest comment", BuildTestZip(longComment)},
      {"two members", BuildTestZip(twoMembers)},
      {"partial signature in comment", BuildTestZip(withSignatureInComment)},
      {"own writer, deflated", BuildSingleMemberZip("m.dat", data, ZipMethod::kDeflated, 0x4F000000)},
      {"own writer, stored", BuildSingleMemberZip("m.dat", data, ZipMethod::kStored, 0x4F000000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    WriteFile(dir.File("a.zip"), c.archive);
    Extraction got = Extract(dir.File("a.zip"));
    ASSERT_EQ(got.result, 0) << got.reason;
    EXPECT_EQ(got.path, dir.File("m.dat"));
    EXPECT_TRUE(ReadFile(dir.File("m.dat")) == data);
    EXPECT_FALSE(FileExists(dir.File("second.dat")));
  }
}

TEST(ExtractFirstEntry, EmptyMemberGivesEmptyFile) {
  for (uint16_t method : {0, 8}) {
    TempDir dir;
    WriteFile(dir.File("a.zip"), BuildTestZip(OneMember(Member("e.dat", "", method))));
    Extraction got = Extract(dir.File("a.zip"));
    ASSERT_EQ(got.result, 0) << got.reason;
    EXPECT_TRUE(FileExists(dir.File("e.dat")));
    EXPECT_EQ(ReadFile(dir.File("e.dat")), "");
  }
}

TEST(ZipReader, ReportsBytesBeforeTheArchive) {
  TempDir dir;
  TestZip zip = OneMember(Member("m.dat", "x"));
  zip.prefix = std::string(777, '\0');
  WriteFile(dir.File("a.zip"), BuildTestZip(zip));
  ZipReader reader;
  reader.Open(dir.File("a.zip"));
  EXPECT_EQ(reader.BytesBeforeArchive(), 777u);
  EXPECT_EQ(reader.CurrentEntry().name, "m.dat");
}

// Damaged or unsupported archives: each is refused, and nothing is left
// under the member's name.
TEST(ExtractFirstEntry, RefusesDamagedArchives) {
  const std::string data = SampleData(50000);
  const std::string good = BuildTestZip(OneMember(Member("m.dat", data)));
  auto withMember = [&](auto change) {
    TestMember member = Member("m.dat", data);
    change(member);
    return BuildTestZip(OneMember(member));
  };
  auto patched = [&](size_t offset, std::string bytes) {
    std::string archive = good;
    archive.replace(offset, bytes.size(), bytes);
    return archive;
  };
  std::string deflated = testing::RawDeflate(data);
  TestZip tooFar = OneMember(Member("m.dat", data));
  tooFar.trailing = std::string(65535 - 22 + 1, 't');
  TestZip zip64Counts = OneMember(Member("m.dat", data));
  std::string zip64 = BuildTestZip(zip64Counts);
  zip64.replace(zip64.size() - 22 + 8, 4, "\xFF\xFF\xFF\xFF");
  std::string zip64Locator = good;
  // A Zip64 end locator right before the end record, as Zip64 writers put it.
  zip64Locator.insert(zip64Locator.size() - 22, std::string("PK\x06\x07", 4) + std::string(16, '\0'));
  std::string multiDisk = good;
  multiDisk.replace(multiDisk.size() - 22 + 4, 2, std::string("\x01\x00", 2));

  struct Case {
    const char* what;
    std::string archive;
  } cases[] = {
      {"wrong CRC", withMember([](TestMember& m) { m.crc = 0x12345678; })},
      {"stored, wrong CRC", withMember([](TestMember& m) { m.method = 0; m.crc = 1; })},
      {"truncated archive", good.substr(0, good.size() / 2)},
      {"end record cut", good.substr(0, good.size() - 5)},
      {"deflate stream cut short", withMember([&](TestMember& m) { m.body = deflated.substr(0, deflated.size() / 2); })},
      {"stored data shorter than recorded", withMember([&](TestMember& m) {
         m.method = 0;
         m.body = data.substr(0, 1000);
       })},
      {"corrupt deflate data", withMember([&](TestMember& m) { m.body = std::string(deflated.size(), '\xFF'); })},
      {"local method disagrees", patched(testing::kLocalMethodOffset, std::string("\x00\x00", 2))},
      {"local CRC disagrees", patched(testing::kLocalCrcOffset, "ABCD")},
      {"local name length disagrees", patched(testing::kLocalNameLengthOffset, std::string("\x04\x00", 2))},
      {"local signature broken", patched(0, "XX")},
      {"encrypted member", withMember([](TestMember& m) { m.flags = 1; })},
      {"unsupported method", withMember([](TestMember& m) { m.method = 12; })},
      {"empty archive", BuildTestZip(TestZip{})},
      {"end record beyond reach", BuildTestZip(tooFar)},
      {"Zip64 sizes", zip64},
      {"Zip64 locator", zip64Locator},
      {"multi-disk", multiDisk},
      {"not a zip", std::string(5000, 'z')},
      {"empty file", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    WriteFile(dir.File("a.zip"), c.archive);
    Extraction got = Extract(dir.File("a.zip"));
    EXPECT_EQ(got.result, 1);
    EXPECT_FALSE(got.reason.empty());
    EXPECT_FALSE(FileExists(dir.File("m.dat")));
    // Only the archive itself: no temporary file left behind either.
    struct stat info;
    EXPECT_EQ(stat(dir.Path().c_str(), &info), 0);
    EXPECT_EQ(info.st_nlink, 2u);
  }
}

TEST(ExtractFirstEntry, DamagedMemberKeepsTheFileAlreadyThere) {
  TempDir dir;
  TestMember member = Member("m.dat", SampleData(20000));
  member.crc = 7;
  WriteFile(dir.File("a.zip"), BuildTestZip(OneMember(member)));
  WriteFile(dir.File("m.dat"), "previous");
  EXPECT_EQ(Extract(dir.File("a.zip")).result, 1);
  EXPECT_EQ(ReadFile(dir.File("m.dat")), "previous");
}

TEST(ExtractFirstEntry, NamesCannotLeaveTheArchiveDirectory) {
  const char* names[] = {"/tmp/abs.dat", "\\abs.dat", "../up.dat", "sub/../../up.dat",
                         "..\\up.dat", "sub\\..\\..\\up.dat", "..", "C:up.dat", "dir/"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    TempDir outer;
    std::string inner = outer.File("in/");
    mkdir(inner.c_str(), 0755);
    mkdir((inner + "sub").c_str(), 0755);
    WriteFile(inner + "a.zip", BuildTestZip(OneMember(Member(name, "payload"))));
    Extraction got = Extract(inner + "a.zip");
    EXPECT_EQ(got.result, 1);
    EXPECT_FALSE(FileExists(outer.File("up.dat")));
    EXPECT_FALSE(FileExists("/tmp/abs.dat"));
  }
}

TEST(ExtractFirstEntry, MemberInSubdirectoryNeedsTheDirectory) {
  TempDir dir;
  WriteFile(dir.File("a.zip"), BuildTestZip(OneMember(Member("sub/m.dat", "payload"))));
  EXPECT_EQ(Extract(dir.File("a.zip")).result, 1);
  mkdir(dir.File("sub").c_str(), 0755);
  Extraction got = Extract(dir.File("a.zip"));
  ASSERT_EQ(got.result, 0) << got.reason;
  EXPECT_EQ(got.path, dir.File("sub/m.dat"));
  EXPECT_EQ(ReadFile(got.path), "payload");
}

TEST(ExtractFirstEntry, RestoresModificationTimeAndLeavesAnOrdinaryFile) {
  TempDir dir;
  TestMember member = Member("m.dat", "payload");
  member.externalAttributes = 0x01 | 0x02 | 0x20;  // DOS read-only, hidden, archive
  WriteFile(dir.File("a.zip"), BuildTestZip(OneMember(member)));
  Extraction got = Extract(dir.File("a.zip"));
  ASSERT_EQ(got.result, 0) << got.reason;
  struct stat info;
  ASSERT_EQ(stat(got.path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
  std::tm expected{};
  expected.tm_year = 2019 - 1900;
  expected.tm_mon = 5;
  expected.tm_mday = 15;
  expected.tm_hour = 13;
  expected.tm_min = 45;
  expected.tm_sec = 30;
  expected.tm_isdst = -1;
  EXPECT_EQ(info.st_mtime, std::mktime(&expected));
}

TEST(ExtractFirstEntry, KeepExistingRefusesToReplace) {
  TempDir dir;
  WriteFile(dir.File("a.zip"), BuildTestZip(OneMember(Member("m.dat", "new"))));
  WriteFile(dir.File("m.dat"), "mine");
  ExtractOptions keep;
  keep.replaceExisting = false;
  EXPECT_EQ(Extract(dir.File("a.zip"), keep).result, 1);
  EXPECT_EQ(ReadFile(dir.File("m.dat")), "mine");
  EXPECT_EQ(Extract(dir.File("a.zip")).result, 0);
  EXPECT_EQ(ReadFile(dir.File("m.dat")), "new");
}

TEST(ExtractFirstEntry, MissingArchiveFails) {
  TempDir dir;
  Extraction got = Extract(dir.File("absent.zip"));
  EXPECT_EQ(got.result, 1);
  EXPECT_NE(got.reason.find("absent.zip"), std::string::npos);
}

TEST(ZipReader, CallsOutOfOrderRaiseNoOpenEntry) {
  TempDir dir;
  WriteFile(dir.File("a.zip"), BuildTestZip(OneMember(Member("m.dat", "x"))));
  ZipReader reader;
  reader.Open(dir.File("a.zip"));
  char buffer[4];
  try {
    reader.ReadCurrentEntry(buffer, sizeof buffer);
    FAIL() << "read without an open member";
  } catch (const CZipException& error) {
    EXPECT_EQ(error.Code(), CZipException::kNoOpenEntry);
    EXPECT_EQ(error.Cause(), 10);
    EXPECT_EQ(error.ArchivePath(), dir.File("a.zip"));
  }
  EXPECT_THROW(reader.CloseCurrentEntry(), CZipException);
}

TEST(ZipReader, ReadsInPiecesOfAnySize) {
  TempDir dir;
  const std::string data = SampleData(70000);
  WriteFile(dir.File("a.zip"), BuildTestZip(OneMember(Member("m.dat", data))));
  for (size_t piece : {1u, 7u, 10240u, 16384u, 100000u}) {
    SCOPED_TRACE(piece);
    ZipReader reader;
    reader.Open(dir.File("a.zip"));
    reader.OpenCurrentEntry();
    std::string out;
    std::vector<char> buffer(piece);
    size_t got;
    while ((got = reader.ReadCurrentEntry(buffer.data(), buffer.size())) > 0) out.append(buffer.data(), got);
    EXPECT_TRUE(out == data);
    EXPECT_EQ(reader.UncompressedLeft(), 0u);
    EXPECT_NO_THROW(reader.CloseCurrentEntry());
  }
}

TEST(CZipException, CauseFollowsCode) {
  struct {
    int code;
    int cause;
  } cases[] = {{-105, 12}, {-103, 11}, {-102, 10}, {-6, 9}, {-5, 8}, {-4, 7}, {-3, 6},
               {-2, 5},    {-1, 4},    {2, 3},     {1, 2},  {0, 1},  {42, 1}};
  for (auto c : cases) EXPECT_EQ(CZipException(c.code, "", "").Cause(), c.cause) << c.code;
}

}  // namespace
}  // namespace tavelo

namespace tavelo {
namespace {

TEST(ExtractFirstEntry, MembersOverTheSizeLimitAreRefused) {
  TempDir dir;
  WriteFile(dir.File("a.zip"), BuildTestZip(OneMember(Member("big.dat", SampleData(5000)))));
  ExtractOptions limited;
  limited.maxSize = 4999;
  Extraction refused = Extract(dir.File("a.zip"), limited);
  EXPECT_EQ(refused.result, 1);
  EXPECT_FALSE(FileExists(dir.File("big.dat")));
  limited.maxSize = 5000;
  EXPECT_EQ(Extract(dir.File("a.zip"), limited).result, 0);
}

}  // namespace
}  // namespace tavelo
