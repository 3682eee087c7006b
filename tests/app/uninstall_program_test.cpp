// The uninstaller as the desktop or a terminal starts it: a copy in a program
// folder of its own, with HOME and the XDG folders in the test's folder and
// no display, so that it asks nothing.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/program_paths.h"
#include "base/registry_key.h"
#include "mainwin/first_run_setup.h"
#include "support/temp_dir.h"
#include "text/encoding.h"

extern char** environ;

namespace tavelo {
namespace {

class UninstallProgramTest : public ::testing::Test {
 protected:
  UninstallProgramTest() {
    program_.folder = dir_.File("app/");
    std::filesystem::create_directories(program_.In("data"));
    std::filesystem::create_directories(program_.In("tavelo"));
    std::filesystem::copy_file(TAVELO_UNINSTALL_PATH, program_.In("uninstall"));
    testing::WriteFile(program_.Favourites(), "favourites");
    testing::WriteFile(program_.In("tavelo/cache"), "cache");
    // Where GLib puts these folders for the HOME and XDG variables below
    // (without user-dirs.dirs the desktop is $HOME/Desktop).
    paths_ = DefaultFirstRunPaths(program_.folder, Gbk(kProductCaption));
    paths_.desktopFolder = dir_.File("home/Desktop");
    paths_.programsFolder = dir_.File("home/share/applications");
    paths_.registryDirectory = dir_.File("home/config/tavelo/registry/");
    RunFirstRunSetup(paths_, [](const std::string&) { return true; });
  }

  // Runs the copy to its end; its exit status.
  int Run(std::vector<std::string> arguments) {
    std::vector<std::string> environment = {"HOME=" + dir_.File("home"),
                                            "XDG_CONFIG_HOME=" + dir_.File("home/config"),
                                            "XDG_DATA_HOME=" + dir_.File("home/share"),
                                            "XDG_CACHE_HOME=" + dir_.File("home/cache")};
    for (char** variable = environ; *variable; ++variable) {
      std::string_view entry = *variable;
      if (!entry.starts_with("HOME=") && !entry.starts_with("XDG_") && !entry.starts_with("DISPLAY=") &&
          !entry.starts_with("WAYLAND_DISPLAY=")) {
        environment.emplace_back(entry);
      }
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const std::string path = program_.In("uninstall");
    arguments.insert(arguments.begin(), path);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  bool Recorded() {
    RegistryKey key(paths_.registryDirectory);
    key.SetRoot(RegistryRoot::kLocalMachine);
    return key.SetKey(InstalledProgramKey(paths_.caption), false) == 1;
  }

  testing::TempDir dir_;
  ProgramPaths program_;
  FirstRunPaths paths_;
};

TEST_F(UninstallProgramTest, TheUninstallEntryStartsAProgramThatTakesBackTheInstallation) {
  const FirstRunFiles files = FirstRunFilesOf(paths_);
  ASSERT_TRUE(testing::FileExists(files.uninstallEntry));
  ASSERT_TRUE(Recorded());
  EXPECT_NE(testing::ReadFile(files.uninstallEntry).find("Exec=\"" + program_.In("uninstall") + "\""),
            std::string::npos);

  EXPECT_EQ(Run({"--bogus"}), 2);
  EXPECT_TRUE(testing::FileExists(files.desktopEntry));

  EXPECT_EQ(Run({}), 0);
  for (const std::string& file : {files.desktopEntry, files.groupEntry, files.uninstallEntry, files.groupFolder}) {
    EXPECT_FALSE(testing::FileExists(file)) << file;
  }
  EXPECT_FALSE(Recorded());
  EXPECT_TRUE(testing::FileExists(program_.Favourites()));
  EXPECT_TRUE(testing::FileExists(program_.In("tavelo/cache")));
  // The browser's data of every copy, in the user's own folders.
  const std::string browserFolders[] = {dir_.File("home/share/tavelo/webkit"), dir_.File("home/cache/tavelo/webkit")};
  for (const std::string& folder : browserFolders) {
    std::filesystem::create_directories(folder);
    testing::WriteFile(folder + "/cookies", "cookies");
  }
  EXPECT_EQ(Run({}), 0);
  for (const std::string& folder : browserFolders) EXPECT_TRUE(testing::FileExists(folder)) << folder;

  EXPECT_EQ(Run({"--purge"}), 0);
  for (const std::string& folder : browserFolders) EXPECT_FALSE(testing::FileExists(folder)) << folder;
  EXPECT_FALSE(testing::FileExists(program_.Favourites()));
  EXPECT_FALSE(testing::FileExists(program_.In("tavelo")));
  EXPECT_TRUE(testing::FileExists(program_.In("uninstall")));
}

TEST(AppFolderTest, TheIconTheEntriesNameIsBesideTheProgram) {
  const std::string icon = std::string(TAVELO_APP_DIR) + std::string(kIconFile);
  // Every PNG file begins with these eight bytes.
  EXPECT_EQ(testing::ReadFile(icon).substr(0, 8), "\x89PNG\r\n\x1a\n") << icon;
}

}  // namespace
}  // namespace tavelo
