// The installation log: what the run records, what it shows, and how it ends when a log
// cannot be written. One table: each row lays out the kit and says what the run must show.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <regex>

#include "harness.h"
#include "texts.h"

namespace e2e {
namespace {

using namespace std::string_literals;

// Lays out the kit beyond the fake launcher (which writes a setup log that reports success)
// and sets the run's options; skips the test where this machine cannot show the case.
using Arrange = std::function<void(Case&, RunOptions&)>;
// What the run must have shown and left; the paths of a kit are known only once it has run.
using Expect = std::function<void(const Case&, const RunResult&)>;

struct LogCase {
  std::string name;
  const char* linuxOnly;  // why only the Linux build can show the case; nullptr: both builds
  Arrange arrange;
  Expect expect;
  std::vector<std::string> args = {"/s"};
  // Under Wine, the row is run on the Linux build too, whose log must hold the same bytes.
  bool sameLogOnLinux = false;
};

void PrintTo(const LogCase& c, std::ostream* out) { *out << c.name; }

Arrange SetupLog(std::string bytes) {
  return [bytes = std::move(bytes)](Case& kit, RunOptions&) {
    kit.TellLauncher("fake-setup-log", bytes);
  };
}

Arrange NoSetupLog() {
  return [](const Case& kit, RunOptions&) { fs::remove(kit.Kit() / "fake-setup-log"); };
}

// The status, the console, and the installation log (nullopt: not read).
Expect Shows(int status, const std::string& output,
             const std::optional<std::string>& log = std::nullopt) {
  return [=](const Case& kit, const RunResult& run) {
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(run.output, output);
    if (log) {
      EXPECT_EQ(kit.ReadInstallationLog(), *log);
    }
  };
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

// The installation log cannot be created in the folder: the run ends with 9 and its report
// before the launch.
Expect CannotCreate(std::function<std::string(const Case&)> folder, int error) {
  return [folder = std::move(folder), error](const Case& kit, const RunResult& run) {
    ExpectCreationFailure(run, folder(kit), error);
    EXPECT_TRUE(kit.LauncherArgs().empty());
  };
}

std::string CaseFolder(const Case& kit) { return kit.Root().string() + "/"; }

// The log of the run, as the launcher writes it, becomes what the action makes of it: the run
// cannot reopen it after the launch, shows nothing and ends with 9.
LogCase ReplacedDuringTheLaunch(const char* name, const char* linuxOnly, const char* action,
                                int error) {
  return {name, linuxOnly,
          [action](Case& kit, RunOptions&) { kit.TellLauncher("fake-action", action); },
          [error](const Case& kit, const RunResult& run) {
            EXPECT_EQ(run.status, 9);
            const std::string log = kit.Seen(kit.Root() / ("installvorx" + kit.Suffix() + ".log"));
            EXPECT_EQ(run.output, kStart + IoErrorReport(log, error));
          }};
}

// Runs that a FIFO must not hold: well under a second each, five at the most.
constexpr int kFifoSeconds = 5;

// A FIFO planted under a log's name, which a run would block on for ever.
void PlantFifos(const Case& kit, const std::string& stem) {
#ifdef _WIN32
  FAIL() << "FIFOs are POSIX's: " << kit.Root() << stem;
#else
  for (const std::string& suffix : SuffixesAround(1, 10)) {
    ASSERT_EQ(mkfifo((kit.Root() / (stem + suffix + ".log")).c_str(), 0644), 0);
  }
#endif
}

const std::string kAppended = "launcher: 100% %s %d %n \\ done\r\n";
const std::string kEarlier = "an earlier run within the same second\r\n";
const std::string kRefusalLine =
    "QEDN40127-E The command was executed by a user other than the administrator.\r\n";

// More than the display shows: lines up to 3000 bytes.
std::string LongAppend() {
  std::string appended;
  for (int i = 0; appended.size() < 3000; ++i) appended += "line " + std::to_string(i) + "\n";
  return appended;
}

std::vector<LogCase> LogCases() {
  const char* both = nullptr;
  std::vector<LogCase> rows = {
      // The setup log's verdict, recorded after the start line and shown.
      {"success", both, SetupLog("[ResponseResult]\r\nResultCode=0\r\n"),
       Shows(0, kStart, kStartLine)},
      {"failure", both, SetupLog("[ResponseResult]\r\nResultCode=-3\r\n"),
       Shows(0, kStart + kFailed, kStartLine + kFailed)},
      {"empty", both, SetupLog(""), Shows(0, kStart + kFailed, kStartLine + kFailed)},
      {"missing", both, NoSetupLog(), Shows(9, kStart + kInternal, kStartLine + kInternal)},
      {"bare_lf_lines", both, SetupLog("[ResponseResult]\nResultCode=0\nDone=1\n"),
       Shows(0, kStart, kStartLine)},
      {"blanks_after_zero", both, SetupLog("ResultCode=0 \t\r\n"), Shows(0, kStart, kStartLine)},
      {"blank_before_zero", both, SetupLog("ResultCode= 0\r\n"),
       Shows(0, kStart + kFailed, kStartLine + kFailed)},
      {"later_line_does_not_undo", both, SetupLog("ResultCode=0\r\nResultCode=-1\r\n"),
       Shows(0, kStart, kStartLine)},
      {"beyond_1024_bytes", both, SetupLog(std::string(1100, ';') + "\r\nResultCode=0\r\n"),
       Shows(0, kStart + kFailed, kStartLine + kFailed)},
      {"within_1024_bytes", both, SetupLog(std::string(1000, ';') + "\r\nResultCode=0\r\n"),
       Shows(0, kStart, kStartLine)},
      {"after_a_zero_byte", both, SetupLog("x\0\r\nResultCode=0\r\n"s),
       Shows(0, kStart + kFailed, kStartLine + kFailed)},
      {"the_status_follows_the_launcher_not_the_setup_log", both,
       [](Case& kit, RunOptions&) {
         kit.UseFakeLauncher(200);
         kit.TellLauncher("fake-setup-log", "ResultCode=0\r\n");
       },
       [](const Case&, const RunResult& run) { EXPECT_EQ(run.status, 200); }},
      {"what_the_launcher_appends_is_shown_as_it_stands", both,
       [](Case& kit, RunOptions&) { kit.TellLauncher("fake-append", kAppended); },
       Shows(0, kStart + kAppended, kStartLine + kAppended)},
      {"at_most_2048_bytes_are_shown", both,
       [](Case& kit, RunOptions&) {
         kit.TellLauncher("fake-append", LongAppend());
         kit.TellLauncher("fake-setup-log", "nothing\r\n");
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.output, kStart + LongAppend().substr(0, 2048));
         EXPECT_EQ(kit.ReadInstallationLog(), kStartLine + LongAppend() + kFailed);
       }},
      {"an_existing_log_is_appended_to_never_truncated", both,
       [](Case& kit, RunOptions&) {
         for (const std::string& suffix : SuffixesAround(1, 10)) {
           Case::WriteFile(kit.Root() / ("installvorx" + suffix + ".log"), kEarlier);
         }
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 0);
         EXPECT_EQ(Case::ReadFile(kit.Root() / ("installvorx" + kit.Suffix() + ".log")),
                   kEarlier + kStartLine);
       }},
      ReplacedDuringTheLaunch("a_log_replaced_by_a_folder_during_the_launch_ends_with_9", both,
                              "log-to-folder", UnderWine() ? EACCES : EISDIR),
      ReplacedDuringTheLaunch("a_log_removed_during_the_launch_ends_with_9", both, "delete-log",
                              ENOENT),
      ReplacedDuringTheLaunch("a_log_replaced_by_a_fifo_during_the_launch_ends_with_9",
                              "FIFOs of the Linux build", "log-to-fifo", ENXIO),
      {"a_log_folder_that_does_not_exist_ends_with_9_before_the_launch", both,
       [](Case& kit, RunOptions& options) {
         options.systemRoot = UnderWine() ? "Q:\\windows" : (kit.Root() / "missing").string();
       },
       CannotCreate(
           [](const Case& kit) {
             return UnderWine() ? "Q:\\" : (kit.Root() / "missing").string() + "/";
           },
           ENOENT)},
      {"the_report_of_a_long_path_is_never_cut_short",
       "Windows takes three characters of SystemRoot",
       [](Case& kit, RunOptions& options) {
         options.systemRoot =
             (kit.Root() / std::string(200, 'a') / std::string(200, 'b') / "c").string();
       },
       [](const Case& kit, const RunResult& run) {
         const fs::path folder = kit.Root() / std::string(200, 'a') / std::string(200, 'b') / "c";
         ExpectCreationFailure(run, folder.string() + "/", ENOENT);
         EXPECT_GT(run.output.size(), 500u);
       }},
      {"a_log_folder_that_cannot_be_written_ends_with_9_before_the_launch", both,
       [](Case&, RunOptions& options) {
         // A folder where not even an administrator can create a file.
         if (built::kWindowsHost) GTEST_SKIP() << "S: is the Wine prefix's";
         options.systemRoot = UnderWine() ? "S:\\windows" : "/sys";
       },
       CannotCreate([](const Case&) { return UnderWine() ? "S:\\" : "/sys/"; }, EACCES)},
      {"both_builds_write_the_same_bytes",
       both,
       [](Case& kit, RunOptions&) {
         kit.UseFakeLauncher(1);
         kit.TellLauncher("fake-setup-log", "ResultCode=-3\r\n");
         kit.TellLauncher("fake-append", "launcher line\r\nbare line\n");
         Case::WriteFile(kit.Root() / "inst.ini", "[VORX]\nvorxversion=6.1.0-00\n");
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 1);
         EXPECT_EQ(kit.ReadInstallationLog(),
                   kStartLine + "launcher line\r\nbare line\n" + kFailed);
       },
       {"/s", "/f", "inst.ini"},
       true},
      // A caller without the rights, a full file system, planted files: the Linux build's.
      {"a_caller_without_administrator_rights_is_refused_and_the_refusal_is_its_only_line",
       "under Wine the caller is always an administrator",
       [](Case& kit, RunOptions& options) {
         if (!RunUnprivileged(options)) GTEST_SKIP() << "setpriv cannot drop privileges here";
         const fs::path logs = kit.Root() / "logs";
         fs::create_directories(logs);
         fs::permissions(kit.Root(), fs::perms::all, fs::perm_options::add);
         fs::permissions(logs, fs::perms::all, fs::perm_options::add);
         options.systemRoot = logs.string();
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 3);
         EXPECT_EQ(run.output, kRefusal);
         const std::vector<fs::path> logs = kit.Logs("installvorx", kit.Root() / "logs");
         ASSERT_EQ(logs.size(), 1u);
         EXPECT_EQ(Case::ReadFile(logs[0]), kRefusalLine);
         EXPECT_TRUE(kit.LauncherArgs().empty());
       }},
      {"a_caller_without_rights_who_cannot_create_the_log_is_refused_with_3_and_no_log",
       "under Wine the caller is always an administrator",
       [](Case& kit, RunOptions& options) {
         if (!RunUnprivileged(options)) GTEST_SKIP() << "setpriv cannot drop privileges here";
         fs::permissions(kit.Root(), fs::perms::owner_all | fs::perms::group_read |
                                         fs::perms::group_exec | fs::perms::others_read |
                                         fs::perms::others_exec);
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 3);
         EXPECT_EQ(run.output, kRefusal);
         EXPECT_TRUE(kit.Logs("installvorx").empty());
         EXPECT_TRUE(kit.LauncherArgs().empty());
       }},
      {"a_full_file_system_ends_with_9_with_the_report", "a private mount of the Linux build",
       [](Case& kit, RunOptions& options) {
         if (std::system("unshare -m true 2>/dev/null") != 0)
           GTEST_SKIP() << "no mount namespace here";
         const fs::path full = kit.Root() / "full";
         fs::create_directories(full);
         options.systemRoot = full.string();
         options.wrapper = {"unshare", "-m", "sh", "-c",
                            "mount -t tmpfs -o size=8k tmpfs '" + full.string() +
                                "' && "
                                "(dd if=/dev/zero of='" +
                                full.string() +
                                "/fill' bs=1k 2>/dev/null; true) && "
                                "exec \"$0\" \"$@\""};
       },
       CannotCreate([](const Case& kit) { return (kit.Root() / "full").string() + "/"; }, ENOSPC)},
      {"a_log_at_the_file_size_limit_ends_with_9_with_the_report",
       "a resource limit of the Linux build",
       [](Case& kit, RunOptions& options) {
         for (const std::string& suffix : SuffixesAround(1, 10)) {
           Case::WriteFile(kit.Root() / ("installvorx" + suffix + ".log"), std::string(1024, '.'));
         }
         options.wrapper = {"prlimit", "--fsize=1024"};
       },
       CannotCreate(CaseFolder, EFBIG)},
      {"a_closed_standard_output_puts_nothing_of_the_console_into_the_log",
       "a closed descriptor of the Linux build",
       [](Case& kit, RunOptions& options) {
         if (!RunUnprivileged(options)) GTEST_SKIP() << "setpriv cannot drop privileges here";
         options.wrapper.insert(options.wrapper.end(), {"sh", "-c", "exec \"$0\" \"$@\" >&-"});
         fs::permissions(kit.Root(), fs::perms::all, fs::perm_options::add);
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 3);
         EXPECT_EQ(kit.ReadInstallationLog(), kRefusalLine);
       }},
      {"a_link_planted_at_the_logs_name_is_never_followed", "links of the Linux build",
       [](Case& kit, RunOptions&) {
         Case::WriteFile(kit.Root() / "precious", "precious\n");
         for (const std::string& suffix : SuffixesAround(1, 10)) {
           fs::create_symlink(kit.Root() / "precious",
                              kit.Root() / ("installvorx" + suffix + ".log"));
         }
       },
       [](const Case& kit, const RunResult& run) {
         ExpectCreationFailure(run, CaseFolder(kit), ELOOP);
         EXPECT_EQ(Case::ReadFile(kit.Root() / "precious"), "precious\n");
         EXPECT_TRUE(kit.LauncherArgs().empty());
       }},
      {"a_fifo_planted_at_the_logs_name_ends_with_9_at_once", "FIFOs of the Linux build",
       [](Case& kit, RunOptions& options) {
         PlantFifos(kit, "installvorx");
         options.timeoutSeconds = kFifoSeconds;
       },
       CannotCreate(CaseFolder, ENXIO)},
      {"a_fifo_planted_at_the_setup_logs_name_is_an_io_error_of_the_setup_log",
       "FIFOs of the Linux build",
       [](Case& kit, RunOptions& options) {
         fs::remove(kit.Kit() / "fake-setup-log");
         PlantFifos(kit, "setup");
         options.timeoutSeconds = kFifoSeconds;
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 9);
         const std::string report =
             IoErrorReport((kit.Root() / ("setup" + kit.Suffix() + ".log")).string(), ENXIO);
         EXPECT_EQ(run.output, kStart + report);
         EXPECT_EQ(kit.ReadInstallationLog(), kStartLine + report);
       }},
  };
  return rows;
}

// Lays out the row's kit and runs it; the run is empty when the test was skipped.
RunResult RunRow(const LogCase& row, Case& kit) {
  kit.UseFakeLauncher();
  RunOptions options;
  row.arrange(kit, options);
  if (::testing::Test::IsSkipped()) return {};
  return kit.Run(row.args, options);
}

class LogTest : public ::testing::TestWithParam<LogCase> {};

TEST_P(LogTest, RecordsAndShowsWhatTheRunDid) {
  const LogCase& row = GetParam();
  if (row.linuxOnly != nullptr && UnderWine()) GTEST_SKIP() << row.linuxOnly;
  Case kit;
  const RunResult run = RunRow(row, kit);
  if (IsSkipped()) return;
  row.expect(kit, run);

  const std::optional<Build> reference = LinuxBuild();
  if (!row.sameLogOnLinux || !UnderWine() || !reference) return;
  SCOPED_TRACE("the Linux build");
  Case onLinux(*reference);
  row.expect(onLinux, RunRow(row, onLinux));
  EXPECT_EQ(onLinux.ReadInstallationLog(), kit.ReadInstallationLog());
}

INSTANTIATE_TEST_SUITE_P(Runs, LogTest, ::testing::ValuesIn(LogCases()),
                         [](const ::testing::TestParamInfo<LogCase>& param) {
                           return param.param.name;
                         });

}  // namespace
}  // namespace e2e
