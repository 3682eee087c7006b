#include "mainwin/first_run_setup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "base/registry_key.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

const char* kCaptionUtf8 = "Tavelo(Tavelo视频播放器)";

class FirstRunSetupTest : public ::testing::Test {
 protected:
  FirstRunSetupTest() {
    paths_.directory = dir_.File("app dir/");
    paths_.launcherPath = paths_.directory + "tavelo-launcher";
    paths_.uninstallPath = paths_.directory + "uninstall";
    paths_.iconPath = paths_.directory + "tavelo.png";
    paths_.caption = Gbk(kCaptionUtf8);
    paths_.desktopFolder = dir_.File("Desktop");
    paths_.programsFolder = dir_.File("applications");
    paths_.registryDirectory = dir_.File("registry/");
  }

  std::vector<std::string> Run() {
    std::vector<std::string> messages;
    RunFirstRunSetup(paths_, [&](const std::string& text) { messages.push_back(text); });
    return messages;
  }
  std::string DesktopEntry() const { return paths_.desktopFolder + "/" + kCaptionUtf8 + ".desktop"; }
  std::string GroupEntry() const {
    return paths_.programsFolder + "/" + kCaptionUtf8 + "/" + kCaptionUtf8 + ".desktop";
  }
  std::string UninstallEntry() const {
    return paths_.programsFolder + "/" + kCaptionUtf8 + "/卸载.desktop";
  }
  std::string RegisteredName() {
    RegistryKey key(paths_.registryDirectory);
    key.SetRoot(RegistryRoot::kLocalMachine);
    if (!key.SetKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + paths_.caption, false)) {
      return "";
    }
    return key.ReadString("DisplayName", "");
  }

  testing::TempDir dir_;
  FirstRunPaths paths_;
};

TEST_F(FirstRunSetupTest, FirstStartMakesThreeEntriesOneMessageAndTheRecord) {
  EXPECT_EQ(Run(), std::vector<std::string>{Gbk("首次使用，创建桌面快捷方式")});
  for (const std::string& file : {DesktopEntry(), GroupEntry(), UninstallEntry()}) {
    EXPECT_TRUE(testing::FileExists(file)) << file;
    EXPECT_EQ(access(file.c_str(), X_OK), 0) << file;
  }
  std::string entry = testing::ReadFile(DesktopEntry());
  EXPECT_NE(entry.find(std::string("Name=") + kCaptionUtf8 + "\n"), std::string::npos);
  EXPECT_NE(entry.find("Exec=\"" + paths_.launcherPath + "\"\n"), std::string::npos);
  EXPECT_NE(testing::ReadFile(UninstallEntry()).find("Name=卸载\n"), std::string::npos);
  for (const std::string& file : {DesktopEntry(), GroupEntry(), UninstallEntry()}) {
    EXPECT_NE(testing::ReadFile(file).find("Icon=" + paths_.iconPath + "\n"), std::string::npos) << file;
  }
  EXPECT_EQ(RegisteredName(), paths_.caption);

  EXPECT_EQ(Run(), std::vector<std::string>{});  // both present: nothing happens
}

TEST_F(FirstRunSetupTest, OnlyTheMissingEntryIsMadeWithItsMessage) {
  Run();
  unlink(DesktopEntry().c_str());
  EXPECT_EQ(Run(), std::vector<std::string>{Gbk("首次使用，创建桌面快捷方式")});
  EXPECT_TRUE(testing::FileExists(DesktopEntry()));

  unlink(GroupEntry().c_str());
  unlink(UninstallEntry().c_str());
  std::string desktopBefore = testing::ReadFile(DesktopEntry());
  EXPECT_EQ(Run(), std::vector<std::string>{Gbk("首次使用，创建程序组快捷方式")});
  EXPECT_TRUE(testing::FileExists(GroupEntry()));
  EXPECT_TRUE(testing::FileExists(UninstallEntry()));
  EXPECT_EQ(testing::ReadFile(DesktopEntry()), desktopBefore);
}

TEST_F(FirstRunSetupTest, ProgramPathsAreQuotedAndEscapedForExec) {
  // Exec quoting escapes " ` $ and \ with a backslash and doubles %; the
  // string value then doubles every backslash once more.
  paths_.launcherPath = dir_.File("odd \"$name`\\%1/tavelo-launcher");
  Run();
  EXPECT_NE(testing::ReadFile(DesktopEntry()).find("Exec=\"" + dir_.Path() +
                                                  "odd \\\\\"\\\\$name\\\\`\\\\\\\\%%1/tavelo-launcher\"\n"),
            std::string::npos)
      << testing::ReadFile(DesktopEntry());
}

TEST_F(FirstRunSetupTest, EntriesNameTheIconBesideTheProgramOrNone) {
  EXPECT_EQ(DefaultFirstRunPaths("/opt/tavelo/", paths_.caption).iconPath, "/opt/tavelo/tavelo.png");
  paths_.iconPath.clear();
  Run();
  EXPECT_EQ(testing::ReadFile(DesktopEntry()).find("Icon="), std::string::npos);
}

}  // namespace
}  // namespace tavelo
