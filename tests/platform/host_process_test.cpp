// The process layer of the build under test, starting the tests' fake launcher (under Wine
// for the Windows build).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/process.h"
#ifdef _WIN32
#include <windows.h>

#include "platform/code_page.h"
#include "platform/console_events_win32.h"
#endif

namespace ivx {
namespace {

namespace fs = std::filesystem;

class HostProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* fake = std::getenv("IVX_FAKE_SETUP");
    if (fake == nullptr) GTEST_SKIP() << "IVX_FAKE_SETUP names no fake launcher";
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / (std::string("ivx-process-") + test->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "my kit");
    launcher_ = dir_ / "my kit" / "setup.exe";
    fs::copy_file(fake, launcher_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Tell(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / "my kit" / name, std::ios::binary) << bytes;
  }
  std::string Received() {
    std::ifstream in(dir_ / "my kit" / "fake-args", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::unique_ptr<ProcessRunner> runner_ = MakeHostProcessRunner();
  fs::path dir_;
  fs::path launcher_;
};

TEST_F(HostProcessTest, ReturnsTheLaunchersExitCodeUnchanged) {
  std::vector<int> codes = {0, 1, 9, 200};
#ifdef _WIN32
  codes.push_back(300);
  codes.push_back(70000);
#endif
  for (int code : codes) {
    Tell("fake-exit", std::to_string(code));
    EXPECT_EQ(runner_->Run("\"" + launcher_.string() + "\" x"), code);
  }
}

TEST_F(HostProcessTest, TheLauncherReceivesItsArgumentsAsTheCRuntimeSplitsThem) {
  const std::string program = launcher_.string();
  runner_->Run("\"" + program + "\" /s /f1\"a b\" /v\"/qr X=\\\"C:\\P F\\\\\\\" Y=1\" ");
  EXPECT_EQ(Received(),
            program + '\0' + "/s" + '\0' + "/f1a b" + '\0' + "/v/qr X=\"C:\\P F\\\" Y=1" + '\0');
}

TEST_F(HostProcessTest, AProgramThatCannotBeStartedIsNoExitCode) {
  EXPECT_EQ(runner_->Run("\"" + (dir_ / "missing.exe").string() + "\" /s"), std::nullopt);
  EXPECT_EQ(runner_->Run(""), std::nullopt);
#ifndef _WIN32
  fs::permissions(launcher_, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::remove);
  EXPECT_EQ(runner_->Run("\"" + launcher_.string() + "\""), std::nullopt);
#endif
}

#ifndef _WIN32
TEST_F(HostProcessTest, ALauncherEndedByASignalGives128PlusItsNumber) {
  Tell("fake-action", "kill");
  EXPECT_EQ(runner_->Run("\"" + launcher_.string() + "\" /f2x /zy"), 128 + 9);
}
#endif

#ifdef _WIN32
// A console window is given the text as characters: every byte of it, as the code page reads
// it, a zero byte too (a shown log may hold one).
TEST(ConsoleText, IsEveryByteOfTheCodePageAsACharacter) {
  if (GetACP() != 1252) GTEST_SKIP() << "the bytes below are text of code page 1252";
  EXPECT_EQ(FromCodePage(std::string("Gr\xF6\xDF\x65\0x\r\n", 9)),
            std::wstring(L"Gr\u00F6\u00DFe\0x\r\n", 9));
}

// Wine delivers no Ctrl+Break from GenerateConsoleCtrlEvent (it fails with
// ERROR_INVALID_HANDLE), so the handler's answer is what can be held here.
TEST(ConsoleEvents, CtrlCAndCtrlBreakAreIgnoredAndWhatCannotBeRefusedGoesOn) {
  EXPECT_NE(IgnoreKeyboardInterrupts(0), 0);  // Ctrl+C
  EXPECT_NE(IgnoreKeyboardInterrupts(1), 0);  // Ctrl+Break
  for (const unsigned long event : {2ul, 5ul, 6ul}) {
    EXPECT_EQ(IgnoreKeyboardInterrupts(event), 0) << event;
  }
}
#endif

}  // namespace
}  // namespace ivx
