#include "log/log_display.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/messages.h"
#include "support/fake_platform.h"

namespace ivx {
namespace {

using Failure = testing::FakeFileSystem::Failure;

const std::string kPath = "C:\\installvorx_x.log";
const std::string kStartLine = "QEDN40110-I VORX installation will now start.\r\n";

class LogDisplayTest : public ::testing::Test {
 protected:
  std::string Show(const std::string& content) {
    fake.files.files[kPath] = content;
    std::string shown = ShowInstallationLog(fake.files, kPath);
    EXPECT_EQ(fake.files.openDescriptors(), 0);
    return shown;
  }
  testing::FakePlatform fake;
};

TEST_F(LogDisplayTest, SkipsTheStartLineAndShowsTheRestAsItStands) {
  ASSERT_EQ(kStartLine.size(), static_cast<std::size_t>(kStartLineBytes));
  EXPECT_EQ(Show(kStartLine), "");
  EXPECT_EQ(Show("short"), "");
  EXPECT_EQ(Show(kStartLine + "100% %s %d %n\n"), "100% %s %d %n\n");
  EXPECT_EQ(Show(std::string(47, 'x') + "y"), "y");
}

TEST_F(LogDisplayTest, ShowsAt2048Bytes) {
  const std::string rest = std::string(2048, 'a') + "not shown";
  EXPECT_EQ(Show(kStartLine + rest), std::string(2048, 'a'));
}

TEST_F(LogDisplayTest, ALogThatCannotBeOpenedIsReported) {
  EXPECT_EQ(ShowInstallationLog(fake.files, kPath), msg::IoError(kPath, ENOENT));
}

TEST_F(LogDisplayTest, ALogThatCannotBeReadShowsNothing) {
  fake.files.failures.push_back({Failure::Op::kRead, kPath, EIO});
  EXPECT_EQ(Show(kStartLine + "text\n"), "");
}

}  // namespace
}  // namespace ivx
