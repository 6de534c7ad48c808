// Hostile input and faults: whatever arrives, the command ends with a message of its own and
// a defined status, never hangs, and never loses what a log already held.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <random>
#include <sstream>

#include "harness.h"
#include "settings_tables.h"
#include "texts.h"

namespace e2e {
namespace {

using namespace std::string_literals;

const std::string kEarlier = "an earlier run's log, kept whole\r\n";

std::string Garbage(std::size_t size) {
  std::mt19937 random(20261208);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xff);
  return bytes;
}

const std::string kDigits(100000, '7');

}  // namespace

std::vector<BadFileCase> BadFiles() {
  return {
      BadFileCase{"binary_garbage", Garbage(65536), 2, kUnsupported, ""},
      BadFileCase{"zero_bytes",
                  "[VORX]\r\nvorxversion=6.1.0-00\0junk\r\n"s + kSettings +
                      "VORX_PORT=1\0 2\r\nVORX_IPADDRESS=\0\r\n"s,
                  0, kStart, "/v/qr VORX_PORT=1"},
      BadFileCase{"huge_version", "[VORX]\r\nvorxversion=" + std::string(100000, '6') + "\r\n", 2,
                  kUnsupported, ""},
      BadFileCase{"value_of_100000_characters",
                  kVersion + kSettings + "VORX_PORT=" + kDigits + "\r\n", 0, kStart,
                  "/v/qr VORX_PORT=" + kDigits.substr(0, 1023)},
      BadFileCase{"line_of_a_megabyte_before_the_keys",
                  kVersion + kSettings + ";" + std::string(1 << 20, '=') + "\r\nVORX_PORT=2\r\n", 0,
                  kStart, "/v/qr VORX_PORT=2"}};
}

std::string SettingsFileOf64MiB() {
  std::string text = kVersion + kSettings + "VORX_PORT=8080\r\n";
  const std::string comment = "; padding to make the file large " + std::string(60, '.') + "\r\n";
  text.reserve(64u << 20);
  while (text.size() < (64u << 20) - 64) text += comment;
  return text + "VORX_RUNSERVICE=true\r\n";
}

std::string NameTooLongInItsFolder(const Case& kit, RunOptions& options) {
  // Linux allows 4096 bytes in a path, Windows 260 characters.
  fs::path deep = kit.Root();
  const std::size_t length = UnderWine() ? 40 : 3900;
  while (deep.string().size() < length) deep /= std::string(50, 'd');
  fs::create_directories(deep);
  const std::string name(255, 'n');
  // Under Wine the file is there, with the right version: Windows cannot read it all the same.
  if (UnderWine()) Case::WriteFile(deep / name, kVersion);
  options.workingDirectory = deep;
  return name;
}

namespace {

// A log under every name the run may take, as if an earlier run had written it.
void PlantEarlierLogs(const Case& kit) {
  for (const std::string& suffix : SuffixesAround(1, 20)) {
    Case::WriteFile(kit.Root() / ("installvorx" + suffix + ".log"), kEarlier);
  }
}

std::string RunLog(const Case& kit) {
  return Case::ReadFile(kit.Root() / ("installvorx" + kit.Suffix() + ".log"));
}

class BadSettingsFileTest : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadSettingsFileTest, EndsWithAMessageAndAStatus) {
  Case kit;
  kit.UseFakeLauncher();
  Case::WriteFile(kit.Root() / "inst.ini", GetParam().text);
  const RunResult run = kit.Run({"/s", "/f", "inst.ini"});
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.output, GetParam().output);
  if (GetParam().lastArgument.empty()) {
    EXPECT_TRUE(kit.LauncherArgs().empty());
  } else {
    EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs(GetParam().lastArgument));
  }
}

INSTANTIATE_TEST_SUITE_P(Files, BadSettingsFileTest, ::testing::ValuesIn(BadFiles()));

TEST(BadSettingsFile, A64MiBFileIsReadWhole) {
  Case kit;
  kit.UseFakeLauncher();
  Case::WriteFile(kit.Root() / "big.ini", SettingsFileOf64MiB());
  const RunResult run = kit.Run({"/s", "/f", "big.ini"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(kit.LauncherArgs().back(), "/v/qr VORX_PORT=8080 VORX_RUNSERVICE=TRUE");
}

TEST(BadSettingsFile, AJoinedPathLongerThanThePlatformAllowsDoesNotExist) {
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;
  const std::string name = NameTooLongInItsFolder(kit, options);
  const RunResult run = kit.Run({"/s", "/f", name}, options);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output, kMissing);
}

TEST(BadSettingsFile, AFileTheCallerCannotReadDoesNotExist) {
  if (UnderWine()) GTEST_SKIP() << "under Wine every file can be read";
  RunOptions options;
  if (!RunUnprivileged(options)) GTEST_SKIP() << "setpriv cannot drop privileges here";
  Case kit;
  kit.UseFakeLauncher();
  fs::permissions(kit.Root(), fs::perms::all, fs::perm_options::add);
  Case::WriteFile(kit.Root() / "inst.ini", kVersion);
  fs::permissions(kit.Root() / "inst.ini", fs::perms::owner_read | fs::perms::owner_write);
  const RunResult run = kit.Run({"/s", "/f", "inst.ini"}, options);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output, kMissing);
}

TEST(Environment, ASystemRootOfOneOrTwoCharactersNamesALogFolderRelativeToTheRun) {
  Case kit;
  kit.UseFakeLauncher();
  fs::create_directories(kit.Root() / "ab");
  RunOptions options;
  // Windows takes at most three characters of SystemRoot: "K:" is the current folder of
  // drive K:, where the run is. Linux takes SystemRoot whole: "ab" is the folder ab below.
  options.systemRoot = UnderWine() ? kit.Seen(kit.Root()).substr(0, 2) : "ab";
  const RunResult run = kit.Run({"/s"}, options);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, kStart);
  const fs::path folder = UnderWine() ? kit.Root() : kit.Root() / "ab";
  ASSERT_EQ(kit.Logs("installvorx", folder).size(), 1u);
  EXPECT_EQ(Case::ReadFile(kit.Logs("installvorx", folder)[0]), kStartLine);
  EXPECT_EQ(kit.LauncherArgs().back(), "/z" + *options.systemRoot + (UnderWine() ? "" : "/") +
                                           "installvorx" + kit.Suffix() + ".log");
}

// In a chroot or a container without /proc the system cannot tell the executable's path; the
// folder of the name the command was started by, as the system resolves it, stands in. A
// reading of that name as text would start the setup.exe planted in tools or tools/sub.
TEST(Environment, WithoutProcTheNameTheCommandWasStartedByFindsTheKitsLauncher) {
  if (UnderWine()) GTEST_SKIP() << "/proc is Linux's";
  if (built::kSanitized)
    GTEST_SKIP() << "the sanitizers' runtime needs /proc; the plain build runs it";
  if (std::system("unshare -m sh -c 'mount -t tmpfs none /proc' 2>/dev/null") != 0) {
    GTEST_SKIP() << "no mount namespace of our own here (unshare -m needs root)";
  }
  for (const char* invoked : {"./installvorx", "../tools/./installvorx", "sub/../installvorx"}) {
    Case kit;
    kit.UseFakeLauncher();
    fs::create_directories(kit.Tools() / "sub");
    for (const fs::path& planted : {kit.Tools(), kit.Tools() / "sub"}) {
      fs::copy_file(BuildUnderTest().fakeSetup, planted / "setup.exe");
    }
    RunOptions options;
    options.wrapper = {"unshare", "-m", "sh", "-c", "mount -t tmpfs none /proc && exec \"$@\"",
                       "sh"};
    options.invokeAs = invoked;
    options.workingDirectory = kit.Tools();
    const RunResult run = kit.Run({"/s"}, options);
    EXPECT_EQ(run.status, 0) << invoked << ": " << run.output;
    EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs()) << invoked;
    EXPECT_TRUE(kit.LauncherArgs(kit.Tools()).empty()) << invoked;
    EXPECT_TRUE(kit.LauncherArgs(kit.Tools() / "sub").empty()) << invoked;
  }
}

TEST(Launcher, ASparseSetupLogOfAGibibyteIsReadOnlyAtItsStart) {
  Case kit;
  kit.UseFakeLauncher();
  PlantEarlierLogs(kit);
  kit.TellLauncher("fake-action", "sparse-setup-log");
  const RunResult run = kit.Run({"/s"});
  EXPECT_EQ(run.status, 0);
  // The display skips 47 bytes, whatever they are: here the earlier log and part of the start.
  EXPECT_EQ(run.output, kStart + (kEarlier + kStartLine).substr(47));
  EXPECT_EQ(RunLog(kit), kEarlier + kStartLine);
}

TEST(Launcher, MegabytesAppendedToTheLogAreKeptAndOnlyTheirStartShown) {
  Case kit;
  kit.UseFakeLauncher();
  PlantEarlierLogs(kit);
  std::string appended;
  while (appended.size() < (8u << 20)) appended += "launcher detail line\r\n";
  kit.TellLauncher("fake-append", appended);
  const RunResult run = kit.Run({"/s"});
  EXPECT_EQ(run.status, 0);
  const std::string shown = (kEarlier + kStartLine + appended).substr(47, 2048);
  EXPECT_EQ(run.output, kStart + shown);
  EXPECT_EQ(RunLog(kit), kEarlier + kStartLine + appended);
}

TEST(Launcher, ALauncherKilledByASignalGives128PlusItsNumber) {
  if (UnderWine()) GTEST_SKIP() << "POSIX signals";
  Case kit;
  kit.UseFakeLauncher();
  PlantEarlierLogs(kit);
  kit.TellLauncher("fake-action", "kill");
  const RunResult run = kit.Run({"/s"});
  EXPECT_EQ(run.status, 128 + 9);
  EXPECT_EQ(RunLog(kit), kEarlier + kStartLine);
}

// Signal handling that a caller hands down (Linux only): the run keeps its word whatever it
// inherits.

TEST(Signals, AnInheritedIgnoredSigchldStillGivesTheLaunchersStatus) {
  if (UnderWine()) GTEST_SKIP() << "POSIX signals";
  const std::pair<const char*, int> endings[] = {{"", 5}, {"kill", 128 + 9}};
  for (const auto& [action, status] : endings) {
    Case kit;
    kit.UseFakeLauncher(5);
    kit.TellLauncher("fake-action", action);
    RunOptions options;
    options.wrapper = {"env", "--ignore-signal=CHLD"};
    EXPECT_EQ(kit.Run({"/s"}, options).status, status) << action;
  }
}

TEST(Signals, AConsoleWhoseReaderHasGoneChangesNeitherTheStatusNorTheLog) {
  if (UnderWine()) GTEST_SKIP() << "POSIX signals";
  Case kit;
  kit.UseFakeLauncher(5);
  kit.TellLauncher("fake-append", "launcher line\r\n");  // something for the display to show
  RunOptions options;
  options.brokenOutput = true;
  EXPECT_EQ(kit.Run({"/s"}, options).status, 5);
  EXPECT_EQ(kit.ReadInstallationLog(), kStartLine + "launcher line\r\n");
}

// The signals of this test are POSIX's alone: a Windows compiler knows none of them.
#ifndef _WIN32
// A mask of the fake launcher's /proc/self/status ("SigBlk", "SigIgn"), one bit per signal.
unsigned long long LauncherSignalMask(const Case& kit, const std::string& name) {
  std::istringstream record(Case::ReadFile(kit.Kit() / "fake-signals"));
  for (std::string line; std::getline(record, line);) {
    if (line.rfind(name + ":", 0) == 0)
      return std::stoull(line.substr(name.size() + 1), nullptr, 16);
  }
  throw std::runtime_error("the launcher recorded no " + name);
}

unsigned long long Bit(int signal) { return 1ull << (signal - 1); }

TEST(Signals, TheLauncherStartsWithTheDefaultHandlingOfWhatTheCommandChangedAndNothingBlocked) {
  if (UnderWine()) GTEST_SKIP() << "POSIX signals";
  Case kit;
  kit.UseFakeLauncher();
  RunOptions options;
  options.wrapper = {"env", "--ignore-signal=INT,QUIT,PIPE,CHLD,XFSZ,HUP",
                     "--block-signal=TERM,INT,CHLD"};
  ASSERT_EQ(kit.Run({"/s"}, options).status, 0);
  EXPECT_EQ(LauncherSignalMask(kit, "SigBlk"), 0u);
  const unsigned long long ignored = LauncherSignalMask(kit, "SigIgn");
  EXPECT_EQ(ignored & (Bit(SIGINT) | Bit(SIGQUIT) | Bit(SIGPIPE) | Bit(SIGCHLD) | Bit(SIGXFSZ)),
            0u);
  // What the command leaves alone is the caller's to hand down, as nohup does.
  EXPECT_NE(ignored & Bit(SIGHUP), 0u);
}
#endif

TEST(Memory, AWholeRunIsCleanUnderMemcheck) {
  if (UnderWine() || built::kSanitized) GTEST_SKIP() << "memcheck runs the plain Linux build";
  if (std::system("valgrind --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no valgrind";
  // The command as built for memcheck: the same code on the shared C and C++ libraries.
  Build memcheck = BuildUnderTest();
  memcheck.binary = built::kMemcheckBinary;
  Case kit(memcheck);
  kit.UseFakeLauncher(5);
  kit.TellLauncher("fake-setup-log", "ResultCode=-1\r\n");
  kit.TellLauncher("fake-append", "launcher line\r\n");
  Case::WriteFile(kit.Root() / "inst.ini",
                  kVersion + kSettings +
                      "VORX_INSTDIR=C:\\Program Files\\VORX\\\r\nVORX_IPADDRESS=a b\r\n"
                      "VORX_PORT=1\r\nVORX_SNMPTRAP=true\r\n");
  RunOptions options;
  options.wrapper = {"valgrind", "-q", "--error-exitcode=99", "--leak-check=full",
                     "--errors-for-leak-kinds=definite,indirect,possible"};
  const RunResult run = kit.Run({"/f", "inst.ini", "/s"}, options);
  EXPECT_EQ(run.status, 5) << run.errors;
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(run.output,
            kStart + "launcher line\r\n" +
                "QEDN40112-W An attempt to install VORX version 6.1.0-00 has failed.\n");
}

}  // namespace
}  // namespace e2e
