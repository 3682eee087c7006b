#include "content/companion_launch.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <optional>

#include "base/program_paths.h"
#include "base/registry_key.h"
#include "support/temp_dir.h"

namespace tavelo {
namespace {

class CompanionLaunchTest : public ::testing::Test {
 protected:
  int Start(const std::string& key, const std::string& program) {
    return StartInstalledCompanion(
        key, program,
        [this](const std::vector<std::string>& argv) {
          started_.push_back(argv);
          return true;
        },
        dir_.File("registry/"));
  }
  void Install(const std::string& key, const std::string& path) {
    RegistryKey registry(dir_.File("registry/"));
    registry.SetRoot(RegistryRoot::kLocalMachine);
    registry.SetKey("software\\tolvane3\\" + key, true);
    registry.WriteString("path", path);
  }

  testing::TempDir dir_;
  std::vector<std::vector<std::string>> started_;
};

TEST_F(CompanionLaunchTest, StartsAnInstalledProgramWithoutArguments) {
  testing::WriteFile(dir_.File("prog.sh"), "#!/bin/sh\n");
  Install("quillo", dir_.Path());
  EXPECT_EQ(Start("quillo", "prog.sh"), 0);
  EXPECT_EQ(started_, (std::vector<std::vector<std::string>>{{dir_.File("prog.sh")}}));
}

TEST_F(CompanionLaunchTest, MissingInstallationsStartNothing) {
  EXPECT_EQ(Start("never", "prog.sh"), 1);
  // The key is left behind, empty.
  RegistryKey registry(dir_.File("registry/"));
  registry.SetRoot(RegistryRoot::kLocalMachine);
  EXPECT_EQ(registry.SetKey("software\\tolvane3\\never", false), 1);

  testing::WriteFile(dir_.File("prog.sh"), "#!/bin/sh\n");
  std::string withoutSlash = dir_.Path();
  withoutSlash.pop_back();
  Install("glued", withoutSlash);  // names "<dir>prog.sh", which does not exist
  EXPECT_EQ(Start("glued", "prog.sh"), 1);
  Install("folder", dir_.Path());
  EXPECT_EQ(Start("folder", ""), 1);  // the folder itself is no program
  // A page cannot reach out of the companion's folder.
  mkdir(dir_.File("sub").c_str(), 0755);  // prog.sh stands one level up
  Install("sub", dir_.File("sub/"));
  EXPECT_EQ(Start("sub", "../prog.sh"), 1);
  EXPECT_EQ(Start("sub", "/bin/sh"), 1);
  EXPECT_TRUE(started_.empty());
}

TEST_F(CompanionLaunchTest, ProgramNamesDropTheirExeEnding) {
  testing::WriteFile(dir_.File("prog"), "#!/bin/sh\n");
  Install("quillo", dir_.Path());
  for (const char* named : {"prog.exe", "prog.EXE", "prog"}) EXPECT_EQ(Start("quillo", named), 0) << named;
  EXPECT_EQ(started_.size(), 3u);
  EXPECT_EQ(LocalProgramName(".exe"), ".exe");
  EXPECT_EQ(LocalProgramName("a.exe.sh"), "a.exe.sh");
}

// Sets or clears an environment variable for the test's lifetime.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = getenv(name)) saved_ = old;
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
  }
  ~ScopedEnv() { saved_ ? setenv(name_, saved_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

TEST(ProgramFilesDirectoryTest, ComesFromTheEnvironment) {
  struct Case {
    std::optional<std::string> programFiles, dataHome;
    std::string expected;
  } cases[] = {
      {"/pf", "/xdg", "/pf/"},
      {"/pf/", std::nullopt, "/pf/"},
      {"", "/xdg", "/xdg/tavelo/programs/"},
      {std::nullopt, "/xdg/", "/xdg/tavelo/programs/"},
      {std::nullopt, std::nullopt, "/home/h/.local/share/tavelo/programs/"},
      {std::nullopt, "relative", "/home/h/.local/share/tavelo/programs/"},
  };
  ScopedEnv home("HOME", "/home/h");
  for (const Case& c : cases) {
    ScopedEnv programFiles("ProgramFiles", c.programFiles);
    ScopedEnv dataHome("XDG_DATA_HOME", c.dataHome);
    EXPECT_EQ(ProgramFilesDirectory(), c.expected);
  }
}

TEST_F(CompanionLaunchTest, QuilloOpensTheAddressWithTheFlagOfWhereItWasFound) {
  CompanionPlaces places;
  places.registryDirectory = dir_.File("registry/");
  places.programFiles = dir_.File("programs/");
  auto open = [&](const std::string& address) {
    started_.clear();
    OpenWithQuillo(address, places, [this](const std::vector<std::string>& argv) {
      started_.push_back(argv);
      return true;
    });
    return started_.size() == 1 ? started_[0] : std::vector<std::string>{};
  };
  EXPECT_EQ(open("http://maker/p.htm"),
            (std::vector<std::string>{"xdg-open", "http://maker/p.htm?fr=i&fg=ffFLAG_QUILLO_DIRECT"}));
  EXPECT_EQ(open("http://maker/p?id=1"),
            (std::vector<std::string>{"xdg-open", "http://maker/p?id=1&fr=i&fg=ffFLAG_QUILLO_DIRECT"}));

  const std::string defaultPlace = dir_.File("programs/qorisoft/quillo/quillo");
  MakeDirectories(defaultPlace);
  testing::WriteFile(defaultPlace, "#!/bin/sh\n");
  EXPECT_EQ(open("http://maker/p.htm"),
            (std::vector<std::string>{defaultPlace, "http://maker/p.htm?fr=gn&fg=ffFLAG_QUILLO_DIRECT"}));

  testing::WriteFile(dir_.File("quillo"), "#!/bin/sh\n");
  Install("quillo", dir_.Path());
  EXPECT_EQ(open("http://maker/p.htm"),
            (std::vector<std::string>{dir_.File("quillo"), "http://maker/p.htm?fr=n&fg=ffFLAG_QUILLO_DIRECT"}));
}

}  // namespace
}  // namespace tavelo
