// The installation log: what the run records, what it shows, and how it ends when a log
// cannot be written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <regex>

#include "harness.h"
#include "texts.h"

namespace e2e {
namespace {

using namespace std::string_literals;

struct SetupLogCase {
  const char* name;
  std::optional<std::string> setupLog;  // nullopt: the launcher writes none
  std::string recorded;                 // what the run adds to its log after the launch
  int status;
};

void PrintTo(const SetupLogCase& c, std::ostream* out) { *out << c.name; }

class SetupLogTest : public ::testing::TestWithParam<SetupLogCase> {};

TEST_P(SetupLogTest, IsJudgedRecordedAndShown) {
  Case kit;
  kit.UseFakeLauncher();
  if (GetParam().setupLog) {
    kit.TellLauncher("fake-setup-log", *GetParam().setupLog);
  } else {
    fs::remove(kit.Kit() / "fake-setup-log");
  }
  const RunResult run = kit.Run({"/s"});
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.output, kStart + GetParam().recorded);
  EXPECT_EQ(kit.ReadInstallationLog(), kStartLine + GetParam().recorded);
}

INSTANTIATE_TEST_SUITE_P(
    Results, SetupLogTest,
    ::testing::Values(
        SetupLogCase{"success", "[ResponseResult]\r\nResultCode=0\r\n", "", 0},
        SetupLogCase{"failure", "[ResponseResult]\r\nResultCode=-3\r\n", kFailed, 0},
        SetupLogCase{"empty", "", kFailed, 0}, SetupLogCase{"missing", std::nullopt, kInternal, 9},
        SetupLogCase{"bare_lf_lines", "[ResponseResult]\nResultCode=0\nDone=1\n", "", 0},
        SetupLogCase{"blanks_after_zero", "ResultCode=0 \t\r\n", "", 0},
        SetupLogCase{"blank_before_zero", "ResultCode= 0\r\n", kFailed, 0},
        SetupLogCase{"later_line_does_not_undo", "ResultCode=0\r\nResultCode=-1\r\n", "", 0},
        SetupLogCase{"beyond_1024_bytes", std::string(1100, ';') + "\r\nResultCode=0\r\n", kFailed,
                     0},
        SetupLogCase{"within_1024_bytes", std::string(1000, ';') + "\r\nResultCode=0\r\n", "", 0},
        SetupLogCase{"after_a_zero_byte", "x\0\r\nResultCode=0\r\n"s, kFailed, 0}));

TEST(InstallationLog, TheStatusFollowsTheLauncherNotTheSetupLog) {
  Case kit;
  kit.UseFakeLauncher(200);
  kit.TellLauncher("fake-setup-log", "ResultCode=0\r\n");
  EXPECT_EQ(kit.Run({"/s"}).status, 200);
}

TEST(InstallationLog, WhatTheLauncherAppendsIsShownAsItStands) {
  Case kit;
  kit.UseFakeLauncher();
  const std::string appended = "launcher: 100% %s %d %n \\ done\r\n";
  kit.TellLauncher("fake-append", appended);
  const RunResult run = kit.Run({"/s"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, kStart + appended);
  EXPECT_EQ(kit.ReadInstallationLog(), kStartLine + appended);
}

TEST(InstallationLog, AtMost2048BytesAreShown) {
  Case kit;
  kit.UseFakeLauncher();
  std::string appended;
  for (int i = 0; appended.size() < 3000; ++i) appended += "line " + std::to_string(i) + "\n";
  kit.TellLauncher("fake-append", appended);
  kit.TellLauncher("fake-setup-log", "nothing\r\n");
  const RunResult run = kit.Run({"/s"});
  EXPECT_EQ(run.output, kStart + appended.substr(0, 2048));
  EXPECT_EQ(kit.ReadInstallationLog(), kStartLine + appended + kFailed);
}

TEST(InstallationLog, AnExistingLogIsAppendedToNeverTruncated) {
  Case kit;
  kit.UseFakeLauncher();
  const std::string earlier = "an earlier run within the same second\r\n";
  for (const std::string& suffix : SuffixesAround(1, 10)) {
    Case::WriteFile(kit.Root() / ("installvorx" + suffix + ".log"), earlier);
  }
  const RunResult run = kit.Run({"/s"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Case::ReadFile(kit.Root() / ("installvorx" + kit.Suffix() + ".log")),
            earlier + kStartLine);
}

// The run cannot reopen its log after the launch: nothing is shown, the status is 9.
TEST(InstallationLog, ALogReplacedOrRemovedDuringTheLaunchEndsWith9) {
  std::vector<std::pair<const char*, int>> actions = {
      {"log-to-folder", UnderWine() ? EACCES : EISDIR}, {"delete-log", ENOENT}};
  if (!UnderWine()) actions.emplace_back("log-to-fifo", ENXIO);
  for (const auto& [action, error] : actions) {
    Case kit;
    kit.UseFakeLauncher();
    kit.TellLauncher("fake-action", action);
    const RunResult run = kit.Run({"/s"});
    EXPECT_EQ(run.status, 9) << action;
    const std::string log = kit.Seen(kit.Root() / ("installvorx" + kit.Suffix() + ".log"));
    EXPECT_EQ(run.output, kStart + IoErrorReport(log, error)) << action;
  }
}

// The report of a log that cannot be created names a path the test cannot know to the second.
void ExpectCreationFailure(const RunResult& run, const std::string& folder, int error) {
  EXPECT_EQ(run.status, 9);
  const std::regex report(
      "QEDN40126-W An error occurred in I/O of the installation log file\\(" +
      std::regex_replace(folder, std::regex(R"([\\.^$|()\[\]{}*+?])"), R"(\$&)") +
      "installvorx_[0-9_-]{19}\\.log\\)\\. Code = " + std::to_string(error) + " " +
      std::strerror(error) + "\n");
  EXPECT_TRUE(std::regex_match(run.output, report)) << run.output;
}

TEST(InstallationLog, ALogFolderThatDoesNotExistEndsWith9BeforeTheLaunch) {
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;
  options.systemRoot = UnderWine() ? "Q:\\windows" : (kit.Root() / "missing").string();
  const RunResult run = kit.Run({"/s"}, options);
  ExpectCreationFailure(run, UnderWine() ? "Q:\\" : (kit.Root() / "missing").string() + "/",
                        ENOENT);
  EXPECT_TRUE(kit.LauncherArgs().empty());
}

TEST(InstallationLog, TheReportOfALongPathIsNeverCutShort) {
  if (UnderWine()) GTEST_SKIP() << "Windows takes three characters of SystemRoot";
  Case kit;
  kit.UseFakeLauncher();
  const fs::path folder = kit.Root() / std::string(200, 'a') / std::string(200, 'b') / "c";
  RunOptions options;
  options.systemRoot = folder.string();
  const RunResult run = kit.Run({"/s"}, options);
  ExpectCreationFailure(run, folder.string() + "/", ENOENT);
  EXPECT_GT(run.output.size(), 500u);
}

TEST(InstallationLog, ALogFolderThatCannotBeWrittenEndsWith9BeforeTheLaunch) {
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;  // a folder where not even an administrator can create a file
  options.systemRoot = UnderWine() ? "S:\\windows" : "/sys";
  const RunResult run = kit.Run({"/s"}, options);
  ExpectCreationFailure(run, UnderWine() ? "S:\\" : "/sys/", EACCES);
  EXPECT_TRUE(kit.LauncherArgs().empty());
}

TEST(InstallationLog, BothBuildsWriteTheSameBytes) {
  const std::optional<Build> reference = LinuxBuild();
  if (!UnderWine() || !reference) GTEST_SKIP() << "compares the Windows build with the Linux build";
  std::vector<std::string> logs;
  for (const Build& build : {BuildUnderTest(), *reference}) {
    Case kit(build);
    kit.UseFakeLauncher(1);
    kit.TellLauncher("fake-setup-log", "ResultCode=-3\r\n");
    kit.TellLauncher("fake-append", "launcher line\r\nbare line\n");
    Case::WriteFile(kit.Root() / "inst.ini", "[VORX]\nvorxversion=6.1.0-00\n");
    EXPECT_EQ(kit.Run({"/s", "/f", "inst.ini"}).status, 1);
    logs.push_back(kit.ReadInstallationLog());
  }
  EXPECT_EQ(logs[0], kStartLine + "launcher line\r\nbare line\n" + kFailed);
  EXPECT_EQ(logs[0], logs[1]);
}

// Linux only: a caller without the rights, a full file system, a planted link.

TEST(InstallationLog, ACallerWithoutAdministratorRightsIsRefusedAndTheRefusalIsItsOnlyLine) {
  if (UnderWine()) GTEST_SKIP() << "under Wine the caller is always an administrator";
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;
  if (!RunUnprivileged(options)) GTEST_SKIP() << "setpriv cannot drop privileges here";
  const fs::path logs = kit.Root() / "logs";
  fs::create_directories(logs);
  fs::permissions(kit.Root(), fs::perms::all, fs::perm_options::add);
  fs::permissions(logs, fs::perms::all, fs::perm_options::add);
  options.systemRoot = logs.string();
  const RunResult run = kit.Run({"/s"}, options);
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.output, kRefusal);
  ASSERT_EQ(kit.Logs("installvorx", logs).size(), 1u);
  EXPECT_EQ(Case::ReadFile(kit.Logs("installvorx", logs)[0]),
            "QEDN40127-E The command was executed by a user other than the administrator.\r\n");
  EXPECT_TRUE(kit.LauncherArgs().empty());
}

TEST(InstallationLog, ALogFolderTheCallerCannotWriteEndsWith9) {
  if (UnderWine()) GTEST_SKIP() << "under Wine every folder can be written";
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;
  if (!RunUnprivileged(options)) GTEST_SKIP() << "setpriv cannot drop privileges here";
  fs::permissions(kit.Root(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  const RunResult run = kit.Run({"/s"}, options);
  ExpectCreationFailure(run, kit.Root().string() + "/", EACCES);
}

TEST(InstallationLog, AFullFileSystemEndsWith9WithTheReport) {
  if (UnderWine()) GTEST_SKIP() << "a private mount of the Linux build";
  if (std::system("unshare -m true 2>/dev/null") != 0) GTEST_SKIP() << "no mount namespace here";
  Case kit;
  kit.UseFakeLauncher();
  const fs::path full = kit.Root() / "full";
  fs::create_directories(full);
  RunOptions options;
  options.systemRoot = full.string();
  options.wrapper = {"unshare", "-m", "sh", "-c",
                     "mount -t tmpfs -o size=8k tmpfs '" + full.string() +
                         "' && "
                         "(dd if=/dev/zero of='" +
                         full.string() +
                         "/fill' bs=1k 2>/dev/null; true) && "
                         "exec \"$0\" \"$@\""};
  const RunResult run = kit.Run({"/s"}, options);
  ExpectCreationFailure(run, full.string() + "/", ENOSPC);
  EXPECT_TRUE(kit.LauncherArgs().empty());
}

TEST(InstallationLog, ALogAtTheFileSizeLimitEndsWith9WithTheReport) {
  if (UnderWine()) GTEST_SKIP() << "a resource limit of the Linux build";
  Case kit;
  kit.UseFakeLauncher();
  const std::string full(1024, '.');
  for (const std::string& suffix : SuffixesAround(1, 10)) {
    Case::WriteFile(kit.Root() / ("installvorx" + suffix + ".log"), full);
  }
  RunOptions options;
  options.wrapper = {"prlimit", "--fsize=1024"};
  const RunResult run = kit.Run({"/s"}, options);
  ExpectCreationFailure(run, kit.Root().string() + "/", EFBIG);
  EXPECT_TRUE(kit.LauncherArgs().empty());
}

TEST(InstallationLog, AClosedStandardOutputPutsNothingOfTheConsoleIntoTheLog) {
  if (UnderWine()) GTEST_SKIP() << "a closed descriptor of the Linux build";
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;
  if (!RunUnprivileged(options)) GTEST_SKIP() << "setpriv cannot drop privileges here";
  options.wrapper.insert(options.wrapper.end(), {"sh", "-c", "exec \"$0\" \"$@\" >&-"});
  fs::permissions(kit.Root(), fs::perms::all, fs::perm_options::add);
  const RunResult run = kit.Run({"/s"}, options);
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(kit.ReadInstallationLog(),
            "QEDN40127-E The command was executed by a user other than the administrator.\r\n");
}

TEST(InstallationLog, ALinkPlantedAtTheLogsNameIsNeverFollowed) {
  if (UnderWine()) GTEST_SKIP() << "links of the Linux build";
  Case kit;
  kit.UseFakeLauncher();
  const fs::path target = kit.Root() / "precious";
  Case::WriteFile(target, "precious\n");
  for (const std::string& suffix : SuffixesAround(1, 10)) {
    fs::create_symlink(target, kit.Root() / ("installvorx" + suffix + ".log"));
  }
  const RunResult run = kit.Run({"/s"});
  ExpectCreationFailure(run, kit.Root().string() + "/", ELOOP);
  EXPECT_EQ(Case::ReadFile(target), "precious\n");
  EXPECT_TRUE(kit.LauncherArgs().empty());
}

// Runs that a FIFO must not hold: well under a second each, five at the most.
RunOptions WithinSeconds(int seconds) {
  RunOptions options;
  options.timeoutSeconds = seconds;
  return options;
}

// A FIFO planted under a log's name, which a run would block on for ever.
void PlantFifos(const Case& kit, const std::string& stem) {
  for (const std::string& suffix : SuffixesAround(1, 10)) {
    ASSERT_EQ(mkfifo((kit.Root() / (stem + suffix + ".log")).c_str(), 0644), 0);
  }
}

TEST(InstallationLog, AFifoPlantedAtTheLogsNameEndsWith9AtOnce) {
  if (UnderWine()) GTEST_SKIP() << "FIFOs of the Linux build";
  Case kit;
  kit.UseFakeLauncher();
  PlantFifos(kit, "installvorx");
  const RunResult run = kit.Run({"/s"}, WithinSeconds(5));
  ExpectCreationFailure(run, kit.Root().string() + "/", ENXIO);
  EXPECT_TRUE(kit.LauncherArgs().empty());
}

TEST(InstallationLog, AFifoPlantedAtTheSetupLogsNameIsAnIoErrorOfTheSetupLog) {
  if (UnderWine()) GTEST_SKIP() << "FIFOs of the Linux build";
  Case kit;
  kit.UseFakeLauncher();
  fs::remove(kit.Kit() / "fake-setup-log");
  PlantFifos(kit, "setup");
  const RunResult run = kit.Run({"/s"}, WithinSeconds(5));
  EXPECT_EQ(run.status, 9);
  const std::string report =
      IoErrorReport((kit.Root() / ("setup" + kit.Suffix() + ".log")).string(), ENXIO);
  EXPECT_EQ(run.output, kStart + report);
  EXPECT_EQ(kit.ReadInstallationLog(), kStartLine + report);
}

}  // namespace
}  // namespace e2e
