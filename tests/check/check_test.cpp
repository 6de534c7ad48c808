#include "check/check.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/fake_platform.h"

namespace ivx::check {
namespace {

const std::string kUsageLine = "Usage: installvorx-check [--json] [--strict] FILE...\n";

struct RunCase {
  std::vector<std::string> args;
  int status;
  std::string outputStart;  // what the output begins with
};

TEST(CheckCommand, EndsWithTheStatusThatTheFilesAndTheUsageCallFor) {
  const std::string good = "[VORX]\r\nvorxversion=6.1.0-00\r\n";
  const RunCase cases[] = {
      {{}, 1, "installvorx-check: no FILE to check\n" + kUsageLine},
      {{"--json"}, 1, "installvorx-check: no FILE to check\n" + kUsageLine},
      {{"--jsn", "good.ini"}, 1, "installvorx-check: unknown option --jsn\n" + kUsageLine},
      {{"good.ini", ""}, 1, "installvorx-check: a FILE cannot be empty\n" + kUsageLine},
      {{"--version"}, 0, "installvorx-check 6.1.0-00\n"},
      {{"--help"}, 0, kUsageLine + "Checks VORX 6.1.0-00 settings files"},
      {{"good.ini"}, 0, "good.ini: accepted\n"},
      {{"good.ini", "warned.ini"}, 0, "good.ini: accepted\n"},
      {{"--strict", "good.ini"}, 0, "good.ini: accepted\n"},
      {{"--strict", "good.ini", "warned.ini"}, 2, "good.ini: accepted\n"},
      {{"bad.ini"}, 2, "bad.ini: refused\n"},
      {{"good.ini", "none.ini", "good.ini"}, 2, "good.ini: accepted\n"},
      {{"--", "--json"}, 2, "--json: refused\n  QEDN40121-W"},
      {{std::string(256, 'a')},
       2,
       std::string(256, 'a') + ": refused\n  QEDN40120-W The specified option is invalid.\n"},
      {{"--json", "good.ini"}, 0, "[\n{\"file\":\"good.ini\",\"accepted\":true,"},
      {{"good.ini", "--json", "bad.ini"}, 2, "[\n{\"file\":\"good.ini\""},
      // a name that is no regular file: the installation's verdict, and no warnings
      {{"--strict", "device.ini"}, 0, "device.ini: accepted\n"},
  };
  for (const RunCase& c : cases) {
    testing::FakePlatform fake;
    fake.files.files["C:\\work\\good.ini"] = good;
    fake.files.files["C:\\work\\warned.ini"] = good + "[INSTALLATION_SETTINGS]\r\nPORT=1\r\n";
    fake.files.files["C:\\work\\bad.ini"] = good + "[INSTALLATION_SETTINGS]\r\nVORX_PORT=x\r\n";
    fake.files.files["C:\\work\\device.ini"] = fake.files.files["C:\\work\\warned.ini"];
    fake.files.failures.push_back({testing::FakeFileSystem::Failure::Op::kOpen,
                                   "C:\\work\\device.ini", ENXIO,
                                   FileSystem::OpenMode::kReadSettings});
    std::vector<std::string> args = {"installvorx-check"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(RunCheck(ExpressibleArguments(args), fake.platform, PathStyle::kWindows), c.status)
        << args.back();
    EXPECT_EQ(fake.console.output.substr(0, c.outputStart.size()), c.outputStart) << args.back();
  }
}

// A settings file of any size is checked in memory that does not grow with it.
TEST(CheckCommand, ReadsAFileForItsWarningsAWindowAtATime) {
  testing::FakePlatform fake;
  fake.files.files["C:\\work\\big.ini"] = "[VORX]\r\nvorxversion=6.1.0-00\r\n" +
                                          std::string(std::size_t{4} << 20, ';') + "\r\nPORT=1\r\n";
  EXPECT_EQ(RunCheck({{"installvorx-check"}, {"big.ini"}}, fake.platform, PathStyle::kWindows), 0);
  EXPECT_NE(fake.console.output.find("warning, line 4: unknown key PORT in section [VORX]"),
            std::string::npos)
      << fake.console.output;
  EXPECT_LE(fake.files.largestRead, std::size_t{64} << 10);
}

}  // namespace
}  // namespace ivx::check
