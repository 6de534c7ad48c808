#include "setup/runner.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace ivx {
namespace {

TEST(RunSetup, StartsTheGivenLengthOfTheCommandLineUpToAZeroByte) {
  testing::FakeRunner runner;
  runner.result = 200;
  EXPECT_EQ(RunSetup(runner, "\"a.exe\" /s", 10), 200);
  EXPECT_EQ(RunSetup(runner, "\"a.exe\" /s", 7), 200);
  EXPECT_EQ(RunSetup(runner, std::string("\"a.exe\"\0 /s", 11), 11), 200);
  EXPECT_EQ(RunSetup(runner, "", 0), 200);
  EXPECT_EQ(runner.commandLines,
            (std::vector<std::string>{"\"a.exe\" /s", "\"a.exe\"", "\"a.exe\"", ""}));
}

TEST(RunSetup, ALauncherThatCannotBeRunGives9) {
  testing::FakeRunner runner;
  runner.result = std::nullopt;
  EXPECT_EQ(RunSetup(runner, "\"a.exe\"", 7), 9);
}

}  // namespace
}  // namespace ivx
