// The example settings file that ships beside the command, run as an administrator would
// run it after copying it into the kit.
#include <gtest/gtest.h>

#include "harness.h"
#include "texts.h"

namespace e2e {
namespace {

// What the launcher must receive for the example: the enclosing quotation marks of a folder
// dropped by the settings reading, every folder quoted, the switches in upper case.
const std::string kExampleProperties =
    "/v/qr VORX_INSTDIR=\"C:\\Program Files\\VORX\""
    " VORX_DBDIR=\"D:\\VORX Data\\database\""
    " VORX_IPADDRESS=192.0.2.10 VORX_PORT=20080"
    " VORX_SNMPTRAP=TRUE VORX_SNMPIPADDRESS=192.0.2.20 VORX_SNMPTRAPPORT=162"
    " VORX_RUNSERVICE=TRUE";

// The manual's quick start: the example copied to tools/settings.ini, a silent run from the
// kit's folder.
RunResult RunWithTheExample(Case& kit) {
  fs::copy_file(built::kExampleSettings, kit.Tools() / "settings.ini");
  RunOptions options;
  options.workingDirectory = kit.Kit();
  return kit.Run({"/s", "/f", UnderWine() ? "tools\\settings.ini" : "tools/settings.ini"}, options);
}

TEST(Example, TheShippedSettingsFileIsAcceptedAsItStands) {
  Case kit;
  kit.UseFakeLauncher();
  const RunResult run = RunWithTheExample(kit);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, kStart);
  EXPECT_EQ(kit.LauncherArgs(), kit.ExpectedLauncherArgs(kExampleProperties));
}

// The demo kit of the manual: the demo launcher reports what it received and succeeds.
TEST(Example, TheDemoLauncherReportsTheSettingsAndSucceeds) {
  Case kit;
  kit.UseDemoLauncher();
  const RunResult run = RunWithTheExample(kit);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output.rfind(kStart, 0), 0u) << run.output;
  EXPECT_NE(run.output.find("properties:        " + kExampleProperties.substr(2) + "\n"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(kit.ReadInstallationLog(), kStartLine);
  EXPECT_EQ(kit.Logs("setup").size(), 1u);
}

}  // namespace
}  // namespace e2e
