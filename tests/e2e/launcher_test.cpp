// The command from its options to the launcher's exit code. One table: each row gives the
// arguments, lays out the kit and says what the run must show.
#include <gtest/gtest.h>

#include <functional>

#include "harness.h"
#include "texts.h"

namespace e2e {
namespace {

// Lays out the kit beyond the fake launcher (which writes a setup log that reports success)
// and sets the run's options.
using Arrange = std::function<void(Case&, RunOptions&)>;
// What the run must have shown and left; the paths of a kit are known only once it has run.
using Expect = std::function<void(const Case&, const RunResult&)>;

struct LauncherCase {
  std::string name;
  std::vector<std::string> args;
  Arrange arrange;
  Expect expect;
  const char* linuxOnly = nullptr;    // why only the Linux build can show the case
  const char* windowsOnly = nullptr;  // why only the Windows build can show it
};

void PrintTo(const LauncherCase& c, std::ostream* out) { *out << c.name; }

void Nothing(Case&, RunOptions&) {}

Arrange Input(std::string input) {
  return [input = std::move(input)](Case&, RunOptions& options) { options.input = input; };
}

// The launcher received the command line that the kit and the run yield, and the run left one
// installation log.
void ExpectLaunched(const Case& kit) {
  EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs());
  EXPECT_EQ(kit.Logs("installvorx").size(), 1u);
}

// Nothing was started and no installation log exists.
void ExpectNothingStarted(const Case& kit) {
  EXPECT_TRUE(kit.LauncherArgs().empty());
  EXPECT_TRUE(kit.Logs("installvorx").empty());
}

// A successful run whose launcher got the command line that the kit yields.
void Launches(const Case& kit, const RunResult& run) {
  EXPECT_EQ(run.status, 0) << run.output;
  ExpectLaunched(kit);
}

LauncherCase ExitCode(int code) {
  return {"exit_code_" + std::to_string(code),
          {"/s"},
          [code](Case& kit, RunOptions&) { kit.UseFakeLauncher(code); },
          [code](const Case& kit, const RunResult& run) {
            EXPECT_EQ(run.status, code);
            EXPECT_EQ(run.output, kStart);
            ExpectLaunched(kit);
            EXPECT_EQ(kit.ReadInstallationLog(), kStartLine);
            EXPECT_EQ(kit.Logs("setup").size(), 1u);
          }};
}

// An invalid command line prints the usage and ends with 1 before anything else.
LauncherCase Invalid(std::string name, std::vector<std::string> args,
                     const char* windowsOnly = nullptr) {
  return {std::move(name),
          std::move(args),
          Input("y\n"),
          [](const Case& kit, const RunResult& run) {
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.output, kInvalid);
            ExpectNothingStarted(kit);
          },
          nullptr,
          windowsOnly};
}

// The question is asked until it is answered.
LauncherCase Answer(std::string name, std::string input, int status, std::string output) {
  return {std::move(name),
          {},
          Input(std::move(input)),
          [status, output](const Case& kit, const RunResult& run) {
            EXPECT_EQ(run.status, status);
            EXPECT_EQ(run.output, output);
            const bool started = output.find(kStart) != std::string::npos;
            EXPECT_EQ(kit.LauncherArgs().empty(), !started);
            EXPECT_EQ(kit.Logs("installvorx").size(), started ? 1u : 0u);
          }};
}

// The settings file named does not exist: 2 and its message.
void NoSuchFile(const Case&, const RunResult& run) {
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output, kMissing);
}

std::vector<LauncherCase> LauncherCases() {
  return {
      ExitCode(0),
      ExitCode(1),
      ExitCode(9),
      ExitCode(200),
      {"is_awaited_until_it_ends",
       {"/s"},
       [](Case& kit, RunOptions&) {
         kit.UseFakeLauncher(7);
         kit.TellLauncher("fake-action", "slow");
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 7);
         EXPECT_EQ(Case::ReadFile(kit.Kit() / "fake-done"), "done");
       }},
      {"a_missing_setup_exe_ends_with_9_and_creates_no_log",
       {"/s"},
       [](const Case& kit, RunOptions&) { fs::remove(kit.Kit() / "setup.exe"); },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 9);
         EXPECT_EQ(run.output, kLauncherMissing);
         EXPECT_TRUE(kit.Logs("installvorx").empty());
       }},
      {"is_found_from_the_commands_own_folder_whatever_the_current_folder",
       {"/s"},
       [](const Case& kit, RunOptions& options) {
         fs::create_directories(kit.Root() / "elsewhere");
         options.workingDirectory = kit.Root() / "elsewhere";
       },
       Launches},
      {"is_found_below_a_folder_named_like_a_program_for_a_command_in_upper_case",
       {"/s"},
       [](const Case& kit, RunOptions& options) {
         const fs::path folder = kit.Root() / "kit" / "my.exe.installvorx";
         fs::create_directories(folder);
         const fs::path renamed = folder / (UnderWine() ? "INSTALLVORX.EXE" : "INSTALLVORX");
         fs::copy_file(kit.Command(), renamed);
         options.invokeAs = UnderWine() ? kit.Seen(renamed) : renamed.string();
       },
       Launches},
      {"is_found_for_a_command_started_through_path_or_a_link",
       {"/s"},
       [](const Case& kit, RunOptions& options) {
         fs::create_directories(kit.Root() / "bin");
         fs::create_symlink(kit.Command(), kit.Root() / "bin" / "ivx");
         options.wrapper = {"env", "PATH=" + (kit.Root() / "bin").string() + ":/usr/bin:/bin"};
         options.invokeAs = "ivx";
       },
       Launches,
       "PATH search and links of the Linux build"},
      // Wine shows a Unix symbolic link as a Windows one, loaded under the link's name.
      {"is_found_beside_the_real_command_when_started_through_a_link",
       {"/s"},
       [](const Case& kit, RunOptions& options) {
         fs::create_directories(kit.Root() / "elsewhere");
         const fs::path link = kit.Root() / "elsewhere" / kit.Command().filename();
         fs::create_symlink(kit.Command(), link);
         options.invokeAs = kit.Seen(link);
       },
       Launches,
       nullptr,
       "the Windows build's own path through a link (the Linux build's: the row above)"},
      // A POSIX folder name may hold quotation marks, and SystemRoot is any text the caller
      // sets.
      {"gets_its_log_paths_intact_whatever_the_log_folder_is_named",
       {"/s"},
       [](const Case& kit, RunOptions& options) {
         const fs::path logs = kit.Root() / "a\" /X \"b";
         fs::create_directories(logs);
         options.systemRoot = logs.string();
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 0) << run.output;
         const fs::path logs = kit.Root() / "a\" /X \"b";
         std::vector<std::string> expected = kit.ExpectedLauncherArgs();
         expected[3] = "/f2" + (logs / ("setup" + kit.Suffix() + ".log")).string();
         expected[5] = "/z" + (logs / ("installvorx" + kit.Suffix() + ".log")).string();
         EXPECT_EQ(kit.LauncherArgs(), expected);
       },
       "a POSIX folder name"},
      {"in_a_folder_whose_name_holds_a_quotation_mark_counts_as_missing_and_nothing_starts",
       {"/s"},
       [](const Case& kit, RunOptions& options) {
         const fs::path folder = kit.Root() / "x\" y\"";
         fs::create_directories(folder / "tools");
         fs::copy_file(kit.Command(), folder / "tools" / "installvorx");
         fs::copy_file(BuildUnderTest().fakeSetup, folder / "setup.exe");
         // What the launcher's name, cut at its quotation marks, would start.
         fs::copy_file(BuildUnderTest().fakeSetup, kit.Root() / "x");
         options.invokeAs = (folder / "tools" / "installvorx").string();
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 9);
         EXPECT_EQ(run.output, kLauncherMissing);
         EXPECT_TRUE(kit.Logs("installvorx").empty());
         EXPECT_FALSE(fs::exists(kit.Root() / "x\" y\"" / "fake-args"));
         EXPECT_FALSE(fs::exists(kit.Root() / "fake-args"));
       },
       "a POSIX folder name"},
      // The options.
      Invalid("upper_case_f", {"/F"}),
      Invalid("dash_f", {"-f", "a.ini"}),
      Invalid("f_and_more", {"/fx"}),
      Invalid("slash_after", {"f/"}),
      Invalid("upper_case_s", {"/S"}),
      Invalid("unknown_after_s", {"/s", "/x"}),
      Invalid("f_without_a_name", {"/f"}),
      Invalid("s_then_f_without_a_name", {"/s", "/f"}),
      Invalid("f_then_an_option", {"/f", "/s"}),
      Invalid("empty_argument", {""}),
      Invalid("star", {"*"}),
      Invalid("a_stray_argument_after_repeated_s", {"/s", "/s", "x"}),
      Invalid("a_name_of_256_characters", {"/f", std::string(256, 'a')}),
      Invalid("a_name_that_begins_with_a_slash", {"/f", "/etc/vorx.ini"},
              "an absolute path on Linux"),
      {"a_name_of_255_characters_is_taken",
       {"/s", "/f", std::string(255, 'a')},
       Nothing,
       NoSuchFile},
      {"a_linux_absolute_path_is_taken",
       {"/f", "/etc/no-such-vorx.ini", "/s"},
       Nothing,
       NoSuchFile,
       "an absolute path of the Linux build"},
      {"an_empty_settings_file_name_means_no_settings_file",
       {"/f", "", "/s", "/s"},
       Nothing,
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 0);
         EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs());
       }},
      {"wildcards_reach_the_command_unexpanded",
       {"/s", "/f", "*.ini"},
       [](const Case& kit, RunOptions&) {
         Case::WriteFile(kit.Root() / "a.ini", "[VORX]\nvorxversion=6.1.0-00\n");
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 2);
         EXPECT_TRUE(kit.LauncherArgs().empty());
       }},
      // The question.
      Answer("y", "y\n", 0, kQuestion + kStart),
      Answer("upper_case_y_without_a_newline", "Y", 0, kQuestion + kStart),
      Answer("y_cr_lf", "y\r\n", 0, kQuestion + kStart),
      Answer("n", "n\n", 0, kQuestion),
      Answer("upper_case_n_without_a_newline", "N", 0, kQuestion),
      Answer("yes_then_y", "Yes\ny\n", 0, kQuestion + kQuestion + kStart),
      Answer("empty_lines_then_n", "\n\nn\n", 0, kQuestion + kQuestion + kQuestion),
      Answer("x_then_n", "x\nn\n", 0, kQuestion + kQuestion),
      Answer("no_input", "", 9, kQuestion + kInternal),
      Answer("yes_then_the_end_of_the_input", "yes", 9, kQuestion + kQuestion + kInternal),
      Answer("an_empty_line_then_the_end_of_the_input", "\n", 9, kQuestion + kQuestion + kInternal),
      Answer("y_ended_by_a_zero_byte", std::string("y\0\n", 3), 0, kQuestion + kStart),
      // Ctrl-Z ends the input for good: what precedes it on its line is the last answer
      Answer("y_then_ctrl_z", "y\x1a\n", 0, kQuestion + kStart),
      Answer("ctrl_z_then_y", "\x1ay\n", 9, kQuestion + kInternal),
      Answer("x_cr_then_ctrl_z", "x\r\x1a\ny\n", 9, kQuestion + kQuestion + kInternal),
      {"silent_runs_never_read_the_input",
       {"/s"},
       Input("n\n"),
       [](const Case&, const RunResult& run) {
         EXPECT_EQ(run.status, 0);
         EXPECT_EQ(run.output, kStart);
       }},
      {"a_closed_input_at_the_question_is_an_internal_error",
       {},
       [](Case&, RunOptions& options) { options.closeInput = true; },
       [](const Case&, const RunResult& run) {
         EXPECT_EQ(run.status, 9);
         EXPECT_EQ(run.output, kQuestion + kInternal);
       }},
      {"an_interrupt_is_ignored_by_the_command_and_restored_for_the_launcher",
       {},
       [](Case&, RunOptions& options) {
         options.input = "y\n";
         options.interruptAfter = kQuestion;
       },
       [](const Case& kit, const RunResult& run) {
         EXPECT_EQ(run.status, 0);
         EXPECT_EQ(run.output, kQuestion + kStart);
         EXPECT_EQ(Case::ReadFile(kit.Kit() / "fake-sigint"), "default");
       },
       "POSIX signals"},
  };
}

class LauncherTest : public ::testing::TestWithParam<LauncherCase> {};

TEST_P(LauncherTest, RunsFromTheOptionsToTheLaunchersExitCode) {
  const LauncherCase& row = GetParam();
  if (row.linuxOnly != nullptr && UnderWine()) GTEST_SKIP() << row.linuxOnly;
  if (row.windowsOnly != nullptr && !UnderWine()) GTEST_SKIP() << row.windowsOnly;
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;
  row.arrange(kit, options);
  row.expect(kit, kit.Run(row.args, options));
}

INSTANTIATE_TEST_SUITE_P(Runs, LauncherTest, ::testing::ValuesIn(LauncherCases()),
                         [](const ::testing::TestParamInfo<LauncherCase>& param) {
                           return param.param.name;
                         });

}  // namespace
}  // namespace e2e
