#include "mainwin/first_run_setup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

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

  // The questions asked, each answered with `yes`.
  std::vector<std::string> Run(bool yes = true) {
    std::vector<std::string> questions;
    RunFirstRunSetup(paths_, [&](const std::string& text) {
      questions.push_back(text);
      return yes;
    });
    return questions;
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

const std::vector<std::string> kAsked{Gbk("首次使用，是否在桌面和程序菜单中创建快捷方式？")};
const std::vector<std::string> kNotAsked{};

TEST_F(FirstRunSetupTest, FirstStartAsksThenMakesThreeEntriesAndTheRecord) {
  EXPECT_EQ(Run(), kAsked);
  for (const std::string& file : {DesktopEntry(), GroupEntry(), UninstallEntry()}) {
    EXPECT_TRUE(testing::FileExists(file)) << file;
    EXPECT_EQ(access(file.c_str(), X_OK), 0) << file;
  }
  std::string entry = testing::ReadFile(DesktopEntry());
  EXPECT_NE(entry.find(std::string("Name=") + kCaptionUtf8 + "\n"), std::string::npos);
  EXPECT_NE(entry.find("Exec=\"" + paths_.launcherPath + "\"\n"), std::string::npos);
  EXPECT_NE(testing::ReadFile(UninstallEntry()).find("Name=卸载 Tavelo视频播放器\n"), std::string::npos);
  for (const std::string& file : {DesktopEntry(), GroupEntry(), UninstallEntry()}) {
    EXPECT_NE(testing::ReadFile(file).find("Icon=" + paths_.iconPath + "\n"), std::string::npos) << file;
    EXPECT_NE(testing::ReadFile(file).find("StartupWMClass=tavelo\n"), std::string::npos) << file;
  }
  EXPECT_EQ(RegisteredName(), paths_.caption);

  EXPECT_EQ(Run(), kNotAsked);  // both present: nothing happens
}

// The answer holds for later starts: a no is never asked again, and after a
// yes entries the user lost come back without a question.
TEST_F(FirstRunSetupTest, TheAnswerIsRemembered) {
  const struct {
    bool yes;
    const char* removed;  // "desktop", "group" or "" before the second start
    bool desktopAfter, groupAfter;
  } cases[] = {
      {true, "", true, true},
      {true, "desktop", true, true},
      {false, "", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.yes ? "yes " : "no ") + c.removed);
    testing::TempDir dir;
    paths_.desktopFolder = dir.File("Desktop");
    paths_.programsFolder = dir.File("applications");
    paths_.registryDirectory = dir.File("registry/");
    EXPECT_EQ(Run(c.yes), kAsked);
    EXPECT_EQ(RegisteredName(), c.yes ? paths_.caption : "");
    if (std::string(c.removed) == "desktop") unlink(DesktopEntry().c_str());
    if (std::string(c.removed) == "group") unlink(GroupEntry().c_str());
    EXPECT_EQ(Run(!c.yes), kNotAsked);
    EXPECT_EQ(testing::FileExists(DesktopEntry()), c.desktopAfter);
    EXPECT_EQ(testing::FileExists(GroupEntry()), c.groupAfter);
    EXPECT_EQ(testing::FileExists(UninstallEntry()), c.groupAfter);
  }
}

TEST_F(FirstRunSetupTest, OnlyTheMissingEntryIsMadeAgain) {
  Run();
  unlink(GroupEntry().c_str());
  unlink(UninstallEntry().c_str());
  std::string desktopBefore = testing::ReadFile(DesktopEntry());
  Run();
  EXPECT_TRUE(testing::FileExists(GroupEntry()));
  EXPECT_TRUE(testing::FileExists(UninstallEntry()));
  EXPECT_EQ(testing::ReadFile(DesktopEntry()), desktopBefore);
}

// Desktops warn about entries whose comment only repeats the name, or that
// name no menu category.
TEST_F(FirstRunSetupTest, EntriesPassTheDesktopEntryValidator) {
  if (system("command -v desktop-file-validate >/dev/null") != 0) GTEST_SKIP() << "no desktop-file-validate";
  Run();
  for (const std::string& file : {DesktopEntry(), GroupEntry(), UninstallEntry()}) {
    const std::string output = dir_.File("validate.txt");
    const std::string command = "desktop-file-validate '" + file + "' >'" + output + "' 2>&1";
    EXPECT_EQ(system(command.c_str()), 0) << file;
    EXPECT_EQ(testing::ReadFile(output), "") << file;
  }
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
