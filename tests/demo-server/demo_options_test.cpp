#include "demo_options.h"

#include <gtest/gtest.h>

namespace tavelo::demo {
namespace {

TEST(DemoOptionsTest, ReadsEveryOptionOfTheHelpTable) {
  DemoOptions options{.port = 8790};
  ASSERT_TRUE(ParseDemoOptions({"--content", "c/", "--port", "0", "--make-data", "out"}, options));
  EXPECT_EQ(options.port, 0);
  EXPECT_EQ(options.content, "c/");
  EXPECT_EQ(options.makeData, "out");
  EXPECT_FALSE(options.help);

  // Every option the help names takes its value; none is left unread.
  for (const help::Entry& option : DemoServerHelp().entries) {
    DemoOptions each{.port = 8790};
    std::vector<std::string> arguments{std::string(option.name)};
    if (help::CountArguments(option).most == 1) arguments.push_back("1");
    EXPECT_TRUE(ParseDemoOptions(arguments, each)) << option.name;
  }
}

TEST(DemoOptionsTest, HelpAndDefaults) {
  for (const char* asking : {"--help", "-h"}) {
    DemoOptions options{.port = 8790};
    ASSERT_TRUE(ParseDemoOptions({asking}, options));
    EXPECT_TRUE(options.help);
    EXPECT_EQ(options.port, 8790);
    EXPECT_EQ(options.content, "");
  }
}

TEST(DemoOptionsTest, RefusesWhatTheTableDoesNotKnow) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--port"}, {"--port", "65536"}, {"--port", "-1"}, {"--port", "80x"},
        {"--port", ""}, {"--colour", "red"}, {"serve"}, {"--content"}}) {
    DemoOptions options{.port = 8790};
    EXPECT_FALSE(ParseDemoOptions(arguments, options)) << arguments[0] << " " << arguments.size();
  }
}

}  // namespace
}  // namespace tavelo::demo
