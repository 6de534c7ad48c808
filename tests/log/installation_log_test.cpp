#include "log/installation_log.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/messages.h"
#include "support/fake_platform.h"

namespace ivx {
namespace {

using Failure = testing::FakeFileSystem::Failure;
const std::string kPath = "C:\\installvorx_x.log";

TEST(InstallationLog, WritesTextModeBeforeTheLaunchAndBinaryAfterIt) {
  testing::FakePlatform fake;
  InstallationLog log(fake.files, fake.console, kPath);
  ASSERT_TRUE(log.Create());
  ASSERT_TRUE(log.Record("a\nb\n"));
  ASSERT_TRUE(log.Close());
  ASSERT_TRUE(log.Reopen());
  ASSERT_TRUE(log.Record("c\n"));
  EXPECT_FALSE(log.Failed());
  EXPECT_EQ(fake.files.files[kPath], "a\r\nb\r\nc\n");
}

TEST(InstallationLog, AFailureIsReportedWithTheLogsPathAndRemembered) {
  testing::FakePlatform fake;
  fake.files.failures.push_back({Failure::Op::kWrite, kPath, ENOSPC, std::nullopt, 1});
  {
    InstallationLog log(fake.files, fake.console, kPath);
    ASSERT_TRUE(log.Create());
    EXPECT_TRUE(log.Record("first\n"));
    EXPECT_FALSE(log.Record("second\n"));
    EXPECT_TRUE(log.Failed());
  }
  EXPECT_EQ(fake.console.output, msg::IoError(kPath, ENOSPC));
  EXPECT_EQ(fake.files.openDescriptors(), 0);
}

}  // namespace
}  // namespace ivx
