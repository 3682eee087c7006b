#include "base/registry_key.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/kill_points.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

class RegistryKeyTest : public ::testing::Test {
 protected:
  RegistryKey Key(RegistryRoot root = RegistryRoot::kLocalMachine) {
    RegistryKey key(dir_.Path());
    key.SetRoot(root);
    return key;
  }
  testing::TempDir dir_;
};

TEST_F(RegistryKeyTest, RootsAreCheckedAndResetGoesBackToTheCurrentUser) {
  RegistryKey key(dir_.Path());
  EXPECT_EQ(key.SetRoot(static_cast<RegistryRoot>(7)), 0);
  ASSERT_EQ(key.SetKey("software\\a", true), 1);
  EXPECT_TRUE(testing::FileExists(dir_.File("HKEY_CURRENT_USER.ini")));
  EXPECT_EQ(key.SetRoot(RegistryRoot::kUsers), 1);
  key.Reset();
  EXPECT_EQ(key.SubKey(), "");
  ASSERT_EQ(key.SetKey("x", true), 1);
  EXPECT_FALSE(testing::FileExists(dir_.File("HKEY_USERS.ini")));
}

TEST_F(RegistryKeyTest, OpeningAMissingKeyFailsUnlessCreatedAndKeepsTheOldKey) {
  RegistryKey key = Key();
  EXPECT_EQ(key.SetKey("software\\tolvane3\\quillo", false), 0);
  EXPECT_NE(key.LastError(), 0);
  ASSERT_EQ(key.SetKey("software\\tolvane3\\quillo", true), 1);
  EXPECT_EQ(key.SetKey("software\\other", false), 0);
  EXPECT_EQ(key.SubKey(), "software\\tolvane3\\quillo");
  EXPECT_EQ(key.SetKey("SOFTWARE\\Tolvane3\\QUILLO", false), 1);  // letter case ignored
  EXPECT_EQ(key.SetKey("", false), 1);
  EXPECT_EQ(key.SubKey(), "");
}

TEST_F(RegistryKeyTest, StringsRoundTripAndOtherTypesReadAsTheDefault) {
  RegistryKey key = Key();
  ASSERT_EQ(key.SetKey("software\\tolvane3\\tavelo", true), 1);
  const std::string path = Gbk("/opt/视频/") + "a\tb\nc=[d]";
  EXPECT_EQ(key.WriteString("path", path), 1);
  EXPECT_EQ(key.WriteNumber("count", 12), 1);
  EXPECT_EQ(key.ValueType("path"), RegistryKey::kTypeString);
  EXPECT_EQ(key.ValueType("count"), RegistryKey::kTypeNumber);
  EXPECT_EQ(key.ValueType("missing"), RegistryKey::kTypeNone);

  RegistryKey reader = Key();  // a fresh object reads what the file holds
  ASSERT_EQ(reader.SetKey("software\\tolvane3\\tavelo", false), 1);
  EXPECT_EQ(reader.ReadString("path", "def"), path);
  EXPECT_EQ(reader.ReadString("PATH", "def"), path);  // names ignore letter case
  EXPECT_EQ(reader.ReadString("count", "def"), "def");
  EXPECT_EQ(reader.ReadString("missing", "def"), "def");
}

TEST_F(RegistryKeyTest, NamesAreStoredAsWrittenComparedWithoutCaseAndNeverCollide) {
  RegistryKey key = Key();
  ASSERT_EQ(key.SetKey("Software\\Tavelo", true), 1);
  // Each pair once shared a stored name; "\xB0\x41" and "\xB0\x61" are two
  // GBK characters whose trail bytes only look like letters.
  const std::pair<std::string, std::string> apart[] = {
      {"Install Dir", "install20dir"}, {"a-b", "a2Db"}, {"%41", "A"}, {"\xB0\x41", "\xB0\x61"}};
  for (const auto& [first, second] : apart) {
    ASSERT_EQ(key.WriteString(first, "first"), 1);
    ASSERT_EQ(key.WriteString(second, "second"), 1);
    EXPECT_EQ(key.ReadString(first, ""), "first") << first;
    EXPECT_EQ(key.ReadString(second, ""), "second") << second;
  }
  ASSERT_EQ(key.SetKey("Soft201", true), 1);
  EXPECT_EQ(key.SetKey("Soft 1", false), 0);

  ASSERT_EQ(key.SetKey("SOFTWARE\\tavelo", false), 1);
  ASSERT_EQ(key.WriteString("UninstallString", "old"), 1);
  ASSERT_EQ(key.WriteString("UNINSTALLSTRING", "new"), 1);  // the same value
  EXPECT_EQ(key.ReadString("uninstallstring", ""), "new");
  const std::string stored = testing::ReadFile(dir_.File("HKEY_LOCAL_MACHINE.ini"));
  EXPECT_NE(stored.find("UninstallString="), std::string::npos) << stored;
  EXPECT_EQ(stored.find("UNINSTALLSTRING"), std::string::npos) << stored;
  EXPECT_NE(stored.find("[Software%5CTavelo]"), std::string::npos) << stored;
}

TEST_F(RegistryKeyTest, AKilledWriteLeavesTheOldOrTheNewStoreAndTheNextWriteCleansUp) {
  const std::string rootFile = dir_.File("HKEY_LOCAL_MACHINE.ini");
  RegistryKey key = Key();
  ASSERT_EQ(key.SetKey("Software\\Tavelo", true), 1);
  for (int i = 0; i < 8; ++i) key.WriteString("value " + std::to_string(i), "/opt/tavelo/" + std::to_string(i));
  const std::string old = testing::ReadFile(rootFile);
  auto write = [&] { key.WriteString("InstallDir", "/opt/new"); };
  write();
  const std::string written = testing::ReadFile(rootFile);
  testing::WriteFile(rootFile, old);

  int kills = testing::KillAtEveryPoint(write, [&] {
    std::string now = testing::ReadFile(rootFile);
    EXPECT_TRUE(now == old || now == written);
    testing::AgeFolder(dir_.Path(), 3600);
    write();
    EXPECT_EQ(testing::ReadFile(rootFile), written);
    EXPECT_EQ(testing::NamesHolding(dir_.Path(), ".tmp-"), std::vector<std::string>{});
    testing::WriteFile(rootFile, old);
  });
  EXPECT_GT(kills, 5);
}

TEST_F(RegistryKeyTest, AStoreThatCannotBeReadIsNotReplaced) {
  const std::string rootFile = dir_.File("HKEY_LOCAL_MACHINE.ini");
  Key().SetKey("kept", true);
  const std::string old = testing::ReadFile(rootFile);
  testing::GiveToUnprivilegedUser(rootFile);
  ASSERT_EQ(chmod(rootFile.c_str(), 0200), 0);
  ASSERT_EQ(chmod(dir_.Path().c_str(), 0777), 0);
  EXPECT_EQ(testing::RunUnprivileged([&] { return Key().SetKey("new", true); }), 0);
  ASSERT_EQ(chmod(rootFile.c_str(), 0600), 0);
  EXPECT_EQ(testing::ReadFile(rootFile), old);
}

TEST_F(RegistryKeyTest, LongValuesAreRefusedAndKeysMustExistToBeWritten) {
  RegistryKey key = Key();
  EXPECT_EQ(key.WriteString("v", "x"), 0);  // no key selected
  ASSERT_EQ(key.SetKey("k", true), 1);
  EXPECT_EQ(key.WriteString("v", std::string(254, 'x')), 1);
  EXPECT_EQ(key.WriteString("w", std::string(255, 'x')), 0);
  EXPECT_EQ(key.ReadString("v", "d").size(), 254u);
  EXPECT_EQ(key.ReadString("w", "d"), "d");
}

TEST_F(RegistryKeyTest, DeletingAKeyTakesItsValuesAndLeavesOtherKeys) {
  RegistryKey key = Key();
  for (const char* path : {"software\\u\\tavelo", "software\\u\\tavelo\\sub", "software\\u\\other"}) {
    ASSERT_EQ(key.SetKey(path, true), 1);
    ASSERT_EQ(key.WriteString("v", path), 1);
  }
  EXPECT_TRUE(key.DeleteKey("SOFTWARE\\U\\Tavelo"));  // letter case ignored
  EXPECT_EQ(key.SetKey("software\\u\\tavelo", false), 0);
  ASSERT_EQ(key.SetKey("software\\u\\tavelo", true), 1);
  EXPECT_EQ(key.ReadString("v", "gone"), "gone");  // made anew, without the old values
  for (const char* path : {"software\\u\\tavelo\\sub", "software\\u\\other"}) {
    ASSERT_EQ(key.SetKey(path, false), 1);
    EXPECT_EQ(key.ReadString("v", ""), path);
  }
}

TEST_F(RegistryKeyTest, DeletingWhatIsNotThereSucceedsWithoutMakingFiles) {
  RegistryKey key(dir_.File("registry/"));
  key.SetRoot(RegistryRoot::kLocalMachine);
  EXPECT_TRUE(key.DeleteKey("software\\nothing"));
  EXPECT_FALSE(testing::FileExists(dir_.File("registry")));
  EXPECT_FALSE(key.DeleteKey(""));  // the root is no key
}

TEST_F(RegistryKeyTest, ADamagedFileReadsAsEmptyAndIsReplacedOnWrite) {
  testing::WriteFile(dir_.File("HKEY_LOCAL_MACHINE.ini"), "\xFF\xFE garbage [[[ =\n");
  RegistryKey key = Key();
  EXPECT_EQ(key.SetKey("k", false), 0);
  ASSERT_EQ(key.SetKey("k", true), 1);
  EXPECT_EQ(key.WriteString("v", "ok"), 1);
  EXPECT_EQ(key.ReadString("v", ""), "ok");
}

TEST_F(RegistryKeyTest, WritersInSeveralProcessesKeepEachOthersValues) {
  constexpr int kProcesses = 4;
  Key().SetKey("shared", true);
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t child = fork();
    if (child == 0) {
      RegistryKey key = Key();
      key.SetKey("shared", false);
      for (int i = 0; i < 10; ++i) key.WriteString("p" + std::to_string(p) + "v" + std::to_string(i), "x");
      _exit(0);
    }
    children.push_back(child);
  }
  for (pid_t child : children) waitpid(child, nullptr, 0);
  RegistryKey key = Key();
  key.SetKey("shared", false);
  for (int p = 0; p < kProcesses; ++p) {
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(key.ReadString("p" + std::to_string(p) + "v" + std::to_string(i), ""), "x");
    }
  }
}

}  // namespace
}  // namespace tavelo
