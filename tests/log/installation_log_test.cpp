#include "log/installation_log.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/fake_platform.h"

namespace ivx {
namespace {

using Failure = testing::FakeFileSystem::Failure;
const std::string kPath = "C:\\installvorx_x.log";

TEST(InstallationLog, WritesTextModeBeforeTheLaunchAndBinaryAfterIt) {
  testing::FakePlatform fake;
  InstallationLog log(fake.files, kPath);
  ASSERT_TRUE(log.Create().ok);
  ASSERT_TRUE(log.Record("a\nb\n").ok);
  ASSERT_TRUE(log.Close().ok);
  ASSERT_TRUE(log.Reopen().ok);
  ASSERT_TRUE(log.Record("c\n").ok);
  EXPECT_EQ(fake.files.files[kPath], "a\r\nb\r\nc\n");
}

TEST(InstallationLog, AFailureComesBackWithItsErrnoAndTheFileIsClosedAtTheEnd) {
  testing::FakePlatform fake;
  fake.files.failures.push_back({Failure::Op::kWrite, kPath, ENOSPC, std::nullopt, 1});
  {
    InstallationLog log(fake.files, kPath);
    ASSERT_TRUE(log.Create().ok);
    EXPECT_TRUE(log.Record("first\n").ok);
    const IoResult failed = log.Record("second\n");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, ENOSPC);
  }
  EXPECT_EQ(fake.files.openDescriptors(), 0);
}

}  // namespace
}  // namespace ivx
