// The command from its options to the launcher's exit code.
#include <gtest/gtest.h>

#include "harness.h"
#include "texts.h"

namespace e2e {
namespace {

class ExitCodeTest : public ::testing::TestWithParam<int> {};

TEST_P(ExitCodeTest, TheLauncherGetsItsCommandLineAndItsExitCodeBecomesTheStatus) {
  Case kit;
  kit.UseFakeLauncher(GetParam());
  const RunResult run = kit.Run({"/s"});
  EXPECT_EQ(run.status, GetParam());
  EXPECT_EQ(run.output, kStart);
  EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs());
  EXPECT_EQ(kit.ReadInstallationLog(), kStartLine);
  EXPECT_EQ(kit.Logs("setup").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Codes, ExitCodeTest, ::testing::Values(0, 1, 9, 200));

TEST(Launcher, IsAwaitedUntilItEnds) {
  Case kit;
  kit.UseFakeLauncher(7);
  kit.TellLauncher("fake-action", "slow");
  const RunResult run = kit.Run({"/s"});
  EXPECT_EQ(run.status, 7);
  EXPECT_EQ(Case::ReadFile(kit.Kit() / "fake-done"), "done");
}

TEST(Launcher, MissingSetupExeEndsWith9AndCreatesNoLog) {
  Case kit;
  const RunResult run = kit.Run({"/s"});
  EXPECT_EQ(run.status, 9);
  EXPECT_EQ(run.output, "QEDN40124-W The setup.exe file does not exist.\n");
  EXPECT_TRUE(kit.Logs("installvorx").empty());
}

TEST(Launcher, IsFoundFromTheCommandsOwnFolderWhateverTheCurrentFolder) {
  Case kit;
  kit.UseFakeLauncher();
  fs::create_directories(kit.Root() / "elsewhere");
  RunOptions options;
  options.workingDirectory = kit.Root() / "elsewhere";
  const RunResult run = kit.Run({"/s"}, options);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs());
}

TEST(Launcher, IsFoundBelowAFolderNamedLikeAProgramAndForACommandInUpperCase) {
  Case kit;
  const fs::path folder = kit.Root() / "kit" / "my.exe.installvorx";
  fs::create_directories(folder);
  const fs::path renamed = folder / (UnderWine() ? "INSTALLVORX.EXE" : "INSTALLVORX");
  fs::copy_file(kit.Command(), renamed);
  kit.UseFakeLauncher();
  RunOptions options;
  options.invokeAs = UnderWine() ? kit.Seen(renamed) : renamed.string();
  const RunResult run = kit.Run({"/s"}, options);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs());
}

TEST(Launcher, IsFoundForACommandStartedThroughPathOrALink) {
  if (UnderWine()) GTEST_SKIP() << "PATH search and links of the Linux build";
  Case kit;
  kit.UseFakeLauncher();
  fs::create_directories(kit.Root() / "bin");
  fs::create_symlink(kit.Command(), kit.Root() / "bin" / "ivx");
  RunOptions options;
  options.wrapper = {"env", "PATH=" + (kit.Root() / "bin").string() + ":/usr/bin:/bin"};
  options.invokeAs = "ivx";
  const RunResult run = kit.Run({"/s"}, options);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs());
}

// A POSIX folder name may hold quotation marks, and SystemRoot is any text the caller sets.

TEST(Launcher, GetsItsLogPathsIntactWhateverTheLogFolderIsNamed) {
  if (UnderWine()) GTEST_SKIP() << "a POSIX folder name";
  Case kit;
  kit.UseFakeLauncher();
  const fs::path logs = kit.Root() / "a\" /X \"b";
  fs::create_directories(logs);
  RunOptions options;
  options.systemRoot = logs.string();
  const RunResult run = kit.Run({"/s"}, options);
  EXPECT_EQ(run.status, 0) << run.output;
  std::vector<std::string> expected = kit.ExpectedLauncherArgs();
  expected[3] = "/f2" + (logs / ("setup" + kit.Suffix() + ".log")).string();
  expected[5] = "/z" + (logs / ("installvorx" + kit.Suffix() + ".log")).string();
  EXPECT_EQ(kit.LauncherArgs(), expected);
}

TEST(Launcher, InAFolderWhoseNameHoldsAQuotationMarkCountsAsMissingAndNothingStarts) {
  if (UnderWine()) GTEST_SKIP() << "a POSIX folder name";
  Case kit;
  const fs::path folder = kit.Root() / "x\" y\"";
  fs::create_directories(folder / "tools");
  fs::copy_file(kit.Command(), folder / "tools" / "installvorx");
  fs::copy_file(BuildUnderTest().fakeSetup, folder / "setup.exe");
  // What the launcher's name, cut at its quotation marks, would start.
  fs::copy_file(BuildUnderTest().fakeSetup, kit.Root() / "x");
  RunOptions options;
  options.invokeAs = (folder / "tools" / "installvorx").string();
  const RunResult run = kit.Run({"/s"}, options);
  EXPECT_EQ(run.status, 9);
  EXPECT_EQ(run.output, "QEDN40124-W The setup.exe file does not exist.\n");
  EXPECT_TRUE(kit.Logs("installvorx").empty());
  EXPECT_FALSE(fs::exists(folder / "fake-args"));
  EXPECT_FALSE(fs::exists(kit.Root() / "fake-args"));
}

struct InvalidCase {
  std::vector<std::string> args;
  bool windowsOnly = false;
};

void PrintTo(const InvalidCase& c, std::ostream* out) {
  for (const std::string& arg : c.args) *out << "[" << arg.substr(0, 8) << "]";
}

class InvalidOptionTest : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidOptionTest, PrintsTheUsageAndEndsWith1BeforeAnythingElse) {
  if (GetParam().windowsOnly && !UnderWine()) GTEST_SKIP() << "an absolute path on Linux";
  Case kit;
  kit.UseFakeLauncher();
  const RunResult run = kit.Run(GetParam().args, WithInput("y\n"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, kInvalid);
  EXPECT_TRUE(kit.LauncherArgs().empty());
  EXPECT_TRUE(kit.Logs("installvorx").empty());
}

INSTANTIATE_TEST_SUITE_P(Options, InvalidOptionTest,
                         ::testing::Values(InvalidCase{{"/F"}}, InvalidCase{{"-f", "a.ini"}},
                                           InvalidCase{{"/fx"}}, InvalidCase{{"f/"}},
                                           InvalidCase{{"/S"}}, InvalidCase{{"/s", "/x"}},
                                           InvalidCase{{"/f"}}, InvalidCase{{"/s", "/f"}},
                                           InvalidCase{{"/f", "/s"}}, InvalidCase{{""}},
                                           InvalidCase{{"*"}}, InvalidCase{{"/s", "/s", "x"}},
                                           InvalidCase{{"/f", std::string(256, 'a')}},
                                           InvalidCase{{"/f", "/etc/vorx.ini"}, true}));

TEST(Options, SettingsFileNamesUpTo255CharactersAndLinuxAbsolutePathsAreTaken) {
  Case kit;
  kit.UseFakeLauncher();
  std::vector<std::vector<std::string>> accepted = {{"/s", "/f", std::string(255, 'a')}};
  if (!UnderWine()) accepted.push_back({"/f", "/etc/no-such-vorx.ini", "/s"});
  for (const auto& args : accepted) {
    const RunResult run = kit.Run(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output,
              "QEDN40121-W The installation information settings file does not exist.\n");
  }
}

TEST(Options, AnEmptySettingsFileNameMeansNoSettingsFile) {
  Case kit;
  kit.UseFakeLauncher();
  const RunResult run = kit.Run({"/f", "", "/s", "/s"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs());
}

TEST(Options, WildcardsReachTheCommandUnexpanded) {
  Case kit;
  kit.UseFakeLauncher();
  Case::WriteFile(kit.Root() / "a.ini", "[VORX]\nvorxversion=6.1.0-00\n");
  const RunResult run = kit.Run({"/s", "/f", "*.ini"});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(kit.LauncherArgs().empty());
}

struct AnswerCase {
  std::string input;
  int status;
  std::string output;
};

void PrintTo(const AnswerCase& c, std::ostream* out) { *out << ::testing::PrintToString(c.input); }

class AnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(AnswerTest, TheQuestionIsAskedUntilItIsAnswered) {
  Case kit;
  kit.UseFakeLauncher();
  const RunResult run = kit.Run({}, WithInput(GetParam().input));
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.output, GetParam().output);
  const bool started = GetParam().output.find(kStart) != std::string::npos;
  EXPECT_EQ(kit.LauncherArgs().empty(), !started);
  EXPECT_EQ(kit.Logs("installvorx").size(), started ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AnswerTest,
    ::testing::Values(
        AnswerCase{"y\n", 0, kQuestion + kStart}, AnswerCase{"Y", 0, kQuestion + kStart},
        AnswerCase{"y\r\n", 0, kQuestion + kStart}, AnswerCase{"n\n", 0, kQuestion},
        AnswerCase{"N", 0, kQuestion}, AnswerCase{"Yes\ny\n", 0, kQuestion + kQuestion + kStart},
        AnswerCase{"\n\nn\n", 0, kQuestion + kQuestion + kQuestion},
        AnswerCase{"x\nn\n", 0, kQuestion + kQuestion}, AnswerCase{"", 9, kQuestion + kInternal},
        AnswerCase{"yes", 9, kQuestion + kQuestion + kInternal},
        AnswerCase{"\n", 9, kQuestion + kQuestion + kInternal},
        AnswerCase{std::string("y\0\n", 3), 0, kQuestion + kStart},
        // Ctrl-Z ends the input for good: what precedes it on its line is the last answer
        AnswerCase{"y\x1a\n", 0, kQuestion + kStart},
        AnswerCase{"\x1ay\n", 9, kQuestion + kInternal},
        AnswerCase{"x\r\x1a\ny\n", 9, kQuestion + kQuestion + kInternal}));

TEST(Answer, SilentRunsNeverReadTheInput) {
  Case kit;
  kit.UseFakeLauncher();
  const RunResult run = kit.Run({"/s"}, WithInput("n\n"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, kStart);
}

TEST(Answer, AClosedInputAtTheQuestionIsAnInternalError) {
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;
  options.closeInput = true;
  const RunResult run = kit.Run({}, options);
  EXPECT_EQ(run.status, 9);
  EXPECT_EQ(run.output, kQuestion + kInternal);
}

TEST(Interrupt, IsIgnoredByTheCommandAndRestoredForTheLauncher) {
  if (UnderWine()) GTEST_SKIP() << "POSIX signals";
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;
  options.input = "y\n";
  options.interruptAfter = kQuestion;
  const RunResult run = kit.Run({}, options);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, kQuestion + kStart);
  EXPECT_EQ(Case::ReadFile(kit.Kit() / "fake-sigint"), "default");
}

}  // namespace
}  // namespace e2e
