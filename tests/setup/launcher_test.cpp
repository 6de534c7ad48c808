#include "setup/launcher.h"

#include <gtest/gtest.h>

#include "platform/command_line.h"
#include "support/code_page_932.h"
#include "support/fake_platform.h"

namespace ivx {
namespace {

struct DirectoryCase {
  PathStyle style;
  std::string own;
  std::string launcher;
  LeadByteTest isLead = NoLeadBytes;
};

TEST(LauncherDirectory, IsTheParentOfTheCommandsOwnFolder) {
  constexpr PathStyle kWin = PathStyle::kWindows;
  constexpr PathStyle kPosix = PathStyle::kPosix;
  const DirectoryCase cases[] = {
      {kWin, "D:\\kit\\tools\\", "D:\\kit\\"},
      {kWin, "D:\\kit\\", "D:\\"},
      {kWin, "D:\\", "D:\\"},
      {kWin, "D:\\kit\\tools\\INSTALLVORX.EXE", "D:\\kit\\tools\\"},
      {kWin, "D:\\kit\\\\", "D:\\kit\\\\"},
      {kWin, "\\\\srv\\share\\kit\\tools\\", "\\\\srv\\share\\kit\\"},
      {kWin, "D:/kit/tools/", "D:/kit/"},
      {kWin, ".\\", ".\\"},
      {kWin, "C:", "C:"},
      {kWin, "", ""},
      {kPosix, "/opt/kit/tools/", "/opt/kit/"},
      {kPosix, "/tools/", "/"},
      {kPosix, "/", "/"},
      {kPosix, "/opt/kit\\tools/", "/opt/"},
      // code page 932: the second byte of a character is no separator, even when it is 0x5C
      {kWin, "K:\\kit2\\" + testing::kSofuto + "\\", "K:\\kit2\\", testing::IsLeadByte932},
      {kWin, "K:\\" + testing::kHyo + "\\", "K:\\", testing::IsLeadByte932},
      {kWin, "K:\\x\\" + testing::kHyo, "K:\\x\\" + testing::kHyo, testing::IsLeadByte932},
  };
  for (const DirectoryCase& c : cases) {
    EXPECT_EQ(LauncherDirectory(c.style, c.own, c.isLead), c.launcher) << c.own;
  }
}

TEST(LauncherCommandLine, QuotesEachPathAndEndsWithTheProperties) {
  EXPECT_EQ(BuildLauncherCommandLine("D:\\kit\\", "C:\\setup_s.log", "C:\\installvorx_s.log", ""),
            "\"D:\\kit\\setup.exe\" /s /f1\"D:\\kit\\setup.iss\" /f2\"C:\\setup_s.log\" "
            "/clone_wait /z\"C:\\installvorx_s.log\" ");
  EXPECT_EQ(BuildLauncherCommandLine("/k/", "/s.log", "/i.log", "/v\"/qr\""),
            "\"/k/setup.exe\" /s /f1\"/k/setup.iss\" /f2\"/s.log\" /clone_wait /z\"/i.log\" "
            "/v\"/qr\"");
}

struct PathsCase {
  std::string launcherDirectory;
  std::string setupLog;
  std::string installationLog;
};

TEST(LauncherCommandLine, EveryPathReachesTheLauncherIntactWhateverItsFoldersAreNamed) {
  const PathsCase cases[] = {
      {"C:\\kit\\", "C:\\setup_s.log", "C:\\installvorx_s.log"},
      {"/my kit/", "/l\"/setup_s.log", "/l\" /X \"b/installvorx_s.log"},
      {"/k\\/", "/l\\\"/setup_s.log", "/l\\\\\"\"\\/installvorx_s.log"},
  };
  for (const PathsCase& c : cases) {
    const std::string line =
        BuildLauncherCommandLine(c.launcherDirectory, c.setupLog, c.installationLog, "");
    const std::vector<std::string> expected = {c.launcherDirectory + "setup.exe",
                                               "/s",
                                               "/f1" + c.launcherDirectory + "setup.iss",
                                               "/f2" + c.setupLog,
                                               "/clone_wait",
                                               "/z" + c.installationLog};
    EXPECT_EQ(SplitCommandLine(line), expected) << line;
  }
}

TEST(RunSetup, StartsTheCommandLineUpToAZeroByteAndGives9WhenItCannotStart) {
  testing::FakeRunner runner;
  runner.result = 200;
  EXPECT_EQ(RunSetup(runner, "\"a.exe\" /s"), 200);
  EXPECT_EQ(RunSetup(runner, std::string("\"a.exe\"\0 /s", 11)), 200);
  EXPECT_EQ(runner.commandLines, (std::vector<std::string>{"\"a.exe\" /s", "\"a.exe\""}));
  runner.result = std::nullopt;
  EXPECT_EQ(RunSetup(runner, "\"a.exe\""), 9);
}

}  // namespace
}  // namespace ivx
