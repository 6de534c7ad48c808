// The run as a whole, on a recording platform: every way a run can end, with its console
// output, the installation log it leaves and its status.
#include "driver/driver.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "core/messages.h"
#include "support/code_page_932.h"
#include "support/fake_platform.h"

namespace ivx {
namespace {

using Failure = testing::FakeFileSystem::Failure;
using Op = Failure::Op;
using Mode = FileSystem::OpenMode;

const std::string kLog = "C:\\installvorx_2026-12-07_15-24-35.log";
const std::string kSetupLog = "C:\\setup_2026-12-07_15-24-35.log";
const std::string kStart(msg::kStart);
const std::string kStartLine = "QEDN40110-I VORX installation will now start.\r\n";
const std::string kCommandLine = "\"C:\\kit\\setup.exe\" /s /f1\"C:\\kit\\setup.iss\" /f2\"" +
                                 kSetupLog + "\" /clone_wait /z\"" + kLog + "\" ";

std::string Io(const std::string& path, int error) { return msg::IoError(path, error); }

class DriverTest : public ::testing::Test {
 protected:
  DriverTest() {
    fake.files.files["C:\\kit\\setup.exe"] = "MZ";
    // By default the launcher reports success in its setup log.
    fake.runner.whileRunning = [this] { fake.files.files[kSetupLog] = "ResultCode=0\r\n"; };
  }

  int Run(std::vector<std::string> options = {"/s"}) {
    options.insert(options.begin(), "installvorx");
    return RunInstallation(ExpressibleArguments(options), fake.platform, PathStyle::kWindows);
  }
  std::string Log() { return fake.files.files.count(kLog) ? fake.files.files[kLog] : "(none)"; }
  void Fail(const Failure& failure) { fake.files.failures.push_back(failure); }

  testing::FakePlatform fake;
};

TEST_F(DriverTest, ASuccessfulRunShowsNothingAfterTheStartAndReturnsTheLaunchersCode) {
  fake.runner.result = 0;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(fake.console.output, kStart);
  EXPECT_EQ(Log(), kStartLine);
  ASSERT_EQ(fake.runner.commandLines.size(), 1u);
  EXPECT_EQ(fake.runner.commandLines[0], kCommandLine);
  EXPECT_TRUE(fake.environment.interruptIgnored);
  EXPECT_EQ(fake.files.openDescriptors(), 0);
}

TEST_F(DriverTest, TheStatusFollowsTheLauncherNotTheSetupLog) {
  for (int code : {0, 1, 9, 200, 300}) {
    fake.files.files.erase(kLog);
    fake.console.output.clear();
    fake.runner.result = code;
    fake.runner.whileRunning = [this] { fake.files.files[kSetupLog] = "ResultCode=-3\r\n"; };
    EXPECT_EQ(Run(), code);
    const std::string failed = msg::InstallationFailed();
    EXPECT_EQ(Log(), kStartLine + failed);
    EXPECT_EQ(fake.console.output, kStart + failed);
  }
}

TEST_F(DriverTest, ALauncherThatCannotBeStartedEndsWith9) {
  fake.runner.result = std::nullopt;
  fake.runner.whileRunning = nullptr;
  EXPECT_EQ(Run(), 9);
  EXPECT_EQ(Log(), kStartLine + std::string(msg::kInternalError));
}

TEST_F(DriverTest, WhatTheLauncherAppendsIsShownAndPercentSignsStayAsTheyAre) {
  fake.runner.whileRunning = [this] {
    fake.files.files[kSetupLog] = "ResultCode=0\r\n";
    fake.files.files[kLog] += "launcher: 100% done %s %d\r\n";
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(fake.console.output, kStart + "launcher: 100% done %s %d\r\n");
}

TEST_F(DriverTest, AnExistingLogIsAppendedToAndExactly47BytesAreSkippedOnDisplay) {
  const std::string earlier = std::string(45, '.') + "\r\nkept\n";
  fake.files.files[kLog] = earlier;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Log(), earlier + kStartLine);
  EXPECT_EQ(fake.console.output, kStart + "kept\n" + kStartLine);
}

TEST_F(DriverTest, DeclinedOrInvalidRunsTouchNothing) {
  fake.console.input = "n\n";
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(fake.console.output, std::string(msg::kQuestion));
  EXPECT_TRUE(fake.runner.commandLines.empty());
  EXPECT_EQ(Log(), "(none)");

  fake.console.output.clear();
  EXPECT_EQ(Run({"/s", "/x"}), 1);
  EXPECT_EQ(fake.console.output, std::string(msg::kInvalidOption) + std::string(msg::kUsage));
  EXPECT_EQ(Log(), "(none)");
}

TEST_F(DriverTest, InputEndingAtTheQuestionIsAnInternalError) {
  EXPECT_EQ(Run({}), 9);
  EXPECT_EQ(fake.console.output, std::string(msg::kQuestion) + std::string(msg::kInternalError));
  EXPECT_EQ(Log(), "(none)");
}

TEST_F(DriverTest, AMissingLauncherEndsWith9BeforeTheLogExists) {
  fake.files.files.erase("C:\\kit\\setup.exe");
  EXPECT_EQ(Run(), 9);
  EXPECT_EQ(fake.console.output, std::string(msg::kLauncherMissing));
  EXPECT_EQ(Log(), "(none)");
}

TEST_F(DriverTest, ARejectedSettingsFileEndsWith2BeforeTheLauncherIsLookedFor) {
  fake.files.files.erase("C:\\kit\\setup.exe");
  EXPECT_EQ(Run({"/s", "/f", "inst.ini"}), 2);
  EXPECT_EQ(fake.console.output, std::string(msg::kSettingsFileMissing));
  EXPECT_EQ(Log(), "(none)");
}

TEST_F(DriverTest, TheSettingsFileIsReadFromTheCurrentDirectoryAndItsPropertiesPassedOn) {
  fake.files.files["C:\\work\\inst.ini"] =
      "[VORX]\r\nvorxversion=6.1.0-00\r\n[INSTALLATION_SETTINGS]\r\nVORX_PORT=8080\r\n";
  EXPECT_EQ(Run({"/f", "inst.ini", "/s"}), 0);
  ASSERT_EQ(fake.runner.commandLines.size(), 1u);
  EXPECT_EQ(fake.runner.commandLines[0], kCommandLine + "/v\"/qr VORX_PORT=8080\"");
}

// Without the executable's path the command name stands in for it: its folder as the system
// resolves it (links, "." and ".."), or as named when the system cannot resolve it.
TEST_F(DriverTest, WithoutTheExecutablesPathTheFolderOfTheCommandNameIsResolved) {
  const std::string named = "C:\\work\\tools\\sub\\..\\";
  const std::pair<std::optional<std::string>, std::string> rows[] = {
      {"C:\\kit\\tools", "C:\\kit\\setup.exe"},
      {std::nullopt, "C:\\work\\tools\\sub\\setup.exe"},
  };
  fake.environment.executable = {};
  fake.files.files["C:\\work\\tools\\sub\\setup.exe"] = "MZ";
  for (const auto& [real, launcher] : rows) {
    fake.environment.realFolders[named] = real;
    fake.runner.commandLines.clear();
    const std::vector<Argument> args = {{"tools\\sub\\..\\installvorx"}, {"/s"}};
    EXPECT_EQ(RunInstallation(args, fake.platform, PathStyle::kWindows), 0);
    ASSERT_EQ(fake.runner.commandLines.size(), 1u);
    EXPECT_EQ(fake.runner.commandLines[0].substr(0, launcher.size() + 2), "\"" + launcher + "\"");
  }
}

// A byte walk would look for ソsetup.exe, read 表inst.ini and double the second bytes of 表
// and ソ before the quotation marks: all of them stand ready here.
TEST_F(DriverTest, InADoubleByteCodePageEveryPathAndValueIsWalkedByCharacter) {
  using testing::kHyo;
  using testing::kSo;
  fake.environment.leadBytes = testing::IsLeadByte932;
  fake.environment.executable = {"K:\\kit2\\" + testing::kSofuto + "\\installvorx.exe"};
  fake.environment.currentDirectory = {"K:\\cfg\\" + kHyo};
  fake.files.files["K:\\kit2\\setup.exe"] = "MZ";
  fake.files.files["K:\\kit2\\" + kSo + "setup.exe"] = "MZ";
  const std::string version = "[VORX]\r\nvorxversion=6.1.0-00\r\n";
  fake.files.files["K:\\cfg\\" + kHyo + "inst.ini"] = version;
  fake.files.files["K:\\cfg\\" + kHyo + "\\inst.ini"] =
      version + "[INSTALLATION_SETTINGS]\r\nVORX_INSTDIR=C:\\VORX\\" + kHyo +
      "\r\nVORX_DBDIR=D:\\" + kSo + "\r\n";
  EXPECT_EQ(Run({"/s", "/f", "inst.ini"}), 0);
  ASSERT_EQ(fake.runner.commandLines.size(), 1u);
  EXPECT_EQ(fake.runner.commandLines[0],
            "\"K:\\kit2\\setup.exe\" /s /f1\"K:\\kit2\\setup.iss\" /f2\"" + kSetupLog +
                "\" /clone_wait /z\"" + kLog + "\" /v\"/qr VORX_INSTDIR=\\\"C:\\VORX\\" + kHyo +
                "\\\" VORX_DBDIR=\\\"D:\\" + kSo + "\\\"\"");
}

// Windows: a path or argument holding a character that the code page lacks. Every file that a
// look-alike or a fallback would reach is there.
struct InexpressibleCase {
  const char* name;
  bool executable;             // the executable's path is inexpressible
  bool currentDirectory;       // the current directory is
  std::vector<Argument> args;  // the command name first
  int status;
  std::string console;
};

void PrintTo(const InexpressibleCase& c, std::ostream* out) { *out << c.name; }

class InexpressibleTest : public DriverTest,
                          public ::testing::WithParamInterface<InexpressibleCase> {};

TEST_P(InexpressibleTest, NamesNothingAndIsNeverReplaced) {
  const InexpressibleCase& c = GetParam();
  if (c.executable) fake.environment.executable = {std::nullopt, true};
  if (c.currentDirectory) fake.environment.currentDirectory = {std::nullopt, true};
  if (!c.args[0].expressible) fake.environment.executable = {};
  const std::string settings = "[VORX]\r\nvorxversion=6.1.0-00\r\n";
  for (const char* path : {"inst.ini", "C:\\cfg\\inst.ini", "C:\\cfg\\?.ini"}) {
    fake.files.files[path] = settings;
  }
  fake.files.files["C:\\setup.exe"] = "MZ";  // beside the current directory C:\work
  EXPECT_EQ(RunInstallation(c.args, fake.platform, PathStyle::kWindows), c.status);
  EXPECT_EQ(fake.console.output, c.console);
  EXPECT_EQ(fake.runner.commandLines.size(), c.status == 0 ? 1u : 0u);
  EXPECT_EQ(Log(), c.status == 0 ? kStartLine : "(none)");
}

const std::string kLauncherMissing(msg::kLauncherMissing);
const std::string kSettingsMissing(msg::kSettingsFileMissing);

INSTANTIATE_TEST_SUITE_P(
    Rows, InexpressibleTest,
    ::testing::Values(
        InexpressibleCase{"own_path", true, false, {{"installvorx"}, {"/s"}}, 9, kLauncherMissing},
        InexpressibleCase{"command_name_standing_in",
                          false,
                          false,
                          {{"installvorx", false}, {"/s"}},
                          9,
                          kLauncherMissing},
        InexpressibleCase{"current_directory_for_a_relative_name",
                          false,
                          true,
                          {{"installvorx"}, {"/s"}, {"/f"}, {"inst.ini"}},
                          2,
                          kSettingsMissing},
        InexpressibleCase{"current_directory_unused",
                          false,
                          true,
                          {{"installvorx"}, {"/s"}, {"/f"}, {"C:\\cfg\\inst.ini"}},
                          0,
                          kStart},
        InexpressibleCase{"settings_file_name",
                          false,
                          false,
                          {{"installvorx"}, {"/s"}, {"/f"}, {"C:\\cfg\\?.ini", false}},
                          2,
                          kSettingsMissing},
        InexpressibleCase{"option",
                          false,
                          false,
                          {{"installvorx"}, {"/s"}, {"/s", false}},
                          1,
                          std::string(msg::kInvalidOption) + std::string(msg::kUsage)}),
    [](const auto& row) { return std::string(row.param.name); });

// A caller without administrator rights is refused with 3, whether its log could be created
// (the refusal is then its only line) or not (a standard user may not create files in the root
// of the system drive: only the console holds the refusal).
struct RefusalCase {
  const char* name;
  std::optional<int> creationError;
  std::string log;
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class RefusalTest : public DriverTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, EndsWith3WithoutStartingTheLauncher) {
  const RefusalCase& c = GetParam();
  fake.environment.administrator = false;
  if (c.creationError) Fail({Op::kOpen, kLog, *c.creationError, Mode::kCreateAppendText});
  EXPECT_EQ(Run(), 3);
  EXPECT_EQ(fake.console.output, std::string(msg::kNotAdministrator));
  EXPECT_EQ(Log(), c.log);
  EXPECT_TRUE(fake.runner.commandLines.empty());
  EXPECT_EQ(fake.files.openDescriptors(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusalTest,
    ::testing::Values(RefusalCase{"log_created", std::nullopt,
                                  "QEDN40127-E The command was executed by a user other than the "
                                  "administrator.\r\n"},
                      RefusalCase{"log_folder_not_writable", EACCES, "(none)"},
                      RefusalCase{"log_folder_read_only", EROFS, "(none)"}),
    [](const auto& row) { return std::string(row.param.name); });

// One row for each operation on the installation log that can fail.
struct LogFailureCase {
  const char* name;
  Failure failure;
  bool administrator;
  std::string console;  // beyond the I/O error report, which always ends it or precedes
  std::string log;
  bool launched;
};

void PrintTo(const LogFailureCase& c, std::ostream* out) { *out << c.name; }

class LogFailureTest : public DriverTest, public ::testing::WithParamInterface<LogFailureCase> {};

TEST_P(LogFailureTest, IsReportedOnTheConsoleAndEndsWith9) {
  const LogFailureCase& c = GetParam();
  fake.environment.administrator = c.administrator;
  Fail(c.failure);
  EXPECT_EQ(Run(), 9);
  EXPECT_EQ(fake.console.output, c.console);
  EXPECT_EQ(Log(), c.log);
  EXPECT_EQ(fake.runner.commandLines.size(), c.launched ? 1u : 0u);
  EXPECT_EQ(fake.files.openDescriptors(), 0);
}

const std::string kRefusal(msg::kNotAdministrator);
const std::string kFailed = msg::InstallationFailed();

INSTANTIATE_TEST_SUITE_P(
    Rows, LogFailureTest,
    ::testing::Values(
        LogFailureCase{"creation",
                       {Op::kOpen, kLog, EACCES, Mode::kCreateAppendText},
                       true,
                       Io(kLog, EACCES),
                       "(none)",
                       false},
        LogFailureCase{"refusal_write",
                       {Op::kWrite, kLog, ENOSPC},
                       false,
                       kRefusal + Io(kLog, ENOSPC),
                       "",
                       false},
        LogFailureCase{"refusal_close",
                       {Op::kClose, kLog, EIO},
                       false,
                       kRefusal + Io(kLog, EIO),
                       kRefusal.substr(0, kRefusal.size() - 1) + "\r\n",
                       false},
        LogFailureCase{
            "start_write", {Op::kWrite, kLog, ENOSPC}, true, Io(kLog, ENOSPC), "", false},
        LogFailureCase{
            "close_before_launch", {Op::kClose, kLog, EIO}, true, Io(kLog, EIO), kStartLine, false},
        LogFailureCase{"reopen",
                       {Op::kOpen, kLog, ENOENT, Mode::kAppendBinary},
                       true,
                       kStart + Io(kLog, ENOENT),
                       kStartLine,
                       true},
        LogFailureCase{"reopen_folder",
                       {Op::kOpen, kLog, EACCES, Mode::kAppendBinary},
                       true,
                       kStart + Io(kLog, EACCES),
                       kStartLine,
                       true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(DriverTest, AFailedFinalCloseIsReportedAndTheLogStillShown) {
  // The close before the launch must succeed: fail only the second close.
  fake.runner.whileRunning = [this] {
    fake.files.files[kSetupLog] = "ResultCode=1\r\n";
    Fail({Op::kClose, kLog, EIO});
  };
  EXPECT_EQ(Run(), 9);
  EXPECT_EQ(fake.console.output, kStart + Io(kLog, EIO) + kFailed);
  EXPECT_EQ(Log(), kStartLine + kFailed);
}

TEST_F(DriverTest, AFailedWriteAfterTheLaunchIsReportedAndEndsWith9) {
  fake.runner.whileRunning = [this] { fake.files.files[kSetupLog] = "ResultCode=1\r\n"; };
  Fail({Op::kWrite, kLog, ENOSPC, std::nullopt, 1});
  EXPECT_EQ(Run(), 9);
  EXPECT_EQ(fake.console.output, kStart + Io(kLog, ENOSPC));
  EXPECT_EQ(Log(), kStartLine);
}

// The setup log cannot be had: the reason goes into the installation log, which is shown.
struct SetupLogCase {
  const char* name;
  std::optional<Failure> failure;
  bool written;  // does the launcher write a setup log at all
  std::string recorded;
};

void PrintTo(const SetupLogCase& c, std::ostream* out) { *out << c.name; }

class SetupLogTest : public DriverTest, public ::testing::WithParamInterface<SetupLogCase> {};

TEST_P(SetupLogTest, EndsWith9AndShowsTheReason) {
  const SetupLogCase& c = GetParam();
  if (!c.written) fake.runner.whileRunning = nullptr;
  if (c.failure) Fail(*c.failure);
  EXPECT_EQ(Run(), 9);
  EXPECT_EQ(Log(), kStartLine + c.recorded);
  EXPECT_EQ(fake.console.output, kStart + c.recorded);
  EXPECT_EQ(fake.files.openDescriptors(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SetupLogTest,
    ::testing::Values(
        SetupLogCase{"missing", std::nullopt, false, std::string(msg::kInternalError)},
        SetupLogCase{"unopenable", Failure{Op::kOpen, kSetupLog, EACCES}, true,
                     Io(kSetupLog, EACCES)},
        SetupLogCase{"unreadable", Failure{Op::kRead, kSetupLog, EIO}, true, Io(kSetupLog, EIO)}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(DriverTest, AnUnreadableLogAtDisplayTimePrintsNothing) {
  Fail({Op::kRead, kLog, EIO});
  fake.runner.whileRunning = [this] { fake.files.files[kSetupLog] = "nothing\r\n"; };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(fake.console.output, kStart);
  EXPECT_EQ(Log(), kStartLine + kFailed);
}

}  // namespace
}  // namespace ivx
