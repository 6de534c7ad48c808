// End-to-end harness: runs the real installvorx binary of the build under test (the Linux
// build directly, the Windows build under Wine) in a kit laid out in a fresh temporary folder,
// with the tests' fake launcher as setup.exe.
//
// The build under test is fixed when the tests are built (build_under_test.h). Under Wine the
// environment names WINEPREFIX and IVX_E2E_DRIVE: the drive letter that this process maps to
// its case folder (default k), so that the shards running at once each have their own.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "build_under_test.h"

namespace e2e {

namespace fs = std::filesystem;

// One build of the command: its binary and the launchers built with it.
struct Build {
  bool wine = false;  // the Windows build, run under Wine
  std::string binary;
  std::string fakeSetup;
  std::string demoSetup;
  std::string check;  // installvorx-check of the same build; empty: not there
};

const Build& BuildUnderTest();
// The Linux build, when it is there: the Windows build's logs are compared with its logs.
std::optional<Build> LinuxBuild();
// True when the build under test is the Windows build (under Wine, or on Windows itself:
// built::kWindowsHost).
bool UnderWine();
// True when a run can have this ANSI code page (RunOptions::codePage): under Wine each of
// them, chosen by the locale; on Windows itself only the system's, and 65001, which the test
// copies of the commands choose in their manifest. A test skips a code page it cannot have.
bool RunsInCodePage(int codePage);

struct RunOptions {
  std::optional<std::string> input;  // standard input; nullopt: /dev/null
  bool closeInput = false;           // standard input closed altogether
  bool brokenOutput = false;         // standard output a pipe whose reader has gone (Linux only)
  // SystemRoot as the command sees it; nullopt: one that puts the logs in the case folder.
  std::optional<std::string> systemRoot;
  bool unsetSystemRoot = false;
  std::vector<std::string> wrapper;     // a command that runs the command (Linux only)
  std::optional<std::string> invokeAs;  // the command's name as invoked, instead of its path
  // Standard input becomes a pipe; once this text is on standard output, the command gets
  // SIGINT and SIGQUIT, and then the input.
  std::optional<std::string> interruptAfter;
  std::optional<fs::path> workingDirectory;  // default: the case folder
  // Under Wine: the ANSI code page of the run, 932, 1252 or 65001 (UTF-8; the commands of the
  // kit must then be the test copies that choose it, see Case::UseCodePageOfTheCommands); 0:
  // the locale of the tests.
  int codePage = 0;
  int timeoutSeconds = 60;
};

inline RunOptions WithInput(std::string input) {
  RunOptions options;
  options.input = std::move(input);
  return options;
}

struct RunResult {
  int status = -1;
  std::string output;  // standard output, CR LF of the Windows console turned into LF
  std::string errors;  // standard error
};

// A fresh folder: the kit below it ("kit/setup.exe", "kit/tools/installvorx"), and the logs
// in it. Removed at the end of the test, whatever its outcome.
class Case {
 public:
  explicit Case(const Build& build = BuildUnderTest());
  ~Case();
  Case(const Case&) = delete;
  Case& operator=(const Case&) = delete;

  const fs::path& Root() const { return root_; }
  fs::path Kit() const { return root_ / "kit"; }
  fs::path Tools() const { return root_ / "kit" / "tools"; }
  fs::path Command() const;

  // The launcher setup.exe of the kit: the fake one (which by default writes a setup log
  // that reports success), or the demo one.
  void UseFakeLauncher(int exitCode = 0);
  void UseDemoLauncher();
  // Under Wine, code page 65001 is a program's own choice (its manifest's activeCodePage), not
  // the system's: for it, the kit's commands become the build's test copies that make it, the
  // same code with that one line more in their manifest. Other code pages need nothing.
  void UseCodePageOfTheCommands(int codePage) const;
  // Files beside the fake launcher that tell it what to do (see fake_setup.cpp).
  void TellLauncher(const std::string& name, const std::string& bytes);

  // A path in the case folder as the command sees it.
  std::string Seen(const fs::path& path) const;

  RunResult Run(const std::vector<std::string>& args, const RunOptions& options = {});
  // Runs installvorx-check of the same build, from the kit's tools folder. Each JSON report
  // it gives is kept for the validation against the report's schema.
  RunResult Check(const std::vector<std::string>& args, const RunOptions& options = {});

  // The arguments the fake launcher in the folder (default: the kit) received, program first;
  // empty when it did not run.
  std::vector<std::string> LauncherArgs(const fs::path& folder = {}) const;
  // The installation and setup logs in the folder (default: the case folder), found by
  // their names.
  std::vector<fs::path> Logs(const std::string& stem, const fs::path& folder = {}) const;
  fs::path InstallationLog() const;
  std::string ReadInstallationLog() const { return ReadFile(InstallationLog()); }
  // The timestamp suffix that the logs of the run carry.
  std::string Suffix() const;
  // The launcher arguments that the command line yields for this kit and run.
  std::vector<std::string> ExpectedLauncherArgs(
      const std::optional<std::string>& properties = std::nullopt) const;

  static std::string ReadFile(const fs::path& path);
  static void WriteFile(const fs::path& path, const std::string& bytes);

 private:
  void MapDrive() const;
  void UnmapDrive() const;
  RunResult Spawn(std::vector<std::string> argv, const RunOptions& options);
  RunResult SpawnOnce(std::vector<std::string> argv, const RunOptions& options);
  std::string InstallationLogNameFromLauncher() const;

  Build build_;
  fs::path root_;
};

// Makes the run that of an unprivileged user (nobody, through setpriv); false when this
// machine cannot drop privileges, and the test should be skipped.
bool RunUnprivileged(RunOptions& options);

// Text that the build under test printed or passed on, in UTF-8: under Wine it is in the ANSI
// code page of the run (RunOptions::codePage; 0: 1252). Bytes that are no character become
// U+FFFD, as in the reports of installvorx-check.
std::string ToUtf8(const std::string& text, int codePage = 0);
bool IsUtf8(const std::string& text);
// The code page in which the kit's launcher takes its arguments when the command runs in the
// given one: the launcher chooses none of its own, so in 65001, the command's own choice, it
// still has the system's (1252 under Wine).
inline int LauncherCodePage(int commandCodePage) {
  return commandCodePage == 65001 ? 1252 : commandCodePage;
}
// UTF-8 text in a Windows code page (932, 1252), as the command and its launcher hold it.
std::string InCodePage(int codePage, const std::string& utf8);
// UTF-8 text in another character set, as iconv names it ("UTF-16LE").
std::string InCharset(const std::string& charset, const std::string& utf8);

// The text of QEDN40126-W for a path and errno as the build under test prints it.
std::string IoErrorReport(const std::string& path, int error);

// The timestamp suffixes ("_2026-12-07_15-24-35") of the seconds around now, for planting
// files under the names a run is about to use.
std::vector<std::string> SuffixesAround(int secondsBefore, int secondsAfter);

}  // namespace e2e
