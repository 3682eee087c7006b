#include "companion/companion_launch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
          return 0;
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

}  // namespace
}  // namespace tavelo
