#include "check/check.h"

#include <gtest/gtest.h>

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
  };
  for (const RunCase& c : cases) {
    testing::FakePlatform fake;
    fake.files.files["C:\\work\\good.ini"] = good;
    fake.files.files["C:\\work\\warned.ini"] = good + "[INSTALLATION_SETTINGS]\r\nPORT=1\r\n";
    fake.files.files["C:\\work\\bad.ini"] = good + "[INSTALLATION_SETTINGS]\r\nVORX_PORT=x\r\n";
    std::vector<std::string> args = {"installvorx-check"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(RunCheck(args, fake.platform, PathStyle::kWindows), c.status) << args.back();
    EXPECT_EQ(fake.console.output.substr(0, c.outputStart.size()), c.outputStart) << args.back();
  }
}

}  // namespace
}  // namespace ivx::check
